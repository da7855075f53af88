#pragma once
// A party-game button of the main frame (ids 231-234: start, hint, retire, ready). Its picture
// holds four columns, one per state, and it shows the column of its state: 0 off, 1 on, 3 used.
// A click while on hands the game action of its id to the main frame and leaves the button used
// until the frame sets its state again.
#include "CommunityShared.h"

#include <SkinWnd.h>

class CFrameButton : public CSkinWnd {
public:
    static constexpr int kFirstId = 231;
    static constexpr int kLastId = 234;
    static constexpr short kStateOff = 0;
    static constexpr short kStateOn = 1;
    static constexpr short kStateUsed = 3;

    CFrameButton() = default;

    // A hidden popup owned by the frame, at the element's rectangle from the frame's corner.
    BOOL CreateButton(CWnd* frame, CSkinElement* element, short state = kStateOn);
    int GetCommandId() const { return m_pElement ? m_pElement->nID : 0; }
    short GetState() const { return m_nState; }
    // Shows the state's column (repainted at once when the window exists).
    void SetState(short state);

    short m_nState = kStateOn;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnPaint() override;
    void OnLButtonUp(UINT flags, CPoint point) override;
};
