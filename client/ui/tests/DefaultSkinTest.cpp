// The default skins as the build wrote them: every file a layout names exists and loads, and the
// texts are in each skin's own code page.
#include "DialogSkin.h"
#include "ImageFile.h"
#include "IniFile.h"
#include "MainSkin.h"
#include "NoticeSkin.h"
#include "TempFolder.h"
#include "ToolkitShared.h"
#include "WndSkin.h"

#include <yonda_capture.h>

#include <memory>

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
        // Every text the program looks up has its entry; those formatted with a name or a file
        // take exactly one "%s" and no other conversion.
        const char* formatted[] = {"E_FILE_READ", "E_KICK_USER", "M_FILE_NOT_FOUND", "KickUser", "KickedUser",
                                   "ModifyRoomHost", "ITEM_ALREADY_EXIST", "NOT_ENOUGH_POINT"};
        const char* plain[] = {"E_CONNECT_FAIL", "E_NETWORK_FAIL", "E_GENERAL_MSG", "E_VGA_HARDWARE",
                               "E_AVATAR_VIEWER_CREATE", "E_AVATAR_CAPTURED", "E_AVATAR_IMAGE_UPLOAD",
                               "S_AVATAR_IMAGE_UPLOAD", "E_FAILED_INSTANT_MESSAGE", "M_QUERY_USER_ITEM",
                               "M_QUERY_USER_AVATAR_INFO", "M_MODIFY_USER_NICKNAME", "M_MODIFY_USER_ITEM",
                               "M_MODIFY_USER_INTRO", "M_CREATE_AVATAR", "M_BUY_SINGLE_ITEM", "M_NICKNAME_TO_BAD",
                               "M_NICKNAME_IS_A_MASTER", "M_AVATAR_SELECT_HEAD", "M_AVATAR_SELECT_BODY",
                               "M_AVATAR_SELECT_PANTS", "M_AVATAR_SELECT_SHOES", "M_AVATAR_SELECT_ITEM",
                               "AlreadyJoinedRoom", "HeisJoinedMinimap", "HeisNotJoined", "GameRetire",
                               "ITEM_BASKET_EMPTY", "NOT_ENOUGH_POINT_BASKET"};
        auto conversions = [](const CString& text) {
            int count = 0;
            for (int i = text.Find('%'); i != -1; i = text.Find('%', i + 2)) ++count;
            return count;
        };
        for (const char* key : formatted) {
            CString text;
            EXPECT_TRUE(strings.GetString("VelmoraStringTable", key, &text) && !text.IsEmpty()) << key;
            EXPECT_EQ(conversions(text), 1) << key;
            EXPECT_NE(text.Find("%s"), -1) << key;
        }
        for (const char* key : plain) {
            CString text;
            EXPECT_TRUE(strings.GetString("VelmoraStringTable", key, &text) && !text.IsEmpty()) << key;
            EXPECT_EQ(conversions(text), 0) << key;
        }
    }
}

TEST(DefaultSkins, EveryLayoutLoadsThroughTheToolkit)
{
    // Any missing picture or ini file would be told in a box: none may come.
    YondaMessageBoxCapture boxes;
    const std::string binary = SkinRoot().parent_path().string();
    for (const char* name : {"Orange", "Orange_Do"}) {
        SCOPED_TRACE(name);
        CMainSkin skin;
        ASSERT_EQ(skin.LoadSkin(CString(binary.c_str()), name), 1);
        ToolkitSetSkinFolder(skin.m_strSkinFolder);
        EXPECT_EQ(skin.m_strMsgDlgIni, "MsgDlg.ini");
        EXPECT_EQ(skin.m_strPopupMenuIni, "PopupMenu.ini");
        EXPECT_FALSE(skin.m_strD3DViewerBackImage.IsEmpty());
        int windows = 0;
        for (int i = 0; i < CMainSkin::ELEMENT_COUNT; ++i) {
            const CSkinElement& element = skin.Element(i);
            const std::string section = CMainSkin::kSections[i];
            SCOPED_TRACE(section);
            EXPECT_TRUE(element.bmpImage.GetSafeHandle()) << "every element has its picture";
            EXPECT_NE(element.nID, 0);
            if (element.strIniFile.IsEmpty()) {
                continue;
            }
            std::unique_ptr<CSkinBase> own;
            if (section == "DLG_SCREEN_SHOT_SUCCESS" || section == "DLG_BITMAP_VIEWER") {
                own = std::make_unique<CNoticeSkin>();
            } else if (section.rfind("DLG_", 0) == 0) {
                own = std::make_unique<CDialogSkin>();
            } else {
                own = std::make_unique<CWndSkin>();
            }
            own->SetSkinPath(skin.m_strSkinFolder);
            EXPECT_EQ(own->LoadIni(element.strIniFile), 1) << element.strIniFile.Str();
            if (auto* dialog = dynamic_cast<CDialogSkin*>(own.get())) {
                EXPECT_TRUE(dialog->m_bmpBase.GetSafeHandle());
                EXPECT_EQ(dialog->m_elCloseBtn.nID, 192);
                EXPECT_EQ(dialog->Element("OKBTN")->nID, 191);
                EXPECT_EQ(dialog->Element("CANCELBTN")->nID, 190);
            } else if (auto* window = dynamic_cast<CWndSkin*>(own.get()); window && section != "D3DViewWindow") {
                EXPECT_EQ(window->m_elCloseBtn.nID, 9999);
                EXPECT_TRUE(window->m_elCloseBtn.bmpImage.GetSafeHandle());
            }
            ++windows;
        }
        EXPECT_GE(windows, 20);
        EXPECT_EQ(skin.Element("CloseBtn")->nID, 111);
        EXPECT_EQ(skin.Element("MiniBtn")->nID, 112);

        CDialogSkin message;
        message.SetSkinPath(skin.m_strSkinFolder);
        ASSERT_EQ(message.LoadIni(skin.m_strSkinFolder + "\\" + skin.m_strMsgDlgIni), 1);
        for (int b = 0; b < CDialogSkin::BUTTON_COUNT; ++b) {
            EXPECT_TRUE(message.m_elButtons[b].bmpImage.GetSafeHandle()) << CDialogSkin::kButtonSections[b];
        }
        for (const char* layout : {"ExitConfirmDlg", "NetworkFailDlg", "AvatarSaveDlg", "AvatarSaveCancel",
                                   "LoginFailDlg", "ErrorMakeRoom", "RoomNameEmpty", "AvatarItemReadError",
                                   "CONFIRM_BUY_ITEM_DLG", "CONFIRM_BUY_ITEM_BASKET_DLG", "AvatarSaveFailDlg"}) {
            CStringList lines;
            CString title;
            EXPECT_GT(message.GetList(layout, "Message", &lines), 0) << layout;
            EXPECT_TRUE(message.GetString(layout, "TitleMessage", &title)) << layout;
        }
    }
    ToolkitSetSkinFolder(CString());
    EXPECT_TRUE(boxes.Texts().empty()) << boxes.Texts().front();
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
    const yonda::test::TempFolder temp("yonda-skins");
    const fs::path out = temp / "Skin";
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
}
