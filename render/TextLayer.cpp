// The text layer of a side: every text and track list lying on the side object, laid out when
// due and drawn character by character from its glyph boxes, each character with its own font,
// colour and underline, turned by the object's angle.
#include "render/TextLayer.h"

#include "controls/GdipFont.h"

#include "model/Geometry.h"
#include "model/ViewObject.h"
#include "render/RenderContext.h"
#include "render/TextFonts.h"
#include "render/TextLayout.h"

using namespace Gdiplus;

namespace {

bool HasCompleteArrays(const ViewObject* o)
{
    const INT_PTR n = o->chars.GetSize();
    return n > 0 && o->charFonts.GetSize() == n && o->charColors.GetSize() == n && o->charUnderlines.GetSize() == n &&
           o->cellBoxes.GetSize() == n && o->glyphBoxes.GetSize() == n;
}

}  // namespace

void DrawTextLayer(RenderContext& rc)
{
    Graphics* g = rc.graphics;
    if (!g) return;
    Font* font = nullptr;
    SolidBrush* brush = nullptr;
    Pen* pen = nullptr;
    StringFormat* format = nullptr;
    LOGFONTA* defaultRecord = ViewObject::NewDefaultFontRecord();
    ARGB color = 0xFF000000;
    GuardOperation(730, [&] {
        const REAL dpiY = g->GetDpiY();
        g->SetTextRenderingHint(IsPreviewQuality(rc.purpose) ? TextRenderingHintSingleBitPerPixel
                                                             : TextRenderingHintAntiAlias);
        format = StringFormat::GenericTypographic()->Clone();
        SetSolidBrush(&brush, color);
        const double fontScale = rc.scaleY * 1000.0 / (dpiY > 0 ? dpiY : 96.0);

        for (INT_PTR c = 0; c < rc.children.GetSize(); ++c) {
            ViewObject* o = rc.children[c];
            if (!o || !(o->IsText() || o->IsTrackList())) continue;
            if (o->needsLayout) DrawTextObject(o, rc);
            if (!HasCompleteArrays(o)) continue;

            g->ResetTransform();
            if (!o->bAutoFit || o->autoFitGaveUp || rc.hasUpdateRegion) {
                rc.ApplyClip(true);
                Rect r = RoundRectF(ScaleRectF(o->GetRectF(false), rc.scaleX, rc.scaleY, rc.offsetX, rc.offsetY, 0, 0));
                g->SetClip(r, CombineModeIntersect);
            } else {
                g->ResetClip();
            }
            const int a = o->AngleToDegrees();
            const float ox = static_cast<float>(o->left) + rc.offsetX, oy = static_cast<float>(o->top) + rc.offsetY;
            for (int i = 0; i < o->GetCharCount(); ++i) {
                LOGFONTA* record = o->charFonts[i];
                // A text whose first character lost its record still draws, with the default one.
                if (!record && (i == 0 || !font)) record = defaultRecord;
                if (record) CreateGdipFont(&font, record, 1.0, fontScale);
                if (o->charColors[i]) {
                    color = 0xFF000000 | ColorRefToRgb(*o->charColors[i]);
                    SetSolidBrush(&brush, color);
                }
                const CString& ch = o->chars[i];
                if (IsFieldEnd(ch) || IsLineBreak(ch)) continue;
                const RectF& glyph = *o->glyphBoxes[i];
                if (glyph.Width == 0 || glyph.Height == 0) continue;
                if (!font || !brush) continue;

                g->ResetTransform();
                if (a != 0) g->RotateTransform(static_cast<REAL>(a), MatrixOrderAppend);
                g->TranslateTransform(static_cast<REAL>((ox + glyph.X) * rc.scaleX),
                                      static_cast<REAL>((oy + glyph.Y) * rc.scaleY), MatrixOrderAppend);
                WCHAR wide[8] = {};
                int n = MultiByteToWideChar(CP_ACP, 0, static_cast<LPCSTR>(ch), ch.GetLength(), wide, 7);
                if (n > 0) g->DrawString(wide, n, font, PointF(0, 0), format, brush);

                const WORD p = o->charUnderlines[i];
                if (p == 0) continue;
                if (!pen || pen->GetWidth() != static_cast<REAL>(p) || [&] {
                        Color pc;
                        pen->GetColor(&pc);
                        return pc.GetValue() != color;
                    }()) {
                    delete pen;
                    pen = new Pen(Color(color), static_cast<REAL>(p));
                    pen->SetStartCap(LineCapRound);
                    pen->SetEndCap(LineCapRound);
                    pen->SetDashCap(DashCapRound);
                }
                g->ResetTransform();
                g->TranslateTransform(ox, oy, MatrixOrderAppend);
                REAL ux = 0, uy = 0;
                if (a == 0) uy = p;
                else if (a == 180) uy = -static_cast<REAL>(p);
                else if (a == 270) ux = p;
                else if (a == 90) ux = -static_cast<REAL>(p);
                g->TranslateTransform(ux, uy, MatrixOrderAppend);
                g->ScaleTransform(static_cast<REAL>(rc.scaleX), static_cast<REAL>(rc.scaleY), MatrixOrderAppend);
                const RectF& gb = glyph;
                if (a == 0 || a == 180)
                    g->DrawLine(pen, gb.X, gb.Y + gb.Height, gb.X + gb.Width, gb.Y + gb.Height);
                else
                    g->DrawLine(pen, gb.X + gb.Width, gb.Y, gb.X + gb.Width, gb.Y + gb.Height);
            }
        }
    });
    delete pen;
    delete font;
    delete brush;
    rc.ApplyClip(true);
    delete format;
    delete defaultRecord;
}
