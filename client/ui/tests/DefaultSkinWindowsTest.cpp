// The default skins' windows as the program reads them: the login dialog's five elements where
// the login template puts its edits, and the main layout's lobby entrances and party-game buttons
// with the ids they post and pictures laid out the way they are drawn.
#include "DialogSkin.h"
#include "ImageFile.h"
#include "IniFile.h"
#include "MainSkin.h"
#include "ProgramResources.h"
#include "ToolkitShared.h"
#include "resource.h"

#include <yonda_capture.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path BinaryDir()
{
    const char* binary = std::getenv("YONDA_BINARY_DIR");
    return binary ? fs::path(binary) : fs::current_path();
}

// The login dialog's layout as the dialog reads it: the common dialog parts and its five own.
class LoginLayout : public CDialogSkin {
public:
    static constexpr const char* kSections[5] = {"IDEdit", "PassEdit", "RememberMeBtn", "ForgotPass", "Join"};

    ~LoginLayout() override { LoginLayout::FreeSkin(); }
    void FreeSkin() override
    {
        CDialogSkin::FreeSkin();
        for (CSkinElement& element : m_elOwn) {
            FreeElementBitmap(&element);
        }
    }
    int LoadElements() override
    {
        int result = CDialogSkin::LoadElements();
        for (int i = 0; i < 5; ++i) {
            result = LoadElement(kSections[i], &m_elOwn[i]) && result;
        }
        return result;
    }

    CSkinElement m_elOwn[5];
};

struct Rgb {
    std::vector<unsigned char> bytes;
    int width = 0;
    int height = 0;
    unsigned Pixel(int x, int y) const
    {
        const size_t at = (static_cast<size_t>(y) * width + x) * 3;
        return bytes[at] << 16 | bytes[at + 1] << 8 | bytes[at + 2];
    }
};

Rgb LoadPicture(const CString& path)
{
    Rgb picture;
    CImageFile reader;
    unsigned char* rgb = reader.LoadBmp(path, &picture.width, &picture.height);
    if (rgb) {
        picture.bytes.assign(rgb, rgb + static_cast<size_t>(picture.width) * picture.height * 3);
        delete[] rgb;
    }
    return picture;
}

SIZE BitmapSize(const CSkinElement& element)
{
    BITMAP info{};
    if (element.bmpImage.GetSafeHandle()) {
        const_cast<CBitmap&>(element.bmpImage).GetBitmap(&info);
    }
    return SIZE{info.bmWidth, info.bmHeight};
}

int Width(const RECT& r)
{
    return r.right - r.left;
}

int Height(const RECT& r)
{
    return r.bottom - r.top;
}

bool Overlap(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

INT_PTR CALLBACK PassiveProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

RECT ChildRect(HWND dialog, int id)
{
    RECT r{};
    HWND child = GetDlgItem(dialog, id);
    if (child) {
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

class DefaultSkinWindows : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(m_main.LoadSkin(CString(BinaryDir().string().c_str() + std::string("/yonda")), GetParam()), 1);
        ToolkitSetSkinFolder(m_main.m_strSkinFolder);
    }
    void TearDown() override
    {
        ToolkitSetSkinFolder(CString());
        EXPECT_TRUE(m_boxes.Texts().empty()) << m_boxes.Texts().front();
    }

    YondaMessageBoxCapture m_boxes; // a missing file would be told here
    CMainSkin m_main;
};

} // namespace

TEST_P(DefaultSkinWindows, TheLoginLayoutHasItsFiveElementsWhereTheTemplatePutsItsEdits)
{
    CSkinElement* element = m_main.Element("DLG_LOGIN");
    ASSERT_TRUE(element);
    LoginLayout login;
    login.SetSkinPath(m_main.m_strSkinFolder);
    ASSERT_EQ(login.LoadIni(element->strIniFile), 1) << element->strIniFile.Str();
    const SIZE back = BitmapSize(*element);
    const RECT window{0, 0, back.cx, back.cy};
    BITMAP base{};
    ASSERT_TRUE(login.m_bmpBase.GetBitmap(&base));
    EXPECT_EQ(base.bmWidth, back.cx);
    EXPECT_EQ(base.bmHeight, back.cy);

    const int ids[5] = {IDC_LOGIN_ID, IDC_LOGIN_PASSWORD, IDC_LOGIN_REMEMBER_ME, IDC_LOGIN_FORGOT_PASSWORD,
                        IDC_LOGIN_JOIN};
    std::vector<RECT> placed = {login.m_elCloseBtn.rcRect, login.Element("OKBTN")->rcRect,
                                login.Element("CANCELBTN")->rcRect};
    for (int i = 0; i < 5; ++i) {
        const CSkinElement& own = login.m_elOwn[i];
        SCOPED_TRACE(LoginLayout::kSections[i]);
        EXPECT_EQ(own.nID, ids[i]);
        EXPECT_GT(Width(own.rcRect), 0);
        EXPECT_GE(Height(own.rcRect), 16);
        // Inside the window and below its title band, clear of every other element.
        EXPECT_GE(own.rcRect.left, 0);
        EXPECT_GE(own.rcRect.top, 28);
        EXPECT_LE(own.rcRect.right, window.right);
        EXPECT_LE(own.rcRect.bottom, window.bottom);
        for (const RECT& other : placed) {
            EXPECT_FALSE(Overlap(own.rcRect, other));
        }
        placed.push_back(own.rcRect);
        const SIZE picture = BitmapSize(own);
        if (i < 2) {
            EXPECT_FALSE(own.bmpImage.GetSafeHandle()) << "an edit draws itself";
        } else {
            // Four states side by side, each the button's size.
            EXPECT_EQ(picture.cx, 4 * Width(own.rcRect));
            EXPECT_EQ(picture.cy, Height(own.rcRect));
            EXPECT_FALSE(own.strTitle.IsEmpty());
        }
    }

    // The background shows a white well under each edit and its label to the left of it.
    const Rgb picture = LoadPicture(element->strImage);
    ASSERT_EQ(picture.width, back.cx);
    for (int i = 0; i < 2; ++i) {
        const RECT& edit = login.m_elOwn[i].rcRect;
        int white = 0;
        for (int y = edit.top; y < edit.bottom; ++y) {
            for (int x = edit.left; x < edit.right; ++x) {
                white += picture.Pixel(x, y) == 0xFFFFFF;
            }
        }
        EXPECT_GT(white, Width(edit) * Height(edit) * 9 / 10) << LoginLayout::kSections[i];
        int ink = 0;
        for (int y = edit.top; y < edit.bottom; ++y) {
            for (int x = 10; x < edit.left - 4; ++x) {
                const unsigned p = picture.Pixel(x, y);
                ink += ((p >> 16) & 0xFF) < 0xA0 && (p & 0xFF) < 0xA0;
            }
        }
        EXPECT_GT(ink, 10) << LoginLayout::kSections[i] << " has no label";
    }

    // The program's login template: its edits sit in the wells, and it is the background's size.
    RegisterProgramResources();
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCE(IDD_LOGIN), nullptr, &PassiveProc, 0);
    ASSERT_TRUE(dialog);
    RECT size{};
    GetWindowRect(dialog, &size);
    EXPECT_EQ(Width(size), back.cx);
    EXPECT_EQ(Height(size), back.cy);
    for (int i = 0; i < 2; ++i) {
        const RECT child = ChildRect(dialog, ids[i]);
        const RECT& skin = login.m_elOwn[i].rcRect;
        EXPECT_EQ(child.left, skin.left);
        EXPECT_EQ(child.top, skin.top);
        EXPECT_EQ(child.right, skin.right);
        EXPECT_EQ(child.bottom, skin.bottom);
    }
    DestroyWindow(dialog);
}

TEST_P(DefaultSkinWindows, LobbyEntrancesShowOneColumnEachAndPostTheirLobby)
{
    CIniFile settings;
    settings.Load((BinaryDir() / "data" / "Yonda.ini").string().c_str());
    int lobbies = 0;
    ASSERT_TRUE(settings.GetInt("Server", "LobbyCount", &lobbies));
    ASSERT_EQ(lobbies, 5) << "the layout has five entrances";

    std::vector<Rgb> columns;
    for (int i = 0; i < lobbies; ++i) {
        const std::string section = "EntranceButton" + std::to_string(i + 1);
        SCOPED_TRACE(section);
        const CSkinElement* entrance = m_main.Element(section.c_str());
        ASSERT_TRUE(entrance);
        EXPECT_EQ(entrance->nID, 240 + i);
        // The entrance draws its picture from x = lobby * width / LobbyCount and its own
        // rectangle shows one column: the columns are the button's width.
        const SIZE picture = BitmapSize(*entrance);
        EXPECT_EQ(picture.cx / lobbies, Width(entrance->rcRect));
        EXPECT_EQ(picture.cx % lobbies, 0);
        EXPECT_EQ(picture.cy, Height(entrance->rcRect));
        const Rgb whole = LoadPicture(entrance->strImage);
        ASSERT_EQ(whole.width, picture.cx);
        Rgb column;
        column.width = Width(entrance->rcRect);
        column.height = whole.height;
        for (int y = 0; y < whole.height; ++y) {
            for (int x = 0; x < column.width; ++x) {
                const unsigned p = whole.Pixel(i * column.width + x, y);
                column.bytes.insert(column.bytes.end(),
                                    {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                     static_cast<unsigned char>(p)});
            }
        }
        columns.push_back(std::move(column));
    }
    // Each lobby's column is its own (its name on it).
    for (size_t a = 0; a < columns.size(); ++a) {
        for (size_t b = a + 1; b < columns.size(); ++b) {
            EXPECT_NE(columns[a].bytes, columns[b].bytes) << a << " " << b;
        }
    }
    const CSkinElement* board = m_main.Element("EntranceBoard");
    ASSERT_TRUE(board);
    EXPECT_TRUE(board->nID < 240 || board->nID > 245) << "the board is drawn whole";
}

TEST_P(DefaultSkinWindows, PartyGameButtonsPostTheGameActionsByTheirIds)
{
    const std::pair<const char*, int> buttons[] = {{"PathFollow_StartButton", 231},
                                                   {"PathFollow_HintButton", 232},
                                                   {"PathFollow_RetireButton", 233},
                                                   {"PathFollow_ReadyButton", 234}};
    for (const auto& [section, id] : buttons) {
        SCOPED_TRACE(section);
        const CSkinElement* button = m_main.Element(section);
        ASSERT_TRUE(button);
        EXPECT_EQ(button->nID, id);
        // Four columns by the game's state; the first (off) is the greyed one.
        const SIZE picture = BitmapSize(*button);
        EXPECT_EQ(picture.cx, 4 * Width(button->rcRect));
        EXPECT_EQ(picture.cy, Height(button->rcRect));
        const Rgb strip = LoadPicture(button->strImage);
        ASSERT_EQ(strip.width, picture.cx);
        const int w = Width(button->rcRect);
        const unsigned off = strip.Pixel(4, 4);
        const unsigned on = strip.Pixel(w + 4, 4);
        auto saturation = [](unsigned p) {
            const int r = p >> 16, g = (p >> 8) & 0xFF, b = p & 0xFF;
            return std::max({r, g, b}) - std::min({r, g, b});
        };
        EXPECT_LT(saturation(off), saturation(on));
    }
    // No other element of the main layout takes an id the frame or the entrances react to.
    for (int i = 0; i < CMainSkin::ELEMENT_COUNT; ++i) {
        const std::string section = CMainSkin::kSections[i];
        const int id = m_main.Element(i).nID;
        if (section.rfind("PathFollow_", 0) != 0) {
            EXPECT_FALSE(id >= 231 && id <= 234) << section;
        }
        if (section.rfind("EntranceButton", 0) != 0) {
            EXPECT_FALSE(id >= 240 && id <= 245) << section;
        }
    }
}

TEST_P(DefaultSkinWindows, EveryElementLiesInsideItsWindow)
{
    auto inside = [](const RECT& r, int width, int height) {
        return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && r.right <= width &&
               r.bottom <= height;
    };
    // The main layout's windows lie in the main window (popups are placed from its corner).
    const SIZE main = BitmapSize(*m_main.Element("MainWindow"));
    ASSERT_GT(main.cx, 0);
    EXPECT_TRUE(inside(m_main.m_rcD3DViewerBack, main.cx, main.cy));
    int windows = 0;
    for (int i = 0; i < CMainSkin::ELEMENT_COUNT; ++i) {
        const CSkinElement& element = m_main.Element(i);
        const std::string section = CMainSkin::kSections[i];
        SCOPED_TRACE(section);
        EXPECT_TRUE(inside(element.rcRect, main.cx, main.cy));
        if (element.strIniFile.IsEmpty() || section == "D3DViewWindow") {
            continue;
        }
        // Each window's own elements lie in its background.
        const SIZE back = BitmapSize(element);
        CIniFile own;
        own.Load(element.strIniFile);
        std::string current;
        int rects = 0;
        for (INT_PTR line = 0; line < own.Lines().GetSize(); ++line) {
            const std::string& text = own.Lines().GetData()[line].Str();
            if (own.IsSectionLine(static_cast<int>(line))) {
                current = text.substr(1, text.size() - 2);
                continue;
            }
            if (text.rfind("Rect = ", 0) != 0 && text.rfind("RECT = ", 0) != 0) {
                continue;
            }
            RECT r{};
            ASSERT_TRUE(own.GetRect(current.c_str(), text.substr(0, 4).c_str(), &r));
            EXPECT_TRUE(inside(r, back.cx, back.cy)) << current << ": " << text;
            ++rects;
        }
        EXPECT_GT(rects, 0);
        ++windows;
    }
    EXPECT_GE(windows, 19);
}

INSTANTIATE_TEST_SUITE_P(BothSkins, DefaultSkinWindows, testing::Values("Orange", "Orange_Do"));
