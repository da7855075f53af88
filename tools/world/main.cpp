// kravex-world HOME FONT: writes the sample world below the program's home folder HOME.
#include "Generator.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s HOME-FOLDER FONT-FILE\n", argv[0]);
        return 2;
    }
    try {
        world::GeneratorOptions options;
        options.fontPath = argv[2];
        world::DataTree tree = world::GenerateAll(options);
        std::size_t written = tree.WriteTo(argv[1]);
        std::printf("sample world: %zu files, %zu written\n", tree.Files().size(), written);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kravex-world: %s\n", e.what());
        return 1;
    }
    return 0;
}
