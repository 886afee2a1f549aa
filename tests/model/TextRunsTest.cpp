#include <doctest.h>

#include "model/ViewObject.h"

#include <cstring>

using namespace Gdiplus;

namespace {

const char B = 0x08;

CString Track(const char* number, const char* title, const char* time) {
    CString s;
    s += number;
    s += B;
    s += title;
    s += B;
    s += time;
    s += B;
    return s;
}

LOGFONTA* MakeFont(const char* face, int height, int weight) {
    LOGFONTA* f = ViewObject::NewFontRecord();
    std::strcpy(f->lfFaceName, face);
    f->lfHeight = height;
    f->lfWeight = weight;
    return f;
}

}  // namespace

TEST_CASE("characters") {
    ViewObject o;
    o.type = kObjectText;
    o.SetText("ab\r");
    REQUIRE(o.chars.GetSize() == 3);
    CHECK(o.chars[2] == CString('\r', 1));
    CHECK(o.GetText() == "ab\r");
    o.SyncCharUnderlines();
    CHECK(o.charUnderlines.GetSize() == 3);
    o.SyncCharBoxes();
    CHECK(o.cellBoxes.GetSize() == 3);
    CHECK(o.glyphBoxes[1]->Width == 0.0f);
    o.SetText("a");
    o.SyncCharUnderlines();
    o.SyncCharBoxes();
    CHECK(o.charUnderlines.GetSize() == 1);
    CHECK(o.cellBoxes.GetSize() == 1);
    o.FreeLayoutBoxes(true);
    CHECK(o.cellBoxes.GetSize() == 0);
}

TEST_CASE("track rows") {
    ViewObject o;
    o.type = kObjectTrack;
    o.SetText(Track("1. ", "Song", " 3:05"));
    o.RebuildTrackRows();
    REQUIRE(o.trackRows.GetSize() == 1);
    const TrackRow* r = o.trackRows[0];
    CHECK(r->numberStart == 0);
    CHECK(r->numberEnd == 3);
    CHECK(r->titleStart == 4);
    CHECK(r->titleEnd == 8);
    CHECK(r->timeStart == 9);
    CHECK(r->timeEnd == 14);

    // a track without its third field end is dropped
    CString text = Track("1. ", "A", " 1:00") + "2. " + CString(B, 1) + "B" + CString(B, 1) + " 2:00";
    o.SetText(text);
    o.needsLayout = 0;
    o.RebuildTrackRows();
    CHECK(o.trackRows.GetSize() == 1);
    CHECK(o.needsLayout == 1);
}

TEST_CASE("track columns and the title area") {
    ViewObject o;
    o.type = kObjectTrack;
    o.width = 1000;
    o.height = 500;
    o.trackNumbers = "Track Numbers && Times";
    o.SetText(Track("1.", "Song", "3:05"));
    o.RebuildTrackRows();
    o.SyncCharBoxes();
    // number at x 0..20, title 100..400, time 900..960; all 10 high at y 5
    for (int i = 0; i < o.GetCharCount(); ++i) {
        float x = i < 3 ? i * 10.0f : (i < 8 ? 100.0f + (i - 3) * 60.0f : 900.0f + (i - 8) * 15.0f);
        *o.cellBoxes[i] = RectF(x, 5, 10, 10);
    }
    RectF n = o.GetTrackColumnRect(0, 1);
    CHECK(n.X == 0.0f);
    CHECK(n.Width == 30.0f);
    RectF row = o.GetTrackRowRect(0);
    CHECK(row.X == 0.0f);
    CHECK(row.GetRight() == 970.0f);
    o.LayoutTrackColumns();
    CHECK(o.titleArea.X == 30.0f);            // right of the numbers
    CHECK(o.titleArea.GetRight() == 900.0f);  // left of the times
    CHECK(o.titleArea.Y == 5.0f);
    CHECK(o.titleArea.Height == 10.0f);

    o.trackNumbers = "Text Only";
    CHECK(o.GetTrackColumnRect(0, 1).Width == 0.0f);
    CHECK(o.GetTrackColumnRect(0, 3).Width == 0.0f);
    CHECK(o.GetTrackColumnRect(0, 4).Width == 0.0f);
    RectF title = o.GetTrackColumnRect(0, 2);
    RectF whole = o.GetTrackRowRect(0);
    CHECK(whole.X == title.X);
    CHECK(whole.Width == title.Width);
}

TEST_CASE("pruning styles") {
    ViewObject o;
    o.type = kObjectText;
    o.SetText("abc");
    o.charFonts.Add(MakeFont("Arial", 100, 400));
    o.charFonts.Add(MakeFont("Arial", 100, 400));
    o.charFonts.Add(MakeFont("Arial", 120, 400));
    o.charColors.Add(new COLORREF(5));
    o.charColors.Add(new COLORREF(5));
    o.charColors.Add(new COLORREF(6));
    o.PruneCharFonts();
    o.PruneCharColors();
    CHECK(o.charFonts[1] == nullptr);
    CHECK(o.charFonts[2] != nullptr);
    CHECK(o.charColors[1] == nullptr);
    CHECK(o.charColors[2] != nullptr);
    o.FreeCharStyles();
}

TEST_CASE("new text keeping the styles") {
    SUBCASE("text object: arrays follow the character count, underline repeats") {
        ViewObject o;
        o.type = kObjectText;
        o.SetText("ab");
        o.charFonts.Add(MakeFont("Tahoma", 200, 700));
        o.charFonts.Add(nullptr);
        o.charColors.Add(new COLORREF(RGB(255, 0, 0)));
        o.charColors.Add(nullptr);
        o.charUnderlines.Add(0);
        o.charUnderlines.Add(1);
        o.needsLayout = 0;
        o.SetTextKeepStyles("abcd");
        CHECK(o.needsLayout == 1);
        CHECK(o.charFonts.GetSize() == 4);
        CHECK(o.charColors.GetSize() == 4);
        CHECK(o.charUnderlines[3] == 1);
        CHECK(std::string(o.charFonts[0]->lfFaceName) == "Tahoma");
        o.SetTextKeepStyles("x");
        CHECK(o.charFonts.GetSize() == 1);
        CHECK(o.charUnderlines.GetSize() == 1);
        o.FreeCharStyles();
    }
    SUBCASE("text without any style gets the default record for character 0") {
        ViewObject o;
        o.type = kObjectText;
        o.SetTextKeepStyles("Hi");
        REQUIRE(o.charFonts.GetSize() == 2);
        REQUIRE(o.charFonts[0] != nullptr);
        CHECK(std::string(o.charFonts[0]->lfFaceName) == "Arial");
        CHECK(o.charFonts[0]->lfHeight == 400);
        CHECK(o.charFonts[0]->lfWeight == 400);
        CHECK(o.charFonts[0]->lfCharSet == 1);
        REQUIRE(o.charColors[0] != nullptr);
        CHECK(*o.charColors[0] == 0);
        CHECK(o.charFonts[1] == nullptr);
        o.FreeCharStyles();
    }
    SUBCASE("track list: each field starts with its field's style") {
        ViewObject o;
        o.type = kObjectTrack;
        CString old = Track("1. ", "Old", " 1:00");
        o.SetText(old);
        int n = o.GetCharCount();
        for (int i = 0; i < n; ++i) {
            o.charFonts.Add(nullptr);
            o.charColors.Add(nullptr);
            o.charUnderlines.Add(0);
        }
        o.charFonts[0] = MakeFont("Num", 100, 400);
        o.charFonts[4] = MakeFont("Title", 120, 700);
        o.charUnderlines[4] = 2;
        o.charFonts[8] = MakeFont("Time", 90, 400);
        o.charColors[0] = new COLORREF(1);
        o.charColors[4] = new COLORREF(2);
        o.charColors[8] = new COLORREF(3);

        CString text = Track("1. ", "First", " 2:00") + Track("2. ", "Second", " 3:00");
        o.SetTextKeepStyles(text);
        REQUIRE(o.charFonts.GetSize() == text.GetLength());
        int secondTitle = 3 + 1 + 5 + 1 + 5 + 1 + 3 + 1;
        CHECK(std::string(o.charFonts[0]->lfFaceName) == "Num");
        CHECK(std::string(o.charFonts[4]->lfFaceName) == "Title");
        CHECK(o.charUnderlines[4] == 2);
        CHECK(o.charUnderlines[5] == 1);
        CHECK(std::string(o.charFonts[10]->lfFaceName) == "Time");
        CHECK(std::string(o.charFonts[16]->lfFaceName) == "Num");
        // the second title shares the title font of the first track
        CHECK(std::string(o.charFonts[secondTitle]->lfFaceName) == "Title");
        int withRecord = 0;
        for (int i = 0; i < o.charFonts.GetSize(); ++i)
            if (o.charFonts[i]) ++withRecord;
        CHECK(withRecord == 6);
        CHECK(o.charFonts[1] == nullptr);
        CHECK(*o.charColors[10] == 3);
        o.FreeCharStyles();
    }
    SUBCASE("track list whose old text had no styles and no field ends") {
        ViewObject o;
        o.type = kObjectTrack;
        o.SetText("x");
        o.SetTextKeepStyles(Track("1. ", "A", " 0:01"));
        REQUIRE(o.charFonts[0] != nullptr);
        CHECK(std::string(o.charFonts[0]->lfFaceName) == "Arial");
        o.FreeCharStyles();
    }
}

TEST_CASE("font and colour runs") {
    ViewObject d;
    d.type = kObjectDisc;
    d.charColors.Add(new COLORREF(RGB(255, 0, 0)));
    CString expect = CString("0") + CString(B, 1) + "255000000" + CString(B, 1);
    CHECK(d.EncodeColorRuns() == expect);
    ViewObject d2;
    d2.type = kObjectDisc;
    d2.DecodeColorRuns(expect);
    REQUIRE(d2.charColors.GetSize() == 1);
    CHECK(*d2.charColors[0] == RGB(255, 0, 0));

    ViewObject t;
    t.type = kObjectText;
    t.SetText("abc");
    t.charFonts.Add(MakeFont("Arial", 400, 700));
    t.charFonts.Add(nullptr);
    t.charFonts.Add(MakeFont("Times New Roman", 120, 400));
    t.charFonts[2]->lfItalic = 1;
    CString runs = t.EncodeFontRuns();
    ViewObject t2;
    t2.type = kObjectText;
    t2.SetText("abc");
    t2.DecodeFontRuns(runs);
    REQUIRE(t2.charFonts.GetSize() == 3);
    CHECK(t2.charFonts[1] == nullptr);
    CHECK(t2.charFonts[0]->lfWeight == 700);
    CHECK(std::string(t2.charFonts[2]->lfFaceName) == "Times New Roman");
    CHECK(t2.charFonts[2]->lfItalic == 1);
    // positions beyond the text end the decoding; a short colour group is ignored
    ViewObject t3;
    t3.type = kObjectText;
    t3.SetText("a");
    t3.DecodeColorRuns(CString("0") + CString(B, 1) + "001002003" + CString(B, 1) + "5" + CString(B, 1) +
                       "12");
    CHECK(*t3.charColors[0] == RGB(1, 2, 3));
    t.FreeCharStyles();
    t2.FreeCharStyles();
    t3.FreeCharStyles();
    d.FreeCharStyles();
    d2.FreeCharStyles();
}
