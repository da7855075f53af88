#pragma once
// The layout every skinned window shares: its close button.
#include "SkinBase.h"

class CWndSkin : public CSkinBase {
public:
    CWndSkin() = default;
    ~CWndSkin() override { CWndSkin::FreeSkin(); }

    void FreeSkin() override { FreeElementBitmap(&m_elCloseBtn); }
    int LoadElements() override { return LoadElement("CloseBtn", &m_elCloseBtn); }

    CSkinElement m_elCloseBtn;
};
