#include "LoginGuard.h"

#include <algorithm>
#include <cmath>

namespace yonda::service {

namespace {

constexpr size_t kTrustedAddresses = 4;

// Failures not yet wholly forgotten: a score that lost a little since its last failure still
// counts that failure.
int counted(double score)
{
    return static_cast<int>(std::ceil(score - 1e-6));
}

} // namespace

double LoginGuard::Score::current(const FailureRules& rules, int64_t now) const
{
    double forgotten =
        rules.forgetMs > 0 ? static_cast<double>(now - at) / static_cast<double>(rules.forgetMs) : failures;
    return std::max(0.0, failures - forgotten);
}

void LoginGuard::Score::add(const FailureRules& rules, int64_t now)
{
    failures = current(rules, now) + 1;
    at = now;
}

int LoginGuard::delayFor(const FailureRules& rules, double score)
{
    int over = counted(score) - rules.freeFailures;
    if (over <= 0)
        return 0;
    int64_t delay = rules.firstDelayMs;
    for (int i = 1; i < over && delay < rules.maxDelayMs; ++i)
        delay *= 2;
    return static_cast<int>(std::min<int64_t>(delay, rules.maxDelayMs));
}

bool LoginGuard::mayTry(const std::string& login, uint32_t address, int64_t now)
{
    auto place = m_addresses.find(address);
    if (place != m_addresses.end() && counted(place->second.current(m_addressRules, now)) >= m_addressRules.lockAt)
        return false;
    auto account = m_accounts.find(login);
    if (account == m_accounts.end() ||
        counted(account->second.score.current(m_accountRules, now)) < m_accountRules.lockAt)
        return true;
    const auto& trusted = account->second.trusted;
    return std::find(trusted.begin(), trusted.end(), address) != trusted.end();
}

int LoginGuard::failed(const std::string& login, uint32_t address, int64_t now)
{
    if (m_accounts.size() + m_addresses.size() > m_forgetAbove)
        forgetIdle(now);
    Score& place = m_addresses[address];
    place.add(m_addressRules, now);
    Score& account = m_accounts[login].score;
    account.add(m_accountRules, now);
    return std::max(delayFor(m_addressRules, place.failures), delayFor(m_accountRules, account.failures));
}

void LoginGuard::succeeded(const std::string& login, uint32_t address, int64_t now)
{
    Account& account = m_accounts[login];
    account.score = {};
    std::erase(account.trusted, address);
    account.trusted.insert(account.trusted.begin(), address);
    if (account.trusted.size() > kTrustedAddresses)
        account.trusted.pop_back();
}

void LoginGuard::forgetIdle(int64_t now)
{
    // IDs guessed at and addresses that failed, once their failures are forgotten; the members'
    // trusted addresses stay.
    std::erase_if(m_accounts, [&](const auto& entry) {
        return entry.second.trusted.empty() && entry.second.score.current(m_accountRules, now) <= 0;
    });
    std::erase_if(m_addresses, [&](const auto& entry) { return entry.second.current(m_addressRules, now) <= 0; });
    m_forgetAbove = std::max<size_t>(1024, 2 * (m_accounts.size() + m_addresses.size()));
}

} // namespace yonda::service
