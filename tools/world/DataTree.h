#pragma once
// The generated files, by path below the program's home folder, kept in memory until they are
// written so that a run can be compared with another byte for byte.

#include "ByteWriter.h"

#include <filesystem>
#include <map>
#include <string>

namespace world {

class DataTree {
public:
    // Throws when the path was already added: two descriptions must not claim one file.
    void Add(const std::string& path, Bytes bytes);
    void AddText(const std::string& path, const std::string& text);
    bool Has(const std::string& path) const { return m_files.count(path) != 0; }
    const Bytes& Get(const std::string& path) const;
    const std::map<std::string, Bytes>& Files() const { return m_files; }

    // Writes every file below `root`, leaving files whose bytes are already right untouched so
    // that whatever depends on them is not rebuilt. Returns the number of files written.
    std::size_t WriteTo(const std::filesystem::path& root) const;

private:
    std::map<std::string, Bytes> m_files;
};

// Where each kind of file lives below the home folder.
inline const std::string kWorldFolder = "Data/WORLD/";
inline const std::string kItemFolder = "Data/AVATAR/KRI/";
inline const std::string kMotionFolder = "Data/AVATAR/Motion/";

} // namespace world
