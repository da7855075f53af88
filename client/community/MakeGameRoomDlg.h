#pragma once
// Makes a room for the party game: a name, a password, and from two lists the game's subject
// (the board's size) and its member limit, which the 3D view keeps for the game before the room
// opens.
#include "MakeRoomDlg.h"

class CMakeGameRoomDlg : public CMakeRoomDlg {
public:
    CMakeGameRoomDlg(CSkinElement* element, CWnd* parent);

    void OnSkinOk() override;

    CSkinStatic m_listSubject;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
};
