#include "HostFile.h"

namespace yonda::sound {

FILE* OpenHostFile(LPCSTR windowsPath)
{
    return std::fopen(windowsPath, "rb");
}

} // namespace yonda::sound
