#include "controls/TabCtrls.h"

#include <cmath>
#include <vector>

#include "controls/ThemeFill.h"
#include "controls/UxThemeLibrary.h"

IMPLEMENT_DYNAMIC(COwnerTabCtrl, CTabCtrl)
IMPLEMENT_DYNAMIC(CStyledTabCtrl, COwnerTabCtrl)

// One map serves both classes.
BEGIN_MESSAGE_MAP(COwnerTabCtrl, CTabCtrl)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

namespace {

// Written once, before the print dialog's tab control is attached.
DWORD g_tabLookFlags = 0;

int ScaleChannel(int channel, double factor) {
    const int value = static_cast<int>(std::floor(channel * factor + 0.5));
    return value > 255 ? 255 : (value < 0 ? 0 : value);
}

void FillColour(HDC dc, int l, int t, int r, int b, COLORREF colour) {
    RECT rect = {l, t, r, b};
    const COLORREF old = ::SetBkColor(dc, colour);
    ::ExtTextOut(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

}  // namespace

// ---- COwnerTabCtrl ----

COwnerTabCtrl::COwnerTabCtrl(int drawMode) {
    GuardOperation(2342, [&] {
        m_backgroundColour = 0xFFFFFFFF;
        SetDrawMode(drawMode);
    });
}

COLORREF COwnerTabCtrl::ResolvedBackground() const {
    return m_backgroundColour == 0xFFFFFFFF ? ::GetSysColor(COLOR_3DFACE) : m_backgroundColour;
}

BOOL COwnerTabCtrl::SetDrawMode(int mode) {
    BOOL result = FALSE;
    GuardOperation(1266, [&] {
        if (mode < 0 || mode > 2) return;
        m_drawMode = mode;
        if (m_hWnd) {
            if (mode == 0)
                ModifyStyle(TCS_OWNERDRAWFIXED, 0);
            else
                ModifyStyle(0, TCS_OWNERDRAWFIXED);
            Invalidate();
        }
        result = TRUE;
    });
    return result;
}

void COwnerTabCtrl::PreSubclassWindow() {
    GuardOperation(2343, [&] {
        CTabCtrl::PreSubclassWindow();
        if (m_drawMode != 0) ModifyStyle(0, TCS_OWNERDRAWFIXED);
    });
}

void COwnerTabCtrl::DrawItem(LPDRAWITEMSTRUCT) {}
void COwnerTabCtrl::DrawMainFrame(LPDRAWITEMSTRUCT) {}
void COwnerTabCtrl::DrawTabBorder(LPDRAWITEMSTRUCT) {}
COLORREF COwnerTabCtrl::GetTabBackColor(bool) {
    return ::GetSysColor(COLOR_3DFACE);
}
COLORREF COwnerTabCtrl::GetTabTextColor(bool) {
    return ::GetSysColor(COLOR_WINDOWTEXT);
}

BOOL COwnerTabCtrl::OnEraseBkgnd(CDC* dc) {
    GuardOperation(1267, [&] {
        Default();
        RECT row = {0, 0, 0, 0};
        const int count = GetItemCount();
        for (int i = 0; i < count; ++i) {
            RECT tab;
            if (!GetItemRect(i, &tab)) continue;
            if (::IsRectEmpty(&row))
                row = tab;
            else
                ::UnionRect(&row, &row, &tab);
        }
        const int h = row.bottom - row.top;
        RECT c;
        GetClientRect(&c);
        HDC hdc = dc->m_hDC;
        const RECT above = {c.left, c.top, c.right, row.top};
        const RECT left = {c.left, c.top, 2, c.top + 2 + h};
        const RECT right = {c.left + (row.right - row.left) + 2, c.top, c.right, c.top + 2 + h};
        for (const RECT& r : {above, left, right}) {
            if (r.right > r.left && r.bottom > r.top) TileThemeBackground(hdc, r, 0, 0, 1);
        }
    });
    return TRUE;
}

void COwnerTabCtrl::OnPaint() {
    GuardOperation(1268, [&] {
        if (m_drawMode != 2) {
            Default();
            return;
        }
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(m_hWnd, &ps);
        HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0));
        ScopedSelect fontSelection(dc, font);

        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_TAB;
        item.CtlID = static_cast<UINT>(GetDlgCtrlID());
        item.hwndItem = m_hWnd;
        item.hDC = dc;
        item.itemAction = ODA_DRAWENTIRE;

        RECT display;
        GetClientRect(&display);
        AdjustRect(FALSE, &display);
        GetClientRect(&item.rcItem);
        item.rcItem.top = display.top - 2;
        DrawMainFrame(&item);

        const int selected = GetCurSel();
        for (int i = GetItemCount() - 1; i >= 0; --i) {
            if (i == selected) continue;
            item.itemID = static_cast<UINT>(i);
            item.itemState = 0;
            GetItemRect(i, &item.rcItem);
            item.rcItem.bottom -= 2;
            DrawItem(&item);
            DrawTabBorder(&item);
        }
        if (selected >= 0) {
            item.itemID = static_cast<UINT>(selected);
            item.itemState = ODS_SELECTED;
            GetItemRect(selected, &item.rcItem);
            item.rcItem.bottom += 2;
            item.rcItem.top -= 2;
            DrawItem(&item);
            DrawTabBorder(&item);
        }
        fontSelection.Restore();
        ::EndPaint(m_hWnd, &ps);
    });
}

// ---- CStyledTabCtrl ----

CStyledTabCtrl::CStyledTabCtrl() : COwnerTabCtrl(0) {}

void CStyledTabCtrl::SetLookFlags(BOOL enable, DWORD flags) {
    g_tabLookFlags = enable ? flags : 0;
}

DWORD CStyledTabCtrl::GetLookFlags() {
    return g_tabLookFlags;
}

COLORREF CStyledTabCtrl::DarkenColor(COLORREF colour, double factor) {
    if (factor < 0.0) factor = 0.0;
    if (factor > 1.0) factor = 1.0;
    return RGB(ScaleChannel(GetRValue(colour), factor), ScaleChannel(GetGValue(colour), factor),
               ScaleChannel(GetBValue(colour), factor));
}

COLORREF CStyledTabCtrl::LightenColor(COLORREF colour, double factor) {
    if (factor < 1.0) factor = 1.0;
    return RGB(ScaleChannel(GetRValue(colour), factor), ScaleChannel(GetGValue(colour), factor),
               ScaleChannel(GetBValue(colour), factor));
}

int CStyledTabCtrl::FitTabText(HDC dc, CString& text, int width) {
    int fitted = 0;
    GuardOperation(1403, [&] {
        // DT_MODIFYSTRING may write up to four characters more than the text holds.
        std::vector<char> buffer(static_cast<size_t>(text.GetLength()) + 5, '\0');
        memcpy(buffer.data(), static_cast<LPCSTR>(text), static_cast<size_t>(text.GetLength()));
        RECT rect = {0, 0, width > 0 ? width : 0, 20};
        ::DrawText(dc, buffer.data(), text.GetLength(), &rect,
                   DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING);
        text = buffer.data();
        SIZE extent = {0, 0};
        ::GetTextExtentPoint32(dc, text, text.GetLength(), &extent);
        fitted = extent.cx;
    });
    return fitted;
}

void CStyledTabCtrl::PreSubclassWindow() {
    GuardOperation(1410, [&] {
        COwnerTabCtrl::PreSubclassWindow();
        // The tabs are painted over the dialog's texture; they keep the classic shape.
        if (g_uxTheme.IsAppThemed()) g_uxTheme.SetWindowTheme(m_hWnd, L"", L"");
        if (g_tabLookFlags != 0) ModifyStyle(0, TCS_OWNERDRAWFIXED);
    });
}

void CStyledTabCtrl::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    GuardOperation(1404, [&] {
        HDC dc = drawItem->hDC;
        const int index = static_cast<int>(drawItem->itemID);
        const bool selected = index == GetCurSel();
        RECT rect = drawItem->rcItem;
        if (selected)
            rect.bottom -= 1;
        else
            rect.bottom += 2;
        TileThemeBackground(dc, rect, 0, 0, 1);

        rect.left += 3;
        rect.top += selected ? 4 : 3;
        const int oldMode = ::SetBkMode(dc, TRANSPARENT);

        char text[100] = {};
        TCITEM item = {};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = text;
        item.cchTextMax = 99;
        item.iImage = -1;
        GetItem(index, &item);
        HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessage(TCM_GETIMAGELIST, 0, 0));
        if (images) {
            ImageList_Draw(images, item.iImage, dc, rect.left, rect.top, ILD_TRANSPARENT);
            rect.left += 19;
        }
        rect.right -= 3;
        CString caption(text);
        FitTabText(dc, caption, rect.right - rect.left);
        const COLORREF oldText = ::SetTextColor(dc, RGB(0, 0, 0));
        ::DrawText(dc, caption, caption.GetLength(), &rect, DT_CENTER | DT_NOPREFIX);
        ::SetTextColor(dc, oldText);
        ::SetBkMode(dc, oldMode);
    });
}

COLORREF CStyledTabCtrl::GetTabBackColor(bool selected) {
    COLORREF colour = ::GetSysColor(COLOR_3DFACE);
    GuardOperation(1407, [&] {
        const DWORD flags = g_tabLookFlags;
        const COLORREF base =
            (flags & kLookControlBackground) ? ResolvedBackground() : ::GetSysColor(COLOR_3DFACE);
        if (selected) {
            colour = (flags & kLookBrightSelected) ? LightenColor(base, 1.4) : ::GetSysColor(COLOR_3DFACE);
        } else if ((flags & kLookUnselectedBase) && !(flags & kLookEdgesOnAll)) {
            colour = ResolvedBackground();
        } else {
            colour = DarkenColor(base, 0.9);
        }
    });
    return colour;
}

COLORREF CStyledTabCtrl::GetTabTextColor(bool selected) {
    COLORREF colour = ::GetSysColor(COLOR_WINDOWTEXT);
    GuardOperation(1408, [&] {
        if (selected) return;
        const DWORD flags = g_tabLookFlags;
        const COLORREF base = (flags & (kLookUnselectedBase | kLookControlBackground))
                                  ? ResolvedBackground()
                                  : ::GetSysColor(COLOR_3DFACE);
        colour = DarkenColor(base, 0.5);
    });
    return colour;
}

void CStyledTabCtrl::DrawTabBorder(LPDRAWITEMSTRUCT drawItem) {
    GuardOperation(1405, [&] {
        const bool selected = (drawItem->itemState & ODS_SELECTED) != 0;
        const COLORREF c = GetTabBackColor(selected);
        const COLORREF light = LightenColor(c, 1.5);
        const COLORREF dark = DarkenColor(c, 0.75);
        const RECT& r = drawItem->rcItem;
        HDC dc = drawItem->hDC;
        if (selected || (g_tabLookFlags & kLookEdgesOnAll)) {
            const int bottom = selected ? r.bottom - 1 : r.bottom + 1;
            FillColour(dc, r.left, r.top, r.left + 1, bottom, light);
            FillColour(dc, r.left, r.top, r.right, r.top + 1, light);
            FillColour(dc, r.right - 1, r.top, r.right, bottom, dark);
        } else {
            FillColour(dc, r.left - 1, r.top, r.left, r.bottom, dark);
        }
    });
}

void CStyledTabCtrl::DrawMainFrame(LPDRAWITEMSTRUCT drawItem) {
    GuardOperation(1406, [&] {
        const COLORREF c = GetTabBackColor(false);
        CDC::FromHandle(drawItem->hDC)
            ->Draw3dRect(&drawItem->rcItem, LightenColor(c, 1.5), DarkenColor(c, 0.75));
    });
}
