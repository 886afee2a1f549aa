// The real view in a frame under Xvfb: the design drawn into the buffer and shown, a click that
// selects and a drag that moves with snapping as one undo step, zooming around the window's
// centre, the off-screen buffer's failures, the context menu, and the window repainted whole after an
// undo under the animated selection outline; a key typed into a linked text redraws only its area.
#include <doctest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "CanvasFixture.h"
#include "GuiSupport.h"
#include "TestSupport.h"
#include "canvas/AppCanvasState.h"
#include "canvas/ViewSettings.h"
#include "framework/graphics/DibHelpers.h"
#include "render/CanvasBackground.h"
#include "render/CanvasSettings.h"
#include "res/CommandIds.h"

using namespace cvtest;
using Gdiplus::Rect;

namespace {

// A client point of the view for a design point.
CPoint ClientOf(View* view, int x, int y) {
    double sx = 0, sy = 0;
    view->ModelToDevice(nullptr, Rect(), sx, sy);
    CPoint origin;
    view->GetScrollOrigin(origin, false);
    return CPoint(static_cast<int>(x * sx + 0.5) - origin.x, static_cast<int>(y * sy + 0.5) - origin.y);
}

LPARAM Pos(CPoint p) {
    return MAKELPARAM(p.x, p.y);
}

unsigned PixelAt(View* view, CPoint p) {
    kvtest::Capture c = kvtest::CaptureWindow(view->m_hWnd);
    // The capture holds the window rectangle; the view has no frame of its own.
    if (c.Empty() || p.x < 0 || p.y < 0 || p.x >= c.width || p.y >= c.height) return 0xFFFFFFFF;
    return c.At(p.x, p.y);
}

// A new one-disc design on its back cover with a 200 x 100 picture inserted as one undo step;
// the picture is the selection. Returns the back cover (null when the design has none).
ViewObject* BackCoverWithPicture(View* view, const char* name, COLORREF colour) {
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    ViewObject* back = view->m_design.GetCurrentSide();
    if (back == nullptr) return nullptr;
    const std::string picture = MakePicture(name, 200, 100, colour);
    view->BeginUndoStep();
    view->InsertImage(CRect(back->left + 1500, back->top + 1500, back->left + 2500, back->top + 2000),
                      picture.c_str(), false);
    view->EndUndoStep();
    return back;
}
}  // namespace

TEST_CASE("the design is drawn into the buffer and shown in the window") {
    View* view = EnsureView();
    REQUIRE(view->m_started);
    REQUIRE(view->m_design.GetCurrentSide() != nullptr);
    CHECK(view->m_design.currentSideName == "Back Cover");
    ViewObject* back = view->m_design.GetCurrentSide();
    // The back cover's middle is white, the canvas far right of the page is the backdrop's grey.
    CPoint middle = ClientOf(view, back->left + back->width / 2, back->top + back->height / 2);
    CHECK(PixelAt(view, middle) == 0xFFFFFF);
    CRect client;
    view->GetClientRect(&client);
    ViewObject* page = view->m_design.GetCurrentPage();
    REQUIRE(page != nullptr);
    CPoint pageRight = ClientOf(view, page->left + page->width, page->top + page->height / 2);
    if (pageRight.x + 30 < client.right)
        CHECK(PixelAt(view, CPoint(pageRight.x + 25, pageRight.y)) == kvtest::Rgb(kCanvasBackdropGrey));
    // The buffer holds the same pixels: the paint only copies.
    Rect d = view->ObjectCanvasRect(back);
    COLORREF buffered = ::GetPixel(view->m_memDC->m_hDC, d.X + d.Width / 2, d.Y + d.Height / 2);
    CHECK(buffered == RGB(255, 255, 255));
    // A skipped paint draws nothing and clears the flag.
    view->m_skipNextPaint = 1;
    view->Invalidate();
    view->UpdateWindow();
    CHECK(view->m_skipNextPaint == 0);
}

TEST_CASE("the zoom commands keep the design point under the window's centre") {
    View* view = EnsureView();
    view->ShowSide("Back Cover");
    const int fitted = view->m_zoom;
    CRect area;
    view->GetViewClientArea(area);
    const CPoint centre = area.CenterPoint();
    view->OnZoomIn();
    view->OnZoomIn();
    CHECK(view->m_zoom == fitted + 4);
    // The page now overflows: it sits 17 pixels in, and the centre keeps its design point.
    CHECK(view->m_pageOrigin.x == -17);
    Gdiplus::Point before = view->ClientToDesign(centre);
    view->OnZoomIn();
    Gdiplus::Point after = view->ClientToDesign(centre);
    const double unit = 1.0 / (view->m_pixelsPerUnitX * view->m_zoom * 0.1);
    CHECK(std::abs(after.X - before.X) <= unit + 1);
    CHECK(std::abs(after.Y - before.Y) <= unit + 1);
    view->OnZoomOut();
    Gdiplus::Point back = view->ClientToDesign(centre);
    CHECK(std::abs(back.X - before.X) <= 2 * unit + 1);
    // Zooming out stops above level 4.
    for (int i = 0; i < 20; ++i) view->OnZoomOut();
    CHECK(view->m_zoom >= 4);
    CHECK(view->m_zoom - 2 < 4);
    view->ShowSide("Back Cover");
    CHECK(view->m_zoom == fitted);
}

TEST_CASE("a click selects, a drag moves with snapping as one undo step, and undo puts it back" *
          doctest::timeout(60)) {
    View* view = EnsureView();
    ViewObject* back = BackCoverWithPicture(view, "drag", RGB(40, 120, 200));
    REQUIRE(back != nullptr);
    ViewObject* image = view->m_design.GetFirstSelected();
    REQUIRE(image != nullptr);
    REQUIRE(image->IsImage());
    CHECK(image->width == 2 * image->height);  // the picture's natural proportions
    const int steps = view->GetUndoCount();
    // Select the side again by a click beside the image, then the image by a click on it.
    CPoint outside = ClientOf(view, back->left + 300, back->top + 300);
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, Pos(outside));
    view->SendMessage(WM_LBUTTONUP, 0, Pos(outside));
    CHECK(view->m_design.GetFirstSelected() != image);
    CPoint on = ClientOf(view, image->left + image->width / 2, image->top + image->height / 2);
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, Pos(on));
    view->SendMessage(WM_LBUTTONUP, 0, Pos(on));
    REQUIRE(view->m_design.GetFirstSelected() == image);
    CHECK(view->GetUndoCount() == steps);  // a click without motion records nothing
    // The pointer over the image makes the next press a move.
    PointerAt(view, on);
    view->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(view->m_hWnd),
                      MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    REQUIRE(view->m_dragMode == "Move");
    g_snapToGrid = 1;
    const int oldLeft = image->left, oldTop = image->top;
    CPoint to = on + CPoint(37, 23);
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, Pos(on));
    view->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, Pos(to));
    view->SendMessage(WM_LBUTTONUP, 0, Pos(to));
    g_snapToGrid = 0;
    double sx = 0, sy = 0;
    view->ModelToDevice(nullptr, Rect(), sx, sy);
    const int p1 = static_cast<int>(1 / sx + 0.5);
    // The left edge rests one screen pixel past a grid line of the side.
    CHECK((image->left - p1 - back->left) % 100 == 0);
    CHECK((image->top - p1 - back->top) % 100 == 0);
    CHECK(image->left > oldLeft);
    CHECK(image->top > oldTop);
    CHECK(view->GetUndoCount() == steps + 1);
    CHECK(view->m_dragRect.IsRectEmpty());
    view->OnEditUndo();
    CHECK(image->left == oldLeft);
    CHECK(image->top == oldTop);
    view->OnEditRedo();
    CHECK(image->left != oldLeft);
}

TEST_CASE("a quick drag: the press is judged where it happened, not where the pointer went since" *
          doctest::timeout(60)) {
    View* view = EnsureView();
    ViewObject* back = BackCoverWithPicture(view, "quick", RGB(200, 80, 40));
    REQUIRE(back != nullptr);
    ViewObject* image = view->m_design.GetFirstSelected();
    REQUIRE(image != nullptr);
    REQUIRE(image->IsImage());
    view->Redraw(true);  // the handles' hit areas come with the drawing
    const CPoint on = ClientOf(view, image->left + image->width / 2, image->top + image->height / 2);
    const CPoint to = on + CPoint(30, 20);
    // Pressed on the image; the pointer is already far on its way when the program asks where
    // the press was (a busy program, a fast hand).
    PointerAt(view, on);
    CPoint ahead(-40, -40);
    view->ClientToScreen(&ahead);
    ::SetCursorPos(ahead.x, ahead.y);
    view->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(view->m_hWnd),
                      MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    CHECK(view->m_dragMode == "Move");
    const int oldLeft = image->left, oldTop = image->top;
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, Pos(on));
    view->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, Pos(to));
    view->SendMessage(WM_LBUTTONUP, 0, Pos(to));
    // The image went with the pointer and is still the selection (not the side under the press).
    CHECK(view->m_design.GetFirstSelected() == image);
    CHECK(image->left > oldLeft);
    CHECK(image->top > oldTop);
}

TEST_CASE("a drag ends where the button is let go, also after a late move from an older place" *
          doctest::timeout(60)) {
    View* view = EnsureView();
    ViewObject* back = BackCoverWithPicture(view, "late", RGB(40, 120, 200));
    REQUIRE(back != nullptr);
    ViewObject* image = view->m_design.GetFirstSelected();
    REQUIRE(image != nullptr);
    view->Redraw(true);
    const CPoint on = ClientOf(view, image->left + image->width / 2, image->top + image->height / 2);
    const CPoint to = on + CPoint(60, 40);
    const int oldLeft = image->left, oldTop = image->top;
    auto press = [&] {
        PointerAt(view, on);
        view->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(view->m_hWnd),
                          MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
        REQUIRE(view->m_dragMode == "Move");
        view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, Pos(on));
    };
    // A drag as it should come: the last move where the button is let go.
    press();
    view->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, Pos(on + CPoint(20, 10)));
    view->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, Pos(to));
    view->SendMessage(WM_LBUTTONUP, 0, Pos(to));
    const int movedLeft = image->left, movedTop = image->top;
    REQUIRE(movedLeft > oldLeft);
    REQUIRE(movedTop > oldTop);
    view->OnEditUndo();
    REQUIRE(image->left == oldLeft);
    REQUIRE(image->top == oldTop);
    view->Redraw(true);
    // The same hand, but a move from the way there comes after the newest one, just before the
    // release: the picture still goes where the button was let go, not back to the older place.
    press();
    view->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, Pos(to));
    view->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, Pos(on + CPoint(20, 10)));
    view->SendMessage(WM_LBUTTONUP, 0, Pos(to));
    CHECK(image->left == movedLeft);
    CHECK(image->top == movedTop);
    // And when no move reached the place of the release at all.
    view->OnEditUndo();
    view->Redraw(true);
    press();
    view->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, Pos(on + CPoint(20, 10)));
    view->SendMessage(WM_LBUTTONUP, 0, Pos(to));
    CHECK(image->left == movedLeft);
    CHECK(image->top == movedTop);
}

TEST_CASE("the off-screen buffer: a refused section makes a smaller one, none at all closes") {
    View* view = EnsureView();
    std::vector<int> tried;
    View::SetBufferAllocator([&](HDC dc, int w, int h) -> HBITMAP {
        tried.push_back(w);
        return w > 3210 ? nullptr : Create24BitDibSection(dc, w, h);
    });
    View probe;
    probe.Create(nullptr, "", WS_CHILD, CRect(0, 0, 100, 100), view, 1);
    REQUIRE(probe.CreateBuffers(kInitialBufferSize, kInitialBufferSize));
    CHECK(tried == std::vector<int>{3510, 3410, 3310, 3210});
    CHECK(probe.m_bufferSize == CSize(3210, 3210));
    CHECK(probe.m_requestedBufferSize == CSize(3510, 3510));
    probe.DestroyWindow();

    // Nothing can be made: the message, and drawing without a buffer is harmless.
    View::SetBufferAllocator([](HDC, int, int) -> HBITMAP { return nullptr; });
    KvMessageBoxCapture boxes;
    View none;
    none.Create(nullptr, "", WS_CHILD, CRect(0, 0, 100, 100), view, 2);
    CHECK_FALSE(none.CreateBuffers(kInitialBufferSize, kInitialBufferSize));
    REQUIRE(boxes.Boxes().size() == 1);
    CHECK(std::string(boxes.LastText()).find("does not have enough memory to run Korvanelle") !=
          std::string::npos);
    CHECK(none.m_memDC == nullptr);
    none.m_started = true;
    none.m_paintEnabled = true;
    none.Redraw(true);
    none.ResizeBuffers();
    none.DestroyWindow();
    View::SetBufferAllocator(nullptr);
    // The close request went to the main window; it must not close the test's frame.
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE)) {}
}

namespace {

std::vector<std::string> g_menuItems;

void CALLBACK ReadMenu(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    HWND popup = ::FindWindowA("#32768", nullptr);
    if (popup) {
        HMENU menu = reinterpret_cast<HMENU>(::SendMessageA(popup, MN_GETHMENU, 0, 0));
        for (int i = 0; menu && i < ::GetMenuItemCount(menu); ++i) {
            char text[128] = {};
            ::GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
            g_menuItems.push_back(text);
        }
        if (const char* dir = std::getenv("KV_SCREENS_DIR"))
            kvtest::SaveScreenPng(std::string(dir) + "\\canvas-context-menu.png");
    }
    ::EndMenu();
}

}  // namespace

TEST_CASE("the context menu opens with its items and forgets its point 100 ms after closing" *
          doctest::timeout(60)) {
    View* view = EnsureView();
    view->ShowSide("Back Cover");
    g_menuItems.clear();
    CPoint at(200, 200);
    view->ClientToScreen(&at);
    ::SetTimer(nullptr, 0, 700, ReadMenu);
    view->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view->m_hWnd), MAKELPARAM(at.x, at.y));
    CHECK_FALSE(view->m_contextMenuOpen);
    CHECK(view->m_contextPoint == at);
    // The title item first, then the items of menu 195.
    std::vector<std::string> texts;
    for (const std::string& t : g_menuItems)
        if (!t.empty()) texts.push_back(t);
    REQUIRE(texts.size() >= 10);
    CHECK(texts[0] == "Insert");
    CHECK(texts[1] == "Undo\tCtrl+Z");
    CHECK(texts[2] == "Redo\tCtrl+Y");
    CHECK(texts[3] == "Cut Text\tCtrl+X");
    CHECK(texts[5] == "Paste Text\tCtrl+V");
    CHECK(texts[9] == "Delete Object");
    CHECK(kvtest::PumpUntil([&] { return view->m_contextPoint == CPoint(-1, -1); }, 3000));
}

TEST_CASE("undoing an inserted picture while the title is selected leaves none of the picture on the window" *
          doctest::timeout(60)) {
    View* view = EnsureView();
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    ViewObject* side = view->m_design.GetCurrentSide();
    REQUIRE(side != nullptr);
    ViewObject* title = AddText(view, "Title", "Title\b", side->left + 1000, side->top + 1000, 2000, 400);
    const std::string picture = MakePicture("over-title", 120, 60, RGB(200, 30, 30));
    // The title is selected when the picture comes, and again after it.
    view->OnSelectionChanged("Title", TRUE);
    Pump();
    view->BeginUndoStep();
    view->RecordUndoValue("prevOrder", nullptr, "", "");
    view->InsertImage(CRect(side->left + 1000, side->top + 1000, side->left + 3000, side->top + 2000),
                      picture.c_str(), false);
    ViewObject* image = view->m_design.GetFirstSelected();
    REQUIRE(image != nullptr);
    REQUIRE(image->IsImage());
    const CString imageName = image->name;
    view->RecordUndoValue("nextRich", image, "", "");
    view->RecordUndoValue("nextOrder", image, "", "");
    view->EndUndoStep();
    // The title's edges run across the picture, which lies above it.
    title->left = image->left + image->width / 4;
    title->top = image->top + image->height / 4;
    title->width = image->width;
    title->height = image->height / 2;
    title->needsLayout = 1;
    view->Redraw(true);
    Pump();
    view->OnSelectionChanged("Title", TRUE);
    Pump();

    view->OnEditUndo();
    REQUIRE(view->m_design.FindObject(imageName) == nullptr);
    REQUIRE(view->m_design.GetFirstSelected() == title);
    Pump();
    const kvtest::Capture shown = kvtest::CaptureWindowFromScreen(view->m_hWnd);
    REQUIRE_FALSE(shown.Empty());
    // The same window drawn afresh from the buffer, with no outline to spare.
    view->StopOutlineTimer();
    view->Invalidate(FALSE);
    const kvtest::Capture fresh = kvtest::CaptureWindowFromScreen(view->m_hWnd);
    REQUIRE(fresh.width == shown.width);
    REQUIRE(fresh.height == shown.height);

    // Alike in every pixel but the dashed outline just outside the title (client coordinates,
    // which the captures of the window rectangle hold shifted by the view's edge).
    CRect window;
    view->GetWindowRect(&window);
    CPoint edge(0, 0);
    view->ClientToScreen(&edge);
    edge -= window.TopLeft();
    const Rect d = view->ObjectCanvasRect(title);
    const CPoint scroll = view->GetDeviceScrollPosition();
    const CRect ring(d.X - scroll.x - 1, d.Y - scroll.y - 1, d.X + d.Width - scroll.x + 1,
                     d.Y + d.Height - scroll.y + 1);
    int differ = 0;
    CPoint first(-1, -1);
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width; ++x) {
            const CPoint c(x - edge.x, y - edge.y);
            const bool inRing = ring.PtInRect(c) && (c.x == ring.left || c.x == ring.right - 1 ||
                                                     c.y == ring.top || c.y == ring.bottom - 1);
            if (inRing || shown.At(x, y) == fresh.At(x, y)) continue;
            if (differ++ == 0) first = c;
        }
    }
    INFO("outline " << ring.left << "," << ring.top << "," << ring.right << "," << ring.bottom
                    << "; first stale pixel at " << first.x << "," << first.y);
    CHECK(differ == 0);
    view->OnSelectionChanged(side->name, FALSE);
}

TEST_CASE("with snapping on, a click on the selected picture changes nothing, nor does a drag back to where it began" *
          doctest::timeout(60)) {
    View* view = EnsureView();
    ViewObject* back = BackCoverWithPicture(view, "under-text", RGB(90, 160, 60));
    REQUIRE(back != nullptr);
    ViewObject* image = view->m_design.GetFirstSelected();
    REQUIRE(image != nullptr);
    // A text lies over the picture; the picture stays the selection.
    AddText(view, "Over", "Over\b", image->left + 200, image->top + 100, 500, 200);
    view->OnSelectionChanged(image->name, TRUE);
    Pump();
    REQUIRE(view->m_design.GetFirstSelected() == image);
    struct Snap {
        Snap() { g_snapToGrid = 1; }
        ~Snap() { g_snapToGrid = 0; }
    } snap;
    const CPoint on = ClientOf(view, image->left + 400, image->top + 200);
    const int left = image->left, top = image->top, steps = view->GetUndoCount();
    // The presses come through the message loop, after the pointer over the picture made them moves.
    auto press = [&] {
        PointerAt(view, on);
        view->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(view->m_hWnd),
                          MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
        REQUIRE(view->m_dragMode == "Move");
        view->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, Pos(on));
    };
    press();
    view->PostMessage(WM_LBUTTONUP, 0, Pos(on));
    Pump();
    CHECK(image->left == left);
    CHECK(image->top == top);
    CHECK(view->GetUndoCount() == steps);
    CHECK(view->m_dragRect.IsRectEmpty());

    press();
    view->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, Pos(on + CPoint(40, 30)));
    view->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, Pos(on));
    view->PostMessage(WM_LBUTTONUP, 0, Pos(on));
    Pump();
    CHECK(image->left == left);
    CHECK(image->top == top);
    CHECK(view->GetUndoCount() == steps);

    // A drag that does move it is one step, and one undo puts it back.
    press();
    view->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, Pos(on + CPoint(40, 30)));
    view->PostMessage(WM_LBUTTONUP, 0, Pos(on + CPoint(40, 30)));
    Pump();
    CHECK(image->left > left);
    CHECK(view->GetUndoCount() == steps + 1);
    view->OnEditUndo();
    CHECK(image->left == left);
    CHECK(image->top == top);
}

namespace {
// The pixels of two captures of the view that differ outside a client rectangle.
int DifferOutside(View* view, const kvtest::Capture& a, const kvtest::Capture& b, const CRect& spared) {
    CRect window;
    view->GetWindowRect(&window);
    CPoint edge(0, 0);
    view->ClientToScreen(&edge);
    edge -= window.TopLeft();
    int differ = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (!spared.PtInRect(CPoint(x - edge.x, y - edge.y)) && a.At(x, y) != b.At(x, y)) ++differ;
    return differ;
}
}  // namespace

TEST_CASE("a text set to 500 pt and back to 16 pt leaves no tall caret on the window" * doctest::timeout(60)) {
    View* view = EnsureView();
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    ViewObject* side = view->m_design.GetCurrentSide();
    REQUIRE(side != nullptr);
    ViewObject* title = AddText(view, "Title", "Title\b", side->left + 1000, side->top + 600, 2500, 400);
    view->Redraw(true);
    view->OnSelectionChanged("Title", TRUE);
    view->SetFocus();
    Pump();
    view->m_select.SetSelection(2, 2);
    view->m_select.UpdateHighlight(false, true);
    view->m_select.SetFontSize("500");
    view->m_select.UpdateTextLayout(FALSE, TRUE);
    // The caret at 500 pt reaches far below the frame.
    REQUIRE(title->cellBoxes.GetSize() > 2);
    REQUIRE(title->cellBoxes[2]->Height > 3 * title->height);
    view->m_select.SetFontSize("16");
    view->m_select.UpdateTextLayout(FALSE, TRUE);
    const kvtest::Capture shown = kvtest::CaptureWindowFromScreen(view->m_hWnd);
    REQUIRE_FALSE(shown.Empty());
    // The whole side drawn afresh; only the frame, its outline and the caret in it may differ
    // (the caret blinks).
    view->Redraw(true);
    const kvtest::Capture fresh = kvtest::CaptureWindowFromScreen(view->m_hWnd);
    REQUIRE(fresh.width == shown.width);
    const Rect d = view->ObjectCanvasRect(title);
    const CPoint scroll = view->GetDeviceScrollPosition();
    CRect frame(d.X - scroll.x, d.Y - scroll.y, d.X + d.Width - scroll.x, d.Y + d.Height - scroll.y);
    frame.InflateRect(3, 3);
    CHECK(DifferOutside(view, shown, fresh, frame) == 0);
    view->OnSelectionChanged(side->name, FALSE);
}

TEST_CASE("a selected line its box clips is highlighted only inside the box, and leaves nothing after" *
          doctest::timeout(60)) {
    View* view = EnsureView();
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    ViewObject* side = view->m_design.GetCurrentSide();
    REQUIRE(side != nullptr);
    // Two lines in a box one large line tall, without AutoFit: the second is clipped.
    ViewObject* text = AddText(view, "Title", "First line\rSecond line\b", side->left + 1000, side->top + 600, 2500, 400);
    text->bAutoFit = 0;
    text->needsLayout = 1;
    view->Redraw(true);
    view->OnSelectionChanged("Title", TRUE);
    view->SetFocus();
    Pump();
    const Rect d = view->ObjectCanvasRect(text);
    const CPoint scroll = view->GetDeviceScrollPosition();
    CRect frame(d.X - scroll.x, d.Y - scroll.y, d.X + d.Width - scroll.x, d.Y + d.Height - scroll.y);
    frame.InflateRect(3, 3);
    // Everything selected (Ctrl+A through the view's keys), then a smaller size: the second line's
    // cells reach below the box.
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;  // Ctrl held, as the key's own message would
    ::SetKeyboardState(keys);
    view->PostMessage(WM_KEYDOWN, 'A', 1);
    view->PostMessage(WM_KEYUP, 'A', 1u | (3u << 30));
    Pump();
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
    ::SetKeyboardState(keys);
    REQUIRE(view->m_select.m_selStart != view->m_select.m_selEnd);
    view->m_select.SetFontSize("20");
    view->m_select.UpdateTextLayout(FALSE, TRUE);
    Pump();
    REQUIRE(text->cellBoxes.GetSize() > 12);
    REQUIRE(text->cellBoxes[12]->GetBottom() > text->height);  // the second line passes the box
    const kvtest::Capture selected = kvtest::CaptureWindowFromScreen(view->m_hWnd);
    // The caret put back in the first line.
    view->PostMessage(WM_KEYDOWN, VK_HOME, 1);
    view->PostMessage(WM_KEYUP, VK_HOME, 1u | (3u << 30));
    Pump();
    const kvtest::Capture shown = kvtest::CaptureWindowFromScreen(view->m_hWnd);
    REQUIRE_FALSE(shown.Empty());
    view->Redraw(true);
    const kvtest::Capture fresh = kvtest::CaptureWindowFromScreen(view->m_hWnd);
    REQUIRE(fresh.width == shown.width);
    CHECK(DifferOutside(view, selected, fresh, frame) == 0);
    CHECK(DifferOutside(view, shown, fresh, frame) == 0);
    view->OnSelectionChanged(side->name, FALSE);
}

TEST_CASE("a key typed into a linked text draws that text's area again, with a whole redraw's pixels") {
    View* view = EnsureView();
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    ViewObject* back = view->m_design.GetCurrentSide();
    REQUIRE(back != nullptr);
    view->InsertObject("Title");
    Pump();
    ViewObject* title = view->m_design.GetFirstSelected();
    REQUIRE(title != nullptr);
    REQUIRE(title->bLinkText);
    view->Redraw(true);
    Pump();
    // A mark in the buffer on the side, far from the title: drawing the whole side paints it over.
    const Rect side = view->ObjectCanvasRect(back);
    const Rect area = view->ObjectCanvasRect(title);
    const CPoint mark(side.X + 5, side.Y + 5);
    REQUIRE_FALSE(area.Contains(mark.x + 30, mark.y + 30));
    HDC buffer = view->m_memDC->m_hDC;
    ::SetPixel(buffer, mark.x, mark.y, RGB(1, 2, 3));
    REQUIRE(::GetPixel(buffer, mark.x, mark.y) == RGB(1, 2, 3));

    const int end = title->GetCharCount() - 1;
    view->m_select.SetSelection(end, end);
    view->PostMessage(WM_CHAR, 'Q', 1);
    Pump();
    const CString typed = view->m_design.GetAlbumField("Title");
    REQUIRE(typed.GetLength() >= 2);
    CHECK(typed[typed.GetLength() - 2] == 'Q');
    CHECK(::GetPixel(buffer, mark.x, mark.y) == RGB(1, 2, 3));

    // The title's area with its margin holds what drawing the whole side puts there.
    std::vector<COLORREF> typedPixels, wholePixels;
    const Rect around(area.X - 11, area.Y - 11, area.Width + 22, area.Height + 22);
    for (int y = around.Y; y < around.Y + around.Height; ++y)
        for (int x = around.X; x < around.X + around.Width; ++x) typedPixels.push_back(::GetPixel(buffer, x, y));
    view->Redraw(true);
    CHECK(::GetPixel(buffer, mark.x, mark.y) != RGB(1, 2, 3));
    for (int y = around.Y; y < around.Y + around.Height; ++y)
        for (int x = around.X; x < around.X + around.Width; ++x) wholePixels.push_back(::GetPixel(buffer, x, y));
    int differing = 0;
    for (size_t i = 0; i < typedPixels.size(); ++i)
        if (typedPixels[i] != wholePixels[i]) ++differing;
    CHECK(differing == 0);
    CHECK(std::count(typedPixels.begin(), typedPixels.end(), RGB(255, 255, 255)) <
          static_cast<long>(typedPixels.size()));
}
