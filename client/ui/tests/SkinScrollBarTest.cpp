// The skinned scroll bar with the generated skin's pictures, pressed, held and dragged with
// injected mouse input; the repeat timers are driven by the timer messages themselves.
#include "ControlTestSupport.h"
#include "ImageFile.h"
#include "SkinScrollBar.h"

using namespace yonda::uitest;

namespace {

struct Bar {
    RecordingWnd parent{UM_SCROLL_POS, UM_SCROLL_POS_END};
    CSkinScrollBar bar;

    explicit Bar(BOOL vertical = TRUE, const CRect& rect = CRect(20, 10, 38, 210), CString prefix = "")
    {
        if (prefix.IsEmpty()) {
            prefix = SkinFolder() + "\\scrollbar";
        }
        EXPECT_TRUE(bar.Create(rect, &parent, vertical, nullptr, prefix));
        Pump();
        parent.notes.clear();
    }
    CPoint Centre(const CRect& r) const { return r.CenterPoint(); }
    void Click(const CRect& part)
    {
        Press(bar.m_hWnd, part.CenterPoint().x, part.CenterPoint().y);
        Release(bar.m_hWnd, part.CenterPoint().x, part.CenterPoint().y);
    }
};

CSize PictureSize(const char* name)
{
    HBITMAP bitmap = LoadBitmapHandle(SkinFolder() + "\\" + name);
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    DeleteObject(bitmap);
    return CSize(info.bmWidth, info.bmHeight);
}

} // namespace

TEST(SkinScrollBar, LaysItselfOutFromTheSkinPictures)
{
    Bar v;
    const CSize up = PictureSize("scrollbar_up.bmp");
    const CSize down = PictureSize("scrollbar_down.bmp");
    const CSize thumb = PictureSize("scrollbar_vpos.bmp");
    const CSize body = PictureSize("scrollbar_vbody.bmp");
    ASSERT_TRUE(v.bar.IsWindowVisible());
    CRect client;
    v.bar.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, body.cx, 200));
    EXPECT_EQ(v.bar.FirstArrowRect(), CRect(0, 0, up.cx / 3, up.cy));
    EXPECT_EQ(v.bar.SecondArrowRect(), CRect(0, 200 - down.cy, down.cx / 3, 200));
    EXPECT_EQ(v.bar.ThumbRect(), CRect(0, up.cy, thumb.cx / 3, up.cy + thumb.cy));
    EXPECT_EQ(v.bar.TrackStart(), up.cy + thumb.cy / 2 + 2);
    EXPECT_EQ(v.bar.TrackEnd(), 200 - down.cy - thumb.cy / 2 - 2);

    Bar h(FALSE, CRect(10, 300, 310, 320));
    const CSize left = PictureSize("scrollbar_left.bmp");
    const CSize right = PictureSize("scrollbar_right.bmp");
    const CSize hthumb = PictureSize("scrollbar_hpos.bmp");
    h.bar.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 300, PictureSize("scrollbar_hbody.bmp").cy));
    EXPECT_EQ(h.bar.SecondArrowRect(), CRect(300 - right.cx / 3, 0, 300, client.bottom));
    EXPECT_EQ(h.bar.ThumbRect(), CRect(left.cx / 3, 0, left.cx / 3 + hthumb.cx / 3, client.bottom));
}

TEST(SkinScrollBar, ShowsEachPartsFrameFromThePictures)
{
    Bar v;
    HBITMAP up = LoadBitmapHandle(SkinFolder() + "\\scrollbar_up.bmp");
    HBITMAP thumb = LoadBitmapHandle(SkinFolder() + "\\scrollbar_vpos.bmp");
    const int frame = PictureSize("scrollbar_up.bmp").cx / 3;
    const CRect t = v.bar.ThumbRect();
    const int thumbFrame = PictureSize("scrollbar_vpos.bmp").cx / 3;
    // The arrow's frame 0 at rest, frame 1 while it is held.
    for (int y : {3, 8, 12}) {
        EXPECT_EQ(Pixel(v.bar.m_hWnd, 8, y), BitmapPixel(up, 8, y)) << y;
    }
    EXPECT_EQ(Pixel(v.bar.m_hWnd, t.left + 5, t.top + 5), BitmapPixel(thumb, 5, 5));
    Press(v.bar.m_hWnd, 8, 8);
    EXPECT_EQ(v.bar.PressedPart(), CSkinScrollBar::PART_FIRST_ARROW);
    EXPECT_EQ(Pixel(v.bar.m_hWnd, 8, 8), BitmapPixel(up, frame + 8, 8));
    Release(v.bar.m_hWnd, 8, 8);
    EXPECT_EQ(Pixel(v.bar.m_hWnd, 8, 8), BitmapPixel(up, 8, 8));
    Press(v.bar.m_hWnd, t.CenterPoint().x, t.CenterPoint().y);
    const CRect held = v.bar.ThumbRect();
    EXPECT_EQ(Pixel(v.bar.m_hWnd, held.left + 5, held.top + 5), BitmapPixel(thumb, thumbFrame + 5, 5));
    Release(v.bar.m_hWnd, t.CenterPoint().x, t.CenterPoint().y);
    DeleteObject(up);
    DeleteObject(thumb);
}

TEST(SkinScrollBar, SetScrollPosTellsTheNotifyWindowWhereItIs)
{
    Bar v;
    v.bar.SetScrollRange(0, 18, 8);
    EXPECT_EQ(v.bar.m_nMax, 10);
    struct Case {
        int position;
        std::vector<UINT> sent;
    } cases[] = {
        {0, {UM_SCROLL_POS, UM_SCROLL_POS_START}}, {1, {UM_SCROLL_POS, UM_SCROLL_POS_START}}, {5, {UM_SCROLL_POS}},
        {9, {UM_SCROLL_POS, UM_SCROLL_POS_END}},   {10, {UM_SCROLL_POS, UM_SCROLL_POS_END}},  {2, {UM_SCROLL_POS}},
    };
    const int length = v.bar.TrackEnd() - v.bar.TrackStart();
    for (const Case& c : cases) {
        v.parent.notes.clear();
        v.bar.SetScrollPos(c.position);
        EXPECT_EQ(v.parent.Messages(), c.sent) << c.position;
        EXPECT_EQ(v.parent.notes.front().wParam, static_cast<WPARAM>(c.position));
        EXPECT_EQ(v.parent.notes.front().lParam, reinterpret_cast<LPARAM>(&v.bar));
        EXPECT_EQ(v.bar.ThumbRect().CenterPoint().y, v.bar.TrackStart() + c.position * length / 10) << c.position;
    }
    // A range shorter than its page stores no maximum; with minimum and maximum equal the thumb
    // still has a place to go.
    v.bar.SetScrollRange(0, 5, 8);
    EXPECT_EQ(v.bar.m_nMax, 0);
    v.bar.SetScrollPos(1);
    EXPECT_EQ(v.bar.ThumbRect().CenterPoint().y, v.bar.TrackStart() + length);
}

TEST(SkinScrollBar, ArrowsStepAndHoldingRepeatsUntilTheLimit)
{
    Bar v;
    v.bar.SetScrollRange(0, 11, 8); // maximum 3
    v.parent.notes.clear();
    const CRect down = v.bar.SecondArrowRect();
    Press(v.bar.m_hWnd, down.CenterPoint().x, down.CenterPoint().y);
    EXPECT_EQ(v.parent.notes, (std::vector<Note>{{UM_SCROLL_POS, 1, 0}, {UM_SCROLL_POS_START, 1, 0}}));
    // Held: the wait timer starts the step timer, which steps up to the maximum and stops.
    v.parent.notes.clear();
    v.bar.SendMessage(WM_TIMER, CSkinScrollBar::TIMER_REPEAT_WAIT);
    v.bar.SendMessage(WM_TIMER, CSkinScrollBar::TIMER_REPEAT_UP);
    v.bar.SendMessage(WM_TIMER, CSkinScrollBar::TIMER_REPEAT_UP);
    v.bar.SendMessage(WM_TIMER, CSkinScrollBar::TIMER_REPEAT_UP);
    EXPECT_EQ(v.parent.notes,
              (std::vector<Note>{
                  {UM_SCROLL_POS, 2, 0}, {UM_SCROLL_POS_END, 2, 0}, {UM_SCROLL_POS, 3, 0}, {UM_SCROLL_POS_END, 3, 0}}));
    EXPECT_EQ(v.bar.GetScrollPos(), 3);
    Release(v.bar.m_hWnd, down.CenterPoint().x, down.CenterPoint().y);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(v.bar.PressedPart(), CSkinScrollBar::PART_NONE);

    // At the minimum the first arrow sends nothing, now or when the repeat begins.
    v.bar.SetScrollPos(0);
    v.parent.notes.clear();
    const CRect up = v.bar.FirstArrowRect();
    Press(v.bar.m_hWnd, up.CenterPoint().x, up.CenterPoint().y);
    v.bar.SendMessage(WM_TIMER, CSkinScrollBar::TIMER_REPEAT_WAIT);
    v.bar.SendMessage(WM_TIMER, CSkinScrollBar::TIMER_REPEAT_DOWN);
    Release(v.bar.m_hWnd, up.CenterPoint().x, up.CenterPoint().y);
    EXPECT_TRUE(v.parent.notes.empty());
    EXPECT_EQ(v.bar.GetScrollPos(), 0);

    // After the release a late wait timer only stops itself.
    v.bar.SendMessage(WM_TIMER, CSkinScrollBar::TIMER_REPEAT_WAIT);
    v.bar.SendMessage(WM_TIMER, CSkinScrollBar::TIMER_REPEAT_UP);
    EXPECT_EQ(v.bar.GetScrollPos(), 1);
}

TEST(SkinScrollBar, ADoubleClickOnAnArrowIsASecondPress)
{
    Bar v;
    v.bar.SetScrollRange(0, 20, 10);
    v.parent.notes.clear();
    const CRect down = v.bar.SecondArrowRect();
    v.Click(down);
    v.Click(down);
    EXPECT_EQ(v.bar.GetScrollPos(), 2);
    std::vector<WPARAM> positions;
    for (const Note& n : v.parent.notes) {
        if (n.message == UM_SCROLL_POS) {
            positions.push_back(n.wParam);
        }
    }
    EXPECT_EQ(positions, (std::vector<WPARAM>{1, 2}));
}

TEST(SkinScrollBar, DraggingTheThumbFollowsTheMouseAndRepaintsIt)
{
    Bar v;
    v.bar.SetScrollRange(0, 30, 10); // maximum 20
    v.bar.SetScrollPos(0);
    v.parent.notes.clear();
    const CRect start = v.bar.ThumbRect();
    const CPoint grip = start.CenterPoint();
    Press(v.bar.m_hWnd, grip.x, grip.y);
    EXPECT_EQ(v.parent.Messages(), (std::vector<UINT>{UM_SCROLL_POS, UM_SCROLL_POS_START}));
    v.parent.notes.clear();
    MoveTo(v.bar.m_hWnd, grip.x, grip.y + 40);
    EXPECT_EQ(v.bar.ThumbRect(), CRect(start.left, start.top + 40, start.right, start.bottom + 40));
    // Far past the end the thumb stops at the track's end; only UM_SCROLL_POS is sent.
    MoveTo(v.bar.m_hWnd, grip.x, 500);
    EXPECT_EQ(v.bar.ThumbRect().CenterPoint().y, v.bar.TrackEnd());
    Release(v.bar.m_hWnd, grip.x, 500);
    ASSERT_FALSE(v.parent.notes.empty());
    for (const Note& n : v.parent.notes) {
        EXPECT_EQ(n.message, UM_SCROLL_POS);
    }
    const int length = v.bar.TrackEnd() - v.bar.TrackStart();
    EXPECT_EQ(v.parent.notes.back().wParam, static_cast<WPARAM>((length + 1) * 20 / length));
    // The thumb shows at its new place and the body where it was.
    HBITMAP thumb = LoadBitmapHandle(SkinFolder() + "\\scrollbar_vpos.bmp");
    const CRect end = v.bar.ThumbRect();
    EXPECT_EQ(Pixel(v.bar.m_hWnd, end.left + 5, end.top + 5), BitmapPixel(thumb, 5, 5));
    EXPECT_NE(Pixel(v.bar.m_hWnd, start.left + 5, start.top + 5), BitmapPixel(thumb, 5, 5));
    DeleteObject(thumb);
}

TEST(SkinScrollBar, MissingPicturesOrNoRoomLeaveAHarmlessBar)
{
    Bar missing(TRUE, CRect(20, 10, 38, 210), SkinFolder() + "\\no_such_bar");
    EXPECT_FALSE(missing.bar.IsWindowVisible());
    missing.bar.SetScrollRange(0, 10, 2);
    missing.bar.SetScrollPos(4);
    missing.bar.ShowWindow(SW_SHOW);
    Press(missing.bar.m_hWnd, 5, 5);
    MoveTo(missing.bar.m_hWnd, 5, 50);
    Release(missing.bar.m_hWnd, 5, 50);
    EXPECT_EQ(Pixel(missing.bar.m_hWnd, 5, 100), 0xFFFFFFu);

    // Shorter than its arrows and thumb: the track is empty or reversed.
    Bar tiny(TRUE, CRect(20, 10, 38, 30));
    tiny.bar.SetScrollRange(0, 10, 2);
    tiny.bar.SetScrollPos(3);
    const CPoint grip = tiny.bar.ThumbRect().CenterPoint();
    Press(tiny.bar.m_hWnd, grip.x, grip.y);
    MoveTo(tiny.bar.m_hWnd, grip.x, grip.y + 3);
    Release(tiny.bar.m_hWnd, grip.x, grip.y + 3);
    SUCCEED();
}
