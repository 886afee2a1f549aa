// What the Read CD dialog, its lookup worker and the MP3 grid share.
//
// ReadCdScan is one run of the lookup worker: what the dialog hands it (drive, sources, server)
// and everything it finds (status, progress text, error, table of contents, matches, MP3 files).
// The dialog and the worker each hold a reference; the last one to let go deletes it, so a
// worker that outlives its dialog (Cancel while a request is under way) writes into an object
// that is still there and that nobody reads any more: its late results are dropped with it.
// Everything the worker writes and the dialog reads is guarded by the scan's lock.
//
// ReadCdState is the application object's part of it (KorvanelleApp derives from it): the drive
// chosen for the whole run, and the user-interface thread's copies of the scan's results, which
// the dialog takes from the scan on its timer and the MP3 grid reads.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/Core.h"
#include "disc/CDDB.h"
#include "disc/DiscTools.h"

// Worker status (ReadCdScan::m_status, ReadCdState::m_workerResult).
enum ReadCdStatus {
    kScanRunning = 0,
    kScanDone = 1,
    kScanNoMusic = 2,  // a data disc with the MP3 source off, or no MP3 file found
    kScanNoToc = 3,    // no usable table of contents: empty drive, unreadable disc
};

class ReadCdScan {
public:
    // A new scan with one reference (the caller's).
    static ReadCdScan* Create();
    void AddRef();
    void Release();
    // How many scans exist (the stress tests wait for every cancelled one to go).
    static LONG LiveCount();

    // Holds the scan's lock while it lives.
    class Lock {
    public:
        explicit Lock(ReadCdScan& scan) : m_scan(scan) { EnterCriticalSection(&m_scan.m_lock); }
        ~Lock() { LeaveCriticalSection(&m_scan.m_lock); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        ReadCdScan& m_scan;
    };

    // Asks the worker to stop at its next check (and any request or folder walk under way to end);
    // what it finds afterwards is not published.
    void Cancel();
    bool IsCancelled() const { return m_cancelled != 0; }

    // ---- set by the dialog before the worker starts; read-only afterwards ----
    CDiscTools* m_drives = nullptr;  // owned: a copy of the frame's drive list
    int m_driveIndex = 0;
    bool m_useFreedb = false;
    bool m_useCdText = false;
    bool m_useCdPlayerIni = false;
    bool m_useMp3 = false;
    CString m_cdPlayerPath;
    CCDDBSite m_server;               // the current server when the scan started
    CCDDBSite m_defaultServer;        // where a query goes when the current server cannot be reached
    CString m_mp3Root;                // the folder a data disc's MP3 files are looked for in ("D:\\")
    DWORD m_queryTimeout = 20000;     // the client's silence time-out
    DWORD m_queryDeadline = 60000;    // the most one reply may take in all
    DWORD m_queryPollInterval = 250;  // how long the client sleeps while nothing arrives
    DWORD m_lookupDeadline = 120000;  // the most the whole disc-database lookup may take

    // ---- written by the worker under the lock ----
    LONG m_status = kScanRunning;
    CString m_statusText;
    CString m_errorText;
    BYTE m_toc[CDiscTools::kTocSize];
    std::vector<CCDDBRecord*> m_records;  // owned
    // The query could not reach the current server and went to the default server instead;
    // the dialog makes that the current server (the worker never touches the global).
    bool m_serverFellBack = false;
    CCDDBSite m_fallbackServer;
    // MP3 files, in the directory reader's order. The count is set once every name is in.
    CStringArray m_mp3Names;
    int m_mp3FileCount = 0;
    CStringArray m_mp3TagTexts;
    CStringArray m_mp3Times;
    // The worker function has returned (whatever it reached).
    bool m_workerDone = false;

    // The stop request the worker's folder walk polls (CDirReader's stop flag).
    volatile BYTE m_stopFolderWalk = 0;
    // The stop request the worker's disc-database client polls.
    volatile LONG m_cancelled = 0;

    // Moves the records out (the caller owns them).
    std::vector<CCDDBRecord*> TakeRecords();
    void ClearRecords();

    // The worker's writes, each under the lock; nothing is written once the scan was cancelled.
    void SetStatusText(const CString& text);
    void SetError(const CString& text);
    void SetStatus(LONG status);
    void AddRecord(CCDDBRecord* record);  // takes it

private:
    ReadCdScan();
    ~ReadCdScan();
    ReadCdScan(const ReadCdScan&) = delete;
    ReadCdScan& operator=(const ReadCdScan&) = delete;

    CRITICAL_SECTION m_lock;
    volatile LONG m_refs = 1;
};

// Holds one reference to a scan; empty when made from null.
class ReadCdScanRef {
public:
    ReadCdScanRef() = default;
    // Adopts a reference the caller already holds.
    explicit ReadCdScanRef(ReadCdScan* adopted) : m_scan(adopted) {}
    ~ReadCdScanRef() { Reset(); }
    ReadCdScanRef(const ReadCdScanRef&) = delete;
    ReadCdScanRef& operator=(const ReadCdScanRef&) = delete;
    void Reset(ReadCdScan* adopted = nullptr) {
        if (m_scan) m_scan->Release();
        m_scan = adopted;
    }
    ReadCdScan* Get() const { return m_scan; }
    ReadCdScan* operator->() const { return m_scan; }
    ReadCdScan& operator*() const { return *m_scan; }
    explicit operator bool() const { return m_scan != nullptr; }

private:
    ReadCdScan* m_scan = nullptr;
};

struct ReadCdState {
    ReadCdState();
    virtual ~ReadCdState();
    ReadCdState(const ReadCdState&) = delete;
    ReadCdState& operator=(const ReadCdState&) = delete;

    // The registered state (the application object's), else a plain one of the disc layer's own.
    static ReadCdState& Get();
    static void SetCurrent(ReadCdState* state);

    // The worker status as the dialog last took it (ReadCdStatus).
    int m_workerResult = kScanRunning;
    // The match chosen in the Read CD dialog's list (-1 when none).
    int m_discMatch = -1;
    // The chosen drive's index in the frame's drive list, kept for the whole run.
    int m_cdDriveIndex = 0;
    // The MP3 files the dialog took from the scan: count, display names, tag texts and times.
    int m_mp3FileCount = 0;
    CStringArray m_mp3Names;
    CStringArray m_mp3TagTexts;
    CStringArray m_mp3Times;
};

// The user-interface thread's side of the lookup (read and written by the Read CD dialog only).
// The dialog is open and its scan may go on; cleared by Cancel, after a transfer and after the
// final messages.
extern BYTE g_scanActive;
// The worker's progress text and error text as the dialog last took them.
extern CString g_scanStatus;
extern CString g_scanError;
// The disc's table of contents as the finished scan read it; the transfer reads it.
extern BYTE g_tocBuffer[CDiscTools::kTocSize];
