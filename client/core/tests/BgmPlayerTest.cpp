// The background music as the member hears it: the player and its channel over the real
// DirectSound of the platform, the mix read from the manual null sink.
#include "BgmPlayer.h"
#include "SoundTestSupport.h"

#include <ProgramResources.h>
#include <ToolkitShared.h>
#include <resource.h>
#include <yonda_capture.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace yonda::soundtest {
namespace {

constexpr int16_t kLevels[] = {1000, 2000, 3000};

class BgmPlayerTest : public SoundTest {
protected:
    void SetUp() override
    {
        SoundTest::SetUp();
        for (int i = 0; i < 3; ++i) {
            home.Write("Track" + std::to_string(i) + ".wav", Tone(kLevels[i], 22050));
        }
        home.WriteText("bgm.ini",
                       "[BGM]\r\nCount = 3\r\nBGM0 = Track0.wav\r\nBGM1 = Track1.wav\r\nBGM2 = Track2.wav\r\n");
        ASSERT_TRUE(player.InitSound(&wnd));
        ASSERT_TRUE(player.LoadPlaylist("bgm.ini"));
    }

    MusicHome home{"yonda-bgm"};
    SoundWnd wnd;
    CBgmPlayer player;
};

TEST_F(BgmPlayerTest, TrackNumbersAreClampedToThePlaylist)
{
    EXPECT_EQ(player.GetTrackCount(), 3);
    EXPECT_TRUE(player.PlayTrack(99));
    EXPECT_EQ(LevelNow(), 3000);
    EXPECT_TRUE(player.PlayTrack(-1));
    EXPECT_EQ(LevelNow(), 1000);
    EXPECT_TRUE(player.PlayTrack(1));
    EXPECT_EQ(LevelNow(), 2000);
    EXPECT_STREQ(player.GetTrack(7), "Track2.wav");
}

TEST_F(BgmPlayerTest, OnlyWaveNamesPlayInAnyCase)
{
    home.Write("LOUD.WAV", Tone(4000, 22050));
    home.Write("loud.mp3", Tone(4000, 22050)); // a wave, but not by its name
    EXPECT_TRUE(player.PlayFile("LOUD.WAV", TRUE));
    EXPECT_EQ(LevelNow(), 4000);
    // A name that does not play still stops what played.
    EXPECT_FALSE(player.PlayFile("loud.mp3", TRUE));
    EXPECT_EQ(LevelNow(), 0);
    EXPECT_FALSE(player.GetChannel().IsPlaying());
    EXPECT_FALSE(player.PlayFile("av", TRUE));
}

TEST_F(BgmPlayerTest, TracksLoopAndEffectsPlayOnce)
{
    home.Write("pfRight.wav", Tone(500, 2205));
    ASSERT_TRUE(player.PlayTrack(0));
    // Two seconds of a one-second track: still playing, still heard.
    Hear(2 * kOutputRate);
    EXPECT_EQ(LevelNow(), 1000);
    // An effect replaces the music, plays once and ends.
    ASSERT_TRUE(player.PlayFile("pfRight.wav", FALSE));
    EXPECT_EQ(LevelNow(), 500);
    Hear(kOutputRate / 10);
    EXPECT_EQ(LevelNow(), 0);
    EXPECT_FALSE(player.GetChannel().IsPlaying());
}

TEST_F(BgmPlayerTest, MuteSilencesAndUnmuteBringsTheMusicBack)
{
    EXPECT_FALSE(player.IsMuted()) << "nothing to be muted yet";
    ASSERT_TRUE(player.PlayTrack(2));
    player.SetMute(TRUE);
    EXPECT_TRUE(player.IsMuted());
    EXPECT_EQ(LevelNow(), 0);
    EXPECT_TRUE(player.GetChannel().IsPlaying()) << "muted music goes on playing";
    player.SetMute(FALSE);
    EXPECT_FALSE(player.IsMuted());
    EXPECT_EQ(LevelNow(), 3000);
}

TEST_F(BgmPlayerTest, SoundOffPlaysNothingAndMuteWithNothingPlayingStartsTheTrack)
{
    g_bSoundOff = TRUE;
    EXPECT_FALSE(player.PlayTrack(1));
    EXPECT_FALSE(player.PlayFile("Track0.wav", TRUE));
    player.SetMute(FALSE);
    EXPECT_EQ(LevelNow(), 0);
    EXPECT_FALSE(player.GetChannel().IsPlaying());
    // With sound back on, muting what does not play starts the current track, audibly.
    g_bSoundOff = FALSE;
    player.SetMute(TRUE);
    EXPECT_FALSE(player.IsMuted());
    EXPECT_EQ(LevelNow(), 2000);
}

TEST_F(BgmPlayerTest, BrokenMusicIsSkippedWithoutAWord)
{
    YondaMessageBoxCapture boxes;
    home.Write("Track1.wav", Bytes{'R', 'I', 'F', 'F', 0xFF, 0xFF, 0xFF, 0x7F, 'W', 'A', 'V', 'E'});
    // The header promises two seconds of samples; the file ends after a tenth.
    Bytes cut = Tone(3000, 44100);
    cut.resize(44 + 4410);
    home.Write("Track2.wav", cut);
    std::filesystem::remove(home.Path("Track0.wav"));
    for (int track : {0, 1, 2}) {
        EXPECT_FALSE(player.PlayTrack(track)) << track;
        EXPECT_EQ(LevelNow(), 0);
    }
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(BgmPlayerTest, PlaylistsMissingOrBrokenLeaveNoTracks)
{
    RegisterProgramResources();
    YondaMessageBoxCapture boxes;
    EXPECT_FALSE(player.LoadPlaylist("none.ini"));
    EXPECT_EQ(player.GetTrackCount(), 0);
    EXPECT_FALSE(player.PlayTrack(0));
    CString format;
    format.LoadString(IDS_FILE_NOT_FOUND);
    const CString path = g_strInstallPath + "\\data\\BGM\\none.ini";
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(boxes.Texts()[0], std::string(ToolkitFormatText(format, path)));
    EXPECT_NE(boxes.Texts()[0].find(path), std::string::npos);

    // Keys that are missing are empty names, which never play.
    home.WriteText("gaps.ini", "[BGM]\nCount = 3\nBGM2 = Track2.wav\n");
    ASSERT_TRUE(player.LoadPlaylist("gaps.ini"));
    EXPECT_EQ(player.GetTrackCount(), 3);
    EXPECT_FALSE(player.PlayTrack(0));
    EXPECT_TRUE(player.PlayTrack(5));

    home.WriteText("huge.ini", "[BGM]\nCount = 2147483647\nBGM0 = Track0.wav\n");
    ASSERT_TRUE(player.LoadPlaylist("huge.ini"));
    EXPECT_EQ(player.GetTrackCount(), CBgmPlayer::kMaxTracks);
    home.Write("junk.ini", Bytes{0, 0xFF, '[', 'B', 'G', 'M', 0, '\n', 'C', 'o', 'u', 'n', 't', '=', '-', '5'});
    ASSERT_TRUE(player.LoadPlaylist("junk.ini"));
    EXPECT_EQ(player.GetTrackCount(), 0);
    EXPECT_EQ(boxes.Texts().size(), 1u);
}

// The GUI thread changes tracks and mutes, the render worker plays the party game's effects and
// the game's own thread restarts them, while the output mixes: one lock keeps the sound whole.
TEST_F(BgmPlayerTest, ThreadsShareThePlayer)
{
    home.Write("pfWrong.wav", Tone(600, 441));
    std::atomic<bool> mixing{true};
    std::thread output([&] {
        while (mixing) {
            Hear(256);
        }
    });
    auto worker = [&](int seed) {
        unsigned state = static_cast<unsigned>(seed);
        for (int i = 0; i < 300; ++i) {
            state = state * 1103515245u + 12345u;
            switch ((state >> 16) % 5) {
            case 0: player.PlayTrack(static_cast<int>(state % 4)); break;
            case 1: player.SetMute((state & 1) != 0); break;
            case 2: player.PlayFile("pfWrong.wav", FALSE); break;
            case 3: player.GetChannel().Stop(); break;
            default: player.IsMuted(); break;
            }
        }
    };
    std::thread gui(worker, 1);
    std::thread render(worker, 2);
    std::thread game(worker, 3);
    gui.join();
    render.join();
    game.join();
    mixing = false;
    output.join();
    ASSERT_TRUE(player.PlayTrack(1));
    EXPECT_EQ(LevelNow(), 2000);
}

TEST_F(BgmPlayerTest, ReleasedSoundIsQuiet)
{
    ASSERT_TRUE(player.PlayTrack(0));
    player.ReleaseSound();
    EXPECT_EQ(LevelNow(), 0);
    EXPECT_FALSE(player.PlayTrack(0));
    player.SetMute(TRUE);
    EXPECT_FALSE(player.IsMuted());
}

// The music the build synthesised into the program's home folder: the tracks through the playlist
// the program reads, the cues by their names.
TEST_F(SoundTest, TheGeneratedMusicLoopsItsTracksAndPlaysItsCuesOnce)
{
    const char* binary = std::getenv("YONDA_BINARY_DIR");
    g_strInstallPath = (std::filesystem::path(binary ? binary : ".") / "yonda").string().c_str();
    SoundWnd wnd;
    CBgmPlayer player;
    ASSERT_TRUE(player.InitSound(&wnd));
    ASSERT_TRUE(player.LoadPlaylist("bgm.ini"));
    ASSERT_GE(player.GetTrackCount(), 3);
    for (int track = 0; track < player.GetTrackCount(); ++track) {
        const CString name = player.GetTrack(track);
        CWaveReader wave;
        ASSERT_EQ(wave.Open(g_strInstallPath + "\\data\\BGM\\" + name), S_OK) << name;
        const WAVEFORMATEX& format = *wave.GetFormat();
        const size_t frames = size_t{wave.GetSize()} / format.nBlockAlign * kOutputRate / format.nSamplesPerSec;
        ASSERT_EQ(kOutputRate % format.nSamplesPerSec, 0u) << "the output takes every sample of " << name;

        ASSERT_TRUE(player.PlayTrack(track)) << name;
        const std::vector<int16_t> pass = Hear(frames);
        double energy = 0;
        for (int16_t sample : pass) {
            energy += double(sample) * sample;
        }
        EXPECT_GT(std::sqrt(energy / double(frames)), 300.0) << name << " is heard";
        // The track goes on from its start, sample for sample.
        EXPECT_TRUE(player.GetChannel().IsPlaying()) << name;
        const std::vector<int16_t> again = Hear(kOutputRate / 10);
        EXPECT_TRUE(std::equal(again.begin(), again.end(), pass.begin())) << name << " loops";

        player.SetMute(TRUE);
        EXPECT_EQ(LevelNow(), 0);
        player.SetMute(FALSE);
        EXPECT_NE(Hear(kOutputRate / 10), std::vector<int16_t>(kOutputRate / 10, 0)) << name;
    }
    // The party game's and the chat's effects replace the music and end by themselves.
    for (const char* cue : {"pfRight.wav", "pfWrong.wav", "pfCongr.wav", "korea.wav"}) {
        ASSERT_TRUE(player.PlayFile(cue, FALSE)) << cue;
        Hear(10 * kOutputRate);
        EXPECT_FALSE(player.GetChannel().IsPlaying()) << cue;
    }
    // The splash's opening, by the name it uses, plays once on a channel of its own.
    CMusicChannel opening;
    ASSERT_TRUE(opening.Init(&wnd));
    ASSERT_TRUE(opening.Open(g_strInstallPath + "\\data\\bgm\\Yonda_Opening.wav"));
    ASSERT_EQ(opening.Play(FALSE), S_OK);
    EXPECT_NE(Hear(kOutputRate), std::vector<int16_t>(kOutputRate, 0));
    Hear(10 * kOutputRate);
    EXPECT_FALSE(opening.IsPlaying());
    g_strInstallPath.Empty();
}

} // namespace
} // namespace yonda::soundtest
