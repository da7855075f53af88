#include "ProgramHome.h"

#include "ServiceUnderTest.h"

#include <yonda_platform.h>

#include <strings.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace yonda::testing {
namespace {

struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;
};

// Every key the program reads at start, with the values of a fresh installation.
std::vector<Section> DefaultSettings(const std::string& serverIp) {
    return {
        {"Window", {{"Width", "100"}, {"Height", "50"}, {"Title", "Yonda Alpha"}}},
        {"Option",
         {{"Skin", "Orange"},
          {"TextColor", "0"},
          {"RememberMe", "0"},
          {"SavedID", ""},
          {"DefaultFont", "굴림"},
          {"FontSize", "90"},
          {"SoundOff", "0"},
          {"StringTable", "StringTable.ini"}}},
        {"Command",
         {{"HelpUrl", "http://127.0.0.1/help"},
          {"PasswordUrl", "http://127.0.0.1/password"},
          {"JoinUrl", "http://127.0.0.1/join"}}},
        {"Server", {{"ServerIp", serverIp}, {"LobbyCount", "5"}}},
    };
}

bool Same(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

std::string Trim(const std::string& text) {
    size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string::npos) return {};
    size_t end = text.find_last_not_of(" \t\r");
    return text.substr(start, end - start + 1);
}

}  // namespace

ProgramHome::ProgramHome(std::filesystem::path folder, const std::string& program) : m_folder(std::move(folder)) {
    std::filesystem::create_directories(m_folder);
    std::filesystem::path source(program);
    m_program = m_folder / source.filename();
    std::error_code error;
    std::filesystem::create_hard_link(source, m_program, error);
    if (error) std::filesystem::copy_file(source, m_program, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::path built(BuiltHome());
    for (const auto& entry : std::filesystem::directory_iterator(built, error)) {
        std::string name = entry.path().filename().string();
        if (Same(name, "Yonda.ini") || Same(name, source.filename().string())) continue;
        std::filesystem::create_symlink(entry.path(), m_folder / name, error);
        if (error) throw std::runtime_error("cannot link " + entry.path().string() + ": " + error.message());
    }
}

void ProgramHome::WriteSettings(const std::string& serverIp, const std::vector<Setting>& overrides, unsigned codePage) {
    std::vector<Section> sections = DefaultSettings(serverIp);
    for (const Setting& setting : overrides) {
        auto section = std::find_if(sections.begin(), sections.end(), [&](const Section& s) { return Same(s.name, setting.section); });
        if (section == sections.end()) section = sections.insert(sections.end(), Section{setting.section, {}});
        auto key = std::find_if(section->keys.begin(), section->keys.end(), [&](const auto& k) { return Same(k.first, setting.key); });
        if (!setting.value) {
            if (key != section->keys.end()) section->keys.erase(key);
        } else if (key != section->keys.end()) {
            key->second = *setting.value;
        } else {
            section->keys.emplace_back(setting.key, *setting.value);
        }
    }
    std::string text;
    for (const Section& section : sections) {
        text += "[" + section.name + "]\r\n";
        for (const auto& [key, value] : section.keys) text += key + " = " + value + "\r\n";
    }
    std::ofstream(SettingsFile(), std::ios::binary) << YondaUtf8ToCodePage(text, codePage);
}

std::optional<std::string> ProgramHome::ReadSetting(const std::string& section, const std::string& key,
                                                    unsigned codePage) const {
    std::ifstream file(SettingsFile(), std::ios::binary);
    std::string line, current;
    while (std::getline(file, line)) {
        line = Trim(line);
        if (line.size() > 1 && line.front() == '[' && line.back() == ']') {
            current = line.substr(1, line.size() - 2);
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos || !Same(current, section) || !Same(Trim(line.substr(0, equals)), key)) continue;
        return YondaCodePageToUtf8(Trim(line.substr(equals + 1)), codePage);
    }
    return std::nullopt;
}

}  // namespace yonda::testing
