// The paper table and the folders the application works in.
#include "app/PaperTable.h"

#include <shlobj.h>

int g_paperCodes[6];
int g_paperDims[6][2];
int g_printableAreas[6][4];

CString g_programFolder;
CString g_settingsFolder;
CString g_documentsFolder;
CString g_openSaveFolder;
CString g_picturesFolder;
CString g_dataFolder;
BYTE g_isVistaOrLater = 0;

void InitPaperTable()
{
    static const int codes[6] = {DMPAPER_LETTER, DMPAPER_LEGAL, DMPAPER_TABLOID, DMPAPER_A4, DMPAPER_A3, DMPAPER_USER};
    static const int dims[6][2] = {{8500, 11000}, {8500, 14000}, {11000, 17000}, {8268, 11693}, {11693, 16535}, {5500, 5500}};
    for (int i = 0; i < 6; ++i) {
        g_paperCodes[i] = codes[i];
        g_paperDims[i][0] = dims[i][0];
        g_paperDims[i][1] = dims[i][1];
        g_printableAreas[i][0] = 0;
        g_printableAreas[i][1] = 0;
        g_printableAreas[i][2] = dims[i][0];
        g_printableAreas[i][3] = dims[i][1];
    }
}

int FindPaperSizeIndex(int x, int y, int width, int height)
{
    (void)x;
    (void)y;
    for (int i = 0; i < 6; ++i) {
        if ((g_paperDims[i][0] == width && g_paperDims[i][1] == height) ||
            (g_paperDims[i][1] == width && g_paperDims[i][0] == height))
            return i;
    }
    return 0;
}

Gdiplus::Rect GetPrintableArea(int x, int y, int width, int height)
{
    Gdiplus::Rect result(x, y, width, height);
    GuardOperation(1133, [&] {
        int i = FindPaperSizeIndex(x, y, width, height);
        const int* a = g_printableAreas[i];
        if (width < height) result = Gdiplus::Rect(a[0], a[1], a[2], a[3]);
        else result = Gdiplus::Rect(a[1], a[0], a[3], a[2]);
    });
    return result;
}

namespace {

CString ShellFolder(int csidl, bool* ok)
{
    char path[MAX_PATH] = {};
    *ok = SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path));
    return CString(path);
}

}  // namespace

CString InitFolders(LPCSTR helpFilePath)
{
    CString browse;
    GuardOperation(1091, [&] {
        CString help(helpFilePath);
        int slash = help.ReverseFind('\\');
        CString program = slash >= 0 ? help.Left(slash) : CString();
        g_openSaveFolder = g_settingsFolder = g_picturesFolder = g_documentsFolder = g_programFolder = program;
        bool ok = false;
        CString documents = ShellFolder(CSIDL_PERSONAL, &ok);
        if (ok) {
            g_documentsFolder = documents;
            if (g_isVistaOrLater) g_openSaveFolder = documents + "\\My Labels";
        }
        CString pictures = ShellFolder(CSIDL_MYPICTURES, &ok);
        if (ok) g_picturesFolder = pictures;
        CString local = ShellFolder(CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, &ok);
        if (ok) {
            g_settingsFolder = local + "\\Korvanelle";
            CreateDirectoryA(g_settingsFolder, nullptr);
        }
        g_dataFolder = ReadInstallDirectory();
        browse = (g_dataFolder.IsEmpty() ? g_programFolder : g_dataFolder) + "\\Backgrounds";
    });
    return browse;
}

CString ReadInstallDirectory()
{
    CString result;
    GuardOperation(1211, [&] {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Korvanelle", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
        char buffer[262] = {};
        DWORD size = 261;
        if (RegQueryValueExA(key, "Directory", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS) {
            buffer[261] = 0;
            result = CString(buffer);
        }
        RegCloseKey(key);
    });
    return result;
}

BOOL DetectWindowsVersion()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    BOOL ok = GetVersionExA(&info);
    g_isVistaOrLater = (ok && info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 6) ? 1 : 0;
    return ok;
}
