#include "AniWriter.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kIconFrames = 1; // frames are cursor files, not raw bitmaps
constexpr uint32_t kHasSequence = 2;

void Put(Bytes& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

void PutId(Bytes& out, const char* id)
{
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(id[i]));
    }
}

// A chunk: its id, its size and the body, padded to an even length.
void PutChunk(Bytes& out, const char* id, const Bytes& body)
{
    PutId(out, id);
    Put(out, static_cast<uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() & 1) {
        out.push_back(0);
    }
}

Bytes List(const char* type, const Bytes& chunks)
{
    Bytes body;
    PutId(body, type);
    body.insert(body.end(), chunks.begin(), chunks.end());
    return body;
}

Bytes Dwords(const std::vector<uint32_t>& values)
{
    Bytes out;
    for (uint32_t v : values) {
        Put(out, v, 4);
    }
    return out;
}

} // namespace

namespace {

// A one-image icon (type 1) or cursor (type 2) file: the directory entry holds the hot spot of a
// cursor where an icon keeps its planes and bit count.
Bytes IconFileBytes(const CursorImage& image, uint16_t type)
{
    const uint32_t colourBytes = static_cast<uint32_t>(image.width * image.height * 4);
    const uint32_t maskStride = static_cast<uint32_t>((image.width + 31) / 32 * 4);
    const uint32_t maskBytes = maskStride * static_cast<uint32_t>(image.height);
    const uint32_t imageBytes = 40 + colourBytes + maskBytes;
    Bytes out;
    // The directory: one cursor image with its hot spot.
    Put(out, 0, 2);
    Put(out, type, 2);
    Put(out, 1, 2);
    out.push_back(static_cast<uint8_t>(image.width));
    out.push_back(static_cast<uint8_t>(image.height));
    out.push_back(0);
    out.push_back(0);
    Put(out, type == 2 ? static_cast<uint32_t>(image.hotX) : 1, 2);
    Put(out, type == 2 ? static_cast<uint32_t>(image.hotY) : 32, 2);
    Put(out, imageBytes, 4);
    Put(out, 6 + 16, 4);
    // The image: its header counts the colour and mask rows together.
    Put(out, 40, 4);
    Put(out, static_cast<uint32_t>(image.width), 4);
    Put(out, static_cast<uint32_t>(image.height * 2), 4);
    Put(out, 1, 2);
    Put(out, 32, 2);
    Put(out, 0, 4);
    Put(out, colourBytes + maskBytes, 4);
    Put(out, 0, 4);
    Put(out, 0, 4);
    Put(out, 0, 4);
    Put(out, 0, 4);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const uint32_t p = image.argb[static_cast<size_t>(y) * image.width + x];
            Put(out, p, 4); // B, G, R, A in memory order
        }
    }
    for (int y = image.height - 1; y >= 0; --y) {
        Bytes row(maskStride, 0);
        for (int x = 0; x < image.width; ++x) {
            if ((image.argb[static_cast<size_t>(y) * image.width + x] >> 24) == 0) {
                row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

} // namespace

Bytes CurBytes(const CursorImage& image)
{
    return IconFileBytes(image, 2);
}

Bytes IcoBytes(const CursorImage& image)
{
    return IconFileBytes(image, 1);
}

Bytes AniBytes(const AnimatedCursor& cursor)
{
    Bytes chunks;
    if (!cursor.title.empty()) {
        Bytes name(cursor.title.begin(), cursor.title.end());
        name.push_back(0);
        Bytes info;
        PutChunk(info, "INAM", name);
        PutChunk(chunks, "LIST", List("INFO", info));
    }
    Bytes header;
    Put(header, 36, 4);
    Put(header, static_cast<uint32_t>(cursor.frames.size()), 4);
    Put(header, static_cast<uint32_t>(cursor.sequence.size()), 4);
    for (int i = 0; i < 4; ++i) {
        Put(header, 0, 4); // size, bits and planes come from each frame's own header
    }
    Put(header, cursor.rates.empty() ? 10 : cursor.rates.front(), 4);
    Put(header, kIconFrames | kHasSequence, 4);
    PutChunk(chunks, "anih", header);
    PutChunk(chunks, "rate", Dwords(cursor.rates));
    PutChunk(chunks, "seq ", Dwords(cursor.sequence));
    Bytes frames;
    for (const CursorImage& frame : cursor.frames) {
        PutChunk(frames, "icon", CurBytes(frame));
    }
    PutChunk(chunks, "LIST", List("fram", frames));

    Bytes out;
    PutId(out, "RIFF");
    Put(out, static_cast<uint32_t>(4 + chunks.size()), 4);
    PutId(out, "ACON");
    out.insert(out.end(), chunks.begin(), chunks.end());
    return out;
}
