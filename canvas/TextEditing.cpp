// In-place text editing as functions over the object and the editor's state.
#include "canvas/TextEditing.h"

#include <cmath>

#include "model/ViewObject.h"

using namespace Gdiplus;

namespace TextEditing {

namespace {

const char kSeparator = kTrackFieldEnd;

bool IsSeparator(const ViewObject& o, int i) {
    return i >= 0 && i < o.GetCharCount() && o.chars[i] == CString(kSeparator, 1);
}

bool IsBreak(const ViewObject& o, int i) {
    return i >= 0 && i < o.GetCharCount() && o.chars[i] == "\r";
}

int RowCount(const ViewObject& o) {
    return static_cast<int>(o.trackRows.GetSize());
}

bool Horizontal(const ViewObject& o) {
    return o.angle != "90 degrees" && o.angle != "270 degrees";
}

bool BoxOf(const ViewObject& o, int i, RectF& box) {
    if (i < 0 || i >= o.cellBoxes.GetSize() || !o.cellBoxes[i]) return false;
    box = *o.cellBoxes[i];
    return true;
}

double Distance(const RectF& b, float x, float y) {
    const double cx = b.X + b.Width / 2.0, cy = b.Y + b.Height / 2.0;
    return std::sqrt((cx - x) * (cx - x) + (cy - y) * (cy - y));
}

// Which side of the title column of a table a coordinate lies on: 0 before, 1 in, 2 after.
int TitleSide(const ViewObject& o, float v, bool horizontal) {
    const float start = horizontal ? o.titleArea.X : o.titleArea.Y;
    const float size = horizontal ? o.titleArea.Width : o.titleArea.Height;
    if (v < start) return 0;
    return v <= start + size ? 1 : 2;
}

LOGFONTA* TakeFont(ViewObject& o, int i) {
    LOGFONTA* f = o.charFonts[i];
    o.charFonts[i] = nullptr;
    return f;
}

COLORREF* TakeColor(ViewObject& o, int i) {
    COLORREF* c = o.charColors[i];
    o.charColors[i] = nullptr;
    return c;
}

// Run arrays as long as the characters (records of objects read from older files may be
// short).
void EnsureRunArrays(ViewObject& o) {
    while (o.charFonts.GetSize() < o.chars.GetSize()) o.charFonts.Add(nullptr);
    while (o.charColors.GetSize() < o.chars.GetSize()) o.charColors.Add(nullptr);
    while (o.charUnderlines.GetSize() < o.chars.GetSize()) o.charUnderlines.Add(0);
}

}  // namespace

int FieldFirst(const ViewObject& o, int row, int field) {
    if (row < 0 || row >= RowCount(o)) return -1;
    const TrackRow& r = *o.trackRows[row];
    return field == 1 ? r.numberStart : field == 2 ? r.titleStart : r.timeStart;
}

int FieldEnd(const ViewObject& o, int row, int field) {
    if (row < 0 || row >= RowCount(o)) return -1;
    const TrackRow& r = *o.trackRows[row];
    return field == 1 ? r.numberEnd : field == 2 ? r.titleEnd : r.timeEnd;
}

bool FindField(const ViewObject& o, int index, int& row, int& field) {
    for (int r = 0; r < RowCount(o); ++r)
        for (int f = 1; f <= 3; ++f)
            if (index >= FieldFirst(o, r, f) && index <= FieldEnd(o, r, f)) {
                row = r;
                field = f;
                return true;
            }
    return false;
}

void SetSelection(const ViewObject& o, TextEditState& st, int a, int b) {
    if (!o.IsText() && !o.IsTrackList()) return;
    const int count = o.GetCharCount();
    if (a == -1 && b == -1) {
        a = 0;
        b = count - 1;
        if (o.IsTrackList() && RowCount(o) > 0) {
            if (!o.ShowsTrackNumbers()) a = FieldFirst(o, 0, 2);
            if (!o.ShowsTrackTimes()) b = FieldEnd(o, RowCount(o) - 1, 2);
        }
    }
    if (a > b) std::swap(a, b);
    if (o.IsText()) {
        st.m_selStart = a;
        st.m_selEnd = b;
        return;
    }
    bool endFound = false;
    for (int r = 0; r < RowCount(o) && !endFound; ++r) {
        for (int f = 1; f <= 3; ++f) {
            const int first = FieldFirst(o, r, f), end = FieldEnd(o, r, f);
            if (a >= first && a <= end) {
                st.m_startRow = r;
                st.m_startField = f;
            }
            if (b >= first && b <= end) {
                st.m_endRow = r;
                st.m_endField = f;
                endFound = true;
                break;
            }
        }
    }
    if (st.m_startRow == st.m_endRow && st.m_startField == st.m_endField) {
        st.m_selStart = a;
        st.m_selEnd = b;
        return;
    }
    if (st.m_startField > st.m_endField) std::swap(st.m_startField, st.m_endField);
    const int first = FieldFirst(o, st.m_startRow, st.m_startField);
    const int end = FieldEnd(o, st.m_endRow, st.m_endField);
    st.m_selStart = first >= 0 ? first : a;
    st.m_selEnd = end >= 0 ? end : b;
}

int CharIndexFromPoint(const ViewObject& o, float x, float y) {
    const int n = static_cast<int>(o.cellBoxes.GetSize());
    if (n == 0) return 0;
    const bool horizontal = Horizontal(o);
    int found = -1;
    RectF b;
    for (int i = 0; i < n && found < 0; ++i)
        if (BoxOf(o, i, b) && x >= b.X && x <= b.X + b.Width && y >= b.Y && y <= b.Y + b.Height) found = i;
    if (found < 0) {
        double best = 10000000.0;
        const bool table = o.IsTableFormat();
        for (int i = 0; i < n; ++i) {
            if (!BoxOf(o, i, b)) continue;
            const bool onLine =
                horizontal ? (y >= b.Y && y <= b.Y + b.Height) : (x >= b.X && x <= b.X + b.Width);
            if (!onLine) continue;
            if (table) {
                const float c = horizontal ? b.X + b.Width / 2 : b.Y + b.Height / 2;
                if (TitleSide(o, c, horizontal) != TitleSide(o, horizontal ? x : y, horizontal)) continue;
            }
            const double d = Distance(b, x, y);
            if (d < best) {
                best = d;
                found = i;
            }
        }
    }
    if (found < 0 && !o.IsTableFormat()) {
        double bestLine = 10000000.0;
        float line = 0;
        for (int i = 0; i < n; ++i) {
            if (!BoxOf(o, i, b)) continue;
            const float c = horizontal ? b.Y + b.Height / 2 : b.X + b.Width / 2;
            const double d = std::fabs(c - (horizontal ? y : x));
            if (d < bestLine) {
                bestLine = d;
                line = c;
            }
        }
        double best = 10000000.0;
        for (int i = 0; i < n; ++i) {
            if (!BoxOf(o, i, b)) continue;
            const float c = horizontal ? b.Y + b.Height / 2 : b.X + b.Width / 2;
            if (c != line) continue;
            const double d = Distance(b, x, y);
            if (d < best) {
                best = d;
                found = i;
            }
        }
    }
    if (found < 0) {
        double best = 10000000.0;
        for (int i = 0; i < n; ++i) {
            if (IsSeparator(o, i) || !BoxOf(o, i, b)) continue;
            const double d = Distance(b, x, y);
            if (d < best) {
                best = d;
                found = i;
            }
        }
        if (found < 0) return 0;
    }
    // A character without extent (a line break, a separator, a hidden track field) takes the caret
    // to the character before it. A point past the end of a line lands on the line's closing break
    // or separator: the line's last character then decides, as any other, whether the caret goes
    // after it - before the break, at the end of the line or of the text. The break that closes
    // the line above is never stepped back onto: on an empty line the caret stays there.
    const int hit = found;
    while (found > 0 && !IsBreak(o, found - 1) && BoxOf(o, found, b) &&
           (horizontal ? b.Width == 0 : b.Height == 0))
        --found;
    const bool lineEnd = hit == found + 1 && (IsBreak(o, hit) || IsSeparator(o, hit));
    if ((found == hit || lineEnd) && found < o.GetCharCount() - 1 && !IsBreak(o, found) &&
        !IsSeparator(o, found) && BoxOf(o, found, b) && (horizontal ? b.Width : b.Height) != 0) {
        const float cx = b.X + b.Width / 2, cy = b.Y + b.Height / 2;
        const int degrees = o.AngleToDegrees();
        const bool after = degrees == 0 ? x > cx : degrees == 180 ? x < cx : degrees == 270 ? y < cy : y > cy;
        if (after) ++found;
    }
    return found;
}

int MoveCaretIndex(const ViewObject& o, TextEditState& st, int key) {
    const int s = st.m_selStart, e = st.m_selEnd;
    const int count = o.GetCharCount();
    const bool track = o.IsTrackList();
    int c = s;
    if (key == kKeyLeft) {
        st.m_caretX = -1;
        if (s != e) return s;
        if (s == 0) return s;
        c = s - 1;
        if (track && !o.ShowsTrackNumbers() && c >= FieldFirst(o, st.m_startRow, 1) &&
            c <= FieldEnd(o, st.m_startRow, 1)) {
            if (st.m_startRow == 0) return s;
            c = FieldEnd(o, st.m_startRow - 1, 3);
            if (!o.ShowsTrackTimes() && c >= FieldFirst(o, st.m_startRow - 1, 3))
                c = FieldEnd(o, st.m_startRow - 1, 2);
        }
        return c;
    }
    if (key == kKeyRight) {
        st.m_caretX = -1;
        if (s != e) return e;
        if (e >= count - 1) return e;
        c = e + 1;
        if (track && !o.ShowsTrackTimes() && c >= FieldFirst(o, st.m_startRow, 3) &&
            c <= FieldEnd(o, st.m_startRow, 3)) {
            if (st.m_startRow >= RowCount(o) - 1) return e;
            c = FieldFirst(o, st.m_startRow + 1, 1);
            if (!o.ShowsTrackNumbers() && c <= FieldEnd(o, st.m_startRow + 1, 1))
                c = FieldFirst(o, st.m_startRow + 1, 2);
        }
        return c;
    }
    RectF b;
    if (!BoxOf(o, s != e ? e : s, b)) return s;
    const int bx = static_cast<int>(b.X), by = static_cast<int>(b.Y);
    const int bw = static_cast<int>(b.Width), bh = static_cast<int>(b.Height);
    if (st.m_caretX == -1) st.m_caretX = bx + bw / 2;
    const float py = key == kKeyUp ? static_cast<float>(by - 1) : static_cast<float>(by + bh + 1);
    return CharIndexFromPoint(o, static_cast<float>(st.m_caretX), py);
}

void ExtendSelectionRange(const ViewObject& o, TextEditState& st, int key, int& start, int& end) {
    start = st.m_selStart;
    end = st.m_selEnd;
    const int count = o.GetCharCount();
    if (o.IsText()) {
        bool moveEnd;
        if (end != st.m_anchor)
            moveEnd = true;
        else if (start != st.m_anchor)
            moveEnd = false;
        else
            moveEnd = key == kKeyRight || key == kKeyDown;
        if (key == kKeyLeft || key == kKeyRight) {
            st.m_caretX = -1;
            const int d = key == kKeyLeft ? -1 : 1;
            if (moveEnd)
                end = end + d;
            else
                start = start + d;
            if (start < 0) start = 0;
            if (end > count - 1) end = count - 1;
            return;
        }
        RectF bs, be;
        if (BoxOf(o, start, bs) && BoxOf(o, end, be) && bs.Y == be.Y && key == kKeyUp) moveEnd = false;
        RectF b;
        const int moving = moveEnd ? end : start;
        if (!BoxOf(o, moving, b)) return;
        if (st.m_caretX == -1) st.m_caretX = static_cast<int>(b.X) + static_cast<int>(b.Width) / 2;
        const float py = key == kKeyUp ? b.Y - 1 : b.Y + b.Height + 1;
        const int index = CharIndexFromPoint(o, static_cast<float>(st.m_caretX), py);
        if (index != moving) (moveEnd ? end : start) = index;
        return;
    }
    // Track lists: rows and fields.
    const int rows = RowCount(o);
    if (rows == 0) return;
    const int firstShown = o.ShowsTrackNumbers() ? 1 : 2;
    const int lastShown = o.ShowsTrackTimes() ? 3 : 2;
    if (key == kKeyUp || key == kKeyDown) {
        const int row = st.m_endRow + (key == kKeyUp ? -1 : 1);
        if (row < 0 || row >= rows) return;
        end = (FieldFirst(o, row, st.m_endField) + FieldEnd(o, row, st.m_endField)) / 2;
        return;
    }
    const bool right = key == kKeyRight;
    if (st.m_startRow != st.m_endRow || st.m_startField != st.m_endField) {
        int anchorRow = 0, anchorField = 0;
        FindField(o, st.m_anchor, anchorRow, anchorField);
        int sr = st.m_startRow, sf = st.m_startField, er = st.m_endRow, ef = st.m_endField;
        if (end != FieldEnd(o, anchorRow, anchorField)) {
            if (right) {
                if (++ef > lastShown) {
                    ef = sf;
                    ++er;
                }
            } else if (--ef < sf) {
                --er;
                ef = lastShown;
            }
            if (er < 0 || er >= rows) return;
            end = FieldEnd(o, er, ef);
        } else {
            if (right) {
                if (++sf > ef) {
                    ++sr;
                    sf = firstShown;
                }
            } else if (--sf < firstShown) {
                --sr;
                sf = lastShown;
            }
            if (sr < 0 || sr >= rows) return;
            start = FieldFirst(o, sr, sf);
        }
        if (sr == er && sf == ef) end = st.m_anchor;
        return;
    }
    const int row = st.m_startRow, field = st.m_startField;
    if (!right && start == FieldFirst(o, row, field) && field == firstShown) {
        if (row > 0) start = FieldFirst(o, row - 1, field);
        return;
    }
    if (right && end == FieldEnd(o, row, field) && field == lastShown) {
        if (row < rows - 1) end = FieldEnd(o, row + 1, field);
        return;
    }
    if (right)
        end = end + 1 < count ? end + 1 : end;
    else
        start = start > 0 ? start - 1 : 0;
}

bool IsCharSelected(const ViewObject& o, const TextEditState& st, int i) {
    if (i < st.m_selStart || i >= st.m_selEnd) return false;
    if (!o.IsTrackList()) return true;
    int field = 1;
    for (int k = 0; k < i && k < o.GetCharCount(); ++k)
        if (IsSeparator(o, k)) field = field == 3 ? 1 : field + 1;
    return field >= st.m_startField && field <= st.m_endField;
}

bool GetDeleteRange(const ViewObject& o, const TextEditState& st, bool wholeRows, int& from, int& to,
                    bool& rows) {
    rows = false;
    int s = st.m_selStart, e = st.m_selEnd - 1;
    if (e < s) {
        if (s - 1 < 0 || IsSeparator(o, s - 1)) return false;
        from = to = s - 1;
        return true;
    }
    from = s;
    to = e;
    const int rowCount = RowCount(o);
    if (o.IsTrackList() && (st.m_startRow != st.m_endRow || st.m_startField != st.m_endField) &&
        st.m_startRow >= 0 && st.m_startRow < rowCount && st.m_endRow >= 0 && st.m_endRow < rowCount) {
        const int firstShown = o.ShowsTrackNumbers() ? 1 : 2;
        const int lastShown = o.ShowsTrackTimes() ? 3 : 2;
        if (wholeRows && st.m_startField == firstShown && st.m_endField == lastShown) {
            from = FieldFirst(o, st.m_startRow, 1);
            to = FieldEnd(o, st.m_endRow, 3);
            rows = true;
        } else {
            from = FieldFirst(o, st.m_startRow, st.m_startField);
            to = FieldEnd(o, st.m_endRow, st.m_endField);
        }
    }
    return from >= 0 && to >= from;
}

bool DeleteRange(ViewObject& o, const TextEditState& st, int from, int to, bool rows) {
    EnsureRunArrays(o);
    if (to >= o.GetCharCount()) to = o.GetCharCount() - 1;
    const bool realSelection = st.m_selStart != st.m_selEnd;
    LOGFONTA* asideFont = nullptr;
    COLORREF* asideColor = nullptr;
    LOGFONTA* carryFont = nullptr;
    COLORREF* carryColor = nullptr;
    bool fontCarried = false, colorCarried = false;
    int deleted = 0;
    for (int i = to; i >= from; --i) {
        if (!rows && (IsSeparator(o, i) || (realSelection && !IsCharSelected(o, st, i)))) continue;
        if (LOGFONTA* f = TakeFont(o, i)) {
            if (i == 0)
                asideFont = f;
            else if (!fontCarried) {
                carryFont = f;
                fontCarried = true;
            } else
                delete f;
        }
        if (COLORREF* c = TakeColor(o, i)) {
            if (i == 0)
                asideColor = c;
            else if (!colorCarried) {
                carryColor = c;
                colorCarried = true;
            } else
                delete c;
        }
        o.chars.RemoveAt(i);
        o.charFonts.RemoveAt(i);
        o.charColors.RemoveAt(i);
        o.charUnderlines.RemoveAt(i);
        ++deleted;
    }
    // The run of the deleted part goes on in the first character after it.
    const int after = to + 1 - deleted;
    if (carryFont) {
        if (after < o.GetCharCount() && !o.charFonts[after])
            o.charFonts[after] = carryFont;
        else
            delete carryFont;
    }
    if (carryColor) {
        if (after < o.GetCharCount() && !o.charColors[after])
            o.charColors[after] = carryColor;
        else
            delete carryColor;
    }
    bool emptied = false;
    if (o.GetCharCount() == 0) {
        SetDefaultTrackRow(o, asideFont, asideColor);
        asideFont = nullptr;
        asideColor = nullptr;
        emptied = true;
    }
    if (asideFont) {
        delete o.charFonts[0];
        o.charFonts[0] = asideFont;
    }
    if (asideColor) {
        delete o.charColors[0];
        o.charColors[0] = asideColor;
    }
    if (o.GetCharCount() > 0 && !o.charFonts[0]) o.charFonts[0] = ViewObject::NewDefaultFontRecord();
    if (o.GetCharCount() > 0 && !o.charColors[0]) o.charColors[0] = new COLORREF(0);
    o.RebuildTrackRows();
    o.needsLayout = 1;
    return emptied;
}

void SetDefaultTrackRow(ViewObject& o, LOGFONTA* font, COLORREF* color) {
    o.FreeCharStyles();
    o.chars.RemoveAll();
    o.charUnderlines.RemoveAll();
    const CString row = CString("1. ") + kSeparator + "Track 1" + kSeparator + " 0:01" + kSeparator;
    for (int i = 0; i < row.GetLength(); ++i) {
        o.chars.Add(CString(row.GetAt(i), 1));
        o.charFonts.Add(nullptr);
        o.charColors.Add(nullptr);
        o.charUnderlines.Add(0);
    }
    // Character 0 always has its records: the ones set aside from the deleted text, or the
    // defaults.
    o.charFonts[0] = font ? font : ViewObject::NewDefaultFontRecord();
    o.charColors[0] = color ? color : new COLORREF(0);
    o.RebuildTrackRows();
}

int CaretAfterDelete(ViewObject& o, const TextEditState& st, int from, bool rows) {
    if (!rows) return from;
    o.RebuildTrackRows();
    const int count = RowCount(o);
    if (count == 0) return 0;
    int row = st.m_startRow < count ? st.m_startRow : count - 1;
    return FieldFirst(o, row, o.ShowsTrackNumbers() ? 1 : 2);
}

void InsertChars(ViewObject& o, int at, const CString& text) {
    EnsureRunArrays(o);
    for (int k = 0; k < text.GetLength(); ++k) {
        const int i = at + k;
        const CString ch(text.GetAt(k), 1);
        const int count = o.GetCharCount();
        if (i >= count) {
            o.chars.Add(ch);
            o.charFonts.Add(nullptr);
            o.charColors.Add(nullptr);
            o.charUnderlines.Add(count > 0 ? o.charUnderlines[count - 1] : 0);
            if (count == 0) {
                o.charFonts[0] = ViewObject::NewDefaultFontRecord();
                o.charColors[0] = new COLORREF(0);
            }
            continue;
        }
        o.chars.InsertAt(i, ch);
        if (i > 0 && !IsSeparator(o, i - 1) && !IsBreak(o, i - 1)) {
            o.charFonts.InsertAt(i, static_cast<LOGFONTA*>(nullptr));
            o.charColors.InsertAt(i, static_cast<COLORREF*>(nullptr));
            o.charUnderlines.InsertAt(i, o.charUnderlines[i - 1]);
        } else {
            // The new character takes over the run of the one after it, which continues it.
            o.charFonts.InsertAt(i + 1, static_cast<LOGFONTA*>(nullptr));
            o.charColors.InsertAt(i + 1, static_cast<COLORREF*>(nullptr));
            o.charUnderlines.InsertAt(i, o.charUnderlines[i]);
        }
    }
    o.RebuildTrackRows();
    o.needsLayout = 1;
}

bool RenumberTracks(ViewObject& o) {
    o.RebuildTrackRows();
    const int rows = RowCount(o);
    auto digit = [&](int i) {
        return i >= 0 && i < o.GetCharCount() && o.chars[i].GetLength() == 1 && o.chars[i].GetAt(0) >= '0' &&
               o.chars[i].GetAt(0) <= '9';
    };
    auto is = [&](int i, char c) { return i >= 0 && i < o.GetCharCount() && o.chars[i] == CString(c, 1); };
    for (int r = 0; r < rows; ++r) {
        const int s = FieldFirst(o, r, 1);
        if (!(digit(s) && (is(s + 1, '.') || (digit(s + 1) && is(s + 2, '.'))))) return false;
    }
    EnsureRunArrays(o);
    for (int r = 0; r < rows && r < 99; ++r) {
        o.RebuildTrackRows();
        const int s = FieldFirst(o, r, 1);
        const int have = digit(s + 1) ? 2 : 1;
        CString number;
        number.Format("%d", r + 1);
        const int want = number.GetLength();
        if (want > have) {
            o.chars.InsertAt(s + 1, CString('0', 1));
            o.charFonts.InsertAt(s + 1, static_cast<LOGFONTA*>(nullptr));
            o.charColors.InsertAt(s + 1, static_cast<COLORREF*>(nullptr));
            o.charUnderlines.InsertAt(s + 1, o.charUnderlines[s]);
        } else if (want < have) {
            LOGFONTA* f = TakeFont(o, s + 1);
            COLORREF* c = TakeColor(o, s + 1);
            o.chars.RemoveAt(s + 1);
            o.charFonts.RemoveAt(s + 1);
            o.charColors.RemoveAt(s + 1);
            o.charUnderlines.RemoveAt(s + 1);
            if (f && !o.charFonts[s + 1])
                o.charFonts[s + 1] = f;
            else
                delete f;
            if (c && !o.charColors[s + 1])
                o.charColors[s + 1] = c;
            else
                delete c;
        }
        for (int k = 0; k < want; ++k) o.chars[s + k] = CString(number.GetAt(k), 1);
    }
    o.RebuildTrackRows();
    o.needsLayout = 1;
    return true;
}

}  // namespace TextEditing
