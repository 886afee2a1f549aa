// The image folder chooser: the system's folder-browsing dialog, run in a thread of its own and
// extended with a file-type list, a sub-folder switch, a "Set as Default Image Folder" switch and
// a Close / Stop Search button. Every folder clicked is loaded into the Images panel at once; the
// title bar shows the search's progress. The chooser talks to the Images bar only by posting it
// messages: the folders to load and the choices to store in the settings.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "bars/ImagePanelState.h"
#include "controls/AeroButton.h"
#include "controls/AeroCheck.h"
#include "controls/AeroComboBox.h"
#include "controls/AeroDialog.h"
#include "controls/AeroLabel.h"
#include "framework/Win.h"

class DlgFolderSelect;

// Timers of the chooser.
enum : UINT_PTR {
    kTimerStopSearch = 1102,
    kTimerSearchProgress = 1103,
    kTimerInitialFolder = 1104,
};

// What the chooser's thread starts from: copies of the settings, taken on the user-interface
// thread. The thread deletes it.
struct FolderSelectJob {
    ImagePanelState* state = nullptr;
    HWND bar = nullptr;         // receives WM_LOADIMAGEFOLDER and WM_IMAGEBROWSESETTINGS
    HWND mainWindow = nullptr;  // the chooser is centred on it the first time
    CString browseFolder;
    CString browseDefaultPath;
    BYTE browseFilter = 0;
    BYTE browseSubfolders = 0;
    CString documentsFolder;
    POINT position = {-1, -1};
};

// The user's documents folder (the chooser steps through it to select a folder anew).
CString GetDocumentsFolder();

// The chooser's thread (argument: a new FolderSelectJob).
UINT __cdecl FolderSelectThreadProc(LPVOID job);

// The shell's folder dialog, subclassed as soon as it exists, with the added controls.
class DlgBrowse : public AeroDialog {
public:
    // Constructing it clears the stop request of a scan (the host's members are not made yet).
    DlgBrowse(DlgFolderSelect* host, ImagePanelState& state);
    ~DlgBrowse() override;

    AeroComboBox m_comboFileTypes;
    AeroCheck m_checkSubfolders;
    AeroCheck m_checkDefaultFolder;
    AeroButton m_btnClose;
    AeroLabel m_labelFileTypes;

    void FillFileTypes();
    void RestartSearch();
    // The file-type index of the list's selection (0 when none).
    int SelectedFileType() const;

    void PreSubclassWindow() override;
    void OnOK() override;
    void OnCancel() override;

    void OnTimer(UINT_PTR id);
    void OnDestroy();
    void OnCloseButton();
    void OnSearchSubfolders();
    void OnSetDefaultImageFolder();
    void OnSelChangeFileTypes();
    void OnIgnoredCommand();

    DECLARE_MESSAGE_MAP()

private:
    void AddControls();
    DlgFolderSelect* m_host;
};

// The hidden dialog that hosts the shell's folder dialog in the chooser's thread.
class DlgFolderSelect : public CDialog {
public:
    explicit DlgFolderSelect(const FolderSelectJob& job);
    ~DlgFolderSelect() override;

    DlgBrowse m_browse;
    HWND m_owner;  // the Images bar
    BROWSEINFOA m_browseInfo;
    int m_tickCount = 0;
    CString m_dots;
    char m_initialFolder[MAX_PATH];
    char m_chosenFolder[MAX_PATH];
    FolderSelectJob m_settings;  // the chooser's own copy of the settings, kept up to date

    static int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM lParam, LPARAM data);
    void OnBrowseInit(HWND window);
    void OnBrowseSelChanged(LPITEMIDLIST items);
    // Posts a choice to the Images bar (which stores it in the settings).
    void PostSettings(ImageBrowseSettingsUpdate* update);
    ImagePanelState& State() const { return *m_settings.state; }

    void OnShowWindow(BOOL show, UINT status);
    void OnTimer(UINT_PTR id);

    DECLARE_MESSAGE_MAP()

private:
    // Selects the folder the chooser opens on, as its own selection (no search); true when the
    // shell's tree took it.
    bool SelectInitialFolder();

    bool m_running = false;
    HWND m_shell = nullptr;              // the shell's dialog, once it exists
    CString m_shellSelection;            // the folder the tree last selected ("" when not a folder)
    int m_initialFolderTries = 0;
    LONG m_lastRequest = 0;  // the number of the last folder request posted
};
