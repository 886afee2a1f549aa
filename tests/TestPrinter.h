// The printer the printing tests print on: the CUPS queue "PDF" that scripts/print-queue.sh starts
// (scripts/test.sh does), or the printer KV_TEST_PRINTER names. Without it a printing test fails
// saying that a print queue is needed and how to start one.
#pragma once
#include <doctest.h>

#include <cstdlib>
#include <string>

#include "framework/docview/View.h"

namespace kvtest {

// The device names and mode of the tests' printer; false, after a failed check that tells what to
// do, when there is no such printer. The check does not throw: a view's print hooks may call it.
inline bool TestPrinterHandles(HGLOBAL* names, HGLOBAL* mode) {
    const char* printer = std::getenv("KV_TEST_PRINTER");
    if (printer == nullptr || *printer == 0) printer = "PDF";
    if (AfxMakePrinterHandles(printer, names, mode)) return true;
    FAIL_CHECK("no print queue \"" << std::string(printer)
                                   << "\": start one with `scripts/print-queue.sh <folder>` "
                                      "(scripts/test.sh starts one writing into build/printed)");
    return false;
}

}  // namespace kvtest
