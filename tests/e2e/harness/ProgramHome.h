// A home folder of the program's own for one end-to-end test. The program finds its home from
// its own file (GetModuleFileNameA, /proc/self/exe with links resolved), so the program file is
// put in (a hard link of the built program, else a copy) beside links to everything the built
// home holds (Skin\, Data\, data\...) and the settings file Yonda.ini the test writes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace yonda::testing {

// One key of the settings file; no value removes the key.
struct Setting {
    std::string section;
    std::string key;
    std::optional<std::string> value;
};

class ProgramHome {
public:
    // Makes `folder` (inside the build tree, so a hard link works) with `program` in it.
    ProgramHome(std::filesystem::path folder, const std::string& program);

    const std::filesystem::path& Folder() const { return m_folder; }
    const std::filesystem::path& Program() const { return m_program; }
    std::filesystem::path SettingsFile() const { return m_folder / "Yonda.ini"; }

    // Writes Yonda.ini: the settings file of a fresh installation with Server/ServerIp = serverIp,
    // then the overrides in order. Values are UTF-8 and written in the code page (949 for
    // "Orange").
    void WriteSettings(const std::string& serverIp, const std::vector<Setting>& overrides = {},
                       unsigned codePage = 949);
    // A value of the settings file as it is now (after the program wrote it back), in UTF-8.
    std::optional<std::string> ReadSetting(const std::string& section, const std::string& key,
                                           unsigned codePage = 949) const;

private:
    std::filesystem::path m_folder;
    std::filesystem::path m_program;
};

} // namespace yonda::testing
