#include "framework/graphics/GdipFont.h"

#include <cstring>

using namespace Gdiplus;

namespace {

// The order in which styles are tried, by weight and italic; the first the family offers wins.
int ResolveStyle(const FontFamily& family, LONG weight, bool italic) {
    static const int heavyItalic[] = {FontStyleBoldItalic, FontStyleBold, FontStyleItalic};
    static const int heavy[] = {FontStyleBold, FontStyleBoldItalic, FontStyleRegular, FontStyleItalic};
    static const int lightItalic[] = {FontStyleItalic, FontStyleBoldItalic, FontStyleRegular, FontStyleBold};
    static const int light[] = {FontStyleRegular, FontStyleBold, FontStyleItalic, FontStyleBoldItalic};
    const int* order;
    int count;
    if (weight >= 500) {
        order = italic ? heavyItalic : heavy;
        count = italic ? 3 : 4;
    } else {
        order = italic ? lightItalic : light;
        count = 4;
    }
    for (int i = 0; i < count; ++i)
        if (family.IsStyleAvailable(order[i])) return order[i];
    return FontStyleRegular;
}

// A sans-serif family that exists: the system's generic one when it has one, else a named one.
// Null only when no such face is installed at all.
FontFamily* MakeFallbackFamily() {
    const FontFamily* generic = FontFamily::GenericSansSerif();  // null under some GDI+ versions
    if (generic && generic->IsAvailable()) return generic->Clone();
    static const WCHAR* const kNames[] = {L"Arial",  L"Liberation Sans",      L"DejaVu Sans",
                                          L"Tahoma", L"Microsoft Sans Serif", L"Verdana"};
    for (const WCHAR* name : kNames) {
        FontFamily* family = new FontFamily(name);
        if (family->GetLastStatus() == Ok && family->IsAvailable()) return family;
        delete family;
    }
    return nullptr;
}

}  // namespace

void CreateGdipFont(Font** slot, LOGFONTA* record, double ignoredScale, double scale) {
    (void)ignoredScale;
    if (!record || !slot) return;
    delete *slot;
    *slot = nullptr;

    char face[LF_FACESIZE + 1];
    std::memcpy(face, record->lfFaceName, LF_FACESIZE);
    face[LF_FACESIZE] = 0;
    WCHAR wideFace[LF_FACESIZE + 1] = {};
    MultiByteToWideChar(CP_ACP, 0, face, -1, wideFace, LF_FACESIZE);

    FontFamily* family = new FontFamily(wideFace);
    int style;
    if (family->GetLastStatus() == Ok) {
        if (record->lfEscapement == 0)
            record->lfEscapement = ResolveStyle(*family, record->lfWeight, record->lfItalic != 0) + 10;
        style = record->lfEscapement - 10;
    } else {
        // A face that is not installed would leave no font, and measuring and drawing would
        // then fail: a default sans-serif face keeps the text laid out and visible. The style
        // is resolved against that face and not cached, so the record stays as the user made it.
        delete family;
        family = MakeFallbackFamily();
        if (!family) return;
        style = ResolveStyle(*family, record->lfWeight, record->lfItalic != 0);
    }
    if (style < FontStyleRegular || style > FontStyleBoldItalic) style = FontStyleRegular;
    REAL size = static_cast<REAL>(record->lfHeight / 10.0);
    if (scale != 1.0) size = static_cast<REAL>(size * scale);
    Font* font = new Font(family, size, style, UnitPoint);
    delete family;
    if (font->GetLastStatus() != Ok) {
        delete font;
        return;
    }
    *slot = font;
}
