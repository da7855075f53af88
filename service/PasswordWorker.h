// Password hashing is slow on purpose; it runs on worker threads so the event loop keeps serving
// everyone else while a member logs in.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace yonda::service {

class PasswordWorker {
public:
    explicit PasswordWorker(int threads = 2);
    ~PasswordWorker();
    PasswordWorker(const PasswordWorker&) = delete;
    PasswordWorker& operator=(const PasswordWorker&) = delete;

    // Runs `job` on a worker thread.
    void submit(std::function<void()> job);

    // The stored form of a password. `strong` uses the interactive cost; without it the lowest
    // cost the algorithm allows (for throwaway load-test members).
    static std::string hash(const std::string& password, bool strong = true);
    static bool verify(const std::string& stored, const std::string& password);

private:
    void loop();

    std::mutex m_lock;
    std::condition_variable m_ready;
    std::deque<std::function<void()>> m_jobs;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

} // namespace yonda::service
