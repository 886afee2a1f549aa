// Undo and redo: steps of sparse before/after snapshots of the changed objects (and the drawing
// order when objects came, went or moved), recorded while a change is made and applied
// backwards or forwards. Each snapshot carries the set of fields that were really recorded, so
// every value - a left of 0, a hue of -1 - is restored exactly.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "canvas/AppCanvasState.h"
#include "canvas/FrameCommandState.h"
#include "canvas/View.h"
#include "render/CanvasSettings.h"
#include "render/RenderContext.h"

using namespace Gdiplus;

namespace {

const int kMaxUndoSteps = 50;

// The album fields a side's text edit may change, of disc 1 and disc 2.
const char* const kAlbumFields[12] = {
    "Artist",
    "Title",
    "Track List",
    "Year",
    "Time",
    "Genre",
    "Artist - Disc 2",
    "Title - Disc 2",
    "Track List - Disc 2",
    "Year - Disc 2",
    "Time - Disc 2",
    "Genre - Disc 2",
};

const unsigned kAllUndoFields = 0x3FFFFFu;

// Decimal text to an integer: an optional sign and the leading digits; no digits give 0.
int ParseUndoInt(const CString& text) {
    return std::atoi(text.GetString());
}

void FreeFonts(CFontRecordArray& fonts) {
    for (INT_PTR i = 0; i < fonts.GetSize(); ++i) delete fonts[i];
    fonts.RemoveAll();
}

void FreeColors(CColorRecordArray& colors) {
    for (INT_PTR i = 0; i < colors.GetSize(); ++i) delete colors[i];
    colors.RemoveAll();
}

void CopyFonts(CFontRecordArray& to, const CFontRecordArray& from) {
    FreeFonts(to);
    for (INT_PTR i = 0; i < from.GetSize(); ++i)
        to.Add(from[i] ? ViewObject::CopyFontRecord(from[i]) : nullptr);
}

void CopyColors(CColorRecordArray& to, const CColorRecordArray& from) {
    FreeColors(to);
    for (INT_PTR i = 0; i < from.GetSize(); ++i)
        to.Add(from[i] ? ViewObject::CopyColorRecord(from[i]) : nullptr);
}

// Makes 'to' hold the same picture bytes as 'from'. A stream's bytes are never written once it is
// filled (new bytes always come in a new stream), so a clone - the same memory with a read
// position of its own - is kept instead of a copy; a copy only when the stream cannot be cloned.
void ShareImageBytes(ViewObject* to, const ViewObject* from) {
    IStream* source = from->image.GetStream();
    if (!source) return;
    IStream* clone = nullptr;
    if (SUCCEEDED(source->Clone(&clone)) && clone)
        to->image.Attach(clone);
    else
        to->image.CopyFrom(source);
}

// A full copy of an object as an undo record or back from one: every field, the file path and the
// picture's own bytes, so that what comes back is what went, whatever became of the file.
void CopyWithImageBytes(ViewObject* to, ViewObject* from) {
    to->CopyFrom(from, false, false, false);
    to->imagePath = from->imagePath;
    to->image.Clear();
    if (from->IsImage()) ShareImageBytes(to, from);
}

ViewObject* FindSnapshot(CObArray& snapshots, const CString& name) {
    for (INT_PTR i = 0; i < snapshots.GetSize(); ++i) {
        ViewObject* s = static_cast<ViewObject*>(snapshots[i]);
        if (s && s->name == name) return s;
    }
    return nullptr;
}

ViewObject* NewSnapshot(const ViewObject* object) {
    ViewObject* s = new ViewObject;
    s->type = object->type;
    s->name = object->name;
    s->side = object->side;
    s->sideName = object->sideName;
    s->imagePath = object->imagePath;
    s->bLinkText = s->bAspectRatio = s->bBackground = s->bAutoFit = -1;
    s->textMargin = s->hue = s->saturation = s->lightness = -1;
    return s;
}

// Keeps the run arrays as long as the characters after the characters were replaced on their
// own: extra records go, missing ones continue the run before them, and character 0 keeps a
// record.
void FitRunsToText(ViewObject* o) {
    const INT_PTR n = o->chars.GetSize();
    while (o->charFonts.GetSize() > n) {
        delete o->charFonts[o->charFonts.GetSize() - 1];
        o->charFonts.RemoveAt(o->charFonts.GetSize() - 1);
    }
    while (o->charColors.GetSize() > n) {
        delete o->charColors[o->charColors.GetSize() - 1];
        o->charColors.RemoveAt(o->charColors.GetSize() - 1);
    }
    while (o->charFonts.GetSize() < n) o->charFonts.Add(nullptr);
    while (o->charColors.GetSize() < n) o->charColors.Add(nullptr);
    if (n > 0 && !o->charFonts[0]) o->charFonts[0] = ViewObject::NewDefaultFontRecord();
    if (n > 0 && !o->charColors[0]) o->charColors[0] = new COLORREF(0);
    o->SyncCharUnderlines();
}

bool SameFonts(const CFontRecordArray& a, const CFontRecordArray& b) {
    if (a.GetSize() != b.GetSize()) return false;
    for (INT_PTR i = 0; i < a.GetSize(); ++i) {
        if (!a[i] != !b[i]) return false;
        if (a[i] && std::memcmp(a[i], b[i], sizeof(LOGFONTA)) != 0) return false;
    }
    return true;
}

bool SameColors(const CColorRecordArray& a, const CColorRecordArray& b) {
    if (a.GetSize() != b.GetSize()) return false;
    for (INT_PTR i = 0; i < a.GetSize(); ++i) {
        if (!a[i] != !b[i]) return false;
        if (a[i] && *a[i] != *b[i]) return false;
    }
    return true;
}

template <class Array>
bool SameItems(const Array& a, const Array& b) {
    if (a.GetSize() != b.GetSize()) return false;
    for (INT_PTR i = 0; i < a.GetSize(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

// Whether the recorded values before and after a step are all alike (the caret aside): such a
// step changes nothing. Anything that cannot be compared counts as a change. A snapshot that holds
// the caret alone is no change: the step of a key that deletes nothing has the caret before it
// (recorded when the step opened) and none after it.
bool StepChangesNothing(const CUndo& step) {
    if (step.m_orderBefore.GetSize() != 0 || step.m_orderAfter.GetSize() != 0) return false;
    auto holdsChange = [&](const CObject* s) {
        return s && (step.GetFields(static_cast<const ViewObject*>(s)) & ~kUndoCursor) != 0;
    };
    auto partner = [&](const CObArray& snapshots, const ViewObject* of) -> const ViewObject* {
        for (INT_PTR k = 0; k < snapshots.GetSize(); ++k)
            if (holdsChange(snapshots[k]) && static_cast<const ViewObject*>(snapshots[k])->name == of->name)
                return static_cast<const ViewObject*>(snapshots[k]);
        return nullptr;
    };
    for (INT_PTR i = 0; i < step.m_after.GetSize(); ++i)
        if (holdsChange(step.m_after[i]) &&
            !partner(step.m_before, static_cast<const ViewObject*>(step.m_after[i])))
            return false;
    for (INT_PTR i = 0; i < step.m_before.GetSize(); ++i) {
        if (!holdsChange(step.m_before[i])) continue;
        const ViewObject* b = static_cast<const ViewObject*>(step.m_before[i]);
        const ViewObject* a = partner(step.m_after, b);
        if (!a) return false;
        const unsigned fields = step.GetFields(b) & ~kUndoCursor;
        // Fields compared below; any other (a whole-object copy, a kind added later) is a change.
        const unsigned compared = (kUndoHsl << 1) - 1;
        if (fields != (step.GetFields(a) & ~kUndoCursor) || (fields & ~compared)) return false;
        const bool same =
            (!(fields & kUndoLeft) || a->left == b->left) && (!(fields & kUndoTop) || a->top == b->top) &&
            (!(fields & kUndoWidth) || a->width == b->width) &&
            (!(fields & kUndoHeight) || a->height == b->height) &&
            (!(fields & kUndoLinkText) || a->bLinkText == b->bLinkText) &&
            (!(fields & kUndoAspectRatio) || a->bAspectRatio == b->bAspectRatio) &&
            (!(fields & kUndoAutoFit) || a->bAutoFit == b->bAutoFit) &&
            (!(fields & kUndoBackground) || a->bBackground == b->bBackground) &&
            (!(fields & kUndoTextMargin) || a->textMargin == b->textMargin) &&
            (!(fields & kUndoDiscLayout) || a->undoDiscLayout == b->undoDiscLayout) &&
            (!(fields & kUndoAngle) || a->angle == b->angle) &&
            (!(fields & kUndoWrapStyle) || a->wrapStyle == b->wrapStyle) &&
            (!(fields & kUndoAlignment) || a->alignment == b->alignment) &&
            (!(fields & kUndoTrackNumbers) || a->trackNumbers == b->trackNumbers) &&
            (!(fields & kUndoTextLayout) || a->textLayout == b->textLayout) &&
            (!(fields & kUndoText) || SameItems(a->chars, b->chars)) &&
            (!(fields & kUndoUnderline) || SameItems(a->charUnderlines, b->charUnderlines)) &&
            (!(fields & kUndoColor) || SameColors(a->charColors, b->charColors)) &&
            (!(fields & kUndoFont) || SameFonts(a->charFonts, b->charFonts)) &&
            (!(fields & kUndoHsl) ||
             (a->hue == b->hue && a->saturation == b->saturation && a->lightness == b->lightness));
        if (!same) return false;
        auto textsOf = [&](const ViewObject* s) {
            auto it = step.m_albumTexts.find(s);
            return it == step.m_albumTexts.end() ? std::vector<std::pair<CString, CString>>() : it->second;
        };
        if (textsOf(a) != textsOf(b)) return false;
    }
    return true;
}

// The side to show for an object a step changed: the side it lies on. A page lies on none (its
// owner name is its own): the side shown now when that is on the page, else the page's first.
CString SideToShow(KorvanelleDocument& design, const ViewObject* o) {
    if (!o->IsPage(-1)) return o->sideName;
    if (design.GetCurrentSideIndex() == o->side) return design.currentSideName;
    const LabelTemplate* t = o->side == 1 ? design.GetDiscTemplate() : design.GetCoverTemplate();
    for (int k = 0; t && k < t->GetObjectCount(); ++k) {
        const ViewObject* x = t->GetObject(k);
        if (x && x->IsSide() && x->side == o->side) return x->name;
    }
    return CString();
}

bool HoldsName(const CStringArray& order, const CString& name) {
    for (INT_PTR k = 0; k < order.GetSize(); ++k)
        if (order[k] == name) return true;
    return false;
}

// Puts an object's name into a recorded order where a background is kept: right after its side.
void PutAfterSide(CStringArray& order, const ViewObject& object) {
    INT_PTR at = order.GetSize();
    for (INT_PTR n = 0; n < order.GetSize(); ++n)
        if (order[n] == object.sideName) at = n + 1;
    order.InsertAt(at, object.name);
}

// Whether `s`, a snapshot before the step, is a background that the step put out by making
// `made`, the snapshot of `picture` after it, the background of the same side.
bool PutOutBy(const CUndo& step, const ViewObject* s, const ViewObject* made, const CString& picture) {
    return s && s->name != picture && step.Has(s, kUndoRich) && s->bBackground == made->bBackground &&
           s->sideName == made->sideName && HoldsName(step.m_orderBefore, s->name) &&
           !HoldsName(step.m_orderAfter, s->name);
}

// Whether the step makes an object other than `picture` the background that `background` is on
// its side.
bool PutsBackground(const CUndo& step, const ViewObject& background, const CString& picture) {
    for (INT_PTR n = 0; n < step.m_after.GetSize(); ++n) {
        const ViewObject* a = static_cast<const ViewObject*>(step.m_after[n]);
        if (a && a->name != picture && a->sideName == background.sideName && step.Has(a, kUndoBackground) &&
            a->bBackground == background.bBackground)
            return true;
    }
    return false;
}

// The names of the objects, in order, at a position of the undo list: as the latest step up to it
// that recorded an order left them.
std::vector<CString> OrderAt(const View& view, int position) {
    std::vector<CString> names;
    for (int i = position; i >= 0 && names.empty(); --i) {
        const CStringArray& order = view.GetUndoStep(i)->m_orderAfter;
        for (INT_PTR k = 0; k < order.GetSize(); ++k) names.push_back(order[k]);
    }
    return names;
}

}  // namespace

// ---- CUndo ---------------------------------------------------------------------------------------

unsigned CUndo::GetFields(const ViewObject* snapshot) const {
    auto it = m_fields.find(snapshot);
    return it == m_fields.end() ? 0u : it->second;
}

void CUndo::AddFields(const ViewObject* snapshot, unsigned fields) {
    m_fields[snapshot] |= fields;
}

// ---- steps ---------------------------------------------------------------------------------------

void View::DeleteUndoStep(CUndo* step) {
    if (!step) return;
    CObArray* arrays[2] = {&step->m_before, &step->m_after};
    for (CObArray* a : arrays) {
        for (INT_PTR i = 0; i < a->GetSize(); ++i) DeleteViewObject(static_cast<ViewObject*>(a->GetAt(i)));
        a->RemoveAll();
    }
    step->m_orderBefore.RemoveAll();
    step->m_orderAfter.RemoveAll();
    delete step;
}

void View::BeginUndoStep() {
    GuardOperation(880, [&] {
        if (m_openUndoStep) return;
        NoteSavedPosition();
        m_openUndoStep = new CUndo;
        m_openUndoStep->m_serial = m_nextUndoSerial++;
        if (CDocument* doc = UndoDocument()) m_openUndoStep->m_designWasModified = doc->IsModified();
        if (ViewObject* selected = m_design.GetFirstSelected()) {
            m_openUndoStep->m_objectName = selected->name;
            if (selected->IsText() || selected->IsTrackList())
                RecordUndoValue("prevCursor", selected, "", "");
        }
    });
}

void View::RecordUndoValue(const CString& key, ViewObject* object, const CString& previous,
                           const CString& next) {
    if (m_inUndoRecord || !m_openUndoStep) return;
    GuardOperation(881, [&] {
        if (!object) object = m_design.GetFirstSelected();
        if (!object) return;
        if (CDocument* doc = UndoDocument()) doc->SetModifiedFlag(TRUE);
        CUndo* step = m_openUndoStep;
        const CString head = key.Left(4);
        bool hasPrevious = !previous.IsEmpty() || head == "prev";
        bool hasNext = !next.IsEmpty() || head == "next";
        if (key == "prevOrder" || key == "nextOrder") {
            LabelTemplate all;
            m_design.CollectObjects(all, false);
            if (key == "prevOrder") {
                if (step->m_orderBefore.GetSize() == 0)
                    for (int i = 0; i < all.GetObjectCount(); ++i)
                        step->m_orderBefore.Add(all.GetObject(i)->name);
            } else {
                step->m_orderAfter.RemoveAll();
                for (int i = 0; i < all.GetObjectCount(); ++i) step->m_orderAfter.Add(all.GetObject(i)->name);
                bool same = step->m_orderAfter.GetSize() == step->m_orderBefore.GetSize();
                for (INT_PTR i = 0; same && i < step->m_orderAfter.GetSize(); ++i)
                    same = step->m_orderAfter[i] == step->m_orderBefore[i];
                if (same) {
                    step->m_orderBefore.RemoveAll();
                    step->m_orderAfter.RemoveAll();
                }
            }
            all.objects.RemoveAll();
        }
        // The text-valued properties: an empty side is not a value.
        static const char* const kTextKeys[6] = {"discLayout", "angle",        "wrapStyle",
                                                 "alignment",  "trackNumbers", "textLayout"};
        for (const char* k : kTextKeys) {
            if (key == k) {
                hasPrevious = !previous.IsEmpty();
                hasNext = !next.IsEmpty();
            }
        }
        m_inUndoRecord = true;
        struct Clear {
            bool& flag;
            ~Clear() { flag = false; }
        } clear{m_inUndoRecord};
        ViewObject* before = nullptr;
        ViewObject* after = nullptr;
        if (hasPrevious) {
            before = FindSnapshot(step->m_before, object->name);
            if (!before) {
                before = NewSnapshot(object);
                step->m_before.Add(before);
            }
        }
        if (hasNext) {
            after = FindSnapshot(step->m_after, object->name);
            if (!after) {
                after = NewSnapshot(object);
                step->m_after.Add(after);
            }
        }
        // Numbers: the before-snapshot keeps the first previous value of the step.
        struct IntKey {
            const char* key;
            int ViewObject::*field;
            unsigned flag;
        };
        static const IntKey kIntKeys[] = {
            {"left", &ViewObject::left, kUndoLeft},
            {"top", &ViewObject::top, kUndoTop},
            {"width", &ViewObject::width, kUndoWidth},
            {"height", &ViewObject::height, kUndoHeight},
            {"bLinkText", &ViewObject::bLinkText, kUndoLinkText},
            {"bAspectRatio", &ViewObject::bAspectRatio, kUndoAspectRatio},
            {"bAutoFit", &ViewObject::bAutoFit, kUndoAutoFit},
            {"bBackground", &ViewObject::bBackground, kUndoBackground},
            {"textMargin", &ViewObject::textMargin, kUndoTextMargin},
        };
        for (const IntKey& k : kIntKeys) {
            if (key != k.key) continue;
            if (before && !step->Has(before, k.flag)) {
                before->*k.field = ParseUndoInt(previous);
                step->AddFields(before, k.flag);
            }
            if (after) {
                after->*k.field = ParseUndoInt(next);
                step->AddFields(after, k.flag);
            }
            return;
        }
        struct TextKey {
            const char* key;
            CString ViewObject::*field;
            unsigned flag;
        };
        static const TextKey kTextFields[] = {
            {"discLayout", &ViewObject::undoDiscLayout, kUndoDiscLayout},
            {"angle", &ViewObject::angle, kUndoAngle},
            {"wrapStyle", &ViewObject::wrapStyle, kUndoWrapStyle},
            {"alignment", &ViewObject::alignment, kUndoAlignment},
            {"trackNumbers", &ViewObject::trackNumbers, kUndoTrackNumbers},
            {"textLayout", &ViewObject::textLayout, kUndoTextLayout},
        };
        for (const TextKey& k : kTextFields) {
            if (key != k.key) continue;
            if (before && !step->Has(before, k.flag)) {
                before->*k.field = previous;
                step->AddFields(before, k.flag);
            }
            if (after) {
                after->*k.field = next;
                step->AddFields(after, k.flag);
            }
            return;
        }
        const bool isPrev = head == "prev";
        ViewObject* s = isPrev ? before : after;
        if (!s) return;
        const CString what = key.Mid(4);
        if (what == "Cursor") {
            int start = 0, end = 0;
            m_select.GetSelection(start, end);
            s->undoSelStart = start;
            s->undoSelEnd = end;
            step->AddFields(s, kUndoCursor);
        } else if (what == "Text") {
            if (isPrev && step->Has(s, kUndoText)) return;
            if (object->IsSide()) {
                // An album field edit on the side: every album field, so that the one the edit
                // changed comes back.
                std::vector<std::pair<CString, CString>>& texts = step->m_albumTexts[s];
                texts.clear();
                for (const char* field : kAlbumFields)
                    texts.emplace_back(field, m_design.GetAlbumField(field));
            }
            s->chars.Copy(object->chars);
            step->AddFields(s, kUndoText);
        } else if (what == "Underline") {
            if (isPrev && step->Has(s, kUndoUnderline)) return;
            s->charUnderlines.Copy(object->charUnderlines);
            step->AddFields(s, kUndoUnderline);
        } else if (what == "Color") {
            if (isPrev && step->Has(s, kUndoColor)) return;
            CopyColors(s->charColors, object->charColors);
            step->AddFields(s, kUndoColor);
        } else if (what == "Font") {
            if (isPrev && step->Has(s, kUndoFont)) return;
            CopyFonts(s->charFonts, object->charFonts);
            step->AddFields(s, kUndoFont);
        } else if (what == "Rich") {
            // A whole object that appears or goes. Before the step it keeps the picture's own
            // bytes (its file may be moved or changed meanwhile); after the step only the file
            // path, as the object is still in the design.
            if (isPrev) {
                CopyWithImageBytes(s, object);
            } else {
                s->CopyFrom(object, false, false, false);
                s->imagePath = object->imagePath;
            }
            step->AddFields(s, kAllUndoFields);
        } else if (what == "HSL") {
            s->hue = object->hue;
            s->saturation = object->saturation;
            s->lightness = object->lightness;
            step->AddFields(s, kUndoHsl);
        }
    });
}

CDocument* View::UndoDocument() {
    if (CFrameWnd* frame = m_hWnd ? GetParentFrame() : nullptr) return frame->GetActiveDocument();
    return GetDocument();
}

unsigned View::UndoPositionSerial() const {
    const int count = GetUndoCount();
    if (m_undoPosition < 0 || count == 0) return m_undoBaseSerial;
    return GetUndoStep(m_undoPosition < count ? m_undoPosition : count - 1)->m_serial;
}

int View::UndoStepIndex(unsigned serial) const {
    if (serial == m_undoBaseSerial) return -1;
    for (int i = 0; i < GetUndoCount(); ++i)
        if (GetUndoStep(i)->m_serial == serial) return i;
    return -2;
}

void View::NoteSavedPosition() {
    CDocument* doc = UndoDocument();
    if (doc && !doc->IsModified()) m_savedUndoSerial = UndoPositionSerial();
}

bool View::NoteDesignSaved() {
    const bool dragging = m_mouseCaptured && m_dragMode != "Select" && !m_dragRect.IsRectEmpty();
    // Dropped, the open step brings back a state other than the one written.
    if (m_openUndoStep) m_openUndoStep->m_designWasModified = TRUE;
    const bool atRest = !m_openUndoStep && !dragging;
    m_savedUndoSerial = atRest ? UndoPositionSerial() : kNoSavedPosition;
    return atRest;
}

void View::MatchModifiedToPosition() {
    if (CDocument* doc = UndoDocument()) doc->SetModifiedFlag(UndoPositionSerial() != m_savedUndoSerial);
}

void View::EndUndoStep() {
    GuardOperation(882, [&] {
        if (!m_openUndoStep) return;
        if (StepChangesNothing(*m_openUndoStep)) {
            // Not kept: Redo stays, and the design is as modified as it was before.
            AbandonOpenUndoStep();
            return;
        }
        // A new step: what an earlier picture's insert kept aside cannot come back now.
        FreeRedoAside();
        if (m_undoPosition != GetUndoCount() - 1) {
            if (m_openUndoStep->m_picturePending)
                SetRedoAside(m_undoPosition + 1, m_openUndoStep->m_serial);
            else
                TrimUndoSteps(m_undoPosition + 1, true);
        }
        if (GetUndoCount() >= kMaxUndoSteps) {
            TrimUndoSteps(0, false);
            --m_undoPosition;
        }
        ViewObject* selected = m_design.GetFirstSelected();
        if (selected && (selected->IsText() || selected->IsTrackList()))
            RecordUndoValue("nextCursor", selected, "", "");
        m_undoSteps.Add(m_openUndoStep);
        m_openUndoStep = nullptr;
        ++m_undoPosition;
        m_startupDesignSaved = 0;
        if (!m_pendingPictures.empty()) HoldPendingNames();
    });
}

void View::DropOpenUndoStep() {
    DeleteUndoStep(m_openUndoStep);
    m_openUndoStep = nullptr;
}

void View::AbandonOpenUndoStep() {
    if (!m_openUndoStep) return;
    const BOOL wasModified = m_openUndoStep->m_designWasModified;
    DropOpenUndoStep();
    if (CDocument* doc = UndoDocument()) doc->SetModifiedFlag(wasModified);
}

void View::TrimUndoSteps(int index, bool fromIndexOn) {
    GuardOperation(883, [&] {
        const int count = GetUndoCount();
        if (index < 0 || index >= count) return;
        // What was the state after the oldest step going is the state before the oldest kept.
        if (index == 0) m_undoBaseSerial = fromIndexOn ? UndoPositionSerial() : GetUndoStep(0)->m_serial;
        if (index == 0 && fromIndexOn) FreeRedoAside();
        const int last = fromIndexOn ? count - 1 : index;
        for (int i = index; i <= last && i <= m_undoPosition && !m_pendingPictures.empty(); ++i)
            PassStepToPendingPictures(*GetUndoStep(i));
        for (int i = last; i >= index; --i) {
            DeleteUndoStep(GetUndoStep(i));
            m_undoSteps.RemoveAt(i);
        }
    });
}

void View::SetDocumentText(const CString& fieldName, const CString& text) {
    GuardOperation(884, [&] {
        m_design.SetAlbumField(fieldName, text);
        if (ViewHost* host = GetHost()) host->UpdateField(fieldName);
    });
}

void View::OnEditUndo() {
    ApplyUndoStep(false);
}

void View::SetRedoAside(int from, unsigned serial) {
    FreeRedoAside();
    for (int i = from; i < GetUndoCount(); ++i) m_redoAside.push_back(GetUndoStep(i));
    m_undoSteps.RemoveAt(from, GetUndoCount() - from);
    m_redoAsideSerial = serial;
}

void View::RestoreRedoAside() {
    for (CUndo* step : m_redoAside) m_undoSteps.Add(step);
    m_redoAside.clear();
    m_redoAsideSerial = 0;
}

void View::FreeRedoAside() {
    for (CUndo* step : m_redoAside) DeleteUndoStep(step);
    m_redoAside.clear();
    m_redoAsideSerial = 0;
}

void View::ForgetObjectInUndoSteps(int from, const CString& name) {
    for (int i = from; i < GetUndoCount(); ++i) {
        CUndo* step = GetUndoStep(i);
        for (CStringArray* order : {&step->m_orderBefore, &step->m_orderAfter})
            for (INT_PTR k = order->GetSize() - 1; k >= 0; --k)
                if (order->GetAt(k) == name) order->RemoveAt(k);
        for (CObArray* snapshots : {&step->m_before, &step->m_after}) {
            for (INT_PTR k = snapshots->GetSize() - 1; k >= 0; --k) {
                ViewObject* s = static_cast<ViewObject*>(snapshots->GetAt(k));
                if (!s || s->name != name) continue;
                DeleteViewObject(s);
                snapshots->RemoveAt(k);
            }
        }
    }
}

void View::KeepObjectsStepRemoved(int index, const CString& picture) {
    for (int j = index; j < GetUndoCount(); ++j) {
        CUndo* step = GetUndoStep(j);
        const ViewObject* made = FindSnapshot(step->m_after, picture);
        if (!made || !step->Has(made, kUndoBackground) || made->bBackground <= 0) continue;
        for (INT_PTR k = step->m_before.GetSize() - 1; k >= 0; --k) {
            ViewObject* s = static_cast<ViewObject*>(step->m_before[k]);
            if (!PutOutBy(*step, s, made, picture)) continue;
            step->m_before.RemoveAt(k);
            KeepPutOutBackground(s, j, picture);
        }
    }
}

void View::KeepPutOutBackground(ViewObject* s, int j, const CString& picture) {
    // It stays its side's background until a later step puts another one there, which then takes
    // it out.
    int taking = j + 1;
    while (taking < GetUndoCount() && !PutsBackground(*GetUndoStep(taking), *s, picture)) ++taking;
    for (int i = j < 0 ? 0 : j; i < taking; ++i) {
        CUndo* kept = GetUndoStep(i);
        if (i > j && kept->m_orderBefore.GetSize()) PutAfterSide(kept->m_orderBefore, *s);
        if (kept->m_orderAfter.GetSize()) PutAfterSide(kept->m_orderAfter, *s);
    }
    if (j <= m_undoPosition && m_undoPosition < taking && !m_design.FindObject(s->name)) {
        ViewObject* back = new ViewObject;
        CopyWithImageBytes(back, s);
        if (ViewObject* side = m_design.FindObject(s->sideName))
            m_design.InsertObjectAfter(back, side);
        else
            m_design.AddObject(back);
    }
    if (taking == GetUndoCount()) {
        DeleteViewObject(s);
        return;
    }
    CUndo* takes = GetUndoStep(taking);
    if (takes->m_orderBefore.GetSize() == 0) {
        // It moved nothing before: the order it leaves is the one before it, less this.
        takes->m_orderAfter.RemoveAll();
        for (const CString& name : OrderAt(*this, taking - 1)) {
            takes->m_orderBefore.Add(name);
            if (name != s->name) takes->m_orderAfter.Add(name);
        }
    } else {
        PutAfterSide(takes->m_orderBefore, *s);
    }
    takes->m_before.Add(s);
    takes->AddFields(s, kAllUndoFields);
}

void View::PassStepToPendingPictures(CUndo& step) {
    for (PendingPicture& pending : m_pendingPictures) {
        if (pending.stepSerial == step.m_serial) {
            pending.stepSerial = 0;
            pending.stepBehind = true;
        }
        // Another background put there: had the picture never come, the kept one would go too.
        if (pending.putOut && PutsBackground(step, *pending.putOut, pending.name)) pending.putOut.reset();
        const ViewObject* made = FindSnapshot(step.m_after, pending.name);
        if (!made || !step.Has(made, kUndoBackground) || made->bBackground <= 0) continue;
        for (INT_PTR k = step.m_before.GetSize() - 1; k >= 0; --k) {
            ViewObject* s = static_cast<ViewObject*>(step.m_before[k]);
            if (!PutOutBy(step, s, made, pending.name)) continue;
            step.m_before.RemoveAt(k);
            pending.putOut.reset(s);
        }
    }
    HoldPendingNames();
}

void View::RewriteStepsWithout(int index, const CString& picture, ViewObject* putOut) {
    const int saved = UndoStepIndex(m_savedUndoSerial);
    const int first = index < 0 ? 0 : index;
    const bool savedRewritten = saved >= index && saved != -2;
    const std::vector<CString> savedOrder = savedRewritten ? OrderAt(*this, saved) : std::vector<CString>();
    if (putOut) KeepPutOutBackground(putOut, -1, picture);
    KeepObjectsStepRemoved(first, picture);
    ForgetObjectInUndoSteps(first, picture);
    // A save the rewrite changed (the picture in, or what it put out back) is no position now; nor
    // one that held the picture from before the list, where no step up to it recorded an order.
    if (savedRewritten && (OrderAt(*this, saved) != savedOrder || savedOrder.empty()))
        m_savedUndoSerial = kNoSavedPosition;
    DropEmptiedSteps(first);
}

void View::DropEmptiedSteps(int from) {
    for (int i = GetUndoCount() - 1; i >= from; --i) {
        CUndo* step = GetUndoStep(i);
        bool sameOrder = step->m_orderBefore.GetSize() == step->m_orderAfter.GetSize();
        for (INT_PTR k = 0; sameOrder && k < step->m_orderBefore.GetSize(); ++k)
            sameOrder = step->m_orderBefore[k] == step->m_orderAfter[k];
        if (sameOrder) {
            step->m_orderBefore.RemoveAll();
            step->m_orderAfter.RemoveAll();
        }
        if (!StepChangesNothing(*step)) continue;
        // Its position is the one before it: the same state.
        if (m_savedUndoSerial == step->m_serial)
            m_savedUndoSerial = i > 0 ? GetUndoStep(i - 1)->m_serial : m_undoBaseSerial;
        if (m_undoPosition >= i) --m_undoPosition;
        DeleteUndoStep(step);
        m_undoSteps.RemoveAt(i);
    }
}

void View::HoldPendingNames() {
    std::vector<CString>& held = m_design.heldNames;
    held.clear();
    int from = GetUndoCount();
    for (const PendingPicture& pending : m_pendingPictures) {
        held.push_back(pending.name);
        if (pending.putOut) held.push_back(pending.putOut->name);
        const int index = pending.stepBehind ? 0 : pending.stepSerial ? UndoStepIndex(pending.stepSerial) : -2;
        if (index >= 0 && index < from) from = index;
    }
    for (int i = from; i < GetUndoCount(); ++i) {
        CUndo* step = GetUndoStep(i);
        for (INT_PTR k = 0; k < step->m_before.GetSize(); ++k) {
            const ViewObject* s = static_cast<const ViewObject*>(step->m_before[k]);
            if (s && step->Has(s, kUndoRich)) held.push_back(s->name);
        }
    }
}

void View::OnEditRedo() {
    ApplyUndoStep(true);
}

// Puts the objects back in the order the step recorded: objects that exist are taken over,
// missing ones are made again from the step's snapshots, and what only the other direction made
// is kept in its snapshots and deleted. False when the step recorded no order.
bool View::RestoreUndoOrder(CUndo* step, bool redo) {
    CObArray& these = redo ? step->m_after : step->m_before;
    CObArray& opposite = redo ? step->m_before : step->m_after;
    CStringArray& order = redo ? step->m_orderAfter : step->m_orderBefore;
    if (order.GetSize() == 0) return false;
    LabelTemplate scratch;
    m_design.CollectObjects(scratch, false);
    std::vector<ViewObject*> objects;
    for (int i = 0; i < scratch.GetObjectCount(); ++i) objects.push_back(scratch.GetObject(i));
    scratch.objects.RemoveAll();
    m_design.ClearSelection();
    m_design.DetachAllObjects();
    for (INT_PTR n = 0; n < order.GetSize(); ++n) {
        bool found = false;
        for (ViewObject*& o : objects) {
            if (o && o->name == order[n]) {
                m_design.AddObject(o);
                o = nullptr;
                found = true;
                break;
            }
        }
        if (found) continue;
        if (ViewObject* s = FindSnapshot(these, order[n])) {
            ViewObject* made = new ViewObject;
            CopyWithImageBytes(made, s);
            m_design.AddObject(made);
        }
    }
    // What is left was made by the other direction: kept in its snapshots, then deleted.
    for (ViewObject* o : objects) {
        if (!o) continue;
        for (INT_PTR i = 0; i < opposite.GetSize(); ++i) {
            ViewObject* s = static_cast<ViewObject*>(opposite[i]);
            if (s && s->name == o->name) {
                CopyWithImageBytes(s, o);
                step->AddFields(s, kAllUndoFields);
            }
        }
        DeleteViewObject(o);
    }
    return true;
}

// What applying a step's snapshots found out: the side and object to show, the object the step
// changed first, the text cursor, and what has to be redrawn.
struct View::UndoApplyState {
    CString sideName, selectName, changedName;
    int selStart = 0, selEnd = 0;
    bool cursorSaved = false;
    bool layoutChanged = false, colorChanged = false;
    ViewObject* marginFlash = nullptr;
};

// Gives object o the fields the step recorded of it in snapshot s.
void View::ApplyUndoSnapshot(CUndo* step, ViewObject* s, ViewObject* o, UndoApplyState& state) {
    const unsigned f = step->GetFields(s);
    if (f & kUndoLeft) o->left = s->left;
    if (f & kUndoTop) o->top = s->top;
    if (f & kUndoWidth) o->width = s->width;
    if (f & kUndoHeight) o->height = s->height;
    if ((f & kUndoDiscLayout) && !s->undoDiscLayout.IsEmpty()) {
        m_design.SetDiscLayout(LabelTemplate::LayoutFromName(s->undoDiscLayout, 0));
        state.layoutChanged = true;
    }
    if (f & kUndoCursor) {
        state.selStart = s->undoSelStart;
        state.selEnd = s->undoSelEnd;
        state.cursorSaved = true;
    }
    if (f & kUndoAspectRatio) o->bAspectRatio = s->bAspectRatio;
    if (f & kUndoLinkText) o->bLinkText = s->bLinkText;
    if (f & kUndoAutoFit) o->bAutoFit = s->bAutoFit;
    if (f & kUndoBackground) o->bBackground = s->bBackground;
    if (f & kUndoAngle) o->angle = s->angle;
    if (f & kUndoWrapStyle) o->wrapStyle = s->wrapStyle;
    if (f & kUndoAlignment) o->alignment = s->alignment;
    if (f & kUndoTrackNumbers) o->trackNumbers = s->trackNumbers;
    if (f & kUndoTextLayout) o->textLayout = s->textLayout;
    if (f & kUndoHsl) {
        o->hue = s->hue;
        o->saturation = s->saturation;
        o->lightness = s->lightness;
        state.colorChanged = true;
        FrameCommandState& frame = FrameCommandState::Get();
        frame.m_sliderFlags[0] = frame.m_sliderFlags[1] = frame.m_sliderFlags[2] = 0;
    }
    if (f & kUndoTextMargin) {
        ApplyTextMargin(o, s->textMargin);
        if (!g_showGuides && o->textMargin > 0) state.marginFlash = o;
    }
    if (f & kUndoText) {
        if (s->IsSide()) {
            auto it = step->m_albumTexts.find(s);
            if (it != step->m_albumTexts.end()) {
                for (const auto& field : it->second)
                    if (m_design.GetAlbumField(field.first) != field.second)
                        SetDocumentText(field.first, field.second);
            }
            m_design.RefreshLinkedText();
            if (m_hWnd) SetFocus();
        } else {
            o->chars.Copy(s->chars);
            if (!(f & kUndoFont) || !(f & kUndoColor)) FitRunsToText(o);
            if (o->bLinkText) SetDocumentText(o->name, o->GetText());
        }
    }
    if ((f & kUndoUnderline) && s->charUnderlines.GetSize() == o->chars.GetSize())
        o->charUnderlines.Copy(s->charUnderlines);
    if (f & kUndoColor) {
        CopyColors(o->charColors, s->charColors);
        if (o->IsText() || o->IsTrackList()) {
            while (o->charColors.GetSize() < o->chars.GetSize()) o->charColors.Add(nullptr);
        } else if (ViewHost* host = GetHost()) {
            host->UpdateColorBarFromSelection(nullptr);
        }
    }
    if ((f & kUndoFont) && s->charFonts.GetSize() == o->chars.GetSize())
        CopyFonts(o->charFonts, s->charFonts);
    if (state.sideName.IsEmpty()) {
        state.sideName = SideToShow(m_design, s);
        state.selectName = state.changedName = s->name;
    }
    o->needsLayout = 1;
}

void View::ApplyUndoStep(bool redo) {
    bool wait = false;
    NoteSavedPosition();
    const unsigned from = UndoPositionSerial();
    GuardOperation(885, [&] {
        const int count = GetUndoCount();
        if (count == 0) return;
        if (redo) {
            // Redo at the end leaves the position where it is.
            if (m_undoPosition + 1 >= count) return;
            ++m_undoPosition;
        } else {
            if (m_undoPosition < 0) return;
            if (m_undoPosition >= count) m_undoPosition = count - 1;
        }
        // A colour adjustment still under way belongs to the state being left.
        m_select.DiscardHslResult();
        CUndo* step = GetUndoStep(m_undoPosition);
        CObArray& these = redo ? step->m_after : step->m_before;
        const bool orderChanged = RestoreUndoOrder(step, redo);
        // Images recreated without their bytes (none that a step recorded) come back from their
        // files.
        m_design.ForEachObject([&](ViewObject* o) {
            if (o->IsImage() && o->image.IsEmpty() && !o->imagePath.IsEmpty()) {
                if (!wait) {
                    BeginWaitCursor();
                    wait = true;
                }
                o->LoadImageFile(o->imagePath, false);
            }
        });
        UndoApplyState state;
        for (INT_PTR i = 0; i < these.GetSize(); ++i) {
            ViewObject* s = static_cast<ViewObject*>(these[i]);
            if (!s) continue;
            std::vector<ViewObject*> targets;
            m_design.ForEachObject([&](ViewObject* o) {
                if (o->name == s->name) targets.push_back(o);
            });
            for (ViewObject* o : targets) {
                ApplyUndoSnapshot(step, s, o, state);
            }
        }
        {
            LabelTemplate current;
            m_design.CollectObjects(current, true);
            for (int i = 0; i < current.GetObjectCount(); ++i) {
                ViewObject* o = current.GetObject(i);
                if (o->name != step->m_objectName || step->m_objectName.IsEmpty()) continue;
                if (state.colorChanged) {
                    o->SetAdjustedImage(nullptr);
                    o->SetWorkingImage(nullptr);
                }
                if (state.sideName.IsEmpty()) state.sideName = SideToShow(m_design, o);
                state.selectName = o->name;
                break;
            }
            current.objects.RemoveAll();
        }
        if (state.sideName == "Disc 2" && m_design.IsSingleDiscLayout()) state.sideName = "Disc 1";
        if (!redo) --m_undoPosition;
        if (!state.sideName.IsEmpty() && state.sideName != m_design.currentSideName)
            state.layoutChanged = true;
        ViewObject* selected = m_design.GetFirstSelected();
        if ((!state.selectName.IsEmpty() && selected && selected->name != state.selectName) || orderChanged) {
            StopOutlineTimer();
            OnSelectionChanged(state.selectName, FALSE);
            StartOutlineTimer();
        }
        selected = m_design.GetFirstSelected();
        if (selected && (selected->IsText() || selected->IsTrackList())) {
            selected->RebuildTrackRows();
            const int n = selected->GetCharCount();
            if (!state.cursorSaved || state.selStart < 0 || state.selStart > n - 1) state.selStart = 0;
            if (!state.cursorSaved || state.selEnd < 0 || state.selEnd > n - 1) state.selEnd = 0;
            if (n > 0) m_select.SetSelection(state.selStart, state.selEnd);
        }
        m_select.Refresh();
        // The canvas stays where it is scrolled. A side switched to (or laid out anew) is centred,
        // once it is the current side on its own page; then what the step changed (else the
        // selection), when it lies wholly outside the window, is scrolled into it.
        if (state.layoutChanged) {
            const bool paint = m_paintEnabled;
            m_paintEnabled = false;
            if (!state.sideName.IsEmpty()) m_design.currentSideName = state.sideName;
            SetPageScrollSizes();
            PlaceCanvas();
            RecenterView(false, false);
            m_paintEnabled = paint;
        }
        const ViewObject* changed =
            state.changedName.IsEmpty() ? selected : m_design.FindObject(state.changedName);
        if (changed && changed->sideName == m_design.currentSideName) BringIntoSight(changed);
        if (state.layoutChanged)
            RefreshView(state.sideName);
        else
            Redraw(true);
        if (state.marginFlash) FlashMarginRings(state.marginFlash);
        if (ViewHost* host = GetHost()) host->UpdateColorBarFromSelection(nullptr);
    });
    if (wait) EndWaitCursor();
    if (UndoPositionSerial() != from) MatchModifiedToPosition();
}

void View::RevertNewestUndoStep() {
    CUndo* step = GetUndoStep(GetUndoCount() - 1);
    const ViewObject* selected = m_design.GetFirstSelected();
    const CString selectedName = selected ? selected->name : CString();
    const CString shown = m_design.currentSideName;
    m_select.DiscardHslResult();
    RestoreUndoOrder(step, false);
    UndoApplyState state;
    for (INT_PTR i = 0; i < step->m_before.GetSize(); ++i) {
        ViewObject* s = static_cast<ViewObject*>(step->m_before[i]);
        std::vector<ViewObject*> targets;
        m_design.ForEachObject([&](ViewObject* o) {
            if (s && o->name == s->name) targets.push_back(o);
        });
        for (ViewObject* o : targets) ApplyUndoSnapshot(step, s, o, state);
    }
    m_undoPosition = GetUndoCount() - 2;
    if (!selectedName.IsEmpty() && m_design.FindObject(selectedName))
        m_design.SelectObjectByName(selectedName);
    m_design.currentSideName = shown;
}

void View::ApplyTextMargin(ViewObject* disc, int margin) {
    if (!disc) return;
    disc->textMargin = margin;
    m_design.ForEachObject([](ViewObject* o) {
        if (o->side == 1) o->needsLayout = 1;
    });
}

void View::FlashMarginRings(ViewObject* disc) {
    GuardOperation(886, [&] {
        if (!disc || !disc->IsDisc(-1) || !m_memGraphics) return;
        double sx = 0, sy = 0;
        ModelToDevice(nullptr, Rect(), sx, sy);
        HBITMAP bitmap = m_buffer.Bitmap();
        RenderContext ctx;
        ctx.SetupScreen(m_memGraphics, bitmap, sx, sy, &m_design, disc, m_pageOrigin.x, m_pageOrigin.y);
        ctx.AddDiscMarginPaths(true);
        ctx.DrawOutlinePaths();
        Redraw(false);
        if (m_select.m_hWnd) m_select.SetTimer(kTimerMarginFlash, 700, nullptr);
    });
}
