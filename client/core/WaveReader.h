#pragma once
// Reads the samples of a RIFF WAVE file, or of a program resource of type "WAVE" or "WAV", through
// the multimedia file functions. The format and the size come from the file's own chunks; the
// size is never more than the bytes the file really holds, so a header that claims more cannot
// make a sound buffer larger than its wave.
#include <windows.h>
#include <mmsystem.h>

#include <vector>

class CWaveReader {
public:
    CWaveReader();
    ~CWaveReader();
    CWaveReader(const CWaveReader&) = delete;
    CWaveReader& operator=(const CWaveReader&) = delete;

    // A file first, then a resource of that name (a text name or MAKEINTRESOURCE). E_FAIL when
    // neither exists or the wave's chunks are not what a wave needs.
    HRESULT Open(LPCSTR strFileName);
    // Back to the first byte of the samples.
    HRESULT ResetFile();
    // Copies up to dwSizeToRead bytes of samples, never past their end; *pdwSizeRead tells how
    // many (0 at the end).
    HRESULT Read(BYTE* pBuffer, DWORD dwSizeToRead, DWORD* pdwSizeRead);
    // The bytes of samples (0 until a wave is open).
    DWORD GetSize() const { return m_dwSize; }
    // The wave's format with its extra bytes, or null until a wave is open.
    WAVEFORMATEX* GetFormat();
    HRESULT Close();

private:
    HRESULT OpenResource(LPCSTR strName);
    HRESULT ReadFormat();

    HMMIO m_hmmio = nullptr;
    std::vector<BYTE> m_format;
    MMCKINFO m_ckRiff{};
    MMCKINFO m_ck{};
    DWORD m_dwSize = 0;
    DWORD m_dwLeft = 0;
    // A resource is read from a private copy that lives as long as the memory file over it.
    std::vector<char> m_resourceCopy;
};
