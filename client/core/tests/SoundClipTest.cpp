// The layers under the music: the channel's pause, timer and failures, the clip's buffers and
// their restoring, and the wave reader on good, odd and broken waves.
#include "MusicChannel.h"
#include "SoundTestSupport.h"
#include "TempFolder.h"

#include <ProgramResources.h>
#include <yonda_capture.h>
#include <yonda_user.h>

#include <chrono>
#include <cstring>

namespace yonda::soundtest {
namespace {

using sound::test::Chunk;
using sound::test::FormatChunk;
using sound::test::PutDword;
using sound::test::PutWord;
using sound::test::Riff;

// Wave files of the test's own, in a scratch folder removed at the end.
std::string WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes)
{
    static const yonda::testing::TempFolder folder("yonda-sound-clip");
    return folder.Write(name, bytes).string();
}

void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageA(&msg);
    }
}

class MusicChannelTest : public SoundTest {
protected:
    SoundWnd wnd;
    CMusicChannel channel;
};

TEST_F(MusicChannelTest, PlayOnAPlayingChannelPausesAndThenResumesWhereItWas)
{
    ASSERT_TRUE(channel.Init(&wnd));
    ASSERT_TRUE(channel.Open(WriteTempFile("ramp.wav", Ramp(20000)).c_str()));
    ASSERT_EQ(channel.Play(TRUE), S_OK);
    EXPECT_EQ(Hear(1000).back(), 1000);
    // Pausing answers the loop argument.
    EXPECT_EQ(channel.Play(TRUE), TRUE);
    EXPECT_FALSE(channel.IsPlaying());
    EXPECT_EQ(Hear(500), std::vector<int16_t>(500, 0));
    ASSERT_EQ(channel.Play(TRUE), S_OK);
    EXPECT_EQ(Hear(1).front(), 1001);
    // Stop rewinds.
    channel.Stop();
    ASSERT_EQ(channel.Play(FALSE), S_OK);
    EXPECT_EQ(Hear(1).front(), 1);
    // Played once, the sound ends by itself: what the splash waits for.
    Hear(20000);
    EXPECT_FALSE(channel.IsPlaying());
}

TEST_F(MusicChannelTest, TheWindowGetsTimer220UntilTheChannelIsReleased)
{
    ASSERT_TRUE(channel.Init(&wnd));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (wnd.ticks < 2 && std::chrono::steady_clock::now() < deadline) {
        Pump();
        ::Sleep(10);
    }
    EXPECT_GE(wnd.ticks, 2);
    channel.Release();
    Pump();
    const int ticks = wnd.ticks;
    ::Sleep(600);
    Pump();
    EXPECT_EQ(wnd.ticks, ticks);
}

TEST_F(MusicChannelTest, WithoutADeviceTheMemberIsToldAndEveryCallFailsQuietly)
{
    YondaMessageBoxCapture boxes;
    EXPECT_FALSE(channel.Init(nullptr));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Error initializing DirectSound. This program will now exit.");
    EXPECT_EQ(boxes.Boxes()[0].caption, "DirectSound Error");
    EXPECT_EQ(boxes.Boxes()[0].type, static_cast<UINT>(MB_ICONERROR));
    EXPECT_FALSE(channel.Open(WriteTempFile("quiet.wav", Tone(100, 100)).c_str()));
    EXPECT_EQ(channel.Play(TRUE), CO_E_NOTINITIALIZED);
    channel.SetVolume(CMusicChannel::kVolumeMuted);
    EXPECT_EQ(channel.GetVolume(), CMusicChannel::kVolumeFull);
    EXPECT_FALSE(channel.IsPlaying());
    channel.Stop();
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

TEST_F(MusicChannelTest, ABufferTheDeviceTookIsRefilledWhenPlayedAgain)
{
    ASSERT_TRUE(channel.Init(&wnd));
    ASSERT_TRUE(channel.Open(WriteTempFile("lost.wav", Ramp(20000)).c_str()));
    ASSERT_EQ(channel.Play(TRUE), S_OK);
    Hear(300);
    YondaSoundLoseBuffers();
    EXPECT_FALSE(channel.IsPlaying());
    ASSERT_EQ(channel.Play(TRUE), S_OK);
    EXPECT_EQ(Hear(3), (std::vector<int16_t>{1, 2, 3})) << "the wave again, from its start";
}

// A buffer whose device never comes back.
class LostBuffer : public IDirectSoundBuffer {
public:
    int restores = 0;

    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT GetCurrentPosition(LPDWORD, LPDWORD) override { return DSERR_BUFFERLOST; }
    HRESULT GetFormat(LPWAVEFORMATEX, DWORD, LPDWORD) override { return DSERR_BUFFERLOST; }
    HRESULT GetVolume(LPLONG) override { return DSERR_BUFFERLOST; }
    HRESULT GetStatus(LPDWORD status) override
    {
        *status = DSBSTATUS_BUFFERLOST;
        return DS_OK;
    }
    HRESULT Lock(DWORD, DWORD, LPVOID*, LPDWORD, LPVOID*, LPDWORD, DWORD) override { return DSERR_BUFFERLOST; }
    HRESULT Play(DWORD, DWORD, DWORD) override { return DSERR_BUFFERLOST; }
    HRESULT SetCurrentPosition(DWORD) override { return DSERR_BUFFERLOST; }
    HRESULT SetFormat(LPCWAVEFORMATEX) override { return DSERR_BUFFERLOST; }
    HRESULT SetVolume(LONG) override { return DSERR_BUFFERLOST; }
    HRESULT Stop() override { return DS_OK; }
    HRESULT Unlock(LPVOID, DWORD, LPVOID, DWORD) override { return DSERR_BUFFERLOST; }
    HRESULT Restore() override
    {
        ++restores;
        return DSERR_BUFFERLOST;
    }
};

TEST(SoundClip, ABufferThatStaysLostIsGivenUpOn)
{
    LostBuffer buffer;
    LPDIRECTSOUNDBUFFER buffers[] = {&buffer};
    CSoundClip clip(buffers, 64, 1, std::make_unique<CWaveReader>());
    BOOL restored = TRUE;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(clip.RestoreBuffer(&buffer, &restored), DSERR_BUFFERLOST);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_FALSE(restored);
    EXPECT_EQ(buffer.restores, CSoundClip::kRestoreTries);
    EXPECT_EQ(clip.Play(0, 0), DSERR_BUFFERLOST);
}

class SoundDeviceTest : public SoundTest {
protected:
    void SetUp() override
    {
        SoundTest::SetUp();
        ASSERT_EQ(device.Initialize(wnd.GetSafeHwnd(), DSSCL_PRIORITY, 2, 22050, 16), S_OK);
    }

    // The bytes of a buffer, read through a lock.
    static Bytes Contents(LPDIRECTSOUNDBUFFER buffer, DWORD size)
    {
        void* bytes = nullptr;
        DWORD locked = 0;
        EXPECT_EQ(buffer->Lock(0, size, &bytes, &locked, nullptr, nullptr, 0), DS_OK);
        Bytes out(static_cast<uint8_t*>(bytes), static_cast<uint8_t*>(bytes) + locked);
        buffer->Unlock(bytes, locked, nullptr, 0);
        return out;
    }

    // A clip of `wave` whose one buffer is `size` bytes, larger than the wave, first full of 0x55.
    std::unique_ptr<CSoundClip> LargeClip(const Bytes& wave, DWORD size)
    {
        auto reader = std::make_unique<CWaveReader>();
        EXPECT_EQ(reader->Open(WriteTempFile("short.wav", wave).c_str()), S_OK);
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwBufferBytes = size;
        desc.lpwfxFormat = reader->GetFormat();
        LPDIRECTSOUNDBUFFER buffer = nullptr;
        EXPECT_EQ(device.GetDirectSound()->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
        void* bytes = nullptr;
        DWORD locked = 0;
        buffer->Lock(0, size, &bytes, &locked, nullptr, nullptr, 0);
        std::memset(bytes, 0x55, locked);
        buffer->Unlock(bytes, locked, nullptr, 0);
        return std::make_unique<CSoundClip>(&buffer, size, 1, std::move(reader));
    }

    SoundWnd wnd;
    CSoundDevice device;
};

TEST_F(SoundDeviceTest, AShortWaveIsFollowedBySilenceOfItsKindOrRepeated)
{
    const Bytes eightBit = sound::test::Wave(1, 22050, 8, Bytes{10, 20, 30});
    auto clip8 = LargeClip(eightBit, 8);
    ASSERT_EQ(clip8->FillBuffer(clip8->GetBuffer(0), FALSE), S_OK);
    EXPECT_EQ(Contents(clip8->GetBuffer(0), 8), (Bytes{10, 20, 30, 128, 128, 128, 128, 128}));
    ASSERT_EQ(clip8->FillBuffer(clip8->GetBuffer(0), TRUE), S_OK);
    EXPECT_EQ(Contents(clip8->GetBuffer(0), 8), (Bytes{10, 20, 30, 10, 20, 30, 10, 20}));

    const Bytes sixteenBit = Tone(-2, 2);
    auto clip16 = LargeClip(sixteenBit, 8);
    ASSERT_EQ(clip16->FillBuffer(clip16->GetBuffer(0), FALSE), S_OK);
    EXPECT_EQ(Contents(clip16->GetBuffer(0), 8), (Bytes{0xFE, 0xFF, 0xFE, 0xFF, 0, 0, 0, 0}));
}

TEST_F(SoundDeviceTest, ClipsHoldTheWaveInAsManyBuffersAsAsked)
{
    const std::string path = WriteTempFile("three.wav", Tone(700, 2000));
    CSoundClip* clip = nullptr;
    ASSERT_EQ(device.Create(&clip, path.c_str(), DSBCAPS_CTRLVOLUME, DS3DALG_DEFAULT, 3), S_OK);
    std::unique_ptr<CSoundClip> owned(clip);
    EXPECT_EQ(clip->GetBufferCount(), 3u);
    EXPECT_EQ(clip->GetBufferSize(), 4000u);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(clip->Play(0, 0), DS_OK);
    }
    for (DWORD i = 0; i < 3; ++i) {
        DWORD status = 0;
        clip->GetBuffer(i)->GetStatus(&status);
        EXPECT_TRUE(status & DSBSTATUS_PLAYING) << i;
    }
    EXPECT_EQ(LevelNow(), 2100) << "three voices of the same wave";
    EXPECT_EQ(clip->Play(0, 0), DS_OK) << "all busy: one of them starts again";
    EXPECT_EQ(clip->Stop(), DS_OK);
    EXPECT_FALSE(clip->IsPlaying());

    // A 3D algorithm on a mixer without 3D hardware: a success of its own, passed on.
    const GUID hrtf = {0xC2413340, 0x1C1B, 0x11D2, {0x94, 0xF5, 0x00, 0xC0, 0x4F, 0xC2, 0x8A, 0xCA}};
    CSoundClip* virtualised = nullptr;
    EXPECT_EQ(device.Create(&virtualised, path.c_str(), 0, hrtf, 1), DS_NO_VIRTUALIZATION);
    EXPECT_NE(virtualised, nullptr);
    delete virtualised;
}

TEST_F(SoundDeviceTest, ClipsAreNotMadeOfNothing)
{
    CSoundClip* clip = nullptr;
    CSoundDevice none;
    const std::string path = WriteTempFile("one.wav", Tone(1, 10));
    EXPECT_EQ(none.Create(&clip, path.c_str()), CO_E_NOTINITIALIZED);
    EXPECT_EQ(device.Create(&clip, nullptr), E_INVALIDARG);
    EXPECT_EQ(device.Create(nullptr, path.c_str()), E_INVALIDARG);
    EXPECT_EQ(device.Create(&clip, path.c_str(), 0, DS3DALG_DEFAULT, 0), E_INVALIDARG);
    EXPECT_EQ(device.Create(&clip, WriteTempFile("empty.wav", Tone(1, 0)).c_str()), E_FAIL);
    EXPECT_EQ(device.Create(&clip, "no such wave"), E_FAIL);
    // An 8-bit wave whose block does not fit its channels: the device refuses the buffer.
    Bytes odd = FormatChunk(1, 2, 22050, 8);
    odd[20] = 7;
    const Bytes data = Chunk("data", Bytes(16, 1));
    odd.insert(odd.end(), data.begin(), data.end());
    EXPECT_TRUE(FAILED(device.Create(&clip, WriteTempFile("odd.wav", Riff("WAVE", odd)).c_str())));
    EXPECT_EQ(clip, nullptr);
    EXPECT_EQ(CSoundDevice().Initialize(nullptr, DSSCL_PRIORITY, 2, 22050, 16), E_INVALIDARG);
}

TEST(WaveReader, ReadsTheSamplesOfAFileInPiecesAndAgain)
{
    CWaveReader reader;
    ASSERT_EQ(reader.Open(WriteTempFile("ramp.wav", Ramp(1000)).c_str()), S_OK);
    EXPECT_EQ(reader.GetSize(), 2000u);
    EXPECT_EQ(reader.GetFormat()->wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(reader.GetFormat()->cbSize, 0);
    std::vector<BYTE> bytes(1500);
    DWORD read = 0;
    ASSERT_EQ(reader.Read(bytes.data(), 1500, &read), S_OK);
    EXPECT_EQ(read, 1500u);
    ASSERT_EQ(reader.Read(bytes.data(), 1500, &read), S_OK);
    EXPECT_EQ(read, 500u) << "no further than the samples";
    EXPECT_EQ(bytes[498], 1000 & 0xFF);
    ASSERT_EQ(reader.Read(bytes.data(), 1500, &read), S_OK);
    EXPECT_EQ(read, 0u);
    ASSERT_EQ(reader.ResetFile(), S_OK);
    ASSERT_EQ(reader.Read(bytes.data(), 2, &read), S_OK);
    EXPECT_EQ(bytes[0], 1);
    reader.Close();
    EXPECT_EQ(reader.GetFormat(), nullptr);
    EXPECT_EQ(reader.Read(bytes.data(), 2, &read), CO_E_NOTINITIALIZED);
}

TEST(WaveReader, FormatsWithExtraBytesKeepThem)
{
    Bytes format;
    PutWord(format, 0xFFFE);
    PutWord(format, 1);
    PutDword(format, 22050);
    PutDword(format, 44100);
    PutWord(format, 2);
    PutWord(format, 16);
    PutWord(format, 4);
    format.insert(format.end(), {0xA1, 0xA2, 0xA3, 0xA4});
    Bytes chunks = Chunk("LIST", Bytes{'I', 'N', 'F', 'O'});
    for (const Bytes& chunk : {Chunk("fmt ", format), Chunk("data", Bytes(6, 9))}) {
        chunks.insert(chunks.end(), chunk.begin(), chunk.end());
    }
    CWaveReader reader;
    ASSERT_EQ(reader.Open(WriteTempFile("extensible.wav", Riff("WAVE", chunks)).c_str()), S_OK);
    EXPECT_EQ(reader.GetFormat()->cbSize, 4);
    EXPECT_EQ(reinterpret_cast<const BYTE*>(reader.GetFormat())[sizeof(WAVEFORMATEX) + 3], 0xA4);
    EXPECT_EQ(reader.GetSize(), 6u);

    // Extra bytes said to reach past their chunk.
    format[16] = 40;
    Bytes broken = Chunk("fmt ", format);
    const Bytes data = Chunk("data", Bytes(6, 9));
    broken.insert(broken.end(), data.begin(), data.end());
    EXPECT_EQ(reader.Open(WriteTempFile("overlong.wav", Riff("WAVE", broken)).c_str()), E_FAIL);
}

TEST(WaveReader, WavesThatAreNotWholeAreRefused)
{
    const Bytes good = Tone(5, 100);
    std::vector<Bytes> broken;
    broken.push_back(Riff("AVI ", Bytes(good.begin() + 12, good.end())));
    Bytes shortFormat = Chunk("fmt ", Bytes(14, 1));
    const Bytes data = Chunk("data", Bytes(8, 1));
    shortFormat.insert(shortFormat.end(), data.begin(), data.end());
    broken.push_back(Riff("WAVE", shortFormat));
    broken.push_back(Riff("WAVE", FormatChunk(1, 1, 22050, 16))); // no samples at all
    Bytes cut = good;
    cut.resize(good.size() - 20);
    broken.push_back(cut);
    Bytes huge = good;
    huge[40] = huge[41] = huge[42] = 0xFF; // the data chunk claims about 16 MB
    broken.push_back(huge);
    broken.push_back(Bytes(good.begin(), good.begin() + 10));
    for (size_t i = 0; i < broken.size(); ++i) {
        CWaveReader reader;
        EXPECT_EQ(reader.Open(WriteTempFile("broken.wav", broken[i]).c_str()), E_FAIL) << i;
        EXPECT_EQ(reader.GetSize(), 0u) << i;
    }
}

TEST(WaveReader, AWaveThatIsNoFileIsAProgramResource)
{
    RegisterProgramResources();
    CWaveReader reader;
    ASSERT_EQ(reader.Open(MAKEINTRESOURCE(149)), S_OK) << "the program's own effect sound";
    EXPECT_GT(reader.GetSize(), 0u);
    const Bytes wave = Tone(3, 4);
    YondaAddResource("WAV", "Chime", wave.data(), static_cast<DWORD>(wave.size()));
    ASSERT_EQ(reader.Open("Chime"), S_OK);
    EXPECT_EQ(reader.GetSize(), 8u);
    EXPECT_EQ(reader.Open("Chimes"), E_FAIL);
    EXPECT_EQ(reader.Open(""), E_FAIL);
}

} // namespace
} // namespace yonda::soundtest
