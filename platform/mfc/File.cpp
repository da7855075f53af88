// The file status query of CFile, over the host file system through the path resolver.
#include <afx.h>
#include <yonda_platform.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

bool IsAbsolute(const std::string& path)
{
    if (!path.empty() && (path[0] == '\\' || path[0] == '/'))
        return true;
    return path.size() >= 2 && path[1] == ':';
}

std::string FullPathOf(const std::string& path)
{
    if (IsAbsolute(path))
        return path;
    std::string folder(MAX_PATH, '\0');
    DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(folder.size()), folder.data());
    if (length >= folder.size()) {
        folder.assign(length, '\0');
        length = GetCurrentDirectoryA(static_cast<DWORD>(folder.size()), folder.data());
    }
    folder.resize(length < folder.size() ? length : 0);
    if (folder.empty())
        return path;
    return folder + (folder.back() == '\\' ? "" : "\\") + path;
}

} // namespace

BOOL CFile::GetStatus(LPCSTR lpszFileName, CFileStatus& rStatus)
{
    rStatus = CFileStatus{};
    if (!lpszFileName || !*lpszFileName)
        return FALSE;
    struct stat st {};
    if (stat(YondaHostPath(lpszFileName).c_str(), &st) != 0)
        return FALSE;
    rStatus.m_ctime = CTime(st.st_ctim.tv_sec);
    rStatus.m_mtime = CTime(st.st_mtim.tv_sec);
    rStatus.m_atime = CTime(st.st_atim.tv_sec);
    const bool folder = S_ISDIR(st.st_mode);
    rStatus.m_size = folder ? 0 : static_cast<ULONGLONG>(st.st_size);
    rStatus.m_attribute = static_cast<BYTE>((folder ? directory : archive) | ((st.st_mode & S_IWUSR) ? 0 : readOnly));
    const std::string full = FullPathOf(lpszFileName);
    const size_t length = std::min(full.size(), sizeof(rStatus.m_szFullName) - 1);
    std::memcpy(rStatus.m_szFullName, full.data(), length);
    rStatus.m_szFullName[length] = '\0';
    return TRUE;
}
