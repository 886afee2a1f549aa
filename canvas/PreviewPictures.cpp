// The preview's pictures decoded on a thread, and their copies at the preview's size.
#include "canvas/PreviewPictures.h"

#include <algorithm>
#include <cmath>

#include "model/PictureHeaders.h"
#include "model/ViewObject.h"

using namespace Gdiplus;

bool PreviewPictures::Picture(ViewObject* picture, int width, int height, Bitmap*& copy, HWND window,
                              UINT message, double reach) {
    copy = nullptr;
    const IStream* bytes = picture->image.GetStream();
    const ULONGLONG size = picture->image.GetSize();
    // A preview drawn without a window cannot wait for a thread.
    if (!window || !bytes || width <= 0 || height <= 0) return false;
    // A picture far larger than its side is not copied at more than a preview shows.
    const double fit = std::min(1.0, 2000.0 / std::max(width, height));
    const int wide = std::max(1, static_cast<int>(width * fit)),
              high = std::max(1, static_cast<int>(height * fit));
    // A copy is asked at the largest size the preview may show it, within the same bound.
    const double grow = std::max(1.0, std::min(reach, 2000.0 / std::max(wide, high)));
    const int wideAsked = std::max(wide, static_cast<int>(std::ceil(wide * grow))),
              highAsked = std::max(high, static_cast<int>(std::ceil(high * grow)));
    Entry wanted;
    wanted.bytes = bytes;
    wanted.size = size;
    wanted.hue = picture->hue;
    wanted.saturation = picture->saturation;
    wanted.lightness = picture->lightness;
    // A copy a pixel or two short of a size serves it: the page's and the picture's sizes are
    // rounded at each size of the window.
    const auto covers = [&](const Entry& e) { return e.width + 2 >= wide && e.height + 2 >= high; };
    Entry* pending = nullptr;
    bool undecoded = false;
    for (Entry& known : m_entries) {
        if (!SamePicture(known, wanted)) continue;
        if (known.ticket != 0) {
            pending = &known;
        } else if (!known.copy) {
            undecoded = true;
        } else if (covers(known)) {
            copy = known.copy;
            return true;
        } else if (!copy || known.width > static_cast<int>(copy->GetWidth())) {
            // A smaller copy shows, stretched, until the one of this size comes.
            copy = known.copy;
        }
    }
    // One that did not decode is left out, as a preview leaves out what it cannot draw.
    if (undecoded) return true;
    if (pending) {
        // One decode a picture: a larger size asked while it runs (a window made larger step by
        // step) is what that decode copies the picture at.
        if (!covers(*pending)) {
            pending->width = std::max(pending->width, wideAsked);
            pending->height = std::max(pending->height, highAsked);
            m_jobs->SetScreenSize(pending->ticket, pending->width, pending->height, picture->hue,
                                  picture->saturation, picture->lightness);
        }
        return true;
    }
    if (!IsSlowToDecode(picture->image.CheckHeaders())) return false;
    if (!m_jobs) m_jobs.reset(new PictureDecodeJobs(false));
    const unsigned ticket = m_jobs->Start(picture->image.GetStream(), window, message);
    if (ticket == 0) return false;
    m_jobs->SetScreenSize(ticket, wideAsked, highAsked, picture->hue, picture->saturation,
                          picture->lightness);
    wanted.width = wideAsked;
    wanted.height = highAsked;
    wanted.ticket = ticket;
    m_entries.push_back(wanted);
    return true;
}

bool PreviewPictures::SamePicture(const Entry& a, const Entry& b) {
    return a.bytes == b.bytes && a.size == b.size && a.hue == b.hue && a.saturation == b.saturation &&
           a.lightness == b.lightness;
}

bool PreviewPictures::Pending() const {
    for (const Entry& known : m_entries)
        if (known.ticket != 0) return true;
    return false;
}

bool PreviewPictures::TakeArrived() {
    if (!m_jobs) return false;
    auto known = [&](unsigned ticket) -> Entry* {
        for (Entry& p : m_entries)
            if (p.ticket == ticket) return &p;
        return nullptr;
    };
    bool arrived = false;
    for (const PictureDecodeJobs::Decoded& outcome : m_jobs->TakeDecoded())
        if (Entry* p = outcome.ok ? nullptr : known(outcome.ticket)) {
            p->ticket = 0;
            arrived = true;
        }
    for (PictureDecodeJobs::Result& result : m_jobs->TakeFinished()) {
        if (Entry* p = known(result.ticket)) {
            p->ticket = 0;
            p->copy = result.screen;
            result.screen = nullptr;
            arrived = true;
            if (p->copy) {
                // The size it came at (a size asked as it came is asked again), and the smaller
                // copies it replaces go.
                p->width = static_cast<int>(p->copy->GetWidth());
                p->height = static_cast<int>(p->copy->GetHeight());
                const Entry came = *p;
                m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                               [&](Entry& q) {
                                                   const bool replaced =
                                                       q.ticket == 0 && q.copy && q.copy != came.copy &&
                                                       SamePicture(q, came) && q.width <= came.width &&
                                                       q.height <= came.height;
                                                   if (replaced) delete q.copy;
                                                   return replaced;
                                               }),
                                m_entries.end());
            }
        }
        PictureDecodeJobs::Free(result);
    }
    return arrived;
}

void PreviewPictures::End() {
    StopPending();
    for (Entry& p : m_entries) delete p.copy;
    m_entries.clear();
}

bool PreviewPictures::StopPending() {
    const bool any = Pending();
    m_entries.erase(
        std::remove_if(m_entries.begin(), m_entries.end(), [](const Entry& p) { return p.ticket != 0; }),
        m_entries.end());
    if (m_jobs) PictureDecodeJobs::Retire(std::move(m_jobs));
    return any;
}
