// The sample design of the export and print scenarios, and the driver's own pictures of it (see
// SampleDesign.h).
#include "SampleDesign.h"

#include <algorithm>
#include <cstdlib>

#include "GdiplusSession.h"
#include "model/KorvanelleDocument.h"
#include "model/PageSizes.h"
#include "model/PrintOptions.h"
#include "model/TrackListText.h"
#include "render/DocumentBitmap.h"
#include "render/RenderContext.h"

using namespace Gdiplus;

namespace e2e {

namespace {

// A text across the upper part of a side, in red, as a user types one on it.
void AddText(KorvanelleDocument& design, ViewObject* side, const char* text) {
    ViewObject* o = NewViewObject(kObjectText, "Text 1", side->side, side->name, side->left + 300,
                                  side->top + 400, side->width - 600, 1000);
    o->alignment = "Left";
    o->angle = "0 degrees";
    o->wrapStyle = "Word-Wrap";
    o->SetText(CString(text) + kTrackFieldEnd);
    for (int i = 0; i < o->GetCharCount(); ++i) {
        o->charFonts.Add(i == 0 ? ViewObject::NewDefaultFontRecord() : nullptr);
        o->charColors.Add(i == 0 ? new COLORREF(RGB(200, 30, 40)) : nullptr);
        o->charUnderlines.Add(0);
    }
    design.AddObject(o);
}

// The texts lie on the side they were put on (the side's name is their side name).
void RemoveTextsOf(KorvanelleDocument& design, const char* sideName) {
    for (;;) {
        ViewObject* text = design.FindObjectIf(
            [&](ViewObject* o) { return o->IsText() && o->sideName == CString(sideName); });
        if (text == nullptr) return;
        design.RemoveObject(text, true);
    }
}

struct Library {
    KorvanelleDocument templates;
    Library() { templates.CreateBuiltInTemplates(); }
    ~Library() { templates.DeleteContents(true); }
};

}  // namespace

const std::vector<SampleSide>& SampleSides() {
    static const std::vector<SampleSide> sides = {
        {"Front Cover", "Front Cover", "Harbour Lights - Live"},
        {"Back Cover", "Back Cover", "Twelve songs from the quay"},
        {"Disc Label", "Disc 1", "Harbour Lights"},
    };
    return sides;
}

bool PrepareRendering() {
    InitPaperTable();
    return kvtest::GdiplusReady();
}

bool WriteSampleDesign(const std::string& path) {
    Library library;
    LabelTemplate* disc =
        library.templates.FindTemplate(library.templates.FindTemplateNameOfKind(CString(), kCaseDisc));
    LabelTemplate* cover =
        library.templates.FindTemplate(library.templates.FindTemplateNameOfKind(CString(), kCaseJewel));
    if (disc == nullptr || cover == nullptr) return false;
    KorvanelleDocument design;
    design.CreateFromTemplates(disc, cover);
    design.SetDiscLayout(kLayout1DiscTop);
    for (const SampleSide& side : SampleSides()) {
        ViewObject* object = design.FindObject(side.object);
        if (object == nullptr) return false;
        AddText(design, object, side.text);
    }
    bool written = false;
    CFile file;
    if (file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)) {
        try {
            design.Save(&file);
            file.Close();
            written = true;
        } catch (...) {
            file.Abort();
        }
    }
    design.DeleteContents(true);
    return written;
}

std::unique_ptr<Bitmap> RenderSampleSide(const std::string& path, const SampleSide& side, int dpi,
                                         bool withoutText, bool foldLines) {
    KorvanelleDocument design;
    if (!design.Load(path.c_str())) return nullptr;
    if (withoutText) RemoveTextsOf(design, side.object);
    // Every side printed, its border drawn, no overlap.
    PrintOptions options;
    options.frontBorder = options.backBorder = options.discBorder = 1;
    options.frontFold = options.backFold = foldLines ? 1 : 0;
    options.frontMargin = options.backMargin = options.discMargin = 0;
    ViewObject* object = design.FindObject(side.object);
    std::unique_ptr<Bitmap> picture(
        object ? RenderDocumentToBitmap(&design, object, kPurposeExport, dpi, &options) : nullptr);
    design.DeleteContents(true);
    return picture;
}

std::unique_ptr<Bitmap> DecodePicture(const std::string& path) {
    std::wstring wide(path.begin(), path.end());
    std::unique_ptr<Bitmap> picture(Bitmap::FromFile(wide.c_str()));
    if (picture && picture->GetLastStatus() != Ok) picture.reset();
    return picture;
}

PictureDifference ComparePictures(Bitmap& a, Bitmap& b, int block) {
    PictureDifference d;
    const int w = static_cast<int>(a.GetWidth()), h = static_cast<int>(a.GetHeight());
    d.sameSize = w == static_cast<int>(b.GetWidth()) && h == static_cast<int>(b.GetHeight());
    if (!d.sameSize || w == 0 || h == 0) return d;
    BitmapData da, db;
    Rect all(0, 0, w, h);
    if (a.LockBits(&all, ImageLockModeRead, PixelFormat32bppRGB, &da) != Ok) return d;
    if (b.LockBits(&all, ImageLockModeRead, PixelFormat32bppRGB, &db) != Ok) {
        a.UnlockBits(&da);
        return d;
    }
    double total = 0;
    for (int by = 0; by < h; by += block) {
        for (int bx = 0; bx < w; bx += block) {
            long long sumA[3] = {0, 0, 0}, sumB[3] = {0, 0, 0};
            const int ye = std::min(h, by + block), xe = std::min(w, bx + block);
            for (int y = by; y < ye; ++y) {
                const unsigned* ra = reinterpret_cast<const unsigned*>(static_cast<BYTE*>(da.Scan0) + y * da.Stride);
                const unsigned* rb = reinterpret_cast<const unsigned*>(static_cast<BYTE*>(db.Scan0) + y * db.Stride);
                for (int x = bx; x < xe; ++x) {
                    for (int c = 0; c < 3; ++c) {
                        const int ca = (ra[x] >> (8 * c)) & 0xFF, cb = (rb[x] >> (8 * c)) & 0xFF;
                        sumA[c] += ca;
                        sumB[c] += cb;
                        total += std::abs(ca - cb);
                    }
                }
            }
            const long long n = static_cast<long long>(ye - by) * (xe - bx);
            int worst = 0;
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, static_cast<int>(std::llabs(sumA[c] - sumB[c]) / n));
            d.worstBlock = std::max(d.worstBlock, worst);
            if (worst > 32) ++d.differentBlocks;
        }
    }
    a.UnlockBits(&da);
    b.UnlockBits(&db);
    d.meanAbs = total / (3.0 * w * h);
    return d;
}

int TemplateObjectTop(const std::string& path, const std::string& templateName, const std::string& objectName) {
    KorvanelleDocument library;
    int top = -1;
    if (library.OpenDocumentFile(path.c_str())) {
        if (LabelTemplate* found = library.FindTemplate(templateName.c_str())) {
            for (int i = 0; i < found->GetObjectCount(); ++i) {
                ViewObject* o = found->GetObject(i);
                if (o != nullptr && o->name == CString(objectName.c_str())) top = o->top;
            }
        }
    }
    library.DeleteContents(true);
    return top;
}

}  // namespace e2e
