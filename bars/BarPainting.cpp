// Shared painting of the formatting and colour tool bars.
#include "bars/BarPainting.h"

#include "controls/ThemeFill.h"
#include "controls/ThemeResources.h"
#include "controls/UxThemeLibrary.h"
#include "framework/DocView.h"

bool IsWholeWindowDC(HWND window, HDC dc) {
    POINT origin = {0, 0};
    if (!::GetDCOrgEx(dc, &origin)) return false;
    RECT rect;
    ::GetWindowRect(window, &rect);
    POINT client = {0, 0};
    ::ClientToScreen(window, &client);
    return origin.x == rect.left && origin.y == rect.top && (client.x != rect.left || client.y != rect.top);
}

void PaintGripperStrip(HWND window, HDC dc) {
    RECT client;
    ::GetClientRect(window, &client);
    RECT strip = {client.left, client.top, client.left + 20, client.bottom + 2};
    TileThemeBackground(dc, strip, 0, 0, 1);
}

void PaintBarNonClient(CControlBar* bar) {
    HWND window = bar->GetSafeHwnd();
    CWindowDC dc(bar);
    CRect client, rect;
    bar->GetClientRect(&client);
    bar->ClientToScreen(&client);
    bar->GetWindowRect(&rect);
    client.OffsetRect(-rect.left, -rect.top);
    dc.ExcludeClipRect(&client);
    rect.OffsetRect(-rect.left, -rect.top);
    // Borders beyond the gripper strip get the same texture, so nothing of the frame's grey shows.
    TileThemeBackground(dc.GetSafeHdc(), rect, 0, 0, 1);
    ::SendMessage(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    bar->DrawBorders(&dc, rect);
    bar->DrawGripper(&dc, rect);
}

void CheckFrameMenuItem(UINT command, bool checked) {
    CWnd* main = AfxGetMainWnd();
    HMENU menu = main ? ::GetMenu(main->GetSafeHwnd()) : nullptr;
    if (!menu) return;
    ::CheckMenuItem(menu, command, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void SwitchOffStylesBeforeVista(HWND window) {
    OSVERSIONINFOA info = {};
    const bool vista =
        ReadSystemVersion(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 6;
    if (!vista && g_uxTheme.IsAppThemed()) g_uxTheme.SetWindowTheme(window, L"", L"");
}
