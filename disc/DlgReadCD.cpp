// The Read CD dialog: drive choice, progress, matches with their preview, and the MP3 grid.
#include "disc/DlgReadCD.h"

#include "canvas/View.h"
#include "canvas/ViewHost.h"
#include "controls/AeroMessageBox.h"
#include "controls/DialogPositions.h"
#include "controls/ThemeResources.h"
#include "disc/AlbumTransfer.h"
#include "disc/DlgReadCDSettings.h"
#include "disc/GridMp3.h"
#include "disc/ReadCdSources.h"
#include "disc/ReadCdWorker.h"
#include "disc/ServerList.h"
#include "disc/SettingsLookup.h"
#include "framework/win/ScopedGdi.h"
#include "res/ReadCdIds.h"
#include "res/ResourceImages.h"

BEGIN_MESSAGE_MAP(DlgReadCD, AeroDialog)
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_WM_HELPINFO()
    ON_LBN_SELCHANGE(IDC_READCD_LIST, OnListSelChange)
    ON_LBN_DBLCLK(IDC_READCD_LIST, OnListDoubleClick)
    ON_BN_CLICKED(IDC_READCD_FREEDB, OnFreedb)
    ON_BN_CLICKED(IDC_READCD_CDTEXT, OnCdText)
    ON_BN_CLICKED(IDC_READCD_CDPLAYER, OnCdPlayerIni)
    ON_BN_CLICKED(IDC_READCD_MP3, OnMp3)
    ON_BN_CLICKED(IDC_READCD_TIMES_ONLY, OnTimesOnly)
    ON_BN_CLICKED(IDC_READCD_ADVANCED, OnAdvanced)
    ON_BN_CLICKED(IDC_READCD_MOVE_UP, OnMoveUp)
    ON_BN_CLICKED(IDC_READCD_MOVE_DOWN, OnMoveDown)
    ON_BN_CLICKED(IDC_READCD_HELP, OnHelpButton)
END_MESSAGE_MAP()

namespace {

const int kCaptionWidthLimit = 325;
const int kDriveIcon = 2;
const int kNotFoundIcon = 3;

// The controls of the drive choice that a scan disables and that go once it has finished.
const int kSourceChecks[4] = {IDC_READCD_FREEDB, IDC_READCD_CDTEXT, IDC_READCD_CDPLAYER, IDC_READCD_MP3};

CString DriveEntry(const CString& label) {
    return "Drive [" + label + "]";
}

}  // namespace

DlgReadCD::DlgReadCD(CWnd* parent, const CDiscTools& drives, View* view)
    : AeroDialog(IDD_READCD, parent), m_drives(drives), m_view(view) {
    m_defaultServer = DefaultServerSite();
}

DlgReadCD::~DlgReadCD() {
    if (m_scan) m_scan->Cancel();
}

// ---- opening ------------------------------------------------------------------------------------

BOOL DlgReadCD::OnInitDialog() {
    GuardOperation(9200, [&] {
        AeroDialog::OnInitDialog();
        PlaceDialog();
        m_mode = kModeDrives;
        m_chosenMatch = -1;
        ReadCdState::Get().m_discMatch = -1;
        g_scanActive = 1;
        SetWindowText("Read CD");
        m_ok.SubclassDlgItem(IDOK, this);
        m_cancel.SubclassDlgItem(IDCANCEL, this);
        m_help.SubclassDlgItem(IDC_READCD_HELP, this);
        m_advanced.SubclassDlgItem(IDC_READCD_ADVANCED, this);
        for (AeroButton* b : {&m_ok, &m_cancel, &m_help, &m_advanced}) b->GenerateBackground(6, 8, 10, 0, 0);
        m_moveUp.SubclassDlgItem(IDC_READCD_MOVE_UP, this);
        m_moveDown.SubclassDlgItem(IDC_READCD_MOVE_DOWN, this);
        m_label.SubclassDlgItem(IDC_READCD_LABEL, this);
        m_previewLabel.SubclassDlgItem(IDC_READCD_PREVIEW_LABEL, this);
        m_note.SubclassDlgItem(IDC_READCD_NOTE, this);
        m_group.SubclassDlgItem(IDC_READCD_GROUP, this);
        m_freedb.SubclassDlgItem(IDC_READCD_FREEDB, this);
        m_cdText.SubclassDlgItem(IDC_READCD_CDTEXT, this);
        m_cdPlayerIni.SubclassDlgItem(IDC_READCD_CDPLAYER, this);
        m_mp3.SubclassDlgItem(IDC_READCD_MP3, this);
        m_timesOnly.SubclassDlgItem(IDC_READCD_TIMES_ONLY, this);
        m_preview.SubclassDlgItem(IDC_READCD_PREVIEW, this);
        m_preview.SetExtendedStyle(LVS_EX_FULLROWSELECT);
        m_list.SubclassDlgItem(IDC_READCD_LIST, this);
        m_images.Attach(ImageList_LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_READCD_IMAGES),
                                             32, 0, RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION));
        m_list.SetImageList(m_images.GetSafeHandle() ? &m_images : nullptr);
        FillDriveList();
        m_label.SetWindowText("Select the CD-Rom drive.");
        FindCdPlayerFile();
        m_freedb.SetCheck(g_useFreedb ? BST_CHECKED : BST_UNCHECKED);
        m_cdText.SetCheck(g_useCdText ? BST_CHECKED : BST_UNCHECKED);
        m_cdPlayerIni.SetCheck(g_useCdPlayerIni ? BST_CHECKED : BST_UNCHECKED);
        m_mp3.SetCheck(g_useMp3 ? BST_CHECKED : BST_UNCHECKED);
    });
    return TRUE;
}

void DlgReadCD::PlaceDialog() {
    POINT& pos = g_dialogPositions[kReadCdDialogPos];
    CRect rect;
    GetWindowRect(&rect);
    if (pos.x < 0) {
        CWnd* owner = GetParent();
        CRect area;
        if (owner && owner->m_hWnd)
            owner->GetWindowRect(&area);
        else
            SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        pos.x = area.left + (area.Width() - rect.Width()) / 2;
        pos.y = area.top + (area.Height() - rect.Height()) / 2;
    }
    SetWindowPos(nullptr, pos.x, pos.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DlgReadCD::FillDriveList() {
    ReadCdState& state = ReadCdState::Get();
    m_list.ResetContent();
    for (int i = 0; i < m_drives.GetDriveCount(); ++i)
        m_list.AddString(DriveEntry(m_drives.GetDriveLabel(i)), kDriveIcon);
    int chosen = -1;
    if (!g_lastDrive.IsEmpty()) {
        for (int i = 0; i < m_list.GetCount() && chosen < 0; ++i) {
            CString text;
            m_list.GetText(i, text);
            if (text == g_lastDrive) chosen = i;
        }
    }
    if (chosen >= 0)
        state.m_cdDriveIndex = chosen;
    else if (state.m_cdDriveIndex < 0 || state.m_cdDriveIndex >= m_list.GetCount())
        state.m_cdDriveIndex = 0;
    m_list.SetCurSel(chosen >= 0 ? chosen : state.m_cdDriveIndex);
}

void DlgReadCD::FindCdPlayerFile() {
    if (g_cdPlayerPath.IsEmpty()) {
        char module[MAX_PATH] = {0};
        GetModuleFileNameA(nullptr, module, MAX_PATH);
        const CString drive = CString(module).Left(2);
        for (const char* tail : {"\\Windows\\cdplayer.ini", "\\WINNT\\cdplayer.ini"}) {
            if (CanOpenForReading(drive + tail)) {
                g_cdPlayerPath = drive + tail;
                break;
            }
        }
        if (g_cdPlayerPath.IsEmpty()) g_useCdPlayerIni = 0;
    }
    if (g_useCdPlayerIni && !CanOpenForReading(g_cdPlayerPath)) g_useCdPlayerIni = 0;
}

// ---- the scan -----------------------------------------------------------------------------------

void DlgReadCD::OnOK() {
    GuardOperation(9201, [&] {
        if (m_scanning) return;
        if (m_mode == kModeDrives)
            StartScan();
        else if (m_mode == kModeMatches)
            WriteMatch();
        else if (m_mode == kModeMp3)
            WriteMp3Tracks();
    });
}

void DlgReadCD::StartScan() {
    ReadCdState& state = ReadCdState::Get();
    state.m_workerResult = kScanRunning;
    state.m_mp3FileCount = 0;
    state.m_mp3Names.RemoveAll();
    state.m_mp3TagTexts.RemoveAll();
    state.m_mp3Times.RemoveAll();
    m_mp3TagsTaken = m_mp3TimesTaken = 0;
    EnableDriveChoice(false);
    g_scanError.Empty();
    g_scanStatus = " Scanning CD ";
    m_dots.Empty();
    m_lastStatus = g_scanStatus;
    SetWindowText(g_scanStatus);

    if (m_scan) m_scan->Cancel();
    ReadCdScan* scan = ReadCdScan::Create();
    m_scan.Reset(scan);
    scan->m_drives = new CDiscTools;
    scan->m_drives->InitFrom(m_drives);
    scan->m_driveIndex = state.m_cdDriveIndex;
    scan->m_useFreedb = g_useFreedb != 0;
    scan->m_useCdText = g_useCdText != 0;
    scan->m_useCdPlayerIni = g_useCdPlayerIni != 0;
    scan->m_useMp3 = g_useMp3 != 0;
    scan->m_cdPlayerPath = g_cdPlayerPath;
    scan->m_server = g_currentServer;
    scan->m_defaultServer = m_defaultServer;
    scan->m_queryTimeout = m_queryTimeout;
    scan->m_queryDeadline = m_queryDeadline;
    scan->m_lookupDeadline = m_lookupDeadline;
    scan->m_queryPollInterval = m_queryPollInterval;
    scan->m_mp3Root = m_mp3Root.IsEmpty() ? m_drives.GetDriveLabel(state.m_cdDriveIndex) + "\\" : m_mp3Root;
    scan->m_statusText = g_scanStatus;
    m_scanning = true;
    SetTimer(IDT_READCD_POLL, 100, nullptr);
    if (!StartReadCdWorker(scan)) {
        ReadCdScan::Lock lock(*scan);
        scan->m_status = kScanNoToc;
        scan->m_workerDone = true;
    }
}

void DlgReadCD::EnableDriveChoice(bool enable) {
    m_list.EnableWindow(enable);
    for (int id : kSourceChecks) GetDlgItem(id)->EnableWindow(enable);
    m_note.EnableWindow(enable);
    m_ok.ShowWindow(enable ? SW_SHOW : SW_HIDE);
    m_advanced.ShowWindow(enable ? SW_SHOW : SW_HIDE);
}

void DlgReadCD::OnTimer(UINT_PTR id) {
    if (id != IDT_READCD_POLL) {
        AeroDialog::OnTimer(id);
        return;
    }
    GuardOperation(9202, [&] {
        if (!m_scan || !m_scanning) return;
        ReadCdState& state = ReadCdState::Get();
        LONG status;
        bool workerDone;
        {
            ReadCdScan::Lock lock(*m_scan);
            status = m_scan->m_status;
            workerDone = m_scan->m_workerDone;
            g_scanStatus = m_scan->m_statusText;
            g_scanError = m_scan->m_errorText;
        }
        if (status == kScanRunning) {
            TakeMp3Progress();
            if (state.m_mp3FileCount > 0 && m_mp3TimesTaken == state.m_mp3FileCount) {
                state.m_mp3TagTexts.RemoveAll();
                status = kScanDone;
            } else if (workerDone) {
                // The worker ended without a word (it could not go on): as an unreadable disc.
                status = state.m_mp3FileCount > 0 ? kScanDone : kScanNoToc;
            }
        }
        if (status == kScanRunning) {
            ShowProgressCaption();
            return;
        }
        state.m_workerResult = status;
        FinishScan(status);
    });
}

void DlgReadCD::TakeMp3Progress() {
    ReadCdState& state = ReadCdState::Get();
    CStringArray tags, times;
    int count;
    {
        ReadCdScan::Lock lock(*m_scan);
        count = m_scan->m_mp3FileCount;
        if (count > 0 && state.m_mp3FileCount == 0) state.m_mp3Names.Copy(m_scan->m_mp3Names);
        for (INT_PTR i = m_mp3TagsTaken; i < m_scan->m_mp3TagTexts.GetSize(); ++i)
            tags.Add(m_scan->m_mp3TagTexts[i]);
        for (INT_PTR i = m_mp3TimesTaken; i < m_scan->m_mp3Times.GetSize(); ++i)
            times.Add(m_scan->m_mp3Times[i]);
    }
    if (count == 0) return;
    if (state.m_mp3FileCount == 0) {
        state.m_mp3FileCount = count;
        CreateGrid();
    }
    if (!m_grid) return;
    m_grid->SetRedraw(FALSE);
    for (INT_PTR i = 0; i < tags.GetSize(); ++i) {
        state.m_mp3TagTexts.Add(tags[i]);
        if (!tags[i].IsEmpty()) m_grid->SetTagText(m_mp3TagsTaken, tags[i], g_useMp3Tag != 0);
        ++m_mp3TagsTaken;
    }
    for (INT_PTR i = 0; i < times.GetSize(); ++i) {
        state.m_mp3Times.Add(times[i]);
        m_grid->SetTime(m_mp3TimesTaken++, times[i]);
    }
    m_grid->SetRedraw(TRUE);
    m_grid->Invalidate();
}

void DlgReadCD::CreateGrid() {
    ReadCdState& state = ReadCdState::Get();
    const CRect listRect = ControlRect(IDC_READCD_LIST);
    const CRect previewRect = ControlRect(IDC_READCD_PREVIEW);
    const CRect area(listRect.left, listRect.top, previewRect.right, previewRect.bottom);
    m_grid.reset(new CGridMp3);
    m_grid->CreateGrid(this, area, IDC_READCD_GRID);
    m_grid->SetUp(state.m_mp3Names);
    m_mode = kModeMp3;
    m_label.SetWindowText("MP3 Track Information");
    for (int id : kSourceChecks) GetDlgItem(id)->ShowWindow(SW_HIDE);
    for (CWnd* w :
         {(CWnd*)&m_group, (CWnd*)&m_note, (CWnd*)&m_previewLabel, (CWnd*)&m_list, (CWnd*)&m_preview})
        w->ShowWindow(SW_HIDE);
    m_grid->ShowWindow(SW_SHOW);
}

void DlgReadCD::ShowProgressCaption() {
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    m_dots += ".";
    if (g_scanStatus != m_lastStatus) {
        m_dots.Empty();
        m_lastStatus = g_scanStatus;
    }
    const CString caption = g_scanStatus + m_dots;
    SetWindowText(caption);
    CClientDC dc(this);
    CFont* font = GetFont();
    ScopedSelect selectFont(dc.GetSafeHdc(), font ? font->GetSafeHandle() : nullptr);
    const CSize extent = dc.GetTextExtent(caption);
    if (extent.cx > kCaptionWidthLimit) m_dots.Empty();
}

void DlgReadCD::FinishScan(LONG status) {
    KillTimer(IDT_READCD_POLL);
    m_scanning = false;
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    {
        // What the finished scan found becomes the dialog's: the table of contents, the
        // matches and the server a failed connection moved to.
        ReadCdScan::Lock lock(*m_scan);
        memcpy(g_tocBuffer, m_scan->m_toc, sizeof(g_tocBuffer));
        ClearDiscRecords();
        for (CCDDBRecord* r : m_scan->TakeRecords()) g_discRecords.Add(r);
        if (m_scan->m_serverFellBack) g_currentServer = m_scan->m_fallbackServer;
    }
    const CString error = g_scanError;
    if (m_mode == kModeMp3)
        FinishMp3Grid();
    else
        ScanFinished(status);
    if (!error.IsEmpty()) ShowMessage(kBoxError, error);
}

void DlgReadCD::FinishMp3Grid() {
    ReadCdState& state = ReadCdState::Get();
    if (m_grid) m_grid->FitColumns();
    CString caption;
    caption.Format(" Found %d Tracks", state.m_mp3FileCount);
    SetWindowText(caption);
    m_ok.SetWindowText("OK");
    m_ok.ShowWindow(SW_SHOW);
    // The grid's buttons along the bottom, right of "?".
    const CRect help = ControlRect(IDC_READCD_HELP);
    const int gap = help.left, width = help.Width() + help.Width() / 2;
    struct Item {
        AeroButton* button;
        int icon;
        const char* tip;
    } items[3] = {{&m_moveUp, 16, "Move Row Up"},
                  {&m_moveDown, 17, "Move Row Down"},
                  {&m_advanced, 19, "Sort Track Names"}};
    int x = help.right + gap / 2;
    for (int i = 0; i < 3; ++i) {
        Item& item = items[i];
        item.button->SetWindowText("");
        item.button->SetWindowPos(nullptr, x, help.top, width, help.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        item.button->GenerateBackground(6, 8, 10, 0, 0);
        if (g_menuImageList) {
            m_gridIcons[i].reset(ImageList_GetIcon(g_menuImageList, item.icon, ILD_TRANSPARENT));
            item.button->SetIcon(m_gridIcons[i].get(), nullptr);
        }
        item.button->SetTooltipText(item.tip);
        item.button->ShowWindow(SW_SHOW);
        x += width + gap / 2;
    }
}

void DlgReadCD::ScanFinished(LONG status) {
    if (status == kScanNoMusic) {
        ShowMessage(kBoxError, " \r\nThe CD does not contain any music tracks.");
        g_scanActive = 0;
        Close(IDOK);
        return;
    }
    if (status == kScanNoToc) {
        AeroMessageBox box(this);
        box.m_iconKind = kBoxWarning;
        box.m_caption.Empty();
        box.m_message = "The CD-ROM drive is not ready.";
        box.AddButton("Retry", 1, 1);
        box.AddButton("Cancel", 2, 0);
        if (box.DoModal() == 1) {
            StartScan();
            return;
        }
        g_scanActive = 1;
        EnableDriveChoice(true);
        SetWindowText("Read CD");
        return;
    }
    m_ok.SetWindowText("OK");
    if (!g_useFreedb && !g_useCdText && !g_useCdPlayerIni) {
        // Nothing to choose from: the track times go in at once.
        if (m_view) {
            const int disc = ChooseTransferDisc(*m_view);
            if (disc >= 0)
                TransferDiscToDesign(*m_view, g_tocBuffer, nullptr, disc);
            else
                m_view->RefreshView();
        }
        g_scanActive = 0;
        Close(IDOK);
        return;
    }
    ShowMatches();
}

// ---- matches ------------------------------------------------------------------------------------

void DlgReadCD::ShowMatches() {
    m_mode = kModeMatches;
    const int count = (int)g_discRecords.GetSize();
    CString caption;
    if (count == 0)
        caption = " No matches were found";
    else
        caption.Format(count == 1 ? " Found %d match" : " Found %d matches", count);
    SetWindowText(caption);
    for (int id : kSourceChecks) GetDlgItem(id)->ShowWindow(SW_HIDE);
    m_group.ShowWindow(SW_HIDE);
    m_note.ShowWindow(SW_HIDE);
    m_ok.ShowWindow(SW_SHOW);
    m_list.EnableWindow(TRUE);
    m_list.ResetContent();
    const CRect listRect = ControlRect(IDC_READCD_LIST);
    const CRect previewRect = ControlRect(IDC_READCD_PREVIEW);
    CRect grown(listRect.left, listRect.top, previewRect.right, previewRect.bottom);
    if (count == 0) {
        m_list.MoveWindow(&grown);
        m_list.AddString("The album information could not be found.\r\nThe track times will still be added.",
                         kNotFoundIcon);
        m_label.ShowWindow(SW_HIDE);
        m_previewLabel.ShowWindow(SW_HIDE);
    } else {
        grown.right = previewRect.left - 6;
        m_list.MoveWindow(&grown);
        m_label.SetWindowText("Match:");
        m_previewLabel.ShowWindow(SW_SHOW);
        m_timesOnly.ShowWindow(SW_SHOW);
        for (int i = 0; i < count; ++i) {
            CCDDBRecord* record = static_cast<CCDDBRecord*>(g_discRecords[i]);
            CString entry;
            entry.Format(" %d. [%s]", i + 1, (LPCSTR)record->m_source);
            m_list.AddString(entry, record->m_source == "Freedb" ? 0 : 1);
        }
        m_chosenMatch = 0;
        ReadCdState::Get().m_discMatch = 0;
        m_preview.ShowWindow(SW_SHOW);
        while (m_preview.DeleteColumn(0)) {}
        m_preview.InsertColumn(0, "", LVCFMT_LEFT, 0);
        m_preview.InsertColumn(1, "", LVCFMT_LEFT, 58);
        m_preview.InsertColumn(2, "", LVCFMT_LEFT, 100);
        BuildPreview();
    }
    m_list.SetCurSel(0);
    m_ok.SetFocus();
}

void DlgReadCD::BuildPreview() {
    m_preview.SetRedraw(FALSE);
    m_preview.DeleteAllItems();
    const bool disabled = m_timesOnly.GetCheck() == BST_CHECKED;
    if (!disabled && m_chosenMatch >= 0 && m_chosenMatch < g_discRecords.GetSize()) {
        const CCDDBRecord* record = static_cast<CCDDBRecord*>(g_discRecords[m_chosenMatch]);
        CString year;
        if (record->m_year != 0) year.Format("%d", record->m_year);
        int row = 0;
        int widest = 0;
        auto addRow = [&](const CString& label, const CString& value) {
            m_preview.InsertItem(row, "");
            m_preview.SetItemText(row, 1, label);
            m_preview.SetItemText(row, 2, value);
            widest = std::max(widest, m_preview.GetStringWidth(value));
            ++row;
        };
        addRow("Artist:", record->m_artist);
        addRow("Title:", record->m_title);
        addRow("Year:", year);
        addRow("Genre:", record->m_genre);
        for (INT_PTR t = 0; t < record->m_trackTitles.GetSize(); ++t) {
            CString label, title = record->m_trackTitles[t];
            label.Format("Track %d:", (int)t + 1);
            title.Trim();
            addRow(label, title);
        }
        m_preview.SetColumnWidth(1, m_preview.GetStringWidth("Track 88:") + 14);
        m_preview.SetColumnWidth(2, widest + 15);
    }
    m_preview.SetRedraw(TRUE);
    m_preview.Invalidate();
}

void DlgReadCD::OnListSelChange() {
    GuardOperation(9203, [&] {
        const int index = m_list.GetCurSel();
        if (index < 0) return;
        if (m_mode == kModeDrives) {
            ReadCdState::Get().m_cdDriveIndex = index;
            m_list.GetText(index, g_lastDrive);
        } else if (m_mode == kModeMatches && g_discRecords.GetSize() > 0) {
            const int top = m_preview.GetTopIndex();
            m_chosenMatch = index;
            ReadCdState::Get().m_discMatch = index;
            BuildPreview();
            CRect row;
            if (top > 0 && m_preview.GetItemCount() > 0 && m_preview.GetItemRect(0, &row, LVIR_BOUNDS))
                m_preview.Scroll(CSize(0, top * row.Height()));
        }
    });
}

void DlgReadCD::OnListDoubleClick() {
    OnOK();
}

void DlgReadCD::OnTimesOnly() {
    GuardOperation(9204, [&] {
        const bool checked = m_timesOnly.GetCheck() == BST_CHECKED;
        m_list.EnableWindow(!checked);
        m_preview.EnableWindow(!checked);
        BuildPreview();
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE);
    });
}

// ---- writing ------------------------------------------------------------------------------------

void DlgReadCD::WriteMatch() {
    if (!m_view) {
        Close(IDCANCEL);
        return;
    }
    const int disc = ChooseTransferDisc(*m_view);
    if (disc < 0) {
        // No disc chosen: nothing is written and the user may choose again.
        m_view->RefreshView();
        return;
    }
    const bool useMatch = g_discRecords.GetSize() > 0 && m_timesOnly.GetCheck() != BST_CHECKED &&
                          m_chosenMatch >= 0 && m_chosenMatch < g_discRecords.GetSize();
    CCDDBRecord* record = useMatch ? static_cast<CCDDBRecord*>(g_discRecords[m_chosenMatch]) : nullptr;
    TransferDiscToDesign(*m_view, g_tocBuffer, record, disc);
    g_scanActive = 0;
    Close(useMatch ? IDCANCEL : IDOK);
}

void DlgReadCD::WriteMp3Tracks() {
    if (!m_grid || !m_view) {
        Close(IDCANCEL);
        return;
    }
    m_grid->HideEditor();
    const CString text = BuildMp3TrackListText(m_grid->GetRows());
    const int disc = ChooseTransferDisc(*m_view);
    if (disc < 0) {
        m_view->RefreshView();
        return;
    }
    TransferMp3ToDesign(*m_view, text, disc);
    g_scanActive = 0;
    Close(IDCANCEL);
}

// ---- the other buttons --------------------------------------------------------------------------

void DlgReadCD::OnFreedb() {
    g_useFreedb = m_freedb.GetCheck() == BST_CHECKED ? 1 : 0;
}

void DlgReadCD::OnCdText() {
    g_useCdText = m_cdText.GetCheck() == BST_CHECKED ? 1 : 0;
}

void DlgReadCD::OnMp3() {
    g_useMp3 = m_mp3.GetCheck() == BST_CHECKED ? 1 : 0;
}

void DlgReadCD::OnCdPlayerIni() {
    GuardOperation(9205, [&] {
        if (m_cdPlayerIni.GetCheck() != BST_CHECKED) {
            g_useCdPlayerIni = 0;
            return;
        }
        if (CanOpenForReading(g_cdPlayerPath)) {
            g_useCdPlayerIni = 1;
            return;
        }
        ShowMessage(kBoxWarning, "Please select a valid CDPlayer file in 'Advanced Settings'.");
        m_cdPlayerIni.SetCheck(BST_UNCHECKED);
    });
}

void DlgReadCD::OnAdvanced() {
    GuardOperation(9206, [&] {
        if (m_mode == kModeMp3) {
            if (m_grid && !m_scanning) m_grid->SortTrackNames();
            return;
        }
        DlgReadCDSettings settings(this);
        settings.DoModal();
        m_cdPlayerIni.SetCheck(g_useCdPlayerIni ? BST_CHECKED : BST_UNCHECKED);
    });
}

void DlgReadCD::OnMoveUp() {
    if (m_grid && !m_scanning) m_grid->MoveRow(true);
}

void DlgReadCD::OnMoveDown() {
    if (m_grid && !m_scanning) m_grid->MoveRow(false);
}

void DlgReadCD::OnHelpButton() {
    if (ViewHost* host = View::GetHost()) host->ShowHelpContext(m_hWnd, HELP_CONTEXT_READCD);
}

BOOL DlgReadCD::OnHelpInfo(HELPINFO*) {
    OnHelpButton();
    return TRUE;
}

BOOL DlgReadCD::PreTranslateMessage(MSG* msg) {
    // The grid's keys (Enter and Tab move the editor) come before the dialog's own.
    if (m_grid && m_grid->m_hWnd && msg->hwnd &&
        (msg->hwnd == m_grid->m_hWnd || ::IsChild(m_grid->m_hWnd, msg->hwnd)) &&
        m_grid->PreTranslateMessage(msg))
        return TRUE;
    return AeroDialog::PreTranslateMessage(msg);
}

// ---- closing ------------------------------------------------------------------------------------

void DlgReadCD::OnCancel() {
    g_scanActive = 0;
    // A worker still running ends into a scan nobody holds any more.
    if (m_scan) m_scan->Cancel();
    m_scan.Reset();
    Close(IDCANCEL);
}

void DlgReadCD::Close(int result) {
    m_closeResult = result;
    KillTimer(IDT_READCD_POLL);
    m_scanning = false;
    EndDialog(result);
}

void DlgReadCD::OnDestroy() {
    GuardOperation(9207, [&] {
        KillTimer(IDT_READCD_POLL);
        if (m_scan) m_scan->Cancel();
        m_scan.Reset();
        ClearDiscRecords();
        CRect rect;
        GetWindowRect(&rect);
        g_dialogPositions[kReadCdDialogPos].x = std::max(0L, rect.left);
        g_dialogPositions[kReadCdDialogPos].y = std::max(0L, rect.top);
        if (m_grid && m_grid->m_hWnd) m_grid->DestroyWindow();
    });
    AeroDialog::OnDestroy();
}

void DlgReadCD::ShowMessage(MessageBoxKind icon, const CString& text) {
    AeroMessageBox box(this);
    box.m_iconKind = icon;
    box.m_caption.Empty();
    box.m_message = text;
    box.AddButton("OK", 1, 1);
    box.DoModal();
}

CRect DlgReadCD::ControlRect(int id) {
    CRect rect;
    CWnd* control = GetDlgItem(id);
    if (!control) return rect;
    control->GetWindowRect(&rect);
    ScreenToClient(&rect);
    return rect;
}

void RunReadCdDialog(CWnd* parent, const CDiscTools& drives, View* view) {
    GuardOperation(9208, [&] {
        DlgReadCD dialog(parent, drives, view);
        dialog.DoModal();
    });
}
