#pragma once
// How far an avatar turns about the vertical axis to face a wanted direction: the angle between
// its front and the direction, signed so that the engine's RotateAvatar turns it the right way.
#include <d3dx8.h>

// Degrees for RotateAvatar about Y; 0 when the avatar already faces the direction (within
// 0.001 rad) or the direction is no direction at all.
float AvatarTurnDegrees(const D3DXVECTOR3& front, const D3DXVECTOR3& wanted);
