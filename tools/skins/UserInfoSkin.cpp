// The user information window's skin: a frame with the avatar preview on the left under the
// information/items tabs, and on the right one of three panels (the own profile with its two
// edits, another member's profile with the picture that member uploaded, the own items with the
// category tabs, the two item lists and their explanation boxes); the buttons along the bottom.
#include "UserInfoSkin.h"

#include "GdiLabel.h"
#include "ShopSkin.h"

#include <yonda_platform.h>

namespace {

using namespace SkinTheme;

constexpr int kWidth = 620;
constexpr int kHeight = 440;
constexpr unsigned kRed = 0xE05A28;
constexpr unsigned kTan = 0xD9A066;
constexpr unsigned kGreen = 0x7BA05B;
constexpr uint32_t kBrown = 0x5A3214;

// The panel on the right: drawn at this point, this large.
const POINT kPanel{204, 36};
constexpr int kPanelWidth = 404;
constexpr int kPanelHeight = 356;

const SkinBox kInfoTab{12, 36, 180, 22};
const SkinBox kPreview{12, 64, 180, 250};
const SkinBox kPartTab{210, 40, 390, 22};
const SkinBox kItemList{210, 68, 390, 110};
const SkinBox kItemExp{210, 182, 390, 20};
const SkinBox kWornList{210, 226, 390, 56};
const SkinBox kWornExp{210, 286, 390, 20};
const SkinBox kNickEdit{292, 88, 170, 20};
const SkinBox kIntroEdit{210, 310, 390, 64};
const SkinBox kPicture{470, 66, 130, 216};
constexpr int kValueX = 292;
constexpr int kCaptureWidth = 120; // within the preview less 14 pixels each side
constexpr int kCaptureHeight = 200;

// The rows of the two profiles: a label key and the row's top, or a negative top for a text
// the profile does not show (its point is left out).
struct Row {
    const char* key;
    const char* label;
    int mine;
    int other;
};
const Row kRows[] = {
    {"Head", nullptr, -1, 42},
    {"ID", "USERINFO_ID", 68, 68},
    {"NickName", "USERINFO_NICKNAME", -1, 90},
    {"Gender", "USERINFO_GENDER", 114, 112},
    {"Age", "USERINFO_AGE", 136, 134},
    {"City", "USERINFO_CITY", 158, 156},
    {"Job", "USERINFO_JOB", -1, 178},
    {"Hobby", "USERINFO_HOBBY", -1, 200},
    {"Club", "USERINFO_CLUB", -1, 222},
    {"Tel", "USERINFO_TEL", 180, 244},
    {"Email", "USERINFO_EMAIL", 202, 266},
};
constexpr int kNicknameLabelTop = 90; // the own nickname is the edit's, under its label
constexpr int kIntroLabelTop = 290;

std::string PointText(int x, int y)
{
    return "POINT(" + std::to_string(x) + "," + std::to_string(y) + ")";
}

std::vector<std::string> ListSection(const std::string& section, int id, const SkinBox& box, int across, int down,
                                     const SkinBox& exp)
{
    return {"",
            "[" + section + "]",
            "ID = " + std::to_string(id),
            "Rect = " + RectText(box),
            "NumItemViewHor = " + std::to_string(across),
            "NumItemViewVer = " + std::to_string(down),
            "ExpRect = " + RectText(exp),
            "ExpTextPutPoint = " + PointText(exp.left + 4, exp.top + 3),
            "ExpBkColorR = 255",
            "ExpBkColorG = 236",
            "ExpBkColorB = 210",
            "ExpTextColorR = 90",
            "ExpTextColorG = 50",
            "ExpTextColorB = 20"};
}

std::vector<std::string> TabSection(const std::string& section, int id, const SkinBox& box, int count,
                                    const std::string& picture)
{
    return {"",
            "[" + section + "]",
            "ID = " + std::to_string(id),
            "Rect = " + RectText(box),
            "TabCount = " + std::to_string(count),
            "Image = " + picture};
}

// A box of the window drawn on the panel, whose corner is at kPanel.
SkinBox OnPanel(const SkinBox& b)
{
    return {b.left - kPanel.x, b.top - kPanel.y, b.width, b.height};
}

void Well(SkinPicture& p, const SkinBox& window)
{
    const SkinBox b = OnPanel(window);
    p.Fill(b.left, b.top, b.left + b.width, b.top + b.height, 0xFFFFFF);
    p.Frame(b.left - 1, b.top - 1, b.left + b.width + 1, b.top + b.height + 1, kOrangeDark);
}

void Label(SkinPicture& p, int windowTop, const std::string& bytes, UINT codePage)
{
    const int top = windowTop - kPanel.y;
    DrawBoxedText(p, RECT{6, top, kValueX - kPanel.x - 6, top + 18}, bytes,
                  {12, FW_BOLD, kBrown, DT_LEFT | DT_SINGLELINE, false}, codePage);
}

SkinPicture Panel()
{
    SkinPicture p(kPanelWidth, kPanelHeight, kCream);
    p.Frame(0, 0, kPanelWidth, kPanelHeight, BlendColour(kCream, kOrangeLight, 1, 2));
    return p;
}

SkinPicture ProfilePanel(const SkinTexts& texts, UINT codePage, bool other)
{
    SkinPicture p = Panel();
    for (const Row& row : kRows) {
        const int top = other ? row.other : row.mine;
        if (row.label && top >= 0) {
            Label(p, top, Bytes(texts, row.label, codePage), codePage);
        }
    }
    if (!other) {
        Label(p, kNicknameLabelTop, Bytes(texts, "USERINFO_NICKNAME", codePage), codePage);
        Well(p, kNickEdit);
    } else {
        Well(p, kPicture);
    }
    Label(p, kIntroLabelTop, Bytes(texts, "USERINFO_INTRO", codePage), codePage);
    Well(p, kIntroEdit);
    return p;
}

SkinPicture ItemsPanel(const SkinTexts& texts, UINT codePage)
{
    SkinPicture p = Panel();
    for (const SkinBox& box : {kItemList, kWornList}) {
        Well(p, box);
    }
    Label(p, kWornList.top - 18, Bytes(texts, "USERINFO_WORN", codePage), codePage);
    return p;
}

} // namespace

WindowDescription UserInfoWindow()
{
    WindowDescription w{"WND_AVATAR_INFO",
                        WindowKind::Frame,
                        1005,
                        "AVATAR_INFO_TITLE",
                        {100, 80, kWidth, kHeight},
                        "avatar_info_back.bmp",
                        "avatar_info.ini",
                        {},
                        {},
                        {},
                        {},
                        {}};
    const int y = kHeight - 38;
    w.buttons = {
        {"CloseBtn", "", 9999, {kWidth - 26, 5, 20, 20}, kRed},
        {"OKBtn", "OK", 3201, {330, y, 80, 26}, kOrange},
        {"CancelBtn", "CANCEL", 3202, {420, y, 80, 26}, kTan},
        {"AddFriendBtn", "USERINFO_ADD_FRIEND", 3203, {210, y, 96, 26}, kGreen},
        {"SendMessageBtn", "USERINFO_SEND_MESSAGE", 3204, {312, y, 96, 26}, kGreen},
        {"AvatarScreenShotBtn", "USERINFO_UPLOAD", 3205, {12, 322, 180, 26}, kOrange},
    };
    // The preview's well is on the background; the edits and lists sit on the panels.
    w.fields = {{"RanderAvatarWindow", 3211, kPreview}};
    std::vector<std::string>& ini = w.ownLines;
    ini = {"",
           "[COMMON]",
           "DEFAULT_BASE_BITMAP = avatar_info_back.bmp",
           "",
           "[UI]",
           "UserIDRect = " + RectText({kValueX, 68, 170, 18}),
           "FirstItemRect = " + RectText({kItemList.left, kItemList.top, 50, 50}),
           "ItemHeight = 50",
           "",
           "[ItemListWnd]",
           "ID = 3213",
           "Rect = " + RectText(kItemList),
           "",
           "[HairListWnd]",
           "ID = 3214",
           "Rect = " + RectText(kWornList),
           "",
           "[EditNick]",
           "ID = 3215",
           "Rect = " + RectText(kNickEdit),
           "",
           "[EditIntro]",
           "ID = 3216",
           "Rect = " + RectText(kIntroEdit)};
    std::vector<std::vector<std::string>> parts = {
        ListSection("ListIconItemSelAble", 3213, kItemList, 7, 2, kItemExp),
        ListSection("ListIconItemEqd", 3214, kWornList, 7, 1, kWornExp),
        TabSection("TabBtnAvatarInfo", 3210, kInfoTab, 2, "avatar_info_tab_info.bmp"),
        TabSection("TabBtnAvatarPart", 3212, kPartTab, kShopTabCount, "avatar_info_tab_part.bmp"),
        {"", "[SubBgImages]", "DrawPt = " + PointText(kPanel.x, kPanel.y), "ImageMyItem = avatar_info_items.bmp",
         "ImageMyInfo = avatar_info_mine.bmp", "ImageUserInfo = avatar_info_user.bmp", "", "[BgImage]",
         "BgMyInfo = avatar_info_back.bmp", "BgUserInfo = avatar_info_back.bmp"},
        {"", "[AvatarPicture]", "Rect = " + RectText(kPicture)},
        {"", "[TextData]", "GenderBoy = {{USERINFO_BOY}}", "GenderGirl = {{USERINFO_GIRL}}",
         "OtherAvatarHead = {{USERINFO_HEAD}}"},
        {"", "[DataRect]", "Rect = " + RectText({kPanel.x, kPanel.y, kPanelWidth, kPanelHeight})},
        {"", "[CAPTURE_BITMAP]", "SIZE_X = " + std::to_string(kCaptureWidth),
         "SIZE_Y = " + std::to_string(kCaptureHeight)},
    };
    for (const char* set : {"TextPointMyInfo", "TextPointUserInfo"}) {
        const bool other = set == std::string("TextPointUserInfo");
        std::vector<std::string> points = {"", std::string("[") + set + "]"};
        for (const Row& row : kRows) {
            const int top = other ? row.other : row.mine;
            const int x = std::string(row.key) == "Head" ? kPreview.left + 198 : kValueX;
            points.push_back(std::string(row.key) + " = " + (top < 0 ? PointText(-1, -1) : PointText(x, top)));
        }
        parts.push_back(points);
    }
    for (const auto& part : parts) {
        ini.insert(ini.end(), part.begin(), part.end());
    }
    return w;
}

std::vector<std::pair<std::string, SkinPicture>> UserInfoPictures(const SkinTexts& texts, UINT codePage)
{
    std::vector<std::pair<std::string, SkinPicture>> pictures;
    pictures.emplace_back("avatar_info_mine.bmp", ProfilePanel(texts, codePage, false));
    pictures.emplace_back("avatar_info_user.bmp", ProfilePanel(texts, codePage, true));
    pictures.emplace_back("avatar_info_items.bmp", ItemsPanel(texts, codePage));
    pictures.emplace_back(
        "avatar_info_tab_info.bmp",
        TabStrip(kInfoTab, {Bytes(texts, "USERINFO_TAB_INFO", codePage), Bytes(texts, "USERINFO_TAB_ITEMS", codePage)},
                 codePage));
    std::vector<std::string> parts;
    for (const char* key :
         {"SHOP_TAB_HAIR", "SHOP_TAB_UPPER", "SHOP_TAB_LOWER", "SHOP_TAB_FOOTWEAR", "SHOP_TAB_ITEMS"}) {
        parts.push_back(Bytes(texts, key, codePage));
    }
    pictures.emplace_back("avatar_info_tab_part.bmp", TabStrip(kPartTab, parts, codePage));
    return pictures;
}
