#include "PeopleSkins.h"

#include "ButtonStrips.h"
#include "GdiLabel.h"
#include "RoomSkins.h"

#include <protocol/AreaCodes.h>

#include <algorithm>

namespace {

using namespace SkinTheme;
constexpr uint32_t kBrown = 0x5A3214;
constexpr uint32_t kTan = 0xD9A066;
constexpr int kRow = 20;
constexpr int kHeadings = 20;

// The friends window: 176 wide beside the view; its lists are 168 wide at x 4 under the tabs.
constexpr int kSideLeft = 4;
constexpr int kSideWidth = 168;
constexpr int kSideTabTop = 84;
constexpr int kSideTabHeight = 22;
constexpr int kSideListTop = kSideTabTop + kSideTabHeight + kHeadings;
constexpr int kSideRows = 13;
constexpr int kSideGoWidth = 28;

// The user search window: as large as the room search, one tab of options over one list.
constexpr int kSearchLeft = 12;
constexpr int kSearchWidth = 436;
constexpr int kSearchTabTop = 60;
constexpr int kSearchOptions = 104;
constexpr int kSearchListTop = kSearchTabTop + kSearchOptions + 22;
constexpr int kSearchRows = 10;

struct Column {
    int left, right;
    const char* heading;
};

// Friends: gender, ID, nickname, then the Go button; room users: gender, ID, age, nickname.
constexpr Column kFriendColumns[3] = {{2, 18, ""}, {20, 68, "COLUMN_ID"}, {70, 118, "COLUMN_NICKNAME"}};
constexpr Column kUserColumns[4] = {
    {2, 18, ""}, {20, 64, "COLUMN_ID"}, {66, 84, "COLUMN_AGE"}, {86, 148, "COLUMN_NICKNAME"}};
// Found members: nickname, ID, gender, age, area, then the Go button.
constexpr Column kFoundColumns[5] = {{4, 124, "COLUMN_NICKNAME"},
                                     {126, 226, "COLUMN_ID"},
                                     {228, 260, ""},
                                     {262, 292, "COLUMN_AGE"},
                                     {294, 376, "COLUMN_AREA"}};

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

// A panel section: its pictures, rows and columns; a picture column is a 16-pixel square.
template <size_t N>
std::string PanelSection(const std::string& name, const Column (&columns)[N], int rows, const std::string& go,
                         int goLeft, int goWidth)
{
    std::string s = "\n[" + name + "]\nGenderImage = gender.bmp\nGoBtnImage = " + go +
                    "\nVisibleCount = " + std::to_string(rows) + "\nColumnCount = " + std::to_string(N) + "\n";
    for (size_t i = 0; i < N; ++i) {
        const bool picture = columns[i].heading[0] == '\0';
        s += "ColRect" + std::to_string(i) + " = " +
             Rect(columns[i].left, picture ? 2 : 3, columns[i].right, picture ? 18 : 19) + "\n";
    }
    s += "BtnGoRect = " + Rect(goLeft, 1, goLeft + goWidth, 19) +
         "\nTextColorR = 90\nTextColorG = 50\nTextColorB = 20\n";
    return s;
}

template <size_t N>
SkinPicture Headings(int width, const Column (&columns)[N], const SkinTexts& texts, UINT codePage)
{
    SkinPicture p(width, kHeadings, kCream);
    p.Gradient(0, 0, width, kHeadings, kOrangeLight, kOrange);
    p.Frame(0, 0, width, kHeadings, kOrangeDark);
    for (const Column& c : columns) {
        DrawBoxedText(p, RECT{c.left, 3, c.right, kHeadings - 2}, Bytes(texts, c.heading, codePage),
                      {12, FW_BOLD, 0xFFFFFF, DT_CENTER | DT_SINGLELINE, false}, codePage);
    }
    return p;
}

// The area selector: any area, a heading, then every area of the shared list by its code.
std::string AreaMenu()
{
    std::string s = "\n; The areas, from the list the service shares (protocol/AreaCodes.h).\n[ComboArea]\nCount = " +
                    std::to_string(yonda::proto::kAreaCount + 2) +
                    "\nMenuSize = POINT(100,0)\nItemWidth = 98\nItemHeight = 18\nVisibleItem = 7\n"
                    "BkImage = popup_back.bmp\nText0 = {{COMBO_ANY}};" +
                    std::string(yonda::proto::kAnyArea) + "\nText1 = {{AREA_HEADING}};97\n";
    int item = 2;
    for (const yonda::proto::AreaCode& area : yonda::proto::kAreaCodes) {
        s += "Text" + std::to_string(item++) + " = {{" + area.textKey + "}};" + area.code + "\n";
    }
    return s;
}

std::string FriendsSections()
{
    const int tabBottom = kSideTabTop + kSideTabHeight;
    std::string s =
        "\n[FriendsList]\nID = 3200\nTitle = FriendPanel\nRect = " +
        Rect(kSideLeft, kSideListTop, kSideLeft + kSideWidth, kSideListTop + kSideRows * kRow) +
        "\nFirstItemRect = " + Rect(0, 0, kSideWidth - 18, kRow) + "\nItemHeight = " + std::to_string(kRow) +
        "\n\n[RoomUserList]\nID = 3201\nTitle = UserPanel\nRect = " +
        Rect(kSideLeft, kSideListTop, kSideLeft + kSideWidth, kSideListTop + kSideRows * kRow) +
        "\nFirstItemRect = " + Rect(0, 0, kSideWidth - 18, kRow) + "\nItemHeight = " + std::to_string(kRow) +
        "\n\n[Common]\nCMenuHost = MenuHost\nCMenuGuest = MenuGuest\nCMenuFriend = MenuFriend\n"
        "CMenuFriendHost = MenuFriendHost\nTabCount = 2\nTabAreaRect = " +
        Rect(kSideLeft, tabBottom, kSideLeft + kSideWidth, kSideListTop) +
        "\nTabImage1 = info_tab0.bmp\nTabImage2 = info_tab1.bmp\n"
        "\n[TAB_CTRL]\nBASE_IMAGE = info_tabs.bmp\nID = 3220\nRECT = " +
        Rect(kSideLeft, kSideTabTop, kSideLeft + kSideWidth, tabBottom) + "\n";
    s += PanelSection("FriendPanel", kFriendColumns, kSideRows, "btn_go_friend.bmp", 120, kSideGoWidth);
    s += PanelSection("UserPanel", kUserColumns, kSideRows, "btn_go_friend.bmp", 120, kSideGoWidth);
    return s;
}

std::string UserSearchSections()
{
    const std::string list =
        Rect(kSearchLeft, kSearchListTop, kSearchLeft + kSearchWidth, kSearchListTop + kSearchRows * kRow);
    std::string s = "\n[SearchList]\nID = 3150\nTitle = UserList\nVisibleCount0 = " + std::to_string(kSearchRows) +
                    "\nVisibleCount1 = " + std::to_string(kSearchRows) + "\nListRect0 = " + list +
                    "\nListRect1 = " + list +
                    "\n\n[Common]\nCMenu_Search_User = MenuSearchUser\nTabCount = 2\nTabAreaRect = " +
                    Rect(kSearchLeft, kSearchTabTop, kSearchLeft + kSearchWidth, kSearchListTop) +
                    "\nTabImage1 = search_user_tab.bmp\nTabImage2 = search_user_tab.bmp\n"
                    "\n[UserSearchList]\nFirstItemRect = " +
                    Rect(0, 0, kSearchWidth - 18, kRow) + "\nItemHeight = " + std::to_string(kRow) + "\n";
    const char* selectors[3] = {"ComboSex", "ComboAge", "ComboArea"};
    for (int i = 0; i < 3; ++i) {
        const int left = kSearchLeft + i * 106;
        s += "\n[" + std::string(selectors[i]) + "]\nID = " + std::to_string(3130 + i) +
             "\nRect = " + Rect(left, 116, left + 100, 136) + "\nImage = combo_button.bmp\nIniFile = PopupMenu.ini\n";
    }
    s += PanelSection("UserList", kFoundColumns, kSearchRows, "btn_go.bmp", 378, 36);
    return s;
}

} // namespace

WindowDescription FriendsWindow(WindowDescription frame)
{
    // Beside the view for good: no close button.
    frame.buttons.clear();
    const int first = 32;
    const int second = 57;
    frame.buttons.push_back({"UserSearchBtn", "INFO_USER_SEARCH", 3001, {4, first, 54, 22}, kOrange});
    frame.buttons.push_back({"RoomSearchBtn", "INFO_ROOM_SEARCH", 3002, {61, first, 54, 22}, kOrange});
    frame.buttons.push_back({"GoUpperBtn", "INFO_GO_UP", 3006, {118, first, 54, 22}, kTan});
    frame.buttons.push_back({"MakeRoomBtn", "INFO_MAKE_ROOM", 3003, {4, second, 54, 22}, kOrange});
    frame.buttons.push_back({"RoomInfoViewBtn", "INFO_ROOM_VIEW", 3004, {61, second, 54, 22}, kOrange});
    frame.buttons.push_back({"RoomInfoEditBtn", "INFO_ROOM_EDIT", 3005, {118, second, 54, 22}, kOrange});
    return frame;
}

WindowDescription UserSearchWindow(WindowDescription frame)
{
    frame.buttons.push_back({"SearchBtn", "SEARCH_BUTTON", 3103, {310, 61, 80, 26}, kOrange});
    frame.buttons.push_back({"BtnByName", "SEARCH_BY_USER_ID", 3117, {12, 92, 124, 18}, kOrange, ButtonLook::Check});
    frame.buttons.push_back({"BtnByNick", "SEARCH_BY_USER_NICK", 3118, {140, 92, 124, 18}, kOrange, ButtonLook::Check});
    frame.buttons.push_back({"PrevBtn", "SEARCH_PREV", 3102, {140, 400, 80, 26}, kTan});
    frame.buttons.push_back({"NextBtn", "SEARCH_NEXT", 3101, {240, 400, 80, 26}, kOrange});
    frame.fields.push_back({"EditKeyword", 3110, {90, 64, 210, 20}});
    return frame;
}

void AddPeopleSkinSections(std::vector<std::pair<std::string, std::string>>* files)
{
    for (auto& [name, text] : *files) {
        if (name == "info.ini") {
            text += FriendsSections();
        } else if (name == "search_user.ini") {
            text += UserSearchSections();
        } else if (name == "PopupMenu.ini") {
            text += AreaMenu();
        }
    }
}

std::vector<std::pair<std::string, SkinPicture>> PeopleSkinPictures(const SkinTexts& texts, UINT codePage)
{
    std::vector<std::pair<std::string, SkinPicture>> pictures;
    const char* const tabs[2] = {"INFO_TAB_FRIENDS", "INFO_TAB_USERS"};
    pictures.emplace_back("info_tabs.bmp", TabStrip(texts, codePage, tabs, kSideWidth / 2, kSideTabHeight));
    pictures.emplace_back("info_tab0.bmp", Headings(kSideWidth, kFriendColumns, texts, codePage));
    pictures.emplace_back("info_tab1.bmp", Headings(kSideWidth, kUserColumns, texts, codePage));
    pictures.emplace_back("btn_go_friend.bmp", ButtonStrip(kSideGoWidth, 18, kOrange, Bytes(texts, "ROOM_GO", codePage),
                                                           Glyph::None, codePage));
    // The search's one tab: the keyword's label, a rule under the options, the headings below.
    SkinPicture search(kSearchWidth, kSearchOptions + kHeadings, kCream);
    DrawBoxedText(search, RECT{0, 6, 76, 24}, Bytes(texts, "SEARCH_KEYWORD", codePage),
                  {12, FW_BOLD, kBrown, DT_LEFT | DT_SINGLELINE, false}, codePage);
    search.Fill(0, 80, kSearchWidth, 81, kOrangeLight);
    const SkinPicture headings = Headings(kSearchWidth, kFoundColumns, texts, codePage);
    std::copy(headings.pixels.begin(), headings.pixels.end(),
              search.pixels.begin() + static_cast<ptrdiff_t>(kSearchOptions) * kSearchWidth);
    pictures.emplace_back("search_user_tab.bmp", search);
    return pictures;
}
