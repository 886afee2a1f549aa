// The Images bar in a real frame over a generated folder of 500 images: the scan, the thumbnails,
// the caption, the grid at the panel's widths, folder switches in the middle of a scan, the
// cells' drop and double click, and no growth of handles or memory over ten rescans.
#include <doctest.h>

#include <algorithm>
#include <atomic>
#include <set>

#include "GuiSupport.h"
#include "ImageFolderFixture.h"
#include "ImagePanelFrame.h"
#include "bars/ImageBrowseSettings.h"
#include "bars/ImageLoadThreads.h"
#include "bars/Thumb.h"
#include "controls/ThemeFill.h"
#include "framework/core/OperationError.h"
#include "framework/graphics/DibHelpers.h"

using namespace kvtest;

namespace {

const std::vector<std::string> kAllExtensions = {".jpg",  ".jpeg", ".bmp", ".dib", ".gif", ".tif",
                                                 ".tiff", ".png",  ".ico", ".wmf", ".emf"};

ImagePanelState& State() {
    return *ImagePanelState::Get();
}

CString Caption(CBarBackground& bar) {
    CString text;
    bar.GetWindowText(text);
    return text;
}

int FindRecord(const std::string& name) {
    for (int i = 0; i < State().RecordCount(); ++i)
        if (std::string((LPCSTR)State().RecordAt(i)->m_name) == name) return i;
    return -1;
}

CThumb* CellOf(CImageView1& pane, int record) {
    for (CThumb* cell : pane.GetCells())
        if (cell->m_recordIndex == record && cell->IsWindowVisible()) return cell;
    return nullptr;
}

}  // namespace

TEST_CASE("a folder of 500 images: exact scan, thumbnails off the user-interface thread, caption") {
    InitPanelProgram();
    KvMessageBoxCapture boxes(IDOK);
    const ImageFolderInfo info = MakeImageFolder("panel500", 500);
    ImagePanelFrame* frame = CreatePanelFrame(900, 700, 380);
    REQUIRE(frame != nullptr);
    CImageView1& pane = frame->m_bar.m_imageView;

    SUBCASE("all image files with sub-folders, the browser cache left out") {
        pane.LoadImageFolder(info.root.c_str(), 0, true);
        REQUIRE(WaitForScan(frame));
        CHECK(RecordPaths(info.root) == ExpectedImages(info, kAllExtensions, true));
        // Decoding runs on its own thread: after a page down (sent straight to the pane), the new
        // window's records become decoded while this thread dispatches no message at all.
        REQUIRE(WaitForThumbnails());
        auto decoded = [] {
            ImageRecordsLock lock(State());
            int n = 0;
            for (ImageRecord* r : State().m_imageRecords)
                if (r->m_state != kImageNew && r->m_state != kImageWaiting) ++n;
            return n;
        };
        const int atStart = decoded();
        pane.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
        const DWORD start = GetTickCount();
        bool decodedWhileBlocked = false;
        while (!decodedWhileBlocked && GetTickCount() - start < 20000) {
            decodedWhileBlocked = decoded() > atStart;
            SwitchToThread();  // the lock's other users get their turn
        }
        CHECK(decodedWhileBlocked);

        CHECK(State().RecordCount() == 501);
        CHECK(State().RecordAt(500)->IsNoBackground());
        CHECK(State().RecordAt(500)->m_name == CString("[No Background]"));
        CHECK(Caption(frame->m_bar) == CString("Images (500)"));
        // Within a folder all "*.jpg" files come before its "*.jpeg" files.
        int lastJpg = -1, firstJpeg = 1 << 30;
        for (int i = 0; i < State().RecordCount(); ++i) {
            const CString path = State().RecordAt(i)->m_path;
            if (path.Find("\\sub") >= 0) continue;
            if (path.Right(4) == ".jpg") lastJpg = std::max(lastJpg, i);
            if (path.Right(5) == ".jpeg") firstJpeg = std::min(firstJpeg, i);
        }
        CHECK(lastJpg < firstJpeg);
        REQUIRE(WaitForThumbnails());
    }

    SUBCASE("one file type, root only") {
        pane.LoadImageFolder(info.root.c_str(), 5, false);
        REQUIRE(WaitForScan(frame));
        const std::vector<std::string> png = ExpectedImages(info, {".png"}, false);
        CHECK(RecordPaths(info.root) == png);
        CHECK((int)png.size() == info.pngInRoot);
        CString caption;
        caption.Format("Images (%d)", (int)png.size());
        CHECK(Caption(frame->m_bar) == caption);
        WaitForThumbnails();
    }

    SUBCASE("a folder that does not exist yields only the last cell") {
        pane.LoadImageFolder((info.root + "\\missing").c_str(), 0, true);
        REQUIRE(WaitForScan(frame));
        CHECK(State().RecordCount() == 1);
        CHECK(Caption(frame->m_bar) == CString("Images (0)"));
        WaitForThumbnails();
        // The "[No Background]" cell stretches to the pane's right edge.
        CThumb* cell = CellOf(pane, 0);
        REQUIRE(cell != nullptr);
        CRect cellRect, paneRect;
        cell->GetWindowRect(&cellRect);
        pane.GetWindowRect(&paneRect);
        CHECK(cellRect.right == paneRect.right);
    }

    SUBCASE("decoded thumbnails are drawn, corrupt files show the placeholder with their name") {
        pane.LoadImageFolder(info.root.c_str(), 0, false);
        REQUIRE(WaitForScan(frame));
        REQUIRE(WaitForThumbnails());
        int drawnImages = 0, placeholders = 0;
        CRect paneRect;
        pane.GetWindowRect(&paneRect);
        for (CThumb* cell : pane.GetCells()) {
            if (!cell->IsWindowVisible() || cell->m_recordIndex < 0) continue;
            CRect cellRect;
            cell->GetWindowRect(&cellRect);
            // Cells below the pane's bottom are laid out ahead but not painted.
            if (cellRect.bottom > paneRect.bottom) continue;
            ImageRecord* r = State().RecordAt(cell->m_recordIndex);
            if (r->IsNoBackground()) continue;
            int state, tw;
            {
                ImageRecordsLock lock(State());
                state = r->m_state;
                tw = r->m_thumbWidth;
            }
            CHECK(state == kImageFinal);
            const bool corrupt = std::find(info.corrupt.begin(), info.corrupt.end(),
                                           std::string((LPCSTR)r->m_name)) != info.corrupt.end();
            const Capture pic = CaptureWindow(cell->m_hWnd);
            REQUIRE(!pic.Empty());
            const unsigned centre = pic.At(55, 55);
            if (corrupt) {
                ++placeholders;
                // No picture in the square: the centre is the bar's background.
                CHECK(centre == pic.At(2, 2));
            } else {
                ++drawnImages;
                CHECK(tw > 0);
                // The image covers the square's centre; the cell's corner is background.
                CHECK(centre != pic.At(114, 2));
            }
        }
        CHECK(drawnImages >= 6);
        (void)placeholders;
    }

    SUBCASE("a corrupt file's cell shows the placeholder and its name") {
        const ImageFolderInfo small = MakeImageFolder("panel12", 12);
        pane.LoadImageFolder(small.root.c_str(), 2, true);  // bitmaps: img002.bmp and the corrupt img007.bmp
        REQUIRE(WaitForScan(frame));
        REQUIRE(WaitForThumbnails());
        CHECK(RecordPaths(small.root) == std::vector<std::string>{"img002.bmp", "sub1\\deeper\\img007.bmp"});
        CThumb* good = CellOf(pane, FindRecord("img002.bmp"));
        CThumb* bad = CellOf(pane, FindRecord("img007.bmp"));
        REQUIRE((good != nullptr && bad != nullptr));
        ImageRecord* badRecord = State().RecordAt(FindRecord("img007.bmp"));
        ImageRecord* goodRecord = State().RecordAt(FindRecord("img002.bmp"));
        {
            ImageRecordsLock lock(State());
            CHECK(badRecord->m_state == kImageFinal);
            CHECK(goodRecord->m_state == kImageFinal);
        }
        const Capture goodPic = CaptureWindow(good->m_hWnd), badPic = CaptureWindow(bad->m_hWnd);
        REQUIRE((!goodPic.Empty() && !badPic.Empty()));
        // The placeholder's square is the bar's background texture; the image's is not.
        void* bits = nullptr;
        ScopedMemoryDC memory(nullptr);
        REQUIRE(memory.Select(CreateTopDownDibSection(memory, 117, 132, 32, &bits).Release(), true));
        TileThemeBackground(memory, CRect(0, 0, 117, 132), 0, 0, 1);
        GdiFlush();
        const unsigned expected = static_cast<const unsigned*>(bits)[55 * 117 + 55] & 0xFFFFFF;
        CHECK(badPic.At(55, 55) == expected);
        CHECK(goodPic.At(55, 55) != expected);
        // The name under the square: some dark text pixels in the placeholder's name line.
        int dark = 0;
        for (int y = 112; y < 130; ++y)
            for (int x = 0; x < 110; ++x)
                if ((badPic.At(x, y) & 0xFF) < 60 && ((badPic.At(x, y) >> 8) & 0xFF) < 60) ++dark;
        CHECK(dark > 20);
    }

    DestroyPanelFrame(frame);
}

TEST_CASE("the grid follows the panel's width and the scroll bar") {
    InitPanelProgram();
    KvMessageBoxCapture boxes(IDOK);
    const ImageFolderInfo info = MakeImageFolder("panel500", 500);
    ImagePanelFrame* frame = CreatePanelFrame(900, 700, 300);
    REQUIRE(frame != nullptr);
    CImageView1& pane = frame->m_bar.m_imageView;
    pane.LoadImageFolder(info.root.c_str(), 0, true);
    REQUIRE(WaitForScan(frame));

    for (int barWidth : {153, 280, 400, 520}) {
        CAPTURE(barWidth);
        SetBarWidth(frame, barWidth);
        CRect paneClient;
        pane.GetClientRect(&paneClient);
        const ImageGrid grid = CalcImageGrid(paneClient.Width(), State().RecordCount());
        CHECK(pane.GetColumns() == grid.columns);
        CHECK(paneClient.Width() == grid.width);  // the bar narrows the pane to the grid
        // Cells sit on the 117-pixel column step, one row of `columns` after another.
        for (CThumb* cell : pane.GetCells()) {
            if (!cell->IsWindowVisible()) continue;
            CRect r;
            cell->GetWindowRect(&r);
            pane.ScreenToClient(&r);
            const int i = cell->m_recordIndex - pane.GetFirstShown();
            CHECK(r.left == (i % grid.columns) * 117);
            CHECK(r.Height() == 132);
        }
    }
    // 501 cells do not fit: the scroll bar shows and scrolling moves the window of cells.
    CHECK(frame->m_bar.m_scrollBar.IsWindowVisible());
    const int firstBefore = pane.GetFirstShown();
    pane.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    CHECK(pane.GetScrollOffset() > 0);
    CHECK(pane.GetFirstShown() > firstBefore);
    CHECK(State().m_thumbFirst == pane.GetFirstShown());
    pane.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)120), 0);
    const int afterWheel = pane.GetScrollOffset();
    pane.SendMessage(WM_VSCROLL, SB_LINEUP, 0);
    CHECK(pane.GetScrollOffset() < afterWheel);

    // Another folder starts at its top, wherever the last one was scrolled to.
    for (int i = 0; i < 6; ++i) pane.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    REQUIRE(pane.GetScrollOffset() > 0);
    WaitForThumbnails();
    pane.LoadImageFolder(info.root.c_str(), 0, false);
    REQUIRE(WaitForScan(frame));
    CHECK(pane.GetScrollOffset() == 0);
    CHECK(pane.GetFirstShown() == 0);
    CHECK(frame->m_bar.m_scrollBar.GetScrollPos() == 0);
    WaitForThumbnails();
    DestroyPanelFrame(frame);
}

// Stands for a thumbnail thread that has cleared its running flag but not yet ended.
UINT EndingThreadProc(LPVOID event) {
    ::WaitForSingleObject(static_cast<HANDLE>(event), 30000);
    return 1;
}

bool WindowDecoded() {
    const int first = State().m_thumbFirst, last = State().m_thumbLast;
    for (int i = first; i <= last; ++i) {
        ImageRecord* record = State().RecordAt(i);
        if (record != nullptr && record->m_state < kImageDecoded) return false;
    }
    return true;
}

TEST_CASE("a scroll while the last thumbnail thread is still ending gets its thumbnails all the same") {
    InitPanelProgram();
    KvMessageBoxCapture boxes(IDOK);
    const ImageFolderInfo info = MakeImageFolder("panel500", 500);
    ImagePanelFrame* frame = CreatePanelFrame(900, 700, 520);
    REQUIRE(frame != nullptr);
    CImageView1& pane = frame->m_bar.m_imageView;
    pane.LoadImageFolder(info.root.c_str(), 0, false);
    REQUIRE(WaitForScan(frame));
    REQUIRE(WaitForThumbnails());
    State().ReapThreads();
    REQUIRE(State().m_thumbThread == nullptr);

    HANDLE release = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    State().m_thumbThread = StartPanelThread(EndingThreadProc, release);
    REQUIRE(State().m_thumbThread != nullptr);
    pane.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    pane.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    CHECK_FALSE(State().m_thumbLoadRunning);  // no second thread beside the ending one
    CHECK_FALSE(WindowDecoded());
    ::SetEvent(release);
    // Once the old thread has ended, the new window is decoded without another scroll.
    CHECK(PumpUntil([] { return WindowDecoded(); }, 30000));
    WaitForThumbnails();
    ::CloseHandle(release);
    DestroyPanelFrame(frame);
}

TEST_CASE("a scroll just as the thumbnail thread lets go of its window still gets its thumbnails") {
    InitPanelProgram();
    KvMessageBoxCapture boxes(IDOK);
    const ImageFolderInfo info = MakeImageFolder("panel500", 500);
    ImagePanelFrame* frame = CreatePanelFrame(900, 700, 520);
    REQUIRE(frame != nullptr);
    CImageView1& pane = frame->m_bar.m_imageView;
    pane.LoadImageFolder(info.root.c_str(), 0, false);
    REQUIRE(WaitForScan(frame));
    REQUIRE(WaitForThumbnails());

    // The next thread holds still once its window is done, before it lets go of its flag.
    struct Gate {
        HANDLE reached = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        HANDLE release = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::atomic<bool> armed{true};
        ~Gate() {
            ::SetEvent(release);
            State().m_beforeThumbnailLetGo = nullptr;
            ::CloseHandle(reached);
            ::CloseHandle(release);
        }
    } gate;
    State().m_beforeThumbnailLetGo = [&gate] {
        if (!gate.armed.exchange(false)) return;
        ::SetEvent(gate.reached);
        ::WaitForSingleObject(gate.release, 30000);
    };
    pane.PostMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    REQUIRE(PumpUntil([&] { return ::WaitForSingleObject(gate.reached, 0) == WAIT_OBJECT_0; }, 20000));
    // A page down now finds the flag still set and leaves its window to that thread.
    const LONG before = State().m_thumbFirst;
    pane.PostMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    REQUIRE(PumpUntil([&] { return State().m_thumbFirst != before; }, 5000));
    CHECK(State().m_thumbLoadRunning);
    CHECK_FALSE(WindowDecoded());
    ::SetEvent(gate.release);
    // The thread sees the moved window as it lets go and decodes it; no further scroll needed.
    CHECK(PumpUntil([] { return WindowDecoded(); }, 15000));
    WaitForThumbnails();
    DestroyPanelFrame(frame);
}

TEST_CASE("paging through every picture keeps bitmaps for the cells near the view only") {
    InitPanelProgram();
    KvMessageBoxCapture boxes(IDOK);
    const ImageFolderInfo info = MakeImageFolder("panel500", 500);
    ImagePanelFrame* frame = CreatePanelFrame(900, 700, 400);
    REQUIRE(frame != nullptr);
    CImageView1& pane = frame->m_bar.m_imageView;
    pane.LoadImageFolder(info.root.c_str(), 0, true);
    REQUIRE(WaitForScan(frame));
    REQUIRE(WaitForThumbnails());
    const int n = State().RecordCount();
    REQUIRE(n > 400);
    auto pictured = [] {
        ImageRecordsLock lock(State());
        int count = 0;
        for (ImageRecord* r : State().m_imageRecords)
            if (r->m_cellPicture) ++count;
        return count;
    };
    const ResourceUse atTop = MeasureResources();
    const int picturedAtTop = pictured();
    CHECK(picturedAtTop > 0);

    // Page by page to the last row, each page's cells drawn, the way the scroll bar pages.
    int pages = 0;
    while (pane.GetLastShown() < n - 1 && pages < 400) {
        pane.PostMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
        REQUIRE(WaitForThumbnails());
        ++pages;
    }
    REQUIRE(pane.GetLastShown() == n - 1);
    const ResourceUse atEnd = MeasureResources();
    MESSAGE(pages << " pages; GDI objects " << atTop.gdiObjects << " -> " << atEnd.gdiObjects
                  << ", cell pictures " << picturedAtTop << " -> " << pictured());
    // One bitmap per cell ever shown would add some 400 here.
    CHECK(atEnd.gdiObjects <= atTop.gdiObjects + 40);
    CHECK(pictured() <= picturedAtTop + 40);

    // Back at the top, the cells get their pictures again.
    for (int i = 0; i < pages; ++i) pane.PostMessage(WM_VSCROLL, SB_PAGEUP, 0);
    REQUIRE(PumpUntil([&] { return pane.GetFirstShown() == 0; }, 20000));
    REQUIRE(WaitForThumbnails());
    CHECK(WindowDecoded());
    // Every cell inside the pane shows its finished picture again.
    CRect client;
    pane.GetClientRect(&client);
    CHECK(PumpUntil(
        [&] {
            int shown = 0;
            for (CThumb* cell : pane.GetCells()) {
                CRect rect, seen;
                cell->GetWindowRect(&rect);
                pane.ScreenToClient(&rect);
                if (!cell->IsWindowVisible() || !seen.IntersectRect(rect, client)) continue;
                ImageRecord* record = State().RecordAt(cell->m_recordIndex);
                if (record == nullptr || record->m_state != kImageFinal || !record->m_cellPicture) return false;
                ++shown;
            }
            return shown > 0;
        },
        20000));
    DestroyPanelFrame(frame);
}

TEST_CASE("a second folder chosen in the middle of a scan stops the first cleanly") {
    InitPanelProgram();
    KvMessageBoxCapture boxes(IDOK);
    const ImageFolderInfo big = MakeImageFolder("panel500", 500);
    const ImageFolderInfo small = MakeImageFolder("panel12", 12);
    ImagePanelFrame* frame = CreatePanelFrame(900, 700, 380);
    REQUIRE(frame != nullptr);
    CImageView1& pane = frame->m_bar.m_imageView;
    for (int round = 0; round < 3; ++round) {
        pane.LoadImageFolder(big.root.c_str(), 0, true);
        // Let the first scan get going, then switch.
        PumpUntil([] { return State().RecordCount() > 20 * 0 + 3; }, 5000);
        pane.LoadImageFolder(small.root.c_str(), 0, true);
        REQUIRE(WaitForScan(frame));
        CHECK(pane.GetFolder() == CString(small.root.c_str()));
        CHECK(RecordPaths(small.root) == ExpectedImages(small, kAllExtensions, true));
        CHECK(Caption(frame->m_bar) == CString("Images (12)"));
        REQUIRE(WaitForThumbnails());
    }
    DestroyPanelFrame(frame);
}

TEST_CASE("cells insert their image: drop on the design, double click as background, no-background removes") {
    InitPanelProgram();
    KvMessageBoxCapture boxes(IDOK);
    const ImageFolderInfo small = MakeImageFolder("panel12", 12);
    ImagePanelFrame* frame = CreatePanelFrame(900, 700, 380);
    REQUIRE(frame != nullptr);
    FakeImageCanvas canvas;
    ImagePanelCanvas::Set(&canvas);
    g_helpImage = 0;
    CImageView1& pane = frame->m_bar.m_imageView;
    pane.LoadImageFolder(small.root.c_str(), 5, false);
    REQUIRE(WaitForScan(frame));
    REQUIRE(WaitForThumbnails());
    REQUIRE(State().RecordCount() >= 2);
    CThumb* cell = CellOf(pane, 0);
    REQUIRE(cell != nullptr);
    const CString path = State().RecordAt(0)->m_path;
    CRect frameRect;
    frame->GetWindowRect(&frameRect);
    canvas.dropArea =
        CRect(frameRect.left + 20, frameRect.top + 60, frameRect.left + 420, frameRect.top + 500);

    auto drag = [&](CPoint to) {
        CRect cellRect;
        cell->GetWindowRect(&cellRect);
        const CPoint from(cellRect.left + 55, cellRect.top + 55);
        SetCursorPos(from.x, from.y);
        cell->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(55, 55));
        CPoint c = to;
        cell->ScreenToClient(&c);
        SetCursorPos(to.x, to.y);
        cell->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM((WORD)(short)c.x, (WORD)(short)c.y));
        cell->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM((WORD)(short)c.x, (WORD)(short)c.y));
    };

    SUBCASE("a drop inside the design inserts the image as one undo step") {
        drag(CPoint(canvas.dropArea.left + 150, canvas.dropArea.top + 150));
        REQUIRE(canvas.calls.size() == 6);
        CHECK(canvas.calls[0] == "begin");
        CHECK(canvas.calls[1] == "record:prevOrder");
        CHECK(canvas.calls[2] == std::string("insert:fg:") + (LPCSTR)path);
        CHECK(canvas.calls[3] == "record:nextRich");
        CHECK(canvas.calls[4] == "record:nextOrder");
        CHECK(canvas.calls[5] == "end");
        CHECK(canvas.lastInsertRect.Width() == 10 * (cell->ImageRectInCell().Width()));
        CHECK_FALSE(cell->m_dragging);
        CHECK(::GetCapture() != cell->m_hWnd);
    }
    SUBCASE("a drop outside the design, or onto a hole, does nothing") {
        drag(CPoint(canvas.dropArea.right + 200, canvas.dropArea.top + 100));
        CHECK(canvas.calls.empty());
        canvas.holeArea = CRect(canvas.dropArea.left + 100, canvas.dropArea.top + 100,
                                canvas.dropArea.left + 200, canvas.dropArea.top + 200);
        drag(CPoint(canvas.dropArea.left + 150, canvas.dropArea.top + 150));
        CHECK(canvas.calls.empty());
    }
    SUBCASE("a double click makes the image the selected object's background") {
        cell->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(55, 55));
        CHECK(canvas.calls.empty());  // nothing selected
        canvas.hasSelection = true;
        cell->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(55, 55));
        REQUIRE(canvas.calls.size() == 6);
        CHECK(canvas.calls[2] == std::string("insert:bg:") + (LPCSTR)path);
        CHECK(canvas.lastInsertRect == canvas.selectionRect);
    }
    SUBCASE("the no-background cell removes the selected object once") {
        CThumb* last = CellOf(pane, State().RecordCount() - 1);
        REQUIRE(last != nullptr);
        canvas.hasSelection = true;
        last->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        last->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        last->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
        last->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        CHECK(canvas.calls == std::vector<std::string>{"delete:refresh"});
    }
    SUBCASE("the tooltip tells name, dimensions, size and folder") {
        CHECK(cell->m_tipText.Find("Dimensions: ") > 0);
        CHECK(cell->m_tipText.Right(small.root.size()) == CString(small.root.c_str()));
    }
    SUBCASE("the first click shows the hint once, a double click never") {
        boxes.Clear();
        g_helpImage = 1;
        cell->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(55, 55));
        cell->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(55, 55));
        CHECK(g_helpImage == 0);
        CHECK(PumpUntil([&] { return !boxes.Boxes().empty(); }, 3000));
        CHECK(boxes.LastText().Find("There are 4 ways to add an image to the label:") == 0);
        // The themed box with the information icon and one "OK".
        const auto& tip = boxes.Boxes().back();
        CHECK(tip.themed);
        CHECK(tip.iconKind == 3);
        CHECK(tip.caption == " Korvanelle Tip:");
        REQUIRE(tip.buttons.size() == 1);
        CHECK(tip.buttons[0].caption == "OK");
        CHECK(tip.buttons[0].result == 1);
        g_helpImage = 1;
        boxes.Clear();
        cell->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(55, 55));
        cell->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(55, 55));
        cell->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(55, 55));
        // The hint's timer would have fired by now.
        PumpUntil([&] { return !boxes.Boxes().empty(); }, GetDoubleClickTime() + 300);
        CHECK(boxes.Boxes().empty());
    }
    ImagePanelCanvas::Set(nullptr);
    DestroyPanelFrame(frame);
}

TEST_CASE("ten rescans leave no handles, GDI objects or memory behind") {
    InitPanelProgram();
    KvMessageBoxCapture boxes(IDOK);
    const ImageFolderInfo info = MakeImageFolder("panel500", 500);
    ImagePanelFrame* frame = CreatePanelFrame(900, 700, 400);
    REQUIRE(frame != nullptr);
    CImageView1& pane = frame->m_bar.m_imageView;
    auto rescan = [&] {
        pane.LoadImageFolder(info.root.c_str(), 0, true);
        REQUIRE(WaitForScan(frame));
        REQUIRE(WaitForThumbnails());
        pane.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
        REQUIRE(WaitForThumbnails());
    };
    rescan();
    rescan();
    const ResourceUse before = MeasureResources();
    {
        // The counters see what they count: 40 bitmaps and 40 events show.
        std::vector<HBITMAP> bitmaps;
        std::vector<HANDLE> events;
        for (int i = 0; i < 40; ++i) {
            bitmaps.push_back(CreateBitmap(8, 8, 1, 32, nullptr));
            events.push_back(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        }
        const ResourceUse more = MeasureResources();
        CHECK(more.gdiObjects >= before.gdiObjects + 40);
        CHECK(more.handles >= before.handles + 40);
        for (HBITMAP b : bitmaps) DeleteObject(b);
        for (HANDLE e : events) CloseHandle(e);
    }
    for (int i = 0; i < 10; ++i) rescan();
    const ResourceUse after = MeasureResources();
    MESSAGE("GDI objects " << before.gdiObjects << " -> " << after.gdiObjects << ", handles "
                           << before.handles << " -> " << after.handles << ", private bytes "
                           << before.privateBytes << " -> " << after.privateBytes);
    // Every rescan makes some 50 cell pictures and thumbnails: a leak of one per record shows.
    CHECK(after.gdiObjects <= before.gdiObjects + 5);
    CHECK(after.handles <= before.handles + 10);
    CHECK(after.privateBytes <= before.privateBytes + 2 * 1024 * 1024);
    DestroyPanelFrame(frame);
}

TEST_CASE("destroying the panel in the middle of a scan stops and frees everything") {
    InitPanelProgram();
    KvMessageBoxCapture boxes(IDOK);
    const ImageFolderInfo info = MakeImageFolder("panel500", 500);
    ImagePanelFrame* frame = CreatePanelFrame(900, 700, 400);
    REQUIRE(frame != nullptr);
    frame->m_bar.m_imageView.LoadImageFolder(info.root.c_str(), 0, true);
    PumpUntil([] { return State().RecordCount() > 30 && State().m_thumbLoadRunning; }, 10000);
    DestroyPanelFrame(frame);
    // The pane waits only a moment: a thumbnail in the middle of one of the 3000 x 2400 pictures
    // may outlast it. The records are freed when every worker ended, and never under a running one.
    const bool ended = !ImagePanelState::IsRunning(State().m_folderThread) &&
                       !ImagePanelState::IsRunning(State().m_thumbThread);
    if (ended)
        CHECK(State().RecordCount() == 0);
    else
        CHECK(State().RecordCount() > 0);
    // What the program's exit then does: the workers end by themselves, having seen the stop.
    CHECK(WaitForPanelThreads(State(), 10000));
    CHECK_FALSE(State().m_folderLoadRunning);
    CHECK_FALSE(State().m_thumbLoadRunning);
    State().FreeRecords();
    CHECK(State().ReapThreads());
}
