// Any bytes as a chat line and as a word-list file: the analyser never reads past the text or
// the scan's buffer, keeps double-byte characters whole and always answers a feeling.
#include "TexMo.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

std::filesystem::path BuiltHome()
{
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "yonda";
}

CTexMo& Analyser()
{
    static CTexMo texmo = [] {
        CTexMo made;
        made.LoadLists((BuiltHome() / "Data" / "prb").c_str());
        return made;
    }();
    return texmo;
}

// A folder of the process's own, gone when it ends.
struct Scratch {
    Scratch() : path(std::filesystem::temp_directory_path() / ("texmo-fuzz-" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(path);
    }
    ~Scratch()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = bytes.substr(0, bytes.find('\0'));
    for (BOOL strict : {TRUE, FALSE}) {
        Analyser().SetStrict(strict);
        CString line(text.c_str());
        const int category = Analyser().Classify(line);
        if (category < 0 || category > CTexMo::kCategoryCount || line.GetLength() >= CTexMo::kScanBytes) {
            std::abort();
        }
        const int motion = Analyser().Analyze(text.c_str(), strict ? 1 : 0);
        if (motion < 0 || motion > 51) {
            std::abort();
        }
    }
    std::string scanned = bytes;
    ScanEmoticons(scanned);
    ClassifyKoreanWords(bytes);
    // The same bytes as a list file.
    static const Scratch scratch;
    const std::filesystem::path& folder = scratch.path;
    {
        std::ofstream out(folder / "01.prb", std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    CTexMo lists;
    lists.LoadLists(folder.c_str());
    for (const std::string& word : lists.List(1)) {
        if (word.size() >= CTexMo::kRecordBytes) {
            std::abort();
        }
    }
    return 0;
}
