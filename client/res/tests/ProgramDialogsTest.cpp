// The texts and dialog templates compiled into the program: each text loads as its Korean bytes,
// and each dialog is made from its template with the controls the program exchanges data with.
#include "ProgramResources.h"
#include "TempFolder.h"
#include "resource.h"

#include <windows.h>
#include <yonda_platform.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Korean(const char* utf8)
{
    return YondaUtf8ToCodePage(utf8, 949);
}

std::string LoadText(UINT id)
{
    char buffer[512];
    const int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return std::string(buffer, static_cast<size_t>(length > 0 ? length : 0));
}

std::string WindowText(HWND hwnd)
{
    char buffer[256];
    const int length = GetWindowTextA(hwnd, buffer, sizeof buffer);
    return std::string(buffer, static_cast<size_t>(length > 0 ? length : 0));
}

std::string ClassOf(HWND hwnd)
{
    char buffer[64];
    const int length = GetClassNameA(hwnd, buffer, sizeof buffer);
    return std::string(buffer, static_cast<size_t>(length > 0 ? length : 0));
}

INT_PTR CALLBACK PassiveProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// A modeless dialog from a registered template, destroyed with the object.
class TemplateDialog {
public:
    explicit TemplateDialog(UINT id)
        : m_hwnd(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCE(id), nullptr, &PassiveProc, 0))
    {}
    ~TemplateDialog()
    {
        if (m_hwnd) {
            DestroyWindow(m_hwnd);
        }
    }
    HWND Get() const { return m_hwnd; }
    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }

private:
    HWND m_hwnd;
};

class ProgramDialogsTest : public testing::Test {
protected:
    static void SetUpTestSuite() { RegisterProgramResources(); }
};

} // namespace

TEST_F(ProgramDialogsTest, EveryTextLoadsInTheProgramsCodePage)
{
    EXPECT_EQ(LoadText(IDS_APP_TITLE), "Yonda");
    EXPECT_EQ(LoadText(IDS_FILE_NOT_FOUND), Korean("다음 파일을 찾을 수 없습니다.\n%s\n\n프로그램을 다시 설치하세요"));
    EXPECT_EQ(LoadText(IDS_STRING_NOT_FOUND), Korean("해당 문자열을 찾을 수 없습니다."));
    EXPECT_EQ(LoadText(IDS_MANAGER_INIT_FAILED), Korean("Manager를 초기화하는데 실패 했습니다."));
    EXPECT_EQ(LoadText(IDS_ALREADY_RUNNING), Korean("욘다가 이미 실행중입니다."));
    const std::string noMenu = LoadText(IDS_NO_USER_MENU);
    EXPECT_FALSE(noMenu.empty());
    EXPECT_EQ(Korean(YondaCodePageToUtf8(noMenu, 949).c_str()), noMenu) << "round trip through UTF-8";

    // Only the missing-file text is formatted, with the path alone.
    for (UINT id :
         {IDS_APP_TITLE, IDS_STRING_NOT_FOUND, IDS_MANAGER_INIT_FAILED, IDS_ALREADY_RUNNING, IDS_NO_USER_MENU}) {
        EXPECT_EQ(LoadText(id).find('%'), std::string::npos) << id;
    }
    const std::string format = LoadText(IDS_FILE_NOT_FOUND);
    ASSERT_EQ(format.find('%'), format.rfind('%'));
    char message[512];
    std::snprintf(message, sizeof message, format.c_str(), "C:\\Yonda\\Yonda.ini");
    EXPECT_NE(std::string(message).find("\nC:\\Yonda\\Yonda.ini\n\n"), std::string::npos);
}

TEST_F(ProgramDialogsTest, TheIconLoadsAsARealIcon)
{
    // Without the resource the window system answers a stand-in handle that is the number itself.
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCE(IDR_MAINFRAME));
    ASSERT_TRUE(icon);
    EXPECT_NE(reinterpret_cast<uintptr_t>(icon), static_cast<uintptr_t>(IDR_MAINFRAME));
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCE(IDR_MAINFRAME), RT_GROUP_ICON);
    ASSERT_TRUE(found);
    const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, found)));
    ASSERT_GT(SizeofResource(nullptr, found), 6u + 16u + 40u + 32u * 32u * 4u);
    EXPECT_EQ(bytes[2], 1) << "an icon file, not a cursor";
    EXPECT_EQ(bytes[6], 32);
    EXPECT_EQ(bytes[7], 32);
    EXPECT_TRUE(DestroyIcon(icon));

    // The painter's output byte for byte, every time.
    const char* binary = std::getenv("YONDA_BINARY_DIR");
    ASSERT_TRUE(binary);
    const yonda::testing::TempFolder temp("yonda-icon");
    const fs::path painted = temp / "128.ico";
    const std::string command = (fs::path(binary) / "bin" / "yonda-skingen").string() + " --icon " + painted.string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream in(painted, std::ios::binary);
    const std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(file, std::vector<unsigned char>(bytes, bytes + SizeofResource(nullptr, found)));
}

TEST_F(ProgramDialogsTest, TheLoginTemplateHoldsTheIdAndAHiddenPassword)
{
    TemplateDialog login(IDD_LOGIN);
    ASSERT_TRUE(login.Get());
    const HWND id = login.Item(IDC_LOGIN_ID);
    const HWND password = login.Item(IDC_LOGIN_PASSWORD);
    ASSERT_TRUE(id);
    ASSERT_TRUE(password);
    EXPECT_STRCASEEQ(ClassOf(id).c_str(), "Edit");
    EXPECT_STRCASEEQ(ClassOf(password).c_str(), "Edit");
    EXPECT_FALSE(GetWindowLongA(id, GWL_STYLE) & ES_PASSWORD);
    EXPECT_TRUE(GetWindowLongA(password, GWL_STYLE) & ES_PASSWORD);
    for (HWND edit : {id, password}) {
        EXPECT_TRUE(GetWindowLongA(edit, GWL_STYLE) & WS_TABSTOP);
        EXPECT_TRUE(IsWindowVisible(edit) || !IsWindowVisible(login.Get()));
    }
    // The dialog exchanges the texts with the edits; the password edit still holds what was typed.
    SetWindowTextA(password, "s3cret");
    EXPECT_EQ(WindowText(password), "s3cret");
    EXPECT_EQ(WindowText(login.Get()), "");
    EXPECT_FALSE(GetWindowLongA(login.Get(), GWL_STYLE) & WS_CAPTION) << "the skin draws the frame";
}

TEST_F(ProgramDialogsTest, TheAboutBoxAndTheAvatarDialogHaveTheirControls)
{
    TemplateDialog about(IDD_ABOUTBOX);
    ASSERT_TRUE(about.Get());
    EXPECT_EQ(WindowText(about.Get()), Korean("Yonda 정보"));
    const HWND ok = about.Item(IDOK);
    ASSERT_TRUE(ok);
    EXPECT_STRCASEEQ(ClassOf(ok).c_str(), "Button");
    EXPECT_EQ(WindowText(ok), Korean("확인"));

    TemplateDialog avatar(IDD_AVATAR_CREATE);
    ASSERT_TRUE(avatar.Get());
    const HWND nickname = avatar.Item(IDC_AVATAR_NICKNAME);
    ASSERT_TRUE(nickname);
    EXPECT_STRCASEEQ(ClassOf(nickname).c_str(), "Edit");
    EXPECT_FALSE(GetWindowLongA(nickname, GWL_STYLE) & ES_PASSWORD);
}
