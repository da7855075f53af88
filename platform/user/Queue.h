// The message queue of one GUI thread: posted messages, input, messages sent from other threads,
// the quit flag and the thread's timers. Other threads touch only the posted and sent lists, under
// the queue's own mutex, so PostMessage never waits for the window tree.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace yonda::user {

struct ThreadQueue;

// A message sent from another thread: the sender waits until `done`.
struct SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
    bool done = false;
    bool replied = false;
    std::shared_ptr<ThreadQueue> sender; // null for notifications nobody waits for
    std::function<LRESULT()> task;       // window-manager work done on the owner's thread
};

struct Timer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT elapse = 0;
    TIMERPROC proc = nullptr;
    uint64_t due = 0;
};

// Posted messages one queue holds at most; a post beyond it fails with ERROR_NOT_ENOUGH_QUOTA,
// so a thread that stops reading its queue cannot make its posters grow memory without end.
inline constexpr size_t kPostedLimit = 10000;

struct ThreadQueue {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<MSG> posted;
    std::deque<MSG> input;
    std::deque<std::shared_ptr<SentMessage>> sent;
    bool quit = false;
    int quitCode = 0;
    bool alive = true;
    DWORD threadId = 0;
    uint64_t inputMarkersPassed = 0; // the serial of the last input marker taken (see Input.h)

    // Touched by the owning thread only.
    std::vector<Timer> timers;
    std::vector<std::shared_ptr<SentMessage>> receiving; // sends being handled, innermost last
    int paintCount = 0; // windows of this thread with a pending update region (UserLock)
    MSG last{};         // the message GetMessage/PeekMessage answered last
};

std::shared_ptr<ThreadQueue> CurrentQueue(); // creates this thread's queue on first use
std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId);
DWORD CurrentThreadKey();

// Milliseconds on the clock timers and message times use.
uint64_t NowMs();

// Handles the messages other threads sent to this one. Returns whether any was handled.
bool ProcessSentMessages(ThreadQueue& queue);

// Runs window-manager work on the thread that owns the window, waiting for it as SendMessage does.
LRESULT RunOnWindowThread(HWND hwnd, std::function<LRESULT()> task);

// Calls the window procedure of a window owned by this thread.
LRESULT CallProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The earliest timer due time of the queue, or UINT64_MAX.
uint64_t NextTimerDue(const ThreadQueue& queue);
// Takes one due timer as a WM_TIMER message. The timer's next due time restarts now.
bool TakeDueTimer(ThreadQueue& queue, HWND filter, MSG* msg, bool remove);
void KillTimersOf(ThreadQueue& queue, HWND hwnd);

// Takes the next pending WM_PAINT of this thread's windows (parents before children).
bool TakePaint(ThreadQueue& queue, HWND filter, MSG* msg);

// Takes the next input message that belongs to this thread, with activation, WM_SETCURSOR and
// double-click conversion done as the message leaves the queue.
bool TakeInput(ThreadQueue& queue, HWND filter, UINT minMsg, UINT maxMsg, MSG* msg, bool remove);

} // namespace yonda::user
