#include "RoomUserSkin.h"

#include "GdiLabel.h"

namespace {

using namespace SkinTheme;
constexpr int kTabWidth = 80;
constexpr int kTabHeight = 22;
const char* const kTabLabels[2] = {"TAB_FRIENDS", "TAB_ROOM_USERS"};
const char* const kTabPictures[2] = {"info_tab_friends.bmp", "info_tab_users.bmp"};

// Two tabs side by side, the chosen one raised in orange, the other flat in cream.
SkinPicture TabPicture(int chosen, const SkinTexts& texts, UINT codePage)
{
    SkinPicture p(kTabWidth * 2, kTabHeight, kCream);
    for (int i = 0; i < 2; ++i) {
        const int left = i * kTabWidth;
        const bool on = i == chosen;
        if (on) {
            p.Gradient(left, 0, left + kTabWidth, kTabHeight, kOrangeLight, kOrange);
        }
        p.Frame(left, 0, left + kTabWidth, kTabHeight, kOrangeDark);
        const auto found = texts.find(kTabLabels[i]);
        const std::string label = found == texts.end() ? std::string() : YondaUtf8ToCodePage(found->second, codePage);
        DrawBoxedText(p, RECT{left, 0, left + kTabWidth, kTabHeight}, label,
                      {12, on ? FW_BOLD : FW_NORMAL, on ? 0xFFFFFFu : kOrangeDark,
                       DT_CENTER | DT_VCENTER | DT_SINGLELINE, false},
                      codePage);
    }
    return p;
}

} // namespace

std::string RoomUserSections(const std::string& windowSection)
{
    if (windowSection != "InfoWindow") {
        return std::string();
    }
    return "\n[Common]\n"
           "CMenuHost = MenuHost\n"
           "CMenuGuest = MenuGuest\n"
           "CMenuFriend = MenuFriend\n"
           "CMenuFriendHost = MenuFriendHost\n"
           "TabCount = 2\n"
           "TabAreaRect = RECT(8,34,168,56)\n"
           "TabImage1 = " +
           std::string(kTabPictures[0]) + "\nTabImage2 = " + kTabPictures[1] + "\n";
}

std::vector<std::pair<std::string, SkinPicture>> RoomUserPictures(const SkinTexts& texts, UINT codePage)
{
    std::vector<std::pair<std::string, SkinPicture>> pictures;
    for (int i = 0; i < 2; ++i) {
        pictures.emplace_back(kTabPictures[i], TabPicture(i, texts, codePage));
    }
    return pictures;
}
