// The records the network library fills or reads, laid out at the byte offsets the client uses:
// fixed-width text fields, each text ended by a zero within its field, numbers little-endian.
// List elements and event blocks are plain byte blocks allocated with new BYTE[] (the list events
// 135 and 141 are a CPtrList of them); CComm::FreeElement and YondaFreeEventBlock free them.
#pragma once

#include <windows.h>

#pragma pack(push, 1)

// Profile of a member (QueryUserInfo).
struct EX_YONDA_BODY_R_USER_INFO {
    LONG lUser;
    char szID[22];
    char szNickname[32];
    char cGender; // 'M' / 'F'
    BYTE byAge;   // 0 = not shown
    char szArea[11];
    char szJob[21];
    char szHobby[51];
    char szTel[15];
    char szEmail[101];
    char szIntro[256];
};
static_assert(sizeof(EX_YONDA_BODY_R_USER_INFO) == 515);

// A friend (QueryRegFriend's answer and the elements of QueryListFriends).
struct EX_YONDA_BODY_R_FRIEND_REG {
    LONG lUser;
    char szID[22];
    char szNickname[32];
    char cOnline; // 'Y' / 'N'
    char cGender;
};
static_assert(sizeof(EX_YONDA_BODY_R_FRIEND_REG) == 60);

// A room or a lobby's common area (QueryRoomInfo; the first element of QueryRoomUsers).
struct EX_YONDA_BODY_R_ROOM_INFO {
    SHORT nLobby;
    SHORT nRoom;
    char szName[51];
    char szSubject[31];
    BYTE byUsers;
    BYTE byMaxUsers;
    char cClosed;    // 'C' = a password is needed
    char cLobbyArea; // 'W' = the lobby's common area
};
static_assert(sizeof(EX_YONDA_BODY_R_ROOM_INFO) == 90);

// An element of QueryLobbyRoomList and QuerySearchRoom.
struct YONDA_ROOM_LIST_ELEMENT {
    EX_YONDA_BODY_R_ROOM_INFO room;
    char szHostNickname[32];
};
static_assert(sizeof(YONDA_ROOM_LIST_ELEMENT) == 122);

// A member of a place (QueryRoomUsers, from the second element on).
struct YONDA_ROOM_USER_ELEMENT {
    LONG lUser;
    char szID[22];
    char szNickname[32];
    BYTE byAge;
    char cGender;
    char cRole; // 'H' host / 'G' guest
};
static_assert(sizeof(YONDA_ROOM_USER_ELEMENT) == 61);

// An element of QuerySearchUser.
struct YONDA_SEARCH_USER_ELEMENT {
    LONG lUser;
    char szID[22];
    char szNickname[32];
    char cGender;
    BYTE byAge;
    char szFlags[3]; // "Y": online
    char szArea[11];
};
static_assert(sizeof(YONDA_SEARCH_USER_ELEMENT) == 74);

// The room-making record the client fills (RoomOpen).
struct YONDA_BODY_Q_ROOM_OPEN {
    SHORT nLobby;
    char szName[50];
    char szSubject[30];
    BYTE byMaxUsers;
    char szPassword[13];
};
static_assert(sizeof(YONDA_BODY_Q_ROOM_OPEN) == 96);

// The purchase record the client fills (QueryPointAddMyItem).
struct EX_YONDA_BODY_Q_MYITEM_ADD {
    char cGender;      // 'M' / 'F'
    char cCategory;    // '0'..'6'
    char szNumber[4];  // "%.3d"
    char szTexture[3]; // "10" with a texture variant, else "00"
    BYTE byCount;      // 1
    char cWorn;        // 'N'
};
static_assert(sizeof(EX_YONDA_BODY_Q_MYITEM_ADD) == 11);

// An owned item (QueryMyItemList): the key, then the item as in the purchase record.
struct YONDA_MY_ITEM_ELEMENT {
    char szKey[18];                  // 16 characters
    EX_YONDA_BODY_Q_MYITEM_ADD item; // item.cWorn: 'Y' = worn
};
static_assert(sizeof(YONDA_MY_ITEM_ELEMENT) == 29);

// The first element of QueryAvataInfo; worn items follow as 8-byte texts "CNNN\0T\0\0".
struct YONDA_AVATAR_HEAD {
    char szNickname[32];
    char cGender; // letter 1
    char cFace;   // letter 2
    char cLetter3;
    BYTE byWornCount;
};
static_assert(sizeof(YONDA_AVATAR_HEAD) == 36);

#pragma pack(pop)

// Messages the library posts to the notify window.
#define UM_SOCKET_CLOSED 0x401 // the connection was lost
#define UM_COMM_MESSAGE 0x4C8  // low byte of wParam: 128 message, 129 friend state, 130 not delivered
#define UM_COMM_EVENT 0x52C    // low byte of wParam: the event type 128..159

// Frees an event's block (lParam) the way the library allocated it.
void YondaFreeEventBlock(UINT message, WPARAM wParam, LPARAM lParam);
