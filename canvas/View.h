// View: the one view of the application - a scroll view that shows one side of the current
// design at a chosen zoom on the canvas background, and that owns everything the user edits
// through: the design, the library of label templates, the undo steps, the in-place editor
// ViewSelect and the off-screen buffer into which the part of the current side the window shows
// is rendered. Painting copies from the buffer (a scroll first renders what it brings into the
// window); the animated selection outline alone is drawn straight on the window.
//
// The class is spread over several files by topic: View.cpp (buffers, painting, redrawing,
// outline), ViewLayout.cpp (scale, canvas placement, zoom), ViewMouse.cpp (hit testing,
// dragging), ViewKeys.cpp (the keys the canvas takes before the frame's shortcuts), ViewTimers.cpp
// (timers, context menu, side commands, start-up), ViewUndo.cpp, ViewObjects.cpp (object
// commands), ViewClipboard.cpp, ViewTemplates.cpp and ViewPrint.cpp.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <functional>
#include <memory>
#include <vector>

#include "framework/Core.h"
#include "framework/DocView.h"
#include "framework/Win.h"
#include "model/KorvanelleDocument.h"
#include "canvas/PictureDecodeJobs.h"
#include "canvas/PreviewPictures.h"
#include "canvas/Undo.h"
#include "canvas/ViewHost.h"
#include "canvas/ViewSelect.h"

class LargePictureWork;
class RenderContext;

// Window timers of the view.
enum ViewTimerId : UINT_PTR {
    kTimerFlashOutline = 1077,  // 700 ms: repaint from the buffer after a flashed side outline
    kTimerStartUp = 1081,       // 20 ms: wait for the splash window
    kTimerPrintPreview = 1087,  // 10 ms: open the print preview chosen in the print dialog
    kTimerContextPoint = 1090,  // 100 ms after the context menu closed: forget its point
    kTimerBarMoved = 1091,      // 10 ms: re-centre after a docking bar moved
    kTimerPrintAgain = 1092,    // 10 ms: the print dialog comes back after a closed preview
    kTimerOutline = 1121,       // 75 ms: the animated selection outline
};

// The print dialog's result for its Preview button (1 prints, 7 prints on a LightScribe disc).
const int kPrintDialogPreview = 8;

// The off-screen buffer asked for at start (an A4 page at 300 pixels per inch, 3508, plus 2).
const int kInitialBufferSize = 3510;

class View : public CScrollView {
    DECLARE_DYNCREATE(View)
public:
    View();
    ~View() override;

    // ---- the one view and its host ------------------------------------------------------------
    // The view the application keeps (AppCanvasState::m_pView); null before start-up and after
    // exit.
    static View* GetCurrent();
    // The host of the upward calls (null: nobody is asked).
    static void SetHost(ViewHost* host);
    static ViewHost* GetHost();

    // ---- set-up, buffers and painting ------------------------------------------------------------
    void OnInitialUpdate() override;
    void InitScale();
    bool CreateBuffers(int width, int height);
    bool ResizeBuffers();
    void OnDraw(CDC* pDC) override;
    // Renders (when `render`) and paints now, limited to the changed area; the rectangles are
    // (x, y, width, height) in design units and an empty first one means the whole side.
    void Redraw(bool render, const Gdiplus::Rect& changedA = Gdiplus::Rect(),
                const Gdiplus::Rect& changedB = Gdiplus::Rect());
    void RenderSide(RenderContext& ctx);
    void SetupScreenContext(RenderContext& ctx, const Gdiplus::Rect& printableArea);
    // The part of the buffer the window shows now (buffer coordinates), within the buffer.
    CRect ShownBufferArea() const;
    // The device rectangle of an object on the canvas (buffer coordinates: the scrolled area).
    Gdiplus::Rect ObjectCanvasRect(const ViewObject* object) const;
    // The design-unit offsets of the screen drawing record (the page origin taken back to design
    // units).
    void CanvasOffsets(float& offsetX, float& offsetY) const;
    // For tests: how CreateBuffers makes a section (width, height) -> bitmap or null. Null restores
    // the real one.
    static void SetBufferAllocator(std::function<HBITMAP(HDC, int, int)> allocator);

    // ---- the animated selection outline --------------------------------------------------------
    void StartOutlineTimer();
    void StopOutlineTimer();
    bool IsOutlineAnimating() const { return m_outlineAnimating; }
    void AnimateOutline();
    void EnsureDashPatterns();
    static float* NewDashPattern(float a, float b, float c, float d);

    // ---- geometry, layout and zoom ---------------------------------------------------------------
    // (scale x, scale y): the screen scale, or with a target rectangle the scale that fits the
    // object into it.
    void ModelToDevice(const ViewObject* object, const Gdiplus::Rect& target, double& scaleX,
                       double& scaleY) const;
    void GetScrollOrigin(CPoint& origin, bool negate) const;
    void GetViewClientArea(CRect& rect);
    void GetClientRectInsideBars(CRect& rect);
    void PlaceCanvas();
    void SetPageScrollSizes();
    void FitZoom();
    void RecenterView(bool fit, bool pickSide);
    void RefreshView(const CString& sideName = CString());
    void OnZoomIn();
    void OnZoomOut();
    // What a side panel's drag keeps of the layout (taken by the frame or the bar when the drag
    // begins).
    void TakeLayoutSnapshot(ViewLayoutSnapshot& snapshot);
    // Device point of the window -> design point, at the current scale.
    Gdiplus::Point ClientToDesign(CPoint point) const;

    // ---- mouse ----------------------------------------------------------------------------------
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    ViewObject* PickObjectAt(CPoint point);
    ViewObject* HitTestNext(CPoint point);
    void ConstrainDragRect(ViewObject* object, CRect& rect);
    void FlashSideOutline(ViewObject* object);
    void SelectSideAtRect(const Gdiplus::Rect& rect);
    bool GetImageNaturalSize(ViewObject* image, int& width, int& height, bool fit);
    // Selects the named object and brings the bars in line; `fontBar` false leaves the
    // Properties bar to the caller, which refreshes it itself.
    ViewObject* OnSelectionChanged(const CString& name, BOOL redraw = TRUE, bool fontBar = true);
    void EnableObjectCommands(ViewObject* object);
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Characters typed on the canvas and still waiting for the idle time go into the text they
    // were typed into before `msg` is handled, when it is input that may change what they would
    // reach: a mouse press anywhere, a menu key, a key for another window.
    void InsertTypingBefore(const MSG& msg);
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    // ---- timers, context menu, sides, start-up ---------------------------------------------------
    void OnTimer(UINT_PTR nIDEvent);
    void OnContextMenu(CWnd* pWnd, CPoint point);
    void OnShowDisc2();
    void OnShowDiscLabel();
    void OnShowFrontCover();
    void OnShowBackCover();
    void ShowSide(const CString& sideName);
    void OnShowGuides();
    // Changes the design's disc layout (0 to 5) as one undo step.
    void SetDiscLayout(int layout);
    // Makes a freshly created or loaded design the view's: its contents move into m_design (the
    // given document is left empty); `refresh` is handed to ApplyTemplate.
    void ResetForDocument(KorvanelleDocument* document, BOOL refresh = TRUE);
    void StartUp();
    void OnSplashDone();

    // ---- undo and redo --------------------------------------------------------------------------
    void BeginUndoStep();
    // Records one change into the open step; a null object means the first selected object.
    void RecordUndoValue(const CString& key, ViewObject* object, const CString& previous,
                         const CString& next);
    void EndUndoStep();
    void TrimUndoSteps(int index, bool fromIndexOn);
    // Deletes the open step unclosed (a change that did not happen records nothing).
    void DropOpenUndoStep();
    // The same, and the design is as modified as it was before the step opened.
    void AbandonOpenUndoStep();
    // The document the undo steps mark modified (the frame's active one, else the view's).
    CDocument* UndoDocument();
    void ApplyUndoStep(bool redo);
    void OnEditUndo();
    void OnEditRedo();
    // Stores an album field and refreshes its field in the Text Editor bar.
    void SetDocumentText(const CString& fieldName, const CString& text);
    int GetUndoCount() const { return static_cast<int>(m_undoSteps.GetSize()); }
    CUndo* GetUndoStep(int index) const { return static_cast<CUndo*>(m_undoSteps[index]); }
    // The design is modified whenever its undo position differs from the one it was saved, opened
    // or made at, and unmodified back there: a save says so itself (NoteDesignSaved); an opened or
    // new design clears the document's flag at that position, which the view takes for the saved
    // one whenever it finds the flag clear before the position moves.
    void NoteSavedPosition();
    void MatchModifiedToPosition();
    // The design was just written as it is on screen: its undo position is the saved one. In the
    // middle of a change (a step open, an object dragged) what was written is a passing state that
    // no position holds: no position is the saved one then, and false says the design stays
    // modified.
    bool NoteDesignSaved();

    // ---- property setters (record undo, then set) ------------------------------------------------
    void SetObjectLeft(ViewObject* object, int value, const int* previous = nullptr);
    void SetObjectTop(ViewObject* object, int value, const int* previous = nullptr);
    void SetObjectWidth(ViewObject* object, int value, const int* previous = nullptr);
    void SetObjectHeight(ViewObject* object, int value, const int* previous = nullptr);
    void SetObjectAngle(ViewObject* object, const CString& value);
    void SetAspectRatio(ViewObject* object, int value);
    void SetLinkText(ViewObject* object, int value);
    void SetWrapStyle(ViewObject* object, const CString& value);
    void SetAlignment(ViewObject* object, const CString& value);
    void SetTrackNumbers(ViewObject* object, const CString& value);
    void SetTextLayout(ViewObject* object, const CString& value);
    void SetTextMargin(ViewObject* object, int value);
    void SetAutoFit(ViewObject* object, int value);
    void SetBackground(ViewObject* object, int value);

    // ---- object commands ------------------------------------------------------------------------
    // Kind: "Text", "Image", "Track List" or an album field name ("Artist", "Title", ...).
    void InsertObject(const CString& kind);
    // Rectangle as left, top, right, bottom in design units.
    void InsertImage(const CRect& rect, const CString& path, bool asBackground);
    // Whether a picture inserted lately is still being decoded, or scaled for the screen.
    bool HasPicturesPending() const { return m_pictureJobs.Pending() || !m_pendingPictures.empty(); }
    // Takes what the decoding threads finished: a picture that did not decode is refused with a
    // message and taken out as if never inserted, and a picture scaled for the screen goes to its
    // object, which the canvas then shows.
    LRESULT OnPicturesDecoded(WPARAM, LPARAM);
    // The screen drawing's way to a picture of the shown side that is slow to decode: decoded on a
    // thread and scaled there to width x height (none when 0), it comes later (OnPicturesDecoded);
    // true when the drawing is to leave it out meanwhile.
    bool DecodeShownPicture(ViewObject* picture, int width, int height);
    // As InsertImage, giving the object made (null when none was). A large picture is decoded on
    // a thread: its object is inserted at once, sized from the file's headers, and shown once its
    // pixels come (OnPicturesDecoded).
    ViewObject* InsertImageObject(const CRect& rect, const CString& path, bool asBackground);
    // Forgets the pictures still decoding (the design they were inserted into goes); true when
    // there were any.
    bool DropPendingPictures();
    // Records an insertion as one undo step: the drawing order before, the object `insert` makes
    // and the order after. Nothing is recorded, and the design stays as modified as it was, when
    // it makes none.
    ViewObject* InsertAsUndoStep(const std::function<ViewObject*()>& insert);
    void PlaceObject(CRect& rect, bool fitWidth);
    // Creates a text or track-list object of a kind in a rectangle; null when none was made.
    ViewObject* CreateTextObject(const CString& kind, const CRect& rect);
    void OnDeleteObject();
    void OnCenterHorizontally();
    void OnCenterVertically();
    void OnSnapToGrid();
    void OnHelp();
    void OnGridSize();
    void OnShowGrid();
    void OnUnits();
    void OnSaveAsImage();
    void OnReadCd();

    // ---- clipboard ------------------------------------------------------------------------------
    void OnCopyObject();
    void OnCutObject();
    void OnPasteObject();
    void OnCopyImage();
    void OnEditCopyText();
    void OnEditCutText();
    void OnEditPasteText();
    bool CopyTextToClipboard(ViewObject* object);
    // The selected part of a text or track list as plain text with "\r\n" line ends.
    CString GetSelectedText(ViewObject* object);
    // Copy Object: true when the selected object is on the clipboard.
    bool CopySelectedObject();
    // A large picture's copy waits for the decodes of the shown side, which hold the large-picture
    // work for seconds, and for its own decode for the screen (its pixels then need no second
    // decode): the window paints and takes the messages posted to it meanwhile, the user's input
    // waits in the queue. `work` then holds the large-picture work for the copy; false when the
    // window went or the program ends meanwhile.
    bool WaitForPictureWork(ViewObject* picture, std::unique_ptr<LargePictureWork>& work);
    // A picture's copy (CopyImageToClipboard); a `large` one's bitmap is offered and made later.
    bool CopyPictureToClipboard(ViewObject* picture, bool large, ImageCopyResult& result);
    // The bitmap of a large picture that Copy Object put on the clipboard is made when a program
    // asks for it (WM_RENDERFORMAT), or before the window goes (WM_RENDERALLFORMATS), from the
    // bytes copied, whatever became of their object since; the window answers while a program
    // waits for it. WM_DESTROYCLIPBOARD: another copy took the clipboard's place.
    LRESULT OnRenderFormat(WPARAM format, LPARAM);
    LRESULT OnRenderAllFormats(WPARAM, LPARAM);
    LRESULT OnDestroyClipboard(WPARAM, LPARAM);
    // Puts the copied picture's bitmap on the clipboard, made on a thread of its own from the
    // screen's decode while an object still holds the bytes copied (lent to the work, and given
    // back), else from a decode of them; `answering`: the window answers meanwhile. Nothing when
    // it cannot be made; asked by a program, the user then hears of it once it has its answer.
    void RenderCopiedPicture(bool answering);
    LRESULT OnCopiedPictureUnmade(WPARAM, LPARAM);
    // The bytes of the picture whose bitmap the clipboard offers (a reference of the view's own),
    // or null.
    IStream* m_copiedPicture = nullptr;

    // ---- template library -----------------------------------------------------------------------
    void LoadTemplates();
    void SaveTemplates();
    void OnChangeLabelTemplate();
    void ApplyTemplate(const CString& discChange, const CString& coverChange, bool refresh,
                       bool takeCentring);
    // Edits a library template's alignment (side index 1 to 3); the template edited after
    // "Save", null otherwise.
    LabelTemplate* ShowLabelAlignment(const CString& templateName, int sideIndex, bool asCustom);
    void MatchCoverCaseKind();

    // ---- printing -------------------------------------------------------------------------------
    void SetPrintPageRange();
    // Whether every picture on the pages of the job can be drawn (each decoded and let go again);
    // the user is told of those that cannot, and the job is not to start: a page once printed
    // without its picture cannot be taken back.
    bool CanDrawPrintPictures();
    bool IsDirectDiscPrint();
    void SelectPrinterDevice(CPrintInfo* pInfo, const CanvasPrinterSetup& setup);
    void CentreDiscsForPrint(bool centre);
    void SetCalibrationPageSize(bool paperSize);
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
    void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT point, CPreviewView* pView) override;
    // Opens the print preview the print dialog chose; the application is in print preview only
    // while one is open.
    void OpenPrintPreview();
    // Whether a picture of the print preview's page is still being decoded (the page shows
    // without it meanwhile, and says so).
    bool PrintPreviewPicturesPending() const { return m_printPreviewPictures.Pending(); }
    // Takes the print preview's decoded pictures; the page is drawn again with them.
    LRESULT OnPrintPreviewPictures(WPARAM, LPARAM);
    void OnPrinterCalibration();
    void OnLightScribePrint();
    void PrintOnLightScribe(bool fromPrintDialog);
    // The side page a page of the job prints (page 2 is side page 3 when the front cover is
    // skipped).
    int SidePageOfJobPage(int page) const;
    void DrawCalibrationPage(RenderContext& ctx);

    // ---- window messages ------------------------------------------------------------------------
    // Held while the main window changes size: the window's size changes in between (the frame's
    // layout, the scroll bars decided) leave the font bar's refresh to the last hold's end, which
    // refreshes it once for the size the window settled at.
    class SizeChangeHold {
    public:
        SizeChangeHold();
        ~SizeChangeHold();
        SizeChangeHold(const SizeChangeHold&) = delete;
        SizeChangeHold& operator=(const SizeChangeHold&) = delete;
    };
    void OnSize(UINT nType, int cx, int cy);
    void OnDestroy();
    void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    BOOL OnEraseBkgnd(CDC* pDC);

    // ---- fields ---------------------------------------------------------------------------------
    KorvanelleDocument m_design;     // the current design
    KorvanelleDocument m_templates;  // the library of label templates
    bool m_inUndoRecord = false;
    int m_undoPosition = -1;
    CString m_imageToCopy;  // the image file Copy Image puts on the clipboard
    CString m_dragMode;     // "", "Select", "Move" or a handle name
    CPoint m_downPoint;
    CPoint m_lastPoint;
    CRect m_startBounds;  // design units: left, top, right, bottom
    CRect m_dragRect;     // design units; empty while no drag is under way
    double m_unitsPerPixelX = 0, m_unitsPerPixelY = 0;
    int m_unitsPerInchX = 1000, m_unitsPerInchY = 1000;
    bool m_skipFrontPage = false;
    int m_zoom = 10;  // 10 = 100 %
    double m_pixelsPerUnitX = 1.0, m_pixelsPerUnitY = 1.0;
    bool m_paintEnabled = false;
    bool m_blankCanvas = false;
    CUndo* m_openUndoStep = nullptr;
    bool m_calibrationMode = false;
    // Show the wait cursor while a side is rendered (the application's idle redraw clears it
    // around its call).
    BYTE m_waitCursor = 1;
    CPoint m_pageOrigin;
    // The next OnDraw only clears this flag (the frame sets it when a docking bar moved, together
    // with timer 1091 that re-centres the canvas).
    BYTE m_skipNextPaint = 0;
    int m_firstPrintPage = 1, m_lastPrintPage = 3;
    bool m_printFromPreview = false;
    // The design was just saved as the startup design; cleared by the next undo step and by a
    // reset.
    BYTE m_startupDesignSaved = 0;
    // The off-screen buffer: a memory DC with its bitmap, which it owns and keeps selected.
    ScopedMemoryDC m_buffer;
    CSize m_bufferSize;
    // The part of the buffer that holds the side as it is now drawn (buffer coordinates): a whole
    // redraw draws only what the window shows, and a paint that needs more draws the rest first.
    // Empty while the buffer holds nothing of the screen's.
    CRect m_drawnArea;
    // The frame of the selection handles the buffer holds inverted (buffer pixels; empty: none),
    // while m_drawnHandlesKnown: a new selection on the same side then only takes the old marks
    // off the buffer and puts its own on.
    Gdiplus::Rect m_drawnHandles;
    bool m_drawnHandlesKnown = false;
    CSize m_requestedBufferSize;
    bool m_mouseCaptured = false;
    bool m_contextMenuOpen = false;
    CPoint m_contextPoint{-1, -1};
    bool m_doubleClicked = false;
    bool m_started = false;
    CSize m_canvasMargin{17, 17};
    bool m_outlineAnimating = false;
    bool m_liveDragLayout = true;
    int m_dashPhase = 0;
    CPtrArray m_dashPatterns;  // float[4] each, owned
    CObArray m_undoSteps;      // CUndo, owned
    // Undo positions by their steps' serials: the position before the oldest step kept has the
    // serial of the last step trimmed off the front (0 before any). kNoSavedPosition: the saved
    // state can no longer be reached by Undo or Redo.
    static const unsigned kNoSavedPosition = ~0u;
    unsigned m_nextUndoSerial = 1;
    unsigned m_undoBaseSerial = 0;
    unsigned m_savedUndoSerial = 0;
    CPtrArray m_panelHits, m_objectHits;
    ViewSelect m_select;
    std::unique_ptr<CBorrowedDC> m_memDC;  // m_buffer's DC seen through CDC
    Gdiplus::Graphics* m_memGraphics = nullptr;
    int m_lastPrintedPage = -1;
    CSize m_lastPrintedBuffer;  // the size that page was drawn at
    // The disc template's geometry before a print job centred its discs, restored after it.
    struct PrintGeometry {
        ViewObject* object;
        int left, top, width, height, savedLeft, savedTop;
    };
    std::vector<PrintGeometry> m_printDiscSnapshot;
    // The disc page's size before a calibration job gave it the paper's size.
    CSize m_calibrationSavedPage;
    bool m_calibrationPageChanged = false;
    bool m_discsCentredForPrint = false;
    // The pictures a print job could not draw, which gave it up; told when it ends.
    CString m_printUndrawnPictures;
    // Large inserted pictures being decoded.
    PictureDecodeJobs m_pictureJobs;
    // The print preview's pictures that are slow to decode, decoded on a thread while the window
    // answers.
    PreviewPictures m_printPreviewPictures;
    // An object that belongs to no design yet.
    using OwnedObject = std::unique_ptr<ViewObject, void (*)(ViewObject*)>;
    // A large picture inserted while it is still decoding: its object's name and the serial of
    // the undo step that inserted it (0: none), should it not decode. Once a done step of it has
    // left the undo list (the oldest trimmed, or the list cleared), the background that step put
    // out is kept here instead, to come back should the picture fail.
    struct PendingPicture {
        unsigned ticket = 0;
        CString name, file;
        unsigned stepSerial = 0;
        bool stepBehind = false;  // its step left the list done: the picture was there before it
        OwnedObject putOut{nullptr, &DeleteViewObject};
    };
    std::vector<PendingPicture> m_pendingPictures;
    // The redo steps the insert of a picture still decoding replaced (it may yet be taken out),
    // and that insert's step serial.
    std::vector<CUndo*> m_redoAside;
    unsigned m_redoAsideSerial = 0;
    // Pictures of the shown side (with the bytes they held) whose decode on a thread failed: left
    // out until a side is shown.
    std::vector<std::pair<const ViewObject*, const IStream*>> m_undecodedShownPictures;

    DECLARE_MESSAGE_MAP()

private:
    friend class ViewSelect;
    void ReleaseBuffers();
    // Draws the side into the buffer over `area` (buffer coordinates) afresh; that area alone is
    // then known to be drawn.
    void RenderArea(RenderContext& ctx, const CRect& area);
    // Draws what the window shows, and `needed` (buffer coordinates), into the buffer.
    void RenderShownArea(const CRect& needed);
    // Notes which handles a screen drawing left in the buffer.
    void NoteDrawnHandles(const RenderContext& ctx);
    // Takes the selection's marks (caret, highlight, handles) off the buffer, which then holds the
    // side as a drawing of it without a selection does; false, and nothing done, when what the
    // buffer holds of them is not known.
    bool TakeSelectionMarksOff();
    // Puts the selection's marks on the buffer, as a drawing of the side leaves them.
    void PutSelectionMarksOn();
    // The changed area (a region of window coordinates) spans at least half the drawn area.
    bool CoversMostOfDrawnArea(HRGN changed, CPoint scroll) const;
    // The page's printable area the screen drawing frames (design units; empty when none).
    Gdiplus::Rect ScreenPrintableArea();
    static void DeleteUndoStep(CUndo* step);
    unsigned UndoPositionSerial() const;
    // The index of the step with that serial: -1 for the position before the oldest step, -2 when
    // no step has it.
    int UndoStepIndex(unsigned serial) const;
    void DeleteDashPatterns();
    // Restores the disc template's geometry kept before a print job; true when one was kept.
    bool RestorePrintDiscSnapshot();
    void OnRecenterTimer();
    void ZoomTo(int zoom);
    // Scrolls the least that brings an object lying wholly outside the window into it.
    void BringIntoSight(const ViewObject* object);
    void CenterSelected(bool horizontally);
    // The drag rules of a move (grid snapping, kept inside the side) applied to a new object's
    // rectangle, which it then takes.
    void PlaceByMoveRules(ViewObject* object, CRect rect, const CRect& sideRect);
    // A newly inserted object becomes the selection, with its outline running, and is drawn.
    void SelectInserted(ViewObject* object);
    // Puts a decoded picture's new image object on the current side (placed in the rectangle, or
    // made its background), which takes it over, and selects it; null when there is no side.
    // `width` and `height` give its natural size when its pixels are still to come.
    ViewObject* AddInsertedImage(OwnedObject& object, CRect rect, bool asBackground, int width, int height);
    // A picture that did not decode goes as if never inserted: its step is taken back where the
    // user is (the side shown and the selection stay) and off the list, with the redo steps it
    // replaced back, when it is the newest; otherwise the picture is taken out of the design and
    // of the steps.
    void TakeOutFailedPicture(PendingPicture& picture);
    void RevertNewestUndoStep();
    void ForgetObjectInUndoSteps(int from, const CString& name);
    // The steps from `index` on (the step that inserted `picture` first) made as if the picture
    // had never come: it is forgotten in them, what it put out is kept, steps left changing
    // nothing go, and a save the rewrite changed is no longer a position of the list.
    // An `index` of -1: the picture's step left the list done, and `putOut` (taken over; may be
    // null) is the background that step put out.
    void RewriteStepsWithout(int index, const CString& picture, ViewObject* putOut = nullptr);
    // The backgrounds that `picture` put out, from the step at `index` on, are kept as if it had
    // never come: each stays in the design and in the steps' orders until a later step puts
    // another background on its side, which takes it out instead. Run before the picture is
    // forgotten in the steps.
    void KeepObjectsStepRemoved(int index, const CString& picture);
    // One such background `s`, put out by the step at `index` (-1: by a step before the list),
    // taken over.
    void KeepPutOutBackground(ViewObject* s, int index, const CString& picture);
    // A done step leaves the list: the pictures still decoding take what it tells of them.
    void PassStepToPendingPictures(CUndo& step);
    // Steps from `from` on that a rewrite left changing nothing go; the position and the saved
    // position move to the same state before them.
    void DropEmptiedSteps(int from);
    // While a picture decodes, its step may yet be taken out and the steps after it rewritten:
    // the names of the picture and of the objects those steps took out go to no new object.
    void HoldPendingNames();
    void SetRedoAside(int from, unsigned serial);
    void RestoreRedoAside();
    void FreeRedoAside();
    // A decode outcome of a shown side's picture (DecodeShownPicture); false when the ticket is
    // none of theirs.
    bool TakeShownPictureOutcome(const PictureDecodeJobs::Decoded& outcome);
    // Whether a picture that arrives decoded is kept: only the shown side's are.
    bool KeepsDecodedPicture(const ViewObject* picture);
    // Stops the decodes of pictures on sides other than `side` (-1: on every side), but for
    // inserted pictures whose outcome is still awaited.
    void StopPictureDecodesExceptSide(int side);
    void ApplyTextMargin(ViewObject* disc, int margin);
    // Parts of ApplyUndoStep.
    struct UndoApplyState;
    bool RestoreUndoOrder(CUndo* step, bool redo);
    void ApplyUndoSnapshot(CUndo* step, ViewObject* s, ViewObject* o, UndoApplyState& state);
    // Draws a disc's text-margin rings into the buffer, shows them, and has the editor's timer
    // 1086 redraw without them 700 ms later.
    void FlashMarginRings(ViewObject* disc);
};

// The animated outline's drawing: the frame one pixel outside `r` (window pixels) drawn dashed
// with `first`, then `second`, as far as it can show in `visible`.
void DrawDashedOutline(Gdiplus::Graphics& g, const Gdiplus::Rect& r, const CRect& visible,
                       Gdiplus::Pen& first, Gdiplus::Pen& second);

// The message that tells the canvas a picture decoded on a thread is ready.
const UINT WM_PICTURES_DECODED = WM_APP + 0x94;
// The message that tells the canvas a picture of the print preview's page was decoded.
const UINT WM_PRINT_PREVIEW_PICTURES = WM_APP + 0x95;
// The message that tells the canvas a program that asked for a copied picture's bitmap got none.
const UINT WM_COPIED_PICTURE_UNMADE = WM_APP + 0x96;

// The filter of the Insert Image file dialog.
extern const char* const kInsertImageFilter;

// The scroll-bar thicknesses measured at start-up: the client rectangles of a horizontal and a
// vertical scroll bar.
extern CRect g_hScrollBarRect;
extern CRect g_vScrollBarRect;
