// The editing bars' test harness.
#include "TextEditorHarness.h"

#include "bars/BarText.h"
#include "controls/ThemeFill.h"
#include "controls/ThemeResources.h"
#include "GdiplusSession.h"
#include "res/ResourceImages.h"

namespace editortest {

namespace {

CString JoinCharacters(const ViewObject* object) {
    CString text;
    for (INT_PTR i = 0; i < object->chars.GetSize(); ++i) text += object->chars[i];
    return text;
}

}  // namespace

void InitProgram() {
    static bool done = false;
    if (done) return;
    done = true;
    static CWinApp* app = new CWinApp("KvBarsTest");
    (void)app;
    AfxWinInit(::GetModuleHandleA(nullptr), nullptr, const_cast<LPTSTR>(""), SW_SHOWNORMAL);
    kvtest::GdiplusReady();
    InitThemeResources(IDB_TEXTURE_DIALOG, IDB_TEXTURE_CANVAS, IDP_THEME_IMAGE, IDB_MENU_IMAGES,
                       IDB_TOOL_IMAGES, IDI_KORVANELLE, IDP_SIZE_GRIP);
}

bool Pump(const std::function<bool()>& done, DWORD ms) {
    const DWORD start = ::GetTickCount();
    CWinThread* thread = AfxGetThread();
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (thread && thread->PreTranslateMessage(&msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (done()) return true;
        if (::GetTickCount() - start >= ms) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

namespace {

void SetControlState(bool held) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = held ? 0x80 : 0;
    keys[VK_LCONTROL] = held ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

// Dispatches what is waiting now, nothing more.
void Drain() {
    CWinThread* thread = AfxGetThread();
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (thread && thread->PreTranslateMessage(&msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

}  // namespace

void PressKey(HWND window, UINT key, bool control) {
    if (control) SetControlState(true);
    const UINT scan = ::MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    ::PostMessageA(window, WM_KEYDOWN, key, 1 | (scan << 16));
    ::PostMessageA(window, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
    Drain();
    if (control) SetControlState(false);
}

void TypeText(HWND window, const char* text) {
    for (const char* p = text; *p; ++p) ::PostMessageA(window, WM_CHAR, static_cast<unsigned char>(*p), 1);
    Drain();
}

TestCanvas::TestCanvas() = default;

TestCanvas::~TestCanvas() {
    m_design.DeleteContents(true);
    m_library.DeleteContents(true);
}

void TestCanvas::MakeDesign(bool twoDiscs) {
    m_design.DeleteContents(true);
    m_library.DeleteContents(true);
    m_library.CreateBuiltInTemplates();
    m_design.CreateFromTemplates(m_library.templates[0], m_library.templates[1]);
    if (twoDiscs) m_design.SetDiscLayout(3);
    m_design.SetSampleAlbumData(false);
    m_hasDesign = true;
}

void TestCanvas::BeginUndoStep() {
    if (m_open) return;
    m_open = true;
    m_openStep = Step();
}

void TestCanvas::RecordObjectUndoValue(LPCSTR key, ViewObject* object) {
    if (!m_open || !object) return;
    ++m_openStep.recordings;
    m_openStep.field = object->imagePath;
    if (CString(key) == "prevText" && m_openStep.recordings == 1) m_openStep.before = JoinCharacters(object);
    if (CString(key) == "nextText") m_openStep.after = JoinCharacters(object);
}

void TestCanvas::EndUndoStep() {
    if (!m_open) return;
    m_open = false;
    m_steps.push_back(m_openStep);
}

void TestCanvas::SetDocumentText(const CString& fieldName, const CString& text) {
    m_design.SetAlbumField(fieldName, text);
    if (m_bar) m_bar->UpdateField(fieldName);
}

void TestCanvas::RefreshLinkedObjects() {
    ++m_linkedRefreshes;
    m_design.RefreshLinkedText();
}

void TestCanvas::TakeSnapshot(BarViewSnapshot& snapshot) {
    ++m_snapshots;
    snapshot.scrollPosition = CPoint(m_snapshots, 0);
}

void TestCanvas::UndoLast() {
    if (m_steps.empty()) return;
    const Step step = m_steps.back();
    m_steps.pop_back();
    SetDocumentText(step.field, step.before);
}

}  // namespace editortest

namespace editortest {

namespace {

const UINT kTextBarId = 1048;
const UINT kMainToolbarId = 1054;

// The main tool bar's buttons in the order of its pictures (Insert is the eighth).
const UINT kToolButtons[] = {32800, 32801, 32802,          0, 32799, 32803, 0,
                             32828, 32798, ID_INSERT_MENU, 0, 57643, 57644};
const int kToolImages[] = {0, 1, 2, -1, 3, 4, -1, 5, 6, 7, -1, 8, 9};

}  // namespace

BOOL PaneWnd::OnEraseBkgnd(CDC* dc) {
    CRect client;
    GetClientRect(&client);
    TileThemeBackground(dc->m_hDC, client, 0, 0, 2);
    return TRUE;
}

BEGIN_MESSAGE_MAP(PaneWnd, CWnd)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(EditorFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

EditorFrame::EditorFrame() = default;
EditorFrame::~EditorFrame() = default;

BOOL EditorFrame::CreateEditor(TestCanvas& canvas, const CRect& rect) {
    canvas.m_bar = &m_bar;
    HMENU view = ::CreatePopupMenu();
    ::AppendMenuA(view, MF_STRING, ID_VIEW_TEXT_EDITOR, "Text Editor");
    ::AppendMenuA(view, MF_STRING, ID_VIEW_MAIN_TOOLBAR, "Main Toolbar");
    HMENU menu = ::CreateMenu();
    ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(view), "View");
    if (!Create(nullptr, "Korvanelle", WS_OVERLAPPEDWINDOW | WS_VISIBLE, rect)) return FALSE;
    ::SetMenu(m_hWnd, menu);
    m_hMenuDefault = menu;
    AfxGetApp()->m_pMainWnd = this;
    RecalcLayout();
    m_bar.UpdateAllFields();
    return TRUE;
}

int EditorFrame::OnCreate(LPCREATESTRUCT lpcs) {
    if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
    // Dock bars with the themed background on every side, as the application makes them.
    struct Side {
        UINT id;
        DWORD style;
    } sides[4] = {{AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM},
                  {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP},
                  {AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT},
                  {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT}};
    for (const Side& side : sides) {
        CDockBarEx* dock = new CDockBarEx;
        dock->m_bAutoDelete = TRUE;
        dock->Create(this, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | side.style, side.id);
    }
    EnableDocking(CBRS_ALIGN_ANY);

    m_pane.CreateEx(0, AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW)), "", WS_CHILD | WS_VISIBLE,
                    CRect(0, 0, 10, 10), this, AFX_IDW_PANE_FIRST);

    if (!m_toolbar.CreateEx(this, TBSTYLE_FLAT | TBSTYLE_TRANSPARENT, 0x40402834 | WS_VISIBLE,
                            CRect(0, 0, 0, 0), kMainToolbarId))
        return -1;
    const UINT bitmaps[3] = {246, 348, 358};
    for (int i = 0; i < 3; ++i) {
        HBITMAP bitmap =
            static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmaps[i]),
                                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        m_toolImages[i].Create(55, 41, ILC_COLOR24 | ILC_MASK, 16, 0);
        if (bitmap) {
            ImageList_AddMasked(m_toolImages[i].m_hImageList, bitmap, RGB(255, 0, 255));
            ::DeleteObject(bitmap);
        }
    }
    m_toolbar.SetSizes(CSize(62, 48), CSize(55, 41));
    m_toolbar.GetToolBarCtrl().SetImageList(&m_toolImages[0]);
    m_toolbar.GetToolBarCtrl().SetHotImageList(&m_toolImages[1]);
    m_toolbar.GetToolBarCtrl().SetDisabledImageList(&m_toolImages[2]);
    m_toolbar.SetButtons(kToolButtons, sizeof(kToolButtons) / sizeof(kToolButtons[0]));
    for (int i = 0; i < static_cast<int>(sizeof(kToolImages) / sizeof(kToolImages[0])); ++i) {
        if (kToolImages[i] < 0) continue;
        UINT id = 0, style = 0;
        int image = 0;
        m_toolbar.GetButtonInfo(i, id, style, image);
        m_toolbar.SetButtonInfo(i, id, style, kToolImages[i]);
    }
    m_toolbar.EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);
    DockControlBar(&m_toolbar, AFX_IDW_DOCKBAR_TOP);

    m_bar.m_dwSizingStyle = RBS_SHOWEDGES;
    if (!m_bar.Create("Text Editor", this, kTextBarId, 0x50002800)) return -1;
    m_bar.SetBarStyle(m_bar.GetBarStyle() | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
    m_bar.EnableDocking(CBRS_ALIGN_LEFT);
    m_bar.SetSizeCX(m_bar.m_trackList.GetColumnWidths().Sum() + 27, "Vert");
    DockControlBar(&m_bar, AFX_IDW_DOCKBAR_LEFT);
    m_bar.HookFocused(this, &EditorFrame::OnBarFocused);
    m_bar.HookRemoveFocus(this, &EditorFrame::OnBarRemoveFocus);
    m_bar.HookUpdateText(this, &EditorFrame::OnBarUpdateText);
    m_bar.m_tracks.HookTrackChange(this, &EditorFrame::OnTrackChange);
    return 0;
}

void EditorFrame::OnDestroy() {
    m_bar.UnhookFocused(this, &EditorFrame::OnBarFocused);
    m_bar.UnhookRemoveFocus(this, &EditorFrame::OnBarRemoveFocus);
    m_bar.UnhookUpdateText(this, &EditorFrame::OnBarUpdateText);
    m_bar.m_tracks.UnhookTrackChange(this, &EditorFrame::OnTrackChange);
    CFrameWnd::OnDestroy();
}

void EditorFrame::RecalcLayout(BOOL notify) {
    // The bar lays out its background for the new size while the frame moves the bars, and its
    // controls once the frame is done.
    m_bar.m_layoutValid = FALSE;
    CFrameWnd::RecalcLayout(notify);
    m_bar.m_layoutValid = TRUE;
    m_bar.UpdateLayout(0, 0, 0, 0);
}

}  // namespace editortest
