// Windows paths onto the host's case-sensitive file system. The program spells one folder
// several ways ("\Data\Avatar\KRI\" and "\Data\Avatar\kri\"), so every component is matched
// without regard to case; listings are cached per folder and re-read when the folder changes.
#include "HostPath.h"

#include "CodePage.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <mutex>
#include <vector>

namespace yonda::kernel {
namespace {

std::string FoldAscii(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

class ListingCache {
public:
    // The entry of `folder` whose name equals `name` without regard to case; empty when none.
    std::string Find(const std::string& folder, const std::string& name)
    {
        struct stat st {};
        if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return {};
        std::lock_guard lock(m_mutex);
        Listing& listing = m_listings[folder];
        if (!listing.loaded || listing.mtime.tv_sec != st.st_mtim.tv_sec ||
            listing.mtime.tv_nsec != st.st_mtim.tv_nsec || listing.inode != st.st_ino) {
            Load(folder, listing);
            listing.mtime = st.st_mtim;
            listing.inode = st.st_ino;
        }
        auto found = listing.names.find(FoldAscii(name));
        return found == listing.names.end() ? std::string() : found->second;
    }

private:
    struct Listing {
        bool loaded = false;
        timespec mtime{};
        ino_t inode = 0;
        std::map<std::string, std::string> names; // folded -> as on disk
    };

    static void Load(const std::string& folder, Listing& listing)
    {
        listing.names.clear();
        listing.loaded = true;
        DIR* dir = opendir(folder.c_str());
        if (!dir)
            return;
        std::vector<std::string> names;
        while (dirent* entry = readdir(dir))
            names.emplace_back(entry->d_name);
        closedir(dir);
        // Of two names that differ only in case, the first in byte order wins, whatever order
        // the file system lists them in.
        std::sort(names.begin(), names.end());
        for (auto& name : names)
            listing.names.emplace(FoldAscii(name), name);
    }

    std::mutex m_mutex;
    std::map<std::string, Listing> m_listings;
};

ListingCache& Cache()
{
    static ListingCache& cache = *new ListingCache;
    return cache;
}

std::string CurrentDirectory()
{
    std::vector<char> buffer(4096);
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE)
            return ".";
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

} // namespace

std::vector<std::string> SplitWindowsPath(std::string_view path, bool& absolute, bool& trailingSeparator)
{
    // A drive letter names the one file system there is.
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
        path.remove_prefix(2);
    absolute = !path.empty() && (path[0] == '\\' || path[0] == '/');
    trailingSeparator = !path.empty() && (path.back() == '\\' || path.back() == '/');
    std::vector<std::string> components;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\' || path[i] == '/') {
            if (i > start)
                components.emplace_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return components;
}

std::string HostComponent(std::string_view component)
{
    if (IsValidUtf8(component))
        return std::string(component);
    return YondaCodePageToUtf8(component, CP_ACP);
}

} // namespace yonda::kernel

using namespace yonda::kernel;

std::string YondaHostPath(LPCSTR windowsPath)
{
    if (!windowsPath)
        return {};
    bool absolute = false;
    bool trailing = false;
    std::vector<std::string> components = SplitWindowsPath(windowsPath, absolute, trailing);

    std::string result = absolute ? "/" : "";
    // The folder the next component is looked up in, as an absolute path for the cache.
    std::string folder = absolute ? "/" : CurrentDirectory();
    bool resolving = true;
    for (size_t i = 0; i < components.size(); ++i) {
        std::string name = HostComponent(components[i]);
        if (resolving && name != "." && name != "..") {
            std::string candidate = folder;
            if (candidate.back() != '/')
                candidate.push_back('/');
            candidate.append(name);
            struct stat st {};
            if (lstat(candidate.c_str(), &st) != 0) {
                std::string match = Cache().Find(folder, name);
                if (match.empty())
                    resolving = false; // the rest cannot exist: keep it as written
                else
                    name = match;
            }
        }
        if (!result.empty() && result.back() != '/')
            result += '/';
        result += name;
        if (resolving) {
            if (folder.back() != '/')
                folder += '/';
            folder += name;
        }
    }
    if (trailing && !result.empty() && result.back() != '/')
        result += '/';
    return result;
}

FILE* YondaOpenFile(LPCSTR windowsPath, LPCSTR mode)
{
    if (!windowsPath || !mode) {
        errno = EINVAL;
        return nullptr;
    }
    std::string hostMode;
    for (const char* m = mode; *m; ++m)
        if (*m != 't')
            hostMode += *m;
    return fopen(YondaHostPath(windowsPath).c_str(), hostMode.c_str());
}
