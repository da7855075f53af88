// A DirectSound buffer: the primary buffer, which only holds the output format, or a static
// secondary buffer, which is a voice of the mixer.
#pragma once

#include "Mixer.h"
#include "dsound.h"

#include <atomic>
#include <memory>
#include <vector>

namespace yonda::sound {

class SoundDevice;

class SoundBuffer final : public IDirectSoundBuffer8 {
public:
    // A primary buffer of the device.
    explicit SoundBuffer(SoundDevice* device);
    // A secondary buffer over block (shared with its duplicates).
    SoundBuffer(SoundDevice* device, DWORD flags, std::shared_ptr<SampleBlock> block);
    ~SoundBuffer() override;

    HRESULT QueryInterface(REFIID riid, void** ppvObj) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetCurrentPosition(LPDWORD pdwCurrentPlayCursor, LPDWORD pdwCurrentWriteCursor) override;
    HRESULT GetFormat(LPWAVEFORMATEX pwfxFormat, DWORD dwSizeAllocated, LPDWORD pdwSizeWritten) override;
    HRESULT GetVolume(LPLONG plVolume) override;
    HRESULT GetStatus(LPDWORD pdwStatus) override;
    HRESULT Lock(DWORD dwOffset, DWORD dwBytes, LPVOID* ppvAudioPtr1, LPDWORD pdwAudioBytes1, LPVOID* ppvAudioPtr2,
                 LPDWORD pdwAudioBytes2, DWORD dwFlags) override;
    HRESULT Play(DWORD dwReserved1, DWORD dwPriority, DWORD dwFlags) override;
    HRESULT SetCurrentPosition(DWORD dwNewPosition) override;
    HRESULT SetFormat(LPCWAVEFORMATEX pcfxFormat) override;
    HRESULT SetVolume(LONG lVolume) override;
    HRESULT Stop() override;
    HRESULT Unlock(LPVOID pvAudioPtr1, DWORD dwAudioBytes1, LPVOID pvAudioPtr2, DWORD dwAudioBytes2) override;
    HRESULT Restore() override;

    // With the mixer's mutex held.
    SoundBuffer* Duplicate(SoundDevice* device);
    void Detach();
    bool IsPrimary() const { return m_primary; }

private:
    // A locked region is handed out as a private copy and written back on Unlock, so the
    // mixer never reads memory the caller is writing.
    struct DuplicateTag {};
    // A duplicate, made with the mixer's mutex held.
    SoundBuffer(SoundDevice* device, DWORD flags, std::shared_ptr<SampleBlock> block, DuplicateTag);

    struct LockedRegion {
        std::vector<uint8_t> bytes;
        DWORD offset = 0;
        DWORD firstBytes = 0;
        DWORD secondBytes = 0;
    };

    std::atomic<ULONG> m_references{1};
    SoundDevice* m_device; // null once the device is gone; guarded by the mixer's mutex
    bool m_primary;
    DWORD m_flags;
    PcmFormat m_primaryFormat;
    Voice m_voice;
    std::vector<std::unique_ptr<LockedRegion>> m_locks;
};

} // namespace yonda::sound
