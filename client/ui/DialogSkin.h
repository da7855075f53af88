#pragma once
// The layout every skinned dialog shares: its common buttons (two sets: the second for dialogs
// with their own background), the message layouts read as elements, and the dialog background.
#include "WndSkin.h"

class CDialogSkin : public CWndSkin {
public:
    // Buttons in reading order; the message layouts after them.
    enum { OKBTN, CANCELBTN, YESBTN, NOBTN, SINGLEBTN, OKBTN2, CANCELBTN2, YESBTN2, NOBTN2, SINGLEBTN2, BUTTON_COUNT };
    enum { EXIT_CONFIRM, LOGIN_FAIL, AVATAR_SAVE, NETWORK_FAIL, AVATAR_SAVE_FAIL, ERROR_MAKE_ROOM, LAYOUT_COUNT };
    static const char* const kButtonSections[BUTTON_COUNT];
    static const char* const kLayoutSections[LAYOUT_COUNT];

    CDialogSkin() = default;
    ~CDialogSkin() override { CDialogSkin::FreeSkin(); }

    void FreeSkin() override;
    int LoadElements() override;

    // The element of a button or layout section ("OKBTN", "CloseBtn", "ExitConfirmDlg"...), or null.
    CSkinElement* Element(LPCSTR section);

    CSkinElement m_elButtons[BUTTON_COUNT];
    CSkinElement m_elLayouts[LAYOUT_COUNT];
    CBitmap m_bmpBase; // COMMON/DEFAULT_BASE_BITMAP
};
