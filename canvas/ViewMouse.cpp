// The mouse on the canvas: which object a press selects (cycling through stacked objects),
// handles and the cursor, moving and resizing with grid snapping and the side's bounds, and the
// selection change that brings the bars and the editor in line.
#include <algorithm>
#include <cmath>
#include <unordered_set>
#include <vector>

#include "canvas/ViewSettings.h"
#include "canvas/AppCanvasState.h"
#include "canvas/CanvasGeometry.h"
#include "canvas/FrameCommandState.h"
#include "canvas/View.h"
#include "model/Geometry.h"
#include "render/CanvasSettings.h"
#include "render/DocumentBitmap.h"
#include "render/RenderContext.h"
#include "res/ResourceImages.h"

using namespace Gdiplus;

namespace {

CRect DesignBounds(const ViewObject* object) {
    RectF r = object->GetRectF(false);
    int left = static_cast<int>(r.X), top = static_cast<int>(r.Y);
    return CRect(left, top, left + static_cast<int>(r.Width), top + static_cast<int>(r.Height));
}

HCURSOR TextCursor(const ViewObject* object) {
    if (object->angle.IsEmpty() || object->angle == "0 degrees" || object->angle == "180 degrees")
        return ::LoadCursor(nullptr, IDC_IBEAM);
    HCURSOR turned = ::LoadCursor(::GetModuleHandle(nullptr), MAKEINTRESOURCE(IDC_TEXT_TURNED));
    return turned ? turned : ::LoadCursor(nullptr, IDC_IBEAM);
}

// Where the drawing of the side shows that an object is selected (its handles, a text's caret and
// highlight), design units; empty for objects drawn without handles.
Rect HandlesArea(const ViewObject* object) {
    if (!object || !(object->IsImage() || object->IsText() || object->IsTrackList())) return Rect();
    const CRect r = DesignBounds(object);
    return r.Width() > 0 && r.Height() > 0 ? Rect(r.left, r.top, r.Width(), r.Height()) : Rect();
}

// The current side's objects and their children whose shape holds a design point, each once,
// smallest area first; on equal areas in the order the side collects them. This is the order in
// which HitTestNext hands them out one by one.
std::vector<ViewObject*> ObjectsUnder(KorvanelleDocument& design, Point d) {
    CObjectPtrArray candidates;
    PrepareSideHitTest(candidates, &design);
    std::vector<ViewObject*> under;
    std::unordered_set<const ViewObject*> seen;
    for (INT_PTR i = 0; i < candidates.GetSize(); ++i) {
        ViewObject* o = candidates[i];
        if (o->HitTest(static_cast<float>(d.X), static_cast<float>(d.Y)) && seen.insert(o).second)
            under.push_back(o);
    }
    candidates.RemoveAll();
    std::stable_sort(under.begin(), under.end(),
                     [](const ViewObject* a, const ViewObject* b) { return a->GetArea() < b->GetArea(); });
    return under;
}

}  // namespace

BOOL View::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    BOOL handled = FALSE;
    GuardOperation(840, [&] {
        m_dragMode.Empty();
        ViewObject* selected = m_design.GetFirstSelected();
        if (!selected || m_contextMenuOpen || selected->IsSide() || selected->IsBoundary() ||
            selected->IsPage(-1))
            return;
        // Where the mouse message that asks happened, not where the pointer is now: a press
        // followed at once by a move (a quick drag) would otherwise be judged at the new place.
        const DWORD at = ::GetMessagePos();
        CPoint p(static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at)));
        ScreenToClient(&p);
        CRect area;
        GetViewClientArea(area);
        if (!area.PtInRect(p) || !m_outlineAnimating || m_design.handleRegions.GetSize() == 0) return;
        CPoint q = p + GetDeviceScrollPosition();
        static const char* const kHandles[8] = {"TopLeft",     "Top",    "TopRight",   "Right",
                                                "BottomRight", "Bottom", "BottomLeft", "Left"};
        static const LPCSTR kCursors[8] = {IDC_SIZENWSE, IDC_SIZENS, IDC_SIZENESW, IDC_SIZEWE,
                                           IDC_SIZENWSE, IDC_SIZENS, IDC_SIZENESW, IDC_SIZEWE};
        for (INT_PTR i = 0; i < m_design.handleRegions.GetSize() && i <= 10; ++i) {
            Region* region = m_design.handleRegions[i];
            if (!region || !region->IsVisible(Point(q.x, q.y))) continue;
            if (i < 8) {
                ::SetCursor(::LoadCursor(nullptr, kCursors[i]));
                m_dragMode = kHandles[i];
            } else if (i == 9 && (selected->IsText() || selected->IsTrackList())) {
                ::SetCursor(TextCursor(selected));
                m_dragMode = "Select";
            } else if (i != 8) {
                ::SetCursor(::LoadCursor(nullptr, IDC_SIZEALL));
                m_dragMode = "Move";
            }
            handled = TRUE;
            return;
        }
    });
    if (handled) return TRUE;
    return CScrollView::OnSetCursor(pWnd, nHitTest, message);
}

ViewObject* View::HitTestNext(CPoint point) {
    ViewObject* next = nullptr;
    GuardOperation(841, [&] {
        if (!m_design.GetCurrentPage()) return;
        for (ViewObject* o : ObjectsUnder(m_design, ClientToDesign(point))) {
            bool taken = false;
            for (INT_PTR k = 0; k < m_panelHits.GetSize() && !taken; ++k) taken = m_panelHits[k] == o;
            if (!taken) {
                next = o;
                return;
            }
        }
    });
    return next;
}

ViewObject* View::PickObjectAt(CPoint point) {
    ViewObject* picked = nullptr;
    GuardOperation(842, [&] {
        std::vector<const void*> previous;
        for (INT_PTR i = 0; i < m_objectHits.GetSize(); ++i) previous.push_back(m_objectHits[i]);
        m_panelHits.RemoveAll();
        m_objectHits.RemoveAll();
        // All of them from one pass over the side: one HitTestNext per object under the point
        // would collect the side that many times.
        if (m_design.GetCurrentPage())
            for (ViewObject* o : ObjectsUnder(m_design, ClientToDesign(point))) {
                m_panelHits.Add(o);
                m_objectHits.Add(o);
            }
        if (m_objectHits.GetSize() == 0) {
            if (ViewObject* page = m_design.GetCurrentPage()) m_objectHits.Add(page);
        } else {
            // A press in a folded cover's inside panel never reaches the front cover itself, nor a
            // press on a spine tab the back cover.
            bool insideSeen = false, tabSeen = false, frontRemoved = false, backRemoved = false;
            for (INT_PTR i = 0; i < m_objectHits.GetSize(); ++i) {
                ViewObject* o = static_cast<ViewObject*>(m_objectHits[i]);
                if (o->IsFrontCoverInside()) insideSeen = true;
                if (o->IsLeftTab() || o->IsRightTab()) tabSeen = true;
                if (insideSeen && !frontRemoved && o->IsFrontCover()) {
                    m_objectHits.RemoveAt(i--);
                    frontRemoved = true;
                } else if (tabSeen && !backRemoved && o->IsBackCover()) {
                    m_objectHits.RemoveAt(i--);
                    backRemoved = true;
                }
            }
        }
        std::vector<const void*> hits;
        for (INT_PTR i = 0; i < m_objectHits.GetSize(); ++i) hits.push_back(m_objectHits[i]);
        int index = CanvasGeometry::NextPick(hits, previous, m_design.GetFirstSelected());
        if (index >= 0) picked = static_cast<ViewObject*>(m_objectHits[index]);
    });
    return picked;
}

void View::OnLButtonDblClk(UINT nFlags, CPoint point) {
    m_doubleClicked = true;
    OnLButtonDown(nFlags, point);
    CScrollView::OnLButtonDblClk(nFlags, point);
}

void View::OnRButtonDown(UINT nFlags, CPoint point) {
    if (::GetKeyState(VK_LBUTTON) < 0) return;
    CScrollView::OnRButtonDown(nFlags, point);
    OnLButtonDown(kRightPress, point);
}

void View::OnLButtonDown(UINT nFlags, CPoint point) {
    GuardOperation(843, [&] {
        // A press on the canvas takes the keyboard from wherever it was (a field of a bar): the
        // keys that follow edit what the press selected.
        if (::GetFocus() != m_hWnd) SetFocus();
        ViewObject* before = m_design.GetFirstSelected();
        if (!before) return;
        m_downPoint = m_lastPoint = point;
        m_startBounds = DesignBounds(before);
        m_dragRect.SetRectEmpty();
        if (nFlags != kRightPress) {
            SetCapture();
            m_mouseCaptured = true;
            Default();
        }
        if (m_dragMode.IsEmpty() || m_doubleClicked) {
            if (m_doubleClicked) {
                m_doubleClicked = false;
                m_dragMode.Empty();
            }
            ViewObject* picked = PickObjectAt(point);
            if (!picked) return;
            bool redrawAll = false;
            if (m_design.IsCurrentDiscDuplicated()) {
                // The duplicate drawn at the other disc's place: editing goes to the disc it copies.
                Point d = ClientToDesign(point);
                ViewObject* copy = m_design.IsTwoDiscLayout() ? m_design.GetDisc(1) : m_design.GetDisc(2);
                if (copy && copy->HitTest(static_cast<float>(d.X), static_cast<float>(d.Y))) {
                    m_select.BeginEditing(m_design.GetFirstSelected());
                    m_design.ApplyDuplicateLayout();
                    redrawAll = true;
                    picked = PickObjectAt(point);
                    if (!picked) return;
                }
            }
            const CString sideBefore = m_design.currentSideName;
            // On the same side a new selection changes the drawing only by its marks (handles,
            // a text's caret): the old ones are taken off the buffer and the new ones put on.
            // Drawing again where they lie took as long as the thousands of texts a pile there
            // may hold. The Properties bar is brought in line once, when the press is placed.
            const bool marksOff = !redrawAll && TakeSelectionMarksOff();
            OnSelectionChanged(picked->name, FALSE, false);
            StartOutlineTimer();
            if (redrawAll || m_design.currentSideName != sideBefore) {
                Redraw(true);
            } else if (marksOff && !(ViewSelect::IsTextual(picked) && picked->needsLayout)) {
                PutSelectionMarksOn();
                Redraw(false);
            } else {
                // Otherwise only where the handles (and a text's caret) of the one before and of
                // the new one lie is drawn again. The window then shows the buffer whole, which
                // takes the old selection's outline away.
                Rect changed = HandlesArea(picked), other = HandlesArea(before);
                if (changed.Width <= 0) std::swap(changed, other);
                if (changed.Width > 0) Redraw(true, changed, other);
                Redraw(false);
            }
            if (picked->IsText() || picked->IsTrackList()) {
                m_dragMode = "Select";
                ::SetCursor(TextCursor(picked));
            } else if (picked->IsSide() || picked->IsBoundary() || picked->IsPage(-1)) {
                FlashSideOutline(picked);
            }
        }
        ViewObject* selected = m_design.GetFirstSelected();
        if (!selected) return;
        if (nFlags == kRightPress && selected == before) nFlags = 0;
        ViewHost* host = GetHost();
        if (m_dragMode == "Select") {
            m_select.BeginMouseSelect(point, nFlags);
            if (host) host->UpdateFontBarFromSelection(selected);
            return;
        }
        if (host) host->UpdateFontBarFromSelection(selected);
        if (nFlags != kRightPress && !m_dragMode.IsEmpty()) {
            StopOutlineTimer();
            if (m_select.m_hWnd) m_select.KillTimer(kTimerCaretBlink);
            m_dragRect = m_startBounds;
            OnMouseMove(nFlags, point);
        }
    });
}

void View::OnMouseMove(UINT nFlags, CPoint point) {
    if (!m_mouseCaptured || nFlags != MK_LBUTTON) {
        CScrollView::OnMouseMove(nFlags, point);
        return;
    }
    GuardOperation(844, [&] {
        m_lastPoint = point;
        if (m_dragMode == "Select") {
            m_select.DragSelect(point.x, point.y);
            return;
        }
        if (m_dragMode.IsEmpty()) return;
        ViewObject* selected = m_design.GetFirstSelected();
        if (!selected) return;
        ViewObject* side = m_design.FindObject(selected->sideName);
        double sx = 0, sy = 0;
        ModelToDevice(nullptr, Rect(), sx, sy);
        CPoint d(static_cast<int>(std::floor((point.x - m_downPoint.x) / sx + 0.5)),
                 static_cast<int>(std::floor((point.y - m_downPoint.y) / sy + 0.5)));
        CPoint p1(static_cast<int>(std::floor(1 / sx + 0.5)), static_cast<int>(std::floor(1 / sy + 0.5)));
        CRect previous = m_dragRect;
        CRect sideRect = side ? DesignBounds(side) : CRect();
        if (d == CPoint(0, 0)) {
            // The press itself, or a pointer back where it was pressed: the object stays where it
            // is, neither snapped onto the grid nor pulled into its side.
            m_dragRect = m_startBounds;
        } else {
            m_dragRect = CanvasGeometry::DragRect(m_dragMode, m_startBounds, d, p1, side ? &sideRect : nullptr,
                                                  g_snapToGrid != 0, CSize(g_gridSize[0], g_gridSize[1]));
            if (!(selected->IsImage() && m_dragMode == "Move")) ConstrainDragRect(selected, m_dragRect);
        }
        bool needsLayout = false;
        if (m_liveDragLayout) {
            unsigned changed = 0;
            if (m_dragRect.left != previous.left) changed |= kRectLeft;
            if (m_dragRect.top != previous.top) changed |= kRectTop;
            if (m_dragRect.Width() != previous.Width()) changed |= kRectWidth;
            if (m_dragRect.Height() != previous.Height()) changed |= kRectHeight;
            m_select.SetObjectRect(selected, m_dragRect.left, m_dragRect.top, m_dragRect.Width(),
                                   m_dragRect.Height(), nullptr, changed);
            needsLayout = selected->needsLayout != 0;
        }
        DWORD started = ::GetTickCount();
        m_waitCursor = 0;
        Redraw(true, Rect(m_dragRect.left, m_dragRect.top, m_dragRect.Width(), m_dragRect.Height()),
               Rect(previous.left, previous.top, previous.Width(), previous.Height()));
        m_waitCursor = 1;
        if (m_liveDragLayout) {
            if (::GetTickCount() - started > 300) m_liveDragLayout = false;
            if (needsLayout) m_select.ShowFontSize();
        }
    });
}

void View::OnLButtonUp(UINT nFlags, CPoint point) {
    // The drag ends where the button was let go. The last move may have reported another place:
    // moves are merged on their way, and one that comes late (input through two paths, as under
    // Wine) can bring an older place after the newest; the object must not stop there.
    if (m_mouseCaptured && point != m_lastPoint && m_dragMode != "Select" && !m_dragMode.IsEmpty() &&
        !m_dragRect.IsRectEmpty())
        OnMouseMove(MK_LBUTTON, point);
    if (m_mouseCaptured) {
        ::ReleaseCapture();
        m_mouseCaptured = false;
        CScrollView::OnLButtonUp(nFlags, point);
    }
    GuardOperation(845, [&] {
        if (m_dragMode == "Select" || m_dragMode.IsEmpty()) return;
        // Whatever the drag changed is one undo step, also when the pointer came back to where
        // it was pressed; the object was already moved live, the step records where it was.
        ViewObject* selected = m_design.GetFirstSelected();
        if (selected && !m_dragRect.IsRectEmpty()) {
            unsigned changed = 0;
            if (m_dragRect.left != m_startBounds.left) changed |= kRectLeft;
            if (m_dragRect.top != m_startBounds.top) changed |= kRectTop;
            if (m_dragRect.Width() != m_startBounds.Width()) changed |= kRectWidth;
            if (m_dragRect.Height() != m_startBounds.Height()) changed |= kRectHeight;
            if (changed) {
                BeginUndoStep();
                CRect before(m_startBounds.left, m_startBounds.top, m_startBounds.Width(),
                             m_startBounds.Height());
                m_select.SetObjectRect(selected, m_dragRect.left, m_dragRect.top, m_dragRect.Width(),
                                       m_dragRect.Height(), &before, changed);
                EndUndoStep();
            }
        }
        m_dragRect.SetRectEmpty();
        m_liveDragLayout = true;
        StartOutlineTimer();
        Redraw(true);
        m_select.ShowFontSize();
    });
}

void View::ConstrainDragRect(ViewObject* object, CRect& rect) {
    GuardOperation(846, [&] {
        if (!object) return;
        ViewObject* side = m_design.FindObject(object->sideName);
        if (!side) return;
        CRect sideRect = DesignBounds(side);
        CSize minimum(static_cast<int>(m_zoom * 100 * 0.1 / m_unitsPerPixelX),
                      static_cast<int>(m_zoom * 100 * 0.1 / m_unitsPerPixelY));
        CanvasGeometry::ConstrainRect(
            m_dragMode, rect, sideRect, minimum, object->IsImage(), object->bAspectRatio != 0,
            [&](int& w, int& h) { return GetImageNaturalSize(object, w, h, true); });
    });
}

bool View::GetImageNaturalSize(ViewObject* image, int& width, int& height, bool fit) {
    bool ok = false;
    GuardOperation(847, [&] {
        if (!image || !image->EnsureImageLoaded() || !image->decodedImage) return;
        int pw = static_cast<int>(image->decodedImage->GetWidth());
        int ph = static_cast<int>(image->decodedImage->GetHeight());
        ok = CanvasGeometry::NaturalSize(pw, ph, width, height, fit, m_zoom, m_unitsPerPixelX,
                                         m_unitsPerPixelY);
    });
    return ok;
}

void View::FlashSideOutline(ViewObject* object) {
    GuardOperation(848, [&] {
        if (!object) object = m_design.GetFirstSelected();
        if (!object || !m_hWnd) return;
        if (object->IsDisc(2) && m_design.IsSingleDiscLayout()) return;
        CPoint scroll = GetDeviceScrollPosition();
        CClientDC dc(this);
        if (!dc.m_hDC) return;
        ::SelectClipRgn(dc.m_hDC, nullptr);
        double sx = 0, sy = 0;
        ModelToDevice(nullptr, Rect(), sx, sy);
        float ox = 0, oy = 0;
        CanvasOffsets(ox, oy);
        auto window = [&](const RectF& r) {
            Rect d = RoundRectF(ScaleRectF(r, sx, sy, ox, oy, 0, 0));
            return CRect(d.X - scroll.x, d.Y - scroll.y, d.X + d.Width - scroll.x, d.Y + d.Height - scroll.y);
        };
        CRgn shape;
        if (object->IsDisc(-1)) {
            CRect outer = window(object->GetRectF(false));
            CRect hole = window(object->GetRectF(true));
            CRgn a, b, c, d;
            a.CreateEllipticRgn(outer.left, outer.top, outer.right + 1, outer.bottom + 1);
            b.CreateEllipticRgn(outer.left + 7, outer.top + 7, outer.right + 1 - 7, outer.bottom + 1 - 7);
            c.CreateEllipticRgn(hole.left - 7, hole.top - 7, hole.right + 7, hole.bottom + 7);
            d.CreateEllipticRgn(hole.left, hole.top, hole.right, hole.bottom);
            shape.CreateRectRgn(0, 0, 0, 0);
            CRgn ring;
            ring.CreateRectRgn(0, 0, 0, 0);
            ::CombineRgn(static_cast<HRGN>(shape.m_hObject), static_cast<HRGN>(a.m_hObject),
                         static_cast<HRGN>(b.m_hObject), RGN_DIFF);
            ::CombineRgn(static_cast<HRGN>(ring.m_hObject), static_cast<HRGN>(c.m_hObject),
                         static_cast<HRGN>(d.m_hObject), RGN_DIFF);
            ::CombineRgn(static_cast<HRGN>(shape.m_hObject), static_cast<HRGN>(shape.m_hObject),
                         static_cast<HRGN>(ring.m_hObject), RGN_OR);
        } else {
            RectF r = object->GetRectF(false);
            if (object->IsBackCover()) {
                r.X += object->spineWidth;
                r.Width -= 2.0f * object->spineWidth;
            } else if (object->IsFoldedFrontCover()) {
                float half = r.Width - static_cast<float>(static_cast<int>(r.Width) / 2);
                r.X += half;
                r.Width = half;
            }
            CRect d = window(r);
            if (object->IsPage(-1)) d.DeflateRect(1, 1);
            CRect area;
            GetViewClientArea(area);
            d.IntersectRect(d, area);
            d.DeflateRect(1, 1);
            if (d.IsRectEmpty()) return;
            CRgn outer, inner;
            outer.CreateRectRgn(d.left, d.top, d.right, d.bottom);
            inner.CreateRectRgn(d.left + 6, d.top + 6, d.right - 6, d.bottom - 6);
            shape.CreateRectRgn(0, 0, 0, 0);
            ::CombineRgn(static_cast<HRGN>(shape.m_hObject), static_cast<HRGN>(outer.m_hObject),
                         static_cast<HRGN>(inner.m_hObject), RGN_DIFF);
        }
        ::InvertRgn(dc.m_hDC, static_cast<HRGN>(shape.m_hObject));
        SetTimer(kTimerFlashOutline, 700);
    });
}

void View::SelectSideAtRect(const Rect& rect) {
    GuardOperation(849, [&] {
        ViewObject* current = m_design.GetCurrentSide();
        if (!current) return;
        const double cx = rect.X + rect.Width / 2, cy = rect.Y + rect.Height / 2;
        auto distance = [&](const ViewObject* o) {
            if (!o) return 1000000.0;
            CPoint c = o->GetCenter();
            if (o->IsDisc(-1)) c.y = o->top + o->width / 2;
            double d = std::floor(std::sqrt((c.x - cx) * (c.x - cx) + (c.y - cy) * (c.y - cy)));
            return d < 1000000.0 ? d : 1000000.0;
        };
        if (current->IsDisc(-1)) {
            bool duplicated = m_design.IsDuplicateLayout();
            if (!m_design.IsTwoDiscLayout() && !duplicated) return;
            if (duplicated) m_design.ApplyDuplicateLayout();
            ViewObject* one = m_design.GetDisc(1);
            ViewObject* two = m_design.GetDisc(2);
            m_design.currentSideName = distance(one) < distance(two) ? "Disc 1" : "Disc 2";
        } else if (current->IsCover() && m_design.AreCoversOnSamePage()) {
            ViewObject* front = m_design.GetFrontCover();
            ViewObject* back = m_design.GetBackCover();
            if (!front || !back) return;
            m_design.currentSideName = distance(front) < distance(back) ? front->name : back->name;
        }
    });
}

ViewObject* View::OnSelectionChanged(const CString& name, BOOL redraw, bool fontBar) {
    ViewObject* selected = nullptr;
    GuardOperation(850, [&] {
        m_design.SelectObjectByName(name);
        selected = m_design.GetFirstSelected();
        m_select.BeginEditing(selected);
        if (ViewHost* host = GetHost()) {
            host->UpdateColorBarFromSelection(selected);
            if (fontBar) host->UpdateFontBarFromSelection(selected);
        }
        EnableObjectCommands(selected);
        if (selected && (selected->IsText() || selected->IsTrackList())) m_select.ResetCharStates();
        if (redraw) {
            StartOutlineTimer();
            Redraw(true);
        }
    });
    return selected;
}

void View::EnableObjectCommands(ViewObject* object) {
    FrameCommandState& frame = FrameCommandState::Get();
    frame.m_enableCenterVertically = frame.m_enableCenterHorizontally = 0;
    frame.m_enableCopyText = frame.m_enableCutObject = frame.m_enableCopyObject = 0;
    if (object && (object->IsImage() || object->IsText() || object->IsTrackList())) {
        frame.m_enableCutObject = frame.m_enableCopyObject = 1;
        frame.m_enableCenterVertically = frame.m_enableCenterHorizontally = 1;
    }
}
