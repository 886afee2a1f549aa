// Printing throughput: the page of the export benchmark's jewel-case front cover printed at 300
// dots per inch to the default printer (the CUPS PDF queue here) the way the view prints: the
// page drawn into a 300-dpi off-screen DIB for printing, then stretched onto the printer's page.
// The printer's page is set as the view sets it (the paper that holds the page, landscape when the
// page is wider than tall). Prints the drawing time, the hand-over to the spooler, and, given the
// print queue's output folder (-pdf, a Windows path such as Z:\path), the time until the queue's
// PDF is complete. Run by hand:
//   build-dir/wine-run print_benchmark.exe [-runs N] [-threads N] [-pdf FOLDER]
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchmarkDesign.h"
#include "app/PaperTable.h"
#include "render/ColorProcessing.h"
#include "render/RenderContext.h"
#include "render/RenderThreads.h"

using namespace Gdiplus;

namespace {

// The printer's own settings with the paper and orientation the view would ask for the page.
std::vector<char> PageDevMode(const char* printer, int pageWidth, int pageHeight) {
    HANDLE handle = nullptr;
    std::vector<char> bytes;
    if (!OpenPrinterA(const_cast<LPSTR>(printer), &handle, nullptr)) return bytes;
    const LONG size = DocumentPropertiesA(nullptr, handle, const_cast<LPSTR>(printer), nullptr, nullptr, 0);
    if (size > 0) {
        bytes.resize(static_cast<size_t>(size));
        DEVMODEA* dm = reinterpret_cast<DEVMODEA*>(bytes.data());
        if (DocumentPropertiesA(nullptr, handle, const_cast<LPSTR>(printer), dm, nullptr, DM_OUT_BUFFER) == IDOK) {
            dm->dmFields |= DM_ORIENTATION | DM_PAPERSIZE;
            dm->dmOrientation = pageHeight < pageWidth ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
            dm->dmPaperSize = static_cast<short>(g_paperCodes[FindPaperSizeIndex(0, 0, pageWidth, pageHeight)]);
        } else {
            bytes.clear();
        }
    }
    ClosePrinter(handle);
    return bytes;
}

// True when the file ends with a PDF trailer's end mark (the queue writes it last).
bool EndsAsPdf(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char tail[64] = {};
    DWORD got = 0;
    const DWORD size = GetFileSize(file, nullptr);
    if (size != INVALID_FILE_SIZE && size > sizeof(tail) - 1) {
        SetFilePointer(file, static_cast<LONG>(size - (sizeof(tail) - 1)), nullptr, FILE_BEGIN);
        ReadFile(file, tail, sizeof(tail) - 1, &got, nullptr);
    }
    CloseHandle(file);
    return got > 0 && std::strstr(tail, "%%EOF") != nullptr;
}

// Waits up to a minute for a complete PDF in `folder` written after `since`.
bool WaitForPdf(const std::string& folder, const FILETIME& since) {
    for (int i = 0; i < 1200; ++i) {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((folder + "\\*.pdf").c_str(), &found);
        bool complete = false;
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (CompareFileTime(&found.ftLastWriteTime, &since) >= 0 &&
                    EndsAsPdf(folder + "\\" + found.cFileName))
                    complete = true;
            } while (!complete && FindNextFileA(find, &found));
            FindClose(find);
        }
        if (complete) return true;
        Sleep(50);
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 3, threads = 0;
    std::string pdfFolder;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "-runs")) runs = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "-threads")) threads = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "-pdf")) pdfFolder = argv[i + 1];
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
        std::printf("   drawing  spooling     total  PDF done (ms)\n");
        const std::vector<char> devMode = PageDevMode(printer, page->width, page->height);
        if (devMode.empty()) std::printf("(the printer's settings could not be read: its own page is used)\n");
        for (int run = 0; run < runs; ++run) {
            FILETIME started;
            GetSystemTimeAsFileTime(&started);
            const double t0 = RenderClockSeconds();
            HDC dc = CreateDCA("WINSPOOL", printer, nullptr,
                               devMode.empty() ? nullptr : reinterpret_cast<const DEVMODEA*>(devMode.data()));
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
            double done = 0;
            if (!pdfFolder.empty()) {
                done = WaitForPdf(pdfFolder, started) ? (RenderClockSeconds() - t0) * 1000 : -1;
            }
            std::printf("%10.0f %9.0f %9.0f %9.0f\n", (t1 - t0) * 1000, (t2 - t1) * 1000, (t2 - t0) * 1000, done);
        }
        design.DeleteContents(true);
        library.DeleteContents(true);
        FreeColorScratchBitmaps();
    }
    GdiplusShutdown(token);
    return 0;
}
