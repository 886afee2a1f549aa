// Printing through the print dialog to the CUPS PDF queue: the view's File > Print runs the
// dialog, which chooses the sides, their borders and the copies (which reach the printer in its
// device mode; the PDF queue writes one set whatever a job asks for); the job's PDF is found by its
// unique title (the queue's output folder is one setting that parallel runs change, so every
// folder it names while the test waits is searched), and its pages are counted, measured and
// rasterised (pdfinfo and pdftoppm, run as Unix programs) to be compared with the same page
// exported as an image.
#include <doctest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "../canvas/CanvasFixture.h"
#include "GuiSupport.h"
#include "PrintTestSupport.h"
#include "TestSupport.h"
#include "canvas/ViewSettings.h"
#include "print/DlgPrint.h"
#include "print/ImageExport.h"
#include "print/PrinterSetups.h"
#include "render/CanvasSettings.h"
#include "res/PrintDialogsIds.h"

using namespace printtest;
using kvtest::PrintQueueFolder;
using kvtest::ReadText;
using kvtest::RunUnix;
using kvtest::UnixPath;
using namespace Gdiplus;

namespace {

// The job's PDF: a file whose name begins with the title, complete (it ends with %%EOF), in any of
// the folders the queue named while the test waited.
std::string FindJob(const std::string& title, int timeoutMs) {
    std::set<std::string> folders;
    std::string found;
    kvtest::PumpUntil([&] { return !(found = kvtest::FindCompletedPdf(title, folders)).empty(); }, timeoutMs);
    return found;
}

struct PdfPage {
    double width = 0, height = 0;  // points
};

// The pages of the PDF and their sizes, as pdfinfo reads them.
std::vector<PdfPage> PdfPages(const std::string& pdf, const std::string& work) {
    const std::string info = RunUnix("pdfinfo -f 1 -l 999 '" + UnixPath(pdf) + "'", work + "\\pdfinfo.txt");
    std::vector<PdfPage> pages;
    std::istringstream lines(info);
    std::string line;
    while (std::getline(lines, line)) {
        int number = 0;
        PdfPage page;
        if (std::sscanf(line.c_str(), "Page %d size: %lf x %lf", &number, &page.width, &page.height) == 3)
            pages.push_back(page);
    }
    return pages;
}

Bitmap* Rasterise(const std::string& pdf, int page, int dpi, const std::string& work) {
    const std::string png = work + "\\page.png";
    RunUnix("pdftoppm -r " + std::to_string(dpi) + " -f " + std::to_string(page) + " -l " +
                std::to_string(page) + " -singlefile -png '" + UnixPath(pdf) + "' '" + UnixPath(work) +
                "/page' && cat '" + UnixPath(work) + "/page.png'",
            work + "\\raster.txt");
    std::wstring wide(png.begin(), png.end());
    Bitmap* b = Bitmap::FromFile(wide.c_str());
    if (b && b->GetLastStatus() != Ok) {
        delete b;
        b = nullptr;
    }
    return b;
}

// The share of 20 x 20 blocks whose mean colour is within 24 levels of the other picture's.
double MatchingBlocks(Bitmap* a, Bitmap* b) {
    const int w = static_cast<int>(std::min(a->GetWidth(), b->GetWidth()));
    const int h = static_cast<int>(std::min(a->GetHeight(), b->GetHeight()));
    int blocks = 0, matching = 0;
    for (int by = 0; by + 20 <= h; by += 20) {
        for (int bx = 0; bx + 20 <= w; bx += 20) {
            double sumA[3] = {0, 0, 0}, sumB[3] = {0, 0, 0};
            for (int y = by; y < by + 20; y += 2) {
                for (int x = bx; x < bx + 20; x += 2) {
                    Color ca, cb;
                    a->GetPixel(x, y, &ca);
                    b->GetPixel(x, y, &cb);
                    sumA[0] += ca.GetR();
                    sumA[1] += ca.GetG();
                    sumA[2] += ca.GetB();
                    sumB[0] += cb.GetR();
                    sumB[1] += cb.GetG();
                    sumB[2] += cb.GetB();
                }
            }
            bool close = true;
            for (int c = 0; c < 3; ++c) close = close && std::fabs(sumA[c] - sumB[c]) / 100.0 <= 24.0;
            ++blocks;
            matching += close ? 1 : 0;
        }
    }
    return blocks ? static_cast<double>(matching) / blocks : 0.0;
}

std::string UniqueTitle(const char* what) {
    char title[32];
    std::snprintf(title, sizeof(title), "kv%s%lu-%lu", what,
                  static_cast<unsigned long>(::GetCurrentProcessId()),
                  static_cast<unsigned long>(::GetTickCount() % 100000));
    return title;
}

void SetTitle(View* view, const std::string& title) {
    CFrameWnd* frame = static_cast<CFrameWnd*>(AfxGetMainWnd());
    REQUIRE(frame != nullptr);
    REQUIRE(frame->GetActiveDocument() != nullptr);
    frame->GetActiveDocument()->SetTitle(title.c_str());
    (void)view;
}

}  // namespace

TEST_CASE("printing through the dialog to the PDF queue") {
    View* view = EnsurePrintView();
    KvMessageBoxCapture boxes;
    g_units = "Inches";
    g_printCopies = 1;
    g_printOptions.SetDefaults();
    const std::string work = kvtest::TempDir("print-queue");
    PrintHost& host = Host();

    // A jewel case design whose front cover carries a coloured picture as its background.
    NewDesign(view, kLayout1DiscTop, "Front Cover");
    ViewObject* front = view->m_design.GetFrontCover();
    const std::string picture = cvtest::MakePicture("print-front", 400, 200, RGB(40, 120, 220));
    view->InsertImage(CRect(front->left, front->top, front->GetRight(), front->GetBottom()), picture.c_str(),
                      true);

    SUBCASE("the covers with their borders, two copies") {
        const std::string title = UniqueTitle("cov");
        SetTitle(view, title);
        host.printDriver = [](CWnd& dialog) {
            DlgPrint& d = static_cast<DlgPrint&>(dialog);
            d.CheckDlgButton(IDC_PRINT_DISC1, BST_UNCHECKED);
            Command(d, IDC_PRINT_DISC1);
            Choose(d.m_tabs.m_front, IDC_PAGE_BORDER, 1);
            Choose(d.m_tabs.m_back, IDC_PAGE_BORDER, 1);
            d.SetDlgItemText(IDC_PRINT_COPIES, "2");
            Command(d, IDOK);
        };
        view->OnFilePrint();
        host.printDriver = nullptr;
        CHECK(host.printRuns >= 1);
        CHECK(g_printOptions.frontBorder == 1);
        const std::string pdf = FindJob(title, 60000);
        REQUIRE_MESSAGE(!pdf.empty(), "no PDF titled " << title);
        CHECK(kvtest::CountPrintedJobs(title, pdf, work) == 1);
        const std::vector<PdfPage> pages = PdfPages(pdf, work);
        // The front cover page and the back cover page. The copies go to the printer in its
        // device mode; the PDF queue writes one set whatever a job asks for.
        REQUIRE(pages.size() == 2);
        CHECK(host.copiesAsked == 2);
        CHECK(PrinterSetups::Get().GetCurrentPrintDriver()->SetCopies(CPrintDriver::kReadOnly) == 2);
        // Page 2 of a jewel case is landscape Letter, page 3 upright.
        CHECK(pages[0].width == doctest::Approx(792).epsilon(0.01));
        CHECK(pages[0].height == doctest::Approx(612).epsilon(0.01));
        CHECK(pages[1].width == doctest::Approx(612).epsilon(0.01));
        CHECK(pages[1].height == doctest::Approx(792).epsilon(0.01));

        // The printed front cover page against the same page exported.
        PrintOptions options(&g_printOptions);
        options.printFront = options.printBack = options.printDisc1 = options.printDisc2 = 1;
        const std::string exported = work + "\\page2.png";
        REQUIRE(ExportImage(&view->m_design, view->m_design.FindObject("Page 2"), 100, &options, kExportPng,
                            exported.c_str())
                    .outcome == kExportWritten);
        std::wstring wide(exported.begin(), exported.end());
        Bitmap* expected = Bitmap::FromFile(wide.c_str());
        Bitmap* printed = Rasterise(pdf, 1, 100, work);
        REQUIRE(expected != nullptr);
        REQUIRE(printed != nullptr);
        CHECK(printed->GetWidth() == expected->GetWidth());
        CHECK(printed->GetHeight() == expected->GetHeight());
        CHECK(MatchingBlocks(printed, expected) > 0.97);
        // The picture is the background of the folded cover's front panel (its right half): its
        // black corner and its blue are there on paper.
        Color blue, corner;
        const int fx = static_cast<int>(front->left * 0.1), fy = static_cast<int>(front->top * 0.1);
        // 100 dots per inch: a tenth of a design unit's thousandth.
        REQUIRE(printed->GetPixel(fx + static_cast<int>(front->width * 0.055),
                                  fy + static_cast<int>(front->height * 0.01), &corner) == Ok);
        REQUIRE(printed->GetPixel(fx + static_cast<int>(front->width * 0.08),
                                  fy + static_cast<int>(front->height * 0.06), &blue) == Ok);
        CHECK(corner.GetR() < 60);
        CHECK(corner.GetB() < 60);
        CHECK(blue.GetB() > 180);
        CHECK(blue.GetR() < 90);
        delete expected;
        delete printed;
        ::DeleteFileA(pdf.c_str());
    }
    SUBCASE("the disc alone, one copy") {
        const std::string title = UniqueTitle("dsc");
        SetTitle(view, title);
        host.printDriver = [](CWnd& dialog) {
            DlgPrint& d = static_cast<DlgPrint&>(dialog);
            for (int id : {IDC_PRINT_FRONT, IDC_PRINT_BACK}) {
                d.CheckDlgButton(id, BST_UNCHECKED);
                Command(d, id);
            }
            d.CheckDlgButton(IDC_PRINT_DISC1, BST_CHECKED);
            Command(d, IDC_PRINT_DISC1);
            d.SetDlgItemText(IDC_PRINT_COPIES, "1");
            Command(d, IDOK);
        };
        view->OnFilePrint();
        host.printDriver = nullptr;
        const std::string pdf = FindJob(title, 60000);
        REQUIRE_MESSAGE(!pdf.empty(), "no PDF titled " << title);
        CHECK(kvtest::CountPrintedJobs(title, pdf, work) == 1);
        const std::vector<PdfPage> pages = PdfPages(pdf, work);
        REQUIRE(pages.size() == 1);
        CHECK(pages[0].width == doctest::Approx(612).epsilon(0.01));
        CHECK(pages[0].height == doctest::Approx(792).epsilon(0.01));
        ::DeleteFileA(pdf.c_str());
    }
    CHECK(boxes.Boxes().empty());
}
