#pragma once
// The DirectSound object of one window, with its primary format set, and the factory of the
// clips that play on it.
#include <dsound.h>

class CSoundClip;

class CSoundDevice {
public:
    CSoundDevice();
    ~CSoundDevice();
    CSoundDevice(const CSoundDevice&) = delete;
    CSoundDevice& operator=(const CSoundDevice&) = delete;

    // Creates the device for the window at the cooperative level and sets the primary buffer to
    // PCM of the given channels, rate and bits. The first failing call's result.
    HRESULT Initialize(HWND hWnd, DWORD dwCoopLevel, DWORD dwPrimaryChannels, DWORD dwPrimaryFreq,
                       DWORD dwPrimaryBitRate);
    LPDIRECTSOUND8 GetDirectSound() const { return m_pDS; }

    // A clip of the wave (a file, else a program resource) in dwNumBuffers buffers of its size,
    // the first filled and all at their start. DS_NO_VIRTUALIZATION is a success that is passed on.
    HRESULT Create(CSoundClip** ppSound, LPCSTR strWaveFileName, DWORD dwCreationFlags = 0,
                   GUID guid3DAlgorithm = DS3DALG_DEFAULT, DWORD dwNumBuffers = 1);

private:
    HRESULT CreateClip(CSoundClip** ppSound, LPCSTR strWaveFileName, DWORD dwCreationFlags, GUID guid3DAlgorithm,
                       DWORD dwNumBuffers);
    HRESULT SetPrimaryBufferFormat(DWORD dwPrimaryChannels, DWORD dwPrimaryFreq, DWORD dwPrimaryBitRate);
    void ReleaseDevice();

    LPDIRECTSOUND8 m_pDS = nullptr;
};
