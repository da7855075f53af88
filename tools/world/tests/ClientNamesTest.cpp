// Every file the client or the engine asks for by name is generated.
#include "GeneratedTree.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace world::check {
namespace {

std::string Format(const char* format, int n)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, n);
    return buffer;
}

std::vector<std::string> WorldNamesTheClientAsksFor()
{
    std::vector<std::string> names = {
        // The map, the five lobbies and the room types, party-game boards included.
        "M2.KRS",
        "LB_MA.KRS",
        "LB_GL.KRS",
        "LB_DP.KRS",
        "LB_SB.KRS",
        "box.KRS",
        "RM_03.KRS",
        "SP_PLT.KRS",
        "RM_ILD02.KRS",
        "RM_02.KRS",
        "PathF.KRS",
        "PathF16.KRS",
        "PathF17.KRS",
        // Fonts' balloons, chat balloons and the subject balloon.
        "1.krt",
        "MyBalloon.krt",
        "SubjectQuestion.KRT",
        // The subject board and the party-game tiles.
        "O0000400.KRO",
        "O0000410.KRO",
        "O0000421.KRO",
        "O0000422.KRO",
    };
    for (int i = 1; i <= 5; ++i) {
        names.push_back(Format("MyBalloon%d.KRT", i));
        names.push_back(Format("OtherBalloon%d-1.KRT", i));
    }
    for (int d = 1; d <= 9; ++d)
        names.push_back(Format("O00004%02d.KRO", 10 + d));
    for (int n = 1; n <= 10; ++n) {
        names.push_back(Format("%03d.krt", n));
        names.push_back(Format("G%03d.krt", n));
    }
    return names;
}

TEST(ClientNames, EveryWorldFileTheClientNamesExists)
{
    for (const std::string& name : WorldNamesTheClientAsksFor())
        EXPECT_TRUE(WorldTree().Has(kWorldFolder + name)) << name;
}

TEST(ClientNames, EveryScenesMapsLieBesideIt)
{
    for (const std::string& name : WorldNamesTheClientAsksFor()) {
        if (!EndsWith(name, ".KRS"))
            continue;
        std::string stem = name.substr(0, name.size() - 4);
        EXPECT_TRUE(WorldTree().Has(kWorldFolder + stem + ".KRP")) << name;
        EXPECT_TRUE(WorldTree().Has(kWorldFolder + stem + ".KRC")) << name;
    }
}

TEST(ClientNames, ObjectAndSceneNamesFitTheirFields)
{
    std::vector<std::string> paths;
    for (const DataTree* tree : {&WorldTree(), &AvatarTree()})
        for (const auto& [path, bytes] : tree->Files())
            paths.push_back(path);
    for (const std::string& path : paths) {
        std::string name = path.substr(path.rfind('/') + 1);
        if (EndsWith(name, ".KRO")) {
            EXPECT_LT(name.size(), 32u) << name;
        }
        EXPECT_LT(name.size(), 48u) << name;
    }
}

} // namespace
} // namespace world::check
