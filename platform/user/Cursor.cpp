// Cursors: the system ones by number, and cursors read from .cur and animated .ani files. Handles
// are small numbers so they survive a trip through a 32-bit class long. Files are read field by
// field with bounds checks; a bad file gives no cursor.
#include "Cursor.h"

#include "Window.h"
#include "yonda_platform.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

namespace yonda::user {
namespace {

struct Reader {
    const uint8_t* data;
    size_t size;
    bool ok = true;
    uint32_t U32(size_t at)
    {
        if (at + 4 > size)
            return ok = false, 0;
        return data[at] | (data[at + 1] << 8) | (data[at + 2] << 16) | (static_cast<uint32_t>(data[at + 3]) << 24);
    }
    uint16_t U16(size_t at)
    {
        if (at + 2 > size)
            return ok = false, 0;
        return static_cast<uint16_t>(data[at] | (data[at + 1] << 8));
    }
    uint8_t U8(size_t at)
    {
        if (at >= size)
            return ok = false, 0;
        return data[at];
    }
};

constexpr int kMaxSide = 256;

// One DIB image of an icon directory entry: colour bits then the AND mask, height doubled.
bool DecodeDib(Reader r, size_t at, size_t length, CursorFrame* frame)
{
    if (at > r.size || length > r.size - at)
        return false;
    Reader img{r.data + at, length};
    uint32_t headerSize = img.U32(0);
    int32_t width = static_cast<int32_t>(img.U32(4));
    int32_t height2 = static_cast<int32_t>(img.U32(8));
    uint16_t bpp = img.U16(14);
    uint32_t compression = img.U32(16);
    uint32_t used = img.U32(32);
    if (!img.ok || headerSize < 40 || compression != 0 || width <= 0 || width > kMaxSide || height2 <= 0 ||
        height2 / 2 > kMaxSide)
        return false;
    int height = height2 / 2;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        return false;
    size_t paletteCount = bpp <= 8 ? (used ? used : (1u << bpp)) : 0;
    if (paletteCount > 256)
        return false;
    size_t palette = headerSize;
    size_t colorRow = ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
    size_t maskRow = ((static_cast<size_t>(width) + 31) / 32) * 4;
    size_t colors = palette + paletteCount * 4;
    size_t mask = colors + colorRow * height;
    if (mask + maskRow * height > length)
        return false;
    frame->width = width;
    frame->height = height;
    frame->pixels.assign(static_cast<size_t>(width) * height, 0);
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        size_t row = colors + colorRow * (height - 1 - y); // bottom-up
        size_t mrow = mask + maskRow * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            uint32_t argb = 0;
            if (bpp == 32) {
                argb = img.U32(row + x * 4);
                if (argb >> 24)
                    anyAlpha = true;
            } else if (bpp == 24) {
                size_t p = row + x * 3;
                argb = img.U8(p) | (img.U8(p + 1) << 8) | (img.U8(p + 2) << 16);
            } else {
                size_t bit = static_cast<size_t>(x) * bpp;
                uint8_t byte = img.U8(row + bit / 8);
                unsigned index = (byte >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                if (index >= paletteCount)
                    index = 0;
                argb = img.U32(palette + index * 4) & 0xFFFFFF;
            }
            bool transparent = (img.U8(mrow + x / 8) >> (7 - x % 8)) & 1;
            if (bpp != 32)
                argb = transparent ? 0 : (argb | 0xFF000000u);
            frame->pixels[static_cast<size_t>(y) * width + x] = argb;
        }
    }
    // A 32-bit image without alpha is opaque where its mask says so.
    if (bpp == 32 && !anyAlpha) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                size_t mrow = mask + maskRow * (height - 1 - y);
                bool transparent = (img.U8(mrow + x / 8) >> (7 - x % 8)) & 1;
                uint32_t& p = frame->pixels[static_cast<size_t>(y) * width + x];
                p = transparent ? 0 : (p | 0xFF000000u);
            }
    }
    return img.ok;
}

// A .cur or .ico file: the directory's first image.
bool DecodeIconFile(Reader r, CursorFrame* frame)
{
    if (r.U16(0) != 0)
        return false;
    uint16_t type = r.U16(2);
    uint16_t count = r.U16(4);
    if (!r.ok || (type != 1 && type != 2) || count == 0)
        return false;
    uint16_t hx = r.U16(6 + 4), hy = r.U16(6 + 6);
    uint32_t length = r.U32(6 + 8);
    uint32_t offset = r.U32(6 + 12);
    if (!r.ok || !DecodeDib(r, offset, length, frame))
        return false;
    frame->hotspot = type == 2 ? POINT{hx, hy} : POINT{frame->width / 2, frame->height / 2};
    return true;
}

bool DecodeAni(Reader r, CursorImage* out)
{
    if (r.size < 12 || std::memcmp(r.data, "RIFF", 4) != 0 || std::memcmp(r.data + 8, "ACON", 4) != 0)
        return false;
    size_t end = std::min<size_t>(r.size, 8 + static_cast<size_t>(r.U32(4)));
    DWORD defaultRate = 10;
    for (size_t at = 12; at + 8 <= end;) {
        const uint8_t* id = r.data + at;
        size_t length = r.U32(at + 4);
        size_t body = at + 8;
        if (length > end - body)
            break;
        if (std::memcmp(id, "anih", 4) == 0 && length >= 36) {
            DWORD rate = r.U32(body + 28);
            if (rate)
                defaultRate = rate;
        } else if (std::memcmp(id, "rate", 4) == 0) {
            for (size_t i = 0; i + 4 <= length && out->rates.size() < 4096; i += 4)
                out->rates.push_back(r.U32(body + i));
        } else if (std::memcmp(id, "seq ", 4) == 0) {
            for (size_t i = 0; i + 4 <= length && out->sequence.size() < 4096; i += 4)
                out->sequence.push_back(static_cast<int>(r.U32(body + i)));
        } else if (std::memcmp(id, "LIST", 4) == 0 && length >= 4 && std::memcmp(r.data + body, "fram", 4) == 0) {
            for (size_t f = body + 4; f + 8 <= body + length && out->frames.size() < 1024;) {
                size_t flen = r.U32(f + 4);
                if (flen > body + length - (f + 8))
                    break;
                if (std::memcmp(r.data + f, "icon", 4) == 0) {
                    CursorFrame frame;
                    if (DecodeIconFile(Reader{r.data + f + 8, flen}, &frame))
                        out->frames.push_back(std::move(frame));
                }
                f += 8 + flen + (flen & 1);
            }
        }
        at = body + length + (length & 1);
    }
    if (out->frames.empty())
        return false;
    if (out->sequence.empty())
        for (size_t i = 0; i < out->frames.size(); ++i)
            out->sequence.push_back(static_cast<int>(i));
    for (int& index : out->sequence)
        if (index < 0 || index >= static_cast<int>(out->frames.size()))
            index = 0;
    out->rates.resize(out->sequence.size(), defaultRate);
    for (DWORD& rate : out->rates)
        if (rate == 0)
            rate = defaultRate;
    return true;
}

struct CursorTable {
    std::mutex mutex;
    std::map<uintptr_t, std::shared_ptr<const CursorImage>> byHandle;
    uintptr_t next = 0x100;
};

CursorTable& Table()
{
    static CursorTable table;
    return table;
}

HCURSOR AddCursor(std::shared_ptr<const CursorImage> image)
{
    std::lock_guard lock(Table().mutex);
    uintptr_t handle = Table().next++;
    Table().byHandle[handle] = std::move(image);
    return reinterpret_cast<HCURSOR>(handle);
}

} // namespace

CursorImage DecodeCursorFile(const uint8_t* data, size_t size)
{
    CursorImage image;
    if (!data || size < 6)
        return image;
    Reader r{data, size};
    if (size >= 12 && std::memcmp(data, "RIFF", 4) == 0) {
        if (!DecodeAni(r, &image))
            image = CursorImage{};
        return image;
    }
    CursorFrame frame;
    if (DecodeIconFile(r, &frame)) {
        image.frames.push_back(std::move(frame));
        image.sequence = {0};
        image.rates = {0};
    }
    return image;
}

std::shared_ptr<const CursorImage> CursorOf(HCURSOR cursor)
{
    std::lock_guard lock(Table().mutex);
    auto it = Table().byHandle.find(reinterpret_cast<uintptr_t>(cursor));
    return it == Table().byHandle.end() ? nullptr : it->second;
}

} // namespace yonda::user

using namespace yonda::user;

// System cursors and icons are their own numbers (32512...), which no loaded cursor uses.
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    if (!IS_INTRESOURCE(name))
        return nullptr;
    WORD id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
    if (instance == nullptr && id >= 32512 && id <= 32651) {
        std::lock_guard lock(Table().mutex);
        auto& slot = Table().byHandle[id];
        if (!slot) {
            auto image = std::make_shared<CursorImage>();
            image->systemId = id;
            slot = image;
        }
        return reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(id));
    }
    HRSRC res = FindResourceA(instance, name, RT_CURSOR);
    if (!res)
        return nullptr;
    auto image = DecodeCursorFile(static_cast<const uint8_t*>(LockResource(LoadResource(instance, res))),
                                  SizeofResource(instance, res));
    if (image.frames.empty())
        return nullptr;
    return AddCursor(std::make_shared<CursorImage>(std::move(image)));
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name)
{
    if (!IS_INTRESOURCE(name))
        return nullptr;
    WORD id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
    if (instance == nullptr)
        return reinterpret_cast<HICON>(static_cast<uintptr_t>(id));
    HRSRC res = FindResourceA(instance, name, RT_GROUP_ICON);
    if (!res)
        res = FindResourceA(instance, name, RT_ICON);
    if (!res)
        return reinterpret_cast<HICON>(static_cast<uintptr_t>(id));
    auto image = DecodeCursorFile(static_cast<const uint8_t*>(LockResource(LoadResource(instance, res))),
                                  SizeofResource(instance, res));
    if (image.frames.empty())
        return nullptr;
    return AddCursor(std::make_shared<CursorImage>(std::move(image)));
}

HCURSOR LoadCursorFromFileA(LPCSTR path)
{
    if (!path)
        return nullptr;
    FILE* file = YondaOpenFile(path, "rb");
    if (!file)
        return nullptr;
    std::vector<uint8_t> bytes;
    uint8_t buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0 && bytes.size() < (8u << 20))
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(file);
    auto image = DecodeCursorFile(bytes.data(), bytes.size());
    if (image.frames.empty())
        return nullptr;
    return AddCursor(std::make_shared<CursorImage>(std::move(image)));
}

BOOL DestroyCursor(HCURSOR cursor)
{
    uintptr_t handle = reinterpret_cast<uintptr_t>(cursor);
    if (handle < 0x100)
        return FALSE;
    std::lock_guard lock(Table().mutex);
    return Table().byHandle.erase(handle) ? TRUE : FALSE;
}

BOOL DestroyIcon(HICON icon)
{
    return DestroyCursor(reinterpret_cast<HCURSOR>(icon));
}
