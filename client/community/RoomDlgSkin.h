#pragma once
// The layout the room dialogs and the text input share: on top of the dialog's common buttons,
// the places of the name, subject, count and password edits.
#include <DialogSkin.h>

class CRoomDlgSkin : public CDialogSkin {
public:
    enum { ROOM_NAME_EDIT, ROOM_SUBJECT_EDIT, COUNT_EDIT, PASS_EDIT, EDIT_COUNT };
    static const char* const kEditSections[EDIT_COUNT];

    CRoomDlgSkin() = default;
    ~CRoomDlgSkin() override = default;

    int LoadElements() override;

    CSkinElement m_elEdits[EDIT_COUNT];
};
