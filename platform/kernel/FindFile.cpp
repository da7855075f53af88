// Folder searches: "dir\*.bmp" style patterns, matched without regard to case, as the platform
// matches them. The listing is taken when the search starts.
#include "CodePage.h"
#include "HostPath.h"
#include "KernelObject.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace yonda::kernel {
namespace {

char32_t FoldAscii(char32_t c)
{
    return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
}

std::u32string ToCodePoints(std::string_view utf8)
{
    std::u32string out;
    Utf8().ForEach(utf8, [&](char32_t cp, bool) {
        out.push_back(FoldAscii(cp));
        return true;
    });
    return out;
}

// '*' matches any run of characters, '?' one character.
bool Matches(const std::u32string& pattern, const std::u32string& name)
{
    size_t p = 0, n = 0, star = std::u32string::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::u32string::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

FILETIME ToFileTime(const timespec& ts)
{
    // 100 ns ticks since 1601.
    uint64_t ticks = (static_cast<uint64_t>(ts.tv_sec) + 11644473600ULL) * 10000000ULL + ts.tv_nsec / 100;
    return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

class FindObject : public KernelObject {
public:
    // Answers the next entry, if any; two threads may step one search.
    bool Next(WIN32_FIND_DATAA& data)
    {
        std::lock_guard lock(m_mutex);
        if (m_next >= entries.size())
            return false;
        data = entries[m_next++];
        return true;
    }

    std::vector<WIN32_FIND_DATAA> entries;

private:
    std::mutex m_mutex;
    size_t m_next = 0;
};

bool FillEntry(const std::string& folder, const std::string& name, WIN32_FIND_DATAA& data)
{
    struct stat st {};
    if (stat((folder + "/" + name).c_str(), &st) != 0)
        return false;
    memset(&data, 0, sizeof(data));
    data.dwFileAttributes = S_ISDIR(st.st_mode)
                                ? FILE_ATTRIBUTE_DIRECTORY
                                : (FILE_ATTRIBUTE_ARCHIVE | ((st.st_mode & S_IWUSR) ? 0 : FILE_ATTRIBUTE_READONLY));
    data.ftCreationTime = ToFileTime(st.st_ctim);
    data.ftLastAccessTime = ToFileTime(st.st_atim);
    data.ftLastWriteTime = ToFileTime(st.st_mtim);
    uint64_t size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size);
    // The program sees names in its code page.
    std::string bytes = YondaUtf8ToCodePage(name, CP_ACP);
    if (bytes.size() >= MAX_PATH)
        return false;
    memcpy(data.cFileName, bytes.c_str(), bytes.size() + 1);
    return true;
}

} // namespace
} // namespace yonda::kernel

using namespace yonda::kernel;

HANDLE FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData)
{
    if (!lpFileName || !lpFindFileData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string path = lpFileName;
    size_t cut = path.find_last_of("\\/");
    std::string folderPart = cut == std::string::npos ? "" : path.substr(0, cut + 1);
    std::string pattern = cut == std::string::npos ? path : path.substr(cut + 1);
    if (pattern.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::string folder = folderPart.empty() ? "." : YondaHostPath(folderPart.c_str());
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    // "*.*" is everything, names without a dot included.
    if (pattern == "*.*")
        pattern = "*";
    std::u32string wanted = ToCodePoints(HostComponent(pattern));

    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (Matches(wanted, ToCodePoints(name)))
                names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return ToCodePoints(a) < ToCodePoints(b); });
    auto find = std::make_shared<FindObject>();
    for (const std::string& name : names) {
        WIN32_FIND_DATAA data;
        if (FillEntry(folder, name, data))
            find->entries.push_back(data);
    }
    if (find->entries.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = InsertHandle(find);
    if (!handle)
        return INVALID_HANDLE_VALUE;
    find->Next(*lpFindFileData);
    return handle;
}

BOOL FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData)
{
    auto find = LookupHandleAs<FindObject>(hFindFile);
    if (!find)
        return FALSE;
    if (!lpFindFileData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!find->Next(*lpFindFileData)) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    return TRUE;
}

BOOL FindClose(HANDLE hFindFile)
{
    if (!LookupHandleAs<FindObject>(hFindFile))
        return FALSE;
    return CloseHandle(hFindFile);
}
