// The count of a title's printed jobs, once the CUPS PDF queue has finished what it holds (see
// TestSupport.h). The queue's wait is the print checks' shell helper, run as a Unix program.
#include <windows.h>

#include "TestSupport.h"

namespace kvtest {

size_t CountPrintedJobs(const std::string& title, const std::string& pdf, const std::string& work) {
    RunUnix(". '" KV_SOURCE_DIR "/tests/print-jobs.sh'; queue_drain", work + "\\queue-drain.txt");
    std::set<std::string> folders;
    folders.insert(pdf.substr(0, pdf.find_last_of('\\')));
    return CompletedPdfs(title, folders).size();
}

}  // namespace kvtest
