#include "UserInfoPanel.h"

void CUserInfoPanel::DrawRow(CDC* dc, int slot, const void* data)
{
    const auto* row = static_cast<const SEARCH_ROW*>(data);
    const BOOL male = row->cGender == 'M';
    DrawColumnText(dc, 0, slot, FieldText(row->szNickname), GetTextColor());
    DrawColumnText(dc, 1, slot, FieldText(row->szID), GetTextColor());
    if (HasColumnPicture()) {
        DrawColumnPicture(dc, 2, slot, male ? 0 : 2);
    } else {
        DrawColumnText(dc, 2, slot, male ? "M" : "F", GetTextColor());
    }
    DrawColumnText(dc, 3, slot, NumberText(row->cNumber), GetTextColor());
    DrawColumnText(dc, 4, slot, FieldText(row->szArea), GetTextColor());
}

BOOL CUserInfoPanel::IsGoEnabled(const void* data) const
{
    return static_cast<const SEARCH_ROW*>(data)->cOnline == 'Y';
}

void CUserInfoPanel::OnGo(const void* data)
{
    if (IsConnected()) {
        GoToMember(static_cast<const SEARCH_ROW*>(data)->lUser, FALSE);
    }
}

char* CUserInfoPanel::NicknameField(void* row, size_t* size) const
{
    auto* search = static_cast<SEARCH_ROW*>(row);
    *size = sizeof(search->szNickname);
    return search->szNickname;
}

char* CUserInfoPanel::IdField(void* row, size_t* size) const
{
    auto* search = static_cast<SEARCH_ROW*>(row);
    *size = sizeof(search->szID);
    return search->szID;
}
