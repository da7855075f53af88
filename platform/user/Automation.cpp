// The automation hook's two ways in: a script run once the first top-level window exists, and a
// Unix socket served a connection at a time, each on a thread of its own. Ending the program is
// the one thing they share: its main window closed (after WM_QUIT while a modal loop runs), then
// a bound after which the process is ended anyway, so a tour never hangs.
#include "Automation.h"

#include "AutomationCommands.h"
#include "Queue.h"
#include "Window.h"
#include "yonda_automation.h"

#include <windows.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

namespace yonda::user {
namespace {

using namespace automation;

std::atomic<DWORD> g_mainThread{0};  // the process's first thread, once it made a window
std::atomic<DWORD> g_firstThread{0}; // the thread of the first top-level window
std::atomic<bool> g_exiting{false};
std::atomic<int> g_failure{0}; // 1 once a script failed: the program's exit status
std::once_flag g_started;
std::once_flag g_watching;

// Kept for the exit handler, which may run while a server thread still reads it.
std::string& SocketPath()
{
    static std::string& path = *new std::string;
    return path;
}

const char* Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

void OnExit()
{
    g_exiting = true;
    if (!SocketPath().empty())
        unlink(SocketPath().c_str());
    if (int failure = g_failure.load()) {
        std::fflush(nullptr);
        _exit(failure);
    }
}

// The program's main window: the oldest visible top-level window of the main thread that no
// other window owns.
HWND MainWindow(DWORD thread)
{
    std::lock_guard lock(UserLock());
    for (const WindowPtr& w : AllWindows()) {
        if (w->parent || w->owner || w->messageOnly || w->destroying || !(w->style & WS_VISIBLE))
            continue;
        if (w->queue && w->queue->threadId == thread)
            return w->handle;
    }
    return nullptr;
}

// Ends the program as a user would: closing its main window. While a modal loop runs (the main
// window is disabled, or there is none yet) WM_QUIT ends the loops first; the close waits behind
// it, so the main window still goes the way it always goes.
void EndProgram(bool failed)
{
    if (failed)
        g_failure = 1;
    DWORD thread = g_mainThread.load();
    if (!thread)
        thread = g_firstThread.load();
    HWND main = MainWindow(thread);
    if (!main || !IsWindowEnabled(main))
        PostThreadMessageA(thread, WM_QUIT, 0, 0);
    if (main)
        PostMessageA(main, WM_CLOSE, 0, 0);
    std::call_once(g_watching, [] {
        std::thread([] {
            const char* value = Variable("YONDA_AUTOMATION_QUIT_MS");
            int ms = value ? std::atoi(value) : 0;
            if (ms <= 0)
                ms = YONDA_AUTOMATION_DEFAULT_QUIT_MS;
            auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
            while (std::chrono::steady_clock::now() < deadline) {
                if (g_exiting)
                    return;
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            if (g_exiting)
                return;
            std::fprintf(stderr, "automation: the program did not end within %d ms of quit; ending it\n", ms);
            std::fflush(nullptr);
            int failure = g_failure.load();
            _exit(failure ? failure : 2);
        }).detach();
    });
}

void RunScript(std::string path)
{
    std::ifstream file(path);
    if (!file) {
        std::fprintf(stderr, "automation: cannot read the script %s\n", path.c_str());
        EndProgram(true);
        return;
    }
    Session session;
    std::string line;
    int number = 0;
    while (std::getline(file, line) && !g_exiting) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#')
            continue;
        Answer answer = session.Execute(std::string_view(line).substr(start));
        if (!answer.ok) {
            std::fprintf(stderr, "automation: %s:%d: %s: error %s\n", path.c_str(), number, line.c_str() + start,
                         answer.text.c_str());
            EndProgram(true);
            return;
        }
        if (answer.print) {
            if (answer.items.empty() && !answer.text.empty())
                std::printf("%s\n", answer.text.c_str());
            for (const std::string& item : answer.items)
                std::printf("%s\n", item.c_str());
            std::fflush(stdout);
        }
        if (answer.quit) {
            EndProgram(false);
            return;
        }
    }
}

bool SendLine(int fd, const std::string& text)
{
    std::string line = text + '\n';
    size_t sent = 0;
    while (sent < line.size()) {
        ssize_t n = send(fd, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

// Answers one connection's lines until it closes.
void Converse(int fd)
{
    constexpr size_t kLongestLine = 1 << 16;
    Session session;
    std::string pending;
    char buffer[4096];
    for (;;) {
        size_t newline;
        while ((newline = pending.find('\n')) != std::string::npos) {
            std::string line = pending.substr(0, newline);
            pending.erase(0, newline + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            Answer answer = session.Execute(line);
            if (!SendLine(fd, (answer.ok ? "ok" : "error") + (answer.text.empty() ? "" : " " + answer.text)))
                return;
            if (answer.quit)
                EndProgram(false);
        }
        if (pending.size() > kLongestLine) {
            SendLine(fd, "error the line is too long");
            return;
        }
        ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        pending.append(buffer, static_cast<size_t>(n));
    }
}

void Serve(int listener)
{
    while (!g_exiting) {
        int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            std::fprintf(stderr, "automation: the socket stopped accepting: %s\n", std::strerror(errno));
            return;
        }
        Converse(fd);
        close(fd);
    }
}

// A listening socket at path, or -1 with the reason on stderr. A socket that answers a connection
// belongs to a program still running (a second instance started with the same environment).
int Listen(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        std::fprintf(stderr, "automation: the socket path %s is too long\n", path.c_str());
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    bool taken = probe >= 0 && connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (probe >= 0)
        close(probe);
    if (taken) {
        std::fprintf(stderr, "automation: another program listens on %s; this one is not driven\n", path.c_str());
        return -1;
    }
    unlink(path.c_str());
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0) {
        std::fprintf(stderr, "automation: cannot listen on %s: %s\n", path.c_str(), std::strerror(errno));
        if (fd >= 0)
            close(fd);
        return -1;
    }
    SocketPath() = path;
    return fd;
}

void Start()
{
    const char* script = Variable("YONDA_AUTOMATION");
    const char* socketPath = Variable("YONDA_AUTOMATION_SOCKET");
    if (!script && !socketPath)
        return;
    std::atexit(&OnExit);
    if (socketPath) {
        int listener = Listen(socketPath);
        if (listener >= 0)
            std::thread(&Serve, listener).detach();
    }
    if (script)
        std::thread(&RunScript, std::string(script)).detach();
}

} // namespace

void AutomationNoticeTopLevel()
{
    DWORD self = GetCurrentThreadId();
    if (!g_mainThread.load(std::memory_order_relaxed) && gettid() == getpid())
        g_mainThread = self;
    DWORD none = 0;
    g_firstThread.compare_exchange_strong(none, self);
    std::call_once(g_started, &Start);
}

} // namespace yonda::user
