// The formatting bar's font name and size boxes.
#include "bars/FontCombos.h"

#include <vector>

#include "bars/BarCanvas.h"

using namespace Gdiplus;

IMPLEMENT_DYNAMIC(CComboFont, AeroComboBox)
IMPLEMENT_DYNAMIC(CComboFontSize, AeroComboBox)

BEGIN_MESSAGE_MAP(CComboFont, AeroComboBox)
    ON_CONTROL_REFLECT(CBN_SELCHANGE, OnSelChange)
    ON_CONTROL_REFLECT(CBN_DROPDOWN, OnDropDown)
    ON_CONTROL_REFLECT(CBN_CLOSEUP, OnCloseUp)
    ON_CONTROL_REFLECT(CBN_SETFOCUS, OnSetFocusNotify)
    ON_WM_MOUSEWHEEL()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CComboFontSize, AeroComboBox)
    ON_CONTROL_REFLECT(CBN_SELCHANGE, OnSelChange)
    ON_CONTROL_REFLECT(CBN_CLOSEUP, OnCloseUp)
    ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {

const int kEditFieldHeight = 15;
const int kTextIndent = 5;
const REAL kItemFontPoints = 16.0f;

CString TrimmedRight(CString text) {
    text.TrimRight(' ');
    return text;
}

}  // namespace

void FocusCanvas() {
    BarCanvas* canvas = GetBarCanvas();
    if (HWND view = canvas ? canvas->GetViewWindow() : nullptr) ::SetFocus(view);
}

// ---- CComboFont ----

CComboFont::~CComboFont() {
    // The window is normally gone by now and its fonts with it.
}

void CComboFont::GetInstalledFontNames(CStringArray& names) {
    InstalledFontCollection collection;
    const INT count = collection.GetFamilyCount();
    if (count <= 0) return;
    std::vector<FontFamily> families(count);
    INT found = 0;
    collection.GetFamilies(count, families.data(), &found);
    for (INT i = 0; i < found; ++i) {
        WCHAR wide[LF_FACESIZE] = {};
        if (families[i].GetFamilyName(wide, LANG_NEUTRAL) != Ok) continue;
        char narrow[LF_FACESIZE * 2] = {};
        if (::WideCharToMultiByte(CP_THREAD_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr) == 0)
            continue;
        names.Add(narrow);
    }
}

void CComboFont::FillFontList() {
    m_fontListFilled = true;
    GuardOperation(3520, [&] {
        CStringArray names;
        GetInstalledFontNames(names);
        for (INT_PTR i = 0; i < names.GetSize(); ++i) AddString(names[i]);
    });
}

void CComboFont::EnsureFontList() {
    if (!m_fontListFilled && m_hWnd) FillFontList();
}

Font* CComboFont::MakeItemFont(const CString& name) {
    WCHAR wide[LF_FACESIZE * 2] = {};
    Font* font = nullptr;
    if (!name.IsEmpty() && ::MultiByteToWideChar(CP_THREAD_ACP, 0, name, -1, wide, LF_FACESIZE * 2) != 0) {
        FontFamily family(wide);
        if (family.GetLastStatus() == Ok) {
            const INT styles[4] = {FontStyleRegular, FontStyleBold, FontStyleItalic, FontStyleBoldItalic};
            INT style = FontStyleRegular;
            for (INT s : styles) {
                if (family.IsStyleAvailable(s)) {
                    style = s;
                    break;
                }
            }
            font = new Font(&family, kItemFontPoints, style, UnitPoint);
            if (font->GetLastStatus() != Ok) {
                delete font;
                font = nullptr;
            }
        }
    }
    if (!font) {
        // A name that does not convert, or a family that gives no font, is shown in the box's
        // own font.
        ScopedWindowDC dc(m_hWnd);
        HFONT boxFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
        if (dc)
            font = new Font(dc, boxFont ? boxFont : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    }
    return font;
}

Font* CComboFont::GetItemFont(int index) {
    if (index < 0 || index >= GetCount()) return nullptr;
    Font* font = static_cast<Font*>(GetItemDataPtr(index));
    if (font == reinterpret_cast<Font*>(CB_ERR)) font = nullptr;
    if (!font) {
        CString name;
        GetLBText(index, name);
        font = MakeItemFont(name);
        SetItemDataPtr(index, font);
    }
    return font;
}

void CComboFont::FreeItemFont(int index) {
    Font* font = static_cast<Font*>(GetItemDataPtr(index));
    if (font && font != reinterpret_cast<Font*>(CB_ERR)) delete font;
    SetItemDataPtr(index, nullptr);
}

void CComboFont::FreeAllItemFonts() {
    for (int i = 0; i < GetCount(); ++i) FreeItemFont(i);
}

void CComboFont::MeasureItem(LPMEASUREITEMSTRUCT measure) {
    GuardOperation(3521, [&] {
        if (static_cast<int>(measure->itemID) == -1) {
            measure->itemHeight = kEditFieldHeight;
            return;
        }
        const int index = static_cast<int>(measure->itemID);
        Font* font = GetItemFont(index);
        if (!font) return;
        CString name;
        GetLBText(index, name);
        WCHAR wide[256] = {};
        ::MultiByteToWideChar(CP_THREAD_ACP, 0, name, -1, wide, 256);
        ScopedWindowDC dc(m_hWnd);
        if (!dc) return;
        RectF bounds;
        {
            Graphics g(dc);
            g.SetTextRenderingHint(TextRenderingHintAntiAlias);
            g.MeasureString(wide, -1, font, PointF(0, 0), &bounds);
        }
        measure->itemHeight = static_cast<UINT>(bounds.Height);
        const int wanted = static_cast<int>(bounds.Width) + 20;
        if (wanted > GetDroppedWidth() && wanted < m_maxDropWidth) SetDroppedWidth(wanted);
    });
}

void CComboFont::DrawItem(LPDRAWITEMSTRUCT draw) {
    GuardOperation(3522, [&] {
        const int index = static_cast<int>(draw->itemID);
        if (index < 0) return;
        const bool selected = (draw->itemState & ODS_SELECTED) != 0;
        const COLORREF back = ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
        const COLORREF text = ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
        CDC* dc = CDC::FromHandle(draw->hDC);
        CRect item(draw->rcItem);
        dc->FillSolidRect(&item, back);
        Font* font = GetItemFont(index);
        CString name;
        GetLBText(index, name);
        if (font) {
            WCHAR wide[256] = {};
            ::MultiByteToWideChar(CP_THREAD_ACP, 0, name, -1, wide, 256);
            Graphics g(draw->hDC);
            g.SetTextRenderingHint(TextRenderingHintAntiAlias);
            SolidBrush brush(Color(255, GetRValue(text), GetGValue(text), GetBValue(text)));
            StringFormat format;
            format.SetLineAlignment(StringAlignmentCenter);
            format.SetFormatFlags(StringFormatFlagsNoWrap);
            RectF layout(static_cast<REAL>(item.left + kTextIndent), static_cast<REAL>(item.top),
                         static_cast<REAL>(item.Width()), static_cast<REAL>(item.Height()));
            g.DrawString(wide, -1, font, layout, &format, &brush);
        }
        const int recent = static_cast<int>(m_recentFonts.GetSize());
        if (recent > 0 && index == recent - 1) {
            // Two lines close the part of the recent names.
            CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
            ScopedSelect usePen(draw->hDC, pen.GetSafeHandle());
            for (int above : {1, 3}) {
                dc->MoveTo(item.left - 5, item.bottom - above);
                dc->LineTo(item.right, item.bottom - above);
            }
        }
    });
}

void CComboFont::RememberRecentFont(const CString& name) {
    // The recent names go above the sorted families: the families come first.
    EnsureFontList();
    int found = -1;
    for (INT_PTR i = 0; i < m_recentFonts.GetSize(); ++i)
        if (m_recentFonts[i] == name) found = static_cast<int>(i);
    int remove = found;
    if (found < 0 && m_recentFonts.GetSize() > 3) remove = 3;
    if (remove >= 0) {
        m_recentFonts.RemoveAt(remove);
        // The entry's font goes with it.
        FreeItemFont(remove);
        DeleteString(remove);
    }
    m_recentFonts.InsertAt(0, name);
    InsertString(0, name);
}

int CComboFont::FindSortedEntry(const CString& name) {
    EnsureFontList();
    const int first = FindStringExact(0, name);
    if (first == CB_ERR) return -1;
    const int second = FindStringExact(first, name);
    return second > first ? second : first;
}

void CComboFont::ApplyFontName() {
    GuardOperation(3523, [&] {
        EnsureFontList();
        BarCanvas* canvas = GetBarCanvas();
        if (!canvas) return;
        canvas->BeginUndoStep();
        canvas->RecordUndoValue("prevFont");
        CString name;
        const int selected = GetCurSel();
        if (selected != CB_ERR)
            GetLBText(selected, name);
        else
            GetWindowText(name);
        name = TrimmedRight(name);
        RememberRecentFont(name);
        canvas->SetFontName(name);
        canvas->UpdateTextLayout(false, true);
        canvas->RecordUndoValue("nextFont");
        canvas->EndUndoStep();
        const int entry = FindSortedEntry(name);
        SetCurSel(entry < 0 ? 0 : entry);
    });
}

void CComboFont::OnSelChange() {
    ApplyFontName();
}

void CComboFont::OnDropDown() {
    GuardOperation(3524, [&] {
        EnsureFontList();
        CString text;
        GetWindowText(text);
        SetWindowText(text + "   ");
    });
}

void CComboFont::OnSetFocusNotify() {
    // The keys move through the list from the edit field.
    GuardOperation(3529, [&] { EnsureFontList(); });
}

void CComboFont::OnCloseUp() {
    GuardOperation(3525, [&] {
        if (GetCurSel() == CB_ERR) {
            CString text;
            GetWindowText(text);
            const int entry = FindSortedEntry(TrimmedRight(text));
            if (entry >= 0) SetCurSel(entry);
        }
        FocusCanvas();
    });
}

BOOL CComboFont::OnMouseWheel(UINT flags, short delta, CPoint point) {
    BOOL result = TRUE;
    GuardOperation(3526, [&] {
        EnsureFontList();
        if (GetDroppedState()) {
            const int top = GetTopIndex();
            SetTopIndex(delta < 0 ? top + 1 : (top > 0 ? top - 1 : 0));
            return;
        }
        // The wheel never moves the selection up into the recent names.
        if (delta >= 0 && GetCurSel() <= static_cast<int>(m_recentFonts.GetSize())) return;
        (void)flags;
        (void)point;
        result = static_cast<BOOL>(Default());
    });
    return result;
}

BOOL CComboFont::PreTranslateMessage(MSG* msg) {
    GuardOperation(3527, [&] {
        if (msg->message == WM_KEYDOWN) EnsureFontList();
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
            ApplyFontName();
            FocusCanvas();
        }
    });
    return AeroComboBox::PreTranslateMessage(msg);
}

void CComboFont::OnDestroy() {
    GuardOperation(3528, [&] {
        FreeAllItemFonts();
        Default();
    });
}

// ---- CComboFontSize ----

bool CComboFontSize::IsKeyAllowed(UINT virtualKey) {
    return virtualKey == VK_BACK || virtualKey == VK_OEM_PERIOD || virtualKey == VK_LEFT ||
           virtualKey == VK_RIGHT || (virtualKey >= '0' && virtualKey <= '9');
}

void CComboFontSize::ApplyFontSize() {
    GuardOperation(3530, [&] {
        BarCanvas* canvas = GetBarCanvas();
        if (!canvas) return;
        canvas->BeginUndoStep();
        canvas->RecordUndoValue("prevFont");
        CString text;
        const int selected = GetCurSel();
        if (selected != CB_ERR)
            GetLBText(selected, text);
        else
            GetWindowText(text);
        canvas->SetFontSize(text);
        canvas->UpdateTextLayout(false, true);
        // The size AutoFit chooses is known only after the layout: shown by the timer.
        if (text == "AutoFit") SetTimer(kAutoFitTimer, 0);
        canvas->RecordUndoValue("nextFont");
        canvas->EndUndoStep();
    });
}

void CComboFontSize::OnSelChange() {
    ApplyFontSize();
}

void CComboFontSize::OnCloseUp() {
    GuardOperation(3531, [&] { FocusCanvas(); });
}

void CComboFontSize::OnTimer(UINT_PTR id) {
    GuardOperation(3532, [&] {
        if (id != kAutoFitTimer) {
            Default();
            return;
        }
        KillTimer(kAutoFitTimer);
        if (BarCanvas* canvas = GetBarCanvas()) canvas->ShowFontSize();
    });
}

BOOL CComboFontSize::PreTranslateMessage(MSG* msg) {
    BOOL consumed = FALSE;
    GuardOperation(3533, [&] {
        if (msg->message != WM_KEYDOWN) return;
        if (msg->wParam == VK_RETURN) {
            ApplyFontSize();
            FocusCanvas();
        }
        consumed = !IsKeyAllowed(static_cast<UINT>(msg->wParam));
    });
    return consumed ? TRUE : AeroComboBox::PreTranslateMessage(msg);
}

void CComboFontSize::MeasureItem(LPMEASUREITEMSTRUCT measure) {
    GuardOperation(3534, [&] {
        if (static_cast<int>(measure->itemID) == -1) {
            measure->itemHeight = kEditFieldHeight;
            return;
        }
        ScopedWindowDC dc(m_hWnd);
        ScopedSelect useFont(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
        SIZE extent = {0, 0};
        ::GetTextExtentPoint32A(dc, "Test", 4, &extent);
        measure->itemHeight = extent.cy + 1;
    });
}

void CComboFontSize::DrawItem(LPDRAWITEMSTRUCT draw) {
    GuardOperation(3535, [&] {
        const int index = static_cast<int>(draw->itemID);
        if (index < 0) return;
        const bool selected = (draw->itemState & ODS_SELECTED) != 0;
        CDC* dc = CDC::FromHandle(draw->hDC);
        CRect item(draw->rcItem);
        dc->FillSolidRect(&item, ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        CString text;
        GetLBText(index, text);
        ScopedSelect useFont(draw->hDC, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        CRect textRect = item;
        textRect.left += kTextIndent;
        dc->DrawText(text, &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    });
}
