#include "Synth.h"

#include <algorithm>
#include <cmath>

namespace yonda::sounds {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Notes end in a half-cosine fade this long (or a third of a short note), so the ring's last
// murmur never stops with a step.
constexpr double kTailSeconds = 0.025;

} // namespace

std::vector<int16_t> Render(const std::vector<Note>& notes, double peak)
{
    double end = 0.0;
    for (const Note& note : notes) {
        end = std::max(end, note.start + note.length);
    }
    const size_t frames = static_cast<size_t>(std::ceil(end * kSampleRate));
    std::vector<double> mix(frames, 0.0);
    for (const Note& note : notes) {
        const size_t first = static_cast<size_t>(std::lround(note.start * kSampleRate));
        const size_t count = static_cast<size_t>(std::lround(note.length * kSampleRate));
        const double tail = std::min(kTailSeconds, note.length / 3);
        for (const Partial& partial : note.partials) {
            double phase = 0.0;
            for (size_t i = 0; i < count && first + i < frames; ++i) {
                const double t = static_cast<double>(i) / kSampleRate;
                const double along = t / note.length;
                const double frequency = note.frequency * partial.ratio * (1.0 + note.glide * along);
                phase += 2.0 * kPi * frequency / kSampleRate;
                double envelope = note.level * partial.level * std::exp(-partial.decay * t);
                if (t < note.attack) {
                    envelope *= 0.5 - 0.5 * std::cos(kPi * t / note.attack);
                }
                // Every note ends at zero, whatever its decay left.
                const double remaining = note.length - t;
                if (remaining < tail) {
                    envelope *= 0.5 - 0.5 * std::cos(kPi * remaining / tail);
                }
                mix[first + i] += envelope * std::sin(phase);
            }
        }
    }
    double loudest = 0.0;
    for (double v : mix) {
        loudest = std::max(loudest, std::fabs(v));
    }
    const double scale = loudest > 0.0 ? peak * 32767.0 / loudest : 0.0;
    std::vector<int16_t> samples(frames);
    for (size_t i = 0; i < frames; ++i) {
        samples[i] = static_cast<int16_t>(std::clamp(std::lround(mix[i] * scale), -32767L, 32767L));
    }
    return samples;
}

} // namespace yonda::sounds
