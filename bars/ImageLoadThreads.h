// The image panel's two worker threads: the folder scan, which turns every matching file into an
// image record, and the thumbnail maker, which decodes the records of the visible cells.
#pragma once

#include <windows.h>

#include "bars/ImagePanelState.h"
#include "framework/Win.h"

// What the folder thread scans: its own copies, so that the pane may take a new folder while an
// old scan still ends. The thread deletes it.
struct FolderScanJob {
    ImagePanelState* state = nullptr;
    CString folder;
    CString patterns;
    bool includeSubfolders = false;
};

// What the thumbnail thread needs. The thread deletes it.
struct ThumbnailJob {
    ImagePanelState* state = nullptr;
    HWND mainWindow = nullptr;  // its DC is the one the white square is made compatible with
};

// Argument: a new FolderScanJob. Appends a record per file found, then the "[No Background]"
// record, and clears m_folderLoadRunning.
UINT __cdecl BackgroundFolderThreadProc(LPVOID job);
// Argument: a new ThumbnailJob. Decodes the records from m_thumbFirst to m_thumbLast + 2 until a
// pass ends with that window unchanged or a stop is asked; clears m_thumbLoadRunning, and takes it
// back to go on when the window moved while it did so.
UINT __cdecl ThumbnailThreadProc(LPVOID job);

// The size at which an image of w x h is drawn in the 110-pixel square: scaled down to fit when
// a side reaches the square, each side at least 10.
SIZE ComputeThumbnailSize(int width, int height);

// Starts a worker through the framework's thread starter at normal priority, with an object
// that is not deleted when the thread ends (so that its end can be waited for); null on failure.
CWinThread* StartPanelThread(AFX_THREADPROC proc, LPVOID param);
// Waits until none of the panel's threads runs, answering messages sent to this thread meanwhile
// (a thread may be waiting for one); then deletes the ended threads' objects. False when one
// still runs after `timeoutMs`.
bool WaitForPanelThreads(ImagePanelState& state, DWORD timeoutMs);
