// The formatting commands on the selection: fonts, sizes, styles and colours of characters
// (split into runs at the selection and merged again), the object properties set through the
// view's undo-recording setters, backgrounds of sides, the image's size and stacking, and the
// font state shown on the formatting bar.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "canvas/AppCanvasState.h"
#include "canvas/CanvasGeometry.h"
#include "canvas/View.h"
#include "canvas/ViewSelect.h"
#include "model/Geometry.h"
#include "model/PrintOptions.h"
#include "render/CanvasSettings.h"
#include "res/CommandIds.h"

using namespace Gdiplus;

namespace {

bool IsTextual(const ViewObject* o) {
    return o && (o->IsText() || o->IsTrackList());
}

bool IsSeparatorAt(const ViewObject& o, int i) {
    return i >= 0 && i < o.GetCharCount() && o.chars[i] == CString(kTrackFieldEnd, 1);
}

}  // namespace

// A size text (in points, with decimals) as tenths of a point: cut to an integer, raised to the
// next multiple of 5, clamped to 2.5 .. 500 points. Text that is no number reads as 0.
int ParseFontSizeText(const CString& text) {
    const char* p = text.GetString();
    while (*p == ' ') ++p;
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    long long tenths = 0;
    bool digits = false;
    while (*p >= '0' && *p <= '9') {
        tenths = tenths * 10 + (*p++ - '0');
        digits = true;
        if (tenths > 100000000) break;
    }
    tenths *= 10;
    if (*p == '.' && p[1] >= '0' && p[1] <= '9') {
        tenths += p[1] - '0';
        digits = true;
    }
    if (!digits || negative) tenths = 0;
    if (tenths % 5 != 0) tenths += 5 - tenths % 5;
    if (tenths < 25) tenths = 25;
    if (tenths > 5000) tenths = 5000;
    return static_cast<int>(tenths);
}

// ---- runs -----------------------------------------------------------------------------------------

COLORREF* ViewSelect::GetRunObject(ViewObject* object, int index) const {
    if (!object || object->IsPage(-1) || object->IsImage()) return nullptr;
    if (index < 0 || index >= object->charColors.GetSize()) return nullptr;
    for (int i = index; i >= 0; --i)
        if (object->charColors[i]) return object->charColors[i];
    return nullptr;
}

LOGFONTA* ViewSelect::GetRunFont(ViewObject* object, int index) const {
    if (!object || object->IsPage(-1) || object->IsImage()) return nullptr;
    if (index < 0 || index >= object->charFonts.GetSize()) return nullptr;
    for (int i = index; i >= 0; --i)
        if (object->charFonts[i]) return object->charFonts[i];
    return nullptr;
}

// The runs of the selection: [a, b] for each stretch of selected characters, a closing field
// separator right after a run belonging to it.
static std::vector<std::pair<int, int>> SelectedRuns(const ViewObject& o, const TextEditState& st) {
    std::vector<std::pair<int, int>> runs;
    const int n = o.GetCharCount();
    int i = 0;
    while (i < n) {
        if (!TextEditing::IsCharSelected(o, st, i)) {
            ++i;
            continue;
        }
        const int a = i;
        int u = a;
        while (u < n && TextEditing::IsCharSelected(o, st, u)) ++u;
        const int b = IsSeparatorAt(o, u) ? u : u - 1;
        runs.emplace_back(a, b);
        i = u + 1;
    }
    return runs;
}

template <class Change>
void ViewSelect::ChangeFonts(Change change) {
    ViewObject* o = GetSelectedObject();
    if (!IsTextual(o)) return;
    while (o->charFonts.GetSize() < o->chars.GetSize()) o->charFonts.Add(nullptr);
    const int n = static_cast<int>(o->charFonts.GetSize());
    if (m_selStart == m_selEnd) {
        for (int i = 0; i < n; ++i)
            if (o->charFonts[i]) change(*o->charFonts[i]);
    } else {
        for (const auto& run : SelectedRuns(*o, *this)) {
            const int a = run.first, b = run.second < n ? run.second : n - 1;
            if (b + 1 < n && !o->charFonts[b + 1])
                if (LOGFONTA* f = GetRunFont(o, b)) o->charFonts[b + 1] = ViewObject::CopyFontRecord(f);
            if (!o->charFonts[a])
                if (LOGFONTA* f = GetRunFont(o, a)) o->charFonts[a] = ViewObject::CopyFontRecord(f);
            for (int i = a; i <= b; ++i)
                if (o->charFonts[i]) change(*o->charFonts[i]);
        }
    }
    // The drawing caches its style choice in the escapement; a cached choice on one record must
    // not keep two records of the same font from merging, so every record chooses afresh.
    for (int i = 0; i < n; ++i)
        if (o->charFonts[i]) o->charFonts[i]->lfEscapement = 0;
    o->PruneCharFonts();
    o->needsLayout = 1;
}

void ViewSelect::SetFontName(const CString& faceName) {
    GuardOperation(976, [&] {
        ChangeFonts([&](LOGFONTA& f) {
            std::memset(f.lfFaceName, 0, sizeof(f.lfFaceName));
            std::strncpy(f.lfFaceName, faceName.GetString(), sizeof(f.lfFaceName) - 1);
            f.lfEscapement = 0;
        });
    });
}

void ViewSelect::SetFontSize(const CString& sizeText) {
    GuardOperation(977, [&] {
        ViewObject* o = GetSelectedObject();
        if (!IsTextual(o) || !m_view) return;
        if (sizeText == "AutoFit") {
            m_view->SetAutoFit(o, 1);
            o->needsLayout = 1;
            return;
        }
        m_view->SetAutoFit(o, 0);
        const int height = ParseFontSizeText(sizeText);
        ChangeFonts([&](LOGFONTA& f) { f.lfHeight = height; });
    });
}

void ViewSelect::OnBold() {
    GuardOperation(3307, [&] {
        ViewHost* host = View::GetHost();
        const LONG weight = host && host->GetFormatBarButtonImage(4) == 0 ? 700 : 400;
        ChangeFonts([&](LOGFONTA& f) {
            f.lfWeight = weight;
            f.lfEscapement = 0;
        });
        UpdateTextLayout(FALSE, TRUE);
    });
}

void ViewSelect::OnItalic() {
    GuardOperation(3308, [&] {
        ViewHost* host = View::GetHost();
        const BYTE italic = host && host->GetFormatBarButtonImage(5) == 1 ? 1 : 0;
        ChangeFonts([&](LOGFONTA& f) {
            f.lfItalic = italic;
            f.lfEscapement = 0;
        });
        UpdateTextLayout(FALSE, TRUE);
    });
}

void ViewSelect::OnUnderline() {
    GuardOperation(3309, [&] {
        ViewObject* o = GetSelectedObject();
        if (!IsTextual(o)) return;
        ViewHost* host = View::GetHost();
        const WORD flag = host && host->GetFormatBarButtonImage(6) == 2 ? 1 : 0;
        o->SyncCharUnderlines();
        for (int i = 0; i < o->GetCharCount(); ++i)
            if (m_selStart == m_selEnd || TextEditing::IsCharSelected(*o, *this, i))
                o->charUnderlines[i] = flag;
        o->needsLayout = 1;
        UpdateTextLayout(FALSE, TRUE);
    });
}

void ViewSelect::SetCharColor(ViewObject* object, COLORREF color) {
    GuardOperation(981, [&] {
        if (!IsTextual(object)) return;
        ViewObject* edited = GetSelectedObject();
        while (object->charColors.GetSize() < object->chars.GetSize()) object->charColors.Add(nullptr);
        const int n = static_cast<int>(object->charColors.GetSize());
        if (m_selStart == m_selEnd || object != edited) {
            for (int i = 0; i < n; ++i) {
                delete object->charColors[i];
                object->charColors[i] = nullptr;
            }
            if (n > 0) object->charColors[0] = new COLORREF(color);
        } else {
            for (const auto& run : SelectedRuns(*object, *this)) {
                const int a = run.first, b = run.second < n ? run.second : n - 1;
                if (b + 1 < n && !object->charColors[b + 1])
                    if (COLORREF* c = GetRunObject(object, b)) object->charColors[b + 1] = new COLORREF(*c);
                for (int i = a; i <= b; ++i) {
                    delete object->charColors[i];
                    object->charColors[i] = nullptr;
                }
                object->charColors[a] = new COLORREF(color);
            }
        }
        object->PruneCharColors();
    });
}

// ---- object properties ------------------------------------------------------------------------------

void ViewSelect::OnAlignLeft(BOOL refresh) {
    GuardOperation(982, [&] {
        ViewObject* o = GetSelectedObject();
        if (!IsTextual(o) || !m_view) return;
        m_view->SetAlignment(o, "Left");
        if (refresh) Refresh();
        UpdateTextLayout(FALSE, TRUE);
    });
}

void ViewSelect::OnAlignRight(BOOL refresh) {
    GuardOperation(983, [&] {
        ViewObject* o = GetSelectedObject();
        if (!IsTextual(o) || !m_view) return;
        m_view->SetAlignment(o, "Right");
        if (refresh) Refresh();
        UpdateTextLayout(FALSE, TRUE);
    });
}

void ViewSelect::OnAlignCenter(BOOL refresh) {
    GuardOperation(984, [&] {
        ViewObject* o = GetSelectedObject();
        if (!IsTextual(o) || !m_view) return;
        m_view->SetAlignment(o, "Center");
        if (refresh) Refresh();
        UpdateTextLayout(FALSE, TRUE);
    });
}

void ViewSelect::SetWrapStyle(const CString& style) {
    GuardOperation(985, [&] {
        ViewObject* o = GetSelectedObject();
        if (!IsTextual(o) || !m_view) return;
        m_view->SetWrapStyle(o, style);
        UpdateTextLayout(FALSE, TRUE);
    });
}

void ViewSelect::SetAngle(const CString& angleName) {
    GuardOperation(986, [&] {
        ViewObject* o = GetSelectedObject();
        if (!IsTextual(o) || !m_view) return;
        m_view->SetObjectAngle(o, angleName);
        UpdateTextLayout(FALSE, TRUE);
    });
}

void ViewSelect::SetTrackNumbers(const CString& format) {
    GuardOperation(987, [&] {
        ViewObject* o = GetSelectedObject();
        if (!IsTextual(o) || !m_view) return;
        m_view->SetTrackNumbers(o, format);
        const bool numbers = o->ShowsTrackNumbers(), times = o->ShowsTrackTimes();
        if (o->IsTrackList() && ((!numbers && (m_startField == 1 || m_endField == 1)) ||
                                 (!times && (m_startField == 3 || m_endField == 3)))) {
            m_startField = m_endField = 2;
            const int c = TextEditing::FieldFirst(*o, m_startRow, 2);
            if (c >= 0) m_selStart = m_selEnd = c;
        }
        UpdateTextLayout(FALSE, TRUE);
    });
}

// Where each track layout puts a track list on the disc page: left, top, width, height from the
// disc's position (x, y), outer and inner diameters and text margin.
TrackPlacement TrackLayoutPlacement(const CString& layout, int x, int y, int d, int h, int m) {
    TrackPlacement p;
    if (layout == "Left Side") p = {true, x, y + 900, d / 2, d - 1600, "Word-Wrap"};
    if (layout == "Right Side") p = {true, x + d / 2, y + 900, d / 2, d - 1600, "Word-Wrap"};
    if (layout == "Top") p = {true, x, y, d, d / 2 - h / 2 - m, "Track-Wrap"};
    if (layout == "Bottom") {
        const int height = d / 2 - h / 2 - m;
        p = {true, x, y + d - height, d, height, "Track-Wrap"};
    }
    if (layout == "Top && Bottom") p = {true, x, y, d, d, "Track-Wrap"};
    if (layout == "2 Columns") p = {true, x, y + d / 2 - 800, d, 1650, "Word-Wrap"};
    return p;
}

void ViewSelect::SetTrackLayout(const CString& layout, BOOL redraw) {
    GuardOperation(988, [&] {
        ViewObject* o = GetSelectedObject();
        if (!IsTextual(o) || !m_view) return;
        m_view->SetTextLayout(o, layout);
        if (o->textLayout == "Table Format" && o->wrapStyle == "Track-Wrap")
            m_view->SetWrapStyle(o, "Word-Wrap");
        Refresh();
        ViewObject* disc = m_view->m_design.FindObject(o->sideName);
        if (o->side != 1 || !disc || !disc->IsDisc(-1)) {
            UpdateTextLayout(FALSE, FALSE);
            if (redraw) m_view->Redraw(true, Rect(o->left, o->top, o->width, o->height));
            return;
        }
        TrackPlacement p =
            TrackLayoutPlacement(layout, disc->left, disc->top, disc->width, disc->height, disc->textMargin);
        if (p.placed) {
            m_view->SetObjectLeft(o, p.left);
            m_view->SetObjectTop(o, p.top);
            m_view->SetObjectWidth(o, p.width);
            m_view->SetObjectHeight(o, p.height);
            m_view->SetWrapStyle(o, p.wrapStyle);
            m_view->SetTrackNumbers(o, "Track Numbers");
            m_view->SetAlignment(o, "Center");
            m_view->SetObjectAngle(o, "0 degrees");
        }
        UpdateTextLayout(FALSE, FALSE);
        if (redraw) {
            Refresh();
            m_view->Redraw(true);
        }
    });
}

void ViewSelect::SetTextMargin(int margin, BOOL showGuide) {
    GuardOperation(989, [&] {
        if (!m_view) return;
        ViewObject* side = m_view->m_design.GetCurrentSide();
        if (!side || !side->IsDisc(-1)) return;
        m_view->SetTextMargin(side, margin);
        m_view->ApplyTextMargin(side, margin);
        if (!showGuide) return;
        m_view->Redraw(true);
        if (!g_showGuides && margin >= 1) m_view->FlashMarginRings(side);
    });
}

void ViewSelect::SetLinkText(BOOL link, BOOL redraw) {
    GuardOperation(990, [&] {
        ViewObject* o = GetSelectedObject();
        if (!IsTextual(o) || !m_view) return;
        if (!link && o->bLinkText) {
            m_view->SetLinkText(o, 0);
            m_view->m_design.SelectObjectByName(o->name);
        } else if (link && !o->bLinkText) {
            m_view->SetLinkText(o, 1);
            m_view->OnSelectionChanged(o->name, FALSE);
            SetObjectText(o, FALSE);
        }
        if (redraw) {
            o->needsLayout = 1;
            m_view->Redraw(true, Rect(o->left, o->top, o->width, o->height));
        }
    });
}

void ViewSelect::SetImageSize(BOOL lockAspect, BOOL redraw) {
    GuardOperation(991, [&] {
        ViewObject* o = GetSelectedObject();
        if (!o || !o->IsImage() || !m_view) return;
        int outcome = 0;
        if (lockAspect) {
            outcome = 1;
            if (!o->bAspectRatio) {
                int w = o->width, h = o->height;
                if (m_view->GetImageNaturalSize(o, w, h, true)) {
                    m_view->SetObjectWidth(o, w);
                    m_view->SetObjectHeight(o, h);
                } else {
                    outcome = 0;
                    if (ViewHost* host = View::GetHost())
                        host->SetAspectButtonCommand(ID_UNLOCK_ASPECT_RATIO);
                }
            }
        }
        m_view->SetAspectRatio(o, outcome);
        if (redraw) {
            m_view->Redraw(true);
            Refresh();
        }
    });
}

void ViewSelect::BringImageToFront(ViewObject* image) {
    GuardOperation(992, [&] {
        if (!image || !image->IsImage() || !m_view) return;
        KorvanelleDocument& design = m_view->m_design;
        ViewObject* side = design.FindObject(image->sideName);
        if (!side) return;
        design.ClearSelection();
        design.RemoveObject(image, false);
        design.AddObject(image);
        if (image->bBackground != 0) {
            int panel = 1, option = 0;
            design.FindBackgroundFit(image, panel, option);
            Rect r = KorvanelleDocument::GetMarginRect(side, image->bBackground, option);
            int x = side->IsDisc(-1) ? r.X : r.X + (r.Width - 1250) / 2;
            int y = r.Y + (r.Height - 1250) / 2;
            m_view->SetObjectWidth(image, 1250);
            m_view->SetObjectHeight(image, 1250);
            m_view->SetBackground(image, 0);
            const DWORD tick = ::GetTickCount();
            std::srand(tick);
            x += std::rand() % 1000;
            std::srand(tick * 2);
            y += std::rand() % 1000;
            m_view->SetObjectLeft(image, x);
            m_view->SetObjectTop(image, y);
        }
        m_view->OnSelectionChanged(image->name, FALSE);
        SetImageSize(TRUE, FALSE);
        Refresh();
        m_view->Redraw(true);
    });
}

void ViewSelect::SetAsBackground(ViewObject* image, BOOL keepOption, BOOL redraw) {
    GuardOperation(993, [&] {
        if (!image || !image->IsImage() || !m_view) return;
        KorvanelleDocument& design = m_view->m_design;
        ViewObject* side = design.FindObject(image->sideName);
        if (!side) return;
        design.ClearSelection();
        ViewObject* background = design.FindBackgroundImage(image);
        int fit = 1, option = 0;
        if (!keepOption || background) {
            design.FindBackgroundFit(keepOption ? background : image, fit, option);
            if (!keepOption && option != 0) option = option % 8 + 1;
        }
        if (option == 0) {
            const int margin = g_printOptions.GetMargin(side->type);
            option = margin == 50 ? 2 : margin == 100 ? 3 : margin == 150 ? 4 : 1;
        }
        Rect r = KorvanelleDocument::GetMarginRect(side, fit, option);
        m_view->RecordUndoValue("prevOrder", image, "", "");
        if (background && background != image) {
            m_view->RecordUndoValue("prevRich", background, "", "");
            if (m_hslObject == background) DiscardHslResult();
            design.RemoveObject(background, true);
        }
        m_view->SetObjectLeft(image, r.X);
        m_view->SetObjectTop(image, r.Y);
        m_view->SetObjectWidth(image, r.Width);
        m_view->SetObjectHeight(image, r.Height);
        m_view->SetAspectRatio(image, 0);
        m_view->SetBackground(image, fit);
        // Drawn first: right after its side in the template.
        design.RemoveObject(image, false);
        design.InsertObjectAfter(image, side);
        m_view->RecordUndoValue("nextOrder", image, "", "");
        if (redraw) {
            m_view->OnSelectionChanged(image->name, FALSE);
            SetImageSize(FALSE, FALSE);
            m_view->Redraw(true);
            Refresh();
        }
    });
}

void ViewSelect::ClearSideBackground(BOOL redraw) {
    GuardOperation(994, [&] {
        if (!m_view) return;
        KorvanelleDocument& design = m_view->m_design;
        ViewObject* selected = design.GetFirstSelected();
        ViewObject* side = design.GetCurrentSide();
        if (!selected || !side) return;
        int fit = 1, option = 0;
        ViewObject* background = design.FindBackgroundImage(side);
        if (background) design.FindBackgroundFit(background, fit, option);
        std::vector<ViewObject*> panels;
        const bool wide = option >= 5 && option <= 8;
        if (side->IsFoldedFrontCover() && fit == 2) {
            panels.push_back(design.GetFrontCoverInside());
        } else if (side->IsJewelBack()) {
            panels.push_back(side);
            if (!wide) {
                panels.push_back(design.GetLeftTab());
                panels.push_back(design.GetRightTab());
            }
        } else if (side->IsDvdBack() || side->IsBlurayBack()) {
            if (fit == 2)
                panels.push_back(design.GetLeftTab());
            else if (wide)
                panels.push_back(side);
            else
                panels.push_back(design.GetRightTab());
        } else {
            panels.push_back(side);
        }
        bool coloured = false;
        for (ViewObject* panel : panels) coloured = coloured || (panel && panel->charColors.GetSize() > 0);
        // Nothing to clear: no undo step, so Redo stays and the design is not marked modified.
        if (!background && !coloured) return;
        m_view->BeginUndoStep();
        if (background) {
            if (selected == background) design.ClearSelection();
            m_view->RecordUndoValue("prevRich", background, "", "");
            m_view->RecordUndoValue("prevOrder", background, "", "");
            if (m_hslObject == background) DiscardHslResult();
            design.RemoveObject(background, true);
        }
        for (ViewObject* panel : panels) {
            if (!panel || panel->charColors.GetSize() == 0) continue;
            m_view->RecordUndoValue("prevColor", panel, "", "");
            for (INT_PTR i = 0; i < panel->charColors.GetSize(); ++i) delete panel->charColors[i];
            panel->charColors.RemoveAll();
            m_view->RecordUndoValue("nextColor", panel, "", "");
        }
        m_view->RecordUndoValue("nextOrder", side, "", "");
        m_view->EndUndoStep();
        m_view->OnSelectionChanged(design.currentSideName, FALSE);
        if (redraw) {
            Refresh();
            m_view->Redraw(true);
        }
    });
}

void ViewSelect::SetColor(ViewObject* object, COLORREF color, BOOL redraw) {
    GuardOperation(995, [&] {
        if (!object) object = GetSelectedObject();
        if (!object || object->IsPage(-1) || object->IsImage() || !m_view) return;
        if (object->IsSide() || object->IsBoundary()) {
            SetObjectColor(object, color);
        } else if (IsTextual(object)) {
            SetCharColor(object, color);
        }
        if (!redraw) return;
        ViewObject* area = object;
        if (object->IsBoundary()) area = m_view->m_design.FindObject(object->sideName);
        if (!area) area = object;
        RectF r = area->GetRectF(false);
        m_view->Redraw(true, Rect(static_cast<int>(r.X), static_cast<int>(r.Y), static_cast<int>(r.Width),
                                  static_cast<int>(r.Height)));
    });
}

void ViewSelect::SetObjectColor(ViewObject* object, COLORREF color) {
    GuardOperation(996, [&] {
        if (!object || !m_view) return;
        if (object->charColors.GetSize() > 0) {
            delete object->charColors[0];
            object->charColors[0] = nullptr;
            for (INT_PTR i = 1; i < object->charColors.GetSize(); ++i) delete object->charColors[i];
            object->charColors.RemoveAll();
        }
        // White is no background colour at all.
        if ((color & 0xFFFFFF) != 0xFFFFFF) object->charColors.Add(new COLORREF(color));
        KorvanelleDocument& design = m_view->m_design;
        if (object->IsSide() && design.IsBackgroundFullSide(object)) {
            if (ViewObject* background = design.FindBackgroundImage(object)) {
                m_view->RecordUndoValue("prevRich", background, "", "");
                if (m_hslObject == background) DiscardHslResult();
                design.RemoveObject(background, true);
            }
        }
    });
}

void ViewSelect::SetObjectRect(ViewObject* object, int left, int top, int width, int height,
                               const CRect* before, unsigned fields) {
    GuardOperation(997, [&] {
        if (!object || !m_view) return;
        if (!object->IsText() && !object->IsTrackList() && !object->IsImage()) return;
        if (fields == 0) {
            if (left) fields |= kRectLeft;
            if (top) fields |= kRectTop;
            if (width) fields |= kRectWidth;
            if (height) fields |= kRectHeight;
        }
        const int bx = before ? before->left : 0, by = before ? before->top : 0;
        const int bw = before ? before->right : 0, bh = before ? before->bottom : 0;
        if (fields & kRectLeft) m_view->SetObjectLeft(object, left, before ? &bx : nullptr);
        if (fields & kRectTop) m_view->SetObjectTop(object, top, before ? &by : nullptr);
        if (fields & kRectWidth) m_view->SetObjectWidth(object, width, before ? &bw : nullptr);
        if (fields & kRectHeight) m_view->SetObjectHeight(object, height, before ? &bh : nullptr);
        ViewObject* side = m_view->m_design.FindObject(object->sideName);
        if ((fields & (kRectWidth | kRectHeight)) || (side && side->IsDisc(-1))) object->needsLayout = 1;
    });
}

void ViewSelect::DeleteSelectedObject(BOOL refresh) {
    if (!m_view) return;
    m_view->OnDeleteObject();
    if (refresh) Refresh();
}

// ---- display ----------------------------------------------------------------------------------------

void ViewSelect::Refresh() {
    if (AppCanvasState::Get().m_inPrintPreview) return;
    if (ViewHost* host = View::GetHost()) host->UpdateFontBarFromSelection(nullptr);
}

void ViewSelect::ShowFontSize() {
    GuardOperation(998, [&] {
        ViewObject* o = GetSelectedObject();
        ViewHost* host = View::GetHost();
        if (!IsTextual(o) || !host) return;
        FontSelectionState state = GetFontSelectionState();
        if (host->GetFormatBarButtonCount() > 6) {
            host->SetFormatBarButtonImage(4, state.bold ? 3 : 0);
            host->SetFormatBarButtonImage(5, state.italic ? 4 : 1);
            host->SetFormatBarButtonImage(6, state.underline ? 5 : 2);
        }
        host->ShowFontName(state.faceName);
        host->ShowFontSizeText(state.sizeText);
        host->UpdateColorBarFromSelection(o);
    });
}

FontSelectionState ViewSelect::GetFontSelectionState() {
    FontSelectionState state;
    ViewObject* o = GetSelectedObject();
    if (!IsTextual(o)) return state;
    auto sizeText = [&](const LOGFONTA* f) {
        CString text;
        text.Format("%.1f", f->lfHeight / 10.0);
        if (o->bAutoFit) text += " (AutoFit)";
        return text;
    };
    if (m_selStart == m_selEnd) {
        LOGFONTA* f = GetRunFont(o, m_selStart);
        if (!f) return state;
        state.faceName = f->lfFaceName;
        state.sizeText = sizeText(f);
        state.bold = f->lfWeight >= 500;
        state.italic = f->lfItalic != 0;
        state.underline = m_selStart < o->charUnderlines.GetSize() && o->charUnderlines[m_selStart] != 0;
        return state;
    }
    bool first = true, sameName = true, sameSize = true;
    state.bold = state.italic = state.underline = true;
    for (const auto& run : SelectedRuns(*o, *this)) {
        for (int i = run.first; i <= run.second && i < o->GetCharCount(); ++i) {
            LOGFONTA* f = GetRunFont(o, i);
            if (!f) continue;
            const CString name = f->lfFaceName, size = sizeText(f);
            if (first) {
                state.faceName = name;
                state.sizeText = size;
                first = false;
            } else {
                if (name != state.faceName) sameName = false;
                if (size != state.sizeText) sameSize = false;
            }
            if (f->lfWeight < 500) state.bold = false;
            if (!f->lfItalic) state.italic = false;
            if (i >= o->charUnderlines.GetSize() || !o->charUnderlines[i]) state.underline = false;
        }
    }
    if (first) state.bold = state.italic = state.underline = false;
    if (!sameName) state.faceName.Empty();
    if (!sameSize) state.sizeText.Empty();
    return state;
}

namespace {
// Where the text's last layout put its characters, in design units: a big font's characters, and
// the caret and highlight drawn over them, reach past the frame, and a new smaller layout must
// clear them there too.
Rect LaidOutExtent(const ViewObject& o) {
    RectF extent;
    bool any = false;
    for (INT_PTR i = 0; i < o.cellBoxes.GetSize(); ++i) {
        if (!o.cellBoxes[i]) continue;
        RectF box = NormalizeRectF(*o.cellBoxes[i]);
        if (any)
            RectF::Union(extent, extent, box);
        else
            extent = box;
        any = true;
    }
    if (!any) return Rect();
    return Rect(static_cast<INT>(std::floor(extent.X)) + o.left - 1, static_cast<INT>(std::floor(extent.Y)) + o.top - 1,
                static_cast<INT>(std::ceil(extent.Width)) + 3, static_cast<INT>(std::ceil(extent.Height)) + 3);
}
}  // namespace

void ViewSelect::UpdateTextLayout(BOOL linkedAll, BOOL redraw) {
    GuardOperation(999, [&] {
        ViewObject* o = GetSelectedObject();
        if (!o || !m_view) return;
        m_caretX = -1;
        const bool all = linkedAll && o->bLinkText;
        if (all) {
            for (INT_PTR i = 0; i < m_view->m_design.selection.GetSize(); ++i)
                m_view->m_design.selection[i]->needsLayout = 1;
        } else {
            o->needsLayout = 1;
        }
        if (!redraw) return;
        const BYTE wait = m_view->m_waitCursor;
        m_view->m_waitCursor = 0;
        // Only the laid-out objects change: their area of the side is drawn again, not the side,
        // with where their last layout put characters (a smaller new layout must clear them).
        Rect area(o->left, o->top, o->width, o->height);
        Rect::Union(area, area, LaidOutExtent(*o));
        if (all) {
            for (INT_PTR i = 0; i < m_view->m_design.selection.GetSize(); ++i) {
                const ViewObject* s = m_view->m_design.selection[i];
                Rect::Union(area, area, Rect(s->left, s->top, s->width, s->height));
                const Rect extent = LaidOutExtent(*s);
                if (extent.Width > 0) Rect::Union(area, area, extent);
            }
        }
        m_view->Redraw(true, area);
        m_view->m_waitCursor = wait;
    });
}
