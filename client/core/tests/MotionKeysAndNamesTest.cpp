// The motion-key table over both skins' generated files and over broken ones, and the checks of
// the names a member gives the avatar.
#include "AvatarFaces.h"
#include "ClientGlobals.h"
#include "MotionOppositeTable.h"
#include "NameChecks.h"

#include <ToolkitShared.h>
#include <gtest/gtest.h>
#include <yonda_platform.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include <unistd.h>

namespace {

std::string InstallPath()
{
    const char* binary = std::getenv("YONDA_BINARY_DIR");
    return binary ? std::string(binary) + "/yonda" : std::string();
}

// Face weights as authored in percent.
::testing::AssertionResult SameWeights(const std::vector<float>& actual, const std::vector<float>& percent)
{
    for (size_t i = 0; i < percent.size(); ++i) {
        if (i >= actual.size() || std::abs(actual[i] - percent[i] / 100.0f) > 1e-6f) {
            return ::testing::AssertionFailure() << "weight " << i;
        }
    }
    return actual.size() == percent.size() ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << "size";
}

// Every motion a key can pick for a gender, by picking often.
std::set<int> Picks(const CMotionOppositeTable& table, int key, int gender)
{
    std::set<int> seen;
    for (int i = 0; i < 400; ++i) {
        seen.insert(table.PickRandom(key, gender));
    }
    return seen;
}

} // namespace

TEST(MotionKeys, BothSkinsListTheSameKeysAndF1Greets)
{
    ASSERT_FALSE(InstallPath().empty());
    g_strInstallPath = InstallPath().c_str();
    for (const char* skin : {"Orange", "Orange_Do"}) {
        SCOPED_TRACE(skin);
        ToolkitSetSkinFolder(SkinFolderOf(skin));
        CMotionOppositeTable table;
        EXPECT_EQ(table.Load(), 1);
        EXPECT_GE(table.GetKeyCount(), 10);
        const MOTION_KEY_ENTRY* f1 = table.Find(VK_F1);
        ASSERT_NE(f1, nullptr);
        EXPECT_EQ(f1->maleMotions.size(), 6u);
        EXPECT_EQ(Picks(table, VK_F1, 'M'), (std::set<int>{1, 2, 3, 4, 5, 6}));
        EXPECT_EQ(Picks(table, VK_F1, 1), (std::set<int>{1, 2, 3, 4}));
        EXPECT_EQ(table.PickRandom(VK_F1, 'X'), -1);
        EXPECT_EQ(table.PickRandom(VK_F10, 'M'), -1) << "F10 is not a motion key";
    }
}

TEST(MotionKeys, ABrokenKeyFileNeverPicksOutsideWhatItLists)
{
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("yonda-motion-keys-" + std::to_string(getpid()) + ".ini");
    std::ofstream(path) << "[Header]\nnTotalKey = 5\n"
                           // No motion for a lady.
                           "[Key0]\nKeyChar = 49\nMale = 2\nmm0 = 7\nmm1 = 8\nFemale = 0\n"
                           // Counts that lie: more announced than listed, and a negative one.
                           "[Key1]\nKeyChar = 50\nMale = 2000000000\nmm0 = 9\nFemale = -3\nfm0 = 4\n"
                           // No key character: not a key at all.
                           "[Key2]\nMale = 1\nmm0 = 1\n"
                           // The same key again: the first entry wins.
                           "[Key3]\nKeyChar = 49\nMale = 1\nmm0 = 30\nFemale = 1\nfm0 = 30\n";
    CMotionOppositeTable table;
    EXPECT_EQ(table.LoadFile(path.string().c_str()), 1);
    std::filesystem::remove(path);
    EXPECT_EQ(table.GetKeyCount(), 3);
    EXPECT_EQ(Picks(table, '1', 'M'), (std::set<int>{7, 8}));
    EXPECT_EQ(table.PickRandom('1', 'F'), -1);
    EXPECT_EQ(Picks(table, '2', 0), (std::set<int>{9}));
    EXPECT_EQ(table.PickRandom('2', 'F'), -1);
    EXPECT_EQ(table.PickRandom('3', 'M'), -1);
    EXPECT_EQ(table.Find(0), nullptr);

    // A missing file is an empty table.
    EXPECT_EQ(table.LoadFile("/nonexistent/MotionOppositionKey.ini"), 1);
    EXPECT_EQ(table.GetKeyCount(), 0);
    EXPECT_EQ(table.PickRandom('1', 'M'), -1);
}

TEST(AvatarFaces, SharedRowsAndTheRestingFace)
{
    auto row = [](bool female, int emotion) {
        float w[kFaceWeightCount];
        GetEmotionFaceWeights(female, emotion, w);
        return std::vector<float>(w, w + kFaceWeightCount);
    };
    EXPECT_EQ(row(false, 11), row(false, 12));
    EXPECT_EQ(row(false, 11), row(false, 13));
    EXPECT_EQ(row(false, 51), row(false, 7));
    EXPECT_EQ(row(false, 53), row(false, 21));
    EXPECT_EQ(row(true, 47), row(true, 4));
    EXPECT_EQ(row(true, 46), row(true, 5));
    EXPECT_TRUE(SameWeights(row(false, 5), {100, 0, 0, 100, 0, 0, 0, 0, 100, 60}));
    EXPECT_TRUE(SameWeights(row(true, 10), {100, 100, 0, 0, 0, 0, 60, 0, 0, 0}));
    EXPECT_TRUE(SameWeights(row(false, 0), {30, 0, 0, 0, 0, 30, 0, 0, 0, 0}));
    EXPECT_TRUE(SameWeights(row(false, 54), {30, 0, 0, 0, 0, 30, 0, 0, 0, 0}));
    EXPECT_TRUE(SameWeights(row(true, 49), {0, 0, 0, 60, 0, 50, 0, 0, 0, 0}));
    EXPECT_NE(row(true, 48), row(true, 49)) << "48 is a lady's last emotion";

    float w[kFaceWeightCount];
    GetFaceTypeWeights(true, 2, w);
    EXPECT_TRUE(SameWeights(std::vector<float>(w, w + kFaceWeightCount), {0, 60, 80, 50, 0, 0, 100, 10, 0, 50}));
    GetFaceTypeWeights(false, 5, w);
    EXPECT_TRUE(SameWeights(std::vector<float>(w, w + kFaceWeightCount), std::vector<float>(kFaceWeightCount, 0.0f)));
}

TEST(NameChecks, ReservedNamesBlanksAndDoubleByteLength)
{
    YondaSetActiveCodePage(949);
    const std::string operatorName = YondaUtf8ToCodePage("운영자", 949);
    const std::string serviceName = YondaUtf8ToCodePage("욘다닷넷", 949);
    EXPECT_FALSE(IsAllowedName(operatorName.c_str()));
    EXPECT_FALSE(IsAllowedName(("  " + serviceName + " ").c_str()));
    EXPECT_FALSE(IsAllowedName(YondaUtf8ToCodePage("관리자", 949).c_str()));
    EXPECT_TRUE(IsAllowedName((operatorName + "2").c_str()));
    EXPECT_TRUE(IsAllowedName("Demo"));

    EXPECT_FALSE(IsValidNickname(" \t "));
    EXPECT_FALSE(IsValidNickname(nullptr));
    EXPECT_TRUE(IsValidNickname(" Kim "));
    CString padded(" Kim \t");
    TrimString(padded);
    EXPECT_EQ(padded, "Kim");
    EXPECT_TRUE(FindSpace("Kim Lee"));
    EXPECT_FALSE(FindSpace("KimLee"));

    EXPECT_EQ(CountMbcsChars(CString(YondaUtf8ToCodePage("가나a다", 949).c_str())), 4);
    EXPECT_EQ(CountMbcsChars(CString("abc")), 3);
    EXPECT_EQ(CountMbcsChars(CString("ab\xb0")), 3) << "a lead byte at the end counts once";
    EXPECT_EQ(CountMbcsChars(CString()), 0);

    // In the German code page the Korean names cannot be typed: nothing is refused for them.
    YondaSetActiveCodePage(1252);
    EXPECT_TRUE(IsAllowedName("???"));
    EXPECT_TRUE(IsAllowedName(operatorName.c_str()));
    YondaSetActiveCodePage(949);
}
