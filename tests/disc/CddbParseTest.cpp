// The parsers of query, read and sites replies, on real and broken replies.
#include <doctest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "disc/CDDB.h"

namespace {

std::string ReadText(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// The record as Receive hands it on: status line, body, no closing point line.
std::string SharedRecordReply() {
    std::string body = ReadText("83085c0b.xmcd");
    size_t end = body.rfind("\r\n.\r\n");
    if (end != std::string::npos) body.resize(end);
    return "210 misc 83085c0b\r\n" + body;
}

const char kMinimal[] =
    "210 rock 12345678\r\n"
    "# xmcd\r\n"
    "# Track frame offsets:\r\n"
    "#  150\r\n"
    "#\r\n"
    "# 9\r\n"
    "#9\r\n"
    "# 20000\r\n"
    "# Disc length: 600 seconds\r\n"
    "# Revision: 3\r\n"
    "# Submitted via: Tool 1.0 extra\r\n"
    "DISCID=12345678\r\n"
    "DTITLE=Artist / Part\r\n"
    "DTITLE= two\r\n"
    "DYEAR=\r\n"
    "TTITLE0=A\r\n"
    "TTITLE1=B\r\n"
    "TTITLE1=C\r\n"
    "EXTD=x\\ny\\\\nz\\tw\r\n"
    "EXTT0=\r\n"
    "EXTT1=\r\n"
    "PLAYORDER=3,1,2";

std::string Replace(std::string s, const std::string& from, const std::string& to) {
    size_t pos = s.find(from);
    if (pos != std::string::npos) s.replace(pos, from.size(), to);
    return s;
}

}  // namespace

TEST_CASE("xmcd records") {
    CCDDB client;
    CCDDBRecord rec;
    SUBCASE("the shared record") {
        REQUIRE(client.ParseRecordReply(SharedRecordReply().c_str(), rec));
        CHECK(rec.m_discId == 0x83085c0bu);
        CHECK(std::string(rec.m_artist) == "Shins");
        CHECK(std::string(rec.m_title) == "Oh, Inverted World");
        CHECK(rec.m_discLength == 2142);
        CHECK(rec.m_revision == 1);
        CHECK(std::string(rec.m_submitterClient) == "PHP/PEAR/Net_CDDB_Client");
        CHECK(std::string(rec.m_submitterVersion) == "0.2.0");
        REQUIRE(rec.m_trackOffsets.GetSize() == 11);
        CHECK(rec.m_trackOffsets[0] == 150);
        CHECK(rec.m_trackOffsets[10] == 129797);
        REQUIRE(rec.m_trackTitles.GetSize() == 11);
        CHECK(std::string(rec.m_trackTitles[0]) == "Caring Is Creepy");
        CHECK(std::string(rec.m_trackTitles[10]) == "The Past And Pending");
        CHECK(std::string(rec.m_genre) == "misc");
        CHECK(rec.m_year == 0);
        CHECK(rec.m_playOrder.GetSize() == 0);
    }
    SUBCASE("continued titles, repeated tracks, escapes and play order") {
        REQUIRE(client.ParseRecordReply(kMinimal, rec));
        CHECK(std::string(rec.m_artist) == "Artist");
        CHECK(std::string(rec.m_title) == "Part two");
        CHECK(rec.m_year == 0);
        REQUIRE(rec.m_trackTitles.GetSize() == 2);
        CHECK(std::string(rec.m_trackTitles[1]) == "BC");
        CHECK(std::string(rec.m_extendedData) == "x\ny\\nz\tw");
        REQUIRE(rec.m_trackOffsets.GetSize() == 3);  // "#" and "#9" add nothing
        CHECK(rec.m_trackOffsets[1] == 9);
        REQUIRE(rec.m_playOrder.GetSize() == 3);
        CHECK(rec.m_playOrder[0] == 3);
        CHECK(rec.m_playOrder[2] == 2);
        CHECK(rec.m_revision == 3);
    }
    SUBCASE("a later, smaller track index drops no title") {
        std::string s = Replace(kMinimal, "TTITLE1=C\r\n", "TTITLE1=C\r\nTTITLE0=D\r\n");
        REQUIRE(client.ParseRecordReply(s.c_str(), rec));
        REQUIRE(rec.m_trackTitles.GetSize() == 2);
        CHECK(std::string(rec.m_trackTitles[0]) == "AD");
    }
    SUBCASE("a disc title without a separator is artist and title") {
        std::string s =
            Replace(Replace(kMinimal, "DTITLE=Artist / Part\r\n", "DTITLE=Solo\r\n"), "DTITLE= two\r\n", "");
        REQUIRE(client.ParseRecordReply(s.c_str(), rec));
        CHECK(std::string(rec.m_artist) == "Solo");
        CHECK(std::string(rec.m_title) == "Solo");
    }
    SUBCASE("broken records are refused with the protocol error") {
        const char* cuts[][2] = {
            {"# xmcd\r\n", ""},
            {"# Track frame offsets:\r\n", ""},
            {"# Disc length: 600 seconds\r\n", ""},
            {"# Submitted via: Tool 1.0 extra\r\n", ""},
            {"# Submitted via: Tool 1.0 extra\r\n", "# Submitted via: Tool\r\n"},
            {"DISCID=12345678\r\n", "DISCID=1234567\r\n"},
            {"DTITLE=Artist / Part\r\nDTITLE= two\r\n", ""},
            {"EXTT1=\r\n", ""},
            {"TTITLE1=B\r\n", "TTITLE100=B\r\n"},
            {"TTITLE1=B\r\n", "TTITLE-1=B\r\n"},
            {"EXTT1=\r\n", "EXTT4294967297=\r\n"},
            {"210 rock", "401 rock"},
        };
        for (auto& cut : cuts) {
            std::string s = Replace(kMinimal, cut[0], cut[1]);
            WSASetLastError(0);
            CHECK_MESSAGE(!client.ParseRecordReply(s.c_str(), rec), cut[0]);
            CHECK(WSAGetLastError() == CCDDB::kErrorProtocol);
        }
        CHECK_FALSE(client.ParseRecordReply("210 misc 83085c0b", rec));
        CHECK_FALSE(client.ParseRecordReply("21", rec));
        CHECK_FALSE(client.ParseRecordReply("", rec));
    }
    SUBCASE("Unix line ends") {
        std::string s = kMinimal;
        std::string out;
        for (char c : s)
            if (c != '\r') out += c;
        REQUIRE(client.ParseRecordReply(out.c_str(), rec));
        CHECK(std::string(rec.m_title) == "Part two");
    }
}

TEST_CASE("query replies") {
    CCDDB client;
    std::vector<CCDDBQueryResult> list;
    SUBCASE("one exact match") {
        CHECK(client.ParseQueryReply("200 rock 0b025603 The Artist / The Title\r\n", list));
        REQUIRE(list.size() == 1);
        CHECK(std::string(list[0].m_category) == "rock");
        CHECK(list[0].m_discId == 0x0b025603u);
        CHECK(std::string(list[0].m_artist) == "The Artist");
        CHECK(std::string(list[0].m_title) == "The Title");
    }
    SUBCASE("lists, in reply order, skipping broken lines") {
        CHECK(client.ParseQueryReply(
            "211 Found inexact matches\r\nrock 1 A / B\r\nbroken\r\nmisc 2 NoSlash\nsoul 3 C/D", list));
        REQUIRE(list.size() == 3);
        CHECK(std::string(list[1].m_artist).empty());
        CHECK(std::string(list[1].m_title) == "NoSlash");
        CHECK(std::string(list[2].m_artist) == "C");
        CHECK(list[2].m_discId == 3);
    }
    SUBCASE("no match, errors") {
        CHECK(client.ParseQueryReply("202 No match found\r\n", list));
        CHECK(list.empty());
        WSASetLastError(0);
        CHECK_FALSE(client.ParseQueryReply("403 Database entry is corrupt\r\n", list));
        CHECK(WSAGetLastError() == CCDDB::kErrorProtocol);
        CHECK_FALSE(client.ParseQueryReply("200 ", list));
        CHECK_FALSE(client.ParseQueryReply("", list));
        CHECK(list.empty());
    }
    SUBCASE("match lines") {
        CCDDBQueryResult m;
        CHECK_FALSE(m.Parse("rock"));
        CHECK_FALSE(m.Parse("rock   "));
        CHECK_FALSE(m.Parse("rock 12345678"));
        CHECK_FALSE(m.Parse("rock 12345678 "));
        CHECK_FALSE(m.Parse("rock zz Title"));
        CHECK(m.Parse("rock  12345678  A/B\r\nnext"));
        CHECK(std::string(m.m_title) == "B");
    }
}

TEST_CASE("sites replies") {
    CCDDB client;
    std::vector<CCDDBSite> sites;
    std::string text = ReadText("sites-level3.txt");
    std::string crlf;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n')
            crlf += "\r\n";
        else
            crlf += c;
    }
    size_t end = crlf.rfind("\r\n.");
    if (end != std::string::npos) crlf.resize(end);
    std::string body = "210 OK, site information follows (until terminating `.')\r\n" + crlf;
    REQUIRE(client.ParseSitesReply(body.c_str(), sites));
    // The cddbp line is not an HTTP server.
    REQUIRE(sites.size() == 5);
    CHECK(std::string(sites[0].m_host) == "freedb.freedb.org");
    CHECK(std::string(sites[1].m_host) == "at.freedb.org");
    CHECK(sites[1].m_north == 1);
    CHECK(sites[1].m_latitude == 48 * 60 + 13);
    CHECK(sites[1].m_east == 1);
    CHECK(sites[1].m_longitude == 16 * 60 + 22);
    CHECK(std::string(sites[1].m_description) == "Vienna, Austria");
    CHECK(sites[2].m_north == 0);
    CHECK(sites[3].m_east == 0);
    CHECK(std::string(sites[4].m_path) == "/~cddb/cddb.cgi");

    CCDDBSite s;
    CHECK(s.Parse("h HTTP 80 /p N001.02 E003.04 Desc"));
    CHECK_FALSE(s.Parse("h ftp 80 /p N001.02 E003.04 Desc"));
    CHECK_FALSE(s.Parse("h http 80 /p N01.02 E003.04 Desc"));
    CHECK_FALSE(s.Parse("h http 80 /p X001.02 E003.04 Desc"));
    CHECK_FALSE(s.Parse("h http 80 /p N001.02 E003.04"));
    CHECK_FALSE(s.Parse("h http 80 /p N001.02 E003.04 "));
    CHECK_FALSE(s.Parse("h http port /p N001.02 E003.04 Desc"));
    CHECK_FALSE(client.ParseSitesReply("500 Command syntax error", sites));
    CHECK(client.ParseSitesReply("210 OK", sites));
    CHECK(sites.empty());
}

TEST_CASE("corrupted and random replies do no harm") {
    CCDDB client;
    std::string base = SharedRecordReply();
    unsigned seed = 20261207;
    auto next = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    const char alphabet[] = "\r\n#=/ \\TTITLEEXTT0123456789abcdef`DISCID";
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string s = base;
        int edits = 1 + (int)(next() % 20);
        for (int e = 0; e < edits && !s.empty(); ++e) {
            size_t pos = next() % s.size();
            switch (next() % 4) {
                case 0:
                    s[pos] = alphabet[next() % (sizeof(alphabet) - 1)];
                    break;
                case 1:
                    s.erase(pos, next() % 40);
                    break;
                case 2:
                    s.insert(pos, std::string(1 + next() % 8, alphabet[next() % (sizeof(alphabet) - 1)]));
                    break;
                case 3:
                    s.resize(pos);
                    break;
            }
        }
        CCDDBRecord rec;
        if (client.ParseRecordReply(s.c_str(), rec)) {
            ++accepted;
            CHECK(rec.m_trackTitles.GetSize() <= 100);
            CHECK(rec.m_trackTitles.GetSize() == rec.m_extendedTrackData.GetSize());
        }
        std::vector<CCDDBQueryResult> list;
        client.ParseQueryReply(s.c_str(), list);
        std::vector<CCDDBSite> sites;
        client.ParseSitesReply(s.c_str(), sites);
        // Pure noise as well.
        std::string noise(next() % 300, ' ');
        for (char& c : noise) c = (char)(next() % 256);
        client.ParseRecordReply(noise.c_str(), rec);
        client.ParseQueryReply(noise.c_str(), list);
        client.ParseSitesReply(noise.c_str(), sites);
    }
    CHECK(accepted > 0);
}

TEST_CASE("a record's texts are kept to what the design takes") {
    CCDDB client;
    CCDDBRecord rec;
    SUBCASE("a 900 KB disc title in one line") {
        const std::string huge(900 * 1024, 'x');
        const std::string reply = Replace(kMinimal, "DTITLE=Artist / Part", "DTITLE=Artist / " + huge);
        REQUIRE(client.ParseRecordReply(reply.c_str(), rec));
        CHECK(std::string(rec.m_artist) == "Artist");
        CHECK(rec.m_title.GetLength() == 1023);
    }
    SUBCASE("a title, a genre and a track title continued over thousands of lines") {
        std::string lines;
        for (int i = 0; i < 5000; ++i) lines += "DTITLE=abcdefghij\r\nDGENRE=genre\r\nTTITLE1=track\r\n";
        const std::string reply = Replace(kMinimal, "DYEAR=\r\n", "DYEAR=\r\n" + lines);
        REQUIRE(client.ParseRecordReply(reply.c_str(), rec));
        CHECK(std::string(rec.m_artist) == "Artist");
        CHECK(rec.m_title.GetLength() == 1023);
        CHECK(rec.m_genre.GetLength() == 1023);
        CHECK(rec.m_trackTitles[1].GetLength() == 1023);
    }
}
