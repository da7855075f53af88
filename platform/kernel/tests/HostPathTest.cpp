#include "TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

using yonda::testing::TempFolder;

namespace {

std::string ReadAll(FILE* file)
{
    std::string text;
    char buffer[256];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), file)) > 0)
        text.append(buffer, n);
    return text;
}

TEST(HostPath, EverySpellingOfAFolderReachesTheOneOnDisk)
{
    TempFolder tree("yonda-kernel");
    tree.Write("Data/Avatar/KRI/M1001.KRI", "item");
    const std::string expected = tree.Root() + "/Data/Avatar/KRI/M1001.KRI";
    for (const char* spelling :
         {"\\Data\\Avatar\\KRI\\M1001.KRI", "\\data\\avatar\\kri\\m1001.kri", "\\DATA\\AVATAR\\Kri\\M1001.kri",
          "/Data/Avatar/kri/M1001.KRI", "\\\\Data\\\\Avatar\\\\KRI\\\\M1001.KRI"}) {
        SCOPED_TRACE(spelling);
        EXPECT_EQ(YondaHostPath((tree.Windows() + spelling).c_str()), expected);
    }
    // A drive letter names the one file system.
    EXPECT_EQ(YondaHostPath(("C:" + tree.Windows() + "\\data\\AVATAR").c_str()), tree.Root() + "/Data/Avatar");

    FILE* file = YondaOpenFile((tree.Windows() + "\\DATA\\avatar\\kri\\m1001.kri").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ReadAll(file), "item");
    fclose(file);
}

TEST(HostPath, AMissingNameIsKeptAsWrittenAndNothingAfterItIsGuessed)
{
    TempFolder tree("yonda-kernel");
    tree.MakeFolder("Data/World");
    EXPECT_EQ(YondaHostPath((tree.Windows() + "\\data\\world\\New.KRS").c_str()), tree.Root() + "/Data/World/New.KRS");
    EXPECT_EQ(YondaHostPath((tree.Windows() + "\\data\\Missing\\world").c_str()), tree.Root() + "/Data/Missing/world");
    // A trailing separator stays.
    EXPECT_EQ(YondaHostPath((tree.Windows() + "\\DATA\\WORLD\\").c_str()), tree.Root() + "/Data/World/");
    EXPECT_EQ(YondaOpenFile((tree.Windows() + "\\data\\world\\None.KRS").c_str(), "rb"), nullptr);
    EXPECT_EQ(YondaHostPath(nullptr), "");
    EXPECT_EQ(YondaOpenFile(nullptr, "rb"), nullptr);
}

TEST(HostPath, ANewFileIsFoundInACachedFolder)
{
    TempFolder tree("yonda-kernel");
    tree.MakeFolder("Capture");
    std::string folder = tree.Windows() + "\\capture\\";
    EXPECT_EQ(YondaHostPath((folder + "shot.bmp").c_str()), tree.Root() + "/Capture/shot.bmp");
    // The folder's listing is cached by now; a file that appears afterwards is still found.
    tree.Write("Capture/Shot.BMP", "x");
    EXPECT_EQ(YondaHostPath((folder + "shot.bmp").c_str()), tree.Root() + "/Capture/Shot.BMP");
}

TEST(HostPath, OfNamesThatDifferOnlyInCaseTheExactOneWinsElseTheFirstInByteOrder)
{
    TempFolder tree("yonda-kernel");
    tree.Write("skin/a.ini", "x");
    tree.Write("Skin/b.ini", "x");
    EXPECT_EQ(YondaHostPath((tree.Windows() + "\\skin").c_str()), tree.Root() + "/skin");
    EXPECT_EQ(YondaHostPath((tree.Windows() + "\\Skin").c_str()), tree.Root() + "/Skin");
    EXPECT_EQ(YondaHostPath((tree.Windows() + "\\SKIN\\B.INI").c_str()), tree.Root() + "/Skin/b.ini");
}

TEST(HostPath, RelativePathsResolveAgainstTheCurrentDirectory)
{
    TempFolder tree("yonda-kernel");
    tree.Write("WORLD/M2.KRS", "scene");
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof(previous)), nullptr);
    ASSERT_EQ(chdir(tree.Root().c_str()), 0);
    EXPECT_EQ(YondaHostPath("world\\m2.krs"), "WORLD/M2.KRS");
    EXPECT_EQ(YondaHostPath(".\\World\\..\\world\\M2.krs"), "./WORLD/../WORLD/M2.KRS");
    FILE* file = YondaOpenFile("World\\M2.krs", "rt");
    ASSERT_EQ(chdir(previous), 0);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ReadAll(file), "scene");
    fclose(file);
}

TEST(HostPath, CodePageNamesBecomeUtf8)
{
    TempFolder tree("yonda-kernel");
    tree.Write("\xED\x95\x9C/a.txt", "x"); // a Hangul folder name, in UTF-8 on disk
    EXPECT_EQ(YondaHostPath((tree.Windows() + "\\\xC7\xD1\\A.TXT").c_str()), tree.Root() + "/\xED\x95\x9C/a.txt");
    // A name already in UTF-8 (a host path) stays as it is.
    EXPECT_EQ(YondaHostPath((tree.Root() + "/\xED\x95\x9C/a.txt").c_str()), tree.Root() + "/\xED\x95\x9C/a.txt");
}

TEST(HostPath, AWriteThroughTheResolverCreatesTheNameAsWritten)
{
    TempFolder tree("yonda-kernel");
    tree.MakeFolder("Log");
    FILE* file = YondaOpenFile((tree.Windows() + "\\LOG\\TexMoDebug.txt").c_str(), "a+t");
    ASSERT_NE(file, nullptr);
    fputs("line\r\n", file);
    fclose(file);
    EXPECT_TRUE(std::filesystem::exists(tree.Root() + "/Log/TexMoDebug.txt"));
}

} // namespace
