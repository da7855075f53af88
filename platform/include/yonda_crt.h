// The C-runtime names of the platform's compiler that the host C library lacks, with that
// runtime's behaviour: `long` in a format is 32 bits, case folding is ASCII only and byte by
// byte (double-byte text is never changed), `_snprintf` does not terminate a full buffer.
#pragma once

#include "windef.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#define _MAX_PATH 260
#define _MAX_FNAME 256
#define _MAX_EXT 256

// ---- Strings -------------------------------------------------------------------------------
int _stricmp(const char* string1, const char* string2);
int _strnicmp(const char* string1, const char* string2, size_t count);
int _memicmp(const void* buffer1, const void* buffer2, size_t count);
char* _strlwr(char* str);
char* _strupr(char* str);
char* _strdup(const char* str);
#define _strcmpi _stricmp

int lstrlenA(LPCSTR lpString);
LPSTR lstrcpyA(LPSTR lpString1, LPCSTR lpString2);
LPSTR lstrcpynA(LPSTR lpString1, LPCSTR lpString2, int iMaxLength);
LPSTR lstrcatA(LPSTR lpString1, LPCSTR lpString2);
int lstrcmpA(LPCSTR lpString1, LPCSTR lpString2);
int lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2);
#define lstrlen lstrlenA
#define lstrcpy lstrcpyA
#define lstrcpyn lstrcpynA
#define lstrcat lstrcatA
#define lstrcmp lstrcmpA
#define lstrcmpi lstrcmpiA

// ---- Numbers to text -----------------------------------------------------------------------
// Negative values get a '-' in radix 10 only; other radixes show the two's complement.
char* _itoa(int value, char* buffer, int radix);
char* _ltoa(LONG value, char* buffer, int radix);
char* _ultoa(ULONG value, char* buffer, int radix);
char* _i64toa(LONGLONG value, char* buffer, int radix);
char* _ui64toa(ULONGLONG value, char* buffer, int radix);
LONGLONG _atoi64(const char* str);

// ---- Formatting ----------------------------------------------------------------------------
// Formats with the platform's sizes: %d/%ld/%x/%lx take 32 bits, %I64d and %lld 64, %hd 16,
// %S and %ls a wide string, %Lf a double. %n is not supported.
// Writes at most count bytes; answers the length, or -1 when the text did not fit (then the
// buffer holds count bytes without a terminator, as the platform's runtime leaves it).
int _snprintf(char* buffer, size_t count, const char* format, ...);
int _vsnprintf(char* buffer, size_t count, const char* format, va_list argptr);
// Writes at most 1024 bytes with the terminator (the platform's limit) and answers the length.
// Floating-point directives are not part of this function's language and print nothing.
int wsprintfA(LPSTR lpOut, LPCSTR lpFmt, ...);
int wvsprintfA(LPSTR lpOut, LPCSTR lpFmt, va_list arglist);
#define wsprintf wsprintfA
#define wvsprintf wvsprintfA

// ---- Time ----------------------------------------------------------------------------------
struct _timeb {
    time_t time;
    unsigned short millitm;
    short timezone;
    short dstflag;
};
// Follows the kernel's clock (manual in tests, see yonda_platform.h).
void _ftime(struct _timeb* timeptr);

// ---- Threads -------------------------------------------------------------------------------
// initflag: CREATE_SUSPENDED (4) creates the thread suspended, anything else running.
uintptr_t _beginthreadex(void* security, unsigned stack_size, unsigned(__stdcall* start_address)(void*), void* arglist,
                         unsigned initflag, unsigned* thrdaddr);
[[noreturn]] void _endthreadex(unsigned retval);
