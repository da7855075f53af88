// Dragging a borderless window with injected mouse input: it snaps flush to the work area and
// against another window's edges.
#include "ControlTestSupport.h"
#include "WndSnapGroup.h"

#include <gtest/gtest.h>

using namespace yonda::uitest;

namespace {

class DraggedWnd : public CWnd {
public:
    DraggedWnd(int x, int y, int w, int h)
    {
        CreateEx(0, AfxRegisterWndClass(0), "dragged", WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr, nullptr);
    }
    ~DraggedWnd() override { DestroyWindow(); }
    std::vector<CWnd*> group;
    CWndSnapGroup snap;

protected:
    void OnLButtonDown(UINT flags, CPoint point) override
    {
        snap.SetWindows(group.data(), static_cast<int>(group.size()));
        snap.BeginDrag(this, point.x, point.y);
        CWnd::OnLButtonDown(flags, point);
    }
    void OnMouseMove(UINT flags, CPoint point) override
    {
        if (snap.IsDragging()) {
            snap.OnDrag(this);
        }
        CWnd::OnMouseMove(flags, point);
    }
    void OnLButtonUp(UINT flags, CPoint point) override
    {
        if (snap.IsDragging()) {
            snap.EndDrag(this);
        }
        CWnd::OnLButtonUp(flags, point);
    }
};

// Grabs the window at client (10, 10) and lets it go with its top-left at (left, top).
CRect DragTo(DraggedWnd& wnd, int left, int top)
{
    CRect now;
    wnd.GetWindowRect(&now);
    YondaInjectMouseMove(now.left + 10, now.top + 10);
    YondaInjectMouseButton(0, TRUE, now.left + 10, now.top + 10);
    Pump();
    YondaInjectMouseMove(left + 10, top + 10);
    Pump();
    EXPECT_TRUE(wnd.snap.IsDragging());
    YondaInjectMouseButton(0, FALSE, left + 10, top + 10);
    Pump();
    EXPECT_FALSE(wnd.snap.IsDragging());
    EXPECT_EQ(::GetCapture(), nullptr);
    CRect after;
    wnd.GetWindowRect(&after);
    return after;
}

} // namespace

TEST(WndSnapGroup, WorkAreaEdgesPullWithinTwelvePixels)
{
    DraggedWnd wnd(200, 200, 100, 80);
    CRect work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(DragTo(wnd, work.left + 10, 300).TopLeft(), CPoint(work.left, 300));
    EXPECT_EQ(DragTo(wnd, work.left + 13, 300).TopLeft(), CPoint(work.left + 13, 300));
    EXPECT_EQ(DragTo(wnd, work.left + 12, 300).TopLeft(), CPoint(work.left + 12, 300)) << "the zone ends before +12";
    EXPECT_EQ(DragTo(wnd, work.left - 12, 300).TopLeft(), CPoint(work.left, 300));
    EXPECT_EQ(DragTo(wnd, work.left + 5, work.top + 7).TopLeft(), CPoint(work.left, work.top)) << "a corner snaps both";
    const CRect far = DragTo(wnd, work.right - 100 - 6, work.bottom - 80 + 4);
    EXPECT_EQ(far.BottomRight(), work.BottomRight());
    EXPECT_EQ(far.Size(), CSize(100, 80));
}

TEST(WndSnapGroup, AnotherWindowsEdgesTakeTheDraggedOneFlushWithAlignedSides)
{
    DraggedWnd other(500, 300, 200, 100);
    DraggedWnd wnd(200, 200, 100, 80);
    wnd.group = {&other};
    EXPECT_EQ(DragTo(wnd, 708, 305).TopLeft(), CPoint(700, 300)) << "right of it, tops aligned";
    EXPECT_EQ(DragTo(wnd, 400 + 3, 340).TopLeft(), CPoint(400, 340)) << "left of it, no side near";
    EXPECT_EQ(DragTo(wnd, 400 + 3, 330).TopLeft(), CPoint(400, 320)) << "left of it, bottoms aligned";
    EXPECT_EQ(DragTo(wnd, 495, 300 - 80 - 9).TopLeft(), CPoint(500, 220)) << "above it, lefts aligned";
    other.ShowWindow(SW_HIDE);
    EXPECT_EQ(DragTo(wnd, 708, 305).TopLeft(), CPoint(708, 305)) << "hidden windows do not pull";
}
