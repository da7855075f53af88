#pragma once
// A read-only log of coloured lines (the messenger's conversation) that keeps a skinned scroll
// bar in step: once more lines than fit are appended, the bar shows and the view follows the end.
#include "SkinScrollBar.h"

#include <afxcmn.h>
#include <afxwin.h>

class CSkinRichEdit : public CRichEditCtrl {
public:
    CSkinRichEdit() = default;
    ~CSkinRichEdit() override;

    // A visible read-only log driving `scrollBar` (may be null), whose notify window should be
    // this log so that dragging the bar scrolls the text.
    BOOL Create(const RECT& rect, CWnd* parent, UINT id, CSkinScrollBar* scrollBar);
    void AppendLine(CString text, COLORREF colour);
    // A name on a black line of its own above the text; a line without a name is red.
    void AppendText(CString name, CString text, COLORREF colour);

    static constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY;
    static constexpr COLORREF kNamelessColour = RGB(237, 23, 36);

    CSkinScrollBar* m_pScrollBar = nullptr;
    int m_nVisibleLines = 10;
    int m_nScrollPos = 0;
    CRect m_rcClient;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FollowEnd();
};
