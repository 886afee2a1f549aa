#include <doctest.h>

#include "GdiplusSession.h"
#include "model/AlbumInfo.h"
#include "model/ViewObject.h"

#include <thread>
#include <vector>

using namespace Gdiplus;

namespace {

ViewObject* MakeDisc(const char* name, int left, int top, int width = 4625, int height = 1600) {
    return NewViewObject(kObjectDisc, name, 0, name, left, top, width, height);
}

// A small PNG made by GDI+, as file bytes.
std::vector<BYTE> PngBytes(int w, int h, Color c) {
    Bitmap bmp(w, h, PixelFormat32bppARGB);
    {
        Graphics g(&bmp);
        SolidBrush b(c);
        g.FillRectangle(&b, 0, 0, w, h);
    }
    IStream* s = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &s);
    CLSID png;
    CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", &png);
    bmp.Save(s, &png, nullptr);
    STATSTG st;
    s->Stat(&st, STATFLAG_NONAME);
    std::vector<BYTE> out(st.cbSize.LowPart);
    LARGE_INTEGER zero = {};
    s->Seek(zero, STREAM_SEEK_SET, nullptr);
    ULONG got = 0;
    s->Read(out.data(), static_cast<ULONG>(out.size()), &got);
    s->Release();
    return out;
}

}  // namespace

TEST_CASE("defaults and type names") {
    ViewObject o;
    CHECK(o.type == 0);
    CHECK(o.savedLeft == -1);
    CHECK(o.savedTop == -1);
    CHECK(o.needsLayout == 1);
    CHECK(o.GetTypeName() == "");
    for (int t = 1; t <= 10; ++t) {
        o.type = t;
        o.typeName = o.GetTypeName();
        o.type = 0;
        o.SetTypeFromName();
        CHECK(o.type == t);
    }
    o.type = 5;
    o.typeName = "Unknown";
    o.SetTypeFromName();
    CHECK(o.type == 5);

    // the old type name "Cover" is resolved by the object's name
    o.typeName = "Cover";
    o.name = "Disc 2";
    o.SetTypeFromName();
    CHECK(o.type == kObjectDisc);
    o.name = "Front Cover";
    o.SetTypeFromName();
    CHECK(o.type == kObjectFront);
    o.name = "Back Cover";
    o.SetTypeFromName();
    CHECK(o.type == kObjectJewel);
    CAlbumInfo album;
    album.m_case = "DVD";
    g_loadingAlbumInfo = &album;
    o.SetTypeFromName();
    g_loadingAlbumInfo = nullptr;
    CHECK(o.type == kObjectDvd);
}

TEST_CASE("type predicates") {
    ViewObject* d = MakeDisc("Disc 11", 0, 0);
    CHECK(d->IsDisc(1));
    CHECK(d->IsDisc(11));
    CHECK(d->IsDisc(-1));
    CHECK_FALSE(d->IsDisc(2));
    CHECK(d->IsSide());
    DeleteViewObject(d);

    ViewObject t;
    t.type = kObjectText;
    t.name = "Tex";
    CHECK_FALSE(t.IsFreeText());
    t.name = "Text 2";
    CHECK(t.IsFreeText());
    t.name = "Text(Front Cover)";
    CHECK(t.IsFreeText());
    t.name = "Time - Disc 2";
    CHECK(t.IsTimeField());

    ViewObject b;
    b.type = kObjectBoundary;
    b.name = "Front Cover (Inside)";
    CHECK(b.IsFrontCoverInside());
    b.name = "Left Tab 2";
    CHECK(b.IsLeftTab());
    CHECK_FALSE(b.IsRightTab());

    ViewObject tr;
    tr.type = kObjectTrack;
    tr.trackNumbers = "Track Numbers && Times";
    CHECK(tr.ShowsTrackNumbers());
    CHECK(tr.ShowsTrackTimes());
    tr.trackNumbers = "Text Only";
    CHECK_FALSE(tr.ShowsTrackNumbers());
    tr.textLayout = "2 Columns";
    CHECK(tr.IsColumnFormat());

    ViewObject a;
    a.angle = "90 degrees";
    CHECK(a.AngleToDegrees() == 270);
    a.angle = "270 degrees";
    CHECK(a.AngleToDegrees() == 90);
    a.angle = "180 degrees";
    CHECK(a.AngleToDegrees() == 180);
    a.angle = "45";
    CHECK(a.AngleToDegrees() == 0);
}

TEST_CASE("disc geometry and hit tests") {
    ViewObject* d = MakeDisc("Disc 1", 1938, 688);
    CHECK(d->GetBottom() == 5313);
    CHECK(d->GetRight() == 1938 + 4625);
    CHECK(d->GetArea() == doctest::Approx(3.14159265f * 2312.5f * 2312.5f));
    RectF hf = d->GetRectF(true);
    CHECK(hf.X == 3450.5f);
    CHECK(hf.Width == 1600.0f);
    Rect hr = d->GetDeviceRect(true);
    CHECK(hr.X == 3450);
    CRect hb = d->GetDeviceBounds(true);
    CHECK(hb.left == 3450);
    CHECK(hb.right == 3450 + 1600);
    RectF outer = d->GetRectF(false);
    CHECK(outer.Height == 4625.0f);

    // scaled: 96 dots per inch at zoom 2, offset and margin scaled by the horizontal factor
    RectF s = d->GetRectF(false, 10, 96, 192, 2.0, 100, 100);
    CHECK(s.X == doctest::Approx(1938 * 0.192f + 100 * 0.192f - 10 * 0.192f));
    CHECK(s.Y == doctest::Approx(688 * 0.384f + 100 * 0.192f - 10 * 0.192f));
    Rect sr = d->GetDeviceRect(false, 0, 96, 96, 1.0, 0, 0);
    CHECK(sr.X == 186);  // 1938 x 0.096 = 186.048
    CHECK(sr.Width == 444);
    // the hole narrows by the margin
    RectF hm = d->GetRectF(true, 100);
    CHECK(hm.Width == 1400.0f);

    Point center(1938 + 2312, 688 + 2312);
    CHECK_FALSE(d->HitTest(static_cast<float>(center.X), static_cast<float>(center.Y)));  // in the hole
    CHECK(d->HitTest(static_cast<float>(center.X), 688.0f + 300.0f));
    CHECK_FALSE(d->HitTest(1940.0f, 690.0f));  // corner of the square, outside the circle
    DeleteViewObject(d);

    ViewObject r;
    r.type = kObjectText;
    r.left = 10;
    r.top = 20;
    r.width = 100;
    r.height = 50;
    CHECK(r.HitTest(10, 20));
    CHECK_FALSE(r.HitTest(110, 30));  // the right edge misses
    CHECK_FALSE(r.HitTest(50, 70));
    CHECK(r.GetCenter().x == 60);
    CHECK(r.GetBottom() == 70);
}

TEST_CASE("copies") {
    REQUIRE(kvtest::GdiplusReady());
    ViewObject* src = new ViewObject;
    src->type = kObjectImage;
    src->name = "Image";
    src->left = 5;
    src->hue = 30;
    std::vector<BYTE> png = PngBytes(4, 3, Color(255, 200, 0, 0));
    REQUIRE(src->image.SetBytes(png.data(), static_cast<ULONG>(png.size())));
    REQUIRE(src->EnsureImageLoaded());

    SUBCASE("a shared copy never releases what it borrows") {
        ViewObject* share = new ViewObject;
        share->CopyFrom(src, false, false, true);
        CHECK(share->left == 5);
        CHECK(share->hue == 30);
        CHECK(share->SharesImageData());
        CHECK(share->decodedImage == src->decodedImage);
        CHECK(share->image.GetStream() == src->image.GetStream());
        DeleteViewObject(share);
        // the source still holds working data
        REQUIRE(src->decodedImage != nullptr);
        CHECK(src->decodedImage->GetWidth() == 4);
        CHECK(src->image.GetSize() == png.size());
        // a shared copy that frees its data, or gets a bitmap of its own, leaves the source alone
        ViewObject* share2 = new ViewObject;
        share2->CopyFrom(src, false, false, true);
        share2->FreeImageData(false);
        CHECK(share2->image.IsEmpty());
        CHECK(share2->decodedImage == nullptr);
        share2->CopyFrom(src, false, false, true);
        share2->SetDecodedImage(new Bitmap(2, 2, PixelFormat24bppRGB));
        // dropping the borrowed bitmaps and decoding again from the borrowed bytes
        share2->FreeImageData(true);
        CHECK(share2->image.IsBorrowed());
        REQUIRE(share2->EnsureImageLoaded());
        CHECK(share2->decodedImage != src->decodedImage);
        DeleteViewObject(share2);
        CHECK(src->decodedImage->GetWidth() == 4);
        CHECK(src->image.GetSize() == png.size());
    }
    SUBCASE("a copied image has its own bytes") {
        ViewObject* copy = new ViewObject;
        copy->CopyFrom(src, false, true, false);
        CHECK_FALSE(copy->SharesImageData());
        CHECK(copy->image.GetStream() != src->image.GetStream());
        CHECK(copy->image.GetSize() == png.size());
        DeleteViewObject(copy);
        CHECK(src->image.GetSize() == png.size());
    }
    SUBCASE("moving takes the bytes from the source") {
        ViewObject* moved = new ViewObject;
        IStream* stream = src->image.GetStream();
        moved->CopyFrom(src, true, false, false);
        CHECK(moved->image.GetStream() == stream);
        CHECK(src->image.IsEmpty());
        DeleteViewObject(moved);
    }
    SUBCASE("texts and styles are deep copies") {
        ViewObject* t = new ViewObject;
        t->type = kObjectText;
        t->SetText("ab");
        t->charFonts.Add(ViewObject::NewDefaultFontRecord());
        t->charFonts.Add(nullptr);
        t->charColors.Add(new COLORREF(RGB(1, 2, 3)));
        t->charColors.Add(nullptr);
        t->charUnderlines.Add(1);
        t->charUnderlines.Add(0);
        ViewObject* c = new ViewObject;
        c->CopyFrom(t, false, false, false);
        CHECK(c->GetText() == "ab");
        REQUIRE(c->charFonts.GetSize() == 2);
        CHECK(c->charFonts[0] != t->charFonts[0]);
        CHECK(std::string(c->charFonts[0]->lfFaceName) == "Arial");
        CHECK(c->charFonts[1] == nullptr);
        CHECK(*c->charColors[0] == RGB(1, 2, 3));
        CHECK(c->charUnderlines[0] == 1);
        DeleteViewObject(t);
        CHECK(c->charFonts[0]->lfHeight == 400);
        DeleteViewObject(c);
    }
    DeleteViewObject(src);
}

TEST_CASE("image files") {
    REQUIRE(kvtest::GdiplusReady());
    ViewObject img;
    img.type = kObjectImage;
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string good = std::string(tmp) + "kv_model_img.png";
    std::string bad = std::string(tmp) + "kv_model_bad.png";
    std::vector<BYTE> png = PngBytes(8, 6, Color(255, 0, 255, 0));
    FILE* f = fopen(good.c_str(), "wb");
    fwrite(png.data(), 1, png.size(), f);
    fclose(f);
    f = fopen(bad.c_str(), "wb");
    fwrite("not an image", 1, 12, f);
    fclose(f);

    CHECK(img.LoadImageFile(good.c_str(), false));
    REQUIRE(img.decodedImage != nullptr);
    CHECK(img.decodedImage->GetWidth() == 8);
    CHECK(img.LoadImageFile(good.c_str(), true));
    CHECK(img.decodedImage == nullptr);
    CHECK_FALSE(img.image.IsEmpty());
    CHECK_FALSE(img.LoadImageFile(bad.c_str(), false));
    CHECK(img.image.IsEmpty());  // never left with bytes that do not decode
    CHECK(img.decodedImage == nullptr);
    CHECK_FALSE(img.LoadImageFile((std::string(tmp) + "kv_missing.png").c_str(), false));
    CHECK_FALSE(img.EnsureImageLoaded());

    ViewObject text;
    text.type = kObjectText;
    CHECK_FALSE(text.LoadImageFile(good.c_str(), false));
    DeleteFileA(good.c_str());
    DeleteFileA(bad.c_str());
}

TEST_CASE("the colour worker's busy flag is taken by one thread at a time") {
    ViewObject o;
    CHECK(o.TryLockHsl());
    CHECK_FALSE(o.TryLockHsl());
    o.UnlockHsl();
    int counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                o.LockHsl();
                int v = counter;
                counter = v + 1;
                o.UnlockHsl();
            }
        });
    for (auto& th : threads) th.join();
    CHECK(counter == 8000);
    CHECK_FALSE(o.IsHslBusy());
}
