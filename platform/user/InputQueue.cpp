// Mouse and keyboard input: events from the display (or a test) wait in the queue of the thread
// whose window they are for, and become window messages as they leave it. The target is decided
// then, not when the event arrived, so a capture taken by a button-down handler gets the button-up.
#include "Input.h"
#include "Queue.h"
#include "Window.h"
#include "WindowClass.h"
#include "yonda_user.h"

#include <imm.h>
#include <yonda_platform.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>

namespace yonda::user {

HWND HitTest(POINT screen);

namespace {

// Beyond every message number: a marker in the input queue, never handed to the program.
constexpr UINT kInputMarker = 0x10000;

// Set-1 scan codes of the virtual keys a keyboard has; 0 where the key has none.
UINT ScanCodeOf(UINT vk, bool* extended)
{
    *extended = false;
    static const char letters[] = "QWERTYUIOP\0\0\0\0ASDFGHJKL\0\0\0\0\0ZXCVBNM";
    if (vk >= 'A' && vk <= 'Z') {
        for (UINT i = 0; i < sizeof letters; ++i)
            if (static_cast<UINT>(letters[i]) == vk)
                return 0x10 + i;
    }
    if (vk >= '1' && vk <= '9')
        return 0x02 + (vk - '1');
    if (vk == '0')
        return 0x0B;
    if (vk >= VK_F1 && vk <= VK_F10)
        return 0x3B + (vk - VK_F1);
    if (vk == VK_F11)
        return 0x57;
    if (vk == VK_F12)
        return 0x58;
    if (vk >= VK_F13 && vk <= VK_F24)
        return 0x64 + (vk - VK_F13);
    switch (vk) {
    case VK_ESCAPE: return 0x01;
    case VK_BACK: return 0x0E;
    case VK_TAB: return 0x0F;
    case VK_RETURN: return 0x1C;
    case VK_CONTROL: return 0x1D;
    case VK_SHIFT: return 0x2A;
    case VK_MENU: return 0x38;
    case VK_SPACE: return 0x39;
    case VK_CAPITAL: return 0x3A;
    case VK_OEM_MINUS: return 0x0C;
    case VK_OEM_PLUS: return 0x0D;
    case VK_OEM_4: return 0x1A;
    case VK_OEM_6: return 0x1B;
    case VK_OEM_1: return 0x27;
    case VK_OEM_7: return 0x28;
    case VK_OEM_3: return 0x29;
    case VK_OEM_5: return 0x2B;
    case VK_OEM_COMMA: return 0x33;
    case VK_OEM_PERIOD: return 0x34;
    case VK_OEM_2: return 0x35;
    case VK_NUMLOCK: return 0x45;
    case VK_SCROLL: return 0x46;
    }
    *extended = true;
    switch (vk) {
    case VK_HOME: return 0x47;
    case VK_UP: return 0x48;
    case VK_PRIOR: return 0x49;
    case VK_LEFT: return 0x4B;
    case VK_RIGHT: return 0x4D;
    case VK_END: return 0x4F;
    case VK_DOWN: return 0x50;
    case VK_NEXT: return 0x51;
    case VK_INSERT: return 0x52;
    case VK_DELETE: return 0x53;
    case VK_HANGUL: return 0x72;
    case VK_HANJA: return 0x71;
    }
    *extended = false;
    return 0;
}

bool IsMouse(UINT message)
{
    return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
}

bool IsButtonDown(UINT m)
{
    return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN;
}

UINT ButtonVk(UINT m)
{
    switch (m) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: return VK_LBUTTON;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: return VK_RBUTTON;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: return VK_MBUTTON;
    default: return 0;
    }
}

WPARAM MouseKeys(const BYTE* keys)
{
    WPARAM flags = 0;
    if (keys[VK_LBUTTON] & 0x80)
        flags |= MK_LBUTTON;
    if (keys[VK_RBUTTON] & 0x80)
        flags |= MK_RBUTTON;
    if (keys[VK_MBUTTON] & 0x80)
        flags |= MK_MBUTTON;
    if (keys[VK_SHIFT] & 0x80)
        flags |= MK_SHIFT;
    if (keys[VK_CONTROL] & 0x80)
        flags |= MK_CONTROL;
    return flags;
}

std::shared_ptr<ThreadQueue> QueueOf(HWND hwnd)
{
    auto w = FindWindowPtr(hwnd);
    return w ? w->queue : nullptr;
}

HWND KeyboardTarget()
{
    return Input().focus ? Input().focus : Input().active;
}

HWND MouseTarget(POINT screen)
{
    return Input().capture ? Input().capture : HitTest(screen);
}

void Deliver(const MSG& raw, HWND target)
{
    auto queue = QueueOf(target);
    if (!queue)
        return;
    {
        std::lock_guard lock(queue->mutex);
        if (!queue->alive)
            return;
        // Moves that nobody has read yet are replaced by the newest one.
        if (raw.message == WM_MOUSEMOVE && !queue->input.empty() && queue->input.back().message == WM_MOUSEMOVE)
            queue->input.back() = raw;
        else
            queue->input.push_back(raw);
    }
    queue->wake.notify_all();
}

void InjectMouse(UINT message, int x, int y, WPARAM extra)
{
    MSG raw{};
    raw.message = message;
    raw.pt = POINT{x, y};
    raw.wParam = extra;
    raw.time = static_cast<DWORD>(NowMs());
    HWND target;
    {
        std::lock_guard lock(UserLock());
        Input().cursor = raw.pt;
        UINT vk = ButtonVk(message);
        if (vk) {
            if (IsButtonDown(message))
                Input().asyncKeys[vk] |= 0x80;
            else
                Input().asyncKeys[vk] &= ~0x80;
        }
        target = message == WM_MOUSEWHEEL ? KeyboardTarget() : MouseTarget(raw.pt);
        // Over no window, the event still goes to the thread that had the mouse: by the time it
        // is read, that thread may hold the capture.
        if (!target && FindWindowPtr(Input().lastMouseTarget))
            target = Input().lastMouseTarget;
        if (!target)
            target = Input().active;
        if (target)
            Input().lastMouseTarget = target;
    }
    if (target)
        Deliver(raw, target);
}

void InjectKeyboard(const MSG& raw)
{
    HWND target;
    {
        std::lock_guard lock(UserLock());
        if (raw.message == WM_KEYDOWN || raw.message == WM_KEYUP) {
            BYTE& state = Input().asyncKeys[raw.wParam & 0xFF];
            if (raw.message == WM_KEYDOWN)
                state |= 0x80;
            else
                state &= ~0x80;
        }
        target = KeyboardTarget();
    }
    if (target)
        Deliver(raw, target);
}

// Turns a raw event into the message its window gets. Side effects (activation, cursor, key state,
// double-click memory) happen only when the message is removed.
bool Cook(const MSG& raw, MSG* out, HWND* owner, bool commit)
{
    std::unique_lock lock(UserLock());
    InputState& in = Input();
    *out = raw;
    if (IsMouse(raw.message)) {
        HWND target = raw.message == WM_MOUSEWHEEL ? KeyboardTarget() : MouseTarget(raw.pt);
        *owner = target;
        if (!target)
            return false;
        auto w = FindWindowPtr(target);
        if (!w)
            return false;
        out->hwnd = target;
        if (raw.message == WM_MOUSEWHEEL) {
            out->wParam = MAKEWPARAM(MouseKeys(in.keys), static_cast<WORD>(static_cast<short>(raw.wParam)));
            out->lParam = MAKELPARAM(raw.pt.x, raw.pt.y);
            return true;
        }
        POINT origin = ClientOrigin(*w);
        out->lParam = MAKELPARAM(raw.pt.x - origin.x, raw.pt.y - origin.y);
        if (IsButtonDown(raw.message) && (w->cls->style & CS_DBLCLKS) && in.lastClickWindow == target &&
            in.lastClickButton == raw.message && raw.time - in.lastClickTime <= GetDoubleClickTime() &&
            std::abs(raw.pt.x - in.lastClickPoint.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
            std::abs(raw.pt.y - in.lastClickPoint.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2) {
            out->message = raw.message + (WM_LBUTTONDBLCLK - WM_LBUTTONDOWN);
            if (commit)
                in.lastClickWindow = nullptr;
        } else if (IsButtonDown(raw.message) && commit) {
            in.lastClickWindow = target;
            in.lastClickButton = raw.message;
            in.lastClickTime = raw.time;
            in.lastClickPoint = raw.pt;
        }
        if (commit) {
            if (UINT vk = ButtonVk(raw.message)) {
                if (IsButtonDown(raw.message))
                    in.keys[vk] |= 0x80;
                else
                    in.keys[vk] &= ~0x80;
            }
        }
        out->wParam = MouseKeys(in.keys);
        return true;
    }
    HWND target = KeyboardTarget();
    *owner = target;
    if (!target)
        return false;
    out->hwnd = target;
    if (raw.message == WM_KEYDOWN || raw.message == WM_KEYUP) {
        UINT vk = static_cast<UINT>(raw.wParam & 0xFF);
        bool down = raw.message == WM_KEYDOWN;
        bool wasDown = (in.keys[vk] & 0x80) != 0;
        bool alt = (in.keys[VK_MENU] & 0x80) != 0 || (down && vk == VK_MENU);
        bool ctrl = (in.keys[VK_CONTROL] & 0x80) != 0;
        bool sys = (alt && !ctrl) || vk == VK_F10 || in.focus == nullptr;
        out->message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
        DWORD lp = 1 | (static_cast<DWORD>(raw.lParam) & 0x01FF0000);
        if (alt && out->message != WM_KEYUP && out->message != WM_KEYDOWN)
            lp |= 1u << 29;
        if (down ? wasDown : true)
            lp |= 1u << 30;
        if (!down)
            lp |= 1u << 31;
        out->lParam = static_cast<LPARAM>(lp);
        if (commit) {
            BYTE& state = in.keys[vk];
            if (down) {
                if (!wasDown)
                    state ^= 0x01;
                state |= 0x80;
            } else {
                state &= ~0x80;
            }
            // The generic modifier follows its left and right keys.
            auto sync = [&](UINT generic, UINT left, UINT right) {
                if (vk == left || vk == right) {
                    bool any = ((in.keys[left] | in.keys[right]) & 0x80) != 0;
                    in.keys[generic] = static_cast<BYTE>((in.keys[generic] & 0x01) | (any ? 0x80 : 0));
                }
            };
            sync(VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
            sync(VK_CONTROL, VK_LCONTROL, VK_RCONTROL);
            sync(VK_MENU, VK_LMENU, VK_RMENU);
        }
        return true;
    }
    return true; // WM_CHAR and IME messages go to the focus as they are
}

// Mouse activation and the cursor, done before a button-down or move reaches its window.
bool BeforeMouse(const MSG& msg)
{
    if (msg.message == WM_MOUSEWHEEL || GetCapture())
        return true;
    HWND target = msg.hwnd;
    HWND top = RootOf(target);
    if (!top)
        return false;
    if (!IsWindowEnabled(top)) {
        if (IsButtonDown(msg.message))
            MessageBeep(0);
        return false;
    }
    if (IsButtonDown(msg.message) && GetActiveWindow() != top) {
        LRESULT how =
            SendMessageA(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top), MAKELPARAM(HTCLIENT, msg.message));
        if (how == MA_ACTIVATE || how == MA_ACTIVATEANDEAT)
            Activate(top, WA_CLICKACTIVE);
        if (how == MA_ACTIVATEANDEAT || how == MA_NOACTIVATEANDEAT)
            return false;
    }
    if (IsWindow(target))
        SendMessageA(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(HTCLIENT, msg.message));
    return IsWindow(target) != FALSE;
}

} // namespace

uint64_t PostInputMarker(ThreadQueue& queue)
{
    static std::atomic<uint64_t> serials{0};
    MSG raw{};
    raw.message = kInputMarker;
    uint64_t serial = ++serials;
    raw.lParam = static_cast<LPARAM>(serial);
    {
        std::lock_guard lock(queue.mutex);
        if (!queue.alive)
            return 0;
        queue.input.push_back(raw);
    }
    queue.wake.notify_all();
    return serial;
}

bool TakeInput(ThreadQueue& queue, HWND filter, UINT minMsg, UINT maxMsg, MSG* msg, bool remove)
{
    for (;;) {
        MSG raw;
        {
            std::lock_guard lock(queue.mutex);
            if (queue.input.empty())
                return false;
            raw = queue.input.front();
            if (raw.message == kInputMarker) {
                // Passed only when nothing posted is left before it (posted messages come first).
                queue.input.pop_front();
                queue.inputMarkersPassed = std::max(queue.inputMarkersPassed, static_cast<uint64_t>(raw.lParam));
                queue.wake.notify_all();
                continue;
            }
        }
        MSG cooked;
        HWND owner = nullptr;
        bool usable = Cook(raw, &cooked, &owner, false);
        auto ownerQueue = owner ? QueueOf(owner) : nullptr;
        if (!usable || !ownerQueue || ownerQueue.get() != &queue) {
            // Not ours (any more): hand it to the thread it is for, or drop it.
            {
                std::lock_guard lock(queue.mutex);
                if (queue.input.empty())
                    return false;
                queue.input.pop_front();
            }
            if (usable && ownerQueue)
                Deliver(raw, owner);
            continue;
        }
        if ((minMsg || maxMsg) && (cooked.message < minMsg || cooked.message > maxMsg))
            return false;
        if (filter && cooked.hwnd != filter && !IsChild(filter, cooked.hwnd))
            return false;
        if (!remove) {
            *msg = cooked;
            return true;
        }
        {
            std::lock_guard lock(queue.mutex);
            if (queue.input.empty())
                return false;
            queue.input.pop_front();
        }
        Cook(raw, &cooked, &owner, true);
        if (IsMouse(cooked.message) && !BeforeMouse(cooked))
            continue;
        if (!IsWindow(cooked.hwnd))
            continue;
        *msg = cooked;
        return true;
    }
}

} // namespace yonda::user

using namespace yonda::user;

void YondaInjectMouseMove(int x, int y)
{
    InjectMouse(WM_MOUSEMOVE, x, y, 0);
}

void YondaInjectMouseButton(int button, BOOL down, int x, int y)
{
    static const UINT downs[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    static const UINT ups[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    if (button < 0 || button > 2)
        return;
    InjectMouse(down ? downs[button] : ups[button], x, y, 0);
}

void YondaInjectMouseWheel(int delta, int x, int y)
{
    InjectMouse(WM_MOUSEWHEEL, x, y, static_cast<WPARAM>(static_cast<WORD>(static_cast<short>(delta))));
}

void YondaInjectKeyScan(UINT vk, UINT scanCode, BOOL extended, BOOL down)
{
    MSG raw{};
    raw.message = down ? WM_KEYDOWN : WM_KEYUP;
    raw.wParam = vk & 0xFF;
    raw.lParam = static_cast<LPARAM>(((scanCode & 0xFF) << 16) | (extended ? (1u << 24) : 0));
    raw.time = static_cast<DWORD>(NowMs());
    GetCursorPos(&raw.pt);
    InjectKeyboard(raw);
}

void YondaInjectKey(UINT vk, BOOL down)
{
    bool extended;
    UINT scan = ScanCodeOf(vk, &extended);
    YondaInjectKeyScan(vk, scan, extended, down);
}

void YondaInjectChars(const char* bytes, size_t length)
{
    for (size_t i = 0; bytes && i < length; ++i) {
        MSG raw{};
        raw.message = WM_CHAR;
        raw.wParam = static_cast<BYTE>(bytes[i]);
        raw.lParam = 1;
        raw.time = static_cast<DWORD>(NowMs());
        InjectKeyboard(raw);
    }
}

void YondaInjectComposition(const char* bytes, size_t length)
{
    std::string text(bytes ? bytes : "", bytes ? length : 0);
    bool starting, ending;
    {
        std::lock_guard lock(UserLock());
        starting = Input().composition.empty() && !text.empty();
        ending = !Input().composition.empty() && text.empty();
        Input().composition = text;
    }
    MSG raw{};
    raw.time = static_cast<DWORD>(NowMs());
    if (starting) {
        raw.message = WM_IME_STARTCOMPOSITION;
        InjectKeyboard(raw);
    }
    raw.message = WM_IME_COMPOSITION;
    raw.lParam = GCS_COMPSTR;
    InjectKeyboard(raw);
    if (ending) {
        raw.message = WM_IME_ENDCOMPOSITION;
        raw.lParam = 0;
        InjectKeyboard(raw);
    }
}

void YondaInjectTextUtf8(const char* utf8)
{
    std::string bytes = YondaUtf8ToCodePage(utf8 ? utf8 : "", 0);
    YondaInjectChars(bytes.data(), bytes.size());
}

void YondaInjectCompositionUtf8(const char* utf8)
{
    std::string bytes = YondaUtf8ToCodePage(utf8 ? utf8 : "", 0);
    YondaInjectComposition(bytes.data(), bytes.size());
}

void YondaInjectClick(HWND hwnd, int x, int y)
{
    POINT pt{x, y};
    if (!ClientToScreen(hwnd, &pt))
        return;
    YondaInjectMouseMove(pt.x, pt.y);
    YondaInjectMouseButton(0, TRUE, pt.x, pt.y);
    YondaInjectMouseButton(0, FALSE, pt.x, pt.y);
}

BOOL TranslateMessage(const MSG* msg)
{
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return FALSE;
    UINT vk = static_cast<UINT>(msg->wParam & 0xFF);
    bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    // Printable characters come from the text input path; keys give the control characters.
    int ch = -1;
    if (msg->message == WM_SYSKEYDOWN) {
        if (vk >= 'A' && vk <= 'Z')
            ch = shift ? static_cast<int>(vk) : static_cast<int>(vk - 'A' + 'a');
        else if (vk >= '0' && vk <= '9')
            ch = static_cast<int>(vk);
        if (ch < 0)
            return FALSE;
        PostMessageA(msg->hwnd, WM_SYSCHAR, static_cast<WPARAM>(ch), msg->lParam);
        return TRUE;
    }
    switch (vk) {
    case VK_RETURN: ch = ctrl ? '\n' : '\r'; break;
    case VK_BACK: ch = ctrl ? 0x7F : 0x08; break;
    case VK_TAB: ch = ctrl ? -1 : '\t'; break;
    case VK_ESCAPE: ch = 0x1B; break;
    default:
        if (ctrl && vk >= 'A' && vk <= 'Z')
            ch = static_cast<int>(vk - 'A' + 1);
        break;
    }
    if (ch < 0)
        return FALSE;
    PostMessageA(msg->hwnd, WM_CHAR, static_cast<WPARAM>(ch), msg->lParam);
    return TRUE;
}

UINT MapVirtualKeyA(UINT code, UINT type)
{
    bool extended;
    switch (type) {
    case MAPVK_VK_TO_VSC: return ScanCodeOf(code, &extended);
    case MAPVK_VSC_TO_VK:
        for (UINT vk = 1; vk < 256; ++vk)
            if (ScanCodeOf(vk, &extended) == code && !extended)
                return vk;
        return 0;
    case MAPVK_VK_TO_CHAR:
        if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9') || code == ' ')
            return code;
        return 0;
    default: return 0;
    }
}
