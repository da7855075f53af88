// Rectangle arithmetic for clip areas and regions: a list of disjoint rectangles, right and bottom
// edges exclusive as everywhere in GDI.
#pragma once

#include <windef.h>

#include <vector>

namespace yonda::gdi {

inline bool RectEmpty(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}
inline RECT RectIntersection(const RECT& a, const RECT& b)
{
    RECT r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top, a.right < b.right ? a.right : b.right,
           a.bottom < b.bottom ? a.bottom : b.bottom};
    if (RectEmpty(r))
        return RECT{0, 0, 0, 0};
    return r;
}
// Normalises a rectangle given by two corners in any order.
inline RECT RectFromCorners(LONG x1, LONG y1, LONG x2, LONG y2)
{
    return RECT{x1 < x2 ? x1 : x2, y1 < y2 ? y1 : y2, x1 < x2 ? x2 : x1, y1 < y2 ? y2 : y1};
}

using RectList = std::vector<RECT>;

RectList RectListIntersect(const RectList& a, const RectList& b);
RectList RectListIntersect(const RectList& a, const RECT& b);
RectList RectListSubtract(const RectList& a, const RectList& b);
RectList RectListUnion(const RectList& a, const RectList& b);
RectList RectListXor(const RectList& a, const RectList& b);
void RectListOffset(RectList& list, LONG dx, LONG dy);
RECT RectListBounds(const RectList& list);
bool RectListContains(const RectList& list, LONG x, LONG y);
// The same area covered, whatever the split into rectangles.
bool RectListEqualArea(const RectList& a, const RectList& b);
// NULLREGION, SIMPLEREGION or COMPLEXREGION.
int RectListComplexity(const RectList& list);

} // namespace yonda::gdi
