// The main frame's messenger windows: one per partner, opened by the windows that show a member
// and by the messages the service delivers, fed the messages that could not be delivered.
#include "MessengerWnd.h"

#include <ClientGlobals.h>
#include <ClientSession.h>
#include <MainFrame.h>

#include <NotifyDlg.h>
#include <ToolkitShared.h>
#include <YondaCommRecords.h>

#include <cstring>

namespace {

// The instant-message events (low byte of UM_COMM_MESSAGE's wParam) and their blocks.
enum { MSG_RECEIVED = 128, MSG_FRIEND_STATE = 129, MSG_NOT_DELIVERED = 130 };
constexpr size_t kIdWidth = 22;
constexpr size_t kNicknameWidth = 32;
constexpr size_t kTextWidth = 256;
constexpr size_t kFailedNameWidth = 22;

// A field of an event block, never read past its width nor left without its end.
template <size_t N>
CString Field(const BYTE* block, size_t offset)
{
    char text[N + 1] = {};
    CopyField(text, reinterpret_cast<const char*>(block + offset), N);
    return text;
}

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

void CMainFrame::OnInstantMessage(WPARAM wParam, LPARAM lParam)
{
    const auto* block = reinterpret_cast<const BYTE*>(lParam);
    // The library hands over blocks of the event's whole layout.
    if (block && (wParam & 0xFF) == MSG_RECEIVED) {
        long user = 0;
        std::memcpy(&user, block, sizeof(int32_t));
        const CString id = Field<kIdWidth>(block, 4);
        const CString nickname = Field<kNicknameWidth>(block, 26);
        const CString text = Field<kTextWidth>(block, 58);
        OpenMessageWindow(user, id, nickname, text, TRUE);
    } else if (block && (wParam & 0xFF) == MSG_NOT_DELIVERED) {
        uint16_t code = 0;
        std::memcpy(&code, block, sizeof code);
        const CString name = Field<kFailedNameWidth>(block, 2);
        const CString text = CMessengerWnd::CleanMessage(Field<kTextWidth>(block, 24));
        if (CMessengerWnd* window = name.IsEmpty() ? nullptr : FindMessageWindow(0, name)) {
            window->OnSendFailed(text);
            BringForward(window);
        } else if (m_pSession) {
            ShowNotifyBox(FormatUndelivered(name, text, code), 0, 13);
        }
    }
    YondaFreeEventBlock(UM_COMM_MESSAGE, wParam, lParam);
}

CString CMainFrame::FormatUndelivered(const CString& name, const CString& text, unsigned code) const
{
    // "To <name>;" in the skin's language ("님에게" in code page 949).
    const CString to = g_bGermanText ? ToolkitFormatText("zu %s;", name) : name + "\xB4\xD4\xBF\xA1\xB0\xD4;";
    const CString failure = m_pSession ? m_pSession->GetTableString("E_FAILED_INSTANT_MESSAGE") : CString();
    // The table's text never serves as a format for the member's own message: a text without
    // its place for the message gets it on a line of its own.
    CString lines = to + ToolkitFormatText(failure, text);
    if (failure.Find("%s") < 0) {
        lines += ";" + text;
    }
    CString error;
    error.Format(";ErrorCode = 0x%X", code);
    return lines + error;
}
