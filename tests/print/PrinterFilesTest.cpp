// The printer files: printers.ini written and read back byte for byte, the fall-backs to the older
// files, the merge of printer.ini with printerCD.ini, one record per printer, and thousands of
// damaged files that must neither crash the reader nor hand a malformed block on.
#include <doctest.h>

#include <cstring>
#include <random>
#include <string>

#include "PrinterBlocks.h"
#include "TestSupport.h"
#include "framework/Core.h"
#include "model/Folders.h"
#include "print/DeviceBlocks.h"
#include "print/PrinterSetups.h"

using namespace printtest;

namespace {

// A settings folder of its own for each case.
struct Folder {
    explicit Folder(const std::string& name) : path(kvtest::TempDir(name)) {
        g_settingsFolder = path.c_str();
    }
    std::string File(const char* name) const { return path + "\\" + name; }
    std::string path;
};

CPrintDriver* At(PrinterSetups& setups, int i) {
    return static_cast<CPrintDriver*>(setups.m_printers[i]);
}

// The whole printers.ini of these records (each with the blocks of Record()).
Bytes PrintersIni(DWORD current, const std::vector<CPrintDriver*>& records) {
    Bytes out;
    Dword(out, current);
    Word(out, static_cast<WORD>(records.size()));
    for (size_t i = 0; i < records.size(); ++i) {
        if (i == 0) {
            Word(out, 0xFFFF);
            Word(out, 507);
            Word(out, 12);
            Text(out, "CPrintDriver");
        } else {
            Word(out, 0x8001);
        }
        const Bytes r =
            RecordBytes(records[i]->m_offsetX, records[i]->m_offsetY, BytesOf(records[i]->m_devNames),
                        BytesOf(records[i]->m_paperDevMode), BytesOf(records[i]->m_discDevMode));
        out.insert(out.end(), r.begin(), r.end());
    }
    return out;
}

}  // namespace

TEST_CASE("printers.ini is written and read back byte for byte") {
    KvMessageBoxCapture boxes;
    Folder folder("printers-roundtrip");
    for (int count : {0, 1, 3}) {
        CAPTURE(count);
        PrinterSetups setups;
        const char* names[] = {"PDF", "Label Printer", "Disc Printer"};
        for (int i = 0; i < count; ++i) setups.m_printers.Add(Record(names[i], i * 25 - 25, -i * 50, i == 2));
        setups.m_currentPrinter = count - 1 < 0 ? 0 : count - 1;
        // The transient blocks are never stored.
        if (count) At(setups, 0)->m_liveDevMode = Block(DevMode("PDF"));
        std::vector<CPrintDriver*> expectedRecords;
        for (int i = 0; i < count; ++i) expectedRecords.push_back(At(setups, i));
        const Bytes expected = PrintersIni(static_cast<DWORD>(setups.m_currentPrinter), expectedRecords);

        setups.LoadSavePrinters(true);
        const Bytes written = kvtest::ReadFileBytes(folder.File("printers.ini"));
        CHECK(written == expected);
        if (count) CHECK(At(setups, 0)->m_liveDevMode == nullptr);
        CHECK(kvtest::ReadFileBytes(folder.File("printers.ini.new")).empty());

        PrinterSetups loaded;
        loaded.LoadSavePrinters(false);
        REQUIRE(loaded.m_printers.GetSize() == count);
        CHECK(loaded.m_currentPrinter == setups.m_currentPrinter);
        for (int i = 0; i < count; ++i) CHECK(At(loaded, i)->m_liveDevMode == nullptr);
        if (count == 3) CHECK(At(loaded, 2)->m_discDevMode == nullptr);
        // Saved again, the file does not change by a byte: every block and offset was read back.
        loaded.LoadSavePrinters(true);
        CHECK(kvtest::ReadFileBytes(folder.File("printers.ini")) == expected);
    }
    CHECK(boxes.Boxes().empty());
}

TEST_CASE("a failed write leaves the old printers.ini in place") {
    KvMessageBoxCapture boxes;
    Folder folder("printers-failed-write");
    PrinterSetups setups;
    setups.m_printers.Add(Record("PDF"));
    setups.LoadSavePrinters(true);
    const Bytes before = kvtest::ReadFileBytes(folder.File("printers.ini"));
    REQUIRE_FALSE(before.empty());
    // The temporary name is taken by a folder: the new file cannot be made.
    CreateDirectoryA(folder.File("printers.ini.new").c_str(), nullptr);
    setups.m_printers.Add(Record("Label Printer"));
    setups.LoadSavePrinters(true);
    CHECK(kvtest::ReadFileBytes(folder.File("printers.ini")) == before);
    // A missing settings folder writes nothing and reports nothing.
    g_settingsFolder = (folder.path + "\\missing").c_str();
    setups.LoadSavePrinters(true);
    CHECK(boxes.Boxes().empty());
}

TEST_CASE("the fall-backs when printers.ini cannot be read") {
    KvMessageBoxCapture boxes;
    Folder folder("printers-fallback");
    CPrintDriver* a = Record("PDF", 25, 50);
    CPrintDriver* b = Record("Label Printer");
    const Bytes drivers = PrintersIni(1, {a, b});
    REQUIRE(kvtest::WriteFileBytes(folder.File("printDrivers.ini"), drivers));

    SUBCASE("printDrivers.ini when printers.ini is missing, empty or damaged; it stays on disk") {
        for (int variant = 0; variant < 3; ++variant) {
            CAPTURE(variant);
            if (variant == 1) REQUIRE(kvtest::WriteFileBytes(folder.File("printers.ini"), Bytes()));
            if (variant == 2) {
                Bytes damaged = PrintersIni(0, {a});
                damaged.resize(damaged.size() - 10);
                REQUIRE(kvtest::WriteFileBytes(folder.File("printers.ini"), damaged));
            }
            PrinterSetups setups;
            setups.LoadSavePrinters(false);
            REQUIRE(setups.m_printers.GetSize() == 2);
            CHECK(setups.m_currentPrinter == 1);
            CHECK(At(setups, 0)->m_offsetX == 25);
            CHECK(At(setups, 1)->GetDeviceName() == "Label Printer");
            CHECK(kvtest::ReadFileBytes(folder.File("printDrivers.ini")) == drivers);
        }
        // Saving writes printers.ini, which is read from then on.
        PrinterSetups setups;
        setups.LoadSavePrinters(false);
        setups.m_currentPrinter = 0;
        setups.LoadSavePrinters(true);
        PrinterSetups again;
        again.LoadSavePrinters(false);
        CHECK(again.m_currentPrinter == 0);
    }
    SUBCASE("printer.ini and printerCD.ini naming one printer give one record") {
        DeleteFileA(folder.File("printDrivers.ini").c_str());
        const Bytes paperMode = DevMode("PDF", 0x0100, 16, 1), discMode = DevMode("PDF", 0x0100, 16, 9);
        REQUIRE(
            kvtest::WriteFileBytes(folder.File("printer.ini"), OldPrinterFile(paperMode, DevNames("PDF"))));
        REQUIRE(
            kvtest::WriteFileBytes(folder.File("printerCD.ini"), OldPrinterFile(discMode, DevNames("PDF"))));
        PrinterSetups setups;
        setups.LoadSavePrinters(false);
        REQUIRE(setups.m_printers.GetSize() == 1);
        CHECK(BytesOf(At(setups, 0)->m_paperDevMode) == paperMode);
        CHECK(BytesOf(At(setups, 0)->m_discDevMode) == discMode);
        CHECK(BytesOf(At(setups, 0)->m_devNames) == DevNames("PDF"));
        CHECK_FALSE(kvtest::ReadFileBytes(folder.File("printer.ini")).empty());
        CHECK_FALSE(kvtest::ReadFileBytes(folder.File("printerCD.ini")).empty());
    }
    SUBCASE("two printers give two records, each with its paper mode also for discs") {
        DeleteFileA(folder.File("printDrivers.ini").c_str());
        const Bytes paperMode = DevMode("PDF", 0x0100, 16, 1),
                    discMode = DevMode("Disc Printer", 0x0200, 8, 9);
        REQUIRE(
            kvtest::WriteFileBytes(folder.File("printer.ini"), OldPrinterFile(paperMode, DevNames("PDF"))));
        REQUIRE(kvtest::WriteFileBytes(folder.File("printerCD.ini"),
                                       OldPrinterFile(discMode, DevNames("Disc Printer", "USB001"))));
        PrinterSetups setups;
        setups.LoadSavePrinters(false);
        REQUIRE(setups.m_printers.GetSize() == 2);
        CHECK(At(setups, 0)->GetDeviceName() == "PDF");
        CHECK(BytesOf(At(setups, 0)->m_discDevMode) == paperMode);
        CHECK(At(setups, 1)->GetDeviceName() == "Disc Printer");
        CHECK(BytesOf(At(setups, 1)->m_discDevMode) == discMode);
        CHECK(BytesOf(At(setups, 1)->m_paperDevMode) == discMode);
    }
    SUBCASE("no file at all: an empty list") {
        DeleteFileA(folder.File("printDrivers.ini").c_str());
        PrinterSetups setups;
        setups.LoadSavePrinters(false);
        CHECK(setups.m_printers.GetSize() == 0);
        CHECK(setups.GetCurrentPrintDriver() == nullptr);
    }
    SUBCASE("records of one printer: the last stays, and the current index follows it") {
        CPrintDriver* first = Record("PDF", 1, 1);
        CPrintDriver* other = Record("Label Printer", 2, 2);
        CPrintDriver* last = Record("PDF", 3, 3);
        REQUIRE(kvtest::WriteFileBytes(folder.File("printers.ini"), PrintersIni(0, {first, other, last})));
        PrinterSetups setups;
        setups.LoadSavePrinters(false);
        REQUIRE(setups.m_printers.GetSize() == 2);
        CHECK(At(setups, 0)->GetDeviceName() == "Label Printer");
        CHECK(At(setups, 1)->m_offsetX == 3);
        CHECK(setups.m_currentPrinter == 1);
        delete first;
        delete other;
        delete last;
    }
    SUBCASE("a malformed record is dropped, the others are kept") {
        CPrintDriver* bad = Record("PDF");
        // dmDriverExtra claims more bytes than the block holds.
        DEVMODEA* mode = static_cast<DEVMODEA*>(GlobalLock(bad->m_paperDevMode));
        mode->dmDriverExtra = 400;
        GlobalUnlock(bad->m_paperDevMode);
        CPrintDriver* good = Record("Label Printer");
        REQUIRE(kvtest::WriteFileBytes(folder.File("printers.ini"), PrintersIni(1, {bad, good})));
        PrinterSetups setups;
        setups.LoadSavePrinters(false);
        REQUIRE(setups.m_printers.GetSize() == 1);
        CHECK(At(setups, 0)->GetDeviceName() == "Label Printer");
        CHECK(setups.m_currentPrinter == 0);
        delete bad;
        delete good;
    }
    delete a;
    delete b;
    CHECK(boxes.Boxes().empty());
}

TEST_CASE("size lines and device-mode accessors") {
    // The size lines of a record: decimal digits up to 1 MB, nothing else.
    auto sizeOf = [](const char* line) -> long {
        CMemFile file;
        file.Write(line, static_cast<UINT>(std::strlen(line)));
        file.SeekToBegin();
        CArchive ar(&file, CArchive::load);
        try {
            return static_cast<long>(ReadDeviceBlockSize(ar));
        } catch (CException* e) {
            e->Delete();
            return -1;
        }
    };
    CHECK(sizeOf("1048576\n") == 1048576);
    CHECK(sizeOf("156\r\n") == 156);
    CHECK(sizeOf("1048577\n") == -1);
    CHECK(sizeOf("00000000000156\n") == -1);
    CHECK(sizeOf("15a\n") == -1);
    CHECK(sizeOf("156") == -1);

    CPrintDriver record;
    CHECK(record.GetDriverVersion(false) == -1);
    record.m_paperDevMode = Block(DevMode("PDF", 0x0300, 16, 1));
    record.m_discDevMode = Block(DevMode("PDF", 0x0300, 16, 9));
    CHECK(record.SetCopies(3) == 3);
    CHECK(record.SetCopies(CPrintDriver::kReadOnly) == 3);
    CHECK(reinterpret_cast<const DEVMODEA*>(BytesOf(record.m_discDevMode).data())->dmCopies == 3);
    CHECK(record.PaperSize(true, CPrintDriver::kReadOnly) == 9);
    CHECK(record.MediaType(false, 258) == 258);
    CHECK(record.GetDriverExtra(false) == 16);
    CHECK(record.GetDriverExtra(true) == -1);
    // A block cut short is not read: the accessor answers as if there were none.
    Bytes cut = DevMode("PDF");
    cut.resize(cut.size() - 1);
    FreeBlock(record.m_paperDevMode);
    record.m_paperDevMode = Block(cut);
    CHECK(record.PaperSize(false, CPrintDriver::kReadOnly) == 0);
    CHECK_FALSE(record.IsSound());
}

TEST_CASE("damaged printer files never crash the reader nor pass a malformed block on") {
    KvMessageBoxCapture boxes;
    Folder folder("printers-fuzz");
    CPrintDriver* a = Record("PDF", 25, -25);
    CPrintDriver* b = Record("Label Printer");
    CPrintDriver* c = Record("Disc Printer", 0, 0, true);
    const Bytes good = PrintersIni(2, {a, b, c});
    const Bytes old = OldPrinterFile(DevMode("PDF"), DevNames("PDF"));
    delete a;
    delete b;
    delete c;
    std::mt19937 random(20261207);
    int loadedRecords = 0, emptyLoads = 0;
    for (int round = 0; round < 3000; ++round) {
        const bool oldFile = round % 3 == 2;
        Bytes bytes = oldFile ? old : good;
        switch (random() % 4) {
            case 0: {  // flip a few bytes
                const int flips = 1 + static_cast<int>(random() % 4);
                for (int i = 0; i < flips; ++i)
                    bytes[random() % bytes.size()] ^= static_cast<unsigned char>(1 + random() % 255);
                break;
            }
            case 1:  // cut short
                bytes.resize(random() % bytes.size());
                break;
            case 2: {  // a size line or size string grows a digit
                const size_t at = random() % bytes.size();
                bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                             static_cast<unsigned char>('0' + random() % 10));
                break;
            }
            default: {  // overwrite a word with a large number
                const size_t at = random() % (bytes.size() - 2);
                bytes[at] = 0xFF;
                bytes[at + 1] = static_cast<unsigned char>(random());
                break;
            }
        }
        DeleteFileA(folder.File("printers.ini").c_str());
        DeleteFileA(folder.File("printer.ini").c_str());
        REQUIRE(kvtest::WriteFileBytes(folder.File(oldFile ? "printer.ini" : "printers.ini"), bytes));
        PrinterSetups setups;
        setups.LoadSavePrinters(false);
        if (setups.m_printers.GetSize() == 0) ++emptyLoads;
        for (INT_PTR i = 0; i < setups.m_printers.GetSize(); ++i) {
            CPrintDriver* record = At(setups, static_cast<int>(i));
            REQUIRE(record->IsSound());
            // Every block came from the file: none can be larger than it.
            for (HGLOBAL h : {record->m_devNames, record->m_paperDevMode, record->m_discDevMode})
                if (h) REQUIRE(GlobalSize(h) <= bytes.size());
            CHECK(record->GetDeviceName().GetLength() < 64);
            record->PaperSize(false, CPrintDriver::kReadOnly);
            ++loadedRecords;
        }
    }
    // The mutations leave many files readable in part and many not at all.
    CHECK(loadedRecords > 1000);
    CHECK(emptyLoads > 300);
    CHECK(boxes.Boxes().empty());
}
