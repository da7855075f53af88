// Message sequences of window creation, destruction, showing, moving and focus, as tables.
#include "MessageLog.h"

#include <windows.h>

using yonda::test::Logged;
using yonda::test::MessageLog;

namespace {

const std::set<UINT> kLifeMessages = {WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW,
                                      WM_DESTROY, WM_NCDESTROY, WM_PARENTNOTIFY, WM_SETFOCUS,
                                      WM_KILLFOCUS, WM_ACTIVATE};

HWND Make(const char* name, DWORD style, HWND parent, int id = 0, RECT r = {0, 0, 100, 50}) {
    return CreateWindowExA(0, "LoggedWindow", name, style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<intptr_t>(id)),
                           nullptr, nullptr);
}

TEST(MessageOrder, CreatingAChildSendsCreateThenSizeThenMove) {
    MessageLog log(kLifeMessages);
    HWND top = Make("top", WS_POPUP, nullptr);
    log.Clear();
    HWND child = Make("child", WS_CHILD | WS_VISIBLE, top, 7);
    ASSERT_TRUE(child);
    std::vector<Logged> expected = {
        {"child", WM_NCCREATE}, {"child", WM_CREATE},  {"child", WM_SIZE},
        {"child", WM_MOVE},     {"top", WM_PARENTNOTIFY}, {"child", WM_SHOWWINDOW},
    };
    EXPECT_EQ(log.Log(), expected);
    EXPECT_EQ(GetDlgCtrlID(child), 7);
    EXPECT_EQ(GetDlgItem(top, 7), child);
    DestroyWindow(top);
}

TEST(MessageOrder, DestroyReachesTheParentBeforeItsChildrenAndFreesChildrenFirst) {
    MessageLog log(kLifeMessages);
    HWND top = Make("top", WS_POPUP, nullptr);
    HWND child = Make("child", WS_CHILD, top);
    Make("grandchild", WS_CHILD | WS_VISIBLE, child);
    log.Clear();
    EXPECT_TRUE(DestroyWindow(top));
    std::vector<Logged> expected = {
        {"top", WM_DESTROY},         {"child", WM_DESTROY},  {"grandchild", WM_DESTROY},
        {"grandchild", WM_NCDESTROY}, {"child", WM_NCDESTROY}, {"top", WM_NCDESTROY},
    };
    EXPECT_EQ(log.Log(), expected);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(child));
}

TEST(MessageOrder, CreateReturningMinusOneFailsCreationAndDestroysTheWindow) {
    MessageLog log(kLifeMessages);
    log.react = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT* result) {
        if (msg != WM_CREATE) return false;
        *result = -1;
        return true;
    };
    HWND hwnd = Make("failing", WS_POPUP | WS_VISIBLE, nullptr);
    EXPECT_EQ(hwnd, nullptr);
    std::vector<Logged> expected = {{"failing", WM_NCCREATE}, {"failing", WM_CREATE},
                                    {"failing", WM_DESTROY}, {"failing", WM_NCDESTROY}};
    EXPECT_EQ(log.Log(), expected);
}

TEST(MessageOrder, AWindowMayDestroyItselfInsideItsOwnHandler) {
    MessageLog log({WM_DESTROY, WM_NCDESTROY});
    log.react = [](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT*) {
        if (msg == WM_USER + 1) DestroyWindow(hwnd);
        return false;
    };
    HWND hwnd = Make("self", WS_POPUP, nullptr);
    SendMessageA(hwnd, WM_USER + 1, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    // Messages to the stale handle fail quietly.
    EXPECT_EQ(SendMessageA(hwnd, WM_USER + 1, 0, 0), 0);
    EXPECT_FALSE(PostMessageA(hwnd, WM_USER, 0, 0));
    EXPECT_FALSE(DestroyWindow(hwnd));
    RECT r;
    EXPECT_FALSE(GetWindowRect(hwnd, &r));
    EXPECT_EQ(log.Log().size(), 2u);
}

TEST(MessageOrder, SizeAndMoveAreSentOnlyForARealChange) {
    MessageLog log({WM_SIZE, WM_MOVE});
    HWND top = Make("top", WS_POPUP, nullptr);
    HWND child = Make("child", WS_CHILD | WS_VISIBLE, top, 1, {10, 10, 60, 40});
    log.Clear();
    SetWindowPos(child, nullptr, 0, 0, 50, 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    EXPECT_TRUE(log.Log().empty());
    MoveWindow(child, 20, 10, 50, 30, TRUE);
    MoveWindow(child, 20, 10, 80, 30, TRUE);
    std::vector<Logged> expected = {{"child", WM_MOVE}, {"child", WM_SIZE}};
    EXPECT_EQ(log.Log(), expected);
    RECT r;
    GetWindowRect(child, &r);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.right - r.left, 80);
    DestroyWindow(top);
}

TEST(MessageOrder, ShowWindowSendsShowWindowOnlyOnAChange) {
    MessageLog log({WM_SHOWWINDOW});
    HWND top = Make("top", WS_POPUP, nullptr);
    HWND child = Make("child", WS_CHILD, top);
    EXPECT_FALSE(ShowWindow(child, SW_SHOW));
    EXPECT_TRUE(ShowWindow(child, SW_SHOW));
    EXPECT_TRUE(ShowWindow(child, SW_HIDE));
    EXPECT_EQ(log.Log().size(), 2u);
    EXPECT_FALSE(IsWindowVisible(child));
    DestroyWindow(top);
}

TEST(MessageOrder, AVisiblePopupIsActivatedAndFocusedWhenCreated) {
    MessageLog log({WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS});
    HWND first = Make("first", WS_POPUP | WS_VISIBLE, nullptr);
    EXPECT_EQ(GetActiveWindow(), first);
    EXPECT_EQ(GetFocus(), first);
    log.Clear();
    HWND second = Make("second", WS_POPUP | WS_VISIBLE, first);
    std::vector<Logged> expected = {{"first", WM_ACTIVATE}, {"second", WM_ACTIVATE},
                                    {"first", WM_KILLFOCUS}, {"second", WM_SETFOCUS}};
    EXPECT_EQ(log.Log(), expected);
    // Destroying the owned popup gives activation back to its owner.
    DestroyWindow(second);
    EXPECT_EQ(GetActiveWindow(), first);
    EXPECT_EQ(GetFocus(), first);
    DestroyWindow(first);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST(MessageOrder, DestroyingTheOwnerDestroysOwnedWindowsFirst) {
    MessageLog log({WM_DESTROY});
    HWND owner = Make("owner", WS_POPUP, nullptr);
    HWND owned = Make("owned", WS_POPUP, owner);
    EXPECT_EQ(GetParent(owned), owner);   // a popup's parent is its owner
    EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
    log.Clear();
    DestroyWindow(owner);
    std::vector<Logged> expected = {{"owned", WM_DESTROY}, {"owner", WM_DESTROY}};
    EXPECT_EQ(log.Log(), expected);
    EXPECT_FALSE(IsWindow(owned));
}

TEST(Windows, TextIdsFindingAndCoordinates) {
    MessageLog log({});
    HWND top = Make("Yonda Alpha", WS_POPUP, nullptr, 0, {100, 50, 300, 250});
    HWND child = Make("c", WS_CHILD, top, 3, {10, 20, 30, 40});
    EXPECT_EQ(FindWindowA(nullptr, "yonda alpha"), top);
    EXPECT_EQ(FindWindowA("LoggedWindow", nullptr), top);
    EXPECT_EQ(FindWindowA("NoSuchClass", nullptr), nullptr);
    SetWindowTextA(child, "changed");
    char text[16];
    EXPECT_EQ(GetWindowTextA(child, text, sizeof text), 7);
    EXPECT_STREQ(text, "changed");
    EXPECT_EQ(GetWindowTextA(child, text, 4), 3);
    EXPECT_STREQ(text, "cha");
    POINT pt{1, 2};
    ClientToScreen(child, &pt);
    EXPECT_EQ(pt.x, 111);
    EXPECT_EQ(pt.y, 72);
    ScreenToClient(top, &pt);
    EXPECT_EQ(pt.x, 11);
    RECT rc;
    GetClientRect(child, &rc);
    EXPECT_EQ(rc.right, 20);
    EXPECT_EQ(rc.bottom, 20);
    EXPECT_TRUE(IsChild(top, child));
    EXPECT_EQ(GetAncestor(child, GA_ROOT), top);
    DestroyWindow(top);
}

TEST(Windows, ClassCursorAndStyleThroughClassLongs) {
    MessageLog log({});
    HWND hwnd = Make("w", WS_POPUP, nullptr);
    HCURSOR cursor = reinterpret_cast<HCURSOR>(uintptr_t{0x1234});
    SetClassLongA(hwnd, GCL_HCURSOR, static_cast<LONG>(reinterpret_cast<uintptr_t>(cursor)));
    EXPECT_EQ(reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(GetClassLongA(hwnd, GCL_HCURSOR))), cursor);
    EXPECT_EQ(GetClassLongA(hwnd, GCL_STYLE) & CS_DBLCLKS, static_cast<DWORD>(CS_DBLCLKS));
    SetClassLongA(hwnd, GCL_HCURSOR, 0);
    DestroyWindow(hwnd);
}

}  // namespace
