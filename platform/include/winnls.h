// Code pages and number formats. All text in the program is bytes in the active code page
// (949 by default; 1252 and 932 as the language mode asks); conversion to Unicode happens only
// at the edges. Bytes that do not decode are kept as themselves, never dropped.
#pragma once

#include "windef.h"

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_THREAD_ACP 3
#define CP_UTF8 65001

#define MB_PRECOMPOSED 0x00000001
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_NO_BEST_FIT_CHARS 0x00000400

UINT GetACP();
UINT GetOEMCP();
BOOL IsValidCodePage(UINT CodePage);

// -1 as the source length includes the terminator; a zero destination size answers the size
// needed. A destination that is too small fails with ERROR_INSUFFICIENT_BUFFER.
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar);
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr,
                        int cbMultiByte, LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar);

BOOL IsDBCSLeadByte(BYTE TestChar);
BOOL IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar);
// Steps over whole characters of the active code page; a lead byte before the terminator is
// one character.
LPSTR CharNextA(LPCSTR lpsz);
LPSTR CharPrevA(LPCSTR lpszStart, LPCSTR lpszCurrent);
#define CharNext CharNextA
#define CharPrev CharPrevA

// ---- Number formats ------------------------------------------------------------------------
using LCID = DWORD;
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_USER_DEFAULT 0x0400

typedef struct _numberfmtA {
    UINT NumDigits;
    UINT LeadingZero;
    UINT Grouping;
    LPSTR lpDecimalSep;
    LPSTR lpThousandSep;
    UINT NegativeOrder;
} NUMBERFMTA, *LPNUMBERFMTA;
using NUMBERFMT = NUMBERFMTA;

// lpValue is a plain decimal number ("-1234.5"). Without lpFormat the default locale's format
// applies: two decimals, groups of three, "." and ",", a leading '-'.
int GetNumberFormatA(LCID Locale, DWORD dwFlags, LPCSTR lpValue, const NUMBERFMTA* lpFormat, LPSTR lpNumberStr,
                     int cchNumber);
#define GetNumberFormat GetNumberFormatA
