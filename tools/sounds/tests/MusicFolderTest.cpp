// The music folder read back: the playlist as the program's ini reader takes it, every wave
// through the platform's RIFF reader from the built home folder, loops that join without a seam,
// cues that start and end in silence, and the same bytes from every run.
#include "MusicRecipes.h"
#include "Synth.h"

#include <mmsystem.h>
#include <windows.h>
#include <yonda_platform.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace yonda::sounds {
namespace {

std::filesystem::path BuiltFolder()
{
    const char* build = std::getenv("YONDA_BINARY_DIR");
    return std::filesystem::path(build ? build : ".") / "yonda" / "Data" / "BGM";
}

// The folder as the build wrote it (making it takes a while in a sanitizer build, so only the
// determinism case makes it again).
const std::map<std::string, std::vector<uint8_t>>& Files()
{
    static const std::map<std::string, std::vector<uint8_t>> files = [] {
        std::map<std::string, std::vector<uint8_t>> read;
        for (const auto& entry : std::filesystem::directory_iterator(BuiltFolder())) {
            std::ifstream in(entry.path(), std::ios::binary);
            read[entry.path().filename().string()] =
                std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        }
        return read;
    }();
    return files;
}

// The folder as the program names it: "<home>\data\BGM\", resolved without regard to case.
std::string MusicFolder()
{
    const char* build = std::getenv("YONDA_BINARY_DIR");
    std::string folder = std::string(build ? build : ".") + "/yonda/data/bgm/";
    std::replace(folder.begin(), folder.end(), '/', '\\');
    return folder;
}

// "Key = Value" lines under "[Section]" headers, as the program's ini reader takes them.
std::map<std::string, std::string> IniSection(const std::string& text, const std::string& section)
{
    std::map<std::string, std::string> values;
    std::istringstream in(text);
    std::string line, current;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            current = line.substr(1, line.size() - 2);
            continue;
        }
        size_t equals = line.find(" = ");
        if (current == section && equals != std::string::npos)
            values[line.substr(0, equals)] = line.substr(equals + 3);
    }
    return values;
}

std::vector<std::string> Playlist()
{
    const auto& bytes = Files().at("bgm.ini");
    auto values = IniSection(std::string(bytes.begin(), bytes.end()), "BGM");
    std::vector<std::string> tracks;
    int count = std::atoi(values["Count"].c_str());
    for (int i = 0; i < count; ++i)
        tracks.push_back(values["BGM" + std::to_string(i)]);
    return tracks;
}

struct Wave {
    PCMWAVEFORMAT format{};
    std::vector<int16_t> samples;
};

// Through the platform's RIFF reader, the way the program's wave reader walks the chunks.
bool ReadWave(const std::string& path, Wave& wave)
{
    std::string name = path;
    HMMIO file = mmioOpen(name.data(), nullptr, MMIO_READ | MMIO_ALLOCBUF);
    if (!file)
        return false;
    MMCKINFO riff{};
    bool ok = mmioDescend(file, &riff, nullptr, 0) == 0 && riff.ckid == FOURCC_RIFF &&
              riff.fccType == mmioFOURCC('W', 'A', 'V', 'E');
    MMCKINFO chunk{};
    chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
    ok = ok && mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) == 0 && chunk.cksize >= sizeof(PCMWAVEFORMAT);
    ok = ok && mmioRead(file, reinterpret_cast<HPSTR>(&wave.format), sizeof wave.format) == sizeof wave.format;
    ok = ok && mmioAscend(file, &chunk, 0) == 0;
    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    ok = ok && mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) == 0;
    if (ok) {
        wave.samples.resize(chunk.cksize / 2);
        LONG size = static_cast<LONG>(chunk.cksize);
        ok = mmioRead(file, reinterpret_cast<HPSTR>(wave.samples.data()), size) == size;
    }
    mmioClose(file, 0);
    return ok;
}

std::vector<int16_t> Samples(const std::string& name)
{
    const auto& bytes = Files().at(name);
    std::vector<int16_t> samples((bytes.size() - 44) / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(bytes[44 + 2 * i] | bytes[45 + 2 * i] << 8);
    return samples;
}

double Seconds(const std::vector<int16_t>& samples)
{
    return static_cast<double>(samples.size()) / kSampleRate;
}

double Rms(const std::vector<int16_t>& s, size_t from, size_t to)
{
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += static_cast<double>(s[i]) * s[i];
    return std::sqrt(sum / static_cast<double>(to - from)) / 32768.0;
}

const std::vector<std::string> kCues = {"Yonda_Opening.wav", "pfRight.wav", "pfWrong.wav", "pfCongr.wav", "korea.wav"};

TEST(MusicFolder, ThePlaylistNamesThreeTracksOfTheFolder)
{
    std::vector<std::string> tracks = Playlist();
    ASSERT_GE(tracks.size(), 3u) << "the map and the lobbies each have their own";
    for (const std::string& track : tracks) {
        EXPECT_TRUE(Files().count(track)) << track;
        ASSERT_GT(track.size(), 3u);
        EXPECT_EQ(track.substr(track.size() - 3), "wav") << "only waves are played";
    }
    for (const std::string& cue : kCues)
        EXPECT_TRUE(Files().count(cue)) << cue;
    size_t total = 0;
    for (const auto& [name, bytes] : Files())
        total += bytes.size();
    EXPECT_LT(total, 5u << 20) << "every file is loaded whole";
}

TEST(MusicFolder, EveryWaveReadsBackThroughThePlatformAsSixteenBitMono)
{
    for (const auto& [name, bytes] : Files()) {
        if (name == "bgm.ini")
            continue;
        SCOPED_TRACE(name);
        Wave wave;
        ASSERT_TRUE(ReadWave(MusicFolder() + name, wave)) << MusicFolder() + name;
        EXPECT_EQ(wave.format.wf.wFormatTag, WAVE_FORMAT_PCM);
        EXPECT_EQ(wave.format.wf.nChannels, 1);
        EXPECT_EQ(wave.format.wf.nSamplesPerSec, static_cast<DWORD>(kSampleRate));
        EXPECT_EQ(wave.format.wBitsPerSample, 16);
        EXPECT_EQ(wave.format.wf.nBlockAlign, 2);
        EXPECT_EQ(wave.format.wf.nAvgBytesPerSec, static_cast<DWORD>(kSampleRate) * 2);
        // The data chunk holds exactly the samples made, and the file is the one generated.
        EXPECT_EQ(wave.samples, Samples(name));
    }
    // The playlist the program reads is the one made here.
    std::string ini = MusicFolder() + "BGM.INI";
    FILE* file = YondaOpenFile(ini.c_str(), "rb");
    ASSERT_NE(file, nullptr) << ini;
    std::vector<uint8_t> bytes(4096);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    EXPECT_EQ(bytes, Files().at("bgm.ini"));
}

TEST(MusicFolder, TracksLoopWithoutASeamAndKeepPlaying)
{
    for (const std::string& track : Playlist()) {
        SCOPED_TRACE(track);
        std::vector<int16_t> s = Samples(track);
        EXPECT_GE(Seconds(s), 20.0);
        EXPECT_LE(Seconds(s), 40.0);
        // The loop starts on an upward zero crossing, so its last sample leads into its first.
        EXPECT_GE(s.front(), 0);
        EXPECT_LE(s.back(), 0);
        EXPECT_LT(std::abs(s.front()), 1200);
        EXPECT_LT(std::abs(s.back()), 1200);
        // The join is no bigger a step than the music takes anywhere else.
        std::vector<int> steps;
        for (size_t i = 1; i < s.size(); ++i)
            steps.push_back(std::abs(s[i] - s[i - 1]));
        std::sort(steps.begin(), steps.end());
        EXPECT_LE(std::abs(s.front() - s.back()), steps[steps.size() * 999 / 1000]);
        // Never silent for a second, never too loud, never clipped.
        for (size_t from = 0; from + kSampleRate <= s.size(); from += kSampleRate)
            EXPECT_GT(Rms(s, from, from + kSampleRate), 0.01) << "second " << from / kSampleRate;
        int peak = 0;
        for (int16_t v : s)
            peak = std::max(peak, std::abs(static_cast<int>(v)));
        EXPECT_LT(peak, 32000);
        EXPECT_GT(Rms(s, 0, s.size()), 0.04);
    }
}

TEST(MusicFolder, CuesStartAndEndInSilenceAndFitWhereTheyPlay)
{
    for (const std::string& cue : kCues) {
        SCOPED_TRACE(cue);
        std::vector<int16_t> s = Samples(cue);
        ASSERT_GT(s.size(), 100u);
        EXPECT_LE(std::abs(s.front()), 2);
        EXPECT_LE(std::abs(s.back()), 2);
        EXPECT_GT(Rms(s, 0, s.size()), 0.02);
        if (cue != "Yonda_Opening.wav") {
            EXPECT_LE(Seconds(s), 3.0) << "a cue interrupts the music only briefly";
        }
    }
    // The splash waits for the opening to end: the member's whole wait after logging in.
    double opening = Seconds(Samples("Yonda_Opening.wav"));
    EXPECT_GE(opening, 1.0);
    EXPECT_LE(opening, 2.0);
    EXPECT_LE(Seconds(Samples("pfRight.wav")), 1.0) << "a step's sound is over before the next step";
    EXPECT_LE(Seconds(Samples("pfWrong.wav")), 1.0);
}

TEST(MusicFolder, ARunWritesTheSameBytesAsTheBuildsRun)
{
    auto again = MusicFolderFiles();
    ASSERT_EQ(again.size(), Files().size()) << "the folder holds what the generator makes, and nothing else";
    for (const auto& [name, bytes] : Files())
        EXPECT_TRUE(again.count(name) && again.at(name) == bytes) << name;
}

} // namespace
} // namespace yonda::sounds
