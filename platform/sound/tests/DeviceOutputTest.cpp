// The SDL output path, end to end: SDL's disk driver stands in for a sound card and writes what
// it is given to a file, which the test reads back. A program of its own, because the output
// is chosen once per process.
#include "TempFolder.h"
#include "dsound.h"
#include "yonda_sound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <unistd.h>
#include <vector>

TEST(DeviceOutput, SoundReachesTheAudioDeviceAtItsRate)
{
    const yonda::testing::TempFolder folder("yonda-disk-audio");
    const auto file = folder / "output.raw";
    unsetenv("YONDA_HEADLESS");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);

    LPDIRECTSOUND8 device = nullptr;
    ASSERT_EQ(DirectSoundCreate8(nullptr, &device, nullptr), DS_OK);
    if (YondaSoundIsNullSink()) {
        device->Release();
        GTEST_SKIP() << "this SDL has no disk audio driver";
    }
    EXPECT_EQ(YondaSoundOutputRate(), 44100u);

    WAVEFORMATEX wfx{};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = 1;
    wfx.nSamplesPerSec = 22050;
    wfx.wBitsPerSample = 16;
    wfx.nBlockAlign = 2;
    wfx.nAvgBytesPerSec = 44100;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwBufferBytes = 2205 * 2; // a tenth of a second
    desc.lpwfxFormat = &wfx;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    void* bytes = nullptr;
    DWORD size = 0;
    ASSERT_EQ(buffer->Lock(0, 0, &bytes, &size, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
    for (DWORD i = 0; i < size; i += 2) {
        static_cast<uint8_t*>(bytes)[i] = 0xE8; // 1000, little-endian
        static_cast<uint8_t*>(bytes)[i + 1] = 0x03;
    }
    ASSERT_EQ(buffer->Unlock(bytes, size, nullptr, 0), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);

    DWORD status = DSBSTATUS_PLAYING;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while ((status & DSBSTATUS_PLAYING) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        buffer->GetStatus(&status);
    }
    EXPECT_EQ(status & DSBSTATUS_PLAYING, 0u) << "the device consumed the sound";
    buffer->Release();
    device->Release();
    YondaSoundUseNullSink(TRUE); // closes the device, which finishes the file

    std::ifstream in(file, std::ios::binary);
    std::vector<char> raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t heard = 0;
    for (size_t i = 0; i + 3 < raw.size(); i += 4) {
        int16_t left = 0;
        int16_t right = 0;
        std::memcpy(&left, &raw[i], 2);
        std::memcpy(&right, &raw[i + 2], 2);
        if (left == 1000 && right == 1000)
            ++heard;
    }
    // 2205 source frames at twice the rate.
    EXPECT_NEAR(static_cast<double>(heard), 4410.0, 2.0);
}
