// Damaged files of every version: valid files cut at every length, with bytes changed and with
// counts and lengths enlarged. Every read ends, succeeds or fails, and asks for no more memory
// than the file could justify.
#include <doctest.h>

#include <windows.h>
#include <psapi.h>

#include <cstdint>

#include "DocumentSamples.h"
#include "GdiplusSession.h"

using namespace docsample;

namespace {

struct PaperTable {
    PaperTable() { InitPaperTable(); }
} g_paper;

struct Sample {
    const char* what;
    std::vector<unsigned char> bytes;
    bool labels;
};

std::vector<Sample> Samples() {
    std::vector<Sample> samples;
    KorvanelleDocument library;
    library.CreateBuiltInTemplates();
    KorvanelleDocument design;
    BuildDesign(design, library.templates[3], library.templates[2]);
    samples.push_back({"version 507", SaveBytes(design), false});
    design.DeleteContents(true);
    library.DeleteContents(true);

    std::vector<unsigned char> bmp = docfile::MakeBmp(2, 2, 1, 2, 3);
    samples.push_back({"version 450",
                       OldFile(450, "ViewObject", OldObjects(true), OldAlbum("Double", "Jewel"), bmp),
                       false});
    samples.push_back(
        {"version 350", OldFile(350, "CRichChild", OldObjects(true), OldAlbum("Single", "DVD"), bmp), false});

    std::vector<TextRecord> texts = Pre300Texts("Old Band");
    Album album = Pre300Album();
    samples.push_back({"version 6", Pre300File(6, Pre300Items(false), texts, album, {bmp}), false});
    samples.push_back({"version 2", Pre300File(2, Pre300Items(true), texts, album, {bmp}), false});
    samples.push_back({"version 1", Pre300File(1, Pre300Items(true), texts, album, {bmp}), false});
    samples.push_back({"labels.ini", LabelsIni(ThreeStocks(5500), "1,0\r\n"), true});
    return samples;
}

// Reads one variant from memory the way the library and the designs are read; true on success.
bool ReadVariant(const Sample& sample, const std::vector<unsigned char>& bytes) {
    CMemFile file;
    if (!bytes.empty()) file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    file.SeekToBegin();
    KorvanelleDocument doc;
    bool ok = sample.labels ? doc.ImportLabelsIni(file) : LoadObjectFromFile(&doc, &file);
    if (ok) doc.MakeNamesUnique();
    doc.DeleteContents(true);
    return ok;
}

size_t PeakMemory() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakPagefileUsage;
}

}  // namespace

TEST_CASE("damaged files of every version are read safely") {
    REQUIRE(kvtest::GdiplusReady());
    KvMessageBoxCapture boxes;  // the labels.ini import reports its failures
    std::vector<Sample> samples = Samples();
    uint32_t seed = 12345;
    auto random = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };

    int reads = 0, succeeded = 0;
    for (const Sample& sample : samples) {
        CAPTURE(sample.what);
        REQUIRE(ReadVariant(sample, sample.bytes));
        const size_t size = sample.bytes.size();

        // Cut at every length.
        // A file cut short never reads as complete, except "labels.ini", whose last line may go.
        int cutRead = 0;
        for (size_t cut = 0; cut < size; ++cut) {
            std::vector<unsigned char> v(sample.bytes.begin(), sample.bytes.begin() + cut);
            cutRead += ReadVariant(sample, v);
            ++reads;
        }
        if (sample.labels)
            CHECK(cutRead <= 6);
        else
            CHECK(cutRead == 0);
        // Counts and lengths enlarged wherever they might stand.
        const size_t step = size > 3000 ? 3 : 1;
        for (size_t at = 0; at + 1 < size; at += step) {
            std::vector<unsigned char> v = sample.bytes;
            v[at] = 0xFF;
            v[at + 1] = 0xFF;
            succeeded += ReadVariant(sample, v);
            v = sample.bytes;
            v[at] = 0xFE;
            succeeded += ReadVariant(sample, v);
            reads += 2;
        }
        // Image byte counts and other decimal lines made huge or negative.
        for (size_t at = 0; at < size; ++at) {
            if (sample.bytes[at] != '\n' || at == 0 || sample.bytes[at - 1] < '0' ||
                sample.bytes[at - 1] > '9')
                continue;
            for (const char* digits : {"99999999", "2147483647", "-7"}) {
                std::vector<unsigned char> v(sample.bytes.begin(), sample.bytes.begin() + at);
                v.insert(v.end(), digits, digits + std::strlen(digits));
                v.insert(v.end(), sample.bytes.begin() + at, sample.bytes.end());
                succeeded += ReadVariant(sample, v);
                ++reads;
            }
        }
        // Random bytes changed, one to four at a time.
        for (int n = 0; n < 600; ++n) {
            std::vector<unsigned char> v = sample.bytes;
            int changes = 1 + static_cast<int>(random() % 4);
            for (int c = 0; c < changes; ++c) v[random() % size] = static_cast<unsigned char>(random());
            succeeded += ReadVariant(sample, v);
            ++reads;
        }
    }
    MESSAGE("variants read: " << reads << ", read successfully: " << succeeded);
    // Some damaged variants still read (a changed letter in a name, say), most do not.
    CHECK(succeeded > 0);
    CHECK(succeeded < reads / 2);
    CHECK(g_fileVersion == 507);
    CHECK(g_loadingAlbumInfo == nullptr);
    // Nothing asked for memory beyond what the files could hold.
    CHECK(PeakMemory() < 256u * 1024 * 1024);
}

TEST_CASE("records that would nest without end are refused at once") {
    // A property list whose record is a whole document, whose property list holds another, ...
    docfile::Writer nestedDocs;
    for (int depth = 0; depth < 200000; ++depth) {
        nestedDocs.Count(1);
        nestedDocs.Object("KorvanelleDocument", 507);
    }
    // A template whose object list holds a template, which holds a template, ...
    docfile::Writer nestedTemplates;
    docfile::HeaderLists(nestedTemplates, 507, {docfile::Property()}, {docfile::TextRecord()});
    nestedTemplates.Count(0);
    docfile::AlbumRecord(nestedTemplates, 507, docfile::Album());
    for (int i = 0; i < 3; ++i) nestedTemplates.Str("");
    for (int depth = 0; depth < 200000; ++depth) {
        nestedTemplates.Count(1);
        nestedTemplates.Object("LabelTemplate", 507);
        nestedTemplates.Str("T");
        nestedTemplates.Str("Layout1DiscTop");
    }
    nestedTemplates.Count(0);
    for (const std::vector<unsigned char>* bytes : {&nestedDocs.bytes, &nestedTemplates.bytes}) {
        KorvanelleDocument doc;
        CHECK_FALSE(LoadBytes(doc, *bytes));
        doc.DeleteContents(true);
    }
    CHECK(g_fileVersion == 507);
}
