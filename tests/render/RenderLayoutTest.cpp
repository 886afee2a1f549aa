// Text and track-list layout under the platform's real font metrics, checked by relations
// (alignment, wrapping, rotation frames, the disc's ring, columns) rather than exact numbers.
#include <doctest.h>

#include "framework/graphics/GdipFont.h"

#include <cmath>
#include <string>
#include <vector>

#include "GdiplusSession.h"
#include "model/Geometry.h"
#include "render/RenderContext.h"
#include "render/TextFonts.h"
#include "render/TextLayout.h"
#include "RenderFixtures.h"

using namespace Gdiplus;

namespace {

const float kTol = 0.05f;

struct Scene {
    rt::Design d;
    ViewObject* side;
    RenderContext rc;
    explicit Scene(bool disc = false) {
        if (disc) {
            d.AddPage(1, 5600, 5600);
            side = d.Add(NewViewObject(kObjectDisc, "Disc 1", 1, "Disc 1", 0, 0, 4600, 1500));
        } else {
            d.AddPage(2, 8500, 11000);
            side = d.Add(NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", 0, 0, 5000, 5000));
        }
        rc.document = &d.doc;
        rc.currentObject = side;
    }
    ViewObject* Text(const char* text, int x, int y, int w, int h, const char* alignment = "Left",
                     const char* wrap = "") {
        ViewObject* o = d.Add(NewViewObject(kObjectText, "Text 1", side->side, side->name, x, y, w, h));
        o->alignment = alignment;
        o->wrapStyle = wrap;
        rt::SetStyledText(o, text);
        return o;
    }
    void Layout(ViewObject* o) { DrawTextObject(o, rc); }
};

RectF& Cell(ViewObject* o, int i) {
    return *o->cellBoxes[i];
}

// First characters of each visual line (by cell y), in order.
std::vector<int> LineStarts(ViewObject* o) {
    std::vector<int> starts;
    float y = -1e9f;
    for (int i = 0; i < o->GetCharCount(); ++i) {
        if (Cell(o, i).Height == 0) continue;
        if (Cell(o, i).Y != y) {
            starts.push_back(i);
            y = Cell(o, i).Y;
        }
    }
    return starts;
}

const char* kFiveTracks =
    "1. \bOne\b 1:01\b2. \bTwo\b 2:02\b3. \bThree\b 3:03\b4. \bFour\b 4:04\b5. \bFive\b 5:05\b";

}  // namespace

TEST_CASE("one line, three alignments") {
    REQUIRE(kvtest::GdiplusReady());
    Scene s;
    ViewObject* left = s.Text("Artist\b", 0, 0, 3000, 1000, "Left");
    ViewObject* right = s.Text("Artist\b", 0, 0, 3000, 1000, "Right");
    ViewObject* centre = s.Text("Artist\b", 0, 0, 3000, 1000, "Center");
    s.Layout(left);
    s.Layout(right);
    s.Layout(centre);
    CHECK(left->needsLayout == 0);
    CHECK(LineStarts(left).size() == 1);
    CHECK(Cell(left, 6).Width == 0);  // the field end takes no room
    CHECK(Cell(left, 0).X == doctest::Approx(0).epsilon(kTol));
    CHECK(Cell(left, 1).X > Cell(left, 0).X);
    const float textWidth = Cell(left, 5).X + Cell(left, 5).Width;
    CHECK(textWidth > 300);
    CHECK(textWidth < 3000);
    CHECK(Cell(right, 5).X + Cell(right, 5).Width == doctest::Approx(3000).epsilon(0.0001));
    const float leftGap = Cell(centre, 0).X, rightGap = 3000 - (Cell(centre, 5).X + Cell(centre, 5).Width);
    CHECK(leftGap == doctest::Approx(rightGap).epsilon(0.001));
    // Every glyph shares the baseline: top + ascent is the same for all letters.
    for (int i = 1; i < 6; ++i) {
        const RectF& g0 = *left->glyphBoxes[0];
        const RectF& gi = *left->glyphBoxes[i];
        CHECK(gi.Y + gi.Height == doctest::Approx(g0.Y + g0.Height));
    }
}

// A letter is measured once per font within a layout; a change of font mid-text (and a change
// back) must measure it anew.
TEST_CASE("repeated letters take the size of the font in effect at each") {
    REQUIRE(kvtest::GdiplusReady());
    Scene s;
    ViewObject* o = s.Text("mmmmmmmm\b", 0, 0, 4000, 2000);
    rt::SetCharFont(o, 3, "Arial", 400);  // twice the first font
    rt::SetCharFont(o, 6, "Arial", 200);  // the first font again
    s.Layout(o);
    const float small = Cell(o, 0).Width, large = Cell(o, 3).Width;
    CHECK(small > 0);
    CHECK(large > small * 1.8f);
    CHECK(Cell(o, 2).Width == small);
    CHECK(Cell(o, 5).Width == large);  // no record of its own: still the larger font
    CHECK(Cell(o, 6).Width == small);
    CHECK(Cell(o, 7).Width == small);
}

// Fonts and measured letters are kept from one layout to the next: a text laid out again, or
// another text in the same fonts, must come out exactly as the layout that made the fonts, and
// its records must note the resolved style as making the font does.
TEST_CASE("a second text in fonts already met is laid out as the first") {
    REQUIRE(kvtest::GdiplusReady());
    Scene s;
    auto make = [&] {
        // A size no other case uses, italic to the end (the last letter of a line is measured
        // differently in italics), and a change of font after a run of letters without records.
        ViewObject* o = s.Text("Wavy lines of italic text\b", 0, 0, 2600, 2000, "Left", "Word-Wrap");
        rt::SetCharFont(o, 0, "Arial", 237, 400, true);
        rt::SetCharFont(o, 10, "Times New Roman", 311, 700, true);
        return o;
    };
    ViewObject* first = make();
    REQUIRE(first->charFonts[0]->lfEscapement == 0);
    s.Layout(first);
    ViewObject* second = make();
    s.Layout(second);
    CHECK(first->charFonts[0]->lfEscapement != 0);
    CHECK(second->charFonts[0]->lfEscapement == first->charFonts[0]->lfEscapement);
    CHECK(second->charFonts[10]->lfEscapement == first->charFonts[10]->lfEscapement);
    REQUIRE(LineStarts(first).size() > 1);
    int differing = 0;
    for (int i = 0; i < first->GetCharCount(); ++i)
        if (!Cell(first, i).Equals(Cell(second, i)) || !first->glyphBoxes[i]->Equals(*second->glyphBoxes[i]))
            ++differing;
    CHECK(differing == 0);
    CHECK(Cell(first, 14).Width != Cell(first, 6).Width);  // "i" in each face
    // Laid out again, the first text keeps its boxes.
    const RectF last = Cell(first, first->GetCharCount() - 2);
    first->needsLayout = 1;
    s.Layout(first);
    CHECK(Cell(first, first->GetCharCount() - 2).Equals(last));
}

TEST_CASE("wrapping") {
    REQUIRE(kvtest::GdiplusReady());
    Scene s;
    SUBCASE("word wrap breaks after the last space that fits; the space stays above") {
        ViewObject* o = s.Text("one two three four five\b", 0, 0, 1400, 3000, "Left", "Word-Wrap");
        s.Layout(o);
        std::vector<int> starts = LineStarts(o);
        REQUIRE(starts.size() >= 2);
        for (size_t l = 1; l < starts.size(); ++l) {
            const int first = starts[l];
            CHECK(o->chars[first - 1] == " ");
            CHECK(Cell(o, first - 1).Y == Cell(o, starts[l - 1]).Y);  // the space ends the line above
            CHECK(Cell(o, first).X == doctest::Approx(0).epsilon(kTol));
            CHECK(Cell(o, first).Y > Cell(o, starts[l - 1]).Y);
        }
        for (int i = 0; i < o->GetCharCount(); ++i) CHECK(Cell(o, i).X + Cell(o, i).Width <= 1400.5f);
    }
    SUBCASE("right-aligned wrapped lines end with their space at the edge") {
        ViewObject* o = s.Text("one two three four five\b", 0, 0, 1400, 3000, "Right", "Word-Wrap");
        s.Layout(o);
        std::vector<int> starts = LineStarts(o);
        REQUIRE(starts.size() >= 2);
        const int space = starts[1] - 1;
        CHECK(Cell(o, space).X + Cell(o, space).Width == doctest::Approx(1400).epsilon(0.0001));
        CHECK(Cell(o, space - 1).X + Cell(o, space - 1).Width < 1400 - 10);
    }
    SUBCASE("a word wider than the box stays whole and runs past the edge") {
        ViewObject* o = s.Text("Supercalifragilistic\b", 0, 0, 500, 3000, "Left", "Word-Wrap");
        s.Layout(o);
        CHECK(LineStarts(o).size() == 1);
        CHECK(Cell(o, 19).X + Cell(o, 19).Width > 500);
    }
    SUBCASE("other styles break only at line breaks; single-line takes a line break as a space") {
        ViewObject* o = s.Text("one two three\rfour\b", 0, 0, 500, 3000, "Left", "");
        s.Layout(o);
        CHECK(LineStarts(o).size() == 2);
        ViewObject* single = s.Text("one\rtwo\b", 0, 0, 3000, 3000, "Left", "Single-Line");
        s.Layout(single);
        CHECK(LineStarts(single).size() == 1);
        CHECK(Cell(single, 3).Width > 0);
    }
    SUBCASE("an empty last line keeps a height") {
        ViewObject* o = s.Text("A\r\b", 0, 0, 3000, 3000, "Left", "");
        s.Layout(o);
        CHECK(Cell(o, 2).Height > 0);
        CHECK(Cell(o, 2).Y > Cell(o, 0).Y);
    }
}

TEST_CASE("AutoFit on a cover") {
    REQUIRE(kvtest::GdiplusReady());
    Scene s;
    ViewObject* o = s.Text("Hello\b", 0, 0, 3000, 1000, "Center");
    o->bAutoFit = 1;
    s.Layout(o);
    CHECK(o->autoFitGaveUp == 0);
    CHECK(o->bAutoFit == 1);
    const int size = o->charFonts[0]->lfHeight;
    CHECK(size % 5 == 0);
    CHECK(size > 200);
    // The block fits and is centred vertically by half the spare height.
    const RectF& c = Cell(o, 0);
    CHECK(c.X >= -0.5f);
    CHECK(Cell(o, 4).X + Cell(o, 4).Width <= 3000.5f);
    CHECK(c.Y == doctest::Approx((1000 - c.Height) / 2).epsilon(0.01));
    CHECK(c.Height <= 1000);

    // Nothing fits a box of one thousandth: the search gives up at its limit and the text keeps AutoFit.
    ViewObject* tiny = s.Text("Hello\b", 0, 0, 1, 1, "Center");
    tiny->bAutoFit = 1;
    s.Layout(tiny);
    CHECK(tiny->autoFitGaveUp == 1);
    CHECK(tiny->bAutoFit == 1);
    CHECK(tiny->charFonts[0]->lfHeight == 25);
}

TEST_CASE("rotation frames") {
    REQUIRE(kvtest::GdiplusReady());
    Scene s;
    ViewObject* o = s.Text("Abc\b", 0, 0, 1000, 3000, "Left");
    o->angle = "90 degrees";  // turned counter-clockwise on the page
    s.Layout(o);
    // The frame's origin is the object's bottom-left corner, and the text runs upwards.
    CHECK(Cell(o, 0).X == doctest::Approx(0).epsilon(kTol));
    CHECK(Cell(o, 0).Y == doctest::Approx(3000).epsilon(0.001));
    CHECK(Cell(o, 1).Y < Cell(o, 0).Y);
    for (int i = 0; i < 3; ++i) {
        RectF r = NormalizeRectF(Cell(o, i));
        CHECK(r.X >= -0.5f);
        CHECK(r.GetRight() <= 1000.5f);
        CHECK(r.Y >= -0.5f);
        CHECK(r.GetBottom() <= 3000.5f);
    }
    ViewObject* upside = s.Text("Abc\b", 0, 0, 3000, 1000, "Left");
    upside->angle = "180 degrees";
    s.Layout(upside);
    CHECK(Cell(upside, 0).X == doctest::Approx(3000).epsilon(0.001));
    CHECK(Cell(upside, 0).Y == doctest::Approx(1000).epsilon(0.001));
    CHECK(Cell(upside, 1).X < Cell(upside, 0).X);
    ViewObject* cw = s.Text("Abc\b", 0, 0, 1000, 3000, "Left");
    cw->angle = "270 degrees";  // clockwise: origin at the top-right corner, text runs down
    s.Layout(cw);
    CHECK(Cell(cw, 0).X == doctest::Approx(1000).epsilon(0.001));
    CHECK(Cell(cw, 0).Y == doctest::Approx(0).epsilon(kTol));
    CHECK(Cell(cw, 1).Y > Cell(cw, 0).Y);
}

TEST_CASE("underlines, fonts that are missing, a first character without a font") {
    REQUIRE(kvtest::GdiplusReady());
    Scene s;
    ViewObject* o = s.Text("Ab\b", 0, 0, 3000, 1000);
    o->charUnderlines[0] = 1;

    o->SyncCharBoxes();
    *o->glyphBoxes[0] = RectF(0, 0, 100, 700);
    *o->cellBoxes[0] = RectF(0, 0, 100, 900);
    SetLineBaseline(o, 1000, 0, 0, 800);
    CHECK(o->charUnderlines[0] == 50);
    CHECK(o->glyphBoxes[0]->Y == 100);  // baseline 800 - ascent 700
    CHECK(o->cellBoxes[0]->Height == 1000);
    // A tiny line keeps its underline (at least one thousandth).
    o->charUnderlines[0] = 1;
    SetLineBaseline(o, 2, 0, 0, 800);
    CHECK(o->charUnderlines[0] >= 1);

    ViewObject* missing = s.Text("Hello\b", 0, 0, 3000, 1000);
    strcpy(missing->charFonts[0]->lfFaceName, "No Such Face Anywhere");
    Font* font = nullptr;
    CreateGdipFont(&font, missing->charFonts[0], 1.0, 1.0);
    CHECK(font != nullptr);
    delete font;
    s.Layout(missing);
    CHECK(Cell(missing, 0).Width > 0);
    CHECK(Cell(missing, 0).Height > 0);

    ViewObject* bare = s.Text("Hello\b", 0, 0, 3000, 1000);
    delete bare->charFonts[0];
    bare->charFonts[0] = nullptr;
    bare->bAutoFit = 1;
    s.Layout(bare);
    REQUIRE(bare->charFonts[0] != nullptr);  // the default record, holding the size found
    CHECK(bare->charFonts[0]->lfHeight % 5 == 0);
    CHECK(Cell(bare, 0).Width > 0);
    CHECK(bare->glyphBoxes[0]->Height > 0);
}

TEST_CASE("AutoFit on a disc keeps the text in the ring and out of the hole") {
    REQUIRE(kvtest::GdiplusReady());
    Scene s(true);
    s.side->textMargin = 100;
    // Left-aligned: a line's break space may stick out past its stretch, its letters never do.
    ViewObject* o = s.Text("The quick brown fox jumps over the lazy dog and keeps running around the hole\b",
                           0, 0, 4600, 4600, "Left", "Word-Wrap");
    o->bAutoFit = 1;
    s.Layout(o);
    CHECK(o->autoFitGaveUp == 0);
    const float R = 2300, inner = 750 + 100, outer = 2300 - 100;
    bool lineAcrossHole = false;
    for (int i = 0; i < o->GetCharCount(); ++i) {
        RectF c = Cell(o, i);
        if (c.Height == 0 || c.Width == 0 || o->chars[i] == " ") continue;
        // The farthest corner stays within the outer ring (allow a thousandth of rounding).
        const float fx = std::max(std::fabs(c.X - R), std::fabs(c.GetRight() - R));
        const float fy = std::max(std::fabs(c.Y - R), std::fabs(c.GetBottom() - R));
        CHECK(fx * fx + fy * fy <= (outer + 1) * (outer + 1));
        // The nearest point to the centre stays outside the hole and its margin.
        const float nx = std::max({c.X - R, 0.0f, R - c.GetRight()});
        const float ny = std::max({c.Y - R, 0.0f, R - c.GetBottom()});
        CHECK(nx * nx + ny * ny >= (inner - 1) * (inner - 1));
        if (c.Y < R && c.GetBottom() > R) lineAcrossHole = true;
    }
    CHECK(lineAcrossHole);
}

TEST_CASE("track lists") {
    REQUIRE(kvtest::GdiplusReady());
    Scene s;
    auto makeList = [&](const char* layout, const char* numbers, const char* wrap, int w, int h) {
        ViewObject* o = s.d.Add(NewViewObject(kObjectTrack, "Track List", 2, "Front Cover", 0, 0, w, h));
        o->textLayout = layout;
        o->trackNumbers = numbers;
        o->wrapStyle = wrap;
        o->alignment = "Left";
        rt::SetStyledText(o, kFiveTracks, "Arial", 120);
        return o;
    };
    auto rowOf = [](ViewObject* o, int track) { return o->trackRows[track]; };

    SUBCASE("2 Columns: three tracks left, two right, both from the top") {
        ViewObject* o = makeList("2 Columns", "Track Numbers && Times", "", 5000, 3000);
        s.Layout(o);
        REQUIRE(o->trackRows.GetSize() == 5);
        for (int t = 0; t < 5; ++t) {
            const RectF& c = Cell(o, rowOf(o, t)->numberStart);
            if (t < 3) {
                CHECK(c.X < 0.48f * 5000);
            } else {
                CHECK(c.X == doctest::Approx(0.52f * 5000).epsilon(0.001));
            }
        }
        CHECK(Cell(o, rowOf(o, 3)->numberStart).Y == Cell(o, rowOf(o, 0)->numberStart).Y);
        CHECK(Cell(o, rowOf(o, 1)->numberStart).Y > Cell(o, rowOf(o, 0)->numberStart).Y);
    }
    SUBCASE("hidden times take no room") {
        ViewObject* o = makeList("1 Column", "Track Numbers", "", 5000, 3000);
        s.Layout(o);
        for (int t = 0; t < 5; ++t)
            for (int i = rowOf(o, t)->timeStart; i <= rowOf(o, t)->timeEnd; ++i) {
                CHECK(Cell(o, i).Width == 0);
                CHECK(Cell(o, i).Height == 0);
            }
        // Each track on its own line.
        CHECK(Cell(o, rowOf(o, 1)->titleStart).Y > Cell(o, rowOf(o, 0)->titleStart).Y);
    }
    SUBCASE("Track-Wrap puts short tracks on one line, three spaces apart") {
        ViewObject* o = makeList("1 Column", "Track Numbers && Times", "Track-Wrap", 5000, 3000);
        s.Layout(o);
        CHECK(Cell(o, rowOf(o, 1)->numberStart).Y == Cell(o, rowOf(o, 0)->numberStart).Y);
        const int gap = rowOf(o, 0)->timeEnd;
        CHECK(Cell(o, gap).Width > 0);
        CHECK(Cell(o, rowOf(o, 4)->timeEnd).Width == 0);  // the last track has no gap
    }
    SUBCASE("Table Format: times end at the right edge, titles start after the widest number") {
        ViewObject* o = makeList("Table Format", "Track Numbers && Times", "", 4000, 3000);
        s.Layout(o);
        float widestNumber = 0;
        for (int t = 0; t < 5; ++t) {
            const TrackRow* r = rowOf(o, t);
            float w = 0;
            for (int i = r->numberStart; i <= r->numberEnd; ++i) w += Cell(o, i).Width;
            widestNumber = std::max(widestNumber, w);
            const RectF& last = Cell(o, r->timeEnd - 1);
            CHECK(last.X + last.Width == doctest::Approx(4000).epsilon(0.0001));
            CHECK(Cell(o, r->numberStart).X == doctest::Approx(0).epsilon(kTol));
        }
        for (int t = 0; t < 5; ++t)
            CHECK(Cell(o, rowOf(o, t)->titleStart).X == doctest::Approx(widestNumber).epsilon(0.001));
        // Rows are stacked: each starts where the one above ends.
        for (int t = 1; t < 5; ++t) {
            const RectF& above = Cell(o, rowOf(o, t - 1)->numberStart);
            CHECK(Cell(o, rowOf(o, t)->numberStart).Y ==
                  doctest::Approx(above.Y + above.Height).epsilon(0.001));
        }
    }
}

TEST_CASE("Top && Bottom on a disc skips the band around the hole") {
    REQUIRE(kvtest::GdiplusReady());
    Scene s(true);
    s.side->textMargin = 50;
    ViewObject* o = s.d.Add(NewViewObject(kObjectTrack, "Track List", 1, "Disc 1", 800, 800, 3000, 3000));
    o->textLayout = "Top && Bottom";
    o->trackNumbers = "Track Numbers && Times";
    o->alignment = "Center";
    rt::SetStyledText(o, kFiveTracks, "Arial", 300);
    s.Layout(o);
    // The band: centre 2300, hole radius 750 and margin 50, in the object's frame (top 800).
    const float bandTop = 2300 - 800 - 800, bandBottom = 2300 + 800 - 800;
    bool below = false;
    for (int i = 0; i < o->GetCharCount(); ++i) {
        const RectF& c = Cell(o, i);
        if (c.Height == 0) continue;
        CHECK((c.GetBottom() <= bandTop + 0.01f || c.Y >= bandBottom - 0.01f));
        if (c.Y >= bandBottom - 0.01f) below = true;
    }
    CHECK(below);
}

TEST_CASE("99 tracks on a disc: shared lines fit them all; one per line gives up at 2.5 points") {
    REQUIRE(kvtest::GdiplusReady());
    std::string text;
    for (int t = 1; t <= 99; ++t)
        text += std::to_string(t) + ". \bTrack " + std::to_string(t) + "\b 3:" + std::to_string(10 + t % 50) +
                "\b";
    // The last track whose title lies inside the box.
    auto lastInside = [](ViewObject* o) {
        int last = 0;
        for (INT_PTR r = 0; r < o->trackRows.GetSize(); ++r) {
            const RectF& c = Cell(o, o->trackRows[r]->titleStart);
            if (c.Height > 0 && c.Y >= -1 && c.GetBottom() <= o->height + 1) last = static_cast<int>(r) + 1;
        }
        return last;
    };
    // The disc layouts as the track-layout commands place them: the top and bottom bands share
    // lines between tracks.
    const struct {
        const char* layout;
        int top, height;
    } kLayouts[] = {{"Top", 0, 1550}, {"Bottom", 4600 - 1550, 1550}, {"Top && Bottom", 0, 4600}};
    for (const auto& l : kLayouts) {
        CAPTURE(l.layout);
        Scene s(true);
        ViewObject* o =
            s.d.Add(NewViewObject(kObjectTrack, "Track List", 1, "Disc 1", 0, l.top, 4600, l.height));
        o->textLayout = l.layout;
        o->trackNumbers = "Track Numbers && Times";
        o->wrapStyle = "Track-Wrap";
        o->alignment = "Center";
        rt::SetStyledText(o, text.c_str(), "Arial", 400);
        o->bAutoFit = 1;
        s.Layout(o);
        CHECK(o->autoFitGaveUp == 0);
        CHECK(o->charFonts[0]->lfHeight > 25);
        CHECK(lastInside(o) == 99);
    }
    // One track per line in a box of 1.5 inch: no size fits, the search stops at its limit and
    // says so; every track is still laid out, one below the other, and the drawing clips them.
    Scene s(true);
    ViewObject* o = s.d.Add(NewViewObject(kObjectTrack, "Track List", 1, "Disc 1", 1550, 2650, 1500, 1500));
    o->textLayout = "Bottom";
    o->trackNumbers = "Track Numbers && Times";
    o->wrapStyle = "Word-Wrap";
    o->alignment = "Center";
    rt::SetStyledText(o, text.c_str(), "Arial", 400);
    o->bAutoFit = 1;
    s.Layout(o);
    CHECK(o->autoFitGaveUp == 1);
    CHECK(o->bAutoFit == 1);
    CHECK(o->charFonts[0]->lfHeight == 25);
    CHECK(lastInside(o) < 99);
    float previous = -1;
    for (INT_PTR r = 0; r < o->trackRows.GetSize(); ++r) {
        const RectF& c = Cell(o, o->trackRows[r]->titleStart);
        CHECK(c.Height > 0);
        CHECK(c.Y > previous);
        previous = c.Y;
    }
}
