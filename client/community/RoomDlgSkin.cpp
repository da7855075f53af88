#include "RoomDlgSkin.h"

const char* const CRoomDlgSkin::kEditSections[EDIT_COUNT] = {"RoomNameEdit", "RoomSubjectEdit", "CountEdit",
                                                             "PassEdit"};

void CRoomDlgSkin::FreeSkin()
{
    CDialogSkin::FreeSkin();
    for (CSkinElement& element : m_elEdits) {
        FreeElementBitmap(&element);
    }
}

int CRoomDlgSkin::LoadElements()
{
    int result = CDialogSkin::LoadElements();
    for (int i = 0; i < EDIT_COUNT; ++i) {
        result &= LoadElement(kEditSections[i], &m_elEdits[i]);
    }
    return result;
}
