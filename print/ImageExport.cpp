// Export of a design part as an image file.
#include "print/ImageExport.h"

#include <set>
#include <string>

#include "framework/graphics/GdipImage.h"
#include "model/KorvanelleDocument.h"
#include "model/LabelTemplate.h"
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

ExportDesignCopy::ExportDesignCopy(KorvanelleDocument* design, ViewObject* part) : m_design(design) {
    if (!design) return;
    m_copy.CopyFrom(design, false, false);
    // The design's own: the copy neither reads nor frees them.
    m_copy.selection.RemoveAll();
    m_copy.imagePool.RemoveAll();
    // The sides the part shows: itself, or those of its page.
    std::set<CString> drawn;
    if (part) drawn.insert(part->name);
    design->ForEachObject([&](ViewObject* o) {
        if (part && o->IsSide() && o->side == part->side) drawn.insert(o->name);
    });
    for (INT_PTR i = 0; i < m_copy.templates.GetSize(); ++i) {
        LabelTemplate* from = m_copy.templates[i];
        if (!from) continue;
        // The objects copied without their pictures (a null object is left out, as here).
        LabelTemplate* to = new LabelTemplate(from, false);
        m_copy.templates[i] = to;
        int k = 0;
        for (int j = 0; j < from->GetObjectCount(); ++j) {
            ViewObject* o = from->GetObject(j);
            if (!o) continue;
            ViewObject* c = to->GetObject(k++);
            if (o == part) m_part = c;
            if (!o->IsImage()) continue;
            IStream* bytes = o->image.GetStream();
            IStream* own = nullptr;
            if (bytes && drawn.count(o->sideName) && SUCCEEDED(bytes->Clone(&own)) && own)
                c->image.Attach(own);
            if (Gdiplus::Bitmap* decoded = o->TakeDecodedImage()) {
                c->SetDecodedImage(decoded);
                if (bytes) bytes->AddRef();
                m_lent.push_back({o, bytes, c});
            }
        }
    }
}

ExportDesignCopy::~ExportDesignCopy() {
    for (Lent& l : m_lent) {
        Gdiplus::Bitmap* decoded = l.copy->TakeDecodedImage();
        ViewObject* o = m_design->FindObjectIf(
            [&](const ViewObject* x) { return x == l.original && x->image.GetStream() == l.bytes; });
        if (decoded && o && !o->decodedImage)
            o->SetDecodedImage(decoded);
        else
            delete decoded;
        if (l.bytes) l.bytes->Release();
    }
    m_copy.DeleteContents(true);
}
