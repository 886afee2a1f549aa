// The line builders of track lists: one or two columns, tracks that share lines, the band
// around a disc's hole, and the three-column table.
#include <algorithm>
#include <cmath>

#include "model/ViewObject.h"
#include "render/RenderContext.h"
#include "render/TextFonts.h"
#include "render/TextLayout.h"

using namespace Gdiplus;

namespace {

// Which field a character belongs to while a track text is walked: 1 number, 2 title, 3 time.
inline int NextField(int f) {
    return f == 3 ? 1 : f + 1;
}

inline bool FieldHidden(const ViewObject* object, int f, bool showNumbers, bool showTimes) {
    (void)object;
    return (f == 1 && !showNumbers) || (f == 3 && !showTimes);
}

}  // namespace

bool LayoutTrackLines(TextLayoutState& state, int size, float& used) {
    ViewObject* object = state.object;
    const int n = object->GetCharCount();
    const bool autoFit = object->bAutoFit != 0;
    const bool discMode = state.sideIsDisc && autoFit;
    const bool wordWrap = object->wrapStyle == "Word-Wrap";
    const bool trackWrap = object->wrapStyle == "Track-Wrap";
    const bool singleLine = object->wrapStyle == "Single-Line";
    const bool showNumbers = object->ShowsTrackNumbers(), showTimes = object->ShowsTrackTimes();
    TextMeasurer m(object);

    state.topAndBottom = false;
    if (object->textLayout == "Top && Bottom" && state.sideIsDisc) {
        state.topAndBottom = true;
        state.topBandEnd = state.ring.centre - state.ring.holeRadius - state.ring.margin - state.ring.originY;
        state.bottomBandStart =
            state.ring.centre + state.ring.holeRadius + state.ring.margin - state.ring.originY;
    }
    if (state.twoColumns) state.SetPart(1);

    auto cell = [&](int i) -> RectF& { return *object->cellBoxes[i]; };
    auto glyph = [&](int i) -> RectF& { return *object->glyphBoxes[i]; };

    used = 0;
    float t = 0, h = 0, w = 0;
    int k = -1, segNo = 1, s = 0;
    int f = 1, fieldAtBreak = 1;
    bool firstLine = true, retried = false;
    state.GetLineSegments(t, h);
    auto segWidth = [&]() { return segNo == 1 ? state.segments.Width1() : state.segments.Width2(); };

    int i = 0;
    while (i < n) {
        const CString& ch = object->chars[i];
        const bool hidden = FieldHidden(object, f, showNumbers, showTimes);
        bool endAsked = false;
        RectF box(0, 0, 0, 0);
        float ascent = 0;
        if (!hidden) {
            box = MeasureLineChar(m, object, i, autoFit ? size : 0, singleLine);
            ascent = m.Ascent();
        }
        // Break points.
        if (IsLineBreak(ch) && !singleLine) {
            k = i;
            fieldAtBreak = f;
            endAsked = true;
        } else if (IsSpace(ch) && f == 2 && wordWrap && i > 0 && !IsSpace(object->chars[i - 1])) {
            k = i;
            fieldAtBreak = 2;
        }
        bool trackEnded = false;
        if (IsFieldEnd(ch)) {
            if (f == 3) {
                k = i;
                fieldAtBreak = 1;
                if (!trackWrap || i == state.splitIndex) endAsked = true;
                trackEnded = true;
            }
            f = NextField(f);
        }
        cell(i) = box;
        glyph(i) = RectF(box.X, box.Y, box.Width, ascent);
        w += box.Width;

        if (box.Height > h) {
            h = box.Height;
            state.SkipHoleBand(t, h);
            if (autoFit && t + h > state.areaH) return false;
            state.GetLineSegments(t, h);
            if (autoFit && w > state.segments.Width1() && w > state.segments.Width2() &&
                !state.segments.Empty2() && !firstLine)
                return false;
        }
        bool skipEnd = false;
        if (discMode && firstLine) {
            if (state.areaW < w) return false;
            if (k < s)
                skipEnd = true;
            else {
                firstLine = false;
                segNo = state.FindFirstLine(t, h, w);
                if (segNo == 0) return false;
            }
        }
        bool endLine = i == n - 1 || endAsked;
        if (!skipEnd && (segNo == 1 || !state.segments.Empty2()) && w > segWidth()) endLine = true;
        if (skipEnd && i != n - 1) endLine = false;
        // The gap that follows a track on a shared line.
        if (trackWrap && !endLine && trackEnded) {
            m.SelectFontAt(i, autoFit ? size : 0);
            RectF gap = m.MeasureSpace();
            gap.Width *= 3.0f;
            cell(i) = gap;
            glyph(i).Width = gap.Width;
            w += gap.Width;
            if ((segNo == 1 || !state.segments.Empty2()) && w > segWidth()) {
                w -= gap.Width;
                cell(i).Width = 0;
                glyph(i).Width = 0;
                endLine = true;
            }
        }
        if (!endLine) {
            ++i;
            continue;
        }

        if (k >= s) {
            const int last = std::min(k, n - 1);
            float base = 0;
            h = LineExtent(object, s, last, base);
            used = std::max(used, t + h);
            if (autoFit && t + h > state.areaH) return false;
            PlaceLine(state, s, last, segNo, t, h, base);
            f = fieldAtBreak;
            if (last + 1 >= n) return true;
            if (last == state.splitIndex) {
                // The second column starts again at the top.
                state.SetPart(2);
                t = 0;
                h = 0;
                segNo = 1;
                firstLine = true;
                state.GetLineSegments(t, h);
            } else if (discMode && trackWrap && segNo == 1 && !state.segments.Empty2()) {
                segNo = 2;
            } else {
                t += h;
                h = 0;
                segNo = 1;
                state.GetLineSegments(t, h);
            }
            w = 0;
            s = last + 1;
            k = -1;
            retried = false;
            i = last + 1;
            continue;
        }
        if (i == n - 1) return false;
        if (!autoFit) {
            ++i;
            continue;
        }
        if (!RetryInNextSegment(state, discMode, retried, segNo, t, h, w)) return false;
        ++i;
    }
    return false;
}

bool MeasureTrackTable(TextLayoutState& state, int size, float& numberWidth, float& timeWidth,
                       float& height) {
    ViewObject* object = state.object;
    const int n = object->GetCharCount();
    const bool autoFit = object->bAutoFit != 0;
    const bool wordWrap = object->wrapStyle == "Word-Wrap";
    const bool singleLine = object->wrapStyle == "Single-Line";
    const bool showNumbers = object->ShowsTrackNumbers(), showTimes = object->ShowsTrackTimes();
    TextMeasurer m(object);

    numberWidth = timeWidth = height = 0;
    float titleWidth = 0;  // the widest title, or title word when titles wrap
    float fw = 0, h = 0, base = 0, rowTop = 0, lineTop = 0;
    int f = 1, lineStart = 0;
    for (int i = 0; i < n; ++i) {
        const CString& ch = object->chars[i];
        RectF& cell = *object->cellBoxes[i];
        RectF& glyph = *object->glyphBoxes[i];
        if (FieldHidden(object, f, showNumbers, showTimes)) {
            cell = RectF(0, 0, 0, 0);
            glyph = RectF(0, 0, 0, 0);
        } else {
            const RectF box = MeasureLineChar(m, object, i, autoFit ? size : 0, singleLine);
            cell = box;
            glyph = RectF(box.X, box.Y, box.Width, m.RawAscent() + 0.5f);  // not rounded down here
        }
        fw += cell.Width;
        if (f == 2 && wordWrap && IsSpace(ch)) fw = 0;
        if (f == 1) numberWidth = std::max(numberWidth, fw);
        if (f == 2) titleWidth = std::max(titleWidth, fw);
        if (f == 3) timeWidth = std::max(timeWidth, fw);
        if (autoFit) {
            float total = f == 1 ? fw + titleWidth + timeWidth
                                 : (f == 2 ? numberWidth + fw + timeWidth : numberWidth + titleWidth + fw);
            if (total > state.areaW) return false;
        }
        h = std::max(h, cell.Height);
        base = std::max(base, glyph.Height);
        height = std::max(height, lineTop + h);
        if (autoFit && height > state.areaH) return false;

        if (IsFieldEnd(ch)) {
            if (f == 1 || f == 3) SetLineBaseline(object, h, lineStart, i, base);
            if (f == 3) rowTop = height;
            f = NextField(f);
            lineTop = rowTop;
            fw = 0;
            h = 0;
            base = 0;
            lineStart = i + 1;
        } else if (IsLineBreak(ch) && !singleLine) {
            if (f == 1 || f == 3) SetLineBaseline(object, h, lineStart, i, base);
            lineTop += h;
            fw = 0;
            h = 0;
            base = 0;
            lineStart = i + 1;
        }
    }
    return true;
}

bool LayoutTrackTableRows(TextLayoutState& state, float numberWidth, float timeWidth, float& height) {
    ViewObject* object = state.object;
    const int n = object->GetCharCount();
    const bool autoFit = object->bAutoFit != 0;
    const bool wordWrap = object->wrapStyle == "Word-Wrap";
    const bool singleLine = object->wrapStyle == "Single-Line";
    const float areaW = state.areaW;
    float room = state.areaH - height;

    auto cell = [&](int i) -> RectF& { return *object->cellBoxes[i]; };
    auto glyph = [&](int i) -> RectF& { return *object->glyphBoxes[i]; };

    // Rows are stacked from the top by their own bottoms; the measured height that comes in only
    // sizes the room left for wrapped titles (taking it as the first row's bottom would push every
    // row after the first below the whole table).
    float x = 0, rowTop = 0, lineTop = 0, h = 0, bottom = 0;
    int f = 1;
    int waitStart = 0;  // first title character not yet placed
    int lineStart = 0;  // first character of the current line of a number or time
    int breakAt = -1;
    float titleWidth = 0;

    // Finishes the waiting title characters first..last on the current line.
    auto placeTitle = [&](int first, int last) {
        float lineH = 0, base = 0;
        for (int j = first; j <= last; ++j) {
            lineH = std::max(lineH, cell(j).Height);
            base = std::max(base, glyph(j).Height);
        }
        SetLineBaseline(object, lineH, first, last, base);
        float px = numberWidth;
        for (int j = first; j <= last; ++j) {
            cell(j).X += px;
            glyph(j).X += px;
            cell(j).Y += lineTop;
            glyph(j).Y += lineTop;
            px += cell(j).Width;
        }
    };
    // Moves the current line of a time so that it ends at the right edge.
    auto alignTime = [&](int first, int last) {
        float shift = areaW - x;
        for (int j = first; j <= last; ++j) {
            if (cell(j).Height == 0 && cell(j).Width == 0) continue;
            cell(j).X += shift;
            glyph(j).X += shift;
        }
    };

    for (int i = 0; i < n; ++i) {
        const CString& ch = object->chars[i];
        if (f == 1 || f == 3) {
            cell(i).X += x;
            glyph(i).X += x;
            cell(i).Y += lineTop;
            glyph(i).Y += lineTop;
            x += cell(i).Width;
        }
        h = std::max(h, cell(i).Height);
        bottom = std::max(bottom, lineTop + h);

        if (f == 2 && wordWrap && !IsFieldEnd(ch) && !IsLineBreak(ch)) {
            titleWidth += cell(i).Width;
            if (IsSpace(ch) && i > 0 && !IsSpace(object->chars[i - 1])) breakAt = i;
            if (numberWidth + titleWidth + timeWidth > areaW) {
                int last = breakAt >= waitStart ? breakAt : i;
                placeTitle(waitStart, last);
                float lineH = 0;
                for (int j = waitStart; j <= last; ++j) lineH = std::max(lineH, cell(j).Height);
                if (autoFit) {
                    room -= lineH;
                    if (room < 0) return false;
                }
                lineTop += lineH;
                waitStart = last + 1;
                breakAt = -1;
                titleWidth = 0;
                h = 0;
                for (int j = waitStart; j <= i; ++j) {
                    titleWidth += cell(j).Width;
                    h = std::max(h, cell(j).Height);
                }
                bottom = std::max(bottom, lineTop + h);
            }
        }
        if (IsLineBreak(ch) && !singleLine) {
            if (f == 2) placeTitle(waitStart, i);
            if (f == 3) alignTime(lineStart, i);
            lineTop += h;
            h = 0;
            x = f == 1 ? 0 : (f == 2 ? numberWidth : areaW - timeWidth);
            waitStart = lineStart = i + 1;
            breakAt = -1;
            titleWidth = 0;
        } else if (IsFieldEnd(ch)) {
            if (f == 1) {
                x = numberWidth;
            } else if (f == 2) {
                placeTitle(waitStart, i);
                x = areaW - timeWidth;
            } else {
                alignTime(lineStart, i);
                x = 0;
                rowTop = bottom;
            }
            f = NextField(f);
            lineTop = rowTop;
            h = 0;
            waitStart = lineStart = i + 1;
            breakAt = -1;
            titleWidth = 0;
            if (i == n - 1) {
                height = std::max(height, bottom);
                return true;
            }
        }
    }
    height = std::max(height, bottom);
    return false;
}
