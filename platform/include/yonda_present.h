// Where Direct3D's Present puts its pictures: the window system implements this and registers
// it; without one (tests, before the window system exists) the presented pictures are only kept
// for reading back (yonda_d3d8.h).
#pragma once

#include "windef.h"

class YondaPresentTarget {
public:
    virtual ~YondaPresentTarget() = default;
    // Shows a picture in the client area of hwnd. Pixels are 32-bit 0xAARRGGBB (bytes B, G, R, A),
    // the top row first, stride in bytes. Called on the presenting thread, which may be any thread.
    virtual void PresentToWindow(HWND hwnd, const DWORD* pixels, int width, int height, int stride) = 0;
    // The size of hwnd's client area; FALSE when hwnd is not a window.
    virtual BOOL GetClientSize(HWND hwnd, SIZE* size) = 0;
    // Where hwnd's client area starts on the screen; FALSE when hwnd is not a window.
    virtual BOOL GetClientOrigin(HWND hwnd, POINT* origin) = 0;
};

// Registers the target (NULL removes it). The caller keeps ownership and keeps the target alive
// while presents may still run; the target is called without any of the layer's locks held.
void YondaSetPresentTarget(YondaPresentTarget* target);
