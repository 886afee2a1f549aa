// The image panel's shared state: the list of image records that the folder scan fills and the
// thumbnail thread decodes, the flags through which the user-interface thread and the two worker
// threads (and the folder chooser's thread) follow each other, and the threads themselves. The
// application object inherits it; the panel reaches it through ImagePanelState::Get().
//
// The list and the thumbnail fields of its records are shared by three threads: every access to
// them holds m_imageRecordsMutex (ImageRecordsLock). A record's name, path and size are written
// once, before the record joins the list, and only read afterwards. Records are freed only by the
// user-interface thread while no worker runs.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "framework/Core.h"
#include "framework/win/ScopedGdi.h"

class CWinThread;

// The path that marks the last record of every folder, the "[No Background]" cell.
extern const char* const kNoBackgroundPath;
extern const char* const kNoBackgroundName;

// Record states.
enum ImageRecordState : signed char {
    kImageNew = 0,      // not decoded yet
    kImageWaiting = 1,  // the placeholder was drawn; waiting for the thumbnail
    kImageDecoded = 2,  // a thumbnail (or the white square) is ready
    kImageFailed = 3,   // the file could not be decoded
    kImageFinal = 4,    // the cell picture is complete
};

// One image of the panel.
struct ImageRecord {
    CString m_name;  // file name without folder; "[No Background]" for the last record
    CString m_path;  // full path; kNoBackgroundPath for the last record
    DWORD m_size = 0;
    ScopedBitmap m_whiteSquare;  // made by the thumbnail thread for the "[No Background]" record
    ScopedBitmap m_cellPicture;  // the finished cell, made on its first draw
    std::unique_ptr<Gdiplus::Image> m_thumbnail;
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    signed char m_state = kImageNew;
    int m_thumbWidth = 0;
    int m_thumbHeight = 0;

    bool IsNoBackground() const { return m_path == kNoBackgroundPath; }
};

// The record the chooser posts with WM_LOADIMAGEFOLDER; the receiver deletes it.
struct ImageFolderRequest {
    CString folder;
    UINT fileTypeIndex = 0;
    BYTE includeSubfolders = 0;
    LONG serial = 0;  // the chooser's count of requests (0: not from the chooser)
};

// The chooser's choices, posted to the Images bar (which writes the settings) with
// WM_IMAGEBROWSESETTINGS; the receiver deletes it.
struct ImageBrowseSettingsUpdate {
    enum : UINT { kFolder = 1, kFilter = 2, kSubfolders = 4, kDefaultPath = 8, kPosition = 16 };
    UINT fields = 0;  // which of the values below to store
    CString folder;
    BYTE filter = 0;
    BYTE subfolders = 0;
    CString defaultPath;
    POINT position = {0, 0};
};

// Posted to the Images bar: load a folder (lParam: ImageFolderRequest*).
const UINT WM_LOADIMAGEFOLDER = WM_USER + 76;
// Posted to the Images bar: store the chooser's choices (lParam: ImageBrowseSettingsUpdate*).
const UINT WM_IMAGEBROWSESETTINGS = WM_USER + 77;

struct ImagePanelState {
    ImagePanelState();
    ~ImagePanelState();
    ImagePanelState(const ImagePanelState&) = delete;
    ImagePanelState& operator=(const ImagePanelState&) = delete;

    // The records, owned; guarded by m_imageRecordsMutex.
    std::vector<ImageRecord*> m_imageRecords;
    mutable std::mutex m_imageRecordsMutex;

    volatile BYTE m_folderLoadRunning = 0;  // the folder thread runs
    // The thumbnail thread runs. The thread lets go of it only after a last look at the window, so
    // that a layout which saw it set is never left without a thread (ThumbnailThreadProc).
    volatile LONG m_thumbLoadRunning = 0;
    volatile BYTE m_folderSelectOpen = 0;   // the folder chooser's thread runs
    volatile BYTE m_stopFolderLoad = 0;     // asks the folder scan to stop
    volatile BYTE m_stopThumbLoad = 0;      // asks the thumbnail thread to stop
    volatile BYTE m_closeFolderSelect = 0;  // asks the folder chooser to close
    volatile BYTE m_collectImages = 0;      // the scan turns the files it finds into records
    volatile BYTE m_ignoreFolderSelChange = 0;
    volatile BYTE m_thumbReady = 0;  // a thumbnail was made since the last redraw pass
    volatile LONG m_thumbFirst = 0;  // the index window whose thumbnails are wanted
    volatile LONG m_thumbLast = 0;
    volatile HWND m_folderSelectDialog = nullptr;  // the shell's folder dialog while it is open
    // The chooser's requests: how many it posted, and the last one whose scan has begun (a request
    // may wait for the previous load's workers to end; until its scan begins it is still searching).
    volatile LONG m_folderRequestPosted = 0;
    volatile LONG m_folderRequestStarted = 0;

    // The threads (their objects are not auto-deleted, so that an ending panel can wait for them).
    CWinThread* m_folderThread = nullptr;
    CWinThread* m_thumbThread = nullptr;
    CWinThread* m_folderSelectThread = nullptr;

    // For tests, run on the thumbnail thread: before each picture is decoded, and when a pass
    // found the window unchanged, just before the thread lets go of m_thumbLoadRunning.
    std::function<void()> m_beforeThumbnailDecode;
    std::function<void()> m_beforeThumbnailLetGo;

    int RecordCount() const;
    // The record at the index (its pointer stays valid until the next FreeRecords), or null.
    ImageRecord* RecordAt(int index) const;
    void AppendRecord(std::unique_ptr<ImageRecord> record);
    // Frees every record and empties the list (user-interface thread, no worker running).
    void FreeRecords();
    // Gives back the cell pictures and thumbnails of the records outside [keepFirst, keepLast]
    // (user-interface thread): such a record is decoded again when it comes back into view, so
    // that the bitmaps held stay those of the cells near the view, however many were shown.
    void ReleasePicturesOutside(int keepFirst, int keepLast);
    // Deletes the objects of threads that have ended; true when none is left running.
    bool ReapThreads();
    // Whether the thread (may be null) still runs.
    static bool IsRunning(CWinThread* thread);

    static ImagePanelState* Get();
    static void Set(ImagePanelState* state);
};

// Holds the records' lock for a scope.
class ImageRecordsLock {
public:
    explicit ImageRecordsLock(const ImagePanelState& state) : m_lock(state.m_imageRecordsMutex) {}

private:
    std::lock_guard<std::mutex> m_lock;
};
