// The folder scan and the thumbnail maker of the image panel.
#include "bars/ImageLoadThreads.h"

#include <memory>

#include "framework/core/DirReader.h"
#include "framework/win/ScopedGdi.h"
#include "framework/core/OperationError.h"
#include "model/ImageStream.h"

namespace {

const int kSquare = 110;  // the side of a cell's image square
const int kMinThumbSide = 10;

// Decodes one file into a thumbnail; fills the record's sizes and state under the lock.
void MakeThumbnail(ImagePanelState& state, ImageRecord* record) {
    std::unique_ptr<Gdiplus::Image> thumbnail;
    int width = 0, height = 0;
    SIZE size = {0, 0};
    bool decoded = false;
    {
        // Decoded from the file's bytes, as a picture inserted into the design is (no colour
        // management: the pixels as stored), so that a damaged file keeps no handle open.
        std::unique_ptr<Gdiplus::Bitmap> bitmap(DecodePictureFile(record->m_path));
        if (bitmap) {
            decoded = true;
            width = (int)bitmap->GetWidth();
            height = (int)bitmap->GetHeight();
            size = ComputeThumbnailSize(width, height);
            LargePictureWork work(static_cast<unsigned long long>(width) * height);
            Gdiplus::Image* made = bitmap->GetThumbnailImage((UINT)size.cx, (UINT)size.cy, nullptr, nullptr);
            if (made != nullptr && made->GetLastStatus() == Gdiplus::Ok)
                thumbnail.reset(made);
            else
                delete made;
        }
    }
    ImageRecordsLock lock(state);
    if (decoded) {
        record->m_imageWidth = width;
        record->m_imageHeight = height;
        record->m_thumbWidth = size.cx;
        record->m_thumbHeight = size.cy;
    }
    if (thumbnail) {
        record->m_thumbnail = std::move(thumbnail);
        record->m_state = kImageDecoded;
        state.m_thumbReady = 1;
    } else {
        record->m_state = kImageFailed;
    }
}

// The white square of the "[No Background]" record, compatible with the thread's DC.
void MakeWhiteSquare(ImagePanelState& state, ImageRecord* record, HDC threadDC) {
    ScopedBitmap square(::CreateCompatibleBitmap(threadDC, kSquare, kSquare));
    if (square) {
        ScopedMemoryDC memory(threadDC);
        ScopedSelect select(memory.Get(), square.Get());
        ::PatBlt(memory.Get(), 0, 0, kSquare, kSquare, WHITENESS);
    }
    ImageRecordsLock lock(state);
    record->m_thumbWidth = kSquare;
    record->m_thumbHeight = kSquare;
    record->m_whiteSquare = std::move(square);
    record->m_state = kImageDecoded;
    state.m_thumbReady = 1;
}

}  // namespace

SIZE ComputeThumbnailSize(int width, int height) {
    SIZE size = {width, height};
    const double c = kSquare;
    if (width >= kSquare || height >= kSquare) {
        if (width > height) {
            size.cx = kSquare;
            size.cy = (int)(c / width * height);
        } else if (width < height) {
            size.cx = (int)(width * (c / height));
            size.cy = kSquare;
        } else {
            size.cx = size.cy = kSquare;
        }
    }
    if (size.cx < kMinThumbSide) size.cx = kMinThumbSide;
    if (size.cy < kMinThumbSide) size.cy = kMinThumbSide;
    return size;
}

UINT __cdecl BackgroundFolderThreadProc(LPVOID param) {
    std::unique_ptr<FolderScanJob> job(static_cast<FolderScanJob*>(param));
    ImagePanelState& state = *job->state;
    GuardOperation(7250, [&] {
        CDirReader reader(&state.m_stopFolderLoad, &state.m_collectImages);
        reader.m_recurse = job->includeSubfolders;
        reader.m_onCollect = [&state](const CString& name, const CString& path, ULONGLONG size) {
            std::unique_ptr<ImageRecord> record(new ImageRecord);
            record->m_name = name;
            record->m_path = path;
            record->m_size = (DWORD)(size & 0xFFFFFFFFu);
            state.AppendRecord(std::move(record));
        };
        reader.ClearDirList();
        reader.ScanFolder(job->folder, job->patterns);
        reader.ClearDirList();
        reader.ClearFileList();
    });
    // The last cell of every folder, also after a stopped or failed scan.
    GuardOperation(7251, [&] {
        std::unique_ptr<ImageRecord> record(new ImageRecord);
        record->m_name = kNoBackgroundName;
        record->m_path = kNoBackgroundPath;
        state.AppendRecord(std::move(record));
    });
    state.m_folderLoadRunning = 0;
    return 1;
}

namespace {

// Decodes the window's records, pass after pass, until a pass ends with the window unchanged or a
// stop is asked. Returns the window of the last pass; `stopped` tells a stop.
void DecodeWindow(ImagePanelState& state, HDC threadDC, LONG& first, LONG& last, bool& stopped) {
    for (;;) {
        first = state.m_thumbFirst;
        last = state.m_thumbLast;
        bool moved = false;
        stopped = false;
        for (LONG i = first < 0 ? 0 : first; i <= last + 2 && !stopped && !moved; ++i) {
            ImageRecord* record = nullptr;
            signed char recordState = kImageNew;
            {
                ImageRecordsLock lock(state);
                if (i >= (LONG)state.m_imageRecords.size()) break;
                record = state.m_imageRecords[i];
                recordState = record->m_state;
            }
            if (recordState >= kImageDecoded) continue;
            if (state.m_beforeThumbnailDecode) state.m_beforeThumbnailDecode();
            if (record->IsNoBackground())
                MakeWhiteSquare(state, record, threadDC);
            else
                MakeThumbnail(state, record);
            moved = state.m_thumbFirst != first || state.m_thumbLast != last;
            stopped = state.m_stopThumbLoad != 0;
        }
        if (stopped) return;
        if (!moved && state.m_thumbFirst == first && state.m_thumbLast == last) return;
    }
}

}  // namespace

UINT __cdecl ThumbnailThreadProc(LPVOID param) {
    std::unique_ptr<ThumbnailJob> job(static_cast<ThumbnailJob*>(param));
    ImagePanelState& state = *job->state;
    const bool finished = GuardOperation(7252, [&] {
        // One DC for the thread's whole life, given back once at its end.
        ScopedWindowDC threadDC(job->mainWindow);
        for (;;) {
            LONG first = 0, last = 0;
            bool stopped = false;
            DecodeWindow(state, threadDC.Get(), first, last, stopped);
            if (state.m_beforeThumbnailLetGo) state.m_beforeThumbnailLetGo();
            // A layout between the last look at the window and this point saw the flag still set
            // and left its new window to this thread: let go, then look once more, and take the
            // work back unless a new thread has taken it meanwhile.
            ::InterlockedExchange(&state.m_thumbLoadRunning, 0);
            if (stopped || state.m_stopThumbLoad) return;
            if (state.m_thumbFirst == first && state.m_thumbLast == last) return;
            if (::InterlockedCompareExchange(&state.m_thumbLoadRunning, 1, 0) != 0) return;
        }
    });
    if (!finished) ::InterlockedExchange(&state.m_thumbLoadRunning, 0);
    return 1;
}

CWinThread* StartPanelThread(AFX_THREADPROC proc, LPVOID param) {
    CWinThread* thread = AfxBeginThread(proc, param, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (thread == nullptr) return nullptr;
    thread->m_bAutoDelete = FALSE;
    // The object outlives the thread, so its start event can be waited for and closed here.
    thread->ResumeThread();
    if (thread->m_hEventStarted != nullptr) {
        ::WaitForSingleObject(thread->m_hEventStarted, INFINITE);
        ::CloseHandle(thread->m_hEventStarted);
        thread->m_hEventStarted = nullptr;
    }
    return thread;
}

bool WaitForPanelThreads(ImagePanelState& state, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        HANDLE handles[3];
        DWORD count = 0;
        for (CWinThread* thread : {state.m_folderThread, state.m_thumbThread, state.m_folderSelectThread}) {
            if (ImagePanelState::IsRunning(thread)) handles[count++] = thread->m_hThread;
        }
        if (count == 0) break;
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        const DWORD result =
            ::MsgWaitForMultipleObjects(count, handles, FALSE, timeoutMs - elapsed, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0 + count) {
            MSG msg;  // dispatches the messages sent to this thread, removes nothing
            ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        } else if (result == WAIT_FAILED) {
            return false;
        }
    }
    return state.ReapThreads();
}
