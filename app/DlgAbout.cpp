// The About box.
#include "app/DlgAbout.h"

#include "controls/ThemeResources.h"
#include "model/Folders.h"
#include "res/AppDialogsIds.h"

const char* const kProductWebAddress = "www.korvanelle.example";

namespace {

// The schema the program writes its designs with; the version shown is made from it.
const int kDocumentSchema = 507;

}  // namespace

CString MakeVersionText(int schema) {
    CString digits;
    digits.Format("%d", schema);
    if (digits.GetLength() < 3) return digits;
    // The first two digits, "0 (Build ", the last digit, ")"; then a point after the first.
    CString text = digits.Left(2) + "0 (Build " + digits.Right(1) + ")";
    return text.Left(1) + "." + text.Mid(1);
}

DlgAbout::DlgAbout(CWnd* parent) : AeroDialog(kTemplateId, parent) {}

BOOL DlgAbout::OnInitDialog() {
    GuardOperation(197, [&] {
        AeroDialog::OnInitDialog();
        SetWindowText("About Korvanelle");

        m_link.SubclassDlgItem(IDC_ABOUT_LINK, this);
        m_link.GenerateBackground(6, 8, 10, 0, 0);
        m_link.SetURL(g_programFolder + "\\website.url");
        m_link.SetTooltipText(kProductWebAddress);
        m_link.SetWindowText(CString("  ") + kProductWebAddress);
        // The shared application icon is already at the system's large-icon size.
        m_link.SetIcon(g_appIconLarge, nullptr);

        m_ok.SubclassDlgItem(IDOK, this);
        m_ok.GenerateBackground(6, 8, 10, 0, 0);

        // "\x99" is the trade-mark sign of the program's code page.
        const CString title =
            CString("Korvanelle CD, DVD and Blu-ray Labels\x99 ") + MakeVersionText(kDocumentSchema);
        m_title.m_text = title;
        m_notice.m_text = "Copyright \xA9 2026 the Korvanelle developers. All rights reserved.";
        for (AeroLabel* label : {&m_title, &m_notice, &m_text}) label->m_fixedSize = 1;
        m_title.SubclassDlgItem(IDC_ABOUT_TITLE, this);
        m_notice.SubclassDlgItem(IDC_ABOUT_NOTICE, this);
        m_text.SubclassDlgItem(IDC_ABOUT_TEXT, this);
    });
    return TRUE;
}
