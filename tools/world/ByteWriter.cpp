#include "ByteWriter.h"

#include <cstring>

namespace world {

void ByteWriter::U16(std::uint16_t value)
{
    m_bytes.push_back(static_cast<std::uint8_t>(value));
    m_bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void ByteWriter::U32(std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        m_bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

void ByteWriter::F32(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    U32(bits);
}

void ByteWriter::Vector(const Vec3& v)
{
    F32(v.x);
    F32(v.y);
    F32(v.z);
}

void ByteWriter::Raw(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    m_bytes.insert(m_bytes.end(), bytes, bytes + size);
}

void ByteWriter::FixedText(std::string_view text, std::size_t width)
{
    if (text.size() >= width)
        throw std::length_error("name too long for its field: " + std::string(text));
    Raw(text.data(), text.size());
    Zeros(width - text.size());
}

void ByteWriter::CountedText(std::string_view text)
{
    U32(static_cast<std::uint32_t>(text.size()));
    Raw(text.data(), text.size());
}

void ByteReader::Need(std::size_t count) const
{
    if (count > m_bytes.size() - m_offset)
        throw std::out_of_range("read past the end at offset " + std::to_string(m_offset));
}

std::uint8_t ByteReader::U8()
{
    Need(1);
    return m_bytes[m_offset++];
}

std::uint16_t ByteReader::U16()
{
    Need(2);
    std::uint16_t value = static_cast<std::uint16_t>(m_bytes[m_offset] | (m_bytes[m_offset + 1] << 8));
    m_offset += 2;
    return value;
}

std::uint32_t ByteReader::U32()
{
    Need(4);
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | m_bytes[m_offset + i];
    m_offset += 4;
    return value;
}

float ByteReader::F32()
{
    std::uint32_t bits = U32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

Vec3 ByteReader::Vector()
{
    Vec3 v;
    v.x = F32();
    v.y = F32();
    v.z = F32();
    return v;
}

std::string ByteReader::FixedText(std::size_t width)
{
    Need(width);
    const char* start = reinterpret_cast<const char*>(m_bytes.data() + m_offset);
    std::string text(start, strnlen(start, width));
    m_offset += width;
    return text;
}

std::string ByteReader::CountedText()
{
    std::uint32_t length = U32();
    Need(length);
    std::string text(reinterpret_cast<const char*>(m_bytes.data() + m_offset), length);
    m_offset += length;
    return text;
}

Bytes ByteReader::Raw(std::size_t count)
{
    Need(count);
    Bytes out(m_bytes.begin() + static_cast<std::ptrdiff_t>(m_offset),
              m_bytes.begin() + static_cast<std::ptrdiff_t>(m_offset + count));
    m_offset += count;
    return out;
}

void ByteReader::Skip(std::size_t count)
{
    Need(count);
    m_offset += count;
}

} // namespace world
