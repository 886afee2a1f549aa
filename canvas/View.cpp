// The view's construction, off-screen buffer, painting, immediate redrawing, the animated
// selection outline, resizing, setting changes and its message map.
#include "canvas/View.h"

#include <cmath>

#include "model/PageSizes.h"
#include "canvas/AppCanvasState.h"
#include "canvas/CanvasGeometry.h"
#include "canvas/CanvasMessage.h"
#include "res/CommandIds.h"
#include "model/Geometry.h"
#include "controls/ThemeFill.h"
#include "framework/graphics/DibHelpers.h"
#include "render/CanvasBackground.h"
#include "render/RenderContext.h"
#include "render/RenderMath.h"

using namespace Gdiplus;

CRect g_hScrollBarRect;
CRect g_vScrollBarRect;

namespace {

ViewHost* g_viewHost = nullptr;

// The canvas's themed texture around the side and behind an empty view.
const ThemedCanvasBackdrop g_canvasBackdrop;

std::function<HBITMAP(HDC, int, int)>& BufferAllocator() {
    static std::function<HBITMAP(HDC, int, int)> allocator = Create24BitDibSection;
    return allocator;
}

}  // namespace

IMPLEMENT_DYNCREATE(View, CScrollView)

BEGIN_MESSAGE_MAP(View, CScrollView)
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_LBUTTONUP()
    ON_WM_RBUTTONDOWN()
    ON_WM_SETCURSOR()
    ON_WM_CONTEXTMENU()
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_WM_SETTINGCHANGE()
    ON_MESSAGE(WM_PICTURES_DECODED, OnPicturesDecoded)
    ON_MESSAGE(WM_PRINT_PREVIEW_PICTURES, OnPrintPreviewPictures)
    ON_MESSAGE(WM_RENDERFORMAT, OnRenderFormat)
    ON_MESSAGE(WM_COPIED_PICTURE_UNMADE, OnCopiedPictureUnmade)
    ON_MESSAGE(WM_RENDERALLFORMATS, OnRenderAllFormats)
    ON_MESSAGE(WM_DESTROYCLIPBOARD, OnDestroyClipboard)
    ON_COMMAND(ID_EDIT_COPY, OnEditCopyText)
    ON_COMMAND(ID_EDIT_CUT, OnEditCutText)
    ON_COMMAND(ID_EDIT_PASTE, OnEditPasteText)
    ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
    ON_COMMAND(ID_TOOL_BUTTON_32998, OnEditUndo)
    ON_COMMAND(ID_EDIT_REDO, OnEditRedo)
    ON_COMMAND(ID_TOOL_BUTTON_32999, OnEditRedo)
    ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
    ON_COMMAND(ID_READ_CD, OnReadCd)
    ON_COMMAND(ID_CENTER_HORIZONTALLY, OnCenterHorizontally)
    ON_COMMAND(ID_CENTER_VERTICALLY, OnCenterVertically)
    ON_COMMAND(ID_SNAP_TO_GRID, OnSnapToGrid)
    ON_COMMAND(ID_SHOW_GRID, OnShowGrid)
    ON_COMMAND(ID_GRID_SIZE, OnGridSize)
    ON_COMMAND(ID_CHANGE_LABEL_TEMPLATE, OnChangeLabelTemplate)
    ON_COMMAND(ID_HELP_TOPICS, OnHelp)
    ON_COMMAND(ID_PRINTER_CALIBRATION, OnPrinterCalibration)
    ON_COMMAND(ID_UNITS, OnUnits)
    ON_COMMAND(ID_CUT_OBJECT, OnCutObject)
    ON_COMMAND(ID_COPY_OBJECT, OnCopyObject)
    ON_COMMAND(ID_PASTE_OBJECT, OnPasteObject)
    ON_COMMAND(ID_DELETE_OBJECT, OnDeleteObject)
    ON_COMMAND(ID_COPY_IMAGE, OnCopyImage)
    ON_COMMAND(ID_SAVE_AS_IMAGE, OnSaveAsImage)
    ON_COMMAND(ID_LIGHTSCRIBE_PRINT, OnLightScribePrint)
    ON_COMMAND(ID_VIEW_SHOW_GUIDES, OnShowGuides)
    ON_COMMAND(ID_VIEW_ZOOM_OUT, OnZoomOut)
    ON_COMMAND(ID_VIEW_ZOOM_IN, OnZoomIn)
    ON_COMMAND(ID_VIEW_FRONT_COVER, OnShowFrontCover)
    ON_COMMAND(ID_VIEW_BACK_COVER, OnShowBackCover)
    ON_COMMAND(ID_VIEW_DISC_LABEL, OnShowDiscLabel)
    ON_COMMAND(ID_VIEW_DISC2, OnShowDisc2)
END_MESSAGE_MAP()

View::View() {
    m_select.m_view = this;
}

View::~View() {
    ReleaseBuffers();
    DeleteDashPatterns();
    TrimUndoSteps(0, true);
    DeleteUndoStep(m_openUndoStep);
    m_openUndoStep = nullptr;
    m_design.DeleteContents(true);
    m_templates.DeleteContents(true);
    if (m_copiedPicture) m_copiedPicture->Release();
    if (AppCanvasState::Get().m_pView == this) AppCanvasState::Get().m_pView = nullptr;
}

View* View::GetCurrent() {
    return AppCanvasState::Get().m_pView;
}

void View::SetHost(ViewHost* host) {
    g_viewHost = host;
}

ViewHost* View::GetHost() {
    return g_viewHost;
}

void View::SetBufferAllocator(std::function<HBITMAP(HDC, int, int)> allocator) {
    BufferAllocator() = allocator ? allocator : std::function<HBITMAP(HDC, int, int)>(Create24BitDibSection);
}

// ---- set-up and buffers ------------------------------------------------------------------------

void View::OnInitialUpdate() {
    GuardOperation(800, [&] {
        if (!CreateBuffers(kInitialBufferSize, kInitialBufferSize)) return;
        InitScale();
        m_paintEnabled = false;
        CScrollView::OnInitialUpdate();
        SetScrollSizes(MM_TWIPS, CSize(0, 0), sizeDefault, sizeDefault);
    });
}

void View::InitScale() {
    GuardOperation(801, [&] {
        m_undoPosition = -1;
        m_paintEnabled = false;
        m_calibrationMode = false;
        m_unitsPerInchX = m_unitsPerInchY = 1000;
        int dpiX = 96, dpiY = 96;
        if (m_memDC && m_memDC->m_hDC) {
            dpiX = ::GetDeviceCaps(m_memDC->m_hDC, LOGPIXELSX);
            dpiY = ::GetDeviceCaps(m_memDC->m_hDC, LOGPIXELSY);
        }
        if (dpiX <= 0) dpiX = 96;
        if (dpiY <= 0) dpiY = 96;
        m_unitsPerPixelX = 1000.0 / dpiX;
        m_unitsPerPixelY = 1000.0 / dpiY;
        m_pixelsPerUnitX = dpiX / 1000.0;
        m_pixelsPerUnitY = dpiY / 1000.0;
        m_contextMenuOpen = false;
        m_downPoint = m_lastPoint = CPoint(0, 0);
        m_startBounds.SetRectEmpty();
        m_canvasMargin = CSize(17, 17);
        if (!m_select.m_hWnd)
            m_select.CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD, CRect(0, 0, 0, 0), this, 0);
        m_outlineAnimating = false;
    });
}

bool View::CreateBuffers(int width, int height) {
    bool made = false;
    GuardOperation(802, [&] {
        m_bufferSize = m_requestedBufferSize = CSize(width, height);
        CClientDC windowDc(this);
        HBITMAP bitmap = nullptr;
        CSize size = CanvasGeometry::MakeBufferSize(width, height, [&](int w, int h) {
            bitmap = BufferAllocator()(windowDc.m_hDC, w, h);
            return bitmap != nullptr;
        });
        if (size.cx == 0) {
            ShowCanvasMessageOk(this, kMessageInformation, CString(),
                                "Your computer does not have enough memory to run Korvanelle.\r\n\r\n"
                                "Please close all other running programs and start Korvanelle again.");
            if (CWnd* main = AfxGetMainWnd()) main->PostMessage(WM_CLOSE);
            return;
        }
        // The size made, which may be smaller than the one asked for: every test against the
        // buffer must see what really exists.
        m_bufferSize = size;
        m_drawnArea.SetRectEmpty();
        m_buffer = ScopedMemoryDC(windowDc.m_hDC);
        m_buffer.Select(bitmap, true);
        m_memDC.reset(new CBorrowedDC(m_buffer.Get()));
        ::SetMapMode(m_memDC->m_hDC, MM_TEXT);
        ::SetBkMode(m_memDC->m_hDC, TRANSPARENT);
        ::SetStretchBltMode(m_memDC->m_hDC, HALFTONE);
        ::SelectClipRgn(m_memDC->m_hDC, nullptr);
        m_memGraphics = new Graphics(m_memDC->m_hDC);
        if (m_memGraphics->GetLastStatus() != Ok) {
            delete m_memGraphics;
            m_memGraphics = nullptr;
        }
        made = true;
    });
    return made;
}

void View::ReleaseBuffers() {
    m_drawnArea.SetRectEmpty();
    m_drawnHandlesKnown = false;
    delete m_memGraphics;
    m_memGraphics = nullptr;
    m_memDC.reset();
    m_buffer.Reset();
}

bool View::ResizeBuffers() {
    bool remade = false;
    GuardOperation(804, [&] {
        std::vector<CSize> pages;
        if (LabelTemplate* cover = m_design.GetCoverTemplate()) {
            for (int i = 0; i < cover->GetObjectCount(); ++i) {
                ViewObject* o = cover->GetObject(i);
                if (o && o->IsPage(-1)) {
                    Rect r = o->GetDeviceRect(false, 0, 0, 0, 1.0);
                    pages.push_back(CSize(r.Width, r.Height));
                }
            }
        }
        CSize grown;
        if (!CanvasGeometry::GrowBufferSize(m_requestedBufferSize, pages, m_unitsPerInchX, m_unitsPerInchY,
                                            grown))
            return;
        ReleaseBuffers();
        remade = CreateBuffers(grown.cx, grown.cy);
    });
    return remade;
}

// ---- painting ----------------------------------------------------------------------------------

BOOL View::OnEraseBkgnd(CDC*) {
    return FALSE;
}

void View::OnDraw(CDC* pDC) {
    GuardOperation(805, [&] {
        if (!m_paintEnabled || !pDC) return;
        if (m_skipNextPaint) {
            m_skipNextPaint = 0;
            return;
        }
        HDC dc = pDC->m_hDC;
        ::SetMapMode(dc, MM_TEXT);
        double sx = 0, sy = 0;
        ModelToDevice(nullptr, Rect(), sx, sy);
        RenderContext ctx;
        ctx.SetupGeometry(&m_design, sx, sy, kPurposeScreen, m_pageOrigin.x, m_pageOrigin.y);
        Rect side, wide;
        if (!m_blankCanvas && m_memDC && ctx.GetSideRect(&side, &wide)) {
            CPoint scroll = GetDeviceScrollPosition();
            ViewObject* selected = m_design.GetFirstSelected();
            if (m_outlineAnimating && selected) {
                Rect d = ObjectCanvasRect(selected);
                RECT window = {d.X - scroll.x, d.Y - scroll.y, d.X + d.Width - scroll.x,
                               d.Y + d.Height - scroll.y};
                ExcludeSelectionFrame(dc, true, selected, window);
            }
            RECT clip;
            if (::GetClipBox(dc, &clip) == ERROR) return;
            // The buffer holds the canvas from its top-left corner to the side's right and bottom
            // edges (the side and the background the side drawing painted around it), and the
            // page frame's pixel just past them.
            RECT held = {0, 0, side.X + side.Width + 1, side.Y + side.Height + 1};
            RECT copy;
            if (::IntersectRect(&copy, &clip, &held)) {
                // A scroll or a larger window shows parts of the side not drawn yet.
                RECT drawn;
                if (!::IntersectRect(&drawn, &copy, &m_drawnArea) || !::EqualRect(&drawn, &copy))
                    RenderShownArea(copy);
                ::BitBlt(dc, copy.left, copy.top, copy.right - copy.left, copy.bottom - copy.top,
                         m_memDC->m_hDC, copy.left, copy.top, SRCCOPY);
            }
            RECT right = {held.right, clip.top, clip.right, clip.bottom};
            if (right.right > right.left && right.bottom > right.top) g_canvasBackdrop.Tile(dc, right);
            RECT below = {clip.left, held.bottom, held.right, clip.bottom};
            if (below.right > below.left && below.bottom > below.top) g_canvasBackdrop.Tile(dc, below);
            return;
        }
        PaintCanvasBackground(dc, &g_canvasBackdrop);
    });
}

Rect View::ObjectCanvasRect(const ViewObject* object) const {
    double sx = 0, sy = 0;
    ModelToDevice(nullptr, Rect(), sx, sy);
    float ox = 0, oy = 0;
    CanvasOffsets(ox, oy);
    return RoundRectF(ScaleRectF(object->GetRectF(false), sx, sy, ox, oy, 0, 0));
}

void View::CanvasOffsets(float& ox, float& oy) const {
    double sx = 0, sy = 0;
    ModelToDevice(nullptr, Rect(), sx, sy);
    // The screen record's shift by the border: the page origin taken back to design units.
    ox = sx > 0 ? static_cast<float>(std::floor(-m_pageOrigin.x / sx + 0.5)) : 0.0f;
    oy = sy > 0 ? static_cast<float>(std::floor(-m_pageOrigin.y / sy + 0.5)) : 0.0f;
}

void View::SetupScreenContext(RenderContext& ctx, const Rect& printableArea) {
    double sx = 0, sy = 0;
    ModelToDevice(nullptr, Rect(), sx, sy);
    Rect marquee;
    if (!m_dragRect.IsRectEmpty())
        marquee = Rect(m_dragRect.left, m_dragRect.top, m_dragRect.Width(), m_dragRect.Height());
    HBITMAP bitmap = m_buffer.Bitmap();
    ctx.SetupView(m_memGraphics, bitmap, sx, sy, &m_design, marquee, m_pageOrigin.x, m_pageOrigin.y,
                  printableArea, IsOutlineAnimating());
    ctx.canvasBackdrop = &g_canvasBackdrop;
    ctx.decodeElsewhere = [this](ViewObject* picture, int width, int height) {
        return DecodeShownPicture(picture, width, height);
    };
}

Rect View::ScreenPrintableArea() {
    ViewObject* page = m_design.GetCurrentPage();
    return page ? GetPrintableArea(page->left, page->top, page->width, page->height) : Rect();
}

CRect View::ShownBufferArea() const {
    CRect shown;
    if (!m_hWnd) return shown;
    GetClientRect(&shown);
    shown.OffsetRect(GetDeviceScrollPosition());
    CRect area;
    area.IntersectRect(shown, CRect(0, 0, m_bufferSize.cx, m_bufferSize.cy));
    return area;
}

bool View::CoversMostOfDrawnArea(HRGN changed, CPoint scroll) const {
    RECT box;
    if (!changed || ::GetRgnBox(changed, &box) == NULLREGION) return false;
    ::OffsetRect(&box, scroll.x, scroll.y);
    CRect part;
    if (!part.IntersectRect(&box, m_drawnArea)) return false;
    return 2.0 * part.Width() * part.Height() >= 1.0 * m_drawnArea.Width() * m_drawnArea.Height();
}

void View::RenderArea(RenderContext& ctx, const CRect& area) {
    m_drawnArea.SetRectEmpty();
    if (area.IsRectEmpty() || !m_started || !ctx.graphics) return;
    ctx.visibleArea = Rect(area.left, area.top, area.Width(), area.Height());
    RenderSide(ctx);
    m_drawnArea = area;
}

void View::RenderShownArea(const CRect& needed) {
    CRect shown = ShownBufferArea(), area;
    area.UnionRect(shown, needed);
    // A strip needed along an edge of the window is a scroll under way: half a window more
    // that way keeps the next steps of it to copying.
    if (!m_drawnArea.IsRectEmpty() && !shown.IsRectEmpty()) {
        if (needed.bottom >= shown.bottom && needed.top > shown.top) area.bottom += shown.Height() / 2;
        if (needed.top <= shown.top && needed.bottom < shown.bottom) area.top -= shown.Height() / 2;
        if (needed.right >= shown.right && needed.left > shown.left) area.right += shown.Width() / 2;
        if (needed.left <= shown.left && needed.right < shown.right) area.left -= shown.Width() / 2;
    }
    area.IntersectRect(area, CRect(0, 0, m_bufferSize.cx, m_bufferSize.cy));
    RenderContext ctx;
    SetupScreenContext(ctx, ScreenPrintableArea());
    // Drawn while the window paints (a scroll, a larger window): no wait cursor flickers.
    const BYTE wait = m_waitCursor;
    m_waitCursor = 0;
    RenderArea(ctx, area);
    m_waitCursor = wait;
}

void View::Redraw(bool render, const Rect& changedA, const Rect& changedB) {
    GuardOperation(803, [&] {
        if (!m_hWnd) return;
        CClientDC dc(this);
        if (!dc.m_hDC) return;
        ::SelectClipRgn(dc.m_hDC, nullptr);
        CPoint scroll = GetDeviceScrollPosition();
        RenderContext ctx;
        SetupScreenContext(ctx, ScreenPrintableArea());
        // A changed area is drawn again (what it draws outside the drawn area is not shown);
        // with nothing of the side held yet, the whole window's part of it is drawn.
        const bool changed = changedA.Width > 0 && changedA.Height > 0;
        const bool partial = changed && !(render && m_drawnArea.IsRectEmpty());
        if (partial) {
            ctx.SetUpdateRects(changedA, changedB, 11, scroll.x, scroll.y);
            if (m_design.IsCurrentDiscDuplicated()) {
                PointF offset = m_design.GetOtherDiscOffset(m_design.GetCurrentSide());
                ctx.MirrorUpdateRegion(offset.X, offset.Y);
            }
            ::SelectClipRgn(dc.m_hDC, ctx.updateRgn);
        }
        if (render) {
            if (partial && !CoversMostOfDrawnArea(ctx.updateRgn, scroll)) {
                // The update region alone limits it: a second clip on every fill would cost more
                // than the pixels outside the drawn area it spares.
                RenderSide(ctx);
            } else {
                // A change over most of the window (a picture as large as the side dragged) is
                // drawn as a whole redraw: clipping every fill and picture to the changed area
                // would cost more than the pixels it spares. The window still takes only that area.
                ctx.SetUpdateRects(Rect(), Rect(), 0, 0, 0);
                RenderArea(ctx, ShownBufferArea());
            }
        }
        ::SetWindowOrgEx(dc.m_hDC, scroll.x, scroll.y, nullptr);
        OnDraw(&dc);
    });
}

void View::RenderSide(RenderContext& ctx) {
    GuardOperation(806, [&] {
        if (!m_started) return;
        // A missing surface (the buffer could not be made) draws nothing.
        if (!ctx.graphics) return;
        // Anything but the screen's drawing leaves nothing of the screen's in the buffer.
        if (ctx.purpose != kPurposeScreen) {
            m_drawnArea.SetRectEmpty();
            m_drawnHandlesKnown = false;
        }
        bool wait = m_waitCursor != 0;
        if (wait) BeginWaitCursor();
        m_select.OnSideRedraw(kSideRedrawBefore);
        if (ctx.purpose == kPurposePrint && m_calibrationMode) {
            ctx.FillBackground();
            DrawCalibrationPage(ctx);
        } else {
            DrawSide(ctx);
            if (ctx.purpose == kPurposeScreen) NoteDrawnHandles(ctx);
            if (ctx.purpose == kPurposeScreen && (m_liveDragLayout || m_dragRect.IsRectEmpty()))
                m_select.OnSideRedraw(kSideRedrawAfter);
        }
        if (wait) EndWaitCursor();
    });
}

void View::NoteDrawnHandles(const RenderContext& ctx) {
    const Rect& now = ctx.handlesFrame;
    if (!ctx.hasUpdateRegion) {
        m_drawnHandlesKnown = true;
    } else if (!now.Equals(m_drawnHandles)) {
        // A partial drawing leaves the handles outside its area as they were: the buffer's are
        // known only when the area held the squares of both.
        auto covered = [&](const Rect& frame) {
            if (frame.Width <= 0 || frame.Height <= 0) return true;
            Rect squares[11];
            ComputeHandleRects(frame, squares);
            for (int i = 0; i <= 7; ++i) {
                const RectF s(static_cast<REAL>(squares[i].X), static_cast<REAL>(squares[i].Y),
                              static_cast<REAL>(squares[i].Width), static_cast<REAL>(squares[i].Height));
                bool inside = false;
                for (const RectF& u : ctx.updateRects) inside = inside || u.Contains(s);
                if (!inside) return false;
            }
            return true;
        };
        m_drawnHandlesKnown = m_drawnHandlesKnown && covered(m_drawnHandles) && covered(now);
    }
    m_drawnHandles = now;
}

bool View::TakeSelectionMarksOff() {
    if (!m_drawnHandlesKnown || m_drawnArea.IsRectEmpty() || !m_memGraphics) return false;
    // The caret and highlight go as they came (the editor knows which characters it marked),
    // then the handles: every mark is an inversion, so a second one restores the pixels.
    m_select.UpdateHighlight(true, false);
    m_select.OnSideRedraw(kSideRedrawBefore);
    if (m_drawnHandles.Width > 0 && m_drawnHandles.Height > 0) {
        RenderContext ctx;
        SetupScreenContext(ctx, Rect());
        ctx.AddHandleSquares(m_drawnHandles);
        ctx.DrawOutlinePaths();
    }
    m_drawnHandles = Rect();
    return true;
}

void View::PutSelectionMarksOn() {
    RenderContext ctx;
    SetupScreenContext(ctx, Rect());
    ctx.AddSelectionHandles();
    ctx.DrawOutlinePaths();
    m_drawnHandles = ctx.handlesFrame;
    m_select.OnSideRedraw(kSideRedrawAfter);
}

// ---- the animated selection outline ------------------------------------------------------------

void DrawDashedOutline(Graphics& g, const Rect& r, const CRect& visible, Pen& first, Pen& second) {
    g.SetSmoothingMode(SmoothingModeNone);
    g.SetPixelOffsetMode(PixelOffsetModeNone);
    const int x0 = r.X - 1, y0 = r.Y - 1, x1 = r.X + r.Width, y1 = r.Y + r.Height;
    const CPoint corners[4] = {CPoint(x0, y0), CPoint(x1, y0), CPoint(x1, y1), CPoint(x0, y1)};
    std::vector<CanvasGeometry::OutlineRun> runs;
    if (!CanvasGeometry::OutlineRuns(corners, visible, runs)) {
        PointF points[5];
        for (int k = 0; k < 5; ++k)
            points[k] = PointF(static_cast<REAL>(corners[k % 4].x), static_cast<REAL>(corners[k % 4].y));
        g.DrawLines(&first, points, 5);
        g.DrawLines(&second, points, 5);
        return;
    }
    // An outline far larger than the window (a picture much larger than its side, close up) is
    // drawn where it shows: its whole length, dashed, took longer than the animation's tick.
    g.SetClip(Rect(x0, y0, x1 - x0 + 1, y1 - y0 + 1));
    g.SetClip(Rect(visible.left, visible.top, visible.Width(), visible.Height()), CombineModeIntersect);
    for (Pen* pen : {&first, &second})
        for (const CanvasGeometry::OutlineRun& run : runs)
            g.DrawLine(pen, static_cast<INT>(run.from.x), static_cast<INT>(run.from.y),
                       static_cast<INT>(run.to.x), static_cast<INT>(run.to.y));
    g.ResetClip();
}

void View::StartOutlineTimer() {
    if (m_outlineAnimating) return;
    m_outlineAnimating = true;
    if (m_hWnd) SetTimer(kTimerOutline, 75);
}

void View::StopOutlineTimer() {
    m_outlineAnimating = false;
    if (m_hWnd) KillTimer(kTimerOutline);
}

float* View::NewDashPattern(float a, float b, float c, float d) {
    float* pattern = new float[4];
    pattern[0] = a;
    pattern[1] = b;
    pattern[2] = c;
    pattern[3] = d;
    return pattern;
}

void View::EnsureDashPatterns() {
    if (m_dashPatterns.GetSize() > 0) return;
    for (int i = 0; i < CanvasGeometry::kDashPatternCount; ++i) {
        const float* p = CanvasGeometry::DashPattern(i);
        m_dashPatterns.Add(NewDashPattern(p[0], p[1], p[2], p[3]));
    }
}

void View::DeleteDashPatterns() {
    for (INT_PTR i = 0; i < m_dashPatterns.GetSize(); ++i) delete[] static_cast<float*>(m_dashPatterns[i]);
    m_dashPatterns.RemoveAll();
}

void View::AnimateOutline() {
    GuardOperation(807, [&] {
        EnsureDashPatterns();
        m_dashPhase = CanvasGeometry::NextDashPhase(m_dashPhase);
        const int second = CanvasGeometry::SecondDashPhase(m_dashPhase);
        ViewObject* selected = m_design.GetFirstSelected();
        if (!selected || !m_hWnd) return;
        Rect d = ObjectCanvasRect(selected);
        CPoint scroll = GetDeviceScrollPosition();
        CClientDC dc(this);
        if (!dc.m_hDC) return;
        ::SelectClipRgn(dc.m_hDC, nullptr);
        Graphics g(dc.m_hDC);
        Pen black(Color(0xFF000000), 1);
        black.SetDashPattern(static_cast<float*>(m_dashPatterns[m_dashPhase]), 4);
        Pen white(Color(0xFFFFFFFF), 1);
        white.SetDashPattern(static_cast<float*>(m_dashPatterns[second]), 4);
        CRect client;
        GetClientRect(&client);
        DrawDashedOutline(g, Rect(d.X - scroll.x, d.Y - scroll.y, d.Width, d.Height), client, black, white);
    });
}

// ---- window messages ---------------------------------------------------------------------------

namespace {
int g_sizeChangeHolds = 0;
bool g_fontBarRefreshHeld = false;
}  // namespace

View::SizeChangeHold::SizeChangeHold() {
    ++g_sizeChangeHolds;
}

View::SizeChangeHold::~SizeChangeHold() {
    if (--g_sizeChangeHolds > 0 || !g_fontBarRefreshHeld) return;
    g_fontBarRefreshHeld = false;
    GuardOperation(811, [&] {
        View* view = GetCurrent();
        if (view && view->m_hWnd && view->m_started && g_viewHost)
            g_viewHost->UpdateFontBarFromSelection(nullptr);
    });
}

void View::OnSize(UINT nType, int cx, int cy) {
    CScrollView::OnSize(nType, cx, cy);
    GuardOperation(808, [&] {
        if (!m_started || !g_viewHost) return;
        if (g_sizeChangeHolds > 0)
            g_fontBarRefreshHeld = true;
        else
            g_viewHost->UpdateFontBarFromSelection(nullptr);
    });
}

void View::OnSettingChange(UINT uFlags, LPCTSTR lpszSection) {
    GuardOperation(809, [&] {
        if (uFlags == 0 && lpszSection && lstrcmpA(lpszSection, "Windows") == 0) RefreshView(CString());
    });
    CScrollView::OnSettingChange(uFlags, lpszSection);
}

void View::OnDestroy() {
    GuardOperation(810, [&] {
        // No decode outlives the window (nor GDI+, which goes down after it), a closed dialog's
        // neither.
        m_pictureJobs.Cancel();
        m_printPreviewPictures.End();
        PictureDecodeJobs::EndRetired();
        StopOutlineTimer();
        DeleteDashPatterns();
        ReleaseBuffers();
        m_panelHits.RemoveAll();
        m_objectHits.RemoveAll();
        m_select.EndEditing();
        m_design.DeleteContents(true);
        m_templates.DeleteContents(true);
        TrimUndoSteps(0, true);
        DeleteUndoStep(m_openUndoStep);
        m_openUndoStep = nullptr;
    });
    CScrollView::OnDestroy();
}
