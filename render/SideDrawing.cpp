// One side of a design drawn in the fixed order of its layers: the side's background, then each
// side object (a disc or a cover) with its backgrounds, images, texts, grid, outline and guides,
// and on the screen the overlays.
#include <cmath>
#include <cstdlib>

#include "model/Geometry.h"
#include "model/KorvanelleDocument.h"
#include "model/PageSizes.h"
#include "render/ColorProcessing.h"
#include "render/ImageResample.h"
#include "render/RenderContext.h"
#include "render/RenderMath.h"
#include "render/TextLayer.h"

using namespace Gdiplus;

namespace {

const float kMinExtent = 1.1920929e-07f;

void SetQuality(Graphics* g, bool preview) {
    if (!g) return;
    if (preview) {
        g->SetSmoothingMode(SmoothingModeNone);
        g->SetPixelOffsetMode(PixelOffsetModeNone);
    } else {
        g->SetSmoothingMode(SmoothingModeAntiAlias);
        g->SetPixelOffsetMode(PixelOffsetModeHighQuality);
    }
}

bool IsLayoutPreview(int purpose) {
    return purpose == kPurposeLabelStockPreview || purpose == kPurposeAlignmentPreview;
}

// A picture on screen up to this many pixels keeps a copy of its whole: it moves and scrolls
// without a new copy.
const long long kWholeScreenCopyPixels = 2 * 1000 * 1000;

// Where the screen copy of a picture drawn over the device rectangle `d` lies: the whole picture,
// or, when it is far larger than what the side can show of it, only that part - a picture fifty
// inches wide at a close zoom would otherwise take gigabytes and seconds to copy and colour.
ScreenCopyPlace ScreenCopyPlaceFor(const RenderContext& rc, const Rect& d) {
    const ScreenCopyPlace whole = ScreenCopyPlace::Whole(d.Width, d.Height);
    const long long wholePixels = static_cast<long long>(d.Width) * d.Height;
    if (!rc.currentObject || wholePixels <= kWholeScreenCopyPixels) return whole;
    const RectF side =
        rc.MapRectF(ComputeSideShape(rc.currentObject, rc.purpose, g_lightScribeGeometry).outer);
    const int left = static_cast<int>(std::floor(side.X)), top = static_cast<int>(std::floor(side.Y));
    const Rect shown(left, top, static_cast<int>(std::ceil(side.GetRight())) - left,
                     static_cast<int>(std::ceil(side.GetBottom())) - top);
    Rect part;
    if (!Rect::Intersect(part, d, shown)) return ScreenCopyPlace();
    if (wholePixels <= 2 * static_cast<long long>(part.Width) * part.Height) return whole;
    ScreenCopyPlace place = whole;
    place.part = Rect(part.X - d.X, part.Y - d.Y, part.Width, part.Height);
    return place;
}

}  // namespace

void DrawSide(RenderContext& rc) {
    GuardOperation(740, [&] {
        KorvanelleDocument* doc = rc.document;
        if (!doc) return;
        rc.FillBackground();
        CObjectPtrArray sides;
        rc.CollectObjects(sides);
        if (sides.GetSize() == 0) {
            ViewObject* current = doc->GetCurrentSide();
            if (current) sides.Add(current);
        }
        for (INT_PTR i = 0; i < sides.GetSize(); ++i) {
            ViewObject* side = sides[i];
            GuardOperation(741, [&] {
                rc.SetCurrentObject(side);
                DrawSideObjects(rc);
                if (side->IsDisc() && doc->IsDuplicateLayout() && !IsLayoutPreview(rc.purpose)) {
                    PointF offset = doc->GetOtherDiscOffset(side);
                    rc.TranslateForDuplicate(offset.X, offset.Y);
                    DrawSideObjects(rc);
                    rc.AddMarqueePath();
                    rc.TranslateForDuplicate(-offset.X, -offset.Y);
                }
            });
        }
        if (rc.purpose == kPurposeScreen) {
            rc.DrawPrintableArea();
            rc.DrawPageFrame();
            rc.AddMarqueePath();
            rc.AddSelectionHandles();
            rc.DrawOutlinePaths();
        }
        // Whatever was drawn, the side is no longer known to be blank for a later drawing.
        rc.blankArea = Rect();
    });
}

void DrawSideObjects(RenderContext& rc) {
    GuardOperation(742, [&] {
        rc.children.RemoveAll();
        if (!rc.currentObject) return;
        rc.children.Add(rc.currentObject);
        rc.CollectChildren();
        SetQuality(rc.graphics, IsPreviewQuality(rc.purpose));
        rc.ApplyClip(true);
        const int bleed = rc.GetKindSetting();
        if (rc.graphics && bleed != 0 && (rc.purpose == kPurposeExport || rc.purpose == kPurposePrint)) {
            // On paper and in exported images the backgrounds - the side's colour and its
            // background picture, which Set as Background sizes to the side grown by the bleed -
            // run past the cut line by the bleed, so the clip for them is the side's shape grown
            // by it. Everything else stops at the cut line.
            Region* clip = rc.BuildBleedClip(bleed);
            if (clip) {
                rc.graphics->SetClip(clip, CombineModeReplace);
                if (rc.hasUpdateRegion) rc.graphics->SetClip(rc.updateRegion, CombineModeIntersect);
                delete clip;
            }
            rc.DrawBackgrounds();
            rc.DrawImages(RenderContext::ImageLayer::Backgrounds);
            rc.ApplyClip(true);
            rc.DrawImages(RenderContext::ImageLayer::Others);
        } else {
            rc.DrawBackgrounds();
            rc.DrawImages();
        }
        DrawTextLayer(rc);
        rc.DrawGridDots();
        rc.blankArea = Rect();
        rc.ApplyClip(false);
        rc.DrawSideOutline();
        rc.AddGuidePaths();
    });
}

void RenderContext::FillBackground() {
    GuardOperation(743, [&] {
        if (!graphics) return;
        graphics->ResetClip();
        graphics->ResetTransform();
        Rect side, wide;
        if (!GetSideRect(&side, &wide)) return;
        if (hasUpdateRegion) graphics->SetClip(updateRegion, CombineModeIntersect);
        ClipToVisibleArea();
        if (purpose == kPurposeScreen) {
            const int sx = side.X, sy = side.Y, sw = side.Width, sh = side.Height;
            const int wx = wide.X, wy = wide.Y, ww = wide.Width, wh = wide.Height;
            const CanvasBackdrop plain;
            const CanvasBackdrop& backdrop = canvasBackdrop ? *canvasBackdrop : plain;
            backdrop.Fill(graphics, 0, 0, sx, wh);
            backdrop.Fill(graphics, sx + sw, 0, wx + ww, wh);
            backdrop.Fill(graphics, sx, 0, sx + sw, sy);
            backdrop.Fill(graphics, sx, sy + sh, sx + sw, wy + wh);
        }
        const ARGB fill = purpose == kPurposePrintPreview ? 0xFF808080 : 0xFFFFFFFF;
        const RectF area(static_cast<REAL>(side.X), static_cast<REAL>(side.Y), static_cast<REAL>(side.Width),
                         static_cast<REAL>(side.Height));
        if (IsBlankFill(area, fill)) return;
        SolidBrush brush{Color(fill)};
        graphics->FillRectangle(&brush, side);
        // What the clip let through of the side now holds the fill alone.
        blankArea = side;
        blankColor = fill;
    });
}

bool RenderContext::IsBlankFill(const RectF& r, ARGB color) const {
    if (!graphics || color != blankColor || blankArea.Width <= 0 || blankArea.Height <= 0) return false;
    Matrix world;
    if (graphics->GetTransform(&world) != Ok || !world.IsIdentity()) return false;
    RectF clip;
    if (graphics->GetClipBounds(&clip) != Ok) return false;
    RectF part;
    if (!RectF::Intersect(part, r, clip)) return true;
    return part.X >= blankArea.X && part.Y >= blankArea.Y && part.GetRight() <= blankArea.GetRight() &&
           part.GetBottom() <= blankArea.GetBottom();
}

bool RenderContext::IsHiddenByImage(const RectF& r) {
    if (!graphics || purpose == kPurposeScreen || IsPreviewQuality(purpose)) return false;
    // With a bleed the backgrounds reach past the side's clip, where pictures do not.
    const bool bled = GetKindSetting() != 0 && (purpose == kPurposeExport || purpose == kPurposePrint);
    if (bled || hasUpdateRegion) return false;
    Matrix world;
    if (graphics->GetTransform(&world) != Ok || !world.IsIdentity()) return false;
    RectF clip, part;
    if (graphics->GetClipBounds(&clip) != Ok) return false;
    if (!RectF::Intersect(part, r, clip)) return true;
    for (INT_PTR i = 0; i < children.GetSize(); ++i) {
        ViewObject* o = children[i];
        // A picture is not decoded to learn this: one that is not decoded yet does not count.
        if (!o || !o->IsImage() || !o->decodedImage) continue;
        Bitmap* image = o->decodedImage;
        const PixelFormat format = image->GetPixelFormat();
        // Only pictures our own filter puts 1:1 cover every pixel of their rectangle.
        if (IsAlphaPixelFormat(format) || IsIndexedPixelFormat(format)) continue;
        if (!(image->GetWidth() >= 75 && image->GetHeight() > 100)) continue;
        const Rect d = MapRect(o->GetRectF(false));
        if (part.X >= d.X && part.Y >= d.Y && part.GetRight() <= d.GetRight() &&
            part.GetBottom() <= d.GetBottom())
            return true;
    }
    return false;
}

void RenderContext::CollectObjects(CObjectPtrArray& out) {
    GuardOperation(744, [&] {
        out.RemoveAll();
        if (!document) return;
        const int sideIndex = document->GetCurrentSideIndex();
        const bool oneDisc = document->IsSingleDiscLayout();
        const bool twoDiscDuplicate = document->IsTwoDiscLayout() && document->IsDuplicateLayout();
        for (INT_PTR t = 0; t < document->templates.GetSize(); ++t) {
            LabelTemplate* tmpl = document->templates[t];
            if (!tmpl) continue;
            for (int i = 0; i < tmpl->GetObjectCount(); ++i) {
                ViewObject* o = tmpl->GetObject(i);
                if (!o || !o->IsSide() || o->side != sideIndex) continue;
                if (!IsLayoutPreview(purpose)) {
                    if (oneDisc && o->IsDisc(2)) continue;
                    if (twoDiscDuplicate && o->IsDisc(1)) continue;
                    if (purpose == kPurposeScreen && o->IsDisc() && o->HasSavedPosition() &&
                        o->name != document->currentSideName)
                        continue;
                    if (!printOptions.printFront && o->IsFrontCover()) continue;
                    if (!printOptions.printBack && o->IsBackCover()) continue;
                    if (!printOptions.printDisc1 && o->IsDisc(1)) continue;
                    if (!printOptions.printDisc2 && o->IsDisc(2)) continue;
                } else if (o->IsDisc(2) && o->HasSavedPosition()) {
                    continue;
                }
                if (!MeetsUpdateRegion(o)) continue;
                out.Add(o);
            }
        }
    });
}

void RenderContext::CollectChildren() {
    GuardOperation(745, [&] {
        if (!document || !currentObject) return;
        LabelTemplate list;
        document->CollectObjects(list, false);
        const bool oneDisc = document->IsSingleDiscLayout();
        for (int i = 0; i < list.GetObjectCount(); ++i) {
            ViewObject* o = list.GetObject(i);
            if (!o || o->IsSide() || o->sideName != currentObject->name) continue;
            if (!currentObject->IsFoldedFrontCover() && o->sideName == "Front Cover" &&
                o->left + o->width <= currentObject->left)
                continue;
            if ((o->IsText() || o->IsTrackList()) && oneDisc && o->name.GetLength() > 1 &&
                o->name.Mid(1).Find(" - Disc 2") >= 0)
                continue;
            if (!MeetsUpdateRegion(o)) continue;
            children.Add(o);
        }
        list.objects.RemoveAll();
    });
}

void RenderContext::DrawBackgrounds() {
    GuardOperation(746, [&] {
        if (!graphics) return;
        const int margin = GetKindSetting();
        for (INT_PTR i = 0; i < children.GetSize(); ++i) {
            ViewObject* o = children[i];
            if (!o || !(o->IsSide() || o->IsBoundary())) continue;
            RectF r = o->GetRectF(false);
            if (!(r.Width > kMinExtent) || !(r.Height > kMinExtent)) continue;
            ARGB color = 0xFFFFFFFF;
            if (o->charColors.GetSize() > 0 && o->charColors[0])
                color = 0xFF000000 | ColorRefToRgb(*o->charColors[0]);
            const RectF bled = MapRectF(ComputeBleedRect(o, margin));
            // A white side on a white page (or export bitmap) needs no second coat, and a fill
            // that an opaque picture will cover whole is never seen.
            if (IsBlankFill(bled, color) || IsHiddenByImage(bled)) continue;
            SolidBrush brush{Color(color)};
            graphics->FillRectangle(&brush, bled);
            blankArea = Rect();
        }
    });
}

namespace {

// A picture decoded for one drawing alone, released when the drawing of it ends.
class DecodedForDrawing {
public:
    explicit DecodedForDrawing(ViewObject* object) : m_object(object) {}
    ~DecodedForDrawing() {
        if (m_object) m_object->SetDecodedImage(nullptr);
    }
    DecodedForDrawing(const DecodedForDrawing&) = delete;
    DecodedForDrawing& operator=(const DecodedForDrawing&) = delete;

private:
    ViewObject* m_object;
};

// Decodes a picture for a drawing that is not the screen's; false when it cannot be had. When
// memory runs short, the other decoded pictures of the design (the screen's, which draws from
// its copies and decodes them again when it needs them) are let go and the decode is tried once
// more.
bool DecodeForDrawing(KorvanelleDocument* document, ViewObject* o) {
    bool tooLarge = false;
    if (o->EnsureImageLoaded(&tooLarge)) return true;
    if (!tooLarge || !document) return false;
    bool freed = false;
    document->ForEachObject([&](ViewObject* other) {
        if (other == o || !other->IsImage() || !other->decodedImage || other->SharesImageData()) return;
        other->SetDecodedImage(nullptr);
        freed = true;
    });
    return freed && o->EnsureImageLoaded();
}

}  // namespace

void CheckSidePictures(KorvanelleDocument* document, int purpose, const PrintOptions* options,
                       CObjectPtrArray& undrawn) {
    GuardOperation(749, [&] {
        if (!document) return;
        RenderContext rc;
        rc.Setup(nullptr, 1.0, 1.0, purpose, document, options);
        CObjectPtrArray sides;
        rc.CollectObjects(sides);
        if (sides.GetSize() == 0 && document->GetCurrentSide()) sides.Add(document->GetCurrentSide());
        for (INT_PTR i = 0; i < sides.GetSize(); ++i) {
            rc.currentObject = sides[i];
            rc.children.RemoveAll();
            rc.CollectChildren();
            for (INT_PTR c = 0; c < rc.children.GetSize(); ++c) {
                ViewObject* o = rc.children[c];
                if (!o->IsImage() || o->decodedImage || o->image.IsEmpty()) continue;
                if (!DecodeForDrawing(document, o)) {
                    undrawn.Add(o);
                    continue;
                }
                o->SetDecodedImage(nullptr);
            }
        }
    });
}

void RenderContext::DrawImages(ImageLayer layer) {
    GuardOperation(747, [&] {
        if (!graphics) return;
        for (INT_PTR i = 0; i < children.GetSize(); ++i) {
            ViewObject* o = children[i];
            if (!o || !o->IsImage()) continue;
            if (layer != ImageLayer::All && (o->bBackground != 0) != (layer == ImageLayer::Backgrounds))
                continue;
            // The screen does not wait for a picture still being decoded elsewhere: it shows
            // once it arrives.
            if (purpose == kPurposeScreen && o->IsDecodePending()) continue;
            if (o->image.IsEmpty() && !o->decodedImage) continue;
            Rect d = MapRect(o->GetRectF(false));
            if (d.Width <= 0 || d.Height <= 0) continue;
            const RectF dest(static_cast<REAL>(d.X), static_cast<REAL>(d.Y), static_cast<REAL>(d.Width),
                             static_cast<REAL>(d.Height));
            const bool change = o->hue != 0 || o->saturation != 0 || o->lightness != 0;
            // False when the picture could not be drawn, or only without its colour change.
            auto drawDecoded = [&] {
                Bitmap* image = o->decodedImage;
                if (!image) return false;
                if (change)
                    return DrawImageWithHsl(graphics, image, dest, o->hue, o->saturation, o->lightness);
                return graphics->DrawImage(image, dest) == Ok;
            };
            if (purpose == kPurposeScreen) {
                // The cache is shared with the colour worker; while it works, the image is drawn
                // from its decoded pixels.
                HslLock held(*o, std::try_to_lock);
                if (!held) {
                    drawDecoded();
                    continue;
                }
                const ScreenCopyPlace wanted = ScreenCopyPlaceFor(*this, d);
                if (wanted.part.Width <= 0 || wanted.part.Height <= 0) continue;  // nothing of it shows
                Bitmap* cache = o->adjustedImage;
                const ScreenCopyPlace& place = o->adjustedPlace;
                if (cache && (place.wholeWidth != d.Width || place.wholeHeight != d.Height ||
                              !place.part.Contains(wanted.part) ||
                              static_cast<INT>(cache->GetWidth()) != place.part.Width ||
                              static_cast<INT>(cache->GetHeight()) != place.part.Height)) {
                    o->SetAdjustedImage(nullptr, held);
                    o->SetWorkingImage(nullptr, held);
                    cache = nullptr;
                }
                if (!cache) {
                    // A picture that is slow to decode comes from elsewhere, scaled for the
                    // screen there too when the copy is of its whole.
                    if (!o->decodedImage && decodeElsewhere &&
                        decodeElsewhere(o, wanted.IsWhole() ? d.Width : 0, wanted.IsWhole() ? d.Height : 0))
                        continue;
                    if (!o->EnsureImageLoaded()) continue;
                    cache = CreateScaledPart(o->decodedImage, d.Width, d.Height, wanted.part, o->hue,
                                             o->saturation, o->lightness);
                    o->SetAdjustedImage(cache, wanted, held);
                }
                if (!cache) {
                    drawDecoded();
                } else if (o->adjustedPlace.IsWhole()) {
                    graphics->DrawImage(cache, dest);
                } else {
                    const Rect& part = o->adjustedPlace.part;
                    graphics->DrawImage(cache,
                                        RectF(dest.X + part.X, dest.Y + part.Y, static_cast<REAL>(part.Width),
                                              static_cast<REAL>(part.Height)));
                }
                continue;
            }
            // Drawn for paper, a file or a preview: a picture that is not decoded already is
            // decoded for this drawing alone and let go once drawn, one picture at a time, so that
            // a design may hold more large pictures than the process can hold decoded at once. One
            // that cannot be had, or drawn (with its colour change), is named to the caller, which
            // must not pass the drawing off as whole.
            const bool decodedHere = !o->decodedImage;
            Bitmap* previewCopy = nullptr;
            if (decodedHere && previewPicture &&
                previewPicture(o, d.Width, d.Height, previewCopy)) {
                if (!previewCopy) continue;
                // A copy made for a larger window is averaged down to the page's size: every
                // second or third of its pixels alone would make a photo look jagged.
                const bool larger = static_cast<INT>(previewCopy->GetWidth()) > d.Width ||
                                    static_cast<INT>(previewCopy->GetHeight()) > d.Height;
                if (larger && DrawImageResampled(graphics, previewCopy, d, 0, 0, 0)) continue;
                graphics->SetInterpolationMode(larger ? InterpolationModeHighQualityBilinear
                                                      : InterpolationModeNearestNeighbor);
                graphics->DrawImage(previewCopy, dest);
                continue;
            }
            if (decodedHere && !DecodeForDrawing(document, o)) {
                undrawnPictures.Add(o);
                continue;
            }
            DecodedForDrawing release(decodedHere ? o : nullptr);
            Bitmap* image = o->decodedImage;
            if (IsPreviewQuality(purpose)) {
                graphics->SetInterpolationMode(InterpolationModeNearestNeighbor);
                bool drawn = false;
                if (HslLock held{*o, std::try_to_lock}) {
                    Bitmap* cache = o->adjustedPlace.IsWhole() ? o->adjustedImage : nullptr;
                    if (cache && std::abs(static_cast<int>(cache->GetWidth()) - d.Width) <
                                     std::abs(static_cast<int>(image->GetWidth()) - d.Width)) {
                        graphics->DrawImage(cache, dest);
                        drawn = true;
                    }
                }
                if (!drawn && !drawDecoded()) undrawnPictures.Add(o);
                continue;
            }
            const bool large = image->GetWidth() >= 75 && image->GetHeight() > 100;
            graphics->SetInterpolationMode(large ? InterpolationModeHighQualityBicubic
                                                 : InterpolationModeNearestNeighbor);
            // Bicubic pictures are scaled by our own filter and put 1:1 inside the clip; GDI+
            // draws them only when that cannot be done on this surface.
            if (large && DrawImageResampled(graphics, image, d, o->hue, o->saturation, o->lightness))
                continue;
            if (!drawDecoded()) undrawnPictures.Add(o);
        }
    });
}

void RenderContext::DrawSideOutline() {
    GuardOperation(748, [&] {
        ViewObject* cur = currentObject;
        if (!graphics || !cur) return;
        const bool disc = cur->IsDisc();
        if (!disc && (IsPreviewQuality(purpose) || IsLayoutPreview(purpose))) {
            graphics->SetSmoothingMode(SmoothingModeNone);
            graphics->SetPixelOffsetMode(PixelOffsetModeNone);
        } else if ((disc && purpose == kPurposeThumbnail) || purpose == kPurposeExport ||
                   purpose == kPurposeExportPreview) {
            // An export's picture, and its preview's, is exactly the side and its overlap: without
            // the offset the shapes lose a pixel of width and height, and with no overlap the right
            // and bottom lines land on the picture's last pixels, not on the first ones past it.
            graphics->SetSmoothingMode(SmoothingModeHighQuality);
            graphics->SetPixelOffsetMode(PixelOffsetModeNone);
        } else {
            graphics->SetSmoothingMode(SmoothingModeHighQuality);
            graphics->SetPixelOffsetMode(PixelOffsetModeHighQuality);
        }
        graphics->ResetTransform();
        if (!hasUpdateRegion) graphics->ResetClip();

        RectF outer = cur->GetRectF(false), hole = disc ? cur->GetRectF(true) : RectF();
        if (disc && purpose == kPurposeLightScribePreview) {
            const float* lg = g_lightScribeGeometry;
            outer = RectF(lg[0], lg[1], lg[2], lg[3]);
            hole = RectF(lg[4], lg[5], lg[6], lg[7]);
        }
        outer = MapRectF(outer);
        hole = MapRectF(hole);
        if (graphics->GetSmoothingMode() == SmoothingModeNone) {
            outer = SnapRectF(outer);
            hole = SnapRectF(hole);
        }
        if (graphics->GetPixelOffsetMode() == PixelOffsetModeNone) {
            outer.Width -= 1;
            outer.Height -= 1;
            hole.Width -= 1;
            hole.Height -= 1;
        }
        ARGB penColor = purpose == kPurposeScreen
                            ? 0xFF3C7777
                            : (purpose == kPurposeInactiveOutline ? 0xFF646464 : 0xFF000000);
        Pen pen{Color(penColor), 1.0f};
        if (HasBorder()) {
            if (!disc) {
                if (IsLayoutPreview(purpose)) {
                    SolidBrush fill{Color(0xFFE6E6FF)};
                    graphics->FillRectangle(&fill, outer);
                }
                graphics->DrawRectangle(&pen, outer);
            } else {
                if (purpose == kPurposeLightScribePreview) pen.SetDashStyle(DashStyleDash);
                if (IsLayoutPreview(purpose)) {
                    GraphicsPath holePath;
                    holePath.AddEllipse(hole);
                    graphics->SetClip(&holePath, CombineModeExclude);
                    SolidBrush fill{Color(0xFFE6E6FF)};
                    graphics->FillEllipse(&fill, outer);
                    graphics->ResetClip();
                }
                graphics->DrawEllipse(&pen, outer);
                graphics->DrawEllipse(&pen, hole);
            }
        }
        if (HasFoldLines()) {
            // Drawn without the offset, a line leaves out the row of its end point: an export's
            // fold lines (whose outline is a pixel lower) go one pixel further, to the side's last
            // row, where the bottom border line lies.
            const bool exported = purpose == kPurposeExport || purpose == kPurposeExportPreview;
            const REAL top = outer.Y, bottom = outer.Y + outer.Height + (exported ? 1 : 0);
            if (cur->IsFoldedFrontCover()) {
                const REAL mid = outer.X + outer.Width / 2;
                graphics->DrawLine(&pen, mid, top, mid, bottom);
            } else if (cur->IsBackCover()) {
                const REAL spine = static_cast<REAL>(RoundHalfUp(cur->spineWidth * scaleX));
                const REAL x1 = outer.X + spine, x2 = outer.X + outer.Width - spine;
                graphics->DrawLine(&pen, x1, top, x1, bottom);
                graphics->DrawLine(&pen, x2, top, x2, bottom);
            }
        }
        graphics->ResetTransform();
        if (!hasUpdateRegion) ApplyClip(false);
    });
}
