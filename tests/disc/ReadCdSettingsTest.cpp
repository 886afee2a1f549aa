// The lookup settings dialog and the disc chooser of two-disc designs.
#include <doctest.h>

#include "ReadCdTestSupport.h"
#include "GuiSupport.h"
#include "TestSupport.h"
#include "canvas/FrameCommandState.h"
#include "disc/DlgDiscSelect.h"
#include "disc/DlgReadCDSettings.h"
#include "disc/ServerList.h"
#include "disc/SettingsLookup.h"
#include "res/ReadCdIds.h"

namespace {

std::string S(const CString& s) {
    return std::string(s.GetString());
}

struct SettingsDialog {
    DlgReadCDSettings dialog{nullptr};
    SettingsDialog() { REQUIRE(dialog.Create(IDD_READCD_SETTINGS, nullptr)); }
    ~SettingsDialog() {
        if (dialog.m_hWnd) dialog.DestroyWindow();
    }
    void Press(int id) {
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)dialog.GetDlgItem(id)->m_hWnd);
    }
    // A click on the button as the user's arrives: through this thread's message queue, handled
    // once the messages before it were.
    void Click(int id) { ::PostMessageA(dialog.GetDlgItem(id)->m_hWnd, BM_CLICK, 0, 0); }
};

// Clicks through the chooser once it is up: `radio` (0 for none), then `button`.
int g_radio = 0, g_button = 0;
bool g_chooserSeen = false;
bool g_themedIcon = false;

BOOL CALLBACK ClickChooser(HWND window, LPARAM) {
    if (!GetDlgItem(window, IDC_DISCSEL_DISC1) || !IsWindowVisible(window)) return TRUE;
    g_chooserSeen = true;
    // The information icon is a themed icon control, painted on the dialog's texture.
    g_themedIcon = dynamic_cast<AeroIcon*>(CWnd::FromHandlePermanent(GetDlgItem(window, IDC_DISCSEL_ICON))) != nullptr &&
                   SendMessageA(GetDlgItem(window, IDC_DISCSEL_ICON), STM_GETICON, 0, 0) != 0;
    if (g_radio) SendMessageA(GetDlgItem(window, g_radio), BM_CLICK, 0, 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(g_button, BN_CLICKED), (LPARAM)GetDlgItem(window, g_button));
    return FALSE;
}

void CALLBACK OnChooserTimer(HWND, UINT, UINT_PTR id, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), ClickChooser, 0);
    if (g_chooserSeen) KillTimer(nullptr, id);
}

int RunChooser(int radio, int button) {
    g_radio = radio;
    g_button = button;
    g_chooserSeen = false;
    SetTimer(nullptr, 0, 30, OnChooserTimer);
    return RunDiscChoiceDialog(nullptr, "Which disc would you like to add the text?");
}

}  // namespace

TEST_CASE("the lookup settings dialog") {
    rctest::Boxes boxes;
    g_freedbServer = "my.own.host`8080`/cgi-bin/cddb`Mine`0`r1`r2``r4`";
    InitServerList();
    REQUIRE(S(g_currentServer.m_host) == "my.own.host");
    g_cdPlayerPath = "C:\\nowhere\\cdplayer.ini";
    g_useMp3Tag = 0;
    SUBCASE("a server not in the list: the first entry is chosen, and OK makes it current") {
        g_useCdPlayerIni = 0;
        SettingsDialog d;
        CHECK(d.dialog.m_server.GetCount() == 4);
        CHECK(d.dialog.m_server.GetCurSel() == 0);
        CString path;
        d.dialog.m_pathEdit.GetWindowText(path);
        CHECK(S(path) == "C:\\nowhere\\cdplayer.ini");
        d.dialog.m_useId3.SetCheck(BST_CHECKED);
        d.Press(IDC_RCDSET_USE_ID3);
        CHECK(g_useMp3Tag == 1);
        d.dialog.m_server.SetCurSel(2);
        d.Press(IDOK);
        CHECK(S(g_currentServer.m_host) == S(g_serverSites[2].m_host));
        CHECK(g_currentServer.m_port == 80);
        // The reserved fields come back unchanged.
        CHECK(S(g_freedbServer) == S(g_serverSites[2].m_host) + "`80`/~cddb/cddb.cgi``0`r1`r2``r4`");
        CHECK(boxes.texts.empty());
    }
    SUBCASE("the CD player's file missing while it is a source: warned, switched off, closed") {
        g_useCdPlayerIni = 1;
        SettingsDialog d;
        d.Press(IDOK);
        CHECK(boxes.Shown("The selected CDPlayer file does not exist."));
        CHECK(g_useCdPlayerIni == 0);
        CHECK_FALSE(d.dialog.IsWindowVisible());
    }
    SUBCASE("Cancel keeps the server") {
        SettingsDialog d;
        d.dialog.m_server.SetCurSel(3);
        d.Press(IDCANCEL);
        CHECK(S(g_currentServer.m_host) == "my.own.host");
    }
    g_freedbServer.Empty();
    InitServerList();
    SUBCASE("a first start: the default server") {
        CHECK(S(g_currentServer.m_host) == S(g_serverSites[0].m_host));
        SettingsDialog d;
        CHECK(d.dialog.m_server.GetCurSel() == 0);
    }
}

TEST_CASE("Get Server List asks the default server for its list") {
    rctest::Boxes boxes;
    WSADATA data;
    WSAStartup(MAKEWORD(1, 1), &data);
    g_freedbServer.Empty();
    InitServerList();
    g_currentServer = rctest::LoopbackSite();
    SUBCASE("the list arrives: hosts with their descriptions") {
        SettingsDialog d;
        d.dialog.m_listServer = rctest::LoopbackSite();
        d.Press(IDC_RCDSET_GET_SERVERS);
        REQUIRE(kvtest::PumpUntil([&] { return d.dialog.m_server.GetCount() > 4; }, 10000));
        CString title, first;
        d.dialog.GetWindowText(title);
        title.Trim();
        CHECK(S(title) == "Search Settings");
        d.dialog.m_server.GetLBText(0, first);
        CHECK(S(first) == "freedb.freedb.org - Random freedb server");
        CHECK(d.dialog.m_server.GetCount() == (int)g_serverSites.size());
        CHECK(d.dialog.m_server.GetCurSel() == -1);  // the loopback server is not in the list
        CHECK(boxes.texts.empty());
    }
    SUBCASE("nobody answers: the message, and the built-in list stays") {
        SettingsDialog d;
        d.dialog.m_listServer = rctest::LoopbackSite();
        d.dialog.m_listServer.m_port = rctest::ClosedPort();
        d.Press(IDC_RCDSET_GET_SERVERS);
        REQUIRE(kvtest::PumpUntil([&] { return !boxes.texts.empty(); }, 10000));
        CHECK(boxes.texts[0].find("could not connect to the Freedb server") != std::string::npos);
        CHECK(g_serverSites.size() == 4);
    }
    WSACleanup();
}

TEST_CASE("two server-list fetches") {
    rctest::Boxes boxes;
    WSADATA data;
    WSAStartup(MAKEWORD(1, 1), &data);
    g_freedbServer.Empty();
    InitServerList();
    g_currentServer = rctest::LoopbackSite();
    auto server = [](const char* path) {
        CCDDBSite site = rctest::LoopbackSite();
        site.m_path = path;
        return site;
    };
    SUBCASE("a closed dialog's failing fetch does not answer for the next dialog's") {
        {
            SettingsDialog first;
            first.dialog.m_listServer = server("/slowfail/cddb.cgi");
            first.Click(IDC_RCDSET_GET_SERVERS);
            REQUIRE(kvtest::PumpUntil([&] { return first.dialog.IsFetching(); }, 5000));
        }
        SettingsDialog second;
        second.dialog.m_listServer = server("/slow/cddb.cgi");
        second.Click(IDC_RCDSET_GET_SERVERS);
        REQUIRE(kvtest::PumpUntil([&] { return second.dialog.m_server.GetCount() > 4; }, 10000));
        CHECK(boxes.texts.empty());
        CHECK(second.dialog.m_server.GetCount() == 5);
    }
    SUBCASE("a list that arrives after its dialog closed changes neither the list nor the next choice") {
        {
            SettingsDialog first;
            first.dialog.m_listServer = server("/slowshort/cddb.cgi");
            first.Click(IDC_RCDSET_GET_SERVERS);
            REQUIRE(kvtest::PumpUntil([&] { return first.dialog.IsFetching(); }, 5000));
        }
        SettingsDialog second;
        REQUIRE(second.dialog.m_server.GetCount() == 4);
        REQUIRE(kvtest::PumpUntil([] { return ServerListFetch::Running() == 0; }, 10000));
        CHECK(g_serverSites.size() == 4);
        second.dialog.m_server.SetCurSel(3);
        second.Click(IDOK);
        CHECK(kvtest::PumpUntil([] { return S(g_currentServer.m_host) == "at.freedb.org"; }, 5000));
    }
    SUBCASE("a second press while a fetch runs starts no second fetch") {
        SettingsDialog d;
        d.dialog.m_listServer = server("/slowshort/cddb.cgi");
        // Two clicks in a row: the second comes while the first one's fetch runs.
        d.Click(IDC_RCDSET_GET_SERVERS);
        d.Click(IDC_RCDSET_GET_SERVERS);
        REQUIRE(kvtest::PumpPending());
        CHECK(d.dialog.IsFetching());
        CHECK(ServerListFetch::Running() == 1);
        REQUIRE(kvtest::PumpUntil([&] { return !d.dialog.IsFetching(); }, 10000));
        CHECK(d.dialog.m_server.GetCount() == 2);
        CHECK(boxes.texts.empty());
    }
    SUBCASE("shut-down while a fetch runs: the freed list stays empty") {
        {
            SettingsDialog d;
            d.dialog.m_listServer = server("/slowshort/cddb.cgi");
            d.Click(IDC_RCDSET_GET_SERVERS);
            REQUIRE(kvtest::PumpUntil([&] { return d.dialog.IsFetching(); }, 5000));
            FreeDiscDatabaseState();
        }
        REQUIRE(kvtest::PumpUntil([] { return ServerListFetch::Running() == 0; }, 10000));
        CHECK(g_serverSites.empty());
    }
    REQUIRE(kvtest::PumpUntil([] { return ServerListFetch::Running() == 0; }, 10000));
    FreeDiscDatabaseState();
    g_freedbServer.Empty();
    WSACleanup();
}

TEST_CASE("the disc chooser") {
    FrameCommandState::Get().m_targetDisc = 1;
    CHECK(RunChooser(IDC_DISCSEL_DISC2, IDOK) == 2);
    CHECK(FrameCommandState::Get().m_targetDisc == 2);
    CHECK(RunChooser(IDC_DISCSEL_DISC1, IDOK) == 1);
    CHECK(FrameCommandState::Get().m_targetDisc == 1);
    // Cancel: no disc, and the frame's disc as it was.
    CHECK(RunChooser(IDC_DISCSEL_DISC2, IDCANCEL) == -1);
    CHECK(FrameCommandState::Get().m_targetDisc == 1);
    CHECK(g_chooserSeen);
    CHECK(g_themedIcon);
}

namespace {
HWND g_settings = nullptr;
BOOL CALLBACK FindSettings(HWND window, LPARAM) {
    if (GetDlgItem(window, IDC_RCDSET_BROWSE) && IsWindowVisible(window)) g_settings = window;
    return g_settings == nullptr;
}
void CALLBACK PressOk(HWND, UINT, UINT_PTR id, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), FindSettings, 0);
    if (g_settings && KillTimer(nullptr, id)) PostMessageA(g_settings, WM_COMMAND, IDOK, 0);
}
}  // namespace

TEST_CASE("the lookup settings dialog's OK, with its box up, then Cancel: the result and the settings agree") {
    g_freedbServer = "my.own.host`8080`/cgi-bin/cddb`Mine`0`r1`r2``r4`";
    InitServerList();
    g_cdPlayerPath = "C:\\nowhere\\cdplayer.ini";
    g_useCdPlayerIni = 1;
    g_settings = nullptr;
    AfxSetMessageBoxHandler([](KvMessageBoxRequest&) {
        // Escape typed ahead reaches the dialog while the box's loop runs.
        PostMessageA(g_settings, WM_COMMAND, IDCANCEL, 0);
        kvtest::PumpPending();
        return IDOK;
    });
    DlgReadCDSettings dialog(nullptr);
    SetTimer(nullptr, 0, 30, PressOk);
    const bool ok = dialog.DoModal() == IDOK;
    AfxSetMessageBoxHandler(nullptr);
    CHECK(ok == (S(g_currentServer.m_host) != "my.own.host"));
}
