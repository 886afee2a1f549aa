// Printing every side: the program opens a design the driver wrote; File > Print finds the CUPS
// PDF queue, the front cover, the back cover and the disc are ticked and 2 copies typed, the dialog
// counts the pages, and Print sends the job. The queue's PDF holds the disc page and the two cover
// pages in their paper sizes and orientations, and the queue's record of the job says it asked for
// two copies of each.
#include <doctest.h>

#include <cmath>
#include <iostream>

#include "AppDriver.h"
#include "DialogControls.h"
#include "PrintedJobs.h"
#include "SampleDesign.h"
#include "ScenarioSupport.h"
#include "res/CommandIds.h"
#include "res/PrintDialogsIds.h"

using namespace e2e;

namespace {

const char kFindingPrinters[] = "Finding Available Printers ...";

// The Print dialog once it has listed the printers and chosen the PDF queue.
HWND OpenPrintDialog(AppDriver& app) {
    app.Command(ID_FILE_PRINT_CMD);
    HWND dialog = app.WaitForDialog("Print", 20000);
    if (dialog == nullptr) return nullptr;
    HWND printers = Control(dialog, IDC_PRINT_PRINTER);
    const bool listed = WaitFor(
        [&] {
            const std::string selected = ComboSelection(printers);
            return !selected.empty() && selected != kFindingPrinters;
        },
        20000);
    if (!listed) {
        std::cout << "the printers were not listed; the program shows\n" << DescribeWindows(dialog);
        return nullptr;
    }
    if (ComboSelection(printers) != "PDF" && !ChooseComboEntry(dialog, IDC_PRINT_PRINTER, "PDF"))
        return nullptr;
    return dialog;
}

bool Tick(AppDriver& app, HWND dialog, int id) {
    HWND box = Control(dialog, id);
    if (IsChecked(box)) return true;
    if (!app.PressButton(dialog, WindowText(box))) return false;
    return WaitFor([&] { return IsChecked(box); }, 10000);
}

bool Near(double points, double expected) {
    return std::fabs(points - expected) < 1.0;
}

}  // namespace

TEST_CASE("print_sides") {
    ScenarioClock clock;
    REQUIRE(PrepareRendering());
    REQUIRE(!PrintQueueFolder().empty());
    // The job's title is the design's name.
    const std::string title = UniqueDesignName("Harbour Lights");
    const std::string design = OutDir() + "\\" + title + ".kvl";
    REQUIRE(WriteSampleDesign(design));

    AppDriver app;
    HWND main = StartReady(app, "\"" + design + "\"");
    REQUIRE(main != nullptr);

    HWND dialog = OpenPrintDialog(app);
    REQUIRE(dialog != nullptr);
    RecordMetric("printers_listed_ms", app.Elapsed());
    // Every side of the jewel case, two copies of each.
    CHECK(WindowText(Control(dialog, IDC_PRINT_FRONT)) == "Print Front Cover");
    CHECK(WindowText(Control(dialog, IDC_PRINT_BACK)) == "Print Back Cover");
    CHECK(WindowText(Control(dialog, IDC_PRINT_DISC1)) == "Print Disc");
    CHECK_FALSE(::IsWindowVisible(Control(dialog, IDC_PRINT_DISC2)));
    for (int id : {IDC_PRINT_FRONT, IDC_PRINT_BACK, IDC_PRINT_DISC1}) CHECK(Tick(app, dialog, id));
    CHECK(SetEditText(Control(dialog, IDC_PRINT_COPIES), "2"));
    HWND total = Control(dialog, IDC_PRINT_TOTAL);
    CHECK(WaitFor([&] { return WindowText(total) == "Total Pages to Print: 6"; }, 10000));
    // One tab for each side, the disc first.
    CHECK(WaitForStillWindow(dialog, 20000));
    CHECK(app.Screenshot("print-dialog"));

    REQUIRE(app.PressButton(dialog, "  Print"));
    CHECK(WaitFor([&] { return !::IsWindow(dialog); }, 30000));
    const std::string pdf = FindPrintedJob(title, 60000);
    RecordMetric("printed_ms", app.Elapsed());
    CHECK(app.WaitForMessageBox(0) == nullptr);
    CHECK(WaitForStillWindow(main, 20000));
    RecordCounts(app, "end");
    CHECK(app.Quit(30000));

    REQUIRE_MESSAGE(!pdf.empty(), "no PDF titled " << title << " in " << PrintQueueFolder());
    // One job, no other of this title: the program has ended, and the queue has printed what it sent.
    CHECK(CountPrintedJobs(title, pdf) == 1);
    std::cout << "printed: " << pdf << std::endl;
    const std::vector<PdfPage> pages = PdfPageSizes(pdf);
    for (const PdfPage& page : pages) std::cout << "page " << page.width << " x " << page.height << std::endl;
    // The disc on upright Letter, the front cover (a folded booklet) on Letter turned sideways, the
    // back cover upright. The PDF queue writes each page once: the copies are the printer's to make.
    REQUIRE(pages.size() == 3);
    // The copies went to the queue with the job: it counted both sets.
    const JobRecord job = PrintedJobRecord(pdf, 20000);
    CHECK(job.copies == 2);
    CHECK(job.impressions == 6);
    CHECK(Near(pages[0].width, 612));
    CHECK(Near(pages[0].height, 792));
    CHECK(Near(pages[1].width, 792));
    CHECK(Near(pages[1].height, 612));
    CHECK(Near(pages[2].width, 612));
    CHECK(Near(pages[2].height, 792));
    ::DeleteFileA(pdf.c_str());
}

// No printer at all (scenario-print_offline.env points the spooler's client at a socket that does
// not exist). File > Print, given while New Project is still open at start-up, says every printer
// is offline and closes its dialog; File > Exit then ends the program (New Project is cancelled on
// the way, and no crash keeps the process).
TEST_CASE("print_offline") {
    AppDriver app;
    HWND main = StartReady(app, std::string());
    REQUIRE(main != nullptr);
    REQUIRE(app.WaitForDialog("New Project", 20000) != nullptr);
    app.Command(ID_FILE_PRINT_CMD);
    HWND dialog = app.WaitForDialog("Print", 20000);
    REQUIRE(dialog != nullptr);
    HWND box = app.WaitForMessageBox(30000);
    REQUIRE(box != nullptr);
    CHECK(AppDriver::MessageText(box).find("All printers are currently offline.") == 0);
    REQUIRE(app.Answer(box, IDOK));
    CHECK(WaitFor([&] { return !::IsWindow(dialog); }, 20000));
    CHECK(app.Quit(30000));
}
