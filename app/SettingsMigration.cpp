// The older settings sources: settings.ini of earlier releases (four layouts, told apart only by
// how much the file holds) and the values the oldest release kept in the registry. Both are
// only read; the next save writes preferences.ini.
#include <cstdlib>

#include "app/Settings.h"
#include "model/LabelTemplate.h"

namespace {

const int kIniLayouts[4] = {446, 441, 424, 423};

template <class T>
void Skip(CArchive& ar) {
    T ignored{};
    ar >> ignored;
}

// Reads the fields of one settings.ini layout straight into the globals; throws at the end of
// the data when the file holds less than the layout.
void ReadIniLayout(CArchive& ar, int layout, CString& caseKindName, BYTE& layoutCode) {
    ar >> g_lastDrive >> g_units >> caseKindName >> g_cdPlayerPath >> g_freedbServer >> g_browseDefaultPath;
    ar >> g_browseSubfolders >> g_browseFilter;
    ar >> g_printOptions.printFront >> g_printOptions.printBack >> g_printOptions.printDisc1 >>
        g_printOptions.printDisc2;
    Skip<BYTE>(ar);
    ar >> g_showGuides >> g_snapToGrid >> g_showGrid;
    ar >> g_useFreedb >> g_useCdText >> g_useCdPlayerIni >> g_useMp3 >> g_useMp3Tag;
    ar >> g_helpImage;
    Skip<BYTE>(ar);
    ar >> g_helpTrack >> g_helpCdPrinter;
    ar >> g_printOptions.frontBorder >> g_printOptions.backBorder >> g_printOptions.discBorder >>
        g_printOptions.frontFold >> g_printOptions.backFold;
    ar >> g_dialogPositions[kColorDialogPos] >> g_dialogPositions[kPrintDialogPos];
    for (COLORREF& c : g_customColors) ar >> c;
    ar >> g_lastSavePath >> g_lastOpenPath >> g_lastImagePath;
    Skip<DWORD>(ar);
    Skip<DWORD>(ar);
    Skip<CString>(ar);
    ar >> g_dialogPositions[kSaveAsImagePos];
    for (int& option : g_exportImageOptions) ar >> option;
    ar >> g_lastExportPath;
    Skip<CString>(ar);
    ar >> g_mainWindowPlacement.flags >> g_mainWindowPlacement.showCmd >>
        g_mainWindowPlacement.ptMinPosition >> g_mainWindowPlacement.ptMaxPosition >>
        g_mainWindowPlacement.rcNormalPosition;
    if (layout == 423) return;

    // The Read CD position came with 441; the 424 files hold a field there that meant nothing.
    if (layout >= 441)
        ar >> g_dialogPositions[kReadCdDialogPos];
    else
        Skip<POINT>(ar);
    POINT grid = {};
    ar >> grid;
    g_gridSize[0] = grid.x;
    g_gridSize[1] = grid.y;
    ar >> layoutCode;
    ar >> g_printOptions.backMargin >> g_printOptions.frontMargin >> g_printOptions.discMargin;
    if (layout == 424) return;

    ar >> g_showDiscPrintSettings;
    Skip<BYTE>(ar);
    ar >> g_printCopies >> g_dialogPositions[kImageBrowserPos];
    if (layout == 441) return;

    ar >> g_paperSize;
}

// The decimal number (as atoi reads it) of the characters first..last of a text; the part past
// the end of the text is empty.
int SliceNumber(const CString& text, int first, int last) {
    if (first >= text.GetLength()) return 0;
    return std::atoi(text.Mid(first, last - first + 1));
}

// An open registry key, closed when it goes.
class RegistryKey {
public:
    RegistryKey(HKEY root, LPCSTR path) {
        if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &m_key) != ERROR_SUCCESS) m_key = nullptr;
    }
    ~RegistryKey() {
        if (m_key) RegCloseKey(m_key);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool IsOpen() const { return m_key != nullptr; }

    // A value of up to four bytes; the registry type is not looked at.
    bool Number(LPCSTR name, DWORD& value) const {
        DWORD data = 0;
        DWORD size = sizeof(data);
        if (RegQueryValueExA(m_key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS)
            return false;
        value = data;
        return true;
    }
    // A value of up to 261 bytes, up to its first zero byte.
    bool Text(LPCSTR name, CString& value) const {
        char buffer[262] = {};
        DWORD size = 261;
        if (RegQueryValueExA(m_key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
            ERROR_SUCCESS)
            return false;
        buffer[261] = 0;
        value = buffer;
        return true;
    }
    bool Exists(LPCSTR name) const {
        return RegQueryValueExA(m_key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    }

private:
    HKEY m_key = nullptr;
};

void ReadRegistryFlag(const RegistryKey& key, LPCSTR name, BYTE& flag, bool onlyOne) {
    DWORD value = 0;
    if (key.Number(name, value)) flag = onlyOne ? (value == 1) : (value != 0);
}

void ReadRegistryText(const RegistryKey& key, LPCSTR name, CString& text) {
    CString value;
    if (key.Text(name, value)) text = value;
}

void ReadRegistryPosition(const RegistryKey& key, LPCSTR name, POINT& position) {
    CString text;
    if (!key.Text(name, text)) return;
    position.x = SliceNumber(text, 0, 4);
    position.y = SliceNumber(text, 5, 9);
}

// Flags 4 to 8, the single-disc layout and the three margins, as fixed-width slices.
void ReadRegistryPrintOptions(const RegistryKey& key) {
    CString text;
    if (!key.Text("PrintOptions", text)) return;
    BYTE* flags[5] = {&g_printOptions.frontBorder, &g_printOptions.backBorder, &g_printOptions.discBorder,
                      &g_printOptions.frontFold, &g_printOptions.backFold};
    for (int i = 0; i < 5; ++i) *flags[i] = (i < text.GetLength() && text[i] == '1') ? 1 : 0;
    int layout = SliceNumber(text, 5, 5);
    if (layout < 1 || layout > 3) layout = 1;
    g_discLayout = layout - 1;
    g_printOptions.frontMargin = SliceNumber(text, 6, 8);
    if (g_printOptions.frontMargin < 0) g_printOptions.frontMargin = 0;
    g_printOptions.backMargin = SliceNumber(text, 9, 11);
    if (g_printOptions.backMargin < 0) g_printOptions.backMargin = 0;
    g_printOptions.discMargin = SliceNumber(text, 12, 14);
    if (g_printOptions.discMargin < 0) g_printOptions.discMargin = 100;
}

}  // namespace

BYTE ReadSettingsIni(UINT openMode) {
    BYTE result = 0;
    GuardOperation(1859, [&] {
        CFile file;
        if (!file.Open(g_settingsFolder + "\\settings.ini", openMode)) return;
        for (int attempt = 0; attempt < 4; ++attempt) {
            const int layout = kIniLayouts[attempt];
            CString caseKindName;
            BYTE layoutCode = 0;
            const bool ok = SerializeOrAbort(&file, CArchive::load, [&](CArchive& ar) {
                ReadIniLayout(ar, layout, caseKindName, layoutCode);
            });
            if (ok) {
                g_settingsVersion = layout;
                file.Close();
                g_discLayout = LabelTemplate::LayoutFromName(CString(), layoutCode);
                ParseDefaultTemplateName(caseKindName);
                result = 1;
                return;
            }
            if (attempt == 3) {
                ReportOperationError(1859);
                return;
            }
            file.SeekToBegin();
        }
    });
    return result;
}

BYTE ReadLegacyRegistrySettings() {
    BYTE result = 0;
    GuardOperation(1090, [&] {
        RegistryKey key(HKEY_LOCAL_MACHINE, "SOFTWARE\\Korvanelle");
        if (!key.IsOpen()) return;
        DWORD value = 0;
        if (!key.Number("PrintFront", value)) return;
        g_printOptions.printFront = value != 0;
        ReadRegistryFlag(key, "PrintBack", g_printOptions.printBack, false);
        ReadRegistryFlag(key, "PrintDisc1", g_printOptions.printDisc1, false);
        ReadRegistryFlag(key, "PrintDisc2", g_printOptions.printDisc2, false);
        ReadRegistryText(key, "lastDrive", g_lastDrive);
        ReadRegistryText(key, "Units", g_units);
        ReadRegistryFlag(key, "Guides", g_showGuides, false);
        ReadRegistryFlag(key, "SnapToGrid", g_snapToGrid, false);
        ReadRegistryFlag(key, "ShowGrid", g_showGrid, false);
        CString text;
        if (key.Text("GridSize", text)) {
            int comma = text.Find(',');
            if (comma < 0) {
                g_gridSize[0] = 0;
                g_gridSize[1] = std::atoi(text);
            } else {
                g_gridSize[0] = std::atoi(text.Left(comma));
                g_gridSize[1] = std::atoi(text.Mid(comma + 1));
            }
        }
        if (key.Number("Template", value)) {
            g_discLayout = value == 2 ? kLayout2DiscTop : kLayout1DiscTop;
        } else if (key.Text("defTemplate", text)) {
            ParseDefaultTemplateName(text);
        }
        ReadRegistryFlag(key, "bFreedb", g_useFreedb, true);
        ReadRegistryFlag(key, "bCDText", g_useCdText, true);
        ReadRegistryFlag(key, "bCDPlayer", g_useCdPlayerIni, true);
        ReadRegistryFlag(key, "bMp3", g_useMp3, true);
        ReadRegistryFlag(key, "bMp3Tag", g_useMp3Tag, true);
        ReadRegistryText(key, "CDPlayerPath", g_cdPlayerPath);
        ReadRegistryText(key, "FreedbOptions", g_freedbServer);
        ReadRegistryFlag(key, "BrowseSubfolder", g_browseSubfolders, true);
        ReadRegistryText(key, "BrowseDefaultPath", g_browseDefaultPath);
        if (key.Number("BrowseFilter", value)) g_browseFilter = (BYTE)(value & 0xFF);
        if (key.Exists("bHelpImage")) g_helpImage = 0;
        if (key.Exists("bHelpTrack")) g_helpTrack = 0;
        if (key.Exists("bHelpCDPrinter")) g_helpCdPrinter = 0;
        ReadRegistryPrintOptions(key);
        ReadRegistryPosition(key, "ColorDialog", g_dialogPositions[kColorDialogPos]);
        ReadRegistryPosition(key, "PrintDialog", g_dialogPositions[kPrintDialogPos]);
        g_settingsVersion = 1;
        result = 1;
    });
    return result;
}
