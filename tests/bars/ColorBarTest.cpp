// The colour bar in a docked frame: the swatch it frames for the selection, its inactive look,
// hovering, and a click that colours the selection in one undo step; and the colour picker with
// its wheel, bar and fields kept in step, one step per visit, Cancel, and the custom colours; and the
// Custom Color button's own face without visual styles.
#include <doctest.h>

#include <cstdlib>

#include "BarsHarness.h"
#include "GuiSupport.h"
#include "bars/BarSettings.h"
#include "controls/DialogPositions.h"
#include "controls/UxThemeLibrary.h"
#include "res/CommandIds.h"
#include "res/FormatBarsIds.h"

namespace {

const std::vector<std::string> kColourStep = {"prevOrder", "prevColor", "nextColor", "nextOrder"};

void SetColours(ViewObject* text, std::initializer_list<COLORREF> colours) {
    text->SetText("Sample");
    int i = 0;
    for (COLORREF c : colours) {
        if (i >= text->charColors.GetSize()) text->charColors.SetSize(i + 1);
        delete text->charColors[i];
        text->charColors[i] = new COLORREF(c);
        ++i;
    }
}

// The pixel of a window at a point of its client area.
unsigned ClientPixel(HWND window, const kvtest::Capture& shot, CPoint p) {
    RECT w;
    ::GetWindowRect(window, &w);
    ::ClientToScreen(window, &p);
    return shot.At(p.x - w.left, p.y - w.top);
}

void Mouse(CWnd& window, UINT message, CPoint p) {
    window.SendMessage(message, message == WM_LBUTTONUP ? 0 : (message == WM_MOUSEMOVE ? 0 : MK_LBUTTON),
                       MAKELPARAM(p.x, p.y));
}

}  // namespace

TEST_CASE("the colour bar frames the selection's colour and colours the selection") {
    barstest::Harness& h = barstest::TheHarness();
    h.SetFrameWidth(1100);
    CToolColorNew& bar = h.Colors();
    barstest::RecordingCanvas& c = h.canvas;
    ViewObject* text = c.Add(kObjectText, "Artist", 1);
    const PaletteImage palette = bar.GetPaletteImage();
    REQUIRE_FALSE(palette.IsEmpty());
    c.selStart = c.selEnd = 0;
    c.Reset();

    SUBCASE("a palette colour is framed, mixed or foreign colours are not") {
        SetColours(text, {RGB(255, 0, 0)});
        c.Select(text);
        bar.UpdateFromSelection(nullptr);
        const CRect swatch = CToolColorNew::FindSwatch(palette, RGB(255, 0, 0));
        CHECK(bar.GetIndicator() == swatch);
        CHECK(bar.GetPicker().GetColor() == RGB(255, 0, 0));
        h.Pump();
        const kvtest::Capture shot = kvtest::CaptureWindowFromScreenWhen(bar.m_hWnd, [&](const kvtest::Capture& s) {
            return ClientPixel(bar.m_hWnd, s, CPoint(swatch.left - 3, swatch.top + 4)) == 0x00FFFFu;
        });
        REQUIRE_FALSE(shot.Empty());
        // Grown by 2 in the colour, framed one pixel further out in its inverse.
        CHECK(ClientPixel(bar.m_hWnd, shot, CPoint(swatch.left - 2, swatch.top + 4)) == 0xFF0000u);
        CHECK(ClientPixel(bar.m_hWnd, shot, CPoint(swatch.left - 3, swatch.top + 4)) == 0x00FFFFu);

        SetColours(text, {RGB(255, 0, 0), RGB(0, 0, 255)});
        c.selStart = 0;
        c.selEnd = 3;
        bar.UpdateFromSelection(nullptr);
        CHECK(bar.GetIndicator().IsRectEmpty());
        c.selEnd = 0;
        SetColours(text, {RGB(1, 2, 3)});
        bar.UpdateFromSelection(nullptr);
        CHECK(bar.GetIndicator().IsRectEmpty());
        CHECK(bar.GetPicker().GetColor() == RGB(1, 2, 3));
        CHECK_FALSE(bar.IsInactive());
    }
    SUBCASE("a click on a swatch colours the selected text in one step") {
        SetColours(text, {RGB(0, 0, 0)});
        c.Select(text);
        bar.UpdateFromSelection(nullptr);
        const CRect target = CToolColorNew::FindSwatch(palette, RGB(0, 0, 255));
        const CPoint at = target.CenterPoint();
        Mouse(bar, WM_MOUSEMOVE, at);
        REQUIRE_FALSE(bar.GetHoverCell().IsRectEmpty());
        h.Pump();
        const CPoint hoverFrame(bar.GetHoverCell().left - 2, at.y);
        const kvtest::Capture hover = kvtest::CaptureWindowFromScreenWhen(
            bar.m_hWnd, [&](const kvtest::Capture& s) { return ClientPixel(bar.m_hWnd, s, hoverFrame) == 0x0000FFu; });
        CHECK(ClientPixel(bar.m_hWnd, hover, CPoint(bar.GetHoverCell().left - 2, at.y)) == 0x0000FFu);
        Mouse(bar, WM_LBUTTONDOWN, at);
        Mouse(bar, WM_LBUTTONUP, at);
        REQUIRE(c.steps.size() == 1);
        CHECK(c.steps[0].keys == kColourStep);
        CHECK(c.Last("SetColor") == "SetColor:FF0000");  // the colour value of blue
        REQUIRE(text->charColors.GetSize() > 0);
        CHECK(*text->charColors[0] == RGB(0, 0, 255));
        CHECK(bar.GetIndicator() == target);
        CHECK(c.waitCursor);

        // Pressed on one swatch and released on another: the colour under the release.
        const CRect white = CToolColorNew::FindSwatch(palette, RGB(255, 255, 255));
        Mouse(bar, WM_MOUSEMOVE, at);
        Mouse(bar, WM_LBUTTONDOWN, at);
        Mouse(bar, WM_MOUSEMOVE, white.CenterPoint());
        Mouse(bar, WM_LBUTTONUP, white.CenterPoint());
        CHECK(*text->charColors[0] == RGB(255, 255, 255));
        CHECK(c.steps.size() == 2);

        // Onto the Custom Color button: the hover cell goes.
        Mouse(bar, WM_MOUSEMOVE, at);
        CRect button;
        bar.GetCustomButton().GetWindowRect(&button);
        bar.ScreenToClient(&button);
        Mouse(bar, WM_MOUSEMOVE, button.CenterPoint());
        CHECK(bar.GetHoverCell().IsRectEmpty());
        CHECK(::GetCapture() != bar.m_hWnd);
    }
    SUBCASE("an image or a page makes the palette inactive") {
        ViewObject* image = c.Add(kObjectImage, "Image 1", 1);
        c.Select(image);
        bar.UpdateFromSelection(nullptr);
        CHECK(bar.IsInactive());
        CHECK(bar.GetIndicator().IsRectEmpty());
        CHECK_FALSE(bar.GetCustomButton().IsWindowEnabled());
        const CPoint at = CToolColorNew::FindSwatch(palette, RGB(255, 0, 0)).CenterPoint();
        Mouse(bar, WM_MOUSEMOVE, at);
        Mouse(bar, WM_LBUTTONDOWN, at);
        Mouse(bar, WM_LBUTTONUP, at);
        CHECK(bar.GetHoverCell().IsRectEmpty());
        CHECK(c.steps.empty());
        bar.SendMessage(WM_COMMAND, ID_CUSTOM_COLOR);
        CHECK_FALSE(bar.GetPicker().IsWindowVisible());

        c.Select(c.design.FindPage(1, true));
        bar.UpdateFromSelection(nullptr);
        CHECK(bar.IsInactive());
        c.Select(text);
        bar.UpdateFromSelection(nullptr);
        CHECK_FALSE(bar.IsInactive());
        CHECK(bar.GetCustomButton().IsWindowEnabled());
    }
}

TEST_CASE("the colour picker") {
    barstest::Harness& h = barstest::TheHarness();
    // Its visits follow its activation: the program runs on a desktop of its own.
    char desktop[64] = {};
    ::GetUserObjectInformationA(::GetThreadDesktop(::GetCurrentThreadId()), UOI_NAME, desktop, sizeof desktop,
                                nullptr);
    REQUIRE(std::string(desktop) == "KvBarsTest");
    CToolColorNew& bar = h.Colors();
    barstest::RecordingCanvas& c = h.canvas;
    ViewObject* text = c.Add(kObjectText, "Artist", 1);
    SetColours(text, {RGB(200, 100, 50)});
    c.selStart = c.selEnd = 0;
    c.Select(text);
    g_dialogPositions[kColorDialogPos] = POINT{-1, -1};
    bar.UpdateFromSelection(nullptr);
    DlgColorPicker& picker = bar.GetPicker();
    REQUIRE(picker.GetSafeHwnd() != nullptr);
    CHECK_FALSE(picker.IsWindowVisible());
    c.Reset();
    bar.SendMessage(WM_COMMAND, ID_CUSTOM_COLOR);
    h.Pump();
    REQUIRE(picker.IsWindowVisible());
    auto field = [&](UINT id) { return static_cast<int>(picker.GetDlgItemInt(id, nullptr, TRUE)); };
    auto leaveForFrame = [&] {
        h.frame->SetActiveWindow();
        h.frame->m_view.SetFocus();
        h.Pump();
    };

    SUBCASE("shown with the selection's colour, every view of it in step") {
        CHECK(field(IDC_PICKER_RED) == 200);
        CHECK(field(IDC_PICKER_BLUE) == 50);
        CHECK(field(IDC_PICKER_HUE) == 20);
        CHECK(field(IDC_PICKER_SATURATION) == 191);
        CHECK(field(IDC_PICKER_BRIGHTNESS) == 200);
        CHECK(c.open);
        const POINT p = WheelPoint(20, 191, picker.GetWheelCentre().x, picker.GetWheelCentre().y);
        CHECK(picker.GetWheelCursor().CenterPoint() == CPoint(p));
        // The well's own picture: the current colour inside its double frame.
        CDC* well = picker.GetWell().GetMemoryDC();
        REQUIRE(well != nullptr);
        CRect inside;
        picker.GetWell().GetClientRect(&inside);
        CHECK(well->GetPixel(inside.CenterPoint().x, inside.CenterPoint().y) == RGB(200, 100, 50));
        CHECK(well->GetPixel(0, 0) == ::GetSysColor(COLOR_BTNSHADOW));
        // The bar runs from the brightest shade at the top to black at the bottom.
        const RGBQUAD top = picker.GetBarBitmap().GetColorTable()[0];
        const RGBQUAD bottom = picker.GetBarBitmap().GetColorTable()[picker.GetBarBitmap().GetHeight() - 1];
        CHECK((top.rgbRed == 253 && bottom.rgbRed == 0));
    }
    SUBCASE("the wheel, the brightness bar and the fields move together and colour the selection") {
        const CPoint centre = picker.GetWheelCentre();
        picker.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
        picker.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
        CHECK(picker.GetHsb().saturation == 0);
        CHECK(picker.GetHsb().brightness == 200);
        CHECK(field(IDC_PICKER_SATURATION) == 0);
        CHECK(field(IDC_PICKER_GREEN) == 200);
        CHECK(c.Last("SetColor") == "SetColor:C8C8C8");

        picker.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x + 50, centre.y));
        picker.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(centre.x + 140, centre.y));
        picker.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(centre.x + 140, centre.y));
        CHECK((picker.GetHsb().hue == 0 && picker.GetHsb().saturation == 255));
        CHECK((field(IDC_PICKER_RED) == 200 && field(IDC_PICKER_GREEN) == 0));

        const CRect barRect = picker.GetBarRect();
        picker.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(barRect.CenterPoint().x, barRect.top));
        picker.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(barRect.CenterPoint().x, barRect.top));
        CHECK(picker.GetHsb().brightness == 255);
        CHECK(field(IDC_PICKER_RED) == 255);
        CHECK(picker.GetBrightnessArrow().CenterPoint().y == barRect.top);

        picker.SetDlgItemText(IDC_PICKER_HUE, "400");
        CHECK(picker.GetHsb().hue == 359);
        CHECK(field(IDC_PICKER_HUE) == 359);
        picker.SetDlgItemText(IDC_PICKER_RED, "-5");
        CHECK(picker.GetRgb().red == 0);
        CHECK(field(IDC_PICKER_RED) == 0);
        char expected[32];
        sprintf(expected, "SetColor:%06lX", static_cast<unsigned long>(picker.GetColor()));
        CHECK(c.Last("SetColor") == expected);
        CHECK(picker.GetRgb().blue == 4);  // hue 359 at full saturation and brightness: 255 / 60

        leaveForFrame();
        REQUIRE(c.steps.size() == 1);
        CHECK(c.steps[0].keys == kColourStep);
        CHECK_FALSE(c.open);
    }
    SUBCASE("on a black selection a click on the wheel keeps its hue and saturation after the release") {
        SetColours(text, {RGB(0, 0, 0)});
        bar.UpdateFromSelection(nullptr);
        REQUIRE(picker.GetHsb().brightness == 0);
        int hue = 0, saturation = 0;
        const CPoint centre = picker.GetWheelCentre();
        const POINT p = WheelPoint(120, 255, centre.x, centre.y);
        WheelHueSaturation(p.x, p.y, centre.x, centre.y, &hue, &saturation);
        REQUIRE(hue > 100);
        picker.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        picker.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        h.Pump();
        CHECK(c.Last("SetColor") == "SetColor:000000");
        CHECK(picker.GetHsb().hue == hue);
        CHECK(picker.GetHsb().saturation == saturation);
        CHECK(field(IDC_PICKER_HUE) == hue);
        CHECK(field(IDC_PICKER_SATURATION) == saturation);
        // A colour of the design's own still sets all three.
        SetColours(text, {RGB(128, 128, 128)});
        bar.UpdateFromSelection(nullptr);
        CHECK(picker.GetHsb().saturation == 0);
        CHECK(picker.GetHsb().hue == 0);
    }
    SUBCASE("a visit that changes nothing leaves no step; Cancel takes a visit's colours back") {
        leaveForFrame();
        CHECK(c.steps.empty());
        CHECK(c.discarded == 1);

        picker.SetActiveWindow();
        h.Pump();
        REQUIRE(c.open);
        picker.SetDlgItemText(IDC_PICKER_BLUE, "10");
        picker.SetDlgItemText(IDC_PICKER_BLUE, "20");
        picker.SendMessage(WM_COMMAND, IDCANCEL);
        h.Pump();
        CHECK(c.steps.size() == 1);
        CHECK(c.Count("ApplyUndoStep:undo") == 1);
        CHECK_FALSE(picker.IsWindowVisible());
        CHECK(g_dialogPositions[kColorDialogPos].x >= 0);
    }
    SUBCASE("custom colours: added, kept in the settings, applied with a click") {
        for (COLORREF& colour : g_customColors) colour = RGB(255, 255, 255);
        picker.SetDlgItemText(IDC_PICKER_GREEN, "10");
        picker.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PICKER_ADD, BN_CLICKED),
                           reinterpret_cast<LPARAM>(picker.GetDlgItem(IDC_PICKER_ADD)->m_hWnd));
        const COLORREF added = picker.GetColor();
        CHECK(picker.GetSlotColor(1) == added);
        CHECK(g_customColors[7] == added);  // slot 1 is the last element
        CHECK(picker.GetSelectedSlot() == 1);

        const int setBefore = c.Count("SetColor");
        picker.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PICKER_SWATCH3, BN_CLICKED),
                           reinterpret_cast<LPARAM>(picker.GetDlgItem(IDC_PICKER_SWATCH3)->m_hWnd));
        CHECK(picker.GetSelectedSlot() == 3);
        CHECK(c.Count("SetColor") == setBefore);  // an empty slot only selects

        SetColours(text, {RGB(9, 9, 9)});
        picker.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PICKER_SWATCH1, BN_CLICKED),
                           reinterpret_cast<LPARAM>(picker.GetDlgItem(IDC_PICKER_SWATCH1)->m_hWnd));
        CHECK(*text->charColors[0] == added);
        CHECK(picker.GetColor() == added);  // the bar handed the selection's colour back
        picker.SendMessage(WM_COMMAND, IDOK);
        h.Pump();
        CHECK_FALSE(picker.IsWindowVisible());
        CHECK(c.steps.size() == 1);
        CRect window;
        picker.GetWindowRect(&window);
        CHECK((g_dialogPositions[kColorDialogPos].x == window.left &&
               g_dialogPositions[kColorDialogPos].y == window.top));
    }
    picker.ShowWindow(SW_HIDE);
    h.Pump();
}

TEST_CASE("without visual styles the Custom Color button paints its own face and caption") {
    barstest::Harness& h = barstest::TheHarness();
    // A system without visual styles: the button takes its plain, self-drawn look.
    g_uxTheme.SetAppThemedOverride(0);
    CToolColorNew bar;
    const bool created = bar.CreateEx(h.frame, TBSTYLE_FLAT | TBSTYLE_TRANSPARENT,
                                      WS_CHILD | WS_VISIBLE | CBRS_TOP, CRect(0, 0, 0, 0), 1071) != FALSE;
    if (created) bar.CreateControls();
    g_uxTheme.SetAppThemedOverride(-1);
    REQUIRE(created);
    AeroButton& button = bar.GetCustomButton();
    REQUIRE(button.GetLook() == CIconButton::kLookPlain);
    CHECK((button.GetStyle() & BS_TYPEMASK) == BS_OWNERDRAW);

    // The button's own picture, drawn over a colour it never uses.
    CRect client;
    button.GetClientRect(&client);
    REQUIRE(client.Width() > 40);
    ScopedMemoryDC picture(nullptr, client.Width(), client.Height());
    REQUIRE(picture.Get() != nullptr);
    const COLORREF unpainted = RGB(255, 0, 255);
    {
        CBrush fill(unpainted);
        ::FillRect(picture, &client, fill);
    }
    button.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(picture.Get()), PRF_CLIENT | PRF_ERASEBKGND);

    int left = 0, black = 0, face = 0, ink = 0;
    const int total = client.Width() * client.Height();
    for (int y = 0; y < client.Height(); ++y) {
        for (int x = 0; x < client.Width(); ++x) {
            const COLORREF p = ::GetPixel(picture, x, y);
            const int r = GetRValue(p), g = GetGValue(p), b = GetBValue(p);
            if (p == unpainted) ++left;
            if (p == RGB(0, 0, 0)) ++black;
            // The generated face: greys from mid to light.
            if (std::abs(r - g) <= 8 && std::abs(g - b) <= 8 && r >= 120) ++face;
            // The caption's dark text right of the picture.
            if (x > 24 && x < client.Width() - 4 && y > 4 && y < client.Height() - 4 && r < 90 && g < 90 &&
                b < 90)
                ++ink;
        }
    }
    INFO("unpainted " << left << ", black " << black << ", face " << face << ", ink " << ink << " of "
                      << total);
    CHECK(left == 0);
    CHECK(face > total * 3 / 4);
    CHECK(black < total / 10);
    CHECK(ink > 20);
    bar.DestroyWindow();
    h.Pump();
}
