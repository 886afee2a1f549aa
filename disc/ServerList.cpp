#include "disc/ServerList.h"

#include <process.h>

#include <cstdlib>

#include "disc/SettingsLookup.h"
#include "framework/core/OperationError.h"

const char kDefaultFreedbHost[] = "freedb.freedb.org";

std::vector<CCDDBSite> g_serverSites;
CCDDBSite g_currentServer;
CString g_serverReserved[4];
CString g_serverListStatus;

namespace {

const char kSeparator = '`';
const char kDefaultPath[] = "/~cddb/cddb.cgi";

// The default server first, then three more public servers of the same database.
const char* const kBuiltInHosts[4] = {kDefaultFreedbHost, "us.freedb.org", "ca.freedb.org", "at.freedb.org"};

CString DefaultSetting() {
    CString s;
    s.Format("%s`80`%s`Random freedb server`0`````", kDefaultFreedbHost, kDefaultPath);
    return s;
}

CString CleanField(const CString& field) {
    CString out;
    for (int i = 0; i < field.GetLength(); ++i) {
        unsigned char c = (unsigned char)field.GetAt(i);
        if (c == (unsigned char)kSeparator || c < 0x20 || c == 0x7F) continue;
        out += (char)c;
    }
    return out;
}

}  // namespace

void InitServerList() {
    GuardOperation(9120, [&] {
        if (g_freedbServer.IsEmpty()) g_freedbServer = DefaultSetting();
        g_serverSites.clear();
        for (const char* host : kBuiltInHosts) {
            CCDDBSite site;
            site.m_host = host;
            site.m_port = 80;
            site.m_path = kDefaultPath;
            g_serverSites.push_back(site);
        }
        CString fields[9];
        int start = 0;
        for (int f = 0; f < 9; ++f) {
            if (start > g_freedbServer.GetLength()) break;
            int sep = g_freedbServer.Find(kSeparator, start);
            if (sep < 0) {
                fields[f] = g_freedbServer.Mid(start);
                break;
            }
            fields[f] = g_freedbServer.Mid(start, sep - start);
            start = sep + 1;
        }
        g_currentServer.m_host = fields[0];
        g_currentServer.m_port = atoi(fields[1]);
        g_currentServer.m_path = fields[2];
        g_currentServer.m_description = fields[3];
        for (int i = 0; i < 4; ++i) g_serverReserved[i] = fields[5 + i];
    });
}

void FreeDiscDatabaseState() {
    GuardOperation(9121, [&] {
        g_serverSites.clear();
        ClearDiscRecords();
    });
}

CString BuildServerSetting() {
    CString s;
    s += CleanField(g_currentServer.m_host) + kSeparator;
    CString port;
    port.Format("%d", g_currentServer.m_port);
    s += port + kSeparator;
    s += CleanField(g_currentServer.m_path) + kSeparator;
    s += CleanField(g_currentServer.m_description) + kSeparator;
    s += CString("0") + kSeparator;
    for (int i = 0; i < 4; ++i) s += CleanField(g_serverReserved[i]) + kSeparator;
    return s;
}

bool FetchServerList(CCDDB& client, const CCDDBSite& site, std::vector<CCDDBSite>& sites) {
    std::vector<CCDDBSite> received;
    if (!client.GetSites(received, site)) return false;
    // A reply that names no usable server would leave nothing to choose from.
    if (received.empty()) return false;
    sites.swap(received);
    return true;
}

CCDDBSite DefaultServerSite() {
    CCDDBSite site;
    site.m_host = kDefaultFreedbHost;
    site.m_path = kDefaultPath;
    site.m_port = 80;
    return site;
}

// ---- ServerListFetch ----------------------------------------------------------------------------

namespace {

volatile LONG g_runningFetches = 0;

// Holds a lock for its scope.
class CriticalLock {
public:
    explicit CriticalLock(CRITICAL_SECTION& cs) : m_cs(cs) { EnterCriticalSection(&m_cs); }
    ~CriticalLock() { LeaveCriticalSection(&m_cs); }
    CriticalLock(const CriticalLock&) = delete;
    CriticalLock& operator=(const CriticalLock&) = delete;

private:
    CRITICAL_SECTION& m_cs;
};

}  // namespace

ServerListFetch::ServerListFetch(const CCDDBSite& site, HWND notify, UINT message)
    : m_site(site), m_notify(notify), m_message(message) {
    InitializeCriticalSection(&m_lock);
}

ServerListFetch::~ServerListFetch() {
    DeleteCriticalSection(&m_lock);
}

ServerListFetch* ServerListFetch::Start(const CCDDBSite& site, HWND notify, UINT message) {
    ServerListFetch* fetch = new ServerListFetch(site, notify, message);
    fetch->AddRef();  // the thread's
    InterlockedIncrement(&g_runningFetches);
    unsigned id = 0;
    HANDLE h = (HANDLE)_beginthreadex(nullptr, 0, &ServerListFetch::Thread, fetch, CREATE_SUSPENDED, &id);
    if (!h) {
        InterlockedDecrement(&g_runningFetches);
        fetch->Release();
        fetch->Release();
        return nullptr;
    }
    SetThreadPriority(h, THREAD_PRIORITY_HIGHEST);
    ResumeThread(h);
    CloseHandle(h);
    return fetch;
}

unsigned __stdcall ServerListFetch::Thread(void* pParam) {
    ServerListFetch* fetch = static_cast<ServerListFetch*>(pParam);
    std::vector<CCDDBSite> sites;
    bool received = false;
    GuardOperation(9122, [&] {
        CCDDB client;
        received = FetchServerList(client, fetch->m_site, sites);
    });
    {
        CriticalLock lock(fetch->m_lock);
        fetch->m_sites.swap(sites);
        fetch->m_result = received ? kReceived : kFailed;
        if (fetch->m_notify) PostMessage(fetch->m_notify, fetch->m_message, 0, 0);
    }
    fetch->Release();
    InterlockedDecrement(&g_runningFetches);
    return 1;
}

void ServerListFetch::AddRef() {
    InterlockedIncrement(&m_refs);
}

void ServerListFetch::Release() {
    if (InterlockedDecrement(&m_refs) == 0) delete this;
}

void ServerListFetch::Detach() {
    CriticalLock lock(m_lock);
    m_notify = nullptr;
}

LONG ServerListFetch::TakeResult(std::vector<CCDDBSite>& sites) {
    CriticalLock lock(m_lock);
    if (m_result == kReceived) sites.swap(m_sites);
    return m_result;
}

LONG ServerListFetch::Running() {
    return InterlockedCompareExchange(&g_runningFetches, 0, 0);
}
