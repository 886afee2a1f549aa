// Sizing bars in a real frame: docking, sharing a row, dragging edges, floating, closing from
// the caption, sizes kept in the profile,
// and layout queries that only measure.
#include <doctest.h>

#include <cstdio>

#include "controls/ResizeBar.h"
#include "controls/ThemeFill.h"
#include "framework/core/OperationError.h"
#include "framework/DocView.h"
#include "framework/Win.h"
#include "GuiSupport.h"

namespace {

const UINT kBarA = 1100, kBarB = 1101;

struct MoveCounter {
    int moves = 0;
    void OnBarMoved() { ++moves; }
};

class CBarFrame : public CFrameWnd {
public:
    CResizeBarCF m_barA;
    CResizeBarCF m_barB;
    CWnd m_childA;
    int OnCreate(LPCREATESTRUCT lpcs) {
        if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
        EnableDocking(CBRS_ALIGN_ANY);
        const DWORD style = WS_CHILD | WS_VISIBLE | CBRS_LEFT | CBRS_SIZE_DYNAMIC;
        if (!m_barA.CreateWithSize("Text Editor", this, CSize(150, 150), TRUE, kBarA, style)) return -1;
        if (!m_barB.CreateWithSize("Images", this, CSize(160, 160), TRUE, kBarB, style)) return -1;
        m_barA.m_dwSizingStyle |= RBS_SIZECHILD;
        m_childA.CreateEx(WS_EX_CLIENTEDGE, "EDIT", "child", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10),
                          &m_barA, 5);
        m_barA.EnableDocking(CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT);
        m_barB.EnableDocking(CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT);
        DockControlBar(&m_barA, AFX_IDW_DOCKBAR_LEFT);
        DockControlBar(&m_barB, AFX_IDW_DOCKBAR_RIGHT);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CBarFrame, CFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

CRect WindowRect(CWnd& w) {
    CRect rc;
    w.GetWindowRect(&rc);
    return rc;
}

// A press on a non-client edge, a move and a release, as the mouse would send them.
void DragEdge(CResizeBar& bar, UINT ht, CPoint from, CPoint to) {
    bar.SendMessage(WM_NCLBUTTONDOWN, ht, MAKELPARAM(from.x, from.y));
    CPoint c = to;
    bar.ScreenToClient(&c);
    bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x, c.y));
    bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
}

// Counts WM_WINDOWPOSCHANGED of two windows of this thread while it lives.
struct PositionCounter {
    static PositionCounter* s_active;
    HWND watched[2];
    int changed = 0;
    HHOOK hook = nullptr;
    PositionCounter(HWND first, HWND second) : watched{first, second} {
        s_active = this;
        hook = ::SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, ::GetCurrentThreadId());
    }
    ~PositionCounter() {
        if (hook) ::UnhookWindowsHookEx(hook);
        s_active = nullptr;
    }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
        PositionCounter* self = s_active;
        if (code == HC_ACTION && self && m->message == WM_WINDOWPOSCHANGED &&
            (m->hwnd == self->watched[0] || m->hwnd == self->watched[1]))
            ++self->changed;
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
};
PositionCounter* PositionCounter::s_active = nullptr;

void Settle(CFrameWnd* pFrame) {
    for (int i = 0; i < 3; ++i) {
        pFrame->RecalcLayout();
        kvtest::PumpPending();
    }
}

}  // namespace

TEST_CASE("sizing bars dock, share a row, drag, float and keep their sizes") {
    static CWinApp* pApp = new CWinApp("KvResizeBarTest");
    (void)pApp;
    AfxWinInit(::GetModuleHandleA(nullptr), nullptr, (LPTSTR) "", SW_SHOWNORMAL);
    KvMessageBoxCapture boxes(IDOK);
    CBarFrame* pFrame = new CBarFrame;
    REQUIRE(
        pFrame->Create(nullptr, "Sizing bars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 720, 520)));
    Settle(pFrame);
    CResizeBarCF& a = pFrame->m_barA;
    CResizeBarCF& b = pFrame->m_barB;
    CRect rcClient;
    pFrame->GetClientRect(&rcClient);

    SUBCASE("a bar alone in its row fills the row and has only its inner edge") {
        CHECK(a.GetDockSideName() == CString("Left"));
        CHECK(b.GetDockSideName() == CString("Right"));
        CHECK(a.IsVertDocked());
        CHECK_FALSE(a.IsFloating());
        // The row's length: the client height (the dock bar lays its row 2 pixels up).
        CHECK(a.m_sizeVert.cy == rcClient.Height());
        CHECK(WindowRect(a).Height() == rcClient.Height());
        CHECK(WindowRect(a).Width() == 150);
        CHECK(a.m_dwSizingStyle == (RBS_EDGERIGHT | RBS_SIZECHILD));
        CHECK(b.m_dwSizingStyle == RBS_EDGELEFT);
        // Only the inner edge answers.
        CRect rc = WindowRect(a);
        CHECK(a.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rc.right - 3, rc.CenterPoint().y)) == HTRIGHT);
        CHECK(a.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rc.left + 3, rc.CenterPoint().y)) == HTCLIENT);
        CHECK(a.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rc.CenterPoint().x, rc.bottom - 3)) == HTCLIENT);
        // The child fills the client area.
        CRect rcChild, rcBarClient;
        pFrame->m_childA.GetWindowRect(&rcChild);
        a.GetClientRect(&rcBarClient);
        CHECK(rcChild.Width() == rcBarClient.Width());
        CHECK(rcChild.Height() == rcBarClient.Height());
    }

    SUBCASE("dragging the inner edge changes the thickness within the limits") {
        MoveCounter counter;
        a.HookBarMoved(&counter, &MoveCounter::OnBarMoved);
        CRect rc = WindowRect(a);
        CPoint from(rc.right - 3, rc.CenterPoint().y);
        DragEdge(a, HTRIGHT, from, CPoint(from.x + 40, from.y + 7));
        CHECK_FALSE(a.IsTracking());
        CHECK(::GetCapture() != a.m_hWnd);
        CHECK(a.m_sizeVert.cx == 190);
        CHECK(counter.moves == 1);
        Settle(pFrame);
        CHECK(WindowRect(a).Width() == 190);

        // Back to the start column: no BarMoved, even though the row changed.
        rc = WindowRect(a);
        from = CPoint(rc.right - 3, rc.CenterPoint().y);
        a.SendMessage(WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(from.x, from.y));
        CPoint c(from.x - 20, from.y);
        a.ScreenToClient(&c);
        a.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x, c.y));
        c = CPoint(from.x, from.y + 30);
        a.ScreenToClient(&c);
        a.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x, c.y));
        a.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
        CHECK(counter.moves == 1);
        CHECK(a.m_sizeVert.cx == 190);

        // Far past the smallest thickness: the minimum of the row.
        rc = WindowRect(a);
        from = CPoint(rc.right - 3, rc.CenterPoint().y);
        DragEdge(a, HTRIGHT, from, CPoint(from.x - 500, from.y));
        CHECK(a.m_sizeVert.cx == a.m_sizeMinVert.cx);
        // Far past the view: the view's room less 2 pixels.
        Settle(pFrame);
        CRect rcView;
        pFrame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &rcView);
        const int before = a.m_sizeVert.cx;
        rc = WindowRect(a);
        from = CPoint(rc.right - 3, rc.CenterPoint().y);
        DragEdge(a, HTRIGHT, from, CPoint(from.x + 2000, from.y));
        CHECK(a.m_sizeVert.cx == before + rcView.Width() - 2);
        CHECK(a.UnhookBarMoved(&counter, &MoveCounter::OnBarMoved) == 0);
        CHECK(a.UnhookBarMoved(&counter, &MoveCounter::OnBarMoved) == 1);
    }

    SUBCASE("two bars share a row; the edge between them moves length from one to the other") {
        // Dock B into A's row, below A's middle.
        CRect rcA = WindowRect(a);
        CRect rcDrop(rcA.left + 10, rcA.bottom - 60, rcA.left + 60, rcA.bottom - 10);
        pFrame->DockControlBar(&b, AFX_IDW_DOCKBAR_LEFT, &rcDrop);
        Settle(pFrame);
        CResizeBarArray row;
        a.GetRowSizingBars(row);
        REQUIRE(row.GetSize() == 2);
        CResizeBar* first = row[0];
        CResizeBar* second = row[1];
        // The row's length is shared: lengths less the 2-pixel overlap fill the client height.
        CHECK(first->m_sizeVert.cy + second->m_sizeVert.cy - 2 == rcClient.Height());
        // Both take the larger thickness.
        CHECK(first->m_sizeVert.cx == second->m_sizeVert.cx);
        CHECK((first->m_dwSizingStyle & (RBS_EDGEBOTTOM | RBS_EDGERIGHT)) ==
              (RBS_EDGEBOTTOM | RBS_EDGERIGHT));
        CHECK((second->m_dwSizingStyle & RBS_EDGETOP) != 0);
        CRect r1 = WindowRect(*first), r2 = WindowRect(*second);
        CHECK(r2.top == r1.bottom - 2);

        const int len1 = first->m_sizeVert.cy, len2 = second->m_sizeVert.cy;
        CPoint from(r1.CenterPoint().x, r1.bottom - 3);
        CHECK(first->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(from.x, from.y)) == HTBOTTOM);
        DragEdge(*first, HTBOTTOM, from, CPoint(from.x, from.y + 30));
        CHECK(first->m_sizeVert.cy == len1 + 30);
        CHECK(second->m_sizeVert.cy == len2 - 30);
        // No bar below its minimum however far the edge goes.
        r1 = WindowRect(*first);
        from = CPoint(r1.CenterPoint().x, r1.bottom - 3);
        DragEdge(*first, HTBOTTOM, from, CPoint(from.x, from.y + 3000));
        CHECK(second->m_sizeVert.cy == second->m_sizeMinVert.cy);
        CHECK(first->m_sizeVert.cy + second->m_sizeVert.cy == len1 + len2);
        Settle(pFrame);
        CHECK(WindowRect(*second).Height() == second->m_sizeMinVert.cy);
        CHECK(first->m_sizeVert.cy + second->m_sizeVert.cy - 2 == rcClient.Height());
        kvtest::SavePng(kvtest::CaptureWindowFromScreen(pFrame->m_hWnd), "resize_bar_row.png");
    }

    SUBCASE("a bar just shown keeps its length; the row's other bars absorb the difference") {
        CRect rcA = WindowRect(a);
        CRect rcDrop(rcA.left + 10, rcA.bottom - 60, rcA.left + 60, rcA.bottom - 10);
        pFrame->DockControlBar(&b, AFX_IDW_DOCKBAR_LEFT, &rcDrop);
        Settle(pFrame);
        // Settled rows ask for no further layout.
        pFrame->m_nIdleFlags &= ~CFrameWnd::idleLayout;
        pFrame->RecalcLayout();
        CHECK((pFrame->m_nIdleFlags & CFrameWnd::idleLayout) == 0);

        pFrame->ShowControlBar(&b, FALSE, FALSE);
        Settle(pFrame);
        CHECK(a.m_sizeVert.cy == rcClient.Height());  // alone again, A fills the row
        b.m_sizeVert.cy = 120;
        pFrame->ShowControlBar(&b, TRUE, FALSE);  // shown and laid out at once
        Settle(pFrame);
        CHECK_FALSE(b.m_bKeepLength);
        CHECK(b.m_sizeVert.cy == 120);
        CHECK(a.m_sizeVert.cy + 120 - 2 == rcClient.Height());
    }

    SUBCASE("floating: client hit tests, the mini frame's size, the caption text") {
        pFrame->FloatControlBar(&a, CPoint(300, 200));
        Settle(pFrame);
        CHECK(a.IsFloating());
        CHECK(a.GetDockSideName() == CString("Float"));
        CRect rc = WindowRect(a);
        CHECK(rc.Size() == a.m_sizeFloat);
        CHECK(a.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rc.left + 1, rc.top + 1)) != HTLEFT);
        CHECK(a.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rc.right - 2, rc.CenterPoint().y)) == HTCLIENT);
        // An edge press on a floating bar does nothing.
        a.SendMessage(WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(rc.right - 2, rc.CenterPoint().y));
        CHECK_FALSE(a.IsTracking());
        // The mini frame hands its new width and height over; the minima hold.
        CHECK(a.CalcDynamicLayout(220, LM_HORZ | LM_COMMIT).cx == 220);
        CHECK(a.CalcDynamicLayout(10, LM_HORZ | LM_LENGTHY | LM_COMMIT).cy == 32);
        CHECK(a.CalcDynamicLayout(5, LM_HORZ | LM_MRUWIDTH) == CSize(220, 32));
        a.SetWindowText("Renamed");
        CWnd* pMini = CWnd::FromHandle(::GetParent(::GetParent(a.m_hWnd)));
        // The floating dock bar takes the text and the mini frame a delayed layout, which names it.
        CString title;
        ::GetWindowTextA(::GetParent(a.m_hWnd), title.GetBuffer(64), 64);
        title.ReleaseBuffer();
        CHECK(title == CString("Renamed"));
        CHECK((((CFrameWnd*)pMini)->m_nIdleFlags & CFrameWnd::idleLayout) != 0);
        ((CFrameWnd*)pMini)->RecalcLayout();
        pMini->GetWindowText(title);
        CHECK(title == CString("Renamed"));
        // And back.
        pFrame->DockControlBar(&a, AFX_IDW_DOCKBAR_LEFT);
        Settle(pFrame);
        CHECK(a.GetDockSideName() == CString("Left"));
    }

    SUBCASE("the caption's close button hides the bar, except the one called View") {
        CRect rc = WindowRect(a);
        // The square's right part lies under the inner sizing edge, which is tested first.
        CPoint pt = rc.TopLeft() + a.m_ptCloseButton + CSize(1, 5);
        CHECK(a.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)) == HTCLOSE);
        a.SetWindowText("View");
        a.SendMessage(WM_NCLBUTTONUP, HTCLOSE, MAKELPARAM(pt.x, pt.y));
        CHECK(a.IsWindowVisible());
        a.SetWindowText("Text Editor");
        a.SendMessage(WM_NCLBUTTONUP, HTCLOSE, MAKELPARAM(pt.x, pt.y));
        CHECK_FALSE(a.IsWindowVisible());
        pFrame->ShowControlBar(&a, TRUE, FALSE);
        Settle(pFrame);
        CHECK(a.IsWindowVisible());
    }

    SUBCASE("the caption is painted with the title band") {
        a.SendMessage(WM_NCPAINT);
        // The band starts in the active-caption colour at its left end, beyond the icon area.
        CRect rcWin = WindowRect(a), rcCl;
        a.GetClientRect(&rcCl);
        a.ClientToScreen(&rcCl);
        rcCl.OffsetRect(-rcWin.left, -rcWin.top);
        CRect band = a.CaptionRect(rcCl);
        const unsigned active = kvtest::Rgb(::GetSysColor(COLOR_ACTIVECAPTION));
        // The screen shows the caption a while after it was painted, later on a busy machine.
        kvtest::Capture cap = kvtest::CaptureWindowFromScreenWhen(
            a.m_hWnd, [&](const kvtest::Capture& c) { return c.At(band.left, band.bottom - 1) == active; });
        REQUIRE_FALSE(cap.Empty());
        kvtest::SavePng(kvtest::CaptureWindowFromScreen(pFrame->m_hWnd), "resize_bar_caption.png");
        CHECK(cap.At(band.left, band.bottom - 1) == active);
        // The client area stays out of the non-client copy: the edit child shows there.
        CHECK(band.bottom <= rcCl.top);
    }

    SUBCASE("shown edges take room and the inner edge is drawn with the background tile") {
        CRect rcBefore;
        a.GetClientRect(&rcBefore);
        a.m_dwSizingStyle |= RBS_SHOWEDGES;
        a.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        CRect rcAfter;
        a.GetClientRect(&rcAfter);
        // On the left dock bar the inner (right) edge takes the edge width less 2.
        CHECK(rcAfter.Width() == rcBefore.Width() - (a.m_nEdgeWidth - 2));
        a.SendMessage(WM_NCPAINT);
        kvtest::Capture cap = kvtest::CaptureWindowFromScreen(a.m_hWnd);
        REQUIRE_FALSE(cap.Empty());
        CRect rcWnd = WindowRect(a), rcEdge;
        REQUIRE(a.GetEdgeRect(rcWnd, HTRIGHT, rcEdge));
        rcEdge.OffsetRect(-rcWnd.left, -rcWnd.top);
        // The tile (plain grey while no texture is loaded) inside a light-over-shadow frame.
        CHECK(cap.At(rcEdge.CenterPoint().x, rcEdge.CenterPoint().y) == kvtest::Rgb(kThemeBackgroundGrey));
        CHECK(cap.At(rcEdge.left, rcEdge.CenterPoint().y) == kvtest::Rgb(::GetSysColor(COLOR_BTNHIGHLIGHT)));
        CHECK(cap.At(rcEdge.right - 1, rcEdge.CenterPoint().y) ==
              kvtest::Rgb(::GetSysColor(COLOR_BTNSHADOW)));
    }

    SUBCASE("sizes are saved and loaded through the profile") {
        CString profile;
        profile.Format("KvBars%lu", ::GetTickCount());
        a.m_sizeVert = CSize(177, 301);
        a.m_sizeHorz = CSize(401, 88);
        a.m_sizeFloat = CSize(222, 333);
        CResizeBar::GlobalSaveState(pFrame, profile);
        a.m_sizeVert = a.m_sizeHorz = a.m_sizeFloat = CSize(50, 50);
        CResizeBar::GlobalLoadState(pFrame, profile);
        CHECK(a.m_sizeVert == CSize(177, 301));
        CHECK(a.m_sizeHorz == CSize(401, 88));
        CHECK(a.m_sizeFloat == CSize(222, 333));
        // Values below the minima are raised.
        CString section;
        section.Format("%s-ResizeBar-%d", (LPCSTR)profile, kBarA);
        AfxGetApp()->WriteProfileInt(section, "sizeVertCX", 10);
        AfxGetApp()->WriteProfileInt(section, "sizeFloatCY", 1);
        a.LoadState(profile);
        CHECK(a.m_sizeVert.cx == 33);
        CHECK(a.m_sizeFloat.cy == 32);
        // Damaged values past the work area are brought back inside it, so that the bar's edge
        // stays within reach.
        RECT work = {};
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        AfxGetApp()->WriteProfileInt(section, "sizeVertCX", 250000);
        AfxGetApp()->WriteProfileInt(section, "sizeVertCY", 0x7FFFFFFF);
        AfxGetApp()->WriteProfileInt(section, "sizeHorzCX", 90000);
        AfxGetApp()->WriteProfileInt(section, "sizeFloatCX", 40000);
        AfxGetApp()->WriteProfileInt(section, "sizeFloatCY", 40000);
        a.LoadState(profile);
        CHECK(a.m_sizeVert.cx == work.right - work.left);
        CHECK(a.m_sizeVert.cy == work.bottom - work.top);
        CHECK(a.m_sizeHorz.cx == work.right - work.left);
        CHECK(a.m_sizeFloat == CSize(work.right - work.left, work.bottom - work.top));
        a.LoadState(profile);  // and they stay there at the next start
        CHECK(a.m_sizeVert.cx == work.right - work.left);
        // A profile without the section keeps the current sizes.
        b.m_sizeVert = CSize(123, 234);
        b.LoadState(profile + "none");
        CHECK(b.m_sizeVert == CSize(123, 234));
        // Side names other than the three change nothing.
        b.SetSizeCX(99, "Left");
        b.SetSizeCY(99, "");
        CHECK(b.m_sizeVert == CSize(123, 234));
        b.SetSizeCX(140, "Vert");
        b.SetSizeCY(141, "Float");
        CHECK(b.m_sizeVert.cx == 140);
        CHECK(b.m_sizeFloat.cy == 141);
    }

    SUBCASE("the drag set-up lays the bar's three sizes around the cursor") {
        auto* ctx = dynamic_cast<CResizeBarDockContext*>(a.m_pDockContext);
        REQUIRE(ctx != nullptr);
        CRect rc = WindowRect(a);
        CPoint pt(rc.left + 5, rc.top + 5);
        ctx->LayDragRects(pt);
        CHECK(ctx->m_rectDragVert.Size() == CSize(a.m_sizeVert.cx, a.m_sizeVert.cy));
        CHECK(ctx->m_rectDragHorz.Size() == CSize(a.m_sizeHorz));
        CHECK(ctx->m_rectDragVert.PtInRect(pt));
        CHECK(ctx->m_rectDragHorz.PtInRect(pt));
        CHECK(ctx->m_rectFrameDragHorz.PtInRect(pt));
        CHECK(ctx->m_rectFrameDragHorz.Width() > a.m_sizeFloat.cx - 4);
    }

    SUBCASE("a layout query measures: no bar moves, no size or row changes") {
        CRect rcA = WindowRect(a);
        CRect rcDrop(rcA.left + 10, rcA.bottom - 60, rcA.left + 60, rcA.bottom - 10);
        pFrame->DockControlBar(&b, AFX_IDW_DOCKBAR_LEFT, &rcDrop);
        Settle(pFrame);
        CResizeBarArray row;
        a.GetRowSizingBars(row);
        REQUIRE(row.GetSize() == 2);
        const CRect before1 = WindowRect(*row[0]), before2 = WindowRect(*row[1]);
        const CSize size1 = row[0]->m_sizeVert, size2 = row[1]->m_sizeVert;
        PositionCounter counter(a.m_hWnd, b.m_hWnd);

        // What the frame's bars leave to the view, as a drag of an edge asks it.
        CRect rcView;
        pFrame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &rcView);
        CHECK(counter.changed == 0);
        // The left dock bar's size for less room than the row has.
        const CRect offered(rcClient.left, rcClient.top, rcClient.right, rcClient.top + 120);
        CRect dockSize;
        pFrame->RepositionBars(AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_PANE_FIRST,
                               CWnd::reposQuery, &dockSize, &offered, FALSE);
        CHECK(counter.changed == 0);
        CHECK(dockSize.Width() == size1.cx);
        CHECK(WindowRect(*row[0]) == before1);
        CHECK(WindowRect(*row[1]) == before2);
        CHECK(row[0]->m_sizeVert == size1);
        CHECK(row[1]->m_sizeVert == size2);
        a.GetRowSizingBars(row);
        CHECK(row.GetSize() == 2);
        CHECK((pFrame->m_nIdleFlags & CFrameWnd::idleLayout) == 0);

        // The real layout still shares the row.
        counter.changed = 0;
        b.m_sizeVert.cy += 40;
        pFrame->RecalcLayout();
        CHECK(counter.changed > 0);
        CHECK(a.m_sizeVert.cy + b.m_sizeVert.cy - 2 == rcClient.Height());
    }

    CHECK_MESSAGE(boxes.Boxes().empty(), (LPCSTR)boxes.LastText());
    pFrame->DestroyWindow();
}
