#include "RoomSkins.h"

#include "ButtonStrips.h"
#include "GdiLabel.h"

namespace {

using namespace SkinTheme;
constexpr uint32_t kBrown = 0x5A3214;
constexpr uint32_t kTan = 0xD9A066;

// The window: 460 x 440; the lists are 436 wide at x 12, with rows of 20 pixels.
constexpr int kListLeft = 12;
constexpr int kListWidth = 436;
constexpr int kRow = 20;
constexpr int kTabTop = 60;
constexpr int kLobbyHeadings = 22;   // tab 0: the headings alone
constexpr int kSearchHeadings = 126; // tab 1: the keyword line, the options and the headings
constexpr int kLobbyRows = 15;
constexpr int kSearchRows = 10;
constexpr int kLockSide = 16;
constexpr int kGoWidth = 36;
constexpr int kGoHeight = 18;

// The text columns of a room row in the panel (lock, subject, members, host, name) and the Go
// button's place; the scroll bar takes the last 18 pixels.
struct Column {
    int left, right;
    const char* heading;
};
constexpr Column kColumns[5] = {{4, 20, ""},
                                {24, 124, "COLUMN_SUBJECT"},
                                {126, 166, "COLUMN_MEMBERS"},
                                {168, 248, "COLUMN_HOST"},
                                {250, 376, "COLUMN_NAME"}};
constexpr int kGoLeft = 378;

std::string Bytes(const SkinTexts& texts, const std::string& key, UINT codePage)
{
    const auto found = texts.find(key);
    return found == texts.end() ? std::string() : YondaUtf8ToCodePage(found->second, codePage);
}

std::string Rect(int l, int t, int r, int b)
{
    return "RECT(" + std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(r) + "," + std::to_string(b) +
           ")";
}

// The column headings along the bottom of a tab picture.
void Headings(SkinPicture& p, int top, const SkinTexts& texts, UINT codePage)
{
    p.Gradient(0, top, p.width, top + kLobbyHeadings, kOrangeLight, kOrange);
    p.Frame(0, top, p.width, top + kLobbyHeadings, kOrangeDark);
    for (const Column& c : kColumns) {
        DrawBoxedText(p, RECT{c.left, top + 3, c.right, top + kLobbyHeadings - 2}, Bytes(texts, c.heading, codePage),
                      {12, FW_BOLD, 0xFFFFFF, DT_CENTER | DT_SINGLELINE, false}, codePage);
    }
}

// Closed (a padlock shut) and open (the shackle up and aside), keyed out around.
SkinPicture LockColumns()
{
    SkinPicture p(kLockSide * 2, kLockSide, kStripKey);
    for (int open = 0; open < 2; ++open) {
        const int x = open * kLockSide;
        const uint32_t body = open ? 0x5AA02C : 0xC0392B;
        p.Fill(x + 3, 7, x + 13, 15, body);
        p.Frame(x + 3, 7, x + 13, 15, 0x3C2814);
        const int shackle = open ? 2 : 0;
        p.Frame(x + 5, 2 - shackle + 2, x + 11, 8, 0x3C2814);
        if (open) {
            p.Fill(x + 9, 6, x + 11, 8, kStripKey);
        }
        p.Fill(x + 7, 10, x + 9, 13, 0xFFF0C0);
    }
    return p;
}

// Male guest, male room master, female guest, female room master: a figure in its colour, the
// master's with a crown.
SkinPicture GenderColumns()
{
    SkinPicture p(kLockSide * 4, kLockSide, kStripKey);
    for (int i = 0; i < 4; ++i) {
        const int x = i * kLockSide;
        const uint32_t colour = i < 2 ? 0x2C64C8 : 0xD83C8C;
        p.Fill(x + 6, 3, x + 10, 7, colour);
        p.Fill(x + 4, 8, x + 12, 15, colour);
        if (i % 2 == 1) {
            p.Fill(x + 5, 0, x + 11, 2, 0xF0C020);
        }
    }
    return p;
}

} // namespace

SkinPicture TabStrip(const SkinTexts& texts, UINT codePage, const char* const labels[2], int width, int height)
{
    SkinPicture p(width * 2, height * 2, kCream);
    for (int selected = 0; selected < 2; ++selected) {
        for (int tab = 0; tab < 2; ++tab) {
            const int x = tab * width;
            const int y = selected * height;
            const bool on = tab == selected;
            p.Gradient(x + 1, y + 2, x + width - 1, y + height, on ? kOrangeLight : 0xF4E4D0, on ? kOrange : 0xE8D4BC);
            p.Frame(x + 1, y + 1, x + width - 1, y + height, kOrangeDark);
            DrawBoxedText(p, RECT{x + 2, y + 4, x + width - 2, y + height - 2}, Bytes(texts, labels[tab], codePage),
                          {12, on ? FW_BOLD : FW_NORMAL, on ? 0xFFFFFFu : kBrown, DT_CENTER | DT_SINGLELINE, false},
                          codePage);
        }
    }
    return p;
}

WindowDescription RoomSearchWindow(WindowDescription frame)
{
    const int key = 92;
    const int options = 142;
    frame.buttons.push_back({"SearchBtn", "SEARCH_BUTTON", 3103, {310, 61, 80, 26}, kOrange});
    frame.buttons.push_back({"BtnRoomName", "SEARCH_BY_NAME", 3116, {12, key, 104, 18}, kOrange, ButtonLook::Check});
    frame.buttons.push_back(
        {"BtnRoomSubject", "SEARCH_BY_SUBJECT", 3115, {118, key, 104, 18}, kOrange, ButtonLook::Check});
    // The host's nickname and ID are the service's third and fourth texts.
    frame.buttons.push_back(
        {"BtnUserNick", "SEARCH_BY_HOST_NICK", 3117, {224, key, 104, 18}, kOrange, ButtonLook::Check});
    frame.buttons.push_back({"BtnUserID", "SEARCH_BY_HOST_ID", 3118, {330, key, 116, 18}, kOrange, ButtonLook::Check});
    frame.buttons.push_back(
        {"BtnFullRoom", "SEARCH_FULL_ROOMS", 3121, {12, options, 160, 18}, kOrange, ButtonLook::Check});
    frame.buttons.push_back(
        {"BtnSecretRoom", "SEARCH_SECRET_ROOMS", 3122, {180, options, 160, 18}, kOrange, ButtonLook::Check});
    frame.buttons.push_back({"PrevBtn", "SEARCH_PREV", 3102, {140, 400, 80, 26}, kTan});
    frame.buttons.push_back({"NextBtn", "SEARCH_NEXT", 3101, {240, 400, 80, 26}, kOrange});
    frame.fields.push_back({"EditKeyword", 3110, {90, 64, 210, 20}});
    return frame;
}

WindowDescription PasswordDialog(WindowDescription dialog)
{
    dialog.fields.push_back({"PassEdit", 301, {120, 58, 150, 20}});
    return dialog;
}

void AddRoomSkinSections(std::vector<std::pair<std::string, std::string>>* files)
{
    const int lobbyTop = kTabTop + kLobbyHeadings;
    const int searchTop = kTabTop + kSearchHeadings;
    std::string search =
        "\n[SearchList]\nID = 3150\nTitle = RoomList\nVisibleCount0 = " + std::to_string(kLobbyRows) +
        "\nVisibleCount1 = " + std::to_string(kSearchRows) +
        "\nListRect0 = " + Rect(kListLeft, lobbyTop, kListLeft + kListWidth, lobbyTop + kLobbyRows * kRow) +
        "\nListRect1 = " + Rect(kListLeft, searchTop, kListLeft + kListWidth, searchTop + kSearchRows * kRow) +
        "\n\n[Common]\n"
        "TabCount = 2\nTabAreaRect = " +
        Rect(kListLeft, kTabTop, kListLeft + kListWidth, searchTop) +
        "\nTabImage1 = search_room_tab0.bmp\nTabImage2 = search_room_tab1.bmp\n"
        "\n[TAB_CTRL]\nBASE_IMAGE = search_room_tabs.bmp\nID = 3140\nRECT = RECT(12,34,212,58)\n"
        "\n[RoomSearchList]\nFirstItemRect = " +
        Rect(0, 0, kListWidth - 18, kRow) + "\nItemHeight = " + std::to_string(kRow) + "\n";
    const char* selectors[4] = {"ComboSex", "ComboAge", "ComboArea", "ComboCount"};
    for (int i = 0; i < 4; ++i) {
        const int left = 12 + i * 106;
        search += "\n[" + std::string(selectors[i]) + "]\nID = " + std::to_string(3130 + i) +
                  "\nRect = " + Rect(left, 116, left + 100, 136) +
                  "\nImage = combo_button.bmp\nIniFile = PopupMenu.ini\n";
    }
    // The rooms' list panel (its section is the list's title).
    search += "\n[RoomList]\nLockImage = room_lock.bmp\nGoBtnImage = btn_go.bmp\nVisibleCount = " +
              std::to_string(kSearchRows) + "\nColumnCount = 5\n";
    for (int i = 0; i < 5; ++i) {
        search += "ColRect" + std::to_string(i) + " = " +
                  Rect(kColumns[i].left, i == 0 ? 2 : 3, kColumns[i].right, i == 0 ? 2 + kLockSide : 19) + "\n";
    }
    search += "BtnGoRect = " + Rect(kGoLeft, 1, kGoLeft + kGoWidth, 1 + kGoHeight) +
              "\nTextColorR = 90\nTextColorG = 50\nTextColorB = 20\n";
    for (auto& [name, text] : *files) {
        if (name == "search_room.ini") {
            text += search;
        }
    }
}

std::vector<std::pair<std::string, SkinPicture>> RoomSkinPictures(const SkinTexts& texts, UINT codePage)
{
    std::vector<std::pair<std::string, SkinPicture>> pictures;
    const char* const tabs[2] = {"SEARCH_TAB_LOBBY", "SEARCH_TAB_FIND"};
    pictures.emplace_back("search_room_tabs.bmp", TabStrip(texts, codePage, tabs, 100, 24));
    SkinPicture lobby(kListWidth, kLobbyHeadings, kCream);
    Headings(lobby, 0, texts, codePage);
    pictures.emplace_back("search_room_tab0.bmp", lobby);
    SkinPicture search(kListWidth, kSearchHeadings, kCream);
    DrawBoxedText(search, RECT{0, 6, 76, 24}, Bytes(texts, "SEARCH_KEYWORD", codePage),
                  {12, FW_BOLD, kBrown, DT_LEFT | DT_SINGLELINE, false}, codePage);
    search.Fill(0, 100, kListWidth, 101, kOrangeLight);
    Headings(search, kSearchHeadings - kLobbyHeadings, texts, codePage);
    pictures.emplace_back("search_room_tab1.bmp", search);
    pictures.emplace_back("room_lock.bmp", LockColumns());
    pictures.emplace_back("gender.bmp", GenderColumns());
    pictures.emplace_back("btn_go.bmp", ButtonStrip(kGoWidth, kGoHeight, kOrange, Bytes(texts, "ROOM_GO", codePage),
                                                    Glyph::None, codePage));
    return pictures;
}
