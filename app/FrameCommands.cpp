// The main frame's commands and command states: showing and hiding the bars, inserting objects,
// the web-site shortcut, the grid checks of the Layout menu and the main tool bar's buttons.
#include "app/KorvanelleFrame.h"

#include <shellapi.h>

#include "app/KorvanelleApp.h"
#include "app/Settings.h"
#include "canvas/View.h"
#include "model/LabelTemplate.h"
#include "print/LightScribe.h"
#include "res/CommandIds.h"

namespace {

const int kLayoutPopup = 3;  // "Layout"
const int kViewPopup = 2;    // "View", with the "Toolbars" sub-popup

// The commands the frame always enables, with each handler's error number.
const struct {
    UINT command;
    int error;
} kAlwaysEnabled[] = {
    {ID_TOOL_BUTTON_32998, 1885},
    {ID_TOOL_BUTTON_32999, 1886},
    {ID_SAVE_AS_IMAGE, 1887},
    {ID_VIEW_IMAGE_TOOLBAR, 1888},
    {ID_VIEW_TEXT_EDITOR, 1889},
    {ID_VIEW_COLOR_TOOLBAR, 1890},
    {ID_VIEW_MAIN_TOOLBAR, 1891},
    {ID_VIEW_BACK_COVER, 1892},
    {ID_LIGHTSCRIBE_PRINT, 1893},
    {ID_VIEW_DISC_LABEL, 1894},
    {ID_VIEW_FRONT_COVER, 1895},
    {ID_VIEW_ZOOM_IN, 1896},
    {ID_VIEW_ZOOM_OUT, 1897},
    {ID_VIEW_SHOW_GUIDES, 1898},
    {ID_READ_CD, 1899},
    {ID_INSERT_MENU, 1900},
    {ID_FILE_PRINT_CMD, 1901},
    {ID_FILE_SAVE_CMD, 1905},
    {ID_FILE_PRINT_SETUP_CMD, 1906},
    {ID_FILE_SAVE_STARTUP, 1908},
    {ID_FILE_SAVE_AS_CMD, 1909},
    {ID_INSERT_ARTIST, 1910},
    {ID_INSERT_TEXT, 1911},
    {ID_INSERT_GENRE, 1912},
    {ID_INSERT_IMAGE, 1913},
    {ID_INSERT_TIME, 1914},
    {ID_INSERT_TITLE, 1915},
    {ID_INSERT_TRACK, 1916},
    {ID_INSERT_YEAR, 1917},
    {ID_PRINTER_CALIBRATION, 1918},
    {ID_SHOW_GRID, 1920},
    {ID_CHANGE_LABEL_TEMPLATE, 1921},
    {ID_GRID_SIZE, 1922},
    {ID_SNAP_TO_GRID, 1923},
};

View* CurrentView() {
    View* view = View::GetCurrent();
    return view != nullptr && view->m_hWnd != nullptr ? view : nullptr;
}

// The design's first selected object when it is a text or track list (images too with
// withImages); null without a view or such a selection.
ViewObject* SelectedTextObject(bool withImages) {
    View* view = CurrentView();
    ViewObject* object = view ? view->m_design.GetFirstSelected() : nullptr;
    if (object == nullptr) return nullptr;
    if (object->IsText() || object->IsTrackList() || (withImages && object->IsImage())) return object;
    return nullptr;
}

bool EditorHasSelection() {
    View* view = CurrentView();
    int start = 0, end = 0;
    return view != nullptr && view->m_select.GetSelection(start, end) && start != end;
}

}  // namespace

int AlwaysEnabledErrorNumber(UINT command) {
    for (const auto& entry : kAlwaysEnabled)
        if (entry.command == command) return entry.error;
    return 0;
}

bool IsViewItemChecked(CMenu* menuBar, UINT command) {
    if (menuBar == nullptr || menuBar->m_hMenu == nullptr) return false;
    HMENU popup = ::GetSubMenu(menuBar->m_hMenu, kViewPopup);
    if (popup == nullptr) return false;
    UINT state = ::GetMenuState(popup, command, MF_BYCOMMAND);
    return state != (UINT)-1 && (state & MF_CHECKED) != 0;
}

void KorvanelleFrame::CheckSnapToGrid(bool on) {
    GuardOperation(190, [&] {
        HMENU popup = ::GetSubMenu(m_defaultMenu.m_hMenu, kLayoutPopup);
        if (popup) ::CheckMenuItem(popup, ID_SNAP_TO_GRID, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    });
}

void KorvanelleFrame::CheckShowGrid(bool on) {
    GuardOperation(191, [&] {
        HMENU popup = ::GetSubMenu(m_defaultMenu.m_hMenu, kLayoutPopup);
        if (popup) ::CheckMenuItem(popup, ID_SHOW_GRID, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    });
}

void KorvanelleFrame::OnUpdateCutObject(CCmdUI* pCmdUI) {
    GuardOperation(1879, [&] { pCmdUI->Enable(m_enableCutObject != 0 && CurrentView() != nullptr); });
}

void KorvanelleFrame::OnUpdateCopyObject(CCmdUI* pCmdUI) {
    GuardOperation(1880, [&] { pCmdUI->Enable(m_enableCopyObject != 0 && CurrentView() != nullptr); });
}

void KorvanelleFrame::OnUpdateCenterHorizontally(CCmdUI* pCmdUI) {
    GuardOperation(1881,
                   [&] { pCmdUI->Enable(m_enableCenterHorizontally != 0 && CurrentView() != nullptr); });
}

void KorvanelleFrame::OnUpdateCenterVertically(CCmdUI* pCmdUI) {
    GuardOperation(1882, [&] { pCmdUI->Enable(m_enableCenterVertically != 0 && CurrentView() != nullptr); });
}

void KorvanelleFrame::OnUpdateCutText(CCmdUI* pCmdUI) {
    GuardOperation(704, [&] {
        m_enableCutText = SelectedTextObject(false) != nullptr && EditorHasSelection();
        pCmdUI->Enable(m_enableCutText);
    });
}

void KorvanelleFrame::OnUpdateCopyText(CCmdUI* pCmdUI) {
    GuardOperation(705, [&] {
        m_enableCopyText = SelectedTextObject(false) != nullptr && EditorHasSelection();
        pCmdUI->Enable(m_enableCopyText);
    });
}

void KorvanelleFrame::OnUpdatePasteText(CCmdUI* pCmdUI) {
    GuardOperation(706, [&] {
        m_enablePasteText = SelectedTextObject(false) != nullptr && ::IsClipboardFormatAvailable(CF_TEXT);
        pCmdUI->Enable(m_enablePasteText);
    });
}

void KorvanelleFrame::OnUpdatePasteObject(CCmdUI* pCmdUI) {
    GuardOperation(707, [&] {
        KorvanelleApp* app = GetKorvanelleApp();
        const UINT own = app ? app->m_clipboardFormat : 0;
        m_enablePasteObject =
            CurrentView() != nullptr &&
            ((own != 0 && ::IsClipboardFormatAvailable(own)) ||
             ::IsClipboardFormatAvailable(PictureClipboardFormat()) || ::IsClipboardFormatAvailable(CF_DIB));
        pCmdUI->Enable(m_enablePasteObject);
    });
}

void KorvanelleFrame::OnUpdateDeleteObject(CCmdUI* pCmdUI) {
    GuardOperation(708, [&] {
        m_enableDeleteObject = SelectedTextObject(true) != nullptr;
        pCmdUI->Enable(m_enableDeleteObject);
    });
}

void KorvanelleFrame::OnUpdateRedo(CCmdUI* pCmdUI) {
    GuardOperation(1883, [&] {
        View* view = CurrentView();
        const int count = view ? view->GetUndoCount() : 0;
        pCmdUI->Enable(!m_busy && count > 0 && view->m_undoPosition < count - 1);
    });
}

void KorvanelleFrame::OnUpdateUndo(CCmdUI* pCmdUI) {
    GuardOperation(1884, [&] {
        View* view = CurrentView();
        const int count = view ? view->GetUndoCount() : 0;
        pCmdUI->Enable(!m_busy && count > 0 && view->m_undoPosition >= 0);
    });
}

void KorvanelleFrame::OnUpdateCopyImage(CCmdUI* pCmdUI) {
    GuardOperation(1924, [&] { pCmdUI->Enable(TRUE); });
}

void KorvanelleFrame::OnUpdateAlwaysEnabled(CCmdUI* pCmdUI) {
    GuardOperation(AlwaysEnabledErrorNumber(pCmdUI->m_nID), [&] { pCmdUI->Enable(TRUE); });
}

void KorvanelleFrame::InsertObject(const char* kind, int errorNumber) {
    GuardOperation(errorNumber, [&] {
        if (View* view = CurrentView()) view->InsertObject(kind);
    });
}

void KorvanelleFrame::OnInsertArtist() {
    InsertObject("Artist", 927);
}
void KorvanelleFrame::OnInsertTitle() {
    InsertObject("Title", 928);
}
void KorvanelleFrame::OnInsertTrack() {
    InsertObject("Track List", 929);
}
void KorvanelleFrame::OnInsertYear() {
    InsertObject("Year", 930);
}
void KorvanelleFrame::OnInsertTime() {
    InsertObject("Time", 931);
}
void KorvanelleFrame::OnInsertGenre() {
    InsertObject("Genre", 932);
}
void KorvanelleFrame::OnInsertText() {
    InsertObject("Text", 933);
}
void KorvanelleFrame::OnInsertImage() {
    InsertObject("Image", 934);
}

void KorvanelleFrame::OnUpdateFileOpen(CCmdUI* pCmdUI) {
    GuardOperation(1902, [&] { pCmdUI->Enable(m_enableFileNewOpen != 0); });
}

void KorvanelleFrame::OnUpdateFileNew(CCmdUI* pCmdUI) {
    GuardOperation(1903, [&] { pCmdUI->Enable(m_enableFileNewOpen != 0); });
}

void KorvanelleFrame::OnWebsite() {
    GuardOperation(1099, [&] {
        CString path = g_programFolder + "\\website.url";
        CWaitCursor wait;
        SHELLEXECUTEINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_FLAG_NO_UI;
        info.hwnd = m_hWnd;
        info.lpVerb = "open";
        info.lpFile = path;
        info.nShow = SW_SHOWMAXIMIZED;
        ::ShellExecuteExA(&info);
    });
}

void KorvanelleFrame::ToggleBar(CControlBar* bar, UINT command, int errorNumber) {
    GuardOperation(errorNumber, [&] {
        if (bar == nullptr || bar->m_hWnd == nullptr) return;
        ShowControlBar(bar, IsViewItemChecked(GetFrameMenu(), command) ? FALSE : TRUE, FALSE);
        RecenterAndRefreshView();
    });
}

void KorvanelleFrame::OnToggleColorToolbar() {
    ToggleBar(&m_toolColor, ID_VIEW_COLOR_TOOLBAR, 596);
}

void KorvanelleFrame::OnTogglePropertiesToolbar() {
    ToggleBar(&m_toolProperties, ID_VIEW_PROPERTIES_TOOLBAR, 600);
}

void KorvanelleFrame::OnViewImageToolbar() {
    ToggleBar(&m_barImages, ID_VIEW_IMAGE_TOOLBAR, 182);
}

void KorvanelleFrame::OnToggleMainToolbar() {
    ToggleBar(&m_toolMain, ID_VIEW_MAIN_TOOLBAR, 186);
}

void KorvanelleFrame::OnToggleTextEditor() {
    ToggleBar(&m_barText, ID_VIEW_TEXT_EDITOR, 949);
}

std::vector<MainToolbarButton> MainToolbarButtons(bool twoDiscs, bool caseBackCover, bool lightScribe) {
    const MainToolbarButton sep = {0, -1};
    std::vector<MainToolbarButton> buttons;
    if (caseBackCover) {
        buttons.push_back({ID_VIEW_BACK_COVER, 13});
        buttons.push_back({ID_VIEW_FRONT_COVER, 14});
    } else {
        buttons.push_back({ID_VIEW_FRONT_COVER, 0});
        buttons.push_back({ID_VIEW_BACK_COVER, 1});
    }
    if (twoDiscs) {
        buttons.push_back({ID_VIEW_DISC_LABEL, 10});
        buttons.push_back({ID_VIEW_DISC2, 11});
    } else {
        buttons.push_back({ID_VIEW_DISC_LABEL, 2});
    }
    buttons.push_back(sep);
    for (const MainToolbarButton& b : std::vector<MainToolbarButton>{{ID_VIEW_ZOOM_OUT, 3},
                                                                     {ID_VIEW_ZOOM_IN, 4},
                                                                     sep,
                                                                     {ID_READ_CD, 5},
                                                                     sep,
                                                                     {ID_INSERT_MENU, 7},
                                                                     sep,
                                                                     {ID_VIEW_SHOW_GUIDES, 6},
                                                                     sep,
                                                                     {ID_EDIT_UNDO_CMD, 8},
                                                                     {ID_EDIT_REDO_CMD, 9},
                                                                     sep})
        buttons.push_back(b);
    if (lightScribe) buttons.push_back({ID_LIGHTSCRIBE_PRINT, 15});
    buttons.push_back({ID_FILE_PRINT_CMD, 12});
    return buttons;
}

void KorvanelleFrame::UpdateMainToolbarButtons() {
    GuardOperation(192, [&] {
        if (m_toolMain.m_hWnd == nullptr) return;
        View* view = View::GetCurrent();
        bool twoDiscs = false, caseBackCover = false;
        if (view != nullptr) {
            LabelTemplate* disc = view->m_design.GetDiscTemplate();
            twoDiscs = disc != nullptr && disc->IsTwoDiscLayout();
            caseBackCover = view->m_design.HasDvdCase() || view->m_design.HasBlurayCase();
        }
        // The LightScribe print button only while the drive maker's library is loaded.
        const bool lightScribe = g_lightScribeAvailable != 0;
        const std::vector<MainToolbarButton> buttons =
            MainToolbarButtons(twoDiscs, caseBackCover, lightScribe);
        std::vector<UINT> ids;
        for (const MainToolbarButton& b : buttons) ids.push_back(b.command);
        m_toolMain.SetButtons(ids.data(), (int)ids.size());
        for (int i = 0; i < (int)buttons.size(); ++i)
            if (buttons[i].command != 0)
                m_toolMain.SetButtonInfo(i, buttons[i].command, TBBS_BUTTON, buttons[i].image);
        m_toolMain.SetSizes(CSize(62, 47), CSize(55, 41));
        RecalcLayout();
    });
}

void KorvanelleFrame::OnNothing() {}

void KorvanelleFrame::OnNothingRange(UINT) {}

void KorvanelleFrame::RecenterAndRefreshView() {
    if (View* view = CurrentView()) {
        view->RecenterView(true, false);
        view->RefreshView(CString());
    }
}
