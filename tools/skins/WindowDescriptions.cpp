#include "WindowDescriptions.h"

#include "ChatSkin.h"
#include "MessengerSkins.h"
#include "PeopleSkins.h"
#include "RoomDialogSkins.h"
#include "RoomSkins.h"
#include "ShopSkin.h"
#include "UserInfoSkin.h"

namespace {

constexpr unsigned kOrange = 0xF28C28;
constexpr unsigned kTan = 0xD9A066;
constexpr unsigned kRed = 0xE05A28;
constexpr int kFirstLobbyId = 240;
constexpr int kFirstGameButtonId = 231;

// The close button every frame carries in its top-right corner.
ButtonDescription FrameClose(int width)
{
    return {"CloseBtn", "", 9999, {width - 26, 5, 20, 20}, kRed};
}

WindowDescription Frame(std::string section, int id, std::string title, SkinBox box, std::string stem,
                        std::vector<ButtonDescription> buttons = {}, std::vector<LabelDescription> labels = {})
{
    buttons.insert(buttons.begin(), FrameClose(box.width));
    return {std::move(section),
            WindowKind::Frame,
            id,
            std::move(title),
            box,
            stem + "_back.bmp",
            stem + ".ini",
            std::move(buttons),
            std::move(labels),
            {},
            {},
            {}};
}

WindowDescription Dialog(std::string section, std::string title, int width, int height, std::string stem,
                         std::vector<LabelDescription> labels = {}, WindowKind kind = WindowKind::Dialog)
{
    const int y = height - 38;
    std::vector<ButtonDescription> buttons{
        {"CloseBtn", "", 192, {width - 26, 5, 20, 20}, kRed},
        {"OKBTN", "OK", 191, {width / 2 - 90, y, 80, 26}, kOrange},
        {"CANCELBTN", "CANCEL", 190, {width / 2 + 10, y, 80, 26}, kTan},
    };
    return {std::move(section),
            kind,
            0,
            std::move(title),
            {0, 0, width, height},
            stem + "_back.bmp",
            stem + ".ini",
            std::move(buttons),
            std::move(labels),
            {},
            {},
            {}};
}

WindowDescription Button(std::string section, int id, std::string label, SkinBox box, std::string picture,
                         unsigned face, std::string tooltip = "")
{
    WindowDescription d{std::move(section),
                        WindowKind::Button,
                        id,
                        tooltip.empty() ? label : tooltip,
                        box,
                        std::move(picture),
                        "",
                        {},
                        {},
                        {},
                        {},
                        {}};
    d.buttons.push_back({"", std::move(label), id, box, face});
    return d;
}

// The login dialog: a greeting, the ID and password wells with their labels, the remember-me
// check, and the two links to the web pages for a forgotten password and for joining.
WindowDescription Login()
{
    WindowDescription login =
        Dialog("DLG_LOGIN", "LOGIN_TITLE", 380, 250, "login",
               {{"LOGIN_HEADING", 0, 40, true}, {"LOGIN_ID", 40, 91}, {"LOGIN_PASSWORD", 40, 121}});
    login.fields = {{"IDEdit", 202, {130, 88, 200, 20}}, {"PassEdit", 203, {130, 118, 200, 20}}};
    login.buttons.push_back({"RememberMeBtn", "LOGIN_REMEMBER", 204, {130, 146, 200, 18}, kOrange, ButtonLook::Check});
    login.buttons.push_back({"ForgotPass", "LOGIN_FORGOT", 205, {30, 180, 160, 18}, kOrange, ButtonLook::Link});
    login.buttons.push_back({"Join", "LOGIN_JOIN", 206, {200, 180, 150, 18}, kOrange, ButtonLook::Link});
    return login;
}

// The bar across the top of the 3D view while the member is in a lobby: the lobby's own plaque
// (one column per lobby) with the title and user count written under it, and the four buttons
// that join the lobby, make a room, search rooms and go back to the map.
WindowDescription LobbyBar()
{
    WindowDescription bar{"WND_LOBBY",
                          WindowKind::Bar,
                          1004,
                          "LOBBY_TITLE",
                          {10, 34, 600, 60},
                          "lobby_back.bmp",
                          "lobby.ini",
                          {},
                          {},
                          {},
                          {},
                          {}};
    const int top = 17;
    bar.buttons = {{"JoinBtn", "LOBBY_JOIN", 503, {180, top, 100, 26}, kOrange},
                   {"MakeBtn", "LOBBY_MAKE", 500, {284, top, 100, 26}, kOrange},
                   {"SearchBtn", "LOBBY_SEARCH", 501, {388, top, 100, 26}, kOrange},
                   {"BackBtn", "LOBBY_BACK", 502, {492, top, 100, 26}, kTan}};
    StripDescription title{"LobbyTitle", "lobby_title.bmp", {10, 4, 150, 26}, {}};
    for (int i = 0; i < kLobbyCount; ++i) {
        title.labels.push_back("LOBBY_" + std::to_string(i + 1));
    }
    bar.strips.push_back(std::move(title));
    return bar;
}

std::vector<WindowDescription> Build()
{
    std::vector<WindowDescription> w;
    // The main window, 800 x 600, and its children in its client area.
    w.push_back(Frame("MainWindow", 1000, "MAIN_TITLE", {0, 0, 800, 600}, "main"));
    w.push_back(ChatWindowDescription());
    WindowDescription view{"D3DViewWindow",
                           WindowKind::Plain,
                           1002,
                           "VIEW_TITLE",
                           {10, 34, 600, 390},
                           "d3d_back.bmp",
                           "D3DView.ini",
                           {},
                           {},
                           {},
                           {},
                           {}};
    view.extraLines = {"D3DViewerBackRect = RECT(6,30,614,428)", "D3DViewerBackImage = d3d_border.bmp"};
    w.push_back(view);
    w.push_back(FriendsWindow(Frame("InfoWindow", 1003, "INFO_TITLE", {616, 34, 176, 390}, "info")));
    w.push_back(Button("CloseBtn", 111, "", {770, 6, 20, 20}, "btn_close.bmp", kRed, "CLOSE"));
    w.push_back(Button("MiniBtn", 112, "", {746, 6, 20, 20}, "btn_mini.bmp", kOrange, "MINIMISE"));
    // The lobby entrances post "enter lobby id - 240"; each shows its own column of the shared
    // picture, so the picture holds one column per lobby of the settings' LobbyCount.
    for (int i = 0; i < kLobbyCount; ++i) {
        WindowDescription entrance{"EntranceButton" + std::to_string(i + 1),
                                   WindowKind::Channel,
                                   kFirstLobbyId + i,
                                   "LOBBY_" + std::to_string(i + 1),
                                   {230, 146 + i * 36, 160, 28},
                                   "btn_lobby_channels.bmp",
                                   "",
                                   {},
                                   {},
                                   {},
                                   {},
                                   {}};
        entrance.buttons.push_back({"", entrance.title, entrance.id, entrance.box, kOrange});
        w.push_back(std::move(entrance));
    }
    // Not an entrance id, so the board is drawn whole.
    w.push_back({"EntranceBoard",
                 WindowKind::Plain,
                 3100,
                 "ENTRANCE_TITLE",
                 {210, 110, 200, 240},
                 "entrance_board.bmp",
                 "",
                 {},
                 {},
                 {},
                 {},
                 {}});
    w.push_back(LobbyBar());
    // The party-game buttons post the view's game actions 0-3 by id: start, hint, retire, ready.
    const char* game[4][2] = {{"PathFollow_StartButton", "GAME_START"},
                              {"PathFollow_HintButton", "GAME_HINT"},
                              {"PathFollow_RetireButton", "GAME_RETIRE"},
                              {"PathFollow_ReadyButton", "GAME_READY"}};
    for (int i = 0; i < 4; ++i) {
        WindowDescription stage{game[i][0],
                                WindowKind::Stage,
                                kFirstGameButtonId + i,
                                game[i][1],
                                {20 + i * 90, 390, 80, 26},
                                std::string("btn_") + game[i][1] + ".bmp",
                                "",
                                {},
                                {},
                                {},
                                {},
                                {}};
        stage.buttons.push_back({"", stage.title, stage.id, stage.box, i == 2 ? kTan : kOrange});
        w.push_back(std::move(stage));
    }
    w.push_back(UserInfoWindow());
    w.push_back(ToolBarWindow());
    w.push_back(
        RoomSearchWindow(Frame("WND_SEARCH_ROOM", 1007, "SEARCH_ROOM_TITLE", {150, 60, 460, 440}, "search_room")));
    w.push_back(MessengerWindow());
    w.push_back(
        UserSearchWindow(Frame("WND_SEARCH_USER", 1008, "SEARCH_USER_TITLE", {150, 60, 460, 440}, "search_user")));
    // Dialogs: sized by their backgrounds, centred when they open.
    for (WindowDescription& room : RoomDialogWindows()) {
        w.push_back(std::move(room));
    }
    w.push_back(Login());
    w.push_back(AvatarSelectDialog());
    w.push_back(PasswordDialog(
        Dialog("DLG_PASSWORD_CONFIRM", "PASSWORD_TITLE", 300, 180, "password", {{"ROOM_PASSWORD", 24, 60}})));
    w.push_back(Dialog("DLG_SCREEN_SHOT_SUCCESS", "SCREENSHOT_TITLE", 300, 220, "screenshot", {}, WindowKind::Notice));
    w.push_back(ItemShopWindow());
    w.push_back(Dialog("DLG_BITMAP_VIEWER", "BITMAP_VIEWER_TITLE", 300, 300, "bitmap_viewer", {}, WindowKind::Notice));
    // Dialogs are told apart by number as every other element is.
    int dialog = 2001;
    for (WindowDescription& d : w) {
        if (d.kind == WindowKind::Dialog || d.kind == WindowKind::Notice) {
            d.id = dialog++;
        }
    }
    return w;
}

} // namespace

const std::vector<WindowDescription>& DefaultSkinWindows()
{
    static const std::vector<WindowDescription> windows = Build();
    return windows;
}
