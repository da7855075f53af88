#include "ProgramResources.h"

#include "resource.h"

#include <yonda_sound.h>
#include <yonda_user.h>

#include <cstddef>

namespace {

// The sound generator's files, embedded at build time.
const unsigned char kHover[] = {
#include "149.inc"
};
const unsigned char kConfirm[] = {
#include "150.inc"
};
const unsigned char kWindowOpen[] = {
#include "151.inc"
};
const unsigned char kNotice[] = {
#include "152.inc"
};
const unsigned char kPress[] = {
#include "153.inc"
};

struct Resource {
    WORD id;
    const unsigned char* bytes;
    size_t size;
};

const Resource kWaves[] = {
    {IDR_WAVE_HOVER, kHover, sizeof kHover},
    {IDR_WAVE_CONFIRM, kConfirm, sizeof kConfirm},
    {IDR_WAVE_WINDOW_OPEN, kWindowOpen, sizeof kWindowOpen},
    {IDR_WAVE_NOTICE, kNotice, sizeof kNotice},
    {IDR_WAVE_PRESS, kPress, sizeof kPress},
};

} // namespace

void RegisterProgramResources(HMODULE module)
{
    for (const Resource& wave : kWaves) {
        const DWORD size = static_cast<DWORD>(wave.size);
        // PlaySound finds effect sounds in the sound system's table; the wave reader of the music
        // goes through FindResource like any resource.
        YondaAddResource("WAVE", MAKEINTRESOURCE(wave.id), wave.bytes, size);
        YondaRegisterWaveResource(module, MAKEINTRESOURCE(wave.id), wave.bytes, size);
    }
}
