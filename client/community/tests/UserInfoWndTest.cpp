// The user information window as the program makes it: the real main frame with its 3D view and
// engine, the generated skin and catalogue, the member logged in to the real service on
// loopback. Boxes and the picture's notice are answered by the test; what the window sends is
// checked in the service's database.
#include "ControlTestSupport.h"
#include "UserInfoDlg.h"
#include "UserInfoWnd.h"

#include <AvatarScene.h>
#include <ClientApp.h>
#include <ClientGlobals.h>
#include <ClientSession.h>
#include <ImageFile.h>
#include <ItemCatalog.h>
#include <MainFrame.h>
#include <MainSkin.h>
#include <NoticeDlg.h>
#include <ProgramResources.h>
#include <ServiceHarness.h>
#include <ToolkitShared.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace yonda::uitest;
namespace fs = std::filesystem;

namespace {

class TestInfo : public CUserInfoWnd {
public:
    std::vector<std::string> boxes;
    INT_PTR answer = IDOK;
    int notices = 0;

protected:
    void ShowText(const CString& text) override { boxes.emplace_back(static_cast<LPCSTR>(text)); }
    INT_PTR RunNotice(CNoticeDlg& notice) override
    {
        ++notices;
        EXPECT_TRUE(notice.m_bmpNotice.GetSafeHandle()) << "the notice shows no picture";
        return answer;
    }
};

class UserInfoWnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterProgramResources(); }

    void SetUp() override
    {
        const char* binary = std::getenv("YONDA_BINARY_DIR");
        ASSERT_NE(binary, nullptr);
        m_home = fs::temp_directory_path() / ("userinfo-" + std::to_string(::getpid()));
        fs::create_directories(m_home);
        // Kim wears the first items of the program's catalogue: hair, upper, lower and shoes.
        std::vector<yonda::service::OwnedItem> worn;
        for (int category : {ITEM_HAIR, ITEM_UPPER, ITEM_LOWER, ITEM_FOOTWEAR}) {
            worn.push_back({"", 'M', category, 1, 0, true});
        }
        ASSERT_EQ(m_service.store().createAvatar(m_kim, 'M', worn), yonda::service::Change::Done);
        g_strInstallPath = CString(binary) + "/yonda";
        GlobalLockInit();
        g_pMainSkin = &m_skin;
        ASSERT_EQ(m_skin.LoadSkin(g_strInstallPath, "Orange"), 1);
        ToolkitSetSkinFolder(m_skin.m_strSkinFolder);
        g_pSession = &m_session;
        ASSERT_TRUE(m_session.LoadStringTable("StringTable.ini"));
        ASSERT_TRUE(m_session.GetComm()->Connect("127.0.0.1", m_service.port()));
        long user = 0;
        char flag = 0;
        ASSERT_TRUE(m_session.GetComm()->QueryLogin("kim", "pw", user, flag));
        m_session.m_OwnUser.lUser = user;
        std::strcpy(m_session.m_OwnUser.szID, "kim");
        m_session.m_OwnAvatar.cLetter[0] = 'M';
        g_pComm = m_session.GetComm();
        m_frame = new CMainFrame; // deletes itself with its window
        ASSERT_TRUE(m_frame->CreateFrame(0, 0));
        m_frame->m_pSession = &m_session;
        m_app.m_pMainWnd = m_frame;
        g_pItemCatalog = &m_catalog;
        ASSERT_EQ(m_scene.InitScene(), 1);
        g_strInstallPath = m_home.string().c_str();
        // Pictures the window writes go to a folder of this test's own.
        ASSERT_TRUE(m_info.CreateWnd(m_frame, m_skin.Element("WND_AVATAR_INFO")));
        Pump();
    }
    void TearDown() override
    {
        if (m_info.GetSafeHwnd()) {
            m_info.DestroyWindow();
        }
        m_scene.UnloadScene();
        m_app.m_pMainWnd = nullptr;
        m_frame->DestroyWindow();
        Pump();
        g_pItemCatalog = nullptr;
        m_session.GetComm()->Disconnect();
        g_pComm = nullptr;
        g_pSession = nullptr;
        g_pMainSkin = nullptr;
        ToolkitSetSkinFolder(CString());
        ToolkitSetTableStrings(nullptr);
        GlobalLockDelete();
        std::error_code ignored;
        fs::remove_all(m_home, ignored);
    }

    // Gives Kim an item without wearing it.
    void Own(int category, int number)
    {
        yonda::service::OwnedItem item;
        item.gender = 'M';
        item.category = category;
        item.number = number;
        int32_t balance = 0;
        ASSERT_EQ(m_service.store().buy(m_kim, item, 0, balance), yonda::service::BuyResult::Bought);
    }
    std::string Table(LPCSTR key) { return static_cast<LPCSTR>(m_session.GetTableString(key)); }
    int ItemRows() { return m_info.m_listItems.GetItemCount(); }
    ITEM_RECORD* RowItem(int row) { return static_cast<ITEM_RECORD*>(m_info.m_listItems.GetItemData(row, 1)); }

    yonda::testing::ServiceHarness m_service{"user-info"};
    int32_t m_kim = m_service.addMember("kim", "Kim", 1000, false);
    int32_t m_lee = m_service.addMember("lee", "Lee", 1000, true, 'F');
    fs::path m_home;
    CClientApp m_app;
    CMainSkin m_skin;
    CClientSession m_session;
    CItemCatalog m_catalog;
    CAvatarScene m_scene;
    CMainFrame* m_frame = nullptr;
    TestInfo m_info;
};

EX_YONDA_BODY_R_USER_INFO Record()
{
    EX_YONDA_BODY_R_USER_INFO info{};
    info.lUser = 7;
    std::strcpy(info.szID, "park");
    std::strcpy(info.szNickname, "J&ouml;rg");
    info.cGender = 'F';
    info.byAge = 0;
    std::strcpy(info.szArea, "99");
    std::strcpy(info.szJob, "baker");
    std::strcpy(info.szHobby, "chess");
    std::strcpy(info.szEmail, "park@example.org");
    std::strcpy(info.szIntro, "Gr&uuml;&szlig;e");
    return info;
}

} // namespace

TEST(UserInfoRules, NicknamesAreCheckedByTheSkinsLanguage)
{
    using W = CUserInfoWnd;
    // Six double-byte letters are a Korean nickname's most; a seventh is one too many.
    const CString six = "\xB1\xE8\xB1\xE8\xB1\xE8\xB1\xE8\xB1\xE8\xB1\xE8";
    EXPECT_EQ(W::NicknameRefusal(six, W::LANGUAGE_KOREAN), nullptr);
    EXPECT_STREQ(W::NicknameRefusal(six + "\xB1\xE8", W::LANGUAGE_KOREAN), "M_NICKNAME_TO_BAD");
    EXPECT_STREQ(W::NicknameRefusal("", W::LANGUAGE_KOREAN), "M_NICKNAME_TO_BAD");
    EXPECT_STREQ(W::NicknameRefusal("Ki m", W::LANGUAGE_DEFAULT), "M_NICKNAME_TO_BAD");
    // German: two to twelve bytes.
    EXPECT_STREQ(W::NicknameRefusal("K", W::LANGUAGE_GERMAN), "M_NICKNAME_TO_BAD");
    EXPECT_EQ(W::NicknameRefusal("Kimberlyanne", W::LANGUAGE_GERMAN), nullptr);
    EXPECT_STREQ(W::NicknameRefusal("Kimberlyannes", W::LANGUAGE_GERMAN), "M_NICKNAME_TO_BAD");
    // No language lets a name past what the service keeps (31 bytes).
    EXPECT_EQ(W::NicknameRefusal(CString('a', 31), W::LANGUAGE_DEFAULT), nullptr);
    EXPECT_STREQ(W::NicknameRefusal(CString('a', 32), W::LANGUAGE_DEFAULT), "M_NICKNAME_TO_BAD");
    // The staff's names are the service's.
    const std::string staff = YondaUtf8ToCodePage("\xEC\x9A\xB4\xEC\x98\x81\xEC\x9E\x90", GetACP());
    EXPECT_STREQ(W::NicknameRefusal(staff.c_str(), W::LANGUAGE_KOREAN), "M_NICKNAME_IS_A_MASTER");
}

TEST(UserInfoRules, AnotherMembersProfileHidesWhatIsNotGivenAndDecodesGermanLetters)
{
    CUserInfoLayout layout;
    layout.m_strGenderBoy = "boy";
    layout.m_strGenderGirl = "girl";
    layout.m_strOtherAvatarHead = "Profile of %s";
    const EX_YONDA_BODY_R_USER_INFO info = Record();
    auto area = [](LPCSTR code) { return CString(std::strcmp(code, "02") == 0 ? "Seoul" : ""); };
    CString texts[UI_TEXT_COUNT];
    CString intro;
    g_bGermanText = TRUE; // the German skin's flag
    CUserInfoWnd::FormatProfile(info, layout, CUserInfoWnd::LANGUAGE_GERMAN, area, texts, &intro);
    g_bGermanText = FALSE;
    EXPECT_EQ(texts[UI_TEXT_HEAD], "Profile of J\xF6rg");
    EXPECT_EQ(texts[UI_TEXT_ID], "park");
    EXPECT_EQ(texts[UI_TEXT_NICKNAME], "J\xF6rg");
    EXPECT_EQ(texts[UI_TEXT_GENDER], "girl");
    // Age 0, an unknown area and no telephone are hidden; the club has no source.
    EXPECT_EQ(texts[UI_TEXT_AGE], "verborgen");
    EXPECT_EQ(texts[UI_TEXT_CITY], "verborgen");
    EXPECT_EQ(texts[UI_TEXT_TEL], "verborgen");
    EXPECT_EQ(texts[UI_TEXT_CLUB], "");
    EXPECT_EQ(texts[UI_TEXT_JOB], "baker");
    EXPECT_EQ(texts[UI_TEXT_HOBBY], "chess");
    EXPECT_EQ(texts[UI_TEXT_EMAIL], "park@example.org");
    EXPECT_EQ(intro, "Gr\xFC\xDF"
                     "e");

    EX_YONDA_BODY_R_USER_INFO korean = Record();
    korean.byAge = 31;
    korean.cGender = 'M';
    std::strcpy(korean.szArea, "02");
    std::strcpy(korean.szTel, "010");
    // A field full to its last byte: the text ends within it, as every text field does.
    std::memset(korean.szJob, 'j', sizeof korean.szJob);
    CUserInfoWnd::FormatProfile(korean, layout, CUserInfoWnd::LANGUAGE_KOREAN, area, texts, &intro);
    EXPECT_EQ(texts[UI_TEXT_NICKNAME], "J&ouml;rg") << "entities are German text only";
    EXPECT_EQ(texts[UI_TEXT_GENDER], "boy");
    EXPECT_EQ(texts[UI_TEXT_AGE], "31");
    EXPECT_EQ(texts[UI_TEXT_CITY], "Seoul");
    EXPECT_EQ(texts[UI_TEXT_TEL], "010");
    EXPECT_EQ(texts[UI_TEXT_JOB].GetLength(), static_cast<int>(sizeof korean.szJob) - 1);
    EXPECT_EQ(CUserInfoWnd::HiddenWord(CUserInfoWnd::LANGUAGE_KOREAN), "\xBA\xF1\xB0\xF8\xB0\xB3");
}

TEST(UserInfoRules, ABrokenJpegIsNoPictureAndAGoodOneKeepsItsColours)
{
    const fs::path folder = fs::temp_directory_path() / ("jpeg-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string good = (folder / "good.jpg").string();
    std::vector<unsigned char> rgb(40 * 30 * 3);
    for (size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = 200;
        rgb[i + 1] = 30;
        rgb[i + 2] = 40;
    }
    CImageFile writer;
    ASSERT_TRUE(writer.SaveJpeg(good.c_str(), rgb.data(), 40, 30, true, 90));
    HBITMAP picture = LoadJpegHandle(good.c_str());
    ASSERT_TRUE(picture);
    BITMAP info{};
    ::GetObject(picture, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 40);
    EXPECT_EQ(info.bmHeight, 30);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, picture);
    const COLORREF pixel = ::GetPixel(dc, 20, 15);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(picture);
    EXPECT_NEAR(GetRValue(pixel), 200, 6);
    EXPECT_NEAR(GetGValue(pixel), 30, 6);
    EXPECT_NEAR(GetBValue(pixel), 40, 6);
    // Cut short, or not a JPEG at all: nothing, and no box.
    const std::string cut = (folder / "cut.jpg").string();
    std::vector<char> bytes(fs::file_size(good));
    std::ifstream(good, std::ios::binary).read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::ofstream(cut, std::ios::binary).write(bytes.data(), 20);
    EXPECT_FALSE(LoadJpegHandle(cut.c_str()));
    EXPECT_FALSE(LoadJpegHandle((folder / "missing.jpg").string().c_str()));
    fs::remove_all(folder);
}

TEST_F(UserInfoWnd, TheOwnItemsAreWornAndTakenOffAndOnlyChangesAreSent)
{
    Own(ITEM_HAIR_ITEM, 0);
    Own(ITEM_HAND, 2);
    m_info.QueryAvatarInfo(-1);
    Pump();
    ASSERT_TRUE(m_info.IsWindowVisible());
    EXPECT_FALSE(m_info.IsOtherMember());
    EXPECT_EQ(m_info.ShownText(UI_TEXT_ID), "kim");
    EXPECT_EQ(m_info.m_wndAvatar.GetShownUser(), m_kim);
    // The four items Kim wears fill their slots of the worn list; the hair is listed first.
    for (int slot : {0, 1, 2, 3}) {
        ASSERT_TRUE(m_info.WornItem(slot)) << slot;
        EXPECT_TRUE(m_info.WornItem(slot)->byWorn);
    }
    EXPECT_FALSE(m_info.WornItem(4));
    EXPECT_FALSE(m_info.WornItem(5));
    EXPECT_EQ(m_info.GetCategory(), ITEM_HAIR);
    ASSERT_EQ(ItemRows(), 1);
    EXPECT_FALSE(RowItem(0)) << "a worn item's row holds only the placeholder";

    // OK with nothing changed sends nothing and closes.
    m_info.boxes.clear();
    EXPECT_TRUE(m_info.ApplyChanges());
    EXPECT_FALSE(m_info.IsWindowVisible());
    EXPECT_TRUE(m_info.boxes.empty());

    m_info.QueryAvatarInfo(-1);
    m_info.OnTab(&m_info.m_tabInfo, 1);
    EXPECT_TRUE(m_info.IsItemsMode());
    EXPECT_TRUE(m_info.m_listItems.IsWindowVisible());
    EXPECT_FALSE(m_info.m_editNick.IsWindowVisible());
    // The items tab lists the hand items, then the hair items.
    m_info.OnTab(&m_info.m_tabPart, 4);
    EXPECT_EQ(m_info.GetCategory(), ITEM_HAND);
    ASSERT_EQ(ItemRows(), 2);
    ASSERT_TRUE(RowItem(0) && RowItem(1));
    EXPECT_EQ(RowItem(0)->byCategory, ITEM_HAND);
    ITEM_RECORD* cap = RowItem(1);
    EXPECT_EQ(cap->byCategory, ITEM_HAIR_ITEM);
    m_info.WearRow(1);
    EXPECT_EQ(m_info.WornItem(5), cap);
    EXPECT_TRUE(cap->byWorn);
    EXPECT_FALSE(RowItem(1)) << "the worn cap's row holds only the placeholder";
    EXPECT_EQ(m_info.m_nWornRow[5], 1);
    m_info.WearRow(1); // a placeholder's click does nothing
    EXPECT_EQ(m_info.WornItem(5), cap);

    // Taken off from the upper-body tab: the hand items' tab comes up with the cap offered again.
    m_info.OnTab(&m_info.m_tabPart, 1);
    m_info.TakeOffRow(5);
    EXPECT_FALSE(m_info.WornItem(5));
    EXPECT_FALSE(cap->byWorn);
    EXPECT_EQ(m_info.GetCategory(), ITEM_HAND);
    EXPECT_EQ(m_info.m_tabPart.GetCurSel(), 4);
    ASSERT_EQ(ItemRows(), 2);
    EXPECT_EQ(RowItem(1), cap);
    EXPECT_FALSE(m_catalog.HasChanges()) << "on and off again is no change";

    // The cap on again and OK: the service keeps it worn.
    m_info.WearRow(1);
    EXPECT_TRUE(m_info.ApplyChanges());
    EXPECT_TRUE(m_info.boxes.empty()) << (m_info.boxes.empty() ? "" : m_info.boxes[0]);
    bool capWorn = false;
    for (const auto& item : m_service.store().items(m_kim)) {
        capWorn |= item.category == ITEM_HAIR_ITEM && item.number == 0 && item.worn;
    }
    EXPECT_TRUE(capWorn);
    EXPECT_FALSE(m_info.IsWindowVisible());
}

TEST_F(UserInfoWnd, NicknameAndIntroductionChangeThroughTheServiceAndRefusalsKeepTheWindow)
{
    m_info.QueryAvatarInfo(-1);
    CString text;
    m_info.m_editNick.GetWindowText(text);
    EXPECT_EQ(text, "Kim");
    // Spaces only: refused here, nothing asked, the window stays with what was typed.
    m_info.m_editNick.SetWindowText("   ");
    EXPECT_FALSE(m_info.ApplyChanges());
    EXPECT_EQ(m_info.boxes, std::vector<std::string>{Table("M_NICKNAME_TO_BAD")});
    EXPECT_TRUE(m_info.IsWindowVisible());
    m_info.m_editNick.GetWindowText(text);
    EXPECT_EQ(text, "   ");
    // Lee's nickname is taken: the service refuses, Kim keeps the old one everywhere.
    m_info.boxes.clear();
    m_info.m_editNick.SetWindowText("Lee");
    m_info.m_editIntro.SetWindowText("hello there");
    EXPECT_TRUE(m_info.ApplyChanges());
    EXPECT_EQ(m_info.boxes, std::vector<std::string>{Table("M_MODIFY_USER_NICKNAME") + Table("E_NETWORK_FAIL")});
    EXPECT_EQ(m_service.store().accountByUser(m_kim)->nickname, "Kim");
    EXPECT_STRNE(m_session.m_OwnUser.szNickname, "Lee");
    // The introduction was still sent.
    EXPECT_EQ(m_service.store().accountByUser(m_kim)->intro, "hello there");
    EXPECT_STREQ(m_session.m_OwnUser.szText[5], "hello there");

    m_info.boxes.clear();
    m_info.QueryAvatarInfo(-1);
    m_info.m_editIntro.GetWindowText(text);
    EXPECT_EQ(text, "hello there");
    m_info.m_editNick.SetWindowText("  Kimmy ");
    EXPECT_TRUE(m_info.ApplyChanges());
    EXPECT_TRUE(m_info.boxes.empty());
    EXPECT_EQ(m_service.store().accountByUser(m_kim)->nickname, "Kimmy");
    EXPECT_STREQ(m_session.m_OwnUser.szNickname, "Kimmy");
    EXPECT_STREQ(m_session.m_OwnAvatar.szNickname, "Kimmy");
}

TEST_F(UserInfoWnd, AnotherMembersProfileOnlyShowsAndOkSendsNothing)
{
    std::vector<uint8_t> jpeg;
    {
        // Lee's uploaded picture, as the service keeps it.
        const fs::path file = m_home / "lee.jpg";
        std::vector<unsigned char> rgb(30 * 50 * 3, 0);
        for (size_t i = 0; i < rgb.size(); i += 3) {
            rgb[i] = 20;
            rgb[i + 1] = 200;
            rgb[i + 2] = 30;
        }
        CImageFile writer;
        ASSERT_TRUE(writer.SaveJpeg(file.string().c_str(), rgb.data(), 30, 50, true, 90));
        std::ifstream in(file, std::ios::binary);
        jpeg.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        ASSERT_EQ(m_service.store().saveImage("lee", jpeg), yonda::service::Change::Done);
    }
    m_info.QueryAvatarInfo(m_lee);
    Pump();
    EXPECT_TRUE(m_info.IsOtherMember());
    EXPECT_EQ(m_info.ShownText(UI_TEXT_NICKNAME), "Lee");
    EXPECT_FALSE(m_info.m_editNick.IsWindowVisible());
    EXPECT_FALSE(m_info.m_editIntro.IsWindowEnabled());
    EXPECT_TRUE(m_info.m_btnButtons[CUserInfoLayout::ADD_FRIEND_BTN].IsWindowVisible());
    EXPECT_FALSE(m_info.m_btnButtons[CUserInfoLayout::SCREENSHOT_BTN].IsWindowVisible());
    ASSERT_TRUE(m_info.HasPicture());
    // The picture is drawn in its place.
    m_info.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    YondaFlushPainting();
    const RECT place = m_info.Layout().m_rcPicture;
    const uint32_t middle = Pixel(m_info.GetSafeHwnd(), (place.left + place.right) / 2, (place.top + place.bottom) / 2);
    EXPECT_LT((middle >> 16) & 0xFF, 60u);
    EXPECT_GT((middle >> 8) & 0xFF, 160u);

    // What is typed into the hidden edits of another member's window never becomes Kim's.
    m_info.m_editIntro.SetWindowText("not mine");
    m_info.m_editNick.SetWindowText("Stolen");
    EXPECT_TRUE(m_info.ApplyChanges());
    EXPECT_FALSE(m_info.IsWindowVisible());
    EXPECT_EQ(m_service.store().accountByUser(m_kim)->nickname, "Kim");
    EXPECT_EQ(m_service.store().accountByUser(m_kim)->intro, "");
    EXPECT_TRUE(m_info.boxes.empty());

    // Add friend goes through the frame, once.
    m_info.QueryAvatarInfo(m_lee);
    m_info.SendMessage(WM_COMMAND, MAKEWPARAM(CUserInfoWnd::kCommandAddFriend, BN_CLICKED), 0);
    EXPECT_EQ(m_service.store().friendsOf(m_kim), std::vector<int32_t>{m_lee});
    // A member who never uploaded a picture has none, and no older one is shown.
    m_info.QueryAvatarInfo(m_kim);
    EXPECT_TRUE(m_info.IsOtherMember());
    EXPECT_FALSE(m_info.HasPicture());
}

TEST_F(UserInfoWnd, ThePictureIsUploadedOnlyWhenTheMemberAgreesAndItsBmpIsDeleted)
{
    m_info.QueryAvatarInfo(-1);
    ASSERT_TRUE(m_info.m_wndAvatar.RenderFrame());
    const fs::path folder = m_home / "ScreenShot";
    // Not wanted: no upload, no box, the BMP gone, the JPEG kept.
    m_info.answer = IDCANCEL;
    m_info.CaptureAndUpload();
    EXPECT_EQ(m_info.notices, 1);
    EXPECT_TRUE(m_info.boxes.empty());
    EXPECT_TRUE(fs::exists(folder / "kim000.jpg"));
    EXPECT_FALSE(fs::exists(folder / "kim000.jpg.bmp"));
    EXPECT_FALSE(m_service.store().image("kim"));
    // Wanted: the service keeps the JPEG as it was written.
    m_info.answer = IDOK;
    m_info.CaptureAndUpload();
    EXPECT_EQ(m_info.boxes, std::vector<std::string>{Table("S_AVATAR_IMAGE_UPLOAD")});
    EXPECT_FALSE(fs::exists(folder / "kim001.jpg.bmp"));
    auto stored = m_service.store().image("kim");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->size(), fs::file_size(folder / "kim001.jpg"));
    // Its size is the layout's.
    HBITMAP picture = LoadJpegHandle((folder / "kim001.jpg").string().c_str());
    ASSERT_TRUE(picture);
    BITMAP info{};
    ::GetObject(picture, sizeof info, &info);
    ::DeleteObject(picture);
    EXPECT_EQ(info.bmWidth, m_info.Layout().m_nCaptureWidth);
    EXPECT_EQ(info.bmHeight, m_info.Layout().m_nCaptureHeight);

    // A picture that cannot be saved (a file where the folder would go): told, nothing shown.
    fs::remove_all(folder);
    std::ofstream(folder) << "in the way";
    m_info.boxes.clear();
    m_info.CaptureAndUpload();
    EXPECT_EQ(m_info.boxes, std::vector<std::string>{Table("E_AVATAR_CAPTURED")});
    EXPECT_EQ(m_info.notices, 2);
    EXPECT_EQ(m_service.store().image("kim")->size(), stored->size()) << "the stored picture stays";
}

// The chat command's dialog: the window's layout with its buttons and edits, nothing more.
TEST_F(UserInfoWnd, TheDialogFormShowsTheLayoutAndLetsDeviceResetsPass)
{
    CUserInfoDlg dialog(m_skin.Element("WND_AVATAR_INFO"), m_frame);
    ASSERT_TRUE(dialog.Create(CUserInfoDlg::kTemplate, m_frame));
    dialog.ShowWindow(SW_SHOWNA);
    Pump();
    CRect client;
    dialog.GetClientRect(&client);
    BITMAP back{};
    ::GetObject(m_info.m_bmpBack.GetSafeHandle(), sizeof back, &back);
    EXPECT_EQ(client.Width(), back.bmWidth);
    EXPECT_EQ(client.Height(), back.bmHeight);
    for (const CSoundButton& button : dialog.m_btnButtons) {
        EXPECT_TRUE(button.GetSafeHwnd());
    }
    EXPECT_TRUE(dialog.m_editNick.GetSafeHwnd());
    EXPECT_TRUE(dialog.m_editIntro.GetSafeHwnd());
    EXPECT_EQ(dialog.SendMessage(CAvatarViewWnd::kDeviceLost), 1);
    EXPECT_EQ(dialog.SendMessage(CAvatarViewWnd::kDeviceRestored), 1);
    dialog.DestroyWindow();
}
