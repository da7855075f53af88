#pragma once
// One of the 3D view's 30 places for the members present; slot 0 is the own member's.
#include <KRADefs.h>
#include <windows.h>

struct AVATAR_SLOT {
    enum Pose : BYTE {
        POSE_IDLE = 0,
        POSE_STANDING_UP = 1,
        POSE_SEATED = 2,
        POSE_SITTING_DOWN = 3,
        POSE_WALKING = 4,
        POSE_WALKING_TO_SEAT = 5
    };

    int nUserKey = -1; // the member's user number; -1 when free
    short nGender = 0; // 0 male, 1 female
    char szID[21] = {};
    char szNickname[33] = " ";
    _KRA_HANDLE hAvatar = 0;
    BYTE byStopped = 1;
    BYTE byPose = POSE_IDLE;
    BYTE byInUse = 0;
    char szBalloon[161] = {};
    int nBalloonFrames = 0;
    BYTE byFace = 0;
    BYTE byColour = 0;
    int nSeat[3] = {0, 0, 0};
};

constexpr int kAvatarSlotCount = 30;
