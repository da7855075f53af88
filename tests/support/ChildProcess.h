// A program started by a test: its environment and working folder set, its stdout and stderr
// collected as it writes them (for assertions and for failure output), waited for with a bound,
// and killed when the object goes. The child dies with the thread that started it, so a test
// that crashes leaves nothing running.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace yonda::testing {

class ChildProcess {
public:
    struct Options {
        std::string program; // a path, or a name looked up in PATH
        std::vector<std::string> arguments;
        // Set (or, with no value, removed from) the test's own environment.
        std::map<std::string, std::optional<std::string>> environment;
        std::string workingDirectory; // empty: the test's
    };

    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // False with the reason when it could not be started.
    bool Start(const Options& options, std::string* why);
    bool Running();
    // The exit status (128 + the signal for a signal), or nothing if it still runs at the end.
    std::optional<int> Wait(std::chrono::milliseconds timeout);
    // Sends the signal (SIGTERM, SIGKILL...) if it still runs.
    void Signal(int signal);
    // Ends it: SIGTERM, then SIGKILL after the grace; the exit status.
    int Stop(std::chrono::milliseconds grace = std::chrono::seconds(5));
    pid_t Pid() const { return m_pid; }
    std::optional<int> ExitStatus() const { return m_status; }

    std::string Stdout() const;
    std::string Stderr() const;
    // Waits until stdout (or stderr) holds the text; false when the time is up or the program
    // ended without writing it.
    bool WaitForOutput(const std::string& text, std::chrono::milliseconds timeout, bool onStderr = false);
    // Both streams, labelled, for a failure message.
    std::string Output() const;

private:
    struct Streams;
    static void Collect(std::shared_ptr<Streams> streams, int outFd, int errFd);
    bool Reap(bool block);

    pid_t m_pid = -1;
    std::optional<int> m_status;
    struct Streams {
        mutable std::mutex mutex;
        std::condition_variable changed;
        std::string out, err;
        bool closed = false;
    };
    std::shared_ptr<Streams> m_streams = std::make_shared<Streams>();
};

// The test's build tree (YONDA_BINARY_DIR, which CTest hands every test), else ".".
std::string BinaryDir();
// The test's source tree (YONDA_SOURCE_DIR, handed over the same way), else ".".
std::string SourceDir();

// A shell command line run to its end, as a person runs it: its exit status (-1 when it had to be
// stopped after `timeout`) and what it wrote to stdout and stderr, together.
struct CommandRun {
    int status = -1;
    std::string output;
};
CommandRun RunCommand(const std::string& commandLine, std::chrono::milliseconds timeout = std::chrono::minutes(2));

} // namespace yonda::testing
