// The running application over ten New / insert image / Save / Open cycles: the GDI and USER
// objects of the process do not grow from cycle to cycle. Two warm-up cycles make what the program
// makes once, each step waits for the queue to run empty, the pointer rests where the program does
// not react to it, and the pictures Wine's push button keeps are counted as they are handed to it.
#include <doctest.h>

#include <string>

#include "AppTestSupport.h"
#include "app/KorvanelleDoc.h"
#include "app/KorvanelleFrame.h"
#include "canvas/View.h"

namespace {

// Wine's push button keeps a copy (two bitmaps) of every picture it is handed and frees only the
// last one: the colour bar's Custom Color button is handed one whenever the selection goes between
// an image or a page and anything else. Counted where they are handed.
HWND g_customButton = nullptr;
int g_picturesHanded = 0;

LRESULT CALLBACK WatchCustomButton(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->hwnd == g_customButton && message->message == BM_SETIMAGE) ++g_picturesHanded;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A mouse move over the Images bar's cells makes their tool tip window, one over the canvas loads
// the system's sizing cursors: once and for good, whenever the X server's pointer events arrive,
// which under load may be inside the counted cycles. The pointer rests where nothing of the
// program reacts to it: outside its windows, or else on the main window's caption.
bool ParkPointer(HWND frame) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    const POINT corners[] = {{w - 1, h - 1}, {0, h - 1}, {w - 1, 0}, {0, 0}};
    for (const POINT& p : corners) {
        DWORD process = 0;
        GetWindowThreadProcessId(WindowFromPoint(p), &process);
        if (process != GetCurrentProcessId()) return SetCursorPos(p.x, p.y) != FALSE;
    }
    RECT window;
    GetWindowRect(frame, &window);
    for (int y = window.top; y < window.top + 40; ++y) {
        const POINT p = {(window.left + window.right) / 2, y};
        if (WindowFromPoint(p) == frame && SendMessageA(frame, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)) == HTCAPTION)
            return SetCursorPos(p.x, p.y) != FALSE;
    }
    return false;
}

std::string GdiObjectsByKind() {
    const char* const names[] = {"", "pens", "brushes", "DCs", "", "palettes", "fonts", "bitmaps", "regions",
                                 "", "memory DCs", "", "", "", ""};
    int n[15] = {0};
    for (UINT_PTR value = 1; value < 0x10000; ++value) {
        const DWORD kind = GetObjectType((HGDIOBJ)value);
        if (kind < 15) ++n[kind];
    }
    std::string text;
    for (int i = 1; i < 15; ++i)
        if (n[i] != 0) text += std::to_string(n[i]) + " " + (names[i][0] ? names[i] : "other") + " ";
    return text;
}

void DropQuit() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
}

}  // namespace

TEST_CASE("ten New/Open/Save/close cycles of a design with images leave no GDI or USER objects behind") {
    kvtest::TemporaryUserFolders folders;
    KorvanelleApp app;
    app.m_pszAppName = kvtest::kTestProfileName;
    REQUIRE(AfxWinInit(GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOWNORMAL));
    REQUIRE(app.InitInstance());
    KorvanelleFrame* frame = GetMainFrame();
    REQUIRE(frame != nullptr);
    REQUIRE(kvtest::PumpApp(
        app, [&] { return IsWindowVisible(frame->m_hWnd) != FALSE; }, 10000));
    KorvanelleDoc* doc = dynamic_cast<KorvanelleDoc*>(frame->GetActiveDocument());
    View* view = View::GetCurrent();
    REQUIRE(doc != nullptr);
    REQUIRE(view != nullptr);

    const CString root = folders.Root().c_str();
    const CString image = root + "\\photo.png";
    REQUIRE(kvtest::WriteTestPng(image));
    const CString design = root + "\\Cycle.kvl";

    REQUIRE(ParkPointer(frame->m_hWnd));
    g_customButton = frame->m_toolColor.GetCustomButton().m_hWnd;
    REQUIRE(g_customButton != nullptr);
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchCustomButton, nullptr, GetCurrentThreadId());
    REQUIRE(hook != nullptr);
    // Everything the last step queued (painting, the bars' updates) done: the queue runs empty.
    auto settle = [&] { kvtest::PumpApp(app, [] { return HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0; }, 5000); };
    auto cycle = [&] {
        doc->NewFromTemplate(4, 0, 1);
        settle();
        REQUIRE(view->InsertImageObject(CRect(200, 200, 1800, 1400), image, false) != nullptr);
        REQUIRE(view->InsertImageObject(CRect(400, 1600, 2000, 2600), image, true) != nullptr);
        view->Redraw(true);
        doc->SetPathName(design, FALSE);
        doc->OnFileSave();
        REQUIRE_FALSE(doc->IsModified());
        REQUIRE(doc->LoadFile(design, 1, true, false));
        view->Redraw(true);
        settle();
    };

    // The Images bar's start-up load ends (its cells' pictures made) before anything is counted.
    ImagePanelState& panel = *ImagePanelState::Get();
    REQUIRE(kvtest::PumpApp(
        app,
        [&] {
            if (panel.m_folderLoadRunning || panel.m_thumbLoadRunning || panel.RecordCount() == 0)
                return false;
            for (int i = 0; i < panel.RecordCount(); ++i)
                if (panel.RecordAt(i)->m_state != kImageFinal) return false;
            return true;
        },
        20000));

    KvMessageBoxCapture boxes;  // no box may block; none is expected
    cycle();
    cycle();
    // Counted after every cycle: a leak grows the count in every cycle; something the program
    // makes once and keeps (a system cursor's bitmaps, a cell's tool tip window), whenever the X
    // server's pointer events happen to ask for it, grows it in one cycle only.
    const std::string kindsBefore = GdiObjectsByKind();
    int gdi = kvtest::CountGdiObjects(), user = kvtest::CountUserObjects();
    const int gdiBefore = gdi, userBefore = user;
    int gdiGrowingCycles = 0, userGrowingCycles = 0, wineButtonCopies = 0;
    for (int i = 0; i < 10; ++i) {
        g_picturesHanded = 0;
        cycle();
        const int gdiNow = kvtest::CountGdiObjects(), userNow = kvtest::CountUserObjects();
        wineButtonCopies += 2 * g_picturesHanded;
        if (gdiNow > gdi + 2 * g_picturesHanded) ++gdiGrowingCycles;
        if (userNow > user) ++userGrowingCycles;
        gdi = gdiNow;
        user = userNow;
    }
    UnhookWindowsHookEx(hook);
    MESSAGE("GDI objects " << gdiBefore << " -> " << gdi << " (" << wineButtonCopies
                           << " held by the system button), growing in " << gdiGrowingCycles
                           << " cycles; USER objects " << userBefore << " -> " << user << ", growing in "
                           << userGrowingCycles << " cycles\nbefore: " << kindsBefore
                           << "\nafter:  " << GdiObjectsByKind());
    CHECK(boxes.Boxes().empty());
    CHECK(gdiBefore > 20);  // the count sees the program's objects at all
    CHECK(gdiGrowingCycles <= 1);
    CHECK(userGrowingCycles <= 1);

    HWND hFrame = frame->m_hWnd;
    doc->SetModifiedFlag(FALSE);
    PostMessageA(hFrame, WM_CLOSE, 0, 0);
    REQUIRE(kvtest::PumpApp(
        app, [&] { return !IsWindow(hFrame); }, 10000));
    app.ExitInstance();
    DropQuit();
}
