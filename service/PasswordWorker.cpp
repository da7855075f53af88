#include "PasswordWorker.h"

#include <sodium.h>

namespace yonda::service {

PasswordWorker::PasswordWorker(int threads, size_t perSource) : m_perSource(perSource)
{
    for (int i = 0; i < threads; ++i)
        m_threads.emplace_back([this] { loop(); });
}

PasswordWorker::~PasswordWorker()
{
    stop();
}

void PasswordWorker::stop()
{
    {
        std::lock_guard lock(m_lock);
        m_stopping = true;
    }
    m_ready.notify_all();
    for (auto& thread : m_threads) {
        if (thread.joinable())
            thread.join();
    }
}

bool PasswordWorker::submit(uint32_t source, std::function<void()> job)
{
    {
        std::lock_guard lock(m_lock);
        Source& queue = m_sources[source];
        if (m_stopping || queue.waiting.size() + queue.running >= m_perSource) {
            if (queue.waiting.empty() && !queue.running)
                m_sources.erase(source);
            return false;
        }
        if (queue.waiting.empty())
            m_turns.push_back(source);
        queue.waiting.push_back(std::move(job));
    }
    m_ready.notify_one();
    return true;
}

void PasswordWorker::loop()
{
    for (;;) {
        std::function<void()> job;
        uint32_t source = 0;
        {
            std::unique_lock lock(m_lock);
            m_ready.wait(lock, [this] { return m_stopping || !m_turns.empty(); });
            if (m_stopping)
                return;
            source = m_turns.front();
            m_turns.pop_front();
            Source& queue = m_sources[source];
            job = std::move(queue.waiting.front());
            queue.waiting.pop_front();
            ++queue.running;
            if (!queue.waiting.empty())
                m_turns.push_back(source); // its next check waits for everyone else's turn
        }
        job();
        std::lock_guard lock(m_lock);
        Source& queue = m_sources[source];
        if (--queue.running == 0 && queue.waiting.empty())
            m_sources.erase(source);
    }
}

std::string PasswordWorker::hash(const std::string& password, bool strong)
{
    if (sodium_init() < 0)
        return {};
    char stored[crypto_pwhash_STRBYTES];
    unsigned long long ops = strong ? crypto_pwhash_OPSLIMIT_INTERACTIVE : crypto_pwhash_OPSLIMIT_MIN;
    size_t memory = strong ? crypto_pwhash_MEMLIMIT_INTERACTIVE : crypto_pwhash_MEMLIMIT_MIN;
    if (crypto_pwhash_str(stored, password.data(), password.size(), ops, memory) != 0)
        return {};
    return stored;
}

bool PasswordWorker::verify(const std::string& stored, const std::string& password)
{
    if (stored.empty() || stored.size() >= crypto_pwhash_STRBYTES)
        return false;
    return crypto_pwhash_str_verify(stored.c_str(), password.data(), password.size()) == 0;
}

const std::string& PasswordWorker::decoy()
{
    static const std::string stored = [] {
        if (sodium_init() < 0)
            return std::string();
        unsigned char secret[32];
        randombytes_buf(secret, sizeof secret);
        return hash(std::string(reinterpret_cast<const char*>(secret), sizeof secret), true);
    }();
    return stored;
}

} // namespace yonda::service
