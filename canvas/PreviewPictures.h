// The pictures of a preview that are slow to decode: each is decoded and scaled to the preview's
// size on a thread (PictureDecodeJobs), so that the window answers meanwhile; the preview draws
// without it until it comes, then draws again with it. Serves RenderContext::previewPicture.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>
#include <vector>

#include "canvas/PictureDecodeJobs.h"

class ViewObject;

class PreviewPictures {
public:
    PreviewPictures() = default;
    ~PreviewPictures() { End(); }
    PreviewPictures(const PreviewPictures&) = delete;
    PreviewPictures& operator=(const PreviewPictures&) = delete;

    // RenderContext::previewPicture for a preview drawn in `window`, which gets `message` when a
    // decode knows more (then TakeArrived). A preview that may later be shown up to `reach` times
    // larger has its copies made at that size at once, so that growing needs no decode again.
    bool Picture(ViewObject* picture, int width, int height, Gdiplus::Bitmap*& copy, HWND window,
                 UINT message, double reach = 1.0);
    // Whether a picture is still being decoded for the preview.
    bool Pending() const;
    // Takes what the decodes gave; true when a picture came or is known not to come, and the
    // preview must draw again.
    bool TakeArrived();
    // Lets go of every copy and decode (a closed preview's decodes end on their own).
    void End();
    // Lets go of the decodes still running, keeping the copies that came; true when there were
    // any (the preview then lacks their pictures until it is drawn again).
    bool StopPending();

private:
    // A picture decoded for the preview: its bytes (the design's stream, which every copy of the
    // design shares, and their count), colour change and size, and its copy at that size once it
    // came.
    struct Entry {
        const IStream* bytes = nullptr;
        ULONGLONG size = 0;
        int hue = 0, saturation = 0, lightness = 0;
        int width = 0, height = 0;
        unsigned ticket = 0;  // 0 once it came or did not decode
        Gdiplus::Bitmap* copy = nullptr;
    };
    // Whether two entries are of the same picture with the same colour change.
    static bool SamePicture(const Entry& a, const Entry& b);
    std::vector<Entry> m_entries;
    std::unique_ptr<PictureDecodeJobs> m_jobs;
};
