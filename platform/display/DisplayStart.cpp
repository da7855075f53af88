// When the display starts and stops. It starts the first time the window system asks for it,
// when the environment names a desktop; a display that cannot be reached leaves the program
// headless. With it, message boxes become real boxes made of the window system's windows.
#include "SdlDisplay.h"
#include "yonda_display.h"

#include <cstdlib>
#include <mutex>

namespace {

struct Displays {
    std::mutex mutex;
    std::unique_ptr<yonda::display::SdlDisplay> current;
    // Stopped displays stay allocated: a GUI thread may still be inside one of their calls.
    std::vector<std::unique_ptr<yonda::display::SdlDisplay>> stopped;
    bool exitHookSet = false;
};

Displays& State()
{
    static Displays& displays = *new Displays;
    return displays;
}

bool Set(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

void StopAtExit()
{
    YondaStopDisplay();
}

yonda::user::DisplayBackend* StartLocked()
{
    auto& state = State();
    if (state.current)
        return state.current.get();
    state.current = yonda::display::SdlDisplay::Start();
    if (!state.current)
        return nullptr;
    if (!state.exitHookSet) {
        state.exitHookSet = true;
        std::atexit(&StopAtExit);
    }
    YondaUseMessageBoxWindow(TRUE);
    return state.current.get();
}

yonda::user::DisplayBackend* StartFromEnvironment()
{
    if (Set("YONDA_HEADLESS") || !(Set("DISPLAY") || Set("WAYLAND_DISPLAY")))
        return nullptr;
    std::lock_guard lock(State().mutex);
    return StartLocked();
}

const bool g_registered = (yonda::user::SetDisplayStarter(&StartFromEnvironment), true);

} // namespace

BOOL YondaStartDisplay()
{
    yonda::user::DisplayBackend* backend;
    {
        std::lock_guard lock(State().mutex);
        backend = StartLocked();
    }
    if (backend)
        yonda::user::SetDisplayBackend(backend);
    return backend ? TRUE : FALSE;
}

void YondaStopDisplay()
{
    std::lock_guard lock(State().mutex);
    auto& state = State();
    if (!state.current)
        return;
    yonda::user::SetDisplayBackend(nullptr);
    YondaUseMessageBoxWindow(FALSE);
    state.current->RunOnDisplayThread([] {});
    // Ends the display thread; the object itself stays for late callers.
    state.stopped.push_back(std::move(state.current));
    state.stopped.back()->Stop();
}

BOOL YondaDisplayActive()
{
    return yonda::user::CurrentDisplay() ? TRUE : FALSE;
}

void YondaDisplayFlush()
{
    yonda::display::SdlDisplay* display;
    {
        std::lock_guard lock(State().mutex);
        display = State().current.get();
    }
    // Twice: events handed on by the first round may have caused paints the second one shows.
    if (display) {
        display->RunOnDisplayThread([] {});
        display->RunOnDisplayThread([] {});
    }
}

namespace yonda::display {

SdlDisplay* CurrentSdlDisplay()
{
    std::lock_guard lock(State().mutex);
    return State().current.get();
}

} // namespace yonda::display
