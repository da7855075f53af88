#pragma once
// One wave held in one or more secondary buffers of the same size, all filled with the same
// samples, so that the sound can play several times at once. The clip owns its buffers and the
// reader it refills them from when the device takes them away.
#include "WaveReader.h"

#include <dsound.h>

#include <memory>
#include <vector>

class CSoundClip {
public:
    // A lost buffer is asked to come back this many times, this far apart, before the clip
    // gives up: a device that stays taken must not hang the caller.
    static constexpr int kRestoreTries = 100;
    static constexpr DWORD kRestoreWaitMs = 10;

    // Takes the dwNumBuffers buffers of apBuffers (one reference each) and the reader.
    CSoundClip(LPDIRECTSOUNDBUFFER* apBuffers, DWORD dwBufferSize, DWORD dwNumBuffers,
               std::unique_ptr<CWaveReader> pWaveReader);
    ~CSoundClip();
    CSoundClip(const CSoundClip&) = delete;
    CSoundClip& operator=(const CSoundClip&) = delete;

    // Plays the first buffer that is not playing (a random one when all are), restored and
    // refilled first when the device had taken it away.
    HRESULT Play(DWORD dwPriority = 0, DWORD dwFlags = 0);
    // Stops every buffer where it is.
    HRESULT Stop();
    // Every buffer back to its start.
    HRESULT Reset();
    BOOL IsPlaying();

    // Fills the whole buffer from the start of the wave: a shorter wave is repeated when
    // bRepeatWavIfBufferLarger is set, else followed by silence.
    HRESULT FillBuffer(LPDIRECTSOUNDBUFFER pBuffer, BOOL bRepeatWavIfBufferLarger);
    // Brings a lost buffer back (its samples are then gone); *pbWasRestored tells whether it
    // was lost. DSERR_BUFFERLOST when it stays lost.
    HRESULT RestoreBuffer(LPDIRECTSOUNDBUFFER pBuffer, BOOL* pbWasRestored);
    LPDIRECTSOUNDBUFFER GetFreeBuffer();
    LPDIRECTSOUNDBUFFER GetBuffer(DWORD dwIndex);
    DWORD GetBufferSize() const { return m_dwDSBufferSize; }
    DWORD GetBufferCount() const { return static_cast<DWORD>(m_apDSBuffer.size()); }

private:
    HRESULT ReadInto(BYTE* pBytes, DWORD dwSize, BOOL bRepeat);

    std::vector<LPDIRECTSOUNDBUFFER> m_apDSBuffer;
    DWORD m_dwDSBufferSize = 0;
    std::unique_ptr<CWaveReader> m_pWaveReader;
};
