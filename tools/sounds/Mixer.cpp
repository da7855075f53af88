#include "Mixer.h"

#include <algorithm>
#include <cmath>

namespace yonda::sounds {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = kSampleRate;

// One cycle of a sine, read with linear interpolation: far quicker than the library's sine for
// the millions of partial samples a track takes, and its error lies some 130 dB down.
constexpr size_t kTableSize = 4096;

const std::vector<double>& SineTable()
{
    static const std::vector<double> table = [] {
        std::vector<double> t(kTableSize + 1);
        for (size_t i = 0; i <= kTableSize; ++i)
            t[i] = std::sin(2.0 * kPi * static_cast<double>(i) / kTableSize);
        return t;
    }();
    return table;
}

double Rise(double t, double length)
{
    return t >= length ? 1.0 : 0.5 - 0.5 * std::cos(kPi * t / length);
}

// Comb and all-pass lengths of a small room at this rate, prime so their echoes never line up.
constexpr size_t kCombs[] = {557, 593, 641, 677};
constexpr size_t kAllPasses[] = {277, 173};
constexpr double kDamping = 0.3;
constexpr double kAllPassGain = 0.5;

} // namespace

double NoteFrequency(int midi)
{
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

Mixer::Mixer(double seconds, bool loop) : m_mix(static_cast<size_t>(std::lround(seconds * kRate)), 0.0), m_loop(loop) {}

void Mixer::Add(size_t index, double value)
{
    if (m_loop)
        m_mix[index % m_mix.size()] += value;
    else if (index < m_mix.size())
        m_mix[index] += value;
}

double Mixer::Noise()
{
    // xorshift32: white noise that is the same on every build.
    m_noise ^= m_noise << 13;
    m_noise ^= m_noise >> 17;
    m_noise ^= m_noise << 5;
    return m_noise / 2147483648.0 - 1.0;
}

void Mixer::Play(const Voice& voice, double start, double frequency, double hold, double level)
{
    const size_t first = static_cast<size_t>(std::lround(start * kRate));
    const size_t count = static_cast<size_t>(std::lround((hold + voice.release) * kRate));
    // The envelope and the vibrato are the note's, shared by its partials.
    std::vector<double> shape(count), bend(count, 1.0);
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        double a = Rise(t, voice.attack);
        if (t > hold)
            a *= 1.0 - Rise(t - hold, voice.release);
        shape[i] = a * level;
        if (voice.vibratoDepth > 0.0 && t > voice.vibratoDelay) {
            const double since = t - voice.vibratoDelay;
            bend[i] =
                1.0 + voice.vibratoDepth * std::min(1.0, since / 0.3) * std::sin(2.0 * kPi * voice.vibratoRate * since);
        }
    }
    const std::vector<double>& table = SineTable();
    const size_t n = m_mix.size();
    const double copies[] = {1.0, 1.0 + voice.chorus};
    const int copyCount = voice.chorus > 0.0 ? 2 : 1;
    for (const Partial& partial : voice.partials) {
        for (int c = 0; c < copyCount; ++c) {
            const double f = frequency * partial.ratio * copies[c];
            if (f >= 0.45 * kRate)
                continue;                  // it would fold back below as a false tone
            const double step = f / kRate; // cycles per sample
            const double fall = std::exp(-partial.decay / kRate);
            double envelope = partial.level / copyCount;
            double cycles = 0.0;
            size_t at = m_loop ? first % n : first;
            // The innermost loop of the whole folder: plain pointers keep unoptimised builds quick.
            double* out = m_mix.data();
            const double* sine = table.data();
            const double* shaped = shape.data();
            const double* bent = bend.data();
            for (size_t i = 0; i < count && at < n; ++i) {
                cycles += step * bent[i];
                if (cycles >= 1.0)
                    cycles -= 1.0;
                const double position = cycles * kTableSize;
                const size_t k = static_cast<size_t>(position);
                out[at] +=
                    shaped[i] * envelope * (sine[k] + (sine[k + 1] - sine[k]) * (position - static_cast<double>(k)));
                envelope *= fall;
                if (++at == n && m_loop)
                    at = 0;
            }
        }
    }
}

void Mixer::Hit(const Drum& drum, double start, double level)
{
    const size_t first = static_cast<size_t>(std::lround(start * kRate));
    const size_t count = static_cast<size_t>(std::lround(drum.length * kRate));
    const double tail = std::min(0.02, drum.length / 3);
    double phase = 0.0, smooth = 0.0, previous = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        double v = 0.0;
        if (drum.tone > 0.0) {
            const double fall = std::exp(-drum.toneDecay * t);
            const double f = drum.toneEnd + (drum.tone - drum.toneEnd) * fall;
            phase += 2.0 * kPi * f / kRate;
            v += drum.toneLevel * fall * std::sin(phase);
        }
        if (drum.noiseLevel > 0.0) {
            smooth += (Noise() - smooth) * (1.0 - drum.darkness);
            const double n = drum.bright ? smooth - previous : smooth;
            previous = smooth;
            double envelope = 0.0;
            for (int b = 0; b < drum.bursts; ++b) {
                const double since = t - b * drum.burstGap;
                if (since >= 0.0)
                    envelope = std::max(envelope, std::exp(-drum.noiseDecay * since));
            }
            v += drum.noiseLevel * envelope * n;
        }
        // A millisecond's rise and a short fade keep the hit from clicking.
        const double ending = t - (drum.length - tail);
        v *= Rise(t, 0.001) * (ending > 0.0 ? 1.0 - Rise(ending, tail) : 1.0);
        Add(first + i, level * v);
    }
}

void Mixer::Reverb(double wet, double room)
{
    const size_t n = m_mix.size();
    std::vector<std::vector<double>> combs, allPasses;
    for (size_t length : kCombs)
        combs.emplace_back(length, 0.0);
    for (size_t length : kAllPasses)
        allPasses.emplace_back(length, 0.0);
    std::vector<double> filtered(std::size(kCombs), 0.0);
    std::vector<size_t> combAt(std::size(kCombs), 0), passAt(std::size(kAllPasses), 0);
    std::vector<double> out(m_mix);
    // A loop is played through twice and the second time kept: the room then already rings with
    // the end of the loop when its start comes round.
    const int passes = m_loop ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass)
        for (size_t i = 0; i < n; ++i) {
            const double input = m_mix[i] * 0.25;
            double sum = 0.0;
            for (size_t c = 0; c < combs.size(); ++c) {
                double& slot = combs[c][combAt[c]];
                filtered[c] = slot * (1.0 - kDamping) + filtered[c] * kDamping;
                sum += slot;
                slot = input + filtered[c] * room;
                combAt[c] = (combAt[c] + 1) % combs[c].size();
            }
            for (size_t a = 0; a < allPasses.size(); ++a) {
                double& slot = allPasses[a][passAt[a]];
                const double delayed = slot;
                slot = sum + delayed * kAllPassGain;
                sum = delayed - sum * kAllPassGain;
                passAt[a] = (passAt[a] + 1) % allPasses[a].size();
            }
            if (pass == passes - 1)
                out[i] = m_mix[i] + wet * sum;
        }
    m_mix = std::move(out);
}

std::vector<int16_t> Mixer::Samples(double peak) const
{
    std::vector<double> mix = m_mix;
    const size_t n = mix.size();
    if (m_loop && n > 2) {
        // Start at the gentlest upward zero crossing within 10 ms of the first downbeat: a
        // player that starts or stops the loop there starts and stops in silence.
        const long window = static_cast<long>(kRate / 100);
        long best = 0;
        double gentlest = 1e300;
        for (long k = -window; k <= window; ++k) {
            const size_t i = static_cast<size_t>((k + static_cast<long>(n)) % static_cast<long>(n));
            const double before = mix[(i + n - 1) % n], at = mix[i];
            if (before < 0.0 && at >= 0.0 && at - before < gentlest) {
                gentlest = at - before;
                best = static_cast<long>(i);
            }
        }
        std::rotate(mix.begin(), mix.begin() + best, mix.end());
    }
    if (!m_loop) {
        // Whatever still rings at the end fades out.
        const size_t fade = std::min(n, static_cast<size_t>(kRate / 50));
        for (size_t i = 0; i < fade; ++i)
            mix[n - 1 - i] *= Rise(static_cast<double>(i) / kRate, static_cast<double>(fade) / kRate);
    }
    double loudest = 0.0;
    for (double v : mix)
        loudest = std::max(loudest, std::fabs(v));
    const double scale = loudest > 0.0 ? peak * 32767.0 / loudest : 0.0;
    std::vector<int16_t> samples(n);
    for (size_t i = 0; i < n; ++i)
        samples[i] = static_cast<int16_t>(std::clamp(std::lround(mix[i] * scale), -32767L, 32767L));
    return samples;
}

} // namespace yonda::sounds
