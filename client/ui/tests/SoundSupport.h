#pragma once
// The program's WAVE resources as tests hear them: each a constant tone of its own level, played
// into the manual null sink, so the level heard names the sound that played last.
#include <mmsystem.h>
#include <yonda_sound.h>

#include <cstdint>
#include <vector>

namespace yonda::uitest {

inline int16_t LevelOf(UINT id)
{
    return static_cast<int16_t>(id * 10);
}

class HeardSounds {
public:
    HeardSounds()
    {
        YondaSoundUseNullSink(TRUE);
        for (UINT id : {149u, 150u, 151u, 152u, 153u}) {
            const std::vector<uint8_t> wave = Wave(LevelOf(id));
            YondaRegisterWaveResource(nullptr, MAKEINTRESOURCE(id), wave.data(), static_cast<DWORD>(wave.size()));
        }
    }
    ~HeardSounds()
    {
        PlaySoundA(nullptr, nullptr, 0);
        for (UINT id : {149u, 150u, 151u, 152u, 153u}) {
            YondaRegisterWaveResource(nullptr, MAKEINTRESOURCE(id), nullptr, 0);
        }
    }
    // The resource playing now (0 for silence); the sound then stops, so the next call tells
    // whether anything new started in between.
    UINT Take()
    {
        SHORT frame[2] = {0, 0};
        YondaSoundRender(frame, 1);
        PlaySoundA(nullptr, nullptr, 0);
        for (UINT id : {149u, 150u, 151u, 152u, 153u}) {
            if (frame[0] == LevelOf(id)) {
                return id;
            }
        }
        return 0;
    }

private:
    static std::vector<uint8_t> Wave(int16_t level)
    {
        const uint32_t frames = 44100;
        std::vector<uint8_t> out;
        auto put = [&](uint32_t v, int n) {
            for (int i = 0; i < n; ++i) {
                out.push_back(static_cast<uint8_t>(v >> (8 * i)));
            }
        };
        out.insert(out.end(), {'R', 'I', 'F', 'F'});
        put(36 + frames * 2, 4);
        out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
        put(16, 4);
        put(1, 2);
        put(1, 2);
        put(44100, 4);
        put(88200, 4);
        put(2, 2);
        put(16, 2);
        out.insert(out.end(), {'d', 'a', 't', 'a'});
        put(frames * 2, 4);
        for (uint32_t i = 0; i < frames; ++i) {
            put(static_cast<uint16_t>(level), 2);
        }
        return out;
    }
};

} // namespace yonda::uitest
