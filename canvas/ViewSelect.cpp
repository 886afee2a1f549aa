// The in-place editor's editing: selection, caret and highlight drawn into the view's
// off-screen buffer, mouse and key selection, deleting and typing with undo, linked texts that
// follow their album field, the new layout and redraw of a changed text, and the editor's timers.
#include "canvas/ViewSelect.h"

#include <cmath>

#include "canvas/ViewSettings.h"
#include "canvas/AppCanvasState.h"
#include "canvas/CanvasMessage.h"
#include "canvas/View.h"
#include "model/Geometry.h"
#include "render/RenderContext.h"

using namespace Gdiplus;

namespace {

const char* const kPrevKeys[4] = {"prevText", "prevFont", "prevColor", "prevUnderline"};
const char* const kNextKeys[4] = {"nextText", "nextFont", "nextColor", "nextUnderline"};

}  // namespace

BEGIN_MESSAGE_MAP(ViewSelect, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

ViewSelect::ViewSelect() {
    m_showTrackTip = g_helpTrack;
}

ViewSelect::~ViewSelect() = default;

bool ViewSelect::IsTextual(const ViewObject* object) {
    return object && (object->IsText() || object->IsTrackList());
}

View* ViewSelect::GetView() const {
    return m_view;
}

ViewObject* ViewSelect::GetSelectedObject() const {
    return m_view ? m_view->m_design.GetFirstSelected() : nullptr;
}

void ViewSelect::RecordFour(ViewObject* object, bool next) {
    if (!m_view) return;
    for (const char* key : next ? kNextKeys : kPrevKeys) m_view->RecordUndoValue(key, object, "", "");
}

bool ViewSelect::GetSelection(int& start, int& end) const {
    ViewObject* o = GetSelectedObject();
    if (!o) return false;
    if (IsTextual(o)) {
        start = m_selStart;
        end = m_selEnd;
    } else {
        start = end = 0;
    }
    return true;
}

void ViewSelect::SetSelection(int start, int end) {
    ViewObject* o = GetSelectedObject();
    if (!IsTextual(o)) return;
    TextEditing::SetSelection(*o, *this, start, end);
}

void ViewSelect::ResetCharStates() {
    m_charStates.RemoveAll();
    m_framedRow = m_framedField = -1;
    ViewObject* o = GetSelectedObject();
    if (!o) return;
    for (INT_PTR i = 0; i < o->cellBoxes.GetSize(); ++i) m_charStates.Add(0);
}

void ViewSelect::BeginEditing(ViewObject* object) {
    if (!IsTextual(object)) return;
    m_startRow = -1;
    if (m_hWnd) KillTimer(kTimerCaretBlink);
    TextEditing::SetSelection(*object, *this, 0, 0);
}

void ViewSelect::EndEditing() {
    if (m_hWnd) KillTimer(kTimerCaretBlink);
    m_framedRow = -1;
    m_caretX = -1;
    m_startRow = m_endRow = m_startField = m_endField = 0;
    m_selStart = m_selEnd = 0;
    m_lastShownStart = m_lastShownEnd = -2;
    m_charStates.RemoveAll();
    if (m_view) m_view->m_design.ClearSelection();
}

// ---- the highlight ------------------------------------------------------------------------------

namespace {

// The device rectangle of character i in buffer coordinates, with the thin boxes of separators
// and line breaks and the column layouts' one pixel less.
RECT CharDeviceRect(const ViewObject& o, int i, double sx, double sy, float ox, float oy) {
    RectF box = NormalizeRectF(*o.cellBoxes[i]);
    box.X += static_cast<REAL>(o.left);
    box.Y += static_cast<REAL>(o.top);
    RECT r = RoundRectFToEdges(ScaleRectF(box, sx, sy, ox, oy, 0, 0));
    const int degrees = o.AngleToDegrees();
    const CString& ch = o.chars.GetSize() > i ? o.chars[i] : CString();
    if (ch == "\r" || ch == CString(kTrackFieldEnd, 1)) {
        if (degrees == 0) r.right = r.left + 2;
        if (degrees == 90) r.bottom = r.top + 2;
        if (degrees == 180) r.left = r.right - 2;
        if (degrees == 270) r.top = r.bottom - 2;
    }
    if (o.IsColumnFormat()) {
        if (degrees == 0 || degrees == 180)
            r.bottom -= 1;
        else
            r.right -= 1;
    }
    return r;
}

RECT CaretBar(const RECT& r, int degrees) {
    RECT bar = r;
    if (degrees == 0) bar.right = r.left + 2;
    if (degrees == 180) bar.left = r.right - 2;
    if (degrees == 270) bar.top = r.bottom - 2;
    if (degrees == 90) bar.bottom = r.top + 2;
    return bar;
}

// Inverts `r`, within `box` when given: a selected line the text's box clips is highlighted only where it
// shows, and nothing outside the box changes (the window takes only the box when it is shown).
void InvertRect(RenderContext& ctx, const RECT& r, const RECT* box = nullptr) {
    RECT part = r;
    if (box && !::IntersectRect(&part, &r, box)) return;
    CRgn region;
    if (!region.CreateRectRgn(part.left, part.top, part.right, part.bottom)) return;
    ctx.InvertRegion(static_cast<HRGN>(region.m_hObject));
}

}  // namespace

void ViewSelect::UpdateHighlight(bool hideAll, bool redraw) {
    GuardOperation(970, [&] {
        ViewObject* o = GetSelectedObject();
        View* view = m_view;
        if (!view || !IsTextual(o) || o->cellBoxes.GetSize() == 0) return;
        const int n = static_cast<int>(o->cellBoxes.GetSize());
        int s = -1, e = -1;
        if (!hideAll) {
            s = m_selStart;
            e = m_selEnd;
            if (s < 0 || s > n - 1 || e < 0 || e > n - 1) return;
        }
        if (m_charStates.GetSize() != n) ResetCharStates();
        double sx = 0, sy = 0;
        view->ModelToDevice(nullptr, Rect(), sx, sy);
        float ox = 0, oy = 0;
        view->CanvasOffsets(ox, oy);
        HBITMAP bitmap = view->m_buffer.Bitmap();
        if (!bitmap) return;
        RenderContext ctx;
        ctx.SetupHighlight(bitmap, sx, sy, &view->m_design, view->m_pageOrigin.x, view->m_pageOrigin.y);
        const int degrees = o->AngleToDegrees();
        const bool focused = ::GetFocus() == view->m_hWnd;
        // The object's box with room for a caret on its edges (two pixels wide).
        RECT box = RoundRectFToEdges(ScaleRectF(RectF(static_cast<REAL>(o->left), static_cast<REAL>(o->top),
                                                      static_cast<REAL>(o->width), static_cast<REAL>(o->height)),
                                                sx, sy, ox, oy, 0, 0));
        ::InflateRect(&box, 2, 2);
        bool changed = UpdateTrackFrame(*o, ctx, hideAll);
        for (int i = 0; i < n; ++i) {
            if (!o->cellBoxes[i]) continue;
            WORD target = 0;
            if (!hideAll) {
                if (i == s && i == e && focused)
                    target = 1;
                else if (TextEditing::IsCharSelected(*o, *this, i))
                    target = 2;
            }
            const WORD now = m_charStates[i];
            if (now == target) continue;
            RECT r = CharDeviceRect(*o, i, sx, sy, ox, oy);
            RECT bar = CaretBar(r, degrees);
            if (now == 1) InvertRect(ctx, bar, &box);
            if (now == 2) InvertRect(ctx, r, &box);
            if (target == 2) InvertRect(ctx, r, &box);
            if (target == 1) InvertRect(ctx, bar, &box);
            m_charStates[i] = target;
            changed = true;
        }
        if (changed && redraw) {
            // The box and the caret's two pixels around it, in design units.
            const int mx = sx > 0 ? static_cast<int>(std::ceil(3 / sx)) : 0;
            const int my = sy > 0 ? static_cast<int>(std::ceil(3 / sy)) : 0;
            view->Redraw(false, Rect(o->left - mx, o->top - my, o->width + 2 * mx, o->height + 2 * my));
        }
        if (m_hWnd) {
            if (s == e)
                SetTimer(kTimerCaretBlink, 500, nullptr);
            else
                KillTimer(kTimerCaretBlink);
        }
    });
}

bool ViewSelect::UpdateTrackFrame(const ViewObject& o, RenderContext& ctx, bool hideAll) {
    if (!o.IsTrackList() || o.trackRows.GetSize() == 0) return false;
    const bool several = m_startRow != m_endRow || m_startField != m_endField;
    if (!hideAll && several && m_framedRow == -1) return false;
    if (!hideAll && !several && m_startRow == m_framedRow && m_startField == m_framedField) return false;
    bool changed = false;
    if (m_framedRow != -1) {
        DrawTrackFrame(o, ctx, m_framedRow, m_framedField);
        changed = true;
    }
    if (hideAll || several || m_startRow < 0) {
        m_framedRow = -1;
        m_framedField = -1;
        return changed;
    }
    DrawTrackFrame(o, ctx, m_startRow, m_startField);
    m_framedRow = m_startRow;
    m_framedField = m_startField;
    return true;
}

void ViewSelect::DrawTrackFrame(const ViewObject& o, RenderContext& ctx, int row, int field) {
    if (row < 0 || row >= o.trackRows.GetSize() || !m_view) return;
    double sx = 0, sy = 0;
    m_view->ModelToDevice(nullptr, Rect(), sx, sy);
    float ox = 0, oy = 0;
    m_view->CanvasOffsets(ox, oy);
    const int first = TextEditing::FieldFirst(o, row, field), end = TextEditing::FieldEnd(o, row, field);
    if (first < 0 || end < first || end >= o.cellBoxes.GetSize()) return;
    if (o.IsTableFormat()) {
        // Two one-pixel lines across the row at the borders of the title column, turned with the
        // text: the title column runs along x at 0 and 180 degrees and along y at 90 and 270, and
        // the numbers stand before it in reading order (left at 0, top at 90, right at 180,
        // bottom at 270).
        const int degrees = o.AngleToDegrees();
        RectF rowBox = o.GetTrackRowRect(row);
        rowBox.X += static_cast<REAL>(o.left);
        rowBox.Y += static_cast<REAL>(o.top);
        const RECT r = RoundRectFToEdges(ScaleRectF(rowBox, sx, sy, ox, oy, 0, 0));
        RectF title = o.titleArea;
        title.X += static_cast<REAL>(o.left);
        title.Y += static_cast<REAL>(o.top);
        const RECT t = RoundRectFToEdges(ScaleRectF(title, sx, sy, ox, oy, 0, 0));
        const bool alongX = degrees == 0 || degrees == 180;
        const int step = degrees == 0 || degrees == 90 ? 1 : -1;  // from the numbers to the times
        const int low = alongX ? t.left : t.top, high = (alongX ? t.right : t.bottom) - 1;
        const int firstPixel = step > 0 ? low : high, lastPixel = step > 0 ? high : low;
        auto line = [&](int at) {
            InvertRect(ctx, alongX ? RECT{at, r.top, at + 1, r.bottom} : RECT{r.left, at, r.right, at + 1});
        };
        if (o.ShowsTrackNumbers()) line(firstPixel - 3 * step + (field == 1 ? 5 * step : 0));
        if (o.ShowsTrackTimes()) line(lastPixel + 3 * step + (field == 3 ? 5 * step : 0));
        return;
    }
    RECT outline = CharDeviceRect(o, first, sx, sy, ox, oy);
    for (int i = first + 1; i <= end; ++i) {
        RECT c = CharDeviceRect(o, i, sx, sy, ox, oy);
        ::UnionRect(&outline, &outline, &c);
    }
    ctx.AddRectPath(outline.left - 1, outline.top - 1, outline.right - outline.left + 1,
                    outline.bottom - outline.top + 1);
    ctx.DrawOutlinePaths();
}

// ---- selection by keys and mouse ------------------------------------------------------------------

int ViewSelect::CharIndexFromPoint(int x, int y, bool fromDevice) {
    ViewObject* o = GetSelectedObject();
    if (!IsTextual(o)) return 0;
    float px = static_cast<float>(x), py = static_cast<float>(y);
    if (fromDevice && m_view) {
        double sx = 0, sy = 0;
        m_view->ModelToDevice(nullptr, Rect(), sx, sy);
        CPoint origin;
        m_view->GetScrollOrigin(origin, false);
        px = static_cast<float>((x + origin.x) / sx) - static_cast<float>(o->left);
        py = static_cast<float>((y + origin.y) / sy) - static_cast<float>(o->top);
    }
    return TextEditing::CharIndexFromPoint(*o, px, py);
}

void ViewSelect::MoveCaret(int key, bool redraw) {
    ViewObject* o = GetSelectedObject();
    if (!IsTextual(o)) return;
    if (m_hWnd) KillTimer(kTimerCaretBlink);
    const int c = TextEditing::MoveCaretIndex(*o, *this, key);
    SetSelection(c, c);
    if (redraw) {
        UpdateHighlight(true, false);
        UpdateHighlight(false, true);
    }
}

void ViewSelect::ExtendSelection(ViewObject* object, int key) {
    if (!IsTextual(object)) return;
    // A caret is where a Shift selection grows from, whatever put it there (a key, typing, a
    // deletion, an undo).
    if (m_selStart == m_selEnd) m_anchor = m_selStart;
    int start = m_selStart, end = m_selEnd;
    TextEditing::ExtendSelectionRange(*object, *this, key, start, end);
    TextEditing::SetSelection(*object, *this, start, end);
    UpdateHighlight(true, false);
    UpdateHighlight(false, true);
}

void ViewSelect::BeginMouseSelect(CPoint point, UINT code) {
    ViewObject* o = GetSelectedObject();
    if (!IsTextual(o)) return;
    m_caretX = -1;
    m_anchor = CharIndexFromPoint(point.x, point.y, true);
    if (code == kRightPress && m_anchor >= m_selStart && m_anchor <= m_selEnd) return;
    m_selStart = m_anchor;
    m_lastShownStart = m_lastShownEnd = -2;
    DragSelect(point.x, point.y);
}

void ViewSelect::DragSelect(int x, int y) {
    ViewObject* o = GetSelectedObject();
    if (!IsTextual(o)) return;
    const int c = CharIndexFromPoint(x, y, true);
    int a = m_anchor, b = c;
    if (a > b) std::swap(a, b);
    if (a == m_lastShownStart && b == m_lastShownEnd) return;
    SetSelection(a, b);
    UpdateHighlight(false, true);
    if (m_lastShownStart != -2 || m_lastShownEnd != -2) ShowFontSize();
    m_lastShownStart = a;
    m_lastShownEnd = b;
}

void ViewSelect::NextTrackField(ViewObject* object) {
    if (!object || !object->IsTrackList() || object->trackRows.GetSize() == 0) return;
    if (m_hWnd) KillTimer(kTimerCaretBlink);
    m_endRow = (m_endRow + 1) % static_cast<int>(object->trackRows.GetSize());
    const int field = m_endField >= 1 && m_endField <= 3 ? m_endField : 2;
    SetSelection(TextEditing::FieldFirst(*object, m_endRow, field),
                 TextEditing::FieldEnd(*object, m_endRow, field));
    UpdateHighlight(true, false);
    UpdateHighlight(false, true);
}

// ---- deleting and typing ----------------------------------------------------------------------------

void ViewSelect::DeleteChars(bool finish, bool wholeRows) {
    GuardOperation(971, [&] {
        ViewObject* edited = GetSelectedObject();
        if (!IsTextual(edited) || !m_view) return;
        int from = 0, to = 0;
        bool rows = false;
        if (!TextEditing::GetDeleteRange(*edited, *this, wholeRows, from, to, rows)) return;
        if (m_hWnd) KillTimer(kTimerCaretBlink);
        bool tip = false;
        CSelectionArray targets;
        targets.Copy(m_view->m_design.selection);
        for (INT_PTR k = 0; k < targets.GetSize(); ++k) {
            ViewObject* o = targets[k];
            if (!IsTextual(o)) continue;
            RecordFour(o, false);
            if (TextEditing::DeleteRange(*o, *this, from, to, rows)) tip = true;
            RecordFour(o, true);
        }
        if (tip && m_showTrackTip && m_hWnd) SetTimer(kTimerTrackTip, 100, nullptr);
        if (rows) {
            for (INT_PTR k = 0; k < targets.GetSize(); ++k)
                if (targets[k]->IsTrackList()) RenumberTracks(targets[k]);
        }
        const int caret = TextEditing::CaretAfterDelete(*edited, *this, from, rows);
        if (finish) {
            SetSelection(caret, caret);
            if (edited->bLinkText) m_view->SetDocumentText(edited->name, edited->GetText());
            AppCanvasState::Get().m_relayoutRequest = 1;
        } else {
            m_selStart = m_selEnd = caret;
        }
    });
}

void ViewSelect::InsertText(const CString& text) {
    GuardOperation(3306, [&] {
        ViewObject* edited = GetSelectedObject();
        if (!IsTextual(edited) || !m_view || text.IsEmpty()) return;
        if (m_hWnd) KillTimer(kTimerCaretBlink);
        if (m_selStart != m_selEnd) DeleteChars(false, false);
        const int s = m_selStart;
        CSelectionArray targets;
        targets.Copy(m_view->m_design.selection);
        for (INT_PTR k = 0; k < targets.GetSize(); ++k) {
            ViewObject* o = targets[k];
            if (!IsTextual(o)) continue;
            RecordFour(o, false);
            TextEditing::InsertChars(*o, s, text);
            RecordFour(o, true);
        }
        SetSelection(s + text.GetLength(), s + text.GetLength());
        if (edited->bLinkText) m_view->SetDocumentText(edited->name, edited->GetText());
        UpdateTextLayout(TRUE, TRUE);
    });
}

void ViewSelect::RenumberTracks(ViewObject* object) {
    GuardOperation(973, [&] {
        if (!object || !object->IsTrackList()) return;
        RecordFour(object, false);
        TextEditing::RenumberTracks(*object);
        RecordFour(object, true);
    });
}

void ViewSelect::SetObjectText(ViewObject* object, BOOL timeFieldsOnly) {
    GuardOperation(974, [&] {
        ::SetRectEmpty(&m_textChangedArea);
        if (!m_view) return;
        std::vector<ViewObject*> objects;
        if (object)
            objects.push_back(object);
        else
            m_view->m_design.ForEachObject([&](ViewObject* o) { objects.push_back(o); });
        ViewObject* edited = GetSelectedObject();
        for (ViewObject* o : objects) {
            if (!IsTextual(o) || !o->bLinkText) continue;
            if (timeFieldsOnly && o->IsText() && !o->IsTimeField()) continue;
            const CString value = m_view->m_design.GetAlbumField(o->name);
            if (value.IsEmpty()) continue;
            const int n = value.GetLength();
            if (value == o->GetText() && o->charFonts.GetSize() == n && o->charColors.GetSize() == n &&
                o->charUnderlines.GetSize() == n)
                continue;
            RecordFour(o, false);
            if (o == edited) m_selStart = m_selEnd = 0;
            o->SetTextKeepStyles(value);
            o->RebuildTrackRows();
            RecordFour(o, true);
            const RECT r = {o->left, o->top, o->left + o->width, o->top + o->height};
            ::UnionRect(&m_textChangedArea, &m_textChangedArea, &r);
        }
    });
}

// ---- layout and redraw of the changed text ------------------------------------------------------------

namespace {
// Where the text's last layout put its characters, in design units: a big font's characters, and
// the caret and highlight drawn over them, reach past the frame, and a new smaller layout must
// clear them there too.
Rect LaidOutExtent(const ViewObject& o) {
    RectF extent;
    bool any = false;
    for (INT_PTR i = 0; i < o.cellBoxes.GetSize(); ++i) {
        if (!o.cellBoxes[i]) continue;
        RectF box = NormalizeRectF(*o.cellBoxes[i]);
        if (any)
            RectF::Union(extent, extent, box);
        else
            extent = box;
        any = true;
    }
    if (!any) return Rect();
    return Rect(static_cast<INT>(std::floor(extent.X)) + o.left - 1, static_cast<INT>(std::floor(extent.Y)) + o.top - 1,
                static_cast<INT>(std::ceil(extent.Width)) + 3, static_cast<INT>(std::ceil(extent.Height)) + 3);
}
}  // namespace

void ViewSelect::UpdateTextLayout(BOOL linkedAll, BOOL redraw) {
    GuardOperation(999, [&] {
        ViewObject* o = GetSelectedObject();
        if (!o || !m_view) return;
        m_caretX = -1;
        const bool all = linkedAll && o->bLinkText;
        if (all) {
            for (INT_PTR i = 0; i < m_view->m_design.selection.GetSize(); ++i)
                m_view->m_design.selection[i]->needsLayout = 1;
        } else {
            o->needsLayout = 1;
        }
        if (!redraw) return;
        const BYTE wait = m_view->m_waitCursor;
        m_view->m_waitCursor = 0;
        // Only the laid-out objects change: their area of the side is drawn again, not the side,
        // with where their last layout put characters (a smaller new layout must clear them).
        Rect area(o->left, o->top, o->width, o->height);
        Rect::Union(area, area, LaidOutExtent(*o));
        if (all) {
            for (INT_PTR i = 0; i < m_view->m_design.selection.GetSize(); ++i) {
                const ViewObject* s = m_view->m_design.selection[i];
                Rect::Union(area, area, Rect(s->left, s->top, s->width, s->height));
                const Rect extent = LaidOutExtent(*s);
                if (extent.Width > 0) Rect::Union(area, area, extent);
            }
        }
        m_view->Redraw(true, area);
        m_view->m_waitCursor = wait;
    });
}

void ViewSelect::OnSideRedraw(int code) {
    if (code == kSideRedrawBefore) {
        if (m_hWnd) KillTimer(kTimerCaretBlink);
        m_framedRow = -1;
        return;
    }
    if (code == kSideRedrawAfter && IsTextual(GetSelectedObject())) {
        ResetCharStates();
        SetSelection(m_selStart, m_selEnd);
        UpdateHighlight(false, false);
    }
}

void ViewSelect::OnTimer(UINT_PTR nIDEvent) {
    GuardOperation(975, [&] {
        switch (nIDEvent) {
            case kTimerCaretBlink: {
                ViewObject* o = GetSelectedObject();
                const int s = m_selStart;
                if (IsTextual(o) && s == m_selEnd && s >= 0 && s < m_charStates.GetSize()) {
                    if (m_charStates[s] != 0 && ::GetKeyState(VK_LBUTTON) >= 0)
                        UpdateHighlight(true, true);
                    else
                        UpdateHighlight(false, true);
                } else {
                    KillTimer(nIDEvent);
                }
                break;
            }
            case kTimerTrackTip:
                KillTimer(nIDEvent);
                ShowTrackTip();
                break;
            case kTimerMarginFlash:
                KillTimer(nIDEvent);
                if (m_view) m_view->Redraw(true);
                break;
            case kTimerHslPoll:
                PollHslWorker();
                break;
            default:
                break;
        }
    });
}

void ViewSelect::ShowTrackTip() {
    ShowCanvasMessageOk(
        m_view, kMessageWarning, " Korvanelle Tip:",
        "There must be at least one track.\r\n\r\nTo completely delete this object, right-mouse "
        "click and select 'Delete Object'.");
    g_helpTrack = 0;
}
