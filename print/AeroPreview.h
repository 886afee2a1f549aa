// AeroPreview: the template preview - an owner-drawn button that shows one page or one side of a
// design or of a label template as a small picture. The print pages, the label stock and label
// alignment dialogs and Save as Image place it in their dialogs; the LightScribe dialog and the
// thumbnail strip use RenderSideBitmap without showing it.
//
// It keeps a private document (a copy of the caller's design sharing its templates, or owned
// copies of one template), draws the page through the renderer into cached bitmaps and paints the
// cached sheet. A quick pass draws the empty sheet at once; the design at 150 dots per inch
// follows from a zero-delay timer. A change of only the border and fold-line choices redraws the
// outlines over a kept clean copy of the sheet. In the label alignment kind the picture carries
// dimension fields (edit boxes in the parent dialog) through which the template's sides are
// moved and sized. A picture slow to decode is decoded and scaled for the preview on a thread:
// the dialog answers meanwhile, and the preview draws again once it comes.
//
// Before every rebuild a preview that shows the caller's design copies it again, so that a design
// changed while the dialog is open (templates applied, objects removed) never leaves the preview
// with pointers into objects that are gone.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <vector>

#include "canvas/PreviewPictures.h"
#include "framework/Win.h"
#include "model/KorvanelleDocument.h"
#include "model/PrintOptions.h"
#include "print/DimensionFields.h"
#include "print/PreviewLayout.h"
#include "render/RenderContext.h"

// The message a preview sends its parent when it is clicked: wParam 0, lParam the address of the
// click point (a POINT) in the picture's page coordinates, valid during the call.
const UINT kPreviewClickMessage = WM_USER + 64;
// The timer of the deferred full picture.
const UINT_PTR kPreviewTimer = 1104;
// What the preview's picture decodes post it when they know more.
const UINT kPreviewPicturesMessage = WM_USER + 65;

class AeroPreview : public CButton {
public:
    AeroPreview();
    ~AeroPreview() override;
    AeroPreview(const AeroPreview&) = delete;
    AeroPreview& operator=(const AeroPreview&) = delete;

    // ---- what to show --------------------------------------------------------------------------
    // One template alone (owned copies), on a side, with every side, border and fold line shown.
    void SetTemplate(const LabelTemplate* labelTemplate, int sideIndex, int kind, bool redraw);
    // A side of the caller's design.
    void SetDocument(KorvanelleDocument* design, int sideIndex, const PrintOptions* options, int kind,
                     bool redraw);
    // One object (a disc or cover) of the caller's design, alone.
    void SetTemplateObject(KorvanelleDocument* design, ViewObject* object, const PrintOptions* options,
                           int kind, bool redraw);
    // New border and fold-line choices: the outlines are drawn again over the clean copy.
    void SetPrintOptions(const PrintOptions* options);
    // The kind (the renderer's purpose) of what is shown, without drawing anything.
    void SetKind(int kind) { m_rc.purpose = kind; }
    // Shows a picture that stays the caller's (the LightScribe dialog's discs) in place of the
    // preview's own sheet; null goes back to the own sheet. The caller lets go of it before it
    // frees the picture; the preview never frees it.
    void ShowBorrowedSheet(Gdiplus::Bitmap* sheet) { m_borrowedSheet = sheet; }
    Gdiplus::Bitmap* GetBorrowedSheet() const { return m_borrowedSheet; }
    // Takes the choices without drawing anything; the next rebuild uses them.
    void StorePrintOptions(const PrintOptions* options) { m_rc.printOptions.CopyFrom(options); }

    // ---- layout and pictures -------------------------------------------------------------------
    void ComputeLayout(PreviewLayout& layout);
    // A full rebuild for the client rectangle and a repaint, under the wait cursor.
    void Refresh();
    // Takes full-size copies of the other preview's sheet and clean copy (it must hold both).
    void CopyPicture(AeroPreview& other);
    // Drops the sheet and the clean copy, so that the next paint rebuilds.
    void DiscardPicture();
    // A new bitmap (the caller's) of one side of a design drawn as this preview kind would draw
    // it, width x height (0 x 0: the control's client size); the control's own pictures stay.
    Gdiplus::Bitmap* RenderSideBitmap(KorvanelleDocument* design, ViewObject* object,
                                      const PrintOptions* options, int kind, int width, int height);
    // Lays out and prepares the sheet for `target`; unless quick, renders the design into it;
    // then the frame and the outlines.
    void Rebuild(bool quick, const RECT& target);

    // ---- dimension fields (alignment kind) ------------------------------------------------------
    // The loss of focus of edit IDC_DIMENSION_FIELD + n: that field takes the typed value.
    void OnFieldKillFocus(UINT controlId);
    // Enter in the dialog: the field whose edit (or up-down) has the focus takes its value.
    void CommitFocusedField();
    // An up-down notification of a field: its value steps.
    void OnFieldSpin(NMHDR* notify, LRESULT* result);
    int GetFieldCount() const { return static_cast<int>(m_fields.size()); }
    const DimensionField* GetField(int i) const { return m_fields[i]; }
    HWND GetFieldEdit(int i) const;

    // ---- state ---------------------------------------------------------------------------------
    int GetKind() const { return m_rc.purpose; }
    KorvanelleDocument* GetPrivateDocument() { return m_rc.document; }
    Gdiplus::Bitmap* GetSheet() const { return m_sheet; }
    Gdiplus::Bitmap* GetCleanSheet() const { return m_cleanSheet; }
    Gdiplus::Bitmap* GetPicture() const { return m_picture; }
    // Whether a picture of the design is still being decoded for the preview (it shows without
    // it meanwhile).
    bool PicturesPending() const;
    // Stops the decodes of the pictures still coming (the dialog's own work needs the time and
    // the memory now); true when there were any: Refresh then asks for them again.
    bool StopPictures() { return m_previewPictures.StopPending(); }

    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    void OnLButtonDown(UINT flags, CPoint point);
    void OnDestroy();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnTimer(UINT_PTR id);
    void OnSize(UINT type, int cx, int cy);
    LRESULT OnPicturesDecoded(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    // Empties the private document, deleting the templates only when they are its own copies.
    void ReleasePrivateDocument();
    // Copies the caller's design again and finds the shown object in the copy.
    void RepointAtSource();
    void PrepareSheet(const PreviewLayout& layout, Gdiplus::Bitmap*& sheet);
    Gdiplus::Bitmap* RenderDesign(const RECT& target);
    void DrawOutlines(Gdiplus::Graphics& g, const PreviewLayout& layout);
    // The objects the outline pass draws, in order.
    std::vector<ViewObject*> OutlinedObjects();
    ViewObject* ShownObject() const;
    void RedrawNow();
    RECT ClientTarget() const;

    // Dimension fields.
    void UpdateDimensionFields(const PreviewLayout& layout, const std::vector<ViewObject*>& objects);
    void HideUnusedFieldControls();
    void LayoutFieldControls();
    void CreateFieldControls();
    void MoveFieldControl(CWnd* control, const Gdiplus::Rect& rect, POINT origin);
    void CommitField(DimensionField* field, CWnd* edit, bool apply);
    void ClipFieldControls(Gdiplus::Graphics& g);
    void DestroyFieldControls();
    std::vector<ViewObject*> TemplateDiscs();
    void PageSize(int& width, int& height);

    RenderContext m_rc;  // document, shown object, print options and kind (its purpose)
    Gdiplus::Bitmap* m_sheet = nullptr;
    Gdiplus::Bitmap* m_borrowedSheet = nullptr;  // shown in place of m_sheet; not ours
    bool m_dirty = true;
    Gdiplus::Bitmap* m_cleanSheet = nullptr;
    Gdiplus::Bitmap* m_picture = nullptr;
    Gdiplus::GraphicsPath* m_arrowHeads[4] = {nullptr, nullptr, nullptr, nullptr};
    std::vector<CEdit*> m_fieldEdits;
    std::vector<CSpinButtonCtrl*> m_fieldSpins;
    std::vector<CWnd*> m_fieldCaptions;
    std::vector<DimensionField*> m_fields;
    bool m_documentMode = false;

    KorvanelleDocument* m_privateDocument = nullptr;
    bool m_ownsTemplates = false;            // the private document holds copies of its own
    KorvanelleDocument* m_source = nullptr;  // the caller's design shown, or null
    CString m_objectName;                    // the shown object's name (template-object mode)
    int m_sideIndex = 0;

    // Pictures slow to decode, decoded and scaled on a thread so that the dialog answers meanwhile.
    PreviewPictures m_previewPictures;
};
