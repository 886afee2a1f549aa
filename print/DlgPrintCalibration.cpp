// The print dialog in calibration mode: its layout as "Printer Calibration", the calibration
// sheet's page size and the current printer's offsets.
#include <cstdlib>

#include "canvas/View.h"
#include "canvas/ViewSettings.h"
#include "render/CanvasSettings.h"
#include "print/DlgPrint.h"
#include "print/PrinterSetups.h"
#include "res/PrintDialogsIds.h"

namespace {

RECT RectOf(CWnd& dialog, CWnd* control) {
    RECT r = {0, 0, 0, 0};
    if (!control) return r;
    control->GetWindowRect(&r);
    dialog.ScreenToClient(&r);
    return r;
}

void MoveTo(CWnd* control, int x, int y) {
    if (control) control->SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void DlgPrint::LayoutCalibration() {
    GuardOperation(4185, [&] {
        for (UINT id : {IDC_PRINT_TABS, IDC_PRINT_COPIES, IDC_PRINT_COPIES_LABEL, IDC_PRINT_COPIES_SPIN,
                        IDC_PRINT_FRONT, IDC_PRINT_BACK, IDC_PRINT_DISC1, IDC_PRINT_DISC2,
                        IDC_PRINT_COPIES_GROUP, IDC_PRINT_PREVIEW_GROUP, IDC_PRINT_TOTAL})
            if (CWnd* w = GetDlgItem(id)) w->ShowWindow(SW_HIDE);
        for (UINT id :
             {IDC_PRINT_OFFSET_X, IDC_PRINT_OFFSET_Y, IDC_PRINT_X_SPIN, IDC_PRINT_Y_SPIN, IDC_PRINT_X_LABEL,
              IDC_PRINT_Y_LABEL, IDC_PRINT_DIRECTIONS, IDC_PRINT_PAGE_GROUP, IDC_PRINT_PAGE_SIZE})
            if (CWnd* w = GetDlgItem(id)) w->ShowWindow(SW_SHOW);
        PrintOptions& o = g_printOptions;
        o.printFront = 0;
        o.printBack = 0;
        o.printDisc1 = 1;  // the calibration sheet prints as the disc page
        o.printDisc2 = 0;
        SetWindowText("Printer Calibration");
        m_whatGroup.SetWindowText("Printer Offset");

        const bool inches = g_units == "Inches";
        m_pageSize.ResetContent();
        m_pageSize.AddString(inches ? "Letter  (8.5'' x 11'')" : "Letter  (216mm x 279mm)");
        m_pageSize.AddString(inches ? "A4  (8.27'' x 11.69'')" : "A4  (210mm x 297mm)");
        m_pageSize.SetCurSel(g_paperSize == "A4" ? 1 : 0);

        const RECT printer = RectOf(*this, &m_printerGroup), what = RectOf(*this, &m_whatGroup);
        const RECT combo = RectOf(*this, &m_printers);
        const RECT field = RectOf(*this, &m_offsetX), label = RectOf(*this, &m_horizontalLabel);
        const int gap = what.top - printer.bottom;
        const int groupW = printer.right - printer.left, groupH = printer.bottom - printer.top;
        const int fieldW = field.right - field.left, fieldH = field.bottom - field.top;
        const int labelH = label.bottom - label.top;
        const int comboH = combo.bottom - combo.top;
        const int x = combo.left;

        const int pageTop = printer.bottom + gap;
        m_pageSizeGroup.MoveWindow(printer.left, pageTop, groupW, groupH);
        // Room for the list below the field.
        m_pageSize.MoveWindow(x, pageTop + fieldH, (combo.right - combo.left) / 2, comboH + 120);

        const int offsetTop = pageTop + groupH + gap;
        const int offsetH = 3 * labelH + 4 * fieldH;
        m_whatGroup.MoveWindow(printer.left, offsetTop, groupW, offsetH);
        const int horizontalLabelTop = offsetTop + fieldH;
        const int horizontalFieldTop = horizontalLabelTop + labelH + 1;
        MoveTo(&m_horizontalLabel, x, horizontalLabelTop);
        MoveTo(&m_offsetX, x, horizontalFieldTop);
        MoveTo(GetDlgItem(IDC_PRINT_X_SPIN), x + fieldW, horizontalFieldTop);
        MoveTo(&m_directions, x + 3 * fieldW, horizontalFieldTop + labelH);
        const int verticalLabelTop = horizontalFieldTop + fieldH + labelH;
        const int verticalFieldTop = verticalLabelTop + labelH + 1;
        MoveTo(&m_verticalLabel, x, verticalLabelTop);
        MoveTo(&m_offsetY, x, verticalFieldTop);
        MoveTo(GetDlgItem(IDC_PRINT_Y_SPIN), x + fieldW, verticalFieldTop);

        const RECT preview = RectOf(*this, &m_previewButton), print = RectOf(*this, &m_print);
        m_print.SetWindowText("  Print Calibration");
        const int printW = static_cast<int>((print.right - print.left) * 1.6);
        const int previewH = preview.bottom - preview.top;
        m_print.MoveWindow(preview.left - 12 - printW, preview.top, printW, previewH);
        m_print.GenerateBackground(6, 8, 10, 0, 0);
        const int buttonTop = offsetTop + offsetH + 16;
        for (CWnd* button : {static_cast<CWnd*>(&m_print), static_cast<CWnd*>(&m_previewButton),
                             static_cast<CWnd*>(&m_cancel), static_cast<CWnd*>(&m_help)}) {
            const RECT r = RectOf(*this, button);
            MoveTo(button, r.left, buttonTop);
        }
        RECT client = {0, 0, 0, buttonTop + previewH + 16};
        RECT clientNow;
        GetClientRect(&clientNow);
        client.right = clientNow.right;
        ::AdjustWindowRectEx(&client, GetStyle(), FALSE, GetExStyle());
        RECT window;
        GetWindowRect(&window);
        SetWindowPos(nullptr, 0, 0, window.right - window.left, client.bottom - client.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    });
}

bool DlgPrint::FilterOffsetText(CString& text) {
    CString kept;
    for (int i = 0; i < text.GetLength(); ++i)
        if ((text[i] >= '0' && text[i] <= '9') || text[i] == '-') kept += text[i];
    if (kept == text) return false;
    text = kept;
    return true;
}

int DlgPrint::ClampOffsetText(const CString& text) {
    const long n = std::strtol(text, nullptr, 10);
    if (n >= 41) return 40;
    if (n < -40) return -40;
    return static_cast<int>(n);
}

void DlgPrint::FilterOffset(CEdit& field) {
    if (m_rewriteGuard || !field.m_hWnd) return;
    CString text;
    field.GetWindowText(text);
    if (text.IsEmpty() || !FilterOffsetText(text)) return;
    m_rewriteGuard = true;
    field.SetWindowText(text);
    field.SetSel(text.GetLength(), text.GetLength());
    m_rewriteGuard = false;
}

void DlgPrint::ClampOffset(CEdit& field, bool horizontal) {
    if (!field.m_hWnd) return;
    CString text;
    field.GetWindowText(text);
    const int value = ClampOffsetText(text);
    CString shown;
    shown.Format("%d", value);
    m_rewriteGuard = true;
    field.SetWindowText(shown);
    m_rewriteGuard = false;
    if (CPrintDriver* current = PrinterSetups::Get().GetCurrentPrintDriver()) {
        if (horizontal)
            current->m_offsetX = value;
        else
            current->m_offsetY = value;
    }
}

void DlgPrint::OnHorizontalUpdate() {
    GuardOperation(4186, [&] { FilterOffset(m_offsetX); });
}

void DlgPrint::OnVerticalUpdate() {
    GuardOperation(4187, [&] { FilterOffset(m_offsetY); });
}

void DlgPrint::OnHorizontalKillFocus() {
    GuardOperation(4188, [&] { ClampOffset(m_offsetX, true); });
}

void DlgPrint::OnVerticalKillFocus() {
    GuardOperation(4189, [&] { ClampOffset(m_offsetY, false); });
}

void DlgPrint::OnPageSizeChange() {
    GuardOperation(4190, [&] {
        const int i = m_pageSize.GetCurSel();
        if (i < 0) return;
        g_paperSize = i == 1 ? "A4" : "Letter";
    });
}
