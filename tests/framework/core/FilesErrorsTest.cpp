#include <doctest.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Core.h"
#include "TestSupport.h"

TEST_CASE("CFile writes, seeks and reads a file on disk") {
    std::string dir = kvtest::TempDir("cfile");
    std::string path = dir + "\\data.bin";
    {
        CFile f;
        REQUIRE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        f.Write("hello world", 11);
        CHECK(f.GetLength() == 11);
        CHECK(f.GetPosition() == 11);
        f.Seek(6, CFile::begin);
        f.Write("WORLD", 5);
        CHECK(f.GetFileName() == "data.bin");
        CHECK(f.GetFilePath().Right(9) == "\\data.bin");
        f.Close();
        CHECK_FALSE(f.IsOpen());
    }
    CHECK(kvtest::ReadFileBytes(path) ==
          std::vector<unsigned char>{'h', 'e', 'l', 'l', 'o', ' ', 'W', 'O', 'R', 'L', 'D'});
    {
        CFile f(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
        char buf[32] = {};
        CHECK(f.Seek(-5, CFile::end) == 6);
        CHECK(f.Read(buf, sizeof buf) == 5);
        CHECK(CString(buf) == "WORLD");
        CHECK(f.Read(buf, sizeof buf) == 0);
    }
    {
        // modeNoTruncate keeps the content.
        CFile f;
        REQUIRE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite));
        CHECK(f.GetLength() == 11);
        f.SetLength(5);
        CHECK(f.GetLength() == 5);
    }
    CFile missing;
    CFileException e;
    CHECK_FALSE(missing.Open((dir + "\\none.bin").c_str(), CFile::modeRead, &e));
    CHECK(e.m_cause == CFileException::fileNotFound);
    int cause = -1;
    try {
        CFile thrown((dir + "\\none.bin").c_str(), CFile::modeRead);
    } catch (CFileException* ex) {
        cause = ex->m_cause;
        ex->Delete();
    }
    CHECK(cause == CFileException::fileNotFound);
}

TEST_CASE("an archive on a disk file crosses its buffer and flushes on close") {
    std::string path = kvtest::TempDir("archive-file") + "\\a.kvl";
    CString longText('x', 9000);
    {
        CFile f;
        REQUIRE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        CArchive ar(&f, CArchive::store);
        for (int i = 0; i < 3000; ++i) ar << i;
        ar << longText;
        ar.Close();
        CHECK(f.GetLength() == 3000 * 4 + 3 + 9000);  // 0xFF and a 16-bit length
    }
    CFile f;
    REQUIRE(f.Open(path.c_str(), CFile::modeRead));
    CArchive ar(&f, CArchive::load);
    bool ok = true;
    for (int i = 0; i < 3000; ++i) {
        int v = -1;
        ar >> v;
        ok = ok && v == i;
    }
    CHECK(ok);
    CString back;
    ar >> back;
    CHECK(back == longText);
    CHECK(ar.GetBytesLeft() == 0);
}

TEST_CASE("CMemFile grows, attaches and detaches") {
    CMemFile mem(16);
    for (int i = 0; i < 100; ++i) mem.Write("0123456789", 10);
    CHECK(mem.GetLength() == 1000);
    mem.Seek(995, CFile::begin);
    char buf[10] = {};
    CHECK(mem.Read(buf, 10) == 5);
    CHECK(CString(buf, 5) == "56789");
    mem.Seek(1010, CFile::begin);
    mem.Write("x", 1);  // past the end: a gap of zeros
    CHECK(mem.GetLength() == 1011);
    CHECK(mem.GetData()[1005] == 0);
    ULONGLONG length = mem.GetLength();
    BYTE* block = mem.Detach();
    CHECK(length == 1011);
    CHECK(mem.GetLength() == 0);
    CHECK(block[0] == '0');
    std::free(block);

    BYTE fixed[4] = {1, 2, 3, 4};
    CMemFile attached(fixed, 4);
    CHECK(attached.GetLength() == 4);
    attached.Write("\x09", 1);
    CHECK(fixed[0] == 9);
    attached.Seek(0, CFile::end);
    int cause = -1;
    try {
        attached.Write("z", 1);  // a fixed block cannot grow
    } catch (CFileException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    CHECK(cause == CFileException::diskFull);
    CHECK(attached.Detach() == fixed);
}

TEST_CASE("operations report failures as numbered errors in the plain message box") {
    KvMessageBoxCapture capture;
    CHECK(GuardOperation(279, [] {}));
    CHECK(capture.Boxes().empty());

    CHECK_FALSE(GuardOperation(279, [] { AfxThrowArchiveException(CArchiveException::endOfFile); }));
    CHECK(capture.LastText() == "Error 279");
    CHECK((capture.Boxes().back().type & MB_ICONERROR) == MB_ICONERROR);

    CHECK_FALSE(GuardOperation(12, [] { throw std::runtime_error("x"); }));
    CHECK(capture.LastText() == "Error 12");
    CHECK_FALSE(GuardOperation(13, [] { AfxThrowMemoryException(); }));
    CHECK(capture.LastText() == "Error 13");

    CHECK_FALSE(GuardOperationSteps(40, [](int& step) {
        step = 1;
        step = 2;
        throw 5;
    }));
    CHECK(capture.LastText() == "Error 40 - Step: 2");
    CHECK(capture.Boxes().size() == 4);

    // An operation with a result: the result, or the fallback after the report.
    CHECK(GuardOperation(50, CString("none"), [] { return CString("read"); }) == "read");
    CHECK(capture.Boxes().size() == 4);
    CHECK(GuardOperation<DWORD>(51, 7, []() -> DWORD { AfxThrowFileException(CFileException::diskFull); }) ==
          7);
    CHECK(capture.LastText() == "Error 51");
    CHECK(capture.Boxes().size() == 5);

    capture.m_result = IDNO;
    CHECK(AfxPlainMessageBox("Question?", MB_YESNO, "Caption") == IDNO);
    CHECK(capture.Boxes().back().caption == "Caption");
    CHECK(capture.Boxes().back().type == MB_YESNO);
    AfxSetMessageBoxCaption("Korvanelle");
    AfxPlainMessageBox("plain");
    CHECK(capture.Boxes().back().caption == "Korvanelle");

    {
        KvMessageBoxCapture inner;
        ReportOperationError(7);
        CHECK(inner.LastText() == "Error 7");
    }
    ReportOperationError(8);  // the outer capture is back in place
    CHECK(capture.LastText() == "Error 8");
}

TEST_CASE("exceptions describe themselves") {
    CArchiveException a(CArchiveException::badClass);
    CHECK(a.GetErrorMessage().Find("class") >= 0);
    CFileException f(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, "x.kvl");
    CHECK(f.GetErrorMessage().Find("x.kvl") == 0);
    CHECK(CFileException::OsErrorToException(ERROR_ACCESS_DENIED) == CFileException::accessDenied);
    char small[8];
    CHECK(a.GetErrorMessage(small, sizeof small));
    CHECK(std::strlen(small) == 7);
}

namespace {

// What this thread hands to OutputDebugString, as a debugger would see it: the text travels in
// the DBG_PRINTEXCEPTION_C that the call raises, which a vectored handler sees first.
class DebugOutputCapture {
public:
    DebugOutputCapture() {
        Lines().clear();
        m_handler = AddVectoredExceptionHandler(1, &DebugOutputCapture::Handler);
    }
    ~DebugOutputCapture() { RemoveVectoredExceptionHandler(m_handler); }
    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

    static std::vector<std::string>& Lines() {
        static std::vector<std::string> lines;
        return lines;
    }

private:
    static LONG CALLBACK Handler(EXCEPTION_POINTERS* info) {
        const EXCEPTION_RECORD* record = info->ExceptionRecord;
        if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2)
            Lines().push_back(reinterpret_cast<const char*>(record->ExceptionInformation[1]));
        return EXCEPTION_CONTINUE_SEARCH;
    }
    void* m_handler = nullptr;
};

}  // namespace

TEST_CASE("a failed operation tells a debugger the exception's own text before its number shows") {
    DebugOutputCapture debug;
    KvMessageBoxCapture capture;
    size_t linesWhenShown = 0;
    capture.m_answer = [&](const KvMessageBoxRequest&) {
        linesWhenShown = DebugOutputCapture::Lines().size();
        return IDOK;
    };
    std::vector<std::string>& lines = DebugOutputCapture::Lines();

    CHECK_FALSE(GuardOperation(61, [] { AfxThrowFileException(CFileException::diskFull, -1, "cover.kvl"); }));
    REQUIRE(lines.size() == 1);
    CHECK(linesWhenShown == 1);
    CHECK(lines[0].find("Error 61: ") == 0);
    CHECK(lines[0].find("cover.kvl") != std::string::npos);  // the exception's own description
    CHECK(capture.LastText() == "Error 61");

    CHECK_FALSE(GuardOperation<int>(62, 0, []() -> int { throw std::runtime_error("the header is cut short"); }));
    REQUIRE(lines.size() == 2);
    CHECK(lines[1] == "Error 62: the header is cut short\n");

    CHECK_FALSE(GuardOperationSteps(63, [](int& step) {
        step = 4;
        throw 5;
    }));
    REQUIRE(lines.size() == 3);
    CHECK(lines[2].find("Error 63: ") == 0);
    CHECK(capture.LastText() == "Error 63 - Step: 4");

    // An operation that succeeds says nothing.
    CHECK(GuardOperation(64, [] {}));
    CHECK(lines.size() == 3);
}
