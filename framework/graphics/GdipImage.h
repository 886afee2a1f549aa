// GDI+ bitmap helpers that know nothing of a design: bringing a bitmap to a format the colour
// code reads, a bitmap from a packed 32-bit DIB, and the encoder of a MIME type.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

// Drawing settings for a copy that keeps every pixel: source copy, anti-aliasing, high-quality
// pixel offsets, and bicubic interpolation for pictures larger than 75 x 100 (nearest neighbour
// for smaller ones).
void PrepareCopyGraphics(Gdiplus::Graphics& g, Gdiplus::Image* source);
// The bitmap itself when it is 24-bit RGB or 32-bit ARGB; else a 32-bit ARGB copy, and the
// original is deleted (null when no copy can be made or drawn).
Gdiplus::Bitmap* NormalizeBitmapFormat(Gdiplus::Bitmap* bitmap);
// A 32-bit ARGB bitmap from a packed 32-bit DIB of `available` bytes; null for any other DIB and
// for a block too small for the pixels its header describes.
Gdiplus::Bitmap* CreateBitmapFromDib(const void* packedDib, size_t available);
// Index of the installed encoder of that MIME type (its class id in *clsid); -1 when none.
int GetEncoderClsid(const WCHAR* mimeType, CLSID* clsid);
