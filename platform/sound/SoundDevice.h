// A DirectSound device: its cooperative level and the buffers it made. Several devices live at
// once (the splash's and the music player's) and all of them feed the one mixer.
#pragma once

#include "dsound.h"

#include <atomic>
#include <vector>

namespace yonda::sound {

class SoundBuffer;

class SoundDevice final : public IDirectSound8 {
public:
    SoundDevice();
    ~SoundDevice() override;

    HRESULT QueryInterface(REFIID riid, void** ppvObj) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT CreateSoundBuffer(LPCDSBUFFERDESC pcDSBufferDesc, LPDIRECTSOUNDBUFFER* ppDSBuffer,
                              LPUNKNOWN pUnkOuter) override;
    HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER pDSBufferOriginal,
                                 LPDIRECTSOUNDBUFFER* ppDSBufferDuplicate) override;
    HRESULT SetCooperativeLevel(HWND hwnd, DWORD dwLevel) override;

    // With the mixer's mutex held.
    DWORD Level() const { return m_level; }
    void Forget(SoundBuffer* buffer);

private:
    std::atomic<ULONG> m_references{1};
    DWORD m_level = 0;
    std::vector<SoundBuffer*> m_buffers; // guarded by the mixer's mutex
};

} // namespace yonda::sound
