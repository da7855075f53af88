#include "Rendezvous.h"

#include <yonda_platform.h>

#include <dirent.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace yonda::user {
namespace {

constexpr uintptr_t kPeerTag = 0x7E000000;
constexpr int kAnswerWaitMs = 5000; // a busy program may take a while to raise its window

struct PeerWindow {
    std::string socketPath;
    unsigned long remote = 0;
};

std::mutex& PeerLock()
{
    static auto* lock = new std::mutex;
    return *lock;
}

std::vector<PeerWindow>& Peers()
{
    static auto* peers = new std::vector<PeerWindow>;
    return *peers;
}

std::string SocketPathOf(pid_t pid)
{
    return YondaRuntimeDirectory() + "/windows-" + std::to_string(pid) + ".sock";
}

bool FillAddress(const std::string& path, sockaddr_un* address)
{
    if (path.size() >= sizeof(address->sun_path)) {
        return false;
    }
    std::memset(address, 0, sizeof(*address));
    address->sun_family = AF_UNIX;
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

// One line out, one line back, within a bounded wait.
bool Ask(const std::string& path, const std::string& question, std::string* answer)
{
    sockaddr_un address{};
    if (!FillAddress(path, &address)) {
        return false;
    }
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) {
        return false;
    }
    bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
              ::send(s, question.data(), question.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(question.size());
    answer->clear();
    while (ok && (answer->empty() || answer->back() != '\n')) {
        pollfd ready{s, POLLIN, 0};
        if (::poll(&ready, 1, kAnswerWaitMs) <= 0) {
            ok = false;
            break;
        }
        char buffer[64];
        const ssize_t got = ::recv(s, buffer, sizeof(buffer), 0);
        if (got <= 0) {
            ok = false;
            break;
        }
        answer->append(buffer, static_cast<size_t>(got));
    }
    ::close(s);
    return ok;
}

// "find CLASS\tTITLE" (an empty field matches anything) or "raise HANDLE".
std::string Answer(const std::string& line)
{
    if (line.rfind("find ", 0) == 0) {
        const std::string rest = line.substr(5);
        const size_t tab = rest.find('\t');
        if (tab == std::string::npos) {
            return "0\n";
        }
        const std::string cls = rest.substr(0, tab);
        const std::string title = rest.substr(tab + 1);
        HWND found = FindOwnWindow(cls.empty() ? nullptr : cls.c_str(), title.empty() ? nullptr : title.c_str());
        return std::to_string(reinterpret_cast<uintptr_t>(found)) + "\n";
    }
    if (line.rfind("raise ", 0) == 0) {
        HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoul(line.c_str() + 6, nullptr, 10)));
        if (!::IsWindow(hwnd)) {
            return "0\n";
        }
        // The window's own thread does the raising, as a click on it would.
        if (::IsIconic(hwnd)) {
            ::PostMessageA(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
        }
        ::SetForegroundWindow(hwnd);
        return "1\n";
    }
    return "0\n";
}

void Serve(int listener)
{
    for (;;) {
        const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        std::string line;
        char buffer[512];
        while (line.find('\n') == std::string::npos && line.size() < 1024) {
            pollfd ready{client, POLLIN, 0};
            if (::poll(&ready, 1, kAnswerWaitMs) <= 0) {
                break;
            }
            const ssize_t got = ::recv(client, buffer, sizeof(buffer), 0);
            if (got <= 0) {
                break;
            }
            line.append(buffer, static_cast<size_t>(got));
        }
        const size_t end = line.find('\n');
        if (end != std::string::npos) {
            const std::string answer = Answer(line.substr(0, end));
            ::send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
        }
        ::close(client);
    }
}

void RemoveOwnSocket()
{
    ::unlink(SocketPathOf(::getpid()).c_str());
}

} // namespace

void StartWindowRendezvous()
{
    static std::once_flag started;
    std::call_once(started, [] {
        const std::string path = SocketPathOf(::getpid());
        sockaddr_un address{};
        if (!FillAddress(path, &address)) {
            return;
        }
        const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (listener < 0) {
            return;
        }
        ::unlink(path.c_str());
        if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
            ::listen(listener, 8) != 0) {
            ::close(listener);
            return;
        }
        std::atexit(RemoveOwnSocket);
        std::thread(Serve, listener).detach();
    });
}

HWND FindPeerWindow(LPCSTR className, LPCSTR title)
{
    const std::string folder = YondaRuntimeDirectory();
    const std::string own = "windows-" + std::to_string(::getpid()) + ".sock";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        return nullptr;
    }
    std::vector<std::string> sockets;
    while (dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind("windows-", 0) == 0 && name.size() > 5 && name.compare(name.size() - 5, 5, ".sock") == 0 &&
            name != own) {
            sockets.push_back(folder + "/" + name);
        }
    }
    ::closedir(dir);
    const std::string question =
        std::string("find ") + (className ? className : "") + "\t" + (title ? title : "") + "\n";
    for (const std::string& path : sockets) {
        std::string answer;
        if (!Ask(path, question, &answer)) {
            continue;
        }
        const unsigned long remote = std::strtoul(answer.c_str(), nullptr, 10);
        if (remote == 0) {
            continue;
        }
        std::lock_guard lock(PeerLock());
        Peers().push_back({path, remote});
        return reinterpret_cast<HWND>(kPeerTag + Peers().size() - 1);
    }
    return nullptr;
}

bool RaisePeerWindow(HWND hwnd, BOOL* raised)
{
    const uintptr_t value = reinterpret_cast<uintptr_t>(hwnd);
    PeerWindow peer;
    {
        std::lock_guard lock(PeerLock());
        if (value < kPeerTag || value - kPeerTag >= Peers().size()) {
            return false;
        }
        peer = Peers()[value - kPeerTag];
    }
    std::string answer;
    *raised = Ask(peer.socketPath, "raise " + std::to_string(peer.remote) + "\n", &answer) && answer == "1\n";
    return true;
}

} // namespace yonda::user
