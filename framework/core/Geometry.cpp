#include "framework/core/Geometry.h"

void CRect::NormalizeRect() {
    if (left > right) {
        LONG t = left;
        left = right;
        right = t;
    }
    if (top > bottom) {
        LONG t = top;
        top = bottom;
        bottom = t;
    }
}

// The set operations treat right <= left or bottom <= top as empty, like the
// Win32 functions of the same names.
bool CRect::IntersectRect(LPCRECT a, LPCRECT b) {
    RECT r;
    r.left = a->left > b->left ? a->left : b->left;
    r.top = a->top > b->top ? a->top : b->top;
    r.right = a->right < b->right ? a->right : b->right;
    r.bottom = a->bottom < b->bottom ? a->bottom : b->bottom;
    bool emptyInput =
        a->left >= a->right || a->top >= a->bottom || b->left >= b->right || b->top >= b->bottom;
    if (emptyInput || r.left >= r.right || r.top >= r.bottom) {
        SetRectEmpty();
        return false;
    }
    CopyRect(&r);
    return true;
}

bool CRect::UnionRect(LPCRECT a, LPCRECT b) {
    bool aEmpty = a->left >= a->right || a->top >= a->bottom;
    bool bEmpty = b->left >= b->right || b->top >= b->bottom;
    if (aEmpty && bEmpty) {
        SetRectEmpty();
        return false;
    }
    if (aEmpty) {
        CopyRect(b);
        return true;
    }
    if (bEmpty) {
        CopyRect(a);
        return true;
    }
    RECT r;
    r.left = a->left < b->left ? a->left : b->left;
    r.top = a->top < b->top ? a->top : b->top;
    r.right = a->right > b->right ? a->right : b->right;
    r.bottom = a->bottom > b->bottom ? a->bottom : b->bottom;
    CopyRect(&r);
    return true;
}

bool CRect::SubtractRect(LPCRECT lpRectSrc1, LPCRECT lpRectSrc2) {
    RECT r;
    BOOL ok = ::SubtractRect(&r, lpRectSrc1, lpRectSrc2);
    CopyRect(&r);
    return ok != FALSE;
}
