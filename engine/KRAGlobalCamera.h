// The scene's own free camera: moves and turns with its look-at point.
#pragma once

#include "KRACamera.h"

class CKRAGlobalCamera : public CKRACamera {
public:
    void Move(float dx, float dy, float dz) override;
    void RotateFirst(float fDegrees) override;
    void RotateSecond(float fDegrees) override;
    int GetCameraType() override { return 1; }
    bool CanRotateFirst(float) override { return true; }
    bool CanRotateSecond(float) override { return true; }
};
