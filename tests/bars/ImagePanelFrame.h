// A frame with the Images bar docked on the right, a canvas stand-in that records what the cells
// ask of it, and helpers to wait for the panel's loading, for the image panel's GUI tests and
// its benchmark.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "bars/BarBackground.h"
#include "bars/ImagePanelCanvas.h"
#include "bars/ImagePanelState.h"
#include "framework/DocView.h"
#include "framework/Win.h"

namespace kvtest {

// Records the canvas calls; the drop area and the selection are set by the test.
class FakeImageCanvas : public ImagePanelCanvas {
public:
    std::vector<std::string> calls;  // "begin", "record:<key>", "insert:<bg>:<path>", "delete", "end", ...
    CRect dropArea;                  // screen rectangle that takes a drop (empty: none)
    CRect holeArea;                  // a hole cut out of it
    bool hasSelection = false;
    CRect selectionRect{100, 200, 1100, 1200};
    CRect lastInsertRect;
    CString pendingPath;

    void BeginUndoStep() override { calls.push_back("begin"); }
    void RecordUndoValue(LPCSTR key) override { calls.push_back(std::string("record:") + key); }
    void EndUndoStep() override { calls.push_back("end"); }
    void InsertImage(const CRect& rect, const CString& path, bool asBackground) override;
    void DeleteSelectedObject(bool refresh) override;
    bool GetSelectionBackgroundRect(CRect& rect) override;
    CRect ScreenToDesign(const CRect& screenRect) override;
    void GetDropRegion(CRgn& region) override;
    void SetPendingImagePath(const CString& path) override { pendingPath = path; }
    void SelectSideOfSelection() override { calls.push_back("select-side"); }
    void RecenterAndRefresh() override { calls.push_back("recenter"); }
    void GetLayoutSnapshot(CPoint& pos, CRect& client, CSize& total) override;
};

class ImagePanelFrame : public CFrameWnd {
public:
    CBarBackground m_bar;
    int OnCreate(LPCREATESTRUCT lpcs);
    DECLARE_MESSAGE_MAP()
};

// Makes the application object, GDI+ and the theme resources once for the program.
void InitPanelProgram();
// A visible frame of that client size with the bar docked right, `barWidth` wide; the main window.
ImagePanelFrame* CreatePanelFrame(int width, int height, int barWidth);
void DestroyPanelFrame(ImagePanelFrame* frame);
// Sets the bar's width and lets the frame and the bar lay out.
void SetBarWidth(ImagePanelFrame* frame, int barWidth);

// Pumps until the scan has ended and the panel shows every record.
bool WaitForScan(ImagePanelFrame* frame, DWORD ms = 60000);
// Pumps until the panel is at rest: the thumbnails of the shown records made (also by a thread that
// had to wait for the last one to return before it started), the redraw timer done and the cells
// painted.
bool WaitForThumbnails(DWORD ms = 60000);
// The records' paths relative to `root` (the "[No Background]" record left out), sorted.
std::vector<std::string> RecordPaths(const std::string& root);

// The process's GDI objects, kernel handles and committed private bytes.
struct ResourceUse {
    DWORD gdiObjects = 0;
    DWORD handles = 0;
    size_t privateBytes = 0;
};
ResourceUse MeasureResources();

}  // namespace kvtest
