// Trackbars of the editing bars. CJumpSliderCtrl jumps its thumb to the clicked place of the
// channel and lets the user drag from there, telling the parent through posted scroll messages
// with its own codes for the press (513) and the release (514). CSliderCustom paints itself
// (texture, groove, centre tick, image-list thumb that lights up under the cursor) and carries a
// small value edit at its right end that shows the value signed and lets the user type it.
#pragma once

#include "controls/EditTrans.h"
#include "framework/Win.h"

// The scroll codes the jump slider adds to the standard TB_ ones.
enum : UINT {
    kSliderCodePress = 513,
    kSliderCodeRelease = 514,
};

class CJumpSliderCtrl : public CSliderCtrl {
    DECLARE_DYNAMIC(CJumpSliderCtrl)
public:
    bool m_bDragging = false;

    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);

    DECLARE_MESSAGE_MAP()

protected:
    void NotifyParent(UINT code);
    // Moves the thumb to the place of the point; TRUE when the position changed.
    BOOL SetPosFromPoint(CPoint point);
};

class CSliderCustom : public CJumpSliderCtrl {
    DECLARE_DYNAMIC(CSliderCustom)
public:
    CSliderCustom();
    ~CSliderCustom() override;

    bool m_bKeepEditText = false;
    bool m_bBlankZero = true;

    void FocusEdit();
    void SetEditSel(int start, int end);
    void GetEditSel(int& start, int& end) const;
    void SetEditText(LPCTSTR text);
    CString GetEditText() const;
    void FreeBackground();
    void StepUp(int delta);
    void StepDown(int delta);
    void AnnounceValue();

    CEditTrans& GetEdit() { return m_edit; }
    bool HasBackground() const { return m_pBackground != nullptr; }
    BOOL IsThumbHot() const { return m_bThumbHot; }
    SIZE GetEditSize() const { return m_sizeEdit; }

    // Paints the slider's background under one of its children (the value edit), in the child's
    // client coordinates: the edit is transparent and shows the slider through it.
    void PaintBackgroundUnder(HWND child, HDC dc);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnCreate(LPCREATESTRUCT createStruct);
    void OnMouseMove(UINT flags, CPoint point);
    void OnMouseLeave();
    void OnDestroy();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnCustomDraw(NMHDR* header, LRESULT* result);

    DECLARE_MESSAGE_MAP()

private:
    void BuildBackground(HDC reference);
    void PaintBackground(HDC dc);
    void MeasureEdit();
    void DrawThumbImage(int image, int x, int y);
    void UpdateValueText();
    int EditNumber() const;

    CBitmap* m_pBackground = nullptr;
    BOOL m_bThumbHot = FALSE;
    CEditTrans m_edit;
    RECT m_rcEdit = {0, 0, 0, 0};
    SIZE m_sizeEdit = {0, 0};
    int m_backgroundWidth = 0;
};
