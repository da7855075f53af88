// End to end on an X server whose screen is larger than the usual 1024 x 768: the Direct3D
// display mode follows the real screen, so a view placed beyond that corner still captures.
#include "ScreenshotFixture.h"
#include "TempFolder.h"
#include "XServer.h"

#include "Screenshot.h"

#include <yonda_display.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using namespace screenshot_test;

namespace {

constexpr D3DCOLOR kViewColour = 0xff30a050u;

TEST(DesktopScreenshot, AViewBeyond1024x768OnALargerScreenStillCaptures)
{
    yonda::testing::XServer server;
    std::string error;
    ASSERT_TRUE(server.Start(&error, "1600x1200x24")) << error;
    setenv("DISPLAY", server.Display().c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("YONDA_HEADLESS");
    setenv("SDL_VIDEODRIVER", "x11", 1);
    ASSERT_TRUE(YondaStartDisplay());
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1600);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1200);

    HWND view = MakeWindow(1250, 900, 240, 180);
    ASSERT_NE(view, nullptr);
    {
        ShotDevice device(view);
        ASSERT_NE(device.get(), nullptr);
        D3DDISPLAYMODE mode{};
        ASSERT_EQ(device.get()->GetDisplayMode(&mode), D3D_OK);
        EXPECT_EQ(mode.Width, 1600u);
        EXPECT_EQ(mode.Height, 1200u);
        ASSERT_TRUE(device.Show(kViewColour));

        const yonda::testing::TempFolder folder("yonda-desktop-shot");
        const std::string bmp = (folder / "far.bmp").string();
        const std::string jpeg = (folder / "far.jpg").string();
        ASSERT_EQ(SaveScreenshot(device.get(), view, bmp.c_str(), jpeg.c_str(), nullptr, 0, 0, nullptr, FALSE), D3D_OK);
        const Decoded picture = Identify(jpeg);
        EXPECT_EQ(picture.width, 240);
        EXPECT_EQ(picture.height, 180);
        EXPECT_EQ(PixelAt(bmp, 239, 179), long(kViewColour & 0xffffff));
        EXPECT_TRUE(Near(PixelAt(jpeg, 120, 90), kViewColour, 8));
    }
    DestroyWindow(view);
    YondaStopDisplay();
}

} // namespace
