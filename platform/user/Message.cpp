// Sending, posting and retrieving messages. Each GUI thread has its queue; a message sent to a
// window of another thread waits in that thread's sent list until it pumps, and the sender keeps
// handling messages sent to itself meanwhile, so two threads sending to each other never deadlock.
#include "Queue.h"
#include "Window.h"
#include "../kernel/Clock.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <map>

namespace yonda::user {
namespace {

struct QueueRegistry {
    std::mutex mutex;
    std::map<DWORD, std::weak_ptr<ThreadQueue>> byThread;
};

QueueRegistry& Registry()
{
    static QueueRegistry* registry = new QueueRegistry; // outlives every thread's exit
    return *registry;
}

void EndQueue(const std::shared_ptr<ThreadQueue>& queue);

struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder()
    {
        if (queue)
            EndQueue(queue);
    }
};

thread_local QueueHolder t_holder;

void Complete(SentMessage& sm, LRESULT result)
{
    if (sm.replied)
        return;
    sm.replied = true;
    if (!sm.sender)
        return;
    {
        std::lock_guard lock(sm.sender->mutex);
        sm.result = result;
        sm.done = true;
    }
    sm.sender->wake.notify_all();
}

// A thread that ends takes its windows with it; senders waiting on it get 0.
void EndQueue(const std::shared_ptr<ThreadQueue>& queue)
{
    std::deque<std::shared_ptr<SentMessage>> pending;
    {
        std::lock_guard lock(queue->mutex);
        queue->alive = false;
        pending.swap(queue->sent);
        queue->posted.clear();
        queue->input.clear();
    }
    for (auto& sm : pending)
        Complete(*sm, 0);
    {
        std::lock_guard lock(UserLock());
        for (auto& w : AllWindows()) {
            if (w->queue != queue)
                continue;
            if (w->parent) {
                if (auto p = FindWindowPtr(w->parent))
                    std::erase(p->children, w->handle);
            }
            w->destroyed = true;
            RemoveWindow(w->handle);
        }
    }
    std::lock_guard lock(Registry().mutex);
    Registry().byThread.erase(queue->threadId);
}

bool MatchesFilter(const MSG& msg, HWND filter, UINT minMsg, UINT maxMsg)
{
    if (minMsg || maxMsg) {
        if (msg.message < minMsg || msg.message > maxMsg)
            return false;
    }
    if (filter == nullptr)
        return true;
    if (filter == reinterpret_cast<HWND>(-1))
        return msg.hwnd == nullptr;
    return msg.hwnd == filter || (msg.hwnd && IsChild(filter, msg.hwnd));
}

bool InRange(UINT message, UINT minMsg, UINT maxMsg)
{
    return (minMsg == 0 && maxMsg == 0) || (message >= minMsg && message <= maxMsg);
}

} // namespace

// Timers and message times run on the kernel's clock, so a test that stops and steps it steps
// WM_TIMER with everything else.
uint64_t NowMs()
{
    return yonda::kernel::ClockMilliseconds();
}

// A clock stepped by hand may have made timers due that sleeping threads wait for.
static void WakeEveryQueue()
{
    std::vector<std::shared_ptr<ThreadQueue>> queues;
    {
        std::lock_guard lock(Registry().mutex);
        for (auto& [id, weak] : Registry().byThread)
            if (auto q = weak.lock())
                queues.push_back(std::move(q));
    }
    for (auto& q : queues) {
        // Taking the queue's mutex orders the wake after a waiter's last look at the clock.
        {
            std::lock_guard lock(q->mutex);
        }
        q->wake.notify_all();
    }
}

// Queues are keyed by the kernel's thread id, so the id a program reads from
// GetCurrentThreadId or a CWinThread reaches the right queue.
DWORD CurrentThreadKey()
{
    return GetCurrentThreadId();
}

std::shared_ptr<ThreadQueue> CurrentQueue()
{
    if (!t_holder.queue) {
        static const bool listening = (yonda::kernel::SetClockAdvanceListener(&WakeEveryQueue), true);
        (void)listening;
        auto queue = std::make_shared<ThreadQueue>();
        queue->threadId = CurrentThreadKey();
        std::lock_guard lock(Registry().mutex);
        Registry().byThread[queue->threadId] = queue;
        t_holder.queue = std::move(queue);
    }
    return t_holder.queue;
}

std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId)
{
    std::lock_guard lock(Registry().mutex);
    auto it = Registry().byThread.find(threadId);
    return it == Registry().byThread.end() ? nullptr : it->second.lock();
}

LRESULT CallProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC proc = nullptr;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (!w)
            return 0;
        proc = w->proc;
    }
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

bool ProcessSentMessages(ThreadQueue& queue)
{
    bool any = false;
    for (;;) {
        std::shared_ptr<SentMessage> sm;
        {
            std::lock_guard lock(queue.mutex);
            if (queue.sent.empty())
                return any;
            sm = queue.sent.front();
            queue.sent.pop_front();
        }
        any = true;
        queue.receiving.push_back(sm);
        LRESULT result = sm->task ? sm->task() : CallProc(sm->hwnd, sm->message, sm->wParam, sm->lParam);
        queue.receiving.pop_back();
        Complete(*sm, result);
    }
}

// Posted messages come first, then the quit flag, input, paint and timers, as Windows orders them.
static bool PeekInternal(MSG* msg, HWND filter, UINT minMsg, UINT maxMsg, bool remove)
{
    auto queue = CurrentQueue();
    ProcessSentMessages(*queue);
    {
        std::lock_guard lock(queue->mutex);
        for (auto it = queue->posted.begin(); it != queue->posted.end(); ++it) {
            if (!MatchesFilter(*it, filter, minMsg, maxMsg))
                continue;
            *msg = *it;
            if (remove)
                queue->posted.erase(it);
            queue->last = *msg;
            return true;
        }
        if (queue->quit && InRange(WM_QUIT, minMsg, maxMsg)) {
            *msg = MSG{};
            msg->message = WM_QUIT;
            msg->wParam = static_cast<WPARAM>(queue->quitCode);
            msg->time = static_cast<DWORD>(NowMs());
            if (remove)
                queue->quit = false;
            queue->last = *msg;
            return true;
        }
    }
    if (TakeInput(*queue, filter, minMsg, maxMsg, msg, remove)) {
        queue->last = *msg;
        return true;
    }
    if (InRange(WM_PAINT, minMsg, maxMsg) && TakePaint(*queue, filter, msg)) {
        queue->last = *msg;
        return true;
    }
    if (InRange(WM_TIMER, minMsg, maxMsg) && TakeDueTimer(*queue, filter, msg, remove)) {
        queue->last = *msg;
        return true;
    }
    return false;
}

// Sleeps until something may have arrived for this thread or a timer falls due.
static void WaitForWork(ThreadQueue& queue)
{
    uint64_t due = NextTimerDue(queue);
    std::unique_lock lock(queue.mutex);
    if (!queue.posted.empty() || !queue.sent.empty() || !queue.input.empty() || queue.quit)
        return;
    {
        std::lock_guard tree(UserLock());
        if (queue.paintCount > 0)
            return;
    }
    if (due == UINT64_MAX) {
        queue.wake.wait(lock);
    } else {
        uint64_t now = NowMs();
        if (due <= now)
            return;
        queue.wake.wait_for(lock, std::chrono::milliseconds(std::min<uint64_t>(due - now, 50)));
    }
}

} // namespace yonda::user

using namespace yonda::user;

namespace yonda::user {

static LRESULT SendInternal(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, std::function<LRESULT()> task)
{
    std::shared_ptr<ThreadQueue> target;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (!w)
            return 0;
        target = w->queue;
    }
    auto self = CurrentQueue();
    if (target == self)
        return task ? task() : CallProc(hwnd, message, wParam, lParam);

    auto sm = std::make_shared<SentMessage>();
    sm->hwnd = hwnd;
    sm->message = message;
    sm->wParam = wParam;
    sm->lParam = lParam;
    sm->sender = self;
    sm->task = std::move(task);
    {
        std::lock_guard lock(target->mutex);
        if (!target->alive)
            return 0;
        target->sent.push_back(sm);
    }
    target->wake.notify_all();
    for (;;) {
        ProcessSentMessages(*self);
        std::unique_lock lock(self->mutex);
        if (sm->done)
            return sm->result;
        if (!self->sent.empty())
            continue;
        self->wake.wait(lock);
    }
}

LRESULT RunOnWindowThread(HWND hwnd, std::function<LRESULT()> task)
{
    return SendInternal(hwnd, WM_NULL, 0, 0, std::move(task));
}

} // namespace yonda::user

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendInternal(hwnd, message, wParam, lParam, nullptr);
}

BOOL SendNotifyMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::shared_ptr<ThreadQueue> target;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (!w)
            return FALSE;
        target = w->queue;
    }
    if (target == CurrentQueue()) {
        CallProc(hwnd, message, wParam, lParam);
        return TRUE;
    }
    auto sm = std::make_shared<SentMessage>();
    sm->hwnd = hwnd;
    sm->message = message;
    sm->wParam = wParam;
    sm->lParam = lParam;
    {
        std::lock_guard lock(target->mutex);
        if (!target->alive)
            return FALSE;
        target->sent.push_back(sm);
    }
    target->wake.notify_all();
    return TRUE;
}

BOOL InSendMessage()
{
    return CurrentQueue()->receiving.empty() ? FALSE : TRUE;
}

BOOL ReplyMessage(LRESULT result)
{
    auto queue = CurrentQueue();
    if (queue->receiving.empty())
        return FALSE;
    auto& sm = *queue->receiving.back();
    if (sm.replied)
        return FALSE;
    Complete(sm, result);
    return TRUE;
}

static BOOL PostTo(const std::shared_ptr<ThreadQueue>& queue, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!queue)
        return FALSE;
    MSG msg{hwnd, message, wParam, lParam, static_cast<DWORD>(NowMs()), {}};
    GetCursorPos(&msg.pt);
    {
        std::lock_guard lock(queue->mutex);
        if (!queue->alive)
            return FALSE;
        if (queue->posted.size() >= kPostedLimit) {
            SetLastError(ERROR_NOT_ENOUGH_QUOTA);
            return FALSE;
        }
        queue->posted.push_back(msg);
    }
    queue->wake.notify_all();
    return TRUE;
}

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hwnd == nullptr)
        return PostTo(CurrentQueue(), nullptr, message, wParam, lParam);
    if (hwnd == HWND_BROADCAST) {
        BOOL any = FALSE;
        std::vector<HWND> tops;
        {
            std::lock_guard lock(UserLock());
            tops = TopLevelOrder();
        }
        for (HWND top : tops)
            any |= PostMessageA(top, message, wParam, lParam);
        return any;
    }
    std::shared_ptr<ThreadQueue> target;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (!w || w->destroying)
            return FALSE;
        target = w->queue;
    }
    return PostTo(target, hwnd, message, wParam, lParam);
}

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostTo(QueueOfThread(threadId), nullptr, message, wParam, lParam);
}

void PostQuitMessage(int exitCode)
{
    auto queue = CurrentQueue();
    {
        std::lock_guard lock(queue->mutex);
        queue->quit = true;
        queue->quitCode = exitCode;
    }
    queue->wake.notify_all();
}

BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT minMsg, UINT maxMsg, UINT removeMsg)
{
    MSG local{};
    if (!PeekInternal(&local, hwnd, minMsg, maxMsg, (removeMsg & PM_REMOVE) != 0))
        return FALSE;
    if (msg)
        *msg = local;
    return TRUE;
}

BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT minMsg, UINT maxMsg)
{
    if (msg == nullptr)
        return -1;
    auto queue = CurrentQueue();
    for (;;) {
        if (PeekInternal(msg, hwnd, minMsg, maxMsg, true))
            return msg->message == WM_QUIT ? FALSE : TRUE;
        WaitForWork(*queue);
    }
}

BOOL WaitMessage()
{
    auto queue = CurrentQueue();
    ProcessSentMessages(*queue);
    WaitForWork(*queue);
    return TRUE;
}

DWORD GetQueueStatus(UINT flags)
{
    auto queue = CurrentQueue();
    DWORD status = 0;
    {
        std::lock_guard lock(queue->mutex);
        if (!queue->posted.empty())
            status |= QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;
        if (!queue->sent.empty())
            status |= QS_SENDMESSAGE;
        if (!queue->input.empty())
            status |= QS_INPUT;
    }
    {
        std::lock_guard tree(UserLock());
        if (queue->paintCount > 0)
            status |= QS_PAINT;
    }
    if (NextTimerDue(*queue) <= NowMs())
        status |= QS_TIMER;
    status &= flags;
    return (status << 16) | status;
}

DWORD GetMessageTime()
{
    return CurrentQueue()->last.time;
}

DWORD GetMessagePos()
{
    const MSG& m = CurrentQueue()->last;
    return static_cast<DWORD>(MAKELONG(m.pt.x, m.pt.y));
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

LRESULT DispatchMessageA(const MSG* msg)
{
    if (msg == nullptr || msg->hwnd == nullptr) {
        if (msg && msg->message == WM_TIMER && msg->lParam)
            reinterpret_cast<TIMERPROC>(msg->lParam)(nullptr, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    if (msg->message == WM_TIMER && msg->lParam) {
        if (!IsWindow(msg->hwnd))
            return 0;
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    unsigned serial = 0;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(msg->hwnd);
        if (!w || w->queue != CurrentQueue())
            return 0;
        serial = w->paintSerial;
    }
    if (msg->message != WM_PAINT)
        return CallProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    LRESULT result = CallProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    // A procedure that neither painted nor validated would get WM_PAINT for ever.
    bool stuck = false;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(msg->hwnd);
        stuck = w && !IsRectEmpty(&w->invalid) && w->paintSerial == serial;
    }
    if (stuck)
        ValidateRect(msg->hwnd, nullptr);
    return result;
}

UINT RegisterWindowMessageA(LPCSTR name)
{
    static std::mutex mutex;
    static std::map<std::string, UINT> names;
    if (name == nullptr || *name == '\0')
        return 0;
    std::lock_guard lock(mutex);
    auto it = names.find(name);
    if (it != names.end())
        return it->second;
    UINT id = 0xC000 + static_cast<UINT>(names.size());
    if (id > 0xFFFF)
        return 0;
    names[name] = id;
    return id;
}
