// The New Project dialog's layout pictures, made on threads of their own.
#include "print/LayoutPictures.h"

#include <objbase.h>

#include <algorithm>

#include "model/KorvanelleDocument.h"
#include "render/DocumentBitmap.h"

using namespace Gdiplus;

namespace {

// True when the file was read; its first picture (or none, when that stream is empty) in `picture`.
bool StartupDesignPicture(const CString& path, Bitmap*& picture) {
    picture = nullptr;
    KorvanelleDocument temp;
    const bool read = temp.LoadImagePool(path);
    if (read && temp.imagePool[0] && !temp.imagePool[0]->IsEmpty()) picture = temp.imagePool[0]->CreateBitmap();
    temp.DeleteContents(true);
    return read;
}

}  // namespace

LayoutPictureSource::~LayoutPictureSource() {
    if (blank) blank->DeleteContents(true);
}

Bitmap* LayoutPictureSource::MakePicture(const std::atomic<bool>* stop) {
    Bitmap* picture = nullptr;
    for (const CString& path : startupFiles)
        if (StartupDesignPicture(path, picture)) return picture;
    if (!blank) return nullptr;
    KorvanelleDocument& design = *blank;
    if (MakeDocumentThumbnail(&design, stop) && design.imagePool.GetSize() > 0 && design.imagePool[0] &&
        design.imagePool[0]->GetSize() > 0)
        picture = design.imagePool[0]->CreateBitmap();
    design.ClearImagePool(true);
    return picture;
}

LayoutPictureJob::LayoutPictureJob(std::vector<LayoutPictureSource> sources)
    : m_sources(std::move(sources)),
      m_pictures(m_sources.size(), nullptr),
      m_states(m_sources.size(), State::kPending),
      m_pending(static_cast<int>(m_sources.size())) {}

LayoutPictureJob::~LayoutPictureJob() {
    m_cancelled = true;
    for (std::thread& t : m_threads) t.join();
    for (size_t i = 0; i < m_pictures.size(); ++i)
        if (m_states[i] == State::kMade) delete m_pictures[i];
}

int LayoutPictureJob::ThreadsToUse(int most) {
    DWORD_PTR process = 0, system = 0;
    int count = 0;
    if (::GetProcessAffinityMask(::GetCurrentProcess(), &process, &system))
        for (; process; process &= process - 1) ++count;
    return std::max(1, std::min(count, most));
}

void LayoutPictureJob::Start(HWND notify, UINT message, int threads) {
    m_notify = notify;
    m_message = message;
    threads = std::max(1, std::min(threads, Size()));
    for (int i = 0; i < threads; ++i) m_threads.emplace_back([this] { Work(); });
}

void LayoutPictureJob::Work() {
    // Below the user-interface thread, whose keys and painting come first.
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    for (;;) {
        if (m_cancelled) break;
        const int i = m_next++;
        if (i >= Size()) break;
        Bitmap* picture = m_sources[static_cast<size_t>(i)].MakePicture(&m_cancelled);
        if (m_cancelled) {
            delete picture;  // perhaps given up half-way: no one waits for it any more
            break;
        }
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_pictures[static_cast<size_t>(i)] = picture;
            m_states[static_cast<size_t>(i)] = State::kMade;
        }
        --m_pending;
        if (m_notify) ::PostMessage(m_notify, m_message, static_cast<WPARAM>(i), 0);
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
}

bool LayoutPictureJob::Take(int i, Bitmap*& picture) {
    picture = nullptr;
    if (i < 0 || i >= Size()) return false;
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_states[static_cast<size_t>(i)] != State::kMade) return false;
    picture = m_pictures[static_cast<size_t>(i)];
    m_pictures[static_cast<size_t>(i)] = nullptr;
    m_states[static_cast<size_t>(i)] = State::kTaken;
    return true;
}
