#include <doctest.h>

#include "ArchiveBytes.h"
#include "model/AlbumInfo.h"
#include "model/HeaderRecords.h"

using namespace kvtest;

namespace {

void Fill(CAlbumInfo& a) {
    a.m_pageNumber = "2";
    a.m_sideName = "Front Cover";
    a.m_discCount = "Double";
    const char* d[2] = {"1", "2"};
    for (int i = 0; i < 2; ++i) {
        a.m_artist[i] = CString("Artist ") + d[i];
        a.m_title[i] = CString("Title ") + d[i];
        a.m_trackList[i] =
            CString("1. ") + CString('\x08', 1) + "Song" + CString('\x08', 1) + " 0:01" + CString('\x08', 1);
        a.m_year[i] = "1999";
        a.m_time[i] = CString("4") + d[i] + ":00";
        a.m_genre[i] = "Rock";
    }
    a.m_case = "DVD";
}

// Loads an album record of a given file version from bytes.
bool LoadAlbum(const Bytes& bytes, int version, CAlbumInfo& out, int* cause = nullptr) {
    g_fileVersion = version;
    bool ok = LoadBytes(
        bytes, [&](CArchive& ar) { out.Serialize(ar); }, cause);
    g_fileVersion = kCurrentFileVersion;
    return ok;
}

}  // namespace

TEST_CASE("album fields by name") {
    CAlbumInfo a;
    Fill(a);
    CHECK(a.GetField("Artist(2)") == "Artist 1");
    CHECK(a.GetField("Artist (2)") == "");
    CHECK(a.GetField("Title - Disc 2") == "Title 2");
    CHECK(a.GetField("Title") == "Title 1");
    CHECK(a.GetField("Title - Disc 1(Disc)") == "Title 1");
    CHECK(a.GetField("title") == "");
    a.SetField("Genre - Disc 2(x)", "Jazz");
    CHECK(a.m_genre[1] == "Jazz");
    a.SetField("Nothing", "x");
    a.SetField("Track List - Disc 2", "T");
    CHECK(a.m_trackList[1] == "T");

    CAlbumInfo b;
    b.m_oldImageNumber = 9;
    b.CopyFrom(a);
    CHECK(b.m_genre[1] == "Jazz");
    CHECK(b.m_case == "DVD");
    CHECK(b.m_oldImageNumber == 0);
    b.Clear();
    CHECK(b.m_discCount == "");
    CHECK(b.m_case == "");
    CHECK(b.m_artist[0] == "");
}

TEST_CASE("album record, current layout") {
    CAlbumInfo a;
    Fill(a);
    Bytes bytes = StoreBytes([&](CArchive& ar) { a.Serialize(ar); });
    Bytes expect =
        Concat({Str("2"), Str("Front Cover"), Str("Double"), Str("Artist 1"), Str("Artist 2"), Str("Title 1"),
                Str("Title 2"), Str(a.m_trackList[0].str()), Str(a.m_trackList[1].str()), Str("1999"),
                Str("1999"), Str("41:00"), Str("42:00"), Str("Rock"), Str("Rock"), Str("DVD")});
    CHECK(bytes == expect);
    CAlbumInfo b;
    REQUIRE(LoadAlbum(bytes, 507, b));
    CHECK(b.m_title[1] == "Title 2");
    CHECK(b.m_trackList[0] == a.m_trackList[0]);
    CHECK(b.m_case == "DVD");
    CHECK(StoreBytes([&](CArchive& ar) { b.Serialize(ar); }) == bytes);

    // a long field takes the three-byte length prefix
    a.m_title[0] = CString(std::string(300, 'x'));
    Bytes longBytes = StoreBytes([&](CArchive& ar) { a.Serialize(ar); });
    CAlbumInfo c;
    REQUIRE(LoadAlbum(longBytes, 507, c));
    CHECK(c.m_title[0].GetLength() == 300);
}

TEST_CASE("album records of older versions") {
    Bytes fifteen =
        Concat({Str("1"), Str("Disc 1"), Str("Single"), Str("A1"), Str("A2"), Str("T1"), Str("T2"), Str(""),
                Str(""), Str("Y1"), Str("Y2"), Str("M1"), Str("M2"), Str("G1"), Str("G2")});
    SUBCASE("300 to 309: no case, read as Jewel") {
        CAlbumInfo a;
        REQUIRE(LoadAlbum(fifteen, 300, a));
        CHECK(a.m_case == "Jewel");
        CHECK(a.m_genre[1] == "G2");
    }
    SUBCASE("5 to 299 and below 5") {
        Bytes v5 =
            Concat({Str("3"), I32(7), Str("Back Cover"), I32(1), I32(2), I32(4), Str("Double"), I32(11)});
        CAlbumInfo a;
        REQUIRE(LoadAlbum(v5, 5, a));
        CHECK(a.m_pageNumber == "3");
        CHECK(a.m_oldValue3 == 7);
        CHECK(a.m_sideName == "Back Cover");
        CHECK(a.m_oldPair == ((2LL << 32) | 1));
        CHECK(a.m_oldImageCount == 4);
        CHECK(a.m_discCount == "Double");
        CHECK(a.m_oldImageNumber == 11);
        CHECK(a.m_case == "Jewel");
        // version 4 has one integer less
        Bytes v4(v5.begin(), v5.end() - 4);
        CAlbumInfo b;
        REQUIRE(LoadAlbum(v4, 4, b));
        CHECK(b.m_oldImageNumber == 0);
        CHECK(b.m_discCount == "Double");
        // and the version-5 layout runs out of bytes on version-4 data
        CAlbumInfo c;
        int cause = 0;
        CHECK_FALSE(LoadAlbum(v4, 5, c, &cause));
        CHECK(cause == CArchiveException::endOfFile);
    }
    SUBCASE("files below 500 are checked, later ones are not") {
        Bytes empty =
            Concat({Str("1"), Str("Disc 1"), Str(""), Str("A1"), Str("A2"), Str("T1"), Str("T2"), Str(""),
                    Str(""), Str("Y1"), Str("Y2"), Str("M1"), Str("M2"), Str("G1"), Str("G2"), Str("Jewel")});
        CAlbumInfo a;
        CHECK_FALSE(LoadAlbum(empty, 450, a));
        CAlbumInfo b;
        CHECK(LoadAlbum(empty, 500, b));
        Bytes bluray = Concat({fifteen, Str("Blu-ray")});
        CAlbumInfo c;
        CHECK_FALSE(LoadAlbum(bluray, 499, c));
    }
    SUBCASE("a record cut short ends with the end-of-file error") {
        CAlbumInfo a;
        int cause = 0;
        Bytes cut(fifteen.begin(), fifteen.end() - 3);
        CHECK_FALSE(LoadAlbum(cut, 300, a, &cause));
        CHECK(cause == CArchiveException::endOfFile);
        // a length prefix larger than what is left
        Bytes huge = Concat({Bytes{0xFF, 0xFD, 0xFF}, Raw("abc")});
        CHECK_FALSE(LoadAlbum(huge, 507, a, &cause));
        CHECK(cause == CArchiveException::endOfFile);
    }
}

TEST_CASE("header records") {
    CProperty p;
    Bytes pb = StoreBytes([&](CArchive& ar) { p.Serialize(ar); });
    CHECK(pb == Bytes(13, 0));
    CText t;
    Bytes tb = StoreBytes([&](CArchive& ar) { t.Serialize(ar); });
    CHECK(tb == Bytes(7, 0));

    CProperty full("Front Cover", "Angle", "180 degrees", 1, "five", "0 degrees|90 degrees|", 3);
    Bytes fb = StoreBytes([&](CArchive& ar) { full.Serialize(ar); });
    CHECK(fb == Concat({Str("Angle"), Str("0 degrees|90 degrees|"), Str("five"), Str("180 degrees"), I32(3),
                        Str("Front Cover"), I32(1)}));
    CProperty back;
    REQUIRE(LoadBytes(fb, [&](CArchive& ar) { back.Serialize(ar); }));
    CHECK(back.m_itemName == "Front Cover");
    CHECK(back.m_choices == "0 degrees|90 degrees|");
    CHECK(back.m_kind == 3);
    CHECK(back.m_flag == 1);

    CText text(42, "a", "bb", "ccc");
    Bytes xb = StoreBytes([&](CArchive& ar) { text.Serialize(ar); });
    CHECK(xb == Concat({I32(42), Str("a"), Str("bb"), Str("ccc")}));
}

TEST_CASE("the schema stored with CText is the file's version") {
    // a list of one CText whose class was stored with schema 6
    Bytes list =
        Concat({W16(1), W16(0xFFFF), W16(6), W16(5), Raw("CText"), I32(0), Str(""), Str(""), Str("")});
    g_fileVersion = kCurrentFileVersion;
    CObArray texts;
    REQUIRE(LoadBytes(list, [&](CArchive& ar) { texts.Serialize(ar); }));
    CHECK(g_fileVersion == 6);
    for (INT_PTR i = 0; i < texts.GetSize(); ++i) delete texts[i];

    // an empty list leaves the version as it was (one that no class record carries)
    g_fileVersion = 300;
    CObArray none;
    REQUIRE(LoadBytes(W16(0), [&](CArchive& ar) { none.Serialize(ar); }));
    CHECK(g_fileVersion == 300);

    // the current writer: class record with schema 507
    CObArray one;
    one.Add(new CText);
    Bytes written = StoreBytes([&](CArchive& ar) { one.Serialize(ar); });
    CHECK(written == Concat({W16(1), W16(0xFFFF), W16(507), W16(5), Raw("CText"), Bytes(7, 0)}));
    delete one[0];
    g_fileVersion = kCurrentFileVersion;
}
