// Large pictures decoded away from the user-interface thread: a photo of tens of megapixels takes
// a second or more to decode and to scale for the screen, and the canvas and the bars go on
// answering meanwhile. Whether a picture decoded, and then the finished picture, are handed back
// on the thread that started the decode.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class PictureDecodeJobs {
public:
    // Whether a decode gave a picture, as soon as it is known; a picture refused for its size
    // says so.
    struct Decoded {
        unsigned ticket = 0;
        bool ok = false;
        bool tooLarge = false;
    };
    // What a decode that succeeded finally gives: the full picture and its copy scaled for the
    // screen (null when none was asked for or it could not be made), and new bytes when the
    // decoder's kind of picture is kept as PNG instead (otherwise null). The receiver owns them.
    struct Result {
        unsigned ticket = 0;
        Gdiplus::Bitmap* decoded = nullptr;
        Gdiplus::Bitmap* screen = nullptr;
        IStream* replacedBytes = nullptr;
        int hue = 0, saturation = 0, lightness = 0;  // the colour change `screen` shows
    };

    // A receiver that takes only the copies for the screen (a preview) has each full picture
    // freed as soon as its copy is made (`decoded` then stays null).
    explicit PictureDecodeJobs(bool keepDecoded = true) : m_keepDecoded(keepDecoded) {}
    // Waits for every decode still running and frees what nobody took.
    ~PictureDecodeJobs();
    PictureDecodeJobs(const PictureDecodeJobs&) = delete;
    PictureDecodeJobs& operator=(const PictureDecodeJobs&) = delete;

    // Decodes a copy of the stream's bytes on a thread of its own and posts `message` to `window`
    // when it knows whether they decode (TakeDecoded). A picture that decoded then waits for
    // SetScreenSize, is scaled to that size and posts again (TakeFinished). The ticket names the
    // decode (0: nothing was started).
    unsigned Start(IStream* bytes, HWND window, UINT message);
    // The decodes whose outcome became known since the last call, each handed out once.
    std::vector<Decoded> TakeDecoded();
    // The size of the picture on the screen (none when either is 0), and the colour change its
    // copy there shows: every picture that decoded must get one, or its thread waits until
    // Cancel. It may be given before the decode has ended, and again until the copy is handed
    // out (the copy then has the last size given, or the one before when it came meanwhile).
    void SetScreenSize(unsigned ticket, int width, int height, int hue = 0, int saturation = 0,
                       int lightness = 0);
    // The finished results, each handed out once.
    std::vector<Result> TakeFinished();
    // Whether a decode started here has not been handed out whole yet.
    bool Pending() const;
    // Stops the decode of a ticket that nobody wants any more (0: every decode) without waiting
    // for it: as Retire stops them, and it is handed out as one that did not decode (or, when
    // already known to decode, with an empty result).
    void Stop(unsigned ticket);
    // Stops every decode still running and waits for it; their results are freed.
    void Cancel();
    // Frees what a result holds.
    static void Free(Result& result);

    // Lets go of the jobs of a receiver that goes away while decodes still run (a dialog's
    // preview): a decode waiting its turn does not start, one running stops at its decoder's next
    // read, nothing is scaled any more, what they hold is freed at once, and they end on their
    // own.
    // EndRetired waits for them; the application calls it before GDI+ goes down.
    static void Retire(std::unique_ptr<PictureDecodeJobs> jobs);
    static void EndRetired();

    // For tests: called on the decoding thread before it starts.
    static std::function<void()>& BeforeDecode();

private:
    struct Job {
        ~Job() {
            if (bytes) bytes->Release();
        }
        std::thread thread;
        // The picture's stream until the decode's turn comes (under m_lock): a decode waiting
        // behind others holds no copy of its picture, and a stop lets go of it at once.
        IStream* bytes = nullptr;
        std::atomic<bool> done{false};
        std::atomic<bool> stop{false};  // set under m_lock; its decoder reads it at any time
        unsigned ticket = 0;
        bool sized = false;  // the screen size is known (under m_lock)
        int width = 0, height = 0;
        int hue = 0, saturation = 0, lightness = 0;
    };
    void Run(Job* job, HWND window, UINT message);
    // The job's stream (null once stopped): a reference of the caller's own, or with `take` the
    // job's.
    IStream* JobBytes(Job* job, bool take);
    void JoinDone(bool all);
    // Whether a decoding thread has not ended yet.
    bool Running();

    mutable std::mutex m_lock;
    std::condition_variable m_sized;
    const bool m_keepDecoded;
    std::vector<std::unique_ptr<Job>> m_jobs;
    std::vector<Decoded> m_decoded;
    std::vector<Result> m_finished;
    unsigned m_nextTicket = 0;
    int m_outstanding = 0;
};
