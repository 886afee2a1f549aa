// The Grid Size dialog and its text rules.
#include "app/DlgGridSize.h"

#include <cmath>
#include <cstdlib>

#include "app/Settings.h"
#include "res/AppDialogsIds.h"

BEGIN_MESSAGE_MAP(DlgGridSize, AeroDialog)
    ON_EN_KILLFOCUS(IDC_GRID_WIDTH, OnKillFocusWidth)
    ON_EN_KILLFOCUS(IDC_GRID_HEIGHT, OnKillFocusHeight)
END_MESSAGE_MAP()

namespace {

const double kMillimetresPerInch = 25.4;

bool UsesMillimetres() {
    return g_units == "Millimeters";
}

}  // namespace

CString FormatGridEntry(int thousandths, bool millimetres) {
    CString text;
    if (millimetres)
        text.Format("%.1f mm", thousandths * 0.0254);
    else
        text.Format("%.3f ''", thousandths / 1000.0);
    return text;
}

double ParseGridEntry(const CString& text) {
    const char* start = text;
    char* end = nullptr;
    const double value = std::strtod(start, &end);
    if (end == start || !std::isfinite(value)) return 0.0;
    return value;
}

CString ClampGridEntry(const CString& text, bool millimetres) {
    double inches = ParseGridEntry(text);
    if (millimetres) inches /= kMillimetresPerInch;
    if (inches > 1.0) inches = 1.0;
    if (inches < 0.03) inches = 0.03;
    CString result;
    if (millimetres)
        result.Format("%.1f mm", inches * kMillimetresPerInch);
    else
        result.Format("%.3f ''", inches);
    return result;
}

int GridEntryToThousandths(const CString& text, bool millimetres) {
    double inches = ParseGridEntry(text);
    if (millimetres) inches /= kMillimetresPerInch;
    // In double precision, and a hair above the value before truncating: 0.7 * 1000 is
    // 699.99999999999989 in binary and must still give 700.
    const double thousandths = inches * 1000.0;
    if (!(thousandths < 1000.0)) return 1000;
    if (!(thousandths > 30.0)) return 30;
    const int n = static_cast<int>(std::floor(thousandths + 1e-6));
    return n < 30 ? 30 : (n > 1000 ? 1000 : n);
}

DlgGridSize::DlgGridSize(CWnd* parent) : AeroDialog(kTemplateId, parent) {}

BOOL DlgGridSize::OnInitDialog() {
    GuardOperation(274, [&] {
        AeroDialog::OnInitDialog();
        m_ok.SubclassDlgItem(IDOK, this);
        m_ok.GenerateBackground(6, 8, 10, 0, 0);
        m_cancel.SubclassDlgItem(IDCANCEL, this);
        m_cancel.GenerateBackground(6, 8, 10, 0, 0);
        m_widthLabel.SubclassDlgItem(IDC_GRID_WIDTH_LABEL, this);
        m_heightLabel.SubclassDlgItem(IDC_GRID_HEIGHT_LABEL, this);
        m_group.SubclassDlgItem(IDC_DLG_GROUP, this);
        const bool mm = UsesMillimetres();
        m_shownWidth = FormatGridEntry(g_gridSize[0], mm);
        m_shownHeight = FormatGridEntry(g_gridSize[1], mm);
        SetDlgItemText(IDC_GRID_WIDTH, m_shownWidth);
        SetDlgItemText(IDC_GRID_HEIGHT, m_shownHeight);
    });
    return TRUE;
}

void DlgGridSize::ClampEntry(int id, int errorNumber) {
    GuardOperation(errorNumber, [&] {
        CString text;
        GetDlgItemText(id, text);
        SetDlgItemText(id, ClampGridEntry(text, UsesMillimetres()));
    });
}

void DlgGridSize::OnKillFocusWidth() {
    ClampEntry(IDC_GRID_WIDTH, 276);
}

void DlgGridSize::OnKillFocusHeight() {
    ClampEntry(IDC_GRID_HEIGHT, 277);
}

void DlgGridSize::OnOK() {
    GuardOperation(275, [&] {
        const bool mm = UsesMillimetres();
        CString width, height;
        GetDlgItemText(IDC_GRID_WIDTH, width);
        GetDlgItemText(IDC_GRID_HEIGHT, height);
        // A field still showing what it was opened with keeps its value: its text is rounded
        // ("2.5 mm" for 100) and would read back as another step.
        const int w = width == m_shownWidth ? g_gridSize[0] : GridEntryToThousandths(width, mm);
        const int h = height == m_shownHeight ? g_gridSize[1] : GridEntryToThousandths(height, mm);
        if (w == g_gridSize[0] && h == g_gridSize[1]) {
            EndDialog(kUnchanged);
            return;
        }
        g_gridSize[0] = w;
        g_gridSize[1] = h;
        EndDialog(IDOK);
    });
}

void DlgGridSize::OnCancel() {
    EndDialog(IDCANCEL);
}
