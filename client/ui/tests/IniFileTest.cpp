#include "IniFile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const CIniFile& ini)
{
    std::vector<std::string> lines;
    for (INT_PTR i = 0; i < ini.Lines().GetSize(); ++i) {
        lines.push_back(ini.Lines().GetAt(i).Str());
    }
    return lines;
}

std::vector<std::string> Items(const CStringList& list)
{
    std::vector<std::string> items;
    for (POSITION at = list.GetHeadPosition(); at;) {
        items.push_back(list.GetNext(at).Str());
    }
    return items;
}

CIniFile FromText(const char* text)
{
    CIniFile ini;
    ini.LoadText(text);
    return ini;
}

} // namespace

TEST(IniFile, OnlyOneBlankEachSideOfTheEqualsSignMatches)
{
    CIniFile ini = FromText("[S]\nKey=Value\nKey  = Two\nkEY = Found\n");
    CString value = "preset";
    EXPECT_TRUE(ini.GetString("S", "key", &value));
    EXPECT_EQ(value, "Found");

    ini = FromText("[S]\nKey=Value\nKey  = Two\n");
    value = "preset";
    EXPECT_FALSE(ini.GetString("S", "Key", &value));
    EXPECT_EQ(value, "preset");
}

TEST(IniFile, EmptyValuesDependOnWhereTheyCameFrom)
{
    CIniFile ini = FromText("[S]\nEmpty = \nTwo =  x\n");
    CString value = "preset";
    EXPECT_FALSE(ini.GetString("S", "Empty", &value)) << "trimmed at load, the key no longer matches";
    EXPECT_TRUE(ini.GetString("S", "Two", &value));
    EXPECT_EQ(value, " x");

    ASSERT_TRUE(ini.SetString("S", "Empty", ""));
    EXPECT_TRUE(ini.GetString("S", "Empty", &value));
    EXPECT_EQ(value, "");
}

TEST(IniFile, SectionsAreExactWholeLinesAndScansStopAtTheNextSection)
{
    CIniFile ini = FromText("  [Skin]  \n[Other] ; note\nA = 1\n[Skin]\nB = 2\n[]\n[Next]\nC = 3\n");
    EXPECT_EQ(ini.FindSection("Skin"), 0);
    EXPECT_EQ(ini.FindSection("skin"), -1);
    EXPECT_EQ(ini.FindSection("Other"), -1);
    CString value;
    EXPECT_TRUE(ini.GetString("Skin", "A", &value)) << "a line with a comment is no section line";
    EXPECT_FALSE(ini.GetString("Skin", "B", &value)) << "only the first of two equal sections is searched";
    EXPECT_FALSE(ini.IsSectionLine(5)) << "[] is too short to be a header";
    EXPECT_FALSE(ini.IsSectionLine(-1));
    EXPECT_FALSE(ini.IsSectionLine(100));
    EXPECT_FALSE(ini.GetString("Skin", "C", &value));
    EXPECT_FALSE(ini.GetString(nullptr, "C", &value));
    EXPECT_FALSE(ini.GetString("Next", nullptr, &value));
}

TEST(IniFile, NumbersRectanglesPointsAndLists)
{
    CIniFile ini = FromText("[S]\n"
                            "Int = 42px\nNone = px\nNeg =  -7\nHuge = 99999999999\n"
                            "R2 = RECT(1,2)\nRB = RECT( 1, 2, 3, 4)\nRS = RECT(1 ,2,3,4)\nRl = rect(1,2,3,4)\n"
                            "P = POINT(-5,6)\n"
                            "L = a;;b;\nL1 = ;x\n");
    int number = -1;
    EXPECT_TRUE(ini.GetInt("S", "Int", &number));
    EXPECT_EQ(number, 42);
    EXPECT_TRUE(ini.GetInt("S", "None", &number));
    EXPECT_EQ(number, 0);
    EXPECT_TRUE(ini.GetInt("S", "Neg", &number));
    EXPECT_EQ(number, -7);
    EXPECT_TRUE(ini.GetInt("S", "Huge", &number));
    EXPECT_EQ(number, INT_MAX);

    RECT rect{9, 9, 9, 9};
    EXPECT_TRUE(ini.GetRect("S", "R2", &rect));
    EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}), (std::vector<LONG>{1, 2, 0, 0}));
    EXPECT_TRUE(ini.GetRect("S", "RB", &rect));
    EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}), (std::vector<LONG>{1, 2, 3, 4}));
    EXPECT_TRUE(ini.GetRect("S", "RS", &rect));
    EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}), (std::vector<LONG>{1, 0, 0, 0}));
    EXPECT_TRUE(ini.GetRect("S", "Rl", &rect));
    EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}), (std::vector<LONG>{0, 0, 0, 0}));
    POINT point{};
    EXPECT_TRUE(ini.GetPoint("S", "P", &point));
    EXPECT_EQ(point.x, -5);
    EXPECT_EQ(point.y, 6);

    const size_t before = ini.Lines().GetSize();
    EXPECT_FALSE(ini.GetRect("Missing", "R", &rect));
    EXPECT_EQ(ini.Lines().GetSize(), before) << "a lookup never adds lines a Save would write";

    CStringList list;
    list.AddTail("held");
    EXPECT_EQ(ini.GetList("S", "L", &list), 4);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"held", "a", "", "b"}));
    list.RemoveAll();
    EXPECT_EQ(ini.GetList("S", "L1", &list), 2);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"", "x"}));
    EXPECT_EQ(ini.GetList("S", "Missing", &list), 0);
}

TEST(IniFile, DoubleByteTrailBytesAreNotCaseFolded)
{
    // 0xB0 0x41 and 0xB0 0x61 are two different Korean characters whose trail bytes are 'A' and 'a'.
    CIniFile ini = FromText("[S]\n\xB0\x61 = lower\n");
    CString value;
    EXPECT_FALSE(ini.GetString("S", "\xB0\x41", &value));
    EXPECT_TRUE(ini.GetString("S", "\xB0\x61", &value));
    EXPECT_EQ(value, "lower");
    EXPECT_TRUE(FromText("[S]\nNAME\xB0\x61 = v\n").GetString("S", "name\xB0\x61", &value));
}

TEST(IniFile, SettersPlaceNewKeysAfterTheHeaderAndNewSectionsAtTheEnd)
{
    CIniFile ini = FromText("[A]\nOld = 1\n[B]\n");
    EXPECT_TRUE(ini.SetString("A", "First", "x"));
    EXPECT_TRUE(ini.SetInt("A", "Second", -3));
    EXPECT_TRUE(ini.SetInt("a", "Old", 5)) << "sections are case-sensitive: this adds [a]";
    EXPECT_TRUE(ini.SetString("A", "OLD", nullptr));
    EXPECT_FALSE(ini.SetString(nullptr, "K", "v"));
    EXPECT_FALSE(ini.SetString("A", nullptr, "v"));
    EXPECT_EQ(Lines(ini),
              (std::vector<std::string>{"[A]", "Second = -3", "First = x", "OLD = ", "[B]", "[a]", "Old = 5"}));
}

TEST(IniFile, SaveWritesCrLfAtomicallyAndLoadsBackTheSame)
{
    const yonda::testing::TempFolder temp("yonda-ini");
    const std::filesystem::path& folder = temp.Path();
    const std::string path = (folder / "Yonda.ini").string();
    CIniFile ini;
    ini.SetString("Option", "Skin", "Orange");
    ini.SetInt("Option", "Width", 1024);
    ASSERT_TRUE(ini.Save(path.c_str()));
    EXPECT_EQ(ReadAll(path), "[Option]\r\nWidth = 1024\r\nSkin = Orange\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "no temporary left";

    CIniFile again;
    again.Load(path.c_str());
    EXPECT_EQ(Lines(again), Lines(ini));

    // A folder in the way: the write fails and the file it would replace is untouched.
    EXPECT_FALSE(ini.Save((folder / "missing" / "x.ini").string().c_str()));
    std::filesystem::create_directory(folder / "busy.ini");
    EXPECT_FALSE(ini.Save((folder / "busy.ini").string().c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "busy.ini"));
    EXPECT_EQ(ReadAll(path), "[Option]\r\nWidth = 1024\r\nSkin = Orange\r\n");
}

TEST(IniFile, LongLinesAreReadWholeAndMissingFilesLoadEmpty)
{
    const yonda::testing::TempFolder temp("yonda-ini");
    const std::filesystem::path& folder = temp.Path();
    const std::string value(5000, 'v');
    const std::string path = (folder / "long.ini").string();
    {
        std::ofstream out(path, std::ios::binary);
        out << "[S]\r\nLong = " << value << "[Fake]\r\nAfter = 1";
    }
    CIniFile ini;
    EXPECT_TRUE(ini.Load(path.c_str()));
    CString read;
    EXPECT_TRUE(ini.GetString("S", "Long", &read));
    EXPECT_EQ(read, value + "[Fake]");
    EXPECT_TRUE(ini.GetString("S", "After", &read)) << "a last line without a newline is kept";
    EXPECT_EQ(read, "1");

    EXPECT_TRUE(ini.Load((folder / "none.ini").string().c_str()));
    EXPECT_TRUE(ini.Lines().IsEmpty());
}

TEST(IniFile, AnEmptyValueReadBackIsTheSameKeyWhenWrittenAgain)
{
    const yonda::testing::TempFolder temp("yonda-ini");
    const std::string path = (temp.Path() / "Yonda.ini").string();
    for (int run = 0; run < 3; ++run) {
        // What the program does at every exit: read the file, write the (empty) saved ID, save.
        CIniFile ini;
        ini.Load(path.c_str());
        ini.SetString("Option", "SavedID", "");
        ini.SetInt("Option", "RememberMe", 0);
        ASSERT_TRUE(ini.Save(path.c_str()));
    }
    EXPECT_EQ(ReadAll(path), "[Option]\r\nRememberMe = 0\r\nSavedID = \r\n");
    CIniFile again;
    again.Load(path.c_str());
    again.SetString("Option", "Saved", "y");
    CString read;
    EXPECT_TRUE(again.GetString("Option", "Saved", &read));
    EXPECT_EQ(read, "y");
    EXPECT_EQ(Lines(again), (std::vector<std::string>{"[Option]", "Saved = y", "RememberMe = 0", "SavedID ="}))
        << "a key is not the empty line of a longer one";
}
