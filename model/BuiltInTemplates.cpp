// The label templates built in code (plain disc label, jewel, DVD and Blu-ray cases, the
// LightScribe disc), the names of custom templates and of the startup designs, and a design
// made from a disc template and a cover template.
#include "model/KorvanelleDocument.h"

#include <cstdlib>

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
// cover with its spine on page 3, upright for a jewel case's inlay and landscape otherwise.
// The rectangles are left, top, width, height.
void AddCaseObjects(LabelTemplate* t, bool uprightBackPage, const int (&front)[4], int backType,
                    const int (&back)[4], int spineWidth) {
    const int pw = g_paperDims[0][0], ph = g_paperDims[0][1];
    t->AddObject(NewViewObject(kObjectPage, "Page 2", 2, "Page 2", 0, 0, ph, pw));
    t->AddObject(NewViewObject(kObjectPage, "Page 3", 3, "Page 3", 0, 0, uprightBackPage ? pw : ph,
                               uprightBackPage ? ph : pw));
    ViewObject* frontCover =
        NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", front[0], front[1], front[2], front[3]);
    frontCover->bFolded = 1;
    t->AddObject(frontCover);
    ViewObject* backCover =
        NewViewObject(backType, "Back Cover", 3, "Back Cover", back[0], back[1], back[2], back[3]);
    backCover->spineWidth = spineWidth;
    t->AddObject(backCover);
}

}  // namespace

LabelTemplate* KorvanelleDocument::AddBuiltInTemplate(const char* templateName) {
    LabelTemplate* t = new LabelTemplate;
    t->name = templateName;
    templates.Add(t);
    return t;
}

void KorvanelleDocument::AddPlainDiscTemplate() {
    GuardOperation(650, [&] {
        LabelTemplate* t = AddBuiltInTemplate("(CD/DVD Disc Label - Generic)");
        const int pw = g_paperDims[0][0], ph = g_paperDims[0][1];
        t->AddObject(NewViewObject(kObjectPage, "Page 1", 1, "Page 1", 0, 0, pw, ph));
        t->AddObject(NewViewObject(kObjectDisc, "Disc 1", 1, "Disc 1", 1938, 688, 4625, 1600));
        t->AddObject(NewViewObject(kObjectDisc, "Disc 2", 1, "Disc 2", 1938, 5688, 4625, 1600));
    });
}

void KorvanelleDocument::AddJewelCaseTemplate() {
    GuardOperation(651, [&] {
        AddCaseObjects(AddBuiltInTemplate("(CD Jewel Case - Plain Paper)"), true, {800, 800, 9520, 4760},
                       kObjectJewel, {1300, 600, 5910, 4650}, 250);
    });
}

void KorvanelleDocument::AddDvdCaseTemplate() {
    GuardOperation(652, [&] {
        AddCaseObjects(AddBuiltInTemplate("(DVD Case - Plain Paper)"), false, {775, 746, 9449, 7008},
                       kObjectDvd, {145, 647, 10727, 7191}, 5079);
    });
}

void KorvanelleDocument::AddBlurayCaseTemplate() {
    GuardOperation(653, [&] {
        AddCaseObjects(AddBuiltInTemplate("(Blu-ray Case - Plain Paper)"), false, {850, 1191, 9292, 5876},
                       kObjectBluray, {217, 1191, 10572, 5876}, 5089);
    });
}

void KorvanelleDocument::AddLightScribeTemplate() {
    GuardOperation(654, [&] {
        LabelTemplate* t = AddBuiltInTemplate("LightScribe");
        // The disc-printer page is the sixth entry of the paper table.
        const int lw = g_paperDims[5][0], lh = g_paperDims[5][1];
        const float* g = g_lightScribeGeometry;
        t->AddObject(NewViewObject(kObjectPage, "Page 1", 1, "Page 1", 0, 0, lw, lh));
        const int left = static_cast<int>(static_cast<float>(lw) - g[2]) / 2;
        const int top = static_cast<int>(static_cast<float>(lh) - g[3]) / 2;
        ViewObject* disc1 = NewViewObject(kObjectDisc, "Disc 1", 1, "Disc 1", left, top,
                                          static_cast<int>(g[2]), static_cast<int>(g[6]));
        disc1->savedLeft = 1;
        disc1->savedTop = 1;
        disc1->textMargin = 50;
        t->AddObject(disc1);
        ViewObject* disc2 = new ViewObject;
        disc2->CopyFrom(disc1, false, false, false);
        disc2->name = "Disc 2";
        disc2->sideName = "Disc 2";
        t->AddObject(disc2);
    });
}

void KorvanelleDocument::CreateBuiltInTemplates() {
    GuardOperation(655, [&] {
        bool disc = false, jewel = false, dvd = false, lightScribe = false, bluray = false;
        for (INT_PTR i = 0; i < templates.GetSize(); ++i) {
            LabelTemplate* t = templates[i];
            if (!t) continue;
            disc = disc || t->HasDisc();
            jewel = jewel || t->HasJewelBack();
            dvd = dvd || t->HasDvdBack();
            lightScribe = lightScribe || t->name == "LightScribe";
            bluray = bluray || t->HasBlurayBack();
        }
        if (!disc) AddPlainDiscTemplate();
        if (!jewel) AddJewelCaseTemplate();
        if (!dvd) AddDvdCaseTemplate();
        if (!lightScribe) AddLightScribeTemplate();
        if (!bluray) AddBlurayCaseTemplate();
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
