#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace yonda::testing {
namespace {

std::string FindInPath(const std::string& program)
{
    if (program.find('/') != std::string::npos)
        return program;
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        std::string candidate = folders.substr(start, end - start) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return program;
}

} // namespace

std::string BinaryDir()
{
    const char* dir = std::getenv("YONDA_BINARY_DIR");
    return dir && *dir ? dir : ".";
}

std::string SourceDir()
{
    const char* dir = std::getenv("YONDA_SOURCE_DIR");
    return dir && *dir ? dir : ".";
}

CommandRun RunCommand(const std::string& commandLine, std::chrono::milliseconds timeout)
{
    ChildProcess shell;
    std::string why;
    if (!shell.Start({"/bin/sh", {"-c", commandLine + " 2>&1"}, {}, ""}, &why))
        return {-1, why};
    std::optional<int> status = shell.Wait(timeout);
    if (!status) {
        shell.Stop();
        return {-1, shell.Stdout() + "\n(stopped: still running after " + std::to_string(timeout.count()) + " ms)"};
    }
    return {*status, shell.Stdout()};
}

ChildProcess::~ChildProcess()
{
    if (m_pid > 0)
        Stop(std::chrono::milliseconds(0));
}

bool ChildProcess::Start(const Options& options, std::string* why)
{
    std::map<std::string, std::string> variables;
    for (char** entry = environ; entry && *entry; ++entry) {
        const char* equals = std::strchr(*entry, '=');
        if (equals)
            variables[std::string(*entry, static_cast<size_t>(equals - *entry))] = equals + 1;
    }
    for (const auto& [name, value] : options.environment) {
        if (value)
            variables[name] = *value;
        else
            variables.erase(name);
    }
    // Everything the child needs is made before fork: after it only exec-safe calls are made.
    std::string program = FindInPath(options.program);
    std::vector<std::string> strings;
    strings.push_back(program);
    strings.insert(strings.end(), options.arguments.begin(), options.arguments.end());
    std::vector<char*> argv;
    for (std::string& s : strings)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    std::vector<std::string> pairs;
    for (const auto& [name, value] : variables)
        pairs.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& s : pairs)
        envp.push_back(s.data());
    envp.push_back(nullptr);

    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        *why = std::strerror(errno);
        return false;
    }
    if (pipe2(err, O_CLOEXEC) != 0) {
        *why = std::strerror(errno);
        close(out[0]);
        close(out[1]);
        return false;
    }
    const char* folder = options.workingDirectory.empty() ? nullptr : options.workingDirectory.c_str();
    pid_t parent = getpid();
    m_pid = fork();
    if (m_pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        int null = open("/dev/null", O_RDONLY);
        if (null >= 0)
            dup2(null, 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        if (folder && chdir(folder) != 0)
            _exit(126);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    if (m_pid < 0) {
        *why = std::strerror(errno);
        close(out[0]);
        close(err[0]);
        return false;
    }
    m_status.reset();
    // The reader holds only the streams: a grandchild that keeps the pipes open keeps it, not us.
    std::thread(&ChildProcess::Collect, m_streams, out[0], err[0]).detach();
    return true;
}

void ChildProcess::Collect(std::shared_ptr<Streams> streams, int outFd, int errFd)
{
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    int open = 2;
    char buffer[4096];
    while (open > 0) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !fds[i].revents)
                continue;
            ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
                continue;
            }
            std::lock_guard lock(streams->mutex);
            (i == 0 ? streams->out : streams->err).append(buffer, static_cast<size_t>(n));
            streams->changed.notify_all();
        }
    }
    for (pollfd& p : fds)
        if (p.fd >= 0)
            close(p.fd);
    std::lock_guard lock(streams->mutex);
    streams->closed = true;
    streams->changed.notify_all();
}

bool ChildProcess::Reap(bool block)
{
    if (m_pid <= 0)
        return true;
    int status = 0;
    pid_t got;
    do {
        got = waitpid(m_pid, &status, block ? 0 : WNOHANG);
    } while (got < 0 && errno == EINTR);
    if (got == 0)
        return false;
    if (got == m_pid)
        m_status = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
    m_pid = -1;
    // Output written just before the end is collected before anyone looks at it.
    std::unique_lock lock(m_streams->mutex);
    m_streams->changed.wait_for(lock, std::chrono::seconds(2), [&] { return m_streams->closed; });
    return true;
}

bool ChildProcess::Running()
{
    return !Reap(false);
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!Reap(false)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return m_status;
}

void ChildProcess::Signal(int signal)
{
    if (m_pid > 0)
        kill(m_pid, signal);
}

int ChildProcess::Stop(std::chrono::milliseconds grace)
{
    if (m_pid > 0) {
        Signal(SIGTERM);
        if (!Wait(grace)) {
            Signal(SIGKILL);
            Reap(true);
        }
    }
    return m_status.value_or(-1);
}

std::string ChildProcess::Stdout() const
{
    std::lock_guard lock(m_streams->mutex);
    return m_streams->out;
}

std::string ChildProcess::Stderr() const
{
    std::lock_guard lock(m_streams->mutex);
    return m_streams->err;
}

std::string ChildProcess::Output() const
{
    std::lock_guard lock(m_streams->mutex);
    return "--- stdout ---\n" + m_streams->out + "--- stderr ---\n" + m_streams->err + "---";
}

bool ChildProcess::WaitForOutput(const std::string& text, std::chrono::milliseconds timeout, bool onStderr)
{
    std::unique_lock lock(m_streams->mutex);
    return m_streams->changed.wait_for(lock, timeout, [&] {
        const std::string& stream = onStderr ? m_streams->err : m_streams->out;
        return stream.find(text) != std::string::npos || m_streams->closed;
    }) && (onStderr ? m_streams->err : m_streams->out).find(text) != std::string::npos;
}

} // namespace yonda::testing
