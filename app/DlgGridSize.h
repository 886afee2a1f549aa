// DlgGridSize: the Grid Size dialog (the view's Grid Size command): the grid's width and height in
// the user's units. The text rules are pure functions so that they can be checked alone.
#pragma once

#include "controls/AeroButton.h"
#include "controls/AeroDialog.h"
#include "controls/AeroLabel.h"
#include "controls/AeroStatics.h"

// A grid step (thousandths of an inch) as the dialog shows it: "0.125 ''" or "3.2 mm".
CString FormatGridEntry(int thousandths, bool millimetres);
// The number at the start of an entry ("3.2 mm" gives 3.2); 0 when there is none.
double ParseGridEntry(const CString& text);
// An entry after the user leaves it: the value kept within 0.03 and 1 inch, shown again.
CString ClampGridEntry(const CString& text, bool millimetres);
// The grid step of an entry in thousandths of an inch, truncated and kept within 30 to 1000.
// "0.700" gives 700; "5" millimetres gives 196.
int GridEntryToThousandths(const CString& text, bool millimetres);

class DlgGridSize : public AeroDialog {
public:
    static constexpr UINT kTemplateId = 284;
    // The result when OK finds the grid unchanged (the view then does nothing).
    static constexpr int kUnchanged = -1;

    explicit DlgGridSize(CWnd* parent = nullptr);

    AeroButton m_ok;
    AeroButton m_cancel;
    AeroLabel m_widthLabel;
    AeroLabel m_heightLabel;
    AeroGroupBox m_group;

    BOOL OnInitDialog() override;
    // Stores g_gridSize and ends with IDOK when it changed, with kUnchanged when not.
    void OnOK() override;
    // Ends with IDCANCEL, as every dialog's Cancel does.
    void OnCancel() override;
    void OnKillFocusWidth();
    void OnKillFocusHeight();

    DECLARE_MESSAGE_MAP()

private:
    void ClampEntry(int id, int errorNumber);

    // The texts the fields were opened with.
    CString m_shownWidth, m_shownHeight;
};
