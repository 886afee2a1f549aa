// Measuring and drawing of the owner-drawn items in the looks.
#include "controls/ThemeFill.h"
#include "controls/UxThemeLibrary.h"
#include "menu/MenuHelpers.h"
#include "menu/MenuTheme.h"
#include "menu/StyledMenu.h"

namespace {
int ClampByte(int v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

void FillSolid(HDC dc, const RECT& rc, COLORREF c) {
    CBrush br;
    br.CreateSolidBrush(c);
    ::FillRect(dc, &rc, br);
}
}  // namespace

// ---- item text with shortcuts ----
CString CStyledMenuItemData::GetString(HACCEL hAccel) {
    CString result = m_strText;
    GuardOperation(1491, [&] {
        if (m_nFlags & MF_POPUP) hAccel = nullptr;
        if (hAccel == (HACCEL)-1) {
            CWnd* pMain = AfxGetMainWnd();
            if (pMain == nullptr || !pMain->IsKindOf(RUNTIME_CLASS(CFrameWnd))) return;
            hAccel = static_cast<CFrameWnd*>(pMain)->m_hAccelTable;
        }
        int tab = m_strText.Find('\t');
        if (hAccel == nullptr) {
            if (tab >= 0) result = m_strText.Left(tab);
            return;
        }
        if (tab >= 0) return;
        int count = ::CopyAcceleratorTableA(hAccel, nullptr, 0);
        if (count <= 0) return;
        ACCEL* entries = new ACCEL[count];
        ::CopyAcceleratorTableA(hAccel, entries, count);
        CString keys;
        for (int i = 0; i < count; i++) {
            if (entries[i].cmd != (WORD)m_nID) continue;
            if (!keys.IsEmpty()) keys += ", ";
            if (entries[i].fVirt & FALT) keys += "Alt+";
            if (entries[i].fVirt & FCONTROL) keys += "Ctrl+";
            if (entries[i].fVirt & FSHIFT) keys += "Shift+";
            if (entries[i].fVirt & FVIRTKEY) {
                keys += KeyNameOfVirtualKey(entries[i].key);
            } else {
                keys += (char)entries[i].key;
            }
        }
        delete[] entries;
        if (!keys.IsEmpty()) result = m_strText + "\t" + keys;
    });
    return result;
}

// ---- shared routines ----
CFont* CStyledMenu::MenuFont() {
    static CFont* s_font = nullptr;
    if (s_font == nullptr) {
        NONCLIENTMETRICSA ncm = {};
        ncm.cbSize = sizeof(ncm);
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
        s_font = new CFont;
        s_font->CreateFontIndirect(&ncm.lfMenuFont);
    }
    return s_font;
}

void CStyledMenu::DrawRotatedText(HDC hDC, LPCTSTR lpsz, int nLen, RECT* pRect, UINT nFormat) {
    GuardOperation(1440, [&] {
        CString text = nLen < 0 ? CString(lpsz) : CString(lpsz, nLen);
        HFONT hFont = (HFONT)::GetCurrentObject(hDC, OBJ_FONT);
        LOGFONTA lf = {};
        ::GetObjectA(hFont, sizeof(lf), &lf);
        TEXTMETRICA tm = {};
        ::GetTextMetricsA(hDC, &tm);
        // A raster font cannot turn: Arial stands in for it.
        ScopedFont arial;
        ScopedSelect arialSelection(hDC, nullptr);
        if (!(tm.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) && (lf.lfEscapement || lf.lfOrientation)) {
            strcpy(lf.lfFaceName, "Arial");
            arial.Reset(::CreateFontIndirectA(&lf));
            arialSelection.Switch(arial);
            ::GetTextMetricsA(hDC, &tm);
        }
        bool rtl = (::GetLayout(hDC) & LAYOUT_RTL) != 0;
        UINT oldAlign = ::SetTextAlign(hDC, TA_UPDATECP | (rtl ? TA_RIGHT : 0));
        POINT oldPos;
        ::GetCurrentPositionEx(hDC, &oldPos);
        int esc = ((lf.lfEscapement % 3600) + 3600) % 3600;
        int th = tm.tmHeight;
        RECT& r = *pRect;
        int x = r.left + 4, y = r.top;
        if (nFormat & DT_VCENTER) {
            if (esc == 900) {
                x = r.left + (r.right - r.left - th) / 2;
                y = rtl ? r.top + 4 : r.bottom - 4;
            } else if (esc == 2700) {
                x = r.left + (r.right - r.left + th) / 2;
                y = rtl ? r.bottom - 4 : r.top + 4;
            } else if (esc == 1800) {
                y = r.top + (r.bottom - r.top + th) / 2;
                x = rtl ? r.left + 4 : r.right - 4;
            } else {
                y = r.top + (r.bottom - r.top - th) / 2;
                x = rtl ? r.right - 4 : r.left + 4;
            }
        }
        ::MoveToEx(hDC, x, y, nullptr);
        COLORREF textColour = ::GetTextColor(hDC);
        int i = 0, n = text.GetLength();
        while (i < n) {
            int j = i;
            while (j < n && text[j] != '&') j++;
            if (j > i) ::ExtTextOutA(hDC, 0, 0, ETO_CLIPPED, pRect, (LPCSTR)text + i, j - i, nullptr);
            if (j >= n) break;
            if (j + 1 < n && text[j + 1] == '&') {
                ::ExtTextOutA(hDC, 0, 0, ETO_CLIPPED, pRect, "&", 1, nullptr);
                i = j + 2;
                continue;
            }
            if (j + 1 >= n) break;
            POINT before;
            ::GetCurrentPositionEx(hDC, &before);
            ::ExtTextOutA(hDC, 0, 0, ETO_CLIPPED, pRect, (LPCSTR)text + j + 1, 1, nullptr);
            if (!(nFormat & DT_HIDEPREFIX)) {
                SIZE cs = {0, 0};
                ::GetTextExtentPoint32A(hDC, (LPCSTR)text + j + 1, 1, &cs);
                CBrush br;
                br.CreateSolidBrush(textColour);
                RECT ul;
                int base = tm.tmAscent + 1;
                if (esc == 900)
                    ul = {before.x + base, before.y - cs.cx, before.x + base + 1, before.y};
                else if (esc == 2700)
                    ul = {before.x - base - 1, before.y, before.x - base, before.y + cs.cx};
                else if (esc == 1800)
                    ul = {before.x - cs.cx, before.y - base - 1, before.x, before.y - base};
                else
                    ul = {before.x, before.y + base, before.x + cs.cx, before.y + base + 1};
                ::FillRect(hDC, &ul, br);
            }
            i = j + 2;
        }
        ::SetTextAlign(hDC, oldAlign);
        ::MoveToEx(hDC, oldPos.x, oldPos.y, nullptr);
        arialSelection.Restore();
    });
}

void CStyledMenu::DrawGlyph(CDC* pDC, const RECT& rect, char ch, BOOL bold) {
    GuardOperation(1616, [&] {
        RECT r = rect;
        ::InflateRect(&r, -2, -2);
        HFONT font = ::CreateFontA(r.bottom - r.top, 0, 0, 0, bold ? 700 : 400, 0, 0, 0, DEFAULT_CHARSET, 0,
                                   0, 0, 0, "Marlett");
        HDC dc = pDC->GetSafeHdc();
        ScopedSelect selection(dc, font, true);
        int mode = ::SetBkMode(dc, TRANSPARENT);
        char s[2] = {ch, 0};
        ::DrawTextA(dc, s, 1, &r, DT_SINGLELINE | DT_CENTER);
        ::SetBkMode(dc, mode);
    });
}

void CStyledMenu::DrawSystemGlyph(CDC* pDC, RECT rect, UINT nID, UINT nState, int nImageHeight, int variant) {
    static const int numbers[3] = {1613, 1614, 1615};
    GuardOperation(numbers[variant < 0 || variant > 2 ? 0 : variant], [&] {
        char ch;
        switch (nID & 0xFFF0) {
            case SC_MINIMIZE:
                ch = '0';
                break;
            case SC_MAXIMIZE:
                ch = '1';
                break;
            case SC_RESTORE:
                ch = '2';
                break;
            case SC_CLOSE:
                ch = 'r';
                break;
            default:
                return;
        }
        BOOL bold = (nState & ODS_DEFAULT) != 0;
        int grow = (nImageHeight - (rect.bottom - rect.top)) / 2;
        ::InflateRect(&rect, 0, grow);
        HDC dc = pDC->GetSafeHdc();
        bool grey = (nState & (ODS_GRAYED | ODS_INACTIVE)) != 0;
        bool selected = (nState & ODS_SELECTED) != 0;
        if (grey) {
            ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
            DrawGlyph(pDC, rect, ch, bold);
        } else if (variant == 0 && selected) {
            RECT r = rect;
            ::OffsetRect(&r, 1, 1);
            ::SetTextColor(dc, DarkenColor(128, GetSelectionColor()));
            DrawGlyph(pDC, r, ch, bold);
            ::OffsetRect(&r, -2, -2);
            ::SetTextColor(dc, ::GetSysColor(COLOR_MENUTEXT));
            DrawGlyph(pDC, r, ch, bold);
        } else {
            ::SetTextColor(dc,
                           ::GetSysColor(variant == 1 && selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
            DrawGlyph(pDC, rect, ch, bold);
        }
    });
}

void CStyledMenu::DrawGradient(CDC* pDC, const RECT& rect, COLORREF, COLORREF crEnd, BOOL bHorizontal,
                               BOOL bNearest) {
    GuardOperation(1461, [&] {
        HDC dc = pDC->GetSafeHdc();
        const COLORREF start = RGB(163, 199, 237);
        if (::GetDeviceCaps(dc, NUMCOLORS) == -1) bNearest = FALSE;
        auto pfn = CStyledMenuHook::s_pfnGradientFill;
        if (!bNearest && pfn) {
            TRIVERTEX v[2] = {};
            v[0].x = rect.left;
            v[0].y = rect.top;
            v[0].Red = (COLOR16)(GetRValue(start) << 8);
            v[0].Green = (COLOR16)(GetGValue(start) << 8);
            v[0].Blue = (COLOR16)(GetBValue(start) << 8);
            v[1].x = rect.right;
            v[1].y = rect.bottom;
            v[1].Red = (COLOR16)(GetRValue(crEnd) << 8);
            v[1].Green = (COLOR16)(GetGValue(crEnd) << 8);
            v[1].Blue = (COLOR16)(GetBValue(crEnd) << 8);
            GRADIENT_RECT gr = {0, 1};
            pfn(dc, v, 2, &gr, 1, bHorizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
            return;
        }
        FillSolid(dc, rect, crEnd);
        int length = bHorizontal ? rect.right - rect.left : rect.bottom - rect.top;
        int span = (std::max)(1, length - 2);
        for (int p = 0; p < length; p += 2) {
            auto ch = [&](int s, int e) { return s + MulDiv(e - s, p, span); };
            COLORREF c = RGB(ClampByte(ch(GetRValue(start), GetRValue(crEnd))),
                             ClampByte(ch(GetGValue(start), GetGValue(crEnd))),
                             ClampByte(ch(GetBValue(start), GetBValue(crEnd))));
            if (bNearest) c = ::GetNearestColor(dc, c);
            RECT strip = bHorizontal ? RECT{rect.left + p, rect.top,
                                            (std::min)((LONG)(rect.left + p + 2), rect.right), rect.bottom}
                                     : RECT{rect.left, rect.top + p, rect.right,
                                            (std::min)((LONG)(rect.top + p + 2), rect.bottom)};
            FillSolid(dc, strip, c);
        }
    });
}
