// What a print job left in the CUPS PDF queue's folder, seen from the driver: the job's PDF found
// by the document title the program gave it, its pages and their sizes (pdfinfo) and its text
// (pdftotext), the Unix tools run beside Wine. The queue's folder is one setting of the machine
// that other test runs change: every folder it names while the driver waits is searched.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// The folder cups-pdf writes into now, as a Windows path; empty when no queue is set up.
std::string PrintQueueFolder();

// The complete PDF (it ends with %%EOF) whose name starts with `title`, or empty after `ms`.
std::string FindPrintedJob(const std::string& title, DWORD ms);

struct PdfPage {
    double width = 0;  // points
    double height = 0;
};
std::vector<PdfPage> PdfPageSizes(const std::string& pdf);
// The PDF's text as pdftotext reads it.
std::string PdfText(const std::string& pdf);

// Runs `command` with /bin/sh as a Unix program; its output (stdout and stderr), or empty on a
// time-out. `work` is a folder for the output file.
std::string RunUnix(const std::string& command, const std::string& work);
// A Windows path (Z:\...) as the Unix path it names, and back.
std::string UnixPath(const std::string& windowsPath);
std::string WindowsPath(const std::string& unixPath);

}  // namespace e2e
