// CLabelDim: one label stock of the oldest template library, "labels.ini" - page sizes, two item
// rectangles and a few extra values. Only read, and only to become a LabelTemplate.
#pragma once

#include <windows.h>

#include "framework/Core.h"

class LabelTemplate;

class CLabelDim : public CObject {
    DECLARE_SERIAL(CLabelDim)
public:
    CLabelDim();
    // Loading reads the record; storing writes nothing (the system never writes this file).
    void Serialize(CArchive& ar) override;
    // Deletes the objects in the array and fills it with the pages, discs or covers of the stock.
    void ToTemplate(CObArray& objects) const;

    int kind = 0;  // 0 disc-label stock, 2 DVD case stock, any other jewel case stock
    CString name;
    int firstPair[2] = {0, 0};  // [1]: the page of a case stock's back cover
    int pageSize[2] = {0, 0};   // page 1 of a disc stock, page 2 of a case stock
    int secondPageSize[2] = {0, 0};
    int leftA = 0, leftB = 0;
    int topA = 0, topB = 0;
    int widthA = 0, widthB = 0;
    int heightA = 0, heightB = 0;
    int folded = 0;
    int spineWidth = 0;
    RECT rects[6] = {};  // 1 and 2: the saved positions of the discs; 3 to 6 unused

private:
    // The objects of the stock, as the record has them.
    void MakeObjects(CObArray& objects) const;
};

// A template named after the record with the objects the record describes; a null record gives
// an empty template.
LabelTemplate* NewTemplateFromLabelDim(const CLabelDim* record);
