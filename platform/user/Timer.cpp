// Window timers: per thread, identified by (window, id). A due timer yields one WM_TIMER when the
// queue has nothing else; however long the thread was busy, it does not pile up.
#include "Queue.h"
#include "Window.h"

#include <algorithm>
#include <climits>

namespace yonda::user {

uint64_t NextTimerDue(const ThreadQueue& queue)
{
    uint64_t due = UINT64_MAX;
    for (const Timer& t : queue.timers)
        due = std::min(due, t.due);
    return due;
}

bool TakeDueTimer(ThreadQueue& queue, HWND filter, MSG* msg, bool remove)
{
    uint64_t now = NowMs();
    Timer* best = nullptr;
    for (Timer& t : queue.timers) {
        if (t.due > now)
            continue;
        if (filter && filter != t.hwnd && !(t.hwnd && IsChild(filter, t.hwnd)))
            continue;
        if (!best || t.due < best->due)
            best = &t;
    }
    if (!best)
        return false;
    *msg = MSG{best->hwnd, WM_TIMER, best->id, reinterpret_cast<LPARAM>(best->proc), static_cast<DWORD>(now), {}};
    GetCursorPos(&msg->pt);
    if (remove)
        best->due = now + best->elapse;
    return true;
}

void KillTimersOf(ThreadQueue& queue, HWND hwnd)
{
    std::erase_if(queue.timers, [hwnd](const Timer& t) { return t.hwnd == hwnd; });
}

} // namespace yonda::user

using namespace yonda::user;

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    auto queue = CurrentQueue();
    if (hwnd) {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (!w || w->queue != queue || w->destroying)
            return 0;
    }
    elapse = std::clamp<UINT>(elapse, 10, 0x7FFFFFFF);
    if (!hwnd) {
        // Thread timers get an id of their own unless an existing one is being reset.
        bool exists = std::any_of(queue->timers.begin(), queue->timers.end(),
                                  [id](const Timer& t) { return !t.hwnd && t.id == id; });
        if (!exists || id == 0) {
            static thread_local UINT_PTR next = 0x7FFF;
            do {
                next = next >= 0xFFFF ? 0x8000 : next + 1;
            } while (std::any_of(queue->timers.begin(), queue->timers.end(),
                                 [](const Timer& t) { return !t.hwnd && t.id == next; }));
            id = next;
        }
    }
    for (Timer& t : queue->timers) {
        if (t.hwnd == hwnd && t.id == id) {
            t.elapse = elapse;
            t.proc = proc;
            t.due = NowMs() + elapse;
            return id ? id : 1;
        }
    }
    queue->timers.push_back(Timer{hwnd, id, elapse, proc, NowMs() + elapse});
    return id ? id : 1;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id)
{
    auto queue = CurrentQueue();
    auto before = queue->timers.size();
    std::erase_if(queue->timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (before == queue->timers.size())
        return FALSE;
    // A WM_TIMER already taken by PeekMessage(PM_NOREMOVE) is not withdrawn; posted ones are.
    std::lock_guard lock(queue->mutex);
    std::erase_if(queue->posted,
                  [&](const MSG& m) { return m.message == WM_TIMER && m.hwnd == hwnd && m.wParam == id; });
    return TRUE;
}
