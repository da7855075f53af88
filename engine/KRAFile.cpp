#include "KRAFile.h"

#include <windows.h>

#include <cstdio>
#include <memory>

namespace {

// No engine file comes near this; a larger one is refused rather than exhausting memory.
constexpr long kMaxFileSize = 512L * 1024 * 1024;

} // namespace

KRAFilePtr KRAOpenFileForReading(const std::string& strWindowsPath, uint64_t& nSize)
{
    nSize = 0;
    KRAFilePtr file(YondaOpenFile(strWindowsPath.c_str(), "rb"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0)
        return nullptr;
    long lSize = std::ftell(file.get());
    if (lSize < 0 || lSize > kMaxFileSize || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return nullptr;
    nSize = uint64_t(lSize);
    return file;
}

bool KRAReadWholeFile(const std::string& strWindowsPath, std::vector<uint8_t>& vOut)
{
    uint64_t nSize = 0;
    KRAFilePtr file = KRAOpenFileForReading(strWindowsPath, nSize);
    if (!file) {
        vOut.clear();
        return false;
    }
    long lSize = long(nSize);
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
