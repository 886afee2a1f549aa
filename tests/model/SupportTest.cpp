#include <doctest.h>

#include "app/PaperTable.h"
#include "framework/graphics/DibHelpers.h"
#include "framework/graphics/GdipFont.h"
#include "controls/UxThemeLibrary.h"
#include "GdiplusSession.h"
#include "model/PageSizes.h"

#include <cstring>
#include <vector>

using namespace Gdiplus;

namespace {

std::vector<BYTE> InfoHeader(LONG w, LONG h, WORD bits, DWORD compression = BI_RGB, DWORD used = 0,
                             DWORD imageSize = 0) {
    std::vector<BYTE> d(sizeof(BITMAPV5HEADER), 0);
    BITMAPINFOHEADER* b = reinterpret_cast<BITMAPINFOHEADER*>(d.data());
    b->biSize = 40;
    b->biWidth = w;
    b->biHeight = h;
    b->biPlanes = 1;
    b->biBitCount = bits;
    b->biCompression = compression;
    b->biClrUsed = used;
    b->biSizeImage = imageSize;
    return d;
}

}  // namespace

TEST_CASE("packed DIB layout") {
    auto pal = InfoHeader(10, 10, 8);
    CHECK(GetDibBitsOffset(pal.data()) == 40 + 1024);
    CHECK(GetPackedDibSize(pal.data()) == 40 + 1024 + 12 * 10);
    auto used = InfoHeader(10, 10, 8, BI_RGB, 16);
    CHECK(GetDibBitsOffset(used.data()) == 40 + 64);
    auto masks = InfoHeader(4, -3, 24, BI_BITFIELDS);
    CHECK(GetDibBitsOffset(masks.data()) == 52);
    CHECK(GetPackedDibSize(masks.data()) == 52 + 12 * 3);
    auto jpeg = InfoHeader(4, 4, 24, BI_JPEG);
    CHECK(GetPackedDibSize(jpeg.data()) == 0);
    BITMAPFILEHEADER fh;
    std::memset(&fh, 0xAB, sizeof(fh));
    CHECK(FillBitmapFileHeader(jpeg.data(), &fh) == 0);
    CHECK(fh.bfType == 0xABAB);
    auto withSize = InfoHeader(4, 4, 24, BI_JPEG, 0, 500);
    CHECK(GetPackedDibSize(withSize.data()) == 540);
    CHECK(GetDibStride(1, 1) == 4);
    CHECK(GetDibStride(3, 24) == 12);

    auto v5 = InfoHeader(2, 2, 32);
    BITMAPV5HEADER* h5 = reinterpret_cast<BITMAPV5HEADER*>(v5.data());
    h5->bV5Size = 124;
    h5->bV5ProfileData = 100;  // before the bits
    h5->bV5ProfileSize = 20;
    CHECK(GetDibBitsOffset(v5.data()) == 124 + 20);
    CHECK(GetPackedDibSize(v5.data()) == 124 + 16 + 20);
    h5->bV5ProfileData = 400;  // after the bits
    CHECK(GetDibBitsOffset(v5.data()) == 124);
    CHECK(GetPackedDibSize(v5.data()) == 400 + 20);

    BITMAPCOREHEADER core = {12, 3, 2, 1, 4};
    CHECK(GetDibBitsOffset(&core) == 12 + 48);
    CHECK(GetPackedDibSize(&core) == 12 + 48 + 4 * 2);

    DWORD odd = 56;
    CHECK(GetDibHeaderSize(&odd) == 0);
    CHECK(GetPackedDibSize(&odd) == 0);

    auto rgb = InfoHeader(3, 2, 24);
    REQUIRE(FillBitmapFileHeader(rgb.data(), &fh) == 1);
    CHECK(fh.bfType == 0x4D42);
    CHECK(fh.bfSize == 40 + 24 + 14);
    CHECK(fh.bfOffBits == 54);
    CHECK(fh.bfReserved1 == 0);

    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP section = Create24BitDibSection(dc, 7, 5);
    REQUIRE(section != nullptr);
    DIBSECTION ds;
    GetObject(section, sizeof(ds), &ds);
    CHECK(ds.dsBm.bmHeight == 5);
    CHECK(ds.dsBm.bmWidth == 7);
    CHECK(ds.dsBm.bmBitsPixel == 24);
    DeleteObject(section);
    DeleteDC(dc);
}

TEST_CASE("visual-styles library holder") {
    // Whether or not the library exists here, the answers are safe.
    HRESULT hr = g_uxTheme.SetWindowTheme(nullptr, L"", L"");
    (void)hr;
    // The holder answers as the library itself does.
    BOOL themed = g_uxTheme.IsAppThemed();
    HMODULE library = LoadLibraryA("uxtheme.dll");
    BOOL expected = FALSE;
    if (library) {
        auto isAppThemed = reinterpret_cast<BOOL(WINAPI*)()>(
            reinterpret_cast<void*>(GetProcAddress(library, "IsAppThemed")));
        if (isAppThemed) expected = isAppThemed() ? TRUE : FALSE;
        FreeLibrary(library);
    }
    CHECK(themed == expected);
    FARPROC fallback = reinterpret_cast<FARPROC>(&GetTickCount);
    CHECK((g_uxTheme.GetProc("NoSuchFunction", fallback) == fallback));
}

TEST_CASE("GDI+ fonts from font records") {
    REQUIRE(kvtest::GdiplusReady());
    LOGFONTA rec = {};
    std::strcpy(rec.lfFaceName, "Liberation Sans");
    rec.lfHeight = 120;
    rec.lfWeight = 700;
    Font* font = nullptr;
    CreateGdipFont(&font, &rec, 1.0, 1.0);
    REQUIRE(font != nullptr);
    CHECK(font->GetSize() == doctest::Approx(12.0f));
    CHECK(font->GetUnit() == UnitPoint);
    CHECK(font->GetStyle() == FontStyleBold);
    CHECK(rec.lfEscapement == FontStyleBold + 10);
    // the cached style is used as it stands; the second scale multiplies the size
    rec.lfWeight = 400;
    CreateGdipFont(&font, &rec, 5.0, 2.0);
    REQUIRE(font != nullptr);
    CHECK(font->GetStyle() == FontStyleBold);
    CHECK(font->GetSize() == doctest::Approx(24.0f));
    rec.lfEscapement = 0;
    rec.lfItalic = 1;
    CreateGdipFont(&font, &rec, 1.0, 1.0);
    REQUIRE(font != nullptr);
    CHECK(font->GetStyle() == FontStyleItalic);
    // a face that is not installed falls back to a sans-serif face of the same size and style,
    // without caching a style for the missing face; a null record changes nothing
    LOGFONTA bad = {};
    std::strcpy(bad.lfFaceName, "No Such Family Anywhere");
    bad.lfHeight = 100;
    bad.lfWeight = 700;
    CreateGdipFont(&font, &bad, 1.0, 1.0);
    REQUIRE(font != nullptr);
    CHECK(font->GetSize() == doctest::Approx(10.0f));
    CHECK(font->GetStyle() == FontStyleBold);
    CHECK(bad.lfEscapement == 0);
    delete font;
    font = nullptr;
    Font* keep = nullptr;
    CreateGdipFont(&keep, nullptr, 1.0, 1.0);
    CHECK(keep == nullptr);
}

TEST_CASE("paper table and folders") {
    InitPaperTable();
    CHECK(g_paperDims[0][0] == 8500);
    CHECK(g_paperDims[5][1] == 5500);
    CHECK(g_paperCodes[3] == 9);
    CHECK(FindPaperSizeIndex(0, 0, 11000, 8500) == 0);
    CHECK(FindPaperSizeIndex(0, 0, 8268, 11693) == 3);
    CHECK(FindPaperSizeIndex(0, 0, 8267, 11693) == 0);
    CHECK(FindPaperSizeIndex(0, 0, 5500, 5500) == 5);
    g_printableAreas[0][0] = 100;
    g_printableAreas[0][1] = 200;
    g_printableAreas[0][2] = 8300;
    g_printableAreas[0][3] = 10600;
    Rect portrait = GetPrintableArea(0, 0, 8500, 11000);
    CHECK(portrait.X == 100);
    CHECK(portrait.Height == 10600);
    Rect turned = GetPrintableArea(0, 0, 11000, 8500);
    CHECK(turned.X == 200);
    CHECK(turned.Y == 100);
    CHECK(turned.Width == 10600);
    CHECK(turned.Height == 8300);
    Rect square = GetPrintableArea(0, 0, 5500, 5500);
    CHECK(square.Width == 5500);
    InitPaperTable();

    DetectWindowsVersion();
    CString browse = InitFolders("C:\\Program Files\\Korvanelle\\Korvanelle.chm");
    CHECK(g_programFolder == "C:\\Program Files\\Korvanelle");
    CHECK(g_settingsFolder.Right(11) == "\\Korvanelle");
    CHECK_FALSE(g_documentsFolder.IsEmpty());
    if (g_dataFolder.IsEmpty()) CHECK(browse == "C:\\Program Files\\Korvanelle\\Backgrounds");
    CHECK(InitFolders("nofolder") ==
          (g_dataFolder.IsEmpty() ? CString("\\Backgrounds") : g_dataFolder + "\\Backgrounds"));

}
