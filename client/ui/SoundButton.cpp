#include "SoundButton.h"

#include "ToolkitShared.h"

int CSoundButton::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinButton::OnCreate(cs) == -1) {
        return -1;
    }
    ::SetClassLongPtrA(m_hWnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(ToolkitNormalCursor()));
    return 0;
}

void CSoundButton::OnLButtonDown(UINT flags, CPoint point)
{
    ToolkitPlayWave(kWaveClick);
    m_bPressed = 1;
    CSkinButton::OnLButtonDown(flags, point);
}

void CSoundButton::OnMouseEnter()
{
    CSkinButton::OnMouseEnter();
    if (!m_bPressed) {
        ToolkitPlayWave(kWaveHover);
    }
    m_bPressed = 0;
}
