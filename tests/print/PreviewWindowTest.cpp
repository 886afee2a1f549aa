// The template preview as a window: the quick grey sheet of a print page and the full picture
// from its timer, the label stock's square layout and texture, the click position it reports,
// the grey outline of a disc left out, a picture for another caller that leaves its own alone,
// a design changed under it, and the alignment kind's dimension fields in its parent.
#include <doctest.h>

#include "GuiSupport.h"
#include "PrintTestSupport.h"
#include "canvas/ViewSettings.h"
#include "render/CanvasSettings.h"
#include "controls/ThemeFill.h"
#include "model/PageSizes.h"
#include "print/AeroPreview.h"
#include "res/PrintDialogsIds.h"

#include <commctrl.h>

using namespace printtest;
using namespace Gdiplus;

namespace {

// A plain window holding one preview, which records the clicks the preview reports.
class PreviewHost : public CWnd {
public:
    PreviewHost(int width, int height) {
        CreateEx(0, "Static", "", WS_POPUP | WS_VISIBLE, 20, 20, width, height, nullptr, nullptr);
        // A plain button, subclassed as a dialog subclasses its items.
        HWND button =
            ::CreateWindowExA(0, "Button", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, width, height,
                              m_hWnd, reinterpret_cast<HMENU>(1126), ::GetModuleHandleA(nullptr), nullptr);
        preview.SubclassWindow(button);
    }
    ~PreviewHost() override { DestroyWindow(); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kPreviewClickMessage) {
            clicks.push_back(*reinterpret_cast<POINT*>(lParam));
            return 0;
        }
        if (message == WM_COMMAND && HIWORD(wParam) == EN_KILLFOCUS) preview.OnFieldKillFocus(LOWORD(wParam));
        if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == UDN_DELTAPOS) {
            LRESULT result = 0;
            preview.OnFieldSpin(reinterpret_cast<NMHDR*>(lParam), &result);
            return result;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    AeroPreview preview;
    std::vector<POINT> clicks;
};

unsigned SheetPixel(Bitmap* sheet, int x, int y) {
    Color c;
    sheet->GetPixel(x, y, &c);
    return c.GetValue() & 0xFFFFFF;
}

// The sheet position of a design point of the shown page.
POINT SheetPoint(AeroPreview& preview, float x, float y) {
    PreviewLayout L;
    preview.ComputeLayout(L);
    POINT p = {static_cast<int>(L.page.X + x * L.scaleX), static_cast<int>(L.page.Y + y * L.scaleY)};
    return p;
}

}  // namespace

TEST_CASE("a print page's preview: the quick grey sheet, then the design from the timer") {
    View* view = EnsurePrintView();
    NewDesign(view, kLayout1DiscTop, "Front Cover");
    g_printOptions.SetDefaults();
    PreviewHost host(300, 260);
    AeroPreview& preview = host.preview;
    preview.SetDocument(&view->m_design, 2, &g_printOptions, kPreviewPrint, false);
    preview.Invalidate();
    preview.UpdateWindow();
    REQUIRE(preview.GetSheet() != nullptr);
    ViewObject* front = view->m_design.GetFrontCover();
    const POINT middle =
        SheetPoint(preview, front->left + front->width / 2.0f, front->top + front->height / 2.0f);
    // The quick pass: grey, with the black frame around the page and no clean copy yet.
    CHECK(SheetPixel(preview.GetSheet(), middle.x, middle.y) == 0x808080);
    PreviewLayout L;
    preview.ComputeLayout(L);
    CHECK(SheetPixel(preview.GetSheet(), static_cast<int>(L.page.X) - 1, 10) == 0x000000);
    CHECK(preview.GetCleanSheet() == nullptr);
    // The zero-delay timer renders the design: the cover is white.
    REQUIRE(kvtest::PumpUntil([&] { return preview.GetCleanSheet() != nullptr; }, 10000));
    CHECK(SheetPixel(preview.GetSheet(), middle.x, middle.y) == 0xFFFFFF);
    CHECK(preview.GetPicture() != nullptr);

    SUBCASE("a click at the page's top-left pixel reports (0, 0)") {
        POINT at = {static_cast<int>(L.page.X) + L.draw.X, static_cast<int>(L.page.Y) + L.draw.Y};
        preview.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        preview.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        REQUIRE(host.clicks.size() == 1);
        CHECK(host.clicks[0].x == 0);
        CHECK(host.clicks[0].y == 0);
    }
    SUBCASE("new border choices draw the outlines again over the clean copy") {
        Bitmap* picture = preview.GetPicture();
        const POINT edge =
            SheetPoint(preview, front->left + front->width / 2.0f, static_cast<float>(front->top));
        auto blackNearEdge = [&] {
            for (int dy = -1; dy <= 1; ++dy)
                if (SheetPixel(preview.GetSheet(), edge.x, edge.y + dy) == 0x000000) return true;
            return false;
        };
        CHECK_FALSE(blackNearEdge());
        PrintOptions bordered(&g_printOptions);
        bordered.frontBorder = 1;
        preview.SetPrintOptions(&bordered);
        CHECK(blackNearEdge());
        CHECK(preview.GetPicture() == picture);  // no new picture of the design
    }
    SUBCASE("a picture for another caller leaves the shown one alone") {
        Bitmap* sheet = preview.GetSheet();
        const unsigned before = SheetPixel(sheet, middle.x, middle.y);
        Bitmap* strip = preview.RenderSideBitmap(&view->m_design, view->m_design.GetDisc(1), &g_printOptions,
                                                 kPreviewThumbnail, 80, 64);
        REQUIRE(strip != nullptr);
        CHECK(strip->GetHeight() <= 64);
        CHECK(strip->GetWidth() <= 80);
        CHECK(preview.GetSheet() == sheet);
        CHECK(SheetPixel(sheet, middle.x, middle.y) == before);
        CHECK(preview.GetPrivateDocument()->currentSideName == "Front Cover");
        delete strip;
    }
    SUBCASE("a design whose templates are replaced while it is shown") {
        // The view makes a new design: every object the preview pointed at is gone.
        NewDesign(view, kLayout2DiscTop, "Disc 1");
        preview.Refresh();
        CHECK(preview.GetPrivateDocument()->GetFrontCover() == view->m_design.GetFrontCover());
        CHECK(SheetPixel(preview.GetSheet(), middle.x, middle.y) == 0xFFFFFF);
    }
}

TEST_CASE("the disc left out of a print job is outlined in grey") {
    View* view = EnsurePrintView();
    NewDesign(view, kLayout2DiscTop, "Disc 1");
    PreviewHost host(300, 360);
    PrintOptions onlyDisc2;
    onlyDisc2.printDisc1 = 0;
    onlyDisc2.printDisc2 = 1;
    host.preview.SetDocument(&view->m_design, 1, &onlyDisc2, kPreviewPrint, false);
    host.preview.Rebuild(false, RECT{0, 0, 300, 360});
    ViewObject* disc1 = view->m_design.GetDisc(1);
    // The leftmost pixels of disc 1's circle, on its middle row.
    auto greyOnOutline = [&] {
        const POINT left =
            SheetPoint(host.preview, static_cast<float>(disc1->left), disc1->top + disc1->width / 2.0f);
        for (int dx = -2; dx <= 2; ++dx)
            if (SheetPixel(host.preview.GetSheet(), left.x + dx, left.y) == 0x646464) return true;
        return false;
    };
    CHECK(greyOnOutline());
    PrintOptions both;
    host.preview.SetDocument(&view->m_design, 1, &both, kPreviewPrint, false);
    host.preview.Rebuild(false, RECT{0, 0, 300, 360});
    CHECK_FALSE(greyOnOutline());
}

TEST_CASE("a label stock preview in a wide control: a square box, texture around the page") {
    View* view = EnsurePrintView();
    PreviewHost host(400, 200);
    host.preview.SetTemplate(view->m_templates.FindTemplate("(CD/DVD Disc Label - Generic)"), 1,
                             kPreviewLabelStock, true);
    Bitmap* sheet = host.preview.GetSheet();
    REQUIRE(sheet != nullptr);
    CHECK(sheet->GetWidth() == 400);
    PreviewLayout L;
    host.preview.ComputeLayout(L);
    CHECK(L.page.Height == 180);
    CHECK(L.page.X == 130);
    // Beside the page: not the page's white; the page's corner: white.
    CHECK(SheetPixel(sheet, 60, 100) != 0xFFFFFF);
    CHECK(SheetPixel(sheet, 131 + 2, 12) == 0xFFFFFF);
    CHECK(SheetPixel(sheet, 129, 100) == 0x000000);  // the frame around the page
}

TEST_CASE("the alignment preview's dimension fields edit the template it shows") {
    View* view = EnsurePrintView();
    g_units = "Inches";
    PreviewHost host(600, 700);
    AeroPreview& preview = host.preview;
    preview.SetTemplate(view->m_templates.FindTemplate("(CD Jewel Case - Plain Paper)"), 3, kPreviewAlignment,
                        true);
    REQUIRE(preview.GetFieldCount() == 5);
    // One edit per field, in the parent, showing the value.
    HWND height = preview.GetFieldEdit(3);
    REQUIRE(height != nullptr);
    CHECK(::GetParent(height) == host.m_hWnd);
    CHECK(::IsWindowVisible(height));
    char text[64] = {};
    ::GetWindowTextA(height, text, sizeof(text));
    CHECK(std::string(text) == "4.650 ''");
    ViewObject* back = preview.GetPrivateDocument()->GetBackCover();
    REQUIRE(back != nullptr);

    // A typed height below the limit becomes the limit when the field loses its focus.
    ::SetWindowTextA(height, "2.000");
    host.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_DIMENSION_FIELD + 3, EN_KILLFOCUS),
                     reinterpret_cast<LPARAM>(height));
    back = preview.GetPrivateDocument()->GetBackCover();
    CHECK(back->height == 3000);
    ::GetWindowTextA(preview.GetFieldEdit(3), text, sizeof(text));
    CHECK(std::string(text) == "3.000 ''");

    // The up arrow of the width adds 0.010 inch to the inner width.
    const int widthBefore = back->width;
    NMUPDOWN step = {};
    step.hdr.hwndFrom = ::GetWindow(preview.GetFieldEdit(2), GW_HWNDNEXT);
    step.hdr.idFrom = IDC_DIMENSION_FIELD;
    step.hdr.code = UDN_DELTAPOS;
    step.iDelta = -1;
    // The up-down control of field 2 is the one whose buddy is its edit.
    for (HWND w = ::GetWindow(host.m_hWnd, GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT))
        if (reinterpret_cast<HWND>(::SendMessageA(w, UDM_GETBUDDY, 0, 0)) == preview.GetFieldEdit(2))
            step.hdr.hwndFrom = w;
    host.SendMessage(WM_NOTIFY, IDC_DIMENSION_FIELD, reinterpret_cast<LPARAM>(&step));
    back = preview.GetPrivateDocument()->GetBackCover();
    CHECK(back->width == widthBefore + 10);
    ::GetWindowTextA(preview.GetFieldEdit(2), text, sizeof(text));
    CHECK(std::string(text) == "5.420 ''");
}
