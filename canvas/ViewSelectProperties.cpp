// The object properties set on the selection through the view's undo-recording setters:
// alignment, wrapping, angle, track numbers and layouts, the disc's text margin, linked texts,
// the image's size, stacking and use as a background, the backgrounds and colours of sides,
// position and size, and deleting the selected object.
#include <cstdlib>

#include "canvas/View.h"
#include "canvas/ViewSelect.h"
#include "model/PrintOptions.h"
#include "render/CanvasSettings.h"
#include "res/CommandIds.h"

using namespace Gdiplus;

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
