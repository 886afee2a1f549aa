// The New Project dialog's opening, not a test: the dialog opened on the built-in label templates
// (no startup design files, so every layout's picture is drawn) several times in one process.
// Prints one line per opening:
//   open=<n> shown_ms=<DoModal to the dialog shown and idle> usable_ms=<to a Down key handled>
//   pictures_ms=<to the last picture in the list> close_ms=<Escape pressed while pictures are
//   still being made, to DoModal's return; -1 when none were pending any more>
// The first opening starts cold (fonts, templates); KV_BENCH_OPENINGS sets how many (default 4).
// Run from its folder, pinned when other work shares the machine:
//   cd build/tools/bench && taskset -c 0,1 ../../wine-run ./new_project_benchmark.exe
#include <doctest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchmarkTiming.h"
#include "PrintTestSupport.h"
#include "TestSupport.h"
#include "canvas/ViewSettings.h"
#include "model/Folders.h"
#include "model/PageSizes.h"
#include "print/DlgNewDoc.h"
#include "res/PrintDialogsIds.h"

using namespace printtest;

namespace {

// Pictures still being made; a dialog that makes them all before it shows has none.
template <class D>
auto PendingOf(D& d, int) -> decltype(d.PicturesPending()) {
    return d.PicturesPending();
}
template <class D>
int PendingOf(D&, long) {
    return 0;
}

LARGE_INTEGER Now() {
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return t;
}

class TimedDialog;
TimedDialog* g_dialog = nullptr;

class TimedDialog : public DlgNewDoc {
public:
    using DlgNewDoc::DlgNewDoc;
    bool escapeAtOnce = false;
    LARGE_INTEGER start = {}, shown = {}, usable = {}, pictures = {}, escape = {};
    bool isShown = false, isUsable = false, havePictures = false;
    int pendingAtEscape = 0;
    UINT_PTR timer = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_KICKIDLE && !isShown) {
            isShown = true;
            shown = Now();
            if (escapeAtOnce) {
                // The dialog's own idle work first (it may set the pictures going there).
                const LRESULT result = DlgNewDoc::WindowProc(message, wParam, lParam);
                pendingAtEscape = PendingOf(*this, 0);
                escape = Now();
                ::PostMessageA(m_hWnd, WM_KEYDOWN, VK_ESCAPE, 1);
                return result;
            }
            // The key goes through the dialog's own loop, as a user's does.
            HWND list = ::GetDlgItem(m_hWnd, IDC_NEW_LIST);
            ::SetFocus(list);
            ::PostMessageA(list, WM_KEYDOWN, VK_DOWN, 1);
            ::PostMessageA(list, WM_KEYUP, VK_DOWN, 0xC0000001);
            timer = ::SetTimer(nullptr, 0, 1, Poll);
            Poll(nullptr, 0, 0, 0);
            return DlgNewDoc::WindowProc(message, wParam, lParam);
        }
        return DlgNewDoc::WindowProc(message, wParam, lParam);
    }

    static void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
        TimedDialog& d = *g_dialog;
        if (!d.isUsable && d.SendDlgItemMessage(IDC_NEW_LIST, LB_GETCURSEL) == 1) {
            d.isUsable = true;
            d.usable = Now();
        }
        if (!d.havePictures && PendingOf(d, 0) == 0) {
            // The last picture's message is handled before the count is read here.
            d.havePictures = true;
            d.pictures = Now();
        }
        if (d.isUsable && d.havePictures) {
            ::KillTimer(nullptr, d.timer);
            d.timer = 0;
            d.EndDialog(IDCANCEL);
        }
    }
};

}  // namespace

TEST_CASE("New Project opening") {
    EnsureResources();
    InitPaperTable();
    KorvanelleDocument templates;
    templates.CreateBuiltInTemplates();
    templates.discTemplateName = templates.FindTemplateNameOfKind(CString(), kCaseDisc);
    templates.coverTemplateName = templates.FindTemplateNameOfKind(CString(), kCaseJewel);
    const std::string folder = kvtest::TempDir("bench-new-project");
    g_openSaveFolder = g_programFolder = g_dataFolder = folder.c_str();
    g_caseKind = kCaseJewel;
    g_discLayout = kLayout1DiscTop;

    const char* count = std::getenv("KV_BENCH_OPENINGS");
    const int openings = count ? std::atoi(count) : 4;
    for (int n = 1; n <= openings; ++n) {
        double ms[4] = {0, 0, 0, -1};
        {
            TimedDialog dialog(&templates);
            g_dialog = &dialog;
            dialog.start = Now();
            dialog.DoModal();
            ms[0] = cvtest::Milliseconds(dialog.start, dialog.shown);
            ms[1] = cvtest::Milliseconds(dialog.start, dialog.usable);
            ms[2] = cvtest::Milliseconds(dialog.start, dialog.pictures);
        }
        {
            TimedDialog dialog(&templates);
            g_dialog = &dialog;
            dialog.escapeAtOnce = true;
            dialog.DoModal();
            if (dialog.pendingAtEscape > 0) ms[3] = cvtest::Milliseconds(dialog.escape, Now());
        }
        g_dialog = nullptr;
        std::printf("open=%d shown_ms=%.1f usable_ms=%.1f pictures_ms=%.1f close_ms=%.1f\n", n, ms[0], ms[1], ms[2],
                    ms[3]);
        std::fflush(stdout);
    }
    templates.DeleteContents(true);
}
