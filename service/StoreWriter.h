// Changes to the database run here, on a thread with its own connection, so that reads and relays
// on the event loop go on while a change waits for the database (another program holding its
// write lock, a slow disk). Changes run one at a time in the order they came; each waits at most
// the write timeout from when it was handed in, and its outcome is handed back to the event loop
// only after it was committed or given up, so a member is told of a change exactly when it is
// kept.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "Store.h"

namespace yonda::service {

class StoreWriter {
public:
    // `handBack` runs a finished change's answer on the event loop.
    using HandBack = std::function<void(std::function<void()>)>;

    StoreWriter(size_t maxQueued, int timeoutMs, HandBack handBack);
    ~StoreWriter();
    StoreWriter(const StoreWriter&) = delete;
    StoreWriter& operator=(const StoreWriter&) = delete;

    // Opens the writer's own connection to the database.
    bool open(const std::string& path);

    // Queues `change` (run on the writer's thread with its connection); `then` runs on the event
    // loop afterwards. False (nothing queued) when too many changes wait already.
    bool submit(std::function<void(Store&)> change, std::function<void()> then);
    // Makes the changes queued so far, then ends the thread; their answers are not handed back.
    void stop();

private:
    struct Job {
        int64_t deadline;
        std::function<void(Store&)> change;
        std::function<void()> then;
    };
    void loop();

    size_t m_maxQueued;
    int m_timeoutMs;
    HandBack m_handBack;
    Store m_store;
    std::mutex m_lock;
    std::condition_variable m_ready;
    std::deque<Job> m_jobs;
    bool m_stopping = false;
    bool m_handingBack = true;
    std::thread m_thread;
};

} // namespace yonda::service
