#pragma once
// A skin button that clicks when pressed and chimes when the mouse comes over it (not on the
// first hover after a press: that one is the mouse coming back from the click).
#include "SkinButton.h"

constexpr UINT kWaveHover = 149;
constexpr UINT kWaveConfirm = 150;
constexpr UINT kWaveNotice = 152;
constexpr UINT kWaveClick = 153;

class CSoundButton : public CSkinButton {
public:
    int m_bPressed = 0;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnMouseEnter() override;
};
