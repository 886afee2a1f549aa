// The running application over ten New / insert image / Save / Open cycles: the GDI and USER
// objects of the process do not grow.
#include <doctest.h>

#include "AppTestSupport.h"
#include "app/KorvanelleDoc.h"
#include "app/KorvanelleFrame.h"
#include "canvas/View.h"

namespace {

void DropQuit() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
}

}  // namespace

TEST_CASE("ten New/Open/Save/close cycles of a design with images leave no GDI or USER objects behind") {
    kvtest::TemporaryUserFolders folders;
    KorvanelleApp app;
    app.m_pszAppName = kvtest::kTestProfileName;
    REQUIRE(AfxWinInit(GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOWNORMAL));
    REQUIRE(app.InitInstance());
    KorvanelleFrame* frame = GetMainFrame();
    REQUIRE(frame != nullptr);
    REQUIRE(kvtest::PumpApp(
        app, [&] { return IsWindowVisible(frame->m_hWnd) != FALSE; }, 10000));
    KorvanelleDoc* doc = dynamic_cast<KorvanelleDoc*>(frame->GetActiveDocument());
    View* view = View::GetCurrent();
    REQUIRE(doc != nullptr);
    REQUIRE(view != nullptr);

    const CString root = folders.Root().c_str();
    const CString image = root + "\\photo.png";
    REQUIRE(kvtest::WriteTestPng(image));
    const CString design = root + "\\Cycle.kvl";

    // Wine's push button keeps a copy (two bitmaps) of every picture it is handed and frees only
    // the last one. The colour bar's Custom Color button changes its picture when the selection
    // goes between an image or a page and anything else; those copies are counted apart.
    int wineButtonCopies = 0;
    bool colourBarInactive = frame->m_toolColor.IsInactive();
    auto watchColourBar = [&] {
        if (frame->m_toolColor.IsInactive() != colourBarInactive) wineButtonCopies += 2;
        colourBarInactive = frame->m_toolColor.IsInactive();
    };
    // Everything the last step queued (painting, the bars' updates) done: the queue runs empty.
    auto settle = [&] { kvtest::PumpApp(app, [] { return HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0; }, 5000); };
    auto cycle = [&] {
        doc->NewFromTemplate(4, 0, 1);
        watchColourBar();
        settle();
        REQUIRE(view->InsertImageObject(CRect(200, 200, 1800, 1400), image, false) != nullptr);
        watchColourBar();
        REQUIRE(view->InsertImageObject(CRect(400, 1600, 2000, 2600), image, true) != nullptr);
        watchColourBar();
        view->Redraw(true);
        doc->SetPathName(design, FALSE);
        doc->OnFileSave();
        REQUIRE_FALSE(doc->IsModified());
        REQUIRE(doc->LoadFile(design, 1, true, false));
        watchColourBar();
        view->Redraw(true);
        settle();
        watchColourBar();
    };

    // The Images bar's start-up load ends (its cells' pictures made) before anything is counted.
    ImagePanelState& panel = *ImagePanelState::Get();
    REQUIRE(kvtest::PumpApp(
        app,
        [&] {
            if (panel.m_folderLoadRunning || panel.m_thumbLoadRunning || panel.RecordCount() == 0)
                return false;
            for (int i = 0; i < panel.RecordCount(); ++i)
                if (panel.RecordAt(i)->m_state != kImageFinal) return false;
            return true;
        },
        20000));

    KvMessageBoxCapture boxes;  // no box may block; none is expected
    cycle();
    cycle();
    wineButtonCopies = 0;
    const int gdiBefore = kvtest::CountGdiObjects();
    const int userBefore = kvtest::CountUserObjects();
    for (int i = 0; i < 10; ++i) cycle();
    const int gdiAfter = kvtest::CountGdiObjects();
    const int userAfter = kvtest::CountUserObjects();
    MESSAGE("GDI objects " << gdiBefore << " -> " << gdiAfter << " (" << wineButtonCopies
                           << " held by the system button), USER objects " << userBefore << " -> "
                           << userAfter);
    CHECK(boxes.Boxes().empty());
    CHECK(gdiBefore > 20);  // the count sees the program's objects at all
    CHECK(gdiAfter <= gdiBefore + wineButtonCopies);
    CHECK(userAfter <= userBefore);

    HWND hFrame = frame->m_hWnd;
    doc->SetModifiedFlag(FALSE);
    PostMessageA(hFrame, WM_CLOSE, 0, 0);
    REQUIRE(kvtest::PumpApp(
        app, [&] { return !IsWindow(hFrame); }, 10000));
    app.ExitInstance();
    DropQuit();
}
