// CBarText: the docking bar captioned "Text Editor" in which the user types the album fields of
// the design: a box for each of Artist, Title, Year, Time and Genre, the Tracks box that sets
// the number of tracks, the track-list grid with Move Up, Move Down and Remove under it, and a
// caption above each control. In a two-disc design every name carries the disc suffix of the
// selected object's disc.
//
// The bar holds no album data: it reads the fields from the design and reports every change
// through its events (Focused, RemoveFocus, UpdateText), which the main frame turns into undo
// steps (bars/AlbumFieldEdit.h).
#pragma once

#include <memory>
#include <type_traits>

#include "bars/BarCanvas.h"
#include "framework/win/ScopedGdi.h"
#include "bars/CboTracks.h"
#include "bars/EditText.h"
#include "bars/TrackList.h"
#include "canvas/ViewHost.h"
#include "controls/AeroButton.h"
#include "controls/AeroLabel.h"
#include "controls/ResizeBar.h"
#include "res/CommandIds.h"

class ViewObject;

class CBarText : public CResizeBarCF, public TextEventSource {
    DECLARE_DYNAMIC(CBarText)
public:
    CBarText();
    ~CBarText() override;

    // ---- members, in order ----
    CEditText m_artist;
    CEditText m_title;
    CEditText m_year;
    CEditText m_time;
    CEditText m_genre;
    CCboTracks m_tracks;
    CTrackList m_trackList;
    CEditText m_measure;  // never shown: measures field heights
    AeroButton m_remove;
    AeroButton m_moveUp;
    AeroButton m_moveDown;
    // Artist, Title, Year, Time, Genre, Tracks, Track List.
    AeroLabel m_captions[7];
    CString m_discSuffix;  // "", " - Disc 1" or " - Disc 2"
    CRect m_layoutCache;   // the rectangle the background was last made for
    // Cleared by the frame while its own layout resizes the docked bars; while clear, UpdateLayout
    // prepares the background only.
    BOOL m_layoutValid = TRUE;
    int m_labelHeight = 0;
    CRect m_captionRect;
    BarViewSnapshot m_viewSnapshot;

    // ---- events ----
    // Raising; hooked directly on the boxes' events, so a box's event raises the bar's.


    // ---- operations ----
    // Refreshes the control that shows the album field `name` from the design.
    void UpdateField(CString name);
    // Refreshes every field, the grid included, for a new or opened design.
    void UpdateAllFields();
    // Adapts the names and captions to the disc of the selected object.
    void UpdateCaptions(ViewObject* object);
    // Recomputes a field box's height for a text ("\r\n" line breaks).
    void FitFieldHeight(CEditText* box, const CString& text);
    // Lays out and paints the bar for a rectangle (empty: the bar's own).
    void UpdateLayout(int x, int y, int cx, int cy);
    // 1 removes the grid's current record, 2 moves its field up, anything else down.
    void ChangeTrackRow(int kind);
    // The disc suffix for the selected object's name: " - Disc 1" or " - Disc 2" when the name
    // (before any "(") ends in one, else the current suffix, or " - Disc 1" without one; empty in
    // a one-disc design.
    static CString ChooseDiscSuffix(const CString& objectName, const CString& currentSuffix, bool twoDiscs);
    // The five field boxes in order.
    CEditText* FieldBox(int index);
    // Enables or disables the grid's three buttons.
    void EnableTrackButtons(BOOL enable);
    // Stores the view's layout before a resize of the bar or of the grid's columns.
    void TakeViewSnapshot();
    // What the view asks while it lays itself out: kSidePanelRelayout (with the snapshot) while
    // the frame resizes the visible bar (its layout flag clear), kSidePanelDragging while the
    // bar's edge or a grid column is dragged, else kSidePanelIdle.
    SidePanelState GetSidePanelState(ViewLayoutSnapshot* snapshot) const;
    // Set while the view re-centres after a drag, so that it lays itself out anew.
    BOOL m_snapshotSuspended = FALSE;

    // ---- handlers of the boxes' events ----
    void OnTrackEditKillFocus(CEditText* editor);
    void OnTrackListTab(CEditText* editor);
    void OnTrackListArrow(CEditText* editor, MSG* msg);

    // ---- messages ----
    int OnCreate(LPCREATESTRUCT createStruct);
    void OnDestroy();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnNcPaint();
    // Pictures of the window (PrintWindow): the background it shows, then its children.
    LRESULT OnPrint(WPARAM wParam, LPARAM lParam);
    LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    void OnWindowPosChanged(WINDOWPOS* position);
    void OnNcLButtonDown(UINT hitTest, CPoint point);
    void OnNcLButtonDblClk(UINT hitTest, CPoint point);
    void OnRemoveTrack();
    void OnMoveTrackUp();
    void OnMoveTrackDown();

    DECLARE_MESSAGE_MAP()

private:
    struct IconDeleter {
        void operator()(HICON icon) const;
    };
    typedef std::unique_ptr<std::remove_pointer<HICON>::type, IconDeleter> IconHandle;

    void HookBox(CEditText& box);
    void UnhookBox(CEditText& box);
    // Puts the cell editor's simulated click at a point of the grid (client coordinates).
    void ClickGridAt(CPoint point, CEditText* editor);
    // Repaints the background bitmap for a window of that size.
    void PaintBackground(const CSize& size);
    // Moves a control only when its rectangle changes.
    // Moves the control to the rectangle; true when it was elsewhere or of another size.
    static bool PlaceControl(CWnd& control, const CRect& rect);
    CRect ClientInWindow() const;

    std::unique_ptr<ScopedMemoryDC> m_background;  // the whole window's background, made by UpdateLayout
    IconHandle m_icons[3];
    CImageList m_buttonImages[3];
};
