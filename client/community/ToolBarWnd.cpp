#include "ToolBarWnd.h"

#include "CommunityShared.h"

#include <AvatarScene.h>
#include <ClientApp.h>
#include <ClientGlobals.h>
#include <ClientSession.h>
#include <MainFrame.h>
#include <MainSkin.h>
#include <NotifyDlg.h>
#include <Screenshot.h>
#include <ToolkitShared.h>

#include <shellapi.h>

namespace {

// The emotion each item of the emotion menu plays (the motion lists of the two kinds differ):
// none, laughing, sad, angry, surprised, shy, winking, sleepy.
constexpr int kMaleEmotions[] = {0, 11, 18, 15, 21, 10, 7, 24};
constexpr int kFemaleEmotions[] = {0, 8, 18, 10, 15, 7, 5, 19};
constexpr int kEmotionItems = sizeof(kMaleEmotions) / sizeof(kMaleEmotions[0]);

} // namespace

int ToolBarEmotionOf(int item, BOOL female)
{
    if (item < 0 || item >= kEmotionItems) {
        return -1;
    }
    return female ? kFemaleEmotions[item] : kMaleEmotions[item];
}

CString ScreenshotFileName(const SYSTEMTIME& time, LPCSTR ext)
{
    CString name;
    name.Format("%d%02d%02d%02d%02d%02d%s", time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond,
                ext ? ext : "");
    return name;
}

CToolBarWnd::CToolBarWnd() : CSkinWnd(new CToolBarLayout) {}

BOOL CToolBarWnd::CreateBar(CMainFrame* frame, CSkinElement* element)
{
    m_pFrame = frame;
    if (!element || !CreateChild(frame, element, 0)) {
        return FALSE;
    }
    ShowWindow(SW_SHOWNA);
    return TRUE;
}

int CToolBarWnd::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinWnd::OnCreate(cs) == -1) {
        return -1;
    }
    CToolBarLayout* layout = GetLayout();
    m_rcText = layout->m_rcTextArea;
    m_rcPoints = layout->m_rcPoints;
    for (int i = 0; i < CToolBarLayout::kButtonCount; ++i) {
        CreateElementButton(&m_btnButtons[i], &layout->m_elements[i], this);
    }
    const CSkinElement& tip = layout->m_elements[CToolBarLayout::POINTS_TOOLTIP];
    if (m_tip.Create(this)) {
        m_tip.AddTool(this, tip.strTitle, &tip.rcRect, static_cast<UINT_PTR>(tip.nID));
        m_tip.UpdateTipText(tip.strTitle, this, static_cast<UINT_PTR>(tip.nID));
        m_tip.Activate(TRUE);
        EnableToolTips(TRUE);
    }
    m_btnButtons[CToolBarLayout::ITEM_SHOP_BTN].EnableWindow(FALSE);
    m_btnButtons[CToolBarLayout::MUTE_BTN].SetState(g_bSoundOff ? 1 : 0);
    return 0;
}

BOOL CToolBarWnd::PreTranslateMessage(MSG* msg)
{
    if (m_tip.GetSafeHwnd()) {
        m_tip.RelayEvent(msg);
    }
    return CSkinWnd::PreTranslateMessage(msg);
}

void CToolBarWnd::SetText(LPCSTR text)
{
    m_strText = text ? text : "";
    if (GetSafeHwnd()) {
        InvalidateRect(&m_rcText, FALSE);
    }
}

void CToolBarWnd::RefreshPoints()
{
    if (GetSafeHwnd()) {
        InvalidateRect(&m_rcPoints, FALSE);
    }
}

void CToolBarWnd::EnableButtons(int location)
{
    if (!GetSafeHwnd()) {
        return;
    }
    auto enable = [this](int element, BOOL on) {
        if (m_btnButtons[element].GetSafeHwnd()) {
            m_btnButtons[element].EnableWindow(on);
        }
    };
    const BOOL placed = location >= LOC_LOBBY;
    const CClientSession* session = m_pFrame ? m_pFrame->m_pSession : nullptr;
    enable(CToolBarLayout::ITEM_SHOP_BTN, placed && session && session->m_nCurrentLobby == 1);
    enable(CToolBarLayout::EMOTION_BTN, placed);
    enable(CToolBarLayout::SCREENSHOT_BTN, placed);
    enable(CToolBarLayout::MY_AVATAR_BTN, placed || location == LOC_MINIMAP);
    Invalidate(FALSE);
}

CString CToolBarWnd::GetScreenshotFolder() const
{
    return GetLayout()->m_strShotPath;
}

CString CToolBarWnd::GetScreenshotPath() const
{
    return g_strInstallPath + "\\" + GetLayout()->m_strShotPath;
}

CString CToolBarWnd::GetPositionText() const
{
    const CToolBarLayout* layout = GetLayout();
    const CClientSession* session = m_pFrame ? m_pFrame->m_pSession : nullptr;
    if (!session) {
        return CString();
    }
    // A lobby the layout has no word for reads as no lobby: the map, or the room alone.
    const CString current = layout->GetLobbyText(session->m_nCurrentLobby);
    switch (session->GetLocation()) {
    case LOC_MINIMAP:
    case LOC_LOBBY_SELECTED: return layout->m_strMinimap;
    case LOC_NONE: return layout->m_strMoving;
    case LOC_LOBBY: {
        if (!current.IsEmpty()) {
            return current + "> " + layout->m_strWaitRoom;
        }
        const CString chosen = layout->GetLobbyText(session->m_nChosenLobby);
        return chosen.IsEmpty() ? layout->m_strMinimap : chosen + "> " + layout->m_strWaitRoom;
    }
    case LOC_ROOM_HOST:
    case LOC_ROOM: return (current.IsEmpty() ? CString() : current + "> ") + layout->m_strChatRoom + " - " + m_strText;
    default: return CString();
    }
}

CString CToolBarWnd::GetPointsText() const
{
    const CClientSession* session = m_pFrame ? m_pFrame->m_pSession : nullptr;
    return session ? FormatNumber(static_cast<int>(session->m_lPoints)) : CString();
}

BOOL CToolBarWnd::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CToolBarWnd::OnPaint()
{
    CPaintDC dc(this);
    DrawBackground(&dc, &m_bmpBack, 3);
    DrawTexts(&dc);
}

void CToolBarWnd::DrawTexts(CDC* dc)
{
    CFont* font = CFont::FromHandle(ToolkitGuiFont());
    CFont* oldFont = font ? dc->SelectObject(font) : nullptr;
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    RECT text = m_rcText;
    dc->DrawText(GetPositionText(), &text, DT_SINGLELINE);
    RECT points = m_rcPoints;
    dc->DrawText(GetPointsText(), &points, DT_SINGLELINE | DT_RIGHT | DT_VCENTER);
    dc->SetBkMode(oldMode);
    if (oldFont) {
        dc->SelectObject(oldFont);
    }
}

BOOL CToolBarWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case ID_MY_AVATAR:
        if (m_pFrame) {
            m_pFrame->ShowAvatarInfoWnd(-1);
        }
        return TRUE;
    case ID_EMOTION: OpenEmotionMenu(); return TRUE;
    case ID_SCREENSHOT: TakeScreenshot(); return TRUE;
    case ID_MUTE: ToggleMute(); return TRUE;
    case ID_HELP:
        if (m_pFrame) {
            m_pFrame->OpenHelp();
        }
        return TRUE;
    case ID_POSITION_BACK:
        if (m_pFrame) {
            m_pFrame->ExitToLocation();
        }
        return TRUE;
    case ID_ITEM_SHOP:
        if (m_pFrame) {
            m_pFrame->PostMessage(kOpenTradeItem, 0, 0);
        }
        return TRUE;
    case ID_OPEN_SHOT_FOLDER: OpenScreenshotFolder(); return TRUE;
    default: return CSkinWnd::OnCommand(wParam, lParam);
    }
}

LRESULT CToolBarWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_POPUP_PICK) {
        OnEmotionPicked(wParam);
        return 0;
    }
    // Readers of the window's text get where the bar says the member is.
    if (LRESULT answer = 0; (message == WM_GETTEXT || message == WM_GETTEXTLENGTH) &&
                            ToolkitAnswerTextQuery(GetPositionText(), message, wParam, lParam, &answer)) {
        return answer;
    }
    return CSkinWnd::WindowProc(message, wParam, lParam);
}

void CToolBarWnd::OpenEmotionMenu()
{
    // One menu at a time: a second click while it is open does nothing.
    if (m_menuEmotion.GetSafeHwnd() || !g_pMainSkin) {
        return;
    }
    CSoundButton& button = m_btnButtons[CToolBarLayout::EMOTION_BTN];
    RECT at;
    button.GetWindowRect(&at);
    ::OffsetRect(&at, kEmotionMenuOffset.x, kEmotionMenuOffset.y);
    if (m_menuEmotion.Create(at, this, "EmotionMenu", TRUE)) {
        m_menuEmotion.TrackPopup(g_pMainSkin->m_strSkinFolder, g_pMainSkin->m_strPopupMenuIni);
    }
}

void CToolBarWnd::OnEmotionPicked(WPARAM pick)
{
    // The face is the item alone: the menu's id in the high word is no face, and a byte-sized
    // face taken from the whole value would never match the one the member wears.
    if (!m_pFrame) {
        return;
    }
    PlayOwnEmotion(LOWORD(pick));
    m_pFrame->PostMessage(UM_SESSION_REQUEST, MAKEWPARAM(REQ_FACE_SET, LOWORD(pick)), 0);
}

void CToolBarWnd::PlayOwnEmotion(int item)
{
    const CClientSession* session = m_pFrame->m_pSession;
    if (!session || !g_pAvatarScene) {
        return;
    }
    CGlobalLock lock;
    AVATAR_SLOT slot;
    if (m_pFrame->m_wndView.GetAvatarSlot(session->m_OwnUser.lUser, &slot) >= kAvatarSlotCount) {
        return;
    }
    // A member walking or seated goes on doing so.
    if (slot.byPose == AVATAR_SLOT::POSE_WALKING || slot.byPose == AVATAR_SLOT::POSE_SEATED) {
        return;
    }
    const int emotion = ToolBarEmotionOf(item, slot.nGender != 0);
    if (emotion >= 0) {
        _KRA_HANDLE avatar = slot.hAvatar;
        g_pAvatarScene->PlayEmotion(&avatar, slot.nGender ? 'F' : 'M', emotion);
    }
}

BOOL CToolBarWnd::SaveViewPicture(CString* notice, CString* jpegPath)
{
    const CToolBarLayout* layout = GetLayout();
    CString jpeg;
    HRESULT saved = E_FAIL;
    {
        CGlobalLock lock;
        SYSTEMTIME now{};
        ::GetLocalTime(&now);
        const CString folder = GetScreenshotPath();
        if (!FileExists(folder)) {
            ::CreateDirectoryA(folder, nullptr);
        }
        const CString bmp = folder + "\\" + ScreenshotFileName(now, ".bmp");
        jpeg = ScreenshotFileName(now, ".jpg");
        if (m_pFrame && m_pFrame->m_wndView.GetSafeHwnd()) {
            saved = SaveScreenshot(m_pFrame->m_wndView.m_pDevice, m_pFrame->m_wndView.GetSafeHwnd(), bmp,
                                   folder + "\\" + jpeg, nullptr, 0, 0, nullptr, FALSE);
        }
        if (jpegPath) {
            *jpegPath = folder + "\\" + jpeg;
        }
    }
    // A picture that was not written is not announced as saved.
    if (FAILED(saved)) {
        if (notice) {
            *notice = layout->m_strFailMsg;
        }
        return FALSE;
    }
    if (notice) {
        *notice = ToolkitFormatText(layout->m_strFstMsg, layout->m_strShotPath) + ";" +
                  ToolkitFormatText(layout->m_strSecMsg, jpeg) + ";" + layout->m_strTrdMsg;
    }
    return TRUE;
}

void CToolBarWnd::TakeScreenshot()
{
    CString notice;
    SaveViewPicture(&notice);
    if (!notice.IsEmpty()) {
        ShowNotifyBox(notice, 0, 13);
    }
}

void CToolBarWnd::ToggleMute()
{
    // The option is set before the player is told: muting then starts nothing, and unmuting
    // brings back the music of the place even when it had been refused while sound was off.
    const BOOL off = g_bSoundOff ? FALSE : TRUE;
    g_bSoundOff = off;
    ToolkitSetSoundOff(off);
    if (m_pFrame) {
        m_pFrame->m_bgmPlayer.SetMute(off);
    }
    m_btnButtons[CToolBarLayout::MUTE_BTN].SetState(off ? 1 : 0);
}

void CToolBarWnd::OpenScreenshotFolder()
{
    // The folder itself is what is opened (made first, so there is something to show).
    const CString folder = GetScreenshotPath();
    if (!FileExists(folder)) {
        ::CreateDirectoryA(folder, nullptr);
    }
    ::ShellExecuteA(GetSafeHwnd(), "open", folder, nullptr, nullptr, SW_SHOWDEFAULT);
}
