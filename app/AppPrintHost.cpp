// The application's side of the view's printing, page-layout and export requests: the host hands
// them to the dialogs of the printing layer and to the printer set-ups the application carries.
#include "app/AppViewHost.h"

#include "app/KorvanelleFrame.h"
#include "app/Settings.h"
#include "print/PrintDialogs.h"
#include "print/PrinterSetups.h"

int AppViewHost::RunPrintDialog(View* view) {
    return ::RunPrintDialog(view);
}

void AppViewHost::RunLabelStock() {
    RunLabelStockDialog();
}

int AppViewHost::RunLabelAlignment(LabelTemplate* labelTemplate, int kind) {
    return RunLabelAlignmentDialog(labelTemplate, kind, ::GetMainFrame());
}

void AppViewHost::RunSaveAsImage() {
    RunSaveAsImageDialog(::GetMainFrame());
}

bool AppViewHost::GetCurrentPrinterSetup(CanvasPrinterSetup& setup) {
    return GetCanvasPrinterSetup(setup);
}

void AppViewHost::SetPrinterCopies(int copies) {
    SetCurrentPrinterCopies(copies);
}

void AppViewHost::ShowPrinterProperties(HWND owner, int which) {
    PrinterSetups::Get().ShowPrinterProperties(owner, which == 1);
}

int AppViewHost::LightScribeAvailability() {
    return ::LightScribeAvailability();
}

bool AppViewHost::HaveLightScribeDrive() {
    return ::HaveLightScribeDrive();
}

int AppViewHost::RunLightScribeDialog() {
    return ::RunLightScribeDialog(::GetMainFrame());
}

int AppViewHost::LightScribePrint(Gdiplus::Bitmap* bitmap) {
    return ::LightScribePrint(bitmap);
}

bool AppViewHost::AskNewProject(bool createOnCancel, int& caseKind, int& discLayout, bool& useStartupDesign) {
    // A cancelled dialog leaves the saved case kind and layout and the startup design.
    int kind = g_caseKind, layout = g_discLayout;
    bool useStartup = true;
    if (RunNewProjectDialog(kind, layout, useStartup)) {
        caseKind = kind;
        discLayout = layout;
        useStartupDesign = useStartup;
        return true;
    }
    caseKind = g_caseKind;
    discLayout = g_discLayout;
    useStartupDesign = true;
    return createOnCancel;
}
