// The sound mixer's hot path: what the audio thread does every period while the music loops
// and effects play over it, each at its own rate and resampled to the output's.
#include <dsound.h>
#include <yonda_sound.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

LPDIRECTSOUNDBUFFER MakeBuffer(LPDIRECTSOUND8 device, WORD channels, DWORD rate, WORD bits, DWORD seconds)
{
    WAVEFORMATEX wfx{};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = channels;
    wfx.nSamplesPerSec = rate;
    wfx.wBitsPerSample = bits;
    wfx.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    wfx.nAvgBytesPerSec = rate * wfx.nBlockAlign;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_CTRLVOLUME;
    desc.dwBufferBytes = wfx.nAvgBytesPerSec * seconds;
    desc.lpwfxFormat = &wfx;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    if (FAILED(device->CreateSoundBuffer(&desc, &buffer, nullptr)))
        return nullptr;
    void* bytes = nullptr;
    DWORD size = 0;
    if (SUCCEEDED(buffer->Lock(0, 0, &bytes, &size, nullptr, nullptr, DSBLOCK_ENTIREBUFFER))) {
        for (DWORD i = 0; i < size; ++i)
            static_cast<BYTE*>(bytes)[i] = static_cast<BYTE>(i * 37);
        buffer->Unlock(bytes, size, nullptr, 0);
    }
    return buffer;
}

// One output period of 1024 frames with `state.range(0)` voices: 22 kHz stereo music, then
// 8-bit mono 11 kHz and 16-bit mono 44 kHz effects in turn.
void MixPeriod(benchmark::State& state)
{
    YondaSoundUseNullSink(TRUE);
    LPDIRECTSOUND8 device = nullptr;
    if (FAILED(DirectSoundCreate8(nullptr, &device, nullptr))) {
        state.SkipWithError("no sound device");
        return;
    }
    std::vector<LPDIRECTSOUNDBUFFER> voices;
    for (int i = 0; i < state.range(0); ++i) {
        LPDIRECTSOUNDBUFFER buffer = i == 0  ? MakeBuffer(device, 2, 22050, 16, 4)
                                     : i % 2 ? MakeBuffer(device, 1, 11025, 8, 1)
                                             : MakeBuffer(device, 1, 44100, 16, 1);
        buffer->SetVolume(i == 0 ? 0 : -600);
        buffer->Play(0, 0, DSBPLAY_LOOPING);
        voices.push_back(buffer);
    }
    std::vector<SHORT> out(1024 * 2);
    for (auto _ : state) {
        YondaSoundRender(out.data(), 1024);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 1024);
    for (auto* buffer : voices)
        buffer->Release();
    device->Release();
}
BENCHMARK(MixPeriod)->Arg(1)->Arg(4)->Arg(16);

} // namespace
