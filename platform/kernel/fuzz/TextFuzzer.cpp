// Any bytes as text in each code page, as a path, and back: nothing may crash, read past the
// text or lose a byte.
#include <windows.h>

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (UINT codePage : {949u, 1252u, 932u}) {
        // Every byte is decoded into something: at most one character per byte, at least one
        // per two.
        std::u32string text = YondaDecodeText(bytes.data(), bytes.size(), codePage);
        if (text.size() > bytes.size() || text.size() * 2 < bytes.size())
            __builtin_trap();
        std::string utf8 = YondaCodePageToUtf8(bytes, codePage);
        std::string back = YondaUtf8ToCodePage(utf8, codePage);
        (void)back;

        if (size > 0 && size < 4096) {
            int wideLength = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(size), nullptr, 0);
            std::u16string wide(static_cast<size_t>(wideLength), u'\0');
            if (MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(size), wide.data(), wideLength) !=
                wideLength)
                __builtin_trap();
            int narrowLength = WideCharToMultiByte(codePage, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
            std::string narrow(static_cast<size_t>(narrowLength), '\0');
            WideCharToMultiByte(codePage, 0, wide.data(), wideLength, narrow.data(), narrowLength, nullptr, nullptr);
        }
    }
    // Walking the text character by character stays inside it and ends at its terminator.
    const char* p = bytes.c_str();
    const char* end = p + strlen(p);
    while (*p) {
        const char* next = CharNextA(p);
        if (next <= p || next > end || CharPrevA(bytes.c_str(), next) != p)
            __builtin_trap();
        p = next;
    }
    // As a path under a folder that does not exist: resolved without touching anything else.
    std::string path = YondaHostPath(("\\nonexistent-yonda-fuzz\\" + std::string(bytes.c_str())).c_str());
    if (path.rfind("/nonexistent-yonda-fuzz", 0) != 0)
        __builtin_trap();
    return 0;
}
