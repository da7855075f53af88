// Where the mix goes: an SDL audio device, or the null sink that consumes it in real time or
// only when a test asks.
#pragma once

#include "windef.h"

#include <cstdint>
#include <memory>

namespace yonda::sound {

class Mixer;

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    virtual DWORD Rate() const = 0;
    virtual bool IsNull() const = 0;
    virtual bool IsManual() const = 0;
};

// The SDL device, or null when there is none (headless, the dummy driver, no device).
std::unique_ptr<AudioOutput> OpenDeviceOutput(Mixer& mixer);
std::unique_ptr<AudioOutput> OpenNullOutput(Mixer& mixer, bool manual);

} // namespace yonda::sound
