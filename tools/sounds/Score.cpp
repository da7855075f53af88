#include "Score.h"

namespace yonda::sounds {

int BassNote(int root)
{
    return 36 + root % 12;
}

void PlayTune(Mixer& mix, const Voice& voice, const Tempo& tempo, const std::vector<Bar>& bars, double level)
{
    // Each note lets go a little before its time is up, so repeated notes are heard apart.
    for (int b = 0; b < static_cast<int>(bars.size()); ++b)
        for (const Tone& t : bars[b].tune)
            mix.Play(voice, tempo.At(b, t.beat), NoteFrequency(t.midi), t.beats * tempo.beat * 0.92, level);
}

void PlayPads(Mixer& mix, const Voice& voice, const Tempo& tempo, const std::vector<Bar>& bars, double level)
{
    for (int b = 0; b < static_cast<int>(bars.size()); ++b)
        for (int note : bars[b].chord)
            mix.Play(voice, tempo.At(b, 0), NoteFrequency(note), tempo.Length(1) - 0.1, level);
}

void PlayComp(Mixer& mix, const Voice& voice, const Tempo& tempo, const std::vector<Bar>& bars,
              const std::vector<Tone>& hits, double level)
{
    for (int b = 0; b < static_cast<int>(bars.size()); ++b)
        for (const Tone& hit : hits)
            for (int note : bars[b].chord)
                mix.Play(voice, tempo.At(b, hit.beat), NoteFrequency(note + hit.midi), hit.beats * tempo.beat, level);
}

void PlayBass(Mixer& mix, const Voice& voice, const Tempo& tempo, const std::vector<Bar>& bars,
              const std::vector<Tone>& pattern, double level)
{
    for (int b = 0; b < static_cast<int>(bars.size()); ++b)
        for (const Tone& t : pattern)
            mix.Play(voice, tempo.At(b, t.beat), NoteFrequency(BassNote(bars[b].root) + t.midi), t.beats * tempo.beat,
                     level);
}

void PlayDrum(Mixer& mix, const Drum& drum, const Tempo& tempo, int bars, const std::vector<double>& beats,
              double level)
{
    for (int b = 0; b < bars; ++b)
        for (double beat : beats)
            mix.Hit(drum, tempo.At(b, beat), level);
}

} // namespace yonda::sounds
