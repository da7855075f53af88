#pragma once
// What the sound tests share: a home folder of the test's own with a music folder in it, waves
// whose samples tell what is heard, a window for the device and its timer, and the mix read from
// the manual null sink.
#include "ClientGlobals.h"
#include "WaveBytes.h"

#include <afxwin.h>
#include <yonda_sound.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace yonda::soundtest {

using sound::test::Bytes;

// The rate of the output; a source at this rate reaches it sample for sample.
constexpr uint32_t kOutputRate = 44100;

// A mono 16-bit wave whose every sample is `level`.
inline Bytes Tone(int16_t level, uint32_t frames, uint32_t rate = 22050)
{
    return sound::test::Wave(1, rate, 16, sound::test::Samples16(std::vector<int16_t>(frames, level)));
}

// A mono 16-bit wave at the output's rate whose sample i is `start` + i: what is heard tells
// where the sound is.
inline Bytes Ramp(uint32_t frames, int16_t start = 1)
{
    std::vector<int16_t> samples(frames);
    for (uint32_t i = 0; i < frames; ++i) {
        samples[i] = static_cast<int16_t>(start + static_cast<int>(i));
    }
    return sound::test::Wave(1, kOutputRate, 16, sound::test::Samples16(samples));
}

// The next `frames` frames of the mix, left channel (every test sound is mono).
inline std::vector<int16_t> Hear(size_t frames)
{
    std::vector<SHORT> mix(frames * 2);
    YondaSoundRender(mix.data(), static_cast<DWORD>(frames));
    std::vector<int16_t> left(frames);
    for (size_t i = 0; i < frames; ++i) {
        left[i] = mix[i * 2];
    }
    return left;
}

// The level heard now (a short stretch of a constant tone).
inline int16_t LevelNow()
{
    return Hear(64).back();
}

// <temp>/<name>-<pid>/ as the installation folder, holding data/BGM/.
class MusicHome {
public:
    explicit MusicHome(const std::string& name)
        : m_root(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(getpid())))
    {
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root / "data" / "BGM");
        g_strInstallPath = m_root.string().c_str();
    }
    ~MusicHome()
    {
        g_strInstallPath.Empty();
        std::filesystem::remove_all(m_root);
    }
    MusicHome(const MusicHome&) = delete;
    MusicHome& operator=(const MusicHome&) = delete;

    std::filesystem::path Path(const std::string& name) const { return m_root / "data" / "BGM" / name; }
    void Write(const std::string& name, const Bytes& bytes) const
    {
        std::ofstream out(Path(name), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    void WriteText(const std::string& name, const std::string& text) const
    {
        Write(name, Bytes(text.begin(), text.end()));
    }

private:
    std::filesystem::path m_root;
};

// The window a device belongs to; counts the channel's timer ticks.
class SoundWnd : public CWnd {
public:
    SoundWnd() { CreateEx(0, AfxRegisterWndClass(0), "sound", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr); }
    ~SoundWnd() override { DestroyWindow(); }

    int ticks = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER && wParam == 220) {
            ++ticks;
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// Every sound test hears the mix itself, and starts with sound switched on.
class SoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        YondaSoundUseNullSink(TRUE);
        g_bSoundOff = FALSE;
    }
    void TearDown() override { g_bSoundOff = FALSE; }
};

} // namespace yonda::soundtest
