// The image panel's canvas over the one editing View.
#include "bars/ImagePanelViewCanvas.h"

#include "canvas/View.h"
#include "framework/core/OperationError.h"
#include "model/Geometry.h"
#include "model/LabelTemplate.h"
#include "render/DocumentBitmap.h"

namespace {

// An object's rectangle (or a disc's hole square) in the view's client coordinates.
CRect ClientRectOf(View* view, const ViewObject* object, bool hole) {
    double sx = 0, sy = 0;
    view->ModelToDevice(nullptr, Gdiplus::Rect(), sx, sy);
    float ox = 0, oy = 0;
    view->CanvasOffsets(ox, oy);
    Gdiplus::Rect r = RoundRectF(ScaleRectF(object->GetRectF(hole), sx, sy, ox, oy, 0, 0));
    CPoint scroll = view->GetDeviceScrollPosition();
    return CRect(r.X - scroll.x, r.Y - scroll.y, r.X + r.Width - scroll.x, r.Y + r.Height - scroll.y);
}

}  // namespace

ViewImagePanelCanvas& ViewImagePanelCanvas::Instance() {
    static ViewImagePanelCanvas canvas;
    return canvas;
}

View* ViewImagePanelCanvas::CurrentView() {
    View* view = View::GetCurrent();
    return view != nullptr && view->m_hWnd != nullptr ? view : nullptr;
}

void ViewImagePanelCanvas::BeginUndoStep() {
    View* view = CurrentView();
    m_inserted = false;
    m_stepOpened = false;
    if (view == nullptr) return;
    m_stepOpened = view->m_openUndoStep == nullptr;
    view->BeginUndoStep();
}

void ViewImagePanelCanvas::RecordUndoValue(LPCSTR key) {
    View* view = CurrentView();
    if (view == nullptr) return;
    const CString name(key);
    ViewObject* object = nullptr;  // the first selected object: after an insertion, the new image
    if (name == "prevOrder" && view->m_design.GetFirstSelected() == nullptr)
        object = view->m_design.GetCurrentSide();
    if (name.Left(4) == "next" && !m_inserted) return;
    view->RecordUndoValue(name, object, "", "");
}

void ViewImagePanelCanvas::InsertImage(const CRect& designRect, const CString& path, bool asBackground) {
    View* view = CurrentView();
    if (view == nullptr) return;
    m_inserted = view->InsertImageObject(designRect, path, asBackground) != nullptr;
}

void ViewImagePanelCanvas::EndUndoStep() {
    View* view = CurrentView();
    if (view == nullptr) return;
    if (!m_inserted && m_stepOpened)
        view->AbandonOpenUndoStep();
    else
        view->EndUndoStep();
    m_stepOpened = m_inserted = false;
}

void ViewImagePanelCanvas::DeleteSelectedObject(bool refresh) {
    View* view = CurrentView();
    if (view == nullptr || view->m_design.GetFirstSelected() == nullptr) return;
    view->m_select.DeleteSelectedObject(refresh ? TRUE : FALSE);
}

bool ViewImagePanelCanvas::GetSelectionBackgroundRect(CRect& designRect) {
    View* view = CurrentView();
    ViewObject* selected = view != nullptr ? view->m_design.GetFirstSelected() : nullptr;
    if (selected == nullptr) return false;
    designRect = selected->GetDeviceBounds();
    // A folded front cover's outside is its right half.
    if (selected->IsFoldedFrontCover()) designRect.left += designRect.Width() / 2;
    return true;
}

CRect ViewImagePanelCanvas::ScreenToDesign(const CRect& screenRect) {
    View* view = CurrentView();
    if (view == nullptr) return CRect();
    CRect client = screenRect;
    view->ScreenToClient(&client);
    Gdiplus::Point topLeft = view->ClientToDesign(client.TopLeft());
    Gdiplus::Point bottomRight = view->ClientToDesign(client.BottomRight());
    return CRect(topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y);
}

void ViewImagePanelCanvas::GetDropRegion(CRgn& region) {
    region.SetRectRgn(0, 0, 0, 0);
    View* view = CurrentView();
    if (view == nullptr) return;
    KorvanelleDocument& design = view->m_design;
    CObjectPtrArray sides;
    CollectSideObjects(sides, &design);
    if (design.IsCurrentDiscDuplicated()) {
        const int layout = design.GetDiscLayout();
        const bool oneDisc = layout <= kLayout1DiscDuplicate;
        if (ViewObject* disc = design.GetDisc(oneDisc ? 2 : 1)) sides.Add(disc);
    }
    for (INT_PTR i = 0; i < sides.GetSize(); ++i) {
        const ViewObject* object = static_cast<const ViewObject*>(sides[i]);
        if (object == nullptr) continue;
        CRect rect = ClientRectOf(view, object, false);
        view->ClientToScreen(&rect);
        CRgn part;
        if (object->IsDisc()) {
            part.CreateEllipticRgnIndirect(&rect);
            CRect holeRect = ClientRectOf(view, object, true);
            view->ClientToScreen(&holeRect);
            CRgn hole;
            hole.CreateEllipticRgnIndirect(&holeRect);
            region.CombineRgn(&region, &part, RGN_OR);
            region.CombineRgn(&region, &hole, RGN_DIFF);
        } else {
            part.CreateRectRgnIndirect(&rect);
            region.CombineRgn(&region, &part, RGN_OR);
        }
    }
    CRect client;
    view->GetClientRectInsideBars(client);
    CRgn clip;
    clip.CreateRectRgnIndirect(&client);
    region.CombineRgn(&region, &clip, RGN_AND);
}

void ViewImagePanelCanvas::SetPendingImagePath(const CString& path) {
    if (View* view = CurrentView()) view->m_imageToCopy = path;
}

void ViewImagePanelCanvas::SelectSideOfSelection() {
    View* view = CurrentView();
    if (view == nullptr) return;
    KorvanelleDocument& design = view->m_design;
    ViewObject* selected = design.GetFirstSelected();
    if (selected == nullptr || selected->IsBoundary() || selected->IsSide()) return;
    CString sideName = design.currentSideName;
    if (selected->sideName == "Front Cover") {
        const ViewObject* folded =
            design.FindObjectIf([](const ViewObject* o) { return o->IsFoldedFrontCover(); });
        if (folded != nullptr && selected->left + selected->width / 2 < folded->left + folded->width / 2)
            sideName = "Front Cover (Inside)";
    }
    view->OnSelectionChanged(sideName);
    view->m_select.Refresh();
}

void ViewImagePanelCanvas::RecenterAndRefresh() {
    if (View* view = CurrentView()) {
        view->RecenterView(true, false);
        view->RefreshView(CString());
    }
}

void ViewImagePanelCanvas::GetLayoutSnapshot(CPoint& scrollPos, CRect& clientRect, CSize& totalSize) {
    View* view = CurrentView();
    if (view == nullptr) return;
    ViewLayoutSnapshot snapshot;
    view->TakeLayoutSnapshot(snapshot);
    scrollPos = snapshot.scrollPosition;
    clientRect = snapshot.clientRect;
    totalSize = snapshot.totalSize;
}
