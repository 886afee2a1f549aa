// The lookup worker of the Read CD dialog.
#include "disc/ReadCdWorker.h"

#include <process.h>

#include <algorithm>
#include <memory>

#include "disc/CDDB.h"
#include "framework/core/OperationError.h"
#include "disc/Mp3HeaderReader.h"
#include "disc/ReadCdSources.h"
#include "framework/core/DirReader.h"

namespace {

volatile LONG g_runningWorkers = 0;

bool IsDataDescriptor(const BYTE* pToc, int i) {
    return pToc[4 + 8 * i + 1] == 0x14;
}

const char kTimeoutMessage[] = "Error: The Freedb server did not respond in time. (Timeout)";

// The time left of the whole disc-database lookup: every request gets at most that long, so that
// a server that answers each request slowly but within its own deadline cannot hold the lookup
// for many minutes.
class LookupClock {
public:
    explicit LookupClock(DWORD deadline) : m_started(GetTickCount()), m_deadline(deadline) {}
    DWORD Remaining() const {
        const DWORD spent = GetTickCount() - m_started;
        return spent >= m_deadline ? 0 : m_deadline - spent;
    }
    bool Expired() const { return Remaining() == 0; }

private:
    DWORD m_started;
    DWORD m_deadline;
};

// The disc database: the query, then one record per match. False when the scan was cancelled.
bool LookUpFreedb(ReadCdScan& scan, const CDiscTools& tools, const BYTE* toc) {
    const LookupClock clock(scan.m_lookupDeadline);
    scan.SetStatusText(" Connecting to " + scan.m_server.m_host + " ");
    const CString command = tools.BuildQueryCommand(toc);
    if (scan.IsCancelled()) return false;
    scan.SetStatusText(" Searching " + scan.m_server.m_host + " ");
    CCDDB client;
    client.m_timeout = scan.m_queryTimeout;
    client.m_pollInterval = scan.m_queryPollInterval;
    client.m_pStop = &scan.m_cancelled;
    auto limitRequest = [&] { client.m_deadline = std::min(scan.m_queryDeadline, clock.Remaining()); };
    std::vector<CCDDBQueryResult> matches;
    CCDDBSite site = scan.m_server;
    limitRequest();
    int result = client.Query(site, command, matches);
    if (result == CCDDB::kQueryNoConnection && !scan.IsCancelled()) {
        // The current server cannot be reached: the default server is asked once, and stays the
        // current server (the dialog makes it so).
        site = scan.m_defaultServer;
        {
            ReadCdScan::Lock lock(scan);
            scan.m_serverFellBack = true;
            scan.m_fallbackServer = site;
        }
        limitRequest();
        result = client.Query(site, command, matches);
    }
    if (scan.IsCancelled()) return false;
    if (result != CCDDB::kQueryDone) {
        scan.SetError(QueryFailureMessage(result, client.m_serverMessage));
        return true;
    }
    if (matches.empty()) return true;
    // The chooser lists the records in reply order; a reply of thousands of inexact matches
    // would keep the user waiting for records nobody scrolls to.
    if (matches.size() > (size_t)kMaxFreedbRecords) matches.resize(kMaxFreedbRecords);
    std::vector<std::unique_ptr<CCDDBRecord>> read;
    bool outOfTime = false;
    for (const CCDDBQueryResult& match : matches) {
        CString progress;
        progress.Format(" Retrieving Freedb records (%d of %d)", (int)read.size() + 1, (int)matches.size());
        scan.SetStatusText(progress);
        if (scan.IsCancelled()) return false;
        if (!clock.Expired()) {
            limitRequest();
            std::unique_ptr<CCDDBRecord> record(new CCDDBRecord);
            if (client.ReadRecord(site, match.m_discId, match.m_category, *record)) {
                record->m_source = "Freedb";
                read.push_back(std::move(record));
                continue;
            }
            if (scan.IsCancelled()) return false;
            if (!clock.Expired()) {
                scan.SetError("Error: Could not read the Freedb record.");
                return true;
            }
        }
        // The lookup's time ran out before this record or in the middle of it: the ones read are
        // offered.
        outOfTime = true;
        break;
    }
    for (std::unique_ptr<CCDDBRecord>& r : read) scan.AddRecord(r.release());
    if (outOfTime) scan.SetError(kTimeoutMessage);
    return true;
}

void LookUpCdPlayerIni(ReadCdScan& scan, const BYTE* toc) {
    scan.SetStatusText(" Scanning CDPlayer File ");
    CString text;
    if (!ReadTextFile(scan.m_cdPlayerPath, text)) return;
    CCDDBRecord* record = new CCDDBRecord;
    if (ParseCdPlayerIni(text, CdPlayerIniKey(toc), *record))
        scan.AddRecord(record);
    else
        delete record;
}

void RunAudioPath(ReadCdScan& scan, const CDiscTools& tools, const BYTE* toc, const CdTextInfo& cdText) {
    const int n = toc[3] - toc[2] + 1;
    if (scan.m_useFreedb && !LookUpFreedb(scan, tools, toc)) return;
    if (scan.m_useCdText) {
        scan.SetStatusText(" Scanning CD-TEXT ");
        CCDDBRecord* record = new CCDDBRecord;
        if (MakeCdTextRecord(cdText, n, *record))
            scan.AddRecord(record);
        else
            delete record;
    }
    if (scan.IsCancelled()) return;
    if (scan.m_useCdPlayerIni) LookUpCdPlayerIni(scan, toc);
    scan.SetStatus(kScanDone);
}

void RunMp3Path(ReadCdScan& scan) {
    if (!scan.m_useMp3) {
        scan.SetStatus(kScanNoMusic);
        return;
    }
    // The scan's own stop request and its own lists: another folder walk (the image panel's)
    // neither stops this one nor adds to it.
    CDirReader reader(&scan.m_stopFolderWalk);
    reader.m_recurse = true;
    reader.ClearDirList();
    reader.ClearFileList();
    if (!reader.ScanFolder(scan.m_mp3Root, "") || !reader.CollectFiles("*.mp3")) {
        if (!scan.IsCancelled()) scan.SetStatus(kScanNoMusic);
        return;
    }
    std::vector<CString> paths;
    for (const CDirReader::FileEntry& file : reader.m_files) {
        if (scan.IsCancelled()) return;
        paths.push_back(file.path);
        const CString name = MakeMp3DisplayName(file.path);
        scan.SetStatusText(" " + name);
        ReadCdScan::Lock lock(scan);
        scan.m_mp3Names.Add(name);
    }
    if (paths.empty()) {
        scan.SetStatus(kScanNoMusic);
        return;
    }
    {
        ReadCdScan::Lock lock(scan);
        scan.m_mp3FileCount = (int)paths.size();
    }
    Mp3HeaderReader durations;
    for (size_t i = 0; i < paths.size(); ++i) {
        if (scan.IsCancelled()) return;
        CString tagText = ReadMp3TagText(paths[i]);
        if (!tagText.IsEmpty()) tagText = CleanMp3TagText(tagText);
        const CString time = durations.GetMp3Duration(paths[i]);
        ReadCdScan::Lock lock(scan);
        scan.m_statusText = " " + (tagText.IsEmpty() ? scan.m_mp3Names[i] : tagText);
        scan.m_mp3TagTexts.Add(tagText);
        scan.m_mp3Times.Add(time);
    }
    // The dialog sets the status once it has taken every time.
}

void RunScan(ReadCdScan& scan) {
    CDiscTools tools;
    if (scan.m_drives) tools.InitFrom(*scan.m_drives);
    BYTE toc[CDiscTools::kTocSize];
    memset(toc, 0, sizeof(toc));
    CdTextInfo cdText;
    tools.ReadToc(scan.m_driveIndex, toc, scan.m_useCdText, &cdText);
    tools.FreeDrives();
    {
        ReadCdScan::Lock lock(scan);
        memcpy(scan.m_toc, toc, sizeof(toc));
    }
    // The table of contents is checked as the engine checks it: the track numbers, the length of
    // the reply and rising addresses.
    const int first = toc[2], last = toc[3];
    if (first == 0 || last == 0 || last - first + 1 <= 0 || !CDiscTools::IsTocUsable(toc)) {
        scan.SetStatus(kScanNoToc);
        return;
    }
    const int n = last - first + 1;
    bool allData = true;
    for (int i = 0; i < n && allData; ++i) allData = IsDataDescriptor(toc, i);
    if (allData)
        RunMp3Path(scan);
    else
        RunAudioPath(scan, tools, toc, cdText);
}

}  // namespace

CString QueryFailureMessage(int result, const CString& serverMessage) {
    switch (result) {
        case CCDDB::kQueryServerError:
            return "The Freedb server answered with an error:\r\n\r\n" +
                   (serverMessage.IsEmpty() ? CString("(no message)") : serverMessage);
        case CCDDB::kQueryTooLarge:
            return "Error: The Freedb server's reply was too large.";
        case CCDDB::kQueryNoSocket:
            return "Korvanelle requires an internet connection to search the Freedb database.";
        case CCDDB::kQueryNoConnection:
            return "Korvanelle could not connect to the Freedb server.\r\n\r\nPlease try using a different "
                   "Freedb "
                   "server in the 'Advanced Settings'.\r\nAlso make sure your computer is connected to the "
                   "internet "
                   "and\r\nthat there is no firewall software blocking Korvanelle.\r\n\r\nYou may have to "
                   "re-boot "
                   "your computer to correct this problem.";
        case CCDDB::kQueryNoReply:
            return kTimeoutMessage;
        default:
            return "An unexpected error occurred while connected to the Freedb server.";
    }
}

unsigned __stdcall ReadCdWorker(void* pParam) {
    ReadCdScan* scan = static_cast<ReadCdScan*>(pParam);
    if (!GuardOperation(3314, [&] { RunScan(*scan); })) scan->SetStatus(kScanNoToc);
    {
        ReadCdScan::Lock lock(*scan);
        scan->m_workerDone = true;
    }
    scan->Release();
    InterlockedDecrement(&g_runningWorkers);
    return 1;
}

bool StartReadCdWorker(ReadCdScan* scan) {
    scan->AddRef();
    InterlockedIncrement(&g_runningWorkers);
    unsigned id = 0;
    HANDLE thread = (HANDLE)_beginthreadex(nullptr, 0, &ReadCdWorker, scan, CREATE_SUSPENDED, &id);
    if (!thread) {
        InterlockedDecrement(&g_runningWorkers);
        scan->Release();
        return false;
    }
    SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST);
    ResumeThread(thread);
    CloseHandle(thread);
    return true;
}

LONG RunningReadCdWorkers() {
    return InterlockedCompareExchange(&g_runningWorkers, 0, 0);
}
