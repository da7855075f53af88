#pragma once
// The generated tree, made once per test program.

#include "AvatarItems.h"
#include "AvatarMotions.h"
#include "DataTree.h"
#include "Generator.h"

namespace world::check {

inline GeneratorOptions TestOptions()
{
    GeneratorOptions options;
    options.fontPath = YONDA_WORLD_FONT;
    return options;
}

// Each part of the tree is made once per test program, and only the part a test reads, so the
// suite stays quick also in the sanitizer build.
inline const DataTree& WorldTree()
{
    static const DataTree tree = [] {
        DataTree t;
        GenerateWorldFolder(t, TestOptions());
        return t;
    }();
    return tree;
}

inline const DataTree& AvatarTree()
{
    static const DataTree tree = [] {
        DataTree t;
        Studio studio(TestOptions().fontPath);
        GenerateAvatars(t, studio);
        return t;
    }();
    return tree;
}

inline const DataTree& MotionTree()
{
    static const DataTree tree = [] {
        DataTree t;
        GenerateMotions(t);
        return t;
    }();
    return tree;
}

inline bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace world::check
