// Password hashing is slow on purpose; it runs on worker threads so the event loop keeps serving
// everyone else while a member logs in. The threads take turns between the addresses that wait,
// and each address may have only a few checks waiting or running, so a flood of logins from one
// place never makes the logins from elsewhere wait behind it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace yonda::service {

class PasswordWorker {
public:
    explicit PasswordWorker(int threads = 2, size_t perSource = 4);
    ~PasswordWorker();
    PasswordWorker(const PasswordWorker&) = delete;
    PasswordWorker& operator=(const PasswordWorker&) = delete;

    // Runs `job` on a worker thread in turn with the other sources; false (nothing queued) when
    // `source` has its share of checks waiting or running already.
    bool submit(uint32_t source, std::function<void()> job);
    // Lets the running checks finish and drops the waiting ones; nothing runs afterwards.
    void stop();

    // The stored form of a password. `strong` uses the interactive cost; without it the lowest
    // cost the algorithm allows (for throwaway load-test members).
    static std::string hash(const std::string& password, bool strong = true);
    static bool verify(const std::string& stored, const std::string& password);
    // A stored hash of the interactive cost that no password matches: checked for IDs nobody
    // has, so they take as long to refuse as a wrong password.
    static const std::string& decoy();

private:
    struct Source {
        std::deque<std::function<void()>> waiting;
        size_t running = 0;
    };
    void loop();

    size_t m_perSource;
    std::mutex m_lock;
    std::condition_variable m_ready;
    std::map<uint32_t, Source> m_sources;
    std::deque<uint32_t> m_turns; // sources with waiting checks, in the order they are served
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

} // namespace yonda::service
