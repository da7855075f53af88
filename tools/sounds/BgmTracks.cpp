// The three background tracks: a bright walk over the map, a music-box waltz and a quiet bossa
// for the lobbies. Each is a whole number of bars that loops back to its first.
#include "Instruments.h"
#include "MusicRecipes.h"
#include "Score.h"

namespace yonda::sounds {

namespace {

constexpr double kTrackPeak = 0.6;

// C major at 100 beats a minute, twelve bars of four: marimba tune over a pad, bass, a soft
// piano ripple, kick, rim and shaker.
MusicFile MapTrack()
{
    const Tempo tempo{0.6, 4};
    const std::vector<Bar> bars = {
        {0, {60, 64, 67}, {{0, 76, 1.5}, {1.5, 74, 0.5}, {2, 72, 1}, {3, 67, 1}}},
        {7, {59, 62, 67}, {{0, 71, 1}, {1, 74, 1}, {2, 79, 1.5}, {3.5, 77, 0.5}}},
        {9, {57, 60, 64}, {{0, 76, 1.5}, {1.5, 72, 0.5}, {2, 69, 1}, {3, 72, 1}}},
        {5, {57, 60, 65}, {{0, 69, 1}, {1, 72, 0.5}, {1.5, 77, 1.5}, {3, 76, 0.5}, {3.5, 74, 0.5}}},
        {0, {60, 64, 67}, {{0, 76, 1}, {1, 79, 1}, {2, 84, 1.5}, {3.5, 83, 0.5}}},
        {7, {59, 62, 67}, {{0, 79, 1.5}, {1.5, 74, 0.5}, {2, 71, 1}, {3, 74, 1}}},
        {5, {57, 60, 65}, {{0, 72, 1}, {1, 77, 1}, {2, 81, 1.5}, {3.5, 79, 0.5}}},
        {7, {59, 62, 65}, {{0, 77, 1}, {1, 74, 1}, {2, 71, 2}}},
        {9, {57, 60, 64}, {{0, 72, 0.5}, {0.5, 76, 0.5}, {1, 81, 1.5}, {2.5, 79, 0.5}, {3, 76, 1}}},
        {5, {57, 60, 65}, {{0, 77, 1.5}, {1.5, 76, 0.5}, {2, 72, 1}, {3, 69, 1}}},
        {2, {57, 60, 62, 65}, {{0, 74, 1}, {1, 77, 1}, {2, 81, 1}, {3, 84, 1}}},
        {7, {59, 62, 67}, {{0, 83, 1.5}, {1.5, 81, 0.5}, {2, 79, 1}, {3, 74, 1}}},
    };
    const int count = static_cast<int>(bars.size());
    Mixer mix(tempo.Length(count), true);
    PlayTune(mix, Marimba(), tempo, bars, 0.34);
    PlayPads(mix, Pad(), tempo, bars, 0.07);
    PlayBass(mix, Bass(), tempo, bars, {{0, 0, 1.2}, {1.5, 0, 0.4}, {2, 7, 0.9}, {3, 12, 0.4}, {3.5, 7, 0.4}}, 0.27);
    PlayComp(mix, ElectricPiano(), tempo, bars, {{0.5, 12, 0.4}, {1.5, 12, 0.4}, {2.5, 12, 0.4}, {3.5, 12, 0.4}}, 0.03);
    PlayDrum(mix, Kick(), tempo, count, {0, 2}, 0.25);
    PlayDrum(mix, Rim(), tempo, count, {1, 3}, 0.1);
    PlayDrum(mix, Shaker(), tempo, count, {0, 0.5, 1, 1.5, 2, 2.5, 3, 3.5}, 0.035);
    PlayDrum(mix, Shaker(), tempo, count, {0.5, 1.5, 2.5, 3.5}, 0.02);
    mix.Reverb(0.2, 0.78);
    return {"Bgm_Map.wav", "the map", true, mix.Samples(kTrackPeak)};
}

// F major in three, a beat of 0.4 s, twenty-four bars: oom-pah-pah under a music box.
MusicFile WaltzTrack()
{
    const Tempo tempo{0.4, 3};
    const std::vector<int> F = {65, 69, 72}, Bb = {65, 70, 74}, C7 = {64, 67, 70}, Dm = {65, 69, 74}, Gm = {67, 70, 74};
    const std::vector<Bar> bars = {
        {5, F, {{0, 81, 2}, {2, 84, 1}}},
        {5, F, {{0, 81, 1}, {1, 79, 1}, {2, 77, 1}}},
        {10, Bb, {{0, 86, 2}, {2, 84, 1}}},
        {10, Bb, {{0, 82, 3}}},
        {0, C7, {{0, 79, 1}, {1, 82, 1}, {2, 84, 1}}},
        {0, C7, {{0, 82, 1}, {1, 81, 1}, {2, 79, 1}}},
        {5, F, {{0, 81, 2}, {2, 77, 1}}},
        {5, F, {{0, 77, 3}}},
        {2, Dm, {{0, 81, 2}, {2, 86, 1}}},
        {2, Dm, {{0, 89, 1}, {1, 88, 1}, {2, 86, 1}}},
        {7, Gm, {{0, 82, 2}, {2, 86, 1}}},
        {7, Gm, {{0, 79, 3}}},
        {0, C7, {{0, 76, 1}, {1, 79, 1}, {2, 82, 1}}},
        {0, C7, {{0, 84, 2}, {2, 82, 1}}},
        {5, F, {{0, 81, 1}, {1, 79, 1}, {2, 81, 1}}},
        {5, F, {{0, 77, 3}}},
        {10, Bb, {{0, 74, 1}, {1, 77, 1}, {2, 82, 1}}},
        {10, Bb, {{0, 86, 2}, {2, 84, 1}}},
        {5, F, {{0, 84, 2}, {2, 81, 1}}},
        {2, Dm, {{0, 77, 1}, {1, 81, 1}, {2, 86, 1}}},
        {7, Gm, {{0, 86, 2}, {2, 82, 1}}},
        {0, C7, {{0, 79, 1}, {1, 81, 1}, {2, 82, 1}}},
        {5, F, {{0, 81, 3}}},
        {0, C7, {{0, 79, 1}, {1, 76, 1}, {2, 72, 1}}},
    };
    const int count = static_cast<int>(bars.size());
    Mixer mix(tempo.Length(count), true);
    PlayTune(mix, MusicBox(), tempo, bars, 0.36);
    PlayPads(mix, Pad(), tempo, bars, 0.04);
    // The bass walks root, fifth below, root, fifth below: one note a bar.
    for (int b = 0; b < count; ++b) {
        int note = BassNote(bars[b].root) + 12 - (b % 2 ? 5 : 0);
        mix.Play(Bass(), tempo.At(b, 0), NoteFrequency(note - 12), tempo.beat * 0.9, 0.34);
    }
    PlayComp(mix, ElectricPiano(), tempo, bars, {{1, 0, 0.3}, {2, 0, 0.3}}, 0.07);
    PlayDrum(mix, Kick(), tempo, count, {0}, 0.2);
    PlayDrum(mix, Shaker(), tempo, count, {1, 2}, 0.03);
    mix.Reverb(0.28, 0.8);
    return {"Bgm_Waltz.wav", "lobbies 1 and 3", true, mix.Samples(kTrackPeak)};
}

// G major at 96 beats a minute, twelve bars: seventh chords on a soft piano, bossa bass, rim
// clave and a flute.
MusicFile BossaTrack()
{
    const Tempo tempo{0.625, 4};
    const std::vector<int> Gmaj7 = {55, 59, 62, 66}, Em7 = {55, 59, 62, 64}, Am7 = {57, 60, 64, 67},
                           D7 = {54, 57, 60, 62}, E7 = {56, 59, 62, 64}, Cmaj7 = {55, 59, 60, 64},
                           Bm7 = {54, 57, 59, 62};
    const std::vector<Bar> bars = {
        {7, Gmaj7, {{0, 71, 1.5}, {1.5, 74, 0.5}, {2, 78, 2}}},
        {4, Em7, {{0, 76, 1}, {1, 79, 0.5}, {1.5, 78, 0.5}, {2, 76, 1}, {3, 74, 1}}},
        {9, Am7, {{0, 72, 1.5}, {1.5, 76, 0.5}, {2, 79, 1.5}, {3.5, 81, 0.5}}},
        {2, D7, {{0, 78, 2}, {2, 76, 0.5}, {2.5, 74, 0.5}, {3, 72, 1}}},
        {7, Gmaj7, {{0, 71, 1}, {1, 74, 1}, {2, 79, 1.5}, {3.5, 78, 0.5}}},
        {4, E7, {{0, 76, 1}, {1, 80, 1}, {2, 83, 1.5}, {3.5, 81, 0.5}}},
        {9, Am7, {{0, 84, 1.5}, {1.5, 83, 0.5}, {2, 81, 1}, {3, 76, 1}}},
        {2, D7, {{0, 78, 1.5}, {1.5, 76, 0.5}, {2, 74, 2}}},
        {0, Cmaj7, {{0, 76, 1}, {1, 79, 1}, {2, 83, 2}}},
        {11, Bm7, {{0, 81, 1.5}, {1.5, 78, 0.5}, {2, 74, 2}}},
        {9, Am7, {{0, 72, 1}, {1, 76, 1}, {2, 79, 1}, {3, 81, 1}}},
        {2, D7, {{0, 78, 2}, {2.5, 74, 0.5}, {3, 69, 1}}},
    };
    const int count = static_cast<int>(bars.size());
    Mixer mix(tempo.Length(count), true);
    PlayTune(mix, Flute(), tempo, bars, 0.3);
    PlayPads(mix, Pad(), tempo, bars, 0.035);
    PlayBass(mix, Bass(), tempo, bars, {{0, 0, 1.4}, {1.5, 7, 0.45}, {2, 7, 1.4}, {3.5, 0, 0.45}}, 0.34);
    // The piano pushes the off-beats, differently in every other bar.
    for (int b = 0; b < count; ++b) {
        std::vector<Tone> hits = b % 2 ? std::vector<Tone>{{0.5, 0, 0.8}, {2, 0, 0.4}, {3.5, 0, 0.8}}
                                       : std::vector<Tone>{{0, 0, 1.2}, {1.5, 0, 0.4}, {3, 0, 0.8}};
        for (const Tone& hit : hits)
            for (int note : bars[b].chord)
                mix.Play(ElectricPiano(), tempo.At(b, hit.beat), NoteFrequency(note), hit.beats * tempo.beat, 0.06);
    }
    // The clave: three strokes, then two.
    for (int b = 0; b < count; ++b)
        for (double beat : b % 2 ? std::vector<double>{1, 2} : std::vector<double>{0, 1.5, 3})
            mix.Hit(Rim(), tempo.At(b, beat), 0.12);
    PlayDrum(mix, Kick(), tempo, count, {0, 2}, 0.22);
    PlayDrum(mix, Shaker(), tempo, count, {0, 0.5, 1, 1.5, 2, 2.5, 3, 3.5}, 0.03);
    mix.Reverb(0.26, 0.8);
    return {"Bgm_Bossa.wav", "lobbies 0 and 2", true, mix.Samples(kTrackPeak)};
}

} // namespace

std::vector<MusicFile> BackgroundTracks()
{
    return {MapTrack(), WaltzTrack(), BossaTrack()};
}

std::string PlaylistText(const std::vector<MusicFile>& tracks)
{
    std::string text = "[BGM]\r\nCount = " + std::to_string(tracks.size()) + "\r\n";
    for (size_t i = 0; i < tracks.size(); ++i)
        text += "BGM" + std::to_string(i) + " = " + tracks[i].name + "\r\n";
    return text;
}

} // namespace yonda::sounds
