#pragma once
// Catalogue bytes for tests: rows as the catalogue stores them, and the rows of stored bytes
// read back.
#include <string>
#include <vector>

namespace catalogue_test {

// Every row complemented and ended by a zero byte; without `closeLast` the last row has none.
std::string Encode(const std::vector<std::string>& rows, bool closeLast = true);
// The rows of stored catalogue bytes, up to the first empty record.
std::vector<std::string> Decode(const std::string& bytes);
std::vector<std::string> Split(const std::string& row);

} // namespace catalogue_test
