// Slows down and then refuses password guessing, per ID and per address. Failures are counted
// by the ID as typed, whether or not such a member exists, so the answers never tell which IDs
// do. An ID's lock does not apply to the addresses its member logged in from lately: a stranger
// can keep guessing away from the member, but cannot keep the member out.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "Limits.h"

namespace yonda::service {

class LoginGuard {
public:
    LoginGuard(FailureRules account, FailureRules address) : m_accountRules(account), m_addressRules(address) {}

    // Whether a login may check its password now; false while the ID or the address is locked.
    bool mayTry(const std::string& login, uint32_t address, int64_t now);
    // Counts a failed check; answers how long to hold the refusal back.
    int failed(const std::string& login, uint32_t address, int64_t now);
    // A member logged in: its ID starts afresh, and the address is trusted for it.
    void succeeded(const std::string& login, uint32_t address, int64_t now);

private:
    struct Score {
        double failures = 0;
        int64_t at = 0;
        double current(const FailureRules& rules, int64_t now) const;
        void add(const FailureRules& rules, int64_t now);
    };
    struct Account {
        Score score;
        std::vector<uint32_t> trusted; // the last addresses the member logged in from
    };
    static int delayFor(const FailureRules& rules, double score);
    void forgetIdle(int64_t now);

    FailureRules m_accountRules, m_addressRules;
    std::unordered_map<std::string, Account> m_accounts;
    std::unordered_map<uint32_t, Score> m_addresses;
    size_t m_forgetAbove = 1024; // entries kept before the next clean-up
};

} // namespace yonda::service
