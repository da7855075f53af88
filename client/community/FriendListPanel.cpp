#include "FriendListPanel.h"

#include <ClientGlobals.h>
#include <ClientSession.h>

int CFriendListPanel::OnCreate(LPCREATESTRUCT cs)
{
    if (CListPanel::OnCreate(cs) == -1) {
        return -1;
    }
    Refresh();
    return 0;
}

void CFriendListPanel::Refresh()
{
    if (!IsConnected()) {
        return;
    }
    CYondaComm* comm = g_pSession->GetComm();
    ClearItems();
    long after = 0;
    int pageSize = 0;
    do {
        CPtrList list;
        if (!comm->QueryListFriends(after, list)) {
            return;
        }
        pageSize = static_cast<int>(list.GetCount());
        for (POSITION p = list.GetHeadPosition(); p;) {
            const auto* element = static_cast<const EX_YONDA_BODY_R_FRIEND_REG*>(list.GetNext(p));
            auto* row = new FRIEND_ROW{};
            row->lUser = element->lUser;
            CopyField(row->szID, element->szID, sizeof(element->szID));
            row->cGender = element->cGender;
            row->cOnline = element->cOnline;
            CopyField(row->szNickname, element->szNickname, sizeof(element->szNickname));
            CClientSession::ConvertEntitiesInPlace(row->szNickname, sizeof(row->szNickname));
            AddItem(row);
            after = row->lUser;
        }
        comm->Release(&list);
    } while (pageSize == kPage);
    if (GetCount() > 0 && m_hWnd) {
        Invalidate(TRUE);
    }
}

void CFriendListPanel::DrawRow(CDC* dc, int slot, const void* data)
{
    const auto* row = static_cast<const FRIEND_ROW*>(data);
    const BOOL male = row->cGender == 'M';
    if (HasColumnPicture()) {
        DrawColumnPicture(dc, 0, slot, male ? 0 : 2);
    } else {
        DrawColumnText(dc, 0, slot, male ? "M" : "F", GetTextColor());
    }
    const COLORREF colour = row->cOnline == 'Y' ? GetTextColor() : RGB(192, 192, 192);
    DrawColumnText(dc, 1, slot, FieldText(row->szID), colour);
    DrawColumnText(dc, 2, slot, FieldText(row->szNickname), colour);
}

BOOL CFriendListPanel::IsGoEnabled(const void* data) const
{
    return static_cast<const FRIEND_ROW*>(data)->cOnline == 'Y';
}

void CFriendListPanel::OnGo(const void* data)
{
    GoToMember(static_cast<const FRIEND_ROW*>(data)->lUser, TRUE);
}
