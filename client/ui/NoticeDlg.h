#pragma once
// A small finished dialog: a picture and a centred message with OK and cancel.
#include "NoticeSkin.h"
#include "SkinDialog.h"

class CNoticeDlg : public CSkinDialog {
public:
    CNoticeDlg(CSkinElement* element, CWnd* parent);
    ~CNoticeDlg() override;

    // False (and the file-read message) when the picture does not load.
    bool SetNoticeBitmap(CString path);
    // The same, by the name the user information window knows it by.
    bool SetBitmapFile(CString path) { return SetNoticeBitmap(path); }
    void SetImageSize(int width, int height)
    {
        m_nImageWidth = width;
        m_nImageHeight = height;
    }

    CString m_strMessage;
    CBitmap m_bmpNotice;
    int m_nImageWidth = 0;
    int m_nImageHeight = 0;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnPaint() override;
    void OnDestroy() override;
    CNoticeSkin* Skin() const { return static_cast<CNoticeSkin*>(m_pSkin); }
};
