// The service's clock and the token bucket its rate limits are made of.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace yonda::service {

inline int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Allows `burst` events at once and `perSecond` sustained.
class TokenBucket {
public:
    TokenBucket() = default;
    TokenBucket(double burst, double perSecond, int64_t now)
        : m_burst(burst), m_rate(perSecond), m_tokens(burst), m_at(now)
    {}

    // Takes one token when there is one.
    bool take(int64_t now)
    {
        m_tokens = std::min(m_burst, m_tokens + static_cast<double>(now - m_at) / 1000.0 * m_rate);
        m_at = now;
        if (m_tokens < 1.0)
            return false;
        m_tokens -= 1.0;
        return true;
    }

private:
    double m_burst = 1, m_rate = 1;
    double m_tokens = 1;
    int64_t m_at = 0;
};

} // namespace yonda::service
