#include <cstdlib>
#include <sstream>
#include <fstream>
#include "TestSupport.h"

#include "GuiSupport.h"

#include <windows.h>
#include <cstdio>

namespace kvtest {

static void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string n = fd.cFileName;
            if (n == "." || n == "..") continue;
            std::string p = dir + "\\" + n;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(p);
            else
                DeleteFileA(p.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

std::string TempDir(const std::string& name) {
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    std::string dir = std::string(cwd) + "\\tmp-" + name;
    RemoveTree(dir);
    CreateDirectoryA((std::string(cwd) + "").c_str(), nullptr);
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

bool WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    size_t n = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return n == bytes.size();
}

std::vector<unsigned char> ReadFileBytes(const std::string& path) {
    std::vector<unsigned char> out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    unsigned char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
    std::fclose(f);
    return out;
}

namespace {

void** ImportSlot(const char* dll, const char* function) {
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0) return nullptr;
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name;
         ++imp) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + imp->Name), dll) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

void WriteSlot(void** slot, void* value) {
    DWORD old = 0;
    VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &old);
    *slot = value;
    VirtualProtect(slot, sizeof(*slot), old, &old);
}

}  // namespace

ImportPatch::ImportPatch(const char* dll, const char* function, void* replacement)
    : m_slot(ImportSlot(dll, function)) {
    if (!m_slot) return;
    m_original = *m_slot;
    WriteSlot(m_slot, replacement);
}

ImportPatch::~ImportPatch() {
    if (m_slot) WriteSlot(m_slot, m_original);
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string UnixPath(const std::string& windowsPath) {
    std::string p = windowsPath;
    if (p.size() > 2 && (p[0] == 'Z' || p[0] == 'z') && p[1] == ':') p = p.substr(2);
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
}

std::string WindowsPath(const std::string& unixPath) {
    std::string p = "Z:" + unixPath;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

std::string PrintJobTitle(const char* base) {
    const char* tag = std::getenv("KV_PRINT_TAG");
    return tag != nullptr && *tag != 0 ? std::string(base) + "-" + tag : std::string(base);
}

std::string PrintQueueFolder() {
    std::istringstream conf(ReadText("Z:\\etc\\cups\\cups-pdf.conf"));
    std::string line;
    while (std::getline(conf, line))
        if (line.rfind("Out ", 0) == 0) return WindowsPath(line.substr(4));
    return std::string();
}

namespace {

// Every complete PDF (it ends with %%EOF) matching `pattern` in the queue's folder now and in
// `folders`, which keeps that folder too.
std::vector<std::string> CompletedPdfsLike(const std::string& pattern, std::set<std::string>& folders) {
    const std::string now = PrintQueueFolder();
    if (!now.empty()) folders.insert(now);
    std::vector<std::string> found;
    for (const std::string& folder : folders) {
        WIN32_FIND_DATAA data;
        HANDLE h = ::FindFirstFileA((folder + "\\" + pattern).c_str(), &data);
        if (h == INVALID_HANDLE_VALUE) continue;
        do {
            const std::string path = folder + "\\" + data.cFileName;
            const std::string bytes = ReadText(path);
            if (bytes.size() > 6 && bytes.find("%%EOF", bytes.size() - 16) != std::string::npos)
                found.push_back(path);
        } while (::FindNextFileA(h, &data));
        ::FindClose(h);
    }
    return found;
}

}  // namespace

std::string FindCompletedPdf(const std::string& title, std::set<std::string>& folders) {
    const std::vector<std::string> found = CompletedPdfsLike(title + "*.pdf", folders);
    return found.empty() ? std::string() : found.front();
}

std::vector<std::string> CompletedPdfs(const std::string& title, std::set<std::string>& folders) {
    return CompletedPdfsLike(title + "*-job_*.pdf", folders);
}

std::string RunUnix(const std::string& command, const std::string& output) {
    const std::string partial = output + ".part";
    std::string line = "/bin/sh -c \"" + command + " > '" + UnixPath(partial) + "' 2>&1; mv '" +
                       UnixPath(partial) + "' '" + UnixPath(output) + "'\"";
    ::DeleteFileA(output.c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back(0);
    if (!::CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return std::string();
    if (process.hProcess) ::CloseHandle(process.hProcess);
    if (process.hThread) ::CloseHandle(process.hThread);
    if (!PumpUntil([&] { return ::GetFileAttributesA(output.c_str()) != INVALID_FILE_ATTRIBUTES; }, 60000))
        return std::string();
    return ReadText(output);
}

}  // namespace kvtest
