// Reads that fail half-way: everything a half-read record already owned is freed, and a damaged
// label-stock list that names one stock twice is cleaned up without touching freed memory.
//
// This program counts the bytes it holds through operator new and poisons memory when it is
// freed, so that a leak shows as a count that grows and a use after free reads garbage.
#include <doctest.h>

#include <windows.h>
#include <malloc.h>
#include <psapi.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "DocumentSamples.h"
#include "GdiplusSession.h"

using namespace docsample;

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
    const size_t size = _msize(p);
    InterlockedExchangeAdd64(&g_liveBytes, -static_cast<long long>(size));
    std::memset(p, 0xDD, size);
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    operator delete(p);
}

namespace {

struct PaperTable {
    PaperTable() { InitPaperTable(); }
} g_paper;

std::vector<unsigned char> DesignBytes() {
    KorvanelleDocument library;
    library.CreateBuiltInTemplates();
    KorvanelleDocument design;
    BuildDesign(design, library.templates[3], library.templates[2]);
    std::vector<unsigned char> bytes = SaveBytes(design);
    design.DeleteContents(true);
    library.DeleteContents(true);
    return bytes;
}

bool ReadDesign(const std::vector<unsigned char>& bytes) {
    CMemFile file;
    if (!bytes.empty()) file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    file.SeekToBegin();
    KorvanelleDocument doc;
    const bool ok = LoadObjectFromFile(&doc, &file);
    doc.DeleteContents(true);
    return ok;
}

size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

// Where the second template's record starts: the second time its class's tag is used.
size_t SecondTemplateOffset(const std::vector<unsigned char>& bytes) {
    const std::string name = "LabelTemplate";
    auto it = std::search(bytes.begin(), bytes.end(), name.begin(), name.end());
    REQUIRE(it != bytes.end());
    // After the class record, the first template's name and layout strings; the second template
    // comes after every object of the first. Its layout name is the second "Layout..." string.
    const std::string layout = "Layout";
    auto first = std::search(it, bytes.end(), layout.begin(), layout.end());
    REQUIRE(first != bytes.end());
    auto second = std::search(first + 1, bytes.end(), layout.begin(), layout.end());
    REQUIRE(second != bytes.end());
    return static_cast<size_t>(second - bytes.begin());
}

}  // namespace

TEST_CASE("a design file cut short frees everything it had read") {
    REQUIRE(kvtest::GdiplusReady());
    const std::vector<unsigned char> bytes = DesignBytes();
    REQUIRE(ReadDesign(bytes));
    const size_t second = SecondTemplateOffset(bytes);
    REQUIRE(second > 100);
    REQUIRE(second + 400 < bytes.size());

    SUBCASE("at every length, inside the first and the second template alike") {
        const size_t step = bytes.size() / 300 + 1;
        int leaking = 0;
        for (size_t cut = 0; cut < bytes.size(); cut += step) {
            const std::vector<unsigned char> v(bytes.begin(), bytes.begin() + cut);
            CHECK_FALSE(ReadDesign(v));  // once, for whatever a first read sets up for good
            const long long before = g_liveBytes;
            ReadDesign(v);
            const long long after = g_liveBytes;
            if (after != before) {
                ++leaking;
                CAPTURE(cut);
                CHECK(after - before == 0);
            }
        }
        CHECK(leaking == 0);
    }
    SUBCASE("a file cut inside its second template, read 300 times") {
        const std::vector<unsigned char> v(bytes.begin(), bytes.begin() + second + 200);
        ReadDesign(v);
        const long long liveBefore = g_liveBytes;
        const size_t privateBefore = PrivateBytes();
        for (int i = 0; i < 300; ++i) CHECK_FALSE(ReadDesign(v));
        const long long liveAfter = g_liveBytes;
        const size_t privateAfter = PrivateBytes();
        MESSAGE("300 failed reads: held bytes " << liveBefore << " -> " << liveAfter << ", private bytes "
                                                << privateBefore / 1024 << " KB -> " << privateAfter / 1024
                                                << " KB");
        CHECK(liveAfter == liveBefore);
        // Streams and bitmaps are not counted above: the process as a whole must not grow either.
        CHECK(privateAfter < privateBefore + 512 * 1024);
    }
}

TEST_CASE("a label-stock list that names a stock twice and then ends is refused cleanly") {
    REQUIRE(kvtest::GdiplusReady());
    KvMessageBoxCapture boxes;  // the import reports its failure
    // Two stocks, a back reference to the first as the third of four, then the end of the file.
    std::vector<Stock> stocks = ThreeStocks(5500);
    stocks.resize(2);
    std::vector<unsigned char> bytes = LabelsIni(stocks, "");
    bytes[0] = 4;  // the count
    bytes[1] = 0;
    bytes.push_back(2);  // object index 2: the first stock (index 1 is its class)
    bytes.push_back(0);
    SUBCASE("imported") {
        CMemFile file;
        file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
        file.SeekToBegin();
        KorvanelleDocument doc;
        const long long before = g_liveBytes;
        {
            KvMessageBoxCapture report;
            CHECK_FALSE(doc.ImportLabelsIni(file));
            CHECK(report.Boxes().size() == 1);
        }
        CHECK(doc.templates.GetSize() == 0);
        doc.DeleteContents(true);
        CHECK(g_liveBytes == before);  // both stocks freed, each once
    }
    SUBCASE("opened as the template library") {
        const std::string path = WriteTemp("labels-repeat", "labels.ini", bytes);
        KorvanelleDocument doc;
        CHECK_FALSE(doc.OpenDocumentFile(path.c_str()));
        CHECK(doc.templates.GetSize() == 0);
    }
}
