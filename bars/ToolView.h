// CToolView: the main tool bar. Besides the frame's own buttons it carries "Insert" (command
// 32997), whose click drops a list of the objects that can be put on the label; the chosen one
// becomes a new design object through the canvas. The bar paints its background with the
// shared theme tile and keeps the View menu's "Main Toolbar" check in step with its visibility.
//
// CDockBarEx: the dock bar along the frame's edges, with the same tiled background, its tiles
// lined up with the frame's client area.
#pragma once

#include "framework/DocView.h"
#include "menu/StyledMenu.h"
#include "res/CommandIds.h"

// The control-bar id of the frame's "Images" bar, whose resize the dock bars do not paint over.
const UINT kImagesBarId = 1057;

class CToolView : public CToolBar {
    DECLARE_DYNAMIC(CToolView)
public:
    CToolView();
    ~CToolView() override;

    // The drop-down list of objects: an owner-drawn popup of the eight insert commands.
    CStyledMenu m_insertList;
    // Set when the list was closed by a press on Insert itself, so that the release of that press
    // does not open it again.
    BOOL m_listOpen = FALSE;

    // The object an insert command puts on the label ("Total Time" inserts "Time"); empty for any
    // other command.
    static CString ObjectForCommand(UINT command);
    // Opens the list at the bottom-left corner of the button (screen coordinates) and inserts the
    // object chosen.
    void InsertObjectAt(const CRect& buttonRect);
    // Tiles the shared background into a DC of the bar: over the client area, or on a DC of the
    // whole window only along the gripper.
    void PaintBackground(HDC dc);

    int OnCreate(LPCREATESTRUCT createStruct);
    void OnDestroy();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnNcPaint();
    void OnCustomDraw(NMHDR* header, LRESULT* result);
    void OnWindowPosChanged(WINDOWPOS* position);
    void OnLButtonUp(UINT flags, CPoint point);

    DECLARE_MESSAGE_MAP()
};

class CDockBarEx : public CDockBar {
    DECLARE_DYNAMIC(CDockBarEx)
public:
    CDockBarEx();
    ~CDockBarEx() override;

    CSize CalcDynamicLayout(int length, DWORD mode) override;
    BOOL OnEraseBkgnd(CDC* dc);
    void OnSize(UINT type, int cx, int cy);

    DECLARE_MESSAGE_MAP()
};
