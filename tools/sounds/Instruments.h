#pragma once
// The music's instruments, one family with the effect sounds: soft attacks, few partials, nothing
// that shrieks on small speakers.
#include "Mixer.h"

namespace yonda::sounds {

Voice Pad();           // string pad: slow swell, gently detuned
Voice Bass();          // round plucked bass
Voice Marimba();       // wooden bars, the fourth partial of a tuned marimba
Voice MusicBox();      // small steel comb: bright, long ring
Voice ElectricPiano(); // soft tine piano for chords
Voice Flute();         // breathy lead with delayed vibrato
Voice Brass();         // warm horn for fanfares
Voice Bell();          // glockenspiel sparkle
Voice Buzz();          // hollow square-ish tone for a wrong answer

Drum Kick();
Drum Rim();
Drum Shaker();
Drum Clap();
Drum Tom();

} // namespace yonda::sounds
