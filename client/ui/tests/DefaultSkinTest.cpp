// The default skins as the build wrote them: every file a layout names exists and loads, and the
// texts are in each skin's own code page.
#include "ImageFile.h"
#include "IniFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

fs::path SkinRoot()
{
    const char* binary = std::getenv("YONDA_BINARY_DIR");
    return fs::path(binary ? binary : ".") / "yonda" / "Skin";
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool NamesPicture(const std::string& key)
{
    return key == "Image" || key == "BkImage" || key == "DEFAULT_BASE_BITMAP" || key == "Item";
}

} // namespace

TEST(DefaultSkins, EveryNamedFileLoads)
{
    for (const char* skin : {"Orange", "Orange_Do"}) {
        SCOPED_TRACE(skin);
        const fs::path folder = SkinRoot() / skin;
        CIniFile main;
        main.Load((folder / "default.ini").string().c_str());
        ASSERT_FALSE(main.Lines().IsEmpty());
        for (const char* key : {"MsgDlgIni", "PopupMenuIni"}) {
            CString name;
            ASSERT_TRUE(main.GetString("Common", key, &name)) << key;
            EXPECT_TRUE(fs::exists(folder / name.Str())) << name.Str();
        }
        int pictures = 0;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() != ".ini") {
                continue;
            }
            const std::string text = ReadAll(entry.path());
            EXPECT_EQ(text.find('\n') == std::string::npos || text.find("\r\n") != std::string::npos, true);
            CIniFile ini;
            ini.Load(entry.path().string().c_str());
            for (INT_PTR i = 0; i < ini.Lines().GetSize(); ++i) {
                const std::string& line = ini.Lines().GetData()[i].Str();
                const size_t equals = line.find(" = ");
                if (equals == std::string::npos) {
                    continue;
                }
                const std::string key = line.substr(0, equals);
                const std::string value = line.substr(equals + 3);
                EXPECT_EQ(value.find("{{"), std::string::npos) << entry.path() << ": " << line;
                if (key == "IniFile") {
                    EXPECT_TRUE(fs::exists(folder / value)) << entry.path() << ": " << line;
                }
                if (NamesPicture(key)) {
                    HBITMAP bitmap = LoadBitmapHandle((folder / value).string().c_str());
                    EXPECT_TRUE(bitmap) << entry.path() << ": " << line;
                    DeleteObject(bitmap);
                    ++pictures;
                }
            }
        }
        EXPECT_GT(pictures, 5);
        for (const char* name : {"scrollbar_up.bmp", "scrollbar_down.bmp", "scrollbar_vpos.bmp", "scrollbar_vbody.bmp",
                                 "scrollbar_left.bmp", "scrollbar_right.bmp", "scrollbar_hpos.bmp",
                                 "scrollbar_hbody.bmp", "Loading.bmp", "popup_back.bmp", "combo_button.bmp"}) {
            HBITMAP bitmap = LoadBitmapHandle((folder / name).string().c_str());
            EXPECT_TRUE(bitmap) << name;
            DeleteObject(bitmap);
        }
        CIniFile strings;
        strings.Load((folder / "StringTable.ini").string().c_str());
        CString fileRead;
        ASSERT_TRUE(strings.GetString("VelmoraStringTable", "E_FILE_READ", &fileRead));
        EXPECT_NE(fileRead.Find("%s"), -1);
    }
}

TEST(DefaultSkins, TextsAreInTheSkinsCodePage)
{
    CIniFile korean;
    korean.Load((SkinRoot() / "Orange" / "default.ini").string().c_str());
    CString title;
    ASSERT_TRUE(korean.GetString("CloseBtn", "Title", &title));
    EXPECT_EQ(title.Str(), YondaUtf8ToCodePage("닫기", 949));
    EXPECT_EQ(title.GetLength(), 4);

    CIniFile german;
    german.Load((SkinRoot() / "Orange_Do" / "default.ini").string().c_str());
    ASSERT_TRUE(german.GetString("CloseBtn", "Title", &title));
    EXPECT_EQ(title.Str(), "Schlie\xDF" "en");
}

TEST(DefaultSkins, TheGeneratorWritesTheSameBytesEveryTime)
{
    // Tests run in the build folder.
    const char* binaryDir = std::getenv("YONDA_BINARY_DIR");
    const std::string binary = binaryDir ? binaryDir : fs::current_path().string();
    const char* source = std::getenv("YONDA_SOURCE_DIR");
    ASSERT_TRUE(source);
    const fs::path out = fs::temp_directory_path() / ("yonda-skins-" + std::to_string(getpid()));
    fs::remove_all(out);
    const std::string command = (fs::path(binary) / "bin" / "yonda-skingen").string() + " " +
                                (fs::path(source) / "tools" / "skins" / "data").string() + " " + out.string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    // Other generators add files of their own to the skin folders: only the skins' files compare.
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(out)) {
        if (entry.is_regular_file()) {
            const fs::path built = SkinRoot() / fs::relative(entry.path(), out);
            EXPECT_TRUE(fs::exists(built)) << built;
            EXPECT_EQ(ReadAll(entry.path()), ReadAll(built)) << built;
            ++files;
        }
    }
    EXPECT_GT(files, 20);
    fs::remove_all(out);
}
