// The message box made of windows, driven headless by injected input from inside its own modal
// loop (a thread timer fires there): buttons by kind, Enter and Escape, the owner disabled while
// it is up, WM_QUIT passed on, and the capture hook still taking boxes first.
#include <windows.h>
#include <yonda_capture.h>
#include <yonda_display.h>
#include <yonda_platform.h>
#include <yonda_user.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

std::function<void(HWND box)> g_inside;

// Runs `inside` once from the box's modal loop, with the box's window.
void WhenTheBoxIsUp(std::function<void(HWND box)> inside)
{
    g_inside = std::move(inside);
    SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND box = FindWindowA("YondaMessageBox", nullptr);
        if (!box || !IsWindowVisible(box))
            return;
        KillTimer(nullptr, id);
        auto inside = std::move(g_inside);
        g_inside = nullptr;
        if (inside)
            inside(box);
    });
}

void Press(UINT vk)
{
    YondaInjectKey(vk, TRUE);
    YondaInjectKey(vk, FALSE);
}

void ClickButton(HWND box, int id)
{
    HWND button = GetDlgItem(box, id);
    ASSERT_NE(button, nullptr) << "no button " << id;
    RECT r;
    GetClientRect(button, &r);
    YondaInjectClick(button, r.right / 2, r.bottom / 2);
}

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return DefWindowProcA(hwnd, msg, wp, lp);
}

class MessageBoxWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        YondaUseMessageBoxWindow(TRUE);
        WNDCLASSA wc{};
        wc.lpfnWndProc = OwnerProc;
        wc.lpszClassName = "BoxOwner";
        RegisterClassA(&wc);
        m_owner = CreateWindowExA(0, "BoxOwner", "owner", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr,
                                  nullptr, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(m_owner);
        YondaUseMessageBoxWindow(FALSE);
    }
    HWND m_owner = nullptr;
};

TEST_F(MessageBoxWindowTest, AClickOnAButtonAnswersItAndTheOwnerIsDisabledMeanwhile)
{
    BOOL ownerEnabled = TRUE;
    std::string caption;
    WhenTheBoxIsUp([&](HWND box) {
        ownerEnabled = IsWindowEnabled(m_owner);
        char text[64] = {};
        GetWindowTextA(box, text, sizeof text);
        caption = text;
        EXPECT_NE(GetDlgItem(box, IDYES), nullptr);
        EXPECT_EQ(GetDlgItem(box, IDOK), nullptr);
        ClickButton(box, IDNO);
    });
    EXPECT_EQ(MessageBoxA(m_owner, "Leave the room?", "Room", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_EQ(caption, "Room");
    EXPECT_TRUE(IsWindowEnabled(m_owner));
    EXPECT_EQ(FindWindowA("YondaMessageBox", nullptr), nullptr);
}

TEST_F(MessageBoxWindowTest, EnterPressesTheDefaultButtonAndEscapeCancels)
{
    WhenTheBoxIsUp([](HWND) { Press(VK_RETURN); });
    EXPECT_EQ(MessageBoxA(m_owner, "Buy?", "Shop", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    WhenTheBoxIsUp([](HWND) { Press(VK_RETURN); });
    EXPECT_EQ(MessageBoxA(m_owner, "Buy?", "Shop", MB_YESNOCANCEL), IDYES);
    WhenTheBoxIsUp([](HWND) { Press(VK_ESCAPE); });
    EXPECT_EQ(MessageBoxA(m_owner, "Buy?", "Shop", MB_YESNOCANCEL | MB_DEFBUTTON1), IDCANCEL);
    // A lone OK answers Escape too; a yes/no box has no cancel, so Escape does nothing there.
    WhenTheBoxIsUp([](HWND) { Press(VK_ESCAPE); });
    EXPECT_EQ(MessageBoxA(nullptr, "Done", nullptr, MB_OK), IDOK);
    WhenTheBoxIsUp([](HWND box) {
        Press(VK_ESCAPE);
        ClickButton(box, IDYES);
    });
    EXPECT_EQ(MessageBoxA(m_owner, "Quit?", "Yonda", MB_YESNO), IDYES);
}

TEST_F(MessageBoxWindowTest, TheBoxShowsItsCaptionStripTextAndSign)
{
    COLORREF strip = 0, body = 0, sign = 0;
    bool textDrawn = false;
    YondaSetActiveCodePage(949);
    std::string text = YondaUtf8ToCodePage("화면에러입니다.", 949);
    WhenTheBoxIsUp([&](HWND box) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
            DispatchMessageA(&msg);
        RECT r;
        GetClientRect(box, &r);
        strip = YondaGetWindowPixel(box, r.right / 2, 3);
        body = YondaGetWindowPixel(box, 3, r.bottom / 2);
        sign = YondaGetWindowPixel(box, 16, 40);
        // Some pixel of the text row differs from the face colour.
        for (int x = 60; x < r.right - 10 && !textDrawn; ++x)
            for (int y = 36; y < 56 && !textDrawn; ++y)
                if (YondaGetWindowPixel(box, x, y) != body)
                    textDrawn = true;
        Press(VK_RETURN);
    });
    EXPECT_EQ(MessageBoxA(m_owner, text.c_str(), "Error", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(strip, RGB(0x2B, 0x4A, 0x7E));
    EXPECT_EQ(body, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(sign, RGB(0xC8, 0x20, 0x20));
    EXPECT_TRUE(textDrawn);
}

TEST_F(MessageBoxWindowTest, AQuitMessageEndsTheBoxAndIsPassedOn)
{
    WhenTheBoxIsUp([](HWND) { PostQuitMessage(7); });
    EXPECT_EQ(MessageBoxA(m_owner, "Wait", "Yonda", MB_OKCANCEL), IDCANCEL);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_TRUE(IsWindowEnabled(m_owner));
}

TEST_F(MessageBoxWindowTest, TheCaptureHookStillTakesEveryBoxFirst)
{
    YondaMessageBoxCapture capture(IDRETRY);
    EXPECT_EQ(MessageBoxA(m_owner, "Lost", "Net", MB_RETRYCANCEL), IDRETRY);
    ASSERT_EQ(capture.Texts().size(), 1u);
    EXPECT_EQ(FindWindowA("YondaMessageBox", nullptr), nullptr);
}

} // namespace
