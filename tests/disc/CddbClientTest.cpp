// The disc-database client against the loopback test server (cddb_server.py,
// started by the test fixture).
#include <doctest.h>

#include <string>
#include <vector>

#include "disc/SettingsLookup.h"
#include "disc/CDDB.h"
#include "disc/ServerList.h"
#include "LoopbackServer.h"

namespace {

struct Winsock {
    Winsock() {
        WSADATA data;
        WSAStartup(MAKEWORD(1, 1), &data);
    }
    ~Winsock() { WSACleanup(); }
};

// A client that does not wait the full 20 s between polls and silences.
struct FastClient : CCDDB {
    FastClient() {
        m_timeout = 1500;
        m_pollInterval = 20;
    }
};

CString QueryFor(const char* id) {
    return CString("cddb+query+") + id + "+2+150+20000+600";
}

// Names itself the same on every machine, so that a request can be compared whole.
struct NamedClient : CCDDB {
    CString GetUserName() override { return "user"; }
    CString GetHostName() override { return "host"; }
};

// Fails the first connection only.
struct FlakyClient : FastClient {
    int attempts = 0;
    bool ConnectToHost(SOCKET s, LPCSTR host, int port) override {
        if (++attempts == 1) return false;
        return CCDDB::ConnectToHost(s, host, port);
    }
};

}  // namespace

TEST_CASE("queries against the loopback server") {
    Winsock ws;
    CCDDBSite site = LoopbackServerSite();
    REQUIRE(site.m_port > 0);
    FastClient client;
    std::vector<CCDDBQueryResult> list;

    SUBCASE("one exact match") {
        CHECK(client.Query(site, QueryFor("00000001"), list) == CCDDB::kQueryDone);
        REQUIRE(list.size() == 1);
        CHECK(std::string(list[0].m_category) == "rock");
        CHECK(list[0].m_discId == 0x0b025603u);
        CHECK(std::string(list[0].m_artist) == "The Artist");
    }
    SUBCASE("no match") {
        CHECK(client.Query(site, QueryFor("00000002"), list) == CCDDB::kQueryDone);
        CHECK(list.empty());
    }
    SUBCASE("several exact matches, in reply order") {
        CHECK(client.Query(site, QueryFor("00000003"), list) == CCDDB::kQueryDone);
        REQUIRE(list.size() == 3);
        CHECK(std::string(list[2].m_category) == "jazz");
    }
    SUBCASE("inexact matches") {
        CHECK(client.Query(site, QueryFor("00000004"), list) == CCDDB::kQueryDone);
        REQUIRE(list.size() == 2);
        CHECK(std::string(list[1].m_title) == "Two");
    }
    SUBCASE("an error code is the server's error, with its status line") {
        WSASetLastError(0);
        CHECK(client.Query(site, QueryFor("00000005"), list) == CCDDB::kQueryServerError);
        CHECK(list.empty());
        CHECK(WSAGetLastError() == CCDDB::kErrorProtocol);
        CHECK(std::string(client.m_serverMessage) == "403 Database entry is corrupt");
    }
    SUBCASE("a reply in pieces with pauses, split right behind the headers") {
        CHECK(client.Query(site, QueryFor("00000006"), list) == CCDDB::kQueryDone);
        REQUIRE(list.size() == 2);
        CHECK(std::string(list[1].m_artist) == "C");
    }
    SUBCASE("silence until the time-out") {
        DWORD start = GetTickCount();
        CHECK(client.Query(site, QueryFor("00000007"), list) == CCDDB::kQueryNoReply);
        CHECK(WSAGetLastError() == CCDDB::kErrorTimeout);
        CHECK(GetTickCount() - start >= 1500);
        CHECK(GetTickCount() - start < 5000);
    }
    SUBCASE("a byte now and then: the request's deadline ends it") {
        client.m_deadline = 2500;
        const DWORD start = GetTickCount();
        CHECK(client.Query(site, QueryFor("0000000c"), list) == CCDDB::kQueryNoReply);
        CHECK(WSAGetLastError() == CCDDB::kErrorTimeout);
        const DWORD elapsed = GetTickCount() - start;
        CHECK(elapsed >= 2500);
        CHECK(elapsed < 6000);
        CHECK(list.empty());
    }
    SUBCASE("closed, reset or garbled: a broken connection, not a time-out") {
        for (const char* id : {"00000008", "0000000d", "0000000e"}) {
            CAPTURE(id);
            WSASetLastError(CCDDB::kErrorTimeout);  // left from an earlier request
            CHECK(client.Query(site, QueryFor(id), list) == CCDDB::kQueryConnectionLost);
            CHECK(WSAGetLastError() != CCDDB::kErrorTimeout);
            CHECK(list.empty());
        }
    }
    SUBCASE("no blank line behind the headers: a reply the query cannot use") {
        WSASetLastError(0);
        CHECK(client.Query(site, QueryFor("00000009"), list) == CCDDB::kQueryBadReply);
        CHECK(list.empty());
        CHECK(WSAGetLastError() == CCDDB::kErrorProtocol);
    }
    SUBCASE("an endless reply stops at the cap") {
        CHECK(client.Query(site, QueryFor("0000000a"), list) == CCDDB::kQueryTooLarge);
        CHECK(WSAGetLastError() == CCDDB::kErrorTooLarge);
        CHECK(client.m_lastCapacity <= 1024 * 1024);
    }
    SUBCASE("a long list grows the buffer") {
        CHECK(client.Query(site, QueryFor("0000000b"), list) == CCDDB::kQueryDone);
        REQUIRE(list.size() == 400);
        CHECK(list[399].m_discId == 399);
        CHECK(client.m_lastCapacity >= 8192);
        CHECK(client.m_lastCapacity % 4096 == 0);
    }
    SUBCASE("a retry that connects goes on with the query") {
        FlakyClient flaky;
        CHECK(flaky.Query(site, QueryFor("00000001"), list) == CCDDB::kQueryDone);
        CHECK(flaky.attempts == 2);
        CHECK(list.size() == 1);
    }
    SUBCASE("nobody listening") {
        CCDDBSite closed = site;
        closed.m_port = 1;
        CHECK(client.Query(closed, QueryFor("00000001"), list) == CCDDB::kQueryNoConnection);
    }
}

TEST_CASE("reading records and server lists from the loopback server") {
    Winsock ws;
    CCDDBSite site = LoopbackServerSite();
    REQUIRE(site.m_port > 0);
    FastClient client;
    CCDDBRecord rec;

    SUBCASE("the shared record") {
        REQUIRE(client.ReadRecord(site, 0x83085c0b, "misc", rec));
        CHECK(std::string(rec.m_artist) == "Shins");
        CHECK(rec.m_trackTitles.GetSize() == 11);
        CHECK(rec.m_discId == 0x83085c0bu);
    }
    SUBCASE("an incomplete record; the asked-for identifier is kept") {
        CHECK_FALSE(client.ReadRecord(site, 0x00000abc, "rock", rec));
        CHECK(WSAGetLastError() == CCDDB::kErrorProtocol);
        CHECK(rec.m_discId == 0x00000abcu);
    }
    SUBCASE("a one-line error reply") {
        CHECK_FALSE(client.ReadRecord(site, 0x12345678, "soul", rec));
        CHECK(WSAGetLastError() == CCDDB::kErrorProtocol);
    }
    SUBCASE("the server list") {
        std::vector<CCDDBSite> sites;
        REQUIRE(client.GetSites(sites, site));
        REQUIRE(sites.size() == 5);
        CHECK(std::string(sites[4].m_host) == "us.freedb.org");
        CHECK(client.GetSites(sites, "127.0.0.1", "/~cddb/cddb.cgi", site.m_port));
    }
    SUBCASE("the server-list fetch gives a list only on success") {
        std::vector<CCDDBSite> sites(1);
        CCDDBSite bad = site;
        bad.m_path = "/other.cgi";  // answered with an error
        CHECK_FALSE(FetchServerList(client, bad, sites));
        CHECK(sites.size() == 1);
        CCDDBSite closed = site;
        closed.m_port = 1;
        CHECK_FALSE(FetchServerList(client, closed, sites));
        CHECK(sites.size() == 1);
        CHECK(FetchServerList(client, site, sites));
        CHECK(sites.size() == 5);
    }
    SUBCASE("the hello text") {
        CString hello = client.GetHelloString();
        const CString identity = "+KorvanelleCDDB+1.22&proto=5";
        CHECK(hello.Right(identity.GetLength()) == identity);
        CHECK(hello.Left(6) == "hello=");
        CString user = client.GetUserName();
        for (int i = 0; i < user.GetLength(); ++i) CHECK((isalnum((unsigned char)user[i]) || user[i] == '_'));
    }
}

TEST_CASE("every request is the request line of one builder, with the client's identity") {
    NamedClient client;
    CCDDBSite site;
    const CString hello = "hello=user+host+KorvanelleCDDB+1.22&proto=5";
    CHECK(client.GetHelloString() == hello);
    CHECK(std::string(client.BuildRequest(site, "sites")) ==
          "GET /~cddb/cddb.cgi?cmd=sites&" + std::string(hello) + " HTTP/1.0\r\n\r\n");
    site.m_path = "/other.cgi";
    CHECK(std::string(client.BuildRequest(site, nullptr)) == "GET /other.cgi?cmd=&" + std::string(hello) +
                                                                 " HTTP/1.0\r\n\r\n");
    // A different identity reaches every request.
    client.m_clientVersion = "9.9";
    CHECK(std::string(client.BuildRequest(site, "sites")).find("+9.9&proto=") != std::string::npos);
}
