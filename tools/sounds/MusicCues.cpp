// The short pieces of the music folder: the splash's opening, the party game's right, wrong and
// congratulations, and the cheer a chat line can set off. Each starts and ends in silence.
#include "Instruments.h"
#include "MusicRecipes.h"

#include <array>

namespace yonda::sounds {

namespace {

void Notes(Mixer& mix, const Voice& voice, const std::vector<std::array<double, 3>>& notes, double level)
{
    // start second, MIDI note, held seconds
    for (const auto& [start, midi, hold] : notes)
        mix.Play(voice, start, NoteFrequency(static_cast<int>(midi)), hold, level);
}

// The splash: a marimba run up to a chime over a swelling chord, done in a second and a half
// (the splash waits for its end, so it is the whole of the member's wait after logging in).
MusicFile Opening()
{
    Mixer mix(1.5, false);
    Notes(mix, Pad(), {{0.0, 48, 1.0}, {0.0, 60, 1.0}, {0.0, 64, 1.0}, {0.0, 67, 1.0}, {0.0, 74, 1.0}}, 0.09);
    Notes(mix, Marimba(), {{0.0, 72, 0.15}, {0.08, 76, 0.15}, {0.16, 79, 0.15}, {0.24, 84, 0.15}, {0.32, 88, 0.2}},
          0.32);
    Notes(mix, MusicBox(), {{0.45, 76, 0.12}, {0.55, 79, 0.12}, {0.65, 84, 0.6}}, 0.42);
    Notes(mix, Bell(), {{0.65, 96, 0.5}, {0.75, 91, 0.4}}, 0.12);
    Notes(mix, Bass(), {{0.0, 48, 0.6}, {0.65, 36, 0.6}}, 0.4);
    mix.Hit(Tom(), 0.65, 0.25);
    mix.Reverb(0.3, 0.8);
    return {"Yonda_Opening.wav", "the splash's opening music", false, mix.Samples(0.6)};
}

// A right step on the board: two quick bars a fifth apart and a glint.
MusicFile Right()
{
    Mixer mix(0.55, false);
    Notes(mix, Marimba(), {{0.0, 79, 0.12}, {0.07, 86, 0.3}}, 0.5);
    Notes(mix, Bell(), {{0.07, 91, 0.25}}, 0.12);
    mix.Reverb(0.15, 0.7);
    return {"pfRight.wav", "a right step in the party game", false, mix.Samples(0.5)};
}

// A wrong step: two hollow notes falling.
MusicFile Wrong()
{
    Mixer mix(0.6, false);
    Notes(mix, Buzz(), {{0.0, 63, 0.12}, {0.16, 58, 0.26}}, 0.5);
    mix.Hit(Tom(), 0.16, 0.25);
    mix.Reverb(0.12, 0.7);
    return {"pfWrong.wav", "a wrong step in the party game", false, mix.Samples(0.45)};
}

// The goal reached: a horn call, a chord and bells.
MusicFile Congratulations()
{
    Mixer mix(2.9, false);
    Notes(mix, Brass(),
          {{0.0, 67, 0.11},
           {0.16, 67, 0.11},
           {0.32, 67, 0.11},
           {0.48, 72, 0.42},
           {1.0, 72, 0.12},
           {1.16, 76, 0.12},
           {1.32, 79, 1.0}},
          0.3);
    Notes(mix, Brass(), {{1.32, 60, 1.0}, {1.32, 64, 1.0}, {1.32, 67, 1.0}}, 0.12);
    Notes(mix, Bell(), {{1.32, 84, 0.5}, {1.4, 88, 0.5}, {1.48, 91, 0.5}, {1.56, 96, 0.8}}, 0.14);
    Notes(mix, Bass(), {{0.48, 36, 0.4}, {1.32, 36, 1.0}}, 0.4);
    for (double at : {0.0, 0.16, 0.32, 0.48, 1.32})
        mix.Hit(Tom(), at, 0.3);
    mix.Reverb(0.25, 0.8);
    return {"pfCongr.wav", "the party game won", false, mix.Samples(0.55)};
}

// The stadium cheer: a horn calls the four syllables with a drum under each, the crowd claps
// twice and three times.
MusicFile Cheer()
{
    Mixer mix(2.6, false);
    const std::vector<std::array<double, 3>> call = {
        {0.0, 72, 0.36}, {0.45, 69, 0.12}, {0.6, 69, 0.12}, {0.75, 72, 0.3}};
    Notes(mix, Brass(), call, 0.3);
    for (const auto& note : call)
        mix.Hit(Tom(), note[0], 0.45);
    for (double at : {1.25, 1.55, 1.85, 2.0, 2.15}) {
        mix.Hit(Clap(), at, 0.5);
        mix.Hit(Tom(), at, 0.25);
    }
    mix.Reverb(0.25, 0.78);
    return {"korea.wav", "the cheer a chat line sets off", false, mix.Samples(0.55)};
}

} // namespace

std::vector<MusicFile> MusicCues()
{
    return {Opening(), Right(), Wrong(), Congratulations(), Cheer()};
}

} // namespace yonda::sounds
