// Tab controls. COwnerTabCtrl leaves painting to the system (draw mode 0), has the system call
// DrawItem for each tab (1) or paints the whole control itself through overridable drawing and
// colour operations (2). CStyledTabCtrl draws each tab over the dialog's texture with an optional
// image-list icon and an ellipsised caption; its look is tuned by flags shared by all of them.
#pragma once

#include "framework/Win.h"

class COwnerTabCtrl : public CTabCtrl {
    DECLARE_DYNAMIC(COwnerTabCtrl)
public:
    explicit COwnerTabCtrl(int drawMode = 0);

    // 0xFFFFFFFF stands for COLOR_3DFACE.
    COLORREF m_backgroundColour = 0xFFFFFFFF;

    BOOL SetDrawMode(int mode);
    int GetDrawMode() const { return m_drawMode; }

    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    virtual void DrawMainFrame(LPDRAWITEMSTRUCT drawItem);
    virtual void DrawTabBorder(LPDRAWITEMSTRUCT drawItem);
    virtual COLORREF GetTabBackColor(bool selected);
    virtual COLORREF GetTabTextColor(bool selected);

    BOOL OnEraseBkgnd(CDC* dc);
    void OnPaint();

    DECLARE_MESSAGE_MAP()

protected:
    // The background colour with 0xFFFFFFFF resolved.
    COLORREF ResolvedBackground() const;

private:
    int m_drawMode = 0;
};

class CStyledTabCtrl : public COwnerTabCtrl {
    DECLARE_DYNAMIC(CStyledTabCtrl)
public:
    enum : DWORD {
        kLookUnselectedBase = 0x01,
        kLookControlBackground = 0x02,
        kLookBrightSelected = 0x04,
        kLookEdgesOnAll = 0x10,
    };

    CStyledTabCtrl();

    static void SetLookFlags(BOOL enable, DWORD flags);
    static DWORD GetLookFlags();
    static COLORREF DarkenColor(COLORREF colour, double factor);
    static COLORREF LightenColor(COLORREF colour, double factor);
    // Shortens text (ending in "...") to fit width in the DC's font; returns the fitted text's width.
    static int FitTabText(HDC dc, CString& text, int width);

    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    void DrawMainFrame(LPDRAWITEMSTRUCT drawItem) override;
    void DrawTabBorder(LPDRAWITEMSTRUCT drawItem) override;
    COLORREF GetTabBackColor(bool selected) override;
    COLORREF GetTabTextColor(bool selected) override;
};
