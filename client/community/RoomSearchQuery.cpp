#include "RoomSearchQuery.h"

#include <SessionRecords.h>

#include <cstdlib>
#include <cstring>

namespace {

size_t Length(LPCSTR text)
{
    return text ? std::strlen(text) : 0;
}

} // namespace

void AgeBandOf(LPCSTR age, BYTE* from, BYTE* to)
{
    const BYTE band = static_cast<BYTE>(std::atoi(age ? age : "0"));
    *from = 0;
    *to = 0;
    switch (band) {
    case 0: break;
    case 1: *to = 15; break;
    case 51:
        *from = 51;
        *to = 100;
        break;
    default:
        *from = band;
        *to = static_cast<BYTE>(band + 4);
        break;
    }
}

ROOM_SEARCH_QUERY BuildRoomSearchQuery(LPCSTR keyword, int keyButton, LPCSTR sex, LPCSTR age, LPCSTR area, LPCSTR count,
                                       BOOL withFullRooms, BOOL withSecretRooms)
{
    ROOM_SEARCH_QUERY query;
    const char* text = keyword ? keyword : "";
    // Cut to fit on a character boundary, so a double-byte letter is never split.
    switch (keyButton) {
    case SEARCH_KEY_TEXT2: CopyField(query.szText2, text, Length(text)); break;
    case SEARCH_KEY_TEXT1: CopyField(query.szText1, text, Length(text)); break;
    case SEARCH_KEY_TEXT3: CopyField(query.szText3, text, Length(text)); break;
    case SEARCH_KEY_TEXT4: CopyField(query.szText4, text, Length(text)); break;
    default: break;
    }
    query.cSex = sex ? sex[0] : 0;
    if (area && _stricmp(area, "-1") != 0) {
        CopyField(query.szArea, area, Length(area));
    }
    AgeBandOf(age, &query.byAgeFrom, &query.byAgeTo);
    query.byCount = static_cast<BYTE>(std::atoi(count ? count : "0"));
    query.cFull = withFullRooms ? 'E' : 'F';
    query.cSecret = withSecretRooms ? 'O' : 'C';
    return query;
}

ROOM_ROW RoomRowFromElement(const YONDA_ROOM_LIST_ELEMENT& element)
{
    ROOM_ROW row{};
    row.nRoom = element.room.nRoom;
    row.nLobby = element.room.nLobby;
    CopyField(row.szName, element.room.szName, sizeof(element.room.szName));
    CopyField(row.szSubject, element.room.szSubject, sizeof(element.room.szSubject));
    CopyField(row.szText, element.szHostNickname, sizeof(element.szHostNickname));
    row.nUsers = static_cast<signed char>(element.room.byUsers);
    row.nMaxUsers = static_cast<signed char>(element.room.byMaxUsers);
    row.cState = element.room.cClosed;
    return row;
}
