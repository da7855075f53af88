// The scene half of the 3D view: which scene each place of the session shows, loading it with
// its fonts and balloon pictures, the camera, and the passes drawn in each frame.
#include "AvatarScene.h"
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

// The balloon pictures every scene draws with; the view keeps the fifth of each kind.
void LoadBalloonTextures(CKRAScene* scene, CKRAHandle<tagKRADS>* own, CKRAHandle<tagKRADS>* other)
{
    char name[32];
    for (int i = 1; i <= 5; ++i) {
        CKRAHandle<tagKRADS> texture;
        std::snprintf(name, sizeof(name), "MyBalloon%d.KRT", i);
        scene->LoadKRTTexture(name, i == 5 ? *own : texture);
        std::snprintf(name, sizeof(name), "OtherBalloon%d-1.KRT", i);
        scene->LoadKRTTexture(name, i == 5 ? *other : texture);
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
    if (m_nState == STATE_MAP) {
        ReadFlyOverPaths();
    }
    if (g_pGuiFont) {
        g_pGuiFont->GetLogFont(&m_logFont);
    }
    CClientApp* app = ClientApp();
    m_logFont.lfCharSet = app && app->m_bKoreanSkin ? 129 : g_bGermanText ? 1 : 128;
    CreateSceneFonts();
    LoadBalloonTextures(m_pScene, &m_hOwnBalloon, &m_hOtherBalloon);
    CKRAManager::m_dwAccentedColor = 0xFF00FF00;
    if (g_pAvatarScene) {
        g_pAvatarScene->SetScene(m_pScene);
    }
    m_bSceneReady = 1;
    return TRUE;
}

void CD3DViewer::ReadFlyOverPaths()
{
    m_paths.clear();
    m_fFlyPosition = 0.0f;
    int count = 0;
    if (!m_pScene || m_pScene->GetPathNum(count) < 0) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        unsigned int points = 0;
        D3DXVECTOR3* data = nullptr;
        // Each path point carries four control points.
        if (m_pScene->GetPathInfo(i, points, &data) >= 0 && data && points > 0) {
            m_paths.emplace_back(data, static_cast<size_t>(points) * 4);
        } else {
            m_paths.emplace_back();
        }
    }
}

void CD3DViewer::FlyStep()
{
    const bool in = m_nState == STATE_FLY_IN;
    const int lobby = m_lobbyView.nCurrentLobby;
    int command = 0;
    {
        CGlobalLock lock;
        const bool known = lobby >= 0 && static_cast<size_t>(lobby) < m_paths.size() && !m_paths[lobby].Empty();
        // A lobby without its path lands at once.
        m_fFlyPosition = known ? m_fFlyPosition + (in ? 10.0f : -10.0f) : (in ? 1000.0f : -1.0f);
        if (m_fFlyPosition > 990.0f) {
            m_fFlyPosition = 990.0f;
            command = CMD_SELECT_LOBBY;
        } else if (m_fFlyPosition < 0.0f) {
            m_fFlyPosition = 0.0f;
            command = CMD_ENTER_MINIMAP;
        }
        if (known && m_pScene) {
            D3DXVECTOR3 eye = m_paths[lobby].At(m_fFlyPosition * 0.001);
            D3DXVECTOR3 ahead = m_paths[lobby].At((m_fFlyPosition + 10.0f) * 0.001);
            D3DXVECTOR3 direction = ahead - eye;
            if (D3DXVec3Length(&direction) > 1e-4f) {
                D3DXVec3Normalize(&direction, &direction);
                D3DXVECTOR3 at = eye + direction * 5.0f;
                D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
                m_pScene->SetCameraPosition(eye, at, up);
            }
        }
    }
    // The session takes over at the end of the flight, once.
    if (command && !m_bFlightEnded.exchange(1) && m_pParent) {
        m_pParent->PostMessage(UM_SESSION_COMMAND, (static_cast<WPARAM>(lobby) << 16) | static_cast<WPARAM>(command),
                               0);
    }
}

void CD3DViewer::ReleaseScene()
{
    if (g_pAvatarScene && g_pAvatarScene->GetScene() == m_pScene) {
        g_pAvatarScene->SetScene(nullptr);
    }
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
    // The old room's game stops once the lock is left (its thread never waits on the lock).
    std::unique_ptr<CPFGame> oldGame = TakeGame();
    {
        CGlobalLock lock;
        m_nPlaceType = static_cast<short>(type);
        m_nState = state;
        RemoveAllAvatars();
        ReleaseScene();
        if (g_pSession) {
            g_pSession->m_strRoomTheme.Empty();
        }
        m_bSubjectShown = FALSE;
        LPCSTR file = nullptr;
        if (state == STATE_MAP) {
            file = kMapScene;
        } else if (state == STATE_LOBBY && type >= 0 && type < 5) {
            file = kLobbyScenes[type];
        } else if (state == STATE_ROOM && type >= 0 && type < 5) {
            file = type == 4 ? GameSceneFile() : kRoomScenes[type];
        }
        if (file) {
            failed = !LoadScene(file);
            if (!failed) {
                m_pManager->SetRenderingOption(KRA_RENDERING_OPTION_MIPMAP, 1);
                if (state == STATE_MAP) {
                    m_pManager->SetRenderingOption(KRA_RENDERING_OPTION_SECOND_TEXTURE, 1);
                    SetMapCamera();
                }
                LoadSubjectBoard();
                CreateGame();
            }
        }
    }
    oldGame.reset();
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
    case CMD_MAP_PATH_A:
        m_bFlightEnded = 0;
        m_nState = STATE_FLY_IN;
        break;
    case CMD_MAP_PATH_B:
        m_bFlightEnded = 0;
        m_nState = STATE_FLY_OUT;
        break;
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
        std::unique_ptr<CPFGame> game = TakeGame();
        CGlobalLock lock;
        RemoveAllAvatars();
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
    if (m_nState == STATE_FLY_IN || m_nState == STATE_FLY_OUT) {
        FlyStep();
    }
    return TRUE;
}

void CD3DViewer::RenderPasses()
{
    const bool avatars = m_bAvatarsShown && !(m_nState == STATE_LOBBY && m_nPlaceType == 4);
    if (avatars) {
        for (AVATAR_SLOT& slot : m_slots) {
            if (slot.byInUse) {
                m_pScene->UpdateMoveAvatar(&slot.hAvatar, 1);
            }
        }
    }
    if (m_bWorldReady) {
        m_pScene->RenderNonAlphaWorld();
    }
    if (avatars) {
        for (AVATAR_SLOT& slot : m_slots) {
            if (slot.byInUse) {
                m_pScene->RenderAvatars(1, &slot.hAvatar);
            }
        }
    }
    if (m_bWorldReady) {
        m_pScene->RenderAlphaWorld();
    }
    if (avatars) {
        DrawBalloons();
    }
    if ((m_nState == STATE_LOBBY || m_nState == STATE_ROOM) && !(m_nState == STATE_LOBBY && m_nPlaceType == 4)) {
        UpdatePicking();
    }
    RenderRoomOverlays();
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
    const unsigned index =
        g_nStartPlace >= 0 ? static_cast<unsigned>(g_nStartPlace) : static_cast<unsigned>(std::rand());
    const D3DXVECTOR3& start = points[index % count];
    position[0] = start.x;
    position[1] = start.y;
    position[2] = start.z;
    return TRUE;
}
