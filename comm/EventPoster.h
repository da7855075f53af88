// Hands the service's events to the notify window as posted messages with heap blocks, keeping
// them in order until a window is given, and freeing a block whose message cannot be posted.
// A window that stops reading its queue fills it (the platform takes 10,000 posts a queue); the
// events after that wait here, in a backlog of bounded size that is posted as the window reads
// again. When the backlog is full, what goes first is other members' chat lines in the place,
// the oldest first, then older moves of a member that moved again since; the member's own chat
// lines, everything about the place and its members, instant messages and the loss of the
// connection are kept as long as anything else can go.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#include "protocol/Events.h"

namespace yonda::comm {

class EventPoster {
public:
    explicit EventPoster(size_t backlogLimit = 2000);
    ~EventPoster();
    EventPoster(const EventPoster&) = delete;
    EventPoster& operator=(const EventPoster&) = delete;

    void setWindow(HWND window);
    // The member's own user number once logged in: its chat lines are never dropped.
    void setOwnUser(int32_t user);
    void post(proto::DecodedEvent&& event);
    void postLoss();

    // The block for an event, as the client receives it in lParam.
    static LPARAM makeBlock(const proto::DecodedEvent& event);

private:
    enum class Keep { Spare, Coalesce, Hold }; // how readily an event may go when space runs out
    struct Pending {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        Keep keep = Keep::Hold;
        int32_t user = 0; // the member a move is about
    };
    void add(Pending pending);
    // Posts from the front while the window's queue takes them; false when it is full.
    bool flush();
    // True when the message was posted or cannot ever be (its block freed); false when the
    // window's queue is full and it must wait.
    bool deliver(const Pending& pending);
    void makeRoom();
    void retry();

    size_t m_limit;
    std::mutex m_lock;
    std::condition_variable m_wake;
    HWND m_window = nullptr;
    int32_t m_ownUser = 0;
    std::deque<Pending> m_waiting;
    bool m_stopping = false;
    std::thread m_retrier; // posts the backlog while the window's queue is full
};

} // namespace yonda::comm
