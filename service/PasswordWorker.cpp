#include "PasswordWorker.h"

#include <sodium.h>

namespace yonda::service {

PasswordWorker::PasswordWorker(int threads)
{
    for (int i = 0; i < threads; ++i)
        m_threads.emplace_back([this] { loop(); });
}

PasswordWorker::~PasswordWorker()
{
    {
        std::lock_guard lock(m_lock);
        m_stopping = true;
    }
    m_ready.notify_all();
    for (auto& thread : m_threads)
        thread.join();
}

void PasswordWorker::submit(std::function<void()> job)
{
    {
        std::lock_guard lock(m_lock);
        m_jobs.push_back(std::move(job));
    }
    m_ready.notify_one();
}

void PasswordWorker::loop()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(m_lock);
            m_ready.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_stopping)
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job();
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

} // namespace yonda::service
