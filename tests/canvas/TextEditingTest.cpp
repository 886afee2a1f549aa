// The in-place editing algorithms as functions over an object and the editor's state: deleting at
// the edges and after separators, deleting everything, track-field snapping and renumbering, font
// runs that continue after a deletion, inserting at 0, in a run, after a separator and at the end,
// and the character under a point for each pass and angle.
#include <doctest.h>

#include <cstring>
#include <string>

#include "canvas/TextEditing.h"
#include "model/ViewObject.h"

using namespace TextEditing;

namespace {

// An object whose characters are `text` ('\b' is the field end), with a font record on the
// first character (and on any index listed in `fonts`) and a colour record on the first.
struct Obj {
    explicit Obj(int type, const char* text, std::initializer_list<int> fonts = {}) {
        o.type = type;
        o.SetText(text);
        for (int i = 0; i < o.GetCharCount(); ++i) {
            o.charFonts.Add(nullptr);
            o.charColors.Add(nullptr);
            o.charUnderlines.Add(0);
        }
        o.charFonts[0] = ViewObject::NewDefaultFontRecord();
        o.charColors[0] = new COLORREF(RGB(10, 20, 30));
        for (int i : fonts) {
            o.charFonts[i] = ViewObject::NewDefaultFontRecord();
            std::strcpy(o.charFonts[i]->lfFaceName, "Courier New");
            o.charFonts[i]->lfHeight = 100 + i;
        }
        if (type == kObjectTrack) {
            o.trackNumbers = "Track Numbers && Times";
            o.RebuildTrackRows();
        }
    }
    ~Obj() { o.FreeCharStyles(); }
    ViewObject o;
};

const char* kTracks3 = "1. \bOne\b 0:01\b2. \bTwo\b 0:02\b3. \bThree\b 0:03\b";

int Records(const ViewObject& o) {
    int n = 0;
    for (INT_PTR i = 0; i < o.charFonts.GetSize(); ++i) n += o.charFonts[i] != nullptr;
    return n;
}

}  // namespace

TEST_CASE("backspace and delete at the edges and after separators") {
    Obj text(kObjectText, "Hello\b");
    TextEditState st;
    int from = 0, to = 0;
    bool rows = false;
    st.m_selStart = st.m_selEnd = 0;
    CHECK_FALSE(GetDeleteRange(text.o, st, true, from, to, rows));  // nothing before the caret
    st.m_selStart = st.m_selEnd = 3;
    REQUIRE(GetDeleteRange(text.o, st, true, from, to, rows));
    CHECK(from == 2);
    CHECK(to == 2);
    DeleteRange(text.o, st, from, to, rows);
    CHECK(text.o.GetText() == "Helo\b");
    CHECK(CaretAfterDelete(text.o, st, from, rows) == 2);

    Obj tracks(kObjectTrack, kTracks3);
    st = TextEditState();
    // The caret just after the number field's separator: nothing is deleted.
    st.m_selStart = st.m_selEnd = 4;
    CHECK_FALSE(GetDeleteRange(tracks.o, st, true, from, to, rows));
    // A selection holding a separator keeps it.
    SetSelection(tracks.o, st, 5, 7);  // "ne" and the title's separator, inside one field
    st.m_selEnd = 8;
    REQUIRE(GetDeleteRange(tracks.o, st, false, from, to, rows));
    DeleteRange(tracks.o, st, from, to, rows);
    CHECK(tracks.o.GetText().Left(10) == "1. \bO\b 0:0");
}

TEST_CASE("deleting every track leaves the default row with the first records") {
    Obj tracks(kObjectTrack, "1. \bOne\b 0:01\b2. \bTwo\b 0:02\b");
    std::strcpy(tracks.o.charFonts[0]->lfFaceName, "Courier New");
    TextEditState st;
    SetSelection(tracks.o, st, -1, -1);
    CHECK(st.m_startField == 1);
    CHECK(st.m_endField == 3);
    int from = 0, to = 0;
    bool rows = false;
    REQUIRE(GetDeleteRange(tracks.o, st, true, from, to, rows));
    CHECK(rows);
    CHECK(DeleteRange(tracks.o, st, from, to, rows));  // emptied: the tip is due
    CHECK(tracks.o.GetText() == "1. \bTrack 1\b 0:01\b");
    // Character 0 has the set-aside records, never null ones.
    REQUIRE(tracks.o.charFonts[0] != nullptr);
    CHECK(std::string(tracks.o.charFonts[0]->lfFaceName) == "Courier New");
    REQUIRE(tracks.o.charColors[0] != nullptr);
    CHECK(*tracks.o.charColors[0] == RGB(10, 20, 30));
    CHECK(tracks.o.charFonts.GetSize() == tracks.o.GetCharCount());
    CHECK(tracks.o.trackRows.GetSize() == 1);
}

TEST_CASE("a selection across fields snaps to whole fields; whole rows go and the rest is renumbered") {
    Obj tracks(kObjectTrack, kTracks3);
    TextEditState st;
    // From inside row 0's title to inside row 1's time.
    SetSelection(tracks.o, st, 5, 24);
    CHECK(st.m_startRow == 0);
    CHECK(st.m_startField == 2);
    CHECK(st.m_endRow == 1);
    CHECK(st.m_endField == 3);
    CHECK(st.m_selStart == FieldFirst(tracks.o, 0, 2));
    CHECK(st.m_selEnd == FieldEnd(tracks.o, 1, 3));
    // Backwards the same.
    TextEditState back;
    SetSelection(tracks.o, back, 24, 5);
    CHECK(back.m_selStart == st.m_selStart);
    CHECK(back.m_selEnd == st.m_selEnd);
    // Deleting those fields keeps every separator.
    int from = 0, to = 0;
    bool rows = false;
    REQUIRE(GetDeleteRange(tracks.o, st, true, from, to, rows));
    CHECK_FALSE(rows);
    DeleteRange(tracks.o, st, from, to, rows);
    CHECK(tracks.o.GetText() == "1. \b\b\b2. \b\b\b3. \bThree\b 0:03\b");

    // The second row whole: it goes and the rows are numbered 1, 2.
    Obj again(kObjectTrack, kTracks3);
    TextEditState st2;
    SetSelection(again.o, st2, FieldFirst(again.o, 1, 1), FieldEnd(again.o, 1, 3));
    REQUIRE(GetDeleteRange(again.o, st2, true, from, to, rows));
    CHECK(rows);
    DeleteRange(again.o, st2, from, to, rows);
    CHECK(again.o.GetText() == "1. \bOne\b 0:01\b3. \bThree\b 0:03\b");
    CHECK(RenumberTracks(again.o));
    CHECK(again.o.GetText() == "1. \bOne\b 0:01\b2. \bThree\b 0:03\b");
    CHECK(CaretAfterDelete(again.o, st2, from, rows) == FieldFirst(again.o, 1, 1));
    // Rows whose number is not digits and "." are left alone.
    Obj odd(kObjectTrack, "A. \bOne\b 0:01\b");
    CHECK_FALSE(RenumberTracks(odd.o));
    // Ten rows and more take two digits.
    std::string many;
    for (int i = 0; i < 11; ++i) many += "1. \bT\b 0:01\b";
    Obj eleven(kObjectTrack, many.c_str());
    CHECK(RenumberTracks(eleven.o));
    CHECK(eleven.o.GetText().Right(13) == "11. \bT\b 0:01\b");
    CHECK(eleven.o.charFonts.GetSize() == eleven.o.GetCharCount());
}

TEST_CASE("a deleted run's record continues in the first character after the deletion") {
    // "AB CD": a record of its own on 'C'.
    Obj text(kObjectText, "AB CD\b", {3});
    TextEditState st;
    st.m_selStart = 2;
    st.m_selEnd = 4;  // " C"
    int from = 0, to = 0;
    bool rows = false;
    REQUIRE(GetDeleteRange(text.o, st, true, from, to, rows));
    DeleteRange(text.o, st, from, to, rows);
    CHECK(text.o.GetText() == "ABD\b");
    REQUIRE(text.o.charFonts[2] != nullptr);
    CHECK(text.o.charFonts[2]->lfHeight == 103);  // 'D' keeps the run 'C' started
    // Deleting from 0 puts the first record back on the new first character.
    Obj first(kObjectText, "XYZ\b");
    first.o.charFonts[0]->lfHeight = 777;
    TextEditState all;
    all.m_selStart = 0;
    all.m_selEnd = 2;
    REQUIRE(GetDeleteRange(first.o, all, true, from, to, rows));
    DeleteRange(first.o, all, from, to, rows);
    CHECK(first.o.GetText() == "Z\b");
    REQUIRE(first.o.charFonts[0] != nullptr);
    CHECK(first.o.charFonts[0]->lfHeight == 777);
}

TEST_CASE("inserting at 0, inside a run, after a separator and at the end") {
    Obj text(kObjectText, "Hello\b");
    LOGFONTA* first = text.o.charFonts[0];
    InsertChars(text.o, 0, "X");
    CHECK(text.o.GetText() == "XHello\b");
    CHECK(text.o.charFonts[0] == first);  // the new first character takes over the run
    CHECK(text.o.charFonts[1] == nullptr);
    InsertChars(text.o, 3, "yz");
    CHECK(text.o.GetText() == "XHeyzllo\b");
    CHECK(Records(text.o) == 1);  // inside a run: no record of their own
    CHECK(text.o.charFonts.GetSize() == text.o.GetCharCount());
    text.o.charUnderlines[text.o.GetCharCount() - 1] = 1;
    InsertChars(text.o, text.o.GetCharCount(), "!");
    CHECK(text.o.GetText() == "XHeyzllo\b!");
    CHECK(text.o.charUnderlines[text.o.GetCharCount() - 1] == 1);  // the underline before it

    // After a separator the new character takes the following character's run.
    Obj tracks(kObjectTrack, "1. \bOne\b 0:01\b", {4});
    LOGFONTA* title = tracks.o.charFonts[4];
    InsertChars(tracks.o, 4, "A");
    CHECK(tracks.o.GetText() == "1. \bAOne\b 0:01\b");
    CHECK(tracks.o.charFonts[4] == title);
    CHECK(tracks.o.charFonts[5] == nullptr);
    CHECK(tracks.o.trackRows.GetSize() == 1);
}

namespace {

void Box(ViewObject& o, float x, float y, float w, float h) {
    o.cellBoxes.Add(new Gdiplus::RectF(x, y, w, h));
}

}  // namespace

TEST_CASE("the character under a point: the four passes and the reading direction of each angle") {
    // "AB" on line 1, "CD" and the closing separator on line 2.
    Obj text(kObjectText, "AB\rCD\b");
    ViewObject& o = text.o;
    Box(o, 0, 0, 10, 20);
    Box(o, 10, 0, 10, 20);
    Box(o, 20, 0, 0, 20);
    Box(o, 0, 20, 10, 20);
    Box(o, 10, 20, 10, 20);
    Box(o, 20, 20, 0, 20);
    o.angle = "0 degrees";
    // Pass 1: inside a box; the right half puts the caret after it.
    CHECK(CharIndexFromPoint(o, 3, 5) == 0);
    CHECK(CharIndexFromPoint(o, 7, 5) == 1);
    CHECK(CharIndexFromPoint(o, 13, 25) == 4);
    // Pass 2: beyond the end of line 1, the nearest box of that line; the line break has no
    // width, and the point lies past the middle of the character before it: the line's end.
    CHECK(CharIndexFromPoint(o, 60, 5) == 2);
    // Pass 3: below every line, the nearest line, then the nearest box on it.
    CHECK(CharIndexFromPoint(o, 3, 100) == 3);
    // Past the end of the text: after its last letter, before the closing separator.
    CHECK(CharIndexFromPoint(o, 60, 25) == 5);
    // Angle 180 reads right to left: the left half is after.
    o.angle = "180 degrees";
    CHECK(CharIndexFromPoint(o, 3, 5) == 1);
    CHECK(CharIndexFromPoint(o, 7, 5) == 0);
    for (INT_PTR i = 0; i < o.cellBoxes.GetSize(); ++i) delete o.cellBoxes[i];
    o.cellBoxes.RemoveAll();

    // Turned text: the lines run down the page.
    Obj down(kObjectText, "AB\b");
    Box(down.o, 0, 0, 20, 10);
    Box(down.o, 0, 10, 20, 10);
    Box(down.o, 0, 20, 20, 0);
    down.o.angle = "270 degrees";  // drawn turned by 90: reads downwards
    CHECK(CharIndexFromPoint(down.o, 5, 3) == 0);
    CHECK(CharIndexFromPoint(down.o, 5, 8) == 1);
    down.o.angle = "90 degrees";  // drawn turned by 270: reads upwards
    CHECK(CharIndexFromPoint(down.o, 5, 3) == 1);
    CHECK(CharIndexFromPoint(down.o, 5, 8) == 0);
    // Pass 2 for turned text takes the column under x; below the end of a text that reads
    // downwards is after its last letter.
    CHECK(CharIndexFromPoint(down.o, 5, 50) == 1);
    down.o.angle = "270 degrees";
    CHECK(CharIndexFromPoint(down.o, 5, 50) == 2);
    for (INT_PTR i = 0; i < down.o.cellBoxes.GetSize(); ++i) delete down.o.cellBoxes[i];
    down.o.cellBoxes.RemoveAll();

    // A table: a point level with a row but in the other column, and a point outside every row,
    // go to the nearest character that is no separator (pass 4).
    Obj table(kObjectTrack, "1. \bOne\b");
    table.o.textLayout = "Table Format";
    table.o.titleArea = Gdiplus::RectF(30, 0, 40, 20);
    Box(table.o, 0, 0, 10, 20);
    Box(table.o, 10, 0, 10, 20);
    Box(table.o, 20, 0, 5, 20);
    Box(table.o, 25, 0, 0, 20);
    Box(table.o, 30, 0, 10, 20);
    Box(table.o, 40, 0, 10, 20);
    Box(table.o, 50, 0, 10, 20);
    Box(table.o, 60, 0, 0, 20);
    // Both past the title's end: after its last letter.
    CHECK(CharIndexFromPoint(table.o, 80, 10) == 7);  // right of the title column: only title boxes
    CHECK(CharIndexFromPoint(table.o, 80, 60) == 7);  // below the row: pass 4
    for (INT_PTR i = 0; i < table.o.cellBoxes.GetSize(); ++i) delete table.o.cellBoxes[i];
    table.o.cellBoxes.RemoveAll();
}

TEST_CASE("caret keys in a track list skip the hidden number field") {
    Obj tracks(kObjectTrack, "1. \bOne\b 0:01\b2. \bTwo\b 0:02\b");
    tracks.o.trackNumbers = "Track Times";  // numbers hidden
    TextEditState st;
    const int secondTitle = FieldFirst(tracks.o, 1, 2);
    SetSelection(tracks.o, st, secondTitle, secondTitle);
    // One left of the second row's title falls into its hidden number: the previous row's end.
    CHECK(MoveCaretIndex(tracks.o, st, kKeyLeft) == FieldEnd(tracks.o, 0, 3));
    SetSelection(tracks.o, st, 2, 5);
    CHECK(MoveCaretIndex(tracks.o, st, kKeyRight) == st.m_selEnd);  // a selection collapses to its end
}
