// The built-in server list and the stored server setting.
#include <doctest.h>

#include <string>

#include "disc/SettingsLookup.h"
#include "disc/ServerList.h"

TEST_CASE("server setting") {
    SUBCASE("a first start uses the default server") {
        g_freedbServer.Empty();
        InitServerList();
        CHECK(std::string(g_freedbServer) ==
              "freedb.freedb.org`80`/~cddb/cddb.cgi`Random freedb server`0`````");
        REQUIRE(g_serverSites.size() == 4);
        CHECK(std::string(g_serverSites[0].m_host) == "freedb.freedb.org");
        CHECK(g_serverSites[1].m_port == 80);
        CHECK(std::string(g_currentServer.m_host) == "freedb.freedb.org");
        CHECK(g_currentServer.m_port == 80);
        CHECK(std::string(g_currentServer.m_path) == "/~cddb/cddb.cgi");
        CHECK(std::string(g_currentServer.m_description) == "Random freedb server");
        CHECK(std::string(BuildServerSetting()) == std::string(g_freedbServer));
    }
    SUBCASE("reserved fields survive any number of rebuilds") {
        g_freedbServer = "my.host`8080`/cgi`Mine`0`r1`r2`r3`r4`";
        InitServerList();
        CHECK(std::string(g_currentServer.m_host) == "my.host");
        CHECK(g_currentServer.m_port == 8080);
        for (int i = 0; i < 3; ++i) {
            g_freedbServer = BuildServerSetting();
            InitServerList();
        }
        CHECK(std::string(g_freedbServer) == "my.host`8080`/cgi`Mine`0`r1`r2`r3`r4`");
        CHECK(std::string(g_serverReserved[3]) == "r4");
    }
    SUBCASE("short settings and a port that is no number") {
        g_freedbServer = "only.host`x";
        InitServerList();
        CHECK(std::string(g_currentServer.m_host) == "only.host");
        CHECK(g_currentServer.m_port == 0);
        CHECK(g_currentServer.m_path.IsEmpty());
        CHECK(g_serverReserved[0].IsEmpty());
    }
    SUBCASE("separators and control characters cannot shift the fields") {
        g_freedbServer.Empty();
        InitServerList();
        g_currentServer.m_host = "evil`host";
        g_currentServer.m_description = "line\r\nbreak`x";
        g_freedbServer = BuildServerSetting();
        InitServerList();
        CHECK(std::string(g_currentServer.m_host) == "evilhost");
        CHECK(g_currentServer.m_port == 80);
        CHECK(std::string(g_currentServer.m_description) == "linebreakx");
    }
    FreeDiscDatabaseState();
    g_freedbServer.Empty();
}
