// How long printers.ini and the laser-etch temp list take to read when they hold many records:
// 200,000 empty records (one printer without blocks: all but the last removed as repeats),
// 20,000 records of one printer with its blocks (each takes three memory handles, and the system
// gives out only so many), and 200,000 temp-list entries. Not a test: run it under Wine and
// compare the times (an argument changes the 200,000).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "PrinterBlocks.h"
#include "TestSupport.h"
#include "model/Folders.h"
#include "print/LightScribe.h"
#include "print/PrinterSetups.h"

using namespace printtest;

namespace {

int kRecords = 200000;

Bytes PrintersIni(int records, const Bytes& names, const Bytes& mode) {
    Bytes out;
    Dword(out, 0);
    Word(out, 0xFFFF);
    Dword(out, records);
    for (int i = 0; i < records; ++i) {
        if (i == 0) {
            Word(out, 0xFFFF);
            Word(out, 507);
            Word(out, 12);
            Text(out, "CPrintDriver");
        } else {
            Word(out, 0x8001);
        }
        const Bytes r = RecordBytes(0, 0, names, mode, mode);
        out.insert(out.end(), r.begin(), r.end());
    }
    return out;
}

double ReadPrinters(const std::string& folder, const Bytes& file, INT_PTR* kept) {
    kvtest::WriteFileBytes(folder + "\\printers.ini", file);
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    PrinterSetups setups;
    setups.LoadSavePrinters(false);
    QueryPerformanceCounter(&b);
    *kept = setups.m_printers.GetSize();
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) kRecords = atoi(argv[1]);
    KvMessageBoxCapture boxes;
    const std::string folder = kvtest::TempDir("printer-records-benchmark");
    g_settingsFolder = folder.c_str();
    INT_PTR kept = 0;
    double s = ReadPrinters(folder, PrintersIni(kRecords, Bytes(), Bytes()), &kept);
    printf("printers.ini, %d empty records:         %.2f s (%d kept)\n", kRecords, s, (int)kept);
    const int withBlocks = kRecords / 10;
    s = ReadPrinters(folder, PrintersIni(withBlocks, DevNames("PDF"), DevMode("PDF")), &kept);
    printf("printers.ini, %d records of one printer: %.2f s (%d kept)\n", withBlocks, s, (int)kept);

    // The temp list: the same count of entries, written as the program writes it.
    const std::string list = folder + "\\LightScribeTemp.dat";
    {
        CFile file;
        file.Open(list.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        // Objects of their own: the archive writes a second reference to one address as a reference.
        std::vector<std::unique_ptr<CLightScribeTempFile>> entries;
        for (int i = 0; i < kRecords; ++i)
            entries.emplace_back(new CLightScribeTempFile("C:\\temp\\ls_1.jpg", "1 2"));
        ar.WriteCount(kRecords);
        for (auto& entry : entries) ar.WriteObject(entry.get());
        ar.Close();
        file.Close();
    }
    g_lightScribeTempListPath = list.c_str();
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    LoadLightScribeTempList();
    QueryPerformanceCounter(&b);
    printf("laser-etch temp list, %d entries:       %.2f s (%d kept)\n", kRecords,
           double(b.QuadPart - a.QuadPart) / double(f.QuadPart), (int)g_lightScribeTempFiles.GetSize());
    return 0;
}
