// Label templates: finders, disc layouts, disc centring, copies and the file record.
#include "model/LabelTemplate.h"

#include <vector>

#include "model/PageSizes.h"
#include "model/LabelDimensions.h"

IMPLEMENT_SERIAL(LabelTemplate, CObject, 507 | VERSIONABLE_SCHEMA)

namespace {

const char* const kLayoutNames[6] = {
    "Layout1DiscTop", "Layout1DiscBottom", "Layout1DiscDuplicate",
    "Layout2DiscTop", "Layout2DiscBottom", "Layout2DiscDuplicate",
};

}  // namespace

LabelTemplate::LabelTemplate() = default;

LabelTemplate::LabelTemplate(LabelTemplate* source, bool shareImages) {
    CopyFrom(source, shareImages);
}

LabelTemplate::LabelTemplate(const CLabelDim* record) {
    if (!record) return;
    name = record->name;
    record->ToTemplate(objects);
}

LabelTemplate::~LabelTemplate() = default;

CString LabelTemplate::LayoutName(int value) {
    if (value < 0 || value > 5) value = 0;
    return kLayoutNames[value];
}

int LabelTemplate::LayoutFromName(const CString& layoutName, int oldCode) {
    if (oldCode < 1) {
        for (int i = 0; i < 6; ++i)
            if (layoutName == kLayoutNames[i]) return i;
        return 0;
    }
    switch (oldCode) {
        case 1:
            return 0;
        case 2:
            return 1;
        case 3:
            return 2;
        default:
            return 0;
    }
}

ViewObject* LabelTemplate::FindFirst(bool (*match)(const ViewObject*)) const {
    for (INT_PTR i = 0; i < objects.GetSize(); ++i) {
        ViewObject* o = static_cast<ViewObject*>(objects[i]);
        if (o && match(o)) return o;
    }
    return nullptr;
}

ViewObject* LabelTemplate::FindPage(int sideIndex) const {
    for (INT_PTR i = 0; i < objects.GetSize(); ++i) {
        ViewObject* o = static_cast<ViewObject*>(objects[i]);
        if (o && o->type == kObjectPage && o->side == sideIndex) return o;
    }
    return nullptr;
}

ViewObject* LabelTemplate::GetDisc(int n) const {
    for (INT_PTR i = 0; i < objects.GetSize(); ++i) {
        ViewObject* o = static_cast<ViewObject*>(objects[i]);
        if (o && o->IsDisc(n)) return o;
    }
    return nullptr;
}

ViewObject* LabelTemplate::GetFrontCover() const {
    return FindFirst([](const ViewObject* o) { return o->IsFrontCover(); });
}

ViewObject* LabelTemplate::GetBackCover() const {
    return FindFirst([](const ViewObject* o) { return o->IsBackCover(); });
}

ViewObject* LabelTemplate::GetLeftTab() const {
    return FindFirst([](const ViewObject* o) { return o->IsLeftTab(); });
}

ViewObject* LabelTemplate::GetRightTab() const {
    return FindFirst([](const ViewObject* o) { return o->IsRightTab(); });
}

ViewObject* LabelTemplate::GetFrontCoverInside() const {
    return FindFirst([](const ViewObject* o) { return o->IsFrontCoverInside(); });
}

bool LabelTemplate::HasJewelBack() const {
    return FindFirst([](const ViewObject* o) { return o->IsJewelBack(); }) != nullptr;
}

bool LabelTemplate::HasDvdBack() const {
    return FindFirst([](const ViewObject* o) { return o->IsDvdBack(); }) != nullptr;
}

bool LabelTemplate::HasBlurayBack() const {
    return FindFirst([](const ViewObject* o) { return o->IsBlurayBack(); }) != nullptr;
}

bool LabelTemplate::HasCover() const {
    return FindFirst([](const ViewObject* o) { return o->IsCover(); }) != nullptr;
}

int LabelTemplate::GetCaseKind() const {
    for (INT_PTR i = 0; i < objects.GetSize(); ++i) {
        const ViewObject* o = static_cast<ViewObject*>(objects[i]);
        if (!o) continue;
        if (o->IsJewelBack()) return kObjectJewel;
        if (o->IsDvdBack()) return kObjectDvd;
        if (o->IsBlurayBack()) return kObjectBluray;
        if (o->IsDisc(-1)) return kObjectDisc;
    }
    return kObjectJewel;
}

bool LabelTemplate::AreCoversOnSamePage() const {
    const ViewObject* front = GetFrontCover();
    const ViewObject* back = GetBackCover();
    return front && back && front->side == back->side;
}

bool LabelTemplate::IsFrontCoverFolded() const {
    const ViewObject* front = GetFrontCover();
    return front && front->bFolded != 0;
}

bool LabelTemplate::IsDiscCentered() const {
    const ViewObject* disc = GetDisc(-1);
    return disc && disc->HasSavedPosition();
}

void LabelTemplate::InsertObjectAfter(ViewObject* object, ViewObject* after) {
    for (INT_PTR i = 0; i < objects.GetSize(); ++i) {
        if (objects[i] == after) {
            objects.InsertAt(i + 1, object);
            return;
        }
    }
    objects.Add(object);
}

void LabelTemplate::RemoveObject(ViewObject* object, bool deleteIt) {
    GuardOperation(550, [&] {
        for (INT_PTR i = 0; i < objects.GetSize(); ++i) {
            if (objects[i] == object) {
                objects.RemoveAt(i);
                break;
            }
        }
        if (deleteIt) DeleteViewObject(object);
    });
}

void LabelTemplate::RemoveEmptyImages() {
    GuardOperation(551, [&] {
        for (INT_PTR i = objects.GetSize() - 1; i >= 0; --i) {
            ViewObject* o = static_cast<ViewObject*>(objects[i]);
            if (o && o->IsImage() && o->image.IsEmpty()) {
                objects.RemoveAt(i);
                DeleteViewObject(o);
            }
        }
    });
}

void LabelTemplate::DeleteObjects() {
    for (INT_PTR i = 0; i < objects.GetSize(); ++i) DeleteViewObject(static_cast<ViewObject*>(objects[i]));
    objects.RemoveAll();
}

void LabelTemplate::MoveOnSide(const CString& sideArea, int dx, int dy, bool includeSides) {
    for (INT_PTR i = 0; i < objects.GetSize(); ++i) {
        ViewObject* o = static_cast<ViewObject*>(objects[i]);
        if (!o || o->sideName != sideArea) continue;
        if (!includeSides && (o->IsDisc(-1) || o->IsCover())) continue;
        o->left += dx;
        o->top += dy;
    }
}

void LabelTemplate::SetLayout(int value) {
    GuardOperation(552, [&] {
        layout = value;
        ViewObject* disc1 = GetDisc(1);
        ViewObject* disc2 = GetDisc(2);
        if (disc1 && !disc2) return;
        if (disc1 && disc2) {
            bool exchange = false;
            if (value == 0 || value == 4)
                exchange = disc1->top > disc2->top;
            else if (value == 1 || value == 3)
                exchange = disc1->top < disc2->top;
            if (exchange) {
                int dx = disc1->left - disc2->left;
                int dy = disc1->top - disc2->top;
                // Every object is moved once: the ones on Disc 1 to Disc 2's place and back.
                for (INT_PTR i = 0; i < objects.GetSize(); ++i) {
                    ViewObject* o = static_cast<ViewObject*>(objects[i]);
                    if (!o) continue;
                    if (o->sideName == "Disc 1") {
                        o->left -= dx;
                        o->top -= dy;
                    } else if (o->sideName == "Disc 2") {
                        o->left += dx;
                        o->top += dy;
                    }
                }
            }
        }
        bool twoDiscs = value >= 3 && value <= 5;
        for (INT_PTR i = 0; i < objects.GetSize(); ++i) {
            ViewObject* o = static_cast<ViewObject*>(objects[i]);
            if (!o || !(o->IsText() || o->IsTrackList())) continue;
            if (!twoDiscs) {
                o->name.Replace(" - Disc 1", "");
            } else if (o->name.Find(" - Disc") < 0) {
                o->name.Replace("(", " - Disc 1(");
            }
        }
    });
}

void LabelTemplate::ApplyDuplicateLayout() {
    GuardOperation(553, [&] {
        if (layout != 2 && layout != 5) return;
        ViewObject* disc1 = GetDisc(1);
        ViewObject* disc2 = GetDisc(2);
        if (!disc1 || !disc2) return;
        int duplicate = layout;
        if (disc1->top > disc2->top)
            SetLayout(duplicate == 5 ? 4 : 0);
        else
            SetLayout(duplicate == 5 ? 3 : 1);
        layout = duplicate;
    });
}

void LabelTemplate::CenterDiscs(bool center, bool letterPage) {
    GuardOperation(554, [&] {
        ViewObject* disc1 = GetDisc(1);
        if (!disc1) return;
        if (center && !disc1->HasSavedPosition()) {
            disc1->savedLeft = disc1->left;
            disc1->savedTop = disc1->top;
        }
        const int* paper = letterPage ? g_paperDims[0] : g_paperDims[5];
        for (INT_PTR i = 0; i < objects.GetSize(); ++i) {
            ViewObject* o = static_cast<ViewObject*>(objects[i]);
            if (!o) continue;
            if (o->IsPage(-1)) {
                if (center) {
                    o->width = paper[0];
                    o->height = paper[1];
                }
                continue;
            }
            if (!o->IsDisc(-1)) continue;
            int oldLeft = o->left, oldTop = o->top;
            if (center) {
                if (!o->HasSavedPosition()) {
                    o->savedLeft = o->left;
                    o->savedTop = o->top;
                }
                if (letterPage) {
                    o->left = disc1->savedLeft;
                    o->top = disc1->savedTop;
                } else {
                    o->left = (5500 - o->width) / 2;
                    o->top = (5500 - o->width) / 2;
                }
            } else {
                if (!o->HasSavedPosition()) continue;  // nothing to go back to
                o->left = o->savedLeft;
                o->top = o->savedTop;
                o->savedLeft = -1;
                o->savedTop = -1;
            }
            int dx = o->left - oldLeft, dy = o->top - oldTop;
            if (dx != 0 || dy != 0) MoveOnSide(o->name, dx, dy, false);
        }
    });
}

void LabelTemplate::CopyFrom(LabelTemplate* source, bool shareImages) {
    GuardOperation(555, [&] {
        if (!source || source == this) return;
        DeleteObjects();
        name = source->name;
        layout = source->layout;
        for (INT_PTR i = 0; i < source->objects.GetSize(); ++i) {
            ViewObject* from = static_cast<ViewObject*>(source->objects[i]);
            if (!from) continue;
            ViewObject* copy = new ViewObject;
            copy->CopyFrom(from, false, false, shareImages);
            objects.Add(copy);
        }
    });
}

void LabelTemplate::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << name << LayoutName(layout);
        objects.Serialize(ar);
        return;
    }
    CString layoutName;
    ar >> name >> layoutName;
    layout = LayoutFromName(layoutName, -1);
    // Only objects may stand in the list: a damaged file that names another class here (a
    // template, say, holding templates without end) fails before that record is read.
    DWORD_PTR count = ar.ReadCount();
    objects.RemoveAll();
    // A template that fails half-way is deleted by the archive without its objects: the ones it
    // made are freed here. One that only named an object read before is not this template's.
    std::vector<ViewObject*> made;
    try {
        for (DWORD_PTR i = 0; i < count; ++i) {
            const size_t before = ar.GetLoadedCount();
            CObject* o = ar.ReadObject(RUNTIME_CLASS(ViewObject));
            objects.Add(o);
            if (o && ar.GetLoadedCount() > before) made.push_back(static_cast<ViewObject*>(o));
        }
    } catch (...) {
        objects.RemoveAll();
        for (ViewObject* o : made) DeleteViewObject(o);
        throw;
    }
    // Only distinct objects belong in the list; a damaged file may name something else or the
    // same object twice, which would later be released twice.
    for (INT_PTR i = objects.GetSize() - 1; i >= 0; --i) {
        CObject* o = objects[i];
        bool keep = o && o->IsKindOf(RUNTIME_CLASS(ViewObject));
        for (INT_PTR j = 0; keep && j < i; ++j)
            if (objects[j] == o) keep = false;
        if (!keep) objects.RemoveAt(i);
    }
}

void DeleteLabelTemplate(LabelTemplate* labelTemplate) {
    if (!labelTemplate) return;
    labelTemplate->DeleteObjects();
    delete labelTemplate;
}
