// Number formats: digits grouped and separated as a number format asks, and scaling by a ratio.
#include <windows.h>

#include <cstdint>
#include <string>

namespace {

// Rounds the decimal text to `digits` decimals, half away from zero.
void Round(std::string& integer, std::string& fraction, unsigned digits)
{
    if (fraction.size() <= digits) {
        fraction.append(digits - fraction.size(), '0');
        return;
    }
    bool up = fraction[digits] >= '5';
    fraction.resize(digits);
    if (!up)
        return;
    std::string all = integer + fraction;
    int i = static_cast<int>(all.size()) - 1;
    for (; i >= 0; --i) {
        if (all[i] == '9') {
            all[i] = '0';
        } else {
            ++all[i];
            break;
        }
    }
    if (i < 0)
        all.insert(all.begin(), '1');
    integer = all.substr(0, all.size() - digits);
    fraction = all.substr(all.size() - digits);
}

} // namespace

int GetNumberFormatA(LCID Locale, DWORD dwFlags, LPCSTR lpValue, const NUMBERFMTA* lpFormat, LPSTR lpNumberStr,
                     int cchNumber)
{
    if (!lpValue || cchNumber < 0 || (cchNumber > 0 && !lpNumberStr) ||
        (lpFormat && (!lpFormat->lpDecimalSep || !lpFormat->lpThousandSep))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (lpFormat && dwFlags) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    char defaultDecimal[] = ".";
    char defaultThousand[] = ",";
    NUMBERFMTA format = lpFormat ? *lpFormat : NUMBERFMTA{2, 1, 3, defaultDecimal, defaultThousand, 1};

    const char* p = lpValue;
    bool negative = false;
    if (*p == '-') {
        negative = true;
        ++p;
    }
    std::string integer, fraction;
    while (*p >= '0' && *p <= '9')
        integer += *p++;
    if (*p == '.') {
        ++p;
        while (*p >= '0' && *p <= '9')
            fraction += *p++;
    }
    if (*p != '\0' || (integer.empty() && fraction.empty())) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Round(integer, fraction, format.NumDigits);
    size_t firstDigit = integer.find_first_not_of('0');
    integer = firstDigit == std::string::npos ? "" : integer.substr(firstDigit);
    if (integer.empty() && (format.LeadingZero || format.NumDigits == 0))
        integer = "0";
    if (integer.find_first_not_of('0') == std::string::npos && fraction.find_first_not_of('0') == std::string::npos)
        negative = false;

    std::string grouped;
    // Grouping 3 means groups of three; 32 means three, then twos (the Indian style).
    unsigned first = format.Grouping >= 10 ? format.Grouping / 10 % 10 : format.Grouping;
    unsigned rest = format.Grouping >= 10 ? format.Grouping % 10 : format.Grouping;
    size_t count = 0;
    unsigned group = first;
    for (size_t i = integer.size(); i > 0; --i) {
        if (group && count == group) {
            grouped.insert(0, format.lpThousandSep);
            count = 0;
            group = rest;
        }
        grouped.insert(grouped.begin(), integer[i - 1]);
        ++count;
    }
    std::string number = grouped;
    if (format.NumDigits)
        number += format.lpDecimalSep + fraction;
    if (negative) {
        switch (format.NegativeOrder) {
        case 0: number = "(" + number + ")"; break;
        case 2: number = "- " + number; break;
        case 3: number = number + "-"; break;
        case 4: number = number + " -"; break;
        default: number = "-" + number; break;
        }
    }
    int needed = static_cast<int>(number.size() + 1);
    if (cchNumber == 0)
        return needed;
    if (needed > cchNumber) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    memcpy(lpNumberStr, number.c_str(), number.size() + 1);
    return needed;
}

int MulDiv(int nNumber, int nNumerator, int nDenominator)
{
    if (nDenominator == 0)
        return -1;
    // The product of two 32-bit values always fits in 64 bits; halving the magnitude of the
    // denominator before the division rounds half away from zero.
    const int64_t product = static_cast<int64_t>(nNumber) * nNumerator;
    const int64_t denominator = nDenominator;
    const bool negative = (product < 0) != (denominator < 0);
    const uint64_t magnitude = product < 0 ? 0 - static_cast<uint64_t>(product) : static_cast<uint64_t>(product);
    const uint64_t divisor =
        denominator < 0 ? 0 - static_cast<uint64_t>(denominator) : static_cast<uint64_t>(denominator);
    const uint64_t quotient = (magnitude + divisor / 2) / divisor;
    if (quotient > static_cast<uint64_t>(INT32_MAX) + (negative ? 1 : 0))
        return -1;
    return negative ? static_cast<int>(-static_cast<int64_t>(quotient)) : static_cast<int>(quotient);
}
