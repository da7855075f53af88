// System metrics, the work area and the system colours.
#include "Display.h"

#include <windows.h>

#include <cstring>

namespace {

SIZE Screen()
{
    if (auto* d = yonda::user::CurrentDisplay())
        return d->ScreenSize();
    return SIZE{1024, 768};
}

// The classic scheme's colours as 0x00BBGGRR.
const COLORREF kSysColors[] = {
    0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000,
    0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xFF9933, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D,
    0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000, 0xE1FFFF,
};

} // namespace

int GetSystemMetrics(int index)
{
    SIZE screen = Screen();
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
    case SM_CXVIRTUALSCREEN: return screen.cx;
    case SM_CYSCREEN:
    case SM_CYFULLSCREEN:
    case SM_CYVIRTUALSCREEN: return screen.cy;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return 17;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CYMENU: return 19;
    case SM_MOUSEPRESENT: return 1;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_CXDRAG:
    case SM_CYDRAG: return 4;
    case SM_CMONITORS: return 1;
    default: return 0;
    }
}

BOOL SystemParametersInfoA(UINT action, UINT, PVOID param, UINT)
{
    if (action == SPI_GETWORKAREA) {
        if (!param)
            return FALSE;
        SIZE screen = Screen();
        RECT work{0, 0, screen.cx, screen.cy};
        if (auto* d = yonda::user::CurrentDisplay())
            work = d->WorkArea();
        std::memcpy(param, &work, sizeof work);
        return TRUE;
    }
    return FALSE;
}

DWORD GetSysColor(int index)
{
    if (index < 0 || index >= static_cast<int>(sizeof kSysColors / sizeof kSysColors[0]))
        return 0;
    return kSysColors[index];
}
