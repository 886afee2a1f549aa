// Sample designs made from the built-in templates, with album data, texts in several fonts and
// angles, a track list in each layout and an image with a hue change: the designs behind the
// golden pictures and the benchmark.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <string>
#include <vector>

#include "model/KorvanelleDocument.h"

namespace rt {

struct GoldenSide {
    std::string file;  // picture file name
    ViewObject* side;
};

struct GoldenDesign {
    std::string name;
    KorvanelleDocument doc;
    std::vector<GoldenSide> sides;
    GoldenDesign() = default;
    ~GoldenDesign() { doc.DeleteContents(true); }
    GoldenDesign(const GoldenDesign&) = delete;
    GoldenDesign& operator=(const GoldenDesign&) = delete;
};

// The three sample designs: generic disc with the jewel case; generic disc in a two-disc layout
// with the DVD case; the LightScribe disc with the Blu-ray case.
std::vector<GoldenDesign*> MakeGoldenDesigns();

// A picture of its own making (gradients and shapes), w x h, as an image object's bytes.
ViewObject* MakeImageObject(const char* name, int side, const char* sideName, int x, int y, int w, int h,
                            int pixelsW, int pixelsH);
// A text object with its own font (face, tenths of a point, weight, italic) and colour.
ViewObject* MakeTextObject(const char* name, int side, const char* sideName, int x, int y, int w, int h,
                           const char* text, const char* face, int tenths, int weight, bool italic,
                           COLORREF color);

}  // namespace rt
