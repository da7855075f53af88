// Records the messages windows receive, for comparing with the sequence Windows produces.
#pragma once

#include "MessagePump.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace yonda::test {

// One message a window received. An expected entry may leave wParam out to match any.
struct Logged {
    std::string window;
    UINT message;
    std::optional<WPARAM> wParam = std::nullopt;
    bool operator==(const Logged& o) const
    {
        return window == o.window && message == o.message && (!wParam || !o.wParam || *wParam == *o.wParam);
    }
};

inline std::ostream& operator<<(std::ostream& os, const Logged& l)
{
    os << l.window << ":0x" << std::hex << l.message << std::dec;
    if (l.wParam)
        os << "(" << *l.wParam << ")";
    return os;
}

// A window class whose procedure logs the messages named in `watched` under the window's text.
class MessageLog {
public:
    static MessageLog*& Current()
    {
        static MessageLog* log = nullptr;
        return log;
    }

    explicit MessageLog(std::set<UINT> watched) : m_watched(std::move(watched))
    {
        Current() = this;
        WNDCLASSA wc{};
        wc.lpfnWndProc = &MessageLog::Proc;
        wc.lpszClassName = "LoggedWindow";
        wc.style = CS_DBLCLKS;
        RegisterClassA(&wc);
    }
    ~MessageLog() { Current() = nullptr; }

    void Clear() { m_log.clear(); }
    const std::vector<Logged>& Log() const { return m_log; }

    // Per-window reactions a test installs (return true when handled, with *result set).
    std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> react;

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        MessageLog* self = Current();
        if (self) {
            if (self->m_watched.count(msg)) {
                char name[64];
                GetWindowTextA(hwnd, name, sizeof name);
                self->m_log.push_back({name, msg, wp});
            }
            LRESULT result = 0;
            if (self->react && self->react(hwnd, msg, wp, lp, &result))
                return result;
        }
        return DefWindowProcA(hwnd, msg, wp, lp);
    }

private:
    std::set<UINT> m_watched;
    std::vector<Logged> m_log;
};

// The user tests' name for the shared pump.
inline void PumpPending()
{
    yonda::testing::Pump();
}

} // namespace yonda::test
