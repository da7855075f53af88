// CWnd dispatch to virtual handlers, reflection to the control first, pre-translation along the
// parent chain, and nested modal dialogs whose loops keep timers and posted messages flowing.
#include "MessagePump.h"

#include <afxwin.h>
#include <yonda_user.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<std::string> g_events;

class Child : public CWnd {
public:
    HBRUSH brush = nullptr;
    HBRUSH CtlColor(CDC*, UINT) override
    {
        g_events.push_back("child CtlColor");
        return brush;
    }
    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_USER + 9)
            g_events.push_back("child PreTranslate");
        return FALSE;
    }
};

class Parent : public CWnd {
public:
    int OnCreate(LPCREATESTRUCT cs) override
    {
        g_events.push_back("parent OnCreate");
        return CWnd::OnCreate(cs);
    }
    void OnSize(UINT, int cx, int cy) override
    {
        g_events.push_back("parent OnSize " + std::to_string(cx) + "x" + std::to_string(cy));
    }
    HBRUSH OnCtlColor(CDC*, CWnd*, UINT) override
    {
        g_events.push_back("parent OnCtlColor");
        return nullptr;
    }
    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_USER + 9)
            g_events.push_back("parent PreTranslate");
        return msg->message == WM_USER + 9;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_USER + 20)
            return 77;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

TEST(CWnd, HandlersReflectionAndPreTranslation)
{
    g_events.clear();
    Parent parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "p", WS_POPUP, 0, 0, 80, 60, nullptr, nullptr));
    EXPECT_EQ(g_events, (std::vector<std::string>{"parent OnCreate", "parent OnSize 80x60"}));
    EXPECT_EQ(CWnd::FromHandlePermanent(parent.m_hWnd), &parent);
    EXPECT_EQ(parent.SendMessage(WM_USER + 20), 77);

    Child child;
    ASSERT_TRUE(child.Create(nullptr, "c", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 5));
    g_events.clear();
    // The control answers its colour message first; without a brush the parent's handler runs.
    parent.SendMessage(WM_CTLCOLOREDIT, 0, reinterpret_cast<LPARAM>(child.m_hWnd));
    EXPECT_EQ(g_events, (std::vector<std::string>{"child CtlColor", "parent OnCtlColor"}));
    g_events.clear();
    child.brush = GetSysColorBrush(COLOR_WINDOW);
    EXPECT_EQ(parent.SendMessage(WM_CTLCOLOREDIT, 0, reinterpret_cast<LPARAM>(child.m_hWnd)),
              reinterpret_cast<LRESULT>(child.brush));
    EXPECT_EQ(g_events, (std::vector<std::string>{"child CtlColor"}));

    // Pre-translation walks from the target up its parents and stops at the first taker.
    g_events.clear();
    MSG msg{child.m_hWnd, WM_USER + 9, 0, 0, 0, {}};
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(parent.m_hWnd, &msg));
    EXPECT_EQ(g_events, (std::vector<std::string>{"child PreTranslate", "parent PreTranslate"}));
    parent.DestroyWindow();
    EXPECT_EQ(parent.m_hWnd, nullptr);
    EXPECT_EQ(child.m_hWnd, nullptr);
}

class TimedDialog : public CDialog {
public:
    int depth = 0;
    int ticks = 0;
    int posted = 0;
    std::vector<int>* order = nullptr;
    int OnCreate(LPCREATESTRUCT cs) override
    {
        order->push_back(100 + depth);
        return CDialog::OnCreate(cs);
    }
    BOOL OnInitDialog() override
    {
        order->push_back(200 + depth);
        SetTimer(1, 10);
        PostMessage(WM_USER + 1);
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_USER + 1)
            ++posted;
        return CDialog::WindowProc(message, wParam, lParam);
    }
    void OnTimer(UINT_PTR) override
    {
        if (++ticks == 3) {
            if (depth == 0) {
                // A nested box: this dialog's timer keeps firing while it runs.
                TimedDialog inner;
                inner.depth = 1;
                inner.order = order;
                inner.m_pParentWnd = this;
                int before = ticks;
                EXPECT_EQ(inner.DoModal(), IDOK);
                EXPECT_GT(ticks, before);
                EXPECT_TRUE(IsWindowEnabled());
            }
            if (depth == 1) {
                EXPECT_FALSE(m_pParentWnd->IsWindowEnabled());
            }
        }
        if (ticks >= 5 + depth * 3) {
            KillTimer(1);
            EndDialog(IDOK);
        }
    }
};

TEST(CDialog, NestedModalLoopsKeepTimersAndPostsFlowingAndDisableTheOwner)
{
    std::vector<int> order;
    TimedDialog outer;
    outer.order = &order;
    EXPECT_EQ(outer.DoModal(), IDOK);
    EXPECT_EQ(order, (std::vector<int>{100, 200, 101, 201}));
    EXPECT_EQ(outer.posted, 1);
    EXPECT_EQ(outer.m_hWnd, nullptr);
}

} // namespace

namespace {

class OwnerDrawn : public CButton {
public:
    std::vector<UINT> states;
    void DrawItem(LPDRAWITEMSTRUCT dis) override { states.push_back(dis->itemState); }
};

class Host : public CWnd {
public:
    std::vector<std::string> events;
    void OnDrawItem(int, LPDRAWITEMSTRUCT) override { events.push_back("host OnDrawItem"); }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (LOWORD(wParam) == 191)
            events.push_back("host command 191");
        return CWnd::OnCommand(wParam, lParam);
    }
};

TEST(CButton, DrawItemIsReflectedToTheButtonAndClicksReachTheParent)
{
    Host host;
    ASSERT_TRUE(
        host.CreateEx(0, AfxRegisterWndClass(0), "host", WS_POPUP | WS_VISIBLE, 0, 0, 100, 60, nullptr, nullptr));
    OwnerDrawn button;
    ASSERT_TRUE(button.Create("OK", 0x5000000B, CRect(10, 10, 50, 30), &host, 191));
    button.UpdateWindow();
    ASSERT_FALSE(button.states.empty());
    EXPECT_TRUE(host.events.empty()); // the control drew itself; the parent saw nothing
    YondaInjectClick(button.m_hWnd, 3, 3);
    yonda::testing::Pump();
    EXPECT_EQ(host.events, (std::vector<std::string>{"host command 191"}));
    host.DestroyWindow();
}

} // namespace

// A thread that ends with windows still open (a program leaving its loop on WM_QUIT) lets its
// temporary window objects go without destroying the windows they stood for.
TEST(CWnd, TemporaryObjectsLeaveTheirWindowsAloneWhenTheThreadEnds)
{
    static std::atomic<int> destroyed{0};
    destroyed = 0;
    std::thread([] {
        WNDCLASSA cls{};
        cls.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message == WM_DESTROY)
                ++destroyed;
            return ::DefWindowProcA(hwnd, message, wParam, lParam);
        };
        cls.lpszClassName = "TemporaryWndsTest";
        ::RegisterClassA(&cls);
        HWND top = ::CreateWindowExA(0, "TemporaryWndsTest", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                     nullptr, nullptr);
        HWND child = ::CreateWindowExA(0, "TemporaryWndsTest", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top, nullptr,
                                       nullptr, nullptr);
        ASSERT_NE(CWnd::FromHandle(child), nullptr);
        ASSERT_NE(CWnd::FromHandle(top), nullptr);
    }).join();
    EXPECT_EQ(destroyed.load(), 0);
}
