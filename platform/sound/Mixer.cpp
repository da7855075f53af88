#include "Mixer.h"

#include "AudioOutput.h"
#include "dsound.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace yonda::sound {

void Voice::SetVolume(LONG hundredthsOfDecibel)
{
    volume = std::clamp<LONG>(hundredthsOfDecibel, DSBVOLUME_MIN, DSBVOLUME_MAX);
    // The floor is silence, not -100 dB: muting must not leave a whisper.
    gain = volume <= DSBVOLUME_MIN ? 0.0f : std::pow(10.0f, static_cast<float>(volume) / 2000.0f);
}

DWORD Voice::PlayCursorBytes() const
{
    if (!block)
        return 0;
    return static_cast<DWORD>((position >> 32) * block->format.BlockAlign());
}

Mixer& Mixer::Instance()
{
    static Mixer mixer;
    return mixer;
}

Mixer::~Mixer()
{
    CloseOutput();
}

void Mixer::Add(Voice* voice)
{
    m_voices.push_back(voice);
}

void Mixer::Remove(Voice* voice)
{
    std::erase(m_voices, voice);
    m_stopped.notify_all();
}

void Mixer::LoseAll()
{
    for (Voice* voice : m_voices) {
        if (voice->losable) {
            voice->lost = true;
            voice->playing = false;
        }
    }
    m_stopped.notify_all();
}

void Mixer::EnsureOutput()
{
    std::lock_guard outputLock(m_outputMutex);
    if (m_output)
        return;
    m_output = OpenDeviceOutput(*this);
    if (!m_output)
        m_output = OpenNullOutput(*this, false);
    std::lock_guard lock(m_mutex);
    m_rate = m_output->Rate();
}

void Mixer::UseNullSink(bool manual)
{
    std::lock_guard outputLock(m_outputMutex);
    if (m_output && m_output->IsNull() && m_output->IsManual() == manual)
        return;
    m_output.reset();
    m_output = OpenNullOutput(*this, manual);
    std::lock_guard lock(m_mutex);
    m_rate = m_output->Rate();
}

bool Mixer::IsNullSink()
{
    EnsureOutput();
    std::lock_guard outputLock(m_outputMutex);
    return m_output->IsNull();
}

bool Mixer::IsManualSink()
{
    std::lock_guard outputLock(m_outputMutex);
    return m_output && m_output->IsManual();
}

DWORD Mixer::Rate()
{
    EnsureOutput();
    std::lock_guard lock(m_mutex);
    return m_rate;
}

void Mixer::CloseOutput()
{
    std::unique_ptr<AudioOutput> output;
    {
        std::lock_guard outputLock(m_outputMutex);
        output = std::move(m_output);
    }
    output.reset();
}

void Mixer::Mix(int16_t* out, size_t frames)
{
    std::lock_guard lock(m_mutex);
    m_accumulator.assign(frames * 2, 0.0f);
    bool anyStopped = false;
    for (Voice* voice : m_voices) {
        if (!voice->playing || voice->lost || !voice->block)
            continue;
        MixVoice(*voice, m_accumulator.data(), frames, m_rate);
        anyStopped = anyStopped || !voice->playing;
    }
    for (size_t i = 0; i < frames * 2; ++i) {
        float sample = std::nearbyint(m_accumulator[i] * 32768.0f);
        out[i] = static_cast<int16_t>(std::clamp(sample, -32768.0f, 32767.0f));
    }
    if (anyStopped)
        m_stopped.notify_all();
}

namespace {

// One channel of one frame, as -1..1.
float SampleAt(const SampleBlock& block, size_t frame, int channel)
{
    const PcmFormat& f = block.format;
    size_t offset = frame * f.BlockAlign() + static_cast<size_t>(channel % f.channels) * (f.bits / 8);
    if (f.bits == 8)
        return (static_cast<int>(block.bytes[offset]) - 128) / 128.0f;
    auto value = static_cast<int16_t>(block.bytes[offset] | (block.bytes[offset + 1] << 8));
    return value / 32768.0f;
}

} // namespace

void Mixer::MixVoice(Voice& voice, float* accumulator, size_t frames, DWORD rate)
{
    const SampleBlock& block = *voice.block;
    const uint64_t length = block.Frames();
    if (length == 0 || rate == 0) {
        voice.playing = false;
        voice.position = 0;
        return;
    }
    const uint64_t end = length << 32;
    const uint64_t step = (static_cast<uint64_t>(block.format.rate) << 32) / rate;
    if (voice.position >= end)
        voice.position = voice.looping ? voice.position % end : 0;
    for (size_t i = 0; i < frames; ++i) {
        uint64_t index = voice.position >> 32;
        float fraction = static_cast<float>(voice.position & 0xFFFFFFFFu) / 4294967296.0f;
        // Between the last frame and the next: the loop's start, or the last frame held.
        uint64_t next = index + 1 < length ? index + 1 : (voice.looping ? 0 : index);
        for (int channel = 0; channel < 2; ++channel) {
            float a = SampleAt(block, index, channel);
            float b = SampleAt(block, next, channel);
            accumulator[i * 2 + channel] += (a + (b - a) * fraction) * voice.gain;
        }
        voice.position += step;
        if (voice.position >= end) {
            ++voice.endings;
            if (voice.looping) {
                voice.position %= end;
            } else {
                // A sound that ran out stops and rewinds, so playing it again starts over.
                voice.playing = false;
                voice.position = 0;
                return;
            }
        }
    }
}

} // namespace yonda::sound
