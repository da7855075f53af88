// Forwarding to the display backend, when there is one.
#include "Display.h"

#include "Window.h"

#include <atomic>
#include <mutex>

namespace yonda::user {
namespace {
std::atomic<DisplayBackend*> g_backend{nullptr};
std::atomic<DisplayBackend* (*)()> g_starter{nullptr};
std::once_flag g_started;
} // namespace

void SetDisplayStarter(DisplayBackend* (*starter)())
{
    g_starter = starter;
}

void SetDisplayBackend(DisplayBackend* backend)
{
    g_backend = backend;
}

DisplayBackend* CurrentDisplay()
{
    if (auto* backend = g_backend.load())
        return backend;
    if (auto starter = g_starter.load()) {
        std::call_once(g_started, [starter] {
            if (auto* backend = starter())
                g_backend = backend;
        });
    }
    return g_backend.load();
}

void DisplayWindowChanged(HWND hwnd)
{
    if (auto* d = CurrentDisplay())
        d->WindowChanged(RootOf(hwnd));
}

void DisplayWindowPainted(HWND hwnd)
{
    if (auto* d = CurrentDisplay())
        d->WindowPainted(RootOf(hwnd));
}

void DisplayRaise(HWND hwnd)
{
    if (auto* d = CurrentDisplay())
        d->Raise(RootOf(hwnd));
}

void DisplaySetCursor(HCURSOR cursor)
{
    if (auto* d = CurrentDisplay())
        d->SetCursor(cursor);
}

void DisplayWarpCursor(int x, int y)
{
    if (auto* d = CurrentDisplay())
        d->WarpCursor(x, y);
}

} // namespace yonda::user
