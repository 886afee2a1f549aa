// The dimension fields' arithmetic: placing, limits, reading and writing values, and their lines.
#include "print/DimensionFields.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "canvas/ViewSettings.h"
#include "render/CanvasSettings.h"
#include "model/Geometry.h"

using namespace Gdiplus;

namespace {

bool IsCaseBack(const ViewObject* o) {
    return o->IsDvdBack() || o->IsBlurayBack();
}

bool UsesInches() {
    return g_units == "Inches";
}

// Digits as a number that stops growing at the largest int instead of overflowing.
int SaturatingNumber(const CString& digits, bool negative) {
    int64_t n = 0;
    for (int i = 0; i < digits.GetLength(); ++i) {
        n = n * 10 + (digits[i] - '0');
        if (n > INT32_MAX) {
            n = INT32_MAX;
            break;
        }
    }
    return static_cast<int>(negative ? -n : n);
}

int SaturatingTimes1000(int value) {
    const int64_t v = static_cast<int64_t>(value) * 1000;
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int>(v);
}

DimensionField* MakeField(int kind, ViewObject* o, const Rect& r, const Rect& page, int panel) {
    DimensionField* f = new DimensionField;
    f->kind = kind;
    f->object = o;
    f->objectRect = r;
    f->pageRect = page;
    f->panelWidth = panel;
    const bool disc = o->IsDisc();
    const int p = o->spineWidth;
    int x = 0, y = 0;
    switch (kind) {
        case kDimensionLeft:
            f->value = o->left;
            x = -76;
            y = r.Y + r.Height / 2 - 10;
            break;
        case kDimensionTop:
            f->value = o->top;
            x = r.X + r.Width / 2 - 37;
            y = -21;
            break;
        case kDimensionWidth:
            if (disc) {
                f->value = o->width;
                x = page.Width + 3;
                y = o->HasSavedPosition() ? r.Y + r.Height / 4 - 10 : r.Y + r.Height / 2 - 10;
            } else if (IsCaseBack(o)) {
                f->value = p;
                x = r.X + r.Width - panel + (panel - kFieldEditWidth) / 2;
                y = r.Y + r.Height - 24;
            } else if (o->IsFoldedFrontCover()) {
                f->value = o->width / 2;
                x = r.X + r.Width - (r.Width / 2 - kFieldEditWidth) / 2 - kFieldEditWidth;
                y = r.Y + r.Height - 24;
            } else {
                f->value = o->IsJewelBack() ? o->width - 2 * p : o->width;
                x = r.X + r.Width / 2 - 37;
                y = r.Y + r.Height - 24;
            }
            break;
        case kDimensionHeight:
            f->value = o->height;
            if (disc) {
                x = page.Width + 3;
            } else {
                x = r.X + r.Width - 77;
                if (o->IsJewelBack()) x -= panel;
            }
            y = r.Y + r.Height / 2 - 10;
            break;
        case kDimensionPanel:
            if (o->IsJewelBack()) {
                f->value = p;
                x = r.X + panel + 4;
            } else {
                f->value = o->width - 2 * p;
                x = r.X + r.Width - panel + 4;
            }
            y = r.Y + 24;
            break;
    }
    f->editRect = Rect(x, y, kFieldEditWidth, kFieldEditHeight);
    f->spinRect = Rect(x + kFieldEditWidth - kFieldSpinWidth, y, kFieldSpinWidth, kFieldEditHeight);
    return f;
}

}  // namespace

std::vector<DimensionField*> BuildDimensionFields(const PreviewLayout& layout,
                                                  const std::vector<ViewObject*>& objects, int sideIndex) {
    std::vector<DimensionField*> fields;
    const Rect page(static_cast<int>(layout.page.X), static_cast<int>(layout.page.Y),
                    static_cast<int>(layout.page.Width), static_cast<int>(layout.page.Height));
    for (ViewObject* o : objects) {
        if (!o || o->IsPage() || o->side != sideIndex) continue;
        const Rect r = RoundRectF(ScaleRectF(o->GetRectF(false), layout.scaleX, layout.scaleY, 0, 0, 0, 0));
        const int panel = o->IsDisc() ? 0 : static_cast<int>(std::floor(o->spineWidth * layout.scaleX + 0.5));
        fields.push_back(MakeField(kDimensionLeft, o, r, page, panel));
        fields.push_back(MakeField(kDimensionTop, o, r, page, panel));
        if (o->IsDisc(1)) {
            DimensionField* inner = MakeField(kDimensionHeight, o, r, page, panel);
            RectF hole = o->GetRectF(true);
            hole.X += layout.design.X;
            hole.Y += layout.design.Y;
            inner->holeRect = RoundRectF(ScaleRectF(hole, layout.scaleX, layout.scaleY, 0, 0, 0, 0));
            fields.push_back(inner);
            if (o->HasSavedPosition()) fields.push_back(MakeField(kDimensionWidth, o, r, page, panel));
        } else if (o->IsDisc()) {
            fields.push_back(MakeField(kDimensionWidth, o, r, page, panel));
        } else {
            fields.push_back(MakeField(kDimensionWidth, o, r, page, panel));
            fields.push_back(MakeField(kDimensionHeight, o, r, page, panel));
            if (o->IsJewelBack() || IsCaseBack(o))
                fields.push_back(MakeField(kDimensionPanel, o, r, page, panel));
        }
    }
    return fields;
}

void FreeDimensionFields(std::vector<DimensionField*>& fields) {
    for (DimensionField* f : fields) delete f;
    fields.clear();
}

void SpreadTopFields(std::vector<DimensionField*>& fields) {
    DimensionField* first = nullptr;
    DimensionField* second = nullptr;
    for (DimensionField* f : fields) {
        if (f->kind != kDimensionTop) continue;
        if (!first)
            first = f;
        else if (!second)
            second = f;
    }
    if (!first || !second) return;
    DimensionField* upper = first->objectRect.Y < second->objectRect.Y ? first : second;
    DimensionField* lower = upper == first ? second : first;
    const Rect& u = upper->objectRect;
    const Rect& l = lower->objectRect;
    const Rect& P = upper->pageRect;
    const int aLeft = u.X - 20, aRight = u.X - 20 + u.Width + 40;
    const int bLeft = P.X + 20, bRight = P.X + 20 + P.Width - 40;
    std::vector<uint16_t> candidates;
    if (lower->object && lower->object->IsDisc()) {
        candidates.push_back(static_cast<uint16_t>(std::min(l.X + l.Width / 2, bRight)));
        candidates.push_back(static_cast<uint16_t>(std::min((u.X + u.Width + P.X + P.Width) / 2, bRight)));
    } else {
        candidates.push_back(static_cast<uint16_t>(std::min(l.X + l.Width - 4, bRight)));
        candidates.push_back(static_cast<uint16_t>(std::max(u.X / 2, l.X + 4)));
        candidates.push_back(static_cast<uint16_t>((u.X + u.Width + P.X + P.Width) / 2));
        candidates.push_back(static_cast<uint16_t>(u.X / 2));
    }
    int chosen = candidates.back();
    for (uint16_t c : candidates) {
        const int x = c;
        if ((bLeft <= x && x <= aLeft) || (aRight <= x && x <= bRight)) {
            chosen = x;
            break;
        }
    }
    const int dx = chosen - (lower->editRect.X + lower->editRect.Width / 2);
    lower->editRect.X += dx;
    lower->spinRect.X += dx;
}

CString FieldCaption(const DimensionField& field) {
    const ViewObject* o = field.object;
    const bool disc = o && o->IsDisc();
    switch (field.kind) {
        case kDimensionLeft:
            return "Left";
        case kDimensionTop:
            return "Top";
        case kDimensionWidth:
            return disc ? "Outer Diameter" : "Width";
        case kDimensionHeight:
            return disc ? "Inner Diameter" : "Height";
        case kDimensionPanel:
            return o && o->IsJewelBack() ? "Tab" : "Spine";
    }
    return CString();
}

COLORREF FieldCaptionBackground(const DimensionField& field) {
    const bool inside = field.kind >= kDimensionWidth && field.object && !field.object->IsDisc();
    return inside ? 0x00FFE6E6 : 0;
}

CString FormatFieldValue(int value) {
    CString text;
    if (UsesInches())
        text.Format("%.3f ''", value / 1000.0);
    else
        text.Format("%.1f mm", value * 0.0254);
    return text;
}

int ParseFieldText(const CString& text) {
    int value = 0;
    const int point = text.Find('.');
    if (point < 0) {
        int i = 0;
        while (i < text.GetLength() && (text[i] == ' ' || text[i] == '\t')) ++i;
        bool negative = false;
        if (i < text.GetLength() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
        CString digits;
        while (i < text.GetLength() && text[i] >= '0' && text[i] <= '9') digits += text[i++];
        value = SaturatingTimes1000(SaturatingNumber(digits, negative));
    } else {
        // Exactly three decimals: the point is left out, every other character becomes a digit.
        CString digits;
        for (int i = 0; i <= point + 3; ++i) {
            if (i == point) continue;
            const char c = i < text.GetLength() ? text[i] : '0';
            digits += (c >= '0' && c <= '9') ? c : '0';
        }
        value = SaturatingNumber(digits, false);
    }
    if (!UsesInches()) value = static_cast<int>(std::floor(value / 25.4 + 0.5));
    return value;
}

int ClampFieldValue(const DimensionField& field, int v, int W, int H, const std::vector<ViewObject*>& discs) {
    const ViewObject* o = field.object;
    if (!o) return v;
    const int x = o->left, y = o->top, w = o->width, h = o->height, p = o->spineWidth;
    const bool disc = o->IsDisc();
    // 64-bit sums: a saturated value must not wrap around when the position is added.
    const int64_t V = v;
    int lo = 0, hi = 0;
    switch (field.kind) {
        case kDimensionLeft:
            lo = 0;
            hi = W - w;
            break;
        case kDimensionTop:
            lo = 0;
            hi = disc ? H - w : H - h;
            break;
        case kDimensionWidth:
            if (disc) {
                lo = h + 500;
                hi = 5000;
                for (const ViewObject* d : discs)
                    if (d && d->left + V >= W) hi = std::min(W - d->left, 5000);
            } else {
                lo = 3000;
                hi = 6000;
                int64_t right = x + V;
                if (o->IsFoldedFrontCover()) right += V;
                if (o->IsJewelBack()) right += 2 * p;
                if (IsCaseBack(o)) right += V + (w - 2 * p);
                if (right >= W) {
                    int limit = W - x;
                    if (o->IsFoldedFrontCover()) limit /= 2;
                    if (o->IsJewelBack()) limit -= 2 * p;
                    if (IsCaseBack(o)) limit = (limit - (w - 2 * p)) / 2;
                    hi = std::min(limit, 6000);
                }
            }
            break;
        case kDimensionHeight:
            if (disc) {
                lo = 0;
                hi = w - 500;
            } else {
                lo = 3000;
                hi = 8250;
                if (y + V > H) hi = std::min(H - y, 8250);
            }
            break;
        case kDimensionPanel:
            if (o->IsJewelBack()) {
                lo = 100;
                hi = 1000;
                if (x + 2 * V + (w - 2 * p) >= W) hi = std::min((W - x - (w - 2 * p)) / 2, 1000);
            } else {
                lo = 100;
                hi = 2000;
                if (x + V + 2 * p >= W) hi = std::min(W - x - 2 * p, 2000);
            }
            break;
        default:
            return v;
    }
    if (v < lo) return lo;
    if (v > hi) return hi;
    return v;
}

void ApplyFieldValue(const DimensionField& field, const std::vector<ViewObject*>& discs) {
    ViewObject* o = field.object;
    if (!o) return;
    const int v = field.value;
    switch (field.kind) {
        case kDimensionLeft:
            o->left = v;
            if (o->HasSavedPosition()) o->savedLeft = v;
            break;
        case kDimensionTop:
            o->top = v;
            if (o->HasSavedPosition()) o->savedTop = v;
            break;
        case kDimensionWidth:
            if (o->IsDisc()) {
                for (ViewObject* d : discs)
                    if (d) d->width = v;
            } else if (IsCaseBack(o)) {
                const int spine = o->width - 2 * o->spineWidth;
                o->spineWidth = v;
                o->width = spine + 2 * v;
            } else if (o->IsJewelBack()) {
                o->width = v + 2 * o->spineWidth;
            } else {
                o->width = o->IsFoldedFrontCover() ? 2 * v : v;
            }
            break;
        case kDimensionHeight:
            if (o->IsDisc()) {
                for (ViewObject* d : discs)
                    if (d) d->height = v;
            } else {
                o->height = v;
            }
            break;
        case kDimensionPanel:
            if (o->IsJewelBack()) {
                const int inner = o->width - 2 * o->spineWidth;
                o->spineWidth = v;
                o->width = inner + 2 * v;
            } else {
                o->width = v + 2 * o->spineWidth;
            }
            break;
    }
    o->needsLayout = 1;
}

int StepFieldValue(const DimensionField& field, bool up, const CString& shownText) {
    if (UsesInches()) return field.value + (up ? 10 : -10);
    double mm = std::atof(shownText);
    if (!std::isfinite(mm)) mm = 0;
    mm += up ? 1.0 : -1.0;
    const double value = std::floor(mm / 0.0254 + 0.5);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int>(value);
}

void BuildArrowHeads(GraphicsPath* heads[4]) {
    GraphicsPath* up = new GraphicsPath(FillModeWinding);
    up->AddLine(4, 8, 0, 10);
    up->AddLine(0, 10, 4, 0);
    up->AddLine(5, 0, 9, 10);
    up->AddLine(9, 10, 5, 8);
    up->CloseFigure();
    const REAL angles[4] = {0, 180, 270, 90};
    for (int i = 0; i < 4; ++i) {
        GraphicsPath* head = up->Clone();
        Matrix turn;
        turn.Rotate(angles[i]);
        head->Transform(&turn);
        RectF b;
        head->GetBounds(&b);
        // The tip - the middle of the head's flat point - goes to the origin.
        Matrix move;
        if (i == 0 || i == 1)
            move.Translate(-(b.X + b.Width / 2), i == 0 ? -b.Y : -(b.Y + b.Height));
        else
            move.Translate(i == 2 ? -b.X : -(b.X + b.Width), -(b.Y + b.Height / 2));
        head->Transform(&move);
        heads[i] = head;
    }
    delete up;
}

void AddDimensionLine(GraphicsPath& path, int x1, int y1, int x2, int y2, bool arrows,
                      GraphicsPath* const heads[4]) {
    path.SetFillMode(FillModeWinding);
    const bool vertical = x2 == x1 && x1 != 0;
    if (vertical)
        path.AddRectangle(Rect(x1 - 1, y1, 2, y2 - y1));
    else
        path.AddRectangle(Rect(x1, y1 - 1, x2 - x1, 2));
    if (!arrows || !heads[0]) return;
    auto place = [&](GraphicsPath* head, int x, int y) {
        GraphicsPath* copy = head->Clone();
        Matrix move;
        move.Translate(static_cast<REAL>(x), static_cast<REAL>(y));
        copy->Transform(&move);
        path.AddPath(copy, FALSE);
        delete copy;
    };
    RectF up, left;
    heads[0]->GetBounds(&up);
    heads[2]->GetBounds(&left);
    if (vertical) {
        place(heads[0], x1, y1);
        if (y2 - y1 > 2 * up.Height) place(heads[1], x2, y2);
    } else {
        place(heads[2], x1, y1);
        if (x2 - x1 > 2 * left.Width) place(heads[3], x2, y2);
    }
}

void AddFieldDimensionLines(GraphicsPath& path, const DimensionField& f, GraphicsPath* const heads[4]) {
    const Rect& e = f.editRect;
    const Rect& s = f.spinRect;
    const Rect& r = f.objectRect;
    const Rect& P = f.pageRect;
    const int E = f.panelWidth;
    const ViewObject* o = f.object;
    if (!o || e.Width <= 0 || e.Height <= 0) return;
    const bool disc = o->IsDisc();
    switch (f.kind) {
        case kDimensionLeft:
            AddDimensionLine(path, 0, e.Y + e.Height / 2, r.X, e.Y + e.Height / 2, true, heads);
            break;
        case kDimensionTop: {
            const int c = e.X + e.Width / 2;
            AddDimensionLine(path, c, 0, c, r.Y, true, heads);
            if (!disc) {
                if (c > r.X + r.Width)
                    AddDimensionLine(path, r.X + r.Width + 2, r.Y + 1, c + 4, r.Y + 1, false, heads);
                else if (c < r.X)
                    AddDimensionLine(path, c - 4, r.Y + 1, r.X - 2, r.Y + 1, false, heads);
            }
            break;
        }
        case kDimensionWidth:
        case kDimensionHeight:
            if (disc) {
                const Rect& circle = f.kind == kDimensionWidth ? r : f.holeRect;
                const int X = P.X + P.Width - (f.kind == kDimensionHeight ? 20 : 0);
                const int cx = circle.X + circle.Width / 2;
                const int top = circle.Y, bottom = circle.Y + circle.Height;
                AddDimensionLine(path, cx + 4, top, X - 4, top, false, heads);
                AddDimensionLine(path, cx + 4, bottom, X - 4, bottom, false, heads);
                AddDimensionLine(path, X - 8, top, X - 8, bottom, true, heads);
                AddDimensionLine(path, X - 8, e.Y + e.Height / 2, P.X + P.Width, e.Y + e.Height / 2, false,
                                 heads);
            } else if (f.kind == kDimensionWidth) {
                const int y = e.Y + e.Height / 2;
                int x1 = r.X + 1, x2 = r.X + r.Width;
                if (o->IsFoldedFrontCover())
                    x1 = r.X + r.Width / 2 + 1;
                else if (IsCaseBack(o))
                    x1 = r.X + r.Width - E;
                else if (o->IsJewelBack()) {
                    x1 = r.X + 1 + E;
                    x2 = r.X + r.Width - E;
                }
                AddDimensionLine(path, x1, y, x2, y, true, heads);
            } else {
                const int x = e.X + (e.Width - s.Width) / 2;
                AddDimensionLine(path, x, r.Y + 1, x, r.Y + r.Height, true, heads);
            }
            break;
        case kDimensionPanel: {
            const int y = r.Y + e.Height / 2 + e.Height + 4;
            if (o->IsJewelBack())
                AddDimensionLine(path, r.X, y, r.X + E, y, true, heads);
            else
                AddDimensionLine(path, r.X + E, y, r.X + r.Width - E, y, true, heads);
            break;
        }
    }
}
