// The image panel's arithmetic and texts: the grid, thumbnail sizes, size texts, tooltips, the
// file-type table and the chooser's settings messages; and the thumbnail of a damaged file.
#include <doctest.h>

#include <memory>
#include <string>

#include "bars/BarBackground.h"
#include "bars/ImageBrowseSettings.h"
#include "bars/ImageLoadThreads.h"
#include "bars/ImageView1.h"
#include "bars/Thumb.h"
#include "controls/DialogPositions.h"
#include "GdiplusSession.h"
#include "HeldResources.h"
#include "TestSupport.h"

TEST_CASE("the grid takes as many 110-pixel columns as fit with 7-pixel gaps") {
    ImageGrid g = CalcImageGrid(250, 6);  // five images and "[No Background]"
    CHECK(g.columns == 2);
    CHECK(g.width == 227);
    CHECK(g.rows == 3);
    CHECK(g.height == 396);
    g = CalcImageGrid(230, 6);
    CHECK(g.columns == 2);
    CHECK(g.width == 227);
    g = CalcImageGrid(226, 6);  // 2 x 117 - 7 = 227 does not fit
    CHECK(g.columns == 1);
    CHECK(g.width == 110);
    CHECK(g.rows == 6);
    g = CalcImageGrid(50, 3);  // narrower than a cell: still one column
    CHECK(g.columns == 1);
    CHECK(g.width == 110);
    g = CalcImageGrid(1000, 0);
    CHECK((g.columns == 0 && g.rows == 0 && g.width == 0 && g.height == 0));
    g = CalcImageGrid(344, 7);  // three columns exactly
    CHECK(g.columns == 3);
    CHECK(g.width == 344);
    CHECK(g.rows == 3);
}

TEST_CASE("thumbnails keep the image's proportions inside the square, at least 10 pixels a side") {
    auto size = [](int w, int h) {
        SIZE s = ComputeThumbnailSize(w, h);
        return std::make_pair((int)s.cx, (int)s.cy);
    };
    CHECK(size(400, 100) == std::make_pair(110, 27));
    CHECK(size(100, 400) == std::make_pair(27, 110));
    CHECK(size(50, 8) == std::make_pair(50, 10));
    CHECK(size(300, 300) == std::make_pair(110, 110));
    CHECK(size(109, 60) == std::make_pair(109, 60));  // smaller than the square: as it is
    CHECK(size(110, 55) == std::make_pair(110, 55));  // reaching the square scales it
    CHECK(size(5000, 20) == std::make_pair(110, 10));
}

TEST_CASE("a damaged picture in the folder gets no thumbnail, and its file is not left open") {
    REQUIRE(kvtest::GdiplusReady());
    // A bitmap cut short, found by the mutation run: the thumbnail maker handed GDI+ the path,
    // which kept a handle to the file open at every failed try, so that it could not be deleted.
    std::string data = std::string("Z:") + KV_BARS_DATA_DIR + "\\thumbnail-file-left-open.bmp";
    for (char& c : data)
        if (c == '/') c = '\\';
    const std::string folder = kvtest::TempDir("damaged-thumbnail");
    const std::string path = folder + "\\damaged.bmp";
    REQUIRE(kvtest::WriteFileBytes(path, kvtest::ReadFileBytes(data)));
    // The folder scanned and its window of thumbnails made, as the panel's threads do.
    auto show = [&folder] {
        std::unique_ptr<ImagePanelState> state(new ImagePanelState);
        state->m_collectImages = 1;
        state->m_folderLoadRunning = 1;
        FolderScanJob* scan = new FolderScanJob;
        scan->state = state.get();
        scan->folder = folder.c_str();
        scan->patterns = g_imageFilterPatterns[0];
        BackgroundFolderThreadProc(scan);
        state->m_thumbLast = state->RecordCount() - 1;
        state->m_thumbLoadRunning = 1;
        ThumbnailJob* thumbs = new ThumbnailJob;
        thumbs->state = state.get();
        ThumbnailThreadProc(thumbs);
        return state;
    };
    show();
    const long handles = kvtest::KernelHandleCount();
    for (int i = 0; i < 3; ++i) {
        std::unique_ptr<ImagePanelState> state = show();
        REQUIRE(state->RecordCount() == 2);  // the picture and "[No Background]"
        CHECK(state->RecordAt(0)->m_name == "damaged.bmp");
        CHECK(state->RecordAt(0)->m_state == kImageFailed);
        CHECK(state->RecordAt(1)->m_state == kImageDecoded);
    }
    CHECK(kvtest::KernelHandleCount() == handles);
    CHECK(DeleteFileA(path.c_str()));
}

TEST_CASE("file sizes and tooltips read as the user sees them") {
    CHECK(FormatImageFileSize(1023999) == CString("999 KB"));
    CHECK(FormatImageFileSize(1024000) == CString("0.98 MB"));
    CHECK(FormatImageFileSize(2621440) == CString("2.50 MB"));
    CHECK(FormatImageFileSize(1200) == CString("1 KB"));
    CHECK(BuildImageTipText("a.png", 640, 480, 1200, "D:\\Pics\\a.png") ==
          CString("a.png\r\nDimensions: 640 x 480\r\nSize: 1 KB\r\nFolder: D:\\Pics"));
}

// Built at start-up from the table (FilterTableReader.cpp).
extern const CString g_filtersReadAtStart;

TEST_CASE("the table of image file types is built before any global that reads it") {
    CHECK(g_filtersReadAtStart == CString("*.png|Icon Files (*.ico)"));
}

TEST_CASE("one table of image file types, indexed as the settings store them") {
    CHECK(kImageFilterCount == 8);
    CHECK(g_imageFilterNames[0] == CString("All Image Files"));
    CHECK(g_imageFilterPatterns[0] ==
          CString("*.jpg;*.jpeg;*.bmp;*.dib;*.gif;*.tif;*.tiff;*.png;*.ico;*.wmf;*.emf"));
    CHECK(g_imageFilterNames[5] == CString("PNG Files (*.png)"));
    CHECK(g_imageFilterPatterns[5] == CString("*.png"));
    CHECK(g_imageFilterPatterns[6] == CString("*.ico"));
    CHECK(g_imageFilterNames[7] == CString("MetaFiles (*.wmf;*.emf)"));
    CHECK(g_thumbSize.cx == 110);
    CHECK(g_thumbSize.cy == 132);
}

TEST_CASE("the chooser's choices reach the settings only through the update record") {
    g_browseFolder = "C:\\old";
    g_browseFilter = 0;
    g_browseSubfolders = 0;
    g_browseDefaultPath = "C:\\default";
    g_dialogPositions[kImageBrowserPos] = POINT{-1, -1};
    ImageBrowseSettingsUpdate update;
    update.fields = ImageBrowseSettingsUpdate::kFolder | ImageBrowseSettingsUpdate::kFilter;
    update.folder = "C:\\new";
    update.filter = 5;
    update.subfolders = 1;  // not among the fields: left alone
    ApplyImageBrowseSettings(update);
    CHECK(g_browseFolder == CString("C:\\new"));
    CHECK(g_browseFilter == 5);
    CHECK(g_browseSubfolders == 0);
    CHECK(g_browseDefaultPath == CString("C:\\default"));
    update.fields = ImageBrowseSettingsUpdate::kDefaultPath | ImageBrowseSettingsUpdate::kPosition;
    update.defaultPath = "C:\\new";
    update.position = POINT{40, 50};
    ApplyImageBrowseSettings(update);
    CHECK(g_browseDefaultPath == CString("C:\\new"));
    CHECK(g_dialogPositions[kImageBrowserPos].x == 40);
    CHECK(g_dialogPositions[kImageBrowserPos].y == 50);
}
