#include "controls/GdipFont.h"

#include <cstring>

using namespace Gdiplus;

namespace {

// The order in which styles are tried, by weight and italic; the first the family offers wins.
int ResolveStyle(const FontFamily& family, LONG weight, bool italic)
{
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

}  // namespace

void CreateGdipFont(Font** slot, LOGFONTA* record, double ignoredScale, double scale)
{
    (void)ignoredScale;
    if (!record || !slot) return;
    delete *slot;
    *slot = nullptr;

    char face[LF_FACESIZE + 1];
    std::memcpy(face, record->lfFaceName, LF_FACESIZE);
    face[LF_FACESIZE] = 0;
    WCHAR wideFace[LF_FACESIZE + 1] = {};
    MultiByteToWideChar(CP_ACP, 0, face, -1, wideFace, LF_FACESIZE);

    FontFamily family(wideFace);
    if (family.GetLastStatus() != Ok) return;
    if (record->lfEscapement == 0) record->lfEscapement = ResolveStyle(family, record->lfWeight, record->lfItalic != 0) + 10;
    int style = record->lfEscapement - 10;
    if (style < FontStyleRegular || style > FontStyleBoldItalic) style = FontStyleRegular;
    REAL size = static_cast<REAL>(record->lfHeight / 10.0);
    if (scale != 1.0) size = static_cast<REAL>(size * scale);
    Font* font = new Font(&family, size, style, UnitPoint);
    if (font->GetLastStatus() != Ok) {
        delete font;
        return;
    }
    *slot = font;
}
