// The print dialogs' test support.
#include "PrintTestSupport.h"

#include <doctest.h>

#include <algorithm>

#include "../canvas/CanvasFixture.h"
#include "GdiplusSession.h"
#include "controls/ThemeResources.h"
#include "model/Folders.h"
#include "GuiSupport.h"
#include "print/DlgLabelAlignment.h"
#include "print/PrintDialogs.h"
#include "print/PrinterSetups.h"
#include "res/ResourceImages.h"

namespace printtest {

void EnsureResources() {
    static bool done = false;
    if (done) return;
    REQUIRE(kvtest::GdiplusReady());
    InitThemeResources(IDB_TEXTURE_DIALOG, IDB_TEXTURE_CANVAS, IDP_THEME_IMAGE, IDB_MENU_IMAGES,
                       IDB_TOOL_IMAGES, IDI_KORVANELLE, IDP_SIZE_GRIP);
    done = true;
}

void Command(CWnd& dialog, int id, int code) {
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, code),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog.m_hWnd, id)));
}

CString ItemText(CWnd& dialog, int id) {
    CString text;
    dialog.GetDlgItemText(id, text);
    return text;
}

void Choose(CWnd& dialog, int comboId, int index) {
    dialog.SendDlgItemMessage(comboId, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Command(dialog, comboId, CBN_SELCHANGE);
}

std::vector<std::string> ComboEntries(CWnd& dialog, int comboId) {
    std::vector<std::string> entries;
    const int n = static_cast<int>(dialog.SendDlgItemMessage(comboId, CB_GETCOUNT));
    for (int i = 0; i < n; ++i) {
        char text[256] = {};
        dialog.SendDlgItemMessage(comboId, CB_GETLBTEXT, static_cast<WPARAM>(i),
                                  reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

std::vector<std::string> ListEntries(CWnd& dialog, int listId) {
    std::vector<std::string> entries;
    const int n = static_cast<int>(dialog.SendDlgItemMessage(listId, LB_GETCOUNT));
    for (int i = 0; i < n; ++i) {
        char text[256] = {};
        dialog.SendDlgItemMessage(listId, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

bool PrintHost::Called(const std::string& s) const {
    return std::find(calls.begin(), calls.end(), s) != calls.end();
}

int PrintHost::RunLabelAlignment(LabelTemplate* labelTemplate, int page) {
    ++alignmentRuns;
    alignmentPage = page;
    calls.push_back("RunLabelAlignment");
    Driven<DlgLabelAlignment> dialog(labelTemplate, page, nullptr);
    std::function<void(CWnd&)> driver = alignmentDriver;
    dialog.drive = [&](Driven<DlgLabelAlignment>& d) {
        if (driver)
            driver(d);
        else
            d.EndDialog(IDCANCEL);
    };
    const int result = static_cast<int>(dialog.DoModal());
    return result == IDOK ? IDOK : IDCANCEL;
}

void PrintHost::ShowHelpContext(HWND, int contextId) {
    calls.push_back("ShowHelpContext " + std::to_string(contextId));
}

void PrintHost::OpenStartupDesign(int caseKind, int discLayout) {
    calls.push_back("OpenStartupDesign " + std::to_string(caseKind) + " " + std::to_string(discLayout));
}

int PrintHost::RunPrintDialog(View* view) {
    ++printRuns;
    calls.push_back("RunPrintDialog");
    Driven<DlgPrint> dialog(view);
    std::function<void(CWnd&)> driver = printDriver;
    dialog.drive = [&](Driven<DlgPrint>& d) {
        const bool listed = kvtest::PumpUntil(
            [&] { return d.m_printers.GetCurSel() >= 0 && PrinterSetups::Get().GetCurrentPrintDriver(); },
            20000);
        if (driver && listed)
            driver(d);
        else
            d.EndDialog(IDCANCEL);
    };
    return static_cast<int>(dialog.DoModal());
}

bool PrintHost::GetCurrentPrinterSetup(CanvasPrinterSetup& setup) {
    return GetCanvasPrinterSetup(setup);
}

void PrintHost::SetPrinterCopies(int copies) {
    copiesAsked = copies;
    SetCurrentPrinterCopies(copies);
}

PrintHost& Host() {
    static PrintHost host;
    return host;
}

View* EnsurePrintView() {
    EnsureResources();
    View* view = cvtest::EnsureView();
    View::SetHost(&Host());
    return view;
}

void NewDesign(View* view, int layout, const char* side) {
    cvtest::NewDesign(view, layout, side);
}

std::string SettingsFolder() {
    return std::string(g_settingsFolder);
}

}  // namespace printtest
