// DlgReadCD: the Read CD dialog. Mode 1 lists the drives and the lookup sources; OK starts the
// lookup worker on the chosen drive and the dialog shows its progress in the caption. An audio
// disc then brings mode 2 (the matches with a preview of the chosen one), a data disc of MP3
// files mode 3 (the track grid in place of the list and the preview). OK writes the chosen album
// or the grid's track list into the design as one undo step.
//
// The dialog and its worker share nothing but their scan (ReadCdScan): the dialog takes what the
// worker found on its 100 ms timer and copies it into its own state (g_discRecords, g_tocBuffer,
// the application's MP3 arrays). Cancel lets go of the scan; a worker still running finishes into
// a scan nobody reads, and its results are dropped with it.
#pragma once

#include <memory>
#include <type_traits>

#include "controls/AeroButton.h"
#include "controls/AeroCheck.h"
#include "controls/AeroDialog.h"
#include "controls/ListTrans.h"
#include "controls/AeroLabel.h"
#include "controls/AeroStatics.h"
#include "controls/IconListBox.h"
#include "controls/MessageBoxKind.h"
#include "disc/ReadCdState.h"

class CDiscTools;
class CGridMp3;
class View;

class DlgReadCD : public AeroDialog {
public:
    enum { kModeDrives = 1, kModeMatches = 2, kModeMp3 = 3 };

    // `drives` is the frame's drive list; `view` receives what is read (may be null: nothing is
    // written then).
    DlgReadCD(CWnd* parent, const CDiscTools& drives, View* view);
    ~DlgReadCD() override;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    void OnTimer(UINT_PTR id);
    void OnDestroy();
    BOOL OnHelpInfo(HELPINFO* info);
    void OnListSelChange();
    void OnListDoubleClick();
    void OnFreedb();
    void OnCdText();
    void OnCdPlayerIni();
    void OnMp3();
    void OnTimesOnly();
    void OnAdvanced();
    void OnMoveUp();
    void OnMoveDown();
    void OnHelpButton();

    int GetMode() const { return m_mode; }
    int GetChosenMatch() const { return m_chosenMatch; }
    CGridMp3* GetGrid() const { return m_grid.get(); }
    // The result the dialog closed with (also when it runs modeless), 0 while open.
    int GetCloseResult() const { return m_closeResult; }
    bool IsScanning() const { return m_scanning; }
    // The scan under way or last finished (null before the first start).
    ReadCdScan* GetScan() const { return m_scan.Get(); }

    // Settings of the scans this dialog starts: the disc database's silence time-out, the most
    // one reply and the whole lookup (query and records) may take, the poll interval, the server
    // a query falls back to, and the folder searched for the MP3 files of a data disc (empty: the
    // drive's root).
    DWORD m_queryTimeout = 20000;
    DWORD m_queryDeadline = 60000;
    DWORD m_lookupDeadline = 120000;
    DWORD m_queryPollInterval = 250;
    CCDDBSite m_defaultServer;
    CString m_mp3Root;

    CIconListBox m_list;
    CListTrans m_preview;  // shows the dialog's texture while disabled
    AeroLabel m_label;
    AeroLabel m_previewLabel;
    AeroLabel m_note;
    AeroGroupBox m_group;
    AeroCheck m_freedb;
    AeroCheck m_cdText;
    AeroCheck m_cdPlayerIni;
    AeroCheck m_mp3;
    AeroCheck m_timesOnly;
    AeroButton m_ok;
    AeroButton m_cancel;
    AeroButton m_help;
    AeroButton m_advanced;
    AeroButton m_moveUp;
    AeroButton m_moveDown;

    DECLARE_MESSAGE_MAP()

private:
    void PlaceDialog();
    void FillDriveList();
    void FindCdPlayerFile();
    void StartScan();
    void EnableDriveChoice(bool enable);
    void TakeMp3Progress();
    void ShowProgressCaption();
    void FinishScan(LONG status);
    void FinishMp3Grid();
    void ScanFinished(LONG status);
    void ShowMatches();
    void BuildPreview();
    void WriteMatch();
    void WriteMp3Tracks();
    void CreateGrid();
    void Close(int result);
    void ShowMessage(MessageBoxKind icon, const CString& text);
    CRect ControlRect(int id);

    const CDiscTools& m_drives;
    View* m_view;
    int m_mode = kModeDrives;
    int m_chosenMatch = -1;
    int m_mp3TagsTaken = 0;
    int m_mp3TimesTaken = 0;
    bool m_scanning = false;
    int m_closeResult = 0;
    CString m_dots;
    CString m_lastStatus;
    ReadCdScanRef m_scan;
    std::unique_ptr<CGridMp3> m_grid;
    CImageList m_images;
    // The icons of the grid's three buttons: the buttons show them, the dialog owns them.
    struct IconDeleter {
        void operator()(HICON icon) const { ::DestroyIcon(icon); }
    };
    std::unique_ptr<std::remove_pointer<HICON>::type, IconDeleter> m_gridIcons[3];
};

// The Read CD command of the running program: the dialog over the main window, modal.
void RunReadCdDialog(CWnd* parent, const CDiscTools& drives, View* view);
