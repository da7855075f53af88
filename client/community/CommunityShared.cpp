#include "CommunityShared.h"

#include <ClientGlobals.h>
#include <ClientSession.h>
#include <MainFrame.h>
#include <MainSkin.h>
#include <PopupMenuWnd.h>
#include <SkinButton.h>
#include <SkinDraw.h>
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

void CommunityDrawColumn(CDC* dc, CBitmap* picture, int index, int columns, BOOL toTheEnd)
{
    BITMAP info{};
    CDC memory;
    if (!dc || !picture || !picture->GetSafeHandle() || columns <= 0 || !picture->GetBitmap(&info) ||
        !memory.CreateCompatibleDC(dc)) {
        return;
    }
    CBitmap* old = memory.SelectObject(picture);
    const int source = static_cast<int>(static_cast<long long>(index) * info.bmWidth / columns);
    const int width = toTheEnd ? info.bmWidth : info.bmWidth / columns;
    SkinDrawTransparent(dc, 0, 0, width, info.bmHeight, &memory, source, 0, kSkinKeyColour);
    memory.SelectObject(old);
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

BOOL CommunityOpenMenu(CPopupMenuWnd* menu, CWnd* owner, WPARAM point, LPCSTR section, int data)
{
    const int x = static_cast<short>(LOWORD(point));
    const int y = static_cast<short>(HIWORD(point));
    const RECT at{x, y, x + 10, y + 10};
    if (!g_pMainSkin || !menu->Create(at, owner, section, TRUE)) {
        return FALSE;
    }
    menu->SetMenuId(data & 0xFFFF);
    menu->TrackPopup(g_pMainSkin->m_strSkinFolder, g_pMainSkin->m_strPopupMenuIni);
    return TRUE;
}
