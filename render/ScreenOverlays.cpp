// What the canvas shows over a side and never reaches paper or files: grid dots, guides, the
// disc's text-margin rings, the printable area, the page frame, the marquee and the selection
// handles. They are painted by inverting the off-screen DIB's pixels, so they show on any
// background and need no erasing; most are collected as paths and painted in one pass at the end.
#include <cstdlib>
#include <vector>

#include "model/Geometry.h"
#include "model/KorvanelleDocument.h"
#include "render/CanvasSettings.h"
#include "render/ColorProcessing.h"
#include "render/RenderContext.h"
#include "render/RenderMath.h"

using namespace Gdiplus;

namespace {

bool IsOutlinedObject(const ViewObject* o) {
    return o && (o->IsImage() || o->IsText() || o->IsTrackList());
}

bool PositiveSize(const RectF& r) {
    return r.Width > 0 && r.Height > 0;
}

}  // namespace

void RenderContext::DrawGridDots() {
    GuardOperation(750, [&] {
        if (!g_showGrid || purpose != kPurposeScreen || !offscreenBitmap || !currentObject) return;
        DIBSECTION ds = {};
        if (GetObject(offscreenBitmap, sizeof(ds), &ds) != sizeof(ds) || !ds.dsBm.bmBits) return;
        const int width = ds.dsBm.bmWidth, height = ds.dsBm.bmHeight, bytes = ds.dsBm.bmBitsPixel / 8;
        if (bytes < 3) return;
        const int stride = ((width * ds.dsBm.bmBitsPixel + 31) / 32) * 4;
        const bool bottomUp = false;  // the off-screen buffer is always a top-down DIB
        BYTE* bits = static_cast<BYTE*>(ds.dsBm.bmBits);
        // Drawing still queued for these pixels must land before they are read and written.
        if (graphics) graphics->Flush(FlushIntentionSync);
        GdiFlush();

        Region test;
        if (hasUpdateRegion) test.Intersect(updateRegion);
        test.Intersect(Rect(0, 0, width, height));
        test.Intersect(sideClip);

        RectF side = currentObject->GetRectF(false);
        const float left = side.X + offsetX, top = side.Y + offsetY;
        const int stepX = GridStep(g_gridSize[0]), stepY = GridStep(g_gridSize[1]);
        for (float y = top; y < top + side.Height; y += stepY) {
            for (float x = left; x < left + side.Width; x += stepX) {
                const int px = RoundHalfUp(x * scaleX), py = RoundHalfUp(y * scaleY);
                if (!test.IsVisible(px, py)) continue;
                BYTE* p = bits + static_cast<size_t>(bottomUp ? height - 1 - py : py) * stride + px * bytes;
                p[0] = 255 - p[0];
                p[1] = 255 - p[1];
                p[2] = 255 - p[2];
            }
        }
    });
}

void RenderContext::AddGuidePaths() {
    GuardOperation(751, [&] {
        if (!g_showGuides || purpose != kPurposeScreen) return;
        if (graphics) graphics->ResetClip();
        const bool marquee = marqueeRect.Width >= 1 && marqueeRect.Height >= 1;
        ViewObject* selected = document ? document->GetFirstSelected() : nullptr;
        for (INT_PTR i = 0; i < children.GetSize(); ++i) {
            ViewObject* o = children[i];
            if (!IsOutlinedObject(o)) continue;
            if (marquee && o == selected) continue;
            Rect r = MapRect(o->GetRectF(false));
            AddRectPath(r.X - 1, r.Y - 1, r.Width + 1, r.Height + 1);
        }
        AddDiscMarginPaths(false);
    });
}

void RenderContext::AddDiscMarginPaths(bool alsoDuplicate) {
    GuardOperation(752, [&] {
        ViewObject* disc = currentObject;
        if (!disc || !disc->IsDisc() || disc->textMargin == 0) return;
        const float m = static_cast<float>(disc->textMargin);
        RectF outer = disc->GetRectF(false);
        outer = RectF(outer.X + m, outer.Y + m, outer.Width - 2 * m, outer.Height - 2 * m);
        RectF inner = disc->GetRectF(true);
        inner.Inflate(m, m);
        RectF mo = MapRectF(outer), mi = MapRectF(inner);
        if (!PositiveSize(mo) || !PositiveSize(mi)) return;
        GraphicsPath* po = MakeEllipsePath(mo.X, mo.Y, mo.Width, mo.Height, nullptr);
        GraphicsPath* pi = MakeEllipsePath(mi.X, mi.Y, mi.Width, mi.Height, nullptr);
        outlinePaths.Add(po);
        outlinePaths.Add(pi);
        if (alsoDuplicate && document && document->IsCurrentDiscDuplicated()) {
            PointF off = document->GetOtherDiscOffset(disc);
            Matrix move;
            move.Translate(static_cast<REAL>(RoundHalfUp(off.X * scaleX)),
                           static_cast<REAL>(RoundHalfUp(off.Y * scaleY)));
            GraphicsPath* co = po->Clone();
            GraphicsPath* ci = pi->Clone();
            co->Transform(&move);
            ci->Transform(&move);
            outlinePaths.Add(co);
            outlinePaths.Add(ci);
        }
    });
}

void PaintDashDotDotFrame(unsigned char* bits, int stride, int width, int height, const Rect& r) {
    // Dash of three, gap, dot, gap, dot, gap; the pattern runs on around the corners.
    static const bool kInk[8] = {true, true, true, false, true, false, true, false};
    int step = 0;
    auto put = [&](int x, int y) {
        if (kInk[step++ & 7] && x >= 0 && y >= 0 && x < width && y < height) {
            unsigned char* p = bits + static_cast<ptrdiff_t>(y) * stride + static_cast<ptrdiff_t>(x) * 3;
            p[0] = p[1] = p[2] = 0;
        }
    };
    const int x0 = r.X, y0 = r.Y, x1 = r.X + r.Width, y1 = r.Y + r.Height;
    for (int x = x0; x <= x1; ++x) put(x, y0);
    for (int y = y0 + 1; y <= y1; ++y) put(x1, y);
    for (int x = x1 - 1; x >= x0; --x) put(x, y1);
    for (int y = y1 - 1; y > y0; --y) put(x0, y);
}

void RenderContext::DrawPrintableArea() {
    GuardOperation(753, [&] {
        if (!graphics || !document || !g_showGuides) return;
        if (printableArea.Width <= 0 || printableArea.Height <= 0) return;
        ViewObject* page = document->GetCurrentPage();
        if (!page) return;
        Rect pageRect = MapRect(page->GetRectF(false));
        if (pageRect.Width <= 0 || pageRect.Height <= 0) return;
        if (document->IsCurrentDiscCentered()) return;
        Rect r =
            MapRect(RectF(static_cast<REAL>(printableArea.X), static_cast<REAL>(printableArea.Y),
                          static_cast<REAL>(printableArea.Width), static_cast<REAL>(printableArea.Height)));
        if (r.GetRight() > pageRect.GetRight()) r.Width = pageRect.GetRight() - r.X;
        if (r.GetBottom() > pageRect.GetBottom()) r.Height = pageRect.GetBottom() - r.Y;
        // The screen's buffer gets the frame's pixels straight: GDI+ takes several milliseconds
        // for a dashed pen, more than the rest of an empty side's drawing, for the same pixels.
        DIBSECTION ds = {};
        if (r.Width > 0 && r.Height > 0 && offscreenBitmap &&
            GetObject(offscreenBitmap, sizeof(ds), &ds) == sizeof(ds) && ds.dsBm.bmBits &&
            ds.dsBm.bmBitsPixel == 24) {
            graphics->Flush(FlushIntentionSync);
            GdiFlush();
            const int width = ds.dsBm.bmWidth, height = std::abs(ds.dsBm.bmHeight);
            // The off-screen buffer is always a top-down DIB.
            PaintDashDotDotFrame(static_cast<unsigned char*>(ds.dsBm.bmBits), ((width * 24 + 31) / 32) * 4, width,
                                 height, r);
            return;
        }
        graphics->ResetClip();
        graphics->ResetTransform();
        graphics->SetSmoothingMode(SmoothingModeNone);
        graphics->SetPixelOffsetMode(PixelOffsetModeNone);
        Pen pen(Color(0xFF000000), 1.0f);
        pen.SetDashStyle(DashStyleDashDotDot);
        graphics->DrawRectangle(&pen, r);
    });
}

void RenderContext::DrawPageFrame() {
    GuardOperation(754, [&] {
        if (!graphics || !document) return;
        ViewObject* page = document->GetCurrentPage();
        if (!page) return;
        Rect r = MapRect(page->GetRectF(false));
        if (r.Width <= 0 || r.Height <= 0) return;
        graphics->ResetClip();
        graphics->ResetTransform();
        graphics->SetSmoothingMode(SmoothingModeNone);
        graphics->SetPixelOffsetMode(PixelOffsetModeNone);
        Pen pen(Color(0xFF000000), 1.0f);
        graphics->DrawRectangle(&pen, r);
    });
}

void RenderContext::AddMarqueePath() {
    if (purpose != kPurposeScreen || marqueeRect.Width < 1 || marqueeRect.Height < 1) return;
    Rect r = MapRect(RectF(static_cast<REAL>(marqueeRect.X), static_cast<REAL>(marqueeRect.Y),
                           static_cast<REAL>(marqueeRect.Width), static_cast<REAL>(marqueeRect.Height)));
    AddRectPath(r.X - 1, r.Y - 1, r.Width + 1, r.Height + 1);
}

void RenderContext::AddSelectionHandles() {
    GuardOperation(755, [&] {
        if (!selectionShown || !document) return;
        ViewObject* selected = document->GetFirstSelected();
        if (!IsOutlinedObject(selected)) return;
        Rect d = MapRect(selected->GetRectF(false));
        Rect R(d.X - 1, d.Y - 1, d.Width + 2, d.Height + 2);
        for (INT_PTR i = 0; i < document->handleRegions.GetSize(); ++i) delete document->handleRegions[i];
        document->handleRegions.RemoveAll();
        Rect rects[11];
        ComputeHandleRects(R, rects);
        for (int i = 0; i < 11; ++i) {
            if (i == 8) {
                document->handleRegions.Add(nullptr);
                continue;
            }
            const Rect& r = rects[i];
            GraphicsPath* path =
                MakeRectPath(static_cast<REAL>(r.X), static_cast<REAL>(r.Y), static_cast<REAL>(r.Width),
                             static_cast<REAL>(r.Height), nullptr);
            Region* region = new Region(path);
            if (i <= 7) {
                // Hit 5 pixels around the square.
                path->SetFillMode(FillModeWinding);
                GraphicsPath* wide = path->Clone();
                Pen pen(Color(0xFF000000), 10.0f);
                wide->Widen(&pen, nullptr, 0.25f);
                region->Union(wide);
                delete wide;
            }
            delete path;
            document->handleRegions.Add(region);
        }
        AddHandleSquares(R);
    });
}

void RenderContext::AddHandleSquares(const Rect& frame) {
    Rect rects[11];
    ComputeHandleRects(frame, rects);
    for (int i = 0; i <= 7; ++i) {
        const Rect& r = rects[i];
        // Painted filled and inverted.
        GraphicsPath* path = MakeRectPath(static_cast<REAL>(r.X), static_cast<REAL>(r.Y),
                                          static_cast<REAL>(r.Width), static_cast<REAL>(r.Height), nullptr);
        path->SetFillMode(FillModeWinding);
        outlinePaths.Add(path);
    }
    handlesFrame = frame;
}

void RenderContext::DrawOutlinePaths() {
    GuardOperation(756, [&] {
        if (outlinePaths.GetSize() == 0 && outlineRects.empty()) return;
        GraphicsPath outlineStraight, outlineSmooth, filledStraight, filledSmooth;
        for (INT_PTR i = 0; i < outlinePaths.GetSize(); ++i) {
            GraphicsPath* p = outlinePaths[i];
            if (!p) continue;
            const INT count = p->GetPointCount();
            bool smooth = count == 13;
            if (!smooth && count >= 2) {
                std::vector<PointF> pts(count);
                p->GetPathPoints(pts.data(), count);
                smooth = pts[0].X != pts[1].X && pts[0].Y != pts[1].Y;
            }
            const bool filled = p->GetFillMode() == FillModeWinding;
            p->SetFillMode(FillModeAlternate);
            GraphicsPath& target = filled ? (smooth ? filledSmooth : filledStraight)
                                          : (smooth ? outlineSmooth : outlineStraight);
            target.AddPath(p, FALSE);
        }
        if (offscreenBitmap) {
            // Straight inversion works on the buffer's pixels alone; the anti-aliased edges need a
            // surface to paint their coverage on. A record without one (the text highlight of
            // in-place editing) inverts smooth outlines straight.
            const bool smoothEdges = graphics != nullptr;
            // A partial drawing inverts only inside its update region: the outline of an object
            // reaching out of it, inverted whole, was inverted a second time out there.
            const Region* limit = hasUpdateRegion ? updateRegion : nullptr;
            if (outlineStraight.GetPointCount() > 0) {
                Pen pen(Color(0xFF000000), 1.0f);
                outlineStraight.Widen(&pen, nullptr, 0.25f);
                InvertPathOnDib(graphics, offscreenBitmap, &outlineStraight, false, false, nullptr, limit);
            }
            InvertRectOutlinesOnDib(graphics, offscreenBitmap, outlineRects, limit);
            if (outlineSmooth.GetPointCount() > 0) {
                if (!smoothEdges) {
                    Pen pen(Color(0xFF000000), 1.0f);
                    outlineSmooth.Widen(&pen, nullptr, 0.25f);
                }
                InvertPathOnDib(graphics, offscreenBitmap, &outlineSmooth, smoothEdges, false, nullptr,
                                limit);
            }
            if (filledStraight.GetPointCount() > 0)
                InvertPathOnDib(graphics, offscreenBitmap, &filledStraight, false, true, nullptr, limit);
            if (filledSmooth.GetPointCount() > 0)
                InvertPathOnDib(graphics, offscreenBitmap, &filledSmooth, smoothEdges, true, nullptr, limit);
        }
    });
    for (INT_PTR i = 0; i < outlinePaths.GetSize(); ++i) delete outlinePaths[i];
    outlinePaths.RemoveAll();
    outlineRects.clear();
}
