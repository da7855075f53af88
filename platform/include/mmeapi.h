// Wave formats: the description every PCM source carries, whether it comes from a RIFF file, a
// program resource or a sound buffer's creation.
#pragma once

#include "windef.h"

#define WAVE_FORMAT_PCM 1

// Byte-packed as in a "fmt " chunk: readers fill these straight from the file (16 bytes of
// PCMWAVEFORMAT, then cbSize), so their sizes are 14, 16 and 18.
#pragma pack(push, 1)

typedef struct tWAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
} WAVEFORMATEX, *PWAVEFORMATEX, *LPWAVEFORMATEX;
using LPCWAVEFORMATEX = const WAVEFORMATEX*;

// The 16-byte head of a "fmt " chunk, as older readers fill it.
typedef struct waveformat_tag {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
} WAVEFORMAT, *LPWAVEFORMAT;

typedef struct pcmwaveformat_tag {
    WAVEFORMAT wf;
    WORD wBitsPerSample;
} PCMWAVEFORMAT, *LPPCMWAVEFORMAT;
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18 && sizeof(PCMWAVEFORMAT) == 16, "fmt chunk layout");

using MMRESULT = UINT;
#define MMSYSERR_NOERROR 0
#define MMSYSERR_ERROR 1
#define MMSYSERR_INVALHANDLE 5
#define MMSYSERR_NOMEM 7
#define MMSYSERR_INVALFLAG 10
#define MMSYSERR_INVALPARAM 11
