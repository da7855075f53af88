#include "WriteIfChanged.h"

#include <fstream>
#include <iterator>

namespace yonda::sounds {

bool WriteIfChanged(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    {
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.is_open() && old == bytes) {
            return true;
        }
    }
    const std::filesystem::path temporary = path.string() + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    return !error;
}

} // namespace yonda::sounds
