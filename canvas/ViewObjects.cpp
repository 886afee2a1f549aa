// Operations on whole objects: the property setters that record undo, inserting texts, album
// fields, track lists and images with their defaults, where new and pasted objects are placed,
// deleting, centring on the side, and the view's small commands.
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "canvas/ViewSettings.h"
#include "model/PageSizes.h"
#include "canvas/AppCanvasState.h"
#include "canvas/CanvasGeometry.h"
#include "canvas/CanvasMessage.h"
#include "canvas/FrameCommandState.h"
#include "canvas/View.h"
#include "model/ImageStream.h"
#include "model/PictureHeaders.h"
#include "render/CanvasSettings.h"

using namespace Gdiplus;

const char* const kInsertImageFilter =
    "All Image Files|*.jpg;*.jpeg;*.bmp;*.dib;*.gif;*.tif;*.tiff;*.png;*.ico;*.wmf;*.emf|"
    "JPEG Files (*.jpg;*.jpeg)|*.JPG;*.JPEG|Bitmap Files (*.bmp;*.dib)|*.BMP;*.DIB|GIFF Files (*.gif)|*.gif|"
    "TIFF Files (*.tif;*.tiff)|*.tif;*.tiff|PNG Files (*.png)|*.png|Icon Files (*.ico)|*.ico|"
    "MetaFiles (*.wmf;*.emf)|*.WMF;*.EMF|All Files (*.*)|*.*||";

namespace {

// Says why a picture was not inserted; one too large is named, and so is one found out only after
// its insert (the user has moved on).
void ShowPictureRefusal(CWnd* owner, bool tooLarge, const CString& name, bool late = false) {
    CString text = "Invalid image format.";
    if (late) text += "\r\n\r\n" + name;
    if (tooLarge)
        text.Format(
            "This picture is too large. Pictures of up to %u megapixels can be used, as far as the memory "
            "left allows.\r\n\r\n%s",
            static_cast<unsigned>(kMaxPicturePixels / 1000000), static_cast<LPCSTR>(name));
    ShowCanvasMessageOk(owner, kMessageError, CString(), text);
}

CString IntText(int value) {
    CString text;
    text.Format("%d", value);
    return text;
}

CRect DesignBounds(const ViewObject* object) {
    RectF r = object->GetRectF(false);
    int left = static_cast<int>(r.X), top = static_cast<int>(r.Y);
    return CRect(left, top, left + static_cast<int>(r.Width), top + static_cast<int>(r.Height));
}

// A random shift of -249..0 or 250..499 from a seed.
int RandomShift(unsigned seed) {
    std::srand(seed);
    int n = std::rand() % 1000;
    int d = n / 2;
    return n < 500 ? -d : d;
}

// A property setter records the change as an undo value under the property's key, then makes it.
void SetRecorded(View& view, const char* key, ViewObject* object, int& field, int value,
                 const int* previous = nullptr) {
    view.RecordUndoValue(key, object, IntText(previous ? *previous : field), IntText(value));
    field = value;
}

void SetRecorded(View& view, const char* key, ViewObject* object, CString& field, const CString& value) {
    view.RecordUndoValue(key, object, field, value);
    field = value;
}

}  // namespace

// ---- property setters ------------------------------------------------------------------------------

void View::SetObjectLeft(ViewObject* object, int value, const int* previous) {
    if (object) SetRecorded(*this, "left", object, object->left, value, previous);
}

void View::SetObjectTop(ViewObject* object, int value, const int* previous) {
    if (object) SetRecorded(*this, "top", object, object->top, value, previous);
}

void View::SetObjectWidth(ViewObject* object, int value, const int* previous) {
    if (object) SetRecorded(*this, "width", object, object->width, value, previous);
}

void View::SetObjectHeight(ViewObject* object, int value, const int* previous) {
    if (object) SetRecorded(*this, "height", object, object->height, value, previous);
}

void View::SetObjectAngle(ViewObject* object, const CString& value) {
    if (object) SetRecorded(*this, "angle", object, object->angle, value);
}

void View::SetAspectRatio(ViewObject* object, int value) {
    if (object) SetRecorded(*this, "bAspectRatio", object, object->bAspectRatio, value);
}

void View::SetLinkText(ViewObject* object, int value) {
    if (object) SetRecorded(*this, "bLinkText", object, object->bLinkText, value);
}

void View::SetWrapStyle(ViewObject* object, const CString& value) {
    if (object) SetRecorded(*this, "wrapStyle", object, object->wrapStyle, value);
}

void View::SetAlignment(ViewObject* object, const CString& value) {
    if (object) SetRecorded(*this, "alignment", object, object->alignment, value);
}

void View::SetTrackNumbers(ViewObject* object, const CString& value) {
    if (object) SetRecorded(*this, "trackNumbers", object, object->trackNumbers, value);
}

void View::SetTextLayout(ViewObject* object, const CString& value) {
    if (object) SetRecorded(*this, "textLayout", object, object->textLayout, value);
}

void View::SetTextMargin(ViewObject* object, int value) {
    if (object) SetRecorded(*this, "textMargin", object, object->textMargin, value);
}

void View::SetAutoFit(ViewObject* object, int value) {
    if (object) SetRecorded(*this, "bAutoFit", object, object->bAutoFit, value);
}

void View::SetBackground(ViewObject* object, int value) {
    if (object) SetRecorded(*this, "bBackground", object, object->bBackground, value);
}

// ---- inserting -------------------------------------------------------------------------------------

void View::InsertObject(const CString& kindIn) {
    GuardOperation(900, [&] {
        CString kind = kindIn;
        const bool track = kind.Left(10) == "Track List";
        const bool image = kind == "Image";
        CRect rect(0, 0, (track || image) ? 1500 : 2000, (track || image) ? 1500 : 400);
        if (m_contextPoint == CPoint(-1, -1)) {
            PlaceObject(rect, true);
        } else {
            CPoint p = m_contextPoint;
            if (m_hWnd) ScreenToClient(&p);
            Point d = ClientToDesign(p);
            m_contextPoint = CPoint(d.X, d.Y);
            rect.OffsetRect(d.X - rect.Width() / 2, d.Y - rect.Height() / 2);
        }
        ViewHost* host = GetHost();
        CString path;
        if (!image) {
            if (m_design.IsTwoDiscLayout() && kind != "Text") {
                int disc =
                    host ? host->RunDiscChoice("Which disc would you like this text box linked to?") : -1;
                if (disc != 1 && disc != 2) {
                    Redraw(true);
                    return;
                }
                kind += disc == 1 ? " - Disc 1" : " - Disc 2";
            }
        } else {
            if (g_lastImagePath.IsEmpty()) g_lastImagePath = g_picturesFolder;
            CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_READONLY, kInsertImageFilter,
                               this);
            dialog.m_ofn.lpstrInitialDir = g_lastImagePath;
            dialog.m_ofn.lpstrTitle = "Insert Image";
            if (dialog.DoModal() != IDOK) return;
            path = dialog.GetPathName();
            int slash = path.ReverseFind('\\');
            g_lastImagePath = slash >= 0 ? path.Left(slash + 1) : CString();
        }
        InsertAsUndoStep(
            [&] { return image ? InsertImageObject(rect, path, false) : CreateTextObject(kind, rect); });
    });
}

ViewObject* View::InsertAsUndoStep(const std::function<ViewObject*()>& insert) {
    const bool opened = m_openUndoStep == nullptr;
    BeginUndoStep();
    ViewObject* anchor = m_design.GetFirstSelected() ? nullptr : m_design.GetCurrentSide();
    RecordUndoValue("prevOrder", anchor, "", "");
    ViewObject* made = insert();
    if (!made) {
        // Nothing was inserted, so there is nothing to undo.
        if (opened) AbandonOpenUndoStep();
        return nullptr;
    }
    RecordUndoValue("nextRich", made, "", "");
    RecordUndoValue("nextOrder", made, "", "");
    EndUndoStep();
    return made;
}

ViewObject* View::CreateTextObject(const CString& kind, const CRect& rectIn) {
    ViewObject* made = nullptr;
    GuardOperation(901, [&] {
        ViewObject* side = m_design.GetCurrentSide();
        if (!side) return;
        CWaitCursor wait;
        CRect rect = rectIn;
        CRect sideRect = DesignBounds(side);
        CRect meet;
        if (!meet.IntersectRect(rect, sideRect)) {
            SelectSideAtRect(Rect(rect.left, rect.top, rect.Width(), rect.Height()));
            side = m_design.GetCurrentSide();
            if (!side) return;
            sideRect = DesignBounds(side);
        }
        ViewObject* o = new ViewObject;
        o->type = kind.Left(10) == "Track List" ? kObjectTrack : kObjectText;
        o->side = side->side;
        o->sideName = m_design.currentSideName;
        o->name = kind;
        if (o->IsFreeText() || m_design.FindObject(o->name)) m_design.AssignUniqueName(o);
        PlaceByMoveRules(o, rect, sideRect);
        o->alignment = "Center";
        o->angle = "0 degrees";
        if (o->IsFreeText()) {
            o->bLinkText = 0;
            o->SetText(CString("Text") + kTrackFieldEnd);
        } else {
            o->bLinkText = 1;
            o->SetText(m_design.GetAlbumField(o->name));
        }
        if (o->IsText()) {
            o->wrapStyle = "Word-Wrap";
        } else {
            o->trackNumbers = "Track Numbers && Times";
            if (o->side == 1) {
                o->wrapStyle = "Word-Wrap";
                o->textLayout = "Bottom";
            } else {
                o->wrapStyle = "Multi-Line";
                o->textLayout = "Table Format";
            }
        }
        o->bAutoFit = 1;
        o->FreeCharStyles();
        o->charUnderlines.RemoveAll();
        for (int i = 0; i < o->GetCharCount(); ++i) {
            o->charFonts.Add(i == 0 ? ViewObject::NewDefaultFontRecord() : nullptr);
            o->charColors.Add(i == 0 ? new COLORREF(0) : nullptr);
            o->charUnderlines.Add(0);
        }
        o->RebuildTrackRows();
        m_design.AddObject(o);
        made = o;
        SelectInserted(o);
    });
    return made;
}

void View::SelectInserted(ViewObject* o) {
    StopOutlineTimer();
    OnSelectionChanged(o->name, FALSE);
    StartOutlineTimer();
    Redraw(true);
    m_select.Refresh();
}

void View::PlaceByMoveRules(ViewObject* o, CRect rect, const CRect& sideRect) {
    double sx = 0, sy = 0;
    ModelToDevice(nullptr, Rect(), sx, sy);
    CPoint p1(static_cast<int>(1 / sx + 0.5), static_cast<int>(1 / sy + 0.5));
    rect = CanvasGeometry::DragRect("Move", rect, CPoint(0, 0), p1, &sideRect, g_snapToGrid != 0,
                                    CSize(g_gridSize[0], g_gridSize[1]));
    if (!o->IsImage())
        CanvasGeometry::ConstrainRect("Move", rect, sideRect, CSize(0, 0), false, false, nullptr);
    m_dragMode.Empty();
    o->left = rect.left;
    o->top = rect.top;
    o->width = rect.Width();
    o->height = rect.Height();
}

void View::InsertImage(const CRect& rect, const CString& path, bool asBackground) {
    GuardOperation(902, [&] { InsertImageObject(rect, path, asBackground); });
}

ViewObject* View::InsertImageObject(const CRect& rectIn, const CString& path, bool asBackground) {
    ViewObject* made = nullptr;
    GuardOperation(903, [&] {
        if (!m_design.GetCurrentSide()) return;
        BeginWaitCursor();
        OwnedObject o(new ViewObject, &DeleteViewObject);
        o->type = kObjectImage;
        o->imagePath = path;
        PictureHeaderCheck headers;
        bool loaded = o->ReadImageFile(path, &headers);
        bool tooLarge = headers.tooLarge;
        if (loaded && m_hWnd && IsSlowToDecode(headers) && !PictureFitsMemory(headers)) {
            // Refused at once, not after a decode that waits its turn behind the side's own
            // pictures and then takes the memory they are shown with.
            loaded = false;
            tooLarge = true;
        }
        if (loaded && m_hWnd && IsSlowToDecode(headers)) {
            const unsigned ticket = m_pictureJobs.Start(o->image.GetStream(), m_hWnd, WM_PICTURES_DECODED);
            if (ticket) {
                // Chosen, it is the user's action at once (in the undo order, in the modified
                // state): it goes in now, sized from its headers, and shows once its pixels come
                // (OnPicturesDecoded). One that turns out not to decode is taken out again.
                o->decodeTicket = ticket;
                made = AddInsertedImage(o, rectIn, asBackground, static_cast<int>(headers.width),
                                        static_cast<int>(headers.height));
                EndWaitCursor();
                if (!made) return;
                PendingPicture pending;
                pending.ticket = ticket;
                pending.name = made->name;
                pending.file = made->PictureName();
                if (m_openUndoStep) {
                    pending.stepSerial = m_openUndoStep->m_serial;
                    m_openUndoStep->m_picturePending = true;
                }
                m_pendingPictures.push_back(std::move(pending));
                if (!asBackground) SetFocus();
                return;
            }
        }
        if (loaded) {
            o->SetDecodedImage(o->image.CreateBitmap(&tooLarge));
            loaded = o->decodedImage != nullptr;
        }
        if (!loaded) {
            EndWaitCursor();
            ShowPictureRefusal(this, tooLarge, o->PictureName());
            return;
        }
        made = AddInsertedImage(o, rectIn, asBackground, 0, 0);
        EndWaitCursor();
        if (made && !asBackground && m_hWnd) SetFocus();
    });
    return made;
}

ViewObject* View::AddInsertedImage(OwnedObject& object, CRect rect, bool asBackground, int width,
                                   int height) {
    ViewObject* side = m_design.GetCurrentSide();
    if (!side) return nullptr;
    CRect sideRect = DesignBounds(side);
    CRect meet;
    if (!meet.IntersectRect(rect, sideRect)) {
        SelectSideAtRect(Rect(rect.left, rect.top, rect.Width(), rect.Height()));
        side = m_design.GetCurrentSide();
        if (!side) return nullptr;
        sideRect = DesignBounds(side);
    }
    ViewObject* o = object.get();
    o->sideName = m_design.currentSideName;
    o->side = side->side;
    o->name = "Image";
    m_design.AssignUniqueName(o);
    PlaceByMoveRules(o, rect, sideRect);
    o->bAspectRatio = 1;
    m_design.AddObject(object.release());
    if (!asBackground) {
        int w = o->width, h = o->height;
        const bool natural = width > 0 ? CanvasGeometry::NaturalSize(width, height, w, h, false, m_zoom,
                                                                     m_unitsPerPixelX, m_unitsPerPixelY)
                                       : GetImageNaturalSize(o, w, h, false);
        if (natural) {
            o->width = w;
            o->height = h;
        }
    } else {
        m_select.SetAsBackground(o, TRUE, FALSE);
    }
    SelectInserted(o);
    return o;
}

LRESULT View::OnPicturesDecoded(WPARAM, LPARAM) {
    GuardOperation(963, [&] {
        for (const PictureDecodeJobs::Decoded& outcome : m_pictureJobs.TakeDecoded()) {
            auto pending = std::find_if(m_pendingPictures.begin(), m_pendingPictures.end(),
                                        [&](const PendingPicture& p) { return p.ticket == outcome.ticket; });
            if (pending == m_pendingPictures.end()) {
                // No longer wanted (another design): nothing to scale. A shown side's picture
                // decoded for the screen is taken by its object.
                if (!TakeShownPictureOutcome(outcome) && outcome.ok)
                    m_pictureJobs.SetScreenSize(outcome.ticket, 0, 0);
                continue;
            }
            PendingPicture picture = std::move(*pending);
            m_pendingPictures.erase(pending);
            if (outcome.ok) {
                // It stays: the redo steps its insert replaced are gone for good. Its pixels are
                // scaled to its size on the canvas on the decoding thread (none when it was undone
                // meanwhile), and nothing else changes when they come.
                if (m_redoAsideSerial != 0 && m_redoAsideSerial == picture.stepSerial) FreeRedoAside();
                ViewObject* o = m_design.FindObjectIf(
                    [&](const ViewObject* x) { return x->decodeTicket == outcome.ticket; });
                const Rect shown = o ? ObjectCanvasRect(o) : Rect();
                m_pictureJobs.SetScreenSize(outcome.ticket, shown.Width, shown.Height);
                continue;
            }
            TakeOutFailedPicture(picture);
            ShowPictureRefusal(this, outcome.tooLarge, picture.file, true);
        }
        HoldPendingNames();
        bool arrived = false;
        for (PictureDecodeJobs::Result& result : m_pictureJobs.TakeFinished()) {
            const unsigned ticket = result.ticket;
            ViewObject* o = m_design.FindObjectIf([&](const ViewObject* x) { return x->decodeTicket == ticket; });
            // Gone (undone, deleted, another design), decoded on demand meanwhile, or on a side
            // no longer shown.
            if (!o || o->decodedImage || !KeepsDecodedPicture(o)) {
                if (o) o->decodeTicket = 0;
                PictureDecodeJobs::Free(result);
                continue;
            }
            o->decodeTicket = 0;
            if (result.replacedBytes) o->image.Attach(result.replacedBytes);
            o->SetDecodedImage(result.decoded);
            // A colour change made meanwhile leaves the screen copy to the canvas.
            if (result.screen && (result.hue != o->hue || result.saturation != o->saturation ||
                                  result.lightness != o->lightness))
                delete result.screen;
            else if (result.screen)
                o->SetAdjustedImage(result.screen);
            result = PictureDecodeJobs::Result();
            arrived = true;
        }
        if (arrived) Redraw(true);
    });
    return 0;
}

void View::TakeOutFailedPicture(PendingPicture& picture) {
    NoteSavedPosition();
    const int index = picture.stepSerial ? UndoStepIndex(picture.stepSerial) : -2;
    const int saved = UndoStepIndex(m_savedUndoSerial);
    const bool newest = index >= 0 && index == GetUndoCount() - 1;
    ViewObject* selected = m_design.GetFirstSelected();
    const bool selectionGoes = selected && selected->name == picture.name;
    if (newest && m_undoPosition == index) RevertNewestUndoStep();
    // Wherever it is now: made again by a Redo, or still where a later step left it. Its name is
    // its own only from its step on.
    const bool named = picture.stepBehind || (index >= 0 && m_undoPosition >= index);
    std::vector<ViewObject*> gone;
    m_design.ForEachObject([&](ViewObject* o) {
        if (o->IsImage() && (o->decodeTicket == picture.ticket || (named && o->name == picture.name)))
            gone.push_back(o);
    });
    for (ViewObject* o : gone) {
        if (m_select.m_hslObject == o) m_select.DiscardHslResult();
        m_design.RemoveObject(o, true);
    }
    if (newest) {
        DeleteUndoStep(GetUndoStep(index));
        m_undoSteps.RemoveAt(index);
        if (m_undoPosition >= index) m_undoPosition = index - 1;
        if (m_redoAsideSerial == picture.stepSerial) RestoreRedoAside();
        // A save made with the picture in can no longer be come back to.
        if (saved >= index) m_savedUndoSerial = kNoSavedPosition;
    } else if (index >= 0 || picture.stepBehind) {
        // The later steps stay, as if the picture's had never been: what it replaced comes back.
        RewriteStepsWithout(picture.stepBehind ? -1 : index, picture.name, picture.putOut.release());
    }
    if (m_redoAsideSerial != 0 && m_redoAsideSerial == picture.stepSerial) FreeRedoAside();
    if (index >= 0 || picture.stepBehind) {
        MatchModifiedToPosition();
    } else if (gone.empty()) {
        return;
    }
    if (selectionGoes || !m_design.GetFirstSelected()) OnSelectionChanged(m_design.currentSideName, FALSE);
    Redraw(true);
    m_select.Refresh();
}

bool View::DropPendingPictures() {
    const bool any = !m_pendingPictures.empty();
    m_pendingPictures.clear();
    m_design.heldNames.clear();
    return any;
}

void View::PlaceObject(CRect& rect, bool fitWidth) {
    GuardOperation(904, [&] {
        ViewObject* side = m_design.GetCurrentSide();
        if (!side) return;
        CRect area = DesignBounds(side);
        if (side->side == 1 && !side->IsFrontCover()) {
            area.bottom = area.top + side->width;
            area.right -= side->width / 2 + side->height / 2 + side->textMargin;
        } else if (side->IsFoldedFrontCover()) {
            ViewObject* selected = m_design.GetFirstSelected();
            if (!selected) return;
            const int mid = area.left + area.Width() / 2;
            const int centre = selected->left + selected->width / 2;
            if (centre <= mid && selected != side)
                area.right = mid;
            else
                area.left = mid;
        }
        if (fitWidth && area.Width() < rect.Width()) rect.right = rect.left + area.Width();
        CPoint c = area.CenterPoint();
        rect.OffsetRect(c.x - (rect.left + rect.Width() / 2), c.y - (rect.top + rect.Height() / 2));
        const DWORD tick = ::GetTickCount();
        rect.OffsetRect(RandomShift(tick), 0);
        rect.OffsetRect(0, RandomShift(tick * 2));
        if (rect.right > area.right) rect.OffsetRect(area.right - rect.right, 0);
        if (rect.left < area.left) rect.OffsetRect(area.left - rect.left, 0);
    });
}

// ---- deleting and centring -------------------------------------------------------------------------

void View::OnDeleteObject() {
    GuardOperation(905, [&] {
        ViewObject* selected = m_design.GetFirstSelected();
        if (!selected || selected->IsSide() || selected->IsPage(-1) || selected->IsBoundary()) return;
        BeginUndoStep();
        RecordUndoValue("prevOrder", selected, "", "");
        RecordUndoValue("prevRich", selected, "", "");
        ViewObject* o = m_design.FindObject(selected->name);
        m_design.ClearSelection();
        if (o) {
            if (m_select.m_hslObject == o) m_select.DiscardHslResult();
            m_design.RemoveObject(o, true);
        }
        OnSelectionChanged(m_design.currentSideName, FALSE);
        Redraw(true);
        m_select.Refresh();
        RecordUndoValue("nextOrder", nullptr, "", "");
        EndUndoStep();
    });
}

void View::CenterSelected(bool horizontally) {
    ViewObject* o = m_design.GetFirstSelected();
    if (!o || o->IsPage(-1) || o->IsSide() || o->IsBoundary()) return;
    ViewObject* ref = nullptr;
    {
        LabelTemplate current;
        m_design.CollectObjects(current, true);
        for (int i = 0; i < current.GetObjectCount() && !ref; ++i)
            if (current.GetObject(i)->name == o->sideName) ref = current.GetObject(i);
        current.objects.RemoveAll();
    }
    if (!ref) return;
    BeginUndoStep();
    CRect r(ref->left, ref->top, ref->left + ref->width, ref->top + ref->height);
    if (ref->IsDisc(-1)) {
        r.bottom = ref->top + ref->width;
        o->needsLayout = 1;
    } else if (ref->IsFoldedFrontCover()) {
        const int mid = r.left + r.Width() / 2;
        if (o->left + o->width / 2 <= mid)
            r.right = mid;
        else
            r.left = mid;
    }
    if (horizontally)
        SetObjectLeft(o, r.left + r.Width() / 2 - o->width / 2);
    else
        SetObjectTop(o, r.top + r.Height() / 2 - o->height / 2);
    EndUndoStep();
    Redraw(true);
}

void View::OnCenterHorizontally() {
    GuardOperation(906, [&] { CenterSelected(true); });
}

void View::OnCenterVertically() {
    GuardOperation(907, [&] { CenterSelected(false); });
}

// ---- small commands ----------------------------------------------------------------------------------

void View::OnSnapToGrid() {
    GuardOperation(908, [&] {
        g_snapToGrid = g_snapToGrid ? 0 : 1;
        if (ViewHost* host = GetHost()) host->CheckSnapToGrid(g_snapToGrid != 0);
    });
}

void View::OnShowGrid() {
    GuardOperation(909, [&] {
        g_showGrid = g_showGrid ? 0 : 1;
        if (ViewHost* host = GetHost()) host->CheckShowGrid(g_showGrid != 0);
        Redraw(true);
    });
}

void View::OnGridSize() {
    GuardOperation(910, [&] {
        ViewHost* host = GetHost();
        if (host && host->RunGridSizeDialog() == IDOK) RefreshView(CString());
    });
}

void View::OnUnits() {
    GuardOperation(911, [&] {
        if (ViewHost* host = GetHost()) host->RunUnitsDialog();
        ViewObject* selected = m_design.GetFirstSelected();
        if (m_design.GetCurrentSideIndex() == 1 && selected && (selected->IsSide() || selected->IsPage(-1)))
            m_select.Refresh();
    });
}

void View::OnSaveAsImage() {
    GuardOperation(912, [&] {
        if (ViewHost* host = GetHost()) host->RunSaveAsImage();
    });
}

void View::OnHelp() {
    GuardOperation(913, [&] {
        if (ViewHost* host = GetHost()) host->ShowHelpContext(m_hWnd, 1);
    });
}

void View::OnReadCd() {
    GuardOperation(914, [&] {
        if (FrameCommandState::Get().m_cdDriveCount != 0) {
            if (ViewHost* host = GetHost()) host->RunReadCd();
            return;
        }
        ShowCanvasMessageOk(this, kMessageWarning, CString(),
                            "There are no CD-ROM drives attached to your system.");
    });
}
