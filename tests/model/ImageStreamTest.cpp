#include <doctest.h>

#include "ArchiveBytes.h"
#include "GdiplusSession.h"
#include "model/ImageStream.h"
#include "render/ColorProcessing.h"

#include <cstring>

using namespace Gdiplus;
using namespace kvtest;

namespace {

Bytes StreamBytes(IStream* s) {
    STATSTG st;
    s->Stat(&st, STATFLAG_NONAME);
    Bytes out(st.cbSize.LowPart);
    LARGE_INTEGER zero = {};
    s->Seek(zero, STREAM_SEEK_SET, nullptr);
    ULONG got = 0;
    if (!out.empty()) s->Read(out.data(), static_cast<ULONG>(out.size()), &got);
    return out;
}

Bytes Encode(Bitmap& bmp, const WCHAR* mime) {
    IStream* s = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &s);
    CLSID clsid;
    REQUIRE(GetEncoderClsid(mime, &clsid) >= 0);
    REQUIRE(bmp.Save(s, &clsid, nullptr) == Ok);
    Bytes out = StreamBytes(s);
    s->Release();
    return out;
}

Bitmap* Solid(int w, int h, PixelFormat fmt, Color c) {
    Bitmap* b = new Bitmap(w, h, fmt);
    Graphics g(b);
    SolidBrush brush(c);
    g.FillRectangle(&brush, 0, 0, w, h);
    return b;
}

bool IsPng(const Bytes& b) {
    return b.size() > 8 && b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G';
}

}  // namespace

TEST_CASE("image record bytes") {
    Bytes payload;
    for (int i = 0; i < 1234; ++i) payload.push_back(static_cast<unsigned char>(i * 7));
    payload[0] = '\n';  // the bytes follow the line at once, whatever they are
    payload[1] = ' ';
    IStreamObject img;
    REQUIRE(img.SetBytes(payload.data(), static_cast<ULONG>(payload.size())));
    Bytes rec = StoreBytes([&](CArchive& ar) { img.Serialize(ar); });
    CHECK(rec == Concat({Raw("1234\n"), payload}));

    IStreamObject back;
    int after = 0;
    REQUIRE(LoadBytes(Concat({rec, I32(5)}), [&](CArchive& ar) {
        back.Serialize(ar);
        ar >> after;
    }));
    CHECK(after == 5);
    REQUIRE(LoadBytes(rec, [&](CArchive& ar) { back.Serialize(ar); }));
    CHECK(StreamBytes(back.GetStream()) == payload);
}

TEST_CASE("empty and damaged counts") {
    SUBCASE("an empty object writes the count 0 and reads back empty") {
        IStreamObject empty;
        Bytes rec = StoreBytes([&](CArchive& ar) { empty.Serialize(ar); });
        CHECK(rec == Raw("0\n"));
        IStreamObject back;
        int after = 0;
        REQUIRE(LoadBytes(Concat({rec, I32(77)}), [&](CArchive& ar) {
            back.Serialize(ar);
            ar >> after;
        }));
        CHECK(back.IsEmpty());
        CHECK(after == 77);  // the reader stayed in step with the file
    }
    SUBCASE("a count of 0 or no number reads nothing and keeps what was held") {
        IStreamObject held;
        BYTE b[3] = {1, 2, 3};
        held.SetBytes(b, 3);
        REQUIRE(LoadBytes(Raw("0\n"), [&](CArchive& ar) { held.Serialize(ar); }));
        CHECK(held.GetSize() == 3);
        REQUIRE(LoadBytes(Raw("x\n"), [&](CArchive& ar) { held.Serialize(ar); }));
        CHECK(held.GetSize() == 3);
    }
    SUBCASE("a negative count reads nothing") {
        IStreamObject img;
        int after = 0;
        REQUIRE(LoadBytes(Concat({Raw("-5\n"), I32(9)}), [&](CArchive& ar) {
            img.Serialize(ar);
            ar >> after;
        }));
        CHECK(img.IsEmpty());
        CHECK(after == 9);
    }
    SUBCASE("a count beyond the data fails with end of file") {
        IStreamObject img;
        int cause = 0;
        CHECK_FALSE(LoadBytes(
            Raw("2000000000\nabc"), [&](CArchive& ar) { img.Serialize(ar); }, &cause));
        CHECK(cause == CArchiveException::endOfFile);
        CHECK(img.IsEmpty());
        CHECK_FALSE(LoadBytes(
            Raw("5\nabc"), [&](CArchive& ar) { img.Serialize(ar); }, &cause));
        CHECK(cause == CArchiveException::endOfFile);
    }
}

TEST_CASE("decoding and re-encoding") {
    REQUIRE(kvtest::GdiplusReady());
    SUBCASE("a JPEG keeps its exact bytes") {
        Bitmap* src = Solid(16, 16, PixelFormat24bppRGB, Color(255, 10, 120, 200));
        Bytes jpeg = Encode(*src, L"image/jpeg");
        delete src;
        IStreamObject img;
        img.SetBytes(jpeg.data(), static_cast<ULONG>(jpeg.size()));
        Bitmap* bmp = img.CreateBitmap();
        REQUIRE(bmp != nullptr);
        CHECK(bmp->GetWidth() == 16);
        PixelFormat fmt = bmp->GetPixelFormat();
        CHECK((fmt == PixelFormat24bppRGB || fmt == PixelFormat32bppARGB));
        delete bmp;
        CHECK(StreamBytes(img.GetStream()) == jpeg);
        Bytes rec = StoreBytes([&](CArchive& ar) { img.Serialize(ar); });
        IStreamObject back;
        REQUIRE(LoadBytes(rec, [&](CArchive& ar) { back.Serialize(ar); }));
        CHECK(StreamBytes(back.GetStream()) == jpeg);
    }
    SUBCASE("a BMP becomes a PNG after its first decoding") {
        Bitmap* src = Solid(5, 4, PixelFormat24bppRGB, Color(255, 0, 0, 255));
        Bytes bmpBytes = Encode(*src, L"image/bmp");
        delete src;
        IStreamObject img;
        img.SetBytes(bmpBytes.data(), static_cast<ULONG>(bmpBytes.size()));
        Bitmap* bmp = img.CreateBitmap();
        REQUIRE(bmp != nullptr);
        Color c;
        bmp->GetPixel(2, 2, &c);
        CHECK(c.GetB() == 255);
        delete bmp;
        Bytes now = StreamBytes(img.GetStream());
        CHECK(IsPng(now));
        Bytes rec = StoreBytes([&](CArchive& ar) { img.Serialize(ar); });
        CHECK(rec == Concat({Raw(std::to_string(now.size()) + "\n"), now}));
    }
    SUBCASE("bytes that do not decode give no bitmap") {
        IStreamObject img;
        BYTE junk[5] = {1, 2, 3, 4, 5};
        img.SetBytes(junk, 5);
        CHECK(img.CreateBitmap() == nullptr);
        CHECK(img.GetSize() == 5);
        IStreamObject none;
        CHECK(none.CreateBitmap() == nullptr);
    }
    SUBCASE("a pasted 32-bit DIB keeps its alpha and ends as a PNG") {
        const int w = 3, h = 2;
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 40 + w * h * 4);
        BYTE* p = static_cast<BYTE*>(GlobalLock(mem));
        std::memset(p, 0, 40 + w * h * 4);
        BITMAPINFOHEADER* bih = reinterpret_cast<BITMAPINFOHEADER*>(p);
        bih->biSize = 40;
        bih->biWidth = w;
        bih->biHeight = h;
        bih->biPlanes = 1;
        bih->biBitCount = 32;
        for (int i = 0; i < w * h; ++i) {
            p[40 + i * 4 + 1] = 200;  // green
            p[40 + i * 4 + 3] = 100;  // alpha
        }
        GlobalUnlock(mem);
        IStreamObject img;
        Bitmap* bmp = img.SetFromHGlobal(mem);
        REQUIRE(bmp != nullptr);
        Color c;
        bmp->GetPixel(1, 1, &c);
        CHECK(c.GetA() == 100);
        CHECK(c.GetG() == 200);
        delete bmp;
        CHECK(IsPng(StreamBytes(img.GetStream())));
        Bitmap* again = img.CreateBitmap();
        REQUIRE(again != nullptr);
        again->GetPixel(0, 0, &c);
        CHECK(c.GetA() == 100);
        delete again;
        GlobalFree(mem);
        CHECK(img.SetFromHGlobal(nullptr) == nullptr);
    }
    SUBCASE("a pasted 24-bit DIB decodes through a BMP and ends as a PNG") {
        const int w = 2, h = 2, stride = 8;
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 40 + stride * h);
        BYTE* p = static_cast<BYTE*>(GlobalLock(mem));
        std::memset(p, 0, 40 + stride * h);
        BITMAPINFOHEADER* bih = reinterpret_cast<BITMAPINFOHEADER*>(p);
        bih->biSize = 40;
        bih->biWidth = w;
        bih->biHeight = h;
        bih->biPlanes = 1;
        bih->biBitCount = 24;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) p[40 + y * stride + x * 3 + 2] = 255;  // red
        GlobalUnlock(mem);
        IStreamObject img;
        Bitmap* bmp = img.SetFromHGlobal(mem);
        REQUIRE(bmp != nullptr);
        Color c;
        bmp->GetPixel(0, 0, &c);
        CHECK(c.GetR() == 255);
        delete bmp;
        CHECK(IsPng(StreamBytes(img.GetStream())));
        GlobalFree(mem);
    }
    SUBCASE("copying and clearing") {
        IStreamObject a, b;
        BYTE data[4] = {9, 8, 7, 6};
        a.SetBytes(data, 4);
        CHECK(b.CopyFrom(a.GetStream()));
        CHECK(StreamBytes(b.GetStream()) == Bytes({9, 8, 7, 6}));
        CHECK(b.GetStream() != a.GetStream());
        CHECK_FALSE(b.CopyFrom(nullptr));
        CHECK_FALSE(b.IsEmpty());
        b.Clear();
        CHECK(b.IsEmpty());
        CHECK_FALSE(b.SetBytes(data, 0));
        CHECK(b.IsEmpty());
    }
}
