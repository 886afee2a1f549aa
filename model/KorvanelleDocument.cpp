// The design document: its template list, its objects and sides, the selection and current
// side, and the operations that copy, merge and empty documents.
#include "model/KorvanelleDocument.h"

#include <cstdlib>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

IMPLEMENT_SERIAL(KorvanelleDocument, CObject, 507 | VERSIONABLE_SCHEMA)

CString BaseNameOf(const CString& objectName) {
    int bracket = objectName.Find('(');
    return bracket >= 0 ? objectName.Left(bracket) : objectName;
}

LabelTemplate* CopyTemplateWithImages(const LabelTemplate* source) {
    if (!source) return nullptr;
    LabelTemplate* copy = new LabelTemplate;
    copy->name = source->name;
    copy->layout = source->layout;
    for (int i = 0; i < source->GetObjectCount(); ++i) {
        ViewObject* from = source->GetObject(i);
        if (!from) continue;
        ViewObject* object = new ViewObject;
        object->CopyFrom(from, false, true, false);
        copy->AddObject(object);
    }
    return copy;
}

KorvanelleDocument::KorvanelleDocument() = default;

KorvanelleDocument::~KorvanelleDocument() = default;

// ---- template list ------------------------------------------------------------------------------

void KorvanelleDocument::AddTemplate(LabelTemplate* labelTemplate) {
    GuardOperation(3301, [&] {
        if (labelTemplate) templates.Add(labelTemplate);
    });
}

void KorvanelleDocument::RemoveTemplate(LabelTemplate* labelTemplate, bool deleteIt) {
    GuardOperation(601, [&] {
        for (INT_PTR i = 0; i < templates.GetSize(); ++i) {
            if (templates[i] == labelTemplate) {
                templates.RemoveAt(i);
                break;
            }
        }
        if (deleteIt) {
            DeleteLabelTemplate(labelTemplate);
            ForgetMissingObjects();
        }
    });
}

LabelTemplate* KorvanelleDocument::FindTemplate(const CString& templateName) const {
    for (INT_PTR i = 0; i < templates.GetSize(); ++i) {
        LabelTemplate* t = templates[i];
        if (t && t->name == templateName) return t;
    }
    return nullptr;
}

LabelTemplate* KorvanelleDocument::GetDiscTemplate() const {
    return FindTemplate(discTemplateName);
}

LabelTemplate* KorvanelleDocument::GetCoverTemplate() const {
    return FindTemplate(coverTemplateName);
}

int KorvanelleDocument::CountTemplatesOfKind(int caseKind) const {
    int count = 0;
    for (INT_PTR i = 0; i < templates.GetSize(); ++i)
        if (templates[i] && templates[i]->GetCaseKind() == caseKind) ++count;
    return count;
}

int KorvanelleDocument::GetDiscLayout() const {
    for (INT_PTR i = 0; i < templates.GetSize(); ++i)
        if (templates[i] && templates[i]->HasDisc()) return templates[i]->layout;
    return 0;
}

void KorvanelleDocument::RemoveEmptyImages() {
    GuardOperation(602, [&] {
        for (INT_PTR i = 0; i < templates.GetSize(); ++i)
            if (templates[i]) templates[i]->RemoveEmptyImages();
        ForgetMissingObjects();
    });
}

void KorvanelleDocument::DetachAllObjects() {
    GuardOperation(603, [&] {
        for (INT_PTR i = 0; i < templates.GetSize(); ++i)
            if (templates[i]) templates[i]->objects.RemoveAll();
    });
}

void KorvanelleDocument::RenameTemplates(const CString& discName, const CString& coverName) {
    GuardOperation(604, [&] {
        if (!discName.IsEmpty()) discTemplateName = discName;
        if (!coverName.IsEmpty()) coverTemplateName = coverName;
        for (INT_PTR i = 0; i < templates.GetSize(); ++i) {
            LabelTemplate* t = templates[i];
            if (!t) continue;
            if (!discName.IsEmpty() && t->HasDisc())
                t->name = discName;
            else if (!coverName.IsEmpty() && t->HasCover())
                t->name = coverName;
        }
    });
}

void KorvanelleDocument::FillTemplateCombo(HWND comboBox, int caseKind, const CString& selectName) const {
    GuardOperation(605, [&] {
        if (!comboBox) return;
        SendMessageA(comboBox, WM_SETREDRAW, FALSE, 0);
        CString wanted = selectName;
        if (wanted.IsEmpty()) wanted = caseKind == kCaseDisc ? discTemplateName : coverTemplateName;
        for (INT_PTR i = 0; i < templates.GetSize(); ++i) {
            LabelTemplate* t = templates[i];
            if (!t || t->GetCaseKind() != caseKind) continue;
            SendMessageA(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t->name.GetString()));
        }
        // A sorted box moves entries after each addition, so the index an addition returned is
        // not where the entry ends up; and the box's own search ignores case, while template
        // names are told apart byte for byte. The entry is found by its text once all are in.
        LRESULT selected = CB_ERR;
        const LRESULT count = SendMessageA(comboBox, CB_GETCOUNT, 0, 0);
        for (LRESULT at = 0; at < count && selected == CB_ERR; ++at) {
            const LRESULT length = SendMessageA(comboBox, CB_GETLBTEXTLEN, static_cast<WPARAM>(at), 0);
            if (length < 0) continue;
            std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
            SendMessageA(comboBox, CB_GETLBTEXT, static_cast<WPARAM>(at),
                         reinterpret_cast<LPARAM>(text.data()));
            if (wanted == text.data()) selected = at;
        }
        if (selected != CB_ERR) SendMessageA(comboBox, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
        SendMessageA(comboBox, WM_SETREDRAW, TRUE, 0);
    });
}

void KorvanelleDocument::ApplyDuplicateLayout() {
    GuardOperation(606, [&] {
        LabelTemplate* disc = GetDiscTemplate();
        if (disc) disc->ApplyDuplicateLayout();
    });
}

// ---- objects and sides ------------------------------------------------------------------------------

ViewObject* KorvanelleDocument::GetFrontCover() const {
    LabelTemplate* t = GetCoverTemplate();
    return t ? t->GetFrontCover() : nullptr;
}

ViewObject* KorvanelleDocument::GetBackCover() const {
    LabelTemplate* t = GetCoverTemplate();
    return t ? t->GetBackCover() : nullptr;
}

ViewObject* KorvanelleDocument::GetLeftTab() const {
    LabelTemplate* t = GetCoverTemplate();
    return t ? t->GetLeftTab() : nullptr;
}

ViewObject* KorvanelleDocument::GetRightTab() const {
    LabelTemplate* t = GetCoverTemplate();
    return t ? t->GetRightTab() : nullptr;
}

ViewObject* KorvanelleDocument::GetFrontCoverInside() const {
    LabelTemplate* t = GetCoverTemplate();
    return t ? t->GetFrontCoverInside() : nullptr;
}

ViewObject* KorvanelleDocument::GetDisc(int n) const {
    LabelTemplate* t = GetDiscTemplate();
    return t ? t->GetDisc(n) : nullptr;
}

bool KorvanelleDocument::IsDiscCentered() const {
    LabelTemplate* t = GetDiscTemplate();
    return t && t->IsDiscCentered();
}

bool KorvanelleDocument::IsLightScribeTemplate() const {
    LabelTemplate* t = GetDiscTemplate();
    return t && t->IsLightScribe();
}

bool KorvanelleDocument::IsSingleDiscLayout() const {
    LabelTemplate* t = GetDiscTemplate();
    return t && t->IsSingleDiscLayout();
}

bool KorvanelleDocument::IsTwoDiscLayout() const {
    LabelTemplate* t = GetDiscTemplate();
    return t && t->IsTwoDiscLayout();
}

bool KorvanelleDocument::IsDuplicateLayout() const {
    LabelTemplate* t = GetDiscTemplate();
    return t && t->IsDuplicateLayout();
}

bool KorvanelleDocument::AreCoversOnSamePage() const {
    LabelTemplate* t = GetCoverTemplate();
    return t && t->AreCoversOnSamePage();
}

bool KorvanelleDocument::HasJewelCase() const {
    LabelTemplate* t = GetCoverTemplate();
    return t && t->HasJewelBack();
}

bool KorvanelleDocument::HasDvdCase() const {
    LabelTemplate* t = GetCoverTemplate();
    return t && t->HasDvdBack();
}

bool KorvanelleDocument::HasBlurayCase() const {
    LabelTemplate* t = GetCoverTemplate();
    return t && t->HasBlurayBack();
}

void KorvanelleDocument::CollectObjects(LabelTemplate& list, bool currentOnly) const {
    list.objects.RemoveAll();
    for (INT_PTR i = 0; i < templates.GetSize(); ++i) {
        LabelTemplate* t = templates[i];
        if (!t) continue;
        if (currentOnly && t->name != discTemplateName && t->name != coverTemplateName) continue;
        if (t->HasDisc()) list.layout = t->layout;
        for (int k = 0; k < t->GetObjectCount(); ++k)
            if (t->GetObject(k)) list.objects.Add(t->GetObject(k));
    }
}

ViewObject* KorvanelleDocument::FindObject(const CString& objectName) const {
    return FindObjectIf([&](const ViewObject* o) { return o->name == objectName; });
}

ViewObject* KorvanelleDocument::FindPage(int sideIndex, bool currentOnly) const {
    for (INT_PTR i = 0; i < templates.GetSize(); ++i) {
        LabelTemplate* t = templates[i];
        if (!t) continue;
        if (currentOnly && t->name != discTemplateName && t->name != coverTemplateName) continue;
        ViewObject* page = t->FindPage(sideIndex);
        if (page) return page;
    }
    return nullptr;
}

void KorvanelleDocument::AddObject(ViewObject* object) {
    GuardOperation(607, [&] {
        if (!object) return;
        LabelTemplate* t = object->side == 1 ? GetDiscTemplate() : GetCoverTemplate();
        if (t) t->AddObject(object);
    });
}

void KorvanelleDocument::InsertObjectAfter(ViewObject* object, ViewObject* after) {
    GuardOperation(608, [&] {
        if (!object) return;
        LabelTemplate* t = object->side == 1 ? GetDiscTemplate() : GetCoverTemplate();
        if (t) t->InsertObjectAfter(object, after);
    });
}

void KorvanelleDocument::RemoveObject(ViewObject* object, bool deleteIt) {
    GuardOperation(609, [&] {
        if (!object) return;
        // The selection and the side caches must not keep a pointer to an object that goes.
        for (INT_PTR i = selection.GetSize() - 1; i >= 0; --i)
            if (selection[i] == object) selection.RemoveAt(i);
        if (cachedSide == object) cachedSide = nullptr;
        if (cachedPage == object) cachedPage = nullptr;
        bool removed = false;
        for (INT_PTR i = 0; i < templates.GetSize(); ++i) {
            LabelTemplate* t = templates[i];
            if (!t) continue;
            for (int k = 0; k < t->GetObjectCount(); ++k) {
                if (t->GetObject(k) == object) {
                    t->RemoveObject(object, false);
                    removed = true;
                    break;
                }
            }
        }
        // The object is deleted once, whichever template held it.
        if (deleteIt && removed) DeleteViewObject(object);
    });
}

Gdiplus::PointF KorvanelleDocument::GetOtherDiscOffset(const ViewObject* disc) const {
    Gdiplus::PointF offset(0, 0);
    if (!disc || !disc->IsDisc(-1)) return offset;
    const ViewObject* other = nullptr;
    if (disc->IsDisc(1))
        other = GetDisc(2);
    else if (disc->IsDisc(2))
        other = GetDisc(1);
    if (!other) return offset;
    // Disc 2 minus disc 1 for disc 1, disc 1 minus disc 2 for disc 2: always the other minus this.
    offset.X = static_cast<float>(other->left - disc->left);
    offset.Y = static_cast<float>(other->top - disc->top);
    return offset;
}

void KorvanelleDocument::FreeImageCachesExceptSide(int sideIndex) {
    GuardOperation(610, [&] {
        ForEachObject([&](ViewObject* o) {
            if (o->IsImage() && o->side != sideIndex) o->FreeImageData(true);
        });
    });
}

void KorvanelleDocument::DetachImages() {
    GuardOperation(611, [&] {
        ForEachObject([](ViewObject* o) {
            o->image.Detach();
            o->decodedImage = nullptr;
            HslLock held(*o);
            o->adjustedImage = nullptr;
        });
    });
}

namespace {

// The names of a design's objects, counted, with the next free number of each numbering: one
// namer serves every rename of a pass over the design, so that a file full of namesakes costs
// time in proportion to its objects, not to their square.
class UniqueNamer {
public:
    explicit UniqueNamer(const LabelTemplate& all) {
        for (int k = 0; k < all.GetObjectCount(); ++k) ++m_count[all.GetObject(k)->name.str()];
    }

    // Cuts the object's name before its first "(" and gives it the first free "Text N" (free
    // texts) or "base(N)" (any other object). `counted`: the object is one of the design's, so
    // its present name is among the counted ones (an object about to be added is not).
    void Rename(ViewObject* object, bool counted) {
        const bool freeText = object->IsFreeText();
        if (counted) Drop(object->name.str());
        object->name = BaseNameOf(object->name);
        const std::string base = object->name.str();
        ++m_count[base];
        int& n = freeText ? m_nextText : m_nextByBase[base];
        if (n < 1) n = 1;
        std::string candidate;
        for (;; ++n) {
            candidate = freeText ? "Text " + std::to_string(n) : base + "(" + std::to_string(n) + ")";
            if (!Taken(candidate)) break;
        }
        Drop(base);
        object->name = candidate.c_str();
        ++m_count[candidate];
    }

    // A name counted as taken though no object holds it.
    void Hold(const std::string& name) { ++m_count[name]; }

private:
    bool Taken(const std::string& name) const {
        const auto found = m_count.find(name);
        return found != m_count.end() && found->second > 0;
    }
    // One holder less. A "Text N" nobody holds any more is free again for the free texts.
    void Drop(const std::string& name) {
        const auto found = m_count.find(name);
        if (found == m_count.end() || --found->second > 0) return;
        if (name.compare(0, 5, "Text ") == 0 && name.size() > 5 && name[5] >= '1' && name[5] <= '9' &&
            name.size() < 15 && name.find_first_not_of("0123456789", 5) == std::string::npos) {
            const int n = std::atoi(name.c_str() + 5);
            if (n < m_nextText) m_nextText = n;
        }
    }

    std::unordered_map<std::string, int> m_count;
    std::unordered_map<std::string, int> m_nextByBase;
    int m_nextText = 1;
};

}  // namespace

void KorvanelleDocument::AssignUniqueName(ViewObject* object) {
    AssignUniqueNames(std::vector<ViewObject*>(1, object));
}

void KorvanelleDocument::AssignUniqueNames(const std::vector<ViewObject*>& objects) {
    GuardOperation(612, [&] {
        LabelTemplate all;
        CollectObjects(all, false);
        UniqueNamer namer(all);
        for (const CString& held : heldNames) namer.Hold(held.str());
        std::unordered_set<const ViewObject*> inDesign;
        for (int k = 0; k < all.GetObjectCount(); ++k) inDesign.insert(all.GetObject(k));
        all.objects.RemoveAll();
        for (ViewObject* object : objects)
            if (object) namer.Rename(object, inDesign.count(object) != 0);
    });
}

void KorvanelleDocument::MakeNamesUnique() {
    GuardOperation(613, [&] {
        LabelTemplate all;
        CollectObjects(all, false);
        // Namesakes by name, the names in the order they first appear. The first holder of a name
        // keeps it; the others are renamed in list order, name by name. A new name is free
        // among all names, so no rename can make a new namesake.
        std::unordered_map<std::string, std::vector<ViewObject*>> holders;
        std::vector<const std::vector<ViewObject*>*> order;
        for (int k = 0; k < all.GetObjectCount(); ++k) {
            ViewObject* o = all.GetObject(k);
            std::vector<ViewObject*>& list = holders[o->name.str()];
            if (list.empty()) order.push_back(&list);
            list.push_back(o);
        }
        UniqueNamer namer(all);
        all.objects.RemoveAll();
        for (const std::vector<ViewObject*>* list : order)
            for (size_t j = 1; j < list->size(); ++j) namer.Rename((*list)[j], true);
    });
}

void KorvanelleDocument::ForgetMissingObjects() {
    LabelTemplate all;
    CollectObjects(all, false);
    auto present = [&](const ViewObject* o) {
        for (int k = 0; k < all.GetObjectCount(); ++k)
            if (all.GetObject(k) == o) return true;
        return false;
    };
    for (INT_PTR i = selection.GetSize() - 1; i >= 0; --i)
        if (!present(selection[i])) selection.RemoveAt(i);
    if (cachedSide && !present(cachedSide)) cachedSide = nullptr;
    if (cachedPage && !present(cachedPage)) cachedPage = nullptr;
    all.objects.RemoveAll();
}

// ---- selection and current side ---------------------------------------------------------------------

void KorvanelleDocument::ClearSelection() {
    selection.RemoveAll();
    cachedSide = nullptr;
    cachedPage = nullptr;
}

ViewObject* KorvanelleDocument::GetFirstSelected() const {
    return selection.GetSize() > 0 ? selection[0] : nullptr;
}

void KorvanelleDocument::SelectObjectByName(const CString& objectName) {
    GuardOperation(614, [&] {
        ClearSelection();
        LabelTemplate all;
        CollectObjects(all, false);
        ViewObject* found = nullptr;
        for (int k = 0; k < all.GetObjectCount(); ++k) {
            if (all.GetObject(k)->name == objectName) {
                found = all.GetObject(k);
                break;
            }
        }
        if (found) {
            selection.Add(found);
            if (!found->IsPage(-1)) currentSideName = found->sideName;
            if ((found->IsText() || found->IsTrackList()) && found->bLinkText) {
                CString base = BaseNameOf(found->name);
                for (int k = 0; k < all.GetObjectCount(); ++k) {
                    ViewObject* o = all.GetObject(k);
                    if (o == found || !o->bLinkText || o->name == objectName) continue;
                    if (BaseNameOf(o->name) == base) selection.Add(o);
                }
            }
        }
        all.objects.RemoveAll();
    });
}

ViewObject* KorvanelleDocument::GetCurrentSide() {
    if (cachedSide && !cachedSide->name.IsEmpty() && cachedSide->name == currentSideName) return cachedSide;
    cachedSide = nullptr;
    cachedSide = FindObject(currentSideName);
    return cachedSide;
}

ViewObject* KorvanelleDocument::GetCurrentPage() {
    ViewObject* sideObject = GetCurrentSide();
    if (!sideObject) return nullptr;
    if (cachedPage && cachedPage->side == sideObject->side) return cachedPage;
    // No page of the side index: nothing rather than a page of another side.
    cachedPage = FindPage(sideObject->side, false);
    return cachedPage;
}

int KorvanelleDocument::GetCurrentSideIndex() {
    ViewObject* sideObject = GetCurrentSide();
    return sideObject ? sideObject->side : 0;
}

void KorvanelleDocument::SetCurrentSideIndex(int sideIndex) {
    GuardOperation(615, [&] {
        if (GetCurrentSideIndex() == sideIndex) return;
        LabelTemplate current;
        CollectObjects(current, true);
        for (int k = 0; k < current.GetObjectCount(); ++k) {
            ViewObject* o = current.GetObject(k);
            if (o->IsSide() && o->side == sideIndex) {
                currentSideName = o->name;
                cachedSide = o;
                cachedPage = nullptr;
                break;
            }
        }
        current.objects.RemoveAll();
    });
}

bool KorvanelleDocument::IsCurrentDiscDuplicated() {
    ViewObject* sideObject = GetCurrentSide();
    return sideObject && sideObject->IsDisc(-1) && IsDuplicateLayout();
}

bool KorvanelleDocument::IsCurrentDiscCentered() {
    ViewObject* sideObject = GetCurrentSide();
    return sideObject && sideObject->IsDisc(-1) && IsDiscCentered();
}

// ---- whole document ---------------------------------------------------------------------------------

void KorvanelleDocument::DeleteContents(bool deleteTemplates) {
    GuardOperation(616, [&] {
        currentSideName.Empty();
        albumInfo.Clear();
        if (deleteTemplates) {
            for (INT_PTR i = 0; i < templates.GetSize(); ++i) DeleteLabelTemplate(templates[i]);
        }
        templates.RemoveAll();
        BuildHeaderRecords(false);
        for (INT_PTR i = 0; i < oldObjects.GetSize(); ++i) DeleteViewObject(oldObjects[i]);
        oldObjects.RemoveAll();
        ClearSelection();
        for (INT_PTR i = 0; i < handleRegions.GetSize(); ++i) delete handleRegions[i];
        handleRegions.RemoveAll();
        ClearImagePool(deleteTemplates);
    });
}

void KorvanelleDocument::InitWithTemplate(const LabelTemplate* labelTemplate) {
    GuardOperation(617, [&] {
        // The document owns copies; the caller's template stays as it was, and the copies
        // made by an earlier call are released here.
        DeleteContents(true);
        if (!labelTemplate) return;
        LabelTemplate* copy = CopyTemplateWithImages(labelTemplate);
        discTemplateName = copy->name;
        coverTemplateName = copy->name;
        templates.Add(copy);
    });
}

void KorvanelleDocument::CopyFrom(KorvanelleDocument* other, bool deep, bool copyFlag) {
    GuardOperation(618, [&] {
        if (!other || other == this) return;
        DeleteContents(false);
        currentSideName = other->currentSideName;
        discTemplateName = other->discTemplateName;
        coverTemplateName = other->coverTemplateName;
        albumInfo.CopyFrom(other->albumInfo);
        for (INT_PTR i = 0; i < other->templates.GetSize(); ++i) {
            LabelTemplate* t = other->templates[i];
            if (!t) continue;
            templates.Add(deep ? new LabelTemplate(t, copyFlag) : t);
        }
        for (INT_PTR i = 0; i < other->selection.GetSize(); ++i) selection.Add(other->selection[i]);
        for (INT_PTR i = 0; i < other->imagePool.GetSize(); ++i) {
            IStreamObject* stream = other->imagePool[i];
            if (!stream) continue;
            if (deep) {
                IStreamObject* copy = new IStreamObject;
                copy->CopyFrom(stream->GetStream());
                imagePool.Add(copy);
            } else {
                imagePool.Add(stream);
            }
        }
    });
}

void KorvanelleDocument::MoveFrom(KorvanelleDocument* other) {
    GuardOperation(619, [&] {
        if (!other || other == this) return;
        DeleteContents(true);
        CopyFrom(other, false, false);
        other->DeleteContents(false);
    });
}

bool KorvanelleDocument::MergeTemplatesFrom(KorvanelleDocument* other) {
    bool moved = false;
    GuardOperation(620, [&] {
        // Merging a document into itself would free its own templates.
        if (!other || other == this) return;
        for (INT_PTR i = 0; i < other->templates.GetSize();) {
            LabelTemplate* t = other->templates[i];
            if (t && !FindTemplate(t->name)) {
                templates.Add(t);
                other->templates.RemoveAt(i);
                moved = true;
            } else {
                ++i;
            }
        }
        other->DeleteContents(true);
    });
    return moved;
}

void KorvanelleDocument::ClearImagePool(bool release) {
    GuardOperation(621, [&] {
        if (release) {
            for (INT_PTR i = 0; i < imagePool.GetSize(); ++i) {
                IStreamObject* stream = imagePool[i];
                if (!stream) continue;
                stream->Clear();
                delete stream;
            }
        }
        imagePool.RemoveAll();
    });
}

void KorvanelleDocument::AddToImagePool(IStreamObject* stream) {
    GuardOperation(622, [&] {
        if (stream) imagePool.Add(stream);
    });
}
