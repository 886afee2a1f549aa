// Making, keeping and putting the stamps of characters for the screen's pictures of texts.
#include "render/GlyphStamps.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

#include "framework/graphics/GdipFont.h"
#include "model/ViewObject.h"
#include "render/RenderContext.h"
#include "render/TextFonts.h"

using namespace Gdiplus;

namespace {

bool g_useStamps = true;
long g_stamped = 0;

// The pixels a character leaves on a clear surface, around the whole pixel it is drawn from.
struct Stamp {
    bool usable = false;  // false: it could not be made whole (too large, no font); draw the character
    ARGB color = 0;
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<UINT32> pixels;  // premultiplied, row after row
};

// The largest drawing reach a stamp is made for, device pixels: larger characters are drawn.
const int kLargestReach = 320;
const size_t kMaxStamps = 8192;
// The largest surface stamps are made on.
const int kSide = 2 * (kLargestReach + 4) + 1;
const size_t kMaxStampPixels = 4 * 1024 * 1024;
size_t g_stampPixels = 0;  // held by all the stamps kept

// Always clear outside the making of a stamp.
std::vector<UINT32>& SurfaceMemory() {
    static std::vector<UINT32> memory(static_cast<size_t>(kSide) * kSide, 0u);
    return memory;
}

std::unordered_map<std::string, Stamp>& Stamps() {
    static std::unordered_map<std::string, Stamp> stamps;
    return stamps;
}

// The stamps of single-byte characters last found in one font, scale and colour: a design's
// texts mostly share these, and making and comparing the key of the kept stamps cost more than
// the rest of finding one. Emptied whenever the kept stamps are.
struct RecentStamps {
    bool valid = false;
    LOGFONTA record = {};
    double fontScale = 0;
    ARGB color = 0;
    bool known[256] = {};
    const Stamp* stamp[256] = {};

    bool Matches(const LOGFONTA& r, double scale, ARGB c) const {
        return valid && color == c && fontScale == scale && std::memcmp(&record, &r, sizeof r) == 0;
    }
    void Start(const LOGFONTA& r, double scale, ARGB c) {
        valid = true;
        record = r;
        fontScale = scale;
        color = c;
        std::memset(known, 0, sizeof known);
    }
};

RecentStamps& Recent() {
    static RecentStamps recent;
    return recent;
}

}  // namespace

// Draws one character alone on a clear surface and keeps what it left.
class GlyphStamper::Maker {
public:
    Maker(StringFormat* format, double fontScale) : m_format(format), m_fontScale(fontScale) {}

    void Make(Stamp& stamp, const CString& ch, const LOGFONTA& record, ARGB color, int reach) {
        if (reach > kLargestReach) return;
        if (!m_font || std::memcmp(&m_record, &record, sizeof record) != 0) {
            m_record = record;
            LOGFONTA copy = record;
            Font* font = nullptr;
            CreateGdipFont(&font, &copy, 1.0, m_fontScale);
            m_font.reset(font);
        }
        if (!m_font) return;
        stamp.color = color;
        WCHAR wide[8] = {};
        const int n = MultiByteToWideChar(CP_ACP, 0, static_cast<LPCSTR>(ch), ch.GetLength(), wide, 7);
        if (n <= 0) return;
        // Drawn on a surface as large as the character's reach, and again on the largest when its
        // pixels meet that surface's edge (they may have been cut off there).
        const int r = std::min(reach + 4, kLargestReach + 4);
        if (!Draw(stamp, wide, n, color, r) && r < kLargestReach + 4)
            Draw(stamp, wide, n, color, kLargestReach + 4);
    }

private:
    // Draws the character from the middle of a clear square surface with `r` pixels on each side
    // of that point, and keeps the pixels it left; false when they meet the surface's edge. The
    // surface lies over memory that is clear again afterwards: GDI+ cannot draw beyond it, and
    // making and clearing a GDI+ picture for each drawing would cost milliseconds.
    bool Draw(Stamp& stamp, const WCHAR* wide, int n, ARGB color, int r) {
        stamp.usable = false;
        const int side = 2 * r + 1;
        std::vector<UINT32>& memory = SurfaceMemory();
        {
            Bitmap surface(side, side, side * 4, PixelFormat32bppPARGB,
                           reinterpret_cast<BYTE*>(memory.data()));
            if (surface.GetLastStatus() != Ok) return true;
            // As a text picture draws a character: the same settings, from a whole pixel.
            Graphics g(&surface);
            g.SetSmoothingMode(SmoothingModeAntiAlias);
            g.SetPixelOffsetMode(PixelOffsetModeHighQuality);
            g.SetTextRenderingHint(TextRenderingHintAntiAlias);
            g.TranslateTransform(static_cast<REAL>(r), static_cast<REAL>(r), MatrixOrderAppend);
            SolidBrush brush{Color(color)};
            const Status drawn = g.DrawString(wide, n, m_font.get(), PointF(0, 0), m_format, &brush);
            g.Flush(FlushIntentionSync);
            if (drawn != Ok) {
                std::fill(memory.begin(), memory.begin() + static_cast<size_t>(side) * side, 0u);
                return true;
            }
        }
        auto row = [&](int y) { return memory.data() + static_cast<size_t>(y) * side; };
        int left = side, right = -1, top = side, bottom = -1;
        for (int y = 0; y < side; ++y) {
            const UINT32* line = row(y);
            for (int x = 0; x < side; ++x) {
                if (!line[x]) continue;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        const bool inside = right < 0 || (left > 0 && top > 0 && right < side - 1 && bottom < side - 1);
        if (right >= 0) {
            stamp.left = left - r;
            stamp.top = top - r;
            stamp.width = right - left + 1;
            stamp.height = bottom - top + 1;
            stamp.pixels.resize(static_cast<size_t>(stamp.width) * stamp.height);
            for (int y = top; y <= bottom; ++y) {
                UINT32* line = row(y);
                std::memcpy(&stamp.pixels[static_cast<size_t>(y - top) * stamp.width], line + left,
                            static_cast<size_t>(stamp.width) * 4);
                std::memset(line + left, 0, static_cast<size_t>(stamp.width) * 4);
            }
        }
        if (!inside) stamp.pixels.clear();
        stamp.usable = inside;
        return inside;
    }

    StringFormat* m_format;
    double m_fontScale;
    LOGFONTA m_record = {};
    std::unique_ptr<Font> m_font;
};

namespace {

// The whole pixel GDI+ draws a character from, for a drawing point at `at` device pixels; false
// when the point lies so near half a pixel that the float arithmetic could round either way.
bool DrawingPixel(double at, int& pixel) {
    const double f = at - std::floor(at);
    if (std::fabs(f - 0.5) < 1.0 / 256) return false;
    pixel = static_cast<int>(std::floor(at + 0.5));
    return true;
}

}  // namespace

GlyphStamper::GlyphStamper(StringFormat* format, double fontScale)
    : m_format(format), m_fontScale(fontScale) {
    // Dropped only between drawings: a drawing holds on to the stamps it found.
    if (Stamps().size() >= kMaxStamps || g_stampPixels >= kMaxStampPixels) {
        Stamps().clear();
        Recent().valid = false;
        g_stampPixels = 0;
    }
}

GlyphStamper::~GlyphStamper() = default;

const void* GlyphStamper::Find(const CString& ch, const LOGFONTA& record, ARGB color, int reach) {
    RecentStamps& recent = Recent();
    const bool single = ch.GetLength() == 1;
    const unsigned char byte = single ? static_cast<unsigned char>(ch[0]) : 0;
    if (single) {
        if (!recent.Matches(record, m_fontScale, color)) recent.Start(record, m_fontScale, color);
        if (recent.known[byte]) return recent.stamp[byte];
    }
    const Stamp* found = static_cast<const Stamp*>(FindKept(ch, record, color, reach));
    if (single) {
        recent.known[byte] = true;
        recent.stamp[byte] = found;
    }
    return found;
}

const void* GlyphStamper::FindKept(const CString& ch, const LOGFONTA& record, ARGB color, int reach) {
    auto& stamps = Stamps();
    // Room for every key: one allocation per drawing that looks for a stamp, not several.
    if (m_key.capacity() < sizeof(LOGFONTA) + sizeof(double) + sizeof(ARGB) + 16)
        m_key.reserve(sizeof(LOGFONTA) + sizeof(double) + sizeof(ARGB) + 16);
    m_key.assign(reinterpret_cast<const char*>(&record), sizeof(LOGFONTA));
    m_key.append(reinterpret_cast<const char*>(&m_fontScale), sizeof m_fontScale);
    m_key.append(reinterpret_cast<const char*>(&color), sizeof color);
    m_key.append(static_cast<LPCSTR>(ch), static_cast<size_t>(ch.GetLength()));
    auto it = stamps.find(m_key);
    if (it == stamps.end()) {
        it = stamps.emplace(m_key, Stamp()).first;
        if (!m_maker) m_maker.reset(new Maker(m_format, m_fontScale));
        m_maker->Make(it->second, ch, record, color, reach);
        g_stampPixels += it->second.pixels.size();
    }
    return it->second.usable ? &it->second : nullptr;
}

namespace {

// A 32 by 32 picture's pixels.
std::vector<UINT32> PixelsOf(Bitmap& b) {
    std::vector<UINT32> pixels(32 * 32, 0u);
    Rect all(0, 0, 32, 32);
    BitmapData data;
    if (b.LockBits(&all, ImageLockModeRead, PixelFormat32bppPARGB, &data) != Ok) return pixels;
    for (int y = 0; y < 32; ++y)
        std::memcpy(&pixels[static_cast<size_t>(y) * 32], static_cast<BYTE*>(data.Scan0) + y * data.Stride,
                    32 * 4);
    b.UnlockBits(&data);
    return pixels;
}

// Whether this GDI+ draws characters as stamps put them: the same pixels from a point moved by
// less than half a pixel, and a character over another blended as its coverage picture is. Asked
// once, with two letters that overlap; another GDI+ (one that places characters between pixels)
// keeps every character drawn.
bool DrawsAsStamped(StringFormat* format) {
    static int known = -1;
    if (known >= 0) return known == 1;
    known = 0;
    FontFamily family(L"Arial");
    Font font(&family, 11.0f, FontStyleRegular, UnitPixel);
    if (font.GetLastStatus() != Ok) return false;
    auto draw = [&](Bitmap& b, const WCHAR* text, ARGB color, REAL x, REAL y) {
        Graphics g(&b);
        g.SetSmoothingMode(SmoothingModeAntiAlias);
        g.SetPixelOffsetMode(PixelOffsetModeHighQuality);
        g.SetTextRenderingHint(TextRenderingHintAntiAlias);
        g.TranslateTransform(x, y, MatrixOrderAppend);
        SolidBrush brush{Color(color)};
        g.DrawString(text, 1, &font, PointF(0, 0), format, &brush);
    };
    Bitmap whole(32, 32, PixelFormat32bppPARGB), moved(32, 32, PixelFormat32bppPARGB);
    Graphics(&whole).Clear(Color(0, 0, 0, 0));
    Graphics(&moved).Clear(Color(0, 0, 0, 0));
    draw(whole, L"W", 0xFFC81E3C, 8, 8);
    draw(moved, L"W", 0xFFC81E3C, 8.3f, 7.7f);
    const std::vector<UINT32> stamp = PixelsOf(whole);
    if (stamp != PixelsOf(moved)) return false;
    // "W" over "M": drawn, and put as the coverage picture of the "W" stamp.
    Bitmap over(32, 32, PixelFormat32bppPARGB), put(32, 32, PixelFormat32bppPARGB);
    Graphics(&over).Clear(Color(0, 0, 0, 0));
    Graphics(&put).Clear(Color(0, 0, 0, 0));
    draw(over, L"M", 0xFF1428C8, 6, 8);
    draw(put, L"M", 0xFF1428C8, 6, 8);
    draw(over, L"W", 0xFFC81E3C, 8, 8);
    std::vector<UINT32> coverage(stamp.size());
    for (size_t i = 0; i < stamp.size(); ++i)
        coverage[i] = stamp[i] ? (stamp[i] & 0xFF000000) | 0x00C81E3C : 0;
    {
        Bitmap picture(32, 32, 32 * 4, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(coverage.data()));
        Graphics g(&put);
        g.SetInterpolationMode(InterpolationModeNearestNeighbor);
        g.SetPixelOffsetMode(PixelOffsetModeHalf);
        g.DrawImage(&picture, Rect(0, 0, 32, 32), 0, 0, 32, 32, UnitPixel);
    }
    const std::vector<UINT32> drawn = PixelsOf(over);
    if (drawn != PixelsOf(put) || drawn == PixelsOf(whole)) return false;
    known = 1;
    return true;
}

}  // namespace

bool GlyphStamper::Usable() const {
    return g_useStamps && DrawsAsStamped(m_format);
}

bool GlyphStamper::Ink(const CString& ch, const LOGFONTA& record, ARGB color, int reach, Rect& ink) {
    if (!Usable()) return false;
    const Stamp* s = static_cast<const Stamp*>(Find(ch, record, color, reach));
    if (!s) return false;
    ink = s->pixels.empty() ? Rect() : Rect(s->left, s->top, s->width, s->height);
    return true;
}

void UseGlyphStamps(bool on) {
    g_useStamps = on;
}

long GlyphsStamped() {
    return g_stamped;
}

void GlyphStampPlan::Plan(GlyphStamper& stamper, const ViewObject* o, const RenderContext& rc,
                          LOGFONTA* defaultRecord, ARGB colorBefore, REAL shiftX, REAL shiftY,
                          const Rect& area, const std::vector<Rect>& reach, std::vector<bool>& only,
                          UINT32* bits, int stride) {
    m_first.clear();
    m_layers.clear();
    m_count = 0;
    m_area = area;
    const int n = o->GetCharCount();
    if (!stamper.Usable() || o->AngleToDegrees() != 0 || area.Width <= 0 || area.Height <= 0 ||
        static_cast<int>(only.size()) != n || static_cast<int>(reach.size()) != n)
        return;
    const float ox = static_cast<float>(o->left) + rc.offsetX, oy = static_cast<float>(o->top) + rc.offsetY;
    const double scale = std::max(std::fabs(rc.scaleX), std::fabs(rc.scaleY));

    // The stamp of every character that draws, or null where it is drawn; the font and colour
    // carried along as the drawing carries them.
    std::vector<const Stamp*> chosen(static_cast<size_t>(n), nullptr);
    std::vector<Placed> where(static_cast<size_t>(n));
    const LOGFONTA* font = nullptr;
    ARGB color = colorBefore;
    for (int i = 0; i < n; ++i) {
        if (o->charFonts[i])
            font = o->charFonts[i];
        else if (i == 0)
            font = defaultRecord;
        if (i < o->charColors.GetSize() && o->charColors[i])
            color = 0xFF000000 | ColorRefToRgb(*o->charColors[i]);
        if (!only[static_cast<size_t>(i)] || !font) continue;
        const CString& ch = o->chars[i];
        const RectF& glyph = *o->glyphBoxes[i];
        if (IsFieldEnd(ch) || IsLineBreak(ch) || glyph.Width == 0 || glyph.Height == 0) continue;
        if (o->charUnderlines[i] != 0) continue;  // its underline is drawn after it
        // Where the drawing puts it: the transform's move, as the drawing sets it.
        const REAL ax = static_cast<REAL>((ox + glyph.X) * rc.scaleX),
                   ay = static_cast<REAL>((oy + glyph.Y) * rc.scaleY);
        int px, py;
        if (!DrawingPixel(static_cast<double>(ax) + shiftX, px) ||
            !DrawingPixel(static_cast<double>(ay) + shiftY, py))
            continue;
        const double r = (std::fabs(glyph.Width) + std::fabs(glyph.Height)) * scale * 2 + 4;
        const Stamp* stamp =
            static_cast<const Stamp*>(stamper.Find(ch, *font, color, static_cast<int>(std::ceil(r))));
        if (!stamp) continue;
        chosen[static_cast<size_t>(i)] = stamp;
        where[static_cast<size_t>(i)] = Placed{stamp, px + stamp->left, py + stamp->top};
    }

    // Characters drawn and characters stamped must not share a pixel (the stamps are put after
    // the drawing): a stamped character meeting a drawn one's reach is drawn too, and so on.
    const size_t areaPixels = static_cast<size_t>(area.Width) * area.Height;
    std::vector<BYTE> drawn;  // made when a drawn character reaches the area
    auto at = [&](int x, int y) { return static_cast<size_t>(y - area.Y) * area.Width + (x - area.X); };
    // Calls f(x, y, pixel) for each inked pixel of character i's stamp within the area.
    auto eachPixel = [&](int i, auto f) {
        const Stamp* st = chosen[static_cast<size_t>(i)];
        const Placed& p = where[static_cast<size_t>(i)];
        // The stamp's rows and columns that lie in the area.
        const int x0 = std::max(0, area.X - p.x), x1 = std::min(st->width, area.X + area.Width - p.x);
        const int y0 = std::max(0, area.Y - p.y), y1 = std::min(st->height, area.Y + area.Height - p.y);
        for (int y = y0; y < y1; ++y) {
            const UINT32* row = &st->pixels[static_cast<size_t>(y) * st->width];
            for (int x = x0; x < x1; ++x)
                if (const UINT32 v = row[x])
                    if (!f(p.x + x, p.y + y, v)) return;
        }
    };
    bool anyDrawn = false;
    for (int i = 0; i < n; ++i) {
        if (!only[static_cast<size_t>(i)] || chosen[static_cast<size_t>(i)]) continue;
        Rect r;
        if (!Rect::Intersect(r, reach[static_cast<size_t>(i)], area)) continue;
        if (!anyDrawn) drawn.assign(areaPixels, 0);
        anyDrawn = true;
        for (int y = r.Y; y < r.Y + r.Height; ++y)
            std::memset(&drawn[at(r.X, y)], 1, static_cast<size_t>(r.Width));
    }
    // With no character drawn in the area, every stamped one keeps its stamp.
    for (bool moved = anyDrawn; moved;) {
        moved = false;
        for (int i = 0; i < n; ++i) {
            if (!only[static_cast<size_t>(i)] || !chosen[static_cast<size_t>(i)]) continue;
            bool meets = false;
            eachPixel(i, [&](int x, int y, UINT32) { return !(meets = drawn[at(x, y)] != 0); });
            if (!meets) continue;
            eachPixel(i, [&](int x, int y, UINT32) { return drawn[at(x, y)] = 1; });
            chosen[static_cast<size_t>(i)] = nullptr;
            moved = true;
        }
    }
    // The stamped characters in their order: the first on a pixel is written as its stamp is
    // (the pixel is clear), each later one is blended over it as GDI+ blends a character, by
    // drawing a picture of its coverage in its colour.
    // With the picture's memory at hand, first stamps go straight into it (no drawn character
    // shares their pixels, so they may precede the drawing), and a pixel not clear holds one: the
    // depths are counted only once two stamps meet.
    std::vector<BYTE> depth;
    if (!bits) {
        depth.assign(areaPixels, 0);
        size_t most = 0;
        for (int i = 0; i < n; ++i)
            if (only[static_cast<size_t>(i)] && chosen[static_cast<size_t>(i)])
                most += chosen[static_cast<size_t>(i)]->pixels.size();
        m_first.reserve(std::min(most, areaPixels));
    }
    for (int i = 0; i < n; ++i) {
        const Stamp* st = chosen[static_cast<size_t>(i)];
        if (!only[static_cast<size_t>(i)] || !st) continue;
        only[static_cast<size_t>(i)] = false;
        ++m_count;
        eachPixel(i, [&](int x, int y, UINT32 v) {
            UINT32* pixel = bits ? &bits[static_cast<size_t>(y) * stride + x] : nullptr;
            if (pixel && depth.empty()) {
                if (*pixel == 0) {
                    *pixel = v;
                    return true;
                }
                depth.assign(areaPixels, 0);
                for (int yy = area.Y; yy < area.Y + area.Height; ++yy)
                    for (int xx = area.X; xx < area.X + area.Width; ++xx)
                        depth[at(xx, yy)] = bits[static_cast<size_t>(yy) * stride + xx] != 0;
            }
            BYTE& d = depth[at(x, y)];
            if (d < 255) ++d;
            if (d == 1) {
                if (pixel)
                    *pixel = v;
                else
                    m_first.push_back(Pixel{x, y, v});
            } else {
                if (m_layers.size() < d - 1u) m_layers.resize(d - 1u);
                m_layers[d - 2u].push_back(Pixel{x, y, (v & 0xFF000000) | (st->color & 0x00FFFFFF)});
            }
            return true;
        });
    }
}

void GlyphStampPlan::Put(Bitmap* picture) const {
    if (m_count == 0) return;
    Rect area = m_area;
    if (!m_first.empty()) {
        BitmapData data;
        if (picture->LockBits(&area, ImageLockModeRead | ImageLockModeWrite, PixelFormat32bppPARGB, &data) !=
            Ok)
            return;
        for (const Pixel& p : m_first)
            reinterpret_cast<UINT32*>(static_cast<BYTE*>(data.Scan0) +
                                      (p.y - area.Y) * data.Stride)[p.x - area.X] = p.value;
        picture->UnlockBits(&data);
    }
    for (const std::vector<Pixel>& layer : m_layers) {
        int left = area.X + area.Width, top = area.Y + area.Height, right = area.X - 1, bottom = area.Y - 1;
        for (const Pixel& p : layer) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
        if (right < left) continue;
        const int w = right - left + 1, h = bottom - top + 1;
        // Coverage as alpha over the character's colour, not premultiplied: drawn one to one,
        // GDI+ blends each pixel as it blends a character's.
        std::vector<UINT32> pixels(static_cast<size_t>(w) * h, 0u);
        for (const Pixel& p : layer) pixels[static_cast<size_t>(p.y - top) * w + (p.x - left)] = p.value;
        Bitmap coverage(w, h, w * 4, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(pixels.data()));
        if (coverage.GetLastStatus() != Ok) continue;
        Graphics g(picture);
        g.SetInterpolationMode(InterpolationModeNearestNeighbor);
        g.SetPixelOffsetMode(PixelOffsetModeHalf);
        g.DrawImage(&coverage, Rect(left, top, w, h), 0, 0, w, h, UnitPixel);
    }
    g_stamped += m_count;
}
