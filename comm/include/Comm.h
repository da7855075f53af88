// CComm: the network library's connection to the community service. Every query blocks until the
// service answers (or 10 s pass) and answers nonzero on success; out-parameters are valid only
// then. Events arrive on a thread of the library and are posted to the notify window (see
// YondaCommRecords.h for the records, the list elements and the messages).
#pragma once

#include <afx.h>
#include <afxcoll.h>
#include <functional>
#include <memory>

#include "YondaCommRecords.h"

class CWnd;

namespace yonda::comm {
class Link;
class EventPoster;
} // namespace yonda::comm
namespace yonda::wire {
class Writer;
class Reader;
} // namespace yonda::wire
namespace yonda::proto {
struct Layout;
}

class CComm {
public:
    CComm();
    virtual ~CComm();
    CComm(const CComm&) = delete;
    CComm& operator=(const CComm&) = delete;

    // Life.
    BOOL Connect(CString address, int port = 7001);
    void Disconnect(); // closes from this side: nothing is posted
    bool IsConnected();
    bool IsValidSocket();
    // Events that arrive before a window is given wait for it.
    virtual void SetNotifyWindow(CWnd* pWnd);
    void SetNotifyHwnd(HWND window);
    // Frees the elements of a list the library filled, and empties it.
    void Release(CPtrList* pList);
    static void FreeElement(void* pElement);

    // Account.
    BOOL QueryLogin(CString id, CString password, long& user, char& flag);
    BOOL QueryLogout();

    // Members and avatars.
    BOOL QueryUserInfo(long user, EX_YONDA_BODY_R_USER_INFO& info);
    BOOL QueryAvataInfo(long user, CPtrList& list);
    BOOL QuerySendUserLocation(short lobby, short room);
    BOOL QuerySendMyAvataInfo(short lobby, long targetUser, char letter1, char state, float groundX, float groundZ,
                              float posX, float posY, float posZ, char letter2, char letter5, char letter6,
                              CPtrList& wornItems);
    BOOL QueryUserFaceSet(short lobby, char face);
    BOOL QueryAvataCreate(char gender, char letter2, char letter3, const char* hair, const char* face, const char* top,
                          const char* bottom, const char* footwear, const char* handItem, const char* hairItem);
    BOOL QueryUserModNickName(const char* nickname);
    BOOL QueryModNickName(short lobby, const char* nickname);
    BOOL QueryUserModIntro(const char* introduction);
    BOOL QuerySearchUser(long pageKey, const char* byName, const char* byNick, char sex, const char* area,
                         unsigned char ageFrom, unsigned char ageTo, const char* text1, const char* text2, char flag,
                         CPtrList& list);

    // Items.
    BOOL QueryMyItemList(CPtrList& list);
    BOOL QueryUserItemChange(const char* ownedItemKey, char wear);
    BOOL QuerySendUserItemChange(long ownUser, char gender, int category, const char* itemNumber,
                                 const char* textureFlag, char wear);

    // Places.
    BOOL QueryRoomJoin(short lobby, short room, const char* password, char letter1, char letter2, char letter3,
                       char letter4, char letter5, char letter6, char state, CPtrList& wornItems, short& joinedLobby,
                       short& joinedRoom, short& third);
    BOOL QueryRoomExit(short lobby);
    BOOL QueryRoomInfo(short lobby, short room, EX_YONDA_BODY_R_ROOM_INFO& info);
    BOOL QueryModRoomHost(short lobby, long user);
    BOOL QueryRoomUserOut(short lobby, long user);
    BOOL QueryRoomModInfo(short lobby, char nameChanged, const char* name, char subjectChanged, const char* subject,
                          char limitChanged, unsigned char limit, char passwordChanged, const char* password);
    BOOL QueryLobbyTotalUser(short lobby, int& count);
    BOOL QueryLobbyRoomList(short lobby, short pageKey, CPtrList& list);
    BOOL QuerySearchRoom(short lobby, short pageKey, const char* text1, const char* text2, const char* text3,
                         const char* text4, char sex, unsigned char ageFrom, unsigned char ageTo, const char* area,
                         unsigned char count, char fullFlag, char secretFlag, CPtrList& list);
    BOOL QueryRoomUsers(short lobby, short room, CPtrList& list);
    BOOL QueryListFriends(long after, CPtrList& list);

    // Traffic.
    BOOL QueryChatSend(short lobby, char kind, char colour, const char* text);
    BOOL QuerySendInstantMessage(const char* id, const char* text);
    BOOL QueryRegFriend(long user, EX_YONDA_BODY_R_FRIEND_REG& record);
    BOOL QueryDelFriend(long user);
    BOOL QueryAvataMoveStart(short lobby, int unused, const float* positionAndTarget); // 6 floats
    BOOL QueryAvataMoveEnd(short lobby, int unused, const float* positionAndFacing);   // 6 floats
    BOOL QueryAvataMoveRotate(short lobby, const float* seatMatrix);                   // 16 floats
    BOOL QueryAvataMoveSitup(short lobby, int unused);

protected:
    using Fill = std::function<void(yonda::wire::Writer&)>;
    // Sends a request and hands the accepted answer's fields to `read`, which tells whether they
    // were whole (and only then stores anything).
    BOOL QueryFields(unsigned char command, const Fill& fill, const std::function<bool(yonda::wire::Reader&)>& read);
    // A request whose answer has no fields.
    BOOL Simple(unsigned char command, const Fill& fill);
    // A request whose answer is a count and that many elements of one layout.
    BOOL QueryElements(unsigned char command, const Fill& fill, const yonda::proto::Layout& layout, CPtrList& list);

private:
    std::unique_ptr<yonda::comm::Link> m_link;
    std::unique_ptr<yonda::comm::EventPoster> m_poster;
};
