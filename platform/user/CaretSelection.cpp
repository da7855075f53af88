// The caret, the selection and the input handling the text controls share.
#include "CaretSelection.h"

#include "ControlState.h"

#include <algorithm>

namespace yonda::user {

std::pair<size_t, size_t> CaretSelection::Selection() const
{
    return {std::min(anchor, caret), std::max(anchor, caret)};
}

DWORD CaretSelection::Style() const
{
    return static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
}

bool CaretSelection::ReadOnly() const
{
    return (Style() & ES_READONLY) != 0;
}

bool CaretSelection::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    *result = 0;
    switch (message) {
    case WM_GETTEXTLENGTH: *result = static_cast<LRESULT>(text.size()); return true;
    case WM_CHAR: OnChar(wParam); return true;
    case WM_SETFOCUS: *result = OnSetFocus(); return true;
    case WM_KILLFOCUS: *result = OnKillFocus(); return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: *result = OnMouseDown(wParam, lParam); return true;
    case WM_MOUSEMOVE: *result = OnMouseMove(lParam); return true;
    case WM_LBUTTONUP: *result = OnMouseUp(); return true;
    case WM_CAPTURECHANGED: *result = OnCaptureChanged(); return true;
    case WM_GETDLGCODE: *result = DialogCode(lParam); return true;
    case WM_CUT: Cut(); return true;
    case WM_COPY: Copy(); return true;
    case WM_PASTE: Paste(); return true;
    case WM_CLEAR: Clear(); return true;
    case EM_GETSEL: *result = GetSel(wParam, lParam); return true;
    case EM_SETSEL: SetSel(static_cast<LONG>(wParam), static_cast<LONG>(lParam)); return true;
    case EM_REPLACESEL: ReplaceSelection(lParam ? reinterpret_cast<LPCSTR>(lParam) : ""); return true;
    case EM_GETMODIFY: *result = modified; return true;
    case EM_SETMODIFY: modified = wParam != 0; return true;
    case EM_CANUNDO:
    case EM_UNDO:
    case EM_EMPTYUNDOBUFFER: return true; // nothing is kept to undo
    default: return false;
    }
}

LRESULT CaretSelection::OnMouseDown(WPARAM wParam, LPARAM lParam)
{
    SetFocus(hwnd);
    MoveCaret(PositionFromPoint(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}), (wParam & MK_SHIFT) != 0);
    SetCapture(hwnd);
    m_tracking = true;
    return 0;
}

LRESULT CaretSelection::OnMouseMove(LPARAM lParam)
{
    if (m_tracking && GetCapture() == hwnd)
        MoveCaret(PositionFromPoint(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}), true);
    return 0;
}

LRESULT CaretSelection::OnMouseUp()
{
    if (m_tracking && GetCapture() == hwnd)
        ReleaseCapture();
    m_tracking = false;
    return 0;
}

LRESULT CaretSelection::OnCaptureChanged()
{
    m_tracking = false;
    return 0;
}

LRESULT CaretSelection::OnSetFocus()
{
    focused = true;
    InvalidateRect(hwnd, nullptr, FALSE);
    NotifyParent(hwnd, EN_SETFOCUS);
    return 0;
}

LRESULT CaretSelection::OnKillFocus()
{
    focused = false;
    m_pendingLead = 0;
    InvalidateRect(hwnd, nullptr, FALSE);
    NotifyParent(hwnd, EN_KILLFOCUS);
    return 0;
}

LRESULT CaretSelection::DialogCode(LPARAM lParam) const
{
    LRESULT code = DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS;
    auto* msg = reinterpret_cast<const MSG*>(lParam);
    if ((Style() & ES_MULTILINE) && (Style() & ES_WANTRETURN) && msg && msg->message == WM_KEYDOWN &&
        msg->wParam == VK_RETURN)
        code |= DLGC_WANTMESSAGE;
    return code;
}

LRESULT CaretSelection::GetSel(WPARAM wParam, LPARAM lParam) const
{
    auto [a, b] = Selection();
    if (wParam)
        *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(a);
    if (lParam)
        *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(b);
    return MAKELRESULT(std::min<size_t>(a, 0xFFFF), std::min<size_t>(b, 0xFFFF));
}

void CaretSelection::SetSel(LONG start, LONG end)
{
    if (start < 0) {
        anchor = caret;
    } else {
        size_t size = text.size();
        size_t a = std::min(static_cast<size_t>(start), size);
        size_t b = end < 0 ? size : std::min(static_cast<size_t>(end), size);
        anchor = CaretPlace(a);
        caret = CaretPlace(b);
    }
    SelectionSet();
}

void CaretSelection::Copy()
{
    auto [a, b] = Selection();
    if (a == b || !MayCopy())
        return;
    PutClipboardText(hwnd, std::string_view(text).substr(a, b - a));
}

// What may not be copied may not be cut either: the selection stays.
void CaretSelection::Cut()
{
    if (!MayCopy())
        return;
    Copy();
    if (!ReadOnly())
        ReplaceSelection("");
}

void CaretSelection::Paste()
{
    if (ReadOnly())
        return;
    std::string pasted = ClipboardText(hwnd);
    if (!pasted.empty())
        ReplaceSelection(pasted);
}

void CaretSelection::Clear()
{
    if (!ReadOnly())
        ReplaceSelection("");
}

void CaretSelection::OnChar(WPARAM wParam)
{
    BYTE ch = static_cast<BYTE>(wParam);
    switch (ch) {
    case 0x01: SetSel(0, -1); return;
    case 0x03: Copy(); return;
    case 0x16: Paste(); return;
    case 0x18: Cut(); return;
    default: break;
    }
    if (ReadOnly())
        return;
    if (ch == 0x08) {
        auto [a, b] = Selection();
        if (a == b) {
            if (a == 0)
                return;
            anchor = PrevCaretPlace(a);
            caret = a;
        }
        ReplaceSelection("");
        return;
    }
    if (ch == '\r' || ch == '\n') {
        if (Style() & ES_MULTILINE)
            ReplaceSelection("\r\n");
        return;
    }
    if (ch < 0x20 && (ch != '\t' || !TakesTab()))
        return;
    // A double-byte character arrives as its two bytes in turn.
    if (m_pendingLead) {
        char pair[2] = {static_cast<char>(m_pendingLead), static_cast<char>(ch)};
        m_pendingLead = 0;
        ReplaceSelection(std::string(pair, 2));
        return;
    }
    if (IsDBCSLeadByte(ch)) {
        m_pendingLead = ch;
        return;
    }
    char one = static_cast<char>(ch);
    if (Filter(&one))
        ReplaceSelection(std::string(1, one));
}

bool CaretSelection::OnEditingKey(WPARAM key)
{
    bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    switch (key) {
    case VK_DELETE: {
        if (ReadOnly())
            return true;
        if (shift) {
            Cut();
            return true;
        }
        auto [a, b] = Selection();
        if (a == b) {
            if (a >= text.size())
                return true;
            anchor = a;
            caret = NextCaretPlace(a);
        }
        ReplaceSelection("");
        return true;
    }
    case VK_INSERT:
        if (ctrl)
            Copy();
        else if (shift)
            Paste();
        return true;
    default: return false;
    }
}

} // namespace yonda::user
