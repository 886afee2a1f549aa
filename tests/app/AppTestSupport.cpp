// Running the real application object inside a test.
#include "AppTestSupport.h"

#include <shlobj.h>
#include <objidl.h>
#include <gdiplus.h>

#include "framework/DocView.h"
#include "framework/graphics/GdipImage.h"

namespace kvtest {

namespace {
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char kShellFoldersCache[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kLocalAppData[] = "Local AppData";

void SetValue(const char* keyName, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyName, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != 0)
        return;
    RegSetValueExA(key, kLocalAppData, 0, REG_SZ, (const BYTE*)value.c_str(), (DWORD)value.size() + 1);
    RegCloseKey(key);
}

bool GetValue(const char* keyName, std::string& value) {
    char buffer[MAX_PATH] = {0};
    DWORD size = sizeof(buffer) - 1;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyName, 0, KEY_READ, &key) != 0) return false;
    DWORD type = 0;
    bool ok = RegQueryValueExA(key, kLocalAppData, nullptr, &type, (BYTE*)buffer, &size) == 0;
    RegCloseKey(key);
    if (ok) value = buffer;
    return ok;
}

void DeleteProfile() {
    std::string key = std::string("Software\\Korvanelle\\") + kTestProfileName;
    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
}

CString g_fileDialog, g_fileToChoose;

void CALLBACK ChooseFile(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = ::FindWindowA("#32770", g_fileDialog);
    if (dialog == nullptr || !::IsWindowVisible(dialog)) return;
    ::KillTimer(nullptr, timer);
    ::SetDlgItemTextA(dialog, 0x47C, g_fileToChoose);  // the file name box
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}
}  // namespace

UINT_PTR AnswerFileDialog(const char* title, const CString& path) {
    g_fileDialog = title;
    g_fileToChoose = path;
    return ::SetTimer(nullptr, 0, 50, ChooseFile);
}

UINT_PTR AnswerInsertImage(const CString& path) {
    return AnswerFileDialog("Insert Image", path);
}

bool WriteTestPng(const CString& path, int width, int height) {
    Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.SetPixel(x, y, Gdiplus::Color(255, (BYTE)(x * 2), (BYTE)(y * 3), 90));
    CLSID png;
    if (GetEncoderClsid(L"image/png", &png) < 0) return false;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH);
    return bitmap.Save(wide, &png, nullptr) == Gdiplus::Ok;
}

const char kTestProfileName[] = "KorvanelleTests";

TemporaryUserFolders::TemporaryUserFolders() {
    // Owned until the destructor; a holder that died leaves it abandoned, which owns it too.
    m_settingsLock = CreateMutexA(nullptr, FALSE, "KorvanelleTestsSettingsStore");
    if (m_settingsLock != nullptr) WaitForSingleObject(m_settingsLock, INFINITE);
    char temp[MAX_PATH] = {0};
    GetTempPathA(MAX_PATH, temp);
    char name[MAX_PATH] = {0};
    GetTempFileNameA(temp, "kvu", 0, name);
    DeleteFileA(name);
    CreateDirectoryA(name, nullptr);
    m_root = name;
    m_hadPrevious = GetValue(kShellFolders, m_previous);
    SetValue(kShellFolders, m_root);
    SetValue(kShellFoldersCache, m_root);
    DeleteProfile();
}

TemporaryUserFolders::~TemporaryUserFolders() {
    if (m_hadPrevious) {
        SetValue(kShellFolders, m_previous);
    } else {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_WRITE, &key) == 0) {
            RegDeleteValueA(key, kLocalAppData);
            RegCloseKey(key);
        }
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFoldersCache, 0, KEY_WRITE, &key) == 0) {
        RegDeleteValueA(key, kLocalAppData);
        RegCloseKey(key);
    }
    DeleteProfile();
    RemoveTree(m_root);
    if (m_settingsLock != nullptr) {
        ReleaseMutex(m_settingsLock);
        CloseHandle(m_settingsLock);
    }
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = path + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

RunningApp::RunningApp() : RunningApp(std::function<void()>()) {}

RunningApp::RunningApp(const std::function<void()>& afterInit) {
    app.m_pszAppName = kTestProfileName;
    AfxWinInit(GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOWNORMAL);
    if (!app.InitInstance()) return;
    if (afterInit) afterInit();
    CWnd* frame = app.m_pMainWnd;
    m_started =
        frame != nullptr && PumpApp(
                                app, [&] { return ::IsWindowVisible(frame->m_hWnd) != FALSE; }, 15000);
}

RunningApp::~RunningApp() {
    Close();
}

bool RunningApp::Pump(const std::function<bool()>& done, DWORD ms) {
    return PumpApp(app, done, ms);
}

void RunningApp::Close() {
    if (m_closed) return;
    m_closed = true;
    if (app.m_pMainWnd != nullptr && app.m_pMainWnd->m_hWnd != nullptr) {
        HWND frame = app.m_pMainWnd->m_hWnd;
        if (CFrameWnd* f = dynamic_cast<CFrameWnd*>(app.m_pMainWnd))
            if (CDocument* doc = f->GetActiveDocument()) doc->SetModifiedFlag(FALSE);
        ::PostMessageA(frame, WM_CLOSE, 0, 0);
        PumpApp(
            app, [&] { return !::IsWindow(frame); }, 15000);
    }
    app.ExitInstance();
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
}

int CountGdiObjects() {
    int n = 0;
    for (UINT_PTR value = 1; value < 0x10000; ++value)
        if (GetObjectType((HGDIOBJ)value) != 0) ++n;
    return n;
}

namespace {
BOOL CALLBACK CountChild(HWND, LPARAM lParam) {
    ++*(int*)lParam;
    return TRUE;
}

// A top-level window and all its descendants (EnumChildWindows visits every level).
BOOL CALLBACK CountWindow(HWND hWnd, LPARAM lParam) {
    ++*(int*)lParam;
    EnumChildWindows(hWnd, CountChild, lParam);
    return TRUE;
}
}  // namespace

int CountUserObjects() {
    int n = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, (LPARAM)&n);
    for (UINT_PTR value = 1; value < 0x10000; ++value)
        if (IsMenu((HMENU)value)) ++n;
    return n;
}

bool PumpApp(CWinApp& app, const std::function<bool()>& done, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        app.PumpWaitingMessages();
        if (done()) return true;
        if (GetTickCount() - start >= ms) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace kvtest
