// An X server of our own for end-to-end tests, on a display number it picks itself; killed and
// reaped at the end, and gone with the test however the test ends.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

class OwnXServer {
public:
    // screen: "WIDTHxHEIGHTxDEPTH".
    bool Start(std::string* error, const char* screen = "800x600x24") {
        int fds[2];
        if (pipe(fds) != 0) return Fail(error, "pipe");
        fcntl(fds[0], F_SETFD, FD_CLOEXEC);
        std::string fd = std::to_string(fds[1]);
        const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen, "-nolisten", "tcp", nullptr};
        pid_t parent = getpid();
        m_pid = fork();
        if (m_pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (getppid() != parent) _exit(127);
            int null = open("/dev/null", O_WRONLY);
            if (null >= 0) dup2(null, 2);
            execvp("Xvfb", const_cast<char**>(argv));
            _exit(127);
        }
        close(fds[1]);
        if (m_pid < 0) {
            close(fds[0]);
            m_pid = 0;
            return Fail(error, "Xvfb could not be started (scripts/deps.sh installs it)");
        }
        // The server writes its display number once it accepts connections.
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.empty()) return Fail(error, "Xvfb did not start (scripts/deps.sh installs it)");
        m_display = ":" + number;
        return true;
    }
    ~OwnXServer() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            int status;
            waitpid(m_pid, &status, 0);
        }
    }
    const std::string& Display() const { return m_display; }

private:
    static bool Fail(std::string* error, const char* what) {
        *error = what;
        return false;
    }
    pid_t m_pid = 0;
    std::string m_display;
};
