// The settings globals, their defaults, preferences.ini and the start-up loading order.
#include "app/Settings.h"

#include "app/ScreenFit.h"
#include "controls/UxThemeLibrary.h"
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

const char* const kBuiltInTemplateNames[5] = {
    "(CD/DVD Disc Label - Generic)", "(CD Jewel Case - Plain Paper)", "(CD Jewel Case - Plain Paper)",
    "(DVD Case - Plain Paper)",      "(Blu-ray Case - Plain Paper)",
};

// One field in the archive's direction.
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

void CSettings::Serialize(CArchive& ar) {
    CString caseKindName;
    CString layoutName;
    if (ar.IsStoring()) {
        layoutName = LabelTemplate::LayoutName(g_discLayout);
        caseKindName = GetCaseKindName();
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

    Field(ar, g_lastDrive);
    Field(ar, g_units);
    Field(ar, caseKindName);
    Field(ar, g_cdPlayerPath);
    Field(ar, g_freedbServer);
    Field(ar, g_browseDefaultPath);
    Field(ar, g_browseSubfolders);
    Field(ar, g_browseFilter);
    Field(ar, g_printOptions.printFront);
    Field(ar, g_printOptions.printBack);
    Field(ar, g_printOptions.printDisc1);
    Field(ar, g_printOptions.printDisc2);
    Field(ar, g_showGuides);
    Field(ar, g_snapToGrid);
    Field(ar, g_showGrid);
    Field(ar, g_useFreedb);
    Field(ar, g_useCdText);
    Field(ar, g_useCdPlayerIni);
    Field(ar, g_useMp3);
    Field(ar, g_useMp3Tag);
    Field(ar, g_helpImage);
    Field(ar, g_helpTrack);
    Field(ar, g_helpCdPrinter);
    Field(ar, g_printOptions.frontBorder);
    Field(ar, g_printOptions.backBorder);
    Field(ar, g_printOptions.discBorder);
    Field(ar, g_printOptions.frontFold);
    Field(ar, g_printOptions.backFold);
    Field(ar, g_dialogPositions[kColorDialogPos]);
    Field(ar, g_dialogPositions[kPrintDialogPos]);
    for (COLORREF& c : g_customColors) Field(ar, c);
    Field(ar, g_lastSavePath);
    Field(ar, g_lastOpenPath);
    Field(ar, g_lastImagePath);
    Field(ar, g_dialogPositions[kSaveAsImagePos]);
    for (int& option : g_exportImageOptions) Field(ar, option);
    Field(ar, g_lastExportPath);
    Field(ar, g_mainWindowPlacement.flags);
    Field(ar, g_mainWindowPlacement.showCmd);
    Field(ar, g_mainWindowPlacement.ptMinPosition);
    Field(ar, g_mainWindowPlacement.ptMaxPosition);
    Field(ar, g_mainWindowPlacement.rcNormalPosition);
    Field(ar, g_dialogPositions[kReadCdDialogPos]);
    POINT grid = {g_gridSize[0], g_gridSize[1]};
    Field(ar, grid);
    g_gridSize[0] = grid.x;
    g_gridSize[1] = grid.y;
    // Back, front, disc: the order of the first release that stored them.
    Field(ar, g_printOptions.backMargin);
    Field(ar, g_printOptions.frontMargin);
    Field(ar, g_printOptions.discMargin);
    Field(ar, g_showDiscPrintSettings);
    Field(ar, g_printCopies);
    Field(ar, g_dialogPositions[kImageBrowserPos]);
    Field(ar, g_paperSize);
    for (CString& name : g_defaultTemplateNames) Field(ar, name);
    Field(ar, layoutName);
    Field(ar, g_showNewProjectAtStart);
    Field(ar, g_dialogPositions[kLightScribePos]);
    Field(ar, g_labelStockDialogRect);

    if (ar.IsLoading()) {
        g_mainWindowPlacement.length = sizeof(WINDOWPLACEMENT);
        g_discLayout = LabelTemplate::LayoutFromName(layoutName, -1);
        ParseDefaultTemplateName(caseKindName);
    }
}

CString GetCaseKindName() {
    switch (g_caseKind) {
        case 5:
            return "ViewObjectDvd";
        case 10:
            return "ViewObjectBluray";
        default:
            return "ViewObjectJewel";
    }
}

void ParseDefaultTemplateName(const CString& name) {
    GuardOperation(2235, [&] {
        if (name == "ViewObjectJewel") {
            g_caseKind = 4;
        } else if (name == "ViewObjectDvd") {
            g_caseKind = 5;
        } else if (name == "ViewObjectBluray") {
            g_caseKind = 10;
        } else if (name.GetLength() >= 7 && name.Left(7) == "Default") {
            // Older names: "Default2..." held two discs, "Default?." a jewel case.
            g_discLayout = (name.GetLength() > 7 && name[7] == '2') ? kLayout2DiscTop : kLayout1DiscTop;
            g_caseKind = (name.GetLength() > 8 && name[8] == '.') ? 4 : 5;
        } else {
            g_discLayout = kLayout1DiscTop;
            g_caseKind = 4;
        }
    });
}

void SetDefaultSettings() {
    GuardOperation(2234, [&] {
        g_showNewProjectAtStart = 1;
        g_themeActive = g_uxTheme.IsAppThemed() ? 1 : 0;
        g_firstRun = 1;
        g_caseKind = 4;
        g_discLayout = kLayout1DiscTop;
        g_settingsVersion = 0;
        g_mainWindowPlacement = WINDOWPLACEMENT{};
        g_mainWindowPlacement.length = sizeof(WINDOWPLACEMENT);
        g_mainWindowPlacement.showCmd = SW_SHOWMAXIMIZED;
        static const int exportDefaults[5] = {2, 2, 1, 0, 0};
        for (int i = 0; i < 5; ++i) g_exportImageOptions[i] = exportDefaults[i];
        for (COLORREF& c : g_customColors) c = RGB(255, 255, 255);
        g_helpCdPrinter = 1;
        g_helpTrack = 1;
        g_helpImage = 1;
        g_useMp3Tag = 1;
        g_useMp3 = 1;
        g_useCdPlayerIni = 1;
        g_useCdText = 1;
        g_useFreedb = 1;
        g_showGrid = 0;
        g_snapToGrid = 0;
        g_showGuides = 0;
        g_showDiscPrintSettings = 0;
        g_printCopies = 1;
        g_browseFilter = 0;
        g_browseSubfolders = 1;
        g_lastDrive.Empty();
        g_units = "Inches";
        g_cdPlayerPath.Empty();
        g_freedbServer.Empty();
        g_printOptions.printFront = 0;
        g_printOptions.printBack = 0;
        g_printOptions.printDisc1 = 1;
        g_printOptions.printDisc2 = 1;
        g_printOptions.frontBorder = 1;
        g_printOptions.backBorder = 1;
        g_printOptions.discBorder = 0;
        g_printOptions.frontFold = 1;
        g_printOptions.backFold = 1;
        g_printOptions.frontMargin = 0;
        g_printOptions.backMargin = 0;
        g_printOptions.discMargin = 100;
        for (POINT& p : g_dialogPositions) p = POINT{-1, -1};
        g_labelStockDialogRect = RECT{-1, -1, -1, -1};
        g_lastSavePath.Empty();
        g_lastOpenPath.Empty();
        g_lastImagePath.Empty();
        g_lastExportPath.Empty();
        g_paperSize = "Letter";
        g_gridSize[0] = 100;
        g_gridSize[1] = 100;
        g_browseFolder.Empty();
        for (CString& name : g_defaultTemplateNames) name.Empty();
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

        for (int i = 0; i < 5; ++i)
            if (g_defaultTemplateNames[i].IsEmpty()) g_defaultTemplateNames[i] = kBuiltInTemplateNames[i];

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

        InitPaperTable();
    });
}
