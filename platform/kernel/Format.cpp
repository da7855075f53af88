// printf-style formatting with the platform's sizes. The host's printf reads %ld as 64 bits,
// which would read past a 32-bit LONG argument; here every directive is parsed and its argument
// fetched with the platform's type, then printed one directive at a time.
#include <windows.h>

#include <string>

namespace {

enum class Size { Default, Char, Short, Long32, Long64, Pointer, Wide };

struct Options {
    bool floats = true; // wsprintf has no floating-point directives
};

void AppendDirective(std::string& out, const std::string& spec, auto value)
{
    char small[128];
    int n = snprintf(small, sizeof(small), spec.c_str(), value);
    if (n < 0)
        return;
    if (static_cast<size_t>(n) < sizeof(small)) {
        out.append(small, static_cast<size_t>(n));
        return;
    }
    std::string big(static_cast<size_t>(n) + 1, '\0');
    snprintf(big.data(), big.size(), spec.c_str(), value);
    out.append(big.data(), static_cast<size_t>(n));
}

std::string WideToActive(const WCHAR* text, int length)
{
    int needed = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return {};
    std::string bytes(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, bytes.data(), needed, nullptr, nullptr);
    return bytes;
}

std::string FormatV(const char* format, va_list args, const Options& options)
{
    std::string out;
    if (!format)
        return out;
    const char* p = format;
    while (*p) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        const char* start = p++;
        if (*p == '%') {
            out += '%';
            ++p;
            continue;
        }
        std::string flags;
        while (*p && strchr("-+ #0", *p))
            flags += *p++;
        std::string width;
        if (*p == '*') {
            width = std::to_string(va_arg(args, int));
            ++p;
        } else {
            while (*p >= '0' && *p <= '9')
                width += *p++;
        }
        std::string precision;
        bool hasPrecision = false;
        if (*p == '.') {
            hasPrecision = true;
            ++p;
            if (*p == '*') {
                precision = std::to_string(va_arg(args, int));
                ++p;
            } else {
                while (*p >= '0' && *p <= '9')
                    precision += *p++;
            }
        }
        Size size = Size::Default;
        if (p[0] == 'I' && p[1] == '6' && p[2] == '4') {
            size = Size::Long64;
            p += 3;
        } else if (p[0] == 'I' && p[1] == '3' && p[2] == '2') {
            size = Size::Long32;
            p += 3;
        } else if (p[0] == 'I' || p[0] == 'z' || p[0] == 't') {
            size = Size::Pointer;
            p += 1;
        } else if (p[0] == 'l' && p[1] == 'l') {
            size = Size::Long64;
            p += 2;
        } else if (p[0] == 'h' && p[1] == 'h') {
            size = Size::Char;
            p += 2;
        } else if (p[0] == 'h') {
            size = Size::Short;
            p += 1;
        } else if (p[0] == 'l' || p[0] == 'w') {
            size = Size::Wide; // 32-bit for integers, wide for characters and strings
            p += 1;
        } else if (p[0] == 'L') {
            p += 1; // long double is double here
        }
        char conversion = *p;
        if (!conversion) {
            out.append(start);
            break;
        }
        ++p;
        std::string spec = "%" + flags + width + (hasPrecision ? "." + precision : "");
        switch (conversion) {
        case 'd':
        case 'i': {
            long long value;
            if (size == Size::Long64)
                value = va_arg(args, long long);
            else if (size == Size::Pointer)
                value = va_arg(args, intptr_t);
            else {
                value = static_cast<int32_t>(va_arg(args, int));
                if (size == Size::Short)
                    value = static_cast<short>(value);
                else if (size == Size::Char)
                    value = static_cast<signed char>(value);
            }
            AppendDirective(out, spec + "lld", value);
            break;
        }
        case 'u':
        case 'o':
        case 'x':
        case 'X': {
            unsigned long long value;
            if (size == Size::Long64)
                value = va_arg(args, unsigned long long);
            else if (size == Size::Pointer)
                value = va_arg(args, uintptr_t);
            else {
                value = static_cast<uint32_t>(va_arg(args, unsigned));
                if (size == Size::Short)
                    value = static_cast<unsigned short>(value);
                else if (size == Size::Char)
                    value = static_cast<unsigned char>(value);
            }
            AppendDirective(out, spec + "ll" + conversion, value);
            break;
        }
        case 'c':
        case 'C': {
            int value = va_arg(args, int);
            std::string text;
            if (conversion == 'C' || size == Size::Wide) {
                WCHAR wide = static_cast<WCHAR>(value);
                text = WideToActive(&wide, 1);
            } else {
                text.assign(1, static_cast<char>(value));
            }
            AppendDirective(out, spec + "s", text.c_str());
            break;
        }
        case 's':
        case 'S': {
            std::string text;
            if (conversion == 'S' || size == Size::Wide) {
                const WCHAR* wide = va_arg(args, const WCHAR*);
                if (wide) {
                    int length = 0;
                    // A precision limits the characters read, so an unterminated text is safe.
                    int limit = hasPrecision ? atoi(precision.c_str()) : INT32_MAX;
                    while (length < limit && wide[length])
                        ++length;
                    text = length ? WideToActive(wide, length) : std::string();
                } else {
                    text = "(null)";
                }
                AppendDirective(out, spec + "s", text.c_str());
            } else {
                const char* narrow = va_arg(args, const char*);
                AppendDirective(out, spec + "s", narrow ? narrow : "(null)");
            }
            break;
        }
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A': {
            double value = va_arg(args, double);
            if (options.floats)
                AppendDirective(out, spec + conversion, value);
            break;
        }
        case 'p': AppendDirective(out, spec + "p", va_arg(args, void*)); break;
        case 'n':
            (void)va_arg(args, void*); // never written: a format must not write memory
            break;
        default: out.append(start, static_cast<size_t>(p - start)); break;
        }
    }
    return out;
}

} // namespace

int _vsnprintf(char* buffer, size_t count, const char* format, va_list argptr)
{
    va_list args;
    va_copy(args, argptr);
    std::string text = FormatV(format, args, Options{});
    va_end(args);
    if (!buffer)
        return count == 0 ? static_cast<int>(text.size()) : -1;
    if (text.size() > count) {
        memcpy(buffer, text.data(), count);
        return -1;
    }
    memcpy(buffer, text.data(), text.size());
    if (text.size() < count)
        buffer[text.size()] = '\0';
    return static_cast<int>(text.size());
}

int _snprintf(char* buffer, size_t count, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int n = _vsnprintf(buffer, count, format, args);
    va_end(args);
    return n;
}

int wvsprintfA(LPSTR lpOut, LPCSTR lpFmt, va_list arglist)
{
    if (!lpOut)
        return 0;
    constexpr size_t kLimit = 1024;
    va_list args;
    va_copy(args, arglist);
    Options options;
    options.floats = false;
    std::string text = FormatV(lpFmt, args, options);
    va_end(args);
    if (text.size() > kLimit - 1)
        text.resize(kLimit - 1);
    memcpy(lpOut, text.c_str(), text.size() + 1);
    return static_cast<int>(text.size());
}

int wsprintfA(LPSTR lpOut, LPCSTR lpFmt, ...)
{
    va_list args;
    va_start(args, lpFmt);
    int n = wvsprintfA(lpOut, lpFmt, args);
    va_end(args);
    return n;
}
