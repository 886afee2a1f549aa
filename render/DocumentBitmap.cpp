#include "render/DocumentBitmap.h"

#include "framework/graphics/Frame3d.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <vector>

#include "model/Geometry.h"
#include "model/KorvanelleDocument.h"
#include "model/PageSizes.h"
#include "render/RenderThreads.h"

using namespace Gdiplus;

namespace {

Bitmap* NewRgbBitmap(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    Bitmap* bitmap = new Bitmap(width, height, PixelFormat24bppRGB);
    if (bitmap && bitmap->GetLastStatus() != Ok) {
        delete bitmap;
        bitmap = nullptr;
    }
    return bitmap;
}

// Fills a new 24-bit bitmap with one colour through its locked bits: the same pixels as a
// GDI+ clear, many times faster on large bitmaps.
bool ClearRgbBitmap(Bitmap* bitmap, ARGB color) {
    const INT w = static_cast<INT>(bitmap->GetWidth()), h = static_cast<INT>(bitmap->GetHeight());
    Rect all(0, 0, w, h);
    BitmapData data;
    if (bitmap->LockBits(&all, ImageLockModeWrite, PixelFormat24bppRGB, &data) != Ok) return false;
    unsigned char* first = static_cast<unsigned char*>(data.Scan0);
    const unsigned char b = static_cast<unsigned char>(color), g = static_cast<unsigned char>(color >> 8),
                        r = static_cast<unsigned char>(color >> 16);
    for (INT x = 0; x < w; ++x) first[x * 3] = b, first[x * 3 + 1] = g, first[x * 3 + 2] = r;
    // A fresh bitmap's memory is first touched here, page by page, so the rows are shared out
    // over the threads (at 600 DPI a side is some 50 MB).
    ParallelRuns(h, GetRenderThreadCount(), 64, [&](int begin, int end) {
        for (INT y = begin > 0 ? begin : 1; y < end; ++y) {
            unsigned char* row = first + static_cast<ptrdiff_t>(y) * data.Stride;
            if (b == g && g == r)
                std::memset(row, b, static_cast<size_t>(w) * 3);
            else
                std::memcpy(row, first, static_cast<size_t>(w) * 3);
        }
    });
    bitmap->UnlockBits(&data);
    return true;
}

}  // namespace

double PictureScale(double shownScale) {
    return std::min(0.15, shownScale * kPictureDetail);
}

bool HasPaperSize(ViewObject* object, const PrintOptions* options) {
    if (!object) return false;
    const int margin = options && object->IsSide() ? options->GetMargin(object->type) : 0;
    const RectF area = object->GetRectF(false, margin);
    return FitsLargestPaper(area.Width, area.Height, kMaxBleed);
}

Bitmap* RenderDocumentToBitmap(KorvanelleDocument* document, ViewObject* object, int purpose, int dpi,
                               const PrintOptions* options, CObjectPtrArray* undrawn) {
    Bitmap* result = nullptr;
    if (undrawn) undrawn->RemoveAll();
    // Quiet: every caller tells the user, once, when no picture comes back (low memory, a picture
    // that could not be drawn), and LightScribe tries three resolutions in turn.
    GuardOperationQuietly(760, [&] {
        if (!document || !object || !(object->IsSide() || object->IsPage()) || dpi <= 0) return;
        const bool side = object->IsSide();
        RectF area = object->GetRectF(false);
        float ox = 0, oy = 0;
        if (side) {
            const float m = options ? static_cast<float>(options->GetMargin(object->type)) : 0.0f;
            area = RectF(area.X - m, area.Y - m, area.Width + 2 * m, area.Height + 2 * m);
            ox = m - static_cast<float>(object->left);
            oy = m - static_cast<float>(object->top);
        }
        // The picture's size is the area's size at the resolution, truncated, whatever the area's
        // place on its page: the size Save as Image announces. (Taken as the difference of the
        // scaled edges, a disc 4.625 inch across at 600 DPI came out 2775 wide but 2774 high.)
        const int width = static_cast<int>(static_cast<double>(area.Width) * dpi / 1000.0);
        const int height = static_cast<int>(static_cast<double>(area.Height) * dpi / 1000.0);
        if (side && purpose == kPurposeLightScribe) {
            // The disc-printer square, grown by the same bleed, centred on the disc.
            const float m = options ? static_cast<float>(options->GetMargin(object->type)) : 0.0f;
            RectF square(g_lightScribeGeometry[0] - m, g_lightScribeGeometry[1] - m,
                         g_lightScribeGeometry[2] + 2 * m, g_lightScribeGeometry[3] + 2 * m);
            ox += (square.Width - area.Width) / 2;
            oy += (square.Height - area.Height) / 2;
            area = square;
        }
        if (!side) ox = oy = 0;
        if (!HasPaperSize(object, options)) return;
        Bitmap* bitmap = NewRgbBitmap(width, height);
        if (!bitmap) return;
        const double sx = width / static_cast<double>(area.Width),
                     sy = height / static_cast<double>(area.Height);
        const bool cleared = ClearRgbBitmap(bitmap, 0xFFFFFFFF);
        bool whole = true;
        {
            Graphics g(bitmap);
            g.SetSmoothingMode(SmoothingModeAntiAlias);
            g.SetPixelOffsetMode(PixelOffsetModeHighQuality);
            KorvanelleDocument temp;
            temp.CopyFrom(document, false, false);
            temp.SetCurrentSideIndex(object->side);
            {
                RenderContext rc;
                rc.onRgbBitmap = true;
                if (cleared) {
                    rc.blankArea = Rect(0, 0, width, height);
                    rc.blankColor = 0xFFFFFFFF;
                }
                if (side) {
                    if (!cleared) g.Clear(Color(0xFFFFFFFF));
                    rc.Init(&g, sx, sy, ox, oy, purpose, &temp, object, options);
                    DrawSideObjects(rc);
                } else {
                    rc.Setup(&g, sx, sy, purpose, &temp, options);
                    DrawSide(rc);
                }
                whole = rc.undrawnPictures.GetSize() == 0;
                if (undrawn) undrawn->Append(rc.undrawnPictures);
            }
            temp.DeleteContents(false);
        }
        if (!whole) {
            delete bitmap;
            return;
        }
        bitmap->SetResolution(static_cast<REAL>(dpi), static_cast<REAL>(dpi));
        result = bitmap;
    });
    return result;
}

CString UndrawnPictureNames(const CObjectPtrArray& pictures) {
    CString names;
    for (INT_PTR i = 0; i < pictures.GetSize(); ++i) {
        bool named = false;
        for (INT_PTR j = 0; j < i && !named; ++j) named = pictures[j] == pictures[i];
        if (named || !pictures[i]) continue;
        if (!names.IsEmpty()) names += "\r\n";
        names += pictures[i]->PictureName();
    }
    return names;
}

Bitmap* RenderSideBitmap(KorvanelleDocument* document, ViewObject* object, const PrintOptions* options,
                         int purpose, int width, int height) {
    Bitmap* sheet = nullptr;
    Bitmap* picture = nullptr;
    GuardOperation(761, [&] {
        if (!document || !object || width <= 0 || height <= 0) return;
        PrintOptions record(options);
        const bool lightScribe = purpose == kPurposeLightScribePreview;
        const float margin = lightScribe ? 0.0f : static_cast<float>(record.GetMargin(object->type));

        // The layout: the object (with its bleed), or the disc-printer square, fitted into the box.
        RectF design = lightScribe ? RectF(g_lightScribeGeometry[0], g_lightScribeGeometry[1],
                                           g_lightScribeGeometry[2], g_lightScribeGeometry[3])
                                   : object->GetRectF(false);
        if (!lightScribe) design.Inflate(margin, margin);
        const int b = lightScribe ? 2 : 0;
        const int dw = static_cast<int>(design.Width), dh = static_cast<int>(design.Height);
        if (dw <= 0 || dh <= 0) return;
        SizeF fitted = FitSizeF(dw, dh, width - 2 * b, height - 2 * b);
        double sx = fitted.Width / design.Width, sy = fitted.Height / design.Height;
        RectF page = ScaleRectF(design, sx, sy, 0, 0, 0, 0);
        const int pageW = static_cast<int>(page.Width), pageH = static_cast<int>(page.Height);
        if (pageW <= 0 || pageH <= 0) return;
        const int drawW = pageW + 2 * b, drawH = pageH + 2 * b;
        sx = pageW / static_cast<double>(design.Width);
        sy = pageH / static_cast<double>(design.Height);
        const int pageX = static_cast<int>(0.5 * (drawW - pageW)),
                  pageY = static_cast<int>(0.5 * (drawH - pageH));
        const float originX = static_cast<float>(pageX / sx), originY = static_cast<float>(pageY / sy);

        sheet = NewRgbBitmap(drawW, drawH);
        if (!sheet) return;
        Graphics g(sheet);
        g.SetSmoothingMode(SmoothingModeNone);
        g.SetPixelOffsetMode(PixelOffsetModeNone);
        g.Clear(Color(0xFFFFFFFF));

        KorvanelleDocument temp;
        temp.CopyFrom(document, false, false);
        temp.currentSideName = object->name;
        temp.cachedSide = nullptr;
        temp.cachedPage = nullptr;

        // The design without borders or fold lines, drawn at a few times the size it is shown and
        // scaled down into the sheet for smooth edges. Its cost follows the picture shown, never
        // the design's size: a stock file may name sides many feet across.
        const double px = PictureScale(sx), py = PictureScale(sy);
        RectF pictureRect = ScaleRectF(design, px, py, 0, 0, 0, 0);
        picture = NewRgbBitmap(static_cast<int>(pictureRect.Width), static_cast<int>(pictureRect.Height));
        if (picture) {
            Graphics pg(picture);
            pg.Clear(Color(0xFFFFFFFF));
            PrintOptions plain(&record);
            plain.frontBorder = plain.backBorder = plain.discBorder = plain.frontFold = plain.backFold = 0;
            const float e = lightScribe
                                ? (g_lightScribeGeometry[2] - static_cast<float>(object->width)) * 0.5f
                                : (purpose == kPurposeExportPreview ? margin : 0.0f);
            {
                RenderContext rc;
                rc.Init(&pg, px, py, -static_cast<float>(object->left) + e,
                        -static_cast<float>(object->top) + e, purpose, &temp, object, &plain);
                DrawSideObjects(rc);
            }
            g.SetPixelOffsetMode(PixelOffsetModeHighQuality);
            g.SetSmoothingMode(SmoothingModeAntiAlias);
            g.SetInterpolationMode(InterpolationModeHighQualityBicubic);
            g.DrawImage(picture, RectF(static_cast<REAL>(pageX), static_cast<REAL>(pageY),
                                       static_cast<REAL>(pageW), static_cast<REAL>(pageH)));
            g.SetPixelOffsetMode(PixelOffsetModeNone);
            g.SetSmoothingMode(SmoothingModeNone);
        }
        // The disc-printer square sits in a sunken frame.
        if (lightScribe) Draw3dFrame(&g, 0, 0, drawW, drawH, false, false);
        // The outline over the picture.
        {
            float ox = originX, oy = originY;
            if (!lightScribe) {
                ox -= static_cast<float>(object->left) - margin;
                oy -= static_cast<float>(object->top) - margin;
            }
            RenderContext rc;
            rc.Init(&g, sx, sy, ox, oy, purpose, &temp, object, &record);
            rc.DrawSideOutline();
        }
        temp.DeleteContents(false);
    });
    delete picture;
    return sheet;
}

namespace {

// Where each part of a design goes in its thumbnail strip: the back cover, the front cover and
// the discs side by side, each fitted to the strip's height.
struct StripPart {
    ViewObject* object;
    int left;
    Size fitted;
};

int LayOutStrip(KorvanelleDocument* document, std::vector<StripPart>* parts) {
    std::vector<ViewObject*> objects;
    objects.push_back(document->GetBackCover());
    objects.push_back(document->GetFrontCover());
    objects.push_back(document->GetDisc(1));
    const bool twoDiscs = document->IsTwoDiscLayout();
    if (twoDiscs) objects.push_back(document->GetDisc(2));
    int x = 0;
    for (ViewObject* part : objects) {
        if (!part) continue;
        CRect bounds = part->GetDeviceBounds(false);
        Size fitted = FitSize(bounds.Width(), bounds.Height(), 10000, kThumbnailHeight, false);
        if (fitted.Width <= 0 || fitted.Height <= 0) continue;
        if (parts) parts->push_back({part, x, fitted});
        x += fitted.Width + 10;
    }
    return twoDiscs ? x - 8 : x;
}

}  // namespace

SIZE DocumentThumbnailSize(KorvanelleDocument* document) {
    SIZE size = {0, 0};
    GuardOperation(768, [&] {
        if (!document) return;
        const int width = LayOutStrip(document, nullptr);
        if (width > 0) size = SIZE{width, kThumbnailHeight};
    });
    return size;
}

bool MakeDocumentThumbnail(KorvanelleDocument* document, const std::atomic<bool>* stop) {
    bool stopped = false;
    auto stopping = [&] { return stopped = stopped || (stop && stop->load()); };
    GuardOperation(762, [&] {
        if (!document) return;
        document->ClearImagePool(true);
        KorvanelleDocument temp;
        temp.CopyFrom(document, true, true);
        temp.SetSampleAlbumData(false);
        temp.RefreshLinkedText();
        PrintOptions options;
        options.frontBorder = options.backBorder = options.discBorder = options.frontFold = options.backFold =
            1;

        std::vector<StripPart> parts;
        const int stripWidth = LayOutStrip(&temp, &parts);
        std::vector<Bitmap*> pictures;
        std::vector<int> lefts;
        for (const StripPart& part : parts) {
            if (stopping()) break;
            pictures.push_back(RenderSideBitmap(&temp, part.object, &options, kPurposeThumbnail,
                                                part.fitted.Width + 10, part.fitted.Height));
            lefts.push_back(part.left);
        }
        Bitmap* strip = stopping() ? nullptr : NewRgbBitmap(stripWidth, kThumbnailHeight);
        if (strip) {
            {
                Graphics g(strip);
                g.SetSmoothingMode(SmoothingModeAntiAlias);
                g.SetPixelOffsetMode(PixelOffsetModeHighQuality);
                g.SetInterpolationMode(InterpolationModeHighQualityBicubic);
                g.Clear(Color(0xFFFFFFFF));
                for (size_t i = 0; i < pictures.size(); ++i) {
                    if (!pictures[i]) continue;
                    g.DrawImage(pictures[i], lefts[i], 0, static_cast<INT>(pictures[i]->GetWidth()),
                                static_cast<INT>(pictures[i]->GetHeight()));
                }
            }
            IStreamObject* stream = new IStreamObject();
            if (stream->EncodeImage(strip, false) && !stream->IsEmpty())
                document->AddToImagePool(stream);
            else
                delete stream;
            delete strip;
        }
        for (Bitmap* p : pictures) delete p;
        temp.DetachImages();
        temp.DeleteContents(true);
    });
    return !stopped;
}

void CollectSideObjects(CObjectPtrArray& out, KorvanelleDocument* document) {
    RenderContext rc;
    rc.document = document;
    rc.purpose = kPurposeScreen;
    rc.CollectObjects(out);
}

void PrepareSideHitTest(CObjectPtrArray& inOut, KorvanelleDocument* document) {
    GuardOperation(763, [&] {
        RenderContext rc;
        rc.document = document;
        rc.purpose = kPurposeScreen;
        CObjectPtrArray sides;
        rc.CollectObjects(sides);
        for (INT_PTR i = 0; i < sides.GetSize(); ++i) inOut.Add(sides[i]);
        for (INT_PTR i = 0; i < sides.GetSize(); ++i) {
            rc.currentObject = sides[i];
            rc.CollectChildren();
        }
        for (INT_PTR i = 0; i < rc.children.GetSize(); ++i) inOut.Add(rc.children[i]);
    });
}
