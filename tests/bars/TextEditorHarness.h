// What the editing bars' tests share: the application object and theme resources, a message
// loop that pre-translates as the application's does, key presses sent through it, and a canvas
// over a real design that records the undo steps the bars open.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "bars/BarCanvas.h"
#include "framework/DocView.h"
#include "bars/AlbumFieldEdit.h"
#include "model/KorvanelleDocument.h"

class CBarText;

namespace editortest {

// The application object, GDI+ and the theme resources, once per program.
void InitProgram();

// Dispatches the thread's messages with the application's pre-translation (accelerators and the
// controls' own key handling) until `done` holds or `ms` pass.
bool Pump(const std::function<bool()>& done, DWORD ms);
inline void Settle(DWORD ms = 60) {
    Pump([] { return false; }, ms);
}

// Puts the mouse pointer back where it was when the scope ends: tests that move it leave the
// screen as they found it for the tests after them.
class PointerRestore {
public:
    PointerRestore() { ::GetCursorPos(&m_at); }
    ~PointerRestore() { ::SetCursorPos(m_at.x, m_at.y); }
    PointerRestore(const PointerRestore&) = delete;
    PointerRestore& operator=(const PointerRestore&) = delete;

private:
    POINT m_at = {};
};

// Posts a key press (down, its character when it has one, up) to a window and dispatches it.
// With `control` the Ctrl key reads as held meanwhile.
void PressKey(HWND window, UINT key, bool control = false);
// Posts the characters of a text as typed, one WM_CHAR each, and dispatches them.
void TypeText(HWND window, const char* text);

// A canvas over a design of its own: every undo step with the field texts it recorded.
class TestCanvas : public BarCanvas {
public:
    struct Step {
        CString field;   // the album field the step changed
        CString before;  // its text at "prevText"
        CString after;   // its text at "nextText"
        int recordings = 0;
    };

    TestCanvas();
    ~TestCanvas() override;

    // A design from the built-in CD templates with the sample album data; `twoDiscs` makes it a
    // two-disc design (layout "Layout2DiscTop").
    void MakeDesign(bool twoDiscs);

    KorvanelleDocument* GetDesign() override { return m_hasDesign ? &m_design : nullptr; }
    bool IsUndoStepOpen() override { return m_open; }
    void BeginUndoStep() override;
    void RecordObjectUndoValue(LPCSTR key, ViewObject* object) override;
    void EndUndoStep() override;
    void SetDocumentText(const CString& fieldName, const CString& text) override;
    void RefreshLinkedObjects() override;
    void RequestRedraw() override { ++m_redraws; }
    void TakeSnapshot(BarViewSnapshot& snapshot) override;
    void RecenterAndRefresh() override { ++m_recenters; }
    void InsertObject(const CString& kind) override { m_inserted.push_back(kind); }

    // What only the formatting bars ask: nothing happens here.
    bool InPrintPreview() override { return false; }
    bool IsSplashDone() override { return true; }
    HWND GetViewWindow() override { return nullptr; }
    void RecordUndoValue(LPCSTR) override {}
    void DiscardUndoStep() override { m_open = false; }
    void ApplyUndoStep(bool) override {}
    void SetRenderWaitCursor(bool) override {}
    void RedrawNow() override {}
    void OnChangeLabelTemplate() override {}
    void ShowLabelAlignment(const CString&, int, bool) override {}
    void SetDiscLayout(int) override {}
    void GetSelection(int& start, int& end) override { start = end = 0; }
    const COLORREF* GetRunObject(ViewObject*, int) override { return nullptr; }
    void SetColor(ViewObject*, COLORREF, bool) override {}
    void OnBold() override {}
    void OnItalic() override {}
    void OnUnderline() override {}
    void OnAlignLeft(bool) override {}
    void OnAlignCenter(bool) override {}
    void OnAlignRight(bool) override {}
    void UpdateTextLayout(bool, bool) override {}
    void SetFontName(const CString&) override {}
    void SetFontSize(const CString&) override {}
    void ShowFontSize() override {}
    void SetAngle(const CString&) override {}
    void SetWrapStyle(const CString&) override {}
    void SetTrackNumbers(const CString&) override {}
    void SetTrackLayout(const CString&, bool) override {}
    void SetLinkText(bool, bool) override {}
    void SetTextMargin(int, bool) override {}
    void SetImageSize(bool, bool) override {}
    void BringImageToFront(ViewObject*) override {}
    void SetAsBackground(ViewObject*, bool, bool) override {}
    void SetImageHsl(int, int, int, bool) override {}

    // Undoes the last step: its field takes the text it had before.
    void UndoLast();

    KorvanelleDocument m_design;
    KorvanelleDocument m_library;
    bool m_hasDesign = false;
    CBarText* m_bar = nullptr;  // refreshed after every store, as the view does
    std::vector<Step> m_steps;
    bool m_open = false;
    Step m_openStep;
    int m_redraws = 0;
    int m_linkedRefreshes = 0;
    int m_snapshots = 0;
    int m_recenters = 0;
    std::vector<CString> m_inserted;
};

}  // namespace editortest

#include "bars/BarText.h"
#include "bars/ToolView.h"

namespace editortest {

// The canvas's place in the test frames: the canvas texture, as the view shows it round a design.
class PaneWnd : public CWnd {
public:
    BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()
};

// A main window as the application builds it for the editing bars: the View menu, dock bars
// with the themed background, the main tool bar with Insert, the Text Editor bar docked left and
// a plain pane where the canvas goes. Its handlers of the bar's events do what the application's
// do (bars/AlbumFieldEdit.h).
class EditorFrame : public CFrameWnd {
public:
    EditorFrame();
    ~EditorFrame() override;

    CBarText m_bar;
    CToolView m_toolbar;
    PaneWnd m_pane;
    CImageList m_toolImages[3];
    int m_focused = 0;
    int m_removedFocus = 0;

    // Creates the window (`canvas` gets the bar for its refreshes) and lays it out.
    BOOL CreateEditor(TestCanvas& canvas, const CRect& rect);
    void RecalcLayout(BOOL notify = TRUE) override;

    void OnBarFocused() { ++m_focused; }
    void OnBarRemoveFocus() {
        ++m_removedFocus;
        m_pane.SetFocus();
    }
    void OnBarUpdateText(CString& text, CEditText* box) { StoreFieldEdit(m_bar, text, box); }
    void OnTrackChange(int count, CString name) { ChangeTrackCount(m_bar, count, name); }

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();

    DECLARE_MESSAGE_MAP()
};

}  // namespace editortest
