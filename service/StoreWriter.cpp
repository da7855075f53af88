#include "StoreWriter.h"

#include "Timing.h"

namespace yonda::service {

StoreWriter::StoreWriter(size_t maxQueued, int timeoutMs, HandBack handBack)
    : m_maxQueued(maxQueued), m_timeoutMs(timeoutMs), m_handBack(std::move(handBack))
{}

StoreWriter::~StoreWriter()
{
    stop();
}

bool StoreWriter::open(const std::string& path)
{
    if (!m_store.open(path, m_timeoutMs))
        return false;
    m_thread = std::thread([this] { loop(); });
    return true;
}

bool StoreWriter::submit(std::function<void(Store&)> change, std::function<void()> then)
{
    {
        std::lock_guard lock(m_lock);
        if (m_stopping || !m_thread.joinable() || m_jobs.size() >= m_maxQueued)
            return false;
        m_jobs.push_back({nowMs() + m_timeoutMs, std::move(change), std::move(then)});
    }
    m_ready.notify_one();
    return true;
}

void StoreWriter::stop()
{
    {
        std::lock_guard lock(m_lock);
        m_stopping = true;
        m_handingBack = false;
    }
    m_ready.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void StoreWriter::loop()
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_lock);
            m_ready.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_jobs.empty())
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        // A change that waited behind a lock already tries once more without waiting.
        m_store.setBusyTimeout(static_cast<int>(std::max<int64_t>(0, job.deadline - nowMs())));
        job.change(m_store);
        std::lock_guard lock(m_lock);
        if (m_handingBack)
            m_handBack(std::move(job.then));
    }
}

} // namespace yonda::service
