#include "ProgramHome.h"

#include "ServiceUnderTest.h"

#include <yonda_platform.h>

#include <strings.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace yonda::testing {
namespace {

struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;
};

bool Same(const std::string& a, const std::string& b)
{
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

std::string Trim(const std::string& text)
{
    size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string::npos)
        return {};
    size_t end = text.find_last_not_of(" \t\r");
    return text.substr(start, end - start + 1);
}

// A settings file's sections and keys in order, in UTF-8; nothing when there is no file.
std::optional<std::vector<Section>> ReadSections(const std::filesystem::path& path, unsigned codePage)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::vector<Section> sections;
    std::string line;
    while (std::getline(file, line)) {
        line = Trim(YondaCodePageToUtf8(line, codePage));
        size_t equals = line.find('=');
        if (line.size() > 1 && line.front() == '[' && line.back() == ']')
            sections.push_back({line.substr(1, line.size() - 2), {}});
        else if (equals != std::string::npos && !sections.empty())
            sections.back().keys.emplace_back(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
    }
    return sections;
}

} // namespace

ProgramHome::ProgramHome(std::filesystem::path folder, const std::string& program) : m_folder(std::move(folder))
{
    std::filesystem::create_directories(m_folder);
    std::filesystem::path source(program);
    m_program = m_folder / source.filename();
    std::error_code error;
    std::filesystem::create_hard_link(source, m_program, error);
    if (error)
        std::filesystem::copy_file(source, m_program, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::path built(BuiltHome());
    for (const auto& entry : std::filesystem::directory_iterator(built, error)) {
        std::string name = entry.path().filename().string();
        if (Same(name, "Yonda.ini") || Same(name, source.filename().string()))
            continue;
        std::filesystem::create_symlink(entry.path(), m_folder / name, error);
        if (error)
            throw std::runtime_error("cannot link " + entry.path().string() + ": " + error.message());
    }
}

void ProgramHome::WriteSettings(const std::string& serverIp, const std::vector<Setting>& overrides, unsigned codePage)
{
    // The settings of a fresh installation: the build's pristine copy, not the built home's.
    auto fresh = ReadSections(YONDA_E2E_SETTINGS, codePage);
    if (!fresh)
        throw std::runtime_error("no settings file " YONDA_E2E_SETTINGS " (target yonda-settings)");
    std::vector<Section> sections = std::move(*fresh);
    std::vector<Setting> changes{{"Server", "ServerIp", serverIp}};
    changes.insert(changes.end(), overrides.begin(), overrides.end());
    for (const Setting& setting : changes) {
        auto section = std::find_if(sections.begin(), sections.end(),
                                    [&](const Section& s) { return Same(s.name, setting.section); });
        if (section == sections.end())
            section = sections.insert(sections.end(), Section{setting.section, {}});
        auto key = std::find_if(section->keys.begin(), section->keys.end(),
                                [&](const auto& k) { return Same(k.first, setting.key); });
        if (!setting.value) {
            if (key != section->keys.end())
                section->keys.erase(key);
        } else if (key != section->keys.end()) {
            key->second = *setting.value;
        } else {
            section->keys.emplace_back(setting.key, *setting.value);
        }
    }
    std::string text;
    for (const Section& section : sections) {
        text += "[" + section.name + "]\r\n";
        for (const auto& [key, value] : section.keys)
            text += key + " = " + value + "\r\n";
    }
    std::ofstream(SettingsFile(), std::ios::binary) << YondaUtf8ToCodePage(text, codePage);
}

std::optional<std::string> ProgramHome::ReadSetting(const std::string& section, const std::string& key,
                                                    unsigned codePage) const
{
    for (const Section& s : ReadSections(SettingsFile(), codePage).value_or(std::vector<Section>{})) {
        if (!Same(s.name, section))
            continue;
        for (const auto& [name, value] : s.keys)
            if (Same(name, key))
                return value;
    }
    return std::nullopt;
}

} // namespace yonda::testing
