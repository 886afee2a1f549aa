// The settings the print, page-layout and export dialogs keep for themselves: the label stock
// dialog's window rectangle, Save as Image's choices and last file (the other dialogs' places are
// in controls/DialogPositions.h). Defined here, at the lowest layer that uses them; the settings
// store of the application shell gives them their defaults and their file (app/Settings.h
// includes this header, so the names stay where callers expect them).
#pragma once

#include <windows.h>

#include "controls/DialogPositions.h"
#include "framework/Core.h"

extern RECT g_labelStockDialogRect;  // window rectangle of the label-stock dialog

// Save As Image's choices, as indexes into its lists.
struct ExportImageOptions {
    int overlap = 0;
    int border = 0;
    int resolutionChoice = 0;  // into the resolution list (150, 300, 600 DPI), not dots per inch
    int fileType = 0;          // into kExportFormats
    int image = 0;             // the part of the design

    // The older settings file (settings.ini) keeps the choices as five numbers in this order; its
    // reader walks them with a range-for, tests with [].
    static const int kStoredCount = 5;
    int& operator[](int i) { return this->*kStored[i]; }
    int operator[](int i) const { return this->*kStored[i]; }
    class Iterator {
    public:
        Iterator(ExportImageOptions* options, int i) : m_options(options), m_i(i) {}
        int& operator*() const { return (*m_options)[m_i]; }
        Iterator& operator++() {
            ++m_i;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return m_i != other.m_i; }

    private:
        ExportImageOptions* m_options;
        int m_i;
    };
    Iterator begin() { return Iterator(this, 0); }
    Iterator end() { return Iterator(this, kStoredCount); }

private:
    static constexpr int ExportImageOptions::*kStored[kStoredCount] = {
        &ExportImageOptions::overlap, &ExportImageOptions::border, &ExportImageOptions::resolutionChoice,
        &ExportImageOptions::fileType, &ExportImageOptions::image};
};
extern ExportImageOptions g_exportImageOptions;
extern CString g_lastExportPath;  // full path of the last exported image

// The print dialog offers 1 to 999 copies.
const int kMaxPrintCopies = 999;
