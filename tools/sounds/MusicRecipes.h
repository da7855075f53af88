#pragma once
// The music folder of the program: the background tracks its playlist names, the splash's opening
// music, the party game's three sounds and the cheer a chat line can set off. All synthesised;
// tracks loop seamlessly, the rest start and end in silence.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace yonda::sounds {

struct MusicFile {
    std::string name; // in the music folder
    std::string purpose;
    bool loop = false;
    std::vector<int16_t> samples; // 16-bit mono at kSampleRate
};

// The playlist in its order: 0 the map, 1 lobbies 1 and 3, 2 lobbies 0 and 2.
std::vector<MusicFile> BackgroundTracks();
// "Yonda_Opening.wav", "pfRight.wav", "pfWrong.wav", "pfCongr.wav", "korea.wav".
std::vector<MusicFile> MusicCues();

// The playlist file "bgm.ini" naming the tracks.
std::string PlaylistText(const std::vector<MusicFile>& tracks);

// Every file of the music folder by name, as it is written: the playlist, the tracks and the cues
// as RIFF WAVE files.
std::map<std::string, std::vector<uint8_t>> MusicFolderFiles();

} // namespace yonda::sounds
