// The main frame: creation of its bars and image lists, docking and the saved bar layout, sizing
// of the side panels, closing and the end of the Windows session.
#include "app/KorvanelleFrame.h"

#include <optional>

#include "canvas/View.h"

#include "app/KorvanelleApp.h"
#include "app/KorvanelleDoc.h"
#include "app/Settings.h"
#include "bars/ImageBrowseSettings.h"
#include "bars/ImagePanelViewCanvas.h"
#include "controls/ResizeBar.h"
#include "controls/ThemeResources.h"
#include "res/CommandIds.h"
#include "res/ResourceImages.h"

IMPLEMENT_DYNCREATE(KorvanelleFrame, CStyledFrameWnd)

namespace {

const char kToolbarsProfile[] = "Toolbars";
const int kMinClientWidth = 845;
const int kMinTrackHeight = 600;
const DWORD kShowEdges = 16;  // sizing-bar style: the edges are drawn
const UINT_PTR kCloseAgainTimer = 1694;  // a close put off under a dialog comes back

// Asks a visible dialog that `frame` owns (through any chain of owners) to close.
BOOL CALLBACK CloseDialogOf(HWND window, LPARAM frame) {
    char name[8] = {0};
    ::GetClassNameA(window, name, sizeof(name));
    if (lstrcmpA(name, "#32770") != 0 || !::IsWindowVisible(window)) return TRUE;
    for (HWND owner = ::GetWindow(window, GW_OWNER); owner != nullptr; owner = ::GetWindow(owner, GW_OWNER))
        if (owner == reinterpret_cast<HWND>(frame)) {
            ::PostMessageA(window, WM_CLOSE, 0, 0);
            break;
        }
    return TRUE;
}

UINT DockSideOf(CControlBar* bar) {
    return bar->m_pDockBar != nullptr && !bar->IsFloating() ? bar->m_pDockBar->GetDlgCtrlID() : 0;
}
const COLORREF kMaskColor = RGB(255, 0, 255);

// Menu icons from the shared menu image list: command, image.
const struct {
    UINT command;
    int image;
} kMenuIcons[] = {
    {ID_FILE_NEW_CMD, 0},       {ID_FILE_OPEN_CMD, 1},          {ID_FILE_SAVE_CMD, 2},
    {ID_FILE_PRINT_CMD, 3},     {ID_EDIT_CUT_TEXT, 4},          {ID_EDIT_COPY_TEXT, 5},
    {ID_EDIT_PASTE_TEXT, 6},    {ID_DELETE_OBJECT, 7},          {ID_EDIT_UNDO_CMD, 8},
    {ID_EDIT_REDO_CMD, 9},      {ID_HELP_TOPICS, 10},           {ID_CENTER_HORIZONTALLY, 13},
    {ID_CENTER_VERTICALLY, 14}, {ID_CHANGE_LABEL_TEMPLATE, 24},
};

// The dock bars: id and style (child, visible, clip siblings and children, side and border bits).
const struct {
    UINT id;
    DWORD style;
} kDockBars[] = {
    {AFX_IDW_DOCKBAR_TOP, 0x56002800},
    {AFX_IDW_DOCKBAR_BOTTOM, 0x56008200},
    {AFX_IDW_DOCKBAR_LEFT, 0x56001400},
    {AFX_IDW_DOCKBAR_RIGHT, 0x56004100},
};

}  // namespace

BEGIN_MESSAGE_MAP(KorvanelleFrame, CStyledFrameWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_GETMINMAXINFO()
    ON_WM_TIMER()
    ON_MESSAGE(WM_QUERYENDSESSION, OnQueryEndSession)
    ON_MESSAGE(WM_ENDSESSION, OnEndSession)
    ON_UPDATE_COMMAND_UI(ID_CUT_OBJECT, OnUpdateCutObject)
    ON_UPDATE_COMMAND_UI(ID_COPY_OBJECT, OnUpdateCopyObject)
    ON_UPDATE_COMMAND_UI(ID_CENTER_HORIZONTALLY, OnUpdateCenterHorizontally)
    ON_UPDATE_COMMAND_UI(ID_CENTER_VERTICALLY, OnUpdateCenterVertically)
    ON_UPDATE_COMMAND_UI(ID_EDIT_CUT_TEXT, OnUpdateCutText)
    ON_UPDATE_COMMAND_UI(ID_EDIT_COPY_TEXT, OnUpdateCopyText)
    ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE_TEXT, OnUpdatePasteText)
    ON_UPDATE_COMMAND_UI(ID_PASTE_OBJECT, OnUpdatePasteObject)
    ON_UPDATE_COMMAND_UI(ID_DELETE_OBJECT, OnUpdateDeleteObject)
    ON_UPDATE_COMMAND_UI(ID_EDIT_REDO_CMD, OnUpdateRedo)
    ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO_CMD, OnUpdateUndo)
    ON_UPDATE_COMMAND_UI(ID_COPY_IMAGE, OnUpdateCopyImage)
    ON_UPDATE_COMMAND_UI(ID_FILE_OPEN_CMD, OnUpdateFileOpen)
    ON_UPDATE_COMMAND_UI(ID_FILE_NEW_CMD, OnUpdateFileNew)
    ON_COMMAND(ID_VIEW_COLOR_TOOLBAR, OnToggleColorToolbar)
    ON_COMMAND(ID_VIEW_MAIN_TOOLBAR, OnToggleMainToolbar)
    ON_COMMAND(ID_VIEW_TEXT_EDITOR, OnToggleTextEditor)
    ON_UPDATE_COMMAND_UI(ID_VIEW_MAIN_TOOLBAR, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TEXT_EDITOR, OnUpdateAlwaysEnabled)
    ON_COMMAND(ID_VIEW_PROPERTIES_TOOLBAR, OnTogglePropertiesToolbar)
    ON_COMMAND(ID_VIEW_IMAGE_TOOLBAR, OnViewImageToolbar)
    ON_UPDATE_COMMAND_UI(ID_VIEW_COLOR_TOOLBAR, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_TOOL_BUTTON_32998, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_TOOL_BUTTON_32999, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_SAVE_AS_IMAGE, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_VIEW_BACK_COVER, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_LIGHTSCRIBE_PRINT, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_VIEW_DISC_LABEL, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_VIEW_FRONT_COVER, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_VIEW_ZOOM_IN, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_VIEW_ZOOM_OUT, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_VIEW_SHOW_GUIDES, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_READ_CD, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_INSERT_MENU, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_FILE_PRINT_CMD, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_CMD, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_FILE_PRINT_SETUP_CMD, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_STARTUP, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_AS_CMD, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_INSERT_ARTIST, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_INSERT_TEXT, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_INSERT_GENRE, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_INSERT_IMAGE, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_INSERT_TIME, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_INSERT_TITLE, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_INSERT_TRACK, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_INSERT_YEAR, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_PRINTER_CALIBRATION, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_SHOW_GRID, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_CHANGE_LABEL_TEMPLATE, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_GRID_SIZE, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_SNAP_TO_GRID, OnUpdateAlwaysEnabled)
    ON_COMMAND(ID_INSERT_ARTIST, OnInsertArtist)
    ON_COMMAND(ID_INSERT_TITLE, OnInsertTitle)
    ON_COMMAND(ID_INSERT_TRACK, OnInsertTrack)
    ON_COMMAND(ID_INSERT_YEAR, OnInsertYear)
    ON_COMMAND(ID_INSERT_TIME, OnInsertTime)
    ON_COMMAND(ID_INSERT_GENRE, OnInsertGenre)
    ON_COMMAND(ID_INSERT_TEXT, OnInsertText)
    ON_COMMAND(ID_INSERT_IMAGE, OnInsertImage)
    ON_COMMAND(ID_HELP_WEBSITE, OnWebsite)
    ON_COMMAND(ID_FRAME_NOTHING, OnNothing)
    ON_COMMAND_RANGE(1064, 1071, OnNothingRange)
END_MESSAGE_MAP()

KorvanelleFrame* GetMainFrame() {
    CWinApp* app = AfxGetApp();
    return app ? dynamic_cast<KorvanelleFrame*>(app->m_pMainWnd) : nullptr;
}

KorvanelleFrame::KorvanelleFrame() {
    FrameCommandState::SetCurrent(this);
}

KorvanelleFrame::~KorvanelleFrame() {
    if (&FrameCommandState::Get() == this) FrameCommandState::SetCurrent(nullptr);
    GuardOperation(1878, [&] {
        m_discTools.FreeDrives();
        m_defaultMenu.DestroyMenu();
    });
}

CMenu* KorvanelleFrame::GetFrameMenu() {
    return m_defaultMenu.m_hMenu ? &m_defaultMenu : nullptr;
}

void KorvanelleFrame::CreateImageListFromBitmap(UINT bitmapId, CImageList& list, int cx, int cy, int count) {
    GuardOperation(179, [&] {
        CBitmap bitmap;
        bool loaded = false;
        GuardOperation(178, [&] {
            HBITMAP handle = (HBITMAP)::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(bitmapId),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
            if (handle == nullptr) return;
            bitmap.Attach(handle);
            loaded = true;
        });
        if (list.m_hImageList != nullptr) list.DeleteImageList();
        list.Create(cx, cy, ILC_COLOR24 | ILC_MASK, count, 0);
        if (loaded) list.Add(&bitmap, kMaskColor);
    });
}

void KorvanelleFrame::EnableDocking(DWORD dockStyle) {
    (void)dockStyle;  // all four sides, whatever is asked
    GuardOperation(169, [&] {
        m_pFloatingFrameClass = RUNTIME_CLASS(CMiniDockFrameWnd);
        for (const auto& side : kDockBars) {
            if (GetControlBar(side.id) != nullptr) continue;
            CDockBar* dock = new CDockBarEx;  // deletes itself with its window
            dock->Create(this, side.style, side.id);
        }
    });
}

CDockBar* KorvanelleFrame::DockBarOf(UINT id) {
    return dynamic_cast<CDockBar*>(GetControlBar(id));
}

int KorvanelleFrame::OnCreate(LPCREATESTRUCT lpcs) {
    if (CStyledFrameWnd::OnCreate(lpcs) == -1) return -1;
    // A frame whose bars or menus were not all made is not run half-built: the guard has told the
    // user, and the window is not created.
    const bool built = GuardOperation(174, [&] {
        // The menu's icons and titles wait for the first idle time (DecorateMenu).
        m_discTools.Init();
        m_cdDriveCount = m_discTools.GetDriveCount();

        CreateImageListFromBitmap(IDB_READCD_IMAGES, m_imageList32, 32, 32, 5);
        CreateImageListFromBitmap(IDB_MENU_ICONS16, m_menuIcons16, 16, 16, 24);
        CreateImageListFromBitmap(IDB_MAINBAR_NORMAL, m_mainToolbarNormal, 55, 41, 16);
        CreateImageListFromBitmap(IDB_MAINBAR_HOT, m_mainToolbarHot, 55, 41, 16);
        CreateImageListFromBitmap(IDB_MAINBAR_DISABLED, m_mainToolbarDisabled, 55, 41, 16);
        CreateImageListFromBitmap(IDB_PROPBAR_NORMAL, m_propertiesNormal, 19, 19, 8);
        CreateImageListFromBitmap(IDB_PROPBAR_HOT, m_propertiesHot, 19, 19, 8);

        const DWORD flat = TBSTYLE_FLAT | TBSTYLE_TRANSPARENT;
        m_toolColor.CreateEx(this, flat, 0x40402800, CRect(0, 0, 0, 0), ID_BAR_COLOR);
        m_toolColor.CreateControls();

        m_toolMain.CreateEx(this, flat, 0x40402834, CRect(0, 0, 0, 0), ID_BAR_MAIN);
        m_toolMain.GetToolBarCtrl().SetImageList(&m_mainToolbarNormal);
        m_toolMain.GetToolBarCtrl().SetHotImageList(&m_mainToolbarHot);
        m_toolMain.GetToolBarCtrl().SetDisabledImageList(&m_mainToolbarDisabled);
        UpdateMainToolbarButtons();

        m_toolProperties.CreateEx(this, flat, 0x40402830, CRect(0, 0, 0, 0), ID_BAR_PROPERTIES);
        m_toolProperties.SendMessage(WM_SETFONT, (WPARAM)g_uiFont, TRUE);
        m_toolProperties.GetToolBarCtrl().SetImageList(&m_propertiesNormal);
        m_toolProperties.GetToolBarCtrl().SetHotImageList(&m_propertiesHot);
        m_toolProperties.CreateControls();

        EnableDocking(CBRS_ALIGN_ANY);
        m_toolColor.EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);
        m_toolMain.EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);
        m_toolProperties.EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);

        m_barText.m_dwSizingStyle = kShowEdges;
        m_barText.Create("Text Editor", this, ID_BAR_TEXT, 0x50002800);
        m_barText.SetBarStyle(m_barText.GetBarStyle() | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
        m_barText.EnableDocking(CBRS_ALIGN_LEFT);

        CreateImagesBar();
        HookBarEvents();

        if (VerifyBarState(kToolbarsProfile) && !g_firstRun) {
            CResizeBar::GlobalLoadState(this, kToolbarsProfile);
            LoadBarState(kToolbarsProfile);
            // The text bar belongs on the left: one saved elsewhere returns there at its width.
            if ((m_barText.GetStyle() & WS_VISIBLE) && DockSideOf(&m_barText) != AFX_IDW_DOCKBAR_LEFT) {
                DockControlBar(&m_barText, AFX_IDW_DOCKBAR_LEFT);
                m_barText.SetSizeCX(TextBarWidth(), "Vert");
                m_barText.SetSizeCY(g_thumbSize.cy + 40, "Vert");
                CResizeBar::GlobalSaveState(this, kToolbarsProfile);
                SaveBarState(kToolbarsProfile);
            }
            // The Images bar belongs on the right: one saved elsewhere (or never saved) returns
            // there at its default size.
            CDockBar* right = DockBarOf(AFX_IDW_DOCKBAR_RIGHT);
            if ((m_barImages.GetStyle() & WS_VISIBLE) &&
                (m_barImages.IsFloating() || m_barImages.m_pDockBar == nullptr ||
                 m_barImages.m_pDockBar != right)) {
                DockImagesBar();
                ShowControlBar(&m_barImages, TRUE, FALSE);
                CResizeBar::GlobalSaveState(this, kToolbarsProfile);
                SaveBarState(kToolbarsProfile);
            }
        } else {
            BuildDefaultLayout();
        }
        CheckBarMenuItems();
    });
    return built ? 0 : -1;
}

namespace {

// The check and enabled state of every command item of a menu and its popups.
void CollectItemStates(HMENU menu, std::vector<std::pair<UINT, UINT>>& states) {
    for (int i = 0, n = ::GetMenuItemCount(menu); i < n; ++i) {
        if (HMENU sub = ::GetSubMenu(menu, i)) {
            CollectItemStates(sub, states);
            continue;
        }
        const UINT id = ::GetMenuItemID(menu, i);
        if (id == 0 || id == (UINT)-1) continue;
        const UINT state = ::GetMenuState(menu, i, MF_BYPOSITION);
        if (state != (UINT)-1) states.push_back({id, state & (MF_CHECKED | MF_GRAYED | MF_DISABLED)});
    }
}

}  // namespace

void KorvanelleFrame::DecorateMenu() {
    if (m_menuDecorated || m_defaultMenu.m_hMenu == nullptr) return;
    m_menuDecorated = true;
    GuardOperation(3340, [&] {
        // Giving an item its picture sets the item anew, which drops the check mark and disabled
        // state set since the frame was made (the bars' items): they are kept.
        std::vector<std::pair<UINT, UINT>> states;
        CollectItemStates(m_defaultMenu.m_hMenu, states);
        // Menu icons: the tool-bar strip first, then the shared menu pictures.
        m_defaultMenu.LoadToolBar(IDR_MENU_TOOLBAR);
        CImageList* menuImages = g_menuImageList ? CImageList::FromHandle(g_menuImageList) : nullptr;
        if (menuImages != nullptr)
            for (const auto& icon : kMenuIcons)
                m_defaultMenu.ModifyItemImage(nullptr, icon.command, menuImages, icon.image);
        for (int i = 0; i < 5; ++i) {
            CStyledMenu* popup = CStyledMenu::FromHandleStyled(::GetSubMenu(m_defaultMenu.m_hMenu, i));
            if (popup != nullptr) popup->SetMenuTitle(" ", 6);
        }
        m_defaultMenu.ModifyItem("Korvanelle Website", ID_HELP_WEBSITE, nullptr, -1);
        for (const auto& item : states) {
            ::CheckMenuItem(m_defaultMenu.m_hMenu, item.first,
                            MF_BYCOMMAND | ((item.second & MF_CHECKED) ? MF_CHECKED : MF_UNCHECKED));
            ::EnableMenuItem(m_defaultMenu.m_hMenu, item.first,
                             MF_BYCOMMAND | (item.second & (MF_GRAYED | MF_DISABLED)));
        }
    });
}

std::vector<KorvanelleFrame::BarEntry> KorvanelleFrame::Bars() {
    std::vector<BarEntry> bars;
    if (m_toolColor.m_hWnd) bars.push_back({&m_toolColor, ID_VIEW_COLOR_TOOLBAR});
    if (m_toolMain.m_hWnd) bars.push_back({&m_toolMain, ID_VIEW_MAIN_TOOLBAR});
    if (m_toolProperties.m_hWnd) bars.push_back({&m_toolProperties, ID_VIEW_PROPERTIES_TOOLBAR});
    if (m_barImages.m_hWnd) bars.push_back({&m_barImages, ID_VIEW_IMAGE_TOOLBAR});
    if (m_barText.m_hWnd) bars.push_back({&m_barText, ID_VIEW_TEXT_EDITOR});
    return bars;
}

void KorvanelleFrame::BuildDefaultLayout() {
    // The tool bars on the top dock bar in order, the text bar on the left.
    DockControlBar(&m_toolColor, AFX_IDW_DOCKBAR_TOP);
    DockControlBar(&m_toolMain, AFX_IDW_DOCKBAR_TOP);
    DockControlBar(&m_toolProperties, AFX_IDW_DOCKBAR_TOP);
    DockControlBar(&m_barText, AFX_IDW_DOCKBAR_LEFT);
    m_barText.SetSizeCX(TextBarWidth(), "Vert");
    m_barText.SetSizeCY(g_thumbSize.cy + 40, "Vert");
    if (m_barImages.m_hWnd) DockImagesBar();
    for (const BarEntry& entry : Bars()) ShowControlBar(entry.bar, TRUE, FALSE);
    CResizeBar::GlobalSaveState(this, kToolbarsProfile);
    SaveBarState(kToolbarsProfile);
}

void KorvanelleFrame::CreateImagesBar() {
    // The cells insert into the one editing View.
    ImagePanelCanvas::Set(&ViewImagePanelCanvas::Instance());
    m_barImages.m_dwSizingStyle = RBS_SHOWEDGES;
    if (!m_barImages.Create("Images", this, ID_BAR_IMAGES, 0x50002800)) return;
    m_barImages.SetBarStyle(m_barImages.GetBarStyle() | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
    m_barImages.EnableDocking(CBRS_ALIGN_RIGHT);
}

void KorvanelleFrame::DockImagesBar() {
    DockControlBar(&m_barImages, AFX_IDW_DOCKBAR_RIGHT);
    m_barImages.SetSizeCX(g_thumbSize.cx + 42, "Vert");
    m_barImages.SetSizeCY(g_thumbSize.cy + 40, "Vert");
}

void KorvanelleFrame::CheckBarMenuItems() {
    // A bar that was floating when the program closed starts hidden; its menu item keeps its
    // check until the bar itself updates it.
    for (const BarEntry& entry : Bars()) {
        if ((entry.bar->GetStyle() & WS_VISIBLE) == 0) continue;
        m_defaultMenu.CheckMenuItem(entry.command, MF_BYCOMMAND | MF_CHECKED);
        if (entry.bar->IsFloating()) ShowControlBar(entry.bar, FALSE, FALSE);
    }
}

BOOL KorvanelleFrame::VerifyBarState(LPCTSTR profileName) {
    BOOL result = FALSE;
    GuardOperation(175, [&] {
        CDockState state;
        state.LoadState(profileName);
        if (state.m_arrBarInfo.GetSize() == 0) return;
        for (int i = 0; i < state.m_arrBarInfo.GetSize(); ++i) {
            CControlBarInfo* info = (CControlBarInfo*)state.m_arrBarInfo[i];
            for (int j = 0; j < info->m_arrBarID.GetSize(); ++j) {
                UINT id = (UINT)(UINT_PTR)info->m_arrBarID[j];
                if (id == 0) continue;
                if (id > 0xFFFF) id &= 0xFFFF;
                if (GetControlBar(id) == nullptr) return;
            }
            if (!info->m_bFloating && GetControlBar(info->m_nBarID) == nullptr) return;
        }
        result = TRUE;
    });
    return result;
}

BOOL KorvanelleFrame::PreCreateWindow(CREATESTRUCT& cs) {
    BOOL result = FALSE;
    GuardOperation(187, [&] {
        RECT work = {0, 0, 0, 0};
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        cs.x = 0;
        cs.y = 0;
        cs.cx = work.right;
        cs.cy = work.bottom;
        result = CStyledFrameWnd::PreCreateWindow(cs);
    });
    return result;
}

void KorvanelleFrame::ActivateFrame(int nCmdShow) {
    (void)nCmdShow;
    // The window stays hidden until the view's start-up shows it with the saved placement.
    GuardOperation(166, [&] { CStyledFrameWnd::ActivateFrame(SW_HIDE); });
}

void KorvanelleFrame::OnUpdateFrameTitle(BOOL) {}

int KorvanelleFrame::TextBarWidth() {
    return m_barText.m_trackList.GetColumnWidths().Sum() + 27;
}

int KorvanelleFrame::PanelWidthForDockBar(CResizeBar* panel, UINT dockBarId, CRect& rect, bool keepLeftEdge) {
    CWnd* dockBar = GetDlgItem(dockBarId);
    if (panel == nullptr || panel->m_hWnd == nullptr || dockBar == nullptr) return 0;
    // A floating panel (or one docked elsewhere) is not sized by this row.
    if (panel->m_pDockBar == nullptr || panel->m_pDockBar->m_hWnd != dockBar->m_hWnd) return 0;
    // The size of that one dock bar: a query without stretching answers with the bars' total
    // size, not with what is left of the client area. A dock row is exactly as wide as the panel
    // it holds (the overlap of the panels' edges is inside the row), so that is the panel's width.
    // The query is asked for the height the dock bar has between the other bars, the height its
    // rows are laid out for; the whole client height would measure them reaching under the
    // bottom of the frame.
    CRect client, dock;
    GetClientRect(&client);
    dockBar->GetWindowRect(&dock);
    ScreenToClient(&dock);
    const CRect offered(client.left, dock.top, client.right, dock.bottom);
    CRect dockSize;
    RepositionBars(dockBarId, dockBarId, AFX_IDW_PANE_FIRST, reposQuery, &dockSize, &offered, FALSE);
    const int width = dockSize.Width();
    panel->GetWindowRect(&rect);
    if (width <= 0 || rect.Width() == width) return 0;
    if (keepLeftEdge)
        rect.right = rect.left + width;
    else
        rect.left = rect.right - width;
    return width;
}

void KorvanelleFrame::RecalcLayout(BOOL bNotify) {
    GuardOperation(980, [&] {
        // Each side panel is laid out for its dock row's new width before the frame moves it, and
        // places its children once the frame's layout settled. A panel the layout gave another
        // size (a taller or shorter main window changes the height only) is laid out again too.
        CRect imagesBefore, textBefore, rect;
        if (m_barImages.m_hWnd != nullptr) m_barImages.GetWindowRect(&imagesBefore);
        if (m_barText.m_hWnd != nullptr) m_barText.GetWindowRect(&textBefore);
        if (PanelWidthForDockBar(&m_barImages, AFX_IDW_DOCKBAR_RIGHT, rect, false) > 0) {
            m_barImages.m_layoutChildren = false;
            m_barImages.UpdateLayout(rect.left, rect.top, rect.right, rect.bottom);
        }
        if (PanelWidthForDockBar(&m_barText, AFX_IDW_DOCKBAR_LEFT, rect, true) > 0) {
            m_barText.m_layoutValid = FALSE;
            m_barText.UpdateLayout(rect.left, rect.top, rect.Width(), rect.Height());
        }
        CStyledFrameWnd::RecalcLayout(bNotify);
        auto resized = [](CWnd& panel, const CRect& before) {
            CRect now;
            panel.GetWindowRect(&now);
            return now.Size() != before.Size();
        };
        if (m_barImages.m_hWnd != nullptr && (!m_barImages.m_layoutChildren || resized(m_barImages, imagesBefore))) {
            m_barImages.m_layoutChildren = true;
            m_barImages.UpdateLayout(0, 0, 0, 0);
        }
        if (m_barText.m_hWnd != nullptr && (!m_barText.m_layoutValid || resized(m_barText, textBefore))) {
            m_barText.m_layoutValid = TRUE;
            m_barText.UpdateLayout(0, 0, 0, 0);
        }
    });
}

void KorvanelleFrame::SaveWindowState() {
    if (m_hWnd == nullptr) return;
    WINDOWPLACEMENT placement = g_mainWindowPlacement;
    placement.length = sizeof(placement);
    if (::GetWindowPlacement(m_hWnd, &placement)) {
        if (placement.showCmd == SW_SHOWMINIMIZED) placement.showCmd = SW_SHOWNORMAL;
        placement.length = g_mainWindowPlacement.length;
        g_mainWindowPlacement = placement;
    }
    CResizeBar::GlobalSaveState(this, kToolbarsProfile);
    SaveBarState(kToolbarsProfile);
}

BOOL KorvanelleFrame::DestroyWindow() {
    BOOL result = TRUE;
    GuardOperation(176, [&] {
        SaveWindowState();
        result = CStyledFrameWnd::DestroyWindow();
    });
    return result;
}

LRESULT KorvanelleFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    GuardOperation(1693, [&] {
        // A menu opened before the first idle time gets its pictures first.
        if (message == WM_INITMENU || message == WM_INITMENUPOPUP || message == WM_ENTERMENULOOP)
            DecorateMenu();
        // The canvas changes size several times while the frame lays it out and the side is
        // fitted again; the font bar is refreshed once, for the size it settled at.
        std::optional<View::SizeChangeHold> hold;
        if (message == WM_SIZE || message == WM_EXITSIZEMOVE) hold.emplace();
        result = CStyledFrameWnd::WindowProc(message, wParam, lParam);
        if (message == WM_EXITSIZEMOVE && m_hWnd != nullptr) {
            UpdateWindow();
            RecenterAndRefreshView();
        }
        // Maximised or restored, the canvas is laid out and drawn for the new size as soon as the
        // frame's layout is done, before anything paints: the view's buffer still holds the side
        // placed for the old size, and the window's new part was never painted.
        if (message == WM_SIZE && wParam != SIZE_MINIMIZED && m_hWnd != nullptr) {
            const bool zoomed = wParam == SIZE_MAXIMIZED;
            const View* view = View::GetCurrent();
            if (zoomed != m_wasZoomed && view != nullptr && view->m_started) RecenterAndRefreshView();
            m_wasZoomed = zoomed;
        }
    });
    return result;
}

BOOL KorvanelleFrame::PreTranslateMessage(MSG* pMsg) {
    // Delete, Ctrl+X, Ctrl+C and Ctrl+V in a text box (the Text Editor bar's fields, the font
    // size box) edit that box; as shortcuts they would delete, cut or paste on the canvas
    // instead. Ctrl+Z and Ctrl+Y still reach the shortcuts (the boxes hand undo to the canvas).
    if (pMsg->message == WM_KEYDOWN && pMsg->hwnd != nullptr) {
        const WPARAM key = pMsg->wParam;
        const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
        if (key == VK_DELETE || (ctrl && (key == 'X' || key == 'C' || key == 'V'))) {
            char name[16] = {0};
            ::GetClassNameA(pMsg->hwnd, name, sizeof(name));
            if (lstrcmpiA(name, "Edit") == 0) return CWnd::PreTranslateMessage(pMsg);
        }
    }
    return CStyledFrameWnd::PreTranslateMessage(pMsg);
}

void KorvanelleFrame::OnClose() {
    GuardOperation(1694, [&] {
        // A close that reaches the frame while a dialog of its own is open over it (the frame is
        // disabled: File > Exit sent while New Project shows at start-up, a close from another
        // program) would free the design and the view under the code that opened the dialog, still
        // on the stack and about to use them. The dialogs are cancelled, and the close comes back
        // once their loops have ended; a dialog that stays open keeps the frame after some rounds.
        if (!IsWindowEnabled()) {
            if (++m_closesPutOff > 50) {
                m_closesPutOff = 0;  // this close is given up; a later one is put off afresh
                return;
            }
            ::EnumThreadWindows(::GetCurrentThreadId(), &CloseDialogOf, reinterpret_cast<LPARAM>(m_hWnd));
            // Not at once: a dialog still opening shows, and can be closed, once its loop is idle.
            SetTimer(kCloseAgainTimer, 100, nullptr);
            return;
        }
        m_closesPutOff = 0;
        // A close while a print preview is open ends the program, not the preview alone: the
        // preview is ended without an end command, so that the Print dialog does not come back as
        // after its Close button, and the close goes on to the save question.
        if (CPreviewView* preview = IsInPreview() ? dynamic_cast<CPreviewView*>(GetActiveView()) : nullptr)
            preview->CloseAndDelete();
        CStyledFrameWnd::OnClose();
    });
}

void KorvanelleFrame::OnTimer(UINT_PTR id) {
    if (id != kCloseAgainTimer) {
        CStyledFrameWnd::OnTimer(id);
        return;
    }
    KillTimer(id);
    PostMessage(WM_CLOSE);
}

void KorvanelleFrame::OnGetMinMaxInfo(MINMAXINFO* pMMI) {
    GuardOperation(1929, [&] {
        CRect window, client;
        GetWindowRect(&window);
        GetClientRect(&client);
        pMMI->ptMinTrackSize.x = (window.Width() - client.Width()) + kMinClientWidth;
        pMMI->ptMinTrackSize.y = kMinTrackHeight;
    });
}

void KorvanelleFrame::OnDestroy() {
    GuardOperation(505, [&] { UnhookBarEvents(); });
    CStyledFrameWnd::OnDestroy();
}

LRESULT KorvanelleFrame::OnQueryEndSession(WPARAM, LPARAM) {
    // Windows asks before it ends the session: the design's save question, and a refusal when
    // the user cancels it.
    BOOL mayEnd = TRUE;
    m_sessionDropAgreed = false;
    GuardOperation(3313, [&] {
        KorvanelleDoc* doc = dynamic_cast<KorvanelleDoc*>(GetActiveDocument());
        if (doc == nullptr) return;
        if (!doc->SaveModified()) mayEnd = FALSE;
        // "No" is kept until the session really ends: another program may still cancel the end,
        // and then the design stays on screen as modified as it was.
        m_sessionDropAgreed = doc->DropAgreed();
        doc->ForgetDropAgreement();
    });
    return mayEnd;
}

LRESULT KorvanelleFrame::OnEndSession(WPARAM wParam, LPARAM) {
    // The session ends: the process may be ended before ExitInstance runs, so the settings and
    // printers are saved now (once; ExitInstance does not save them again).
    if (wParam && m_sessionDropAgreed) {
        // The session ends with the design dropped as the user chose.
        if (CDocument* doc = GetActiveDocument()) doc->SetModifiedFlag(FALSE);
    }
    m_sessionDropAgreed = false;
    if (wParam) {
        GuardOperation(3303, [&] {
            SaveWindowState();
            if (KorvanelleApp* app = GetKorvanelleApp()) app->SaveStateForExit();
        });
    }
    return 0;
}
