#pragma once
// An owner-drawn push button drawn from a picture of four state images side by side (normal,
// hover or focused, pressed or checked, disabled) with magenta left out, with hover tracking by
// the mouse capture and its caption as tooltip.
#include <afxcmn.h>
#include <afxwin.h>

constexpr COLORREF kSkinKeyColour = RGB(255, 0, 255);

class CSkinButton : public CButton {
public:
    CSkinButton() = default;
    ~CSkinButton() override;

    // Uses a picture someone else owns (usually a skin element's); a picture the button loaded
    // itself is deleted first. False for a null handle.
    BOOL SetBitmap(HBITMAP bitmap);
    // Takes a picture the button then owns and deletes.
    BOOL AdoptBitmap(HBITMAP bitmap);
    // Loads a picture the button owns. False at once for a missing file; an unreadable one is
    // told to the user.
    BOOL LoadBitmap(CString path);
    virtual void SizeToBitmap();
    void SetState(int checked);
    void SetToolTipText(const char* text, int activate);

    void DrawItem(LPDRAWITEMSTRUCT dis) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    int m_nHeight = 0;
    int m_nStateWidth = 0;
    int m_bHover = 0;
    int m_bChecked = 0;
    CBitmap m_bmp;
    CToolTipCtrl m_tip;

protected:
    virtual void OnMouseLeave();
    virtual void OnMouseEnter();
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnDestroy() override;

private:
    void ReleasePicture();
    void TakeSizes();
    BOOL m_bOwnsPicture = FALSE;
};
