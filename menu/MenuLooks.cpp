// The measure and draw routines of the looks: the XP look in full, the
// classic, flat, gradient and 2003 looks by how they differ.
#include "controls/ThemeFill.h"
#include "controls/UxThemeLibrary.h"
#include "menu/MenuHelpers.h"
#include "menu/MenuTheme.h"
#include "menu/StyledMenu.h"

namespace {
const UINT kSaveAsStartupDesign = 32845;

CImageList* MenuImageList() {
    return g_menuAppQueries.menuImageList ? g_menuAppQueries.menuImageList() : nullptr;
}

int ReplacementImage(UINT_PTR nID) {
    static const struct {
        UINT id;
        int image;
    } table[] = {{0xE100, 0},  {0xE101, 1},  {0xE103, 2},  {0xE107, 3},  {0xE123, 4},
                 {0xE122, 5},  {0xE125, 6},  {0x80EC, 7},  {0xE12B, 8},  {0xE12C, 9},
                 {0x8064, 10}, {0xE109, 11}, {0x805A, 13}, {0x805B, 14}, {0x805C, 15},
                 {0x8078, 22}, {0x80EE, 4},  {0x80EF, 5},  {0x80F0, 6},  {0x80F2, 7}};
    for (const auto& e : table)
        if (e.id == nID) return e.image;
    return -1;
}

bool IsSystemCommand(UINT_PTR nID) {
    UINT id = (UINT)nID & 0xFFF0;
    return id >= 0xF000 && id <= 0xF150;
}

CSize TextExtent(const CString& text, HFONT font) {
    ScopedWindowDC dc(nullptr);
    ScopedSelect selection(dc, font);
    SIZE size = {0, 0};
    const std::wstring wide = AfxWideOf(text);
    ::GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    if (text.IsEmpty()) {
        TEXTMETRICA tm = {};
        ::GetTextMetricsA(dc, &tm);
        size.cy = tm.tmHeight;
    }
    selection.Restore();
    return CSize(size.cx, size.cy);
}

// An item's text, which may name a file outside the ANSI code page (the recent files), drawn in
// UTF-16.
void DrawItemText(HDC dc, const CString& text, RECT rc, UINT format) {
    const std::wstring wide = AfxWideOf(text);
    ::DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &rc, format);
}

void FillSolid(HDC dc, const RECT& rc, COLORREF c) {
    CBrush br;
    br.CreateSolidBrush(c);
    ::FillRect(dc, &rc, br);
}

HACCEL AccelOf(const CStyledMenu* pMenu) {
    return MenuShowsAcceleratorTexts() ? pMenu->m_hAccel : nullptr;
}

void DrawBarItemShadow(HDC dc, const RECT& rc, bool vertical) {
    bool palette = GetScreenColorCount() <= 256;
    COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    int length = vertical ? rc.right - rc.left : rc.bottom - rc.top;
    for (int col = 1; col <= 4; col++) {
        for (int row = 4; row < length; row++) {
            int x = vertical ? rc.left + row : rc.right - col;
            int y = vertical ? rc.bottom - col : rc.top + row;
            if (palette) {
                if (col == 3 || col == 4) ::SetPixel(dc, x, y, shadow);
                continue;
            }
            int amount = row <= 7 ? (row - 3) * col * 6 : col * 30;
            ::SetPixel(dc, x, y, DarkenColor(amount, ::GetPixel(dc, x, y)));
        }
    }
}

UINT HidePrefixFlag(UINT state) {
    if (!(state & ODS_NOACCEL)) return 0;
    BOOL cues = FALSE;
    if (GetWinVersion() >= 6 && SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &cues, 0) && cues) return 0;
    return DT_HIDEPREFIX;
}

CStyledMenuItemData* ItemOf(ULONG_PTR data) {
    auto* p = (CStyledMenuItemData*)data;
    return p;
}

// Classic measuring shared by the looks 0, 1, 4, 5, 6 and 7.
void MeasureClassic(CStyledMenu* pMenu, MEASUREITEMSTRUCT* pMIS, BOOL bMenuBar, int extraHeight) {
    CStyledMenuItemData* p = ItemOf(pMIS->itemData);
    if (p == nullptr) return;
    if ((p->m_nFlags & MF_SEPARATOR) && !(p->m_nTitleFlags & 1)) {
        pMIS->itemWidth = 3;
        pMIS->itemHeight = 3;
        return;
    }
    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = sizeof(ncm);
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    LOGFONTA lf = ncm.lfMenuFont;
    if (::GetMenuDefaultItem(pMenu->m_hMenu, FALSE, 0) == (UINT)p->m_nID) lf.lfWeight = 700;
    ScopedFont font(::CreateFontIndirectA(&lf));
    CString text = p->GetString(AccelOf(pMenu));
    CSize size = TextExtent(text, font);
    int cyMenu = ::GetSystemMetrics(SM_CYMENU);
    if (bMenuBar) {
        pMIS->itemWidth = size.cx - (text.Find('&') >= 0 ? ::GetSystemMetrics(SM_CXMENUCHECK) / 2 : 0);
    } else {
        pMIS->itemWidth = size.cx + 2 + 2 * pMenu->m_nImageWidth;
    }
    pMIS->itemHeight = (std::max)(pMenu->m_nImageHeight + extraHeight, cyMenu);
    if ((int)pMIS->itemHeight < size.cy) pMIS->itemHeight = size.cy;
}
}  // namespace

void CStyledMenu::MeasureItem_Look0(MEASUREITEMSTRUCT* pMIS, BOOL bMenuBar) {
    GuardOperation(1528, [&] { MeasureClassic(this, pMIS, bMenuBar, 4); });
}

void CStyledMenu::MeasureItem_Look6(MEASUREITEMSTRUCT* pMIS, BOOL bMenuBar) {
    GuardOperation(1529, [&] { MeasureClassic(this, pMIS, bMenuBar, 6); });
}

void CStyledMenu::MeasureItem_LookXP(MEASUREITEMSTRUCT* pMIS, BOOL bMenuBar) {
    GuardOperation(1530, [&] {
        CStyledMenuItemData* p = ItemOf(pMIS->itemData);
        if (p == nullptr) return;
        HFONT font = (HFONT)MenuFont()->GetSafeHandle();
        if (p->m_nFlags & MF_SEPARATOR) {
            if (!(p->m_nTitleFlags & 1)) {
                pMIS->itemWidth = 3;
                pMIS->itemHeight = 3;
                return;
            }
            CSize text = TextExtent(p->m_strText, font);
            CSize icon(0, 0);
            if (p->m_pIcons) icon = p->m_pIcons->GetIconSize();
            if (icon.cx || icon.cy) {
                icon.cx += 2;
                icon.cy += 2;
            }
            if (!(p->m_nTitleFlags & 2)) {
                pMIS->itemWidth = icon.cx + text.cx;
                pMIS->itemHeight = (std::max)(icon.cy, text.cy) + ((p->m_nTitleFlags & 16) ? 8 : 0);
            } else {
                int w = (std::max)((int)icon.cx, (int)text.cy);
                if (!CStyledMenuHook::s_bWine) w -= ::GetSystemMetrics(SM_CXMENUCHECK);
                if (p->m_nTitleFlags & 16)
                    w += 8;
                else if (p->m_nTitleFlags & 32)
                    w += 4;
                pMIS->itemWidth = (UINT)(std::max)(0, w);
                // The title paints the whole column whatever its own height; Wine sends
                // no drawing request for an item of no height.
                pMIS->itemHeight = CStyledMenuHook::s_bWine ? 1 : 0;
            }
            return;
        }
        if (bMenuBar) {
            CString t = p->m_strText;
            t.Trim();
            CString padded = "  " + t;
            if (!g_uxTheme.IsAppThemed()) padded += "  ";
            p->m_strText = padded;
        }
        CString text = p->GetString(AccelOf(this));
        text.Replace("\t", "nnn");
        CSize size = TextExtent(text, font);
        int cyMenu = ::GetSystemMetrics(SM_CYMENU);
        int width, height;
        if (!bMenuBar) {
            width = ((p->m_nFlags & MF_POPUP) ? cyMenu : cyMenu / 2) + m_nImageWidth + 6 + size.cx;
            if (m_nImageWidth == 19 && m_nImageHeight == 15) width += 10;
            height = cyMenu <= m_nImageHeight + 8 ? m_nImageHeight + 7 : cyMenu;
        } else {
            width = size.cx - (text.Find('&') >= 0 ? 6 : 0);
            height = (std::max)(m_nImageHeight + 2, cyMenu);
        }
        if (height < size.cy) height = size.cy;
        if (IsSystemCommand(p->m_nID)) {
            for (INT_PTR i = 0; i < m_items.GetSize(); i++) {
                if (m_items[i] != p) continue;
                for (INT_PTR j = i + 1; j < m_items.GetSize(); j++) {
                    if (m_items[j]->m_nID == 0) continue;
                    MEASUREITEMSTRUCT next = *pMIS;
                    next.itemID = (UINT)m_items[j]->m_nID;
                    next.itemData = (ULONG_PTR)m_items[j];
                    MeasureItem_LookXP(&next, bMenuBar);
                    if ((int)next.itemWidth > width) width = next.itemWidth;
                    break;
                }
                break;
            }
            height = cyMenu;
        }
        pMIS->itemWidth = width;
        pMIS->itemHeight = height;
    });
}

namespace {

// Item-state bits the menu bar adds to the system's ODS_ bits.
const UINT kStateHotBarItem = 0x800;    // a bar item the pointer is over
const UINT kStateVerticalBar = 0x8000;  // the item stands on a vertical bar

// The system's state of a bar item as the looks draw it: a hot item that opens no pop-up, and a
// selected one while no pop-up is open, are drawn hot.
UINT BarItemState(UINT state, const CStyledMenuItemData* p, int openPopups) {
    if (!(p->m_nFlags & MF_POPUP) && (state & kStateHotBarItem))
        state = (state & ~ODS_SELECTED) | ODS_HOTLIGHT;
    if ((state & ODS_SELECTED) && openPopups == 0) state = (state & ~ODS_SELECTED) | ODS_HOTLIGHT;
    return state;
}

// Where the XP look puts an item's parts.
struct XpItemRects {
    RECT item;        // the item, less the bar's gap after a bar item
    RECT iconColumn;  // the icon column of a pop-up item
    RECT text;
};

XpItemRects XpRects(const RECT& rcItem, int imageW, bool menuBar, bool rightOrder, bool vertical) {
    XpItemRects r = {rcItem, rcItem, rcItem};
    if (menuBar) {
        if (vertical)
            r.item.bottom -= 4;
        else
            r.item.right -= 4;
        r.text = r.item;
    } else if (!rightOrder) {
        r.iconColumn.right = rcItem.left + imageW + 8;
        r.text.left = r.iconColumn.right + 4;
        r.text.right = rcItem.right - 15;
    } else {
        r.iconColumn.left = rcItem.right - (imageW + 8);
        r.text.left = rcItem.left + 15;
        r.text.right = rcItem.right - (imageW + 12);
    }
    return r;
}

// The colour of an item's text in the XP look.
COLORREF XpTextColour(UINT state, bool menuBar, bool selected) {
    if (state & ODS_GRAYED) return 0x808080;
    if (!menuBar && !selected && CStyledMenuHook::s_bHighContrast) return ::GetSysColor(COLOR_WINDOWTEXT);
    return ::GetSysColor(COLOR_MENUTEXT);
}

// A pop-up item's label and accelerator, with the object commands named after what the
// clipboard and the selection hold.
void DrawXpPopupText(HDC dc, const CString& text, RECT textRc, UINT hide, bool rightOrder) {
    const int tab = text.Find('\t');
    CString label = tab >= 0 ? text.Left(tab) : text;
    CString accel = tab >= 0 ? text.Mid(tab + 1) : CString();
    auto relabel = [&](const char* from, const char* to) {
        if (label == from) label = to;
        if (accel == from) accel = to;
    };
    if ((label == "Paste Object" || accel == "Paste Object") && ::IsClipboardFormatAvailable(CF_DIB))
        relabel("Paste Object", "Paste Image");
    if (g_menuAppQueries.selectionIsImage && g_menuAppQueries.selectionIsImage()) {
        relabel("Cut Object", "Cut Image");
        relabel("Copy Object", "Copy Image");
        relabel("Delete Object", "Delete Image");
    }
    UINT labelFormat = DT_SINGLELINE | DT_VCENTER | hide;
    UINT accelFormat = DT_SINGLELINE | DT_VCENTER | DT_RIGHT | hide;
    if (rightOrder) {
        labelFormat = DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_RTLREADING | hide;
        accelFormat = DT_SINGLELINE | DT_VCENTER | hide;
    }
    DrawItemText(dc, label, textRc, labelFormat);
    if (tab >= 0) DrawItemText(dc, accel, textRc, accelFormat);
}

// An icon at (x, y): a selected, enabled, unchecked item's icon stands raised over its shadow.
void DrawXpIcon(HDC dc, HICON icon, int x, int y, CSize size, bool raised) {
    if (raised) {
        CBrush br;
        br.CreateSolidBrush(NearestScreenColor(DarkenColor(128, GetSelectionColor())));
        ::DrawStateA(dc, br, nullptr, (LPARAM)icon, 0, x + 1, y + 1, size.cx, size.cy, DST_ICON | DSS_MONO);
        ::DrawStateA(dc, nullptr, nullptr, (LPARAM)icon, 0, x - 1, y - 1, size.cx, size.cy,
                     DST_ICON | DSS_NORMAL);
    } else {
        ::DrawStateA(dc, nullptr, nullptr, (LPARAM)icon, 0, x, y, size.cx, size.cy, DST_ICON | DSS_NORMAL);
    }
}

// A separator line, or the title a title item draws.
void DrawXpSeparator(CStyledMenu* menu, DRAWITEMSTRUCT* pDIS, const CStyledMenuItemData* p, HDC dc,
                     const RECT& rc, BOOL bMenuBar) {
    if (!(p->m_nTitleFlags & 1)) {
        const int y = (rc.top + rc.bottom) / 2;
        const RECT line = {rc.left, y, rc.right, y + 1};
        FillSolid(dc, line, ::GetSysColor(COLOR_GRAYTEXT));
    } else {
        menu->DrawMenuTitle(pDIS, bMenuBar);
    }
}

// The item's text in its colour and the menu font.
void DrawXpText(CStyledMenu* menu, HDC dc, CStyledMenuItemData* p, RECT textRc, UINT state, BOOL bMenuBar,
                bool selected, bool rightOrder) {
    CString text = p->GetString(AccelOf(menu));
    if (text.IsEmpty()) return;
    ScopedSelect fontSelection(dc, CStyledMenu::MenuFont()->GetSafeHandle());
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = ::SetTextColor(dc, XpTextColour(state, bMenuBar != FALSE, selected));
    const UINT hide = HidePrefixFlag(state);
    if (!bMenuBar)
        DrawXpPopupText(dc, text, textRc, hide, rightOrder);
    else
        CStyledMenu::DrawRotatedText(dc, text, text.GetLength(), &textRc,
                                     DT_SINGLELINE | DT_VCENTER | DT_CENTER | hide);
    ::SetTextColor(dc, oldColour);
    ::SetBkMode(dc, oldMode);
}

// A pop-up item's check mark, icon, check bitmap or system glyph.
void DrawXpImage(CStyledMenu* menu, DRAWITEMSTRUCT* pDIS, HDC dc, CStyledMenuItemData* p,
                 const XpItemRects& rects, UINT state, bool selected) {
    const RECT& rc = rects.item;
    CDC* pDC = CDC::FromHandle(dc);
    const bool checked = (state & ODS_CHECKED) != 0;
    const bool disabled = (state & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const int checkImage = selected ? menu->m_nSelectedCheck : menu->m_nCheck;
    const bool hasIcon = p->m_pIcons != nullptr && p->m_nImage >= 0;
    if (checked && !hasIcon && menu->m_pMenuIcons && checkImage >= 0) {
        HICON icon = menu->m_pMenuIcons->m_imageList.ExtractIcon(checkImage);
        if (icon) {
            CSize s = menu->m_pMenuIcons->GetIconSize();
            ::DrawIconEx(dc, rc.left + 3, rc.top + 4, icon, s.cx, s.cy, 0, nullptr, DI_NORMAL);
            ::DestroyIcon(icon);
        }
        return;
    }
    if (hasIcon) {
        HICON icon = nullptr;
        CSize size = p->m_pIcons->GetIconSize();
        const int replacement = ReplacementImage(p->m_nID);
        CImageList* pList = MenuImageList();
        if (replacement >= 0 && pList && pList->GetSafeHandle() && (disabled || (selected && !checked))) {
            icon = pList->ExtractIcon(replacement);
            int cx = 0, cy = 0;
            pList->GetIconSize(&cx, &cy);
            size = CSize(cx, cy);
        }
        if (icon == nullptr) icon = p->m_pIcons->m_imageList.ExtractIcon(p->m_nImage);
        if (icon) {
            const int imageW = menu->m_nImageWidth;
            const int x = rects.iconColumn.left + 3 + (size.cx < imageW ? (imageW - size.cx) / 2 : 0);
            const int y = rc.top + (rc.bottom - rc.top - size.cy) / 2;
            if (checked) {
                RECT g = {rc.right - 22, rc.top + 1, rc.right, rc.bottom + 1};
                ::SetTextColor(dc, ::GetSysColor(COLOR_MENUTEXT));
                CStyledMenu::DrawGlyph(pDC, g, 'b', TRUE);
            }
            DrawXpIcon(dc, icon, x, y, size, selected && !disabled && !checked);
            ::DestroyIcon(icon);
        }
        return;
    }
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_CHECKMARKS;
    ::GetMenuItemInfoA(menu->m_hMenu, pDIS->itemID, FALSE, &mii);
    if (!checked) {
        if (mii.hbmpUnchecked) {
            BITMAP bm = {};
            ::GetObjectA(mii.hbmpUnchecked, sizeof(bm), &bm);
            const int x = rc.left + (menu->m_nImageWidth + 8 - bm.bmWidth) / 2,
                      y = rc.top + (rc.bottom - rc.top - bm.bmHeight) / 2;
            ::DrawStateA(dc, nullptr, nullptr, (LPARAM)mii.hbmpUnchecked, 0, x, y, bm.bmWidth, bm.bmHeight,
                         DST_BITMAP | DSS_MONO | (disabled ? DSS_DISABLED : 0));
        } else if (IsSystemCommand(p->m_nID)) {
            RECT g = rects.iconColumn;
            CStyledMenu::DrawSystemGlyph(pDC, g, (UINT)p->m_nID, state, menu->m_nImageHeight, 0);
        }
        return;
    }
    CImageList* pList = MenuImageList();
    RECT r = rc;
    ::InflateRect(&r, 2, (menu->m_nImageHeight - (rc.bottom - rc.top)) / 2 + 2);
    if (pList && pList->GetSafeHandle()) {
        HICON icon = pList->ExtractIcon(12);
        if (icon) {
            ::DrawIconEx(dc, rc.left + 6, r.top + 1, icon, 16, 16, 0, nullptr, DI_NORMAL);
            ::DestroyIcon(icon);
        }
    } else {
        ::SetTextColor(dc, ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
        CStyledMenu::DrawGlyph(pDC, rects.iconColumn, 'b', FALSE);
    }
}

}  // namespace

void CStyledMenu::DrawItem_LookXP(DRAWITEMSTRUCT* pDIS, BOOL bMenuBar) {
    GuardOperation(1521, [&] {
        CStyledMenuItemData* p = ItemOf(pDIS->itemData);
        if (p == nullptr) return;
        UINT state = pDIS->itemState & ~ODS_INACTIVE;
        const bool separator = (p->m_nFlags & MF_SEPARATOR) != 0;
        CStyledMemDC mem(pDIS->rcItem, pDIS->hDC);
        mem.m_bDiscard = bMenuBar || separator;
        HDC dc = mem.m_bDiscard ? pDIS->hDC : mem.GetSafeHdc();
        const bool vertical = (state & kStateVerticalBar) != 0;
        if (bMenuBar) state = BarItemState(state, p, m_nOpenPopups);
        TileThemeBackground(dc, pDIS->rcItem, 0, 0, 1);

        const bool rightOrder = (p->m_nFlags & MFT_RIGHTORDER) != 0;
        const XpItemRects rects =
            XpRects(pDIS->rcItem, m_nImageWidth, bMenuBar != FALSE, rightOrder, vertical);
        const bool hot = (state & ODS_HOTLIGHT) != 0;
        const bool selected = (state & ODS_SELECTED) != 0 || hot;

        if (bMenuBar && (state & ODS_SELECTED) && !hot) {
            RecordMenuBarItemRect(pDIS->hDC, &pDIS->rcItem);
            DrawBarItemShadow(dc, pDIS->rcItem, vertical);
        }
        if (separator) {
            DrawXpSeparator(this, pDIS, p, dc, rects.item, bMenuBar);
            return;
        }
        RECT rc = rects.item;
        if (selected)
            CDC::FromHandle(dc)->Draw3dRect(&rc, ::GetSysColor(COLOR_3DHIGHLIGHT),
                                            ::GetSysColor(COLOR_3DDKSHADOW));
        DrawXpText(this, dc, p, rects.text, state, bMenuBar, selected, rightOrder);
        if (!bMenuBar && p->m_nID == kSaveAsStartupDesign && g_menuAppQueries.savedAsStartup &&
            g_menuAppQueries.savedAsStartup()) {
            RECT g = {rc.right - 22, rc.top + 1, rc.right, rc.bottom + 1};
            DrawGlyph(CDC::FromHandle(dc), g, 'b', FALSE);
        }
        if (!bMenuBar) DrawXpImage(this, pDIS, dc, p, rects, state, selected);
    });
}

// ---- the other looks ----
namespace {
struct ClassicColours {
    COLORREF back, selectedBack, text, selectedText;
};

void DrawClassicText(CStyledMenu* pMenu, HDC dc, CStyledMenuItemData* p, RECT textRc, UINT state,
                     COLORREF colour, bool emboss) {
    CString text = p->GetString(AccelOf(pMenu));
    int tab = text.Find('\t');
    CString label = tab >= 0 ? text.Left(tab) : text;
    CString accel = tab >= 0 ? text.Mid(tab + 1) : CString();
    UINT hide = HidePrefixFlag(state);
    int oldMode = ::SetBkMode(dc, TRANSPARENT);
    ScopedSelect fontSelection(dc, CStyledMenu::MenuFont()->GetSafeHandle());
    auto draw = [&](RECT r, COLORREF c) {
        ::SetTextColor(dc, c);
        DrawItemText(dc, label, r, DT_SINGLELINE | DT_VCENTER | hide);
        if (tab >= 0) DrawItemText(dc, accel, r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | hide);
    };
    if (emboss) {
        RECT r = textRc;
        ::OffsetRect(&r, 1, 1);
        draw(r, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        draw(textRc, ::GetSysColor(COLOR_GRAYTEXT));
    } else {
        draw(textRc, colour);
    }
    fontSelection.Restore();
    ::SetBkMode(dc, oldMode);
}

// The check image of an item without an icon, from its check bitmaps; FALSE when nothing was drawn.
BOOL DrawItemCheck(CStyledMenu* pMenu, HDC dc, CStyledMenuItemData* p, const RECT& iconRc, UINT state) {
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_CHECKMARKS;
    ::GetMenuItemInfoA(pMenu->m_hMenu, (UINT)p->m_nID, FALSE, &mii);
    return pMenu->DrawCheckImage(CDC::FromHandle(dc), iconRc, mii.hbmpChecked, mii.hbmpUnchecked, state);
}

void DrawItemIcon(CStyledMenu* pMenu, HDC dc, CStyledMenuItemData* p, const RECT& rc, int variant) {
    if (p->m_pIcons == nullptr || p->m_nImage < 0) return;
    HICON icon = p->m_pIcons->m_imageList.ExtractIcon(p->m_nImage + variant);
    if (icon == nullptr) return;
    CSize s = p->m_pIcons->GetIconSize();
    int x = rc.left + 3 + (s.cx < pMenu->m_nImageWidth ? (pMenu->m_nImageWidth - s.cx) / 2 : 0);
    int y = rc.top + (rc.bottom - rc.top - s.cy) / 2;
    ::DrawIconEx(dc, x, y, icon, s.cx, s.cy, 0, nullptr, DI_NORMAL);
    ::DestroyIcon(icon);
}

// Looks 0, 1 (classic) and the pop-up items of 4, 5.
void DrawClassicPopup(CStyledMenu* pMenu, DRAWITEMSTRUCT* pDIS) {
    CStyledMenuItemData* p = (CStyledMenuItemData*)pDIS->itemData;
    HDC dc = pDIS->hDC;
    RECT rc = pDIS->rcItem;
    UINT state = pDIS->itemState;
    FillSolid(dc, rc, ::GetSysColor(COLOR_MENU));
    if (p->m_nFlags & MF_SEPARATOR) {
        if (p->m_nTitleFlags & 1) {
            pMenu->DrawMenuTitle(pDIS, FALSE);
            return;
        }
        RECT r = rc;
        r.top = (rc.top + rc.bottom) / 2;
        ::InflateRect(&r, -1, 0);
        ::DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
        return;
    }
    bool selected = (state & ODS_SELECTED) != 0;
    bool checked = (state & ODS_CHECKED) != 0;
    int imageW = pMenu->m_nImageWidth;
    RECT iconRc = {rc.left, rc.top, rc.left + imageW + 6, rc.bottom};
    RECT textRc = {iconRc.right + 4, rc.top, rc.right - 8, rc.bottom};
    if (selected) {
        RECT sel = rc;
        if (p->m_pIcons && p->m_nImage >= 0) sel.left = iconRc.right;
        FillSolid(dc, sel, ::GetSysColor(COLOR_HIGHLIGHT));
    }
    if (p->m_pIcons && p->m_nImage >= 0) {
        DrawItemIcon(pMenu, dc, p, rc, 0);
        if (selected || checked) {
            CDC::FromHandle(dc)->Draw3dRect(&iconRc,
                                            ::GetSysColor(checked ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT),
                                            ::GetSysColor(checked ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW));
        }
    } else if (!DrawItemCheck(pMenu, dc, p, iconRc, state) && IsSystemCommand(p->m_nID)) {
        CStyledMenu::DrawSystemGlyph(CDC::FromHandle(dc), iconRc, (UINT)p->m_nID, state,
                                     pMenu->m_nImageHeight, 1);
    }
    bool grey = (state & ODS_GRAYED) != 0;
    DrawClassicText(pMenu, dc, p, textRc, state,
                    ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT), grey && !selected);
}

// A classic pop-up item drawn off-screen first, so that it never flickers while it is built up.
void DrawClassicPopupBuffered(CStyledMenu* pMenu, const DRAWITEMSTRUCT* pDIS) {
    CStyledMemDC mem(pDIS->rcItem, pDIS->hDC);
    DRAWITEMSTRUCT dis = *pDIS;
    dis.hDC = mem.GetSafeHdc();
    DrawClassicPopup(pMenu, &dis);
}
}  // namespace

void CStyledMenu::DrawItem_Look0(DRAWITEMSTRUCT* pDIS, BOOL bMenuBar) {
    GuardOperation(1526, [&] {
        CStyledMenuItemData* p = ItemOf(pDIS->itemData);
        if (p == nullptr) return;
        if (!bMenuBar) {
            DrawClassicPopupBuffered(this, pDIS);
            return;
        }
        HDC dc = pDIS->hDC;
        RECT rc = pDIS->rcItem;
        FillSolid(dc, rc, GetMenuBarColor(m_hMenu));
        UINT state = pDIS->itemState;
        if (state & ODS_SELECTED) {
            RecordMenuBarItemRect(dc, &rc);
            CDC::FromHandle(dc)->Draw3dRect(&rc, ::GetSysColor(COLOR_BTNSHADOW),
                                            ::GetSysColor(COLOR_BTNHIGHLIGHT));
        } else if (state & ODS_HOTLIGHT) {
            CDC::FromHandle(dc)->Draw3dRect(&rc, ::GetSysColor(COLOR_BTNHIGHLIGHT),
                                            ::GetSysColor(COLOR_BTNSHADOW));
        }
        ScopedSelect fontSelection(dc, MenuFont()->GetSafeHandle());
        int oldMode = ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor((state & ODS_GRAYED) ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
        CString text = p->GetString(nullptr);
        DrawRotatedText(dc, text, text.GetLength(), &rc,
                        DT_SINGLELINE | DT_VCENTER | DT_CENTER | HidePrefixFlag(state));
        ::SetBkMode(dc, oldMode);
        fontSelection.Restore();
    });
}

void CStyledMenu::DrawItem_Look4(DRAWITEMSTRUCT* pDIS, BOOL bMenuBar) {
    GuardOperation(1523, [&] {
        CStyledMenuItemData* p = ItemOf(pDIS->itemData);
        if (p == nullptr) return;
        if (!bMenuBar) {
            DrawClassicPopupBuffered(this, pDIS);
            return;
        }
        HDC dc = pDIS->hDC;
        RECT rc = pDIS->rcItem;
        UINT state = pDIS->itemState;
        bool on = (state & (ODS_SELECTED | ODS_HOTLIGHT)) != 0;
        if (state & ODS_SELECTED) RecordMenuBarItemRect(dc, &rc);
        FillSolid(dc, rc, on ? ::GetSysColor(COLOR_HIGHLIGHT) : GetMenuBarColor(m_hMenu));
        NONCLIENTMETRICSA ncm = {};
        ncm.cbSize = sizeof(ncm);
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
        if (state & kStateVerticalBar) ncm.lfMenuFont.lfEscapement = ncm.lfMenuFont.lfOrientation = -900;
        ScopedFont font(::CreateFontIndirectA(&ncm.lfMenuFont));
        ScopedSelect fontSelection(dc, font);
        int oldMode = ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor((state & ODS_GRAYED) ? COLOR_GRAYTEXT
                                         : on                 ? COLOR_HIGHLIGHTTEXT
                                                              : COLOR_MENUTEXT));
        CString text = p->GetString(nullptr);
        DrawRotatedText(dc, text, text.GetLength(), &rc,
                        DT_SINGLELINE | DT_VCENTER | DT_CENTER | HidePrefixFlag(state));
        ::SetBkMode(dc, oldMode);
        fontSelection.Restore();
    });
}

void CStyledMenu::DrawItem_Look6(DRAWITEMSTRUCT* pDIS, BOOL bMenuBar) {
    GuardOperation(1525, [&] {
        CStyledMenuItemData* p = ItemOf(pDIS->itemData);
        if (p == nullptr) return;
        CStyledMemDC mem(pDIS->rcItem, pDIS->hDC);
        mem.m_bDiscard = bMenuBar;
        HDC dc = bMenuBar ? pDIS->hDC : mem.GetSafeHdc();
        CDC* pDC = CDC::FromHandle(dc);
        RECT rc = pDIS->rcItem;
        UINT state = pDIS->itemState;
        COLORREF bg = GetMenuBackColor(m_hMenu);
        RECT left = rc, right = rc;
        left.right = right.left = rc.left + m_nImageWidth + 8;
        DrawGradient(pDC, left, bg, DarkenColor(20, bg), TRUE, FALSE);
        FillSolid(dc, right, bg);
        if (p->m_nFlags & MF_SEPARATOR) {
            if (p->m_nTitleFlags & 1) {
                DrawMenuTitle(pDIS, bMenuBar);
                return;
            }
            int y = (rc.top + rc.bottom) / 2;
            RECT line = {right.left + 2, y, rc.right, y + 1};
            FillSolid(dc, line, DarkenColor(60, bg));
            return;
        }
        bool selected = (state & (ODS_SELECTED | ODS_HOTLIGHT)) != 0;
        if (selected) {
            if (bMenuBar && (state & ODS_SELECTED)) RecordMenuBarItemRect(pDIS->hDC, &pDIS->rcItem);
            DrawGradient(pDC, rc, bg, DarkenColor(40, bg), FALSE, FALSE);
            CBrush br;
            br.CreateSolidBrush(::GetSysColor(COLOR_HIGHLIGHT));
            ::FrameRect(dc, &rc, br);
        }
        if (!bMenuBar) {
            if (p->m_pIcons && p->m_nImage >= 0)
                DrawItemIcon(this, dc, p, rc, 0);
            else
                DrawItemCheck(this, dc, p, RECT{rc.left, rc.top, left.right, rc.bottom}, state);
        }
        RECT textRc = bMenuBar ? rc : RECT{left.right + 4, rc.top, rc.right - 8, rc.bottom};
        if (bMenuBar) {
            ScopedSelect fontSelection(dc, MenuFont()->GetSafeHandle());
            int oldMode = ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
            CString text = p->GetString(nullptr);
            DrawRotatedText(dc, text, text.GetLength(), &textRc, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
            ::SetBkMode(dc, oldMode);
            fontSelection.Restore();
        } else {
            DrawClassicText(this, dc, p, textRc, state,
                            ::GetSysColor((state & ODS_GRAYED) ? COLOR_GRAYTEXT
                                          : selected           ? COLOR_HIGHLIGHTTEXT
                                                               : COLOR_MENUTEXT),
                            false);
        }
    });
}

void CStyledMenu::DrawItem_Look2003(DRAWITEMSTRUCT* pDIS, BOOL bMenuBar) {
    GuardOperation(1522, [&] {
        CStyledMenuItemData* p = ItemOf(pDIS->itemData);
        if (p == nullptr) return;
        bool separator = (p->m_nFlags & MF_SEPARATOR) != 0;
        CStyledMemDC mem(pDIS->rcItem, pDIS->hDC);
        mem.m_bDiscard = bMenuBar || separator;
        HDC dc = mem.m_bDiscard ? pDIS->hDC : mem.GetSafeHdc();
        CDC* pDC = CDC::FromHandle(dc);
        RECT rc = pDIS->rcItem;
        UINT state = pDIS->itemState & ~ODS_INACTIVE;
        COLORREF menuBg = GetMenuBackColor(m_hMenu);
        COLORREF itemBg = BlendColor86(DarkenColor(10, ::GetSysColor(COLOR_WINDOW)), menuBg);
        COLORREF bar2003 = GetBarBaseColor();
        int style = GetCurrentStyle();
        bool rich = IsThemeActiveSafe() || style == 10 || style == 11;
        COLORREF selection = rich ? RGB(255, 238, 194) : GetSelectionColor();
        COLORREF pressed2 =
            rich ? RGB(254, 128, 62) : BlendColor70(GetSelectionColor(), ::GetSysColor(COLOR_HIGHLIGHT));
        (void)pressed2;
        bool vertical = (state & kStateVerticalBar) != 0;
        if (bMenuBar) state = BarItemState(state, p, m_nOpenPopups);
        bool hot = (state & ODS_HOTLIGHT) != 0;
        bool selected = (state & ODS_SELECTED) != 0 || hot;
        int imageW = m_nImageWidth;
        RECT iconCol = {rc.left, rc.top, rc.left + imageW + 8, rc.bottom};
        RECT textRc = {iconCol.right + 4, rc.top, rc.right - 15, rc.bottom};
        if (bMenuBar) {
            if (selected) {
                if (GetScreenColorCount() <= 256)
                    FillSolid(dc, rc, selection);
                else
                    DrawGradient(pDC, rc, bar2003, selection, FALSE, TRUE);
                if ((state & ODS_SELECTED) && !hot) {
                    RecordMenuBarItemRect(pDIS->hDC, &pDIS->rcItem);
                    DrawBarItemShadow(dc, pDIS->rcItem, vertical);
                }
            } else {
                MENUINFO mi = {};
                mi.cbSize = sizeof(mi);
                mi.fMask = MIM_BACKGROUND;
                if (::GetMenuInfo(m_hMenu, &mi) && mi.hbrBack)
                    ::FillRect(dc, &rc, mi.hbrBack);
                else
                    FillSolid(dc, rc, bar2003);
            }
            ScopedSelect fontSelection(dc, MenuFont()->GetSafeHandle());
            int oldMode = ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, ::GetSysColor((state & ODS_GRAYED) ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
            CString text = p->GetString(nullptr);
            RECT tr = rc;
            DrawRotatedText(dc, text, text.GetLength(), &tr,
                            DT_SINGLELINE | DT_VCENTER | DT_CENTER | HidePrefixFlag(state));
            ::SetBkMode(dc, oldMode);
            fontSelection.Restore();
            return;
        }
        DrawGradient(pDC, iconCol, bar2003, bar2003, TRUE, FALSE);
        RECT rest = {iconCol.right, rc.top, rc.right, rc.bottom};
        FillSolid(dc, rest, itemBg);
        if (separator) {
            if (p->m_nTitleFlags & 1) {
                DrawMenuTitle(pDIS, bMenuBar);
                return;
            }
            int y = (rc.top + rc.bottom) / 2;
            RECT line = {textRc.left, y, rc.right, y + 1};
            FillSolid(dc, line, ::GetSysColor(COLOR_GRAYTEXT));
            return;
        }
        if (selected) FillSolid(dc, rc, selection);
        bool disabled = (state & (ODS_GRAYED | ODS_DISABLED)) != 0;
        DrawItemIcon(this, dc, p, rc, disabled ? 2 : (selected ? 0 : 1));
        if ((state & ODS_CHECKED) && (p->m_pIcons == nullptr || p->m_nImage < 0)) {
            ::SetTextColor(dc, ::GetSysColor(COLOR_MENUTEXT));
            DrawGlyph(pDC, iconCol, 'b', FALSE);
        }
        DrawClassicText(this, dc, p, textRc, state,
                        (state & ODS_GRAYED) ? RGB(128, 128, 128) : ::GetSysColor(COLOR_MENUTEXT), false);
    });
}

void CStyledMenu::DrawTitle(DRAWITEMSTRUCT* pDIS, BOOL) {
    GuardOperation(1520, [&] {
        CStyledMenuItemData* p = ItemOf(pDIS->itemData);
        if (p == nullptr) return;
        auto* pTitle = p->IsKindOf(RUNTIME_CLASS(CStyledMenuItemDataTitle))
                           ? static_cast<CStyledMenuItemDataTitle*>(p)
                           : nullptr;
        COLORREF back = ::GetSysColor(COLOR_ACTIVECAPTION);
        COLORREF second = BlendColor86(::GetSysColor(COLOR_WINDOW), GetMenuBackColor(m_hMenu));
        COLORREF textColour = ::GetSysColor(COLOR_CAPTIONTEXT);
        if (pTitle) {
            if (pTitle->m_crBackground != 0xFF000000) back = pTitle->m_crBackground;
            if (pTitle->m_crGradientStart != 0xFF000000) second = pTitle->m_crGradientStart;
            if (pTitle->m_crText != 0xFF000000) textColour = pTitle->m_crText;
        }
        HDC dc = pDIS->hDC;
        CDC* pDC = CDC::FromHandle(dc);
        RECT rc;
        HWND hWnd = ::WindowFromDC(dc);
        if (hWnd)
            ::GetClientRect(hWnd, &rc);
        else
            ::GetClipBox(dc, &rc);
        UINT flags = p->m_nTitleFlags;
        bool side = (flags & 2) != 0;
        if (side) {
            rc.left = pDIS->rcItem.left;
            rc.right = pDIS->rcItem.right + ::GetSystemMetrics(SM_CXMENUCHECK);
        } else {
            rc.top = pDIS->rcItem.top;
            rc.bottom = pDIS->rcItem.bottom;
        }
        CSize icon(0, 0);
        if (p->m_pIcons && p->m_nImage >= 0) {
            icon = p->m_pIcons->GetIconSize();
            if (icon.cx || icon.cy) {
                icon.cx += 4;
                icon.cy += 4;
            }
        }
        if (flags & 4) {
            DrawGradient(pDC, rc, back, second, !side, FALSE);
        } else if (flags & 32) {
            CBrush br;
            br.CreateSolidBrush(back);
            ScopedSelect brushSelection(dc, br);
            ScopedSelect penSelection(dc, ::GetStockObject(NULL_PEN));
            ::RoundRect(dc, rc.left, rc.top, rc.right + 1, rc.bottom + 1, 10, 10);
            penSelection.Restore();
            brushSelection.Restore();
        } else {
            FillSolid(dc, rc, back);
        }
        if (flags & 8)
            pDC->Draw3dRect(&rc, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
        LOGFONTA lf = {};
        ::GetObjectA(MenuFont()->GetSafeHandle(), sizeof(lf), &lf);
        if (side) lf.lfEscapement = lf.lfOrientation = 900;
        ScopedFont font(::CreateFontIndirectA(&lf));
        ScopedSelect fontSelection(dc, font);
        int oldMode = ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, textColour);
        RECT textRc = rc;
        if (side) {
            textRc.bottom -= icon.cy;
        } else {
            textRc.left += icon.cx;
            if ((flags & 32) && !(flags & 64)) {
                SIZE ts = {0, 0};
                ::GetTextExtentPoint32A(dc, p->m_strText, p->m_strText.GetLength(), &ts);
                int free = (rc.right - rc.left) - ts.cx - icon.cx;
                textRc.left += (std::min)(10, (std::max)(0, free / 2));
            }
        }
        if (flags & 64) {
            SIZE ts = {0, 0};
            ::GetTextExtentPoint32A(dc, p->m_strText, p->m_strText.GetLength(), &ts);
            if (side)
                textRc.bottom -= (std::max)(0L, ((textRc.bottom - textRc.top) - ts.cx) / 2);
            else
                textRc.left += (std::max)(0L, ((textRc.right - textRc.left) - ts.cx) / 2 - 2);
        }
        DrawRotatedText(dc, p->m_strText, p->m_strText.GetLength(), &textRc, DT_SINGLELINE | DT_VCENTER);
        if (icon.cx) {
            HICON h = p->m_pIcons->m_imageList.ExtractIcon(p->m_nImage);
            if (h) {
                int x = side ? rc.left + 2 : rc.left + 2,
                    y = side ? textRc.bottom + 2 : rc.top + (rc.bottom - rc.top - icon.cy + 4) / 2;
                ::DrawIconEx(dc, x, y, h, icon.cx - 4, icon.cy - 4, 0, nullptr, DI_NORMAL);
                ::DestroyIcon(h);
            }
        }
        if (flags & 16) {
            COLORREF hi = ::GetSysColor(COLOR_BTNHIGHLIGHT), sh = ::GetSysColor(COLOR_BTNSHADOW);
            if (!side) {
                RECT a = {rc.left + 2, rc.bottom - 7, rc.right - 2, rc.bottom - 5};
                pDC->Draw3dRect(&a, hi, sh);
                RECT b = {a.left + 10, a.top + 3, a.right - 10, a.bottom + 3};
                pDC->Draw3dRect(&b, sh, hi);
            } else {
                RECT a = {rc.left + 20, rc.top + 5, rc.left + 22, rc.bottom - 5};
                pDC->Draw3dRect(&a, hi, sh);
                RECT b = {a.left + 3, a.top + 10, a.right + 3, a.bottom - 10};
                pDC->Draw3dRect(&b, sh, hi);
            }
        }
        ::SetBkMode(dc, oldMode);
        fontSelection.Restore();
    });
}
