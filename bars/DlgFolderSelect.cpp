// The image folder chooser's thread and its hidden host dialog.
#include "bars/DlgFolderSelect.h"

#include <memory>

#include "bars/ImageBrowseSettings.h"
#include "framework/win/ScopedGdi.h"
#include "controls/ThemeResources.h"
#include "framework/core/OperationError.h"
#include "res/ImagePanelIds.h"

namespace {
const int kMaxTitleWidth = 260;
const int kFinishedTicks = 5;
// The shell's tree can refuse a selection while it is still setting itself up (seen in a new Wine
// prefix and on a busy machine): the chooser tries again for up to 3 s.
const int kInitialFolderTries = 30;
const UINT kInitialFolderRetryMs = 100;

int TitleWidth(const CString& title) {
    ScopedWindowDC screen(nullptr);
    HFONT font = g_uiFont != nullptr ? g_uiFont : (HFONT)::GetStockObject(DEFAULT_GUI_FONT);
    ScopedSelect select(screen.Get(), font);
    SIZE extent = {0, 0};
    ::GetTextExtentPoint32A(screen.Get(), title, title.GetLength(), &extent);
    return extent.cx;
}
}  // namespace

CString GetDocumentsFolder() {
    char path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path)))
        return CString();
    return CString(path);
}

UINT __cdecl FolderSelectThreadProc(LPVOID param) {
    std::unique_ptr<FolderSelectJob> job(static_cast<FolderSelectJob*>(param));
    ImagePanelState& state = *job->state;
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    GuardOperation(7220, [&] {
        std::unique_ptr<DlgFolderSelect> dialog(new DlgFolderSelect(*job));
        if (dialog->Create(IDD_FOLDER_SELECT, CWnd::FromHandle(job->bar))) {
            dialog->ShowWindow(SW_SHOW);  // runs the whole chooser
            if (::IsWindow(job->bar)) ::SetFocus(job->bar);
            state.m_folderSelectDialog = nullptr;
            dialog->DestroyWindow();
        }
    });
    state.m_folderSelectDialog = nullptr;
    state.m_ignoreFolderSelChange = 0;  // closed while it still tried to select its first folder
    if (SUCCEEDED(com)) ::CoUninitialize();
    state.m_folderSelectOpen = 0;
    return 1;
}

BEGIN_MESSAGE_MAP(DlgFolderSelect, CDialog)
    ON_WM_SHOWWINDOW()
    ON_WM_TIMER()
END_MESSAGE_MAP()

DlgFolderSelect::DlgFolderSelect(const FolderSelectJob& job)
    : CDialog(IDD_FOLDER_SELECT, nullptr), m_browse(this, *job.state), m_owner(job.bar), m_settings(job) {
    ::ZeroMemory(&m_browseInfo, sizeof(m_browseInfo));
    m_browseInfo.hwndOwner = job.bar;
    m_browseInfo.lpfn = BrowseCallback;
    m_browseInfo.lParam = reinterpret_cast<LPARAM>(this);
    lstrcpynA(m_initialFolder, job.browseFolder, MAX_PATH);
    m_chosenFolder[0] = '\0';
}

DlgFolderSelect::~DlgFolderSelect() = default;

void DlgFolderSelect::OnShowWindow(BOOL show, UINT status) {
    GuardOperation(7221, [&] {
        CDialog::OnShowWindow(show, status);
        if (!show || m_running) return;
        m_running = true;
        m_browseInfo.hwndOwner = m_hWnd;
        LPITEMIDLIST items = ::SHBrowseForFolderA(&m_browseInfo);
        ShowWindow(SW_HIDE);
        if (items != nullptr) {
            ::SHGetPathFromIDListA(items, m_chosenFolder);
            ::CoTaskMemFree(items);
        }
    });
}

int CALLBACK DlgFolderSelect::BrowseCallback(HWND window, UINT message, LPARAM lParam, LPARAM data) {
    DlgFolderSelect* self = reinterpret_cast<DlgFolderSelect*>(data);
    GuardOperation(7222, [&] {
        if (message == BFFM_INITIALIZED)
            self->OnBrowseInit(window);
        else if (message == BFFM_SELCHANGED)
            self->OnBrowseSelChanged(reinterpret_cast<LPITEMIDLIST>(lParam));
    });
    return 0;
}

void DlgFolderSelect::PostSettings(ImageBrowseSettingsUpdate* update) {
    if (!::PostMessage(m_owner, WM_IMAGEBROWSESETTINGS, 0, reinterpret_cast<LPARAM>(update))) delete update;
}

void DlgFolderSelect::OnBrowseInit(HWND window) {
    ImagePanelState& state = State();
    state.m_folderSelectDialog = window;
    m_browse.SubclassWindow(window);
    m_browse.FillFileTypes();
    m_settings.browseFolder = m_initialFolder;
    ImageBrowseSettingsUpdate* update = new ImageBrowseSettingsUpdate;
    update->fields = ImageBrowseSettingsUpdate::kFolder;
    update->folder = m_settings.browseFolder;
    PostSettings(update);
    m_shell = window;
    // Until the folder is selected, every selection is the chooser's or the shell's own and
    // starts no search: a tree that refused the folder is left on its root.
    state.m_ignoreFolderSelChange = 1;
    if (SelectInitialFolder() || ::GetFileAttributesA(m_initialFolder) == INVALID_FILE_ATTRIBUTES) {
        state.m_ignoreFolderSelChange = 0;
        return;
    }
    m_initialFolderTries = 1;
    SetTimer(kTimerInitialFolder, kInitialFolderRetryMs);
}

bool DlgFolderSelect::SelectInitialFolder() {
    ::SendMessage(m_shell, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(m_initialFolder));
    return m_shellSelection.CompareNoCase(m_initialFolder) == 0;
}

void DlgFolderSelect::OnBrowseSelChanged(LPITEMIDLIST items) {
    ImagePanelState& state = State();
    char path[MAX_PATH] = {};
    const bool isFolder = items != nullptr && ::SHGetPathFromIDListA(items, path) && path[0] != '\0';
    m_shellSelection = isFolder ? path : "";
    if (state.m_ignoreFolderSelChange || !isFolder) return;
    std::unique_ptr<ImageFolderRequest> request(new ImageFolderRequest);
    request->folder = path;
    request->fileTypeIndex = (UINT)m_browse.SelectedFileType();
    request->includeSubfolders =
        m_browse.m_checkSubfolders.m_hWnd != nullptr && m_browse.m_checkSubfolders.GetCheck() == BST_CHECKED;
    request->serial = ::InterlockedIncrement(&state.m_folderRequestPosted);
    m_lastRequest = request->serial;

    m_settings.browseFolder = path;
    ImageBrowseSettingsUpdate* update = new ImageBrowseSettingsUpdate;
    update->fields = ImageBrowseSettingsUpdate::kFolder;
    update->folder = m_settings.browseFolder;
    PostSettings(update);

    if (m_browse.m_checkDefaultFolder.m_hWnd != nullptr) {
        const bool isDefault = m_settings.browseFolder.CompareNoCase(m_settings.browseDefaultPath) == 0;
        m_browse.m_checkDefaultFolder.EnableWindow(!isDefault);
        m_browse.m_checkDefaultFolder.SetCheck(isDefault ? BST_CHECKED : BST_UNCHECKED);
    }
    if (::PostMessage(m_owner, WM_LOADIMAGEFOLDER, 0, reinterpret_cast<LPARAM>(request.get())))
        request.release();

    KillTimer(kTimerSearchProgress);
    m_tickCount = 0;
    m_dots = " ";
    if (m_browse.m_btnClose.m_hWnd != nullptr) m_browse.m_btnClose.SetWindowText("Stop Search");
    SetTimer(kTimerSearchProgress, 100);
}

void DlgFolderSelect::OnTimer(UINT_PTR id) {
    GuardOperation(7223, [&] {
        if (id == kTimerInitialFolder) {
            if (m_shell == nullptr || !::IsWindow(m_shell) || SelectInitialFolder() ||
                ++m_initialFolderTries >= kInitialFolderTries) {
                KillTimer(kTimerInitialFolder);
                State().m_ignoreFolderSelChange = 0;
            }
            return;
        }
        if (id != kTimerSearchProgress) {
            CDialog::OnTimer(id);
            return;
        }
        ImagePanelState& state = State();
        HWND shell = m_browse.m_hWnd;
        if (state.m_closeFolderSelect) {
            KillTimer(kTimerSearchProgress);
            if (shell != nullptr) ::PostMessage(shell, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        const int n = state.RecordCount();
        const int found = n > 0 ? n - 1 : 0;
        CString title;
        // A folder asked for but not begun yet (the panel waits for the last load's workers) is
        // still being searched: its count is not known yet.
        if (state.m_folderLoadRunning || state.m_folderRequestStarted < m_lastRequest) {
            m_dots += ".";
            title.Format(" Searching Images (%d)", found);
            title += m_dots;
            if (TitleWidth(title) > kMaxTitleWidth) m_dots = " ";
        } else {
            ++m_tickCount;
            title.Format(found == 1 ? " %d Image Found" : " %d Images Found", found);
            if (m_tickCount >= kFinishedTicks) {
                KillTimer(kTimerSearchProgress);
                if (m_browse.m_btnClose.m_hWnd != nullptr) m_browse.m_btnClose.SetWindowText("Close");
                ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
            }
        }
        if (shell != nullptr) ::SetWindowTextA(shell, title);
    });
}
