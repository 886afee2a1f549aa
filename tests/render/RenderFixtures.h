// Small designs built in memory for the renderer's tests: objects, one-side documents, texts
// with their per-character styles, and pixel access on rendered bitmaps.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <vector>

#include "framework/graphics/DibHelpers.h"
#include "model/KorvanelleDocument.h"
#include "model/ViewObject.h"

namespace rt {

// Sets the object's text (0x08 written as '\b') with one font record on the first character
// and one colour record (black) on the first character.
void SetStyledText(ViewObject* o, const char* text, const char* face = "Arial", int tenths = 200,
                   int weight = 400, bool italic = false, COLORREF color = 0);
// A font record of its own on character i.
void SetCharFont(ViewObject* o, int i, const char* face, int tenths, int weight = 400, bool italic = false);

// A design holding one template of one page (side index `side`) and the objects given; the
// current side is the first side object. The design owns everything.
struct Design {
    Design();
    ~Design();
    Design(const Design&) = delete;
    Design& operator=(const Design&) = delete;
    // A cover page of 10000 x 10000 with a front cover (folded or not) at (1000, 1000, w, h).
    ViewObject* AddPage(int side, int w, int h);
    ViewObject* Add(ViewObject* o);
    void SetCurrent(const char* name);

    KorvanelleDocument doc;
    LabelTemplate* tmpl;
};

// A 24-bit top-down DIB section with a memory DC, like the view's off-screen buffer.
struct Dib24 {
    ScopedMemoryDC memory;
    // The memory DC and its section, owned by `memory`.
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    BYTE* bits = nullptr;
    int width, height, stride;
    Dib24(int w, int h);
    Dib24(const Dib24&) = delete;
    Dib24& operator=(const Dib24&) = delete;
    std::vector<BYTE> Snapshot() const { return std::vector<BYTE>(bits, bits + stride * height); }
    BYTE* At(int x, int y) { return bits + y * stride + x * 3; }
};

Gdiplus::Color Pixel(Gdiplus::Bitmap* b, int x, int y);
bool SameRgb(Gdiplus::Color c, BYTE r, BYTE g, BYTE b, int tolerance = 0);
// The bounding box of every pixel darker than `threshold` (sum of channels) inside `area`;
// empty when none.
Gdiplus::Rect InkBox(Gdiplus::Bitmap* b, const Gdiplus::Rect& area, int threshold = 384);

}  // namespace rt
