// The whole sample world must generate in well under ten seconds, so every build stays quick.
#include "Generator.h"

#include <benchmark/benchmark.h>

static void GenerateSampleWorld(benchmark::State& state)
{
    world::GeneratorOptions options;
    options.fontPath = YONDA_WORLD_FONT;
    std::size_t bytes = 0;
    for (auto _ : state) {
        world::DataTree tree = world::GenerateAll(options);
        bytes = 0;
        for (const auto& [path, file] : tree.Files())
            bytes += file.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(GenerateSampleWorld)->Unit(benchmark::kMillisecond);
