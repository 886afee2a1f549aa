#include "render/TextFonts.h"

#include <cmath>
#include <cstring>

#include "framework/graphics/GdipFont.h"
#include "model/ViewObject.h"

using namespace Gdiplus;

bool IsFieldEnd(const CString& ch) {
    return ch.GetLength() == 1 && ch[0] == kTrackFieldEnd;
}

bool IsLineBreak(const CString& ch) {
    return ch.GetLength() == 1 && ch[0] == '\r';
}

bool IsSpace(const CString& ch) {
    return ch.GetLength() == 1 && ch[0] == ' ';
}

TextMeasurer::TextMeasurer(ViewObject* object) : m_object(object) {
    m_defaultRecord = ViewObject::NewDefaultFontRecord();
    const int count = static_cast<int>(object->charFonts.GetSize());
    m_owners.resize(count);
    int owner = -1;
    for (int j = 0; j < count; ++j) {
        if (object->charFonts[j]) owner = j;
        m_owners[j] = owner;
    }
}

TextMeasurer::~TextMeasurer() {
    delete m_font;
    delete m_formatT;
    delete m_formatP;
    delete m_graphics;
    delete m_bitmap;
    delete m_defaultRecord;
}

void TextMeasurer::MakeSurface() {
    // Made when a character is first measured: a layout whose characters are all known (every
    // text of a design in one font, laid out again) needs none, and making it costs more than
    // the layout of a short text.
    if (m_graphics) return;
    m_bitmap = new Bitmap(1, 1, PixelFormat24bppRGB);
    m_bitmap->SetResolution(1000.0f, 1000.0f);
    m_graphics = new Graphics(m_bitmap);
    m_graphics->SetTextRenderingHint(TextRenderingHintAntiAlias);
    m_formatT = StringFormat::GenericTypographic()->Clone();
    m_formatT->SetFormatFlags(StringFormatFlagsMeasureTrailingSpaces);
    m_formatP = new StringFormat(StringFormatFlagsNoClip | StringFormatFlagsLineLimit |
                                 StringFormatFlagsMeasureTrailingSpaces | StringFormatFlagsNoFitBlackBox);
    m_formatP->SetAlignment(StringAlignmentNear);
    m_formatP->SetLineAlignment(StringAlignmentNear);
    m_formatP->SetTrimming(StringTrimmingNone);
}

void TextMeasurer::SelectFontAt(int i, int autoFitSize) {
    // The record in effect: the nearest at or before the character, found through the table made
    // when measuring began (a walk back per character would cost the square of a long text).
    const int count = static_cast<int>(m_owners.size());
    const int at = i < count ? i : count - 1;
    const int index = at >= 0 ? m_owners[at] : -1;
    LOGFONTA* record = index >= 0 ? m_object->charFonts[index] : nullptr;
    if (!record) record = m_defaultRecord;
    bool fresh = index != m_recordIndex || !m_known;
    // With AutoFit every record meets the size of the try when its character is reached.
    if (autoFitSize > 0 && (index == i || index == -1) && record->lfHeight != autoFitSize) {
        record->lfHeight = autoFitSize;
        fresh = true;
    }
    if (!fresh) return;
    m_recordIndex = index;
    // Fonts with the records met before are known: their ascent and measured characters are
    // taken from the cache, and a GDI+ font is made only to measure a character not yet met.
    auto& known = KnownFonts();
    const std::string key(reinterpret_cast<const char*>(record), sizeof(LOGFONTA));
    auto it = known.find(key);
    if (it != known.end()) {
        m_known = &it->second;
        // Making the font notes the style it resolved in the record: a known font does the same.
        if (record->lfEscapement == 0) record->lfEscapement = m_known->resolvedStyle;
        m_fontRecord = *record;
        m_fontFresh = false;
        return;
    }
    // Past the cache's size (a design of very many fonts) the font is known only here.
    m_own = KnownFont();
    KnownFont& font = known.size() < kMaxKnownFonts ? known[key] : m_own;
    CreateGdipFont(&m_font, record, 1.0, 1.0);
    m_known = &font;
    m_fontRecord = *record;
    m_fontFresh = true;
    font.resolvedStyle = record->lfEscapement;
    if (!m_font) return;
    font.made = true;
    font.italic = (m_font->GetStyle() & FontStyleItalic) != 0;
    FontFamily family;
    if (m_font->GetFamily(&family) != Ok) return;
    INT style = m_font->GetStyle();
    UINT16 em = family.GetEmHeight(style);
    if (em == 0) return;
    font.rawAscent = static_cast<float>(family.GetCellAscent(style) * m_font->GetSize() / em * 1000.0 / 72.0);
}

float TextMeasurer::RawAscent() const {
    return m_known ? m_known->rawAscent : 0.0f;
}

float TextMeasurer::Ascent() const {
    return std::floor(RawAscent() + 0.5f);
}

bool TextMeasurer::IsItalic() const {
    return m_known && m_known->italic;
}

RectF TextMeasurer::Measure(const CString& ch, bool formatP) {
    RectF box(0, 0, 0, 0);
    if (!m_known || !m_known->made) return box;
    std::string key(1, formatP ? 'P' : 'T');
    key.append(static_cast<LPCSTR>(ch), static_cast<size_t>(ch.GetLength()));
    const auto known = m_known->measured.find(key);
    if (known != m_known->measured.end()) return known->second;
    WCHAR wide[8] = {};
    int n = MultiByteToWideChar(CP_ACP, 0, static_cast<LPCSTR>(ch), ch.GetLength(), wide, 7);
    if (n <= 0) return box;
    if (!m_fontFresh) {
        // Made from a copy: the record's noted style is already there.
        LOGFONTA record = m_fontRecord;
        CreateGdipFont(&m_font, &record, 1.0, 1.0);
        m_fontFresh = true;
        if (!m_font) return box;
    }
    MakeSurface();
    m_graphics->MeasureString(wide, n, m_font, PointF(0, 0), formatP ? m_formatP : m_formatT, &box);
    m_known->measured.emplace(std::move(key), box);
    return box;
}

TextMeasurer::KnownFontMap& TextMeasurer::KnownFonts() {
    // Layout runs on several threads, at times at once (an export's, the layout pictures'): each
    // thread keeps its own fonts, deleted by the system when the thread ends. Not a thread_local
    // object: this runtime frees a thread's thread_local memory before it runs their destructors,
    // and the map's destructor then wrote into freed heap memory (the heap broke later, at an
    // allocation elsewhere, after a Save As Image).
    static const DWORD slot = ::FlsAlloc(&ForgetKnownFonts);
    if (slot == FLS_OUT_OF_INDEXES) return m_alone;
    auto* fonts = static_cast<KnownFontMap*>(::FlsGetValue(slot));
    if (fonts) return *fonts;
    fonts = new KnownFontMap();
    if (::FlsSetValue(slot, fonts)) return *fonts;
    delete fonts;
    return m_alone;
}

void WINAPI TextMeasurer::ForgetKnownFonts(void* fonts) {
    delete static_cast<KnownFontMap*>(fonts);
}
