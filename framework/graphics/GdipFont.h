// GDI+ fonts from the design's font records: a LOGFONTA whose height holds tenths of a point
// and whose escapement caches the resolved GDI+ style plus 10 (0 = not resolved yet).
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

// Replaces *slot by a new font made from the record (size = height / 10 points, times 'scale'
// when not 1.0; 'ignoredScale' is not used). A face that is not installed gives a font of a
// default sans-serif face with the record's size and style; *slot is null only when no font at
// all can be made. A null record changes nothing.
void CreateGdipFont(Gdiplus::Font** slot, LOGFONTA* record, double ignoredScale, double scale);
