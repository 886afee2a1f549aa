// The user's settings: plain globals that every part of the application reads and writes in
// place, their defaults, and their file. They are loaded once at start-up (defaults, then
// preferences.ini, else the older settings.ini, else the oldest release's registry values) and
// written to preferences.ini at shut-down.
//
// Settings defined next to their main users and declared in their headers:
//   disc/SettingsLookup.h    the disc-lookup switches, g_lastDrive, g_cdPlayerPath, g_freedbServer
//   render/CanvasSettings.h  g_showGrid, g_showGuides, g_gridSize, g_units
//   controls/DialogPositions.h  g_dialogPositions
//   bars/ImageBrowseSettings.h  the image browser's folders, file type and hint, g_thumbSize
//   bars/BarSettings.h       g_customColors
//   canvas/ViewSettings.h    the settings the editing canvas reads and writes
//   model/PrintOptions.h     g_printOptions, g_helpCdPrinter
//   model/Folders.h          the folders and g_isVistaOrLater (filled by app/PaperTable.h)
//   model/PageSizes.h        the paper table
//   print/PrintSettings.h    the label stock dialog's place, Save as Image's choices and last file
#pragma once

#include <windows.h>

#include <type_traits>
#include <variant>

#include "framework/Core.h"
#include "app/PaperTable.h"
#include "bars/BarSettings.h"
#include "bars/ImageBrowseSettings.h"
#include "controls/DialogPositions.h"
#include "canvas/ViewSettings.h"
#include "disc/SettingsLookup.h"
#include "model/PrintOptions.h"
#include "print/PrintSettings.h"
#include "render/CanvasSettings.h"

// The version written to preferences.ini; a file of a higher version is not read.
const int kSettingsVersion = 507;

// File open modes of LoadSavePreferences and ReadSettingsIni.
const UINT kSettingsLoad = 0;                                      // read
const UINT kSettingsStore = CFile::modeCreate | CFile::modeWrite;  // 0x1001

extern BYTE g_themeActive;           // visual styles are active (not stored)
extern BYTE g_firstRun;              // no settings source could be loaded (not stored)
// preferences.ini was written by a later release and refused at load: it is left as it is, so
// that starting an older build once does not cost the later one its settings (not stored).
extern BYTE g_preferencesFromLaterRelease;

extern CString g_lastSavePath;
extern CString g_lastOpenPath;

// Default label templates: [0] disc label, [1] cover, [2] CD jewel case, [3] DVD case,
// [4] Blu-ray case.

// One stored field of preferences.ini: a settings global and its default. The global's own type
// gives the field's form in the file (BYTE: 1 byte; int, UINT, COLORREF: 4; POINT: 8; RECT: 16;
// CString: a string), so the two cannot disagree; an array is stored element after element.
struct SettingsField {
    using Global = std::variant<BYTE*, int*, UINT*, COLORREF*, POINT*, RECT*, CString*>;
    // The default, of the global's type (a string's as its text).
    using Value = std::variant<BYTE, int, UINT, COLORREF, POINT, RECT, const char*>;
    // How the file holds the global: as it is, or as a name (the case kind, the disc layout).
    enum StoredAs { kAsValue, kAsCaseKindName, kAsLayoutName };

    template <class T>
    struct Same {
        using type = T;
    };

    template <class T>
    SettingsField(const char* fieldName, T& global, typename Same<T>::type defaultValue)
        : name(fieldName), target(&global), initial(std::in_place_type<T>, defaultValue) {}
    template <class T, size_t N>
    SettingsField(const char* fieldName, T (&global)[N], typename Same<T>::type defaultValue)
        : name(fieldName), target(&global[0]), initial(std::in_place_type<T>, defaultValue), count(N) {}
    SettingsField(const char* fieldName, CString& global, const char* defaultValue)
        : name(fieldName), target(&global), initial(defaultValue) {}
    template <size_t N>
    SettingsField(const char* fieldName, CString (&global)[N], const char* defaultValue)
        : name(fieldName), target(&global[0]), initial(defaultValue), count(N) {}
    SettingsField(const char* fieldName, int& global, int defaultValue, StoredAs how)
        : name(fieldName), target(&global), initial(defaultValue), storedAs(how) {}

    // Every element of the global to the default.
    void SetDefault() const;

    const char* name;  // what the field holds, for the reader of the table and of test reports
    Global target;
    Value initial;
    int count = 1;
    StoredAs storedAs = kAsValue;
};

// The fields of preferences.ini after its version number, in their stored order. A stored
// setting is one row here: the file, SetDefaultSettings and the tests all read this table. A row
// appended without a new file version makes every older preferences.ini read as damaged (see
// the table's definition).
extern const SettingsField kSettingsFields[];
extern const size_t kSettingsFieldCount;

// The serialisable shell of the settings: it has no data of its own; Serialize moves the
// globals to or from a raw archive (no class record is ever written).
class CSettings : public CObject {
    DECLARE_SERIAL(CSettings)
public:
    CSettings() = default;
    void Serialize(CArchive& ar) override;
};

// Start-up: defaults, then the first source that loads, then the fix-ups.
void LoadSettings();
// The fix-ups: every value just loaded brought within what the program shows and uses (the
// default template names filled in, windows on a screen, sizes, margins and counts in range), and
// the paper table set up.
void FixUpLoadedSettings();
// kSettingsLoad reads preferences.ini, kSettingsStore writes it; true when the whole file was
// read or written. After a failure on an opened file the defaults are set again. A store does
// nothing (false) while g_preferencesFromLaterRelease is set.
BYTE LoadSavePreferences(UINT openMode);
// Every setting to its default, then the Windows version and the folders.
void SetDefaultSettings();
// "ViewObjectJewel", "ViewObjectDvd" or "ViewObjectBluray" for g_caseKind.
CString GetCaseKindName();
// Sets g_caseKind (and for the older "Default..." names g_discLayout) from a stored name.
void ParseDefaultTemplateName(const CString& name);

// The older sources, tried when preferences.ini cannot be loaded; true when read.
BYTE ReadSettingsIni(UINT openMode);
BYTE ReadLegacyRegistrySettings();
