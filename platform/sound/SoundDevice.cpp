#include "SoundDevice.h"

#include "Mixer.h"
#include "SoundBuffer.h"

#include <algorithm>
#include <new>

namespace yonda::sound {

SoundDevice::SoundDevice() = default;

SoundDevice::~SoundDevice()
{
    // Buffers the owner still holds stay valid objects but fall silent, as a device's buffers
    // die with it.
    std::lock_guard lock(Mixer::Instance().Mutex());
    for (SoundBuffer* buffer : m_buffers)
        buffer->Detach();
}

HRESULT SoundDevice::QueryInterface(REFIID, void** ppvObj)
{
    if (ppvObj)
        *ppvObj = nullptr;
    return E_NOINTERFACE;
}

ULONG SoundDevice::AddRef()
{
    return ++m_references;
}

ULONG SoundDevice::Release()
{
    ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT SoundDevice::SetCooperativeLevel(HWND hwnd, DWORD dwLevel)
{
    if (!hwnd || dwLevel < DSSCL_NORMAL || dwLevel > DSSCL_WRITEPRIMARY)
        return E_INVALIDARG;
    std::lock_guard lock(Mixer::Instance().Mutex());
    m_level = dwLevel;
    return DS_OK;
}

HRESULT SoundDevice::CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* ppDSBuffer, LPUNKNOWN pUnkOuter)
{
    if (!ppDSBuffer)
        return E_INVALIDARG;
    *ppDSBuffer = nullptr;
    if (!desc || desc->dwSize < sizeof(DSBUFFERDESC))
        return E_INVALIDARG;
    if (pUnkOuter)
        return DSERR_NOAGGREGATION;

    SoundBuffer* buffer = nullptr;
    HRESULT result = DS_OK;
    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
        if (desc->dwBufferBytes != 0 || desc->lpwfxFormat)
            return E_INVALIDARG;
        buffer = new (std::nothrow) SoundBuffer(this);
    } else {
        PcmFormat format;
        HRESULT hr = ReadPcmFormat(desc->lpwfxFormat, &format);
        if (FAILED(hr))
            return hr;
        if (desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX)
            return E_INVALIDARG;
        if (desc->dwFlags & DSBCAPS_CTRL3D)
            return DSERR_INVALIDPARAM;
        auto block = std::make_shared<SampleBlock>();
        block->format = format;
        try {
            // The memory of a new buffer is silence, not whatever was there before.
            block->bytes.assign(desc->dwBufferBytes, format.bits == 8 ? 0x80 : 0x00);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        buffer = new (std::nothrow) SoundBuffer(this, desc->dwFlags, std::move(block));
        // A software mixer has no 3D hardware to virtualize on, which DirectSound reports as a
        // success of its own.
        if (desc->guid3DAlgorithm.Data1 || desc->guid3DAlgorithm.Data2 || desc->guid3DAlgorithm.Data3)
            result = DS_NO_VIRTUALIZATION;
    }
    if (!buffer)
        return E_OUTOFMEMORY;
    std::lock_guard lock(Mixer::Instance().Mutex());
    m_buffers.push_back(buffer);
    *ppDSBuffer = buffer;
    return result;
}

HRESULT SoundDevice::DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* ppDSBufferDuplicate)
{
    if (!ppDSBufferDuplicate)
        return E_INVALIDARG;
    *ppDSBufferDuplicate = nullptr;
    auto* source = dynamic_cast<SoundBuffer*>(original);
    if (!source || source->IsPrimary())
        return source ? DSERR_INVALIDCALL : E_INVALIDARG;
    std::lock_guard lock(Mixer::Instance().Mutex());
    SoundBuffer* copy = source->Duplicate(this);
    m_buffers.push_back(copy);
    *ppDSBufferDuplicate = copy;
    return DS_OK;
}

void SoundDevice::Forget(SoundBuffer* buffer)
{
    std::erase(m_buffers, buffer);
}

} // namespace yonda::sound

HRESULT DirectSoundCreate8(LPCGUID pcGuidDevice, LPDIRECTSOUND8* ppDS8, LPUNKNOWN pUnkOuter)
{
    if (!ppDS8)
        return E_INVALIDARG;
    *ppDS8 = nullptr;
    if (pUnkOuter)
        return DSERR_NOAGGREGATION;
    if (pcGuidDevice && (pcGuidDevice->Data1 || pcGuidDevice->Data2 || pcGuidDevice->Data3))
        return DSERR_NODRIVER;
    yonda::sound::Mixer::Instance().EnsureOutput();
    auto* device = new (std::nothrow) yonda::sound::SoundDevice();
    if (!device)
        return E_OUTOFMEMORY;
    *ppDS8 = device;
    return DS_OK;
}
