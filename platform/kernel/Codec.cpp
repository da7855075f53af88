#include "CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace yonda::kernel {

UINT ActiveCodePage(); // CodePage.cpp

namespace {

// Converts `length` bytes with a fresh state; answers the code point count written (0 on
// error) and the errno of a failure.
int ConvertOne(iconv_t cd, const unsigned char* bytes, size_t length, char32_t& codePoint, int& error)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(bytes));
    size_t inLeft = length;
    unsigned char out[8];
    char* outPtr = reinterpret_cast<char*>(out);
    size_t outLeft = sizeof(out);
    error = 0;
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
        error = errno;
        return 0;
    }
    if (inLeft != 0 || outLeft != 4)
        return 0;
    codePoint = char32_t(out[0]) | char32_t(out[1]) << 8 | char32_t(out[2]) << 16 | char32_t(out[3]) << 24;
    return 1;
}

} // namespace

Codec::Codec(UINT codePage) : m_codePage(codePage)
{
    switch (codePage) {
    case 949:
        Load("CP949");
        // The platform counts its user-defined rows (lead bytes C9 and FE) as double-byte too,
        // so caret steps and CharNext keep such a pair together though it decodes to nothing.
        for (int b = 0x81; b <= 0xFE; ++b)
            m_lead[b] = true;
        break;
    case 1252: Load("CP1252"); break;
    case 932: Load("CP932"); break;
    default: break; // UTF-8 needs no tables
    }
}

void Codec::Load(const char* iconvName)
{
    iconv_t cd = iconv_open("UTF-32LE", iconvName);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return; // no tables: every high byte decodes as itself
    for (int b = 0; b < 256; ++b) {
        unsigned char byte = static_cast<unsigned char>(b);
        char32_t cp = 0;
        int error = 0;
        if (ConvertOne(cd, &byte, 1, cp, error)) {
            m_single[b] = cp;
            m_validSingle[b] = true;
        } else if (error == EINVAL) {
            m_lead[b] = true;
        }
    }
    m_double.assign(65536, 0);
    for (int lead = 0x80; lead < 256; ++lead) {
        if (!m_lead[lead])
            continue;
        for (int trail = 1; trail < 256; ++trail) {
            unsigned char pair[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
            char32_t cp = 0;
            int error = 0;
            if (ConvertOne(cd, pair, 2, cp, error) && cp != 0)
                m_double[lead * 256 + trail] = cp;
        }
    }
    iconv_close(cd);
    // The first (lowest) byte sequence of a character is the one written back.
    for (int b = 0; b < 256; ++b)
        if (m_validSingle[b])
            m_encode.emplace(m_single[b], static_cast<uint16_t>(b));
    for (int i = 0; i < 65536; ++i)
        if (m_double[i])
            m_encode.emplace(m_double[i], static_cast<uint16_t>(i));
}

const Codec* Codec::For(UINT codePage)
{
    if (codePage == CP_ACP || codePage == CP_OEMCP || codePage == CP_THREAD_ACP)
        codePage = ActiveCodePage();
    static std::once_flag once949, once1252, once932, onceUtf8;
    static Codec* c949;
    static Codec* c1252;
    static Codec* c932;
    static Codec* cUtf8;
    switch (codePage) {
    case 949: std::call_once(once949, [] { c949 = new Codec(949); }); return c949;
    case 1252: std::call_once(once1252, [] { c1252 = new Codec(1252); }); return c1252;
    case 932: std::call_once(once932, [] { c932 = new Codec(932); }); return c932;
    case CP_UTF8: std::call_once(onceUtf8, [] { cUtf8 = new Codec(CP_UTF8); }); return cUtf8;
    default: return nullptr;
    }
}

size_t Codec::Decode(const unsigned char* bytes, size_t length, char32_t& codePoint, bool& valid) const
{
    if (m_codePage == CP_UTF8)
        return DecodeUtf8(bytes, length, codePoint, valid);
    unsigned char b = bytes[0];
    if (b < 0x80) {
        codePoint = b;
        valid = true;
        return 1;
    }
    if (m_lead[b] && length >= 2 && !m_double.empty()) {
        char32_t cp = m_double[b * 256 + bytes[1]];
        if (cp) {
            codePoint = cp;
            valid = true;
            return 2;
        }
    }
    if (m_validSingle[b]) {
        codePoint = m_single[b];
        valid = true;
        return 1;
    }
    codePoint = b;
    valid = false;
    return 1;
}

bool Codec::Encode(char32_t codePoint, std::string& out) const
{
    if (m_codePage == CP_UTF8) {
        if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
        AppendUtf8(codePoint, out);
        return true;
    }
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
        return true;
    }
    auto found = m_encode.find(codePoint);
    if (found == m_encode.end())
        return false;
    if (found->second > 0xFF)
        out.push_back(static_cast<char>(found->second >> 8));
    out.push_back(static_cast<char>(found->second & 0xFF));
    return true;
}

size_t DecodeUtf8(const unsigned char* bytes, size_t length, char32_t& codePoint, bool& valid)
{
    unsigned char b = bytes[0];
    valid = false;
    codePoint = b;
    if (b < 0x80) {
        valid = true;
        return 1;
    }
    size_t need;
    char32_t cp;
    char32_t minimum;
    if (b >= 0xC2 && b <= 0xDF) {
        need = 1;
        cp = b & 0x1F;
        minimum = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        need = 2;
        cp = b & 0x0F;
        minimum = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        need = 3;
        cp = b & 0x07;
        minimum = 0x10000;
    } else {
        return 1;
    }
    if (length < need + 1)
        return 1;
    for (size_t i = 1; i <= need; ++i) {
        if ((bytes[i] & 0xC0) != 0x80)
            return 1;
        cp = (cp << 6) | (bytes[i] & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 1;
    codePoint = cp;
    valid = true;
    return need + 1;
}

void AppendUtf8(char32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

const Codec& Utf8()
{
    return *Codec::For(CP_UTF8);
}

bool IsValidUtf8(std::string_view text)
{
    bool allValid = true;
    Utf8().ForEach(text, [&](char32_t, bool valid) { return allValid = valid; });
    return allValid;
}

} // namespace yonda::kernel
