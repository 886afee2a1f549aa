// The run-time loaders of the visual-style and window-manager libraries, and the shared theme
// resources made from the application's pictures.
#include <doctest.h>

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "controls/ThemeApi.h"
#include "controls/ThemeResources.h"
#include "framework/Core.h"
#include "GdiplusSession.h"
#include "res/ResourceImages.h"

TEST_CASE("an unloaded theme loader answers the fixed failures") {
    UxThemeApi unloaded;
    CHECK_FALSE(unloaded.IsLoaded());
    SetLastError(0);
    CHECK(unloaded.OpenThemeData(nullptr, L"Button") == nullptr);
    CHECK(GetLastError() == 0x80040007u);
    CHECK(unloaded.CloseThemeData(nullptr) == kThemeLibraryMissing);
    CHECK(unloaded.BufferedPaintInit() == kThemeLibraryMissing);
    CHECK(unloaded.BeginBufferedPaint(nullptr, nullptr, BPBF_TOPDOWNDIB, nullptr, nullptr) == nullptr);
    CHECK(unloaded.BufferedPaintMakeOpaque(nullptr, nullptr) == kThemeLibraryMissing);
    int glow = 7;
    SetLastError(0);
    CHECK_FALSE(unloaded.GetTextGlowSize(&glow));
    CHECK(GetLastError() == ERROR_FILE_NOT_FOUND);
    CHECK(glow == 7);
    DwmApi noDwm;
    CHECK_FALSE(noDwm.DwmIsCompositionEnabled());
    CHECK(noDwm.DwmExtendFrameIntoClientArea(nullptr, nullptr) == kThemeLibraryMissing);
}

TEST_CASE("the last error becomes an HRESULT") {
    SetLastError(0);
    CHECK(ThemeHresultFromLastError() == 0);
    SetLastError(ERROR_PROC_NOT_FOUND);
    CHECK(ThemeHresultFromLastError() == static_cast<HRESULT>(0x8007007Fu));
    SetLastError(0x8007000Eu);  // already an HRESULT
    CHECK(ThemeHresultFromLastError() == static_cast<HRESULT>(0x8007000Eu));
}

TEST_CASE("loading twice keeps the library and says so") {
    UxThemeApi api;
    REQUIRE(api.Load());
    HMODULE first = api.Module();
    SetLastError(0);
    CHECK_FALSE(api.Load());
    CHECK(GetLastError() == ERROR_ALREADY_INITIALIZED);
    CHECK(api.Module() == first);
    int glow = 0;
    CHECK_FALSE(api.GetTextGlowSize(nullptr));
    CHECK(GetLastError() == ERROR_INVALID_PARAMETER);
    CHECK(api.GetTextGlowSize(&glow));
    HTHEME theme = api.OpenThemeData(nullptr, L"Button");
    if (theme) CHECK(api.CloseThemeData(theme) == S_OK);
}

TEST_CASE("theme resources from the application's pictures") {
    REQUIRE(kvtest::GdiplusReady());
    KvMessageBoxCapture boxes;
    InitThemeResources(IDB_TEXTURE_DIALOG, IDB_TEXTURE_CANVAS, IDP_THEME_IMAGE, IDB_MENU_IMAGES,
                       IDB_TOOL_IMAGES, IDI_KORVANELLE, IDP_SIZE_GRIP);
    CHECK(boxes.Boxes().empty());
    CHECK(g_uxThemeApi != nullptr);
    CHECK(g_dwmApi.IsLoaded());
    CHECK_FALSE(IsGlassActive());  // no composition here

    SUBCASE("icons at the asked sizes") {
        REQUIRE(g_appIcon16 != nullptr);
        REQUIRE(g_appIconLarge != nullptr);
        ICONINFO info = {};
        REQUIRE(GetIconInfo(g_appIcon16, &info));
        BITMAP bm = {};
        GetObject(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
        CHECK(bm.bmWidth == 16);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        // 20 pixels: the next larger picture (32) is taken at its own size.
        HICON larger = LoadIconOfSize(MAKEINTRESOURCEA(IDI_KORVANELLE), 20, 20);
        REQUIRE(larger != nullptr);
        REQUIRE(GetIconInfo(larger, &info));
        GetObject(info.hbmColor, sizeof bm, &bm);
        CHECK(bm.bmWidth == 32);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(larger);
        CHECK(LoadIconOfSize(MAKEINTRESOURCEA(IDI_KORVANELLE), 300, 300) == nullptr);
        CHECK(LoadIconOfSize(MAKEINTRESOURCEA(4321), 16, 16) == nullptr);
    }
    SUBCASE("textures, brushes, pictures and lists") {
        CHECK(g_backgroundDC1 != nullptr);
        CHECK(g_backgroundDC2 != nullptr);
        CHECK(g_textureBrush1 != nullptr);
        CHECK(g_textureBrush2 != nullptr);
        CHECK(g_backgroundBrush != nullptr);
        REQUIRE(g_themeImage != nullptr);
        CHECK(g_themeImage->GetWidth() > 0);
        CHECK(g_sizeGripImage != nullptr);
        CHECK(ImageList_GetImageCount(g_menuImageList) == 26);
        int cx = 0, cy = 0;
        ImageList_GetIconSize(g_toolImageList, &cx, &cy);
        CHECK(cx == 19);
        CHECK(ImageList_GetImageCount(g_toolImageList) > 0);
        CHECK(LoadImageFromResource(9999) == nullptr);
        CHECK(g_handCursor != nullptr);
        CHECK(g_glowMargin > 0);
    }
    SUBCASE("fonts") {
        CHECK((g_uiFaceName == "Tahoma" || g_uiFaceName == "Arial"));
        CHECK(g_uiFont != nullptr);
        CHECK(g_uiBoldFont != nullptr);
        CHECK(g_uiScaledFont != nullptr);
        CHECK(g_uiBold8Font != nullptr);
        CHECK(g_arialBoldFont != nullptr);
        CHECK(g_gdipBoldFont != nullptr);
        LOGFONTA lf = {};
        GetObjectA(g_uiBoldFont, sizeof lf, &lf);
        CHECK(lf.lfWeight == 700);
        CHECK(lf.lfQuality == NONANTIALIASED_QUALITY);
        CHECK(lf.lfHeight == PointsToHeight(8.5, nullptr));
        CHECK(PointsToHeight(8.5, nullptr) == -11);  // 96 DPI
        CHECK(PointsToHeight(8.0, nullptr) == -11);
        CHECK(g_uiFontScale == doctest::Approx(1.0));
        ScaleUiFontForDpi(120);
        CHECK(g_uiFontScale == doctest::Approx(0.8));
        CHECK(g_uiFontSize == doctest::Approx(6.8));
        ScaleUiFontForDpi(96);
        CHECK(g_uiFontSize == doctest::Approx(8.5));
    }
    SUBCASE("the centred theme image lands in the middle") {
        HDC dc = CreateCompatibleDC(nullptr);
        BITMAPINFO bi = {};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 400, -300, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP section = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, section);
        RECT all = {0, 0, 400, 300};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        DrawCenteredThemeImage(dc, all);
        GdiFlush();
        const DWORD* p = static_cast<const DWORD*>(bits);
        const int w = static_cast<int>(g_themeImage->GetWidth()),
                  h = static_cast<int>(g_themeImage->GetHeight());
        const int left = 200 - w / 2, top = 150 - h / 2;
        int inside = 0, outside = 0;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x) {
                const bool drawn = (p[y * 400 + x] & 0xFFFFFF) != 0;
                if (x >= left && x < left + w && y >= top && y < top + h)
                    inside += drawn;
                else
                    outside += drawn;
            }
        CHECK(inside > 0);
        CHECK(outside == 0);
        SelectObject(dc, old);
        DeleteObject(section);
        DeleteDC(dc);
    }

    ReleaseThemeResources();
    CHECK(g_uxThemeApi == nullptr);
    CHECK(g_backgroundDC1 == nullptr);
    CHECK(g_textureBrush1 == nullptr);
    CHECK(g_uiFont == nullptr);
    CHECK(g_gdipBoldFont == nullptr);
    CHECK(g_themeImage == nullptr);
    CHECK(g_menuImageList == nullptr);
    CHECK(boxes.Boxes().empty());
}
