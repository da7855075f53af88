// The top-level surfaces windows paint into (internal).
#pragma once

#include "../gdi/Surface.h"

#include <windows.h>

#include <memory>
#include <mutex>
#include <vector>

namespace yonda::user {

// The surface of a top-level window, sized to the window (made or resized on demand).
std::shared_ptr<gdi::Surface> SurfaceOf(HWND top);
void DropSurface(HWND top);
// The surface a top-level window has now, neither made nor resized: for readers on other threads.
std::shared_ptr<gdi::Surface> ExistingSurfaceOf(HWND top);
// Guards pixels that threads other than the owner write (Direct3D presents) or read (display).
std::mutex& SurfaceMutex();
// A copy of what a window shows (its client area), pixels 0xAARRGGBB, top row first.
bool CaptureWindowPixels(HWND hwnd, std::vector<uint32_t>* pixels, int* width, int* height);
// Registers the window system as the place Direct3D presents to.
void EnsurePresentTarget();

} // namespace yonda::user
