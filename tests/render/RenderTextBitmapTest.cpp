// The text layer's drawing (quality by purpose, clipping, font size on the surface, underlines)
// and designs turned into bitmaps: sizes and resolution, the disc-printer square, previews and
// the thumbnail strip.
#include <doctest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/PaperTable.h"
#include "GdiplusSession.h"
#include "render/DocumentBitmap.h"
#include "render/GlyphStamps.h"
#include "render/RenderContext.h"
#include "render/TextLayer.h"
#include "RenderFixtures.h"

using namespace Gdiplus;

namespace {

struct Surface {
    Bitmap bitmap;
    Graphics g;
    Surface(int w, int h) : bitmap(w, h, PixelFormat24bppRGB), g(&bitmap) { g.Clear(Color(0xFFFFFFFF)); }
};

// A cover side holding one text, drawn by the text layer at 100 pixels per inch.
struct TextScene {
    rt::Design d;
    ViewObject* cover;
    ViewObject* text;
    TextScene(const char* s, int x, int y, int w, int h, int tenths = 400) {
        d.AddPage(2, 8500, 11000);
        cover = d.Add(NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", 0, 0, 6000, 6000));
        text = d.Add(NewViewObject(kObjectText, "Text 1", 2, "Front Cover", x, y, w, h));
        text->alignment = "Left";
        rt::SetStyledText(text, s, "Arial", tenths);
    }
    void Draw(Surface& s, int purpose) {
        RenderContext rc;
        rc.Init(&s.g, 0.1, 0.1, 0, 0, purpose, &d.doc, cover, nullptr);
        rc.children.Add(cover);
        rc.children.Add(text);
        rc.ApplyClip(true);
        DrawTextLayer(rc);
    }
};

}  // namespace

TEST_CASE("text layer") {
    REQUIRE(kvtest::GdiplusReady());
    SUBCASE("quality by purpose") {
        TextScene t("Abc\b", 500, 500, 3000, 1000);
        Surface s(600, 600);
        t.Draw(s, kPurposeThumbnail);
        CHECK(s.g.GetTextRenderingHint() == TextRenderingHintSingleBitPerPixel);
        t.Draw(s, kPurposeExport);
        CHECK(s.g.GetTextRenderingHint() == TextRenderingHintAntiAlias);
        t.Draw(s, kPurposePrintPreview);
        CHECK(s.g.GetTextRenderingHint() == TextRenderingHintSingleBitPerPixel);
    }
    SUBCASE("the font size on the surface follows the design's scale") {
        TextScene t("H\b", 500, 500, 5000, 3000, 1000);  // 100 points: a capital about 1 inch high
        Surface s(600, 600);
        t.Draw(s, kPurposeExport);
        Rect ink = rt::InkBox(&s.bitmap, Rect(0, 0, 600, 600));
        CHECK(ink.Height > 85);
        CHECK(ink.Height < 110);
        CHECK(ink.X >= 50);
        // The glyph's box places the ink: the top of the capital lies below the glyph's top.
        CHECK(ink.Y >= 50 + static_cast<int>(t.text->glyphBoxes[0]->Y / 10) - 1);
    }
    SUBCASE("text without AutoFit is clipped to its box") {
        TextScene t("WWWWWWWWWW\b", 500, 500, 1000, 1000, 400);
        Surface s(600, 600);
        t.Draw(s, kPurposeExport);
        Rect ink = rt::InkBox(&s.bitmap, Rect(0, 0, 600, 600));
        CHECK(ink.Width > 0);
        CHECK(ink.GetRight() <= 150);
        CHECK(t.text->cellBoxes[9]->GetRight() > 1000);  // the layout itself ran past the box
    }
    SUBCASE("underline below the baseline, by its thickness") {
        TextScene t("HH\b", 500, 500, 3000, 2000, 1000);
        t.text->charUnderlines[0] = 1;
        t.text->charUnderlines[1] = 1;
        Surface s(600, 600);
        t.Draw(s, kPurposeExport);
        const RectF& g = *t.text->glyphBoxes[0];
        const int thickness = t.text->charUnderlines[0];
        CHECK(thickness > 0);
        // The line's middle lies at baseline + thickness: rows there are dark across the glyph.
        const int y = static_cast<int>((500 + g.Y + g.Height + thickness) * 0.1 + 0.5);
        const int x = static_cast<int>((500 + g.X + g.Width / 2) * 0.1);
        CHECK(rt::Pixel(&s.bitmap, x, y).GetR() < 100);
        // Between the baseline and the line there is a gap of white when the line is thick enough.
        CHECK(rt::Pixel(&s.bitmap, x, y - 30).GetR() > 200);
    }
    SUBCASE("a text whose first character has no font still draws") {
        TextScene t("Abc\b", 500, 500, 3000, 1000);
        delete t.text->charFonts[0];
        t.text->charFonts[0] = nullptr;
        Surface s(600, 600);
        t.Draw(s, kPurposeExport);
        CHECK(rt::InkBox(&s.bitmap, Rect(0, 0, 600, 600)).Width > 10);
    }
    SUBCASE("a text whose colour slots are all empty is stored without colours and drawn in black") {
        TextScene t("HELLO\b", 500, 500, 3000, 1000);
        for (INT_PTR i = 0; i < t.text->charColors.GetSize(); ++i) delete t.text->charColors[i];
        for (INT_PTR i = 0; i < t.text->charColors.GetSize(); ++i) t.text->charColors[i] = nullptr;
        CHECK(t.text->EncodeColorRuns().IsEmpty());
        // Stored and read back, as a saved design is: the colour array comes back empty.
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            t.text->Serialize(ar);
            ar.Close();
        }
        file.SeekToBegin();
        ViewObject* back = new ViewObject;
        {
            CArchive ar(&file, CArchive::load);
            back->Serialize(ar);
        }
        CHECK(back->charColors.GetSize() == 0);
        t.d.tmpl->objects.RemoveAt(t.d.tmpl->objects.GetSize() - 1);
        DeleteViewObject(t.text);
        t.text = t.d.Add(back);
        Surface s(600, 600);
        t.Draw(s, kPurposeExport);
        const Rect ink = rt::InkBox(&s.bitmap, Rect(0, 0, 600, 600));
        CHECK(ink.Width > 40);
        CHECK(ink.Height > 10);
        CHECK(rt::InkBox(&s.bitmap, Rect(0, 0, 600, 600), 60).Width > 20);  // black, not grey
        CHECK(back->EncodeColorRuns().IsEmpty());  // drawing adds no colour to what is stored
    }
    SUBCASE("a face that is not installed draws in a default face") {
        TextScene t("Abc\b", 500, 500, 3000, 1000);
        strcpy(t.text->charFonts[0]->lfFaceName, "Missing Face 123");
        Surface s(600, 600);
        t.Draw(s, kPurposeExport);
        CHECK(rt::InkBox(&s.bitmap, Rect(0, 0, 600, 600)).Width > 10);
    }
    SUBCASE("turned text is drawn inside its turned box") {
        TextScene t("Abcdef\b", 1000, 1000, 800, 3000, 400);
        t.text->angle = "90 degrees";
        Surface s(600, 600);
        t.Draw(s, kPurposeExport);
        Rect ink = rt::InkBox(&s.bitmap, Rect(0, 0, 600, 600));
        CHECK(ink.Height > ink.Width);  // reads upwards
        CHECK(ink.X >= 99);
        CHECK(ink.GetRight() <= 181);
        CHECK(ink.Y >= 99);
        CHECK(ink.GetBottom() <= 401);
    }
}

TEST_CASE("design to bitmap") {
    REQUIRE(kvtest::GdiplusReady());
    rt::Design d;
    d.AddPage(2, 8500, 11000);
    ViewObject* front = d.Add(NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", 0, 0, 5000, 4750));
    PrintOptions options;
    options.frontMargin = 100;
    Bitmap* b = RenderDocumentToBitmap(&d.doc, front, kPurposeExport, 300, &options);
    REQUIRE(b != nullptr);
    CHECK(b->GetWidth() == 1560);
    CHECK(b->GetHeight() == 1485);
    CHECK(b->GetHorizontalResolution() == doctest::Approx(300));
    CHECK(b->GetVerticalResolution() == doctest::Approx(300));
    CHECK(b->GetPixelFormat() == PixelFormat24bppRGB);
    delete b;

    ViewObject* text = d.Add(NewViewObject(kObjectText, "Text 1", 2, "Front Cover", 0, 0, 100, 100));
    CHECK(RenderDocumentToBitmap(&d.doc, text, kPurposeExport, 300, nullptr) == nullptr);
    CHECK(RenderDocumentToBitmap(&d.doc, nullptr, kPurposeExport, 300, nullptr) == nullptr);
    ViewObject* page = d.doc.FindPage(2, false);
    REQUIRE(page != nullptr);
    b = RenderDocumentToBitmap(&d.doc, page, kPurposeExport, 150, nullptr);
    REQUIRE(b != nullptr);
    CHECK(b->GetWidth() == 1275);
    CHECK(b->GetHeight() == 1650);
    delete b;
}

TEST_CASE("disc printing and disc previews") {
    REQUIRE(kvtest::GdiplusReady());
    rt::Design d;
    d.AddPage(1, 5500, 5500);
    ViewObject* disc = d.Add(NewViewObject(kObjectDisc, "Disc 1", 1, "Disc 1", 0, 0, 4622, 1500));
    disc->charColors.Add(new COLORREF(RGB(0, 0, 255)));
    Bitmap* b = RenderDocumentToBitmap(&d.doc, disc, kPurposeLightScribe, 100, nullptr);
    REQUIRE(b != nullptr);
    CHECK(b->GetWidth() == 462);
    CHECK(rt::SameRgb(rt::Pixel(b, 231, 3), 0, 0, 255));
    // Disc printing draws without any clip: the printer burns the ring only.
    CHECK(rt::SameRgb(rt::Pixel(b, 231, 231), 0, 0, 255));
    delete b;

    // A smaller disc: the printer's square still fills the bitmap, with the disc centred in it.
    disc->width = 4000;
    b = RenderDocumentToBitmap(&d.doc, disc, kPurposeLightScribe, 100, nullptr);
    REQUIRE(b != nullptr);
    CHECK(b->GetWidth() == 400);
    const double s = 400.0 / 4622;
    const int edge = static_cast<int>(311 * s);  // (4622 - 4000) / 2 on every side
    CHECK(rt::SameRgb(rt::Pixel(b, 200, edge - 3), 255, 255, 255));
    CHECK(rt::SameRgb(rt::Pixel(b, 200, edge + 3), 0, 0, 255));
    CHECK(rt::SameRgb(rt::Pixel(b, 200, 400 - edge - 4), 0, 0, 255));
    CHECK(rt::SameRgb(rt::Pixel(b, 200, 400 - edge + 3), 255, 255, 255));
    delete b;

    // The side picture of a preview fits the box it is asked for.
    Bitmap* p = RenderSideBitmap(&d.doc, disc, nullptr, kPurposeThumbnail, 80, 64);
    REQUIRE(p != nullptr);
    CHECK(p->GetHeight() == 64);
    CHECK(p->GetWidth() == 64);
    CHECK(rt::SameRgb(rt::Pixel(p, 32, 3), 0, 0, 255, 40));
    delete p;
    p = RenderSideBitmap(&d.doc, disc, nullptr, kPurposeLightScribePreview, 200, 200);
    REQUIRE(p != nullptr);
    CHECK(p->GetWidth() == 200);
    delete p;
}

TEST_CASE("thumbnail strips") {
    REQUIRE(kvtest::GdiplusReady());
    InitPaperTable();
    KorvanelleDocument library;
    library.CreateBuiltInTemplates();
    LabelTemplate* disc = library.FindTemplate("(CD/DVD Disc Label - Generic)");
    LabelTemplate* jewel = library.FindTemplate("(CD Jewel Case - Plain Paper)");
    REQUIRE(disc != nullptr);
    REQUIRE(jewel != nullptr);

    auto stripOf = [](KorvanelleDocument& design) -> Bitmap* {
        REQUIRE(MakeDocumentThumbnail(&design));
        REQUIRE(design.imagePool.GetSize() == 1);
        return design.imagePool[0]->CreateBitmap();
    };
    // Part widths: each side fitted into 64 pixels of height, plus a 10-pixel gap.
    auto partWidth = [](int w, int h) { return static_cast<int>(64 * (static_cast<double>(w) / h)) + 10; };
    SUBCASE("one disc: three parts and a trailing gap of 10") {
        KorvanelleDocument design;
        design.CreateFromTemplates(disc, jewel);
        Bitmap* strip = stripOf(design);
        REQUIRE(strip != nullptr);
        CHECK(strip->GetHeight() == 64);
        const int expected = partWidth(5910, 4650) + partWidth(9520, 4760) + partWidth(4625, 4625);
        CHECK(static_cast<int>(strip->GetWidth()) == expected);
        CHECK(rt::SameRgb(rt::Pixel(strip, strip->GetWidth() - 5, 32), 255, 255, 255));
        delete strip;
        design.DeleteContents(true);
    }
    SUBCASE("two discs: four parts, the strip 8 pixels shorter") {
        KorvanelleDocument design;
        design.CreateFromTemplates(disc, jewel);
        design.GetDiscTemplate()->SetLayout(kLayout2DiscTop);
        Bitmap* strip = stripOf(design);
        REQUIRE(strip != nullptr);
        const int expected = partWidth(5910, 4650) + partWidth(9520, 4760) + 2 * partWidth(4625, 4625) - 8;
        CHECK(static_cast<int>(strip->GetWidth()) == expected);
        delete strip;
        design.DeleteContents(true);
    }
    library.DeleteContents(true);
}

TEST_CASE("a text's screen picture put only where it has ink gives the pixels of the whole picture") {
    REQUIRE(kvtest::GdiplusReady());
    Bitmap picture(120, 80, PixelFormat32bppPARGB);
    {
        Graphics g(&picture);
        g.Clear(Color(0, 0, 0, 0));
        CHECK(InkBounds(&picture).Width == 0);
        g.SetSmoothingMode(SmoothingModeAntiAlias);
        SolidBrush brush(Color(200, 30, 90, 160));
        g.FillRectangle(&brush, RectF(30.5f, 20.5f, 41.0f, 17.0f));
        SolidBrush other(Color(90, 250, 10, 60));
        g.FillEllipse(&other, RectF(40.3f, 25.6f, 21.5f, 9.2f));
    }
    const Rect ink = InkBounds(&picture);
    CHECK(ink.Width > 0);
    {
        // Two faint pixels far apart bound the ink exactly, whatever lies between.
        Bitmap dots(120, 80, PixelFormat32bppPARGB);
        Rect all(0, 0, 120, 80);
        BitmapData data;
        REQUIRE(dots.LockBits(&all, ImageLockModeWrite, PixelFormat32bppPARGB, &data) == Ok);
        for (int y = 0; y < 80; ++y) std::memset(static_cast<BYTE*>(data.Scan0) + y * data.Stride, 0, 480);
        reinterpret_cast<UINT32*>(static_cast<BYTE*>(data.Scan0) + 7 * data.Stride)[12] = 0x01000000;
        reinterpret_cast<UINT32*>(static_cast<BYTE*>(data.Scan0) + 60 * data.Stride)[90] = 0x00000001;
        dots.UnlockBits(&data);
        const Rect bounds = InkBounds(&dots);
        CHECK(bounds.X == 12);
        CHECK(bounds.Y == 7);
        CHECK(bounds.Width == 79);
        CHECK(bounds.Height == 54);
    }

    // Put on a patterned side as the screen puts it (pixel for pixel), whole and cropped.
    auto put = [&](bool cropped) {
        Bitmap side(200, 150, PixelFormat24bppRGB);
        Rect all(0, 0, 200, 150);
        BitmapData data;
        side.LockBits(&all, ImageLockModeWrite, PixelFormat24bppRGB, &data);
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 600; ++x)
                static_cast<BYTE*>(data.Scan0)[y * data.Stride + x] = static_cast<BYTE>(x * 7 + y * 13);
        side.UnlockBits(&data);
        {
            Graphics g(&side);
            g.SetInterpolationMode(InterpolationModeNearestNeighbor);
            g.SetPixelOffsetMode(PixelOffsetModeHalf);
            if (cropped)
                g.DrawImage(&picture, Rect(33 + ink.X, 17 + ink.Y, ink.Width, ink.Height), ink.X, ink.Y, ink.Width,
                            ink.Height, UnitPixel);
            else
                g.DrawImage(&picture, Rect(33, 17, 120, 80), 0, 0, 120, 80, UnitPixel);
        }
        std::vector<BYTE> bytes;
        side.LockBits(&all, ImageLockModeRead, PixelFormat24bppRGB, &data);
        for (int y = 0; y < 150; ++y) {
            const BYTE* row = static_cast<const BYTE*>(data.Scan0) + y * data.Stride;
            bytes.insert(bytes.end(), row, row + 600);
        }
        side.UnlockBits(&data);
        return bytes;
    };
    const std::vector<BYTE> whole = put(false), cropped = put(true);
    int differing = 0;
    for (size_t i = 0; i < whole.size(); ++i) differing += whole[i] != cropped[i];
    CHECK(differing == 0);
}

TEST_CASE("a text's screen picture changed by a few characters has the pixels of one drawn anew") {
    REQUIRE(kvtest::GdiplusReady());
    // A centred, wrapped text of three lines: a key typed at its end centres its last line again.
    TextScene t("The quick brown fox jumps over the lazy dog, then the dog naps\b", 300, 300, 2600, 1600, 240);
    t.text->alignment = "Center";
    t.text->wrapStyle = "Word-Wrap";
    t.text->charUnderlines[3] = 4;
    auto draw = [&](bool anew) {
        if (anew) ForgetTextPictures();
        t.text->needsLayout = 1;
        Surface s(340, 240);
        t.Draw(s, kPurposeScreen);
        std::vector<BYTE> bytes;
        Rect all(0, 0, 340, 240);
        BitmapData data;
        s.bitmap.LockBits(&all, ImageLockModeRead, PixelFormat24bppRGB, &data);
        for (int y = 0; y < 240; ++y) {
            const BYTE* row = static_cast<const BYTE*>(data.Scan0) + y * data.Stride;
            bytes.insert(bytes.end(), row, row + 340 * 3);
        }
        s.bitmap.UnlockBits(&data);
        return bytes;
    };
    auto text = [&] { return t.text->GetText(); };
    struct Edit {
        const char* what;
        std::function<void()> apply;
    };
    const Edit edits[] = {
        {"a key typed at the end", [&] { t.text->SetTextKeepStyles(text().Left(text().GetLength() - 1) + "s\b"); }},
        {"a second key", [&] { t.text->SetTextKeepStyles(text().Left(text().GetLength() - 1) + "!\b"); }},
        {"a character typed in the middle line",
         [&] {
             CString s = text();
             s.Insert(30, "W");
             t.text->SetTextKeepStyles(s);
         }},
        {"the last character deleted", [&] { t.text->SetTextKeepStyles(text().Left(text().GetLength() - 2) + "\b"); }},
        {"one letter coloured", [&] { t.text->charColors[8] = new COLORREF(RGB(220, 20, 40)); }},
        {"one letter underlined", [&] { t.text->charUnderlines[45] = 5; }},
        {"the last word in a larger size", [&] { rt::SetCharFont(t.text, text().GetLength() - 5, "Arial", 300); }},
    };
    const long patchedBefore = TextPicturesPatched();
    draw(true);
    for (const Edit& e : edits) {
        const std::string what = e.what;
        CAPTURE(what);
        e.apply();
        const std::vector<BYTE> patched = draw(false), whole = draw(true);
        int differing = 0;
        for (size_t i = 0; i < whole.size(); ++i) differing += whole[i] != patched[i];
        CHECK(differing == 0);
    }
    // Each edit but the size change (which moves every line) was drawn in part.
    CHECK(TextPicturesPatched() - patchedBefore >= 5);
}

TEST_CASE("characters stamped into a text's screen picture have the pixels GDI+ draws for them") {
    REQUIRE(kvtest::GdiplusReady());
    struct Scene {
        const char* text;
        const char* face;
        int tenths, weight;
        bool italic, autoFit;
        double scale;
        COLORREF color;
    };
    // Sizes from a few pixels to large letters, scales that put characters between pixels,
    // italic and bold letters that overlap their neighbours, colours, AutoFit's own sizes.
    const Scene scenes[] = {
        {"The quick brown fox jumps over the lazy dog, then naps\b", "Arial", 90, 400, false, false, 0.1, 0},
        {"Wavy Type fiji AVATAR ffl 0123456789 ,.;:!?\b", "Times New Roman", 140, 700, true, false, 0.137,
         RGB(200, 30, 60)},
        {"Mono spaced wwww iiii MMMM ____ ----\b", "Courier New", 260, 400, false, false, 0.0713,
         RGB(10, 120, 40)},
        {"small print with many little letters in a long wrapped line of text to fill the box\b", "Arial", 45,
         400, true, true, 0.1333, RGB(0, 0, 255)},
        {"BIG bold\b", "Arial", 700, 700, false, false, 0.21, RGB(90, 90, 90)},
        {"overlapping letters in colours of their own: wwvvffjj AVAW WAVE kerning\b", "Times New Roman", 70,
         700, true, false, 0.1, RGB(0, 0, 0)},
    };
    auto bytesOf = [](Surface& s, int w, int h) {
        std::vector<BYTE> bytes;
        Rect all(0, 0, w, h);
        BitmapData data;
        s.bitmap.LockBits(&all, ImageLockModeRead, PixelFormat24bppRGB, &data);
        for (int y = 0; y < h; ++y) {
            const BYTE* row = static_cast<const BYTE*>(data.Scan0) + y * data.Stride;
            bytes.insert(bytes.end(), row, row + w * 3);
        }
        s.bitmap.UnlockBits(&data);
        return bytes;
    };
    const long stampedBefore = GlyphsStamped();
    for (const Scene& sc : scenes) {
        const std::string what = std::string(sc.face) + ": " + sc.text;
        CAPTURE(what);
        TextScene t(sc.text, 310, 270, 2900, 1700, sc.tenths);
        rt::SetStyledText(t.text, sc.text, sc.face, sc.tenths, sc.weight, sc.italic, sc.color);
        t.text->alignment = "Center";
        t.text->wrapStyle = "Word-Wrap";
        t.text->bAutoFit = sc.autoFit ? 1 : 0;
        if (std::strncmp(sc.text, "overlapping", 11) == 0) {
            // Neighbours in different colours: where they share pixels the later one blends over.
            const COLORREF colors[] = {RGB(230, 20, 20), RGB(20, 160, 40), RGB(30, 30, 220),
                                       RGB(250, 250, 250)};
            for (int i = 0; i < t.text->GetCharCount(); ++i) {
                delete t.text->charColors[i];
                t.text->charColors[i] = new COLORREF(colors[i % 4]);
            }
        }
        auto draw = [&](bool stamps, bool anew) {
            UseGlyphStamps(stamps);
            if (anew) ForgetTextPictures();
            t.text->needsLayout = 1;
            const int w = static_cast<int>(3600 * sc.scale) + 10, h = static_cast<int>(2400 * sc.scale) + 10;
            Surface s(w, h);
            RenderContext rc;
            rc.Init(&s.g, sc.scale, sc.scale, 0.37f, 0.61f, kPurposeScreen, &t.d.doc, t.cover, nullptr);
            rc.children.Add(t.cover);
            rc.children.Add(t.text);
            rc.ApplyClip(true);
            DrawTextLayer(rc);
            UseGlyphStamps(true);
            return bytesOf(s, w, h);
        };
        auto differing = [](const std::vector<BYTE>& a, const std::vector<BYTE>& b) {
            int n = 0;
            for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] != b[i];
            return n + static_cast<int>(a.size() != b.size());
        };
        CHECK(differing(draw(true, true), draw(false, true)) == 0);
        // A key typed at the end: the picture patched with stamps against one drawn anew without.
        draw(true, true);
        t.text->SetTextKeepStyles(t.text->GetText().Left(t.text->GetText().GetLength() - 1) + "g\b");
        const std::vector<BYTE> patched = draw(true, false);
        CHECK(differing(patched, draw(false, true)) == 0);
    }
    // Most characters stand alone on their pixels: the pictures above were stamped, not only drawn.
    CHECK(GlyphsStamped() - stampedBefore > 150);
}
