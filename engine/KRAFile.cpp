#include "KRAFile.h"

#include <windows.h>

#include <cstdio>
#include <memory>

namespace {

// No engine file comes near this; a larger one is refused rather than exhausting memory.
constexpr long kMaxFileSize = 512L * 1024 * 1024;

struct FileCloser {
    void operator()(FILE* p) const { std::fclose(p); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

#if __has_include(<yonda_platform.h>)
std::string HostPath(const std::string& strPath)
{
    return YondaHostPath(strPath.c_str());
}
#else
std::string HostPath(const std::string& strPath)
{
    std::string strHost = strPath;
    for (char& c : strHost)
        if (c == '\\')
            c = '/';
    return strHost;
}
#endif

FilePtr OpenFile(const std::string& strPath, const char* szMode)
{
    return FilePtr(std::fopen(HostPath(strPath).c_str(), szMode));
}

} // namespace

bool KRAReadWholeFile(const std::string& strWindowsPath, std::vector<uint8_t>& vOut)
{
    FilePtr file = OpenFile(strWindowsPath, "rb");
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) {
        vOut.clear();
        return false;
    }
    long lSize = std::ftell(file.get());
    if (lSize < 0 || lSize > kMaxFileSize || std::fseek(file.get(), 0, SEEK_SET) != 0) {
        vOut.clear();
        return false;
    }
    // The caller's buffer keeps its room between files, so repeated loads reuse it.
    vOut.resize(size_t(lSize));
    if (lSize > 0 && std::fread(vOut.data(), 1, vOut.size(), file.get()) != vOut.size()) {
        vOut.clear();
        return false;
    }
    return true;
}

bool KRAReadTextLines(const std::string& strWindowsPath, std::vector<std::string>& vOut)
{
    vOut.clear();
    std::vector<uint8_t> vBytes;
    if (!KRAReadWholeFile(strWindowsPath, vBytes))
        return false;
    std::string strLine;
    for (uint8_t b : vBytes) {
        if (b == '\n') {
            if (!strLine.empty() && strLine.back() == '\r')
                strLine.pop_back();
            vOut.push_back(strLine);
            strLine.clear();
        } else {
            strLine.push_back(char(b));
        }
    }
    if (!strLine.empty()) {
        if (strLine.back() == '\r')
            strLine.pop_back();
        vOut.push_back(strLine);
    }
    return true;
}
