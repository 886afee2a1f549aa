// A design turned into pixels outside the canvas: one side or page as a bitmap at a chosen
// resolution (export, disc printing), a side drawn into a bitmap of a given size (previews and
// thumbnails), the thumbnail strip of a whole design, and the side objects the canvas collects
// without drawing.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <atomic>

#include "render/RenderContext.h"

class KorvanelleDocument;
class PrintOptions;
class ViewObject;

// Preview pictures are drawn at kPictureDetail times the scale they are shown at, at most 150 dots
// per inch, and scaled down for smooth edges: PictureScale gives that scale (pixels per
// thousandth of an inch) for the scale shown. Their memory follows the size shown, never the
// design's size.
const double kPictureDetail = 4.0;
double PictureScale(double shownScale);

// True when the side object (with its bleed) or the page lies within the largest paper there is.
// Only a damaged template makes one larger, and a picture of it at print resolution would take
// more memory than the process has, or all of it.
bool HasPaperSize(ViewObject* object, const PrintOptions* options);

// A new 24-bit bitmap of the side object (with its bleed) or the page at `dpi`, its resolution
// set to `dpi`; null when the object is unsuitable, larger than any paper (HasPaperSize), the
// bitmap cannot be made, or a picture on it could not be drawn (those pictures go to `undrawn`
// when it is given): a bitmap never lacks a picture of its part.
Gdiplus::Bitmap* RenderDocumentToBitmap(KorvanelleDocument* document, ViewObject* object, int purpose,
                                        int dpi, const PrintOptions* options,
                                        CObjectPtrArray* undrawn = nullptr);

// The pictures a drawing lacked, one to a line, as the user knows them (ViewObject::PictureName),
// each once.
CString UndrawnPictureNames(const CObjectPtrArray& pictures);

// One side object of a design alone, drawn as a small preview picture fitted into width x height
// (the picture's bitmap has the fitted size): the design drawn at PictureScale and scaled down,
// then its outline. Purpose 7 shows the disc centred in the disc-printer square. The caller owns the
// result; null on failure.
Gdiplus::Bitmap* RenderSideBitmap(KorvanelleDocument* document, ViewObject* object,
                                  const PrintOptions* options, int purpose, int width, int height);

// Replaces the design's image pool by one image: a strip kThumbnailHeight pixels high of its back
// cover, front cover and discs, with sample album data filled in. Once `stop` is set the drawing
// is given up between two parts, leaving the pool empty, and the result is false.
bool MakeDocumentThumbnail(KorvanelleDocument* document, const std::atomic<bool>* stop = nullptr);
const int kThumbnailHeight = 64;
// The size of the strip MakeDocumentThumbnail makes of the design, found without drawing it;
// 0 x 0 when there is nothing to draw.
SIZE DocumentThumbnailSize(KorvanelleDocument* document);

// The side objects of the current side, as the screen collects them.
void CollectSideObjects(CObjectPtrArray& out, KorvanelleDocument* document);
// Appends the side objects of the current side, then every object lying on them.
void PrepareSideHitTest(CObjectPtrArray& inOut, KorvanelleDocument* document);
