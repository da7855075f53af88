#include "ToolBarLayout.h"

#include "CommunityShared.h"

const char* const CToolBarLayout::kSections[ELEMENT_COUNT] = {"HelpBtn",
                                                              "MuteBtn",
                                                              "ScreenshotBtn",
                                                              "EmotionBtn",
                                                              "MyAvatarBtn",
                                                              "PositionBackBtn",
                                                              "OpenSShotFolderBtn",
                                                              "ItemShopBtn",
                                                              "MyCurrentZeliTooltip"};

void CToolBarLayout::FreeSkin()
{
    for (CSkinElement& element : m_elements) {
        FreeElementBitmap(&element);
    }
    m_arrLobbyText.RemoveAll();
}

int CToolBarLayout::LoadElements()
{
    const int lobbies = CommunityLobbyCount();
    if (lobbies <= 0) {
        return 0;
    }
    int result = 1;
    for (int i = 0; i < ELEMENT_COUNT; ++i) {
        result &= LoadElement(kSections[i], &m_elements[i]);
    }
    const char* position = "PositionText";
    GetString(position, "Minimap", &m_strMinimap);
    GetString(position, "ChatRoom", &m_strChatRoom);
    GetString(position, "WaitRoom", &m_strWaitRoom);
    GetString(position, "Moving", &m_strMoving);
    m_arrLobbyText.RemoveAll();
    for (int i = 0; i < lobbies; ++i) {
        CString key;
        key.Format("Lobby%d", i);
        CString text;
        GetString(position, key, &text);
        m_arrLobbyText.Add(text);
    }
    GetRect(position, "TextArea", &m_rcTextArea);
    GetRect("USER_POINT_TEXT", "POS", &m_rcPoints);
    const char* shot = "ScreenShotOption";
    GetString(shot, "ScreenShotPath", &m_strShotPath);
    GetString(shot, "FstMsg", &m_strFstMsg);
    GetString(shot, "SecMsg", &m_strSecMsg);
    GetString(shot, "TrdMsg", &m_strTrdMsg);
    GetString(shot, "FailMsg", &m_strFailMsg);
    return result;
}

CString CToolBarLayout::GetLobbyText(int lobby) const
{
    return lobby >= 0 && lobby < m_arrLobbyText.GetSize() ? m_arrLobbyText[lobby] : CString();
}
