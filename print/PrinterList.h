// CPrinterList: the printers installed on the machine, by name and port, as the print dialog
// finds them each time it opens; new printer set-ups get their device names and device mode from
// it.
#pragma once

#include <windows.h>

#include "framework/Core.h"

class CPrinterList {
public:
    int m_count = 0;
    CStringArray m_names;
    CStringArray m_ports;  // entry i is the port of printer i; "" for network printers

    void Clear();
    // The local and connected printers; true when at least one printer is listed afterwards.
    bool AddLocalPrinters();
    // The printers of the remote print providers; true when at least one is listed afterwards.
    bool AddNetworkPrinters();
    int GetCount() const { return m_count; }
    // The entry, or "Error" for an index outside the list.
    CString GetPrinterName(int index) const;
    CString GetPortName(int index) const;
    void RemoveAt(int index);
    // Device mode and device names ("winspool", the printer, its port) for the printer at `index`,
    // made through its driver; the blocks behind the two handles are freed and replaced. False
    // for a bad index, a printer that cannot be opened or a driver that gives no device mode.
    bool CreatePrinterHandles(HGLOBAL* devMode, HGLOBAL* devNames, int index);
    static bool MakePrinterHandles(LPCSTR device, LPCSTR driver, LPCSTR port, HGLOBAL* devMode,
                                   HGLOBAL* devNames);

private:
    void Append(LPCSTR name, LPCSTR port);
};
