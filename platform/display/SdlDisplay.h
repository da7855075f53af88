// The desktop display (internal): one thread owns SDL and mirrors every visible top-level window
// as a borderless desktop window showing its surface; the desktop's mouse, keyboard and input
// method events come back through the window system's input path. GUI threads never wait for the
// desktop: they leave notes and wake the display thread.
#pragma once

#include "../user/Display.h"

#include <SDL.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace yonda::display {

class SdlDisplay : public user::DisplayBackend {
public:
    // Starts SDL's video on a thread of its own; null when the desktop cannot be reached.
    static std::unique_ptr<SdlDisplay> Start();
    ~SdlDisplay() override;
    // Ends the display thread and closes the desktop windows; later calls do nothing.
    void Stop();

    SIZE ScreenSize() override;
    RECT WorkArea() override;
    void WindowChanged(HWND top) override;
    void WindowPainted(HWND top) override;
    void Raise(HWND top) override;
    void SetCursor(HCURSOR cursor) override;
    void WarpCursor(int x, int y) override;
    void SetClipboardText(const std::string& utf8) override;
    std::string ClipboardText() override;

    // Runs work on the display thread after everything noted before it, and waits for it.
    void RunOnDisplayThread(const std::function<void()>& work);
    // The desktop window showing a top-level window (display thread only); null if none.
    SDL_Window* DesktopWindowOf(HWND top);

private:
    SdlDisplay() = default;
    struct Mirror;
    bool Init();
    void Run();
    void Wake();
    void Handle(const SDL_Event& event);
    void HandleWindowEvent(const SDL_WindowEvent& event);
    void Sync();
    void Repaint(HWND top, Mirror& mirror);
    HWND WindowOfId(Uint32 windowId, POINT* origin);
    void ReleaseHeldKeys();

    std::thread m_thread;
    Uint32 m_wakeEvent = 0;
    std::atomic<bool> m_wakePending{false};
    std::atomic<bool> m_ended{false};

    // Notes from other threads, guarded by m_mutex (a leaf lock: nothing else is taken under it).
    std::mutex m_mutex;
    bool m_treeChanged = true;
    std::set<HWND> m_painted;
    HWND m_raise = nullptr;
    bool m_cursorChanged = false;
    HCURSOR m_cursor = nullptr;
    bool m_warp = false;
    POINT m_warpTo{};
    bool m_clipboardChanged = false;
    std::string m_clipboard;
    std::vector<std::function<void()>> m_work;
    bool m_stopping = false;
    SIZE m_screen{1024, 768};
    RECT m_workArea{0, 0, 1024, 768};

    // Display thread only.
    std::map<HWND, std::unique_ptr<Mirror>> m_mirrors;
    std::vector<HWND> m_order;      // mirrored windows as last stacked, topmost first
    SDL_Window* m_helper = nullptr; // hidden: lets waits block and wake
    std::set<UINT> m_keysDown;
    bool m_composing = false;
    POINT m_pointer{};
};

// The running display, or null.
SdlDisplay* CurrentSdlDisplay();

} // namespace yonda::display
