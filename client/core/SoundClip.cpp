#include "SoundClip.h"

#include <cstdlib>
#include <cstring>

CSoundClip::CSoundClip(LPDIRECTSOUNDBUFFER* apBuffers, DWORD dwBufferSize, DWORD dwNumBuffers,
                       std::unique_ptr<CWaveReader> pWaveReader)
    : m_apDSBuffer(apBuffers, apBuffers + dwNumBuffers), m_dwDSBufferSize(dwBufferSize),
      m_pWaveReader(std::move(pWaveReader))
{}

CSoundClip::~CSoundClip()
{
    for (LPDIRECTSOUNDBUFFER pBuffer : m_apDSBuffer) {
        if (pBuffer) {
            pBuffer->Release();
        }
    }
}

HRESULT CSoundClip::Play(DWORD dwPriority, DWORD dwFlags)
{
    LPDIRECTSOUNDBUFFER pDSB = GetFreeBuffer();
    if (!pDSB) {
        return E_FAIL;
    }
    BOOL bRestored = FALSE;
    HRESULT hr = RestoreBuffer(pDSB, &bRestored);
    if (FAILED(hr)) {
        return hr;
    }
    if (bRestored) {
        // What the buffer held went with the device.
        hr = FillBuffer(pDSB, FALSE);
        if (FAILED(hr)) {
            return hr;
        }
        Reset();
    }
    return pDSB->Play(0, dwPriority, dwFlags);
}

HRESULT CSoundClip::Stop()
{
    HRESULT hr = S_OK;
    for (LPDIRECTSOUNDBUFFER pBuffer : m_apDSBuffer) {
        hr |= pBuffer->Stop();
    }
    return hr;
}

HRESULT CSoundClip::Reset()
{
    HRESULT hr = S_OK;
    for (LPDIRECTSOUNDBUFFER pBuffer : m_apDSBuffer) {
        hr |= pBuffer->SetCurrentPosition(0);
    }
    return hr;
}

BOOL CSoundClip::IsPlaying()
{
    for (LPDIRECTSOUNDBUFFER pBuffer : m_apDSBuffer) {
        DWORD dwStatus = 0;
        if (SUCCEEDED(pBuffer->GetStatus(&dwStatus)) && (dwStatus & DSBSTATUS_PLAYING)) {
            return TRUE;
        }
    }
    return FALSE;
}

HRESULT CSoundClip::FillBuffer(LPDIRECTSOUNDBUFFER pBuffer, BOOL bRepeatWavIfBufferLarger)
{
    if (!pBuffer) {
        return E_INVALIDARG;
    }
    if (!m_pWaveReader) {
        return CO_E_NOTINITIALIZED;
    }
    BOOL bRestored = FALSE;
    HRESULT hr = RestoreBuffer(pBuffer, &bRestored);
    if (FAILED(hr)) {
        return hr;
    }
    void* pLocked = nullptr;
    DWORD dwLocked = 0;
    hr = pBuffer->Lock(0, m_dwDSBufferSize, &pLocked, &dwLocked, nullptr, nullptr, 0);
    if (FAILED(hr)) {
        return hr;
    }
    hr = ReadInto(static_cast<BYTE*>(pLocked), dwLocked, bRepeatWavIfBufferLarger);
    pBuffer->Unlock(pLocked, dwLocked, nullptr, 0);
    return hr;
}

HRESULT CSoundClip::ReadInto(BYTE* pBytes, DWORD dwSize, BOOL bRepeat)
{
    DWORD dwDone = 0;
    HRESULT hr = m_pWaveReader->ResetFile();
    while (SUCCEEDED(hr) && dwDone < dwSize) {
        DWORD dwRead = 0;
        hr = m_pWaveReader->Read(pBytes + dwDone, dwSize - dwDone, &dwRead);
        dwDone += dwRead;
        // A wave that yields nothing is not read again: the buffer would never fill.
        if (FAILED(hr) || dwDone == dwSize || !bRepeat || dwRead == 0) {
            break;
        }
        hr = m_pWaveReader->ResetFile();
    }
    const WAVEFORMATEX* pwfx = m_pWaveReader->GetFormat();
    const int silence = pwfx && pwfx->wBitsPerSample == 8 ? 128 : 0;
    std::memset(pBytes + dwDone, silence, dwSize - dwDone);
    return hr;
}

HRESULT CSoundClip::RestoreBuffer(LPDIRECTSOUNDBUFFER pBuffer, BOOL* pbWasRestored)
{
    if (pbWasRestored) {
        *pbWasRestored = FALSE;
    }
    if (!pBuffer) {
        return CO_E_NOTINITIALIZED;
    }
    DWORD dwStatus = 0;
    HRESULT hr = pBuffer->GetStatus(&dwStatus);
    if (FAILED(hr)) {
        return hr;
    }
    if (!(dwStatus & DSBSTATUS_BUFFERLOST)) {
        return S_OK;
    }
    // The application may not have the device back yet; ask again a while, then give up.
    for (int nTry = 0; nTry < kRestoreTries; ++nTry) {
        hr = pBuffer->Restore();
        if (SUCCEEDED(hr)) {
            if (pbWasRestored) {
                *pbWasRestored = TRUE;
            }
            return S_OK;
        }
        if (hr != DSERR_BUFFERLOST) {
            return hr;
        }
        ::Sleep(kRestoreWaitMs);
    }
    return DSERR_BUFFERLOST;
}

LPDIRECTSOUNDBUFFER CSoundClip::GetFreeBuffer()
{
    if (m_apDSBuffer.empty()) {
        return nullptr;
    }
    for (LPDIRECTSOUNDBUFFER pBuffer : m_apDSBuffer) {
        DWORD dwStatus = 0;
        if (SUCCEEDED(pBuffer->GetStatus(&dwStatus)) && !(dwStatus & DSBSTATUS_PLAYING)) {
            return pBuffer;
        }
    }
    return m_apDSBuffer[static_cast<size_t>(std::rand()) % m_apDSBuffer.size()];
}

LPDIRECTSOUNDBUFFER CSoundClip::GetBuffer(DWORD dwIndex)
{
    return dwIndex < m_apDSBuffer.size() ? m_apDSBuffer[dwIndex] : nullptr;
}
