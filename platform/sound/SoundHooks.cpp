// The sound system's extensions for tests and tools: the null sink, and lost buffers on demand.
#include "yonda_sound.h"

#include "Mixer.h"

#include <algorithm>

void YondaSoundUseNullSink(BOOL manual)
{
    yonda::sound::Mixer::Instance().UseNullSink(manual != FALSE);
}

BOOL YondaSoundIsNullSink()
{
    return yonda::sound::Mixer::Instance().IsNullSink() ? TRUE : FALSE;
}

DWORD YondaSoundOutputRate()
{
    return yonda::sound::Mixer::Instance().Rate();
}

BOOL YondaSoundRender(SHORT* frames, DWORD frameCount)
{
    if (!frames)
        return FALSE;
    auto& mixer = yonda::sound::Mixer::Instance();
    if (!mixer.IsManualSink()) {
        std::fill(frames, frames + static_cast<size_t>(frameCount) * 2, SHORT{0});
        return FALSE;
    }
    mixer.Mix(frames, frameCount);
    return TRUE;
}

void YondaSoundLoseBuffers()
{
    auto& mixer = yonda::sound::Mixer::Instance();
    std::lock_guard lock(mixer.Mutex());
    mixer.LoseAll();
}
