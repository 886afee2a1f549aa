#include <doctest.h>

#include "ArchiveHelpers.h"

namespace {

Bytes W(WORD w) {
    return Bytes{(BYTE)(w & 0xFF), (BYTE)(w >> 8)};
}
Bytes D(DWORD d) {
    return Bytes{(BYTE)d, (BYTE)(d >> 8), (BYTE)(d >> 16), (BYTE)(d >> 24)};
}

}  // namespace

TEST_CASE("the beginning of a version-507 file has the classic layout") {
    CProperty prop;
    CText text;
    IStreamObject img1, img2;
    img1.data = "abc";
    img2.data = "xy";

    Bytes bytes = StoreBytes([&](CArchive& ar) {
        ar.WriteCount(1);
        ar << &prop;
        ar.WriteCount(1);
        ar << &text;
        ar.WriteCount(2);
        ar << &img1 << &img2;
        ar << &img1;  // written again: its index only
        ar << (CObject*)nullptr;
    });

    Bytes expected = Concat({
        {0x01, 0x00},
        {0xFF, 0xFF, 0xFB, 0x01, 0x09, 0x00},
        Text("CProperty"),
        Repeat(0, 13),
        {0x01, 0x00},
        {0xFF, 0xFF, 0xFB, 0x01, 0x05, 0x00},
        Text("CText"),
        Repeat(0, 7),
        {0x02, 0x00},
        {0xFF, 0xFF, 0xFB, 0x01, 0x0D, 0x00},
        Text("IStreamObject"),
        Text("3\nabc"),
        {0x05, 0x80},
        Text("2\nxy"),
        {0x06, 0x00},
        {0x00, 0x00},
    });
    CHECK(bytes == expected);

    LoadBytes(bytes, [&](CArchive& ar) {
        CHECK(ar.ReadCount() == 1);
        CObject* p = ar.ReadObject(nullptr);
        CHECK(p->IsKindOf(RUNTIME_CLASS(CProperty)));
        CHECK(ar.ReadCount() == 1);
        CText* t = nullptr;
        ar >> t;
        REQUIRE(t);
        CHECK(t->schemaSeen == 507);
        CHECK(ar.ReadCount() == 2);
        IStreamObject* a = nullptr;
        IStreamObject* b = nullptr;
        IStreamObject* again = nullptr;
        ar >> a >> b >> again;
        CHECK(a->data == "abc");
        CHECK(b->data == "xy");
        CHECK(b->schemaSeen == 507);  // the schema of the class reaches every object
        CHECK(again == a);
        CObject* none = reinterpret_cast<CObject*>(1);
        ar >> none;
        CHECK(none == nullptr);
        CHECK(ar.GetObjectSchema() == (UINT)-1);
        delete p;
        delete t;
        delete a;
        delete b;
    });
}

TEST_CASE("a stored schema is handed to the records of a versionable class") {
    Bytes bytes = Concat(
        {{0xFF, 0xFF, 0xF4, 0x01, 0x05, 0x00}, Text("CText"), Repeat(0, 7), {0x01, 0x80}, Repeat(0, 7)});
    LoadBytes(bytes, [](CArchive& ar) {
        CText* t1 = nullptr;
        CText* t2 = nullptr;
        ar >> t1 >> t2;
        CHECK(t1->schemaSeen == 500);
        CHECK(t2->schemaSeen == 500);
        delete t1;
        delete t2;
    });
}

TEST_CASE("strings carry the length prefixes of their size") {
    struct Case {
        size_t length;
        Bytes prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {0xFFFD, {0xFF, 0xFD, 0xFF}},
        {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        CAPTURE(c.length);
        std::string s(c.length, 'q');
        for (size_t i = 0; i < s.size(); ++i) s[i] = (char)('a' + i % 26);
        CString original(s.c_str());
        Bytes bytes = StoreBytes([&](CArchive& ar) { ar << original; });
        CHECK(bytes == Concat({c.prefix, Text(s)}));
        CString back = "junk";
        LoadBytes(bytes, [&](CArchive& ar) { ar >> back; });
        CHECK(back == original);
    }
}

TEST_CASE("a string of 16-bit characters is read and converted") {
    Bytes bytes = Concat({{0xFF, 0xFE, 0xFF, 0x03}, {'a', 0, 'b', 0, 'c', 0}, {0x01}, Text("z")});
    CString s, next;
    LoadBytes(bytes, [&](CArchive& ar) { ar >> s >> next; });
    CHECK(s == "abc");
    CHECK(next == "z");

    // With a 16-bit length of its own.
    Bytes wide = {0xFF, 0xFE, 0xFF, 0xFF, 0x00, 0x01};
    for (int i = 0; i < 256; ++i) {
        wide.push_back('w');
        wide.push_back(0);
    }
    LoadBytes(wide, [&](CArchive& ar) { ar >> s; });
    CHECK(s == CString('w', 256));
}

TEST_CASE("counts escape to 32 bits from 0xFFFF") {
    CHECK(StoreBytes([](CArchive& ar) { ar.WriteCount(0xFFFE); }) == Bytes{0xFE, 0xFF});
    Bytes big = StoreBytes([](CArchive& ar) { ar.WriteCount(0xFFFF); });
    CHECK(big == Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00});
    Bytes withRoom = Concat({big, Repeat(7, 0xFFFF)});
    LoadBytes(withRoom, [](CArchive& ar) { CHECK(ar.ReadCount() == 0xFFFF); });
}

TEST_CASE("numbers are little-endian in their own sizes") {
    Bytes bytes = StoreBytes([](CArchive& ar) {
        ar << (BYTE)0x12 << (WORD)0x3456 << (int)-2 << (LONG)0x01020304 << (DWORD)0xA0B0C0D0 << 1.5f << 2.0
           << true;
    });
    Bytes expected = Concat({{0x12},
                             W(0x3456),
                             D(0xFFFFFFFE),
                             D(0x01020304),
                             D(0xA0B0C0D0),
                             {0x00, 0x00, 0xC0, 0x3F},
                             {0, 0, 0, 0, 0, 0, 0, 0x40},
                             {0x01}});
    CHECK(bytes == expected);
    LoadBytes(bytes, [](CArchive& ar) {
        BYTE b;
        WORD w;
        int i;
        LONG l;
        DWORD d;
        float f;
        double g;
        bool t;
        ar >> b >> w >> i >> l >> d >> f >> g >> t;
        CHECK(b == 0x12);
        CHECK(w == 0x3456);
        CHECK(i == -2);
        CHECK(l == 0x01020304);
        CHECK(d == 0xA0B0C0D0);
        CHECK(f == 1.5f);
        CHECK(g == 2.0);
        CHECK(t);
    });
}

TEST_CASE("indices of 0x7FFF and above use the 32-bit escapes") {
    // Class CText takes index 1 and its 0x7FFF objects 2 to 0x8000; class
    // ViewObject then takes 0x8001 and its objects 0x8002 and 0x8003.
    const int kMany = 0x7FFF;
    std::vector<CText> texts(kMany);
    ViewObject v1, v2;
    v1.value = 11;
    v2.value = 22;
    Bytes bytes = StoreBytes([&](CArchive& ar) {
        for (CText& t : texts) ar << &t;
        ar << &v1 << &v2 << &v1 << &texts.back();
    });
    size_t textBytes = 6 + 5 + 7 + (kMany - 1) * (2 + 7);
    REQUIRE(bytes.size() > textBytes);
    Bytes tail(bytes.begin() + (long)textBytes, bytes.end());
    Bytes expected = Concat({{0xFF, 0xFF, 0xFB, 0x01, 0x0A, 0x00},
                             Text("ViewObject"),
                             D(11),
                             W(0x7FFF),
                             D(0x80008001),
                             D(22),
                             W(0x7FFF),
                             D(0x8002),
                             W(0x7FFF),
                             D(0x8000)});
    CHECK(tail == expected);
    // The class index 1 of the last text object is still the plain word 0x8001.
    CHECK(bytes[textBytes - 9] == 0x01);
    CHECK(bytes[textBytes - 8] == 0x80);

    LoadBytes(bytes, [&](CArchive& ar) {
        std::vector<CObject*> read;
        for (int i = 0; i < kMany + 4; ++i) read.push_back(ar.ReadObject(nullptr));
        ViewObject* r1 = dynamic_cast<ViewObject*>(read[kMany]);
        ViewObject* r2 = dynamic_cast<ViewObject*>(read[kMany + 1]);
        REQUIRE(r1);
        REQUIRE(r2);
        CHECK(r1->value == 11);
        CHECK(r2->value == 22);
        CHECK(read[kMany + 2] == r1);
        CHECK(read[kMany + 3] == read[kMany - 1]);
        for (int i = 0; i < kMany + 2; ++i) delete read[i];
    });
}

TEST_CASE("the alias makes a reader create the target class") {
    CArchive::RegisterClassAlias("CRichChild", RUNTIME_CLASS(ViewObject));
    Bytes bytes =
        Concat({{0xFF, 0xFF, 0xFB, 0x01, 0x0A, 0x00}, Text("CRichChild"), D(42), {0x01, 0x80}, D(43)});
    LoadBytes(bytes, [](CArchive& ar) {
        ViewObject* a = nullptr;
        ViewObject* b = nullptr;
        ar >> a >> b;  // typed reads check the class
        REQUIRE(a);
        REQUIRE(b);
        CHECK(a->value == 42);
        CHECK(b->value == 43);
        delete a;
        delete b;
    });
    CHECK(CRuntimeClass::FromName("CRichChild") == RUNTIME_CLASS(ViewObject));
    CHECK(CRuntimeClass::FromName("ViewObject") == RUNTIME_CLASS(ViewObject));
    CHECK(CRuntimeClass::FromName("viewobject") == nullptr);
    // Writing always uses the class's own name.
    ViewObject v;
    Bytes stored = StoreBytes([&](CArchive& ar) { ar << &v; });
    CHECK(Bytes(stored.begin() + 6, stored.begin() + 16) == Text("ViewObject"));

    CRuntimeClass::RemoveAlias("CRichChild");
    CHECK(CRuntimeClass::FromName("CRichChild") == RUNTIME_CLASS(CRichChild));
}

TEST_CASE("run-time classes: kinds, creation by name, serialisability") {
    CObject* p = CRuntimeClass::CreateObject("CProperty");
    REQUIRE(p);
    CHECK(p->IsKindOf(RUNTIME_CLASS(CProperty)));
    CHECK(p->IsKindOf(RUNTIME_CLASS(CObject)));
    CHECK_FALSE(p->IsKindOf(RUNTIME_CLASS(CText)));
    CHECK(p->IsSerializable());
    delete p;
    CHECK(CRuntimeClass::CreateObject("NoSuchClass") == nullptr);
    CHECK(CRuntimeClass::FromName("CArchiveException") == nullptr);  // not a serial class
    CArchiveException e;
    CHECK(e.IsKindOf(RUNTIME_CLASS(CException)));
    CHECK_FALSE(e.IsSerializable());
    CHECK(std::string(RUNTIME_CLASS(CText)->m_lpszClassName) == "CText");
    CHECK(RUNTIME_CLASS(CText)->m_wSchema == (VERSIONABLE_SCHEMA | 507));
}

TEST_CASE("object arrays and string arrays serialise as counts and elements") {
    CObArray arr;
    ViewObject a, b;
    arr.Add(&a);
    arr.Add(nullptr);
    arr.Add(&b);
    arr.Add(&a);
    CStringArray names;
    names.Add("one");
    names.Add("");
    Bytes bytes = StoreBytes([&](CArchive& ar) {
        arr.Serialize(ar);
        names.Serialize(ar);
    });
    Bytes expected = Concat({W(4),
                             {0xFF, 0xFF, 0xFB, 0x01, 0x0A, 0x00},
                             Text("ViewObject"),
                             D(0),
                             W(0),
                             W(0x8001),
                             D(0),
                             W(2),
                             W(2),
                             {3},
                             Text("one"),
                             {0}});
    CHECK(bytes == expected);

    CObArray back;
    CStringArray backNames;
    backNames.Add("old");
    LoadBytes(bytes, [&](CArchive& ar) {
        back.Serialize(ar);
        backNames.Serialize(ar);
    });
    REQUIRE(back.GetSize() == 4);
    CHECK(back[1] == nullptr);
    CHECK(back[3] == back[0]);
    CHECK(back[0] != back[2]);
    REQUIRE(backNames.GetSize() == 2);
    CHECK(backNames[0] == "one");
    CHECK(backNames[1].IsEmpty());
    delete back[0];
    delete back[2];
}

TEST_CASE("text lines and raw bytes") {
    Bytes bytes = Text("12\r\nline two\nlast");
    LoadBytes(bytes, [](CArchive& ar) {
        CString line;
        CHECK(ar.ReadString(line));
        CHECK(line == "12");
        CHECK(ar.ReadString(line));
        CHECK(line == "line two");
        CHECK(ar.ReadString(line));
        CHECK(line == "last");
        CHECK_FALSE(ar.ReadString(line));
        CHECK(line.IsEmpty());
    });
    // Raw reads across the buffer size, and a short read at the end.
    Bytes big(10000);
    for (size_t i = 0; i < big.size(); ++i) big[i] = (BYTE)(i * 7);
    Bytes stored = StoreBytes([&](CArchive& ar) {
        ar << (BYTE)1;
        ar.Write(big.data(), (UINT)big.size());
    });
    CHECK(stored.size() == 10001);
    LoadBytes(stored, [&](CArchive& ar) {
        BYTE first;
        ar >> first;
        Bytes back(20000);
        CHECK(ar.Read(back.data(), 5000) == 5000);
        CHECK(ar.Read(back.data() + 5000, 15000) == 5000);
        back.resize(10000);
        CHECK(back == big);
        CHECK(ar.Read(back.data(), 1) == 0);
    });
}

TEST_CASE("geometry values are read whole") {
    Bytes bytes = StoreBytes([](CArchive& ar) { ar << CSize(1, -2) << CPoint(3, 4) << CRect(5, 6, 7, 8); });
    CHECK(bytes == Concat({D(1), D(0xFFFFFFFE), D(3), D(4), D(5), D(6), D(7), D(8)}));
    LoadBytes(bytes, [](CArchive& ar) {
        CSize s;
        CPoint p;
        CRect r;
        ar >> s >> p >> r;
        CHECK(s == CSize(1, -2));
        CHECK(p == CPoint(3, 4));
        CHECK(r == CRect(5, 6, 7, 8));
    });
    Bytes cut(bytes.begin(), bytes.begin() + 28);
    CHECK(LoadCause(cut, [](CArchive& ar) {
              CSize s;
              CPoint p;
              CRect r;
              ar >> s >> p >> r;
          }) == CArchiveException::endOfFile);
}
