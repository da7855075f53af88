#include "NameChecks.h"

#include <yonda_platform.h>

#include <cstring>

namespace {

// Operator, administrator and the service's own name.
const char* const kReservedNames[] = {"운영자", "관리자", "욘다닷넷"};

} // namespace

bool IsValidNickname(const char* text)
{
    CString trimmed(text ? text : "");
    TrimString(trimmed);
    return !trimmed.IsEmpty();
}

void TrimString(CString& text)
{
    text.Trim();
}

bool FindSpace(const char* text)
{
    return text && (std::strchr(text, ' ') || std::strchr(text, '\t'));
}

int CountMbcsChars(const CString& text)
{
    const int length = text.GetLength();
    int count = 0;
    for (int at = 0; at < length; ++count) {
        // A lead byte at the very end has no partner: it counts as one character.
        at += static_cast<unsigned char>(text[at]) >= 0x80 ? 2 : 1;
    }
    return count;
}

bool IsAllowedName(const char* text)
{
    CString name(text ? text : "");
    TrimString(name);
    for (const char* reserved : kReservedNames) {
        const std::string local = YondaUtf8ToCodePage(reserved, GetACP());
        // A code page without these letters cannot spell the name.
        if (local.find('?') == std::string::npos && name == local.c_str()) {
            return false;
        }
    }
    return true;
}
