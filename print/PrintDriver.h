// CPrintDriver: the set-up the application keeps for one printer it has printed with: the device
// names, a device mode for printing on label paper and one for printing directly on discs, the
// user's printer offsets, and a transient pair of device names and mode made afresh from the
// installed printer to check that the stored set-up still fits its driver. The record owns its
// five blocks; whoever replaces a handle frees the old block.
#pragma once

#include <windows.h>

#include "framework/Core.h"

class CPrintDriver : public CObject {
    DECLARE_SERIAL(CPrintDriver)
public:
    // The value that makes the accessors below only read.
    static constexpr int kReadOnly = -7;
    // The schema of the record in printers.ini; a newer one is not read.
    static constexpr UINT kSchema = 507;

    CPrintDriver() = default;
    ~CPrintDriver() override;
    CPrintDriver(const CPrintDriver&) = delete;
    CPrintDriver& operator=(const CPrintDriver&) = delete;

    HGLOBAL m_devNames = nullptr;      // DEVNAMES: "winspool", the printer and its port
    HGLOBAL m_paperDevMode = nullptr;  // DEVMODE for label paper
    HGLOBAL m_discDevMode = nullptr;   // DEVMODE for printing on discs
    HGLOBAL m_liveDevNames = nullptr;  // transient: made from the installed printer, never stored
    HGLOBAL m_liveDevMode = nullptr;   // transient: the driver's current default device mode
    int m_offsetX = 0;                 // printer offset across the page
    int m_offsetY = 0;                 // printer offset down the page

    // The printer's name from the stored device names; "" without a sound block.
    CString GetDeviceName() const;
    // Each works on one DEVMODE field: `value` kReadOnly only reads, any other value is written.
    // The ones with `disc` work on the disc device mode when it is set, on the paper one otherwise.
    // Without a sound block they return 0 (and write nothing).
    int SetCopies(int value);  // writes paper and disc, returns the paper value
    int DefaultSource(bool disc, int value);
    int MediaType(bool disc, int value);
    int PaperSize(bool disc, int value);
    // dmDriverVersion, dmSize, dmDriverExtra of the live device mode (`live`) or the paper one;
    // -1 without a block.
    int GetDriverVersion(bool live) const;
    int GetDevModeSize(bool live) const;
    int GetDriverExtra(bool live) const;

    // Frees the transient pair.
    void FreeLiveHandles();
    // Frees all five blocks.
    void FreeHandles();
    // Every block that is present is well formed (a record read from a file that fails this is
    // dropped rather than handed to a driver).
    bool IsSound() const;

    // The record's bytes: the two offsets (8 bytes), then for the device names, the paper and
    // the disc device mode each its size as a decimal text line, then the three blocks' bytes.
    // Loading throws a CArchiveException for a newer schema, a short file or a size line that is
    // not a number or asks for more than 1 MB or more than the bytes left.
    void Serialize(CArchive& ar) override;

private:
    // The field at `offset` of the block's DEVMODE, read or written; `fallback` without a block.
    int DevModeField(HGLOBAL block, size_t offset, size_t width, int value, int fallback) const;
};

// Reads one size line of a printer record (decimal digits, then "\n"; a "\r" before it is
// allowed): throws CArchiveException badIndex for anything else or a size above 1 MB or above
// the bytes left in the archive.
SIZE_T ReadDeviceBlockSize(CArchive& ar);
