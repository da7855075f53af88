#include "MessengerSkins.h"

#include "GdiLabel.h"

namespace {

using namespace SkinTheme;
constexpr unsigned kTan = 0xD9A066;
constexpr unsigned kRed = 0xE05A28;
constexpr uint32_t kBrown = 0x5A3214;

// The dialog's part tabs, in the order the tab strip selects the categories.
const char* const kPartTabs[] = {"AVATAR_TAB_HAIR", "AVATAR_TAB_TOP", "AVATAR_TAB_BOTTOM", "AVATAR_TAB_SHOES",
                                 "AVATAR_TAB_ITEMS"};
constexpr int kPartTabCount = 5;
constexpr SkinBox kPartTabBox{200, 40, 305, 24};
constexpr int kCell = 44;
constexpr int kListX = 200;

std::string Rect(int left, int top, int right, int bottom)
{
    return "RECT(" + std::to_string(left) + "," + std::to_string(top) + "," + std::to_string(right) + "," +
           std::to_string(bottom) + ")";
}

std::string Text(const SkinTexts& texts, const std::string& key, UINT codePage)
{
    const auto found = texts.find(key);
    return found == texts.end() ? std::string() : YondaUtf8ToCodePage(found->second, codePage);
}

// A grid list of item pictures with the box under it that explains the item under the mouse.
std::string IconList(const char* section, int id, int top, int columns, int rows)
{
    const int bottom = top + rows * kCell;
    return std::string("\n[") + section + "]\nID = " + std::to_string(id) +
           "\nRect = " + Rect(kListX, top, kListX + columns * kCell, bottom) +
           "\nNumItemViewHor = " + std::to_string(columns) + "\nNumItemViewVer = " + std::to_string(rows) +
           "\nExpRect = " + Rect(kListX, bottom + 4, kListX + columns * kCell, bottom + 24) +
           "\nExpTextPutPoint = POINT(" + std::to_string(kListX + 6) + "," + std::to_string(bottom + 8) + ")" +
           "\nExpBkColorR = 255\nExpBkColorG = 244\nExpBkColorB = 230" +
           "\nExpTextColorR = 90\nExpTextColorG = 50\nExpTextColorB = 20\n";
}

// The tab strip: one variant per tab stacked downwards, each the whole strip with that tab lit.
SkinPicture PartTabs(const SkinTexts& texts, UINT codePage)
{
    const int w = kPartTabBox.width;
    const int h = kPartTabBox.height;
    const int step = w / kPartTabCount;
    SkinPicture p(w, h * kPartTabCount, kCream);
    for (int selected = 0; selected < kPartTabCount; ++selected) {
        const int top = selected * h;
        for (int tab = 0; tab < kPartTabCount; ++tab) {
            const int left = tab * step;
            const bool lit = tab == selected;
            p.Gradient(left, top, left + step, top + h, lit ? kOrangeLight : kCream, lit ? kOrange : 0xEAD8C0);
            p.Frame(left, top, left + step, top + h, kOrangeDark);
            DrawBoxedText(
                p, RECT{left, top, left + step, top + h}, Text(texts, kPartTabs[tab], codePage),
                {12, lit ? FW_BOLD : FW_NORMAL, lit ? 0xFFFFFF : kBrown, DT_CENTER | DT_VCENTER | DT_SINGLELINE, false},
                codePage);
        }
    }
    return p;
}

// The messenger's badge in its title band: a folded letter.
SkinPicture Envelope()
{
    SkinPicture p(20, 20, kOrange);
    p.Fill(2, 5, 18, 16, 0xFFFFFF);
    p.Frame(2, 5, 18, 16, kOrangeDark);
    for (int i = 0; i < 8; ++i) {
        p.Fill(2 + i, 5 + i / 2 + 1, 3 + i, 6 + i / 2 + 1, kOrangeDark);
        p.Fill(17 - i, 5 + i / 2 + 1, 18 - i, 6 + i / 2 + 1, kOrangeDark);
    }
    return p;
}

std::string AvatarSelectSections();

} // namespace

WindowDescription MessengerWindow()
{
    const int width = 300;
    const int height = 256;
    WindowDescription w{"WND_MESSENGER",
                        WindowKind::Frame,
                        1009,
                        "",
                        {250, 170, width, height},
                        "messenger_back.bmp",
                        "messenger.ini",
                        {},
                        {},
                        {},
                        {},
                        {}};
    w.buttons = {{"CloseBtn", "", 9999, {width - 26, 5, 20, 20}, kRed},
                 {"MessageSendBtn", "MESSENGER_SEND", 5001, {226, 172, 64, 40}, kOrange},
                 {"UserInfoBtn", "MESSENGER_INFO", 5004, {10, 222, 66, 26}, kOrange},
                 {"GotoFriendBtn", "MESSENGER_GOTO", 5005, {82, 222, 66, 26}, kOrange},
                 {"AddFriendBtn", "MESSENGER_ADD_FRIEND", 5006, {154, 222, 66, 26}, kOrange},
                 {"Close2Btn", "MESSENGER_CLOSE", 5007, {226, 222, 64, 26}, kTan}};
    w.fields = {{"MessageLog", 5003, {10, 36, 280, 130}}, {"MessageEdit", 5002, {10, 172, 210, 40}}};
    w.extraLines = {"Image0 = messenger_badge.bmp", "ImageRect = RECT(6,4,26,24)"};
    w.ownLines = {"\n[Common]", "UserIDRect = RECT(32,4,270,24)"};
    return w;
}

WindowDescription AvatarSelectDialog()
{
    const int width = 520;
    const int height = 420;
    const int y = height - 38;
    WindowDescription d{"DLG_AVATAR_SELECT",
                        WindowKind::Dialog,
                        0,
                        "AVATAR_SELECT_TITLE",
                        {0, 0, width, height},
                        "avatar_select_back.bmp",
                        "avatar_select.ini",
                        {},
                        {},
                        {},
                        {},
                        {}};
    d.buttons = {{"CloseBtn", "", 192, {width - 26, 5, 20, 20}, kRed},
                 {"OKBTN", "OK", 191, {width / 2 - 90, y, 80, 26}, kOrange},
                 {"CANCELBTN", "CANCEL", 190, {width / 2 + 10, y, 80, 26}, kTan},
                 // Pictures of the two genders under the preview; the dialog makes no button of them.
                 {"BtnMan", "AVATAR_MAN", 223, {20, 290, 82, 24}, kOrange},
                 {"BtnWoman", "AVATAR_WOMAN", 224, {108, 290, 82, 24}, kOrange}};
    d.fields = {{"NickEdit", 222, {84, 330, 106, 20}}};
    d.labels = {{"AVATAR_NICKNAME", 20, 332}};
    d.ownLines = {AvatarSelectSections()};
    return d;
}

namespace {

// The dialog's sections beyond its buttons and its nickname's place.
std::string AvatarSelectSections()
{
    std::string text = IconList("ListIconItemSelAble", 2102, 68, 7, 3);
    text += IconList("ListIconItemEqd", 2103, 236, 7, 1);
    text += "\n[TabBtnAvatarPart]\nID = 2101\nRect = " +
            Rect(kPartTabBox.left, kPartTabBox.top, kPartTabBox.left + kPartTabBox.width,
                 kPartTabBox.top + kPartTabBox.height) +
            "\nTabCount = " + std::to_string(kPartTabCount) + "\nImage = avatar_select_tabs.bmp\n";
    text += "\n[RanderAvatarWindow]\nID = 2100\nRect = " + Rect(20, 40, 190, 280) + "\n";
    return text;
}

} // namespace

std::vector<std::pair<std::string, SkinPicture>> MessengerSkinPictures(const SkinTexts& texts, UINT codePage)
{
    std::vector<std::pair<std::string, SkinPicture>> pictures;
    pictures.emplace_back("messenger_badge.bmp", Envelope());
    pictures.emplace_back("avatar_select_tabs.bmp", PartTabs(texts, codePage));
    return pictures;
}
