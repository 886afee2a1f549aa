// Export throughput: a jewel-case front cover with a full-side photo background and 20 texts,
// exported at 600 dots per inch to a PNG file through Save as Image's export function. For 1, 2, 4
// and all threads it prints the time of each phase: text layout, picture resampling, drawing the
// texts, the rest of the drawing, PNG encoding with the file write, and the total; then GDI+'s own
// PNG encoder on the same picture for comparison. Run by hand:
//   build-dir/wine-run render_benchmark.exe [-runs N] [-threads 1,2,4] [-out file.png]
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/PaperTable.h"
#include "framework/graphics/GdipImage.h"
#include "model/KorvanelleDocument.h"
#include "render/ColorProcessing.h"
#include "print/ImageExport.h"
#include "render/DocumentBitmap.h"
#include "render/PngWriter.h"
#include "render/RenderThreads.h"
#include "render/TextLayout.h"
#include "BenchmarkDesign.h"

using namespace Gdiplus;

int main(int argc, char** argv) {
    int runs = 3;
    std::vector<int> threadCounts;
    std::string out = "render_benchmark_out.png";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "-runs")) {
            runs = std::atoi(argv[i + 1]);
        } else if (!std::strcmp(argv[i], "-out")) {
            out = argv[i + 1];
        } else if (!std::strcmp(argv[i], "-threads")) {
            for (const char* p = argv[i + 1]; *p;) {
                threadCounts.push_back(std::atoi(p));
                while (*p && *p != ',') ++p;
                if (*p) ++p;
            }
        }
    }
    SetRenderThreadCount(0);
    const int all = GetRenderThreadCount();
    if (threadCounts.empty()) threadCounts = {1, 2, 4, all};
    if (runs < 1) runs = 1;
    WCHAR path[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, out.c_str(), -1, path, MAX_PATH);

    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (GdiplusStartup(&token, &input, nullptr) != Ok) return 1;
    {
        InitPaperTable();
        KorvanelleDocument library, design;
        std::vector<ViewObject*> texts;
        ViewObject* front = rt::MakeBenchmarkCover(library, design, texts);
        if (!front) return 2;
        PrintOptions options(&g_printOptions);
        options.printFront = options.printBack = options.printDisc1 = options.printDisc2 = 1;

        std::printf("front cover at 600 dpi, photo 3000 x 1500, 20 texts; %d runs each, %d processors\n",
                    runs, all);
        std::printf(
            "threads   layout  resample     texts   drawing  encoding     total"
            "   (ms; best run, then typical)\n");
        const CString outPath(out.c_str());
        {
            // What a user meets at the first export after opening the design: the photo decoded
            // and every character measured for the first time, on all threads.
            SetRenderThreadCount(0);
            const double t0 = RenderClockSeconds();
            RenderContext layoutContext;
            layoutContext.document = &design;
            layoutContext.currentObject = front;
            for (ViewObject* t : texts) DrawTextObject(t, layoutContext);
            const ExportResult exported = ExportImage(&design, front, 600, &options, kExportPng, outPath);
            if (exported.outcome != kExportWritten) return 5;
            std::printf("cold single export (photo decoded, first layout), %d threads: %.0f ms\n", all,
                        (RenderClockSeconds() - t0) * 1000);
        }
        for (int threads : threadCounts) {
            SetRenderThreadCount(threads);
            std::vector<std::vector<double>> phases;
            for (int run = 0; run < runs; ++run) {
                const double t0 = RenderClockSeconds();
                RenderContext layoutContext;
                layoutContext.document = &design;
                layoutContext.currentObject = front;
                for (ViewObject* t : texts) DrawTextObject(t, layoutContext);
                const double t1 = RenderClockSeconds();
                ResetRenderTimings();
                // The export exactly as Save as Image makes it: rendered, encoded, written.
                const ExportResult exported = ExportImage(&design, front, 600, &options, kExportPng, outPath);
                const double t3 = RenderClockSeconds();
                if (exported.outcome != kExportWritten) return 5;
                const RenderTimings timings = GetRenderTimings();
                const double t2 = t3 - timings.encoding;
                phases.push_back({(t1 - t0) * 1000, timings.resampling * 1000, timings.texts * 1000,
                                  (t2 - t1 - timings.resampling - timings.texts) * 1000, (t3 - t2) * 1000,
                                  (t3 - t0) * 1000});
            }
            size_t best = 0;
            for (size_t r = 1; r < phases.size(); ++r)
                if (phases[r][5] < phases[best][5]) best = r;
            std::vector<double> sorted;
            for (const auto& p : phases) sorted.push_back(p[5]);
            std::sort(sorted.begin(), sorted.end());
            std::printf("%7d %8.0f %9.0f %9.0f %9.0f %9.0f %9.0f   typical total %.0f\n", threads,
                        phases[best][0], phases[best][1], phases[best][2], phases[best][3], phases[best][4],
                        phases[best][5], sorted[sorted.size() / 2]);
        }
        Bitmap* last = RenderDocumentToBitmap(&design, front, 3, 600, &options);
        if (last) {
            std::printf("picture %u x %u\n", last->GetWidth(), last->GetHeight());
            // GDI+'s PNG encoder on the same picture, to a file, for comparison.
            CLSID png;
            GetEncoderClsid(L"image/png", &png);
            std::wstring other = std::wstring(path) + L".gdiplus.png";
            const double t0 = RenderClockSeconds();
            const Status saved = last->Save(other.c_str(), &png, nullptr);
            std::printf("GDI+ PNG encoder to a file: %.0f ms (%s)\n", (RenderClockSeconds() - t0) * 1000,
                        saved == Ok ? "ok" : "failed");
            DeleteFileW(other.c_str());
        }
        delete last;
        design.DeleteContents(true);
        library.DeleteContents(true);
        FreeColorScratchBitmaps();
    }
    GdiplusShutdown(token);
    return 0;
}
