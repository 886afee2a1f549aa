#include "render/TextLayout.h"

#include <algorithm>
#include <cmath>

#include "model/Geometry.h"
#include "model/ViewObject.h"
#include "render/RenderContext.h"
#include "render/TextFonts.h"

using namespace Gdiplus;

namespace {

// The most tops the search for a disc text's first line tries.
const float kFirstLineTops = 4096.0f;

}  // namespace

// ---- layout state -----------------------------------------------------------------------------

TextLayoutState::TextLayoutState(ViewObject* obj, ViewObject* side, bool columns)
    : object(obj), sideObject(side), twoColumns(columns) {
    if (object) {
        RectF r = object->GetRectF(false);
        objX = r.X;
        objY = r.Y;
        objW = r.Width;
        objH = r.Height;
    }
    sideIsDisc = sideObject && sideObject->IsDisc();
    if (twoColumns && object) {
        int row = TwoColumnSplitRow(static_cast<int>(object->trackRows.GetSize()));
        if (row >= 0) splitIndex = object->trackRows[row]->timeEnd;
    }
    SetPart(1);
}

bool TextLayoutState::IsRingLayout() const {
    return sideIsDisc && object && object->side == 1 && object->bAutoFit;
}

void TextLayoutState::SetPart(int newPart) {
    part = newPart;
    const int degrees = object ? object->AngleToDegrees() : 0;
    const bool turned = degrees == 90 || degrees == 270;
    areaX = areaY = 0;
    areaW = turned ? objH : objW;
    areaH = turned ? objW : objH;
    partOffset = 0;
    if (twoColumns) {
        const float full = areaW;
        areaW = 0.48f * full;
        partOffset = part == 1 ? 0 : 0.52f * full;
    }
    if (!sideIsDisc) return;
    ring.centre = static_cast<float>(sideObject->width) / 2;
    ring.holeRadius = static_cast<float>(sideObject->height) / 2;
    ring.margin = static_cast<float>(sideObject->textMargin);

    float x = objX, y = objY, w = objW, h = objH;
    if (twoColumns) {
        // The part further along the turned reading is moved: part 2 at 0 and 90 degrees,
        // part 1 at 180 and 270.
        const bool moved = (degrees == 0 || degrees == 90) ? part == 2 : part == 1;
        if (!turned) {
            if (moved) x += 0.52f * w;
            w = 0.48f * w;
        } else {
            if (moved) y += 0.52f * h;
            h = 0.48f * h;
        }
    }
    const float dx = static_cast<float>(sideObject->left), dy = static_cast<float>(sideObject->top);
    const float dR = dx + static_cast<float>(sideObject->width),
                dB = dy + static_cast<float>(sideObject->width);
    switch (degrees) {
        case 90:
            ring.originX = y - dy;
            ring.originY = dR - (x + w);
            break;
        case 180:
            ring.originX = dR - (x + w);
            ring.originY = dB - (y + h);
            break;
        case 270:
            ring.originX = dB - (y + h);
            ring.originY = x - dx;
            break;
        default:
            ring.originX = x - dx;
            ring.originY = y - dy;
            break;
    }
}

void TextLayoutState::GetLineSegments(float top, float height) {
    if (!IsRingLayout()) {
        segments = LineSegments();
        segments.right1 = areaW;
        return;
    }
    segments = ComputeRingSegments(ring, areaW, top, height);
}

void TextLayoutState::SkipHoleBand(float& top, float height) const {
    if (topAndBottom && top + height > topBandEnd && top < bottomBandStart) top = bottomBandStart;
}

int TextLayoutState::FindFirstLine(float& top, float height, float width) {
    // Tops are tried a unit apart; on an area taller than kFirstLineTops units the steps widen,
    // so that one search never tries more tops than that, however tall the object is.
    if (!std::isfinite(areaH) || !std::isfinite(height)) return 0;
    const float step = std::max(1.0f, areaH / kFirstLineTops);
    for (top = 0;; top += step) {
        SkipHoleBand(top, height);
        if (!(top + height <= areaH)) return 0;
        GetLineSegments(top, height);
        if (const int fit = segments.Holding(width)) return fit;
    }
}

bool TextLayoutState::MoveToNextSegment(int& segNo, float& top, float height, float width) {
    if (segNo == 1) {
        if (segments.Width2() <= width) return false;
        segNo = 2;
        return true;
    }
    top += height;
    SkipHoleBand(top, height);
    if (top + height > areaH) return false;
    GetLineSegments(top, height);
    const int fit = segments.Holding(width);
    if (fit == 0) return false;
    segNo = fit;
    return true;
}

void TextLayoutState::AlignLines(int first, int last) {
    const int n = object->GetCharCount();
    if (n == 0) return;
    if (last == 0) last = n - 1;
    if (last > n - 1) last = n - 1;
    if (first < 0) first = 0;
    const CString& alignment = object->alignment;
    const bool ring = IsRingLayout();

    int j = first;
    while (j <= last) {
        RectF& c0 = *object->cellBoxes[j];
        if (c0.Height == 0) {
            ++j;
            continue;
        }
        // One run: the characters of one visual line (one cell y), split at the hole on a disc.
        const float top = c0.Y, height = c0.Height;
        GetLineSegments(top, height);
        const LineSegments seg = segments;
        const bool second = ring && !seg.Empty2() && c0.X >= seg.left2;
        int runFirst = j, runLast = j;
        int k = j + 1;
        for (; k <= last; ++k) {
            RectF& c = *object->cellBoxes[k];
            if (c.Height == 0) continue;
            if (c.Y != top) break;
            if (ring && !second && !seg.Empty2() && c.X >= seg.left2) break;
            runLast = k;
        }
        const RectF& f = *object->cellBoxes[runFirst];
        const RectF& l = *object->cellBoxes[runLast];
        const float segLeft = second ? seg.left2 : seg.left1;
        const float segRight = second ? seg.right2 : seg.right1;
        float shift;
        if (alignment == "Left")
            shift = segLeft - f.X;
        else if (alignment == "Right")
            shift = segRight - (l.X + l.Width);
        else
            shift = ((segRight - segLeft) - (l.X + l.Width - f.X)) * 0.5f + segLeft - f.X;
        shift += partOffset;
        for (int i = runFirst; i <= runLast; ++i) {
            RectF& c = *object->cellBoxes[i];
            if (c.Height == 0) continue;
            c.X += shift;
            object->glyphBoxes[i]->X += shift;
        }
        j = k;
    }
}

// ---- line building ----------------------------------------------------------------------------

void SetLineBaseline(ViewObject* object, float lineHeight, int first, int last, float baseline) {
    for (int j = first; j <= last; ++j) {
        RectF& cell = *object->cellBoxes[j];
        RectF& glyph = *object->glyphBoxes[j];
        if (cell.Height == 0 || glyph.Height == 0) continue;
        glyph.Y = baseline - glyph.Height;
        cell.Height = lineHeight;
        if (j < object->charUnderlines.GetSize() && object->charUnderlines[j] != 0) {
            // A thickness that rounds to nothing would also erase the underline for good.
            int thickness = UnderlineThickness(lineHeight, baseline);
            object->charUnderlines[j] = static_cast<WORD>(std::max(1, std::min(thickness, 65535)));
        }
    }
}

RectF MeasureLineChar(TextMeasurer& m, ViewObject* object, int i, int autoFitSize, bool singleLine) {
    const int n = object->GetCharCount();
    const CString& ch = object->chars[i];
    m.SelectFontAt(i, autoFitSize);
    const CString next = i + 1 < n ? object->chars[i + 1] : CString();
    const bool useP = (IsLineBreak(next) || IsFieldEnd(next)) && !IsSpace(ch) && m.IsItalic();
    RectF box = m.Measure(ch, useP);
    if (IsLineBreak(ch)) {
        if (singleLine)
            box = m.MeasureSpace();
        else
            box.Width = 0;
    } else if (IsFieldEnd(ch)) {
        // An empty line keeps the height of a space.
        if (i == 0 || IsFieldEnd(object->chars[i - 1]) || IsLineBreak(object->chars[i - 1]))
            box = m.MeasureSpace();
        box.Width = 0;
    }
    return box;
}

float LineExtent(ViewObject* object, int first, int last, float& baseline) {
    float height = 0;
    baseline = 0;
    for (int j = first; j <= last; ++j) {
        height = std::max(height, object->cellBoxes[j]->Height);
        baseline = std::max(baseline, object->glyphBoxes[j]->Height);
    }
    return height;
}

void PlaceLine(TextLayoutState& state, int first, int last, int segNo, float top, float height,
               float baseline) {
    ViewObject* object = state.object;
    state.GetLineSegments(top, height);
    SetLineBaseline(object, height, first, last, baseline);
    float x = segNo == 1 ? state.segments.left1 : state.segments.left2;
    for (int j = first; j <= last; ++j) {
        RectF& cell = *object->cellBoxes[j];
        RectF& glyph = *object->glyphBoxes[j];
        cell.X += x;
        glyph.X += x;
        cell.Y += top;
        glyph.Y += top;
        x += cell.Width;
    }
}

bool RetryInNextSegment(TextLayoutState& state, bool discMode, bool& retried, int& segNo, float& top,
                        float& height, float& width) {
    if (!discMode || retried) return false;
    retried = true;
    return state.MoveToNextSegment(segNo, top, height, width);
}

bool LayoutTextLines(TextLayoutState& state, int size, float& used) {
    ViewObject* object = state.object;
    const int n = object->GetCharCount();
    const bool autoFit = object->bAutoFit != 0;
    const bool discMode = state.sideIsDisc && autoFit;
    const bool wordWrap = object->wrapStyle == "Word-Wrap";
    const bool singleLine = object->wrapStyle == "Single-Line";
    TextMeasurer m(object);

    used = 0;
    float t = 0, h = 0, w = 0;
    int k = -1, segNo = 1, s = 0;
    bool firstLine = true, retried = false;
    state.GetLineSegments(t, h);

    auto cell = [&](int i) -> RectF& { return *object->cellBoxes[i]; };
    auto glyph = [&](int i) -> RectF& { return *object->glyphBoxes[i]; };
    auto segWidth = [&]() { return segNo == 1 ? state.segments.Width1() : state.segments.Width2(); };

    int i = 0;
    while (i < n) {
        const CString& ch = object->chars[i];
        const RectF box = MeasureLineChar(m, object, i, autoFit ? size : 0, singleLine);
        bool endLine = false;

        if (wordWrap && IsSpace(ch) && i > 0 && !IsSpace(object->chars[i - 1])) k = i;
        if ((IsLineBreak(ch) && !singleLine) || IsFieldEnd(ch)) {
            k = i;
            endLine = true;
        }
        cell(i) = box;
        const float a = m.Ascent();
        glyph(i) = RectF(box.X, box.Y, box.Width, a);
        w += box.Width;

        bool skipEnd = false;
        if (box.Height > h) {
            h = box.Height;
            state.GetLineSegments(t, h);
            if (autoFit && w > state.segments.Width1() && w > state.segments.Width2() &&
                !state.segments.Empty2() && !firstLine)
                return false;
        }
        if (discMode && firstLine) {
            if (state.areaW < w) return false;
            if (k < 0) {
                skipEnd = true;
            } else {
                firstLine = false;
                segNo = state.FindFirstLine(t, h, w);
                if (segNo == 0) return false;
            }
        }
        if (!skipEnd && (segNo == 1 || !state.segments.Empty2()) && w > segWidth()) endLine = true;
        if (i != n - 1 && !endLine) {
            ++i;
            continue;
        }
        if (skipEnd && i != n - 1) {
            ++i;
            continue;
        }

        if (k >= s) {
            float base = 0;
            h = LineExtent(object, s, k, base);
            used = t + h;
            if (autoFit && used > state.areaH) return false;
            PlaceLine(state, s, k, segNo, t, h, base);
            if (k + 1 == n) return true;
            if (discMode && segNo == 1 && !state.segments.Empty2()) {
                segNo = 2;
            } else {
                t = used;
                h = 0;
                segNo = 1;
                state.GetLineSegments(t, h);
            }
            w = 0;
            s = k + 1;
            retried = false;
            i = k + 1;
            continue;
        }
        // No break point on this line.
        if (!autoFit) {
            ++i;
            continue;
        }
        if (!RetryInNextSegment(state, discMode, retried, segNo, t, h, w)) return false;
        ++i;
    }
    return false;
}

// ---- entries ------------------------------------------------------------------------------------

namespace {

void CentreVertically(TextLayoutState& state, float used) {
    ViewObject* object = state.object;
    if (!object->bAutoFit || state.sideIsDisc || object->autoFitGaveUp) return;
    const float d = (state.areaH - used) * 0.5f;
    for (int i = 0; i < object->GetCharCount(); ++i) {
        if (object->cellBoxes[i]->Height == 0) continue;
        object->cellBoxes[i]->Y += d;
        object->glyphBoxes[i]->Y += d;
    }
}

}  // namespace

// The AutoFit search shared by texts and track lists: runs `layout` until the search settles.
template <class Layout>
static int RunAutoFitSearch(ViewObject* object, Layout layout, float& used, int* triesOut = nullptr,
                            bool restoreAutoFit = true) {
    const int start = object->bAutoFit
                          ? AutoFitStartSize(object->GetCharCount() > 0 ? object->charFonts[0] : nullptr)
                          : 400;
    AutoFitSearch search(start);
    for (;;) {
        bool fits = layout(search.size, used);
        if (!object->bAutoFit) break;
        AutoFitSearch::Step step = search.Next(fits);
        if (step == AutoFitSearch::kStop) break;
        if (step == AutoFitSearch::kGiveUp) {
            object->autoFitGaveUp = 1;
            object->bAutoFit = 0;
            layout(search.size, used);
            break;
        }
    }
    if (restoreAutoFit && object->autoFitGaveUp) object->bAutoFit = 1;
    if (triesOut) *triesOut = search.tries;
    return search.size;
}

void LayoutText(ViewObject* object, RenderContext& rc) {
    TextLayoutState state(object, rc.currentObject, false);
    object->autoFitGaveUp = 0;
    float used = 0;
    RunAutoFitSearch(
        object, [&](int size, float& u) { return LayoutTextLines(state, size, u); }, used);
    state.AlignLines(0, 0);
    CentreVertically(state, used);
}

void LayoutTrackList(ViewObject* object, RenderContext& rc) {
    const bool twoColumns = object->textLayout == "2 Columns";
    TextLayoutState state(object, rc.currentObject, twoColumns);
    object->autoFitGaveUp = 0;
    float used = 0;
    RunAutoFitSearch(
        object, [&](int size, float& u) { return LayoutTrackLines(state, size, u); }, used);
    if (twoColumns && state.splitIndex >= 0) {
        state.SetPart(1);
        state.AlignLines(0, state.splitIndex);
        state.SetPart(2);
        if (state.splitIndex + 1 <= object->GetCharCount() - 1)
            state.AlignLines(state.splitIndex + 1, object->GetCharCount() - 1);
        state.SetPart(1);
    } else {
        state.AlignLines(0, 0);
    }
    CentreVertically(state, used);
}

void DrawTextObject(ViewObject* object, RenderContext& rc) {
    GuardOperation(720, [&] {
        if (!object || !(object->IsText() || object->IsTrackList())) return;
        object->SyncCharBoxes();
        object->SyncCharUnderlines();
        // A missing style slot means "as the character before".
        while (object->charFonts.GetSize() < object->GetCharCount()) object->charFonts.Add(nullptr);
        // The same for colours: a text saved without colour records reads back with none at all,
        // and draws in the colour drawing starts with (opaque black). Empty slots are not stored,
        // so the saved text is unchanged.
        while (object->charColors.GetSize() < object->GetCharCount()) object->charColors.Add(nullptr);
        // A first character without a font takes the default one for good, so that the size
        // AutoFit finds is kept and the drawing uses the font the layout measured.
        if (object->GetCharCount() > 0 && !object->charFonts[0])
            object->charFonts[0] = ViewObject::NewDefaultFontRecord();
        if (object->GetCharCount() == 0 || object->cellBoxes.GetSize() != object->GetCharCount() ||
            object->glyphBoxes.GetSize() != object->GetCharCount() ||
            object->charUnderlines.GetSize() != object->GetCharCount()) {
            object->needsLayout = 0;
            return;
        }
        if (object->IsText()) {
            LayoutText(object, rc);
        } else {
            object->RebuildTrackRows();
            if (object->textLayout == "Table Format")
                LayoutTrackTable(object, rc);
            else
                LayoutTrackList(object, rc);
        }
        const int a = object->AngleToDegrees();
        if (a != 0) {
            Matrix matrix;
            matrix.Rotate(static_cast<REAL>(a), MatrixOrderAppend);
            const REAL w = static_cast<REAL>(object->width), h = static_cast<REAL>(object->height);
            REAL tx = 0, ty = 0;
            if (a == 90) tx = w;
            if (a == 180) {
                tx = w;
                ty = h;
            }
            if (a == 270) ty = h;
            matrix.Translate(tx, ty, MatrixOrderAppend);
            for (INT_PTR i = 0; i < object->cellBoxes.GetSize(); ++i)
                TransformRectF(*object->cellBoxes[i], &matrix, static_cast<float>(a));
            for (INT_PTR i = 0; i < object->glyphBoxes.GetSize(); ++i)
                TransformRectF(*object->glyphBoxes[i], &matrix, static_cast<float>(a));
        }
        if (object->IsTableFormat()) object->LayoutTrackColumns();
        object->needsLayout = 0;
    });
}

void LayoutTrackTable(ViewObject* object, RenderContext& rc) {
    TextLayoutState state(object, rc.currentObject, false);
    object->autoFitGaveUp = 0;
    float numberWidth = 0, timeWidth = 0, height = 0;
    int tries = 1;
    int size = RunAutoFitSearch(
        object,
        [&](int s, float& u) {
            bool ok = MeasureTrackTable(state, s, numberWidth, timeWidth, height);
            u = height;
            return ok;
        },
        height, &tries, false);
    object->SyncCharBoxes();
    const bool wordWrap = object->wrapStyle == "Word-Wrap";
    for (;;) {
        float placed = height;
        bool ok = LayoutTrackTableRows(state, numberWidth, timeWidth, placed);
        if (ok || !wordWrap || !object->bAutoFit) {
            height = placed;
            break;
        }
        if (size == kAutoFitMinSize || tries > kAutoFitMaxTries) {
            object->autoFitGaveUp = 1;
            height = placed;
            break;
        }
        ++tries;
        size = ShrinkTableSize(size);
        MeasureTrackTable(state, size, numberWidth, timeWidth, height);
    }
    if (object->autoFitGaveUp) object->bAutoFit = 1;

    // Titles are aligned between the number column and the time column.
    const int degrees = object->AngleToDegrees();
    if (degrees == 90 || degrees == 270)
        state.objH -= numberWidth + timeWidth;
    else
        state.objW -= numberWidth + timeWidth;
    state.SetPart(1);
    state.partOffset = numberWidth;
    for (INT_PTR r = 0; r < object->trackRows.GetSize(); ++r) {
        const TrackRow* row = object->trackRows[r];
        if (row->titleEnd >= row->titleStart && row->titleEnd > 0)
            state.AlignLines(row->titleStart, row->titleEnd);
    }
    CentreVertically(state, height);
}
