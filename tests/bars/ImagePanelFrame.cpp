// The Images bar in a test frame, with a canvas stand-in.
#include "ImagePanelFrame.h"

#include <psapi.h>

#include <algorithm>

#include "GdiplusSession.h"
#include "HeldResources.h"
#include "GuiSupport.h"
#include "bars/ImageBrowseSettings.h"
#include "controls/ThemeResources.h"
#include "framework/core/OperationError.h"
#include "res/ResourceImages.h"

namespace kvtest {

void FakeImageCanvas::InsertImage(const CRect& rect, const CString& path, bool asBackground) {
    lastInsertRect = rect;
    calls.push_back(std::string("insert:") + (asBackground ? "bg:" : "fg:") + (LPCSTR)path);
}

void FakeImageCanvas::DeleteSelectedObject(bool refresh) {
    if (!hasSelection) return;
    hasSelection = false;
    calls.push_back(refresh ? "delete:refresh" : "delete");
}

bool FakeImageCanvas::GetSelectionBackgroundRect(CRect& rect) {
    if (!hasSelection) return false;
    rect = selectionRect;
    return true;
}

CRect FakeImageCanvas::ScreenToDesign(const CRect& screenRect) {
    // 10 design units a pixel, from the drop area's corner.
    CRect r = screenRect;
    r.OffsetRect(-dropArea.left, -dropArea.top);
    return CRect(r.left * 10, r.top * 10, r.right * 10, r.bottom * 10);
}

void FakeImageCanvas::GetDropRegion(CRgn& region) {
    region.SetRectRgn(&dropArea);
    if (!holeArea.IsRectEmpty()) {
        CRgn hole;
        hole.CreateRectRgnIndirect(&holeArea);
        region.CombineRgn(&region, &hole, RGN_DIFF);
    }
}

void FakeImageCanvas::GetLayoutSnapshot(CPoint& pos, CRect& client, CSize& total) {
    pos = CPoint(3, 4);
    client = CRect(0, 0, 500, 400);
    total = CSize(900, 800);
    calls.push_back("snapshot");
}

BEGIN_MESSAGE_MAP(ImagePanelFrame, CFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

int ImagePanelFrame::OnCreate(LPCREATESTRUCT lpcs) {
    if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
    EnableDocking(CBRS_ALIGN_ANY);
    m_bar.m_dwSizingStyle = RBS_SHOWEDGES;
    if (!m_bar.CreateWithSize("Images", this, CSize(g_thumbSize.cx + 42, g_thumbSize.cy + 40), TRUE, 1057,
                              WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC))
        return -1;
    m_bar.EnableDocking(CBRS_ALIGN_RIGHT);
    DockControlBar(&m_bar, AFX_IDW_DOCKBAR_RIGHT);
    return 0;
}

void InitPanelProgram() {
    static bool done = false;
    if (done) return;
    done = true;
    static CWinApp* app = new CWinApp("KvImagePanelTest");
    (void)app;
    AfxWinInit(::GetModuleHandleA(nullptr), nullptr, (LPTSTR) "", SW_SHOWNORMAL);
    GdiplusReady();
    InitThemeResources(IDB_TEXTURE_DIALOG, IDB_TEXTURE_CANVAS, IDP_THEME_IMAGE, IDB_MENU_IMAGES,
                       IDB_TOOL_IMAGES, IDI_KORVANELLE, IDP_SIZE_GRIP);
    static ImagePanelState state;
    ImagePanelState::Set(&state);
}

void SetBarWidth(ImagePanelFrame* frame, int barWidth) {
    frame->m_bar.SetSizeCX(barWidth, "Vert");
    frame->RecalcLayout();
    frame->m_bar.ForceRepaint();
    frame->m_bar.UpdateLayout(0, 0, 0, 0);
    PumpPending();
}

ImagePanelFrame* CreatePanelFrame(int width, int height, int barWidth) {
    InitPanelProgram();
    ImagePanelFrame* frame = new ImagePanelFrame;
    CRect rect(10, 10, 10 + width, 10 + height);
    if (!frame->Create(nullptr, "Images panel", WS_OVERLAPPEDWINDOW | WS_VISIBLE, rect)) return nullptr;
    AfxGetApp()->m_pMainWnd = frame;
    SetBarWidth(frame, barWidth);
    return frame;
}

void DestroyPanelFrame(ImagePanelFrame* frame) {
    if (frame == nullptr) return;
    frame->DestroyWindow();
    AfxGetApp()->m_pMainWnd = nullptr;
    PumpPending();
}

bool WaitForScan(ImagePanelFrame* frame, DWORD ms) {
    ImagePanelState& s = *ImagePanelState::Get();
    return PumpUntil(
        [&] {
            return !frame->m_bar.m_imageView.IsLoadPending() && !s.m_folderLoadRunning &&
                   !s.m_collectImages && frame->m_bar.m_imageView.GetShownCount() == s.RecordCount() &&
                   s.RecordCount() > 0;
        },
        ms);
}

bool WaitForThumbnails(DWORD ms) {
    ImagePanelState& s = *ImagePanelState::Get();
    // Every record of the thread's window has been decoded (or found undecodable): a thread that
    // must wait for the last one to return starts later, from the redraw timer, and until then
    // neither flag is set.
    auto windowDone = [&] {
        ImageRecordsLock lock(s);
        const int n = (int)s.m_imageRecords.size();
        for (int i = s.m_thumbFirst < 0 ? 0 : s.m_thumbFirst; i <= s.m_thumbLast && i < n; ++i)
            if (s.m_imageRecords[i]->m_state < kImageDecoded) return false;
        return true;
    };
    return PumpUntil(
        [&] {
            return !s.m_thumbLoadRunning && !s.m_thumbReady && HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0 &&
                   windowDone();
        },
        ms);
}

std::vector<std::string> RecordPaths(const std::string& root) {
    ImagePanelState& s = *ImagePanelState::Get();
    std::vector<std::string> out;
    const int n = s.RecordCount();
    for (int i = 0; i < n; ++i) {
        ImageRecord* r = s.RecordAt(i);
        if (r->IsNoBackground()) continue;
        std::string path = (LPCSTR)r->m_path;
        if (path.compare(0, root.size() + 1, root + "\\") == 0) path = path.substr(root.size() + 1);
        out.push_back(path);
    }
    std::sort(out.begin(), out.end());
    return out;
}

ResourceUse MeasureResources() {
    ResourceUse use;
    HANDLE process = GetCurrentProcess();
    use.gdiObjects = static_cast<DWORD>(GdiObjectCount());
    use.handles = static_cast<DWORD>(KernelHandleCount());
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(process, &counters, sizeof(counters))) use.privateBytes = counters.PagefileUsage;
    return use;
}

}  // namespace kvtest
