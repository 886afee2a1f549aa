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
    float RawAscent() const;
    float Ascent() const;  // rounded down after adding a half

private:
    void MakeSurface();

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
    // What is known of a font, by its record: each measuring through GDI+ costs tens of
    // microseconds and making the font more, and a text repeats its letters and is laid out again
    // at every key typed into it.
    struct KnownFont {
        bool made = false;  // GDI+ could make the font
        bool italic = false;
        LONG resolvedStyle = 0;  // what making the font noted in the record
        float rawAscent = 0;
        // The boxes measured, by format and character.
        std::unordered_map<std::string, Gdiplus::RectF> measured;
    };
    static const size_t kMaxKnownFonts = 256;
    using KnownFontMap = std::unordered_map<std::string, KnownFont>;
    // The calling thread's fonts, or this measurer's own when the thread can keep none.
    KnownFontMap& KnownFonts();
    static void WINAPI ForgetKnownFonts(void* fonts);
    KnownFontMap m_alone;
    KnownFont m_own;
    KnownFont* m_known = nullptr;  // the current font's entry
    LOGFONTA m_fontRecord = {};     // the current font's record
    bool m_fontFresh = false;       // m_font is made from m_fontRecord
};

bool IsFieldEnd(const CString& ch);
bool IsLineBreak(const CString& ch);
bool IsSpace(const CString& ch);
