#pragma once
// A dialog drawn from its skin's background picture with the common buttons: 191 confirms, 190
// cancels and 192 closes (as cancel). Enter and Escape take the same ways as those buttons.
#include "DialogSkin.h"
#include "SkinStatic.h"
#include "SoundButton.h"

#include <afxwin.h>

constexpr UINT kDialogOk = 191;
constexpr UINT kDialogCancel = 190;
constexpr UINT kDialogClose = 192;

class CSkinDialog : public CDialog {
public:
    // `element` is the main layout's element of the dialog; its IniFile names the dialog's skin.
    CSkinDialog(CSkinElement* element, UINT templateId, CWnd* parent);
    ~CSkinDialog() override;

    // From an element's own picture, else from the picture its Image names (owned then).
    BOOL CreateSkinButton(CSoundButton* button, CSkinElement* element, CWnd* parent, int tabStop);
    // A drop-down selector from a section of the dialog's skin, showing its DefaultIndex item.
    BOOL CreateSkinChild(CSkinStatic* child, const char* section);
    void ResizeToSkin();
    // Takes the picture's size; the first picture given stays the background.
    void SetBackground(CBitmap* bitmap);

    // The command steps; derived dialogs replace them (the base ends the dialog).
    virtual void OnSkinOk() { EndDialog(IDOK); }
    virtual void OnSkinCancel() { EndDialog(IDCANCEL); }
    virtual void OnSkinClose() { OnSkinCancel(); }

    BOOL OnInitDialog() override;
    void OnOK() override { OnSkinOk(); }
    void OnCancel() override { OnSkinCancel(); }

    int m_nWidth = 0;
    int m_nHeight = 0;
    CSoundButton m_btnClose;
    CSoundButton m_btnOK;
    CSoundButton m_btnCancel;
    CSkinElement* m_pElement = nullptr;
    CDialogSkin* m_pSkin = nullptr;
    CBitmap m_bmpBack; // borrowed from the skin
    CDC m_dcMem;
    CBitmap* m_pOldBitmap = nullptr;
    CString m_strImage;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;
    void ReleaseMemoryDC();
};
