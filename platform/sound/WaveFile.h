// A whole RIFF WAVE read into a sample block: the "fmt " chunk checked as the mixer needs it,
// the "data" chunk read to its declared end.
#pragma once

#include "Mixer.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace yonda::sound {

// Null when the bytes are no playable PCM wave: not RIFF WAVE, a chunk past the end, a format
// other than 8- or 16-bit PCM with one or two channels, or no sample data.
std::shared_ptr<SampleBlock> ReadWave(HMMIO file);
std::shared_ptr<SampleBlock> ReadWaveMemory(const void* bytes, size_t size);
std::shared_ptr<SampleBlock> ReadWaveFile(LPCSTR windowsPath);

} // namespace yonda::sound
