#include "AvatarCreateSkin.h"

void CAvatarCreateSkin::FreeSkin()
{
    CDialogSkin::FreeSkin();
    FreeElementBitmap(&m_elNickEdit);
    FreeElementBitmap(&m_elBtnMan);
    FreeElementBitmap(&m_elBtnWoman);
}

void CAvatarCreateSkin::ReadIconList(const char* section, AVATAR_ICON_LIST* list)
{
    GetInt(section, "ID", &list->nID);
    GetRect(section, "Rect", &list->rcRect);
    GetInt(section, "NumItemViewHor", &list->nColumns);
    GetInt(section, "NumItemViewVer", &list->nRows);
    GetRect(section, "ExpRect", &list->rcExplain);
    GetPoint(section, "ExpTextPutPoint", &list->ptExplainText);
    int colour[6] = {255, 255, 255, 0, 0, 0};
    const char* const keys[6] = {"ExpBkColorR",   "ExpBkColorG",   "ExpBkColorB",
                                 "ExpTextColorR", "ExpTextColorG", "ExpTextColorB"};
    for (int i = 0; i < 6; ++i) {
        GetInt(section, keys[i], &colour[i]);
    }
    list->crExplainBack = RGB(colour[0], colour[1], colour[2]);
    list->crExplainText = RGB(colour[3], colour[4], colour[5]);
    // A layout of no cells cannot show an item.
    list->nColumns = list->nColumns < 1 ? 1 : list->nColumns;
    list->nRows = list->nRows < 1 ? 1 : list->nRows;
}

int CAvatarCreateSkin::LoadElements()
{
    int result = CDialogSkin::LoadElements();
    LoadElement("NickEdit", &m_elNickEdit);
    result = LoadElement("BtnMan", &m_elBtnMan) && result;
    result = LoadElement("BtnWoman", &m_elBtnWoman) && result;
    ReadIconList("ListIconItemSelAble", &m_listSelAble);
    ReadIconList("ListIconItemEqd", &m_listEquipped);
    GetInt("TabBtnAvatarPart", "ID", &m_nTabID);
    GetRect("TabBtnAvatarPart", "Rect", &m_rcTab);
    GetInt("TabBtnAvatarPart", "TabCount", &m_nTabCount);
    m_strTabImage = GetFilePath("TabBtnAvatarPart", "Image");
    GetRect("RanderAvatarWindow", "Rect", &m_rcRender);
    GetInt("RanderAvatarWindow", "ID", &m_nRenderID);
    return result;
}
