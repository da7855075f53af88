// PlaySound: one short sound at a time, from a file, a program resource or a memory image.
#pragma once

#include "windef.h"

#define SND_SYNC 0x0000
#define SND_ASYNC 0x0001
#define SND_NODEFAULT 0x0002
#define SND_MEMORY 0x0004
#define SND_LOOP 0x0008
#define SND_NOSTOP 0x0010
#define SND_PURGE 0x0040
#define SND_APPLICATION 0x0080
#define SND_NOWAIT 0x00002000
#define SND_ALIAS 0x00010000
#define SND_FILENAME 0x00020000
#define SND_RESOURCE 0x00040004
#define SND_ALIAS_ID 0x00110000

// A new sound replaces the one playing (unless SND_NOSTOP); a null name stops it. Resources
// are looked up among the WAVE resources registered with the sound system (yonda_sound.h).
BOOL PlaySoundA(LPCSTR pszSound, HMODULE hmod, DWORD fdwSound);
#define PlaySound PlaySoundA
