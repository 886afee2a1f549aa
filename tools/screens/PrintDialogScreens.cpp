// Pictures of the printing, page-layout and export dialogs for docs/screens/
// (scripts/screens-print-dialogs.sh runs this program in Wine's virtual desktop, which draws
// captions and frames). Not a test: each case opens a dialog on the real view's design, lets it
// finish its deferred drawing and saves what the screen shows. KV_SCREENS_DIR names the folder.
#include <doctest.h>

#include <cstdlib>
#include <string>

#include "../canvas/CanvasFixture.h"
#include "GuiSupport.h"
#include "PrintTestSupport.h"
#include "WindowPicture.h"
#include "canvas/ViewSettings.h"
#include "render/CanvasSettings.h"
#include "print/DlgLabelAlignment.h"
#include "print/DlgLabelStock.h"
#include "print/DlgLightScribe.h"
#include "print/DlgNewDoc.h"
#include "print/DlgPrint.h"
#include "print/DlgPrintProp.h"
#include "print/DlgSaveAsImage.h"
#include "print/PrintSettings.h"
#include "res/PrintDialogsIds.h"

using namespace printtest;

namespace {

std::string Folder() {
    const char* folder = std::getenv("KV_SCREENS_DIR");
    return folder ? folder : ".";
}

// The dialogs finish their deferred drawing (previews) before the picture: half a second unchanged.
void Shoot(HWND window, const char* name) {
    CHECK(screens::SaveWindowPicture(window, Folder(), name, 10000, 500));
}

void Forget() {
    for (POINT& p : g_dialogPositions) p = POINT{-1, -1};
    g_labelStockDialogRect = RECT{-1, -1, -1, -1};
}

}  // namespace

void FillDesign(View* view);

TEST_CASE("save as image") {
    View* view = EnsurePrintView();
    Forget();
    NewDesign(view, kLayout1DiscTop, "Front Cover");
    FillDesign(view);
    g_units = "Inches";
    g_printOptions.frontBorder = g_printOptions.frontFold = 1;
    g_exportImageOptions.image = 4;  // the front cover
    g_exportImageOptions.resolutionChoice = 1;
    Driven<DlgSaveAsImage> dialog(view);
    dialog.drive = [](Driven<DlgSaveAsImage>& d) { Shoot(d.m_hWnd, "save-as-image.png"); };
    dialog.DoModal();
}

TEST_CASE("label stock") {
    View* view = EnsurePrintView();
    Forget();
    NewDesign(view, kLayout1DiscTop, "Front Cover");
    Driven<DlgLabelStock> dialog(view);
    dialog.drive = [](Driven<DlgLabelStock>& d) { Shoot(d.m_hWnd, "label-stock.png"); };
    dialog.DoModal();
}

TEST_CASE("label alignment") {
    View* view = EnsurePrintView();
    g_units = "Inches";
    {
        Driven<DlgLabelAlignment> dialog(view->m_templates.FindTemplate("(CD Jewel Case - Plain Paper)"), 3,
                                         nullptr);
        dialog.drive = [](Driven<DlgLabelAlignment>& d) { Shoot(d.m_hWnd, "label-alignment-cover.png"); };
        dialog.DoModal();
    }
    {
        Driven<DlgLabelAlignment> dialog(view->m_templates.FindTemplate("(CD/DVD Disc Label - Generic)"), 1,
                                         nullptr);
        dialog.drive = [](Driven<DlgLabelAlignment>& d) { Shoot(d.m_hWnd, "label-alignment-disc.png"); };
        dialog.DoModal();
    }
}

TEST_CASE("new project") {
    EnsurePrintView();
    g_caseKind = kCaseJewel;
    g_discLayout = kLayout1DiscTop;
    g_showNewProjectAtStart = 1;
    Driven<DlgNewDoc> dialog;
    dialog.drive = [](Driven<DlgNewDoc>& d) { Shoot(d.m_hWnd, "new-project.png"); };
    dialog.DoModal();
}

// A design with something on every side, so that the previews show it: a picture behind the
// front cover and a title on each side.
void FillDesign(View* view) {
    ViewObject* front = view->m_design.GetFrontCover();
    const std::string picture = cvtest::MakePicture("screens-front", 400, 200, RGB(40, 120, 220));
    view->ShowSide("Front Cover");
    view->InsertImage(CRect(front->left, front->top, front->GetRight(), front->GetBottom()), picture.c_str(),
                      true);
    for (const char* side : {"Front Cover", "Back Cover", "Disc 1"}) {
        view->ShowSide(side);
        ViewObject* s = view->m_design.GetCurrentSide();
        if (!s) continue;
        const int left = s->IsFoldedFrontCover() ? s->left + s->width / 2 + 300 : s->left + 700;
        cvtest::AddText(view, (CString("Text ") + side).GetString(), "Harbour Lights\x08", left,
                        s->top + s->height / 3, 4200, 1400);
    }
    view->ShowSide("Front Cover");
}

namespace {

void ShootPrintDialog(View* view, const char* name, const char* tab) {
    Driven<DlgPrint> dialog(view);
    dialog.drive = [&](Driven<DlgPrint>& d) {
        kvtest::PumpUntil([&] { return d.m_printers.GetCount() > 1; }, 10000);
        if (tab) d.RebuildTabs(tab);
        Shoot(d.m_hWnd, name);
    };
    dialog.DoModal();
}

}  // namespace

TEST_CASE("print dialog") {
    View* view = EnsurePrintView();
    Forget();
    g_units = "Inches";
    g_printCopies = 1;
    g_printOptions.SetDefaults();
    g_printOptions.frontBorder = 1;
    NewDesign(view, kLayout2DiscTop, "Front Cover");
    FillDesign(view);
    ShootPrintDialog(view, "print-cd.png", nullptr);
    ShootPrintDialog(view, "print-page-back.png", "Back Cover");
    ShootPrintDialog(view, "print-page-disc.png", "Disc");
    g_printOptions.printFront = g_printOptions.printBack = g_printOptions.printDisc1 =
        g_printOptions.printDisc2 = 0;
    {
        Driven<DlgPrint> dialog(view);
        dialog.drive = [&](Driven<DlgPrint>& d) {
            kvtest::PumpUntil([&] { return d.m_printers.GetCount() > 1; }, 10000);
            for (int id : {IDC_PRINT_DISC2}) {
                d.m_checks[3].SetCheck(BST_UNCHECKED);
                Command(d, id);
            }
            Shoot(d.m_hWnd, "print-page-blank.png");
        };
        dialog.DoModal();
    }
    g_printOptions.SetDefaults();
    view->m_calibrationMode = true;
    ShootPrintDialog(view, "print-calibration.png", nullptr);
    view->m_calibrationMode = false;
    {
        Driven<DlgPrintProp> dialog(view);
        g_showDiscPrintSettings = 1;
        dialog.drive = [](Driven<DlgPrintProp>& d) { Shoot(d.m_hWnd, "printer-properties.png"); };
        dialog.DoModal();
    }
    // A DVD case design, every side chosen again (calibration chose the disc page alone).
    g_printOptions.SetDefaults();
    g_printOptions.backBorder = g_printOptions.backFold = 1;
    view->m_templates.coverTemplateName = "(DVD Case - Plain Paper)";
    NewDesign(view, kLayout1DiscTop, "Front Cover");
    FillDesign(view);
    ShootPrintDialog(view, "print-dvd.png", "DVD Case");
}

TEST_CASE("lightscribe") {
    View* view = EnsurePrintView();
    Forget();
    view->m_templates.discTemplateName = "(CD/DVD Disc Label - Generic)";
    view->m_templates.coverTemplateName = "(CD Jewel Case - Plain Paper)";
    NewDesign(view, kLayout1DiscTop, "Disc 1");
    FillDesign(view);
    auto shoot = [&](const char* name) {
        Driven<DlgLightScribe> dialog(nullptr, view);
        dialog.drive = [&](Driven<DlgLightScribe>& d) {
            kvtest::PumpUntil([&] { return d.m_discList.GetItemCount() > 0; }, 10000);
            Shoot(d.m_hWnd, name);
        };
        dialog.DoModal();
    };
    shoot("lightscribe-one-disc.png");
    NewDesign(view, kLayout2DiscTop, "Disc 1");
    FillDesign(view);
    shoot("lightscribe-two-discs.png");
    view->m_templates.discTemplateName = "LightScribe";
    view->ApplyTemplate("LightScribe", CString(), true, true);
    shoot("lightscribe-template.png");
    view->m_templates.discTemplateName = "(CD/DVD Disc Label - Generic)";
}
