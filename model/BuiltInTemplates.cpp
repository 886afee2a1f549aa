// The label templates built into the program, made from their rows (model/BuiltInTemplates.h),
// the names of custom templates and of the startup designs, and a design
// made from a disc template and a cover template.
#include "model/KorvanelleDocument.h"

#include <cstdlib>
#include <cstring>

#include "model/BuiltInTemplates.h"
#include "model/PageSizes.h"

namespace {

// A boundary strip copied from a cover: it keeps the cover's owner side name, so it moves with it.
ViewObject* NewBoundaryFrom(const ViewObject* cover, const char* objectName) {
    ViewObject* o = new ViewObject;
    o->CopyFrom(const_cast<ViewObject*>(cover), false, false, false);
    o->type = kObjectBoundary;
    o->name = objectName;
    return o;
}

// The objects of a plain-paper case: a folded front cover on a landscape page 2 and the back
// cover with its spine on page 3.
void AddCaseObjects(LabelTemplate* t, const BuiltInTemplate& row) {
    const int pw = g_paperDims[0][0], ph = g_paperDims[0][1];
    const bool uprightBackPage = row.pages == kBuiltInCaseUpright;
    t->AddObject(NewViewObject(kObjectPage, "Page 2", 2, "Page 2", 0, 0, ph, pw));
    t->AddObject(NewViewObject(kObjectPage, "Page 3", 3, "Page 3", 0, 0, uprightBackPage ? pw : ph,
                               uprightBackPage ? ph : pw));
    const BuiltInRect& front = row.first;
    ViewObject* frontCover = NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", front.left,
                                           front.top, front.width, front.height);
    frontCover->bFolded = 1;
    t->AddObject(frontCover);
    const BuiltInRect& back = row.second;
    ViewObject* backCover = NewViewObject(row.caseKind, "Back Cover", 3, "Back Cover", back.left, back.top,
                                          back.width, back.height);
    backCover->spineWidth = row.spineWidth;
    t->AddObject(backCover);
}

// A disc label on the plain paper: the page and the two discs.
void AddDiscObjects(LabelTemplate* t, const BuiltInTemplate& row) {
    const int pw = g_paperDims[0][0], ph = g_paperDims[0][1];
    t->AddObject(NewViewObject(kObjectPage, "Page 1", 1, "Page 1", 0, 0, pw, ph));
    for (const BuiltInRect* disc : {&row.first, &row.second}) {
        const char* name = disc == &row.first ? "Disc 1" : "Disc 2";
        t->AddObject(
            NewViewObject(kObjectDisc, name, 1, name, disc->left, disc->top, disc->width, disc->height));
    }
}

// The disc printer's page with two discs centred on it (the second a copy of the first).
void AddCenteredDiscObjects(LabelTemplate* t) {
    // The disc-printer page is the sixth entry of the paper table.
    const int lw = g_paperDims[5][0], lh = g_paperDims[5][1];
    const float* g = g_lightScribeGeometry;
    t->AddObject(NewViewObject(kObjectPage, "Page 1", 1, "Page 1", 0, 0, lw, lh));
    const int left = static_cast<int>(static_cast<float>(lw) - g[2]) / 2;
    const int top = static_cast<int>(static_cast<float>(lh) - g[3]) / 2;
    ViewObject* disc1 = NewViewObject(kObjectDisc, "Disc 1", 1, "Disc 1", left, top, static_cast<int>(g[2]),
                                      static_cast<int>(g[6]));
    disc1->savedLeft = 1;
    disc1->savedTop = 1;
    disc1->textMargin = 50;
    t->AddObject(disc1);
    ViewObject* disc2 = new ViewObject;
    disc2->CopyFrom(disc1, false, false, false);
    disc2->name = "Disc 2";
    disc2->sideName = "Disc 2";
    t->AddObject(disc2);
}

bool HoldsCaseKind(const LabelTemplate& t, int caseKind) {
    switch (caseKind) {
        case kCaseDisc:
            return t.HasDisc();
        case kCaseJewel:
            return t.HasJewelBack();
        case kCaseDvd:
            return t.HasDvdBack();
        case kCaseBluray:
            return t.HasBlurayBack();
        default:
            return false;
    }
}

}  // namespace

const BuiltInTemplate& FirstBuiltInTemplate(int caseKind) {
    for (const BuiltInTemplate& row : kBuiltInTemplates)
        if (row.caseKind == caseKind) return row;
    return kBuiltInTemplates[0];
}

const BuiltInTemplate* FindBuiltInTemplate(const char* name) {
    for (const BuiltInTemplate& row : kBuiltInTemplates)
        if (std::strcmp(row.name, name) == 0) return &row;
    return nullptr;
}

bool HoldsBuiltInTemplate(const CLabelTemplateArray& library, const BuiltInTemplate& row) {
    for (INT_PTR i = 0; i < library.GetSize(); ++i) {
        const LabelTemplate* t = library[i];
        if (t && (row.presentByName ? t->name == row.name : HoldsCaseKind(*t, row.caseKind))) return true;
    }
    return false;
}

void KorvanelleDocument::AddBuiltInTemplate(const BuiltInTemplate& row) {
    GuardOperation(650, [&] {
        LabelTemplate* t = new LabelTemplate;
        t->name = row.name;
        templates.Add(t);
        switch (row.pages) {
            case kBuiltInLabelPage:
                AddDiscObjects(t, row);
                break;
            case kBuiltInDiscPrinter:
                AddCenteredDiscObjects(t);
                break;
            case kBuiltInCaseUpright:
            case kBuiltInCaseLandscape:
                AddCaseObjects(t, row);
                break;
        }
    });
}

void KorvanelleDocument::AddPlainDiscTemplate() {
    AddBuiltInTemplate(FirstBuiltInTemplate(kCaseDisc));
}

void KorvanelleDocument::AddJewelCaseTemplate() {
    AddBuiltInTemplate(FirstBuiltInTemplate(kCaseJewel));
}

void KorvanelleDocument::AddDvdCaseTemplate() {
    AddBuiltInTemplate(FirstBuiltInTemplate(kCaseDvd));
}

void KorvanelleDocument::AddBlurayCaseTemplate() {
    AddBuiltInTemplate(FirstBuiltInTemplate(kCaseBluray));
}

void KorvanelleDocument::AddLightScribeTemplate() {
    AddBuiltInTemplate(*FindBuiltInTemplate(kLightScribeTemplateName));
}

void KorvanelleDocument::CreateBuiltInTemplates() {
    GuardOperation(655, [&] {
        // The whole list is looked at before anything is added.
        bool missing[kBuiltInTemplateCount] = {};
        for (size_t i = 0; i < kBuiltInTemplateCount; ++i)
            missing[i] = !HoldsBuiltInTemplate(templates, kBuiltInTemplates[i]);
        for (size_t i = 0; i < kBuiltInTemplateCount; ++i)
            if (missing[i]) AddBuiltInTemplate(kBuiltInTemplates[i]);
    });
}

void KorvanelleDocument::AssignCustomTemplateName(LabelTemplate* labelTemplate) const {
    GuardOperation(656, [&] {
        if (!labelTemplate) return;
        CString base;
        if (labelTemplate->HasDisc())
            base = "Custom Disc Label";
        else if (labelTemplate->HasJewelBack())
            base = "Custom Jewel Case";
        else if (labelTemplate->HasDvdBack())
            base = "Custom DVD Case";
        else if (labelTemplate->HasBlurayBack())
            base = "Custom Blu-ray Case";
        else
            base = labelTemplate->name;
        long long highest = 0;
        for (INT_PTR i = 0; i < templates.GetSize(); ++i) {
            LabelTemplate* t = templates[i];
            if (!t || t->name.Left(base.GetLength()) != base) continue;
            long long number = std::strtoll(t->name.Mid(base.GetLength()), nullptr, 10);
            if (number > highest) highest = number;
        }
        if (highest > 0x7FFFFFFE) highest = 0x7FFFFFFE;
        CString newName;
        newName.Format("%s %d", base.GetString(), static_cast<int>(highest + 1));
        labelTemplate->name = newName;
    });
}

CString GetTemplateDocumentName(int caseKind, int layout) {
    const bool oneDisc = layout >= 0 && layout <= 2;
    switch (caseKind) {
        case kCaseJewel:
            return oneDisc ? "CD-Template-1-Disc.kvl" : "CD-Template-2-Disc.kvl";
        case kCaseDvd:
            return oneDisc ? "DVD-Template-1-Disc.kvl" : "DVD-Template-2-Disc.kvl";
        case kCaseBluray:
            return oneDisc ? "Bluray-Template-1-Disc.kvl" : "Bluray-Template-2-Disc.kvl";
        default:
            return CString();
    }
}

void KorvanelleDocument::CreateFromTemplates(const LabelTemplate* discTemplate,
                                             const LabelTemplate* coverTemplate) {
    GuardOperation(657, [&] {
        currentSideName = "Disc 1";
        cachedSide = nullptr;
        cachedPage = nullptr;
        if (discTemplate) discTemplateName = discTemplate->name;
        if (coverTemplate) coverTemplateName = coverTemplate->name;

        LabelTemplate* discCopy = CopyTemplateWithImages(discTemplate);
        LabelTemplate* coverCopy = CopyTemplateWithImages(coverTemplate);
        if (coverCopy) {
            // A cover template without a front or a back cover gets only the strips it can have.
            if (const ViewObject* front = coverCopy->GetFrontCover()) {
                ViewObject* inside = NewBoundaryFrom(front, "Front Cover (Inside)");
                if (front->IsFoldedFrontCover())
                    inside->width = front->width / 2;
                else
                    inside->left = front->left - front->width;
                coverCopy->AddObject(inside);
            }
            if (const ViewObject* back = coverCopy->GetBackCover()) {
                ViewObject* leftTab = NewBoundaryFrom(back, "Left Tab");
                leftTab->width = back->spineWidth;
                coverCopy->AddObject(leftTab);
                ViewObject* rightTab = NewBoundaryFrom(back, "Right Tab");
                rightTab->left = back->GetRight() - back->spineWidth;
                rightTab->width = back->spineWidth;
                coverCopy->AddObject(rightTab);
            }
        }
        if (discCopy) templates.Add(discCopy);
        if (coverCopy) templates.Add(coverCopy);
        // The samples follow the disc layout, known once the disc template is in the list.
        SetSampleAlbumData(false);
    });
}
