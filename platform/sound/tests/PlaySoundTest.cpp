// PlaySound from registered WAVE resources, files and memory, heard through the manual null sink.
#include "mmiscapi.h"
#include "playsoundapi.h"
#include "yonda_sound.h"

#include "TempFolder.h"
#include "WaveBytes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

using namespace yonda::sound::test;

namespace {

LPCSTR ResourceId(int id)
{
    return reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(id));
}

HMODULE Program()
{
    static int module;
    return reinterpret_cast<HMODULE>(&module);
}

Bytes ConstantWave(int frames, int16_t value, DWORD rate = 44100)
{
    return Wave(1, rate, 16, Samples16(std::vector<int16_t>(static_cast<size_t>(frames), value)));
}

class PlaySoundTest : public testing::Test {
protected:
    void SetUp() override { YondaSoundUseNullSink(TRUE); }
    void TearDown() override
    {
        PlaySoundA(nullptr, nullptr, 0);
        for (int id : m_registered)
            YondaRegisterWaveResource(Program(), ResourceId(id), nullptr, 0);
    }
    void Register(int id, const Bytes& wave)
    {
        YondaRegisterWaveResource(Program(), ResourceId(id), wave.data(), static_cast<DWORD>(wave.size()));
        m_registered.push_back(id);
    }
    int16_t Heard()
    {
        SHORT frame[2] = {1, 1};
        EXPECT_TRUE(YondaSoundRender(frame, 1));
        return frame[0];
    }
    std::vector<int> m_registered;
};

} // namespace

TEST_F(PlaySoundTest, ResourceSoundPlaysAndANewOneReplacesIt)
{
    Register(149, ConstantWave(1000, 1500));
    Register(153, ConstantWave(1000, 2500));
    ASSERT_TRUE(PlaySoundA(ResourceId(149), Program(), SND_RESOURCE | SND_ASYNC));
    EXPECT_EQ(Heard(), 1500);
    ASSERT_TRUE(PlaySoundA(ResourceId(153), Program(), SND_RESOURCE | SND_ASYNC));
    EXPECT_EQ(Heard(), 2500) << "the first sound stops rather than mixing with the second";
    ASSERT_TRUE(PlaySoundA(nullptr, nullptr, 0));
    EXPECT_EQ(Heard(), 0);
}

TEST_F(PlaySoundTest, ResourcesAreFoundByNameWhateverTheCaseAndWhicheverModule)
{
    Bytes wave = ConstantWave(100, 900);
    YondaRegisterWaveResource(nullptr, "Notify", wave.data(), static_cast<DWORD>(wave.size()));
    EXPECT_TRUE(PlaySoundA("NOTIFY", Program(), SND_RESOURCE | SND_ASYNC));
    EXPECT_EQ(Heard(), 900);
    YondaRegisterWaveResource(nullptr, "Notify", nullptr, 0);
    EXPECT_FALSE(PlaySoundA("NOTIFY", Program(), SND_RESOURCE | SND_ASYNC));
    EXPECT_FALSE(PlaySoundA(ResourceId(152), Program(), SND_RESOURCE | SND_ASYNC));
    EXPECT_EQ(Heard(), 0);
}

TEST_F(PlaySoundTest, OneShotEndsAndLoopingGoesOn)
{
    Register(150, ConstantWave(3, 700));
    ASSERT_TRUE(PlaySoundA(ResourceId(150), Program(), SND_RESOURCE | SND_ASYNC));
    SHORT frames[10];
    ASSERT_TRUE(YondaSoundRender(frames, 5));
    EXPECT_EQ(frames[4], 700);
    EXPECT_EQ(frames[6], 0);
    ASSERT_TRUE(PlaySoundA(ResourceId(150), Program(), SND_RESOURCE | SND_ASYNC | SND_LOOP));
    ASSERT_TRUE(YondaSoundRender(frames, 5));
    EXPECT_EQ(frames[8], 700);
    EXPECT_FALSE(PlaySoundA(ResourceId(150), Program(), SND_RESOURCE | SND_LOOP)) << "looping needs SND_ASYNC";
}

TEST_F(PlaySoundTest, NoStopLeavesThePlayingSoundAlone)
{
    Register(151, ConstantWave(100, 100));
    Register(152, ConstantWave(100, 200));
    ASSERT_TRUE(PlaySoundA(ResourceId(151), Program(), SND_RESOURCE | SND_ASYNC));
    EXPECT_FALSE(PlaySoundA(ResourceId(152), Program(), SND_RESOURCE | SND_ASYNC | SND_NOSTOP));
    EXPECT_EQ(Heard(), 100);
}

TEST_F(PlaySoundTest, FileAndMemoryImagesPlay)
{
    yonda::testing::TempFolder folder("yonda-sound");
    std::string path = folder.Write("effect.wav", ConstantWave(100, 321, 22050)).string();
    ASSERT_TRUE(PlaySoundA(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC));
    EXPECT_EQ(Heard(), 321);
    // Named the platform's way: backslashes and another case.
    std::filesystem::path host(path);
    std::string windowsName = host.parent_path().string() + "\\EFFECT.WAV";
    ASSERT_TRUE(PlaySoundA(windowsName.c_str(), nullptr, SND_FILENAME | SND_ASYNC));
    EXPECT_EQ(Heard(), 321);
    std::filesystem::remove(path);
    EXPECT_FALSE(PlaySoundA(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT));
    EXPECT_EQ(Heard(), 0) << "a sound that fails to start still stops the old one";

    Bytes image = ConstantWave(100, 654);
    ASSERT_TRUE(PlaySoundA(reinterpret_cast<LPCSTR>(image.data()), nullptr, SND_MEMORY | SND_ASYNC));
    EXPECT_EQ(Heard(), 654);
}

TEST_F(PlaySoundTest, SynchronousPlayReturnsWhenTheSoundHasBeenHeard)
{
    Register(149, ConstantWave(300, 50));
    std::atomic<bool> done{false};
    std::thread caller([&] {
        EXPECT_TRUE(PlaySoundA(ResourceId(149), Program(), SND_RESOURCE | SND_SYNC));
        done = true;
    });
    // Render until the caller is back, however late its thread starts; should it never come
    // back, stopping the sound must release it, so the test fails instead of hanging.
    int rendered = 0;
    SHORT frames[200];
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done && std::chrono::steady_clock::now() < deadline) {
        YondaSoundRender(frames, 100);
        rendered += 100;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    EXPECT_TRUE(done.load());
    while (!done) {
        PlaySoundA(nullptr, nullptr, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    caller.join();
    EXPECT_GE(rendered, 300);
}

TEST_F(PlaySoundTest, BrokenWavesFailToOpenAndLeaveSilence)
{
    Bytes good = ConstantWave(10, 1000);
    Bytes truncated(good.begin(), good.end() - 6);
    Bytes data = Chunk("data", Samples16({1, 2}));
    data[4] = 200; // declares 200 bytes, holds 4
    Bytes withData = FormatChunk(1, 1, 44100, 16);
    withData.insert(withData.end(), data.begin(), data.end());
    Bytes longData = Riff("WAVE", withData);
    Bytes zeroChannels = Riff("WAVE", [] {
        Bytes chunks = FormatChunk(1, 0, 44100, 16);
        Bytes d = Chunk("data", Samples16({1, 2}));
        chunks.insert(chunks.end(), d.begin(), d.end());
        return chunks;
    }());
    Bytes floatFormat = Riff("WAVE", [] {
        Bytes chunks = FormatChunk(3, 1, 44100, 32);
        Bytes d = Chunk("data", Samples16({1, 2}));
        chunks.insert(chunks.end(), d.begin(), d.end());
        return chunks;
    }());
    Bytes shortFormat = Riff("WAVE", Chunk("fmt ", Bytes(12, 1)));
    Bytes noData = Riff("WAVE", FormatChunk(1, 1, 44100, 16));
    Bytes notWave = Riff("AVI ", FormatChunk(1, 1, 44100, 16));
    struct Case {
        const char* what;
        Bytes bytes;
    };
    const Case cases[] = {
        {"truncated in the samples", truncated},
        {"data chunk past the end", longData},
        {"zero channels", zeroChannels},
        {"IEEE float samples", floatFormat},
        {"fmt chunk of 12 bytes", shortFormat},
        {"no data chunk", noData},
        {"form not WAVE", notWave},
        {"four bytes", Bytes{'R', 'I', 'F', 'F'}},
    };
    int id = 160;
    for (const Case& c : cases) {
        Register(id, c.bytes);
        EXPECT_FALSE(PlaySoundA(ResourceId(id), Program(), SND_RESOURCE | SND_ASYNC)) << c.what;
        EXPECT_EQ(Heard(), 0) << c.what;
        ++id;
    }
    Register(id, good);
    EXPECT_TRUE(PlaySoundA(ResourceId(id), Program(), SND_RESOURCE | SND_ASYNC));
}
