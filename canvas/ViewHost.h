// ViewHost: everything the editing canvas asks of the layers above it - the editing bars, the
// dialogs of printing, page layout and disc reading, the document shell and the main frame. The
// canvas only knows this interface; the application implements it and installs it at start-up
// (View::SetHost), and tests install a recording one. Every method has a harmless default, so a
// host overrides only what it connects; without a host the canvas asks nobody.
#pragma once

#include <windows.h>

#include "framework/Core.h"

class View;
class ViewObject;
class LabelTemplate;
class KorvanelleDocument;

namespace Gdiplus {
class Bitmap;
}

// What the frame keeps of the view's layout while the user drags the edge of a side panel
// (or a column of the Text Editor bar's grid): taken by View::TakeLayoutSnapshot when the drag
// begins.
struct ViewLayoutSnapshot {
    CPoint scrollPosition;  // device scroll position
    CRect clientRect;       // the view's client rectangle inside the bars, screen coordinates
    CPoint pageOrigin;      // View::m_pageOrigin
    CSize totalSize;        // the scroll view's total size (device pixels)
};

// The state of one side panel (0 the left one, the Text Editor bar; 1 the right one, Images).
enum SidePanelState {
    kSidePanelIdle = 0,      // no drag of its edge under way
    kSidePanelDragging = 1,  // its edge is being dragged; the canvas leaves its layout alone
    kSidePanelRelayout = 2,  // visible and being laid out anew during that drag: keep the page still
};

// The current printer set-up as the canvas's printing needs it (the record belongs to the
// printing layer; the handles stay the host's).
struct CanvasPrinterSetup {
    HGLOBAL devNames = nullptr;      // DEVNAMES
    HGLOBAL paperDevMode = nullptr;  // DEVMODE for printing on paper
    HGLOBAL discDevMode = nullptr;   // DEVMODE for printing directly on discs
    int calibrationX = 0;            // horizontal calibration offset, fortieths of an inch
    int calibrationY = 0;            // vertical calibration offset, fortieths of an inch
};

class ViewHost {
public:
    virtual ~ViewHost() = default;

    // ---- editing bars --------------------------------------------------------------------------
    // The "Text Editor" bar refreshes the field of that album field name / every field.
    virtual void UpdateField(const CString& fieldName) { (void)fieldName; }
    virtual void UpdateAllFields() {}
    // The formatting bar takes every control from the object (null: the selected object).
    virtual void UpdateFontBarFromSelection(ViewObject* object) { (void)object; }
    // The colour bar shows the object's colour (null: the selected object's).
    virtual void UpdateColorBarFromSelection(ViewObject* object) { (void)object; }
    // The formatting bar's buttons: how many it has, and the image shown by button `index`
    // (-1 when there is no such button).
    virtual int GetFormatBarButtonCount() { return 0; }
    virtual int GetFormatBarButtonImage(int index) {
        (void)index;
        return -1;
    }
    virtual void SetFormatBarButtonImage(int index, int image) {
        (void)index;
        (void)image;
    }
    // The font box selects the entry equal to the face name (an empty name: empty text); the
    // size box shows the text.
    virtual void ShowFontName(const CString& faceName) { (void)faceName; }
    virtual void ShowFontSizeText(const CString& sizeText) { (void)sizeText; }
    // The aspect-ratio drop-down button shows the item of that command.
    virtual void SetAspectButtonCommand(UINT commandId) { (void)commandId; }
    // The image panel starts loading the thumbnails of a folder.
    virtual void LoadImageFolder(const CString& folder, bool subfolders, int filter) {
        (void)folder;
        (void)subfolders;
        (void)filter;
    }

    // ---- main frame ----------------------------------------------------------------------------
    virtual void CheckSnapToGrid(bool checked) { (void)checked; }
    virtual void CheckShowGrid(bool checked) { (void)checked; }
    virtual void UpdateMainToolbarButtons() {}
    // Redraw at once the main tool bar and the formatting bar.
    virtual void RedrawToolBars() {}
    // Redraw the frame's menu bar (after print preview).
    virtual void RedrawMenuBar() {}
    // Show the colour tool bar and the main tool bar when their View menu items carry a check.
    virtual void ShowCheckedToolBars() {}
    // The main frame's window (null when there is none): owner of menus and message boxes.
    virtual CWnd* GetMainFrame() { return nullptr; }
    // The drag state of a side panel's edge; with kSidePanelRelayout the snapshot taken when the
    // drag began.
    virtual SidePanelState GetSidePanelState(int panel, ViewLayoutSnapshot* snapshot) {
        (void)panel;
        (void)snapshot;
        return kSidePanelIdle;
    }
    // Opens a help context for a window.
    virtual void ShowHelpContext(HWND window, int contextId) {
        (void)window;
        (void)contextId;
    }

    // ---- document shell -------------------------------------------------------------------------
    // The ways of making the first design; each ends in View::ResetForDocument.
    virtual void OpenStartupDesign(int caseKind, int discLayout) {
        (void)caseKind;
        (void)discLayout;
    }
    virtual void NewFromTemplate(int caseKind, int discLayout) {
        (void)caseKind;
        (void)discLayout;
    }
    virtual void LoadFile(const CString& path) { (void)path; }
    // The application's New command with its New Project dialog.
    virtual void RunNewProject() {}

    // ---- dialogs --------------------------------------------------------------------------------
    // The print dialog: 1 OK (print), kPrintDialogPreview (View.h) Preview, 7 print on a
    // LightScribe disc, anything else cancelled.
    virtual int RunPrintDialog(View* view) {
        (void)view;
        return IDCANCEL;
    }
    virtual void RunLabelStock() {}
    // The label alignment dialog on a template of a kind: 1 when the user accepted.
    virtual int RunLabelAlignment(LabelTemplate* labelTemplate, int kind) {
        (void)labelTemplate;
        (void)kind;
        return IDCANCEL;
    }
    virtual void RunSaveAsImage() {}
    virtual void RunReadCd() {}
    // The units dialog, the grid-size dialog (1 when a new size was accepted).
    virtual void RunUnitsDialog() {}
    virtual int RunGridSizeDialog() { return IDCANCEL; }
    // The disc chooser with a question: 1 "Disc 1", 2 "Disc 2", -1 cancelled.
    virtual int RunDiscChoice(const CString& question) {
        (void)question;
        return -1;
    }

    // ---- printers and disc printing -------------------------------------------------------------
    // The current printer set-up; false when the printer list is empty.
    virtual bool GetCurrentPrinterSetup(CanvasPrinterSetup& setup) {
        (void)setup;
        return false;
    }
    // Sets the number of copies in both device modes of the current set-up.
    virtual void SetPrinterCopies(int copies) { (void)copies; }
    // The printer's own properties dialog for the paper (0) or disc (1) device mode.
    virtual void ShowPrinterProperties(HWND owner, int which) {
        (void)owner;
        (void)which;
    }
    // The disc-printing library, loaded when it was not yet: 0 not available, 1 available, 2
    // available now after loading it. Then whether a drive is present, the disc chooser (a value
    // below 10 cancelled, else 9 + the disc), and the print step (0 done, 2 the image could not
    // be saved, 3 the software must be updated).
    virtual int LightScribeAvailability() { return 0; }
    virtual bool HaveLightScribeDrive() { return false; }
    virtual int RunLightScribeDialog() { return 0; }
    virtual int LightScribePrint(Gdiplus::Bitmap* bitmap) {
        (void)bitmap;
        return 0;
    }
};
