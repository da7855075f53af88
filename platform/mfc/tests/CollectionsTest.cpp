// Lists and arrays of the MFC subset: iteration by POSITION, insertion, bad indices answered.
#include <afxwin.h>

#include <gtest/gtest.h>

namespace {

std::vector<CString> Items(const CStringList& list)
{
    std::vector<CString> out;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        out.push_back(list.GetNext(pos));
    return out;
}

TEST(CStringList, AddsInsertsFindsAndRemoves)
{
    CStringList list;
    list.AddTail("b");
    list.AddHead("a");
    POSITION c = list.AddTail("c");
    list.InsertAfter(list.FindIndex(0), "a2");
    list.InsertBefore(c, "b2");
    EXPECT_EQ(Items(list), (std::vector<CString>{"a", "a2", "b", "b2", "c"}));
    EXPECT_EQ(list.GetCount(), 5);
    EXPECT_EQ(list.GetAt(list.Find(CString("b2"))), "b2");
    EXPECT_EQ(list.FindIndex(9), nullptr);
    list.RemoveAt(list.FindIndex(1));
    EXPECT_EQ(list.RemoveHead(), "a");
    EXPECT_EQ(list.RemoveTail(), "c");
    EXPECT_EQ(Items(list), (std::vector<CString>{"b", "b2"}));
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.RemoveHead(), "");
}

TEST(CPtrList, IteratesBothWaysAndRemovesWhileWalking)
{
    CPtrList list;
    int values[4] = {0, 1, 2, 3};
    for (int& v : values)
        list.AddTail(&v);
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        POSITION here = pos;
        int* v = static_cast<int*>(list.GetNext(pos));
        if (*v % 2)
            list.RemoveAt(here);
    }
    std::vector<int> backwards;
    for (POSITION pos = list.GetTailPosition(); pos;)
        backwards.push_back(*static_cast<int*>(list.GetPrev(pos)));
    EXPECT_EQ(backwards, (std::vector<int>{2, 0}));
}

TEST(CStringArray, GrowsInsertsAndIgnoresBadIndices)
{
    CStringArray lines;
    lines.Add("one");
    lines.Add("three");
    lines.InsertAt(1, "two");
    lines.SetAt(2, "THREE");
    lines.SetAt(7, "ignored");
    EXPECT_EQ(lines.GetSize(), 3);
    EXPECT_EQ(lines.GetAt(1), "two");
    EXPECT_EQ(lines.GetAt(2), "THREE");
    EXPECT_EQ(lines.GetAt(-1), "");
    lines.RemoveAt(0);
    EXPECT_EQ(lines[0], "two");
    lines.RemoveAll();
    EXPECT_EQ(lines.GetSize(), 0);
}

TEST(CDWordArray, SetSizeThenSetAt)
{
    CDWordArray colours;
    colours.SetSize(3);
    colours.SetAt(0, 0xEEEEEE);
    colours.SetAt(2, 0x1DC3FF);
    EXPECT_EQ(colours.GetAt(0), 0xEEEEEEu);
    EXPECT_EQ(colours.GetAt(1), 0u);
    EXPECT_EQ(colours.GetAt(2), 0x1DC3FFu);
    EXPECT_EQ(colours.GetAt(3), 0u);
    colours.SetAtGrow(5, 7);
    EXPECT_EQ(colours.GetSize(), 6);
}

TEST(CRect, GeometryHelpers)
{
    CRect r(10, 20, 110, 70);
    EXPECT_EQ(r.Width(), 100);
    EXPECT_EQ(r.Height(), 50);
    EXPECT_EQ(r.CenterPoint(), CPoint(60, 45));
    EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(r.PtInRect(CPoint(110, 20)));
    r.OffsetRect(-10, -20);
    EXPECT_EQ(r, CRect(0, 0, 100, 50));
    r.DeflateRect(2, 2);
    EXPECT_EQ(r, CRect(2, 2, 98, 48));
    CRect i;
    EXPECT_FALSE(i.IntersectRect(CRect(0, 0, 5, 5), CRect(5, 5, 9, 9)));
    EXPECT_TRUE(i.IsRectEmpty());
    EXPECT_TRUE(i.IntersectRect(CRect(0, 0, 5, 5), CRect(3, 3, 9, 9)));
    EXPECT_EQ(i, CRect(3, 3, 5, 5));
    r.TopLeft() = CPoint(0, 0);
    EXPECT_EQ(r.left, 0);
    CSize s = CPoint(5, 7) - CPoint(2, 3);
    EXPECT_EQ(s, CSize(3, 4));
}

} // namespace
