// The per-character arrays of text and track-list objects: characters, font, colour and
// underline runs, layout boxes and track rows.
#include "model/ViewObject.h"

#include <cstring>

using namespace Gdiplus;

namespace {

const float kEpsilon = 1.1920929e-7f;

bool IsEmptyBox(const RectF& r) {
    return !(r.Width > kEpsilon) || !(r.Height > kEpsilon);
}

bool SameFont(const LOGFONTA* a, const LOGFONTA* b) {
    return std::memcmp(a, b, sizeof(LOGFONTA)) == 0;
}

// Style of one track-list field, taken from the old text.
struct FieldStyle {
    LOGFONTA* font = nullptr;
    COLORREF* color = nullptr;
    WORD underline = 0;
    void Take(const ViewObject& o, int index) {
        font = ViewObject::CopyFontRecord(o.charFonts[index]);
        color = ViewObject::CopyColorRecord(o.charColors[index]);
        underline = index < o.charUnderlines.GetSize() ? o.charUnderlines[index] : 0;
    }
    void CopyOf(const FieldStyle& other) {
        font = ViewObject::CopyFontRecord(other.font);
        color = ViewObject::CopyColorRecord(other.color);
        underline = other.underline;
    }
    ~FieldStyle() {
        delete font;
        delete color;
    }
};

// Deletes every record equal to the last one kept before it and leaves a null in its place
// (a null record already stands for the one before it).
template <class ARRAY, class SAME>
void DropRepeatedRecords(ARRAY& records, SAME same) {
    if (records.GetSize() == 0) return;
    auto reference = records[0];
    for (INT_PTR i = 1; i < records.GetSize(); ++i) {
        auto record = records[i];
        if (!record) continue;
        if (reference && same(record, reference)) {
            delete record;
            records[i] = nullptr;
        } else {
            reference = record;
        }
    }
}

}  // namespace

LOGFONTA* ViewObject::NewFontRecord() {
    LOGFONTA* f = new LOGFONTA;
    std::memset(f, 0, sizeof(*f));
    f->lfCharSet = 1;
    return f;
}

LOGFONTA* ViewObject::NewDefaultFontRecord() {
    LOGFONTA* f = NewFontRecord();
    f->lfHeight = 400;
    f->lfWeight = 400;
    std::strcpy(f->lfFaceName, "Arial");
    return f;
}

LOGFONTA* ViewObject::CopyFontRecord(const LOGFONTA* source) {
    if (!source) return nullptr;
    LOGFONTA* f = new LOGFONTA;
    *f = *source;
    return f;
}

COLORREF* ViewObject::CopyColorRecord(const COLORREF* source) {
    return source ? new COLORREF(*source) : nullptr;
}

void ViewObject::FreeCharStyles() {
    for (INT_PTR i = 0; i < charFonts.GetSize(); ++i) delete charFonts[i];
    for (INT_PTR i = 0; i < charColors.GetSize(); ++i) delete charColors[i];
    charFonts.RemoveAll();
    charColors.RemoveAll();
}

void ViewObject::SetText(const CString& text) {
    GuardOperation(3300, [&] {
        chars.RemoveAll();
        const int length = text.GetLength();
        const int kept = length > kMaxTextChars ? kMaxTextChars - 1 : length;
        for (int i = 0; i < kept; ++i) chars.Add(CString(text.GetAt(i), 1));
        if (kept < length) chars.Add(CString(text.GetAt(length - 1), 1));
    });
}

CString ViewObject::GetText() const {
    CString text;
    GuardOperation(506, [&] {
        for (INT_PTR i = 0; i < chars.GetSize(); ++i) text += chars[i];
    });
    return text;
}

void ViewObject::SetTextKeepStyles(const CString& text) {
    GuardOperation(507, [&] {
        needsLayout = 1;
        if (type == kObjectText) {
            SetText(text);
            INT_PTR n = chars.GetSize();
            while (charFonts.GetSize() > n) {
                delete charFonts[charFonts.GetSize() - 1];
                charFonts.RemoveAt(charFonts.GetSize() - 1);
            }
            while (charColors.GetSize() > n) {
                delete charColors[charColors.GetSize() - 1];
                charColors.RemoveAt(charColors.GetSize() - 1);
            }
            while (charFonts.GetSize() < n) charFonts.Add(nullptr);
            while (charColors.GetSize() < n) charColors.Add(nullptr);
            WORD last = charUnderlines.GetSize() > 0 ? charUnderlines[charUnderlines.GetSize() - 1] : 0;
            if (charUnderlines.GetSize() > n) charUnderlines.SetSize(n);
            while (charUnderlines.GetSize() < n) charUnderlines.Add(last);
        } else if (type == kObjectTrack) {
            INT_PTR oldCount = chars.GetSize();
            FieldStyle number, title, time;
            if (oldCount > 0 && charFonts.GetSize() >= oldCount && charColors.GetSize() >= oldCount) {
                number.Take(*this, 0);
                int found = 0;
                for (INT_PTR i = 0; i < oldCount && found < 2; ++i) {
                    if (chars[i] != CString(kTrackFieldEnd, 1)) continue;
                    int at = static_cast<int>(i + 1 < oldCount ? i + 1 : i);
                    if (found == 0)
                        title.Take(*this, at);
                    else
                        time.Take(*this, at);
                    ++found;
                }
                // An old text with fewer than two field ends gives the missing fields the
                // number's style.
                if (found < 1) title.CopyOf(number);
                if (found < 2) time.CopyOf(number);
            }
            FreeCharStyles();
            SetText(text);
            INT_PTR n = chars.GetSize();
            charFonts.SetSize(n);
            charColors.SetSize(n);
            charUnderlines.SetSize(n);
            for (INT_PTR i = 0; i < n; ++i) charUnderlines[i] = 0;
            FieldStyle* fields[3] = {&number, &title, &time};
            int field = 0;
            bool fieldStart = true;
            for (INT_PTR i = 0; i < n; ++i) {
                FieldStyle& style = *fields[field];
                if (fieldStart) {
                    charFonts[i] = CopyFontRecord(style.font);
                    charColors[i] = CopyColorRecord(style.color);
                    charUnderlines[i] = style.underline;
                } else {
                    charUnderlines[i] = style.underline != 0 ? 1 : 0;
                }
                fieldStart = false;
                if (chars[i] == CString(kTrackFieldEnd, 1)) {
                    field = (field + 1) % 3;
                    fieldStart = true;
                }
            }
            PruneCharFonts();
            PruneCharColors();
        } else {
            return;
        }
        // Character 0 always has a font and a colour: without one of its own it takes the
        // default record, so that later characters never inherit nothing.
        if (chars.GetSize() > 0) {
            if (!charFonts[0]) charFonts[0] = NewDefaultFontRecord();
            if (!charColors[0]) charColors[0] = new COLORREF(0);
        }
    });
}

void ViewObject::PruneCharFonts() {
    GuardOperation(508, [&] {
        DropRepeatedRecords(charFonts, [](const LOGFONTA* a, const LOGFONTA* b) { return SameFont(a, b); });
    });
}

void ViewObject::PruneCharColors() {
    GuardOperation(509, [&] {
        DropRepeatedRecords(charColors, [](const COLORREF* a, const COLORREF* b) { return *a == *b; });
    });
}

void ViewObject::SyncCharUnderlines() {
    GuardOperation(510, [&] {
        INT_PTR n = chars.GetSize();
        if (charUnderlines.GetSize() > n) charUnderlines.SetSize(n);
        while (charUnderlines.GetSize() < n) charUnderlines.Add(0);
    });
}

void ViewObject::SyncCharBoxes() {
    GuardOperation(511, [&] {
        INT_PTR n = chars.GetSize();
        CBoxArray* arrays[2] = {&cellBoxes, &glyphBoxes};
        for (CBoxArray* boxes : arrays) {
            while (boxes->GetSize() > n) {
                delete (*boxes)[boxes->GetSize() - 1];
                boxes->RemoveAt(boxes->GetSize() - 1);
            }
            while (boxes->GetSize() < n) boxes->Add(new RectF(0, 0, 0, 0));
        }
    });
}

void ViewObject::FreeLayoutBoxes(bool alsoRows) {
    GuardOperation(512, [&] {
        for (INT_PTR i = 0; i < cellBoxes.GetSize(); ++i) delete cellBoxes[i];
        for (INT_PTR i = 0; i < glyphBoxes.GetSize(); ++i) delete glyphBoxes[i];
        cellBoxes.RemoveAll();
        glyphBoxes.RemoveAll();
        if (alsoRows) {
            for (INT_PTR i = 0; i < trackRows.GetSize(); ++i) delete trackRows[i];
            trackRows.RemoveAll();
        }
    });
}

void ViewObject::RebuildTrackRows() {
    GuardOperation(513, [&] {
        if (type != kObjectTrack) return;
        if (trackRows.GetSize() > 0) {
            needsLayout = 1;
            for (INT_PTR i = 0; i < trackRows.GetSize(); ++i) delete trackRows[i];
            trackRows.RemoveAll();
        }
        INT_PTR n = chars.GetSize();
        if (n == 0) return;
        TrackRow row;
        int field = 1;
        int start = 0;
        for (INT_PTR p = 0; p < n; ++p) {
            if (chars[p] != CString(kTrackFieldEnd, 1)) continue;
            int end = static_cast<int>(p);
            if (field == 1) {
                row.numberStart = start;
                row.numberEnd = end;
            } else if (field == 2) {
                row.titleStart = start;
                row.titleEnd = end;
            } else {
                row.timeStart = start;
                row.timeEnd = end;
            }
            start = end + 1;
            if (++field > 3) {
                trackRows.Add(new TrackRow(row));
                row = TrackRow();
                field = 1;
            }
        }
    });
}

RectF ViewObject::GetTrackColumnRect(int row, int column) const {
    RectF result(0, 0, 0, 0);
    GuardOperation(514, [&] {
        if (row < 0 || row >= trackRows.GetSize()) return;
        if (column == 1 && !ShowsTrackNumbers()) return;
        if (column == 3 && !ShowsTrackTimes()) return;
        if (column < 1 || column > 3) return;
        const TrackRow* r = trackRows[row];
        int first = column == 1 ? r->numberStart : (column == 2 ? r->titleStart : r->timeStart);
        int last = column == 1 ? r->numberEnd : (column == 2 ? r->titleEnd : r->timeEnd);
        for (int i = first; i <= last; ++i) {
            if (i < 0 || i >= cellBoxes.GetSize() || !cellBoxes[i]) continue;
            const RectF& box = *cellBoxes[i];
            if (IsEmptyBox(result)) {
                result = box;
            } else {
                float l = result.X < box.X ? result.X : box.X;
                float t = result.Y < box.Y ? result.Y : box.Y;
                float rr = result.GetRight() > box.GetRight() ? result.GetRight() : box.GetRight();
                float b = result.GetBottom() > box.GetBottom() ? result.GetBottom() : box.GetBottom();
                result = RectF(l, t, rr - l, b - t);
            }
        }
    });
    return result;
}

RectF ViewObject::GetTrackRowRect(int row) const {
    RectF result = GetTrackColumnRect(row, 2);
    for (int column : {1, 3}) {
        RectF r = GetTrackColumnRect(row, column);
        if (r.Width > kEpsilon && r.Height > kEpsilon) {
            float l = result.X < r.X ? result.X : r.X;
            float t = result.Y < r.Y ? result.Y : r.Y;
            float rr = result.GetRight() > r.GetRight() ? result.GetRight() : r.GetRight();
            float b = result.GetBottom() > r.GetBottom() ? result.GetBottom() : r.GetBottom();
            result = RectF(l, t, rr - l, b - t);
        }
    }
    return result;
}

void ViewObject::LayoutTrackColumns() {
    GuardOperation(515, [&] {
        if (trackRows.GetSize() == 0) return;
        int degrees = AngleToDegrees();
        // left, top, right, bottom while the rows are walked
        float L = 0, T = 0, R = 0, B = 0;
        auto areaEmpty = [&] { return !((R - L) > kEpsilon) || !((B - T) > kEpsilon); };
        for (INT_PTR i = 0; i < trackRows.GetSize(); ++i) {
            RectF N = GetTrackColumnRect(static_cast<int>(i), 1);
            RectF Ti = GetTrackColumnRect(static_cast<int>(i), 2);
            RectF M = GetTrackColumnRect(static_cast<int>(i), 3);
            if (degrees == 0 || degrees == 180) {
                if (areaEmpty()) {
                    L = 0;
                    T = Ti.Y;
                    R = static_cast<float>(width);
                    B = Ti.GetBottom();
                }
                float farX = static_cast<float>(left + width);
                if (IsEmptyBox(N)) N = RectF(degrees == 0 ? 0.0f : farX, Ti.Y, 0, Ti.Height);
                if (IsEmptyBox(M)) M = RectF(degrees == 0 ? farX : 0.0f, Ti.Y, 0, Ti.Height);
                const RectF& before = degrees == 0 ? N : M;
                const RectF& after = degrees == 0 ? M : N;
                if (before.GetRight() > L) L = before.GetRight();
                if (after.X < R) R = after.X;
                for (const RectF* c : {&N, &Ti, &M}) {
                    if (c->Y < T) T = c->Y;
                    if (c->GetBottom() > B) B = c->GetBottom();
                }
            } else if (degrees == 90 || degrees == 270) {
                if (areaEmpty()) {
                    L = Ti.X;
                    T = 0;
                    R = Ti.GetRight();
                    B = static_cast<float>(height);
                }
                float farY = static_cast<float>(GetBottom());
                if (IsEmptyBox(N)) N = RectF(Ti.X, degrees == 90 ? 0.0f : farY, Ti.Width, 0);
                if (IsEmptyBox(M)) M = RectF(Ti.X, degrees == 90 ? farY : 0.0f, Ti.Width, 0);
                const RectF& before = degrees == 90 ? N : M;
                const RectF& after = degrees == 90 ? M : N;
                if (before.GetBottom() > T) T = before.GetBottom();
                if (after.Y < B) B = after.Y;
                for (const RectF* c : {&N, &Ti, &M}) {
                    if (c->X < L) L = c->X;
                    if (c->GetRight() > R) R = c->GetRight();
                }
            }
        }
        titleArea = RectF(L, T, R - L, B - T);
    });
}
