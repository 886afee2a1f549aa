// The application's side of the editing canvas.
#include "app/AppViewHost.h"

#include "app/KorvanelleApp.h"
#include "app/KorvanelleFrame.h"
#include "app/Settings.h"
#include "canvas/View.h"
#include "res/CommandIds.h"
#include "controls/ThemeResources.h"
#include "disc/DlgDiscSelect.h"
#include "disc/DlgReadCD.h"
#include "menu/StyledMenu.h"

AppViewHost& AppViewHost::Instance() {
    static AppViewHost host;
    return host;
}

KorvanelleDoc* AppViewHost::Document() {
    KorvanelleFrame* frame = ::GetMainFrame();
    return frame ? dynamic_cast<KorvanelleDoc*>(frame->GetActiveDocument()) : nullptr;
}

namespace {
// The frame's bars exist while its window does.
KorvanelleFrame* FrameWithBars() {
    KorvanelleFrame* frame = ::GetMainFrame();
    return frame != nullptr && frame->m_hWnd != nullptr ? frame : nullptr;
}
}  // namespace

void AppViewHost::UpdateField(const CString& fieldName) {
    if (KorvanelleFrame* frame = FrameWithBars())
        if (frame->m_barText.m_hWnd) frame->m_barText.UpdateField(fieldName);
}

void AppViewHost::UpdateAllFields() {
    if (KorvanelleFrame* frame = FrameWithBars())
        if (frame->m_barText.m_hWnd) frame->m_barText.UpdateAllFields();
}

void AppViewHost::UpdateFontBarFromSelection(ViewObject* object) {
    KorvanelleFrame* frame = FrameWithBars();
    if (frame == nullptr) return;
    if (object == nullptr)
        if (View* view = View::GetCurrent()) object = view->m_design.GetFirstSelected();
    if (frame->m_barText.m_hWnd) frame->m_barText.UpdateCaptions(object);
    if (frame->m_toolProperties.m_hWnd) frame->m_toolProperties.UpdateFromSelection(object);
}

void AppViewHost::UpdateColorBarFromSelection(ViewObject* object) {
    KorvanelleFrame* frame = FrameWithBars();
    if (frame == nullptr || frame->m_toolColor.m_hWnd == nullptr) return;
    if (object == nullptr)
        if (View* view = View::GetCurrent()) object = view->m_design.GetFirstSelected();
    frame->m_toolColor.UpdateFromSelection(object);
}

int AppViewHost::GetFormatBarButtonCount() {
    KorvanelleFrame* frame = FrameWithBars();
    return frame && frame->m_toolProperties.m_hWnd ? frame->m_toolProperties.GetToolBarCtrl().GetButtonCount()
                                                   : 0;
}

int AppViewHost::GetFormatBarButtonImage(int index) {
    KorvanelleFrame* frame = FrameWithBars();
    return frame && frame->m_toolProperties.m_hWnd ? frame->m_toolProperties.GetButtonImage(index) : -1;
}

void AppViewHost::SetFormatBarButtonImage(int index, int image) {
    if (KorvanelleFrame* frame = FrameWithBars())
        if (frame->m_toolProperties.m_hWnd) frame->m_toolProperties.SetButtonImage(index, image);
}

void AppViewHost::ShowFontName(const CString& faceName) {
    if (KorvanelleFrame* frame = FrameWithBars())
        if (frame->m_toolProperties.m_hWnd) frame->m_toolProperties.ShowFontName(faceName);
}

void AppViewHost::ShowFontSizeText(const CString& sizeText) {
    if (KorvanelleFrame* frame = FrameWithBars())
        if (frame->m_toolProperties.m_hWnd) frame->m_toolProperties.ShowFontSizeText(sizeText);
}

void AppViewHost::SetAspectButtonCommand(UINT commandId) {
    if (KorvanelleFrame* frame = FrameWithBars())
        if (frame->m_toolProperties.m_menuAspect.m_hWnd)
            frame->m_toolProperties.m_menuAspect.SetCurrentItemById(commandId);
}

void AppViewHost::RedrawToolBars() {
    KorvanelleFrame* frame = FrameWithBars();
    if (frame == nullptr) return;
    for (CControlBar* bar : {(CControlBar*)&frame->m_toolMain, (CControlBar*)&frame->m_toolProperties})
        if (bar->m_hWnd)
            bar->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void AppViewHost::ShowCheckedToolBars() {
    KorvanelleFrame* frame = FrameWithBars();
    if (frame == nullptr) return;
    CMenu* menu = frame->GetFrameMenu();
    if (frame->m_toolColor.m_hWnd && IsViewItemChecked(menu, ID_VIEW_COLOR_TOOLBAR))
        frame->ShowControlBar(&frame->m_toolColor, TRUE, FALSE);
    if (frame->m_toolMain.m_hWnd && IsViewItemChecked(menu, ID_VIEW_MAIN_TOOLBAR))
        frame->ShowControlBar(&frame->m_toolMain, TRUE, FALSE);
}

void AppViewHost::CheckSnapToGrid(bool checked) {
    if (KorvanelleFrame* frame = ::GetMainFrame()) frame->CheckSnapToGrid(checked);
}

void AppViewHost::CheckShowGrid(bool checked) {
    if (KorvanelleFrame* frame = ::GetMainFrame()) frame->CheckShowGrid(checked);
}

void AppViewHost::UpdateMainToolbarButtons() {
    if (KorvanelleFrame* frame = ::GetMainFrame()) frame->UpdateMainToolbarButtons();
}

void AppViewHost::RedrawMenuBar() {
    if (KorvanelleFrame* frame = ::GetMainFrame()) frame->DrawMenuBar();
}

CWnd* AppViewHost::GetMainFrame() {
    return ::GetMainFrame();
}

void AppViewHost::ShowHelpContext(HWND window, int contextId) {
    if (KorvanelleApp* app = GetKorvanelleApp()) app->ShowHelpContext(window, (DWORD)contextId);
}

void AppViewHost::OpenStartupDesign(int caseKind, int discLayout) {
    if (KorvanelleDoc* doc = Document()) doc->OpenStartupDesign(caseKind, discLayout, 0);
}

void AppViewHost::NewFromTemplate(int caseKind, int discLayout) {
    if (KorvanelleDoc* doc = Document()) doc->NewFromTemplate(caseKind, discLayout, 0);
}

void AppViewHost::LoadFile(const CString& path) {
    if (KorvanelleDoc* doc = Document()) doc->LoadFile(path, 0, true, true);
}

void AppViewHost::RunNewProject() {
    if (KorvanelleDoc* doc = Document()) doc->NewDesign(0, true);
}

void AppViewHost::RunReadCd() {
    KorvanelleFrame* frame = ::GetMainFrame();
    if (frame) RunReadCdDialog(frame, frame->m_discTools, View::GetCurrent());
}

int AppViewHost::RunDiscChoice(const CString& question) {
    return RunDiscChoiceDialog(::GetMainFrame(), question);
}

KorvanelleDocument* AppViewHost::CurrentDesign() {
    View* view = View::GetCurrent();
    return view ? &view->m_design : nullptr;
}

KorvanelleDocument* AppViewHost::TemplateLibrary() {
    View* view = View::GetCurrent();
    return view ? &view->m_templates : nullptr;
}

void AppViewHost::ResetForDocument(KorvanelleDocument* design, BOOL viewFlag) {
    if (View* view = View::GetCurrent()) view->ResetForDocument(design, viewFlag);
}

void AppViewHost::SetStartupDesignSaved() {
    if (View* view = View::GetCurrent()) view->m_startupDesignSaved = 1;
}

bool AppViewHost::NoteDesignSaved() {
    View* view = View::GetCurrent();
    return view == nullptr || view->NoteDesignSaved();
}

// ---- what the menu drawing asks ----

namespace {

bool MenuSelectionIsImage() {
    View* view = View::GetCurrent();
    ViewObject* object = view ? view->m_design.GetFirstSelected() : nullptr;
    return object != nullptr && object->IsImage();
}

bool MenuSavedAsStartup() {
    View* view = View::GetCurrent();
    return view != nullptr && view->m_startupDesignSaved != 0;
}

CImageList* MenuImageList() {
    return g_menuImageList ? CImageList::FromHandle(g_menuImageList) : nullptr;
}

}  // namespace

void InstallMenuQueries() {
    g_menuAppQueries.selectionIsImage = &MenuSelectionIsImage;
    g_menuAppQueries.savedAsStartup = &MenuSavedAsStartup;
    g_menuAppQueries.menuImageList = &MenuImageList;
}

void AppViewHost::LoadImageFolder(const CString& folder, bool subfolders, int filter) {
    KorvanelleFrame* frame = ::GetMainFrame();
    if (frame != nullptr && frame->m_barImages.m_imageView.m_hWnd != nullptr)
        frame->m_barImages.m_imageView.LoadImageFolder(folder, filter, subfolders);
}
