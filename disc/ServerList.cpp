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

bool FetchServerList(CCDDB& client, const CCDDBSite& site) {
    std::vector<CCDDBSite> sites;
    if (!client.GetSites(sites, site)) return false;
    // A reply that names no usable server would leave nothing to choose from.
    if (sites.empty()) return false;
    g_serverSites = sites;
    return true;
}

namespace {

// What one fetch is given: where its result goes and the server it asks.
struct FetchRequest {
    volatile LONG* pResult;
    CCDDBSite site;
};

unsigned __stdcall FetchWorker(void* pParam) {
    FetchRequest* request = static_cast<FetchRequest*>(pParam);
    LONG result = 2;
    GuardOperation(9122, [&] {
        CCDDB client;
        if (FetchServerList(client, request->site)) result = 1;
    });
    if (request->pResult) InterlockedExchange(request->pResult, result);
    delete request;
    return 1;
}

}  // namespace

CCDDBSite DefaultServerSite() {
    CCDDBSite site;
    site.m_host = kDefaultFreedbHost;
    site.m_path = kDefaultPath;
    site.m_port = 80;
    return site;
}

unsigned __stdcall GetServerListWorker(void* pParam) {
    return FetchWorker(new FetchRequest{static_cast<volatile LONG*>(pParam), DefaultServerSite()});
}

bool StartServerListFetch(volatile LONG* pResult) {
    return StartServerListFetch(pResult, DefaultServerSite());
}

bool StartServerListFetch(volatile LONG* pResult, const CCDDBSite& site) {
    *pResult = 0;
    unsigned id = 0;
    FetchRequest* request = new FetchRequest{pResult, site};
    HANDLE h = (HANDLE)_beginthreadex(nullptr, 0, FetchWorker, request, CREATE_SUSPENDED, &id);
    if (!h) {
        delete request;
        *pResult = 2;
        return false;
    }
    SetThreadPriority(h, THREAD_PRIORITY_HIGHEST);
    ResumeThread(h);
    CloseHandle(h);
    return true;
}
