// String and number helpers of the platform's runtime. Case folding is ASCII only and byte by
// byte: a locale-aware fold would change trail bytes of double-byte text.
#include <windows.h>

#include <climits>

namespace {

int FoldAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
}

char* FormatUnsigned(ULONGLONG value, bool negative, char* buffer, int radix)
{
    if (!buffer)
        return nullptr;
    if (radix < 2 || radix > 36) {
        buffer[0] = '\0';
        return buffer;
    }
    char digits[72];
    int n = 0;
    do {
        int digit = static_cast<int>(value % radix);
        digits[n++] = static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10);
        value /= radix;
    } while (value);
    char* out = buffer;
    if (negative)
        *out++ = '-';
    while (n)
        *out++ = digits[--n];
    *out = '\0';
    return buffer;
}

char* FormatSigned(LONGLONG value, ULONGLONG asUnsigned, char* buffer, int radix)
{
    if (radix == 10 && value < 0)
        return FormatUnsigned(static_cast<ULONGLONG>(-(value + 1)) + 1, true, buffer, radix);
    return FormatUnsigned(radix == 10 ? static_cast<ULONGLONG>(value) : asUnsigned, false, buffer, radix);
}

} // namespace

int _stricmp(const char* string1, const char* string2)
{
    return _strnicmp(string1, string2, SIZE_MAX);
}

int _strnicmp(const char* string1, const char* string2, size_t count)
{
    if (!string1 || !string2)
        return string1 == string2 ? 0 : (string1 ? 1 : -1);
    for (size_t i = 0; i < count; ++i) {
        int a = FoldAscii(static_cast<unsigned char>(string1[i]));
        int b = FoldAscii(static_cast<unsigned char>(string2[i]));
        if (a != b)
            return a - b;
        if (a == 0)
            return 0;
    }
    return 0;
}

int _memicmp(const void* buffer1, const void* buffer2, size_t count)
{
    auto a = static_cast<const unsigned char*>(buffer1);
    auto b = static_cast<const unsigned char*>(buffer2);
    for (size_t i = 0; i < count; ++i) {
        int d = FoldAscii(a[i]) - FoldAscii(b[i]);
        if (d)
            return d;
    }
    return 0;
}

char* _strlwr(char* str)
{
    for (char* p = str; p && *p; ++p)
        if (*p >= 'A' && *p <= 'Z')
            *p = static_cast<char>(*p - 'A' + 'a');
    return str;
}

char* _strupr(char* str)
{
    for (char* p = str; p && *p; ++p)
        if (*p >= 'a' && *p <= 'z')
            *p = static_cast<char>(*p - 'a' + 'A');
    return str;
}

char* _strdup(const char* str)
{
    return str ? strdup(str) : nullptr;
}

int lstrlenA(LPCSTR lpString)
{
    return lpString ? static_cast<int>(strlen(lpString)) : 0;
}

LPSTR lstrcpyA(LPSTR lpString1, LPCSTR lpString2)
{
    if (!lpString1 || !lpString2)
        return nullptr;
    return strcpy(lpString1, lpString2);
}

LPSTR lstrcpynA(LPSTR lpString1, LPCSTR lpString2, int iMaxLength)
{
    if (!lpString1 || !lpString2 || iMaxLength <= 0)
        return nullptr;
    int i = 0;
    for (; i < iMaxLength - 1 && lpString2[i]; ++i)
        lpString1[i] = lpString2[i];
    lpString1[i] = '\0';
    return lpString1;
}

LPSTR lstrcatA(LPSTR lpString1, LPCSTR lpString2)
{
    if (!lpString1 || !lpString2)
        return nullptr;
    return strcat(lpString1, lpString2);
}

int lstrcmpA(LPCSTR lpString1, LPCSTR lpString2)
{
    int r = strcmp(lpString1 ? lpString1 : "", lpString2 ? lpString2 : "");
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2)
{
    int r = _stricmp(lpString1 ? lpString1 : "", lpString2 ? lpString2 : "");
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

char* _itoa(int value, char* buffer, int radix)
{
    return FormatSigned(value, static_cast<uint32_t>(value), buffer, radix);
}

char* _ltoa(LONG value, char* buffer, int radix)
{
    return FormatSigned(value, static_cast<uint32_t>(value), buffer, radix);
}

char* _ultoa(ULONG value, char* buffer, int radix)
{
    return FormatUnsigned(value, false, buffer, radix);
}

char* _i64toa(LONGLONG value, char* buffer, int radix)
{
    return FormatSigned(value, static_cast<ULONGLONG>(value), buffer, radix);
}

char* _ui64toa(ULONGLONG value, char* buffer, int radix)
{
    return FormatUnsigned(value, false, buffer, radix);
}

LONGLONG _atoi64(const char* str)
{
    return str ? strtoll(str, nullptr, 10) : 0;
}
