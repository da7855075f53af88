// Reading engine files by their Windows paths.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

struct KRAFileCloser {
    void operator()(FILE* p) const { std::fclose(p); }
};
using KRAFilePtr = std::unique_ptr<FILE, KRAFileCloser>;

// Opens a file for binary reading and gives its size; null when it cannot be opened or sized.
KRAFilePtr KRAOpenFileForReading(const std::string& strWindowsPath, uint64_t& nSize);

// The whole file, or false when it cannot be opened or read (or is absurdly large).
bool KRAReadWholeFile(const std::string& strWindowsPath, std::vector<uint8_t>& vOut);
// The file's text lines without their line ends ("\r\n" or "\n"); false when it cannot be opened.
bool KRAReadTextLines(const std::string& strWindowsPath, std::vector<std::string>& vOut);
