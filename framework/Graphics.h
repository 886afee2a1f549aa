// The framework's graphics helpers: packed DIBs, DIB sections, GDI+ fonts, bitmap formats and
// encoders, the 3-D frame.
#pragma once

#include "framework/Win.h"

#include "framework/graphics/DibHelpers.h"
#include "framework/graphics/DibSectionBitmap.h"
#include "framework/graphics/Frame3d.h"
#include "framework/graphics/GdipFont.h"
#include "framework/graphics/GdipImage.h"
