// The view's short-lived work: its window timers, the canvas context menu, the commands that
// switch the shown side, the change of disc layout, taking over a new or opened design, and the
// view's part of start-up.
#include "canvas/ViewSettings.h"
#include "canvas/AppCanvasState.h"
#include "canvas/FrameCommandState.h"
#include "canvas/View.h"
#include "controls/ThemeResources.h"
#include "menu/StyledMenu.h"
#include "render/CanvasSettings.h"
#include "res/CanvasIds.h"
#include "res/CommandIds.h"

void View::OnTimer(UINT_PTR nIDEvent) {
    GuardOperation(860, [&] {
        switch (nIDEvent) {
            case kTimerFlashOutline:
                KillTimer(nIDEvent);
                Redraw(false);
                break;
            case kTimerStartUp:
                if (AppCanvasState::Get().m_splashDone) {
                    KillTimer(nIDEvent);
                    OnSplashDone();
                }
                break;
            case kTimerPrintPreview:
                KillTimer(nIDEvent);
                OpenPrintPreview();
                break;
            case kTimerContextPoint:
                KillTimer(nIDEvent);
                m_contextPoint = CPoint(-1, -1);
                break;
            case kTimerBarMoved:
                KillTimer(nIDEvent);
                OnRecenterTimer();
                break;
            case kTimerPrintAgain:
                KillTimer(nIDEvent);
                OnFilePrint();
                break;
            case kTimerOutline: {
                ViewObject* selected = m_design.GetFirstSelected();
                if (selected && !selected->IsSide() && !selected->IsBoundary() && !selected->IsPage(-1))
                    AnimateOutline();
                else
                    StopOutlineTimer();
                break;
            }
            default:
                break;
        }
    });
    CScrollView::OnTimer(nIDEvent);
}

void View::OnRecenterTimer() {
    m_paintEnabled = false;
    RecenterView(true, true);
    m_paintEnabled = true;
    RefreshView(CString());
}

void View::OnContextMenu(CWnd*, CPoint point) {
    GuardOperation(861, [&] {
        m_contextPoint = point;
        m_contextMenuOpen = true;
        CStyledMenu menu;
        if (menu.LoadMenu(IDR_CANVAS_CONTEXT_MENU)) {
            CStyledMenu* popup = CStyledMenu::FromHandleStyled(::GetSubMenu(menu.m_hMenu, 0));
            if (popup) {
                popup->SetMenuTitle(" ", 6);
                if (CImageList* images =
                        g_menuImageList ? CImageList::FromHandle(g_menuImageList) : nullptr) {
                    popup->ModifyItemImage(nullptr, ID_EDIT_UNDO, images, 8);
                    popup->ModifyItemImage(nullptr, ID_EDIT_REDO, images, 9);
                    popup->ModifyItemImage(nullptr, ID_EDIT_CUT, images, 4);
                    popup->ModifyItemImage(nullptr, ID_EDIT_COPY, images, 5);
                    popup->ModifyItemImage(nullptr, ID_EDIT_PASTE, images, 6);
                    popup->ModifyItemImage(nullptr, ID_DELETE_OBJECT, images, 7);
                }
                CWnd* owner = GetParentFrame();
                if (ViewHost* host = GetHost())
                    if (CWnd* main = host->GetMainFrame()) owner = main;
                if (!owner) owner = this;
                popup->TrackPopupMenu(TPM_RIGHTBUTTON, point.x, point.y, owner);
            }
            menu.DestroyMenu();
        }
        m_contextMenuOpen = false;
        SetTimer(kTimerContextPoint, 100);
    });
}

void View::OnShowDisc2() {
    ShowSide("Disc 2");
}
void View::OnShowDiscLabel() {
    ShowSide("Disc 1");
}
void View::OnShowFrontCover() {
    ShowSide("Front Cover");
}
void View::OnShowBackCover() {
    ShowSide("Back Cover");
}

void View::ShowSide(const CString& sideName) {
    GuardOperation(862, [&] {
        // A side the design lacks selects nothing and the current side stays.
        const bool exists = m_design.FindObject(sideName) != nullptr;
        if (exists) OnSelectionChanged(sideName, FALSE);
        m_select.Refresh();
        m_paintEnabled = false;
        m_dragMode.Empty();
        RecenterView(true, false);
        m_paintEnabled = true;
        if (ViewHost* host = GetHost()) host->RedrawToolBars();
        RefreshView(exists ? sideName : CString());
        if (m_hWnd) SetFocus();
    });
}

void View::OnShowGuides() {
    GuardOperation(863, [&] {
        g_showGuides = g_showGuides ? 0 : 1;
        Redraw(true);
    });
}

void View::SetDiscLayout(int layout) {
    GuardOperation(864, [&] {
        const CString before = LabelTemplate::LayoutName(m_design.GetDiscLayout());
        m_design.SetDiscLayout(layout);
        const CString after = LabelTemplate::LayoutName(m_design.GetDiscLayout());
        if (before == after) return;
        m_select.Refresh();
        m_design.SelectObjectByName(m_design.IsTwoDiscLayout() ? "Disc 2" : "Disc 1");
        BeginUndoStep();
        RecordUndoValue("discLayout", nullptr, before, after);
        EndUndoStep();
        RecenterView(false, false);
        if (m_hWnd) SetFocus();
        Redraw(true);
        if (ViewHost* host = GetHost()) host->UpdateMainToolbarButtons();
    });
}

void View::ResetForDocument(KorvanelleDocument* document, BOOL refresh) {
    GuardOperation(865, [&] {
        StopOutlineTimer();
        TrimUndoSteps(0, true);
        DropOpenUndoStep();
        DropPendingPictures();
        StopPictureDecodesExceptSide(-1);
        m_undecodedShownPictures.clear();
        m_undoPosition = -1;
        m_select.EndEditing();
        m_select.DiscardHslResult();
        FrameCommandState::Get().m_targetDisc = 1;
        m_calibrationMode = false;
        m_dragMode.Empty();
        m_doubleClicked = false;
        m_lastPoint = m_downPoint = CPoint(0, 0);
        m_startBounds.SetRectEmpty();
        m_panelHits.RemoveAll();
        m_objectHits.RemoveAll();
        m_pageOrigin = CPoint(0, 0);
        m_startupDesignSaved = 0;
        if (document && document != &m_design) m_design.MoveFrom(document);
        if (ViewHost* host = GetHost()) host->UpdateAllFields();
        ApplyTemplate(m_templates.discTemplateName, m_templates.coverTemplateName, refresh != FALSE, false);
    });
}

void View::StartUp() {
    GuardOperation(866, [&] {
        LoadTemplates();
        ViewHost* host = GetHost();
        if (host) {
            host->CheckSnapToGrid(g_snapToGrid != 0);
            host->CheckShowGrid(g_showGrid != 0);
            host->LoadImageFolder(g_browseDefaultPath, g_browseSubfolders != 0, g_browseFilter);
        }
        struct Bar {
            DWORD style;
            CRect* rect;
        } bars[2] = {{SBS_HORZ | SBS_BOTTOMALIGN, &g_hScrollBarRect},
                     {SBS_VERT | SBS_RIGHTALIGN, &g_vScrollBarRect}};
        for (Bar& bar : bars) {
            HWND h = ::CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | bar.style, 0, 0, 0, 0, m_hWnd, nullptr,
                                       ::GetModuleHandle(nullptr), nullptr);
            if (!h) continue;
            ::GetClientRect(h, bar.rect);
            ::DestroyWindow(h);
        }
        const CString& file = AppCanvasState::Get().m_commandLineFile;
        if (host) {
            if (!file.IsEmpty())
                host->LoadFile(file);
            else if (g_showNewProjectAtStart)
                host->NewFromTemplate(g_caseKind, g_discLayout);
            else
                host->OpenStartupDesign(g_caseKind, g_discLayout);
        }
        SetTimer(kTimerStartUp, 20);
    });
}

void View::OnSplashDone() {
    GuardOperation(867, [&] {
        RECT& normal = g_mainWindowPlacement.rcNormalPosition;
        if (::IsRectEmpty(&normal)) {
            RECT work;
            ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
            ::InflateRect(&work, -100, -100);
            normal = work;
        }
        CWnd* main = GetTopLevelParent();
        if (main && main->m_hWnd) {
            WINDOWPLACEMENT placement = g_mainWindowPlacement;
            placement.length = sizeof(placement);
            ::SetWindowPlacement(main->m_hWnd, &placement);
            ::BringWindowToTop(main->m_hWnd);
        }
        ViewHost* host = GetHost();
        if (host) host->ShowCheckedToolBars();
        if (g_showNewProjectAtStart && AppCanvasState::Get().m_commandLineFile.IsEmpty()) {
            m_paintEnabled = true;
            m_blankCanvas = true;
            // The frame paints before New Project opens over it: the dialog draws a picture of
            // every layout before its own window shows, and until then the frame would stay blank.
            if (main && main->m_hWnd)
                ::RedrawWindow(main->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            if (host) host->RunNewProject();
            m_blankCanvas = false;
        }
        RecenterView(true, false);
        m_paintEnabled = true;
        RefreshView(CString());
    });
}
