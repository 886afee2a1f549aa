// The client of the freedb disc database: CDDB commands over HTTP 1.0, one
// connection per request.
#pragma once

#include <winsock.h>

#include <vector>

#include "framework/Core.h"
#include "disc/CDDBRecord.h"

// One disc-database server.
class CCDDBSite {
public:
    CCDDBSite() = default;
    // One line of a sites reply: "host http port path N000.00 W000.00 description".
    bool Parse(LPCSTR pszLine);

    CString m_host;
    int m_port = 80;
    CString m_path = "/~cddb/cddb.cgi";
    int m_north = 1;
    int m_latitude = 0;  // minutes of arc
    int m_east = 1;
    int m_longitude = 0;  // minutes of arc
    CString m_description;
};

class CCDDB {
public:
    // Query results.
    enum {
        kQueryDone = 0,
        kQueryNoSocket = 1,
        kQueryNoConnection = 2,
        kQuerySendFailed = 3,
        kQueryNoReply = 4,
        // A reply came, but not one the query can use: no blank line behind its headers.
        kQueryBadReply = 5,
        // The server answered with an error code; its status line is in m_serverMessage.
        kQueryServerError = 6,
        // The reply grew past m_maxReply and was given up.
        kQueryTooLarge = 7,
        // The connection broke off before the reply was complete: the server closed or reset it
        // (after garbage, say), or the socket failed.
        kQueryConnectionLost = 8
    };
    // Failure kinds left in the thread's socket error.
    enum {
        kErrorTimeout = 10060,
        kErrorProtocol = 10043,
        kErrorNoHost = 10022,
        kErrorTooLarge = 10040,
        kErrorClosed = 10101  // the server closed the connection before the reply was complete
    };

    CCDDB() = default;
    virtual ~CCDDB() = default;

    int Query(const CCDDBSite& site, LPCSTR pszQueryCommand, std::vector<CCDDBQueryResult>& results);
    bool ReadRecord(const CCDDBSite& site, DWORD discId, LPCSTR pszCategory, CCDDBRecord& record);
    bool GetSites(std::vector<CCDDBSite>& sites, const CCDDBSite& site);
    bool GetSites(std::vector<CCDDBSite>& sites, LPCSTR pszHost, LPCSTR pszPath, int port);

    virtual CString GetHelloString();
    // The one shape of every request: the command and the hello text as the query of the site's
    // program, and no header behind the request line.
    CString BuildRequest(const CCDDBSite& site, LPCSTR pszCommand);
    virtual CString GetUserName();
    virtual CString GetHostName();
    // Takes in a reply until the end marker (or, in mode 1, until a reply that
    // is not a list has its first line). On success *ppBuffer holds the text,
    // zero-terminated, allocated with malloc; the caller frees it.
    virtual bool Receive(SOCKET s, LPCSTR pszEndMarker, char** ppBuffer, int chunk, int mode);

    // The parsers of the three replies (the text behind the HTTP headers). False
    // (socket error 10043) when the reply is not what the request expects.
    bool ParseQueryReply(LPCSTR pszBody, std::vector<CCDDBQueryResult>& results);
    bool ParseRecordReply(LPCSTR pszBody, CCDDBRecord& record);
    bool ParseSitesReply(LPCSTR pszBody, std::vector<CCDDBSite>& sites);

    DWORD m_timeout = 20000;  // milliseconds of silence before a reply is given up
    // Milliseconds one reply may take in all: a server that keeps sending a byte now and then
    // never reaches the silence time-out, and must not hold a lookup for minutes.
    DWORD m_deadline = 60000;
    // Who this client says it is in the hello text of every request.
    CString m_clientName = "KorvanelleCDDB";
    CString m_clientVersion = "1.22";
    int m_protocolLevel = 5;
    // How long Receive sleeps when nothing has arrived, and the most a reply may
    // hold; tests shorten the one and may lower the other.
    DWORD m_pollInterval = 250;
    DWORD m_maxReply = 1024 * 1024;
    // The buffer size Receive ended with (for diagnostics and tests).
    DWORD m_lastCapacity = 0;
    // The status line of the last query reply that carried an error code (printable characters
    // only, at most kMaxServerMessage of them); empty otherwise.
    CString m_serverMessage;
    static const int kMaxServerMessage = 200;
    // When set, a non-zero value makes Receive give up at its next pass (the owner of the
    // lookup was cancelled): nobody waits for the rest of a reply that nobody will read.
    volatile const LONG* m_pStop = nullptr;

protected:
    // Dotted address or host name; false (10022 for a name that does not resolve) on failure.
    virtual bool ConnectToHost(SOCKET s, LPCSTR pszHost, int port);
    // Connects, sends the request and receives the reply in mode 0; the body
    // behind the headers in *pBody (null when the headers do not end).
    bool Exchange(const CCDDBSite& site, const CString& request, char** ppBuffer, const char** ppBody);
};
