// The sound system's own extensions: the null sink that stands in for an audio device, a hook
// that makes sound buffers lost, and the table of WAVE resources PlaySound plays from.
#pragma once

#include "windef.h"

// Output: stereo, 16-bit, at YondaSoundOutputRate() frames per second. With an audio device
// (and YONDA_HEADLESS unset) the mixer feeds it; otherwise the null sink takes the mix in real
// time and drops it. A manual null sink only advances when YondaSoundRender asks, so tests can
// read exactly what would have been heard.
void YondaSoundUseNullSink(BOOL manual);
BOOL YondaSoundIsNullSink();
DWORD YondaSoundOutputRate();
// Mixes the next frameCount frames into frames (2 x frameCount samples, left first). Only the
// manual null sink answers; otherwise the output is zeroed and FALSE returned.
BOOL YondaSoundRender(SHORT* frames, DWORD frameCount);

// Makes every secondary buffer lost, as when another program takes the device: they stop,
// report DSBSTATUS_BUFFERLOST and refuse Lock and Play until Restore.
void YondaSoundLoseBuffers();

// WAVE resources for PlaySound(SND_RESOURCE): the window system registers each one it loads;
// the bytes are copied. Integer names (MAKEINTRESOURCE) and text names (case-insensitive) both
// work; a null bytes pointer removes the entry.
void YondaRegisterWaveResource(HMODULE module, LPCSTR name, const void* bytes, DWORD size);
