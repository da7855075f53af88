// CString over std::string. Every index is clamped, so a bad position gives an empty or shorter
// result, never a read past the text.
#include <afx.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#if !__has_include(<winnls.h>)
// Until the kernel's code pages exist the program runs in the Korean code page.
__attribute__((weak)) UINT GetACP()
{
    return 949;
}
#endif

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Start offsets of the characters of `s` (a double-byte character is one character).
template <typename F>
void ForEachChar(const std::string& s, F&& f)
{
    for (size_t i = 0; i < s.size();) {
        size_t len = (YondaIsLeadByte(static_cast<BYTE>(s[i])) && i + 1 < s.size()) ? 2 : 1;
        if (!f(i, len))
            return;
        i += len;
    }
}

bool IsCharStart(const std::string& s, size_t pos)
{
    bool start = false;
    ForEachChar(s, [&](size_t i, size_t) {
        if (i >= pos) {
            start = i == pos;
            return false;
        }
        return true;
    });
    return start || pos == s.size();
}

} // namespace

bool YondaIsLeadByte(BYTE byte)
{
    switch (GetACP()) {
    case 949:
    case 936:
    case 950: return byte >= 0x81 && byte <= 0xFE;
    case 932: return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    default: return false;
    }
}

CString::CString(LPCSTR text, int length)
{
    if (text && length > 0)
        m_str.assign(text, strnlen(text, static_cast<size_t>(length)));
}

char CString::GetAt(int index) const
{
    return index >= 0 && index < GetLength() ? m_str[static_cast<size_t>(index)] : '\0';
}

void CString::SetAt(int index, char ch)
{
    if (index >= 0 && index < GetLength())
        m_str[static_cast<size_t>(index)] = ch;
}

int CString::Compare(LPCSTR other) const
{
    int r = std::strcmp(m_str.c_str(), other ? other : "");
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CString::CompareNoCase(LPCSTR other) const
{
    const char* a = m_str.c_str();
    const char* b = other ? other : "";
    for (;; ++a, ++b) {
        int ca = std::tolower(static_cast<unsigned char>(*a));
        int cb = std::tolower(static_cast<unsigned char>(*b));
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const
{
    first = std::clamp(first, 0, GetLength());
    count = std::clamp(count, 0, GetLength() - first);
    return CString(m_str.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Left(int count) const
{
    return Mid(0, count);
}

CString CString::Right(int count) const
{
    count = std::clamp(count, 0, GetLength());
    return Mid(GetLength() - count, count);
}

CString CString::SpanIncluding(LPCSTR set) const
{
    if (!set)
        return CString();
    return Left(static_cast<int>(std::strspn(m_str.c_str(), set)));
}

CString CString::SpanExcluding(LPCSTR set) const
{
    if (!set)
        return *this;
    return Left(static_cast<int>(std::strcspn(m_str.c_str(), set)));
}

void CString::MakeUpper()
{
    ForEachChar(m_str, [&](size_t i, size_t len) {
        if (len == 1)
            m_str[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(m_str[i])));
        return true;
    });
}

void CString::MakeLower()
{
    ForEachChar(m_str, [&](size_t i, size_t len) {
        if (len == 1)
            m_str[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(m_str[i])));
        return true;
    });
}

void CString::MakeReverse()
{
    std::vector<std::string> chars;
    ForEachChar(m_str, [&](size_t i, size_t len) {
        chars.push_back(m_str.substr(i, len));
        return true;
    });
    std::string out;
    for (auto it = chars.rbegin(); it != chars.rend(); ++it)
        out += *it;
    m_str = std::move(out);
}

int CString::Replace(char from, char to)
{
    int n = 0;
    ForEachChar(m_str, [&](size_t i, size_t len) {
        if (len == 1 && m_str[i] == from) {
            m_str[i] = to;
            ++n;
        }
        return true;
    });
    return n;
}

int CString::Replace(LPCSTR from, LPCSTR to)
{
    if (!from || !*from)
        return 0;
    std::string needle = from, replacement = to ? to : "";
    int n = 0;
    std::string out;
    size_t pos = 0;
    for (;;) {
        int found = Find(from, static_cast<int>(pos));
        if (found < 0)
            break;
        out.append(m_str, pos, static_cast<size_t>(found) - pos);
        out += replacement;
        pos = static_cast<size_t>(found) + needle.size();
        ++n;
    }
    if (n == 0)
        return 0;
    out.append(m_str, pos, std::string::npos);
    m_str = std::move(out);
    return n;
}

int CString::Remove(char ch)
{
    std::string out;
    int n = 0;
    ForEachChar(m_str, [&](size_t i, size_t len) {
        if (len == 1 && m_str[i] == ch)
            ++n;
        else
            out.append(m_str, i, len);
        return true;
    });
    m_str = std::move(out);
    return n;
}

int CString::Insert(int index, char ch)
{
    index = std::clamp(index, 0, GetLength());
    m_str.insert(static_cast<size_t>(index), 1, ch);
    return GetLength();
}

int CString::Insert(int index, LPCSTR text)
{
    index = std::clamp(index, 0, GetLength());
    if (text)
        m_str.insert(static_cast<size_t>(index), text);
    return GetLength();
}

int CString::Delete(int index, int count)
{
    if (index < 0 || index >= GetLength() || count <= 0)
        return GetLength();
    m_str.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    return GetLength();
}

CString& CString::TrimLeft()
{
    size_t i = 0;
    while (i < m_str.size() && IsSpace(m_str[i]))
        ++i;
    m_str.erase(0, i);
    return *this;
}

CString& CString::TrimLeft(char target)
{
    char set[2] = {target, '\0'};
    return TrimLeft(set);
}

CString& CString::TrimLeft(LPCSTR targets)
{
    if (!targets)
        return *this;
    size_t cut = 0;
    ForEachChar(m_str, [&](size_t i, size_t len) {
        if (len == 1 && std::strchr(targets, m_str[i]) && m_str[i] != '\0') {
            cut = i + 1;
            return true;
        }
        return false;
    });
    m_str.erase(0, cut);
    return *this;
}

CString& CString::TrimRight()
{
    // Trail bytes of the double-byte code pages are never white space, so bytes suffice here.
    while (!m_str.empty() && IsSpace(m_str.back()))
        m_str.pop_back();
    return *this;
}

CString& CString::TrimRight(char target)
{
    char set[2] = {target, '\0'};
    return TrimRight(set);
}

CString& CString::TrimRight(LPCSTR targets)
{
    if (!targets)
        return *this;
    size_t keep = 0;
    ForEachChar(m_str, [&](size_t i, size_t len) {
        if (!(len == 1 && m_str[i] != '\0' && std::strchr(targets, m_str[i])))
            keep = i + len;
        return true;
    });
    m_str.erase(keep);
    return *this;
}

int CString::Find(char ch, int start) const
{
    if (start < 0)
        start = 0;
    int found = -1;
    ForEachChar(m_str, [&](size_t i, size_t len) {
        if (static_cast<int>(i) >= start && len == 1 && m_str[i] == ch) {
            found = static_cast<int>(i);
            return false;
        }
        return true;
    });
    return found;
}

int CString::Find(LPCSTR text, int start) const
{
    if (!text || start < 0 || start > GetLength())
        return -1;
    size_t pos = static_cast<size_t>(start);
    for (;;) {
        pos = m_str.find(text, pos);
        if (pos == std::string::npos)
            return -1;
        if (IsCharStart(m_str, pos))
            return static_cast<int>(pos);
        ++pos;
    }
}

int CString::ReverseFind(char ch) const
{
    int found = -1;
    ForEachChar(m_str, [&](size_t i, size_t len) {
        if (len == 1 && m_str[i] == ch)
            found = static_cast<int>(i);
        return true;
    });
    return found;
}

int CString::FindOneOf(LPCSTR set) const
{
    if (!set)
        return -1;
    int found = -1;
    ForEachChar(m_str, [&](size_t i, size_t len) {
        if (len == 1 && m_str[i] != '\0' && std::strchr(set, m_str[i])) {
            found = static_cast<int>(i);
            return false;
        }
        return true;
    });
    return found;
}

void CString::FormatV(LPCSTR format, va_list args)
{
    if (!format) {
        m_str.clear();
        return;
    }
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n < 0) {
        m_str.clear();
        return;
    }
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<size_t>(n));
    m_str = std::move(out);
}

void CString::Format(LPCSTR format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(LPCSTR format, ...)
{
    CString more;
    va_list args;
    va_start(args, format);
    more.FormatV(format, args);
    va_end(args);
    m_str += more.m_str;
}

BOOL CString::LoadString(UINT id)
{
    char buffer[4096];
    int n = ::LoadStringA(nullptr, id, buffer, sizeof buffer);
    if (n <= 0)
        return FALSE;
    m_str.assign(buffer, static_cast<size_t>(n));
    return TRUE;
}

LPSTR CString::GetBuffer(int minLength)
{
    if (minLength > GetLength())
        m_str.resize(static_cast<size_t>(minLength));
    return m_str.data();
}

LPSTR CString::GetBufferSetLength(int length)
{
    m_str.resize(static_cast<size_t>(std::max(0, length)));
    return m_str.data();
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0)
        m_str.resize(std::strlen(m_str.c_str()));
    else
        m_str.resize(std::min(static_cast<size_t>(newLength), m_str.size()));
}
