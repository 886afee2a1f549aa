// The LightScribe dialog on the real view: the layouts of one-disc, two-disc and LightScribe
// template designs, the disc list and the preview that borrows its pictures, the disc that stays
// chosen, the template offer undone by clearing it or by Cancel, and the remembered position.
#include <doctest.h>

#include "GuiSupport.h"
#include "PrintTestSupport.h"
#include "controls/DialogPositions.h"
#include "print/DlgLightScribe.h"
#include "res/PrintDialogsIds.h"

using namespace printtest;

namespace {

bool Visible(CWnd& dialog, int id) {
    return ::IsWindowVisible(::GetDlgItem(dialog.m_hWnd, id)) != FALSE;
}

SIZE WindowSize(HWND window) {
    RECT r;
    ::GetWindowRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

RECT ChildRect(CWnd& dialog, int id) {
    RECT r;
    ::GetWindowRect(::GetDlgItem(dialog.m_hWnd, id), &r);
    ::MapWindowPoints(nullptr, dialog.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Runs the dialog on the view's design; `drive` sees it once its disc list is filled.
int Run(View* view, const std::function<void(Driven<DlgLightScribe>&)>& drive) {
    Driven<DlgLightScribe> dialog(nullptr, view);
    dialog.drive = [&](Driven<DlgLightScribe>& d) {
        REQUIRE(kvtest::PumpUntil([&] { return d.m_discList.GetItemCount() > 0; }, 10000));
        drive(d);
    };
    return static_cast<int>(dialog.DoModal());
}

int SelectedItem(Driven<DlgLightScribe>& d) {
    return d.m_discList.GetNextItem(-1, LVNI_SELECTED);
}

// A new design on the plain disc label (an earlier case may have left the library on the
// LightScribe template).
void PlainDesign(View* view, int layout) {
    view->m_templates.discTemplateName = "(CD/DVD Disc Label - Generic)";
    NewDesign(view, layout, "Disc 1");
}

void ForgetPosition() {
    g_dialogPositions[kLightScribePos] = POINT{-1, -1};
}

}  // namespace

TEST_CASE("a one-disc design: no list, a narrower dialog, the first disc") {
    View* view = EnsurePrintView();
    ForgetPosition();
    PlainDesign(view, kLayout1DiscTop);
    SIZE oneDisc = {};
    const int result = Run(view, [&](Driven<DlgLightScribe>& d) {
        CHECK_FALSE(Visible(d, IDC_LS_DISC_LIST));
        CHECK_FALSE(Visible(d, IDC_LS_SELECT_CAPTION));
        CHECK(Visible(d, IDC_LS_USE_TEMPLATE));
        CHECK(Visible(d, IDC_LS_WARNING));
        CHECK(Visible(d, IDC_LS_WARNING_IMAGE));
        CHECK(ItemText(d, IDC_LS_WARNING) == LightScribeWarningText());
        CHECK(LightScribeWarningText() ==
              "Part of your design is outside the LightScribe print area.\r\nSelect \"Use LightScribe "
              "Template\" "
              "to adjust your template.");
        // The preview is square and starts where the list would.
        const RECT preview = ChildRect(d, IDC_LS_PREVIEW);
        CHECK(preview.right - preview.left == preview.bottom - preview.top);
        CHECK(preview.left == ChildRect(d, IDC_LS_DISC_LIST).left);
        REQUIRE(d.m_discBitmaps.size() == 1);
        CHECK(d.m_discNames[0] == "Disc 1");
        CHECK(d.m_preview.GetBorrowedSheet() == d.m_discBitmaps[0]);
        oneDisc = WindowSize(d.m_hWnd);
        Command(d, IDOK);
    });
    CHECK(result == 10);
    // Two discs need the list: the dialog is wider by about its width.
    PlainDesign(view, kLayout2DiscTop);
    Run(view, [&](Driven<DlgLightScribe>& d) {
        CHECK(Visible(d, IDC_LS_DISC_LIST));
        CHECK(WindowSize(d.m_hWnd).cx > oneDisc.cx + 100);
        CHECK(WindowSize(d.m_hWnd).cy == oneDisc.cy);
        d.EndDialog(IDCANCEL);
    });
}

TEST_CASE("a design on the LightScribe template neither warns nor offers the template") {
    View* view = EnsurePrintView();
    for (int layout : {kLayout1DiscTop, kLayout2DiscTop}) {
        CAPTURE(layout);
        PlainDesign(view, layout);
        SIZE plain = {};
        RECT previewPlain = {};
        Run(view, [&](Driven<DlgLightScribe>& d) {
            plain = WindowSize(d.m_hWnd);
            previewPlain = ChildRect(d, IDC_LS_PREVIEW);
            d.EndDialog(IDCANCEL);
        });
        view->m_templates.discTemplateName = "LightScribe";
        view->ApplyTemplate("LightScribe", CString(), true, true);
        REQUIRE(view->m_design.IsLightScribeTemplate());
        Run(view, [&](Driven<DlgLightScribe>& d) {
            CHECK_FALSE(Visible(d, IDC_LS_USE_TEMPLATE));
            CHECK_FALSE(Visible(d, IDC_LS_WARNING));
            CHECK_FALSE(Visible(d, IDC_LS_WARNING_IMAGE));
            const RECT preview = ChildRect(d, IDC_LS_PREVIEW);
            const RECT button = ChildRect(d, IDOK);
            // The buttons come up under the preview and the dialog closes up behind them.
            CHECK(button.top == preview.bottom + ChildRect(d, IDC_LS_SELECT_CAPTION).top);
            CHECK(WindowSize(d.m_hWnd).cy < plain.cy - 40);
            if (view->m_design.IsTwoDiscLayout())
                CHECK(ChildRect(d, IDC_LS_DISC_LIST).bottom == preview.bottom);
            d.EndDialog(IDCANCEL);
        });
    }
}

TEST_CASE("two discs: the list chooses, and a disc is always chosen") {
    View* view = EnsurePrintView();
    SUBCASE("the duplicate layout opens on the second disc") {
        PlainDesign(view, kLayout2DiscDuplicate);
        const int result = Run(view, [&](Driven<DlgLightScribe>& d) {
            CHECK(d.m_discList.GetItemCount() == 2);
            CHECK(SelectedItem(d) == 1);
            CHECK(d.m_selectedDisc == 1);
            CHECK(d.m_preview.GetBorrowedSheet() == d.m_discBitmaps[1]);
            Command(d, IDOK);
        });
        CHECK(result == 11);
    }
    SUBCASE("choosing a disc shows it; an empty click keeps it") {
        PlainDesign(view, kLayout2DiscTop);
        const int result = Run(view, [&](Driven<DlgLightScribe>& d) {
            REQUIRE(d.m_discList.GetItemCount() == 2);
            CHECK(SelectedItem(d) == 0);
            CHECK(d.m_discList.GetItemText(1, 0) == "Disc 2");
            IMAGEINFO info = {};
            REQUIRE(ImageList_GetImageInfo(d.m_thumbnails.GetSafeHandle(), 1, &info));
            CHECK(info.rcImage.right - info.rcImage.left == DlgLightScribe::kThumbSize);
            d.m_discList.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            CHECK(d.m_selectedDisc == 1);
            CHECK(d.m_preview.GetBorrowedSheet() == d.m_discBitmaps[1]);
            // A click beside the thumbnails: the list lets go of its selection and tells the dialog.
            d.m_discList.SetItemState(-1, 0, LVIS_SELECTED);
            NMITEMACTIVATE click = {};
            click.hdr.hwndFrom = d.m_discList.m_hWnd;
            click.hdr.idFrom = IDC_LS_DISC_LIST;
            click.hdr.code = NM_CLICK;
            click.iItem = -1;
            d.SendMessage(WM_NOTIFY, IDC_LS_DISC_LIST, reinterpret_cast<LPARAM>(&click));
            CHECK(SelectedItem(d) == 1);
            Command(d, IDOK);
        });
        CHECK(result == 11);
    }
}

TEST_CASE("the template offer is undone by clearing it or by Cancel") {
    View* view = EnsurePrintView();
    PlainDesign(view, kLayout1DiscTop);
    const CString opening = view->m_templates.discTemplateName;
    REQUIRE(opening != "LightScribe");
    Run(view, [&](Driven<DlgLightScribe>& d) {
        d.m_useTemplate.SetCheck(BST_CHECKED);
        Command(d, IDC_LS_USE_TEMPLATE);
        CHECK(view->m_design.IsLightScribeTemplate());
        CHECK_FALSE(Visible(d, IDC_LS_WARNING));
        CHECK_FALSE(Visible(d, IDC_LS_WARNING_IMAGE));
        // The pictures were made anew for the design as it now is.
        REQUIRE(d.m_discBitmaps.size() == 1);
        CHECK(d.m_preview.GetBorrowedSheet() == d.m_discBitmaps[0]);
        d.m_useTemplate.SetCheck(BST_UNCHECKED);
        Command(d, IDC_LS_USE_TEMPLATE);
        CHECK(view->m_templates.discTemplateName == opening);
        CHECK(Visible(d, IDC_LS_WARNING));
        d.m_useTemplate.SetCheck(BST_CHECKED);
        Command(d, IDC_LS_USE_TEMPLATE);
        CHECK(view->m_design.IsLightScribeTemplate());
        Command(d, IDCANCEL);
    });
    CHECK(view->m_templates.discTemplateName == opening);
    CHECK_FALSE(view->m_design.IsLightScribeTemplate());
    // Continue keeps the template the user chose.
    Run(view, [&](Driven<DlgLightScribe>& d) {
        d.m_useTemplate.SetCheck(BST_CHECKED);
        Command(d, IDC_LS_USE_TEMPLATE);
        Command(d, IDOK);
    });
    CHECK(view->m_design.IsLightScribeTemplate());
}

TEST_CASE("the dialog opens centred the first time, then where it was closed") {
    View* view = EnsurePrintView();
    PlainDesign(view, kLayout2DiscTop);
    ForgetPosition();
    POINT first = {};
    Run(view, [&](Driven<DlgLightScribe>& d) {
        RECT r;
        d.GetWindowRect(&r);
        first = POINT{r.left, r.top};
        CHECK(g_dialogPositions[kLightScribePos].x == first.x);
        d.SetWindowPos(nullptr, first.x + 37, first.y + 21, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        d.EndDialog(IDCANCEL);
    });
    CHECK(g_dialogPositions[kLightScribePos].x == first.x + 37);
    CHECK(g_dialogPositions[kLightScribePos].y == first.y + 21);
    Run(view, [&](Driven<DlgLightScribe>& d) {
        RECT r;
        d.GetWindowRect(&r);
        CHECK(r.left == first.x + 37);
        CHECK(r.top == first.y + 21);
        d.EndDialog(IDCANCEL);
    });
}
