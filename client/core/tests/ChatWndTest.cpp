// The chat window over the generated skins and word lists, with a host that records what the
// window asks of the frame: lines and slash words sent with their motions, the commands, the
// emotion menu, the colour selector, the log's lines from the network, the theme button.
#include "ChatWnd.h"
#include "ClientGlobals.h"
#include "TexMo.h"

#include <MainSkin.h>
#include <MessagePump.h>
#include <TempFolder.h>
#include <ToolkitShared.h>
#include <gtest/gtest.h>
#include <yonda_platform.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

using yonda::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

std::string Home()
{
    const char* binary = std::getenv("YONDA_BINARY_DIR");
    return binary ? std::string(binary) + "/yonda" : std::string();
}

struct Sent {
    std::string text;
    int kind;
    int colour;
};

class RecordingHost : public CChatHost {
public:
    BOOL SendChat(LPCSTR text, int kind, int colour) override
    {
        sent.push_back({text, kind, colour});
        return TRUE;
    }
    char GetOwnGender() override { return gender; }
    int GetRoomType() override { return roomType; }
    void OnChatCommand(Command command) override { commands.push_back(command); }

    std::vector<Sent> sent;
    std::vector<Command> commands;
    char gender = 'M';
    int roomType = -1;
};

class ChatWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(Home().empty());
        g_strInstallPath = Home().c_str();
        ToolkitSetSkinFolder(SkinFolderOf("Orange"));
        ASSERT_TRUE(m_skin.LoadSkin(g_strInstallPath, "Orange"));
        g_pMainSkin = &m_skin;
        m_texmo.LoadLists((Home() + "/Data/prb").c_str());
        g_pTexMo = &m_texmo;
        g_bGermanText = FALSE;
        g_nTextColor = 0;
        ASSERT_TRUE(m_parent.CreateEx(0, AfxRegisterWndClass(0), "parent", WS_POPUP | WS_VISIBLE, CRect(0, 0, 800, 600),
                                      nullptr, 0));
        ASSERT_TRUE(m_chat.CreateChat(&m_parent, &m_skin.Element(CMainSkin::CHAT_WINDOW), &m_host));
    }
    void TearDown() override
    {
        m_chat.DestroyWindow();
        m_parent.DestroyWindow();
        g_pTexMo = nullptr;
        g_pMainSkin = nullptr;
        g_bGermanText = FALSE;
    }
    // What a line entered sends, or nothing.
    std::vector<Sent> Enter(const char* line)
    {
        m_host.sent.clear();
        m_host.commands.clear();
        m_chat.OnLineEntered(line);
        return m_host.sent;
    }
    std::set<int> KindsOf(const char* line, int times = 200)
    {
        std::set<int> kinds;
        for (int i = 0; i < times; ++i) {
            for (const Sent& s : Enter(line)) {
                kinds.insert(s.kind);
            }
        }
        return kinds;
    }

    CMainSkin m_skin;
    CTexMo m_texmo;
    CWnd m_parent;
    RecordingHost m_host;
    CChatWnd m_chat;
};

} // namespace

TEST_F(ChatWindow, TheSkinGivesItsFiveElementsAndTheChildrenStandInThem)
{
    CChatLayout* layout = m_chat.Layout();
    for (const CSkinElement& element : layout->m_elements) {
        EXPECT_GT(element.rcRect.right, element.rcRect.left);
        EXPECT_NE(element.nID, 0);
    }
    EXPECT_GE(layout->m_nTextColorSelectorWidth, 16);
    EXPECT_EQ(layout->m_strTexmoMenuName, "TexmoMenu");
    CRect log;
    m_chat.Log().GetWindowRect(&log);
    m_chat.ScreenToClient(&log);
    EXPECT_EQ(log, CRect(layout->m_elements[CChatLayout::CHAT_LOG_LIST].rcRect));
    EXPECT_TRUE(m_chat.Edit().GetStyle() & ES_MULTILINE);
    EXPECT_EQ(m_chat.Edit().GetLimitText(), static_cast<UINT>(CSkinEdit::kInputLineLimit));
}

TEST_F(ChatWindow, AChatLineIsSentTrimmedWithTheMotionOfItsFeeling)
{
    auto sent = Enter("   hello   ");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text, "hello");
    EXPECT_GE(sent[0].kind, 1);
    EXPECT_LE(sent[0].kind, 6);
    EXPECT_EQ(sent[0].colour, 0);
    // The line goes as typed: the emoticon the analyser took out stays in the chat.
    sent = Enter("nice :)");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text, "nice :)");
    EXPECT_EQ(sent[0].kind, 7);
    m_host.gender = 'F';
    EXPECT_EQ(Enter("nice :)")[0].kind, 5);
    EXPECT_EQ(Enter("just words")[0].kind, 0);
    EXPECT_TRUE(Enter("    ").empty());
}

TEST_F(ChatWindow, SlashWordsAreLookedUpInSmallLettersAndSendTheRest)
{
    auto sent = Enter("/HI there");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text, "there ");
    EXPECT_EQ(KindsOf("/HI there"), (std::set<int>{1, 2, 3, 4, 5, 6}));
    m_host.gender = 'F';
    EXPECT_EQ(KindsOf("/love"), (std::set<int>{46}));
    EXPECT_EQ(Enter("/love")[0].text, "");
    // Korean words of the skin's own table.
    EXPECT_EQ(KindsOf(YondaUtf8ToCodePage("/사랑", 949).c_str()), (std::set<int>{46}));
    // An unknown word plays the table's first entry: no motion.
    sent = Enter("/whatever you say");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text, "you say ");
    EXPECT_EQ(sent[0].kind, 0);
    // A lone slash is nothing; commands send nothing.
    EXPECT_TRUE(Enter("/").empty());
    EXPECT_TRUE(Enter("/ hello").empty());
    EXPECT_TRUE(Enter("/nocheckcollision").empty());
    EXPECT_TRUE(m_host.commands.empty());
    Enter("/FreeCamera");
    EXPECT_EQ(m_host.commands, (std::vector<CChatHost::Command>{CChatHost::FREE_CAMERA}));
    Enter("/usercount");
    EXPECT_EQ(m_host.commands, (std::vector<CChatHost::Command>{CChatHost::USER_COUNT}));
    Enter("/avatarinfodlg");
    EXPECT_EQ(m_host.commands, (std::vector<CChatHost::Command>{CChatHost::AVATAR_INFO}));
}

TEST_F(ChatWindow, RoomMakeChecksItsArgumentsBeforeAskingForTheRoomDialog)
{
    for (const char* bad : {"/roommake 6", "/roommake 2 16", "/roommake 0", "/roommake x", "/roommake 3 0"}) {
        SCOPED_TRACE(bad);
        EXPECT_TRUE(Enter(bad).empty());
        EXPECT_TRUE(m_host.commands.empty());
    }
    for (const char* good : {"/roommake", "/roommake 2", "/ROOMMAKE 5 15 pw name 3", "/roommake 1 271"}) {
        SCOPED_TRACE(good);
        EXPECT_TRUE(Enter(good).empty());
        EXPECT_EQ(m_host.commands, (std::vector<CChatHost::Command>{CChatHost::ROOM_MAKE}));
    }
}

TEST_F(ChatWindow, EmotionMenuItemsNameTheirEntriesByTheLanguageMode)
{
    auto kinds = [&](int item) {
        std::set<int> seen;
        for (int i = 0; i < 200; ++i) {
            m_host.sent.clear();
            m_chat.OnEmotionPicked(item);
            for (const Sent& s : m_host.sent) {
                EXPECT_EQ(s.text, "");
                seen.insert(s.kind);
            }
        }
        return seen;
    };
    // Korean: the first item is entry 1, the greeting.
    EXPECT_EQ(kinds(0), (std::set<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(kinds(11), (std::set<int>{51}));
    // German: the first item (the menu's heading) is entry 0, which plays nothing.
    g_bGermanText = TRUE;
    EXPECT_TRUE(kinds(0).empty());
    EXPECT_EQ(kinds(1), (std::set<int>{1, 2, 3, 4, 5, 6}));
    // Past the table, or with no table at all: nothing, and no division by an empty list.
    EXPECT_TRUE(kinds(500).empty());
    m_chat.MotionWords().LoadFile("/no/such/MotionOppositionString.ini");
    EXPECT_TRUE(kinds(0).empty());
    auto sent = Enter("/hi there");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].kind, 0);
    // The menu opens over its button, from the skin's popup-menu file, once at a time.
    m_chat.OpenEmotionMenu();
    ASSERT_TRUE(m_chat.EmotionMenu().GetSafeHwnd());
    EXPECT_GT(m_chat.EmotionMenu().Definition().m_nCount, 20);
    const HWND first = m_chat.EmotionMenu().GetSafeHwnd();
    m_chat.OpenEmotionMenu();
    EXPECT_EQ(m_chat.EmotionMenu().GetSafeHwnd(), first);
}

TEST_F(ChatWindow, TheColourSelectorPicksBySwatchAndClosesWhenItLosesTheFocus)
{
    m_chat.OpenColourSelector();
    CColorSelectorWnd& selector = m_chat.ColourSelector();
    ASSERT_TRUE(selector.GetSafeHwnd());
    const int width = m_chat.Layout()->m_nTextColorSelectorWidth;
    const int s = (width - 16) / 3;
    CRect window;
    selector.GetWindowRect(&window);
    EXPECT_EQ(window.Width(), 16 + 3 * s);
    EXPECT_EQ(window.Height(), 24 + 5 * s);
    // Swatch 7 (row 2, column 1): a release over it picks it.
    CWnd* swatch = selector.GetDlgItem(7);
    ASSERT_TRUE(swatch);
    swatch->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    yonda::testing::Pump();
    EXPECT_EQ(m_chat.GetColourIndex(), 7);
    EXPECT_EQ(g_nTextColor, 7);
    EXPECT_EQ(m_chat.Edit().m_crText, CChatWnd::kChatColours[7]);
    EXPECT_FALSE(selector.GetSafeHwnd());
    EXPECT_EQ(Enter("hi")[0].colour, 7);
    // Opened again, it closes as the focus goes elsewhere.
    m_chat.OpenColourSelector();
    ASSERT_TRUE(selector.GetSafeHwnd());
    m_chat.Edit().SetFocus();
    yonda::testing::Pump();
    EXPECT_FALSE(selector.GetSafeHwnd());
    // A pick from outside the table changes nothing.
    m_chat.OnColourPicked(15);
    EXPECT_EQ(m_chat.GetColourIndex(), 7);
}

TEST_F(ChatWindow, LinesFromTheNetworkAreShownSafelyWhateverTheyHold)
{
    CTabbedTextList& log = m_chat.Log();
    m_chat.AddChatLine("Kim", "hello", 1);
    ASSERT_EQ(log.GetLineCount(), 1);
    EXPECT_EQ(log.GetLine(0).strName, "Kim");
    EXPECT_EQ(log.GetLine(0).crText, CChatWnd::kChatColours[1]);
    // A colour index outside the table is the table's first colour.
    m_chat.AddChatLine("Kim", "odd colour", 200);
    m_chat.AddChatLine("Kim", "negative", -1);
    EXPECT_EQ(log.GetLine(1).crText, CChatWnd::kChatColours[0]);
    EXPECT_EQ(log.GetLine(2).crText, CChatWnd::kChatColours[0]);
    // Format characters are text.
    m_chat.AddChatLine("%s%n", "%s %n %d %x", 3);
    EXPECT_EQ(log.GetLine(3).strText, "%s %n %d %x");
    // 150 lead bytes, and a broken sequence: wrapped on whole characters, never read past.
    const std::string leads(150, '\xB0');
    m_chat.AddChatLine("Kim", leads.c_str(), 2);
    m_chat.AddChatLine("Kim", "ab\xB0", 2);
    int bytes = 0;
    for (int i = 4; i < log.GetLineCount() - 1; ++i) {
        bytes += log.GetLine(i).strText.GetLength();
    }
    EXPECT_LE(bytes, 150);
    EXPECT_EQ(log.GetLine(log.GetLineCount() - 1).strText, "ab\xB0");
    m_chat.AddPlainLine("a notice");
    const auto& notice = log.GetLine(log.GetLineCount() - 1);
    EXPECT_EQ(notice.strName, " ");
    EXPECT_EQ(notice.nKind, CTabbedTextList::LINE_BOLD);
    EXPECT_EQ(notice.crText, CChatWnd::kNoticeColour);
    // The log keeps the newest lines only.
    for (int i = 0; i < 300; ++i) {
        m_chat.AddChatLine("Lee", ("line " + std::to_string(i)).c_str(), 4);
    }
    EXPECT_EQ(log.GetLineCount(), CTabbedTextList::kMaxLines);
    EXPECT_EQ(log.GetLine(log.GetLineCount() - 1).strText, "line 299");
}

TEST_F(ChatWindow, TheThemeButtonIsForTheHostOfASubjectRoom)
{
    m_host.roomType = 3;
    m_chat.EnableInput(13);
    EXPECT_TRUE(m_chat.ThemeButton().IsWindowEnabled());
    m_chat.EnableInput(14);
    EXPECT_FALSE(m_chat.ThemeButton().IsWindowEnabled());
    m_host.roomType = 2;
    m_chat.EnableInput(13);
    EXPECT_FALSE(m_chat.ThemeButton().IsWindowEnabled());
    m_chat.SendMessage(WM_COMMAND, 2005, 0);
    EXPECT_EQ(m_host.commands, (std::vector<CChatHost::Command>{CChatHost::QUESTION}));
}

TEST_F(ChatWindow, TexMoDebugWritesTheVerdictsOfPlainListsIntoTheCurrentFolder)
{
    TempFolder folder("texmodebug");
    folder.Write("lists/Greeting.prb", "hello world\nbye now\nlastline\nnever here\n");
    folder.Write("lists/Love.prb", "love x\n");
    char previous[4096] = {};
    ASSERT_TRUE(getcwd(previous, sizeof(previous)));
    ASSERT_EQ(chdir(folder.Root().c_str()), 0);
    Enter("/texmodebug lists/   ");
    ASSERT_EQ(chdir(previous), 0);
    std::ifstream in(folder / "TexMoDebug.txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string written = text.str();
    EXPECT_EQ(written.find("Greeting.prb\r\n"), 0u) << written;
    EXPECT_NE(written.find(" : M : "), std::string::npos);
    EXPECT_NE(written.find(" : F : hello\n"), std::string::npos);
    EXPECT_NE(written.find(" : F : bye\n"), std::string::npos);
    EXPECT_EQ(written.find("never"), std::string::npos); // the list ends at a line without a space
    EXPECT_EQ(written.find("lastline"), std::string::npos);
    EXPECT_NE(written.find("51 : M : 46 : F : love\n"), std::string::npos);
    EXPECT_NE(written.find("NONE.prb\r\n"), std::string::npos);
}

TEST(ChatWindowSkin, AChatSkinWithoutAnElementFailsTheWindow)
{
    ASSERT_FALSE(Home().empty());
    TempFolder folder("chatskin");
    const fs::path orange = fs::path(Home()) / "Skin" / "Orange";
    for (const auto& entry : fs::directory_iterator(orange)) {
        fs::create_symlink(entry.path(), folder / entry.path().filename());
    }
    // The chat's own ini without its theme button.
    std::ifstream in(orange / "chat.ini", std::ios::binary);
    std::string line;
    std::string kept;
    bool skipping = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[') {
            skipping = line.rfind("[ChatThemeBtn]", 0) == 0;
        }
        if (!skipping) {
            kept += line + "\n";
        }
    }
    fs::remove(folder / "chat.ini");
    folder.Write("chat.ini", kept);
    ToolkitSetSkinFolder(folder.Windows().c_str());
    CMainSkin skin;
    skin.SetSkinPath(folder.Windows().c_str());
    ASSERT_TRUE(skin.LoadIni((folder.Windows() + "\\default.ini").c_str()));
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "parent", WS_POPUP, CRect(0, 0, 800, 600), nullptr, 0));
    RecordingHost host;
    CChatWnd chat;
    EXPECT_FALSE(chat.CreateChat(&parent, &skin.Element(CMainSkin::CHAT_WINDOW), &host));
    parent.DestroyWindow();
}
