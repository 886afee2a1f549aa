// Printing on LightScribe discs against a stand-in library (LSPrintAPI.dll) and a stand-in print
// dialog program (LSPrintDialog.exe), both built by the tests: finding the library through the
// registry, the drive test, the three results of a print, the temporary images created, recorded
// across runs and purged, a hostile list left harmless, and the view's print command with its
// messages and its fall-back from 600 to 300 to 150 dots per inch when memory is refused.
//
// The library's registry key belongs to the whole Wine prefix: this program runs alone.
#include <doctest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "GuiSupport.h"
#include "HeldResources.h"
#include "PrintTestSupport.h"
#include "framework/Graphics.h"
#include "model/Folders.h"
#include "model/PrintOptions.h"
#include "print/LightScribe.h"

using namespace Gdiplus;
using namespace printtest;

namespace {

std::string ExeFolder() {
    char path[MAX_PATH] = {0};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/"));
}

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::wstring StandInPath() {
    return Wide(ExeFolder() + "\\lightscribe\\LSPrintAPI.dll");
}

// The library's registry value, removed again when the test ends.
struct Registration {
    explicit Registration(const std::wstring& path, bool terminated = true) {
        Remove();
        HKEY key = nullptr;
        REQUIRE(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kLightScribeKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &key, nullptr) == ERROR_SUCCESS);
        // A value written without its terminating zero must still be read as the path.
        const DWORD bytes = static_cast<DWORD>((path.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
        ::RegSetValueExW(key, kLightScribeValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                         bytes);
        ::RegCloseKey(key);
    }
    ~Registration() { Remove(); }
    static void Remove() { ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kLightScribeKey); }
    static bool KeyExists() {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kLightScribeKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        ::RegCloseKey(key);
        return true;
    }
};

// The stand-in library's controls, from the copy the application loaded.
struct StandIn {
    void(__cdecl* configure)(int, int, int) = nullptr;
    int(__cdecl* calls)(int) = nullptr;
    int(__cdecl* command)(wchar_t*, int) = nullptr;
    DWORD(__cdecl* lastPid)() = nullptr;

    bool Bind() {
        HMODULE library = ::GetModuleHandleW(L"LSPrintAPI.dll");
        if (!library) return false;
        configure = reinterpret_cast<decltype(configure)>(
            reinterpret_cast<void*>(::GetProcAddress(library, "standin_configure")));
        calls = reinterpret_cast<decltype(calls)>(
            reinterpret_cast<void*>(::GetProcAddress(library, "standin_calls")));
        command = reinterpret_cast<decltype(command)>(
            reinterpret_cast<void*>(::GetProcAddress(library, "standin_last_command")));
        lastPid = reinterpret_cast<decltype(lastPid)>(
            reinterpret_cast<void*>(::GetProcAddress(library, "standin_last_pid")));
        return configure && calls && command && lastPid;
    }
    std::wstring LastCommand() {
        wchar_t text[1024] = {0};
        command(text, 1024);
        return text;
    }
};

void ForgetLibrary() {
    for (INT_PTR i = 0; i < g_lightScribeTempFiles.GetSize(); ++i) delete g_lightScribeTempFiles[i];
    g_lightScribeTempFiles.RemoveAll();
    g_lightScribeAvailable = 0;
}

// Loads the stand-in through the registry and binds its controls.
StandIn LoadStandIn() {
    ForgetLibrary();
    Registration registration(StandInPath());
    LightScribeInit();
    REQUIRE(g_lightScribeAvailable == 1);
    StandIn standIn;
    REQUIRE(standIn.Bind());
    return standIn;
}

CString KeyOf(DWORD pid) {
    CString key;
    key.Format("%lu%lu", static_cast<unsigned long>(pid),
               static_cast<unsigned long>(::GetCurrentProcessId()));
    return key;
}

bool Exists(const CString& path) {
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// Ends a stand-in dialog through its event; its exit code, or -1.
int EndDialogProcess(DWORD pid) {
    HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!process) return -1;
    wchar_t name[64];
    wsprintfW(name, L"LSPrintDialogStandIn.End.%lu", pid);
    HANDLE event = nullptr;
    kvtest::PumpUntil([&] { return (event = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, name)) != nullptr; },
                      10000);
    if (event) {
        ::SetEvent(event);
        ::CloseHandle(event);
    }
    DWORD code = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(process, 10000) == WAIT_OBJECT_0) ::GetExitCodeProcess(process, &code);
    ::CloseHandle(process);
    return static_cast<int>(code);
}

// A solid picture to print.
Bitmap* Label(int side = 200) {
    Bitmap* b = new Bitmap(side, side, PixelFormat24bppRGB);
    Graphics g(b);
    g.Clear(Color(0xFF2060C0));
    return b;
}

int CountTempImages() {
    char folder[MAX_PATH] = {0};
    ::GetTempPathA(MAX_PATH, folder);
    WIN32_FIND_DATAA found;
    HANDLE find = ::FindFirstFileA((std::string(folder) + "ls_*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return 0;
    int n = 0;
    do ++n;
    while (::FindNextFileA(find, &found));
    ::FindClose(find);
    return n;
}

CLightScribeTempFile* Entry(INT_PTR i) {
    return static_cast<CLightScribeTempFile*>(g_lightScribeTempFiles[i]);
}

// The boxes shown through the application's message hook, answered by a button's caption.
struct Boxes {
    std::vector<KvMessageBoxRequest> seen;
    std::function<CString(const KvMessageBoxRequest&)> answer;
    KvMessageBoxHandler previous;
    Boxes() {
        previous = AfxSetMessageBoxHandler([this](KvMessageBoxRequest& r) {
            seen.push_back(r);
            const CString caption = answer ? answer(r) : CString();
            const int result = caption.IsEmpty() ? -1 : r.ResultOf(caption);
            return result >= 0 ? result : (r.buttons.empty() ? IDOK : r.buttons.back().result);
        });
    }
    ~Boxes() { AfxSetMessageBoxHandler(previous); }
    bool Shown(const char* caption) const {
        for (const KvMessageBoxRequest& r : seen)
            if (r.caption == caption) return true;
        return false;
    }
};

// The view's host: the real library calls, with the dialog and the print step replaceable.
struct LightScribeHost : PrintHost {
    std::function<int()> dialog;
    std::function<int(Bitmap*)> print;
    int LightScribeAvailability() override { return ::LightScribeAvailability(); }
    bool HaveLightScribeDrive() override { return ::HaveLightScribeDrive(); }
    int RunLightScribeDialog() override { return dialog ? dialog() : kLeftOpen; }
    int LightScribePrint(Bitmap* bitmap) override {
        return print ? print(bitmap) : ::LightScribePrint(bitmap);
    }
};

View* LightScribeView(LightScribeHost& host) {
    View* view = EnsurePrintView();
    View::SetHost(&host);
    return view;
}

}  // namespace

TEST_CASE("the library is found through the registry key, read only, or the application goes on without it") {
    EnsurePrintView();
    ForgetLibrary();
    Registration::Remove();
    LightScribeInit();
    CHECK(g_lightScribeAvailable == 0);
    CHECK_FALSE(Registration::KeyExists());  // looking for the library made no key
    CHECK(LightScribeAvailability() == 0);
    CHECK_FALSE(HaveLightScribeDrive());
    const int before = CountTempImages();
    Bitmap* label = Label();
    CHECK(LightScribePrint(label) == kLightScribeUnavailable);
    CHECK(CountTempImages() == before);
    delete label;
    {
        Registration missing(Wide(ExeFolder() + "\\lightscribe\\missing\\LSPrintAPI.dll"));
        LightScribeInit();
        CHECK(g_lightScribeAvailable == 0);
    }
    {
        Registration unterminated(StandInPath(), false);
        CHECK(LightScribeAvailability() == 2);
        CHECK(g_lightScribeAvailable == 1);
        CHECK(g_lightScribeTempListPath == g_settingsFolder + "\\LightScribeTemp.dat");
        CHECK(LightScribeAvailability() == 1);
    }
}

TEST_CASE("the view's command without the library, without a drive and with one") {
    LightScribeHost host;
    View* view = LightScribeView(host);
    NewDesign(view, kLayout1DiscTop, "Disc 1");
    Boxes boxes;
    SUBCASE("no library: the box that says what is needed, with its link") {
        ForgetLibrary();
        Registration::Remove();
        int dialogs = 0;
        host.dialog = [&] { return ++dialogs, IDCANCEL; };
        view->PrintOnLightScribe(false);
        REQUIRE(boxes.seen.size() == 1);
        CHECK(boxes.seen[0].caption == "LightScribe");
        CHECK(boxes.seen[0].text.Find("requires a LightScribe CD/DVD drive") >= 0);
        CHECK(boxes.seen[0].linkTarget == g_programFolder + "\\lightscribe.url");
        CHECK(boxes.seen[0].ResultOf("More Info..") >= 0);
        CHECK(dialogs == 0);
    }
    SUBCASE("a library without a drive asks until one is attached or the user cancels") {
        StandIn standIn = LoadStandIn();
        standIn.configure(0, 0, 0);
        int tests = standIn.calls(0);
        int dialogs = 0;
        host.dialog = [&] { return ++dialogs, IDCANCEL; };
        boxes.answer = [](const KvMessageBoxRequest&) { return CString("Cancel"); };
        view->PrintOnLightScribe(false);
        CHECK(boxes.Shown("No LightScribe Drives Found"));
        CHECK(standIn.calls(0) == tests + 1);
        CHECK(dialogs == 0);
        // Retry after the drive was attached goes on to the disc choice.
        boxes.seen.clear();
        boxes.answer = [&](const KvMessageBoxRequest& r) {
            if (r.caption == "No LightScribe Drives Found") standIn.configure(1, 0, 0);
            return CString("Retry");
        };
        tests = standIn.calls(0);
        view->PrintOnLightScribe(false);
        CHECK(boxes.seen.size() == 1);
        CHECK(standIn.calls(0) == tests + 2);
        CHECK(dialogs == 1);
    }
    SUBCASE("the results of the print step: 1 says nothing, 2 and 3 have their boxes") {
        StandIn standIn = LoadStandIn();
        host.dialog = [] { return 10; };
        standIn.configure(1, 0, 0);
        view->PrintOnLightScribe(false);
        for (const KvMessageBoxRequest& r : boxes.seen)
            MESSAGE(r.caption.GetString() << ": " << r.text.GetString());
        CHECK(boxes.seen.empty());
        REQUIRE(g_lightScribeTempFiles.GetSize() == 1);
        CHECK(EndDialogProcess(standIn.lastPid()) == 0);
        standIn.configure(1, 3, 0);
        view->PrintOnLightScribe(false);
        REQUIRE(boxes.seen.size() == 1);
        CHECK(boxes.seen[0].caption == "Update LightScribe Software");
        CHECK(boxes.seen[0].linkTarget == g_programFolder + "\\lightscribe.url");
        host.print = [](Bitmap*) { return 2; };
        view->PrintOnLightScribe(false);
        REQUIRE(boxes.seen.size() == 2);
        CHECK(boxes.seen[1].caption == "LightScribe");
        CHECK(boxes.seen[1].text.Find("problem saving the LightScribe image") >= 0);
        PurgeLightScribeTempFiles();
    }
    SUBCASE("the disc is drawn for the laser without the paper print's bleed and outline") {
        StandIn standIn = LoadStandIn();
        standIn.configure(1, 0, 0);
        host.dialog = [] { return 10; };
        const PrintOptions kept = g_printOptions;
        g_printOptions.discMargin = 100;
        g_printOptions.discBorder = 1;
        int width = 0, height = 0, dark = 0;
        float dpi = 0;
        host.print = [&](Bitmap* bitmap) {
            width = static_cast<int>(bitmap->GetWidth());
            height = static_cast<int>(bitmap->GetHeight());
            dpi = bitmap->GetHorizontalResolution();
            // Dark pixels across the middle row: an outline would cross it at the rim and the hole.
            for (int x = 0; x < width; ++x) {
                Color c;
                bitmap->GetPixel(x, height / 2, &c);
                if (c.GetR() < 96 && c.GetG() < 96 && c.GetB() < 96) ++dark;
            }
            return 1;
        };
        view->PrintOnLightScribe(false);
        g_printOptions = kept;
        ViewObject* disc = view->m_design.FindObject("Disc 1");
        REQUIRE(disc != nullptr);
        REQUIRE(dpi > 0);
        const int expected = static_cast<int>(disc->width * dpi / 1000);
        CHECK(std::abs(width - expected) <= 1);
        CHECK(std::abs(height - expected) <= 1);
        CHECK(dark == 0);
        CHECK(boxes.seen.empty());
    }
    ForgetLibrary();
}

TEST_CASE("a print writes the label as a JPEG file, starts the dialog on it and records the job") {
    EnsurePrintView();
    StandIn standIn = LoadStandIn();
    SUBCASE("the dialog starts: result 1, the job recorded with the dialog's key") {
        standIn.configure(1, 0, 0);
        Bitmap* label = Label(240);
        CHECK(LightScribePrint(label) == kLightScribeStarted);
        delete label;
        REQUIRE(g_lightScribeTempFiles.GetSize() == 1);
        const CString path = Entry(0)->m_imagePath;
        CHECK(IsLightScribeTempFile(path));
        CHECK(standIn.LastCommand() == LightScribeCommandText(path));
        const DWORD pid = standIn.lastPid();
        REQUIRE(pid != 0);
        CHECK(Entry(0)->m_dialogKey == KeyOf(pid));
        {
            Bitmap written(Wide(std::string(path)).c_str());
            CHECK(written.GetLastStatus() == Ok);
            CHECK(written.GetWidth() == 240);
            GUID format;
            written.GetRawFormat(&format);
            CHECK(format == ImageFormatJPEG);
        }
        CHECK(EndDialogProcess(pid) == 0);  // the dialog read a JPEG file
        CHECK(PurgeLightScribeTempFiles());
        CHECK_FALSE(Exists(path));
    }
    SUBCASE("the library refuses: result 3, no job, no file left") {
        standIn.configure(1, 7, 0);
        const int before = CountTempImages();
        Bitmap* label = Label();
        CHECK(LightScribePrint(label) == kLightScribeRefused);
        delete label;
        CHECK(g_lightScribeTempFiles.GetSize() == 0);
        CHECK(CountTempImages() == before);
    }
    SUBCASE("the image cannot be written: result 2, no job, the empty file removed") {
        standIn.configure(1, 0, 0);
        const int launches = standIn.calls(1);
        const int before = CountTempImages();
        Bitmap broken(0, 0, PixelFormat24bppRGB);
        CHECK(LightScribePrint(&broken) == kLightScribeNotSaved);
        CHECK(broken.GetLastStatus() != Ok);
        CHECK(standIn.calls(1) == launches);
        CHECK(g_lightScribeTempFiles.GetSize() == 0);
        CHECK(CountTempImages() == before);
    }
    SUBCASE("the command text keeps a path with blanks whole") {
        CHECK(LightScribeCommandText("C:\\my temp\\ls_12.tmp") ==
              L"--filename \"C:\\my temp\\ls_12.tmp\" -d 1");
    }
    ForgetLibrary();
}

TEST_CASE("a dialog that appears late is still found, or its image is purged once no dialog runs") {
    EnsurePrintView();
    StandIn standIn = LoadStandIn();
    SUBCASE("a little late: found within the wait") {
        standIn.configure(1, 0, 300);
        Bitmap* label = Label();
        CHECK(LightScribePrint(label) == kLightScribeStarted);
        delete label;
        const DWORD pid = standIn.lastPid();
        REQUIRE(pid != 0);
        REQUIRE(g_lightScribeTempFiles.GetSize() == 1);
        CHECK(Entry(0)->m_dialogKey == KeyOf(pid));
        CHECK(EndDialogProcess(pid) == 0);
    }
    SUBCASE("too late: recorded without a key, kept while a dialog runs, purged after") {
        g_lightScribeDialogWaitMs = 200;
        standIn.configure(1, 0, 1500);
        Bitmap* label = Label();
        CHECK(LightScribePrint(label) == kLightScribeStarted);
        delete label;
        g_lightScribeDialogWaitMs = 1000;
        REQUIRE(g_lightScribeTempFiles.GetSize() == 1);
        CHECK(Entry(0)->m_dialogKey.IsEmpty());
        const CString path = Entry(0)->m_imagePath;
        REQUIRE(kvtest::PumpUntil([&] { return standIn.lastPid() != 0; }, 10000));
        CStringArray running;
        REQUIRE(kvtest::PumpUntil(
            [&] {
                running.RemoveAll();
                ScanPrintDialogProcesses(running);
                return running.GetSize() > 0;
            },
            10000));
        CHECK_FALSE(PurgeLightScribeTempFiles());
        CHECK(Exists(path));
        CHECK(EndDialogProcess(standIn.lastPid()) == 0);
        CHECK(PurgeLightScribeTempFiles());
        CHECK_FALSE(Exists(path));
    }
    ForgetLibrary();
}

TEST_CASE("jobs stay recorded across runs until their dialog has ended") {
    EnsurePrintView();
    StandIn standIn = LoadStandIn();
    standIn.configure(1, 0, 0);
    Bitmap* label = Label();
    REQUIRE(LightScribePrint(label) == kLightScribeStarted);
    const DWORD first = standIn.lastPid();
    REQUIRE(LightScribePrint(label) == kLightScribeStarted);
    const DWORD second = standIn.lastPid();
    delete label;
    REQUIRE(g_lightScribeTempFiles.GetSize() == 2);
    CHECK(Entry(0)->m_dialogKey != Entry(1)->m_dialogKey);
    const CString firstPath = Entry(0)->m_imagePath, secondPath = Entry(1)->m_imagePath;

    CHECK(EndDialogProcess(first) == 0);
    SaveLightScribeTempList(true);  // shut-down
    CHECK(g_lightScribeTempFiles.GetSize() == 0);
    CHECK_FALSE(Exists(firstPath));
    CHECK(Exists(secondPath));
    REQUIRE(Exists(g_lightScribeTempListPath));

    // The next run reads the list back.
    LoadLightScribeTempList();
    REQUIRE(g_lightScribeTempFiles.GetSize() == 1);
    CHECK(Entry(0)->m_imagePath == secondPath);
    CHECK(Entry(0)->m_dialogKey == KeyOf(second));

    CHECK(EndDialogProcess(second) == 0);
    SaveLightScribeTempList(true);
    CHECK_FALSE(Exists(secondPath));
    CHECK_FALSE(Exists(g_lightScribeTempListPath));
    ForgetLibrary();
}

TEST_CASE("the purge deletes only the application's own temporary images, whatever the list names") {
    EnsurePrintView();
    LoadStandIn();
    char temp[MAX_PATH] = {0};
    ::GetTempPathA(MAX_PATH, temp);
    const CString tempFolder(temp);
    const CString outside = g_settingsFolder + "\\ls_keep.jpg";
    const CString notOurs = tempFolder + "keep_ls.tmp";
    const CString nested = tempFolder + "kvls_nested";
    const CString inSubfolder = nested + "\\ls_deep.tmp";
    const CString climbing = tempFolder + "kvls_nested\\..\\..\\ls_up.tmp";
    const CString ours = tempFolder + "ls_kvtest.tmp";
    ::CreateDirectoryA(nested, nullptr);
    for (const CString& path : {outside, notOurs, inSubfolder, ours}) {
        CFile f;
        REQUIRE(f.Open(path, CFile::modeCreate | CFile::modeWrite));
        f.Write("x", 1);
        f.Close();
    }
    {
        CFile file;
        REQUIRE(file.Open(g_lightScribeTempListPath, CFile::modeCreate | CFile::modeWrite));
        CArchive ar(&file, CArchive::store);
        CLightScribeTempFile entries[5] = {
            {outside, "1"}, {notOurs, "2"}, {inSubfolder, "3"}, {climbing, "4"}, {ours, "5"}};
        ar.WriteCount(5);
        for (CLightScribeTempFile& e : entries) ar.WriteObject(&e);
        ar.Close();
        file.Close();
    }
    LoadLightScribeTempList();
    REQUIRE(g_lightScribeTempFiles.GetSize() == 5);
    CHECK(PurgeLightScribeTempFiles());
    CHECK(g_lightScribeTempFiles.GetSize() == 0);
    CHECK(Exists(outside));
    CHECK(Exists(notOurs));
    CHECK(Exists(inSubfolder));
    CHECK_FALSE(Exists(ours));
    CHECK_FALSE(IsLightScribeTempFile(climbing));
    CHECK_FALSE(Exists(g_lightScribeTempListPath));
    for (const CString& path : {outside, notOurs, inSubfolder}) ::DeleteFileA(path);
    ::RemoveDirectoryA(nested);

    SUBCASE("a damaged or foreign list is no list") {
        // Cut short; a class nobody knows; a class of another kind.
        const std::string damaged[] = {std::string("\x02\x00", 2),
                                       std::string("\x01\x00\xFF\xFF\x00\x00\x04\x00Nope", 12),
                                       std::string("\x01\x00\xFF\xFF\xFB\x01\x0C\x00CPrintDriver", 20)};
        for (const std::string& bytes : damaged) {
            CFile file;
            REQUIRE(file.Open(g_lightScribeTempListPath, CFile::modeCreate | CFile::modeWrite));
            file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
            file.Close();
            LoadLightScribeTempList();
            CHECK(g_lightScribeTempFiles.GetSize() == 0);
        }
        ::DeleteFileA(g_lightScribeTempListPath);
    }
    ForgetLibrary();
}

TEST_CASE("only a program named exactly LSPrintDialog.exe counts as a print dialog") {
    char temp[MAX_PATH] = {0};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "kvls_case";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string copy = folder + "\\lsprintdialog.exe";
    REQUIRE(::CopyFileA((ExeFolder() + "\\lightscribe\\LSPrintDialog.exe").c_str(), copy.c_str(), FALSE));
    std::string line = "\"" + copy + "\" --filename \"" + copy + "\" -d 1";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    REQUIRE(::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                             &startup, &process));
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    // Seen in the system's list, but not taken for a print dialog.
    bool listed = kvtest::PumpUntil(
        [&] {
            bool found = false;
            HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
            PROCESSENTRY32 entry = {};
            entry.dwSize = sizeof(entry);
            for (BOOL more = ::Process32First(snapshot, &entry); more;
                 more = ::Process32Next(snapshot, &entry))
                found = found || entry.th32ProcessID == process.dwProcessId;
            ::CloseHandle(snapshot);
            return found;
        },
        10000);
    CHECK(listed);
    CStringArray keys;
    ScanPrintDialogProcesses(keys);
    for (INT_PTR i = 0; i < keys.GetSize(); ++i) CHECK(keys[i] != KeyOf(process.dwProcessId));
    CHECK(EndDialogProcess(process.dwProcessId) == 4);  // it opened itself: not a JPEG
    ::DeleteFileA(copy.c_str());
    ::RemoveDirectoryA(folder.c_str());
}

TEST_CASE("the view renders the disc at 600, else 300, else 150 dots per inch") {
    LightScribeHost host;
    View* view = LightScribeView(host);
    NewDesign(view, kLayout1DiscTop, "Disc 1");
    LoadStandIn().configure(1, 0, 0);
    Boxes boxes;
    kvtest::AddressSpaceSqueeze* squeeze = nullptr;
    SIZE_T spareBytes = 0;
    int spareBlocks = 0;
    std::vector<REAL> resolutions;
    UINT width = 0;
    host.dialog = [&] {
        if (spareBlocks > 0) squeeze = new kvtest::AddressSpaceSqueeze(spareBytes, spareBlocks);
        return 10;
    };
    host.print = [&](Bitmap* bitmap) {
        delete squeeze;
        squeeze = nullptr;
        resolutions.push_back(bitmap->GetHorizontalResolution());
        width = bitmap->GetWidth();
        return 1;
    };
    auto run = [&](SIZE_T bytes, int blocks) {
        spareBytes = bytes;
        spareBlocks = blocks;
        resolutions.clear();
        view->PrintOnLightScribe(false);
        delete squeeze;
        squeeze = nullptr;
    };
    run(0, 0);
    REQUIRE(resolutions.size() == 1);
    CHECK(resolutions[0] == doctest::Approx(600));
    const UINT full = width;
    CHECK(full > 2700);
    run(16u << 20, 3);  // no room for the 600 dpi picture
    REQUIRE(resolutions.size() == 1);
    CHECK(resolutions[0] == doctest::Approx(300));
    CHECK(width == doctest::Approx(full / 2.0).epsilon(0.01));
    run(4u << 20, 8);  // nor for the 300 dpi one
    REQUIRE(resolutions.size() == 1);
    CHECK(resolutions[0] == doctest::Approx(150));
    CHECK_FALSE(boxes.Shown("Low Memory"));
    run(1u << 20, 8);  // nor for any
    CHECK(resolutions.empty());
    CHECK(boxes.Shown("Low Memory"));
    ForgetLibrary();
}
