// The Text Editor bar's arithmetic apart from its windows: the grid's column widths for a client
// width, a drag of the title column's edges and the fitting of a column; the disc suffix of a
// selected object; the Tracks box's count.
#include <doctest.h>

#include "bars/BarText.h"
#include "bars/CboTracks.h"
#include "bars/TrackList.h"

namespace {

TrackColumnWidths W(int number, int title, int time) {
    TrackColumnWidths w;
    w.number = number;
    w.title = title;
    w.time = time;
    return w;
}

}  // namespace

TEST_CASE("column widths follow the grid's client width") {
    using TrackColumns::FitToClient;
    // Wider: the title column takes the room.
    CHECK(FitToClient(W(28, 100, 36), 200) == W(28, 136, 36));
    CHECK(FitToClient(W(28, 100, 36), 164) == W(28, 100, 36));
    // Narrower: the time column gives first, down to its minimum...
    CHECK(FitToClient(W(28, 100, 50), 170) == W(28, 100, 42));
    // ...then the number column, down to its minimum...
    CHECK(FitToClient(W(40, 100, 36), 170) == W(34, 100, 36));
    // ...then the title column, never below its minimum.
    CHECK(FitToClient(W(28, 100, 36), 140) == W(28, 76, 36));
    CHECK(FitToClient(W(28, 100, 36), 100) == W(28, 64, 36));
}

TEST_CASE("dragging the title column's edges") {
    using TrackColumns::Drag;
    const int g = 164;
    SUBCASE("left edge to the right: the time column gives, then the title, then the bar widens") {
        CHECK(Drag(W(28, 100, 36 + 10), g + 10, true, 4) == W(32, 100, 42));
        CHECK(Drag(W(28, 100, 36), g, true, 10) == W(38, 90, 36));
        const TrackColumnWidths widened = Drag(W(28, 64, 36), 128, true, 10);
        CHECK(widened == W(38, 64, 36));
        CHECK(widened.Sum() == 138);
    }
    SUBCASE("left edge to the left: the number column gives to the title") {
        CHECK(Drag(W(40, 88, 36), g, true, -5) == W(35, 93, 36));
        CHECK(Drag(W(30, 98, 36), g, true, -5) == W(28, 100, 36));
    }
    SUBCASE("right edge to the right: the time column gives, then the bar widens") {
        CHECK(Drag(W(28, 90, 46), g, false, 6) == W(28, 96, 40));
        const TrackColumnWidths widened = Drag(W(28, 100, 36), g, false, 6);
        CHECK(widened == W(28, 106, 36));
        CHECK(widened.Sum() == g + 6);
    }
    SUBCASE("right edge to the left: the title gives to the time column, then the number column") {
        CHECK(Drag(W(28, 100, 36), g, false, -10) == W(28, 90, 46));
        CHECK(Drag(W(40, 66, 58), g, false, -5) == W(35, 64, 65));
        CHECK(Drag(W(30, 64, 70), g, false, -5) == W(28, 64, 72));
    }
}

TEST_CASE("fitting a column to its widest text") {
    using TrackColumns::FitColumn;
    // Texts within the minimum give the minimum; wider ones get the margins.
    CHECK(FitColumn(W(28, 100, 36), 2, 40, 1000) == W(28, 64, 36));
    CHECK(FitColumn(W(28, 100, 36), 2, 150, 1000) == W(28, 158, 36));
    CHECK(FitColumn(W(40, 100, 36), 1, 12, 1000) == W(28, 100, 36));
    CHECK(FitColumn(W(28, 100, 36), 3, 30, 1000) == W(28, 100, 36));
    CHECK(FitColumn(W(28, 100, 36), 3, 50, 1000) == W(28, 100, 58));
    // The sum is held to the limit, the fitted column giving way but not below its minimum.
    CHECK(FitColumn(W(28, 100, 36), 2, 400, 300) == W(28, 236, 36));
    CHECK(FitColumn(W(28, 100, 36), 2, 400, 90) == W(28, 64, 36));
}

TEST_CASE("the disc suffix of the selected object") {
    const CString none, disc1(" - Disc 1"), disc2(" - Disc 2");
    // One disc: never a suffix, whatever was there.
    CHECK(CBarText::ChooseDiscSuffix("Artist - Disc 2", disc2, false) == none);
    // Two discs: the object's own disc, also for a copy named "...(1)".
    CHECK(CBarText::ChooseDiscSuffix("Title - Disc 2", none, true) == disc2);
    CHECK(CBarText::ChooseDiscSuffix("Title - Disc 2(1)", disc1, true) == disc2);
    CHECK(CBarText::ChooseDiscSuffix("Track List - Disc 1", disc2, true) == disc1);
    // A name without a disc keeps the current suffix, or starts with disc 1.
    CHECK(CBarText::ChooseDiscSuffix("Text 3", disc2, true) == disc2);
    CHECK(CBarText::ChooseDiscSuffix("Page 1", none, true) == disc1);
    // A dash elsewhere in the name is no disc.
    CHECK(CBarText::ChooseDiscSuffix("Image-1", disc2, true) == disc2);
    CHECK(CBarText::ChooseDiscSuffix("-", none, true) == disc1);
    CHECK(CBarText::ChooseDiscSuffix("", none, true) == disc1);
}

TEST_CASE("the Tracks box's count") {
    CHECK(CCboTracks::ParseCount("7") == 7);
    CHECK(CCboTracks::ParseCount("150") == 99);
    CHECK(CCboTracks::ParseCount("0") == 1);
    CHECK(CCboTracks::ParseCount("") == 1);
    CHECK(CCboTracks::ParseCount("99999999999999999999") == 99);
    CHECK(CCboTracks::ParseCount("12ab") == 12);
}
