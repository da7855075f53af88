// Per-window state of the standard controls (internal): one object hung on the window's first
// extra slot at WM_NCCREATE and freed at WM_NCDESTROY.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace yonda::user {

template <typename State>
State* ControlState(HWND hwnd, UINT message)
{
    if (message == WM_NCCREATE) {
        auto* state = new State;
        SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(state));
        return state;
    }
    return reinterpret_cast<State*>(GetWindowLongPtrA(hwnd, 0));
}

template <typename State>
void FreeControlState(HWND hwnd)
{
    delete reinterpret_cast<State*>(GetWindowLongPtrA(hwnd, 0));
    SetWindowLongPtrA(hwnd, 0, 0);
}

// Tells the parent about a control's event, as WM_COMMAND with the control's id and handle.
inline void NotifyParent(HWND hwnd, UINT code)
{
    HWND parent = GetParent(hwnd);
    if (parent && (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD))
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code), reinterpret_cast<LPARAM>(hwnd));
}

// Registers a control class: one extra slot for its state, the given cursor (the arrow unless told).
void RegisterControlClass(LPCSTR name, WNDPROC proc, UINT style, LPCSTR cursor = nullptr);

// The text controls' clipboard: CF_TEXT in the active code page.
void PutClipboardText(HWND owner, std::string_view text);
std::string ClipboardText(HWND owner);

} // namespace yonda::user
