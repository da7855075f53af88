#include "ProgramResources.h"

#include "resource.h"

#include <yonda_platform.h>
#include <yonda_sound.h>
#include <yonda_user.h>

#include <cstddef>
#include <iterator>
#include <string>

namespace {

// The sound generator's files, embedded at build time.
const unsigned char kHover[] = {
#include "149.inc"
};
const unsigned char kConfirm[] = {
#include "150.inc"
};
const unsigned char kWindowOpen[] = {
#include "151.inc"
};
const unsigned char kNotice[] = {
#include "152.inc"
};
const unsigned char kPress[] = {
#include "153.inc"
};
const unsigned char kIcon[] = {
#include "128.inc"
};

struct Resource {
    WORD id;
    const unsigned char* bytes;
    size_t size;
};

const Resource kWaves[] = {
    {IDR_WAVE_HOVER, kHover, sizeof kHover},
    {IDR_WAVE_CONFIRM, kConfirm, sizeof kConfirm},
    {IDR_WAVE_WINDOW_OPEN, kWindowOpen, sizeof kWindowOpen},
    {IDR_WAVE_NOTICE, kNotice, sizeof kNotice},
    {IDR_WAVE_PRESS, kPress, sizeof kPress},
};

// The program speaks Korean before any skin is read; its texts are kept here in UTF-8 and
// registered in code page 949, as a Korean resource compiler would have stored them.
struct Text {
    UINT id;
    const char* utf8;
};

const Text kStrings[] = {
    {IDS_APP_TITLE, "Yonda"},
    {IDS_FILE_NOT_FOUND, "다음 파일을 찾을 수 없습니다.\n%s\n\n프로그램을 다시 설치하세요"},
    {IDS_STRING_NOT_FOUND, "해당 문자열을 찾을 수 없습니다."},
    {IDS_MANAGER_INIT_FAILED, "Manager를 초기화하는데 실패 했습니다."},
    {IDS_ALREADY_RUNNING, "욘다가 이미 실행중입니다."},
    {IDS_NO_USER_MENU, "이 사용자에게 쓸 수 있는 메뉴가 없습니다."},
};

constexpr UINT kProgramCodePage = 949;

std::string Korean(const char* utf8)
{
    return YondaUtf8ToCodePage(utf8, kProgramCodePage);
}

constexpr DWORD kEditStyle = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;

// The about box: a plain captioned dialog whose only button ends it.
void RegisterAboutBox()
{
    const std::string caption = Korean("Yonda 정보");
    const std::string version = Korean("버전 0.1 알파");
    const std::string ok = Korean("확인");
    const YondaDialogItem items[] = {
        {"STATIC", "Yonda Alpha", 0xFFFF, WS_VISIBLE | SS_LEFT, 0, 20, 20, 220, 16},
        {"STATIC", version.c_str(), 0xFFFF, WS_VISIBLE | SS_LEFT, 0, 20, 40, 220, 16},
        {"BUTTON", ok.c_str(), IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 170, 70, 70, 24},
    };
    const YondaDialogTemplate about{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                                    0,
                                    0,
                                    0,
                                    260,
                                    130,
                                    caption.c_str(),
                                    items,
                                    static_cast<int>(std::size(items))};
    YondaAddDialogTemplate(MAKEINTRESOURCE(IDD_ABOUTBOX), &about);
}

// The skinned dialogs draw their own frame and take their skin background's size; their
// templates only bring the edits the dialogs exchange data with, placed as the default skins
// place them (the dialogs move them to their skin's rectangles anyway).
void RegisterSkinnedDialogs()
{
    const YondaDialogItem login[] = {
        {"EDIT", "", IDC_LOGIN_ID, kEditStyle, 0, 130, 88, 200, 20},
        {"EDIT", "", IDC_LOGIN_PASSWORD, kEditStyle | ES_PASSWORD, 0, 130, 118, 200, 20},
    };
    const YondaDialogTemplate loginDialog{WS_POPUP, 0, 0, 0, 380, 250, "", login, static_cast<int>(std::size(login))};
    YondaAddDialogTemplate(MAKEINTRESOURCE(IDD_LOGIN), &loginDialog);

    const YondaDialogItem avatar[] = {
        {"EDIT", "", IDC_AVATAR_NICKNAME, kEditStyle, 0, 60, 56, 140, 20},
    };
    const YondaDialogTemplate avatarDialog{
        WS_POPUP, 0, 0, 0, 520, 420, "", avatar, static_cast<int>(std::size(avatar))};
    YondaAddDialogTemplate(MAKEINTRESOURCE(IDD_AVATAR_CREATE), &avatarDialog);

    const YondaDialogTemplate roomDialog{WS_POPUP, 0, 0, 0, 320, 300, "", nullptr, 0};
    YondaAddDialogTemplate(MAKEINTRESOURCE(IDD_ROOM_DIALOG), &roomDialog);
}

} // namespace

void RegisterProgramResources(HMODULE module)
{
    for (const Text& text : kStrings) {
        YondaAddStringResource(text.id, Korean(text.utf8).c_str());
    }
    YondaAddResource(RT_GROUP_ICON, MAKEINTRESOURCE(IDR_MAINFRAME), kIcon, static_cast<DWORD>(sizeof kIcon));
    RegisterAboutBox();
    RegisterSkinnedDialogs();
    for (const Resource& wave : kWaves) {
        const DWORD size = static_cast<DWORD>(wave.size);
        // PlaySound finds effect sounds in the sound system's table; the wave reader of the music
        // goes through FindResource like any resource.
        YondaAddResource("WAVE", MAKEINTRESOURCE(wave.id), wave.bytes, size);
        YondaRegisterWaveResource(module, MAKEINTRESOURCE(wave.id), wave.bytes, size);
    }
}
