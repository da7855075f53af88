// Multimedia: the millisecond clock here; the sound part adds wave files and playback.
#pragma once

#include "windef.h"

using MMRESULT = UINT;
#define TIMERR_NOERROR 0
#define TIMERR_NOCANDO 97

// Milliseconds on the kernel's clock (the same clock as GetTickCount).
DWORD timeGetTime();
MMRESULT timeBeginPeriod(UINT uPeriod);
MMRESULT timeEndPeriod(UINT uPeriod);

// Wave formats, multimedia file I/O and PlaySound.
#include "mmeapi.h"
#include "mmiscapi.h"
#include "playsoundapi.h"
