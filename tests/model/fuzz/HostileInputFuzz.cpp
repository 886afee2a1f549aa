// The mutation run over everything a user can hand the program: design files of every version,
// the own clipboard format, packed DIBs and pictures inserted into a design. Each mutant goes
// through the real reader and, when it reads, is drawn; the program reports what went wrong.
//
//   hostile_input_fuzz.exe <kind> <first> <count> <seed>
//   hostile_input_fuzz.exe write <kind> <index> <seed> <file>   (one mutant, to look at; the
//                                                                sample itself for index -1)
//
// kind: v507 v450 v350 v6 v1 clip dib jpg tif bmp png gif. Mutant i of a kind is the same for a
// given seed, so a run can go on after the mutant it died on (scripts/fuzz-hostile.sh does). Lines
// on standard output:
//   at <i>                    before mutant i (flushed; the last one names a crash's input)
//   crash <i> <code> <addr>   an exception nothing caught; the program ends
//   hang <i>                  mutant i took over 10 s; the program ends
//   alloc <i> <MB>            the process went over 256 MB while reading or drawing mutant i; it ends
//   leak <i> <bytes> <gdi> <handles>  a failed read of mutant i, repeated, held more than before
//   done <kind> <reads> <read-ok> <boxes>
//
// This program counts the bytes held through operator new, so that a repeated failed read that
// keeps memory shows up.
#include <windows.h>
#include <malloc.h>
#include <psapi.h>

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
#include "framework/graphics/GdipImage.h"
#include "render/DocumentBitmap.h"

using namespace docsample;
using namespace Gdiplus;

namespace {
volatile long long g_liveBytes = 0;
}

void* operator new(size_t size) {
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
    std::printf("crash %ld 0x%08lx %p\n", g_current.load(), info->ExceptionRecord->ExceptionCode,
                info->ExceptionRecord->ExceptionAddress);
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
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakPagefileUsage;
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

// The own clipboard record of the sample design's track list (or of its first text).
std::vector<unsigned char> ClipboardRecord(bool trackList) {
    KorvanelleDocument doc;
    std::vector<unsigned char> design = Design507();
    CMemFile in;
    in.Write(design.data(), static_cast<UINT>(design.size()));
    in.SeekToBegin();
    LoadObjectFromFile(&doc, &in);
    std::vector<unsigned char> bytes;
    doc.ForEachObject([&](ViewObject* o) {
        if (!bytes.empty() || (trackList ? !o->IsTrackList() : !o->IsText())) return;
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

std::vector<unsigned char> Sample(const std::string& kind) {
    std::vector<unsigned char> bmp = docfile::MakeBmp(2, 2, 1, 2, 3);
    if (kind == "v507") return Design507();
    if (kind == "v450") return OldFile(450, "ViewObject", OldObjects(true), OldAlbum("Double", "Jewel"), bmp);
    if (kind == "v350") return OldFile(350, "CRichChild", OldObjects(true), OldAlbum("Single", "DVD"), bmp);
    if (kind == "v6") return Pre300File(6, Pre300Items(false), Pre300Texts("Old Band"), Pre300Album(), {bmp});
    if (kind == "v1") return Pre300File(1, Pre300Items(true), Pre300Texts("Old Band"), Pre300Album(), {bmp});
    if (kind == "clip") return ClipboardRecord(true);
    if (kind == "dib") {
        std::vector<unsigned char> file = docfile::MakeBmp(5, 3, 40, 80, 120);
        return std::vector<unsigned char>(file.begin() + 14, file.end());
    }
    if (kind == "jpg") return Encoded(L"image/jpeg");
    if (kind == "tif") return Encoded(L"image/tiff");
    if (kind == "bmp") return docfile::MakeBmp(7, 5, 90, 30, 200);
    if (kind == "png") return Encoded(L"image/png");
    if (kind == "gif") return Gif();
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

// Mutant i of a kind.
std::vector<unsigned char> MutantOf(const std::string& kind, const std::vector<unsigned char>& sample,
                                    uint32_t seed, long index) {
    std::vector<unsigned char> v = Mutate(sample, seed, index);
    // Every other PNG mutant keeps valid check sums.
    if (kind == "png" && index % 2 == 0) FixPngChecks(v);
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

bool Feed(const std::string& kind, const std::vector<unsigned char>& bytes, long index, bool draw) {
    if (kind[0] == 'v') return ReadDesign(bytes, draw);
    if (kind == "clip") return PasteRecord(bytes, index, draw);
    if (kind == "dib") return PasteDib(bytes, draw);
    return InsertPicture(bytes, draw);
}

struct Held {
    long long bytes;
    DWORD gdi, handles;
};

Held HeldNow() {
    Held h;
    h.bytes = g_liveBytes;
    h.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    h.handles = handles;
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
        const std::vector<unsigned char> sample = Sample(argv[2]);
        const std::vector<unsigned char> mutant =
            index < 0 ? sample
                      : MutantOf(argv[2], sample, static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10)), index);
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
    const std::vector<unsigned char> sample = Sample(kind);
    if (sample.empty() || !Feed(kind, sample, 0, true)) {
        std::fprintf(stderr, "the %s sample does not read\n", kind.c_str());
        return 66;
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
    for (long i = first; i < first + count; ++i) {
        const std::vector<unsigned char> mutant = MutantOf(kind, sample, seed, i);
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
                    static_cast<long long>(after.gdi) - before.gdi,
                    static_cast<long long>(after.handles) - before.handles);
        }
        g_current = -1;
        const SIZE_T peak = PeakMemory();
        if (peak > kMemoryLimit) {
            Say("alloc %ld %lld\n", i, static_cast<long long>(peak >> 20));
            std::printf("done %s %ld %ld %ld\n", kind.c_str(), reads, readOk, boxCount);
            std::fflush(stdout);
            TerminateProcess(GetCurrentProcess(), 4);
        }
    }
    std::printf("done %s %ld %ld %ld\n", kind.c_str(), reads, readOk, boxCount);
    std::fflush(stdout);
    // Straight out: the design library and GDI+ need no orderly end here.
    TerminateProcess(GetCurrentProcess(), 0);
    return 0;
}
