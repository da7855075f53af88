#include "CodePage.h"

#include <algorithm>
#include <atomic>

namespace yonda::kernel {

namespace {
std::atomic<UINT> gActiveCodePage{949};
}

UINT ActiveCodePage()
{
    return gActiveCodePage.load(std::memory_order_relaxed);
}

} // namespace yonda::kernel

using namespace yonda::kernel;

namespace {

// UTF-16 to code points; an unpaired surrogate answers valid = false.
size_t DecodeUtf16(const WCHAR* text, size_t length, char32_t& cp, bool& valid)
{
    char32_t unit = text[0];
    valid = true;
    cp = unit;
    if (unit >= 0xD800 && unit <= 0xDBFF && length >= 2 && text[1] >= 0xDC00 && text[1] <= 0xDFFF) {
        cp = 0x10000 + ((unit - 0xD800) << 10) + (char32_t(text[1]) - 0xDC00);
        return 2;
    }
    if (unit >= 0xD800 && unit <= 0xDFFF)
        valid = false;
    return 1;
}

void AppendUtf16(char32_t cp, std::u16string& out)
{
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

} // namespace

UINT GetACP()
{
    return ActiveCodePage();
}

UINT GetOEMCP()
{
    return ActiveCodePage();
}

BOOL IsValidCodePage(UINT CodePage)
{
    return CodePage == 949 || CodePage == 1252 || CodePage == 932 || CodePage == CP_UTF8;
}

void YondaSetActiveCodePage(UINT codePage)
{
    if (codePage == 949 || codePage == 1252 || codePage == 932)
        gActiveCodePage.store(codePage, std::memory_order_relaxed);
}

std::u32string YondaDecodeText(const char* bytes, size_t length, UINT codePage)
{
    std::u32string out;
    if (!bytes)
        return out;
    const Codec* codec = Codec::For(codePage);
    if (!codec)
        codec = Codec::For(CP_ACP);
    out.reserve(length);
    codec->ForEach(std::string_view(bytes, length), [&](char32_t cp, bool) {
        out.push_back(cp);
        return true;
    });
    return out;
}

std::string YondaCodePageToUtf8(std::string_view bytes, UINT codePage)
{
    std::string out;
    out.reserve(bytes.size());
    for (char32_t cp : YondaDecodeText(bytes.data(), bytes.size(), codePage))
        AppendUtf8(cp, out);
    return out;
}

std::string YondaUtf8ToCodePage(std::string_view utf8, UINT codePage)
{
    const Codec* codec = Codec::For(codePage);
    if (!codec)
        codec = Codec::For(CP_ACP);
    std::string out;
    out.reserve(utf8.size());
    Utf8().ForEach(utf8, [&](char32_t cp, bool valid) {
        if (!valid || !codec->Encode(cp, out))
            out.push_back('?');
        return true;
    });
    return out;
}

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar)
{
    const Codec* codec = Codec::For(CodePage);
    if (!codec || !lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
        (cchWideChar > 0 && !lpWideCharStr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t length = cbMultiByte == -1 ? strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
    std::u16string wide;
    wide.reserve(length);
    bool failed = false;
    codec->ForEach(std::string_view(lpMultiByteStr, length), [&](char32_t cp, bool valid) {
        failed = !valid && (dwFlags & MB_ERR_INVALID_CHARS);
        AppendUtf16(cp, wide);
        return !failed;
    });
    if (failed) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
    }
    if (cchWideChar == 0)
        return static_cast<int>(wide.size());
    if (wide.size() > static_cast<size_t>(cchWideChar)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::copy(wide.begin(), wide.end(), lpWideCharStr);
    return static_cast<int>(wide.size());
}

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr,
                        int cbMultiByte, LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar)
{
    const Codec* codec = Codec::For(CodePage);
    if (!codec || !lpWideCharStr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
        (cbMultiByte > 0 && !lpMultiByteStr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t length = 0;
    if (cchWideChar == -1) {
        while (lpWideCharStr[length])
            ++length;
        ++length;
    } else {
        length = static_cast<size_t>(cchWideChar);
    }
    std::string defaultChar = lpDefaultChar && *lpDefaultChar ? std::string(lpDefaultChar) : std::string("?");
    std::string out;
    out.reserve(length * 2);
    BOOL usedDefault = FALSE;
    size_t i = 0;
    while (i < length) {
        char32_t cp;
        bool valid;
        i += DecodeUtf16(lpWideCharStr + i, length - i, cp, valid);
        if (!valid || !codec->Encode(cp, out)) {
            out += defaultChar;
            usedDefault = TRUE;
        }
    }
    if (lpUsedDefaultChar)
        *lpUsedDefaultChar = usedDefault;
    if (cbMultiByte == 0)
        return static_cast<int>(out.size());
    if (out.size() > static_cast<size_t>(cbMultiByte)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    memcpy(lpMultiByteStr, out.data(), out.size());
    return static_cast<int>(out.size());
}

BOOL IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar)
{
    const Codec* codec = Codec::For(CodePage);
    if (!codec) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return codec->IsLeadByte(TestChar) ? TRUE : FALSE;
}

BOOL IsDBCSLeadByte(BYTE TestChar)
{
    return IsDBCSLeadByteEx(CP_ACP, TestChar);
}

LPSTR CharNextA(LPCSTR lpsz)
{
    if (!lpsz)
        return nullptr;
    if (*lpsz == '\0')
        return const_cast<LPSTR>(lpsz);
    if (IsDBCSLeadByte(static_cast<BYTE>(*lpsz)) && lpsz[1] != '\0')
        return const_cast<LPSTR>(lpsz + 2);
    return const_cast<LPSTR>(lpsz + 1);
}

LPSTR CharPrevA(LPCSTR lpszStart, LPCSTR lpszCurrent)
{
    if (!lpszStart || !lpszCurrent || lpszCurrent <= lpszStart)
        return const_cast<LPSTR>(lpszStart);
    // Only a walk from the start tells a trail byte from a lead byte.
    LPCSTR p = lpszStart;
    for (;;) {
        LPCSTR next = CharNextA(p);
        if (next >= lpszCurrent || next == p)
            return const_cast<LPSTR>(p);
        p = next;
    }
}
