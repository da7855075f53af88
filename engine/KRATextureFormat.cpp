#include "KRATextureFormat.h"

#include "KRAByteReader.h"

#include <cstring>

bool KRAParseTextureFile(const uint8_t* pData, size_t nSize, const uint8_t*& pImage, size_t& nImageSize)
{
    pImage = nullptr;
    nImageSize = 0;
    CKRAByteReader reader(pData, nSize);
    reader.U32(); // tag, not used
    uint32_t uLength = reader.U32();
    if (!reader.Has(uLength, 1))
        return false;
    pImage = reader.Here();
    nImageSize = uLength;
    return true;
}

bool KRAIsTextureFileName(const char* szPath)
{
    if (!szPath)
        return false;
    const char* szDot = std::strrchr(szPath, '.');
    return szDot && (std::strcmp(szDot, ".KRT") == 0 || std::strcmp(szDot, ".krt") == 0);
}
