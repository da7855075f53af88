// Message sequences of window creation, destruction, showing, moving and focus, as tables.
#include "MessageLog.h"

#include <windows.h>
#include <yonda_user.h>

using yonda::test::Logged;
using yonda::test::MessageLog;

namespace {

const std::set<UINT> kLifeMessages = {WM_NCCREATE,   WM_CREATE,    WM_SIZE,      WM_MOVE,
                                      WM_SHOWWINDOW, WM_DESTROY,   WM_NCDESTROY, WM_PARENTNOTIFY,
                                      WM_SETFOCUS,   WM_KILLFOCUS, WM_ACTIVATE};

HWND Make(const char* name, DWORD style, HWND parent, int id = 0, RECT r = {0, 0, 100, 50})
{
    return CreateWindowExA(0, "LoggedWindow", name, style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
}

TEST(MessageOrder, CreatingAChildSendsCreateThenSizeThenMove)
{
    MessageLog log(kLifeMessages);
    HWND top = Make("top", WS_POPUP, nullptr);
    log.Clear();
    HWND child = Make("child", WS_CHILD | WS_VISIBLE, top, 7);
    ASSERT_TRUE(child);
    std::vector<Logged> expected = {
        {"child", WM_NCCREATE}, {"child", WM_CREATE},     {"child", WM_SIZE},
        {"child", WM_MOVE},     {"top", WM_PARENTNOTIFY}, {"child", WM_SHOWWINDOW},
    };
    EXPECT_EQ(log.Log(), expected);
    EXPECT_EQ(GetDlgCtrlID(child), 7);
    EXPECT_EQ(GetDlgItem(top, 7), child);
    DestroyWindow(top);
}

TEST(MessageOrder, DestroyReachesTheParentBeforeItsChildrenAndFreesChildrenFirst)
{
    MessageLog log(kLifeMessages);
    HWND top = Make("top", WS_POPUP, nullptr);
    HWND child = Make("child", WS_CHILD, top);
    Make("grandchild", WS_CHILD | WS_VISIBLE, child);
    log.Clear();
    EXPECT_TRUE(DestroyWindow(top));
    std::vector<Logged> expected = {
        {"top", WM_DESTROY},          {"child", WM_DESTROY},   {"grandchild", WM_DESTROY},
        {"grandchild", WM_NCDESTROY}, {"child", WM_NCDESTROY}, {"top", WM_NCDESTROY},
    };
    EXPECT_EQ(log.Log(), expected);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(child));
}

TEST(MessageOrder, CreateReturningMinusOneFailsCreationAndDestroysTheWindow)
{
    MessageLog log(kLifeMessages);
    log.react = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT* result) {
        if (msg != WM_CREATE)
            return false;
        *result = -1;
        return true;
    };
    HWND hwnd = Make("failing", WS_POPUP | WS_VISIBLE, nullptr);
    EXPECT_EQ(hwnd, nullptr);
    std::vector<Logged> expected = {
        {"failing", WM_NCCREATE}, {"failing", WM_CREATE}, {"failing", WM_DESTROY}, {"failing", WM_NCDESTROY}};
    EXPECT_EQ(log.Log(), expected);
}

TEST(MessageOrder, AWindowMayDestroyItselfInsideItsOwnHandler)
{
    MessageLog log({WM_DESTROY, WM_NCDESTROY});
    log.react = [](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT*) {
        if (msg == WM_USER + 1)
            DestroyWindow(hwnd);
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

TEST(MessageOrder, SizeAndMoveAreSentOnlyForARealChange)
{
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

TEST(MessageOrder, ShowWindowSendsShowWindowOnlyOnAChange)
{
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

TEST(MessageOrder, AVisiblePopupIsActivatedAndFocusedWhenCreated)
{
    MessageLog log({WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS});
    HWND first = Make("first", WS_POPUP | WS_VISIBLE, nullptr);
    EXPECT_EQ(GetActiveWindow(), first);
    EXPECT_EQ(GetFocus(), first);
    log.Clear();
    HWND second = Make("second", WS_POPUP | WS_VISIBLE, first);
    std::vector<Logged> expected = {
        {"first", WM_ACTIVATE}, {"second", WM_ACTIVATE}, {"first", WM_KILLFOCUS}, {"second", WM_SETFOCUS}};
    EXPECT_EQ(log.Log(), expected);
    // Destroying the owned popup gives activation back to its owner.
    DestroyWindow(second);
    EXPECT_EQ(GetActiveWindow(), first);
    EXPECT_EQ(GetFocus(), first);
    DestroyWindow(first);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST(MessageOrder, DestroyingTheOwnerDestroysOwnedWindowsFirst)
{
    MessageLog log({WM_DESTROY});
    HWND owner = Make("owner", WS_POPUP, nullptr);
    HWND owned = Make("owned", WS_POPUP, owner);
    EXPECT_EQ(GetParent(owned), owner); // a popup's parent is its owner
    EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
    log.Clear();
    DestroyWindow(owner);
    std::vector<Logged> expected = {{"owned", WM_DESTROY}, {"owner", WM_DESTROY}};
    EXPECT_EQ(log.Log(), expected);
    EXPECT_FALSE(IsWindow(owned));
}

// Showing a popup activates it inside the show: WM_ACTIVATE and WM_SETFOCUS come between its
// WM_WINDOWPOSCHANGING and WM_WINDOWPOSCHANGED, with no second pair for the raise. The first
// window to become active tells every top-level window that the program is now active.
TEST(MessageOrder, AShowActivatesInsideItAndTheProgramHearsItGainsActivation)
{
    MessageLog log({WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_ACTIVATEAPP, WM_NCACTIVATE,
                    WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS});
    ASSERT_EQ(GetActiveWindow(), nullptr);
    HWND app = Make("app", WS_POPUP, nullptr);
    HWND other = Make("other", WS_POPUP, nullptr);
    log.Clear();
    ShowWindow(app, SW_SHOW);
    std::vector<Logged> shown = {
        {"app", WM_SHOWWINDOW, TRUE},  {"app", WM_WINDOWPOSCHANGING},
        {"app", WM_ACTIVATEAPP, TRUE}, {"other", WM_ACTIVATEAPP, TRUE},
        {"app", WM_NCACTIVATE, TRUE},  {"app", WM_ACTIVATE, WA_ACTIVE},
        {"app", WM_SETFOCUS},          {"app", WM_WINDOWPOSCHANGED},
    };
    EXPECT_EQ(log.Log(), shown);

    HWND second = Make("second", WS_POPUP, app);
    log.Clear();
    ShowWindow(second, SW_SHOW);
    std::vector<Logged> switched = {
        {"second", WM_SHOWWINDOW, TRUE}, {"second", WM_WINDOWPOSCHANGING},
        {"app", WM_NCACTIVATE, FALSE},   {"app", WM_ACTIVATE, WA_INACTIVE},
        {"second", WM_NCACTIVATE, TRUE}, {"second", WM_ACTIVATE, WA_ACTIVE},
        {"app", WM_KILLFOCUS},           {"second", WM_SETFOCUS},
        {"second", WM_WINDOWPOSCHANGED},
    };
    EXPECT_EQ(log.Log(), switched);

    // Raising a window activates it inside the move as well.
    log.Clear();
    SetWindowPos(app, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    std::vector<Logged> raised = {
        {"app", WM_WINDOWPOSCHANGING}, {"second", WM_NCACTIVATE, FALSE}, {"second", WM_ACTIVATE, WA_INACTIVE},
        {"app", WM_NCACTIVATE, TRUE},  {"app", WM_ACTIVATE, WA_ACTIVE},  {"second", WM_KILLFOCUS},
        {"app", WM_SETFOCUS},          {"app", WM_WINDOWPOSCHANGED},
    };
    EXPECT_EQ(log.Log(), raised);

    // An owned window stays above its owner when the owner is raised, so activating it raises
    // nothing; a second activation changes nothing.
    log.Clear();
    SetActiveWindow(second);
    SetActiveWindow(second);
    std::vector<Logged> activated = {
        {"app", WM_NCACTIVATE, FALSE},   {"app", WM_ACTIVATE, WA_INACTIVE},
        {"second", WM_NCACTIVATE, TRUE}, {"second", WM_ACTIVATE, WA_ACTIVE},
        {"app", WM_KILLFOCUS},           {"second", WM_SETFOCUS},
    };
    EXPECT_EQ(log.Log(), activated);
    DestroyWindow(app);
    DestroyWindow(other);
}

// Hiding the active window gives activation away after the hide; hiding the last shown one
// deactivates the program, which every top-level window hears before the focus goes.
TEST(MessageOrder, HidingTheLastShownWindowDeactivatesTheProgram)
{
    MessageLog log({WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_ACTIVATEAPP, WM_NCACTIVATE,
                    WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS});
    HWND app = Make("app", WS_POPUP | WS_VISIBLE, nullptr);
    HWND second = Make("second", WS_POPUP | WS_VISIBLE, app);
    ASSERT_EQ(GetActiveWindow(), second);
    log.Clear();
    ShowWindow(second, SW_HIDE);
    std::vector<Logged> toOwner = {
        {"second", WM_SHOWWINDOW, FALSE},
        {"second", WM_WINDOWPOSCHANGING},
        {"second", WM_WINDOWPOSCHANGED},
        {"second", WM_NCACTIVATE, FALSE},
        {"second", WM_ACTIVATE, WA_INACTIVE},
        {"app", WM_NCACTIVATE, TRUE},
        {"app", WM_ACTIVATE, WA_ACTIVE},
        {"second", WM_KILLFOCUS},
        {"app", WM_SETFOCUS},
    };
    EXPECT_EQ(log.Log(), toOwner);
    log.Clear();
    ShowWindow(app, SW_HIDE);
    std::vector<Logged> away = {
        {"app", WM_SHOWWINDOW, FALSE},     {"app", WM_WINDOWPOSCHANGING},
        {"app", WM_WINDOWPOSCHANGED},      {"app", WM_NCACTIVATE, FALSE},
        {"app", WM_ACTIVATE, WA_INACTIVE}, {"second", WM_ACTIVATEAPP, FALSE},
        {"app", WM_ACTIVATEAPP, FALSE},    {"app", WM_KILLFOCUS},
    };
    EXPECT_EQ(log.Log(), away);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    DestroyWindow(app);
}

// Disabling or hiding a window leaves the focus of a window inside it where it is (the main
// frame disables itself under a modal popup and its field must have the focus back after).
// Disabling the focused window itself takes its focus; hiding it passes the focus to its parent.
TEST(MessageOrder, TheFocusStaysWhenAnAncestorIsDisabledOrHidden)
{
    MessageLog log({WM_CANCELMODE, WM_ENABLE, WM_SETFOCUS, WM_KILLFOCUS});
    HWND top = Make("top", WS_POPUP | WS_VISIBLE, nullptr);
    HWND panel = Make("panel", WS_CHILD | WS_VISIBLE, top, 1);
    HWND field = Make("field", WS_CHILD | WS_VISIBLE, panel, 2);
    SetFocus(field);
    log.Clear();
    EnableWindow(top, FALSE);
    EnableWindow(top, TRUE);
    ShowWindow(panel, SW_HIDE);
    ShowWindow(panel, SW_SHOW);
    std::vector<Logged> ancestors = {{"top", WM_CANCELMODE}, {"top", WM_ENABLE, FALSE}, {"top", WM_ENABLE, TRUE}};
    EXPECT_EQ(log.Log(), ancestors);
    EXPECT_EQ(GetFocus(), field);

    log.Clear();
    EnableWindow(field, FALSE);
    std::vector<Logged> disabled = {{"field", WM_CANCELMODE}, {"field", WM_KILLFOCUS}, {"field", WM_ENABLE, FALSE}};
    EXPECT_EQ(log.Log(), disabled);
    EXPECT_EQ(GetFocus(), nullptr);

    EnableWindow(field, TRUE);
    SetFocus(field);
    log.Clear();
    ShowWindow(field, SW_HIDE);
    std::vector<Logged> hidden = {{"field", WM_KILLFOCUS}, {"panel", WM_SETFOCUS}};
    EXPECT_EQ(log.Log(), hidden);
    EXPECT_EQ(GetFocus(), panel);
    DestroyWindow(top);
}

// EnableWindow(FALSE) sends WM_CANCELMODE before WM_ENABLE; the capture of the window or of a
// window inside it ends in between.
TEST(MessageOrder, DisablingCancelsTheModeAndEndsTheCapture)
{
    MessageLog log({WM_CANCELMODE, WM_CAPTURECHANGED, WM_ENABLE});
    HWND top = Make("top", WS_POPUP | WS_VISIBLE, nullptr);
    HWND child = Make("child", WS_CHILD | WS_VISIBLE, top, 1);
    SetCapture(child);
    log.Clear();
    EnableWindow(top, FALSE);
    std::vector<Logged> childCapture = {
        {"top", WM_CANCELMODE}, {"child", WM_CAPTURECHANGED}, {"top", WM_ENABLE, FALSE}};
    EXPECT_EQ(log.Log(), childCapture);
    EXPECT_EQ(GetCapture(), nullptr);

    EnableWindow(top, TRUE);
    SetCapture(top);
    log.Clear();
    EnableWindow(top, FALSE); // the default handling of WM_CANCELMODE lets it go
    std::vector<Logged> ownCapture = {{"top", WM_CANCELMODE}, {"top", WM_CAPTURECHANGED}, {"top", WM_ENABLE, FALSE}};
    EXPECT_EQ(log.Log(), ownCapture);
    DestroyWindow(top);
}

// The window holding the capture keeps it through WM_DESTROY and hears of its end before any
// window of the tree is freed, also when it took the capture in its own WM_DESTROY.
TEST(MessageOrder, TheCaptureEndsWhileTheDestroyedTreeIsStillWhole)
{
    MessageLog log({WM_DESTROY, WM_NCDESTROY, WM_CAPTURECHANGED});
    HWND seenInDestroy = nullptr;
    log.react = [&](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT*) {
        if (msg != WM_DESTROY)
            return false;
        char name[16];
        GetWindowTextA(hwnd, name, sizeof name);
        if (std::string(name) == "top")
            seenInDestroy = GetCapture();
        if (std::string(name) == "grabber")
            SetCapture(hwnd);
        return false;
    };
    HWND top = Make("top", WS_POPUP | WS_VISIBLE, nullptr);
    HWND child = Make("child", WS_CHILD | WS_VISIBLE, top, 1);
    SetCapture(child);
    log.Clear();
    DestroyWindow(top);
    std::vector<Logged> expected = {{"top", WM_DESTROY},
                                    {"child", WM_DESTROY},
                                    {"child", WM_CAPTURECHANGED},
                                    {"child", WM_NCDESTROY},
                                    {"top", WM_NCDESTROY}};
    EXPECT_EQ(log.Log(), expected);
    EXPECT_EQ(seenInDestroy, child);
    EXPECT_EQ(GetCapture(), nullptr);

    HWND grabber = Make("grabber", WS_POPUP, nullptr);
    log.Clear();
    DestroyWindow(grabber);
    std::vector<Logged> grabbed = {{"grabber", WM_DESTROY}, {"grabber", WM_CAPTURECHANGED}, {"grabber", WM_NCDESTROY}};
    EXPECT_EQ(log.Log(), grabbed);
    EXPECT_EQ(GetCapture(), nullptr);
}

// A dialog's default button is the one DM_SETDEFID named, else its default push button, else
// IDOK. A dialog that loses activation keeps the control that had the focus and gives it the
// focus back when it is active again, as after a modal dialog it owned.
TEST(Dialogs, TheDefaultButtonAndTheFocusKeptAcrossAModalDialog)
{
    const YondaDialogItem items[] = {
        {"EDIT", "", 201, WS_TABSTOP | WS_VISIBLE, 0, 10, 10, 100, 20},
        {"EDIT", "", 202, WS_TABSTOP | WS_VISIBLE, 0, 10, 40, 100, 20},
        {"BUTTON", "Go", 5, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, 10, 70, 60, 20},
    };
    const YondaDialogTemplate form{WS_POPUP | WS_VISIBLE, 0, 0, 0, 200, 120, "Form", items, 3};
    const YondaDialogTemplate bare{WS_POPUP, 0, 0, 0, 100, 60, "Bare", nullptr, 0};
    YondaAddDialogTemplate("FocusForm", &form);
    YondaAddDialogTemplate("BareForm", &bare);
    HWND dlg = CreateDialogParamA(nullptr, "FocusForm", nullptr, nullptr, 0);
    ASSERT_TRUE(dlg);
    EXPECT_EQ(SendMessageA(dlg, DM_GETDEFID, 0, 0), MAKELRESULT(5, DC_HASDEFID));
    SendMessageA(dlg, DM_SETDEFID, 202, 0);
    EXPECT_EQ(SendMessageA(dlg, DM_GETDEFID, 0, 0), MAKELRESULT(202, DC_HASDEFID));
    HWND plain = CreateDialogParamA(nullptr, "BareForm", nullptr, nullptr, 0);
    EXPECT_EQ(SendMessageA(plain, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
    DestroyWindow(plain);

    SetActiveWindow(dlg);
    HWND second = GetDlgItem(dlg, 202);
    SetFocus(second);
    auto endAtOnce = [](HWND modal, UINT msg, WPARAM, LPARAM) -> INT_PTR {
        if (msg == WM_INITDIALOG)
            EndDialog(modal, 3);
        return FALSE;
    };
    EXPECT_EQ(DialogBoxParamA(nullptr, "BareForm", dlg, endAtOnce, 0), 3);
    EXPECT_TRUE(IsWindowEnabled(dlg));
    EXPECT_EQ(GetActiveWindow(), dlg);
    EXPECT_EQ(GetFocus(), second);
    DestroyWindow(dlg);
}

TEST(Windows, TextIdsFindingAndCoordinates)
{
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

TEST(Windows, ClassCursorAndStyleThroughClassLongs)
{
    MessageLog log({});
    HWND hwnd = Make("w", WS_POPUP, nullptr);
    HCURSOR cursor = reinterpret_cast<HCURSOR>(uintptr_t{0x1234});
    SetClassLongA(hwnd, GCL_HCURSOR, static_cast<LONG>(reinterpret_cast<uintptr_t>(cursor)));
    EXPECT_EQ(reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(GetClassLongA(hwnd, GCL_HCURSOR))), cursor);
    EXPECT_EQ(GetClassLongA(hwnd, GCL_STYLE) & CS_DBLCLKS, static_cast<DWORD>(CS_DBLCLKS));
    SetClassLongA(hwnd, GCL_HCURSOR, 0);
    DestroyWindow(hwnd);
}

} // namespace

// An owned window is always above its owner: showing or raising the owner leaves it there.
TEST(MessageOrder, OwnedWindowsStayAboveTheirOwner)
{
    HWND owner = Make("owner", WS_POPUP, nullptr);
    HWND owned = Make("owned", WS_POPUP, owner);
    ShowWindow(owned, SW_SHOWNOACTIVATE);
    ShowWindow(owner, SW_SHOW);
    SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    HWND above = GetWindow(owner, GW_HWNDPREV);
    EXPECT_EQ(above, owned);
    DestroyWindow(owner);
}
