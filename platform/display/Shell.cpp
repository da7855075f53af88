// Opening addresses and folders with the desktop's handler. The target is text from settings
// files and the network, so it reaches xdg-open as one argument of an argument vector, never
// through a shell, and never where the handler could take it for an option.
#include <windows.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

extern char** environ;

namespace {

HINSTANCE Answer(int code)
{
    return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(code));
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// "scheme:..." with a scheme of two letters or more, so "C:\dir" stays a path.
bool IsAddress(std::string_view target)
{
    size_t colon = target.find(':');
    if (colon == std::string_view::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(target[0])))
        return false;
    for (size_t i = 1; i < colon; ++i) {
        char c = target[i];
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

std::string FindProgram(const char* name)
{
    const char* path = std::getenv("PATH");
    std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (!dirs.empty()) {
        size_t end = dirs.find(':');
        std::string_view dir = dirs.substr(0, end);
        dirs = end == std::string_view::npos ? std::string_view{} : dirs.substr(end + 1);
        if (dir.empty())
            continue; // the current folder is never searched
        std::string candidate = std::string(dir) + "/" + name;
        struct stat st;
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

int ErrorOf(int error)
{
    switch (error) {
    case ENOENT: return SE_ERR_FNF;
    case ENOTDIR: return SE_ERR_PNF;
    case EACCES:
    case EPERM: return SE_ERR_ACCESSDENIED;
    case ENOMEM:
    case EAGAIN: return SE_ERR_OOM;
    default: return SE_ERR_NOASSOC;
    }
}

// The argument for the handler: an address as UTF-8, or the absolute host path of an existing
// file or folder. 0 when usable, else the answer to give.
int Resolve(const char* file, const char* directory, std::string* argument)
{
    std::string_view target = file;
    for (char c : target)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return SE_ERR_FNF;
    if (IsAddress(target)) {
        *argument = YondaCodePageToUtf8(target, 0);
        return 0;
    }
    if (target.size() > 4 && EqualNoCase(target.substr(0, 4), "www.")) {
        *argument = "http://" + YondaCodePageToUtf8(target, 0);
        return 0;
    }
    std::string windowsPath(target);
    bool relative = target[0] != '\\' && target[0] != '/' && !(target.size() > 1 && target[1] == ':');
    if (relative && directory && *directory)
        windowsPath = std::string(directory) + "\\" + windowsPath;
    std::string host = YondaHostPath(windowsPath.c_str());
    char resolved[PATH_MAX];
    if (!realpath(host.c_str(), resolved))
        return ErrorOf(errno);
    *argument = resolved;
    return 0;
}

} // namespace

HINSTANCE ShellExecuteA(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR, LPCSTR lpDirectory, INT)
{
    if (lpOperation && !EqualNoCase(lpOperation, "open") && !EqualNoCase(lpOperation, "explore"))
        return Answer(SE_ERR_NOASSOC);
    if (!lpFile || !*lpFile)
        return Answer(SE_ERR_FNF);
    std::string argument;
    if (int error = Resolve(lpFile, lpDirectory, &argument))
        return Answer(error);
    std::string program = FindProgram("xdg-open");
    if (program.empty())
        return Answer(SE_ERR_NOASSOC);

    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return Answer(SE_ERR_OOM);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3); // the program's sockets stay its own
    char name[] = "xdg-open";
    char* argv[] = {name, argument.data(), nullptr};
    pid_t pid = 0;
    int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return Answer(ErrorOf(rc));
    // Nobody waits for the handler; this reaps it whenever it ends.
    std::thread([pid] {
        int status;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return Answer(42);
}
