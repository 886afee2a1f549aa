// Labels, check boxes, icons, images, group boxes, separator lines and combo boxes of a themed
// dialog in real windows: sizes, links and clicks, looks on glass, and what they paint.
#include <doctest.h>

#include <vector>

#include "controls/AeroCheck.h"
#include "controls/AeroComboBox.h"
#include "controls/AeroDialog.h"
#include "controls/AeroLabel.h"
#include "controls/AeroStatics.h"
#include "controls/ThemeResources.h"
#include "controls/UxThemeLibrary.h"
#include "controls/glass/GlassEngine.h"
#include "framework/Win.h"
#include "GdiplusSession.h"
#include "GuiSupport.h"
#include "res/ResourceImages.h"
#include "ThemedStaticsIds.h"

#ifndef WM_DWMCOMPOSITIONCHANGED
#define WM_DWMCOMPOSITIONCHANGED 0x031E
#endif

namespace {

const char kMultiText[] = "First line\r\nA much longer second line\r\nThird";

class StaticsDialog : public AeroDialog {
public:
    explicit StaticsDialog(int glassMode) : AeroDialog(IDD_STATICS, nullptr) { m_glassMode = glassMode; }

    AeroLabel m_single, m_multi, m_link, m_target, m_fixed, m_ellipsis, m_disabled;
    AeroCheck m_check, m_radio;
    AeroGroupBox m_group, m_groupEmpty, m_groupEdge;
    AeroIcon m_icon;
    AeroImage m_png, m_surface;
    AeroComboBox m_combo;
    AeroLine m_line;
    int m_clicks = 0;
    WPARAM m_clickWParam = 0;
    POINT m_clickPoint = {-1, -1};

    BOOL OnInitDialog() override {
        AeroDialog::OnInitDialog();
        m_single.SubclassDlgItem(IDC_S_SINGLE, this);
        m_multi.m_text = kMultiText;
        m_multi.SubclassDlgItem(IDC_S_MULTI, this);
        m_link.EnableLink();
        m_link.SubclassDlgItem(IDC_S_LINK, this);
        m_target.SetLink("C:\\kv-no-such-folder\\none.url", "Web site");
        m_target.SubclassDlgItem(IDC_S_TARGET, this);
        m_fixed.m_fixedSize = 1;
        m_fixed.EnableLink();
        m_fixed.SubclassDlgItem(IDC_S_FIXED, this);
        m_ellipsis.m_fixedSize = 1;
        m_ellipsis.SubclassDlgItem(IDC_S_ELLIPSIS, this);
        m_disabled.SubclassDlgItem(IDC_S_DISABLED, this);
        m_check.SubclassDlgItem(IDC_S_CHECK, this);
        m_radio.SubclassDlgItem(IDC_S_RADIO, this);
        m_group.SubclassDlgItem(IDC_S_GROUP, this);
        m_groupEmpty.SubclassDlgItem(IDC_S_GROUP_EMPTY, this);
        m_groupEdge.SubclassDlgItem(IDC_S_GROUP_EDGE, this);
        m_icon.SubclassDlgItem(IDC_S_ICON, this);
        m_png.m_resourceId = IDP_SIZE_GRIP;
        m_png.SubclassDlgItem(IDC_S_PNG, this);
        m_surface.SubclassDlgItem(IDC_S_SURFACE, this);
        m_combo.SubclassDlgItem(IDC_S_COMBO, this);
        m_combo.AddString("Alpha");
        m_combo.AddString("Beta");
        m_combo.SetCurSel(1);
        m_line.SubclassDlgItem(IDC_S_LINE, this);
        return TRUE;
    }

    LRESULT OnLabelClick(WPARAM wParam, LPARAM lParam) {
        ++m_clicks;
        m_clickWParam = wParam;
        const INT32* point = reinterpret_cast<const INT32*>(lParam);
        m_clickPoint = {point[0], point[1]};
        return 0;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(StaticsDialog, AeroDialog)
    ON_MESSAGE(kLabelClickMessage, OnLabelClick)
END_MESSAGE_MAP()

struct Resources {
    Resources() {
        kvtest::GdiplusReady();
        InitThemeResources(IDB_TEXTURE_DIALOG, IDB_TEXTURE_CANVAS, IDP_THEME_IMAGE, IDB_MENU_IMAGES,
                           IDB_TOOL_IMAGES, IDI_KORVANELLE, IDP_SIZE_GRIP);
    }
    ~Resources() {
        SetGlassCompositionOverride(-1);
        ReleaseThemeResources();
    }
};

// Lets the dialog's queued messages (showing, sizing, painting) run.
void Pump() {
    kvtest::PumpPending();
}

// Pixels are read from the screen: the dialog keeps to a corner where the other test programs
// of the suite put no windows, and above them.
void PlaceAside(CWnd& dialog) {
    ::SetWindowPos(dialog.m_hWnd, HWND_TOPMOST, 780, 430, 0, 0, SWP_NOSIZE);
}

// Moves the pointer to a screen corner that no window of this program covers, so that a real
// pointer resting over a label (the middle of a large screen is over this dialog) cannot hover it
// while its look is read; then lets the label see the pointer leave.
bool ParkPointer(AeroLabel& label) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    const POINT corners[] = {{w - 1, h - 1}, {0, h - 1}, {w - 1, 0}, {0, 0}};
    for (const POINT& p : corners) {
        DWORD process = 0;
        GetWindowThreadProcessId(WindowFromPoint(p), &process);
        if (process == GetCurrentProcessId()) continue;
        if (!SetCursorPos(p.x, p.y)) return false;
        return kvtest::PumpUntil([&] { return GetCapture() != label.m_hWnd; }, 5000);
    }
    return false;
}

SIZE TextExtent(HFONT font, const char* text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return size;
}

// The child's window rectangle in the dialog's client coordinates.
RECT RectInParent(const CWnd& child) {
    RECT r;
    ::GetWindowRect(child.m_hWnd, &r);
    ::MapWindowPoints(nullptr, ::GetParent(child.m_hWnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The pixels of one child's client area, painted by itself and its parent.
struct ChildPixels {
    kvtest::Capture capture;
    HWND dialog;
    HWND child;
    unsigned At(int x, int y) const {
        POINT p = {x, y};
        ::ClientToScreen(child, &p);
        RECT w;
        ::GetWindowRect(dialog, &w);
        return capture.At(p.x - w.left, p.y - w.top);
    }
};

// The dialog painted again and read from the screen once `shows` finds what the case expects there
// (or time runs out and the case's checks report what was seen).
template <class Pred>
ChildPixels Shoot(StaticsDialog& dialog, CWnd& child, Pred shows) {
    ::RedrawWindow(dialog.m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ChildPixels pixels{kvtest::Capture(), dialog.m_hWnd, child.m_hWnd};
    pixels.capture = kvtest::CaptureWindowFromScreenWhen(dialog.m_hWnd, [&](const kvtest::Capture& picture) {
        pixels.capture = picture;
        return shows(pixels);
    });
    return pixels;
}

bool IsDark(unsigned rgb) {
    return ((rgb >> 16) & 0xFF) < 70 && ((rgb >> 8) & 0xFF) < 70 && (rgb & 0xFF) < 70;
}

int CountPixels(const ChildPixels& pixels, unsigned colour) {
    RECT r;
    ::GetClientRect(pixels.child, &r);
    int count = 0;
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x)
            if (pixels.At(x, y) == colour) ++count;
    return count;
}

int CountDark(const ChildPixels& pixels) {
    RECT r;
    ::GetClientRect(pixels.child, &r);
    int count = 0;
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x)
            if (IsDark(pixels.At(x, y))) ++count;
    return count;
}

}  // namespace

TEST_CASE("empty lines keep a blank in one pass") {
    CHECK(AeroLabel::PadEmptyLines("\r\n\r\n\r\n") == "\r\n \r\n\r\n");
    CHECK(AeroLabel::PadEmptyLines("a\r\n\r\nb") == "a\r\n \r\nb");
    CHECK(AeroLabel::PadEmptyLines("a\r\nb") == "a\r\nb");
}

TEST_CASE("the controls of a themed dialog") {
    Resources resources;
    KvMessageBoxCapture boxes;
    StaticsDialog dialog(0);
    REQUIRE(dialog.Create(IDD_STATICS, nullptr));
    PlaceAside(dialog);
    dialog.ShowWindow(SW_SHOW);
    dialog.UpdateWindow();
    Pump();
    const int g = g_glowMargin;

    SUBCASE("labels size themselves to their text") {
        CHECK(reinterpret_cast<HFONT>(dialog.m_single.SendMessage(WM_GETFONT)) == g_uiFont);
        const SIZE single = TextExtent(g_uiFont, "Single line text");
        RECT r = RectInParent(dialog.m_single);
        CHECK(r.right - r.left == single.cx);
        CHECK(r.bottom - r.top == single.cy);

        CString text;
        dialog.m_multi.GetWindowText(text);
        CHECK(text == kMultiText);
        const SIZE widest = TextExtent(g_uiFont, "A much longer second line");
        r = RectInParent(dialog.m_multi);
        CHECK(r.right - r.left == widest.cx);
        CHECK(r.bottom - r.top >= 3 * single.cy - 3);
        CHECK(r.bottom - r.top <= 3 * single.cy + 3);

        // A later text change sizes again, without moving the text's corner.
        const RECT before = RectInParent(dialog.m_link);
        dialog.m_link.SetWindowText("A longer link text");
        const RECT after = RectInParent(dialog.m_link);
        CHECK(after.left == before.left);
        CHECK(after.top == before.top);
        CHECK(after.right - after.left == TextExtent(g_uiFont, "A longer link text").cx + 2 * g);
        CHECK(boxes.Boxes().empty());
    }
    SUBCASE("a link label grows by the glow margin; a fixed one keeps its rectangle") {
        CHECK(dialog.m_link.IsLinkMode());
        CHECK(dialog.m_link.HasGlowMargin());
        CHECK_FALSE(dialog.m_link.HasLink());
        CHECK(dialog.m_target.HasLink());
        CHECK((dialog.m_link.GetStyle() & SS_NOTIFY) != 0);
        const SIZE extent = TextExtent(g_uiFont, "Click me");
        RECT r = RectInParent(dialog.m_link);
        CHECK(r.right - r.left == extent.cx + 2 * g);
        CHECK(r.bottom - r.top == extent.cy + 2 * g);
        // The template put it at 20, 62 dialog units; it grew to the left and upwards.
        RECT unit = {20, 62, 0, 0};
        dialog.MapDialogRect(&unit);
        CHECK(r.left == unit.left - g);
        CHECK(r.top == unit.top - g);

        CHECK_FALSE(dialog.m_fixed.HasGlowMargin());
        RECT fixed = {10, 80, 80, 92};
        dialog.MapDialogRect(&fixed);
        r = RectInParent(dialog.m_fixed);
        CHECK(r.left == fixed.left);
        CHECK(r.right == fixed.right);
        CHECK(r.bottom == fixed.bottom);

        CHECK(dialog.m_link.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(dialog.m_link.m_hWnd),
                                        MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)) == TRUE);
        CHECK(GetCursor() == g_handCursor);
    }
    SUBCASE("clicks on link labels") {
        dialog.m_link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 14));
        CHECK(dialog.m_link.IsPressed());
        dialog.m_link.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(15, 14));
        CHECK_FALSE(dialog.m_link.IsPressed());
        CHECK(dialog.m_clicks == 1);
        CHECK(dialog.m_clickWParam == 1);
        CHECK(dialog.m_clickPoint.x == 15);
        CHECK(dialog.m_clickPoint.y == 14);

        // Released off the label: no click.
        dialog.m_link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 14));
        dialog.m_link.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(500, 300));
        CHECK_FALSE(dialog.m_link.IsPressed());
        CHECK(dialog.m_clicks == 1);

        // Without a press nothing happens.
        dialog.m_link.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(15, 14));
        CHECK(dialog.m_clicks == 1);

        // A label with a target hands it to the shell and tells nobody.
        dialog.m_target.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 14));
        dialog.m_target.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(15, 14));
        CHECK(dialog.m_clicks == 1);

        // Hover takes the capture; losing it ends press and hover.
        dialog.m_link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        CHECK(GetCapture() == dialog.m_link.m_hWnd);
        dialog.m_link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ReleaseCapture();
        CHECK_FALSE(dialog.m_link.IsPressed());
        CHECK(boxes.Boxes().empty());
    }
    SUBCASE("draw-text formats follow the styles") {
        CHECK((dialog.m_ellipsis.GetDrawTextFormat() & (DT_END_ELLIPSIS | DT_MODIFYSTRING)) ==
              (DT_END_ELLIPSIS | DT_MODIFYSTRING));
        dialog.m_ellipsis.ModifyStyle(SS_ELLIPSISMASK, SS_WORDELLIPSIS);
        UINT format = dialog.m_ellipsis.GetDrawTextFormat();
        CHECK((format & DT_WORD_ELLIPSIS) != 0);
        CHECK((format & DT_END_ELLIPSIS) == 0);
        dialog.m_ellipsis.ModifyStyle(SS_ELLIPSISMASK, SS_PATHELLIPSIS);
        format = dialog.m_ellipsis.GetDrawTextFormat();
        CHECK((format & DT_PATH_ELLIPSIS) != 0);
        CHECK((format & DT_WORD_ELLIPSIS) == 0);
        dialog.m_ellipsis.ModifyStyle(SS_ELLIPSISMASK | SS_TYPEMASK,
                                      SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX);
        format = dialog.m_ellipsis.GetDrawTextFormat();
        CHECK(format == (DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX));
        CHECK(dialog.m_single.GetDrawTextFormat() == DT_LEFT);
    }
    SUBCASE("labels paint their text over the texture; disabled text is grey") {
        ChildPixels pixels =
            Shoot(dialog, dialog.m_disabled, [](const ChildPixels& p) { return CountDark(p) > 10; });
        CHECK(CountDark(pixels) > 10);
        CHECK(CountPixels(pixels, 0x808080) == 0);
        dialog.m_disabled.EnableWindow(FALSE);
        pixels = Shoot(dialog, dialog.m_disabled,
                       [](const ChildPixels& p) { return CountPixels(p, 0x808080) > 10; });
        CHECK(CountDark(pixels) == 0);
        CHECK(CountPixels(pixels, 0x808080) > 10);
        // The lines are read with the pointer away from the labels, wherever it rested: here first
        // right over the fixed link, whose hover frame would cover its line.
        RECT r;
        dialog.m_fixed.GetClientRect(&r);
        POINT over = {r.right / 2, r.bottom / 2};
        dialog.m_fixed.ClientToScreen(&over);
        SetCursorPos(over.x, over.y);
        kvtest::PumpUntil([&] { return GetCapture() == dialog.m_fixed.m_hWnd; }, 2000);
        REQUIRE(ParkPointer(dialog.m_fixed));
        // The link's underline runs along the bottom of its text, inside the margin.
        dialog.m_link.GetClientRect(&r);
        pixels = Shoot(dialog, dialog.m_link,
                       [&](const ChildPixels& p) { return p.At(r.right / 2, r.bottom - g) == 0x000040; });
        CHECK(pixels.At(r.right / 2, r.bottom - g) == 0x000040);
        // A fixed link label has no margin: its line is on its last row, not through the text.
        dialog.m_fixed.GetClientRect(&r);
        pixels = Shoot(dialog, dialog.m_fixed,
                       [&](const ChildPixels& p) { return CountPixels(p, 0x000040) == r.right; });
        CHECK(pixels.At(r.right / 2, r.bottom - 1) == 0x000040);
        CHECK(CountPixels(pixels, 0x000040) == r.right);
    }
    SUBCASE("check boxes take the dialog font and answer the dialog's pattern brush") {
        CHECK(reinterpret_cast<HFONT>(dialog.m_check.SendMessage(WM_GETFONT)) == g_uiFont);
        CHECK_FALSE(dialog.m_check.HasGlowMargin());
        CHECK_FALSE(dialog.m_check.IsGlassRendering());
        HDC dc = GetDC(dialog.m_hWnd);
        const LRESULT brush = dialog.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                                 reinterpret_cast<LPARAM>(dialog.m_check.m_hWnd));
        CHECK(reinterpret_cast<HBRUSH>(brush) == g_backgroundBrush);
        ReleaseDC(dialog.m_hWnd, dc);
        dialog.m_check.EnableWindow(FALSE);
        dialog.m_check.EnableWindow(TRUE);
        CHECK(boxes.Boxes().empty());
    }
    SUBCASE("group boxes are owner-drawn, disabled, bold, and framed") {
        CHECK((dialog.m_group.GetStyle() & BS_TYPEMASK) == BS_OWNERDRAW);
        CHECK((dialog.m_groupEdge.GetStyle() & SS_TYPEMASK) == SS_OWNERDRAW);
        CHECK_FALSE(dialog.m_group.IsWindowEnabled());
        CHECK(reinterpret_cast<HFONT>(dialog.m_group.SendMessage(WM_GETFONT)) == g_uiBoldFont);
        CHECK(dialog.m_groupEmpty.GetCaptionExtent() > 0);

        const unsigned shadow = kvtest::Rgb(GetSysColor(COLOR_BTNSHADOW));
        const unsigned highlight = kvtest::Rgb(GetSysColor(COLOR_BTNHIGHLIGHT));
        const int h2 = TextExtent(g_uiBoldFont, "  ").cy / 2;
        RECT r;
        dialog.m_groupEmpty.GetClientRect(&r);
        ChildPixels pixels = Shoot(dialog, dialog.m_groupEmpty,
                                   [&](const ChildPixels& p) { return p.At(r.right / 2, h2) == shadow; });
        // No caption: the top line runs unbroken.
        CHECK(pixels.At(r.right / 2, h2) == shadow);
        CHECK(pixels.At(12, h2) == shadow);
        CHECK(pixels.At(r.right / 2, h2 + 1) == highlight);
        CHECK(pixels.At(0, h2 + 5) == shadow);
        CHECK(pixels.At(1, h2 + 5) == highlight);
        CHECK(pixels.At(r.right - 1, h2 + 5) == kvtest::Rgb(GetSysColor(COLOR_3DDKSHADOW)));

        // With a caption the line leaves a gap from 10 pixels in.
        const SIZE caption = TextExtent(g_uiBoldFont, " Group ");
        dialog.m_group.GetClientRect(&r);
        pixels = Shoot(dialog, dialog.m_group, [&](const ChildPixels& p) { return p.At(5, h2) == shadow; });
        CHECK(pixels.At(5, h2) == shadow);
        CHECK(pixels.At(10 + caption.cx + 3, h2) == shadow);
        int lineInGap = 0;
        for (int x = 11; x < 10 + caption.cx; ++x)
            if (pixels.At(x, h2) == shadow && pixels.At(x, h2 + 1) == highlight) ++lineInGap;
        CHECK(lineInGap == 0);

        // Inside a client edge the frame starts at the client area's first column.
        const int edgeH2 = TextExtent(g_uiBoldFont, " Edge ").cy / 2;
        pixels = Shoot(dialog, dialog.m_groupEdge,
                       [&](const ChildPixels& p) { return p.At(0, edgeH2 + 1 + 6) == shadow; });
        CHECK(pixels.At(0, edgeH2 + 1 + 6) == shadow);
        CHECK(boxes.Boxes().empty());
    }
    SUBCASE("icons, images and separator lines") {
        // The PNG sizes the control to itself.
        Gdiplus::Bitmap* png = LoadImageFromResource(IDP_SIZE_GRIP);
        REQUIRE(png);
        RECT r = RectInParent(dialog.m_png);
        CHECK(r.right - r.left == static_cast<int>(png->GetWidth()));
        CHECK(r.bottom - r.top == static_cast<int>(png->GetHeight()));
        delete png;
        CHECK(dialog.m_png.HasImage());

        // A surface paints nothing until its owner has drawn into it.
        CHECK_FALSE(dialog.m_surface.HasImage());
        CDC* memory = dialog.m_surface.GetMemoryDC();
        REQUIRE(memory);
        CHECK(dialog.m_surface.GetMemoryDC() == memory);
        dialog.m_surface.GetClientRect(&r);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(memory->GetSafeHdc(), &r, red);
        DeleteObject(red);
        ChildPixels pixels = Shoot(dialog, dialog.m_surface, [&](const ChildPixels& p) {
            return p.At(r.right / 2, r.bottom / 2) == 0xFF0000;
        });
        CHECK(pixels.At(r.right / 2, r.bottom / 2) == 0xFF0000);
        CHECK(pixels.At(r.right - 1, r.bottom - 1) == 0xFF0000);

        // The separator: a grey row over a white one.
        dialog.m_line.GetClientRect(&r);
        pixels = Shoot(dialog, dialog.m_line, [&](const ChildPixels& p) { return p.At(r.right / 2, 0) == 0x808080; });
        CHECK(pixels.At(r.right / 2, 0) == 0x808080);
        CHECK(pixels.At(r.right / 2, 1) == 0xFFFFFF);

        // The icon covers its texture.
        CHECK(dialog.m_icon.GetIcon() != nullptr);
        CHECK_FALSE(dialog.m_icon.IsGlassRendering());
        CHECK(boxes.Boxes().empty());
    }
    SUBCASE("combo boxes: font, texture brush, and theming off and on") {
        CHECK(reinterpret_cast<HFONT>(dialog.m_combo.SendMessage(WM_GETFONT)) == g_uiFont);
        CHECK(dialog.m_combo.IsKindOf(RUNTIME_CLASS(AeroComboBox)));
        CHECK(CString(RUNTIME_CLASS(AeroComboBox)->m_lpszClassName) == "AeroComboBox");
        CHECK(dialog.m_combo.GetMode() == 2);
        HDC dc = GetDC(dialog.m_hWnd);
        if (g_uxTheme.IsAppThemed()) {
            CHECK(dialog.m_combo.GetBackgroundState() == AeroComboBox::kBackgroundTexture);
            const LRESULT brush = dialog.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(dialog.m_combo.m_hWnd));
            CHECK(reinterpret_cast<HBRUSH>(brush) == g_backgroundBrush);
        }
        // Theming switched off for the application (through the library holder's switch: Wine
        // keeps the styles on whatever the application asks), then on again.
        g_uxTheme.SetAppThemedOverride(0);
        dialog.m_combo.UpdateTheme();
        CHECK(dialog.m_combo.GetBackgroundState() == AeroComboBox::kBackgroundNone);
        const LRESULT plainBrush = dialog.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                      reinterpret_cast<LPARAM>(dialog.m_combo.m_hWnd));
        CHECK(reinterpret_cast<HBRUSH>(plainBrush) != g_backgroundBrush);
        g_uxTheme.SetAppThemedOverride(1);
        dialog.m_combo.UpdateTheme();
        CHECK(dialog.m_combo.GetBackgroundState() == AeroComboBox::kBackgroundTexture);
        g_uxTheme.SetAppThemedOverride(-1);
        ReleaseDC(dialog.m_hWnd, dc);
        CHECK(boxes.Boxes().empty());
    }
    SUBCASE("a font change sizes and renders again; labels give back what they made") {
        dialog.m_single.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(g_uiBoldFont), TRUE);
        const SIZE bold = TextExtent(g_uiBoldFont, "Single line text");
        const RECT r = RectInParent(dialog.m_single);
        CHECK(r.right - r.left == bold.cx);
        CHECK(r.bottom - r.top == bold.cy);

        const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        for (int i = 0; i < 20; ++i) {
            AeroLabel* label = new AeroLabel();
            label->EnableLink();
            label->Create("Painted and gone", WS_CHILD | WS_VISIBLE, CRect(40, 40, 140, 60), &dialog, 1210);
            label->UpdateWindow();
            label->SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Again"));
            label->UpdateWindow();
            label->DestroyWindow();
            delete label;
        }
        const DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        if (before != 0) CHECK(after <= before + 2);  // the emulator counts no GDI objects
        CHECK(boxes.Boxes().empty());
    }
    SUBCASE("controls created directly set themselves up as well") {
        AeroLabel label;
        label.m_text = "Direct\r\n\r\nlabel";
        label.EnableLink();
        REQUIRE(label.Create("x", WS_CHILD | WS_VISIBLE, CRect(40, 40, 140, 60), &dialog, 1201));
        CString text;
        label.GetWindowText(text);
        CHECK(text == "Direct\r\n \r\nlabel");
        CHECK(label.HasGlowMargin());
        const RECT r = RectInParent(label);
        CHECK(r.left == 40 - g);
        CHECK(r.top == 40 - g);
        CHECK(r.right - r.left == TextExtent(g_uiFont, "Direct").cx + 2 * g);
        AeroComboBox combo;
        REQUIRE(
            combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(40, 80, 140, 180), &dialog, 1202));
        CHECK(reinterpret_cast<HFONT>(combo.SendMessage(WM_GETFONT)) == g_uiFont);
        AeroCheck check;
        REQUIRE(check.Create("Direct", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, CRect(40, 120, 140, 140),
                             &dialog, 1203));
        CHECK(reinterpret_cast<HFONT>(check.SendMessage(WM_GETFONT)) == g_uiFont);
        label.DestroyWindow();
        combo.DestroyWindow();
        check.DestroyWindow();
        CHECK(boxes.Boxes().empty());
    }
    SUBCASE("a picture of the dialog") {
        dialog.m_link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));  // the hover frame
        ::RedrawWindow(dialog.m_hWnd, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        kvtest::Capture shot = kvtest::CaptureWindowFromScreenSettled(dialog.m_hWnd);
        CHECK_FALSE(shot.Empty());
        kvtest::SavePng(shot, "themed_statics.png");
        ReleaseCapture();
    }
    dialog.DestroyWindow();
}

TEST_CASE("on glass with desktop composition") {
    Resources resources;
    KvMessageBoxCapture boxes;
    SetGlassCompositionOverride(1);
    StaticsDialog dialog(1);
    REQUIRE(dialog.Create(IDD_STATICS, nullptr));
    PlaceAside(dialog);
    dialog.ShowWindow(SW_SHOW);
    Pump();
    const int g = g_glowMargin;

    CHECK(dialog.IsGlassOn());  // the dialog itself goes on glass, its frame extended
    CHECK(dialog.m_single.IsGlassRendering());
    CHECK(dialog.m_single.HasGlowMargin());  // on glass every label glows
    CHECK(dialog.m_icon.IsGlassRendering());
    CHECK(dialog.m_png.IsGlassRendering());
    CHECK(dialog.m_group.IsGlassRendering());
    CHECK(dialog.m_combo.GetMode() == 1);
    if (g_uxTheme.IsAppThemed()) CHECK(dialog.m_combo.GetBackgroundState() == AeroComboBox::kBackgroundGlass);

    // The check box grows up, down and to the right, never to the left.
    RECT unit = {10, 96, 80, 108};
    dialog.MapDialogRect(&unit);
    RECT r = RectInParent(dialog.m_check);
    CHECK(dialog.m_check.IsGlassRendering());
    CHECK(dialog.m_check.HasGlowMargin());
    CHECK(r.left == unit.left);
    CHECK(r.top == unit.top - g);
    CHECK(r.right == unit.right + g);
    CHECK(r.bottom == unit.bottom + g);
    const RECT glyph = dialog.m_check.GetGlyphRect();
    CHECK(glyph.left == 0);
    CHECK(glyph.right > 0);
    CHECK(glyph.top == ((r.bottom - r.top) - (glyph.right - glyph.left)) / 2);
    HDC dc = GetDC(dialog.m_hWnd);
    const LRESULT brush = dialog.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                             reinterpret_cast<LPARAM>(dialog.m_check.m_hWnd));
    CHECK(reinterpret_cast<HBRUSH>(brush) == static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
    ReleaseDC(dialog.m_hWnd, dc);
    ::RedrawWindow(dialog.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    kvtest::SavePng(kvtest::CaptureWindowFromScreenSettled(dialog.m_hWnd), "themed_statics_glass.png");

    // Composition goes off: the glass looks and the margins go with it.
    SetGlassCompositionOverride(0);
    dialog.SendMessage(WM_DWMCOMPOSITIONCHANGED, 0, 0);
    CHECK_FALSE(dialog.IsGlassOn());
    CHECK_FALSE(dialog.m_check.IsGlassRendering());
    CHECK_FALSE(dialog.m_check.HasGlowMargin());
    r = RectInParent(dialog.m_check);
    CHECK(r.left == unit.left);
    CHECK(r.top == unit.top);
    CHECK(r.right == unit.right);
    CHECK(r.bottom == unit.bottom);
    CHECK_FALSE(dialog.m_single.IsGlassRendering());
    CHECK_FALSE(dialog.m_single.HasGlowMargin());
    CHECK(dialog.m_link.HasGlowMargin());  // a link keeps its margin
    CHECK_FALSE(dialog.m_icon.IsGlassRendering());
    CHECK_FALSE(dialog.m_group.IsGlassRendering());
    if (g_uxTheme.IsAppThemed())
        CHECK(dialog.m_combo.GetBackgroundState() == AeroComboBox::kBackgroundTexture);
    CHECK(boxes.Boxes().empty());
    dialog.DestroyWindow();
}
