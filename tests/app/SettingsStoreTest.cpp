// The settings store: defaults, the bytes of preferences.ini, reading damaged and older files,
// the start-up order of the sources and the fix-ups after loading.
#include <doctest.h>

#include <cstring>
#include <string>
#include <type_traits>
#include <variant>

#include "app/Settings.h"
#include "model/KorvanelleDocument.h"
#include "SettingsBytes.h"

namespace {

// Distinct values in every stored global.
void SetSample() {
    g_lastDrive = "E: [HL-DT-ST]";
    g_units = "Millimeters";
    g_caseKind = 10;
    g_cdPlayerPath = "C:\\Windows\\cdplayer.ini";
    g_freedbServer = "freedb.example`8880`";
    g_browseDefaultPath = "D:\\Backgrounds";
    g_browseSubfolders = 0;
    g_browseFilter = 5;
    g_printOptions.printFront = 1;
    g_printOptions.printBack = 0;
    g_printOptions.printDisc1 = 1;
    g_printOptions.printDisc2 = 0;
    g_showGuides = 1;
    g_snapToGrid = 1;
    g_showGrid = 0;
    g_useFreedb = 0;
    g_useCdText = 1;
    g_useCdPlayerIni = 0;
    g_useMp3 = 1;
    g_useMp3Tag = 0;
    g_helpImage = 0;
    g_helpTrack = 1;
    g_helpCdPrinter = 0;
    g_printOptions.frontBorder = 0;
    g_printOptions.backBorder = 1;
    g_printOptions.discBorder = 1;
    g_printOptions.frontFold = 0;
    g_printOptions.backFold = 1;
    g_dialogPositions[0] = POINT{11, 12};
    g_dialogPositions[1] = POINT{21, 22};
    for (int i = 0; i < 8; ++i) g_customColors[i] = 0x00102030 + i;
    g_lastSavePath = "C:\\a.kvl";
    g_lastOpenPath = "C:\\b.kvl";
    g_lastImagePath = "C:\\c.png";
    g_dialogPositions[4] = POINT{41, 42};
    for (int i = 0; i < 5; ++i) g_exportImageOptions[i] = 3 - i;
    g_lastExportPath = "C:\\d.jpg";
    g_mainWindowPlacement.flags = 2;
    g_mainWindowPlacement.showCmd = 1;
    g_mainWindowPlacement.ptMinPosition = POINT{-1, -2};
    g_mainWindowPlacement.ptMaxPosition = POINT{-3, -4};
    g_mainWindowPlacement.rcNormalPosition = RECT{10, 20, 810, 620};
    g_dialogPositions[2] = POINT{31, 32};
    g_gridSize[0] = 125;
    g_gridSize[1] = 250;
    g_printOptions.frontMargin = 50;
    g_printOptions.backMargin = 150;
    g_printOptions.discMargin = 0;
    g_showDiscPrintSettings = 1;
    g_printCopies = 7;
    g_dialogPositions[3] = POINT{61, 62};
    g_paperSize = "A4";
    for (int i = 0; i < 5; ++i) g_defaultTemplateNames[i] = CString("Template ") + char('0' + i);
    g_discLayout = 4;
    g_showNewProjectAtStart = 0;
    g_dialogPositions[5] = POINT{71, 72};
    g_labelStockDialogRect = RECT{100, 110, 500, 610};
}

// preferences.ini holding the sample values, field by field in the stored order.
SettingsBytes SampleBytes(unsigned long version = 507) {
    SettingsBytes b;
    b.Dword(version);
    b.String("E: [HL-DT-ST]").String("Millimeters").String("ViewObjectBluray");
    b.String("C:\\Windows\\cdplayer.ini").String("freedb.example`8880`").String("D:\\Backgrounds");
    b.Byte(0).Byte(5);                          // browse subfolders, filter
    b.Byte(1).Byte(0).Byte(1).Byte(0);          // print front, back, disc 1, disc 2
    b.Byte(1).Byte(1).Byte(0);                  // guides, snap, grid
    b.Byte(0).Byte(1).Byte(0).Byte(1).Byte(0);  // freedb, CD-TEXT, CDPlayer.ini, MP3, MP3 tags
    b.Byte(0).Byte(1).Byte(0);                  // help image, track, disc printer
    b.Byte(0).Byte(1).Byte(1).Byte(0).Byte(1);  // borders front, back, disc; folds front, back
    b.Point(11, 12).Point(21, 22);
    for (int i = 0; i < 8; ++i) b.Dword(0x00102030 + i);
    b.String("C:\\a.kvl").String("C:\\b.kvl").String("C:\\c.png");  // field 42 ends here
    b.Point(41, 42);
    for (int i = 0; i < 5; ++i) b.Dword((unsigned long)(3 - i));
    b.String("C:\\d.jpg");
    b.Dword(2).Dword(1).Point(-1, -2).Point(-3, -4).Rect(10, 20, 810, 620);
    b.Point(31, 32).Point(125, 250);
    b.Dword(150).Dword(50).Dword(0);  // margins back, front, disc
    b.Byte(1).Dword(7).Point(61, 62);
    b.String("A4");
    for (int i = 0; i < 5; ++i) b.String(std::string("Template ") + char('0' + i));
    b.String("Layout2DiscBottom");
    b.Byte(0).Point(71, 72).Rect(100, 110, 500, 610);
    return b;
}

// Bytes up to and including field 40 (the last save path).
size_t Field40End() {
    SettingsBytes b = SampleBytes();
    size_t n = 4;
    for (const char* s : {"E: [HL-DT-ST]", "Millimeters", "ViewObjectBluray", "C:\\Windows\\cdplayer.ini",
                          "freedb.example`8880`", "D:\\Backgrounds"})
        n += 1 + std::string(s).size();
    n += 2 + 4 + 3 + 5 + 3 + 5 + 16 + 32;
    n += 1 + std::string("C:\\a.kvl").size();
    return n;
}

void CheckSample() {
    CHECK(g_lastDrive == "E: [HL-DT-ST]");
    CHECK(g_units == "Millimeters");
    CHECK(g_caseKind == 10);
    CHECK(g_cdPlayerPath == "C:\\Windows\\cdplayer.ini");
    CHECK(g_freedbServer == "freedb.example`8880`");
    CHECK(g_browseDefaultPath == "D:\\Backgrounds");
    CHECK(g_browseSubfolders == 0);
    CHECK(g_browseFilter == 5);
    CHECK(g_printOptions.printFront == 1);
    CHECK(g_printOptions.printBack == 0);
    CHECK(g_printOptions.printDisc1 == 1);
    CHECK(g_printOptions.printDisc2 == 0);
    CHECK(g_showGuides == 1);
    CHECK(g_snapToGrid == 1);
    CHECK(g_showGrid == 0);
    CHECK(g_useFreedb == 0);
    CHECK(g_useCdText == 1);
    CHECK(g_useCdPlayerIni == 0);
    CHECK(g_useMp3 == 1);
    CHECK(g_useMp3Tag == 0);
    CHECK(g_helpImage == 0);
    CHECK(g_helpTrack == 1);
    CHECK(g_helpCdPrinter == 0);
    CHECK(g_printOptions.frontBorder == 0);
    CHECK(g_printOptions.backBorder == 1);
    CHECK(g_printOptions.discBorder == 1);
    CHECK(g_printOptions.frontFold == 0);
    CHECK(g_printOptions.backFold == 1);
    const POINT positions[6] = {{11, 12}, {21, 22}, {31, 32}, {61, 62}, {41, 42}, {71, 72}};
    for (int i = 0; i < 6; ++i) {
        CHECK(g_dialogPositions[i].x == positions[i].x);
        CHECK(g_dialogPositions[i].y == positions[i].y);
    }
    for (int i = 0; i < 8; ++i) CHECK(g_customColors[i] == (COLORREF)(0x00102030 + i));
    CHECK(g_lastSavePath == "C:\\a.kvl");
    CHECK(g_lastOpenPath == "C:\\b.kvl");
    CHECK(g_lastImagePath == "C:\\c.png");
    for (int i = 0; i < 5; ++i) CHECK(g_exportImageOptions[i] == 3 - i);
    CHECK(g_lastExportPath == "C:\\d.jpg");
    CHECK(g_mainWindowPlacement.length == sizeof(WINDOWPLACEMENT));
    CHECK(g_mainWindowPlacement.flags == 2);
    CHECK(g_mainWindowPlacement.showCmd == 1);
    CHECK(g_mainWindowPlacement.ptMinPosition.y == -2);
    CHECK(g_mainWindowPlacement.ptMaxPosition.x == -3);
    CHECK(g_mainWindowPlacement.rcNormalPosition.right == 810);
    CHECK(g_mainWindowPlacement.rcNormalPosition.bottom == 620);
    CHECK(g_gridSize[0] == 125);
    CHECK(g_gridSize[1] == 250);
    CHECK(g_printOptions.frontMargin == 50);
    CHECK(g_printOptions.backMargin == 150);
    CHECK(g_printOptions.discMargin == 0);
    CHECK(g_showDiscPrintSettings == 1);
    CHECK(g_printCopies == 7);
    CHECK(g_paperSize == "A4");
    for (int i = 0; i < 5; ++i) CHECK(g_defaultTemplateNames[i] == CString("Template ") + char('0' + i));
    CHECK(g_discLayout == 4);
    CHECK(g_showNewProjectAtStart == 0);
    CHECK(g_labelStockDialogRect.left == 100);
    CHECK(g_labelStockDialogRect.bottom == 610);
}

void CheckDefaults() {
    CHECK(g_showNewProjectAtStart == 1);
    CHECK(g_firstRun == 1);
    CHECK(g_caseKind == 4);
    CHECK(g_discLayout == 0);
    CHECK(g_settingsVersion == 0);
    CHECK(g_mainWindowPlacement.length == 44);
    CHECK(g_mainWindowPlacement.showCmd == SW_SHOWMAXIMIZED);
    CHECK(g_mainWindowPlacement.rcNormalPosition.right == 0);
    const int exportDefaults[5] = {2, 2, 1, 0, 0};
    for (int i = 0; i < 5; ++i) CHECK(g_exportImageOptions[i] == exportDefaults[i]);
    for (COLORREF c : g_customColors) CHECK(c == 0x00FFFFFF);
    CHECK((g_helpCdPrinter && g_helpTrack && g_helpImage));
    CHECK((g_useMp3Tag && g_useMp3 && g_useCdPlayerIni && g_useCdText && g_useFreedb));
    CHECK((!g_showGrid && !g_snapToGrid && !g_showGuides && !g_showDiscPrintSettings));
    CHECK(g_printCopies == 1);
    CHECK(g_browseFilter == 0);
    CHECK(g_browseSubfolders == 1);
    CHECK(g_lastDrive.IsEmpty());
    CHECK(g_units == "Inches");
    CHECK(g_freedbServer.IsEmpty());
    CHECK(g_browseDefaultPath.Right(12) == "\\Backgrounds");
    const BYTE flags[9] = {0, 0, 1, 1, 1, 1, 0, 1, 1};
    const BYTE actual[9] = {g_printOptions.printFront, g_printOptions.printBack,   g_printOptions.printDisc1,
                            g_printOptions.printDisc2, g_printOptions.frontBorder, g_printOptions.backBorder,
                            g_printOptions.discBorder, g_printOptions.frontFold,   g_printOptions.backFold};
    for (int i = 0; i < 9; ++i) CHECK(actual[i] == flags[i]);
    CHECK(g_printOptions.frontMargin == 0);
    CHECK(g_printOptions.backMargin == 0);
    CHECK(g_printOptions.discMargin == 100);
    for (const POINT& p : g_dialogPositions) CHECK((p.x == -1 && p.y == -1));
    CHECK((g_labelStockDialogRect.left == -1 && g_labelStockDialogRect.bottom == -1));
    CHECK(g_lastSavePath.IsEmpty());
    CHECK(g_lastExportPath.IsEmpty());
    CHECK(g_paperSize == "Letter");
    CHECK(g_gridSize[0] == 100);
    CHECK(g_gridSize[1] == 100);
}

// Walks every element of every field of the table in stored order, with its running number;
// the two names (case kind, disc layout) go to their own callback.
template <class Element, class Name>
void ForEachElement(Element&& element, Name&& name) {
    int n = 0;
    for (size_t f = 0; f < kSettingsFieldCount; ++f) {
        const SettingsField& field = kSettingsFields[f];
        CAPTURE(field.name);
        if (field.storedAs != SettingsField::kAsValue) {
            name(field, n++);
            continue;
        }
        std::visit(
            [&](auto* first) {
                for (int i = 0; i < field.count; ++i) element(field, first[i], n++);
            },
            field.target);
    }
}

// A value of each element's type that differs from every other element's, and its bytes.
template <class T>
T TableSample(int n) {
    if constexpr (std::is_same_v<T, CString>)
        return CString("field ") + CString(std::to_string(n).c_str());
    else if constexpr (std::is_same_v<T, POINT>)
        return POINT{n, -n};
    else if constexpr (std::is_same_v<T, RECT>)
        return RECT{n, -n, n + 1000, n + 2000};
    else if constexpr (std::is_same_v<T, BYTE>)
        return static_cast<BYTE>(n);
    else
        return static_cast<T>(100000 + n);
}
void AppendSample(SettingsBytes& b, const CString& v) {
    b.String(v.GetString());
}
void AppendSample(SettingsBytes& b, POINT v) {
    b.Point(v.x, v.y);
}
void AppendSample(SettingsBytes& b, const RECT& v) {
    b.Rect(v.left, v.top, v.right, v.bottom);
}
void AppendSample(SettingsBytes& b, BYTE v) {
    b.Byte(v);
}
template <class T>
void AppendSample(SettingsBytes& b, T v) {
    b.Dword(static_cast<unsigned long>(v));
}
bool SameSample(const CString& a, const CString& b) {
    return a == b;
}
template <class T>
bool SameSample(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// The settings folder of the tests: defaults first (which name the real folders), then a
// private folder.
CString UseTestFolder(const char* name) {
    SetDefaultSettings();
    CString folder(kvtest::TempDir(name).c_str());
    g_settingsFolder = folder;
    return folder;
}

}  // namespace

TEST_CASE("defaults") {
    SetSample();
    SetDefaultSettings();
    CheckDefaults();
    CHECK(!g_settingsFolder.IsEmpty());
    CHECK(!g_programFolder.IsEmpty());
    CHECK(GetCaseKindName() == "ViewObjectJewel");
}

TEST_CASE("preferences.ini: the bytes written, and read back") {
    CString folder = UseTestFolder("prefs-bytes");
    SetSample();
    REQUIRE(LoadSavePreferences(kSettingsStore) == 1);
    CString path = FolderFile(folder, "preferences.ini");
    CHECK(kvtest::ReadFileBytes(path.GetString()) == SampleBytes().bytes);
    CHECK_FALSE(FileExists(path + ".new"));

    SetDefaultSettings();
    g_settingsFolder = folder;
    REQUIRE(LoadSavePreferences(kSettingsLoad) == 1);
    CHECK(g_settingsVersion == 507);
    CheckSample();

    SUBCASE("a second save replaces the file") {
        g_units = "Inches";
        REQUIRE(LoadSavePreferences(kSettingsStore) == 1);
        g_units.Empty();
        REQUIRE(LoadSavePreferences(kSettingsLoad) == 1);
        CHECK(g_units == "Inches");
    }
}

TEST_CASE("preferences.ini: long strings and the wide string form") {
    CString folder = UseTestFolder("prefs-strings");
    SetSample();
    g_lastDrive = CString('x', 300);
    REQUIRE(LoadSavePreferences(kSettingsStore) == 1);
    std::vector<unsigned char> bytes =
        kvtest::ReadFileBytes(FolderFile(folder, "preferences.ini").GetString());
    REQUIRE(bytes.size() > 10);
    CHECK(bytes[4] == 0xFF);
    CHECK(bytes[5] == 0x2C);
    CHECK(bytes[6] == 0x01);
    CHECK(bytes[7] == 'x');
    g_lastDrive.Empty();
    REQUIRE(LoadSavePreferences(kSettingsLoad) == 1);
    CHECK(g_lastDrive == CString('x', 300));

    // Units written by a program that stored wide text.
    SettingsBytes b;
    b.Dword(507).String("E:").Byte(0xFF).Word(0xFFFE).Byte(6);
    for (char c : std::string("Inches")) b.Word((unsigned char)c);
    SettingsBytes rest = SampleBytes();
    size_t after = 4 + 1 + 13 + 1 + 11;  // version, drive, units of the sample
    b.bytes.insert(b.bytes.end(), rest.bytes.begin() + after, rest.bytes.end());
    REQUIRE(b.WriteTo(FolderFile(folder, "preferences.ini")));
    REQUIRE(LoadSavePreferences(kSettingsLoad) == 1);
    CHECK(g_lastDrive == "E:");
    CHECK(g_units == "Inches");
    CHECK(g_caseKind == 10);
}

TEST_CASE("preferences.ini: versions and damaged files") {
    CString folder = UseTestFolder("prefs-damaged");
    CString path = FolderFile(folder, "preferences.ini");

    SUBCASE("an older version is read with the same layout") {
        REQUIRE(SampleBytes(100).WriteTo(path));
        CHECK(LoadSavePreferences(kSettingsLoad) == 1);
        CHECK(g_settingsVersion == 100);
        CheckSample();
    }
    SUBCASE("bytes after the last field are not read") {
        SettingsBytes b = SampleBytes();
        b.Dword(0xDEADBEEF);
        REQUIRE(b.WriteTo(path));
        CHECK(LoadSavePreferences(kSettingsLoad) == 1);
        CheckSample();
    }
    SUBCASE("a later release's file is refused, and never saved over") {
        REQUIRE(SampleBytes(508).WriteTo(path));
        const std::vector<unsigned char> newer = kvtest::ReadFileBytes(path.GetString());
        SetSample();
        g_settingsFolder = folder;
        CHECK(LoadSavePreferences(kSettingsLoad) == 0);
        CheckDefaults();
        g_settingsFolder = folder;  // the defaults set the user's folder again
        // Shut-down of this older build: the later release keeps its settings.
        g_units = "Millimeters";
        CHECK(LoadSavePreferences(kSettingsStore) == 0);
        CHECK(kvtest::ReadFileBytes(path.GetString()) == newer);
        CHECK_FALSE(FileExists(path + ".new"));
        CHECK(g_units == "Millimeters");  // a refused save resets nothing
        // Once the file is ours again (the user deleted it), saving works as before.
        DeleteFileA(path);
        CHECK(LoadSavePreferences(kSettingsLoad) == 0);
        CHECK(LoadSavePreferences(kSettingsStore) == 1);
        CHECK(FileExists(path));
    }
    SUBCASE("a damaged version that reads negative is refused, and replaced at the next save") {
        REQUIRE(SampleBytes(0xFFFFFFFF).WriteTo(path));
        CHECK(LoadSavePreferences(kSettingsLoad) == 0);
        CheckDefaults();
        g_settingsFolder = folder;
        CHECK(LoadSavePreferences(kSettingsStore) == 1);
        CHECK(LoadSavePreferences(kSettingsLoad) == 1);
    }
    SUBCASE("a file cut after field 40 gives the defaults, not a mix") {
        REQUIRE(SampleBytes().Cut(Field40End()).WriteTo(path));
        CHECK(LoadSavePreferences(kSettingsLoad) == 0);
        CheckDefaults();
    }
    SUBCASE("every shorter cut fails cleanly") {
        SettingsBytes full = SampleBytes();
        for (size_t n = 0; n < full.Size(); n += 7) {
            SettingsBytes b = full;
            REQUIRE(b.Cut(n).WriteTo(path));
            g_settingsFolder = folder;
            CHECK(LoadSavePreferences(kSettingsLoad) == 0);
        }
        CheckDefaults();
    }
    SUBCASE("string lengths past the end of the file allocate nothing") {
        SettingsBytes b;
        b.Dword(507).Byte(0xFF).Word(0xFFFF).Dword(0xFFFFFFF0).String("rest");
        REQUIRE(b.WriteTo(path));
        CHECK(LoadSavePreferences(kSettingsLoad) == 0);
        SettingsBytes wide;
        wide.Dword(507).Byte(0xFF).Word(0xFFFE).Byte(0xFF).Word(0xFFFF).Dword(0x7FFFFFFF);
        REQUIRE(wide.WriteTo(path));
        g_settingsFolder = folder;
        CHECK(LoadSavePreferences(kSettingsLoad) == 0);
        CheckDefaults();
    }
    SUBCASE("a missing file changes nothing") {
        SetSample();
        CHECK(LoadSavePreferences(kSettingsLoad) == 0);
        CheckSample();
    }
}

TEST_CASE("preferences.ini: a save that cannot finish keeps the previous file") {
    CString folder = UseTestFolder("prefs-save");
    CString path = FolderFile(folder, "preferences.ini");
    SetSample();
    REQUIRE(LoadSavePreferences(kSettingsStore) == 1);
    std::vector<unsigned char> before = kvtest::ReadFileBytes(path.GetString());

    SUBCASE("the old file is held open elsewhere") {
        HANDLE held = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        REQUIRE(held != INVALID_HANDLE_VALUE);
        g_units = "Changed";
        CHECK(LoadSavePreferences(kSettingsStore) == 0);
        CloseHandle(held);
        CHECK(kvtest::ReadFileBytes(path.GetString()) == before);
        CHECK_FALSE(FileExists(path + ".new"));
        CheckDefaults();
    }
    SUBCASE("the folder is gone: nothing written, nothing reset") {
        g_settingsFolder = folder + "\\missing";
        CHECK(LoadSavePreferences(kSettingsStore) == 0);
        CheckSample();
    }
}

TEST_CASE("the field table: every field's default, its bytes in stored order, and the read back") {
    CString folder = UseTestFolder("prefs-table");
    SetSample();
    SetDefaultSettings();
    ForEachElement(
        [](const SettingsField& field, auto& value, int) {
            using T = std::remove_reference_t<decltype(value)>;
            if constexpr (std::is_same_v<T, CString>) {
                if (&value == &g_browseDefaultPath) return;  // named from the folders
                CHECK(value == std::get<const char*>(field.initial));
            } else {
                CHECK(SameSample(value, std::get<T>(field.initial)));
            }
        },
        [](const SettingsField& field, int) {
            CHECK(*std::get<int*>(field.target) == std::get<int>(field.initial));
        });

    SettingsBytes expected;
    expected.Dword(kSettingsVersion);
    ForEachElement(
        [&](const SettingsField&, auto& value, int n) {
            value = TableSample<std::remove_reference_t<decltype(value)>>(n);
            AppendSample(expected, value);
        },
        [&](const SettingsField& field, int) {
            const bool caseKind = field.storedAs == SettingsField::kAsCaseKindName;
            *std::get<int*>(field.target) = caseKind ? int(kCaseBluray) : int(kLayout2DiscBottom);
            expected.String(caseKind ? "ViewObjectBluray" : "Layout2DiscBottom");
        });
    g_settingsFolder = folder;
    REQUIRE(LoadSavePreferences(kSettingsStore) == 1);
    CHECK(kvtest::ReadFileBytes(FolderFile(folder, "preferences.ini").GetString()) == expected.bytes);

    SetDefaultSettings();
    g_settingsFolder = folder;
    REQUIRE(LoadSavePreferences(kSettingsLoad) == 1);
    ForEachElement(
        [](const SettingsField&, auto& value, int n) {
            CHECK(SameSample(value, TableSample<std::remove_reference_t<decltype(value)>>(n)));
        },
        [](const SettingsField& field, int) {
            const bool caseKind = field.storedAs == SettingsField::kAsCaseKindName;
            CHECK(*std::get<int*>(field.target) == (caseKind ? int(kCaseBluray) : int(kLayout2DiscBottom)));
        });
}

TEST_CASE("case kinds and template names") {
    g_caseKind = 5;
    CHECK(GetCaseKindName() == "ViewObjectDvd");
    g_caseKind = 10;
    CHECK(GetCaseKindName() == "ViewObjectBluray");
    g_caseKind = 7;
    CHECK(GetCaseKindName() == "ViewObjectJewel");

    struct Case {
        const char* name;
        int layoutBefore;
        int caseKind;
        int layout;
    };
    const Case cases[] = {
        {"ViewObjectJewel", 4, 4, 4}, {"ViewObjectDvd", 5, 5, 5},   {"ViewObjectBluray", 2, 10, 2},
        {"Default", 4, 5, 0},         {"Default2.", 0, 4, 3},       {"Default1.kvt", 4, 4, 0},
        {"Default2x", 0, 5, 3},       {"viewobjectjewel", 4, 4, 0}, {"", 5, 4, 0},
        {"Defaul", 5, 4, 0},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        g_caseKind = 0;
        g_discLayout = c.layoutBefore;
        ParseDefaultTemplateName(c.name);
        CHECK(g_caseKind == c.caseKind);
        CHECK(g_discLayout == c.layout);
    }
}

TEST_CASE("start-up loading and its fix-ups") {
    KvMessageBoxCapture boxes;
    SetDefaultSettings();
    const CString folder = g_settingsFolder;
    CreateDirectoryA(folder, nullptr);
    FileKeeper keepPreferences(FolderFile(folder, "preferences.ini"));
    FileKeeper keepSettings(FolderFile(folder, "settings.ini"));
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);

    SUBCASE("no source at all") {
        SetSample();
        LoadSettings();
        CheckDefaults();
        CHECK(g_firstRun == 1);
        CHECK(g_defaultTemplateNames[0] == "(CD/DVD Disc Label - Generic)");
        CHECK(g_defaultTemplateNames[1] == "(CD Jewel Case - Plain Paper)");
        CHECK(g_defaultTemplateNames[2] == "(CD Jewel Case - Plain Paper)");
        CHECK(g_defaultTemplateNames[3] == "(DVD Case - Plain Paper)");
        CHECK(g_defaultTemplateNames[4] == "(Blu-ray Case - Plain Paper)");
        CHECK(g_paperCodes[3] == DMPAPER_A4);
        CHECK(g_printableAreas[3][2] == 8268);
        CHECK(boxes.Boxes().empty());
    }
    SUBCASE("preferences.ini with values to fix") {
        SetSample();
        g_gridSize[0] = 10;
        g_gridSize[1] = 5000;
        g_defaultTemplateNames[3].Empty();
        g_defaultTemplateNames[4] = "No such template";
        g_browseFilter = 9;
        g_printCopies = 0x41414141;
        g_dialogPositions[0] = POINT{0, 0};
        g_dialogPositions[1] = POINT{work.right - 200, work.bottom - 200};
        g_dialogPositions[2] = POINT{work.right - 199, 10};
        g_dialogPositions[3] = POINT{50, -1};
        g_dialogPositions[4] = POINT{10, work.bottom - 199};
        g_dialogPositions[5] = POINT{-5, 10};
        g_labelStockDialogRect = RECT{100, 100, 60000000, 60000000};
        g_printOptions.frontMargin = 10000;
        g_printOptions.backMargin = -5;
        g_printOptions.discMargin = 100000000;
        g_settingsFolder = folder;
        REQUIRE(LoadSavePreferences(kSettingsStore) == 1);

        LoadSettings();
        CHECK(g_firstRun == 0);
        CHECK(g_settingsVersion == 507);
        CHECK(g_caseKind == 10);
        CHECK(g_discLayout == 4);
        CHECK(g_gridSize[0] == 30);
        CHECK(g_gridSize[1] == 1000);
        CHECK(g_defaultTemplateNames[3] == "(DVD Case - Plain Paper)");
        CHECK(g_defaultTemplateNames[4] == "No such template");
        CHECK(g_browseFilter == 0);
        CHECK(g_printCopies == 999);
        CHECK((g_dialogPositions[0].x == 0 && g_dialogPositions[0].y == 0));
        CHECK(g_dialogPositions[1].x == work.right - 200);
        for (int i = 2; i < 6; ++i) CHECK((g_dialogPositions[i].x == -1 && g_dialogPositions[i].y == -1));
        // The bleeds the choices offer, and a label stock dialog placed afresh.
        CHECK(g_printOptions.frontMargin == 150);
        CHECK(g_printOptions.backMargin == 0);
        CHECK(g_printOptions.discMargin == 150);
        CHECK((g_labelStockDialogRect.left == -1 && g_labelStockDialogRect.bottom == -1));
        CHECK(boxes.Boxes().empty());
    }
    SUBCASE("values at the limits stay") {
        g_gridSize[0] = 30;
        g_gridSize[1] = 1000;
        g_browseFilter = 7;
        g_printCopies = 0;
        g_printOptions.frontMargin = 150;
        g_labelStockDialogRect = RECT{0, 0, work.right, work.bottom};
        REQUIRE(LoadSavePreferences(kSettingsStore) == 1);
        LoadSettings();
        CHECK(g_printOptions.frontMargin == 150);
        CHECK(g_labelStockDialogRect.right == work.right);
        CHECK(g_gridSize[0] == 30);
        CHECK(g_gridSize[1] == 1000);
        CHECK(g_browseFilter == 7);
        CHECK(g_printCopies == 1);
    }
    SUBCASE("a main window that no screen would show is placed on the work area") {
        const LONG w = 700, h = 500;
        struct Stored {
            RECT rect;
            RECT expected;
        } cases[] = {
            // beyond the right edge: moved in, same size
            {{work.right + 5000, 100, work.right + 5000 + w, 100 + h},
             {work.right - w, 100, work.right, 100 + h}},
            // caption above the screen, though the rest shows
            {{50, work.top - 40, 50 + w, work.top - 40 + h}, {50, work.top, 50 + w, work.top + h}},
            // larger than the work area and far away: the work area itself
            {{-2000000000, -2000000000, 2000000000, 2000000000}, work},
            // partly off the left edge with the caption in reach: kept
            {{-300, 20, -300 + w, 20 + h}, {-300, 20, -300 + w, 20 + h}},
            // none stored: kept empty for the start-up's own size
            {{0, 0, 0, 0}, {0, 0, 0, 0}},
        };
        for (const Stored& c : cases) {
            CAPTURE(c.rect.left);
            CAPTURE(c.rect.top);
            g_mainWindowPlacement.rcNormalPosition = c.rect;
            REQUIRE(LoadSavePreferences(kSettingsStore) == 1);
            LoadSettings();
            const RECT& r = g_mainWindowPlacement.rcNormalPosition;
            CHECK(r.left == c.expected.left);
            CHECK(r.top == c.expected.top);
            CHECK(r.right == c.expected.right);
            CHECK(r.bottom == c.expected.bottom);
        }
    }
}
