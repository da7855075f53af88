#include "AvatarMotions.h"

#include "Skeleton.h"

#include <cmath>
#include <stdexcept>

namespace world {

namespace {

// Left limbs turn outward with positive roll, right limbs with negative roll.
constexpr float kLeft = 1, kRight = -1;

Pose Stand()
{
    Pose p;
    p.Turn(kLeftUpperArm, 0, 0, 6).Turn(kRightUpperArm, 0, 0, -6);
    p.Turn(kLeftForearm, 8).Turn(kRightForearm, 8);
    return p;
}

Pose Breathe(float amount)
{
    Pose p = Stand();
    p.Turn(kChest, -amount).Turn(kNeck, amount * 0.5f);
    p.Turn(kLeftUpperArm, 0, 0, 6 + amount).Turn(kRightUpperArm, 0, 0, -6 - amount);
    return p;
}

Pose Sitting()
{
    Pose p;
    p.offset = {0, -12, 15};
    p.Turn(kSpine, 4).Turn(kLeftThigh, 88).Turn(kRightThigh, 88).Turn(kLeftCalf, -88).Turn(kRightCalf, -88);
    // Hands resting on the thighs.
    p.Turn(kLeftUpperArm, 18, 0, 4)
        .Turn(kRightUpperArm, 18, 0, -4)
        .Turn(kLeftForearm, 62, 0, -12)
        .Turn(kRightForearm, 62, 0, 12);
    return p;
}

Pose Crouch(float depth)
{
    Pose p = Stand();
    p.offset = {0, -depth * 0.12f, 0};
    p.Turn(kSpine, -depth * 0.4f);
    for (int thigh : {kLeftThigh, kRightThigh})
        p.Turn(thigh, depth);
    for (int calf : {kLeftCalf, kRightCalf})
        p.Turn(calf, -depth * 1.8f);
    for (int foot : {kLeftFoot, kRightFoot})
        p.Turn(foot, depth * 0.8f);
    return p;
}

// One arm raised: `raise` turns it out to the side (degrees), `forward` in front.
Pose& Arm(Pose& p, float side, float raise, float forward, float elbow, float elbowOut = 0)
{
    bool left = side > 0;
    p.Turn(left ? kLeftUpperArm : kRightUpperArm, forward, 0, side * raise);
    p.Turn(left ? kLeftForearm : kRightForearm, elbow, 0, side * elbowOut);
    return p;
}

MotionRecipe Recipe(std::string name, std::uint32_t ms, int keys, std::vector<MotionKey> poses)
{
    return {std::move(name), ms, keys, std::move(poses)};
}

// A gesture that starts and ends standing, with `beats` repeated poses between.
MotionRecipe Gesture(std::string name, std::uint32_t ms, std::vector<Pose> beats)
{
    std::vector<MotionKey> keys{{0, Stand()}};
    for (std::size_t i = 0; i < beats.size(); ++i)
        keys.push_back({0.12f + 0.76f * i / std::max<std::size_t>(beats.size() - 1, 1), beats[i]});
    keys.push_back({1, Stand()});
    int keyCount = static_cast<int>(ms / 80);
    return Recipe(std::move(name), ms, keyCount, keys);
}

std::vector<Pose> Alternate(const Pose& a, const Pose& b, int count)
{
    std::vector<Pose> out;
    for (int i = 0; i < count; ++i)
        out.push_back(i % 2 ? b : a);
    return out;
}

Pose WalkStep(float swing)
{
    // swing > 0: left leg forward, right arm forward.
    Pose p = Stand();
    p.Turn(kLeftThigh, swing).Turn(kRightThigh, -swing);
    p.Turn(kLeftCalf, swing > 0 ? -8 : -30).Turn(kRightCalf, swing > 0 ? -30 : -8);
    p.Turn(kLeftUpperArm, -swing * 0.8f, 0, 6).Turn(kRightUpperArm, swing * 0.8f, 0, -6);
    p.Turn(kLeftForearm, 15 + std::max(0.0f, -swing) * 0.5f).Turn(kRightForearm, 15 + std::max(0.0f, swing) * 0.5f);
    p.Turn(kSpine, 0, swing * 0.15f);
    p.offset = {0, -0.6f, 0};
    return p;
}

Pose Passing(float lift)
{
    Pose p = Stand();
    p.Turn(lift > 0 ? kLeftThigh : kRightThigh, 12).Turn(lift > 0 ? kLeftCalf : kRightCalf, -28);
    return p;
}

} // namespace

MotionRecipe BindMotion()
{
    return Recipe("Bind", 1000, 1, {{0, Pose{}}});
}

std::vector<MotionRecipe> MotionRecipes()
{
    std::vector<MotionRecipe> r;

    r.push_back(Recipe("Idle", 2400, 24,
                       {{0, Stand()}, {0.25f, Breathe(2)}, {0.5f, Stand()}, {0.75f, Breathe(1.5f)}, {1, Stand()}}));
    // The walk starts and ends on the idle pose, which is where the client's next motion begins.
    r.push_back(Recipe("Walk", 1000, 20,
                       {{0, Stand()},
                        {0.125f, Passing(1)},
                        {0.25f, WalkStep(30)},
                        {0.375f, Passing(-1)},
                        {0.5f, Stand()},
                        {0.625f, Passing(-1)},
                        {0.75f, WalkStep(-30)},
                        {0.875f, Passing(1)},
                        {1, Stand()}}));
    r.push_back(
        Recipe("SitDown", 1200, 24, {{0, Stand()}, {0.4f, Blend(Crouch(40), Sitting(), 0.3f)}, {1, Sitting()}}));
    r.push_back(Recipe("Seated", 4000, 40,
                       {{0, Sitting()}, {0.5f, Pose(Sitting()).Turn(kChest, -2).Turn(kHead, 3)}, {1, Sitting()}}));
    r.push_back(
        Recipe("StandUp", 1200, 24, {{0, Sitting()}, {0.55f, Blend(Crouch(40), Sitting(), 0.35f)}, {1, Stand()}}));

    Pose nodDown = Stand();
    nodDown.Turn(kHead, -22).Turn(kNeck, -6);
    r.push_back(Gesture("Nod", 1400, Alternate(nodDown, Stand(), 3)));

    Pose waveA = Stand(), waveB = Stand();
    Arm(waveA, kRight, 150, 0, 0, -30);
    Arm(waveB, kRight, 150, 0, 0, 20);
    waveA.Turn(kHead, 0, -8, -5);
    waveB.Turn(kHead, 0, -8, -5);
    r.push_back(Gesture("Wave", 2000, Alternate(waveA, waveB, 6)));

    Pose bowDown = Stand();
    bowDown.Turn(kSpine, -22).Turn(kChest, -18).Turn(kNeck, -10);
    r.push_back(Gesture("Bow", 1800, {bowDown, bowDown}));

    Pose deepBow = Stand();
    deepBow.Turn(kSpine, -35).Turn(kChest, -25).Turn(kNeck, -12);
    deepBow.Turn(kLeftUpperArm, -15, 0, 2).Turn(kRightUpperArm, -15, 0, -2);
    r.push_back(Gesture("DeepBow", 2400, {deepBow, deepBow, deepBow}));

    Pose byeA = Stand(), byeB = Stand();
    Arm(Arm(byeA, kLeft, 150, 0, 0, 25), kRight, 150, 0, 0, -25);
    Arm(Arm(byeB, kLeft, 150, 0, 0, -20), kRight, 150, 0, 0, 20);
    r.push_back(Gesture("WaveBoth", 2000, Alternate(byeA, byeB, 6)));

    Pose salute = Stand();
    Arm(salute, kRight, 75, 20, 120, 0);
    salute.Turn(kRightForearm, 120, 0, 0).Turn(kHead, 4);
    r.push_back(Gesture("Salute", 1800, {salute, salute}));

    Pose swayA = Stand(), swayB = Stand();
    swayA.Turn(kPelvis, 0, 0, 5).Turn(kChest, 0, 0, -6).Turn(kHead, 0, 0, 8);
    swayB.Turn(kPelvis, 0, 0, -5).Turn(kChest, 0, 0, 6).Turn(kHead, 0, 0, -8);
    r.push_back(Gesture("Smile", 2000, Alternate(swayA, swayB, 4)));

    Pose hips = Stand();
    Arm(Arm(hips, kLeft, 40, -15, 95, -40), kRight, 40, -15, 95, -40);
    hips.Turn(kHead, 12, 0, 8).Turn(kChest, 4);
    r.push_back(Gesture("HandsOnHips", 2000, {hips, hips, hips}));

    Pose shrug = Stand();
    Arm(Arm(shrug, kLeft, 25, 10, 80, 45), kRight, 25, 10, 80, 45);
    shrug.Turn(kHead, 0, 0, 12).Turn(kChest, 5);
    r.push_back(Gesture("Shrug", 1600, {shrug, shrug}));

    Pose laughA = Stand(), laughB = Stand();
    for (Pose* p : {&laughA, &laughB}) {
        Arm(Arm(*p, kLeft, 15, 35, 85, -30), kRight, 15, 35, 85, -30);
        p->Turn(kSpine, 8).Turn(kHead, 18);
    }
    laughB.Turn(kChest, 8).Turn(kSpine, 3);
    r.push_back(Gesture("Laugh", 2000, Alternate(laughA, laughB, 8)));

    Pose clapOpen = Stand(), clapShut = Stand();
    Arm(Arm(clapOpen, kLeft, 25, 55, 55, -5), kRight, 25, 55, 55, -5);
    Arm(Arm(clapShut, kLeft, 5, 55, 60, -45), kRight, 5, 55, 60, -45);
    r.push_back(Gesture("Clap", 2000, Alternate(clapOpen, clapShut, 8)));

    Pose giggle = Stand();
    Arm(giggle, kRight, 20, 40, 135, -30);
    giggle.Turn(kHead, -8, 0, 6);
    Pose giggle2 = giggle;
    giggle2.Turn(kChest, -6);
    r.push_back(Gesture("Giggle", 1600, Alternate(giggle, giggle2, 6)));

    Pose stompUp = Stand(), stompDown = Stand();
    Arm(Arm(stompUp, kLeft, 20, 30, 100, -20), kRight, 20, 30, 100, -20);
    stompDown = stompUp;
    stompUp.Turn(kRightThigh, 45).Turn(kRightCalf, -60);
    stompUp.Turn(kHead, -10);
    r.push_back(Gesture("Angry", 1800, Alternate(stompUp, stompDown, 4)));

    Pose fistA = Stand(), fistB = Stand();
    Arm(fistA, kRight, 60, 40, 110, 0);
    Arm(fistB, kRight, 70, 40, 80, 0);
    fistA.Turn(kHead, -6);
    fistB.Turn(kHead, -6);
    r.push_back(Gesture("FistShake", 1800, Alternate(fistA, fistB, 6)));

    Pose crossed = Stand();
    Arm(Arm(crossed, kLeft, 10, 35, 100, -70), kRight, 10, 35, 100, -70);
    crossed.Turn(kHead, 8, 20);
    r.push_back(Gesture("ArmsCrossed", 2000, {crossed, crossed, crossed}));

    Pose sad = Stand();
    sad.Turn(kHead, -28).Turn(kNeck, -10).Turn(kSpine, -8).Turn(kChest, -6);
    Arm(Arm(sad, kLeft, 2, 5, 5), kRight, 2, 5, 5);
    r.push_back(Gesture("Sad", 2400, {sad, sad, sad}));

    Pose cryA = Stand(), cryB = Stand();
    for (Pose* p : {&cryA, &cryB}) {
        Arm(Arm(*p, kLeft, 18, 40, 125, -35), kRight, 18, 40, 125, -35);
        p->Turn(kHead, -22).Turn(kSpine, -6);
    }
    cryA.Turn(kChest, -4, 0, 4);
    cryB.Turn(kChest, -4, 0, -4);
    r.push_back(Gesture("Cry", 2400, Alternate(cryA, cryB, 8)));

    Pose surprise = Stand();
    Arm(Arm(surprise, kLeft, 35, 55, 70, 20), kRight, 35, 55, 70, 20);
    surprise.Turn(kHead, 12).Turn(kSpine, 8);
    surprise.offset = {0, 0.5f, 3};
    r.push_back(Gesture("Surprise", 1400, {surprise, surprise}));

    Pose facepalm = Stand();
    Arm(facepalm, kRight, 20, 55, 130, -30);
    facepalm.Turn(kHead, -25, 0, 5).Turn(kNeck, -8);
    r.push_back(Gesture("Facepalm", 2000, {facepalm, facepalm}));

    Pose noLeft = Stand(), noRight = Stand();
    noLeft.Turn(kHead, 0, -28);
    noRight.Turn(kHead, 0, 28);
    r.push_back(Gesture("HeadShake", 1400, Alternate(noLeft, noRight, 5)));

    Pose stretch = Stand();
    Arm(Arm(stretch, kLeft, 165, 0, 10), kRight, 165, 0, 10);
    stretch.Turn(kSpine, 8).Turn(kHead, 22);
    r.push_back(Gesture("Stretch", 2400, {stretch, stretch}));

    Pose shiverA = Stand(), shiverB = Stand();
    for (Pose* p : {&shiverA, &shiverB}) {
        Arm(Arm(*p, kLeft, 15, 35, 95, -65), kRight, 15, 35, 95, -65);
        p->Turn(kHead, -10).Turn(kSpine, -6);
    }
    shiverA.bodyYaw = 3;
    shiverB.bodyYaw = -3;
    r.push_back(Gesture("Shiver", 2000, Alternate(shiverA, shiverB, 12)));

    Pose think = Stand();
    Arm(think, kRight, 15, 30, 135, -20);
    Arm(think, kLeft, 10, 30, 80, -50);
    think.Turn(kHead, -8, 0, 10);
    r.push_back(Gesture("Think", 2400, {think, think, think}));

    Pose scratch = Stand(), scratch2 = Stand();
    Arm(scratch, kRight, 110, 10, 120, 0);
    Arm(scratch2, kRight, 115, 10, 110, 0);
    scratch.Turn(kHead, 0, 0, 10);
    scratch2.Turn(kHead, 0, 0, 10);
    r.push_back(Gesture("ScratchHead", 2000, Alternate(scratch, scratch2, 6)));

    Pose cheerUp = Stand(), cheerLow = Stand();
    Arm(Arm(cheerUp, kLeft, 160, 0, 5), kRight, 160, 0, 5);
    Arm(Arm(cheerLow, kLeft, 120, 0, 50), kRight, 120, 0, 50);
    cheerUp.offset = {0, 2, 0};
    cheerUp.Turn(kHead, 12);
    r.push_back(Gesture("Cheer", 2000, Alternate(cheerUp, cheerLow, 6)));

    Pose air = Stand();
    Arm(Arm(air, kLeft, 140, 0, 10), kRight, 140, 0, 10);
    air.offset = {0, 9, 0};
    r.push_back(
        Recipe("Jump", 1400, 28, {{0, Stand()}, {0.2f, Crouch(35)}, {0.45f, air}, {0.7f, Crouch(30)}, {1, Stand()}}));

    Pose danceA = Stand(), danceB = Stand();
    Arm(Arm(danceA, kLeft, 60, 30, 70), kRight, 30, -20, 40);
    Arm(Arm(danceB, kLeft, 30, -20, 40), kRight, 60, 30, 70);
    danceA.bodyYaw = 18;
    danceB.bodyYaw = -18;
    danceA.Turn(kPelvis, 0, 0, 6).Turn(kLeftThigh, 20).Turn(kLeftCalf, -30);
    danceB.Turn(kPelvis, 0, 0, -6).Turn(kRightThigh, 20).Turn(kRightCalf, -30);
    danceA.offset = danceB.offset = {0, -1, 0};
    r.push_back(Gesture("Dance", 3200, Alternate(danceA, danceB, 8)));

    Pose point = Stand();
    Arm(point, kRight, 10, 85, 0);
    point.Turn(kHead, -4, -10);
    r.push_back(Gesture("Point", 1800, {point, point}));

    Pose tease = point;
    tease.Turn(kSpine, 8).Turn(kHead, 14, -10);
    Arm(tease, kLeft, 15, 35, 85, -30);
    Pose tease2 = tease;
    tease2.Turn(kChest, 8);
    r.push_back(Gesture("Tease", 2000, Alternate(tease, tease2, 6)));

    Pose heart = Stand();
    Arm(Arm(heart, kLeft, 150, 10, 0, 75), kRight, 150, 10, 0, 75);
    heart.Turn(kLeftForearm, 0, 0, 75).Turn(kRightForearm, 0, 0, -75).Turn(kHead, 6, 0, 8);
    r.push_back(Gesture("Heart", 2200, {heart, heart, heart}));

    return r;
}

std::vector<std::string> MotionIndexTable(bool female)
{
    if (!female)
        return {
            "Idle", // 0
            "Nod",       "Wave",        "Bow",         "WaveBoth",
            "Salute",    "Wave",                                 // 1-6 greeting, farewell
            "Smile",     "HandsOnHips", "Shrug",       "Giggle", // 7 smile, 8-9 sneer, 10 bitter laugh
            "Laugh",     "Laugh",       "Clap",        "Giggle", // 11-12 laugh, 13, 14 giggle
            "Angry",     "FistShake",   "ArmsCrossed", "Sad",
            "Cry",       "Cry", // 15-17 anger, 18 grief, 19-20 cry
            "Surprise",  "Facepalm",    "HeadShake",   "Stretch",
            "Shiver", // 21-25
            "Shiver",    "Shrug",       "DeepBow",     "Bow",
            "Think", // 26-30
            "Think",     "ScratchHead", "Think",       "Nod",
            "HeadShake", // 31-33 question, 34 agree, 35 refuse
            "SitDown",   "Seated",      "Jump",        "Dance",
            "StandUp",   "Walk", // 36-41
            "Cheer",     "Dance",       "Jump",        "Clap",
            "Point",     "Heart", // 42-47
            "Clap",      "Cheer",       "Tease",       "Heart",
            "Dance", // 48-49 congratulations, 50 tease, 51 love, 52
        };
    return {
        "Idle",                                                          // 0
        "Nod",      "Wave",        "Bow",         "WaveBoth",            // 1-4 greeting, farewell
        "Smile",    "HandsOnHips", "Giggle",      "Laugh",     "Giggle", // 5 smile, 6 sneer, 7 bitter laugh, 8 laugh, 9
                                                                         // giggle
        "Angry",    "FistShake",   "ArmsCrossed", "Sad",       "Cry",    // 10-12 anger, 13 grief, 14 cry
        "Surprise", "Facepalm",    "HeadShake",   "Sad",                 // 15 surprise, 16 absurd, 17-18 damned
        "Stretch",  "Shiver",      "Shiver",      "Shiver",    "Shrug",  // 19 bored, 20-22 cold, 23 don't know
        "DeepBow",  "Bow",         "DeepBow",     "Bow",                 // 24-27 sorry
        "Think",    "ScratchHead", "Nod",         "HeadShake",           // 28-29 question, 30 agree, 31 refuse
        "SitDown",  "Seated",      "StandUp",     "Walk",                // 32-35
        "Cheer",    "Jump",        "Dance",       "Clap",      "Point",  "Salute", // 36-41
        "Heart",    "Stretch",                                                     // 42-43
        "Clap",     "Tease",       "Heart",       "Dance", // 44 congratulations, 45 tease, 46 love, 47
    };
}

SpecialMotions SpecialMotionIndices(bool female)
{
    return female ? SpecialMotions{0, 32, 33, 34, 35} : SpecialMotions{0, 36, 37, 40, 41};
}

std::string MotionFileName(bool female, const std::string& gesture)
{
    return std::string(female ? "Girl_" : "Boy_") + gesture + ".mot";
}

std::string MotionListIni()
{
    std::string text;
    for (bool female : {false, true}) {
        auto table = MotionIndexTable(female);
        text += female ? "[GirlMotion]\r\n" : "[BoyMotion]\r\n";
        text += "Init = " + MotionFileName(female, "Bind") + "\r\n";
        text += "nTotalMotion = " + std::to_string(table.size()) + "\r\n";
        for (std::size_t i = 0; i < table.size(); ++i)
            text += "File" + std::to_string(i) + " = " + MotionFileName(female, table[i]) + "\r\n";
    }
    return text;
}

void GenerateMotions(DataTree& tree)
{
    std::vector<MotionRecipe> recipes = MotionRecipes();
    recipes.push_back(BindMotion());
    for (bool female : {false, true}) {
        Skeleton skeleton = Skeleton::Build(female ? FemaleBody() : MaleBody());
        for (const MotionRecipe& recipe : recipes)
            tree.Add(kMotionFolder + MotionFileName(female, recipe.name), WriteMotion(SampleMotion(recipe, skeleton)));
    }
    for (const std::string& path : kMotionListPaths)
        tree.AddText(path, MotionListIni());
}

} // namespace world
