// The main frame's messenger windows: one per partner, opened by the windows that show a member
// and by the messages the service delivers, fed the messages that could not be delivered.
#include "MessengerWnd.h"

#include <ClientGlobals.h>
#include <ClientSession.h>
#include <MainFrame.h>

namespace {

void BringForward(CWnd* window)
{
    window->ShowWindow(SW_SHOW);
    window->SetActiveWindow();
    window->SetForegroundWindow();
}

} // namespace

CMessengerWnd* CMainFrame::FindMessageWindow(long user, LPCSTR name)
{
    CMessengerWnd* found = nullptr;
    POSITION position = m_listMessageWnd.GetHeadPosition();
    while (position) {
        const POSITION at = position;
        auto* window = static_cast<CWnd*>(m_listMessageWnd.GetNext(position));
        // A window whose own close is still on its way is forgotten now.
        if (!::IsWindow(window->GetSafeHwnd())) {
            m_listMessageWnd.RemoveAt(at);
            delete window;
            continue;
        }
        auto* messenger = dynamic_cast<CMessengerWnd*>(window);
        if (!messenger || found) {
            continue;
        }
        if (name ? (messenger->GetNickname() == name || messenger->GetUserID() == name)
                 : messenger->GetUser() == user) {
            found = messenger;
        }
    }
    return found;
}

void CMainFrame::OpenMessageWindow(long user, LPCSTR id, LPCSTR nickname, LPCSTR message, BOOL received)
{
    CMessengerWnd* window = FindMessageWindow(user, nullptr);
    if (!window && nickname && *nickname) {
        window = FindMessageWindow(0, nickname);
    }
    if (window) {
        if (received) {
            window->AddReceivedMessage(id, message, nickname);
        }
        BringForward(window);
        return;
    }
    auto* created = new CMessengerWnd(user, id, message, nickname, received);
    if (!created->Create(this)) {
        delete created;
        return;
    }
    AddMessageWindow(created);
}
