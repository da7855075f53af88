// Writes the program's effect sounds as RIFF WAVE files named by their resource numbers
// ("149.wav"...). A file whose bytes would not change is left alone, so what is built from them
// is not rebuilt. Usage: yonda-soundgen <folder>
#include "SoundRecipes.h"
#include "Synth.h"
#include "WaveWriter.h"
#include "WriteIfChanged.h"

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const fs::path folder = argv[1];
    std::error_code error;
    fs::create_directories(folder, error);
    for (const auto& sound : yonda::sounds::EffectSounds()) {
        const auto bytes = yonda::sounds::WaveBytes(sound.samples, yonda::sounds::kSampleRate, 1);
        const fs::path path = folder / (std::to_string(sound.id) + ".wav");
        if (!yonda::sounds::WriteIfChanged(path, bytes)) {
            std::fprintf(stderr, "could not write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
