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
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<UINT32> pixels;  // premultiplied, row after row
};

// The largest drawing reach a stamp is made for, device pixels: larger characters are drawn.
const int kLargestReach = 160;
const size_t kMaxStamps = 8192;

std::unordered_map<std::string, Stamp>& Stamps() {
    static std::unordered_map<std::string, Stamp> stamps;
    return stamps;
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
        const int side = 2 * kLargestReach + 8, origin = side / 2;
        if (!m_surface) {
            m_surface.reset(new Bitmap(side, side, PixelFormat32bppPARGB));
            if (m_surface->GetLastStatus() != Ok) {
                m_surface.reset();
                return;
            }
            Graphics(m_surface.get()).Clear(Color(0, 0, 0, 0));
        }
        WCHAR wide[8] = {};
        const int n = MultiByteToWideChar(CP_ACP, 0, static_cast<LPCSTR>(ch), ch.GetLength(), wide, 7);
        if (n <= 0) return;
        {
            // As a text picture draws a character: the same settings, from a whole pixel.
            Graphics g(m_surface.get());
            g.SetSmoothingMode(SmoothingModeAntiAlias);
            g.SetPixelOffsetMode(PixelOffsetModeHighQuality);
            g.SetTextRenderingHint(TextRenderingHintAntiAlias);
            g.TranslateTransform(static_cast<REAL>(origin), static_cast<REAL>(origin), MatrixOrderAppend);
            SolidBrush brush{Color(color)};
            if (g.DrawString(wide, n, m_font.get(), PointF(0, 0), m_format, &brush) != Ok) return;
        }
        // The character's pixels lie within its reach of the drawing point: only that square is
        // read (and cleared for the next), unless pixels meet its edge.
        const int r = std::min(reach + 4, origin);
        if (!Take(stamp, Rect(origin - r, origin - r, 2 * r + 1, 2 * r + 1), origin) && r < origin)
            Take(stamp, Rect(0, 0, side, side), origin);
    }

  private:
    // Reads the pixels within `square` of the surface into the stamp and clears them; false (and
    // nothing read) when some lie on the edge of a square smaller than the surface.
    bool Take(Stamp& stamp, Rect square, int origin) {
        stamp.usable = false;
        BitmapData data;
        if (m_surface->LockBits(&square, ImageLockModeRead | ImageLockModeWrite, PixelFormat32bppPARGB, &data) != Ok)
            return true;
        auto row = [&](int y) { return reinterpret_cast<UINT32*>(static_cast<BYTE*>(data.Scan0) + y * data.Stride); };
        int left = square.Width, right = -1, top = square.Height, bottom = -1;
        for (int y = 0; y < square.Height; ++y) {
            const UINT32* line = row(y);
            for (int x = 0; x < square.Width; ++x) {
                if (!line[x]) continue;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        const bool inside = right < 0 || (left > 0 && top > 0 && right < square.Width - 1 && bottom < square.Height - 1);
        const bool whole = square.Width == static_cast<INT>(m_surface->GetWidth());
        if (!inside && !whole) {
            m_surface->UnlockBits(&data);
            return false;
        }
        if (right >= 0) {
            stamp.left = square.X + left - origin;
            stamp.top = square.Y + top - origin;
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
        m_surface->UnlockBits(&data);
        // Pixels at the surface's own edge may have been cut off there.
        stamp.usable = inside;
        return true;
    }

    StringFormat* m_format;
    double m_fontScale;
    LOGFONTA m_record = {};
    std::unique_ptr<Font> m_font;
    std::unique_ptr<Bitmap> m_surface;
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
    : m_maker(new Maker(format, fontScale)), m_fontScale(fontScale) {
    // Dropped only between drawings: a drawing holds on to the stamps it found.
    if (Stamps().size() >= kMaxStamps) Stamps().clear();
}

GlyphStamper::~GlyphStamper() = default;

const void* GlyphStamper::Find(const CString& ch, const LOGFONTA& record, ARGB color, int reach) {
    auto& stamps = Stamps();
    m_key.assign(reinterpret_cast<const char*>(&record), sizeof(LOGFONTA));
    m_key.append(reinterpret_cast<const char*>(&m_fontScale), sizeof m_fontScale);
    m_key.append(reinterpret_cast<const char*>(&color), sizeof color);
    m_key.append(static_cast<LPCSTR>(ch), static_cast<size_t>(ch.GetLength()));
    auto it = stamps.find(m_key);
    if (it == stamps.end()) {
        it = stamps.emplace(m_key, Stamp()).first;
        m_maker->Make(it->second, ch, record, color, reach);
    }
    return it->second.usable ? &it->second : nullptr;
}

bool GlyphStamper::Ink(const CString& ch, const LOGFONTA& record, ARGB color, int reach, Rect& ink) {
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

void GlyphStampPlan::Plan(GlyphStamper& stamper, const ViewObject* o, const RenderContext& rc, LOGFONTA* defaultRecord,
                          ARGB colorBefore, REAL shiftX, REAL shiftY, const Rect& area,
                          const std::vector<Rect>& reach, std::vector<bool>& only) {
    m_placed.clear();
    m_area = area;
    const int n = o->GetCharCount();
    if (!g_useStamps || o->AngleToDegrees() != 0 || area.Width <= 0 || area.Height <= 0 ||
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
        if (i < o->charColors.GetSize() && o->charColors[i]) color = 0xFF000000 | ColorRefToRgb(*o->charColors[i]);
        if (!only[static_cast<size_t>(i)] || !font) continue;
        const CString& ch = o->chars[i];
        const RectF& glyph = *o->glyphBoxes[i];
        if (IsFieldEnd(ch) || IsLineBreak(ch) || glyph.Width == 0 || glyph.Height == 0) continue;
        if (o->charUnderlines[i] != 0) continue;  // its underline is drawn after it
        // Where the drawing puts it: the transform's move, as the drawing sets it.
        const REAL ax = static_cast<REAL>((ox + glyph.X) * rc.scaleX), ay = static_cast<REAL>((oy + glyph.Y) * rc.scaleY);
        int px, py;
        if (!DrawingPixel(static_cast<double>(ax) + shiftX, px) || !DrawingPixel(static_cast<double>(ay) + shiftY, py))
            continue;
        const double r = (std::fabs(glyph.Width) + std::fabs(glyph.Height)) * scale * 2 + 4;
        const Stamp* stamp = static_cast<const Stamp*>(stamper.Find(ch, *font, color, static_cast<int>(std::ceil(r))));
        if (!stamp) continue;
        chosen[static_cast<size_t>(i)] = stamp;
        where[static_cast<size_t>(i)] = Placed{stamp, px + stamp->left, py + stamp->top};
    }

    // How many characters touch each pixel of the area (two meaning two or more): a stamped
    // character touches its inked pixels, a drawn one every pixel it may reach.
    std::vector<BYTE> touched(static_cast<size_t>(area.Width) * area.Height, 0);
    auto mark = [&](int x, int y) {
        BYTE& t = touched[static_cast<size_t>(y - area.Y) * area.Width + (x - area.X)];
        if (t < 2) ++t;
    };
    auto inArea = [&](int x, int y) {
        return x >= area.X && y >= area.Y && x < area.X + area.Width && y < area.Y + area.Height;
    };
    for (int i = 0; i < n; ++i) {
        if (!only[static_cast<size_t>(i)]) continue;
        if (const Stamp* s = chosen[static_cast<size_t>(i)]) {
            const Placed& p = where[static_cast<size_t>(i)];
            for (int y = 0; y < s->height; ++y)
                for (int x = 0; x < s->width; ++x)
                    if (s->pixels[static_cast<size_t>(y) * s->width + x] && inArea(p.x + x, p.y + y)) mark(p.x + x, p.y + y);
            continue;
        }
        Rect r;
        if (!Rect::Intersect(r, reach[static_cast<size_t>(i)], area)) continue;
        for (int y = r.Y; y < r.Y + r.Height; ++y)
            for (int x = r.X; x < r.X + r.Width; ++x) mark(x, y);
    }
    // A character alone on its pixels is stamped; one sharing a pixel is drawn in its turn.
    for (int i = 0; i < n; ++i) {
        const Stamp* s = chosen[static_cast<size_t>(i)];
        if (!s) continue;
        const Placed& p = where[static_cast<size_t>(i)];
        bool alone = true;
        for (int y = 0; y < s->height && alone; ++y)
            for (int x = 0; x < s->width; ++x)
                if (s->pixels[static_cast<size_t>(y) * s->width + x] && inArea(p.x + x, p.y + y) &&
                    touched[static_cast<size_t>(p.y + y - area.Y) * area.Width + (p.x + x - area.X)] != 1) {
                    alone = false;
                    break;
                }
        if (!alone) continue;
        only[static_cast<size_t>(i)] = false;
        m_placed.push_back(p);
    }
}

void GlyphStampPlan::Put(Bitmap* picture) const {
    if (m_placed.empty()) return;
    Rect area = m_area;
    BitmapData data;
    if (picture->LockBits(&area, ImageLockModeRead | ImageLockModeWrite, PixelFormat32bppPARGB, &data) != Ok) return;
    for (const Placed& p : m_placed) {
        const Stamp& s = *static_cast<const Stamp*>(p.stamp);
        for (int y = 0; y < s.height; ++y) {
            const int py = p.y + y;
            if (py < area.Y || py >= area.Y + area.Height) continue;
            UINT32* row = reinterpret_cast<UINT32*>(static_cast<BYTE*>(data.Scan0) + (py - area.Y) * data.Stride);
            for (int x = 0; x < s.width; ++x) {
                const int px = p.x + x;
                const UINT32 v = s.pixels[static_cast<size_t>(y) * s.width + x];
                if (v && px >= area.X && px < area.X + area.Width) row[px - area.X] = v;
            }
        }
    }
    picture->UnlockBits(&data);
    g_stamped += static_cast<long>(m_placed.size());
}
