// The disc-database servers: the built-in list, the current server and the
// stored server setting.
#pragma once

#include <vector>

#include "framework/Core.h"
#include "disc/CDDB.h"

// The host of the default server, first of the built-in list.
extern const char kDefaultFreedbHost[];

extern std::vector<CCDDBSite> g_serverSites;
// The server the Read CD worker sends its requests to.
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

// Asks the server for its list; on success with at least one server the list
// replaces g_serverSites. True when it was replaced.
bool FetchServerList(CCDDB& client, const CCDDBSite& site);
// The thread function of the fetch from the default server. pParam points to
// a LONG that receives 1 when the list was received and 2 otherwise.
unsigned __stdcall GetServerListWorker(void* pParam);
// Sets *pResult to 0 and starts GetServerListWorker at the highest priority.
// False when the thread could not be started (*pResult is then 2).
bool StartServerListFetch(volatile LONG* pResult);
// The same with the server to ask.
bool StartServerListFetch(volatile LONG* pResult, const CCDDBSite& site);
// The default server: its host, port 80 and the CGI path.
CCDDBSite DefaultServerSite();
