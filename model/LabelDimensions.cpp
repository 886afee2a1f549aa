// The label-stock records of "labels.ini" and the label templates made from them.
#include "model/LabelDimensions.h"

#include "model/PageSizes.h"
#include "model/LabelTemplate.h"

IMPLEMENT_SERIAL(CLabelDim, CObject, 507 | VERSIONABLE_SCHEMA)

CLabelDim::CLabelDim() = default;

void CLabelDim::Serialize(CArchive& ar) {
    if (ar.IsStoring()) return;
    ar >> kind >> name;
    ar.EnsureRead(firstPair, sizeof firstPair);
    ar.EnsureRead(pageSize, sizeof pageSize);
    ar.EnsureRead(secondPageSize, sizeof secondPageSize);
    ar >> leftA >> leftB >> topA >> topB >> widthA >> widthB >> heightA >> heightB >> folded >> spineWidth;
    for (RECT& r : rects) ar >> r;
}

void CLabelDim::ToTemplate(CObArray& objects) const {
    for (INT_PTR i = 0; i < objects.GetSize(); ++i) DeleteViewObject(static_cast<ViewObject*>(objects[i]));
    objects.RemoveAll();
    MakeObjects(objects);
    // A stock's numbers come from a file like a design's, and are held to the same sheet: a
    // damaged stock of pages miles wide would otherwise reach every layout and picture of the
    // designs made from it.
    for (INT_PTR i = 0; i < objects.GetSize(); ++i) static_cast<ViewObject*>(objects[i])->LimitRecordValues();
}

void CLabelDim::MakeObjects(CObArray& objects) const {
    if (kind == 0) {
        objects.Add(NewViewObject(kObjectPage, "Page 1", 1, "Page 1", 0, 0, pageSize[0], pageSize[1]));
        ViewObject* disc1 = NewViewObject(kObjectDisc, "Disc 1", 1, "Disc 1", leftA, topA, widthA, heightA);
        ViewObject* disc2 = NewViewObject(kObjectDisc, "Disc 2", 1, "Disc 2", leftB, topB, widthB, heightB);
        disc1->textMargin = 50;
        disc2->textMargin = 50;
        // Stocks of the square disc-printer page remember where their discs were.
        if (pageSize[1] == g_paperDims[5][0]) {
            disc1->savedLeft = rects[0].left;
            disc1->savedTop = rects[0].top;
            disc2->savedLeft = rects[1].left;
            disc2->savedTop = rects[1].top;
        }
        objects.Add(disc1);
        objects.Add(disc2);
        return;
    }
    objects.Add(NewViewObject(kObjectPage, "Page 2", 2, "Page 2", 0, 0, pageSize[0], pageSize[1]));
    objects.Add(
        NewViewObject(kObjectPage, "Page 3", 3, "Page 3", 0, 0, secondPageSize[0], secondPageSize[1]));
    ViewObject* front =
        NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", leftA, topA, widthA, heightA);
    front->bFolded = folded;
    objects.Add(front);
    // The back cover lies on page 2 or page 3; a damaged page number puts it on page 3, where a
    // page is, rather than on a side no page shows.
    const int backPage = firstPair[1] == 2 ? 2 : 3;
    ViewObject* back = NewViewObject(kind == 2 ? kObjectDvd : kObjectJewel, "Back Cover", backPage,
                                     "Back Cover", leftB, topB, widthB, heightB);
    back->spineWidth = spineWidth;
    objects.Add(back);
}

LabelTemplate* NewTemplateFromLabelDim(const CLabelDim* record) {
    return new LabelTemplate(record);
}
