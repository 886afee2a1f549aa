// The Images bar and its folder chooser as a user sees them, for the screenshot script: a frame
// with the bar over the generated folder, the chooser open after a search. Writes
// "demo-ready.txt" when the picture can be taken and ends when "demo-quit.txt" appears.
#include <windows.h>

#include "GuiSupport.h"
#include "ImageFolderFixture.h"
#include "ImagePanelFrame.h"
#include "TestSupport.h"
#include "bars/DlgFolderSelect.h"
#include "bars/ImageBrowseSettings.h"
#include "res/ImagePanelIds.h"

using namespace kvtest;

int main() {
    InitPanelProgram();
    DeleteFileA("demo-ready.txt");
    DeleteFileA("demo-quit.txt");
    const ImageFolderInfo big = MakeImageFolder("panel500", 500);
    const ImageFolderInfo small = MakeImageFolder("panel12", 12);
    g_browseFolder = small.root.c_str();
    g_browseDefaultPath = "";
    g_browseFilter = 0;
    g_browseSubfolders = 1;
    ImagePanelFrame* frame = CreatePanelFrame(1180, 740, 400);
    if (frame == nullptr) return 1;
    frame->SetWindowText("Korvanelle - Images panel");
    ImagePanelState& state = *ImagePanelState::Get();
    frame->m_bar.SendMessage(WM_COMMAND, IDC_IMAGE_FOLDER_BUTTON, 0);
    PumpUntil([&] { return state.m_folderSelectDialog != nullptr; }, 20000);
    HWND shell = state.m_folderSelectDialog;
    if (shell == nullptr) return 2;
    SendMessageA(shell, BFFM_SETSELECTIONA, TRUE, (LPARAM)big.root.c_str());
    PumpUntil([&] { return state.m_folderRequestStarted >= 1; }, 20000);
    WaitForScan(frame);
    WaitForThumbnails();
    PumpUntil(
        [&] {
            char text[64] = {};
            GetWindowTextA(GetDlgItem(shell, IDC_BROWSE_CLOSE), text, sizeof(text));
            return lstrcmpA(text, "Close") == 0 && !state.m_folderLoadRunning;
        },
        20000);
    WriteFileBytes("demo-ready.txt", {'1'});
    PumpUntil([] { return GetFileAttributesA("demo-quit.txt") != INVALID_FILE_ATTRIBUTES; }, 120000);
    SendMessage(shell, WM_COMMAND, IDCANCEL, 0);
    PumpUntil([&] { return !state.m_folderSelectOpen; }, 10000);
    DestroyPanelFrame(frame);
    return 0;
}
