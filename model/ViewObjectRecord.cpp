// The file record of one object, with the readers of the layouts of older versions, the text
// encodings of the font and colour runs, and the older class name "CRichChild".
#include "model/ViewObject.h"

#include "model/AlbumInfo.h"
#include "model/HeaderRecords.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Older files tag objects with the class name "CRichChild"; they read as ViewObject.
struct RichChildAlias {
    RichChildAlias() { CArchive::RegisterClassAlias("CRichChild", RUNTIME_CLASS(ViewObject)); }
} g_richChildAlias;

const char kSep = 0x08;

// Splits at every 0x08; the text after the last one (unterminated) is dropped.
void SplitFields(const CString& text, CStringArray& fields) {
    int start = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text.GetAt(i) == kSep) {
            fields.Add(text.Mid(start, i - start));
            start = i + 1;
        }
    }
}

// The characters as one text. Unlike GetText, a failure (memory running out) is not caught: it
// ends the record, so that a save fails as a whole instead of writing a cut-off text.
CString JoinedText(const CStringArray& chars) {
    CString text;
    for (INT_PTR i = 0; i < chars.GetSize(); ++i) text += chars[i];
    return text;
}

int Limit(int value, int low, int high) {
    return value < low ? low : value > high ? high : value;
}

}  // namespace

void ViewObject::LimitRecordValues() {
    left = Limit(left, -kMaxDesignLength, kMaxDesignLength);
    top = Limit(top, -kMaxDesignLength, kMaxDesignLength);
    width = Limit(width, 0, kMaxDesignLength);
    height = Limit(height, 0, kMaxDesignLength);
    spineWidth = Limit(spineWidth, 0, kMaxDesignLength);
    textMargin = Limit(textMargin, 0, kMaxDesignLength);
    savedLeft = Limit(savedLeft, -kMaxDesignLength, kMaxDesignLength);
    savedTop = Limit(savedTop, -kMaxDesignLength, kMaxDesignLength);
    hue = Limit(hue, -180, 180);
    saturation = Limit(saturation, -100, 100);
    lightness = Limit(lightness, -100, 100);
    for (INT_PTR i = 0; i < charFonts.GetSize(); ++i) {
        LOGFONTA* f = charFonts[i];
        if (!f) continue;
        f->lfHeight = Limit(f->lfHeight, -kMaxFontHeight, kMaxFontHeight);
        f->lfWeight = Limit(f->lfWeight, 0, 1000);
    }
}

CString ViewObject::EncodeFontRuns() const {
    CString out;
    for (INT_PTR i = 0; i < charFonts.GetSize(); ++i) {
        const LOGFONTA* f = charFonts[i];
        if (!f) continue;
        char face[LF_FACESIZE + 1];
        std::memcpy(face, f->lfFaceName, LF_FACESIZE);
        face[LF_FACESIZE] = 0;
        CString run;
        run.Format("%d%c%s%c%ld%c%ld%c%d%c", static_cast<int>(i), kSep, face, kSep,
                   static_cast<long>(f->lfHeight), kSep, static_cast<long>(f->lfWeight), kSep,
                   static_cast<int>(f->lfItalic), kSep);
        out += run;
    }
    return out;
}

CString ViewObject::EncodeColorRuns() const {
    CString out;
    for (INT_PTR i = 0; i < charColors.GetSize(); ++i) {
        const COLORREF* c = charColors[i];
        if (!c) continue;
        CString run;
        run.Format("%d%c%.3d%.3d%.3d%c", static_cast<int>(i), kSep, GetRValue(*c), GetGValue(*c),
                   GetBValue(*c), kSep);
        out += run;
    }
    return out;
}

void ViewObject::DecodeFontRuns(const CString& text) {
    if (type != kObjectText && type != kObjectTrack) return;
    INT_PTR n = chars.GetSize();
    if (n == 0) return;
    for (INT_PTR i = 0; i < charFonts.GetSize(); ++i) delete charFonts[i];
    charFonts.RemoveAll();
    charFonts.SetSize(n);
    CStringArray fields;
    SplitFields(text, fields);
    for (INT_PTR g = 0; g + 5 <= fields.GetSize(); g += 5) {
        int position = std::atoi(fields[g]);
        if (position < 0 || position >= n) break;
        LOGFONTA* f = NewFontRecord();
        std::strncpy(f->lfFaceName, fields[g + 1], 31);
        f->lfFaceName[31] = 0;
        f->lfHeight = std::atoi(fields[g + 2]);
        f->lfWeight = std::atoi(fields[g + 3]);
        f->lfItalic = static_cast<BYTE>(std::atoi(fields[g + 4]));
        delete charFonts[position];
        charFonts[position] = f;
    }
}

void ViewObject::DecodeColorRuns(const CString& text) {
    if (text.IsEmpty()) return;
    if ((type == kObjectText || type == kObjectTrack)) {
        if (chars.GetSize() == 0) return;
        for (INT_PTR i = 0; i < charColors.GetSize(); ++i) delete charColors[i];
        charColors.RemoveAll();
        charColors.SetSize(chars.GetSize());
    } else {
        charColors.Add(nullptr);
    }
    int pos = 0;
    const int length = text.GetLength();
    while (pos < length) {
        int sep = text.Find(kSep, pos);
        // A group needs its position, the separator and nine digits.
        if (sep < 0 || sep + 10 > length) break;
        int position = std::atoi(text.Mid(pos, sep - pos));
        if (position < 0 || position >= charColors.GetSize()) break;
        auto component = [&](int at) { return std::atoi(text.Mid(at, 3)); };
        int r = component(sep + 1), g = component(sep + 4), b = component(sep + 7);
        delete charColors[position];
        charColors[position] = new COLORREF(RGB(r & 255, g & 255, b & 255));
        pos = sep + 11;
    }
}

void ViewObject::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        bool textual = type == kObjectText || type == kObjectTrack;
        bool coloured = textual || IsSide() || type == kObjectBoundary;
        CString text = (textual && bLinkText == 0) ? JoinedText(chars) : CString();
        CString fonts = textual ? EncodeFontRuns() : CString();
        CString colors = coloured ? EncodeColorRuns() : CString();
        typeName = GetTypeName();
        ar << name << typeName << side << sideName;
        ar << left << top << width << height;
        ar << alignment << angle << trackNumbers << textLayout << wrapStyle;
        ar << spineWidth << textMargin << bLinkText << bAspectRatio << bBackground << bAutoFit << bFolded;
        ar << text << fonts << colors;
        ar << hue << saturation;
        ar << imageSource;
        ar << lightness << savedLeft << savedTop;
        if (textual) charUnderlines.Serialize(ar);
        if (type == kObjectImage && imageSource.IsEmpty()) image.Serialize(ar);
        return;
    }

    // A record that fails half-way leaves an object the archive deletes without its per-character
    // records: free what was read before the failure passes on.
    try {
        LoadRecord(ar);
    } catch (...) {
        ReleaseAll();
        throw;
    }
}

void ViewObject::LoadRecord(CArchive& ar) {
    const int version = g_fileVersion;
    CString sideText, text, fonts, colors;
    ar >> name >> typeName;
    if (version >= 500)
        ar >> side;
    else
        ar >> sideText;
    ar >> sideName;
    ar >> left >> top >> width >> height;
    ar >> alignment >> angle >> trackNumbers >> textLayout >> wrapStyle;
    ar >> spineWidth >> textMargin >> bLinkText >> bAspectRatio >> bBackground >> bAutoFit >> bFolded;
    ar >> text >> fonts >> colors;
    if (version >= 420) {
        ar >> hue >> saturation;
        ar >> imageSource;
    }
    if (version >= 500)
        ar >> lightness >> savedLeft >> savedTop;
    else if (version >= 446)
        ar >> lightness;

    if (version < 500 && !sideText.IsEmpty()) side = std::atoi(sideText);
    if (bBackground == 3)
        bBackground = 2;
    else if (bBackground == 4)
        bBackground = 1;
    SetTypeFromName();

    if (type == kObjectText || type == kObjectTrack) {
        charUnderlines.Serialize(ar);
        if (bLinkText && g_loadingAlbumInfo) text = g_loadingAlbumInfo->GetField(name);
        SetText(text);
        DecodeFontRuns(fonts);
        DecodeColorRuns(colors);
        if (trackNumbers == "Track Numbers + Track Times") trackNumbers = "Track Numbers && Times";
        if (textLayout == "Top + Bottom") textLayout = "Top && Bottom";
    } else if (IsSide() || type == kObjectBoundary) {
        DecodeColorRuns(colors);
    }
    SyncCharUnderlines();
    LimitRecordValues();
    if (type == kObjectImage && imageSource.IsEmpty() && version >= 500) image.Serialize(ar);
    needsLayout = 1;
}
