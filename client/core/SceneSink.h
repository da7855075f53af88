#pragma once
// What the session tells the 3D view about the members of the place. The view implements it once
// it exists; until then the session keeps every member in its room-user list (with the place
// each last walked to), so a view that comes later builds the place from that list.
#include "SessionRecords.h"

class CSceneSink {
public:
    virtual ~CSceneSink() = default;

    // The view's state (10 map, 11-13 lobbies and areas, 14 room, 15 game room).
    virtual int GetViewState() = 0;
    virtual void OnSceneAction(int code, int param) = 0;
    // Where a newcomer stands in the current scene.
    virtual BOOL GetInitPosition(float position[3]) = 0;
    virtual void AddUserAvatar(OWN_AVATAR_INFO* record, const float position[3]) = 0;
    virtual void RemoveUserAvatar(long user) = 0;
    virtual void ChangeHost(long oldHost, long newHost) = 0;
    virtual void MoveUserTo(long user, float x, float z) = 0;
    virtual void WalkToSeat(long user, const float seat[16]) = 0;
    virtual void StandUpAvatar(long user) = 0;
    virtual void PlaceUser(long user, const float values[6]) = 0;
    virtual void SetUserFace(long user, char face) = 0;
    virtual void RenameUser(long user, LPCSTR nickname) = 0;
    // Puts an item on (texture "0" when none) or takes a category off.
    virtual void ChangeUserItem(long user, char gender, char category, LPCSTR number, LPCSTR texture, BOOL putOn) = 0;
    virtual void SetRoomInfo(LPCSTR subject, int maxUsers) = 0;
    virtual void SetRoomSubject(LPCSTR subject) = 0;
    // Party-game traffic: 18 ready, 19 board, 20 finish time, 21 retire, 22 back to the start.
    virtual void OnGameEvent(int subCode, long user, const BYTE* data, int size) = 0;
};
