// kravex-view run as a person runs it, over the generated sample world: its frames against the
// golden pictures kept beside this file, and its answers to bad command lines.
#include "ChildProcess.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using yonda::testing::BinaryDir;
using yonda::testing::SourceDir;

fs::path DataDir()
{
    return fs::path(BinaryDir()) / "yonda" / "Data";
}

struct ViewRun {
    int nStatus = -1;
    std::string strOutput; // stdout and stderr together
};

// The viewer run with the environment given before it (headless unless told otherwise).
ViewRun View(const std::string& strArguments, const std::string& strEnvironment = "YONDA_HEADLESS=1")
{
    const std::string program = (fs::path(BinaryDir()) / "bin" / "kravex-view").string();
    yonda::testing::CommandRun run =
        yonda::testing::RunCommand("env " + strEnvironment + " " + program + " " + strArguments);
    return {run.status, run.output};
}

struct Picture {
    unsigned width = 0, height = 0;
    std::vector<unsigned char> rgb;
};

bool ReadPng(const fs::path& path, Picture& picture)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    image.format = PNG_FORMAT_RGB;
    picture.width = image.width;
    picture.height = image.height;
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) != 0;
}

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!fs::is_directory(DataDir() / "WORLD"))
            GTEST_SKIP() << "no generated world at " << DataDir();
    }

    std::string Data() const { return "--data " + DataDir().string(); }

    // Compares a frame with its golden picture: the renderer may differ in the last bits, so
    // each channel may be a little off and a few pixels (edges) a lot. A failing frame is kept
    // beside a copy of the golden one in the build tree for a person to look at.
    void ExpectGolden(const fs::path& frame, const std::string& strGolden)
    {
        fs::path golden = fs::path(SourceDir()) / "tools" / "view" / "tests" / "golden" / strGolden;
        if (std::getenv("YONDA_UPDATE_GOLDENS")) {
            fs::copy_file(frame, golden, fs::copy_options::overwrite_existing);
            return;
        }
        Picture actual, expected;
        ASSERT_TRUE(ReadPng(frame, actual)) << frame;
        ASSERT_TRUE(ReadPng(golden, expected)) << golden;
        ASSERT_EQ(actual.width, expected.width);
        ASSERT_EQ(actual.height, expected.height);
        size_t nOff = 0;
        double fTotal = 0;
        for (size_t i = 0; i < actual.rgb.size(); i += 3) {
            int nWorst = 0;
            for (size_t c = 0; c < 3; ++c) {
                int d = std::abs(int(actual.rgb[i + c]) - int(expected.rgb[i + c]));
                nWorst = std::max(nWorst, d);
                fTotal += d;
            }
            nOff += nWorst > 24 ? 1 : 0;
        }
        size_t nPixels = actual.rgb.size() / 3;
        double fMean = fTotal / double(actual.rgb.size());
        bool bSame = nOff * 200 <= nPixels && fMean < 2.0;
        EXPECT_TRUE(bSame) << strGolden << ": " << nOff << " of " << nPixels << " pixels differ, mean difference "
                           << fMean;
        if (!bSame) {
            fs::path kept = fs::path(BinaryDir()) / "tests" / "golden";
            fs::create_directories(kept);
            fs::copy_file(frame, kept / (fs::path(strGolden).stem().string() + ".actual.png"),
                          fs::copy_options::overwrite_existing);
            fs::copy_file(golden, kept / strGolden, fs::copy_options::overwrite_existing);
            ADD_FAILURE() << "the frame is kept as " << (kept / (fs::path(strGolden).stem().string() + ".actual.png"));
        }
    }

    const yonda::testing::TempFolder m_temp{"kravex-view"};
    const fs::path m_out = m_temp.Path();
};

} // namespace

TEST_F(ViewTest, DressedAvatarsWalkBetweenTheStartPositionsOfTheLivingRoom)
{
    ViewRun run = View(Data() + " --scene RM_03.KRS --avatars 4 --frames 24 --size 240x180 --out " + m_out.string());
    ASSERT_EQ(run.nStatus, 0) << run.strOutput;
    for (int i = 0; i < 24; ++i) {
        char szName[32];
        std::snprintf(szName, sizeof(szName), "frame-%04d.png", i);
        EXPECT_TRUE(fs::exists(m_out / szName)) << szName;
    }
    EXPECT_FALSE(fs::exists(m_out / "frame-0024.png"));
    // The avatars have moved between the first frame and the last.
    Picture first, last;
    ASSERT_TRUE(ReadPng(m_out / "frame-0000.png", first));
    ASSERT_TRUE(ReadPng(m_out / "frame-0023.png", last));
    EXPECT_EQ(first.width, 240u);
    EXPECT_EQ(first.height, 180u);
    EXPECT_NE(first.rgb, last.rgb);
    ExpectGolden(m_out / "frame-0000.png", "living-room-start.png");
    ExpectGolden(m_out / "frame-0023.png", "living-room-walking.png");
}

TEST_F(ViewTest, BalloonsAndLabelsStandOverAvatarsPlayingAMotion)
{
    ViewRun run = View(Data() +
                       " --scene RM_03.KRS --avatars 2 --motion 2 --frames 12 --size 240x180 --eye 0,60,-140"
                       " --at 0,30,-40 --labels --balloon 안녕하세요 --out " +
                       m_out.string());
    ASSERT_EQ(run.nStatus, 0) << run.strOutput;
    ExpectGolden(m_out / "frame-0011.png", "living-room-balloons.png");
    // The same run without balloons differs above the heads only.
    fs::path plain = m_out / "plain";
    run = View(Data() +
               " --scene RM_03.KRS --avatars 2 --motion 2 --frames 12 --size 240x180 --eye 0,60,-140"
               " --at 0,30,-40 --out " +
               plain.string());
    ASSERT_EQ(run.nStatus, 0) << run.strOutput;
    Picture with, without;
    ASSERT_TRUE(ReadPng(m_out / "frame-0011.png", with));
    ASSERT_TRUE(ReadPng(plain / "frame-0011.png", without));
    unsigned nTop = with.height, nBottom = 0;
    for (unsigned y = 0; y < with.height; ++y)
        for (unsigned x = 0; x < with.width * 3; ++x)
            if (with.rgb[y * with.width * 3 + x] != without.rgb[y * with.width * 3 + x]) {
                nTop = std::min(nTop, y);
                nBottom = std::max(nBottom, y);
            }
    ASSERT_LT(nTop, nBottom);
    EXPECT_LT(nBottom, with.height * 2 / 3) << "over the heads, not at the feet";
}

TEST_F(ViewTest, TheCameraMovesAndEveryGeneratedRoomDraws)
{
    ViewRun run =
        View(Data() + " --scene LB_SB.KRS --avatars 3 --frames 3 --turn 5 --forward 10 --size 160x120 --out " +
             m_out.string());
    ASSERT_EQ(run.nStatus, 0) << run.strOutput;
    Picture a, b;
    ASSERT_TRUE(ReadPng(m_out / "frame-0000.png", a));
    ASSERT_TRUE(ReadPng(m_out / "frame-0002.png", b));
    EXPECT_NE(a.rgb, b.rgb);
    // Through the first avatar's own camera, which walks along with it.
    run = View(Data() + " --scene RM_03.KRS --avatars 2 --follow 0 --frames 20 --size 160x120 --out " +
               (m_out / "follow").string());
    ASSERT_EQ(run.nStatus, 0) << run.strOutput;
    ASSERT_TRUE(ReadPng(m_out / "follow" / "frame-0000.png", a));
    ASSERT_TRUE(ReadPng(m_out / "follow" / "frame-0019.png", b));
    EXPECT_NE(a.rgb, b.rgb);
    for (const char* szScene : {"M2.KRS", "box.KRS", "PathF.KRS"}) {
        run = View(Data() + " --scene " + szScene + " --avatars 1 --size 64x48 --out " + (m_out / szScene).string());
        EXPECT_EQ(run.nStatus, 0) << szScene << ": " << run.strOutput;
        EXPECT_TRUE(fs::exists(m_out / szScene / "frame-0000.png")) << szScene;
    }
}

TEST_F(ViewTest, HelpListsTheOptionsAndBadArgumentsAreRefusedClearly)
{
    ViewRun help = View("--help");
    EXPECT_EQ(help.nStatus, 0);
    for (const char* szOption : {"--data", "--scene", "--avatars", "--frames", "--out", "--size", "--motion",
                                 "--balloon", "--labels", "--eye", "--turn", "--follow", "--window"})
        EXPECT_NE(help.strOutput.find(szOption), std::string::npos) << szOption;

    struct Case {
        std::string strArguments;
        int nStatus;
        const char* szSays;
    };
    std::string scene = Data() + " --scene RM_03.KRS";
    for (const Case& c : std::vector<Case>{
             {"", 2, "--data and --scene are required"},
             {Data(), 2, "--data and --scene are required"},
             {scene + " --bogus", 2, "unknown argument '--bogus'"},
             {scene + " --avatars", 2, "--avatars needs a value"},
             {scene + " --avatars lots", 2, "--avatars: a whole number"},
             {scene + " --avatars 101", 2, "--avatars: a whole number from 0 to 100"},
             {scene + " --size 800", 2, "--size: WIDTHxHEIGHT"},
             {scene + " --eye 1,2", 2, "--eye: three finite numbers"},
             {scene + " --eye 1,2,3", 2, "--eye and --at go together"},
             {scene + " --eye 1,2,inf --at 0,0,0", 2, "--eye: three finite numbers X,Y,Z, not '1,2,inf'"},
             {scene + " --eye 0,0,0 --at nan,0,0", 2, "--at: three finite numbers"},
             {scene + " --eye 1,2,1e39 --at 0,0,0", 2, "--eye: three finite numbers"},
             {scene + " --turn inf", 2, "--turn: a finite number"},
             {scene + " --eye 5,60,-3 --at 5,60,-3 --out " + m_out.string(), 2, "--eye and --at are the same point"},
             {scene, 2, "nothing to show: give --out DIR for PNG frames or --window"},
             {scene + " --avatars 2 --follow 2", 2, "--follow 2 names no avatar of 2"},
             {"--data /nowhere --scene RM_03.KRS --out " + m_out.string(), 1, "no data folder /nowhere"},
             {Data() + " --scene NOWHERE.KRS --out " + m_out.string(), 1, "no scene NOWHERE.KRS"},
             {scene + " --motion 99 --out " + m_out.string(), 1, "--motion 99 is past the motion list"},
             {scene + " --list 99999.KRA --out " + m_out.string(), 1, "cannot read the avatar list"},
         }) {
        ViewRun run = View(c.strArguments);
        EXPECT_EQ(run.nStatus, c.nStatus) << c.strArguments << "\n" << run.strOutput;
        EXPECT_NE(run.strOutput.find(c.szSays), std::string::npos) << c.strArguments << "\n" << run.strOutput;
    }
}

TEST_F(ViewTest, BrokenScenesAreReportedAndNothingIsDrawn)
{
    // A copy of the data folder whose scenes are broken in the ways files break.
    fs::path data = m_out / "Data";
    fs::create_directories(data / "WORLD");
    fs::copy(DataDir() / "AVATAR", data / "AVATAR", fs::copy_options::recursive);
    for (const auto& entry : fs::directory_iterator(DataDir() / "WORLD"))
        fs::copy_file(entry.path(), data / "WORLD" / entry.path().filename());
    std::ifstream in(DataDir() / "WORLD" / "RM_03.KRS", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto write = [&](const std::string& name, const std::string& content) {
        std::ofstream(data / "WORLD" / name, std::ios::binary) << content;
        for (const char* ext : {".KRP", ".KRC"})
            fs::copy_file(DataDir() / "WORLD" / (std::string("RM_03") + ext),
                          data / "WORLD" / (fs::path(name).stem().string() + ext),
                          fs::copy_options::overwrite_existing);
    };
    write("SHORT.KRS", bytes.substr(0, bytes.size() / 2));
    std::string many = bytes;
    many[8] = char(0xFF);
    write("MANY.KRS", many);
    write("NOKRP.KRS", bytes);
    fs::remove(data / "WORLD" / "NOKRP.KRP");
    write("NOKRC.KRS", bytes);
    fs::remove(data / "WORLD" / "NOKRC.KRC");
    write("NOCHAIR.KRS", bytes);
    // Each names the file that failed.
    for (auto [szScene, szFile] :
         std::vector<std::pair<const char*, const char*>>{{"SHORT.KRS", "SHORT.KRS is broken"},
                                                          {"MANY.KRS", "MANY.KRS is broken"},
                                                          {"NOKRP.KRS", "NOKRP.KRP cannot be read"},
                                                          {"NOKRC.KRS", "NOKRC.KRC cannot be read"},
                                                          {"NOCHAIR.KRS", "CHAIR.KRO cannot be read"}}) {
        fs::path out = m_out / "frames" / szScene;
        if (std::string(szScene) == "NOCHAIR.KRS")
            fs::remove(data / "WORLD" / "CHAIR.KRO");
        ViewRun run = View("--data " + data.string() + " --scene " + szScene + " --out " + out.string());
        EXPECT_EQ(run.nStatus, 1) << szScene << "\n" << run.strOutput;
        EXPECT_NE(run.strOutput.find("the scene " + std::string(szScene) + " does not load"), std::string::npos)
            << run.strOutput;
        EXPECT_NE(run.strOutput.find(szFile), std::string::npos) << run.strOutput;
        EXPECT_FALSE(fs::exists(out / "frame-0000.png")) << szScene;
    }
}

TEST_F(ViewTest, AWindowWithoutADesktopIsRefusedWithTheReason)
{
    const std::string args = Data() + " --scene RM_03.KRS --window --frames 1";
    ViewRun run = View(args);
    EXPECT_EQ(run.nStatus, 1) << run.strOutput;
    EXPECT_NE(run.strOutput.find("--window needs a desktop, but YONDA_HEADLESS is set"), std::string::npos)
        << run.strOutput;
    run = View(args, "-u YONDA_HEADLESS -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER");
    EXPECT_EQ(run.nStatus, 1) << run.strOutput;
    EXPECT_NE(run.strOutput.find("neither DISPLAY nor WAYLAND_DISPLAY is set"), std::string::npos) << run.strOutput;
    // A desktop named but not there: nothing answers on that display.
    run = View(args, "-u YONDA_HEADLESS -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:" +
                         std::to_string(5000 + getpid() % 1000));
    EXPECT_EQ(run.nStatus, 1) << run.strOutput;
    EXPECT_NE(run.strOutput.find("--window: the desktop cannot be reached"), std::string::npos) << run.strOutput;
}

TEST_F(ViewTest, AvatarsBeyondTheStartPositionsStayOnTheGroundOfTheRoom)
{
    // Straight down onto the living room, whose walls stand in the sky's colour: with no avatars
    // and with a hundred, the second may differ from the first only where the room is (but for
    // the faint soft rim of a shadow at the wall's outer edge).
    const std::string camera = " --stand --size 320x240 --eye 0,400,0 --at 0,0,0 --out ";
    ViewRun run = View(Data() + " --scene RM_03.KRS --avatars 0" + camera + (m_out / "empty").string());
    ASSERT_EQ(run.nStatus, 0) << run.strOutput;
    run = View(Data() + " --scene RM_03.KRS --avatars 100" + camera + (m_out / "full").string());
    ASSERT_EQ(run.nStatus, 0) << run.strOutput;
    Picture empty, full;
    ASSERT_TRUE(ReadPng(m_out / "empty" / "frame-0000.png", empty));
    ASSERT_TRUE(ReadPng(m_out / "full" / "frame-0000.png", full));
    ASSERT_EQ(empty.rgb.size(), full.rgb.size());
    const unsigned char sky[3] = {0x60, 0x80, 0xA0};
    size_t nSky = 0, nOutside = 0, nChanged = 0;
    for (size_t i = 0; i + 2 < empty.rgb.size(); i += 3) {
        const bool bSky = std::abs(empty.rgb[i] - sky[0]) <= 2 && std::abs(empty.rgb[i + 1] - sky[1]) <= 2 &&
                          std::abs(empty.rgb[i + 2] - sky[2]) <= 2;
        const bool bChanged = std::abs(empty.rgb[i] - full.rgb[i]) > 24 ||
                              std::abs(empty.rgb[i + 1] - full.rgb[i + 1]) > 24 ||
                              std::abs(empty.rgb[i + 2] - full.rgb[i + 2]) > 24;
        nSky += bSky;
        nChanged += bChanged;
        nOutside += bSky && bChanged;
    }
    EXPECT_GT(nSky, empty.rgb.size() / 3 / 4) << "the room is seen with the sky around it";
    EXPECT_GT(nChanged, size_t(2000)) << "the avatars are seen";
    EXPECT_EQ(nOutside, 0u) << "pixels of avatars or shadows outside the room";
}
