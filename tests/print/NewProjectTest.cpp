// The New Project dialog: six layouts with their pictures (from a startup design file when there
// is one, else drawn from the label templates), the entry of the current settings, the choice
// returned, Cancel, and the switch shown at start-up.
#include <doctest.h>

#include <string>

#include "GdiplusSession.h"
#include "PrintTestSupport.h"
#include "TestSupport.h"
#include "canvas/FrameCommandState.h"
#include "canvas/ViewSettings.h"
#include "model/Folders.h"
#include "model/PageSizes.h"
#include "print/DlgNewDoc.h"
#include "res/PrintDialogsIds.h"

using namespace printtest;
using namespace Gdiplus;

namespace {

struct Library {
    Library() {
        InitPaperTable();
        templates.CreateBuiltInTemplates();
        templates.discTemplateName = templates.FindTemplateNameOfKind(CString(), kCaseDisc);
        templates.coverTemplateName = templates.FindTemplateNameOfKind(CString(), kCaseJewel);
    }
    ~Library() { templates.DeleteContents(true); }
    KorvanelleDocument templates;
};

// Writes the startup design of CD cases with one disc whose picture is a plain red strip.
void WriteRedStartupDesign(const std::string& folder, Library& library) {
    KorvanelleDocument d;
    d.CreateFromTemplates(library.templates.GetDiscTemplate(), library.templates.GetCoverTemplate());
    Bitmap red(120, 64, PixelFormat24bppRGB);
    {
        Graphics g(&red);
        g.Clear(Color(255, 220, 0, 0));
    }
    IStreamObject* stream = new IStreamObject;
    REQUIRE(stream->CreateStream());
    REQUIRE(stream->EncodeImage(&red, false));
    d.AddToImagePool(stream);
    CFile file;
    REQUIRE(file.Open((folder + "\\CD-Template-1-Disc.kvl").c_str(), CFile::modeCreate | CFile::modeWrite));
    d.Save(&file);
    file.Close();
    d.DeleteContents(true);
}

unsigned CentrePixel(Image* image) {
    Bitmap* b = static_cast<Bitmap*>(image);
    Color c;
    b->GetPixel(static_cast<INT>(b->GetWidth() / 2), static_cast<INT>(b->GetHeight() / 2), &c);
    return c.GetValue() & 0xFFFFFF;
}

}  // namespace

TEST_CASE("the six layouts and their pictures") {
    EnsureResources();
    Library library;
    const std::string folder = kvtest::TempDir("new-project");
    g_openSaveFolder = folder.c_str();
    g_programFolder = folder.c_str();
    g_dataFolder = folder.c_str();
    DlgNewDoc dialog(&library.templates);
    ListImageArray* blank = dialog.BuildPictures();
    REQUIRE(blank->Size() == 6);
    for (int i = 0; i < 6; ++i) {
        CAPTURE(i);
        REQUIRE(blank->images[i] != nullptr);
        CHECK(blank->images[i]->GetHeight() == 64);
    }
    // A second disc makes the strip wider.
    CHECK(blank->images[1]->GetWidth() > blank->images[0]->GetWidth());
    CHECK(blank->images[3]->GetWidth() > blank->images[2]->GetWidth());

    WriteRedStartupDesign(folder, library);
    ListImageArray* startup = dialog.BuildPictures();
    CHECK(CentrePixel(startup->images[0]) == 0xDC0000);
    CHECK(CentrePixel(startup->images[2]) != 0xDC0000);
    // "Load blank design" draws every picture from the templates, also where a file exists.
    dialog.m_loadBlankFlag = true;
    ListImageArray* ticked = dialog.BuildPictures();
    CHECK(CentrePixel(ticked->images[0]) != 0xDC0000);
    CHECK(ticked->images[0]->GetWidth() == blank->images[0]->GetWidth());
    delete blank;
    delete startup;
    delete ticked;
}

TEST_CASE("the New Project dialog's choice") {
    EnsureResources();
    Library library;
    const std::string folder = kvtest::TempDir("new-project-dialog");
    g_openSaveFolder = g_programFolder = g_dataFolder = folder.c_str();
    FrameCommandState& frame = FrameCommandState::Get();
    frame.m_targetDisc = 2;

    SUBCASE("the entry of the settings is selected; OK returns the chosen layout") {
        g_caseKind = kCaseDvd;
        g_discLayout = kLayout2DiscBottom;
        g_showNewProjectAtStart = 1;
        Driven<DlgNewDoc> dialog(&library.templates);
        int selected = -1, targetDisc = 0;
        BYTE newOpen = 1;
        std::vector<std::string> entries;
        dialog.drive = [&](Driven<DlgNewDoc>& d) {
            selected = static_cast<int>(d.SendDlgItemMessage(IDC_NEW_LIST, LB_GETCURSEL));
            entries = ListEntries(d, IDC_NEW_LIST);
            CHECK(d.IsDlgButtonChecked(IDC_NEW_SHOW_AT_START) == BST_CHECKED);
            CHECK(d.IsDlgButtonChecked(IDC_NEW_BLANK) == BST_UNCHECKED);
            newOpen = frame.m_enableFileNewOpen;
            targetDisc = frame.m_targetDisc;
            d.SendDlgItemMessage(IDC_NEW_LIST, LB_SETCURSEL, 4);
            Command(d, IDOK);
        };
        CHECK(dialog.DoModal() == IDOK);
        CHECK(selected == 3);
        CHECK(entries == std::vector<std::string>{"CD Case - 1 Disc", "CD Case - 2 Disc", "DVD Case - 1 Disc",
                                                  "DVD Case - 2 Disc", "Blu-ray Case - 1 Disc",
                                                  "Blu-ray Case - 2 Disc"});
        CHECK(newOpen == 0);
        CHECK(targetDisc == 1);
        CHECK(frame.m_enableFileNewOpen == 1);
        CHECK(dialog.m_caseKind == kCaseBluray);
        CHECK(dialog.m_discLayout == kLayout1DiscTop);
        CHECK(dialog.m_useStartupDesign);
    }
    SUBCASE("another kind with one disc opens on the first entry; without a selection OK gives a CD case") {
        g_caseKind = 7;
        g_discLayout = kLayout1DiscTop;
        Driven<DlgNewDoc> dialog(&library.templates);
        int selected = -1;
        dialog.drive = [&](Driven<DlgNewDoc>& d) {
            selected = static_cast<int>(d.SendDlgItemMessage(IDC_NEW_LIST, LB_GETCURSEL));
            d.SendDlgItemMessage(IDC_NEW_LIST, LB_SETCURSEL, static_cast<WPARAM>(-1));
            d.CheckDlgButton(IDC_NEW_BLANK, BST_CHECKED);
            Command(d, IDC_NEW_BLANK);
            Command(d, IDOK);
        };
        CHECK(dialog.DoModal() == IDOK);
        CHECK(selected == 0);
        CHECK(dialog.m_caseKind == kCaseJewel);
        CHECK(dialog.m_discLayout == kLayout1DiscTop);
        CHECK_FALSE(dialog.m_useStartupDesign);
    }
    SUBCASE("Cancel keeps the settings' kind and layout; the start-up switch follows at once") {
        g_caseKind = kCaseDvd;
        g_discLayout = kLayout1DiscTop;
        g_showNewProjectAtStart = 1;
        Driven<DlgNewDoc> dialog(&library.templates);
        dialog.drive = [&](Driven<DlgNewDoc>& d) {
            d.SendDlgItemMessage(IDC_NEW_LIST, LB_SETCURSEL, 5);
            d.CheckDlgButton(IDC_NEW_SHOW_AT_START, BST_UNCHECKED);
            Command(d, IDC_NEW_SHOW_AT_START);
            Command(d, IDCANCEL);
        };
        CHECK(dialog.DoModal() == -1);
        CHECK(dialog.m_caseKind == kCaseDvd);
        CHECK(dialog.m_discLayout == kLayout1DiscTop);
        CHECK(dialog.m_useStartupDesign);
        CHECK(g_showNewProjectAtStart == 0);
        CHECK(frame.m_enableFileNewOpen == 1);
    }
    SUBCASE("a double click chooses") {
        Driven<DlgNewDoc> dialog(&library.templates);
        dialog.drive = [&](Driven<DlgNewDoc>& d) {
            d.SendDlgItemMessage(IDC_NEW_LIST, LB_SETCURSEL, 2);
            Command(d, IDC_NEW_LIST, LBN_DBLCLK);
        };
        CHECK(dialog.DoModal() == IDOK);
        CHECK(dialog.m_caseKind == kCaseDvd);
    }
}
