// How long the canvas takes to redraw a full jewel-case back side with a picture and twenty
// texts at 100 % zoom and at every zoom level above, each step of dragging one object over it,
// and a wheel step of scrolling at the largest zoom. Run by hand (not by ctest):
//   build/wine-run build/tools/bench/canvas_benchmark.exe
#include <doctest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BenchmarkTiming.h"
#include "CanvasFixture.h"
#include "render/CanvasSettings.h"
#include "render/RenderContext.h"

using namespace cvtest;

TEST_CASE("redraw of a jewel-case back side with a picture and 20 texts") {
    View* view = EnsureView();
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    ViewObject* back = view->m_design.GetCurrentSide();
    REQUIRE(back != nullptr);
    const std::string picture = MakePicture("benchmark", 1600, 1200, RGB(90, 140, 200));
    view->InsertImage(CRect(back->left, back->top, back->left + back->width, back->top + back->height),
                      picture.c_str(), false);
    ViewObject* image = view->m_design.GetFirstSelected();
    REQUIRE(image != nullptr);
    for (int i = 0; i < 20; ++i) {
        char name[16], text[64];
        std::snprintf(name, sizeof name, "Text %d", i + 1);
        std::snprintf(text, sizeof text, "Track %d - A song with a title\b", i + 1);
        AddText(view, name, text, back->left + 300 + (i % 2) * 2600, back->top + 200 + (i / 2) * 450, 2400,
                400);
    }
    if (getenv("KV_BENCH_NO_GUIDES")) g_showGuides = 0;
    // 100 %: zoom level 10.
    view->m_zoom = 10;
    view->PlaceCanvas();
    view->SetPageScrollSizes();
    view->m_paintEnabled = true;
    view->Redraw(true);
    if (getenv("KV_BENCH_NO_WAIT")) view->m_waitCursor = 0;
    std::vector<double> full;
    for (int i = 0; i < 20; ++i) {
        LARGE_INTEGER a, b;
        ::QueryPerformanceCounter(&a);
        view->Redraw(true);
        ::QueryPerformanceCounter(&b);
        full.push_back(Milliseconds(a, b));
    }
    Report("full redraw at 100 %", full);
    std::vector<double> paint;
    for (int i = 0; i < 20; ++i) {
        LARGE_INTEGER a, b;
        ::QueryPerformanceCounter(&a);
        view->Redraw(false);
        ::QueryPerformanceCounter(&b);
        paint.push_back(Milliseconds(a, b));
    }
    Report("paint from the buffer only", paint);
    if (getenv("KV_BENCH_PARTS")) {
        std::vector<double> fill, side;
        for (int i = 0; i < 20; ++i) {
            RenderContext ctx;
            view->SetupScreenContext(ctx, Gdiplus::Rect());
            LARGE_INTEGER a, b, c;
            ::QueryPerformanceCounter(&a);
            ctx.FillBackground();
            ::QueryPerformanceCounter(&b);
            DrawSide(ctx);
            ::QueryPerformanceCounter(&c);
            fill.push_back(Milliseconds(a, b));
            side.push_back(Milliseconds(b, c));
        }
        Report("background fill", fill);
        Report("side drawing", side);
    }
    if (getenv("KV_BENCH_NO_TEXT")) {
        for (int i = 0; i < 20; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "Text %d", i + 1);
            view->m_design.RemoveObject(view->m_design.FindObject(name), true);
        }
        full.clear();
        for (int i = 0; i < 20; ++i) {
            LARGE_INTEGER a, b;
            ::QueryPerformanceCounter(&a);
            view->Redraw(true);
            ::QueryPerformanceCounter(&b);
            full.push_back(Milliseconds(a, b));
        }
        Report("full redraw without texts", full);
        view->m_design.RemoveObject(image, true);
        full.clear();
        for (int i = 0; i < 20; ++i) {
            LARGE_INTEGER a, b;
            ::QueryPerformanceCounter(&a);
            view->Redraw(true);
            ::QueryPerformanceCounter(&b);
            full.push_back(Milliseconds(a, b));
        }
        Report("full redraw of the empty side", full);
        return;
    }

    // Dragging a text: each move re-renders the old and the new place.
    view->OnSelectionChanged("Text 5", TRUE);
    ViewObject* moving = view->m_design.GetFirstSelected();
    REQUIRE(moving != nullptr);
    view->m_dragMode = "Move";
    double sx = 0, sy = 0;
    view->ModelToDevice(nullptr, Gdiplus::Rect(), sx, sy);
    CPoint origin;
    view->GetScrollOrigin(origin, false);
    CPoint start(static_cast<int>((moving->left + 100) * sx) - origin.x,
                 static_cast<int>((moving->top + 100) * sy) - origin.y);
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start.x, start.y));
    std::vector<double> drag;
    for (int i = 1; i <= 40; ++i) {
        CPoint p = start + CPoint(i * 3, i * 2);
        LARGE_INTEGER a, b;
        ::QueryPerformanceCounter(&a);
        view->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        ::QueryPerformanceCounter(&b);
        drag.push_back(Milliseconds(a, b));
    }
    view->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(start.x + 120, start.y + 80));
    Report("one move of a drag (text, live layout)", drag);

    // Dragging the picture over the whole side.
    view->OnSelectionChanged(image->name, TRUE);
    view->m_dragMode = "Move";
    start = CPoint(static_cast<int>((image->left + 500) * sx) - origin.x,
                   static_cast<int>((image->top + 500) * sy) - origin.y);
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start.x, start.y));
    drag.clear();
    for (int i = 1; i <= 40; ++i) {
        CPoint p = start + CPoint(i * 2, i);
        LARGE_INTEGER a, b;
        ::QueryPerformanceCounter(&a);
        view->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        ::QueryPerformanceCounter(&b);
        drag.push_back(Milliseconds(a, b));
    }
    view->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(start.x + 80, start.y + 40));
    Report("one move of a drag (picture covering the side)", drag);
    CHECK(full.size() == 20);

    // Every zoom level above 100 %, as Zoom In steps to them, up to the largest the buffer takes.
    for (int level = 0; level < 20; ++level) {
        const int before = view->m_zoom;
        view->OnZoomIn();
        if (view->m_zoom == before) break;
        view->m_paintEnabled = true;
        view->Redraw(true);
        std::vector<double> zoomed;
        for (int i = 0; i < 10; ++i) {
            LARGE_INTEGER a, b;
            ::QueryPerformanceCounter(&a);
            view->Redraw(true);
            ::QueryPerformanceCounter(&b);
            zoomed.push_back(Milliseconds(a, b));
        }
        char what[64];
        std::snprintf(what, sizeof what, "full redraw at %d %%", view->m_zoom * 10);
        Report(what, zoomed);
    }

    // Scrolling at the largest zoom, a wheel step (three lines) down and then up each time.
    std::vector<double> scrolls;
    for (int i = 0; i < 20; ++i) {
        LARGE_INTEGER a, b;
        ::QueryPerformanceCounter(&a);
        view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, i < 10 ? -WHEEL_DELTA : WHEEL_DELTA), 0);
        ::QueryPerformanceCounter(&b);
        scrolls.push_back(Milliseconds(a, b));
    }
    Report("one wheel step at the largest zoom", scrolls);
}
