// CToolFont: the four layouts of the formatting bar and the placing of its controls.
#include "bars/ToolFont.h"

#include "bars/BarCanvas.h"
#include "bars/OptionItems.h"
#include "controls/ThemeResources.h"
#include "model/KorvanelleDocument.h"
#include "render/CanvasSettings.h"
#include "res/CommandIds.h"

namespace {

const int kGap = 8;
const int kControlTop = 1;
const int kControlHeight = 24;
const int kMinimumSliderWidth = 127;

// A separator that hosts a control of that width (0: the default gap).
void SetSeparator(CToolBar& bar, int index, UINT id, int width) {
    bar.SetButtonInfo(index, id, TBBS_SEPARATOR, width > 0 ? width : -1);
}

}  // namespace

bool CToolFont::ShowControl(CWnd& control, bool show) {
    if (!control.m_hWnd) return false;
    const bool visible = (control.GetStyle() & WS_VISIBLE) != 0;
    if (visible == show) return false;
    control.ShowWindow(show ? SW_SHOW : SW_HIDE);
    return true;
}

int CToolFont::FrameRightEdge() const {
    CWnd* main = AfxGetMainWnd();
    CRect frame;
    if (main && main->m_hWnd)
        main->GetWindowRect(&frame);
    else
        ::GetWindowRect(::GetDesktopWindow(), &frame);
    ScreenToClient(&frame);
    return frame.right;
}

bool CToolFont::PlaceControl(CWnd* control, int x, int& width) {
    bool moved = false;
    GuardOperationSteps(3510, [&](int& step) {
        step = 1;
        CString text;
        control->GetWindowText(text);
        text.Replace("&&", "&");
        text.TrimLeft(' ');
        text.TrimRight(' ');
        step = 2;
        CSize extent(0, 0);
        if (!text.IsEmpty()) {
            ScopedWindowDC dc(m_hWnd);
            ScopedSelect font(dc, g_uiFont);
            ::GetTextExtentPoint32A(dc, text, text.GetLength(), &extent);
        }
        step = 3;
        CButtonMenu* menu = dynamic_cast<CButtonMenu*>(control);
        width = extent.cx + (menu ? (menu->m_bShowCaption ? 47 : 39) : 33);
        step = 4;
        CRect rect;
        control->GetWindowRect(&rect);
        ScreenToClient(&rect);
        const bool samePlace = rect.left == x && rect.top == kControlTop;
        const bool sameSize = rect.Width() == width && rect.Height() == kControlHeight;
        if (samePlace && sameSize) return;
        UINT flags = SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE;
        if (samePlace) flags |= SWP_NOMOVE;
        if (sameSize) flags |= SWP_NOSIZE;
        control->SetWindowPos(nullptr, x, kControlTop, width, kControlHeight, flags);
        step = 5;
        // A button drawn over a cached piece of the bar needs a new piece at its new size.
        if (!sameSize && menu) menu->DrawTransparent(FALSE);
        moved = true;
    });
    return moved;
}

bool CToolFont::PlaceSlider(CSliderCustom* slider, int x, int& width, int sliderWidth) {
    bool moved = false;
    GuardOperation(3511, [&] {
        width = sliderWidth > 0 ? sliderWidth : m_sliderWidth;
        CRect rect;
        slider->GetWindowRect(&rect);
        ScreenToClient(&rect);
        const bool samePlace = rect.left == x && rect.top == kControlTop;
        const bool sameSize = rect.Width() == width && rect.Height() == kControlHeight;
        if (samePlace && sameSize) return;
        UINT flags = SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE;
        if (samePlace) flags |= SWP_NOMOVE;
        if (sameSize) flags |= SWP_NOSIZE;
        slider->SetWindowPos(nullptr, x, kControlTop, width, kControlHeight, flags);
        slider->FreeBackground();
        moved = true;
    });
    return moved;
}

// ---- side, boundary and page ----

void CToolFont::LayoutForSide(ViewObject* object) {
    GuardOperation(3512, [&] {
        (void)object;
        CWnd* hidden[] = {&m_fontName,           &m_fontSize,        &m_menuAspect,   &m_btnBringToFront,
                          &m_btnSetAsBackground, &m_menuAngle,       &m_menuWrapping, &m_menuLinking,
                          &m_menuNumbersTimes,   &m_menuTrackLayout, &m_sliderHue,    &m_sliderSaturation,
                          &m_sliderLightness};
        bool changed = false;
        for (CWnd* w : hidden) ShowControl(*w, false);

        BarCanvas* canvas = GetBarCanvas();
        KorvanelleDocument* design = canvas ? canvas->GetDesign() : nullptr;
        ViewObject* side = design ? design->GetCurrentSide() : nullptr;
        const bool offerDimensions = !(side && side->IsDisc() && design->IsLightScribeTemplate());
        const bool offerDisc = side && (side->name == "Disc 1" || side->name == "Disc 2");

        changed |= ShowControl(m_btnChangeTemplate, true);
        changed |= ShowControl(m_btnEditDimensions, offerDimensions);
        changed |= ShowControl(m_menuTextMargin, offerDisc);
        changed |= ShowControl(m_menuDiscPosition, offerDisc);

        if (offerDisc) {
            const bool inches = g_units == "Inches";
            if (MarginListNeedsRebuild(inches, m_menuTextMargin.GetCurrentText()))
                m_menuTextMargin.SetItems(inches ? OptionLists::kMarginInches
                                                 : OptionLists::kMarginMillimetres);
            if (const UINT margin = MarginCommandForValue(side->textMargin))
                m_menuTextMargin.SetCurrentItemById(margin);

            m_menuDiscPosition.SetItems(design->IsDiscCentered() ? OptionLists::kDiscPositionCentred
                                                                 : OptionLists::kDiscPosition);
            m_menuDiscPosition.SetCurrentItemById(DiscPositionCommandForLayout(design->GetDiscLayout()));
        }

        int widths[4] = {0, 0, 0, 0};
        int x = 0;
        changed |= PlaceControl(&m_btnChangeTemplate, x, widths[0]);
        x = widths[0] + kGap;
        if (offerDimensions) {
            changed |= PlaceControl(&m_btnEditDimensions, x, widths[1]);
            x += widths[1] + kGap;
        }
        if (offerDisc) {
            changed |= PlaceControl(&m_menuTextMargin, x, widths[2]);
            x += widths[2] + kGap;
            changed |= PlaceControl(&m_menuDiscPosition, x, widths[3]);
        }

        if (!changed) return;
        const int count = 2 + (offerDimensions ? 2 : 0) + (offerDisc ? 4 : 0);
        SetButtons(nullptr, count);
        int index = 0;
        SetSeparator(*this, index++, ID_FORMAT_CHANGE_TEMPLATE, widths[0]);
        if (offerDimensions) {
            SetSeparator(*this, index++, 0, -1);
            SetSeparator(*this, index++, ID_FORMAT_EDIT_DIMENSIONS, widths[1]);
        }
        if (offerDisc) {
            SetSeparator(*this, index++, 0, -1);
            SetSeparator(*this, index++, ID_FORMAT_TEXT_MARGIN, widths[2]);
            SetSeparator(*this, index++, 0, -1);
            SetSeparator(*this, index++, ID_FORMAT_DISC_POSITION, widths[3]);
        }
        SetButtonInfo(index, ID_BAR_PLACEHOLDER, TBBS_BUTTON, -1);
        SetSizes(CSize(8, 25), CSize(1, 1));
        m_bLayoutSettled = 0;
        SetTimer(kDeferredShowTimer, 7);
    });
}

// ---- image ----

void CToolFont::LayoutForImage(ViewObject* object) {
    GuardOperation(3513, [&] {
        CWnd* hidden[] = {&m_fontName,          &m_fontSize,         &m_btnChangeTemplate,
                          &m_btnEditDimensions, &m_menuDiscPosition, &m_menuTextMargin,
                          &m_menuAngle,         &m_menuWrapping,     &m_menuLinking,
                          &m_menuNumbersTimes,  &m_menuTrackLayout};
        for (CWnd* w : hidden) ShowControl(*w, false);
        bool changed = false;
        CWnd* shown[] = {&m_menuAspect, &m_btnBringToFront,  &m_btnSetAsBackground,
                         &m_sliderHue,  &m_sliderSaturation, &m_sliderLightness};
        for (CWnd* w : shown) changed |= ShowControl(*w, true);

        m_menuAspect.SetCurrentItemById(object->bAspectRatio ? ID_LOCK_ASPECT_RATIO : ID_UNLOCK_ASPECT_RATIO);
        if (m_sliderHue.GetPos() != object->hue) m_sliderHue.SetPos(object->hue);
        if (m_sliderSaturation.GetPos() != object->saturation) m_sliderSaturation.SetPos(object->saturation);
        if (m_sliderLightness.GetPos() != object->lightness) m_sliderLightness.SetPos(object->lightness);

        int widths[3] = {0, 0, 0};
        int x = 0;
        changed |= PlaceControl(&m_btnSetAsBackground, x, widths[0]);
        x += widths[0] + kGap;
        changed |= PlaceControl(&m_btnBringToFront, x, widths[1]);
        x += widths[1] + kGap;
        changed |= PlaceControl(&m_menuAspect, x, widths[2]);
        x += widths[2] + kGap;

        int s = m_sliderWidth;
        const int limit = FrameRightEdge() - 2;
        if (x + 3 * (s + kGap) > limit) {
            s = (limit - x - 24) / 3;
            if (s < kMinimumSliderWidth) s = kMinimumSliderWidth;
        }
        int placed = 0;
        changed |= PlaceSlider(&m_sliderHue, x, placed, s);
        changed |= PlaceSlider(&m_sliderSaturation, x + s + kGap, placed, s);
        changed |= PlaceSlider(&m_sliderLightness, x + 2 * (s + kGap), placed, s);

        if (!changed) return;
        SetButtons(nullptr, 12);
        SetSeparator(*this, 0, ID_IMAGE_SET_AS_BACKGROUND, widths[0]);
        SetSeparator(*this, 1, 0, -1);
        SetSeparator(*this, 2, ID_IMAGE_BRING_TO_FRONT, widths[1]);
        SetSeparator(*this, 3, 0, -1);
        SetSeparator(*this, 4, ID_IMAGE_ASPECT, widths[2]);
        SetSeparator(*this, 5, 0, -1);
        SetSeparator(*this, 6, ID_FORMAT_HUE, s);
        SetSeparator(*this, 7, 0, -1);
        SetSeparator(*this, 8, ID_FORMAT_SATURATION, s);
        SetSeparator(*this, 9, 0, -1);
        SetSeparator(*this, 10, ID_FORMAT_LIGHTNESS, s - 5);
        SetButtonInfo(11, ID_BAR_PLACEHOLDER, TBBS_BUTTON, -1);
        SetSizes(CSize(8, 25), CSize(1, 1));
        m_bLayoutSettled = 0;
        SetTimer(kDeferredShowTimer, 7);
    });
}

// ---- texts and track lists ----

bool CToolFont::RestoreCaption(CButtonMenu& button) {
    if (button.m_bShowCaption) return false;
    button.m_bShowCaption = 1;
    button.SetRedraw(FALSE);
    button.SetCurrentItem(button.m_currentItem);
    button.SetRedraw(TRUE);
    return true;
}

void CToolFont::SwitchCaptionOff(CButtonMenu& button) {
    button.m_bShowCaption = 0;
    button.SetRedraw(FALSE);
    button.SetCurrentItem(button.m_currentItem);
    button.SetRedraw(TRUE);
}

bool CToolFont::PlaceOptionRow(CButtonMenu* const* buttons, int count, int x, int* widths) {
    bool changed = false;
    int starts[8] = {};
    int end = x;
    for (int i = 0; i < count; ++i) {
        starts[i] = end;
        changed |= PlaceControl(buttons[i], end, widths[i]);
        end += widths[i] + kGap;
    }
    const int limit = FrameRightEdge();
    int next = count - 1;
    while (end + 5 > limit && next >= 0) {
        // Captions go off one button at a time from the right.
        while (next >= 0 && !buttons[next]->m_bShowCaption) --next;
        if (next < 0) break;
        SwitchCaptionOff(*buttons[next]);
        changed = true;
        end = starts[next];
        for (int i = next; i < count; ++i) {
            starts[i] = end;
            changed |= PlaceControl(buttons[i], end, widths[i]);
            end += widths[i] + kGap;
        }
        --next;
    }
    return changed;
}

void CToolFont::SetFormatButtons(ViewObject* object) {
    SetButtonInfo(kAlignLeftIndex, ID_FORMAT_ALIGN_LEFT, TBBS_BUTTON, object->alignment == "Left" ? 9 : 6);
    SetButtonInfo(kAlignLeftIndex + 1, ID_FORMAT_ALIGN_CENTER, TBBS_BUTTON,
                  object->alignment == "Center" ? 10 : 7);
    SetButtonInfo(kAlignLeftIndex + 2, ID_FORMAT_ALIGN_RIGHT, TBBS_BUTTON,
                  object->alignment == "Right" ? 11 : 8);
    SetSeparator(*this, 0, ID_FORMAT_FONT_NAME, 150);
    SetSeparator(*this, 1, 0, -1);
    SetSeparator(*this, 2, ID_FORMAT_FONT_SIZE, 102);
    SetSeparator(*this, 3, 0, -1);
    SetSeparator(*this, 7, 0, -1);
    SetSeparator(*this, 11, 0, -1);
}

void CToolFont::ShowFontSizeOf(const ViewObject* object) {
    if (BarCanvas* canvas = GetBarCanvas()) canvas->ShowFontSize();
    // AutoFit chooses the size when the text is laid out, which may come after this: an undo
    // lays the text out again only as it redraws. The box shows the size once more when the
    // loop is free, as after AutoFit is chosen in it.
    if (object->bAutoFit > 0 && m_fontSize.m_hWnd) m_fontSize.SetTimer(CComboFontSize::kAutoFitTimer, 0);
}

void CToolFont::LayoutForText(ViewObject* object) {
    const CRedrawHold pause(*this);
    GuardOperation(3514, [&] {
        CWnd* hidden[] = {&m_menuAspect,        &m_btnBringToFront,   &m_btnSetAsBackground,
                          &m_btnChangeTemplate, &m_btnEditDimensions, &m_menuDiscPosition,
                          &m_menuTextMargin,    &m_menuNumbersTimes,  &m_sliderHue,
                          &m_sliderSaturation,  &m_sliderLightness};
        for (CWnd* w : hidden) ShowControl(*w, false);
        bool changed = ShowControl(m_menuTrackLayout, false);
        CWnd* shown[] = {&m_fontName, &m_fontSize, &m_menuAngle, &m_menuWrapping};
        for (CWnd* w : shown) changed |= ShowControl(*w, true);
        // Linking is offered only for a text linked to an album field. (Shown and hidden again,
        // it counted as a change: every refresh for a free text built the bar anew.)
        const bool linkable = !object->IsFreeText();
        changed |= ShowControl(m_menuLinking, linkable);

        if (object->angle != m_menuAngle.GetCurrentText()) m_menuAngle.SetCurrentItemByText(object->angle);
        if (m_menuWrapping.GetItemCount() != 3) m_menuWrapping.SetItems(OptionLists::kWrapText);
        const CString wrap = WrapOptionText(object->wrapStyle);
        if (wrap != m_menuWrapping.GetCurrentText()) m_menuWrapping.SetCurrentItemByText(wrap);

        if (linkable) {
            if (m_menuLinking.GetCurrentText() != "Text Linking On")
                m_menuLinking.SetItems(OptionLists::kLinking);
            m_menuLinking.SetCurrentItemById(object->bLinkText ? ID_TEXT_LINKING_ON : ID_TEXT_LINKING_OFF);
        }

        if (changed) SetButtons(nullptr, linkable ? 18 : 16);
        ShowFontSizeOf(object);
        SetFormatButtons(object);
        if (changed) SetSizes(CSize(26, 25), CSize(19, 19));

        changed |= RestoreCaption(m_menuAngle);
        changed |= RestoreCaption(m_menuWrapping);
        if (linkable) changed |= RestoreCaption(m_menuLinking);

        CRect item;
        GetItemRect(11, &item);
        CButtonMenu* row[3] = {&m_menuAngle, &m_menuWrapping, &m_menuLinking};
        int widths[3] = {0, 0, 0};
        changed |= PlaceOptionRow(row, linkable ? 3 : 2, item.right, widths);

        if (!changed) return;
        SetSeparator(*this, 12, ID_FORMAT_ANGLE, widths[0]);
        SetSeparator(*this, 13, 0, -1);
        if (linkable) {
            SetSeparator(*this, 14, ID_FORMAT_WRAPPING, widths[1]);
            SetSeparator(*this, 15, 0, -1);
            SetSeparator(*this, 16, ID_FORMAT_LINKING, widths[2] - 23);
            SetButtonInfo(17, ID_BAR_PLACEHOLDER, TBBS_BUTTON, -1);
        } else {
            SetSeparator(*this, 14, ID_FORMAT_WRAPPING, widths[1] - 23);
            SetButtonInfo(15, ID_BAR_PLACEHOLDER, TBBS_BUTTON, -1);
        }
        SetSizes(CSize(26, 25), CSize(19, 19));
        m_bLayoutSettled = 0;
        SetTimer(kDeferredShowTimer, 7);
    });
}

void CToolFont::LayoutForTrackList(ViewObject* object) {
    const CRedrawHold pause(*this);
    GuardOperation(3515, [&] {
        CWnd* hidden[] = {&m_menuAspect,        &m_btnBringToFront,   &m_btnSetAsBackground,
                          &m_btnChangeTemplate, &m_btnEditDimensions, &m_menuDiscPosition,
                          &m_menuTextMargin,    &m_sliderHue,         &m_sliderSaturation,
                          &m_sliderLightness};
        for (CWnd* w : hidden) ShowControl(*w, false);
        bool changed = false;
        CWnd* shown[] = {&m_fontName,    &m_fontSize,         &m_menuAngle,      &m_menuWrapping,
                         &m_menuLinking, &m_menuNumbersTimes, &m_menuTrackLayout};
        for (CWnd* w : shown) changed |= ShowControl(*w, true);

        if (object->angle != m_menuAngle.GetCurrentText()) m_menuAngle.SetCurrentItemByText(object->angle);
        const bool table = object->textLayout == "Table Format";
        if (m_menuWrapping.GetItemCount() != (table ? 3 : 4))
            m_menuWrapping.SetItems(table ? OptionLists::kWrapText : OptionLists::kWrapTracks);
        const CString wrap = WrapOptionText(object->wrapStyle);
        if (wrap != m_menuWrapping.GetCurrentText()) m_menuWrapping.SetCurrentItemByText(wrap);

        if (m_menuLinking.GetCurrentText() != "Text Linking On")
            m_menuLinking.SetItems(OptionLists::kLinking);
        m_menuLinking.SetCurrentItemById(object->bLinkText ? ID_TEXT_LINKING_ON : ID_TEXT_LINKING_OFF);

        if (object->trackNumbers != m_menuNumbersTimes.GetCurrentText())
            m_menuNumbersTimes.SetCurrentItemByText(object->trackNumbers);

        const OptionList& layouts =
            object->side == 1 ? OptionLists::kTrackLayoutDisc : OptionLists::kTrackLayoutCover;
        if (m_menuTrackLayout.GetItemCount() != layouts.count) m_menuTrackLayout.SetItems(layouts);
        if (object->textLayout != m_menuTrackLayout.GetCurrentText())
            m_menuTrackLayout.SetCurrentItemByText(object->textLayout);

        if (changed) SetButtons(nullptr, 22);
        ShowFontSizeOf(object);
        SetFormatButtons(object);
        if (changed) SetSizes(CSize(26, 25), CSize(19, 19));

        CButtonMenu* row[5] = {&m_menuAngle, &m_menuWrapping, &m_menuLinking, &m_menuNumbersTimes,
                               &m_menuTrackLayout};
        for (CButtonMenu* button : row) changed |= RestoreCaption(*button);

        CRect item;
        GetItemRect(11, &item);
        int widths[5] = {0, 0, 0, 0, 0};
        changed |= PlaceOptionRow(row, 5, item.right, widths);

        if (!changed) return;
        SetSeparator(*this, 12, ID_FORMAT_ANGLE, widths[0]);
        SetSeparator(*this, 13, 0, -1);
        SetSeparator(*this, 14, ID_FORMAT_WRAPPING, widths[1]);
        SetSeparator(*this, 15, 0, -1);
        SetSeparator(*this, 16, ID_FORMAT_LINKING, widths[2]);
        SetSeparator(*this, 17, 0, -1);
        SetSeparator(*this, 18, ID_FORMAT_NUMBERS_TIMES, widths[3]);
        SetSeparator(*this, 19, 0, -1);
        SetSeparator(*this, 20, ID_FORMAT_TRACK_LAYOUT, widths[4] - 23);
        SetButtonInfo(21, ID_BAR_PLACEHOLDER, TBBS_BUTTON, -1);
        SetSizes(CSize(26, 25), CSize(19, 19));
        m_bLayoutSettled = 0;
        SetTimer(kDeferredShowTimer, 7);
    });
}
