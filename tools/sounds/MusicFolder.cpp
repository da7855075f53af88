#include "MusicRecipes.h"
#include "Synth.h"
#include "WaveWriter.h"

namespace yonda::sounds {

std::map<std::string, std::vector<uint8_t>> MusicFolderFiles()
{
    std::map<std::string, std::vector<uint8_t>> files;
    std::vector<MusicFile> tracks = BackgroundTracks();
    std::string playlist = PlaylistText(tracks);
    files["bgm.ini"] = std::vector<uint8_t>(playlist.begin(), playlist.end());
    std::vector<MusicFile> all = std::move(tracks);
    for (MusicFile& cue : MusicCues())
        all.push_back(std::move(cue));
    for (const MusicFile& file : all)
        files[file.name] = WaveBytes(file.samples, kSampleRate, 1);
    return files;
}

} // namespace yonda::sounds
