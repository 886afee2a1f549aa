// The small document/view program the document/view tests drive: one
// template (document, frame with tool bars, scroll view) and an application
// object that handles the last step of command routing.
#pragma once

#include <string>
#include <vector>

#include "framework/DocView.h"
#include "framework/Win.h"
#include "DocviewTestIds.h"

namespace dvtest {

extern std::vector<std::string> g_log;  // what handled the routed commands

// A strip of n coloured 16 x 15 images for a tool bar (caller deletes).
HBITMAP MakeStrip(int n);

class CTestDoc : public CDocument {
    DECLARE_DYNCREATE(CTestDoc)
public:
    int m_nNew = 0;
    int m_nOpen = 0;
    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(LPCTSTR lpszPathName) override;
    // Asks as an application's document does (the framework itself asks nothing).
    BOOL SaveModified() override;
    void OnRouteView() { g_log.push_back("doc"); }
    void OnRouteDoc() { g_log.push_back("doc"); }
    DECLARE_MESSAGE_MAP()
};

class CTestView : public CScrollView {
    DECLARE_DYNCREATE(CTestView)
public:
    int m_nInitialUpdates = 0;
    BOOL m_bEnable = TRUE;
    BOOL m_bCheck = FALSE;
    void OnDraw(CDC* pDC) override;
    void OnInitialUpdate() override;
    void OnRouteView() { g_log.push_back("view"); }
    void OnUpdateEnable(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bEnable); }
    void OnUpdateCheck(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_bCheck ? 1 : 0); }
    void OnCommandEnable() {}
    void OnCommandCheck() {}
    DECLARE_MESSAGE_MAP()
};

class CTestFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CTestFrame)
public:
    static bool s_bLoadState;  // the next frame applies the saved "Toolbars" layout
    CToolBar m_barOne, m_barTwo, m_barFloat;
    HBITMAP m_hStrip = nullptr;
    ~CTestFrame() override;
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnRouteView() { g_log.push_back("frame"); }
    void OnRouteDoc() { g_log.push_back("frame"); }
    void OnRouteFrame() { g_log.push_back("frame"); }
    void OnPlain() {}
    DECLARE_MESSAGE_MAP()
};

class CTestApp : public CWinApp {
public:
    CTestApp() : CWinApp("KvDocviewTest") {}
    void OnRouteAll() { g_log.push_back("app"); }
    void OnNew() { CWinApp::OnFileNew(); }
    DECLARE_MESSAGE_MAP()
};

CTestApp& App();
// Registers the template once and makes the frame through File New when
// there is none; returns the frame.
CTestFrame* EnsureFrame();
// Dispatches waiting messages and runs the idle work once.
void Pump();

}  // namespace dvtest
