#pragma once
// The members of the current room: gender picture (the room master's own column), ID, a number
// and nickname. No Go buttons: everyone listed is here already.
#include "ListPanel.h"

class CUserListPanel : public CListPanel {
public:
    CUserListPanel() : CListPanel(100, [](void* row) { delete static_cast<FRIEND_ROW*>(row); }) {}

    // Rebuilds the rows from the room's member list; nothing without a connection.
    void Refresh(int lobby, int room);
    // A member who entered the room.
    void AddUser(long user);
    // A member who left; the session forgets its record of the member too.
    void RemoveUser(long user);
    void SetRoomMaster(long user);
    const FRIEND_ROW* User(int index) const { return static_cast<const FRIEND_ROW*>(GetRow(index)); }

protected:
    BOOL HasGoButtons() const override { return FALSE; }
    void DrawRow(CDC* dc, int slot, const void* row) override;
    BOOL IsGoEnabled(const void*) const override { return FALSE; }
    void OnGo(const void*) override {}
};
