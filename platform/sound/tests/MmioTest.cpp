// The RIFF reader walked as the wave reader of the music player walks it, on files and memory.
#include "mmiscapi.h"

#include "TempFolder.h"
#include "WaveBytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

using namespace yonda::sound::test;

namespace {

// A wave with an odd-sized chunk before "fmt " and a list chunk between "fmt " and "data", so
// the reader has to skip padded chunks to find both.
Bytes DecoratedWave(const Bytes& samples)
{
    Bytes chunks = Chunk("junk", Bytes{1, 2, 3});
    Bytes fmt = FormatChunk(1, 2, 22050, 16);
    Bytes list = Riff("INFO", Chunk("INAM", Bytes{'x', 0}));
    list[0] = 'L', list[1] = 'I', list[2] = 'S', list[3] = 'T';
    Bytes data = Chunk("data", samples);
    for (const Bytes* part : {&fmt, &list, &data})
        chunks.insert(chunks.end(), part->begin(), part->end());
    return Riff("WAVE", chunks);
}

Bytes Counting(size_t size)
{
    Bytes bytes(size);
    std::iota(bytes.begin(), bytes.end(), uint8_t{0});
    return bytes;
}

struct MemoryFile {
    explicit MemoryFile(Bytes content) : bytes(std::move(content))
    {
        MMIOINFO info{};
        info.fccIOProc = FOURCC_MEM;
        info.pchBuffer = reinterpret_cast<HPSTR>(bytes.data());
        info.cchBuffer = static_cast<LONG>(bytes.size());
        handle = mmioOpenA(nullptr, &info, MMIO_READ | MMIO_ALLOCBUF);
    }
    ~MemoryFile()
    {
        if (handle)
            mmioClose(handle, 0);
    }
    Bytes bytes;
    HMMIO handle = nullptr;
};

// Descends as the music player does: RIFF/WAVE, "fmt ", back up, "data". Answers the data.
Bytes ReadLikeThePlayer(HMMIO file, WAVEFORMATEX* format)
{
    MMCKINFO riff{};
    EXPECT_EQ(mmioDescend(file, &riff, nullptr, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(riff.ckid, FOURCC_RIFF);
    EXPECT_EQ(riff.fccType, mmioFOURCC('W', 'A', 'V', 'E'));
    MMCKINFO chunk{};
    chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
    EXPECT_EQ(mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
    EXPECT_EQ(chunk.cksize, 16u);
    PCMWAVEFORMAT pcm{};
    EXPECT_EQ(mmioRead(file, reinterpret_cast<HPSTR>(&pcm), sizeof pcm), static_cast<LONG>(sizeof pcm));
    format->wFormatTag = pcm.wf.wFormatTag;
    format->nChannels = pcm.wf.nChannels;
    format->nSamplesPerSec = pcm.wf.nSamplesPerSec;
    format->wBitsPerSample = pcm.wBitsPerSample;
    EXPECT_EQ(mmioAscend(file, &chunk, 0), MMSYSERR_NOERROR);

    EXPECT_EQ(mmioSeek(file, static_cast<LONG>(riff.dwDataOffset + sizeof(FOURCC)), SEEK_SET),
              static_cast<LONG>(riff.dwDataOffset + 4));
    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    EXPECT_EQ(mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK), MMSYSERR_NOERROR);

    // The data through direct buffer access, as a streaming reader takes it.
    Bytes data;
    MMIOINFO info{};
    EXPECT_EQ(mmioGetInfo(file, &info, 0), MMSYSERR_NOERROR);
    while (data.size() < chunk.cksize) {
        if (info.pchNext == info.pchEndRead) {
            EXPECT_EQ(mmioAdvance(file, &info, MMIO_READ), MMSYSERR_NOERROR);
            if (info.pchNext == info.pchEndRead)
                break;
        }
        data.push_back(static_cast<uint8_t>(*info.pchNext++));
    }
    EXPECT_EQ(mmioSetInfo(file, &info, 0), MMSYSERR_NOERROR);
    return data;
}

} // namespace

TEST(Mmio, ReadsAWaveFromAFileThroughASmallBuffer)
{
    Bytes samples = Counting(20001 * 4);
    yonda::testing::TempFolder folder("yonda-sound");
    std::string path = folder.Write("decorated.wav", DecoratedWave(samples)).string();
    MMIOINFO options{};
    options.cchBuffer = 1000;
    HMMIO file = mmioOpenA(path.data(), &options, MMIO_READ | MMIO_ALLOCBUF);
    ASSERT_NE(file, nullptr);
    WAVEFORMATEX format{};
    EXPECT_EQ(ReadLikeThePlayer(file, &format), samples);
    EXPECT_EQ(format.nChannels, 2);
    EXPECT_EQ(format.nSamplesPerSec, 22050u);
    EXPECT_EQ(format.wBitsPerSample, 16);
    EXPECT_EQ(mmioClose(file, 0), MMSYSERR_NOERROR);
}

TEST(Mmio, ReadsAWaveFromMemory)
{
    Bytes samples = Counting(999);
    MemoryFile file(DecoratedWave(samples));
    ASSERT_NE(file.handle, nullptr);
    WAVEFORMATEX format{};
    EXPECT_EQ(ReadLikeThePlayer(file.handle, &format), samples);
}

TEST(Mmio, SeeksFromEachOriginAndRefusesToLeaveTheFile)
{
    MemoryFile file(Counting(100));
    ASSERT_NE(file.handle, nullptr);
    char byte = 0;
    EXPECT_EQ(mmioSeek(file.handle, 10, SEEK_SET), 10);
    EXPECT_EQ(mmioSeek(file.handle, 5, SEEK_CUR), 15);
    EXPECT_EQ(mmioRead(file.handle, &byte, 1), 1);
    EXPECT_EQ(byte, 15);
    EXPECT_EQ(mmioSeek(file.handle, -1, SEEK_END), 99);
    EXPECT_EQ(mmioRead(file.handle, &byte, 1), 1);
    EXPECT_EQ(byte, 99);
    EXPECT_EQ(mmioRead(file.handle, &byte, 1), 0);
    EXPECT_EQ(mmioSeek(file.handle, 1, SEEK_END), -1);
    EXPECT_EQ(mmioSeek(file.handle, -1, SEEK_SET), -1);
    EXPECT_EQ(mmioSeek(file.handle, 0, 7), -1);
}

TEST(Mmio, ChunksThatRunPastTheirParentOrTheFileAreNotEntered)
{
    struct Case {
        const char* what;
        Bytes bytes;
        MMRESULT riff;
        MMRESULT data;
    };
    Bytes good = DecoratedWave(Counting(40));
    Bytes cut(good.begin(), good.end() - 10);
    Bytes longData = good;
    longData[longData.size() - 44] = 0xFF; // the data chunk's size, now far past the end
    Bytes notRiff = good;
    notRiff[0] = 'X';
    const Case cases[] = {
        {"whole", good, MMSYSERR_NOERROR, MMSYSERR_NOERROR},
        {"truncated", cut, MMIOERR_INVALIDFILE, MMIOERR_INVALIDFILE},
        {"data size past the end", longData, MMSYSERR_NOERROR, MMIOERR_INVALIDFILE},
        {"not RIFF", notRiff, MMIOERR_CHUNKNOTFOUND, MMIOERR_CHUNKNOTFOUND},
        {"empty", Bytes{}, MMIOERR_CHUNKNOTFOUND, MMIOERR_CHUNKNOTFOUND},
    };
    for (const Case& c : cases) {
        Bytes copy = c.bytes;
        copy.push_back(0); // a memory file needs a block to point at, even for no bytes
        MMIOINFO info{};
        info.fccIOProc = FOURCC_MEM;
        info.pchBuffer = reinterpret_cast<HPSTR>(copy.data());
        info.cchBuffer = static_cast<LONG>(c.bytes.size());
        HMMIO file = mmioOpenA(nullptr, &info, MMIO_READ);
        ASSERT_NE(file, nullptr) << c.what;
        MMCKINFO riff{};
        riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
        EXPECT_EQ(mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF), c.riff) << c.what;
        MMCKINFO data{};
        data.ckid = mmioFOURCC('d', 'a', 't', 'a');
        MMCKINFO parent = riff;
        if (c.riff != MMSYSERR_NOERROR) {
            // Searching without a valid parent stays within the file.
            parent = MMCKINFO{};
            parent.cksize = static_cast<DWORD>(c.bytes.size());
            mmioSeek(file, 0, SEEK_SET);
        }
        EXPECT_EQ(mmioDescend(file, &data, &parent, MMIO_FINDCHUNK), c.data) << c.what;
        mmioClose(file, 0);
    }
}

TEST(Mmio, BadHandlesAndMissingFilesAreErrors)
{
    MMIOINFO info{};
    char missing[] = "/nonexistent/folder/none.wav";
    EXPECT_EQ(mmioOpenA(missing, &info, MMIO_READ), nullptr);
    EXPECT_EQ(info.wErrorRet, UINT{MMIOERR_FILENOTFOUND});
    EXPECT_EQ(mmioOpenA(missing, &info, MMIO_WRITE), nullptr);
    EXPECT_EQ(info.wErrorRet, UINT{MMIOERR_ACCESSDENIED});

    HMMIO bogus = reinterpret_cast<HMMIO>(&info);
    char byte;
    MMCKINFO chunk{};
    EXPECT_EQ(mmioRead(bogus, &byte, 1), -1);
    EXPECT_EQ(mmioSeek(bogus, 0, SEEK_SET), -1);
    EXPECT_EQ(mmioDescend(bogus, &chunk, nullptr, 0), UINT{MMSYSERR_INVALHANDLE});
    EXPECT_EQ(mmioClose(bogus, 0), UINT{MMSYSERR_INVALHANDLE});
    EXPECT_EQ(mmioClose(nullptr, 0), UINT{MMSYSERR_INVALHANDLE});
}
