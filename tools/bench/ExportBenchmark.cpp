// The time of Save as Image's export path (print/ImageExport.h), not a test: a jewel case's folded
// front cover with a 3000 x 1500 photo as its background and a title, exported at 150, 300 and
// 600 dots per inch as each file type. Prints one line per export:
//   dpi=<dpi> type=<extension> width=<pixels> height=<pixels> ms=<time> bytes=<file size>
#include <windows.h>

#include <cstdio>
#include <string>

#include "GdiplusSession.h"
#include "TestSupport.h"
#include "model/KorvanelleDocument.h"
#include "model/PageSizes.h"
#include "print/ImageExport.h"

using namespace Gdiplus;

namespace {

// A photo-like picture: smooth colour gradients with noise, saved as a JPEG file.
std::string MakePhoto(const std::string& folder) {
    Bitmap photo(3000, 1500, PixelFormat24bppRGB);
    BitmapData data;
    Rect all(0, 0, 3000, 1500);
    photo.LockBits(&all, ImageLockModeWrite, PixelFormat24bppRGB, &data);
    unsigned seed = 7;
    for (int y = 0; y < 1500; ++y) {
        BYTE* row = static_cast<BYTE*>(data.Scan0) + y * data.Stride;
        for (int x = 0; x < 3000; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = static_cast<int>((seed >> 16) & 15);
            row[3 * x] = static_cast<BYTE>((x * 255 / 3000 + noise) & 255);
            row[3 * x + 1] = static_cast<BYTE>((y * 255 / 1500 + noise) & 255);
            row[3 * x + 2] = static_cast<BYTE>(((x + y) * 255 / 4500 + noise) & 255);
        }
    }
    photo.UnlockBits(&data);
    const std::string path = folder + "\\photo.jpg";
    WriteImageFile(&photo, kExportJpeg, path.c_str());
    return path;
}

}  // namespace

int main() {
    if (!kvtest::GdiplusReady()) return 1;
    InitPaperTable();
    const std::string folder = kvtest::TempDir("export-benchmark");
    KorvanelleDocument library;
    library.CreateBuiltInTemplates();
    KorvanelleDocument design;
    design.CreateFromTemplates(library.FindTemplate(library.FindTemplateNameOfKind(CString(), kCaseDisc)),
                               library.FindTemplate(library.FindTemplateNameOfKind(CString(), kCaseJewel)));
    ViewObject* front = design.GetFrontCover();
    ViewObject* photo = NewViewObject(kObjectImage, "Image 1", front->side, front->name, front->left,
                                      front->top, front->width, front->height);
    photo->bBackground = 1;
    if (!photo->LoadImageFile(MakePhoto(folder).c_str(), false)) return 1;
    design.AddObject(photo);
    PrintOptions options;
    for (int dpi : {150, 300, 600}) {
        for (int type = 0; type < kExportFormatCount; ++type) {
            const std::string path = folder + "\\front" + std::string(ExportExtension(type).GetString());
            LARGE_INTEGER frequency, start, end;
            QueryPerformanceFrequency(&frequency);
            QueryPerformanceCounter(&start);
            const ExportResult result = ExportImage(&design, front, dpi, &options, type, path.c_str());
            QueryPerformanceCounter(&end);
            WIN32_FILE_ATTRIBUTE_DATA file = {};
            ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &file);
            std::printf("dpi=%d type=%s width=%d height=%d ms=%.0f bytes=%lu%s\n", dpi,
                        ExportExtension(type).GetString() + 1, result.width, result.height,
                        1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart,
                        static_cast<unsigned long>(file.nFileSizeLow),
                        result.outcome == kExportWritten ? "" : " FAILED");
            ::DeleteFileA(path.c_str());
        }
    }
    design.DeleteContents(true);
    library.DeleteContents(true);
    return 0;
}
