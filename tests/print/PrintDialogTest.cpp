// The print dialog on the real view with the CUPS PDF queue as the installed printer: the sides
// to print and their tabs, copies and the page total, the closing checks, the offsets and page
// size of calibration mode, the printer search, the side pages' choices, and the printer
// properties dialog.
#include <doctest.h>

#include <string>

#include "GuiSupport.h"
#include "PrintTestSupport.h"
#include "canvas/ViewSettings.h"
#include "print/DlgPrint.h"
#include "print/DlgPrintProp.h"
#include "print/PrintDriver.h"
#include "print/PrintSettings.h"
#include "print/PrinterSetups.h"
#include "render/CanvasSettings.h"
#include "res/PrintDialogsIds.h"

using namespace printtest;

namespace {

void Defaults() {
    g_units = "Inches";
    g_printCopies = 1;
    g_paperSize = "Letter";
    g_printOptions.SetDefaults();
    g_dialogPositions[kPrintDialogPos] = POINT{-1, -1};
}

std::vector<std::string> Tabs(DlgPrint& d) {
    std::vector<std::string> tabs;
    for (int i = 0; i < d.m_tabs.GetItemCount(); ++i) {
        char text[100] = {};
        TCITEM item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 99;
        d.m_tabs.GetItem(i, &item);
        tabs.push_back(text);
    }
    return tabs;
}

void Click(DlgPrint& d, int id, bool checked) {
    d.CheckDlgButton(id, checked ? BST_CHECKED : BST_UNCHECKED);
    Command(d, id);
}

// Runs the print dialog with `drive` once its printers are listed; the dialog's result.
int RunPrint(View* view, std::function<void(DlgPrint&)> drive) {
    Driven<DlgPrint> dialog(view);
    dialog.drive = [&](Driven<DlgPrint>& d) {
        REQUIRE(kvtest::PumpUntil(
            [&] {
                return d.m_printers.GetCount() > 0 && d.m_printers.GetCurSel() >= 0 &&
                       !PrinterSetups::Get().m_printerList.m_names.IsEmpty();
            },
            20000));
        drive(d);
    };
    return static_cast<int>(dialog.DoModal());
}

void CentreDiscs(View* view) {
    LabelTemplate* discs = view->m_design.GetDiscTemplate();
    for (int i = 0; i < discs->GetObjectCount(); ++i)
        if (discs->GetObject(i)->IsDisc())
            discs->GetObject(i)->savedLeft = discs->GetObject(i)->savedTop = 50;
}

}  // namespace

TEST_CASE("what to print, its tabs and the page total") {
    View* view = EnsurePrintView();
    Defaults();
    KvMessageBoxCapture boxes;

    SUBCASE("nothing chosen: one blank tab, no pages, and neither Print nor Preview goes on") {
        NewDesign(view, kLayout1DiscTop, "Front Cover");
        std::vector<std::string> tabs;
        CString total;
        const int result = RunPrint(view, [&](DlgPrint& d) {
            CHECK(ItemText(d, IDC_PRINT_PRINTER) == "PDF");
            for (int id : {IDC_PRINT_FRONT, IDC_PRINT_BACK, IDC_PRINT_DISC1}) Click(d, id, false);
            tabs = Tabs(d);
            total = ItemText(d, IDC_PRINT_TOTAL);
            Command(d, IDOK);
            Command(d, IDC_PRINT_PREVIEW);
        });
        CHECK(result == kLeftOpen);
        CHECK(tabs == std::vector<std::string>{" "});
        CHECK(total == "Total Pages to Print: 0");
        REQUIRE(boxes.Boxes().size() == 2);
        CHECK(boxes.Boxes()[0].text == "Please select the labels to print.");
        CHECK(boxes.Boxes()[1].text == "Please select the labels to preview.");
    }
    SUBCASE("opened with nothing chosen: the disc, disc 2 for two discs") {
        g_printOptions.printFront = g_printOptions.printBack = g_printOptions.printDisc1 =
            g_printOptions.printDisc2 = 0;
        NewDesign(view, kLayout2DiscTop, "Front Cover");
        std::vector<std::string> tabs;
        RunPrint(view, [&](DlgPrint& d) {
            tabs = Tabs(d);
            CHECK(d.IsDlgButtonChecked(IDC_PRINT_DISC2) == BST_CHECKED);
            CHECK(ItemText(d, IDC_PRINT_DISC1) == "Print Disc 1");
        });
        CHECK(g_printOptions.printDisc2 == 1);
        CHECK(g_printOptions.printDisc1 == 0);
        CHECK(tabs == std::vector<std::string>{"Disc"});
        g_printOptions.printDisc2 = 0;
        NewDesign(view, kLayout1DiscTop, "Front Cover");
        RunPrint(view,
                 [&](DlgPrint& d) { CHECK_FALSE(::IsWindowVisible(d.GetDlgItem(IDC_PRINT_DISC2)->m_hWnd)); });
        CHECK(g_printOptions.printDisc1 == 1);
    }
    SUBCASE("a DVD design: the case check prints the back cover object and selects its tab") {
        g_printOptions.printFront = g_printOptions.printBack = 0;
        view->m_templates.coverTemplateName = "(DVD Case - Plain Paper)";
        NewDesign(view, kLayout1DiscTop, "Disc 1");
        view->m_templates.coverTemplateName = "(CD Jewel Case - Plain Paper)";
        CString label, selected;
        RunPrint(view, [&](DlgPrint& d) {
            label = ItemText(d, IDC_PRINT_FRONT);
            Click(d, IDC_PRINT_FRONT, true);
            selected = d.m_tabs.GetSelectedText();
        });
        CHECK(label == "Print DVD Case");
        CHECK(g_printOptions.printBack == 1);
        CHECK(g_printOptions.printFront == 0);
        CHECK(selected == "DVD Case");
    }
    SUBCASE("centred discs: one job prints either covers or one disc") {
        NewDesign(view, kLayout2DiscTop, "Disc 1");
        CentreDiscs(view);
        g_printOptions.printDisc2 = 0;
        std::vector<std::string> tabs;
        RunPrint(view, [&](DlgPrint& d) {
            // Opening kept disc 1 and dropped the covers.
            CHECK(d.IsDlgButtonChecked(IDC_PRINT_FRONT) == BST_UNCHECKED);
            Click(d, IDC_PRINT_DISC2, true);
            tabs = Tabs(d);
        });
        CHECK(g_printOptions.printDisc1 == 0);
        CHECK(g_printOptions.printFront == 0);
        CHECK(g_printOptions.printBack == 0);
        CHECK(tabs == std::vector<std::string>{"Disc 2"});
    }
    SUBCASE("two discs both of disc 2: disc 1 cannot be printed") {
        NewDesign(view, kLayout2DiscDuplicate, "Disc 1");
        RunPrint(view, [&](DlgPrint& d) {
            CHECK(d.IsDlgButtonChecked(IDC_PRINT_DISC1) == BST_UNCHECKED);
            CHECK_FALSE(::IsWindowEnabled(d.GetDlgItem(IDC_PRINT_DISC1)->m_hWnd));
        });
        CHECK(g_printOptions.printDisc1 == 0);
    }
    SUBCASE("copies multiply the pages and stay within 1 to 999") {
        NewDesign(view, kLayout1DiscTop, "Front Cover");
        g_printOptions.printDisc1 = 0;
        CString total, empty, field;
        RunPrint(view, [&](DlgPrint& d) {
            d.SetDlgItemText(IDC_PRINT_COPIES, "3");
            total = ItemText(d, IDC_PRINT_TOTAL);
            d.SetDlgItemText(IDC_PRINT_COPIES, "");
            empty = ItemText(d, IDC_PRINT_TOTAL);
            CHECK(g_printCopies == 1);
            d.SetDlgItemText(IDC_PRINT_COPIES, "0");
            Command(d, IDC_PRINT_COPIES, EN_KILLFOCUS);
            field = ItemText(d, IDC_PRINT_COPIES);
            d.SetDlgItemText(IDC_PRINT_COPIES, "5000");
        });
        CHECK(total == "Total Pages to Print: 6");
        CHECK(empty == "Total Pages to Print: 2");
        CHECK(field == "1");
        CHECK(g_printCopies == 999);
    }
    SUBCASE("Print with a LightScribe disc ends with 7; Preview ends with its own result") {
        view->m_templates.discTemplateName = "LightScribe";
        NewDesign(view, kLayout1DiscTop, "Disc 1");
        view->m_templates.discTemplateName = "(CD/DVD Disc Label - Generic)";
        CHECK(RunPrint(view, [&](DlgPrint& d) { Command(d, IDOK); }) == DlgPrint::kLightScribeResult);
        NewDesign(view, kLayout1DiscTop, "Disc 1");
        CHECK(RunPrint(view, [&](DlgPrint& d) { Command(d, IDC_PRINT_PREVIEW); }) == kPrintDialogPreview);
        CHECK(RunPrint(view, [&](DlgPrint& d) { Command(d, IDOK); }) == IDOK);
        CHECK(boxes.Boxes().empty());
        CHECK(g_dialogPositions[kPrintDialogPos].x >= 0);
    }
    SUBCASE("Preview at once, with a box holding the dialog open: no page or printer search follows") {
        NewDesign(view, kLayout1DiscTop, "Front Cover");
        Driven<DlgPrint> dialog(view);
        dialog.drive = [](Driven<DlgPrint>& d) {
            ::PostMessageA(d.GetDlgItem(IDC_PRINT_PREVIEW)->m_hWnd, BM_CLICK, 0, 0);
            // The box's loop: the pages' and the printers' timers are due well within a second.
            CHECK_FALSE(kvtest::PumpUntil(
                [&] { return d.m_tabs.m_disc.m_hWnd || ItemText(d, IDC_PRINT_PRINTER) == "PDF"; }, 1000));
        };
        CHECK(dialog.DoModal() == kPrintDialogPreview);
    }
}

TEST_CASE("the side pages") {
    View* view = EnsurePrintView();
    Defaults();
    KvMessageBoxCapture boxes;

    SUBCASE("overlaps in millimetres store thousandths of an inch; an odd stored value selects nothing") {
        g_units = "Millimeters";
        g_printOptions.backMargin = 75;
        NewDesign(view, kLayout1DiscTop, "Front Cover");
        std::vector<std::string> overlaps;
        int backSelection = 0;
        RunPrint(view, [&](DlgPrint& d) {
            overlaps = ComboEntries(d.m_tabs.m_front, IDC_PAGE_OVERLAP);
            backSelection = d.m_tabs.m_back.m_overlap.GetCurSel();
            Choose(d.m_tabs.m_front, IDC_PAGE_OVERLAP, 3);
        });
        CHECK(overlaps == std::vector<std::string>{"0.0 mm", "1.3 mm", "2.5 mm", "3.8 mm"});
        CHECK(backSelection == -1);
        CHECK(g_printOptions.frontMargin == 150);
    }
    SUBCASE("border choices follow the front cover's fold") {
        NewDesign(view, kLayout1DiscTop, "Front Cover");
        std::vector<std::string> folded, flat;
        RunPrint(view, [&](DlgPrint& d) {
            folded = ComboEntries(d.m_tabs.m_front, IDC_PAGE_BORDER);
            Choose(d.m_tabs.m_front, IDC_PAGE_BORDER, 3);
        });
        CHECK(folded.size() == 4);
        CHECK(g_printOptions.frontBorder == 1);
        CHECK(g_printOptions.frontFold == 1);
        view->m_design.GetFrontCover()->bFolded = 0;
        RunPrint(view, [&](DlgPrint& d) { flat = ComboEntries(d.m_tabs.m_front, IDC_PAGE_BORDER); });
        CHECK(flat == std::vector<std::string>{"No Border", "Print Border"});
    }
    SUBCASE("the LightScribe disc template hides the border, overlap and layout and clears them") {
        NewDesign(view, kLayout1DiscTop, "Disc 1");
        g_printOptions.discBorder = 1;
        g_printOptions.discMargin = 100;
        RunPrint(view, [&](DlgPrint& d) {
            PrintSidePage& disc = d.m_tabs.m_disc;
            REQUIRE(disc.m_hWnd != nullptr);
            const std::vector<std::string> templates = ComboEntries(disc, IDC_PAGE_TEMPLATE);
            for (size_t i = 0; i < templates.size(); ++i)
                if (templates[i] == "LightScribe") Choose(disc, IDC_PAGE_TEMPLATE, static_cast<int>(i));
            CHECK_FALSE(::IsWindowVisible(disc.GetDlgItem(IDC_PAGE_BORDER)->m_hWnd));
            CHECK_FALSE(::IsWindowVisible(disc.GetDlgItem(IDC_PAGE_LAYOUT)->m_hWnd));
            CHECK_FALSE(::IsWindowVisible(disc.GetDlgItem(IDC_PAGE_EDIT)->m_hWnd));
        });
        CHECK(g_printOptions.discBorder == 0);
        CHECK(g_printOptions.discMargin == 0);
        CHECK(view->m_design.IsLightScribeTemplate());
        view->m_templates.discTemplateName = "(CD/DVD Disc Label - Generic)";
        view->ApplyTemplate("(CD/DVD Disc Label - Generic)", CString(), true, true);
    }
    SUBCASE("Enter and Escape in a page's combo act on the Print dialog, and the page stays") {
        NewDesign(view, kLayout1DiscTop, "Disc 1");
        for (const UINT key : {UINT(VK_RETURN), UINT(VK_ESCAPE)}) {
            bool pageShown = false;
            const int result = RunPrint(view, [&](DlgPrint& d) {
                PrintSidePage& disc = d.m_tabs.m_disc;
                Choose(disc, IDC_PAGE_BORDER, 1);
                disc.m_border.SetFocus();
                disc.m_border.PostMessage(WM_KEYDOWN, key, 1);
                d.PostMessage(WM_COMMAND, IDC_PRINT_PREVIEW);  // after the key: ends what it left open
                d.RunModalLoop();
                pageShown = ::IsWindowVisible(disc.m_hWnd) != FALSE;
            });
            CHECK(result == (key == VK_RETURN ? IDOK : IDCANCEL));
            CHECK(pageShown);
        }
    }
    SUBCASE("Shift+Tab goes from the Print dialog's field after the tabs to the page's last, Tab back") {
        NewDesign(view, kLayout1DiscTop, "Disc 1");
        RunPrint(view, [&](DlgPrint& d) {
            PrintSidePage& disc = d.m_tabs.m_disc;
            REQUIRE(kvtest::PumpUntil([&] { return ::GetFocus() == disc.m_preview.m_hWnd; }, 10000));
            auto tab = [&](bool shift) {
                BYTE keys[256] = {};
                ::GetKeyboardState(keys);
                keys[VK_SHIFT] = shift ? 0x80 : 0;
                ::SetKeyboardState(keys);
                ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_TAB, 1);
                MSG msg;
                while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                    if (!CWnd::WalkPreTranslateTree(d.m_hWnd, &msg)) ::DispatchMessageA(&msg);
                keys[VK_SHIFT] = 0;
                ::SetKeyboardState(keys);
            };
            d.GetDlgItem(IDC_PRINT_BACK)->SetFocus();
            tab(true);
            CHECK(::GetFocus() == disc.m_layout.m_hWnd);
            tab(false);
            CHECK(::GetFocus() == d.GetDlgItem(IDC_PRINT_BACK)->m_hWnd);
        });
    }
    SUBCASE("\"2 Discs\" on a one-disc design prints disc 2 too") {
        NewDesign(view, kLayout1DiscTop, "Disc 1");
        g_printOptions.printDisc2 = 0;
        std::vector<std::string> layouts;
        RunPrint(view, [&](DlgPrint& d) {
            layouts = ComboEntries(d.m_tabs.m_disc, IDC_PAGE_LAYOUT);
            Choose(d.m_tabs.m_disc, IDC_PAGE_LAYOUT, 3);
            CHECK(::IsWindowVisible(d.GetDlgItem(IDC_PRINT_DISC2)->m_hWnd));
        });
        CHECK(layouts.size() == 6);
        CHECK(g_printOptions.printDisc2 == 1);
        CHECK(view->m_design.GetDiscLayout() == kLayout2DiscTop);
    }
    SUBCASE("a click on the front cover in the back page's preview shows the front cover's tab") {
        NewDesign(view, kLayout1DiscTop, "Back Cover");
        // Both covers on one landscape page, side by side.
        ViewObject* back = view->m_design.GetBackCover();
        ViewObject* front = view->m_design.GetFrontCover();
        back->side = 2;
        front->bFolded = 0;
        front->width = 4760;
        front->left = 500;
        back->left = 5500;
        CString selected;
        RunPrint(view, [&](DlgPrint& d) {
            d.RebuildTabs("Back Cover");
            POINT at = {0, 0};
            PreviewLayout L;
            d.m_tabs.m_back.m_preview.ComputeLayout(L);
            at.x = static_cast<int>((front->left + 100) * L.scaleX);
            at.y = static_cast<int>((front->top + 100) * L.scaleY);
            d.m_tabs.m_back.SendMessage(kPreviewClickMessage, 0, reinterpret_cast<LPARAM>(&at));
            selected = d.m_tabs.GetSelectedText();
        });
        CHECK(selected == "Front Cover");
    }
}

TEST_CASE("calibration mode") {
    View* view = EnsurePrintView();
    Defaults();
    KvMessageBoxCapture boxes;
    NewDesign(view, kLayout1DiscTop, "Disc 1");
    view->m_calibrationMode = true;
    CString caption, group, print;
    std::vector<std::string> sizes;
    CString typed, clamped, high, low, lone;
    const int result = RunPrint(view, [&](DlgPrint& d) {
        d.GetWindowText(caption);
        group = ItemText(d, IDC_PRINT_WHAT_GROUP);
        print = ItemText(d, IDOK);
        sizes = ComboEntries(d, IDC_PRINT_PAGE_SIZE);
        Choose(d, IDC_PRINT_PAGE_SIZE, 1);
        CHECK_FALSE(::IsWindowVisible(d.GetDlgItem(IDC_PRINT_TABS)->m_hWnd));
        auto type = [&](const char* text) {
            d.SetDlgItemText(IDC_PRINT_OFFSET_X, text);
            return ItemText(d, IDC_PRINT_OFFSET_X);
        };
        auto leave = [&] {
            Command(d, IDC_PRINT_OFFSET_X, EN_KILLFOCUS);
            return ItemText(d, IDC_PRINT_OFFSET_X);
        };
        typed = type("1a-2");
        clamped = leave();
        type("99");
        high = leave();
        d.SetDlgItemText(IDC_PRINT_OFFSET_Y, "-99");
        Command(d, IDC_PRINT_OFFSET_Y, EN_KILLFOCUS);
        low = ItemText(d, IDC_PRINT_OFFSET_Y);
        type("-");
        lone = leave();
        d.SetDlgItemText(IDC_PRINT_OFFSET_X, "12");
        leave();
        Command(d, IDOK);
    });
    view->m_calibrationMode = false;
    CHECK(result == IDOK);
    CHECK(caption == "Printer Calibration");
    CHECK(group == "Printer Offset");
    CHECK(print == "  Print Calibration");
    CHECK(sizes == std::vector<std::string>{"Letter  (8.5'' x 11'')", "A4  (8.27'' x 11.69'')"});
    CHECK(g_paperSize == "A4");
    CHECK(typed == "1-2");
    CHECK(clamped == "1");
    CHECK(high == "40");
    CHECK(low == "-40");
    CHECK(lone == "0");
    CPrintDriver* printer = PrinterSetups::Get().GetCurrentPrintDriver();
    REQUIRE(printer != nullptr);
    CHECK(printer->m_offsetX == 12);
    CHECK(printer->m_offsetY == -40);
    // The calibration sheet prints as the disc page.
    CHECK(g_printOptions.printDisc1 == 1);
    CHECK(g_printOptions.printFront == 0);
}

TEST_CASE("printers: the queue is found, a printer that cannot be loaded leaves the lists") {
    View* view = EnsurePrintView();
    Defaults();
    KvMessageBoxCapture boxes;
    NewDesign(view, kLayout1DiscTop, "Front Cover");
    bool loaded = true;
    int entriesBefore = 0, entriesAfter = 0;
    RunPrint(view, [&](DlgPrint& d) {
        PrinterSetups& setups = PrinterSetups::Get();
        REQUIRE(setups.GetCurrentPrintDriver() != nullptr);
        CHECK(setups.GetCurrentPrintDriver()->GetDeviceName() == "PDF");
        // A printer the list names but that cannot be opened.
        setups.m_printerList.m_names.Add("No Such Printer");
        setups.m_printerList.m_ports.Add("");
        ++setups.m_printerList.m_count;
        d.m_printers.AddString("No Such Printer");
        entriesBefore = d.m_printers.GetCount();
        loaded = d.LoadPrintDriver("No Such Printer");
        entriesAfter = d.m_printers.GetCount();
        CHECK(setups.FindPrinter("No Such Printer") < 0);
    });
    CHECK_FALSE(loaded);
    CHECK(entriesAfter == entriesBefore - 1);
    REQUIRE(boxes.Boxes().size() == 1);
    CHECK(boxes.LastText() ==
          "Could not load print driver: ( No Such Printer )\r\n\r\nPlease make sure this printer is online.");
}

TEST_CASE("the printer properties dialog") {
    View* view = EnsurePrintView();
    Defaults();
    KvMessageBoxCapture boxes;
    NewDesign(view, kLayout1DiscTop, "Front Cover");
    g_showDiscPrintSettings = 0;
    RECT paperGroup = {}, okHidden = {}, okShown = {};
    CString caption, paperType;
    BOOL paperTypeEnabled = TRUE;
    RunPrint(view, [&](DlgPrint& print) {
        Driven<DlgPrintProp> dialog(&print);
        dialog.drive = [&](Driven<DlgPrintProp>& d) {
            d.GetWindowText(caption);
            d.GetDlgItem(IDC_PROP_PAPER_GROUP)->GetWindowRect(&paperGroup);
            d.GetDlgItem(IDOK)->GetWindowRect(&okHidden);
            CHECK_FALSE(::IsWindowVisible(d.GetDlgItem(IDC_PROP_DISC_GROUP)->m_hWnd));
            paperType = ItemText(d, IDC_PROP_PAPER_TYPE);
            paperTypeEnabled = ::IsWindowEnabled(d.GetDlgItem(IDC_PROP_PAPER_TYPE)->m_hWnd);
            d.CheckDlgButton(IDC_PROP_SHOW_DISC, BST_CHECKED);
            Command(d, IDC_PROP_SHOW_DISC);
            d.GetDlgItem(IDOK)->GetWindowRect(&okShown);
            CHECK(::IsWindowVisible(d.GetDlgItem(IDC_PROP_DISC_GROUP)->m_hWnd));

            // The user picks the next disc paper size with the arrow key: the entry's value is
            // written into the disc device mode, passed through the driver, and the combo shows
            // what the driver kept.
            // (Checks only: a failure must still let the dialog close.)
            CPrintDriver* driver = PrinterSetups::Get().GetCurrentPrintDriver();
            CComboBox* size = static_cast<CComboBox*>(d.GetDlgItem(IDC_PROP_DISC_SIZE));
            const int before = size->GetCurSel();
            CHECK(driver != nullptr);
            CHECK(size->IsWindowEnabled());
            CHECK(size->GetCount() > 1);
            CHECK(before >= 0);
            if (driver != nullptr && size->GetCount() > 1 && before >= 0) {
                CHECK(static_cast<int>(size->GetItemData(before)) ==
                      driver->PaperSize(true, CPrintDriver::kReadOnly));
                const bool down = before + 1 < size->GetCount();
                const int wanted = static_cast<int>(size->GetItemData(before + (down ? 1 : -1)));
                const int paperBefore = driver->PaperSize(false, CPrintDriver::kReadOnly);
                size->SetFocus();
                size->PostMessage(WM_KEYDOWN, down ? VK_DOWN : VK_UP, 0);
                CHECK(kvtest::PumpUntil(
                    [&] { return driver->PaperSize(true, CPrintDriver::kReadOnly) == wanted; }, 5000));
                CHECK(size->GetCurSel() == before + (down ? 1 : -1));
                CHECK(static_cast<int>(size->GetItemData(size->GetCurSel())) == wanted);
                // The paper half keeps its own device mode.
                CHECK(driver->PaperSize(false, CPrintDriver::kReadOnly) == paperBefore);
            }
            Command(d, IDC_PROP_HELP);
            Command(d, IDOK);
        };
        dialog.DoModal();
    });
    CHECK(caption == "PDF Properties");
    CHECK(okHidden.top - paperGroup.bottom == 16);
    CHECK(okShown.top > okHidden.top + 100);
    CHECK(g_showDiscPrintSettings == 1);
    // The PDF driver names no media types: nothing to choose.
    CHECK(paperType == "Automatic");
    CHECK_FALSE(paperTypeEnabled);
    CHECK(Host().Called("ShowHelpContext 11"));
}
