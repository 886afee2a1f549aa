// DlgReadCDSettings: the lookup's "Advanced Settings" - the disc-database server, the path of the
// CD player's CDPlayer.ini and whether MP3 tags name the tracks. OK stores the server as the
// current server and in the server setting; the path check switches the CDPlayer.ini source off
// when the file cannot be read. "Get Server List" asks the default server for its list of
// servers.
#pragma once

#include "controls/AeroButton.h"
#include "controls/AeroCheck.h"
#include "controls/AeroComboBox.h"
#include "controls/AeroDialog.h"
#include "controls/AeroLabel.h"
#include "controls/AeroStatics.h"
#include "disc/CDDB.h"

class DlgReadCDSettings : public AeroDialog {
public:
    explicit DlgReadCDSettings(CWnd* parent);
    ~DlgReadCDSettings() override;

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnGetServerList();
    void OnBrowse();
    void OnUseId3();
    void OnHelpButton();
    BOOL OnHelpInfo(HELPINFO* info);
    void OnTimer(UINT_PTR id);
    void OnDestroy();

    // The combo box's entries: one per server of the list (its host), selecting the current
    // server's entry (the first one when none begins with its host).
    void FillServerCombo(bool withDescriptions);

    // The server asked for the list of servers (the default server).
    CCDDBSite m_listServer;

    CEdit m_pathEdit;
    AeroComboBox m_server;
    CString m_dots;
    CString m_lastStatus;
    AeroButton m_ok;
    AeroButton m_cancel;
    AeroButton m_help;
    AeroButton m_getServers;
    AeroButton m_browse;
    AeroGroupBox m_freedbGroup;
    AeroGroupBox m_cdPlayerGroup;
    AeroGroupBox m_mp3Group;
    AeroCheck m_useId3;
    AeroLabel m_serverLabel;
    AeroLabel m_pathLabel;

    DECLARE_MESSAGE_MAP()

private:
    bool m_fetching = false;
};
