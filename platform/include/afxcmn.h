// MFC wrappers of the common controls: the progress bar and the tooltip.
#pragma once

#include "afxwin.h"
#include "commctrl.h"

class CProgressCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CWnd::Create(PROGRESS_CLASSA, nullptr, style, rect, parent, id);
    }
    void SetRange(short low, short high) { ::SendMessageA(m_hWnd, PBM_SETRANGE, 0, MAKELPARAM(low, high)); }
    void SetRange32(int low, int high) { ::SendMessageA(m_hWnd, PBM_SETRANGE32, low, high); }
    void GetRange(int& low, int& high) const {
        PBRANGE range{};
        ::SendMessageA(m_hWnd, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
        low = range.iLow;
        high = range.iHigh;
    }
    int GetPos() const { return static_cast<int>(::SendMessageA(m_hWnd, PBM_GETPOS, 0, 0)); }
    int SetPos(int pos) { return static_cast<int>(::SendMessageA(m_hWnd, PBM_SETPOS, pos, 0)); }
    int OffsetPos(int delta) { return static_cast<int>(::SendMessageA(m_hWnd, PBM_DELTAPOS, delta, 0)); }
    int SetStep(int step) { return static_cast<int>(::SendMessageA(m_hWnd, PBM_SETSTEP, step, 0)); }
    int StepIt() { return static_cast<int>(::SendMessageA(m_hWnd, PBM_STEPIT, 0, 0)); }
    COLORREF SetBarColor(COLORREF c) { return static_cast<COLORREF>(::SendMessageA(m_hWnd, PBM_SETBARCOLOR, 0, c)); }
    COLORREF SetBkColor(COLORREF c) { return static_cast<COLORREF>(::SendMessageA(m_hWnd, PBM_SETBKCOLOR, 0, c)); }
};

class CToolTipCtrl : public CWnd {
public:
    BOOL Create(CWnd* parent, DWORD style = 0);
    BOOL AddTool(CWnd* wnd, LPCSTR text = LPSTR_TEXTCALLBACKA, LPCRECT rect = nullptr, UINT_PTR toolId = 0);
    BOOL AddTool(CWnd* wnd, UINT textId, LPCRECT rect = nullptr, UINT_PTR toolId = 0);
    void DelTool(CWnd* wnd, UINT_PTR toolId = 0);
    void UpdateTipText(LPCSTR text, CWnd* wnd, UINT_PTR toolId = 0);
    void SetToolRect(CWnd* wnd, UINT_PTR toolId, LPCRECT rect);
    int GetToolCount() const { return static_cast<int>(::SendMessageA(m_hWnd, TTM_GETTOOLCOUNT, 0, 0)); }
    void Activate(BOOL activate) { ::SendMessageA(m_hWnd, TTM_ACTIVATE, activate, 0); }
    void RelayEvent(LPMSG msg) { ::SendMessageA(m_hWnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }
    void Pop() { ::SendMessageA(m_hWnd, TTM_POP, 0, 0); }
    int SetMaxTipWidth(int width) { return static_cast<int>(::SendMessageA(m_hWnd, TTM_SETMAXTIPWIDTH, 0, width)); }
    void SetDelayTime(UINT delay) { ::SendMessageA(m_hWnd, TTM_SETDELAYTIME, TTDT_AUTOMATIC, delay); }

private:
    TOOLINFOA Info(CWnd* wnd, UINT_PTR toolId, LPCRECT rect) const;
};
