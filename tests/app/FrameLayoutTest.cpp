// The main frame's bar layout across runs: the default docking, the layout kept for the next
// start, a stale layout refused as a whole, floating bars hidden at start, the View menu's
// toggles, a bar dragged into another row, closes put off under a window that stays, and a frame
// whose making fails.
#include <doctest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/KorvanelleFrame.h"
#include "canvas/View.h"
#include "framework/graphics/DibHelpers.h"
#include "framework/win/ScopedGdi.h"
#include "model/Folders.h"
#include "res/AppIds.h"
#include "res/CommandIds.h"

namespace {

bool ItemChecked(KorvanelleFrame* frame, UINT command) {
    return (::GetMenuState(::GetMenu(frame->m_hWnd), command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

UINT DockSideOf(CControlBar* bar) {
    return bar->m_pDockBar != nullptr && !bar->IsFloating() ? bar->m_pDockBar->GetDlgCtrlID() : 0;
}

// Changes the saved entry of the bar `barId` to name `newId` instead; false when none was found.
bool RenameSavedBar(UINT barId, UINT newId) {
    for (int n = 0; n < 32; ++n) {
        CString key;
        key.Format("Software\\Korvanelle\\%s\\Toolbars-Bar%d", kvtest::kTestProfileName, n);
        HKEY h = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ | KEY_WRITE, &h) != 0) continue;
        DWORD value = 0, size = sizeof(value);
        bool found =
            RegQueryValueExA(h, "BarID", nullptr, nullptr, (BYTE*)&value, &size) == 0 && value == barId;
        if (found) RegSetValueExA(h, "BarID", 0, REG_DWORD, (const BYTE*)&newId, sizeof(newId));
        RegCloseKey(h);
        if (found) return true;
    }
    return false;
}

// A main frame whose layout pass fails once its bars exist: an exception while the frame is made.
struct FailingFrame : KorvanelleFrame {
    void RecalcLayout(BOOL notify) override {
        if (m_toolColor.m_hWnd != nullptr) throw 1;
        KorvanelleFrame::RecalcLayout(notify);
    }
};

// About is closed after 2 s in any case (when no close reached it).
int g_aboutTicks = 0;
void CALLBACK CloseAboutLate(HWND, UINT, UINT_PTR, DWORD) {
    HWND about = ::FindWindowA("#32770", "About Korvanelle");
    if (about && ++g_aboutTicks > 100) ::PostMessageA(about, WM_CLOSE, 0, 0);
}

}  // namespace

TEST_CASE("bar layout: built by default, kept for the next start, hidden when floating, stale ones refused") {
    kvtest::TemporaryUserFolders folders;
    {
        // First run: the default docking, every bar shown and its menu item checked.
        kvtest::RunningApp run;
        REQUIRE(run.Started());
        KorvanelleFrame* frame = GetMainFrame();
        for (const auto& entry : frame->Bars()) {
            CAPTURE(entry.command);
            CHECK(entry.bar->IsWindowVisible());
            CHECK(ItemChecked(frame, entry.command));
        }
        CHECK(DockSideOf(&frame->m_toolColor) == AFX_IDW_DOCKBAR_TOP);
        CHECK(DockSideOf(&frame->m_toolProperties) == AFX_IDW_DOCKBAR_TOP);
        CHECK(DockSideOf(&frame->m_toolMain) == AFX_IDW_DOCKBAR_TOP);
        CHECK(DockSideOf(&frame->m_barText) == AFX_IDW_DOCKBAR_LEFT);

        // Each View menu toggle hides its bar and shows it again.
        for (const auto& entry : frame->Bars()) {
            CAPTURE(entry.command);
            frame->SendMessage(WM_COMMAND, entry.command);
            CHECK_FALSE(entry.bar->IsWindowVisible());
            CHECK_FALSE(ItemChecked(frame, entry.command));
            frame->SendMessage(WM_COMMAND, entry.command);
            CHECK(entry.bar->IsWindowVisible());
            CHECK(ItemChecked(frame, entry.command));
        }

        frame->SendMessage(WM_COMMAND, ID_VIEW_PROPERTIES_TOOLBAR);
        CHECK_FALSE(frame->m_toolProperties.IsWindowVisible());
        run.Close();
    }
    {
        // The layout of the last run: the properties bar stays hidden. The colour bar is floated
        // before this run ends.
        kvtest::RunningApp run;
        REQUIRE(run.Started());
        KorvanelleFrame* frame = GetMainFrame();
        CHECK(frame->m_toolColor.IsWindowVisible());
        CHECK_FALSE(frame->m_toolProperties.IsWindowVisible());
        CHECK_FALSE(ItemChecked(frame, ID_VIEW_PROPERTIES_TOOLBAR));
        frame->FloatControlBar(&frame->m_toolColor, CPoint(300, 300));
        CHECK(frame->m_toolColor.IsFloating());
        run.Close();
    }
    {
        // A bar that was floating starts hidden while the frame is; its item keeps the check, so
        // the view shows it once the main window is up.
        bool floatingHidden = false, itemKept = false;
        kvtest::RunningApp run([&] {
            KorvanelleFrame* frame = GetMainFrame();
            floatingHidden = frame->m_toolColor.IsFloating() && !frame->m_toolColor.IsWindowVisible();
            itemKept = ItemChecked(frame, ID_VIEW_COLOR_TOOLBAR);
        });
        REQUIRE(run.Started());
        CHECK(floatingHidden);
        CHECK(itemKept);
        KorvanelleFrame* frame = GetMainFrame();
        CHECK(frame->m_toolColor.IsFloating());
        CHECK(frame->m_toolColor.IsWindowVisible());
        CHECK_FALSE(frame->m_toolProperties.IsWindowVisible());
        run.Close();
    }
    // A saved layout naming a bar this frame does not have is refused as a whole: the default
    // docking is built again (the properties bar shows again, the colour bar docks on top).
    REQUIRE(RenameSavedBar(ID_BAR_PROPERTIES, 4242));
    {
        kvtest::RunningApp run;
        REQUIRE(run.Started());
        KorvanelleFrame* frame = GetMainFrame();
        CHECK(frame->m_toolProperties.IsWindowVisible());
        CHECK(DockSideOf(&frame->m_toolColor) == AFX_IDW_DOCKBAR_TOP);
        CHECK_FALSE(frame->VerifyBarState("NoSuchProfile"));
        run.Close();
    }
}

TEST_CASE("closes with no print preview open are put off under a window, give up, and start afresh") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    KorvanelleFrame* frame = GetMainFrame();
    const HWND window = frame->m_hWnd;
    frame->GetActiveDocument()->SetModifiedFlag(FALSE);
    run.app.m_inPrintPreview = 1;  // as a preview that never opened once left it: no close waits for it
    // Held disabled by a window that no close ends: the close is given up after its rounds.
    ::EnableWindow(window, FALSE);
    frame->PostMessage(WM_CLOSE);
    REQUIRE(run.Pump([&] { return frame->m_closesPutOff > 0; }, 5000));
    CHECK(run.Pump([&] { return frame->m_closesPutOff == 0; }, 20000));
    ::EnableWindow(window, TRUE);
    // Help > About, and a close from another program as it opens: About is closed, then the frame.
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, CloseAboutLate);
    frame->PostMessage(WM_COMMAND, ID_APP_ABOUT_CMD);
    frame->PostMessage(WM_CLOSE);
    CHECK(run.Pump([&] { return !::IsWindow(window); }, 10000));
    ::KillTimer(nullptr, timer);
    run.app.m_inPrintPreview = 0;
}

namespace {

// What each side panel had been laid out for when the frame's own bar layout runs: read from a
// call hook at the moment the framework sizes the left dock bar for real (a deferred move).
struct PanelWidthsInPass {
    KorvanelleFrame* frame = nullptr;
    HWND leftDock = nullptr;
    int passes = 0;
    int textWidth = 0;
    int imagesWidth = 0;
};
PanelWidthsInPass* g_inPass = nullptr;

LRESULT CALLBACK RecordPanelWidths(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && g_inPass != nullptr && call->hwnd == g_inPass->leftDock &&
        call->message == WM_SIZEPARENT &&
        reinterpret_cast<const AFX_SIZEPARENTPARAMS*>(call->lParam)->hDWP != nullptr) {
        ++g_inPass->passes;
        g_inPass->textWidth = g_inPass->frame->m_barText.m_layoutCache.Width();
        g_inPass->imagesWidth = g_inPass->frame->m_barImages.m_lastPaintRect.Width();
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// One RecalcLayout of the frame with the widths of the panels recorded during it.
PanelWidthsInPass LayoutPass(KorvanelleFrame* frame) {
    PanelWidthsInPass seen;
    seen.frame = frame;
    seen.leftDock = frame->GetDlgItem(AFX_IDW_DOCKBAR_LEFT)->m_hWnd;
    g_inPass = &seen;
    HHOOK hook = ::SetWindowsHookExA(WH_CALLWNDPROC, RecordPanelWidths, nullptr, ::GetCurrentThreadId());
    frame->RecalcLayout();
    ::UnhookWindowsHookEx(hook);
    g_inPass = nullptr;
    return seen;
}

int WindowWidth(CWnd& w) {
    CRect r;
    w.GetWindowRect(&r);
    return r.Width();
}

// The Text Editor bar laid out for its window as it is: the background made for that size, the
// grid's buttons on the client's bottom edge and the bar's bottom edge drawn on the screen.
bool TextBarFitsItsWindow(CBarText& bar) {
    CRect window, client, button;
    bar.GetWindowRect(&window);
    bar.GetClientRect(&client);
    bar.m_remove.GetWindowRect(&button);
    bar.ScreenToClient(&button);
    ScopedWindowDC dc(bar.m_hWnd, ScopedWindowDC::kWhole);
    if (bar.m_layoutCache != window || button.bottom != client.bottom) return false;
    return ::GetPixel(dc.Get(), window.Width() - 4, window.Height() - 1) == ::GetSysColor(COLOR_BTNSHADOW);
}

// The Images bar's background made for its window as it is and shown on the screen along the
// bottom rows.
bool ImagesBarFitsItsWindow(CBarBackground& bar) {
    CRect window;
    bar.GetWindowRect(&window);
    if (bar.m_lastPaintRect != window) return false;
    ScopedWindowDC dc(bar.m_hWnd, ScopedWindowDC::kWhole);
    int compared = 0;
    for (int y = window.Height() - 3; y < window.Height(); ++y)
        for (int x = 0; x < window.Width(); x += 3) {
            const COLORREF shown = ::GetPixel(dc.Get(), x, y);
            if (shown == CLR_INVALID) continue;
            if (shown != ::GetPixel(bar.m_offscreen.Get(), x, y)) return false;
            ++compared;
        }
    return compared >= 20;
}

// The Text Editor bar's inner (right) edge pressed, moved by dx and let go, as the mouse sends them.
void DragTextBarEdge(CBarText& bar, int dx) {
    CRect window;
    bar.GetWindowRect(&window);
    const CPoint from(window.right - 2, window.CenterPoint().y);
    CPoint to(from.x + dx, from.y);
    bar.ScreenToClient(&to);
    bar.PostMessage(WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(from.x, from.y));
    bar.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    bar.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
}

// Where the Text Editor bar's controls reach over its border and sizing edge (at its smallest
// width), the screen shows the bar's background: they show only inside the client area, and their
// places outside it are painted.
bool TextBarBorderShowsBackground(CBarText& bar) {
    CRect window, client, r;
    bar.GetWindowRect(&window);
    bar.GetClientRect(&client);
    bar.ClientToScreen(&client);
    ScopedWindowDC screen(bar.m_hWnd, ScopedWindowDC::kWhole);
    ScopedMemoryDC picture(screen, window.Width(), window.Height());
    bar.SendMessage(WM_PRINT, reinterpret_cast<WPARAM>(picture.Get()), PRF_NONCLIENT);
    int compared = 0;
    for (CWnd* child = bar.GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT)) {
        child->GetWindowRect(&r);
        if (!child->IsWindowVisible() || !r.IntersectRect(&r, &window)) continue;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x, ++compared)
                if (!client.PtInRect(CPoint(x, y)) &&
                    ::GetPixel(screen, x - window.left, y - window.top) !=
                        ::GetPixel(picture, x - window.left, y - window.top))
                    return false;
    }
    return compared > 0;
}

// How often the track grid's header moves while the hook is set: the grid moves it each time it
// fits its scroll bars to its rows.
HWND g_gridHeader = nullptr;
int g_headerMoves = 0;

LRESULT CALLBACK CountHeaderMoves(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->hwnd == g_gridHeader && call->message == WM_WINDOWPOSCHANGING)
        ++g_headerMoves;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST_CASE("the side panels are laid out for the widths of their dock rows and follow the window's height") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    KorvanelleFrame* frame = GetMainFrame();
    CBarText& text = frame->m_barText;
    CBarBackground& images = frame->m_barImages;
    REQUIRE(text.IsWindowVisible());
    REQUIRE(images.IsWindowVisible());
    REQUIRE(run.Pump([&] { return TextBarFitsItsWindow(text) && ImagesBarFitsItsWindow(images); }, 10000));

    // A layout pass with nothing changed: each panel was laid out for the width it has.
    PanelWidthsInPass pass = LayoutPass(frame);
    REQUIRE(pass.passes > 0);
    CHECK(pass.textWidth == WindowWidth(text));
    CHECK(pass.imagesWidth == WindowWidth(images));

    // The main window made shorter, then taller again: both panels are laid out and painted for
    // their new heights.
    CRect frameRect;
    frame->GetWindowRect(&frameRect);
    for (int change : {-90, 90}) {
        CAPTURE(change);
        CRect textBefore;
        text.GetWindowRect(&textBefore);
        frame->SetWindowPos(nullptr, 0, 0, frameRect.Width(), frameRect.Height() + (change < 0 ? change : 0),
                            SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        CRect textAfter;
        text.GetWindowRect(&textAfter);
        CHECK(textAfter.Height() == textBefore.Height() + change);
        CHECK(textAfter.Width() == textBefore.Width());
        CHECK(run.Pump([&] { return TextBarFitsItsWindow(text); }, 5000));
        CHECK(run.Pump([&] { return ImagesBarFitsItsWindow(images); }, 5000));
    }
    run.Close();
}

TEST_CASE("the Text Editor bar's caption band follows its width when its edge is dragged") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    KorvanelleFrame* frame = GetMainFrame();
    CBarText& text = frame->m_barText;
    REQUIRE(text.IsWindowVisible());
    REQUIRE(run.Pump([&] { return TextBarFitsItsWindow(text); }, 10000));
    CRect before;
    text.GetWindowRect(&before);
    DragTextBarEdge(text, 40);
    REQUIRE(run.Pump([&] { return WindowWidth(text) == before.Width() + 40 && TextBarFitsItsWindow(text); },
                     10000));
    // The band ends 5 pixels inside the client area's right edge, in the gradient's end colour:
    // read from what the bar's window shows along the band's middle row.
    CRect client;
    text.GetClientRect(&client);
    text.ClientToScreen(&client);
    CRect window;
    text.GetWindowRect(&window);
    client.OffsetRect(-window.left, -window.top);
    ScopedWindowDC dc(text.m_hWnd, ScopedWindowDC::kWhole);
    BOOL gradient = FALSE;
    ::SystemParametersInfo(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0);
    const COLORREF end = gradient ? ::GetSysColor(COLOR_GRADIENTACTIVECAPTION) : RGB(166, 202, 240);
    auto alike = [](COLORREF a, COLORREF b) {
        return std::abs(GetRValue(a) - GetRValue(b)) <= 12 && std::abs(GetGValue(a) - GetGValue(b)) <= 12 &&
               std::abs(GetBValue(a) - GetBValue(b)) <= 12;
    };
    const COLORREF bandEnd = ::GetPixel(dc.Get(), client.right - 7, 13);
    INFO("band end " << bandEnd << ", expected near " << end);
    CHECK(alike(bandEnd, end));
    CHECK_FALSE(alike(::GetPixel(dc.Get(), client.right - 2, 13), end));
    run.Close();
}

TEST_CASE(
    "the Text Editor bar: 99 typed into its Tracks box, then its smallest width after a drag and a start") {
    kvtest::TemporaryUserFolders folders;
    auto smallest = [](CBarText& bar) {
        return WindowWidth(bar) == bar.m_sizeMinVert.cx && TextBarFitsItsWindow(bar);
    };
    {
        kvtest::RunningApp run;
        REQUIRE(run.Started());
        CBarText& bar = GetMainFrame()->m_barText;
        CTrackList& grid = bar.m_trackList;
        REQUIRE(run.Pump([&] { return TextBarFitsItsWindow(bar) && grid.GetItemCount() > 0; }, 10000));
        REQUIRE((grid.GetStyle() & WS_VSCROLL) == 0);
        // 9, 9 and Enter, each taken (with its character) before the next comes.
        bar.m_tracks.SetFocus();
        g_gridHeader = grid.m_header.m_hWnd;
        HHOOK hook = ::SetWindowsHookExA(WH_CALLWNDPROC, CountHeaderMoves, nullptr, ::GetCurrentThreadId());
        for (UINT key : {UINT('9'), UINT('9'), UINT(VK_RETURN)}) {
            const LPARAM scan = ::MapVirtualKeyA(key, MAPVK_VK_TO_VSC) << 16;
            ::PostMessageA(::GetWindow(bar.m_tracks.m_hWnd, GW_CHILD), WM_KEYDOWN, key, 1 | scan);
            ::PostMessageA(::GetWindow(bar.m_tracks.m_hWnd, GW_CHILD), WM_KEYUP, key, 0xC0000001u | scan);
            run.Pump([] { return !(HIWORD(::GetQueueStatus(QS_POSTMESSAGE)) & QS_POSTMESSAGE); }, 5000);
        }
        CHECK(run.Pump(
            [&] { return grid.GetLastRecord() == 99 && !(HIWORD(::GetQueueStatus(QS_PAINT)) & QS_PAINT); },
            10000));
        ::UnhookWindowsHookEx(hook);
        // The 92 new rows come in with the grid's drawing held: it fits its scroll bars a few
        // times, not again for every row (milliseconds each).
        CHECK(g_headerMoves <= 20);
        // The columns share the width the scroll bar leaves: the times end inside the grid.
        REQUIRE((grid.GetStyle() & WS_VSCROLL) != 0);
        CHECK(grid.GetColumnWidths().Sum() == grid.GetClientWidth());

        // Dragged far to the left, the bar stops at its smallest width; its captions reach over
        // its border and sizing edge.
        DragTextBarEdge(bar, -300);
        REQUIRE(run.Pump([&] { return smallest(bar); }, 10000));
        CHECK(run.Pump([&] { return TextBarBorderShowsBackground(bar); }, 3000));
        run.Close();
    }
    // The next start lays the bar out at the width it was left at.
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    CBarText& bar = GetMainFrame()->m_barText;
    REQUIRE(run.Pump([&] { return smallest(bar); }, 10000));
    CHECK(run.Pump([&] { return TextBarBorderShowsBackground(bar); }, 3000));
    run.Close();
}

namespace {
BOOL CALLBACK FindHelpWindowOf(HWND w, LPARAM found) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(w, &process);
    char name[64] = {};
    ::GetClassNameA(w, name, sizeof name);
    if (process != ::GetCurrentProcessId() || std::string(name) != "HH Parent") return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

// The HTML Help window of this process, if one is open.
HWND FindHelpWindow() {
    HWND found = nullptr;
    ::EnumWindows(FindHelpWindowOf, reinterpret_cast<LPARAM>(&found));
    return found;
}
}  // namespace

TEST_CASE("Help opens the program's help file; the LightScribe message names the download address") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    KorvanelleFrame* frame = GetMainFrame();
    REQUIRE(FindHelpWindow() == nullptr);
    frame->PostMessage(WM_COMMAND, ID_HELP_TOPICS);
    CHECK(run.Pump([] { return FindHelpWindow() != nullptr; }, 10000));
    if (HWND help = FindHelpWindow()) ::SendMessageA(help, WM_CLOSE, 0, 0);

    // Without the laser-etching library: the message with the download link and "More Info..",
    // both shortcuts lying beside the program.
    KvMessageBoxCapture boxes(IDCANCEL);
    CString linkText;
    boxes.m_answer = [&](const KvMessageBoxRequest& request) {
        linkText = request.linkText;
        return IDCANCEL;
    };
    frame->PostMessage(WM_COMMAND, ID_LIGHTSCRIBE_PRINT);
    REQUIRE(run.Pump([&] { return !boxes.Boxes().empty(); }, 10000));
    const auto& box = boxes.Boxes().back();
    CHECK(box.caption == "LightScribe");
    CHECK(box.linkTarget == g_programFolder + "\\lightscribe.url");
    CHECK(linkText == "http://www.korvanelle.example/lightscribe/download");
    CHECK(::GetFileAttributesA(box.linkTarget) != INVALID_FILE_ATTRIBUTES);
    bool moreInfo = false;
    for (const auto& button : box.buttons)
        if (button.caption == "More Info..") {
            moreInfo = true;
            CHECK(button.link == g_programFolder + "\\lightscribeinfo.url");
            CHECK(::GetFileAttributesA(button.link) != INVALID_FILE_ATTRIBUTES);
        }
    CHECK(moreInfo);
    CHECK(::GetFileAttributesA(g_programFolder + "\\website.url") != INVALID_FILE_ATTRIBUTES);
    run.Close();
}

namespace {
// The pixels a window's own surface holds now (no repaint asked for), 0x00RRGGBB.
std::vector<unsigned> SurfacePixels(HWND window, int& width, int& height) {
    RECT r;
    ::GetClientRect(window, &r);
    width = r.right;
    height = r.bottom;
    std::vector<unsigned> pixels(static_cast<size_t>(width) * height);
    ScopedWindowDC dc(window);
    void* bits = nullptr;
    ScopedMemoryDC memory(dc.Get());
    memory.Select(CreateTopDownDibSection(dc.Get(), width, height, 32, &bits).Release(), true);
    ::BitBlt(memory, 0, 0, width, height, dc.Get(), 0, 0, SRCCOPY);
    ::GdiFlush();
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned*>(bits)[i] & 0xFFFFFF;
    return pixels;
}

// What the canvas shows the moment the main window's size change (its WM_SIZE) is handled.
struct SizeWatch {
    static SizeWatch* s_active;
    HWND frame, view;
    std::vector<unsigned> pixels, fresh;
    int before = 0;
    int width = 0, height = 0;
    HHOOK hook = nullptr;
    SizeWatch(HWND f, HWND v) : frame(f), view(v) {
        s_active = this;
        hook = ::SetWindowsHookExA(WH_CALLWNDPROCRET, Hook, nullptr, ::GetCurrentThreadId());
    }
    ~SizeWatch() {
        ::UnhookWindowsHookEx(hook);
        s_active = nullptr;
    }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (code == HC_ACTION && s_active && call->hwnd == s_active->frame && call->message == WM_SIZE &&
            call->wParam == SIZE_MAXIMIZED && s_active->pixels.empty()) {
            s_active->pixels = SurfacePixels(s_active->view, s_active->width, s_active->height);
            s_active->before = s_active->width * 10000 + s_active->height;
            // The same canvas drawn afresh for the window as it is at this moment.
            if (auto* v = dynamic_cast<View*>(CWnd::FromHandlePermanent(s_active->view))) {
                v->RecenterView(true, false);
                v->RefreshView(CString());
            }
            s_active->fresh = SurfacePixels(s_active->view, s_active->width, s_active->height);
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
};
SizeWatch* SizeWatch::s_active = nullptr;

// The main frame restored to `width` x 650 pixels at the screen's corner, and its canvas.
View* RestoredCanvas(KorvanelleFrame* frame, int width) {
    View* view = dynamic_cast<View*>(frame->GetActiveView());
    if (!view) return nullptr;
    frame->ShowWindow(SW_RESTORE);
    frame->SetWindowPos(nullptr, 0, 0, width, 650, SWP_NOZORDER | SWP_NOACTIVATE);
    return view;
}
}  // namespace

TEST_CASE("maximised, the canvas shows the side laid out for the new size at once") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    KorvanelleFrame* frame = GetMainFrame();
    View* view = RestoredCanvas(frame, 900);
    REQUIRE(view != nullptr);
    frame->PostMessage(WM_EXITSIZEMOVE);
    run.Pump([] { return false; }, 300);
    REQUIRE_FALSE(frame->IsZoomed());
    {
        SizeWatch watch(frame->m_hWnd, view->m_hWnd);
        frame->PostMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
        REQUIRE(run.Pump([&] { return frame->IsZoomed() && !watch.pixels.empty(); }, 10000));
        INFO("canvas width x 10000 + height when shown " << watch.before << ", laid out again " << watch.width << "x" << watch.height);
        REQUIRE(watch.fresh.size() == watch.pixels.size());
        int differ = 0;
        for (size_t i = 0; i < watch.fresh.size(); ++i)
            if (watch.fresh[i] != watch.pixels[i]) ++differ;
        CHECK(differ == 0);
    }
    run.Close();
}

TEST_CASE("a frame that fails while its bars are made is not created, and the user is told") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    KorvanelleFrame* mainFrame = GetMainFrame();
    KvMessageBoxCapture boxes;
    // The frame deletes itself when its window is not made.
    FailingFrame* failing = new FailingFrame;
    CHECK_FALSE(failing->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW, nullptr, nullptr));
    REQUIRE_FALSE(boxes.Boxes().empty());
    CHECK(boxes.LastText() == "Error 174");
    // The program's own frame is still the one whose commands are served.
    FrameCommandState::SetCurrent(mainFrame);
    CHECK(::IsWindow(mainFrame->m_hWnd));
    run.Close();
}

namespace {
// The whole window's pixels (its children's included), or only those around its client area
// (its border and scroll bars), 0x00RRGGBB.
std::vector<unsigned> WindowPixels(HWND window, bool aroundClient) {
    RECT w, c;
    ::GetWindowRect(window, &w);
    ::GetClientRect(window, &c);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&c), 2);
    ::OffsetRect(&c, -w.left, -w.top);
    const int width = w.right - w.left, height = w.bottom - w.top;
    ScopedWindowDC dc(window, ScopedWindowDC::kWhole);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    ScopedBitmap bitmap(::CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ScopedMemoryDC memory(dc.Get());
    memory.Select(bitmap, false);
    ::BitBlt(memory, 0, 0, width, height, dc.Get(), 0, 0, SRCCOPY);
    ::GdiFlush();
    std::vector<unsigned> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (!aroundClient || !::PtInRect(&c, POINT{x, y}))
                pixels.push_back(static_cast<unsigned*>(bits)[y * width + x] & 0xFFFFFF);
    return pixels;
}

// How many of those pixels differ from the window drawn afresh.
int StalePixels(HWND window, bool aroundClient) {
    const std::vector<unsigned> shown = WindowPixels(window, aroundClient);
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW |
                       (aroundClient ? RDW_NOCHILDREN : RDW_ERASE | RDW_ALLCHILDREN));
    const std::vector<unsigned> redrawn = WindowPixels(window, aroundClient);
    int differ = 0;
    for (size_t i = 0; i < shown.size() && i < redrawn.size(); ++i)
        if (shown[i] != redrawn[i]) ++differ;
    return shown.size() == redrawn.size() ? differ : -1;
}

// The same for the client area alone (children included), against a repaint of it.
int StaleClientPixels(HWND window) {
    int w = 0, h = 0;
    const std::vector<unsigned> shown = SurfacePixels(window, w, h);
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const std::vector<unsigned> redrawn = SurfacePixels(window, w, h);
    int differ = 0;
    for (size_t i = 0; i < shown.size() && i < redrawn.size(); ++i)
        if (shown[i] != redrawn[i]) ++differ;
    return differ;
}

// A docked bar's gripper, its two lines, as the bar's own window shows them.
bool GripperDrawn(CToolBar& bar) {
    CRect w;
    bar.GetWindowRect(&w);
    const std::vector<unsigned> shown = WindowPixels(bar.m_hWnd, false);
    for (int y = 4; y < w.Height() - 6; ++y)
        for (int i = 0; i < 2; ++i) {
            const COLORREF c = ::GetSysColor(i == 0 ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
            if (shown[y * w.Width() + 2 + 2 * i] !=
                static_cast<unsigned>(RGB(GetBValue(c), GetGValue(c), GetRValue(c))))
                return false;
        }
    return true;
}
}  // namespace

TEST_CASE("maximised and restored with a track list selected, the Properties bar fits the window's width") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    KorvanelleFrame* frame = GetMainFrame();
    View* view = RestoredCanvas(frame, 700);
    REQUIRE(view != nullptr);
    frame->PostMessage(WM_COMMAND, ID_INSERT_TRACK);
    REQUIRE(run.Pump(
        [&] {
            ViewObject* o = view->m_design.GetFirstSelected();
            return o && o->IsTrackList();
        },
        5000));
    // The option buttons' captions: those that do not fit the window's width are left out.
    CToolFont& bar = frame->m_toolProperties;
    CButtonMenu* row[5] = {&bar.m_menuAngle, &bar.m_menuWrapping, &bar.m_menuLinking, &bar.m_menuNumbersTimes,
                           &bar.m_menuTrackLayout};
    auto captions = [&] {
        std::string s;
        for (CButtonMenu* b : row) s += b->m_bShowCaption && b->IsWindowVisible() ? '1' : '0';
        return s;
    };
    REQUIRE(run.Pump([&] { return captions() == "11000"; }, 5000));
    auto painted = [] {
        return !(HIWORD(::GetQueueStatus(QS_PAINT | QS_POSTMESSAGE)) & (QS_PAINT | QS_POSTMESSAGE));
    };
    frame->PostMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
    CHECK(run.Pump([&] { return frame->IsZoomed() && captions() == "11111" && painted(); }, 5000));
    // The Text Editor bar, laid out for the new height, shows nothing of its old picture.
    CHECK(StalePixels(frame->m_barText.m_hWnd, false) == 0);
    frame->PostMessage(WM_SYSCOMMAND, SC_RESTORE);
    CHECK(run.Pump([&] { return !frame->IsZoomed() && captions() == "11000" && painted(); }, 5000));
    CHECK(StalePixels(frame->m_barText.m_hWnd, false) == 0);
    run.Close();
}

TEST_CASE("zoomed, fitted again and maximised, the canvas's scroll bars show their settings once painted") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    KorvanelleFrame* frame = GetMainFrame();
    View* view = RestoredCanvas(frame, 800);
    REQUIRE(view != nullptr);
    auto painted = [] {
        return !(HIWORD(::GetQueueStatus(QS_PAINT | QS_POSTMESSAGE)) & (QS_PAINT | QS_POSTMESSAGE));
    };
    const SCROLLINFO none = {};
    auto thumb = [&](int bar) {
        SCROLLINFO si = none;
        si.cbSize = sizeof(si);
        si.fMask = SIF_ALL;
        ::GetScrollInfo(view->m_hWnd, bar, &si);
        return si.nPos * 100000 + static_cast<int>(si.nPage);
    };
    REQUIRE(run.Pump(painted, 5000));
    const int before = thumb(SB_VERT);
    frame->PostMessage(WM_COMMAND, ID_VIEW_ZOOM_IN);
    REQUIRE(run.Pump([&] { return thumb(SB_VERT) != before && painted(); }, 5000));
    REQUIRE((view->GetStyle() & WS_VSCROLL) != 0);
    CHECK(StalePixels(view->m_hWnd, true) == 0);
    // The end of a drag of the window's edge fits the side again: other scroll sizes and
    // position, the bars staying.
    const int zoomed = thumb(SB_VERT);
    frame->PostMessage(WM_EXITSIZEMOVE);
    REQUIRE(run.Pump([&] { return thumb(SB_VERT) != zoomed && painted(); }, 5000));
    REQUIRE((view->GetStyle() & WS_VSCROLL) != 0);
    CHECK(StalePixels(view->m_hWnd, true) == 0);
    frame->PostMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
    REQUIRE(run.Pump([&] { return frame->IsZoomed() && painted(); }, 5000));
    CHECK(StalePixels(view->m_hWnd, true) == 0);
    run.Close();
}

TEST_CASE("the main tool bar dragged into another row of its dock: every bar there shows its own picture") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    KorvanelleFrame* frame = GetMainFrame();
    CToolView& bar = frame->m_toolMain;
    CWnd* top = frame->GetControlBar(AFX_IDW_DOCKBAR_TOP);
    REQUIRE(top != nullptr);
    auto painted = [] {
        return !(HIWORD(::GetQueueStatus(QS_PAINT | QS_POSTMESSAGE)) & (QS_PAINT | QS_POSTMESSAGE));
    };
    REQUIRE(run.Pump(painted, 5000));
    // Pressed in a gap between its buttons, dragged and let go: over the colour bar, the bar takes
    // the first row and the bars after it move along and down; right of it, the colour bar's row.
    int gap = 0;
    while (gap < static_cast<int>(bar.SendMessage(TB_BUTTONCOUNT)) &&
           !(bar.GetButtonStyle(gap) & TBBS_SEPARATOR))
        ++gap;
    CRect from, dock, colour;
    bar.GetItemRect(gap, &from);
    top->GetWindowRect(&dock);
    frame->m_toolColor.GetWindowRect(&colour);
    CPoint to(dock.left + 200, dock.top + 2);
    bool colourRow = false;
    SUBCASE("into the first row") {}
    SUBCASE("into the colour bar's row") {
        colourRow = true;
        to = CPoint(colour.right + 300, colour.CenterPoint().y);
    }
    bar.ScreenToClient(&to);
    const CPoint press = from.CenterPoint();
    bar.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    bar.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    bar.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    REQUIRE(run.Pump([&] { return ::GetCapture() == nullptr && painted(); }, 5000));
    CRect now;
    bar.GetWindowRect(&now);
    REQUIRE(now.top < dock.top + 10);
    REQUIRE((now.left > colour.left) == colourRow);
    // The bar moved shows its gripper; the colour bar, moved down a row, shows its own picture, not
    // the main tool bar's that was moved into its old place first.
    CHECK(GripperDrawn(bar));
    CHECK(StaleClientPixels(bar.m_hWnd) == 0);
    if (!colourRow) CHECK(StaleClientPixels(frame->m_toolColor.m_hWnd) == 0);
    run.Close();
}
