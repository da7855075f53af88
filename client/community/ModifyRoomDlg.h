#pragma once
// Changes the current room's settings: it shows the room as the service knows it and sends
// only what the host changed (name, subject, member limit, password), never a limit below the
// members present.
#include "RoomDialog.h"

class CModifyRoomDlg : public CRoomDialog {
public:
    CModifyRoomDlg(CSkinElement* element, CWnd* parent);

    BOOL OnInitDialog() override;
    void OnSkinOk() override;

    CEdit m_editName;
    CEdit m_editSubject;
    CEdit m_editPassword;
    CSkinStatic m_listCount;

    // The room as it was when the dialog opened.
    int m_nUsers = 0;
    int m_nMaxUsers = 0;
    BOOL m_bClosed = FALSE;
    CString m_strName;
    CString m_strSubject;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
};
