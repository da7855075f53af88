#include "UserInfoLayout.h"

const char* const CUserInfoLayout::kButtonSections[BUTTON_COUNT] = {"OKBtn", "CancelBtn", "AddFriendBtn",
                                                                    "SendMessageBtn", "AvatarScreenShotBtn"};
const char* const CUserInfoLayout::kControlSections[CONTROL_COUNT] = {"ItemListWnd", "HairListWnd", "EditNick",
                                                                      "EditIntro"};
const char* const CUserInfoLayout::kTextKeys[UI_TEXT_COUNT] = {"Head", "ID",    "NickName", "Gender", "Age",  "City",
                                                               "Job",  "Hobby", "Club",     "Tel",    "Email"};

namespace {

COLORREF ReadColour(const CSkinBase& skin, const char* section, const char* stem, COLORREF fallback)
{
    int r = GetRValue(fallback);
    int g = GetGValue(fallback);
    int b = GetBValue(fallback);
    skin.GetInt(section, (CString(stem) + "R").GetString(), &r);
    skin.GetInt(section, (CString(stem) + "G").GetString(), &g);
    skin.GetInt(section, (CString(stem) + "B").GetString(), &b);
    auto clamp = [](int v) { return static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v); };
    return RGB(clamp(r), clamp(g), clamp(b));
}

} // namespace

void CUserInfoLayout::LoadList(const CSkinBase& skin, const char* section, USER_INFO_LIST* list)
{
    skin.GetInt(section, "ID", &list->nID);
    skin.GetRect(section, "Rect", &list->rcRect);
    skin.GetInt(section, "NumItemViewHor", &list->nViewHor);
    skin.GetInt(section, "NumItemViewVer", &list->nViewVer);
    skin.GetRect(section, "ExpRect", &list->rcExp);
    skin.GetPoint(section, "ExpTextPutPoint", &list->ptExpText);
    list->crExpBack = ReadColour(skin, section, "ExpBkColor", list->crExpBack);
    list->crExpText = ReadColour(skin, section, "ExpTextColor", list->crExpText);
}

void CUserInfoLayout::LoadTabs(const CSkinBase& skin, const char* section, USER_INFO_TABS* tabs)
{
    skin.GetInt(section, "ID", &tabs->nID);
    skin.GetRect(section, "Rect", &tabs->rcRect);
    skin.GetInt(section, "TabCount", &tabs->nTabCount);
    tabs->strImage = skin.GetFilePath(section, "Image");
}

int CUserInfoLayout::Load(CSkinBase& skin)
{
    int result = 1;
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        result &= skin.LoadElement(kButtonSections[i], &m_elButtons[i]);
    }
    for (int i = 0; i < CONTROL_COUNT; ++i) {
        skin.LoadElement(kControlSections[i], &m_elControls[i]);
    }
    skin.GetRect("UI", "UserIDRect", &m_rcUserID);
    skin.GetRect("UI", "FirstItemRect", &m_rcFirstItem);
    skin.GetInt("UI", "ItemHeight", &m_nItemHeight);
    LoadList(skin, "ListIconItemSelAble", &m_listSelAble);
    LoadList(skin, "ListIconItemEqd", &m_listEqd);
    LoadTabs(skin, "TabBtnAvatarInfo", &m_tabInfo);
    LoadTabs(skin, "TabBtnAvatarPart", &m_tabPart);
    skin.GetPoint("SubBgImages", "DrawPt", &m_ptSubBg);
    skin.GetString("SubBgImages", "ImageMyItem", &m_strImageMyItem);
    skin.GetString("SubBgImages", "ImageMyInfo", &m_strImageMyInfo);
    skin.GetString("SubBgImages", "ImageUserInfo", &m_strImageUserInfo);
    skin.GetString("BgImage", "BgMyInfo", &m_strBgMyInfo);
    skin.GetString("BgImage", "BgUserInfo", &m_strBgUserInfo);
    for (int i = 0; i < UI_TEXT_COUNT; ++i) {
        // A point the layout leaves out is not drawn.
        m_ptMyInfo[i] = m_ptUserInfo[i] = POINT{-1, -1};
        skin.GetPoint("TextPointMyInfo", kTextKeys[i], &m_ptMyInfo[i]);
        skin.GetPoint("TextPointUserInfo", kTextKeys[i], &m_ptUserInfo[i]);
    }
    skin.GetRect("RanderAvatarWindow", "Rect", &m_rcAvatarWindow);
    skin.GetInt("RanderAvatarWindow", "ID", &m_nAvatarWindowId);
    skin.GetRect("AvatarPicture", "Rect", &m_rcPicture);
    skin.GetString("TextData", "GenderBoy", &m_strGenderBoy);
    skin.GetString("TextData", "GenderGirl", &m_strGenderGirl);
    skin.GetString("TextData", "OtherAvatarHead", &m_strOtherAvatarHead);
    skin.GetRect("DataRect", "Rect", &m_rcData);
    skin.GetInt("CAPTURE_BITMAP", "SIZE_X", &m_nCaptureWidth);
    skin.GetInt("CAPTURE_BITMAP", "SIZE_Y", &m_nCaptureHeight);
    return result;
}

void CUserInfoLayout::Free(CSkinBase& skin)
{
    for (CSkinElement& element : m_elButtons) {
        skin.FreeElementBitmap(&element);
    }
    for (CSkinElement& element : m_elControls) {
        skin.FreeElementBitmap(&element);
    }
}
