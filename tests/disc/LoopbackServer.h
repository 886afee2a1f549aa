// Where the disc tests' loopback disc-database server (cddb_server.py) listens: 127.0.0.1, at the
// port it wrote into the test directory when the fixture started it.
#pragma once

#include <fstream>

#include "disc/CDDB.h"

// The server's site; its port is 0 when the server did not start.
inline CCDDBSite LoopbackServerSite() {
    std::ifstream in("cddb_server.port");
    int port = 0;
    in >> port;
    CCDDBSite site;
    site.m_host = "127.0.0.1";
    site.m_port = port;
    return site;
}
