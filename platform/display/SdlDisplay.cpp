// The desktop display. SDL is used from one thread only, this one: the program may have several
// GUI threads (a splash thread beside the main one), and none of them should ever wait for the
// desktop. Their notes (a window changed or painted, a cursor, the clipboard) are kept here and
// applied when the display thread wakes; the desktop's input goes back through the window
// system's own injection calls, which wake the GUI thread waiting in GetMessage or a modal loop.
#include "SdlDisplay.h"

#include "../user/Compositor.h"
#include "../user/Input.h"
#include "../user/Window.h"
#include "SdlCursor.h"
#include "SdlKeys.h"
#include "yonda_platform.h"
#include "yonda_user.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <utility>

namespace yonda::display {

struct SdlDisplay::Mirror {
    SDL_Window* window = nullptr;
    Uint32 id = 0;
    RECT rect{};
    std::string title;
    bool topmost = false;
    bool minimized = false;
    bool shown = false;
    bool dirty = true;
};

namespace {

uint64_t NowMs()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// What the display thread needs of a top-level window, read in one go under the window lock.
struct TopState {
    HWND hwnd = nullptr;
    RECT rect{};
    std::string title;
    bool topmost = false;
    bool tool = false;
    bool minimized = false;
};

std::vector<TopState> VisibleTops(HWND* active)
{
    std::vector<TopState> tops;
    std::lock_guard lock(user::UserLock());
    *active = user::Input().active;
    for (HWND top : user::TopLevelOrder()) {
        auto w = user::FindWindowPtr(top);
        if (!w || w->parent || w->messageOnly || w->destroyed || !(w->style & WS_VISIBLE))
            continue;
        TopState s;
        s.hwnd = top;
        s.rect = user::ScreenRect(*w);
        s.title = w->text;
        s.topmost = (w->exStyle & WS_EX_TOPMOST) != 0;
        s.tool = (w->exStyle & WS_EX_TOOLWINDOW) != 0 || w->owner != nullptr;
        s.minimized = (w->style & WS_MINIMIZE) != 0;
        tops.push_back(std::move(s));
    }
    return tops;
}

bool WindowExists(HWND hwnd)
{
    std::lock_guard lock(user::UserLock());
    return user::FindWindowPtr(hwnd) != nullptr;
}

} // namespace

std::unique_ptr<SdlDisplay> SdlDisplay::Start()
{
    std::unique_ptr<SdlDisplay> display(new SdlDisplay);
    auto started = std::make_shared<std::promise<bool>>();
    auto ready = started->get_future();
    SdlDisplay* self = display.get();
    display->m_thread = std::thread([self, started] {
        bool ok = self->Init();
        started->set_value(ok);
        if (ok)
            self->Run();
    });
    if (!ready.get()) {
        display->m_thread.join();
        return nullptr;
    }
    return display;
}

SdlDisplay::~SdlDisplay()
{
    Stop();
}

void SdlDisplay::Stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    Wake();
    // Xlib ends the process from the display thread when the X server goes away; the exit
    // handlers then stop the display on that very thread, which cannot wait for itself.
    if (m_thread.joinable() && m_thread.get_id() == std::this_thread::get_id())
        m_thread.detach();
    if (m_thread.joinable())
        m_thread.join();
    m_ended = true;
}

// Xlib's default answer to an error is to end the process. Errors about windows that are already
// gone come back asynchronously from SDL's own wake-up messages (sent to the window a wait began
// on) and mean nothing here; they must not end the program. The handler is set before SDL starts
// too: SDL puts back the handler it found when it closes its connection, and errors still pending
// then arrive while it closes. A connection that breaks (the X server went away) does end the
// program, at once: Xlib would call exit() on the display thread while the program's own threads
// go on using what exit() destroys.
static void TolerateXErrors(bool load)
{
    if (!load) {
        const char* driver = SDL_GetCurrentVideoDriver();
        if (!driver || std::strcmp(driver, "x11") != 0)
            return;
    }
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | (load ? 0 : RTLD_NOLOAD));
    if (!xlib)
        return;
    using Handler = int (*)(void*, void*);
    using SetHandler = Handler (*)(Handler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(xlib, "XSetErrorHandler")))
        set([](void*, void*) { return 0; });
    using IoHandler = int (*)(void*);
    using SetIoHandler = IoHandler (*)(IoHandler);
    if (auto set = reinterpret_cast<SetIoHandler>(dlsym(xlib, "XSetIOErrorHandler"))) {
        set([](void*) -> int {
            std::fputs("yonda: the connection to the display is gone\n", stderr);
            std::fflush(nullptr);
            _exit(1);
        });
    }
    // Loaded here, the library stays for SDL to find with the handlers in place.
    if (!load)
        dlclose(xlib);
}

bool SdlDisplay::Init()
{
    // The program keeps its own signal handling; the user's screensaver keeps working.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // A click that activates a window is also a click in it, as the program expects.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint("SDL_IME_SHOW_UI", "1");
    // Windows show pictures already composed in memory: the desktop's own framebuffer takes them,
    // with no GL context (and its renderer threads) per window beside the Direct3D device's.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    const char* x11 = std::getenv("DISPLAY");
    if (x11 && *x11)
        TolerateXErrors(true);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "yonda: no display (%s); running without one\n", SDL_GetError());
        return false;
    }
    // Unless asked for by name, SDL's off-screen drivers are where it ends when no desktop can be
    // reached: windows there show nowhere, so that is no display.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if ((!asked || !*asked) && driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
        std::fprintf(stderr, "yonda: no display (the desktop%s%s cannot be reached); running without one\n",
                     x11 && *x11 ? " at DISPLAY=" : "", x11 && *x11 ? x11 : "");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    TolerateXErrors(false);
    m_wakeEvent = SDL_RegisterEvents(1);
    SDL_Rect bounds, usable;
    if (SDL_GetDisplayBounds(0, &bounds) == 0) {
        std::lock_guard lock(m_mutex);
        m_screen = SIZE{bounds.w, bounds.h};
        m_workArea = RECT{bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
        if (SDL_GetDisplayUsableBounds(0, &usable) == 0)
            m_workArea = RECT{usable.x, usable.y, usable.x + usable.w, usable.y + usable.h};
    }
    m_helper = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR);
    SDL_StartTextInput();
    return m_wakeEvent != static_cast<Uint32>(-1);
}

void SdlDisplay::Run()
{
    CursorPlayer cursors;
    for (;;) {
        int timeout = cursors.Advance(NowMs());
        // Windows that vanish with their thread send no note: look again now and then.
        if (timeout < 0 || timeout > 500)
            timeout = 500;
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, timeout)) {
            Handle(event);
            while (SDL_PollEvent(&event))
                Handle(event);
        }
        bool cursorChanged, warp, clipboardChanged, stopping;
        HCURSOR cursor;
        POINT warpTo;
        std::string clipboard;
        std::vector<std::function<void()>> work;
        {
            std::lock_guard lock(m_mutex);
            cursorChanged = std::exchange(m_cursorChanged, false);
            cursor = m_cursor;
            warp = std::exchange(m_warp, false);
            warpTo = m_warpTo;
            clipboardChanged = std::exchange(m_clipboardChanged, false);
            clipboard = std::move(m_clipboard);
            work.swap(m_work);
            stopping = m_stopping;
        }
        Sync();
        if (cursorChanged)
            cursors.Show(cursor, NowMs());
        if (warp)
            SDL_WarpMouseGlobal(warpTo.x, warpTo.y);
        if (clipboardChanged)
            SDL_SetClipboardText(clipboard.c_str());
        for (auto& w : work)
            w();
        if (stopping)
            break;
    }
    for (auto& [hwnd, mirror] : m_mirrors)
        SDL_DestroyWindow(mirror->window);
    m_mirrors.clear();
    if (m_helper)
        SDL_DestroyWindow(m_helper);
    SDL_StopTextInput();
    std::vector<std::function<void()>> work;
    {
        std::lock_guard lock(m_mutex);
        work.swap(m_work);
    }
    for (auto& w : work)
        w();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void SdlDisplay::Wake()
{
    if (m_ended || m_wakePending.exchange(true))
        return;
    SDL_Event event{};
    event.type = m_wakeEvent;
    if (SDL_PushEvent(&event) <= 0)
        m_wakePending = false;
}

SIZE SdlDisplay::ScreenSize()
{
    std::lock_guard lock(m_mutex);
    return m_screen;
}

RECT SdlDisplay::WorkArea()
{
    std::lock_guard lock(m_mutex);
    return m_workArea;
}

void SdlDisplay::WindowChanged(HWND)
{
    {
        std::lock_guard lock(m_mutex);
        m_treeChanged = true;
    }
    Wake();
}

void SdlDisplay::WindowPainted(HWND top)
{
    {
        std::lock_guard lock(m_mutex);
        m_painted.insert(top);
    }
    Wake();
}

void SdlDisplay::Raise(HWND top)
{
    {
        std::lock_guard lock(m_mutex);
        m_raise = top;
        m_treeChanged = true;
    }
    Wake();
}

void SdlDisplay::SetCursor(HCURSOR cursor)
{
    {
        std::lock_guard lock(m_mutex);
        m_cursor = cursor;
        m_cursorChanged = true;
    }
    Wake();
}

void SdlDisplay::WarpCursor(int x, int y)
{
    {
        std::lock_guard lock(m_mutex);
        m_warp = true;
        m_warpTo = POINT{x, y};
    }
    Wake();
}

void SdlDisplay::SetClipboardText(const std::string& utf8)
{
    {
        std::lock_guard lock(m_mutex);
        m_clipboard = utf8;
        m_clipboardChanged = true;
    }
    Wake();
}

std::string SdlDisplay::ClipboardText()
{
    auto text = std::make_shared<std::string>();
    RunOnDisplayThread([text] {
        if (char* got = SDL_GetClipboardText()) {
            *text = got;
            SDL_free(got);
        }
    });
    return *text;
}

void SdlDisplay::RunOnDisplayThread(const std::function<void()>& work)
{
    if (std::this_thread::get_id() == m_thread.get_id()) {
        work();
        return;
    }
    auto done = std::make_shared<std::promise<void>>();
    auto finished = done->get_future();
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping)
            return;
        m_work.push_back([work, done] {
            work();
            done->set_value();
        });
    }
    Wake();
    finished.wait();
}

SDL_Window* SdlDisplay::DesktopWindowOf(HWND top)
{
    auto it = m_mirrors.find(top);
    return it == m_mirrors.end() ? nullptr : it->second->window;
}

HWND SdlDisplay::WindowOfId(Uint32 windowId, POINT* origin)
{
    for (auto& [hwnd, mirror] : m_mirrors) {
        if (mirror->id == windowId && mirror->shown) {
            *origin = POINT{mirror->rect.left, mirror->rect.top};
            return hwnd;
        }
    }
    return nullptr;
}

void SdlDisplay::ReleaseHeldKeys()
{
    for (UINT vk : m_keysDown)
        YondaInjectKey(vk, FALSE);
    m_keysDown.clear();
    if (m_composing) {
        YondaInjectComposition("", 0);
        m_composing = false;
    }
}

void SdlDisplay::Handle(const SDL_Event& event)
{
    if (event.type == m_wakeEvent) {
        m_wakePending = false;
        return;
    }
    POINT origin{};
    switch (event.type) {
    case SDL_MOUSEMOTION:
        if (WindowOfId(event.motion.windowID, &origin)) {
            m_pointer = POINT{origin.x + event.motion.x, origin.y + event.motion.y};
            YondaInjectMouseMove(m_pointer.x, m_pointer.y);
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        int button = event.button.button == SDL_BUTTON_LEFT     ? 0
                     : event.button.button == SDL_BUTTON_RIGHT  ? 1
                     : event.button.button == SDL_BUTTON_MIDDLE ? 2
                                                                : -1;
        if (button < 0 || !WindowOfId(event.button.windowID, &origin))
            break;
        m_pointer = POINT{origin.x + event.button.x, origin.y + event.button.y};
        YondaInjectMouseButton(button, event.type == SDL_MOUSEBUTTONDOWN, m_pointer.x, m_pointer.y);
        break;
    }
    case SDL_MOUSEWHEEL: {
        int notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        if (notches)
            YondaInjectMouseWheel(notches * WHEEL_DELTA, m_pointer.x, m_pointer.y);
        break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        UINT vk = VirtualKeyOf(event.key.keysym.sym, event.key.keysym.scancode);
        if (!vk)
            break;
        bool down = event.type == SDL_KEYDOWN;
        if (down)
            m_keysDown.insert(vk);
        else
            m_keysDown.erase(vk);
        YondaInjectKey(vk, down ? TRUE : FALSE);
        break;
    }
    case SDL_TEXTINPUT: {
        // Alt with a letter is a menu key (WM_SYSCHAR from the key itself), not typed text.
        SDL_Keymod mods = SDL_GetModState();
        if ((mods & KMOD_LALT) && !(mods & KMOD_CTRL))
            break;
        if (m_composing) {
            YondaInjectComposition("", 0);
            m_composing = false;
        }
        YondaInjectTextUtf8(event.text.text);
        break;
    }
    case SDL_TEXTEDITING: {
        std::string bytes = YondaUtf8ToCodePage(event.edit.text, 0);
        if (bytes.empty() && !m_composing)
            break;
        YondaInjectComposition(bytes.data(), bytes.size());
        m_composing = !bytes.empty();
        break;
    }
    case SDL_WINDOWEVENT: HandleWindowEvent(event.window); break;
    case SDL_DISPLAYEVENT: {
        SDL_Rect bounds, usable;
        if (SDL_GetDisplayBounds(0, &bounds) == 0) {
            std::lock_guard lock(m_mutex);
            m_screen = SIZE{bounds.w, bounds.h};
            m_workArea = RECT{bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
            if (SDL_GetDisplayUsableBounds(0, &usable) == 0)
                m_workArea = RECT{usable.x, usable.y, usable.x + usable.w, usable.y + usable.h};
        }
        break;
    }
    default: break;
    }
}

void SdlDisplay::HandleWindowEvent(const SDL_WindowEvent& event)
{
    POINT origin{};
    HWND hwnd = WindowOfId(event.windowID, &origin);
    if (!hwnd)
        return;
    Mirror& mirror = *m_mirrors[hwnd];
    switch (event.event) {
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESTORED: mirror.dirty = true; break;
    case SDL_WINDOWEVENT_CLOSE: PostMessageA(hwnd, WM_CLOSE, 0, 0); break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        // Keys let go of elsewhere never come back as releases.
        ReleaseHeldKeys();
        break;
    default: break;
    }
}

void SdlDisplay::Sync()
{
    std::set<HWND> painted;
    HWND raise;
    {
        std::lock_guard lock(m_mutex);
        painted.swap(m_painted);
        raise = std::exchange(m_raise, nullptr);
        m_treeChanged = false;
    }
    HWND active = nullptr;
    std::vector<TopState> tops = VisibleTops(&active);
    std::set<HWND> visible;
    std::vector<HWND> order;
    for (const TopState& top : tops) {
        visible.insert(top.hwnd);
        order.push_back(top.hwnd);
        int width = std::max<LONG>(1, top.rect.right - top.rect.left);
        int height = std::max<LONG>(1, top.rect.bottom - top.rect.top);
        auto& slot = m_mirrors[top.hwnd];
        bool created = false;
        if (!slot) {
            Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
            if (top.topmost)
                flags |= SDL_WINDOW_ALWAYS_ON_TOP;
            if (top.tool)
                flags |= SDL_WINDOW_SKIP_TASKBAR;
            std::string title = YondaCodePageToUtf8(top.title, 0);
            SDL_Window* window = SDL_CreateWindow(title.c_str(), top.rect.left, top.rect.top, width, height, flags);
            if (!window) {
                m_mirrors.erase(top.hwnd);
                continue;
            }
            slot = std::make_unique<Mirror>();
            slot->window = window;
            slot->id = SDL_GetWindowID(window);
            slot->rect = top.rect;
            slot->title = top.title;
            slot->topmost = top.topmost;
            created = true;
        }
        Mirror& m = *slot;
        if (m.rect.left != top.rect.left || m.rect.top != top.rect.top)
            SDL_SetWindowPosition(m.window, top.rect.left, top.rect.top);
        if (m.rect.right - m.rect.left != width || m.rect.bottom - m.rect.top != height) {
            SDL_SetWindowSize(m.window, width, height);
            m.dirty = true;
        }
        m.rect = top.rect;
        if (m.title != top.title) {
            m.title = top.title;
            SDL_SetWindowTitle(m.window, YondaCodePageToUtf8(top.title, 0).c_str());
        }
        if (m.topmost != top.topmost) {
            m.topmost = top.topmost;
            SDL_SetWindowAlwaysOnTop(m.window, top.topmost ? SDL_TRUE : SDL_FALSE);
        }
        if (!m.shown) {
            SDL_ShowWindow(m.window);
            m.shown = true;
            m.dirty = true;
            if (!created)
                SDL_SetWindowPosition(m.window, top.rect.left, top.rect.top);
            if (top.hwnd == active && !raise)
                raise = top.hwnd;
        }
        if (m.minimized != top.minimized) {
            m.minimized = top.minimized;
            if (top.minimized)
                SDL_MinimizeWindow(m.window);
            else
                SDL_RestoreWindow(m.window);
        }
    }
    // Windows no longer shown are hidden, and let go of once the window itself is gone.
    for (auto it = m_mirrors.begin(); it != m_mirrors.end();) {
        Mirror& m = *it->second;
        if (!visible.count(it->first)) {
            if (m.shown) {
                SDL_HideWindow(m.window);
                m.shown = false;
            }
            if (!WindowExists(it->first)) {
                SDL_DestroyWindow(m.window);
                it = m_mirrors.erase(it);
                continue;
            }
        }
        ++it;
    }
    // Stacking: raise from the bottom up whenever the order differs from the one last applied.
    if (order != m_order) {
        for (auto it = order.rbegin(); it != order.rend(); ++it)
            SDL_RaiseWindow(m_mirrors[*it]->window);
        m_order = order;
    }
    if (raise) {
        auto it = m_mirrors.find(raise);
        if (it != m_mirrors.end() && it->second->shown) {
            SDL_RaiseWindow(it->second->window);
            SDL_SetWindowInputFocus(it->second->window);
        }
    }
    for (HWND top : painted) {
        auto it = m_mirrors.find(top);
        if (it != m_mirrors.end())
            it->second->dirty = true;
    }
    for (auto& [hwnd, mirror] : m_mirrors)
        if (mirror->shown && mirror->dirty)
            Repaint(hwnd, *mirror);
}

void SdlDisplay::Repaint(HWND top, Mirror& mirror)
{
    mirror.dirty = false;
    SDL_Surface* target = SDL_GetWindowSurface(mirror.window);
    if (!target)
        return;
    auto surface = user::ExistingSurfaceOf(top);
    {
        std::lock_guard lock(user::SurfaceMutex());
        if (!surface || surface->PitchBytes() <= 0 || surface->Monochrome()) {
            SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
        } else {
            SDL_Surface* source =
                SDL_CreateRGBSurfaceWithFormatFrom(surface->Data(), surface->Width(), surface->Height(), 32,
                                                   static_cast<int>(surface->PitchBytes()), SDL_PIXELFORMAT_ARGB8888);
            if (source) {
                SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
                SDL_BlitSurface(source, nullptr, target, nullptr);
                SDL_FreeSurface(source);
            }
        }
    }
    SDL_UpdateWindowSurface(mirror.window);
}

} // namespace yonda::display
