// CToolFont: what the formatting bar's buttons, option buttons and colour sliders do.
#include "bars/ToolFont.h"

#include "bars/BarCanvas.h"
#include "bars/OptionItems.h"
#include "model/KorvanelleDocument.h"
#include "res/CommandIds.h"

namespace {

// Scroll codes of the sliders beyond the standard ones.
const UINT kCodePress = 0x201;
const UINT kCodeRelease = 0x202;

void FocusView(BarCanvas* canvas) {
    if (HWND view = canvas ? canvas->GetViewWindow() : nullptr) ::SetFocus(view);
}

ViewObject* FirstSelected(BarCanvas* canvas) {
    KorvanelleDocument* design = canvas ? canvas->GetDesign() : nullptr;
    return design ? design->GetFirstSelected() : nullptr;
}

}  // namespace

template <class Fn>
void CToolFont::InStep(Fn change) {
    BarCanvas* canvas = GetBarCanvas();
    if (!canvas) return;
    canvas->BeginUndoStep();
    change(canvas);
    canvas->EndUndoStep();
}

// ---- slider rules ----

int CToolFont::SnapSliderPosition(int position) {
    return position >= -3 && position <= 3 ? 0 : position;
}

int CToolFont::ClampSliderPosition(int position, int minimum, int maximum, bool* clamped) {
    int result = position;
    if (result > maximum) result = maximum;
    if (result < minimum) result = minimum;
    if (clamped) *clamped = result != position;
    return result;
}

CString CToolFont::ClampedValueText(int value, const CString& typedText) {
    CString text;
    const bool plus = typedText.GetLength() > 0 && typedText[0] == '+' && value > 0;
    text.Format(plus ? "+%d" : "%d", value);
    return text;
}

// ---- the style and alignment buttons ----

void CToolFont::PressFormatButton(CPoint point) {
    BarCanvas* canvas = GetBarCanvas();
    if (!canvas) return;
    int hit = -1;
    for (int i = kBoldIndex; i <= kAlignLeftIndex + 3 && i < GetToolBarCtrl().GetButtonCount(); ++i) {
        CRect item;
        GetItemRect(i, &item);
        if (item.PtInRect(point)) {
            hit = i;
            break;
        }
    }
    // Only the text layouts have the style and alignment buttons at these places; in the side
    // and image layouts the same items are gaps or other controls, and a press there changes
    // nothing (no undo step, Redo kept, the design not marked modified).
    ViewObject* selected = FirstSelected(canvas);
    if (!selected || !(selected->IsText() || selected->IsTrackList())) hit = -1;
    if (hit >= 0) {
        UINT id = 0, style = 0;
        int image = 0;
        GetButtonInfo(hit, id, style, image);
        const UINT expected = hit <= kUnderlineIndex ? ID_FORMAT_BOLD + (hit - kBoldIndex)
                                                     : ID_FORMAT_ALIGN_LEFT + (hit - kAlignLeftIndex);
        if ((style & TBBS_SEPARATOR) != 0 || id != expected) hit = -1;
    }
    switch (hit) {
        case kBoldIndex:
        case kItalicIndex:
        case kUnderlineIndex: {
            const bool underline = hit == kUnderlineIndex;
            canvas->BeginUndoStep();
            canvas->RecordUndoValue(underline ? "prevUnderline" : "prevFont");
            if (hit == kBoldIndex)
                canvas->OnBold();
            else if (hit == kItalicIndex)
                canvas->OnItalic();
            else
                canvas->OnUnderline();
            canvas->UpdateTextLayout(false, true);
            canvas->RecordUndoValue(underline ? "nextUnderline" : "nextFont");
            canvas->EndUndoStep();
            // The button shows the new state at once, so that the next press turns it back.
            canvas->ShowFontSize();
            break;
        }
        case kAlignLeftIndex:
        case kAlignLeftIndex + 1:
        case kAlignLeftIndex + 2: {
            // The alignment the text already has: no step that changes nothing.
            static const char* const kAlignments[3] = {"Left", "Center", "Right"};
            if (selected->alignment == kAlignments[hit - kAlignLeftIndex]) break;
            canvas->BeginUndoStep();
            if (hit == kAlignLeftIndex)
                canvas->OnAlignLeft(true);
            else if (hit == kAlignLeftIndex + 1)
                canvas->OnAlignCenter(true);
            else
                canvas->OnAlignRight(true);
            canvas->UpdateTextLayout(false, true);
            canvas->EndUndoStep();
            break;
        }
        default:
            break;
    }
    FocusView(canvas);
}

void CToolFont::OnLButtonDown(UINT flags, CPoint point) {
    GuardOperation(3516, [&] {
        PressFormatButton(point);
        CToolBar::OnLButtonDown(flags, point);
    });
}

void CToolFont::OnLButtonDblClk(UINT flags, CPoint point) {
    // A second click that arrives as a double click counts as another press.
    GuardOperation(3517, [&] {
        PressFormatButton(point);
        CToolBar::OnLButtonDblClk(flags, point);
    });
}

void CToolFont::OnUpdateAlwaysEnabled(CCmdUI*) {
    // The style and alignment buttons have no command handler; this keeps them enabled.
}

// ---- commands of the plain and option buttons ----

void CToolFont::OnBringToFront() {
    GuardOperation(3518, [&] {
        InStep([&](BarCanvas* canvas) {
            canvas->RecordUndoValue("prevOrder");
            canvas->BringImageToFront(FirstSelected(canvas));
            canvas->RedrawNow();
            FocusView(canvas);
            canvas->RecordUndoValue("nextOrder");
        });
    });
}

void CToolFont::OnSetAsBackground() {
    GuardOperation(3519, [&] {
        InStep([&](BarCanvas* canvas) {
            canvas->RecordUndoValue("prevOrder");
            canvas->SetAsBackground(FirstSelected(canvas), false, true);
            canvas->RecordUndoValue("nextOrder");
        });
    });
}

void CToolFont::OnAspect(UINT) {
    GuardOperation(3536, [&] {
        InStep([&](BarCanvas* canvas) {
            canvas->SetImageSize(m_menuAspect.GetCurrentId() == ID_LOCK_ASPECT_RATIO, true);
        });
    });
}

void CToolFont::OnChangeLabelTemplate() {
    GuardOperation(3537, [&] {
        if (BarCanvas* canvas = GetBarCanvas()) canvas->OnChangeLabelTemplate();
    });
}

void CToolFont::OnEditDimensions() {
    GuardOperation(3538, [&] {
        BarCanvas* canvas = GetBarCanvas();
        KorvanelleDocument* design = canvas ? canvas->GetDesign() : nullptr;
        if (!design) return;
        const int side = design->GetCurrentSideIndex();
        canvas->ShowLabelAlignment(side == 1 ? design->discTemplateName : design->coverTemplateName, side,
                                   false);
    });
}

void CToolFont::OnTextMargin(UINT) {
    GuardOperation(3539, [&] {
        InStep([&](BarCanvas* canvas) {
            canvas->SetTextMargin(MarginValueForCommand(m_menuTextMargin.GetCurrentId()), true);
        });
    });
}

void CToolFont::OnDiscPosition(UINT) {
    GuardOperation(3562, [&] {
        BarCanvas* canvas = GetBarCanvas();
        const int layout = DiscLayoutForCommand(m_menuDiscPosition.GetCurrentId());
        if (canvas && layout >= 0) canvas->SetDiscLayout(layout);
    });
}

void CToolFont::OnAngle(UINT) {
    GuardOperation(3563, [&] {
        InStep([&](BarCanvas* canvas) {
            canvas->SetAngle(m_menuAngle.GetCurrentText());
            canvas->UpdateTextLayout(false, true);
            FocusView(canvas);
        });
        UpdateFromSelection(nullptr);
    });
}

void CToolFont::OnTrackLayout(UINT) {
    GuardOperation(3564, [&] {
        InStep([&](BarCanvas* canvas) { canvas->SetTrackLayout(m_menuTrackLayout.GetCurrentText(), true); });
        UpdateFromSelection(nullptr);
    });
}

void CToolFont::OnNumbersTimes(UINT) {
    GuardOperation(3565, [&] {
        InStep([&](BarCanvas* canvas) {
            canvas->SetTrackNumbers(m_menuNumbersTimes.GetCurrentText());
            canvas->UpdateTextLayout(false, true);
            FocusView(canvas);
        });
        UpdateFromSelection(nullptr);
    });
}

void CToolFont::OnWrapping(UINT) {
    GuardOperation(3566, [&] {
        InStep([&](BarCanvas* canvas) {
            canvas->SetWrapStyle(m_menuWrapping.GetCurrentText());
            canvas->UpdateTextLayout(false, true);
            FocusView(canvas);
        });
        UpdateFromSelection(nullptr);
    });
}

void CToolFont::OnLinking(UINT) {
    GuardOperation(3567, [&] {
        InStep([&](BarCanvas* canvas) {
            canvas->SetLinkText(m_menuLinking.GetCurrentId() == ID_TEXT_LINKING_ON, true);
        });
        UpdateFromSelection(nullptr);
    });
}

// ---- the colour sliders ----

void CToolFont::OnHScroll(UINT code, UINT position, CScrollBar* scrollBar) {
    GuardOperation(3568, [&] {
        CSliderCustom* slider =
            dynamic_cast<CSliderCustom*>(CWnd::FromHandlePermanent(scrollBar->GetSafeHwnd()));
        const int pos = static_cast<short>(position);
        switch (code) {
            case TB_THUMBPOSITION:
            case TB_THUMBTRACK:
            case TB_ENDTRACK:
            case kCodePress:
            case kCodeRelease:
                OnSliderChange(slider, pos, code);
                return;
            case TB_LINEUP:
            case TB_LINEDOWN:
            case TB_PAGEUP:
            case TB_PAGEDOWN:
            case TB_TOP:
            case TB_BOTTOM: {
                // A key moves the slider by itself: one closed step per keyboard action.
                BarCanvas* canvas = GetBarCanvas();
                const bool ownStep = canvas && !canvas->IsUndoStepOpen();
                if (ownStep) {
                    canvas->BeginUndoStep();
                    canvas->RecordUndoValue("prevHSL");
                }
                if (slider) OnSliderChange(slider, slider->GetPos(), code);
                if (canvas && slider) {
                    canvas->SetImageHsl(m_sliderHue.GetPos(), m_sliderSaturation.GetPos(),
                                        m_sliderLightness.GetPos(), false);
                }
                if (ownStep) {
                    canvas->RecordUndoValue("nextHSL");
                    canvas->EndUndoStep();
                }
                Default();
                return;
            }
            default:
                Default();
                return;
        }
    });
}

void CToolFont::OnSliderChange(CSliderCustom* slider, int position, UINT code) {
    GuardOperation(3569, [&] {
        BarCanvas* canvas = GetBarCanvas();
        if (code == kCodePress) {
            if (canvas) {
                canvas->BeginUndoStep();
                canvas->RecordUndoValue("prevHSL");
            }
            m_sliderPressPos = position;
            return;
        }
        if (code == kCodeRelease) {
            if (canvas) {
                if (position == m_sliderPressPos) {
                    // A press and release without a move leaves the undo list as it was.
                    canvas->DiscardUndoStep();
                } else {
                    canvas->RecordUndoValue("nextHSL");
                    canvas->EndUndoStep();
                }
            }
            if (slider) slider->FocusEdit();
        }
        if (!slider ||
            (slider != &m_sliderHue && slider != &m_sliderSaturation && slider != &m_sliderLightness))
            return;
        bool clamped = false;
        const int value =
            ClampSliderPosition(position, slider->GetRangeMin(), slider->GetRangeMax(), &clamped);
        if (code == TB_THUMBTRACK) {
            slider->m_bKeepEditText = false;
            if (SnapSliderPosition(value) != value) {
                slider->SetEditText("0");
                if (slider->GetPos() != 0) slider->SetPos(0);
            }
            slider->FocusEdit();
            const int length = slider->GetEditText().GetLength();
            slider->SetEditSel(length, length);
        } else if (code == TB_THUMBPOSITION) {
            slider->m_bKeepEditText = true;
            int start = 0, end = 0;
            slider->GetEditSel(start, end);
            if (clamped) slider->SetEditText(ClampedValueText(value, slider->GetEditText()));
            if (slider->GetPos() != value) {
                slider->SetRedraw(FALSE);
                slider->SetPos(value);
                slider->SetRedraw(TRUE);
                slider->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            }
            slider->SetEditSel(start, end);
        } else {
            return;
        }
        if (canvas)
            canvas->SetImageHsl(m_sliderHue.GetPos(), m_sliderSaturation.GetPos(), m_sliderLightness.GetPos(),
                                slider->m_bKeepEditText);
    });
}
