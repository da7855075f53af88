// The tree as a new developer meets it: the installed tree used through pkg-config the way the
// README shows, and the scripts saying how they are used.
#include "ChildProcess.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

namespace fs = std::filesystem;
using yonda::testing::BinaryDir;
using yonda::testing::CommandRun;
using yonda::testing::RunCommand;
using yonda::testing::SourceDir;

namespace {

std::string Quoted(const fs::path& path)
{
    return "'" + path.string() + "'";
}

constexpr const char* kHostProgram = R"(#include <Kravex.h>
#include <windows.h>

#include <cstdio>

int main()
{
    // Both libraries answer: the engine refuses a start without a device.
    CKRAManager* manager = nullptr;
    LONG status = KRACreate(nullptr, nullptr, nullptr, &manager);
    std::printf("engine %s, clock %s\n", status < 0 ? "answers" : "?", GetTickCount() > 0 ? "runs" : "?");
    return 0;
}
)";

} // namespace

TEST(InstalledTree, HostProgramsBuiltWithPkgConfigStartFromAnywhere)
{
    // Installed as the README does, into a folder named relative to where the command runs.
    const yonda::testing::TempFolder temp("yonda-installed");
    CommandRun run = RunCommand("cd " + Quoted(temp.Path()) + " && " YONDA_CMAKE " --install " + Quoted(BinaryDir()) +
                                " --prefix out");
    ASSERT_EQ(run.status, 0) << run.output;

    const std::string pkgConfig = "cd " + Quoted(temp.Path()) + " && PKG_CONFIG_PATH=out/lib/pkgconfig pkg-config";
    for (const char* library : {"yonda-platform", "kravex"}) {
        run = RunCommand(pkgConfig + " --cflags --libs " + library);
        ASSERT_EQ(run.status, 0) << library << "\n" << run.output;
        std::istringstream flags(run.output);
        std::string flag;
        while (flags >> flag) {
            for (const std::string pathFlag : {"-I", "-L", "-Wl,-rpath,"}) {
                if (flag.rfind(pathFlag, 0) == 0) {
                    EXPECT_EQ(flag.substr(pathFlag.size(), 1), "/") << library << ": " << flag;
                }
            }
        }
    }

    temp.Write("host.cpp", kHostProgram);
    run = RunCommand(pkgConfig + " --cflags --libs kravex > flags && " YONDA_HOST_CXX " " YONDA_HOST_FLAGS
                                 " host.cpp $(cat flags) -o host");
    ASSERT_EQ(run.status, 0) << run.output;
    // Started from elsewhere, it still finds its libraries.
    run = RunCommand("cd / && YONDA_HEADLESS=1 " + Quoted(temp / "host"));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("engine answers, clock runs"), std::string::npos) << run.output;
}

TEST(Scripts, TheFuzzScriptSaysHowItIsUsed)
{
    const std::string script = Quoted(fs::path(SourceDir()) / "scripts" / "fuzz.sh");
    CommandRun run = RunCommand(script);
    EXPECT_EQ(run.status, 2) << run.output;
    EXPECT_NE(run.output.find("usage: scripts/fuzz.sh TARGET [SECONDS]"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("fuzz_kro"), std::string::npos) << "the targets are listed\n" << run.output;

    run = RunCommand(script + " --help");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("usage: scripts/fuzz.sh"), std::string::npos) << run.output;

    run = RunCommand(script + " no_such_target");
    EXPECT_EQ(run.status, 2) << run.output;
    EXPECT_NE(run.output.find("no fuzz target 'no_such_target'"), std::string::npos) << run.output;

    run = RunCommand(script + " fuzz_kro soon");
    EXPECT_EQ(run.status, 2) << run.output;
    EXPECT_NE(run.output.find("SECONDS is a whole number of seconds, not 'soon'"), std::string::npos) << run.output;
}
