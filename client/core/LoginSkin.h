#pragma once
// The login dialog's layout: the dialog skin's common buttons and message layouts, and the two
// edits and three buttons of the login window.
#include <DialogSkin.h>

class CLoginSkin : public CDialogSkin {
public:
    enum { ID_EDIT, PASS_EDIT, REMEMBER_ME_BTN, FORGOT_PASS, JOIN, ELEMENT_COUNT };
    static const char* const kSections[ELEMENT_COUNT];

    CLoginSkin() = default;
    ~CLoginSkin() override { CLoginSkin::FreeSkin(); }

    void FreeSkin() override;
    int LoadElements() override;

    CSkinElement m_elLogin[ELEMENT_COUNT];
};
