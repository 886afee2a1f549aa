#include <doctest.h>

#include "ArchiveBytes.h"
#include "GdiplusSession.h"
#include "model/AlbumInfo.h"
#include "model/HeaderRecords.h"
#include "model/ViewObject.h"

using namespace kvtest;

namespace {

const std::string kB(1, '\x08');

// An object record of a given file version, written field by field from the layout tables.
Bytes OldRecord(int version, const std::string& name, const std::string& typeName, int side, int bLink,
                const std::string& text, const std::string& fonts, const std::string& colors,
                const std::string& trackNumbers, bool textual) {
    Bytes b = Concat({Str(name), Str(typeName)});
    b = Concat({b, version >= 500 ? I32(side) : Str(std::to_string(side)), Str("Disc 1")});
    b = Concat({b, I32(10), I32(20), I32(300), I32(400)});
    b = Concat({b, Str("Center"), Str(""), Str(trackNumbers), Str("Top + Bottom"), Str("Word-Wrap")});
    b = Concat({b, I32(0), I32(25), I32(bLink), I32(0), I32(4), I32(1), I32(0)});
    b = Concat({b, Str(text), Str(fonts), Str(colors)});
    if (version >= 420) b = Concat({b, I32(15), I32(-10), Str("")});
    if (version >= 500)
        b = Concat({b, I32(7), I32(100), I32(200)});
    else if (version >= 446)
        b = Concat({b, I32(7)});
    if (textual) b = Concat({b, W16(2), W16(1), W16(0)});
    return b;
}

bool ReadRecord(const Bytes& bytes, int version, ViewObject& o) {
    g_fileVersion = version;
    bool ok = LoadBytes(bytes, [&](CArchive& ar) { o.Serialize(ar); });
    g_fileVersion = kCurrentFileVersion;
    return ok;
}

}  // namespace

TEST_CASE("object record of the current version") {
    REQUIRE(kvtest::GdiplusReady());
    ViewObject d;
    d.type = kObjectDisc;
    d.name = "Disc 1";
    d.sideName = "Disc 1";
    d.charColors.Add(new COLORREF(RGB(255, 0, 0)));
    Bytes bytes = StoreBytes([&](CArchive& ar) { d.Serialize(ar); });
    Bytes expect = Concat({Str("Disc 1"),
                           Str("Disc"),
                           I32(0),
                           Str("Disc 1"),
                           I32(0),
                           I32(0),
                           I32(0),
                           I32(0),
                           Str(""),
                           Str(""),
                           Str(""),
                           Str(""),
                           Str(""),
                           I32(0),
                           I32(0),
                           I32(0),
                           I32(0),
                           I32(0),
                           I32(0),
                           I32(0),
                           Str(""),
                           Str(""),
                           Str("0" + kB + "255000000" + kB),
                           I32(0),
                           I32(0),
                           Str(""),
                           I32(0),
                           I32(-1),
                           I32(-1)});
    CHECK(bytes == expect);
    ViewObject back;
    REQUIRE(ReadRecord(bytes, 507, back));
    CHECK(back.IsDisc(1));
    REQUIRE(back.charColors.GetSize() == 1);
    CHECK(*back.charColors[0] == RGB(255, 0, 0));

    // a text with runs, and an image with its bytes, survive byte for byte
    ViewObject t;
    t.type = kObjectTrack;
    t.name = "Track List";
    t.trackNumbers = "Track Numbers && Times";
    t.SetTextKeepStyles(CString("1. ") + kB.c_str() + "Song" + kB.c_str() + " 1:00" + kB.c_str());
    t.charUnderlines[4] = 1;
    Bytes tb = StoreBytes([&](CArchive& ar) { t.Serialize(ar); });
    ViewObject t2;
    REQUIRE(ReadRecord(tb, 507, t2));
    CHECK(t2.GetText() == t.GetText());
    CHECK(std::string(t2.charFonts[0]->lfFaceName) == "Arial");
    CHECK(t2.charUnderlines[4] == 1);
    CHECK(StoreBytes([&](CArchive& ar) { t2.Serialize(ar); }) == tb);
    t.FreeCharStyles();
    t2.FreeCharStyles();

    ViewObject img;
    img.type = kObjectImage;
    BYTE raw[3] = {1, 2, 3};
    img.image.SetBytes(raw, 3);
    Bytes ib = StoreBytes([&](CArchive& ar) { img.Serialize(ar); });
    CHECK(Bytes(ib.end() - 5, ib.end()) == Concat({Raw("3\n"), Bytes{1, 2, 3}}));
    ViewObject img2;
    REQUIRE(ReadRecord(ib, 507, img2));
    CHECK(img2.image.GetSize() == 3);
    img.imageSource = "elsewhere";
    Bytes nb = StoreBytes([&](CArchive& ar) { img.Serialize(ar); });
    CHECK(nb.size() == ib.size() - 5 + 9);  // the source text instead of the image bytes
    back.FreeCharStyles();
    d.FreeCharStyles();
}

TEST_CASE("object records of older versions") {
    SUBCASE("446: side as text, lightness alone, old words replaced") {
        Bytes b = OldRecord(446, "Track List", "Track", 2, 0, "1. " + kB + "A" + kB + " 1:00" + kB, "", "",
                            "Track Numbers + Track Times", true);
        ViewObject o;
        REQUIRE(ReadRecord(b, 446, o));
        CHECK(o.side == 2);
        CHECK(o.lightness == 7);
        CHECK(o.savedLeft == -1);
        CHECK(o.hue == 15);
        CHECK(o.bBackground == 1);  // 4 becomes 1
        CHECK(o.trackNumbers == "Track Numbers && Times");
        CHECK(o.textLayout == "Top && Bottom");
        CHECK(o.charUnderlines.GetSize() == o.GetCharCount());
        CHECK(o.charUnderlines[0] == 1);
    }
    SUBCASE("420: no lightness; below 420: no hue and no image source") {
        Bytes b = OldRecord(420, "Text 1", "Text", 1, 0, "Hi",
                            "0" + kB + "Arial" + kB + "300" + kB + "700" + kB + "1" + kB,
                            "1" + kB + "000000255" + kB, "", true);
        ViewObject o;
        REQUIRE(ReadRecord(b, 420, o));
        CHECK(o.lightness == 0);
        CHECK(o.hue == 15);
        CHECK(o.GetText() == "Hi");
        REQUIRE(o.charFonts[0] != nullptr);
        CHECK(o.charFonts[0]->lfWeight == 700);
        CHECK(o.charFonts[0]->lfItalic == 1);
        CHECK(*o.charColors[1] == RGB(0, 0, 255));
        o.FreeCharStyles();

        Bytes old = OldRecord(300, "Text 1", "Text", 1, 0, "Hi", "", "", "", true);
        ViewObject p;
        REQUIRE(ReadRecord(old, 300, p));
        CHECK(p.hue == 0);
        CHECK(p.GetText() == "Hi");
    }
    SUBCASE("a linked text takes the album field of its name") {
        CAlbumInfo album;
        album.m_artist[1] = "Second Artist";
        g_loadingAlbumInfo = &album;
        Bytes b = OldRecord(507, "Artist - Disc 2(x)", "Text", 1, 1, "", "", "", "", true);
        ViewObject o;
        bool ok = ReadRecord(b, 507, o);
        g_loadingAlbumInfo = nullptr;
        REQUIRE(ok);
        CHECK(o.GetText() == "Second Artist");
        // and writes no characters of its own
        o.FreeCharStyles();
        Bytes again = StoreBytes([&](CArchive& ar) { o.Serialize(ar); });
        ViewObject plain;
        REQUIRE(ReadRecord(again, 507, plain));
        CHECK(plain.GetText() == "");
    }
    SUBCASE("the class name CRichChild reads as a ViewObject") {
        Bytes rec = OldRecord(507, "Text 1", "Text", 1, 0, "x", "", "", "", true);
        Bytes tagged = Concat({W16(0xFFFF), W16(507), W16(10), Raw("CRichChild"), rec});
        CObject* read = nullptr;
        g_fileVersion = 507;
        REQUIRE(LoadBytes(tagged, [&](CArchive& ar) { read = ar.ReadObject(nullptr); }));
        REQUIRE(read != nullptr);
        CHECK(read->IsKindOf(RUNTIME_CLASS(ViewObject)));
        CHECK(static_cast<ViewObject*>(read)->GetText() == "x");
        DeleteViewObject(static_cast<ViewObject*>(read));
    }
}
