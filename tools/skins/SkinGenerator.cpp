// Writes the default skins into a skin folder: the layout files shared by every skin with the
// skin's own texts filled in, its string table, and the pictures, each text file in the skin's
// code page with CR LF line ends. Usage: yonda-skingen <data folder> <Skin folder>, or
// yonda-skingen --icon <file> for the program's icon in the skins' colours.
#include "AniWriter.h"
#include "CursorPictures.h"
#include "PeopleSkins.h"
#include "RoomSkins.h"
#include "SkinPictures.h"
#include "SkinWindows.h"
#include "StartupFiles.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct SkinLanguage {
    const char* folder;
    UINT codePage;
};

constexpr SkinLanguage kSkins[] = {{"Orange", 949}, {"Orange_Do", 1252}};

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WriteBytes(const fs::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// "KEY = text" lines; others are comments.
std::map<std::string, std::string> ReadTexts(const fs::path& path)
{
    std::map<std::string, std::string> texts;
    std::istringstream in(ReadText(path));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const size_t equals = line.find(" = ");
        if (line.empty() || line[0] == ';' || equals == std::string::npos) {
            continue;
        }
        texts[line.substr(0, equals)] = line.substr(equals + 3);
    }
    return texts;
}

// Fills every {{KEY}} from the skin's texts; an unknown key stops the build so a window never
// shows a placeholder.
bool FillTexts(std::string& text, const std::map<std::string, std::string>& texts, const fs::path& source)
{
    size_t at = 0;
    while ((at = text.find("{{", at)) != std::string::npos) {
        const size_t end = text.find("}}", at);
        if (end == std::string::npos) {
            std::fprintf(stderr, "%s: unclosed {{\n", source.c_str());
            return false;
        }
        const std::string key = text.substr(at + 2, end - at - 2);
        const auto found = texts.find(key);
        if (found == texts.end()) {
            std::fprintf(stderr, "%s: no text for %s\n", source.c_str(), key.c_str());
            return false;
        }
        text.replace(at, end + 2 - at, found->second);
        at += found->second.size();
    }
    return true;
}

std::string WithCrLf(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '\r') {
            continue;
        }
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

// A skin's texts come in several files ("strings.ini", "strings_menus.ini"...), one per group of
// windows, so groups are added without touching each other's lists.
bool IsTextsFile(const fs::path& path)
{
    return path.filename().string().rfind("strings", 0) == 0;
}

std::vector<fs::path> IniFiles(const fs::path& folder)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().extension() == ".ini" && !IsTextsFile(entry.path())) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool WriteSkin(const fs::path& data, const fs::path& skins, const SkinLanguage& skin)
{
    const fs::path target = skins / skin.folder;
    fs::create_directories(target);
    std::map<std::string, std::string> texts;
    for (const auto& entry : fs::directory_iterator(data / skin.folder)) {
        if (entry.is_regular_file() && entry.path().extension() == ".ini" && IsTextsFile(entry.path())) {
            texts.merge(ReadTexts(entry.path()));
        }
    }
    std::vector<fs::path> sources = IniFiles(data / "layout");
    for (const fs::path& own : IniFiles(data / skin.folder)) {
        sources.push_back(own);
    }
    std::vector<std::pair<std::string, std::string>> files;
    for (const fs::path& source : sources) {
        files.emplace_back(source.filename().string(), ReadText(source));
    }
    for (auto& described : WindowIniFiles()) {
        files.push_back(std::move(described));
    }
    AddRoomSkinSections(&files);
    AddPeopleSkinSections(&files);
    for (auto& [name, text] : files) {
        if (!FillTexts(text, texts, name)) {
            return false;
        }
        if (!WriteBytes(target / name, YondaUtf8ToCodePage(WithCrLf(text), skin.codePage))) {
            return false;
        }
    }
    // Labels are drawn in the skin's own code page.
    YondaSetActiveCodePage(skin.codePage);
    auto pictures = DefaultSkinPictures();
    for (auto& labelled : WindowPictures(texts, skin.codePage)) {
        pictures.push_back(std::move(labelled));
    }
    for (auto& room : RoomSkinPictures(texts, skin.codePage)) {
        pictures.push_back(std::move(room));
    }
    for (auto& people : PeopleSkinPictures(texts, skin.codePage)) {
        pictures.push_back(std::move(people));
    }
    for (const auto& [name, picture] : pictures) {
        const std::vector<uint8_t> bmp = picture.Bmp();
        if (!WriteBytes(target / name, std::string_view(reinterpret_cast<const char*>(bmp.data()), bmp.size()))) {
            return false;
        }
    }
    std::vector<NamedFile> startup;
    if (!StartupFiles(texts, skin.codePage, &startup)) {
        return false;
    }
    for (const auto& [name, bytes] : startup) {
        if (!WriteBytes(target / name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()))) {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string_view(argv[1]) == "--icon") {
        const std::vector<uint8_t> icon = IcoBytes(ProgramIcon());
        return WriteBytes(argv[2], std::string_view(reinterpret_cast<const char*>(icon.data()), icon.size())) ? 0 : 1;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <data folder> <Skin folder> | --icon <file>\n", argv[0]);
        return 2;
    }
    for (const SkinLanguage& skin : kSkins) {
        if (!WriteSkin(argv[1], argv[2], skin)) {
            std::fprintf(stderr, "could not write the skin %s\n", skin.folder);
            return 1;
        }
    }
    return 0;
}
