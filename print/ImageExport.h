// Export of one part of a design as an image file: the part rendered at the chosen resolution,
// encoded by the GDI+ encoder of the file type and written to the file. Save as Image calls it,
// and so does the export benchmark, so that both measure and use the same path.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <vector>

#include "framework/Core.h"
#include "model/KorvanelleDocument.h"

class PrintOptions;
class ViewObject;

// One file type of Save as Image. The table of them is the only place a type is described: the
// dialog's list, the file dialog's filter, the extension a name gets and the encoder all read it.
struct ExportFormat {
    const char* label;      // "Bitmap File"; the lists show it with its pattern
    const char* extension;  // ".bmp", in lower case
    const WCHAR* mimeType;  // the GDI+ encoder's
    bool lossy;             // encoded at quality 95: the pixels come back close, not equal
    // The encoder, when not the GDI+ one of the MIME type.
    Gdiplus::Status (*write)(Gdiplus::Bitmap* bitmap, const WCHAR* path);
};

// The file types in the order of the dialog's list. The settings keep the index of the last one
// chosen, so a new type goes at the end.
extern const ExportFormat kExportFormats[];
extern const int kExportFormatCount;

// The types callers name (indexes into kExportFormats); a type no caller names needs none.
enum ExportFileType { kExportBmp = 0, kExportJpeg = 1, kExportPng = 2, kExportTiff = 3 };

// The type at `fileType`; the first (BMP) for a value outside the table.
const ExportFormat& ExportFormatAt(int fileType);
const WCHAR* ExportMimeType(int fileType);
CString ExportExtension(int fileType);
// "Bitmap File (*.bmp)": a type as the lists show it.
CString ExportFormatTitle(const ExportFormat& format);
// The file dialog's filter: every type, in the table's order.
CString ExportFileFilter();

enum ExportOutcome {
    kExportWritten = 0,
    kExportNoBitmap = 1,         // the picture could not be made (too little memory, or not a side or page)
    kExportWriteFailed = 2,      // the encoder or the file failed; an existing file is left as it was
    kExportTooLarge = 3,         // larger than any paper (a damaged template): nothing is drawn
    kExportPicturesMissing = 4,  // pictures on the part could not be drawn: no file is written
};

struct ExportResult {
    ExportOutcome outcome = kExportNoBitmap;
    Gdiplus::Status status = Gdiplus::Ok;  // the encoder's status when the write failed
    int width = 0, height = 0;             // the picture's size in pixels
    CString missingPictures;               // the pictures that could not be drawn, one to a line
};

// Renders `object` (a page, disc or cover) of `design` for export at `dpi` with `options`, and
// writes it to `path` as `fileType` (JPEG at quality 95). The file is written beside the target
// and takes its place only when complete.
ExportResult ExportImage(KorvanelleDocument* design, ViewObject* object, int dpi, const PrintOptions* options,
                         int fileType, const CString& path);
// The second half of ExportImage: an existing picture encoded and written.
Gdiplus::Status WriteImageFile(Gdiplus::Bitmap* bitmap, int fileType, const CString& path);

// A copy of a design that an export on another thread draws while the window's thread goes on
// with the design itself: its objects are its own, and so are the bytes of the pictures on the
// part. The decoded pictures the design holds are lent to it, so that the export draws from them
// and, when memory runs short, lets them go as it would the design's own; when the copy goes they
// are given back to the objects that still hold the same bytes and have had none decoded
// meanwhile. Made and destroyed on the window's thread, the latter once the export has ended.
class ExportDesignCopy {
public:
    ExportDesignCopy(KorvanelleDocument* design, ViewObject* part);
    ~ExportDesignCopy();
    ExportDesignCopy(const ExportDesignCopy&) = delete;
    ExportDesignCopy& operator=(const ExportDesignCopy&) = delete;
    KorvanelleDocument* Design() { return &m_copy; }
    // The part's copy (null when there is no part).
    ViewObject* Part() const { return m_part; }

private:
    struct Lent {
        ViewObject* original;
        IStream* bytes;  // the original's, a reference held: the same bytes, not others at their place
        ViewObject* copy;
    };
    KorvanelleDocument* m_design;
    KorvanelleDocument m_copy;
    ViewObject* m_part = nullptr;
    std::vector<Lent> m_lent;
};
