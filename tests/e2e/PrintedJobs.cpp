// The CUPS PDF queue's jobs read from the driver (see PrintedJobs.h).
#include "PrintedJobs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "AppDriver.h"
#include "ScenarioSupport.h"
#include "TestSupport.h"

namespace e2e {

using kvtest::ReadText;

namespace {

std::string Quoted(const std::string& unixPath) {
    return "'" + unixPath + "'";
}

std::string FileTitle(const std::string& title) {
    std::string fileTitle = title;
    for (char& c : fileTitle)
        if (c == ' ') c = '_';
    return fileTitle;
}

}  // namespace

std::string FindPrintedJob(const std::string& title, DWORD ms) {
    const std::string fileTitle = FileTitle(title);
    std::set<std::string> folders;
    std::string found;
    WaitFor([&] { return !(found = kvtest::FindCompletedPdf(fileTitle, folders)).empty(); }, ms);
    return found;
}

size_t CountPrintedJobs(const std::string& title, const std::string& pdf) {
    return kvtest::CountPrintedJobs(FileTitle(title), pdf, OutDir());
}

std::string RunUnix(const std::string& command, const std::string& work) {
    static int serial = 0;
    return kvtest::RunUnix(command, work + "\\unix-" + std::to_string(++serial) + ".txt");
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

JobRecord PrintedJobRecord(const std::string& pdf, DWORD ms) {
    JobRecord record;
    // cups-pdf names the file "<title>-job_<number>.pdf".
    const size_t at = pdf.rfind("job_");
    if (at == std::string::npos) return record;
    const int job = std::atoi(pdf.c_str() + at + 4);
    const std::string test = OutDir() + "\\job-attributes.test";
    std::ofstream(test) << "{\n OPERATION Get-Job-Attributes\n GROUP operation-attributes-tag\n"
                           " ATTR charset attributes-charset utf-8\n"
                           " ATTR naturalLanguage attributes-natural-language en\n"
                           " ATTR uri printer-uri $uri\n ATTR integer job-id "
                        << job
                        << "\n ATTR name requesting-user-name $user\n DISPLAY job-state\n DISPLAY copies\n"
                           " DISPLAY job-impressions-completed\n}\n";
    WaitFor(
        [&] {
            const std::string answer =
                RunUnix("ipptool -tv ipp://localhost/printers/PDF " + Quoted(UnixPath(test)), OutDir());
            int state = 0;
            const size_t s = answer.find("job-state (enum) = ");
            if (s == std::string::npos) return false;
            // A completed job reads "completed".
            state = answer.compare(s + 19, 9, "completed") == 0 ? 9 : 0;
            const size_t c = answer.find("copies (integer) = ");
            const size_t i = answer.find("job-impressions-completed (integer) = ");
            if (c != std::string::npos) record.copies = std::atoi(answer.c_str() + c + 19);
            if (i != std::string::npos) record.impressions = std::atoi(answer.c_str() + i + 38);
            return state == 9;
        },
        ms);
    return record;
}

long long GreyPage::Ink(int left, int top, int right, int bottom) const {
    long long ink = 0;
    for (int y = std::max(0, top); y < std::min(height, bottom); ++y)
        for (int x = std::max(0, left); x < std::min(width, right); ++x) ink += 255 - At(x, y);
    return ink;
}

GreyPage RasterisePdfPage(const std::string& pdf, int page, int dpi) {
    GreyPage grey;
    const std::string base = OutDir() + "\\page-" + std::to_string(page);
    const std::string n = std::to_string(page);
    RunUnix("pdftoppm -gray -r " + std::to_string(dpi) + " -f " + n + " -l " + n + " -singlefile " +
                Quoted(UnixPath(pdf)) + " " + Quoted(UnixPath(base)),
            OutDir());
    // A binary grey map: "P5", width, height, the largest level, one byte per pixel.
    const std::string bytes = ReadText(base + ".pgm");
    std::istringstream header(bytes);
    std::string magic;
    int maxLevel = 0;
    header >> magic >> grey.width >> grey.height >> maxLevel;
    const std::streamoff start = static_cast<std::streamoff>(header.tellg()) + 1;
    const size_t count = static_cast<size_t>(grey.width) * grey.height;
    if (magic != "P5" || maxLevel != 255 || grey.width <= 0 || start <= 0 ||
        bytes.size() < static_cast<size_t>(start) + count) {
        grey = GreyPage();
        return grey;
    }
    grey.pixels.assign(bytes.begin() + start, bytes.begin() + start + count);
    return grey;
}

}  // namespace e2e
