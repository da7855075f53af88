#include "AudioOutput.h"

#include "Mixer.h"
#include "mmsystem.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace yonda::sound {

namespace {

constexpr DWORD kPreferredRate = 44100;

bool EnvironmentSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value && std::strcmp(value, "0") != 0;
}

class SdlOutput final : public AudioOutput {
public:
    SdlOutput(SDL_AudioDeviceID device, DWORD rate) : m_device(device), m_rate(rate) {}
    ~SdlOutput() override
    {
        SDL_CloseAudioDevice(m_device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    DWORD Rate() const override { return m_rate; }
    bool IsNull() const override { return false; }
    bool IsManual() const override { return false; }

    static void Callback(void* userdata, Uint8* stream, int length)
    {
        static_cast<Mixer*>(userdata)->Mix(reinterpret_cast<int16_t*>(stream),
                                           static_cast<size_t>(length) / (2 * sizeof(int16_t)));
    }

private:
    SDL_AudioDeviceID m_device;
    DWORD m_rate;
};

// Consumes the mix at the output rate and drops it, so sounds end when they would have been
// heard to end; or, when manual, leaves the pace to YondaSoundRender.
class NullOutput final : public AudioOutput {
public:
    NullOutput(Mixer& mixer, bool manual) : m_mixer(mixer), m_manual(manual)
    {
        if (!manual)
            m_thread = std::thread([this] { Run(); });
    }
    ~NullOutput() override
    {
        if (m_thread.joinable()) {
            {
                std::lock_guard lock(m_mutex);
                m_stop = true;
            }
            m_wake.notify_all();
            m_thread.join();
        }
    }
    DWORD Rate() const override { return kPreferredRate; }
    bool IsNull() const override { return true; }
    bool IsManual() const override { return m_manual; }

private:
    // Paced by the platform's clock, so a test that drives the clock by hand also decides when
    // a sound has been heard to its end.
    void Run()
    {
        constexpr size_t kChunk = 4096;
        DWORD last = timeGetTime();
        uint64_t elapsedMs = 0;
        uint64_t rendered = 0;
        std::vector<int16_t> scratch(kChunk * 2);
        std::unique_lock lock(m_mutex);
        while (!m_wake.wait_for(lock, std::chrono::milliseconds(10), [this] { return m_stop; })) {
            DWORD now = timeGetTime();
            elapsedMs += static_cast<DWORD>(now - last); // wraps like the clock does
            last = now;
            const uint64_t due = elapsedMs * kPreferredRate / 1000;
            lock.unlock();
            while (rendered < due) {
                size_t frames = static_cast<size_t>(std::min<uint64_t>(due - rendered, kChunk));
                m_mixer.Mix(scratch.data(), frames);
                rendered += frames;
            }
            lock.lock();
        }
    }

    Mixer& m_mixer;
    bool m_manual;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace

std::unique_ptr<AudioOutput> OpenDeviceOutput(Mixer& mixer)
{
    if (EnvironmentSet("YONDA_HEADLESS"))
        return nullptr;
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    if (driver && std::strcmp(driver, "dummy") == 0)
        return nullptr;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return nullptr;
    // The dummy driver plays nothing at its own pace; the null sink does the same, testably.
    const char* current = SDL_GetCurrentAudioDriver();
    if (!current || std::strcmp(current, "dummy") == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(kPreferredRate);
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &SdlOutput::Callback;
    want.userdata = &mixer;
    SDL_AudioSpec have{};
    SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device == 0 || have.freq <= 0) {
        if (device != 0)
            SDL_CloseAudioDevice(device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    auto output = std::make_unique<SdlOutput>(device, static_cast<DWORD>(have.freq));
    SDL_PauseAudioDevice(device, 0);
    return output;
}

std::unique_ptr<AudioOutput> OpenNullOutput(Mixer& mixer, bool manual)
{
    return std::make_unique<NullOutput>(mixer, manual);
}

} // namespace yonda::sound
