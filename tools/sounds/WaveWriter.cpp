#include "WaveWriter.h"

namespace yonda::sounds {

namespace {

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

void PutId(std::vector<uint8_t>& out, const char* id)
{
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(id[i]));
    }
}

} // namespace

std::vector<uint8_t> WaveBytes(const std::vector<int16_t>& samples, int sampleRate, int channels)
{
    const uint32_t dataSize = static_cast<uint32_t>(samples.size() * 2);
    const uint32_t blockAlign = static_cast<uint32_t>(channels * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + dataSize + 1);
    PutId(out, "RIFF");
    // "WAVE", the format chunk, the data chunk and its pad byte.
    Put(out, 4 + (8 + 16) + (8 + dataSize + (dataSize & 1)), 4);
    PutId(out, "WAVE");
    PutId(out, "fmt ");
    Put(out, 16, 4);
    Put(out, 1, 2); // PCM
    Put(out, static_cast<uint32_t>(channels), 2);
    Put(out, static_cast<uint32_t>(sampleRate), 4);
    Put(out, static_cast<uint32_t>(sampleRate) * blockAlign, 4);
    Put(out, blockAlign, 2);
    Put(out, 16, 2);
    PutId(out, "data");
    Put(out, dataSize, 4);
    for (int16_t sample : samples) {
        Put(out, static_cast<uint16_t>(sample), 2);
    }
    if (dataSize & 1) {
        out.push_back(0);
    }
    return out;
}

} // namespace yonda::sounds
