#pragma once
// Writing generated files so that what is built from them is rebuilt only when they change.
#include <cstdint>
#include <filesystem>
#include <vector>

namespace yonda::sounds {

// Leaves a file whose bytes are already right alone; otherwise writes a temporary beside it and
// renames it over, so a reader never sees half a file. False when it cannot be written.
bool WriteIfChanged(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

} // namespace yonda::sounds
