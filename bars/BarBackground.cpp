// The "Images" docking bar: creation, painting, layout of its children and the chooser's messages.
#include "bars/BarBackground.h"

#include <commctrl.h>

#include "bars/DlgFolderSelect.h"
#include "bars/ImageBrowseSettings.h"
#include "bars/ImageLoadThreads.h"
#include "bars/ImagePanelCanvas.h"
#include "framework/win/ScopedGdi.h"
#include "controls/DialogPositions.h"
#include "controls/ThemeFill.h"
#include "controls/ThemeResources.h"
#include "framework/core/OperationError.h"
#include "res/CommandIds.h"
#include "res/ImagePanelIds.h"

namespace {
const int kChildrenTop = 43;  // the pane starts this far below the client top
const int kRuleOffset = 35;   // the etched rule under the button
const int kMenuIconImageFolder = 23;

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour) {
    CPen pen(PS_SOLID, 1, colour);
    ScopedSelect select(dc, pen.m_hObject);
    ::MoveToEx(dc, x1, y1, nullptr);
    ::LineTo(dc, x2, y2);
}

// A window DC leaves nothing out for the window's children, and the bar has no clip-children
// style. The pass that places the children leaves out the rectangles it gives them; the frame's
// pass, which paints the bar for its coming size before anything moves, must leave out the
// children where they are now, or the button, the pane and its cells would lie under the
// background with nothing asking them to paint again.
void ExcludeShownChildren(HWND parent, HDC windowDC, const CPoint& windowOrigin) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child)) continue;
        RECT r;
        ::GetWindowRect(child, &r);
        ::ExcludeClipRect(windowDC, r.left - windowOrigin.x, r.top - windowOrigin.y, r.right - windowOrigin.x,
                          r.bottom - windowOrigin.y);
    }
}
}  // namespace

void ApplyImageBrowseSettings(const ImageBrowseSettingsUpdate& update) {
    if (update.fields & ImageBrowseSettingsUpdate::kFolder) g_browseFolder = update.folder;
    if (update.fields & ImageBrowseSettingsUpdate::kFilter) g_browseFilter = update.filter;
    if (update.fields & ImageBrowseSettingsUpdate::kSubfolders) g_browseSubfolders = update.subfolders;
    if (update.fields & ImageBrowseSettingsUpdate::kDefaultPath) g_browseDefaultPath = update.defaultPath;
    if (update.fields & ImageBrowseSettingsUpdate::kPosition)
        g_dialogPositions[kImageBrowserPos] = update.position;
}

IMPLEMENT_DYNAMIC(CBarBackground, CResizeBarCF)

BEGIN_MESSAGE_MAP(CBarBackground, CResizeBarCF)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_NCPAINT()
    ON_WM_VSCROLL()
    ON_WM_MOUSEWHEEL()
    ON_WM_LBUTTONDOWN()
    ON_WM_NCLBUTTONDOWN()
    ON_WM_NCLBUTTONDBLCLK()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_DESTROY()
    ON_COMMAND(IDC_IMAGE_FOLDER_BUTTON, OnImageFolder)
    ON_MESSAGE(WM_LOADIMAGEFOLDER, OnLoadImageFolder)
    ON_MESSAGE(WM_IMAGEBROWSESETTINGS, OnImageBrowseSettings)
END_MESSAGE_MAP()

CBarBackground::CBarBackground() = default;

CBarBackground::~CBarBackground() {
    FreeOffscreen();
}

void CBarBackground::FreeOffscreen() {
    m_offscreen.Reset();
}

int CBarBackground::OnCreate(LPCREATESTRUCT createStruct) {
    int result = 0;
    GuardOperation(7200, [&] {
        if (CResizeBarCF::OnCreate(createStruct) == -1) {
            result = -1;
            return;
        }
        m_sizeMinVert = CSize(21, g_thumbSize.cy + 40);
        m_imageView.CreatePane(this);
        m_scrollBar.Create(WS_CHILD | SBS_VERT | SBS_RIGHTALIGN, CRect(0, 0, 0, 0), this, 0);
        m_btnImageFolder.Create("  Image Folder", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 6, 110, 30),
                                this, IDC_IMAGE_FOLDER_BUTTON);
        m_btnImageFolder.GenerateBackground(6, 8, 10, 0, 0);
        if (g_menuImageList != nullptr) {
            m_folderIcon.reset(ImageList_GetIcon(g_menuImageList, kMenuIconImageFolder, ILD_NORMAL));
            if (m_folderIcon) m_btnImageFolder.SetIcon(m_folderIcon.get(), nullptr);
        }
        CWnd* main = AfxGetMainWnd();
        ScopedWindowDC mainDC(main != nullptr ? main->GetSafeHwnd() : nullptr, ScopedWindowDC::kWhole);
        m_offscreen = ScopedMemoryDC(mainDC.Get());
    });
    return result;
}

void CBarBackground::PaintBackground(const CRect& window, const CRect& client) {
    const int cx = window.Width(), cy = window.Height();
    HDC dc = m_offscreen.Get();
    {
        ScopedWindowDC windowDC(m_hWnd, ScopedWindowDC::kWhole);
        HBITMAP bitmap = ::CreateCompatibleBitmap(windowDC.Get(), cx, cy);
        if (!bitmap) return;
        m_offscreen.Select(bitmap, true);  // the one it replaces is deselected and deleted
    }
    TileThemeBackground(dc, CRect(0, 0, cx, cy), 0, 0, 1);

    // The sizing edge at the left.
    CRect edge(0, 1, m_nEdgeWidth, cy - 1);
    Line(dc, edge.right - 1, edge.top, edge.right - 1, edge.bottom, ::GetSysColor(COLOR_3DDKSHADOW));
    CRect frame(edge.left, edge.top, edge.right - 1, edge.bottom);
    Line(dc, frame.left, frame.bottom - 1, frame.left, frame.top, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    Line(dc, frame.left, frame.top, frame.right - 1, frame.top, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    Line(dc, frame.right - 1, frame.top, frame.right - 1, frame.bottom - 1, ::GetSysColor(COLOR_BTNSHADOW));
    Line(dc, frame.right - 1, frame.bottom - 1, frame.left - 1, frame.bottom - 1,
         ::GetSysColor(COLOR_BTNSHADOW));
    {
        // The picture is centred in the strip and kept inside it.
        ScopedSaveDC saved(dc);
        ::IntersectClipRect(dc, frame.left, frame.top, frame.right, frame.bottom);
        DrawCenteredThemeImage(dc, frame);
    }

    if (client.Width() <= 0) return;
    CDC* memory = CDC::FromHandle(dc);
    NcPaintGripper(memory, CRect(client.left, 0, client.right + 5, client.bottom));
    // The etched rule under the button.
    const int rule = client.top + kRuleOffset;
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW), light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    Line(dc, client.right - 2, rule, client.left, rule, shadow);
    Line(dc, client.left, rule, client.left, rule + 2, shadow);
    Line(dc, client.left + 1, rule + 1, client.right - 1, rule + 1, light);
    Line(dc, client.right - 1, rule + 1, client.right - 1, rule - 1, light);
}

void CBarBackground::UpdateLayout(int left, int top, int right, int bottom) {
    GuardOperation(7201, [&] {
        if (m_hWnd == nullptr || !IsWindowVisible() || m_offscreen.Get() == nullptr) return;
        CRect window(left, top, right, bottom);
        if (window.IsRectNull()) GetWindowRect(&window);
        // The client area inside the window (window coordinates), for that window size.
        CRect current;
        GetWindowRect(&current);
        CRect client = ClientInWindow();
        client.right += window.Width() - current.Width();
        client.bottom += window.Height() - current.Height();
        if (client.right < client.left) client.right = client.left;
        if (client.bottom < client.top) client.bottom = client.top;

        if (window != m_lastPaintRect) {
            m_lastPaintRect = window;
            PaintBackground(window, client);
        }
        const bool children = m_layoutChildren && client.Width() > 0;
        CRect scrollRect, paneRect;
        bool gridTaller = false;
        ScopedWindowDC windowDC(m_hWnd, ScopedWindowDC::kWhole);
        HDC dc = windowDC.Get();
        if (children) {
            CRect button;
            m_btnImageFolder.GetWindowRect(&button);
            button.OffsetRect(-current.left, -current.top);
            button.right = std::min((int)button.right, (int)client.right);
            ::ExcludeClipRect(dc, button.left, button.top, button.right, button.bottom);
            const int scrollWidth = ::GetSystemMetrics(SM_CXVSCROLL);
            scrollRect =
                CRect(client.right - scrollWidth, client.top + kChildrenTop, client.right, client.bottom);
            paneRect = CRect(client.left, client.top + kChildrenTop, client.right, client.bottom);
            if (m_scrollBar.m_hWnd != nullptr && m_scrollBar.IsWindowVisible()) paneRect.right -= scrollWidth;
            if (paneRect.bottom < paneRect.top) paneRect.bottom = paneRect.top;
            if (paneRect.right < paneRect.left) paneRect.right = paneRect.left;
            int columns = 0, rows = 0, gridWidth = 0, gridHeight = 0;
            m_imageView.CalcGrid(paneRect.left, paneRect.top, paneRect.right, paneRect.bottom, columns, rows,
                                 gridWidth, gridHeight);
            gridTaller = gridHeight > paneRect.Height();
            if (gridWidth < paneRect.Width()) paneRect.right = paneRect.left + gridWidth;
            if (gridHeight < paneRect.Height()) paneRect.bottom = paneRect.top + gridHeight;
            if (gridTaller)
                ::ExcludeClipRect(dc, scrollRect.left, scrollRect.top, scrollRect.right, scrollRect.bottom);
            ::ExcludeClipRect(dc, paneRect.left, paneRect.top, paneRect.right, paneRect.bottom - 1);
        }
        if (!children) ExcludeShownChildren(m_hWnd, dc, current.TopLeft());
        ::BitBlt(dc, 0, 0, window.Width(), window.Height(), m_offscreen.Get(), 0, 0, SRCCOPY);
        if (!children) return;
        // Children are placed in client coordinates.
        const CPoint origin = ClientInWindow().TopLeft();
        if (gridTaller) {
            CRect r = scrollRect;
            r.OffsetRect(-origin.x, -origin.y);
            m_scrollBar.MoveWindow(&r, FALSE);
            m_scrollBar.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        }
        CRect r = paneRect;
        r.OffsetRect(-origin.x, -origin.y);
        r.bottom += 1;
        CRect old;
        m_imageView.GetWindowRect(&old);
        if (old.Width() != r.Width() || old.Height() != r.Height()) m_imageView.MoveWindow(&r, TRUE);
    });
}

void CBarBackground::OnPaint() {
    GuardOperation(7202, [&] {
        PAINTSTRUCT paint;
        ::BeginPaint(m_hWnd, &paint);
        ::EndPaint(m_hWnd, &paint);
        if (!IsTracking()) UpdateLayout(0, 0, 0, 0);
    });
}

BOOL CBarBackground::OnEraseBkgnd(CDC* dc) {
    (void)dc;
    return FALSE;
}

void CBarBackground::OnNcPaint() {
    // The bar paints its whole window itself (UpdateLayout).
}

void CBarBackground::OnVScroll(UINT code, UINT position, CScrollBar* scrollBar) {
    GuardOperation(7203, [&] {
        SetFocus();
        m_imageView.OnVScroll(code, position, scrollBar);
    });
}

BOOL CBarBackground::OnMouseWheel(UINT flags, short delta, CPoint point) {
    return m_imageView.OnMouseWheel(flags, delta, point);
}

void CBarBackground::OnLButtonDown(UINT flags, CPoint point) {
    GuardOperation(7204, [&] {
        SetFocus();
        CResizeBarCF::OnLButtonDown(flags, point);
    });
}

void CBarBackground::OnNcLButtonDown(UINT hitTest, CPoint point) {
    GuardOperation(7205, [&] {
        if (ImagePanelCanvas::Get() != nullptr)
            ImagePanelCanvas::Get()->GetLayoutSnapshot(m_canvasScrollPos, m_canvasClientRect,
                                                       m_canvasTotalSize);
        SetFocus();
        CResizeBarCF::OnNcLButtonDown(hitTest, point);
    });
}

void CBarBackground::OnNcLButtonDblClk(UINT hitTest, CPoint point) {
    GuardOperation(7206, [&] {
        CResizeBarCF::OnNcLButtonDblClk(hitTest, point);
        SetSizeCX(g_thumbSize.cy + 21, "Vert");
        if (m_pDockSite != nullptr) m_pDockSite->RecalcLayout();
        if (ImagePanelCanvas::Get() != nullptr) ImagePanelCanvas::Get()->RecenterAndRefresh();
    });
}

void CBarBackground::OnWindowPosChanged(WINDOWPOS* windowPos) {
    GuardOperation(7207, [&] {
        CResizeBarCF::OnWindowPosChanged(windowPos);
        CWnd* main = AfxGetMainWnd();
        HMENU menu = main != nullptr && main->m_hWnd != nullptr ? ::GetMenu(main->m_hWnd) : nullptr;
        HMENU toolbars = menu != nullptr ? ::GetSubMenu(menu, 2) : nullptr;
        if (toolbars != nullptr)
            ::CheckMenuItem(toolbars, ID_VIEW_IMAGE_TOOLBAR,
                            MF_BYCOMMAND | (IsWindowVisible() ? MF_CHECKED : MF_UNCHECKED));
    });
}

void CBarBackground::DiscardPendingRequests() {
    // Requests posted but never delivered belong to nobody else: free them.
    MSG msg;
    while (::PeekMessageA(&msg, m_hWnd, WM_LOADIMAGEFOLDER, WM_LOADIMAGEFOLDER, PM_REMOVE))
        delete reinterpret_cast<ImageFolderRequest*>(msg.lParam);
    while (::PeekMessageA(&msg, m_hWnd, WM_IMAGEBROWSESETTINGS, WM_IMAGEBROWSESETTINGS, PM_REMOVE)) {
        std::unique_ptr<ImageBrowseSettingsUpdate> update(
            reinterpret_cast<ImageBrowseSettingsUpdate*>(msg.lParam));
        if (update) ApplyImageBrowseSettings(*update);
    }
}

void CBarBackground::OnDestroy() {
    GuardOperation(7208, [&] {
        // The pane stops the workers and the chooser and waits a moment for them (a worker in the
        // middle of a large picture is waited for at the program's exit, so the window closes at
        // once); what the chooser posted meanwhile is handled or freed here.
        m_imageView.Shutdown(CImageView1::kCloseWaitMs);
        DiscardPendingRequests();
        FreeOffscreen();
        CResizeBarCF::OnDestroy();
    });
}

void CBarBackground::OnImageFolder() {
    GuardOperation(7209, [&] {
        ImagePanelState& state = *ImagePanelState::Get();
        if (state.m_folderSelectOpen) return;
        state.ReapThreads();
        if (ImagePanelState::IsRunning(state.m_folderSelectThread)) return;
        state.m_folderSelectOpen = 1;
        state.m_closeFolderSelect = 0;
        FolderSelectJob* job = new FolderSelectJob;
        job->state = &state;
        job->bar = m_hWnd;
        CWnd* main = AfxGetMainWnd();
        job->mainWindow = main != nullptr ? main->GetSafeHwnd() : nullptr;
        job->browseFolder = g_browseFolder;
        job->browseDefaultPath = g_browseDefaultPath;
        job->browseFilter = g_browseFilter;
        job->browseSubfolders = g_browseSubfolders;
        job->documentsFolder = GetDocumentsFolder();
        job->position = g_dialogPositions[kImageBrowserPos];
        state.m_folderSelectThread = StartPanelThread(FolderSelectThreadProc, job);
        if (state.m_folderSelectThread == nullptr) {
            delete job;
            state.m_folderSelectOpen = 0;
        }
    });
}

LRESULT CBarBackground::OnLoadImageFolder(WPARAM wParam, LPARAM lParam) {
    (void)wParam;
    std::unique_ptr<ImageFolderRequest> request(reinterpret_cast<ImageFolderRequest*>(lParam));
    GuardOperation(7260, [&] {
        if (request) m_imageView.SetRequestSerial(request->serial);
        if (request)
            m_imageView.LoadImageFolder(request->folder, (int)request->fileTypeIndex,
                                        request->includeSubfolders != 0);
    });
    return 0;
}

LRESULT CBarBackground::OnImageBrowseSettings(WPARAM wParam, LPARAM lParam) {
    (void)wParam;
    std::unique_ptr<ImageBrowseSettingsUpdate> update(reinterpret_cast<ImageBrowseSettingsUpdate*>(lParam));
    GuardOperation(7261, [&] {
        if (update) ApplyImageBrowseSettings(*update);
    });
    return 0;
}
