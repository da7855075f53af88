// yonda-bots: simulated members for load tests and a lively demonstration.
#include <atomic>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "Bots.h"
#include "protocol/Protocol.h"

namespace {

std::atomic<bool> g_stop{false};

void onSignal(int)
{
    g_stop = true;
}

void usage(FILE* out)
{
    std::fprintf(
        out, "usage: yonda-bots [--connect ADDRESS:PORT] [--members N] [--first N] [--prefix TEXT] [--password TEXT]\n"
             "                  [--move SECONDS] [--chat SECONDS] [--rooms N] [--lobbies N] [--duration SECONDS]\n"
             "                  [--drivers N] [--world FOLDER] [--verbose]\n"
             "Logs in PREFIX0001.. (from --first), spreads them over the lobbies (every Nth opens a room the\n"
             "next N-1 join with --rooms N), then walks, sits and chats until stopped; prints the delivery times.\n"
             "They walk and sit only where the client can follow them: on the walkable ground and the seats of\n"
             "the scenes in FOLDER (the program's Data/WORLD; by default the one installed beside them).\n"
             "The members must exist: yonda-service seed-demo --bots N makes bot0001..botN (password bot).\n");
}

[[noreturn]] void wrongUsage(const std::string& what)
{
    std::fprintf(stderr, "yonda-bots: %s\n", what.c_str());
    usage(stderr);
    std::exit(2);
}

// The whole text as a number within [low, high], or a usage error naming the option.
template <typename Number>
Number parse(const std::string& option, const std::string& text, Number low, Number high)
{
    Number value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !(value >= low && value <= high))
        wrongUsage(option + " needs a number from " + std::to_string(low) + " to " + std::to_string(high) + ", not \"" +
                   text + "\"");
    return value;
}

// The generated world beside the installed program, else the build's.
std::string defaultWorld(const char* argv0)
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::canonical("/proc/self/exe", error);
    const std::filesystem::path installed =
        (error ? std::filesystem::path(argv0) : self).parent_path() / YONDA_BOTS_INSTALLED_WORLD;
    for (const std::filesystem::path& folder : {installed, std::filesystem::path(YONDA_BOTS_BUILT_WORLD)}) {
        if (std::filesystem::is_directory(folder, error))
            return folder.lexically_normal().string();
    }
    return {};
}

const char* statusName(uint8_t status)
{
    using namespace yonda::proto;
    switch (status) {
    case Refused: return "refused";
    case NotLoggedIn: return "not logged in";
    case BadRequest: return "bad request";
    case NotFound: return "not found";
    case Full: return "place full";
    case TryLater: return "too fast";
    case 0xFF: return "no answer";
    default: return "other";
    }
}

} // namespace

int main(int argc, char** argv)
{
    yonda::bots::Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                wrongUsage(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--connect") {
            std::string text = value();
            size_t colon = text.rfind(':');
            options.host = text.substr(0, colon);
            if (colon != std::string::npos)
                options.port = parse<uint16_t>("the port of --connect", text.substr(colon + 1), 1, 65535);
            if (options.host.empty())
                wrongUsage("--connect needs ADDRESS:PORT, not \"" + text + "\"");
        } else if (arg == "--members")
            options.members = parse(arg, value(), 1, 100000);
        else if (arg == "--first")
            options.first = parse(arg, value(), 0, 99999999);
        else if (arg == "--prefix")
            options.prefix = value();
        else if (arg == "--password")
            options.password = value();
        else if (arg == "--move")
            options.moveSeconds = parse(arg, value(), 0.0, 86400.0);
        else if (arg == "--chat")
            options.chatSeconds = parse(arg, value(), 0.0, 86400.0);
        else if (arg == "--rooms")
            options.roomEvery = parse(arg, value(), 0, 15);
        else if (arg == "--lobbies")
            options.lobbies = parse(arg, value(), 1, 5);
        else if (arg == "--duration")
            options.durationSeconds = parse(arg, value(), 0.0, 31536000.0);
        else if (arg == "--drivers")
            options.drivers = parse(arg, value(), 1, 256);
        else if (arg == "--world") {
            options.world = value();
            if (!std::filesystem::is_directory(options.world))
                wrongUsage("--world needs the folder of the generated scenes, not \"" + options.world + "\"");
        } else if (arg == "--verbose")
            options.verbose = true;
        else if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        } else
            wrongUsage("unknown argument \"" + arg + "\"");
    }
    if (options.world.empty())
        options.world = defaultWorld(argv[0]);
    if (options.world.empty())
        std::fprintf(stderr, "yonda-bots: no generated world found (--world FOLDER): the members stand still\n");
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGPIPE, SIG_IGN);
    auto report = yonda::bots::run(options, g_stop);

    // Why members are missing, even without --verbose: one line per reason.
    for (const auto& [why, count] : report.notLoggedIn)
        std::fprintf(stderr, "yonda-bots: %d member%s could not log in: %s\n", count, count == 1 ? "" : "s",
                     why.c_str());
    if (report.loggedIn == 0) {
        std::fprintf(stderr, "yonda-bots: no member logged in (the first tried was %s)\n",
                     report.firstNotLoggedIn.c_str());
        return 1;
    }
    if (report.loggedIn < options.members)
        std::fprintf(stderr,
                     "yonda-bots: warning: only %d of the %d members asked for logged in (from %s on); "
                     "are there that many accounts? yonda-service seed-demo --bots N makes them\n",
                     report.loggedIn, options.members, report.firstNotLoggedIn.c_str());
    for (const std::string& scene : report.stillScenes)
        std::fprintf(stderr, "yonda-bots: members stand still in %s\n", scene.c_str());
    std::string refusals;
    for (const auto& [status, count] : report.refusedBy)
        refusals += (refusals.empty() ? ": " : ", ") + std::to_string(count) + " " + statusName(status);
    std::printf("yonda-bots: %llu walks and %llu seats taken on the scenes' walkable ground\n",
                static_cast<unsigned long long>(report.walks), static_cast<unsigned long long>(report.sits));
    std::printf("yonda-bots: %d logged in, %d placed, %llu requests (%llu refused by the service or unanswered%s), "
                "%llu deliveries: p50 %.2f ms, p99 %.2f ms, max %.2f ms, %llu connections lost\n",
                report.loggedIn, report.placed, static_cast<unsigned long long>(report.requests),
                static_cast<unsigned long long>(report.failures), refusals.c_str(),
                static_cast<unsigned long long>(report.deliveries), report.p50Ms, report.p99Ms, report.maxMs,
                static_cast<unsigned long long>(report.lost));
    if (report.refusedBy.count(yonda::proto::Full))
        std::printf(
            "yonda-bots: \"place full\": a member found its group's room full and went to the lobby's area instead\n");
    return 0;
}
