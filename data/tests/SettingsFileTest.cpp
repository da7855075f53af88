// The settings file as the build writes it: read back through the program's own ini reader, with
// every setting the program reads at start, values that lead somewhere real (the skin folder, its
// string table, a font fontconfig has, a loopback server), and the same bytes every build.
#include "IniFile.h"
#include "TempFolder.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

fs::path BinaryDir()
{
    const char* binary = std::getenv("YONDA_BINARY_DIR");
    return binary ? fs::path(binary) : fs::current_path();
}

fs::path SourceDir()
{
    const char* source = std::getenv("YONDA_SOURCE_DIR");
    return source ? fs::path(source) : fs::path();
}

// The pristine file (the home folder's copy may carry a run's saved settings).
fs::path BuiltSettings()
{
    return BinaryDir() / "data" / "Yonda.ini";
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

CString Value(const CIniFile& ini, const char* section, const char* key)
{
    CString value;
    EXPECT_TRUE(ini.GetString(section, key, &value)) << section << "/" << key;
    return value;
}

int Number(const CIniFile& ini, const char* section, const char* key)
{
    int value = -12345;
    EXPECT_TRUE(ini.GetInt(section, key, &value)) << section << "/" << key;
    return value;
}

// The family fontconfig settles on for a name, and whether that font draws Hangul.
bool FontconfigHas(const std::string& family, bool* hangul)
{
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) {
        return false;
    }
    FcChar8* found = nullptr;
    const bool same = FcPatternGetString(match, FC_FAMILY, 0, &found) == FcResultMatch &&
                      family == reinterpret_cast<const char*>(found);
    FcCharSet* characters = nullptr;
    *hangul = FcPatternGetCharSet(match, FC_CHARSET, 0, &characters) == FcResultMatch &&
              FcCharSetHasChar(characters, 0xAC00) && FcCharSetHasChar(characters, 0xD7A3);
    FcPatternDestroy(match);
    return same;
}

} // namespace

TEST(SettingsFile, HoldsEverySettingTheProgramReads)
{
    CIniFile ini;
    ini.Load(BuiltSettings().string().c_str());
    ASSERT_FALSE(ini.Lines().IsEmpty()) << BuiltSettings();

    EXPECT_EQ(Value(ini, "Window", "Title"), "Yonda Alpha");
    // The saved position is the frame's left and top edge; the program resets both outside 0..1000.
    for (const char* edge : {"Width", "Height"}) {
        const int value = Number(ini, "Window", edge);
        EXPECT_GE(value, 0) << edge;
        EXPECT_LE(value, 1000) << edge;
    }
    EXPECT_EQ(Value(ini, "Option", "Skin"), "Orange");
    EXPECT_EQ(Number(ini, "Option", "TextColor"), 0);
    EXPECT_EQ(Number(ini, "Option", "RememberMe"), 0);
    EXPECT_EQ(Number(ini, "Option", "FontSize"), 90);
    EXPECT_EQ(Number(ini, "Option", "SoundOff"), 0);
    EXPECT_EQ(Number(ini, "Server", "LobbyCount"), 5);

    // The skin and the string table it names are where the program looks for them.
    const fs::path skin = BinaryDir() / "yonda" / "Skin" / Value(ini, "Option", "Skin").Str();
    EXPECT_TRUE(fs::is_directory(skin)) << skin;
    EXPECT_TRUE(fs::is_regular_file(skin / Value(ini, "Option", "StringTable").Str()));

    // Only loopback servers and pages: nothing leaves the machine.
    CStringList servers;
    ASSERT_EQ(ini.GetList("Server", "ServerIp", &servers), 1);
    EXPECT_EQ(servers.GetHead(), "127.0.0.1");
    for (const char* url : {"HelpUrl", "PasswordUrl", "JoinUrl"}) {
        EXPECT_EQ(Value(ini, "Command", url).Find("http://127.0.0.1/"), 0) << url;
    }

    bool hangul = false;
    const std::string font = Value(ini, "Option", "DefaultFont").Str();
    EXPECT_TRUE(FontconfigHas(font, &hangul)) << font << " is not installed";
    EXPECT_TRUE(hangul) << font << " does not draw Hangul";
}

TEST(SettingsFile, IsTheSourceWithWindowsLineEndsEveryBuild)
{
    const std::string built = ReadAll(BuiltSettings());
    std::string expected;
    for (char c : ReadAll(SourceDir() / "data" / "Yonda.ini")) {
        if (c == '\n') {
            expected += '\r';
        }
        expected += c;
    }
    ASSERT_FALSE(built.empty());
    EXPECT_EQ(built, expected);
    // Every line is a section or exactly "Key = Value", the only form the reader finds.
    std::istringstream lines(built);
    std::string line;
    while (std::getline(lines, line)) {
        ASSERT_FALSE(line.empty());
        ASSERT_EQ(line.back(), '\r');
        line.pop_back();
        if (line.front() == '[') {
            EXPECT_EQ(line.back(), ']') << line;
            continue;
        }
        const size_t equals = line.find(" = ");
        ASSERT_NE(equals, std::string::npos) << line;
        EXPECT_EQ(line.find('='), equals + 1) << line;
        EXPECT_NE(line[equals + 3], ' ') << line;
        EXPECT_NE(line[equals - 1], ' ') << line;
    }
    EXPECT_TRUE(fs::is_regular_file(BinaryDir() / "yonda" / "Yonda.ini"));
}

TEST(SettingsFile, WritingTheSettingsBackReplacesLinesInPlace)
{
    CIniFile ini;
    ini.Load(BuiltSettings().string().c_str());
    const INT_PTR lines = ini.Lines().GetSize();
    ini.SetInt("Window", "Width", 300);
    ini.SetInt("Window", "Height", 200);
    ini.SetString("Option", "Skin", "Orange_Do");
    ini.SetInt("Option", "TextColor", -2);
    ini.SetInt("Option", "RememberMe", 1);
    ini.SetInt("Option", "SoundOff", 1);
    EXPECT_EQ(ini.Lines().GetSize(), lines) << "every value written back already has its line";
    // The saved ID has no line until the first exit writes one.
    ini.SetString("Option", "SavedID", "demo");
    ini.SetString("Option", "SavedID", "demo2");
    EXPECT_EQ(ini.Lines().GetSize(), lines + 1);

    const yonda::testing::TempFolder folder("yonda-settings");
    const std::string saved = (folder / "Yonda.ini").string();
    ASSERT_TRUE(ini.Save(saved.c_str()));
    CIniFile again;
    again.Load(saved.c_str());
    EXPECT_EQ(Number(again, "Window", "Width"), 300);
    EXPECT_EQ(Value(again, "Option", "Skin"), "Orange_Do");
    EXPECT_EQ(Number(again, "Option", "TextColor"), -2);
    EXPECT_EQ(Value(again, "Option", "SavedID"), "demo2");
    EXPECT_EQ(Value(again, "Window", "Title"), "Yonda Alpha");
}
