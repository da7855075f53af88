#pragma once
// Writing music in bars and beats: a tempo turns them into seconds, chords and lines are lists of
// MIDI notes, and a bass note is its chord's root in the second octave.
#include "Mixer.h"

#include <vector>

namespace yonda::sounds {

struct Tempo {
    double beat = 0.5; // seconds
    int perBar = 4;

    double At(int bar, double beats) const { return (bar * perBar + beats) * beat; }
    double Length(int bars) const { return bars * perBar * beat; }
};

// One note of a line: where in the bar (in beats), which MIDI note, for how many beats.
struct Tone {
    double beat;
    int midi;
    double beats;
};

struct Bar {
    int root;               // pitch class of the chord (0 = C)
    std::vector<int> chord; // the voicing, MIDI notes
    std::vector<Tone> tune; // the melody in this bar
};

// The chord's root between C2 and B2.
int BassNote(int root);

// Every note of a line of bars.
void PlayTune(Mixer& mix, const Voice& voice, const Tempo& tempo, const std::vector<Bar>& bars, double level);
// Each bar's chord held through the bar.
void PlayPads(Mixer& mix, const Voice& voice, const Tempo& tempo, const std::vector<Bar>& bars, double level);
// Each bar's chord struck at the given beats for the given number of beats, each hit's MIDI
// number read as a transposition (12: an octave up).
void PlayComp(Mixer& mix, const Voice& voice, const Tempo& tempo, const std::vector<Bar>& bars,
              const std::vector<Tone>& hits, double level);
// A bass line: per bar the same pattern, each tone's MIDI number read as steps above the root.
void PlayBass(Mixer& mix, const Voice& voice, const Tempo& tempo, const std::vector<Bar>& bars,
              const std::vector<Tone>& pattern, double level);
// A drum on the given beats of every bar.
void PlayDrum(Mixer& mix, const Drum& drum, const Tempo& tempo, int bars, const std::vector<double>& beats,
              double level);

} // namespace yonda::sounds
