// What sizing bars and replaced dock bars rely on: a frame whose dock bars
// are of a class of its own, a bar that sizes itself through
// CalcDynamicLayout, and the frame's layout query for one dock side.
#include <doctest.h>

#include <vector>

#include "framework/DocView.h"
#include "framework/Win.h"

namespace {

class CMyDockBar : public CDockBar {
    DECLARE_DYNAMIC(CMyDockBar)
};
IMPLEMENT_DYNAMIC(CMyDockBar, CDockBar)

// A bar 120 pixels wide when docked on a side; records how it was asked.
class CSideBar : public CControlBar {
    DECLARE_DYNAMIC(CSideBar)
public:
    std::vector<DWORD> m_modes;
    int m_nQueries = 0;
    BOOL Create(CWnd* pParent, UINT nID) {
        m_dwStyle = CBRS_LEFT;
        LPCTSTR cls =
            AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
        return CWnd::CreateEx(0, cls, "Side", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), pParent, nID);
    }
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override {
        m_modes.push_back(nMode);
        if (m_pDockBar != nullptr && m_pDockBar->m_bLayoutQuery) ++m_nQueries;
        (void)nLength;
        if (nMode & LM_VERTDOCK) return CSize(120, 200);
        return CSize(200, 60);
    }
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
};
IMPLEMENT_DYNAMIC(CSideBar, CControlBar)

class CDockFrame : public CFrameWnd {
public:
    CSideBar m_side;
    int OnCreate(LPCREATESTRUCT lpcs) {
        if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
        // The frame's own dock bars, as a frame that replaces the class does it.
        m_pFloatingFrameClass = RUNTIME_CLASS(CMiniDockFrameWnd);
        struct {
            UINT id;
            DWORD style;
        } sides[] = {{AFX_IDW_DOCKBAR_TOP, 0x56002800},
                     {AFX_IDW_DOCKBAR_BOTTOM, 0x56008200},
                     {AFX_IDW_DOCKBAR_LEFT, 0x56001400},
                     {AFX_IDW_DOCKBAR_RIGHT, 0x56004100}};
        for (auto& s : sides) (new CMyDockBar)->Create(this, s.style, s.id);
        if (!m_side.Create(this, 1048)) return -1;
        m_side.EnableDocking(CBRS_ALIGN_LEFT);
        DockControlBar(&m_side, AFX_IDW_DOCKBAR_LEFT);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDockFrame, CFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

}  // namespace

TEST_CASE("a frame's own dock-bar class and a bar that sizes itself") {
    static CWinApp* pApp = new CWinApp("KvDocviewBarsTest");
    (void)pApp;
    AfxWinInit(::GetModuleHandleA(nullptr), nullptr, (LPTSTR) "", SW_SHOWNORMAL);
    CDockFrame* pFrame = new CDockFrame;
    REQUIRE(pFrame->Create(nullptr, "Dock test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(50, 50, 650, 450)));
    CControlBar* pLeft = pFrame->GetControlBar(AFX_IDW_DOCKBAR_LEFT);
    REQUIRE(pLeft != nullptr);
    CHECK(pLeft->IsKindOf(RUNTIME_CLASS(CMyDockBar)));
    CHECK(pFrame->m_side.m_pDockBar == pLeft);

    pFrame->RecalcLayout();
    CRect rcSide, rcLeft;
    pFrame->m_side.GetWindowRect(&rcSide);
    pLeft->GetWindowRect(&rcLeft);
    CHECK(rcSide.Width() == 120);
    CHECK(rcLeft.Width() == 120);
    // The dock bar asks its bars with the vertical-dock mode and no length.
    REQUIRE_FALSE(pFrame->m_side.m_modes.empty());
    CHECK(pFrame->m_side.m_modes.back() == LM_VERTDOCK);

    // The query for the left side alone, without stretching: its size, nothing moved.
    int nQueries = pFrame->m_side.m_nQueries;
    CRect rcQuery;
    pFrame->RepositionBars(AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_PANE_FIRST, CWnd::reposQuery,
                           &rcQuery, nullptr, FALSE);
    CHECK(rcQuery.Width() == 120);
    CHECK(pFrame->m_side.m_nQueries == nQueries + 1);
    CRect rcAfter;
    pFrame->m_side.GetWindowRect(&rcAfter);
    CHECK(rcAfter == rcSide);

    // Floating: the bar is asked for its floating size.
    pFrame->FloatControlBar(&pFrame->m_side, CPoint(300, 300));
    CHECK(pFrame->m_side.IsFloating());
    CHECK(pFrame->m_side.m_modes.back() == (LM_HORZ | LM_MRUWIDTH));
    pFrame->m_side.GetWindowRect(&rcAfter);
    CHECK(rcAfter.Width() == 200);
    pFrame->DockControlBar(&pFrame->m_side);
    CHECK(pFrame->m_side.m_pDockBar == pLeft);
    pFrame->DestroyWindow();
}
