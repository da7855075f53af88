// Writes the program's music folder below its home folder: HOME/Data/BGM/ with the playlist
// bgm.ini, the background tracks, the splash's opening, the party game's sounds and the cheer.
// Files whose bytes would not change are left alone. Usage: yonda-musicgen <home>
#include "MusicRecipes.h"
#include "WriteIfChanged.h"

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <home>\n", argv[0]);
        return 2;
    }
    const fs::path folder = fs::path(argv[1]) / "Data" / "BGM";
    std::error_code error;
    fs::create_directories(folder, error);
    for (const auto& [name, bytes] : yonda::sounds::MusicFolderFiles()) {
        if (!yonda::sounds::WriteIfChanged(folder / name, bytes)) {
            std::fprintf(stderr, "could not write %s\n", (folder / name).c_str());
            return 1;
        }
    }
    return 0;
}
