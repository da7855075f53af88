#include "Instruments.h"

namespace yonda::sounds {

Voice Pad()
{
    return {.partials = {{1.0, 1.0, 0.0}, {2.0, 0.45, 0.0}, {3.0, 0.22, 0.3}, {4.0, 0.12, 0.6}, {5.0, 0.06, 0.9}},
            .attack = 0.35,
            .release = 0.6,
            .vibratoRate = 4.3,
            .vibratoDepth = 0.0015,
            .chorus = 0.004};
}

Voice Bass()
{
    return {.partials = {{1.0, 1.0, 1.8}, {2.0, 0.4, 4.0}, {3.0, 0.15, 7.0}, {4.0, 0.05, 10.0}},
            .attack = 0.008,
            .release = 0.08};
}

Voice Marimba()
{
    return {.partials = {{1.0, 1.0, 5.5}, {4.0, 0.25, 16.0}, {9.9, 0.05, 35.0}}, .attack = 0.003, .release = 0.08};
}

Voice MusicBox()
{
    return {.partials = {{1.0, 1.0, 2.6}, {2.0, 0.2, 5.0}, {3.0, 0.07, 8.0}, {5.4, 0.05, 14.0}},
            .attack = 0.002,
            .release = 0.15};
}

Voice ElectricPiano()
{
    return {.partials = {{1.0, 1.0, 1.6}, {2.0, 0.25, 4.5}, {3.0, 0.07, 8.0}, {7.0, 0.04, 22.0}},
            .attack = 0.004,
            .release = 0.18,
            .chorus = 0.002};
}

Voice Flute()
{
    return {.partials = {{1.0, 1.0, 0.0}, {2.0, 0.2, 0.0}, {3.0, 0.07, 0.0}},
            .attack = 0.06,
            .release = 0.12,
            .vibratoRate = 5.0,
            .vibratoDepth = 0.004,
            .vibratoDelay = 0.18};
}

Voice Brass()
{
    return {
        .partials =
            {{1.0, 1.0, 0.0}, {2.0, 0.65, 0.0}, {3.0, 0.45, 0.1}, {4.0, 0.3, 0.2}, {5.0, 0.18, 0.3}, {6.0, 0.1, 0.4}},
        .attack = 0.03,
        .release = 0.1,
        .vibratoRate = 5.5,
        .vibratoDepth = 0.003,
        .vibratoDelay = 0.12};
}

Voice Bell()
{
    return {.partials = {{1.0, 1.0, 3.0}, {2.0, 0.35, 5.0}, {2.76, 0.2, 7.0}, {5.4, 0.07, 12.0}},
            .attack = 0.002,
            .release = 0.2};
}

Voice Buzz()
{
    return {.partials = {{1.0, 1.0, 2.5}, {3.0, 0.33, 3.5}, {5.0, 0.2, 4.5}, {7.0, 0.12, 5.5}},
            .attack = 0.006,
            .release = 0.06};
}

Drum Kick()
{
    return {.tone = 110.0, .toneEnd = 48.0, .toneDecay = 9.0, .length = 0.35};
}

Drum Rim()
{
    return {.tone = 1700.0,
            .toneEnd = 1600.0,
            .toneDecay = 70.0,
            .toneLevel = 0.7,
            .noiseLevel = 0.5,
            .noiseDecay = 90.0,
            .bright = true,
            .length = 0.06};
}

Drum Shaker()
{
    return {.noiseLevel = 1.0, .noiseDecay = 45.0, .darkness = 0.2, .bright = true, .length = 0.09};
}

Drum Clap()
{
    return {.noiseLevel = 1.0,
            .noiseDecay = 26.0,
            .darkness = 0.35,
            .bright = true,
            .bursts = 3,
            .burstGap = 0.011,
            .length = 0.25};
}

Drum Tom()
{
    return {.tone = 120.0,
            .toneEnd = 75.0,
            .toneDecay = 7.0,
            .noiseLevel = 0.25,
            .noiseDecay = 25.0,
            .darkness = 0.8,
            .length = 0.5};
}

} // namespace yonda::sounds
