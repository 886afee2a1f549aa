// The single-document program: File New, the scroll view, command routing,
// tool-bar states at idle time, docking, the saved bar layout and the
// recent-file list, with a picture of the frame at the end.
#include <doctest.h>

#include "DocviewTestApp.h"
#include "GuiSupport.h"

using namespace dvtest;

namespace doctest {
template <>
struct StringMaker<CPoint> {
    static String convert(const CPoint& p) {
        return ("(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")").c_str();
    }
};
template <>
struct StringMaker<CSize> {
    static String convert(const CSize& p) {
        return ("(" + std::to_string(p.cx) + "x" + std::to_string(p.cy) + ")").c_str();
    }
};
template <>
struct StringMaker<CRect> {
    static String convert(const CRect& r) {
        return ("[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
                "," + std::to_string(r.bottom) + "]")
            .c_str();
    }
};
}  // namespace doctest

namespace {

CRect ScreenRect(CWnd* pWnd) {
    CRect rc;
    pWnd->GetWindowRect(&rc);
    return rc;
}

void ClearProfile() {
    CTestApp& app = App();
    app.WriteProfileString("Recent File List", nullptr, nullptr);
    app.WriteProfileString("Toolbars-Summary", nullptr, nullptr);
    for (int i = 0; i < 32; ++i) {
        CString s;
        s.Format("Toolbars-Bar%d", i);
        app.WriteProfileString(s, nullptr, nullptr);
    }
}

// Closes the document (and so the frame) and starts again through File New.
CTestFrame* Restart(bool bLoadState) {
    CTestFrame* pFrame = EnsureFrame();
    pFrame->GetActiveDocument()->SetModifiedFlag(FALSE);
    pFrame->GetActiveDocument()->OnCloseDocument();
    Pump();
    REQUIRE(App().m_pMainWnd == nullptr);
    CTestFrame::s_bLoadState = bLoadState;
    CTestFrame* pNew = EnsureFrame();
    CTestFrame::s_bLoadState = false;
    return pNew;
}

CDockBar* TopDock(CFrameWnd* pFrame) {
    return (CDockBar*)pFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP);
}

}  // namespace

TEST_CASE("File New makes the frame, the view and the document from the template") {
    ClearProfile();
    CTestFrame* pFrame = EnsureFrame();
    REQUIRE(pFrame != nullptr);
    CHECK(pFrame->IsKindOf(RUNTIME_CLASS(CTestFrame)));
    CView* pView = pFrame->GetActiveView();
    REQUIRE(pView != nullptr);
    CHECK(pView->IsKindOf(RUNTIME_CLASS(CTestView)));
    CTestDoc* pDoc = (CTestDoc*)pFrame->GetActiveDocument();
    REQUIRE(pDoc != nullptr);
    CHECK(pDoc->IsKindOf(RUNTIME_CLASS(CTestDoc)));
    CHECK(pView->GetDocument() == pDoc);
    CHECK(pDoc->m_nNew == 1);
    CHECK(((CTestView*)pView)->m_nInitialUpdates == 1);
    CHECK(pView->GetDlgCtrlID() == AFX_IDW_PANE_FIRST);
    CHECK(pFrame->IsWindowVisible());
    CString title;
    pFrame->GetWindowText(title);
    CHECK(title == "Untitled - Docview Test");

    // File New again (the command reaches the application) reuses the document.
    pFrame->SendMessage(WM_COMMAND, ID_FILE_NEW, 0);
    CHECK(pFrame->GetActiveDocument() == pDoc);
    CHECK(pDoc->m_nNew == 2);
    CHECK(App().m_pMainWnd == pFrame);

    // A modified document asks before it is dropped; Cancel keeps it.
    pDoc->SetModifiedFlag(TRUE);
    {
        KvMessageBoxCapture boxes(IDCANCEL);
        pFrame->SendMessage(WM_COMMAND, ID_FILE_NEW, 0);
        CHECK(boxes.Boxes().size() == 1);
        CHECK(boxes.LastText() == "Save changes to Untitled?");
    }
    CHECK(pDoc->m_nNew == 2);
    pDoc->SetModifiedFlag(FALSE);
}

TEST_CASE("the scroll view's bars follow its total size") {
    CTestFrame* pFrame = EnsureFrame();
    CTestView* pView = (CTestView*)pFrame->GetActiveView();
    CRect rc;
    pView->GetClientRect(&rc);
    REQUIRE(rc.Width() > 300);
    auto bars = [&] { return pView->GetStyle() & (WS_HSCROLL | WS_VSCROLL); };

    pView->SetScrollSizes(MM_TEXT, CSize(3000, 2500));
    CHECK(bars() == (WS_HSCROLL | WS_VSCROLL));
    pView->ScrollToPosition(CPoint(300, 200));
    CHECK(pView->GetScrollPosition() == CPoint(300, 200));
    CHECK(pView->GetDeviceScrollPosition() == CPoint(300, 200));
    CHECK(pView->GetTotalSize() == CSize(3000, 2500));

    pView->SetScrollSizes(MM_TEXT, CSize(100, 80));
    CHECK(bars() == 0);
    CHECK(pView->GetDeviceScrollPosition() == CPoint(0, 0));

    // Only as wide as needed for a horizontal bar.
    pView->GetClientRect(&rc);
    pView->SetScrollSizes(MM_TEXT, CSize(rc.Width() + 200, rc.Height() / 2));
    INFO("client " << rc.Width() << "x" << rc.Height() << " style " << pView->GetStyle());
    CHECK(bars() == WS_HSCROLL);

    // The window grows past the total size: the bar goes.
    pView->SetScrollSizes(MM_TEXT, CSize(900, 100));
    CHECK(bars() == WS_HSCROLL);
    pFrame->SetWindowPos(nullptr, 0, 0, 1100, 700, SWP_NOZORDER | SWP_NOMOVE);
    Pump();
    CHECK(bars() == 0);
    pFrame->SetWindowPos(nullptr, 0, 0, 800, 600, SWP_NOZORDER | SWP_NOMOVE);
    Pump();
    CHECK(bars() == WS_HSCROLL);

    // Other mapping modes: hundredths of an inch at 96 pixels per inch.
    pView->SetScrollSizes(MM_LOENGLISH, CSize(2000, 2000));
    CHECK(pView->GetTotalSize() == CSize(2000, 2000));
    CHECK(bars() == (WS_HSCROLL | WS_VSCROLL));
    pView->ScrollToPosition(CPoint(100, -100));
    CHECK(pView->GetDeviceScrollPosition() == CPoint(96, 96));
    CHECK(pView->GetScrollPosition() == CPoint(100, -100));

    // The screen DC of a scrolled view starts at minus the scroll position.
    CClientDC dc(pView);
    pView->OnPrepareDC(&dc);
    CPoint pt(0, 0);
    dc.LPtoDP(&pt);
    CHECK(pt == CPoint(-96, -96));  // logical (0, 0) is the document's corner, scrolled off by 96 pixels
    pView->SetScrollSizes(MM_TEXT, CSize(400, 300));
}

TEST_CASE("a scroll bar already shown as asked, or scrolled to where it is, is not drawn again") {
    CTestFrame* pFrame = EnsureFrame();
    CTestView* pView = (CTestView*)pFrame->GetActiveView();
    pView->SetScrollSizes(MM_TEXT, CSize(3000, 2500));
    Pump();
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    REQUIRE(pView->GetScrollInfo(SB_VERT, &si));
    CHECK(si.nMax == 2499);
    CRect client;
    pView->GetClientRect(&client);
    CHECK((int)si.nPage == client.Height());

    // A mark on the vertical bar (beside the client area, in window coordinates): setting the
    // same sizes again leaves it there.
    CRect window;
    pView->GetWindowRect(&window);
    CPoint origin(0, 0);
    pView->ClientToScreen(&origin);
    const CPoint mark(origin.x - window.left + client.right + 3, origin.y - window.top + client.Height() / 2);
    CWindowDC dc(pView);
    const COLORREF magenta = RGB(255, 0, 255);
    dc.SetPixel(mark.x, mark.y, magenta);
    REQUIRE(dc.GetPixel(mark.x, mark.y) == magenta);
    pView->SetScrollSizes(MM_TEXT, CSize(3000, 2500));
    CHECK(dc.GetPixel(mark.x, mark.y) == magenta);
    // Scrolled to where it is: the same.
    pView->ScrollToPosition(pView->GetScrollPosition());
    CHECK(dc.GetPixel(mark.x, mark.y) == magenta);

    // Another total size is set, and drawn at the next paint.
    pView->SetScrollSizes(MM_TEXT, CSize(3000, 5000));
    REQUIRE(pView->GetScrollInfo(SB_VERT, &si));
    CHECK(si.nMax == 4999);
    Pump();
    CHECK(dc.GetPixel(mark.x, mark.y) != magenta);
    pView->SetScrollSizes(MM_TEXT, CSize(400, 300));
}

TEST_CASE("commands reach the view, then the document, then the frame, then the application") {
    CTestFrame* pFrame = EnsureFrame();
    struct {
        UINT id;
        const char* who;
    } cases[] = {
        {ID_ROUTE_VIEW, "view"}, {ID_ROUTE_DOC, "doc"}, {ID_ROUTE_FRAME, "frame"}, {ID_ROUTE_APP, "app"}};
    for (auto& c : cases) {
        g_log.clear();
        pFrame->SendMessage(WM_COMMAND, c.id, 0);
        REQUIRE(g_log.size() == 1);
        CHECK(g_log[0] == c.who);
    }
    // The accelerator of the frame's resource reaches the frame.
    g_log.clear();
    MSG msg = {pFrame->GetActiveView()->m_hWnd, WM_KEYDOWN, 'R', 0, 0, {0, 0}};
    ::SetFocus(pFrame->GetActiveView()->m_hWnd);
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    CHECK(pFrame->PreTranslateMessage(&msg));
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
    Pump();
    CHECK(g_log == std::vector<std::string>{"frame"});
}

TEST_CASE("tool-bar buttons are enabled and checked at idle time") {
    CTestFrame* pFrame = EnsureFrame();
    CTestView* pView = (CTestView*)pFrame->GetActiveView();
    CToolBarCtrl& tb = pFrame->m_barOne.GetToolBarCtrl();
    pView->m_bEnable = FALSE;
    pView->m_bCheck = TRUE;
    Pump();
    CHECK_FALSE(tb.IsButtonEnabled(ID_BTN_ENABLE));
    CHECK(tb.IsButtonChecked(ID_BTN_CHECK));
    CHECK_FALSE(tb.IsButtonEnabled(ID_BTN_ORPHAN));  // no handler anywhere
    CHECK(tb.IsButtonEnabled(ID_BTN_PLAIN));         // a command handler in the frame
    pView->m_bEnable = TRUE;
    pView->m_bCheck = FALSE;
    Pump();
    CHECK(tb.IsButtonEnabled(ID_BTN_ENABLE));
    CHECK_FALSE(tb.IsButtonChecked(ID_BTN_CHECK));
    // The floating bar is updated too.
    pView->m_bEnable = FALSE;
    Pump();
    CHECK_FALSE(pFrame->m_barFloat.GetToolBarCtrl().IsButtonEnabled(ID_BTN_ENABLE));
    pView->m_bEnable = TRUE;
    Pump();

    // Button information and item rectangles.
    CToolBar& bar = pFrame->m_barOne;
    CHECK(bar.CommandToIndex(ID_BTN_ORPHAN) == 3);
    CHECK(bar.CommandToIndex(12345) == -1);
    UINT nID, nStyle;
    int iImage;
    bar.GetButtonInfo(2, nID, nStyle, iImage);
    CHECK((nStyle & TBBS_SEPARATOR) != 0);
    bar.SetButtonInfo(2, 0, TBBS_SEPARATOR, 60);  // a separator that will host a control
    CRect rcSep;
    bar.GetItemRect(2, &rcSep);
    CHECK(rcSep.Width() == 60);
    bar.GetButtonInfo(3, nID, nStyle, iImage);
    CHECK(nID == ID_BTN_ORPHAN);
    CHECK(iImage == 2);
    bar.SetButtonInfo(2, 0, TBBS_SEPARATOR, 8);

    // Tool tips come from the second part of the command's string.
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = bar.m_hWnd;
    info.hdr.idFrom = ID_BTN_ENABLE;
    info.hdr.code = TTN_NEEDTEXTA;
    pFrame->SendMessage(WM_NOTIFY, 0, (LPARAM)&info);
    CHECK(CString(info.lpszText) == "Enable Thing");
}

TEST_CASE("a tool bar from a tool-bar resource; menu items take their state when the menu opens") {
    CTestFrame* pFrame = EnsureFrame();
    CToolBar bar;
    REQUIRE(bar.CreateEx(pFrame, TBSTYLE_FLAT, WS_CHILD | CBRS_TOP, CRect(0, 0, 0, 0), 1070));
    REQUIRE(bar.LoadToolBar(IDR_TOOLBAR));
    CHECK(bar.GetCount() == 4);
    CHECK(bar.GetToolBarCtrl().GetButtonCount() == 4);
    CHECK(bar.GetItemID(0) == ID_BTN_ENABLE);
    CHECK(bar.GetItemID(1) == 0);
    CHECK(bar.CommandToIndex(ID_BTN_PLAIN) == 3);
    UINT nID, nStyle;
    int iImage;
    bar.GetButtonInfo(3, nID, nStyle, iImage);
    CHECK(iImage == 2);  // images are numbered over the buttons only
    CHECK(bar.GetButtonSize() == CSize(23, 22));
    CHECK(bar.GetImageSize() == CSize(16, 15));
    bar.DestroyWindow();

    // The Edit menu: items without a handler are disabled when it opens.
    CMenu* pEdit = CMenu::FromHandle(::GetSubMenu(::GetMenu(pFrame->m_hWnd), 1));
    pFrame->SendMessage(WM_INITMENUPOPUP, (WPARAM)pEdit->m_hMenu, 1);
    CHECK((pEdit->GetMenuState(ID_BTN_ORPHAN, MF_BYCOMMAND) & MF_GRAYED) != 0);
    CHECK((pEdit->GetMenuState(ID_ROUTE_APP, MF_BYCOMMAND) & MF_GRAYED) == 0);
}

TEST_CASE("a document class that asks nothing never drops a modified document") {
    struct PlainDoc : CDocument {};
    PlainDoc doc;
    KvMessageBoxCapture boxes(IDNO);
    CHECK(doc.SaveModified());
    doc.SetModifiedFlag(TRUE);
    CHECK_FALSE(doc.SaveModified());
    CHECK(doc.IsModified());
    CHECK(boxes.Boxes().empty());
}

TEST_CASE("closing the frame asks the document first") {
    CTestFrame* pFrame = EnsureFrame();
    CDocument* pDoc = pFrame->GetActiveDocument();
    pDoc->SetModifiedFlag(TRUE);
    {
        KvMessageBoxCapture boxes(IDCANCEL);
        pFrame->SendMessage(WM_CLOSE);
        CHECK(boxes.Boxes().size() == 1);
    }
    CHECK(App().m_pMainWnd == pFrame);
    CHECK(::IsWindow(pFrame->m_hWnd));
    pDoc->SetModifiedFlag(FALSE);
}

TEST_CASE("a bar docked, floated, hidden and docked again keeps its place") {
    CTestFrame* pFrame = EnsureFrame();
    CDockBar* pTop = TopDock(pFrame);
    REQUIRE(pTop != nullptr);
    CToolBar& two = pFrame->m_barTwo;
    CHECK(two.m_pDockBar == pTop);
    CHECK_FALSE(two.IsFloating());
    // The view starts below the dock bar.
    CRect rcTop = ScreenRect(pTop), rcView = ScreenRect(pFrame->GetActiveView());
    CHECK(rcView.top == rcTop.bottom);
    CHECK(rcTop.Height() > 40);  // two rows

    CRect before = ScreenRect(&two);
    int nPos = pTop->FindBar(&two);
    REQUIRE(nPos > 0);

    pFrame->FloatControlBar(&two, CPoint(300, 300));
    Pump();
    CHECK(two.IsFloating());
    CHECK(CDockBar::IsPlaceHolder(pTop->m_arrBars[nPos]));
    CWnd* pMini = two.GetParent()->GetParent();
    REQUIRE(pMini != nullptr);
    CHECK(pMini->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)));
    CHECK(pMini->IsWindowVisible());
    CHECK(ScreenRect(pTop).Height() < rcTop.Height());  // one row left

    pFrame->ShowControlBar(&two, FALSE, FALSE);
    CHECK_FALSE(pMini->IsWindowVisible());

    pFrame->DockControlBar(&two);
    pFrame->ShowControlBar(&two, TRUE, FALSE);
    Pump();
    CHECK_FALSE(two.IsFloating());
    CHECK(pTop->FindBar(&two) == nPos);
    CHECK(ScreenRect(&two) == before);
    CHECK(ScreenRect(pFrame->GetActiveView()).top == rcView.top);

    // Double-click toggling goes the same way.
    two.m_pDockContext->ToggleDocking();
    CHECK(two.IsFloating());
    two.m_pDockContext->ToggleDocking();
    Pump();
    CHECK_FALSE(two.IsFloating());
    CHECK(ScreenRect(&two) == before);

    // Delayed hiding happens at the next layout.
    pFrame->ShowControlBar(&two, FALSE, TRUE);
    CHECK(two.IsWindowVisible());
    CHECK_FALSE(two.IsVisible());
    Pump();
    CHECK_FALSE(two.IsWindowVisible());
    CHECK(ScreenRect(pFrame->GetActiveView()).top < rcView.top);
    pFrame->ShowControlBar(&two, TRUE, FALSE);
    Pump();
    CHECK(ScreenRect(&two) == before);
}

TEST_CASE("dragging a bar docks it on another side or floats it") {
    CTestFrame* pFrame = EnsureFrame();
    CToolBar& two = pFrame->m_barTwo;
    pFrame->DockControlBar(&two, AFX_IDW_DOCKBAR_TOP);
    Pump();
    CRect rcClient;
    pFrame->GetClientRect(&rcClient);
    pFrame->ClientToScreen(&rcClient);
    auto drag = [&](CPoint to) {
        CRect rcBar = ScreenRect(&two);
        CPoint from(rcBar.left + 4, rcBar.top + rcBar.Height() / 2);  // on the gripper
        CPoint client = to;
        two.ScreenToClient(&client);
        two.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.x, client.y));
        two.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
        two.m_pDockContext->StartDrag(from);
        Pump();
    };
    // To the left edge: docked on the left, standing upright.
    drag(CPoint(rcClient.left + 4, rcClient.top + rcClient.Height() / 2));
    CHECK(two.m_pDockBar == pFrame->GetControlBar(AFX_IDW_DOCKBAR_LEFT));
    CHECK((two.GetBarStyle() & CBRS_ALIGN_ANY) == CBRS_ALIGN_LEFT);
    CRect rc = ScreenRect(&two);
    CHECK(rc.Height() > rc.Width());
    CHECK(ScreenRect(pFrame->GetActiveView()).left >= rc.right - 2);
    // To the middle of the view: floating there.
    CRect rcView = ScreenRect(pFrame->GetActiveView());
    drag(rcView.CenterPoint());
    CHECK(two.IsFloating());
    CWnd* pMini = two.GetParent()->GetParent();
    CRect rcMini = ScreenRect(pMini);
    rcMini.InflateRect(12, 12);  // the drop point lies on the floating frame or at its edge
    CHECK(rcMini.PtInRect(rcView.CenterPoint()));
    // A floating bar of dynamic size wraps its buttons to the width asked for.
    CSize oneRow = two.CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH);
    CSize narrow = two.CalcDynamicLayout(60, LM_HORZ | LM_COMMIT);
    CHECK(narrow.cy > oneRow.cy);
    CHECK(narrow.cx < oneRow.cx);
    CHECK(two.m_nMRUWidth == narrow.cx);
    two.m_nMRUWidth = 32767;
    pFrame->DockControlBar(&two, AFX_IDW_DOCKBAR_TOP);
    Pump();
    CHECK(two.m_pDockBar == pFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP));
}

TEST_CASE("the bar layout under \"Toolbars\" comes back at the next start; a stale one is ignored") {
    CTestFrame* pFrame = EnsureFrame();
    // Move things about: bar two floats, bar one docks at the bottom.
    pFrame->FloatControlBar(&pFrame->m_barTwo, CPoint(250, 320));
    pFrame->DockControlBar(&pFrame->m_barOne, AFX_IDW_DOCKBAR_BOTTOM);
    Pump();
    CRect rcOne = ScreenRect(&pFrame->m_barOne);
    CRect rcTwoFrame = ScreenRect(pFrame->m_barTwo.GetParent()->GetParent());
    CRect rcFloatFrame = ScreenRect(pFrame->m_barFloat.GetParent()->GetParent());
    pFrame->SaveBarState("Toolbars");
    CHECK(App().GetProfileInt("Toolbars-Summary", "Bars", 0) > 4);

    pFrame = Restart(true);
    CHECK(pFrame->m_barOne.m_pDockBar == pFrame->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM));
    CHECK(ScreenRect(&pFrame->m_barOne) == rcOne);
    REQUIRE(pFrame->m_barTwo.IsFloating());
    CHECK(ScreenRect(pFrame->m_barTwo.GetParent()->GetParent()).TopLeft() == rcTwoFrame.TopLeft());
    CHECK(ScreenRect(pFrame->m_barFloat.GetParent()->GetParent()).TopLeft() == rcFloatFrame.TopLeft());

    // A saved layout naming a bar that does not exist is not applied.
    CDockState state;
    state.LoadState("Toolbars");
    int nTopEntry = -1;
    for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); ++i) {
        CControlBarInfo* pInfo = (CControlBarInfo*)state.m_arrBarInfo[i];
        if (pInfo->m_nBarID == AFX_IDW_DOCKBAR_TOP) nTopEntry = (int)i;
    }
    REQUIRE(nTopEntry >= 0);
    ((CControlBarInfo*)state.m_arrBarInfo[nTopEntry])->m_arrBarID.Add((void*)(UINT_PTR)4321);
    ((CControlBarInfo*)state.m_arrBarInfo[nTopEntry])->m_arrBarID.Add(nullptr);
    CHECK_FALSE(state.IsValidFor(pFrame));
    state.SaveState("Toolbars");

    pFrame = Restart(true);
    // The default layout: both bars docked on top, the third floating.
    CHECK(pFrame->m_barOne.m_pDockBar == TopDock(pFrame));
    CHECK(pFrame->m_barTwo.m_pDockBar == TopDock(pFrame));
    CHECK(pFrame->m_barFloat.IsFloating());
    CDockState empty;
    CHECK_FALSE(pFrame->SetDockState(empty));
}

TEST_CASE("the recent-file list keeps four entries across starts") {
    CTestFrame* pFrame = EnsureFrame();
    App().LoadStdProfileSettings(4);
    REQUIRE(App().m_pRecentFileList != nullptr);
    CDocument* pDoc = pFrame->GetActiveDocument();
    const char* files[] = {"C:\\kv\\a.kvl", "C:\\kv\\b.kvl", "C:\\kv\\c.kvl", "C:\\kv\\d.kvl",
                           "C:\\kv\\e.kvl"};
    for (const char* f : files) pDoc->SetPathName(f);
    pDoc->SetPathName("C:\\KV\\C.KVL");  // the same file moves up
    CHECK(pDoc->GetTitle() == "C.KVL");

    App().LoadStdProfileSettings(4);  // as at the next start
    CRecentFileList& mru = *App().m_pRecentFileList;
    REQUIRE(mru.GetSize() == 4);
    CHECK(mru[0] == "C:\\KV\\C.KVL");
    CHECK(mru[1] == "C:\\kv\\e.kvl");
    CHECK(mru[2] == "C:\\kv\\d.kvl");
    CHECK(mru[3] == "C:\\kv\\b.kvl");
    CHECK(App().GetProfileString("Recent File List", "File1") == "C:\\KV\\C.KVL");
    CHECK(App().GetProfileString("Recent File List", "File5", "none") == "none");

    // The File menu shows them in place of "Recent File".
    CMenu* pFile = CMenu::FromHandle(::GetSubMenu(::GetMenu(pFrame->m_hWnd), 0));
    pFrame->SendMessage(WM_INITMENUPOPUP, (WPARAM)pFile->m_hMenu, 0);
    CString text;
    pFile->GetMenuString(ID_FILE_MRU_FILE1, text, MF_BYCOMMAND);
    CHECK(text == "&1 C:\\KV\\C.KVL");
    pFile->GetMenuString(ID_FILE_MRU_FILE4, text, MF_BYCOMMAND);
    CHECK(text == "&4 C:\\kv\\b.kvl");
    pFrame->SendMessage(WM_INITMENUPOPUP, (WPARAM)pFile->m_hMenu, 0);  // again: no duplicates
    int nMRU = 0;
    for (UINT i = 0; i < pFile->GetMenuItemCount(); ++i) {
        UINT id = pFile->GetMenuItemID((int)i);
        if (id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_LAST) ++nMRU;
    }
    CHECK(nMRU == 4);

    // Choosing an entry opens it through the application; it moves to the top.
    CTestDoc* pTestDoc = (CTestDoc*)pDoc;
    int nOpen = pTestDoc->m_nOpen;
    pFrame->SendMessage(WM_COMMAND, ID_FILE_MRU_FILE3, 0);
    CHECK(pTestDoc->m_nOpen == nOpen + 1);
    CHECK(pDoc->GetPathName() == "C:\\kv\\d.kvl");
    CHECK(mru[0] == "C:\\kv\\d.kvl");
}

TEST_CASE("picture of the frame with two tool bars and a floating bar") {
    CTestFrame* pFrame = EnsureFrame();
    pFrame->SetWindowPos(nullptr, 20, 20, 640, 420, SWP_NOZORDER);
    pFrame->FloatControlBar(&pFrame->m_barFloat, CPoint(380, 260));
    pFrame->ShowControlBar(&pFrame->m_barFloat, TRUE, FALSE);
    Pump();
    ::RedrawWindow(pFrame->m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    CWnd* pMini = pFrame->m_barFloat.GetParent()->GetParent();
    ::RedrawWindow(pMini->m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | RDW_UPDATENOW);
    Pump();
    CHECK(kvtest::SaveScreenPng("docview_frame.png"));
    kvtest::Capture cap = kvtest::CaptureWindow(pFrame->m_barOne.m_hWnd);
    REQUIRE_FALSE(cap.Empty());
    // The first button's red image is on the bar.
    bool red = false;
    for (unsigned p : cap.pixels) red = red || p == 0xC80000;
    CHECK(red);
}
