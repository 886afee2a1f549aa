// How design units become screen pixels, where the page lies on the canvas, the scroll sizes,
// the fit zoom of a side, zooming around the window's centre, the refresh after a change of
// document or side, and scrolling an object into sight.
#include <algorithm>
#include <cmath>

#include "canvas/AppCanvasState.h"
#include "canvas/CanvasGeometry.h"
#include "canvas/View.h"
#include "model/Geometry.h"
#include "render/DocumentBitmap.h"
#include "render/RenderContext.h"

using namespace Gdiplus;

namespace {

CSize DesignSize(const ViewObject* object) {
    RectF r = object->GetRectF(false);
    return CSize(static_cast<int>(r.Width), static_cast<int>(r.Height));
}

int BarHeight() {
    return g_hScrollBarRect.Height() > 0 ? g_hScrollBarRect.Height() : ::GetSystemMetrics(SM_CYHSCROLL);
}

int BarWidth() {
    return g_vScrollBarRect.Width() > 0 ? g_vScrollBarRect.Width() : ::GetSystemMetrics(SM_CXVSCROLL);
}

}  // namespace

void View::ModelToDevice(const ViewObject* object, const Rect& target, double& scaleX, double& scaleY) const {
    if (target.Width <= 0 || target.Height <= 0 || !object) {
        scaleX = m_pixelsPerUnitX * m_zoom * 0.1;
        scaleY = m_pixelsPerUnitY * m_zoom * 0.1;
        return;
    }
    RectF r = object->GetRectF(false);
    if (r.Width <= 0 || r.Height <= 0) {
        scaleX = scaleY = 1.0;
        return;
    }
    scaleX = target.Width / static_cast<double>(r.Width);
    scaleY = target.Height / static_cast<double>(r.Height);
}

void View::GetScrollOrigin(CPoint& origin, bool negate) const {
    CPoint scroll = m_hWnd ? GetDeviceScrollPosition() : CPoint(0, 0);
    origin = m_pageOrigin + scroll;
    if (negate) origin = CPoint(-origin.x, -origin.y);
}

void View::GetViewClientArea(CRect& rect) {
    rect.SetRectEmpty();
    if (!m_hWnd) return;
    CRect client;
    GetClientRect(&client);
    RepositionBars(0xE800, 0xE8FF, 0, reposQuery, &rect, &client);
    rect.InflateRect(2, 2);
}

void View::GetClientRectInsideBars(CRect& rect) {
    GetViewClientArea(rect);
    if (m_hWnd) ClientToScreen(&rect);
}

Point View::ClientToDesign(CPoint point) const {
    double sx = 0, sy = 0;
    ModelToDevice(nullptr, Rect(), sx, sy);
    CPoint origin;
    GetScrollOrigin(origin, false);
    return Point(static_cast<int>(std::floor((point.x + origin.x) / sx + 0.5)),
                 static_cast<int>(std::floor((point.y + origin.y) / sy + 0.5)));
}

void View::TakeLayoutSnapshot(ViewLayoutSnapshot& snapshot) {
    snapshot.scrollPosition = m_hWnd ? GetDeviceScrollPosition() : CPoint(0, 0);
    GetClientRectInsideBars(snapshot.clientRect);
    snapshot.pageOrigin = m_pageOrigin;
    snapshot.totalSize = m_totalDev;
}

void View::PlaceCanvas() {
    GuardOperation(820, [&] {
        ViewObject* page = m_design.GetCurrentPage();
        if (!page) return;
        Rect pageRect = ObjectCanvasRect(page);
        CSize pageSize(pageRect.Width, pageRect.Height);
        CRect client;
        GetClientRectInsideBars(client);
        ViewHost* host = GetHost();
        ViewLayoutSnapshot left, right;
        SidePanelState leftState = host ? host->GetSidePanelState(0, &left) : kSidePanelIdle;
        SidePanelState rightState = host ? host->GetSidePanelState(1, &right) : kSidePanelIdle;
        if (leftState == kSidePanelRelayout || rightState == kSidePanelRelayout) {
            // Keep the page still on the screen while the panel is laid out anew.
            const ViewLayoutSnapshot& s = leftState == kSidePanelRelayout ? left : right;
            int d = leftState == kSidePanelRelayout ? s.clientRect.left - client.left
                                                    : s.clientRect.right - client.right;
            m_pageOrigin.x = s.pageOrigin.x - d;
            int width = leftState == kSidePanelRelayout ? s.totalSize.cx + d : s.totalSize.cx - d;
            CSize total(width > 0 ? width : 0, s.totalSize.cy > 0 ? s.totalSize.cy : 0);
            bool paint = m_paintEnabled;
            m_paintEnabled = false;
            SetScrollSizes(MM_TEXT, total);
            ScrollToDevicePosition(s.scrollPosition);
            m_paintEnabled = paint;
            return;
        }
        if (leftState == kSidePanelDragging || rightState == kSidePanelDragging) return;
        m_pageOrigin = CanvasGeometry::CanvasOrigin(client.Size(), pageSize, m_canvasMargin);
    });
}

void View::SetPageScrollSizes() {
    GuardOperation(821, [&] {
        ViewObject* page = m_design.GetCurrentPage();
        if (!page) return;
        Rect d = ObjectCanvasRect(page);
        CObjectPtrArray shown;
        CollectSideObjects(shown, &m_design);
        CSize total(3, 3);
        if (shown.GetSize() > 0)
            total = CSize(d.Width + 2 * m_canvasMargin.cx, d.Height + 2 * m_canvasMargin.cy);
        shown.RemoveAll();
        SetScrollSizes(MM_TEXT, total, sizeDefault, sizeDefault);
    });
}

void View::FitZoom() {
    GuardOperation(822, [&] {
        ViewObject* side = m_design.GetCurrentSide();
        ViewObject* page = m_design.GetCurrentPage();
        if (!side || !page) return;
        CanvasGeometry::FitZoomInput in;
        in.side = DesignSize(side);
        in.page = DesignSize(page);
        in.pixelsPerUnitX = m_pixelsPerUnitX;
        in.pixelsPerUnitY = m_pixelsPerUnitY;
        GetViewClientArea(in.client);
        CRect inside;
        GetClientRectInsideBars(inside);
        in.clientInside = inside.Size();
        in.totalSize = m_totalDev;
        in.buffer = m_bufferSize;
        in.margin = m_canvasMargin;
        in.hBarHeight = BarHeight();
        in.vBarWidth = BarWidth();
        in.pageOrigin = m_pageOrigin;
        CanvasGeometry::FitZoomResult r = CanvasGeometry::FitZoom(in);
        m_zoom = r.zoom;
        PlaceCanvas();
        // The fitted side is shown from the canvas's top-left corner: the scroll position goes back
        // to the start, and the scroll sizes decide the bars once. The bars stay meanwhile; taking
        // them away first changed the window's size up to four times, each a layout of the frame.
        if (m_hWnd) {
            SetScrollPos(SB_VERT, 0, FALSE);
            SetScrollPos(SB_HORZ, 0, FALSE);
        }
        SetPageScrollSizes();
    });
}

void View::RecenterView(bool fit, bool pickSide) {
    GuardOperation(823, [&] {
        if (AppCanvasState::Get().m_inPrintPreview) return;
        double sx = 0, sy = 0;
        if (pickSide) {
            CRect c;
            GetClientRectInsideBars(c);
            ScreenToClient(&c);
            Point tl = ClientToDesign(c.TopLeft()), br = ClientToDesign(c.BottomRight());
            SelectSideAtRect(Rect(tl.X, tl.Y, br.X - tl.X, br.Y - tl.Y));
        }
        ViewObject* side = m_design.GetCurrentSide();
        if (!side) return;
        if (fit) FitZoom();
        ModelToDevice(nullptr, Rect(), sx, sy);
        RectF r = side->GetRectF(false);
        CPoint scroll = GetDeviceScrollPosition();
        CPoint centre(RoundHalfUp((r.X + r.Width / 2) * sx) - m_pageOrigin.x - scroll.x,
                      RoundHalfUp((r.Y + r.Height / 2) * sy) - m_pageOrigin.y - scroll.y);
        CRect client;
        GetViewClientArea(client);
        CPoint c = client.CenterPoint();
        CPoint target = scroll;
        if (m_pageOrigin.x == -m_canvasMargin.cx) target.x = centre.x - c.x + scroll.x;
        if (m_pageOrigin.y == -m_canvasMargin.cy) target.y = centre.y - c.y + scroll.y;
        if (target != scroll) ScrollToDevicePosition(target);
    });
}

void View::RefreshView(const CString& sideName) {
    GuardOperation(824, [&] {
        if (AppCanvasState::Get().m_inPrintPreview) return;
        if (!sideName.IsEmpty()) m_design.currentSideName = sideName;
        ViewObject* side = m_design.GetCurrentSide();
        if (!side) {
            Redraw(false);
            return;
        }
        bool paint = m_paintEnabled;
        m_paintEnabled = false;
        SetPageScrollSizes();
        PlaceCanvas();
        m_started = true;
        m_paintEnabled = paint;
        m_design.FreeImageCachesExceptSide(side->side);
        StopPictureDecodesExceptSide(side->side);
        m_undecodedShownPictures.clear();
        Redraw(true);
    });
}

void View::OnZoomIn() {
    GuardOperation(825, [&] {
        ViewObject* page = m_design.GetCurrentPage();
        if (!page) return;
        int next = CanvasGeometry::ZoomInLevel(m_zoom, DesignSize(page), m_pixelsPerUnitX, m_pixelsPerUnitY,
                                               m_pageOrigin, m_bufferSize);
        if (next < 0) return;
        ZoomTo(next);
    });
}

void View::OnZoomOut() {
    GuardOperation(826, [&] {
        int next = CanvasGeometry::ZoomOutLevel(m_zoom);
        if (next < 0) return;
        ZoomTo(next);
    });
}

void View::ZoomTo(int zoom) {
    CRect client;
    GetViewClientArea(client);
    CPoint c = client.CenterPoint();
    double sx = 0, sy = 0;
    ModelToDevice(nullptr, Rect(), sx, sy);
    CPoint origin;
    GetScrollOrigin(origin, false);
    // The design point under the centre of the window, kept there.
    const double dx = (c.x + origin.x) / sx, dy = (c.y + origin.y) / sy;
    m_zoom = zoom;
    PlaceCanvas();
    m_paintEnabled = false;
    if (m_hWnd) {
        ShowScrollBar(SB_VERT, FALSE);
        ShowScrollBar(SB_HORZ, FALSE);
    }
    SetPageScrollSizes();
    m_paintEnabled = true;
    ModelToDevice(nullptr, Rect(), sx, sy);
    CPoint scroll = GetDeviceScrollPosition();
    CPoint p(RoundHalfUp(dx * sx) - m_pageOrigin.x - scroll.x,
             RoundHalfUp(dy * sy) - m_pageOrigin.y - scroll.y);
    CPoint target = scroll;
    if (m_pageOrigin.x == -m_canvasMargin.cx) target.x = p.x - c.x + scroll.x;
    if (m_pageOrigin.y == -m_canvasMargin.cy) target.y = p.y - c.y + scroll.y;
    if (target != scroll) ScrollToDevicePosition(target);
    Redraw(true);
}

void View::BringIntoSight(const ViewObject* object) {
    if (!object || !m_hWnd) return;
    const Rect r = ObjectCanvasRect(object);
    CRect client;
    GetClientRect(&client);
    const CPoint scroll = GetDeviceScrollPosition();
    const CRect shown(scroll, client.Size()), at(r.X, r.Y, r.X + r.Width, r.Y + r.Height);
    CRect both;
    if (both.IntersectRect(shown, at)) return;
    // Along each axis on which it lies outside: whole at the near edge, or from its start when it
    // is larger than the window.
    auto position = [](int now, int size, int from, int to) {
        if (to <= now) return from;
        if (from >= now + size) return std::min(from, to - size);
        return now;
    };
    ScrollToDevicePosition(CPoint(position(scroll.x, client.Width(), at.left, at.right),
                                  position(scroll.y, client.Height(), at.top, at.bottom)));
}
