// The label alignment and label stock dialogs on the view's template library, which lives in a
// temporary settings folder: paper sizes, orientation, pages and folded covers checked against
// the sides, the template's name, dimensions typed into the preview and saved; the stock lists,
// what can be edited and deleted, choosing a stock for the design and templates.ini written.
#include <doctest.h>

#include <string>

#include "PrintTestSupport.h"
#include "canvas/FrameCommandState.h"
#include "canvas/ViewSettings.h"
#include "print/DlgLabelAlignment.h"
#include "print/DlgLabelStock.h"
#include "print/PrintSettings.h"
#include "render/CanvasSettings.h"
#include "res/PrintDialogsIds.h"

using namespace printtest;

namespace {

const char* const kJewel = "(CD Jewel Case - Plain Paper)";
const char* const kDvd = "(DVD Case - Plain Paper)";
const char* const kDisc = "(CD/DVD Disc Label - Generic)";

// A template of the library's of that name, copied under a new name so that each case has its own.
LabelTemplate* Scratch(View* view, const char* from, const char* name) {
    if (LabelTemplate* old = view->m_templates.FindTemplate(name))
        view->m_templates.RemoveTemplate(old, true);
    LabelTemplate* t = new LabelTemplate(view->m_templates.FindTemplate(from), false);
    t->name = name;
    view->m_templates.AddTemplate(t);
    return t;
}

// Runs the alignment dialog on the template, hands it to `drive` and ends it with `end`.
int RunAlignment(LabelTemplate* t, int page, std::function<void(DlgLabelAlignment&)> drive,
                 int end = IDCANCEL) {
    Driven<DlgLabelAlignment> dialog(t, page, nullptr);
    dialog.drive = [&](Driven<DlgLabelAlignment>& d) {
        drive(d);
        if (!d.ContinueModal()) return;
        if (end == IDOK)
            Command(d, IDOK);
        else
            d.EndDialog(end);
    };
    return static_cast<int>(dialog.DoModal());
}

CString Selected(CWnd& dialog, int comboId) {
    const int i = static_cast<int>(dialog.SendDlgItemMessage(comboId, CB_GETCURSEL));
    if (i < 0) return CString();
    char text[128] = {};
    dialog.SendDlgItemMessage(comboId, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    return text;
}

}  // namespace

TEST_CASE("the label alignment dialog checks every choice against the sides") {
    View* view = EnsurePrintView();
    g_units = "Inches";
    KvMessageBoxCapture boxes;

    SUBCASE("a paper size on which a side fits only turned turns the page") {
        LabelTemplate* t = Scratch(view, kJewel, "Scratch Turn");
        t->FindPage(2)->width = t->FindPage(2)->height = 11000;  // square: no orientation yet
        t->GetFrontCover()->width = 9000;
        t->GetFrontCover()->height = 4000;
        t->GetFrontCover()->left = 0;
        CString orientation;
        RunAlignment(t, 2, [&](DlgLabelAlignment& d) {
            Choose(d, IDC_ALIGN_PAPER, 3);  // A4
            orientation = Selected(d, IDC_ALIGN_ORIENTATION);
            ViewObject* page = d.m_copy->FindPage(2);
            CHECK(page->width == 11693);
            CHECK(page->height == 8268);
        });
        CHECK(orientation == "Landscape");
        CHECK(boxes.Boxes().empty());
        // Cancel leaves the library's template as it was.
        CHECK(t->FindPage(2)->width == 11000);
    }
    SUBCASE("a paper size on which a side fits in neither orientation is refused") {
        LabelTemplate* t = Scratch(view, kJewel, "Scratch Refuse");
        t->FindPage(2)->width = 17000;
        t->FindPage(2)->height = 11000;
        t->GetFrontCover()->width = 12000;
        CString paper;
        RunAlignment(t, 2, [&](DlgLabelAlignment& d) {
            CHECK(Selected(d, IDC_ALIGN_PAPER) == "Ledger - (11 '' x 17 '')");
            Choose(d, IDC_ALIGN_PAPER, 0);
            paper = Selected(d, IDC_ALIGN_PAPER);
            CHECK(d.m_copy->FindPage(2)->width == 17000);
        });
        REQUIRE(boxes.Boxes().size() == 1);
        CHECK(boxes.LastText() ==
              "The Front Cover does not fit on the Letter - (8.5 '' x 11 '') paper size.\r\n\r\nPlease make "
              "the "
              "Front Cover smaller, or select a larger Paper Size.");
        CHECK(boxes.Boxes()[0].iconKind == 2);
        CHECK(paper == "Ledger - (11 '' x 17 '')");
    }
    SUBCASE("a folded cover too wide for the page is refused; Landscape on a square page changes nothing") {
        LabelTemplate* t = Scratch(view, kJewel, "Scratch Fold");
        RunAlignment(t, 2, [&](DlgLabelAlignment& d) {
            CHECK(Selected(d, IDC_ALIGN_FOLDED) == "Yes");
            Choose(d, IDC_ALIGN_FOLDED, 0);
            ViewObject* front = d.m_copy->GetFrontCover();
            CHECK(front->width == 4760);
            CHECK(front->bFolded == 0);
            Choose(d, IDC_ALIGN_ORIENTATION, 0);  // Portrait: 8500 wide
            CHECK(d.m_copy->FindPage(2)->width == 8500);
            Choose(d, IDC_ALIGN_FOLDED, 1);
            CHECK(Selected(d, IDC_ALIGN_FOLDED) == "No");
            CHECK(front->width == 4760);
            d.m_copy->FindPage(2)->width = d.m_copy->FindPage(2)->height = 9000;
            CHECK(d.ApplyOrientation(false, true));
            CHECK(d.m_copy->FindPage(2)->width == 9000);
        });
        REQUIRE(boxes.Boxes().size() == 1);
        CHECK(boxes.LastText().Find("The Front Cover will not fit on the page with a Folded Cover.") == 0);
    }
    SUBCASE("1 Page: portrait first, then without the fold; refused when even that does not fit") {
        LabelTemplate* t = Scratch(view, kJewel, "Scratch Pages");
        RunAlignment(t, 3, [&](DlgLabelAlignment& d) {
            Choose(d, IDC_ALIGN_PAGES, 0);
            CHECK(d.m_copy->AreCoversOnSamePage());
            CHECK(d.m_page == 2);
            CHECK(Selected(d, IDC_ALIGN_ORIENTATION) == "Portrait");
            ViewObject* front = d.m_copy->GetFrontCover();
            ViewObject* back = d.m_copy->GetBackCover();
            CHECK(front->bFolded == 0);
            // Stacked with equal gaps: (11000 - 4760 - 4650) / 3.
            CHECK(front->top == 530);
            CHECK(back->top == front->top + front->height + 530);
            CHECK_FALSE(::IsWindowVisible(d.GetDlgItem(IDC_ALIGN_TAB)->m_hWnd));
        });
        CHECK(boxes.Boxes().empty());
        t->GetBackCover()->width = 9000;
        RunAlignment(t, 3, [&](DlgLabelAlignment& d) {
            Choose(d, IDC_ALIGN_PAGES, 0);
            CHECK(Selected(d, IDC_ALIGN_PAGES) == "2 Pages");
            CHECK(d.m_copy->GetBackCover()->side == 3);
            CHECK(d.m_copy->GetFrontCover()->bFolded == 1);
            CHECK(d.m_page == 3);
        });
        REQUIRE(boxes.Boxes().size() == 1);
        CHECK(boxes.LastText().Find("The cover does not fit correctly on 1 Page.") == 0);
    }
    SUBCASE("the name: LightScribe is never taken, an emptied name comes back, a taken name is made unique") {
        LabelTemplate* t = Scratch(view, kDisc, "Scratch Name");
        CString lightScribe, emptied, taken;
        RunAlignment(t, 1, [&](DlgLabelAlignment& d) {
            auto rename = [&](const char* typed) {
                d.SetDlgItemText(IDC_ALIGN_NAME, typed);
                Command(d, IDC_ALIGN_NAME, EN_KILLFOCUS);
                return ItemText(d, IDC_ALIGN_NAME);
            };
            lightScribe = rename("LightScribe");
            emptied = rename("");
            taken = rename(kDisc);
        });
        CHECK(lightScribe.Left(12) == "LightScribe ");
        CHECK(lightScribe.GetLength() > 12);
        CHECK(emptied == lightScribe);
        CHECK(taken == CString(kDisc) + " 2");
        CHECK(t->name == "Scratch Name");
    }
    SUBCASE("units, a dimension typed into the preview, and Save") {
        LabelTemplate* t = Scratch(view, kJewel, "Scratch Save");
        const int result = RunAlignment(
            t, 3,
            [&](DlgLabelAlignment& d) {
                Choose(d, IDC_ALIGN_UNITS, 1);
                CHECK(g_units == "Millimeters");
                REQUIRE(d.m_preview.GetFieldCount() == 5);
                HWND height = d.m_preview.GetFieldEdit(3);
                ::SetWindowTextA(height, "100.0");
                Command(d, IDC_DIMENSION_FIELD + 3, EN_KILLFOCUS);
                // A later choice keeps what was typed.
                Choose(d, IDC_ALIGN_UNITS, 0);
            },
            IDOK);
        CHECK(result == IDOK);
        CHECK(g_units == "Inches");
        CHECK(t->GetBackCover()->height == 3937);  // floor(100000 / 25.4 + 0.5)
    }
    SUBCASE("a disc template for a disc printer is saved on the printer's page with its discs centred") {
        LabelTemplate* t = Scratch(view, kDisc, "Scratch Printer");
        RunAlignment(
            t, 1, [&](DlgLabelAlignment& d) { Choose(d, IDC_ALIGN_PAPER, 2); }, IDOK);
        ViewObject* page = t->FindPage(1);
        CHECK(page->width == 5500);
        CHECK(page->height == 5500);
        CHECK(t->GetDisc(1)->left == (5500 - t->GetDisc(1)->width) / 2);
        CHECK(t->IsDiscCentered());
        CString paper;
        RunAlignment(t, 1, [&](DlgLabelAlignment& d) {
            paper = Selected(d, IDC_ALIGN_PAPER);
            CHECK(d.m_copy->FindPage(1)->width == 8500);
        });
        CHECK(paper == "CD/DVD Printer");
    }
}

TEST_CASE("the label stock dialog") {
    View* view = EnsurePrintView();
    g_units = "Inches";
    g_labelStockDialogRect = RECT{-1, -1, -1, -1};
    KvMessageBoxCapture boxes;
    PrintHost& host = Host();
    host.calls.clear();
    host.alignmentDriver = nullptr;
    view->m_templates.discTemplateName = kDisc;
    view->m_templates.coverTemplateName = kJewel;
    NewDesign(view, kLayout1DiscTop, "Front Cover");
    for (const char* name : {"Custom Disc Label", "Custom Disc Label 2"})
        if (LabelTemplate* t = view->m_templates.FindTemplate(name))
            view->m_templates.RemoveTemplate(t, true);

    SUBCASE("lists, the LightScribe template, the template in use, the link") {
        Driven<DlgLabelStock> dialog(view);
        BYTE newOpenWhileOpen = 1;
        dialog.drive = [&](Driven<DlgLabelStock>& d) {
            newOpenWhileOpen = FrameCommandState::Get().m_enableFileNewOpen;
            const std::vector<std::string> discs = ListEntries(d, IDC_STOCK_DISC_LIST);
            const std::vector<std::string> cases = ListEntries(d, IDC_STOCK_CASE_LIST);
            REQUIRE(discs.size() >= 2);
            CHECK(cases.front() == kJewel);
            // The template the design uses cannot be deleted.
            CHECK(d.m_discEdit.IsWindowEnabled());
            CHECK_FALSE(d.m_caseDelete.IsWindowEnabled());
            CHECK(ItemText(d, IDC_STOCK_PAGE2_CAPTION) == "Front Cover");
            for (size_t i = 0; i < discs.size(); ++i)
                if (discs[i] == "LightScribe") d.SendDlgItemMessage(IDC_STOCK_DISC_LIST, LB_SETCURSEL, i);
            Command(d, IDC_STOCK_DISC_LIST, LBN_SELCHANGE);
            CHECK_FALSE(d.m_discEdit.IsWindowEnabled());
            CHECK_FALSE(d.m_discDelete.IsWindowEnabled());
            Command(d, IDC_STOCK_DISC_LIST, LBN_DBLCLK);
            Command(d, IDC_STOCK_DISC_PREVIEW);
            d.SendMessage(kLabelClickMessage, 1, 0);
            // Choosing the DVD case while the design has a jewel case: the question, answered
            // with Cancel, changes nothing.
            for (size_t i = 0; i < cases.size(); ++i)
                if (cases[i] == kDvd) d.SendDlgItemMessage(IDC_STOCK_CASE_LIST, LB_SETCURSEL, i);
            Command(d, IDC_STOCK_CASE_LIST, LBN_SELCHANGE);
            CHECK(ItemText(d, IDC_STOCK_PAGE2_CAPTION) == "Case");
            boxes.m_answerCaption = "Cancel";
            Command(d, IDOK);
        };
        CHECK(dialog.DoModal() == 1);
        CHECK(newOpenWhileOpen == 0);
        CHECK(FrameCommandState::Get().m_enableFileNewOpen == 1);
        CHECK(host.alignmentRuns == 0);
        CHECK(host.Called("ShowHelpContext 34"));
        REQUIRE(boxes.Boxes().size() == 1);
        CHECK(boxes.LastText().Find("You have switched to a DVD case template.") == 0);
        CHECK_FALSE(host.Called("OpenStartupDesign 5 0"));
        CHECK(view->m_templates.coverTemplateName == kJewel);
        CHECK(g_labelStockDialogRect.left >= 0);
    }
    SUBCASE("the case kind switched with OK loads the startup design of the new kind") {
        Driven<DlgLabelStock> dialog(view);
        dialog.drive = [&](Driven<DlgLabelStock>& d) {
            const std::vector<std::string> cases = ListEntries(d, IDC_STOCK_CASE_LIST);
            for (size_t i = 0; i < cases.size(); ++i)
                if (cases[i] == kDvd) d.SendDlgItemMessage(IDC_STOCK_CASE_LIST, LB_SETCURSEL, i);
            Command(d, IDC_STOCK_CASE_LIST, LBN_SELCHANGE);
            boxes.m_answerCaption = "OK";
            Command(d, IDOK);
        };
        CHECK(dialog.DoModal() == 1);
        CHECK(host.Called("OpenStartupDesign 5 0"));
    }
    SUBCASE("a new template: edited, chosen for the design, saved in templates.ini, deleted") {
        host.alignmentDriver = [](CWnd& d) {
            auto& dialog = static_cast<DlgLabelAlignment&>(d);
            dialog.m_copy->GetDisc(1)->left += 100;
            dialog.m_preview.SetTemplate(dialog.m_copy, 1, kPreviewAlignment, false);
            Command(dialog, IDOK);
        };
        Driven<DlgLabelStock> dialog(view);
        CString chosen;
        dialog.drive = [&](Driven<DlgLabelStock>& d) {
            Command(d, IDC_STOCK_DISC_NEW);
            chosen = d.m_discName;
            // Made from the template in use, it took its place in the design: in use itself.
            CHECK_FALSE(d.m_discDelete.IsWindowEnabled());
            Command(d, IDOK);
        };
        CHECK(dialog.DoModal() == 1);
        CHECK(host.alignmentRuns == 1);
        CHECK(host.alignmentPage == 1);
        CHECK(chosen.Left(17) == "Custom Disc Label");
        // The design now uses it.
        CHECK(view->m_templates.discTemplateName == chosen);
        LabelTemplate* created = view->m_templates.FindTemplate(chosen);
        REQUIRE(created != nullptr);
        CHECK(created->GetDisc(1)->left == view->m_templates.FindTemplate(kDisc)->GetDisc(1)->left + 100);
        // templates.ini holds it with its new position.
        KorvanelleDocument file;
        REQUIRE(file.OpenDocumentFile((SettingsFolder() + "\\templates.ini").c_str()));
        LabelTemplate* saved = file.FindTemplate(chosen);
        REQUIRE(saved != nullptr);
        CHECK(saved->GetDisc(1)->left == created->GetDisc(1)->left);
        file.DeleteContents(true);

        // Back to the generic template, then delete the new one: its neighbour is selected.
        view->m_templates.discTemplateName = kDisc;
        view->ApplyTemplate(kDisc, CString(), true, true);
        Driven<DlgLabelStock> again(view);
        std::vector<std::string> before, after;
        CString selected;
        again.drive = [&](Driven<DlgLabelStock>& d) {
            before = ListEntries(d, IDC_STOCK_DISC_LIST);
            for (size_t i = 0; i < before.size(); ++i)
                if (before[i] == chosen.GetString())
                    d.SendDlgItemMessage(IDC_STOCK_DISC_LIST, LB_SETCURSEL, i);
            Command(d, IDC_STOCK_DISC_LIST, LBN_SELCHANGE);
            boxes.m_answerCaption = "Yes";
            Command(d, IDC_STOCK_DISC_DELETE);
            after = ListEntries(d, IDC_STOCK_DISC_LIST);
            selected = d.m_discName;
            Command(d, IDCANCEL);
        };
        CHECK(again.DoModal() == -1);
        CHECK(after.size() == before.size() - 1);
        CHECK(view->m_templates.FindTemplate(chosen) == nullptr);
        CHECK_FALSE(selected.IsEmpty());
        CHECK(selected != chosen);
        KorvanelleDocument reread;
        REQUIRE(reread.OpenDocumentFile((SettingsFolder() + "\\templates.ini").c_str()));
        CHECK(reread.FindTemplate(chosen) == nullptr);
        reread.DeleteContents(true);
    }
    host.alignmentDriver = nullptr;
}
