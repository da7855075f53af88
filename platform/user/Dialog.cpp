// The dialog manager: dialogs from compiled-in templates, the default dialog procedure, modal
// loops that keep dispatching everything, and the keyboard interface (Enter, Escape, Tab).
#include "Queue.h"
#include "Window.h"
#include "WindowClass.h"
#include "yonda_user.h"

#include <map>
#include <mutex>
#include <string>
#include <strings.h>
#include <vector>

namespace yonda::user {
namespace {

// Per-dialog state, kept in the window's extra bytes as one pointer.
struct DialogState {
    DLGPROC proc = nullptr;
    LRESULT msgResult = 0;
    UINT defId = 0;
    bool defIdSet = false; // DM_SETDEFID was sent
    bool ended = false;
    INT_PTR result = 0;
    HWND savedFocus = nullptr;
};
constexpr int kStateSlot = sizeof(LONG_PTR); // slot 0 is DWLP_MSGRESULT

struct StoredTemplate {
    YondaDialogTemplate header{};
    std::string caption;
    std::vector<std::string> classes, texts;
    std::vector<YondaDialogItem> items;
};

std::mutex& TemplateMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, StoredTemplate>& Templates()
{
    static std::map<std::string, StoredTemplate> templates;
    return templates;
}

std::string TemplateKey(LPCSTR name)
{
    if (IS_INTRESOURCE(name))
        return "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name));
    std::string key = name ? name : "";
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

thread_local DLGPROC t_pendingProc = nullptr;

DialogState* StateOf(HWND dlg)
{
    return reinterpret_cast<DialogState*>(GetWindowLongPtrA(dlg, kStateSlot));
}

// The default button's id: the one DM_SETDEFID named, else a default push button's, else IDOK.
UINT DefaultId(HWND dlg, const DialogState& state)
{
    if (state.defIdSet)
        return state.defId;
    for (HWND child = GetWindow(dlg, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (SendMessageA(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)
            return static_cast<UINT>(GetDlgCtrlID(child));
    return IDOK;
}

bool IsTabStop(HWND hwnd)
{
    DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    return (style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

} // namespace

bool FindDialogTemplate(LPCSTR name, YondaDialogTemplate* out)
{
    std::lock_guard lock(TemplateMutex());
    auto it = Templates().find(TemplateKey(name));
    if (it == Templates().end())
        return false;
    *out = it->second.header;
    return true;
}

void RegisterDialogClass()
{
    WindowClass cls;
    cls.name = "#32770";
    cls.proc = &DefDlgProcA;
    cls.cbWndExtra = 2 * sizeof(LONG_PTR);
    cls.cursor = nullptr;
    cls.style = CS_DBLCLKS | CS_SAVEBITS;
    AddClass(cls);
}

// Makes the dialog window, its controls, then WM_INITDIALOG; shown when its template says so.
HWND CreateDialogFromTemplate(const YondaDialogTemplate& t, HWND owner, DLGPROC proc, LPARAM param)
{
    t_pendingProc = proc;
    HWND dlg = CreateWindowExA(t.exStyle, "#32770", t.caption ? t.caption : "", t.style & ~WS_VISIBLE, t.x, t.y, t.cx,
                               t.cy, owner, nullptr, nullptr, reinterpret_cast<LPVOID>(param));
    t_pendingProc = nullptr;
    if (!dlg)
        return nullptr;
    for (int i = 0; i < t.itemCount && t.items; ++i) {
        const YondaDialogItem& item = t.items[i];
        CreateWindowExA(item.exStyle, item.className, item.text ? item.text : "", item.style | WS_CHILD, item.x, item.y,
                        item.cx, item.cy, dlg, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)), nullptr,
                        nullptr);
        if (!IsWindow(dlg))
            return nullptr;
    }
    HWND first = GetNextDlgTabItem(dlg, nullptr, FALSE);
    if (SendMessageA(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) && first && IsWindow(first))
        SetFocus(first);
    if (!IsWindow(dlg))
        return nullptr;
    if (t.style & WS_VISIBLE)
        ShowWindow(dlg, SW_SHOW);
    return dlg;
}

bool DialogEnded(HWND dlg, INT_PTR* result)
{
    DialogState* state = IsWindow(dlg) ? StateOf(dlg) : nullptr;
    if (!state)
        return true;
    if (result)
        *result = state->result;
    return state->ended;
}

} // namespace yonda::user

using namespace yonda::user;

void YondaAddDialogTemplate(LPCSTR name, const YondaDialogTemplate* t)
{
    if (!t)
        return;
    StoredTemplate stored;
    stored.header = *t;
    stored.caption = t->caption ? t->caption : "";
    int count = t->items ? std::max(0, t->itemCount) : 0;
    stored.classes.reserve(count);
    stored.texts.reserve(count);
    for (int i = 0; i < count; ++i) {
        stored.classes.emplace_back(t->items[i].className ? t->items[i].className : "STATIC");
        stored.texts.emplace_back(t->items[i].text ? t->items[i].text : "");
    }
    for (int i = 0; i < count; ++i) {
        YondaDialogItem item = t->items[i];
        item.className = stored.classes[i].c_str();
        item.text = stored.texts[i].c_str();
        stored.items.push_back(item);
    }
    std::lock_guard lock(TemplateMutex());
    auto& slot = Templates()[TemplateKey(name)];
    slot = std::move(stored);
    slot.header.caption = slot.caption.c_str();
    slot.header.items = slot.items.data();
    slot.header.itemCount = count;
    // The strings moved with the vectors' buffers; point the items at their new homes.
    for (int i = 0; i < count; ++i) {
        slot.items[i].className = slot.classes[i].c_str();
        slot.items[i].text = slot.texts[i].c_str();
    }
}

LRESULT DefDlgProcA(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* state = new DialogState;
        state->proc = t_pendingProc;
        SetWindowLongPtrA(dlg, kStateSlot, reinterpret_cast<LONG_PTR>(state));
    }
    DialogState* state = StateOf(dlg);
    if (state && state->proc) {
        state->msgResult = 0;
        INT_PTR handled = state->proc(dlg, message, wParam, lParam);
        if (message == WM_INITDIALOG || (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)) {
            if (handled)
                return handled;
        } else if (handled) {
            return GetWindowLongPtrA(dlg, DWLP_MSGRESULT);
        }
        state = StateOf(dlg);
    }
    switch (message) {
    case WM_NCDESTROY:
        SetWindowLongPtrA(dlg, kStateSlot, 0);
        delete state;
        return 0;
    case WM_ERASEBKGND: {
        HBRUSH brush =
            reinterpret_cast<HBRUSH>(SendMessageA(dlg, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(dlg)));
        if (!brush)
            brush = GetSysColorBrush(COLOR_BTNFACE);
        RECT rc;
        GetClientRect(dlg, &rc);
        FillRect(reinterpret_cast<HDC>(wParam), &rc, brush);
        return 1;
    }
    case WM_CLOSE:
        PostMessageA(dlg, WM_COMMAND, IDCANCEL, reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDCANCEL)));
        return 0;
    case DM_GETDEFID: return state ? MAKELRESULT(DefaultId(dlg, *state), DC_HASDEFID) : 0;
    case DM_SETDEFID:
        if (state) {
            state->defId = static_cast<UINT>(wParam);
            state->defIdSet = true;
        }
        return TRUE;
    case WM_NEXTDLGCTL: {
        HWND next = lParam ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(dlg, GetFocus(), wParam != 0);
        if (next)
            SetFocus(next);
        return 0;
    }
    case WM_ACTIVATE:
        if (!state)
            break;
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(dlg, focus))
                state->savedFocus = focus;
        } else if (state->savedFocus && IsWindow(state->savedFocus) && IsChild(dlg, state->savedFocus)) {
            SetFocus(state->savedFocus);
            return 0;
        }
        break;
    case WM_SETFOCUS: {
        HWND first = (state && state->savedFocus && IsWindow(state->savedFocus))
                         ? state->savedFocus
                         : GetNextDlgTabItem(dlg, nullptr, FALSE);
        if (first)
            SetFocus(first);
        return 0;
    }
    default: break;
    }
    return DefWindowProcA(dlg, message, wParam, lParam);
}

HWND GetNextDlgTabItem(HWND dlg, HWND ctl, BOOL previous)
{
    std::vector<HWND> stops;
    for (HWND child = GetWindow(dlg, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsTabStop(child) || child == ctl)
            stops.push_back(child);
    if (stops.empty())
        return nullptr;
    auto it = std::find(stops.begin(), stops.end(), ctl);
    size_t n = stops.size();
    size_t start = it == stops.end() ? (previous ? 0 : n - 1) : static_cast<size_t>(it - stops.begin());
    for (size_t step = 1; step <= n; ++step) {
        size_t i = previous ? (start + n - step) % n : (start + step) % n;
        if (IsTabStop(stops[i]))
            return stops[i];
    }
    return nullptr;
}

HWND GetNextDlgGroupItem(HWND dlg, HWND ctl, BOOL previous)
{
    return GetNextDlgTabItem(dlg, ctl, previous);
}

// The command Enter gives: the default button's. A skinned dialog has no IDOK button but its own
// OK (191), which then stands in for IDOK.
static UINT EnterCommand(HWND dlg)
{
    LRESULT def = SendMessageA(dlg, DM_GETDEFID, 0, 0);
    UINT id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
    if (id == IDOK && !GetDlgItem(dlg, IDOK) && GetDlgItem(dlg, 191))
        return 191;
    return id;
}

static UINT EscapeCommand(HWND dlg)
{
    if (!GetDlgItem(dlg, IDCANCEL) && GetDlgItem(dlg, 190))
        return 190;
    return IDCANCEL;
}

BOOL IsDialogMessageA(HWND dlg, LPMSG msg)
{
    if (!msg || !IsWindow(dlg) || (msg->hwnd != dlg && !IsChild(dlg, msg->hwnd)))
        return FALSE;
    if (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) {
        LRESULT code = SendMessageA(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
        bool wantsAll = (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) != 0;
        WPARAM key = msg->wParam;
        bool isKey = msg->message == WM_KEYDOWN;
        if (isKey && key == VK_TAB && !(code & DLGC_WANTTAB)) {
            HWND next = GetNextDlgTabItem(dlg, GetFocus(), (GetKeyState(VK_SHIFT) & 0x8000) != 0);
            if (next) {
                SetFocus(next);
                if (SendMessageA(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
                    SendMessageA(next, EM_SETSEL, 0, -1);
            }
            return TRUE;
        }
        if (isKey && key == VK_RETURN && !wantsAll) {
            UINT id = EnterCommand(dlg);
            HWND control = GetDlgItem(dlg, static_cast<int>(id));
            if (!control || IsWindowEnabled(control))
                SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
            return TRUE;
        }
        if (isKey && key == VK_ESCAPE && !wantsAll) {
            UINT id = EscapeCommand(dlg);
            SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dlg, static_cast<int>(id))));
            return TRUE;
        }
        // The characters of keys handled above never reach the controls.
        if (!isKey && !wantsAll && ((key == '\t' && !(code & DLGC_WANTTAB)) || key == '\r' || key == 0x1B) &&
            !(code & DLGC_WANTCHARS))
            return TRUE;
    }
    TranslateMessage(msg);
    DispatchMessageA(msg);
    return TRUE;
}

HWND CreateDialogParamA(HINSTANCE, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param)
{
    YondaDialogTemplate t;
    if (!FindDialogTemplate(name, &t))
        return nullptr;
    return CreateDialogFromTemplate(t, owner, proc, param);
}

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param)
{
    YondaDialogTemplate t;
    if (!FindDialogTemplate(name, &t))
        return -1;
    if (owner)
        owner = GetAncestor(owner, GA_ROOT);
    bool disabled = owner && IsWindowEnabled(owner);
    if (disabled)
        EnableWindow(owner, FALSE);
    t.style |= WS_VISIBLE;
    HWND dlg = CreateDialogFromTemplate(t, owner, proc, param);
    INT_PTR result = -1;
    MSG msg;
    while (dlg && !DialogEnded(dlg, &result)) {
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!IsDialogMessageA(dlg, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (disabled)
        EnableWindow(owner, TRUE);
    if (dlg && IsWindow(dlg)) {
        if (owner && GetActiveWindow() == dlg)
            SetActiveWindow(owner);
        DestroyWindow(dlg);
    }
    (void)instance;
    return result;
}

BOOL EndDialog(HWND dlg, INT_PTR result)
{
    DialogState* state = IsWindow(dlg) ? StateOf(dlg) : nullptr;
    if (!state)
        return FALSE;
    state->ended = true;
    state->result = result;
    PostMessageA(dlg, WM_NULL, 0, 0); // wakes the modal loop
    return TRUE;
}

LRESULT SendDlgItemMessageA(HWND dlg, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND item = GetDlgItem(dlg, id);
    return item ? SendMessageA(item, message, wParam, lParam) : 0;
}

UINT GetDlgItemTextA(HWND dlg, int id, LPSTR buffer, int size)
{
    if (buffer && size > 0)
        buffer[0] = '\0';
    HWND item = GetDlgItem(dlg, id);
    return item ? static_cast<UINT>(GetWindowTextA(item, buffer, size)) : 0;
}

BOOL SetDlgItemTextA(HWND dlg, int id, LPCSTR text)
{
    HWND item = GetDlgItem(dlg, id);
    return item ? SetWindowTextA(item, text) : FALSE;
}

UINT GetDlgItemInt(HWND dlg, int id, BOOL* translated, BOOL isSigned)
{
    char text[32];
    GetDlgItemTextA(dlg, id, text, sizeof text);
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    bool ok = end != text && (isSigned || value >= 0);
    if (translated)
        *translated = ok ? TRUE : FALSE;
    return ok ? static_cast<UINT>(value) : 0;
}

BOOL SetDlgItemInt(HWND dlg, int id, UINT value, BOOL isSigned)
{
    char text[32];
    if (isSigned)
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    else
        std::snprintf(text, sizeof text, "%u", value);
    return SetDlgItemTextA(dlg, id, text);
}
