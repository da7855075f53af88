// Skin layouts read from real skin folders: elements, their pictures and sub-ini files, the
// dialog and main layouts, and what a broken skin reports.
#include "DialogSkin.h"
#include "MainSkin.h"
#include "TempSkin.h"
#include "ToolkitShared.h"

#include <yonda_capture.h>

#include <gtest/gtest.h>

namespace {

// A skin folder of the test's own, "Test" under its base.
class SkinFolderTest : public testing::Test {
protected:
    void TearDown() override { ToolkitSetTableStrings(nullptr); }
    void Write(const char* name, const std::string& text) const { m_skin.Write(name, text); }
    void Picture(const char* name, int width, int height) const { m_skin.Solid(name, width, height, 0xF28C28u); }
    CString Base() const { return m_skin.Base(); }
    CString FolderText() const { return m_skin.Folder(); }

    yonda::uitest::TempSkin m_skin{"skinbase"};
};

int Width(const CBitmap& bitmap)
{
    BITMAP info{};
    return bitmap.GetSafeHandle() && bitmap.GetBitmap(&info) ? info.bmWidth : 0;
}

} // namespace

TEST_F(SkinFolderTest, ElementsTakeTheirKeysAndKeepOldValuesForMissingOnes)
{
    Picture("back.bmp", 40, 30);
    Write("default.ini", "[MainWindow]\r\nID = 1000\r\nTitle = 12 Yonda\r\nImage = back.bmp\r\n"
                         "Rect = RECT(1,2,41,32)\r\nIniFile = Main.ini\r\n"
                         "[ChatWindow]\r\nID = 7\r\nIniFile = \r\n"
                         "[D3DViewWindow]\r\nIniFile = View.ini\r\nD3DViewerBackRect = RECT(5,6,7,8)\r\n"
                         "D3DViewerBackImage = border.bmp\r\n");
    CMainSkin skin;
    ASSERT_EQ(skin.LoadSkin(Base(), "Test"), 1) << "a skin without Common still loads";
    EXPECT_EQ(skin.m_strSkinFolder, FolderText());
    EXPECT_EQ(skin.m_strSkinName, "Test");
    CSkinElement& main = skin.Element(CMainSkin::MAIN_WINDOW);
    EXPECT_EQ(main.nID, 1000);
    EXPECT_EQ(main.strTitle, "12 Yonda");
    EXPECT_EQ(main.nTitle, 12);
    EXPECT_EQ(main.strImage, FolderText() + "\\back.bmp");
    EXPECT_EQ(Width(main.bmpImage), 40);
    EXPECT_EQ(main.rcRect.right, 41);
    EXPECT_EQ(main.strIniFile, FolderText() + "\\Main.ini");

    CSkinElement& chat = skin.Element(CMainSkin::CHAT_WINDOW);
    EXPECT_EQ(chat.nID, 7);
    EXPECT_EQ(chat.strImage, FolderText() + "\\") << "no picture: the folder alone";
    EXPECT_FALSE(chat.bmpImage.GetSafeHandle());
    EXPECT_TRUE(chat.strIniFile.IsEmpty()) << "an empty IniFile is no file, not the folder";
    EXPECT_EQ(skin.Element("D3DViewWindow")->strIniFile, FolderText() + "\\View.ini");
    EXPECT_EQ(skin.m_rcD3DViewerBack.bottom, 8);
    EXPECT_EQ(skin.m_strD3DViewerBackImage, "border.bmp");
    EXPECT_EQ(skin.Element("NoSuchWindow"), nullptr);

    // A second load without the keys keeps what the first one read.
    Write("default.ini",
          "[MainWindow]\r\nImage = back.bmp\r\n[Common]\r\nMsgDlgIni = MsgDlg.ini\r\nThemeCount = 3\r\n");
    ASSERT_EQ(skin.LoadSkin(Base(), "Test"), 1);
    EXPECT_EQ(main.nID, 1000);
    EXPECT_EQ(main.strIniFile, FolderText() + "\\Main.ini");
    EXPECT_EQ(skin.m_strMsgDlgIni, "MsgDlg.ini");
    EXPECT_EQ(skin.m_nThemeCount, 3);
    skin.FreeSkin();
    EXPECT_FALSE(main.bmpImage.GetSafeHandle());
}

TEST_F(SkinFolderTest, AMissingPictureFailsTheLayoutButNotTheOtherElements)
{
    Picture("ok.bmp", 8, 8);
    Write("default.ini", "[MainWindow]\r\nImage = gone.bmp\r\nIniFile = Main.ini\r\n"
                         "[ChatWindow]\r\nImage = ok.bmp\r\nIniFile = Chat.ini\r\n");
    CMainSkin skin;
    EXPECT_EQ(skin.LoadSkin(Base(), "Test"), 0);
    EXPECT_TRUE(skin.Element(CMainSkin::MAIN_WINDOW).strIniFile.IsEmpty()) << "IniFile is not read after a failure";
    EXPECT_TRUE(skin.Element(CMainSkin::CHAT_WINDOW).bmpImage.GetSafeHandle());
    EXPECT_EQ(skin.Element(CMainSkin::CHAT_WINDOW).strIniFile, FolderText() + "\\Chat.ini");
}

TEST_F(SkinFolderTest, AMissingIniFileIsToldWithItsPath)
{
    YondaMessageBoxCapture boxes;
    CWndSkin skin;
    skin.SetSkinPath(FolderText());
    const CString path = FolderText() + "\\Nowhere.ini";
    EXPECT_EQ(skin.LoadIni(path), 0);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    const std::string text = boxes.Texts()[0];
    EXPECT_NE(text.find(path.Str()), std::string::npos) << text;
    EXPECT_EQ(text.find("%s"), std::string::npos);
}

TEST_F(SkinFolderTest, DialogSkinReadsButtonsLayoutsAndTheBackground)
{
    Picture("back.bmp", 300, 200);
    Picture("ok.bmp", 80, 20);
    Write("Dlg.ini", "[COMMON]\r\nDEFAULT_BASE_BITMAP = back.bmp\r\n"
                     "[CloseBtn]\r\nID = 192\r\nImage = ok.bmp\r\n"
                     "[OKBTN]\r\nID = 191\r\nImage = ok.bmp\r\nRect = RECT(10,150,90,170)\r\n"
                     "[NOBTN2]\r\nID = 190\r\n"
                     "[ErrorMakeRoom]\r\nID = 5\r\n");
    CDialogSkin skin;
    skin.SetSkinPath(FolderText());
    ASSERT_EQ(skin.LoadIni(FolderText() + "\\Dlg.ini"), 1);
    EXPECT_EQ(Width(skin.m_bmpBase), 300);
    EXPECT_EQ(skin.m_elCloseBtn.nID, 192);
    EXPECT_EQ(skin.Element("OKBTN")->nID, 191);
    EXPECT_EQ(Width(skin.Element("OKBTN")->bmpImage), 80);
    EXPECT_EQ(skin.Element("NOBTN2")->nID, 190);
    EXPECT_EQ(skin.Element("ErrorMakeRoom")->nID, 5);
    EXPECT_EQ(skin.Element("CloseBtn"), &skin.m_elCloseBtn);
    EXPECT_EQ(skin.GetFilePath("COMMON", "DEFAULT_BASE_BITMAP"), FolderText() + "\\back.bmp");
    EXPECT_TRUE(skin.GetFilePath("COMMON", "Missing").IsEmpty());
    skin.FreeSkin();
    EXPECT_FALSE(skin.m_bmpBase.GetSafeHandle());
    EXPECT_FALSE(skin.m_elCloseBtn.bmpImage.GetSafeHandle());
}
