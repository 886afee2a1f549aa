// The printer set-up as the view's printing takes it.
#include "print/PrintDialogs.h"

#include "print/PrinterSetups.h"

bool GetCanvasPrinterSetup(CanvasPrinterSetup& setup) {
    CPrintDriver* current = PrinterSetups::Get().GetCurrentPrintDriver();
    if (!current) return false;
    setup.devNames = current->m_devNames;
    setup.paperDevMode = current->m_paperDevMode;
    setup.discDevMode = current->m_discDevMode;
    setup.calibrationX = current->m_offsetX;
    setup.calibrationY = current->m_offsetY;
    return true;
}

void SetCurrentPrinterCopies(int copies) {
    if (CPrintDriver* current = PrinterSetups::Get().GetCurrentPrintDriver()) current->SetCopies(copies);
}
