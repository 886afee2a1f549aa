// The main frame's bars in the running application: the Text Editor bar's events reach the
// design as undo steps through the frame's handlers, the formatting and colour bars follow the
// selection through the view's host, a floating bar comes back in front, and the Insert button's
// tip keeps off its drop-down.
#include <doctest.h>

#include "AppTestSupport.h"
#include "app/KorvanelleDoc.h"
#include "app/KorvanelleFrame.h"
#include "canvas/View.h"
#include "res/CommandIds.h"

namespace {

int RecordCount(const CString& trackList) {
    int ends = 0;
    for (int i = 0; i < trackList.GetLength(); ++i)
        if (trackList[i] == '\x08') ++ends;
    return ends / 3;
}

bool Shown(CWnd& w) {
    return w.m_hWnd != nullptr && (w.GetStyle() & WS_VISIBLE) != 0;
}

// True when the window is the other one or lies inside it.
bool IsWithin(HWND window, HWND container) {
    return window == container || ::IsChild(container, window);
}

}  // namespace

TEST_CASE("the Text Editor bar's events change the design through the frame, one undo step each") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    KorvanelleFrame* frame = GetMainFrame();
    View* view = View::GetCurrent();
    REQUIRE(view != nullptr);
    CBarText& bar = frame->m_barText;
    const CString before = view->m_design.GetAlbumField(bar.m_artist.m_name);
    const int steps = view->GetUndoCount();

    // A typed field: tabs become blanks, a 0x08 never reaches the design, the field is stored
    // with its closing 0x08.
    CString typed = "Nina\tand the \x08Owls";
    run.app.m_redrawRequest = 0;
    bar.UpdateText(typed, &bar.m_artist);
    CHECK(view->m_design.GetAlbumField(bar.m_artist.m_name) == "Nina and the Owls\x08");
    CHECK(view->GetUndoCount() == steps + 1);
    CHECK(run.app.m_redrawRequest != 0);
    view->OnEditUndo();
    CHECK(view->m_design.GetAlbumField(bar.m_artist.m_name) == before);

    // The Tracks box: more records are appended, fewer cut; the same count records nothing.
    const CString tracksName = bar.m_tracks.m_name;
    REQUIRE_FALSE(tracksName.IsEmpty());
    bar.m_tracks.TrackChange(12, tracksName);
    CHECK(RecordCount(view->m_design.GetAlbumField(tracksName)) == 12);
    bar.m_tracks.TrackChange(3, tracksName);
    CHECK(RecordCount(view->m_design.GetAlbumField(tracksName)) == 3);
    const int afterCut = view->GetUndoCount();
    bar.m_tracks.TrackChange(3, tracksName);
    CHECK(view->GetUndoCount() == afterCut);

    // A field taking the focus selects the current page.
    bar.Focused();
    ViewObject* selected = view->m_design.GetFirstSelected();
    REQUIRE(selected != nullptr);
    CHECK(selected->IsPage());
    run.Close();
}

TEST_CASE("the formatting and colour bars follow the selection") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    KorvanelleFrame* frame = GetMainFrame();
    View* view = View::GetCurrent();
    REQUIRE(view != nullptr);

    // Edit > Insert > Artist: a text object, the text controls of the formatting bar.
    frame->SendMessage(WM_COMMAND, ID_INSERT_ARTIST);
    ViewObject* text = view->m_design.GetFirstSelected();
    REQUIRE(text != nullptr);
    CHECK(text->IsText());
    CHECK(Shown(frame->m_toolProperties.m_fontName));
    CHECK_FALSE(Shown(frame->m_toolProperties.m_sliderHue));
    CHECK_FALSE(frame->m_toolColor.IsInactive());

    // An image: the image controls, and the colour bar has nothing to colour.
    CString image = folders.Root().c_str();
    image += "\\photo.png";
    REQUIRE(kvtest::WriteTestPng(image));
    REQUIRE(view->InsertImageObject(CRect(100, 100, 900, 700), image, false) != nullptr);
    CHECK(Shown(frame->m_toolProperties.m_sliderHue));
    CHECK_FALSE(Shown(frame->m_toolProperties.m_fontName));
    CHECK(frame->m_toolColor.IsInactive());
    run.Close();
}

TEST_CASE("a tool bar left floating comes back in front of the main window") {
    kvtest::TemporaryUserFolders folders;
    {
        kvtest::RunningApp run;
        REQUIRE(run.Started());
        KorvanelleFrame* frame = GetMainFrame();
        CRect frameRect;
        frame->GetWindowRect(&frameRect);
        frame->FloatControlBar(&frame->m_toolMain, frameRect.CenterPoint());
        REQUIRE(frame->m_toolMain.IsFloating());
        run.Close();
    }
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    KorvanelleFrame* frame = GetMainFrame();
    REQUIRE(frame->m_toolMain.IsFloating());
    CHECK(Shown(frame->m_toolMain));
    CHECK((::GetMenuState(::GetMenu(frame->m_hWnd), ID_VIEW_MAIN_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED) != 0);
    HWND floating = ::GetAncestor(frame->m_toolMain.m_hWnd, GA_ROOT);
    REQUIRE(floating != frame->m_hWnd);
    CHECK(::IsWindowVisible(floating));
    CRect barRect, frameRect;
    frame->m_toolMain.GetWindowRect(&barRect);
    frame->GetWindowRect(&frameRect);
    // The bar lies over the main window; a click on it reaches the bar, not the canvas below.
    const CPoint middle = barRect.CenterPoint();
    REQUIRE(frameRect.PtInRect(middle));
    CHECK(IsWithin(::WindowFromPoint(middle), floating));
    run.Close();
}

namespace {

// Mouse input as the hardware gives it, at a point of the screen.
void MouseAt(CPoint at, DWORD buttons) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = (at.x * 65535 + cx / 2) / (cx - 1);
    input.mi.dy = (at.y * 65535 + cy / 2) / (cy - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    ::SendInput(1, &input, sizeof(input));
}

// What shows while a drop-down is open, seen from a thread timer (which also runs inside the
// drop-down's own message loop); the drop-down is closed once `openFor` ticks have seen it.
struct DropDownWatch {
    static DropDownWatch* current;
    HWND tip = nullptr;
    int openFor = 0, ticksOpen = 0, ticksWithTip = 0;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        DropDownWatch* w = current;
        HWND menu = ::FindWindowA("#32768", nullptr);
        if (w == nullptr || menu == nullptr || !::IsWindowVisible(menu)) return;
        if (::IsWindowVisible(w->tip)) ++w->ticksWithTip;
        if (++w->ticksOpen == w->openFor) ::EndMenu();
    }
};
DropDownWatch* DropDownWatch::current = nullptr;

}  // namespace

TEST_CASE("Insert clicked before its tip shows: the tip stays away from the open drop-down") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    CToolView& bar = GetMainFrame()->m_toolMain;
    ::SetForegroundWindow(GetMainFrame()->m_hWnd);
    DropDownWatch watch;
    watch.tip = reinterpret_cast<HWND>(bar.SendMessage(TB_GETTOOLTIPS));
    REQUIRE(watch.tip != nullptr);
    const int tickMs = 40;
    // Open three times as long as the tip waits before it shows.
    watch.openFor = 3 * static_cast<int>(::SendMessage(watch.tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0)) / tickMs + 1;
    CRect button;
    bar.GetItemRect(bar.CommandToIndex(ID_INSERT_MENU), &button);
    bar.ClientToScreen(&button);
    const CPoint middle = button.CenterPoint();
    MouseAt(middle, 0);
    REQUIRE(run.Pump([&] { CPoint at; return ::GetCursorPos(&at) && at == middle; }, 5000));
    DropDownWatch::current = &watch;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, tickMs, &DropDownWatch::Tick);
    MouseAt(middle, MOUSEEVENTF_LEFTDOWN);
    MouseAt(middle, MOUSEEVENTF_LEFTUP);
    CHECK(run.Pump([&] { return watch.ticksOpen >= watch.openFor && ::GetCapture() == nullptr; }, 10000));
    ::KillTimer(nullptr, timer);
    DropDownWatch::current = nullptr;
    CHECK(watch.ticksWithTip == 0);
    run.Close();
}
