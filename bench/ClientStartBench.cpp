// The client's start, as a member feels it: from the program's start to its login dialog shown
// (the real program, headless, against a real service on loopback), and from the login click to
// the session's first answer (the session's login, points and profile queries).
#include <benchmark/benchmark.h>

#include "ClientSession.h"
#include "ServiceHarness.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>
#include <csignal>

extern char** environ;

namespace {

// The program in a home folder of its own, pointed at the service; it ends as soon as the login
// dialog is there.
// Runs the program through `commands` (an automation script): the seconds it took, or -1 when the
// script failed; the peak resident memory in kilobytes goes to `peakKb`.
double RunScript(const std::filesystem::path& home, const std::string& commands, long* peakKb = nullptr)
{
    const std::filesystem::path script = home / "script.txt";
    std::ofstream(script) << commands;
    const std::string program = (home / "Yonda").string();
    std::string automation = "YONDA_AUTOMATION=" + script.string();
    std::string runtime = "YONDA_RUNTIME_DIR=" + (home / "run").string();
    std::vector<char*> env;
    for (char** e = environ; *e; ++e) {
        env.push_back(*e);
    }
    char headless[] = "YONDA_HEADLESS=1";
    char audio[] = "SDL_AUDIODRIVER=dummy";
    env.push_back(automation.data());
    env.push_back(runtime.data());
    env.push_back(headless);
    env.push_back(audio);
    env.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, env.data()) != 0) {
        return -1;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (peakKb) {
        *peakKb = usage.ru_maxrss;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // A script that failed (no login dialog) ends the program with status 1.
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

pid_t Spawn(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    return pid;
}

void BM_StartToLoginDialog(benchmark::State& state)
{
    // The real service on an address of its own, port 7001 as the program probes it.
    const std::filesystem::path folder = yonda::testing::freshFolder("bench-start");
    const std::string address = "127.0.0.77";
    // The demo member to log in with.
    const pid_t seed = Spawn({YONDA_BENCH_SERVICE, "seed-demo", "--db", (folder / "db").string(), "--bots", "0"});
    waitpid(seed, nullptr, 0);
    const pid_t service = Spawn({YONDA_BENCH_SERVICE, "--listen", address + ":7001", "--db", (folder / "db").string()});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    // A home folder of the program's own: the program (linked), the built skins and data, and
    // settings that name this service.
    const std::filesystem::path built = std::filesystem::path(YONDA_BENCH_HOME);
    const std::filesystem::path home = folder / "home";
    std::filesystem::create_directories(home / "run");
    std::error_code error;
    std::filesystem::create_hard_link(built / "Yonda", home / "Yonda", error);
    if (error) {
        std::filesystem::copy_file(built / "Yonda", home / "Yonda");
    }
    for (const char* name : {"Skin", "Data"}) {
        std::filesystem::create_directory_symlink(built / name, home / name);
    }
    std::ifstream in(built / "Yonda.ini", std::ios::binary);
    std::string settings((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t at = settings.find("ServerIp = ");
    if (at != std::string::npos) {
        settings.replace(at, settings.find('\r', at) - at, "ServerIp = " + address);
    }
    std::ofstream(home / "Yonda.ini", std::ios::binary) << settings;
    for (auto _ : state) {
        const double seconds = RunScript(home, "wait-window \"Yonda Alpha\" 20000\nquit\n");
        if (seconds < 0) {
            state.SkipWithError("the login dialog did not show");
            break;
        }
        state.SetIterationTime(seconds);
    }
    if (state.range(0) == 1) {
        // From the login click to the main frame shown: the whole way to the frame less the way
        // to the login dialog (measured just above), with the program's peak memory.
        const std::string toFrame = "wait-window \"Yonda Alpha\" 20000\ntype #202 demo\ntype #203 demo\n"
                                    "key #203 RETURN\nwait-window VelmoraMain 20000\nquit\n";
        long peakKb = 0;
        const double toLogin = RunScript(home, "wait-window \"Yonda Alpha\" 20000\nquit\n");
        const double whole = RunScript(home, toFrame, &peakKb);
        state.counters["login_click_to_frame_ms"] = (whole - toLogin) * 1000.0;
        state.counters["peak_resident_MB"] = static_cast<double>(peakKb) / 1024.0;
    }
    kill(service, SIGTERM);
    waitpid(service, nullptr, 0);
    std::filesystem::remove_all(folder, error);
}
BENCHMARK(BM_StartToLoginDialog)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)->Arg(1);

void BM_LoginToFirstAnswer(benchmark::State& state)
{
    yonda::testing::ServiceHarness service("bench-login");
    service.addMember("kim", "Kim");
    for (auto _ : state) {
        CClientSession session;
        session.SetServerPort(service.port());
        CStringList servers;
        servers.AddTail("127.0.0.1");
        if (!session.ConnectToServer(servers)) {
            state.SkipWithError("no connection");
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        long user = 0;
        char flag = 0;
        session.GetComm()->QueryLogin("kim", "pw", user, flag);
        session.m_OwnUser.lUser = user;
        session.ExecuteCommand(CMD_LOGIN_DONE, 0, 0);
        session.SendRequest(REQ_MY_USER_INFO, 0, 0);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        session.Logout();
    }
}
BENCHMARK(BM_LoginToFirstAnswer)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
