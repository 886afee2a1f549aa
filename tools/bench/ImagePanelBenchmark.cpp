// Measures the Images panel over the generated folder of 500 images: the time until the first
// 50 thumbnails are decoded, until all 500 are (the benchmark scrolls a page on whenever the
// visible window is done), and the longest time the user-interface thread spent on one message
// meanwhile (the scan and the decoding run on their own threads).
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "GuiSupport.h"
#include "ImageFolderFixture.h"
#include "ImagePanelFrame.h"

using namespace kvtest;

namespace {

double Now() {
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

int CountDecoded(ImagePanelState& state, int upTo) {
    ImageRecordsLock lock(state);
    int n = 0;
    const int count = std::min(upTo, (int)state.m_imageRecords.size());
    for (int i = 0; i < count; ++i)
        if (!state.m_imageRecords[i]->IsNoBackground() && state.m_imageRecords[i]->m_state >= kImageDecoded)
            ++n;
    return n;
}

void RunOnce(ImagePanelFrame* frame, const ImageFolderInfo& info, int round) {
    ImagePanelState& state = *ImagePanelState::Get();
    CImageView1& pane = frame->m_bar.m_imageView;
    // Each round starts from a panel at rest: the last round's thumbnail thread has ended.
    WaitForThumbnails();
    const double start = Now();
    pane.LoadImageFolder(info.root.c_str(), 0, true);
    double first50 = -1, all = -1, scanEnd = -1, longest = 0, longestQueue = 0;
    UINT longestMessage = 0;
    UINT_PTR longestTimer = 0;
    int messages = 0;
    // The loop dispatches every message itself and times each dispatch.
    while (Now() - start < 300000) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            const double t0 = Now();
            const DWORD posted = msg.time;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            const double spent = Now() - t0;
            if (spent > longest) {
                longest = spent;
                longestMessage = msg.message;
                longestTimer = msg.message == WM_TIMER ? msg.wParam : 0;
            }
            if (msg.message == WM_TIMER || msg.message == WM_PAINT) {
                // How late the queue handed this message over (timer and paint messages carry the
                // time they were made).
                const LONG late = (LONG)(GetTickCount() - posted);
                if (late > 0) longestQueue = std::max(longestQueue, (double)late);
            }
            ++messages;
        }
        if (pane.IsLoadPending()) {  // the last load's workers are still ending
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            continue;
        }
        const int n = state.RecordCount() - 1;
        if (scanEnd < 0 && !state.m_folderLoadRunning && n >= 0) scanEnd = Now() - start;
        const int decoded = CountDecoded(state, 600);
        if (first50 < 0 && decoded >= 50) first50 = Now() - start;
        if (scanEnd >= 0 && decoded >= n && n > 0) {
            all = Now() - start;
            break;
        }
        // When the window is done, the user would scroll on: a page down.
        if (!state.m_thumbLoadRunning && !state.m_folderLoadRunning && state.RecordCount() > 0)
            pane.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    printf(
        "round %d: scan of %d records %.0f ms; first 50 thumbnails %.0f ms; all %d thumbnails %.0f ms; "
        "longest message on the UI thread %.1f ms (message 0x%x, timer %u); longest queue delay %.0f ms; "
        "%d messages\n",
        round, state.RecordCount(), scanEnd, first50, state.RecordCount() - 1, all, longest, longestMessage,
        (unsigned)longestTimer, longestQueue, messages);
}

}  // namespace

int main() {
    InitPanelProgram();
    const double t0 = Now();
    const ImageFolderInfo info = MakeImageFolder("panel500", 500);
    printf("folder ready in %.0f ms (%d images)\n", Now() - t0, (int)info.allImages.size());
    ImagePanelFrame* frame = CreatePanelFrame(1180, 760, 620);
    if (frame == nullptr) return 1;
    for (int round = 1; round <= 3; ++round) RunOnce(frame, info, round);
    DestroyPanelFrame(frame);
    return 0;
}
