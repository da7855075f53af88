#include "WaveReader.h"

#include <dsound.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr FOURCC kFormWave = mmioFOURCC('W', 'A', 'V', 'E');
constexpr FOURCC kFormatChunk = mmioFOURCC('f', 'm', 't', ' ');
constexpr FOURCC kDataChunk = mmioFOURCC('d', 'a', 't', 'a');

} // namespace

CWaveReader::CWaveReader() = default;

CWaveReader::~CWaveReader()
{
    Close();
}

HRESULT CWaveReader::Open(LPCSTR strFileName)
{
    Close();
    if (!strFileName) {
        return E_INVALIDARG;
    }
    if (!IS_INTRESOURCE(strFileName) && *strFileName) {
        m_hmmio = mmioOpen(const_cast<LPSTR>(strFileName), nullptr, MMIO_ALLOCBUF | MMIO_READ);
    }
    if (!m_hmmio && FAILED(OpenResource(strFileName))) {
        return E_FAIL;
    }
    HRESULT hr = ReadFormat();
    if (FAILED(hr)) {
        Close();
    }
    return hr;
}

HRESULT CWaveReader::OpenResource(LPCSTR strName)
{
    HRSRC hResInfo = ::FindResourceA(nullptr, strName, "WAVE");
    if (!hResInfo) {
        hResInfo = ::FindResourceA(nullptr, strName, "WAV");
    }
    if (!hResInfo) {
        return E_FAIL;
    }
    HGLOBAL hResData = ::LoadResource(nullptr, hResInfo);
    const DWORD dwSize = ::SizeofResource(nullptr, hResInfo);
    const auto* pData = static_cast<const char*>(::LockResource(hResData));
    if (!pData || dwSize == 0 || dwSize > 0x7FFFFFFF) {
        return E_FAIL;
    }
    m_resourceCopy.assign(pData, pData + dwSize);
    MMIOINFO mmioInfo{};
    mmioInfo.fccIOProc = FOURCC_MEM;
    mmioInfo.cchBuffer = static_cast<LONG>(dwSize);
    mmioInfo.pchBuffer = m_resourceCopy.data();
    m_hmmio = mmioOpen(nullptr, &mmioInfo, MMIO_ALLOCBUF | MMIO_READ);
    if (!m_hmmio) {
        m_resourceCopy.clear();
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CWaveReader::ReadFormat()
{
    if (mmioDescend(m_hmmio, &m_ckRiff, nullptr, 0) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }
    if (m_ckRiff.ckid != FOURCC_RIFF || m_ckRiff.fccType != kFormWave) {
        return E_FAIL;
    }
    MMCKINFO ckIn{};
    ckIn.ckid = kFormatChunk;
    if (mmioDescend(m_hmmio, &ckIn, &m_ckRiff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }
    PCMWAVEFORMAT pcmWaveFormat{};
    if (ckIn.cksize < sizeof(pcmWaveFormat) ||
        mmioRead(m_hmmio, reinterpret_cast<HPSTR>(&pcmWaveFormat), sizeof(pcmWaveFormat)) != sizeof(pcmWaveFormat)) {
        return E_FAIL;
    }
    // A format other than PCM may carry extra bytes after cbSize. A chunk that ends at the 16
    // bytes has none; extra bytes that reach past the chunk make it no format at all.
    WORD cbExtraBytes = 0;
    if (pcmWaveFormat.wf.wFormatTag != WAVE_FORMAT_PCM && ckIn.cksize >= sizeof(WAVEFORMATEX)) {
        if (mmioRead(m_hmmio, reinterpret_cast<HPSTR>(&cbExtraBytes), sizeof(WORD)) != sizeof(WORD) ||
            sizeof(WAVEFORMATEX) + DWORD{cbExtraBytes} > ckIn.cksize) {
            return E_FAIL;
        }
    }
    m_format.assign(sizeof(WAVEFORMATEX) + cbExtraBytes, 0);
    std::memcpy(m_format.data(), &pcmWaveFormat, sizeof(pcmWaveFormat));
    GetFormat()->cbSize = cbExtraBytes;
    if (cbExtraBytes && mmioRead(m_hmmio, reinterpret_cast<HPSTR>(m_format.data() + sizeof(WAVEFORMATEX)),
                                 cbExtraBytes) != cbExtraBytes) {
        return E_FAIL;
    }
    if (mmioAscend(m_hmmio, &ckIn, 0) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }
    return ResetFile();
}

WAVEFORMATEX* CWaveReader::GetFormat()
{
    return m_format.empty() ? nullptr : reinterpret_cast<WAVEFORMATEX*>(m_format.data());
}

HRESULT CWaveReader::ResetFile()
{
    if (!m_hmmio) {
        return CO_E_NOTINITIALIZED;
    }
    if (mmioSeek(m_hmmio, static_cast<LONG>(m_ckRiff.dwDataOffset + sizeof(FOURCC)), SEEK_SET) == -1) {
        return E_FAIL;
    }
    m_ck.ckid = kDataChunk;
    if (mmioDescend(m_hmmio, &m_ck, &m_ckRiff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }
    // A cut-off file keeps its header's size; only the bytes really there count.
    const LONG lEnd = mmioSeek(m_hmmio, 0, SEEK_END);
    if (lEnd == -1 || mmioSeek(m_hmmio, static_cast<LONG>(m_ck.dwDataOffset), SEEK_SET) == -1) {
        return E_FAIL;
    }
    const DWORD dwPresent =
        static_cast<DWORD>(lEnd) > m_ck.dwDataOffset ? static_cast<DWORD>(lEnd) - m_ck.dwDataOffset : 0;
    m_dwSize = std::min(m_ck.cksize, dwPresent);
    m_dwLeft = m_dwSize;
    return S_OK;
}

HRESULT CWaveReader::Read(BYTE* pBuffer, DWORD dwSizeToRead, DWORD* pdwSizeRead)
{
    if (pdwSizeRead) {
        *pdwSizeRead = 0;
    }
    if (!m_hmmio) {
        return CO_E_NOTINITIALIZED;
    }
    if (!pBuffer || !pdwSizeRead) {
        return E_INVALIDARG;
    }
    MMIOINFO mmioInfo{};
    if (mmioGetInfo(m_hmmio, &mmioInfo, 0) != MMSYSERR_NOERROR) {
        return E_FAIL;
    }
    const DWORD dwWanted = std::min(dwSizeToRead, m_dwLeft);
    DWORD dwDone = 0;
    HRESULT hr = S_OK;
    while (dwDone < dwWanted) {
        if (mmioInfo.pchNext == mmioInfo.pchEndRead) {
            if (mmioAdvance(m_hmmio, &mmioInfo, MMIO_READ) != MMSYSERR_NOERROR) {
                hr = E_FAIL;
                break;
            }
            if (mmioInfo.pchNext == mmioInfo.pchEndRead) {
                m_dwLeft = dwDone; // the file ends before its samples do
                break;
            }
        }
        const DWORD dwTake = std::min(dwWanted - dwDone, static_cast<DWORD>(mmioInfo.pchEndRead - mmioInfo.pchNext));
        std::memcpy(pBuffer + dwDone, mmioInfo.pchNext, dwTake);
        mmioInfo.pchNext += dwTake;
        dwDone += dwTake;
    }
    if (mmioSetInfo(m_hmmio, &mmioInfo, 0) != MMSYSERR_NOERROR) {
        hr = E_FAIL;
    }
    m_dwLeft -= dwDone;
    *pdwSizeRead = dwDone;
    return hr;
}

HRESULT CWaveReader::Close()
{
    if (m_hmmio) {
        mmioClose(m_hmmio, 0);
        m_hmmio = nullptr;
    }
    m_resourceCopy.clear();
    m_format.clear();
    m_ckRiff = {};
    m_ck = {};
    m_dwSize = 0;
    m_dwLeft = 0;
    return S_OK;
}
