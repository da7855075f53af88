#pragma once
// The rooms of a lobby or of a search: a lock picture (closed or open), the subject, the members
// against the limit, the host and the name; its Go button joins a room that is not full.
#include "ListPanel.h"

class CRoomListPanel : public CListPanel {
public:
    CRoomListPanel() : CListPanel(0, [](void* row) { delete static_cast<ROOM_ROW*>(row); }) {}

    // The room number of the first or last row, -1 without rows.
    int GetFirstRoomNumber() const;
    int GetLastRoomNumber() const;
    const ROOM_ROW* Room(int index) const { return static_cast<const ROOM_ROW*>(GetRow(index)); }

protected:
    const char* ColumnPictureKey() const override { return "LockImage"; }
    int ColumnPictureColumns() const override { return 2; }
    void DrawRow(CDC* dc, int slot, const void* row) override;
    BOOL IsGoEnabled(const void* row) const override;
    void OnGo(const void* row) override;
};
