// Any bytes, in any code page, with any DrawText flags and rectangle, laid out and drawn.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5)
        return 0;
    static HDC dc = [] {
        HDC memory = CreateCompatibleDC(nullptr);
        SelectObject(memory, CreateBitmap(64, 32, 1, 32, nullptr));
        return memory;
    }();
    static HFONT fonts[3] = {
        CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 1, 0, HANGUL_CHARSET, 0, 0, 0, 0, "\xB1\xBC\xB8\xB2"),
        CreateFontA(13, 0, 0, 0, FW_BOLD, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0, "MS Gothic"),
        CreateFontA(-11, 0, 0, 0, FW_SEMIBOLD, 1, 0, 1, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"),
    };
    UINT format;
    std::memcpy(&format, data, 4);
    format &= 0x003FFFFF;
    int width = static_cast<int8_t>(data[4]);
    SelectObject(dc, fonts[data[0] % 3]);
    const char* text = reinterpret_cast<const char*>(data + 5);
    int count = static_cast<int>(std::min<size_t>(size - 5, 4096));
    RECT r{2, 2, 2 + width, 30};
    DrawTextA(dc, text, count, &r, format);
    SIZE extent{};
    int fit = 0;
    std::vector<int> dx(static_cast<size_t>(count) + 1);
    GetTextExtentExPointA(dc, text, count, width, &fit, dx.data(), &extent);
    int stops[2] = {width, width * 2};
    TabbedTextOutA(dc, -3, 4, text, count, data[1] % 3, stops, data[2]);
    SetTextAlign(dc, data[3] & 0x1F);
    ExtTextOutA(dc, width, 10, ETO_CLIPPED | ETO_OPAQUE, &r, text, static_cast<UINT>(count), nullptr);
    return 0;
}
