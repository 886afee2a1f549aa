#include "RenderFixtures.h"

#include <algorithm>
#include <cstring>

using namespace Gdiplus;

namespace rt {

Dib24::Dib24(int w, int h)
    : memory(nullptr), width(w), height(h), stride(static_cast<int>(GetDibStride(w, 24))) {
    void* p = nullptr;
    memory.Select(CreateTopDownDibSection(nullptr, w, h, 24, &p).Release(), true);
    dc = memory;
    bitmap = memory.Bitmap();
    bits = static_cast<BYTE*>(p);
}

static LOGFONTA* NewRecord(const char* face, int tenths, int weight, bool italic) {
    LOGFONTA* f = ViewObject::NewFontRecord();
    f->lfHeight = tenths;
    f->lfWeight = weight;
    f->lfItalic = italic ? 1 : 0;
    std::strncpy(f->lfFaceName, face, LF_FACESIZE - 1);
    return f;
}

void SetStyledText(ViewObject* o, const char* text, const char* face, int tenths, int weight, bool italic,
                   COLORREF color) {
    o->FreeCharStyles();
    CString s;
    for (const char* p = text; *p; ++p) s += (*p == '\b' ? CString(kTrackFieldEnd, 1) : CString(*p, 1));
    o->SetText(s);
    const INT_PTR n = o->chars.GetSize();
    o->charFonts.SetSize(n);
    o->charColors.SetSize(n);
    o->charUnderlines.SetSize(n);
    for (INT_PTR i = 0; i < n; ++i) {
        o->charFonts[i] = nullptr;
        o->charColors[i] = nullptr;
        o->charUnderlines[i] = 0;
    }
    if (n > 0) {
        o->charFonts[0] = NewRecord(face, tenths, weight, italic);
        o->charColors[0] = new COLORREF(color);
    }
    o->needsLayout = 1;
}

void SetCharFont(ViewObject* o, int i, const char* face, int tenths, int weight, bool italic) {
    delete o->charFonts[i];
    o->charFonts[i] = NewRecord(face, tenths, weight, italic);
    o->needsLayout = 1;
}

Design::Design() {
    tmpl = new LabelTemplate();
    tmpl->name = "Test";
    doc.AddTemplate(tmpl);
    doc.discTemplateName = "Test";
    doc.coverTemplateName = "Test";
}

Design::~Design() {
    doc.DeleteContents(true);
}

ViewObject* Design::AddPage(int side, int w, int h) {
    char name[16];
    wsprintfA(name, "Page %d", side);
    return Add(NewViewObject(kObjectPage, name, side, name, 0, 0, w, h));
}

ViewObject* Design::Add(ViewObject* o) {
    tmpl->AddObject(o);
    if (doc.currentSideName.IsEmpty() && o->IsSide()) doc.currentSideName = o->name;
    return o;
}

void Design::SetCurrent(const char* name) {
    doc.currentSideName = name;
    doc.cachedSide = nullptr;
    doc.cachedPage = nullptr;
}

Color Pixel(Bitmap* b, int x, int y) {
    Color c;
    b->GetPixel(x, y, &c);
    return c;
}

bool SameRgb(Color c, BYTE r, BYTE g, BYTE b, int tolerance) {
    return std::abs(c.GetR() - r) <= tolerance && std::abs(c.GetG() - g) <= tolerance &&
           std::abs(c.GetB() - b) <= tolerance;
}

Rect InkBox(Bitmap* b, const Rect& area, int threshold) {
    int l = INT_MAX, t = INT_MAX, r = INT_MIN, btm = INT_MIN;
    BitmapData data;
    Rect whole(0, 0, b->GetWidth(), b->GetHeight());
    if (b->LockBits(&whole, ImageLockModeRead, PixelFormat24bppRGB, &data) != Ok) return Rect();
    for (int y = std::max(0, area.Y); y < std::min<int>(area.GetBottom(), whole.Height); ++y) {
        const BYTE* row = static_cast<const BYTE*>(data.Scan0) + y * data.Stride;
        for (int x = std::max(0, area.X); x < std::min<int>(area.GetRight(), whole.Width); ++x) {
            const BYTE* p = row + x * 3;
            if (p[0] + p[1] + p[2] < threshold) {
                l = std::min(l, x);
                t = std::min(t, y);
                r = std::max(r, x);
                btm = std::max(btm, y);
            }
        }
    }
    b->UnlockBits(&data);
    if (l == INT_MAX) return Rect();
    return Rect(l, t, r - l + 1, btm - t + 1);
}

}  // namespace rt
