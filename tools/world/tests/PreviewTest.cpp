// kravex-world-preview run as a content author runs it: its help, and the arguments it refuses
// with their names.
#include "ChildProcess.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using yonda::testing::BinaryDir;
using yonda::testing::CommandRun;

namespace {

CommandRun Preview(const std::string& arguments)
{
    return yonda::testing::RunCommand((fs::path(BinaryDir()) / "bin" / "kravex-world-preview").string() + " " +
                                      arguments);
}

std::string Home()
{
    return (fs::path(BinaryDir()) / "yonda").string();
}

} // namespace

TEST(Preview, HelpSaysWhatEachArgumentIs)
{
    for (const char* help : {"--help", "-h"}) {
        CommandRun run = Preview(help);
        EXPECT_EQ(run.status, 0) << run.output;
        for (const char* word : {"usage: kravex-world-preview HOME OUT.png SCENE.KRS", "EYE_X", "FACE"})
            EXPECT_NE(run.output.find(word), std::string::npos) << word << "\n" << run.output;
    }
    CommandRun run = Preview("");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.output.find("too few arguments"), std::string::npos) << run.output;
}

TEST(Preview, DrawsAScenePosedAndRefusesWhatItCannotDraw)
{
    const yonda::testing::TempFolder out("yonda-preview");
    const std::string picture = (out / "room.png").string();
    const std::string scene = Home() + " " + picture + " RM_03.KRS ";
    CommandRun run = Preview(scene + "0 200 -160 0 0 0 10001.KRA Boy_Bind.mot 0 0 0 0 -1");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_GT(fs::file_size(picture), 1000u);
    // Straight down is a view like any other.
    run = Preview(scene + "0 300 0 0 0 0");
    EXPECT_EQ(run.status, 0) << run.output;

    struct Case {
        std::string arguments;
        int status;
        const char* says;
    };
    for (const Case& c : std::vector<Case>{
             {scene + "0 200 -160 0 abc 0", 2, "AT_Y is not a finite number: 'abc'"},
             {scene + "0 200 -160x 0 0 0", 2, "EYE_Z is not a finite number: '-160x'"},
             {scene + "0 inf -160 0 0 0", 2, "EYE_Y is not a finite number"},
             {scene + "1 2 3 1 2 3", 2, "the eye and the point it looks at are the same"},
             {scene + "0 200 -160 0 0 0 10001.KRA", 2, "each avatar takes seven values"},
             {scene + "0 200 -160 0 0 0 10001.KRA Boy_Bind.mot -1 0 0 0 -1", 2,
              "KEY of avatar 1 is not a whole number"},
             {scene + "0 200 -160 0 0 0 10001.KRA Boy_Bind.mot 0 0 0 0 x", 2, "FACE of avatar 1"},
             {scene + "0 200 -160 0 0 0 10001.KRA Boy_Bind.mot 0 0 0 0 99", 1, "face target 99"},
             {scene + "0 200 -160 0 0 0 10001.KRA Boy_Bind.mot 0 0 north 0 -1", 2,
              "Z of avatar 1 is not a finite number"},
             {Home() + " " + picture + " NOWHERE.KRS 0 200 -160 0 0 0", 1, "missing Data/WORLD/NOWHERE.KRS"},
             {Home() + " " + (out / "no" / "such" / "folder.png").string() + " RM_03.KRS 0 200 -160 0 0 0", 1,
              "cannot write the picture"},
         }) {
        run = Preview(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.output;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << c.arguments << "\n" << run.output;
    }
}
