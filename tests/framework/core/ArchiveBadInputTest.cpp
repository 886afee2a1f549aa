#include <doctest.h>

#include "ArchiveHelpers.h"

namespace {

// Reads what the first test of the format wrote: two header lists, images,
// then a string.
void ReadSample(CArchive& ar) {
    CObArray props, texts, images;
    try {
        props.Serialize(ar);
        texts.Serialize(ar);
        images.Serialize(ar);
        CString tail;
        ar >> tail;
    } catch (...) {
        for (CObArray* a : {&props, &texts, &images})
            for (INT_PTR i = 0; i < a->GetSize(); ++i) delete a->GetAt(i);
        throw;
    }
    for (CObArray* a : {&props, &texts, &images})
        for (INT_PTR i = 0; i < a->GetSize(); ++i) delete a->GetAt(i);
}

Bytes Sample() {
    CProperty prop;
    CText text;
    IStreamObject img1, img2;
    img1.data = std::string(5000, 'i');
    img2.data = "xy";
    return StoreBytes([&](CArchive& ar) {
        CObArray a, b, c;
        a.Add(&prop);
        b.Add(&text);
        c.Add(&img1);
        c.Add(&img2);
        a.Serialize(ar);
        b.Serialize(ar);
        c.Serialize(ar);
        ar << CString("the end");
    });
}

}  // namespace

TEST_CASE("every truncation of a file ends in an archive exception") {
    Bytes full = Sample();
    CHECK(LoadCause(full, ReadSample) == -1);
    int failures = 0;
    for (size_t n = 0; n < full.size(); n += (n < 200 || n > full.size() - 200) ? 1 : 97) {
        Bytes cut(full.begin(), full.begin() + (long)n);
        int cause = LoadCause(cut, ReadSample);
        if (cause != CArchiveException::endOfFile) {
            CAPTURE(n);
            CHECK(cause == CArchiveException::endOfFile);
            if (++failures > 5) break;
        }
    }
}

TEST_CASE("bad class records end in badClass or badSchema") {
    auto readOne = [](CArchive& ar) { delete ar.ReadObject(nullptr); };
    CHECK(LoadCause(Concat({{0xFF, 0xFF, 0xFB, 0x01, 0x05, 0x00}, Text("Nope!")}), readOne) ==
          CArchiveException::badClass);
    // Names are matched exactly.
    CHECK(LoadCause(Concat({{0xFF, 0xFF, 0xFB, 0x01, 0x05, 0x00}, Text("ctext")}), readOne) ==
          CArchiveException::badClass);
    // 64 characters or more are refused before they are read, whatever follows.
    CHECK(LoadCause(Concat({{0xFF, 0xFF, 0xFB, 0x01, 0x40, 0x00}, Repeat('A', 64)}), readOne) ==
          CArchiveException::badClass);
    CHECK(LoadCause(Bytes{0xFF, 0xFF, 0xFB, 0x01, 0xFF, 0xFF}, readOne) == CArchiveException::badClass);
    CHECK(LoadCause(Concat({{0xFF, 0xFF, 0xFB, 0x01, 0x3F, 0x00}, Repeat('A', 63)}), readOne) ==
          CArchiveException::badClass);
    // A class name with a zero inside it names nothing.
    CHECK(LoadCause(Concat({{0xFF, 0xFF, 0xFB, 0x01, 0x06, 0x00}, Text("CText"), {0}}), readOne) ==
          CArchiveException::badClass);
    // A class without versionable schema must match its number.
    CHECK(LoadCause(Concat({{0xFF, 0xFF, 0x04, 0x00, 0x05, 0x00}, Text("Fixed")}), readOne) ==
          CArchiveException::badSchema);
    CHECK(LoadCause(Concat({{0xFF, 0xFF, 0x03, 0x00, 0x05, 0x00}, Text("Fixed")}), readOne) == -1);
    // An object of another class than the one asked for.
    CHECK(LoadCause(Concat({{0xFF, 0xFF, 0xFB, 0x01, 0x05, 0x00}, Text("CText"), Repeat(0, 7)}),
                    [](CArchive& ar) { delete ar.ReadObject(RUNTIME_CLASS(ViewObject)); }) ==
          CArchiveException::badClass);
}

TEST_CASE("indices that point past the table or at the wrong kind end in badIndex") {
    auto readTwo = [](CArchive& ar) {
        CObject* a = ar.ReadObject(nullptr);
        CObject* b = nullptr;
        try {
            b = ar.ReadObject(nullptr);
        } catch (...) {
            delete a;
            throw;
        }
        if (b != a) delete b;
        delete a;
    };
    Bytes first = Concat({{0xFF, 0xFF, 0xFB, 0x01, 0x0A, 0x00}, Text("ViewObject"), Repeat(0, 4)});
    CHECK(LoadCause(Concat({first, {0x02, 0x00}}), readTwo) == -1);  // the object itself
    CHECK(LoadCause(Concat({first, {0x03, 0x00}}), readTwo) == CArchiveException::badIndex);
    CHECK(LoadCause(Concat({first, {0x01, 0x00}}), readTwo) == CArchiveException::badIndex);  // a class
    CHECK(LoadCause(Concat({first, {0x02, 0x80}}), readTwo) == CArchiveException::badClass);  // an object
    CHECK(LoadCause(Concat({first, {0x05, 0x80}}), readTwo) == CArchiveException::badIndex);
    CHECK(LoadCause(Concat({first, {0xFF, 0x7F, 0x00, 0x01, 0x00, 0x00}}), readTwo) ==
          CArchiveException::badIndex);
    CHECK(LoadCause(Concat({first, {0xFF, 0x7F, 0x09, 0x00, 0x00, 0x80}}), readTwo) ==
          CArchiveException::badIndex);
    CHECK(LoadCause(Bytes{0x00, 0x80, 0x00, 0x00}, readTwo) == CArchiveException::badIndex);
}

TEST_CASE("counts and lengths larger than the file end in endOfFile") {
    CHECK(LoadCause(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0}, [](CArchive& ar) {
              CObArray a;
              a.Serialize(ar);
          }) == CArchiveException::endOfFile);
    CHECK(LoadCause(Bytes{0x10, 0x00, 0x00, 0x00}, [](CArchive& ar) { ar.ReadCount(); }) ==
          CArchiveException::endOfFile);
    CHECK(LoadCause(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}, [](CArchive& ar) {
              CString s;
              ar >> s;
          }) == CArchiveException::endOfFile);
    CHECK(LoadCause(Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 0}, [](CArchive& ar) {
              CString s;
              ar >> s;
          }) == CArchiveException::endOfFile);
    CHECK(LoadCause(Bytes{0x05, 'a', 'b'}, [](CArchive& ar) {
              CString s;
              ar >> s;
          }) == CArchiveException::endOfFile);
    CHECK(LoadCause(Bytes{0x01, 0x02, 0x03}, [](CArchive& ar) {
              int i;
              ar >> i;
          }) == CArchiveException::endOfFile);
}

TEST_CASE("an archive used in the wrong direction refuses") {
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    int cause = 0;
    try {
        int i;
        ar >> i;
    } catch (CArchiveException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    CHECK(cause == CArchiveException::writeOnly);
}
