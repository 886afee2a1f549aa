#include "render/RenderContext.h"

#include "framework/win/ScopedGdi.h"

#include <cmath>
#include <new>
#include <vector>

#include "model/Geometry.h"
#include "model/KorvanelleDocument.h"
#include "model/PageSizes.h"
#include "render/ColorProcessing.h"
#include "render/RenderMath.h"

using namespace Gdiplus;

namespace {

const float kMinExtent = 1.1920929e-07f;

int ToDesign(int p, double scale) {
    return static_cast<int>(std::floor(p / scale + 0.5));
}

// Every rectangle of a GDI+ region, in device pixels.
std::vector<Rect> RegionRects(Region* region) {
    std::vector<Rect> rects;
    if (!region) return rects;
    Matrix identity;
    INT count = region->GetRegionScansCount(&identity);
    if (count <= 0) return rects;
    rects.resize(count);
    region->GetRegionScans(&identity, rects.data(), &count);
    rects.resize(count > 0 ? count : 0);
    return rects;
}

}  // namespace

// ---- small shared operations ------------------------------------------------------------------

GraphicsPath* MakeRectPath(float x, float y, float w, float h, const Matrix* matrix) {
    GraphicsPath* path = new GraphicsPath();
    path->AddRectangle(RectF(x, y, w, h));
    if (matrix) path->Transform(matrix);
    return path;
}

GraphicsPath* MakeEllipsePath(float x, float y, float w, float h, const Matrix* matrix) {
    GraphicsPath* path = new GraphicsPath();
    path->AddEllipse(RectF(x, y, w, h));
    if (matrix) path->Transform(matrix);
    return path;
}

void SetSolidBrush(SolidBrush** holder, ARGB color) {
    delete *holder;
    *holder = nullptr;
    SolidBrush* brush = new SolidBrush(Color(color));
    if (brush && brush->GetLastStatus() != Ok) {
        delete brush;
        brush = nullptr;
    }
    *holder = brush;
}

DWORD ColorRefToRgb(COLORREF color) {
    return (static_cast<DWORD>(GetRValue(color)) << 16) | (static_cast<DWORD>(GetGValue(color)) << 8) |
           GetBValue(color);
}

// ---- construction and set-up ------------------------------------------------------------------

RenderContext::RenderContext() : printOptions(nullptr) {
    sideClip = new Region();
    updateRegion = new Region();
}

RenderContext::~RenderContext() {
    for (INT_PTR i = 0; i < outlinePaths.GetSize(); ++i) delete outlinePaths[i];
    outlinePaths.RemoveAll();
    children.RemoveAll();
    delete sideClip;
    delete updateRegion;
}

void RenderContext::ShiftByBorder() {
    offsetX += static_cast<float>(ToDesign(-borderX, scaleX));
    offsetY += static_cast<float>(ToDesign(-borderY, scaleY));
    bordersInOffsets = true;
}

void RenderContext::Setup(Graphics* g, double sx, double sy, int purposeValue, KorvanelleDocument* doc,
                          const PrintOptions* options) {
    graphics = g;
    scaleX = sx;
    scaleY = sy;
    purpose = purposeValue;
    document = doc;
    if (options) printOptions.CopyFrom(options);
}

void RenderContext::Init(Graphics* g, double sx, double sy, float ox, float oy, int purposeValue,
                         KorvanelleDocument* doc, ViewObject* current, const PrintOptions* options) {
    GuardOperation(701, [&] {
        Setup(g, sx, sy, purposeValue, doc, options);
        offsetX = ox;
        offsetY = oy;
        currentObject = current;
        marqueeRect = Rect();
        hasUpdateRegion = 0;
        offscreenBitmap = nullptr;
        printableArea = Rect();
        BuildSideClip();
    });
}

void RenderContext::SetupView(Graphics* g, HBITMAP offscreen, double sx, double sy, KorvanelleDocument* doc,
                              const Rect& marquee, int bx, int by, const Rect& printable, bool selection) {
    graphics = g;
    marqueeRect = marquee;
    printableArea = printable;
    selectionShown = selection ? 1 : 0;
    printOptions.SetDefaults();
    printOptions.frontBorder = printOptions.backBorder = printOptions.discBorder = 1;
    printOptions.frontFold = printOptions.backFold = 1;
    SetupHighlight(offscreen, sx, sy, doc, bx, by);
}

void RenderContext::SetupScreen(Graphics* g, HBITMAP offscreen, double sx, double sy, KorvanelleDocument* doc,
                                ViewObject* current, int bx, int by) {
    graphics = g;
    currentObject = current;
    SetupHighlight(offscreen, sx, sy, doc, bx, by);
}

void RenderContext::SetupHighlight(HBITMAP offscreen, double sx, double sy, KorvanelleDocument* doc, int bx,
                                   int by) {
    offscreenBitmap = offscreen;
    SetupGeometry(doc, sx, sy, kPurposeScreen, bx, by);
    ShiftByBorder();
}

void RenderContext::SetupGeometry(KorvanelleDocument* doc, double sx, double sy, int purposeValue, int bx,
                                  int by) {
    document = doc;
    scaleX = sx;
    scaleY = sy;
    purpose = purposeValue;
    borderX = bx;
    borderY = by;
}

void RenderContext::SetCurrentObject(ViewObject* object) {
    currentObject = object;
    BuildSideClip();
}

// ---- queries -------------------------------------------------------------------------------------

int RenderContext::GetKindSetting() const {
    return currentObject ? printOptions.GetMargin(currentObject->type) : 0;
}

bool RenderContext::HasBorder() const {
    return currentObject && printOptions.HasBorder(currentObject->type);
}

bool RenderContext::HasFoldLines() const {
    return currentObject && printOptions.HasFoldLines(currentObject->type);
}

RectF RenderContext::MapRectF(const RectF& r) const {
    return ScaleRectF(r, scaleX, scaleY, offsetX, offsetY, 0, 0);
}

Rect RenderContext::MapRect(const RectF& r) const {
    return RoundRectF(MapRectF(r));
}

bool RenderContext::GetSideRect(Rect* side, Rect* wide) const {
    if (!document) return false;
    ViewObject* page = document->GetCurrentPage();
    if (!page) return false;
    Rect r = MapRect(page->GetRectF(false));
    if (r.Width < 1 || r.Height < 1) return false;
    Rect w = r;
    if (purpose == kPurposeScreen) {
        w.Width += std::abs(2 * borderX) + 20;
        w.Height += std::abs(2 * borderY) + 20;
        // Records whose offsets already carry the border have the page in place; moving it once
        // more would put the side's fill a border's width away from the objects drawn on it.
        if (!bordersInOffsets) {
            r.X -= borderX;
            r.Y -= borderY;
        }
    }
    if (side) *side = r;
    if (wide) *wide = w;
    return true;
}

bool RenderContext::MeetsUpdateRegion(const ViewObject* object) const {
    if (!hasUpdateRegion || !object) return true;
    Rect r = MapRect(object->GetRectF(false));
    Rect grown(r.X - 1, r.Y - 1, r.Width + 2, r.Height + 2);
    if (grown.Width <= 0 || grown.Height <= 0) return updateRegion->IsVisible(grown) != FALSE;
    // Edges that only touch count as meeting: an object drawn for nothing is clipped away, one
    // left out would leave its pixels wrong.
    for (const RectF& u : updateRects)
        if (grown.X <= u.X + u.Width && u.X <= grown.X + grown.Width && grown.Y <= u.Y + u.Height &&
            u.Y <= grown.Y + grown.Height)
            return true;
    return false;
}

// ---- regions -------------------------------------------------------------------------------------

void RenderContext::BuildSideClip() {
    sideClip->MakeEmpty();
    if (!currentObject) return;
    SideShape shape = ComputeSideShape(currentObject, purpose, g_lightScribeGeometry);
    RectF outer = MapRectF(shape.outer);
    if (!shape.disc) {
        if (!(outer.Width > kMinExtent) || !(outer.Height > kMinExtent)) return;
        sideClip->Union(outer);
        return;
    }
    if (outer.Width > 0 && outer.Height > 0) {
        GraphicsPath path;
        path.AddEllipse(outer);
        sideClip->Union(&path);
    }
    RectF hole = MapRectF(shape.hole);
    if (hole.Width > 0 && hole.Height > 0) {
        GraphicsPath path;
        path.AddEllipse(hole);
        sideClip->Exclude(&path);
    }
}

Region* RenderContext::BuildBleedClip(int margin) const {
    if (!currentObject) return nullptr;
    SideShape shape = ComputeSideShape(currentObject, purpose, g_lightScribeGeometry);
    const float m = static_cast<float>(margin);
    RectF outer = shape.outer;
    outer.Inflate(m, m);
    RectF mapped = MapRectF(outer);
    Region* region = new Region();
    region->MakeEmpty();
    if (!shape.disc) {
        if (mapped.Width > kMinExtent && mapped.Height > kMinExtent) region->Union(mapped);
        return region;
    }
    if (mapped.Width > 0 && mapped.Height > 0) {
        GraphicsPath path;
        path.AddEllipse(mapped);
        region->Union(&path);
    }
    RectF hole = shape.hole;
    hole.Inflate(-m, -m);
    if (hole.Width > 0 && hole.Height > 0) {
        RectF mh = MapRectF(hole);
        if (mh.Width > 0 && mh.Height > 0) {
            GraphicsPath path;
            path.AddEllipse(mh);
            region->Exclude(&path);
        }
    }
    return region;
}

void RenderContext::ApplyClip(bool on) {
    if (!graphics) return;
    graphics->ResetClip();
    graphics->ResetTransform();
    if (purpose == kPurposeLightScribe) return;
    if (on) graphics->SetClip(sideClip, CombineModeReplace);
    if (hasUpdateRegion) graphics->SetClip(updateRegion, on ? CombineModeIntersect : CombineModeReplace);
    ClipToVisibleArea();
}

void RenderContext::ClipToVisibleArea() {
    if (graphics && HasVisibleArea()) graphics->SetClip(visibleArea, CombineModeIntersect);
}

void RenderContext::SetUpdateRects(const Rect& first, const Rect& second, int inflate, int originX,
                                   int originY) {
    GuardOperation(702, [&] {
        updateRegion->MakeEmpty();
        updateRects.clear();
        updateRgn.Reset();
        hasUpdateRegion = 0;
        const Rect* rects[2] = {&first, &second};
        for (const Rect* source : rects) {
            if (source->Width <= 0 || source->Height <= 0) break;
            hasUpdateRegion = 1;
            Rect d = MapRect(RectF(static_cast<REAL>(source->X), static_cast<REAL>(source->Y),
                                   static_cast<REAL>(source->Width), static_cast<REAL>(source->Height)));
            d = Rect(d.X - inflate, d.Y - inflate, d.Width + 2 * inflate, d.Height + 2 * inflate);
            updateRegion->Union(d);
            updateRects.emplace_back(static_cast<REAL>(d.X), static_cast<REAL>(d.Y),
                                     static_cast<REAL>(d.Width), static_cast<REAL>(d.Height));
            ScopedRegion piece(CreateRectRgn(d.X - originX, d.Y - originY, d.X - originX + d.Width,
                                             d.Y - originY + d.Height));
            if (!updateRgn)
                updateRgn = std::move(piece);
            else
                CombineRgn(updateRgn, updateRgn, piece, RGN_OR);
        }
    });
}

void RenderContext::MirrorUpdateRegion(float dx, float dy) {
    GuardOperation(703, [&] {
        int ddx = RoundHalfUp(dx * scaleX), ddy = RoundHalfUp(dy * scaleY);
        Region* a = updateRegion->Clone();
        Region* b = updateRegion->Clone();
        a->Translate(-ddx, -ddy);
        b->Translate(ddx, ddy);
        updateRegion->Union(a);
        updateRegion->Union(b);
        const size_t count = updateRects.size();
        for (size_t i = 0; i < count; ++i)
            for (int sign : {-1, 1}) {
                RectF moved = updateRects[i];
                moved.Offset(static_cast<REAL>(sign * ddx), static_cast<REAL>(sign * ddy));
                updateRects.push_back(moved);
            }
        delete a;
        delete b;
        if (updateRgn) {
            ScopedRegion copy(CreateRectRgn(0, 0, 0, 0));
            CombineRgn(copy, updateRgn, nullptr, RGN_COPY);
            OffsetRgn(copy, ddx, ddy);
            CombineRgn(updateRgn, updateRgn, copy, RGN_OR);
        }
    });
}

void RenderContext::InvertRegion(HRGN region) {
    GuardOperation(3302, [&] {
        if (!offscreenBitmap || !region) return;
        DIBSECTION ds = {};
        if (GetObject(offscreenBitmap, sizeof(ds), &ds) != sizeof(ds) || !ds.dsBm.bmBits) return;
        const int width = ds.dsBm.bmWidth, height = ds.dsBm.bmHeight;
        const int bytes = ds.dsBm.bmBitsPixel / 8;
        if (bytes < 3) return;
        const int stride = ((width * ds.dsBm.bmBitsPixel + 31) / 32) * 4;
        const bool bottomUp = false;  // the off-screen buffer is always a top-down DIB
        BYTE* bits = static_cast<BYTE*>(ds.dsBm.bmBits);
        // Drawing still queued for these pixels must land before they are read and written.
        if (graphics) graphics->Flush(FlushIntentionSync);
        GdiFlush();

        Region test(Rect(0, 0, width, height));
        if (hasUpdateRegion) test.Intersect(updateRegion);
        std::vector<Rect> allowed = RegionRects(&test);

        DWORD size = GetRegionData(region, 0, nullptr);
        if (size == 0) return;
        std::vector<BYTE> data(size);
        RGNDATA* rd = reinterpret_cast<RGNDATA*>(data.data());
        if (GetRegionData(region, size, rd) == 0) return;
        const RECT* rects = reinterpret_cast<const RECT*>(rd->Buffer);
        for (DWORD i = 0; i < rd->rdh.nCount; ++i) {
            Rect r(rects[i].left, rects[i].top, rects[i].right - rects[i].left,
                   rects[i].bottom - rects[i].top);
            for (const Rect& a : allowed) {
                Rect c;
                if (!IntersectRectXYWH(&c, r, a)) continue;
                for (int y = c.Y; y < c.Y + c.Height; ++y) {
                    BYTE* row = bits + static_cast<size_t>(bottomUp ? height - 1 - y : y) * stride;
                    for (int x = c.X; x < c.X + c.Width; ++x) {
                        BYTE* p = row + x * bytes;
                        p[0] = 255 - p[0];
                        p[1] = 255 - p[1];
                        p[2] = 255 - p[2];
                    }
                }
            }
        }
    });
}

void RenderContext::AddRectPath(int x, int y, int w, int h) {
    if (w > 0 && h > 0) outlineRects.push_back(Rect(x, y, w, h));
}

void RenderContext::TranslateForDuplicate(float dx, float dy) {
    offsetX += dx;
    offsetY += dy;
    const REAL tx = static_cast<REAL>(dx * scaleX), ty = static_cast<REAL>(dy * scaleY);
    sideClip->Translate(tx, ty);
    updateRegion->Translate(tx, ty);
    for (RectF& u : updateRects) u.Offset(tx, ty);
}
