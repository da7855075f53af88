// Sound files are named by Windows paths; this opens one for reading on the host.
#pragma once

#include "windef.h"

#include <cstdio>

namespace yonda::sound {

FILE* OpenHostFile(LPCSTR windowsPath);

} // namespace yonda::sound
