// The menu frame with a real window: menu bar, system menu, mnemonics, the
// hover-timer pool and a pop-up menu opened (and closed by a timer) from the test.
#include <doctest.h>

#include <cstdio>
#include <cstdlib>

#include "GuiSupport.h"
#include "menu/MenuTheme.h"
#include "menu/StyledFrameWnd.h"
#include "tests/menu/MenuTestIds.h"

namespace {
CStyledFrameWnd* MakeFrame() {
    auto* pFrame = new CStyledFrameWnd;
    RECT rc = {20, 20, 420, 320};
    if (!pFrame->Create(nullptr, "Menu frame", WS_OVERLAPPEDWINDOW, rc, nullptr,
                        MAKEINTRESOURCE(IDR_TEST_MENU))) {
        return nullptr;
    }
    pFrame->ShowWindow(SW_SHOW);
    pFrame->UpdateWindow();
    return pFrame;
}

struct PopupWatch {
    HWND popup = nullptr;
    bool subclassed = false;
    bool hooked = false;
    bool layered = true;
    RECT rect = {0, 0, 0, 0};
    kvtest::Capture shot;
    int ticks = 0;
    bool closedByTimer = false;  // the timer ended the menu (not the loss of the activation)
};
PopupWatch g_watch;
const int kMenuAttempts = 4;

BOOL CALLBACK FindMenuWindow(HWND hWnd, LPARAM) {
    char name[16] = {};
    GetClassNameA(hWnd, name, sizeof(name));
    if (strcmp(name, "#32768") == 0 && IsWindowVisible(hWnd)) {
        g_watch.popup = hWnd;
        return FALSE;
    }
    return TRUE;
}

// A point inside the pop-up's side title: at its left, half-way down.
POINT SideTitlePoint() {
    return {g_watch.rect.left + 6, g_watch.rect.top + (g_watch.rect.bottom - g_watch.rect.top) / 2};
}

void CALLBACK PopupTimer(HWND hWnd, UINT, UINT_PTR id, DWORD) {
    g_watch.ticks++;
    g_watch.hooked = CStyledMenuHook::s_hHook != nullptr;
    if (g_watch.popup == nullptr) EnumWindows(FindMenuWindow, 0);
    bool painted = false;
    if (g_watch.popup) {
        g_watch.subclassed = GetPropA(g_watch.popup, "OldMenuProc") != nullptr;
        g_watch.layered = (GetWindowLongA(g_watch.popup, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
        GetWindowRect(g_watch.popup, &g_watch.rect);
        // Taken again on each tick until the pop-up's side title is on the screen (or time runs
        // out, and the checks say what the screen showed).
        g_watch.shot = kvtest::CaptureScreen();
        painted = g_watch.shot.At(SideTitlePoint().x, SideTitlePoint().y) != kvtest::Rgb(GetSysColor(COLOR_MENU));
        if (painted) kvtest::SavePng(g_watch.shot, "menu_popup.png");
    }
    // KV_MENU_HOLD keeps the menu open a while for an outside screenshot.
    int hold = getenv("KV_MENU_HOLD") ? 60 : 4;
    if ((painted && g_watch.ticks >= hold) || g_watch.ticks > 40 * 5) {
        KillTimer(hWnd, id);
        g_watch.closedByTimer = true;
        EndMenu();
    }
}

// A procedure put over the hook's on the open pop-up, as another program's subclass would be.
WNDPROC g_menuUnder = nullptr;
bool g_overSawEnd = false;
bool g_keptAfterHide = false;
LRESULT CALLBACK OverMenuProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCDESTROY) g_overSawEnd = true;
    return CallWindowProcA(g_menuUnder, hWnd, msg, wParam, lParam);
}

void CALLBACK SubclassOverTimer(HWND hWnd, UINT, UINT_PTR id, DWORD) {
    if (g_watch.popup == nullptr) EnumWindows(FindMenuWindow, 0);
    if (g_watch.popup && !g_menuUnder && GetPropA(g_watch.popup, "OldMenuProc")) {
        g_menuUnder = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(g_watch.popup, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OverMenuProc)));
        // The notice Windows sends when a pop-up is hidden (Wine hides without it).
        SendMessageA(g_watch.popup, WM_SHOWWINDOW, FALSE, 0);
        g_keptAfterHide =
            reinterpret_cast<WNDPROC>(GetWindowLongPtrA(g_watch.popup, GWLP_WNDPROC)) == &OverMenuProc;
        KillTimer(hWnd, id);
        EndMenu();
    }
    if (++g_watch.ticks > 100) {
        KillTimer(hWnd, id);
        EndMenu();
    }
}
void CALLBACK BarMenuTimer(HWND hWnd, UINT, UINT_PTR id, DWORD) {
    g_watch.hooked = CStyledMenuHook::s_hHook != nullptr;
    if (g_watch.popup == nullptr) EnumWindows(FindMenuWindow, 0);
    if (g_watch.popup) g_watch.subclassed = GetPropA(g_watch.popup, "OldMenuProc") != nullptr;
    if (g_watch.popup || ++g_watch.ticks > 40) {
        KillTimer(hWnd, id);
        g_watch.closedByTimer = g_watch.popup != nullptr;
        EndMenu();
    }
}
}  // namespace

TEST_CASE("a menu of the menu bar is dressed by the hook, which is there only while a menu is open") {
    CStyledFrameWnd* pFrame = MakeFrame();
    REQUIRE(pFrame != nullptr);
    CHECK(CStyledMenuHook::s_hHook == nullptr);
    for (int attempt = 0; attempt < kMenuAttempts && !g_watch.closedByTimer; ++attempt) {
        pFrame->SetForegroundWindow();
        g_watch = PopupWatch();
        SetTimer(pFrame->m_hWnd, 7003, 100, BarMenuTimer);
        // Alt+F as the system hands it to the frame: the menu loop runs inside this call.
        SendMessageA(pFrame->m_hWnd, WM_SYSCOMMAND, SC_KEYMENU, 'f');
        KillTimer(pFrame->m_hWnd, 7003);
    }
    REQUIRE(g_watch.popup != nullptr);
    CHECK(g_watch.hooked);
    CHECK(g_watch.subclassed);
    CHECK(CStyledMenuHook::s_hHook == nullptr);
    pFrame->DestroyWindow();
}

TEST_CASE("a frame carries an owner-drawn menu bar and answers mnemonics") {
    CStyledFrameWnd* pFrame = MakeFrame();
    REQUIRE(pFrame != nullptr);
    HWND hWnd = pFrame->m_hWnd;
    HMENU hBar = GetMenu(hWnd);
    CHECK(hBar == pFrame->m_defaultMenu.m_hMenu);
    CHECK(CStyledMenu::FromHandleStyled(hBar) == &pFrame->m_defaultMenu);
    for (int i = 0; i < GetMenuItemCount(hBar); i++) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_FTYPE;
        GetMenuItemInfoA(hBar, i, TRUE, &mii);
        CHECK((mii.fType & MFT_OWNERDRAW) != 0);
    }
    CHECK(pFrame->m_systemMenu.m_hMenu == GetSystemMenu(hWnd, FALSE));

    CHECK(SendMessageA(hWnd, WM_MENUCHAR, MAKEWPARAM('v', MF_POPUP), (LPARAM)hBar) == 0x20002);
    CHECK(SendMessageA(hWnd, WM_MENUCHAR, MAKEWPARAM('F', MF_POPUP), (LPARAM)hBar) == 0x20000);
    CHECK(SendMessageA(hWnd, WM_MENUCHAR, MAKEWPARAM('q', MF_POPUP), (LPARAM)hBar) == 0);

    // The menu bar has a height: its items were measured by the library.
    RECT item = {};
    CHECK(GetMenuItemRect(hWnd, hBar, 0, &item));
    CHECK(item.bottom - item.top >= GetSystemMetrics(SM_CYMENU) - 1);
    // The bar's items are drawn by the look: the theme background under the text.
    const unsigned barFace = kvtest::Rgb(RGB(185, 185, 185));
    kvtest::Capture screen = kvtest::CaptureScreenWhen(
        [&](const kvtest::Capture& s) { return s.At(item.left + 1, item.bottom - 2) == barFace; });
    REQUIRE_FALSE(screen.Empty());
    CHECK(screen.At(item.left + 1, item.bottom - 2) == kvtest::Rgb(RGB(185, 185, 185)));
    kvtest::SavePng(screen, "menu_frame.png");

    // Hover timers come from a pool starting at 31; a dead window gets none.
    UINT_PTR id = SetTimerFromPool(hWnd, 1000);
    CHECK(id == 31);
    CHECK(SetTimerFromPool(hWnd, 1000) == 31);  // SetTimer accepts an id again
    KillTimer(hWnd, id);

    // On XP and later the system menu's own commands carry private ids while it is open.
    if (GetWinVersion() == 7) {
        HMENU hSys = GetSystemMenu(hWnd, FALSE);
        SendMessageA(hWnd, WM_INITMENUPOPUP, (WPARAM)hSys, MAKELPARAM(0, TRUE));
        CHECK(GetMenuState(hSys, SC_CLOSE + 1, MF_BYCOMMAND) != 0xFFFFFFFF);
        CHECK(GetMenuState(hSys, SC_CLOSE, MF_BYCOMMAND) == 0xFFFFFFFF);
        CHECK(pFrame->m_systemMenu.OnUnInitMenuPopup() == FALSE);
        CHECK(GetMenuState(hSys, SC_CLOSE, MF_BYCOMMAND) != 0xFFFFFFFF);
        CHECK(GetMenuState(hSys, SC_CLOSE + 1, MF_BYCOMMAND) == 0xFFFFFFFF);
    }

    CHECK_FALSE(CStyledMenu::DrawMenuBarItem(hWnd, &pFrame->m_defaultMenu, -1, 0));
    // A hit test over the bar starts the frame's own hover timer only where the frame tracks hot
    // items itself (older systems, remote sessions); elsewhere the system does.
    SendMessageA(hWnd, WM_NCHITTEST, 0, MAKELPARAM(item.left + 2, item.top + 2));
    CHECK((pFrame->m_nHoverTimer != 0) == pFrame->OwnHotTracking());
    if (pFrame->m_nHoverTimer != 0) {
        KillTimer(hWnd, pFrame->m_nHoverTimer);
        pFrame->m_nHoverTimer = 0;
        pFrame->m_nHotItem = -1;
    }

    // The frame's own hot tracking: moving from one bar item to the next starts the
    // hover timer once; leaving the bar stops it.
    RECT second = {};
    REQUIRE(GetMenuItemRect(hWnd, hBar, 1, &second));
    CHECK(pFrame->TrackHotItem(CPoint(item.left + 3, item.top + 3), HTMENU) == HTMENU);
    CHECK(pFrame->m_nHotItem == 0);
    UINT_PTR timer = pFrame->m_nHoverTimer;
    CHECK(timer == 31);
    CHECK(pFrame->TrackHotItem(CPoint(second.left + 3, second.top + 3), HTMENU) == HTMENU);
    CHECK(pFrame->m_nHotItem == 1);
    CHECK(pFrame->m_nHoverTimer == timer);
    CHECK(pFrame->TrackHotItem(CPoint(item.left + 3, item.bottom + 80), HTCLIENT) == HTCLIENT);
    CHECK(pFrame->m_nHotItem == -1);
    CHECK(pFrame->m_nHoverTimer == 0);
    CHECK(CStyledMenuHook::s_pMenuBarItemRedrawn == nullptr);

    pFrame->DestroyWindow();
    CHECK(SetTimerFromPool(hWnd, 100) == 0);
}

TEST_CASE("a pop-up menu of the library is painted in the look and closes by itself") {
    CStyledFrameWnd* pFrame = MakeFrame();
    REQUIRE(pFrame != nullptr);
    CStyledMenu menu;
    REQUIRE(menu.LoadMenu(IDR_TEST_CONTEXT));
    CStyledMenu* pPopup = CStyledMenu::FromHandleStyled(GetSubMenu(menu.m_hMenu, 0));
    REQUIRE(pPopup != nullptr);
    CHECK(pPopup->SetMenuTitle(" ", 6));
    CHECK(pPopup->LoadToolBar(128));
    // A window of a test running beside this one may take the activation, and a pop-up menu
    // closes when its owner loses it: open it again until the timer saw it painted.
    for (int attempt = 0; attempt < kMenuAttempts; ++attempt) {
        pFrame->SetForegroundWindow();
        g_watch = PopupWatch();
        SetTimer(pFrame->m_hWnd, 7001, 250, PopupTimer);
        pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, 120, 120, pFrame);
        KillTimer(pFrame->m_hWnd, 7001);
        kvtest::PumpPending();
        if (g_watch.closedByTimer) break;
        fprintf(stderr, "the pop-up closed before the test closed it (attempt %d)\n", attempt + 1);
    }

    REQUIRE(g_watch.popup != nullptr);
    // The window-procedure hook is there while the menu is open, and gone with it.
    CHECK(g_watch.hooked);
    CHECK(CStyledMenuHook::s_hHook == nullptr);
    CHECK(g_watch.subclassed);
    CHECK_FALSE(g_watch.layered);  // opaque menus never become layered
    CHECK(pPopup->m_hOwner == pFrame->m_hWnd);
    CHECK_FALSE(IsWindowVisible(g_watch.popup));
    CHECK(GetPropA(g_watch.popup, "OldMenuProc") == nullptr);  // released when hidden
    REQUIRE_FALSE(g_watch.shot.Empty());
    // Inside the pop-up: the side title's gradient at the left, item pictures elsewhere.
    unsigned title = g_watch.shot.At(SideTitlePoint().x, SideTitlePoint().y);
    CHECK(title != kvtest::Rgb(GetSysColor(COLOR_MENU)));
    pFrame->DestroyWindow();
}

TEST_CASE("a pop-up subclassed again over the hook keeps the other subclass when it closes") {
    CStyledFrameWnd* pFrame = MakeFrame();
    REQUIRE(pFrame != nullptr);
    CStyledMenu menu;
    REQUIRE(menu.LoadMenu(IDR_TEST_CONTEXT));
    CStyledMenu* pPopup = CStyledMenu::FromHandleStyled(GetSubMenu(menu.m_hMenu, 0));
    REQUIRE(pPopup != nullptr);
    g_menuUnder = nullptr;
    // Opened again when something else closed it before the timer found it (see above).
    for (int attempt = 0; attempt < kMenuAttempts && g_menuUnder == nullptr; ++attempt) {
        pFrame->SetForegroundWindow();
        g_watch = PopupWatch();
        g_overSawEnd = false;
        g_keptAfterHide = false;
        SetTimer(pFrame->m_hWnd, 7002, 50, SubclassOverTimer);
        pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, 120, 120, pFrame);
        KillTimer(pFrame->m_hWnd, 7002);
        if (g_menuUnder == nullptr)
            fprintf(stderr, "the pop-up closed before the test found it (attempt %d)\n", attempt + 1);
    }
    REQUIRE((g_menuUnder != nullptr));
    CHECK(g_keptAfterHide);  // hiding did not cut the other subclass out of the chain
    if (IsWindow(g_watch.popup)) {
        // Hidden, not destroyed: the other subclass is still on top, the hook still under it.
        CHECK((reinterpret_cast<WNDPROC>(GetWindowLongPtrA(g_watch.popup, GWLP_WNDPROC)) == &OverMenuProc));
        CHECK(GetPropA(g_watch.popup, "OldMenuProc") != nullptr);
    } else {
        // Destroyed: the other subclass saw the last message, and the hook freed its record.
        CHECK(g_overSawEnd);
        CHECK(CStyledMenuHook::GetHookData(g_watch.popup) == nullptr);
    }
    pFrame->DestroyWindow();
}
