// The decoding threads of large pictures and the hand-over of their results.
#include "canvas/PictureDecodeJobs.h"

#include "model/ImageStream.h"
#include "render/ColorProcessing.h"

using namespace Gdiplus;

PictureDecodeJobs::~PictureDecodeJobs() {
    Cancel();
}

std::function<void()>& PictureDecodeJobs::BeforeDecode() {
    static std::function<void()> hook;
    return hook;
}

unsigned PictureDecodeJobs::Start(IStream* bytes, HWND window, UINT message) {
    if (!bytes) return 0;
    JoinDone(false);
    std::lock_guard<std::mutex> hold(m_lock);
    unsigned ticket = ++m_nextTicket;
    if (ticket == 0) ticket = ++m_nextTicket;
    std::unique_ptr<Job> job(new Job);
    job->ticket = ticket;
    job->bytes = bytes;
    bytes->AddRef();
    try {
        job->thread = std::thread(&PictureDecodeJobs::Run, this, job.get(), window, message);
    } catch (...) {
        return 0;
    }
    m_jobs.push_back(std::move(job));
    ++m_outstanding;
    return ticket;
}

void PictureDecodeJobs::SetScreenSize(unsigned ticket, int width, int height, int hue, int saturation,
                                      int lightness) {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        for (auto& job : m_jobs) {
            if (job->ticket != ticket) continue;
            job->width = width;
            job->height = height;
            job->hue = hue;
            job->saturation = saturation;
            job->lightness = lightness;
            job->sized = true;
        }
    }
    m_sized.notify_all();
}

IStream* PictureDecodeJobs::JobBytes(Job* job, bool take) {
    std::lock_guard<std::mutex> hold(m_lock);
    IStream* bytes = job->bytes;
    if (take)
        job->bytes = nullptr;
    else if (bytes)
        bytes->AddRef();
    return bytes;
}

void PictureDecodeJobs::Run(Job* job, HWND window, UINT message) {
    if (const std::function<void()>& hook = BeforeDecode()) hook();
    Result result;
    result.ticket = job->ticket;
    bool tooLarge = false;
    PictureHeaderCheck check;
    {
        IStreamObject headers;
        headers.Attach(JobBytes(job, false));
        check = headers.CheckHeaders();
    }
    const unsigned long long pixels = static_cast<unsigned long long>(check.width) * check.height;
    // The picture's turn among large work is held from its decode until its pixels are handed
    // over or freed: no other decode finds memory taken by pixels that nobody is going to have,
    // nor by the copies of pictures whose decodes wait their turn (each copies its picture's
    // bytes only now, the object's stream being read in one piece however others read it).
    std::unique_ptr<LargePictureWork> work(new LargePictureWork(pixels));
    IStreamObject picture;
    IStream* bytes = JobBytes(job, true);
    picture.Attach(bytes);
    // One that nobody wants any more does not start, or stops as soon as its decoder reads again.
    if (bytes && !job->stop) {
        // Decoded exactly as on the user-interface thread, so that what the screen, the exports
        // and the prints show does not depend on where it was decoded.
        result.decoded = picture.CreateBitmap(&tooLarge, &job->stop);
        if (result.decoded && picture.GetStream() != bytes) {
            result.replacedBytes = picture.GetStream();
            picture.Detach();
        }
    }
    bool decoded = false;
    {
        // A stopped one is handed out as one that did not decode, which nobody asks about.
        std::lock_guard<std::mutex> hold(m_lock);
        if (job->stop) Free(result);
        decoded = result.decoded != nullptr;
        Decoded outcome;
        outcome.ticket = job->ticket;
        outcome.ok = decoded;
        outcome.tooLarge = tooLarge && !job->stop;
        m_decoded.push_back(outcome);
        // A picture that did not decode is handed out whole with its outcome.
        if (!decoded) job->done = true;
    }
    if (window) ::PostMessage(window, message, 0, 0);
    if (!decoded) return;

    int width = 0, height = 0, hue = 0, saturation = 0, lightness = 0;
    {
        std::unique_lock<std::mutex> hold(m_lock);
        if (!job->sized && !job->stop) {
            // The receiver says once it has the outcome: other pictures take their turn meanwhile.
            hold.unlock();
            work.reset();
            hold.lock();
        }
        m_sized.wait(hold, [&] { return job->sized || job->stop; });
        width = job->width;
        height = job->height;
        hue = job->hue;
        saturation = job->saturation;
        lightness = job->lightness;
    }
    if (!work) work.reset(new LargePictureWork(pixels));
    // A size asked again while the copy is made (a preview's window resized) has it made again at
    // that size, from the pixels still here: the picture is not decoded once more for it.
    for (bool again = true; again;) {
        delete result.screen;
        result.screen = nullptr;
        if (width > 0 && height > 0 && !job->stop) {
            result.hue = hue;
            result.saturation = saturation;
            result.lightness = lightness;
            result.screen = CreateScaledBitmap(result.decoded,
                                               RectF(0, 0, static_cast<REAL>(width), static_cast<REAL>(height)),
                                               hue, saturation, lightness);
        }
        std::lock_guard<std::mutex> hold(m_lock);
        again = !job->stop && (job->width != width || job->height != height || job->hue != hue ||
                               job->saturation != saturation || job->lightness != lightness);
        width = job->width;
        height = job->height;
        hue = job->hue;
        saturation = job->saturation;
        lightness = job->lightness;
    }
    if (!m_keepDecoded) {
        delete result.decoded;
        result.decoded = nullptr;
    }
    {
        // Hundreds of megabytes are not kept for a receiver that does not want them any more: it
        // gets an empty result.
        std::lock_guard<std::mutex> hold(m_lock);
        if (job->stop) Free(result);
        result.ticket = job->ticket;
        m_finished.push_back(result);
    }
    work.reset();
    job->done = true;
    if (window) ::PostMessage(window, message, 0, 0);
}

std::vector<PictureDecodeJobs::Decoded> PictureDecodeJobs::TakeDecoded() {
    JoinDone(false);
    std::lock_guard<std::mutex> hold(m_lock);
    std::vector<Decoded> taken;
    taken.swap(m_decoded);
    for (const Decoded& d : taken)
        if (!d.ok) --m_outstanding;
    return taken;
}

std::vector<PictureDecodeJobs::Result> PictureDecodeJobs::TakeFinished() {
    JoinDone(false);
    std::lock_guard<std::mutex> hold(m_lock);
    std::vector<Result> taken;
    taken.swap(m_finished);
    m_outstanding -= static_cast<int>(taken.size());
    return taken;
}

bool PictureDecodeJobs::Pending() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_outstanding > 0;
}

void PictureDecodeJobs::Stop(unsigned ticket) {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        for (auto& job : m_jobs) {
            if (ticket != 0 && job->ticket != ticket) continue;
            job->stop = true;
            if (job->bytes) job->bytes->Release();
            job->bytes = nullptr;
        }
    }
    m_sized.notify_all();
}

void PictureDecodeJobs::Cancel() {
    Stop(0);
    JoinDone(true);
    std::lock_guard<std::mutex> hold(m_lock);
    for (Result& r : m_finished) Free(r);
    m_finished.clear();
    m_decoded.clear();
    m_outstanding = 0;
}

void PictureDecodeJobs::Free(Result& result) {
    delete result.decoded;
    delete result.screen;
    if (result.replacedBytes) result.replacedBytes->Release();
    result = Result();
}

namespace {

std::vector<std::unique_ptr<PictureDecodeJobs>>& RetiredJobs() {
    static std::vector<std::unique_ptr<PictureDecodeJobs>> retired;
    return retired;
}

}  // namespace

void PictureDecodeJobs::Retire(std::unique_ptr<PictureDecodeJobs> jobs) {
    std::vector<std::unique_ptr<PictureDecodeJobs>>& retired = RetiredJobs();
    for (auto it = retired.begin(); it != retired.end();)
        it = (*it)->Running() ? it + 1 : retired.erase(it);
    if (!jobs) return;
    jobs->Stop(0);
    {
        std::lock_guard<std::mutex> hold(jobs->m_lock);
        for (Result& r : jobs->m_finished) Free(r);
        jobs->m_finished.clear();
    }
    if (jobs->Running()) retired.push_back(std::move(jobs));
}

void PictureDecodeJobs::EndRetired() {
    RetiredJobs().clear();
}

bool PictureDecodeJobs::Running() {
    JoinDone(false);
    std::lock_guard<std::mutex> hold(m_lock);
    return !m_jobs.empty();
}

void PictureDecodeJobs::JoinDone(bool all) {
    std::vector<std::unique_ptr<Job>> ended;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        for (auto it = m_jobs.begin(); it != m_jobs.end();) {
            if (all || (*it)->done) {
                ended.push_back(std::move(*it));
                it = m_jobs.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& job : ended)
        if (job->thread.joinable()) job->thread.join();
}
