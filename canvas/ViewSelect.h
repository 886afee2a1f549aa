// ViewSelect: the in-place editor of the view - a hidden child window of the View that edits the
// text of the selected text or track list on the canvas (caret, selection by mouse and keys,
// typing, deleting, the inverted highlight drawn into the view's off-screen buffer) and carries
// the formatting commands on the selection (fonts, sizes, styles, colours, alignment, angles,
// track layouts, text margin, links, image size, background, colour adjustment). Its window only
// owns timers: the caret blink, the track tip, a delayed redraw and the poll of the image colour
// worker.
//
// The class is spread over files by job: ViewSelect.cpp (editing: selection, caret, highlight,
// typing and deleting, the new layout of a changed text, the timers), ViewSelectFormat.cpp
// (formatting of characters, the font state of the formatting bar), ViewSelectProperties.cpp
// (object properties), ViewSelectHsl.cpp (the image colour worker) and ViewKeys.cpp (the keys the
// canvas takes).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "framework/Core.h"
#include "framework/Win.h"
#include "canvas/TextEditing.h"

class View;
class ViewObject;
class RenderContext;
struct HslJob;

// Timers of the editor window.
enum ViewSelectTimerId : UINT_PTR {
    kTimerHslPoll = 1046,      // 10 ms: the image colour worker's result
    kTimerTrackTip = 1072,     // 100 ms: the tip after the last track went
    kTimerCaretBlink = 1082,   // 500 ms
    kTimerMarginFlash = 1086,  // 700 ms: redraw without the flashed margin rings
};

// The flags of a press that View::OnRButtonDown hands on to OnLButtonDown (and the editor's
// BeginMouseSelect): it selects but never starts a drag.
const UINT kRightPress = 999;

// Notifications of ViewSelect::OnSideRedraw around a render of the side.
const int kSideRedrawBefore = 1044;
const int kSideRedrawAfter = 1045;

// The font state of the selection as the formatting bar shows it; empty texts where the
// selected characters differ.
struct FontSelectionState {
    CString faceName;
    CString sizeText;  // "12.0" or "12.0 (AutoFit)"
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

// Where a track layout places a track list on the disc page.
struct TrackPlacement {
    bool placed = false;
    int left = 0, top = 0, width = 0, height = 0;
    const char* wrapStyle = "";
};
// The placement of a layout for a disc at (x, y) with outer diameter d, inner diameter h and text
// margin m; not placed for layouts that have none.
TrackPlacement TrackLayoutPlacement(const CString& layout, int x, int y, int d, int h, int m);
// A size text in points as tenths of a point, raised to a multiple of 5 and clamped to 25..5000.
int ParseFontSizeText(const CString& text);

// Which values of ViewSelect::SetObjectRect are given (0: every non-zero one).
enum ObjectRectField : unsigned { kRectLeft = 1, kRectTop = 2, kRectWidth = 4, kRectHeight = 8 };

class ViewSelect : public CWnd, public TextEditState {
public:
    ViewSelect();
    ~ViewSelect() override;

    View* GetView() const;
    // A text or a track list: the objects whose characters the editor edits.
    static bool IsTextual(const ViewObject* object);

    // ---- editing (texts and track lists) --------------------------------------------------------
    ViewObject* GetSelectedObject() const;
    // The selection of the edited text or track list ((0, 0) for other objects); false when
    // nothing is selected (the outputs are then left alone).
    bool GetSelection(int& start, int& end) const;
    void SetSelection(int start, int end);
    void ResetCharStates();
    void BeginEditing(ViewObject* object);
    void EndEditing();
    void UpdateHighlight(bool hideAll, bool redraw);
    // With fromDevice the point is a client point of the view.
    int CharIndexFromPoint(int x, int y, bool fromDevice);
    void MoveCaret(int key, bool redraw);
    void ExtendSelection(ViewObject* object, int key);
    void BeginMouseSelect(CPoint point, UINT code);
    void DragSelect(int x, int y);
    void NextTrackField(ViewObject* object);
    void DeleteChars(bool finish, bool wholeRows);
    void InsertText(const CString& text);
    void RenumberTracks(ViewObject* object);
    // Linked texts take their album field's value: the object, or every object when null. The
    // objects it changed cover m_textChangedArea (design units; empty when none changed).
    void SetObjectText(ViewObject* object, BOOL timeFieldsOnly);
    RECT m_textChangedArea = {};
    // The keyboard dispatcher; the view hands every message to it first. True when the canvas
    // took the key: the view then consumes the message, so that no shortcut of the frame acts
    // on the same key again (it may also have turned it into message 0).
    bool OnKey(MSG* pMsg);
    // The characters typed on the canvas that wait for the idle handler, inserted as one undo
    // step.
    void InsertQueuedText();
    void OnSideRedraw(int code);
    void OnTimer(UINT_PTR nIDEvent);

    // ---- formatting of characters -------------------------------------------------------------
    void SetFontName(const CString& faceName);
    void SetFontSize(const CString& sizeText);
    void OnBold();
    void OnItalic();
    void OnUnderline();
    void SetCharColor(ViewObject* object, COLORREF color);

    // ---- object properties --------------------------------------------------------------------
    void OnAlignLeft(BOOL refresh = TRUE);
    void OnAlignRight(BOOL refresh = TRUE);
    void OnAlignCenter(BOOL refresh = TRUE);
    void SetWrapStyle(const CString& style);
    void SetAngle(const CString& angleName);
    void SetTrackNumbers(const CString& format);
    void SetTrackLayout(const CString& layout, BOOL redraw = TRUE);
    void SetTextMargin(int margin, BOOL showGuide);
    void SetLinkText(BOOL link, BOOL redraw = TRUE);
    void SetImageSize(BOOL lockAspect, BOOL redraw = TRUE);
    void BringImageToFront(ViewObject* image);
    void SetAsBackground(ViewObject* image, BOOL keepOption, BOOL redraw = TRUE);
    void ClearSideBackground(BOOL redraw = TRUE);
    void SetColor(ViewObject* object, COLORREF color, BOOL redraw = TRUE);
    void SetObjectColor(ViewObject* object, COLORREF color);
    void SetImageHsl(int hue, int saturation, int lightness, BOOL withUndo);
    // The values go through the view's undo-recording setters: those named by `fields`, or with
    // fields 0 every non-zero one; `before` (when given) holds the values before the change as
    // (x, y, width, height) in its left, top, right and bottom.
    void SetObjectRect(ViewObject* object, int left, int top, int width, int height,
                       const CRect* before = nullptr, unsigned fields = 0);
    // Deletes the first selected object as one undo step (the view's Delete Object); with
    // `refresh` the properties are refreshed too.
    void DeleteSelectedObject(BOOL refresh = TRUE);

    // ---- display ------------------------------------------------------------------------------
    void Refresh();
    void ShowFontSize();
    FontSelectionState GetFontSelectionState();
    void UpdateTextLayout(BOOL linkedAll, BOOL redraw);
    // The colour and font record in force at a character index (the nearest non-null entry at or
    // before it); null for pages, images and indices outside the runs.
    COLORREF* GetRunObject(ViewObject* object, int index) const;
    LOGFONTA* GetRunFont(ViewObject* object, int index) const;

    // Forgets a colour adjustment under way: its result is never put into an object.
    void DiscardHslResult();

    // The image colour worker's image while a run is pending (the UI puts a result into it only
    // while it is still part of the design).
    ViewObject* m_hslObject = nullptr;
    // The view that holds this editor (set by the view's constructor).
    View* m_view = nullptr;

    // For tests: how the image colour worker runs (null: on a thread of its own).
    static void SetHslExecutor(std::function<void(std::function<void()>)> executor);
    // Waits until no colour worker runs any more (each has let go of its bitmaps); false when one
    // still runs after `timeoutMs`. Shut-down calls it before GDI+ ends.
    static bool WaitForHslWorkers(DWORD timeoutMs);

    DECLARE_MESSAGE_MAP()

private:
    void RecordFour(ViewObject* object, bool next);
    bool UpdateTrackFrame(const ViewObject& object, RenderContext& ctx, bool hideAll);
    void DrawTrackFrame(const ViewObject& object, RenderContext& ctx, int row, int field);
    std::shared_ptr<HslJob> m_hslJob;
    void ShowTrackTip();
    void PollHslWorker();
    void StartHslWorker(ViewObject* image);
    // Applies a font change to the affected records (the selected runs, or every record).
    template <class Change>
    void ChangeFonts(Change change);
};
