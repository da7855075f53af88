// Update regions and painting (internal). The update region of a window is kept as its bounding
// rectangle in client coordinates.
#pragma once

#include "Window.h"

namespace yonda::user {

// Adds a rectangle (client coordinates; null = all) to a window's update region and, unless the
// window clips its children, to the children it overlaps. Called with UserLock() held.
void AddInvalid(Window& w, const RECT* rect, bool erase, bool children);
void ClearInvalid(Window& w);
// Shrinks the update region to a window's new size.
void ClipInvalidToClient(Window& w);
// A window and its children became invisible: nothing of them waits for paint.
void HiddenTree(Window& w);
// Drops a window that goes away from its thread's paint bookkeeping.
void ForgetPaint(Window& w);
// Invalidates what a window covered on its parent (or on the top-level surface below it).
void ExposeArea(const Window& w, const RECT& screenRect);

} // namespace yonda::user
