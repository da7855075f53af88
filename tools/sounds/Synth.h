#pragma once
// Short effect sounds built from notes: each note a few sine partials with their own decay under
// a soft attack, mixed into one buffer and brought to a set peak. Pure arithmetic on doubles, so
// the same recipe gives the same samples on every build.
#include <cstdint>
#include <vector>

namespace yonda::sounds {

constexpr int kSampleRate = 22050;

struct Partial {
    double ratio = 1.0; // of the note's frequency
    double level = 1.0;
    double decay = 10.0; // per second: the level falls by e every 1/decay seconds
};

struct Note {
    double start = 0.0; // seconds into the sound
    double frequency = 440.0;
    double glide = 0.0;    // the frequency moves by this factor over the note (0: steady)
    double length = 0.2;   // seconds until the note has faded out completely
    double attack = 0.004; // seconds of rise, shaped as half a cosine so it never clicks
    double level = 1.0;
    std::vector<Partial> partials;
};

// Mixes the notes, fades the last milliseconds to silence and scales the loudest sample to
// `peak` (0..1 of full scale). Samples are 16-bit mono at kSampleRate.
std::vector<int16_t> Render(const std::vector<Note>& notes, double peak);

} // namespace yonda::sounds
