// Arbitrary bytes as a WAVE resource through the music's own reading path: the wave reader read
// in odd pieces, then a clip of it in two buffers, played, refilled with and without repeat,
// taken away by the device and played again. Nothing read may exceed what the bytes hold.
#include "SoundClip.h"
#include "SoundDevice.h"

#include <afxwin.h>
#include <yonda_sound.h>
#include <yonda_user.h>

#include <cstdint>

namespace {

const char kName[] = "FuzzWave";

CSoundDevice& Device()
{
    // Kept for the whole run and never freed: the window system outlives every input.
    static CSoundDevice* device = [] {
        YondaSoundUseNullSink(TRUE);
        auto* wnd = new CWnd;
        wnd->CreateEx(0, AfxRegisterWndClass(0), "fuzz", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr);
        auto* made = new CSoundDevice;
        made->Initialize(wnd->GetSafeHwnd(), DSSCL_PRIORITY, 2, 22050, 16);
        return made;
    }();
    return *device;
}

void ReadWhole(size_t size)
{
    CWaveReader reader;
    if (FAILED(reader.Open(kName))) {
        return;
    }
    BYTE piece[333];
    DWORD read = 0;
    size_t total = 0;
    while (SUCCEEDED(reader.Read(piece, sizeof piece, &read)) && read > 0) {
        total += read;
    }
    if (total != reader.GetSize() || total > size) {
        __builtin_trap();
    }
}

void PlayClip(size_t size)
{
    CSoundClip* clip = nullptr;
    if (FAILED(Device().Create(&clip, kName, DSBCAPS_CTRLVOLUME, DS3DALG_DEFAULT, 2))) {
        return;
    }
    if (clip->GetBufferSize() > size) {
        __builtin_trap();
    }
    SHORT frames[2 * 128];
    clip->Play(0, DSBPLAY_LOOPING);
    YondaSoundRender(frames, 128);
    clip->FillBuffer(clip->GetBuffer(1), TRUE);
    clip->FillBuffer(clip->GetBuffer(0), FALSE);
    YondaSoundLoseBuffers();
    clip->Play(0, 0);
    YondaSoundRender(frames, 128);
    delete clip;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Device();
    YondaAddResource("WAVE", kName, data, static_cast<DWORD>(size));
    ReadWhole(size);
    PlayClip(size);
    return 0;
}
