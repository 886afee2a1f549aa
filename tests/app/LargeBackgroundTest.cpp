// A large picture put on the side as its background from the Images bar of the running program:
// it is decoded on a thread while the canvas takes keys and clicks; it is the user's action from
// the moment it is chosen (in the undo order, in the modified state), shown once its pixels come,
// which a decode on the spot gives, and its arrival moves nobody; Undo takes it back before and
// after it arrives; one that does not decode leaves the design as it was; pictures of up to 100
// megapixels are taken whatever their file's size, larger ones refused as too large; the program
// closes safely while it decodes, and quits after a Print dialog that a box held open; a Print
// Preview closed at once while the canvas decodes a photo leaves that decode the memory it had.
// A design opened again decodes no large picture for the open, names only those that cannot be
// shown, and a side shown later gets its large pictures from a decoding thread. Copy Object and
// Paste Object of a photo carry its own bytes. A picture whose 32-bit copy or PNG memory is short
// for keeps its own bytes and is named as too large.
#include <doctest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include <objidl.h>
#include <gdiplus.h>

#include "AppTestSupport.h"
#include "GdiplusRefusal.h"
#include "app/KorvanelleDoc.h"
#include "app/KorvanelleFrame.h"
#include "bars/Thumb.h"
#include "canvas/AppCanvasState.h"
#include "canvas/View.h"
#include "canvas/ViewSettings.h"
#include "framework/graphics/GdipImage.h"
#include "model/ImageStream.h"
#include "framework/docview/Preview.h"
#include "print/DlgSaveAsImage.h"
#include "print/ImageExport.h"
#include "print/PrintSettings.h"
#include "render/ColorProcessing.h"
#include "res/CommandIds.h"
#include "res/PrintDialogsIds.h"

namespace {

// A picture in 24 bits (a gradient of `shade` steps from the colour; 0: the colour alone; -1: grain
// of every colour) or, with `oneBit`, in black-and-white stripes.
bool WritePicture(const CString& path, int width, int height, const WCHAR* mime, BYTE r, BYTE g, BYTE b,
                  int shade = 40, bool oneBit = false) {
    const Gdiplus::PixelFormat format = oneBit ? PixelFormat1bppIndexed : PixelFormat24bppRGB;
    Gdiplus::Bitmap bitmap(width, height, format);
    Gdiplus::Rect all(0, 0, width, height);
    Gdiplus::BitmapData data;
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeWrite, format, &data) != Gdiplus::Ok) return false;
    for (int y = 0; y < height; ++y) {
        BYTE* row = static_cast<BYTE*>(data.Scan0) + y * data.Stride;
        if (oneBit) {
            std::memset(row, (y / 64) % 2 ? 0xF0 : 0x0F, data.Stride);
            continue;
        }
        for (int x = 0; x < width; ++x) {
            if (shade < 0) {  // grain: every pixel its own
                const unsigned grain = (x * 2654435761u) ^ (y * 40503u + x * y);
                row[x * 3] = static_cast<BYTE>(grain), row[x * 3 + 1] = static_cast<BYTE>(grain >> 8);
                row[x * 3 + 2] = static_cast<BYTE>(grain >> 16);
                continue;
            }
            row[x * 3] = static_cast<BYTE>(b - (x * shade) / width);
            row[x * 3 + 1] = static_cast<BYTE>(g + (y * shade) / height);
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

// A copy of a JPEG file whose headers pass and whose scan names a component the frame does not
// have: the decoder cannot read it.
void WriteBrokenJpeg(const CString& from, const CString& to) {
    std::vector<BYTE> bytes;
    {
        CFile file;
        REQUIRE(file.Open(from, CFile::modeRead));
        bytes.resize(static_cast<size_t>(file.GetLength()));
        REQUIRE(file.Read(bytes.data(), static_cast<UINT>(bytes.size())) == bytes.size());
    }
    size_t scan = 2;
    while (scan + 5 < bytes.size() && !(bytes[scan] == 0xFF && bytes[scan + 1] == 0xDA))
        scan += 2 + (bytes[scan + 2] << 8 | bytes[scan + 3]);
    REQUIRE(scan + 5 < bytes.size());
    bytes[scan + 5] = 0x77;  // the first component of the scan
    CFile out;
    REQUIRE(out.Open(to, CFile::modeCreate | CFile::modeWrite));
    out.Write(bytes.data(), static_cast<UINT>(bytes.size()));
}

struct Session {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run{[] { g_showNewProjectAtStart = 0; }};
    KorvanelleFrame* frame = nullptr;
    View* view = nullptr;
    CString pictures, red, large, broken;
    std::atomic<bool> hold{false}, entered{false};

    // The Images bar shows a folder with a small red picture, a large blue photo, the same photo
    // broken, and the pictures `more` writes (`count` in all).
    explicit Session(const std::function<void(const CString&)>& more = nullptr, int count = 3) {
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
        broken = pictures + "\\c-broken.jpg";
        WriteBrokenJpeg(large, broken);
        if (more) more(pictures);
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
                       !state.m_folderLoadRunning && state.RecordCount() == count + 1 &&
                       bar.m_imageView.GetShownCount() == count + 1;
            },
            20000));
        // The first three cells are in view and take a double click once their pictures are final;
        // the thumbnails of the others are made all the same.
        REQUIRE(run.Pump(
            [&] {
                for (int i = 0; i < count; ++i) {
                    const ImageRecord* record = state.RecordAt(i);
                    if (!record || record->m_state < (i < 3 ? kImageFinal : kImageDecoded)) return false;
                }
                return true;
            },
            120000));
    }
    ~Session() { PictureDecodeJobs::BeforeDecode() = nullptr; }

    ImageRecord* Record(const CString& path) {
        ImagePanelState& state = *ImagePanelState::Get();
        for (int i = 0; i < state.RecordCount(); ++i)
            if (state.RecordAt(i) && state.RecordAt(i)->m_path == path) return state.RecordAt(i);
        return nullptr;
    }
    // A double click on the picture's cell in the Images bar, with the side selected, posted to the
    // message loop and handled.
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
        cell->PostMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(55, 55));
        MSG m;
        while (::PeekMessageA(&m, cell->m_hWnd, WM_LBUTTONDBLCLK, WM_LBUTTONDBLCLK, PM_NOREMOVE))
            run.app.PumpMessage();
    }
    // A key with Ctrl held (or not), posted to the canvas and handled by the message loop
    // (shortcuts too; a character is typed in at idle time).
    void CtrlKey(UINT vk, bool ctrl = true) {
        BYTE keys[256];
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = keys[VK_LCONTROL] = ctrl ? 0x80 : 0;
        ::SetKeyboardState(keys);
        const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyA(vk, 0)) << 16;
        view->PostMessage(WM_KEYDOWN, vk, scan | 1);
        view->PostMessage(WM_KEYUP, vk, scan | 1 | 0xC0000000);
        MSG m;
        while (::PeekMessageA(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE)) run.app.PumpMessage();
        keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
        ::SetKeyboardState(keys);
        CHECK(run.Pump([&] { return AppCanvasState::Get().m_queuedText.IsEmpty(); }, 5000));
    }
    // A click at the middle of an object on the canvas, through the message loop.
    void Click(const ViewObject* o) {
        double sx = 0, sy = 0;
        view->ModelToDevice(nullptr, Gdiplus::Rect(), sx, sy);
        CPoint origin;
        view->GetScrollOrigin(origin, false);
        const LPARAM at = MAKELPARAM(static_cast<int>((o->left + o->width / 2) * sx) - origin.x,
                                     static_cast<int>((o->top + o->height / 2) * sy) - origin.y);
        view->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        view->PostMessage(WM_LBUTTONUP, 0, at);
        Drawn();
    }
    // A menu command, posted as the menu posts it, carried out.
    void Command(UINT id) {
        frame->PostMessage(WM_COMMAND, id);
        Drawn();
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

// While it lives, the process's address space is taken but for one piece of 32 MB or less, as
// when memory runs out.
struct AddressSpaceTaken {
    std::vector<void*> taken;
    AddressSpaceTaken() {
        while (void* p = ::VirtualAlloc(nullptr, 32 << 20, MEM_RESERVE, PAGE_NOACCESS)) taken.push_back(p);
        ::VirtualFree(taken.back(), 0, MEM_RELEASE);
        taken.pop_back();
    }
    ~AddressSpaceTaken() {
        for (void* p : taken) ::VirtualFree(p, 0, MEM_RELEASE);
    }
};

// A block on the clipboard alone, as another program leaves it.
void PutBlock(UINT format, const void* bytes, size_t size) {
    REQUIRE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(::GlobalLock(block), bytes, size);
    ::GlobalUnlock(block);
    REQUIRE(::SetClipboardData(format, block) != nullptr);
    ::CloseClipboard();
}

// Plain text on the clipboard, and read back.
void PutText(const char* text) {
    PutBlock(CF_TEXT, text, std::strlen(text) + 1);
}

CString ClipboardText() {
    CString text;
    REQUIRE(::OpenClipboard(nullptr));
    if (HANDLE h = ::GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(::GlobalLock(h));
        ::GlobalUnlock(h);
    }
    ::CloseClipboard();
    return text;
}

// The blue pixels of a bitmap, every fourth of every fourth row.
int BluePixels(Gdiplus::Bitmap* bitmap) {
    int n = 0;
    for (UINT y = 0; bitmap && y < bitmap->GetHeight(); y += 4)
        for (UINT x = 0; x < bitmap->GetWidth(); x += 4) {
            Gdiplus::Color c;
            bitmap->GetPixel(static_cast<INT>(x), static_cast<INT>(y), &c);
            n += c.GetB() > 150 && c.GetR() < 60;
        }
    return n;
}

// While it lives, a decode of pictures `width` wide on another thread than this one is held
// (once `holding`) until a thread timer ticks meanwhile: the window answers while work runs aside.
// With `painted` set, the held thread makes that window need painting and lets go once it has
// painted instead (ticked then too).
struct AsideHold;
AsideHold* g_aside = nullptr;
void CALLBACK LetAsideGo(HWND, UINT, UINT_PTR, DWORD);
struct AsideHold {
    const uint32_t width;
    std::atomic<bool> holding, held{false};
    bool ticked = false;
    HWND painted = nullptr;
    const DWORD window = ::GetCurrentThreadId();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, LetAsideGo);
    explicit AsideHold(uint32_t w, bool hold = true) : width(w), holding(hold) {
        g_aside = this;
        PictureMemoryStandIn() = [this](const PictureHeaderCheck& headers) { return Hold(headers), true; };
    }
    ~AsideHold() {
        ::KillTimer(nullptr, timer);
        PictureMemoryStandIn() = nullptr;
        g_aside = nullptr;
    }
    void Hold(const PictureHeaderCheck& headers) {  // for the memory stand-in (at most 10 s)
        if (headers.width != width || ::GetCurrentThreadId() == window || !holding) return;
        held = true;
        if (painted) ::InvalidateRect(painted, nullptr, FALSE);
        for (const DWORD start = ::GetTickCount(); holding && ::GetTickCount() - start < 10000;) {
            if (painted && !::GetUpdateRect(painted, nullptr, FALSE)) {
                ticked = true;
                break;
            }
            ::Sleep(5);
        }
    }
};
void CALLBACK LetAsideGo(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_aside || !g_aside->held) return;
    g_aside->ticked = true;
    g_aside->holding = false;
}

// Save As Image's dialog watched from its own loop: its preview's blue while the session holds
// the picture's decode (which the watch then lets go), and once the picture came, then once more
// for the part `next` names when there is one; then Save Image is pressed (after 15 s in any case),
// its decode held aside. With `cancelHeld` the dialog is cancelled instead while the decode is held.
struct PreviewWatch {
    Session* s = nullptr;
    int ticks = 0, blueWhileHeld = -1, blue = -1;
    bool cancelHeld = false;
    const char* next = nullptr;
};
PreviewWatch* g_previewWatch = nullptr;

void CALLBACK WatchPreview(HWND, UINT, UINT_PTR, DWORD) {
    PreviewWatch& w = *g_previewWatch;
    HWND window = ::FindWindowA("#32770", "Save As Image");
    DlgSaveAsImage* dialog = window ? dynamic_cast<DlgSaveAsImage*>(CWnd::FromHandlePermanent(window)) : nullptr;
    if (!dialog || w.blue >= 0) return;
    AeroPreview& preview = dialog->m_preview;
    const bool drawn = preview.GetCleanSheet() != nullptr, givenUp = ++w.ticks >= 750;
    if (w.s->hold) {
        if (!givenUp && !(drawn && w.s->entered)) return;
        if (drawn) w.blueWhileHeld = BluePixels(preview.GetSheet());
        w.s->hold = w.cancelHeld;
        if (!givenUp && !w.cancelHeld) return;
    }
    if (!givenUp && !w.cancelHeld && (!drawn || preview.PicturesPending())) return;
    if (w.next && !givenUp) {
        // Chosen in the list as the user chooses it.
        dialog->m_images.SetCurSel(dialog->m_images.FindStringExact(-1, w.next));
        ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(dialog->m_images.GetDlgCtrlID(), CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(dialog->m_images.m_hWnd));
        w.next = nullptr;
        return;
    }
    w.blue = BluePixels(preview.GetSheet());
    if (g_aside) g_aside->holding = !w.cancelHeld;
    ::PostMessageA(window, WM_COMMAND, w.cancelHeld ? IDCANCEL : IDOK, 0);
}

// Answers the Print dialog: Preview the first time it shows, Cancel when it comes back.
int g_printDialogs = 0;
HWND g_printDialog = nullptr;
void CALLBACK AnswerPrintDialog(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = ::FindWindowA("#32770", "Print");
    if (dialog == g_printDialog || !(g_printDialog = dialog)) return;
    const int button = g_printDialogs++ == 0 ? IDC_PRINT_PREVIEW : IDCANCEL;
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
}

// Lets a held decode go, when ticked while the copy to the clipboard has not come yet.
std::atomic<bool>* g_heldDecode = nullptr;
bool g_letGoWhileCopying = false;
void CALLBACK LetDecodeGo(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_heldDecode || !*g_heldDecode || ::IsClipboardFormatAvailable(CF_DIB)) return;
    g_letGoWhileCopying = true;
    *g_heldDecode = false;
}

// Drives the Print dialog under a box: once the dialog shows, the held decode of the shown
// picture is let go, fails, and its box comes over the dialog; with the box up, Preview and then
// Cancel are clicked on the dialog (or, with g_closeUnderBox set, File > Exit is chosen on that
// frame and its save question later answered No), and then OK on the box.
std::atomic<bool>* g_boxDecode = nullptr;
bool g_clickedUnderBox = false;
HWND g_closeUnderBox = nullptr;
bool g_answeredNo = false;
void CALLBACK PreviewUnderBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = ::FindWindowA("#32770", "Print"), box = nullptr;
    while ((box = ::FindWindowExA(nullptr, box, "#32770", "Korvanelle")) && !::IsWindowVisible(box)) {}
    static int dialogTicks = 0;  // a Print dialog that the close leaves up is cancelled after 2 s
    if (g_clickedUnderBox && g_closeUnderBox) {
        if (box) {  // No to the save question, OK to any other box
            HWND no = ::GetDlgItem(box, IDNO);
            g_answeredNo |= no != nullptr;
            ::PostMessageA(no ? no : ::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        }
        if (dialog && ++dialogTicks % 100 == 0) ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (dialog) *g_boxDecode = false;
    if (!dialog || !box || g_clickedUnderBox) return;
    ::PostMessageA(::GetDlgItem(dialog, IDC_PRINT_PREVIEW), BM_CLICK, 0, 0);
    if (g_closeUnderBox)
        ::PostMessageA(g_closeUnderBox, WM_COMMAND, ID_APP_EXIT_CMD, 0);
    else
        ::PostMessageA(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    ::PostMessageA(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    g_clickedUnderBox = true;
}

// Answers the boxes of a close: once the save question shows, the held decode is let go; the
// "too large" box it brings is answered OK, and then the question No (after 5 s without it too).
bool g_questionSeen = false, g_tooLargeAnswered = false;
void CALLBACK AnswerCloseBoxes(HWND, UINT, UINT_PTR, DWORD) {
    static DWORD questionAt = 0;
    for (HWND box = nullptr; (box = ::FindWindowExA(nullptr, box, "#32770", "Korvanelle")) != nullptr;) {
        if (!::IsWindowVisible(box)) continue;
        HWND no = ::GetDlgItem(box, IDNO);
        if (no == nullptr) {
            g_tooLargeAnswered = true;
            ::PostMessageA(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        } else if (!g_questionSeen) {
            g_questionSeen = true;
            questionAt = ::GetTickCount();
            *g_boxDecode = false;
        } else if (g_tooLargeAnswered || ::GetTickCount() - questionAt > 5000) {
            ::PostMessageA(no, BM_CLICK, 0, 0);
        }
    }
}

// The blue pixels of the print preview's page.
int PageBlue(CPreviewView* preview) {
    std::unique_ptr<Gdiplus::Bitmap> page(
        Gdiplus::Bitmap::FromHBITMAP(preview->m_pPreviewDC->GetPageBitmap(), nullptr));
    return BluePixels(page.get());
}

// Answers Change Label Template: the disc stock named, then OK.
const char* g_discStock = nullptr;
void CALLBACK ChooseDiscStock(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = ::FindWindowA("#32770", "Change Label Template");
    HWND list = dialog ? ::GetDlgItem(dialog, IDC_STOCK_DISC_LIST) : nullptr;
    const LRESULT at = list ? ::SendMessageA(list, LB_FINDSTRINGEXACT, -1, LPARAM(g_discStock)) : LB_ERR;
    if (at == LB_ERR) return;
    ::SendMessageA(list, LB_SETCURSEL, at, 0);
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_STOCK_DISC_LIST, LBN_SELCHANGE), LPARAM(list));
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

bool IsRed(COLORREF c) {
    return GetRValue(c) > 180 && GetGValue(c) < 80 && GetBValue(c) < 80;
}
bool IsBlue(COLORREF c) {
    return GetBValue(c) > 150 && GetRValue(c) < 60;
}

}  // namespace

TEST_CASE(
    "a large background is the user's action from its choice, decodes while the canvas takes keys, and "
    "undoes") {
    Session s;
    s.DoubleClick(s.red);
    CHECK_FALSE(s.view->HasPicturesPending());  // small pictures are decoded on the spot
    s.Drawn();
    REQUIRE(IsRed(s.SideMiddle()));

    // Held in its decode: the insert returns at once as one step, the picture replacing the red
    // one (shown once its pixels come).
    const int steps = s.view->GetUndoCount();
    s.hold = true;
    s.DoubleClick(s.large);
    CHECK(s.Count(s.large) == 1);
    CHECK(s.Count(s.red) == 0);
    CHECK(s.view->GetUndoCount() == steps + 1);
    CHECK(s.view->HasPicturesPending());
    REQUIRE(s.run.Pump([&] { return s.entered.load(); }, 10000));

    // Ctrl+Z while it decodes takes the insert back: the picture that arrives later goes nowhere,
    // and the red one is back.
    s.CtrlKey('Z');
    s.hold = false;
    s.Arrived();
    CHECK(IsRed(s.SideMiddle()));
    CHECK(s.Count(s.large) == 0);
    CHECK(s.view->m_undoPosition == steps - 1);

    // Left to arrive: inserted as one step, shown with the pixels of a decode and a scaling on the
    // spot.
    s.entered = false;
    s.DoubleClick(s.large);
    CHECK(s.view->HasPicturesPending());
    s.Arrived();
    CHECK(s.entered);
    CHECK(IsBlue(s.SideMiddle()));
    CHECK(s.Count(s.red) == 0);
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
    // One step: Ctrl+Z takes it off, Ctrl+Y brings it back (decoded on a thread from the step's
    // bytes), Ctrl+Z again.
    CHECK(s.view->GetUndoCount() == steps + 1);
    s.CtrlKey('Z');
    s.Drawn();
    CHECK(s.Count(s.large) == 0);
    CHECK(IsRed(s.SideMiddle()));
    s.CtrlKey('Y');
    s.Arrived();
    CHECK(IsBlue(s.SideMiddle()));
    s.CtrlKey('Z');
    s.Drawn();
    CHECK(IsRed(s.SideMiddle()));

    // Headers that pass over a scan the decoder cannot read, with Redo at hand and the design just
    // saved: the message, and the design, its background, the undo steps, Redo and the modified
    // state are as they were (Exit does not ask to save).
    {
        CDocument* doc = s.frame->GetActiveDocument();
        REQUIRE(doc != nullptr);
        doc->SetModifiedFlag(FALSE);
        const int position = s.view->m_undoPosition;
        KvMessageBoxCapture boxes;
        s.DoubleClick(s.broken);
        s.Arrived();
        CHECK(s.Count(s.broken) == 0);
        CHECK(s.Count(s.red) == 1);
        REQUIRE(boxes.Boxes().size() == 1);
        CHECK(boxes.LastText() == "Invalid image format.\r\n\r\nc-broken.jpg");
        CHECK(IsRed(s.SideMiddle()));
        CHECK(s.view->GetUndoCount() == steps + 1);
        CHECK(s.view->m_undoPosition == position);
        CHECK_FALSE(doc->IsModified());
        s.CtrlKey('Y');
        s.Arrived();
        CHECK(IsBlue(s.SideMiddle()));
    }

    SUBCASE("a background that a picture failing after a later step replaced comes back, the step stays") {
        s.Command(ID_INSERT_TEXT);
        ViewObject* text = s.view->m_design.GetFirstSelected();
        REQUIRE(text != nullptr);
        KvMessageBoxCapture boxes;
        s.hold = true;
        s.DoubleClick(s.broken);
        s.Click(text);
        s.CtrlKey('K', false);
        const CString typed = text->GetText();
        s.hold = false;
        s.Arrived();
        CHECK(boxes.LastText() == "Invalid image format.\r\n\r\nc-broken.jpg");
        CHECK(typed.Find('k') >= 0);
        CHECK(text->GetText() == typed);
        CHECK((s.Count(s.large) == 1 && IsBlue(s.SideMiddle())));
        s.CtrlKey('Z');
        s.CtrlKey('Z');
        s.CtrlKey('Y');
        s.Arrived();
        CHECK((s.Count(s.large) == 1 && IsBlue(s.SideMiddle())));
    }

    SUBCASE("a background that a picture failing after its step left the undo list replaced comes back") {
        CDocument* doc = s.frame->GetActiveDocument();
        KvMessageBoxCapture boxes;
        s.hold = true;
        s.DoubleClick(s.broken);
        SUBCASE("fifty later steps, the last one an image") {
            for (int i = 0; i < 49; ++i) s.frame->PostMessage(WM_COMMAND, ID_INSERT_TEXT);
            const UINT_PTR timer = kvtest::AnswerInsertImage(s.red);
            s.Command(ID_INSERT_IMAGE);
            ::KillTimer(nullptr, timer);
        }
        const auto changeDiscStock = [&](const char* name) {
            g_discStock = name;
            const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, ChooseDiscStock);
            s.Command(ID_CHANGE_LABEL_TEMPLATE);
            ::KillTimer(nullptr, timer);
        };
        bool stockChanged = false;
        SUBCASE("the disc's label template changed") {
            changeDiscStock("LightScribe");
            stockChanged = true;
            CHECK(s.view->GetUndoCount() == 0);
        }
        const auto background = [&] {
            return s.view->m_design.FindBackgroundImage(s.view->m_design.GetCurrentSide());
        };
        REQUIRE(background() != nullptr);
        const Gdiplus::Rect place = s.view->ObjectCanvasRect(background());
        doc->SetModifiedFlag(FALSE);  // saved with the picture in
        s.hold = false;
        s.Arrived();
        // The one background, where the picture was; names apart; modified.
        std::set<CString> names;
        int objects = 0, backgrounds = 0;
        s.view->m_design.ForEachObject([&](ViewObject* o) {
            names.insert(o->name);
            ++objects;
            backgrounds += o->IsImage() && o->bBackground;
        });
        CHECK((backgrounds == 1 && s.Count(s.large) == 1 && IsBlue(s.SideMiddle())));
        CHECK((background() && s.view->ObjectCanvasRect(background()).Equals(place)));
        CHECK(names.size() == static_cast<size_t>(objects));
        CHECK(doc->IsModified());
        // Undo all the way and Redo all the way: the side keeps that one background.
        for (UINT command : {ID_EDIT_UNDO_CMD, ID_EDIT_REDO_CMD}) {
            for (int i = 0; i < 50; ++i) s.frame->PostMessage(WM_COMMAND, command);
            s.Drawn();
            backgrounds = 0;
            s.view->m_design.ForEachObject([&](ViewObject* o) { backgrounds += o->IsImage() && o->bBackground; });
            CHECK((backgrounds == 1 && IsBlue(s.SideMiddle())));
        }
        if (stockChanged) changeDiscStock("(CD/DVD Disc Label - Generic)");  // for what follows
    }

    SUBCASE("a background chosen while an earlier one decodes and then fails replaces the one before") {
        CDocument* doc = s.frame->GetActiveDocument();
        KvMessageBoxCapture boxes;
        SUBCASE("from the Images bar") {
            doc->SetModifiedFlag(FALSE);
            s.hold = true;
            s.DoubleClick(s.broken);
            s.DoubleClick(s.red);
        }
        SUBCASE("inserted before, set as background after") {
            const UINT_PTR timer = kvtest::AnswerInsertImage(s.red);
            s.Command(ID_INSERT_IMAGE);
            ::KillTimer(nullptr, timer);
            const CString red = s.view->m_design.GetFirstSelected()->name;
            doc->SetModifiedFlag(FALSE);
            s.hold = true;
            s.DoubleClick(s.broken);
            s.Click(s.view->m_design.FindObject(red));
            s.frame->m_toolProperties.PostMessage(WM_COMMAND, ID_IMAGE_SET_AS_BACKGROUND);
            s.Drawn();
        }
        s.hold = false;
        s.Arrived();
        // One background, and modified exactly when it differs from the file: now, after Ctrl+Z
        // (the saved state) and after Ctrl+Y; Ctrl+Z leaves the photo to what follows.
        for (int k = 0; k < 3; ++k) {
            int backgrounds = 0;
            s.view->m_design.ForEachObject([&](ViewObject* o) { backgrounds += o->IsImage() && o->bBackground; });
            CHECK(backgrounds == 1);
            CHECK(s.Count(k % 2 ? s.large : s.red) == 1);
            CHECK(doc->IsModified() == (k % 2 == 0));
            s.CtrlKey(k % 2 ? 'Y' : 'Z');
        }
    }

    // Chosen, it is the user's action: the design is modified (Exit and New ask); its arrival
    // leaves the side shown, the selection and the keyboard to a text typed into on another side;
    // a text typed into meanwhile is undone first.
    {
        CDocument* doc = s.frame->GetActiveDocument();
        REQUIRE(s.view->m_design.currentSideName == "Disc 1");
        s.Command(ID_VIEW_FRONT_COVER);
        doc->SetModifiedFlag(FALSE);
        s.entered = false;
        s.hold = true;
        s.DoubleClick(s.large);
        REQUIRE(s.run.Pump([&] { return s.entered.load(); }, 10000));
        CHECK(doc->IsModified());
        s.Command(ID_VIEW_DISC_LABEL);
        s.Command(ID_INSERT_TEXT);
        ViewObject* text = s.view->m_design.GetFirstSelected();
        REQUIRE(text != nullptr);
        s.hold = false;
        s.Arrived();
        CHECK(s.view->m_design.currentSideName == "Disc 1");
        CHECK(s.view->m_design.GetFirstSelected() == text);
        s.CtrlKey('M', false);
        const CString typed = text->GetText();
        CHECK(typed.Find('m') >= 0);
        s.Command(ID_VIEW_DISC_LABEL);
        s.hold = true;
        s.DoubleClick(s.large);
        s.Click(text);
        s.CtrlKey('K', false);
        s.CtrlKey('Z');
        CHECK(text->GetText() == typed);
        s.hold = false;
        s.Arrived();
    }

    // Save As Image of the disc, the front cover shown: the dialog and its preview answer while
    // the disc's picture is held in its decode, which never runs on the window's thread, and the
    // preview shows the picture once it comes; the disc chosen alone, shown larger than on its
    // page, gets a copy of its own at that size; saved, the window answers while the image is
    // made, and the file shows the picture.
    {
        s.Command(ID_VIEW_FRONT_COVER);
        const DWORD window = ::GetCurrentThreadId();
        std::atomic<int> decodedHere{0}, decodes{0};
        AsideHold aside(2400, false);
        PictureMemoryStandIn() = [&](const PictureHeaderCheck& headers) {
            if (headers.width == 2400 && ::GetCurrentThreadId() == window) ++decodedHere;
            decodes += headers.width == 2400;
            aside.Hold(headers);
            return true;
        };
        g_exportImageOptions.image = 0;  // Page 1, the disc's
        g_exportImageOptions.fileType = kExportPng;
        const CString saved = s.pictures + "\\saved.png";
        const auto ask = DlgSaveAsImage::s_askFileName;
        DlgSaveAsImage::s_askFileName = [&](CWnd*, CString& path, int&) {
            path = saved;
            return true;
        };
        PreviewWatch watch;
        auto saveAsImage = [&](bool cancelHeld, const char* next) {
            watch = PreviewWatch{&s, 0, -1, -1, cancelHeld, next};
            g_previewWatch = &watch;
            s.entered = false;
            s.hold = true;
            const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, WatchPreview);
            s.frame->PostMessage(WM_COMMAND, ID_SAVE_AS_IMAGE);
            CHECK(s.run.Pump([&] { return watch.blue >= 0 && !::FindWindowA("#32770", "Save As Image"); },
                             30000));
            ::KillTimer(nullptr, timer);
            s.hold = false;
        };
        saveAsImage(false, "Disc Label");
        DlgSaveAsImage::s_askFileName = ask;
        CHECK(decodedHere.load() == 0);
        CHECK(decodes.load() == 3);  // the preview's of the page and of the disc alone, the file's
        CHECK(watch.blueWhileHeld == 0);
        CHECK(watch.blue > 100);
        CHECK(aside.ticked);
        Gdiplus::Bitmap file(AfxWideOf(saved).c_str());
        CHECK(BluePixels(&file) > 1000);
        // A decode that nobody wants any more never starts: cancelled while its preview's picture
        // waits for its decode; the disc shown while its picture waits, and the front cover again
        // at once, whose picture comes.
        decodes = 0;
        saveAsImage(true, nullptr);
        PictureDecodeJobs::EndRetired();
        CHECK(decodes.load() == 0);
        s.Arrived();
        s.hold = true;
        s.Command(ID_VIEW_DISC_LABEL);
        s.Command(ID_VIEW_FRONT_COVER);
        s.hold = false;
        s.Arrived();
        PictureMemoryStandIn() = nullptr;
        CHECK(decodes.load() == 1);
        CHECK(s.view->m_design.FindObjectIf([](const ViewObject* o) {
            return o->decodedImage && o->sideName == "Front Cover";
        }) != nullptr);
    }

    // Print Preview chosen in the Print dialog: the page shows, and the window answers, while the
    // disc's picture is held in its decode, which never runs on the window's thread; the page
    // shows the picture once it comes.
    {
        if (s.run.app.GetCurrentPrintDriver() == nullptr) {
            REQUIRE(s.run.app.m_printerList.AddLocalPrinters());
            REQUIRE(s.run.app.AddDefaultPrinter() != nullptr);
        }
        const DWORD window = ::GetCurrentThreadId();
        std::atomic<int> decodedHere{0};
        PictureMemoryStandIn() = [&](const PictureHeaderCheck& headers) {
            if (headers.width == 2400 && ::GetCurrentThreadId() == window) ++decodedHere;
            return true;
        };
        s.entered = false;
        s.hold = true;
        g_printDialogs = 0;  // the case runs once per subcase
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, AnswerPrintDialog);
        s.frame->PostMessage(WM_COMMAND, ID_FILE_PRINT);
        CPreviewView* preview = nullptr;
        CHECK(s.run.Pump([&] {
            preview = dynamic_cast<CPreviewView*>(s.frame->GetActiveView());
            return preview && preview->m_bPageRendered && s.entered;
        }, 20000));
        REQUIRE(preview != nullptr);
        CHECK(s.view->PrintPreviewPicturesPending());
        CHECK(PageBlue(preview) == 0);
        // Made larger step by step meanwhile, the page drawn at each size: the one decode is not
        // joined by others, and its copy comes at the last size.
        std::atomic<int> decodes{0};
        const std::function<void()> held = PictureDecodeJobs::BeforeDecode();
        PictureDecodeJobs::BeforeDecode() = [&] { ++decodes, held(); };
        for (int step = 0; step < 3; ++step) {
            const CSize page = preview->m_pPreviewDC->GetShownSize();
            CRect r;
            s.frame->GetWindowRect(&r);
            s.frame->SetWindowPos(nullptr, 0, 0, r.Width() + 60, r.Height() + 40, SWP_NOZORDER | SWP_NOMOVE);
            CHECK(s.run.Pump([&] { return preview->m_pPreviewDC->GetShownSize() != page; }, 5000));
        }
        CHECK(decodes.load() == 0);
        s.hold = false;
        CHECK(s.run.Pump([&] { return !s.view->PrintPreviewPicturesPending(); }, 20000));
        CHECK(PageBlue(preview) > 100);
        // Maximised once the copy came: the page is drawn at that size from it, with no new decode.
        s.frame->PostMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
        CHECK(s.run.Pump([&] { return s.frame->IsZoomed() && preview->PageAtWindowSize(); }, 5000));
        CHECK_FALSE(s.view->PrintPreviewPicturesPending());
        CHECK((decodes.load() == 0 && PageBlue(preview) > 100));
        s.frame->ShowWindow(SW_RESTORE);
        PictureDecodeJobs::BeforeDecode() = held;
        s.frame->PostMessage(WM_COMMAND, AFX_ID_PREVIEW_CLOSE);  // its Close: the Print dialog comes back
        CHECK(s.run.Pump([&] { return g_printDialogs == 2 && !::FindWindowA("#32770", "Print"); }, 20000));
        ::KillTimer(nullptr, timer);
        PictureMemoryStandIn() = nullptr;
        CHECK(decodedHere.load() == 0);
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

TEST_CASE(
    "pictures of up to 100 megapixels show in the Images bar and are inserted, larger ones are too large") {
    // A camera's photo (60 megapixels, 9504 pixels wide), a black-and-white PNG of 36 megapixels in
    // 16 KB, and a PNG whose header claims 100,010,000 pixels.
    CString camera, bits, huge;
    const BYTE header[] = {0x89, 'P',  'N',  'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0,
                           0,    0x27, 0x11, 0,   0,    0x27, 0x10, 8,    2, 0, 0, 0,  0,   0,   0,   0};
    Session s(
        [&](const CString& pictures) {
            camera = pictures + "\\0-camera.jpg";
            huge = pictures + "\\1-huge.png";
            bits = pictures + "\\y-bits.png";
            REQUIRE(WritePicture(camera, 9504, 6336, L"image/jpeg", 20, 200, 40));
            REQUIRE(WritePicture(bits, 6000, 6000, L"image/png", 0, 0, 0, 0, true));
            CFile out;
            REQUIRE(out.Open(huge, CFile::modeCreate | CFile::modeWrite));
            out.Write(header, sizeof header);
        },
        6);
    CHECK(s.Record(camera)->m_imageWidth == 9504);
    CHECK(s.Record(bits)->m_imageHeight == 6000);
    CHECK(s.Record(huge)->m_imageWidth == 0);

    KvMessageBoxCapture boxes;
    s.DoubleClick(camera);
    s.Arrived();
    CHECK(boxes.Boxes().empty());
    CHECK(s.Count(camera) == 1);
    const COLORREF shown = s.SideMiddle();
    CHECK((GetGValue(shown) > 150 && GetRValue(shown) < 80));

    s.DoubleClick(huge);
    s.Arrived();
    CHECK(s.Count(huge) == 0);
    CHECK(s.Count(camera) == 1);
    REQUIRE(boxes.Boxes().size() == 1);
    CHECK(boxes.LastText().Find("too large") >= 0);

    // Saved with a picture on the back cover whose header claims 100,010,000 pixels, another side
    // than the photo's shown, and opened again from the recent-file list: the photo is not decoded
    // for the open, and only the claimed picture is named, with the side it lies on.
    ViewObject* photo =
        s.view->m_design.FindObjectIf([&](const ViewObject* o) { return o->imagePath == camera; });
    REQUIRE(photo != nullptr);
    const CString photoSide = photo->sideName, photoName = photo->name;
    const std::map<CString, UINT> show = {{"Disc 1", ID_VIEW_DISC_LABEL},
                                          {"Front Cover", ID_VIEW_FRONT_COVER},
                                          {"Back Cover", ID_VIEW_BACK_COVER}};
    REQUIRE(show.count(photoSide) == 1);
    ViewObject* back = s.view->m_design.FindObject("Back Cover");
    REQUIRE(back != nullptr);
    ViewObject* claimed =
        NewViewObject(kObjectImage, "Image", back->side, back->name, back->left, back->top, 1000, 1000);
    REQUIRE(claimed->image.SetBytes(header, sizeof header));
    s.view->m_design.AssignUniqueName(claimed);
    const CString claimedName = claimed->name;
    s.view->m_design.AddObject(claimed);
    s.frame->PostMessage(WM_COMMAND, photoSide == "Disc 1" ? ID_VIEW_FRONT_COVER : ID_VIEW_DISC_LABEL);
    REQUIRE(s.run.Pump([&] { return s.view->m_design.currentSideName != photoSide; }, 10000));
    CDocument* doc = s.frame->GetActiveDocument();
    doc->SetPathName(CString(s.folders.Root().c_str()) + "\\Photo.kvl", TRUE);
    static_cast<KorvanelleDoc*>(doc)->OnFileSave();
    REQUIRE_FALSE(doc->IsModified());
    std::atomic<int> photoDecodes{0};
    const auto counting = [&](const PictureHeaderCheck& headers) {
        photoDecodes += headers.width == 9504;
        return true;
    };
    PictureMemoryStandIn() = counting;
    s.frame->PostMessage(WM_COMMAND, ID_FILE_MRU_FILE1_CMD);
    REQUIRE(s.run.Pump([&] { return boxes.Boxes().size() == 2; }, 30000));
    CHECK(boxes.LastText().Find(":\r\n\r\n" + claimedName + " on the Back Cover") > 0);
    CHECK(photoDecodes == 0);

    // Shown while memory is short for the photo, its side shows without it and names it.
    PictureMemoryStandIn() = [&](const PictureHeaderCheck& headers) { return headers.width != 9504; };
    s.frame->PostMessage(WM_COMMAND, show.at(photoSide));
    REQUIRE(s.run.Pump([&] { return boxes.Boxes().size() == 3; }, 30000));
    CHECK(boxes.LastText().Find("too large to be shown") >= 0);
    CHECK(boxes.LastText().Find(photoName) >= 0);
    s.frame->PostMessage(WM_COMMAND, photoSide == "Disc 1" ? ID_VIEW_FRONT_COVER : ID_VIEW_DISC_LABEL);
    REQUIRE(s.run.Pump([&] { return s.view->m_design.currentSideName != photoSide; }, 10000));
    PictureMemoryStandIn() = counting;

    // Its side shown: the side answers while the photo is held in its decode on a thread, and the
    // photo comes from there.
    s.entered = false;
    s.hold = true;
    s.frame->PostMessage(WM_COMMAND, show.at(photoSide));
    REQUIRE(s.run.Pump([&] { return s.view->m_design.currentSideName == photoSide && s.entered; }, 10000));
    s.Drawn();
    CHECK(s.view->HasPicturesPending());
    CHECK_FALSE((GetGValue(s.SideMiddle()) > 150 && GetRValue(s.SideMiddle()) < 80));
    // Copied meanwhile (Copy Object), it waits for that decode with the window answering (a timer
    // ticks, and lets the decode go), and takes its pixels from there.
    PutText("Kept");
    g_heldDecode = &s.hold;
    const UINT_PTR letGo = ::SetTimer(nullptr, 0, 20, LetDecodeGo);
    s.view->OnSelectionChanged(photoName);
    s.frame->PostMessage(WM_COMMAND, ID_COPY_OBJECT);
    CHECK(s.run.Pump([] { return ::IsClipboardFormatAvailable(CF_DIB) != FALSE; }, 20000));
    ::KillTimer(nullptr, letGo);
    CHECK(g_letGoWhileCopying);
    s.hold = false;
    s.Arrived();
    CHECK(photoDecodes == 1);
    CHECK((GetGValue(s.SideMiddle()) > 150 && GetRValue(s.SideMiddle()) < 80));
    PictureMemoryStandIn() = nullptr;
    CHECK(boxes.Boxes().size() == 3);

    // Copy Object and Paste Object of the photo from the menu: other programs get its bitmap, and
    // the paste is a copy of the photo's own bytes.
    photo = s.view->m_design.FindObject(photoName);
    REQUIRE(photo != nullptr);
    const size_t before = boxes.Boxes().size();
    auto command = [&](UINT id, size_t boxCount, const ViewObject* target = nullptr) {
        s.view->OnSelectionChanged((target ? target : photo)->name);
        s.frame->PostMessage(WM_COMMAND, id);
        MSG m;
        while (::PeekMessageA(&m, s.frame->m_hWnd, WM_COMMAND, WM_COMMAND, PM_NOREMOVE))
            s.run.app.PumpMessage();
        CHECK(boxes.Boxes().size() == before + boxCount);
    };
    command(ID_COPY_OBJECT, 0);
    CHECK(::IsClipboardFormatAvailable(CF_DIB));
    auto images = [&] {
        int n = 0;
        s.view->m_design.ForEachObject([&](ViewObject* o) { n += o->IsImage() ? 1 : 0; });
        return n;
    };
    const int held = images();
    command(ID_PASTE_OBJECT, 0);
    REQUIRE(images() == held + 1);
    ViewObject* pasted = s.view->m_design.GetFirstSelected();
    REQUIRE(pasted->IsImage());
    CHECK(pasted->image.GetSize() == photo->image.GetSize());
    CHECK(pasted->decodedImage->GetWidth() == 9504u);
    // Cut Object of it: another program that asks for the bitmap later gets the photo, made from
    // the bytes copied while the window paints.
    command(ID_CUT_OBJECT, 0, pasted);
    REQUIRE(images() == held);
    {
        AsideHold aside(9504);
        aside.painted = s.view->m_hWnd;
        REQUIRE(::OpenClipboard(nullptr));
        const BYTE* dib = static_cast<const BYTE*>(::GlobalLock(::GetClipboardData(CF_DIB)));
        CHECK(aside.ticked);
        REQUIRE(dib != nullptr);
        const BITMAPINFOHEADER& info = *reinterpret_cast<const BITMAPINFOHEADER*>(dib);
        CHECK((info.biWidth == 9504 && info.biHeight == 6336 && info.biBitCount == 24));
        // Bottom-up rows of green, darker at the top (20, 200, 40), lighter at the bottom.
        const BYTE* top = dib + sizeof info + 9504 * 3 * 6335;
        CHECK((std::abs(top[1] - 200) < 8 && std::abs(top[2] - 20) < 8));
        CHECK(std::abs(dib[sizeof info + 1] - 240) < 8);
        ::GlobalUnlock(::GetClipboardData(CF_DIB));
        ::CloseClipboard();
    }
    command(ID_PASTE_OBJECT, 0);
    CHECK(images() == held + 1);

    // With no memory left for its bitmap, the copy carries the bytes alone and says so; a picture
    // too large for any bitmap leaves what the clipboard held.
    {
        AddressSpaceTaken shortOfMemory;
        command(ID_COPY_OBJECT, 1);
    }
    CHECK(boxes.LastText().Find("too large to be copied as a bitmap") >= 0);
    CHECK(::IsClipboardFormatAvailable(PictureClipboardFormat()));
    CHECK_FALSE(::IsClipboardFormatAvailable(CF_DIB));
    PutText("Kept");
    s.view->m_imageToCopy = huge;  // as the Images bar's menu leaves it
    command(ID_COPY_IMAGE, 2);
    CHECK(boxes.LastText().Find("too large to copy") >= 0);
    CHECK(ClipboardText() == "Kept");
    {  // the photo from there: decoded while the window answers, its bitmap offered
        AsideHold aside(9504);
        s.view->m_imageToCopy = camera;
        command(ID_COPY_IMAGE, 2);
        CHECK((aside.ticked && ::IsClipboardFormatAvailable(CF_DIB)));
    }

    SUBCASE("a large picture that memory is short for is refused at once and named, the side kept") {
        const COLORREF shownBefore = s.SideMiddle();
        PictureMemoryStandIn() = [](const PictureHeaderCheck& headers) { return headers.width != 2400; };
        const UINT_PTR timer = kvtest::AnswerInsertImage(s.large);
        command(ID_INSERT_IMAGE, 3);
        ::KillTimer(nullptr, timer);
        PictureMemoryStandIn() = nullptr;
        CHECK(boxes.LastText().Find("This picture is too large.") == 0);
        CHECK(boxes.LastText().Find("b-large.jpg") > 0);
        s.Arrived();
        CHECK(images() == held + 1);
        CHECK(s.SideMiddle() == shownBefore);
        // Drawn at a new size while memory is short, the photo is not shown as a black copy
        // once memory is back.
        {
            AddressSpaceTaken shortOfMemory;
            s.Command(ID_VIEW_ZOOM_IN);
        }
        s.Command(ID_SHOW_GRID);
        s.Command(ID_SHOW_GRID);
        CHECK((GetGValue(s.SideMiddle()) > 150 && GetRValue(s.SideMiddle()) < 80));
    }
    // Copied, then the program ends: the copy keeps its bitmap for the programs that paste later.
    s.view->OnSelectionChanged(photo->name);
    s.Command(ID_COPY_OBJECT);
    s.run.Close();
    REQUIRE(::OpenClipboard(nullptr));
    const void* dib = ::GlobalLock(::GetClipboardData(CF_DIB));
    CHECK((dib && static_cast<const BITMAPINFOHEADER*>(dib)->biWidth == 9504));
    ::CloseClipboard();
}

TEST_CASE("Preview clicked in the Print dialog under a box, then Cancel: the preview opens, the program still quits") {
    Session s;
    s.DoubleClick(s.large);
    s.Arrived();
    s.Command(ID_VIEW_FRONT_COVER);
    // Shown again, the picture is too large for the memory left: its box comes over the Print dialog.
    PictureMemoryStandIn() = [](const PictureHeaderCheck& headers) { return headers.width != 2400; };
    s.hold = true;
    s.Command(ID_VIEW_DISC_LABEL);
    g_boxDecode = &s.hold;
    g_clickedUnderBox = false;
    const HWND frame = s.frame->m_hWnd;
    SUBCASE("File > Exit in place of Cancel: the save question, and the program ends") {
        g_closeUnderBox = frame;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, PreviewUnderBox);
        s.frame->PostMessage(WM_COMMAND, ID_FILE_PRINT_CMD);
        CHECK(s.run.Pump([&] { return !::IsWindow(frame); }, 30000));
        CHECK(g_answeredNo);
        ::KillTimer(nullptr, timer);
        g_closeUnderBox = nullptr;
        PictureMemoryStandIn() = nullptr;
    }
    SUBCASE("Cancel: the preview opens; closed, the program ends after the save question") {
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, PreviewUnderBox);
        s.frame->PostMessage(WM_COMMAND, ID_FILE_PRINT_CMD);
        CHECK(s.run.Pump([] { return g_clickedUnderBox && !::FindWindowA("#32770", "Print"); }, 30000));
        ::KillTimer(nullptr, timer);
        PictureMemoryStandIn() = nullptr;
        // The first end decides: the preview opens. The close box ends the program, not the preview
        // alone: the save question comes, and its Cancel keeps the program and the design, with no
        // Print dialog back (one that came would be cancelled and counted).
        CHECK(s.run.Pump([&] { return s.frame->IsInPreview() != FALSE; }, 10000));
        g_printDialogs = 1;
        g_printDialog = nullptr;
        const UINT_PTR answer = ::SetTimer(nullptr, 0, 20, AnswerPrintDialog);
        {
            KvMessageBoxCapture boxes(IDCANCEL);
            s.frame->PostMessage(WM_SYSCOMMAND, SC_CLOSE);
            CHECK(s.run.Pump([&] { return !boxes.Boxes().empty() || g_printDialogs > 1; }, 20000));
            CHECK(boxes.LastText().Find("Save changes") == 0);
        }
        CHECK(g_printDialogs == 1);
        CHECK_FALSE(s.frame->IsInPreview());
        CHECK(AppCanvasState::Get().m_inPrintPreview == 0);
        CHECK(s.frame->GetActiveDocument()->IsModified());
        // Previewed again, the disc's picture shown once more and held in its decode, File > Exit:
        // the save question comes, the decode is let go, its "too large" box comes over the
        // question, and then No to the question ends the program.
        PictureMemoryStandIn() = [](const PictureHeaderCheck& headers) { return headers.width != 2400; };
        s.Command(ID_VIEW_FRONT_COVER);
        s.hold = true;
        s.Command(ID_VIEW_DISC_LABEL);
        g_printDialogs = 0;
        s.frame->PostMessage(WM_COMMAND, ID_FILE_PRINT_CMD);
        CHECK(s.run.Pump([&] { return s.frame->IsInPreview() != FALSE; }, 20000));
        g_questionSeen = g_tooLargeAnswered = false;
        const UINT_PTR close = ::SetTimer(nullptr, 0, 20, AnswerCloseBoxes);
        s.frame->PostMessage(WM_COMMAND, ID_APP_EXIT_CMD);
        CHECK(s.run.Pump([&] { return !::IsWindow(frame); }, 20000));
        ::KillTimer(nullptr, close);
        ::KillTimer(nullptr, answer);
        PictureMemoryStandIn() = nullptr;
        CHECK(g_printDialogs == 1);
        CHECK(g_tooLargeAnswered);
    }
}

namespace {

// Another program's side of the clipboard, on a thread of its own: it holds the clipboard open
// from the start; asked, it takes the bitmap offered (made then by the program that offered it;
// `asks` times in a row, as a program that tries again) and lets the clipboard go.
struct OtherProgram {
    std::atomic<bool> open{false}, asked{false}, answered{false};
    std::atomic<LONG> width{0};
    std::atomic<int> asks{1};
    std::thread thread{[this] {
        HWND window =
            ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        open = ::OpenClipboard(window) != FALSE;
        while (open && !asked) ::Sleep(5);
        for (int i = 0; open && i < asks; ++i) {
            HANDLE dib = ::GetClipboardData(CF_DIB);
            if (const void* p = dib ? ::GlobalLock(dib) : nullptr) {
                width = static_cast<const BITMAPINFOHEADER*>(p)->biWidth;
                ::GlobalUnlock(dib);
            }
        }
        if (open) ::CloseClipboard();
        ::DestroyWindow(window);
        answered = true;
    }};
    OtherProgram() {
        while (!open && !answered) ::Sleep(5);
    }
    ~OtherProgram() {
        asked = true;
        thread.join();
    }
};

// Once a box shows, the other program asks for the bitmap; the box is answered once it has it. A
// window's thread that does not get the bitmap made in 30 s never will: the test ends, failed.
OtherProgram* g_other = nullptr;
DWORD g_askedAt = 0;
void CALLBACK AskUnderBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    while ((box = ::FindWindowExA(nullptr, box, "#32770", "Korvanelle")) && !::IsWindowVisible(box)) {}
    if (box && !g_askedAt) {
        g_askedAt = ::GetTickCount();
        g_other->asked = true;
    }
    if (box && g_other->answered) ::PostMessageA(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    if (g_askedAt && !g_other->answered && ::GetTickCount() - g_askedAt > 30000) {
        std::fputs("The bitmap asked for while the box was up was never made: the program hangs.\n", stderr);
        std::fflush(stderr);
        ::TerminateProcess(::GetCurrentProcess(), 3);
    }
}

}  // namespace

TEST_CASE("Copy Object refused for the clipboard in use: a bitmap asked for while its box is up is made") {
    CString big;
    Session s(
        [&](const CString& pictures) {
            REQUIRE(WritePicture(big = pictures + "\\0-big.jpg", 4000, 4000, L"image/jpeg", 20, 200, 40));
        },
        4);
    s.DoubleClick(big);
    s.Arrived();
    const ViewObject* photo =
        s.view->m_design.FindObjectIf([&](const ViewObject* o) { return o->imagePath == big; });
    REQUIRE(photo != nullptr);
    // Copied: its bitmap is offered, made when a program asks for it. Another program holds the
    // clipboard open; copied again, the copy is refused and says so, and that program asks for the
    // first copy's bitmap while the box is up.
    s.view->OnSelectionChanged(photo->name);
    s.Command(ID_COPY_OBJECT);
    REQUIRE(::GetClipboardOwner() == s.view->m_hWnd);
    OtherProgram other;
    REQUIRE(other.open);
    g_other = &other;
    g_askedAt = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, AskUnderBox);
    s.Command(ID_COPY_OBJECT);
    ::KillTimer(nullptr, timer);
    CHECK(g_askedAt != 0);
    CHECK(other.answered);
    CHECK(other.width == 4000);
    // Cut, and asked for twice when too little memory is left to decode it again: the program gets
    // no bitmap, and the user hears of it once the program waits no more (a box that waits for the
    // user while the program waits for its second answer keeps it waiting). Closed from elsewhere
    // while the bitmap is made, the save question (cancelled) waits as well.
    s.Command(ID_CUT_OBJECT);
    const DWORD window = ::GetCurrentThreadId();
    const HWND frame = s.frame->m_hWnd;
    PictureMemoryStandIn() = [&](const PictureHeaderCheck& headers) {
        if (::GetCurrentThreadId() != window) ::PostMessageA(frame, WM_CLOSE, 0, 0);
        return headers.width != 4000;
    };
    KvMessageBoxCapture boxes;
    LONG width = -1;
    bool keptWaiting = false;
    OtherProgram* asking = nullptr;
    boxes.m_answer = [&](const KvMessageBoxRequest&) {
        keptWaiting |= asking && !s.run.Pump([&] { return asking->answered.load(); }, 5000);
        return IDCANCEL;
    };
    {
        OtherProgram late;
        asking = &late;
        late.asks = 2;
        late.asked = true;
        CHECK(s.run.Pump([&] { return late.answered.load(); }, 20000));
        width = late.width;
        asking = nullptr;
    }
    PictureMemoryStandIn() = nullptr;
    s.Drawn();
    CHECK(width == 0);
    CHECK_FALSE(keptWaiting);
    REQUIRE_FALSE(boxes.Boxes().empty());
    CHECK(boxes.Boxes().front().text.Find("Save changes") == 0);
    CHECK(boxes.LastText().Find("could not be made") > 0);
}

// The private memory the process has committed.
size_t CommittedBytes() {
    size_t total = 0;
    MEMORY_BASIC_INFORMATION m;
    for (const char* p = nullptr; ::VirtualQuery(p, &m, sizeof m) == sizeof m && p <= m.BaseAddress;
         p = static_cast<const char*>(m.BaseAddress) + m.RegionSize)
        total += m.State == MEM_COMMIT && m.Type == MEM_PRIVATE ? m.RegionSize : 0;
    return total;
}

TEST_CASE("Print Preview closed 0.3 s after it shows while the canvas decodes a photo: none is too large") {
    // A photo of 16.7 megapixels in grain, whose bytes are tens of megabytes.
    CString photo;
    Session s(
        [&](const CString& folder) {
            photo = folder + "\\0-grain.png";
            REQUIRE(WritePicture(photo, 4096, 4096, L"image/png", 0, 0, 0, -1));
        },
        4);
    WIN32_FILE_ATTRIBUTE_DATA file;
    REQUIRE(::GetFileAttributesExA(photo, GetFileExInfoStandard, &file));
    s.DoubleClick(photo);
    s.Arrived();
    // Shown again, the photo's decode waits on its thread until let go; there is memory for it
    // then only as long as no more is held than when Print was chosen.
    std::atomic<bool> holding{true}, held{false};
    size_t atPrint = 0;
    const DWORD window = ::GetCurrentThreadId();
    PictureMemoryStandIn() = [&](const PictureHeaderCheck& headers) {
        if (headers.width != 4096 || ::GetCurrentThreadId() == window) return true;
        for (held = true; holding;) ::Sleep(5);
        return CommittedBytes() < atPrint + file.nFileSizeLow / 2;
    };
    KvMessageBoxCapture boxes;
    for (int run = 0; run < 2; ++run) {
        s.Command(ID_VIEW_FRONT_COVER);
        holding = true, held = false;
        s.Command(ID_VIEW_DISC_LABEL);
        REQUIRE(s.run.Pump([&] { return held.load(); }, 20000));
        atPrint = CommittedBytes();
        // File > Print, Preview; Close 0.3 s after the preview shows (its picture still coming),
        // and Cancel in the Print dialog that comes back.
        g_printDialogs = 0, g_printDialog = nullptr;
        const UINT_PTR answer = ::SetTimer(nullptr, 0, 20, AnswerPrintDialog);
        s.frame->PostMessage(WM_COMMAND, ID_FILE_PRINT_CMD);
        REQUIRE(s.run.Pump([&] { return s.frame->IsInPreview() && s.view->PrintPreviewPicturesPending(); },
                           20000));
        const DWORD shown = ::GetTickCount();
        s.run.Pump([&] { return ::GetTickCount() - shown >= 300; }, 1000);
        // Its decode waits its turn behind the canvas's without a copy of the photo.
        CHECK(CommittedBytes() < atPrint + file.nFileSizeLow / 2);
        s.frame->PostMessage(WM_COMMAND, AFX_ID_PREVIEW_CLOSE);
        CHECK(s.run.Pump([] { return g_printDialogs == 2 && !::FindWindowA("#32770", "Print"); }, 20000));
        ::KillTimer(nullptr, answer);
        holding = false;
        s.Arrived();
    }
    PictureMemoryStandIn() = nullptr;
    CHECK(boxes.Boxes().empty());
    CHECK(s.view->m_design.FindObjectIf(
        [&](const ViewObject* o) { return o->imagePath == photo && o->adjustedImage; }));
}

TEST_CASE("a grey photo that memory is short for when it is converted keeps its own bytes and is named") {
    kvtest::TemporaryUserFolders folders;
    kvtest::RunningApp run{[] { g_showNewProjectAtStart = 0; }};
    REQUIRE(run.Started());
    KorvanelleFrame* frame = GetMainFrame();
    View* view = View::GetCurrent();
    const CString root = folders.Root().c_str();
    const CString photo = root + "\\grey-photo.jpg", path = root + "\\Grey.kvl";
    REQUIRE(::CopyFileA(CString("Z:") + KV_APP_DATA_DIR + "/grey-photo.jpg", photo, FALSE));
    const auto fileBytes = [](const CString& name) {
        CFile file;
        REQUIRE(file.Open(name, CFile::modeRead));
        std::vector<BYTE> bytes(static_cast<size_t>(file.GetLength()));
        REQUIRE(file.Read(bytes.data(), static_cast<UINT>(bytes.size())) == bytes.size());
        return bytes;
    };
    const std::vector<BYTE> bytes = fileBytes(photo);
    // GDI+ decodes it as a palette bitmap, which is drawn into a 32-bit copy and kept as a PNG.
    bool save = false;
    SUBCASE("the copy cannot be drawn") {}
    SUBCASE("its PNG fails on the way") {
        save = true;
    }
    kvtest::GdiplusRefusal refusal(320, 240, !save, save);
    KvMessageBoxCapture boxes;
    const auto images = [&] {
        int n = 0;
        view->m_design.ForEachObject([&](ViewObject* o) { n += o->IsImage(); });
        return n;
    };
    // A menu command, its file dialog answered, carried out.
    const auto command = [&](UINT id, const char* dialog = nullptr, const CString& file = CString()) {
        const UINT_PTR timer = dialog ? kvtest::AnswerFileDialog(dialog, file) : 0;
        frame->PostMessage(WM_COMMAND, id);
        CHECK(run.Pump([&] { return !(::GetQueueStatus(QS_POSTMESSAGE | QS_PAINT) >> 16); }, 10000));
        if (timer) ::KillTimer(nullptr, timer);
    };

    // Insert > Image: refused as too large, not put in as a blank picture.
    command(ID_INSERT_IMAGE, "Insert Image", photo);
    CHECK(boxes.LastText().Find("This picture is too large.") == 0);
    CHECK(images() == 0);
    // A design holding its bytes, saved, opened again: named as too large to be shown, and kept; a
    // save writes its own bytes.
    ViewObject* side = view->m_design.GetCurrentSide();
    ViewObject* kept =
        NewViewObject(kObjectImage, "Image", side->side, side->name, side->left, side->top, 1000, 1000);
    REQUIRE(kept->image.SetBytes(bytes.data(), static_cast<ULONG>(bytes.size())));
    view->m_design.AddObject(kept);
    command(ID_FILE_SAVE_AS_CMD, "Save As", path);
    command(ID_FILE_MRU_FILE1_CMD);
    CHECK(boxes.LastText().Find("too large to be shown") > 0);
    CHECK(boxes.LastText().Find("\r\n\r\nImage on Disc 1") > 0);
    CHECK(images() == 1);
    command(ID_FILE_SAVE_CMD);
    const std::vector<BYTE> saved = fileBytes(path);
    CHECK(std::search(saved.begin(), saved.end(), bytes.begin(), bytes.end()) != saved.end());
    // Pasted as a 16-bit bitmap of its size: refused as too large, not put in blank.
    std::vector<BYTE> dib(sizeof(BITMAPINFOHEADER) + 320 * 240 * 2, 0x5A);
    BITMAPINFOHEADER& info = *reinterpret_cast<BITMAPINFOHEADER*>(dib.data());
    info = {sizeof info, 320, 240, 1, 16, BI_RGB, 0, 0, 0, 0, 0};
    PutBlock(CF_DIB, dib.data(), dib.size());
    command(ID_PASTE_OBJECT);
    CHECK(boxes.LastText().Find("This picture is too large to paste.") == 0);
    CHECK(images() == 1);
    run.Close();
}
