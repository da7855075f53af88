// The tooltip control: tools are windows (or rectangles of windows) with a text; mouse messages
// relayed to it start a short wait, after which the text shows in a small popup near the cursor
// until the mouse leaves the tool or a button goes down. An empty text shows nothing.
#include "ControlState.h"

#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

namespace yonda::user {
namespace {

constexpr UINT_PTR kShowTimer = 1;
constexpr UINT kInitialDelay = 500;

struct Tool {
    UINT flags = 0;
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    RECT rect{};
    std::string text;
};

struct ToolTipState {
    std::vector<Tool> tools;
    bool active = true;
    int current = -1; // tool under the mouse
    bool shown = false;
    int maxWidth = -1;
};

int FindTool(ToolTipState* s, const TOOLINFOA* info)
{
    if (!info)
        return -1;
    for (size_t i = 0; i < s->tools.size(); ++i)
        if (s->tools[i].hwnd == info->hwnd && s->tools[i].id == info->uId)
            return static_cast<int>(i);
    return -1;
}

std::string TextOf(const TOOLINFOA* info)
{
    if (!info->lpszText || info->lpszText == LPSTR_TEXTCALLBACKA)
        return "";
    if (IS_INTRESOURCE(info->lpszText)) {
        char buffer[512];
        int n = LoadStringA(info->hinst, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(info->lpszText)), buffer,
                            sizeof buffer);
        return std::string(buffer, n > 0 ? n : 0);
    }
    return info->lpszText;
}

// The tool under a screen point, or -1.
int ToolAt(ToolTipState* s, POINT screen)
{
    for (size_t i = 0; i < s->tools.size(); ++i) {
        const Tool& t = s->tools[i];
        if (!IsWindow(t.hwnd) && !((t.flags & TTF_IDISHWND) && IsWindow(reinterpret_cast<HWND>(t.id))))
            continue;
        RECT r;
        if (t.flags & TTF_IDISHWND) {
            GetWindowRect(reinterpret_cast<HWND>(t.id), &r);
        } else {
            r = t.rect;
            MapWindowPoints(t.hwnd, nullptr, reinterpret_cast<LPPOINT>(&r), 2);
        }
        if (PtInRect(&r, screen))
            return static_cast<int>(i);
    }
    return -1;
}

void Hide(HWND hwnd, ToolTipState* s)
{
    KillTimer(hwnd, kShowTimer);
    if (s->shown)
        ShowWindow(hwnd, SW_HIDE);
    s->shown = false;
}

void Show(HWND hwnd, ToolTipState* s)
{
    if (s->current < 0 || s->current >= static_cast<int>(s->tools.size()))
        return;
    const std::string& text = s->tools[s->current].text;
    if (text.empty() || !s->active)
        return;
    HDC dc = GetDC(hwnd);
    SIZE size{static_cast<LONG>(text.size()) * 7, 14};
    if (dc) {
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
        HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        if (old)
            SelectObject(dc, old);
        ReleaseDC(hwnd, dc);
    }
    POINT pt;
    GetCursorPos(&pt);
    SetWindowPos(hwnd, HWND_TOPMOST, pt.x, pt.y + 20, size.cx + 8, size.cy + 4, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    s->shown = true;
}

void Relay(HWND hwnd, ToolTipState* s, const MSG* msg)
{
    if (!msg)
        return;
    switch (msg->message) {
    case WM_MOUSEMOVE: {
        POINT pt{GET_X_LPARAM(msg->lParam), GET_Y_LPARAM(msg->lParam)};
        ClientToScreen(msg->hwnd, &pt);
        int tool = ToolAt(s, pt);
        if (tool != s->current) {
            Hide(hwnd, s);
            s->current = tool;
            if (tool >= 0 && s->active)
                SetTimer(hwnd, kShowTimer, kInitialDelay, nullptr);
        }
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: Hide(hwnd, s); break;
    default: break;
    }
}

void Paint(HWND hwnd, ToolTipState* s)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(dc, &rc, GetSysColorBrush(COLOR_INFOBK));
        FrameRect(dc, &rc, GetSysColorBrush(COLOR_INFOTEXT));
        if (s->current >= 0 && s->current < static_cast<int>(s->tools.size())) {
            const std::string& text = s->tools[s->current].text;
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
            HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
            HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
            DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            if (old)
                SelectObject(dc, old);
        }
    }
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK ToolTipProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ToolTipState* s = ControlState<ToolTipState>(hwnd, message);
    if (!s)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    auto* info = reinterpret_cast<const TOOLINFOA*>(lParam);
    switch (message) {
    case WM_NCDESTROY: FreeControlState<ToolTipState>(hwnd); return 0;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_PAINT: Paint(hwnd, s); return 0;
    case WM_TIMER:
        if (wParam == kShowTimer) {
            KillTimer(hwnd, kShowTimer);
            Show(hwnd, s);
        }
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN: Hide(hwnd, s); return 0;
    case TTM_ADDTOOLA: {
        if (!info || FindTool(s, info) >= 0)
            return FALSE;
        s->tools.push_back(Tool{info->uFlags, info->hwnd, info->uId, info->rect, TextOf(info)});
        return TRUE;
    }
    case TTM_DELTOOLA: {
        int i = FindTool(s, info);
        if (i >= 0) {
            if (i == s->current)
                Hide(hwnd, s), s->current = -1;
            else if (i < s->current)
                --s->current;
            s->tools.erase(s->tools.begin() + i);
        }
        return 0;
    }
    case TTM_UPDATETIPTEXTA: {
        int i = FindTool(s, info);
        if (i >= 0) {
            s->tools[i].text = TextOf(info);
            if (i == s->current && s->shown) {
                if (s->tools[i].text.empty())
                    Hide(hwnd, s);
                else
                    InvalidateRect(hwnd, nullptr, TRUE);
            }
        }
        return 0;
    }
    case TTM_NEWTOOLRECTA: {
        int i = FindTool(s, info);
        if (i >= 0)
            s->tools[i].rect = info->rect;
        return 0;
    }
    case TTM_GETTOOLCOUNT: return static_cast<LRESULT>(s->tools.size());
    case TTM_GETTEXTA: {
        int i = FindTool(s, info);
        auto* out = reinterpret_cast<TOOLINFOA*>(lParam);
        if (i >= 0 && out && out->lpszText) {
            size_t n = std::min<size_t>(s->tools[i].text.size(), wParam ? wParam - 1 : 79);
            std::memcpy(out->lpszText, s->tools[i].text.data(), n);
            out->lpszText[n] = '\0';
        }
        return 0;
    }
    case TTM_ACTIVATE:
        s->active = wParam != 0;
        if (!s->active)
            Hide(hwnd, s);
        return 0;
    case TTM_RELAYEVENT: Relay(hwnd, s, reinterpret_cast<const MSG*>(lParam)); return 0;
    case TTM_POP: Hide(hwnd, s); return 0;
    case TTM_SETMAXTIPWIDTH: {
        int old = s->maxWidth;
        s->maxWidth = static_cast<int>(lParam);
        return old;
    }
    case TTM_SETDELAYTIME: return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

void RegisterToolTipClass()
{
    RegisterControlClass(TOOLTIPS_CLASSA, &ToolTipProc, CS_SAVEBITS);
}

} // namespace yonda::user

void InitCommonControls() {}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX*)
{
    return TRUE;
}
