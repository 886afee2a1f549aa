// The album fields' text format: records, fields, rows, single-field rewrites, whole-record
// writers, and texts that break the format (cut short, stray bytes) read without running past
// their end.
#include <doctest.h>

#include <string>

#include "model/TrackListText.h"

namespace {

// Writes 0x08 as '|' so that texts read in a failure message and can be written in a test.
CString T(const char* bars) {
    CString text(bars);
    text.Replace('|', kTrackFieldEnd);
    return text;
}

std::string Shown(const CString& text) {
    CString copy = text;
    copy.Replace(kTrackFieldEnd, '|');
    return copy.str();
}

int Ends(const CString& text) {
    int n = 0;
    for (int i = 0; i < text.GetLength(); ++i) n += text[i] == kTrackFieldEnd;
    return n;
}

const char* const kThree = "1. |One| 3:01|2. |Two| 4:02|3. |Three| 5:03|";

}  // namespace

TEST_CASE("records and fields of a well-formed track list") {
    const CString text = T(kThree);
    CHECK(CountTrackRecords(text) == 3);
    auto records = SplitTrackRecords(text);
    REQUIRE(records.size() == 3);
    CHECK(records[1].number == CString("2. "));
    CHECK(records[1].title == CString("Two"));
    CHECK(records[1].time == CString(" 4:02"));
    CHECK(GetTrackField(text, 3, kTrackTitleField) == CString("Three"));
    CHECK(GetTrackField(text, 1, kTrackTimeField) == CString(" 3:01"));
    // Positions, not the written numbers, name the records; outside them there is nothing.
    CHECK(GetTrackField(text, 0, 1).IsEmpty());
    CHECK(GetTrackField(text, 4, 1).IsEmpty());
    CHECK(GetTrackField(text, 1, 4).IsEmpty());
    CHECK(SplitTrackRecords("").empty());
    CHECK(SplitTrackRecords("no terminator at all").empty());
}

TEST_CASE("grid rows: one per line of the record's tallest field") {
    // Record 1: number 1 line, title 3 lines (the middle one empty), time 1 line.
    // Record 2: empty title and a two-line time.
    const CString text = T("1. |Long\r\rtitle| 3:00|2. || 1:00\r(live)|");
    auto rows = BuildTrackRows(text);
    REQUIRE(rows.size() == 5);
    CHECK(rows[0].record == 1);
    CHECK(rows[2].record == 1);
    CHECK(rows[3].record == 2);
    CHECK(rows[4].record == 2);
    CHECK(rows[0].cells[1] == CString("1. "));
    CHECK(rows[0].cells[2] == CString("Long"));
    CHECK(rows[1].cells[2] == CString(" "));  // an empty line shows as one blank
    CHECK(rows[2].cells[2] == CString("title"));
    CHECK(rows[1].cells[1].IsEmpty());  // the number has no second line
    CHECK(rows[1].cells[3].IsEmpty());
    CHECK(rows[3].cells[2] == CString(" "));  // the empty title in the first row...
    CHECK(rows[4].cells[2].IsEmpty());        // ...and nothing in the second
    CHECK(rows[3].cells[3] == CString(" 1:00"));
    CHECK(rows[4].cells[3] == CString("(live)"));
    CHECK(BuildTrackRows("").empty());
}

TEST_CASE("rewriting one field leaves every other byte alone") {
    const CString text = T(kThree);
    CHECK(Shown(SetTrackField(text, 2, kTrackTitleField, "Deux")) ==
          "1. |One| 3:01|2. |Deux| 4:02|3. |Three| 5:03|");
    // Enter in a cell stores a lone CR; 0x08 and tabs never reach the text.
    CHECK(Shown(SetTrackField(text, 1, kTrackTitleField, T("a\r\nb\tc|d"))) ==
          "1. |a\rb cd| 3:01|2. |Two| 4:02|3. |Three| 5:03|");
    CHECK(Shown(SetTrackField(text, 3, kTrackNumberField, "")) ==
          "1. |One| 3:01|2. |Two| 4:02||Three| 5:03|");
    // A record that does not exist is not written.
    CHECK(SetTrackField(text, 0, 1, "x") == text);
    CHECK(SetTrackField(text, 4, 1, "x") == text);
    CHECK(SetTrackField(text, 1, 0, "x") == text);
}

TEST_CASE("moving a field up or down swaps it with the neighbour's, in that column only") {
    const CString text = T(kThree);
    CHECK(Shown(SwapTrackField(text, 2, kTrackTitleField, true)) ==
          "1. |Two| 3:01|2. |One| 4:02|3. |Three| 5:03|");
    CHECK(Shown(SwapTrackField(text, 2, kTrackTimeField, false)) ==
          "1. |One| 3:01|2. |Two| 5:03|3. |Three| 4:02|");
    CHECK(SwapTrackField(text, 1, kTrackTitleField, true) == text);
    CHECK(SwapTrackField(text, 3, kTrackTitleField, false) == text);
    CHECK(SwapTrackField(text, 5, kTrackTitleField, true) == text);
}

TEST_CASE("removing a record keeps the numbers written in the others") {
    const CString text = T(kThree);
    CHECK(Shown(RemoveTrackRecord(text, 2)) == "1. |One| 3:01|3. |Three| 5:03|");
    CHECK(Shown(RemoveTrackRecord(text, 3)) == "1. |One| 3:01|2. |Two| 4:02|");
    CHECK(RemoveTrackRecord(text, 0) == text);
    CHECK(RemoveTrackRecord(text, 4) == text);
    const CString one = T("1. |Only| 1:00|");
    CHECK(RemoveTrackRecord(one, 1) == one);
}

TEST_CASE("the track count appends numbered records or cuts the text") {
    CString seven = ResizeTrackList("", 7, " - Disc 2");
    CHECK(CountTrackRecords(seven) == 7);
    CHECK(Ends(seven) == 21);
    CHECK(GetTrackField(seven, 3, kTrackTitleField) == CString("Track 3 - Disc 2"));
    CHECK(GetTrackField(seven, 3, kTrackTimeField) == CString(" 0:03"));
    CString nine = ResizeTrackList(seven, 9, " - Disc 2");
    CHECK(nine.Left(seven.GetLength()) == seven);
    CHECK(Shown(nine.Mid(seven.GetLength())) == "8. |Track 8 - Disc 2| 0:08|9. |Track 9 - Disc 2| 0:09|");
    CHECK(Shown(ResizeTrackList(T(kThree), 1, "")) == "1. |One| 3:01|");
    CHECK(ResizeTrackList(T(kThree), 3, "") == T(kThree));
    CHECK(ResizeTrackList(T(kThree), 0, "") == T(kThree));
    CHECK(ResizeTrackList(T(kThree), -4, "") == T(kThree));
    CString hundred = ResizeTrackList("", 100, "");
    CHECK(GetTrackField(hundred, 100, kTrackTimeField) == CString(" 0:100"));
}

TEST_CASE("texts cut short or carrying stray bytes are read without running past their end") {
    SUBCASE("a record cut short is a record whose missing fields are empty") {
        const CString cut = T("1. |One| 3:01|2. |Tw");
        auto records = SplitTrackRecords(cut);
        REQUIRE(records.size() == 2);
        CHECK(records[1].number == CString("2. "));
        CHECK(records[1].title == CString("Tw"));  // the bytes after the last terminator continue it
        CHECK(records[1].time.IsEmpty());
        // Writing its missing time terminates the fields on the way.
        CHECK(Shown(SetTrackField(cut, 2, kTrackTimeField, " 0:09")) == "1. |One| 3:01|2. |Tw| 0:09|");
        // Growing completes it first, so the new record starts on a record boundary.
        const CString grown = ResizeTrackList(cut, 3, "");
        CHECK(Shown(grown) == "1. |One| 3:01|2. |Tw||3. |Track 3| 0:03|");
        // Removing it takes its stray bytes along.
        CHECK(Shown(RemoveTrackRecord(cut, 2)) == "1. |One| 3:01|");
        CHECK(Shown(SwapTrackField(cut, 2, kTrackTitleField, true)) == "1. |Tw| 3:01|2. |One|");
    }
    SUBCASE("bytes after a complete record make no record") {
        const CString stray = T("1. |One| 3:01|junk");
        CHECK(SplitTrackRecords(stray).size() == 1);
        CHECK(BuildTrackRows(stray).size() == 1);
        CHECK(Shown(ResizeTrackList(stray, 2, "")) == "1. |One| 3:01|2. |Track 2| 0:02|");
        CHECK(SetTrackField(stray, 2, 1, "x") == stray);
    }
    SUBCASE("every prefix of a text reads as whole and partial records") {
        const CString full = T("1. |One\rmore| 3:01|2. || 4:02|3. |Three| 5:03|");
        for (int n = 0; n <= full.GetLength(); ++n) {
            const CString part = full.Left(n);
            const int ends = Ends(part);
            auto records = SplitTrackRecords(part);
            CHECK(records.size() == static_cast<size_t>((ends + 2) / 3));
            for (size_t r = 0; r < records.size(); ++r) {
                for (int f = 1; f <= 3; ++f) {
                    const CString whole = GetTrackField(full, static_cast<int>(r) + 1, f);
                    CHECK(whole.Left(records[r].Field(f).GetLength()) == records[r].Field(f));
                }
            }
            // Any count gives a text of whole records only.
            const CString five = ResizeTrackList(part, 5, "");
            CHECK(Ends(five) == 15);
            CHECK(five.Right(1) == CString(kTrackFieldEnd));
        }
    }
}

TEST_CASE("writers of whole records from a disc") {
    CHECK(FormatTrackTime(0) == CString(" 0:00"));
    CHECK(FormatTrackTime(9) == CString(" 0:09"));
    CHECK(FormatTrackTime(65) == CString(" 1:05"));
    CHECK(FormatTrackTime(610) == CString(" 10:10"));
    CHECK(FormatTrackTime(-3) == CString(" 0:00"));
    CHECK(Shown(MakeMp3TrackRecord(0, T("Song\ta|"), "3:21")) == "1. |Song a| 3:21|");

    SUBCASE("track times keep the titles and make one record per disc track") {
        const CString text = T("7. |First| 9:99|8. |Second| 9:99|");
        CHECK(Shown(WriteTrackTimes(text, {61, 125, 3}, " - Disc 2")) ==
              "1. |First| 1:01|2. |Second| 2:05|3. |Track 3 - Disc 2| 0:03|");
        CHECK(Shown(WriteTrackTimes(T(kThree), {10}, "")) == "1. |One| 0:10|");
        CHECK(WriteTrackTimes(T(kThree), {}, "").IsEmpty());
    }
    SUBCASE("titles of a match: as many records as the smaller count") {
        const CString text = T(kThree);
        CHECK(Shown(TransferTrackTitles(text, {"  Un\t", T("Deux|x")})) == "1. |Un| 3:01|2. |Deuxx| 4:02|");
        CHECK(Shown(TransferTrackTitles(text, {"a", "b", "c", "d", "e"})) ==
              "1. |a| 3:01|2. |b| 4:02|3. |c| 5:03|");
        CHECK(TransferTrackTitles(text, {}).IsEmpty());
        CHECK(TransferTrackTitles("", {"a"}).IsEmpty());
    }
}

TEST_CASE("field texts between the design and the edit boxes") {
    CHECK(Shown(CleanFieldText(T("a\r\nb\tc|d\r"))) == "a\rb cd\r");
    CHECK(Shown(MakePlainFieldText("Artist\r\nName")) == "Artist\rName|");
    CHECK(Shown(CleanPastedText(T("x\ty|z\r\n"))) == "x yz\r\n");
    CHECK(FieldTextForDisplay(T("Two\rlines|")) == CString("Two\r\nlines"));
    CHECK(FieldTextForDisplay("a\r\nb\r") == CString("a\r\nb\r\n"));
    CHECK(IsTrackListName("Track List - Disc 2"));
    CHECK_FALSE(IsTrackListName("Track Lis"));
    CHECK_FALSE(IsTrackListName("Title"));
}
