// Designs that hold much: thousands of texts on the front cover, or one picture 50 x 50 inches
// (far past the side) with a hue change. The running application opens the design as File >
// Open does, then takes zoom steps and a hue change through its message loop; each step is timed
// until the canvas has settled (nothing to paint, nothing queued, no picture or colour work
// pending), and the process's peak working set is read after it. One design per run (the peak
// is the process's), chosen by KV_BENCH_DESIGN: a number of texts (default 2000), "picture", or
// the Windows path of a .kvl file, which is opened as it is and shown at its disc label; a design
// of texts ends with a click in the middle of the side, as the user presses and lets go, and one
// beside the text it picked. Or "photos": one camera photo of 60 megapixels inserted (the memory
// it keeps), then a design of four 60 to 100 megapixel pictures on the front, back and disc
// opened and its sides shown in turn (how soon each side answers, the longest the canvas is held,
// when its pictures are all there, and the memory meanwhile and after), then its disc and front
// cover saved as images at 600 DPI with the back cover shown; last, the design opened again with
// its back cover shown and, while its photos decode, Save As Image's and the Print dialog opened
// from the menu (the Print dialog again once they are there), and Print Preview from the Print
// dialog (then Next Page to page 3, and Close back to the Print dialog): how soon each shows, the
// longest the window is held, and when its preview is whole; Print Preview's window maximised,
// and grown in 12 steps, while the disc's photo decodes for its page, maximised once it came, and
// grown in 12 steps on the back cover's page, whose photos the canvas holds decoded (a step's
// time; how many decodes were started); then a back cover's photo copied with Copy Object while they decode; then the disc saved as an image through Save As Image's dialog,
// the back cover's photos there, Save Image pressed once the preview is whole and again while it
// decodes; the Print dialog cancelled while its preview decodes (how long the process works on);
// last, the design opened five times with its back cover shown and Print Preview closed 0.3 s
// after it was chosen (how often a photo is then said to be too large, and how often one lacks on
// the side).
// From build/tools/bench (the program finds its resources there):
//   KV_BENCH_DESIGN=20000 ../../wine-run ./big_design_benchmark.exe
//   KV_BENCH_DESIGN=Z:/work/shared/data/large/design-20000-texts.kvl ../../wine-run ./big_design_benchmark.exe
// KV_BENCH_GUIDES=1 shows the guides from the start, as a saved setting does.
// KV_BENCH_PROFILE=STEP:FILE samples the steps whose name begins with STEP ("open", "zoom"; in
// the photos design until the step answers, Print Preview's "Next to page 3" and "Close" until
// they show, and its resizes, "12 steps" for instance, until it closes) into FILE
// (scripts/profile-report.py reads it).
#define PSAPI_VERSION 2
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "BenchmarkPhoto.h"
#include "AppTestSupport.h"
#include "HeldResources.h"
#include "SamplingProfiler.h"
#include "app/KorvanelleDoc.h"
#include "app/KorvanelleFrame.h"
#include "canvas/AppCanvasState.h"
#include "canvas/PictureDecodeJobs.h"
#include "canvas/View.h"
#include "canvas/ViewSettings.h"
#include "framework/docview/Preview.h"
#include "framework/graphics/GdipImage.h"
#include "model/PrintOptions.h"
#include "print/DlgPrint.h"
#include "print/DlgSaveAsImage.h"
#include "print/ImageExport.h"
#include "print/PrintSettings.h"
#include "print/PrintSidePages.h"
#include "render/CanvasSettings.h"
#include "render/RenderThreads.h"
#include "res/CommandIds.h"
#include "res/PrintDialogsIds.h"

namespace {

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

unsigned long PeakMegabytes() {
    return static_cast<unsigned long>(kvtest::PeakResidentBytes() >> 20);
}

unsigned long HeldMegabytes() {
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    return static_cast<unsigned long>(memory.WorkingSetSize >> 20);
}

// The most working set seen while it runs, read every 5 ms on a thread of its own: the peak of
// one step, the decoding threads' included, where the process's peak holds everything before.
class StepPeak {
public:
    StepPeak()
        : m_thread([this] {
              while (!m_stop) {
                  const unsigned long now = HeldMegabytes();
                  if (now > m_peak) m_peak = now;
                  Sleep(5);
              }
          }) {}
    ~StepPeak() {
        m_stop = true;
        m_thread.join();
    }
    void Reset() { m_peak = HeldMegabytes(); }
    unsigned long Peak() const { return m_peak; }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<unsigned long> m_peak{0};
    std::thread m_thread;
};

bool Settled(View* view) {
    const AppCanvasState& state = AppCanvasState::Get();
    return !(HIWORD(GetQueueStatus(QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE | QS_TIMER)) &
             (QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE)) &&
           !state.m_redrawRequest && !state.m_relayoutRequest && state.m_queuedText.IsEmpty() &&
           !state.m_hslThreadRunning && !state.m_hslResultReady && !state.m_hslRerun &&
           !view->HasPicturesPending();
}

// A digest of the canvas's off-screen pixels that the window shows: equal digests of two builds
// show that a change left the pictures as they were.
unsigned long long CanvasDigest(View* view) {
    DIBSECTION dib = {};
    HBITMAP bitmap = view->m_buffer.Bitmap();
    if (!bitmap || GetObject(bitmap, sizeof dib, &dib) != sizeof dib || !dib.dsBm.bmBits) return 0;
    const CRect area = view->ShownBufferArea();
    const BYTE* bits = static_cast<const BYTE*>(dib.dsBm.bmBits);
    unsigned long long h = 1469598103934665603ull;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left * 3; x < area.right * 3; ++x) {
            h ^= bits[static_cast<size_t>(y) * dib.dsBm.bmWidthBytes + x];
            h *= 1099511628211ull;
        }
    return h;
}

// Saves `design` to `path` when `ok` (its making went well), then frees both documents.
bool SaveAndFree(KorvanelleDocument& design, KorvanelleDocument& library, const CString& path, bool ok) {
    CFile file;
    if (ok && file.Open(path, CFile::modeCreate | CFile::modeWrite)) {
        design.Save(&file);
        file.Close();
    } else {
        ok = false;
    }
    design.DeleteContents(true);
    library.DeleteContents(true);
    return ok;
}

// The design written to `path`: the plain jewel case with `texts` texts spread over its front
// cover, or (texts 0) with a 2000 x 2000 photo 50 x 50 inches wide centred on it, hue +40.
bool WriteDesign(const CString& path, int texts, const std::wstring& photo) {
    KorvanelleDocument library, design;
    library.CreateBuiltInTemplates();
    design.CreateFromTemplates(library.templates[0], library.templates[1]);
    design.currentSideName = "Front Cover";
    ViewObject* front = design.FindObject("Front Cover");
    LabelTemplate* cover = design.GetCoverTemplate();
    bool ok = front && cover;
    unsigned seed = 12345;
    auto next = [&](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<unsigned>(range));
    };
    for (int i = 0; ok && i < texts; ++i) {
        CString name;
        name.Format("Text %d", i + 1);
        ViewObject* o = NewViewObject(kObjectText, name, front->side, front->name,
                                      front->left + next(front->width - 2000),
                                      front->top + next(front->height - 600), 2000, 600);
        o->alignment = "Left";
        o->wrapStyle = "Single-Line";
        o->SetText(name + "\b");
        const int n = o->GetCharCount();
        o->charFonts.SetSize(n);
        o->charColors.SetSize(n);
        o->charUnderlines.SetSize(n);
        o->charFonts[0] = ViewObject::NewDefaultFontRecord();
        cover->AddObject(o);
    }
    if (ok && texts == 0) {
        char narrow[MAX_PATH];
        WideCharToMultiByte(CP_ACP, 0, photo.c_str(), -1, narrow, MAX_PATH, nullptr, nullptr);
        ViewObject* o = NewViewObject(kObjectImage, "Image", front->side, front->name,
                                      front->left + front->width / 2 - 25000,
                                      front->top + front->height / 2 - 25000, 50000, 50000);
        ok = o->LoadImageFile(narrow, true);
        o->hue = 40;
        cover->AddObject(o);
    }
    return SaveAndFree(design, library, path, ok);
}

// The pictures of the photos design, written once into the temporary folder and kept for later
// runs: three camera photos (9504 x 6336) and a PNG of 10000 x 9990.
bool WritePhotos(std::wstring (&photos)[4]) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    for (int i = 0; i < 4; ++i) {
        photos[i] =
            std::wstring(temp) + L"kv-bench-photo-" + std::to_wstring(i) + (i == 0 ? L".png" : L".jpg");
        if (GetFileAttributesW(photos[i].c_str()) != INVALID_FILE_ATTRIBUTES) continue;
        const bool written = i > 0 ? kvbench::WritePhoto(photos[i], 9504, 6336, 24 + 8 * i)
                                   : kvbench::WritePhoto(photos[i], 10000, 9990, 40, L"image/png", true);
        if (!written) return false;
    }
    return true;
}

// The plain jewel case with the 10000 x 9990 PNG over its front cover, two photos side by side on
// its back cover and one over its disc; its bytes only, as a saved design holds them.
bool WritePhotoDesign(const CString& path, const std::wstring (&photos)[4]) {
    KorvanelleDocument library, design;
    library.CreateBuiltInTemplates();
    design.CreateFromTemplates(library.templates[0], library.templates[1]);
    design.currentSideName = "Front Cover";
    bool ok = true;
    auto place = [&](int photo, const char* sideName, int part, int parts) {
        ViewObject* side = design.FindObject(sideName);
        if (!side) {
            ok = false;
            return;
        }
        const int width = side->width / parts, height = side->IsDisc() ? side->width : side->height;
        ViewObject* o = NewViewObject(kObjectImage, "Image", side->side, side->name,
                                      side->left + part * width, side->top, width, height);
        design.AssignUniqueName(o);
        char narrow[MAX_PATH];
        WideCharToMultiByte(CP_ACP, 0, photos[photo].c_str(), -1, narrow, MAX_PATH, nullptr, nullptr);
        ok = ok && o->ReadImageFile(narrow);
        design.AddObject(o);
    };
    place(0, "Front Cover", 0, 1);
    place(1, "Disc 1", 0, 1);
    place(2, "Back Cover", 0, 2);
    place(3, "Back Cover", 1, 2);
    return SaveAndFree(design, library, path, ok);
}

double Since(double start) {
    return Now() - start;
}

// The longest the thread went between two ticks of a thread timer, from Start on.
struct Ticks {
    double last = 0, longest = 0;
    void Start(double now) { last = now, longest = 0; }
    void Tick(double now) { longest = std::max(longest, now - last), last = now; }
};

// A dialog a command opens, watched from its own modal loop by a thread timer every 10 ms: when
// it first shows painted (answer), the longest the thread went without a tick (held), and when
// `ready` says its preview is drawn whole (shown), upon which it is cancelled.
struct DialogWatch {
    const char* caption = nullptr;
    kvbench::SamplingProfiler* profiler = nullptr;  // sampling until the dialog shows, or null
    std::function<bool(CWnd*)> ready;
    Ticks ticks;
    double start = 0, answer = -1, shown = -1;
};
DialogWatch* g_watch = nullptr;

void CALLBACK WatchDialog(HWND, UINT, UINT_PTR, DWORD) {
    DialogWatch& w = *g_watch;
    const double now = Now();
    w.ticks.Tick(now);
    HWND dialog = FindWindowA("#32770", w.caption);
    if (!dialog || !IsWindowVisible(dialog) || !IsWindowEnabled(dialog) || w.shown >= 0) return;
    if (w.answer < 0 && !(HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT)) {
        w.answer = now - w.start;
        if (w.profiler) w.profiler->SetActive(false);
    }
    if (w.answer >= 0 && w.ready(CWnd::FromHandlePermanent(dialog))) {
        w.shown = now - w.start;
        PostMessage(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

// Print Preview chosen in the Print dialog, watched by a thread timer every 10 ms, in three legs:
// from the press of its Preview button, from the press of Next Page onto page 3 (page 2 shown
// whole before it), and from the press of Close until the Print dialog that comes back shows
// painted (then it is cancelled). Each leg: when the window first shows the page or the dialog
// (answer), the longest the thread went without a tick (held), and when the page shows whole
// (shown).
struct PrintPreviewLeg {
    Ticks ticks;  // until shown
    double start = 0, answer = -1, shown = -1;
    kvbench::SamplingProfiler* profiler = nullptr;  // sampling while the leg runs, or null
    void Start(double now) {
        start = now, ticks.Start(now);
        if (profiler) profiler->SetActive(true);
    }
    void Shown(double now) {
        shown = now - start;
        if (profiler) profiler->SetActive(false);
    }
};
struct PrintPreviewWatch {
    View* view = nullptr;
    PrintPreviewLeg open, next, close;
    UINT pageShown = 0;  // the last page seen whole
    double closeAfter = -1;  // closed this long after the press, whole or not (-1: once whole)
    bool pressed = false, closing = false, cancelled = false;
};
PrintPreviewWatch* g_printPreviewWatch = nullptr;

void CALLBACK WatchPrintPreview(HWND, UINT, UINT_PTR, DWORD) {
    PrintPreviewWatch& w = *g_printPreviewWatch;
    const double now = Now();
    for (PrintPreviewLeg* leg : {&w.open, &w.next, &w.close})
        if (leg->start > 0 && leg->shown < 0) leg->ticks.Tick(now);
    const bool painted = !(HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT);
    HWND dialog = FindWindowA("#32770", "Print");
    if (dialog && IsWindowVisible(dialog) && IsWindowEnabled(dialog)) {
        if (!w.pressed) {
            w.pressed = true;
            w.open.Start(now);
            PostMessage(dialog, WM_COMMAND, MAKEWPARAM(IDC_PRINT_PREVIEW, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_PRINT_PREVIEW)));
        } else if (w.closing && !w.cancelled && painted) {
            w.cancelled = true;
            w.close.answer = now - w.close.start;
            w.close.Shown(now);
            PostMessage(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        return;
    }
    CFrameWnd* frame = w.view->GetParentFrame();
    CPreviewView* preview = dynamic_cast<CPreviewView*>(frame->GetActiveView());
    if (w.pressed && !w.closing && preview && w.closeAfter >= 0 && now - w.open.start >= w.closeAfter) {
        w.closing = true;
        w.close.Start(now);
        frame->PostMessage(WM_COMMAND, AFX_ID_PREVIEW_CLOSE);
    }
    if (!w.pressed || w.closing || !preview || !preview->m_bPageRendered) return;
    const UINT page = preview->GetCurrentPage();
    PrintPreviewLeg& leg = page == 3 ? w.next : w.open;
    if (page == 2 || leg.shown >= 0) {
        if (page == 2 && !w.view->PrintPreviewPicturesPending() && w.pageShown < 2) {
            w.pageShown = 2;
            w.next.Start(now);
            frame->PostMessage(WM_COMMAND, AFX_ID_PREVIEW_NEXT);
        }
        return;
    }
    if (leg.answer < 0 && painted) leg.answer = now - leg.start;
    if (leg.answer >= 0 && !w.view->PrintPreviewPicturesPending()) {
        leg.Shown(now);
        w.pageShown = page;
        if (page == 3 || !preview->m_pPreviewInfo ||
            preview->GetCurrentPage() >= preview->m_pPreviewInfo->GetMaxPage()) {
            w.closing = true;
            w.close.Start(now);
            frame->PostMessage(WM_COMMAND, AFX_ID_PREVIEW_CLOSE);
        } else {
            frame->PostMessage(WM_COMMAND, AFX_ID_PREVIEW_NEXT);
        }
    }
}

// Print Preview chosen in the Print dialog and its window resized once the page first shows (or,
// `arrived`, once its pictures came and it is whole, the decodes counted from then on):
// maximised (steps 0), or grown by 30 x 20 pixels `steps` times, each step once the one before
// has painted; closed once the page is whole, and the Print dialog that comes back cancelled.
// From the first resize: when the page shows at the last size (answer), the longest the thread
// went without a tick (held), when the page is whole and drawn at that size (shown), and each
// step's time until painted.
struct ResizeWatch {
    View* view = nullptr;
    int steps = 0, done = 0;
    Ticks ticks;
    double start = 0, stepStart = 0, stepsMs = 0, longestStep = 0, answer = -1, shown = -1;
    bool pressed = false, closing = false, cancelled = false, arrived = false;
    std::atomic<int>* decodes = nullptr;
};
ResizeWatch* g_resizeWatch = nullptr;

void CALLBACK WatchResize(HWND, UINT, UINT_PTR, DWORD) {
    ResizeWatch& w = *g_resizeWatch;
    const double now = Now();
    if (w.start > 0 && w.shown < 0) w.ticks.Tick(now);
    const bool painted = !(HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT);
    HWND dialog = FindWindowA("#32770", "Print");
    if (dialog && IsWindowVisible(dialog) && IsWindowEnabled(dialog)) {
        if (!w.pressed) {
            w.pressed = true;
            PostMessage(dialog, WM_COMMAND, MAKEWPARAM(IDC_PRINT_PREVIEW, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_PRINT_PREVIEW)));
        } else if (w.closing && !w.cancelled) {
            w.cancelled = true;
            PostMessage(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        return;
    }
    CFrameWnd* frame = w.view->GetParentFrame();
    CPreviewView* preview = dynamic_cast<CPreviewView*>(frame->GetActiveView());
    if (!w.pressed || w.closing || !preview || !preview->m_bPageRendered || !painted) return;
    if (w.start == 0 && w.arrived) {
        if (w.view->PrintPreviewPicturesPending() || !preview->PageAtWindowSize()) return;
        *w.decodes = 0;
    }
    if (w.start == 0) w.start = now, w.ticks.Start(now);
    if (w.done > 0 && w.stepStart > 0) {
        w.stepsMs += now - w.stepStart;
        w.longestStep = std::max(w.longestStep, now - w.stepStart);
        w.stepStart = 0;
    }
    if (w.done < std::max(1, w.steps)) {
        w.stepStart = now;
        ++w.done;
        if (w.steps == 0) {
            frame->ShowWindow(SW_MAXIMIZE);
            return;
        }
        CRect r;
        frame->GetWindowRect(&r);
        frame->SetWindowPos(nullptr, 0, 0, r.Width() + 30, r.Height() + 20, SWP_NOZORDER | SWP_NOMOVE);
        return;
    }
    if (w.answer < 0) w.answer = now - w.start;
    if (w.view->PrintPreviewPicturesPending() || !preview->PageAtWindowSize()) return;
    w.shown = now - w.start;
    w.closing = true;
    frame->PostMessage(WM_COMMAND, AFX_ID_PREVIEW_CLOSE);
}

Ticks g_ticks;
void CALLBACK WatchTicks(HWND, UINT, UINT_PTR, DWORD) {
    g_ticks.Tick(Now());
}

// Whether a preview has drawn the design whole, its pictures there.
bool PreviewDrawn(AeroPreview& preview) {
    return preview.GetCleanSheet() != nullptr && !preview.PicturesPending();
}

// Save As Image watched by a thread timer every 10 ms: the disc label and 600 DPI chosen when the
// dialog shows, Save Image pressed once its preview is whole (or, `early`, while it decodes a
// picture), then the ticks from the press.
struct SaveWatch {
    Ticks ticks;
    double start = 0, answer = -1;
    bool chosen = false, early = false;
};
SaveWatch* g_saveWatch = nullptr;

void CALLBACK WatchSave(HWND, UINT, UINT_PTR, DWORD) {
    SaveWatch& w = *g_saveWatch;
    const double now = Now();
    if (w.start > 0) {
        w.ticks.Tick(now);
        if (w.answer < 0) w.answer = now - w.start;
        return;
    }
    HWND window = FindWindowA("#32770", "Save As Image");
    DlgSaveAsImage* dialog = window && IsWindowVisible(window)
                                 ? dynamic_cast<DlgSaveAsImage*>(CWnd::FromHandlePermanent(window))
                                 : nullptr;
    if (!dialog) return;
    if (!w.chosen) {
        w.chosen = true;
        dialog->m_images.SetCurSel(dialog->m_images.FindStringExact(-1, "Disc Label"));
        dialog->OnSelChangeImage();
        dialog->m_resolutions.SetCurSel(2);
        dialog->OnSelChangeResolution();
        return;
    }
    if (w.early ? !dialog->m_preview.PicturesPending() : !PreviewDrawn(dialog->m_preview)) return;
    w.start = now;
    w.ticks.Start(now);
    PostMessage(window, WM_COMMAND, IDOK, 0);
}

// The processor time the process has used so far off the window's thread (the calling one), in ms.
double ProcessorMs() {
    FILETIME created, ended, kernel, user, windowKernel, windowUser;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    HANDLE window = OpenThread(THREAD_QUERY_INFORMATION, FALSE, GetCurrentThreadId());
    GetThreadTimes(window, &created, &ended, &windowKernel, &windowUser);
    CloseHandle(window);
    const auto ms = [](const FILETIME& t) {
        return static_cast<double>(static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10000;
    };
    return ms(kernel) + ms(user) - ms(windowKernel) - ms(windowUser);
}

// How long the process goes on working off the window's thread after now: until the last 50 ms in
// which it used more than half a processor there (watched for 2 s past that).
double BusyAfter(kvtest::RunningApp& run) {
    const double start = Now();
    double slice = start, used = ProcessorMs(), busy = start;
    run.Pump(
        [&] {
            const double now = Now();
            if (now - slice >= 50) {
                const double cpu = ProcessorMs();
                if (cpu - used > (now - slice) / 2) busy = now;
                slice = now, used = cpu;
            }
            return now - busy > 2000;
        },
        30000);
    return busy - start;
}

int g_tooLargeBoxes = 0;

// The photos design's steps (see the file's head).
int RunPhotos(kvtest::RunningApp& run, KorvanelleFrame* frame, View* view, KorvanelleDoc* doc,
              const CString& root, const std::string& profiled, const std::string& profile) {
    std::wstring photos[4];
    const CString path = root + "\\Photos.kvl";
    if (!WritePhotos(photos) || !WritePhotoDesign(path, photos)) {
        std::printf("could not write the pictures or the design\n");
        return 1;
    }
    StepPeak peak;
    std::unique_ptr<kvbench::SamplingProfiler> profiler;
    // A message the program shows is printed (its first line, and the last when there are more:
    // the names of the pictures it is about) and answered with its first button.
    AfxSetMessageBoxHandler([](KvMessageBoxRequest& box) {
        const int end = box.text.Find('\r'), last = box.text.ReverseFind('\n');
        std::printf("  message: %s%s%s\n", static_cast<LPCSTR>(end < 0 ? box.text : box.text.Left(end)),
                    end < 0 ? "" : " ... ",
                    static_cast<LPCSTR>(end < 0 ? CString() : box.text.Mid(last + 1)));
        g_tooLargeBoxes += box.text.Find("too large") >= 0;
        return box.buttons.empty() ? IDOK : box.buttons.front().result;
    });
    std::printf("%-22s %9s %9s %9s %9s %9s\n", "step", "answer ms", "held ms", "shown ms", "peak MB",
                "held MB");
    // Each step is timed until the canvas has painted after it (answer), and until its pictures are
    // all there and nothing is pending (shown); the longest the message loop was kept from the
    // canvas meanwhile (held) is measured between its passes, which wait at most 10 ms.
    auto step = [&](const char* what, const std::function<void()>& act,
                    const std::function<bool()>& answered) {
        const bool sampled = !profile.empty() && !std::strncmp(what, profiled.c_str(), profiled.size());
        if (sampled && !profiler) profiler.reset(new kvbench::SamplingProfiler);
        if (profiler) profiler->SetActive(sampled);
        peak.Reset();
        const double a = Now();
        act();
        double last = Now(), longest = last - a, answer = -1;
        const bool settled = run.Pump(
            [&] {
                const double now = Now();
                longest = std::max(longest, now - last);
                last = now;
                const AppCanvasState& state = AppCanvasState::Get();
                if (answer < 0 && answered() && !(HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT) &&
                    !state.m_redrawRequest)
                    answer = now - a;
                if (answer >= 0 && profiler) profiler->SetActive(false);
                return answer >= 0 && Settled(view);
            },
            600000);
        std::printf("%-22s %9.0f %9.0f %9.0f %9lu %9lu%s\n", what, answer, longest, Since(a), peak.Peak(),
                    HeldMegabytes(), settled ? "" : "  (did not settle)");
        std::fflush(stdout);
    };
    const struct {
        const char* name;
        UINT command;
        const char* side;
    } shows[] = {{"show back cover", ID_VIEW_BACK_COVER, "Back Cover"},
                 {"show disc label", ID_VIEW_DISC_LABEL, "Disc 1"},
                 {"show front cover", ID_VIEW_FRONT_COVER, "Front Cover"},
                 {"show back cover", ID_VIEW_BACK_COVER, "Back Cover"}};
    auto showSides = [&](const char* suffix) {
        for (const auto& show : shows)
            step((CString(show.name) + suffix).GetString(),
                 [&] { frame->PostMessage(WM_COMMAND, show.command); },
                 [&] { return view->m_design.currentSideName == show.side; });
    };
    // The sides of the start design, which holds no picture: what a side switch costs anyway.
    showSides(" (plain)");
    view->SendMessage(WM_COMMAND, ID_VIEW_DISC_LABEL);
    // One photo inserted on the side the start design shows, as the Images bar does it.
    const unsigned long before = HeldMegabytes();
    char camera[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, photos[1].c_str(), -1, camera, MAX_PATH, nullptr, nullptr);
    step(
        "insert 60 MP photo",
        [&] {
            ViewObject* side = view->m_design.GetCurrentSide();
            view->InsertAsUndoStep([&] {
                return view->InsertImageObject(
                    CRect(side->left, side->top, side->left + side->width, side->top + side->height), camera,
                    false);
            });
        },
        [] { return true; });
    std::printf("%-22s %49lu\n", "  kept by the photo", HeldMegabytes() - before);
    doc->SetModifiedFlag(FALSE);
    step(
        "open", [&] { doc->OpenByPath(path); },
        [&] { return view->m_design.currentSideName == "Front Cover"; });
    showSides("");
    // With the back cover shown (its two photos decoded), the disc and the front cover saved as
    // images at 600 DPI as Save As Image saves them: whether each came out whole.
    for (const char* part : {"Disc 1", "Front Cover"}) {
        PrintOptions options(&g_printOptions);
        options.printFront = options.printBack = options.printDisc1 = options.printDisc2 = 1;
        ExportResult result;
        step((CString("save ") + part + " 600 DPI").GetString(),
             [&] {
                 result = ExportImage(&view->m_design, view->m_design.FindObject(part), 600, &options,
                                      kExportPng, root + "\\export.png");
             },
             [] { return true; });
        const CString outcome =
            result.outcome == kExportWritten ? CString("written") : "not written: " + result.missingPictures;
        std::printf("  %s\n", static_cast<LPCSTR>(outcome));
    }
    // The design opened again, its back cover shown and, as soon as it answers (its two photos
    // decoding), a dialog with a preview of the design opened from the menu and left once its
    // preview is whole.
    auto openShowingBack = [&] {
        doc->SetModifiedFlag(FALSE);
        doc->OpenByPath(path);
        frame->PostMessage(WM_COMMAND, ID_VIEW_BACK_COVER);
        run.Pump([&] { return view->m_design.currentSideName == "Back Cover" &&
                              !(HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT); },
                 60000);
        return view->HasPicturesPending();
    };
    auto dialogStep = [&](const char* what, UINT command, const char* caption,
                          const std::function<bool(CWnd*)>& ready, bool reopen = true) {
        const bool decoding = reopen ? openShowingBack() : !run.Pump([&] { return Settled(view); }, 60000);
        DialogWatch watch;
        watch.caption = caption;
        watch.ready = ready;
        if (!profile.empty() && !std::strncmp(what, profiled.c_str(), profiled.size())) {
            if (!profiler) profiler.reset(new kvbench::SamplingProfiler);
            watch.profiler = profiler.get();
            profiler->SetActive(true);
        }
        g_watch = &watch;
        peak.Reset();
        watch.start = Now();
        watch.ticks.Start(watch.start);
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, WatchDialog);
        frame->PostMessage(WM_COMMAND, command);
        run.Pump([&] { return watch.shown >= 0 && !FindWindowA("#32770", caption); }, 600000);
        KillTimer(nullptr, timer);
        g_watch = nullptr;
        std::printf("%-22s %9.0f %9.0f %9.0f %9lu %9lu%s\n", what, watch.answer, watch.ticks.longest, watch.shown,
                    peak.Peak(), HeldMegabytes(), decoding ? "" : "  (nothing was decoding)");
        std::fflush(stdout);
    };
    dialogStep("open, then Save As Image's dialog", ID_SAVE_AS_IMAGE, "Save As Image", [](CWnd* w) {
        DlgSaveAsImage* dialog = dynamic_cast<DlgSaveAsImage*>(w);
        return dialog && PreviewDrawn(dialog->m_preview);
    });
    dialogStep("open, then the Print dialog", ID_FILE_PRINT, "Print", [](CWnd* w) {
        DlgPrint* dialog = dynamic_cast<DlgPrint*>(w);
        if (!dialog) return false;
        for (PrintSidePage* page : {static_cast<PrintSidePage*>(&dialog->m_tabs.m_front),
                                    static_cast<PrintSidePage*>(&dialog->m_tabs.m_back),
                                    static_cast<PrintSidePage*>(&dialog->m_tabs.m_disc)})
            if (page->m_hWnd && page->IsWindowVisible() && !PreviewDrawn(page->m_preview)) return false;
        return true;
    });
    // Every side ticked from here on, as the user left them: page 1 the disc, 2 the front, 3 the
    // back cover. Once the pictures are all there, the Print dialog again: what it costs of itself.
    g_printOptions.printFront = g_printOptions.printBack = g_printOptions.printDisc1 = 1;
    dialogStep(
        "  the Print dialog again", ID_FILE_PRINT, "Print", [](CWnd*) { return true; }, false);
    {
        const bool decoding = openShowingBack();
        PrintPreviewWatch watch;
        watch.view = view;
        g_printPreviewWatch = &watch;
        peak.Reset();
        const struct {
            const char* what;
            PrintPreviewLeg& leg;
        } legs[] = {{"open, then Print Preview", watch.open},
                    {"  Next to page 3", watch.next},
                    {"  Close, to the Print dialog", watch.close}};
        for (const auto& leg : legs) {
            const char* name = leg.what + std::strspn(leg.what, " ");
            if (profile.empty() || std::strncmp(name, profiled.c_str(), profiled.size())) continue;
            if (!profiler) profiler.reset(new kvbench::SamplingProfiler);
            profiler->SetActive(false);
            leg.leg.profiler = profiler.get();
        }
        watch.open.start = Now();
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, WatchPrintPreview);
        frame->PostMessage(WM_COMMAND, ID_FILE_PRINT);
        run.Pump([&] { return watch.cancelled && !FindWindowA("#32770", "Print"); }, 600000);
        KillTimer(nullptr, timer);
        g_printPreviewWatch = nullptr;
        for (const auto& leg : legs)
            std::printf("%-22s %9.0f %9.0f %9.0f %9lu %9lu%s\n", leg.what, leg.leg.answer,
                        leg.leg.ticks.longest, leg.leg.shown, peak.Peak(), HeldMegabytes(),
                        decoding ? "" : "  (nothing was decoding)");
        std::fflush(stdout);
    }
    // Print Preview's window maximised while the disc's photo decodes for its page (the back
    // cover shown, its photos there), and maximised once that photo came; grown in 12 steps while
    // it decodes; then grown in 12 steps with the back cover's page shown, whose photos the canvas
    // holds decoded: a step's time. How many decodes were started meanwhile.
    {
        std::atomic<int> decodes{0};
        PictureDecodeJobs::BeforeDecode() = [&] { ++decodes; };
        const PrintOptions sides(&g_printOptions);
        const struct {
            int steps;
            bool arrived;
            const char* what;
        } resizes[] = {{0, false, "Print Preview maximise"},
                       {0, true, "  maximise, photo came"},
                       {12, false, "  a 12-step resize"},
                       {-12, false, "  12 steps, decoded"}};
        for (const auto& resize : resizes) {
            const int steps = resize.steps;
            if (steps < 0) g_printOptions.printFront = g_printOptions.printDisc1 = 0;
            run.Pump([&] { return Settled(view); }, 600000);
            decodes = 0;
            const char* what = resize.what;
            const char* name = what + std::strspn(what, " ");
            const bool sampled = !profile.empty() && !std::strncmp(name, profiled.c_str(), profiled.size());
            if (sampled && !profiler) profiler.reset(new kvbench::SamplingProfiler);
            if (profiler) profiler->SetActive(sampled);
            ResizeWatch watch;
            watch.view = view;
            watch.steps = std::abs(steps);
            watch.arrived = resize.arrived;
            watch.decodes = &decodes;
            g_resizeWatch = &watch;
            peak.Reset();
            const UINT_PTR timer = SetTimer(nullptr, 0, 10, WatchResize);
            frame->PostMessage(WM_COMMAND, ID_FILE_PRINT);
            run.Pump([&] { return watch.cancelled && !FindWindowA("#32770", "Print"); }, 600000);
            KillTimer(nullptr, timer);
            g_resizeWatch = nullptr;
            if (profiler) profiler->SetActive(false);
            std::printf("%-22s %9.0f %9.0f %9.0f %9lu %9lu\n  %d decodes started; a step %.0f ms, the longest %.0f ms\n",
                        what, watch.answer, watch.ticks.longest, watch.shown, peak.Peak(), HeldMegabytes(), decodes.load(),
                        watch.stepsMs / std::max(1, watch.done), watch.longestStep);
            std::fflush(stdout);
            frame->ShowWindow(SW_RESTORE);
            frame->SetWindowPos(nullptr, 0, 0, 1000, 750, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        g_printOptions.printFront = sides.printFront;
        g_printOptions.printDisc1 = sides.printDisc1;
        PictureDecodeJobs::BeforeDecode() = nullptr;
    }
    // A photo of the back cover copied (Copy Object) while the side's photos decode: until the
    // clipboard holds it, and whether with its bitmap.
    {
        const bool decoding = openShowingBack();
        LabelTemplate* covers = view->m_design.GetCoverTemplate();
        for (int i = 0; covers && i < covers->GetObjectCount(); ++i) {
            ViewObject* o = covers->GetObject(i);
            if (o->IsImage() && o->sideName == "Back Cover") {
                view->OnSelectionChanged(o->name);
                break;
            }
        }
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        // Timed by a thread timer, which ticks in any loop of the thread, a command's own included.
        g_ticks.Start(Now());
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, WatchTicks);
        peak.Reset();
        const double a = Now();
        frame->PostMessage(WM_COMMAND, ID_COPY_OBJECT);
        run.Pump([] { return IsClipboardFormatAvailable(PictureClipboardFormat()) != FALSE; }, 600000);
        const double copied = Since(a);
        KillTimer(nullptr, timer);
        g_ticks.Tick(Now());
        std::printf("%-22s %9.0f %9.0f %9.0f %9lu %9lu%s\n  %s\n", "Copy Object while the side decodes", copied,
                    g_ticks.longest, copied, peak.Peak(), HeldMegabytes(), decoding ? "" : "  (nothing was decoding)",
                    IsClipboardFormatAvailable(CF_DIB) ? "with its bitmap" : "without its bitmap");
        std::fflush(stdout);
    }
    // Save As Image of the disc at 600 DPI, the back cover shown and its photos there (nothing
    // else running): Save Image pressed once the dialog's preview is whole, then while it decodes,
    // and the file named at once; how soon the window ticks after the press (answer), the longest
    // it went without a tick (held), and when the dialog has gone with the file written (shown).
    for (const bool early : {false, true}) {
        openShowingBack();
        run.Pump([&] { return Settled(view); }, 600000);
        const CString saved = root + "\\saved.png";
        DeleteFileA(saved);
        DlgSaveAsImage::s_askFileName = [&](CWnd*, CString& path, int& filterIndex) {
            path = saved;
            filterIndex = kExportPng + 1;
            return true;
        };
        SaveWatch watch;
        watch.early = early;
        g_saveWatch = &watch;
        peak.Reset();
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, WatchSave);
        frame->PostMessage(WM_COMMAND, ID_SAVE_AS_IMAGE);
        run.Pump([&] { return watch.start > 0 && !FindWindowA("#32770", "Save As Image"); }, 600000);
        KillTimer(nullptr, timer);
        g_saveWatch = nullptr;
        const bool written = GetFileAttributesA(saved) != INVALID_FILE_ATTRIBUTES;
        std::printf("%-22s %9.0f %9.0f %9.0f %9lu %9lu\n  %s\n",
                    early ? "  pressed while it decodes" : "Save As Image, disc 600 DPI", watch.answer,
                    watch.ticks.longest, Since(watch.start), peak.Peak(), HeldMegabytes(),
                    written ? "written" : "not written");
        std::fflush(stdout);
    }
    // The Print dialog cancelled as soon as its preview decodes a picture (the back cover's
    // photos there): how long the process goes on working afterwards.
    {
        openShowingBack();
        run.Pump([&] { return Settled(view); }, 600000);
        DialogWatch watch;
        watch.caption = "Print";
        watch.ready = [&](CWnd* w) {
            DlgPrint* dialog = dynamic_cast<DlgPrint*>(w);
            for (PrintSidePage* page : {static_cast<PrintSidePage*>(&dialog->m_tabs.m_front),
                                        static_cast<PrintSidePage*>(&dialog->m_tabs.m_back),
                                        static_cast<PrintSidePage*>(&dialog->m_tabs.m_disc)})
                if (page->m_hWnd && page->IsWindowVisible() && page->m_preview.PicturesPending()) return true;
            return Since(watch.start) > 5000;
        };
        g_watch = &watch;
        watch.start = Now();
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, WatchDialog);
        frame->PostMessage(WM_COMMAND, ID_FILE_PRINT);
        run.Pump([&] { return watch.shown >= 0 && !FindWindowA("#32770", "Print"); }, 600000);
        KillTimer(nullptr, timer);
        g_watch = nullptr;
        std::printf("%-22s %39.0f\n", "Print's Cancel: busy on", BusyAfter(run));
        std::fflush(stdout);
    }
    // The design opened with its back cover shown and at once, its photos decoding, Print
    // Preview chosen in the Print dialog and closed 0.3 s after: how often a photo is said to be
    // too large, and how often the back cover then lacks a photo once all has settled.
    {
        const int runs = 5;
        int told = 0, lacking = 0;
        for (int i = 0; i < runs; ++i) {
            openShowingBack();
            const int boxes = g_tooLargeBoxes;
            PrintPreviewWatch watch;
            watch.view = view;
            watch.closeAfter = 300;
            g_printPreviewWatch = &watch;
            const UINT_PTR timer = SetTimer(nullptr, 0, 10, WatchPrintPreview);
            frame->PostMessage(WM_COMMAND, ID_FILE_PRINT);
            run.Pump([&] { return watch.cancelled && !FindWindowA("#32770", "Print"); }, 600000);
            KillTimer(nullptr, timer);
            g_printPreviewWatch = nullptr;
            run.Pump([&] { return Settled(view); }, 600000);
            told += g_tooLargeBoxes > boxes;
            bool whole = true;
            view->m_design.ForEachObject([&](ViewObject* o) {
                if (o->IsImage() && o->sideName == "Back Cover" && !o->decodedImage) whole = false;
            });
            lacking += !whole;
        }
        std::printf(
            "Print Preview closed after 0.3 s: 'too large' told in %d of %d runs, a photo lacking in %d\n",
            told, runs, lacking);
    }
    if (profiler) profiler->Write(profile.c_str());
    doc->SetModifiedFlag(FALSE);
    run.Close();
    AfxSetMessageBoxHandler(nullptr);
    return 0;
}

}  // namespace

int main() {
    // Chosen by the environment, not by arguments: the application reads its command line as a
    // file to open.
    const char* design = std::getenv("KV_BENCH_DESIGN");
    const bool file = design && std::strstr(design, ".kvl");
    const bool photos = design && !std::strcmp(design, "photos");
    const bool picture = design && !std::strcmp(design, "picture");
    const int texts = picture ? 0 : design && !file ? std::atoi(design) : 2000;
    std::string profiled, profile;
    if (const char* p = std::getenv("KV_BENCH_PROFILE")) {
        profiled = p;
        const size_t colon = profiled.find(':');
        if (colon != std::string::npos) {
            profile = profiled.substr(colon + 1);
            profiled.resize(colon);
        }
    }
    std::unique_ptr<kvbench::SamplingProfiler> profiler;
    kvtest::TemporaryUserFolders folders;
    const bool guides = std::getenv("KV_BENCH_GUIDES") && *std::getenv("KV_BENCH_GUIDES") == '1';
    kvtest::RunningApp run([guides] {
        g_showNewProjectAtStart = 0;
        if (guides) g_showGuides = 1;
    });
    if (!run.Started()) {
        std::printf("the application did not start\n");
        return 1;
    }
    KorvanelleFrame* frame = GetMainFrame();
    View* view = dynamic_cast<View*>(frame->GetActiveView());
    KorvanelleDoc* doc = dynamic_cast<KorvanelleDoc*>(frame->GetActiveDocument());
    if (!view || !doc) {
        std::printf("no canvas\n");
        return 1;
    }
    frame->ShowWindow(SW_RESTORE);
    frame->SetWindowPos(nullptr, 0, 0, 1000, 750, SWP_NOZORDER | SWP_NOACTIVATE);
    // Measured once the splash has faded out: its fade, a window drawn anew every 20 ms, would
    // take its share of every step.
    run.Pump([&] { return Settled(view) && !run.app.m_splash.IsTimerRunning(); }, 60000);

    const CString root = folders.Root().c_str();
    if (photos) return RunPhotos(run, frame, view, doc, root, profiled, profile);
    const CString path = file ? CString(design) : root + "\\Big.kvl";
    wchar_t wideRoot[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, root, -1, wideRoot, MAX_PATH);
    const std::wstring photo = std::wstring(wideRoot) + L"\\photo.jpg";
    if (!file &&
        ((texts == 0 && !kvbench::WritePhotoJpeg(photo, 2000, 8)) || !WriteDesign(path, texts, photo))) {
        std::printf("could not write the design\n");
        return 1;
    }
    if (file)
        std::printf("design: %s\n", design);
    else if (texts)
        std::printf("design: %d texts on the front cover\n", texts);
    else
        std::printf("design: a 2000 x 2000 photo 50 x 50 in on the front cover, hue +40\n");
    std::printf("%-24s %10s %9s %6s %11s  %s\n", "step", "time ms", "texts ms", "zoom", "peak WS MB",
                "canvas digest");
    std::printf("%-24s %10s %9s %6d %11lu\n", "(started)", "", "", view->m_zoom, PeakMegabytes());
    std::fflush(stdout);

    auto step = [&](const char* what, const std::function<void()>& act) {
        const bool sampled = !profile.empty() && !std::strncmp(what, profiled.c_str(), profiled.size());
        if (sampled && !profiler) profiler.reset(new kvbench::SamplingProfiler);
        if (profiler) profiler->SetActive(sampled);
        ResetRenderTimings();
        const double a = Now();
        act();
        const bool settled = run.Pump([&] { return Settled(view); }, 600000);
        if (profiler) profiler->SetActive(false);
        const double took = Now() - a;
        std::printf("%-24s %10.0f %9.0f %6d %11lu  %016llx%s\n", what, took, GetRenderTimings().texts * 1000,
                    view->m_zoom, PeakMegabytes(), CanvasDigest(view), settled ? "" : "  (did not settle)");
        std::fflush(stdout);
    };
    KvMessageBoxCapture boxes;  // what the opening of a given design tells is answered, not waited for
    step("open", [&] { doc->OpenByPath(path); });
    for (int i = 0; i < 3; ++i) step("zoom in", [&] { frame->PostMessage(WM_COMMAND, ID_VIEW_ZOOM_IN); });
    if (texts == 0) {
        ViewObject* image = view->m_design.FindObject("Image");
        if (image) {
            view->OnSelectionChanged(image->name);
            run.Pump([&] { return Settled(view); }, 60000);
            step("hue +40 -> +100", [&] { view->m_select.SetImageHsl(100, 0, 0, TRUE); });
        }
    }
    for (int i = 0; i < 3; ++i) step("zoom out", [&] { frame->PostMessage(WM_COMMAND, ID_VIEW_ZOOM_OUT); });
    if (file) step("disc label", [&] { frame->PostMessage(WM_COMMAND, ID_VIEW_DISC_LABEL); });
    if (texts) {
        // The side selected, then a press and a release in its middle: the smallest object there is picked.
        view->OnSelectionChanged(view->m_design.currentSideName);
        run.Pump([&] { return Settled(view); }, 60000);
        const ViewObject* side = view->m_design.GetCurrentSide();
        double sx = 0, sy = 0;
        view->ModelToDevice(nullptr, Gdiplus::Rect(), sx, sy);
        CPoint origin;
        view->GetScrollOrigin(origin, false);
        auto click = [&](int x, int y) {
            const LPARAM at = MAKELPARAM(static_cast<int>(x * sx + 0.5) - origin.x,
                                         static_cast<int>(y * sy + 0.5) - origin.y);
            view->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
            view->PostMessage(WM_LBUTTONUP, 0, at);
        };
        const int x = side->left + side->width / 2,
                  y = side->top + (side->IsDisc() ? side->width : side->height) / 2;
        step("click", [&] { click(x, y); });
        // Then a click five pixels right of the text picked, on whatever lies there: the pointer
        // left the text (its cursor no longer offers to select in it).
        const ViewObject* text = view->m_design.GetFirstSelected();
        if (text && text != side) {
            view->m_dragMode.Empty();
            step("click beside", [&] { click(text->left + text->width + static_cast<int>(5 / sx), y); });
        }
    }
    if (profiler) profiler->Write(profile.c_str());
    doc->SetModifiedFlag(FALSE);
    run.Close();
    return 0;
}
