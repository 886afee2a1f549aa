// The text format of the album fields. Every field text ends with one 0x08; the track list is a
// run of records of three 0x08-terminated fields each (number, title, time), with nothing
// between them. Line breaks inside a field are a single "\r".
//
// Track lists come from files, the clipboard and the disc sources, so every reader here accepts
// any bytes: a record cut short is a record whose missing fields are empty, bytes after the last
// 0x08 belong to the record they continue (and make none of their own), and nothing is read
// past the end. Record numbers are 1-based positions, not the numbers written in field 1.
#pragma once

#include <vector>

#include "framework/core/Strings.h"

// The field terminator.
const char kTrackFieldEnd = 0x08;

// Field numbers of a track record.
enum TrackField { kTrackNumberField = 1, kTrackTitleField = 2, kTrackTimeField = 3 };

// The three fields of one record; missing fields of a record cut short are empty.
struct TrackRecordFields {
    CString number;
    CString title;
    CString time;
    const CString& Field(int field) const { return field == 1 ? number : field == 2 ? title : time; }
};

// One grid row: its record (1-based) and the line of each field the row shows (column 1 number,
// 2 title, 3 time; index 0 unused). An empty line shows as one blank, a field with fewer lines
// than the record's rows leaves the cell empty.
struct TrackGridRow {
    int record = 0;
    CString cells[4];
};

// ---- field texts ----------------------------------------------------------------------------------

// The text as stored from an edit box: CR LF becomes CR, every 0x08 goes (typed into a field it
// would split the records) and a tab becomes a blank.
CString CleanFieldText(const CString& text);
// The text of a pasted clipboard text: 0x08 removed, a tab becomes a blank.
CString CleanPastedText(const CString& text);
// The stored text of a plain field (Artist, Title, ...): cleaned, closed with one 0x08.
CString MakePlainFieldText(const CString& text);
// A stored text as an edit box shows it: "\r" becomes "\r\n", the 0x08 bytes go.
CString FieldTextForDisplay(const CString& text);
// Whether an object or field name names the track list (its first 10 characters).
BOOL IsTrackListName(const CString& name);

// ---- reading ----------------------------------------------------------------------------------

// Complete records: the number of 0x08 characters divided by 3.
int CountTrackRecords(const CString& text);
// Every record, the last one possibly cut short. A text without 0x08 has none.
std::vector<TrackRecordFields> SplitTrackRecords(const CString& text);
// One field of one record; empty when the record or field does not exist.
CString GetTrackField(const CString& text, int record, int field);
// The rows a grid shows for the text, records in order.
std::vector<TrackGridRow> BuildTrackRows(const CString& text);

// ---- rewriting ----------------------------------------------------------------------------------
// Each returns the new text; a refused change returns the text unchanged.

// Field `field` of record `record` becomes `value` (cleaned); nothing else changes. Refused for
// a record that does not exist. A record cut short gets the terminators up to that field.
CString SetTrackField(const CString& text, int record, int field, const CString& value);
// The texts of one field of a record and of its neighbour (record - 1 when up, + 1 otherwise)
// change places; the other two fields stay. Refused upward for record 1 and downward for the last.
CString SwapTrackField(const CString& text, int record, int field, bool up);
// Cuts one record out (the numbers of the records behind it are not rewritten). Refused for a
// record that does not exist and for the only record.
CString RemoveTrackRecord(const CString& text, int record);
// The text with `count` records: records are cut after record `count`, or records old + 1 ...
// count are appended as "<n>. ", "Track <n><suffix>", " 0:<nn>". A record cut short is completed
// before records are appended. A count below 1, or equal to the present count, changes nothing.
CString ResizeTrackList(const CString& text, int count, const CString& discSuffix);

// ---- writers of whole records (the Read CD transfer) --------------------------------------------------

// A playing time as a time field: one blank, minutes, ":", seconds in two digits.
CString FormatTrackTime(int seconds);
// One record of an MP3 folder's track grid, row index from 0.
CString MakeMp3TrackRecord(int rowIndex, const CString& title, const CString& timeText);
// One record per disc track: record i keeps its title and gets the number "i. " and the disc's
// time; a missing record gets the title "Track i" with the disc suffix. Records beyond the disc's
// tracks go.
CString WriteTrackTimes(const CString& text, const std::vector<int>& seconds, const CString& discSuffix);
// Each record keeps its number and time and takes the next title (cleaned, trimmed); the result
// has as many records as the smaller of the two counts.
CString TransferTrackTitles(const CString& text, const std::vector<CString>& titles);
