// Buffered reading of RIFF files on disk or in a caller's memory block. Every chunk header is
// read field by field and checked against the end of its parent, so a truncated file or a
// size past the end fails the descent instead of handing out bytes that are not there.
#include "mmiscapi.h"

#include "yonda_platform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_set>
#include <vector>

namespace {

constexpr DWORD kUnsupportedOpenFlags = MMIO_WRITE | MMIO_READWRITE | 0x00001000 /* create */ | 0x00000100 /* parse */ |
                                        0x00000200 /* delete */ | 0x00004000 /* exist */ | 0x00020000 /* gettemp */;

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

class MmioFile {
public:
    // A block in memory: the whole block is the I/O buffer.
    MmioFile(char* memory, LONG size)
    {
        m_size = size;
        m_info.fccIOProc = FOURCC_MEM;
        m_info.cchBuffer = size;
        m_info.pchBuffer = memory;
        m_info.pchNext = memory;
        m_info.pchEndRead = memory + size;
        m_info.pchEndWrite = memory + size;
    }

    MmioFile(std::unique_ptr<FILE, FileCloser> file, LONG size, LONG bufferSize)
        : m_file(std::move(file)), m_buffer(static_cast<size_t>(bufferSize))
    {
        m_size = size;
        m_info.fccIOProc = FOURCC_DOS;
        m_info.dwFlags = MMIO_ALLOCBUF;
        m_info.cchBuffer = bufferSize;
        m_info.pchBuffer = m_buffer.data();
        m_info.pchNext = m_buffer.data();
        m_info.pchEndRead = m_buffer.data();
        m_info.pchEndWrite = m_buffer.data() + bufferSize;
    }

    bool IsMemory() const { return !m_file; }
    LONG Size() const { return m_size; }
    LONG Tell() const { return m_info.lBufOffset + static_cast<LONG>(m_info.pchNext - m_info.pchBuffer); }
    LONG Buffered() const { return static_cast<LONG>(m_info.pchEndRead - m_info.pchBuffer); }

    MMIOINFO& Info() { return m_info; }

    // Fills the buffer from the current position; false on a read error.
    bool Refill()
    {
        if (IsMemory())
            return true;
        LONG position = Tell();
        m_info.lBufOffset = position;
        m_info.pchNext = m_info.pchBuffer;
        m_info.pchEndRead = m_info.pchBuffer;
        if (std::fseek(m_file.get(), position, SEEK_SET) != 0)
            return false;
        size_t got = std::fread(m_info.pchBuffer, 1, static_cast<size_t>(m_info.cchBuffer), m_file.get());
        if (got == 0 && std::ferror(m_file.get()))
            return false;
        m_info.pchEndRead = m_info.pchBuffer + got;
        m_info.lDiskOffset = position + static_cast<LONG>(got);
        return true;
    }

    LONG Read(char* destination, LONG count)
    {
        LONG total = 0;
        while (total < count) {
            LONG available = static_cast<LONG>(m_info.pchEndRead - m_info.pchNext);
            if (available == 0) {
                if (IsMemory() || !Refill())
                    break;
                available = static_cast<LONG>(m_info.pchEndRead - m_info.pchNext);
                if (available == 0)
                    break;
            }
            LONG take = std::min(available, count - total);
            std::memcpy(destination + total, m_info.pchNext, static_cast<size_t>(take));
            m_info.pchNext += take;
            total += take;
        }
        return total;
    }

    // Positions past the end are refused: nothing can be read there.
    LONG Seek(int64_t position)
    {
        if (position < 0 || position > m_size)
            return -1;
        auto target = static_cast<LONG>(position);
        if (target >= m_info.lBufOffset && target <= m_info.lBufOffset + Buffered()) {
            m_info.pchNext = m_info.pchBuffer + (target - m_info.lBufOffset);
        } else {
            m_info.lBufOffset = target;
            m_info.pchNext = m_info.pchBuffer;
            m_info.pchEndRead = m_info.pchBuffer;
        }
        return target;
    }

    bool ReadDword(DWORD* value)
    {
        unsigned char bytes[4];
        if (Read(reinterpret_cast<char*>(bytes), 4) != 4)
            return false;
        *value = static_cast<DWORD>(bytes[0]) | (static_cast<DWORD>(bytes[1]) << 8) |
                 (static_cast<DWORD>(bytes[2]) << 16) | (static_cast<DWORD>(bytes[3]) << 24);
        return true;
    }

private:
    std::unique_ptr<FILE, FileCloser> m_file;
    std::vector<char> m_buffer;
    LONG m_size = 0;
    MMIOINFO m_info{};
};

// Live handles, so a stale or made-up HMMIO is refused rather than followed.
std::mutex g_handlesMutex;
std::unordered_set<MmioFile*> g_handles;

MmioFile* FromHandle(HMMIO hmmio)
{
    auto* file = reinterpret_cast<MmioFile*>(hmmio);
    std::lock_guard lock(g_handlesMutex);
    return g_handles.count(file) ? file : nullptr;
}

HMMIO Register(std::unique_ptr<MmioFile> file)
{
    std::lock_guard lock(g_handlesMutex);
    MmioFile* raw = file.release();
    g_handles.insert(raw);
    raw->Info().hmmio = reinterpret_cast<HMMIO>(raw);
    return raw->Info().hmmio;
}

// The file behind a handle, for calls that also need a structure from the caller.
MMRESULT Open(HMMIO hmmio, const void* parameter, MmioFile** file)
{
    *file = FromHandle(hmmio);
    if (!*file)
        return MMSYSERR_INVALHANDLE;
    return parameter ? MMSYSERR_NOERROR : MMSYSERR_INVALPARAM;
}

// Takes the caller's read position in the buffer back, when it lies inside the buffer.
bool TakeNext(MMIOINFO& info, const MMIOINFO& given)
{
    if (given.pchNext < info.pchBuffer || given.pchNext > info.pchEndRead)
        return false;
    info.pchNext = given.pchNext;
    return true;
}

HMMIO Fail(LPMMIOINFO pmmioinfo, UINT error)
{
    if (pmmioinfo)
        pmmioinfo->wErrorRet = error;
    return nullptr;
}

int64_t PaddedEnd(int64_t dataOffset, DWORD size)
{
    return dataOffset + size + (size & 1);
}

} // namespace

HMMIO mmioOpenA(LPSTR pszFileName, LPMMIOINFO pmmioinfo, DWORD fdwOpen)
{
    if (fdwOpen & kUnsupportedOpenFlags)
        return Fail(pmmioinfo, MMIOERR_ACCESSDENIED);
    if (pmmioinfo && pmmioinfo->fccIOProc == FOURCC_MEM) {
        if (!pmmioinfo->pchBuffer || pmmioinfo->cchBuffer < 0)
            return Fail(pmmioinfo, MMIOERR_CANNOTOPEN);
        auto file = std::make_unique<MmioFile>(pmmioinfo->pchBuffer, pmmioinfo->cchBuffer);
        pmmioinfo->wErrorRet = MMSYSERR_NOERROR;
        return Register(std::move(file));
    }
    if (pmmioinfo && (pmmioinfo->fccIOProc || pmmioinfo->pIOProc))
        return Fail(pmmioinfo, MMIOERR_CANNOTOPEN);
    if (!pszFileName || !*pszFileName)
        return Fail(pmmioinfo, MMIOERR_FILENOTFOUND);
    std::unique_ptr<FILE, FileCloser> handle(YondaOpenFile(pszFileName, "rb"));
    if (!handle)
        return Fail(pmmioinfo, MMIOERR_FILENOTFOUND);
    if (std::fseek(handle.get(), 0, SEEK_END) != 0)
        return Fail(pmmioinfo, MMIOERR_CANNOTSEEK);
    long size = std::ftell(handle.get());
    // RIFF sizes are 32-bit; a larger file is no RIFF file this reader can address.
    if (size < 0 || size > 0x7FFFFFFF)
        return Fail(pmmioinfo, MMIOERR_CANNOTREAD);
    LONG bufferSize = pmmioinfo && pmmioinfo->cchBuffer > 0 ? pmmioinfo->cchBuffer : MMIO_DEFAULTBUFFER;
    auto file = std::make_unique<MmioFile>(std::move(handle), static_cast<LONG>(size), bufferSize);
    if (pmmioinfo)
        pmmioinfo->wErrorRet = MMSYSERR_NOERROR;
    return Register(std::move(file));
}

MMRESULT mmioClose(HMMIO hmmio, UINT)
{
    MmioFile* file = FromHandle(hmmio);
    if (!file)
        return MMSYSERR_INVALHANDLE;
    {
        std::lock_guard lock(g_handlesMutex);
        g_handles.erase(file);
    }
    delete file;
    return MMSYSERR_NOERROR;
}

LONG mmioRead(HMMIO hmmio, HPSTR pch, LONG cch)
{
    MmioFile* file = FromHandle(hmmio);
    if (!file || cch < 0 || (!pch && cch > 0))
        return -1;
    return file->Read(pch, cch);
}

LONG mmioSeek(HMMIO hmmio, LONG lOffset, int iOrigin)
{
    MmioFile* file = FromHandle(hmmio);
    if (!file)
        return -1;
    int64_t base = 0;
    switch (iOrigin) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = file->Tell(); break;
    case SEEK_END: base = file->Size(); break;
    default: return -1;
    }
    return file->Seek(base + lOffset);
}

MMRESULT mmioDescend(HMMIO hmmio, LPMMCKINFO pmmcki, LPCMMCKINFO pmmckiParent, UINT fuDescend)
{
    MmioFile* file = nullptr;
    if (MMRESULT result = Open(hmmio, pmmcki, &file))
        return result;
    const UINT search = fuDescend & (MMIO_FINDCHUNK | MMIO_FINDRIFF | MMIO_FINDLIST);
    const FOURCC wantedId = pmmcki->ckid;
    const FOURCC wantedType = pmmcki->fccType;
    const int64_t limit =
        pmmckiParent ? std::min<int64_t>(int64_t{pmmckiParent->dwDataOffset} + pmmckiParent->cksize, file->Size())
                     : file->Size();
    for (;;) {
        const int64_t start = file->Tell();
        if (start + 8 > limit)
            return MMIOERR_CHUNKNOTFOUND;
        MMCKINFO chunk{};
        if (!file->ReadDword(&chunk.ckid) || !file->ReadDword(&chunk.cksize))
            return MMIOERR_CHUNKNOTFOUND;
        const int64_t dataOffset = start + 8;
        if (dataOffset + chunk.cksize > limit)
            return MMIOERR_INVALIDFILE;
        chunk.dwDataOffset = static_cast<DWORD>(dataOffset);
        const bool container = chunk.ckid == FOURCC_RIFF || chunk.ckid == FOURCC_LIST;
        if (container) {
            if (chunk.cksize < 4 || !file->ReadDword(&chunk.fccType))
                return MMIOERR_INVALIDFILE;
        }
        bool match = false;
        switch (search) {
        case MMIO_FINDCHUNK: match = chunk.ckid == wantedId; break;
        case MMIO_FINDRIFF: match = chunk.ckid == FOURCC_RIFF && chunk.fccType == wantedType; break;
        case MMIO_FINDLIST: match = chunk.ckid == FOURCC_LIST && chunk.fccType == wantedType; break;
        default: match = true; break;
        }
        if (match) {
            *pmmcki = chunk;
            return MMSYSERR_NOERROR;
        }
        const int64_t next = PaddedEnd(dataOffset, chunk.cksize);
        if (next >= limit || file->Seek(next) < 0)
            return MMIOERR_CHUNKNOTFOUND;
    }
}

MMRESULT mmioAscend(HMMIO hmmio, LPMMCKINFO pmmcki, UINT)
{
    MmioFile* file = nullptr;
    if (MMRESULT result = Open(hmmio, pmmcki, &file))
        return result;
    // The pad byte of a chunk that ends the file may be missing; its end is then the file's.
    int64_t end = std::min<int64_t>(PaddedEnd(pmmcki->dwDataOffset, pmmcki->cksize), file->Size());
    return file->Seek(end) < 0 ? MMIOERR_CANNOTSEEK : MMSYSERR_NOERROR;
}

MMRESULT mmioGetInfo(HMMIO hmmio, LPMMIOINFO pmmioinfo, UINT)
{
    MmioFile* file = nullptr;
    if (MMRESULT result = Open(hmmio, pmmioinfo, &file))
        return result;
    *pmmioinfo = file->Info();
    return MMSYSERR_NOERROR;
}

MMRESULT mmioSetInfo(HMMIO hmmio, LPCMMIOINFO pmmioinfo, UINT)
{
    MmioFile* file = nullptr;
    if (MMRESULT result = Open(hmmio, pmmioinfo, &file))
        return result;
    return TakeNext(file->Info(), *pmmioinfo) ? MMSYSERR_NOERROR : MMSYSERR_INVALPARAM;
}

MMRESULT mmioAdvance(HMMIO hmmio, LPMMIOINFO pmmioinfo, UINT fuAdvance)
{
    MmioFile* file = FromHandle(hmmio);
    if (!file)
        return MMSYSERR_INVALHANDLE;
    if (fuAdvance != MMIO_READ)
        return MMIOERR_CANNOTWRITE;
    MMIOINFO& info = file->Info();
    if (pmmioinfo && !TakeNext(info, *pmmioinfo))
        return MMSYSERR_INVALPARAM;
    bool ok = file->Refill();
    if (pmmioinfo)
        *pmmioinfo = info;
    return ok ? MMSYSERR_NOERROR : MMIOERR_CANNOTREAD;
}
