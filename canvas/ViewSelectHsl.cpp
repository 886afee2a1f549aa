// The image's hue, saturation and lightness: stored with undo and rendered by a worker thread.
// The worker works on bitmaps of its own (a copy of the unadjusted image and its result); the
// user-interface thread puts a result into the image only while the image is still part of the
// design and the result was not discarded (the image deleted, an undo, a new design or a
// template change). Slider moves while a run is under way collapse into one more run.
#include <atomic>

#include "canvas/AppCanvasState.h"
#include "canvas/View.h"
#include "canvas/ViewSelect.h"
#include "render/ColorProcessing.h"

using namespace Gdiplus;

struct HslJob {
    ~HslJob() {
        delete source;
        delete result;
    }
    Bitmap* source = nullptr;  // the unadjusted image at the drawn size; the job's own
    Bitmap* result = nullptr;  // the adjusted image, the job's until the image takes it
    int hue = 0, saturation = 0, lightness = 0;
    ScreenCopyPlace place;  // where source and result lie in the picture on screen
    ViewObject* target = nullptr;
    std::atomic<bool> discarded{false};
};

namespace {

std::function<void(std::function<void()>)>& HslExecutor() {
    static std::function<void(std::function<void()>)> executor;
    return executor;
}

// The colour workers not yet ended: counted from their start to the moment they have let go of
// their job (whose bitmaps are GDI+ objects), so that shut-down can wait for them before GDI+
// goes. `idle` is set while none is left.
struct HslWorkers {
    HslWorkers() : idle(::CreateEventA(nullptr, TRUE, TRUE, nullptr)) {}
    ~HslWorkers() {
        if (idle) ::CloseHandle(idle);
    }
    void Started() {
        if (live.fetch_add(1) == 0 && idle) ::ResetEvent(idle);
    }
    void Ended() {
        if (live.fetch_sub(1) == 1 && idle) ::SetEvent(idle);
    }
    std::atomic<int> live{0};
    HANDLE idle;
};

HslWorkers& Workers() {
    static HslWorkers workers;
    return workers;
}

UINT RunTask(LPVOID parameter) {
    std::function<void()>* task = static_cast<std::function<void()>*>(parameter);
    (*task)();
    delete task;
    return 0;
}

bool InDesign(View* view, const ViewObject* object) {
    return object && view->m_design.FindObjectIf([&](const ViewObject* o) { return o == object; }) != nullptr;
}

}  // namespace

void ViewSelect::SetHslExecutor(std::function<void(std::function<void()>)> executor) {
    HslExecutor() = executor;
}

void ViewSelect::SetImageHsl(int hue, int saturation, int lightness, BOOL withUndo) {
    GuardOperation(960, [&] {
        ViewObject* o = GetSelectedObject();
        if (!o || !o->IsImage() || !m_view) return;
        if (o->hue == hue && o->saturation == saturation && o->lightness == lightness) return;
        if (withUndo) {
            m_view->BeginUndoStep();
            m_view->RecordUndoValue("prevHSL", o, "", "");
        }
        o->hue = hue;
        o->saturation = saturation;
        o->lightness = lightness;
        if (withUndo) {
            m_view->RecordUndoValue("nextHSL", o, "", "");
            m_view->EndUndoStep();
        }
        AppCanvasState& app = AppCanvasState::Get();
        if (!app.m_hslThreadRunning && !app.m_hslResultReady && !o->IsHslBusy())
            StartHslWorker(o);
        else
            app.m_hslRerun = 1;
    });
}

void ViewSelect::StartHslWorker(ViewObject* image) {
    AppCanvasState& app = AppCanvasState::Get();
    auto job = std::make_shared<HslJob>();
    job->target = image;
    job->hue = image->hue;
    job->saturation = image->saturation;
    job->lightness = image->lightness;
    if (image->adjustedImage && image->EnsureImageLoaded() && image->decodedImage) {
        const INT w = static_cast<INT>(image->adjustedImage->GetWidth());
        const INT h = static_cast<INT>(image->adjustedImage->GetHeight());
        // The unadjusted copy of the drawn part at the drawn size is made once per decoded image.
        job->place = image->adjustedPlace;
        if (!image->workingImage || static_cast<INT>(image->workingImage->GetWidth()) != w ||
            static_cast<INT>(image->workingImage->GetHeight()) != h)
            image->SetWorkingImage(CreateScaledPart(image->decodedImage, job->place.wholeWidth,
                                                    job->place.wholeHeight, job->place.part, 0, 0, 0));
        if (image->workingImage)
            job->source = image->workingImage->Clone(0, 0, w, h, image->workingImage->GetPixelFormat());
    }
    m_hslJob = job;
    m_hslObject = image;
    app.m_hslThreadRunning = 1;
    if (m_hWnd) SetTimer(kTimerHslPoll, 10, nullptr);
    Workers().Started();
    std::function<void()> task = [job, &app]() mutable {
        if (job->source && !job->discarded) {
            Bitmap* result =
                new Bitmap(static_cast<INT>(job->source->GetWidth()),
                           static_cast<INT>(job->source->GetHeight()), job->source->GetPixelFormat());
            if (result->GetLastStatus() == Ok &&
                ApplyHslAdjustment(job->source, result, job->hue, job->saturation, job->lightness)) {
                job->result = result;
                if (!job->discarded) app.m_hslResultReady = 1;
            } else {
                delete result;
            }
        }
        app.m_hslThreadRunning = 0;
        job.reset();  // the last owner frees the bitmaps here, while GDI+ is known to run
        Workers().Ended();
    };
    if (HslExecutor())
        HslExecutor()(task);
    else {
        std::function<void()>* own = new std::function<void()>(task);
        if (AfxBeginThread(RunTask, own, THREAD_PRIORITY_NORMAL) == nullptr) {
            delete own;
            app.m_hslThreadRunning = 0;
            Workers().Ended();
        }
    }
}

bool ViewSelect::WaitForHslWorkers(DWORD timeoutMs) {
    HANDLE idle = Workers().idle;
    return idle == nullptr ? Workers().live == 0 : ::WaitForSingleObject(idle, timeoutMs) == WAIT_OBJECT_0;
}

void ViewSelect::PollHslWorker() {
    AppCanvasState& app = AppCanvasState::Get();
    ViewObject* selected = GetSelectedObject();
    if (selected && selected->IsHslBusy()) return;
    if (app.m_hslResultReady) {
        std::shared_ptr<HslJob> job = m_hslJob;
        if (job && !job->discarded && job->result && m_view && InDesign(m_view, job->target)) {
            ViewObject* target = job->target;
            {
                HslLock held(*target);
                target->SetAdjustedImage(job->result, job->place, held);
            }
            job->result = nullptr;
            const BYTE wait = m_view->m_waitCursor;
            m_view->m_waitCursor = 0;
            m_view->Redraw(true, Rect(target->left, target->top, target->width, target->height));
            m_view->m_waitCursor = wait;
        }
        app.m_hslResultReady = 0;
    }
    if (app.m_hslResultReady || app.m_hslThreadRunning) return;
    if (app.m_hslRerun) {
        app.m_hslRerun = 0;
        ViewObject* target =
            m_hslJob && m_view && InDesign(m_view, m_hslJob->target) ? m_hslJob->target : selected;
        if (target && target->IsImage()) {
            StartHslWorker(target);
            return;
        }
    }
    if (m_hWnd) KillTimer(kTimerHslPoll);
    m_hslObject = nullptr;
}

void ViewSelect::DiscardHslResult() {
    if (m_hslJob) m_hslJob->discarded = true;
    m_hslJob.reset();
    m_hslObject = nullptr;
    AppCanvasState& app = AppCanvasState::Get();
    app.m_hslRerun = 0;
    app.m_hslResultReady = 0;
}
