// Pictures of the Read CD dialog in its three modes (drives, matches, MP3 grid), the lookup
// settings dialog and the disc chooser, for docs/screens/ (scripts/screens-readcd.sh runs this
// program in Wine's virtual desktop). The drive is a recorded one; the matches come from the
// disc's CD-TEXT and a CDPlayer.ini file, so no disc database is asked. Not a test.
//   readcd_screens.exe OUTPUT-FOLDER DATA-FOLDER
#include <windows.h>

#include <string>

#include "GdiplusSession.h"
#include "GuiSupport.h"
#include "WindowPicture.h"
#include "ReadCdTestSupport.h"
#include "controls/ThemeResources.h"
#include "disc/DlgDiscSelect.h"
#include "disc/DlgReadCD.h"
#include "disc/DlgReadCDSettings.h"
#include "disc/GridMp3.h"
#include "disc/ServerList.h"
#include "disc/SettingsLookup.h"
#include "res/ReadCdIds.h"
#include "res/ResourceImages.h"

namespace {

std::string g_folder;

void Shoot(HWND window, const char* name) {
    screens::SaveWindowPicture(window, g_folder, name);
}

void Press(CWnd& dialog, int id) {
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)dialog.GetDlgItem(id)->m_hWnd);
}

bool Copy(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    g_folder = argv[1];
    const std::string data = argv[2];
    ::SetCursorPos(0, 0);
    kvtest::GdiplusReady();
    InitThemeResources(IDB_TEXTURE_DIALOG, IDB_TEXTURE_CANVAS, IDP_THEME_IMAGE, IDB_MENU_IMAGES,
                       IDB_TOOL_IMAGES, IDI_KORVANELLE, IDP_SIZE_GRIP);
    rctest::Drives();
    InitServerList();
    AfxSetMessageBoxHandler([](KvMessageBoxRequest&) { return 1; });

    // An audio disc with CD-TEXT and an entry in the CD player's file: two matches.
    char temp[MAX_PATH] = {0};
    GetTempPathA(MAX_PATH, temp);
    const std::string work = std::string(temp) + "readcd-screens";
    CreateDirectoryA(work.c_str(), nullptr);
    const std::vector<std::vector<int>> tracks = {
        {0, 2, 0}, {4, 12, 30}, {8, 1, 0}, {11, 45, 12}, {15, 30, 0}};
    rctest::Drive().toc = rctest::Toc(tracks);
    rctest::Drive().cdText = rctest::CdText("The Lanterns", "Harbour Songs",
                                            {"Low Tide", "Salt and Iron", "The Long Pier", "Fog Horn"});
    // The CD player's entry of that disc (its key: the tracks' start addresses summed).
    const std::string ini = work + "\\cdplayer.ini";
    {
        FILE* f = std::fopen(ini.c_str(), "wb");
        if (f) {
            std::fputs(
                "[173C2A]\r\nartist=Lanterns, The\r\ntitle=Harbour Songs (Remastered)\r\n0=Low Tide\r\n"
                "1=Salt & Iron\r\n2=The Long Pier\r\n3=Fog Horn\r\n",
                f);
            std::fclose(f);
        }
    }
    g_cdPlayerPath = ini.c_str();
    g_useFreedb = 0;
    g_useCdText = 1;
    g_useMp3 = 1;
    g_useMp3Tag = 0;
    g_useCdPlayerIni = 1;
    {
        DlgReadCD dialog(nullptr, rctest::Drives(), nullptr);
        dialog.Create(IDD_READCD, nullptr);
        dialog.ShowWindow(SW_SHOW);
        Shoot(dialog.m_hWnd, "read-cd-drives.png");
        Press(dialog, IDOK);
        kvtest::PumpUntil([&] { return !dialog.IsScanning(); }, 10000);
        Shoot(dialog.m_hWnd, "read-cd-matches.png");
        dialog.DestroyWindow();
    }
    // A data disc of MP3 files.
    rctest::Drive().toc = rctest::Toc({{0, 2, 0}, {40, 0, 0}}, {true});
    const char* names[] = {"01_harbour_lights.mp3", "02 - the long pier.mp3", "03_salt_and_iron.mp3",
                           "04_low tide (live).mp3", "05_fog_horn.mp3"};
    const char* sources[] = {"latin1-3s.mp3", "utf16-7s.mp3", "utf16-26s.mp3", "latin1-3s.mp3",
                             "utf16-7s.mp3"};
    for (int i = 0; i < 5; ++i) Copy(data + "\\" + sources[i], work + "\\" + names[i]);
    {
        DlgReadCD dialog(nullptr, rctest::Drives(), nullptr);
        dialog.m_mp3Root = work.c_str();
        dialog.Create(IDD_READCD, nullptr);
        dialog.ShowWindow(SW_SHOW);
        Press(dialog, IDOK);
        kvtest::PumpUntil([&] { return !dialog.IsScanning(); }, 10000);
        if (CGridMp3* grid = dialog.GetGrid()) grid->SelectBlock(1, 2);
        Shoot(dialog.m_hWnd, "read-cd-mp3.png");
        dialog.DestroyWindow();
    }
    g_cdPlayerPath = "C:\\Windows\\cdplayer.ini";
    {
        DlgReadCDSettings settings(nullptr);
        settings.Create(IDD_READCD_SETTINGS, nullptr);
        settings.ShowWindow(SW_SHOW);
        Shoot(settings.m_hWnd, "read-cd-settings.png");
        settings.DestroyWindow();
    }
    {
        DlgDiscSelect chooser("Which disc would you like to add the text?", nullptr);
        chooser.Create(IDD_DISC_SELECT, nullptr);
        chooser.ShowWindow(SW_SHOW);
        Shoot(chooser.m_hWnd, "disc-select.png");
        chooser.DestroyWindow();
    }
    ReleaseThemeResources();
    return 0;
}
