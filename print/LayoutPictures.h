// The pictures of the New Project dialog's layouts, made on threads of their own so that the dialog
// shows and answers keys at once: drawing a layout's design takes a tenth to a third of a second.
// What a picture needs is gathered on the user-interface thread first (the file names to try and a
// blank design of the layout, copied from the template library), so that the threads share
// nothing with the rest of the program; each finished picture is announced to a window by a
// posted message and taken from the job there.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "framework/Core.h"

class KorvanelleDocument;

// Everything one layout's picture is made from.
struct LayoutPictureSource {
    LayoutPictureSource() = default;
    ~LayoutPictureSource();
    LayoutPictureSource(LayoutPictureSource&&) = default;
    LayoutPictureSource& operator=(LayoutPictureSource&&) = default;

    // The startup design files to try in turn (none with "Load blank design").
    std::vector<CString> startupFiles;
    // A blank design of the layout (null without a template library); its picture is drawn when
    // no startup design file could be read.
    std::unique_ptr<KorvanelleDocument> blank;
    // The size of the blank design's picture, known without drawing it (0 x 0 without one).
    SIZE blankSize = {0, 0};

    // The picture (null when there is none): the first picture of the first startup design file
    // that could be read, else the blank design drawn (given up once `stop` is set). The caller
    // owns it.
    Gdiplus::Bitmap* MakePicture(const std::atomic<bool>* stop = nullptr);
};

class LayoutPictureJob {
public:
    explicit LayoutPictureJob(std::vector<LayoutPictureSource> sources);
    // Stops the threads (each ends after the picture it is drawing) and frees the pictures no one took.
    ~LayoutPictureJob();
    LayoutPictureJob(const LayoutPictureJob&) = delete;
    LayoutPictureJob& operator=(const LayoutPictureJob&) = delete;

    // Starts `threads` threads (at least one); each picture made posts `message` (wParam: its
    // entry) to `notify`.
    void Start(HWND notify, UINT message, int threads);
    // No picture is started after this; the destructor still waits for those being drawn.
    void Cancel() { m_cancelled = true; }
    // True once entry i is made and not yet taken: `picture` (perhaps null) is the caller's then.
    bool Take(int i, Gdiplus::Bitmap*& picture);
    // The entries not yet made.
    int Pending() const { return m_pending; }
    int Size() const { return static_cast<int>(m_sources.size()); }
    SIZE BlankSize(int i) const { return m_sources[static_cast<size_t>(i)].blankSize; }

    // The threads a job uses: the processors this process may run on, at most `most`. (The
    // user-interface thread needs little once the dialog is painted; the threads run below it.)
    static int ThreadsToUse(int most);

private:
    enum class State { kPending, kMade, kTaken };
    void Work();

    std::vector<LayoutPictureSource> m_sources;
    std::vector<Gdiplus::Bitmap*> m_pictures;
    std::vector<State> m_states;
    std::mutex m_lock;
    std::atomic<int> m_next{0};
    std::atomic<int> m_pending;
    std::atomic<bool> m_cancelled{false};
    std::vector<std::thread> m_threads;
    HWND m_notify = nullptr;
    UINT m_message = 0;
};
