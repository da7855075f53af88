#include "WaveBytes.h"

namespace yonda::sound::test {

void PutWord(Bytes& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutDword(Bytes& out, uint32_t value)
{
    PutWord(out, value & 0xFFFF);
    PutWord(out, value >> 16);
}

Bytes Chunk(const std::string& id, const Bytes& body)
{
    Bytes out(id.begin(), id.end());
    PutDword(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2)
        out.push_back(0);
    return out;
}

Bytes FormatChunk(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits)
{
    Bytes body;
    uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    PutWord(body, tag);
    PutWord(body, channels);
    PutDword(body, rate);
    PutDword(body, rate * align);
    PutWord(body, align);
    PutWord(body, bits);
    return Chunk("fmt ", body);
}

Bytes Riff(const std::string& form, const Bytes& chunks)
{
    Bytes body(form.begin(), form.end());
    body.insert(body.end(), chunks.begin(), chunks.end());
    return Chunk("RIFF", body);
}

Bytes Wave(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& samples)
{
    Bytes chunks = FormatChunk(1, channels, rate, bits);
    Bytes data = Chunk("data", samples);
    chunks.insert(chunks.end(), data.begin(), data.end());
    return Riff("WAVE", chunks);
}

Bytes Samples16(const std::vector<int16_t>& samples)
{
    Bytes out;
    for (int16_t s : samples)
        PutWord(out, static_cast<uint16_t>(s));
    return out;
}

} // namespace yonda::sound::test
