// The LightScribe print library: finding and loading it, its two operations bound on first use,
// the temporary JPEG files handed to its print dialog and the list that keeps them until the
// dialog that reads each one has ended.
#include "print/LightScribe.h"

#include <tlhelp32.h>

#include <cstring>
#include <unordered_set>
#include <vector>

#include "framework/Graphics.h"
#include "model/Folders.h"

using namespace Gdiplus;

BYTE g_lightScribeAvailable = 0;
CString g_lightScribeTempListPath;
CObArray g_lightScribeTempFiles;
DWORD g_lightScribeDialogWaitMs = 1000;

const wchar_t kLightScribeKey[] = L"Software\\LightScribe";
const wchar_t kLightScribeValue[] = L"LSPrintAPI";
const char kLightScribeDialogProgram[] = "LSPrintDialog.exe";

IMPLEMENT_SERIAL(CLightScribeTempFile, CObject, CLightScribeTempFile::kSchema)

void CLightScribeTempFile::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << m_imagePath << m_dialogKey;
        return;
    }
    const UINT schema = ar.GetObjectSchema();
    if (schema != static_cast<UINT>(-1) && schema > kSchema)
        AfxThrowArchiveException(CArchiveException::badSchema);
    ar >> m_imagePath >> m_dialogKey;
}

namespace {

// The library's operations as this program calls them.
typedef void(__cdecl* HaveDriveProc)(unsigned char* present);
typedef int(__cdecl* LaunchDialogProc)(const wchar_t* command);

HMODULE g_library = nullptr;
HaveDriveProc g_haveDrive = nullptr;
LaunchDialogProc g_launchDialog = nullptr;
bool g_bound = false;

// A registry value longer than this is not a path.
const DWORD kMaxPathValueBytes = 32768;

// The operations are looked up the first time one of them is called, in the library that
// LightScribeInit loaded.
void BindLibrary() {
    if (g_bound || !g_library) return;
    g_bound = true;
    g_haveDrive = reinterpret_cast<HaveDriveProc>(
        reinterpret_cast<void*>(::GetProcAddress(g_library, "have_lightscribe_drive")));
    g_launchDialog = reinterpret_cast<LaunchDialogProc>(
        reinterpret_cast<void*>(::GetProcAddress(g_library, "launch_print_options_dialog")));
}

// The library's full path from the registry; empty when there is none. The key is only read:
// looking for the library never leaves a key behind.
std::wstring ReadLibraryPath() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kLightScribeKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    std::wstring path;
    DWORD type = 0, size = 0;
    if (::RegQueryValueExW(key, kLightScribeValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0 && size <= kMaxPathValueBytes) {
        // One character more than the value holds, so that a value stored without its
        // terminator still ends.
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
        DWORD read = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
        if (::RegQueryValueExW(key, kLightScribeValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                               &read) == ERROR_SUCCESS) {
            buffer[buffer.size() - 1] = L'\0';
            path = buffer.data();
            if (type == REG_EXPAND_SZ && !path.empty()) {
                wchar_t expanded[MAX_PATH * 2] = {0};
                const DWORD n = ::ExpandEnvironmentStringsW(path.c_str(), expanded, MAX_PATH * 2);
                path = n > 0 && n <= MAX_PATH * 2 ? std::wstring(expanded) : std::wstring();
            }
        }
    }
    ::RegCloseKey(key);
    return path;
}

std::wstring Widen(const CString& text) {
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], n);
    wide.resize(static_cast<size_t>(n - 1));
    return wide;
}

bool Contains(const CStringArray& keys, const CString& key) {
    for (INT_PTR i = 0; i < keys.GetSize(); ++i)
        if (keys[i] == key) return true;
    return false;
}

// The first key of `after` that `before` does not hold; empty when there is none.
CString NewKey(const CStringArray& before, const CStringArray& after) {
    for (INT_PTR i = 0; i < after.GetSize(); ++i)
        if (!Contains(before, after[i])) return after[i];
    return CString();
}

void FreeEntries() {
    for (INT_PTR i = 0; i < g_lightScribeTempFiles.GetSize(); ++i) delete g_lightScribeTempFiles[i];
    g_lightScribeTempFiles.RemoveAll();
}

// Writes the list beside the old file and puts it in place when complete.
bool WriteList() {
    const CString path = g_lightScribeTempListPath;
    return WriteFileWhole(path, [](CFile& file) {
        return SerializeOrAbort(&file, CArchive::store, [](CArchive& ar) {
            ar.WriteCount(static_cast<DWORD_PTR>(g_lightScribeTempFiles.GetSize()));
            for (INT_PTR i = 0; i < g_lightScribeTempFiles.GetSize(); ++i)
                ar.WriteObject(g_lightScribeTempFiles[i]);
        });
    });
}

CString TemporaryFolder() {
    char folder[MAX_PATH + 1] = {0};
    const DWORD n = ::GetTempPathA(MAX_PATH, folder);
    if (n == 0 || n > MAX_PATH) return CString();
    return CString(folder);
}

CString FullPath(const CString& path) {
    char full[MAX_PATH * 2] = {0};
    char* name = nullptr;
    const DWORD n = ::GetFullPathNameA(path, MAX_PATH * 2, full, &name);
    if (n == 0 || n >= MAX_PATH * 2) return CString();
    return CString(full);
}

}  // namespace

// ---- the library --------------------------------------------------------------------------------

void LightScribeInit() {
    if (g_lightScribeAvailable) return;
    GuardOperation(4230, [&] {
        const std::wstring path = ReadLibraryPath();
        if (path.empty()) return;
        // The library's own folder serves its dependencies; a missing disk or file shows no
        // system box while it loads.
        const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        HMODULE library = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        ::SetErrorMode(previous);
        if (!library) return;
        g_library = library;
        g_bound = false;
        g_lightScribeAvailable = 1;
        g_lightScribeTempListPath = g_settingsFolder + "\\LightScribeTemp.dat";
        LoadLightScribeTempList();
    });
}

int LightScribeAvailability() {
    if (g_lightScribeAvailable) return 1;
    LightScribeInit();
    return g_lightScribeAvailable ? 2 : 0;
}

bool HaveLightScribeDrive() {
    bool present = false;
    GuardOperation(4231, [&] {
        if (!g_lightScribeAvailable) return;
        BindLibrary();
        if (!g_haveDrive) return;
        unsigned char flag = 0;
        g_haveDrive(&flag);
        present = flag != 0;
    });
    return present;
}

// ---- processes ----------------------------------------------------------------------------------

void ScanPrintDialogProcesses(CStringArray& keys) {
    GuardOperation(4232, [&] {
        HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE) return;
        PROCESSENTRY32 entry = {};
        entry.dwSize = sizeof(entry);
        for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry)) {
            entry.szExeFile[sizeof(entry.szExeFile) - 1] = '\0';
            // Only the exact name counts, letter case included.
            if (strcmp(entry.szExeFile, kLightScribeDialogProgram) != 0) continue;
            CString key;
            key.Format("%lu%lu", static_cast<unsigned long>(entry.th32ProcessID),
                       static_cast<unsigned long>(entry.th32ParentProcessID));
            keys.Add(key);
        }
        ::CloseHandle(snapshot);
    });
}

// ---- printing -----------------------------------------------------------------------------------

std::wstring LightScribeCommandText(const CString& imagePath) {
    return L"--filename \"" + Widen(imagePath) + L"\" -d 1";
}

int LightScribePrint(Bitmap* image) {
    int result = kLightScribeUnavailable;
    GuardOperation(4233, [&] {
        if (!g_lightScribeAvailable || !image) return;
        result = kLightScribeNotSaved;
        const CString folder = TemporaryFolder();
        char name[MAX_PATH + 1] = {0};
        if (folder.IsEmpty() || ::GetTempFileNameA(folder, "ls_", 0, name) == 0) return;
        const CString path(name);
        CLSID jpeg;
        Status saved = GenericError;
        if (GetEncoderClsid(L"image/jpeg", &jpeg) >= 0) {
            EncoderParameters parameters;
            ULONG quality = 100;
            parameters.Count = 1;
            parameters.Parameter[0].Guid = EncoderQuality;
            parameters.Parameter[0].Type = EncoderParameterValueTypeLong;
            parameters.Parameter[0].NumberOfValues = 1;
            parameters.Parameter[0].Value = &quality;
            saved = image->Save(Widen(path).c_str(), &jpeg, &parameters);
        }
        if (saved != Ok) {
            // Nobody will read it: the file the system made for the name goes.
            ::DeleteFileA(path);
            return;
        }
        BindLibrary();
        const std::wstring command = LightScribeCommandText(path);
        CStringArray before;
        ScanPrintDialogProcesses(before);
        if (!g_launchDialog || g_launchDialog(command.c_str()) != 0) {
            ::DeleteFileA(path);
            result = kLightScribeRefused;
            return;
        }
        // The library may start its dialog a little after it answered: look for it for a while.
        CString key;
        const DWORD start = ::GetTickCount();
        for (;;) {
            CStringArray after;
            ScanPrintDialogProcesses(after);
            key = NewKey(before, after);
            if (!key.IsEmpty() || ::GetTickCount() - start >= g_lightScribeDialogWaitMs) break;
            ::Sleep(50);
        }
        // Recorded even when the dialog was not seen, so that the file is purged later.
        g_lightScribeTempFiles.Add(new CLightScribeTempFile(path, key));
        result = kLightScribeStarted;
    });
    return result;
}

// ---- the list of pending jobs -------------------------------------------------------------------

bool IsLightScribeTempFile(const CString& path) {
    const CString folder = FullPath(TemporaryFolder());
    const CString full = FullPath(path);
    if (folder.IsEmpty() || full.IsEmpty()) return false;
    CString prefix = folder;
    if (prefix.Right(1) != "\\") prefix += "\\";
    if (full.GetLength() <= prefix.GetLength() + 3) return false;
    if (prefix.CompareNoCase(full.Left(prefix.GetLength())) != 0) return false;
    const CString name = full.Mid(prefix.GetLength());
    if (name.FindOneOf("\\/:") >= 0) return false;
    return name.Left(3).CompareNoCase("ls_") == 0;
}

bool PurgeLightScribeTempFiles() {
    bool none = false;
    GuardOperation(4234, [&] {
        if (g_lightScribeTempFiles.GetSize() > 0) {
            CStringArray running;
            ScanPrintDialogProcesses(running);
            // The entries that stay move up in one pass.
            INT_PTR kept = 0;
            for (INT_PTR i = 0; i < g_lightScribeTempFiles.GetSize(); ++i) {
                CLightScribeTempFile* entry = static_cast<CLightScribeTempFile*>(g_lightScribeTempFiles[i]);
                // An entry whose dialog was never seen waits until no print dialog runs at all.
                const bool ended = entry->m_dialogKey.IsEmpty() ? running.GetSize() == 0
                                                                : !Contains(running, entry->m_dialogKey);
                if (!ended) {
                    g_lightScribeTempFiles.SetAt(kept++, entry);
                    continue;
                }
                // Only our own temporary images are ever deleted, whatever the list file names.
                if (IsLightScribeTempFile(entry->m_imagePath)) ::DeleteFileA(entry->m_imagePath);
                delete entry;
            }
            g_lightScribeTempFiles.SetSize(kept);
        }
        if (g_lightScribeTempFiles.GetSize() == 0) {
            if (!g_lightScribeTempListPath.IsEmpty()) ::DeleteFileA(g_lightScribeTempListPath);
            none = true;
        }
    });
    return none;
}

void SaveLightScribeTempList(bool deleteEntries) {
    GuardOperation(4235, [&] {
        if (!g_lightScribeAvailable) return;
        if (!PurgeLightScribeTempFiles()) WriteList();
        if (deleteEntries) FreeEntries();
    });
}

void LoadLightScribeTempList() {
    GuardOperation(4236, [&] {
        FreeEntries();
        CFile file;
        if (g_lightScribeTempListPath.IsEmpty() || !file.Open(g_lightScribeTempListPath, CFile::modeRead))
            return;
        std::vector<CLightScribeTempFile*> read;
        std::unordered_set<CLightScribeTempFile*> seen;
        try {
            CArchive ar(&file, CArchive::load, 4096);
            const DWORD_PTR count = ar.ReadCount();
            for (DWORD_PTR i = 0; i < count; ++i) {
                CObject* object = ar.ReadObject(RUNTIME_CLASS(CLightScribeTempFile));
                CLightScribeTempFile* entry = static_cast<CLightScribeTempFile*>(object);
                // A null or repeated reference is damage: the list would own one entry twice.
                if (!entry || !seen.insert(entry).second)
                    AfxThrowArchiveException(CArchiveException::badIndex);
                read.push_back(entry);
            }
        } catch (CException* e) {
            // An unreadable list is as good as none.
            e->Delete();
            for (CLightScribeTempFile* entry : read) delete entry;
            return;
        }
        for (CLightScribeTempFile* entry : read) g_lightScribeTempFiles.Add(entry);
    });
}
