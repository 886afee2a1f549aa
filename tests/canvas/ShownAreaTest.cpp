// The canvas draws only the part of the side its window shows: what the window shows, at every
// zoom and after scrolling, zooming and dragging through the message loop, is pixel for pixel what
// a drawing of the whole side shows there. Keys typed into a title in place (its characters
// stamped into its picture) leave the pixels that drawing every character anew gives.
#include <doctest.h>

#include <string>

#include "CanvasFixture.h"
#include "GuiSupport.h"
#include "model/PageSizes.h"
#include "render/CanvasSettings.h"
#include "render/GlyphStamps.h"
#include "render/RenderContext.h"
#include "render/TextLayer.h"
#include "res/CommandIds.h"

using namespace cvtest;

namespace {

// A back cover under one picture with twenty texts: one turned, one fitted to its box without a
// clip; the grid and the guides shown.
struct BusySide {
    View* view;
    ViewObject* picture = nullptr;
    BYTE grid = g_showGrid, guides = g_showGuides;

    BusySide() : view(EnsureView()) {
        NewDesign(view, kLayout1DiscTop, "Back Cover");
        ViewObject* back = view->m_design.GetCurrentSide();
        REQUIRE(back != nullptr);
        const std::string file = MakePicture("shown-area", 800, 600, RGB(90, 140, 200));
        view->InsertImage(CRect(back->left, back->top, back->left + back->width, back->top + back->height),
                          file.c_str(), false);
        picture = view->m_design.GetFirstSelected();
        REQUIRE(picture != nullptr);
        for (int i = 0; i < 20; ++i) {
            const std::string name = "Text " + std::to_string(i + 1);
            const std::string text = "Track " + std::to_string(i + 1) + " - A song with a title\b";
            ViewObject* o = AddText(view, name.c_str(), text.c_str(), back->left + 300 + (i % 2) * 2600,
                                    back->top + 200 + (i / 2) * 450, 2400, 400);
            if (i == 7) o->angle = "90 degrees";
            if (i == 12) o->bAutoFit = 1;
        }
        view->OnSelectionChanged(back->name, FALSE);
        view->StopOutlineTimer();
        g_showGrid = 1;
        g_showGuides = 1;
        view->Redraw(true);
        Pump();
    }
    ~BusySide() {
        g_showGrid = grid;
        g_showGuides = guides;
    }
    View* AtLargestZoomTopLeft();
};

kvtest::Capture Shown(View* view) {
    return kvtest::CaptureWindowFromScreen(view->m_hWnd);
}

// The window painted from a buffer that holds the whole side drawn in one piece; the view draws
// as before afterwards.
kvtest::Capture ShownFromWholeSide(View* view) {
    RenderContext ctx;
    ViewObject* page = view->m_design.GetCurrentPage();
    REQUIRE(page != nullptr);
    view->SetupScreenContext(ctx, GetPrintableArea(page->left, page->top, page->width, page->height));
    view->RenderSide(ctx);
    view->m_drawnArea = CRect(0, 0, view->m_bufferSize.cx, view->m_bufferSize.cy);
    view->Invalidate(FALSE);
    kvtest::Capture whole = Shown(view);
    view->Redraw(true);
    return whole;
}

int Differing(const kvtest::Capture& a, const kvtest::Capture& b) {
    if (a.width != b.width || a.height != b.height) return -1;
    int n = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        if (a.pixels[i] != b.pixels[i]) ++n;
    return n;
}

// What the window shows now against the whole side's drawing.
void CheckLikeWholeSide(View* view, const char* where) {
    Pump();
    const kvtest::Capture shown = Shown(view);
    REQUIRE_FALSE(shown.Empty());
    const kvtest::Capture whole = ShownFromWholeSide(view);
    INFO(std::string(where) << " at " << view->m_zoom * 10 << " %, scrolled to "
                            << view->GetDeviceScrollPosition().x << "," << view->GetDeviceScrollPosition().y);
    CHECK(Differing(shown, whole) == 0);
}

void SetZoom(View* view, int zoom) {
    view->m_zoom = zoom;
    view->PlaceCanvas();
    view->SetPageScrollSizes();
    view->Redraw(true);
    Pump();
}

void Post(View* view, UINT message, WPARAM w, LPARAM l = 0) {
    view->PostMessage(message, w, l);
    Pump();
}

// Zoom In, each step through the command, up to the largest zoom.
void ZoomInAllTheWay(View* view) {
    for (int i = 0; i < 20; ++i) {
        const int before = view->m_zoom;
        Post(view, WM_COMMAND, ID_VIEW_ZOOM_IN);
        if (view->m_zoom == before) break;
    }
}

void ScrollToTopLeft(View* view) {
    Post(view, WM_VSCROLL, SB_TOP);
    Post(view, WM_HSCROLL, SB_LEFT);
}

View* BusySide::AtLargestZoomTopLeft() {
    ZoomInAllTheWay(view);
    ScrollToTopLeft(view);
    return view;
}

}  // namespace

TEST_CASE("the window shows the whole side's pixels at every zoom, scrolled anywhere" *
          doctest::timeout(120)) {
    BusySide busy;
    View* view = busy.view;
    for (int zoom : {10, 20, 30}) {
        SetZoom(view, zoom);
        CheckLikeWholeSide(view, "redrawn");
        Post(view, WM_VSCROLL, SB_PAGEDOWN);
        Post(view, WM_HSCROLL, SB_PAGERIGHT);
        CheckLikeWholeSide(view, "a page down and right");
        view->Redraw(true);
        CheckLikeWholeSide(view, "redrawn there");
    }
    ZoomInAllTheWay(view);
    CHECK(view->m_zoom > 30);
    CheckLikeWholeSide(view, "zoomed in");
    ScrollToTopLeft(view);
    CheckLikeWholeSide(view, "scrolled to the top left");
    for (int i = 0; i < 3; ++i) Post(view, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA));
    Post(view, WM_HSCROLL, SB_LINERIGHT);
    CheckLikeWholeSide(view, "wheeled down and a line right");
    Post(view, WM_VSCROLL, SB_BOTTOM);
    Post(view, WM_HSCROLL, SB_RIGHT);
    CheckLikeWholeSide(view, "scrolled to the bottom right");
    Post(view, WM_COMMAND, ID_VIEW_ZOOM_OUT);
    CheckLikeWholeSide(view, "zoomed out one step");
}

TEST_CASE("a whole redraw draws only the window's part of the side; a scroll draws the rest" *
          doctest::timeout(120)) {
    BusySide busy;
    View* view = busy.AtLargestZoomTopLeft();
    view->Redraw(true);
    Pump();
    const CRect shown = view->ShownBufferArea();
    const Gdiplus::Rect side = view->ObjectCanvasRect(view->m_design.GetCurrentSide());
    // The side reaches past the window's right and bottom edges at this zoom.
    REQUIRE(side.X + side.Width > shown.right + 10);
    REQUIRE(side.Y + side.Height > shown.bottom + 10);
    HDC buffer = view->m_memDC->m_hDC;
    const CPoint inside(shown.right - 5, shown.bottom - 5), outside(shown.right + 5, shown.bottom + 5);
    ::SetPixel(buffer, inside.x, inside.y, RGB(1, 2, 3));
    ::SetPixel(buffer, outside.x, outside.y, RGB(1, 2, 3));
    view->Redraw(true);
    CHECK(::GetPixel(buffer, inside.x, inside.y) != RGB(1, 2, 3));
    CHECK(::GetPixel(buffer, outside.x, outside.y) == RGB(1, 2, 3));
    // Scrolled there, the window shows the side's pixels, not the buffer's old ones.
    Post(view, WM_VSCROLL, SB_PAGEDOWN);
    Post(view, WM_HSCROLL, SB_PAGERIGHT);
    REQUIRE(view->ShownBufferArea().PtInRect(outside));
    CHECK(::GetPixel(buffer, outside.x, outside.y) != RGB(1, 2, 3));
    CheckLikeWholeSide(view, "scrolled onto the mark");
}

TEST_CASE("a drag of the side's picture at the largest zoom leaves the window as a whole drawing shows it" *
          doctest::timeout(120)) {
    BusySide busy;
    View* view = busy.AtLargestZoomTopLeft();
    for (int i = 0; i < 3; ++i) Post(view, WM_HSCROLL, SB_PAGERIGHT);
    // Selected, with its outline on (its handles are what a press is judged by) but not dashing.
    view->OnSelectionChanged(busy.picture->name, TRUE);
    view->KillTimer(kTimerOutline);
    REQUIRE(view->IsOutlineAnimating());
    Pump();
    const int left = busy.picture->left, top = busy.picture->top;
    // Between the two columns of texts, on the picture alone.
    double sx = 0, sy = 0;
    view->ModelToDevice(nullptr, Gdiplus::Rect(), sx, sy);
    CPoint origin;
    view->GetScrollOrigin(origin, false);
    const CPoint start(static_cast<int>((left + 2800) * sx) - origin.x,
                       static_cast<int>((top + 1000) * sy) - origin.y);
    CRect client;
    view->GetClientRect(&client);
    client.DeflateRect(0, 0, 80, 50);
    REQUIRE(client.PtInRect(start));
    // The pointer over the picture makes the press a move.
    PointerAt(view, start);
    view->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(view->m_hWnd),
                      MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    REQUIRE(view->m_dragMode == "Move");
    Post(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start.x, start.y));
    for (int i = 1; i <= 10; ++i)
        Post(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(start.x + 6 * i, start.y + 3 * i));
    Post(view, WM_LBUTTONUP, 0, MAKELPARAM(start.x + 60, start.y + 30));
    // The outline's dashes stay off (paints leave its ring alone while it is on).
    view->KillTimer(kTimerOutline);
    REQUIRE(view->m_design.GetFirstSelected() == busy.picture);
    CHECK(busy.picture->left > left);
    CHECK(busy.picture->top > top);
    CheckLikeWholeSide(view, "after the drag");
}

TEST_CASE("keys typed into a title in place leave the window as drawing each character anew shows it" *
          doctest::timeout(120)) {
    BusySide busy;
    View* view = busy.view;
    SetZoom(view, 10);
    view->InsertObject("Title");
    Pump();
    ViewObject* title = nullptr;
    view->m_design.ForEachObject([&](ViewObject* o) {
        if (!title && o->IsText() && o->name == "Title") title = o;
    });
    REQUIRE(title != nullptr);
    REQUIRE(title->bAutoFit);
    view->OnSelectionChanged(title->name, TRUE);
    Pump();
    const int end = title->GetCharCount() - 1;
    view->m_select.SetSelection(end, end);
    const long stampedBefore = GlyphsStamped();
    int sizes = 0, lastSize = title->charFonts[0] ? title->charFonts[0]->lfHeight : 0;
    const char words[] = "Wavy jumps over the quick fox, AVATAR fijis ";
    for (int i = 0; i < 120; ++i) {
        Post(view, WM_CHAR, static_cast<unsigned char>(words[i % (sizeof words - 1)]), 1);
        if (title->charFonts[0] && title->charFonts[0]->lfHeight != lastSize) {
            lastSize = title->charFonts[0]->lfHeight;
            ++sizes;
        }
    }
    // The keys changed the size AutoFit finds, and the title's pictures were stamped.
    CHECK(sizes >= 3);
    CHECK(GlyphsStamped() - stampedBefore > 1000);
    // Left, the title shows without caret; then every character drawn through GDI+ again.
    view->OnSelectionChanged(busy.picture->name, FALSE);
    view->StopOutlineTimer();
    view->Redraw(true);
    Pump();
    const kvtest::Capture typed = Shown(view);
    REQUIRE_FALSE(typed.Empty());
    UseGlyphStamps(false);
    ForgetTextPictures();
    view->Redraw(true);
    Pump();
    const kvtest::Capture drawn = Shown(view);
    UseGlyphStamps(true);
    CHECK(Differing(typed, drawn) == 0);
}
