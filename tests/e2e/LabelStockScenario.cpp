// Label stock and alignment: in Layout > Change Label Template the user looks at the LightScribe
// stock (which cannot be edited), chooses the generic disc stock and makes a stock of their own
// from it, moves its first disc down in Edit Dimensions, and keeps it; then File > Printer
// Calibration sets the PDF queue's offsets and prints the calibration page. The page reaches the
// PDF; the new stock with its dimension is in templates.ini and stays the disc stock, and the next
// start shows the stock and the offsets again.
#include <doctest.h>

#include <algorithm>
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

const char kGenericDisc[] = "(CD/DVD Disc Label - Generic)";
const char kOwnStock[] = "Custom Disc Label 1";
// The generic stock's first disc lies 0.688 inch from the top of the sheet; the user's stock has
// it at 0.750 inch.
const char kGenericTop[] = "0.688 ''";
const char kEditedTopTyped[] = "0.75";
const char kEditedTop[] = "0.750 ''";
const int kEditedTopValue = 750;

HWND OpenLabelStock(AppDriver& app) {
    app.Command(ID_CHANGE_LABEL_TEMPLATE);
    return app.WaitForDialog("Change Label Template", 20000);
}

// The edit of the preview's dimension field captioned `caption` that shows `value` (each field's
// caption sits right above its edit box).
HWND DimensionField(HWND dialog, const std::string& caption, const std::string& value) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            found = FindDescendant(dialog, [&](HWND edit) {
                const int id = ::GetDlgCtrlID(edit);
                if (id < IDC_DIMENSION_FIELD || id > IDC_DIMENSION_FIELD_END || ClassName(edit) != "Edit" ||
                    !::IsWindowVisible(edit) || WindowText(edit) != value)
                    return false;
                RECT e = {};
                ::GetWindowRect(edit, &e);
                return FindDescendant(dialog, [&](HWND label) {
                           RECT l = {};
                           ::GetWindowRect(label, &l);
                           return ClassName(label) == "Static" && ::IsWindowVisible(label) &&
                                  WindowText(label) == caption && std::abs(l.bottom - e.top) <= 2 &&
                                  l.left >= e.left && l.left <= e.right;
                       }) != nullptr;
            });
            return found != nullptr;
        },
        10000);
    return found;
}

// The calibration dialog once the printers are listed and the PDF queue chosen.
HWND OpenCalibration(AppDriver& app) {
    app.Command(ID_PRINTER_CALIBRATION);
    HWND dialog = app.WaitForDialog("Printer Calibration", 20000);
    if (dialog == nullptr) return nullptr;
    HWND printers = Control(dialog, IDC_PRINT_PRINTER);
    const bool listed = WaitFor(
        [&] {
            const std::string selected = ComboSelection(printers);
            return !selected.empty() && selected.find("Finding") == std::string::npos;
        },
        20000);
    if (!listed) return nullptr;
    if (ComboSelection(printers) != "PDF" && !ChooseComboEntry(dialog, IDC_PRINT_PRINTER, "PDF"))
        return nullptr;
    return dialog;
}

bool Near(double points, double expected) {
    return std::fabs(points - expected) < 1.0;
}

}  // namespace

TEST_CASE("label_stock") {
    ScenarioClock clock;
    REQUIRE(PrepareRendering());
    REQUIRE(!PrintQueueFolder().empty());
    const std::string settings = SettingsFolder();
    // The calibration job is named after the design.
    const std::string title = UniqueDesignName("Stock");
    const std::string design = OutDir() + "\\" + title + ".kvl";
    REQUIRE(WriteSampleDesign(design));

    AppDriver app;
    HWND main = StartReady(app, "\"" + design + "\"");
    REQUIRE(main != nullptr);

    // ---- the stock: the generic disc stock chosen, a stock of the user's own made from it --------
    HWND stock = OpenLabelStock(app);
    REQUIRE(stock != nullptr);
    HWND discs = Control(stock, IDC_STOCK_DISC_LIST);
    const std::vector<std::string> entries = ListEntries(discs);
    CHECK(std::find(entries.begin(), entries.end(), "LightScribe") != entries.end());
    CHECK(ListSelection(discs) == kGenericDisc);
    // The LightScribe stock is the drive's: its dimensions cannot be edited.
    CHECK(ChooseListEntry(stock, IDC_STOCK_DISC_LIST, "LightScribe"));
    CHECK_FALSE(IsEnabled(Control(stock, IDC_STOCK_DISC_EDIT)));
    CHECK(ChooseListEntry(stock, IDC_STOCK_DISC_LIST, kGenericDisc));
    CHECK(IsEnabled(Control(stock, IDC_STOCK_DISC_EDIT)));
    REQUIRE(PressControl(app, stock, IDC_STOCK_DISC_NEW));

    HWND alignment = app.WaitForDialog("Edit Dimensions", 20000);
    REQUIRE(alignment != nullptr);
    CHECK(WindowText(Control(alignment, IDC_ALIGN_NAME)) == kOwnStock);
    HWND top = DimensionField(alignment, "Top", kGenericTop);
    REQUIRE_MESSAGE(top != nullptr, DescribeWindows(alignment));
    CHECK(TypeIntoEdit(app, top, kEditedTopTyped));
    // Enter takes the typed length; the field shows it in the user's units.
    app.Key(VK_RETURN);
    CHECK(WaitFor([&] { return WindowText(top) == kEditedTop; }, 10000));
    CHECK(WaitForStillWindow(alignment, 20000));
    CHECK(app.Screenshot("edit-dimensions"));
    REQUIRE(app.PressButton(alignment, "Save"));
    CHECK(WaitFor([&] { return !::IsWindow(alignment); }, 20000));

    // Back in the stock dialog, the new stock is the chosen disc stock.
    CHECK(WaitFor([&] { return ListSelection(discs) == kOwnStock; }, 10000));
    REQUIRE(app.PressButton(stock, "OK"));
    CHECK(WaitFor([&] { return !::IsWindow(stock); }, 20000));
    CHECK(app.WaitForMessageBox(0) == nullptr);

    // ---- alignment: the PDF queue's offsets, and the calibration page printed -----------------
    HWND calibration = OpenCalibration(app);
    REQUIRE(calibration != nullptr);
    CHECK(ComboSelection(Control(calibration, IDC_PRINT_PAGE_SIZE)).find("Letter") == 0);
    HWND horizontal = Control(calibration, IDC_PRINT_OFFSET_X);
    HWND vertical = Control(calibration, IDC_PRINT_OFFSET_Y);
    CHECK(TypeIntoEdit(app, horizontal, "4"));
    CHECK(TypeIntoEdit(app, vertical, "-2"));
    // Leaving the field keeps the value for the printer.
    app.Key(VK_TAB);
    CHECK(WaitFor([&] { return !app.WaitForFocus(vertical, 0); }, 5000));
    REQUIRE(app.PressButton(calibration, "  Print Calibration"));
    CHECK(WaitFor([&] { return !::IsWindow(calibration); }, 30000));
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
    REQUIRE(pages.size() == 1);
    CHECK(Near(pages[0].width, 612));
    CHECK(Near(pages[0].height, 792));
    // The page as it came out: the heading's ink at the top, and the crosshair at the sheet's
    // centre moved by the offsets, 4/40 inch to the right and 2/40 inch up.
    const int dpi = 100;
    const GreyPage sheet = RasterisePdfPage(pdf, 1, dpi);
    REQUIRE(sheet.width == 850);
    REQUIRE(sheet.height == 1100);
    const int cx = sheet.width / 2, cy = sheet.height / 2;
    int lineX = -1, lineY = -1;
    long long inkX = 0, inkY = 0;
    for (int d = -40; d <= 40; ++d) {
        const long long column = sheet.Ink(cx + d, cy - 140, cx + d + 1, cy + 140);
        const long long row = sheet.Ink(cx - 140, cy + d, cx + 140, cy + d + 1);
        if (column > inkX) inkX = column, lineX = cx + d;
        if (row > inkY) inkY = row, lineY = cy + d;
    }
    std::cout << "crosshair at (" << lineX << ", " << lineY << ") on a sheet of " << sheet.width << " x "
              << sheet.height << " pixels" << std::endl;
    CHECK(std::abs(lineX - (cx + 4 * dpi / 40)) <= 1);
    CHECK(std::abs(lineY - (cy - 2 * dpi / 40)) <= 1);
    // Thin lines, grey where they fall between pixels, across the 280 pixels measured; and the
    // heading's words.
    CHECK(inkX > 280 * 50);
    CHECK(inkY > 280 * 50);
    CHECK(sheet.Ink(0, 0, sheet.width, sheet.height / 5) > 3000 * 255);
    ::DeleteFileA(pdf.c_str());

    // ---- what is kept --------------------------------------------------------------------------
    const std::string templates = settings + "\\templates.ini";
    CHECK(TemplateObjectTop(templates, kOwnStock, "Disc 1") == kEditedTopValue);
    CHECK(TemplateObjectTop(templates, kGenericDisc, "Disc 1") == 688);
    const std::vector<unsigned char> preferences = ReadBytes(settings + "\\preferences.ini");
    const std::string own(kOwnStock);
    CHECK(std::search(preferences.begin(), preferences.end(), own.begin(), own.end()) != preferences.end());

    // The next start: the user's stock is the disc stock, and the queue keeps its offsets.
    AppDriver again;
    REQUIRE(again.Start());
    REQUIRE(again.WaitForMainWindow(30000) != nullptr);
    HWND newProject = again.WaitForDialog("New Project", 20000);
    REQUIRE(newProject != nullptr);
    CHECK(again.WaitForSplashGone(20000));
    CHECK(again.PressButton(newProject, "Cancel"));
    CHECK(WaitFor([&] { return !::IsWindow(newProject); }, 10000));
    CHECK(WaitForStillWindow(again.Main(), 20000));
    stock = OpenLabelStock(again);
    REQUIRE(stock != nullptr);
    CHECK(ListSelection(Control(stock, IDC_STOCK_DISC_LIST)) == kOwnStock);
    REQUIRE(again.PressButton(stock, "Cancel"));
    CHECK(WaitFor([&] { return !::IsWindow(stock); }, 20000));
    calibration = OpenCalibration(again);
    REQUIRE(calibration != nullptr);
    CHECK(WindowText(Control(calibration, IDC_PRINT_OFFSET_X)) == "4");
    CHECK(WindowText(Control(calibration, IDC_PRINT_OFFSET_Y)) == "-2");
    REQUIRE(again.PressButton(calibration, "Cancel"));
    CHECK(WaitFor([&] { return !::IsWindow(calibration); }, 20000));
    CHECK(again.Quit(30000));
}
