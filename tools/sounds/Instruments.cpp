#include "Instruments.h"

namespace yonda::sounds {

Voice Pad()
{
    Voice v;
    v.partials = {{1.0, 1.0, 0.0}, {2.0, 0.45, 0.0}, {3.0, 0.22, 0.3}, {4.0, 0.12, 0.6}, {5.0, 0.06, 0.9}};
    v.attack = 0.35;
    v.release = 0.6;
    v.vibratoRate = 4.3;
    v.vibratoDepth = 0.0015;
    v.chorus = 0.004;
    return v;
}

Voice Bass()
{
    Voice v;
    v.partials = {{1.0, 1.0, 1.8}, {2.0, 0.4, 4.0}, {3.0, 0.15, 7.0}, {4.0, 0.05, 10.0}};
    v.attack = 0.008;
    v.release = 0.08;
    return v;
}

Voice Marimba()
{
    Voice v;
    v.partials = {{1.0, 1.0, 5.5}, {4.0, 0.25, 16.0}, {9.9, 0.05, 35.0}};
    v.attack = 0.003;
    v.release = 0.08;
    return v;
}

Voice MusicBox()
{
    Voice v;
    v.partials = {{1.0, 1.0, 2.6}, {2.0, 0.2, 5.0}, {3.0, 0.07, 8.0}, {5.4, 0.05, 14.0}};
    v.attack = 0.002;
    v.release = 0.15;
    return v;
}

Voice ElectricPiano()
{
    Voice v;
    v.partials = {{1.0, 1.0, 1.6}, {2.0, 0.25, 4.5}, {3.0, 0.07, 8.0}, {7.0, 0.04, 22.0}};
    v.attack = 0.004;
    v.release = 0.18;
    v.chorus = 0.002;
    return v;
}

Voice Flute()
{
    Voice v;
    v.partials = {{1.0, 1.0, 0.0}, {2.0, 0.2, 0.0}, {3.0, 0.07, 0.0}};
    v.attack = 0.06;
    v.release = 0.12;
    v.vibratoRate = 5.0;
    v.vibratoDepth = 0.004;
    v.vibratoDelay = 0.18;
    return v;
}

Voice Brass()
{
    Voice v;
    v.partials = {{1.0, 1.0, 0.0}, {2.0, 0.65, 0.0}, {3.0, 0.45, 0.1}, {4.0, 0.3, 0.2}, {5.0, 0.18, 0.3}, {6.0, 0.1, 0.4}};
    v.attack = 0.03;
    v.release = 0.1;
    v.vibratoRate = 5.5;
    v.vibratoDepth = 0.003;
    v.vibratoDelay = 0.12;
    return v;
}

Voice Bell()
{
    Voice v;
    v.partials = {{1.0, 1.0, 3.0}, {2.0, 0.35, 5.0}, {2.76, 0.2, 7.0}, {5.4, 0.07, 12.0}};
    v.attack = 0.002;
    v.release = 0.2;
    return v;
}

Voice Buzz()
{
    Voice v;
    v.partials = {{1.0, 1.0, 2.5}, {3.0, 0.33, 3.5}, {5.0, 0.2, 4.5}, {7.0, 0.12, 5.5}};
    v.attack = 0.006;
    v.release = 0.06;
    return v;
}

Drum Kick()
{
    Drum d;
    d.tone = 110.0;
    d.toneEnd = 48.0;
    d.toneDecay = 9.0;
    d.length = 0.35;
    return d;
}

Drum Rim()
{
    Drum d;
    d.tone = 1700.0;
    d.toneEnd = 1600.0;
    d.toneDecay = 70.0;
    d.toneLevel = 0.7;
    d.noiseLevel = 0.5;
    d.noiseDecay = 90.0;
    d.bright = true;
    d.length = 0.06;
    return d;
}

Drum Shaker()
{
    Drum d;
    d.noiseLevel = 1.0;
    d.noiseDecay = 45.0;
    d.darkness = 0.2;
    d.bright = true;
    d.length = 0.09;
    return d;
}

Drum Clap()
{
    Drum d;
    d.noiseLevel = 1.0;
    d.noiseDecay = 26.0;
    d.darkness = 0.35;
    d.bright = true;
    d.bursts = 3;
    d.burstGap = 0.011;
    d.length = 0.25;
    return d;
}

Drum Tom()
{
    Drum d;
    d.tone = 120.0;
    d.toneEnd = 75.0;
    d.toneDecay = 7.0;
    d.noiseLevel = 0.25;
    d.noiseDecay = 25.0;
    d.darkness = 0.8;
    d.length = 0.5;
    return d;
}

} // namespace yonda::sounds
