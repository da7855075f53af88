#pragma once
// An edit field with its own colours and a one-pixel frame that hands a typed line to its parent
// when Enter is pressed. As a message input line it holds at most 150 characters and empties
// itself after each line it hands on. Keys the 3D view and the frame need while the user types
// (the wheel, Page Up/Down, the function keys) go on to the main window, Escape to the parent.
#include <afxwin.h>

// Edit -> parent, sent when a line is handed on: wParam 0, lParam the line (valid during the call).
constexpr UINT UM_EDIT_ENTER = 0x850;

class CSkinEdit : public CEdit {
public:
    CSkinEdit();
    ~CSkinEdit() override = default;

    void SetTextColor(COLORREF colour) { m_crText = colour; }
    // Hands `text` up to its last carriage return to the parent; an input line empties itself.
    void SendLine(CString text);

    BOOL PreTranslateMessage(MSG* msg) override;

    // The longest line an input line takes.
    static constexpr int kInputLineLimit = 150;

    CString m_strSent;
    COLORREF m_crText = RGB(0, 0, 0);
    int m_bTrackModifiers = 0;
    int m_bCtrlDown = 0;
    int m_bShiftDown = 0;
    int m_bInputLine = 0;
    COLORREF m_crBack = RGB(255, 255, 255);
    COLORREF m_crFrame;
    CBrush m_brBack;
    CBrush m_brFrame;
    // Set when the text changes while Ctrl is held on an input line; the owning window reads it.
    int m_bNewLinePending = 0;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    HBRUSH CtlColor(CDC* dc, UINT ctlColor) override;
    BOOL OnReflectedCommand(UINT code) override;
    void OnKeyDown(UINT ch, UINT repeat, UINT flags) override;

private:
    void OnUpdate();
};
