// Characters put on a 24-bit GDI+ bitmap in runs. GDI+ draws a character on such a bitmap through
// the bitmap's device context, with a GDI font of its own making, at the pixel nearest to where
// its baseline starts: one call per character, each paying for the font, the clip and the layout
// again. Characters that share a font and a colour and lie on one baseline are put there here in
// one ExtTextOut, each at the pixel GDI+ would have chosen, with the font GDI+ would have made, so
// the pixels are those of the drawing one by one. A font is used so only after a probe drew two
// characters both ways and found the same pixels (another GDI+ may draw text by other means);
// otherwise, and for whatever else cannot be put so, the caller draws through GDI+ as before.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>
#include <vector>

#include "framework/win/ScopedGdi.h"

struct RunFont;

class GlyphRuns {
public:
    // For drawing on `g` (which draws into a 24-bit bitmap) with `format`, within g's present
    // clip; g's transform must be the identity when it is made.
    GlyphRuns(Gdiplus::Graphics* g, Gdiplus::StringFormat* format);
    // Puts what is still queued.
    ~GlyphRuns();
    GlyphRuns(const GlyphRuns&) = delete;
    GlyphRuns& operator=(const GlyphRuns&) = delete;

    // Queues `ch` as g->DrawString(&ch, 1, font, PointF(0, 0), format, brush of `color`) would
    // draw it with g's present transform: a turn by `angle` degrees (0, 90, 180 or 270), then a
    // move. False when it cannot be put so: what was queued is then put first, and the caller
    // draws the character through GDI+.
    bool Add(Gdiplus::Font* font, int angle, Gdiplus::ARGB color, WCHAR ch);
    // Puts the queued characters; called before anything else is drawn on g.
    void Flush();
    // How many calls put the characters taken so far.
    int Runs() const { return m_runs; }

private:
    // The font and turn characters are drawn with, or null when they must go through GDI+.
    const RunFont* FontFor(Gdiplus::Font* font, int angle);

    Gdiplus::Graphics* m_graphics;
    Gdiplus::StringFormat* m_format;
    bool m_usable = false;
    ScopedRegion m_clip;  // g's clip in device pixels; none when it clips nothing
    // The last font asked for, by its GDI+ description, and what it gave.
    LOGFONTW m_lastRecord = {};
    Gdiplus::REAL m_lastSize = 0;
    int m_lastAngle = -1;
    const RunFont* m_lastFont = nullptr;
    // The queued run: its font, colour, characters, and their pixels.
    const RunFont* m_font = nullptr;
    COLORREF m_color = 0;
    std::vector<WCHAR> m_chars;
    std::vector<POINT> m_points;
    int m_runs = 0;
};
