// Builds RIFF WAVE images byte by byte, well-formed or broken on purpose.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace yonda::sound::test {

using Bytes = std::vector<uint8_t>;

void PutWord(Bytes& out, uint32_t value);
void PutDword(Bytes& out, uint32_t value);
// A chunk with its id, size and body, padded to an even length.
Bytes Chunk(const std::string& id, const Bytes& body);
Bytes FormatChunk(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits);
Bytes Riff(const std::string& form, const Bytes& chunks);
// A PCM wave of the given layout around the sample bytes.
Bytes Wave(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& samples);
// 16-bit samples as little-endian bytes.
Bytes Samples16(const std::vector<int16_t>& samples);

} // namespace yonda::sound::test
