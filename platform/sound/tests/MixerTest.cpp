// What a listener would hear from DirectSound buffers, read from the manual null sink.
#include "dsound.h"
#include "yonda_platform.h"
#include "yonda_sound.h"

#include "WaveBytes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

using namespace yonda::sound::test;

namespace {

HWND FakeWindow()
{
    static int window;
    return reinterpret_cast<HWND>(&window);
}

WAVEFORMATEX Format(WORD channels, DWORD rate, WORD bits)
{
    WAVEFORMATEX wfx{};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = channels;
    wfx.nSamplesPerSec = rate;
    wfx.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    wfx.nAvgBytesPerSec = rate * wfx.nBlockAlign;
    wfx.wBitsPerSample = bits;
    return wfx;
}

class MixerTest : public testing::Test {
protected:
    void SetUp() override
    {
        YondaSoundUseNullSink(TRUE);
        ASSERT_EQ(DirectSoundCreate8(nullptr, &m_device, nullptr), DS_OK);
        ASSERT_EQ(m_device->SetCooperativeLevel(FakeWindow(), DSSCL_PRIORITY), DS_OK);
        m_rate = YondaSoundOutputRate();
        ASSERT_EQ(m_rate, 44100u);
    }
    void TearDown() override
    {
        for (auto* buffer : m_buffers)
            buffer->Release();
        if (m_device)
            m_device->Release();
    }

    LPDIRECTSOUNDBUFFER Create(WAVEFORMATEX wfx, const Bytes& samples, DWORD flags = DSBCAPS_CTRLVOLUME,
                               LPDIRECTSOUND8 device = nullptr)
    {
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = flags;
        desc.dwBufferBytes = static_cast<DWORD>(samples.size());
        desc.lpwfxFormat = &wfx;
        LPDIRECTSOUNDBUFFER buffer = nullptr;
        EXPECT_TRUE(SUCCEEDED((device ? device : m_device)->CreateSoundBuffer(&desc, &buffer, nullptr)));
        if (!buffer)
            return nullptr;
        Fill(buffer, samples);
        m_buffers.push_back(buffer);
        return buffer;
    }

    static void Fill(LPDIRECTSOUNDBUFFER buffer, const Bytes& samples)
    {
        void* p1 = nullptr;
        DWORD n1 = 0;
        ASSERT_EQ(buffer->Lock(0, 0, &p1, &n1, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
        ASSERT_EQ(n1, samples.size());
        std::memcpy(p1, samples.data(), n1);
        ASSERT_EQ(buffer->Unlock(p1, n1, nullptr, 0), DS_OK);
    }

    // Left and right of frames rendered now.
    std::vector<int16_t> Render(size_t frames)
    {
        std::vector<int16_t> out(frames * 2, 12345);
        EXPECT_TRUE(YondaSoundRender(out.data(), static_cast<DWORD>(frames)));
        return out;
    }
    std::vector<int16_t> Left(const std::vector<int16_t>& frames)
    {
        std::vector<int16_t> left;
        for (size_t i = 0; i < frames.size(); i += 2)
            left.push_back(frames[i]);
        return left;
    }

    LPDIRECTSOUND8 m_device = nullptr;
    std::vector<LPDIRECTSOUNDBUFFER> m_buffers;
    DWORD m_rate = 0;
};

// A stereo 16-bit source at the output rate: frame i = (i * 100, -i * 100).
Bytes Ramp(int frames)
{
    std::vector<int16_t> samples;
    for (int i = 0; i < frames; ++i) {
        samples.push_back(static_cast<int16_t>(i * 100));
        samples.push_back(static_cast<int16_t>(-i * 100));
    }
    return Samples16(samples);
}

Bytes Constant(int frames, int16_t value)
{
    return Samples16(std::vector<int16_t>(static_cast<size_t>(frames) * 2, value));
}

} // namespace

TEST_F(MixerTest, PrimaryBufferTakesItsFormatOnlyAtPriorityLevel)
{
    LPDIRECTSOUND8 normal = nullptr;
    ASSERT_EQ(DirectSoundCreate8(nullptr, &normal, nullptr), DS_OK);
    ASSERT_EQ(normal->SetCooperativeLevel(FakeWindow(), DSSCL_NORMAL), DS_OK);
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    LPDIRECTSOUNDBUFFER primary = nullptr;
    ASSERT_EQ(normal->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    WAVEFORMATEX wanted = Format(2, 22050, 16);
    EXPECT_EQ(primary->SetFormat(&wanted), DSERR_PRIOLEVELNEEDED);
    primary->Release();
    normal->Release();

    ASSERT_EQ(m_device->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    EXPECT_EQ(primary->SetFormat(&wanted), DS_OK);
    WAVEFORMATEX got{};
    EXPECT_EQ(primary->GetFormat(&got, sizeof got, nullptr), DS_OK);
    EXPECT_EQ(got.nSamplesPerSec, 22050u);
    EXPECT_EQ(got.nChannels, 2);
    EXPECT_EQ(got.wBitsPerSample, 16);
    EXPECT_EQ(got.nBlockAlign, 4);
    EXPECT_EQ(got.nAvgBytesPerSec, 88200u);
    primary->Release();

    desc.dwBufferBytes = 100;
    EXPECT_EQ(m_device->CreateSoundBuffer(&desc, &primary, nullptr), E_INVALIDARG);
    EXPECT_EQ(primary, nullptr);
}

TEST_F(MixerTest, SourceAtTheOutputRateComesOutUnchanged)
{
    Bytes ramp = Ramp(64);
    auto* buffer = Create(Format(2, 44100, 16), ramp);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    auto out = Render(80);
    for (int i = 0; i < 64; ++i) {
        ASSERT_EQ(out[i * 2], i * 100) << "frame " << i;
        ASSERT_EQ(out[i * 2 + 1], -i * 100) << "frame " << i;
    }
    for (int i = 64; i < 80; ++i)
        ASSERT_EQ(out[i * 2], 0) << "after the end, frame " << i;
}

TEST_F(MixerTest, OverlappingVoicesOfTwoDevicesAreSummedAndClipped)
{
    LPDIRECTSOUND8 second = nullptr;
    ASSERT_EQ(DirectSoundCreate8(nullptr, &second, nullptr), DS_OK);
    auto* low = Create(Format(2, 44100, 16), Constant(400, 1000));
    auto* high = Create(Format(2, 44100, 16), Constant(400, 2000), DSBCAPS_CTRLVOLUME, second);
    auto* loud = Create(Format(2, 44100, 16), Constant(400, 32000));

    ASSERT_EQ(low->Play(0, 0, 0), DS_OK);
    auto first = Render(100);
    ASSERT_EQ(high->Play(0, 0, 0), DS_OK);
    auto both = Render(100);
    EXPECT_EQ(first[0], 1000);
    EXPECT_EQ(first[199], 1000);
    EXPECT_EQ(both[0], 3000);
    EXPECT_EQ(both[199], 3000);

    ASSERT_EQ(loud->Play(0, 0, 0), DS_OK);
    auto clipped = Render(10);
    EXPECT_EQ(clipped[0], 32767);
    second->Release();
}

TEST_F(MixerTest, LoopingWrapsAndOneShotStopsAtItsEndRewound)
{
    auto* looped = Create(Format(2, 44100, 16), Ramp(10));
    ASSERT_EQ(looped->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    DWORD status = 0;
    ASSERT_EQ(looped->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, DWORD{DSBSTATUS_PLAYING | DSBSTATUS_LOOPING});
    auto left = Left(Render(25));
    for (int i = 0; i < 25; ++i)
        ASSERT_EQ(left[i], (i % 10) * 100) << "frame " << i;
    looped->Stop();

    auto* once = Create(Format(2, 44100, 16), Ramp(10));
    ASSERT_EQ(once->Play(0, 0, 0), DS_OK);
    left = Left(Render(15));
    EXPECT_EQ(left[9], 900);
    EXPECT_EQ(left[10], 0);
    ASSERT_EQ(once->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, 0u);
    DWORD play = 99;
    ASSERT_EQ(once->GetCurrentPosition(&play, nullptr), DS_OK);
    EXPECT_EQ(play, 0u);
    // Played again, it starts over.
    ASSERT_EQ(once->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(Left(Render(2))[1], 100);
}

TEST_F(MixerTest, StopKeepsThePositionAndPlayResumesFromIt)
{
    auto* buffer = Create(Format(2, 44100, 16), Ramp(100));
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    Render(30);
    ASSERT_EQ(buffer->Stop(), DS_OK);
    DWORD play = 0;
    ASSERT_EQ(buffer->GetCurrentPosition(&play, nullptr), DS_OK);
    EXPECT_EQ(play, 30u * 4);
    auto silent = Left(Render(10));
    EXPECT_EQ(silent, std::vector<int16_t>(10, 0));
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    auto resumed = Left(Render(10));
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(resumed[i], (30 + i) * 100);

    ASSERT_EQ(buffer->SetCurrentPosition(80 * 4 + 2), DS_OK);
    EXPECT_EQ(Left(Render(1))[0], 8000) << "a position inside a frame starts at that frame";
    EXPECT_EQ(buffer->SetCurrentPosition(100 * 4), E_INVALIDARG);
}

TEST_F(MixerTest, VolumeIsInHundredthsOfADecibelFromSilentToFull)
{
    auto* buffer = Create(Format(2, 44100, 16), Constant(1000, 20000));
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    struct Case {
        LONG volume;
        int16_t expected;
    };
    const Case cases[] = {{0, 20000}, {-10000, 0}, {-600, 10024}, {-2000, 2000}, {0, 20000}};
    for (const Case& c : cases) {
        ASSERT_EQ(buffer->SetVolume(c.volume), DS_OK);
        LONG got = 1;
        ASSERT_EQ(buffer->GetVolume(&got), DS_OK);
        EXPECT_EQ(got, c.volume);
        EXPECT_NEAR(Render(4)[6], c.expected, 1) << "volume " << c.volume;
    }
    EXPECT_EQ(buffer->SetVolume(1), E_INVALIDARG);
    EXPECT_EQ(buffer->SetVolume(-10001), E_INVALIDARG);

    auto* fixed = Create(Format(2, 44100, 16), Constant(10, 5), 0);
    LONG volume = 0;
    EXPECT_EQ(fixed->SetVolume(-10000), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(fixed->GetVolume(&volume), DSERR_CONTROLUNAVAIL);
}

TEST_F(MixerTest, EightBitMonoIsCentredAndHeardOnBothSides)
{
    auto* buffer = Create(Format(1, 44100, 8), Bytes{128, 255, 0, 192});
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    auto out = Render(4);
    const std::vector<int16_t> expected{0, 0, 32512, 32512, -32768, -32768, 16384, 16384};
    EXPECT_EQ(out, expected);
}

TEST_F(MixerTest, TwentyTwoKilohertzSourceIsInterpolatedToTheOutputRate)
{
    auto* buffer = Create(Format(1, 22050, 16), Samples16({0, 1000, 2000, 4000}));
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    auto left = Left(Render(10));
    const std::vector<int16_t> expected{0, 500, 1000, 1500, 2000, 3000, 4000, 4000, 0, 0};
    EXPECT_EQ(left, expected);
    DWORD status = 1;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, 0u) << "a source at half the rate lasts twice as many output frames";
}

TEST_F(MixerTest, FormatsThatCannotBePlayedAreRefused)
{
    struct Case {
        const char* what;
        WAVEFORMATEX format;
        DWORD bytes;
        HRESULT expected;
    };
    WAVEFORMATEX adpcm = Format(1, 22050, 16);
    adpcm.wFormatTag = 2;
    WAVEFORMATEX noChannels = Format(1, 22050, 16);
    noChannels.nChannels = 0;
    WAVEFORMATEX badAlign = Format(2, 22050, 16);
    badAlign.nBlockAlign = 3;
    const Case cases[] = {
        {"not PCM", adpcm, 100, DSERR_BADFORMAT},
        {"no channels", noChannels, 100, DSERR_BADFORMAT},
        {"six channels", Format(6, 22050, 16), 120, DSERR_BADFORMAT},
        {"24-bit", Format(2, 22050, 24), 120, DSERR_BADFORMAT},
        {"rate 50", Format(2, 50, 16), 100, DSERR_BADFORMAT},
        {"block align", badAlign, 100, E_INVALIDARG},
        {"too small", Format(1, 22050, 8), 2, E_INVALIDARG},
    };
    for (const Case& c : cases) {
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwBufferBytes = c.bytes;
        WAVEFORMATEX wfx = c.format;
        desc.lpwfxFormat = &wfx;
        LPDIRECTSOUNDBUFFER buffer = reinterpret_cast<LPDIRECTSOUNDBUFFER>(1);
        EXPECT_EQ(m_device->CreateSoundBuffer(&desc, &buffer, nullptr), c.expected) << c.what;
        EXPECT_EQ(buffer, nullptr) << c.what;
    }
    DSBUFFERDESC noFormat{};
    noFormat.dwSize = sizeof noFormat;
    noFormat.dwBufferBytes = 100;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    EXPECT_EQ(m_device->CreateSoundBuffer(&noFormat, &buffer, nullptr), E_INVALIDARG);
}

TEST_F(MixerTest, LockWrapsAroundTheEndAndUnlockWritesBack)
{
    auto* buffer = Create(Format(2, 44100, 16), Constant(4, 0));
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0;
    DWORD n2 = 0;
    ASSERT_EQ(buffer->Lock(12, 8, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_EQ(n1, 4u);
    EXPECT_EQ(n2, 4u);
    ASSERT_NE(p2, nullptr);
    Bytes last = Constant(1, 700);
    Bytes first = Constant(1, 300);
    std::memcpy(p1, last.data(), 4);
    std::memcpy(p2, first.data(), 4);
    EXPECT_EQ(buffer->Unlock(&n1, n1, p2, n2), E_INVALIDARG) << "a pointer Lock did not hand out";
    ASSERT_EQ(buffer->Unlock(p1, n1, p2, n2), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    auto left = Left(Render(4));
    EXPECT_EQ(left, (std::vector<int16_t>{300, 0, 0, 700}));

    // Without a second pointer the lock ends at the buffer's end.
    ASSERT_EQ(buffer->Lock(12, 8, &p1, &n1, nullptr, nullptr, 0), DS_OK);
    EXPECT_EQ(n1, 4u);
    ASSERT_EQ(buffer->Unlock(p1, n1, nullptr, 0), DS_OK);
    EXPECT_EQ(buffer->Lock(16, 4, &p1, &n1, nullptr, nullptr, 0), E_INVALIDARG);
    EXPECT_EQ(buffer->Lock(0, 17, &p1, &n1, nullptr, nullptr, 0), E_INVALIDARG);
}

TEST_F(MixerTest, DuplicateSharesTheSamplesButPlaysOnItsOwn)
{
    auto* original = Create(Format(2, 44100, 16), Ramp(50));
    ASSERT_EQ(original->SetVolume(-10000), DS_OK);
    LPDIRECTSOUNDBUFFER duplicate = nullptr;
    ASSERT_EQ(m_device->DuplicateSoundBuffer(original, &duplicate), DS_OK);
    m_buffers.push_back(duplicate);
    LONG volume = 0;
    ASSERT_EQ(duplicate->GetVolume(&volume), DS_OK);
    EXPECT_EQ(volume, -10000);
    ASSERT_EQ(duplicate->SetVolume(0), DS_OK);
    ASSERT_EQ(original->Play(0, 0, 0), DS_OK);
    DWORD status = 1;
    duplicate->GetStatus(&status);
    EXPECT_EQ(status, 0u);
    Fill(original, Constant(50, 777));
    ASSERT_EQ(duplicate->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(Render(1)[0], 777) << "the muted original plays too, but only the duplicate is heard";
}

TEST_F(MixerTest, LostBuffersRefuseLockAndPlayUntilRestoredToSilence)
{
    auto* buffer = Create(Format(1, 44100, 8), Bytes(8, 200));
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    YondaSoundLoseBuffers();
    DWORD status = 0;
    ASSERT_EQ(buffer->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, DWORD{DSBSTATUS_BUFFERLOST});
    void* p1 = nullptr;
    DWORD n1 = 0;
    EXPECT_EQ(buffer->Lock(0, 0, &p1, &n1, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DSERR_BUFFERLOST);
    EXPECT_EQ(buffer->Play(0, 0, 0), DSERR_BUFFERLOST);
    EXPECT_EQ(Render(4)[0], 0);
    ASSERT_EQ(buffer->Restore(), DS_OK);
    ASSERT_EQ(buffer->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, 0u);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(Render(4)[0], 0) << "restored memory is silence until refilled";
}

TEST_F(MixerTest, ReleasingTheDeviceSilencesItsBuffers)
{
    LPDIRECTSOUND8 other = nullptr;
    ASSERT_EQ(DirectSoundCreate8(nullptr, &other, nullptr), DS_OK);
    auto* buffer = Create(Format(2, 44100, 16), Constant(100, 1234), DSBCAPS_CTRLVOLUME, other);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(Render(1)[0], 1234);
    other->Release();
    EXPECT_EQ(Render(1)[0], 0);
    EXPECT_EQ(buffer->Play(0, 0, 0), DSERR_UNINITIALIZED);
}

TEST(NullSink, HearsSoundsAtThePaceOfThePlatformClock)
{
    YondaClockSetManual(TRUE);
    YondaSoundUseNullSink(FALSE);
    LPDIRECTSOUND8 device = nullptr;
    ASSERT_EQ(DirectSoundCreate8(nullptr, &device, nullptr), DS_OK);
    WAVEFORMATEX wfx = Format(1, 11025, 8);
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwBufferBytes = 11025 / 2; // half a second
    desc.lpwfxFormat = &wfx;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);

    auto statusAfter = [&](std::chrono::milliseconds wait) {
        DWORD status = 0;
        auto until = std::chrono::steady_clock::now() + wait;
        do {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            buffer->GetStatus(&status);
        } while ((status & DSBSTATUS_PLAYING) && std::chrono::steady_clock::now() < until);
        return status;
    };
    EXPECT_EQ(statusAfter(std::chrono::milliseconds(100)), DWORD{DSBSTATUS_PLAYING}) << "the clock stands still";
    YondaClockAdvance(300);
    EXPECT_EQ(statusAfter(std::chrono::milliseconds(100)), DWORD{DSBSTATUS_PLAYING}) << "300 ms of 500";
    YondaClockAdvance(300);
    EXPECT_EQ(statusAfter(std::chrono::seconds(10)), 0u) << "played to its end";

    buffer->Release();
    device->Release();
    YondaSoundUseNullSink(TRUE);
    YondaClockSetManual(FALSE);
}
