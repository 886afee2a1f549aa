// Hostile input met in the field: pictures whose decoders seek past their end, designs of
// version 450 and later with impossible sizes, a pasted record of the own clipboard format that
// never finished, and a design full of namesakes. Each opens (or is refused), draws and ends.
#include <doctest.h>

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "DocumentSamples.h"
#include "GdiplusSession.h"
#include "framework/graphics/GdipImage.h"
#include "model/ByteStream.h"
#include "model/PictureHeaders.h"
#include "render/DocumentBitmap.h"

using namespace docsample;
using namespace Gdiplus;

namespace {

struct PaperTable {
    PaperTable() { InitPaperTable(); }
} g_paper;

// A blank picture of w x h pixels as the encoder of `mime` writes it; empty when it cannot.
std::vector<unsigned char> Encoded(int w, int h, const WCHAR* mime) {
    std::vector<unsigned char> bytes;
    Bitmap picture(w, h, PixelFormat24bppRGB);
    CLSID clsid;
    if (GetEncoderClsid(mime, &clsid) < 0) return bytes;
    ByteStream* encoded = ByteStream::Create();
    if (!encoded) return bytes;
    if (picture.Save(encoded, &clsid, nullptr) == Ok) {
        STATSTG stat = {};
        encoded->Stat(&stat, STATFLAG_NONAME);
        bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
        LARGE_INTEGER zero = {};
        encoded->Seek(zero, STREAM_SEEK_SET, nullptr);
        ULONG got = 0;
        encoded->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got);
        bytes.resize(got);
    }
    encoded->Release();
    return bytes;
}

std::string DataPath(const char* file) {
    std::string path = std::string("Z:") + KV_MODEL_DATA_DIR + "/" + file;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// Draws every side of the design as an export at a low resolution; the count of sides drawn.
int DrawEverySide(KorvanelleDocument& doc) {
    std::vector<ViewObject*> sides;
    doc.ForEachObject([&](ViewObject* o) {
        if (o->IsSide()) sides.push_back(o);
    });
    int drawn = 0;
    for (ViewObject* side : sides) {
        doc.currentSideName = side->name;
        Bitmap* b = RenderDocumentToBitmap(&doc, side, kPurposeExport, 30, nullptr);
        drawn += b != nullptr;
        delete b;
    }
    return drawn;
}

bool WithinLimits(const ViewObject* o) {
    return o->left >= -kMaxDesignLength && o->left <= kMaxDesignLength && o->top >= -kMaxDesignLength &&
           o->top <= kMaxDesignLength && o->width >= 0 && o->width <= kMaxDesignLength && o->height >= 0 &&
           o->height <= kMaxDesignLength;
}

}  // namespace

TEST_CASE("pictures that send their decoder past their end") {
    REQUIRE(kvtest::GdiplusReady());
    SUBCASE("inserted as pictures, each is refused or decoded within its bytes") {
        for (const char* file : {"picture-crash.jpg", "picture-crash.tif", "picture-crash.png", "picture-crash.bmp"}) {
            CAPTURE(file);
            ViewObject o;
            o.Reset(kObjectImage);
            const bool read = o.LoadImageFile(DataPath(file).c_str(), false);
            // Refused pictures leave nothing behind; decoded ones hold their bitmap.
            CHECK(read == (o.decodedImage != nullptr));
            CHECK(read == !o.image.IsEmpty());
            o.FreeImageData(false);
        }
    }
    SUBCASE("the decoder's stream reads nothing outside its bytes") {
        const unsigned char bytes[] = {1, 2, 3, 4, 5};
        ByteStream* s = ByteStream::Create(bytes, sizeof bytes);
        REQUIRE(s != nullptr);
        LARGE_INTEGER distant = {};
        distant.QuadPart = 0x40000000;
        ULARGE_INTEGER at = {};
        REQUIRE(s->Seek(distant, STREAM_SEEK_SET, &at) == S_OK);
        CHECK(at.QuadPart == 0x40000000u);
        unsigned char out[8];
        std::memset(out, 0xAA, sizeof out);
        ULONG got = 99;
        CHECK(s->Read(out, sizeof out, &got) == S_OK);
        CHECK(got == 0);
        CHECK(out[0] == 0xAA);
        LARGE_INTEGER back = {};
        back.QuadPart = -3;
        REQUIRE(s->Seek(back, STREAM_SEEK_END, nullptr) == S_OK);
        CHECK(s->Read(out, sizeof out, &got) == S_OK);
        CHECK(got == 3);
        CHECK(out[0] == 3);
        CHECK(out[2] == 5);
        back.QuadPart = -6;
        CHECK(FAILED(s->Seek(back, STREAM_SEEK_END, nullptr)));
        STATSTG stat = {};
        REQUIRE(s->Stat(&stat, STATFLAG_NONAME) == S_OK);
        CHECK(stat.cbSize.QuadPart == 5u);
        s->Release();
    }
    SUBCASE("headers that point outside the file or ask for too many pixels are refused") {
        std::vector<unsigned char> bmp = docfile::MakeBmp(3, 2, 1, 2, 3);
        CHECK(CheckPictureHeaders(bmp.data(), bmp.size()).acceptable);
        std::vector<unsigned char> distant = bmp;
        distant[10] = 0, distant[11] = 0, distant[12] = 0, distant[13] = 0x40;  // pixels at 0x40000000
        CHECK_FALSE(CheckPictureHeaders(distant.data(), distant.size()).acceptable);
        std::vector<unsigned char> tall = bmp;
        tall[22] = 200;  // 200 rows in a file that holds 2
        CHECK_FALSE(CheckPictureHeaders(tall.data(), tall.size()).acceptable);
        // The same pictures inside an image object: no bitmap, and no crash on the way.
        for (const std::vector<unsigned char>* bytes : {&distant, &tall}) {
            IStreamObject stream;
            REQUIRE(stream.SetBytes(bytes->data(), static_cast<ULONG>(bytes->size())));
            CHECK(stream.CreateBitmap() == nullptr);
        }
        // A TIFF the decoder fails on keeps its stream for good: an unknown compression, or a
        // strip too short for the width, is refused before it gets there.
        const std::vector<unsigned char> tiff = Encoded(24, 16, L"image/tiff");
        REQUIRE(tiff.size() > 8);
        const PictureHeaderCheck good = CheckPictureHeaders(tiff.data(), tiff.size());
        CHECK(good.kind == PictureHeaderCheck::kTiff);
        CHECK(good.width == 24u);
        CHECK(good.acceptable);
        auto withField = [&](unsigned tag, unsigned value) {
            std::vector<unsigned char> v = tiff;
            const size_t ifd = v[4] | (v[5] << 8) | (v[6] << 16) | (v[7] << 24);
            const unsigned entries = v[ifd] | (v[ifd + 1] << 8);
            for (unsigned e = 0; e < entries; ++e) {
                const size_t at = ifd + 2 + 12 * e;
                if (static_cast<unsigned>(v[at] | (v[at + 1] << 8)) != tag) continue;
                v[at + 8] = static_cast<unsigned char>(value);
                v[at + 9] = static_cast<unsigned char>(value >> 8);
            }
            return v;
        };
        std::vector<unsigned char> unknown = withField(259, 45);
        CHECK_FALSE(CheckPictureHeaders(unknown.data(), unknown.size()).acceptable);
        if (good.acceptable) {
            std::vector<unsigned char> wide = withField(256, 91);
            CHECK_FALSE(CheckPictureHeaders(wide.data(), wide.size()).acceptable);
        }
        const unsigned char png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                     0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0, 8, 6, 0, 0, 0, 0, 0, 0, 0};
        const PictureHeaderCheck huge = CheckPictureHeaders(png, sizeof png);
        CHECK(huge.kind == PictureHeaderCheck::kPng);
        CHECK(huge.width == 100000u);
        CHECK_FALSE(huge.acceptable);
        CHECK(huge.tooLarge);
        // Up to 100 megapixels whatever the file's size (a plain picture compresses to almost
        // nothing); one pixel more is too large.
        auto pngOf = [&](unsigned width, unsigned height) {
            std::vector<unsigned char> v(png, png + sizeof png);
            for (int k = 0; k < 4; ++k) {
                v[16 + k] = static_cast<unsigned char>(width >> (24 - 8 * k));
                v[20 + k] = static_cast<unsigned char>(height >> (24 - 8 * k));
            }
            return CheckPictureHeaders(v.data(), v.size());
        };
        CHECK(pngOf(10000, 10000).acceptable);
        CHECK(pngOf(100000000, 1).acceptable);
        CHECK(pngOf(10001, 10000).tooLarge);
        CHECK_FALSE(pngOf(10001, 10000).acceptable);
        CHECK_FALSE(pngOf(0, 10).tooLarge);
    }
    SUBCASE("metafiles whose records reach outside them or name objects past their table are refused") {
        // Wine's metafile player takes both as they say: the mutation run saw its heap damaged,
        // and crashes in later, sound pictures.
        auto draw = [](HDC dc) {
            HPEN pen = CreatePen(PS_SOLID, 3, RGB(200, 0, 0));
            HGDIOBJ old = SelectObject(dc, pen);
            Rectangle(dc, 10, 10, 190, 140);
            SelectObject(dc, old);
            DeleteObject(pen);
        };
        const RECT frame = {0, 0, 2000, 1500};
        HDC emfDc = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
        REQUIRE(emfDc != nullptr);
        draw(emfDc);
        HENHMETAFILE emf = CloseEnhMetaFile(emfDc);
        std::vector<unsigned char> goodEmf(GetEnhMetaFileBits(emf, 0, nullptr));
        GetEnhMetaFileBits(emf, static_cast<UINT>(goodEmf.size()), goodEmf.data());
        DeleteEnhMetaFile(emf);
        HDC wmfDc = CreateMetaFileA(nullptr);
        REQUIRE(wmfDc != nullptr);
        draw(wmfDc);
        HMETAFILE wmf = CloseMetaFile(wmfDc);
        std::vector<unsigned char> goodWmf(GetMetaFileBitsEx(wmf, 0, nullptr));
        GetMetaFileBitsEx(wmf, static_cast<UINT>(goodWmf.size()), goodWmf.data());
        DeleteMetaFile(wmf);
        CHECK(CheckPictureHeaders(goodEmf.data(), goodEmf.size()).acceptable);
        CHECK(CheckPictureHeaders(goodWmf.data(), goodWmf.size()).acceptable);
        // The pen deleted by an index past the handle table.
        std::vector<unsigned char> emfIndex = goodEmf, wmfIndex = goodWmf;
        bool emfDelete = false, wmfDelete = false;
        for (size_t at = 0; at + 12 <= emfIndex.size();) {
            const uint32_t type = emfIndex[at] | (emfIndex[at + 1] << 8);
            const size_t length = emfIndex[at + 4] | (emfIndex[at + 5] << 8);
            if (type == EMR_DELETEOBJECT) emfIndex[at + 9] = 0x13, emfDelete = true;  // index 0x1300 + n
            if (length == 0) break;
            at += length;
        }
        for (size_t at = 18; at + 8 <= wmfIndex.size();) {
            const size_t words = wmfIndex[at] | (wmfIndex[at + 1] << 8);
            if ((wmfIndex[at + 4] | (wmfIndex[at + 5] << 8)) == META_DELETEOBJECT) wmfIndex[at + 7] = 0x13, wmfDelete = true;
            if (words == 0) break;
            at += 2 * words;
        }
        REQUIRE(emfDelete);
        REQUIRE(wmfDelete);
        CHECK_FALSE(CheckPictureHeaders(emfIndex.data(), emfIndex.size()).acceptable);
        CHECK_FALSE(CheckPictureHeaders(wmfIndex.data(), wmfIndex.size()).acceptable);
        // Found by the run: a record of size 0 (the player never moves on), and one whose size
        // reaches far past the file, behind the placeable header of a .wmf file.
        for (const char* file : {"metafile-record-of-size-0.emf", "metafile-record-past-end.wmf"}) {
            CAPTURE(file);
            const std::vector<unsigned char> bytes = kvtest::ReadFileBytes(DataPath(file));
            REQUIRE(bytes.size() > 22);
            CHECK_FALSE(CheckPictureHeaders(bytes.data(), bytes.size()).acceptable);
        }
    }
    SUBCASE("an icon whose bitmap claims more rows than it holds is refused") {
        // Found by the run: a 16 x 16 icon whose bitmap header says 8,388,640 rows; the decoder
        // kept a handle at every failed try. With its height mended (32: the colour rows and the
        // mask's) it is a sound icon.
        const std::vector<unsigned char> tall = kvtest::ReadFileBytes(DataPath("icon-claiming-millions-of-rows.ico"));
        REQUIRE(tall.size() > 62);
        CHECK_FALSE(CheckPictureHeaders(tall.data(), tall.size()).acceptable);
        std::vector<unsigned char> sound = tall;
        const unsigned char rows[] = {32, 0, 0, 0};
        std::copy(rows, rows + 4, sound.begin() + 22 + 8);
        CHECK(CheckPictureHeaders(sound.data(), sound.size()).acceptable);
        IStreamObject stream;
        REQUIRE(stream.SetBytes(sound.data(), static_cast<ULONG>(sound.size())));
        Bitmap* decoded = stream.CreateBitmap();
        CHECK(decoded != nullptr);
        delete decoded;
    }
}

TEST_CASE("a design whose picture cannot be decoded opens and draws the rest") {
    REQUIRE(kvtest::GdiplusReady());
    KvMessageBoxCapture boxes;
    KorvanelleDocument doc;
    REQUIRE(doc.Load(DataPath("design-bmp-pixel-offset-crash.kvl").c_str()));
    ViewObject* image = doc.FindObjectIf([](ViewObject* o) { return o->IsImage() && o->sideName == "Disc 1"; });
    REQUIRE(image != nullptr);
    CHECK_FALSE(image->image.IsEmpty());  // the bytes are kept as they were
    CHECK_FALSE(image->EnsureImageLoaded());
    // Every other side draws; the disc's picture names the picture instead of leaving it out.
    CHECK(DrawEverySide(doc) >= 3);
    CObjectPtrArray undrawn;
    CHECK(RenderDocumentToBitmap(&doc, doc.FindObject("Disc 1"), kPurposeExport, 30, nullptr, &undrawn) ==
          nullptr);
    REQUIRE(undrawn.GetSize() == 1);
    CHECK(undrawn[0] == image);
    ViewObject* text = doc.FindObject("Text 1");
    REQUIRE(text != nullptr);
    CHECK(text->needsLayout == 0);  // laid out and drawn beside the picture
    CHECK(boxes.Boxes().empty());
    doc.DeleteContents(true);
}

TEST_CASE("designs with impossible sizes open, are brought within limits and draw") {
    REQUIRE(kvtest::GdiplusReady());
    KvMessageBoxCapture boxes;
    for (const char* file : {"design-v450-crash.kvl", "design-v450-hang.kvl", "design-autofit-wide-word.kvl"}) {
        CAPTURE(file);
        KorvanelleDocument doc;
        if (doc.Load(DataPath(file).c_str())) {
            int outside = 0;
            doc.ForEachObject([&](ViewObject* o) { outside += !WithinLimits(o); });
            CHECK(outside == 0);
            CHECK(DrawEverySide(doc) > 0);
        }
        doc.DeleteContents(true);
    }
    // The AutoFit text on the disc, 20,000,000 units tall around one word wider than any size:
    // it is cut to the limit, and its search gives up at the smallest size.
    KorvanelleDocument doc;
    REQUIRE(doc.Load(DataPath("design-autofit-wide-word.kvl").c_str()));
    ViewObject* text = doc.FindObject("Text 1");
    REQUIRE(text != nullptr);
    CHECK(text->height == kMaxDesignLength);
    CHECK(DrawEverySide(doc) >= 4);
    CHECK(text->autoFitGaveUp == 1);
    CHECK(text->bAutoFit == 1);
    doc.DeleteContents(true);
}

TEST_CASE("records are read with their sizes and fonts within what a design can use") {
    ViewObject source;
    source.Reset(kObjectText);
    source.name = "Text 1";
    source.sideName = "Disc 1";
    source.left = -90000000;
    source.top = 2000000000;
    source.width = 20000000;
    source.height = -5;
    source.hue = 999;
    source.SetText("Big\b");
    source.charFonts.SetSize(source.GetCharCount());
    source.charFonts[0] = docsample::Font("Arial", 20000000, 99999, 0);
    source.charUnderlines.SetSize(source.GetCharCount());
    CMemFile file(1024);
    {
        CArchive ar(&file, CArchive::store, 4096);
        source.Serialize(ar);
        ar.Close();
    }
    file.SeekToBegin();
    ViewObject read;
    {
        CArchive ar(&file, CArchive::load, 4096);
        read.Serialize(ar);
        ar.Close();
    }
    CHECK(read.left == -kMaxDesignLength);
    CHECK(read.top == kMaxDesignLength);
    CHECK(read.width == kMaxDesignLength);
    CHECK(read.height == 0);
    CHECK(read.hue == 180);
    REQUIRE(read.charFonts.GetSize() > 0);
    REQUIRE(read.charFonts[0] != nullptr);
    CHECK(read.charFonts[0]->lfHeight == kMaxFontHeight);
    CHECK(read.charFonts[0]->lfWeight == 1000);
}

TEST_CASE("a design before version 300 whose picture claims 144 megapixels stays within its memory") {
    // Old designs decode their pictures while they are read: a JPEG of 16 x 16 pixels whose
    // header says 12,000 x 12,000 made the decoder take 830 MB.
    REQUIRE(kvtest::GdiplusReady());
    std::vector<unsigned char> jpeg = Encoded(16, 16, L"image/jpeg");
    REQUIRE(jpeg.size() > 2);  // the encoder was found and wrote the picture
    bool resized = false;
    for (size_t i = 0; i + 9 < jpeg.size() && !resized; ++i) {
        if (jpeg[i] != 0xFF || jpeg[i + 1] != 0xC0) continue;
        // 12,000 rows and 12,000 columns in the frame header.
        jpeg[i + 5] = 0x2E, jpeg[i + 6] = 0xE0, jpeg[i + 7] = 0x2E, jpeg[i + 8] = 0xE0;
        resized = true;
    }
    REQUIRE(resized);
    KorvanelleDocument doc;
    REQUIRE(LoadBytes(doc, Pre300File(6, Pre300Items(false), Pre300Texts("Band"), Pre300Album(), {jpeg})));
    // The picture is left out; the rest of the design is there.
    CHECK(doc.FindObjectIf([](ViewObject* o) { return o->IsImage(); }) == nullptr);
    CHECK(doc.FindObject("Disc 1") != nullptr);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    REQUIRE(GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters));
    CHECK(counters.PeakPagefileUsage < 256u * 1024 * 1024);
    doc.DeleteContents(true);
}

TEST_CASE("a text longer than any side can show keeps its first characters and its end") {
    // Ten million characters took the process past a gigabyte before anything was drawn.
    ViewObject source;
    source.Reset(kObjectText);
    source.name = "Text 1";
    source.sideName = "Front Cover";
    source.width = source.height = 1000;
    for (int i = 0; i < kMaxTextChars + 10; ++i)
        source.chars.Add(CString(static_cast<char>('a' + i % 26), 1));
    source.chars.Add(CString('\b', 1));
    const int count = source.GetCharCount();
    source.charFonts.SetSize(count);
    source.charFonts[0] = docsample::Font("Arial", 120, 400, 0);
    source.charColors.SetSize(count);
    source.charUnderlines.SetSize(count);
    CMemFile file(1024);
    {
        CArchive ar(&file, CArchive::store, 4096);
        source.Serialize(ar);
        ar.Close();
    }
    file.SeekToBegin();
    ViewObject read;
    {
        CArchive ar(&file, CArchive::load, 4096);
        read.Serialize(ar);
        ar.Close();
    }
    REQUIRE(read.GetCharCount() == kMaxTextChars);
    CHECK(read.chars[kMaxTextChars - 2] == source.chars[kMaxTextChars - 2]);
    CHECK(read.chars[kMaxTextChars - 1] == "\b");
    CHECK(read.charFonts.GetSize() == kMaxTextChars);
    CHECK(read.charUnderlines.GetSize() == kMaxTextChars);
    REQUIRE(read.charFonts[0] != nullptr);
    CHECK(read.charFonts[0]->lfHeight == 120);
}

TEST_CASE("a pasted record of the own format that never finished laying out") {
    REQUIRE(kvtest::GdiplusReady());
    KvMessageBoxCapture boxes;
    const std::vector<unsigned char> bytes = kvtest::ReadFileBytes(DataPath("clipboard-object-hang.bin"));
    REQUIRE(bytes.size() > 14);
    const UINT format = ::RegisterClipboardFormatA("Korvanelle500");
    REQUIRE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    REQUIRE(block != nullptr);
    std::memcpy(::GlobalLock(block), bytes.data(), bytes.size());
    ::GlobalUnlock(block);
    const bool handed = ::SetClipboardData(format, block) != nullptr;
    ::CloseClipboard();
    REQUIRE(handed);

    // Pasted onto the disc and onto the back cover of a design, as the canvas pastes it.
    for (const char* sideName : {"Disc 1", "Back Cover"}) {
        CAPTURE(sideName);
        KorvanelleDocument library;
        library.CreateBuiltInTemplates();
        KorvanelleDocument doc;
        BuildDesign(doc, library.templates[3], library.templates[2]);
        library.DeleteContents(true);
        ViewObject* side = doc.FindObject(sideName);
        REQUIRE(side != nullptr);
        ViewObject* o = new ViewObject;
        g_loadingAlbumInfo = &doc.albumInfo;
        const bool read = o->PasteFromClipboard(format);
        g_loadingAlbumInfo = nullptr;
        if (!read) {
            DeleteViewObject(o);
        } else {
            CHECK(WithinLimits(o));
            o->side = side->side;
            o->sideName = side->name;
            o->left = side->left;
            o->top = side->top;
            // A track list takes a layout its side can show, as a paste does.
            if (o->IsTrackList() && o->side == 1 && (o->textLayout == "1 Column" || o->textLayout == "Table Format"))
                o->textLayout = "Bottom";
            doc.AssignUniqueName(o);
            doc.AddObject(o);
            doc.currentSideName = side->name;
            Bitmap* b = RenderDocumentToBitmap(&doc, side, kPurposeExport, 30, nullptr);
            CHECK(b != nullptr);
            delete b;
            CHECK(o->needsLayout == 0);
        }
        doc.DeleteContents(true);
    }
}

TEST_CASE("namesakes are renamed in the order their names first appear") {
    KorvanelleDocument doc;
    LabelTemplate* t = new LabelTemplate;
    t->name = "T";
    doc.templates.Add(t);
    auto add = [&](int type, const char* name) {
        t->AddObject(NewViewObject(type, name, 2, "Front Cover", 0, 0, 100, 100));
    };
    // The first holder of a name keeps it; the second "A(5)" is renamed before the second
    // "A(6)", as its name came up first; a free text cut from "Text 3(7)" takes the first free
    // number.
    add(kObjectImage, "A(5)");
    add(kObjectImage, "A(6)");
    add(kObjectImage, "A(6)");
    add(kObjectImage, "A(5)");
    add(kObjectText, "Text 1");
    add(kObjectText, "Text 3(7)");
    add(kObjectText, "Text 3(7)");
    doc.MakeNamesUnique();
    const char* expected[] = {"A(5)", "A(6)", "A(2)", "A(1)", "Text 1", "Text 3(7)", "Text 2"};
    for (int i = 0; i < 7; ++i) CHECK(t->GetObject(i)->name == expected[i]);

    // An object about to be added (a paste) whose name one of the design's objects holds.
    ViewObject* pasted = NewViewObject(kObjectImage, "A(1)", 2, "Front Cover", 0, 0, 100, 100);
    doc.AssignUniqueName(pasted);
    CHECK(pasted->name == "A(3)");
    DeleteViewObject(pasted);

    // A file of 20,000 texts of one name: each later one gets the next free number.
    KorvanelleDocument many;
    LabelTemplate* m = new LabelTemplate;
    m->name = "T";
    many.templates.Add(m);
    const int count = 20000;
    for (int i = 0; i < count; ++i)
        m->AddObject(NewViewObject(kObjectText, "Text 1", 2, "Front Cover", 0, 0, 100, 100));
    many.MakeNamesUnique();
    int wrong = 0;
    for (int i = 0; i < count; ++i) {
        CString want;
        want.Format("Text %d", i + 1);
        wrong += m->GetObject(i)->name != want;
    }
    CHECK(wrong == 0);
    doc.DeleteContents(true);
    many.DeleteContents(true);
}
