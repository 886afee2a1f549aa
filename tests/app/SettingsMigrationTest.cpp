// The older settings sources: the four layouts of settings.ini and the oldest release's registry
// values, on their own and through the start-up order.
#include <doctest.h>

#include "app/Settings.h"
#include "SettingsBytes.h"

namespace {

// settings.ini of one layout, field by field; every layout is a prefix of the 446 one.
SettingsBytes IniBytes(int layout, const char* caseKindName = "ViewObjectDvd", unsigned layoutCode = 2) {
    SettingsBytes b;
    b.String("F:").String("Millimeters").String(caseKindName).String("C:\\cdplayer.ini").String("server`");
    b.String("C:\\Pictures");
    b.Byte(0).Byte(3);                          // browse subfolders, filter
    b.Byte(1).Byte(1).Byte(0).Byte(0);          // print front, back, disc 1, disc 2
    b.Byte(9);                                  // not used
    b.Byte(1).Byte(1).Byte(1);                  // guides, snap, grid
    b.Byte(0).Byte(0).Byte(1).Byte(1).Byte(0);  // freedb, CD-TEXT, CDPlayer.ini, MP3, MP3 tags
    b.Byte(0);                                  // help image
    b.Byte(9);                                  // not used
    b.Byte(0).Byte(0);                          // help track, disc printer
    b.Byte(0).Byte(0).Byte(1).Byte(0).Byte(0);  // borders and folds
    b.Point(101, 102).Point(201, 202);
    for (int i = 0; i < 8; ++i) b.Dword(0x000000A0 + i);
    b.String("C:\\save.kvl").String("C:\\open.kvl").String("C:\\image.png");
    b.Dword(0x11111111).Dword(0x22222222).String("not used");
    b.Point(401, 402);
    for (int i = 0; i < 5; ++i) b.Dword((unsigned long)(10 + i));
    b.String("C:\\export.png").String("not used");
    b.Dword(0).Dword(1).Point(-1, -1).Point(-2, -2).Rect(5, 6, 700, 500);  // field 59
    if (layout == 423) return b;
    b.Point(301, 302);  // Read CD position (meaningless in 424)
    b.Point(200, 400);  // grid
    b.Byte(layoutCode);
    b.Dword(150).Dword(50).Dword(0);  // margins back, front, disc
    if (layout == 424) return b;
    b.Byte(1).Byte(9).Dword(3).Point(601, 602);  // disc print settings, not used, copies, image browser
    if (layout == 441) return b;
    b.String("A4");
    return b;
}

void CheckCommonFields() {
    CHECK(g_lastDrive == "F:");
    CHECK(g_units == "Millimeters");
    CHECK(g_cdPlayerPath == "C:\\cdplayer.ini");
    CHECK(g_freedbServer == "server`");
    CHECK(g_browseDefaultPath == "C:\\Pictures");
    CHECK(g_browseSubfolders == 0);
    CHECK(g_browseFilter == 3);
    CHECK((g_printOptions.printFront == 1 && g_printOptions.printBack == 1));
    CHECK((g_printOptions.printDisc1 == 0 && g_printOptions.printDisc2 == 0));
    CHECK((g_showGuides == 1 && g_snapToGrid == 1 && g_showGrid == 1));
    CHECK(
        (g_useFreedb == 0 && g_useCdText == 0 && g_useCdPlayerIni == 1 && g_useMp3 == 1 && g_useMp3Tag == 0));
    CHECK((g_helpImage == 0 && g_helpTrack == 0 && g_helpCdPrinter == 0));
    CHECK(
        (g_printOptions.frontBorder == 0 && g_printOptions.discBorder == 1 && g_printOptions.backFold == 0));
    CHECK(g_dialogPositions[kColorDialogPos].x == 101);
    CHECK(g_dialogPositions[kPrintDialogPos].y == 202);
    CHECK(g_customColors[7] == 0xA7);
    CHECK(g_lastSavePath == "C:\\save.kvl");
    CHECK(g_lastOpenPath == "C:\\open.kvl");
    CHECK(g_lastImagePath == "C:\\image.png");
    CHECK(g_dialogPositions[kSaveAsImagePos].x == 401);
    CHECK(g_exportImageOptions[4] == 14);
    CHECK(g_lastExportPath == "C:\\export.png");
    CHECK(g_mainWindowPlacement.showCmd == 1);
    CHECK(g_mainWindowPlacement.rcNormalPosition.right == 700);
}

CString UseTestFolder(const char* name) {
    SetDefaultSettings();
    CString folder(kvtest::TempDir(name).c_str());
    g_settingsFolder = folder;
    return folder;
}

// Values under the oldest release's key, removed again when the test ends (and the key too when
// the test made it).
class LegacyKey {
public:
    LegacyKey() {
        DWORD disposition = 0;
        LONG r = RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Korvanelle", 0, nullptr, 0, KEY_ALL_ACCESS,
                                 nullptr, &m_key, &disposition);
        if (r != ERROR_SUCCESS) m_key = nullptr;
        m_created = disposition == REG_CREATED_NEW_KEY;
    }
    ~LegacyKey() {
        if (!m_key) return;
        for (const std::string& name : m_names) RegDeleteValueA(m_key, name.c_str());
        RegCloseKey(m_key);
        if (m_created) RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Korvanelle");
    }
    LegacyKey(const LegacyKey&) = delete;
    LegacyKey& operator=(const LegacyKey&) = delete;

    bool IsOpen() const { return m_key != nullptr; }
    void Number(const char* name, DWORD value) {
        m_names.push_back(name);
        RegSetValueExA(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    }
    void Text(const char* name, const std::string& value) {
        m_names.push_back(name);
        RegSetValueExA(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       (DWORD)value.size() + 1);
    }

private:
    HKEY m_key = nullptr;
    bool m_created = false;
    std::vector<std::string> m_names;
};

}  // namespace

TEST_CASE("settings.ini: the four layouts") {
    CString folder = UseTestFolder("ini-layouts");
    CString path = FolderFile(folder, "settings.ini");
    KvMessageBoxCapture boxes;

    SUBCASE("446") {
        REQUIRE(IniBytes(446).WriteTo(path));
        CHECK(ReadSettingsIni(kSettingsLoad) == 1);
        CHECK(g_settingsVersion == 446);
        CheckCommonFields();
        CHECK(g_caseKind == 5);
        CHECK(g_discLayout == 1);  // layout code 2
        CHECK(g_dialogPositions[kReadCdDialogPos].x == 301);
        CHECK((g_gridSize[0] == 200 && g_gridSize[1] == 400));
        CHECK(g_printOptions.backMargin == 150);
        CHECK(g_printOptions.frontMargin == 50);
        CHECK(g_printOptions.discMargin == 0);
        CHECK(g_showDiscPrintSettings == 1);
        CHECK(g_printCopies == 3);
        CHECK(g_dialogPositions[kImageBrowserPos].y == 602);
        CHECK(g_paperSize == "A4");
    }
    SUBCASE("441: the paper size keeps its default") {
        REQUIRE(IniBytes(441, "ViewObjectBluray", 3).WriteTo(path));
        CHECK(ReadSettingsIni(kSettingsLoad) == 1);
        CHECK(g_settingsVersion == 441);
        CheckCommonFields();
        CHECK(g_caseKind == 10);
        CHECK(g_discLayout == 2);
        CHECK(g_printCopies == 3);
        CHECK(g_paperSize == "Letter");
    }
    SUBCASE("424: the failed attempts leave the Read CD position") {
        REQUIRE(IniBytes(424, "ViewObjectJewel", 7).WriteTo(path));
        CHECK(ReadSettingsIni(kSettingsLoad) == 1);
        CHECK(g_settingsVersion == 424);
        CheckCommonFields();
        CHECK(g_caseKind == 4);
        CHECK(g_discLayout == 0);  // an unknown code
        CHECK(g_dialogPositions[kReadCdDialogPos].x == 301);
        CHECK((g_gridSize[0] == 200 && g_gridSize[1] == 400));
        CHECK(g_printOptions.backMargin == 150);
        CHECK(g_showDiscPrintSettings == 0);
        CHECK(g_printCopies == 1);
        CHECK(g_dialogPositions[kImageBrowserPos].x == -1);
    }
    SUBCASE("423") {
        REQUIRE(IniBytes(423, "ViewObjectDvd").WriteTo(path));
        CHECK(ReadSettingsIni(kSettingsLoad) == 1);
        CHECK(g_settingsVersion == 423);
        CheckCommonFields();
        CHECK(g_caseKind == 5);
        CHECK(g_discLayout == 0);
        CHECK((g_gridSize[0] == 100 && g_gridSize[1] == 100));
        CHECK(g_printOptions.frontMargin == 0);
        CHECK(g_printOptions.backMargin == 0);
        CHECK(g_printOptions.discMargin == 100);
    }
    SUBCASE("423 with an older default-template name") {
        REQUIRE(IniBytes(423, "Default2.kvt").WriteTo(path));
        CHECK(ReadSettingsIni(kSettingsLoad) == 1);
        CHECK(g_caseKind == 4);
        CHECK(g_discLayout == 3);
    }
    SUBCASE("a file of 10 bytes reads as none of them") {
        SettingsBytes b = IniBytes(446);
        REQUIRE(b.Cut(10).WriteTo(path));
        CHECK(ReadSettingsIni(kSettingsLoad) == 0);
        REQUIRE(boxes.Boxes().size() == 1);
        CHECK(boxes.LastText() == "Error 1859");
        CHECK(g_settingsVersion == 0);
    }
    SUBCASE("a string length beyond the file") {
        SettingsBytes b;
        b.Byte(0xFF).Word(0xFFFF).Dword(0xFFFFFFFF).String("x");
        REQUIRE(b.WriteTo(path));
        CHECK(ReadSettingsIni(kSettingsLoad) == 0);
        CHECK(boxes.LastText() == "Error 1859");
    }
    SUBCASE("no file: silently none") {
        CHECK(ReadSettingsIni(kSettingsLoad) == 0);
        CHECK(boxes.Boxes().empty());
    }
    if (!boxes.Boxes().empty()) CHECK(boxes.Boxes().size() == 1);
}

TEST_CASE("registry values of the oldest release") {
    LegacyKey key;
    REQUIRE(key.IsOpen());
    UseTestFolder("registry");
    KvMessageBoxCapture boxes;

    SUBCASE("without PrintFront nothing is read") {
        key.Number("PrintBack", 1);
        CHECK(ReadLegacyRegistrySettings() == 0);
        CHECK(g_printOptions.printBack == 0);
        CHECK(g_settingsVersion == 0);
    }
    SUBCASE("numbers, texts and switches") {
        key.Number("PrintFront", 5);
        key.Number("PrintBack", 0);
        key.Number("PrintDisc1", 0);
        key.Text("lastDrive", "G:");
        key.Text("Units", "Millimeters");
        key.Number("Guides", 2);
        key.Number("SnapToGrid", 1);
        key.Text("GridSize", "250,400");
        key.Number("bFreedb", 2);
        key.Number("bCDText", 1);
        key.Number("bMp3", 0);
        key.Text("CDPlayerPath", "C:\\Windows\\cdplayer.ini");
        key.Text("FreedbOptions", std::string(300, 'z'));  // too long to read
        key.Number("BrowseSubfolder", 3);
        key.Number("BrowseFilter", 0x0102);
        key.Number("bHelpImage", 1);
        key.Text("bHelpTrack", "yes");
        key.Text("ColorDialog", "00120 0080");
        key.Text("PrintDialog", "  -15");
        key.Text("defTemplate", "Default2.");
        g_freedbServer = "kept";
        CHECK(ReadLegacyRegistrySettings() == 1);
        CHECK(g_settingsVersion == 1);
        CHECK(g_printOptions.printFront == 1);
        CHECK(g_printOptions.printBack == 0);
        CHECK(g_printOptions.printDisc1 == 0);
        CHECK(g_printOptions.printDisc2 == 1);  // not there: default
        CHECK(g_lastDrive == "G:");
        CHECK(g_units == "Millimeters");
        CHECK(g_showGuides == 1);
        CHECK(g_snapToGrid == 1);
        CHECK(g_showGrid == 0);
        CHECK((g_gridSize[0] == 250 && g_gridSize[1] == 400));
        CHECK(g_discLayout == 3);  // from defTemplate: no Template value
        CHECK(g_caseKind == 4);
        CHECK(g_useFreedb == 0);
        CHECK(g_useCdText == 1);
        CHECK(g_useMp3 == 0);
        CHECK(g_useMp3Tag == 1);
        CHECK(g_cdPlayerPath == "C:\\Windows\\cdplayer.ini");
        CHECK(g_freedbServer == "kept");
        CHECK(g_browseSubfolders == 0);
        CHECK(g_browseFilter == 2);
        CHECK(g_helpImage == 0);
        CHECK(g_helpTrack == 0);
        CHECK(g_helpCdPrinter == 1);
        CHECK((g_dialogPositions[kColorDialogPos].x == 120 && g_dialogPositions[kColorDialogPos].y == 80));
        CHECK((g_dialogPositions[kPrintDialogPos].x == -15 && g_dialogPositions[kPrintDialogPos].y == 0));
        CHECK(boxes.Boxes().empty());
    }
    SUBCASE("Template and the print options text") {
        key.Number("PrintFront", 0);
        key.Number("Template", 2);
        key.Text("defTemplate", "ViewObjectDvd");
        key.Text("PrintOptions", "101013000050100");
        CHECK(ReadLegacyRegistrySettings() == 1);
        CHECK(g_caseKind == 4);  // defTemplate not read
        const BYTE flags[5] = {g_printOptions.frontBorder, g_printOptions.backBorder,
                               g_printOptions.discBorder, g_printOptions.frontFold, g_printOptions.backFold};
        const BYTE expected[5] = {1, 0, 1, 0, 1};
        for (int i = 0; i < 5; ++i) CHECK(flags[i] == expected[i]);
        CHECK(g_discLayout == 2);
        CHECK(g_printOptions.frontMargin == 0);
        CHECK(g_printOptions.backMargin == 50);
        CHECK(g_printOptions.discMargin == 100);
    }
    SUBCASE("a short print options text and negative margins") {
        key.Number("PrintFront", 1);
        key.Number("Template", 2);
        SUBCASE("five flags only") {
            key.Text("PrintOptions", "11111");
            CHECK(ReadLegacyRegistrySettings() == 1);
            CHECK((g_printOptions.frontBorder && g_printOptions.backBorder && g_printOptions.discBorder &&
                   g_printOptions.frontFold && g_printOptions.backFold));
            CHECK(g_discLayout == 0);
            CHECK(g_printOptions.frontMargin == 0);
            CHECK(g_printOptions.backMargin == 0);
            CHECK(g_printOptions.discMargin == 0);
        }
        SUBCASE("negative margins") {
            key.Text("PrintOptions", "000007-50-50-50");
            CHECK(ReadLegacyRegistrySettings() == 1);
            CHECK(g_discLayout == 0);
            CHECK(g_printOptions.frontMargin == 0);
            CHECK(g_printOptions.backMargin == 0);
            CHECK(g_printOptions.discMargin == 100);
        }
    }
}

TEST_CASE("start-up falls back to settings.ini, then to the registry") {
    KvMessageBoxCapture boxes;
    SetDefaultSettings();
    const CString folder = g_settingsFolder;
    CreateDirectoryA(folder, nullptr);
    FileKeeper keepPreferences(FolderFile(folder, "preferences.ini"));
    FileKeeper keepSettings(FolderFile(folder, "settings.ini"));
    LegacyKey key;
    REQUIRE(key.IsOpen());

    SUBCASE("a later release's preferences.ini, then settings.ini") {
        SettingsBytes later;
        later.Dword(508).String("E:");
        REQUIRE(later.WriteTo(FolderFile(folder, "preferences.ini")));
        REQUIRE(IniBytes(441).WriteTo(FolderFile(folder, "settings.ini")));
        LoadSettings();
        CHECK(g_firstRun == 0);
        CHECK(g_settingsVersion == 441);
        CHECK(g_paperSize == "Letter");
        CHECK(boxes.Boxes().empty());
    }
    SUBCASE("a damaged settings.ini, then the registry") {
        SettingsBytes b = IniBytes(446);
        REQUIRE(b.Cut(10).WriteTo(FolderFile(folder, "settings.ini")));
        key.Number("PrintFront", 1);
        key.Text("GridSize", "250");
        LoadSettings();
        CHECK(boxes.LastText() == "Error 1859");
        CHECK(g_firstRun == 0);
        CHECK(g_settingsVersion == 1);
        CHECK((g_gridSize[0] == 30 && g_gridSize[1] == 250));
    }
    SUBCASE("nothing anywhere") {
        LoadSettings();
        CHECK(g_firstRun == 1);
        CHECK(g_settingsVersion == 0);
        CHECK(boxes.Boxes().empty());
    }
}

TEST_CASE("preferences.ini as earlier builds wrote it") {
    // Version 507 as it has been written so far, frozen: never change these bytes to follow the
    // settings table. When they no longer read whole, a field was added without a file version
    // of its own, and every user's settings would be reset at the first start of the new build.
    SettingsBytes b;
    b.Dword(507).String("E:").String("Millimeters").String("ViewObjectDvd");
    b.String("").String("").String("D:\\B");
    for (int i = 0; i < 22; ++i) b.Byte(i % 2);  // fields 8 to 29
    b.Point(11, 12).Point(21, 22);
    for (int i = 0; i < 8; ++i) b.Dword(0x00102030);
    b.String("C:\\a.kvl").String("C:\\b.kvl").String("C:\\c.png").Point(41, 42);
    for (int i = 0; i < 5; ++i) b.Dword(1);
    b.String("C:\\d.jpg").Dword(2).Dword(1).Point(-1, -2).Point(-3, -4).Rect(10, 20, 810, 620);
    b.Point(31, 32).Point(125, 250).Dword(150).Dword(50).Dword(0).Byte(1).Dword(7).Point(61, 62).String("A4");
    for (int i = 0; i < 5; ++i) b.String("T");
    b.String("Layout2DiscBottom").Byte(0).Point(71, 72).Rect(100, 110, 500, 610);
    const CString folder = UseTestFolder("settings-earlier-build");
    REQUIRE(b.WriteTo(FolderFile(folder, "preferences.ini")));
    REQUIRE(LoadSavePreferences(kSettingsLoad) == 1);
    CHECK(g_units == "Millimeters");
    CHECK(g_discLayout == 4);
    CHECK(g_labelStockDialogRect.bottom == 610);
}
