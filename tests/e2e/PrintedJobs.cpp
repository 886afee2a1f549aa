// The CUPS PDF queue's jobs read from the driver (see PrintedJobs.h).
#include "PrintedJobs.h"

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include "AppDriver.h"
#include "ScenarioSupport.h"

namespace e2e {

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Quoted(const std::string& unixPath) {
    return "'" + unixPath + "'";
}

}  // namespace

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

std::string PrintQueueFolder() {
    std::istringstream conf(ReadText("Z:\\etc\\cups\\cups-pdf.conf"));
    std::string line;
    while (std::getline(conf, line))
        if (line.rfind("Out ", 0) == 0) return WindowsPath(line.substr(4));
    return std::string();
}

std::string FindPrintedJob(const std::string& title, DWORD ms) {
    std::set<std::string> folders;
    std::string found;
    WaitFor(
        [&] {
            const std::string now = PrintQueueFolder();
            if (!now.empty()) folders.insert(now);
            for (const std::string& folder : folders) {
                WIN32_FIND_DATAA data;
                HANDLE h = ::FindFirstFileA((folder + "\\" + title + "*.pdf").c_str(), &data);
                if (h == INVALID_HANDLE_VALUE) continue;
                ::FindClose(h);
                const std::string path = folder + "\\" + data.cFileName;
                const std::string bytes = ReadText(path);
                if (bytes.size() > 6 && bytes.find("%%EOF", bytes.size() - 16) != std::string::npos) {
                    found = path;
                    return true;
                }
            }
            return false;
        },
        ms);
    return found;
}

std::string RunUnix(const std::string& command, const std::string& work) {
    static int serial = 0;
    const std::string output = work + "\\unix-" + std::to_string(++serial) + ".txt";
    const std::string partial = output + ".part";
    // The output file appears (renamed into place) when the command has ended: Wine gives no
    // handle to wait on for a Unix program.
    const std::string line = "/bin/sh -c \"" + command + " > " + Quoted(UnixPath(partial)) + " 2>&1; mv " +
                             Quoted(UnixPath(partial)) + " " + Quoted(UnixPath(output)) + "\"";
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
    if (!WaitFor([&] { return FileExists(output); }, 60000)) return std::string();
    return ReadText(output);
}

std::vector<PdfPage> PdfPageSizes(const std::string& pdf) {
    const std::string info = RunUnix("pdfinfo -f 1 -l 999 " + Quoted(UnixPath(pdf)), OutDir());
    std::vector<PdfPage> pages;
    std::istringstream lines(info);
    std::string line;
    while (std::getline(lines, line)) {
        int number = 0;
        PdfPage page;
        if (std::sscanf(line.c_str(), "Page %d size: %lf x %lf", &number, &page.width, &page.height) == 3)
            pages.push_back(page);
    }
    return pages;
}

std::string PdfText(const std::string& pdf) {
    return RunUnix("pdftotext -layout " + Quoted(UnixPath(pdf)) + " -", OutDir());
}

}  // namespace e2e
