// The disc-database servers: the built-in list, the current server and the
// stored server setting.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/Core.h"
#include "disc/CDDB.h"

// The host of the default server, first of the built-in list.
extern const char kDefaultFreedbHost[];

extern std::vector<CCDDBSite> g_serverSites;
// The server of the Read CD lookups: the dialog hands each worker it starts a copy (the worker
// never reads this global).
extern CCDDBSite g_currentServer;
// Fields 6 to 9 of the server setting, kept as read.
extern CString g_serverReserved[4];
// The progress text of the server-list fetch.
extern CString g_serverListStatus;

// At start-up, after the settings are loaded.
void InitServerList();
// At shut-down: empties the server list and the disc records.
void FreeDiscDatabaseState();

// The server setting for g_freedbServer from g_currentServer and
// g_serverReserved: nine fields, each followed by '`'. A separator or a
// control character inside a field is dropped, so that no field can spill
// into the next.
CString BuildServerSetting();

// Asks the server for its list into `sites`; false when the server gave none (no reply, an
// error, or no usable line). `sites` is left as it was on failure.
bool FetchServerList(CCDDB& client, const CCDDBSite& site, std::vector<CCDDBSite>& sites);

// One server-list fetch, run on a thread of its own. It writes only into itself: its result and
// the list it received. When it ends it posts `message` to the window it was started for, unless
// that window let go of it first (Detach). The thread and the owner each hold a reference; the
// last to let go deletes it, so a fetch that outlives its dialog, or the program's shut-down,
// writes nowhere that anybody else reads.
class ServerListFetch {
public:
    enum { kRunning = 0, kReceived = 1, kFailed = 2 };

    // Starts the fetch from `site` at the highest priority; the caller holds the one reference
    // returned (null when no thread could be started).
    static ServerListFetch* Start(const CCDDBSite& site, HWND notify, UINT message);
    void AddRef();
    void Release();
    // The owner no longer wants the message (its window is going).
    void Detach();
    // kRunning, kReceived or kFailed; with kReceived the list is moved into `sites`.
    LONG TakeResult(std::vector<CCDDBSite>& sites);
    // Fetches whose thread has not yet returned (tests wait for them).
    static LONG Running();

private:
    ServerListFetch(const CCDDBSite& site, HWND notify, UINT message);
    ~ServerListFetch();
    ServerListFetch(const ServerListFetch&) = delete;
    ServerListFetch& operator=(const ServerListFetch&) = delete;
    static unsigned __stdcall Thread(void* pParam);

    CRITICAL_SECTION m_lock;
    volatile LONG m_refs = 1;
    const CCDDBSite m_site;
    HWND m_notify;
    const UINT m_message;
    LONG m_result = kRunning;
    std::vector<CCDDBSite> m_sites;
};

// The default server: its host, port 80 and the CGI path.
CCDDBSite DefaultServerSite();
