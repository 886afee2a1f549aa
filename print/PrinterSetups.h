// PrinterSetups: the printer set-ups the user has printed with (one CPrintDriver per printer), the
// index of the current one and the list of installed printers, with the operations on them:
// loading and saving printers.ini (with the older files as fall-backs), adding the system's default
// printer, checking the current set-up against its installed driver, passing device modes through
// the driver, the driver's own properties dialog, the driver's paper, bin and media names, and the
// printable areas of the paper sizes.
//
// The application object derives from it (so KorvanelleApp::m_printers names the member below) and
// registers itself with SetCurrent when it is made; the print dialogs reach it through
// PrinterSetups::Get.
#pragma once

#include <windows.h>

#include "framework/Core.h"
#include "print/PrintDriver.h"
#include "print/PrinterList.h"

struct PrinterSetups {
    PrinterSetups();
    // Frees every record.
    virtual ~PrinterSetups();
    PrinterSetups(const PrinterSetups&) = delete;
    PrinterSetups& operator=(const PrinterSetups&) = delete;

    // The set-ups in force: the ones registered with SetCurrent, else a plain set of print's own.
    static PrinterSetups& Get();
    // Registers the application's set-ups (null: back to print's own).
    static void SetCurrent(PrinterSetups* setups);

    CPrinterList m_printerList;  // the installed printers
    CObArray m_printers;         // CPrintDriver records, owned
    int m_currentPrinter = 0;    // index of the current record in m_printers

    // The current record; null when the list is empty or the index is out of range.
    CPrintDriver* GetCurrentPrintDriver();
    // A new movable, zero-filled block with a copy of h's bytes; null for null or on failure.
    HGLOBAL CopyGlobalBlock(HGLOBAL h);
    // save: printers.ini from the records (their transient blocks freed first). Load: the records
    // from printers.ini, else printDrivers.ini, else printer.ini with printerCD.ini.
    void LoadSavePrinters(bool save);
    // Appends a record for the system's default printer and makes it current; null when no
    // installed printer yields device blocks.
    CPrintDriver* AddDefaultPrinter();
    // Makes sure the current record has its transient blocks and still fits its installed driver;
    // a record whose printer is gone or whose driver changed is removed (false).
    bool RefreshCurrentPrinter();
    // Index in m_printerList of the installed printer of that name; -1 when none.
    int FindPrinter(CString name);
    // Removes the first record of that device name; the last record becomes current.
    void RemovePrinter(CString deviceName);
    // Lets the driver complete the current record's paper and/or disc device mode.
    void MergePrinterDevModes(bool paper, bool disc);
    // The driver's own properties dialog on the current record's paper or disc device mode.
    void ShowPrinterProperties(HWND owner, bool disc);
    // The driver's names and ids of `kind` ("paper", "bin" or "media") for the current record's
    // paper or disc device mode, in the driver's order; false for another kind, no current record
    // or a driver that lists none.
    bool GetPaperAndMediaNames(CString kind, bool disc, CStringArray& names, CDWordArray& ids);
    // The printable rectangles of Letter, Legal, Tabloid, A4 and A3 on the current printer, into
    // g_printableAreas.
    void MeasurePrintableAreas();
    // Frees and deletes every record and empties the list.
    void FreePrinters();

    // The paths of the printer files (the settings folder and the name).
    static CString PrinterFilePath(LPCSTR name);

protected:
    // Called after MeasurePrintableAreas changed the areas while the guides are shown: the view
    // must be redrawn. The application redirects it to its view.
    virtual void OnPrintableAreasChanged() {}

private:
    bool ReadPrinterArchive(LPCSTR name, int errorNumber);
    bool ReadOldestPrinterFiles();
    void RemoveDuplicates();
    bool WritePrinterArchive();
};
