// What the editing bars ask of the editing canvas: the current design, the view's undo steps and
// the selection editor's formatting operations (the formatting bar, the colour bar and the
// colour picker), and the album fields, the view's layout and the insert commands (the Text
// Editor bar and the insert bar). The bars call these only; each one goes to the current View and
// its ViewSelect unless another canvas is installed (tests install ones that record).
#pragma once

#include <windows.h>

#include "framework/Core.h"

class KorvanelleDocument;
class ViewObject;

// The view's state that the Text Editor bar keeps for the view across a resize of the bar or of
// its grid's columns: the scroll position, the client rectangle inside the bars, the page origin
// and the scroll sizes.
struct BarViewSnapshot {
    CPoint scrollPosition;
    CRect clientRect;
    CPoint pageOrigin;
    CSize totalSize;
};

class BarCanvas {
public:
    virtual ~BarCanvas() = default;

    // ---- the design and the application's state ----
    // The current design; null before start-up and after exit.
    virtual KorvanelleDocument* GetDesign() = 0;
    virtual bool InPrintPreview() = 0;
    // The splash window has gone (the bars may show themselves).
    virtual bool IsSplashDone() = 0;
    // The view's window (the keyboard focus goes back to it); null when there is none.
    virtual HWND GetViewWindow() = 0;

    // ---- undo steps of the view ----
    virtual bool IsUndoStepOpen() = 0;
    virtual void BeginUndoStep() = 0;
    // Records the state the key names for the selected object (no values: the bars pass none).
    virtual void RecordUndoValue(LPCSTR key) = 0;
    virtual void EndUndoStep() = 0;
    // Drops the open step without storing it: the list, the position and the redo tail stay.
    virtual void DiscardUndoStep() = 0;
    virtual void ApplyUndoStep(bool redo) = 0;

    // ---- the view ----
    // Rendering shows the wait cursor while this is on (normally on).
    virtual void SetRenderWaitCursor(bool on) = 0;
    virtual void RedrawNow() = 0;
    virtual void OnChangeLabelTemplate() = 0;
    virtual void ShowLabelAlignment(const CString& templateName, int sideIndex, bool create) = 0;
    virtual void SetDiscLayout(int layout) = 0;

    // ---- the selection editor ----
    virtual void GetSelection(int& start, int& end) = 0;
    // The colour record in force at a character index, null when none.
    virtual const COLORREF* GetRunObject(ViewObject* object, int index) = 0;
    // Null object: the selection.
    virtual void SetColor(ViewObject* object, COLORREF colour, bool redraw) = 0;
    virtual void OnBold() = 0;
    virtual void OnItalic() = 0;
    virtual void OnUnderline() = 0;
    virtual void OnAlignLeft(bool redraw) = 0;
    virtual void OnAlignCenter(bool redraw) = 0;
    virtual void OnAlignRight(bool redraw) = 0;
    virtual void UpdateTextLayout(bool allLinked, bool redraw) = 0;
    virtual void SetFontName(const CString& name) = 0;
    virtual void SetFontSize(const CString& sizeText) = 0;
    virtual void ShowFontSize() = 0;
    virtual void SetAngle(const CString& angle) = 0;
    virtual void SetWrapStyle(const CString& style) = 0;
    virtual void SetTrackNumbers(const CString& format) = 0;
    virtual void SetTrackLayout(const CString& layout, bool redraw) = 0;
    virtual void SetLinkText(bool link, bool redraw) = 0;
    virtual void SetTextMargin(int margin, bool redraw) = 0;
    virtual void SetImageSize(bool lockAspect, bool redraw) = 0;
    virtual void BringImageToFront(ViewObject* image) = 0;
    virtual void SetAsBackground(ViewObject* image, bool keepOption, bool redraw) = 0;
    virtual void SetImageHsl(int hue, int saturation, int lightness, bool withUndo) = 0;

    // ---- album fields, the view's layout and inserting (Text Editor bar, insert bar) ----
    // A canvas that serves only the formatting bars needs none of these: they do nothing here.
    // Records the key for that object (an album field's step records on the design's side).
    virtual void RecordObjectUndoValue(LPCSTR key, ViewObject* object) {
        (void)key;
        (void)object;
    }
    // Stores the album field and refreshes it in the Text Editor bar.
    virtual void SetDocumentText(const CString& fieldName, const CString& text) {
        (void)fieldName;
        (void)text;
    }
    // Every text or track-list object linked to an album field takes that field's text.
    virtual void RefreshLinkedObjects() {}
    // The view is redrawn at the next idle time.
    virtual void RequestRedraw() {}
    // Asks for a redraw at idle time of what the last RefreshLinkedObjects changed.
    virtual void RequestLinkedRedraw() { RequestRedraw(); }
    // The view's layout before a resize of the Text Editor bar or of its grid's columns.
    virtual void TakeSnapshot(BarViewSnapshot& snapshot) { (void)snapshot; }
    // Re-centres the design in the view (the snapshot set aside meanwhile) and refreshes it.
    virtual void RecenterAndRefresh() {}
    // A new object of a kind: "Artist", "Title", "Track List", "Year", "Time", "Genre", "Text",
    // "Image".
    virtual void InsertObject(const CString& kind) { (void)kind; }
};

// The installed canvas; without one, the current View's.
BarCanvas* GetBarCanvas();
// Installs a canvas and returns the previous one; the caller keeps ownership.
BarCanvas* SetBarCanvas(BarCanvas* canvas);
