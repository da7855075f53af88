// The tool bar in the corner under the member list: where the member is, the member's points,
// and eight buttons in three rows (own avatar, emotions, screenshot; sound, help, up one place;
// item shop, screenshot folder). Its own ini also carries the position words, the points area
// and the screenshot folder with the three lines of the screenshot notice.
#include "WindowDescriptions.h"

namespace {

constexpr unsigned kOrange = 0xF28C28;
constexpr unsigned kTan = 0xD9A066;
constexpr unsigned kGreen = 0x7BA05B;
constexpr int kButtonWidth = 52;
constexpr int kButtonHeight = 26;

SkinBox Cell(int column, int row)
{
    return {6 + column * (kButtonWidth + 4), 56 + row * (kButtonHeight + 6), kButtonWidth, kButtonHeight};
}

} // namespace

WindowDescription ToolBarWindow()
{
    WindowDescription bar{"WND_MENU",
                          WindowKind::Bar,
                          1006,
                          "MENU_TITLE",
                          {616, 430, 176, 162},
                          "menu_back.bmp",
                          "menu.ini",
                          {},
                          {},
                          {},
                          {},
                          {}};
    bar.buttons = {
        {"MyAvatarBtn", "TOOLBAR_MY_AVATAR", 4002, Cell(0, 0), kOrange},
        {"EmotionBtn", "TOOLBAR_EMOTION", 4003, Cell(1, 0), kOrange},
        {"ScreenshotBtn", "TOOLBAR_SCREENSHOT", 4004, Cell(2, 0), kOrange},
        {"MuteBtn", "TOOLBAR_MUTE", 4005, Cell(0, 1), kTan},
        {"HelpBtn", "TOOLBAR_HELP", 4006, Cell(1, 1), kTan},
        {"PositionBackBtn", "TOOLBAR_BACK", 4007, Cell(2, 1), kTan},
        {"ItemShopBtn", "TOOLBAR_SHOP", 4008, Cell(0, 2), kGreen},
        {"OpenSShotFolderBtn", "TOOLBAR_FOLDER", 4009, Cell(1, 2), kGreen},
    };
    bar.labels = {{"TOOLBAR_POINTS", 8, 32}};
    std::vector<std::string>& ini = bar.ownLines;
    ini = {"",
           "[MyCurrentZeliTooltip]",
           "ID = 4010",
           "Title = {{TOOLBAR_POINTS_TIP}}",
           "Rect = RECT(8,30,168,48)",
           "",
           "[PositionText]",
           "Minimap = {{POSITION_MINIMAP}}",
           "ChatRoom = {{POSITION_CHATROOM}}",
           "WaitRoom = {{POSITION_WAITROOM}}",
           "Moving = {{POSITION_MOVING}}"};
    for (int i = 0; i < kLobbyCount; ++i) {
        ini.push_back("Lobby" + std::to_string(i) + " = {{LOBBY_" + std::to_string(i + 1) + "}}");
    }
    const std::vector<std::string> rest = {
        "TextArea = RECT(8,8,168,26)",
        "",
        "[USER_POINT_TEXT]",
        "POS = RECT(60,30,168,48)",
        "",
        "[ScreenShotOption]",
        "ScreenShotPath = ScreenShot",
        "FstMsg = {{SCREENSHOT_SAVED_IN}}",
        "SecMsg = {{SCREENSHOT_FILE}}",
        "TrdMsg = {{SCREENSHOT_OPEN_FOLDER}}",
        "FailMsg = {{SCREENSHOT_FAILED}}",
    };
    ini.insert(ini.end(), rest.begin(), rest.end());
    return bar;
}
