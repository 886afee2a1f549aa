// The entries through which the application opens the printing, page-layout and export dialogs.
// The view asks for them through its host (canvas/ViewHost.h); the application's host forwards:
//
//   ViewHost::RunPrintDialog(view)             -> RunPrintDialog(view)
//   ViewHost::RunLabelStock()                  -> RunLabelStockDialog()
//   ViewHost::RunLabelAlignment(template, page) -> RunLabelAlignmentDialog(template, page, mainFrame)
//   ViewHost::RunSaveAsImage()                 -> RunSaveAsImageDialog(mainFrame)
//   DesignViewLink::AskNewProject(...)         -> RunNewProjectDialog(kind, layout, useStartupDesign)
//
// printing on LightScribe discs (print/LightScribe.h, print/DlgLightScribe.h):
//
//   ViewHost::LightScribeAvailability()        -> LightScribeAvailability()
//   ViewHost::HaveLightScribeDrive()           -> HaveLightScribeDrive()
//   ViewHost::RunLightScribeDialog()           -> RunLightScribeDialog(mainFrame)
//   ViewHost::LightScribePrint(bitmap)         -> LightScribePrint(bitmap)
//   start-up and shut-down                     -> LightScribeInit(), SaveLightScribeTempList(true)
//
// and the view's printing asks for the printer set-up the dialogs leave behind:
//
//   ViewHost::GetCurrentPrinterSetup(setup)    -> GetCanvasPrinterSetup(setup)
//   ViewHost::SetPrinterCopies(copies)         -> SetCurrentPrinterCopies(copies)
//   ViewHost::ShowPrinterProperties(owner, w)  -> PrinterSetups::Get().ShowPrinterProperties(owner, w == 1)
//
// The printer properties dialog opens from the print dialog only.
#pragma once

#include "framework/Win.h"
#include "canvas/ViewHost.h"

#include "print/DlgLabelAlignment.h"
#include "print/DlgLabelStock.h"
#include "print/DlgLightScribe.h"
#include "print/DlgNewDoc.h"
#include "print/DlgPrint.h"
#include "print/DlgSaveAsImage.h"
#include "print/LightScribe.h"

// The current printer set-up as the view's printing needs it (the handles stay the set-up's);
// false when there is none.
bool GetCanvasPrinterSetup(CanvasPrinterSetup& setup);
// The number of copies in both device modes of the current set-up.
void SetCurrentPrinterCopies(int copies);
