// yonda-bots: simulated members for load tests and a lively demonstration.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Bots.h"

namespace {

std::atomic<bool> g_stop{false};

void onSignal(int)
{
    g_stop = true;
}

void usage()
{
    std::fprintf(stderr,
                 "usage: yonda-bots [--connect ADDRESS:PORT] [--members N] [--first N] [--prefix TEXT] [--password TEXT]\n"
                 "                  [--move SECONDS] [--chat SECONDS] [--rooms N] [--lobbies N] [--duration SECONDS]\n"
                 "                  [--drivers N] [--verbose]\n"
                 "Logs in PREFIX0001.. (from --first), spreads them over the lobbies (every Nth opens a room the\n"
                 "next N-1 join with --rooms N), then walks and chats until stopped; prints the delivery times.\n");
}

} // namespace

int main(int argc, char** argv)
{
    yonda::bots::Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                usage();
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--connect") {
            std::string text = value();
            size_t colon = text.rfind(':');
            options.host = text.substr(0, colon);
            if (colon != std::string::npos)
                options.port = static_cast<uint16_t>(std::atoi(text.c_str() + colon + 1));
        } else if (arg == "--members")
            options.members = std::atoi(value().c_str());
        else if (arg == "--first")
            options.first = std::atoi(value().c_str());
        else if (arg == "--prefix")
            options.prefix = value();
        else if (arg == "--password")
            options.password = value();
        else if (arg == "--move")
            options.moveSeconds = std::atof(value().c_str());
        else if (arg == "--chat")
            options.chatSeconds = std::atof(value().c_str());
        else if (arg == "--rooms")
            options.roomEvery = std::atoi(value().c_str());
        else if (arg == "--lobbies")
            options.lobbies = std::atoi(value().c_str());
        else if (arg == "--duration")
            options.durationSeconds = std::atof(value().c_str());
        else if (arg == "--drivers")
            options.drivers = std::atoi(value().c_str());
        else if (arg == "--verbose")
            options.verbose = true;
        else {
            usage();
            return arg == "--help" || arg == "-h" ? 0 : 2;
        }
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGPIPE, SIG_IGN);
    auto report = yonda::bots::run(options, g_stop);
    std::printf("yonda-bots: %d logged in, %d placed, %llu requests (%llu refused), %llu deliveries: "
                "p50 %.2f ms, p99 %.2f ms, max %.2f ms, %llu connections lost\n",
                report.loggedIn, report.placed, static_cast<unsigned long long>(report.requests),
                static_cast<unsigned long long>(report.failures), static_cast<unsigned long long>(report.deliveries),
                report.p50Ms, report.p99Ms, report.maxMs, static_cast<unsigned long long>(report.lost));
    return report.loggedIn > 0 ? 0 : 1;
}
