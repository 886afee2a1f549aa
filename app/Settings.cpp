// The settings globals, their defaults, preferences.ini and the start-up loading order.
#include "app/Settings.h"

#include "app/ScreenFit.h"
#include "controls/UxThemeLibrary.h"
#include "model/BuiltInTemplates.h"
#include "model/KorvanelleDocument.h"
#include "model/LabelTemplate.h"

BYTE g_themeActive = 0;
BYTE g_firstRun = 0;
BYTE g_preferencesFromLaterRelease = 0;
CString g_lastSavePath;
CString g_lastOpenPath;

// Written once per file; never through the archive's object records, so the schema is only the
// class's registration.
IMPLEMENT_SERIAL(CSettings, CObject, VERSIONABLE_SCHEMA | kSettingsVersion)

namespace {

// Default template entries left empty get the first built-in template of their case kind.
const int kDefaultTemplateKinds[5] = {kCaseDisc, kCaseJewel, kCaseJewel, kCaseDvd, kCaseBluray};

// One value in the archive's direction.
template <class T>
void Field(CArchive& ar, T& value) {
    if (ar.IsStoring())
        ar << value;
    else
        ar >> value;
}

CString ProgramFilePath() {
    char path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return CString();
    return CString(path);
}

}  // namespace

// The margins are stored back, front, disc: the order of the first release that stored them.
//
// Do not simply append a row. Every field is read unconditionally, so a preferences.ini written
// before the new row existed ends one field early: the load fails as for a damaged file, and
// every setting of the user goes back to its default. A new setting needs a new file version
// (kSettingsVersion) and a load that reads it only from files of that version on; the test
// "preferences.ini as earlier builds wrote it" (tests/app/SettingsMigrationTest.cpp) holds the
// bytes of the current version and fails when they stop reading whole.
const SettingsField kSettingsFields[] = {
    {"last CD drive", g_lastDrive, ""},
    {"units", g_units, "Inches"},
    {"case kind of new designs", g_caseKind, kCaseJewel, SettingsField::kAsCaseKindName},
    {"CDPlayer.ini path", g_cdPlayerPath, ""},
    {"disc database server", g_freedbServer, ""},
    {"image browser folder", g_browseDefaultPath, ""},  // SetDefaultSettings names the real one
    {"image browser takes subfolders", g_browseSubfolders, 1},
    {"image browser filter", g_browseFilter, 0},
    {"print front cover", g_printOptions.printFront, 0},
    {"print back cover", g_printOptions.printBack, 0},
    {"print disc 1", g_printOptions.printDisc1, 1},
    {"print disc 2", g_printOptions.printDisc2, 1},
    {"show guides", g_showGuides, 0},
    {"snap to grid", g_snapToGrid, 0},
    {"show grid", g_showGrid, 0},
    {"look up the disc database", g_useFreedb, 1},
    {"read CD-TEXT", g_useCdText, 1},
    {"read CDPlayer.ini", g_useCdPlayerIni, 1},
    {"scan MP3 files", g_useMp3, 1},
    {"read MP3 tags", g_useMp3Tag, 1},
    {"image hint", g_helpImage, 1},
    {"track list hint", g_helpTrack, 1},
    {"disc printer notice", g_helpCdPrinter, 1},
    {"front cover border", g_printOptions.frontBorder, 1},
    {"back cover border", g_printOptions.backBorder, 1},
    {"disc border", g_printOptions.discBorder, 0},
    {"front cover fold line", g_printOptions.frontFold, 1},
    {"back cover fold lines", g_printOptions.backFold, 1},
    {"colour picker position", g_dialogPositions[kColorDialogPos], POINT{-1, -1}},
    {"print dialog position", g_dialogPositions[kPrintDialogPos], POINT{-1, -1}},
    {"custom colours", g_customColors, RGB(255, 255, 255)},
    {"last save path", g_lastSavePath, ""},
    {"last open path", g_lastOpenPath, ""},
    {"last image path", g_lastImagePath, ""},
    {"Save As Image position", g_dialogPositions[kSaveAsImagePos], POINT{-1, -1}},
    {"export background overlap", g_exportImageOptions.overlap, 2},
    {"export border", g_exportImageOptions.border, 2},
    {"export resolution", g_exportImageOptions.resolutionChoice, 1},
    {"export file type", g_exportImageOptions.fileType, 0},
    {"image to save", g_exportImageOptions.image, 0},
    {"last export path", g_lastExportPath, ""},
    {"main window flags", g_mainWindowPlacement.flags, 0},
    {"main window show command", g_mainWindowPlacement.showCmd, SW_SHOWMAXIMIZED},
    {"main window minimised position", g_mainWindowPlacement.ptMinPosition, POINT{0, 0}},
    {"main window maximised position", g_mainWindowPlacement.ptMaxPosition, POINT{0, 0}},
    {"main window normal rectangle", g_mainWindowPlacement.rcNormalPosition, RECT{0, 0, 0, 0}},
    {"Read CD position", g_dialogPositions[kReadCdDialogPos], POINT{-1, -1}},
    {"grid size", g_gridSize, 100},  // x and y, one POINT's bytes
    {"back cover margin", g_printOptions.backMargin, 0},
    {"front cover margin", g_printOptions.frontMargin, 0},
    {"disc margin", g_printOptions.discMargin, 100},
    {"disc printing settings shown", g_showDiscPrintSettings, 0},
    {"print copies", g_printCopies, 1},
    {"image browser position", g_dialogPositions[kImageBrowserPos], POINT{-1, -1}},
    {"paper size", g_paperSize, "Letter"},
    {"default templates", g_defaultTemplateNames, ""},
    {"disc layout of new designs", g_discLayout, kLayout1DiscTop, SettingsField::kAsLayoutName},
    {"New Project at start", g_showNewProjectAtStart, 1},
    {"LightScribe print position", g_dialogPositions[kLightScribePos], POINT{-1, -1}},
    {"label stock dialog rectangle", g_labelStockDialogRect, RECT{-1, -1, -1, -1}},
};
const size_t kSettingsFieldCount = sizeof(kSettingsFields) / sizeof(kSettingsFields[0]);

void SettingsField::SetDefault() const {
    std::visit(
        [this](auto* element) {
            using T = std::remove_pointer_t<decltype(element)>;
            for (int i = 0; i < count; ++i) {
                if constexpr (std::is_same_v<T, CString>)
                    element[i] = std::get<const char*>(initial);
                else
                    element[i] = std::get<T>(initial);
            }
        },
        target);
}

void CSettings::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << (DWORD)kSettingsVersion;
    } else {
        DWORD version = 0;
        ar >> version;
        g_settingsVersion = (int)version;
        // A file of a later release: its fields may mean something else. (Compared unsigned so
        // that a damaged, "negative" version is refused too.)
        if (version > (DWORD)kSettingsVersion) {
            // A damaged file may be replaced; a later release's file is that release's to write.
            if (version <= 0x7FFFFFFFu) g_preferencesFromLaterRelease = 1;
            AfxThrowArchiveException(CArchiveException::badSchema);
        }
    }

    // The names are taken in when the whole file has been read.
    CString caseKindName = ar.IsStoring() ? GetCaseKindName() : CString();
    CString layoutName = ar.IsStoring() ? LabelTemplate::LayoutName(g_discLayout) : CString();
    for (const SettingsField& field : kSettingsFields) {
        if (field.storedAs == SettingsField::kAsCaseKindName) {
            Field(ar, caseKindName);
        } else if (field.storedAs == SettingsField::kAsLayoutName) {
            Field(ar, layoutName);
        } else {
            std::visit(
                [&](auto* element) {
                    for (int i = 0; i < field.count; ++i) Field(ar, element[i]);
                },
                field.target);
        }
    }

    if (ar.IsLoading()) {
        g_mainWindowPlacement.length = sizeof(WINDOWPLACEMENT);
        g_discLayout = LabelTemplate::LayoutFromName(layoutName, -1);
        ParseDefaultTemplateName(caseKindName);
    }
}

CString GetCaseKindName() {
    switch (g_caseKind) {
        case kCaseDvd:
            return "ViewObjectDvd";
        case kCaseBluray:
            return "ViewObjectBluray";
        default:
            return "ViewObjectJewel";
    }
}

void ParseDefaultTemplateName(const CString& name) {
    GuardOperation(2235, [&] {
        if (name == "ViewObjectJewel") {
            g_caseKind = kCaseJewel;
        } else if (name == "ViewObjectDvd") {
            g_caseKind = kCaseDvd;
        } else if (name == "ViewObjectBluray") {
            g_caseKind = kCaseBluray;
        } else if (name.GetLength() >= 7 && name.Left(7) == "Default") {
            // Older names: "Default2..." held two discs, "Default?." a jewel case.
            g_discLayout = (name.GetLength() > 7 && name[7] == '2') ? kLayout2DiscTop : kLayout1DiscTop;
            g_caseKind = (name.GetLength() > 8 && name[8] == '.') ? kCaseJewel : kCaseDvd;
        } else {
            g_discLayout = kLayout1DiscTop;
            g_caseKind = kCaseJewel;
        }
    });
}

void SetDefaultSettings() {
    GuardOperation(2234, [&] {
        for (const SettingsField& field : kSettingsFields) field.SetDefault();
        // The settings that are not stored.
        g_themeActive = g_uxTheme.IsAppThemed() ? 1 : 0;
        g_firstRun = 1;
        g_settingsVersion = 0;
        g_mainWindowPlacement.length = sizeof(WINDOWPLACEMENT);
        g_browseFolder.Empty();
        for (int i = 0; i < 6; ++i) {
            g_printableAreas[i][0] = 0;
            g_printableAreas[i][1] = 0;
            g_printableAreas[i][2] = g_paperDims[i][0];
            g_printableAreas[i][3] = g_paperDims[i][1];
        }
        DetectWindowsVersion();
        // The help file sits beside the program file, so the program file's own path gives the
        // same folder.
        g_browseDefaultPath = InitFolders(ProgramFilePath());
    });
}

BYTE LoadSavePreferences(UINT openMode) {
    BYTE result = 0;
    GuardOperation(1105, [&] {
        const bool storing = openMode != kSettingsLoad;
        if (storing && g_preferencesFromLaterRelease) return;
        if (!storing) g_preferencesFromLaterRelease = 0;
        const CString path = g_settingsFolder + "\\preferences.ini";
        auto serialize = [](CArchive& ar) {
            CSettings settings;
            settings.Serialize(ar);
        };
        bool ok = false;
        if (storing) {
            // A save replaces the old settings only when it is complete, so that a failed write
            // (a full disc, say) does not cost the user the settings of the previous run.
            bool opened = false;
            ok = WriteFileWhole(path, [&](CFile& file) {
                opened = true;
                return SerializeOrAbort(&file, CArchive::store, serialize);
            });
            if (!opened) return;
        } else {
            CFile file;
            if (!file.Open(path, openMode)) return;
            ok = SerializeOrAbort(&file, CArchive::load, serialize);
        }
        if (ok) {
            result = 1;
        } else {
            SetDefaultSettings();
        }
    });
    return result;
}

void LoadSettings() {
    GuardOperation(1140, [&] {
        SetDefaultSettings();
        if (LoadSavePreferences(kSettingsLoad) || ReadSettingsIni(kSettingsLoad) ||
            ReadLegacyRegistrySettings())
            g_firstRun = 0;
        FixUpLoadedSettings();
    });
}

void FixUpLoadedSettings() {
    GuardOperation(1147, [&] {
        for (int i = 0; i < 5; ++i)
            if (g_defaultTemplateNames[i].IsEmpty())
                g_defaultTemplateNames[i] = FirstBuiltInTemplate(kDefaultTemplateKinds[i]).name;

        // A dialog remembered off the (possibly smaller) screen of today is placed afresh.
        RECT work = {};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        for (POINT& p : g_dialogPositions) {
            if (p.x < 0 || p.x > work.right - 200 || p.y < 0 || p.y > work.bottom - 200) p = POINT{-1, -1};
        }
        // So is the main window, when no screen shows it any more.
        FitPlacementToScreens(g_mainWindowPlacement);

        for (int& step : g_gridSize) {
            if (step > 1000) step = 1000;
            if (step < 30) step = 30;
        }

        // The browse filter indexes the image file filters; a damaged value must not reach
        // past them.
        if (g_browseFilter >= kImageFilterCount) g_browseFilter = 0;
        // A damaged count must not start thousands of copies.
        if (g_printCopies < 1) g_printCopies = 1;
        if (g_printCopies > kMaxPrintCopies) g_printCopies = kMaxPrintCopies;
        // The bleeds are what the choices offer: a damaged one grows every side it prints or
        // exports, and with it every picture of that side, past what memory holds.
        for (int* bleed :
             {&g_printOptions.frontMargin, &g_printOptions.backMargin, &g_printOptions.discMargin})
            *bleed = *bleed < 0 ? 0 : *bleed > kMaxBleed ? kMaxBleed : *bleed;
        // The label stock dialog's rectangle sizes its previews: one larger than all the screens
        // together, inside out or on none of them is forgotten, and the dialog placed afresh.
        RECT& stock = g_labelStockDialogRect;
        const long long stockW = static_cast<long long>(stock.right) - stock.left,
                        stockH = static_cast<long long>(stock.bottom) - stock.top;
        const bool unplaced = stock.left < 0 || stock.top < 0;
        if (!unplaced && (stockW < 0 || stockH < 0 || stockW > ::GetSystemMetrics(SM_CXVIRTUALSCREEN) ||
                          stockH > ::GetSystemMetrics(SM_CYVIRTUALSCREEN) ||
                          !::MonitorFromRect(&stock, MONITOR_DEFAULTTONULL)))
            stock = RECT{-1, -1, -1, -1};

        InitPaperTable();
    });
}
