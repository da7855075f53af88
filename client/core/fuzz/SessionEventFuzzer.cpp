// Events of a hostile peer with any contents: the session's handling never reads past a block
// of its type's size, never trusts a text to be terminated, a float to be a number or a list to
// be long, and keeps its room-user list sound.
#include "ClientGlobals.h"
#include "ClientSession.h"
#include "SceneSink.h"

#include <YondaCommRecords.h>

#include <cstring>

namespace {

// Every event block the library hands over is at most this long (the game data is the longest).
constexpr size_t kBlockSize = 320;

class FuzzScene : public CSceneSink {
public:
    int state = 14;
    int GetViewState() override { return state; }
    void OnSceneAction(int, int) override {}
    BOOL GetInitPosition(float position[3]) override
    {
        position[0] = position[1] = position[2] = 1;
        return TRUE;
    }
    void AddUserAvatar(OWN_AVATAR_INFO* record, const float*) override { Touch(record->szNickname); }
    void RemoveUserAvatar(long) override {}
    void ChangeHost(long, long) override {}
    void MoveUserTo(long, float, float) override {}
    void WalkToSeat(long, const float*) override {}
    void StandUpAvatar(long) override {}
    void PlaceUser(long, const float*) override {}
    void SetUserFace(long, char) override {}
    void RenameUser(long, LPCSTR nickname) override { Touch(nickname); }
    void ChangeUserItem(long, char, char, LPCSTR number, LPCSTR texture, BOOL) override
    {
        Touch(number);
        Touch(texture);
    }
    void SetRoomInfo(LPCSTR subject, int) override { Touch(subject); }
    void SetRoomSubject(LPCSTR subject) override { Touch(subject); }
    void OnGameEvent(int, long, const BYTE* data, int size) override
    {
        volatile BYTE sum = 0;
        for (int i = 0; i < size; ++i) {
            sum = static_cast<BYTE>(sum + data[i]);
        }
    }

private:
    static void Touch(LPCSTR text)
    {
        volatile size_t length = std::strlen(text);
        (void)length;
    }
};

// Not connected, and as quiet about it as while its one network box is up.
class FuzzSession : public CClientSession {
public:
    FuzzSession() { m_bNetworkFailShown = TRUE; }
    using CClientSession::HandleEvent;
};

bool IsList(int type)
{
    return type == EV_USER_ENTERED || type == EV_USER_AVATAR_INFO;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzSession* session = [] {
        GlobalLockInit();
        auto* made = new FuzzSession;
        made->m_OwnUser.lUser = 1;
        made->m_nCurrentLobby = 1;
        return made;
    }();
    static FuzzScene scene;
    if (size < 2) {
        return 0;
    }
    session->SetSceneSink(data[1] & 1 ? &scene : nullptr);
    scene.state = 10 + data[1] % 6;
    const int type = 128 + data[0] % 32;
    data += 2;
    size -= 2;
    if (IsList(type)) {
        auto* list = new CPtrList;
        BYTE* head = new BYTE[kBlockSize]();
        std::memcpy(head, data, std::min(size, kBlockSize));
        list->AddTail(head);
        for (size_t at = kBlockSize; at + 8 <= size && list->GetCount() <= 16; at += 8) {
            BYTE* item = new BYTE[8];
            std::memcpy(item, data + at, 8);
            list->AddTail(item);
        }
        session->HandleEvent(type, reinterpret_cast<LPARAM>(list));
        YondaFreeEventBlock(UM_COMM_EVENT, static_cast<WPARAM>(type), reinterpret_cast<LPARAM>(list));
    } else {
        BYTE* block = new BYTE[kBlockSize]();
        std::memcpy(block, data, std::min(size, kBlockSize));
        session->HandleEvent(type, reinterpret_cast<LPARAM>(block));
        YondaFreeEventBlock(UM_COMM_EVENT, static_cast<WPARAM>(type), reinterpret_cast<LPARAM>(block));
    }
    // Keep the list from growing without end across runs.
    if (session->m_listRoomUsers.GetCount() > 64) {
        CGlobalLock lock;
        session->ClearRoomUsers();
    }
    return 0;
}
