#pragma once
// Little-endian byte building and bounds-checked reading for the engine's binary file kinds.

#include "Math3D.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace world {

using Bytes = std::vector<std::uint8_t>;

class ByteWriter {
public:
    void U8(std::uint8_t value) { m_bytes.push_back(value); }
    void U16(std::uint16_t value);
    void U32(std::uint32_t value);
    void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
    void F32(float value);
    void Vector(const Vec3& v);
    void Raw(const void* data, std::size_t size);
    void Raw(const Bytes& bytes) { Raw(bytes.data(), bytes.size()); }
    void Zeros(std::size_t count) { m_bytes.insert(m_bytes.end(), count, 0); }
    // A zero-padded character field of `width` bytes; the text must leave room for its zero.
    void FixedText(std::string_view text, std::size_t width);
    // A length-prefixed name without a terminating zero.
    void CountedText(std::string_view text);

    std::size_t Size() const { return m_bytes.size(); }
    const Bytes& Data() const { return m_bytes; }
    Bytes Take() { return std::move(m_bytes); }

private:
    Bytes m_bytes;
};

// Reads what a writer wrote; every read past the end throws, so a test sees a short file at once.
class ByteReader {
public:
    explicit ByteReader(const Bytes& bytes) : m_bytes(bytes) {}

    std::uint8_t U8();
    std::uint16_t U16();
    std::uint32_t U32();
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    float F32();
    Vec3 Vector();
    std::string FixedText(std::size_t width);
    std::string CountedText();
    Bytes Raw(std::size_t count);
    void Skip(std::size_t count);

    std::size_t Offset() const { return m_offset; }
    std::size_t Remaining() const { return m_bytes.size() - m_offset; }
    bool AtEnd() const { return m_offset == m_bytes.size(); }

private:
    void Need(std::size_t count) const;

    const Bytes& m_bytes;
    std::size_t m_offset = 0;
};

} // namespace world
