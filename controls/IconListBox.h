// CIconListBox: an owner-drawn list box with an icon per item from an image list that the owner
// keeps (the Read CD dialog's list of matches). Rows keep the classic look, take the selection
// colour in one of three highlight styles and show the dialog's texture while disabled.
#pragma once

#include "controls/AeroListImage.h"
#include "framework/Win.h"

class CIconListBox : public CListBox {
    DECLARE_DYNAMIC(CIconListBox)
public:
    CIconListBox();
    ~CIconListBox() override;

    BYTE m_blankWhenDisabled = 0;

    // The list does not own the image list; it must outlive the list. Null removes the icons.
    void SetImageList(CImageList* imageList);
    int AddString(LPCTSTR text, int imageIndex);
    int SetItemRecord(int index, DWORD w0, DWORD w1, DWORD imageIndex, DWORD flags, DWORD mask);
    void FreeItemData(int index);
    void ResetContent();
    // 0: icon column and text area take the selection colour; 1: only the text area;
    // 2: only the text's own rectangle. Other values are ignored.
    void SetHighlightStyle(int style, BOOL redraw);
    int GetHighlightStyle() const { return m_highlightStyle; }
    ListItemRecord* GetRecord(int index) const;

    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    void MeasureItem(LPMEASUREITEMSTRUCT measureItem) override;
    virtual void DrawTextBackground(int index, CDC* dc, const RECT& itemRect, const RECT& fillRect,
                                    int reserved, BOOL selected, COLORREF colour);
    virtual void DrawIconBackground(int index, CDC* dc, const RECT& itemRect, const RECT& iconRect,
                                    int reserved, BOOL selected, COLORREF colour);
    virtual void DrawItemIcon(int index, CDC* dc, const RECT& itemRect, const RECT& iconRect, int imageIndex,
                              BOOL disabled, BOOL selected);

    void OnDestroy();
    BOOL OnDoubleClick();
    BOOL OnEraseBkgnd(CDC* dc);

    DECLARE_MESSAGE_MAP()

private:
    void FreeAllRecords();

    BYTE m_highlightStyle = 0;
    CImageList* m_imageList = nullptr;
    int m_iconWidth = 0;
    int m_iconHeight = 0;
};
