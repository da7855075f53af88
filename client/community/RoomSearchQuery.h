#pragma once
// What a room search asks the service, made from the search window's choices: the keyword in the
// text that its key button names, the host's sex, age band and area, the member limit and the two
// switches for full rooms and rooms with a password. And the row a room of the answer becomes.
#include "ListRows.h"

#include <YondaCommRecords.h>

#include <afxwin.h>

// The key buttons' command ids: which of the four texts the keyword goes into.
enum RoomSearchKey {
    SEARCH_KEY_TEXT2 = 3115,
    SEARCH_KEY_TEXT1 = 3116,
    SEARCH_KEY_TEXT3 = 3117,
    SEARCH_KEY_TEXT4 = 3118,
};

struct ROOM_SEARCH_QUERY {
    char szText1[51] = {};
    char szText2[32] = {};
    char szText3[24] = {};
    char szText4[32] = {};
    char cSex = 0;
    BYTE byAgeFrom = 0;
    BYTE byAgeTo = 0;
    char szArea[4] = {};
    BYTE byCount = 0;
    char cFull = 'E';
    char cSecret = 'O';
};

// The ages an age selector's tag stands for: 0 any (0, 0), 1 up to 15, 51 from 51 to 100, any
// other v the years v to v + 4.
void AgeBandOf(LPCSTR age, BYTE* from, BYTE* to);

// The selectors' values are their chosen items' tags (or texts).
ROOM_SEARCH_QUERY BuildRoomSearchQuery(LPCSTR keyword, int keyButton, LPCSTR sex, LPCSTR age, LPCSTR area, LPCSTR count,
                                       BOOL withFullRooms, BOOL withSecretRooms);

// A room of the service's list as a row: every text cut to its field and terminated.
ROOM_ROW RoomRowFromElement(const YONDA_ROOM_LIST_ELEMENT& element);
