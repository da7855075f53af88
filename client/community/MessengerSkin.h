#pragma once
// The messenger's own skin ini: its six buttons, the entry's and the log's places and the
// rectangle its title is written in.
#include <WndSkin.h>

class CMessengerSkin : public CWndSkin {
public:
    // The buttons after the close button, in the order the window makes them.
    enum { SEND, USER_INFO, GOTO_FRIEND, ADD_FRIEND, CLOSE2, BUTTON_COUNT };
    static const char* const kButtonSections[BUTTON_COUNT];

    ~CMessengerSkin() override { CMessengerSkin::FreeSkin(); }

    void FreeSkin() override;
    // Every button picture must load; the entry, the log and the title rectangle are read as
    // they stand.
    int LoadElements() override;

    CSkinElement m_elButtons[BUTTON_COUNT];
    CSkinElement m_elMessageEdit;
    CSkinElement m_elMessageLog;
    RECT m_rcUserID{0, 0, 0, 0};
};
