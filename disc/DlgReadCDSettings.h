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
#include "disc/ServerList.h"

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
    // The fetch has ended: its list (or its failure) is taken on the user-interface thread.
    LRESULT OnServerListDone(WPARAM, LPARAM);

    // The combo box's entries: one per server of m_sites (its host), selecting the current
    // server's entry (the first one when none begins with its host).
    void FillServerCombo(bool withDescriptions);
    // A server-list fetch of this dialog is under way.
    bool IsFetching() const { return m_fetch != nullptr; }

    // The servers the combo box shows, entry by entry: OK takes the chosen one from here, so a
    // list that arrives later (or another dialog's) cannot change what the choice means.
    std::vector<CCDDBSite> m_sites;

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
    void EndFetch();
    // The dialog's fetch (one at a time; the dialog holds a reference while it runs).
    ServerListFetch* m_fetch = nullptr;
};
