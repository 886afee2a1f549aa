// Printing throughput: the page of the export benchmark's jewel-case front cover printed at 300
// dots per inch to the default printer (the CUPS PDF queue here) the way the view prints: the
// page drawn into a 300-dpi off-screen DIB for printing, then stretched onto the printer's page.
// Prints the drawing time, the hand-over to the spooler and the total. Run by hand:
//   build-dir/wine-run print_benchmark.exe [-runs N] [-threads N]
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "BenchmarkDesign.h"
#include "app/PaperTable.h"
#include "render/ColorProcessing.h"
#include "render/RenderContext.h"
#include "render/RenderThreads.h"

using namespace Gdiplus;

int main(int argc, char** argv) {
    int runs = 3, threads = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "-runs")) runs = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "-threads")) threads = std::atoi(argv[i + 1]);
    }
    SetRenderThreadCount(threads);
    char printer[256];
    DWORD size = sizeof(printer);
    if (!GetDefaultPrinterA(printer, &size)) {
        std::printf("no default printer\n");
        return 1;
    }
    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (GdiplusStartup(&token, &input, nullptr) != Ok) return 1;
    {
        InitPaperTable();
        KorvanelleDocument library, design;
        std::vector<ViewObject*> texts;
        ViewObject* front = rt::MakeBenchmarkCover(library, design, texts);
        if (!front) return 2;
        design.SetCurrentSideIndex(front->side);
        ViewObject* page = design.GetCurrentPage();
        if (!page) return 3;
        const int bw = static_cast<int>(page->width * 300 / 1000.0),
                  bh = static_cast<int>(page->height * 300 / 1000.0);
        std::printf("page %d x %d at 300 dpi to \"%s\", %d threads\n", bw, bh, printer,
                    GetRenderThreadCount());
        std::printf("   drawing  spooling     total (ms)\n");
        for (int run = 0; run < runs; ++run) {
            const double t0 = RenderClockSeconds();
            HDC dc = CreateDCA("WINSPOOL", printer, nullptr, nullptr);
            if (!dc) return 4;
            DOCINFOA doc = {sizeof(doc), "Korvanelle print benchmark", nullptr, nullptr, 0};
            if (StartDocA(dc, &doc) <= 0 || StartPage(dc) <= 0) return 5;
            BITMAPINFO info = {};
            info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            info.bmiHeader.biWidth = bw;
            info.bmiHeader.biHeight = -bh;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 24;
            void* bits = nullptr;
            HBITMAP buffer = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
            HDC memory = CreateCompatibleDC(nullptr);
            HGDIOBJ old = SelectObject(memory, buffer);
            double t1;
            {
                Graphics g(memory);
                KorvanelleDocument job;
                job.CopyFrom(&design, false, false);
                job.SetCurrentSideIndex(front->side);
                RenderContext ctx;
                PrintOptions options(&g_printOptions);
                options.printFront = options.printBack = options.printDisc1 = options.printDisc2 = 1;
                ctx.Setup(&g, bw / static_cast<double>(page->width), bh / static_cast<double>(page->height),
                          kPurposePrint, &job, &options);
                DrawSide(ctx);
                job.DeleteContents(false);
                t1 = RenderClockSeconds();
            }
            const int pw = static_cast<int>(page->width * GetDeviceCaps(dc, LOGPIXELSX) / 1000.0),
                      ph = static_cast<int>(page->height * GetDeviceCaps(dc, LOGPIXELSY) / 1000.0);
            SetMapMode(dc, MM_ANISOTROPIC);
            SetWindowExtEx(dc, bw, bh, nullptr);
            SetViewportExtEx(dc, pw, ph, nullptr);
            SetStretchBltMode(dc, HALFTONE);
            StretchBlt(dc, 0, 0, bw, bh, memory, 0, 0, bw, bh, SRCCOPY);
            EndPage(dc);
            EndDoc(dc);
            DeleteDC(dc);
            SelectObject(memory, old);
            DeleteDC(memory);
            DeleteObject(buffer);
            const double t2 = RenderClockSeconds();
            std::printf("%10.0f %9.0f %9.0f\n", (t1 - t0) * 1000, (t2 - t1) * 1000, (t2 - t0) * 1000);
        }
        design.DeleteContents(true);
        library.DeleteContents(true);
        FreeColorScratchBitmaps();
    }
    GdiplusShutdown(token);
    return 0;
}
