// The printer set-ups against a real spooler: the CUPS queue "PDF", the system's default printer.
// The installed printers, device blocks made by the driver, the default printer added, the
// printable areas measured, the check of the current record, the driver's lists and dialog.
#include <doctest.h>

#include <cstring>

#include "PrinterBlocks.h"
#include "TestSupport.h"
#include "framework/Win.h"
#include "model/Folders.h"
#include "model/PageSizes.h"
#include "model/PrintOptions.h"
#include "print/DeviceBlocks.h"
#include "print/PrinterSetups.h"
#include "render/CanvasSettings.h"

using namespace printtest;

namespace {

// Set-ups whose printer list is filled as the print dialog fills it.
struct Setups : PrinterSetups {
    Setups() {
        m_printerList.AddLocalPrinters();
        REQUIRE(FindPrinter("PDF") >= 0);
    }
    int redraws = 0;
    void OnPrintableAreasChanged() override { ++redraws; }
};

HWND g_driverDialog = nullptr;

BOOL CALLBACK CloseVisibleWindow(HWND window, LPARAM) {
    if (!IsWindowVisible(window)) return TRUE;
    g_driverDialog = window;
    PostMessage(window, WM_COMMAND, IDCANCEL, 0);
    return FALSE;
}

void CALLBACK CloseDriverDialog(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), CloseVisibleWindow, 0);
}

}  // namespace

TEST_CASE("the installed printers") {
    KvMessageBoxCapture boxes;
    CPrinterList list;
    REQUIRE(list.AddLocalPrinters());
    const int count = list.GetCount();
    int pdf = -1;
    for (int i = 0; i < count; ++i)
        if (list.GetPrinterName(i) == "PDF") pdf = i;
    REQUIRE(pdf >= 0);
    CHECK_FALSE(list.GetPortName(pdf).IsEmpty());
    CHECK(list.GetPrinterName(count) == "Error");
    CHECK(list.GetPortName(-1) == "Error");

    SUBCASE("rebuilt twice, each printer is listed once with its own port") {
        const CString port = list.GetPortName(pdf);
        list.Clear();
        CHECK(list.GetCount() == 0);
        list.AddLocalPrinters();
        list.Clear();
        list.AddLocalPrinters();
        CHECK(list.GetCount() == count);
        CHECK(list.GetPortName(pdf) == port);
        list.AddNetworkPrinters();  // no print providers here: nothing is added, nothing breaks
        CHECK(list.GetCount() == count);
    }
    SUBCASE("the driver makes the device mode; the device names are laid out as the system's") {
        HGLOBAL mode = Block(DevMode("old")), names = Block(DevNames("old"));
        REQUIRE(list.CreatePrinterHandles(&mode, &names, pdf));
        CHECK(IsSoundDevModeBlock(mode));
        const Bytes bytes = BytesOf(names);
        const DEVNAMES* header = reinterpret_cast<const DEVNAMES*>(bytes.data());
        CHECK(header->wDriverOffset == 8);
        CHECK(header->wDeviceOffset == 17);
        CHECK(header->wOutputOffset == 21);
        CHECK(header->wDefault == 0);
        CHECK(std::strcmp(reinterpret_cast<const char*>(bytes.data()) + 8, "winspool") == 0);
        CHECK(GetDevNamesString(names, 1) == "PDF");
        CHECK(GetDevNamesString(names, 2) == list.GetPortName(pdf));
        CHECK(bytes.size() == 8 + 8 + 3 + static_cast<size_t>(list.GetPortName(pdf).GetLength()) + 3);
        const DEVMODEA* dm = static_cast<const DEVMODEA*>(GlobalLock(mode));
        CHECK(std::strcmp(reinterpret_cast<const char*>(dm->dmDeviceName), "PDF") == 0);
        GlobalUnlock(mode);
        CHECK_FALSE(list.CreatePrinterHandles(&mode, &names, -1));
        CHECK_FALSE(list.CreatePrinterHandles(&mode, &names, count));
        // A printer that cannot be opened leaves the blocks as they were.
        list.m_names.SetAt(pdf, "No Such Printer");
        CHECK_FALSE(list.CreatePrinterHandles(&mode, &names, pdf));
        CHECK(GetDevNamesString(names, 1) == "PDF");
        FreeBlock(mode);
        FreeBlock(names);
    }
    CHECK(boxes.Boxes().empty());
}

TEST_CASE("the default printer is added, measured and checked") {
    KvMessageBoxCapture boxes;
    Setups setups;
    g_helpCdPrinter = 0;
    setups.m_printers.Add(Record("Label Printer"));
    CPrintDriver* added = setups.AddDefaultPrinter();
    REQUIRE(added != nullptr);
    CHECK(g_helpCdPrinter == 1);
    CHECK(added->GetDeviceName() == "PDF");  // the queue is the system's default
    CHECK(setups.m_currentPrinter == 1);
    CHECK(setups.GetCurrentPrintDriver() == added);
    CHECK(BytesOf(added->m_discDevMode) == BytesOf(added->m_paperDevMode));
    CHECK(BytesOf(added->m_liveDevMode) == BytesOf(added->m_paperDevMode));
    CHECK(BytesOf(added->m_liveDevNames) == BytesOf(added->m_devNames));
    CHECK(added->m_discDevMode != added->m_paperDevMode);

    SUBCASE("the printable areas of the five paper sizes") {
        InitPaperTable();
        const int userDefined[4] = {g_printableAreas[5][0], g_printableAreas[5][1], g_printableAreas[5][2],
                                    g_printableAreas[5][3]};
        g_showGuides = 1;
        setups.MeasurePrintableAreas();
        CHECK(setups.redraws == 1);
        for (int i = 0; i < 5; ++i) {
            CAPTURE(i);
            CHECK(g_printableAreas[i][0] >= 0);
            CHECK(g_printableAreas[i][1] >= 0);
            // Inside the paper (the driver's sizes are whole points: up to 1/100 inch more than the
            // table's), and not much smaller than it.
            CHECK(g_printableAreas[i][0] + g_printableAreas[i][2] <= g_paperDims[i][0] + 10);
            CHECK(g_printableAreas[i][1] + g_printableAreas[i][3] <= g_paperDims[i][1] + 10);
            CHECK(g_printableAreas[i][2] > g_paperDims[i][0] * 8 / 10);
            CHECK(g_printableAreas[i][3] > g_paperDims[i][1] * 8 / 10);
        }
        // Each size measured with its own paper: A4 is narrower and taller than Letter.
        CHECK(g_printableAreas[3][2] < g_printableAreas[0][2]);
        CHECK(g_printableAreas[3][3] > g_printableAreas[0][3]);
        CHECK(g_printableAreas[4][3] > g_printableAreas[3][3]);
        for (int k = 0; k < 4; ++k) CHECK(g_printableAreas[5][k] == userDefined[k]);
        g_showGuides = 0;
        setups.MeasurePrintableAreas();
        CHECK(setups.redraws == 1);
    }
    SUBCASE("the driver's paper, bin and media lists") {
        CStringArray names;
        CDWordArray ids;
        REQUIRE(setups.GetPaperAndMediaNames("paper", false, names, ids));
        REQUIRE(names.GetSize() == ids.GetSize());
        bool letter = false, a4 = false;
        for (INT_PTR i = 0; i < names.GetSize(); ++i) {
            if (ids[i] == DMPAPER_LETTER) letter = names[i].Find("Letter") >= 0;
            if (ids[i] == DMPAPER_A4) a4 = names[i].Find("A4") >= 0;
        }
        CHECK(letter);
        CHECK(a4);
        CHECK_FALSE(setups.GetPaperAndMediaNames("papers", false, names, ids));
    }
    SUBCASE("a record read back from the file is checked against its driver again") {
        const CString settings = kvtest::TempDir("printers-spooler").c_str();
        g_settingsFolder = settings;
        setups.LoadSavePrinters(true);
        setups.LoadSavePrinters(false);
        REQUIRE(setups.m_printers.GetSize() == 2);
        CPrintDriver* record = setups.GetCurrentPrintDriver();
        REQUIRE(record != nullptr);
        CHECK(record->m_liveDevMode == nullptr);
        CHECK(setups.RefreshCurrentPrinter());
        CHECK(record->m_liveDevMode != nullptr);
        CHECK(BytesOf(record->m_devNames) == BytesOf(record->m_liveDevNames));
        // Both handles there: no second check.
        CHECK(setups.RefreshCurrentPrinter());
        CHECK(setups.GetCurrentPrintDriver() == record);
    }
    SUBCASE("a changed driver or a vanished printer removes the record; the last becomes current") {
        CPrintDriver* record = setups.GetCurrentPrintDriver();
        record->FreeLiveHandles();
        DEVMODEA* mode = static_cast<DEVMODEA*>(GlobalLock(record->m_paperDevMode));
        mode->dmDriverVersion = static_cast<WORD>(mode->dmDriverVersion + 1);
        GlobalUnlock(record->m_paperDevMode);
        CHECK_FALSE(setups.RefreshCurrentPrinter());
        REQUIRE(setups.m_printers.GetSize() == 1);
        CHECK(setups.m_currentPrinter == 0);
        // "Label Printer" is not installed.
        CHECK_FALSE(setups.RefreshCurrentPrinter());
        CHECK(setups.m_printers.GetSize() == 0);
        CHECK(setups.m_currentPrinter == -1);
        CHECK(setups.GetCurrentPrintDriver() == nullptr);
        CHECK_FALSE(setups.RefreshCurrentPrinter());
    }
    SUBCASE("the driver completes a device mode too small for it") {
        CPrintDriver* record = setups.GetCurrentPrintDriver();
        const Bytes full = BytesOf(record->m_paperDevMode);
        const DEVMODEA* driverMode = reinterpret_cast<const DEVMODEA*>(full.data());
        REQUIRE(driverMode->dmDriverExtra > 0);
        // Only the public part, as an older release might have kept it.
        Bytes shortMode(full.begin(), full.begin() + driverMode->dmSize);
        reinterpret_cast<DEVMODEA*>(shortMode.data())->dmDriverExtra = 0;
        reinterpret_cast<DEVMODEA*>(shortMode.data())->dmPaperSize = DMPAPER_A4;
        FreeBlock(record->m_discDevMode);
        record->m_discDevMode = Block(shortMode);
        setups.MergePrinterDevModes(false, true);
        CHECK(GlobalSize(record->m_discDevMode) >= full.size());
        CHECK(IsSoundDevModeBlock(record->m_discDevMode));
        CHECK(record->PaperSize(true, CPrintDriver::kReadOnly) == DMPAPER_A4);
        CHECK(record->GetDriverVersion(false) == driverMode->dmDriverVersion);
    }
    SUBCASE("the driver's properties dialog edits the device mode in place") {
        // The dialog is closed by a timer of this thread once it is up.
        g_driverDialog = nullptr;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseDriverDialog);
        const Bytes before = BytesOf(setups.GetCurrentPrintDriver()->m_paperDevMode);
        setups.ShowPrinterProperties(nullptr, false);
        KillTimer(nullptr, timer);
        CHECK(g_driverDialog != nullptr);
        CHECK(BytesOf(setups.GetCurrentPrintDriver()->m_paperDevMode).size() == before.size());
    }
    CHECK(boxes.Boxes().empty());
}
