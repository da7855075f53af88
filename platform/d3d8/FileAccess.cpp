#include "FileAccess.h"

#include <cstdio>
#include <memory>

#if __has_include("yonda_platform.h")
#include "yonda_platform.h"
#define YONDA_D3D8_OPEN(path, mode) YondaOpenFile(path, mode)
#else
#define YONDA_D3D8_OPEN(path, mode) std::fopen(path, mode)
#endif

namespace yonda::d3d8 {
namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

} // namespace

bool ReadWholeFile(LPCSTR path, std::vector<BYTE>* bytes, size_t limit)
{
    if (!path || !*path)
        return false;
    std::unique_ptr<FILE, FileCloser> file(YONDA_D3D8_OPEN(path, "rb"));
    if (!file)
        return false;
    if (std::fseek(file.get(), 0, SEEK_END) != 0)
        return false;
    long length = std::ftell(file.get());
    if (length < 0 || size_t(length) > limit || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return false;
    bytes->resize(size_t(length));
    return std::fread(bytes->data(), 1, bytes->size(), file.get()) == bytes->size();
}

bool WriteWholeFile(LPCSTR path, const std::vector<BYTE>& bytes)
{
    if (!path || !*path)
        return false;
    std::unique_ptr<FILE, FileCloser> file(YONDA_D3D8_OPEN(path, "wb"));
    if (!file)
        return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return false;
    return std::fflush(file.get()) == 0;
}

} // namespace yonda::d3d8
