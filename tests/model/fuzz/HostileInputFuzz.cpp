// The mutation run over everything a user can hand the program: design files of every version,
// the own clipboard format, packed DIBs, pictures inserted into a design and picture files in the
// Images panel's folder. Each mutant goes through the real reader and, when it reads, is drawn;
// the program reports what went wrong.
//
//   hostile_input_fuzz.exe <kind> <first> <count> <seed>
//   hostile_input_fuzz.exe write <kind> <index> <seed> <file>   (one mutant, to look at; the
//                                                                samples themselves for -1, -2, ...)
//
// kind: v507 v450 v420 v350 v300 v6 v1 clip dib jpg tif bmp png gif folder. A kind with several
// samples (clip: a track list and two texts; folder: a picture file of each type the panel lists)
// takes them in turn. Mutant i of a kind is the same for a given seed, so a run can
// go on after the mutant it died on (scripts/fuzz-hostile.sh does). Lines
// on standard output:
//   at <i>                    before mutant i (flushed; the last one names a crash's input)
//   crash <i> <code> <addr>   an exception nothing caught; the program ends
//   hang <i>                  mutant i took over 10 s; the program ends
//   alloc <i> <MB>            reading or drawing mutant i took the process over 256 MB, or asked
//                             operator new for more at once; it ends
//   leak <i> <bytes> <gdi> <handles>  a failed read of mutant i, repeated, held more than before
//   done <kind> <reads> <read-ok> <boxes>
//
// This program counts the bytes held through operator new, so that a repeated failed read that
// keeps memory shows up, and the largest single request.
#include <windows.h>
#include <malloc.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include <zlib.h>

#include "../DocumentSamples.h"
#include "GdiplusSession.h"
#include "HeldResources.h"
#include "bars/ImageBrowseSettings.h"
#include "bars/ImageLoadThreads.h"
#include "framework/graphics/GdipImage.h"
#include "render/DocumentBitmap.h"

using namespace docsample;
using namespace Gdiplus;

namespace {
volatile long long g_liveBytes = 0;
std::atomic<size_t> g_largestRequest{0};
}

void* operator new(size_t size) {
    size_t seen = g_largestRequest.load();
    while (size > seen && !g_largestRequest.compare_exchange_weak(seen, size)) {}
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    InterlockedExchangeAdd64(&g_liveBytes, static_cast<long long>(_msize(p)));
    return p;
}
void operator delete(void* p) noexcept {
    if (!p) return;
    InterlockedExchangeAdd64(&g_liveBytes, -static_cast<long long>(_msize(p)));
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    operator delete(p);
}

namespace {

const SIZE_T kMemoryLimit = 256u * 1024 * 1024;
const DWORD kHangMs = 10000;

std::atomic<long> g_current{-1};
std::atomic<DWORD> g_started{0};

void Say(const char* format, long a, long long b = 0, long long c = 0, long long d = 0) {
    std::printf(format, a, b, c, d);
    std::fflush(stdout);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
    // The module the fault is in, and the offset in it (for a debugger or a map file).
    char module[MAX_PATH] = "?";
    HMODULE base = nullptr;
    void* address = info->ExceptionRecord->ExceptionAddress;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCSTR>(address), &base))
        GetModuleFileNameA(base, module, MAX_PATH);
    std::printf("crash %ld 0x%08lx %p %s+0x%lx\n", g_current.load(), info->ExceptionRecord->ExceptionCode, address,
                module, static_cast<unsigned long>(static_cast<char*>(address) - reinterpret_cast<char*>(base)));
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 2);
    return EXCEPTION_EXECUTE_HANDLER;
}

void Watchdog() {
    for (;;) {
        Sleep(100);
        const long current = g_current.load();
        if (current >= 0 && GetTickCount() - g_started.load() > kHangMs) {
            Say("hang %ld\n", current);
            TerminateProcess(GetCurrentProcess(), 3);
        }
    }
}

SIZE_T PeakMemory() {
    return kvtest::PeakResidentBytes();
}

// ---- samples ----------------------------------------------------------------------------------

struct PaperTable {
    PaperTable() { InitPaperTable(); }
} g_paper;

std::vector<unsigned char> Design507() {
    KorvanelleDocument library;
    library.CreateBuiltInTemplates();
    KorvanelleDocument design;
    BuildDesign(design, library.templates[3], library.templates[2]);
    std::vector<unsigned char> bytes = SaveBytes(design);
    design.DeleteContents(true);
    library.DeleteContents(true);
    return bytes;
}

// The own clipboard record of the sample design's object of that name.
std::vector<unsigned char> ClipboardRecord(const char* name) {
    KorvanelleDocument doc;
    std::vector<unsigned char> design = Design507();
    CMemFile in;
    in.Write(design.data(), static_cast<UINT>(design.size()));
    in.SeekToBegin();
    LoadObjectFromFile(&doc, &in);
    std::vector<unsigned char> bytes;
    doc.ForEachObject([&](ViewObject* o) {
        if (!bytes.empty() || o->name != name) return;
        CMemFile file(1024);
        {
            CArchive ar(&file, CArchive::store, 4096);
            o->Serialize(ar);
            ar.Close();
        }
        bytes.assign(file.GetData(), file.GetData() + file.GetLength());
    });
    doc.DeleteContents(true);
    return bytes;
}

std::vector<unsigned char> Encoded(const WCHAR* mime) {
    Bitmap bitmap(24, 16, PixelFormat24bppRGB);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x) bitmap.SetPixel(x, y, Color(255, x * 10, y * 15, (x ^ y) * 8));
    CLSID clsid;
    std::vector<unsigned char> bytes;
    IStream* stream = nullptr;
    if (GetEncoderClsid(mime, &clsid) < 0 || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return bytes;
    if (bitmap.Save(stream, &clsid, nullptr) == Ok) {
        STATSTG stat = {};
        stream->Stat(&stat, STATFLAG_NONAME);
        LARGE_INTEGER zero = {};
        stream->Seek(zero, STREAM_SEEK_SET, nullptr);
        bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
        ULONG got = 0;
        stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got);
        bytes.resize(got);
    }
    stream->Release();
    return bytes;
}

// A 16 x 12 GIF of 128 colours written with one byte per code: 8-bit codes, and a clear code
// before the code table would need a ninth bit.
std::vector<unsigned char> Gif() {
    const int w = 16, h = 12;
    std::vector<unsigned char> g = {'G', 'I', 'F', '8', '9', 'a', w, 0, h, 0, 0xF6, 0, 0};
    for (int i = 0; i < 128; ++i) {
        g.push_back(static_cast<unsigned char>(i * 2));
        g.push_back(static_cast<unsigned char>(255 - i));
        g.push_back(static_cast<unsigned char>(i * 7));
    }
    const unsigned char control[] = {0x21, 0xF9, 4, 0, 0, 0, 0, 0};
    g.insert(g.end(), control, control + sizeof control);
    const unsigned char descriptor[] = {0x2C, 0, 0, 0, 0, w, 0, h, 0, 0, 7};
    g.insert(g.end(), descriptor, descriptor + sizeof descriptor);
    std::vector<unsigned char> codes;
    for (int i = 0; i < w * h; ++i) {
        if (i % 100 == 0) codes.push_back(128);
        codes.push_back(static_cast<unsigned char>((i * 5) & 127));
    }
    codes.push_back(129);
    for (size_t at = 0; at < codes.size(); at += 255) {
        const size_t n = std::min<size_t>(255, codes.size() - at);
        g.push_back(static_cast<unsigned char>(n));
        g.insert(g.end(), codes.begin() + at, codes.begin() + at + n);
    }
    g.push_back(0);
    g.push_back(0x3B);
    return g;
}

// A 16 x 16 icon of 32 bits per pixel, with its mask.
std::vector<unsigned char> Icon() {
    const int side = 16, pixels = side * side * 4, mask = side * 4;
    const uint32_t imageSize = 40 + pixels + mask;
    std::vector<unsigned char> v = {0, 0, 1, 0, 1, 0, side, side, 0, 0, 1, 0, 32, 0};
    auto put32 = [&v](uint32_t x) {
        for (int k = 0; k < 4; ++k) v.push_back(static_cast<unsigned char>(x >> (8 * k)));
    };
    put32(imageSize);
    put32(22);
    // The header's height counts the picture and the mask.
    for (uint32_t x : {40u, 16u, 32u, 1u | (32u << 16), 0u, uint32_t(pixels + mask), 0u, 0u, 0u, 0u}) put32(x);
    for (int i = 0; i < side * side; ++i) put32(0xFF000000u | (i * 0x010307u));
    v.resize(v.size() + mask, 0);
    return v;
}

// A few shapes and a word, drawn into a metafile of 2 x 1.5 cm.
void DrawShapes(HDC dc) {
    Rectangle(dc, 10, 10, 190, 140);
    Ellipse(dc, 30, 20, 120, 110);
    TextOutA(dc, 40, 60, "Kv", 2);
}

std::vector<unsigned char> Emf() {
    const RECT frame = {0, 0, 2000, 1500};
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
    if (!dc) return {};
    DrawShapes(dc);
    HENHMETAFILE emf = CloseEnhMetaFile(dc);
    std::vector<unsigned char> v(GetEnhMetaFileBits(emf, 0, nullptr));
    GetEnhMetaFileBits(emf, static_cast<UINT>(v.size()), v.data());
    DeleteEnhMetaFile(emf);
    return v;
}

// A Windows metafile behind the placeable header that .wmf files carry.
std::vector<unsigned char> Wmf() {
    HDC dc = CreateMetaFileA(nullptr);
    if (!dc) return {};
    SetWindowExtEx(dc, 200, 150, nullptr);
    DrawShapes(dc);
    HMETAFILE wmf = CloseMetaFile(dc);
    std::vector<unsigned char> bits(GetMetaFileBitsEx(wmf, 0, nullptr));
    GetMetaFileBitsEx(wmf, static_cast<UINT>(bits.size()), bits.data());
    DeleteMetaFile(wmf);
    const uint16_t header[10] = {0xCDD7, 0x9AC6, 0, 0, 0, 200, 150, 1440, 0, 0};
    uint16_t check = 0;
    for (uint16_t w : header) check ^= w;
    std::vector<unsigned char> v;
    for (uint16_t w : header) v.push_back(static_cast<unsigned char>(w)), v.push_back(static_cast<unsigned char>(w >> 8));
    v.push_back(static_cast<unsigned char>(check));
    v.push_back(static_cast<unsigned char>(check >> 8));
    v.insert(v.end(), bits.begin(), bits.end());
    return v;
}

// The folder kind's picture types, in the order of its samples.
const char* const kFolderTypes[] = {"jpg", "bmp", "gif", "tif", "png", "ico", "wmf", "emf"};

std::vector<std::vector<unsigned char>> Samples(const std::string& kind) {
    std::vector<unsigned char> bmp = docfile::MakeBmp(2, 2, 1, 2, 3);
    if (kind == "v507") return {Design507()};
    if (kind == "v450") return {OldFile(450, "ViewObject", OldObjects(true), OldAlbum("Double", "Jewel"), bmp)};
    // Hue, saturation and a picture's source but no lightness yet.
    if (kind == "v420") return {OldFile(420, "ViewObject", OldObjects(true), OldAlbum("Single", "Jewel"), bmp)};
    if (kind == "v350") return {OldFile(350, "CRichChild", OldObjects(true), OldAlbum("Single", "DVD"), bmp)};
    // No case in the album record.
    if (kind == "v300") return {OldFile(300, "CRichChild", OldObjects(false), OldAlbum("Double", "Jewel"), bmp)};
    if (kind == "v6") return {Pre300File(6, Pre300Items(false), Pre300Texts("Old Band"), Pre300Album(), {bmp})};
    if (kind == "v1") return {Pre300File(1, Pre300Items(true), Pre300Texts("Old Band"), Pre300Album(), {bmp})};
    if (kind == "clip")
        // A track list, a text, and a text with its own fonts and colours.
        return {ClipboardRecord("Track List"), ClipboardRecord("Text 1"), ClipboardRecord("Artist")};
    if (kind == "dib") {
        std::vector<unsigned char> file = docfile::MakeBmp(5, 3, 40, 80, 120);
        return {std::vector<unsigned char>(file.begin() + 14, file.end())};
    }
    if (kind == "jpg") return {Encoded(L"image/jpeg")};
    if (kind == "tif") return {Encoded(L"image/tiff")};
    if (kind == "bmp") return {docfile::MakeBmp(7, 5, 90, 30, 200)};
    if (kind == "png") return {Encoded(L"image/png")};
    if (kind == "gif") return {Gif()};
    if (kind == "folder")
        return {Encoded(L"image/jpeg"), docfile::MakeBmp(7, 5, 90, 30, 200), Gif(), Encoded(L"image/tiff"),
                Encoded(L"image/png"), Icon(), Wmf(), Emf()};
    return {};
}

// ---- mutation -------------------------------------------------------------------------------

struct Random {
    uint32_t state;
    explicit Random(uint32_t seed) : state(seed * 2654435761u + 0x9E3779B9u) { Next(); }
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    uint32_t Below(uint32_t n) { return n ? Next() % n : 0; }
};

std::vector<unsigned char> Mutate(const std::vector<unsigned char>& sample, uint32_t seed, long index) {
    Random r(seed ^ static_cast<uint32_t>(index) * 0x85EBCA6Bu);
    std::vector<unsigned char> v = sample;
    const int edits = 1 + static_cast<int>(r.Below(4));
    for (int e = 0; e < edits && !v.empty(); ++e) {
        const size_t at = r.Below(static_cast<uint32_t>(v.size()));
        switch (r.Below(8)) {
            case 0:
            case 1:  // a random byte
                v[at] = static_cast<unsigned char>(r.Next());
                break;
            case 2: {  // a boundary value over one to four bytes
                static const uint32_t kValues[] = {0, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0x40000000,
                                                   0x0000FFFF, 0x00007FFF, 0x01000000, 20000000};
                const uint32_t value = kValues[r.Below(9)];
                const size_t n = 1 + r.Below(4);
                for (size_t k = 0; k < n && at + k < v.size(); ++k) v[at + k] = static_cast<unsigned char>(value >> (8 * k));
                break;
            }
            case 3:  // a bit flipped
                v[at] ^= static_cast<unsigned char>(1u << r.Below(8));
                break;
            case 4:  // cut short
                v.resize(at);
                break;
            case 5: {  // a piece repeated
                const size_t n = std::min<size_t>(1 + r.Below(64), v.size() - at);
                std::vector<unsigned char> piece(v.begin() + at, v.begin() + at + n);
                v.insert(v.begin() + r.Below(static_cast<uint32_t>(v.size())), piece.begin(), piece.end());
                break;
            }
            case 6: {  // a piece removed
                const size_t n = std::min<size_t>(1 + r.Below(16), v.size() - at);
                v.erase(v.begin() + at, v.begin() + at + n);
                break;
            }
            default: {  // a decimal number made huge or negative (image counts, text numbers)
                static const char* kNumbers[] = {"99999999", "2147483647", "-7", "20000000", "4294967295"};
                const char* digits = kNumbers[r.Below(5)];
                size_t p = at;
                while (p < v.size() && !(v[p] >= '0' && v[p] <= '9')) ++p;
                if (p == v.size()) break;
                size_t q = p;
                while (q < v.size() && v[q] >= '0' && v[q] <= '9') ++q;
                v.erase(v.begin() + p, v.begin() + q);
                v.insert(v.begin() + p, digits, digits + std::strlen(digits));
                break;
            }
        }
    }
    return v;
}

// A PNG's chunks get their check sums again after a mutation, so that the decoder reads on into
// the changed chunk instead of stopping at its first check.
void FixPngChecks(std::vector<unsigned char>& v) {
    size_t at = 8;
    while (at + 12 <= v.size()) {
        const size_t length = (static_cast<size_t>(v[at]) << 24) | (v[at + 1] << 16) | (v[at + 2] << 8) | v[at + 3];
        if (length > v.size() - at - 12) break;
        const uLong crc = crc32(crc32(0, nullptr, 0), v.data() + at + 4, static_cast<uInt>(length + 4));
        const size_t end = at + 8 + length;
        v[end] = static_cast<unsigned char>(crc >> 24);
        v[end + 1] = static_cast<unsigned char>(crc >> 16);
        v[end + 2] = static_cast<unsigned char>(crc >> 8);
        v[end + 3] = static_cast<unsigned char>(crc);
        at = end + 4;
    }
}

uint32_t Be32(const unsigned char* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

// A PNG whose pixel rows (filter bytes and samples) are mutated instead of its bytes, packed
// again, so that the decoder gets past inflating them. Empty when the sample has no IDAT.
std::vector<unsigned char> MutatePngRows(const std::vector<unsigned char>& png, uint32_t seed, long index) {
    size_t first = 0, last = 0;
    std::vector<unsigned char> packed;
    for (size_t at = 8; at + 12 <= png.size();) {
        const size_t length = Be32(&png[at]);
        if (length > png.size() - at - 12) break;
        if (std::memcmp(&png[at + 4], "IDAT", 4) == 0) {
            if (!first) first = at;
            last = at + 12 + length;
            packed.insert(packed.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
        }
        at += 12 + length;
    }
    std::vector<unsigned char> rows(1 << 16);
    uLongf rowBytes = static_cast<uLongf>(rows.size());
    if (!first || uncompress(rows.data(), &rowBytes, packed.data(), static_cast<uLong>(packed.size())) != Z_OK) return {};
    rows.resize(rowBytes);
    rows = Mutate(rows, seed, index);
    uLongf size = compressBound(static_cast<uLong>(rows.size()));
    std::vector<unsigned char> idat(size);
    if (compress(idat.data(), &size, rows.data(), static_cast<uLong>(rows.size())) != Z_OK) return {};
    idat.resize(size);
    std::vector<unsigned char> v(png.begin(), png.begin() + first);
    for (int k = 3; k >= 0; --k) v.push_back(static_cast<unsigned char>(size >> (8 * k)));
    v.insert(v.end(), {'I', 'D', 'A', 'T'});
    v.insert(v.end(), idat.begin(), idat.end());
    v.resize(v.size() + 4);  // the check sum, filled below
    v.insert(v.end(), png.begin() + last, png.end());
    FixPngChecks(v);
    return v;
}

// Mutant i of a kind: of its samples in turn.
std::vector<unsigned char> MutantOf(const std::string& kind, const std::vector<std::vector<unsigned char>>& samples,
                                    uint32_t seed, long index) {
    const size_t which = static_cast<size_t>(index) % samples.size();
    const long round = index / static_cast<long>(samples.size());
    const bool png = kind == "png" || (kind == "folder" && std::strcmp(kFolderTypes[which], "png") == 0);
    // Of PNG mutants, one in four has its pixel rows changed, and every other one keeps valid
    // check sums: a changed byte alone stops the decoder at the first check or in inflating.
    if (png && round % 4 == 1) {
        std::vector<unsigned char> v = MutatePngRows(samples[which], seed, index);
        if (!v.empty()) return v;
    }
    std::vector<unsigned char> v = Mutate(samples[which], seed, index);
    if (png && round % 2 == 0) FixPngChecks(v);
    return v;
}

// ---- feeding the readers ------------------------------------------------------------------------

// Draws every side of the design small, as the canvas and the previews do.
void DrawSides(KorvanelleDocument& doc) {
    std::vector<ViewObject*> sides;
    doc.ForEachObject([&](ViewObject* o) {
        if (o->IsSide()) sides.push_back(o);
    });
    for (ViewObject* side : sides) {
        doc.currentSideName = side->name;
        delete RenderDocumentToBitmap(&doc, side, kPurposeExport, 20, nullptr);
    }
}

bool ReadDesign(const std::vector<unsigned char>& bytes, bool draw) {
    CMemFile file;
    if (!bytes.empty()) file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    file.SeekToBegin();
    KorvanelleDocument doc;
    const bool ok = LoadObjectFromFile(&doc, &file);
    if (ok) {
        doc.MakeNamesUnique();
        if (draw) DrawSides(doc);
    }
    doc.DeleteContents(true);
    return ok;
}

UINT g_clipboardFormat = 0;
std::vector<unsigned char> g_host;  // the design a pasted object is put into

bool PasteRecord(const std::vector<unsigned char>& bytes, long index, bool draw) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
    if (block) {
        if (!bytes.empty()) std::memcpy(GlobalLock(block), bytes.data(), bytes.size()), GlobalUnlock(block);
        if (!SetClipboardData(g_clipboardFormat, block)) GlobalFree(block);
    }
    CloseClipboard();
    KorvanelleDocument doc;
    CMemFile file;
    file.Write(g_host.data(), static_cast<UINT>(g_host.size()));
    file.SeekToBegin();
    LoadObjectFromFile(&doc, &file);
    ViewObject* o = new ViewObject;
    g_loadingAlbumInfo = &doc.albumInfo;
    const bool ok = o->PasteFromClipboard(g_clipboardFormat);
    g_loadingAlbumInfo = nullptr;
    if (ok) {
        // On a disc or on the back cover, at the side's corner, as a paste puts it.
        ViewObject* side = doc.FindObject(index % 2 ? "Back Cover" : "Disc 1");
        if (side) {
            o->side = side->side;
            o->sideName = side->name;
            o->left = side->left;
            o->top = side->top;
            // A track list takes a layout its side can show, as a paste does.
            if (o->IsTrackList() && o->side == 1 && (o->textLayout == "1 Column" || o->textLayout == "Table Format"))
                o->textLayout = "Bottom";
        }
        doc.AssignUniqueName(o);
        doc.AddObject(o);
        if (draw && side) {
            doc.currentSideName = side->name;
            delete RenderDocumentToBitmap(&doc, side, kPurposeExport, 20, nullptr);
        }
    } else {
        DeleteViewObject(o);
    }
    doc.DeleteContents(true);
    return ok;
}

bool PasteDib(const std::vector<unsigned char>& bytes, bool draw) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
    if (!block) return false;
    if (!bytes.empty()) std::memcpy(GlobalLock(block), bytes.data(), bytes.size()), GlobalUnlock(block);
    IStreamObject stream;
    Bitmap* bitmap = stream.SetFromHGlobal(block);
    GlobalFree(block);
    const bool ok = bitmap != nullptr;
    if (ok && draw) {
        Bitmap target(32, 32, PixelFormat24bppRGB);
        Graphics g(&target);
        g.DrawImage(bitmap, 0, 0, 32, 32);
    }
    delete bitmap;
    return ok;
}

// A picture inserted into the sample design's disc, decoded and drawn with the side.
bool InsertPicture(const std::vector<unsigned char>& bytes, bool draw) {
    KorvanelleDocument doc;
    CMemFile file;
    file.Write(g_host.data(), static_cast<UINT>(g_host.size()));
    file.SeekToBegin();
    LoadObjectFromFile(&doc, &file);
    ViewObject* o = NewViewObject(kObjectImage, "Image", 1, "Disc 1", 100, 100, 1500, 1000);
    bool ok = false;
    if (!bytes.empty() && o->image.SetBytes(bytes.data(), static_cast<ULONG>(bytes.size())))
        ok = o->EnsureImageLoaded();
    doc.AssignUniqueName(o);
    doc.AddObject(o);
    if (draw) {
        doc.currentSideName = "Disc 1";
        if (ViewObject* disc = doc.FindObject("Disc 1"))
            delete RenderDocumentToBitmap(&doc, disc, kPurposeExport, 20, nullptr);
    }
    doc.DeleteContents(true);
    return ok;
}

std::string g_folders;  // where the image folders are made
long g_folderCount = 0;

// The picture as a file in the Images panel's folder: the folder scan finds it, the thumbnail
// maker decodes it, its cell is drawn, and a double-click inserts it into the design. True when
// the thumbnail was made or the picture inserted (GDI+ makes no bitmap of a metafile: those show
// a placeholder in the panel and insert).
bool ShowInImageFolder(const std::vector<unsigned char>& bytes, long index, bool draw) {
    // A folder of its own for each read: a file a reader left open cannot be removed, and must
    // not be found again by the next read.
    const std::string folder = g_folders + "\\" + std::to_string(++g_folderCount);
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path =
        folder + "\\picture." + kFolderTypes[index % (sizeof kFolderTypes / sizeof *kFolderTypes)];
    struct Remove {
        const std::string& file;
        const std::string& folder;
        ~Remove() {
            DeleteFileA(file.c_str());
            RemoveDirectoryA(folder.c_str());
        }
    } remove{path, folder};
    if (!kvtest::WriteFileBytes(path, bytes)) return false;
    ImagePanelState state;
    state.m_collectImages = 1;
    state.m_folderLoadRunning = 1;
    FolderScanJob* scan = new FolderScanJob;
    scan->state = &state;
    scan->folder = folder.c_str();
    scan->patterns = g_imageFilterPatterns[0];
    BackgroundFolderThreadProc(scan);
    state.m_thumbFirst = 0;
    state.m_thumbLast = state.RecordCount() - 1;
    state.m_thumbLoadRunning = 1;
    ThumbnailJob* thumbs = new ThumbnailJob;
    thumbs->state = &state;
    ThumbnailThreadProc(thumbs);
    ImageRecord* record = state.RecordAt(0);
    const bool thumbnail =
        record && !record->IsNoBackground() && record->m_state == kImageDecoded && record->m_thumbnail;
    if (thumbnail && draw) {
        // The cell: the thumbnail centred in its square.
        Bitmap cell(117, 132, PixelFormat32bppARGB);
        Graphics g(&cell);
        g.DrawImage(record->m_thumbnail.get(), Rect((110 - record->m_thumbWidth) / 2, (110 - record->m_thumbHeight) / 2,
                                                     record->m_thumbWidth, record->m_thumbHeight));
    }
    state.FreeRecords();
    // The double-click: the file read into a new picture on the disc, drawn with it.
    KorvanelleDocument doc;
    CMemFile file;
    file.Write(g_host.data(), static_cast<UINT>(g_host.size()));
    file.SeekToBegin();
    LoadObjectFromFile(&doc, &file);
    ViewObject* o = new ViewObject;
    o->type = kObjectImage;
    const bool inserted = o->LoadImageFile(path.c_str(), false);
    if (inserted) {
        o->sideName = "Disc 1";
        o->side = 1;
        o->name = "Image";
        o->left = o->top = 100;
        o->width = 1500;
        o->height = 1000;
        doc.AssignUniqueName(o);
        doc.AddObject(o);
        if (draw) {
            doc.currentSideName = "Disc 1";
            if (ViewObject* disc = doc.FindObject("Disc 1"))
                delete RenderDocumentToBitmap(&doc, disc, kPurposeExport, 20, nullptr);
        }
    } else {
        DeleteViewObject(o);
    }
    doc.DeleteContents(true);
    return thumbnail || inserted;
}

bool Feed(const std::string& kind, const std::vector<unsigned char>& bytes, long index, bool draw) {
    if (kind[0] == 'v') return ReadDesign(bytes, draw);
    if (kind == "clip") return PasteRecord(bytes, index, draw);
    if (kind == "dib") return PasteDib(bytes, draw);
    if (kind == "folder") return ShowInImageFolder(bytes, index, draw);
    return InsertPicture(bytes, draw);
}

struct Held {
    long long bytes;
    long gdi, handles;
};

Held HeldNow() {
    Held h;
    h.bytes = g_liveBytes;
    h.gdi = kvtest::GdiObjectCount();
    h.handles = kvtest::KernelHandleCount();
    return h;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: hostile_input_fuzz <kind> <first> <count> <seed>\n");
        return 64;
    }
    if (std::string(argv[1]) == "write" && argc >= 6) {
        if (!kvtest::GdiplusReady()) return 65;
        const long index = std::atol(argv[3]);
        const std::vector<std::vector<unsigned char>> samples = Samples(argv[2]);
        if (samples.empty()) return 66;
        const std::vector<unsigned char> mutant =
            index < 0 ? samples[static_cast<size_t>(-1 - index) % samples.size()]
                      : MutantOf(argv[2], samples, static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10)), index);
        return kvtest::WriteFileBytes(argv[5], mutant) ? 0 : 1;
    }
    const std::string kind = argv[1];
    const long first = std::atol(argv[2]), count = std::atol(argv[3]);
    const uint32_t seed = static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10));
    SetUnhandledExceptionFilter(OnCrash);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    if (!kvtest::GdiplusReady()) return 65;
    // Error boxes are answered and counted; the first text of each mutant is kept in a buffer
    // made once, so that a box changes no count of held bytes.
    long boxesNow = 0;
    char firstBox[256] = {};
    AfxSetMessageBoxHook([&](HWND, LPCSTR text, LPCSTR, UINT) {
        if (boxesNow++ == 0) std::snprintf(firstBox, sizeof firstBox, "%s", text ? text : "");
        return IDOK;
    });
    g_clipboardFormat = RegisterClipboardFormatA("Korvanelle500");
    g_host = Design507();
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        g_folders = std::string(temp) + "kv-fuzz-folders-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(g_folders.c_str(), nullptr);
    }
    const std::vector<std::vector<unsigned char>> samples = Samples(kind);
    for (size_t k = 0; k < samples.size() || samples.empty(); ++k) {
        if (samples.empty() || samples[k].empty()) {
            std::fprintf(stderr, "no %s sample %u\n", kind.c_str(), static_cast<unsigned>(k));
            return 66;
        }
        if (!Feed(kind, samples[k], static_cast<long>(k), true)) {
            std::fprintf(stderr, "the %s sample %u does not read\n", kind.c_str(), static_cast<unsigned>(k));
            // Where GDI+ makes no bitmap of a metafile (Wine's), the panel shows its placeholder
            // and refuses to insert it: the run goes on through those paths.
            const bool metafile = kind == "folder" && (std::strcmp(kFolderTypes[k], "wmf") == 0 ||
                                                       std::strcmp(kFolderTypes[k], "emf") == 0);
            if (!metafile) return 66;
        }
    }
    std::thread(Watchdog).detach();

    long reads = 0, readOk = 0, boxCount = 0;
    auto noteBoxes = [&](long i) {
        if (boxesNow > 0) std::printf("box %ld %s\n", i, firstBox);
        boxCount += boxesNow;
        boxesNow = 0;
    };
    auto feed = [&](const std::vector<unsigned char>& bytes, long i, bool draw) {
        g_started = GetTickCount();
        return Feed(kind, bytes, i, draw);
    };
    g_largestRequest = 0;
    for (long i = first; i < first + count; ++i) {
        const std::vector<unsigned char> mutant = MutantOf(kind, samples, seed, i);
        Say("at %ld\n", i);
        g_started = GetTickCount();
        g_current = i;
        const bool ok = feed(mutant, i, true);
        ++reads;
        readOk += ok;
        noteBoxes(i);
        if (!ok) {
            // A failed read, repeated: after the first repeat (caches filled) nothing may stay.
            feed(mutant, i, false);
            const Held before = HeldNow();
            feed(mutant, i, false);
            feed(mutant, i, false);
            boxesNow = 0;
            const Held after = HeldNow();
            if (after.bytes > before.bytes || after.gdi > before.gdi || after.handles > before.handles)
                Say("leak %ld %lld %lld %lld\n", i, after.bytes - before.bytes,
                    static_cast<long long>(after.gdi - before.gdi),
                    static_cast<long long>(after.handles - before.handles));
        }
        g_current = -1;
        const SIZE_T peak = PeakMemory();
        const size_t largest = g_largestRequest.exchange(0);
        if (peak > kMemoryLimit || largest > kMemoryLimit) {
            Say("alloc %ld %lld\n", i, static_cast<long long>(std::max<size_t>(peak, largest) >> 20));
            std::printf("done %s %ld %ld %ld\n", kind.c_str(), reads, readOk, boxCount);
            std::fflush(stdout);
            TerminateProcess(GetCurrentProcess(), 4);
        }
    }
    std::printf("done %s %ld %ld %ld\n", kind.c_str(), reads, readOk, boxCount);
    std::printf("peak %lld MB\n", static_cast<long long>(PeakMemory() >> 20));
    std::fflush(stdout);
    RemoveDirectoryA(g_folders.c_str());
    // Straight out: the design library and GDI+ need no orderly end here.
    TerminateProcess(GetCurrentProcess(), 0);
    return 0;
}
