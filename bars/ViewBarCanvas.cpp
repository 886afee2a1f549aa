// The bars' requests handed to the current View and its ViewSelect.
#include "bars/ViewBarCanvas.h"

#include "canvas/AppCanvasState.h"
#include "canvas/View.h"
#include "canvas/ViewHost.h"
#include "canvas/ViewSelect.h"

namespace {

class ViewBarCanvas : public BarCanvas {
public:
    KorvanelleDocument* GetDesign() override {
        View* view = View::GetCurrent();
        return view ? &view->m_design : nullptr;
    }
    bool InPrintPreview() override { return AppCanvasState::Get().m_inPrintPreview != 0; }
    bool IsSplashDone() override { return AppCanvasState::Get().m_splashDone != 0; }
    HWND GetViewWindow() override {
        View* view = View::GetCurrent();
        return view ? view->GetSafeHwnd() : nullptr;
    }

    bool IsUndoStepOpen() override {
        View* view = View::GetCurrent();
        return view && view->m_openUndoStep != nullptr;
    }
    void BeginUndoStep() override {
        if (View* view = View::GetCurrent()) view->BeginUndoStep();
    }
    void RecordUndoValue(LPCSTR key) override {
        if (View* view = View::GetCurrent()) view->RecordUndoValue(key, nullptr, CString(), CString());
    }
    void EndUndoStep() override {
        if (View* view = View::GetCurrent()) view->EndUndoStep();
    }
    void DiscardUndoStep() override {
        // A step that changed nothing (a colour picker visit, a slider pressed and let go) leaves
        // the design as modified as it was before the step opened.
        if (View* view = View::GetCurrent()) view->AbandonOpenUndoStep();
    }
    void ApplyUndoStep(bool redo) override {
        if (View* view = View::GetCurrent()) view->ApplyUndoStep(redo);
    }

    void SetRenderWaitCursor(bool on) override {
        if (View* view = View::GetCurrent()) view->m_waitCursor = on ? 1 : 0;
    }
    void RedrawNow() override {
        if (View* view = View::GetCurrent()) view->Redraw(true);
    }
    void OnChangeLabelTemplate() override {
        if (View* view = View::GetCurrent()) view->OnChangeLabelTemplate();
    }
    void ShowLabelAlignment(const CString& templateName, int sideIndex, bool create) override {
        if (View* view = View::GetCurrent()) view->ShowLabelAlignment(templateName, sideIndex, create);
    }
    void SetDiscLayout(int layout) override {
        if (View* view = View::GetCurrent()) view->SetDiscLayout(layout);
    }

    void GetSelection(int& start, int& end) override {
        start = end = 0;
        if (View* view = View::GetCurrent()) view->m_select.GetSelection(start, end);
    }
    const COLORREF* GetRunObject(ViewObject* object, int index) override {
        View* view = View::GetCurrent();
        return view ? view->m_select.GetRunObject(object, index) : nullptr;
    }
    void SetColor(ViewObject* object, COLORREF colour, bool redraw) override {
        if (View* view = View::GetCurrent()) view->m_select.SetColor(object, colour, redraw);
    }
    void OnBold() override {
        if (View* view = View::GetCurrent()) view->m_select.OnBold();
    }
    void OnItalic() override {
        if (View* view = View::GetCurrent()) view->m_select.OnItalic();
    }
    void OnUnderline() override {
        if (View* view = View::GetCurrent()) view->m_select.OnUnderline();
    }
    void OnAlignLeft(bool redraw) override {
        if (View* view = View::GetCurrent()) view->m_select.OnAlignLeft(redraw);
    }
    void OnAlignCenter(bool redraw) override {
        if (View* view = View::GetCurrent()) view->m_select.OnAlignCenter(redraw);
    }
    void OnAlignRight(bool redraw) override {
        if (View* view = View::GetCurrent()) view->m_select.OnAlignRight(redraw);
    }
    void UpdateTextLayout(bool allLinked, bool redraw) override {
        if (View* view = View::GetCurrent()) view->m_select.UpdateTextLayout(allLinked, redraw);
    }
    void SetFontName(const CString& name) override {
        if (View* view = View::GetCurrent()) view->m_select.SetFontName(name);
    }
    void SetFontSize(const CString& sizeText) override {
        if (View* view = View::GetCurrent()) view->m_select.SetFontSize(sizeText);
    }
    void ShowFontSize() override {
        if (View* view = View::GetCurrent()) view->m_select.ShowFontSize();
    }
    void SetAngle(const CString& angle) override {
        if (View* view = View::GetCurrent()) view->m_select.SetAngle(angle);
    }
    void SetWrapStyle(const CString& style) override {
        if (View* view = View::GetCurrent()) view->m_select.SetWrapStyle(style);
    }
    void SetTrackNumbers(const CString& format) override {
        if (View* view = View::GetCurrent()) view->m_select.SetTrackNumbers(format);
    }
    void SetTrackLayout(const CString& layout, bool redraw) override {
        if (View* view = View::GetCurrent()) view->m_select.SetTrackLayout(layout, redraw);
    }
    void SetLinkText(bool link, bool redraw) override {
        if (View* view = View::GetCurrent()) view->m_select.SetLinkText(link, redraw);
    }
    void SetTextMargin(int margin, bool redraw) override {
        if (View* view = View::GetCurrent()) view->m_select.SetTextMargin(margin, redraw);
    }
    void SetImageSize(bool lockAspect, bool redraw) override {
        if (View* view = View::GetCurrent()) view->m_select.SetImageSize(lockAspect, redraw);
    }
    void BringImageToFront(ViewObject* image) override {
        if (View* view = View::GetCurrent()) view->m_select.BringImageToFront(image);
    }
    void SetAsBackground(ViewObject* image, bool keepOption, bool redraw) override {
        if (View* view = View::GetCurrent()) view->m_select.SetAsBackground(image, keepOption, redraw);
    }
    void SetImageHsl(int hue, int saturation, int lightness, bool withUndo) override {
        if (View* view = View::GetCurrent()) view->m_select.SetImageHsl(hue, saturation, lightness, withUndo);
    }

    void RecordObjectUndoValue(LPCSTR key, ViewObject* object) override {
        if (View* view = View::GetCurrent()) view->RecordUndoValue(key, object, CString(), CString());
    }
    void SetDocumentText(const CString& fieldName, const CString& text) override {
        if (View* view = View::GetCurrent()) view->SetDocumentText(fieldName, text);
    }
    void RefreshLinkedObjects() override {
        if (View* view = View::GetCurrent()) view->m_select.SetObjectText(nullptr, FALSE);
    }
    void RequestRedraw() override { AppCanvasState::Get().m_redrawRequest = 1; }
    // Only the texts that took their field's new value are drawn again, not the whole side.
    void RequestLinkedRedraw() override {
        View* view = View::GetCurrent();
        if (!view || ::IsRectEmpty(&view->m_select.m_textChangedArea))
            RequestRedraw();
        else
            AppCanvasState::Get().RequestAreaRedraw(view->m_select.m_textChangedArea);
    }
    void TakeSnapshot(BarViewSnapshot& snapshot) override {
        View* view = View::GetCurrent();
        if (!view) return;
        ViewLayoutSnapshot taken;
        view->TakeLayoutSnapshot(taken);
        snapshot.scrollPosition = taken.scrollPosition;
        snapshot.clientRect = taken.clientRect;
        snapshot.pageOrigin = taken.pageOrigin;
        snapshot.totalSize = taken.totalSize;
    }
    void RecenterAndRefresh() override {
        View* view = View::GetCurrent();
        if (!view) return;
        view->RecenterView(true, false);
        view->RefreshView();
    }
    void InsertObject(const CString& kind) override {
        if (View* view = View::GetCurrent()) view->InsertObject(kind);
    }
};

}  // namespace

BarCanvas* GetViewBarCanvas() {
    static ViewBarCanvas canvas;
    return &canvas;
}
