// What a print job left in the CUPS PDF queue's folder, seen from the driver: the job's PDF found
// by the document title the program gave it, its pages and their sizes (pdfinfo) and its text
// (pdftoppm), the Unix tools run beside Wine. The queue's folder is one setting of the machine
// that other test runs change: every folder it names while the driver waits is searched.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace e2e {

// The queue's folder and the Z: path conversions are the test support's.
using kvtest::PrintQueueFolder;
using kvtest::UnixPath;
using kvtest::WindowsPath;

// The complete PDF (it ends with %%EOF) of the job titled `title` (cups-pdf names the file after
// the title with its blanks as underscores), or empty after `ms`.
std::string FindPrintedJob(const std::string& title, DWORD ms);

// How many jobs titled `title` the queue wrote into the folder of `pdf` (one of them) or its folder
// now, counted once it has finished the jobs it holds (60 s at most): a program that has ended has
// sent all of its jobs by then. A job printed twice, or one nobody asked for, makes it more than 1.
size_t CountPrintedJobs(const std::string& title, const std::string& pdf);

struct PdfPage {
    double width = 0;  // points
    double height = 0;
};
std::vector<PdfPage> PdfPageSizes(const std::string& pdf);
// One page of the PDF in grey levels (0 black, 255 white), as pdftoppm rasterises it at `dpi`.
struct GreyPage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;  // top row first
    int At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // The ink (255 - grey level) summed over a rectangle; 0 outside the page.
    long long Ink(int left, int top, int right, int bottom) const;
};
GreyPage RasterisePdfPage(const std::string& pdf, int page, int dpi);

// What the queue recorded of the job that wrote `pdf` (its number ends the file's name), once the
// job has completed: the copies asked for and the pages it counted (every copy).
struct JobRecord {
    int copies = -1;
    int impressions = -1;
};
JobRecord PrintedJobRecord(const std::string& pdf, DWORD ms);

// Runs `command` with /bin/sh as a Unix program; its output (stdout and stderr), or empty on a
// time-out. `work` is a folder for the output file.
std::string RunUnix(const std::string& command, const std::string& work);

}  // namespace e2e
