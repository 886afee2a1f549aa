// The New Project dialog: six layouts with their pictures (from a startup design file when there
// is one, else drawn from the label templates), the entry of the current settings, the choice
// returned, Cancel, and the switch shown at start-up.
#include <doctest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <functional>
#include <string>

#include "GdiplusSession.h"
#include "GuiSupport.h"
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
void WriteRedStartupDesign(const std::string& folder, Library& library, int width = 120, int height = 64) {
    KorvanelleDocument d;
    d.CreateFromTemplates(library.templates.GetDiscTemplate(), library.templates.GetCoverTemplate());
    Bitmap red(width, height, PixelFormat24bppRGB);
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

namespace {

// The dialog with steps run inside its own modal loop: `atShow` at its first idle moment (before
// its own idle work), then `step` every 10 ms until it returns true, and `onCommand` with every
// command the dialog receives. (Messages posted at the first idle moment come after the one with
// which the dialog sets its picture threads going.) A dialog still open after 60 s is ended, so
// that a failed wait cannot hang the test.
class Stepped : public DlgNewDoc {
public:
    using DlgNewDoc::DlgNewDoc;
    std::function<void(Stepped&)> atShow;
    std::function<bool(Stepped&)> step;
    std::function<void(Stepped&, int id, int code)> onCommand;  // before the dialog's own handling
    bool timedOut = false;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND && onCommand) onCommand(*this, LOWORD(wParam), HIWORD(wParam));
        if (message == WM_KICKIDLE && atShow) {
            std::function<void(Stepped&)> once = std::move(atShow);
            atShow = nullptr;
            m_started = ::GetTickCount();
            ::SetTimer(m_hWnd, kTimer, 10, nullptr);
            once(*this);
        } else if (message == WM_TIMER && wParam == kTimer) {
            if (step && step(*this)) step = nullptr;
            if (ContinueModal() && ::GetTickCount() - m_started > 60000) {
                timedOut = true;
                EndDialog(kLeftOpen);
            }
            return 0;
        }
        return DlgNewDoc::WindowProc(message, wParam, lParam);
    }

    // A key pressed in the list, as the keyboard sends it.
    void Key(UINT key) {
        HWND list = ::GetDlgItem(m_hWnd, IDC_NEW_LIST);
        ::PostMessageA(list, WM_KEYDOWN, key, 1);
        ::PostMessageA(list, WM_KEYUP, key, 0xC0000001);
    }
    int Selected() { return static_cast<int>(SendDlgItemMessage(IDC_NEW_LIST, LB_GETCURSEL)); }
    bool AllPicturesShown() {
        for (int i = 0; i < 6; ++i)
            if (!m_list.GetImage(i)) return false;
        return PicturesPending() == 0;
    }

private:
    static const UINT_PTR kTimer = 0x4E50;
    DWORD m_started = 0;
};

// Pixels of the list's row i where its picture goes that are not white.
int InkInPicture(Stepped& d, int i) {
    const kvtest::Capture list = kvtest::CaptureWindow(d.m_list.m_hWnd);
    RECT window, row;
    d.m_list.GetWindowRect(&window);
    d.m_list.GetItemRect(i, &row);
    POINT origin = {0, 0};
    ::ClientToScreen(d.m_list.m_hWnd, &origin);
    const int x0 = origin.x - window.left + row.left + d.m_list.GetCaptionWidth() + 20;
    const int y0 = origin.y - window.top + row.top + (i == 0 ? 10 : 5);
    int ink = 0;
    for (int y = y0 + 1; y < y0 + d.m_list.GetImageHeight() - 1 && y < list.height; ++y)
        for (int x = x0 + 1; x < x0 + d.m_list.GetImageWidth() - 1 && x < list.width; ++x)
            if (list.At(x, y) != 0xFFFFFF) ++ink;
    return ink;
}

int ThreadsOfThisProcess() {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = ::Thread32First(snapshot, &entry); more; more = ::Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == ::GetCurrentProcessId()) ++count;
    ::CloseHandle(snapshot);
    return count;
}

}  // namespace

TEST_CASE("the layout pictures come while the dialog is open") {
    EnsureResources();
    Library library;
    const std::string folder = kvtest::TempDir("new-project-pending");
    g_openSaveFolder = g_programFolder = g_dataFolder = folder.c_str();
    g_caseKind = kCaseJewel;
    g_discLayout = kLayout1DiscTop;
    // A startup design whose picture is larger than any drawn one: the rows grow when it comes.
    WriteRedStartupDesign(folder, library, 700, 80);

    SUBCASE("keys choose while the pictures are made; they come as the dialog makes them at once") {
        Stepped dialog(&library.templates);
        int pendingAtShow = -1, inkAtShow = -1, pendingWhenChosen = -1, inkAtEnd = -1;
        std::vector<unsigned> shown, madeAtOnce;
        SIZE finalSize = {}, onceSize = {};
        dialog.atShow = [&](Stepped& d) {
            pendingAtShow = d.PicturesPending();
            inkAtShow = InkInPicture(d, 0);
            d.Key(VK_DOWN);
            d.Key(VK_DOWN);
        };
        dialog.onCommand = [&](Stepped& d, int id, int code) {
            if (id == IDC_NEW_LIST && code == LBN_SELCHANGE && d.Selected() == 2)
                pendingWhenChosen = d.PicturesPending();
        };
        dialog.step = [&](Stepped& d) {
            if (!d.AllPicturesShown()) return false;
            inkAtEnd = InkInPicture(d, 0);
            finalSize = {d.m_list.GetImageWidth(), d.m_list.GetImageHeight()};
            shown = kvtest::CaptureWindow(d.m_list.m_hWnd).pixels;
            // The same list with every picture made before it is shown.
            d.m_list.SetImages(d.BuildPictures());
            onceSize = {d.m_list.GetImageWidth(), d.m_list.GetImageHeight()};
            madeAtOnce = kvtest::CaptureWindow(d.m_list.m_hWnd).pixels;
            d.Key(VK_RETURN);
            return true;
        };
        CHECK(dialog.DoModal() == IDOK);
        CHECK_FALSE(dialog.timedOut);
        CHECK(pendingAtShow == 6);
        CHECK(inkAtShow == 0);
        CHECK(pendingWhenChosen > 0);
        CHECK(inkAtEnd > 0);
        CHECK(finalSize.cx == 700);
        CHECK(finalSize.cy == 80);
        CHECK(onceSize.cx == finalSize.cx);
        CHECK(onceSize.cy == finalSize.cy);
        CHECK_FALSE(shown.empty());
        CHECK(shown == madeAtOnce);
        CHECK(dialog.m_caseKind == kCaseDvd);
        CHECK(dialog.m_discLayout == kLayout1DiscTop);
    }
    SUBCASE("Escape while the pictures are made closes it; no picture thread is left") {
        const int threadsBefore = ThreadsOfThisProcess();
        Stepped dialog(&library.templates);
        int pendingAtEscape = -1, threadsWhileOpen = -1;
        dialog.atShow = [](Stepped& d) { d.Key(VK_ESCAPE); };
        dialog.onCommand = [&](Stepped& d, int id, int) {
            if (id != IDCANCEL) return;
            pendingAtEscape = d.PicturesPending();
            threadsWhileOpen = ThreadsOfThisProcess();
        };
        CHECK(dialog.DoModal() == -1);
        CHECK_FALSE(dialog.timedOut);
        CHECK(pendingAtEscape > 0);
        CHECK(threadsWhileOpen > threadsBefore);
        CHECK(ThreadsOfThisProcess() == threadsBefore);
        CHECK(dialog.m_caseKind == kCaseJewel);
    }
    SUBCASE("Load blank design while the pictures are made: only blank designs' pictures come") {
        Stepped dialog(&library.templates);
        unsigned firstCentre = 0;
        int firstWidth = 0;
        dialog.atShow = [](Stepped& d) {
            ::PostMessageA(::GetDlgItem(d.m_hWnd, IDC_NEW_BLANK), BM_CLICK, 0, 0);
        };
        int pendingAtClick = -1;
        dialog.onCommand = [&](Stepped& d, int id, int) {
            if (id == IDC_NEW_BLANK) pendingAtClick = d.PicturesPending();
        };
        dialog.step = [&](Stepped& d) {
            if (d.IsDlgButtonChecked(IDC_NEW_BLANK) != BST_CHECKED || !d.AllPicturesShown()) return false;
            firstCentre = CentrePixel(d.m_list.GetImage(0));
            firstWidth = d.m_list.GetImageWidth();
            d.Key(VK_RETURN);
            return true;
        };
        CHECK(dialog.DoModal() == IDOK);
        CHECK_FALSE(dialog.timedOut);
        CHECK(pendingAtClick > 0);
        CHECK(firstCentre != 0xDC0000);
        CHECK(firstWidth < 700);
        CHECK_FALSE(dialog.m_useStartupDesign);
    }
}
