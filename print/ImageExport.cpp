// Export of a design part as an image file.
#include "print/ImageExport.h"

#include <string>

#include "framework/graphics/GdipImage.h"
#include "model/KorvanelleDocument.h"
#include "render/DocumentBitmap.h"
#include "render/PngWriter.h"
#include "render/RenderContext.h"

using namespace Gdiplus;

const ExportFormat kExportFormats[] = {
    {"Bitmap File", ".bmp", L"image/bmp", false, nullptr},
    {"JPEG File", ".jpg", L"image/jpeg", true, nullptr},
    // The renderer's own writer: several times faster than the GDI+ encoder, the rows compressed
    // on every core, the file smaller; the same pixels.
    {"PNG File", ".png", L"image/png", false, WritePngFile},
    {"TIFF File", ".tif", L"image/tiff", false, nullptr},
};
const int kExportFormatCount = static_cast<int>(sizeof kExportFormats / sizeof kExportFormats[0]);

const ExportFormat& ExportFormatAt(int fileType) {
    return kExportFormats[fileType >= 0 && fileType < kExportFormatCount ? fileType : 0];
}

const WCHAR* ExportMimeType(int fileType) {
    return ExportFormatAt(fileType).mimeType;
}

CString ExportExtension(int fileType) {
    return ExportFormatAt(fileType).extension;
}

CString ExportFormatTitle(const ExportFormat& format) {
    return CString(format.label) + " (*" + format.extension + ")";
}

CString ExportFileFilter() {
    CString filter;
    for (int i = 0; i < kExportFormatCount; ++i)
        filter += ExportFormatTitle(kExportFormats[i]) + "|*" + kExportFormats[i].extension + "|";
    return filter + "|";
}

Status WriteImageFile(Bitmap* bitmap, int fileType, const CString& path) {
    if (!bitmap) return InvalidParameter;
    const ExportFormat& format = ExportFormatAt(fileType);
    CLSID encoder;
    if (GetEncoderClsid(format.mimeType, &encoder) < 0) return UnknownImageFormat;
    // The picture goes to a file of its own beside the target first: a write that fails half-way
    // (a full disc, a folder that refuses it) never leaves a damaged or emptied file behind.
    Status status = Ok;
    const bool written = WriteNamedFileWhole(path, path + ".part", [&](const CString& partial) {
        const std::wstring partialName = AfxWideOf(partial);
        if (format.write) {
            status = format.write(bitmap, partialName.c_str());
        } else if (format.lossy) {
            EncoderParameters parameters;
            ULONG quality = 95;
            parameters.Count = 1;
            parameters.Parameter[0].Guid = EncoderQuality;
            parameters.Parameter[0].Type = EncoderParameterValueTypeLong;
            parameters.Parameter[0].NumberOfValues = 1;
            parameters.Parameter[0].Value = &quality;
            status = bitmap->Save(partialName.c_str(), &encoder, &parameters);
        } else {
            status = bitmap->Save(partialName.c_str(), &encoder, nullptr);
        }
        return status == Ok;
    });
    if (!written && status == Ok) status = Win32Error;
    return status;
}

ExportResult ExportImage(KorvanelleDocument* design, ViewObject* object, int dpi, const PrintOptions* options,
                         int fileType, const CString& path) {
    ExportResult result;
    if (object && !HasPaperSize(object, options)) {
        result.outcome = kExportTooLarge;
        return result;
    }
    CObjectPtrArray undrawn;
    Bitmap* bitmap = RenderDocumentToBitmap(design, object, kPurposeExport, dpi, options, &undrawn);
    if (!bitmap) {
        result.missingPictures = UndrawnPictureNames(undrawn);
        if (!result.missingPictures.IsEmpty()) result.outcome = kExportPicturesMissing;
        return result;
    }
    result.width = static_cast<int>(bitmap->GetWidth());
    result.height = static_cast<int>(bitmap->GetHeight());
    result.status = WriteImageFile(bitmap, fileType, path);
    result.outcome = result.status == Ok ? kExportWritten : kExportWriteFailed;
    delete bitmap;
    return result;
}
