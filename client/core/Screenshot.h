#pragma once
// Pictures of windows drawn with Direct3D saved as files, and the file check the capture folders
// are made with.
#include <afxwin.h>
#include <d3d8.h>

// Whether a file or folder is at the path.
bool FileExists(LPCSTR path);

// Saves what `window` shows into `bmpFile` and, read back from it, into `jpegFile` (quality 75),
// shrunk to width x height when both are given. With a swap chain its back buffer is captured,
// `part` (window coordinates) or all of it; without, the screen's picture under the window, or
// under `part` of it. D3D_OK, or the first failure: of the device, an area empty once it is
// clipped to the picture, the BMP that cannot be written or read back, or the JPEG. The BMP is
// deleted afterwards with `deleteBmp`.
HRESULT SaveScreenshot(IDirect3DDevice8* device, HWND window, LPCSTR bmpFile, LPCSTR jpegFile, RECT* part, int width,
                       int height, IDirect3DSwapChain8* swapChain, BOOL deleteBmp);
