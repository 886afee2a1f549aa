// The lookup settings dialog.
#include "disc/DlgReadCDSettings.h"

#include "canvas/View.h"
#include "canvas/ViewHost.h"
#include "controls/AeroMessageBox.h"
#include "disc/ReadCdSources.h"
#include "disc/ServerList.h"
#include "disc/SettingsLookup.h"
#include "framework/win/ScopedGdi.h"
#include "res/ReadCdIds.h"

namespace {
// Posted by the dialog's server-list fetch when it ends.
const UINT WM_SERVER_LIST_DONE = WM_APP + 0x93;
}  // namespace

BEGIN_MESSAGE_MAP(DlgReadCDSettings, AeroDialog)
    ON_BN_CLICKED(IDC_RCDSET_GET_SERVERS, OnGetServerList)
    ON_BN_CLICKED(IDC_RCDSET_BROWSE, OnBrowse)
    ON_BN_CLICKED(IDC_RCDSET_USE_ID3, OnUseId3)
    ON_BN_CLICKED(IDC_RCDSET_HELP, OnHelpButton)
    ON_WM_HELPINFO()
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_SERVER_LIST_DONE, OnServerListDone)
END_MESSAGE_MAP()

namespace {

const int kTitleWidthLimit = 310;

void ShowBox(CWnd* parent, MessageBoxKind icon, const CString& text) {
    AeroMessageBox box(parent);
    box.m_iconKind = icon;
    box.m_caption.Empty();
    box.m_message = text;
    box.AddButton("OK", 1, 1);
    box.DoModal();
}

}  // namespace

DlgReadCDSettings::DlgReadCDSettings(CWnd* parent)
    : AeroDialog(IDD_READCD_SETTINGS, parent), m_listServer(DefaultServerSite()) {}

DlgReadCDSettings::~DlgReadCDSettings() {
    EndFetch();
}

void DlgReadCDSettings::EndFetch() {
    if (!m_fetch) return;
    // A fetch still running finishes into its own object and tells nobody.
    m_fetch->Detach();
    m_fetch->Release();
    m_fetch = nullptr;
}

void DlgReadCDSettings::DoDataExchange(CDataExchange* dx) {
    AeroDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_RCDSET_CDPLAYER_PATH, m_pathEdit);
    DDX_Control(dx, IDC_RCDSET_SERVER, m_server);
}

BOOL DlgReadCDSettings::OnInitDialog() {
    GuardOperation(9210, [&] {
        if (CWnd* parent = GetParent()) {
            CRect owner;
            parent->GetWindowRect(&owner);
            SetWindowPos(nullptr, owner.left + 34, owner.top + 100, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        AeroDialog::OnInitDialog();
        m_ok.SubclassDlgItem(IDOK, this);
        m_cancel.SubclassDlgItem(IDCANCEL, this);
        m_help.SubclassDlgItem(IDC_RCDSET_HELP, this);
        m_getServers.SubclassDlgItem(IDC_RCDSET_GET_SERVERS, this);
        m_browse.SubclassDlgItem(IDC_RCDSET_BROWSE, this);
        for (AeroButton* b : {&m_ok, &m_cancel, &m_help, &m_getServers, &m_browse})
            b->GenerateBackground(6, 8, 10, 0, 0);
        m_freedbGroup.SubclassDlgItem(IDC_RCDSET_FREEDB_GROUP, this);
        m_cdPlayerGroup.SubclassDlgItem(IDC_RCDSET_CDPLAYER_GROUP, this);
        m_mp3Group.SubclassDlgItem(IDC_RCDSET_MP3_GROUP, this);
        m_useId3.SubclassDlgItem(IDC_RCDSET_USE_ID3, this);
        m_serverLabel.SubclassDlgItem(IDC_RCDSET_SERVER_LABEL, this);
        m_pathLabel.SubclassDlgItem(IDC_RCDSET_PATH_LABEL, this);
        m_useId3.SetCheck(g_useMp3Tag ? BST_CHECKED : BST_UNCHECKED);
        m_sites = g_serverSites;
        FillServerCombo(false);
        m_pathEdit.SetWindowText(g_cdPlayerPath);
        m_getServers.SetFocus();
    });
    return FALSE;
}

void DlgReadCDSettings::FillServerCombo(bool withDescriptions) {
    m_server.ResetContent();
    auto entryOf = [&](const CCDDBSite& site) {
        return withDescriptions ? site.m_host + " - " + site.m_description : site.m_host;
    };
    if (m_sites.empty()) {
        m_server.AddString(g_currentServer.m_host);
        m_server.SetCurSel(0);
        return;
    }
    for (const CCDDBSite& site : m_sites) m_server.AddString(entryOf(site));
    const CString wanted = entryOf(g_currentServer);
    const int found = wanted.IsEmpty() ? CB_ERR : m_server.FindString(0, wanted);
    if (found != CB_ERR)
        m_server.SetCurSel(found);
    else
        m_server.SetCurSel(withDescriptions ? -1 : 0);
}

void DlgReadCDSettings::OnUseId3() {
    g_useMp3Tag = m_useId3.GetCheck() == BST_CHECKED ? 1 : 0;
}

void DlgReadCDSettings::OnBrowse() {
    GuardOperation(9211, [&] {
        CString folder;
        if (!g_cdPlayerPath.IsEmpty() && CanOpenForReading(g_cdPlayerPath)) {
            const int slash = g_cdPlayerPath.ReverseFind('\\');
            folder = slash >= 0 ? g_cdPlayerPath.Left(slash) : CString();
        }
        if (folder.IsEmpty()) {
            char windows[MAX_PATH] = {0};
            folder = GetWindowsDirectoryA(windows, MAX_PATH) ? CString(windows) : CString("C:\\Windows");
        }
        CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                           "CDPlayer Files (*.ini)|*.ini|All Files (*.*)|*.*||", this);
        dialog.m_ofn.lpstrTitle = "CDPlayer File";
        dialog.m_ofn.lpstrInitialDir = folder;
        if (dialog.DoModal() != IDOK) return;
        g_cdPlayerPath = dialog.GetPathName();
        m_pathEdit.SetWindowText(g_cdPlayerPath);
    });
}

void DlgReadCDSettings::OnOK() {
    GuardOperation(9212, [&] {
        CString path;
        m_pathEdit.GetWindowText(path);
        if (path != g_cdPlayerPath) g_cdPlayerPath = path;
        if (g_useCdPlayerIni && !CanOpenForReading(g_cdPlayerPath)) {
            ShowBox(this, kBoxWarning, "The selected CDPlayer file does not exist.");
            g_useCdPlayerIni = 0;
        }
        const int chosen = m_server.GetCurSel();
        if (!m_sites.empty() && chosen >= 0 && chosen < (int)m_sites.size()) {
            const CCDDBSite& site = m_sites[chosen];
            g_currentServer.m_host = site.m_host;
            g_currentServer.m_port = site.m_port;
            g_currentServer.m_path = site.m_path;
            g_currentServer.m_description = site.m_description;
        }
        g_freedbServer = BuildServerSetting();
        EndDialog(IDOK);
    });
}

// ---- the server-list fetch ----------------------------------------------------------------------

void DlgReadCDSettings::OnGetServerList() {
    GuardOperation(9213, [&] {
        if (m_fetch) return;  // one fetch at a time
        m_dots.Empty();
        g_serverListStatus = " Retrieving Freedb Server List ";
        m_lastStatus = g_serverListStatus;
        SetWindowText(g_serverListStatus);
        m_fetch = ServerListFetch::Start(m_listServer, m_hWnd, WM_SERVER_LIST_DONE);
        if (m_fetch)
            SetTimer(IDT_SERVER_LIST_POLL, 100, nullptr);
        else
            PostMessage(WM_SERVER_LIST_DONE);  // no thread: told as a failed fetch
    });
}

void DlgReadCDSettings::OnTimer(UINT_PTR id) {
    if (id != IDT_SERVER_LIST_POLL) {
        AeroDialog::OnTimer(id);
        return;
    }
    GuardOperation(9214, [&] {
        // The progress dots while the fetch runs; its end comes by message.
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        if (g_serverListStatus != m_lastStatus) {
            m_dots.Empty();
            m_lastStatus = g_serverListStatus;
        }
        m_dots += ".";
        const CString title = g_serverListStatus + m_dots;
        SetWindowText(title);
        CClientDC dc(this);
        CFont* font = GetFont();
        ScopedSelect selectFont(dc.GetSafeHdc(), font ? font->GetSafeHandle() : nullptr);
        if (dc.GetTextExtent(title).cx > kTitleWidthLimit) m_dots.Empty();
    });
}

LRESULT DlgReadCDSettings::OnServerListDone(WPARAM, LPARAM) {
    GuardOperation(9215, [&] {
        std::vector<CCDDBSite> sites;
        const LONG result = m_fetch ? m_fetch->TakeResult(sites) : (LONG)ServerListFetch::kFailed;
        if (result == ServerListFetch::kRunning) return;
        EndFetch();
        KillTimer(IDT_SERVER_LIST_POLL);
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        SetWindowText(" Search Settings");
        if (result != ServerListFetch::kReceived) {
            ShowBox(
                this, kBoxError,
                "Korvanelle could not connect to the Freedb server.\r\n\r\nPlease make sure your computer is "
                "connected to the internet and\r\nthat there is no firewall software blocking "
                "Korvanelle.\r\n\r\n"
                "You may have to re-boot your computer to correct this problem.");
            return;
        }
        // The list becomes the program's (for the next dialog) and this dialog's, on this thread.
        g_serverSites = sites;
        m_sites.swap(sites);
        FillServerCombo(true);
    });
    return 0;
}

void DlgReadCDSettings::OnDestroy() {
    KillTimer(IDT_SERVER_LIST_POLL);
    EndFetch();
    AeroDialog::OnDestroy();
}

void DlgReadCDSettings::OnHelpButton() {
    if (ViewHost* host = View::GetHost()) host->ShowHelpContext(m_hWnd, HELP_CONTEXT_READCD);
}

BOOL DlgReadCDSettings::OnHelpInfo(HELPINFO*) {
    OnHelpButton();
    return TRUE;
}
