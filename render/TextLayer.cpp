// The text layer of a side: every text and track list lying on the side object, laid out when
// due and drawn character by character from its glyph boxes, each character with its own font,
// colour and underline, turned by the object's angle.
//
// On screen each object's characters are drawn once into a picture of their own and that picture
// is put on the side at every later drawing, for as long as nothing that shows in it changed:
// drawing a character costs far more than putting a picture, and the canvas redraws the same
// texts at every step of a drag. When only some characters changed (a key typed, a line centred
// again) only the part of the picture they reach is cleared and drawn again: every character
// that reaches into that part is drawn there in its order, so the pixels are those of a whole
// new picture.
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
#include "render/GlyphRuns.h"
#include "render/GlyphStamps.h"
#include "render/RenderContext.h"
#include "render/RenderThreads.h"
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

// How far from where a character is drawn from its glyph and underline may reach, device pixels,
// whichever way the text is turned.
double GlyphReach(const ViewObject* o, int i, double scale) {
    const RectF& glyph = *o->glyphBoxes[i];
    return (std::fabs(glyph.Width) + std::fabs(glyph.Height) + o->charUnderlines[i]) * scale * 2 + 4;
}

// Draws the characters of `o` on `g`; every transform ends with a move by (shiftX, shiftY) device
// pixels. With `only`, a character it marks false is passed over (its font and colour still
// carry on to the next). `visible`, when given, is what `g`'s clip lets through (asking GDI+ for
// it costs more than drawing a short text).
void DrawGlyphs(Graphics* g, ViewObject* o, const RenderContext& rc, StringFormat* format,
                LOGFONTA* defaultRecord, double fontScale, GlyphPens& p, REAL shiftX, REAL shiftY,
                const std::vector<bool>* only = nullptr, const RectF* knownVisible = nullptr) {
    // On a 24-bit bitmap of its own the drawing puts characters of one font and colour in runs.
    std::unique_ptr<GlyphRuns> runs;
    const int a = o->AngleToDegrees();
    const float ox = static_cast<float>(o->left) + rc.offsetX, oy = static_cast<float>(o->top) + rc.offsetY;
    // A character wholly outside what can show (the object's box when the text is clipped to it,
    // the bitmap) is passed over: each drawing costs the same whether it shows or not, and a long
    // text would otherwise cost its whole length on every drawing.
    g->ResetTransform();
    if (rc.onRgbBitmap && rc.purpose != kPurposeScreen) runs.reset(new GlyphRuns(g, format));
    RectF visible;
    bool bounded = true;
    if (knownVisible)
        visible = *knownVisible;
    else
        bounded = g->GetVisibleClipBounds(&visible) == Ok;
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
        if (only && !(*only)[static_cast<size_t>(i)]) continue;
        const RectF& glyph = *o->glyphBoxes[i];
        if (glyph.Width == 0 || glyph.Height == 0) continue;
        if (!p.font || !p.brush) continue;
        if (bounded) {
            const double reach = GlyphReach(o, i, scale);
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
        if (n > 0 && !(n == 1 && wide[0] == L' ') &&
            !(runs && n == 1 && runs->Add(p.font, a, p.color, wide[0]))) {
            if (runs) runs->Flush();
            g->DrawString(wide, n, p.font, PointF(0, 0), format, p.brush);
        }

        const WORD u = o->charUnderlines[i];
        if (u == 0) continue;
        if (runs) runs->Flush();
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

// What one character put into a picture, and the pixels it may have touched.
struct DrawnGlyph {
    unsigned long long what = 0;
    Rect reach;
    bool operator==(const DrawnGlyph& other) const {
        return what == other.what && reach.Equals(other.reach);
    }
};

// An object's picture covers a frame around it large enough for any character it may draw, but
// holds pixels only for the part its characters reach (a text's frame has margins of twice its
// tallest character on every side, mostly clear): the rest of the frame is clear. The held part
// lies at the top left of its bitmap, which may be larger (the scratch picture's is reused).
struct TextPicture {
    unsigned long long key = 0;
    unsigned long long frameKey = 0;  // everything but the characters
    std::vector<DrawnGlyph> glyphs;   // their reach in frame pixels
    int frameWidth = 0, frameHeight = 0;
    Rect held;                   // the part of the frame the pixels hold
    std::vector<UINT32> pixels;  // premultiplied, `stride` per row
    int stride = 0;
    std::unique_ptr<Bitmap> bitmap;  // over `pixels`
    int x = 0, y = 0;                // where the held part goes, device pixels
    Rect ink;          // the part of the bitmap with any coverage; the rest is clear
    ARGB colorAfter = 0xFF000000;

    // Holds `part` (frame pixels) alone, all clear, in the bitmap it has when that is large
    // enough (the scratch picture: making a GDI+ bitmap costs more than drawing a short text);
    // false when no bitmap can be made.
    bool HoldAnew(const Rect& part) {
        if (!bitmap || static_cast<int>(bitmap->GetWidth()) < part.Width ||
            static_cast<int>(bitmap->GetHeight()) < part.Height) {
            const int w = std::max(part.Width, bitmap ? static_cast<int>(bitmap->GetWidth()) : 0);
            const int h = std::max(part.Height, bitmap ? static_cast<int>(bitmap->GetHeight()) : 0);
            bitmap.reset();
            pixels.assign(static_cast<size_t>(w) * h, 0u);
            if (!Wrap(w, h)) return false;
        }
        held = Rect(part.X, part.Y, part.Width, part.Height);
        Clear(held);
        return true;
    }
    // Holds `part` (frame pixels) too, keeping what it held; false when no bitmap can be made.
    bool Hold(const Rect& part) {
        Rect wanted = part;
        if (bitmap) {
            if (held.Contains(part)) return true;
            Rect::Union(wanted, held, part);
        }
        std::vector<UINT32> grown(static_cast<size_t>(wanted.Width) * wanted.Height, 0u);
        for (int y = 0; bitmap && y < held.Height; ++y)
            std::memcpy(
                &grown[static_cast<size_t>(y + held.Y - wanted.Y) * wanted.Width + (held.X - wanted.X)],
                &pixels[static_cast<size_t>(y) * stride], static_cast<size_t>(held.Width) * 4);
        bitmap.reset();
        pixels.swap(grown);
        held = wanted;
        return Wrap(wanted.Width, wanted.Height);
    }
    // Every pixel of `part` (frame pixels) made clear.
    void Clear(const Rect& part) {
        Rect r;
        if (!IntersectRectXYWH(&r, part, held)) return;
        for (int y = r.Y; y < r.Y + r.Height; ++y)
            std::memset(&pixels[static_cast<size_t>(y - held.Y) * stride + (r.X - held.X)], 0,
                        static_cast<size_t>(r.Width) * 4);
    }

private:
    bool Wrap(int w, int h) {
        stride = w;
        bitmap.reset(new Bitmap(w, h, w * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(pixels.data())));
        if (bitmap->GetLastStatus() == Ok) return true;
        bitmap.reset();
        return false;
    }
};

// Pictures of the texts drawn on screen; an entry of an object that went is only replaced, so the
// map is kept small by dropping everything now and then.
std::unordered_map<const ViewObject*, TextPicture>& Pictures() {
    static std::unordered_map<const ViewObject*, TextPicture> pictures;
    return pictures;
}

// The picture of a text drawn once and not kept, its memory reused from text to text.
TextPicture& ScratchPicture() {
    static TextPicture scratch;
    return scratch;
}

const size_t kMaxPictures = 400;
long g_picturesPatched = 0;
// A text whose picture would be larger than this (in pixels of the drawing) is drawn straight
// on the side instead.
const long long kMaxTextPicturePixels = 4 * 1024 * 1024;

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

// What shows in an object's picture besides its characters.
unsigned long long FrameKey(const ViewObject* o, const RenderContext& rc, ARGB colorBefore, double fracX,
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
    return k.h;
}

// Where a character's ink lies around the point it is drawn from (device pixels), for its font,
// scale, angle and rendering, measured once by drawing it alone: a picture changed by a few
// characters is drawn again only where they reach. Null when the character is too large to
// measure cheaply (its generous square is used instead).
class GlyphInks {
  public:
    // `fontKey` names the record (without its style cache), scale, angle and rendering.
    const Rect* Find(const CString& ch, const LOGFONTA* record, unsigned long long fontKey, double fontScale,
                     int angle, int hint, int size, StringFormat* format) {
        if (!record || size > kLargest) return nullptr;
        KeyHash k;
        k.Add(fontKey);
        k.Add(ch.GetString(), static_cast<size_t>(ch.GetLength()));
        auto it = m_inks.find(k.h);
        if (it != m_inks.end()) return &it->second;
        if (m_inks.size() > kMaxEntries) m_inks.clear();
        LOGFONTA copy = *record;
        copy.lfEscapement = 0;
        Font* font = nullptr;
        CreateGdipFont(&font, &copy, 1.0, fontScale);
        std::unique_ptr<Font> owned(font);
        if (!font) return nullptr;
        const int side = 2 * size + 8;
        Bitmap bitmap(side, side, PixelFormat32bppPARGB);
        if (bitmap.GetLastStatus() != Ok) return nullptr;
        {
            Graphics g(&bitmap);
            g.SetSmoothingMode(SmoothingModeAntiAlias);
            g.SetPixelOffsetMode(PixelOffsetModeHighQuality);
            g.SetTextRenderingHint(static_cast<TextRenderingHint>(hint));
            g.Clear(Color(0, 0, 0, 0));
            if (angle != 0) g.RotateTransform(static_cast<REAL>(angle), MatrixOrderAppend);
            g.TranslateTransform(static_cast<REAL>(side / 2), static_cast<REAL>(side / 2), MatrixOrderAppend);
            WCHAR wide[8] = {};
            const int n = MultiByteToWideChar(CP_ACP, 0, static_cast<LPCSTR>(ch), ch.GetLength(), wide, 7);
            SolidBrush brush(Color(0xFF000000));
            if (n > 0) g.DrawString(wide, n, font, PointF(0, 0), format, &brush);
        }
        Rect ink = InkBounds(&bitmap);
        // The character drawn from anywhere within a pixel of the point measured.
        if (ink.Width > 0) ink = Rect(ink.X - side / 2 - 2, ink.Y - side / 2 - 2, ink.Width + 4, ink.Height + 4);
        return &(m_inks[k.h] = ink);
    }

  private:
    static const int kLargest = 400;
    static const size_t kMaxEntries = 4096;
    std::unordered_map<unsigned long long, Rect> m_inks;
};

GlyphInks& Inks() {
    static GlyphInks inks;
    return inks;
}

// What each character puts into a picture whose top left lies at (x0, y0) device pixels: the
// character, the font and colour it is drawn with (those before it when it has none), its
// underline and glyph box, and the pixels it may reach.
std::vector<DrawnGlyph> DescribeGlyphs(const ViewObject* o, const RenderContext& rc, int x0, int y0,
                                       LOGFONTA* defaultRecord, double fontScale, int hint,
                                       StringFormat* format, GlyphStamper& stamper, ARGB colorBefore) {
    std::vector<DrawnGlyph> glyphs(static_cast<size_t>(o->GetCharCount()));
    const float ox = static_cast<float>(o->left) + rc.offsetX, oy = static_cast<float>(o->top) + rc.offsetY;
    const double scale = std::max(std::fabs(rc.scaleX), std::fabs(rc.scaleY));
    const int angle = o->AngleToDegrees();
    const LOGFONTA* font = nullptr;
    const LOGFONTA* keyed = nullptr;
    unsigned long long fontKey = 0;
    const COLORREF* color = nullptr;
    for (int i = 0; i < o->GetCharCount(); ++i) {
        if (o->charFonts[i])
            font = o->charFonts[i];
        else if (i == 0)
            font = defaultRecord;
        if (font != keyed || i == 0) {
            // Characters without a record of their own share the one before: it is keyed once.
            KeyHash f;
            if (font) {
                LOGFONTA copy = *font;
                copy.lfEscapement = 0;  // the drawing's cache of its style choice
                f.Add(copy);
            } else {
                f.Add('-');
            }
            f.Add(fontScale);
            f.Add(angle);
            f.Add(hint);
            fontKey = f.h;
            keyed = font;
        }
        if (i < o->charColors.GetSize() && o->charColors[i]) color = o->charColors[i];
        KeyHash k;
        const CString& c = o->chars[i];
        k.Add(c.GetString(), static_cast<size_t>(c.GetLength()));
        k.Add(fontKey);
        if (color)
            k.Add(*color);
        else
            k.Add('-');
        const WORD u = o->charUnderlines[i];
        k.Add(u);
        const RectF& glyph = *o->glyphBoxes[i];
        k.Add(glyph);
        DrawnGlyph& d = glyphs[static_cast<size_t>(i)];
        d.what = k.h;
        if (IsFieldEnd(c) || IsLineBreak(c) || glyph.Width == 0 || glyph.Height == 0) continue;  // no ink
        const double x = (ox + glyph.X) * rc.scaleX - x0, y = (oy + glyph.Y) * rc.scaleY - y0;
        const double reach = GlyphReach(o, i, scale);
        // A character the screen stamps has its stamp's square, two pixels wider each way (it is
        // drawn from within a pixel of the point the square is placed from).
        Rect stamped;
        const Rect* ink = nullptr;
        if (angle == 0 && hint == TextRenderingHintAntiAlias && font &&
            stamper.Ink(c, *font, color ? 0xFF000000 | ColorRefToRgb(*color) : colorBefore,
                        static_cast<int>(std::ceil(reach)), stamped)) {
            if (stamped.Width > 0)
                stamped = Rect(stamped.X - 2, stamped.Y - 2, stamped.Width + 4, stamped.Height + 4);
            ink = &stamped;
        } else {
            ink = Inks().Find(c, font, fontKey, fontScale, angle, hint, static_cast<int>(std::ceil(reach)),
                              format);
        }
        const int px = static_cast<int>(std::floor(x)), py = static_cast<int>(std::floor(y));
        if (!ink) {
            const int left = static_cast<int>(std::floor(x - reach)), top = static_cast<int>(std::floor(y - reach));
            d.reach = Rect(left, top, static_cast<int>(std::ceil(x + reach)) - left + 1,
                           static_cast<int>(std::ceil(y + reach)) - top + 1);
        } else if (ink->Width > 0) {
            d.reach = Rect(px + ink->X, py + ink->Y, ink->Width, ink->Height);
        }
        if (u == 0) continue;
        // The underline: a line along the glyph box's lower (or turned) edge, moved by its
        // thickness, with round ends.
        REAL ux = 0, uy = 0;
        if (angle == 0)
            uy = u;
        else if (angle == 180)
            uy = -static_cast<REAL>(u);
        else if (angle == 270)
            ux = u;
        else if (angle == 90)
            ux = -static_cast<REAL>(u);
        RectF line = angle == 0 || angle == 180 ? RectF(glyph.X, glyph.Y + glyph.Height, glyph.Width, 0)
                                                : RectF(glyph.X + glyph.Width, glyph.Y, 0, glyph.Height);
        line = NormalizeRectF(line);
        const double grow = u * scale / 2 + 3;
        const double l = (ox + ux + line.X) * rc.scaleX - x0 - grow, t = (oy + uy + line.Y) * rc.scaleY - y0 - grow;
        const double r = (ox + ux + line.GetRight()) * rc.scaleX - x0 + grow,
                     b = (oy + uy + line.GetBottom()) * rc.scaleY - y0 + grow;
        const Rect under(static_cast<int>(std::floor(l)), static_cast<int>(std::floor(t)),
                         static_cast<int>(std::ceil(r - std::floor(l))) + 1,
                         static_cast<int>(std::ceil(b - std::floor(t))) + 1);
        if (d.reach.Width <= 0)
            d.reach = under;
        else
            Rect::Union(d.reach, d.reach, under);
    }
    return glyphs;
}

// The whole key of a picture: its frame and its characters.
unsigned long long PictureKey(unsigned long long frameKey, const std::vector<DrawnGlyph>& glyphs) {
    KeyHash k;
    k.Add(frameKey);
    for (const DrawnGlyph& g : glyphs) k.Add(g.what);
    return k.h;
}

// The part of a picture that differs between two records of its characters: the squares of the
// characters between their equal first and last runs, both as they were and as they are.
// Empty when the records are equal.
Rect ChangedPart(const std::vector<DrawnGlyph>& was, const std::vector<DrawnGlyph>& now) {
    size_t first = 0;
    while (first < was.size() && first < now.size() && was[first] == now[first]) ++first;
    size_t last = 0;
    while (last < was.size() - first && last < now.size() - first &&
           was[was.size() - 1 - last] == now[now.size() - 1 - last])
        ++last;
    Rect part;
    auto add = [&](const Rect& r) {
        if (r.Width <= 0 || r.Height <= 0) return;
        if (part.Width <= 0 || part.Height <= 0)
            part = r;
        else
            Rect::Union(part, part, r);
    };
    for (size_t i = first; i < was.size() - last; ++i) add(was[i].reach);
    for (size_t i = first; i < now.size() - last; ++i) add(now[i].reach);
    return part;
}

}  // namespace

void ForgetTextPictures() {
    Pictures().clear();
    ScratchPicture() = TextPicture();
}

long TextPicturesPatched() {
    return g_picturesPatched;
}

Rect InkBounds(Bitmap* bitmap) {
    return InkBounds(bitmap,
                     Rect(0, 0, static_cast<INT>(bitmap->GetWidth()), static_cast<INT>(bitmap->GetHeight())));
}

Rect InkBounds(Bitmap* bitmap, const Rect& topLeft) {
    const INT w = topLeft.Width, h = topLeft.Height;
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

// The device area the characters of an object may cover: the object with a margin of twice its
// tallest glyph.
Rect PictureFrame(const ViewObject* o, const RenderContext& rc) {
    const double left = (o->left + rc.offsetX) * rc.scaleX, top = (o->top + rc.offsetY) * rc.scaleY;
    double tallest = 0;
    for (INT_PTR i = 0; i < o->glyphBoxes.GetSize(); ++i) {
        const RectF& b = *o->glyphBoxes[i];
        tallest = std::max<double>(tallest, std::max(std::fabs(b.Height), std::fabs(b.Width)));
    }
    const int margin = static_cast<int>(std::ceil(tallest * std::max(rc.scaleX, rc.scaleY) * 2)) + 4;
    return Rect(static_cast<int>(std::floor(left)) - margin, static_cast<int>(std::floor(top)) - margin,
                static_cast<int>(std::ceil(o->width * rc.scaleX)) + 2 * margin + 2,
                static_cast<int>(std::ceil(o->height * rc.scaleY)) + 2 * margin + 2);
}

// The colour the drawing of an object leaves for the next (its last colour record's, else the
// one it started with).
ARGB ColorAfter(const ViewObject* o, ARGB before) {
    for (INT_PTR i = std::min<INT_PTR>(o->charColors.GetSize(), o->GetCharCount()) - 1; i >= 0; --i)
        if (o->charColors[i]) return 0xFF000000 | ColorRefToRgb(*o->charColors[i]);
    return before;
}

// The object's picture, made anew when something in it changed; null when the object is too
// large to keep one (it is then drawn straight on the side). Without `keep` a picture made anew
// is the scratch picture, drawn once: a drawing of more texts than the pictures kept would make
// every one anew anyway, and keeping them costs their memory.
TextPicture* GetPicture(ViewObject* o, const RenderContext& rc, StringFormat* format, LOGFONTA* defaultRecord,
                        double fontScale, GlyphPens& pens, int hint, bool keep) {
    const double left = (o->left + rc.offsetX) * rc.scaleX, top = (o->top + rc.offsetY) * rc.scaleY;
    const Rect whole = PictureFrame(o, rc);
    const int x0 = whole.X, y0 = whole.Y, w = whole.Width, h = whole.Height;
    if (w <= 0 || h <= 0 || static_cast<long long>(w) * h > kMaxTextPicturePixels) return nullptr;
    const unsigned long long frameKey =
        FrameKey(o, rc, pens.color, left - std::floor(left), top - std::floor(top), hint);
    GlyphStamper stamper(format, fontScale);
    std::vector<DrawnGlyph> glyphs =
        DescribeGlyphs(o, rc, x0, y0, defaultRecord, fontScale, hint, format, stamper, pens.color);
    const unsigned long long key = PictureKey(frameKey, glyphs);
    const Rect frame(0, 0, w, h);
    // The part of the frame the characters may reach, in steps of 16 pixels (a text typed into
    // seldom reaches past it).
    Rect reached;
    for (const DrawnGlyph& g : glyphs) {
        Rect r;
        if (!IntersectRectXYWH(&r, g.reach, frame)) continue;
        if (reached.Width <= 0)
            reached = r;
        else
            Rect::Union(reached, reached, r);
    }
    if (reached.Width <= 0) reached = Rect(0, 0, 1, 1);
    const int left16 = reached.X / 16 * 16, top16 = reached.Y / 16 * 16;
    reached = Rect(left16, top16, std::min(w, (reached.GetRight() + 15) / 16 * 16) - left16,
                   std::min(h, (reached.GetBottom() + 15) / 16 * 16) - top16);
    auto& pictures = Pictures();
    auto it = pictures.find(o);
    const bool sameFrame = it != pictures.end() && it->second.bitmap && it->second.frameKey == frameKey &&
                           it->second.frameWidth == w && it->second.frameHeight == h;
    // Draws the characters that reach into `part` (frame pixels; all of them without one) into
    // the picture, whose pixels there are clear.
    auto paint = [&](TextPicture& picture, const Rect* part) {
        const Rect& held = picture.held;
        const Rect drawn = part ? *part : held;
        Rect area;  // bitmap pixels
        if (!IntersectRectXYWH(&area, drawn, held)) return;
        area.X -= held.X;
        area.Y -= held.Y;
        const REAL shiftX = static_cast<REAL>(-(x0 + held.X)), shiftY = static_cast<REAL>(-(y0 + held.Y));
        GlyphStampPlan stamps;
        {
            Graphics pg(picture.bitmap.get());
            pg.SetSmoothingMode(SmoothingModeAntiAlias);
            pg.SetPixelOffsetMode(PixelOffsetModeHighQuality);
            pg.SetTextRenderingHint(static_cast<TextRenderingHint>(hint));
            std::vector<bool> only(glyphs.size(), true);
            std::vector<Rect> reach(glyphs.size());
            for (size_t i = 0; i < glyphs.size(); ++i) {
                reach[i] = glyphs[i].reach;
                reach[i].X -= held.X;
                reach[i].Y -= held.Y;
            }
            if (part) {
                pg.SetClip(area);
                // Only the characters whose pixels reach into the part.
                for (size_t i = 0; i < glyphs.size(); ++i) {
                    Rect r;
                    only[i] = IntersectRectXYWH(&r, reach[i], area);
                }
            }
            // Characters alone on their pixels are stamped after the drawing of the others.
            if (hint == TextRenderingHintAntiAlias)
                stamps.Plan(stamper, o, rc, defaultRecord, pens.color, shiftX, shiftY, area, reach, only,
                            picture.pixels.data(), picture.stride);
            const RectF visible(static_cast<REAL>(area.X), static_cast<REAL>(area.Y),
                                static_cast<REAL>(area.Width), static_cast<REAL>(area.Height));
            DrawGlyphs(&pg, o, rc, format, defaultRecord, fontScale, pens, shiftX, shiftY, &only, &visible);
        }
        stamps.Put(picture.bitmap.get());
    };
    auto finish = [&](TextPicture& picture) {
        picture.key = key;
        picture.glyphs = std::move(glyphs);
        picture.ink = InkBounds(picture.bitmap.get(), Rect(0, 0, picture.held.Width, picture.held.Height));
        picture.x = x0 + picture.held.X;
        picture.y = y0 + picture.held.Y;
        picture.colorAfter = pens.color;
        return &picture;
    };
    if (sameFrame && it->second.key == key) {
        it->second.x = x0 + it->second.held.X;
        it->second.y = y0 + it->second.held.Y;
        return &it->second;
    }
    if (sameFrame) {
        // Some characters changed: only where they reach is drawn again, when that is the
        // smaller part of the picture.
        TextPicture& picture = it->second;
        Rect part = ChangedPart(picture.glyphs, glyphs);
        if (IntersectRectXYWH(&part, part, frame) &&
            static_cast<long long>(part.Width) * part.Height * 2 < static_cast<long long>(w) * h &&
            picture.Hold(reached)) {
            picture.Clear(part);
            paint(picture, &part);
            ++g_picturesPatched;
            return finish(picture);
        }
    }
    if (!keep) {
        TextPicture& scratch = ScratchPicture();
        scratch.frameKey = frameKey;
        scratch.frameWidth = w;
        scratch.frameHeight = h;
        // A partial redraw puts the picture only inside the changed area: only that part of it
        // is drawn, with the characters that reach into it.
        Rect part = reached;
        const bool limited = rc.hasUpdateRegion && !rc.updateRects.empty();
        if (limited) {
            RectF bounds = rc.updateRects[0];
            for (const RectF& u : rc.updateRects) RectF::Union(bounds, bounds, u);
            const int left = static_cast<int>(std::floor(bounds.X)) - x0,
                      top = static_cast<int>(std::floor(bounds.Y)) - y0;
            const Rect changed(left, top, static_cast<int>(std::ceil(bounds.GetRight())) - x0 - left,
                               static_cast<int>(std::ceil(bounds.GetBottom())) - y0 - top);
            if (!IntersectRectXYWH(&part, reached, changed)) part = Rect(reached.X, reached.Y, 1, 1);
        }
        if (!scratch.HoldAnew(part)) return nullptr;
        paint(scratch, limited ? &part : nullptr);
        return finish(scratch);
    }
    if (pictures.size() >= kMaxPictures) pictures.clear();
    TextPicture fresh;
    fresh.frameKey = frameKey;
    fresh.frameWidth = w;
    fresh.frameHeight = h;
    if (!fresh.Hold(reached)) return nullptr;
    paint(fresh, nullptr);
    TextPicture& picture = pictures[o];
    picture.bitmap.reset();  // before the pixels it lies over
    picture = std::move(fresh);
    return finish(picture);
}

}  // namespace

void DrawTextLayer(RenderContext& rc) {
    Graphics* g = rc.graphics;
    if (!g) return;
    const double started = RenderClockSeconds();
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
        // What a text not clipped to its box may cover: everything the drawing may change (in a
        // partial drawing, its update region).
        std::vector<Rect> unclipped(
            1, rc.HasVisibleArea() ? rc.visibleArea : Rect(-(1 << 29), -(1 << 29), 1 << 30, 1 << 30));
        bool unclippedKnown = true;
        if (rc.hasUpdateRegion) {
            rc.ApplyClip(false);
            unclippedKnown = GetClipScans(g, unclipped);
        }
        int sideScansKnown = 0;  // 1 known, -1 cannot be told
        int texts = 0;
        for (INT_PTR c = 0; c < rc.children.GetSize(); ++c)
            if (rc.children[c] && (rc.children[c]->IsText() || rc.children[c]->IsTrackList())) ++texts;
        const bool keepPictures = texts <= static_cast<int>(kMaxPictures);

        for (INT_PTR c = 0; c < rc.children.GetSize(); ++c) {
            ViewObject* o = rc.children[c];
            if (!o || !(o->IsText() || o->IsTrackList())) continue;
            if (o->needsLayout) DrawTextObject(o, rc);
            if (!HasCompleteArrays(o)) continue;
            // A text wholly outside the part of the screen drawn (the window shows no more) is
            // not drawn: only the colour it would leave to the next is taken.
            Rect meets;
            if (rc.purpose == kPurposeScreen && rc.HasVisibleArea() &&
                !IntersectRectXYWH(&meets, PictureFrame(o, rc), rc.visibleArea)) {
                pens.color = ColorAfter(o, pens.color);
                SetSolidBrush(&pens.brush, pens.color);
                continue;
            }

            g->ResetTransform();
            // A partial drawing clips a text as a whole drawing does: clipping a fitted text to its
            // box and side there left out what it draws beyond them.
            const bool clipped = !o->bAutoFit || o->autoFitGaveUp;
            Rect objectClip;
            if (clipped) {
                // The side's clip as device rectangles, asked once for all the texts: GDI+ takes
                // a quarter of a millisecond for each such question.
                if (!sideScansKnown) {
                    rc.ApplyClip(true);
                    sideScansKnown = GetClipScans(g, sideScans) ? 1 : -1;
                }
                objectClip = RoundRectF(
                    ScaleRectF(o->GetRectF(false), rc.scaleX, rc.scaleY, rc.offsetX, rc.offsetY, 0, 0));
            }
            // The surface's clip, set only for a text drawn through the surface: a picture put
            // on the buffer's pixels is clipped by the scans, and setting the side's clip region
            // for each of thousands of texts took longer than putting them.
            auto clipSurface = [&] {
                if (clipped) {
                    rc.ApplyClip(true);
                    g->SetClip(objectClip, CombineModeIntersect);
                } else {
                    rc.ApplyClip(false);
                }
            };
            TextPicture* picture =
                rc.purpose == kPurposeScreen
                    ? GetPicture(o, rc, format, defaultRecord, fontScale, pens, hint, keepPictures)
                    : nullptr;
            if (!picture) {
                clipSurface();
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
            if (clipped ? sideScansKnown > 0 : unclippedKnown) {
                const std::vector<Rect>& scans = clipped ? sideScans : unclipped;
                if (BlendPictureOnDib(g, rc.offscreenBitmap, picture->bitmap.get(), ink, picture->x + ink.X,
                                      picture->y + ink.Y, scans, clipped ? &objectClip : nullptr))
                    continue;
            }
            clipSurface();
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
    GetRenderTimings().texts += RenderClockSeconds() - started;
}
