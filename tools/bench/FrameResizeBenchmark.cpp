// How long the running application takes from a maximise (and a restore) of its main frame to a
// complete picture: the clock starts when the system command is posted and stops when the frame
// is maximised (restored), no window of it waits for painting and the message queue and idle
// work ran empty. Then the time from inserting an 8000 x 8000 photo as the side's background to
// the canvas showing it. Run by hand:
//   build/wine-run build/tools/bench/bench_frame_resize.exe
#include <windows.h>

#include <algorithm>
#include <functional>
#include <cstdio>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/KorvanelleFrame.h"
#include "canvas/AppCanvasState.h"
#include "canvas/View.h"
#include "canvas/ViewSettings.h"
#include "framework/graphics/GdipImage.h"

namespace {

double Ms(const LARGE_INTEGER& a, const LARGE_INTEGER& b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

// Nothing of the application waits for painting and no redraw or layout is queued for the idle
// time (timers, such as the selection outline's, may still come).
bool Settled() {
    const AppCanvasState& state = AppCanvasState::Get();
    return !(HIWORD(GetQueueStatus(QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE)) &
             (QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE)) &&
           !state.m_redrawRequest && !state.m_relayoutRequest && state.m_queuedText.IsEmpty();
}

void Report(const char* what, std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::printf("%-32s median %7.1f ms  min %7.1f  max %7.1f  (%u runs)\n", what, v[v.size() / 2], v.front(),
                v.back(), static_cast<unsigned>(v.size()));
    std::fflush(stdout);
}

// An 8000 x 8000 photo-like JPEG.
bool WriteLargePhoto(const std::wstring& path) {
    Gdiplus::Bitmap bitmap(8000, 8000, PixelFormat24bppRGB);
    Gdiplus::Rect all(0, 0, 8000, 8000);
    Gdiplus::BitmapData data;
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat24bppRGB, &data) != Gdiplus::Ok) return false;
    for (int y = 0; y < 8000; ++y) {
        BYTE* row = static_cast<BYTE*>(data.Scan0) + y * data.Stride;
        for (int x = 0; x < 8000; ++x) {
            row[x * 3] = static_cast<BYTE>(x / 32 + ((x * y) >> 9));
            row[x * 3 + 1] = static_cast<BYTE>(y / 32);
            row[x * 3 + 2] = static_cast<BYTE>((x + y) / 64);
        }
    }
    bitmap.UnlockBits(&data);
    CLSID jpeg;
    if (!GetEncoderClsid(L"image/jpeg", &jpeg)) return false;
    return bitmap.Save(path.c_str(), &jpeg, nullptr) == Gdiplus::Ok;
}

}  // namespace

int main() {
    kvtest::TemporaryUserFolders folders;
    // Started on its design, as a user who turned New Project at start off.
    kvtest::RunningApp run([] { g_showNewProjectAtStart = 0; });
    if (!run.Started()) {
        std::printf("the application did not start\n");
        return 1;
    }
    KorvanelleFrame* frame = GetMainFrame();
    View* view = dynamic_cast<View*>(frame->GetActiveView());
    auto settle = [&](const std::function<bool()>& also) {
        return run.Pump([&] { return also() && Settled(); }, 30000);
    };
    frame->ShowWindow(SW_RESTORE);
    frame->SetWindowPos(nullptr, 0, 0, 900, 650, SWP_NOZORDER | SWP_NOACTIVATE);
    settle([] { return true; });

    std::vector<double> maximise, restore;
    for (int i = 0; i < 7; ++i) {
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        frame->PostMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
        if (!settle([&] { return frame->IsZoomed() != FALSE; })) std::printf("maximise did not settle\n");
        QueryPerformanceCounter(&b);
        maximise.push_back(Ms(a, b));
        QueryPerformanceCounter(&a);
        frame->PostMessage(WM_SYSCOMMAND, SC_RESTORE);
        if (!settle([&] { return frame->IsZoomed() == FALSE; })) std::printf("restore did not settle\n");
        QueryPerformanceCounter(&b);
        restore.push_back(Ms(a, b));
    }
    Report("maximise to a complete picture", maximise);
    Report("restore to a complete picture", restore);

    if (view) {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        const std::wstring path = std::wstring(temp) + L"kv-bench-8000.jpg";
        if (WriteLargePhoto(path)) {
            char narrow[MAX_PATH];
            WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, narrow, MAX_PATH, nullptr, nullptr);
            ViewObject* side = view->m_design.GetCurrentSide();
            LARGE_INTEGER a, b;
            QueryPerformanceCounter(&a);
            view->InsertImage(CRect(side->left, side->top, side->left + side->width, side->top + side->height),
                              narrow, true);
            // Shown: the picture decoded away from the user-interface thread has arrived too.
            settle([&] { return !view->HasPicturesPending(); });
            QueryPerformanceCounter(&b);
            std::printf("8000 x 8000 background inserted and shown: %.1f ms\n", Ms(a, b));
            DeleteFileW(path.c_str());
        } else {
            std::printf("could not write the 8000 x 8000 photo\n");
        }
    }
    run.Close();
    return 0;
}
