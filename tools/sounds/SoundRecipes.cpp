#include "SoundRecipes.h"

#include "Synth.h"

namespace yonda::sounds {

namespace {

// Note frequencies of the equal-tempered scale.
constexpr double kC5 = 523.25;
constexpr double kE5 = 659.26;
constexpr double kG5 = 783.99;
constexpr double kA5 = 880.00;
constexpr double kC6 = 1046.50;
constexpr double kG6 = 1567.98;

// A struck bar: the fundamental rings, the upper partials die away quickly.
std::vector<Partial> Mallet(double ring)
{
    return {{1.0, 1.0, ring}, {2.0, 0.30, ring * 1.6}, {3.0, 0.10, ring * 2.4}, {4.0, 0.05, ring * 3.5}};
}

// A small bell: partials off the harmonic series give the metallic shimmer.
std::vector<Partial> Bell(double ring)
{
    return {{1.0, 1.0, ring}, {2.0, 0.30, ring * 1.5}, {2.76, 0.18, ring * 2.2}, {5.40, 0.06, ring * 3.5}};
}

Note Struck(double start, double frequency, double length, std::vector<Partial> partials, double level = 1.0)
{
    Note note;
    note.start = start;
    note.frequency = frequency;
    note.length = length;
    note.partials = std::move(partials);
    note.level = level;
    return note;
}

// The pointer passes over a button: a barely-there tick.
std::vector<int16_t> Hover()
{
    Note tick = Struck(0.0, kG6, 0.045, {{1.0, 1.0, 70.0}, {2.0, 0.12, 110.0}});
    tick.attack = 0.002;
    return Render({tick}, 0.22);
}

// A button pressed or a tab changed: a short wooden pop that drops in pitch.
std::vector<int16_t> Press()
{
    Note pop = Struck(0.0, kA5, 0.075, {{1.0, 1.0, 45.0}, {2.0, 0.25, 70.0}, {3.0, 0.08, 95.0}});
    pop.glide = -0.3;
    pop.attack = 0.0015;
    return Render({pop}, 0.42);
}

// A confirmation or a message that arrived: two bell notes going up.
std::vector<int16_t> Confirm()
{
    return Render({Struck(0.0, kE5, 0.32, Bell(10.0), 0.85), Struck(0.085, kA5, 0.40, Bell(8.5))}, 0.5);
}

// A messenger window opens: a quick rising arpeggio on the mallet.
std::vector<int16_t> Open()
{
    return Render({Struck(0.0, kC5, 0.30, Mallet(12.0), 0.8), Struck(0.06, kE5, 0.30, Mallet(12.0), 0.8),
                   Struck(0.12, kG5, 0.30, Mallet(12.0), 0.85), Struck(0.18, kC6, 0.36, Mallet(10.0))},
                  0.45);
}

// A notice that wants attention, or a message that could not be sent: two bell notes going down.
std::vector<int16_t> Notice()
{
    return Render({Struck(0.0, kA5, 0.40, Bell(7.5)), Struck(0.13, kE5, 0.46, Bell(6.5), 0.9)}, 0.5);
}

} // namespace

std::vector<EffectSound> EffectSounds()
{
    return {
        {149, "hover over a button", Hover()},         {150, "confirmation, message received", Confirm()},
        {151, "messenger window opens", Open()},       {152, "notice, delivery failed", Notice()},
        {153, "button pressed, tab changed", Press()},
    };
}

} // namespace yonda::sounds
