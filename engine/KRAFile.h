// Reading engine files by their Windows paths.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The whole file, or false when it cannot be opened or read (or is absurdly large).
bool KRAReadWholeFile(const std::string& strWindowsPath, std::vector<uint8_t>& vOut);
// The file's text lines without their line ends ("\r\n" or "\n"); false when it cannot be opened.
bool KRAReadTextLines(const std::string& strWindowsPath, std::vector<std::string>& vOut);
