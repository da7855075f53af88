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
#include <set>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

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

// The conversions of a printf format in order ("s", "ss", "d"...); "%%" is no conversion.
std::string Conversions(const std::string& format)
{
    std::string found;
    for (size_t i = format.find('%'); i != std::string::npos; i = format.find('%', i + 1)) {
        size_t at = i + 1;
        while (at < format.size() && std::strchr("-+ #0123456789.l", format[at])) {
            ++at;
        }
        if (at < format.size() && format[at] == '%' && at == i + 1) {
            i = at;
            continue;
        }
        found += at < format.size() ? format[at] : '?';
        i = at;
    }
    return found;
}

// Every key the program looks up, with the conversions its caller formats it with: a notice
// about a member takes the nickname, a question about a file its path. Texts that are shown as
// they are, or have more text put after them, take none.
struct TableEntry {
    const char* key;
    const char* conversions;
};

const TableEntry kTableEntries[] = {
    // Start-up, connection and the session.
    {"E_CONNECT_FAIL", ""},
    {"E_NETWORK_FAIL", ""},
    {"NetWorkError", ""},
    {"SocketDisonnected", ""},
    {"E_VGA_HARDWARE", ""},
    {"E_AVATAR_VIEWER_CREATE", ""},
    {"E_FILE_READ", "s"},
    {"E_GENERAL_MSG", ""},
    {"M_QUERY_USER_ITEM", ""},
    {"M_QUERY_USER_AVATAR_INFO", ""},
    // Notices in the chat log.
    {"KickedUser", "s"},
    {"UserItemChange", "s"},
    {"UserRoomJoin", "s"},
    {"UserRoomExit", "s"},
    {"UnnamedUser", ""},
    {"ModifiedRoomName", "s"},
    {"ModifiedRoomSubject", "s"},
    // The new password goes to everyone in the room, but the notice does not repeat it into the
    // chat log and its screenshots.
    {"ModifiedRoomPassword", ""},
    // The new limit reaches the notice as text, like every other room value.
    {"ModifiedRoomMaxUser", "s"},
    {"ModifiedRoomHost", "s"},
    {"ModifiedUserNickname", "ss"},
    {"MakeRoomNotice", "s"},
    // Rooms, friends and the avatar menu.
    {"RoomFull", ""},
    {"PasswordFail", ""},
    {"CantJoinRoom", ""},
    {"ExitToMinimap", ""},
    {"ExitToLobby", ""},
    {"FriendAddError1", ""},
    {"FriendAddError2", ""},
    {"FriendAddError3", ""},
    {"KickUser", "s"},
    {"KickUserError", ""},
    {"E_KICK_USER", "s"},
    {"ModifyRoomHost", "s"},
    {"GameRetire", ""},
    {"AlreadyJoinedRoom", ""},
    {"HeisJoinedMinimap", ""},
    {"HeisNotJoined", ""},
    // An undelivered message's text is put inside a format of its own, so it takes none.
    {"E_FAILED_INSTANT_MESSAGE", ""},
    // Room dialogs.
    {"RoomNameEmpty", ""},
    {"ERROR_ROOMNAME_EMPTY", ""},
    {"EditRoomMaxUserError", ""},
    {"EditRoomError", ""},
    // The user information window and the avatar creation dialog.
    {"M_NICKNAME_TO_BAD", ""},
    {"M_NICKNAME_IS_A_MASTER", ""},
    {"M_MODIFY_USER_ITEM", ""},
    {"M_MODIFY_USER_NICKNAME", ""},
    {"M_MODIFY_USER_INTRO", ""},
    {"M_CREATE_AVATAR", ""},
    {"M_AVATAR_SELECT_HEAD", ""},
    {"M_AVATAR_SELECT_BODY", ""},
    {"M_AVATAR_SELECT_PANTS", ""},
    {"M_AVATAR_SELECT_SHOES", ""},
    {"M_AVATAR_SELECT_ITEM", ""},
    {"E_AVATAR_CAPTURED", ""},
    {"M_FILE_NOT_FOUND", "s"},
    {"S_AVATAR_IMAGE_UPLOAD", ""},
    {"E_AVATAR_IMAGE_UPLOAD", ""},
    // The item shop.
    {"ITEM_ALREADY_EXIST", "s"},
    {"NOT_ENOUGH_POINT", "s"},
    {"NOT_ENOUGH_POINT_BASKET", ""},
    {"ITEM_BASKET_EMPTY", ""},
    {"M_BUY_SINGLE_ITEM", ""},
};

fs::path SkinSources()
{
    const char* source = std::getenv("YONDA_SOURCE_DIR");
    return fs::path(source ? source : ".") / "tools" / "skins" / "data";
}

void CheckStringTable(const fs::path& path, UINT codePage)
{
    CIniFile strings;
    strings.Load(path.string().c_str());
    CIniFile sources;
    sources.Load((SkinSources() / path.parent_path().filename() / path.filename()).string().c_str());
    ASSERT_TRUE(strings.FindSection("VelmoraStringTable") >= 0) << path;
    for (const TableEntry& entry : kTableEntries) {
        CString text;
        EXPECT_TRUE(strings.GetString("VelmoraStringTable", entry.key, &text) && !text.IsEmpty()) << entry.key;
        EXPECT_EQ(Conversions(text.Str()), entry.conversions) << entry.key << " = " << text.Str();
        // Written in the skin's code page without losing a character of the UTF-8 source.
        CString source;
        EXPECT_TRUE(sources.GetString("VelmoraStringTable", entry.key, &source)) << entry.key;
        EXPECT_EQ(YondaCodePageToUtf8(text.Str(), codePage), source.Str()) << entry.key;
    }
    EXPECT_EQ(std::size(kTableEntries), 63u);
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
            // Whole characters of the skin's code page only: through UTF-8 and back unchanged.
            const UINT codePage = std::string(skin) == "Orange" ? 949 : 1252;
            EXPECT_EQ(YondaUtf8ToCodePage(YondaCodePageToUtf8(text, codePage), codePage), text) << entry.path();
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
        CheckStringTable(folder / "StringTable.ini", std::string(skin) == "Orange" ? 949 : 1252);
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
            } else if (auto* window = dynamic_cast<CWndSkin*>(own.get());
                       window && section != "D3DViewWindow" && section != "WND_LOBBY" && section != "WND_MENU" &&
                       section != "InfoWindow" && section != "ChatWindow") {
                // (The lobby bar lies over the 3D view and is never closed, only hidden; the
                // tool bar, the friends window and the chat panel are parts of the frame.)
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

TEST(DefaultSkins, SubjectQuestionsAreOneQuestionALine)
{
    // The program takes the file's lines as its numbered questions, so every line is a question:
    // no section, no comment, nothing longer than the question edit takes (200 characters).
    for (const auto& [skin, codePage] : {std::pair{"Orange", 949u}, std::pair{"Orange_Do", 1252u}}) {
        SCOPED_TRACE(skin);
        CIniFile questions;
        questions.Load((SkinRoot() / skin / "SubjectQuestion.ini").string().c_str());
        CIniFile sources;
        sources.Load((SkinSources() / skin / "SubjectQuestion.ini").string().c_str());
        const INT_PTR count = questions.Lines().GetSize();
        EXPECT_GE(count, 30);
        ASSERT_EQ(count, sources.Lines().GetSize());
        for (INT_PTR i = 0; i < count; ++i) {
            const std::string& line = questions.Lines().GetData()[i].Str();
            EXPECT_NE(line.front(), '[') << line;
            EXPECT_NE(line.front(), ';') << line;
            EXPECT_EQ(line.find('%'), std::string::npos) << line;
            const std::string utf8 = YondaCodePageToUtf8(line, codePage);
            EXPECT_LE(utf8.size(), 200u) << utf8;
            EXPECT_EQ(utf8, sources.Lines().GetData()[i].Str());
            EXPECT_EQ(utf8.back(), '?') << utf8;
        }
    }
}

TEST(DefaultSkins, MotionKeysPlayMotionsEachAvatarKindHas)
{
    std::string motionList;
    for (const char* skin : {"Orange", "Orange_Do"}) {
        SCOPED_TRACE(skin);
        const fs::path folder = SkinRoot() / skin;
        // Both skins list the same motions (the world writes the list into each).
        const std::string list = ReadAll(folder / "MotionFile.ini");
        ASSERT_FALSE(list.empty());
        if (motionList.empty()) {
            motionList = list;
        }
        EXPECT_EQ(list, motionList);
        CIniFile motions;
        motions.Load((folder / "MotionFile.ini").string().c_str());
        int kinds[2] = {0, 0};
        ASSERT_TRUE(motions.GetInt("BoyMotion", "nTotalMotion", &kinds[0]));
        ASSERT_TRUE(motions.GetInt("GirlMotion", "nTotalMotion", &kinds[1]));

        CIniFile keys;
        keys.Load((folder / "MotionOppositionKey.ini").string().c_str());
        int count = 0;
        ASSERT_TRUE(keys.GetInt("Header", "nTotalKey", &count));
        EXPECT_GE(count, 10);
        std::set<int> seen;
        for (int k = 0; k < count; ++k) {
            const std::string section = "Key" + std::to_string(k);
            SCOPED_TRACE(section);
            int key = 0;
            ASSERT_TRUE(keys.GetInt(section.c_str(), "KeyChar", &key));
            EXPECT_TRUE(seen.insert(key).second) << "the first entry of a key hides the others";
            // Function keys F1-F24 arrive as key codes, Alt with a character as the character;
            // F10 never arrives (it opens the system menu).
            EXPECT_TRUE((key >= VK_F1 && key <= VK_F24 && key != VK_F10) || (key > ' ' && key < 127)) << key;
            const char* counts[2] = {"Male", "Female"};
            const char* codes[2] = {"mm%d", "fm%d"};
            for (int kind = 0; kind < 2; ++kind) {
                int n = 0;
                ASSERT_TRUE(keys.GetInt(section.c_str(), counts[kind], &n));
                // A random pick among none would divide by zero.
                EXPECT_GE(n, 1) << counts[kind];
                for (int i = 0; i < n; ++i) {
                    char name[16];
                    std::snprintf(name, sizeof name, codes[kind], i);
                    int code = -1;
                    EXPECT_TRUE(keys.GetInt(section.c_str(), name, &code)) << name;
                    // 0 is no motion; every other code is a motion the kind has.
                    EXPECT_GE(code, 1) << name;
                    EXPECT_LT(code, kinds[kind]) << name;
                }
            }
        }
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
    EXPECT_EQ(title.Str(), "Schlie\xDF"
                           "en");
}

TEST(DefaultSkins, TheGeneratorWritesTheSameBytesEveryTime)
{
    // Tests run in the build folder.
    const char* binaryDir = std::getenv("YONDA_BINARY_DIR");
    const std::string binary = binaryDir ? binaryDir : fs::current_path().string();
    const char* source = std::getenv("YONDA_SOURCE_DIR");
    ASSERT_TRUE(source);
    const yonda::testing::TempFolder temp("yonda-skins");
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
