// Creating and destroying windows, and the tree queries: parents, owners, children, z-order.
#include "Automation.h"
#include "Compositor.h"
#include "Input.h"
#include "Paint.h"
#include "Queue.h"
#include "Rendezvous.h"
#include "Window.h"
#include "WindowClass.h"
#include "yonda_user.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace yonda::user {
namespace {

thread_local YondaCreateHook t_createHook = nullptr;
thread_local void* t_createHookContext = nullptr;

void LinkWindow(Window& w)
{
    if (w.parent) {
        if (auto p = FindWindowPtr(w.parent))
            p->children.push_back(w.handle); // bottom
        return;
    }
    if (w.messageOnly)
        return;
    auto& order = TopLevelOrder();
    auto pos = order.begin();
    if (!(w.exStyle & WS_EX_TOPMOST)) {
        while (pos != order.end()) {
            auto o = FindWindowPtr(*pos);
            if (!o || !(o->exStyle & WS_EX_TOPMOST))
                break;
            ++pos;
        }
    }
    order.insert(pos, w.handle);
}

void UnlinkWindow(Window& w)
{
    if (w.parent) {
        if (auto p = FindWindowPtr(w.parent))
            std::erase(p->children, w.handle);
    }
    std::erase(TopLevelOrder(), w.handle);
}

void NotifyParent(HWND hwnd, UINT event)
{
    HWND child = hwnd;
    for (;;) {
        HWND parent = nullptr;
        UINT_PTR id = 0;
        {
            std::lock_guard lock(UserLock());
            auto w = FindWindowPtr(child);
            if (!w || !w->parent || (w->exStyle & WS_EX_NOPARENTNOTIFY))
                return;
            parent = w->parent;
            id = w->id;
        }
        SendMessageA(parent, WM_PARENTNOTIFY, MAKEWPARAM(event, id), reinterpret_cast<LPARAM>(hwnd));
        child = parent;
    }
}

void SendDestroy(HWND hwnd)
{
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    std::vector<HWND> children;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (!w)
            return;
        children = w->children;
    }
    for (HWND child : children) {
        {
            std::lock_guard lock(UserLock());
            auto c = FindWindowPtr(child);
            if (!c)
                continue;
            c->destroying = true;
        }
        SendDestroy(child);
    }
}

void FreeWindow(HWND hwnd)
{
    std::vector<HWND> children;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (!w)
            return;
        children = w->children;
    }
    for (HWND child : children)
        FreeWindow(child);
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    if (!w)
        return;
    KillTimersOf(*w->queue, hwnd);
    ForgetPaint(*w);
    UnlinkWindow(*w);
    w->destroyed = true;
    if (!w->parent)
        DropSurface(hwnd);
    RemoveWindow(hwnd);
    std::lock_guard qlock(w->queue->mutex);
    std::erase_if(w->queue->posted, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
}

} // namespace

} // namespace yonda::user

using namespace yonda::user;

void YondaSetCreateHook(YondaCreateHook hook, void* context)
{
    t_createHook = hook;
    t_createHookContext = context;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    auto cls = FindClass(className);
    if (!cls)
        return nullptr;
    EnsurePresentTarget();
    auto queue = CurrentQueue();
    auto w = std::make_shared<Window>();
    w->cls = cls;
    w->proc = cls->proc;
    w->exStyle = exStyle;
    w->instance = instance;
    w->text = windowName ? windowName : "";
    w->extra.assign(static_cast<size_t>(cls->cbWndExtra), 0);
    w->queue = queue;
    bool visible = (style & WS_VISIBLE) != 0;
    w->style = style & ~WS_VISIBLE;
    if (x == CW_USEDEFAULT)
        x = y = 0;
    if (width == CW_USEDEFAULT) {
        width = 640;
        height = 480;
    }
    width = std::max(0, width);
    height = std::max(0, height);
    w->rect = RECT{x, y, x + width, y + height};
    {
        std::lock_guard lock(UserLock());
        if (parent == HWND_MESSAGE) {
            w->messageOnly = true;
            w->style &= ~(WS_CHILD | WS_POPUP);
            parent = nullptr;
        }
        if (style & WS_CHILD) {
            auto p = FindWindowPtr(parent);
            if (!p || p->destroying)
                return nullptr;
            w->parent = parent;
            w->id = reinterpret_cast<UINT_PTR>(menu);
        } else if (parent) {
            if (!FindWindowPtr(parent))
                return nullptr;
            w->owner = RootOf(parent);
        }
        if (!AddWindow(w))
            return nullptr;
        LinkWindow(*w);
    }
    if (!w->parent && !w->messageOnly)
        AutomationNoticeTopLevel();
    HWND hwnd = w->handle;
    if (t_createHook) {
        YondaCreateHook hook = t_createHook;
        t_createHook = nullptr;
        hook(hwnd, t_createHookContext);
    }

    CREATESTRUCTA cs{param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
                     windowName, className, exStyle};
    if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1 || !IsWindow(hwnd)) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    RECT rc;
    GetClientRect(hwnd, &rc);
    SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
    {
        std::lock_guard lock(UserLock());
        if (!FindWindowPtr(hwnd))
            return nullptr;
        x = w->rect.left;
        y = w->rect.top;
    }
    SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(x, y));
    NotifyParent(hwnd, WM_CREATE);
    if (!IsWindow(hwnd))
        return nullptr;
    w->creating = false;
    InvalidateRect(hwnd, nullptr, TRUE);
    if (visible)
        ShowWindow(hwnd, SW_SHOW);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd)
{
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (!w || w->queue != CurrentQueue())
            return FALSE;
        if (w->destroying)
            return TRUE;
        w->destroying = true;
    }
    NotifyParent(hwnd, WM_DESTROY);
    if (IsWindowVisible(hwnd))
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Owned windows go first, as they would be useless without their owner.
    std::vector<HWND> owned;
    {
        std::lock_guard lock(UserLock());
        for (HWND top : TopLevelOrder()) {
            auto o = FindWindowPtr(top);
            if (o && o->owner == hwnd && o->queue == CurrentQueue())
                owned.push_back(top);
        }
    }
    for (HWND o : owned)
        DestroyWindow(o);
    ForgetWindowInput(hwnd, true);
    SendDestroy(hwnd);
    // The capture goes after WM_DESTROY was handled (which may still take or drop it) and before
    // any window of the tree is freed, so its holder hears of the change while it is whole.
    HWND capture = GetCapture();
    if (capture && (capture == hwnd || IsChild(hwnd, capture)))
        ReleaseCapture();
    FreeWindow(hwnd);
    return TRUE;
}

BOOL IsWindow(HWND hwnd)
{
    auto w = FindWindowPtr(hwnd);
    return w && !w->destroyed ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    return w && IsVisibleChain(*w) ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL IsChild(HWND parent, HWND hwnd)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    while (w && w->parent) {
        if (w->parent == parent)
            return TRUE;
        w = FindWindowPtr(w->parent);
    }
    return FALSE;
}

BOOL IsIconic(HWND hwnd)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    return w && (w->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND hwnd)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    return w && (w->style & WS_MAXIMIZE) ? TRUE : FALSE;
}

HWND GetParent(HWND hwnd)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    if (!w)
        return nullptr;
    if (w->style & WS_CHILD)
        return w->parent;
    if (w->style & WS_POPUP)
        return w->owner;
    return nullptr;
}

HWND SetParent(HWND child, HWND newParent)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(child);
    if (!w)
        return nullptr;
    if (newParent && !FindWindowPtr(newParent))
        return nullptr;
    HWND old = w->parent;
    UnlinkWindow(*w);
    w->parent = newParent;
    LinkWindow(*w);
    InvalidateRect(child, nullptr, TRUE);
    return old;
}

HWND GetAncestor(HWND hwnd, UINT flags)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    if (!w)
        return nullptr;
    switch (flags) {
    case GA_PARENT: return w->parent ? w->parent : GetDesktopWindow();
    case GA_ROOT: return RootOf(hwnd);
    case GA_ROOTOWNER: {
        HWND root = RootOf(hwnd);
        for (;;) {
            auto r = FindWindowPtr(root);
            if (!r || !r->owner)
                return root;
            root = r->owner;
        }
    }
    default: return nullptr;
    }
}

HWND GetDesktopWindow()
{
    return YONDA_DESKTOP_HWND;
}

HWND GetWindow(HWND hwnd, UINT cmd)
{
    std::lock_guard lock(UserLock());
    if (hwnd == YONDA_DESKTOP_HWND && cmd == GW_CHILD)
        return TopLevelOrder().empty() ? nullptr : TopLevelOrder().front();
    auto w = FindWindowPtr(hwnd);
    if (!w)
        return nullptr;
    if (cmd == GW_OWNER)
        return w->owner;
    if (cmd == GW_CHILD)
        return w->children.empty() ? nullptr : w->children.front();
    const std::vector<HWND>* siblings = &TopLevelOrder();
    if (w->parent) {
        auto p = FindWindowPtr(w->parent);
        if (!p)
            return nullptr;
        siblings = &p->children;
    }
    if (siblings->empty())
        return nullptr;
    auto it = std::find(siblings->begin(), siblings->end(), hwnd);
    switch (cmd) {
    case GW_HWNDFIRST: return siblings->front();
    case GW_HWNDLAST: return siblings->back();
    case GW_HWNDNEXT: return (it == siblings->end() || it + 1 == siblings->end()) ? nullptr : *(it + 1);
    case GW_HWNDPREV: return (it == siblings->end() || it == siblings->begin()) ? nullptr : *(it - 1);
    default: return nullptr;
    }
}

HWND GetTopWindow(HWND hwnd)
{
    return GetWindow(hwnd ? hwnd : YONDA_DESKTOP_HWND, GW_CHILD);
}

HWND GetDlgItem(HWND dlg, int id)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(dlg);
    if (!w)
        return nullptr;
    for (HWND child : w->children) {
        auto c = FindWindowPtr(child);
        if (c && static_cast<int>(c->id) == id)
            return child;
    }
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    return w && (w->style & WS_CHILD) ? static_cast<int>(w->id) : 0;
}

HWND yonda::user::FindOwnWindow(LPCSTR className, LPCSTR title)
{
    std::lock_guard lock(UserLock());
    auto cls = className ? FindClass(className) : nullptr;
    if (className && !cls)
        return nullptr;
    for (HWND top : TopLevelOrder()) {
        auto w = FindWindowPtr(top);
        if (!w || w->destroying)
            continue;
        if (cls && w->cls != cls)
            continue;
        if (title && strcasecmp(title, w->text.c_str()) != 0)
            continue;
        return top;
    }
    return nullptr;
}

// Windows of this program first, then those of the other programs of the session.
HWND FindWindowA(LPCSTR className, LPCSTR title)
{
    if (HWND own = yonda::user::FindOwnWindow(className, title))
        return own;
    return yonda::user::FindPeerWindow(className, title);
}

static BOOL EnumDescendants(HWND parent, WNDENUMPROC proc, LPARAM lParam)
{
    std::vector<HWND> children;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(parent);
        if (!w)
            return TRUE;
        children = w->children;
    }
    for (HWND child : children) {
        if (!IsWindow(child))
            continue;
        if (!proc(child, lParam))
            return FALSE;
        if (!EnumDescendants(child, proc, lParam))
            return FALSE;
    }
    return TRUE;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam)
{
    if (!proc)
        return FALSE;
    if (!parent || parent == YONDA_DESKTOP_HWND)
        return EnumWindows(proc, lParam);
    EnumDescendants(parent, proc, lParam);
    return TRUE;
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam)
{
    if (!proc)
        return FALSE;
    std::vector<HWND> tops;
    {
        std::lock_guard lock(UserLock());
        tops = TopLevelOrder();
    }
    for (HWND top : tops)
        if (IsWindow(top) && !proc(top, lParam))
            return FALSE;
    return TRUE;
}

BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM lParam)
{
    if (!proc)
        return FALSE;
    std::vector<HWND> tops;
    {
        std::lock_guard lock(UserLock());
        for (HWND top : TopLevelOrder()) {
            auto w = FindWindowPtr(top);
            if (w && w->queue->threadId == threadId)
                tops.push_back(top);
        }
    }
    for (HWND top : tops)
        if (IsWindow(top) && !proc(top, lParam))
            return FALSE;
    return TRUE;
}

DWORD GetWindowThreadProcessId(HWND hwnd, LPDWORD processId)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    if (!w)
        return 0;
    if (processId)
        *processId = static_cast<DWORD>(getpid());
    return w->queue->threadId;
}

int GetWindowTextA(HWND hwnd, LPSTR buffer, int size)
{
    if (buffer == nullptr || size <= 0)
        return 0;
    buffer[0] = '\0';
    bool local = false;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (!w)
            return 0;
        local = w->queue == CurrentQueue();
        if (!local) {
            int n = static_cast<int>(std::min<size_t>(w->text.size(), size - 1));
            std::memcpy(buffer, w->text.data(), n);
            buffer[n] = '\0';
            return n;
        }
    }
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXT, size, reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthA(HWND hwnd)
{
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (!w)
            return 0;
        if (w->queue != CurrentQueue())
            return static_cast<int>(w->text.size());
    }
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text)
{
    if (!IsWindow(hwnd))
        return FALSE;
    return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    if (!w)
        return 0;
    if (index >= 0) {
        if (static_cast<size_t>(index) + sizeof(LONG_PTR) > w->extra.size())
            return 0;
        LONG_PTR value;
        std::memcpy(&value, w->extra.data() + index, sizeof value);
        return value;
    }
    switch (index) {
    case GWL_STYLE: return static_cast<LONG_PTR>(static_cast<DWORD>(w->style));
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(static_cast<DWORD>(w->exStyle));
    case GWL_ID: return static_cast<LONG_PTR>(w->id);
    case GWL_USERDATA: return w->userData;
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWL_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->parent ? w->parent : w->owner);
    case GWL_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    default: return 0;
    }
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    if (!w)
        return 0;
    LONG_PTR old = GetWindowLongPtrA(hwnd, index);
    if (index >= 0) {
        if (static_cast<size_t>(index) + sizeof(LONG_PTR) > w->extra.size())
            return 0;
        std::memcpy(w->extra.data() + index, &value, sizeof value);
        return old;
    }
    switch (index) {
    case GWL_STYLE: w->style = static_cast<DWORD>(value); break;
    case GWL_EXSTYLE: w->exStyle = static_cast<DWORD>(value); break;
    case GWL_ID: w->id = static_cast<UINT_PTR>(value); break;
    case GWL_USERDATA: w->userData = value; break;
    case GWL_WNDPROC: w->proc = reinterpret_cast<WNDPROC>(value); break;
    case GWL_HWNDPARENT:
        if (!(w->style & WS_CHILD))
            w->owner = reinterpret_cast<HWND>(value);
        break;
    case GWL_HINSTANCE: w->instance = reinterpret_cast<HINSTANCE>(value); break;
    default: return 0;
    }
    return old;
}

LONG GetWindowLongA(HWND hwnd, int index)
{
    return static_cast<LONG>(GetWindowLongPtrA(hwnd, index));
}

LONG SetWindowLongA(HWND hwnd, int index, LONG value)
{
    LONG_PTR wide = value;
    if (index == GWL_STYLE || index == GWL_EXSTYLE)
        wide = static_cast<LONG_PTR>(static_cast<DWORD>(value));
    return static_cast<LONG>(SetWindowLongPtrA(hwnd, index, wide));
}

BOOL SetPropA(HWND hwnd, LPCSTR name, HANDLE data)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    if (!w || !name)
        return FALSE;
    w->props[name] = data;
    return TRUE;
}

HANDLE GetPropA(HWND hwnd, LPCSTR name)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    if (!w || !name)
        return nullptr;
    auto it = w->props.find(name);
    return it == w->props.end() ? nullptr : it->second;
}

HANDLE RemovePropA(HWND hwnd, LPCSTR name)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    if (!w || !name)
        return nullptr;
    auto it = w->props.find(name);
    if (it == w->props.end())
        return nullptr;
    HANDLE data = it->second;
    w->props.erase(it);
    return data;
}
