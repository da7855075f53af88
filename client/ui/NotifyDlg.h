#pragma once
// Every message the client shows to the user goes through one skinned modal dialog, opened by a
// layout name (a section of the message-dialog skin with the title, the lines, the background
// and the kind of buttons) or by a text whose lines are separated by ';' with a button-type flag.
#include "SoundButton.h"
#include "WndSnapGroup.h"

#include <afxwin.h>

class CDialogSkin;
struct CSkinElement;

// Button-type flags of a box opened by text; neither gives one button.
constexpr int kNotifyOkCancel = 1;
constexpr int kNotifyYesNo = 4;

class CNotifyDlg : public CDialog {
public:
    CNotifyDlg(CString layoutName, CWnd* parent);
    CNotifyDlg(CString text, int buttonFlags, int fontHeight, CWnd* parent);
    ~CNotifyDlg() override;

    // A line before the others; the new count.
    int AddLine(CString line);
    // A line after the line at `index` (at the end when there is no such line); the new count.
    int InsertLine(int index, CString line);
    // Where the first of `count` lines starts (client y).
    static int FirstLineTop(int count);

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_bSingleButton = 0;
    int m_bByText = 0;
    int m_nButtonFlags = 0;
    CFont m_fontMessage;
    CString m_strText;
    int m_nFontHeight = 13;
    CStringList m_unused;
    CSoundButton m_btnClose;
    CSoundButton m_btnFirst;
    CSoundButton m_btnSecond;
    CBitmap m_bmpBack;
    CDC m_dcMem;
    CBitmap* m_pOldBitmap = nullptr;
    int m_nLineCount = 0;
    CStringList m_lines;
    CString m_strTitle;
    CString m_strBkImage;
    CString m_strSection;
    RECT m_rcDrag{0, 0, 0, 0};
    RECT m_rcMessage{0, 0, 0, 0};
    CWndSnapGroup m_snap;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnPaint() override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override { Confirm(); }
    void OnCancel() override { EndDialog(IDCANCEL); }
    void OnDestroy() override;

private:
    void MakeFont();
    void Confirm();
    BOOL MakeButton(CSoundButton* button, CSkinElement* element, BOOL tabStop);
    void Resize();
    BOOL m_bOwnsBack = FALSE;
};

// A box opened by text without parent, run modally: IDOK (1) or IDCANCEL (2).
int ShowNotifyBox(CString text, int buttonFlags, int fontHeight);
// The string-table text E_FILE_READ with the file's name, shown in a notify box; nothing before
// the string table exists.
void ShowFileReadError(CString path);
// The folder of the program file (the installation folder).
CString GetModuleDirectory();
// A whole number with thousands separators: 1234567 gives "1,234,567".
CString FormatNumber(int value);
