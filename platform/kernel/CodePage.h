// One code page's character tables, read from iconv once, and the UTF-8 helpers the kernel
// shares between its text and path code.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace yonda::kernel {

class Codec {
public:
    // The codec of 949, 1252, 932 or 65001 (0 = the active code page); nullptr for others.
    static const Codec* For(UINT codePage);

    UINT CodePage() const { return m_codePage; }
    bool IsLeadByte(unsigned char byte) const { return m_lead[byte]; }

    // Decodes the character at bytes[0]; answers its length (1 or more). A byte that does not
    // start a valid character answers length 1 and valid = false, with the byte as its value.
    size_t Decode(const unsigned char* bytes, size_t length, char32_t& codePoint, bool& valid) const;
    // Calls visit(codePoint, valid) for each character of the bytes in order; a false answer
    // stops the walk.
    template <class Visit>
    void ForEach(std::string_view bytes, Visit visit) const
    {
        auto p = reinterpret_cast<const unsigned char*>(bytes.data());
        size_t i = 0;
        while (i < bytes.size()) {
            char32_t cp;
            bool valid;
            i += Decode(p + i, bytes.size() - i, cp, valid);
            if (!visit(cp, valid))
                return;
        }
    }
    // Appends the code page's bytes for codePoint; answers false (and appends nothing) when the
    // code page lacks it.
    bool Encode(char32_t codePoint, std::string& out) const;

private:
    explicit Codec(UINT codePage);
    void Load(const char* iconvName);

    UINT m_codePage;
    bool m_lead[256] = {};
    bool m_validSingle[256] = {};
    char32_t m_single[256] = {};
    std::vector<char32_t> m_double;                  // [lead * 256 + trail], 0 = not a character
    std::unordered_map<char32_t, uint16_t> m_encode; // high byte 0 = one byte
};

bool IsValidUtf8(std::string_view text);
// The UTF-8 codec (never null).
const Codec& Utf8();
// Decodes one UTF-8 character; an invalid sequence answers length 1 and valid = false.
size_t DecodeUtf8(const unsigned char* bytes, size_t length, char32_t& codePoint, bool& valid);
void AppendUtf8(char32_t codePoint, std::string& out);

} // namespace yonda::kernel
