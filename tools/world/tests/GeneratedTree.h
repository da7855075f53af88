#pragma once
// The generated tree, made once per test program.

#include "DataTree.h"
#include "Generator.h"

namespace world::check {

inline GeneratorOptions TestOptions()
{
    GeneratorOptions options;
    options.fontPath = YONDA_WORLD_FONT;
    return options;
}

inline const DataTree& Generated()
{
    static const DataTree tree = GenerateAll(TestOptions());
    return tree;
}

inline bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace world::check
