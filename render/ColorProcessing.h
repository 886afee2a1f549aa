// Pixel-level colour work on GDI+ bitmaps: integer RGB/HSL conversion through lookup tables,
// hue/saturation/lightness shifts, scaling with the shift applied, and the exclusion-blend painter that shows selections by inverting pixels.
#pragma once

#include <vector>

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "framework/graphics/GdipImage.h"

// The lookup tables shared by every thread. They are built exactly once and are complete
// before BuildColorTables (or any function below) returns on any thread.
struct ColorTables {
    int lightPercent[511];              // index max + min: floor(i * 100 / 510)
    float logWeight[101];               // ln(max(i, 2)) / ln(100)
    float hueStep[256];                 // index max - min: 60 / i, entry 0 is 0
    int satChange[101][201];            // [current saturation][shift + 100]
    int lightStep[201];                 // [shift + 100]: added to each channel
    unsigned char exclusion[256][256];  // [a][b] = a + b - 2ab/255, floored
    // Exact stand-ins for divisions in the per-pixel code: n / d == (n * divide[d]) >> 31 for
    // every n up to 25500, and percent[i] == i / 100.0f, sixtieth[h] == h / 60.0f.
    unsigned int divide[511];
    float percent[101];
    float sixtieth[360];
};

// Builds the tables on first use (thread-safe) and returns them.
const ColorTables& GetColorTables();
void BuildColorTables();

void RgbToHsl(int r, int g, int b, int* h, int* s, int* l);
void HslToRgb(int h, int s, int l, int* r, int* g, int* b);

// Shifts one pixel's colour in place (bytes blue, green, red); the tables must be built.
void AdjustPixelHsl(const ColorTables& t, unsigned char* bgr, int hueShift, int satShift, int lightShift);

// Changes the colour of every pixel of `src` into the same place of `dst` (which may be the same
// memory), 3 or 4 bytes per pixel (the fourth, alpha, is copied); the rows are shared out over
// the render threads. False, and nothing changed, when memory runs short.
bool AdjustPixelRows(const Gdiplus::BitmapData& src, const Gdiplus::BitmapData& dst, int bytesPerPixel,
                     int hueShift, int satShift, int lightShift);
bool ApplyHslAdjustment(Gdiplus::Bitmap* source, Gdiplus::Bitmap* dest, int hueShift, int satShift,
                        int lightShift);
bool AdjustBitmapHsl(Gdiplus::Bitmap* bitmap, int hueShift, int satShift, int lightShift);
// Draws `image` into `dest` with the change applied. False when it could not be drawn so: with no
// memory for the change the picture is drawn unchanged (enough for the screen, not for paper or a
// file).
bool DrawImageWithHsl(Gdiplus::Graphics* g, Gdiplus::Image* image, const Gdiplus::RectF& dest, int hueShift,
                      int satShift, int lightShift);
Gdiplus::Bitmap* CreateScaledBitmap(Gdiplus::Image* image, const Gdiplus::RectF& dest, int hueShift,
                                    int satShift, int lightShift);
// The part `part` (pixels from the top-left corner) of the picture CreateScaledBitmap makes at
// wholeWidth x wholeHeight, made at the part's size alone: its pixels are those of the whole's
// part. The colour change is made where the whole's is: on the picture when it is narrower than
// the whole, else on the part after scaling. Null when it cannot be made, the change too.
Gdiplus::Bitmap* CreateScaledPart(Gdiplus::Image* image, int wholeWidth, int wholeHeight,
                                  const Gdiplus::Rect& part, int hueShift, int satShift, int lightShift);

// Releases the scratch bitmaps of DrawImageWithHsl; call before GDI+ shuts down.
void FreeColorScratchBitmaps();

// Inverts the pixels of a path on a 24-bit top-down DIB section (the view's off-screen buffer;
// its rows are taken as top-down)
// or on a 24-bit GDI+ bitmap. 'g' draws on the same pixels; 'region' (optional) replaces the
// path's own area; 'limit' (optional) is all the pixels it may change.
void InvertPathOnDib(Gdiplus::Graphics* g, HBITMAP dib, Gdiplus::GraphicsPath* path, bool antiAlias,
                     bool fill, Gdiplus::Region* region, const Gdiplus::Region* limit = nullptr);
void InvertPathOnBitmap(Gdiplus::Graphics* g, Gdiplus::Bitmap* bitmap, Gdiplus::GraphicsPath* path,
                        bool antiAlias, bool fill, Gdiplus::Region* region);
// Inverts the one-pixel outlines of rectangles on such a DIB section: the pixels on the edges of
// each (x to x + width, y to y + height, both ends included), as a path of the rectangles widened
// by a one-pixel pen inverts them: a pixel where outlines cross is inverted once. Only inside
// 'limit', when given.
void InvertRectOutlinesOnDib(Gdiplus::Graphics* g, HBITMAP dib, const std::vector<Gdiplus::Rect>& outlines,
                             const Gdiplus::Region* limit = nullptr);

bool IntersectRectXYWH(Gdiplus::Rect* out, const Gdiplus::Rect& a, const Gdiplus::Rect& b);

// The device rectangles of `g`'s clip (one very large one when it clips nothing); false when `g`
// has a transform.
bool GetClipScans(Gdiplus::Graphics* g, std::vector<Gdiplus::Rect>& scans);

// Puts the `source` part of a 32-bit premultiplied picture at (x, y) of a 24-bit top-down DIB
// section, pixel for pixel, within the clip given as scans (and `within`, when given), with the
// pixels GDI+ gives when `g` (drawing on that DIB, with no transform and that clip) draws it there
// at its own size. `g` is flushed first. False, and nothing drawn, when it cannot: the caller then
// lets GDI+ draw it. The second form takes `g`'s own clip.
bool BlendPictureOnDib(Gdiplus::Graphics* g, HBITMAP dib, Gdiplus::Bitmap* picture, const Gdiplus::Rect& source,
                       int x, int y, const std::vector<Gdiplus::Rect>& clip, const Gdiplus::Rect* within);
bool BlendPictureOnDib(Gdiplus::Graphics* g, HBITMAP dib, Gdiplus::Bitmap* picture, const Gdiplus::Rect& source,
                       int x, int y);

// The frame of `r` in black with a one-pixel dash-dot-dot pen, as GDI+ draws it without
// anti-aliasing, on 24-bit top-down pixel rows; pixels outside width x height are left out.
void PaintDashDotDotFrame(unsigned char* bits, int stride, int width, int height, const Gdiplus::Rect& r);
