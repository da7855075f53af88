// Motion files read back and replayed the way the engine skins with them.
#include "AvatarItems.h"
#include "AvatarMotions.h"
#include "FileReaders.h"
#include "GeneratedTree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

namespace world::check {
namespace {

MotionFileData Motion(const std::string& file)
{
    return ReadMotionFile(MotionTree().Get(kMotionFolder + file));
}

std::map<std::string, std::string> IniSection(const std::string& section)
{
    const Bytes& bytes = MotionTree().Get(kMotionListPaths.front());
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::map<std::string, std::string> values;
    std::string line, current;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > 2 && line.front() == '[') {
            current = line.substr(1, line.size() - 2);
            continue;
        }
        // The client's ini reader needs exactly one blank on each side of '='.
        auto at = line.find(" = ");
        EXPECT_NE(at, std::string::npos) << line;
        if (at == std::string::npos)
            continue;
        if (current == section)
            values[line.substr(0, at)] = line.substr(at + 3);
    }
    return values;
}

// Bone matrix t as the engine rebuilds it from key k: rotation from yaw, pitch, roll, then the position.
Mat4 BoneMatrix(const MotionTrack& track, std::size_t k)
{
    const Vec3& a = track.angles[k];
    return RotationYawPitchRoll(a.x, a.y, a.z) * Translation(track.positions[k]);
}

TEST(MotionList, NamesEveryIndexTheClientPlaysForBothKinds)
{
    for (bool female : {false, true}) {
        auto section = IniSection(female ? "GirlMotion" : "BoyMotion");
        std::size_t total = female ? 48 : 53;
        ASSERT_EQ(section["nTotalMotion"], std::to_string(total));
        EXPECT_TRUE(MotionTree().Has(kMotionFolder + section["Init"]));
        for (std::size_t i = 0; i < total; ++i) {
            std::string file = section["File" + std::to_string(i)];
            EXPECT_TRUE(MotionTree().Has(kMotionFolder + file)) << i << ": " << file;
        }
        SpecialMotions special = SpecialMotionIndices(female);
        std::string prefix = female ? "Girl_" : "Boy_";
        EXPECT_EQ(section["File" + std::to_string(special.idle)], prefix + "Idle.mot");
        EXPECT_EQ(section["File" + std::to_string(special.sitDown)], prefix + "SitDown.mot");
        EXPECT_EQ(section["File" + std::to_string(special.seated)], prefix + "Seated.mot");
        EXPECT_EQ(section["File" + std::to_string(special.standUp)], prefix + "StandUp.mot");
        EXPECT_EQ(section["File" + std::to_string(special.walk)], prefix + "Walk.mot");
    }
}

TEST(MotionList, EverySkinHasTheSameList)
{
    ASSERT_EQ(kMotionListPaths.size(), 2u);
    for (const std::string& path : kMotionListPaths)
        EXPECT_EQ(MotionTree().Get(path), MotionTree().Get(kMotionListPaths.front())) << path;
}

TEST(MotionFiles, EveryFileHoldsTwentyFiveTracksOfItsBones)
{
    for (const auto& [path, bytes] : MotionTree().Files()) {
        if (path.rfind(kMotionFolder, 0) != 0)
            continue;
        SCOPED_TRACE(path);
        MotionFileData m = ReadMotionFile(bytes);
        EXPECT_EQ(m.tracks, 25u);
        EXPECT_GE(m.keys, 1u);
        EXPECT_GT(m.duration, 0u);
        for (std::uint32_t t = 0; t < m.tracks; ++t) {
            EXPECT_EQ(m.data[t].bone, 0x100101u + t);
            for (std::uint32_t k = 0; k < m.keys; ++k) {
                const Vec3 &p = m.data[t].positions[k], &a = m.data[t].angles[k];
                ASSERT_TRUE(std::isfinite(p.x + p.y + p.z + a.x + a.y + a.z));
            }
        }
    }
}

TEST(MotionFiles, TheBindMotionIsTheSkeletonAtRest)
{
    for (bool female : {false, true}) {
        Skeleton k = Skeleton::Build(female ? FemaleBody() : MaleBody());
        MotionFileData bind = Motion(MotionFileName(female, "Bind"));
        for (int t = 0; t < kBoneCount; ++t) {
            EXPECT_NEAR(Length(bind.data[t].positions[0] - k.joints[t]), 0, 1e-4f);
            EXPECT_NEAR(Length(bind.data[t].angles[0]), 0, 1e-6f);
        }
        // Head and right hand where the items expect them.
        EXPECT_GT(k.joints[kHead].y, 38);
        EXPECT_LT(k.joints[kRightHand].x, 0) << "the right side is -x when facing -z";
    }
}

TEST(MotionFiles, StoredAnglesRebuildTheSolvedBoneRotations)
{
    Skeleton k = Skeleton::Build(MaleBody());
    for (const MotionRecipe& recipe : MotionRecipes()) {
        SCOPED_TRACE(recipe.name);
        MotionFileData m = Motion(MotionFileName(false, recipe.name));
        ASSERT_EQ(m.keys, static_cast<std::uint32_t>(recipe.keyCount));
        for (std::uint32_t key = 0; key < m.keys; key += 3) {
            auto solved = SolvePose(k, PoseAt(recipe, static_cast<float>(key) / m.keys));
            for (int t = 0; t < kBoneCount; ++t) {
                Mat4 rebuilt = BoneMatrix(m.data[t], key);
                for (int i = 0; i < 3; ++i)
                    for (int j = 0; j < 3; ++j)
                        ASSERT_NEAR(rebuilt.m[i][j], solved[t].rotation.m[i][j], 2e-4f) << "bone " << t;
                EXPECT_NEAR(Length(rebuilt.Translation() - solved[t].position), 0, 1e-4f);
            }
        }
    }
}

TEST(MotionFiles, LoopsAndPairsJoinWhereTheClientChainsThem)
{
    for (bool female : {false, true}) {
        SCOPED_TRACE(female ? "female" : "male");
        MotionFileData idle = Motion(MotionFileName(female, "Idle"));
        MotionFileData seated = Motion(MotionFileName(female, "Seated"));
        // Idle, walk, stand-up and every gesture begin where idle begins: the client sends them
        // all on to idle, so their last key blends into idle's first.
        for (const MotionRecipe& recipe : MotionRecipes()) {
            if (recipe.name == "SitDown" || recipe.name == "Seated" || recipe.name == "StandUp")
                continue;
            MotionFileData m = Motion(MotionFileName(female, recipe.name));
            for (int t = 0; t < kBoneCount; ++t)
                EXPECT_NEAR(Length(m.data[t].positions[0] - idle.data[t].positions[0]), 0, 1e-3f)
                    << recipe.name << " bone " << t;
        }
        // Sitting down ends close to where seated begins.
        MotionFileData sit = Motion(MotionFileName(female, "SitDown"));
        EXPECT_LT(Length(sit.data[0].positions.back() - seated.data[0].positions[0]), 1.5f);
        // Standing up begins seated.
        MotionFileData stand = Motion(MotionFileName(female, "StandUp"));
        EXPECT_LT(Length(stand.data[0].positions[0] - seated.data[0].positions[0]), 1e-3f);
    }
}

// Skins a vertex bound to one bone the way the engine does.
Vec3 Skin(const Vec3& p, int bone, const MotionFileData& bind, const MotionFileData& motion, std::size_t key)
{
    Mat4 inverseBind = Translation(-bind.data[bone].positions[0]); // the bind pose has no rotation
    return TransformPoint(TransformPoint(p, inverseBind), BoneMatrix(motion.data[bone], key));
}

TEST(MotionFiles, SkinnedBodyMovesTheWayEachMotionSays)
{
    Skeleton k = Skeleton::Build(MaleBody());
    MotionFileData bind = Motion(MotionFileName(false, "Bind"));
    // Walking: a quarter through, the left foot is ahead (-z) and the right behind.
    MotionFileData walk = Motion(MotionFileName(false, "Walk"));
    std::size_t quarter = walk.keys / 4;
    Vec3 leftFoot = Skin(k.joints[kLeftFoot], kLeftCalf, bind, walk, quarter);
    Vec3 rightFoot = Skin(k.joints[kRightFoot], kRightCalf, bind, walk, quarter);
    EXPECT_LT(leftFoot.z, -4);
    EXPECT_GT(rightFoot.z, 2);
    // Seated: the hips sit 15 units behind where the avatar stood, on a seat about 12 high.
    MotionFileData seated = Motion(MotionFileName(false, "Seated"));
    Vec3 hip = seated.data[kPelvis].positions[0];
    EXPECT_NEAR(hip.z, 15, 0.5f);
    EXPECT_NEAR(hip.y, 14, 1);
    Vec3 knee = Skin(k.joints[kLeftCalf], kLeftThigh, bind, seated, 0);
    EXPECT_LT(knee.z, hip.z - 8) << "thighs reach forward";
    // Waving lifts the right hand above the head.
    MotionFileData wave = Motion(MotionFileName(false, "Wave"));
    float highest = 0;
    for (std::size_t key = 0; key < wave.keys; ++key)
        highest = std::max(highest, wave.data[kRightHand].positions[key].y);
    EXPECT_GT(highest, k.joints[kHead].y);
    // Nodding tips the head forward and down.
    MotionFileData nod = Motion(MotionFileName(false, "Nod"));
    Vec3 nose = k.HeadCentre() + Vec3{0, 0, -k.HeadRadius()};
    float lowest = 1e9f;
    for (std::size_t key = 0; key < nod.keys; ++key)
        lowest = std::min(lowest, Skin(nose, kHead, bind, nod, key).y);
    EXPECT_LT(lowest, nose.y - 1);
}

} // namespace
} // namespace world::check
