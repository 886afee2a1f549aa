// The lookup sources of the Read CD worker besides the disc database: CDPlayer.ini keys and
// sections, CD-TEXT records, MP3 names and tags (ID3v1, ID3v2 in Latin-1 and UTF-16, on files made
// by a real encoder), and the checks of a drive's table of contents.
#include <doctest.h>

#include <string>
#include <vector>

#include "disc/ReadCdSources.h"
#include "TestSupport.h"

namespace {

// A table of contents in MSF form: tracks at the given (minute, second, frame) starts, the last
// entry being the lead-out; `data` marks data tracks.
std::vector<BYTE> Toc(const std::vector<std::vector<int>>& starts, const std::vector<bool>& data = {}) {
    const int n = (int)starts.size() - 1;
    std::vector<BYTE> toc(CDiscTools::kTocSize, 0);
    const int length = 2 + 8 * (n + 1);
    toc[0] = (BYTE)(length >> 8);
    toc[1] = (BYTE)length;
    toc[2] = 1;
    toc[3] = (BYTE)n;
    for (int i = 0; i <= n; ++i) {
        BYTE* d = &toc[4 + 8 * i];
        d[1] = i < (int)data.size() && data[i] ? 0x14 : 0x10;
        d[2] = (BYTE)(i < n ? i + 1 : 0xAA);
        d[5] = (BYTE)starts[i][0];
        d[6] = (BYTE)starts[i][1];
        d[7] = (BYTE)starts[i][2];
    }
    return toc;
}

std::vector<unsigned char> Fixture(const char* name) {
    std::vector<unsigned char> bytes = kvtest::ReadFileBytes(name);
    REQUIRE_FALSE(bytes.empty());
    return bytes;
}

// The encoder's audio frames without their ID3v2 tag.
std::vector<unsigned char> WithoutId3v2(std::vector<unsigned char> bytes) {
    REQUIRE(bytes.size() > 10);
    REQUIRE(bytes[0] == 'I');
    const size_t size =
        ((size_t)bytes[6] << 21) | ((size_t)bytes[7] << 14) | ((size_t)bytes[8] << 7) | bytes[9];
    bytes.erase(bytes.begin(), bytes.begin() + 10 + size);
    return bytes;
}

void AppendId3v1(std::vector<unsigned char>& bytes, const std::string& title, const std::string& artist) {
    std::vector<unsigned char> tag(128, 0);
    tag[0] = 'T';
    tag[1] = 'A';
    tag[2] = 'G';
    std::copy(title.begin(), title.end(), tag.begin() + 3);
    std::copy(artist.begin(), artist.end(), tag.begin() + 33);
    tag[127] = 12;
    bytes.insert(bytes.end(), tag.begin(), tag.end());
}

std::string S(const CString& s) {
    return std::string(s.GetString());
}

}  // namespace

TEST_CASE("CDPlayer.ini keys and sections") {
    SUBCASE("three tracks: the sum of the start addresses") {
        auto toc = Toc({{0, 2, 0}, {3, 30, 5}, {7, 0, 10}, {10, 0, 0}});
        // 0x000200 + 0x031E05 + 0x07000A
        CHECK(S(CdPlayerIniKey(toc.data())) == "[A200F]");
    }
    SUBCASE("two tracks: the length in frames and the first frame field once more") {
        auto toc = Toc({{0, 2, 7}, {5, 0, 0}, {9, 0, 0}});
        const long length = (9 * 60) * 75 - (2 * 75 + 7);
        CString expected;
        expected.Format("[%lX]", 0x000207L + 0x050000L + length + 7);
        CHECK(S(CdPlayerIniKey(toc.data())) == S(expected));
    }
    SUBCASE("a table with falling addresses has no key") {
        auto toc = Toc({{0, 2, 0}, {5, 0, 0}, {4, 0, 0}, {9, 0, 0}});
        CHECK(CdPlayerIniKey(toc.data()).IsEmpty());
        CHECK_FALSE(CDiscTools::IsTocUsable(toc.data()));
    }
    const CString text =
        "[Other]\r\nartist=Nobody\r\n[a200f]\r\n  artist=The Band "
        "\t\r\ntitle=Live\r\nnumtracks=3\r\n0=One\r\n"
        "1=Two  \r\n3=Skipped\r\n2=Three";
    CCDDBRecord record;
    SUBCASE("the section of the key, its last line without a line feed included") {
        REQUIRE(ParseCdPlayerIni(text, "[A200F]", record));
        CHECK(S(record.m_artist) == "The Band");
        CHECK(S(record.m_title) == "Live");
        REQUIRE(record.m_trackTitles.GetSize() == 3);
        CHECK(S(record.m_trackTitles[1]) == "Two");
        CHECK(S(record.m_trackTitles[2]) == "Three");
        CHECK(S(record.m_source) == "CDPlayer.ini");
    }
    SUBCASE("a damaged section: texts and the track list kept to what the design takes") {
        CString section = "[A200F]\r\nartist=" + CString(std::string(100000, 'a')) + "\r\ntitle=T\r\n";
        for (int i = 0; i < 150; ++i) {
            CString track;
            track.Format("%d=%s\r\n", i, i == 5 ? std::string(5000, 't').c_str() : "x");
            section += track;
        }
        REQUIRE(ParseCdPlayerIni(section, "[A200F]", record));
        CHECK(record.m_artist.GetLength() == 1023);
        CHECK(record.m_trackTitles.GetSize() == 99);
        CHECK(record.m_trackTitles[5].GetLength() == 1023);
    }
    SUBCASE("a key of no section finds nothing") {
        CHECK_FALSE(ParseCdPlayerIni(text, "[B1]", record));
        CHECK_FALSE(ParseCdPlayerIni(text, "", record));
    }
}

TEST_CASE("CD-TEXT records") {
    CdTextInfo info;
    CCDDBRecord record;
    CHECK_FALSE(MakeCdTextRecord(info, 3, record));
    info.performer = "Performer";
    info.tracks.resize(3);
    info.tracks[1].title = "Song 1";
    info.tracks[2].title = "Someone / Song 2";
    REQUIRE(MakeCdTextRecord(info, 3, record));
    CHECK(S(record.m_artist) == "Performer");
    REQUIRE(record.m_trackTitles.GetSize() == 2);
    CHECK(S(record.m_trackTitles[1]) == "Someone / Song 2");
    CHECK(S(record.m_source) == "CD-TEXT");
}

TEST_CASE("MP3 names and tags") {
    CHECK(S(MakeMp3DisplayName("D:\\music\\my_song - live.mp3")) == "My Song-live");
    CHECK(S(MakeMp3DisplayName("  two   WORDS_.mp3")) == "Two-words");
    CHECK(S(CleanMp3TagText(" An_Artist - A Title ")) == "An Artist-A Title");

    const std::string dir = kvtest::TempDir("mp3tags");
    SUBCASE("ID3v2 texts in Latin-1 and in UTF-16") {
        CHECK(S(ReadMp3TagText("latin1-3s.mp3")) == "Latin Artist-Hello");
        CHECK(S(ReadMp3TagText("utf16-7s.mp3")) == "Korvanelle Test-Hello");
        CHECK(S(ReadMp3TagText("utf16-26s.mp3")) == "Artist-Hello Again");
    }
    SUBCASE("ID3v1 only, and no tag at all") {
        std::vector<unsigned char> audio = WithoutId3v2(Fixture("latin1-3s.mp3"));
        REQUIRE(kvtest::WriteFileBytes(dir + "\\bare.mp3", audio));
        AppendId3v1(audio, "Old Title", "Old Artist");
        REQUIRE(kvtest::WriteFileBytes(dir + "\\v1.mp3", audio));
        CHECK(S(ReadMp3TagText((dir + "\\v1.mp3").c_str())) == "Old Artist-Old Title");
        CHECK(ReadMp3TagText((dir + "\\bare.mp3").c_str()).IsEmpty());
        CHECK(ReadMp3TagText((dir + "\\missing.mp3").c_str()).IsEmpty());
    }
    SUBCASE("UTF-16 texts of either byte order") {
        const BYTE big[] = {0x00, 'H', 0x00, 'i', 0x00, 0xE9, 0x00, 0x00, 0x00, 'x'};
        CHECK(S(ConvertBigEndianUtf16(big, sizeof(big))) == "Hi\xE9");
        const BYTE marked[] = {0xFE, 0xFF, 0x00, 'A'};
        CHECK(S(ConvertBigEndianUtf16(marked, sizeof(marked))) == "A");
    }
}
