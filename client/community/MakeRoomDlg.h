#pragma once
// Makes a room: its name, subject, password (empty for an open room) and member limit. OK opens
// the room through the session (command 105) and the member stands in it as its host.
#include "RoomDialog.h"

#include <YondaCommRecords.h>

class CMakeRoomDlg : public CRoomDialog {
public:
    CMakeRoomDlg(CSkinElement* element, CWnd* parent);

    void OnSkinOk() override;
    // The room's name once it was made.
    CString GetRoomName() const { return m_strRoomName; }

    // The record of command 105: the lobby the member chose (location 11) or stands in.
    static void FillRecord(YONDA_BODY_Q_ROOM_OPEN* record, LPCSTR name, LPCSTR subject, int limit, LPCSTR password);

    CEdit m_editName;
    CEdit m_editSubject;
    CEdit m_editPassword;
    CSkinStatic m_listCount;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    // Runs command 105; on success keeps the name and the password and ends the dialog, else
    // shows "ErrorMakeRoom" and the dialog stays.
    void OpenRoom(const CString& name, const CString& subject, int limit, const CString& password);

    CString m_strRoomName;
};
