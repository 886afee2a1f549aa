// The main window: the frame of the single document template. It makes the menu icons, the tool
// bars and docking panels with their image lists, hooks the bars' events to its own handlers,
// restores or builds the bar layout, keeps the two side panels sized to their dock rows and saves
// the layout when it goes. Its commands and command states are in FrameCommands.cpp.
#pragma once

#include <vector>

#include "bars/BarBackground.h"
#include "bars/BarText.h"
#include "bars/ToolColorNew.h"
#include "bars/ToolFont.h"
#include "bars/ToolView.h"
#include "canvas/FrameCommandState.h"
#include "disc/DiscTools.h"
#include "menu/StyledFrameWnd.h"

// Control-bar ids of the frame's bars.
const UINT ID_BAR_TEXT = 1048;
const UINT ID_BAR_COLOR = 1053;
const UINT ID_BAR_MAIN = 1054;
const UINT ID_BAR_IMAGES = 1057;
const UINT ID_BAR_PROPERTIES = 1060;

class KorvanelleFrame : public CStyledFrameWnd, public FrameCommandState {
    DECLARE_DYNCREATE(KorvanelleFrame)
    DECLARE_MESSAGE_MAP()
public:
    KorvanelleFrame();
    ~KorvanelleFrame() override;

    CDiscTools m_discTools;
    CToolColorNew m_toolColor;
    CToolView m_toolMain;
    CToolFont m_toolProperties;
    CImageList m_imageList32;
    CImageList m_mainToolbarHot;
    CImageList m_menuIcons16;
    CImageList m_mainToolbarNormal;
    CImageList m_mainToolbarDisabled;
    CImageList m_propertiesNormal;
    CImageList m_propertiesHot;
    CBarBackground m_barImages;
    CBarText m_barText;

    BOOL VerifyBarState(LPCTSTR profileName);
    void EnableDocking(DWORD dockStyle);
    void CreateImageListFromBitmap(UINT bitmapId, CImageList& list, int cx, int cy, int count);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void ActivateFrame(int nCmdShow = -1) override;
    void RecalcLayout(BOOL bNotify = TRUE) override;
    BOOL DestroyWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The shortcuts, except for the editing keys of a text box that has the focus.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // The document shell keeps the caption itself.
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnClose();
    void OnDestroy();
    void OnGetMinMaxInfo(MINMAXINFO* pMMI);
    void OnTimer(UINT_PTR id);
    LRESULT OnQueryEndSession(WPARAM wParam, LPARAM lParam);
    LRESULT OnEndSession(WPARAM wParam, LPARAM lParam);
    // The user answered "No" when Windows asked before ending the session.
    bool m_sessionDropAgreed = false;
    // Closes reaching the frame under an open dialog of its own, put off until the dialog ended.
    int m_closesPutOff = 0;

    // ---- commands and command states ----
    void CheckSnapToGrid(bool on);
    void CheckShowGrid(bool on);
    void UpdateMainToolbarButtons();

    void OnUpdateCutObject(CCmdUI* pCmdUI);
    void OnUpdateCopyObject(CCmdUI* pCmdUI);
    void OnUpdateCenterHorizontally(CCmdUI* pCmdUI);
    void OnUpdateCenterVertically(CCmdUI* pCmdUI);
    void OnUpdateCutText(CCmdUI* pCmdUI);
    void OnUpdateCopyText(CCmdUI* pCmdUI);
    void OnUpdatePasteText(CCmdUI* pCmdUI);
    void OnUpdatePasteObject(CCmdUI* pCmdUI);
    void OnUpdateDeleteObject(CCmdUI* pCmdUI);
    void OnUpdateRedo(CCmdUI* pCmdUI);
    void OnUpdateUndo(CCmdUI* pCmdUI);
    void OnUpdateCopyImage(CCmdUI* pCmdUI);
    void OnUpdateFileOpen(CCmdUI* pCmdUI);
    void OnUpdateFileNew(CCmdUI* pCmdUI);
    // The commands the frame always enables, one error number each.
    void OnUpdateAlwaysEnabled(CCmdUI* pCmdUI);

    void OnInsertArtist();
    void OnInsertTitle();
    void OnInsertTrack();
    void OnInsertYear();
    void OnInsertTime();
    void OnInsertGenre();
    void OnInsertText();
    void OnInsertImage();

    void OnWebsite();
    void OnNothing();

    // The menu of the frame's menu bar (the styled default menu).
    CMenu* GetFrameMenu();

    void OnNothingRange(UINT id);

    void OnToggleColorToolbar();
    void OnTogglePropertiesToolbar();
    void OnViewImageToolbar();
    void OnToggleMainToolbar();
    void OnToggleTextEditor();

    // ---- handlers of the bars' events ----
    void OnBarTextFocused();
    void OnBarTextRemoveFocus();
    void OnBarTextUpdateText(CString& text, CEditText* field);
    void OnTrackChange(int newCount, CString name);
    void OnBarMoved();

    // One docking bar of the frame: the bar, its menu item in the View menu.
    struct BarEntry {
        CControlBar* bar;
        UINT command;
    };
    // The frame's bars in the order colour, main, properties, images, text (those that exist).
    std::vector<BarEntry> Bars();

    // Stores the window placement into the settings and saves the bar layout.
    void SaveWindowState();

    // Gives the main menu's items their icons, disabled and shadow variants, the popups their
    // titles and the website item its text. Nothing of it shows until a menu opens, and building
    // the images costs the start-up hundreds of round trips to the window system, so it runs at
    // the first idle time after the frame shows, or when a menu opens before that. Once only.
    void DecorateMenu();
    bool IsMenuDecorated() const { return m_menuDecorated; }

private:
    void UnhookBarEvents();
    void HookBarEvents();
    // The text bar's docked width: the track-list editor's three columns and its frame.
    int TextBarWidth();
    // The window rectangle that keeps a side panel docked in the dock bar `dockBarId` as wide as
    // that dock bar; 0 when the panel already has that width (or is not docked there), else the width.
    int PanelWidthForDockBar(CResizeBar* panel, UINT dockBarId, CRect& rect, bool keepLeftEdge);
    void ToggleBar(CControlBar* bar, UINT command, int errorNumber);
    void InsertObject(const char* kind, int errorNumber);
    void RecenterAndRefreshView();
    // The window was maximised at its last size change.
    bool m_wasZoomed = false;
    bool m_menuDecorated = false;
    void BuildDefaultLayout();
    void CheckBarMenuItems();
    // Makes the Images bar (docked right by the layout) and gives its cells the editing canvas.
    void CreateImagesBar();
    // Docks the Images bar on the right at its default size.
    void DockImagesBar();
    CDockBar* DockBarOf(UINT id);
};

// One button of the main tool bar: its command (0 a separator) and its image.
struct MainToolbarButton {
    UINT command;
    int image;
};
// The main tool bar's buttons for a design: two discs, a DVD or Blu-ray case's back cover, the
// LightScribe print button.
std::vector<MainToolbarButton> MainToolbarButtons(bool twoDiscs, bool caseBackCover, bool lightScribe);

// The frame as the application's main window (null when there is none).
KorvanelleFrame* GetMainFrame();

// The item of a command in the frame's "View" popup (third top-level popup) carries a check.
bool IsViewItemChecked(CMenu* menuBar, UINT command);
