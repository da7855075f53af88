// The desktop display on SDL's own off-screen driver: desktop windows follow the window system's
// top-level windows and show their pixels (painted or presented by Direct3D), and desktop events
// come back as the window messages a program expects.
#include "../SdlDisplay.h"
#include "MessagePump.h"

#include <d3d8.h>
#include <imm.h>
#include <windows.h>
#include <yonda_display.h>
#include <yonda_platform.h>
#include <yonda_user.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using yonda::display::CurrentSdlDisplay;
using yonda::testing::Pump;

struct Shown {
    bool exists = false;
    bool hidden = true;
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB
    uint32_t At(int px, int py) const { return pixels[static_cast<size_t>(py) * width + px] & 0xFFFFFF; }
};

// What the desktop shows for a top-level window, read on the display thread.
Shown DesktopView(HWND top)
{
    Shown shown;
    YondaDisplayFlush();
    auto* display = CurrentSdlDisplay();
    display->RunOnDisplayThread([&] {
        SDL_Window* window = display->DesktopWindowOf(top);
        if (!window)
            return;
        shown.exists = true;
        shown.hidden = (SDL_GetWindowFlags(window) & SDL_WINDOW_HIDDEN) != 0;
        SDL_GetWindowPosition(window, &shown.x, &shown.y);
        SDL_Surface* surface = SDL_GetWindowSurface(window);
        if (!surface)
            return;
        SDL_Surface* argb = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_ARGB8888, 0);
        shown.width = argb->w;
        shown.height = argb->h;
        for (int y = 0; y < argb->h; ++y) {
            auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch);
            shown.pixels.insert(shown.pixels.end(), row, row + argb->w);
        }
        SDL_FreeSurface(argb);
    });
    return shown;
}

void Push(SDL_Event event)
{
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

Uint32 DesktopIdOf(HWND top)
{
    Uint32 id = 0;
    auto* display = CurrentSdlDisplay();
    display->RunOnDisplayThread([&] {
        if (SDL_Window* window = display->DesktopWindowOf(top))
            id = SDL_GetWindowID(window);
    });
    return id;
}

// Desktop events reach the program once the display has handed them on.
void Deliver()
{
    YondaDisplayFlush();
    Pump();
}

struct Seen {
    std::vector<MSG> messages;
    std::vector<UINT> commands;
};
Seen* g_seen = nullptr;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (g_seen) {
        if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED)
            g_seen->commands.push_back(LOWORD(wp));
        if (msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_SYSKEYDOWN || msg == WM_CHAR || msg == WM_MOUSEWHEEL)
            g_seen->messages.push_back(MSG{hwnd, msg, wp, lp, 0, {}});
    }
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        HBRUSH teal = CreateSolidBrush(RGB(0x10, 0x80, 0x90));
        FillRect(dc, &r, teal);
        DeleteObject(teal);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

class SdlDisplayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_TRUE(YondaStartDisplay());
        ASSERT_TRUE(YondaDisplayActive());
        YondaSetActiveCodePage(949);
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = "DesktopShown";
        RegisterClassA(&wc);
        g_seen = &m_seen;
        m_top =
            CreateWindowExA(0, "DesktopShown", "skin", WS_POPUP, 120, 80, 200, 150, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_top, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(m_top);
        g_seen = nullptr;
        YondaStopDisplay();
        EXPECT_FALSE(YondaDisplayActive());
    }
    void ShowAndPaint()
    {
        ShowWindow(m_top, SW_SHOW);
        UpdateWindow(m_top);
        Pump();
    }

    Seen m_seen;
    HWND m_top = nullptr;
};

TEST_F(SdlDisplayTest, DesktopWindowsFollowTheirWindowsAndShowTheirPixels)
{
    EXPECT_FALSE(DesktopView(m_top).exists); // hidden windows have none
    ShowAndPaint();
    Shown shown = DesktopView(m_top);
    ASSERT_TRUE(shown.exists);
    EXPECT_FALSE(shown.hidden);
    EXPECT_EQ(shown.x, 120);
    EXPECT_EQ(shown.y, 80);
    ASSERT_EQ(shown.width, 200);
    ASSERT_EQ(shown.height, 150);
    EXPECT_EQ(shown.At(0, 0), 0x108090u);
    EXPECT_EQ(shown.At(199, 149), 0x108090u);

    MoveWindow(m_top, 30, 40, 100, 60, TRUE);
    Pump();
    shown = DesktopView(m_top);
    EXPECT_EQ(shown.x, 30);
    EXPECT_EQ(shown.y, 40);
    ASSERT_EQ(shown.width, 100);
    EXPECT_EQ(shown.height, 60);
    EXPECT_EQ(shown.At(99, 59), 0x108090u);

    ShowWindow(m_top, SW_HIDE);
    EXPECT_TRUE(DesktopView(m_top).hidden);
    ShowWindow(m_top, SW_SHOW);
    Pump();
    EXPECT_FALSE(DesktopView(m_top).hidden);
    DestroyWindow(m_top);
    EXPECT_FALSE(DesktopView(m_top).exists);
    m_top = nullptr;
}

TEST_F(SdlDisplayTest, ScreenMetricsComeFromTheDesktop)
{
    SDL_Rect bounds{};
    CurrentSdlDisplay()->RunOnDisplayThread([&] { SDL_GetDisplayBounds(0, &bounds); });
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), bounds.w);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), bounds.h);
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_GT(work.right - work.left, 0);
    EXPECT_LE(work.right - work.left, bounds.w);
}

TEST_F(SdlDisplayTest, DesktopClicksReachTheButtonUnderThePointer)
{
    HWND button = CreateWindowExA(0, "BUTTON", "Go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 50, 40, 80, 30, m_top,
                                  reinterpret_cast<HMENU>(42), nullptr, nullptr);
    ShowAndPaint();
    Uint32 id = DesktopIdOf(m_top);
    ASSERT_NE(id, 0u);
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = id;
    e.motion.x = 60;
    e.motion.y = 50;
    Push(e);
    e = SDL_Event{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = id;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = 60;
    e.button.y = 50;
    Push(e);
    e.type = SDL_MOUSEBUTTONUP;
    Push(e);
    Deliver();
    POINT at;
    GetCursorPos(&at);
    EXPECT_EQ(at.x, 120 + 60); // window-relative desktop points become screen points
    EXPECT_EQ(at.y, 80 + 50);
    ASSERT_EQ(m_seen.commands.size(), 1u);
    EXPECT_EQ(m_seen.commands[0], 42u);

    // Outside the button nothing is clicked.
    e.button.x = 5;
    e.button.y = 5;
    e.type = SDL_MOUSEBUTTONDOWN;
    Push(e);
    e.type = SDL_MOUSEBUTTONUP;
    Push(e);
    Deliver();
    EXPECT_EQ(m_seen.commands.size(), 1u);
    DestroyWindow(button);
}

SDL_Event Key(Uint32 type, SDL_Keycode key, SDL_Scancode scancode)
{
    SDL_Event e{};
    e.type = type;
    e.key.keysym.sym = key;
    e.key.keysym.scancode = scancode;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    return e;
}

TEST_F(SdlDisplayTest, KeysBecomeVirtualKeysWithTheirScanCodes)
{
    ShowAndPaint();
    SetFocus(m_top);
    Push(Key(SDL_KEYDOWN, SDLK_F5, SDL_SCANCODE_F5));
    Push(Key(SDL_KEYUP, SDLK_F5, SDL_SCANCODE_F5));
    Push(Key(SDL_KEYDOWN, SDLK_F20, SDL_SCANCODE_F20));
    Push(Key(SDL_KEYDOWN, SDLK_PAGEUP, SDL_SCANCODE_PAGEUP));
    Push(Key(SDL_KEYDOWN, SDLK_RETURN, SDL_SCANCODE_RETURN));
    Deliver();
    std::vector<std::pair<UINT, WPARAM>> got;
    for (const MSG& m : m_seen.messages)
        got.emplace_back(m.message, m.wParam);
    std::vector<std::pair<UINT, WPARAM>> expected = {
        {WM_KEYDOWN, VK_F5},    {WM_KEYUP, VK_F5},       {WM_KEYDOWN, VK_F20},
        {WM_KEYDOWN, VK_PRIOR}, {WM_KEYDOWN, VK_RETURN}, {WM_CHAR, '\r'},
    };
    EXPECT_EQ(got, expected);
    ASSERT_FALSE(m_seen.messages.empty());
    EXPECT_EQ(HIWORD(m_seen.messages[0].lParam) & 0xFF, 0x3Fu); // F5's scan code
    // A key held when the desktop takes the focus away is let go of.
    m_seen.messages.clear();
    SDL_Event lost{};
    lost.type = SDL_WINDOWEVENT;
    lost.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    lost.window.windowID = DesktopIdOf(m_top);
    Push(lost);
    Deliver();
    EXPECT_GE(GetAsyncKeyState(VK_F20), 0);
    EXPECT_GE(GetKeyState(VK_F20), 0);
}

TEST_F(SdlDisplayTest, TypedAndComposedTextArrivesInTheActiveCodePage)
{
    HWND edit =
        CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 10, 10, 150, 24, m_top, nullptr, nullptr, nullptr);
    ShowAndPaint();
    SetFocus(edit);
    SDL_Event e{};
    e.type = SDL_TEXTEDITING;
    SDL_strlcpy(e.edit.text, "하", sizeof e.edit.text);
    Push(e);
    Deliver();
    HIMC imc = ImmGetContext(edit);
    char composing[16] = {};
    LONG n = ImmGetCompositionStringA(imc, GCS_COMPSTR, composing, sizeof composing);
    ImmReleaseContext(edit, imc);
    EXPECT_EQ(std::string(composing, n > 0 ? n : 0), YondaUtf8ToCodePage("하", 949));

    e = SDL_Event{};
    e.type = SDL_TEXTINPUT;
    SDL_strlcpy(e.text.text, "한글a", sizeof e.text.text);
    Push(e);
    Deliver();
    char text[32] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_EQ(std::string(text), YondaUtf8ToCodePage("한글a", 949));

    // Alt with a letter is a menu key, not text.
    SDL_SetModState(KMOD_LALT);
    SDL_strlcpy(e.text.text, "x", sizeof e.text.text);
    Push(e);
    Deliver();
    SDL_SetModState(KMOD_NONE);
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_EQ(std::string(text), YondaUtf8ToCodePage("한글a", 949));
    DestroyWindow(edit);
}

TEST_F(SdlDisplayTest, TheWheelGoesToTheFocusInNotches)
{
    ShowAndPaint();
    SetFocus(m_top);
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = -2;
    Push(e);
    Deliver();
    ASSERT_EQ(m_seen.messages.size(), 1u);
    EXPECT_EQ(m_seen.messages[0].message, static_cast<UINT>(WM_MOUSEWHEEL));
    EXPECT_EQ(static_cast<short>(HIWORD(m_seen.messages[0].wParam)), -2 * WHEEL_DELTA);
}

std::string DesktopClipboard()
{
    std::string text;
    CurrentSdlDisplay()->RunOnDisplayThread([&] {
        char* got = SDL_GetClipboardText();
        text = got;
        SDL_free(got);
    });
    return text;
}

TEST_F(SdlDisplayTest, TheClipboardIsTheDesktopsInUtf8WithItsLineBreaks)
{
    std::string korean = YondaUtf8ToCodePage("첫째\r\n둘째", 949);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, korean.size() + 1);
    std::memcpy(GlobalLock(block), korean.c_str(), korean.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    EXPECT_EQ(DesktopClipboard(), "첫째\n둘째");

    CurrentSdlDisplay()->RunOnDisplayThread([] { SDL_SetClipboardText("셋\n넷"); });
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_TEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(data))), YondaUtf8ToCodePage("셋\r\n넷", 949));
    GlobalUnlock(data);
    CloseClipboard();
}

TEST_F(SdlDisplayTest, DirectThreeDPresentsShowOnTheDesktopWindow)
{
    ShowAndPaint();
    IDirect3D8* d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = 200;
    pp.BackBufferHeight = 150;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = m_top;
    pp.Windowed = TRUE;
    IDirect3DDevice8* device = nullptr;
    ASSERT_EQ(
        d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_top, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device),
        D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFC02040u, 1.0f, 0);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    Shown shown = DesktopView(m_top);
    ASSERT_EQ(shown.width, 200);
    EXPECT_EQ(shown.At(10, 10), 0xC02040u);
    EXPECT_EQ(shown.At(199, 149), 0xC02040u);
    device->Release();
    d3d->Release();
}

TEST_F(SdlDisplayTest, MessageBoxesBecomeWindowsWhileTheDisplayRuns)
{
    ShowAndPaint();
    // The box's default button answers Enter; the timer presses it from inside the box's loop.
    SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        YondaInjectKey(VK_RETURN, TRUE);
        YondaInjectKey(VK_RETURN, FALSE);
    });
    EXPECT_EQ(MessageBoxA(m_top, "Saved.", "Yonda", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_TRUE(IsWindowEnabled(m_top));
}

} // namespace
