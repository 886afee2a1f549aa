// The real clipboard under Wine: objects copied from one design and pasted into another (a text,
// a track list that changes its layout with the side, an image), selected text as plain text,
// foreign blocks under the program's own format name, and Cut Object with undo.
#include <doctest.h>

#include <cstring>
#include <string>
#include <vector>

#include "CanvasFixture.h"
#include "canvas/AppCanvasState.h"
#include "res/CommandIds.h"

using namespace cvtest;

namespace {

UINT OwnFormat() {
    static UINT format = ::RegisterClipboardFormatA("Korvanelle500");
    AppCanvasState::Get().m_clipboardFormat = static_cast<WORD>(format);
    return format;
}

int CountObjects(View* view) {
    int n = 0;
    view->m_design.ForEachObject([&](ViewObject*) { ++n; });
    return n;
}

std::string ClipboardText() {
    std::string text;
    if (!::OpenClipboard(nullptr)) return text;
    if (HANDLE h = ::GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(::GlobalLock(h))) {
            text = p;
            ::GlobalUnlock(h);
        }
    }
    ::CloseClipboard();
    return text;
}

void PutBlock(UINT format, const std::vector<unsigned char>& bytes) {
    REQUIRE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(::GlobalLock(block), bytes.data(), bytes.size());
    ::GlobalUnlock(block);
    REQUIRE(::SetClipboardData(format, block) != nullptr);
    ::CloseClipboard();
}

std::vector<unsigned char> RecordOf(ViewObject& o) {
    CMemFile file(1024);
    {
        CArchive ar(&file, CArchive::store, 4096);
        o.Serialize(ar);
        ar.Close();
    }
    const BYTE* p = file.GetData();
    return std::vector<unsigned char>(p, p + static_cast<size_t>(file.GetLength()));
}

}  // namespace

TEST_CASE("a text and a track list travel between two designs; a track list takes the side's layout") {
    View* view = EnsureView();
    OwnFormat();
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    ViewObject* side = view->m_design.GetCurrentSide();
    ViewObject* t = AddText(view, "Text 1", "Hello\b", side->left + 500, side->top + 500, 2000, 400);
    std::strcpy(t->charFonts[0]->lfFaceName, "Courier New");
    *t->charColors[0] = RGB(1, 2, 3);
    t->charUnderlines[1] = 1;
    view->OnSelectionChanged("Text 1", FALSE);
    view->OnCopyObject();

    NewDesign(view, kLayout1DiscTop, "Back Cover");
    const int objects = CountObjects(view);
    view->OnPasteObject();
    CHECK(CountObjects(view) == objects + 1);
    ViewObject* pasted = view->m_design.GetFirstSelected();
    REQUIRE(pasted != nullptr);
    CHECK(pasted->IsText());
    CHECK(pasted->GetText() == "Hello\b");
    CHECK(std::string(pasted->charFonts[0]->lfFaceName) == "Courier New");
    CHECK(*pasted->charColors[0] == RGB(1, 2, 3));
    CHECK(pasted->charUnderlines[1] != 0);
    CHECK(pasted->sideName == view->m_design.currentSideName);
    CHECK(view->GetUndoCount() == 1);
    view->OnEditUndo();
    CHECK(CountObjects(view) == objects);

    // A track list from a cover lands on the disc page as "Bottom", and back on a cover as
    // "1 Column".
    view->m_contextPoint = CPoint(-1, -1);
    view->InsertObject("Track List");
    ViewObject* tracks = view->m_design.GetFirstSelected();
    REQUIRE(tracks != nullptr);
    REQUIRE(tracks->IsTrackList());
    CHECK(tracks->textLayout == "Table Format");
    view->OnCopyObject();
    NewDesign(view, kLayout1DiscTop, "Disc 1");
    view->OnPasteObject();
    ViewObject* onDisc = view->m_design.GetFirstSelected();
    REQUIRE(onDisc != nullptr);
    REQUIRE(onDisc->IsTrackList());
    CHECK(onDisc->textLayout == "Bottom");
    CHECK(onDisc->side == 1);
    view->OnCopyObject();
    view->ShowSide("Front Cover");
    view->OnPasteObject();
    ViewObject* onCover = view->m_design.GetFirstSelected();
    REQUIRE(onCover != nullptr);
    CHECK(onCover->textLayout == "1 Column");
}

TEST_CASE("an image travels as a bitmap, and a bitmap on the clipboard wins") {
    View* view = EnsureView();
    OwnFormat();
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    ViewObject* side = view->m_design.GetCurrentSide();
    const std::string picture = MakePicture("copied", 30, 20, RGB(250, 0, 0));
    view->InsertImage(CRect(side->left + 500, side->top + 500, side->left + 1500, side->top + 1500),
                      picture.c_str(), false);
    REQUIRE(view->m_design.GetFirstSelected()->IsImage());
    view->OnCopyObject();
    REQUIRE(::IsClipboardFormatAvailable(CF_DIB));
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    view->OnPasteObject();
    ViewObject* pasted = view->m_design.GetFirstSelected();
    REQUIRE(pasted != nullptr);
    REQUIRE(pasted->IsImage());
    REQUIRE(pasted->EnsureImageLoaded());
    CHECK(pasted->decodedImage->GetWidth() == 30u);
    CHECK(pasted->decodedImage->GetHeight() == 20u);
    Gdiplus::Color c;
    pasted->decodedImage->GetPixel(25, 15, &c);
    CHECK(c.GetR() == 250);
    CHECK(c.GetG() == 0);
    CHECK(pasted->width == 1000);  // its natural proportions in the 1000 x 1000 start
    CHECK(pasted->height == 666);

    // The bitmap's header as the clipboard gets it: size filled in, no resolution.
    Gdiplus::Bitmap three(3, 2, PixelFormat24bppRGB);
    HGLOBAL dib = MakeClipboardDib(&three);
    REQUIRE(dib != nullptr);
    const BITMAPINFOHEADER* h = static_cast<const BITMAPINFOHEADER*>(::GlobalLock(dib));
    CHECK(h->biWidth == 3);
    CHECK(h->biSizeImage == 24u);
    CHECK(h->biXPelsPerMeter == 0);
    CHECK(h->biYPelsPerMeter == 0);
    ::GlobalUnlock(dib);
    ::GlobalFree(dib);
}

TEST_CASE("a 32-bit bitmap pasted with every fourth byte 0 is opaque; one with alpha keeps it") {
    View* view = EnsureView();
    OwnFormat();
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    // A 4 x 3 bottom-up 32-bit bitmap as other programs put it on the clipboard: blue.
    auto dib = [](BYTE alpha) {
        std::vector<unsigned char> bytes(sizeof(BITMAPINFOHEADER) + 4 * 3 * 4, 0);
        BITMAPINFOHEADER* h = reinterpret_cast<BITMAPINFOHEADER*>(bytes.data());
        h->biSize = sizeof(BITMAPINFOHEADER);
        h->biWidth = 4;
        h->biHeight = 3;
        h->biPlanes = 1;
        h->biBitCount = 32;
        h->biCompression = BI_RGB;
        for (size_t i = sizeof(BITMAPINFOHEADER); i < bytes.size(); i += 4) {
            bytes[i] = 200;
            bytes[i + 3] = alpha;
        }
        return bytes;
    };
    auto pasteAndRead = [&](BYTE alpha) {
        PutBlock(CF_DIB, dib(alpha));
        const int before = CountObjects(view);
        view->PostMessage(WM_COMMAND, ID_PASTE_OBJECT, 0);
        Pump();
        REQUIRE(CountObjects(view) == before + 1);
        ViewObject* pasted = view->m_design.GetFirstSelected();
        REQUIRE(pasted != nullptr);
        REQUIRE(pasted->IsImage());
        REQUIRE(pasted->EnsureImageLoaded());
        CHECK(pasted->decodedImage->GetWidth() == 4u);
        Gdiplus::Color c;
        pasted->decodedImage->GetPixel(2, 1, &c);
        CHECK(c.GetB() == 200);
        return c.GetA();
    };
    CHECK(pasteAndRead(0) == 255);
    CHECK(pasteAndRead(90) == 90);
}

TEST_CASE("selected text goes to the clipboard as plain text: CRLF per line and per track") {
    View* view = EnsureView();
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    ViewObject* side = view->m_design.GetCurrentSide();
    AddText(view, "Text 1", "One\rTwo\b", side->left + 500, side->top + 500, 3000, 800);
    view->OnSelectionChanged("Text 1", TRUE);
    view->m_select.SetSelection(-1, -1);
    REQUIRE(view->CopyTextToClipboard(view->m_design.GetFirstSelected()));
    CHECK(ClipboardText() == "One\r\nTwo");

    ViewObject* tracks = AddText(view, "Tracks", "1. \bOne\b 0:01\b2. \bTwo\b 0:02\b3. \bSix\b 0:03\b",
                                 side->left + 500, side->top + 1500, 3000, 1500);
    tracks->type = kObjectTrack;
    tracks->trackNumbers = "Track Numbers && Times";
    tracks->RebuildTrackRows();
    view->OnSelectionChanged("Tracks", TRUE);
    // Rows 1 and 2 whole.
    view->m_select.SetSelection(0, 27);
    REQUIRE(view->CopyTextToClipboard(tracks));
    CHECK(ClipboardText() == "1. One 0:01\r\n2. Two 0:02\r\n");
    // Plain text pasted back: line breaks as one "\r", tabs as blanks, no field ends.
    REQUIRE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    const char text[] = "a\tb\r\nc\b";
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, sizeof text);
    std::memcpy(::GlobalLock(block), text, sizeof text);
    ::GlobalUnlock(block);
    ::SetClipboardData(CF_TEXT, block);
    ::CloseClipboard();
    CHECK(tracks->PasteText() == "a b\rc");
}

TEST_CASE("foreign blocks under the own format name are refused") {
    View* view = EnsureView();
    const UINT format = OwnFormat();
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    const int objects = CountObjects(view);
    ViewObject text;
    text.type = kObjectText;
    text.name = "Text 1";
    text.SetText("Hi\b");
    text.charFonts.Add(ViewObject::NewDefaultFontRecord());
    text.charFonts.Add(nullptr);
    text.charFonts.Add(nullptr);
    text.charColors.Add(new COLORREF(0));
    text.charColors.Add(nullptr);
    text.charColors.Add(nullptr);
    text.charUnderlines.SetSize(3);
    const std::vector<unsigned char> good = RecordOf(text);
    ViewObject image;
    image.type = kObjectImage;
    image.name = "Image";
    const std::vector<unsigned char> imageRecord = RecordOf(image);
    std::vector<std::vector<unsigned char>> bad = {
        std::vector<unsigned char>(14, 1),                                         // too short
        std::vector<unsigned char>(good.begin(), good.begin() + good.size() / 2),  // cut off
        std::vector<unsigned char>(400, 0xFF),                                     // noise
        imageRecord,                                                               // not a text
    };
    for (const auto& block : bad) {
        PutBlock(format, block);
        view->OnPasteObject();
        CHECK(CountObjects(view) == objects);
        CHECK(view->GetUndoCount() == 0);
    }
    // Noise under the picture format, through the menu command: refused, and said so.
    KvMessageBoxCapture boxes;
    PutBlock(PictureClipboardFormat(), std::vector<unsigned char>(400, 0xFF));
    view->PostMessage(WM_COMMAND, ID_PASTE_OBJECT, 0);
    Pump();
    CHECK(CountObjects(view) == objects);
    CHECK(boxes.LastText() == "Invalid image format.");
    // The whole record is taken.
    PutBlock(format, good);
    view->OnPasteObject();
    CHECK(CountObjects(view) == objects + 1);
    text.FreeCharStyles();
}

TEST_CASE("Cut Object is undone by one undo; it deletes only what reached the clipboard") {
    View* view = EnsureView();
    OwnFormat();
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    ViewObject* side = view->m_design.GetCurrentSide();
    AddText(view, "Text 1", "Cut me\b", side->left + 500, side->top + 500, 2000, 400);
    view->OnSelectionChanged("Text 1", FALSE);
    // The clipboard held open by another window: nothing is copied, nothing deleted.
    CWnd* frame = view->GetParentFrame();
    REQUIRE(::OpenClipboard(frame->m_hWnd));
    view->OnCutObject();
    ::CloseClipboard();
    CHECK(view->m_design.FindObject("Text 1") != nullptr);
    CHECK(view->GetUndoCount() == 0);
    view->OnCutObject();
    CHECK(view->m_design.FindObject("Text 1") == nullptr);
    CHECK(view->GetUndoCount() == 1);
    view->OnEditUndo();
    CHECK(view->m_design.FindObject("Text 1") != nullptr);
    // The clipboard still holds it.
    const int before = CountObjects(view);
    view->OnPasteObject();
    CHECK(CountObjects(view) == before + 1);
}

TEST_CASE("typing a word on the canvas is one undo step") {
    View* view = EnsureView();
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    ViewObject* side = view->m_design.GetCurrentSide();
    ViewObject* t = AddText(view, "Text 1", "ab\b", side->left + 500, side->top + 500, 2000, 400);
    view->OnSelectionChanged("Text 1", TRUE);
    view->SetFocus();
    view->m_select.SetSelection(2, 2);
    const int steps = view->GetUndoCount();
    for (char c : std::string("cde")) {
        // The characters come from the keys through TranslateMessage, as from a keyboard.
        view->PostMessage(WM_KEYDOWN, ::VkKeyScanA(c) & 0xFF, 1);
        view->PostMessage(WM_KEYUP, ::VkKeyScanA(c) & 0xFF, 0xC0000001);
    }
    Pump();
    CHECK(t->GetText() == "abcde\b");
    CHECK(view->GetUndoCount() == steps + 1);
    int start = 0, end = 0;
    view->m_select.GetSelection(start, end);
    CHECK(start == 5);
    view->OnEditUndo();
    CHECK(t->GetText() == "ab\b");
    // Backspace through the real keyboard path: one step per press.
    view->m_select.SetSelection(2, 2);
    view->PostMessage(WM_KEYDOWN, VK_BACK, 1);
    view->PostMessage(WM_KEYUP, VK_BACK, 0xC0000001);
    Pump();
    CHECK(t->GetText() == "a\b");
    CHECK(view->GetUndoCount() == steps + 1);
}
