// The dialog base and the themed push buttons in real windows: caption, looks, generated faces,
// hover, background painting with and without the size grip.
#include <doctest.h>

#include <string>

#include "AeroTestIds.h"
#include "controls/AeroButton.h"
#include "controls/AeroCheck.h"
#include "controls/AeroDialog.h"
#include "controls/ThemeApi.h"
#include "controls/ThemeResources.h"
#include "controls/UxThemeLibrary.h"
#include "controls/glass/GlassEngine.h"
#include "framework/Win.h"
#include "GdiplusSession.h"
#include "GuiSupport.h"
#include "res/ResourceImages.h"

namespace {

class TestDialog : public AeroDialog {
public:
    explicit TestDialog(UINT id) : AeroDialog(id, nullptr) {}
    AeroButton m_plain, m_themed, m_tiny, m_ok, m_cancel;
    CIconButton m_check;

    BOOL OnInitDialog() override {
        AeroDialog::OnInitDialog();
        if (!GetDlgItem(IDC_AERO_PLAIN)) return TRUE;
        m_plain.m_glassRequest = 0;  // never themed: the generated face
        m_plain.SubclassDlgItem(IDC_AERO_PLAIN, this);
        m_plain.GenerateBackground(6, 8, 10, 0, 0);
        m_themed.SubclassDlgItem(IDC_AERO_THEMED, this);
        m_themed.GenerateBackground(6, 8, 10, 0, 0);
        m_tiny.m_glassRequest = 0;
        m_tiny.SubclassDlgItem(IDC_AERO_TINY, this);
        m_ok.SubclassDlgItem(IDOK, this);
        m_ok.GenerateBackground(6, 8, 10, 0, 0);
        m_cancel.m_glassRequest = 0;
        m_cancel.SubclassDlgItem(IDCANCEL, this);
        m_cancel.GenerateBackground(6, 8, 10, 0, 0);
        m_check.m_glassRequest = 0;
        m_check.SubclassDlgItem(IDC_AERO_CHECK, this);
        return TRUE;
    }
};

struct Resources {
    Resources() {
        kvtest::GdiplusReady();
        InitThemeResources(IDB_TEXTURE_DIALOG, IDB_TEXTURE_CANVAS, IDP_THEME_IMAGE, IDB_MENU_IMAGES,
                           IDB_TOOL_IMAGES, IDI_KORVANELLE, IDP_SIZE_GRIP);
    }
    ~Resources() { ReleaseThemeResources(); }
};

// Lets the dialog's queued messages (showing, sizing, painting) run.
void Pump() {
    kvtest::PumpPending();
}

unsigned TexturePixel(int x, int y) {
    HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(g_backgroundDC1, OBJ_BITMAP));
    BITMAP bm = {};
    GetObject(bitmap, sizeof bm, &bm);
    return kvtest::Rgb(GetPixel(g_backgroundDC1, x % bm.bmWidth, y % bm.bmHeight));
}

// The client point (x, y) of the window in a capture of its whole window rectangle.
unsigned ClientPixel(HWND window, const kvtest::Capture& capture, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(window, &p);
    RECT w;
    GetWindowRect(window, &w);
    return capture.At(p.x - w.left, p.y - w.top);
}

}  // namespace

TEST_CASE("a themed dialog with buttons") {
    Resources resources;
    KvMessageBoxCapture boxes;
    TestDialog dialog(IDD_AERO_FIXED);
    REQUIRE(dialog.Create(IDD_AERO_FIXED, nullptr));
    dialog.SetWindowPos(nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dialog.ShowWindow(SW_SHOW);
    dialog.UpdateWindow();
    Pump();

    SUBCASE("the caption is trimmed, with one leading blank only without visual styles") {
        const CString expected = g_uxTheme.IsAppThemed() ? "Print" : " Print";
        CString caption;
        dialog.GetWindowText(caption);
        CHECK(caption == expected);
        dialog.SetWindowText("\t Again  \r\n");
        dialog.GetWindowText(caption);
        CHECK(caption == (g_uxTheme.IsAppThemed() ? "Again" : " Again"));
        dialog.SetWindowText(caption);  // again: no blanks pile up
        CString second;
        dialog.GetWindowText(second);
        CHECK(second == caption);
        CHECK(dialog.GetIcon(FALSE) == g_appIconSmall);
    }
    SUBCASE("looks of the buttons") {
        CHECK(dialog.m_plain.GetLook() == CIconButton::kLookPlain);
        CHECK((dialog.m_plain.GetStyle() & BS_TYPEMASK) == BS_OWNERDRAW);
        CHECK(dialog.m_ok.IsDefaultButton());
        if (g_uxTheme.IsAppThemed()) {
            CHECK(dialog.m_themed.GetLook() == CIconButton::kLookThemed);
            CHECK((dialog.m_themed.GetStyle() & BS_TYPEMASK) != BS_OWNERDRAW);
            CHECK(dialog.m_themed.GetFaceImage().IsEmpty());  // the system draws it
        }
        // Styles switched off for this button, then on again.
        dialog.m_themed.m_glassRequest = 0;
        dialog.m_themed.UpdateTheme();
        CHECK(dialog.m_themed.GetLook() == CIconButton::kLookPlain);
        CHECK((dialog.m_themed.GetStyle() & BS_TYPEMASK) == BS_OWNERDRAW);
        CHECK_FALSE(dialog.m_themed.GetFaceImage().IsEmpty());
        dialog.m_themed.m_glassRequest = 2;
        dialog.m_themed.UpdateTheme();
        if (g_uxTheme.IsAppThemed()) {
            CHECK(dialog.m_themed.GetLook() == CIconButton::kLookThemed);
            CHECK((dialog.m_themed.GetStyle() & BS_TYPEMASK) == BS_PUSHBUTTON);
        }
    }
    SUBCASE("the generated face runs light top-left to dark bottom-right; hover is lighter") {
        const CPaletteDib& face = dialog.m_plain.GetFaceImage();
        REQUIRE_FALSE(face.IsEmpty());
        RECT r;
        dialog.m_plain.GetWindowRect(&r);
        CHECK(face.GetWidth() == r.right - r.left);
        CHECK(face.GetHeight() == r.bottom - r.top);
        const int topLeft = face.GetPixelIndex(0, 0);
        const int bottomRight = face.GetPixelIndex(face.GetWidth() - 1, face.GetHeight() - 1);
        CHECK(topLeft >= 230);
        CHECK(bottomRight <= 30);
        CHECK(face.GetPaletteEntry(0).rgbRed == 128);
        CHECK(face.GetPaletteEntry(128).rgbRed == 185);
        CHECK(face.GetPaletteEntry(255).rgbRed == 255);
        const CPaletteDib& hover = dialog.m_plain.GetHoverImage();
        CHECK(hover.GetPaletteEntry(128).rgbRed == 192);  // 10 % of the way to white
        CHECK(hover.GetPixelIndex(3, 2) == face.GetPixelIndex(3, 2));
        // A 1 x 1 button gets a 1 x 1 face.
        dialog.m_tiny.MoveWindow(0, 0, 1, 1);
        dialog.m_tiny.GenerateBackground(6, 8, 10, 0, 0);
        CHECK(dialog.m_tiny.GetFaceImage().GetWidth() == 1);
        CHECK(dialog.m_tiny.GetFaceImage().GetHeight() == 1);
    }
    SUBCASE("hover follows the pointer messages of a plain button") {
        dialog.m_plain.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        CHECK(dialog.m_plain.IsHovered());
        dialog.m_plain.SendMessage(WM_MOUSELEAVE);
        CHECK_FALSE(dialog.m_plain.IsHovered());
    }
    SUBCASE("disabling a focused plain button moves the focus on") {
        dialog.m_plain.SetFocus();
        REQUIRE(GetFocus() == dialog.m_plain.m_hWnd);
        dialog.m_plain.EnableWindow(FALSE);
        CHECK(GetFocus() != dialog.m_plain.m_hWnd);
        dialog.m_plain.EnableWindow(TRUE);
    }
    SUBCASE("small operations of the icon button") {
        CHECK(dialog.m_plain.SetAlign(4) == 4);
        CHECK(dialog.m_plain.SetAlign(2) == 0);
        CHECK(dialog.m_plain.SetPressedStyle(7) == 6);
        std::string longTarget(300, 'x');
        dialog.m_plain.SetURL(longTarget.c_str());
        CHECK(std::string(dialog.m_plain.GetURL()) == longTarget.substr(0, 260));
        dialog.m_plain.SetURL(nullptr);
        CHECK(dialog.m_plain.GetURL()[0] == 0);
        REQUIRE(g_appIcon16 != nullptr);
        CHECK(dialog.m_plain.SetIcon(g_appIcon16, CIconButton::GreyCopyRequest()) == 0);
        HICON grey = dialog.m_plain.GetSecondIcon();
        REQUIRE(grey != nullptr);
        ICONINFO info = {};
        REQUIRE(GetIconInfo(grey, &info));
        BITMAPINFO bi = {};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        DWORD pixels[256] = {};
        HDC screen = GetDC(nullptr);
        GetDIBits(screen, info.hbmColor, 0, 16, pixels, &bi, DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        int coloured = 0;
        for (DWORD p : pixels) {
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            coloured += (r != g || g != b);
        }
        CHECK(coloured == 0);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        CHECK(dialog.m_plain.SetIcon(nullptr, nullptr) == 0);
        CHECK(dialog.m_plain.GetSecondIcon() == nullptr);
    }
    SUBCASE("a check-box button ticks on click and answers the check messages") {
        CHECK(dialog.m_check.IsCheckBoxMode());
        CHECK((dialog.m_check.GetStyle() & BS_TYPEMASK) == BS_OWNERDRAW);
        CHECK(dialog.m_check.SendMessage(BM_GETCHECK) == 0);
        dialog.m_check.SendMessage(BM_CLICK);
        CHECK(dialog.m_check.IsTicked());
        CHECK(dialog.m_check.SendMessage(BM_GETCHECK) == 1);
        dialog.m_check.SendMessage(BM_SETCHECK, BST_INDETERMINATE);
        CHECK(dialog.m_check.IsTicked());
        dialog.m_check.SendMessage(BM_SETCHECK, BST_UNCHECKED);
        CHECK_FALSE(dialog.m_check.IsTicked());
    }
    SUBCASE("children are re-themed on a composition change only") {
        if (g_uxTheme.IsAppThemed()) {
            REQUIRE(dialog.m_themed.GetLook() == CIconButton::kLookThemed);
            dialog.m_themed.m_glassRequest = 0;
            dialog.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Other"));
            CHECK(dialog.m_themed.GetLook() == CIconButton::kLookThemed);
            dialog.SendMessage(0x031E /* WM_DWMCOMPOSITIONCHANGED */);
            CHECK(dialog.m_themed.GetLook() == CIconButton::kLookPlain);
        }
    }
    SUBCASE("clearing the keyboard cues is kept from the system and repaints") {
        dialog.SendMessage(WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
        const LRESULT before = dialog.SendMessage(WM_QUERYUISTATE);
        CHECK(dialog.SendMessage(WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0) == 0);
        CHECK(dialog.SendMessage(WM_QUERYUISTATE) == before);
    }
    SUBCASE("the background is the texture; hidden children are painted over") {
        dialog.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        RECT client;
        dialog.GetClientRect(&client);
        RECT plain;
        dialog.m_plain.GetWindowRect(&plain);
        dialog.ScreenToClient(&plain);
        // Read once the texture fills the far corner and the plain button shows its face.
        kvtest::Capture shot = kvtest::CaptureWindowFromScreenWhen(dialog.m_hWnd, [&](const kvtest::Capture& c) {
            return ClientPixel(dialog.m_hWnd, c, client.right - 2, client.bottom - 2) ==
                       TexturePixel(client.right - 2, client.bottom - 2) &&
                   ((ClientPixel(dialog.m_hWnd, c, plain.left + 1, plain.top + 1) >> 16) & 0xFF) >= 220;
        });
        REQUIRE_FALSE(shot.Empty());
        kvtest::SavePng(shot, "aero_dialog.png");
        CHECK(ClientPixel(dialog.m_hWnd, shot, 3, 3) == TexturePixel(3, 3));
        CHECK(ClientPixel(dialog.m_hWnd, shot, client.right - 2, client.bottom - 2) ==
              TexturePixel(client.right - 2, client.bottom - 2));  // no size grip
        RECT hidden;
        dialog.GetDlgItem(IDC_AERO_HIDDEN)->GetWindowRect(&hidden);
        dialog.ScreenToClient(&hidden);
        CHECK(ClientPixel(dialog.m_hWnd, shot, hidden.left + 2, hidden.top + 2) ==
              TexturePixel(hidden.left + 2, hidden.top + 2));
        // The plain button shows its generated face, not the texture.
        const unsigned facePixel = ClientPixel(dialog.m_hWnd, shot, plain.left + 1, plain.top + 1);
        CHECK(((facePixel >> 16) & 0xFF) >= 220);  // light top-left of the face
    }
    dialog.DestroyWindow();
    CHECK(boxes.Boxes().empty());
}

TEST_CASE("glass mode without composition looks like the plain dialog") {
    Resources resources;
    KvMessageBoxCapture boxes;
    TestDialog dialog(IDD_AERO_SIZABLE);
    dialog.m_glassMode = 1;
    REQUIRE(dialog.Create(IDD_AERO_SIZABLE, nullptr));
    dialog.SetWindowPos(nullptr, 420, 240, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dialog.ShowWindow(SW_SHOW);
    dialog.UpdateWindow();
    Pump();
    if (!g_dwmApi.DwmIsCompositionEnabled()) {
        CHECK_FALSE(dialog.IsGlassOn());
        dialog.SendMessage(0x031E /* WM_DWMCOMPOSITIONCHANGED */);
        CHECK_FALSE(dialog.IsGlassOn());
        kvtest::Capture shot = kvtest::CaptureWindowFromScreenWhen(dialog.m_hWnd, [&](const kvtest::Capture& c) {
            return ClientPixel(dialog.m_hWnd, c, 3, 3) == TexturePixel(3, 3);
        });
        REQUIRE_FALSE(shot.Empty());
        CHECK(ClientPixel(dialog.m_hWnd, shot, 3, 3) == TexturePixel(3, 3));
    }
    dialog.DestroyWindow();
    CHECK(boxes.Boxes().empty());
}

TEST_CASE("a resizable dialog shows the size grip in its corner") {
    Resources resources;
    KvMessageBoxCapture boxes;
    REQUIRE(g_sizeGripImage != nullptr);
    TestDialog dialog(IDD_AERO_SIZABLE);
    REQUIRE(dialog.Create(IDD_AERO_SIZABLE, nullptr));
    dialog.SetWindowPos(nullptr, 420, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dialog.ShowWindow(SW_SHOW);
    dialog.UpdateWindow();
    RECT client;
    dialog.GetClientRect(&client);
    const int gw = static_cast<int>(g_sizeGripImage->GetWidth()),
              gh = static_cast<int>(g_sizeGripImage->GetHeight());
    // The grip's pixels: those of its corner that are not the texture.
    auto gripPixels = [&](const kvtest::Capture& c) {
        int differing = 0;
        for (int y = client.bottom - gh; y < client.bottom; ++y)
            for (int x = client.right - gw; x < client.right; ++x)
                differing += ClientPixel(dialog.m_hWnd, c, x, y) != TexturePixel(x, y);
        return differing;
    };
    // Read once the texture is on the screen (its bottom-left corner) and the grip over it.
    kvtest::Capture shot = kvtest::CaptureWindowFromScreenWhen(dialog.m_hWnd, [&](const kvtest::Capture& c) {
        return ClientPixel(dialog.m_hWnd, c, 2, client.bottom - 2) == TexturePixel(2, client.bottom - 2) &&
               gripPixels(c) > 0;
    });
    REQUIRE_FALSE(shot.Empty());
    CHECK(gripPixels(shot) > 0);
    CHECK(ClientPixel(dialog.m_hWnd, shot, 2, client.bottom - 2) == TexturePixel(2, client.bottom - 2));
    dialog.DestroyWindow();
    CHECK(boxes.Boxes().empty());
}

namespace {

// A dialog in glass mode whose check box and button take the glass look.
class GlassDialog : public AeroDialog {
public:
    GlassDialog() : AeroDialog(IDD_AERO_FIXED, nullptr) { m_glassMode = 1; }
    AeroCheck m_check;
    CIconButton m_button;
    BOOL OnInitDialog() override {
        AeroDialog::OnInitDialog();
        m_check.SubclassDlgItem(IDC_AERO_CHECK, this);
        m_button.m_glassRequest = 1;
        m_button.SubclassDlgItem(IDC_AERO_THEMED, this);
        return TRUE;
    }
};

// Dark pixels (text) and pixels of the dialog's own look inside a control's client area.
struct InkCount {
    int dark = 0;
    int light = 0;
};
InkCount CountInk(HWND control, const kvtest::Capture& shot, HWND dialog) {
    RECT r;
    GetClientRect(control, &r);
    MapWindowPoints(control, dialog, reinterpret_cast<POINT*>(&r), 2);
    InkCount n;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const unsigned p = ClientPixel(dialog, shot, x, y);
            const int sum = ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
            if (sum < 200) ++n.dark;
            if (sum > 500) ++n.light;
        }
    return n;
}

}  // namespace

TEST_CASE("glass-look controls whose theme cannot be opened fall back to the system's drawing") {
    Resources resources;
    KvMessageBoxCapture boxes;
    SetGlassCompositionOverride(1);
    ReleaseThemeApis();  // every theme call now fails: no theme opens
    GlassDialog dialog;
    REQUIRE(dialog.Create(IDD_AERO_FIXED, nullptr));
    dialog.SetWindowPos(nullptr, 40, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dialog.ShowWindow(SW_SHOW);
    dialog.UpdateWindow();
    REQUIRE(dialog.m_check.IsGlassRendering());
    REQUIRE(dialog.m_button.GetLook() == CIconButton::kLookGlass);
    dialog.m_check.Invalidate();
    dialog.m_button.Invalidate();
    dialog.m_check.UpdateWindow();
    dialog.m_button.UpdateWindow();
    // The window's own pixels (painted through WM_PRINT), whatever lies over it on the screen.
    kvtest::Capture shot = kvtest::CaptureWindow(dialog.m_hWnd);
    REQUIRE_FALSE(shot.Empty());
    kvtest::SavePng(shot, "glass_fallback.png");
    // "Tick" and "Themed" are drawn in dark text on a light face, not left black or empty.
    const InkCount check = CountInk(dialog.m_check.m_hWnd, shot, dialog.m_hWnd);
    const InkCount button = CountInk(dialog.m_button.m_hWnd, shot, dialog.m_hWnd);
    CHECK(check.dark > 15);
    CHECK(check.light > 100);
    CHECK(button.dark > 15);
    CHECK(button.light > 100);
    dialog.DestroyWindow();
    InitThemeApis();
    SetGlassCompositionOverride(-1);
    CHECK(boxes.Boxes().empty());
}
