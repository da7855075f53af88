#include "CommunityShared.h"

#include <ClientGlobals.h>
#include <ClientSession.h>
#include <MainFrame.h>
#include <ToolkitShared.h>

CMainFrame* CommunityMainFrame()
{
    return dynamic_cast<CMainFrame*>(AfxGetMainWnd());
}

BOOL CommunityFrameIsModal()
{
    const CMainFrame* frame = CommunityMainFrame();
    return frame && frame->IsModal();
}

BOOL CommunityPostToFrame(UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* frame = AfxGetMainWnd();
    return frame && frame->GetSafeHwnd() && frame->PostMessage(message, wParam, lParam);
}

int CommunityLobbyCount()
{
    return g_pSession ? g_pSession->m_nLobbyCount : 0;
}

int CommunityChosenLobby()
{
    return g_pSession ? g_pSession->m_nChosenLobby : -1;
}

int CommunityLobbyUserCount(int lobby)
{
    // Anything beyond 16 bits is no lobby, rather than another lobby's number cut short.
    if (!g_pSession || lobby < -32768 || lobby > 32767) {
        return -1;
    }
    return g_pSession->GetLobbyUserCount(static_cast<short>(lobby));
}

BOOL CommunityCreateGuiFont(CFont* font, int weight, int height)
{
    LOGFONTA face{};
    HFONT gui = ToolkitGuiFont();
    if (!font || !gui || !::GetObjectA(gui, sizeof(face), &face)) {
        return FALSE;
    }
    face.lfWeight = weight;
    if (height) {
        face.lfHeight = height;
    }
    return font->CreateFontIndirect(&face);
}
