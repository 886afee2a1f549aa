// What the print dialogs' tests share: the theme resources, dialogs driven from inside their own
// modal loop, a view host that runs the label alignment dialog (driven too) and records the other
// upward calls, and the real view of the canvas tests' frame with its template library in a
// temporary settings folder.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "canvas/View.h"
#include "canvas/ViewHost.h"
#include "framework/Win.h"

namespace printtest {

// Starts GDI+ and the theme resources once for the program.
void EnsureResources();

// A dialog whose modal loop hands it to `drive` once, when it is shown and idle; a dialog the
// driver left open ends with kLeftOpen.
const int kLeftOpen = -2;
template <class Dialog>
class Driven : public Dialog {
public:
    using Dialog::Dialog;
    std::function<void(Driven&)> drive;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_KICKIDLE && drive) {
            std::function<void(Driven&)> once = std::move(drive);
            drive = nullptr;
            once(*this);
            if (this->ContinueModal()) this->EndDialog(kLeftOpen);
            return 0;
        }
        return Dialog::WindowProc(message, wParam, lParam);
    }
};

// Sends the dialog a control's notification (a click by default).
void Command(CWnd& dialog, int id, int code = BN_CLICKED);
CString ItemText(CWnd& dialog, int id);
// Selects a combo box entry and tells the dialog, as a user's choice does.
void Choose(CWnd& dialog, int comboId, int index);
// The texts of a combo box's or list box's entries.
std::vector<std::string> ComboEntries(CWnd& dialog, int comboId);
std::vector<std::string> ListEntries(CWnd& dialog, int listId);

class LabelAlignmentDialogHost;

// The host the print tests install on the view.
struct PrintHost : ViewHost {
    std::vector<std::string> calls;
    // Runs inside the label alignment dialog when the view opens it; null: the dialog is cancelled.
    std::function<void(CWnd& dialog)> alignmentDriver;
    int alignmentRuns = 0;
    int alignmentPage = 0;
    // Runs inside the print dialog once its printers are listed; null: the dialog is cancelled.
    std::function<void(CWnd& dialog)> printDriver;
    int printRuns = 0;
    int copiesAsked = 0;  // the copies the view last asked the printer for

    bool Called(const std::string& s) const;
    int RunLabelAlignment(LabelTemplate* labelTemplate, int page) override;
    void ShowHelpContext(HWND window, int contextId) override;
    void OpenStartupDesign(int caseKind, int discLayout) override;
    void UpdateMainToolbarButtons() override {}
    int RunPrintDialog(View* view) override;
    bool GetCurrentPrinterSetup(CanvasPrinterSetup& setup) override;
    void SetPrinterCopies(int copies) override;
};

PrintHost& Host();

// The canvas tests' frame and view, with this program's host, the paper table and the theme
// resources; the template library lives in the view's temporary settings folder.
View* EnsurePrintView();
// A new design of the library's current disc and cover templates with the given layout.
void NewDesign(View* view, int layout, const char* side);
// The settings folder the view's template library is written to.
std::string SettingsFolder();

}  // namespace printtest
