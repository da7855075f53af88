// CYondaComm: the library's connection with this service's own queries: locations, the avatar
// picture, rooms, points and purchases, the party game and the subject rooms' questions.
#pragma once

#include "Comm.h"

class CYondaComm : public CComm {
public:
    CYondaComm() = default;
    ~CYondaComm() override = default;

    BOOL QueryUserLocation(long user, short& lobby, short& room);
    // Sends the JPEG file at `jpegPath` as the member's avatar picture.
    BOOL UploadAvatarImage(const char* ownId, const char* jpegPath);
    // Saves the member's uploaded picture (a JPEG) as `savePath`; FALSE, and no file, when the
    // member has none or it could not be fetched or written whole.
    BOOL QueryAvatarImage(long user, const char* savePath);
    BOOL RoomOpen(YONDA_BODY_Q_ROOM_OPEN* record, short& room, short& lobby);

    BOOL QueryPointGetUserPoint(long& points);
    // `points` goes in as the balance the member sees and comes out as the new balance.
    BOOL QueryPointAddMyItem(EX_YONDA_BODY_Q_MYITEM_ADD* record, long& points);

    BOOL QueryJumpAvatart2LandingPos(long value);
    BOOL QuerySendPFGameData(short lobby, short length, const BYTE* board);
    BOOL QuerySendTime(short lobby, long tenthsOfSecond);
    BOOL QueryBroadPFGameRetire(short lobby);
    BOOL QueryBroadPFGameReady(short lobby);

    BOOL QueryChatSetThemeString(short lobby, const char* text);
    BOOL QueryChatSetThemeStringTo(short lobby, long user, const char* text);
};
