// The compiled-in effect sounds: each is a well-formed 16-bit PCM RIFF WAVE found the two ways the
// program looks for it, plays through the real mixer (the manual null sink) for as long as its
// data lasts, and is the generator's output byte for byte.
#include "ProgramResources.h"
#include "TempFolder.h"
#include "resource.h"

#include <mmsystem.h>
#include <windows.h>
#include <yonda_sound.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const int kIds[] = {IDR_WAVE_HOVER, IDR_WAVE_CONFIRM, IDR_WAVE_WINDOW_OPEN, IDR_WAVE_NOTICE, IDR_WAVE_PRESS};

uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

uint16_t U16(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

std::vector<uint8_t> ResourceBytes(int id)
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCE(id), "WAVE");
    if (!found) {
        return {};
    }
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
    return std::vector<uint8_t>(bytes, bytes + SizeofResource(nullptr, found));
}

struct Wave {
    uint16_t format = 0, channels = 0, bits = 0, blockAlign = 0;
    uint32_t rate = 0, byteRate = 0;
    std::vector<int16_t> samples;
};

// Walks the chunks the way a RIFF reader must: every size checked against what is there.
bool ParseWave(const std::vector<uint8_t>& b, Wave* wave)
{
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
        std::string(b.begin() + 8, b.begin() + 12) != "WAVE" || U32(b, 4) != b.size() - 8) {
        return false;
    }
    bool haveFormat = false;
    for (size_t at = 12; at + 8 <= b.size();) {
        const std::string id(b.begin() + at, b.begin() + at + 4);
        const uint32_t size = U32(b, at + 4);
        if (size > b.size() - at - 8) {
            return false;
        }
        if (id == "fmt " && size >= 16) {
            wave->format = U16(b, at + 8);
            wave->channels = U16(b, at + 10);
            wave->rate = U32(b, at + 12);
            wave->byteRate = U32(b, at + 16);
            wave->blockAlign = U16(b, at + 20);
            wave->bits = U16(b, at + 22);
            haveFormat = true;
        } else if (id == "data" && haveFormat) {
            for (size_t i = 0; i + 1 < size; i += 2) {
                wave->samples.push_back(static_cast<int16_t>(U16(b, at + 8 + i)));
            }
            return true;
        }
        at += 8 + size + (size & 1);
    }
    return false;
}

int Loudest(const std::vector<int16_t>& samples)
{
    int loudest = 0;
    for (int16_t s : samples) {
        loudest = std::max(loudest, std::abs(static_cast<int>(s)));
    }
    return loudest;
}

class ProgramResourcesTest : public testing::Test {
protected:
    static void SetUpTestSuite() { RegisterProgramResources(); }
    void SetUp() override { YondaSoundUseNullSink(TRUE); }
    void TearDown() override { PlaySoundA(nullptr, nullptr, 0); }
};

} // namespace

TEST_F(ProgramResourcesTest, EverySoundIsAShortSoftPcmWave)
{
    for (int id : kIds) {
        SCOPED_TRACE(id);
        Wave wave;
        ASSERT_TRUE(ParseWave(ResourceBytes(id), &wave));
        EXPECT_EQ(wave.format, 1);
        EXPECT_EQ(wave.channels, 1);
        EXPECT_EQ(wave.bits, 16);
        EXPECT_EQ(wave.blockAlign, 2);
        EXPECT_EQ(wave.byteRate, wave.rate * 2);
        EXPECT_EQ(wave.rate, 22050u);
        const double seconds = static_cast<double>(wave.samples.size()) / wave.rate;
        EXPECT_GT(seconds, 0.03);
        EXPECT_LT(seconds, 0.8);
        // Loud enough to hear, never at full scale, and starting and ending at rest (no clicks).
        const int loudest = Loudest(wave.samples);
        EXPECT_GT(loudest, 32767 / 6);
        EXPECT_LT(loudest, 32767 * 6 / 10);
        EXPECT_LT(std::abs(wave.samples.front()), 200);
        EXPECT_LT(std::abs(wave.samples.back()), 200);
    }
    // The hover tick is the shortest and quietest; the notices ring longest.
    Wave hover, press, notice;
    ParseWave(ResourceBytes(IDR_WAVE_HOVER), &hover);
    ParseWave(ResourceBytes(IDR_WAVE_PRESS), &press);
    ParseWave(ResourceBytes(IDR_WAVE_NOTICE), &notice);
    EXPECT_LT(Loudest(hover.samples), Loudest(press.samples));
    EXPECT_LT(hover.samples.size(), press.samples.size());
    EXPECT_LT(press.samples.size(), notice.samples.size());
}

TEST_F(ProgramResourcesTest, EachSoundPlaysThroughTheMixerForItsLength)
{
    const DWORD outputRate = YondaSoundOutputRate();
    for (int id : kIds) {
        SCOPED_TRACE(id);
        Wave wave;
        ASSERT_TRUE(ParseWave(ResourceBytes(id), &wave));
        ASSERT_TRUE(PlaySoundA(MAKEINTRESOURCE(id), GetModuleHandleA(nullptr), SND_RESOURCE | SND_ASYNC));
        const size_t expected = wave.samples.size() * outputRate / wave.rate;
        std::vector<SHORT> heard((expected + outputRate / 10) * 2);
        ASSERT_TRUE(YondaSoundRender(heard.data(), static_cast<DWORD>(heard.size() / 2)));
        size_t last = 0;
        int loudest = 0;
        for (size_t frame = 0; frame < heard.size() / 2; ++frame) {
            EXPECT_EQ(heard[frame * 2], heard[frame * 2 + 1]) << "mono on both sides";
            if (heard[frame * 2] != 0) {
                last = frame;
            }
            loudest = std::max(loudest, std::abs(static_cast<int>(heard[frame * 2])));
        }
        EXPECT_NEAR(static_cast<double>(last), static_cast<double>(expected), outputRate * 0.01);
        EXPECT_NEAR(loudest, Loudest(wave.samples), Loudest(wave.samples) / 20);
    }
}

TEST_F(ProgramResourcesTest, TheResourcesAreTheGeneratorsOutputEveryTime)
{
    const char* binary = std::getenv("YONDA_BINARY_DIR");
    ASSERT_TRUE(binary);
    const yonda::testing::TempFolder temp("yonda-sounds");
    const fs::path out = temp / "sounds";
    const std::string command = (fs::path(binary) / "bin" / "yonda-soundgen").string() + " " + out.string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (int id : kIds) {
        std::ifstream in(out / (std::to_string(id) + ".wav"), std::ios::binary);
        const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(file, ResourceBytes(id)) << id;
    }
    // Registering again replaces the entries; the sounds still play.
    RegisterProgramResources();
    EXPECT_TRUE(PlaySoundA(MAKEINTRESOURCE(IDR_WAVE_PRESS), nullptr, SND_RESOURCE | SND_ASYNC));
}
