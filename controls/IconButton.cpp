#include "controls/IconButton.h"

#include <cstring>
#include <vector>

#include <shellapi.h>

#include "controls/AeroDialog.h"
#include "controls/ThemeApi.h"
#include "controls/ThemeFill.h"
#include "controls/ThemeResources.h"
#include "controls/UxThemeLibrary.h"
#include "controls/glass/GlassEngine.h"
#include "framework/graphics/DibHelpers.h"
#include "framework/win/Menu.h"

using namespace Gdiplus;

IMPLEMENT_DYNAMIC(CIconButton, CButton)

BEGIN_MESSAGE_MAP(CIconButton, CButton)
    ON_WM_CREATE()
    ON_WM_SETCURSOR()
    ON_WM_KILLFOCUS()
    ON_WM_MOUSEMOVE()
    ON_WM_SYSCOLORCHANGE()
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
    ON_WM_ACTIVATE()
    ON_WM_ENABLE()
    ON_WM_CANCELMODE()
    ON_WM_GETDLGCODE()
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_LBUTTONDOWN()
    ON_WM_ERASEBKGND()
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
    ON_WM_MOUSELEAVE()
    ON_MESSAGE(BM_SETCHECK, OnSetCheckMessage)
    ON_MESSAGE(BM_GETCHECK, OnGetCheckMessage)
END_MESSAGE_MAP()

namespace {

// Windows Vista or later: the glass look needs the desktop window manager.
bool SystemIsVistaOrLater() {
    OSVERSIONINFOA info = {};
    const bool ok = ReadSystemVersion(&info);
    return ok && info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 6;
}

}  // namespace

CIconButton::CIconButton() {
    GuardOperation(1269, [&] { SetDefaultColors(FALSE); });
}

CIconButton::~CIconButton() {
    GuardOperation(1270, [&] {
        FreeImages();
        FreeSavedBackground();
        if (m_menu) ::DestroyMenu(m_menu);
        m_menu = nullptr;
        if (m_cursor) ::DestroyCursor(m_cursor);
        m_cursor = nullptr;
        delete m_glassRendering;
        m_glassRendering = nullptr;
        m_caption.Empty();
    });
}

bool CIconButton::IsParentGlassDialog() const {
    const AeroDialog* dialog =
        dynamic_cast<const AeroDialog*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
    return dialog && dialog->m_glassMode == 1;
}

void CIconButton::InitControl() {
    GuardOperation(2344, [&] {
        HFONT font = m_boldFont ? g_arialBoldFont : (m_plainFont ? g_uiFont : g_uiScaledFont);
        if (font) SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (!m_caption.IsEmpty()) SetWindowText(m_caption);
        if (IsParentGlassDialog()) m_glassRequest = 1;
        if (!SystemIsVistaOrLater()) m_glassRequest = 0;
        int request = m_glassRequest;
        if (request == 1) {
            if (GlassCompositionEnabled()) {
                m_look = kLookGlass;
                return;
            }
            request = 2;
        }
        if (request == 2)
            m_look = g_uxTheme.IsAppThemed() ? kLookThemed : kLookPlain;
        else
            m_look = kLookPlain;
    });
}

void CIconButton::PreSubclassWindow() {
    GuardOperation(1272, [&] {
        InitControl();
        const DWORD style = GetStyle();
        m_buttonType = static_cast<int>(style & BS_TYPEMASK);
        if (m_buttonType == BS_CHECKBOX || m_buttonType == BS_AUTOCHECKBOX || m_buttonType == BS_3STATE ||
            m_buttonType == BS_AUTO3STATE)
            m_checkBoxMode = TRUE;
        if (m_buttonType == BS_DEFPUSHBUTTON) {
            m_defaultButton = TRUE;
            m_buttonType = 0;
        }
        if (m_look == kLookPlain) ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW, SWP_FRAMECHANGED);
    });
    CButton::PreSubclassWindow();
}

int CIconButton::OnCreate(LPCREATESTRUCT createStruct) {
    int result = 0;
    GuardOperation(2350, [&] {
        result = CButton::OnCreate(createStruct);
        if (result != -1) InitControl();
    });
    return result;
}

UINT CIconButton::OnGetDlgCode() {
    UINT code = 0;
    GuardOperation(1273, [&] {
        code = static_cast<UINT>(Default()) & ~(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
        code |= m_defaultButton ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
    });
    return code;
}

BOOL CIconButton::PreTranslateMessage(MSG* msg) {
    BOOL result = FALSE;
    GuardOperation(1274, [&] {
        InitToolTip();
        m_toolTip.RelayEvent(msg);
        // A double click counts as a second click.
        if (msg->message == WM_LBUTTONDBLCLK) msg->message = WM_LBUTTONDOWN;
        result = CButton::PreTranslateMessage(msg);
    });
    return result;
}

void CIconButton::OnSysColorChange() {
    GuardOperation(1275, [&] {
        CButton::OnSysColorChange();
        // The saved face follows the new colours.
        FreeSavedBackground();
        Invalidate();
    });
}

LRESULT CIconButton::OnSetStyle(WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    GuardOperation(1276, [&] {
        const UINT type = static_cast<UINT>(wParam) & BS_TYPEMASK;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) m_defaultButton = type == BS_DEFPUSHBUTTON;
        WPARAM style = wParam;
        if (m_look == kLookPlain) style = (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW;
        result = DefWindowProc(BM_SETSTYLE, style, lParam);
    });
    return result;
}

LRESULT CIconButton::OnSetCheckMessage(WPARAM wParam, LPARAM) {
    GuardOperation(1277,
                   [&] { SetCheck(wParam == BST_CHECKED || wParam == BST_INDETERMINATE ? 1 : 0, TRUE); });
    return 0;
}

LRESULT CIconButton::OnGetCheckMessage(WPARAM, LPARAM) {
    return m_ticked;
}

void CIconButton::CancelHover() {
    if (m_hoverTracking && m_mouseOver) {
        m_mouseOver = FALSE;
        Invalidate();
    }
}

void CIconButton::OnEnable(BOOL enable) {
    GuardOperation(1279, [&] {
        CButton::OnEnable(enable);
        if (enable || m_look != kLookPlain) return;
        CancelHover();
        // A disabled button cannot keep the focus: give it to the next tab item.
        if (::GetFocus() == m_hWnd) {
            HWND parent = ::GetParent(m_hWnd);
            HWND next = parent ? ::GetNextDlgTabItem(parent, m_hWnd, FALSE) : nullptr;
            if (next && next != m_hWnd)
                ::SetFocus(next);
            else if (parent)
                ::SetFocus(parent);
        }
    });
}

void CIconButton::OnKillFocus(CWnd* newWnd) {
    GuardOperation(1280, [&] {
        CButton::OnKillFocus(newWnd);
        if (m_look == kLookPlain) CancelHover();
    });
}

void CIconButton::OnActivate(UINT state, CWnd* other, BOOL minimized) {
    GuardOperation(1281, [&] {
        CButton::OnActivate(state, other, minimized);
        if (state == WA_INACTIVE && m_look == kLookPlain) CancelHover();
    });
}

void CIconButton::OnCancelMode() {
    GuardOperation(1282, [&] {
        CButton::OnCancelMode();
        if (m_look == kLookPlain) CancelHover();
    });
}

BOOL CIconButton::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
    BOOL result = FALSE;
    GuardOperation(1283, [&] {
        if (m_linkTarget[0] && g_handCursor) {
            ::SetCursor(g_handCursor);
            result = TRUE;
        } else if (m_cursor) {
            ::SetCursor(m_cursor);
            result = TRUE;
        } else {
            result = CButton::OnSetCursor(wnd, hitTest, message);
        }
    });
    return result;
}

void CIconButton::OnMouseMove(UINT flags, CPoint point) {
    GuardOperation(1285, [&] {
        CButton::OnMouseMove(flags, point);
        if (m_look != kLookPlain) return;
        if ((flags & MK_LBUTTON) && !m_mouseOver) return;
        if (!m_hoverTracking) return;
        POINT screen = point;
        ClientToScreen(&screen);
        const bool overUs = ::WindowFromPoint(screen) == m_hWnd;
        if (overUs && (m_alwaysTrack || ::GetActiveWindow() != nullptr)) {
            if (!m_mouseOver) {
                m_mouseOver = TRUE;
                Invalidate();
                TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
                ::TrackMouseEvent(&track);
            }
        } else {
            CancelHover();
        }
    });
}

void CIconButton::OnMouseLeave() {
    GuardOperation(1286, [&] {
        if (m_look == kLookPlain) CancelHover();
        Default();
    });
}

void CIconButton::OnLButtonDown(UINT flags, CPoint point) {
    GuardOperation(1326, [&] {
        if (m_toolTip.GetSafeHwnd()) m_toolTip.Pop();
        CButton::OnLButtonDown(flags, point);
    });
}

BOOL CIconButton::OnEraseBkgnd(CDC*) {
    return FALSE;
}

BOOL CIconButton::OnClicked() {
    GuardOperation(1287, [&] {
        SetFocus();
        if (m_checkBoxMode) {
            m_ticked = !m_ticked;
            Invalidate();
        } else if (m_menu) {
            m_menuShowing = TRUE;
            Invalidate();
            UpdateWindow();
            HMENU popup = ::GetSubMenu(m_menu, 0);
            if (m_menuCallbackWindow)
                ::SendMessage(m_menuCallbackWindow, m_menuCallbackMessage, reinterpret_cast<WPARAM>(popup),
                              m_menuCallbackParam);
            RECT r;
            GetWindowRect(&r);
            CMenuLoopScope loop;
            const UINT command = popup ? static_cast<UINT>(::TrackPopupMenuEx(
                                             popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, r.left,
                                             r.bottom, m_menuOwner ? m_menuOwner : m_hWnd, nullptr))
                                       : 0;
            m_menuShowing = FALSE;
            Invalidate();
            if (command && m_menuOwner) ::PostMessage(m_menuOwner, WM_COMMAND, command, 0);
        } else if (m_linkTarget[0]) {
            HCURSOR previous = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
            OpenLinkTarget(m_hWnd, m_linkTarget);
            ::SetCursor(previous);
        }
    });
    return FALSE;  // the parent receives the click as well
}

HBRUSH CIconButton::CtlColor(CDC* dc, UINT) {
    HBRUSH brush = nullptr;
    GuardOperation(2348, [&] {
        dc->SetBkMode(TRANSPARENT);
        if (m_look == kLookThemed) {
            brush = g_backgroundBrush ? g_backgroundBrush : static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
        } else if (m_look == kLookGlass) {
            RECT client;
            GetClientRect(&client);
            FillGlassTint(dc->GetSafeHdc(), client);
            brush = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
        } else {
            brush = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
        }
    });
    return brush;
}

// ---- images ----

void CIconButton::FreeImages() {
    for (IconSlot& slot : m_icons) {
        if (slot.icon && slot.owned) ::DestroyIcon(slot.icon);
        slot = IconSlot();
    }
    for (BitmapSlot& slot : m_bitmaps) slot = BitmapSlot();  // the bitmaps go with their owners
}

HICON CIconButton::MakeIconCopy(HICON icon, bool dark) {
    HICON copy = nullptr;
    GuardOperation(dark ? 1298 : 3312, [&] {
        ICONINFO info = {};
        if (!::GetIconInfo(icon, &info)) return;
        ScopedBitmap infoColour(info.hbmColor), infoMask(info.hbmMask);  // GetIconInfo's copies
        BITMAP bm = {};
        HBITMAP colour = info.hbmColor;
        if (colour && ::GetObject(colour, sizeof(bm), &bm) && bm.bmWidth > 0 && bm.bmHeight > 0) {
            BITMAPINFO bi = MakeTopDownDibInfo(bm.bmWidth, bm.bmHeight, 32);
            std::vector<DWORD> pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
            ScopedWindowDC screen(nullptr);
            if (::GetDIBits(screen, colour, 0, bm.bmHeight, pixels.data(), &bi, DIB_RGB_COLORS)) {
                for (DWORD& p : pixels) {
                    const DWORD alpha = p & 0xFF000000u;
                    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
                    if (r == 0 && g == 0 && b == 0) continue;
                    int nr, ng, nb;
                    if (dark) {
                        nr = static_cast<int>(r - r * 0.25);
                        ng = static_cast<int>(g - g * 0.25);
                        nb = static_cast<int>(b - b * 0.25);
                    } else {
                        nr = ng = nb = static_cast<int>(0.299 * r + 0.587 * g + 0.114 * b);
                    }
                    p = alpha | (static_cast<DWORD>(nr) << 16) | (static_cast<DWORD>(ng) << 8) |
                        static_cast<DWORD>(nb);
                }
                void* bits = nullptr;
                ScopedBitmap section = CreateTopDownDibSection(screen, bm.bmWidth, bm.bmHeight, 32, &bits);
                if (section && bits) {
                    std::memcpy(bits, pixels.data(), pixels.size() * sizeof(DWORD));
                    ICONINFO made = info;
                    made.hbmColor = section;
                    copy = ::CreateIconIndirect(&made);
                }
            }
        }
    });
    return copy;
}

DWORD CIconButton::SetIcon(HICON icon, HICON second) {
    DWORD result = 0;
    GuardOperation(1301, [&] {
        // Wine's button keeps two bitmaps of every icon it is given, so the same icon is not
        // handed to it again.
        if (m_hWnd && reinterpret_cast<HICON>(SendMessage(BM_GETIMAGE, IMAGE_ICON, 0)) != icon)
            SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
        FreeImages();
        if (!icon) {
            if (m_hWnd) Invalidate();
            return;
        }
        ICONINFO info = {};
        if (!::GetIconInfo(icon, &info)) {
            FreeImages();
            result = 1;
            return;
        }
        ScopedBitmap infoColour(info.hbmColor), infoMask(info.hbmMask);  // GetIconInfo's copies
        m_icons[0].icon = icon;
        m_icons[0].width = static_cast<int>(info.xHotspot * 2);
        m_icons[0].height = static_cast<int>(info.yHotspot * 2);
        if (second == GreyCopyRequest() || second == DarkCopyRequest()) {
            m_icons[1].icon = MakeIconCopy(icon, second == DarkCopyRequest());
            m_icons[1].owned = m_icons[1].icon != nullptr;
        } else {
            m_icons[1].icon = second;
        }
        if (m_icons[1].icon) {
            m_icons[1].width = m_icons[0].width;
            m_icons[1].height = m_icons[0].height;
        }
        if (m_hWnd) Invalidate();
    });
    return result;
}

DWORD CIconButton::SetAlign(BYTE alignment, BOOL repaint) {
    if (alignment > 3) return 4;
    m_alignment = alignment;
    if (repaint && m_hWnd) Invalidate();
    return 0;
}

void CIconButton::InitToolTip() {
    GuardOperation(1315, [&] {
        if (m_toolTip.GetSafeHwnd() || !m_hWnd) return;
        m_toolTip.Create(this, m_toolTipStyle);
        m_toolTip.Activate(FALSE);
        m_toolTip.SetMaxTipWidth(400);
    });
}

DWORD CIconButton::SetTooltipText(LPCTSTR text, BOOL activate) {
    GuardOperation(1317, [&] {
        if (!text || !m_hWnd) return;
        InitToolTip();
        if (!m_toolTip.GetSafeHwnd()) return;
        if (m_toolTip.GetToolCount() == 0) {
            RECT client;
            GetClientRect(&client);
            m_toolTip.AddTool(this, text, &client, 1);
        }
        m_toolTip.UpdateTipText(text, this, 1);
        m_toolTip.Activate(activate);
    });
    return 0;
}

void CIconButton::FreeSavedBackground() {
    m_savedBackground.Reset();
}

DWORD CIconButton::DrawTransparent(BOOL repaint) {
    m_transparent = TRUE;
    FreeSavedBackground();
    if (repaint && m_hWnd) Invalidate();
    return 0;
}

DWORD CIconButton::SetURL(LPCTSTR target) {
    std::memset(m_linkTarget, 0, sizeof(m_linkTarget));
    if (target) std::strncpy(m_linkTarget, target, sizeof(m_linkTarget) - 1);
    return 0;
}

DWORD CIconButton::SetDefaultColors(BOOL repaint) {
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE), text = ::GetSysColor(COLOR_BTNTEXT);
    for (int i = 0; i < 6; i += 2) {
        m_colours[i] = face;
        m_colours[i + 1] = text;
    }
    if (repaint && m_hWnd) Invalidate();
    return 0;
}

DWORD CIconButton::SetCheck(int check, BOOL repaint) {
    if (m_checkBoxMode) {
        m_ticked = check != 0;
        if (repaint && m_hWnd) Invalidate();
    }
    return 0;
}

DWORD CIconButton::SetPressedStyle(int style) {
    switch (style) {
        case 0:
            m_pressedOffsetX = 1;
            m_pressedOffsetY = 1;
            return 0;
        case 1:
            m_pressedOffsetX = 0;
            m_pressedOffsetY = 2;
            return 0;
        default:
            return 6;
    }
}

// ---- drawing ----

void CIconButton::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    if (m_look != kLookPlain || !drawItem) return;
    GuardOperation(1288, [&] {
        CDC* dc = CDC::FromHandle(drawItem->hDC);
        const UINT state = drawItem->itemState;
        if (!m_checkBoxMode)
            m_pressed = (state & ODS_SELECTED) || (m_menuShowing && m_menu);
        else
            m_pressed = (state & ODS_SELECTED) || m_ticked;
        m_focused = (state & ODS_FOCUS) != 0;
        m_disabled = (state & ODS_DISABLED) != 0;
        RECT item = drawItem->rcItem;
        dc->SetBkMode(TRANSPARENT);
        if (!m_transparent) {
            OnDrawBackground(dc, &item);
        } else {
            GuardOperation(1289, [&] {
                if (!m_savedBackground.Get()) {
                    RECT client;
                    GetClientRect(&client);
                    m_savedBackground = ScopedMemoryDC(g_backgroundDC1);
                    m_savedBackground.Select(
                        ::CreateCompatibleBitmap(g_backgroundDC1 ? g_backgroundDC1 : drawItem->hDC,
                                                 client.right, client.bottom),
                        true);
                    TileThemeBackground(m_savedBackground, client, 0, 0, 1);
                }
                ::BitBlt(drawItem->hDC, item.left, item.top, item.right - item.left, item.bottom - item.top,
                         m_savedBackground, item.left, item.top, SRCCOPY);
            });
        }
        OnDrawBorder(dc, &item);

        CString caption;
        GetWindowText(caption);
        caption.TrimLeft(' ');
        ScopedSelect font(drawItem->hDC, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));

        RECT captionRect = drawItem->rcItem;
        RECT itemRect = drawItem->rcItem;
        const BOOL hasCaption = !caption.IsEmpty();
        if (m_icons[0].icon) DrawIcon(dc, hasCaption, &itemRect, &captionRect, m_pressed, m_disabled);
        if (m_bitmaps[0].bitmap) {
            dc->SetBkColor(RGB(255, 255, 255));
            DrawBitmap(dc, hasCaption, &itemRect, &captionRect, m_pressed, m_disabled);
        }
        if (hasCaption) DrawCaption(dc, caption, &itemRect, &captionRect, m_pressed, m_disabled);
        font.Restore();

        if (m_focused && (!m_hoverTracking || m_flatFocus)) {
            RECT focus = drawItem->rcItem;
            ::InflateRect(&focus, -3, -3);
            ::DrawFocusRect(drawItem->hDC, &focus);
        }
    });
}

DWORD CIconButton::OnDrawBackground(CDC* dc, RECT* rect) {
    GuardOperation(1324, [&] {
        RECT r = *rect;
        if (!m_hoverTracking && (m_focused || m_defaultButton)) {
            HBRUSH black = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
            ::FrameRect(dc->GetSafeHdc(), &r, black);
            ::InflateRect(&r, -1, -1);
        }
        COLORREF face;
        if (m_mouseOver || m_pressed)
            face = m_colours[0];
        else if (m_focused)
            face = m_colours[4];
        else
            face = m_colours[2];
        CBrush brush;
        brush.CreateSolidBrush(face);
        ::FillRect(dc->GetSafeHdc(), &r, brush);
    });
    return 0;
}

DWORD CIconButton::OnDrawBorder(CDC* dc, RECT* rect) {
    GuardOperation(1325, [&] {
        HDC hdc = dc->GetSafeHdc();
        const RECT r = *rect;
        auto line = [hdc](int colourIndex, const POINT* points, int count) {
            CPen pen;
            pen.CreatePen(PS_SOLID, 1, ::GetSysColor(colourIndex));
            ScopedSelect select(hdc, pen);
            ::Polyline(hdc, points, count);
        };
        if (m_pressed) {
            if (m_hoverTracking) {
                if (m_drawBorder)
                    dc->Draw3dRect(&r, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
            } else {
                CBrush brush;
                brush.CreateSolidBrush(::GetSysColor(COLOR_BTNSHADOW));
                ::FrameRect(hdc, &r, brush);
            }
        } else if (!m_hoverTracking) {
            const POINT highlight[] = {{r.left, r.bottom - 1}, {r.left, r.top}, {r.right, r.top}};
            const POINT light[] = {
                {r.left + 1, r.bottom - 2}, {r.left + 1, r.top + 1}, {r.right - 1, r.top + 1}};
            const POINT dark[] = {
                {r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}, {r.right - 1, r.top - 1}};
            const POINT shadow[] = {
                {r.left + 1, r.bottom - 2}, {r.right - 2, r.bottom - 2}, {r.right - 2, r.top}};
            line(COLOR_BTNHIGHLIGHT, highlight, 3);
            line(COLOR_3DLIGHT, light, 3);
            line(COLOR_3DDKSHADOW, dark, 3);
            line(COLOR_BTNSHADOW, shadow, 3);
        } else if (m_mouseOver && m_drawBorder) {
            dc->Draw3dRect(&r, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
        }
    });
    return 0;
}

void CIconButton::PrepareImageRect(BOOL hasCaption, RECT* itemRect, RECT* captionRect, BOOL pressed,
                                   int imageWidth, int imageHeight, RECT* imageRect) {
    GuardOperation(1291, [&] {
        const RECT item = *itemRect;
        const int itemWidth = item.right - item.left, itemHeight = item.bottom - item.top;
        *imageRect = item;
        switch (m_alignment) {
            case 0:
                if (!hasCaption) {
                    imageRect->left += 1;
                } else if (!m_freeCaptionLayout) {
                    imageRect->left += m_imageMarginX;
                    captionRect->left += m_imageMarginX + imageWidth;
                } else {
                    // Image and caption centred together.
                    CString caption;
                    GetWindowText(caption);
                    SIZE text = {0, 0};
                    ScopedWindowDC dc(m_hWnd);
                    ScopedSelect font(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
                    ::GetTextExtentPoint32A(dc, caption, caption.GetLength(), &text);
                    int left = ((itemWidth - text.cx - text.cy / 2 - imageWidth) >> 1) + 1;
                    if (left < 0) left = 0;
                    imageRect->left = item.left + left;
                    captionRect->left = imageRect->left + text.cy / 2 + imageWidth;
                }
                imageRect->top += (itemHeight - imageHeight) / 2;
                break;
            case 1:
                imageRect->left += (itemWidth - imageWidth) / 2;
                if (hasCaption) {
                    imageRect->top += m_imageMarginY;
                    captionRect->top += imageHeight + m_imageMarginY;
                } else {
                    imageRect->top += (itemHeight - imageHeight) / 2;
                }
                break;
            case 2:
                if (!hasCaption) {
                    imageRect->left += (itemWidth - imageWidth) / 2;
                } else {
                    captionRect->left += m_imageMarginX;
                    captionRect->right = item.right - m_imageMarginX - imageWidth;
                    RECT client;
                    GetClientRect(&client);
                    imageRect->left = client.right - m_imageMarginX - imageWidth;
                }
                imageRect->top += (itemHeight - imageHeight) / 2;
                break;
            default:
                break;
        }
        imageRect->right = imageRect->left + imageWidth;
        imageRect->bottom = imageRect->top + imageHeight;
        if (pressed && !m_checkBoxMode) ::OffsetRect(imageRect, m_pressedOffsetX, m_pressedOffsetY);
    });
}

void CIconButton::DrawIcon(CDC* dc, BOOL hasCaption, RECT* itemRect, RECT* captionRect, BOOL pressed,
                           BOOL disabled) {
    GuardOperation(1292, [&] {
        int index = 0;
        if (!m_checkBoxMode)
            index = (m_icons[1].icon && !pressed && !m_mouseOver) ? 1 : 0;
        else
            index = (m_icons[1].icon && !pressed) ? 1 : 0;
        const IconSlot& slot = m_icons[index];
        RECT image;
        PrepareImageRect(hasCaption, itemRect, captionRect, pressed, slot.width, slot.height, &image);
        ::DrawState(dc->GetSafeHdc(), nullptr, nullptr, reinterpret_cast<LPARAM>(slot.icon), 0, image.left,
                    image.top, image.right - image.left, image.bottom - image.top,
                    DST_ICON | (disabled ? DSS_DISABLED : 0));
    });
}

void CIconButton::DrawBitmap(CDC* dc, BOOL hasCaption, RECT* itemRect, RECT* captionRect, BOOL pressed,
                             BOOL disabled) {
    GuardOperation(1293, [&] {
        int index = 0;
        if (!m_checkBoxMode)
            index = (m_bitmaps[1].bitmap && !pressed && !m_mouseOver) ? 1 : 0;
        else
            index = (m_bitmaps[1].bitmap && !pressed) ? 1 : 0;
        const BitmapSlot& slot = m_bitmaps[index];
        RECT image;
        PrepareImageRect(hasCaption, itemRect, captionRect, pressed, slot.width, slot.height, &image);
        HDC hdc = dc->GetSafeHdc();
        ScopedMemoryDC source(hdc);
        // The mask is ANDed and the colours ORed in; without a mask the bitmap is copied.
        auto blit = [&](HDC to, int x, int y) {
            source.Select(slot.mask ? slot.mask.Get() : slot.bitmap.Get(), false);
            if (slot.mask) {
                ::BitBlt(to, x, y, slot.width, slot.height, source, 0, 0, SRCAND);
                source.Select(slot.bitmap, false);
                ::BitBlt(to, x, y, slot.width, slot.height, source, 0, 0, SRCPAINT);
            } else {
                ::BitBlt(to, x, y, slot.width, slot.height, source, 0, 0, SRCCOPY);
            }
        };
        if (!disabled || !m_greyDisabledBitmap) {
            blit(hdc, image.left, image.top);
        } else {
            // Composed on a white ground first, then drawn greyed.
            ScopedBitmap composed(::CreateCompatibleBitmap(hdc, slot.width, slot.height));
            {
                ScopedMemoryDC target(hdc);
                target.Select(composed, false);
                RECT all = {0, 0, slot.width, slot.height};
                ::FillRect(target, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
                blit(target, 0, 0);
            }
            ::DrawState(hdc, nullptr, nullptr, reinterpret_cast<LPARAM>(composed.Get()), 0, image.left,
                        image.top, slot.width, slot.height, DST_BITMAP | DSS_DISABLED);
        }
    });
}

void CIconButton::DrawCaption(CDC* dc, const CString& caption, RECT* itemRect, RECT* captionRect,
                              BOOL pressed, BOOL disabled) {
    (void)itemRect;
    GuardOperation(1294, [&] {
        HDC hdc = dc->GetSafeHdc();
        RECT r = *captionRect;
        if (pressed && !m_checkBoxMode) ::OffsetRect(&r, m_pressedOffsetX, m_pressedOffsetY);
        UINT format = DT_WORDBREAK | (m_freeCaptionLayout ? 0 : DT_CENTER);
        RECT measured = r;
        ::DrawTextA(hdc, caption, -1, &measured, format | DT_CALCRECT);
        const int textWidth = measured.right - measured.left, textHeight = measured.bottom - measured.top;
        if (!m_freeCaptionLayout) {
            const int top = r.top + ((r.bottom - r.top) - textHeight) / 2;
            r.top = top;
            r.bottom = top + textHeight;
            ::OffsetRect(&r, 7, 0);
        } else if (!m_icons[0].icon || m_alignment != 0) {
            const int left = r.left + ((r.right - r.left) - textWidth) / 2;
            const int top = r.top + ((r.bottom - r.top) - textHeight) / 2;
            r = {left, top, left + textWidth, top + textHeight};
        } else {
            const int top = r.top + ((r.bottom - r.top) - textHeight) / 2;
            r.top = top;
            r.bottom = top + textHeight;
            r.right = r.left + textWidth;
        }
        ::SetBkMode(hdc, TRANSPARENT);
        if (!disabled) {
            COLORREF text, face;
            if (m_mouseOver || pressed) {
                face = m_colours[0];
                text = m_colours[1];
            } else if (m_focused) {
                face = m_colours[4];
                text = m_colours[5];
            } else {
                face = m_colours[2];
                text = m_colours[3];
            }
            ::SetTextColor(hdc, text);
            ::SetBkColor(hdc, face);
            ::DrawTextA(hdc, caption, -1, &r, format);
        } else {
            RECT shifted = r;
            ::OffsetRect(&shifted, 1, 1);
            ::SetTextColor(hdc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
            ::DrawTextA(hdc, caption, -1, &shifted, format);
            ::SetTextColor(hdc, ::GetSysColor(COLOR_BTNSHADOW));
            ::DrawTextA(hdc, caption, -1, &r, format);
        }
    });
}

// ---- glass ----

void CIconButton::RenderGlass() {
    GuardOperation(2346, [&] {
        RECT client;
        GetClientRect(&client);
        const int w = client.right, h = client.bottom;
        if (w <= 0 || h <= 0) return;
        void* bits = nullptr;
        ScopedMemoryDC memory(nullptr);
        if (!memory.Select(CreateTopDownDibSection(memory, w, h, 32, &bits).Release(), true) || !bits) return;
        UxThemeApi& theme = UxTheme();
        HTHEME data = theme.OpenThemeData(m_hWnd, L"Button");
        if (!data) {
            // Without the visual style there is nothing to draw the glass look with: no rendering,
            // so that custom draw lets the system draw the button.
            delete m_glassRendering;
            m_glassRendering = nullptr;
            m_glassRegion.Reset();
            return;
        }
        {
            POINT cursor;
            ::GetCursorPos(&cursor);
            RECT window;
            GetWindowRect(&window);
            const bool hot = ::PtInRect(&window, cursor) != FALSE;
            const bool pressed = (SendMessage(BM_GETSTATE) & BST_PUSHED) != 0;
            const int state = GetButtonThemeState(GetStyle(), hot, pressed, 0, 1, ::GetCapture() == m_hWnd);
            theme.DrawThemeBackground(data, memory, 1, state, &client, nullptr);
            int textLength = ::GetWindowTextLengthW(m_hWnd);
            std::vector<wchar_t> text(static_cast<size_t>(textLength) + 1, L'\0');
            ::GetWindowTextW(m_hWnd, text.data(), textLength + 1);
            ScopedSelect font(memory, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
            DTTOPTS options = {};
            options.dwSize = sizeof(options);
            options.dwFlags = DTT_COMPOSITED | DTT_GLOWSIZE;
            options.iGlowSize = g_glowMargin;
            RECT textRect = client;
            if (m_icons[0].icon) textRect.left += m_icons[0].width;
            theme.DrawThemeTextEx(data, memory, 1, state, text.data(), -1,
                                  DT_CENTER | DT_VCENTER | DT_SINGLELINE, &textRect, &options);
            font.Restore();
            theme.CloseThemeData(data);
        }
        ::GdiFlush();
        // The glass region: every pixel that is not fully transparent.
        m_glassRegion.Reset(::CreateRectRgn(0, 0, 0, 0));  // the one made before goes
        GuardOperation(2347, [&] {
            const DWORD* pixels = static_cast<const DWORD*>(bits);
            for (int y = 0; y < h; ++y) {
                int x = 0;
                while (x < w) {
                    while (x < w && (pixels[y * w + x] >> 24) == 0) ++x;
                    const int start = x;
                    while (x < w && (pixels[y * w + x] >> 24) != 0) ++x;
                    if (x > start) {
                        ScopedRegion run(::CreateRectRgn(start, y, x, y + 1));
                        ::CombineRgn(m_glassRegion, m_glassRegion, run, RGN_OR);
                    }
                }
            }
        });
        delete m_glassRendering;
        {
            // A copy that owns its pixels: the section goes below.
            Bitmap wrapped(w, h, w * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
            m_glassRendering = wrapped.Clone(0, 0, w, h, PixelFormat32bppPARGB);
        }
    });
}

void CIconButton::OnCustomDraw(NMHDR* header, LRESULT* result) {
    *result = CDRF_DODEFAULT;
    GuardOperation(2349, [&] {
        if (m_look != kLookGlass) return;
        NMCUSTOMDRAW* draw = reinterpret_cast<NMCUSTOMDRAW*>(header);
        if (draw->dwDrawStage != CDDS_PREPAINT) return;
        RenderGlass();
        if (!m_glassRendering) return;
        Graphics g(draw->hdc);
        Region clip(m_glassRegion.Get());
        g.SetClip(&clip, CombineModeReplace);
        g.DrawImage(m_glassRendering, 0, 0);
        *result = CDRF_SKIPDEFAULT;
    });
}
