// DlgAbout: Help > About: the product's title and version, the maker's notice, a line on what the
// program does, and a link button with the application icon that opens the web site.
#pragma once

#include "controls/AeroButton.h"
#include "controls/AeroDialog.h"
#include "controls/AeroLabel.h"

// The web address on the link button and its tooltip.
extern const char* const kProductWebAddress;

// The version text of a document schema number: 507 gives "5.00 (Build 7)".
CString MakeVersionText(int schema);

class DlgAbout : public AeroDialog {
public:
    static constexpr UINT kTemplateId = 100;

    explicit DlgAbout(CWnd* parent = nullptr);

    AeroButton m_ok;
    AeroLabel m_title;
    AeroLabel m_notice;
    AeroButton m_link;
    AeroLabel m_text;

    BOOL OnInitDialog() override;
};
