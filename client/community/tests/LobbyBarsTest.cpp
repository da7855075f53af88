// The lobby bars as the program makes them: the real main frame's popups from the generated skins,
// shown by its location changes, clicked with injected mouse input, read back from the pixels
// they show, with member counts from the real service on loopback. The frame records what the
// bars post to it instead of acting on it.
#include "ControlTestSupport.h"
#include "LobbyBars.h"
#include "SoundSupport.h"

#include <ClientApp.h>
#include <ClientGlobals.h>
#include <ClientSession.h>
#include <MainFrame.h>
#include <MainSkin.h>
#include <ProgramResources.h>
#include <ServiceHarness.h>
#include <SkinDraw.h>
#include <ToolkitShared.h>

#include <yonda_capture.h>
#include <yonda_user.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

using namespace yonda::uitest;

namespace {

// The main frame, keeping what the bars post to it.
class RecordingFrame : public CMainFrame {
public:
    std::vector<Note> posted;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        // The frame's own 3D view tells it when it is ready; that is not the bars' doing.
        if (message == UM_SESSION_COMMAND && LOWORD(wParam) == CMD_VIEW_READY) {
            return 0;
        }
        if (message == UM_SESSION_COMMAND || message == UM_ROOM_DIALOG || message == UM_SHOW_SUB_WINDOW ||
            (message >= UM_VIEW_ACTION_0 && message <= UM_VIEW_ACTION_3)) {
            posted.push_back({message, wParam, lParam});
            return 0;
        }
        return CMainFrame::WindowProc(message, wParam, lParam);
    }
};

// Pixels as 0x00RRGGBB, top row first.
struct Shot {
    int width = 0;
    int height = 0;
    std::vector<unsigned> pixels;
    unsigned At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Shot OfWindow(CWnd& window)
{
    YondaFlushPainting();
    RECT client;
    window.GetClientRect(&client);
    Shot shot{client.right, client.bottom, {}};
    std::vector<DWORD> argb(static_cast<size_t>(shot.width) * shot.height);
    EXPECT_TRUE(YondaGetWindowPixels(window.GetSafeHwnd(), argb.data(), shot.width, shot.height));
    for (DWORD p : argb) {
        shot.pixels.push_back(p & 0xFFFFFF);
    }
    return shot;
}

Shot OfBitmap(HBITMAP bitmap)
{
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    Shot shot{info.bmWidth, info.bmHeight, {}};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            shot.pixels.push_back(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return shot;
}

// How many pixels of `area` the window shows otherwise than `expected(x, y)` says; a negative
// expectation is not checked (the key colour, behind which anything may show).
int Mismatches(const Shot& shown, const RECT& area, const std::function<long long(int, int)>& expected)
{
    int wrong = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const long long want = expected(x, y);
            wrong += want >= 0 && shown.At(x, y) != static_cast<unsigned>(want);
        }
    }
    return wrong;
}

// `picture` from (sourceX, 0) with its key colour left unchecked.
std::function<long long(int, int)> PictureFrom(const Shot& picture, int sourceX)
{
    return [&picture, sourceX](int x, int y) -> long long {
        const unsigned p = picture.At(sourceX + x, y);
        return p == 0xFF00FF ? -1 : static_cast<long long>(p);
    };
}

// A picture's region with text drawn over it in the given colours and offsets: what a bar shows
// when it writes that text there.
Shot WithText(const Shot& base, const std::string& text, HFONT font, RECT rect,
              const std::vector<std::pair<COLORREF, POINT>>& passes)
{
    HDC screen = GetDC(nullptr);
    HBITMAP surface = CreateCompatibleBitmap(screen, base.width, base.height);
    ReleaseDC(nullptr, screen);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldBitmap = SelectObject(dc, surface);
    for (int y = 0; y < base.height; ++y) {
        for (int x = 0; x < base.width; ++x) {
            const unsigned p = base.At(x, y);
            SetPixel(dc, x, y, RGB(p >> 16, (p >> 8) & 0xFF, p & 0xFF));
        }
    }
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    for (const auto& [colour, offset] : passes) {
        SetTextColor(dc, colour);
        RECT r = rect;
        OffsetRect(&r, offset.x, offset.y);
        DrawTextA(dc, text.c_str(), -1, &r, 0);
    }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    Shot shot = OfBitmap(surface);
    DeleteObject(surface);
    return shot;
}

bool Contains(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

RECT ScreenRect(CWnd& window)
{
    RECT r;
    window.GetWindowRect(&r);
    return r;
}

class LobbyBars : public testing::TestWithParam<const char*> {
protected:
    static void SetUpTestSuite() { RegisterProgramResources(); }

    void SetUp() override
    {
        const char* binary = std::getenv("YONDA_BINARY_DIR");
        ASSERT_NE(binary, nullptr);
        g_strInstallPath = CString(binary) + "/yonda";
        GlobalLockInit();
        g_pMainSkin = &m_skin;
        ASSERT_EQ(m_skin.LoadSkin(g_strInstallPath, GetParam()), 1);
        ToolkitSetSkinFolder(m_skin.m_strSkinFolder);
        g_pSession = &m_session;
        m_session.m_nLobbyCount = 5;
        m_frame = new RecordingFrame; // deletes itself with its window
        ASSERT_TRUE(m_frame->CreateFrame(0, 0));
        m_frame->ShowWindow(SW_SHOW);
        m_app.m_pMainWnd = m_frame;
        ASSERT_EQ(Bars().GetChannelCount(), 5);
        Pump();
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        m_frame->DestroyWindow();
        Pump();
        g_pSession = nullptr;
        g_pMainSkin = nullptr;
        ToolkitSetSkinFolder(CString());
        GlobalLockDelete();
        EXPECT_TRUE(m_boxes.Texts().empty()) << m_boxes.Texts().front();
    }

    // Clicks a window's client point with the left button.
    void Click(CWnd& window, int x, int y)
    {
        Press(window, x, y);
        Release(window, x, y);
        MoveTo(*m_frame, 790, 590);
    }
    std::vector<Note> TakePosted()
    {
        Pump();
        std::vector<Note> posted;
        posted.swap(m_frame->posted);
        return posted;
    }
    CLobbyBars& Bars() { return m_frame->m_lobbyBars; }
    // The 3D view's part in the bars.
    LOBBY_VIEW_STATE& View() { return m_frame->m_wndView.m_lobbyView; }

    YondaMessageBoxCapture m_boxes;
    HeardSounds m_sounds;
    CClientApp m_app; // the thread's main window is the frame, as in the program
    CMainSkin m_skin;
    CClientSession m_session;
    RecordingFrame* m_frame = nullptr;
};

Note Command(int code, int lobby)
{
    return {UM_SESSION_COMMAND, MAKEWPARAM(code, lobby), 0};
}

} // namespace

TEST_P(LobbyBars, EntrancesShowTheirLobbysColumnAndTheBoardItsWholePicture)
{
    m_frame->OnLocationChanged(LOC_MINIMAP);
    ASSERT_EQ(Bars().GetChannelCount(), 5);
    const RECT frame = ScreenRect(*m_frame);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        CLobbyChannelButton& channel = Bars().Channel(i);
        ASSERT_TRUE(channel.IsWindowVisible());
        EXPECT_EQ(channel.GetLobbyIndex(), i);
        const RECT placed = ScreenRect(channel);
        const RECT& element = channel.m_pElement->rcRect;
        EXPECT_EQ(placed.left, frame.left + element.left);
        EXPECT_EQ(placed.top, frame.top + element.top);
        const Shot picture = OfBitmap(static_cast<HBITMAP>(channel.m_pElement->bmpImage.GetSafeHandle()));
        const Shot shown = OfWindow(channel);
        EXPECT_EQ(Mismatches(shown, {0, 0, shown.width, shown.height}, PictureFrom(picture, i * picture.width / 5)), 0);
    }
    CLobbyChannelButton& board = Bars().Board();
    EXPECT_EQ(board.GetLobbyIndex(), -1);
    const Shot picture = OfBitmap(static_cast<HBITMAP>(board.m_pElement->bmpImage.GetSafeHandle()));
    const Shot shown = OfWindow(board);
    EXPECT_EQ(Mismatches(shown, {0, 0, shown.width, shown.height}, PictureFrom(picture, 0)), 0);
    // The user-count switch adds nothing to the board: it has no lobby to count.
    View().bShowUserCounts = 1;
    board.Invalidate();
    EXPECT_EQ(Mismatches(OfWindow(board), {0, 0, shown.width, shown.height}, PictureFrom(picture, 0)), 0);

    // Without lobbies an entrance draws nothing: what its window held before stays.
    View().bShowUserCounts = 0;
    CLobbyChannelButton& channel = Bars().Channel(1);
    const Shot channelPicture = OfBitmap(static_cast<HBITMAP>(channel.m_pElement->bmpImage.GetSafeHandle()));
    RECT all;
    channel.GetClientRect(&all);
    auto paintOver = [&] {
        CClientDC dc(&channel);
        dc.FillSolidRect(&all, RGB(1, 2, 3));
        channel.Invalidate();
        return OfWindow(channel);
    };
    EXPECT_EQ(Mismatches(paintOver(), all, PictureFrom(channelPicture, all.right)), 0);
    m_session.m_nLobbyCount = 0;
    EXPECT_EQ(Mismatches(paintOver(), all, [](int, int) { return 0x010203LL; }), 0);
}

TEST_P(LobbyBars, AnEntranceClickSendsTheViewToItsLobbyUnlessAModalDialogRuns)
{
    m_frame->OnLocationChanged(LOC_MINIMAP);
    Click(Bars().Channel(3), 40, 12);
    EXPECT_EQ(TakePosted(), std::vector<Note>{Command(CMD_MAP_PATH_A, 3)});
    EXPECT_EQ(View().nCurrentLobby, 3);
    Click(Bars().Channel(0), 40, 12);
    EXPECT_EQ(TakePosted(), std::vector<Note>{Command(CMD_MAP_PATH_A, 0)});
    EXPECT_EQ(View().nCurrentLobby, 0);

    m_frame->m_bModal = TRUE;
    Click(Bars().Channel(4), 40, 12);
    EXPECT_TRUE(TakePosted().empty());
    EXPECT_EQ(View().nCurrentLobby, 0);
    m_frame->m_bModal = FALSE;

    // The board and a sixth lobby's entrance paint but enter nothing.
    Click(Bars().Board(), 5, 200);
    CSkinElement sixth;
    sixth.nID = 245;
    sixth.strImage = Bars().Channel(0).m_pElement->strImage;
    sixth.rcRect = {600, 200, 760, 228};
    CLobbyChannelButton extra;
    ASSERT_TRUE(extra.CreateButton(m_frame, &sixth, &View()));
    extra.ShowWindow(SW_SHOWNA);
    EXPECT_EQ(extra.GetLobbyIndex(), 5);
    Click(extra, 40, 12);
    EXPECT_TRUE(TakePosted().empty());
    EXPECT_EQ(View().nCurrentLobby, 0);
}

TEST_P(LobbyBars, GameButtonsShowTheirStateAndHandOneClickToTheFrame)
{
    Bars().ShowForLocation(LOC_ROOM_HOST, TRUE);
    EXPECT_TRUE(Bars().GameButton(CLobbyBars::GAME_START).IsWindowVisible());
    EXPECT_FALSE(Bars().GameButton(CLobbyBars::GAME_READY).IsWindowVisible());
    Bars().ShowForLocation(LOC_ROOM, TRUE);
    EXPECT_FALSE(Bars().GameButton(CLobbyBars::GAME_START).IsWindowVisible());
    const short first[4] = {1, 0, 0, 1};
    for (int i = 0; i < CLobbyBars::GAME_BUTTON_COUNT; ++i) {
        SCOPED_TRACE(CLobbyBars::kGameSections[i]);
        CFrameButton& button = Bars().GameButton(i);
        EXPECT_EQ(button.GetState(), first[i]);
        button.ShowWindow(SW_SHOWNA);
        const Shot picture = OfBitmap(static_cast<HBITMAP>(button.m_pElement->bmpImage.GetSafeHandle()));
        const int column = picture.width / 4;
        const RECT all{0, 0, column, picture.height};
        // Each state shows its own column: off, on, hover, used.
        for (short state = 0; state < 4; ++state) {
            button.SetState(state);
            EXPECT_EQ(Mismatches(OfWindow(button), all, PictureFrom(picture, state * column)), 0) << state;
        }
        // Off and used take no clicks.
        button.SetState(CFrameButton::kStateOff);
        Click(button, 10, 10);
        EXPECT_TRUE(TakePosted().empty());
        EXPECT_EQ(button.GetState(), CFrameButton::kStateOff);
        // On: one click hands the game action of its id over and leaves the button used.
        button.SetState(CFrameButton::kStateOn);
        m_frame->m_bModal = TRUE;
        Click(button, 10, 10);
        EXPECT_TRUE(TakePosted().empty()) << "not while a modal dialog runs";
        EXPECT_EQ(button.GetState(), CFrameButton::kStateOn);
        m_frame->m_bModal = FALSE;
        Click(button, 10, 10);
        EXPECT_EQ(TakePosted(), (std::vector<Note>{{UM_VIEW_ACTION_0 + static_cast<UINT>(i), 0, 0}}));
        EXPECT_EQ(button.GetState(), CFrameButton::kStateUsed);
        EXPECT_EQ(Mismatches(OfWindow(button), all, PictureFrom(picture, 3 * column)), 0);
        Click(button, 10, 10);
        EXPECT_TRUE(TakePosted().empty());
    }
    Bars().ShowForLocation(LOC_LOBBY, TRUE);
    for (int i = 0; i < CLobbyBars::GAME_BUTTON_COUNT; ++i) {
        EXPECT_FALSE(Bars().GameButton(i).IsWindowVisible());
    }
}

TEST_P(LobbyBars, TitleBarButtonsDrawTheirStatesAndAskTheFrame)
{
    View().nCurrentLobby = 2;
    m_session.m_nChosenLobby = 2;
    m_frame->OnLocationChanged(LOC_LOBBY_SELECTED);
    CLobbyTitleBar& bar = Bars().TitleBar();
    ASSERT_TRUE(bar.IsWindowVisible());
    EXPECT_FALSE(Bars().Channel(0).IsWindowVisible());
    EXPECT_EQ(bar.GetUserCount(), -1) << "no connection, no count";

    const std::pair<UINT, Note> expected[] = {
        {CLobbyTitleBar::kCommandMake, {UM_ROOM_DIALOG, 0, 0}},
        {CLobbyTitleBar::kCommandJoin, Command(CMD_ENTER_LOBBY, 2)},
        {CLobbyTitleBar::kCommandSearch, {UM_SHOW_SUB_WINDOW, 0, 0}},
        {CLobbyTitleBar::kCommandBack, {UM_SESSION_COMMAND, CMD_MAP_PATH_B, 0}},
    };
    for (int i = 0; i < CLobbyTitleSkin::kButtonCount; ++i) {
        CSoundButton& button = bar.m_btnButtons[i];
        SCOPED_TRACE(CLobbyTitleSkin::kSections[i]);
        ASSERT_TRUE(button.GetSafeHwnd());
        EXPECT_EQ(static_cast<UINT>(button.GetDlgCtrlID()), expected[i].first);
        const CSkinElement& element = bar.GetTitleSkin()->m_elements[i];
        const Shot picture = OfBitmap(static_cast<HBITMAP>(element.bmpImage.GetSafeHandle()));
        const int w = picture.width / 4;
        const RECT all{0, 0, w, picture.height};
        EXPECT_EQ(Mismatches(OfWindow(button), all, PictureFrom(picture, 0)), 0) << "normal";
        MoveTo(button, w / 2, 10);
        EXPECT_EQ(Mismatches(OfWindow(button), all, PictureFrom(picture, w)), 0) << "hover";
        Press(button, w / 2, 10);
        EXPECT_EQ(Mismatches(OfWindow(button), all, PictureFrom(picture, 2 * w)), 0) << "pressed";
        Release(button, w / 2, 10);
        EXPECT_EQ(TakePosted(), std::vector<Note>{expected[i].second});
        MoveTo(*m_frame, 790, 590);
        button.EnableWindow(FALSE);
        EXPECT_EQ(Mismatches(OfWindow(button), all, PictureFrom(picture, 3 * w)), 0) << "disabled";
        button.EnableWindow(TRUE);
    }

    // Without a lobby to enter, Join asks for nothing.
    View().nCurrentLobby = -1;
    Click(bar.m_btnButtons[CLobbyTitleSkin::JOIN_BTN], 20, 10);
    EXPECT_TRUE(TakePosted().empty());

    // The bar follows the frame's children being switched off, while it shows.
    Bars().EnableTitleBar(FALSE);
    EXPECT_FALSE(bar.IsWindowEnabled());
    Bars().EnableTitleBar(TRUE);
    EXPECT_TRUE(bar.IsWindowEnabled());
}

TEST_P(LobbyBars, EveryBarFollowsTheFrameWhenItMoves)
{
    m_frame->SetWindowPos(nullptr, 37, 21, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump();
    std::vector<CSkinWnd*> bars{&Bars().Board(), &Bars().TitleBar()};
    for (int i = 0; i < Bars().GetChannelCount(); ++i) {
        bars.push_back(&Bars().Channel(i));
    }
    for (int i = 0; i < CLobbyBars::GAME_BUTTON_COUNT; ++i) {
        bars.push_back(&Bars().GameButton(i));
    }
    for (CSkinWnd* bar : bars) {
        const RECT placed = ScreenRect(*bar);
        const RECT& element = bar->m_pElement->rcRect;
        EXPECT_EQ(placed.left, 37 + element.left);
        EXPECT_EQ(placed.top, 21 + element.top);
        EXPECT_EQ(placed.right - placed.left, element.right - element.left);
        EXPECT_EQ(placed.bottom - placed.top, element.bottom - element.top);
    }
}

// Counts from the real service: one member in lobby 2, none elsewhere.
TEST_P(LobbyBars, EntrancesAndTheTitleBarShowTheLobbysMemberCount)
{
    yonda::testing::ServiceHarness service{"lobby-bars"};
    service.addMember("kim", "Kim");
    service.addMember("lee", "Lee");
    ASSERT_TRUE(m_session.GetComm()->Connect("127.0.0.1", service.port()));
    long user = 0;
    char flag = 0;
    ASSERT_TRUE(m_session.GetComm()->QueryLogin("kim", "pw", user, flag));
    yonda::testing::TestClient lee;
    ASSERT_NE(lee.login(service.port(), "lee"), 0);
    ASSERT_EQ(lee.join(2, -1), yonda::proto::Ok);

    m_frame->OnLocationChanged(LOC_MINIMAP);
    CFont bold;
    ASSERT_TRUE(CommunityCreateGuiFont(&bold, FW_BOLD));
    auto expectCount = [&](int lobby, const std::string& text, bool repaint = true) {
        SCOPED_TRACE(std::to_string(lobby) + " shows \"" + text + "\"");
        CLobbyChannelButton& channel = Bars().Channel(lobby);
        if (repaint) {
            channel.Invalidate();
        }
        const Shot shown = OfWindow(channel);
        const Shot picture = OfBitmap(static_cast<HBITMAP>(channel.m_pElement->bmpImage.GetSafeHandle()));
        Shot column{shown.width, shown.height, {}};
        for (int y = 0; y < shown.height; ++y) {
            for (int x = 0; x < shown.width; ++x) {
                column.pixels.push_back(picture.At(lobby * shown.width + x, y));
            }
        }
        // White, then black one pixel up and to the left.
        const Shot want =
            WithText(column, text, static_cast<HFONT>(bold.GetSafeHandle()), CLobbyChannelButton::kCountRect,
                     {{RGB(255, 255, 255), {0, 0}}, {RGB(0, 0, 0), {-1, -1}}});
        const RECT area{2, 2, shown.width - 2, shown.height - 2};
        EXPECT_EQ(Mismatches(shown, area, [&](int x, int y) { return want.At(x, y); }), 0);
        return Mismatches(shown, area, PictureFrom(picture, lobby * shown.width));
    };
    // Switched off: pictures only.
    EXPECT_EQ(expectCount(2, ""), 0);
    // "/usercount" switches it on and has the frame hide and show the entrances again.
    View().bShowUserCounts = 1;
    Bars().ShowEntrance(SW_HIDE);
    Bars().ShowEntrance(SW_SHOW);
    EXPECT_GT(expectCount(2, "1", false), 20);
    EXPECT_GT(expectCount(0, "0"), 20);

    // The title bar of the chosen lobby: its plaque, then "<title> :<count>" under it.
    View().nCurrentLobby = 2;
    m_session.m_nChosenLobby = 2;
    m_frame->OnLocationChanged(LOC_LOBBY_SELECTED);
    CLobbyTitleBar& bar = Bars().TitleBar();
    EXPECT_EQ(bar.GetUserCount(), 1);
    const std::string title = bar.m_pElement->strTitle.GetString();
    EXPECT_EQ(bar.GetTitleText(), CString((title + " :1").c_str())) << "no blank after the colon";
    const Shot back = OfBitmap(static_cast<HBITMAP>(bar.m_pElement->bmpImage.GetSafeHandle()));
    const CSkinElement& plaque = bar.GetTitleSkin()->m_elements[CLobbyTitleSkin::LOBBY_TITLE];
    const Shot plaques = OfBitmap(static_cast<HBITMAP>(bar.m_bmpTitle.GetSafeHandle()));
    const int c = plaques.width / 5;
    const int h = plaques.height;
    const RECT at = plaque.rcRect;
    Shot drawn = back;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < c; ++x) {
            drawn.pixels[static_cast<size_t>(at.top + y) * drawn.width + at.left + x] = plaques.At(2 * c + x, y);
        }
    }
    CFont twelvePoint;
    ASSERT_TRUE(CommunityCreateGuiFont(&twelvePoint, FW_BOLD, -16)); // 12 pt at 96 pixels an inch
    const RECT textRect{at.left, at.top + h + 8, at.left + c, at.top + h + 24};
    const Shot want = WithText(drawn, title + " :1", static_cast<HFONT>(twelvePoint.GetSafeHandle()), textRect,
                               {{RGB(0, 0, 0), {0, 0}}});
    const Shot shown = OfWindow(bar);
    const RECT left{0, 0, 170, shown.height};
    EXPECT_EQ(Mismatches(shown, left, [&](int x, int y) { return want.At(x, y); }), 0);
    EXPECT_GT(Mismatches(shown, textRect, [&](int x, int y) { return drawn.At(x, y); }), 20) << "the text shows";

    // Without lobbies only the background shows.
    m_session.m_nLobbyCount = 0;
    bar.Invalidate();
    EXPECT_EQ(Mismatches(OfWindow(bar), left, [&](int x, int y) { return back.At(x, y); }), 0);
    m_session.m_nLobbyCount = 5;

    // A lobby whose count cannot be had shows -1.
    m_session.GetComm()->Disconnect();
    m_frame->OnLocationChanged(LOC_MINIMAP);
    EXPECT_GT(expectCount(2, "-1"), 20);
    m_frame->OnLocationChanged(LOC_LOBBY_SELECTED);
    EXPECT_EQ(bar.GetUserCount(), -1);
}

// The title bar's skin: the four buttons with the ids the bar reacts to and four-state pictures,
// and one plaque per lobby with room under it for the title line.
TEST_P(LobbyBars, TheTitleBarsSkinHasItsButtonsAndAPlaquePerLobby)
{
    CSkinElement* element = m_skin.Element("WND_LOBBY");
    ASSERT_TRUE(element);
    CLobbyTitleSkin skin;
    skin.SetSkinPath(m_skin.m_strSkinFolder);
    ASSERT_EQ(skin.LoadIni(element->strIniFile), 1);
    BITMAP back{};
    ASSERT_TRUE(element->bmpImage.GetBitmap(&back));
    const RECT bar{0, 0, back.bmWidth, back.bmHeight};
    EXPECT_EQ(element->rcRect.right - element->rcRect.left, back.bmWidth);
    EXPECT_EQ(element->rcRect.bottom - element->rcRect.top, back.bmHeight);
    EXPECT_FALSE(element->strTitle.IsEmpty());

    const UINT ids[4] = {500, 503, 501, 502};
    std::vector<RECT> taken;
    for (int i = 0; i < CLobbyTitleSkin::kButtonCount; ++i) {
        const CSkinElement& button = skin.m_elements[i];
        SCOPED_TRACE(CLobbyTitleSkin::kSections[i]);
        EXPECT_EQ(static_cast<UINT>(button.nID), ids[i]);
        EXPECT_FALSE(button.strTitle.IsEmpty()) << "a tooltip";
        BITMAP picture{};
        ASSERT_TRUE(const_cast<CBitmap&>(button.bmpImage).GetBitmap(&picture));
        EXPECT_EQ(picture.bmWidth, 4 * (button.rcRect.right - button.rcRect.left));
        EXPECT_EQ(picture.bmHeight, button.rcRect.bottom - button.rcRect.top);
        EXPECT_TRUE(Contains(bar, button.rcRect));
        taken.push_back(button.rcRect);
    }
    const CSkinElement& plaque = skin.m_elements[CLobbyTitleSkin::LOBBY_TITLE];
    BITMAP strip{};
    ASSERT_TRUE(const_cast<CBitmap&>(plaque.bmpImage).GetBitmap(&strip));
    const int c = plaque.rcRect.right - plaque.rcRect.left;
    EXPECT_EQ(strip.bmWidth, 5 * c) << "one plaque per lobby";
    EXPECT_EQ(strip.bmHeight, plaque.rcRect.bottom - plaque.rcRect.top);
    // The plaque and the title line under it stay clear of the buttons and inside the bar.
    const RECT used{plaque.rcRect.left, plaque.rcRect.top, plaque.rcRect.left + c,
                    plaque.rcRect.top + strip.bmHeight + 24};
    EXPECT_TRUE(Contains(bar, used));
    taken.push_back(used);
    for (size_t a = 0; a < taken.size(); ++a) {
        for (size_t b = a + 1; b < taken.size(); ++b) {
            RECT both;
            EXPECT_FALSE(IntersectRect(&both, &taken[a], &taken[b])) << a << " " << b;
        }
    }
    // Each lobby's plaque is its own, and it is drawn as it is: no key colour in it.
    const Shot plaques = OfBitmap(static_cast<HBITMAP>(plaque.bmpImage.GetSafeHandle()));
    std::set<std::vector<unsigned>> columns;
    for (int i = 0; i < 5; ++i) {
        std::vector<unsigned> column;
        for (int y = 0; y < plaques.height; ++y) {
            for (int x = 0; x < c; ++x) {
                column.push_back(plaques.At(i * c + x, y));
                EXPECT_NE(column.back(), 0xFF00FFu);
            }
        }
        columns.insert(column);
    }
    EXPECT_EQ(columns.size(), 5u);
}

INSTANTIATE_TEST_SUITE_P(BothSkins, LobbyBars, testing::Values("Orange", "Orange_Do"));
