#pragma once
// Catalogue files for tests: rows written as the catalogue stores them into a home folder of the
// test's own, and the rows of a stored catalogue read back byte by byte.
#include <filesystem>
#include <string>
#include <vector>

namespace catalogue_test {

// Every row complemented and ended by a zero byte; without `closeLast` the last row has none.
std::string Encode(const std::vector<std::string>& rows, bool closeLast = true);
// The rows of stored catalogue bytes, up to the first empty record.
std::vector<std::string> Decode(const std::string& bytes);
std::vector<std::string> Split(const std::string& row);
std::string ReadBytes(const std::filesystem::path& path);

// A fresh folder under the temporary folder, removed with the object.
class TempHome {
public:
    explicit TempHome(const std::string& name);
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // Writes <home>/data/item/item.dsv.
    void WriteCatalogue(const std::string& bytes) const;

private:
    std::filesystem::path m_path;
};

} // namespace catalogue_test
