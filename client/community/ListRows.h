#pragma once
// The rows the lobby list panels show, laid out at the byte offsets their owners fill: fixed text
// fields, each ended by a zero within its field. Friends and room users share the frame's
// FRIEND_ROW.
#include <FriendList.h>

#include <windows.h>

#pragma pack(push, 1)

// A room of a lobby list or a search.
struct ROOM_ROW {
    SHORT nRoom;
    SHORT nLobby;
    char szName[50];
    char szSubject[30];
    signed char nUsers;
    signed char nMaxUsers;
    char cState;     // 'C' closed (a password is asked), anything else open
    char szText[21]; // the host's nickname
};
static_assert(sizeof(ROOM_ROW) == 108);

// A member found by a user search.
struct SEARCH_ROW {
    LONG lUser;
    char szNickname[31];
    char szID[21];
    char cGender;
    char cNumber;
    char szTwo[2];
    char szArea[30]; // the area's display text
    char cOnline;    // 'Y' online
    char cUnused;
};
static_assert(sizeof(SEARCH_ROW) == 92);

#pragma pack(pop)
