// The layer of a side drawing that paints its texts and track lists.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

class RenderContext;

// Lays out every text and track list among the record's children whose layout is due and draws
// them; called once per side object, after the images and before the grid dots.
void DrawTextLayer(RenderContext& rc);

// The smallest rectangle of a 32-bit premultiplied picture outside which every pixel is clear
// (all four bytes 0); empty when the whole picture is clear. The screen puts a text's picture
// only within it.
Gdiplus::Rect InkBounds(Gdiplus::Bitmap* bitmap);
// The same within the bitmap's top-left width x height pixels (`topLeft` at 0, 0).
Gdiplus::Rect InkBounds(Gdiplus::Bitmap* bitmap, const Gdiplus::Rect& topLeft);

// Drops the screen's pictures of texts: each is drawn whole at its next drawing.
void ForgetTextPictures();

// How many times a text's screen picture was drawn again only where its changed characters
// reach (the typing benchmark reports it).
long TextPicturesPatched();
