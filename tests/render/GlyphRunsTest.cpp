// Characters put on a 24-bit bitmap in runs against the same characters drawn by GDI+ one by one:
// upright and turned fonts, colours changing within a line, neighbours that overlap, places off
// the pixel grid and a clip that cuts through characters.
#include <doctest.h>

#include <cstring>
#include <memory>

#include "GdiplusSession.h"
#include "render/GlyphRuns.h"

using namespace Gdiplus;

namespace {

struct Sheet {
    Bitmap bitmap;
    Graphics g;
    Sheet() : bitmap(900, 900, PixelFormat24bppRGB), g(&bitmap) {
        g.Clear(Color(0xFFFFFFFF));
        g.SetSmoothingMode(SmoothingModeAntiAlias);
        g.SetPixelOffsetMode(PixelOffsetModeHighQuality);
        g.SetTextRenderingHint(TextRenderingHintAntiAlias);
        g.SetClip(Rect(40, 60, 800, 760));
    }
};

bool SamePixels(Bitmap& a, Bitmap& b) {
    Rect all(0, 0, 900, 900);
    BitmapData da, db;
    REQUIRE(a.LockBits(&all, ImageLockModeRead, PixelFormat24bppRGB, &da) == Ok);
    REQUIRE(b.LockBits(&all, ImageLockModeRead, PixelFormat24bppRGB, &db) == Ok);
    bool same = true;
    for (INT y = 0; y < 900 && same; ++y)
        same = std::memcmp(static_cast<BYTE*>(da.Scan0) + y * da.Stride,
                           static_cast<BYTE*>(db.Scan0) + y * db.Stride, 900 * 3) == 0;
    a.UnlockBits(&da);
    b.UnlockBits(&db);
    return same;
}

// Draws a line of text turned by `angle` from (x, y), each character from its own transform as
// the text layer draws them, a little off the baseline when `across`; through `runs` where it
// takes them. Returns how many it took.
int DrawLine(Graphics& g, GlyphRuns* runs, Font& font, int angle, REAL x, REAL y, bool across) {
    static const WCHAR kText[] = L"AVAWave, fig. 42 \u00c4jy";
    static const ARGB kColors[] = {0xFF000000, 0xFFC02010, 0xFF10A040};
    std::unique_ptr<StringFormat> format(StringFormat::GenericTypographic()->Clone());
    const REAL advance = font.GetSize() * 0.9f;  // pixels: some neighbours overlap
    int taken = 0;
    for (int i = 0; kText[i]; ++i) {
        const ARGB color = kColors[(i / 4) % 3];
        const REAL along = i * advance + 0.37f * i + 0.13f * (i % 3);
        const REAL off = across ? 0.29f * (i % 4) : 0.0f;
        g.ResetTransform();
        if (angle) g.RotateTransform(static_cast<REAL>(angle), MatrixOrderAppend);
        const REAL dx = angle == 0 ? along : (angle == 180 ? -along : 0);
        const REAL dy = angle == 90 ? along : (angle == 270 ? -along : 0);
        g.TranslateTransform(x + dx + (angle % 180 ? off : 0), y + dy + (angle % 180 ? 0 : off),
                             MatrixOrderAppend);
        if (kText[i] == L' ') continue;
        if (runs && runs->Add(&font, angle, color, kText[i])) {
            ++taken;
            continue;
        }
        if (runs) runs->Flush();
        SolidBrush brush{Color(color)};
        g.DrawString(&kText[i], 1, &font, PointF(0, 0), format.get(), &brush);
    }
    g.ResetTransform();
    return taken;
}

}  // namespace

TEST_CASE("characters put in runs have the pixels GDI+ gives them one by one") {
    REQUIRE(kvtest::GdiplusReady());
    struct Case {
        const WCHAR* face;
        REAL points;
        INT style;
    };
    const Case cases[] = {{L"Arial", 20, FontStyleRegular},
                          {L"Times New Roman", 27.5f, FontStyleBoldItalic},
                          {L"Courier New", 14, FontStyleBold}};
    std::unique_ptr<StringFormat> format(StringFormat::GenericTypographic()->Clone());
    for (const Case& c : cases) {
        Font font(c.face, c.points, c.style, UnitPoint);
        REQUIRE(font.GetLastStatus() == Ok);
        for (int angle : {0, 90, 180, 270}) {
            for (bool across : {false, true}) {
                CAPTURE(angle);
                CAPTURE(across);
                Sheet drawn, put;
                const REAL x = angle == 180 ? 860.3f : (angle == 0 ? 30.4f : 420.6f);
                const REAL y = angle == 270 ? 880.2f : (angle == 90 ? 20.7f : 420.45f);
                DrawLine(drawn.g, nullptr, font, angle, x, y, across);
                int taken = 0, calls = 0;
                {
                    put.g.ResetTransform();
                    GlyphRuns runs(&put.g, format.get());
                    taken = DrawLine(put.g, &runs, font, angle, x, y, across);
                    runs.Flush();
                    calls = runs.Runs();
                }
                drawn.g.Flush(FlushIntentionSync);
                put.g.Flush(FlushIntentionSync);
                // Wine's GDI+ draws on such bitmaps through GDI: every character is taken, and
                // on one baseline each run of a colour goes in one call.
                CHECK(taken == 17);
                if (!across) CHECK(calls == 5);
                CHECK(SamePixels(drawn.bitmap, put.bitmap));
            }
        }
    }
}
