#include "SoundBuffer.h"

#include "SoundDevice.h"

#include <algorithm>
#include <cstring>

namespace yonda::sound {

namespace {

constexpr PcmFormat kDefaultPrimaryFormat{22050, 2, 8};

void FillSilence(SampleBlock& block)
{
    std::fill(block.bytes.begin(), block.bytes.end(), block.format.bits == 8 ? 0x80 : 0x00);
}

} // namespace

SoundBuffer::SoundBuffer(SoundDevice* device)
    : m_device(device), m_primary(true), m_flags(DSBCAPS_PRIMARYBUFFER), m_primaryFormat(kDefaultPrimaryFormat)
{}

SoundBuffer::SoundBuffer(SoundDevice* device, DWORD flags, std::shared_ptr<SampleBlock> block)
    : m_device(device), m_primary(false), m_flags(flags)
{
    m_voice.block = std::move(block);
    std::lock_guard lock(Mixer::Instance().Mutex());
    Mixer::Instance().Add(&m_voice);
}

SoundBuffer::SoundBuffer(SoundDevice* device, DWORD flags, std::shared_ptr<SampleBlock> block, DuplicateTag)
    : m_device(device), m_primary(false), m_flags(flags)
{
    m_voice.block = std::move(block);
    Mixer::Instance().Add(&m_voice);
}

SoundBuffer::~SoundBuffer()
{
    std::lock_guard lock(Mixer::Instance().Mutex());
    if (!m_primary)
        Mixer::Instance().Remove(&m_voice);
    if (m_device)
        m_device->Forget(this);
}

HRESULT SoundBuffer::QueryInterface(REFIID, void** ppvObj)
{
    if (ppvObj)
        *ppvObj = nullptr;
    return E_NOINTERFACE;
}

ULONG SoundBuffer::AddRef()
{
    return ++m_references;
}

ULONG SoundBuffer::Release()
{
    ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT SoundBuffer::GetCurrentPosition(LPDWORD pdwCurrentPlayCursor, LPDWORD pdwCurrentWriteCursor)
{
    std::lock_guard lock(Mixer::Instance().Mutex());
    DWORD play = 0;
    DWORD write = 0;
    if (!m_primary) {
        play = m_voice.PlayCursorBytes();
        write = play;
        if (m_voice.playing) {
            // The write cursor runs a mixing period ahead of what is heard.
            const PcmFormat& f = m_voice.block->format;
            DWORD size = static_cast<DWORD>(m_voice.block->bytes.size());
            DWORD ahead = f.rate / 100 * f.BlockAlign();
            write = size ? (play + ahead) % size : 0;
        }
    }
    if (pdwCurrentPlayCursor)
        *pdwCurrentPlayCursor = play;
    if (pdwCurrentWriteCursor)
        *pdwCurrentWriteCursor = write;
    return DS_OK;
}

HRESULT SoundBuffer::GetFormat(LPWAVEFORMATEX pwfxFormat, DWORD dwSizeAllocated, LPDWORD pdwSizeWritten)
{
    std::lock_guard lock(Mixer::Instance().Mutex());
    if (!pwfxFormat) {
        if (!pdwSizeWritten)
            return E_INVALIDARG;
        *pdwSizeWritten = sizeof(WAVEFORMATEX);
        return DS_OK;
    }
    if (dwSizeAllocated < sizeof(WAVEFORMATEX))
        return E_INVALIDARG;
    *pwfxFormat = (m_primary ? m_primaryFormat : m_voice.block->format).ToWaveFormat();
    if (pdwSizeWritten)
        *pdwSizeWritten = sizeof(WAVEFORMATEX);
    return DS_OK;
}

HRESULT SoundBuffer::GetVolume(LPLONG plVolume)
{
    if (!plVolume)
        return E_INVALIDARG;
    if (!(m_flags & DSBCAPS_CTRLVOLUME))
        return DSERR_CONTROLUNAVAIL;
    std::lock_guard lock(Mixer::Instance().Mutex());
    *plVolume = m_primary ? 0 : m_voice.volume;
    return DS_OK;
}

HRESULT SoundBuffer::GetStatus(LPDWORD pdwStatus)
{
    if (!pdwStatus)
        return E_INVALIDARG;
    std::lock_guard lock(Mixer::Instance().Mutex());
    DWORD status = 0;
    if (!m_primary) {
        if (m_voice.playing)
            status |= DSBSTATUS_PLAYING | (m_voice.looping ? DSBSTATUS_LOOPING : 0);
        if (m_voice.lost)
            status |= DSBSTATUS_BUFFERLOST;
    }
    *pdwStatus = status;
    return DS_OK;
}

HRESULT SoundBuffer::Lock(DWORD dwOffset, DWORD dwBytes, LPVOID* ppvAudioPtr1, LPDWORD pdwAudioBytes1,
                          LPVOID* ppvAudioPtr2, LPDWORD pdwAudioBytes2, DWORD dwFlags)
{
    if (!ppvAudioPtr1 || !pdwAudioBytes1)
        return E_INVALIDARG;
    *ppvAudioPtr1 = nullptr;
    *pdwAudioBytes1 = 0;
    if (ppvAudioPtr2)
        *ppvAudioPtr2 = nullptr;
    if (pdwAudioBytes2)
        *pdwAudioBytes2 = 0;
    if (m_primary)
        return DSERR_PRIOLEVELNEEDED;

    std::lock_guard lock(Mixer::Instance().Mutex());
    if (!m_device)
        return DSERR_UNINITIALIZED;
    if (m_voice.lost)
        return DSERR_BUFFERLOST;
    SampleBlock& block = *m_voice.block;
    const auto size = static_cast<DWORD>(block.bytes.size());
    if (dwFlags & DSBLOCK_FROMWRITECURSOR)
        dwOffset = m_voice.PlayCursorBytes();
    if (dwFlags & DSBLOCK_ENTIREBUFFER)
        dwBytes = size;
    if (dwOffset >= size || dwBytes == 0 || dwBytes > size)
        return E_INVALIDARG;

    auto region = std::make_unique<LockedRegion>();
    region->offset = dwOffset;
    region->firstBytes = std::min(dwBytes, size - dwOffset);
    // Without a second pointer the lock stops at the end of the buffer instead of wrapping.
    region->secondBytes = ppvAudioPtr2 ? dwBytes - region->firstBytes : 0;
    region->bytes.resize(static_cast<size_t>(region->firstBytes) + region->secondBytes);
    std::memcpy(region->bytes.data(), block.bytes.data() + dwOffset, region->firstBytes);
    if (region->secondBytes)
        std::memcpy(region->bytes.data() + region->firstBytes, block.bytes.data(), region->secondBytes);

    *ppvAudioPtr1 = region->bytes.data();
    *pdwAudioBytes1 = region->firstBytes;
    if (ppvAudioPtr2 && region->secondBytes)
        *ppvAudioPtr2 = region->bytes.data() + region->firstBytes;
    if (pdwAudioBytes2)
        *pdwAudioBytes2 = region->secondBytes;
    m_locks.push_back(std::move(region));
    return DS_OK;
}

HRESULT SoundBuffer::Unlock(LPVOID pvAudioPtr1, DWORD dwAudioBytes1, LPVOID, DWORD dwAudioBytes2)
{
    std::lock_guard lock(Mixer::Instance().Mutex());
    auto found = std::find_if(m_locks.begin(), m_locks.end(),
                              [&](const auto& region) { return region->bytes.data() == pvAudioPtr1; });
    if (!pvAudioPtr1 || found == m_locks.end())
        return E_INVALIDARG;
    const LockedRegion& region = **found;
    SampleBlock& block = *m_voice.block;
    DWORD first = std::min(dwAudioBytes1, region.firstBytes);
    DWORD second = std::min(dwAudioBytes2, region.secondBytes);
    std::memcpy(block.bytes.data() + region.offset, region.bytes.data(), first);
    std::memcpy(block.bytes.data(), region.bytes.data() + region.firstBytes, second);
    m_locks.erase(found);
    return DS_OK;
}

HRESULT SoundBuffer::Play(DWORD dwReserved1, DWORD, DWORD dwFlags)
{
    if (dwReserved1 != 0)
        return E_INVALIDARG;
    if (m_primary)
        return DS_OK;
    std::lock_guard lock(Mixer::Instance().Mutex());
    if (!m_device)
        return DSERR_UNINITIALIZED;
    if (m_voice.lost)
        return DSERR_BUFFERLOST;
    m_voice.looping = (dwFlags & DSBPLAY_LOOPING) != 0;
    m_voice.playing = true;
    return DS_OK;
}

HRESULT SoundBuffer::SetCurrentPosition(DWORD dwNewPosition)
{
    if (m_primary)
        return DSERR_INVALIDCALL;
    std::lock_guard lock(Mixer::Instance().Mutex());
    const SampleBlock& block = *m_voice.block;
    if (dwNewPosition >= block.bytes.size())
        return E_INVALIDARG;
    m_voice.position = static_cast<uint64_t>(dwNewPosition / block.format.BlockAlign()) << 32;
    return DS_OK;
}

HRESULT SoundBuffer::SetFormat(LPCWAVEFORMATEX pcfxFormat)
{
    if (!m_primary)
        return DSERR_INVALIDCALL;
    PcmFormat format;
    HRESULT hr = ReadPcmFormat(pcfxFormat, &format);
    if (FAILED(hr))
        return hr;
    std::lock_guard lock(Mixer::Instance().Mutex());
    if (!m_device)
        return DSERR_UNINITIALIZED;
    if (m_device->Level() < DSSCL_PRIORITY)
        return DSERR_PRIOLEVELNEEDED;
    // The output keeps its own rate; the mixer converts every source to it.
    m_primaryFormat = format;
    return DS_OK;
}

HRESULT SoundBuffer::SetVolume(LONG lVolume)
{
    if (!(m_flags & DSBCAPS_CTRLVOLUME))
        return DSERR_CONTROLUNAVAIL;
    if (lVolume < DSBVOLUME_MIN || lVolume > DSBVOLUME_MAX)
        return E_INVALIDARG;
    if (m_primary)
        return DS_OK;
    std::lock_guard lock(Mixer::Instance().Mutex());
    m_voice.SetVolume(lVolume);
    return DS_OK;
}

HRESULT SoundBuffer::Stop()
{
    if (m_primary)
        return DS_OK;
    std::lock_guard lock(Mixer::Instance().Mutex());
    m_voice.playing = false;
    Mixer::Instance().NotifyStopped();
    return DS_OK;
}

HRESULT SoundBuffer::Restore()
{
    if (m_primary)
        return DS_OK;
    std::lock_guard lock(Mixer::Instance().Mutex());
    if (!m_device)
        return DSERR_UNINITIALIZED;
    if (m_voice.lost) {
        // What the device held is gone: the owner has to fill the buffer again.
        m_voice.lost = false;
        m_voice.position = 0;
        FillSilence(*m_voice.block);
    }
    return DS_OK;
}

SoundBuffer* SoundBuffer::Duplicate(SoundDevice* device)
{
    auto* copy = new SoundBuffer(device, m_flags, m_voice.block, DuplicateTag{});
    copy->m_voice.SetVolume(m_voice.volume);
    copy->m_voice.lost = m_voice.lost;
    return copy;
}

void SoundBuffer::Detach()
{
    m_device = nullptr;
    m_voice.playing = false;
}

} // namespace yonda::sound
