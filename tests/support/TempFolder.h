// A scratch folder of a test's own, removed with everything in it when the test ends. Its name
// is unique on the machine, so tests of several build trees may run side by side.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace yonda::testing {

class TempFolder {
public:
    // `prefix` names the folder for a person looking into the temporary folder.
    explicit TempFolder(std::string_view prefix = "yonda");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_root; }
    std::string Root() const { return m_root.string(); }
    std::filesystem::path operator/(const std::filesystem::path& relative) const { return m_root / relative; }
    // The root as the program writes it: with backslashes.
    std::string Windows() const;

    // Makes a folder (with those on its way) and returns its path.
    std::filesystem::path MakeFolder(const std::filesystem::path& relative) const;
    // Writes a file (making the folders on its way) and returns its path.
    std::filesystem::path Write(const std::filesystem::path& relative, std::string_view content) const;
    std::filesystem::path Write(const std::filesystem::path& relative, const std::vector<uint8_t>& bytes) const;

private:
    std::filesystem::path m_root;
};

} // namespace yonda::testing
