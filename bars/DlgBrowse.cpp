// The controls that the image folder chooser adds to the shell's folder dialog.
#define OEMRESOURCE
#include <algorithm>

#include "bars/DlgFolderSelect.h"
#include "bars/ImageBrowseSettings.h"
#include "controls/ThemeResources.h"
#include "controls/glass/GlassEngine.h"
#include "framework/core/OperationError.h"
#include "res/ImagePanelIds.h"

namespace {
// The shell dialog's own controls.
const int kShellTree = 14145;
const int kShellInstruction = 14146;

CRect ChildRect(HWND dialog, HWND child) {
    CRect rect;
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<LPPOINT>(&rect), 2);
    return rect;
}

HWND CreateChild(HWND parent, LPCSTR className, LPCSTR text, DWORD style, const CRect& rect, int id) {
    return ::CreateWindowExA(
        0, className, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top, rect.Width(), rect.Height(),
        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandle(nullptr), nullptr);
}

int CheckMarkHeight() {
    BITMAP info = {};
    CBitmap check;
    if (!check.LoadOEMBitmap(OBM_CHECK)) return 16;
    const int height = check.GetBitmap(&info) ? info.bmHeight : 16;
    return height > 0 ? height : 16;
}
}  // namespace

BEGIN_MESSAGE_MAP(DlgBrowse, AeroDialog)
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_BROWSE_CLOSE, OnCloseButton)
    ON_BN_CLICKED(IDC_BROWSE_SUBFOLDERS, OnSearchSubfolders)
    ON_BN_CLICKED(IDC_BROWSE_DEFAULT_FOLDER, OnSetDefaultImageFolder)
    ON_CBN_SELCHANGE(IDC_BROWSE_FILE_TYPES, OnSelChangeFileTypes)
    ON_COMMAND(IDC_BROWSE_IGNORED_COMMAND, OnIgnoredCommand)
END_MESSAGE_MAP()

DlgBrowse::DlgBrowse(DlgFolderSelect* host, ImagePanelState& state) : AeroDialog(0, nullptr), m_host(host) {
    state.m_stopFolderLoad = 0;
}

DlgBrowse::~DlgBrowse() = default;

void DlgBrowse::PreSubclassWindow() {
    GuardOperation(7224, [&] {
        AddControls();
        // The dialog base's set-up for a window it did not create.
        SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_appIconSmall));
        EnableGlassSubclass(m_hWnd, kGlassFlagNoGlass, 0);
        UpdateThemeState(0);
    });
}

void DlgBrowse::AddControls() {
    HWND w = m_hWnd;
    ModifyStyleEx(WS_EX_CONTEXTHELP, 0, SWP_FRAMECHANGED);
    ::SendMessage(w, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_appIconSmall));
    ::SetWindowTextA(w, "Click on a folder to start your search.");
    for (int id : {kShellInstruction, IDOK, IDCANCEL}) {
        HWND child = ::GetDlgItem(w, id);
        if (child != nullptr) ::ShowWindow(child, SW_HIDE);
    }
    HWND tree = ::GetDlgItem(w, kShellTree);
    if (tree == nullptr) return;
    const CRect treeRect = ChildRect(w, tree);
    const int m = treeRect.left;
    const int R = m + (int)(1.5 * treeRect.Width());
    const int S = R - m;

    m_labelFileTypes.m_text = "File Types   ";
    HWND label = CreateChild(w, "STATIC", "File Types   ", SS_LEFT,
                             CRect(m + 2, R + m, m + 2 + 80, R + m + 14), 0xFFFF);
    m_labelFileTypes.SubclassWindow(label);
    const CRect labelRect = ChildRect(w, label);

    HWND combo =
        CreateChild(w, "COMBOBOX", "", CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP,
                    CRect(m, labelRect.bottom + 1, m + S, labelRect.bottom + 1 + 200), IDC_BROWSE_FILE_TYPES);
    m_comboFileTypes.SubclassWindow(combo);
    const CRect comboRect = ChildRect(w, combo);

    const int checkHeight = CheckMarkHeight();
    HWND subfolders = CreateChild(
        w, "BUTTON", "Search Subfolders", BS_AUTOCHECKBOX | WS_TABSTOP,
        CRect(m, comboRect.bottom + m, m + S / 2, comboRect.bottom + m + checkHeight), IDC_BROWSE_SUBFOLDERS);
    m_checkSubfolders.SubclassWindow(subfolders);
    m_checkSubfolders.SetCheck(m_host->m_settings.browseSubfolders ? BST_CHECKED : BST_UNCHECKED);
    const CRect subRect = ChildRect(w, subfolders);

    HWND setDefault = CreateChild(w, "BUTTON", "Set as Default Image Folder", BS_AUTOCHECKBOX | WS_TABSTOP,
                                  CRect(m, subRect.bottom + m, m + S / 2, subRect.bottom + m + checkHeight),
                                  IDC_BROWSE_DEFAULT_FOLDER);
    m_checkDefaultFolder.SubclassWindow(setDefault);
    if (m_host->m_settings.browseFolder == m_host->m_settings.browseDefaultPath) {
        m_checkDefaultFolder.SetCheck(BST_CHECKED);
        m_checkDefaultFolder.EnableWindow(FALSE);
    }
    const CRect defaultRect = ChildRect(w, setDefault);

    CRect okRect(0, 0, 75, 23);
    HWND ok = ::GetDlgItem(w, IDOK);
    if (ok != nullptr) okRect = ChildRect(w, ok);
    const CRect closeRect(R - okRect.Width(), defaultRect.bottom - okRect.Height(), R, defaultRect.bottom);
    HWND close =
        CreateChild(w, "BUTTON", "Close", BS_DEFPUSHBUTTON | WS_TABSTOP, closeRect, IDC_BROWSE_CLOSE);
    m_btnClose.SubclassWindow(close);
    m_btnClose.GenerateBackground(6, 8, 10, 0, 0);
    ::SendMessage(w, DM_SETDEFID, IDC_BROWSE_CLOSE, 0);

    // The tree becomes a square; the others are already where they belong.
    ::SetWindowPos(tree, nullptr, m, m, S, S, SWP_NOZORDER | SWP_NOACTIVATE);

    CRect window, client;
    ::GetWindowRect(w, &window);
    ::GetClientRect(w, &client);
    const int width = closeRect.right + m + (window.Width() - client.Width());
    const int height = closeRect.bottom + m + (window.Height() - client.Height());
    POINT position = m_host->m_settings.position;
    if (position.x < 0) {
        // Centred on the main window (by the dialog's size before this resize).
        CRect main;
        if (m_host->m_settings.mainWindow != nullptr &&
            ::GetWindowRect(m_host->m_settings.mainWindow, &main)) {
            position.x = main.CenterPoint().x - window.Width() / 2;
            position.y = main.CenterPoint().y - window.Height() / 2;
        } else {
            position.x = window.left;
            position.y = window.top;
        }
        m_host->m_settings.position = position;
        ImageBrowseSettingsUpdate* update = new ImageBrowseSettingsUpdate;
        update->fields = ImageBrowseSettingsUpdate::kPosition;
        update->position = position;
        m_host->PostSettings(update);
    }
    ::SetWindowPos(w, nullptr, position.x, position.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

int DlgBrowse::SelectedFileType() const {
    if (m_comboFileTypes.m_hWnd == nullptr) return 0;
    const int selection = m_comboFileTypes.GetCurSel();
    if (selection < 0) return 0;
    const int index = (int)m_comboFileTypes.GetItemData(selection);
    return index >= 0 && index < kImageFilterCount ? index : 0;
}

void DlgBrowse::FillFileTypes() {
    GuardOperation(7225, [&] {
        if (m_comboFileTypes.m_hWnd == nullptr) return;
        m_comboFileTypes.ResetContent();
        for (int i = 0; i < kImageFilterCount; ++i) {
            const int item = m_comboFileTypes.AddString(g_imageFilterNames[i]);
            m_comboFileTypes.SetItemData(item, (DWORD_PTR)i);
        }
        m_comboFileTypes.SetCurSel(m_host->m_settings.browseFilter);
    });
}

void DlgBrowse::RestartSearch() {
    ImagePanelState& state = m_host->State();
    CString other = m_host->m_settings.documentsFolder;
    if (other == m_host->m_settings.browseFolder) {
        const int slash = other.ReverseFind('\\');
        if (slash > 0) other = other.Left(slash);
    }
    state.m_ignoreFolderSelChange = 1;
    SendMessage(BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>((LPCSTR)other));
    state.m_ignoreFolderSelChange = 0;
    // Selecting the folder again tells the chooser to load it with the new choices.
    const CString folder = m_host->m_settings.browseFolder;
    SendMessage(BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>((LPCSTR)folder));
}

void DlgBrowse::OnSelChangeFileTypes() {
    GuardOperation(7226, [&] {
        RestartSearch();
        m_host->m_settings.browseFilter = (BYTE)SelectedFileType();
        ImageBrowseSettingsUpdate* update = new ImageBrowseSettingsUpdate;
        update->fields = ImageBrowseSettingsUpdate::kFilter;
        update->filter = m_host->m_settings.browseFilter;
        m_host->PostSettings(update);
        if (m_btnClose.m_hWnd != nullptr) m_btnClose.SetFocus();
    });
}

void DlgBrowse::OnSearchSubfolders() {
    GuardOperation(7227, [&] {
        RestartSearch();
        m_host->m_settings.browseSubfolders = m_checkSubfolders.GetCheck() == BST_CHECKED ? 1 : 0;
        ImageBrowseSettingsUpdate* update = new ImageBrowseSettingsUpdate;
        update->fields = ImageBrowseSettingsUpdate::kSubfolders;
        update->subfolders = m_host->m_settings.browseSubfolders;
        m_host->PostSettings(update);
    });
}

void DlgBrowse::OnSetDefaultImageFolder() {
    GuardOperation(7228, [&] {
        m_checkDefaultFolder.EnableWindow(FALSE);
        m_host->m_settings.browseDefaultPath = m_host->m_settings.browseFolder;
        ImageBrowseSettingsUpdate* update = new ImageBrowseSettingsUpdate;
        update->fields = ImageBrowseSettingsUpdate::kDefaultPath;
        update->defaultPath = m_host->m_settings.browseDefaultPath;
        m_host->PostSettings(update);
    });
}

void DlgBrowse::OnCloseButton() {
    GuardOperation(7229, [&] {
        CString text;
        m_btnClose.GetWindowText(text);
        if (text == "Close") {
            SendMessage(WM_COMMAND, IDCANCEL, 0);
            return;
        }
        m_btnClose.SetWindowText("Close");
        ImagePanelState& state = m_host->State();
        if (state.m_folderLoadRunning) {
            state.m_stopFolderLoad = 1;
            SetTimer(kTimerStopSearch, 100);
        }
    });
}

void DlgBrowse::OnTimer(UINT_PTR id) {
    GuardOperation(7263, [&] {
        if (id != kTimerStopSearch) {
            AeroDialog::OnTimer(id);
            return;
        }
        ImagePanelState& state = m_host->State();
        if (state.m_folderLoadRunning) return;  // the scan has not seen the request yet
        KillTimer(kTimerStopSearch);
        state.m_stopFolderLoad = 0;
    });
}

void DlgBrowse::OnOK() {
    // The shell dialog ends itself.
    Default();
}

void DlgBrowse::OnCancel() {
    Default();
}

void DlgBrowse::OnIgnoredCommand() {}

void DlgBrowse::OnDestroy() {
    GuardOperation(7264, [&] {
        m_host->State().m_stopFolderLoad = 1;  // a search still running stops
        CRect window;
        GetWindowRect(&window);
        ImageBrowseSettingsUpdate* update = new ImageBrowseSettingsUpdate;
        update->fields = ImageBrowseSettingsUpdate::kPosition;
        update->position = POINT{std::max(0, (int)window.left), std::max(0, (int)window.top)};
        m_host->PostSettings(update);
        AeroDialog::OnDestroy();
    });
}
