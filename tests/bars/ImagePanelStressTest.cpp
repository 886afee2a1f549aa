// Rescans in quick succession while the panel is scrolled, resized and its cells double-clicked:
// no failure is reported, every insertion names a whole file of the folder shown, and the last
// scan's records are exactly its folder's images.
#include <doctest.h>

#include <random>

#include "GuiSupport.h"
#include "ImageFolderFixture.h"
#include "ImagePanelFrame.h"
#include "bars/Thumb.h"
#include "framework/core/OperationError.h"

using namespace kvtest;

TEST_CASE("rescanning while scrolling and inserting") {
    InitPanelProgram();
    KvMessageBoxCapture boxes(IDOK);
    const ImageFolderInfo big = MakeImageFolder("panel500", 500);
    const ImageFolderInfo small = MakeImageFolder("panel12", 12);
    ImagePanelFrame* frame = CreatePanelFrame(900, 700, 380);
    REQUIRE(frame != nullptr);
    FakeImageCanvas canvas;
    canvas.hasSelection = true;
    ImagePanelCanvas::Set(&canvas);
    CImageView1& pane = frame->m_bar.m_imageView;
    ImagePanelState& state = *ImagePanelState::Get();

    std::mt19937 random(20240611);
    const ImageFolderInfo* folders[2] = {&big, &small};
    const ImageFolderInfo* last = nullptr;
    int lastType = 0;
    bool lastSub = false;
    int inserts = 0;
    for (int round = 0; round < 40; ++round) {
        last = folders[random() % 2];
        lastType = (int)(random() % 6);
        lastSub = random() % 2 == 0;
        pane.LoadImageFolder(last->root.c_str(), lastType, lastSub);
        const int actions = (int)(random() % 25);
        for (int a = 0; a < actions; ++a) {
            switch (random() % 5) {
                case 0:
                    pane.SendMessage(WM_VSCROLL, random() % 2 ? SB_PAGEDOWN : SB_LINEUP, 0);
                    break;
                case 1:
                    pane.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)(random() % 2 ? -240 : 120)),
                                     0);
                    break;
                case 2:
                    SetBarWidth(frame, 153 + (int)(random() % 400));
                    break;
                default:
                    for (CThumb* cell : pane.GetCells()) {
                        if (!cell->IsWindowVisible() || random() % 3 != 0) continue;
                        canvas.hasSelection = true;
                        cell->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(50, 50));
                        break;
                    }
                    break;
            }
            PumpUntil([] { return false; }, random() % 40);
        }
    }
    REQUIRE(WaitForScan(frame));
    REQUIRE(WaitForThumbnails());

    static const std::vector<std::string> kTypes[6] = {
        {".jpg", ".jpeg", ".bmp", ".dib", ".gif", ".tif", ".tiff", ".png", ".ico", ".wmf", ".emf"},
        {".jpg", ".jpeg"},
        {".bmp", ".dib"},
        {".gif"},
        {".tif", ".tiff"},
        {".png"}};
    CHECK(RecordPaths(last->root) == ExpectedImages(*last, kTypes[lastType], lastSub));
    CHECK(state.RecordAt(state.RecordCount() - 1)->IsNoBackground());
    for (const std::string& call : canvas.calls) {
        if (call.compare(0, 7, "insert:") != 0) continue;
        ++inserts;
        const std::string path = call.substr(10);
        CHECK(GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES);
    }
    MESSAGE(inserts << " insertions during 40 rescans");
    CHECK(inserts > 0);
    CHECK(boxes.Boxes().empty());  // no operation failed
    ImagePanelCanvas::Set(nullptr);
    DestroyPanelFrame(frame);
    CHECK(state.ReapThreads());
}
