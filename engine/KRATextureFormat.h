// The KRT texture wrapper: a tag, a length and a complete image file of that length.
#pragma once

#include <cstddef>
#include <cstdint>

// Finds the wrapped image; false when the file is shorter than its header or its length says.
bool KRAParseTextureFile(const uint8_t* pData, size_t nSize, const uint8_t*& pImage, size_t& nImageSize);

// Whether a path names a KRT file: the text from its last '.' is exactly ".KRT" or ".krt".
bool KRAIsTextureFileName(const char* szPath);
