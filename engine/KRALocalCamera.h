// An avatar's camera: orbits and zooms around a look-at point that follows the avatar.
#pragma once

#include "KRACamera.h"

class CKRALocalCamera : public CKRACamera {
public:
    void Move(float dx, float dy, float dz) override;
    void RotateFirst(float fDegrees) override;
    void RotateSecond(float fDegrees) override;
    int GetCameraType() override { return 2; }
    bool CanRotateFirst(float fDegrees) override;
    bool CanRotateSecond(float fDegrees) override;
};
