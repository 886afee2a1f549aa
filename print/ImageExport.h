// Export of one part of a design as an image file: the part rendered at the chosen resolution,
// encoded by the GDI+ encoder of the file type and written to the file. Save as Image calls it,
// and so does the export benchmark, so that both measure and use the same path.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "framework/Core.h"

class KorvanelleDocument;
class PrintOptions;
class ViewObject;

// The file types of Save as Image, in the order of its list.
enum ExportFileType { kExportBmp = 0, kExportJpeg = 1, kExportPng = 2, kExportTiff = 3 };

// "image/jpeg" and ".jpg" for 1, "image/png" and ".png" for 2, "image/tiff" and ".tif" for 3,
// "image/bmp" and ".bmp" for any other value.
const WCHAR* ExportMimeType(int fileType);
CString ExportExtension(int fileType);

enum ExportOutcome {
    kExportWritten = 0,
    kExportNoBitmap = 1,     // the picture could not be made (too little memory, or not a side or page)
    kExportWriteFailed = 2,  // the encoder or the file failed; an existing file is left as it was
};

struct ExportResult {
    ExportOutcome outcome = kExportNoBitmap;
    Gdiplus::Status status = Gdiplus::Ok;  // the encoder's status when the write failed
    int width = 0, height = 0;             // the picture's size in pixels
};

// Renders `object` (a page, disc or cover) of `design` for export at `dpi` with `options`, and
// writes it to `path` as `fileType` (JPEG at quality 95). The file is written beside the target
// and takes its place only when complete.
ExportResult ExportImage(KorvanelleDocument* design, ViewObject* object, int dpi, const PrintOptions* options,
                         int fileType, const CString& path);
// The second half of ExportImage: an existing picture encoded and written.
Gdiplus::Status WriteImageFile(Gdiplus::Bitmap* bitmap, int fileType, const CString& path);
