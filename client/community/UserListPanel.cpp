#include "UserListPanel.h"

#include <ClientGlobals.h>
#include <ClientSession.h>

void CUserListPanel::Refresh(int lobby, int room)
{
    if (!IsConnected()) {
        return;
    }
    ClearItems();
    if (lobby < 0 && room < 0) {
        return;
    }
    CYondaComm* comm = g_pSession->GetComm();
    CPtrList list;
    if (!comm->QueryRoomUsers(static_cast<short>(lobby), static_cast<short>(room), list)) {
        return;
    }
    POSITION p = list.GetHeadPosition();
    if (p) {
        list.GetNext(p); // the room itself
    }
    while (p) {
        const auto* element = static_cast<const YONDA_ROOM_USER_ELEMENT*>(list.GetNext(p));
        auto* row = new FRIEND_ROW{};
        row->lUser = element->lUser;
        CopyField(row->szID, element->szID, sizeof(element->szID));
        CopyField(row->szNickname, element->szNickname, sizeof(element->szNickname));
        CClientSession::ConvertEntitiesInPlace(row->szNickname, sizeof(row->szNickname));
        row->cGender = element->cGender;
        row->cRole = element->cRole;
        row->cOnline = static_cast<char>(element->byAge);
        AddItem(row);
    }
    comm->Release(&list);
    if (m_hWnd) {
        Invalidate(TRUE);
    }
}

void CUserListPanel::AddUser(long user)
{
    if (!IsConnected()) {
        return;
    }
    if (auto* known = static_cast<FRIEND_ROW*>(FindItem(user))) {
        // The member who has just opened this room is its master.
        if (g_pSession->GetLocation() == LOC_ROOM_HOST && user == g_pSession->m_OwnUser.lUser) {
            known->cRole = 'H';
        }
        return;
    }
    EX_YONDA_BODY_R_USER_INFO info{};
    if (g_pSession->GetComm()->QueryUserInfo(user, info)) {
        auto* row = new FRIEND_ROW{};
        row->lUser = user;
        row->cOnline = static_cast<char>(info.byAge);
        row->cGender = info.cGender;
        row->cRole = 'G';
        CopyField(row->szID, info.szID, sizeof(info.szID));
        CopyField(row->szNickname, info.szNickname, sizeof(info.szNickname));
        CClientSession::ConvertEntitiesInPlace(row->szNickname, sizeof(row->szNickname));
        AddItem(row);
    }
    if (m_hWnd) {
        Invalidate(FALSE);
    }
}

void CUserListPanel::RemoveUser(long user)
{
    DeleteItem(user);
    if (g_pSession) {
        g_pSession->RemoveUserRecord(user);
    }
}

void CUserListPanel::SetRoomMaster(long user)
{
    for (int i = 0; i < GetCount(); ++i) {
        auto* row = static_cast<FRIEND_ROW*>(GetRow(i));
        if (row->cRole == 'H') {
            row->cRole = 'G';
        }
        if (row->lUser == user) {
            row->cRole = 'H';
        }
    }
    if (m_hWnd) {
        Invalidate(TRUE);
    }
}

void CUserListPanel::DrawRow(CDC* dc, int slot, const void* data)
{
    const auto* row = static_cast<const FRIEND_ROW*>(data);
    const BOOL male = row->cGender == 'M';
    const BOOL master = row->cRole == 'H';
    if (HasColumnPicture()) {
        DrawColumnPicture(dc, 0, slot, (male ? 0 : 2) + (master ? 1 : 0));
    } else {
        DrawColumnText(dc, 0, slot, male ? "Male" : "Female", master ? RGB(128, 0, 128) : GetTextColor());
    }
    DrawColumnText(dc, 1, slot, FieldText(row->szID), GetTextColor());
    DrawColumnText(dc, 2, slot, NumberText(row->cOnline), GetTextColor());
    DrawColumnText(dc, 3, slot, FieldText(row->szNickname), GetTextColor());
}
