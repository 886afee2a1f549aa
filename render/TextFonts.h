// Fonts and measuring for the text layout and the text layer: the font record in effect at a
// character, and the 1000-dots-per-inch measuring surface on which every length comes out in thousandths of an inch.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/Core.h"

class ViewObject;

// The record in effect at character i: the nearest record at or before it. A text whose first
// character has none uses `fallback` (the default record).
LOGFONTA* FontRecordAt(ViewObject* object, int i, LOGFONTA* fallback);

// The measuring surface and formats of one layout call.
class TextMeasurer {
public:
    explicit TextMeasurer(ViewObject* object);
    ~TextMeasurer();
    TextMeasurer(const TextMeasurer&) = delete;
    TextMeasurer& operator=(const TextMeasurer&) = delete;

    // Makes the font in effect at character i current. With autoFitSize > 0 the record's height
    // is set to it first. True when the character carries its own record (or is the first).
    void SelectFontAt(int i, int autoFitSize);
    // The character's cell box measured at (0, 0); formatP selects the format used for the
    // last italic character of a line.
    Gdiplus::RectF Measure(const CString& ch, bool formatP);
    Gdiplus::RectF MeasureSpace() { return Measure(CString(" "), false); }

    bool IsItalic() const;
    // The current font's ascent in thousandths of an inch, unrounded.
    float RawAscent() const { return m_rawAscent; }
    float Ascent() const;  // rounded down after adding a half

    Gdiplus::Font* font() const { return m_font; }

private:
    ViewObject* m_object;
    Gdiplus::Bitmap* m_bitmap = nullptr;
    Gdiplus::Graphics* m_graphics = nullptr;
    Gdiplus::StringFormat* m_formatT = nullptr;
    Gdiplus::StringFormat* m_formatP = nullptr;
    Gdiplus::Font* m_font = nullptr;
    LOGFONTA* m_defaultRecord = nullptr;  // owned
    int m_recordIndex = -2;               // the character whose record made m_font
    // For every character, the index of the font record in effect there (-1: none); made once,
    // as the layout changes record heights but never which characters carry records.
    std::vector<int> m_owners;
    // The boxes measured with m_font, by format and character: a text repeats its letters, and
    // each measuring through GDI+ costs tens of microseconds. Emptied whenever the font changes.
    std::unordered_map<std::string, Gdiplus::RectF> m_measured;
    float m_rawAscent = 0;
};

bool IsFieldEnd(const CString& ch);
bool IsLineBreak(const CString& ch);
bool IsSpace(const CString& ch);
