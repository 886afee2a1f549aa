// The folders the application works in.
#include "app/PaperTable.h"

#include <shlobj.h>

namespace {

CString ShellFolder(int csidl, bool* ok) {
    char path[MAX_PATH] = {};
    *ok = SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path));
    return CString(path);
}

}  // namespace

CString InitFolders(LPCSTR helpFilePath) {
    CString browse;
    GuardOperation(1091, [&] {
        CString help(helpFilePath);
        int slash = help.ReverseFind('\\');
        CString program = slash >= 0 ? help.Left(slash) : CString();
        g_openSaveFolder = g_settingsFolder = g_picturesFolder = g_documentsFolder = g_programFolder =
            program;
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

CString ReadInstallDirectory() {
    CString result;
    GuardOperation(1211, [&] {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Korvanelle", 0, KEY_QUERY_VALUE, &key) !=
            ERROR_SUCCESS)
            return;
        char buffer[262] = {};
        DWORD size = 261;
        if (RegQueryValueExA(key, "Directory", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) ==
            ERROR_SUCCESS) {
            buffer[261] = 0;
            result = CString(buffer);
        }
        RegCloseKey(key);
    });
    return result;
}

BOOL DetectWindowsVersion() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    BOOL ok = GetVersionExA(&info);
    g_isVistaOrLater = (ok && info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 6) ? 1 : 0;
    return ok;
}
