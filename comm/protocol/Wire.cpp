#include "Wire.h"

#include <cstring>

namespace yonda::wire {

std::optional<FrameHeader> parseHeader(const uint8_t* bytes, size_t size)
{
    if (size < kHeaderSize || bytes[0] != 0)
        return std::nullopt;
    FrameHeader header;
    header.command = bytes[1];
    header.totalLength = static_cast<uint16_t>((bytes[2] << 8) | bytes[3]);
    if (header.totalLength < kHeaderSize)
        return std::nullopt;
    return header;
}

bool Reader::take(size_t count)
{
    if (m_failed || count > m_size - m_offset) {
        m_failed = true;
        return false;
    }
    return true;
}

uint8_t Reader::u8()
{
    if (!take(1))
        return 0;
    return m_data[m_offset++];
}

uint16_t Reader::u16()
{
    if (!take(2))
        return 0;
    uint16_t value = static_cast<uint16_t>(m_data[m_offset] | (m_data[m_offset + 1] << 8));
    m_offset += 2;
    return value;
}

int16_t Reader::i16()
{
    return static_cast<int16_t>(u16());
}

uint32_t Reader::u32()
{
    if (!take(4))
        return 0;
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | m_data[m_offset + i];
    m_offset += 4;
    return value;
}

int32_t Reader::i32()
{
    return static_cast<int32_t>(u32());
}

float Reader::f32()
{
    uint32_t bits = u32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string Reader::text(size_t width)
{
    uint16_t length = u16();
    if (m_failed || width == 0 || length >= width) {
        m_failed = true;
        return {};
    }
    if (!take(length))
        return {};
    std::string value(reinterpret_cast<const char*>(m_data + m_offset), length);
    m_offset += length;
    // A zero inside would let the two ends disagree on where the text ends.
    if (value.find('\0') != std::string::npos) {
        m_failed = true;
        return {};
    }
    return value;
}

std::vector<uint8_t> Reader::bytes(size_t count)
{
    if (!take(count))
        return {};
    std::vector<uint8_t> value(m_data + m_offset, m_data + m_offset + count);
    m_offset += count;
    return value;
}

void Reader::bytesInto(uint8_t* out, size_t count)
{
    if (!take(count)) {
        std::memset(out, 0, count);
        return;
    }
    std::memcpy(out, m_data + m_offset, count);
    m_offset += count;
}

Writer::Writer(uint8_t command)
{
    m_bytes = {0, command, 0, 0};
}

Writer& Writer::u8(uint8_t value)
{
    m_bytes.push_back(value);
    return *this;
}

Writer& Writer::u16(uint16_t value)
{
    m_bytes.push_back(static_cast<uint8_t>(value));
    m_bytes.push_back(static_cast<uint8_t>(value >> 8));
    return *this;
}

Writer& Writer::u32(uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        m_bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    return *this;
}

Writer& Writer::f32(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return u32(bits);
}

Writer& Writer::text(std::string_view value, size_t width)
{
    size_t zero = value.find('\0');
    if (zero != std::string_view::npos)
        value = value.substr(0, zero);
    if (width == 0)
        value = {};
    else if (value.size() > width - 1)
        value = value.substr(0, width - 1);
    u16(static_cast<uint16_t>(value.size()));
    m_bytes.insert(m_bytes.end(), value.begin(), value.end());
    return *this;
}

Writer& Writer::bytes(const uint8_t* data, size_t count)
{
    m_bytes.insert(m_bytes.end(), data, data + count);
    return *this;
}

std::vector<uint8_t> Writer::finish()
{
    // A second finish() has nothing left to give.
    if (m_bytes.size() < kHeaderSize || m_bytes.size() > kMaxFrameSize)
        return {};
    m_bytes[2] = static_cast<uint8_t>(m_bytes.size() >> 8);
    m_bytes[3] = static_cast<uint8_t>(m_bytes.size());
    return std::move(m_bytes);
}

void FrameAssembler::append(const uint8_t* data, size_t size)
{
    if (m_failed)
        return;
    // Drop what was already handed out before growing, so a long session keeps a small buffer.
    if (m_start > 0 && m_start == m_buffer.size()) {
        m_buffer.clear();
        m_start = 0;
    } else if (m_start > 65536) {
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(m_start));
        m_start = 0;
    }
    m_buffer.insert(m_buffer.end(), data, data + size);
}

std::optional<std::vector<uint8_t>> FrameAssembler::next()
{
    if (m_failed || pending() < kHeaderSize)
        return std::nullopt;
    auto header = parseHeader(m_buffer.data() + m_start, pending());
    if (!header || header->totalLength > m_maxFrame) {
        m_failed = true;
        return std::nullopt;
    }
    if (pending() < header->totalLength)
        return std::nullopt;
    auto first = m_buffer.begin() + static_cast<std::ptrdiff_t>(m_start);
    std::vector<uint8_t> frame(first, first + header->totalLength);
    m_start += header->totalLength;
    return frame;
}

} // namespace yonda::wire
