#include "SoundDevice.h"

#include "SoundClip.h"
#include "WaveReader.h"

#include <memory>
#include <new>
#include <vector>

namespace {

// Buffers made for a clip that is not finished yet; released unless the clip takes them.
class CPendingBuffers {
public:
    explicit CPendingBuffers(DWORD dwCount) : m_apBuffer(dwCount, nullptr) {}
    ~CPendingBuffers()
    {
        for (LPDIRECTSOUNDBUFFER pBuffer : m_apBuffer) {
            if (pBuffer) {
                pBuffer->Release();
            }
        }
    }
    CPendingBuffers(const CPendingBuffers&) = delete;
    CPendingBuffers& operator=(const CPendingBuffers&) = delete;

    LPDIRECTSOUNDBUFFER& operator[](DWORD dwIndex) { return m_apBuffer[dwIndex]; }
    LPDIRECTSOUNDBUFFER* Data() { return m_apBuffer.data(); }
    void HandOver() { m_apBuffer.assign(m_apBuffer.size(), nullptr); }

private:
    std::vector<LPDIRECTSOUNDBUFFER> m_apBuffer;
};

} // namespace

CSoundDevice::CSoundDevice() = default;

CSoundDevice::~CSoundDevice()
{
    ReleaseDevice();
}

void CSoundDevice::ReleaseDevice()
{
    if (m_pDS) {
        m_pDS->Release();
        m_pDS = nullptr;
    }
}

HRESULT CSoundDevice::Initialize(HWND hWnd, DWORD dwCoopLevel, DWORD dwPrimaryChannels, DWORD dwPrimaryFreq,
                                 DWORD dwPrimaryBitRate)
{
    ReleaseDevice();
    HRESULT hr = DirectSoundCreate8(nullptr, &m_pDS, nullptr);
    if (SUCCEEDED(hr)) {
        hr = m_pDS->SetCooperativeLevel(hWnd, dwCoopLevel);
    }
    if (SUCCEEDED(hr)) {
        hr = SetPrimaryBufferFormat(dwPrimaryChannels, dwPrimaryFreq, dwPrimaryBitRate);
    }
    // A device that is only half set up is no device: later calls find none and fail quietly.
    if (FAILED(hr)) {
        ReleaseDevice();
    }
    return hr;
}

HRESULT CSoundDevice::SetPrimaryBufferFormat(DWORD dwPrimaryChannels, DWORD dwPrimaryFreq, DWORD dwPrimaryBitRate)
{
    DSBUFFERDESC dsbd{};
    dsbd.dwSize = sizeof(DSBUFFERDESC);
    dsbd.dwFlags = DSBCAPS_PRIMARYBUFFER;
    LPDIRECTSOUNDBUFFER pDSBPrimary = nullptr;
    HRESULT hr = m_pDS->CreateSoundBuffer(&dsbd, &pDSBPrimary, nullptr);
    if (FAILED(hr)) {
        return hr;
    }
    WAVEFORMATEX wfx{};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = static_cast<WORD>(dwPrimaryChannels);
    wfx.nSamplesPerSec = dwPrimaryFreq;
    wfx.wBitsPerSample = static_cast<WORD>(dwPrimaryBitRate);
    wfx.nBlockAlign = static_cast<WORD>(wfx.wBitsPerSample / 8 * wfx.nChannels);
    wfx.nAvgBytesPerSec = wfx.nSamplesPerSec * wfx.nBlockAlign;
    hr = pDSBPrimary->SetFormat(&wfx);
    pDSBPrimary->Release();
    return hr;
}

HRESULT CSoundDevice::Create(CSoundClip** ppSound, LPCSTR strWaveFileName, DWORD dwCreationFlags, GUID guid3DAlgorithm,
                             DWORD dwNumBuffers)
{
    if (!m_pDS) {
        return CO_E_NOTINITIALIZED;
    }
    if (!strWaveFileName || !ppSound || dwNumBuffers < 1) {
        return E_INVALIDARG;
    }
    *ppSound = nullptr;
    try {
        return CreateClip(ppSound, strWaveFileName, dwCreationFlags, guid3DAlgorithm, dwNumBuffers);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CSoundDevice::CreateClip(CSoundClip** ppSound, LPCSTR strWaveFileName, DWORD dwCreationFlags,
                                 GUID guid3DAlgorithm, DWORD dwNumBuffers)
{
    auto pWaveReader = std::make_unique<CWaveReader>();
    HRESULT hr = pWaveReader->Open(strWaveFileName);
    if (FAILED(hr)) {
        return hr;
    }
    const DWORD dwDSBufferSize = pWaveReader->GetSize();
    if (dwDSBufferSize == 0) {
        return E_FAIL;
    }

    CPendingBuffers apDSBuffer(dwNumBuffers);
    DSBUFFERDESC dsbd{};
    dsbd.dwSize = sizeof(DSBUFFERDESC);
    dsbd.dwFlags = dwCreationFlags;
    dsbd.dwBufferBytes = dwDSBufferSize;
    dsbd.guid3DAlgorithm = guid3DAlgorithm;
    dsbd.lpwfxFormat = pWaveReader->GetFormat();
    hr = m_pDS->CreateSoundBuffer(&dsbd, &apDSBuffer[0], nullptr);
    if (FAILED(hr)) {
        return hr;
    }
    // The one success code worth passing on: the buffer plays, without 3D virtualisation.
    const HRESULT hrResult = hr == DS_NO_VIRTUALIZATION ? DS_NO_VIRTUALIZATION : DS_OK;
    for (DWORD i = 1; i < dwNumBuffers; ++i) {
        hr = m_pDS->DuplicateSoundBuffer(apDSBuffer[0], &apDSBuffer[i]);
        if (FAILED(hr)) {
            return hr;
        }
    }

    auto pClip = std::make_unique<CSoundClip>(apDSBuffer.Data(), dwDSBufferSize, dwNumBuffers, std::move(pWaveReader));
    apDSBuffer.HandOver();
    hr = pClip->FillBuffer(pClip->GetBuffer(0), FALSE);
    if (FAILED(hr)) {
        return hr;
    }
    pClip->Reset();
    *ppSound = pClip.release();
    return hrResult;
}
