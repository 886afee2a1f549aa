// Stamps of characters for the screen's pictures of texts. Drawing one character through GDI+
// costs a tenth of a millisecond whatever its size, and a text typed into is drawn again at
// every key (all of it when a key changes the size AutoFit finds). GDI+ here puts a character's
// pixels at its drawing point rounded to a whole pixel, the same pixels wherever that is; so a
// character drawn once on a clear surface (its stamp) gives the pixels of every later drawing of
// it with the same font, colour and rendering on clear pixels. A character whose pixels meet no
// other character's is stamped; the others are still drawn, in their order, so that their
// blending is GDI+'s own.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <vector>

class RenderContext;
class ViewObject;

class GlyphStampPlan {
  public:
    // Picks which of the characters of `o` that `only` marks can be stamped into a picture whose
    // pixels within `area` are clear, and takes them out of `only` (the rest are drawn as
    // before). The characters are those of a picture drawn with anti-aliasing, pixel offset
    // "high quality" and `format`, moved by (shiftX, shiftY) device pixels, starting with the
    // colour `colorBefore`; `reach` holds the pixels each character may touch, in picture pixels.
    void Plan(const ViewObject* o, const RenderContext& rc, Gdiplus::StringFormat* format, LOGFONTA* defaultRecord,
              double fontScale, Gdiplus::ARGB colorBefore, Gdiplus::REAL shiftX, Gdiplus::REAL shiftY,
              const Gdiplus::Rect& area, const std::vector<Gdiplus::Rect>& reach, std::vector<bool>& only);
    // Writes the planned stamps into the picture (within the area planned for).
    void Put(Gdiplus::Bitmap* picture) const;
    size_t Count() const { return m_placed.size(); }

  private:
    struct Placed {
        const void* stamp;  // a Stamp kept by the cache
        int x, y;           // where its top-left pixel goes
    };
    std::vector<Placed> m_placed;
    Gdiplus::Rect m_area;
};

// Turns stamping on or off (on by default; tests compare the pictures both ways).
void UseGlyphStamps(bool on);
// How many characters were stamped so far.
long GlyphsStamped();
