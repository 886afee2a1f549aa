// The world the GUI tests of the formatting and colour bars run in: an application object, the
// theme resources, a frame that creates and docks both bars as the main frame does, a real design
// of built-in templates, and a canvas that records what the bars ask of it and keeps undo steps
// the way the view counts them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "bars/BarCanvas.h"
#include "bars/BarText.h"
#include "bars/ToolColorNew.h"
#include "bars/ToolFont.h"
#include "framework/DocView.h"
#include "model/KorvanelleDocument.h"

namespace barstest {

struct UndoStep {
    std::vector<std::string> keys;
};

class RecordingCanvas : public BarCanvas {
public:
    RecordingCanvas();
    ~RecordingCanvas() override;

    KorvanelleDocument library;
    KorvanelleDocument design;
    HWND view = nullptr;
    CToolFont* fontBar = nullptr;
    bool preview = false;
    bool waitCursor = true;
    bool open = false;
    UndoStep current;
    std::vector<UndoStep> steps;
    int discarded = 0;
    std::vector<std::string> calls;
    int selStart = 0, selEnd = 0;

    // Empties the record of calls and steps.
    void Reset();
    // How many calls begin with the text.
    int Count(const std::string& prefix) const;
    // The last call beginning with the text, empty when none.
    std::string Last(const std::string& prefix) const;
    // Makes the object the only selected one.
    void Select(ViewObject* object);
    ViewObject* Find(const char* name) const { return design.FindObject(name); }
    // A new object of the design on a side (1 the disc, 2 the front cover, 3 the back cover).
    ViewObject* Add(int type, const char* name, int side);

    KorvanelleDocument* GetDesign() override { return &design; }
    bool InPrintPreview() override { return preview; }
    bool IsSplashDone() override { return true; }
    HWND GetViewWindow() override { return view; }
    bool IsUndoStepOpen() override { return open; }
    void BeginUndoStep() override;
    void RecordUndoValue(LPCSTR key) override;
    void EndUndoStep() override;
    void DiscardUndoStep() override;
    void ApplyUndoStep(bool redo) override;
    void SetRenderWaitCursor(bool on) override { waitCursor = on; }
    void RedrawNow() override { calls.push_back("RedrawNow"); }
    void OnChangeLabelTemplate() override { calls.push_back("OnChangeLabelTemplate"); }
    void ShowLabelAlignment(const CString& name, int side, bool create) override;
    void SetDiscLayout(int layout) override;
    void GetSelection(int& start, int& end) override;
    const COLORREF* GetRunObject(ViewObject* object, int index) override;
    void SetColor(ViewObject* object, COLORREF colour, bool redraw) override;
    void OnBold() override { calls.push_back("OnBold"); }
    void OnItalic() override { calls.push_back("OnItalic"); }
    void OnUnderline() override { calls.push_back("OnUnderline"); }
    void OnAlignLeft(bool) override;
    void OnAlignCenter(bool) override;
    void OnAlignRight(bool) override;
    void UpdateTextLayout(bool, bool) override { calls.push_back("UpdateTextLayout"); }
    void SetFontName(const CString& name) override;
    void SetFontSize(const CString& size) override;
    void ShowFontSize() override;
    void SetAngle(const CString& angle) override;
    void SetWrapStyle(const CString& style) override;
    void SetTrackNumbers(const CString& format) override;
    void SetTrackLayout(const CString& layout, bool) override;
    void SetLinkText(bool link, bool) override;
    void SetTextMargin(int margin, bool) override;
    void SetImageSize(bool lock, bool) override;
    void BringImageToFront(ViewObject* image) override;
    void SetAsBackground(ViewObject* image, bool keep, bool) override;
    void SetImageHsl(int hue, int saturation, int lightness, bool withUndo) override;

private:
    ViewObject* Selected() const { return design.GetFirstSelected(); }
};

class BarsFrame : public CFrameWnd {
public:
    CToolColorNew m_toolColor;
    CToolFont m_toolProperties;
    CBarText m_textBar;  // hidden: the formatting bar only names its fields after the selection's disc
    CWnd m_view;
    CImageList m_propertiesNormal;
    CImageList m_propertiesHot;
    CMenu m_menu;

    int OnCreate(LPCREATESTRUCT createStruct);
    DECLARE_MESSAGE_MAP()
};

struct Harness {
    Harness();
    // Every "Error <n>" box a handler would show lands here instead of blocking the test.
    KvMessageBoxCapture boxes{IDOK};
    BarsFrame* frame = nullptr;
    RecordingCanvas canvas;
    CToolFont& Bar() { return frame->m_toolProperties; }
    CToolColorNew& Colors() { return frame->m_toolColor; }
    // Dispatches the queued messages (and what they queue in turn) until none is left.
    void Pump();
    // Gives the frame a width (the bars lay out against its right edge).
    void SetFrameWidth(int width);
};

// The one harness of the test program, made on first use.
Harness& TheHarness();

// The number of buttons of a tool bar.
int ButtonCount(CToolBar& bar);
// Visible (the window's own style bit).
bool Visible(CWnd& control);

}  // namespace barstest
