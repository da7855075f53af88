// Simulated members: log many members in, put them into lobbies and rooms, and let them walk,
// sit, chat and play emotions at a steady rate, answering newcomers as a real client does. Used
// for load tests and to fill a demonstration with life. Measures how long an action takes to
// reach the other members.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace yonda::bots {

struct Options {
    std::string host = "127.0.0.1";
    uint16_t port = 7001;
    int members = 20;
    int first = 1; // the first member's number: logins are PREFIX0001...
    std::string prefix = "bot";
    std::string password = "bot";
    double moveSeconds = 2.0;   // each member walks this often
    double chatSeconds = 5.0;   // and says something this often
    int roomEvery = 0;          // every Nth member of a lobby opens a room the next N-1 join; 0: lobby areas only
    int lobbies = 5;            // members are spread over lobbies 0..lobbies-1
    double durationSeconds = 0; // 0: until stopped
    int drivers = 4;            // threads that send the members' requests
    std::string world;          // the generated world's scene folder (Data/WORLD); empty: nobody walks
    bool verbose = false;
};

struct Report {
    int loggedIn = 0;
    int placed = 0;
    std::map<std::string, int> notLoggedIn; // why members could not connect or log in, how many
    std::string firstNotLoggedIn;           // the first member that could not
    uint64_t requests = 0;
    uint64_t failures = 0;                 // requests the service refused or did not answer
    std::map<uint8_t, uint64_t> refusedBy; // those by status (0xFF: no answer)
    uint64_t deliveries = 0;               // move and chat events measured at other members
    double p50Ms = 0, p99Ms = 0, maxMs = 0;
    uint64_t lost = 0;                    // members whose connection was lost
    uint64_t walks = 0, sits = 0;         // walks and seats sent, each one the client can replay
    std::vector<std::string> stillScenes; // scenes whose members stand still, and why
};

// Runs the members until the duration ends or `stop` becomes true.
Report run(const Options& options, const std::atomic<bool>& stop);

} // namespace yonda::bots
