// The room half of the 3D view: the room's settings and subject, the subject board's pictures,
// the host, and the party game it hosts in a game room (tiles, the start, the game's traffic).
#include "AvatarScene.h"
#include "ClientGlobals.h"
#include "ClientSession.h"
#include "D3DViewer.h"
#include "MainFrame.h"

#include <NotifyDlg.h>

#include <algorithm>
#include <cstring>

namespace {
constexpr int kGameRoom = 4;
constexpr int kSubjectRoom = 3;
constexpr float kFadeMs = 2000.0f;

void CopyName(char* out, size_t size, LPCSTR name)
{
    std::snprintf(out, size, "%s", name ? name : "");
}
} // namespace

// ---- Room settings, subject and host ------------------------------------------------------

void CD3DViewer::SetRoomInfo(LPCSTR subject, int maxUsers)
{
    CGlobalLock lock;
    m_strBoardText = subject ? subject : "";
    m_byGameLevel = static_cast<BYTE>(maxUsers >= 1 && maxUsers <= CPFGame::kSlots ? maxUsers : 1);
}

void CD3DViewer::SetRoomSubject(LPCSTR subject)
{
    CGlobalLock lock;
    if (g_pSession) {
        g_pSession->m_strRoomTheme = subject ? subject : "";
    }
    m_bSubjectShown = TRUE;
}

void CD3DViewer::ChangeHost(long oldHost, long newHost)
{
    CGlobalLock lock;
    if (!m_pPFGame) {
        return;
    }
    for (int i = 0; i < CPFGame::kSlots; ++i) {
        if (m_slots[i].byInUse && (m_slots[i].nUserKey == oldHost || m_slots[i].nUserKey == newHost)) {
            m_pPFGame->SetHostFlag(i, m_slots[i].nUserKey == newHost);
        }
    }
}

LPCSTR CD3DViewer::GameSceneFile() const
{
    return m_strBoardText == "7" ? "PathF17.KRS" : m_strBoardText == "6" ? "PathF16.KRS" : "PathF.KRS";
}

int CD3DViewer::GameBoardSize() const
{
    return m_strBoardText == "7" ? 7 : m_strBoardText == "6" ? 6 : 5;
}

void CD3DViewer::LoadSubjectBoard()
{
    m_hSubjectBoard = 0;
    m_nSubjectNumber = 0;
    if (!m_pScene || m_nState != STATE_ROOM || m_nPlaceType != kSubjectRoom) {
        return;
    }
    char board[] = "O0000400.KRO";
    D3DXMATRIX place;
    D3DXMatrixTranslation(&place, 0.0f, 40.0f, 0.0f);
    if (m_pScene->LoadObjectFile(board, place, m_hSubjectBoard) < 0) {
        m_hSubjectBoard = 0;
        return;
    }
    m_pScene->HideObjectFile(m_hSubjectBoard);
}

void CD3DViewer::FadeInBackground(int number)
{
    CGlobalLock lock;
    if (!m_pScene || !m_hSubjectBoard) {
        return;
    }
    if (number != m_nSubjectNumber) {
        char name[16];
        std::snprintf(name, sizeof(name), g_bGermanText ? "G%03d.krt" : "%03d.krt", number);
        CKRAHandle<tagKRADS> texture;
        if (m_pScene->LoadKRTTexture(name, texture) < 0) {
            return;
        }
        m_pScene->ChangeTextureForObjectFile(m_hSubjectBoard, texture);
        m_nSubjectNumber = number;
    }
    m_pScene->FadeInObjectFile(m_hSubjectBoard, kFadeMs);
}

void CD3DViewer::FadeOutBackground()
{
    CGlobalLock lock;
    if (m_pScene && m_hSubjectBoard) {
        m_pScene->FadeOutObjectFile(m_hSubjectBoard, kFadeMs);
    }
    m_nSubjectNumber = 0;
}

// ---- The party game's life ----------------------------------------------------------------

void CD3DViewer::CreateGame()
{
    for (GAME_TILES& tiles : m_gameTiles) {
        tiles = GAME_TILES{};
    }
    if (!m_pScene || m_nState != STATE_ROOM || m_nPlaceType != kGameRoom) {
        return;
    }
    m_pPFGame = std::make_unique<CPFGame>(this);
    m_pPFGame->SetupGame(m_byGameLevel, GameBoardSize());
}

std::unique_ptr<CPFGame> CD3DViewer::TakeGame()
{
    CGlobalLock lock;
    for (GAME_TILES& tiles : m_gameTiles) {
        tiles = GAME_TILES{};
    }
    return std::move(m_pPFGame);
}

void CD3DViewer::AnnounceGamePlayer(int index)
{
    if (!m_pPFGame || index < 0 || index >= CPFGame::kSlots || !m_slots[index].byInUse) {
        return;
    }
    const AVATAR_SLOT& slot = m_slots[index];
    const BOOL own = g_pSession && slot.nUserKey == g_pSession->m_OwnUser.lUser;
    const BOOL host = own && g_pSession->GetLocation() == LOC_ROOM_HOST;
    m_pPFGame->SetPlayer(slot.nUserKey, index, slot.szNickname, host);
}

void CD3DViewer::ForgetGamePlayer(int index)
{
    if (m_pPFGame && index >= 0 && index < CPFGame::kSlots) {
        m_pPFGame->RemovePlayer(index);
    }
}

BOOL CD3DViewer::GameAllowsWalk(D3DXVECTOR3* target)
{
    return !m_pPFGame || m_pPFGame->SnapToCell(target);
}

// ---- CPFGameHost ----------------------------------------------------------------------------

void CD3DViewer::ShowTile(int cell, LPCSTR file, const D3DXVECTOR3& position)
{
    CGlobalLock lock;
    if (!m_pScene || cell < 0 || cell >= CPFGame::kCells || !file) {
        return;
    }
    GAME_TILES& tiles = m_gameTiles[cell];
    _KRA_HANDLE& handle = tiles.loaded[file];
    if (!handle) {
        char name[32];
        CopyName(name, sizeof(name), file);
        D3DXMATRIX place;
        D3DXMatrixTranslation(&place, position.x, position.y, position.z);
        if (m_pScene->LoadObjectFile(name, place, handle) < 0) {
            handle = 0;
            return;
        }
    } else {
        m_pScene->ShowObjectFile(handle);
    }
    if (tiles.hShown && tiles.hShown != handle) {
        m_pScene->HideObjectFile(tiles.hShown);
    }
    tiles.hShown = handle;
}

void CD3DViewer::PlaceAvatarAtStart()
{
    CGlobalLock lock;
    const int size = GameBoardSize();
    const float start = size == 7 ? -90.0f : size == 6 ? -75.0f : -60.0f;
    AVATAR_SLOT& own = m_slots[0];
    if (m_pScene && own.byInUse && g_pAvatarScene) {
        m_pScene->StopAvatar(own.hAvatar);
        // Facing (0, 0, 1), into the board.
        D3DXMATRIX turn, move, place;
        D3DXMatrixRotationY(&turn, D3DX_PI);
        D3DXMatrixTranslation(&move, start, 0.0f, start);
        D3DXMatrixMultiply(&place, &turn, &move);
        m_pScene->SetAvatarMatrix(own.hAvatar, place);
        const int idle = g_pAvatarScene->m_nIdleMotion[own.nGender];
        m_pScene->SetMotion(own.hAvatar, idle, idle);
        m_pScene->StartMotion(own.hAvatar);
        own.byPose = AVATAR_SLOT::POSE_IDLE;
        own.byStopped = 1;
    }
    // The next click walks again, even to the cell walked to last.
    m_vLastTarget = D3DXVECTOR3(start, -1000.0f, start);
    const long user = g_pSession ? g_pSession->m_OwnUser.lUser : 0;
    PostGameRequest(REQ_JUMP_TO_LANDING, 0, static_cast<LPARAM>(user), nullptr, 0);
}

void CD3DViewer::PostGameRequest(int code, int param, LPARAM value, const BYTE* data, int size)
{
    if (!m_pParent || !::IsWindow(m_pParent->GetSafeHwnd())) {
        return;
    }
    const WPARAM wParam = (static_cast<WPARAM>(param & 0xFFFF) << 16) | static_cast<WPARAM>(code);
    if (!data) {
        m_pParent->PostMessage(UM_SESSION_REQUEST, wParam, value);
        return;
    }
    // A copy the frame frees: the game's own board changes with the next game.
    auto* copy = new BYTE[static_cast<size_t>(size)];
    std::memcpy(copy, data, static_cast<size_t>(size));
    if (!m_pParent->PostMessage(UM_SESSION_REQUEST, wParam, reinterpret_cast<LPARAM>(copy))) {
        delete[] copy;
    }
}

void CD3DViewer::PlayGameSound(LPCSTR file)
{
    if (m_pParent) {
        m_pParent->m_bgmPlayer.PlayFile(file, FALSE);
    }
}

void CD3DViewer::PostButtonUpdate(int type)
{
    if (m_pParent && ::IsWindow(m_pParent->GetSafeHwnd())) {
        m_pParent->PostMessage(UM_PFGAME_BUTTONS, static_cast<WPARAM>(type), 0);
    }
}

void CD3DViewer::ShowGameMessage(const CString& text)
{
    if (!m_pParent || !::IsWindow(m_pParent->GetSafeHwnd())) {
        return;
    }
    auto* copy = new CString(text);
    if (!m_pParent->PostMessage(UM_PFGAME_MESSAGE, 0, reinterpret_cast<LPARAM>(copy))) {
        delete copy;
    }
}

BOOL CD3DViewer::AskGameQuestion(const CString& key)
{
    const CString text = g_pSession ? g_pSession->GetTableString(key) : key;
    return ShowNotifyBox(text, kNotifyYesNo, 13) == IDOK;
}

// ---- Game traffic on the GUI thread -------------------------------------------------------

void CD3DViewer::OnGameEvent(int subCode, long user, const BYTE* data, int size)
{
    // The session calls with the lock held: the game's answers (a stop, a box) wait for the
    // GUI thread's next turn.
    if (!m_pPFGame || !m_pParent || !::IsWindow(m_pParent->GetSafeHwnd())) {
        return;
    }
    auto* event = new PFGAME_EVENT;
    event->nSubCode = subCode;
    event->lUser = user;
    event->nSize = data ? std::clamp(size, 0, static_cast<int>(sizeof(event->data))) : 0;
    if (event->nSize > 0) {
        std::memcpy(event->data, data, static_cast<size_t>(event->nSize));
    }
    if (!m_pParent->PostMessage(UM_PFGAME_EVENT, 0, reinterpret_cast<LPARAM>(event))) {
        delete event;
    }
}

void CD3DViewer::HandleGameEvent(const PFGAME_EVENT& event)
{
    CPFGame* game = m_pPFGame.get();
    if (!game) {
        return;
    }
    switch (event.nSubCode) {
    case 18: game->OnReady(event.lUser); break;
    case 19: game->OnBoard(event.lUser, event.data, event.nSize); break;
    case 20: {
        CString name;
        if (g_pSession && event.lUser != g_pSession->m_OwnUser.lUser) {
            CGlobalLock lock;
            name = g_pSession->FindUserName(event.lUser);
            if (name.IsEmpty()) {
                name = " ";
            }
        }
        game->ShowFinishMessage(name, event.data, event.nSize);
        break;
    }
    case 21: game->OnRetire(event.lUser); break;
    default: break; // 22: another member went back to its start; its next walk shows it
    }
}

void CD3DViewer::OnGameAction(int action)
{
    CPFGame* game = m_pPFGame.get();
    if (!game) {
        return;
    }
    switch (action) {
    case 0: game->Start(); break;
    case 1: game->Hint(); break;
    case 2: game->Retire(); break;
    case 3: game->Ready(); break;
    default: break;
    }
}

LRESULT CD3DViewer::OnGameMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL act)
{
    switch (message) {
    case UM_PFGAME_EVENT: {
        std::unique_ptr<PFGAME_EVENT> event(reinterpret_cast<PFGAME_EVENT*>(lParam));
        if (event && act) {
            HandleGameEvent(*event);
        }
        return 0;
    }
    case UM_PFGAME_MOVED: {
        std::unique_ptr<float[]> position(reinterpret_cast<float*>(lParam));
        if (position && m_pPFGame && act) {
            m_pPFGame->OnAvatarMoved(D3DXVECTOR3(position[0], position[1], position[2]));
        }
        return 0;
    }
    case UM_PFGAME_MESSAGE: {
        std::unique_ptr<CString> text(reinterpret_cast<CString*>(lParam));
        if (text && act) {
            ShowNotifyBox(*text, 0, 13);
        }
        return 0;
    }
    case UM_PFGAME_BUTTONS: {
        if (!m_pPFGame || !m_pParent || !act) {
            return 0;
        }
        short states[CPFGame::BUTTON_COUNT];
        for (int i = 0; i < CPFGame::BUTTON_COUNT; ++i) {
            states[i] = m_pParent->m_lobbyBars.GameButton(i).GetState();
        }
        short changed[CPFGame::BUTTON_COUNT];
        std::copy(std::begin(states), std::end(states), std::begin(changed));
        m_pPFGame->ApplyButtonUpdate(static_cast<int>(wParam), changed);
        for (int i = 0; i < CPFGame::BUTTON_COUNT; ++i) {
            if (changed[i] != states[i]) {
                m_pParent->m_lobbyBars.GameButton(i).SetState(changed[i]);
            }
        }
        return 0;
    }
    default: return 0;
    }
}

// ---- Drawing --------------------------------------------------------------------------------

CString CD3DViewer::GameClockText(DWORD milliseconds)
{
    CString text;
    text.Format("%d:%02d:%d", static_cast<int>(milliseconds / 60000), static_cast<int>(milliseconds / 1000 % 60),
                static_cast<int>(milliseconds / 100 % 10));
    return text;
}

void CD3DViewer::RenderRoomOverlays()
{
    if (!m_pScene || m_nState != STATE_ROOM) {
        return;
    }
    CRect client;
    GetClientRect(&client);
    if (m_nPlaceType == kGameRoom && m_pPFGame) {
        char clock[32];
        CopyName(clock, sizeof(clock), GameClockText(m_pPFGame->GetElapsed()));
        // The clock sits in the view's top right corner, whatever the view's width.
        RECT box{client.right - 130, 0, client.right, 50};
        m_pScene->DrawBalloon(clock, &box, 0x111, 0xFF00FF7F, false);
    }
    if (m_nPlaceType == kSubjectRoom && m_bSubjectShown && g_pSession && !g_pSession->m_strRoomTheme.IsEmpty()) {
        char subject[260];
        CopyName(subject, sizeof(subject), g_pSession->m_strRoomTheme);
        // Above the board: its pivot as the camera sees it, else the view's top middle.
        int x = client.Width() / 2, y = client.Height() / 3;
        D3DXMATRIX pivot, view, projection, identity;
        if (m_hSubjectBoard && m_pDevice && m_pScene->GetObjectPivotMatrix(m_hSubjectBoard, pivot) >= 0 &&
            SUCCEEDED(m_pDevice->GetTransform(D3DTS_VIEW, &view)) &&
            SUCCEEDED(m_pDevice->GetTransform(D3DTS_PROJECTION, &projection))) {
            D3DVIEWPORT8 viewport{0,    0,   static_cast<DWORD>(client.Width()), static_cast<DWORD>(client.Height()),
                                  0.0f, 1.0f};
            D3DXMatrixIdentity(&identity);
            D3DXVECTOR3 at(pivot._41, pivot._42, pivot._43), screen;
            D3DXVec3Project(&screen, &at, &viewport, &projection, &view, &identity);
            x = static_cast<int>(screen.x);
            y = static_cast<int>(screen.y);
        }
        RECT box{x - 300, y - 100, x + 300, y};
        // The balloon picture of the ID font frames the text (the scene loaded "SubjectQuestion.KRT").
        m_pScene->DrawID(subject, &box, 0x1A111, 0xFF000000, true, nullptr, 0);
    }
}
