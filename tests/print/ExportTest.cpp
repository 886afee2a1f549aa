// Export as an image file: every side of each built-in design (CD, DVD and Blu-ray cases with one
// and two discs) written as BMP, JPEG, PNG and TIFF at one resolution per test case, each file
// decoded again and compared with the renderer's picture of the same side: its size, its
// resolution fields and its pixels (exactly for the lossless types, within a tolerance for JPEG).
#include <doctest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "GdiplusSession.h"
#include "TestSupport.h"
#include "model/KorvanelleDocument.h"
#include "model/PageSizes.h"
#include "model/PrintOptions.h"
#include "print/ImageExport.h"
#include "render/DocumentBitmap.h"
#include "render/RenderContext.h"

using namespace Gdiplus;

namespace {

struct Design {
    int caseKind;
    int layout;
    const char* name;
};
const Design kDesigns[6] = {
    {kCaseJewel, kLayout1DiscTop, "CD 1 disc"},       {kCaseJewel, kLayout2DiscTop, "CD 2 discs"},
    {kCaseDvd, kLayout1DiscTop, "DVD 1 disc"},        {kCaseDvd, kLayout2DiscTop, "DVD 2 discs"},
    {kCaseBluray, kLayout1DiscTop, "Blu-ray 1 disc"}, {kCaseBluray, kLayout2DiscTop, "Blu-ray 2 discs"},
};

// A text on a side, so that the pictures have more than white in them.
void AddText(KorvanelleDocument& d, ViewObject* side, const char* text) {
    ViewObject* o = NewViewObject(kObjectText, "Text 1", side->side, side->name, side->left + 200,
                                  side->top + 300, side->width - 400, 900);
    o->alignment = "Left";
    o->angle = "0 degrees";
    o->wrapStyle = "Word-Wrap";
    // Texts end with the field end, as the view makes them.
    o->SetText(CString(text) + kTrackFieldEnd);
    for (int i = 0; i < o->GetCharCount(); ++i) {
        o->charFonts.Add(i == 0 ? ViewObject::NewDefaultFontRecord() : nullptr);
        o->charColors.Add(i == 0 ? new COLORREF(RGB(200, 30, 40)) : nullptr);
        o->charUnderlines.Add(0);
    }
    d.AddObject(o);
}

// The pixels of a bitmap as 0x00RRGGBB, top row first.
std::vector<unsigned> Pixels(Bitmap* b) {
    const int w = static_cast<int>(b->GetWidth()), h = static_cast<int>(b->GetHeight());
    std::vector<unsigned> out(static_cast<size_t>(w) * h);
    BitmapData data;
    Rect all(0, 0, w, h);
    if (b->LockBits(&all, ImageLockModeRead, PixelFormat32bppRGB, &data) != Ok) return {};
    for (int y = 0; y < h; ++y) {
        const unsigned* row =
            reinterpret_cast<const unsigned*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
        for (int x = 0; x < w; ++x) out[static_cast<size_t>(y) * w + x] = row[x] & 0xFFFFFF;
    }
    b->UnlockBits(&data);
    return out;
}

struct Difference {
    double meanAbs = 0;   // per channel
    double farShare = 0;  // pixels with a channel off by more than 48
};

Difference Compare(const std::vector<unsigned>& a, const std::vector<unsigned>& b) {
    Difference d;
    if (a.size() != b.size() || a.empty()) {
        d.meanAbs = 1e9;
        return d;
    }
    double sum = 0;
    size_t farPixels = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        int worst = 0;
        for (int shift : {0, 8, 16}) {
            const int ca = (a[i] >> shift) & 0xFF, cb = (b[i] >> shift) & 0xFF;
            const int diff = std::abs(ca - cb);
            sum += diff;
            if (diff > worst) worst = diff;
        }
        if (worst > 48) ++farPixels;
    }
    d.meanAbs = sum / (3.0 * a.size());
    d.farShare = static_cast<double>(farPixels) / a.size();
    return d;
}

void ExportEveryDesign(int dpi, int caseKind) {
    REQUIRE(kvtest::GdiplusReady());
    InitPaperTable();
    // A folder of its own for each case: the cases run side by side in one working folder.
    const std::string folder = kvtest::TempDir("export-" + std::to_string(dpi) + "-" + std::to_string(caseKind));
    KorvanelleDocument library;
    library.CreateBuiltInTemplates();
    PrintOptions options;
    options.frontBorder = options.backBorder = options.discBorder = options.frontFold = options.backFold = 1;
    options.frontMargin = 50;
    options.discMargin = 100;
    int files = 0;
    for (const Design& design : kDesigns) {
        if (design.caseKind != caseKind) continue;
        CAPTURE(design.name);
        LabelTemplate* disc = library.FindTemplate(library.FindTemplateNameOfKind(CString(), kCaseDisc));
        LabelTemplate* cover =
            library.FindTemplate(library.FindTemplateNameOfKind(CString(), design.caseKind));
        REQUIRE(disc != nullptr);
        REQUIRE(cover != nullptr);
        KorvanelleDocument d;
        d.CreateFromTemplates(disc, cover);
        d.SetDiscLayout(design.layout);
        std::vector<const char*> sides = {"Front Cover", "Back Cover", "Disc 1"};
        if (design.layout >= kLayout2DiscTop) sides.push_back("Disc 2");
        for (const char* sideName : sides) {
            ViewObject* side = d.FindObject(sideName);
            REQUIRE(side != nullptr);
            AddText(d, side, "Korvanelle - Live at the Harbour");
        }
        for (const char* sideName : sides) {
            CAPTURE(sideName);
            ViewObject* side = d.FindObject(sideName);
            Bitmap* reference = RenderDocumentToBitmap(&d, side, kPurposeExport, dpi, &options);
            REQUIRE(reference != nullptr);
            const std::vector<unsigned> expected = Pixels(reference);
            const int w = static_cast<int>(reference->GetWidth()),
                      h = static_cast<int>(reference->GetHeight());
            // The picture is the side widened by its overlap, at the resolution.
            const int margin = options.GetMargin(side->type);
            CHECK(std::abs(w - (side->width + 2 * margin) * dpi / 1000) <= 1);
            delete reference;
            for (int type = 0; type < kExportFormatCount; ++type) {
                CAPTURE(type);
                const std::string path = folder + "\\side-" + std::to_string(files++) +
                                         std::string(ExportExtension(type).GetString());
                const ExportResult result = ExportImage(&d, side, dpi, &options, type, path.c_str());
                CAPTURE(result.status);
                REQUIRE(result.outcome == kExportWritten);
                CHECK(result.width == w);
                CHECK(result.height == h);
                std::wstring wide(path.begin(), path.end());
                Bitmap* decoded = Bitmap::FromFile(wide.c_str());
                REQUIRE(decoded != nullptr);
                REQUIRE(decoded->GetLastStatus() == Ok);
                CHECK(static_cast<int>(decoded->GetWidth()) == w);
                CHECK(static_cast<int>(decoded->GetHeight()) == h);
                CHECK(std::fabs(decoded->GetHorizontalResolution() - dpi) < 0.5);
                CHECK(std::fabs(decoded->GetVerticalResolution() - dpi) < 0.5);
                const Difference diff = Compare(expected, Pixels(decoded));
                if (ExportFormatAt(type).lossy) {
                    CHECK(diff.meanAbs < 2.0);
                    CHECK(diff.farShare < 0.005);
                } else {
                    CHECK(diff.meanAbs == 0.0);
                }
                delete decoded;
                // KV_KEEP_EXPORTS keeps the files to look at.
                if (!std::getenv("KV_KEEP_EXPORTS")) ::DeleteFileA(path.c_str());
            }
        }
        d.DeleteContents(true);
    }
    library.DeleteContents(true);
}

}  // namespace

TEST_CASE("CD sides exported at 150 DPI") {
    ExportEveryDesign(150, kCaseJewel);
}

TEST_CASE("DVD sides exported at 150 DPI") {
    ExportEveryDesign(150, kCaseDvd);
}

TEST_CASE("Blu-ray sides exported at 150 DPI") {
    ExportEveryDesign(150, kCaseBluray);
}

TEST_CASE("CD sides exported at 300 DPI") {
    ExportEveryDesign(300, kCaseJewel);
}

TEST_CASE("DVD sides exported at 300 DPI") {
    ExportEveryDesign(300, kCaseDvd);
}

TEST_CASE("Blu-ray sides exported at 300 DPI") {
    ExportEveryDesign(300, kCaseBluray);
}

TEST_CASE("CD sides exported at 600 DPI") {
    ExportEveryDesign(600, kCaseJewel);
}

TEST_CASE("DVD sides exported at 600 DPI") {
    ExportEveryDesign(600, kCaseDvd);
}

TEST_CASE("Blu-ray sides exported at 600 DPI") {
    ExportEveryDesign(600, kCaseBluray);
}

TEST_CASE("a failed write keeps an existing file and says so") {
    REQUIRE(kvtest::GdiplusReady());
    const std::string folder = kvtest::TempDir("export-failures");
    Bitmap bitmap(40, 30, PixelFormat24bppRGB);
    // A folder that does not exist, and a folder whose name is taken by a file.
    CHECK(WriteImageFile(&bitmap, kExportPng, (folder + "\\missing\\a.png").c_str()) != Ok);
    const std::string file = folder + "\\plain.txt";
    REQUIRE(kvtest::WriteFileBytes(file, {'x'}));
    CHECK(WriteImageFile(&bitmap, kExportPng, (file + "\\a.png").c_str()) != Ok);
    // A target that cannot be replaced (a folder of that name) stays as it was, and no partial
    // file is left beside it.
    const std::string blocked = folder + "\\blocked.png";
    REQUIRE(::CreateDirectoryA(blocked.c_str(), nullptr));
    CHECK(WriteImageFile(&bitmap, kExportPng, blocked.c_str()) != Ok);
    CHECK((::GetFileAttributesA(blocked.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0);
    CHECK(::GetFileAttributesA((blocked + ".part").c_str()) == INVALID_FILE_ATTRIBUTES);
    CHECK(std::string(ExportExtension(kExportJpeg).GetString()) == ".jpg");
    CHECK(std::wstring(ExportMimeType(7)) == L"image/bmp");
}
