#pragma once
// The members a user search found: nickname, ID, gender picture, a number and the area; the Go
// button of an online member joins the member's room.
#include "ListPanel.h"

class CUserInfoPanel : public CListPanel {
public:
    CUserInfoPanel() : CListPanel(0, [](void* row) { delete static_cast<SEARCH_ROW*>(row); }) {}

protected:
    void DrawRow(CDC* dc, int slot, const void* row) override;
    BOOL IsGoEnabled(const void* row) const override;
    void OnGo(const void* row) override;
    char* NicknameField(void* row, size_t* size) const override;
    char* IdField(void* row, size_t* size) const override;
};
