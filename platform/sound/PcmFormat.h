// The PCM layouts the mixer plays: 8-bit unsigned or 16-bit signed little-endian samples, one or
// two channels, any rate DirectSound accepts.
#pragma once

#include "mmeapi.h"

namespace yonda::sound {

struct PcmFormat {
    DWORD rate = 22050;
    WORD channels = 2;
    WORD bits = 16;

    WORD BlockAlign() const { return static_cast<WORD>(channels * bits / 8); }
    WAVEFORMATEX ToWaveFormat() const;
};

// Checks a caller's format field by field; answers S_OK with the format, or the error code
// DirectSound gives for it (DSERR_BADFORMAT for what cannot be played, E_INVALIDARG for
// fields that contradict each other).
HRESULT ReadPcmFormat(const WAVEFORMATEX* wfx, PcmFormat* format);

} // namespace yonda::sound
