// The one mixer of the process: every DirectSound buffer and the PlaySound sound is a voice in
// it, whichever device created it, and the output (an audio device or the null sink) pulls the
// mix from it on its own thread.
#pragma once

#include "PcmFormat.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace yonda::sound {

class AudioOutput;

// Sample memory; duplicated buffers share one.
struct SampleBlock {
    PcmFormat format;
    std::vector<uint8_t> bytes;

    size_t Frames() const { return bytes.size() / format.BlockAlign(); }
};

// One playing position over a sample block. Every field is guarded by the mixer's mutex.
struct Voice {
    std::shared_ptr<SampleBlock> block;
    uint64_t position = 0; // frames, 32.32 fixed point
    bool playing = false;
    bool looping = false;
    bool lost = false;
    bool losable = true; // a DirectSound buffer, which the device can take away
    LONG volume = 0;     // hundredths of a decibel, -10000..0
    float gain = 1.0f;
    uint64_t endings = 0; // how often the voice ran out, for those who wait on it

    void SetVolume(LONG hundredthsOfDecibel);
    DWORD PlayCursorBytes() const;
};

class Mixer {
public:
    static Mixer& Instance();

    std::mutex& Mutex() { return m_mutex; }
    // Called with the mutex held.
    void Add(Voice* voice);
    void Remove(Voice* voice);
    void LoseAll();
    void NotifyStopped() { m_stopped.notify_all(); }
    // Waits (mutex held through lock) until the voice stops playing or done() holds.
    template <typename Done>
    void WaitUntilStopped(std::unique_lock<std::mutex>& lock, const Voice& voice, Done done)
    {
        m_stopped.wait(lock, [&] { return !voice.playing || done(); });
    }

    // Opens the output if none is open yet; the first device or PlaySound does it.
    void EnsureOutput();
    void UseNullSink(bool manual);
    bool IsNullSink();
    bool IsManualSink();
    DWORD Rate();

    // Mixes frames of interleaved stereo into out; the outputs call it from their threads.
    void Mix(int16_t* out, size_t frames);

    ~Mixer();

private:
    Mixer() = default;
    void MixVoice(Voice& voice, float* accumulator, size_t frames, DWORD rate);
    void CloseOutput();

    std::mutex m_mutex;
    std::condition_variable m_stopped;
    std::vector<Voice*> m_voices;
    std::vector<float> m_accumulator;

    std::mutex m_outputMutex; // never held while m_mutex is, so an output can close while mixing
    std::unique_ptr<AudioOutput> m_output;
    DWORD m_rate = 44100; // written under both mutexes
};

} // namespace yonda::sound
