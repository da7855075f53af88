#pragma once
// The member's friends: gender picture, ID and nickname, online rows in the skin's colour and the
// others grey; the Go button of an online friend joins the friend's room.
#include "ListPanel.h"

class CFriendListPanel : public CListPanel {
public:
    // Friends come from the service in pages of this many.
    static constexpr int kPage = 30;

    CFriendListPanel() : CListPanel(6, [](void* row) { delete static_cast<FRIEND_ROW*>(row); }) {}

    // Rebuilds the rows from the service, page after page; nothing without a connection.
    void Refresh();

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    int GoButtonStep() const override { return 20; }
    void DrawRow(CDC* dc, int slot, const void* row) override;
    BOOL IsGoEnabled(const void* row) const override;
    void OnGo(const void* row) override;
};
