#pragma once
// RIFF WAVE images of 16-bit PCM: the "fmt " chunk of 16 bytes and the "data" chunk.
#include <cstdint>
#include <vector>

namespace yonda::sounds {

std::vector<uint8_t> WaveBytes(const std::vector<int16_t>& samples, int sampleRate, int channels);

} // namespace yonda::sounds
