#include <doctest.h>

#include <set>

#include "framework/Core.h"

namespace {
struct Item {
    int id;
};
}  // namespace

TEST_CASE("typed pointer arrays insert, remove and grow") {
    Item a{1}, b{2}, c{3};
    CTypedPtrArray<CPtrArray, Item*> arr;
    arr.Add(&a);
    arr.Add(&c);
    arr.InsertAt(1, &b);
    REQUIRE(arr.GetSize() == 3);
    CHECK(arr[1]->id == 2);
    arr.InsertAt(5, &a);  // past the end: the gap is filled with nulls
    CHECK(arr.GetSize() == 6);
    CHECK(arr[3] == nullptr);
    arr.RemoveAt(3, 10);
    CHECK(arr.GetSize() == 3);
    arr.ElementAt(0) = &c;
    CHECK(arr.GetAt(0)->id == 3);
    arr.SetSize(1);
    CHECK(arr.GetSize() == 1);
    arr.RemoveAll();
    CHECK(arr.IsEmpty());

    CWordArray words;
    words.Add(5);
    words.InsertAt(0, 4, 2);
    CHECK(words.GetSize() == 3);
    CHECK(words[1] == 4);
    CDWordArray dwords;
    dwords.SetAtGrow(2, 0xFFFFFFFF);
    CHECK(dwords.GetSize() == 3);
    CHECK(dwords[0] == 0);
}

TEST_CASE("typed pointer lists keep positions across changes") {
    Item a{1}, b{2}, c{3};
    CTypedPtrList<CPtrList, Item*> list(10);
    POSITION pb = list.AddTail(&b);
    list.AddHead(&a);
    list.InsertAfter(pb, &c);
    CHECK(list.GetCount() == 3);
    int order[3];
    int n = 0;
    for (POSITION p = list.GetHeadPosition(); p;) order[n++] = list.GetNext(p)->id;
    CHECK(order[0] == 1);
    CHECK(order[1] == 2);
    CHECK(order[2] == 3);
    CHECK(list.Find(&c) != nullptr);
    CHECK(list.FindIndex(2) == list.GetTailPosition());
    list.RemoveAt(pb);
    CHECK(list.GetCount() == 2);
    CHECK(list.GetHead()->id == 1);
    CHECK(list.GetTail()->id == 3);
    CHECK(list.RemoveTail()->id == 3);
    CHECK(list.RemoveHead()->id == 1);
    CHECK(list.IsEmpty());
    CHECK(list.GetHeadPosition() == nullptr);
}

TEST_CASE("typed pointer maps look up, replace and iterate") {
    Item a{1}, b{2};
    CTypedPtrMap<CMapPtrToPtr, HWND, Item*> map(10);
    HWND h1 = reinterpret_cast<HWND>(0x100);
    HWND h2 = reinterpret_cast<HWND>(0x200);
    map.SetAt(h1, &a);
    map[h2] = &b;
    Item* found = nullptr;
    CHECK(map.Lookup(h1, found));
    CHECK(found == &a);
    map.SetAt(h1, &b);
    CHECK(map.Lookup(h1, found));
    CHECK(found == &b);
    CHECK(map.GetCount() == 2);
    std::set<HWND> keys;
    POSITION pos = map.GetStartPosition();
    while (pos) {
        HWND key;
        Item* value;
        map.GetNextAssoc(pos, key, value);
        keys.insert(key);
        CHECK(value == &b);
    }
    CHECK(keys.size() == 2);
    CHECK(map.RemoveKey(h1));
    CHECK_FALSE(map.RemoveKey(h1));
    CHECK_FALSE(map.Lookup(h1, found));
    CHECK(found == nullptr);

    CMapStringToPtr byName;
    byName.SetAt("Artist", &a);
    void* v = nullptr;
    CHECK(byName.Lookup("Artist", v));
    CHECK_FALSE(byName.Lookup("artist", v));
}

TEST_CASE("CRect normalising and set operations") {
    CRect r(10, 20, 0, 5);
    CHECK(r.Width() == -10);
    CHECK(r.IsRectEmpty());
    r.NormalizeRect();
    CHECK(r == CRect(0, 5, 10, 20));
    CHECK(r.Width() == 10);
    CHECK(r.Height() == 15);
    CHECK(r.Size() == CSize(10, 15));

    // Half-open: right and bottom are outside.
    CHECK(r.PtInRect(CPoint(0, 5)));
    CHECK_FALSE(r.PtInRect(CPoint(10, 10)));
    CHECK_FALSE(r.PtInRect(CPoint(5, 20)));

    CRect i;
    CHECK(i.IntersectRect(CRect(0, 0, 10, 10), CRect(5, 5, 20, 20)));
    CHECK(i == CRect(5, 5, 10, 10));
    CHECK_FALSE(i.IntersectRect(CRect(0, 0, 10, 10), CRect(10, 0, 20, 10)));  // touching only
    CHECK(i.IsRectNull());
    CRect u;
    CHECK(u.UnionRect(CRect(0, 0, 0, 0), CRect(5, 5, 6, 7)));  // empty inputs are ignored
    CHECK(u == CRect(5, 5, 6, 7));
    CHECK(u.UnionRect(CRect(-5, 0, 1, 1), CRect(5, 5, 6, 7)));
    CHECK(u == CRect(-5, 0, 6, 7));
    CHECK((CRect(0, 0, 4, 4) & CRect(2, 2, 8, 8)) == CRect(2, 2, 4, 4));
    CHECK((CRect(0, 0, 4, 4) | CRect(2, 2, 8, 8)) == CRect(0, 0, 8, 8));

    CRect c(-3, -3, 0, 0);
    CHECK(c.CenterPoint() == CPoint(-1, -1));  // rounded toward zero
    CHECK(CRect(0, 0, 5, 5).CenterPoint() == CPoint(2, 2));

    CRect m(1, 2, 3, 4);
    m.InflateRect(1, 2);
    CHECK(m == CRect(0, 0, 4, 6));
    m.DeflateRect(1, 1, 0, 0);
    CHECK(m == CRect(1, 1, 4, 6));
    m.OffsetRect(-1, 10);
    CHECK(m == CRect(0, 11, 3, 16));
    m += CPoint(1, 1);
    CHECK(m.TopLeft() == CPoint(1, 12));
    m.BottomRight() = CPoint(50, 60);
    CHECK(m == CRect(1, 12, 50, 60));
    m.MoveToXY(0, 0);
    CHECK(m == CRect(0, 0, 49, 48));

    CPoint p(3, 4);
    p += CSize(1, 1);
    CHECK(p - CPoint(1, 1) == CSize(3, 4));
    CHECK(-p == CPoint(-4, -5));
    CHECK(CRect(CPoint(1, 1), CSize(2, 3)) == CRect(1, 1, 3, 4));
    RECT raw = CRect(1, 2, 3, 4);
    CHECK(raw.bottom == 4);
}
