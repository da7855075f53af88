// Files and folders by Windows path, through the resolver.
#include "KernelObject.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

using namespace yonda::kernel;

namespace {

// ENOENT means a missing file when its folder exists and a missing path otherwise, as the
// platform tells the two apart.
void SetLastErrorForPath(int error, const std::string& hostPath)
{
    if (error == ENOENT) {
        std::string folder = hostPath;
        while (!folder.empty() && folder.back() == '/')
            folder.pop_back();
        size_t slash = folder.rfind('/');
        folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : folder.substr(0, slash));
        struct stat st {};
        SetLastError(stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? ERROR_FILE_NOT_FOUND
                                                                           : ERROR_PATH_NOT_FOUND);
        return;
    }
    SetLastErrorFromErrno(error);
}

bool CheckPath(LPCSTR path)
{
    if (!path || !*path) {
        SetLastError(path ? ERROR_PATH_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

} // namespace

DWORD GetFileAttributesA(LPCSTR lpFileName)
{
    if (!CheckPath(lpFileName))
        return INVALID_FILE_ATTRIBUTES;
    std::string host = YondaHostPath(lpFileName);
    struct stat st {};
    if (stat(host.c_str(), &st) != 0) {
        SetLastErrorForPath(errno, host);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (S_ISDIR(st.st_mode))
        return FILE_ATTRIBUTE_DIRECTORY;
    return FILE_ATTRIBUTE_ARCHIVE | ((st.st_mode & S_IWUSR) ? 0 : FILE_ATTRIBUTE_READONLY);
}

BOOL CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes)
{
    if (!CheckPath(lpPathName))
        return FALSE;
    std::string host = YondaHostPath(lpPathName);
    if (mkdir(host.c_str(), 0755) != 0) {
        if (errno == ENOENT)
            SetLastError(ERROR_PATH_NOT_FOUND);
        else
            SetLastErrorFromErrno(errno);
        return FALSE;
    }
    return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR lpPathName)
{
    if (!CheckPath(lpPathName))
        return FALSE;
    std::string host = YondaHostPath(lpPathName);
    if (rmdir(host.c_str()) != 0) {
        SetLastErrorForPath(errno, host);
        return FALSE;
    }
    return TRUE;
}

BOOL DeleteFileA(LPCSTR lpFileName)
{
    if (!CheckPath(lpFileName))
        return FALSE;
    std::string host = YondaHostPath(lpFileName);
    struct stat st {};
    if (stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (unlink(host.c_str()) != 0) {
        SetLastErrorForPath(errno, host);
        return FALSE;
    }
    return TRUE;
}

BOOL MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName)
{
    if (!CheckPath(lpExistingFileName) || !CheckPath(lpNewFileName))
        return FALSE;
    std::string from = YondaHostPath(lpExistingFileName);
    std::string to = YondaHostPath(lpNewFileName);
    struct stat st {};
    // The platform's move never replaces a file.
    if (lstat(to.c_str(), &st) == 0) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    if (rename(from.c_str(), to.c_str()) != 0) {
        SetLastErrorForPath(errno, from);
        return FALSE;
    }
    return TRUE;
}

BOOL CopyFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists)
{
    if (!CheckPath(lpExistingFileName) || !CheckPath(lpNewFileName))
        return FALSE;
    std::string from = YondaHostPath(lpExistingFileName);
    std::string to = YondaHostPath(lpNewFileName);
    int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        SetLastErrorForPath(errno, from);
        return FALSE;
    }
    int out = open(to.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (bFailIfExists ? O_EXCL : O_TRUNC), 0644);
    if (out < 0) {
        SetLastError(errno == EEXIST ? ERROR_FILE_EXISTS : ERROR_ACCESS_DENIED);
        close(in);
        return FALSE;
    }
    char buffer[65536];
    bool ok = true;
    for (;;) {
        ssize_t n = read(in, buffer, sizeof(buffer));
        if (n == 0)
            break;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ok = false;
            break;
        }
        for (ssize_t done = 0; done < n;) {
            ssize_t w = write(out, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0) {
                ok = false;
                break;
            }
            done += w;
        }
        if (!ok)
            break;
    }
    if (!ok)
        SetLastErrorFromErrno(errno);
    close(in);
    if (close(out) != 0 && ok) {
        SetLastErrorFromErrno(errno);
        ok = false;
    }
    return ok ? TRUE : FALSE;
}

DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer)
{
    std::string path;
    {
        std::string buffer(4096, '\0');
        while (!getcwd(buffer.data(), buffer.size())) {
            if (errno != ERANGE) {
                SetLastErrorFromErrno(errno);
                return 0;
            }
            buffer.resize(buffer.size() * 2);
        }
        path = buffer.c_str();
    }
    for (char& c : path)
        if (c == '/')
            c = '\\';
    // Too small a buffer answers the size needed, terminator included.
    if (!lpBuffer || nBufferLength <= path.size())
        return static_cast<DWORD>(path.size() + 1);
    memcpy(lpBuffer, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

BOOL SetCurrentDirectoryA(LPCSTR lpPathName)
{
    if (!CheckPath(lpPathName))
        return FALSE;
    std::string host = YondaHostPath(lpPathName);
    if (chdir(host.c_str()) != 0) {
        SetLastErrorForPath(errno, host);
        return FALSE;
    }
    return TRUE;
}
