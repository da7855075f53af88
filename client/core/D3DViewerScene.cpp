// The scene half of the 3D view: which scene each place of the session shows, loading it with
// its fonts and balloon pictures, the camera, and the passes drawn in each frame.
#include "ClientApp.h"
#include "ClientGlobals.h"
#include "ClientSession.h"
#include "D3DViewer.h"
#include "MainFrame.h"

#include <NotifyDlg.h>

#include <cstring>

namespace {

const char* const kLobbyScenes[5] = {"LB_MA.KRS", "LB_GL.KRS", "LB_DP.KRS", "LB_SB.KRS", "box.KRS"};
const char* const kRoomScenes[5] = {"RM_03.KRS", "SP_PLT.KRS", "RM_ILD02.KRS", "RM_02.KRS", "PathF.KRS"};
const char kMapScene[] = "M2.KRS";

// The balloon pictures every scene draws with.
void LoadBalloonTextures(CKRAScene* scene)
{
    char name[32];
    for (int i = 1; i <= 5; ++i) {
        CKRAHandle<tagKRADS> texture;
        std::snprintf(name, sizeof(name), "MyBalloon%d.KRT", i);
        scene->LoadKRTTexture(name, texture);
        std::snprintf(name, sizeof(name), "OtherBalloon%d-1.KRT", i);
        scene->LoadKRTTexture(name, texture);
    }
    CKRAHandle<tagKRADS> subject;
    char board[] = "SubjectQuestion.KRT";
    scene->LoadKRTTexture(board, subject);
}

} // namespace

void CD3DViewer::CreateSceneFonts()
{
    if (!m_pScene) {
        return;
    }
    char own[64] = {};
    if (g_pSession) {
        CopyField(own, g_pSession->m_OwnUser.szNickname, sizeof(g_pSession->m_OwnUser.szNickname));
    }
    char balloon[] = "1.krt";
    char myBalloon[] = "MyBalloon.krt";
    m_pScene->CreateIDFont(&m_logFont, own);
    m_pScene->CreateBalloonFont(&m_logFont, balloon);
    m_pScene->CreateMyBalloonFont(&m_logFont, myBalloon);
}

void CD3DViewer::DestroySceneFonts()
{
    if (m_pScene) {
        m_pScene->DestroyIDFont();
        m_pScene->DestroyBalloonFont();
        m_pScene->DestroyMyBalloonFont();
    }
}

BOOL CD3DViewer::LoadScene(LPCSTR file)
{
    if (!m_pManager) {
        return FALSE;
    }
    if (m_pManager->LoadScene(file, m_hScene) < 0 || m_pManager->KraMan_GetScene(m_hScene, &m_pScene) < 0 ||
        !m_pScene) {
        m_pScene = nullptr;
        return FALSE;
    }
    m_bWorldReady = 1;
    m_bAvatarsShown = m_nState != STATE_MAP;
    if (g_pGuiFont) {
        g_pGuiFont->GetLogFont(&m_logFont);
    }
    CClientApp* app = ClientApp();
    m_logFont.lfCharSet = app && app->m_bKoreanSkin ? 129 : g_bGermanText ? 1 : 128;
    CreateSceneFonts();
    LoadBalloonTextures(m_pScene);
    CKRAManager::m_dwAccentedColor = 0xFF00FF00;
    m_bSceneReady = 1;
    return TRUE;
}

void CD3DViewer::ReleaseScene()
{
    if (m_pManager && m_hScene) {
        m_pManager->UnloadScene(m_hScene);
    }
    m_hScene = 0;
    m_pScene = nullptr;
    m_bWorldReady = 0;
    m_bSceneReady = 0;
}

void CD3DViewer::SetMapCamera()
{
    if (m_pScene) {
        D3DXVECTOR3 eye = m_vEye, at = m_vLookAt, up = m_vUp;
        m_pScene->SetCameraPosition(eye, at, up);
    }
}

void CD3DViewer::InitScene(int state, int type)
{
    BOOL failed = FALSE;
    {
        CGlobalLock lock;
        m_nPlaceType = static_cast<short>(type);
        m_nState = state;
        m_bOwnAvatarPlaced = 0;
        ReleaseScene();
        LPCSTR file = nullptr;
        if (state == STATE_MAP) {
            file = kMapScene;
        } else if (state == STATE_LOBBY && type >= 0 && type < 5) {
            file = kLobbyScenes[type];
        } else if (state == STATE_ROOM && type >= 0 && type < 5) {
            file = kRoomScenes[type];
        }
        if (file) {
            failed = !LoadScene(file);
            if (!failed) {
                m_pManager->SetRenderingOption(KRA_RENDERING_OPTION_MIPMAP, 1);
                if (state == STATE_MAP) {
                    m_pManager->SetRenderingOption(KRA_RENDERING_OPTION_SECOND_TEXTURE, 1);
                    SetMapCamera();
                }
            }
        }
    }
    PlaySceneMusic(state, type);
    // The box waits until the frame may draw again; a world that cannot load ends the program.
    if (failed) {
        ShowNotifyBox(CString("LoadScene"), 0, 13);
        ::PostQuitMessage(0);
    }
}

void CD3DViewer::PlaySceneMusic(int state, int type)
{
    if (!m_pParent) {
        return;
    }
    CBgmPlayer& player = m_pParent->m_bgmPlayer;
    if (state == STATE_MAP) {
        player.PlayTrack(0);
    } else if (state == STATE_LOBBY && type != 4) {
        player.PlayTrack(type == 1 || type == 3 ? 1 : 2);
    } else {
        // The game lobby and the rooms keep the channel quiet.
        player.GetChannel().Stop();
    }
}

void CD3DViewer::OnSceneAction(int code, int param)
{
    switch (code) {
    case CMD_SELECT_LOBBY: m_nState = STATE_LOBBY_CHOSEN; break;
    case CMD_MAP_PATH_A: m_nState = STATE_FLY_IN; break;
    case CMD_MAP_PATH_B: m_nState = STATE_FLY_OUT; break;
    case CMD_ENTER_MINIMAP:
        if (m_nState != STATE_FLY_OUT || !m_pScene) {
            InitScene(STATE_MAP, 0);
        } else {
            m_nState = STATE_MAP;
            PlaySceneMusic(STATE_MAP, 0);
        }
        break;
    case CMD_ENTER_LOBBY:
    case CMD_MOVE_TO_LOBBY:
    case CMD_RETURN_TO_LOBBY: InitScene(STATE_LOBBY, param & 0xFFFF); break;
    case CMD_ENTER_ROOM:
    case CMD_MOVE_TO_ROOM:
    case CMD_MOVE_TO_ROOM_2: InitScene(STATE_ROOM, param & 0xFFFF); break;
    case 114: InitScene(STATE_MAP, 0); break;
    case CMD_QUIT_SCENE: {
        CGlobalLock lock;
        ReleaseScene();
        break;
    }
    default: break;
    }
}

BOOL CD3DViewer::CanRender()
{
    if (m_nState == STATE_LOBBY && m_nPlaceType == 4) {
        return TRUE;
    }
    if (m_nState == STATE_LOBBY || m_nState == STATE_ROOM) {
        return m_bOwnAvatarPlaced != 0;
    }
    return TRUE;
}

void CD3DViewer::RenderPasses()
{
    if (m_bWorldReady) {
        m_pScene->RenderNonAlphaWorld();
        m_pScene->RenderAlphaWorld();
    }
}

// ---- What the session tells the view about the members -------------------------------------

BOOL CD3DViewer::GetInitPosition(float position[3])
{
    position[0] = position[1] = position[2] = 0.0f;
    CGlobalLock lock;
    if (!m_pScene) {
        return FALSE;
    }
    unsigned int count = 0;
    D3DXVECTOR3* points = nullptr;
    if (m_pScene->GetInitPosition(&count, &points) < 0 || count == 0 || !points) {
        return FALSE;
    }
    const D3DXVECTOR3& start = points[static_cast<unsigned>(std::rand()) % count];
    position[0] = start.x;
    position[1] = start.y;
    position[2] = start.z;
    return TRUE;
}

void CD3DViewer::AddUserAvatar(OWN_AVATAR_INFO* record, const float*)
{
    if (record && g_pSession && record->lUser == g_pSession->m_OwnUser.lUser) {
        m_bOwnAvatarPlaced = 1;
    }
}

void CD3DViewer::RemoveUserAvatar(long) {}
void CD3DViewer::ChangeHost(long, long) {}
void CD3DViewer::MoveUserTo(long, float, float) {}
void CD3DViewer::WalkToSeat(long, const float*) {}
void CD3DViewer::StandUpAvatar(long) {}
void CD3DViewer::PlaceUser(long, const float*) {}
void CD3DViewer::SetUserFace(long, char) {}
void CD3DViewer::RenameUser(long, LPCSTR) {}
void CD3DViewer::ChangeUserItem(long, char, char, LPCSTR, LPCSTR, BOOL) {}
void CD3DViewer::SetRoomInfo(LPCSTR, int) {}
void CD3DViewer::SetRoomSubject(LPCSTR) {}
void CD3DViewer::OnGameEvent(int, long, const BYTE*, int) {}
