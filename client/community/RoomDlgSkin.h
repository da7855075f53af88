#pragma once
// The layout the room dialogs and the text input share: their common dialog buttons and the four
// edits a room has (name, subject, member count, password), each with its id and rectangle. A
// dialog creates the edits it needs; a section the skin lacks leaves its edit where the
// dialog's template put it.
#include <DialogSkin.h>

class CRoomDlgSkin : public CDialogSkin {
public:
    enum { ROOM_NAME_EDIT, ROOM_SUBJECT_EDIT, COUNT_EDIT, PASS_EDIT, EDIT_COUNT };
    static const char* const kEditSections[EDIT_COUNT];

    CRoomDlgSkin() = default;
    ~CRoomDlgSkin() override { CRoomDlgSkin::FreeSkin(); }

    void FreeSkin() override;
    int LoadElements() override;

    CSkinElement m_elEdits[EDIT_COUNT];
};
