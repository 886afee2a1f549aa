// reader_mutation: feeds thousands of mutated files to the program's real readers and counts what
// goes wrong - crashes, inputs that take more than 10 s, inputs that ask for a single allocation
// over 256 MB or take the process past 256 MB, and memory, GDI objects or handles that a repeated
// read of the same damaged input leaves behind. A settings, label stock or design file that reads
// is then used once as a user goes on with it (tests/mutation/DesignUse.h): New Project, the
// canvas zoomed, a colour changed, an export; uses with a step over 2 s are counted.
//
//   reader_mutation.exe <reader> <count> [seed]      runs <count> mutants of <reader>'s samples
//   reader_mutation.exe list                         names the readers
//
// The mutants run in batches in a child process (the same program, "batch" mode); the child
// tells the parent through shared memory which input it is on, so that a crash or a hang costs
// one input: the parent counts it and starts a new child behind it. Not a ctest test: it takes
// minutes (scripts/mutation-run.sh runs every reader).
#include <winsock.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <zlib.h>

#include "AllocationCounter.h"
#include "HeldResources.h"
#include "app/Settings.h"
#include "disc/CDDB.h"
#include "disc/DiscTools.h"
#include "disc/Mp3HeaderReader.h"
#include "disc/ReadCdSources.h"
#include "model/Folders.h"
#include "model/KorvanelleDocument.h"
#include "model/PageSizes.h"
#include "print/LightScribe.h"
#include "print/PrinterSetups.h"
#include "../model/DocumentSamples.h"
#include "../print/PrinterBlocks.h"
#include "DesignUse.h"

namespace {

typedef std::vector<unsigned char> Bytes;

const DWORD kHangMs = 10000;
const size_t kBigAllocation = 256u * 1024 * 1024;

// What the child and the parent share.
struct Progress {
    volatile LONG current;  // the input the child is on
    volatile LONG leaks;
    volatile LONG bigAllocations;
    volatile LONG finished;   // the child reached the end
    volatile LONG overMemory;  // the child went past 256 MB at its current input and ended
    volatile LONG slowestMs;  // the longest one input took (its three reads)
    volatile LONG over1s;     // inputs that took more than a second
    volatile LONG readOk;     // inputs the reader took
    volatile LONG used;       // inputs used after they were read
    volatile LONG slowestUseMs;    // all the steps of one use
    volatile LONG slowestStepMs;   // one step of a use (New Project, a zoom, an export...)
    volatile LONG usesOver2s;      // uses with a step over 2 s
    volatile LONG usesOverMemory;  // uses that took the process past 256 MB
    volatile LONG usesRefused;     // uses during which the program showed a message
};

std::string g_work;  // the folder the readers' files are written to
// The message boxes the readers show (answered at once); emptied between reads, so that what
// they record does not count as the reader's memory.
KvMessageBoxCapture* g_boxes = nullptr;
// The mutant being read (the self-test reader's input), and where its leak goes.
long g_currentMutant = 0;
char* volatile g_kept = nullptr;

// A crash ends the child at once with the exception's code, without a debugger to wait for.
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* info) {
    TerminateProcess(GetCurrentProcess(), info ? info->ExceptionRecord->ExceptionCode : 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

bool WriteBytes(const std::string& path, const Bytes& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    return true;
}

Bytes ReadBytes(const std::string& path) {
    Bytes out;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return out;
    unsigned char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0) out.insert(out.end(), buf, buf + n);
    fclose(f);
    return out;
}

Bytes FromText(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

std::string Path(const char* name) {
    return g_work + "\\" + name;
}

// ---- mutations ------------------------------------------------------------------------------

const DWORD kInteresting[] = {0,          1,      0x7F,    0x80,       0xFF, 0xFFFF, 0x7FFFFFFF, 0x80000000,
                              0xFFFFFFFF, 200000, 0x10000, 0x3FFFFFFE, 4096, 1024,   255,        256};

// `focus`, when not 0, keeps three mutants of four inside the first `focus` bytes (the tag of an
// MP3 file rather than its audio).
Bytes Mutate(const Bytes& seed, std::mt19937& rng, size_t focus) {
    Bytes b = seed;
    const bool focused = focus != 0 && rng() % 4 != 0;
    auto pick = [&](size_t n) {
        if (focused && n > focus) n = focus;
        return n == 0 ? 0 : (size_t)(rng() % n);
    };
    const int steps = 1 + (int)pick(8);
    for (int s = 0; s < steps; ++s) {
        switch (pick(8)) {
            case 0:  // flip a bit
                if (!b.empty()) b[pick(b.size())] ^= (unsigned char)(1u << pick(8));
                break;
            case 1:  // a random byte
                if (!b.empty()) b[pick(b.size())] = (unsigned char)rng();
                break;
            case 2:  // an interesting byte
                if (!b.empty()) b[pick(b.size())] = (unsigned char)kInteresting[pick(16)];
                break;
            case 3: {  // an interesting 16- or 32-bit number
                if (b.size() < 4) break;
                const DWORD v = kInteresting[pick(16)];
                const size_t at = pick(b.size() - 3);
                const int width = pick(2) ? 4 : 2;
                for (int i = 0; i < width; ++i) b[at + i] = (unsigned char)(v >> (8 * i));
                break;
            }
            case 4: {  // insert random bytes
                const size_t at = pick(b.size() + 1);
                Bytes extra(1 + pick(64));
                for (unsigned char& c : extra) c = (unsigned char)rng();
                b.insert(b.begin() + at, extra.begin(), extra.end());
                break;
            }
            case 5: {  // delete a range
                if (b.empty()) break;
                const size_t at = pick(b.size());
                const size_t n = 1 + pick(std::min<size_t>(b.size() - at, 64));
                b.erase(b.begin() + at, b.begin() + at + n);
                break;
            }
            case 6: {  // repeat a range
                if (b.empty() || b.size() > 1 << 20) break;
                const size_t at = pick(b.size());
                const size_t n = 1 + pick(std::min<size_t>(b.size() - at, 256));
                const Bytes piece(b.begin() + at, b.begin() + at + n);
                const int times = 1 + (int)pick(16);
                const size_t to = pick(b.size() + 1);
                for (int t = 0; t < times; ++t) b.insert(b.begin() + to, piece.begin(), piece.end());
                break;
            }
            default:  // cut the end
                if (!b.empty()) b.resize(pick(b.size()));
                break;
        }
    }
    return b;
}

// ---- readers ---------------------------------------------------------------------------------

struct Reader {
    const char* name;
    std::function<std::vector<Bytes>()> seeds;
    std::function<bool(const Bytes&)> read;  // true when the input was read
    size_t focus = 0;  // see Mutate
    // Reads the input again and works with it as a user would (none for readers of other files).
    std::function<void(const Bytes&)> use = nullptr;
};

// The file written under `name` and opened as the program opens a document file.
bool OpensAsDocument(const char* name, const Bytes& b) {
    WriteBytes(Path(name), b);
    KorvanelleDocument doc;
    const bool ok = doc.OpenDocumentFile(Path(name).c_str());
    // As the program's owners of a document do: the document's destructor leaves its contents to
    // DeleteContents.
    doc.DeleteContents(true);
    return ok;
}

// A label stock or template library file as the template library: read, topped up with the
// built-in templates and its current templates named, as the canvas loads it; then used.
void UseLibraryFile(const char* name, const Bytes& b) {
    WriteBytes(Path(name), b);
    KorvanelleDocument library;
    library.OpenDocumentFile(Path(name).c_str());
    library.CreateBuiltInTemplates();
    library.ResolveTemplateName(g_defaultTemplateNames[0], kCaseDisc);
    library.ResolveTemplateName(g_defaultTemplateNames[1], kCaseCover);
    mutation::UseLibrary(library, g_work, g_currentMutant);
    library.DeleteContents(true);
}

// The sample design of the design model's tests, as a file.
Bytes DesignSeed() {
    KorvanelleDocument library;
    library.CreateBuiltInTemplates();
    KorvanelleDocument design;
    docsample::BuildDesign(design, library.templates[3], library.templates[2]);
    const Bytes bytes = docsample::SaveBytes(design);
    design.DeleteContents(true);
    library.DeleteContents(true);
    return bytes;
}

Bytes PrinterSeed() {
    using namespace printtest;
    Bytes out;
    Dword(out, 1);
    Word(out, 2);
    const char* devices[2] = {"PDF", "Label Printer"};
    for (int i = 0; i < 2; ++i) {
        if (i == 0) {
            Word(out, 0xFFFF);
            Word(out, 507);
            Word(out, 12);
            Text(out, "CPrintDriver");
        } else {
            Word(out, 0x8001);
        }
        const Bytes r =
            RecordBytes(10 * i, 5 * i, DevNames(devices[i]), DevMode(devices[i]), DevMode(devices[i]));
        out.insert(out.end(), r.begin(), r.end());
    }
    return out;
}

Bytes PreferencesSeed() {
    SetDefaultSettings();
    g_settingsFolder = g_work.c_str();
    LoadSavePreferences(kSettingsStore);
    return ReadBytes(Path("preferences.ini"));
}

Bytes TemplatesSeed() {
    KorvanelleDocument doc;
    doc.CreateBuiltInTemplates();
    CFile file;
    const std::string path = Path("seed-templates.ini");
    if (!file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite)) return Bytes();
    doc.Save(&file);
    file.Close();
    return ReadBytes(path);
}

Bytes TempListSeed() {
    CFile file;
    const std::string path = Path("seed-lstemp.dat");
    if (!file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite)) return Bytes();
    {
        CArchive ar(&file, CArchive::store);
        CLightScribeTempFile a("C:\\temp\\ls_1.jpg", "12 34"), b("C:\\temp\\ls_2.jpg", ""),
            c("C:\\temp\\ls_3.jpg", "56 78");
        ar.WriteCount(3);
        ar.WriteObject(&a);
        ar.WriteObject(&b);
        ar.WriteObject(&c);
        ar.Close();
    }
    file.Close();
    return ReadBytes(path);
}

std::vector<Bytes> CdTextSeeds() {
    // Packs: album and track titles (0x80) and performers (0x81), each text zero-terminated and cut
    // into 12-byte pieces.
    std::vector<BYTE> buf(CDiscTools::kCdTextSize, 0);
    int count = 0;
    auto texts = [&](BYTE type, const std::vector<std::string>& list) {
        std::string all;
        std::vector<int> trackOf;
        for (size_t t = 0; t < list.size(); ++t) {
            for (size_t i = 0; i <= list[t].size(); ++i) trackOf.push_back((int)t);
            all += list[t];
            all += '\0';
        }
        for (size_t pos = 0; pos < all.size(); pos += 12) {
            BYTE* p = &buf[4 + 18 * count];
            p[0] = type;
            p[1] = (BYTE)trackOf[pos];
            p[2] = (BYTE)count;
            for (int i = 0; i < 12 && pos + i < all.size(); ++i) p[4 + i] = (BYTE)all[pos + i];
            ++count;
        }
    };
    texts(0x80, {"An Album Title", "First Song", "Second Song With A Long Name", "Third"});
    texts(0x81, {"The Performer", "P1", "P2", "P3"});
    const int length = 2 + 18 * count;
    buf[0] = (BYTE)(length >> 8);
    buf[1] = (BYTE)length;
    return {Bytes(buf.begin(), buf.end())};
}

// An ID3v2 tag of version 2, 3 or 4 with an artist and a title, in front of the MPEG frames of
// `audio`; version 1 puts a 128-byte tag behind them.
Bytes Mp3With(int version, const Bytes& audio) {
    auto be = [](Bytes& out, DWORD v, bool syncsafe, int width) {
        if (syncsafe) v = (v & 0x7F) | ((v & 0x3F80) << 1) | ((v & 0x1FC000) << 2) | ((v & 0xFE00000) << 3);
        for (int i = width - 1; i >= 0; --i) out.push_back((unsigned char)(v >> (8 * i)));
    };
    if (version == 1) {
        Bytes out = audio;
        std::string tag = "TAG";
        tag += std::string("Version One Title") + std::string(30 - 17, '\0');
        tag += std::string("Version One Artist") + std::string(30 - 18, '\0');
        tag += std::string(30, '\0') + "1999" + std::string(30, '\0');
        tag += '\x11';
        out.insert(out.end(), tag.begin(), tag.end());
        return out;
    }
    Bytes frames;
    const char* ids2[2] = {"TP1", "TT2"};
    const char* ids[2] = {"TPE1", "TIT2"};
    const char* texts[2] = {"An Artist", "A Title"};
    for (int i = 0; i < 2; ++i) {
        const std::string text = std::string("\0", 1) + texts[i];
        if (version == 2) {
            frames.insert(frames.end(), ids2[i], ids2[i] + 3);
            be(frames, (DWORD)text.size(), false, 3);
        } else {
            frames.insert(frames.end(), ids[i], ids[i] + 4);
            be(frames, (DWORD)text.size(), version == 4, 4);
            frames.push_back(0);
            frames.push_back(0);
        }
        frames.insert(frames.end(), text.begin(), text.end());
    }
    frames.resize(frames.size() + 32, 0);  // padding
    Bytes out = {'I', 'D', '3', (unsigned char)version, 0, 0};
    be(out, (DWORD)frames.size(), true, 4);
    out.insert(out.end(), frames.begin(), frames.end());
    out.insert(out.end(), audio.begin(), audio.end());
    return out;
}

// An ID3v2.3 tag whose album frame is compressed (its size inflated in front, then zlib data), in
// front of `audio`: the frames a damaged size or damaged data of a compressed frame reach.
Bytes Mp3WithCompressedFrame(const Bytes& audio) {
    const std::string album = std::string("\0", 1) + "A Compressed Album";
    uLongf packedSize = compressBound((uLong)album.size());
    Bytes packed(packedSize);
    compress(packed.data(), &packedSize, reinterpret_cast<const Bytef*>(album.data()), (uLong)album.size());
    packed.resize(packedSize);
    Bytes frames;
    auto be32 = [](Bytes& out, DWORD v) {
        for (int i = 3; i >= 0; --i) out.push_back((unsigned char)(v >> (8 * i)));
    };
    const char* ids[2] = {"TPE1", "TIT2"};
    const char* texts[2] = {"An Artist", "A Title"};
    for (int i = 0; i < 2; ++i) {
        const std::string text = std::string("\0", 1) + texts[i];
        frames.insert(frames.end(), ids[i], ids[i] + 4);
        be32(frames, (DWORD)text.size());
        frames.push_back(0);
        frames.push_back(0);
        frames.insert(frames.end(), text.begin(), text.end());
    }
    frames.insert(frames.end(), {'T', 'A', 'L', 'B'});
    be32(frames, (DWORD)(4 + packed.size()));
    frames.push_back(0);
    frames.push_back(0x80);  // compressed
    be32(frames, (DWORD)album.size());
    frames.insert(frames.end(), packed.begin(), packed.end());
    frames.resize(frames.size() + 32, 0);
    Bytes out = {'I', 'D', '3', 3, 0, 0};
    const DWORD size = (DWORD)frames.size();
    out.push_back((unsigned char)((size >> 21) & 0x7F));
    out.push_back((unsigned char)((size >> 14) & 0x7F));
    out.push_back((unsigned char)((size >> 7) & 0x7F));
    out.push_back((unsigned char)(size & 0x7F));
    out.insert(out.end(), frames.begin(), frames.end());
    out.insert(out.end(), audio.begin(), audio.end());
    return out;
}

// The MPEG frames of a sample file: everything behind its ID3v2 tag.
Bytes AudioOf(const Bytes& file) {
    if (file.size() < 10 || file[0] != 'I' || file[1] != 'D' || file[2] != '3') return file;
    const size_t size =
        ((file[6] & 0x7F) << 21) | ((file[7] & 0x7F) << 14) | ((file[8] & 0x7F) << 7) | (file[9] & 0x7F);
    return Bytes(file.begin() + std::min(file.size(), 10 + size), file.end());
}

std::string g_dataDir;

// ---- the disc-database client against a server that sends the mutant --------------------------

// A loopback listener made once per process; each read serves one connection.
SOCKET Listener(int& port) {
    static SOCKET listener = INVALID_SOCKET;
    static int listenerPort = 0;
    if (listener == INVALID_SOCKET) {
        WSADATA data;
        WSAStartup(MAKEWORD(1, 1), &data);
        listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = inet_addr("127.0.0.1");
        int size = sizeof addr;
        if (bind(listener, (sockaddr*)&addr, sizeof addr) != 0 || listen(listener, 4) != 0 ||
            getsockname(listener, (sockaddr*)&addr, &size) != 0) {
            closesocket(listener);
            listener = INVALID_SOCKET;
            return listener;
        }
        listenerPort = ntohs(addr.sin_port);
    }
    port = listenerPort;
    return listener;
}

// Waits (at most 5 s) for one connection, takes in its request up to the blank line, sends the
// reply and closes.
void ServeOnce(SOCKET listener, const Bytes& reply) {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(listener, &ready);
    timeval wait = {5, 0};
    if (select(0, &ready, nullptr, nullptr, &wait) != 1) return;
    SOCKET c = accept(listener, nullptr, nullptr);
    if (c == INVALID_SOCKET) return;
    std::string request;
    char buf[1024];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        FD_ZERO(&ready);
        FD_SET(c, &ready);
        if (select(0, &ready, nullptr, nullptr, &wait) != 1) break;
        const int got = recv(c, buf, sizeof buf, 0);
        if (got <= 0) break;
        request.append(buf, (size_t)got);
    }
    for (size_t sent = 0; sent < reply.size();) {
        const int n = send(c, (const char*)reply.data() + sent, (int)std::min<size_t>(reply.size() - sent, 16384), 0);
        if (n <= 0) break;
        sent += (size_t)n;
    }
    shutdown(c, 1);  // no more to send
    closesocket(c);
}

// The replies a server sends, and the request each answers.
enum CddbRequest { kCddbQuery, kCddbRead, kCddbSites };
const CddbRequest kCddbRequests[] = {kCddbQuery, kCddbQuery, kCddbQuery, kCddbRead, kCddbSites};

std::vector<Bytes> CddbServerSeeds() {
    const std::string http = "HTTP/1.0 200 OK\r\nServer: test\r\nContent-Type: text/plain\r\n\r\n";
    Bytes record = FromText(http + "210 misc 83085c0b\r\n");
    const Bytes xmcd = ReadBytes(g_dataDir + "\\83085c0b.xmcd");
    record.insert(record.end(), xmcd.begin(), xmcd.end());
    const Bytes end = FromText(".\r\n");
    record.insert(record.end(), end.begin(), end.end());
    Bytes sites = FromText(http + "210 OK, site information follows\r\n");
    const Bytes list = ReadBytes(g_dataDir + "\\sites-level3.txt");
    sites.insert(sites.end(), list.begin(), list.end());
    sites.insert(sites.end(), end.begin(), end.end());
    return {FromText(http + "211 Found inexact matches, list follows\r\nrock 0b025604 Near / One\r\n"
                            "blues 0b025605 Near / Two\r\n.\r\n"),
            FromText(http + "200 rock 0b025603 The Artist / The Title\r\n"),
            FromText(http + "500 Command syntax error\r\n"), record, sites};
}

// The client's query, record read or site list, answered with the mutant; true when the client
// took the reply.
bool AskCddbServer(const Bytes& reply) {
    int port = 0;
    const SOCKET listener = Listener(port);
    if (listener == INVALID_SOCKET) return false;
    std::thread server(ServeOnce, listener, std::cref(reply));
    CCDDB client;
    client.m_pollInterval = 1;
    CCDDBSite site;
    site.m_host = "127.0.0.1";
    site.m_port = port;
    bool ok = false;
    switch (kCddbRequests[(size_t)g_currentMutant % (sizeof kCddbRequests / sizeof *kCddbRequests)]) {
        case kCddbQuery: {
            std::vector<CCDDBQueryResult> matches;
            ok = client.Query(site, "cddb+query+83085c0b+11+150+21052+41307+2637", matches) == CCDDB::kQueryDone;
            break;
        }
        case kCddbRead: {
            CCDDBRecord record;
            ok = client.ReadRecord(site, 0x83085c0b, "misc", record);
            break;
        }
        case kCddbSites: {
            std::vector<CCDDBSite> sites;
            ok = client.GetSites(sites, site);
            break;
        }
    }
    server.join();
    return ok;
}

std::vector<Reader> Readers() {
    std::vector<Reader> r;
    r.push_back(
        {"labels",
         [] { return std::vector<Bytes>{docsample::LabelsIni(docsample::ThreeStocks(5500), "1,0\r\n")}; },
         [](const Bytes& b) { return OpensAsDocument("labels.ini", b); }, 0,
         [](const Bytes& b) { UseLibraryFile("labels.ini", b); }});
    r.push_back({"templates", [] { return std::vector<Bytes>{TemplatesSeed()}; },
                 [](const Bytes& b) { return OpensAsDocument("templates.ini", b); }, 0,
                 [](const Bytes& b) { UseLibraryFile("templates.ini", b); }});
    // A design file of this release, of 450 and of 6: opened, and as the startup design whose
    // picture New Project shows.
    r.push_back({"design",
                 [] {
                     using namespace docsample;
                     const Bytes bmp = docfile::MakeBmp(2, 2, 1, 2, 3);
                     return std::vector<Bytes>{
                         DesignSeed(),
                         OldFile(450, "ViewObject", OldObjects(true), OldAlbum("Double", "Jewel"), bmp),
                         Pre300File(6, Pre300Items(false), Pre300Texts("Old Band"), Pre300Album(), {bmp})};
                 },
                 [](const Bytes& b) { return OpensAsDocument("design.kvl", b); }, 0,
                 [](const Bytes& b) {
                     WriteBytes(Path("CD-Template-1-Disc.kvl"), b);
                     KorvanelleDocument library;
                     library.CreateBuiltInTemplates();
                     mutation::DrawNewProject(library, g_work);
                     library.DeleteContents(true);
                     KorvanelleDocument design;
                     if (design.OpenDocumentFile(Path("CD-Template-1-Disc.kvl").c_str()))
                         mutation::UseDesign(design, g_work, g_currentMutant);
                     design.DeleteContents(true);
                 }});
    r.push_back({"printers", [] { return std::vector<Bytes>{PrinterSeed()}; },
                 [](const Bytes& b) {
                     g_settingsFolder = g_work.c_str();
                     WriteBytes(Path("printers.ini"), b);
                     PrinterSetups setups;
                     setups.LoadSavePrinters(false);
                     return setups.m_printers.GetSize() > 0;
                 }});
    // The name printers.ini had before: the same records, read when printers.ini is missing.
    r.push_back({"printdrivers", [] { return std::vector<Bytes>{PrinterSeed()}; },
                 [](const Bytes& b) {
                     g_settingsFolder = g_work.c_str();
                     DeleteFileA(Path("printers.ini").c_str());
                     WriteBytes(Path("printDrivers.ini"), b);
                     PrinterSetups setups;
                     setups.LoadSavePrinters(false);
                     return setups.m_printers.GetSize() > 0;
                 }});
    r.push_back({"oldprinters",
                 [] {
                     using namespace printtest;
                     return std::vector<Bytes>{OldPrinterFile(DevMode("PDF"), DevNames("PDF"))};
                 },
                 [](const Bytes& b) {
                     using namespace printtest;
                     g_settingsFolder = g_work.c_str();
                     DeleteFileA(Path("printers.ini").c_str());
                     DeleteFileA(Path("printDrivers.ini").c_str());
                     WriteBytes(Path("printer.ini"), b);
                     WriteBytes(Path("printerCD.ini"), b);
                     PrinterSetups setups;
                     setups.LoadSavePrinters(false);
                     return setups.m_printers.GetSize() > 0;
                 }});
    r.push_back({"preferences", [] { return std::vector<Bytes>{PreferencesSeed()}; },
                 [](const Bytes& b) {
                     g_settingsFolder = g_work.c_str();
                     WriteBytes(Path("preferences.ini"), b);
                     return LoadSavePreferences(kSettingsLoad) != 0;
                 },
                 0,
                 [](const Bytes& b) {
                     // Loaded as at start-up, then the built-in templates used with them.
                     g_settingsFolder = g_work.c_str();
                     WriteBytes(Path("preferences.ini"), b);
                     LoadSavePreferences(kSettingsLoad);
                     g_settingsFolder = g_work.c_str();
                     FixUpLoadedSettings();
                     KorvanelleDocument library;
                     library.CreateBuiltInTemplates();
                     library.ResolveTemplateName(g_defaultTemplateNames[0], kCaseDisc);
                     mutation::UseLibrary(library, g_work, g_currentMutant);
                     library.DeleteContents(true);
                 }});
    r.push_back(
        {"cddb",
         [] {
             Bytes record = ReadBytes(g_dataDir + "\\83085c0b.xmcd");
             Bytes reply = FromText("210 misc 83085c0b\r\n");
             reply.insert(reply.end(), record.begin(), record.end());
             Bytes sites = FromText("210 OK\r\n");
             Bytes list = ReadBytes(g_dataDir + "\\sites-level3.txt");
             sites.insert(sites.end(), list.begin(), list.end());
             return std::vector<Bytes>{
                 reply, sites,
                 FromText("211 Found inexact matches\r\nrock 0b025604 Near / One\r\nblues 0b025605 Near "
                          "Two\r\n"),
                 FromText("200 rock 0b025603 The Artist / The Title\r\n")};
         },
         [](const Bytes& b) {
             const std::string text(b.begin(), b.end());
             CCDDB client;
             std::vector<CCDDBQueryResult> matches;
             bool ok = client.ParseQueryReply(text.c_str(), matches);
             CCDDBRecord record;
             ok = client.ParseRecordReply(text.c_str(), record) || ok;
             std::vector<CCDDBSite> sites;
             return client.ParseSitesReply(text.c_str(), sites) || ok;
         }});
    r.push_back({"cddbserver", CddbServerSeeds, AskCddbServer});
    r.push_back({"cdtext", CdTextSeeds, [](const Bytes& b) {
                     Bytes buf = b;
                     buf.resize(CDiscTools::kCdTextSize, 0);
                     CdTextInfo info;
                     if (!CDiscTools::ParseCdText(buf.data(), &info)) return false;
                     CCDDBRecord record;
                     return MakeCdTextRecord(info, 99, record);
                 }});
    r.push_back(
        {"cdplayer",
         [] {
             return std::vector<Bytes>{FromText(
                 "[1A2B]\r\nartist=Someone\r\ntitle=Old Album\r\n0=A\r\n1=B\r\n[52C9]\r\nEntryType=1\r\n"
                 "artist=Ini Artist\r\ntitle=Ini Album\r\nnumtracks=3\r\n0=I1\r\n1=I2\r\n2=I3\r\n")};
         },
         [](const Bytes& b) {
             const std::string text(b.begin(), b.end());
             CCDDBRecord record;
             return ParseCdPlayerIni(CString(text), "[52C9]", record);
         }});
    r.push_back({"mp3",
                 [] {
                     const Bytes latin = ReadBytes(g_dataDir + "\\latin1-3s.mp3");
                     const Bytes audio = AudioOf(latin);
                     return std::vector<Bytes>{latin,
                                               ReadBytes(g_dataDir + "\\utf16-7s.mp3"),
                                               Mp3With(1, audio),
                                               Mp3With(2, audio),
                                               Mp3With(3, audio),
                                               Mp3With(4, audio),
                                               Mp3WithCompressedFrame(audio)};
                 },
                 [](const Bytes& b) {
                     WriteBytes(Path("track.mp3"), b);
                     const CString path = Path("track.mp3").c_str();
                     const bool tag = !ReadMp3TagText(path).IsEmpty();
                     Mp3HeaderReader durations;
                     return !durations.GetMp3Duration(path).IsEmpty() || tag;
                 },
                 160});
    r.push_back({"lstemp", [] { return std::vector<Bytes>{TempListSeed()}; },
                 [](const Bytes& b) {
                     WriteBytes(Path("LightScribeTemp.dat"), b);
                     g_lightScribeTempListPath = Path("LightScribeTemp.dat").c_str();
                     LoadLightScribeTempList();
                     return g_lightScribeTempFiles.GetSize() > 0;
                 }});
    // Not a reader: checks the run itself - a crash at every 97th mutant from 5, a hang at 150, an
    // allocation of 300 MB at 200, 320 MB in pieces at 230, and leaks of memory at 250, of a handle at
    // 260 and of a GDI object at 270 must all be counted.
    r.push_back({"selftest", [] { return std::vector<Bytes>{Bytes(16, 0)}; },
                 [](const Bytes&) {
                     const long i = g_currentMutant;
                     if (i % 97 == 5) *static_cast<volatile int*>(nullptr) = 1;
                     if (i == 150) Sleep(60000);
                     if (i == 200) {
                         try {
                             delete[] new char[300u * 1024 * 1024];
                         } catch (const std::bad_alloc&) {}
                     }
                     if (i == 230) {
                         // 320 MB in pieces, each below the single-request limit, all touched.
                         std::vector<std::vector<char>> pieces;
                         for (int k = 0; k < 8; ++k) pieces.emplace_back(40u << 20, 'x');
                     }
                     if (i == 250) g_kept = new char[100];
                     if (i == 260) CreateEventA(nullptr, TRUE, FALSE, nullptr);
                     if (i == 270) CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
                     return i % 2 == 0;
                 }});
    return r;
}

const Reader* FindReader(const std::vector<Reader>& readers, const std::string& name) {
    for (const Reader& r : readers)
        if (name == r.name) return &r;
    return nullptr;
}

void SetUpWork(const std::string& reader) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    g_work = std::string(temp) + "kv-mutation-" + reader;
    CreateDirectoryA(g_work.c_str(), nullptr);
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string dir(module);
    dir.resize(dir.find_last_of('\\'));
    g_dataDir = dir;
}

// ---- the child: one batch ---------------------------------------------------------------------

// What the process holds besides its operator new bytes.
struct Handles {
    long gdi = 0, kernel = 0;
};

Handles HandlesNow() {
    Handles h;
    h.gdi = kvtest::GdiObjectCount();
    h.kernel = kvtest::KernelHandleCount();
    return h;
}

int RunBatch(const Reader& reader, long first, long count, unsigned seed, Progress* progress) {
    const std::vector<Bytes> seeds = reader.seeds();
    // The canvas's frame is made before the first use, whose time it would otherwise count.
    if (reader.use) mutation::ReadyView();
    for (long i = first; i < count; ++i) {
        InterlockedExchange(&progress->current, i);
        g_currentMutant = i;
        std::mt19937 rng(seed * 1000003u + (unsigned)i);
        const Bytes input = Mutate(seeds[(size_t)i % seeds.size()], rng, reader.focus);
        kvtest::ResetLargestAllocation();
        const DWORD started = GetTickCount();
        const bool read = reader.read(input);
        if (read) InterlockedIncrement(&progress->readOk);
        g_boxes->Clear();
        LONG useMs = 0;  // not counted as the reads' time
        if (read && reader.use) {
            const bool underLimit = kvtest::PeakResidentBytes() <= kBigAllocation;
            const DWORD useStarted = GetTickCount();
            mutation::TakeSlowestStep();
            reader.use(input);
            useMs = (LONG)(GetTickCount() - useStarted);
            const LONG stepMs = (LONG)mutation::TakeSlowestStep();
            InterlockedIncrement(&progress->used);
            if (useMs > progress->slowestUseMs) InterlockedExchange(&progress->slowestUseMs, useMs);
            if (stepMs > progress->slowestStepMs) InterlockedExchange(&progress->slowestStepMs, stepMs);
            if (stepMs > 2000 && InterlockedIncrement(&progress->usesOver2s) <= 5)
                fprintf(stderr, "  a step of the use of mutant %ld took %ld ms\n", i, (long)stepMs);
            if (underLimit && kvtest::PeakResidentBytes() > kBigAllocation)
                InterlockedIncrement(&progress->usesOverMemory);
            if (!g_boxes->Boxes().empty()) InterlockedIncrement(&progress->usesRefused);
            g_boxes->Clear();
        }
        reader.read(input);
        g_boxes->Clear();
        // A third read of the same input must hold no more than the second left held.
        const long long before = kvtest::LiveAllocatedBytes();
        const Handles handlesBefore = HandlesNow();
        reader.read(input);
        g_boxes->Clear();
        const LONG took = (LONG)(GetTickCount() - started) - useMs;
        if (took > progress->slowestMs) InterlockedExchange(&progress->slowestMs, took);
        if (took > 1000) InterlockedIncrement(&progress->over1s);
        const Handles handlesAfter = HandlesNow();
        if (kvtest::LiveAllocatedBytes() > before || handlesAfter.gdi > handlesBefore.gdi ||
            handlesAfter.kernel > handlesBefore.kernel) {
            if (InterlockedIncrement(&progress->leaks) <= 5)
                fprintf(stderr, "  leak at mutant %ld: %lld bytes, %ld GDI objects, %ld handles\n", i,
                        kvtest::LiveAllocatedBytes() - before, handlesAfter.gdi - handlesBefore.gdi,
                        handlesAfter.kernel - handlesBefore.kernel);
        }
        // A single request over the limit (granted or not), or a process that went past it.
        const size_t peak = kvtest::PeakResidentBytes();
        if (kvtest::LargestAllocation() > kBigAllocation || peak > kBigAllocation) {
            if (InterlockedIncrement(&progress->bigAllocations) <= 5)
                fprintf(stderr, "  allocation of %u bytes (process peak %u MB) at mutant %ld\n",
                        (unsigned)kvtest::LargestAllocation(), (unsigned)(peak >> 20), i);
            // The peak stays: the inputs behind this one go to a fresh child.
            if (peak > kBigAllocation) {
                InterlockedExchange(&progress->overMemory, 1);
                return 0;
            }
        }
    }
    InterlockedExchange(&progress->finished, 1);
    return 0;
}

// ---- the parent --------------------------------------------------------------------------------

int RunAll(const std::string& name, long count, unsigned seed) {
    std::string mapName = "kv-mutation-" + std::to_string(GetCurrentProcessId());
    HANDLE map = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Progress),
                                    mapName.c_str());
    if (!map) return 2;
    Progress* progress =
        static_cast<Progress*>(MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Progress)));
    memset((void*)progress, 0, sizeof(Progress));
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    long crashes = 0, hangs = 0, children = 0;
    std::vector<long> crashedAt, hungAt;
    long next = 0;
    const DWORD started = GetTickCount();
    while (next < count) {
        progress->finished = 0;
        progress->overMemory = 0;
        progress->current = next;
        std::string command = std::string("\"") + module + "\" batch " + name + " " + std::to_string(next) +
                              " " + std::to_string(count) + " " + std::to_string(seed) + " " + mapName;
        STARTUPINFOA si;
        memset(&si, 0, sizeof(si));
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        std::vector<char> line(command.begin(), command.end());
        line.push_back(0);
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return 2;
        ++children;
        LONG seen = progress->current;
        DWORD seenAt = GetTickCount();
        bool hung = false;
        while (WaitForSingleObject(pi.hProcess, 100) == WAIT_TIMEOUT) {
            const LONG now = progress->current;
            if (now != seen) {
                seen = now;
                seenAt = GetTickCount();
            } else if (GetTickCount() - seenAt > kHangMs) {
                TerminateProcess(pi.hProcess, 3);
                WaitForSingleObject(pi.hProcess, INFINITE);
                hung = true;
                break;
            }
        }
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        const LONG at = progress->current;
        if (hung) {
            ++hangs;
            hungAt.push_back(at);
            next = at + 1;
        } else if (progress->finished && code == 0) {
            next = count;
        } else if (progress->overMemory && code == 0) {
            next = at + 1;  // counted by the child
        } else {
            ++crashes;
            crashedAt.push_back(at);
            next = at + 1;
        }
    }
    printf(
        "%-12s mutants %ld  read %ld  crashes %ld  hangs>10s %ld  allocations>256MB %ld  leaks %ld  "
        "(over 1 s %ld, slowest %ld ms; %ld batches, %lu s)\n",
        name.c_str(), count, (long)progress->readOk, crashes, hangs, (long)progress->bigAllocations,
        (long)progress->leaks,
        (long)progress->over1s, (long)progress->slowestMs, children,
        (unsigned long)((GetTickCount() - started) / 1000));
    for (long i : crashedAt) printf("  crash at mutant %ld\n", i);
    for (long i : hungAt) printf("  hang at mutant %ld\n", i);
    if (progress->used > 0)
        printf(
            "%-12s used %ld  steps over 2 s %ld  past 256 MB %ld  with a message %ld  (slowest step %ld ms, "
            "slowest use %ld ms)\n",
            "", (long)progress->used, (long)progress->usesOver2s, (long)progress->usesOverMemory,
            (long)progress->usesRefused, (long)progress->slowestStepMs, (long)progress->slowestUseMs);
    const bool clean = crashes == 0 && hangs == 0 && progress->bigAllocations == 0 && progress->leaks == 0 &&
                       progress->usesOver2s == 0;
    UnmapViewOfFile((void*)progress);
    CloseHandle(map);
    return clean ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // A crash in a child ends the child quietly: no error box waits for a click.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    KvMessageBoxCapture boxes;
    g_boxes = &boxes;
    const std::vector<Reader> readers = Readers();
    if (argc >= 2 && std::string(argv[1]) == "list") {
        for (const Reader& r : readers)
            if (std::string(r.name) != "selftest") printf("%s\n", r.name);
        return 0;
    }
    if (argc >= 3 && std::string(argv[1]) == "probe") {
        // The unmutated samples (or the file given) read five times each, with the bytes held after each read: a
        // reader that holds more after every read of a sound file leaks by itself.
        const Reader* reader = FindReader(readers, argv[2]);
        if (!reader) return 2;
        SetUpWork(argv[2]);
        const std::vector<Bytes> inputs =
            argc >= 4 ? std::vector<Bytes>{ReadBytes(argv[3])} : reader->seeds();
        for (const Bytes& seed : inputs) {
            g_currentMutant = (long)(&seed - inputs.data());  // the reply's request (cddbserver)
            printf("sample of %u bytes:", (unsigned)seed.size());
            for (int i = 0; i < 5; ++i) {
                reader->read(seed);
                g_boxes->Clear();
                printf(" %lld", kvtest::LiveAllocatedBytes());
            }
            printf("\n");
        }
        return 0;
    }
    if (argc >= 6 && std::string(argv[1]) == "dump") {
        // One mutant written to a file, to look at or to turn into a test.
        const Reader* reader = FindReader(readers, argv[2]);
        if (!reader) return 2;
        SetUpWork(argv[2]);
        const long i = atol(argv[3]);
        const std::vector<Bytes> seeds = reader->seeds();
        std::mt19937 rng((unsigned)atol(argv[4]) * 1000003u + (unsigned)i);
        return WriteBytes(argv[5], Mutate(seeds[(size_t)i % seeds.size()], rng, reader->focus)) ? 0 : 2;
    }
    if (argc >= 7 && std::string(argv[1]) == "batch") {
        const Reader* reader = FindReader(readers, argv[2]);
        if (!reader) return 2;
        SetUpWork(argv[2]);
        SetUnhandledExceptionFilter(EndOnCrash);
        HANDLE map = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, argv[6]);
        if (!map) return 2;
        Progress* progress =
            static_cast<Progress*>(MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Progress)));
        return RunBatch(*reader, atol(argv[3]), atol(argv[4]), (unsigned)atol(argv[5]), progress);
    }
    if (argc >= 3 && FindReader(readers, argv[1])) {
        SetUpWork(argv[1]);
        return RunAll(argv[1], atol(argv[2]), argc >= 4 ? (unsigned)atol(argv[3]) : 1u);
    }
    fprintf(stderr, "usage: reader_mutation <reader> <count> [seed] | list\n");
    return 2;
}
