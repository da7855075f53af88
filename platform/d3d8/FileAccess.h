// Files named by the programs' paths, read and written through the kernel's path resolver.
#pragma once

#include <string>
#include <vector>

#include "windef.h"

namespace yonda::d3d8 {

// The whole file, or false when it cannot be read (or is larger than the limit).
bool ReadWholeFile(LPCSTR path, std::vector<BYTE>* bytes, size_t limit = size_t(512) << 20);
bool WriteWholeFile(LPCSTR path, const std::vector<BYTE>& bytes);

} // namespace yonda::d3d8
