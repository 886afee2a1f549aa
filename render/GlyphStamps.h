// Stamps of characters for the screen's pictures of texts. Drawing one character through GDI+
// costs a tenth of a millisecond whatever its size, and a text typed into is drawn again at
// every key (all of it when a key changes the size AutoFit finds). GDI+ here puts a character's
// pixels at its drawing point rounded to a whole pixel, the same pixels wherever that is; so a
// character drawn once on a clear surface (its stamp) gives the pixels of every later drawing of
// it with the same font, colour and rendering. On clear pixels the stamp is written as it is;
// where an earlier character already left pixels, GDI+ blends the character exactly as it blends
// a picture of the character's coverage in its colour drawn one to one, so the later characters
// on each pixel are put with one such drawing per depth. Underlined and turned characters, those
// drawn from within 1/256 of half a pixel and those too large to stamp are still drawn, and no
// stamped character shares a pixel with them. Whether GDI+ draws this way is asked once, by
// drawing two letters both ways; a GDI+ that does not keeps drawing every character.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Core.h"

class RenderContext;
class ViewObject;

// Finds the stamps of one drawing's characters, making those not yet kept; the font and the
// surface they are made on are kept while it lasts.
class GlyphStamper {
public:
    GlyphStamper(Gdiplus::StringFormat* format, double fontScale);
    ~GlyphStamper();
    GlyphStamper(const GlyphStamper&) = delete;
    GlyphStamper& operator=(const GlyphStamper&) = delete;

    // The stamp of `ch` in the font `record` at this drawing's scale and in `color`; null when
    // the character cannot be stamped (its drawing may reach more than `reach` pixels far, or
    // its font cannot be made).
    const void* Find(const CString& ch, const LOGFONTA& record, Gdiplus::ARGB color, int reach);
    // The square its stamp fills around the drawing point (empty when it leaves no pixel);
    // false when it cannot be stamped.
    bool Ink(const CString& ch, const LOGFONTA& record, Gdiplus::ARGB color, int reach, Gdiplus::Rect& ink);

    // Whether characters are stamped at all: this GDI+ draws them as stamps put them.
    bool Usable() const;

private:
    // Find through the kept stamps alone.
    const void* FindKept(const CString& ch, const LOGFONTA& record, Gdiplus::ARGB color, int reach);
    class Maker;
    std::unique_ptr<Maker> m_maker;
    Gdiplus::StringFormat* m_format;
    double m_fontScale;
    std::string m_key;
};

class GlyphStampPlan {
public:
    // Picks which of the characters of `o` that `only` marks can be stamped into a picture whose
    // pixels within `area` are clear, and takes them out of `only` (the rest are drawn as
    // before, and share no pixel with a stamped one). The characters are those of a picture
    // drawn with anti-aliasing, pixel offset "high quality" and the stamper's format and scale,
    // moved by (shiftX, shiftY) device pixels, starting with the colour `colorBefore`; `reach`
    // holds the pixels each character may touch, in picture pixels. Given the picture's memory
    // (`bits`, premultiplied, `stride` pixels per row), the stamps first on their pixels are
    // written into it at once; Put then adds only those over others.
    void Plan(GlyphStamper& stamper, const ViewObject* o, const RenderContext& rc, LOGFONTA* defaultRecord,
              Gdiplus::ARGB colorBefore, Gdiplus::REAL shiftX, Gdiplus::REAL shiftY,
              const Gdiplus::Rect& area, const std::vector<Gdiplus::Rect>& reach, std::vector<bool>& only,
              UINT32* bits = nullptr, int stride = 0);
    // Puts the planned stamps into the picture, after the drawing of the other characters.
    void Put(Gdiplus::Bitmap* picture) const;

private:
    struct Placed {
        const void* stamp;  // a Stamp kept by the cache
        int x, y;           // where its top-left pixel goes
    };
    struct Pixel {
        int x, y;
        UINT32 value;
    };
    std::vector<Pixel> m_first;                // pixels of the first stamp on them, as written
    std::vector<std::vector<Pixel>> m_layers;  // the second, third... stamp on a pixel
    long m_count = 0;
    Gdiplus::Rect m_area;
};

// Turns stamping on or off (on by default; tests compare the pictures both ways).
void UseGlyphStamps(bool on);
// How many characters were stamped so far.
long GlyphsStamped();
