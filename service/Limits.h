// What the service allows one connection, one address, one account and one member, and how long
// it waits for the database. The defaults suit a public service; tests tighten them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "protocol/Wire.h"

namespace yonda::service {

// Failed logins counted against one key (an ID, an address). Each failure adds one to a score
// that forgets one failure per `forgetMs`. Above `freeFailures` the refusal is answered later and
// later (from `firstDelayMs`, doubling, at most `maxDelayMs`); from `lockAt` on attempts are
// refused without a password check until one of those failures is forgotten.
struct FailureRules {
    int freeFailures = 3;
    int lockAt = 10;
    int64_t forgetMs = 60000;
    int firstDelayMs = 250;
    int maxDelayMs = 4000;
};

struct Limits {
    // Connections.
    size_t maxConnections = 4096;
    size_t maxConnectionsPerAddress = 0; // 0: a quarter of maxConnections, at most 256
    size_t maxFrame = wire::kMaxFrameSize;
    double framesPerSecond = 100.0; // sustained rate of one connection
    double frameBurst = 300.0;      // frames a connection may send at once
    size_t maxQueuedOutput = 4u << 20;
    int loginTimeoutMs = 30000;        // a connection must log in (or probe) within this
    int idleTimeoutMs = 600000;        // nothing received for this long closes a logged-in connection
    int partialFrameTimeoutMs = 15000; // a frame begun must be complete within this

    // Logins. An ID's lock is not applied to the addresses its member last logged in from, so a
    // stranger guessing cannot keep the member out.
    FailureRules accountFailures{3, 10, 60000, 250, 4000};
    FailureRules addressFailures{10, 30, 10000, 250, 4000};
    size_t passwordChecksPerAddress = 4; // waiting or running; more are refused at once

    // What a person types: lines of chat and instant messages, at once and per second.
    double chatBurst = 10, chatPerSecond = 2;
    double messageBurst = 10, messagesPerSecond = 1;

    // Changes to the database wait at most this long for another program's lock.
    int writeTimeoutMs = 5000;
    size_t maxQueuedWrites = 4096;

    size_t perAddressConnections() const
    {
        if (maxConnectionsPerAddress)
            return maxConnectionsPerAddress;
        size_t quarter = maxConnections / 4;
        return quarter < 1 ? 1 : quarter > 256 ? 256 : quarter;
    }
};

} // namespace yonda::service
