// Two runs write the same bytes: no clock, no unseeded randomness, no address-dependent order.
#include "GeneratedTree.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace world::check {
namespace {

TEST(Determinism, TwoRunsGiveTheSameTree)
{
    DataTree first = GenerateAll(TestOptions());
    DataTree second = GenerateAll(TestOptions());
    const auto& a = first.Files();
    const auto& b = second.Files();
    ASSERT_EQ(a.size(), b.size());
    for (auto ia = a.begin(), ib = b.begin(); ia != a.end(); ++ia, ++ib) {
        ASSERT_EQ(ia->first, ib->first);
        EXPECT_TRUE(ia->second == ib->second) << ia->first << " differs between runs";
    }
}

TEST(Determinism, WritingLeavesUnchangedFilesAlone)
{
    const yonda::testing::TempFolder temp("yonda-world-write");
    const std::filesystem::path& root = temp.Path();
    DataTree tree;
    tree.AddText("Data/WORLD/a.txt", "one\n");
    tree.AddText("Data/AVATAR/KRI/b.txt", "two\n");
    EXPECT_EQ(tree.WriteTo(root), 2u);
    EXPECT_EQ(tree.WriteTo(root), 0u);
    DataTree changed;
    changed.AddText("Data/WORLD/a.txt", "three\n");
    EXPECT_EQ(changed.WriteTo(root), 1u);
    EXPECT_EQ(std::filesystem::file_size(root / "Data/WORLD/a.txt"), 6u);
}

TEST(Determinism, OneFileCannotBeClaimedTwice)
{
    DataTree tree;
    tree.AddText("Data/WORLD/a.txt", "x");
    EXPECT_THROW(tree.AddText("Data/WORLD/a.txt", "y"), std::logic_error);
}

} // namespace
} // namespace world::check
