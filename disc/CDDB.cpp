#include "disc/CDDB.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "framework/core/OperationError.h"

namespace {

const char kEndMarker[] = "\r\n.\r\n";
const int kChunk = 4096;

// Closes the socket on every way out, keeping the socket error of the failure.
class SocketGuard {
public:
    explicit SocketGuard(SOCKET s) : m_s(s) {}
    ~SocketGuard() { Close(); }
    SocketGuard(const SocketGuard&) = delete;
    SocketGuard& operator=(const SocketGuard&) = delete;
    SOCKET Get() const { return m_s; }
    void Reset(SOCKET s) {
        Close();
        m_s = s;
    }
    void Close() {
        if (m_s == INVALID_SOCKET) return;
        int err = WSAGetLastError();
        closesocket(m_s);
        WSASetLastError(err);
        m_s = INVALID_SOCKET;
    }

private:
    SOCKET m_s;
};

struct FreeDeleter {
    void operator()(char* p) const { free(p); }
};
typedef std::unique_ptr<char, FreeDeleter> ReplyBuffer;

// Position of pat in buf[from, len), or -1.
long FindBytes(const char* buf, size_t len, const char* pat, size_t from) {
    size_t n = strlen(pat);
    if (n == 0 || len < n) return -1;
    for (size_t i = from; i + n <= len; ++i) {
        if (buf[i] == pat[0] && memcmp(buf + i, pat, n) == 0) return (long)i;
    }
    return -1;
}

// Letters and digits stay; everything else becomes "_".
CString CleanName(const char* p) {
    CString out(p);
    for (int i = 0; i < out.GetLength(); ++i) {
        unsigned char c = (unsigned char)out.GetAt(i);
        if (!isalnum(c) || c >= 0x80) out.SetAt(i, '_');
    }
    return out;
}

// The first line of a reply body, printable characters only and at most kMaxServerMessage.
CString StatusLine(const char* body) {
    CString line;
    for (const char* p = body; *p && *p != '\r' && *p != '\n'; ++p) {
        if (line.GetLength() >= CCDDB::kMaxServerMessage) break;
        const unsigned char c = (unsigned char)*p;
        line += (c < 0x20 || c == 0x7F) ? ' ' : (char)c;
    }
    line.Trim();
    return line;
}

bool SendAll(SOCKET s, const CString& request) {
    int len = request.GetLength();
    return send(s, (LPCSTR)request, len, 0) == len;
}

}  // namespace

CString CCDDB::GetUserName() {
    char name[260];
    DWORD size = sizeof(name);
    if (!::GetUserNameA(name, &size)) return CString("Unknown");
    name[sizeof(name) - 1] = 0;
    return CleanName(name);
}

CString CCDDB::GetHostName() {
    char name[260];
    if (gethostname(name, sizeof(name)) != 0) return CString("Unknown");
    name[sizeof(name) - 1] = 0;
    return CleanName(name);
}

CString CCDDB::GetHelloString() {
    CString hello;
    hello.Format("hello=%s+%s+%s+%s&proto=%d", (LPCSTR)GetUserName(), (LPCSTR)GetHostName(),
                 (LPCSTR)m_clientName, (LPCSTR)m_clientVersion, m_protocolLevel);
    return hello;
}

CString CCDDB::BuildRequest(const CCDDBSite& site, LPCSTR pszCommand) {
    CString request;
    request.Format("GET %s?cmd=%s&%s HTTP/1.0\r\n\r\n", (LPCSTR)site.m_path, pszCommand ? pszCommand : "",
                   (LPCSTR)GetHelloString());
    return request;
}

bool CCDDB::ConnectToHost(SOCKET s, LPCSTR pszHost, int port) {
    sockaddr_in addr;
    memset(&addr, 0, sizeof(addr));
    addr.sin_family = AF_INET;
    addr.sin_port = htons((u_short)port);
    unsigned long ip = inet_addr(pszHost);
    if (ip == INADDR_NONE) {
        hostent* host = gethostbyname(pszHost);
        if (!host || !host->h_addr_list || !host->h_addr_list[0] || host->h_length != 4) {
            WSASetLastError(kErrorNoHost);
            return false;
        }
        memcpy(&ip, host->h_addr_list[0], 4);
    }
    addr.sin_addr.s_addr = ip;
    return connect(s, (sockaddr*)&addr, sizeof(addr)) == 0;
}

bool CCDDB::Receive(SOCKET s, LPCSTR pszEndMarker, char** ppBuffer, int chunk, int mode) {
    *ppBuffer = nullptr;
    if (chunk < 16) chunk = 16;
    size_t capacity = (size_t)chunk;
    ReplyBuffer buf((char*)malloc(capacity));
    if (!buf) {
        WSASetLastError(WSAENOBUFS);
        return false;
    }
    buf.get()[0] = 0;
    m_lastCapacity = (DWORD)capacity;
    size_t received = 0;
    size_t markerLen = strlen(pszEndMarker);
    const DWORD started = GetTickCount();
    DWORD lastData = started;
    bool stop = false;
    bool modeDecided = false;
    for (;;) {
        if (stop) {
            *ppBuffer = buf.release();
            return true;
        }
        if (m_pStop && *m_pStop) {
            WSASetLastError(WSAEINTR);
            return false;
        }
        const DWORD now = GetTickCount();
        if ((DWORD)(now - lastData) > m_timeout || (DWORD)(now - started) > m_deadline) {
            WSASetLastError(kErrorTimeout);
            return false;
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(s, &readable);
        timeval noWait = {0, 0};
        int ready = select(0, &readable, nullptr, nullptr, &noWait);
        if (ready == SOCKET_ERROR) return false;
        if (ready == 0) {
            Sleep(m_pollInterval);
            continue;
        }
        long room = (long)capacity - (long)received - 1;
        if (room < 0) room = 0;
        int got = recv(s, buf.get() + received, (int)room, 0);
        if (got < 0) return false;  // reset, or another failure of the socket: its own error
        if (got == 0) {
            // A closed connection leaves no error of its own; the one left from earlier might
            // read as a time-out.
            WSASetLastError(kErrorClosed);
            return false;
        }
        size_t before = received;
        received += (size_t)got;
        lastData = GetTickCount();
        buf.get()[received] = 0;

        if (mode == 1 && !modeDecided) {
            // A reply that is not a list (200 one match, 202 none, an error code) has
            // no end marker: it is complete with its first line.
            long headerEnd = FindBytes(buf.get(), received, "\r\n\r\n", 0);
            if (headerEnd >= 0) {
                const char* body = buf.get() + headerEnd + 4;
                size_t bodyLen = received - (size_t)(headerEnd + 4);
                if (bodyLen >= 3) {
                    bool digits = isdigit((unsigned char)body[0]) && isdigit((unsigned char)body[1]) &&
                                  isdigit((unsigned char)body[2]);
                    int code = digits ? (body[0] - '0') * 100 + (body[1] - '0') * 10 + (body[2] - '0') : -1;
                    if (code < 210 || code > 219) {
                        // Wait for the whole status line unless it is there already.
                        if (memchr(body, '\n', bodyLen)) {
                            modeDecided = true;
                            stop = true;
                        }
                    } else {
                        modeDecided = true;
                    }
                }
            }
        }

        size_t from = before >= markerLen ? before - (markerLen - 1) : 0;
        long marker = FindBytes(buf.get(), received, pszEndMarker, from);
        if (marker >= 0) {
            buf.get()[marker] = 0;
            *ppBuffer = buf.release();
            return true;
        }

        if ((long)got == room) {
            if (capacity + (size_t)chunk > (size_t)m_maxReply) {
                // Far more than any reply of the protocol: the server is not answering it.
                WSASetLastError(kErrorTooLarge);
                return false;
            }
            char* bigger = (char*)realloc(buf.get(), capacity + (size_t)chunk);
            if (!bigger) {
                WSASetLastError(WSAENOBUFS);
                return false;
            }
            buf.release();
            buf.reset(bigger);
            capacity += (size_t)chunk;
            m_lastCapacity = (DWORD)capacity;
        }
    }
}

int CCDDB::Query(const CCDDBSite& site, LPCSTR pszQueryCommand, std::vector<CCDDBQueryResult>& results) {
    return GuardOperation<int>(9110, kQueryNoReply, [&]() -> int {
        results.clear();
        m_serverMessage.Empty();
        SocketGuard sock(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        if (sock.Get() == INVALID_SOCKET) return kQueryNoSocket;
        if (!ConnectToHost(sock.Get(), site.m_host, site.m_port)) {
            // One more attempt on a fresh socket; when it connects the query goes on over it.
            sock.Reset(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
            if (sock.Get() == INVALID_SOCKET) return kQueryNoConnection;
            if (!ConnectToHost(sock.Get(), site.m_host, site.m_port)) return kQueryNoConnection;
        }
        if (!SendAll(sock.Get(), BuildRequest(site, pszQueryCommand))) return kQuerySendFailed;
        char* raw = nullptr;
        if (!Receive(sock.Get(), kEndMarker, &raw, kChunk, 1)) {
            // Only silence or the deadline is "no reply in time"; a connection that broke off is
            // told as such.
            const int error = WSAGetLastError();
            if (error == kErrorTooLarge) return kQueryTooLarge;
            return error == kErrorTimeout ? kQueryNoReply : kQueryConnectionLost;
        }
        ReplyBuffer reply(raw);
        const char* headerEnd = strstr(reply.get(), "\r\n\r\n");
        if (!headerEnd) {
            // A reply that is not HTTP: nothing to read matches from.
            WSASetLastError(kErrorProtocol);
            return kQueryBadReply;
        }
        if (!ParseQueryReply(headerEnd + 4, results)) {
            m_serverMessage = StatusLine(headerEnd + 4);
            WSASetLastError(kErrorProtocol);
            return kQueryServerError;
        }
        return kQueryDone;
    });
}

bool CCDDB::Exchange(const CCDDBSite& site, const CString& request, char** ppBuffer, const char** ppBody) {
    *ppBuffer = nullptr;
    *ppBody = nullptr;
    SocketGuard sock(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (sock.Get() == INVALID_SOCKET) return false;
    if (!ConnectToHost(sock.Get(), site.m_host, site.m_port)) return false;
    if (!SendAll(sock.Get(), request)) return false;
    if (!Receive(sock.Get(), kEndMarker, ppBuffer, kChunk, 0)) {
        WSASetLastError(kErrorProtocol);
        return false;
    }
    const char* headerEnd = strstr(*ppBuffer, "\r\n\r\n");
    if (headerEnd) *ppBody = headerEnd + 4;
    return true;
}

bool CCDDB::ReadRecord(const CCDDBSite& site, DWORD discId, LPCSTR pszCategory, CCDDBRecord& record) {
    return GuardOperation<bool>(9111, false, [&]() -> bool {
        CString command;
        command.Format("cddb+read+%s+%08lx", pszCategory ? pszCategory : "", (unsigned long)discId);
        char* raw = nullptr;
        const char* body = nullptr;
        if (!Exchange(site, BuildRequest(site, command), &raw, &body)) return false;
        ReplyBuffer reply(raw);
        bool ok = false;
        if (body) {
            ok = ParseRecordReply(body, record);
        } else {
            WSASetLastError(kErrorProtocol);
        }
        record.m_discId = discId;
        return ok;
    });
}

bool CCDDB::GetSites(std::vector<CCDDBSite>& sites, const CCDDBSite& site) {
    return GuardOperation<bool>(9112, false, [&]() -> bool {
        char* raw = nullptr;
        const char* body = nullptr;
        if (!Exchange(site, BuildRequest(site, "sites"), &raw, &body)) return false;
        ReplyBuffer reply(raw);
        if (!body) {
            WSASetLastError(kErrorProtocol);
            return false;
        }
        return ParseSitesReply(body, sites);
    });
}

bool CCDDB::GetSites(std::vector<CCDDBSite>& sites, LPCSTR pszHost, LPCSTR pszPath, int port) {
    CCDDBSite site;
    site.m_host = pszHost;
    site.m_path = pszPath;
    site.m_port = port;
    return GetSites(sites, site);
}
