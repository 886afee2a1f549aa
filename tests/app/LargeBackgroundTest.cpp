// A large picture put on the side as its background from the Images bar of the running program:
// it is decoded on a thread while the canvas takes keys, the old background goes at once, the
// picture shows when it arrives with the pixels a decode on the spot gives, Undo and Redo work
// before and after it arrives, and the program closes safely while it decodes.
#include <doctest.h>

#include <atomic>
#include <cstring>
#include <vector>

#include <objidl.h>
#include <gdiplus.h>

#include "AppTestSupport.h"
#include "app/KorvanelleFrame.h"
#include "bars/Thumb.h"
#include "canvas/AppCanvasState.h"
#include "canvas/View.h"
#include "framework/graphics/GdipImage.h"
#include "model/ImageStream.h"
#include "render/ColorProcessing.h"

namespace {

bool WritePicture(const CString& path, int width, int height, const WCHAR* mime, BYTE r, BYTE g, BYTE b) {
    Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
    Gdiplus::Rect all(0, 0, width, height);
    Gdiplus::BitmapData data;
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat24bppRGB, &data) != Gdiplus::Ok) return false;
    for (int y = 0; y < height; ++y) {
        BYTE* row = static_cast<BYTE*>(data.Scan0) + y * data.Stride;
        for (int x = 0; x < width; ++x) {
            row[x * 3] = static_cast<BYTE>(b - (x * 40) / width);
            row[x * 3 + 1] = static_cast<BYTE>(g + (y * 40) / height);
            row[x * 3 + 2] = r;
        }
    }
    bitmap.UnlockBits(&data);
    CLSID encoder;
    if (GetEncoderClsid(mime, &encoder) < 0) return false;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH);
    return bitmap.Save(wide, &encoder, nullptr) == Gdiplus::Ok;
}

bool SamePixels(Gdiplus::Bitmap* a, Gdiplus::Bitmap* b) {
    if (!a || !b || a->GetWidth() != b->GetWidth() || a->GetHeight() != b->GetHeight()) return false;
    Gdiplus::Rect all(0, 0, static_cast<INT>(a->GetWidth()), static_cast<INT>(a->GetHeight()));
    Gdiplus::BitmapData da, db;
    if (a->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &da) != Gdiplus::Ok) return false;
    bool same = b->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &db) == Gdiplus::Ok;
    if (same) {
        for (UINT y = 0; y < da.Height && same; ++y)
            same = std::memcmp(static_cast<BYTE*>(da.Scan0) + y * da.Stride, static_cast<BYTE*>(db.Scan0) + y * db.Stride,
                               da.Width * 4) == 0;
        b->UnlockBits(&db);
    }
    a->UnlockBits(&da);
    return same;
}

struct Session {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run;
    KorvanelleFrame* frame = nullptr;
    View* view = nullptr;
    CString pictures, red, large;
    std::atomic<bool> hold{false}, entered{false};

    Session() {
        REQUIRE(run.Started());
        frame = GetMainFrame();
        view = View::GetCurrent();
        REQUIRE(frame != nullptr);
        REQUIRE(view != nullptr);
        frame->ShowWindow(SW_RESTORE);
        frame->SetWindowPos(nullptr, 0, 0, 900, 650, SWP_NOZORDER | SWP_NOACTIVATE);
        pictures = CString(folders.Root().c_str()) + "\\Pictures";
        red = pictures + "\\a-red.png";
        large = pictures + "\\b-large.jpg";
        REQUIRE(::CreateDirectoryA(pictures, nullptr));
        REQUIRE(WritePicture(red, 160, 90, L"image/png", 230, 20, 20));
        REQUIRE(WritePicture(large, 2400, 1800, L"image/jpeg", 10, 30, 220));
        // The decode waits while the test holds it (at most 10 s).
        PictureDecodeJobs::BeforeDecode() = [this] {
            entered = true;
            const DWORD start = ::GetTickCount();
            while (hold && ::GetTickCount() - start < 10000) ::Sleep(5);
        };
        ImagePanelState& state = *ImagePanelState::Get();
        CBarBackground& bar = frame->m_barImages;
        View::GetHost()->LoadImageFolder(pictures, false, 0);
        REQUIRE(run.Pump(
            [&] {
                return bar.m_imageView.GetFolder() == pictures && !bar.m_imageView.IsLoadPending() &&
                       !state.m_folderLoadRunning && state.RecordCount() == 3 && bar.m_imageView.GetShownCount() == 3;
            },
            20000));
        // The cells take a double click once their pictures are final.
        REQUIRE(run.Pump(
            [&] {
                for (int i = 0; i < 2; ++i)
                    if (!state.RecordAt(i) || state.RecordAt(i)->m_state != kImageFinal) return false;
                return true;
            },
            20000));
    }
    ~Session() { PictureDecodeJobs::BeforeDecode() = nullptr; }

    // A double click on the picture's cell in the Images bar, with the side selected.
    void DoubleClick(const CString& path) {
        ViewObject* side = view->m_design.GetCurrentSide();
        REQUIRE(side != nullptr);
        view->OnSelectionChanged(side->name);
        ImagePanelState& state = *ImagePanelState::Get();
        CThumb* cell = nullptr;
        for (CThumb* c : frame->m_barImages.m_imageView.GetCells()) {
            ImageRecord* record = c->IsWindowVisible() ? state.RecordAt(c->m_recordIndex) : nullptr;
            if (record && record->m_path == path) cell = c;
        }
        REQUIRE(cell != nullptr);
        cell->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(55, 55));
    }
    // A key with Ctrl held, posted to the canvas and handled by the message loop (shortcuts too).
    void CtrlKey(UINT vk) {
        BYTE keys[256];
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
        ::SetKeyboardState(keys);
        const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyA(vk, 0)) << 16;
        view->PostMessage(WM_KEYDOWN, vk, scan | 1);
        view->PostMessage(WM_KEYUP, vk, scan | 1 | 0xC0000000);
        MSG m;
        while (::PeekMessageA(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE)) run.app.PumpMessage();
        keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
        ::SetKeyboardState(keys);
    }
    // Nothing waits for painting or for the idle redraw (a picture may still be decoding).
    void Drawn() {
        CHECK(run.Pump(
            [&] {
                const AppCanvasState& canvas = AppCanvasState::Get();
                return !(HIWORD(::GetQueueStatus(QS_PAINT | QS_POSTMESSAGE)) & (QS_PAINT | QS_POSTMESSAGE)) &&
                       !canvas.m_redrawRequest;
            },
            10000));
    }
    void Arrived() {
        CHECK(run.Pump([&] { return !view->HasPicturesPending(); }, 20000));
        Drawn();
    }
    // The canvas buffer's pixel a quarter of the way down the current side's middle (on a
    // disc's ring as on a cover).
    COLORREF SideMiddle() {
        Gdiplus::Rect r = view->ObjectCanvasRect(view->m_design.GetCurrentSide());
        return ::GetPixel(view->m_buffer, r.X + r.Width / 2, r.Y + r.Height / 4);
    }
    int Count(const CString& path) {
        int n = 0;
        view->m_design.ForEachObject([&](ViewObject* o) {
            if (o->IsImage() && o->imagePath == path && o->bBackground) ++n;
        });
        return n;
    }
};

bool IsRed(COLORREF c) {
    return GetRValue(c) > 180 && GetGValue(c) < 80 && GetBValue(c) < 80;
}
bool IsBlue(COLORREF c) {
    return GetBValue(c) > 150 && GetRValue(c) < 60;
}

}  // namespace

TEST_CASE("a large background decodes while the canvas takes keys, shows when it arrives, and undoes") {
    Session s;
    s.DoubleClick(s.red);
    CHECK_FALSE(s.view->HasPicturesPending());  // small pictures are decoded on the spot
    s.Drawn();
    REQUIRE(IsRed(s.SideMiddle()));

    // Held in its decode: the insert returns with the picture on its way and the old background
    // gone from the canvas at once.
    s.hold = true;
    s.DoubleClick(s.large);
    CHECK(s.Count(s.large) == 1);
    CHECK(s.Count(s.red) == 0);
    CHECK(s.view->HasPicturesPending());
    REQUIRE(s.run.Pump([&] { return s.entered.load(); }, 10000));
    s.Drawn();
    const COLORREF waiting = s.SideMiddle();
    CHECK_FALSE(IsRed(waiting));
    CHECK_FALSE(IsBlue(waiting));

    // Ctrl+Z while it decodes: the red background is back, and the picture that arrives later goes
    // nowhere.
    s.CtrlKey('Z');
    CHECK(s.Count(s.large) == 0);
    CHECK(s.Count(s.red) == 1);
    s.hold = false;
    s.Arrived();
    CHECK(IsRed(s.SideMiddle()));
    CHECK(s.Count(s.large) == 0);

    // Redo brings it back (decoded on the spot from the step's bytes).
    s.CtrlKey('Y');
    s.Drawn();
    CHECK(s.Count(s.large) == 1);
    CHECK(IsBlue(s.SideMiddle()));
    s.CtrlKey('Z');
    s.Drawn();
    CHECK(IsRed(s.SideMiddle()));

    // Left to arrive: shown, with the pixels of a decode and a scaling on the spot.
    s.entered = false;
    s.DoubleClick(s.large);
    CHECK(s.view->HasPicturesPending());
    s.Arrived();
    CHECK(s.entered);
    CHECK(IsBlue(s.SideMiddle()));
    ViewObject* picture = s.view->m_design.FindObjectIf([&](const ViewObject* o) { return o->imagePath == s.large; });
    REQUIRE(picture != nullptr);
    CHECK_FALSE(picture->IsDecodePending());
    REQUIRE(picture->decodedImage != nullptr);
    REQUIRE(picture->adjustedImage != nullptr);
    Gdiplus::Bitmap* decoded = NormalizeBitmapFormat(DecodePictureFile(s.large));
    REQUIRE(decoded != nullptr);
    CHECK(SamePixels(decoded, picture->decodedImage));
    Gdiplus::Bitmap* scaled = CreateScaledBitmap(
        decoded,
        Gdiplus::RectF(0, 0, static_cast<Gdiplus::REAL>(picture->adjustedImage->GetWidth()),
                       static_cast<Gdiplus::REAL>(picture->adjustedImage->GetHeight())),
        0, 0, 0);
    CHECK(SamePixels(scaled, picture->adjustedImage));
    delete scaled;
    delete decoded;
    // One step: Ctrl+Z takes it off.
    s.CtrlKey('Z');
    s.Drawn();
    CHECK(s.Count(s.large) == 0);
    CHECK(IsRed(s.SideMiddle()));

    // Headers that pass over a scan the decoder cannot read (it names a component the frame does
    // not have): inserted at first, taken off again with the usual message when the decode fails.
    {
        std::vector<BYTE> bytes;
        {
            CFile file;
            REQUIRE(file.Open(s.large, CFile::modeRead));
            bytes.resize(static_cast<size_t>(file.GetLength()));
            REQUIRE(file.Read(bytes.data(), static_cast<UINT>(bytes.size())) == bytes.size());
        }
        size_t scan = 2;
        while (scan + 5 < bytes.size() && !(bytes[scan] == 0xFF && bytes[scan + 1] == 0xDA))
            scan += 2 + (bytes[scan + 2] << 8 | bytes[scan + 3]);
        REQUIRE(scan + 5 < bytes.size());
        bytes[scan + 5] = 0x77;  // the first component of the scan
        const CString broken = CString(s.folders.Root().c_str()) + "\\broken.jpg";
        CFile out;
        REQUIRE(out.Open(broken, CFile::modeCreate | CFile::modeWrite));
        out.Write(bytes.data(), static_cast<UINT>(bytes.size()));
        out.Close();
        KvMessageBoxCapture boxes;
        ViewObject* side = s.view->m_design.GetCurrentSide();
        s.view->InsertImage(CRect(side->left, side->top, side->left + side->width, side->top + side->height), broken,
                            true);
        CHECK(s.Count(broken) == 1);
        CHECK(boxes.Boxes().empty());
        s.Arrived();
        CHECK(s.Count(broken) == 0);
        REQUIRE(boxes.Boxes().size() == 1);
        CHECK(boxes.LastText() == "Invalid image format.");
        CHECK_FALSE(IsBlue(s.SideMiddle()));
    }

    // Closed while a decode is held: the window goes and the decode ends before GDI+ does.
    s.entered = false;
    s.hold = true;
    s.DoubleClick(s.large);
    REQUIRE(s.run.Pump([&] { return s.entered.load(); }, 10000));
    CHECK(s.view->HasPicturesPending());
    HWND frame = s.frame->m_hWnd;
    s.hold = false;
    s.run.Close();
    CHECK_FALSE(::IsWindow(frame));
}
