// Arbitrary bytes through the RIFF reader: as a WAVE resource played by PlaySound (the whole
// wave reader and the mixer on what it accepts), and as a memory file walked chunk by chunk.
#include "mmiscapi.h"
#include "playsoundapi.h"
#include "yonda_sound.h"

#include <cstdint>
#include <vector>

namespace {

void Walk(HMMIO file, const MMCKINFO* parent, int depth)
{
    MMCKINFO chunk{};
    for (int count = 0; count < 64 && mmioDescend(file, &chunk, parent, 0) == MMSYSERR_NOERROR; ++count) {
        if (depth < 4 && (chunk.ckid == FOURCC_RIFF || chunk.ckid == FOURCC_LIST)) {
            Walk(file, &chunk, depth + 1);
        } else {
            char head[32];
            mmioRead(file, head, static_cast<LONG>(chunk.cksize < sizeof head ? chunk.cksize : sizeof head));
        }
        if (mmioAscend(file, &chunk, 0) != MMSYSERR_NOERROR)
            break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool manual = [] {
        YondaSoundUseNullSink(TRUE);
        return true;
    }();
    (void)manual;

    const auto id = reinterpret_cast<LPCSTR>(uintptr_t{149});
    YondaRegisterWaveResource(nullptr, id, data, static_cast<DWORD>(size));
    if (PlaySoundA(id, nullptr, SND_RESOURCE | SND_ASYNC)) {
        SHORT frames[2 * 256];
        YondaSoundRender(frames, 256);
        PlaySoundA(nullptr, nullptr, 0);
    }
    YondaRegisterWaveResource(nullptr, id, nullptr, 0);

    std::vector<char> copy(data, data + size);
    copy.push_back(0);
    MMIOINFO info{};
    info.fccIOProc = FOURCC_MEM;
    info.pchBuffer = copy.data();
    info.cchBuffer = static_cast<LONG>(size);
    HMMIO file = mmioOpenA(nullptr, &info, MMIO_READ);
    if (file) {
        Walk(file, nullptr, 0);
        mmioClose(file, 0);
    }
    return 0;
}
