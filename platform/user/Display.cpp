// Forwarding to the display backend, when there is one.
#include "Display.h"

#include "Window.h"

#include <atomic>

namespace yonda::user {
namespace {
std::atomic<DisplayBackend*> g_backend{nullptr};
}

void SetDisplayBackend(DisplayBackend* backend) {
    g_backend = backend;
}

DisplayBackend* CurrentDisplay() {
    return g_backend.load();
}

void DisplayWindowChanged(HWND hwnd) {
    if (auto* d = CurrentDisplay()) d->WindowChanged(RootOf(hwnd));
}

void DisplayWindowPainted(HWND hwnd) {
    if (auto* d = CurrentDisplay()) d->WindowPainted(RootOf(hwnd));
}

void DisplayRaise(HWND hwnd) {
    if (auto* d = CurrentDisplay()) d->Raise(RootOf(hwnd));
}

void DisplaySetCursor(HCURSOR cursor) {
    if (auto* d = CurrentDisplay()) d->SetCursor(cursor);
}

void DisplayWarpCursor(int x, int y) {
    if (auto* d = CurrentDisplay()) d->WarpCursor(x, y);
}

}  // namespace yonda::user
