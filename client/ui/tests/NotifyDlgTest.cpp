// The notify box as the client opens it, by text and by layout name, run modally with injected
// input: its buttons, sounds, the lines at their places (checked on the picture it shows, which
// is also written out as PNG) and Enter.
#include "ControlTestSupport.h"
#include "DialogSkin.h"
#include "NotifyDlg.h"
#include "SoundSupport.h"
#include "TempFolder.h"
#include "TempSkin.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace yonda::uitest;

namespace {

constexpr uint32_t kBack = 0xFFF4E6;

class NotifyTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_skin.Solid("msg_back.bmp", 320, 340, kBack);
        m_skin.Solid("own_back.bmp", 300, 300, 0xE0F0FF);
        m_skin.Picture("btn.bmp", 320, 26, [](int x, int) { return x < 80 ? 0xF28C28u : 0x808080u; });
        m_skin.Write("MsgDlg.ini",
                     "[COMMON]\r\nDEFAULT_BASE_BITMAP = msg_back.bmp\r\nMESSAGE_RECT = RECT(20,40,300,300)\r\n"
                     "[CloseBtn]\r\nID = 192\r\nImage = btn.bmp\r\nRect = RECT(292,4,372,30)\r\n"
                     "[OKBTN]\r\nID = 191\r\nImage = btn.bmp\r\nRect = RECT(70,296,150,322)\r\n"
                     "[CANCELBTN]\r\nID = 190\r\nImage = btn.bmp\r\nRect = RECT(170,296,250,322)\r\n"
                     "[YESBTN]\r\nID = 191\r\nImage = btn.bmp\r\nRect = RECT(70,296,150,322)\r\n"
                     "[NOBTN]\r\nID = 190\r\nImage = btn.bmp\r\nRect = RECT(170,296,250,322)\r\n"
                     "[SINGLEBTN]\r\nID = 191\r\nImage = btn.bmp\r\nRect = RECT(120,296,200,322)\r\n"
                     "[OKBTN2]\r\nID = 191\r\nImage = btn.bmp\r\nRect = RECT(40,260,120,286)\r\n"
                     "[CANCELBTN2]\r\nID = 190\r\nImage = btn.bmp\r\nRect = RECT(160,260,240,286)\r\n"
                     "[NotifyDlg]\r\nTitleMessage = Notice\r\nButtonType = 0\r\n"
                     "[TwoLines]\r\nTitleMessage = Layout\r\nMessage = one;two\r\nCancelBtn = 1\r\n"
                     "[OwnBack]\r\nBkImage = own_back.bmp\r\nButtonType = 1\r\nCancelBtn = 1\r\nMessage = x\r\n"
                     "[LostBack]\r\nBkImage = gone.bmp\r\nButtonType = 1\r\n");
        m_messageSkin.SetSkinPath(m_skin.Folder());
        ASSERT_EQ(m_messageSkin.LoadIni(m_skin.Path("MsgDlg.ini")), 1);
        ToolkitSetMessageSkin(&m_messageSkin);
    }
    void TearDown() override
    {
        ToolkitSetMessageSkin(nullptr);
        ToolkitSetTableStrings(nullptr);
    }

    // Client rows (from 0) where the box shows anything but its background across the middle.
    static std::vector<int> InkRows(HWND hwnd, int width, int height, int from, int to)
    {
        std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
        EXPECT_TRUE(YondaGetWindowPixels(hwnd, pixels.data(), width, height));
        std::vector<int> rows;
        for (int y = from; y < to; ++y) {
            for (int x = 40; x < width - 40; ++x) {
                if ((pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF) != kBack) {
                    rows.push_back(y);
                    break;
                }
            }
        }
        return rows;
    }

    TempSkin m_skin{"notify"};
    CDialogSkin m_messageSkin;
    HeardSounds m_sounds;
};

} // namespace

TEST_F(NotifyTest, ByTextTheFlagsChooseTheButtonsAndTheSounds)
{
    {
        CNotifyDlg box("Only", 0, 13, nullptr);
        UINT atOpen = 0;
        SoonInLoop([&] {
            atOpen = m_sounds.Take();
            EXPECT_TRUE(box.m_btnFirst.m_hWnd);
            EXPECT_FALSE(box.m_btnSecond.m_hWnd);
            EXPECT_EQ(box.m_btnFirst.GetDlgCtrlID(), 191);
            Key(VK_RETURN);
        });
        EXPECT_EQ(box.DoModal(), IDOK) << "Enter confirms";
        EXPECT_EQ(atOpen, 152u);
        EXPECT_EQ(m_sounds.Take(), 0u) << "one button: no confirming sound";
        EXPECT_EQ(box.m_bSingleButton, 1);
    }
    {
        CNotifyDlg box("Sure?", kNotifyOkCancel, 13, nullptr);
        SoonInLoop([&] {
            EXPECT_EQ(m_sounds.Take(), 0u);
            EXPECT_EQ(box.m_btnSecond.GetDlgCtrlID(), 190);
            YondaInjectClick(box.m_btnFirst, 60, 5);
        });
        EXPECT_EQ(box.DoModal(), IDOK);
        EXPECT_EQ(m_sounds.Take(), 150u);
    }
    {
        CNotifyDlg box("Yes or no", kNotifyYesNo | kNotifyOkCancel, 13, nullptr);
        SoonInLoop([&] { YondaInjectClick(box.m_btnSecond, 60, 20); });
        EXPECT_EQ(box.DoModal(), IDCANCEL) << "no";
    }
    SoonInLoop([] { Key(VK_ESCAPE); });
    EXPECT_EQ(ShowNotifyBox("Escape", kNotifyOkCancel, 13), IDCANCEL);
}

TEST_F(NotifyTest, TwoPartsOfATextAreTwoLinesAt160And180)
{
    CNotifyDlg box("First line;Second line", 0, 13, nullptr);
    std::vector<int> ink;
    const yonda::testing::TempFolder folder("yonda-notify");
    const std::string png = (folder / "notify.png").string();
    SoonInLoop([&] {
        Pump();
        ink = InkRows(box, 320, 340, 30, 290);
        EXPECT_TRUE(YondaCaptureWindowToPng(box, png.c_str()));
        Key(VK_RETURN);
    });
    EXPECT_EQ(box.DoModal(), IDOK);
    EXPECT_EQ(box.m_nWidth, 320) << "sized to the skin's background";
    ASSERT_FALSE(ink.empty());
    EXPECT_GE(ink.front(), 160);
    EXPECT_LT(ink.back(), 200);
    EXPECT_TRUE(std::any_of(ink.begin(), ink.end(), [](int y) { return y < 180; }));
    EXPECT_TRUE(std::any_of(ink.begin(), ink.end(), [](int y) { return y >= 180; }));
    EXPECT_GT(std::filesystem::file_size(png), 100u);
}

// Each line is drawn centred across the box at the top of its 20-pixel band, the band of a lone
// line starting at 168: the text is not pushed further down inside the band.
TEST_F(NotifyTest, ALoneLineStandsAtTheTopOfItsBandAt168)
{
    CNotifyDlg box("Only line", 0, 13, nullptr);
    std::vector<int> ink;
    SoonInLoop([&] {
        Pump();
        ink = InkRows(box, 320, 340, 30, 290);
        Key(VK_RETURN);
    });
    EXPECT_EQ(box.DoModal(), IDOK);
    ASSERT_FALSE(ink.empty());
    EXPECT_GE(ink.front(), 168);
    EXPECT_LE(ink.front(), 170) << "the glyphs start at the band's top";
    EXPECT_LT(ink.back(), 168 + 14);
}

TEST_F(NotifyTest, ByLayoutAddedLinesComeFirstAndTheLayoutChoosesButtonsAndBackground)
{
    CNotifyDlg box(CString("TwoLines"), nullptr);
    EXPECT_EQ(box.AddLine("zero"), 1);
    EXPECT_EQ(box.InsertLine(7, "end"), 2) << "past the end appends";
    std::vector<std::string> lines;
    std::vector<int> ink;
    SoonInLoop([&] {
        for (POSITION at = box.m_lines.GetHeadPosition(); at;) {
            lines.push_back(box.m_lines.GetNext(at).Str());
        }
        Pump();
        ink = InkRows(box, 320, 340, 30, 290);
        EXPECT_TRUE(box.m_btnSecond.m_hWnd);
        YondaInjectClick(box.m_btnSecond, 60, 20);
    });
    EXPECT_EQ(box.DoModal(), IDCANCEL);
    EXPECT_EQ(lines, (std::vector<std::string>{"zero", "end", "one", "two"}));
    EXPECT_EQ(box.m_strTitle, "Layout");
    ASSERT_FALSE(ink.empty());
    EXPECT_GE(ink.front(), CNotifyDlg::FirstLineTop(4));
    EXPECT_LT(ink.back(), CNotifyDlg::FirstLineTop(4) + 80);
    EXPECT_EQ(CNotifyDlg::FirstLineTop(11), 123);

    CNotifyDlg own(CString("OwnBack"), nullptr);
    CRect second;
    SoonInLoop([&] {
        own.m_btnSecond.GetWindowRect(&second);
        own.ScreenToClient(&second);
        Key(VK_RETURN);
    });
    EXPECT_EQ(own.DoModal(), IDOK);
    EXPECT_EQ(own.m_nWidth, 300) << "its own background";
    EXPECT_EQ(second.TopLeft(), CPoint(160, 260)) << "the second button set";
}

TEST_F(NotifyTest, AnUnreadableBackgroundIsToldWithTheTableTextFilledSafely)
{
    ToolkitSetTableStrings([](LPCSTR key) { return CString(key) + " %d %s %% %s"; });
    std::vector<std::string> told;
    CNotifyDlg box(CString("LostBack"), nullptr);
    // The nested box opens from the outer one's creation; Enter closes each in turn.
    SoonInLoop([&] {
        CWnd* active = CWnd::GetActiveWindow();
        if (auto* inner = dynamic_cast<CNotifyDlg*>(active)) {
            for (POSITION at = inner->m_lines.GetHeadPosition(); at;) {
                told.push_back(inner->m_lines.GetNext(at).Str());
            }
        }
        Key(VK_RETURN);
        SoonInLoop([] { Key(VK_RETURN); });
    });
    EXPECT_EQ(box.DoModal(), IDOK);
    EXPECT_EQ(told, (std::vector<std::string>{"E_FILE_READ %d gone.bmp % %s"}));
    EXPECT_EQ(box.m_nWidth, 0) << "no background";
}

TEST_F(NotifyTest, ADialogSkinWhoseBackgroundFailsTellsItAndFails)
{
    ToolkitSetTableStrings([](LPCSTR key) { return CString("cannot read %s"); });
    m_skin.Write("Broken.ini", "[COMMON]\r\nDEFAULT_BASE_BITMAP = missing.bmp\r\n");
    CDialogSkin broken;
    broken.SetSkinPath(m_skin.Folder());
    std::string told;
    SoonInLoop([&] {
        if (auto* box = dynamic_cast<CNotifyDlg*>(CWnd::GetActiveWindow())) {
            told = box->m_lines.GetHead().Str();
        }
        Key(VK_RETURN);
    });
    EXPECT_EQ(broken.LoadIni(m_skin.Path("Broken.ini")), 0);
    EXPECT_EQ(told, "cannot read missing.bmp");
}

TEST(NotifyHelpers, NumbersFileErrorsAndTheProgramFolder)
{
    EXPECT_EQ(FormatNumber(0), "0");
    EXPECT_EQ(FormatNumber(999), "999");
    EXPECT_EQ(FormatNumber(1000), "1,000");
    EXPECT_EQ(FormatNumber(-1234567), "-1,234,567");
    EXPECT_EQ(FormatNumber(INT_MIN), "-2,147,483,648");
    ToolkitSetTableStrings(nullptr);
    ShowFileReadError("C:\\x\\y.bmp") /* nothing to show before the string table exists */;
    const CString folder = GetModuleDirectory();
    char program[4096] = {};
    GetModuleFileNameA(nullptr, program, sizeof program);
    ASSERT_FALSE(folder.IsEmpty());
    EXPECT_EQ(CString(program).Left(folder.GetLength() + 1), folder + "\\");
}

TEST(DefaultSkinNotify, EveryLayoutTheProgramOpensShowsItsLinesAndButtons)
{
    HeardSounds sounds;
    for (const char* skinName : {"Orange", "Orange_Do"}) {
        SCOPED_TRACE(skinName);
        YondaSetActiveCodePage(std::string(skinName) == "Orange" ? 949 : 1252);
        ToolkitSetSkinFolder(SkinFolder(skinName));
        CDialogSkin skin;
        skin.SetSkinPath(SkinFolder(skinName));
        ASSERT_EQ(skin.LoadIni(SkinFolder(skinName) + "\\MsgDlg.ini"), 1);
        ToolkitSetMessageSkin(&skin);
        for (const char* layout :
             {"ExitConfirmDlg", "NetworkFailDlg", "AvatarSaveDlg", "AvatarSaveCancel", "LoginFailDlg", "ErrorMakeRoom",
              "RoomNameEmpty", "AvatarItemReadError", "CONFIRM_BUY_ITEM_DLG", "CONFIRM_BUY_ITEM_BASKET_DLG"}) {
            SCOPED_TRACE(layout);
            CNotifyDlg box(CString(layout), nullptr);
            box.AddLine("Item 1,000");
            bool twoButtons = false;
            bool drawn = false;
            const std::string png =
                (std::filesystem::temp_directory_path() / (std::string(skinName) + "-" + layout + ".png")).string();
            SoonInLoop([&] {
                Pump();
                twoButtons = box.m_btnSecond.m_hWnd != nullptr;
                drawn = YondaCaptureWindowToPng(box, png.c_str()) != FALSE;
                Key(VK_RETURN);
            });
            EXPECT_EQ(box.DoModal(), IDOK);
            EXPECT_TRUE(drawn);
            EXPECT_GE(box.m_nLineCount, 2);
            EXPECT_EQ(box.m_nWidth, 320);
            EXPECT_FALSE(box.m_strTitle.IsEmpty());
            const bool asks = std::string(layout) != "NetworkFailDlg" && std::string(layout) != "LoginFailDlg" &&
                              std::string(layout) != "ErrorMakeRoom" && std::string(layout) != "RoomNameEmpty" &&
                              std::string(layout) != "AvatarItemReadError";
            EXPECT_EQ(twoButtons, asks);
            if (!getenv("YONDA_KEEP_PICTURES")) {
                std::filesystem::remove(png);
            }
        }
        ToolkitSetMessageSkin(nullptr);
    }
    YondaSetActiveCodePage(949);
    ToolkitSetSkinFolder(CString());
}
