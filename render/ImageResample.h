// Our own resampling of pictures for printing and export: a picture scaled once to the size it
// is drawn at with a Catmull-Rom bicubic filter (widened into an area average when shrinking),
// the rows spread over threads, and the result put 1:1 inside the surface's clip. GDI+'s own
// scaling is slow and blends the picture's last row and column with the background.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

// A block of pixels in memory: 3 bytes (blue, green, red) or 4 bytes (blue, green, red and
// alpha, premultiplied) per pixel, rows `stride` bytes apart.
struct PixelBlock {
    unsigned char* bits = nullptr;
    int width = 0, height = 0;
    int stride = 0;
    int bytesPerPixel = 3;
};

// The Catmull-Rom kernel at distance t.
double CatmullRomWeight(double t);

// Resamples `source` to a picture of fullWidth x fullHeight pixels and writes the part of it
// that starts at (left, top) into `dest` (whose width and height give the part's size). Source
// pixel j covers [j, j + 1) and destination pixel i samples the source at (i + 0.5) x scale;
// taps beyond the picture's edges are left out and the others weighted up, so edges keep their
// colour. Both blocks have the same bytes per pixel. False when the sizes make no sense or
// memory runs out.
bool ResamplePixels(const PixelBlock& source, int fullWidth, int fullHeight, int left, int top,
                    const PixelBlock& dest, int threads);

// Draws `image` (with the hue, saturation and lightness change applied first) into the device
// rectangle `dest` of `g` through ResamplePixels, limited to the surface's clip. False when the
// surface has a world or page transform other than pixels, or the picture cannot be read or
// changed (memory too short); the caller then draws it through GDI+.
bool DrawImageResampled(Gdiplus::Graphics* g, Gdiplus::Bitmap* image, const Gdiplus::Rect& dest, int hueShift,
                        int satShift, int lightShift);
