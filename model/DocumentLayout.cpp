// The design's geometry: background panels and the margin rectangles of a side, refitting the
// objects of a side that changes shape, applying a template's geometry, and changing the disc
// layout with the second disc's objects.
#include "model/KorvanelleDocument.h"

#include "model/Geometry.h"

namespace {

bool IsWrapBack(const ViewObject* o) {
    return o->IsDvdBack() || o->IsBlurayBack();
}

}  // namespace

Gdiplus::Rect KorvanelleDocument::GetMarginRect(const ViewObject* sideObject, int panel, int marginOption) {
    Gdiplus::Rect result(0, 0, 0, 0);
    if (!sideObject) return result;
    Gdiplus::Rect r = sideObject->GetDeviceRect();
    const int x = r.X, y = r.Y, w = r.Width, h = r.Height;
    const int s = sideObject->spineWidth;
    const int m = MarginOfOption(marginOption);
    const int p = w / 2;
    const bool wideOption = marginOption >= 5 && marginOption <= 8;
    if (panel == 0) panel = 1;

    if (sideObject->IsJewelBack() && wideOption) return Gdiplus::Rect(x + s, y - m, w - 2 * s, h + 2 * m);
    if (!sideObject->IsFoldedFrontCover() && !IsWrapBack(sideObject))
        return Gdiplus::Rect(x - m, y - m, w + 2 * m, h + 2 * m);
    if (sideObject->IsFoldedFrontCover()) {
        if (panel == 1) return Gdiplus::Rect(x + w - p, y - m, p + m, h + 2 * m);
        if (panel == 2) return Gdiplus::Rect(x - m, y - m, p + m, h + 2 * m);
        return Gdiplus::Rect(x, y - m, p, h + 2 * m);
    }
    // DVD and Blu-ray back covers: spineWidth is the width of each outer panel.
    if (panel == 1) {
        if (wideOption) return Gdiplus::Rect(x + s, y - m, w - s + m, h + 2 * m);
        return Gdiplus::Rect(x + w - s, y - m, s + m, h + 2 * m);
    }
    if (panel == 2) return Gdiplus::Rect(x - m, y - m, s + m, h + 2 * m);
    return Gdiplus::Rect(x, y - m, p, h + 2 * m);
}

int KorvanelleDocument::GetBackgroundPanel(const ViewObject* image) const {
    if (!image) return 1;
    const ViewObject* sideObject = FindObject(image->sideName);
    if (!sideObject) return 1;
    const int imageCenterX = image->left + image->width / 2;
    const int sideCenterX = sideObject->left + sideObject->width / 2;
    if (sideObject->IsFoldedFrontCover() && imageCenterX < sideCenterX) return 2;
    if (IsWrapBack(sideObject) && imageCenterX < sideObject->left + sideObject->spineWidth) return 2;
    return 1;
}

void KorvanelleDocument::FindBackgroundFit(const ViewObject* object, int& panel, int& marginOption) const {
    panel = 1;
    marginOption = 0;
    if (!object || !object->IsImage()) return;
    const ViewObject* sideObject = FindObject(object->sideName);
    if (!sideObject) return;
    panel = GetBackgroundPanel(object);
    Gdiplus::Rect own = object->GetDeviceRect();
    for (int option = 1; option <= 8; ++option) {
        Gdiplus::Rect r = GetMarginRect(sideObject, panel, option);
        if (r.X == own.X && r.Y == own.Y && r.Width == own.Width && r.Height == own.Height) {
            marginOption = option;
            return;
        }
    }
}

ViewObject* KorvanelleDocument::FindBackgroundImage(const ViewObject* object) const {
    if (!object) return nullptr;
    const int panel = GetBackgroundPanel(object);
    return FindObjectIf([&](const ViewObject* o) {
        return o->IsImage() && o->sideName == object->sideName && o->bBackground == panel;
    });
}

bool KorvanelleDocument::IsBackgroundFullSide(const ViewObject* sideObject) const {
    if (!sideObject) sideObject = GetFirstSelected();
    if (!sideObject) return false;
    const ViewObject* background = FindBackgroundImage(sideObject);
    if (!background) return false;
    CRect image = background->GetDeviceBounds();
    CRect area = sideObject->GetDeviceBounds();
    if (sideObject->IsBackCover()) {
        area.left += sideObject->spineWidth;
        area.right -= sideObject->spineWidth;
    } else if (sideObject->IsFoldedFrontCover()) {
        area.left += sideObject->width / 2;
    }
    return image.left - 2 <= area.left && image.top - 2 <= area.top && image.right + 2 >= area.right &&
           image.bottom + 2 >= area.bottom;
}

void KorvanelleDocument::RefitSideObjects(ViewObject* oldSide, ViewObject* newSide, bool cover,
                                          const std::vector<ViewObject*>& aside) {
    GuardOperation(630, [&] {
        if (!oldSide || !newSide) return;
        Gdiplus::Rect o = oldSide->GetDeviceRect();
        Gdiplus::Rect n = newSide->GetDeviceRect();
        const bool oldFolded = oldSide->IsFoldedFrontCover();
        const bool newFolded = newSide->IsFoldedFrontCover();
        if (oldFolded != newFolded) {
            if (newFolded)
                o = Gdiplus::Rect(o.X - o.Width, o.Y, 2 * o.Width, o.Height);
            else
                o = Gdiplus::Rect(o.X + o.Width / 2, o.Y, o.Width / 2, o.Height);
        }
        Gdiplus::Size fitted = FitSize(o.Width, o.Height, n.Width, n.Height, cover);
        // A side without extent gives no scale to map its objects with.
        if (o.Width == 0) return;
        const double scale = static_cast<double>(fitted.Width) / o.Width;
        const int x0 = n.X + (n.Width - fitted.Width) / 2;
        const int y0 = n.Y + (n.Height - fitted.Height) / 2;
        const CString oldName = oldSide->name;

        const auto refit = [&](ViewObject* obj) {
            if (obj->IsSide() || obj->sideName != oldName) return;
            obj->needsLayout = 1;
            if (obj->IsFrontCoverInside() && newSide->IsFrontCover()) {
                obj->CopyGeometry(newSide);
                if (newFolded)
                    obj->width = newSide->width / 2;
                else
                    obj->left = newSide->left - newSide->width;
            } else if (obj->IsLeftTab() && newSide->IsBackCover()) {
                obj->CopyGeometry(newSide);
                obj->width = newSide->spineWidth;
            } else if (obj->IsRightTab() && newSide->IsBackCover()) {
                obj->CopyGeometry(newSide);
                obj->left = newSide->GetRight() - newSide->spineWidth;
                obj->width = newSide->spineWidth;
            } else {
                Gdiplus::RectF r = obj->GetRectF();
                Gdiplus::RectF scaled =
                    ScaleRectF(r, scale, scale, static_cast<float>(-o.X), static_cast<float>(-o.Y), 0, 0);
                Gdiplus::Rect rounded = RoundRectF(scaled);
                obj->left = rounded.X + x0;
                obj->top = rounded.Y + y0;
                obj->width = rounded.Width;
                obj->height = rounded.Height;
            }
        };
        ForEachObject(refit);
        for (ViewObject* obj : aside) refit(obj);
    });
}

void KorvanelleDocument::ApplyPendingGeometry(LabelTemplate* labelTemplate, const std::vector<ViewObject*>& aside) {
    GuardOperation(631, [&] {
        if (!labelTemplate) return;
        for (int k = 0; k < labelTemplate->GetObjectCount(); ++k) {
            ViewObject* model = labelTemplate->GetObject(k);
            if (!model) continue;
            ViewObject* namesake = FindObject(model->name);
            if (!namesake) continue;
            if (namesake->IsSide()) {
                if (namesake->pendingGeometry) {
                    // Back to the first shape (covering, the inverse of fitting inside) ...
                    RefitSideObjects(namesake, namesake->pendingGeometry, true, aside);
                    namesake->CopyGeometry(namesake->pendingGeometry);
                } else {
                    ViewObject* first = new ViewObject;
                    first->CopyFrom(namesake, false, false, false);
                    namesake->pendingGeometry = first;
                }
                // ... and from there to the new one, so that repeated changes do not drift.
                RefitSideObjects(namesake->pendingGeometry, model, false, aside);
            }
            namesake->CopyGeometry(model);
        }
    });
}

void KorvanelleDocument::SetDiscLayout(int layout) {
    GuardOperation(632, [&] {
        for (INT_PTR i = 0; i < templates.GetSize(); ++i) {
            LabelTemplate* t = templates[i];
            if (!t) continue;
            AddSecondDiscObjects(t, layout);
            t->SetLayout(layout);
        }
        LabelTemplate* disc = GetDiscTemplate();
        if (disc && disc->IsSingleDiscLayout() && currentSideName == "Disc 2") {
            currentSideName = "Disc 1";
            cachedSide = nullptr;
            cachedPage = nullptr;
        }
    });
}

void KorvanelleDocument::AddSecondDiscObjects(LabelTemplate* labelTemplate, int layout) {
    GuardOperation(633, [&] {
        if (!labelTemplate || layout < 3 || layout > 5) return;
        ViewObject* disc1 = labelTemplate->GetDisc(1);
        ViewObject* disc2 = labelTemplate->GetDisc(2);
        if (!disc1 || !disc2) return;
        for (int k = 0; k < labelTemplate->GetObjectCount(); ++k) {
            ViewObject* o = labelTemplate->GetObject(k);
            if (o && !o->IsSide() && o->sideName == "Disc 2") return;
        }
        const int dx = disc1->left - disc2->left;
        const int dy = disc1->top - disc2->top;
        std::vector<ViewObject*> copies;
        const int count = labelTemplate->GetObjectCount();
        for (int k = 0; k < count; ++k) {
            ViewObject* o = labelTemplate->GetObject(k);
            if (!o || o->IsSide() || o->sideName != "Disc 1") continue;
            ViewObject* copy = new ViewObject;
            copy->CopyFrom(o, false, true, false);
            copy->sideName = "Disc 2";
            CString copyName = BaseNameOf(copy->name);
            int discSuffix = copyName.Find(" - Disc");
            if (discSuffix >= 0) copyName = copyName.Left(discSuffix);
            if (copy->IsText() || copy->IsTrackList()) copyName += " - Disc 2";
            copy->name = copyName;
            copy->left -= dx;
            copy->top -= dy;
            copies.push_back(copy);
        }
        // Each copy's name is free among the design's and the copies named before it, as when each
        // was named and added in turn.
        AssignUniqueNames(copies);
        for (ViewObject* copy : copies) labelTemplate->AddObject(copy);
        SetSampleAlbumData(true);
        RefreshLinkedText();
    });
}
