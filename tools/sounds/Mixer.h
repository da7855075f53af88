#pragma once
// Music rendered note by note into one buffer: pitched voices made of sine partials under an
// attack, hold and release, drums made of a falling tone and shaped noise, and a small room
// reverb. A looping buffer wraps everything that runs past its end round to its start, the reverb
// included, so the last bar flows into the first without a seam. Pure arithmetic on doubles and a
// fixed noise seed: the same score gives the same samples on every build.
#include "Synth.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace yonda::sounds {

struct Voice {
    std::vector<Partial> partials; // a decay of 0 holds the partial until the release
    double attack = 0.01;          // seconds, half-cosine rise
    double release = 0.1;          // seconds, half-cosine fall after the held time
    double vibratoRate = 0.0;      // Hz
    double vibratoDepth = 0.0;     // fraction of the frequency
    double vibratoDelay = 0.0;     // seconds before the vibrato fades in
    double chorus = 0.0;           // a second copy of every partial this fraction sharp
};

struct Drum {
    double tone = 0.0;       // Hz of the pitched body at the hit (0: none)
    double toneEnd = 0.0;    // Hz it falls to
    double toneDecay = 20.0; // per second, for its level and its fall
    double toneLevel = 1.0;
    double noiseLevel = 0.0;
    double noiseDecay = 40.0;
    double darkness = 0.0; // 0..1: how much the noise is smoothed
    bool bright = false;   // only the noise's hiss (its differences)
    int bursts = 1;        // a clap is a few quick bursts
    double burstGap = 0.01;
    double length = 0.3;
};

class Mixer {
public:
    Mixer(double seconds, bool loop);

    // A note of `hold` seconds (then its release) at `frequency` Hz.
    void Play(const Voice& voice, double start, double frequency, double hold, double level);
    void Hit(const Drum& drum, double start, double level);
    // Mixes in a room: `wet` of the reverberated sound, `room` its comb feedback (0.7..0.85).
    void Reverb(double wet, double room);

    // 16-bit samples, the loudest at `peak` of full scale. A loop starts at an upward zero
    // crossing next to its first downbeat; anything else starts and ends in silence.
    std::vector<int16_t> Samples(double peak) const;

private:
    void Add(size_t index, double value);
    double Noise();

    std::vector<double> m_mix;
    bool m_loop;
    uint32_t m_noise = 0x2545F491u;
};

// Equal-tempered frequency of a MIDI note number (69 = A4 = 440 Hz).
double NoteFrequency(int midi);

} // namespace yonda::sounds
