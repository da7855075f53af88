#include "PcmFormat.h"

#include "dsound.h"

namespace yonda::sound {

WAVEFORMATEX PcmFormat::ToWaveFormat() const
{
    WAVEFORMATEX wfx{};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = channels;
    wfx.nSamplesPerSec = rate;
    wfx.nBlockAlign = BlockAlign();
    wfx.nAvgBytesPerSec = rate * wfx.nBlockAlign;
    wfx.wBitsPerSample = bits;
    wfx.cbSize = 0;
    return wfx;
}

HRESULT ReadPcmFormat(const WAVEFORMATEX* wfx, PcmFormat* format)
{
    if (!wfx || !format)
        return E_INVALIDARG;
    if (wfx->wFormatTag != WAVE_FORMAT_PCM)
        return DSERR_BADFORMAT;
    if (wfx->nChannels < 1 || wfx->nChannels > 2)
        return DSERR_BADFORMAT;
    if (wfx->wBitsPerSample != 8 && wfx->wBitsPerSample != 16)
        return DSERR_BADFORMAT;
    if (wfx->nSamplesPerSec < DSBFREQUENCY_MIN || wfx->nSamplesPerSec > DSBFREQUENCY_MAX)
        return DSERR_BADFORMAT;
    PcmFormat f;
    f.rate = wfx->nSamplesPerSec;
    f.channels = wfx->nChannels;
    f.bits = wfx->wBitsPerSample;
    if (wfx->nBlockAlign != f.BlockAlign())
        return E_INVALIDARG;
    *format = f;
    return S_OK;
}

} // namespace yonda::sound
