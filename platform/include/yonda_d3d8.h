// Test and host hooks of the Direct3D stand-in.
#pragma once

#include "d3d8.h"

#include <vector>

// Makes the device lost, as when another program takes the screen: TestCooperativeLevel answers
// D3DERR_DEVICELOST lostAnswers times (at least once), then D3DERR_DEVICENOTRESET until Reset
// succeeds. Present answers D3DERR_DEVICELOST meanwhile and draws are dropped.
HRESULT YondaD3D8LoseDevice(IDirect3DDevice8* device, UINT lostAnswers = 1);
// Makes the next `count` resets fail with D3DERR_DEVICELOST, as when the screen is still taken
// when the program tries to recover: the device stays waiting for a reset
// (D3DERR_DEVICENOTRESET) and nothing is drawn until a later reset succeeds.
HRESULT YondaD3D8RefuseResets(IDirect3DDevice8* device, UINT count);

// A picture read from the stand-in: 0xAARRGGBB per pixel, the top row first, no padding.
struct YondaPicture {
    UINT width = 0;
    UINT height = 0;
    std::vector<DWORD> pixels;
    DWORD At(UINT x, UINT y) const { return pixels[size_t(y) * width + x]; }
};

// The last picture presented into hwnd by any device or swap chain; FALSE when none was.
BOOL YondaD3D8GetPresentedPicture(HWND hwnd, YondaPicture* picture);
// Forgets every presented picture (between tests).
void YondaD3D8ForgetPresentedPictures();

// Gives back the calling thread's drawing context now. A thread that drew calls it before it
// tells others it has ended, so nothing of the renderer is still torn down on that thread while
// the program goes on to release the device or to exit.
void YondaD3D8ReleaseThreadContext();

// The display mode the adapter reports: X8R8G8B8 at the screen's size (SM_CXSCREEN, SM_CYSCREEN),
// or at the size set here; 0 x 0 follows the screen again.
void YondaD3D8SetDisplayMode(UINT width, UINT height);

// The number of default-pool resources and additional swap chains the program still holds on the
// device: Reset fails while it is not zero.
UINT YondaD3D8CountDefaultPoolResources(IDirect3DDevice8* device);
