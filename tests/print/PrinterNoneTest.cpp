// The printer set-ups on a machine without any printer (run in a Wine prefix of its own that sees
// no spooler): every path that finds none, with no crash and no message.
#include <doctest.h>

#include "PrinterBlocks.h"
#include "TestSupport.h"
#include "framework/Win.h"
#include "model/Folders.h"
#include "model/PageSizes.h"
#include "print/PrinterSetups.h"

using namespace printtest;

TEST_CASE("no printer installed") {
    KvMessageBoxCapture boxes;
    PrinterSetups setups;
    CHECK_FALSE(setups.m_printerList.AddLocalPrinters());
    CHECK_FALSE(setups.m_printerList.AddNetworkPrinters());
    CHECK(setups.m_printerList.GetCount() == 0);
    CHECK(setups.FindPrinter("PDF") == -1);
    HGLOBAL mode = nullptr, names = nullptr;
    CHECK_FALSE(setups.m_printerList.CreatePrinterHandles(&mode, &names, 0));
    CHECK_FALSE(CPrinterList::MakePrinterHandles("PDF", "winspool", "CUPS:PDF", &mode, &names));
    CHECK(mode == nullptr);

    // No default printer: nothing is added.
    CHECK(setups.AddDefaultPrinter() == nullptr);
    CHECK(setups.m_printers.GetSize() == 0);
    CHECK(setups.GetCurrentPrintDriver() == nullptr);
    CHECK_FALSE(setups.RefreshCurrentPrinter());

    // Every operation on the current record does nothing without one.
    InitPaperTable();
    const int letterWidth = g_printableAreas[0][2];
    setups.MeasurePrintableAreas();
    setups.MergePrinterDevModes(true, true);
    setups.ShowPrinterProperties(nullptr, false);
    CStringArray list;
    CDWordArray ids;
    CHECK_FALSE(setups.GetPaperAndMediaNames("paper", false, list, ids));

    // A record kept from a machine that had the printer: measuring finds no device, the check
    // removes it.
    setups.m_printers.Add(Record("PDF"));
    setups.MeasurePrintableAreas();
    CHECK(g_printableAreas[0][2] == letterWidth);
    CHECK_FALSE(setups.GetPaperAndMediaNames("paper", false, list, ids));
    setups.MergePrinterDevModes(true, true);
    const Bytes kept = DevMode("PDF");
    CHECK(BytesOf(setups.GetCurrentPrintDriver()->m_paperDevMode) == kept);
    setups.ShowPrinterProperties(nullptr, true);
    CHECK_FALSE(setups.RefreshCurrentPrinter());
    CHECK(setups.m_printers.GetSize() == 0);

    // The list is still saved and read.
    g_settingsFolder = kvtest::TempDir("printers-none").c_str();
    setups.m_printers.Add(Record("PDF"));
    setups.LoadSavePrinters(true);
    setups.LoadSavePrinters(false);
    CHECK(setups.m_printers.GetSize() == 1);
    CHECK(boxes.Boxes().empty());
}
