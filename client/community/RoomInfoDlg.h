#pragma once
// Shows the current room's settings: name, subject, members present of the limit, and stars for
// a room with a password. Nothing in it can be changed.
#include "RoomDialog.h"

class CRoomInfoDlg : public CRoomDialog {
public:
    CRoomInfoDlg(CSkinElement* element, CWnd* parent);

    BOOL OnInitDialog() override;

    CEdit m_editName;
    CEdit m_editSubject;
    CEdit m_editCount;
    CEdit m_editPassword;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
};
