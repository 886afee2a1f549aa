// Pasted bitmaps come from other programs: a clipboard block whose header claims more than the
// block holds must be refused without reading past it, whatever its fields say.
#include <doctest.h>

#include <cstring>
#include <random>
#include <vector>

#include "GdiplusSession.h"
#include "framework/graphics/DibHelpers.h"
#include "model/ImageStream.h"
#include "framework/graphics/GdipImage.h"

using namespace Gdiplus;

namespace {

// A block of global memory holding exactly these bytes.
HGLOBAL GlobalBlock(const std::vector<BYTE>& bytes) {
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    REQUIRE(mem != nullptr);
    std::memcpy(GlobalLock(mem), bytes.data(), bytes.size());
    GlobalUnlock(mem);
    return mem;
}

std::vector<BYTE> Header(DWORD size, LONG w, LONG h, WORD bits, DWORD compression, DWORD imageSize,
                         size_t total) {
    std::vector<BYTE> d(total, 0x5A);
    BITMAPV5HEADER v5 = {};
    v5.bV5Size = size;
    v5.bV5Width = w;
    v5.bV5Height = h;
    v5.bV5Planes = 1;
    v5.bV5BitCount = bits;
    v5.bV5Compression = compression;
    v5.bV5SizeImage = imageSize;
    std::memcpy(d.data(), &v5, std::min(total, sizeof(v5)));
    return d;
}

// Bytes placed so that the first byte after them lies on a page that cannot be read: any read
// past the end is an access violation at once, not a silent look at the heap.
class GuardedBytes {
public:
    explicit GuardedBytes(const std::vector<BYTE>& bytes) : m_size(bytes.size()) {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        m_page = si.dwPageSize;
        const size_t pages = (bytes.size() + m_page - 1) / m_page + 1;
        m_base = static_cast<BYTE*>(
            VirtualAlloc(nullptr, pages * m_page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        REQUIRE(m_base != nullptr);
        DWORD old = 0;
        REQUIRE(VirtualProtect(m_base + (pages - 1) * m_page, m_page, PAGE_NOACCESS, &old));
        m_data = m_base + (pages - 1) * m_page - bytes.size();
        if (!bytes.empty()) std::memcpy(m_data, bytes.data(), bytes.size());
    }
    ~GuardedBytes() { VirtualFree(m_base, 0, MEM_RELEASE); }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;
    const BYTE* Data() const { return m_data; }
    size_t Size() const { return m_size; }

private:
    size_t m_size;
    size_t m_page = 4096;
    BYTE* m_base = nullptr;
    BYTE* m_data = nullptr;
};

// A malformed header: mostly plausible fields with one or more of them damaged.
std::vector<BYTE> RandomDib(std::mt19937& rng) {
    static const DWORD kSizes[] = {12, 40, 108, 124, 40, 40, 124, 0, 56, 0xFFFFFFFFu};
    static const WORD kBits[] = {0, 1, 4, 8, 16, 24, 32, 32, 32, 3, 255, 0xFFFF};
    static const DWORD kCompressions[] = {BI_RGB,  BI_RGB,  BI_BITFIELDS, BI_RLE8,
                                          BI_RLE4, BI_JPEG, BI_PNG,       77};
    auto pick = [&](auto& table) { return table[rng() % (sizeof(table) / sizeof(table[0]))]; };
    auto dimension = [&]() -> LONG {
        switch (rng() % 6) {
            case 0:
                return static_cast<LONG>(rng());  // anything, negative included
            case 1:
                return -static_cast<LONG>(rng() % 64);
            case 2:
                return 0x10000 << (rng() % 4);
            default:
                return static_cast<LONG>(rng() % 40);
        }
    };
    const DWORD size = pick(kSizes);
    const LONG w = dimension(), h = dimension();
    const WORD bits = pick(kBits);
    const DWORD compression = pick(kCompressions);
    const DWORD imageSize = (rng() % 3 == 0) ? rng() : rng() % 64;
    // Blocks from a few bytes to somewhat more than the header and a table.
    const size_t total = 4 + rng() % 1400;
    std::vector<BYTE> d = Header(size, w, h, bits, compression, imageSize, total);
    if (total >= sizeof(BITMAPINFOHEADER)) {
        BITMAPINFOHEADER* bih = reinterpret_cast<BITMAPINFOHEADER*>(d.data());
        if (rng() % 4 == 0) bih->biClrUsed = (rng() % 2) ? rng() : rng() % 300;
    }
    if (total >= sizeof(BITMAPV5HEADER) && size == 124 && rng() % 3 == 0) {
        BITMAPV5HEADER* v5 = reinterpret_cast<BITMAPV5HEADER*>(d.data());
        v5->bV5ProfileData = rng() % 2 ? rng() : rng() % 2000;
        v5->bV5ProfileSize = rng() % 2 ? rng() : rng() % 200;
    }
    if (size == 12 && total >= sizeof(BITMAPCOREHEADER)) {
        BITMAPCOREHEADER core = {12, static_cast<WORD>(w), static_cast<WORD>(h), 1, bits};
        std::memcpy(d.data(), &core, sizeof(core));
    }
    return d;
}

}  // namespace

TEST_CASE("a pasted bitmap larger than its block is refused") {
    REQUIRE(kvtest::GdiplusReady());
    SUBCASE("a 56-byte block claiming 1500 x 1500 pixels of 32 bits") {
        std::vector<BYTE> d = Header(40, 1500, 1500, 32, BI_RGB, 16, 56);
        HGLOBAL mem = GlobalBlock(d);
        IStreamObject img;
        CHECK(img.SetFromHGlobal(mem) == nullptr);
        CHECK(img.GetStream() == nullptr);
        GlobalFree(mem);
    }
    SUBCASE("a 24-bit header whose image size field is small but whose rows are not") {
        std::vector<BYTE> d = Header(40, 200, 200, 24, BI_RGB, 20, 40 + 20);
        HGLOBAL mem = GlobalBlock(d);
        IStreamObject img;
        CHECK(img.SetFromHGlobal(mem) == nullptr);
        GlobalFree(mem);
    }
    SUBCASE("sizes that wrap round in 32 bits are no size") {
        // 65536 x 65536 x 32 bits is 2^34 bytes: 0 when counted in 32 bits.
        std::vector<BYTE> d = Header(40, 0x10000, 0x10000, 32, BI_RGB, 0, 40);
        CHECK(GetPackedDibSize(d.data()) == 0);
        d = Header(40, 4, 4, 8, BI_RGB, 0, 40);
        reinterpret_cast<BITMAPINFOHEADER*>(d.data())->biClrUsed = 0x40000000;  // 4 x count wraps to 0
        CHECK(GetPackedDibSize(d.data()) == 0);
        CHECK(GetDibBitsOffset(d.data()) == 0);
    }
    SUBCASE("the header itself must lie inside the block") {
        std::vector<BYTE> d = Header(124, 2, 2, 32, BI_RGB, 0, 124 + 16);
        GuardedBytes whole(d);
        CHECK(GetPackedDibSizeWithin(whole.Data(), whole.Size()) == 124 + 16);
        d.resize(60);
        GuardedBytes cut(d);
        CHECK(GetPackedDibSizeWithin(cut.Data(), cut.Size()) == 0);
        CHECK(GetPackedDibSizeWithin(cut.Data(), 3) == 0);
    }
    SUBCASE("a sound block still pastes") {
        std::vector<BYTE> d = Header(40, 3, 2, 32, BI_RGB, 0, 40 + 24);
        for (size_t i = 40; i < d.size(); i += 4) d[i + 3] = 0xFF;
        HGLOBAL mem = GlobalBlock(d);
        IStreamObject img;
        Bitmap* bmp = img.SetFromHGlobal(mem);
        REQUIRE(bmp != nullptr);
        CHECK(bmp->GetWidth() == 3);
        CHECK(bmp->GetHeight() == 2);
        delete bmp;
        GlobalFree(mem);
    }
}

TEST_CASE("thousands of malformed clipboard headers read nothing past their blocks") {
    REQUIRE(kvtest::GdiplusReady());
    std::mt19937 rng(20240613);
    int accepted = 0;
    const int kRounds = 4000;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<BYTE> d = RandomDib(rng);
        // The layout checks and the 32-bit copy on memory that ends at an unreadable page.
        GuardedBytes guarded(d);
        const DWORD size = GetPackedDibSizeWithin(guarded.Data(), guarded.Size());
        CHECK(size <= guarded.Size());
        if (size != 0) {
            ++accepted;
            delete CreateBitmapFromDib(guarded.Data(), size);
        }
        // The whole paste, from a block of global memory.
        HGLOBAL mem = GlobalBlock(d);
        IStreamObject img;
        Bitmap* bmp = img.SetFromHGlobal(mem);
        if (bmp) CHECK(size != 0);
        delete bmp;
        GlobalFree(mem);
    }
    // The generator must also reach the accepting paths, or the run proves little.
    CHECK(accepted > kRounds / 50);
}
