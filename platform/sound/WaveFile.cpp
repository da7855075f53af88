#include "WaveFile.h"

#include "mmiscapi.h"

#include <vector>

namespace yonda::sound {

namespace {

WORD Word(const unsigned char* bytes)
{
    return static_cast<WORD>(bytes[0] | (bytes[1] << 8));
}

DWORD Dword(const unsigned char* bytes)
{
    return static_cast<DWORD>(bytes[0]) | (static_cast<DWORD>(bytes[1]) << 8) | (static_cast<DWORD>(bytes[2]) << 16) |
           (static_cast<DWORD>(bytes[3]) << 24);
}

struct HmmioCloser {
    void operator()(HMMIO file) const { mmioClose(file, 0); }
};
using HmmioOwner = std::unique_ptr<std::remove_pointer_t<HMMIO>, HmmioCloser>;

} // namespace

std::shared_ptr<SampleBlock> ReadWave(HMMIO file)
{
    MMCKINFO riff{};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mmioSeek(file, 0, SEEK_SET) != 0 || mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF) != MMSYSERR_NOERROR)
        return nullptr;

    MMCKINFO chunk{};
    chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR || chunk.cksize < 16)
        return nullptr;
    unsigned char head[16];
    if (mmioRead(file, reinterpret_cast<HPSTR>(head), sizeof head) != static_cast<LONG>(sizeof head))
        return nullptr;
    WAVEFORMATEX wfx{};
    wfx.wFormatTag = Word(head);
    wfx.nChannels = Word(head + 2);
    wfx.nSamplesPerSec = Dword(head + 4);
    wfx.nAvgBytesPerSec = Dword(head + 8);
    wfx.nBlockAlign = Word(head + 12);
    wfx.wBitsPerSample = Word(head + 14);
    auto block = std::make_shared<SampleBlock>();
    if (FAILED(ReadPcmFormat(&wfx, &block->format)))
        return nullptr;

    // The data chunk may come before or after other chunks; search the whole form again.
    if (mmioSeek(file, static_cast<LONG>(riff.dwDataOffset + 4), SEEK_SET) < 0)
        return nullptr;
    chunk = MMCKINFO{};
    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR)
        return nullptr;
    const DWORD frames = chunk.cksize / block->format.BlockAlign();
    if (frames == 0)
        return nullptr;
    block->bytes.resize(static_cast<size_t>(frames) * block->format.BlockAlign());
    const auto wanted = static_cast<LONG>(block->bytes.size());
    if (mmioRead(file, reinterpret_cast<HPSTR>(block->bytes.data()), wanted) != wanted)
        return nullptr;
    return block;
}

std::shared_ptr<SampleBlock> ReadWaveMemory(const void* bytes, size_t size)
{
    if (!bytes || size == 0 || size > 0x7FFFFFFF)
        return nullptr;
    // The memory file only reads, but its interface takes a writable block.
    std::vector<char> copy(static_cast<const char*>(bytes), static_cast<const char*>(bytes) + size);
    MMIOINFO info{};
    info.fccIOProc = FOURCC_MEM;
    info.pchBuffer = copy.data();
    info.cchBuffer = static_cast<LONG>(copy.size());
    HmmioOwner file(mmioOpenA(nullptr, &info, MMIO_READ));
    return file ? ReadWave(file.get()) : nullptr;
}

std::shared_ptr<SampleBlock> ReadWaveFile(LPCSTR windowsPath)
{
    std::vector<char> name(windowsPath, windowsPath + std::char_traits<char>::length(windowsPath) + 1);
    HmmioOwner file(mmioOpenA(name.data(), nullptr, MMIO_READ | MMIO_ALLOCBUF));
    return file ? ReadWave(file.get()) : nullptr;
}

} // namespace yonda::sound
