// The text layer of a side: every text and track list lying on the side object, laid out when
// due and drawn character by character from its glyph boxes, each character with its own font,
// colour and underline, turned by the object's angle.
//
// On screen each object's characters are drawn once into a picture of their own and that picture
// is put on the side at every later drawing, for as long as nothing that shows in it changed:
// drawing a character costs far more than putting a picture, and the canvas redraws the same
// texts at every step of a drag.
#include "render/TextLayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "framework/graphics/GdipFont.h"

#include "model/Geometry.h"
#include "model/ViewObject.h"
#include "render/ColorProcessing.h"
#include "render/RenderContext.h"
#include "render/TextFonts.h"
#include "render/TextLayout.h"

using namespace Gdiplus;

namespace {

bool HasCompleteArrays(const ViewObject* o) {
    const INT_PTR n = o->chars.GetSize();
    // Colour slots missing at the end count as empty ones ("as the character before").
    return n > 0 && o->charFonts.GetSize() == n && o->charColors.GetSize() <= n &&
           o->charUnderlines.GetSize() == n && o->cellBoxes.GetSize() == n && o->glyphBoxes.GetSize() == n;
}

// What the characters of one object are drawn with, carried from object to object as the drawing
// goes (a first character without a colour record keeps the colour before it).
struct GlyphPens {
    Font* font = nullptr;
    SolidBrush* brush = nullptr;
    Pen* pen = nullptr;
    ARGB color = 0xFF000000;
    // The record and scale `font` was made from: a character with an equal record reuses it
    // (making a GDI+ font costs more than drawing the character).
    LOGFONTA fontRecord = {};
    double fontScale = 0;
    ~GlyphPens() {
        delete pen;
        delete font;
        delete brush;
    }
};

// Draws the characters of `o` on `g`; every transform ends with a move by (shiftX, shiftY) device
// pixels.
void DrawGlyphs(Graphics* g, ViewObject* o, const RenderContext& rc, StringFormat* format,
                LOGFONTA* defaultRecord, double fontScale, GlyphPens& p, REAL shiftX, REAL shiftY) {
    const int a = o->AngleToDegrees();
    const float ox = static_cast<float>(o->left) + rc.offsetX, oy = static_cast<float>(o->top) + rc.offsetY;
    // A character wholly outside what can show (the object's box when the text is clipped to it,
    // the bitmap) is passed over: each drawing costs the same whether it shows or not, and a long
    // text would otherwise cost its whole length on every drawing.
    g->ResetTransform();
    RectF visible;
    const bool bounded = g->GetVisibleClipBounds(&visible) == Ok;
    const double scale = std::max(std::fabs(rc.scaleX), std::fabs(rc.scaleY));
    for (int i = 0; i < o->GetCharCount(); ++i) {
        LOGFONTA* record = o->charFonts[i];
        // A text whose first character lost its record still draws, with the default one.
        if (!record && (i == 0 || !p.font)) record = defaultRecord;
        if (record && !(p.font && p.fontScale == fontScale &&
                        std::memcmp(&p.fontRecord, record, sizeof(LOGFONTA)) == 0)) {
            CreateGdipFont(&p.font, record, 1.0, fontScale);
            // Taken after the call, which may note the resolved style in the record.
            p.fontRecord = *record;
            p.fontScale = fontScale;
        }
        if (i < o->charColors.GetSize() && o->charColors[i]) {
            p.color = 0xFF000000 | ColorRefToRgb(*o->charColors[i]);
            SetSolidBrush(&p.brush, p.color);
        }
        const CString& ch = o->chars[i];
        if (IsFieldEnd(ch) || IsLineBreak(ch)) continue;
        const RectF& glyph = *o->glyphBoxes[i];
        if (glyph.Width == 0 || glyph.Height == 0) continue;
        if (!p.font || !p.brush) continue;
        if (bounded) {
            // The glyph and its underline lie within this reach of where they are drawn from,
            // whichever way the text is turned.
            const double reach =
                (std::fabs(glyph.Width) + std::fabs(glyph.Height) + o->charUnderlines[i]) * scale * 2 + 4;
            const double x = (ox + glyph.X) * rc.scaleX + shiftX, y = (oy + glyph.Y) * rc.scaleY + shiftY;
            if (x + reach < visible.X || x - reach > visible.GetRight() || y + reach < visible.Y ||
                y - reach > visible.GetBottom())
                continue;
        }

        g->ResetTransform();
        if (a != 0) g->RotateTransform(static_cast<REAL>(a), MatrixOrderAppend);
        g->TranslateTransform(static_cast<REAL>((ox + glyph.X) * rc.scaleX),
                              static_cast<REAL>((oy + glyph.Y) * rc.scaleY), MatrixOrderAppend);
        if (shiftX != 0 || shiftY != 0) g->TranslateTransform(shiftX, shiftY, MatrixOrderAppend);
        WCHAR wide[8] = {};
        int n = MultiByteToWideChar(CP_ACP, 0, static_cast<LPCSTR>(ch), ch.GetLength(), wide, 7);
        // A blank leaves no ink: only its underline is drawn.
        if (n > 0 && !(n == 1 && wide[0] == L' ')) g->DrawString(wide, n, p.font, PointF(0, 0), format, p.brush);

        const WORD u = o->charUnderlines[i];
        if (u == 0) continue;
        if (!p.pen || p.pen->GetWidth() != static_cast<REAL>(u) || [&] {
                Color pc;
                p.pen->GetColor(&pc);
                return pc.GetValue() != p.color;
            }()) {
            delete p.pen;
            p.pen = new Pen(Color(p.color), static_cast<REAL>(u));
            p.pen->SetStartCap(LineCapRound);
            p.pen->SetEndCap(LineCapRound);
            p.pen->SetDashCap(DashCapRound);
        }
        g->ResetTransform();
        g->TranslateTransform(ox, oy, MatrixOrderAppend);
        REAL ux = 0, uy = 0;
        if (a == 0)
            uy = u;
        else if (a == 180)
            uy = -static_cast<REAL>(u);
        else if (a == 270)
            ux = u;
        else if (a == 90)
            ux = -static_cast<REAL>(u);
        g->TranslateTransform(ux, uy, MatrixOrderAppend);
        g->ScaleTransform(static_cast<REAL>(rc.scaleX), static_cast<REAL>(rc.scaleY), MatrixOrderAppend);
        if (shiftX != 0 || shiftY != 0) g->TranslateTransform(shiftX, shiftY, MatrixOrderAppend);
        const RectF& gb = glyph;
        if (a == 0 || a == 180)
            g->DrawLine(p.pen, gb.X, gb.Y + gb.Height, gb.X + gb.Width, gb.Y + gb.Height);
        else
            g->DrawLine(p.pen, gb.X + gb.Width, gb.Y, gb.X + gb.Width, gb.Y + gb.Height);
    }
}

// ---- the screen's pictures of texts ----------------------------------------------------------------

struct TextPicture {
    unsigned long long key = 0;
    std::unique_ptr<Bitmap> bitmap;
    int x = 0, y = 0;  // where it goes, device pixels
    Rect ink;          // the part of the bitmap with any coverage; the rest is clear
    ARGB colorAfter = 0xFF000000;
};

// Pictures of the texts drawn on screen; an entry of an object that went is only replaced, so the
// map is kept small by dropping everything now and then.
std::unordered_map<const ViewObject*, TextPicture>& Pictures() {
    static std::unordered_map<const ViewObject*, TextPicture> pictures;
    return pictures;
}

const size_t kMaxPictures = 400;
const long long kMaxPicturePixels = 4 * 1024 * 1024;

struct KeyHash {
    unsigned long long h = 1469598103934665603ull;
    void Add(const void* data, size_t n) {
        const unsigned char* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < n; ++i) {
            h ^= p[i];
            h *= 1099511628211ull;
        }
    }
    template <class T>
    void Add(const T& v) {
        Add(&v, sizeof v);
    }
};

// Everything that shows in an object's picture.
unsigned long long PictureKey(const ViewObject* o, const RenderContext& rc, ARGB colorBefore, double fracX,
                              double fracY, int hint) {
    KeyHash k;
    k.Add(rc.scaleX);
    k.Add(rc.scaleY);
    // A picture serves every position within a quarter pixel of the one it was made for.
    k.Add(static_cast<int>(std::floor(fracX * 4)));
    k.Add(static_cast<int>(std::floor(fracY * 4)));
    k.Add(colorBefore);
    k.Add(hint);
    k.Add(o->AngleToDegrees());
    k.Add(o->width);
    k.Add(o->height);
    for (int i = 0; i < o->GetCharCount(); ++i) {
        const CString& c = o->chars[i];
        k.Add(c.GetString(), static_cast<size_t>(c.GetLength()));
        if (const LOGFONTA* f = o->charFonts[i]) {
            LOGFONTA copy = *f;
            copy.lfEscapement = 0;  // the drawing's cache of its style choice
            k.Add(copy);
        } else {
            k.Add('-');
        }
        if (const COLORREF* c2 = i < o->charColors.GetSize() ? o->charColors[i] : nullptr)
            k.Add(*c2);
        else
            k.Add('-');
        k.Add(o->charUnderlines[i]);
        k.Add(*o->glyphBoxes[i]);
    }
    return k.h;
}

}  // namespace

Rect InkBounds(Bitmap* bitmap) {
    const INT w = static_cast<INT>(bitmap->GetWidth()), h = static_cast<INT>(bitmap->GetHeight());
    Rect all(0, 0, w, h);
    BitmapData data;
    if (bitmap->LockBits(&all, ImageLockModeRead, PixelFormat32bppPARGB, &data) != Ok) return all;
    INT left = w, right = -1, top = h, bottom = -1;
    for (INT y = 0; y < h; ++y) {
        const UINT32* row = reinterpret_cast<const UINT32*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
        INT first = 0;
        while (first < w && row[first] == 0) ++first;
        if (first == w) continue;
        INT last = w - 1;
        while (row[last] == 0) --last;
        left = std::min(left, first);
        right = std::max(right, last);
        if (top == h) top = y;
        bottom = y;
    }
    bitmap->UnlockBits(&data);
    if (right < 0) return Rect();
    return Rect(left, top, right - left + 1, bottom - top + 1);
}

namespace {

// The object's picture, made anew when something in it changed; null when the object is too
// large to keep one (it is then drawn straight on the side).
TextPicture* GetPicture(ViewObject* o, const RenderContext& rc, StringFormat* format, LOGFONTA* defaultRecord,
                        double fontScale, GlyphPens& pens, int hint) {
    // The device area the characters may cover: the object with a margin of the tallest glyph.
    const double left = (o->left + rc.offsetX) * rc.scaleX, top = (o->top + rc.offsetY) * rc.scaleY;
    double tallest = 0;
    for (INT_PTR i = 0; i < o->glyphBoxes.GetSize(); ++i) {
        const RectF& b = *o->glyphBoxes[i];
        tallest = std::max<double>(tallest, std::max(std::fabs(b.Height), std::fabs(b.Width)));
    }
    const int margin = static_cast<int>(std::ceil(tallest * std::max(rc.scaleX, rc.scaleY) * 2)) + 4;
    const int x0 = static_cast<int>(std::floor(left)) - margin,
              y0 = static_cast<int>(std::floor(top)) - margin;
    const int w = static_cast<int>(std::ceil(o->width * rc.scaleX)) + 2 * margin + 2;
    const int h = static_cast<int>(std::ceil(o->height * rc.scaleY)) + 2 * margin + 2;
    if (w <= 0 || h <= 0 || static_cast<long long>(w) * h > kMaxPicturePixels) return nullptr;
    const unsigned long long key =
        PictureKey(o, rc, pens.color, left - std::floor(left), top - std::floor(top), hint);
    auto& pictures = Pictures();
    auto it = pictures.find(o);
    if (it != pictures.end() && it->second.key == key && it->second.bitmap &&
        static_cast<int>(it->second.bitmap->GetWidth()) == w &&
        static_cast<int>(it->second.bitmap->GetHeight()) == h) {
        it->second.x = x0;
        it->second.y = y0;
        return &it->second;
    }
    if (pictures.size() >= kMaxPictures) pictures.clear();
    std::unique_ptr<Bitmap> bitmap(new Bitmap(w, h, PixelFormat32bppPARGB));
    if (bitmap->GetLastStatus() != Ok) return nullptr;
    {
        Graphics pg(bitmap.get());
        pg.SetSmoothingMode(SmoothingModeAntiAlias);
        pg.SetPixelOffsetMode(PixelOffsetModeHighQuality);
        pg.SetTextRenderingHint(static_cast<TextRenderingHint>(hint));
        pg.Clear(Color(0, 0, 0, 0));
        DrawGlyphs(&pg, o, rc, format, defaultRecord, fontScale, pens, static_cast<REAL>(-x0),
                   static_cast<REAL>(-y0));
    }
    TextPicture& picture = pictures[o];
    picture.key = key;
    picture.ink = InkBounds(bitmap.get());
    picture.bitmap = std::move(bitmap);
    picture.x = x0;
    picture.y = y0;
    picture.colorAfter = pens.color;
    return &picture;
}

}  // namespace

void DrawTextLayer(RenderContext& rc) {
    Graphics* g = rc.graphics;
    if (!g) return;
    GlyphPens pens;
    StringFormat* format = nullptr;
    LOGFONTA* defaultRecord = ViewObject::NewDefaultFontRecord();
    GuardOperation(730, [&] {
        const REAL dpiY = g->GetDpiY();
        const TextRenderingHint hint =
            IsPreviewQuality(rc.purpose) ? TextRenderingHintSingleBitPerPixel : TextRenderingHintAntiAlias;
        g->SetTextRenderingHint(hint);
        format = StringFormat::GenericTypographic()->Clone();
        SetSolidBrush(&pens.brush, pens.color);
        const double fontScale = rc.scaleY * 1000.0 / (dpiY > 0 ? dpiY : 96.0);
        std::vector<Rect> sideScans;
        // What a text not clipped to its box may cover: everything the drawing may change.
        const std::vector<Rect> unclipped(
            1, rc.HasVisibleArea() ? rc.visibleArea : Rect(-(1 << 29), -(1 << 29), 1 << 30, 1 << 30));
        int sideScansKnown = 0;  // 1 known, -1 cannot be told

        for (INT_PTR c = 0; c < rc.children.GetSize(); ++c) {
            ViewObject* o = rc.children[c];
            if (!o || !(o->IsText() || o->IsTrackList())) continue;
            if (o->needsLayout) DrawTextObject(o, rc);
            if (!HasCompleteArrays(o)) continue;

            g->ResetTransform();
            const bool clipped = !o->bAutoFit || o->autoFitGaveUp || rc.hasUpdateRegion;
            Rect objectClip;
            if (clipped) {
                rc.ApplyClip(true);
                // The side's clip as device rectangles, asked once for all the texts: GDI+ takes
                // a quarter of a millisecond for each such question.
                if (!sideScansKnown) sideScansKnown = GetClipScans(g, sideScans) ? 1 : -1;
                objectClip = RoundRectF(
                    ScaleRectF(o->GetRectF(false), rc.scaleX, rc.scaleY, rc.offsetX, rc.offsetY, 0, 0));
                g->SetClip(objectClip, CombineModeIntersect);
            } else {
                g->ResetClip();
                rc.ClipToVisibleArea();
            }
            TextPicture* picture = rc.purpose == kPurposeScreen
                                       ? GetPicture(o, rc, format, defaultRecord, fontScale, pens, hint)
                                       : nullptr;
            if (!picture) {
                DrawGlyphs(g, o, rc, format, defaultRecord, fontScale, pens, 0, 0);
                continue;
            }
            pens.color = picture->colorAfter;
            SetSolidBrush(&pens.brush, pens.color);
            g->ResetTransform();
            // Only the inked part is put: the margins kept for tall glyphs are clear and would
            // leave the side's pixels as they are, at the cost of blending them all.
            const Rect& ink = picture->ink;
            if (ink.Width <= 0 || ink.Height <= 0) continue;
            if (!clipped || sideScansKnown > 0) {
                const std::vector<Rect>& scans = clipped ? sideScans : unclipped;
                if (BlendPictureOnDib(g, rc.offscreenBitmap, picture->bitmap.get(), ink, picture->x + ink.X,
                                      picture->y + ink.Y, scans, clipped ? &objectClip : nullptr))
                    continue;
            }
            const InterpolationMode interpolation = g->GetInterpolationMode();
            const PixelOffsetMode offset = g->GetPixelOffsetMode();
            g->SetInterpolationMode(InterpolationModeNearestNeighbor);
            g->SetPixelOffsetMode(PixelOffsetModeHalf);
            g->DrawImage(picture->bitmap.get(), Rect(picture->x + ink.X, picture->y + ink.Y, ink.Width, ink.Height),
                         ink.X, ink.Y, ink.Width, ink.Height, UnitPixel);
            g->SetInterpolationMode(interpolation);
            g->SetPixelOffsetMode(offset);
        }
    });
    rc.ApplyClip(true);
    delete format;
    delete defaultRecord;
}
