// The pure rules of the formatting bar, the colour bar and the colour picker: colour
// conversions, wheel geometry, option lists and their current-item rules, slider snapping and
// clamping, the option menu's placement, the palette grid and swatch lookup, the picker's bitmap.
#include <doctest.h>

#include <windows.h>

#include "bars/ButtonMenu.h"
#include "bars/ColorPickerMath.h"
#include "bars/Dib.h"
#include "bars/FontCombos.h"
#include "bars/OptionItems.h"
#include "bars/ToolColorNew.h"
#include "bars/ToolFont.h"
#include "res/ResourceImages.h"

namespace {

bool SameRgb(const RgbColor& c, int r, int g, int b) {
    return c.red == r && c.green == g && c.blue == b;
}
bool SameHsb(const HsbColor& c, int h, int s, int b) {
    return c.hue == h && c.saturation == s && c.brightness == b;
}

// The colour bar's palette as the program loads it.
struct LoadedPalette {
    HBITMAP bitmap = static_cast<HBITMAP>(::LoadImage(
        ::GetModuleHandle(nullptr), MAKEINTRESOURCE(IDB_PALETTE), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ~LoadedPalette() { ::DeleteObject(bitmap); }
    PaletteImage Image() const {
        DIBSECTION section = {};
        ::GetObject(bitmap, sizeof section, &section);
        PaletteImage image;
        image.bits = static_cast<const BYTE*>(section.dsBm.bmBits);
        image.width = section.dsBm.bmWidth;
        image.height = section.dsBm.bmHeight;
        image.stride = section.dsBm.bmWidthBytes;
        image.bottomUp = section.dsBmih.biHeight > 0;
        return image;
    }
};

// A packed 8-bit bitmap in global memory, 3 x 2 pixels, bottom-up, with `colors` table entries.
HGLOBAL PackedBitmap(int colors, DWORD compression = BI_RGB, SIZE_T cut = 0) {
    const int stride = 4;
    const SIZE_T size = sizeof(BITMAPINFOHEADER) + colors * 4 + stride * 2 - cut;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    BYTE* p = static_cast<BYTE*>(::GlobalLock(block));
    BITMAPINFOHEADER header = {
        sizeof header, 3, 2, 1, 8, compression, 0, 0, 0, static_cast<DWORD>(colors), 0};
    memcpy(p, &header, sizeof header);
    if (cut == 0) {
        RGBQUAD* table = reinterpret_cast<RGBQUAD*>(p + sizeof header);
        table[1] = RGBQUAD{30, 20, 10, 0};
        BYTE* bits = p + sizeof header + colors * 4;
        bits[0] = 1;           // bottom row, first pixel
        bits[stride + 2] = 1;  // top row, last pixel
    }
    ::GlobalUnlock(block);
    return block;
}

}  // namespace

TEST_CASE("colour conversions of the picker") {
    SUBCASE("greys, primaries and the named hues") {
        CHECK(SameHsb(RgbToHsb(128, 128, 128), 0, 0, 128));
        CHECK(SameHsb(RgbToHsb(255, 0, 0), 0, 255, 255));
        CHECK(SameHsb(RgbToHsb(0, 0, 255), 240, 255, 255));
        CHECK(SameHsb(RgbToHsb(0, 255, 0), 120, 255, 255));
        CHECK(SameRgb(HsbToRgb(60, 255, 255), 255, 255, 0));
        CHECK(SameRgb(HsbToRgb(300, 255, 255), 255, 0, 255));
        CHECK(SameRgb(HsbToRgb(0, 0, 255), 255, 255, 255));
        CHECK(SameRgb(HsbToRgb(180, 255, 255), 0, 255, 255));
    }
    SUBCASE("truncation toward zero and the hue sectors") {
        // (200, 100, 50): hue 20, saturation 191.25 -> 191.
        CHECK(SameHsb(RgbToHsb(200, 100, 50), 20, 191, 200));
        // Red the maximum with blue above green wraps below 0: 360 - 30 = 330.
        CHECK(SameHsb(RgbToHsb(200, 50, 125), 330, 191, 200));
        CHECK(SameRgb(HsbToRgb(90, 255, 200), 100, 200, 0));
        CHECK(SameRgb(HsbToRgb(150, 255, 200), 0, 200, 100));
        CHECK(SameRgb(HsbToRgb(210, 255, 200), 0, 100, 200));
        CHECK(SameRgb(HsbToRgb(270, 255, 200), 100, 0, 200));
        CHECK(SameRgb(HsbToRgb(330, 255, 200), 200, 0, 100));
        CHECK(SameRgb(HsbToRgb(20, 128, 100), 100, 66, 49));
    }
    SUBCASE("round trips") {
        const int colours[][3] = {{200, 100, 50}, {255, 0, 0}, {0, 0, 255}, {17, 17, 17}, {255, 255, 0}};
        for (const auto& c : colours) {
            const HsbColor hsb = RgbToHsb(c[0], c[1], c[2]);
            CHECK(SameRgb(HsbToRgb(hsb.hue, hsb.saturation, hsb.brightness), c[0], c[1], c[2]));
        }
        // A truncated hue can move a channel: (0, 128, 255) keeps red, blue and brightness.
        const HsbColor hsb = RgbToHsb(0, 128, 255);
        CHECK(SameHsb(hsb, 209, 255, 255));
        CHECK(SameRgb(HsbToRgb(209, 255, 255), 0, 131, 255));
        CHECK(SameRgb(HsbToRgb(126, 242, 200), 10, 200, 29));
        CHECK(RgbToColorValue(RgbColor{1, 2, 3}) == 0x030201u);
        CHECK(SameRgb(ColorValueToRgb(0x030201), 1, 2, 3));
    }
}

TEST_CASE("wheel geometry") {
    CHECK(WheelDistance(0, 0, 3, 4) == 5);
    CHECK(WheelDistance(0, 0, 1, 1) == 1);
    CHECK(WheelAngle(5, 5, 5, 5) == 0.0);
    int hue = -1, saturation = -1;
    // Right of the centre is red, above it 90 degrees: angles grow counter-clockwise.
    WheelHueSaturation(150, 100, 100, 100, &hue, &saturation);
    CHECK(hue == 0);
    CHECK(saturation == 127);
    WheelHueSaturation(100, 0, 100, 100, &hue, &saturation);
    CHECK(hue == 89);  // the stored pi is a little larger than pi
    CHECK(saturation == 255);
    WheelHueSaturation(100, 150, 100, 100, &hue, &saturation);
    CHECK(hue == 271);  // -89.99... truncates to -89
    // Beyond the rim the saturation stays full.
    WheelHueSaturation(400, 100, 100, 100, &hue, &saturation);
    CHECK(saturation == 255);
    WheelHueSaturation(100, 100, 100, 100, &hue, &saturation);
    CHECK((hue == 0 && saturation == 0));
    POINT p = WheelPoint(0, 255, 100, 100);
    CHECK((p.x == 200 && p.y == 100));
    p = WheelPoint(90, 255, 100, 100);
    CHECK((p.x == 100 && p.y == 1));  // sin gives 99.999..., truncated
    p = WheelPoint(180, 51, 100, 100);
    CHECK((p.x == 81 && p.y == 100));
    CHECK(BarBrightness(300, 300, 201) == 0);
    CHECK(BarBrightness(99, 300, 201) == 255);
    CHECK(BarBrightness(200, 300, 201) == 126);
    CHECK(BarBrightness(50, 300, 201) == 255);
}

TEST_CASE("option lists and the rules that pick their current item") {
    CHECK(OptionLists::kAngle.count == 4);
    CHECK(CString(OptionLists::kAngle.items[2].text) == "270 degrees");
    CHECK(OptionLists::kAngle.items[2].id == ID_ANGLE_270);
    CHECK(OptionLists::kWrapText.count == 3);
    CHECK(OptionLists::kWrapTracks.count == 4);
    CHECK(OptionLists::kWrapTracks.items[3].id == ID_TRACK_WRAP);
    CHECK(OptionLists::kTrackLayoutDisc.count == 6);
    CHECK(OptionLists::kTrackLayoutCover.count == 3);
    // "2 Columns" stands in both lists under different commands.
    CHECK(CString(OptionLists::kTrackLayoutDisc.items[5].text) ==
          OptionLists::kTrackLayoutCover.items[1].text);
    CHECK(OptionLists::kTrackLayoutDisc.items[5].id != OptionLists::kTrackLayoutCover.items[1].id);
    CHECK(OptionLists::kDiscPositionCentred.items[1].id == ID_DISC2_TOP);
    CHECK(OptionLists::kDiscPosition.items[5].icon == 43);
    CHECK(CString(OptionLists::kMarginMillimetres.items[3].text) == "3.8 mm Text Margin");

    CHECK(MarginCommandForValue(0) == ID_TEXT_MARGIN_0);
    CHECK(MarginCommandForValue(150) == ID_TEXT_MARGIN_3);
    CHECK(MarginCommandForValue(75) == 0);
    CHECK(MarginValueForCommand(ID_TEXT_MARGIN_2) == 100);
    CHECK(MarginValueForCommand(ID_ANGLE_0) == 0);
    for (int layout = 0; layout < 6; ++layout)
        CHECK(DiscLayoutForCommand(DiscPositionCommandForLayout(layout)) == layout);
    CHECK(DiscPositionCommandForLayout(6) == 0);
    CHECK(DiscLayoutForCommand(ID_ANGLE_0) == -1);

    CHECK(MarginListNeedsRebuild(true, ""));
    CHECK(MarginListNeedsRebuild(true, "0.0 mm Text Margin"));
    CHECK_FALSE(MarginListNeedsRebuild(true, "0.05'' Text Margin"));
    CHECK(MarginListNeedsRebuild(false, "0.05'' Text Margin"));
    CHECK_FALSE(MarginListNeedsRebuild(false, "2.5 mm Text Margin"));
    CHECK(WrapOptionText("No Wrap") == "Multi-Line");
    CHECK(WrapOptionText("Word-Wrap") == "Word-Wrap");
}

TEST_CASE("slider snapping, clamping and the typed value's text") {
    CHECK(CToolFont::SnapSliderPosition(3) == 0);
    CHECK(CToolFont::SnapSliderPosition(-3) == 0);
    CHECK(CToolFont::SnapSliderPosition(4) == 4);
    CHECK(CToolFont::SnapSliderPosition(-4) == -4);
    bool clamped = false;
    CHECK(CToolFont::ClampSliderPosition(150, -100, 100, &clamped) == 100);
    CHECK(clamped);
    CHECK(CToolFont::ClampSliderPosition(-181, -180, 180, &clamped) == -180);
    CHECK(clamped);
    CHECK(CToolFont::ClampSliderPosition(42, -100, 100, &clamped) == 42);
    CHECK_FALSE(clamped);
    CHECK(CToolFont::ClampedValueText(100, "150") == "100");
    CHECK(CToolFont::ClampedValueText(100, "+150") == "+100");
    CHECK(CToolFont::ClampedValueText(-100, "+-150") == "-100");
    CHECK(CToolFont::ClampedValueText(-100, "-150") == "-100");
}

TEST_CASE("the option menu's width and place, and the size box's keys") {
    CHECK(CButtonMenu::MenuWidthFor("0 degrees") == 139);
    CHECK(CButtonMenu::MenuWidthFor("Track Numbers && Times") == 197);
    CHECK(CButtonMenu::MenuWidthFor("Left Side") == 151);
    CHECK(CButtonMenu::MenuWidthFor("1 Column") == 130);
    POINT p = CButtonMenu::MenuPosition(RECT{15, 40, 80, 64}, 139, 1280);
    CHECK((p.x == 0 && p.y == 64));
    p = CButtonMenu::MenuPosition(RECT{21, 40, 80, 64}, 139, 1280);
    CHECK(p.x == 0);
    p = CButtonMenu::MenuPosition(RECT{300, 40, 380, 64}, 139, 1280);
    CHECK(p.x == 279);
    p = CButtonMenu::MenuPosition(RECT{1200, 40, 1270, 64}, 155, 1280);
    CHECK(p.x == 1280 - 155);

    for (UINT key : {UINT(VK_BACK), UINT(VK_OEM_PERIOD), UINT(VK_LEFT), UINT(VK_RIGHT), UINT('0'), UINT('9')})
        CHECK(CComboFontSize::IsKeyAllowed(key));
    for (UINT key :
         {UINT('A'), UINT(VK_RETURN), UINT(VK_DELETE), UINT(VK_NUMPAD5), UINT(VK_SPACE), UINT(VK_OEM_MINUS)})
        CHECK_FALSE(CComboFontSize::IsKeyAllowed(key));
}

TEST_CASE("the palette grid and the swatch lookup") {
    LoadedPalette palette;
    REQUIRE(palette.bitmap != nullptr);
    const PaletteImage image = palette.Image();
    REQUIRE((image.width == 739 && image.height == 19));
    const CRect area(5, 3, 744, 22);

    SUBCASE("cells on the 9-pixel pitch, kept inside the palette") {
        CHECK(CToolColorNew::CellAt(CPoint(5, 3), area) == CRect(5, 3, 14, 12));
        CHECK(CToolColorNew::CellAt(CPoint(13, 11), area) == CRect(5, 3, 14, 12));
        CHECK(CToolColorNew::CellAt(CPoint(14, 12), area) == CRect(14, 12, 23, 21));
        // The last pixel column and row belong to the last cells, moved back inside.
        CHECK(CToolColorNew::CellAt(CPoint(743, 21), area) == CRect(734, 12, 743, 21));
    }
    SUBCASE("cell colours are the palette's own pixels") {
        CHECK(CToolColorNew::CellColor(image, CRect(5, 3, 14, 12), area) == RGB(0, 0, 0));
        CHECK(CToolColorNew::CellColor(image, CRect(14, 3, 23, 12), area) == RGB(0x4B, 0x4B, 0x4B));
        CHECK(CToolColorNew::CellColor(image, CRect(14, 12, 23, 21), area) == RGB(0x73, 0x73, 0x73));
        CHECK(CToolColorNew::CellColor(image, CRect(734, 12, 743, 21), area) == RGB(255, 255, 255));
        CHECK(CToolColorNew::CellColor(image, CRect(23, 3, 32, 12), area) == RGB(0x43, 0x00, 0x10));
    }
    SUBCASE("the first swatch of a colour, column by column") {
        CHECK(CToolColorNew::FindSwatch(image, RGB(0, 0, 0)) == CRect(5, 3, 15, 13));
        CHECK(CToolColorNew::FindSwatch(image, RGB(0x73, 0x73, 0x73)) == CRect(14, 12, 24, 22));
        CHECK(CToolColorNew::FindSwatch(image, RGB(255, 255, 255)) == CRect(734, 12, 744, 22));
        const CRect red = CToolColorNew::FindSwatch(image, RGB(255, 0, 0));
        REQUIRE_FALSE(red.IsRectEmpty());
        CHECK(red.top == 3);  // the pure primaries stand in row 0
        CHECK(CToolColorNew::CellColor(image, CRect(red.left, red.top, red.left + 9, red.top + 9), area) ==
              RGB(255, 0, 0));
        CHECK(CToolColorNew::FindSwatch(image, RGB(1, 2, 3)).IsRectEmpty());
    }
    CString text;
    CHECK(CToolColorNew::CustomButtonRect(800, &text) == CRect(747, 3, 795, 22));
    CHECK(text == "Custom");
    CHECK(CToolColorNew::CustomButtonRect(801, &text) == CRect(747, 0, 841, 25));
    CHECK(text == "Custom Color");
}

TEST_CASE("the picker's bitmap") {
    SUBCASE("made empty, rows from the top, palette from triples") {
        CDIB dib;
        REQUIRE(dib.Create(20, 201, 8));
        CHECK(dib.GetStride() == 20);
        CHECK(dib.GetHeader()->biHeight == 201);
        CHECK(CDIB::ColorTableSize(8) == 256);
        CHECK(CDIB::ColorTableSize(24) == 0);
        // Row 0 is the top of the picture, the last row of the block.
        CHECK(dib.GetRow(0) == dib.GetBits() + 200 * 20);
        CHECK(dib.GetRow(200) == dib.GetBits());
        CHECK(dib.GetRow(201) == nullptr);
        const BYTE triples[6] = {10, 20, 30, 40, 50, 60};
        dib.SetPalette(triples, 2);
        CHECK((dib.GetColorTable()[1].rgbRed == 40 && dib.GetColorTable()[1].rgbBlue == 60));
        CHECK_FALSE(dib.Create(0, 5, 8));
        CHECK(dib.IsEmpty());
        CHECK(dib.Create(3, 1, 24));
        CHECK(dib.GetStride() == 12);
    }
    SUBCASE("drawn with rows counted from the top") {
        CDIB dib;
        REQUIRE(dib.Create(4, 4, 8));
        for (int row = 0; row < 4; ++row) memset(dib.GetRow(row), row, 4);
        const BYTE triples[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9};
        dib.SetPalette(triples, 4);
        HDC screen = ::GetDC(nullptr);
        HDC memory = ::CreateCompatibleDC(screen);
        HBITMAP target = ::CreateCompatibleBitmap(screen, 4, 4);
        ::ReleaseDC(nullptr, screen);
        HGDIOBJ old = ::SelectObject(memory, target);
        dib.Draw(memory, 0, 0, 4, 2, 0, 1);
        CHECK(::GetPixel(memory, 0, 0) == RGB(0, 255, 0));
        CHECK(::GetPixel(memory, 3, 1) == RGB(0, 0, 255));
        ::SelectObject(memory, old);
        ::DeleteObject(target);
        ::DeleteDC(memory);
    }
    SUBCASE("a packed bitmap is taken only when it holds what it claims") {
        HGLOBAL good = PackedBitmap(2);
        CDIB dib(good);
        REQUIRE_FALSE(dib.IsEmpty());
        CHECK((dib.GetWidth() == 3 && dib.GetHeight() == 2 && dib.GetBitsPerPixel() == 8));
        CHECK(dib.GetRow(1)[0] == 1);  // bottom row, first pixel
        CHECK(dib.GetRow(0)[2] == 1);  // top row, last pixel
        CHECK(dib.GetColorTable()[1].rgbRed == 10);
        ::GlobalFree(good);

        HGLOBAL compressed = PackedBitmap(2, BI_RLE8);
        CHECK(CDIB(compressed).IsEmpty());
        ::GlobalFree(compressed);
        HGLOBAL tooManyColours = PackedBitmap(300);
        CHECK(CDIB(tooManyColours).IsEmpty());
        ::GlobalFree(tooManyColours);
        HGLOBAL truncated = PackedBitmap(2, BI_RGB, 3);
        CHECK(CDIB(truncated).IsEmpty());
        ::GlobalFree(truncated);
        HGLOBAL smallHeader = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 64);
        *static_cast<DWORD*>(::GlobalLock(smallHeader)) = 12;
        ::GlobalUnlock(smallHeader);
        CHECK(CDIB(smallHeader).IsEmpty());
        ::GlobalFree(smallHeader);
    }
}
