// Printing through the view onto the "PDF" printer of the test spooler: the disc, front and back
// pages of a jewel-case design, the calibration page, and a job printed directly on a centred
// disc; the design's saved bytes stay the same through every job, a cancelled one, one with no
// side chosen and one given up for a picture it could not draw; a closed preview brings the print
// dialog back, and the user cancels it. check_canvas_print.sh runs this program and then checks
// the PDFs (every job of the run and its pages, sizes, and the first page against the exported
// image of the same page). Job titles carry the script's tag for the run (PrintJobTitle).
#include <doctest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "CanvasFixture.h"
#include "GuiSupport.h"
#include "TestPrinter.h"
#include "TestSupport.h"
#include "canvas/ViewSettings.h"
#include "framework/docview/Ids.h"
#include "framework/docview/Preview.h"
#include "model/PrintOptions.h"
#include "model/ImageStream.h"
#include "render/DocumentBitmap.h"

using namespace cvtest;

namespace {

std::vector<unsigned char> Bytes(View* view) {
    CMemFile file;
    view->m_design.Save(&file);
    const BYTE* p = file.GetData();
    return std::vector<unsigned char>(p, p + static_cast<size_t>(file.GetLength()));
}

bool SavePng(Gdiplus::Bitmap* bitmap, const char* path) {
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, encoders);
    for (UINT i = 0; i < count; ++i)
        if (wcscmp(encoders[i].MimeType, L"image/png") == 0) {
            std::wstring wide(path, path + strlen(path));
            return bitmap->Save(wide.c_str(), &encoders[i].Clsid, nullptr) == Gdiplus::Ok;
        }
    return false;
}

void UsePdfPrinter() {
    RecordingHost& host = Host();
    static HGLOBAL names = nullptr, mode = nullptr;
    if (!names) REQUIRE(kvtest::TestPrinterHandles(&names, &mode));
    host.printer.devNames = names;
    host.printer.paperDevMode = mode;
    host.printer.discDevMode = mode;
    host.havePrinter = true;
}

// The smallest rectangle holding every pixel darker than light grey.
struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    void Add(int x, int y) {
        left = std::min(left, x), top = std::min(top, y);
        right = std::max(right, x + 1), bottom = std::max(bottom, y + 1);
    }
    bool Empty() const { return right < 0; }
};

bool Inked(const BYTE* bgr) {
    return bgr[0] < 200 || bgr[1] < 200 || bgr[2] < 200;
}

Ink InkOf(HBITMAP bitmap) {
    Ink ink;
    DIBSECTION dib = {};
    if (!bitmap || ::GetObjectA(bitmap, sizeof(dib), &dib) != sizeof(dib) || !dib.dsBm.bmBits ||
        dib.dsBm.bmBitsPixel != 24)
        return ink;
    const BYTE* bits = static_cast<const BYTE*>(dib.dsBm.bmBits);
    for (int y = 0; y < dib.dsBm.bmHeight; ++y)
        for (int x = 0; x < dib.dsBm.bmWidth; ++x)
            if (Inked(bits + y * dib.dsBm.bmWidthBytes + x * 3)) ink.Add(x, y);
    return ink;
}

Ink InkOf(Gdiplus::Bitmap* bitmap) {
    Ink ink;
    Gdiplus::BitmapData data = {};
    Gdiplus::Rect all(0, 0, static_cast<INT>(bitmap->GetWidth()), static_cast<INT>(bitmap->GetHeight()));
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &data) != Gdiplus::Ok)
        return ink;
    for (int y = 0; y < all.Height; ++y)
        for (int x = 0; x < all.Width; ++x)
            if (Inked(static_cast<const BYTE*>(data.Scan0) + y * data.Stride + x * 3)) ink.Add(x, y);
    bitmap->UnlockBits(&data);
    return ink;
}

void Print(View* view, const char* title) {
    view->GetDocument()->SetTitle(kvtest::PrintJobTitle(title).c_str());
    view->SendMessage(WM_COMMAND, ID_FILE_PRINT);
    Pump();
}

}  // namespace

TEST_CASE("a jewel-case design prints its disc, front and back pages; the design stays as it was" *
          doctest::timeout(120)) {
    View* view = EnsureView();
    UsePdfPrinter();
    NewDesign(view, kLayout1DiscTop, "Disc 1");
    ViewObject* disc = view->m_design.GetCurrentSide();
    REQUIRE(disc != nullptr);
    const std::string picture = MakePicture("printed", 200, 200, RGB(20, 60, 200));
    view->InsertImage(CRect(disc->left + 1200, disc->top + 300, disc->left + 3400, disc->top + 1400),
                      picture.c_str(), false);
    view->ShowSide("Front Cover");
    ViewObject* front = view->m_design.GetCurrentSide();
    AddText(view, "Text 1", "Front\b", front->left + 500, front->top + 500, 3000, 800);
    g_printOptions.SetDefaults();
    g_printCopies = 1;
    const std::vector<unsigned char> before = Bytes(view);

    // The expected pages for the checking script: their sizes in points, and the first page as
    // the exported image shows it.
    FILE* expect = std::fopen("canvas-print-expected.txt", "w");
    REQUIRE(expect != nullptr);
    for (int page = 1; page <= 3; ++page) {
        ViewObject* p = view->m_design.FindPage(page, true);
        REQUIRE(p != nullptr);
        std::fprintf(expect, "%d %d\n", p->width * 72 / 1000, p->height * 72 / 1000);
    }
    std::fclose(expect);
    ViewObject* page1 = view->m_design.FindPage(1, true);
    Gdiplus::Bitmap* exported =
        RenderDocumentToBitmap(&view->m_design, page1, kPurposeExport, 50, &g_printOptions);
    REQUIRE(exported != nullptr);
    CHECK(SavePng(exported, "canvas-print-page1.png"));
    delete exported;

    Host().printAnswer = IDOK;
    Print(view, "KvCanvasPrint");
    CHECK(Host().Called("RunPrintDialog"));
    CHECK(view->m_firstPrintPage == 1);
    CHECK(view->m_lastPrintPage == 3);
    CHECK(view->m_lastPrintedPage == 3);
    CHECK(Bytes(view) == before);

    // Cancelled: no job, nothing changed.
    Host().printAnswer = IDCANCEL;
    view->m_lastPrintedPage = 0;
    Print(view, "KvCanvasCancelled");
    CHECK(view->m_lastPrintedPage == -1);
    CHECK(Bytes(view) == before);

    // Too little memory left for the disc's picture: nothing of the job is printed (no PDF comes,
    // check_canvas_print.sh), and the user hears which picture it lacked.
    {
        KvMessageBoxCapture boxes;
        Host().printAnswer = IDOK;
        PictureMemoryStandIn() = [](const PictureHeaderCheck&) { return false; };
        Print(view, "KvCanvasNoPicture");
        PictureMemoryStandIn() = nullptr;
        REQUIRE(boxes.Boxes().size() == 1);
        CHECK(boxes.LastText().Find("Nothing was printed") == 0);
        CHECK(boxes.LastText().Find("\r\nprinted.png\r\n") > 0);
        CHECK(Bytes(view) == before);
    }

    // No side chosen: no job either.
    Host().printAnswer = IDOK;
    g_printOptions.printFront = g_printOptions.printBack = g_printOptions.printDisc1 =
        g_printOptions.printDisc2 = 0;
    Print(view, "KvCanvasNoSide");
    CHECK(view->m_lastPrintedPage == -1);
    CHECK(Bytes(view) == before);
    g_printOptions.SetDefaults();

    // Print Preview shows the disc page at the window's size: its ink lies where the page exported
    // at the printer's resolution has it, less the printer's unprintable margin, scaled.
    // check_canvas_print.sh compares the same picture with the printed PDF page.
    {
        CFrameWnd* frame = view->GetParentFrame();
        REQUIRE(frame != nullptr);
        view->SetPrintPageRange();
        frame->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
        Pump();
        CPreviewView* preview = dynamic_cast<CPreviewView*>(frame->GetActiveView());
        REQUIRE(preview != nullptr);
        REQUIRE(preview->m_pPreviewDC != nullptr);
        CHECK(preview->GetCurrentPage() == 1);
        const int dpi = preview->m_pPreviewDC->GetDeviceCaps(LOGPIXELSX);
        const CPoint offset = preview->m_pPreviewDC->GetPrintableOffset();
        const Ink shown = InkOf(preview->m_pPreviewDC->GetPageBitmap());
        Gdiplus::Bitmap* atPrinter =
            RenderDocumentToBitmap(&view->m_design, page1, kPurposeExport, dpi, &g_printOptions);
        REQUIRE(atPrinter != nullptr);
        const Ink expected = InkOf(atPrinter);
        delete atPrinter;
        REQUIRE_FALSE(expected.Empty());
        REQUIRE_FALSE(shown.Empty());
        // Within a pixel of the page shown.
        const double scale =
            double(preview->m_pPreviewDC->GetShownSize().cx) / preview->m_pPreviewDC->GetPageSize().cx;
        auto onPage = [&](int dots, int margin) { return int(std::lround((dots - margin) * scale)); };
        INFO("preview ink " << shown.left << "," << shown.top << " - " << shown.right << "," << shown.bottom
                            << "; expected " << onPage(expected.left, offset.x) << ","
                            << onPage(expected.top, offset.y) << " - " << onPage(expected.right, offset.x)
                            << "," << onPage(expected.bottom, offset.y));
        CHECK(std::abs(shown.left - onPage(expected.left, offset.x)) <= 1);
        CHECK(std::abs(shown.top - onPage(expected.top, offset.y)) <= 1);
        CHECK(std::abs(shown.right - onPage(expected.right, offset.x)) <= 1);
        CHECK(std::abs(shown.bottom - onPage(expected.bottom, offset.y)) <= 1);
        std::unique_ptr<Gdiplus::Bitmap> page(
            Gdiplus::Bitmap::FromHBITMAP(preview->m_pPreviewDC->GetPageBitmap(), nullptr));
        CHECK(SavePng(page.get(), "canvas-preview-page1.png"));
        FILE* where = std::fopen("canvas-preview-offset.txt", "w");
        REQUIRE(where != nullptr);
        std::fprintf(where, "%.4f %d %d\n", dpi * scale, onPage(offset.x, 0), onPage(offset.y, 0));
        std::fclose(where);
        // Closing the preview brings the print dialog back; the user who closed it prints nothing.
        Host().printAnswer = IDCANCEL;
        Host().calls.clear();
        frame->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_CLOSE, 0);
        CHECK(kvtest::PumpUntil([] { return Host().Called("RunPrintDialog"); }, 10000));
        CHECK(frame->GetActiveView() == view);
        Host().printAnswer = IDOK;
    }

    // The calibration page: one page, the disc page with the paper's size for the job only.
    g_paperSize = "A4";
    view->GetDocument()->SetTitle(kvtest::PrintJobTitle("KvCanvasCalib").c_str());
    view->OnPrinterCalibration();
    Pump();
    CHECK_FALSE(view->m_calibrationMode);
    CHECK(Bytes(view) == before);
    g_paperSize = "Letter";
}

TEST_CASE("printing directly on a centred disc puts the disc template back exactly" * doctest::timeout(120)) {
    View* view = EnsureView();
    UsePdfPrinter();
    NewDesign(view, kLayout1DiscTop, "Disc 1");
    ViewObject* disc = view->m_design.GetDisc(1);
    REQUIRE(disc != nullptr);
    // A disc with its page position kept: the design prints it centred on the disc printer's page.
    disc->savedLeft = disc->left;
    disc->savedTop = disc->top;
    REQUIRE(view->m_design.IsDiscCentered());
    g_printOptions.SetDefaults();
    g_printOptions.printFront = g_printOptions.printBack = 0;
    const std::vector<unsigned char> before = Bytes(view);
    Host().printAnswer = IDOK;
    Print(view, "KvCanvasDisc");
    CHECK(view->IsDirectDiscPrint());
    CHECK(view->m_lastPrintedPage == 1);
    CHECK(Bytes(view) == before);
    g_printOptions.SetDefaults();
}
