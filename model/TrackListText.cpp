// The album fields' text format: sanitising, reading track records into fields and grid rows,
// rewriting single fields and whole records.
#include "model/TrackListText.h"

#include <algorithm>

namespace {

// A track-list text taken apart: the 0x08-terminated fields in order, and the bytes after the
// last terminator. Those bytes continue the last record when it is cut short; after a complete
// record they start nothing that a reader shows.
struct ParsedTrackList {
    std::vector<CString> fields;
    CString tail;

    explicit ParsedTrackList(const CString& text) {
        int start = 0;
        for (int i = 0; i < text.GetLength(); ++i) {
            if (text[i] != kTrackFieldEnd) continue;
            fields.push_back(text.Mid(start, i - start));
            start = i + 1;
        }
        tail = text.Mid(start);
    }

    int FieldCount() const { return static_cast<int>(fields.size()); }
    // A record exists as soon as one of its fields is terminated.
    int RecordCount() const { return (FieldCount() + 2) / 3; }
    bool TailContinuesRecord() const { return FieldCount() % 3 != 0; }
    bool HasRecord(int record) const { return record >= 1 && record <= RecordCount(); }
    static int Index(int record, int field) { return (record - 1) * 3 + (field - 1); }

    CString Field(int record, int field) const {
        if (!HasRecord(record) || field < 1 || field > 3) return CString();
        const int index = Index(record, field);
        if (index < FieldCount()) return fields[index];
        if (index == FieldCount() && TailContinuesRecord()) return tail;
        return CString();
    }

    // Terminates the fields of the last record up to `index`, so that it can be written.
    void Materialise(int index) {
        if (index < FieldCount()) return;
        if (TailContinuesRecord()) {
            fields.push_back(tail);
            tail.Empty();
        }
        while (FieldCount() <= index) fields.push_back(CString());
    }

    CString Join() const {
        CString text;
        for (const CString& field : fields) {
            text += field;
            text += kTrackFieldEnd;
        }
        text += tail;
        return text;
    }
};

CString MakeRecord(const CString& number, const CString& title, const CString& time) {
    CString record;
    record += number;
    record += kTrackFieldEnd;
    record += title;
    record += kTrackFieldEnd;
    record += time;
    record += kTrackFieldEnd;
    return record;
}

CString NumberField(int n) {
    CString number;
    number.Format("%d. ", n);
    return number;
}

// The lines of a field; a stray line feed shows nothing.
std::vector<CString> FieldLines(const CString& field) {
    std::vector<CString> lines(1);
    for (int i = 0; i < field.GetLength(); ++i) {
        const char c = field[i];
        if (c == '\r')
            lines.emplace_back();
        else if (c != '\n')
            lines.back() += c;
    }
    return lines;
}

}  // namespace

CString CleanFieldText(const CString& text) {
    CString result = text;
    result.Replace("\r\n", "\r");
    result.Remove(kTrackFieldEnd);
    result.Replace('\t', ' ');
    return result;
}

CString CleanPastedText(const CString& text) {
    CString result = text;
    result.Remove(kTrackFieldEnd);
    result.Replace('\t', ' ');
    return result;
}

CString MakePlainFieldText(const CString& text) {
    return CleanFieldText(text) + kTrackFieldEnd;
}

CString FieldTextForDisplay(const CString& text) {
    CString result;
    for (int i = 0; i < text.GetLength(); ++i) {
        const char c = text[i];
        if (c == kTrackFieldEnd) continue;
        result += c;
        if (c == '\r' && (i + 1 >= text.GetLength() || text[i + 1] != '\n')) result += '\n';
    }
    return result;
}

BOOL IsTrackListName(const CString& name) {
    return name.Left(10) == CString("Track List");
}

int CountTrackRecords(const CString& text) {
    int ends = 0;
    for (int i = 0; i < text.GetLength(); ++i)
        if (text[i] == kTrackFieldEnd) ++ends;
    return ends / 3;
}

std::vector<TrackRecordFields> SplitTrackRecords(const CString& text) {
    const ParsedTrackList parsed(text);
    std::vector<TrackRecordFields> records(parsed.RecordCount());
    for (int r = 1; r <= parsed.RecordCount(); ++r) {
        records[r - 1].number = parsed.Field(r, kTrackNumberField);
        records[r - 1].title = parsed.Field(r, kTrackTitleField);
        records[r - 1].time = parsed.Field(r, kTrackTimeField);
    }
    return records;
}

CString GetTrackField(const CString& text, int record, int field) {
    return ParsedTrackList(text).Field(record, field);
}

std::vector<TrackGridRow> BuildTrackRows(const CString& text) {
    std::vector<TrackGridRow> rows;
    const std::vector<TrackRecordFields> records = SplitTrackRecords(text);
    for (size_t r = 0; r < records.size(); ++r) {
        std::vector<CString> lines[4];
        size_t height = 1;
        for (int f = 1; f <= 3; ++f) {
            lines[f] = FieldLines(records[r].Field(f));
            height = std::max(height, lines[f].size());
        }
        for (size_t k = 0; k < height; ++k) {
            TrackGridRow row;
            row.record = static_cast<int>(r) + 1;
            for (int f = 1; f <= 3; ++f) {
                if (k >= lines[f].size()) continue;
                row.cells[f] = lines[f][k].IsEmpty() ? CString(" ") : lines[f][k];
            }
            rows.push_back(row);
        }
    }
    return rows;
}

CString SetTrackField(const CString& text, int record, int field, const CString& value) {
    ParsedTrackList parsed(text);
    if (!parsed.HasRecord(record) || field < 1 || field > 3) return text;
    const int index = ParsedTrackList::Index(record, field);
    parsed.Materialise(index);
    parsed.fields[index] = CleanFieldText(value);
    return parsed.Join();
}

CString SwapTrackField(const CString& text, int record, int field, bool up) {
    ParsedTrackList parsed(text);
    const int other = up ? record - 1 : record + 1;
    if (!parsed.HasRecord(record) || !parsed.HasRecord(other) || field < 1 || field > 3) return text;
    const int a = ParsedTrackList::Index(record, field), b = ParsedTrackList::Index(other, field);
    parsed.Materialise(std::max(a, b));
    std::swap(parsed.fields[a], parsed.fields[b]);
    return parsed.Join();
}

CString RemoveTrackRecord(const CString& text, int record) {
    ParsedTrackList parsed(text);
    if (!parsed.HasRecord(record) || parsed.RecordCount() < 2) return text;
    if (record == parsed.RecordCount() && parsed.TailContinuesRecord()) parsed.tail.Empty();
    const int first = ParsedTrackList::Index(record, 1);
    const int last = std::min(first + 3, parsed.FieldCount());
    parsed.fields.erase(parsed.fields.begin() + first, parsed.fields.begin() + last);
    return parsed.Join();
}

CString ResizeTrackList(const CString& text, int count, const CString& discSuffix) {
    ParsedTrackList parsed(text);
    const int present = parsed.RecordCount();
    if (count < 1 || count == present) return text;
    if (count < present) {
        parsed.fields.resize(static_cast<size_t>(count) * 3);
        parsed.tail.Empty();
        return parsed.Join();
    }
    if (parsed.TailContinuesRecord())
        parsed.Materialise(present * 3 - 1);
    else
        parsed.tail.Empty();  // bytes after a complete record would run into the first new record
    CString result = parsed.Join();
    for (int n = present + 1; n <= count; ++n) {
        CString title, time;
        title.Format("Track %d%s", n, discSuffix.GetString());
        time.Format(" 0:%.2d", n);
        result += MakeRecord(NumberField(n), title, time);
    }
    return result;
}

CString FormatTrackTime(int seconds) {
    seconds = std::max(seconds, 0);
    CString time;
    time.Format(seconds % 60 < 10 ? " %d:0%d" : " %d:%d", seconds / 60, seconds % 60);
    return time;
}

CString MakeMp3TrackRecord(int rowIndex, const CString& title, const CString& timeText) {
    return MakeRecord(NumberField(rowIndex + 1), CleanFieldText(title), " " + CleanFieldText(timeText));
}

CString WriteTrackTimes(const CString& text, const std::vector<int>& seconds, const CString& discSuffix) {
    const std::vector<TrackRecordFields> records = SplitTrackRecords(text);
    CString result;
    for (size_t i = 0; i < seconds.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        CString title;
        if (i < records.size())
            title = records[i].title;
        else
            title.Format("Track %d%s", n, discSuffix.GetString());
        result += MakeRecord(NumberField(n), title, FormatTrackTime(seconds[i]));
    }
    return result;
}

CString TransferTrackTitles(const CString& text, const std::vector<CString>& titles) {
    const std::vector<TrackRecordFields> records = SplitTrackRecords(text);
    const size_t count = std::min(records.size(), titles.size());
    CString result;
    for (size_t i = 0; i < count; ++i) {
        CString title = CleanFieldText(titles[i]);
        title.Trim();
        result += MakeRecord(records[i].number, title, records[i].time);
    }
    return result;
}
