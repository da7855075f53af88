// What the program reads from the skin folder at start: the three animated cursors load through
// the window system's cursor loader and are well-formed animations, and the splash picture loads
// through the toolkit's BMP reader and holds the progress bar in its well, as the splash shows it.
#include "BmpFile.h"
#include "ControlTestSupport.h"
#include "ImageFile.h"
#include "SkinProgressCtrl.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

using namespace yonda::uitest;

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t U32(const Bytes& b, size_t at)
{
    return at + 4 <= b.size() ? b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24)
                              : 0;
}

uint16_t U16(const Bytes& b, size_t at)
{
    return at + 2 <= b.size() ? static_cast<uint16_t>(b[at] | (b[at + 1] << 8)) : 0;
}

Bytes ReadFile(const CString& windowsPath)
{
    std::ifstream in(YondaHostPath(windowsPath), std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct Frame {
    int hotX = 0, hotY = 0, width = 0, height = 0;
    std::vector<uint32_t> argb; // top row first
};

struct Animation {
    uint32_t headerFrames = 0, headerSteps = 0, flags = 0;
    std::vector<uint32_t> rates, sequence;
    std::vector<Frame> frames;
};

// One cursor file: its directory, then a 32-bit image whose mask must agree with its alpha.
void ReadCursor(const Bytes& cur, Frame* frame)
{
    ASSERT_GE(cur.size(), 22u + 40u);
    EXPECT_EQ(U16(cur, 0), 0);
    EXPECT_EQ(U16(cur, 2), 2) << "a cursor, with a hot spot";
    EXPECT_EQ(U16(cur, 4), 1);
    frame->hotX = U16(cur, 10);
    frame->hotY = U16(cur, 12);
    const size_t at = U32(cur, 18);
    ASSERT_EQ(U32(cur, 14), cur.size() - at);
    ASSERT_EQ(U32(cur, at), 40u);
    frame->width = static_cast<int>(U32(cur, at + 4));
    frame->height = static_cast<int>(U32(cur, at + 8)) / 2;
    ASSERT_EQ(frame->width, 32);
    ASSERT_EQ(frame->height, 32);
    ASSERT_EQ(U16(cur, at + 14), 32);
    const size_t colours = at + 40;
    const size_t mask = colours + 32 * 32 * 4;
    ASSERT_EQ(cur.size(), mask + 32 * 4);
    frame->argb.resize(32 * 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const uint32_t p = U32(cur, colours + (static_cast<size_t>(31 - y) * 32 + x) * 4);
            const bool transparent = (cur[mask + static_cast<size_t>(31 - y) * 4 + x / 8] >> (7 - x % 8)) & 1;
            ASSERT_EQ(transparent, (p >> 24) == 0) << x << "," << y;
            frame->argb[static_cast<size_t>(y) * 32 + x] = p;
        }
    }
}

void ReadAni(const Bytes& b, Animation* ani)
{
    ASSERT_GE(b.size(), 12u);
    ASSERT_EQ(std::memcmp(b.data(), "RIFF", 4), 0);
    ASSERT_EQ(std::memcmp(b.data() + 8, "ACON", 4), 0);
    ASSERT_EQ(U32(b, 4), b.size() - 8);
    for (size_t at = 12; at + 8 <= b.size();) {
        const std::string id(b.begin() + at, b.begin() + at + 4);
        const uint32_t size = U32(b, at + 4);
        const size_t body = at + 8;
        ASSERT_LE(size, b.size() - body) << id;
        if (id == "anih") {
            ASSERT_EQ(size, 36u);
            EXPECT_EQ(U32(b, body), 36u);
            ani->headerFrames = U32(b, body + 4);
            ani->headerSteps = U32(b, body + 8);
            ani->flags = U32(b, body + 32);
        } else if (id == "rate" || id == "seq ") {
            for (uint32_t i = 0; i < size; i += 4) {
                (id == "rate" ? ani->rates : ani->sequence).push_back(U32(b, body + i));
            }
        } else if (id == "LIST" && std::memcmp(b.data() + body, "fram", 4) == 0) {
            for (size_t f = body + 4; f + 8 <= body + size;) {
                EXPECT_EQ(std::memcmp(b.data() + f, "icon", 4), 0);
                const uint32_t length = U32(b, f + 4);
                ASSERT_LE(f + 8 + length, body + size);
                Frame frame;
                ReadCursor(Bytes(b.begin() + f + 8, b.begin() + f + 8 + length), &frame);
                ani->frames.push_back(std::move(frame));
                f += 8 + length + (length & 1);
            }
        }
        at = body + size + (size & 1);
    }
}

} // namespace

TEST(StartupFiles, TheCursorsAreAnimationsTheCursorLoaderTakes)
{
    for (const char* skin : {"Orange", "Orange_Do"}) {
        for (const char* name : {"default.ani", "wait.ani", "NotMoveAble.ani"}) {
            SCOPED_TRACE(std::string(skin) + "\\" + name);
            const CString path = SkinFolder(skin) + "\\" + name;
            HCURSOR cursor = LoadCursorFromFileA(path);
            ASSERT_TRUE(cursor);
            DestroyCursor(cursor);

            Animation ani;
            ReadAni(ReadFile(path), &ani);
            ASSERT_GT(ani.frames.size(), 1u) << "animated";
            EXPECT_EQ(ani.headerFrames, ani.frames.size());
            EXPECT_EQ(ani.flags, 3u) << "cursor-file frames and an explicit order";
            ASSERT_EQ(ani.headerSteps, ani.sequence.size());
            ASSERT_EQ(ani.rates.size(), ani.sequence.size());
            std::vector<bool> shown(ani.frames.size(), false);
            for (size_t step = 0; step < ani.sequence.size(); ++step) {
                ASSERT_LT(ani.sequence[step], ani.frames.size());
                shown[ani.sequence[step]] = true;
                EXPECT_GT(ani.rates[step], 0u);
                EXPECT_LE(ani.rates[step], 300u) << "at most five seconds a step";
            }
            EXPECT_EQ(std::count(shown.begin(), shown.end(), false), 0) << "every frame is shown";
            for (size_t i = 0; i < ani.frames.size(); ++i) {
                const Frame& f = ani.frames[i];
                EXPECT_EQ(f.hotX, ani.frames[0].hotX);
                EXPECT_EQ(f.hotY, ani.frames[0].hotY);
                ASSERT_LT(f.hotX, 32);
                ASSERT_LT(f.hotY, 32);
                EXPECT_GT(f.argb[static_cast<size_t>(f.hotY) * 32 + f.hotX] >> 24, 100u)
                    << "the hot spot is on the picture";
                if (i > 0) {
                    EXPECT_NE(f.argb, ani.frames[i - 1].argb) << "frame " << i << " moves";
                }
                // Soft edges: some pixels are partly transparent, the corner far from the shape not at all.
                const int partial = static_cast<int>(std::count_if(
                    f.argb.begin(), f.argb.end(), [](uint32_t p) { return (p >> 24) > 0 && (p >> 24) < 255; }));
                EXPECT_GT(partial, 10);
                EXPECT_EQ(f.argb[31] >> 24, 0u);
            }
        }
    }
}

TEST(StartupFiles, TheArrowsPointFromTheTopLeftAndTheWaitRingTurnsAboutItsCentre)
{
    for (const char* name : {"default.ani", "NotMoveAble.ani"}) {
        Animation ani;
        ReadAni(ReadFile(SkinFolder() + "\\" + name), &ani);
        ASSERT_FALSE(ani.frames.empty());
        EXPECT_EQ(ani.frames[0].hotX, 1) << name;
        EXPECT_EQ(ani.frames[0].hotY, 1) << name;
    }
    Animation wait;
    ReadAni(ReadFile(SkinFolder() + "\\wait.ani"), &wait);
    ASSERT_EQ(wait.frames.size(), 8u);
    EXPECT_EQ(wait.frames[0].hotX, 16);
    EXPECT_EQ(wait.frames[0].hotY, 16);
    // The ring's head, its one full-orange dot, goes round clockwise from the top, a dot a frame.
    constexpr double kPi = 3.14159265358979323846;
    auto dotPixel = [&](int frame, int dot) {
        const double angle = 2 * kPi * dot / 8 - kPi / 2;
        const int x = static_cast<int>(16 + 10 * std::cos(angle));
        const int y = static_cast<int>(16 + 10 * std::sin(angle));
        return wait.frames[static_cast<size_t>(frame)].argb[static_cast<size_t>(y) * 32 + x];
    };
    for (int frame = 0; frame < 8; ++frame) {
        EXPECT_EQ(dotPixel(frame, frame), 0xFFF07A1Au) << frame;
        EXPECT_NE(dotPixel(frame, (frame + 1) % 8), 0xFFF07A1Au) << frame;
    }
}

TEST(StartupFiles, TheSplashPictureLoadsAndHoldsTheProgressBarInItsWell)
{
    const CRect bar(255, 165, 461, 184);
    for (const char* skin : {"Orange", "Orange_Do"}) {
        SCOPED_TRACE(skin);
        const CString path = SkinFolder(skin) + "\\Loading.bmp";
        const Bytes file = ReadFile(path);
        BmpPicture picture;
        ASSERT_EQ(ParseBmp(file, &picture), BmpError::None);
        EXPECT_EQ(picture.width, 480);
        EXPECT_EQ(picture.height, 260);
        EXPECT_EQ(picture.bitCount, 24);
        // The bar lies inside, on the well of the bar's own background colour, framed in orange.
        EXPECT_EQ(picture.PixelAt(bar.CenterPoint().x, bar.CenterPoint().y), 0xEEEEEEu);
        EXPECT_EQ(picture.PixelAt(bar.left - 1, bar.top - 1), 0xEEEEEEu);
        EXPECT_EQ(picture.PixelAt(bar.right, bar.bottom), 0xEEEEEEu);
        EXPECT_EQ(picture.PixelAt(bar.left - 4, bar.CenterPoint().y), 0xB85A10u);

        CImageFile image;
        int width = 0, height = 0;
        unsigned char* rgb = image.LoadBmp(std::string(path), &width, &height);
        ASSERT_TRUE(rgb) << image.m_strStatus;
        EXPECT_EQ(width, 480);
        EXPECT_EQ(height, 260);
        delete[] rgb;
    }
    // Each skin writes its texts in its own language.
    EXPECT_NE(ReadFile(SkinFolder("Orange") + "\\Loading.bmp"), ReadFile(SkinFolder("Orange_Do") + "\\Loading.bmp"));
}

namespace {

// The splash as the program sets it up: the picture as the window's background and the skinned
// bar over it with the splash's colours, style and step.
class SplashWnd : public CWnd {
public:
    explicit SplashWnd(HBITMAP picture) : m_picture(picture)
    {
        BITMAP info{};
        GetObjectA(picture, sizeof info, &info);
        CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP | WS_VISIBLE, 0, 0, info.bmWidth, info.bmHeight, nullptr,
                 nullptr);
        m_bar.Create(WS_CHILD | WS_VISIBLE, CRect(255, 165, 461, 184), this, 11);
        m_bar.SendMessage(CCM_SETBKCOLOR, 0, 0xEEEEEE);
        m_bar.SendMessage(PBM_SETBARCOLOR, 0x1DC3FF, 0xEEEEEE);
        m_bar.ModifyStyle(0, PBS_GRADIENT_ON_BAR | PBS_MOVING_SEGMENT, SWP_FRAMECHANGED);
        m_bar.SetStep(5);
        m_bar.Invalidate();
    }
    ~SplashWnd() override
    {
        DestroyWindow();
        DeleteObject(m_picture);
    }
    CSkinProgressCtrl m_bar;

protected:
    BOOL OnEraseBkgnd(CDC* dc) override
    {
        CDC memory;
        memory.CreateCompatibleDC(dc);
        HGDIOBJ old = memory.SelectObject(m_picture);
        BITMAP info{};
        GetObjectA(m_picture, sizeof info, &info);
        dc->BitBlt(0, 0, info.bmWidth, info.bmHeight, &memory, 0, 0, SRCCOPY);
        memory.SelectObject(old);
        return TRUE;
    }

private:
    HBITMAP m_picture;
};

} // namespace

TEST(StartupFiles, TheSplashBarMovesAcrossItsWell)
{
    SplashWnd splash(LoadBitmapHandle(SkinFolder() + "\\Loading.bmp"));
    Pump();
    for (int tick = 0; tick < 12; ++tick) {
        splash.m_bar.StepIt();
    }
    splash.m_bar.UpdateWindow();
    Pump();
    // Position 60 of 100, tail 20: the segment covers 41..123 of the bar's 206 pixels and runs
    // from the well's grey at its tail to the splash's orange at its head.
    const int y = 174;
    EXPECT_EQ(Pixel(splash.m_hWnd, 255 + 20, y), 0xEEEEEEu);
    const unsigned head = Pixel(splash.m_hWnd, 255 + 122, y);
    EXPECT_NEAR(static_cast<int>(head >> 16), 0xFF, 2);
    EXPECT_NEAR(static_cast<int>((head >> 8) & 0xFF), 0xC3, 4);
    EXPECT_NEAR(static_cast<int>(head & 0xFF), 0x1D, 8);
    EXPECT_EQ(Pixel(splash.m_hWnd, 255 + 150, y), 0xEEEEEEu);
    // Outside the bar the picture shows: the well's orange frame.
    EXPECT_EQ(Pixel(splash.m_hWnd, 251, y), 0xB85A10u);
    if (HasFailure()) {
        const char* binary = std::getenv("YONDA_BINARY_DIR");
        const std::string shown = std::string(binary ? binary : ".") + "/tests/splash-shown.png";
        YondaCaptureWindowToPng(splash.m_hWnd, shown.c_str());
        ADD_FAILURE() << "what the splash showed: " << shown;
    }
}
