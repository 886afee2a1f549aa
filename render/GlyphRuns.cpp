// Runs of characters of one font and colour put on a 24-bit GDI+ bitmap's device context in one
// ExtTextOut each, at the pixels and with the font GDI+ uses for them one by one.
#include "render/GlyphRuns.h"

#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

using namespace Gdiplus;

// A GDI font as GDI+ makes it for a font turned by an angle: the face, weight and style of its
// description, its height in pixels, a width of the face's average character (as measured with
// no width given), and the description's escapement.
struct RunFont {
    ScopedFont font;
    int ascent = 0;
    // The baseline's direction on the device, a quarter turn from upright or none (0, 0): GDI
    // moves from character to character along it by the distances given, and one pixel across it
    // only by its own rules, so a run is a line of characters on one baseline.
    int cosine = 0, sine = 0;
    // The probe found the same pixels as GDI+'s own drawing.
    bool same = false;
};

namespace {

const size_t kMaxFonts = 512;
// Fonts taller than this many pixels are left to GDI+: the probe would cost more than it saves.
const LONG kLargestProbed = 400;

std::mutex& FontsLock() {
    static std::mutex lock;
    return lock;
}

std::map<std::string, std::unique_ptr<RunFont>>& Fonts() {
    static std::map<std::string, std::unique_ptr<RunFont>> fonts;
    return fonts;
}

// A GDI+ surface's device context for the scope; GDI+ takes no other call on the surface meanwhile.
class GraphicsDC {
public:
    explicit GraphicsDC(Graphics* g) : m_graphics(g), m_dc(g->GetHDC()) {}
    ~GraphicsDC() {
        if (m_dc) m_graphics->ReleaseHDC(m_dc);
    }
    GraphicsDC(const GraphicsDC&) = delete;
    GraphicsDC& operator=(const GraphicsDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    Graphics* m_graphics;
    HDC m_dc;
};

// The pixel where GDI+ starts the baseline of a character drawn at (0, 0) with g's transform.
POINT RunPoint(Graphics* g, const RunFont& f) {
    PointF at(0, static_cast<REAL>(f.ascent));
    g->TransformPoints(CoordinateSpaceDevice, CoordinateSpaceWorld, &at, 1);
    POINT p;
    p.x = static_cast<LONG>(std::floor(at.X + 0.5f));
    p.y = static_cast<LONG>(std::floor(at.Y + 0.5f));
    return p;
}

// Puts `count` characters of one font and colour at their pixels on g's device context, within
// `clip` (none: unclipped), as GDI+ puts each; the characters after the first lie on its baseline.
void PutRun(Graphics* g, HRGN clip, const RunFont& f, COLORREF color, const WCHAR* chars, const POINT* points,
            int count) {
    if (count <= 0) return;
    // The distances from each character to the next along the baseline.
    std::vector<INT> offsets(static_cast<size_t>(count), 0);
    for (int i = 0; i + 1 < count; ++i)
        offsets[static_cast<size_t>(i)] =
            f.cosine * (points[i + 1].x - points[i].x) - f.sine * (points[i + 1].y - points[i].y);
    GraphicsDC held(g);
    HDC dc = held.Get();
    if (!dc) return;
    ScopedSaveDC saved(dc);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, color);
    ::ExtSelectClipRgn(dc, clip, RGN_COPY);
    ::SelectObject(dc, f.font.Get());
    ::SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    ::ExtTextOutW(dc, points[0].x, points[0].y, 0, nullptr, chars, static_cast<UINT>(count), offsets.data());
}

// A GDI font made as GDI+ makes one from `record`.
std::unique_ptr<RunFont> MakeRunFont(const LOGFONTW& record) {
    std::unique_ptr<RunFont> made(new RunFont());
    const int turn = ((record.lfEscapement % 3600) + 3600) % 3600;
    if (turn % 900 == 0) {
        static const int kCosines[] = {1, 0, -1, 0}, kSines[] = {0, 1, 0, -1};
        made->cosine = kCosines[turn / 900];
        made->sine = kSines[turn / 900];
    }
    ScopedDC dc(::CreateCompatibleDC(nullptr));
    if (!dc) return nullptr;
    LOGFONTW upright = record;
    upright.lfEscapement = upright.lfOrientation = 0;
    upright.lfWidth = 0;
    TEXTMETRICW metrics = {};
    {
        ScopedSelect select(dc, ::CreateFontIndirectW(&upright), true);
        if (!::GetTextMetricsW(dc, &metrics)) return nullptr;
    }
    LOGFONTW turned = record;
    turned.lfWidth = metrics.tmAveCharWidth;
    made->font.Reset(::CreateFontIndirectW(&turned));
    if (!made->font) return nullptr;
    ScopedSelect select(dc, made->font.Get());
    if (!::GetTextMetricsW(dc, &metrics)) return nullptr;
    made->ascent = metrics.tmAscent;
    return made;
}

// Every pixel of a 24-bit bitmap made white, faster than GDI+ clears it.
bool PaintWhite(Bitmap& b) {
    Rect all(0, 0, static_cast<INT>(b.GetWidth()), static_cast<INT>(b.GetHeight()));
    BitmapData data;
    if (b.LockBits(&all, ImageLockModeWrite, PixelFormat24bppRGB, &data) != Ok) return false;
    for (INT y = 0; y < all.Height; ++y)
        std::memset(static_cast<BYTE*>(data.Scan0) + y * data.Stride, 0xFF,
                    static_cast<size_t>(all.Width) * 3);
    b.UnlockBits(&data);
    return true;
}

// True when two 24-bit bitmaps of one size hold the same pixels.
bool SamePixels(Bitmap& a, Bitmap& b) {
    const INT w = static_cast<INT>(a.GetWidth()), h = static_cast<INT>(a.GetHeight());
    Rect all(0, 0, w, h);
    BitmapData da, db;
    if (a.LockBits(&all, ImageLockModeRead, PixelFormat24bppRGB, &da) != Ok) return false;
    if (b.LockBits(&all, ImageLockModeRead, PixelFormat24bppRGB, &db) != Ok) {
        a.UnlockBits(&da);
        return false;
    }
    bool same = true;
    for (INT y = 0; y < h && same; ++y)
        same =
            std::memcmp(static_cast<const BYTE*>(da.Scan0) + y * da.Stride,
                        static_cast<const BYTE*>(db.Scan0) + y * db.Stride, static_cast<size_t>(w) * 3) == 0;
    a.UnlockBits(&da);
    b.UnlockBits(&db);
    return same;
}

// Draws two characters of `font` turned by `angle` on a 24-bit bitmap set up as `model`, once
// through GDI+ one by one and once as `f` puts them (in a run when it can), at places off the
// pixel grid; true when the pixels agree and GDI+ described the font there as `record`.
bool ProbeRunFont(Graphics* model, StringFormat* format, Font* font, int angle, const LOGFONTW& record,
                  const RunFont& f) {
    const LONG em = record.lfHeight < 0 ? -record.lfHeight : record.lfHeight;
    if (em <= 0 || em > kLargestProbed) return false;
    // The second character follows the first on its baseline, closer than its width (neighbours
    // may overlap), a little off it across. The characters reach at most about an em from where
    // they start, whichever way they are turned.
    const int side = static_cast<int>(em) * 3 + 16;
    const REAL middle = static_cast<REAL>(side / 2), step = 0.3f * em + 0.45f;
    const REAL turn = static_cast<REAL>(angle) * 3.14159265f / 180;
    const PointF places[2] = {PointF(middle + 0.3f, middle + 0.7f),
                              PointF(middle + 0.35f + std::round(std::cos(turn)) * step,
                                     middle + 0.75f + std::round(std::sin(turn)) * step)};
    const WCHAR chars[2] = {L'H', L'g'};
    const ARGB color = 0xFF2050A0;
    Bitmap drawn(side, side, PixelFormat24bppRGB), put(side, side, PixelFormat24bppRGB);
    if (drawn.GetLastStatus() != Ok || put.GetLastStatus() != Ok || !PaintWhite(drawn) || !PaintWhite(put))
        return false;
    drawn.SetResolution(model->GetDpiX(), model->GetDpiY());
    put.SetResolution(model->GetDpiX(), model->GetDpiY());
    Graphics gd(&drawn), gp(&put);
    POINT points[2];
    for (Graphics* g : {&gd, &gp}) {
        g->SetSmoothingMode(model->GetSmoothingMode());
        g->SetPixelOffsetMode(model->GetPixelOffsetMode());
        g->SetTextRenderingHint(model->GetTextRenderingHint());
    }
    SolidBrush brush{Color(color)};
    for (int i = 0; i < 2; ++i) {
        for (Graphics* g : {&gd, &gp}) {
            g->ResetTransform();
            if (angle != 0) g->RotateTransform(static_cast<REAL>(angle), MatrixOrderAppend);
            g->TranslateTransform(places[i].X, places[i].Y, MatrixOrderAppend);
        }
        LOGFONTW described = {};
        if (font->GetLogFontW(&gp, &described) != Ok ||
            std::memcmp(&described, &record, sizeof(LOGFONTW)) != 0)
            return false;
        gd.DrawString(&chars[i], 1, font, PointF(0, 0), format, &brush);
        points[i] = RunPoint(&gp, f);
    }
    gd.Flush(FlushIntentionSync);
    gp.ResetTransform();
    if (f.cosine || f.sine) {
        PutRun(&gp, nullptr, f, RGB(0x20, 0x50, 0xA0), chars, points, 2);
    } else {
        PutRun(&gp, nullptr, f, RGB(0x20, 0x50, 0xA0), chars, points, 1);
        PutRun(&gp, nullptr, f, RGB(0x20, 0x50, 0xA0), chars + 1, points + 1, 1);
    }
    gp.Flush(FlushIntentionSync);
    return SamePixels(drawn, put);
}

}  // namespace

GlyphRuns::GlyphRuns(Graphics* g, StringFormat* format) : m_graphics(g), m_format(format) {
    Region clip;
    if (!g || !format || g->GetClip(&clip) != Ok) return;
    if (!clip.IsInfinite(g)) {
        m_clip.Reset(clip.GetHRGN(g));
        if (!m_clip) return;
    }
    m_usable = true;
}

GlyphRuns::~GlyphRuns() {
    Flush();
}

const RunFont* GlyphRuns::FontFor(Font* font, int angle) {
    LOGFONTW record = {};
    if (!font || font->GetLogFontW(m_graphics, &record) != Ok) return nullptr;
    const REAL size = font->GetSize();
    if (angle == m_lastAngle && size == m_lastSize && std::memcmp(&record, &m_lastRecord, sizeof record) == 0)
        return m_lastFont;
    std::string key(reinterpret_cast<const char*>(&record), sizeof record);
    key.append(reinterpret_cast<const char*>(&size), sizeof size);
    key.append(reinterpret_cast<const char*>(&angle), sizeof angle);
    const int hint = m_graphics->GetTextRenderingHint();
    key.append(reinterpret_cast<const char*>(&hint), sizeof hint);
    const RunFont* found = nullptr;
    {
        std::lock_guard<std::mutex> hold(FontsLock());
        auto& fonts = Fonts();
        auto it = fonts.find(key);
        if (it != fonts.end()) {
            found = it->second.get();
        } else if (fonts.size() < kMaxFonts) {
            std::unique_ptr<RunFont> made = MakeRunFont(record);
            if (made) {
                made->same = ProbeRunFont(m_graphics, m_format, font, angle, record, *made);
                found = (fonts[key] = std::move(made)).get();
            }
        }
    }
    m_lastRecord = record;
    m_lastSize = size;
    m_lastAngle = angle;
    m_lastFont = found && found->same ? found : nullptr;
    return m_lastFont;
}

bool GlyphRuns::Add(Font* font, int angle, ARGB color, WCHAR ch) {
    // Control characters are laid out by GDI+ (tabs, line ends), not drawn as glyphs.
    // GDI+ blends a brush that is not opaque by its own means.
    const RunFont* f = m_usable && ch >= L' ' && (color >> 24) == 0xFF ? FontFor(font, angle) : nullptr;
    if (!f) {
        Flush();
        return false;
    }
    const COLORREF gdiColor = RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
    const POINT at = RunPoint(m_graphics, *f);
    // A run goes on with a character of its font and colour on its baseline.
    if (f != m_font || gdiColor != m_color || (!f->cosine && !f->sine) ||
        (!m_points.empty() && (f->cosine ? at.y != m_points[0].y : at.x != m_points[0].x)))
        Flush();
    m_font = f;
    m_color = gdiColor;
    m_chars.push_back(ch);
    m_points.push_back(at);
    return true;
}

void GlyphRuns::Flush() {
    if (m_chars.empty()) return;
    ++m_runs;
    PutRun(m_graphics, m_clip.Get(), *m_font, m_color, m_chars.data(), m_points.data(),
           static_cast<int>(m_chars.size()));
    m_chars.clear();
    m_points.clear();
}
