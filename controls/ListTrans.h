// CListTrans: a list view that shows the dialog's texture instead of itself while disabled (the
// Read CD dialog's track list). CGridHeader: the header of the track grid, which redraws its
// right edge so that the last column ends in a clean 3-D line.
#pragma once

#include "framework/Win.h"

class CListTrans : public CListCtrl {
    DECLARE_DYNAMIC(CListTrans)
public:
    void OnPaint();
    DECLARE_MESSAGE_MAP()
};

class CGridHeader : public CHeaderCtrl {
    DECLARE_DYNAMIC(CGridHeader)
public:
    void OnPaint();
    DECLARE_MESSAGE_MAP()
};
