#pragma once
// The program's effect sounds by resource number: short, soft and in one family of timbres, so a
// click, a hover and a chime sound like parts of the same window set.
#include <cstdint>
#include <string>
#include <vector>

namespace yonda::sounds {

struct EffectSound {
    int id = 0; // the WAVE resource number the program plays it by
    std::string purpose;
    std::vector<int16_t> samples;
};

std::vector<EffectSound> EffectSounds();

} // namespace yonda::sounds
