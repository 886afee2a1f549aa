// The glass subclassing engine: switching dialogs and controls on, the class dispatcher, the common
// pass-through and removal, the button and trackbar state tables, and painting into buffers with
// composition forced on (the test display never composes).
#include <doctest.h>

#include <windows.h>
#include <commctrl.h>
#include <vfw.h>

#include <string>
#include <vector>

#include "controls/ThemeApi.h"
#include "controls/glass/GlassEngine.h"
#include "controls/glass/GlassInternal.h"
#include "framework/graphics/DibHelpers.h"
#include "GdiplusSession.h"
#include "GlassTestIds.h"
#include "GuiSupport.h"

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

struct Composition {
    explicit Composition(int value) { SetGlassCompositionOverride(value); }
    ~Composition() { SetGlassCompositionOverride(-1); }
};

struct TestDialog {
    HWND hwnd = nullptr;
    TestDialog() {
        static bool once = [] {
            INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
            InitCommonControlsEx(&icc);
            InitThemeApis();
            return true;
        }();
        (void)once;
        hwnd = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_GLASS_TEST), nullptr,
                                  &PlainDialogProc, 0);
        REQUIRE(hwnd != nullptr);
        SetWindowPos(hwnd, HWND_TOPMOST, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    }
    ~TestDialog() {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    HWND Item(int id) const { return GetDlgItem(hwnd, id); }
};

bool HasBlock(HWND window) {
    return GetPropA(window, "AeroGlassSubclass") != nullptr;
}

// A procedure put under the engine's, to see what the engine left when a message reaches it.
WNDPROC g_originalProc = nullptr;
bool g_sawDestroyWithoutBlock = false;
int g_paintsPassed = 0;
LRESULT CALLBACK WatchingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) g_sawDestroyWithoutBlock = !HasBlock(window);
    if (message == WM_PAINT) ++g_paintsPassed;
    return CallWindowProcA(g_originalProc, window, message, wParam, lParam);
}
// The same under the dialog's own procedure.
WNDPROC g_originalDialogProc = nullptr;
bool g_dialogSawDestroyWithoutBlock = false;
LRESULT CALLBACK WatchingDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) g_dialogSawDestroyWithoutBlock = !HasBlock(window);
    return CallWindowProcA(g_originalDialogProc, window, message, wParam, lParam);
}

COLORREF PixelOf(HDC dc, int x, int y) {
    return GetPixel(dc, x, y) & 0xFFFFFF;
}

// A 32-bit top-down surface in memory, filled with one colour.
struct MemoryCanvas {
    ScopedMemoryDC dc{nullptr};
    MemoryCanvas(int width, int height, COLORREF fill) {
        dc.Select(CreateTopDownDibSection(dc, width, height, 32).Release(), true);
        ScopedBrush brush(CreateSolidBrush(fill));
        RECT all = {0, 0, width, height};
        FillRect(dc, &all, brush);
    }
};

}  // namespace

TEST_CASE("Switching a dialog on checks its arguments and refuses a second time") {
    TestDialog dialog;
    SetLastError(0);
    CHECK_FALSE(EnableGlassSubclass(nullptr, 0, 0));
    CHECK(GetLastError() == ERROR_INVALID_PARAMETER);
    CHECK_FALSE(EnableGlassSubclass(dialog.hwnd, 0, 1));
    CHECK(GetLastError() == ERROR_INVALID_PARAMETER);
    CHECK_FALSE(HasBlock(dialog.hwnd));

    REQUIRE(EnableGlassSubclass(dialog.hwnd, kGlassFlagNoGlass, 0));
    GlassSubclassBlock* first = GetGlassBlock(dialog.hwnd);
    REQUIRE(first != nullptr);
    CHECK((first->flags & kGlassNoGlass) != 0);
    CHECK(first->redrawMessage == RegisterWindowMessageA("AeroGlassSubclassRedraw"));
    CHECK(first->dwmApi == &g_dwmApi);
    CHECK(GetWindowLongPtrA(dialog.hwnd, GWLP_WNDPROC) ==
          reinterpret_cast<LONG_PTR>(&GlassSubclassDialogProc));
    // Flags 1 alone put no child under the engine.
    for (int id = IDC_G_PUSH; id <= IDC_G_TREE; ++id) CHECK_FALSE(HasBlock(dialog.Item(id)));

    SetLastError(0);
    CHECK_FALSE(EnableGlassSubclass(dialog.hwnd, kGlassAllClasses, 0));
    CHECK(GetLastError() == ERROR_ALREADY_INITIALIZED);
    CHECK(GetGlassBlock(dialog.hwnd) == first);
    CHECK(GetWindowLongPtrA(dialog.hwnd, GWLP_WNDPROC) ==
          reinterpret_cast<LONG_PTR>(&GlassSubclassDialogProc));

    SUBCASE("one control is put under the engine on its own, with a copy of the dialog's block") {
        HWND push = dialog.Item(IDC_G_PUSH);
        const WNDPROC buttonProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(push, GWLP_WNDPROC));
        CHECK(GlassSubclassControl(push));
        GlassSubclassBlock* block = GetGlassBlock(push);
        REQUIRE(block != nullptr);
        CHECK(block != first);
        CHECK((block->previousProc == buttonProc));
        CHECK(block->redrawMessage == first->redrawMessage);
        CHECK(block->lastSelStart == -1);
        CHECK(block->lastSelEnd == -1);
        CHECK((block->flags & kGlassNoGlass) != 0);
        SetLastError(0);
        CHECK_FALSE(SubclassChild(push, buttonProc, 0));
        CHECK(GetLastError() == ERROR_ALREADY_INITIALIZED);
    }
    SUBCASE("a control whose dialog was never switched on stays as it is") {
        TestDialog other;
        HWND list = other.Item(IDC_G_LIST);
        const LONG_PTR proc = GetWindowLongPtrA(list, GWLP_WNDPROC);
        SetLastError(0);
        CHECK(GlassSubclassControl(list));
        CHECK(GetLastError() == ERROR_FILE_NOT_FOUND);
        CHECK_FALSE(HasBlock(list));
        CHECK(GetWindowLongPtrA(list, GWLP_WNDPROC) == proc);
    }
}

TEST_CASE("The dispatcher picks children by exact class name and by the class bits") {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "msctls_progress32X";  // 18 characters
    RegisterClassA(&wc);

    SUBCASE("only the classes asked for") {
        TestDialog dialog;
        REQUIRE(EnableGlassSubclass(dialog.hwnd, kGlassClassButton | kGlassClassListBox, 0));
        CHECK(HasBlock(dialog.Item(IDC_G_PUSH)));
        CHECK(HasBlock(dialog.Item(IDC_G_CHECK)));
        CHECK(HasBlock(dialog.Item(IDC_G_GROUP)));
        CHECK(HasBlock(dialog.Item(IDC_G_LIST)));
        CHECK_FALSE(HasBlock(dialog.Item(IDC_G_EDIT)));
        CHECK_FALSE(HasBlock(dialog.Item(IDC_G_PROGRESS)));
        CHECK_FALSE(HasBlock(dialog.Item(IDC_G_STATIC)));
    }
    SUBCASE("all classes, with the children of combo boxes and list views") {
        TestDialog dialog;
        HWND longName = CreateWindowA("msctls_progress32X", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                      dialog.hwnd, nullptr, GetModuleHandleA(nullptr), nullptr);
        REQUIRE(longName != nullptr);
        REQUIRE(EnableGlassSubclass(dialog.hwnd, kGlassAllClasses, 0));
        for (int id = IDC_G_PUSH; id <= IDC_G_TREE; ++id) CHECK_MESSAGE(HasBlock(dialog.Item(id)), id);
        CHECK_FALSE(HasBlock(longName));
        HWND comboEdit = FindWindowExA(dialog.Item(IDC_G_COMBO), nullptr, "Edit", nullptr);
        REQUIRE(comboEdit != nullptr);
        CHECK(HasBlock(comboEdit));
        // The combo box starts with a redraw pending, and its edit copies that.
        CHECK((GetGlassBlock(dialog.Item(IDC_G_COMBO))->flags & kGlassRedrawPending) != 0);
        HWND header = reinterpret_cast<HWND>(SendMessageA(dialog.Item(IDC_G_LISTVIEW), LVM_GETHEADER, 0, 0));
        REQUIRE(header != nullptr);
        CHECK(HasBlock(header));
    }
}

TEST_CASE("With composition off controls pass every message through and still leave on destroy") {
    Composition off(0);
    TestDialog dialog;
    HWND list = dialog.Item(IDC_G_LIST);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
    g_originalProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchingProc)));
    g_originalDialogProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(dialog.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchingDialogProc)));
    REQUIRE(EnableGlassSubclass(dialog.hwnd, kGlassAllClasses, 0));
    REQUIRE(HasBlock(list));
    g_paintsPassed = 0;
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    CHECK(g_paintsPassed >= 1);
    CHECK(SendMessageA(list, LB_GETCOUNT, 0, 0) == 1);

    g_sawDestroyWithoutBlock = false;
    DestroyWindow(list);
    CHECK(g_sawDestroyWithoutBlock);
    // The dialog leaves the engine the same way: its block is gone before its own procedure
    // sees WM_DESTROY.
    REQUIRE(HasBlock(dialog.hwnd));
    g_dialogSawDestroyWithoutBlock = false;
    DestroyWindow(dialog.hwnd);
    CHECK(g_dialogSawDestroyWithoutBlock);
}

TEST_CASE("Button theme states follow the visual style's state table") {
    const DWORD push = WS_CHILD | BS_PUSHBUTTON, def = WS_CHILD | BS_DEFPUSHBUTTON;
    CHECK(GetButtonThemeState(push | WS_DISABLED, true, false, 0, 1, true) == 4);
    CHECK(GetButtonThemeState(push, true, false, 0, 1, true) == 3);
    CHECK(GetButtonThemeState(push, false, false, 0, 1, true) == 2);
    CHECK(GetButtonThemeState(push, true, false, 0, 1, false) == 2);
    CHECK(GetButtonThemeState(def, false, false, 0, 1, false) == 5);
    CHECK(GetButtonThemeState(push, false, false, 0, 1, false) == 1);

    const DWORD check = WS_CHILD | BS_AUTO3STATE;
    CHECK(GetButtonThemeState(check, false, false, BST_UNCHECKED, 3, false) == 1);
    CHECK(GetButtonThemeState(check, true, false, BST_UNCHECKED, 3, false) == 2);
    CHECK(GetButtonThemeState(check, true, true, BST_UNCHECKED, 3, false) == 3);  // focus shows as pressed
    CHECK(GetButtonThemeState(check, false, true, BST_CHECKED, 3, false) == 7);
    CHECK(GetButtonThemeState(check | WS_DISABLED, true, true, BST_CHECKED, 3, false) == 8);
    CHECK(GetButtonThemeState(check | WS_DISABLED, false, false, BST_INDETERMINATE, 3, false) == 12);
    CHECK(GetButtonThemeState(check, false, false, BST_INDETERMINATE, 3, false) == 9);
    CHECK(GetButtonThemeState(WS_CHILD | BS_AUTORADIOBUTTON, false, false, BST_INDETERMINATE, 2, false) == 1);
    CHECK(GetButtonThemeState(WS_CHILD | BS_AUTORADIOBUTTON, true, false, BST_CHECKED, 2, false) == 6);
    CHECK(GetButtonThemeState(WS_CHILD | BS_GROUPBOX | WS_DISABLED, false, false, 0, 4, false) == 2);
    CHECK(GetButtonThemeState(WS_CHILD | BS_GROUPBOX, false, false, 0, 4, false) == 1);
    CHECK(GetButtonThemeState(WS_CHILD, false, false, 0, 5, false) == 0);
}

TEST_CASE("Trackbar thumbs take the part of their style and the disabled state before the hot one") {
    int part = 0, state = 0;
    TrackbarThumbPartState(TBS_BOTH, false, false, &part, &state);
    CHECK(part == 3);
    CHECK(state == 1);
    TrackbarThumbPartState(TBS_TOP, false, true, &part, &state);
    CHECK(part == 5);
    CHECK(state == 4);
    TrackbarThumbPartState(TBS_BOTTOM, true, true, &part, &state);
    CHECK(part == 4);
    CHECK(state == 2);
    TrackbarThumbPartState(TBS_VERT | TBS_LEFT | WS_DISABLED, true, true, &part, &state);
    CHECK(part == 7);
    CHECK(state == 5);
    TrackbarThumbPartState(TBS_VERT, false, false, &part, &state);
    CHECK(part == 8);
    TrackbarThumbPartState(TBS_VERT | TBS_BOTH, false, false, &part, &state);
    CHECK(part == 6);
}

TEST_CASE("Control-colour messages for an edit collapse into one posted redraw") {
    Composition on(1);
    TestDialog dialog;
    REQUIRE(EnableGlassSubclass(dialog.hwnd, kGlassAllClasses, 0));
    HWND edit = dialog.Item(IDC_G_EDIT);
    GlassSubclassBlock* block = GetGlassBlock(edit);
    REQUIRE(block != nullptr);
    kvtest::PumpPending();
    block->flags &= ~kGlassRedrawPending;
    const UINT redraw = GlassRedrawMessage();
    MSG msg;
    while (PeekMessageA(&msg, edit, redraw, redraw, PM_REMOVE)) {}
    HDC dc = GetDC(edit);
    SendMessageA(dialog.hwnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit));
    SendMessageA(dialog.hwnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit));
    ReleaseDC(edit, dc);
    CHECK((block->flags & kGlassRedrawPending) != 0);
    int posted = 0;
    while (PeekMessageA(&msg, edit, redraw, redraw, PM_REMOVE)) {
        ++posted;
        DispatchMessageA(&msg);
    }
    CHECK(posted == 1);
    CHECK((GetGlassBlock(edit)->flags & kGlassRedrawPending) == 0);
}

TEST_CASE("The shared painting step prints the control opaque and frames it in black") {
    Composition on(1);
    TestDialog dialog;
    REQUIRE(EnableGlassSubclass(dialog.hwnd, kGlassAllClasses, 0));
    HWND list = dialog.Item(IDC_G_LIST);
    RECT client;
    GetClientRect(list, &client);
    RECT rect = GlassWindowRectInClient(list);
    const COLORREF red = RGB(255, 0, 0);
    MemoryCanvas canvas(rect.right + 10, rect.bottom + 10, red);
    PaintBufferedAlpha(list, canvas.dc, &rect, TRUE);
    // Inside: the list box's own window colour; the grown rectangle's right edge: the black frame;
    // beyond it the canvas is untouched.
    CHECK(PixelOf(canvas.dc, client.right / 2, client.bottom - 3) == (GetSysColor(COLOR_WINDOW) & 0xFFFFFF));
    CHECK(PixelOf(canvas.dc, rect.right, rect.bottom / 2) == RGB(0, 0, 0));
    CHECK(PixelOf(canvas.dc, rect.right + 3, rect.bottom / 2) == red);
}

TEST_CASE("Under forced composition the dialog turns black and the controls paint themselves on it") {
    REQUIRE(kvtest::GdiplusReady());
    Composition on(1);
    TestDialog dialog;
    SendDlgItemMessageA(dialog.hwnd, IDC_G_CHECK, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageA(dialog.hwnd, IDC_G_PROGRESS, PBM_SETPOS, 60, 0);
    SetDlgItemTextA(dialog.hwnd, IDC_G_EDIT, "text");
    REQUIRE(EnableGlassSubclass(dialog.hwnd, kGlassAllClasses, 0));
    RedrawWindow(dialog.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // The screen shows the composed dialog once its bare area has turned black and the picture
    // stops changing (the controls paint after the backdrop); on a loaded machine that takes a
    // while, so the picture is taken again until then (or time runs out, and the checks below say
    // what is missing).
    kvtest::Capture shot;
    auto composed = [&] {
        kvtest::Capture previous = shot;
        shot = kvtest::CaptureWindowFromScreen(dialog.hwnd);
        return !shot.Empty() && shot.At(shot.width - 3, shot.height - 3) == 0 &&
               shot.pixels == previous.pixels;
    };
    kvtest::PumpUntil(composed, 5000);
    REQUIRE_FALSE(shot.Empty());
    kvtest::SavePng(shot, "glass_dialog.png");

    auto at = [&](HWND control, int dx, int dy) {
        RECT r;
        GetWindowRect(control, &r);
        RECT d;
        GetWindowRect(dialog.hwnd, &d);
        return shot.At(r.left - d.left + dx, r.top - d.top + dy);
    };
    // Bare dialog area is filled black: glass once composed.
    CHECK(shot.At(shot.width - 3, shot.height - 3) == 0);
    // The push button face is drawn by the visual style: neither black nor the bare dialog.
    HWND push = dialog.Item(IDC_G_PUSH);
    RECT pr;
    GetClientRect(push, &pr);
    const unsigned face = at(push, 4, pr.bottom / 2);
    CHECK(face != 0);
    // The progress bar is opaque where it draws, with its four corners left transparent (black).
    HWND progress = dialog.Item(IDC_G_PROGRESS);
    RECT gr;
    GetClientRect(progress, &gr);
    CHECK(at(progress, 0, 0) == 0);
    CHECK(at(progress, gr.right / 2, gr.bottom / 2) != 0);
    // The check box glyph stands at the left edge, vertically centred.
    HWND check = dialog.Item(IDC_G_CHECK);
    RECT cr;
    GetClientRect(check, &cr);
    CHECK(at(check, 6, cr.bottom / 2) != 0);
    // The group box frame is drawn in the edit border colour of the visual style, half a caption down.
    HWND group = dialog.Item(IDC_G_GROUP);
    RECT br;
    GetClientRect(group, &br);
    COLORREF border = 0;
    HTHEME editTheme = UxTheme().OpenThemeData(group, L"Edit");
    REQUIRE(editTheme != nullptr);
    UxTheme().GetThemeColor(editTheme, 5, 1, 3801, &border);
    UxTheme().CloseThemeData(editTheme);
    int frameY = -1;
    for (int y = 0; y < br.bottom && frameY < 0; ++y)
        if (at(group, br.right - 5, y) != 0) frameY = y;
    CHECK(frameY > 0);
    CHECK(frameY < br.bottom / 2);
    CHECK(at(group, br.right - 5, frameY) == kvtest::Rgb(border));
    CHECK(at(group, br.right - 1, br.bottom / 2) == kvtest::Rgb(border));
    // The list box's inside is opaque window colour.
    CHECK(at(dialog.Item(IDC_G_LIST), 10, 25) == kvtest::Rgb(GetSysColor(COLOR_WINDOW)));
}

namespace {

int CountTempClips() {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    std::string pattern = std::string(folder) + "aer*.tmp";
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do {
        ++count;
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return count;
}

}  // namespace

TEST_CASE("An animation under the engine plays its clip and keeps the temporary file only while open") {
    Composition on(1);
    const int before = CountTempClips();
    TestDialog dialog;
    REQUIRE(EnableGlassSubclass(dialog.hwnd, kGlassAllClasses, 0));
    HWND anim = dialog.Item(IDC_G_ANIMATE_AUTO);
    REQUIRE(HasBlock(anim));

    SUBCASE("an autoplay clip starts at once and repeats; closing the stream removes its file") {
        CHECK(SendMessageA(anim, ACM_OPENA, reinterpret_cast<WPARAM>(GetModuleHandleA(nullptr)), IDA_G_CLIP));
        CHECK((GetGlassBlock(anim)->flags & kGlassNotified) != 0);
        CHECK((GetGlassBlock(anim)->flags & kGlassAviInitialised) != 0);
        CHECK(CountTempClips() == before + 1);
        // Three frames of 100 ms: after half a second the clip has wrapped and still plays.
        std::vector<unsigned> seen;
        kvtest::PumpUntil(
            [&] {
                HDC dc = GetDC(anim);
                const COLORREF c = GetPixel(dc, 8, 8);
                ReleaseDC(anim, dc);
                if (seen.empty() || seen.back() != c) seen.push_back(c);
                return seen.size() >= 5;
            },
            3000);
        CHECK(seen.size() >= 4);
        CHECK((GetGlassBlock(anim)->flags & kGlassNotified) != 0);
        CHECK(SendMessageA(anim, ACM_STOP, 0, 0));
        CHECK((GetGlassBlock(anim)->flags & kGlassNotified) == 0);
        SendMessageA(anim, ACM_OPENA, 0, 0);
        CHECK(CountTempClips() == before);
    }
    SUBCASE("destroying the control deletes the file of a playing clip") {
        CHECK(SendMessageA(anim, ACM_OPENA, reinterpret_cast<WPARAM>(GetModuleHandleA(nullptr)), IDA_G_CLIP));
        CHECK(CountTempClips() == before + 1);
        DestroyWindow(dialog.hwnd);
        CHECK(CountTempClips() == before);
    }
    SUBCASE("a missing clip leaves the control without a stream and without a file") {
        CHECK_FALSE(SendMessageA(anim, ACM_OPENA, reinterpret_cast<WPARAM>(GetModuleHandleA(nullptr)), 9999));
        CHECK(CountTempClips() == before);
        CHECK_FALSE(SendMessageA(anim, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF)));
    }
}

TEST_CASE("A dialog switched on without glass keeps its own background even under composition") {
    Composition on(1);
    TestDialog dialog;
    REQUIRE(EnableGlassSubclass(dialog.hwnd, kGlassFlagNoGlass, 0));
    RedrawWindow(dialog.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    // Read once painting has finished, so that glass turning the area black later would be seen.
    kvtest::Capture shot = kvtest::CaptureWindowFromScreenSettled(dialog.hwnd);
    REQUIRE_FALSE(shot.Empty());
    CHECK(shot.At(shot.width - 3, shot.height - 3) == kvtest::Rgb(GetSysColor(COLOR_BTNFACE)));
}

TEST_CASE("A multi-line edit under the engine hides its caret while typing and follows its selection") {
    Composition on(1);
    TestDialog dialog;
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "some text", WS_CHILD | WS_VISIBLE | ES_MULTILINE,
                                300, 10, 120, 40, dialog.hwnd, nullptr, GetModuleHandleA(nullptr), nullptr);
    REQUIRE(edit != nullptr);
    REQUIRE(EnableGlassSubclass(dialog.hwnd, kGlassAllClasses, 0));
    REQUIRE(HasBlock(edit));
    SetFocus(edit);
    SendMessageA(edit, WM_KEYDOWN, VK_RIGHT, 0);
    CHECK((GetGlassBlock(edit)->flags & kGlassCaretHidden) != 0);
    SendMessageA(edit, EM_SETSEL, 1, 4);
    SendMessageA(edit, WM_KEYUP, VK_RIGHT, 0);
    GlassSubclassBlock* block = GetGlassBlock(edit);
    CHECK((block->flags & kGlassCaretHidden) == 0);
    CHECK(block->lastSelStart == 1);
    CHECK(block->lastSelEnd == 4);
}

namespace {
// A procedure put over the engine's: whether the engine's block was still there when the window's
// last message had passed through the whole chain.
WNDPROC g_underProc = nullptr;
bool g_blockLeftAtEnd = true;
LRESULT CALLBACK OverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcA(g_underProc, window, message, wParam, lParam);
    if (message == WM_NCDESTROY) g_blockLeftAtEnd = HasBlock(window);
    return result;
}
}  // namespace

TEST_CASE("Under another subclasser the engine stays in the chain and still frees its block at the end") {
    Composition off(0);
    TestDialog dialog;
    HWND list = dialog.Item(IDC_G_LIST);
    REQUIRE(EnableGlassSubclass(dialog.hwnd, kGlassAllClasses, 0));
    REQUIRE(HasBlock(list));
    g_underProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OverProc)));
    g_blockLeftAtEnd = true;
    DestroyWindow(list);
    CHECK_FALSE(g_blockLeftAtEnd);
    // The dialog's own procedure the same way.
    g_underProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(dialog.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OverProc)));
    g_blockLeftAtEnd = true;
    DestroyWindow(dialog.hwnd);
    CHECK_FALSE(g_blockLeftAtEnd);
}

TEST_CASE("Under composition a check box whose theme does not open keeps the control's own drawing") {
    Composition on(1);
    TestDialog dialog;
    HWND check = dialog.Item(IDC_G_CHECK);
    g_originalProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(check, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchingProc)));
    REQUIRE(EnableGlassSubclass(dialog.hwnd, kGlassAllClasses, 0));
    REQUIRE(HasBlock(check));
    // With its theme the engine paints the box itself: no paint reaches the control.
    g_paintsPassed = 0;
    RedrawWindow(check, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    CHECK(g_paintsPassed == 0);
    // Without one (a class list no theme has), the control draws itself instead of staying blank.
    typedef HRESULT(WINAPI * SetWindowThemeFn)(HWND, LPCWSTR, LPCWSTR);
    HMODULE uxtheme = LoadLibraryA("uxtheme.dll");
    REQUIRE(uxtheme != nullptr);
    auto setWindowTheme = reinterpret_cast<SetWindowThemeFn>(
        reinterpret_cast<void*>(GetProcAddress(uxtheme, "SetWindowTheme")));
    const bool found = setWindowTheme != nullptr;
    REQUIRE(found);
    setWindowTheme(check, L"KvNoSuchTheme", L"KvNoSuchTheme");
    REQUIRE(UxTheme().OpenThemeData(check, L"Button") == nullptr);
    RedrawWindow(check, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    CHECK(g_paintsPassed >= 1);
    DestroyWindow(dialog.hwnd);
}
