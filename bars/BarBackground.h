// CBarBackground: the "Images" docking bar. It holds the thumbnail pane, the pane's scroll bar
// and the "  Image Folder" button, paints its whole window itself from an off-screen bitmap, and
// receives the folders (and the settings) that the image folder chooser picks.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

#include "bars/ImagePanelState.h"
#include "bars/ImageView1.h"
#include "controls/AeroButton.h"
#include "controls/ResizeBar.h"

class CBarBackground : public CResizeBarCF {
    DECLARE_DYNAMIC(CBarBackground)
public:
    CBarBackground();
    ~CBarBackground() override;

    // Paints the bar for a window rectangle in screen coordinates (all zeros: the current one)
    // and, while m_layoutChildren is on, places the children.
    void UpdateLayout(int left, int top, int right, int bottom);
    // The next paint rebuilds the background.
    void ForceRepaint() { m_lastPaintRect.SetRectEmpty(); }

    CImageView1 m_imageView;
    CScrollBar m_scrollBar;
    AeroButton m_btnImageFolder;
    // The painted bar: a memory DC holding the bitmap of the last painted size, which it owns.
    ScopedMemoryDC m_offscreen;
    CRect m_lastPaintRect;
    bool m_layoutChildren = true;
    // The canvas's layout before a resize drag of the bar (the canvas reads them meanwhile).
    CRect m_canvasClientRect;
    CSize m_canvasTotalSize;
    CPoint m_canvasScrollPos;

    int OnCreate(LPCREATESTRUCT createStruct);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnNcPaint();
    void OnVScroll(UINT code, UINT position, CScrollBar* scrollBar);
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnNcLButtonDown(UINT hitTest, CPoint point);
    void OnNcLButtonDblClk(UINT hitTest, CPoint point);
    void OnWindowPosChanged(WINDOWPOS* windowPos);
    void OnDestroy();
    void OnImageFolder();
    LRESULT OnLoadImageFolder(WPARAM wParam, LPARAM lParam);
    LRESULT OnImageBrowseSettings(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    struct IconDeleter {
        void operator()(HICON icon) const {
            if (icon != nullptr) ::DestroyIcon(icon);
        }
    };
    void PaintBackground(const CRect& window, const CRect& client);
    void FreeOffscreen();
    void DiscardPendingRequests();

    std::unique_ptr<std::remove_pointer<HICON>::type, IconDeleter> m_folderIcon;
};

// Applies one of the chooser's choices to the settings (user-interface thread).
void ApplyImageBrowseSettings(const ImageBrowseSettingsUpdate& update);
