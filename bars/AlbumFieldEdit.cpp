// Album-field changes of the Text Editor bar as undo steps of the view.
#include "bars/AlbumFieldEdit.h"

#include "bars/BarCanvas.h"
#include "bars/BarText.h"
#include "bars/TextEditorErrors.h"
#include "framework/core/OperationError.h"
#include "model/KorvanelleDocument.h"
#include "model/TrackListText.h"

namespace {

KorvanelleDocument* CurrentDesign() {
    BarCanvas* canvas = GetBarCanvas();
    return canvas ? canvas->GetDesign() : nullptr;
}

// The side's character list: one element per character of the text.
void FillCharacters(ViewObject* side, const CString& text) {
    side->chars.RemoveAll();
    for (int i = 0; i < text.GetLength(); ++i) side->chars.Add(CString(text[i]));
}

}  // namespace

AlbumFieldStep::AlbumFieldStep(const CString& fieldName) : m_fieldName(fieldName) {
    BarCanvas* canvas = GetBarCanvas();
    KorvanelleDocument* design = CurrentDesign();
    if (!canvas || !design) return;
    ViewObject* side = design->GetCurrentSide();
    if (!side) return;
    side->imagePath = fieldName;
    FillCharacters(side, design->GetAlbumField(fieldName));
    canvas->BeginUndoStep();
    canvas->RecordObjectUndoValue("prevText", side);
    m_side = side;
}

AlbumFieldStep::~AlbumFieldStep() {
    try {
        End();
    } catch (...) {}
}

void AlbumFieldStep::End() {
    if (!m_side) return;
    ViewObject* side = m_side;
    m_side = nullptr;
    BarCanvas* canvas = GetBarCanvas();
    KorvanelleDocument* design = CurrentDesign();
    if (canvas && design) {
        FillCharacters(side, design->GetAlbumField(m_fieldName));
        canvas->RecordObjectUndoValue("nextText", side);
        canvas->EndUndoStep();
    }
    side->chars.RemoveAll();
    side->imagePath.Empty();
}

void StoreFieldEdit(CBarText& bar, CString& text, CEditText* box) {
    GuardOperation(kErrFieldStore, [&] {
        BarCanvas* canvas = GetBarCanvas();
        KorvanelleDocument* design = CurrentDesign();
        if (!canvas || !design || !box) return;
        const CString name = box->m_name;
        AlbumFieldStep step(name);
        if (IsTrackListName(name)) {
            text = CleanFieldText(text);
            bar.m_trackList.SetCellText(text);
        } else {
            bar.FitFieldHeight(box, text);
            text = CleanFieldText(text);
            design->SetAlbumField(name, text + kTrackFieldEnd);
        }
        canvas->RefreshLinkedObjects();
        step.End();
        canvas->RequestLinkedRedraw();
    });
}

void ChangeTrackCount(CBarText& bar, int count, const CString& fieldName) {
    GuardOperation(kErrTrackCount, [&] {
        BarCanvas* canvas = GetBarCanvas();
        KorvanelleDocument* design = CurrentDesign();
        if (!canvas || !design) return;
        const CString text = design->GetAlbumField(fieldName);
        const CString resized = ResizeTrackList(text, count, bar.m_discSuffix);
        if (resized == text) return;
        AlbumFieldStep step(fieldName);
        canvas->SetDocumentText(fieldName, resized);
        canvas->RefreshLinkedObjects();
        step.End();
        canvas->RequestLinkedRedraw();
    });
}
