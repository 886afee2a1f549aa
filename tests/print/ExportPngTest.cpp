// Save as Image's PNG files come from the renderer's own PNG writer: the file holds exactly the
// bytes the writer makes of the exported picture, and decodes to its pixels.
#include <doctest.h>

#include <windows.h>

#include <vector>

#include "GdiplusSession.h"
#include "model/KorvanelleDocument.h"
#include "model/PageSizes.h"
#include "print/ImageExport.h"
#include "render/DocumentBitmap.h"
#include "render/PngWriter.h"
#include "render/RenderContext.h"
#include "render/RenderThreads.h"

using namespace Gdiplus;

namespace {

std::vector<unsigned char> ReadFileBytes(const CString& path) {
    std::vector<unsigned char> bytes;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

}  // namespace

TEST_CASE("a PNG export is the renderer's PNG of the exported picture") {
    REQUIRE(kvtest::GdiplusReady());
    InitPaperTable();
    KorvanelleDocument library, design;
    library.CreateBuiltInTemplates();
    design.CreateFromTemplates(library.FindTemplate("(CD/DVD Disc Label - Generic)"),
                               library.FindTemplate("(CD Jewel Case - Plain Paper)"));
    ViewObject* front = design.GetFrontCover();
    REQUIRE(front != nullptr);
    design.currentSideName = front->name;
    PrintOptions options;
    options.frontBorder = 1;
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const CString path = CString(folder) + "kv-export-png-test.png";
    SetRenderThreadCount(3);
    const ExportResult result = ExportImage(&design, front, 150, &options, kExportPng, path);
    REQUIRE(result.outcome == kExportWritten);
    const std::vector<unsigned char> written = ReadFileBytes(path);
    DeleteFileA(path);
    Bitmap* picture = RenderDocumentToBitmap(&design, front, kPurposeExport, 150, &options);
    REQUIRE(picture != nullptr);
    CHECK(static_cast<int>(picture->GetWidth()) == result.width);
    std::vector<unsigned char> expected;
    REQUIRE(EncodePng(picture, 3, expected));
    SetRenderThreadCount(0);
    CHECK(written.size() == expected.size());
    CHECK(written == expected);
    delete picture;
    design.DeleteContents(true);
    library.DeleteContents(true);
}
