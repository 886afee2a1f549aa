// The main tool bar with its Insert drop-down, and the dock bars; both tile the shared theme
// background behind their contents.
#include "bars/ToolView.h"

#include "bars/BarCanvas.h"
#include "bars/BarPainting.h"
#include "bars/TextEditorErrors.h"
#include "controls/ResizeBar.h"
#include "controls/ThemeFill.h"
#include "controls/ThemeResources.h"
#include "controls/UxThemeLibrary.h"
#include "framework/core/OperationError.h"

namespace {

struct InsertItem {
    UINT command;
    const char* text;
    const char* object;
};
const InsertItem kInsertItems[8] = {
    {ID_INSERT_ARTIST, "Artist", "Artist"},
    {ID_INSERT_TITLE, "Title", "Title"},
    {ID_INSERT_TRACK, "Track List", "Track List"},
    {ID_INSERT_YEAR, "Year", "Year"},
    {ID_INSERT_TIME, "Total Time", "Time"},
    {ID_INSERT_GENRE, "Genre", "Genre"},
    {ID_INSERT_TEXT, "Text", "Text"},
    {ID_INSERT_IMAGE, "Image", "Image"},
};

// The frame whose client area the bars' tiles line up with.
HWND FrameOf(HWND window) {
    if (CControlBar* bar = dynamic_cast<CControlBar*>(CWnd::FromHandlePermanent(window)))
        if (bar->m_pDockSite) return bar->m_pDockSite->m_hWnd;
    HWND parent = ::GetParent(window);
    return parent ? parent : window;
}

// The dock bars' tiles start at the frame's client-area origin, so that all of them line up.
void TileDockBackground(HWND window, HDC dc, const RECT& rect) {
    POINT origin = {0, 0};
    ::ClientToScreen(FrameOf(window), &origin);
    ::ScreenToClient(window, &origin);
    TileThemeBackground(dc, rect, origin.x, origin.y, 1);
}

}  // namespace

// ============================== CToolView ==============================

IMPLEMENT_DYNAMIC(CToolView, CToolBar)

BEGIN_MESSAGE_MAP(CToolView, CToolBar)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
    ON_WM_NCPAINT()
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

CToolView::CToolView() {
    GuardOperation(kErrToolConstruct, [&] {
        m_insertList.CreatePopupMenu();
        m_insertList.SetIconSize(0, 15);
        m_insertList.SetMenuTitle(" ", 6, -1);
        for (const InsertItem& item : kInsertItems)
            m_insertList.AppendMenu(MF_STRING, item.command, item.text, -1);
    });
}

CToolView::~CToolView() = default;

CString CToolView::ObjectForCommand(UINT command) {
    for (const InsertItem& item : kInsertItems)
        if (item.command == command) return item.object;
    return CString();
}

int CToolView::OnCreate(LPCREATESTRUCT createStruct) {
    int result = -1;
    GuardOperation(kErrToolCreate, [&] {
        result = CToolBar::OnCreate(createStruct);
        if (result != -1) SwitchOffStylesBeforeVista(m_hWnd);
    });
    return result;
}

void CToolView::OnDestroy() {
    GuardOperation(kErrToolDestroy, [&] { m_insertList.DestroyMenu(); });
    CToolBar::OnDestroy();
}

void CToolView::PaintBackground(HDC dc) {
    if (IsWholeWindowDC(m_hWnd, dc)) {
        PaintGripperStrip(m_hWnd, dc);
        return;
    }
    CRect client;
    GetClientRect(&client);
    TileThemeBackground(dc, client, 0, 0, 1);
}

BOOL CToolView::OnEraseBkgnd(CDC* dc) {
    GuardOperation(kErrToolErase, [&] {
        if (dc) PaintBackground(dc->GetSafeHdc());
    });
    return TRUE;
}

void CToolView::OnNcPaint() {
    GuardOperation(kErrToolNcPaint, [&] { PaintBarNonClient(this); });
}

void CToolView::OnCustomDraw(NMHDR* header, LRESULT* result) {
    *result = CDRF_DODEFAULT;
    GuardOperation(kErrToolCustomDraw, [&] {
        NMCUSTOMDRAW* draw = reinterpret_cast<NMCUSTOMDRAW*>(header);
        if (draw->dwDrawStage == CDDS_PREPAINT) PaintBackground(draw->hdc);
    });
}

void CToolView::OnWindowPosChanged(WINDOWPOS* position) {
    GuardOperation(kErrToolPosChanged,
                   [&] { CheckFrameMenuItem(ID_VIEW_MAIN_TOOLBAR, (GetStyle() & WS_VISIBLE) != 0); });
    CToolBar::OnWindowPosChanged(position);
    // The area around the client is painted once more, the gripper strip's background first and
    // the borders and gripper over it: a moved bar has had that area painted before this message
    // comes, and the strip alone would hide the gripper until the area is painted again.
    GuardOperation(kErrToolPosShown, [&] {
        if (GetStyle() & WS_VISIBLE) PaintBarNonClient(this);
    });
}

void CToolView::InsertObjectAt(const CRect& buttonRect) {
    GuardOperation(kErrToolInsert, [&] {
        // The button's tip stays out of the list's way: a tip still waiting to show (the button
        // was clicked before its delay ran out) would come up over the list's first item. The tip
        // is told the pointer left the bar's buttons, which drops its wait, and is switched off
        // while the list is open.
        HWND tip = reinterpret_cast<HWND>(SendMessage(TB_GETTOOLTIPS));
        if (tip != nullptr) {
            MSG away = {};
            away.hwnd = m_hWnd;
            away.message = WM_MOUSEMOVE;
            away.lParam = MAKELPARAM(-1, -1);
            away.pt = {-1, -1};
            ::SendMessage(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&away));
            ::SendMessage(tip, TTM_ACTIVATE, FALSE, 0);
        }
        const UINT command = static_cast<UINT>(
            m_insertList.TrackPopupMenu(TPM_LEFTALIGN | TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                        buttonRect.left, buttonRect.bottom, this));
        if (tip != nullptr) ::SendMessage(tip, TTM_ACTIVATE, TRUE, 0);
        const CString object = ObjectForCommand(command);
        if (object.IsEmpty()) return;
        if (BarCanvas* canvas = GetBarCanvas()) canvas->InsertObject(object);
    });
}

void CToolView::OnLButtonUp(UINT flags, CPoint point) {
    (void)flags;
    Default();
    GuardOperation(kErrToolButtonUp, [&] {
        const int index = CommandToIndex(ID_INSERT_MENU);
        if (index < 0) return;
        CRect button;
        GetItemRect(index, &button);
        if (!button.PtInRect(point)) return;
        if (m_listOpen) {
            m_listOpen = FALSE;
            return;
        }
        CRect screen = button;
        ClientToScreen(&screen);
        InsertObjectAt(screen);
        // A press on Insert closed the list: its release must not open it again.
        CPoint cursor;
        ::GetCursorPos(&cursor);
        if (screen.PtInRect(cursor)) m_listOpen = TRUE;
    });
}

// ============================== CDockBarEx ==============================

IMPLEMENT_DYNAMIC(CDockBarEx, CDockBar)

BEGIN_MESSAGE_MAP(CDockBarEx, CDockBar)
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CDockBarEx::CDockBarEx() : CDockBar(FALSE) {}
CDockBarEx::~CDockBarEx() = default;

CSize CDockBarEx::CalcDynamicLayout(int length, DWORD mode) {
    return CControlBar::CalcDynamicLayout(length, mode);
}

void CDockBarEx::OnSize(UINT type, int cx, int cy) {
    (void)type;
    (void)cx;
    (void)cy;
    Default();
}

BOOL CDockBarEx::OnEraseBkgnd(CDC* dc) {
    GuardOperation(kErrDockErase, [&] {
        if (!dc) return;
        HWND frame = FrameOf(m_hWnd);
        CFrameWnd* frameWnd = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(frame));
        if (frameWnd) {
            const CResizeBar* images = dynamic_cast<const CResizeBar*>(frameWnd->GetControlBar(kImagesBarId));
            if (images && images->IsTracking()) return;
        }
        CRect client;
        GetClientRect(&client);
        TileDockBackground(m_hWnd, dc->m_hDC, client);
    });
    return FALSE;
}
