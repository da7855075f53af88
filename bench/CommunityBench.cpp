// The community service under the load of many simulated members: 1,000 members over the five
// lobbies and their rooms, each walking every 2 s and chatting every 5 s. Goals: the 99th
// percentile from a member's request to the event at the other members under 20 ms on loopback,
// and the service's event loop using less than one core.
//   YONDA_BENCH_MEMBERS (1000) and YONDA_BENCH_SECONDS (20) change the load and its length.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <pthread.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

#include "Bots.h"
#include "Catalogue.h"
#include "Log.h"
#include "PasswordWorker.h"
#include "Server.h"
#include "Service.h"
#include "Store.h"

using namespace yonda;

namespace {

int setting(const char* name, int fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::atoi(value) : fallback;
}

double threadSeconds(pthread_t thread)
{
    clockid_t clock;
    timespec used{};
    if (pthread_getcpuclockid(thread, &clock) != 0 || clock_gettime(clock, &used) != 0)
        return 0;
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}

void CommunityUnderLoad(benchmark::State& state)
{
    int members = setting("YONDA_BENCH_MEMBERS", 1000);
    int seconds = setting("YONDA_BENCH_SECONDS", 20);
    // Two descriptors a member (both ends live in this process).
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);

    auto folder = std::filesystem::temp_directory_path() / ("yonda-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    service::setLogLevel(service::LogLevel::Quiet);
    service::Store store;
    store.open((folder / "service.db").string());
    std::string hash = service::PasswordWorker::hash("bot", false);
    for (int i = 1; i <= members; ++i) {
        char login[16];
        std::snprintf(login, sizeof login, "bot%04d", i);
        service::Account account;
        account.login = login;
        account.nickname = std::string("B") + login;
        account.hash = hash;
        if (auto user = store.addAccount(account))
            store.createAvatar(*user, 'M', {{"", 'M', 0, 1, 0, true}});
    }
    service::Catalogue catalogue;
    service::Limits limits;
    limits.maxConnections = static_cast<size_t>(members) + 16;
    limits.maxConnectionsPerAddress = limits.maxConnections; // every simulated member comes from here
    service::Service service(store, catalogue, limits);
    service::Server server(service, limits);
    service.attach(server);
    server.listen("127.0.0.1:0");
    std::thread loop([&] { server.run(); });

    for (auto _ : state) {
        bots::Options options;
        options.port = server.port();
        options.members = members;
        options.roomEvery = 8; // a room for every eight members; the rest of a full room waits in the lobby
        options.durationSeconds = seconds;
        options.drivers = 8;
        std::atomic<bool> stop{false};
        double cpuBefore = threadSeconds(loop.native_handle());
        auto report = bots::run(options, stop);
        double cpu = threadSeconds(loop.native_handle()) - cpuBefore;
        state.counters["members"] = report.loggedIn;
        state.counters["placed"] = report.placed;
        state.counters["deliveries"] = static_cast<double>(report.deliveries);
        state.counters["p50_ms"] = report.p50Ms;
        state.counters["p99_ms"] = report.p99Ms;
        state.counters["max_ms"] = report.maxMs;
        state.counters["service_cores"] = cpu / seconds; // includes logging everyone in
        state.counters["refused"] = static_cast<double>(report.failures);
    }
    server.stop();
    loop.join();
    std::error_code error;
    std::filesystem::remove_all(folder, error);
}

} // namespace

BENCHMARK(CommunityUnderLoad)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
