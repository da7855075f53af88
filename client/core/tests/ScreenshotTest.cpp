// Screenshots of frames a real Direct3D device drew (headless): BMP and JPEG files that
// ImageMagick reads back at the right size and colour, from the screen under a window or from a
// preview's swap chain, and failures reported as failures.
#include "ScreenshotFixture.h"

#include "Screenshot.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace screenshot_test;

namespace {

constexpr D3DCOLOR kViewColour = 0xffc8283cu;
constexpr D3DCOLOR kPreviewColour = 0xff2050e0u;

class Screenshots : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (HWND window : m_windows)
            DestroyWindow(window);
    }

    HWND Window(int x, int y, int width, int height, HWND parent = nullptr)
    {
        HWND window = MakeWindow(x, y, width, height, parent);
        if (!parent)
            m_windows.push_back(window);
        return window;
    }
    std::string File(const char* name) const { return (m_folder / name).string(); }

    yonda::testing::TempFolder m_folder{"yonda-shots"};
    std::vector<HWND> m_windows;
};

TEST_F(Screenshots, TheViewsFrameIsSavedAsBmpAndJpeg)
{
    HWND view = Window(30, 40, 160, 120);
    ShotDevice device(view);
    ASSERT_NE(device.get(), nullptr);
    ASSERT_TRUE(device.Show(kViewColour));

    ASSERT_EQ(SaveScreenshot(device.get(), view, File("view.bmp").c_str(), File("view.jpg").c_str(), nullptr, 0, 0,
                             nullptr, FALSE),
              D3D_OK);
    const Decoded bmp = Identify(File("view.bmp"));
    EXPECT_EQ(bmp.width, 160);
    EXPECT_EQ(bmp.height, 120);
    EXPECT_EQ(PixelAt(File("view.bmp"), 0, 0), long(kViewColour & 0xffffff));
    EXPECT_EQ(PixelAt(File("view.bmp"), 159, 119), long(kViewColour & 0xffffff));
    const Decoded jpeg = Identify(File("view.jpg"));
    EXPECT_EQ(jpeg.width, 160);
    EXPECT_EQ(jpeg.height, 120);
    EXPECT_TRUE(Near(PixelAt(File("view.jpg"), 80, 60), kViewColour, 8));

    // A part of the window, shrunk for the JPEG; the BMP goes when asked.
    RECT part{10, 20, 110, 70};
    ASSERT_EQ(SaveScreenshot(device.get(), view, File("part.bmp").c_str(), File("part.jpg").c_str(), &part, 50, 25,
                             nullptr, TRUE),
              D3D_OK);
    EXPECT_FALSE(std::filesystem::exists(File("part.bmp")));
    const Decoded small = Identify(File("part.jpg"));
    EXPECT_EQ(small.width, 50);
    EXPECT_EQ(small.height, 25);
    EXPECT_TRUE(Near(PixelAt(File("part.jpg"), 25, 12), kViewColour, 8));
}

TEST_F(Screenshots, APreviewsSwapChainIsSavedByItsPart)
{
    HWND view = Window(0, 0, 200, 150);
    HWND preview = Window(100, 20, 80, 60, view);
    ShotDevice device(view);
    ASSERT_NE(device.get(), nullptr);
    ASSERT_TRUE(device.Show(kViewColour));
    D3DPRESENT_PARAMETERS params{};
    params.BackBufferWidth = 80;
    params.BackBufferHeight = 60;
    params.BackBufferFormat = D3DFMT_X8R8G8B8;
    params.BackBufferCount = 1;
    params.SwapEffect = D3DSWAPEFFECT_COPY;
    params.hDeviceWindow = preview;
    params.Windowed = TRUE;
    IDirect3DSwapChain8* chain = nullptr;
    ASSERT_EQ(device.get()->CreateAdditionalSwapChain(&params, &chain), D3D_OK);
    IDirect3DSurface8* back = nullptr;
    ASSERT_EQ(chain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    ASSERT_EQ(device.get()->SetRenderTarget(back, nullptr), D3D_OK);
    back->Release();
    ASSERT_EQ(device.get()->Clear(0, nullptr, D3DCLEAR_TARGET, kPreviewColour, 1.0f, 0), D3D_OK);

    // The preview's area less 14 pixels at each side, as the avatar capture takes it.
    RECT part{14, 0, 66, 60};
    ASSERT_EQ(SaveScreenshot(device.get(), preview, File("avatar.jpg.bmp").c_str(), File("avatar.jpg").c_str(), &part,
                             26, 30, chain, FALSE),
              D3D_OK);
    const Decoded bmp = Identify(File("avatar.jpg.bmp"));
    EXPECT_EQ(bmp.width, 52);
    EXPECT_EQ(bmp.height, 60);
    EXPECT_EQ(PixelAt(File("avatar.jpg.bmp"), 0, 0), long(kPreviewColour & 0xffffff));
    const Decoded jpeg = Identify(File("avatar.jpg"));
    EXPECT_EQ(jpeg.width, 26);
    EXPECT_EQ(jpeg.height, 30);
    EXPECT_TRUE(Near(PixelAt(File("avatar.jpg"), 13, 15), kPreviewColour, 8));

    // A JPEG larger than the capture cannot be made from it: a failure, and no JPEG.
    EXPECT_TRUE(FAILED(SaveScreenshot(device.get(), preview, File("big.bmp").c_str(), File("big.jpg").c_str(), &part,
                                      200, 200, chain, TRUE)));
    EXPECT_FALSE(std::filesystem::exists(File("big.jpg")));
    EXPECT_FALSE(std::filesystem::exists(File("big.bmp")));
    chain->Release();
}

TEST_F(Screenshots, AWindowPartlyOffTheScreenIsCutAndOneWhollyOffFails)
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    HWND view = Window(-40, -30, 160, 120);
    ShotDevice device(view);
    ASSERT_NE(device.get(), nullptr);
    ASSERT_TRUE(device.Show(kViewColour));
    ASSERT_EQ(SaveScreenshot(device.get(), view, File("cut.bmp").c_str(), File("cut.jpg").c_str(), nullptr, 0, 0,
                             nullptr, FALSE),
              D3D_OK);
    const Decoded cut = Identify(File("cut.jpg"));
    EXPECT_EQ(cut.width, 120);
    EXPECT_EQ(cut.height, 90);
    EXPECT_EQ(PixelAt(File("cut.bmp"), 0, 0), long(kViewColour & 0xffffff));

    SetWindowPos(view, nullptr, screenWidth + 10, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(device.Show(kViewColour));
    EXPECT_TRUE(FAILED(SaveScreenshot(device.get(), view, File("off.bmp").c_str(), File("off.jpg").c_str(), nullptr, 0,
                                      0, nullptr, FALSE)));
    EXPECT_FALSE(std::filesystem::exists(File("off.bmp")));
    EXPECT_FALSE(std::filesystem::exists(File("off.jpg")));
}

TEST_F(Screenshots, FilesThatCannotBeWrittenAreFailures)
{
    HWND view = Window(0, 0, 64, 48);
    ShotDevice device(view);
    ASSERT_NE(device.get(), nullptr);
    ASSERT_TRUE(device.Show(kViewColour));
    // A plain file stands where the folder should be, which stops even an administrator.
    m_folder.Write("blocker", "not a folder");
    const std::string blocked = File("blocker") + "/shot";

    EXPECT_TRUE(FAILED(SaveScreenshot(device.get(), view, (blocked + ".bmp").c_str(), File("a.jpg").c_str(), nullptr, 0,
                                      0, nullptr, FALSE)));
    EXPECT_FALSE(std::filesystem::exists(File("a.jpg")));

    // A BMP of an earlier capture is never taken for this one.
    std::filesystem::copy_file(File("blocker"), File("old.bmp"));
    RECT empty{10, 10, 10, 20};
    EXPECT_TRUE(FAILED(SaveScreenshot(device.get(), view, File("old.bmp").c_str(), File("b.jpg").c_str(), &empty, 0, 0,
                                      nullptr, FALSE)));
    EXPECT_FALSE(std::filesystem::exists(File("b.jpg")));

    // The BMP is written but the JPEG cannot be.
    EXPECT_TRUE(FAILED(SaveScreenshot(device.get(), view, File("c.bmp").c_str(), (blocked + ".jpg").c_str(), nullptr, 0,
                                      0, nullptr, FALSE)));
    EXPECT_EQ(Identify(File("c.bmp")).width, 64);

    // The capture folders are checked the same way: files and folders are there, nothing past a file.
    EXPECT_TRUE(FileExists(File("c.bmp").c_str()));
    EXPECT_TRUE(FileExists(m_folder.Root().c_str()));
    EXPECT_FALSE(FileExists((blocked + ".jpg").c_str()));

    EXPECT_TRUE(FAILED(
        SaveScreenshot(nullptr, view, File("d.bmp").c_str(), File("d.jpg").c_str(), nullptr, 0, 0, nullptr, FALSE)));
    EXPECT_TRUE(FAILED(SaveScreenshot(device.get(), nullptr, File("d.bmp").c_str(), File("d.jpg").c_str(), nullptr, 0,
                                      0, nullptr, FALSE)));
}

} // namespace
