#pragma once
// The avatar creation dialog's skin: the common dialog parts, the nickname's place, the two
// gender pictures, the item list and the chosen-parts list with their explanation boxes, the
// part tab strip and the preview's place.
#include <DialogSkin.h>

// A list of item pictures as the skin lays it out.
struct AVATAR_ICON_LIST {
    int nID = 0;
    RECT rcRect{0, 0, 0, 0};
    int nColumns = 1;
    int nRows = 1;
    RECT rcExplain{0, 0, 0, 0};
    POINT ptExplainText{0, 0};
    COLORREF crExplainBack = RGB(255, 255, 255);
    COLORREF crExplainText = RGB(0, 0, 0);
};

class CAvatarCreateSkin : public CDialogSkin {
public:
    ~CAvatarCreateSkin() override { CAvatarCreateSkin::FreeSkin(); }

    void FreeSkin() override;
    // Nonzero when the common parts and both gender pictures loaded.
    int LoadElements() override;

    CSkinElement m_elNickEdit;
    CSkinElement m_elBtnMan;
    CSkinElement m_elBtnWoman;
    AVATAR_ICON_LIST m_listSelAble;
    AVATAR_ICON_LIST m_listEquipped;
    int m_nTabID = 0;
    RECT m_rcTab{0, 0, 0, 0};
    int m_nTabCount = 0;
    CString m_strTabImage;
    int m_nRenderID = 0;
    RECT m_rcRender{0, 0, 0, 0};

private:
    void ReadIconList(const char* section, AVATAR_ICON_LIST* list);
};
