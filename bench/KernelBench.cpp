// The kernel's hot paths: decoding text for every label drawn each frame, and resolving the
// Windows paths of every file a scene or avatar load opens.
#include <windows.h>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

// A chat line of Hangul and ASCII, as the room log draws it.
std::string ChatLine()
{
    std::string line;
    for (int i = 0; i < 8; ++i)
        line += "\xC7\xD1\xB1\xDB abc ";
    return line;
}

void DecodeChatLine(benchmark::State& state)
{
    const std::string line = ChatLine();
    YondaDecodeText(line.data(), line.size(), 949); // the tables load once, outside the timing
    for (auto _ : state)
        benchmark::DoNotOptimize(YondaDecodeText(line.data(), line.size(), 949));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(line.size()));
}
BENCHMARK(DecodeChatLine);

void ResolveMixedCasePath(benchmark::State& state)
{
    std::string root = (std::filesystem::temp_directory_path() / "yonda-bench-XXXXXX").string();
    if (!mkdtemp(root.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    std::filesystem::create_directories(root + "/Data/Avatar/KRI");
    for (int i = 0; i < 200; ++i)
        std::ofstream(root + "/Data/Avatar/KRI/M" + std::to_string(1000 + i) + ".KRI") << "x";
    std::string windows = root;
    for (char& c : windows)
        if (c == '/')
            c = '\\';
    const std::string path = windows + "\\data\\avatar\\kri\\m1100.kri";
    for (auto _ : state)
        benchmark::DoNotOptimize(YondaHostPath(path.c_str()));
    std::filesystem::remove_all(root);
}
BENCHMARK(ResolveMixedCasePath);

} // namespace
