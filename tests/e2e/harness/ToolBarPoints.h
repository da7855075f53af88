// The member's points in the tool bar of a captured main frame, compared with a text drawn the way
// the bar draws it: the GUI font of the settings (NanumGothic, 9 points), right-aligned and
// centred in the points area, over the bar's shading (one colour a row there). Tests that use it
// link the platform library.
#pragma once

#include "EndToEndTest.h"

#include <afxwin.h>

namespace yonda::testing {

// The tool bar's place in the frame and its points area within it (the skin's description).
inline constexpr POINT kToolBarPlace{616, 430};
inline constexpr RECT kToolBarPoints{60, 30, 168, 48};

// How many pixels of the points area differ from `text` drawn there; 0 when the bar shows it.
inline int PointsDrawnWrong(const Picture& frame, const char* text)
{
    const int width = kToolBarPoints.right - kToolBarPoints.left;
    const int height = kToolBarPoints.bottom - kToolBarPoints.top;
    const int left = kToolBarPlace.x + kToolBarPoints.left, top = kToolBarPlace.y + kToolBarPoints.top;
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap surface;
    CClientDC screen(nullptr);
    surface.CreateCompatibleBitmap(&screen, width, height);
    CBitmap* oldBitmap = dc.SelectObject(&surface);
    for (int y = 0; y < height; ++y) {
        const uint32_t row = frame.At(left, top + y);
        dc.FillSolidRect(0, y, width, 1, RGB(row >> 16, (row >> 8) & 0xFF, row & 0xFF));
    }
    CFont font;
    EXPECT_TRUE(font.CreatePointFont(90, "NanumGothic"));
    CFont* oldFont = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    RECT all{0, 0, width, height};
    dc.DrawText(text, &all, DT_SINGLELINE | DT_RIGHT | DT_VCENTER);
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF want = dc.GetPixel(x, y);
            const uint32_t shown = frame.At(left + x, top + y);
            wrong += shown != (static_cast<uint32_t>(GetRValue(want)) << 16 | GetGValue(want) << 8 | GetBValue(want));
        }
    }
    dc.SelectObject(oldFont);
    dc.SelectObject(oldBitmap);
    return wrong;
}

} // namespace yonda::testing
