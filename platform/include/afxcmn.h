// MFC wrappers of the common controls: the progress bar, the tooltip and the rich edit.
#pragma once

#include "afxwin.h"
#include "commctrl.h"
#include "richedit.h"

class CProgressCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        return CWnd::Create(PROGRESS_CLASSA, nullptr, style, rect, parent, id);
    }
    void SetRange(short low, short high) { ::SendMessageA(m_hWnd, PBM_SETRANGE, 0, MAKELPARAM(low, high)); }
    void SetRange32(int low, int high) { ::SendMessageA(m_hWnd, PBM_SETRANGE32, low, high); }
    void GetRange(int& low, int& high) const
    {
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

// The rich edit control (see richedit.h): positions count bytes; of a CHARFORMAT only the colour
// is kept per range.
class CRichEditCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    // Text and selection.
    long GetTextLength() const { return static_cast<long>(::SendMessageA(m_hWnd, WM_GETTEXTLENGTH, 0, 0)); }
    void SetSel(long start, long end);
    void SetSel(CHARRANGE& range) { ::SendMessageA(m_hWnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range)); }
    void GetSel(long& start, long& end) const;
    void GetSel(CHARRANGE& range) const { ::SendMessageA(m_hWnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range)); }
    void ReplaceSel(LPCSTR text, BOOL canUndo = FALSE)
    {
        ::SendMessageA(m_hWnd, EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text));
    }
    CString GetSelText() const;
    long GetSelText(LPSTR buffer) const
    {
        return static_cast<long>(::SendMessageA(m_hWnd, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buffer)));
    }
    int GetTextRange(int first, int last, CString& text) const;
    void HideSelection(BOOL hide, BOOL) { ::SendMessageA(m_hWnd, EM_HIDESELECTION, hide, 0); }
    void LimitText(long bytes = 0) { ::SendMessageA(m_hWnd, EM_EXLIMITTEXT, 0, bytes); }
    long GetLimitText() const { return static_cast<long>(::SendMessageA(m_hWnd, EM_GETLIMITTEXT, 0, 0)); }
    BOOL SetReadOnly(BOOL readOnly = TRUE)
    {
        return static_cast<BOOL>(::SendMessageA(m_hWnd, EM_SETREADONLY, readOnly, 0));
    }
    BOOL GetModify() const { return static_cast<BOOL>(::SendMessageA(m_hWnd, EM_GETMODIFY, 0, 0)); }
    void SetModify(BOOL modified = TRUE) { ::SendMessageA(m_hWnd, EM_SETMODIFY, modified, 0); }

    // Character formats.
    DWORD GetSelectionCharFormat(CHARFORMAT& cf) const { return Format(EM_GETCHARFORMAT, SCF_SELECTION, cf); }
    BOOL SetSelectionCharFormat(CHARFORMAT& cf)
    {
        return static_cast<BOOL>(Format(EM_SETCHARFORMAT, SCF_SELECTION, cf));
    }
    BOOL SetWordCharFormat(CHARFORMAT& cf)
    {
        return static_cast<BOOL>(Format(EM_SETCHARFORMAT, SCF_SELECTION | SCF_WORD, cf));
    }
    DWORD GetDefaultCharFormat(CHARFORMAT& cf) const { return Format(EM_GETCHARFORMAT, SCF_DEFAULT, cf); }
    BOOL SetDefaultCharFormat(CHARFORMAT& cf) { return static_cast<BOOL>(Format(EM_SETCHARFORMAT, SCF_DEFAULT, cf)); }
    COLORREF SetBackgroundColor(BOOL useSysColor, COLORREF color)
    {
        return static_cast<COLORREF>(::SendMessageA(m_hWnd, EM_SETBKGNDCOLOR, useSysColor, color));
    }

    // Lines, as shown: a wrapped paragraph is several lines.
    int GetLineCount() const { return static_cast<int>(::SendMessageA(m_hWnd, EM_GETLINECOUNT, 0, 0)); }
    int LineIndex(int line = -1) const { return static_cast<int>(::SendMessageA(m_hWnd, EM_LINEINDEX, line, 0)); }
    int LineLength(int index = -1) const { return static_cast<int>(::SendMessageA(m_hWnd, EM_LINELENGTH, index, 0)); }
    long LineFromChar(long index) const
    {
        return static_cast<long>(::SendMessageA(m_hWnd, EM_EXLINEFROMCHAR, 0, index));
    }
    int GetLine(int line, LPSTR buffer, int maxLength) const;
    int GetFirstVisibleLine() const { return static_cast<int>(::SendMessageA(m_hWnd, EM_GETFIRSTVISIBLELINE, 0, 0)); }
    void LineScroll(int lines, int chars = 0) { ::SendMessageA(m_hWnd, EM_LINESCROLL, chars, lines); }
    CPoint PosFromChar(UINT index) const;
    int CharFromPos(CPoint point) const
    {
        return static_cast<int>(::SendMessageA(m_hWnd, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&point)));
    }
    void GetRect(LPRECT rect) const { ::SendMessageA(m_hWnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(rect)); }
    // A line width of 1 turns wrapping off, 0 wraps at the window's width.
    BOOL SetTargetDevice(HDC dc, long lineWidth)
    {
        return static_cast<BOOL>(::SendMessageA(m_hWnd, EM_SETTARGETDEVICE, reinterpret_cast<WPARAM>(dc), lineWidth));
    }

    // Notifications and the clipboard.
    DWORD SetEventMask(DWORD mask) { return static_cast<DWORD>(::SendMessageA(m_hWnd, EM_SETEVENTMASK, 0, mask)); }
    long GetEventMask() const { return static_cast<long>(::SendMessageA(m_hWnd, EM_GETEVENTMASK, 0, 0)); }
    BOOL CanPaste(UINT = 0) const { return static_cast<BOOL>(::SendMessageA(m_hWnd, EM_CANPASTE, 0, 0)); }
    void Copy() { ::SendMessageA(m_hWnd, WM_COPY, 0, 0); }
    void Cut() { ::SendMessageA(m_hWnd, WM_CUT, 0, 0); }
    void Paste() { ::SendMessageA(m_hWnd, WM_PASTE, 0, 0); }
    void Clear() { ::SendMessageA(m_hWnd, WM_CLEAR, 0, 0); }
    BOOL CanUndo() const { return FALSE; }
    BOOL Undo() { return FALSE; }
    void EmptyUndoBuffer() {}

private:
    DWORD Format(UINT message, WPARAM which, CHARFORMAT& cf) const
    {
        cf.cbSize = sizeof cf;
        return static_cast<DWORD>(::SendMessageA(m_hWnd, message, which, reinterpret_cast<LPARAM>(&cf)));
    }
};
