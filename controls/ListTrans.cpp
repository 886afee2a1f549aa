#include "controls/ListTrans.h"

#include "controls/ThemeFill.h"

IMPLEMENT_DYNAMIC(CListTrans, CListCtrl)
IMPLEMENT_DYNAMIC(CGridHeader, CHeaderCtrl)

BEGIN_MESSAGE_MAP(CListTrans, CListCtrl)
    ON_WM_PAINT()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CGridHeader, CHeaderCtrl)
    ON_WM_PAINT()
END_MESSAGE_MAP()

void CListTrans::OnPaint() {
    GuardOperation(440, [&] {
        if (IsWindowEnabled()) {
            Default();
            return;
        }
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(m_hWnd, &ps);
        RECT client;
        GetClientRect(&client);
        TileThemeBackground(dc, client, 0, 0, 1);
        ::EndPaint(m_hWnd, &ps);
    });
}

void CGridHeader::OnPaint() {
    GuardOperation(273, [&] {
        Default();
        RECT client;
        GetClientRect(&client);
        const int w = client.right;
        const int h = client.bottom;
        ScopedWindowDC dc(m_hWnd, ScopedWindowDC::kWhole);
        if (!dc) return;
        CPen face;
        face.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_3DFACE));
        CPen shadow;
        shadow.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
        ScopedSelect selection(dc, face);
        ::MoveToEx(dc, w - 2, 0, nullptr);
        ::LineTo(dc, w - 2, h - 2);
        ::MoveToEx(dc, w - 1, 0, nullptr);
        ::LineTo(dc, w - 1, h - 2);
        selection.Switch(shadow);
        ::MoveToEx(dc, w - 2, h - 2, nullptr);
        ::LineTo(dc, w, h - 2);
        selection.Restore();
    });
}
