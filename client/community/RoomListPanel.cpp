#include "RoomListPanel.h"

int CRoomListPanel::GetFirstRoomNumber() const
{
    const ROOM_ROW* row = Room(0);
    return row ? row->nRoom : -1;
}

int CRoomListPanel::GetLastRoomNumber() const
{
    const ROOM_ROW* row = Room(GetCount() - 1);
    return row ? row->nRoom : -1;
}

void CRoomListPanel::DrawRow(CDC* dc, int slot, const void* data)
{
    const auto* row = static_cast<const ROOM_ROW*>(data);
    const BOOL closed = row->cState == 'C';
    if (HasColumnPicture()) {
        DrawColumnPicture(dc, 0, slot, closed ? 0 : 1);
    } else {
        DrawColumnText(dc, 0, slot, closed ? "Closed" : "Opened", closed ? RGB(128, 0, 128) : GetTextColor(), FALSE);
    }
    CString members;
    members.Format("%d/%d", row->nUsers, row->nMaxUsers);
    DrawColumnText(dc, 1, slot, FieldText(row->szSubject), GetTextColor());
    DrawColumnText(dc, 2, slot, members, GetTextColor());
    DrawColumnText(dc, 3, slot, FieldText(row->szText), GetTextColor());
    DrawColumnText(dc, 4, slot, FieldText(row->szName), GetTextColor());
}

BOOL CRoomListPanel::IsGoEnabled(const void* data) const
{
    const auto* row = static_cast<const ROOM_ROW*>(data);
    return row->nUsers < row->nMaxUsers;
}

void CRoomListPanel::OnGo(const void* data)
{
    const auto* row = static_cast<const ROOM_ROW*>(data);
    const CString refusal = PlaceRefusal(TRUE, row->nLobby, row->nRoom);
    if (!refusal.IsEmpty()) {
        ShowTableMessage(refusal);
        return;
    }
    PostJoin(row->nLobby, row->nRoom);
}
