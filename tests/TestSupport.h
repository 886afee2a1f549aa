// Helpers shared by the test programs.
#pragma once
#include <set>
#include <string>
#include <vector>

namespace kvtest {

// A fresh, empty folder below the test's working folder (removed first if it exists).
std::string TempDir(const std::string& name);

// Writes bytes to a file; returns false when it cannot.
bool WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes);

// Reads a whole file; empty when it cannot.
std::vector<unsigned char> ReadFileBytes(const std::string& path);

// Points this program's import of `function` from the system library `dll` at `replacement`
// while it lives, for behaviour Wine does not show (Windows' queued GDI drawing) or that cannot
// be had safely for real (a printer job). Valid() is false when the program has no such import.
class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    bool Valid() const { return m_slot != nullptr; }
    void* Original() const { return m_original; }

private:
    void** m_slot = nullptr;
    void* m_original = nullptr;
};

// A whole file as text ("" when it cannot be read).
std::string ReadText(const std::string& path);
// Paths between Wine's Z: drive and the Linux file system.
std::string UnixPath(const std::string& windowsPath);
std::string WindowsPath(const std::string& unixPath);
// A print job's title of this run alone: `base`, then "-" and the tag a checking script put in
// KV_PRINT_TAG (the queue's folder is the machine's, and other runs print into it too). The
// queue names its files after 31 characters of the title: `base` has 18 at most.
std::string PrintJobTitle(const char* base);
// The folder the CUPS PDF queue writes into now (its configuration's "Out" line), as a Z: path.
std::string PrintQueueFolder();
// One look for a printed job: a PDF whose name begins with `title` and that is complete (ends with
// %%EOF), in the queue's folder now or in any folder it named on an earlier look (kept in
// `folders`, as the queue's folder may change while a test waits). Its path, or "".
std::string FindCompletedPdf(const std::string& title, std::set<std::string>& folders);
// Every complete PDF of a job titled `title` in those folders: the queue names each after the
// title, then filler and "-job_<number>.pdf".
std::vector<std::string> CompletedPdfs(const std::string& title, std::set<std::string>& folders);
// How many jobs titled `title` the queue wrote into the folder of `pdf` (one of them) or its folder
// now, counted once the queue has finished the jobs it holds (60 s at most): a program that has
// ended, or a print call that has returned, has sent its jobs by then. A job printed twice, or one
// nobody asked for, makes it more than 1. `work` is a folder for the helper's output.
size_t CountPrintedJobs(const std::string& title, const std::string& pdf, const std::string& work);

// Runs `command` with /bin/sh as a Unix program, its standard output and error going to the file
// `output`, dispatching the thread's messages meanwhile; the output, or empty after 60 s. Wine
// gives no handle to wait on for a Unix program: the file appears, renamed into place, at its end.
std::string RunUnix(const std::string& command, const std::string& output);

}  // namespace kvtest
