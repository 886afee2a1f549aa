// Pictures of the editing canvas for docs/screens/ (scripts/canvas-screens.sh runs this program in
// Wine's virtual desktop and names the folder in KV_SCREENS_DIR): a jewel-case back cover with a
// picture and texts, the picture selected with its handles and animated outline, and the canvas
// context menu open over it.
#include <doctest.h>

#include <cstdlib>
#include <string>

#include "CanvasFixture.h"
#include "GuiSupport.h"
#include "controls/ThemeResources.h"

using namespace cvtest;

namespace {

std::string g_folder;

void CALLBACK ShootMenu(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    kvtest::SaveScreenPng(g_folder + "\\canvas-context-menu.png");
    ::EndMenu();
}

}  // namespace

TEST_CASE("canvas pictures") {
    const char* folder = std::getenv("KV_SCREENS_DIR");
    REQUIRE(folder != nullptr);
    g_folder = folder;
    // The shared theme resources as the application loads them: the canvas texture and the menu
    // pictures.
    InitThemeResources(356, 357, 475, 360, 416, 128, 480);
    View* view = EnsureView();
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    ViewObject* back = view->m_design.GetCurrentSide();
    REQUIRE(back != nullptr);
    const std::string picture = MakePicture("screens", 400, 300, RGB(70, 130, 190));
    AddText(view, "Text 1", "Korvanelle\b", back->left + 700, back->top + 300, 3000, 500)
        ->charFonts[0]
        ->lfHeight = 260;
    AddText(view, "Text 2", "Songs for a long drive\b", back->left + 700, back->top + 900, 3600, 400)
        ->charFonts[0]
        ->lfHeight = 160;
    view->InsertImage(CRect(back->left + 2500, back->top + 1800, back->left + 4500, back->top + 3300),
                      picture.c_str(), false);
    const CString image = view->m_design.GetFirstSelected()->name;
    CWnd* frame = view->GetParentFrame();
    frame->SetWindowPos(nullptr, 40, 30, 1100, 720, SWP_NOZORDER);
    frame->SetWindowText("Canvas - Korvanelle");
    view->ShowSide("Back Cover");
    view->OnZoomOut();
    view->OnZoomOut();
    view->OnSelectionChanged(image, TRUE);
    kvtest::PumpPending();
    CHECK(kvtest::SavePng(kvtest::CaptureScreenSettled(), g_folder + "\\canvas-back-cover.png"));
    CPoint at(520, 420);
    view->ClientToScreen(&at);
    ::SetTimer(nullptr, 0, 800, ShootMenu);
    view->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view->m_hWnd), MAKELPARAM(at.x, at.y));
    CHECK(view->m_contextPoint == at);
}
