// Writes the chat's word lists, "01.prb" ... "24.prb", from the UTF-8 sources "NN-name.txt" (one
// word a line, '#' lines are comments): each word a record of complemented bytes ended by a zero
// byte. Korean words are written in code page 949, the others in 1252 (plain ASCII is the same in
// both), so one list serves the Korean and the German skin alike.
// Usage: yonda-wordlists <sources folder> <prb folder>
#include <yonda_platform.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// Whether a UTF-8 word holds a character beyond Latin-1 (a lead byte above 0xC3).
bool NeedsKoreanCodePage(const std::string& word)
{
    for (unsigned char c : word) {
        if (c >= 0xC4 && c < 0xF8) {
            return true;
        }
    }
    return false;
}

std::string Records(const fs::path& source, bool* ok)
{
    std::ifstream in(source, std::ios::binary);
    std::string line;
    std::string bytes;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::string word = YondaUtf8ToCodePage(line, NeedsKoreanCodePage(line) ? 949 : 1252);
        if (word.find('?') != std::string::npos || word.find(' ') != std::string::npos) {
            std::fprintf(stderr, "%s: \"%s\" is not one word of its code page\n", source.c_str(), line.c_str());
            *ok = false;
        }
        for (unsigned char c : word) {
            bytes += static_cast<char>(~c);
        }
        bytes += '\0';
    }
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <sources folder> <prb folder>\n", argv[0]);
        return 2;
    }
    std::map<int, fs::path> sources;
    for (const auto& entry : fs::directory_iterator(argv[1])) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".txt" && name.size() > 3 && name[2] == '-') {
            sources[std::stoi(name.substr(0, 2))] = entry.path();
        }
    }
    fs::create_directories(argv[2]);
    bool ok = true;
    for (int n = 1; n <= 24; ++n) {
        const auto found = sources.find(n);
        if (found == sources.end()) {
            std::fprintf(stderr, "no word list %02d\n", n);
            return 1;
        }
        char name[16];
        std::snprintf(name, sizeof(name), "%02d.prb", n);
        const std::string bytes = Records(found->second, &ok);
        std::ofstream out(fs::path(argv[2]) / name, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        ok = ok && static_cast<bool>(out);
    }
    return ok ? 0 : 1;
}
