// The byte level of the community protocol: the frame header, a bounds-checked reader and a writer
// for frame payloads, and the assembler that cuts a byte stream into frames. Shared by the
// network library and the service so both ends read and write the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yonda::wire {

// Every frame: a zero byte, the command byte, the total length (header included) big-endian.
inline constexpr size_t kHeaderSize = 4;
inline constexpr size_t kMaxFrameSize = 65535;

struct FrameHeader {
    uint8_t command = 0;
    uint16_t totalLength = 0;
};

// Parses the first four bytes; nothing when they cannot start a frame (first byte not zero or a
// total length below the header's size).
std::optional<FrameHeader> parseHeader(const uint8_t* bytes, size_t size);

// Reads a payload field by field, little-endian. Every read past the end, and every text that is
// longer than its field allows, marks the reader failed; later reads answer zeros, so a decoder
// checks ok() once at its end.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    explicit Reader(const std::vector<uint8_t>& bytes) : Reader(bytes.data(), bytes.size()) {}

    uint8_t u8();
    char ch() { return static_cast<char>(u8()); }
    int16_t i16();
    uint16_t u16();
    int32_t i32();
    uint32_t u32();
    float f32();
    // A text sent for a field of `width` bytes (the zero included): its length (u16) and bytes.
    std::string text(size_t width);
    // Exactly `count` raw bytes.
    std::vector<uint8_t> bytes(size_t count);
    void bytesInto(uint8_t* out, size_t count);

    bool ok() const { return !m_failed; }
    bool atEnd() const { return m_offset == m_size; }
    // True when everything was read and nothing is left over: what a strict decoder wants.
    bool done() const { return ok() && atEnd(); }
    size_t remaining() const { return m_failed ? 0 : m_size - m_offset; }
    void fail() { m_failed = true; }

private:
    bool take(size_t count);

    const uint8_t* m_data;
    size_t m_size;
    size_t m_offset = 0;
    bool m_failed = false;
};

// Builds one frame: the header is reserved first and completed by finish().
class Writer {
public:
    explicit Writer(uint8_t command);

    Writer& u8(uint8_t value);
    Writer& ch(char value) { return u8(static_cast<uint8_t>(value)); }
    Writer& i16(int16_t value) { return u16(static_cast<uint16_t>(value)); }
    Writer& u16(uint16_t value);
    Writer& i32(int32_t value) { return u32(static_cast<uint32_t>(value)); }
    Writer& u32(uint32_t value);
    Writer& f32(float value);
    // The text cut at its first zero and to width - 1 bytes, so it always fits its field.
    Writer& text(std::string_view value, size_t width);
    Writer& bytes(const uint8_t* data, size_t count);
    Writer& bytes(const std::vector<uint8_t>& data) { return bytes(data.data(), data.size()); }

    // The finished frame; empty when the payload grew beyond the largest frame.
    std::vector<uint8_t> finish();

private:
    std::vector<uint8_t> m_bytes;
};

// Cuts a received byte stream into whole frames. A header that cannot start a frame, or a frame
// longer than the limit, puts the assembler into the failed state: the stream cannot be trusted
// past that point and the connection is closed.
class FrameAssembler {
public:
    explicit FrameAssembler(size_t maxFrame = kMaxFrameSize) : m_maxFrame(maxFrame) {}

    void append(const uint8_t* data, size_t size);
    // The next whole frame (header included), or nothing when more bytes are needed or failed.
    std::optional<std::vector<uint8_t>> next();
    bool failed() const { return m_failed; }
    // Bytes received but not yet part of a whole frame.
    size_t pending() const { return m_buffer.size() - m_start; }

private:
    std::vector<uint8_t> m_buffer;
    size_t m_start = 0;
    size_t m_maxFrame;
    bool m_failed = false;
};

} // namespace yonda::wire
