#include "RectList.h"

#include <wingdi.h>

namespace yonda::gdi {

RectList RectListIntersect(const RectList& a, const RECT& b)
{
    RectList out;
    for (const RECT& r : a) {
        RECT i = RectIntersection(r, b);
        if (!RectEmpty(i))
            out.push_back(i);
    }
    return out;
}

RectList RectListIntersect(const RectList& a, const RectList& b)
{
    RectList out;
    for (const RECT& r : b) {
        RectList part = RectListIntersect(a, r);
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

namespace {

// Appends what is left of `a` once `cut` is taken away: up to four pieces.
void SubtractOne(const RECT& a, const RECT& cut, RectList& out)
{
    RECT i = RectIntersection(a, cut);
    if (RectEmpty(i)) {
        out.push_back(a);
        return;
    }
    if (a.top < i.top)
        out.push_back(RECT{a.left, a.top, a.right, i.top});
    if (i.bottom < a.bottom)
        out.push_back(RECT{a.left, i.bottom, a.right, a.bottom});
    if (a.left < i.left)
        out.push_back(RECT{a.left, i.top, i.left, i.bottom});
    if (i.right < a.right)
        out.push_back(RECT{i.right, i.top, a.right, i.bottom});
}

} // namespace

RectList RectListSubtract(const RectList& a, const RectList& b)
{
    RectList current = a;
    for (const RECT& cut : b) {
        RectList next;
        for (const RECT& r : current)
            SubtractOne(r, cut, next);
        current.swap(next);
    }
    return current;
}

RectList RectListUnion(const RectList& a, const RectList& b)
{
    RectList out = a;
    RectList extra = RectListSubtract(b, a);
    out.insert(out.end(), extra.begin(), extra.end());
    return out;
}

RectList RectListXor(const RectList& a, const RectList& b)
{
    RectList out = RectListSubtract(a, b);
    RectList extra = RectListSubtract(b, a);
    out.insert(out.end(), extra.begin(), extra.end());
    return out;
}

void RectListOffset(RectList& list, LONG dx, LONG dy)
{
    for (RECT& r : list) {
        r.left += dx;
        r.right += dx;
        r.top += dy;
        r.bottom += dy;
    }
}

RECT RectListBounds(const RectList& list)
{
    if (list.empty())
        return RECT{0, 0, 0, 0};
    RECT b = list.front();
    for (const RECT& r : list) {
        if (r.left < b.left)
            b.left = r.left;
        if (r.top < b.top)
            b.top = r.top;
        if (r.right > b.right)
            b.right = r.right;
        if (r.bottom > b.bottom)
            b.bottom = r.bottom;
    }
    return b;
}

bool RectListContains(const RectList& list, LONG x, LONG y)
{
    for (const RECT& r : list)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return true;
    return false;
}

bool RectListEqualArea(const RectList& a, const RectList& b)
{
    return RectListSubtract(a, b).empty() && RectListSubtract(b, a).empty();
}

int RectListComplexity(const RectList& list)
{
    if (list.empty())
        return NULLREGION;
    RECT bounds = RectListBounds(list);
    // One rectangle, or pieces that exactly tile their bounding box, is a simple region.
    return RectListEqualArea(list, RectList{bounds}) ? SIMPLEREGION : COMPLEXREGION;
}

} // namespace yonda::gdi
