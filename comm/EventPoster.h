// Hands the service's events to the notify window as posted messages with heap blocks, keeping
// them in order until a window is given, and freeing a block whose message cannot be posted.
#pragma once

#include <windows.h>

#include <deque>
#include <mutex>

#include "protocol/Events.h"

namespace yonda::comm {

class EventPoster {
public:
    EventPoster() = default;
    ~EventPoster();

    void setWindow(HWND window);
    void post(proto::DecodedEvent&& event);
    void postLoss();

    // The block for an event, as the client receives it in lParam.
    static LPARAM makeBlock(const proto::DecodedEvent& event);

private:
    struct Pending {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    void deliver(const Pending& pending);

    std::mutex m_lock;
    HWND m_window = nullptr;
    std::deque<Pending> m_waiting;
};

} // namespace yonda::comm
