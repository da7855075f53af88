#pragma once
// The notice dialog's layout: the common dialog parts, where its picture goes and the rectangle
// of its message.
#include "DialogSkin.h"
#include "ToolkitShared.h"

class CNoticeSkin : public CDialogSkin {
public:
    CNoticeSkin() { SetSkinPath(ToolkitSkinFolder()); }
    ~CNoticeSkin() override { CNoticeSkin::FreeSkin(); }

    void FreeSkin() override
    {
        CDialogSkin::FreeSkin();
        FreeElementBitmap(&m_elBitmapWnd);
    }
    int LoadElements() override
    {
        const int result = CDialogSkin::LoadElements();
        LoadElement("BITMAP_WND", &m_elBitmapWnd);
        GetRect("MESSAGE", "RECT", &m_rcMessage);
        return result;
    }

    CSkinElement m_elBitmapWnd; // only its rectangle's top-left is used
    RECT m_rcMessage{0, 0, 0, 0};
};
