// The Images bar in the running program: docked on the right with its View menu toggle, loaded
// with the default image folder at start-up, and its cells changing the real design (a double
// click puts the image behind the selection, "[No Background]" removes the selected object, both
// as undo steps, and damaged pictures are refused); the drop area and the screen-to-design
// conversion of the real canvas.
#include <doctest.h>

#include <atomic>
#include <cstdlib>

#include <objidl.h>
#include <gdiplus.h>

#include "AppTestSupport.h"
#include "app/KorvanelleFrame.h"
#include "app/Settings.h"
#include "bars/ImagePanelViewCanvas.h"
#include "bars/Thumb.h"
#include "canvas/View.h"
#include "framework/graphics/GdipImage.h"
#include "framework/win/ScopedGdi.h"
#include "res/CommandIds.h"

namespace {

bool WritePng(const CString& path, int width, int height) {
    Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) bitmap.SetPixel(x, y, Gdiplus::Color(255, (BYTE)x, (BYTE)y, 120));
    CLSID png;
    if (GetEncoderClsid(L"image/png", &png) < 0) return false;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH);
    return bitmap.Save(wide, &png, nullptr) == Gdiplus::Ok;
}

bool ItemChecked(KorvanelleFrame* frame, UINT command) {
    return (::GetMenuState(::GetMenu(frame->m_hWnd), command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

CThumb* CellOf(CBarBackground& bar, int record) {
    for (CThumb* cell : bar.m_imageView.GetCells())
        if (cell->m_recordIndex == record && cell->IsWindowVisible()) return cell;
    return nullptr;
}

int CountImagesWithPath(View* view, const CString& path, bool background) {
    int count = 0;
    view->m_design.FindObjectIf([&](const ViewObject* o) {
        if (o->IsImage() && o->imagePath == path && (o->bBackground != 0) == background) ++count;
        return false;
    });
    return count;
}

// Whether the cell shows its finished picture on the screen: the pixels its window holds (where
// it is visible) against the picture the cell copies there when it draws. The points of the
// image's middle row and column are compared; at least `atLeast` of them must be visible.
bool CellShowsItsPicture(CThumb* cell, ImageRecord* record, int atLeast) {
    if (cell == nullptr || record == nullptr || !record->m_cellPicture) return false;
    ScopedWindowDC screen(cell->m_hWnd);
    ScopedMemoryDC picture(screen.Get());
    ScopedSelect select(picture.Get(), record->m_cellPicture.Get());
    const CRect image = cell->ImageRectInCell();
    const CPoint middle = image.CenterPoint();
    int compared = 0;
    auto same = [&](int x, int y) {
        const COLORREF shown = ::GetPixel(screen.Get(), x, y);
        if (shown == CLR_INVALID) return true;  // not visible: nothing to compare
        ++compared;
        return shown == ::GetPixel(picture.Get(), x, y);
    };
    for (int x = image.left; x < image.right; x += 3)
        if (!same(x, middle.y)) return false;
    for (int y = image.top; y < image.bottom; y += 3)
        if (!same(middle.x, y)) return false;
    return compared >= atLeast;
}

// Whether the button shows on the screen: its window holds pixels other than the bar's own
// background there (a button covered by the background would hold exactly those).
bool ButtonShows(CBarBackground& bar) {
    CRect barWindow, button;
    bar.GetWindowRect(&barWindow);
    bar.m_btnImageFolder.GetWindowRect(&button);
    ScopedWindowDC screen(bar.m_btnImageFolder.m_hWnd);
    int differing = 0;
    for (int y = 0; y < button.Height(); y += 2)
        for (int x = 0; x < button.Width(); x += 2) {
            const COLORREF shown = ::GetPixel(screen.Get(), x, y);
            const COLORREF background = ::GetPixel(bar.m_offscreen.Get(), button.left - barWindow.left + x,
                                                   button.top - barWindow.top + y);
            if (shown != CLR_INVALID && shown != background) ++differing;
        }
    // The frame, the icon and the caption: far more than a few stray pixels.
    return differing >= 40;
}

}  // namespace

TEST_CASE("the Images bar of the running program: docking, start-up folder, cells that change the design") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    KorvanelleFrame* frame = GetMainFrame();
    View* view = View::GetCurrent();
    REQUIRE(frame != nullptr);
    REQUIRE(view != nullptr);
    CBarBackground& bar = frame->m_barImages;
    ImagePanelState& state = *ImagePanelState::Get();
    REQUIRE(&state == static_cast<ImagePanelState*>(&run.app));

    // Docked on the right at its default width, shown, with its View menu item checked; the
    // toggle hides it and shows it again.
    REQUIRE(bar.m_hWnd != nullptr);
    CHECK(bar.IsWindowVisible());
    REQUIRE(bar.m_pDockBar != nullptr);
    CHECK(bar.m_pDockBar->GetDlgCtrlID() == AFX_IDW_DOCKBAR_RIGHT);
    CHECK(ItemChecked(frame, ID_VIEW_IMAGE_TOOLBAR));
    frame->SendMessage(WM_COMMAND, ID_VIEW_IMAGE_TOOLBAR);
    CHECK_FALSE(bar.IsWindowVisible());
    CHECK_FALSE(ItemChecked(frame, ID_VIEW_IMAGE_TOOLBAR));
    frame->SendMessage(WM_COMMAND, ID_VIEW_IMAGE_TOOLBAR);
    CHECK(bar.IsWindowVisible());
    CHECK(ItemChecked(frame, ID_VIEW_IMAGE_TOOLBAR));

    // The start-up loaded the default image folder into the pane.
    CHECK(bar.m_imageView.GetFolder() == g_browseDefaultPath);

    // A folder of three images, loaded the way the canvas asks for a folder.
    const CString root = folders.Root().c_str();
    const CString pictures = root + "\\Pictures";
    REQUIRE(::CreateDirectoryA(pictures, nullptr));
    const char* names[] = {"a.png", "b.png", "c.png"};
    for (const char* name : names) REQUIRE(WritePng(pictures + "\\" + name, 160, 90));
    View::GetHost()->LoadImageFolder(pictures, false, 5);
    REQUIRE(run.Pump(
        [&] {
            return bar.m_imageView.GetFolder() == pictures && !bar.m_imageView.IsLoadPending() &&
                   !state.m_folderLoadRunning && state.RecordCount() == 4 &&
                   bar.m_imageView.GetShownCount() == 4;
        },
        20000));
    CString caption;
    bar.GetWindowText(caption);
    CHECK(caption == "Images (3)");
    // Every cell reaches its final picture (the cells are drawn on the screen).
    REQUIRE(run.Pump(
        [&] {
            for (int i = 0; i < 4; ++i) {
                ImageRecord* record = state.RecordAt(i);
                if (record == nullptr || record->m_state != kImageFinal) return false;
            }
            return true;
        },
        20000));

    // A layout pass of the frame (a new design makes one) paints the bar's background again, for
    // the width the right dock gives it, before it places the children: the button and the cells
    // keep showing on the screen.
    auto barShowsChildren = [&] {
        if (!ButtonShows(bar)) return false;
        for (int i = 0; i < 3; ++i)
            if (!CellShowsItsPicture(CellOf(bar, i), state.RecordAt(i), 40)) return false;
        return true;
    };
    REQUIRE(run.Pump(barShowsChildren, 10000));
    frame->RecalcLayout();
    CHECK(run.Pump(barShowsChildren, 5000));

    // A double click puts the image behind the selected side, as one undo step.
    ViewObject* side = view->m_design.GetCurrentSide();
    REQUIRE(side != nullptr);
    view->OnSelectionChanged(side->name);
    REQUIRE(view->m_design.GetFirstSelected() == side);
    ImageRecord* first = state.RecordAt(0);
    REQUIRE(first != nullptr);
    const CString path = first->m_path;
    CThumb* cell = CellOf(bar, 0);
    REQUIRE(cell != nullptr);
    const int stepsBefore = view->GetUndoCount();
    cell->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(55, 55));
    CHECK(CountImagesWithPath(view, path, true) == 1);
    CHECK(view->GetUndoCount() == stepsBefore + 1);
    ViewObject* inserted = view->m_design.GetFirstSelected();
    REQUIRE(inserted != nullptr);
    CHECK(inserted->IsImage());

    // "[No Background]" removes the selected object (the new image) as another step; a second
    // click finds nothing selected and changes nothing.
    CThumb* none = CellOf(bar, 3);
    REQUIRE(none != nullptr);
    none->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    CHECK(CountImagesWithPath(view, path, true) == 0);
    CHECK(view->GetUndoCount() == stepsBefore + 2);
    none->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    CHECK(view->GetUndoCount() == stepsBefore + 2);
    // Undo brings the image back.
    view->OnEditUndo();
    CHECK(CountImagesWithPath(view, path, true) == 1);

    // The drop area of the real canvas: the centre of the current side takes a drop, a point
    // beside the canvas does not, and the screen rectangle of the side maps back into the side.
    ViewImagePanelCanvas& canvas = ViewImagePanelCanvas::Instance();
    CRgn region;
    region.CreateRectRgn(0, 0, 0, 0);
    canvas.GetDropRegion(region);
    Gdiplus::Rect device = view->ObjectCanvasRect(side);
    CPoint scroll = view->GetDeviceScrollPosition();
    CRect sideOnScreen(device.X - scroll.x, device.Y - scroll.y, device.X + device.Width - scroll.x,
                       device.Y + device.Height - scroll.y);
    view->ClientToScreen(&sideOnScreen);
    CRect viewOnScreen;
    view->GetClientRectInsideBars(viewOnScreen);
    // A point a sixth of the way down the side's middle lies on a disc's ring and on a cover.
    const CPoint onSide(sideOnScreen.CenterPoint().x, sideOnScreen.top + sideOnScreen.Height() / 6);
    REQUIRE(viewOnScreen.PtInRect(onSide));
    CHECK(region.PtInRegion(onSide));
    if (side->IsDisc()) CHECK_FALSE(region.PtInRegion(sideOnScreen.CenterPoint()));  // the hole
    CHECK_FALSE(region.PtInRegion(CPoint(viewOnScreen.right + 5, viewOnScreen.top + 5)));
    // Back to design units within a pixel's rounding at each edge.
    double sx = 0, sy = 0;
    view->ModelToDevice(nullptr, Gdiplus::Rect(), sx, sy);
    REQUIRE(sx > 0);
    const int pixel = static_cast<int>(1.0 / sx) + 2;
    CRect design = canvas.ScreenToDesign(sideOnScreen);
    CHECK(std::abs(design.left - side->left) <= pixel);
    CHECK(std::abs(design.top - side->top) <= pixel);
    CHECK(std::abs(design.right - (side->left + side->width)) <= pixel);

    view->m_design.ClearSelection();
    if (CDocument* doc = frame->GetActiveDocument()) doc->SetModifiedFlag(FALSE);
    run.Close();
}

TEST_CASE("closing the program while a picture decodes closes the window at once and frees the panel after") {
    kvtest::TemporaryUserFolders folders;
    std::atomic<bool> entered{false}, armed{true}, windowGoneWhileDecoding{false};
    HWND frameWindow = nullptr;
    {
        kvtest::RunningApp run;
        REQUIRE(run.Started());
        KorvanelleFrame* frame = GetMainFrame();
        REQUIRE(frame != nullptr);
        frameWindow = frame->m_hWnd;
        ImagePanelState& state = *ImagePanelState::Get();
        // The first picture stands for a large photo: its decode lasts until the window has closed
        // (at most 8 s).
        state.m_beforeThumbnailDecode = [&] {
            if (!armed.exchange(false)) return;
            entered = true;
            const DWORD start = ::GetTickCount();
            while (::IsWindow(frameWindow) && ::GetTickCount() - start < 8000) ::Sleep(10);
            windowGoneWhileDecoding = !::IsWindow(frameWindow);
        };
        const CString pictures = CString(folders.Root().c_str()) + "\\Pictures";
        REQUIRE(::CreateDirectoryA(pictures, nullptr));
        for (const char* name : {"a.png", "b.png"}) REQUIRE(WritePng(pictures + "\\" + name, 160, 90));
        View::GetHost()->LoadImageFolder(pictures, false, 5);
        REQUIRE(run.Pump([&] { return entered.load(); }, 20000));

        run.Close();  // the main window closed (WM_CLOSE), then the shut-down
        CHECK(windowGoneWhileDecoding);
        // The shut-down waited for the decode to end and freed the records before GDI+ went.
        CHECK(state.m_thumbThread == nullptr);
        CHECK(state.RecordCount() == 0);
        state.m_beforeThumbnailDecode = nullptr;
    }
}

// Pictures whose decoder once read past their end and took the program down on a double click.
TEST_CASE("damaged pictures in the panel: a double click inserts each or refuses it") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    REQUIRE(run.Started());
    KorvanelleFrame* frame = GetMainFrame();
    View* view = View::GetCurrent();
    REQUIRE(frame != nullptr);
    REQUIRE(view != nullptr);
    CBarBackground& bar = frame->m_barImages;
    ImagePanelState& state = *ImagePanelState::Get();
    const CString pictures = CString(folders.Root().c_str()) + "\\Pictures";
    REQUIRE(::CreateDirectoryA(pictures, nullptr));
    for (const char* name :
         {"picture-crash.bmp", "picture-crash.jpg", "picture-crash.png", "picture-crash.tif"}) {
        CString source = CString("Z:") + KV_HOSTILE_DATA_DIR + "/" + name;
        source.Replace('/', '\\');
        REQUIRE(::CopyFileA(source, pictures + "\\" + name, FALSE));
    }
    View::GetHost()->LoadImageFolder(pictures, false, 0);  // every picture kind
    REQUIRE(run.Pump(
        [&] {
            return bar.m_imageView.GetFolder() == pictures && !bar.m_imageView.IsLoadPending() &&
                   !state.m_folderLoadRunning && state.RecordCount() == 5 &&
                   bar.m_imageView.GetShownCount() == 5;
        },
        20000));

    KvMessageBoxCapture boxes;
    ViewObject* side = view->m_design.GetCurrentSide();
    REQUIRE(side != nullptr);
    for (int i = 0; i < 4; ++i) {
        const CString path = state.RecordAt(i)->m_path;
        CAPTURE(std::string((LPCSTR)path));
        view->OnSelectionChanged(side->name);
        CThumb* cell = CellOf(bar, i);
        REQUIRE(cell != nullptr);
        boxes.Clear();
        const int stepsBefore = view->GetUndoCount();
        cell->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(55, 55));
        const bool inserted = CountImagesWithPath(view, path, true) == 1;
        if (inserted) {
            CHECK(boxes.Boxes().empty());
            CHECK(view->GetUndoCount() == stepsBefore + 1);
        } else {
            REQUIRE(boxes.Boxes().size() == 1);
            CHECK(boxes.LastText() == "Invalid image format.");
            CHECK(view->GetUndoCount() == stepsBefore);
        }
        // The side is drawn again with whatever went in.
        view->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    CHECK(::IsWindow(frame->m_hWnd));
    view->m_design.ClearSelection();
    if (CDocument* doc = frame->GetActiveDocument()) doc->SetModifiedFlag(FALSE);
    run.Close();
}
