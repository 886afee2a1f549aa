// CIconButton: the owner-drawn push button with an icon or bitmap and a caption. Attached to a
// dialog's button with SubclassDlgItem, it takes one of three looks: plain (drawn here: face,
// border, image, caption, focus rectangle), themed (the system draws a push button under the
// visual style; this class only answers the control colour) or glass (a themed push button
// rendered off-screen onto composition glass). It tracks the mouse for a hover state, shows a
// tooltip, can act as a check box, can open a link target and can drop down a menu.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "framework/Win.h"

class CIconButton : public CButton {
    DECLARE_DYNAMIC(CIconButton)
public:
    enum Look { kLookPlain = 0, kLookGlass = 1, kLookThemed = 2 };
    // Second-icon requests of SetIcon.
    static HICON GreyCopyRequest() { return reinterpret_cast<HICON>(static_cast<INT_PTR>(-2)); }
    static HICON DarkCopyRequest() { return reinterpret_cast<HICON>(static_cast<INT_PTR>(-3)); }

    CIconButton();
    ~CIconButton() override;

    // Records the icon (shown while hovered or pressed) and the second one (shown otherwise): NULL
    // for none, GreyCopyRequest() / DarkCopyRequest() for a grey or darkened copy made here. The
    // caller keeps its own icons; the copies belong to the button. 0, or 1 when the icon cannot be
    // read (the images are then freed).
    DWORD SetIcon(HICON icon, HICON second);
    // 0 image left of the caption, 1 above, 2 right, 3 no arrangement; 4 (nothing changed) above 3.
    DWORD SetAlign(BYTE alignment, BOOL repaint = TRUE);
    DWORD SetTooltipText(LPCTSTR text, BOOL activate = TRUE);
    DWORD DrawTransparent(BOOL repaint = FALSE);
    // Keeps at most 260 characters of the target; NULL clears it.
    DWORD SetURL(LPCTSTR target);
    DWORD SetDefaultColors(BOOL repaint = TRUE);
    DWORD SetCheck(int check, BOOL repaint = TRUE);
    // 0: pressed offset (1, 1); 1: (0, 2); other values return 6.
    DWORD SetPressedStyle(int style);

    int GetLook() const { return m_look; }
    BOOL IsTicked() const { return m_ticked; }
    BOOL IsHovered() const { return m_mouseOver; }
    BOOL IsCheckBoxMode() const { return m_checkBoxMode; }
    BOOL IsDefaultButton() const { return m_defaultButton; }
    LPCSTR GetURL() const { return m_linkTarget; }
    HICON GetSecondIcon() const { return m_icons[1].icon; }
    HICON GetFirstIcon() const { return m_icons[0].icon; }

    // ---- fields that derived classes and owners set ----
    BYTE m_boldFont = 0;
    BYTE m_freeCaptionLayout = 1;
    BYTE m_plainFont = 1;
    int m_glassRequest = 2;  // 0 never themed, 1 glass with a glass dialog, 2 themed under styles
    CString m_caption;

    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

    // Slots after DrawItem.
    virtual DWORD OnDrawBackground(CDC* dc, RECT* rect);
    virtual DWORD OnDrawBorder(CDC* dc, RECT* rect);
    virtual void DrawIcon(CDC* dc, BOOL hasCaption, RECT* itemRect, RECT* captionRect, BOOL pressed,
                          BOOL disabled);
    virtual void DrawBitmap(CDC* dc, BOOL hasCaption, RECT* itemRect, RECT* captionRect, BOOL pressed,
                            BOOL disabled);
    virtual void DrawCaption(CDC* dc, const CString& caption, RECT* itemRect, RECT* captionRect, BOOL pressed,
                             BOOL disabled);

    int OnCreate(LPCREATESTRUCT createStruct);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnKillFocus(CWnd* newWnd);
    void OnMouseMove(UINT flags, CPoint point);
    void OnSysColorChange();
    BOOL OnClicked();
    void OnActivate(UINT state, CWnd* other, BOOL minimized);
    void OnEnable(BOOL enable);
    void OnCancelMode();
    UINT OnGetDlgCode();
    HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    void OnLButtonDown(UINT flags, CPoint point);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnCustomDraw(NMHDR* header, LRESULT* result);
    LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
    void OnMouseLeave();
    LRESULT OnSetCheckMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetCheckMessage(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

protected:
    struct IconSlot {
        HICON icon = nullptr;
        int width = 0;
        int height = 0;
        bool owned = false;
    };
    struct BitmapSlot {
        ScopedBitmap bitmap;
        int width = 0;
        int height = 0;
        ScopedBitmap mask;
        COLORREF maskColour = 0;
    };

    // Font, caption and look, from PreSubclassWindow and WM_CREATE.
    void InitControl();
    void CancelHover();
    void FreeImages();
    // Deselects and frees the saved copy of the themed background behind a transparent button.
    void FreeSavedBackground();
    void InitToolTip();
    void PrepareImageRect(BOOL hasCaption, RECT* itemRect, RECT* captionRect, BOOL pressed, int imageWidth,
                          int imageHeight, RECT* imageRect);
    // A copy of the icon: grey levels (dark false) or each channel less a quarter (dark true);
    // black stays black and the mask is kept.
    HICON MakeIconCopy(HICON icon, bool dark);
    bool IsParentGlassDialog() const;
    // Renders the glass look into m_glassRendering and m_glassRegion.
    void RenderGlass();

    int m_look = kLookPlain;
    ScopedRegion m_glassRegion;
    Gdiplus::Bitmap* m_glassRendering = nullptr;
    BOOL m_greyDisabledBitmap = TRUE;
    int m_imageMarginX = 3, m_imageMarginY = 3;
    int m_pressedOffsetX = 1, m_pressedOffsetY = 1;
    BOOL m_hoverTracking = TRUE;
    BOOL m_mouseOver = FALSE;
    BOOL m_transparent = FALSE;
    BOOL m_pressed = FALSE, m_focused = FALSE, m_disabled = FALSE;
    BOOL m_defaultButton = FALSE;
    BOOL m_checkBoxMode = FALSE;
    BYTE m_alignment = 0;
    BOOL m_drawBorder = TRUE;
    BOOL m_flatFocus = FALSE;
    // in-state face, in-state text, out-state face, out-state text, focus-state face, focus-state text
    COLORREF m_colours[6] = {};
    HWND m_menuOwner = nullptr;
    BOOL m_menuShowing = FALSE;
    HMENU m_menu = nullptr;
    HCURSOR m_cursor = nullptr;
    CToolTipCtrl m_toolTip;
    // The themed background behind a transparent button, tiled once at the button's size.
    ScopedMemoryDC m_savedBackground;
    BOOL m_alwaysTrack = TRUE;
    BOOL m_ticked = FALSE;
    int m_buttonType = 0;
    DWORD m_toolTipStyle = 0;
    char m_linkTarget[261] = {};
    IconSlot m_icons[2];
    BitmapSlot m_bitmaps[2];
    HWND m_menuCallbackWindow = nullptr;
    UINT m_menuCallbackMessage = 0;
    DWORD m_menuCallbackReserved = 0;
    LPARAM m_menuCallbackParam = 0;
};
