// The installed programs yonda-service and yonda-bots run as a user runs them: wrong calls are
// refused with a message saying what was wrong, nothing is made before the arguments are
// checked, the service logs what happens one timed line each, and the simulated members say why
// they could not log in.
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <mutex>
#include <poll.h>
#include <regex>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "ServiceHarness.h"

extern char** environ;

using namespace yonda;
using yonda::testing::TestClient;

namespace {

std::string program(const std::string& name)
{
    const char* build = std::getenv("YONDA_BINARY_DIR");
    return std::string(build && *build ? build : ".") + "/bin/" + name;
}

// A program started with its standard output and error read into texts as they come.
class Running {
public:
    Running(const std::string& name, const std::vector<std::string>& args, const std::vector<std::string>& env = {})
    {
        std::vector<std::string> all{program(name)};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& arg : all)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        std::vector<std::string> environment = env;
        for (char** entry = environ; *entry; ++entry)
            environment.push_back(*entry); // the first of a name wins
        std::vector<char*> envp;
        for (auto& entry : environment)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        int out[2], err[2];
        EXPECT_EQ(pipe2(out, O_CLOEXEC), 0);
        EXPECT_EQ(pipe2(err, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        EXPECT_EQ(posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), envp.data()), 0);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        close(err[1]);
        m_reader = std::thread([this, out = out[0], err = err[0]] { read(out, err); });
    }
    ~Running()
    {
        if (m_pid > 0 && m_code < 0) {
            kill(m_pid, SIGKILL);
            finish();
        }
    }

    // Waits for the program to end (killing it after the timeout); its exit code.
    int finish(int timeoutMs = 30000)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        int status = 0;
        while (waitpid(m_pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline)
                kill(m_pid, SIGKILL);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (m_reader.joinable())
            m_reader.join();
        m_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return m_code;
    }
    void stop()
    {
        kill(m_pid, SIGTERM);
        finish();
    }
    // True once the standard error holds `text` (within the wait).
    bool said(const std::string& text, int timeoutMs = 10000)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            if (err().find(text) != std::string::npos)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    std::string out()
    {
        std::lock_guard lock(m_lock);
        return m_out;
    }
    std::string err()
    {
        std::lock_guard lock(m_lock);
        return m_err;
    }

private:
    void read(int out, int err)
    {
        pollfd ends[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
        int open = 2;
        while (open > 0 && poll(ends, 2, -1) > 0) {
            for (int i = 0; i < 2; ++i) {
                if (ends[i].fd < 0 || !(ends[i].revents & (POLLIN | POLLHUP)))
                    continue;
                char buffer[4096];
                ssize_t count = ::read(ends[i].fd, buffer, sizeof buffer);
                if (count <= 0) {
                    close(ends[i].fd);
                    ends[i].fd = -1;
                    --open;
                    continue;
                }
                std::lock_guard lock(m_lock);
                (i == 0 ? m_out : m_err).append(buffer, static_cast<size_t>(count));
            }
        }
    }

    pid_t m_pid = -1;
    int m_code = -1;
    std::thread m_reader;
    std::mutex m_lock;
    std::string m_out, m_err;
};

struct Ran {
    int code;
    std::string out, err;
};

Ran run(const std::string& name, const std::vector<std::string>& args, const std::vector<std::string>& env = {})
{
    Running running(name, args, env);
    int code = running.finish();
    return {code, running.out(), running.err()};
}

// The port a service started with --listen HOST:0 took, from its first line.
uint16_t servingPort(Running& service, const std::string& host)
{
    std::string marker = "serving on " + host + ":";
    if (!service.said(marker))
        return 0;
    std::string err = service.err();
    return static_cast<uint16_t>(std::atoi(err.c_str() + err.find(marker) + marker.size()));
}

mode_t modeOf(const std::filesystem::path& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? status.st_mode & 0777 : 0;
}

struct CommandLine : ::testing::Test {
    std::filesystem::path folder =
        yonda::testing::freshFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string database = (folder / "members.db").string();
    ~CommandLine() override { std::filesystem::remove_all(folder); }
};

} // namespace

TEST_F(CommandLine, UsageErrorsSayWhatWasWrongAndMakeNothing)
{
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> said;
    };
    const Case cases[] = {
        {{"--max-connections", "abc"}, {"--max-connections", "\"abc\""}},
        {{"--max-connections", "0"}, {"--max-connections", "from 1"}},
        {{"--max-per-address", "12x"}, {"--max-per-address", "\"12x\""}},
        {{"adduser", "kim", "pw", "Kim", "--points", "abc"}, {"--points", "\"abc\""}},
        {{"adduser", "kim", "pw"}, {"adduser needs ID PASSWORD NICKNAME"}},
        {{"seed-demo", "--bots", "many"}, {"--bots", "\"many\""}},
        {{"--points", "5"}, {"--points is for adduser"}},
        {{"--frobnicate"}, {"unknown option --frobnicate"}},
        {{"frobnicate"}, {"unknown command \"frobnicate\""}},
        {{"--log", "loud"}, {"--log", "\"loud\""}},
        {{"--db"}, {"--db needs a value"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        if (args.back() != "--db") {
            args.push_back("--db");
            args.push_back(database);
        }
        Ran ran = run("yonda-service", args);
        std::string call;
        for (const auto& arg : c.args)
            call += " " + arg;
        EXPECT_EQ(ran.code, 2) << call;
        for (const auto& text : c.said)
            EXPECT_NE(ran.err.find(text), std::string::npos) << call << ": " << ran.err;
        EXPECT_NE(ran.err.find("usage:"), std::string::npos) << call;
        EXPECT_FALSE(std::filesystem::exists(database)) << call;
    }
    Ran help = run("yonda-service", {"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("usage:"), std::string::npos);
    Ran port = run("yonda-service", {"--listen", "127.0.0.51:abc", "--db", database});
    EXPECT_EQ(port.code, 1);
    EXPECT_NE(port.err.find("127.0.0.51:abc"), std::string::npos) << port.err;
}

TEST_F(CommandLine, AddUserTakesOnlyWhatTheRecordsCarry)
{
    std::string id21(21, 'i'), password63(63, 'p'), nickname31(31, 'n');
    struct Case {
        std::string id, password, nickname, said;
    };
    const Case refused[] = {
        {"", "pw", "Kim", "the ID must not be empty"},        {id21 + "i", "pw", "Kim", "at most 21 fit"},
        {"kim", password63 + "p", "Kim", "at most 63 fit"},   {"kim", "pw", nickname31 + "n", "at most 31 fit"},
        {"kim", "", "Kim", "the password must not be empty"}, {"kim", "pw", "   ", "the nickname must not be empty"},
    };
    auto home = folder / "home";
    for (const Case& c : refused) {
        Ran ran = run("yonda-service", {"adduser", c.id, c.password, c.nickname}, {"XDG_DATA_HOME=" + home.string()});
        EXPECT_EQ(ran.code, 2) << c.said;
        EXPECT_NE(ran.err.find(c.said), std::string::npos) << ran.err;
        EXPECT_FALSE(std::filesystem::exists(home)) << c.said; // not even its folder
    }

    // The longest that fit log in; the default database is its owner's alone.
    Ran made = run("yonda-service", {"adduser", id21, password63, nickname31}, {"XDG_DATA_HOME=" + home.string()});
    ASSERT_EQ(made.code, 0) << made.err;
    EXPECT_NE(made.out.find("member 1: " + id21), std::string::npos);
    EXPECT_EQ(modeOf(home / "yonda"), 0700u);
    EXPECT_EQ(modeOf(home / "yonda" / "service.db"), 0600u);
    Ran again = run("yonda-service", {"adduser", id21, "x", "Other"}, {"XDG_DATA_HOME=" + home.string()});
    EXPECT_EQ(again.code, 1);
    EXPECT_NE(again.err.find("is taken"), std::string::npos);

    Running service("yonda-service", {"--listen", "127.0.0.52:0", "--db", (home / "yonda" / "service.db").string()});
    uint16_t port = servingPort(service, "127.0.0.52");
    ASSERT_GT(port, 0) << service.err();
    TestClient member;
    member.host = "127.0.0.52";
    EXPECT_GT(member.login(port, id21, password63), 0);
    service.stop();
}

TEST_F(CommandLine, TheServiceLogsEachEventOnOneTimedLineAtTheChosenLevel)
{
    ASSERT_EQ(run("yonda-service", {"seed-demo", "--bots", "2", "--db", database}).code, 0);
    for (std::string level : {"info", "warning"}) {
        Running service("yonda-service", {"--listen", "127.0.0.53:0", "--db", database, "--log", level});
        uint16_t port = servingPort(service, "127.0.0.53");
        ASSERT_GT(port, 0) << service.err();
        {
            TestClient member, stranger;
            member.host = stranger.host = "127.0.0.53";
            ASSERT_GT(member.login(port, "bot0001", "bot"), 0);
            EXPECT_EQ(stranger.login(port, "bot0002", "wrong"), 0);
            TestClient forger; // an ID that would start a line of its own
            forger.host = "127.0.0.53";
            EXPECT_EQ(forger.login(port, "x\n2001-01-01 00:00:00.000Z yonda-service info: forged", "pw"), 0);
            auto logout = member.begin(proto::Logout);
            EXPECT_EQ(member.status(logout), proto::Ok);
        }
        EXPECT_TRUE(service.said("refused: unknown ID or wrong password"));
        if (level == "info") {
            EXPECT_TRUE(service.said("disconnected"));
        }
        service.stop();
        std::string log = service.err();
        const std::regex line(
            R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}Z yonda-service (error|notice|warning|info): .+)");
        std::istringstream lines(log);
        int count = 0;
        for (std::string text; std::getline(lines, text); ++count)
            EXPECT_TRUE(std::regex_match(text, line)) << text;
        EXPECT_GE(count, 3);
        bool detailed = level == "info";
        for (const char* event :
             {" connected", "bot0001 (user 2) logged in", "bot0001 (user 2) logged out", " disconnected"})
            EXPECT_EQ(log.find(event) != std::string::npos, detailed) << level << ": " << event << "\n" << log;
        EXPECT_NE(log.find("login as \"bot0002\" refused"), std::string::npos) << log;
    }
}

TEST_F(CommandLine, SimulatedMembersSayWhyTheyCouldNotLogIn)
{
    Ran bad = run("yonda-bots", {"--members", "abc"});
    EXPECT_EQ(bad.code, 2);
    EXPECT_NE(bad.err.find("--members needs a number"), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find("\"abc\""), std::string::npos);
    bad = run("yonda-bots", {"--chat", "often"});
    EXPECT_EQ(bad.code, 2);
    EXPECT_NE(bad.err.find("--chat"), std::string::npos) << bad.err;
    bad = run("yonda-bots", {"--connect", "127.0.0.54:http"});
    EXPECT_EQ(bad.code, 2);
    EXPECT_NE(bad.err.find("port"), std::string::npos) << bad.err;

    // Nothing listens there.
    Ran alone = run("yonda-bots", {"--connect", "127.0.0.54:1", "--members", "2", "--duration", "0.2"});
    EXPECT_EQ(alone.code, 1);
    EXPECT_NE(alone.err.find("2 members could not log in: cannot connect to 127.0.0.54:1: Connection refused"),
              std::string::npos)
        << alone.err;

    ASSERT_EQ(run("yonda-service", {"seed-demo", "--bots", "3", "--db", database}).code, 0);
    Running service("yonda-service", {"--listen", "127.0.0.54:0", "--db", database, "--quiet"});
    uint16_t port = servingPort(service, "127.0.0.54");
    ASSERT_GT(port, 0) << service.err();
    std::string address = "127.0.0.54:" + std::to_string(port);
    Ran wrong = run("yonda-bots", {"--connect", address, "--members", "2", "--password", "nope", "--duration", "0.2"});
    EXPECT_EQ(wrong.code, 1);
    EXPECT_NE(wrong.err.find("could not log in: wrong password or unknown ID"), std::string::npos) << wrong.err;

    Ran fewer = run("yonda-bots", {"--connect", address, "--members", "5", "--duration", "0.5", "--chat", "0.1"});
    EXPECT_EQ(fewer.code, 0) << fewer.err;
    EXPECT_NE(fewer.err.find("2 members could not log in: wrong password or unknown ID"), std::string::npos)
        << fewer.err;
    EXPECT_NE(fewer.err.find("only 3 of the 5 members asked for logged in (from bot0004 on)"), std::string::npos)
        << fewer.err;
    EXPECT_NE(fewer.out.find("refused by the service or unanswered"), std::string::npos) << fewer.out;
    service.stop();
}
