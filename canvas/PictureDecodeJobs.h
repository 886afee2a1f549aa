// Large pictures decoded away from the user-interface thread: a photo of tens of megapixels takes
// a second or more to decode and to scale for the screen, and the canvas and the bars go on
// answering meanwhile. The finished pictures are handed back on the thread that started them.
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
    // What one decode gives: the full picture and its copy scaled for the screen (either may be
    // null: the bytes did not decode, or the copy could not be made), and new bytes when the
    // decoder's kind of picture is kept as PNG instead (otherwise null). The receiver owns them.
    struct Result {
        unsigned ticket = 0;
        Gdiplus::Bitmap* decoded = nullptr;
        Gdiplus::Bitmap* screen = nullptr;
        IStream* replacedBytes = nullptr;
    };

    PictureDecodeJobs() = default;
    // Waits for every decode still running and frees what nobody took.
    ~PictureDecodeJobs();
    PictureDecodeJobs(const PictureDecodeJobs&) = delete;
    PictureDecodeJobs& operator=(const PictureDecodeJobs&) = delete;

    // Decodes a copy of the stream's bytes on a thread of its own, at once, and scales the
    // picture to the size SetScreenSize gives for the ticket (the decode does not wait for it);
    // then posts `message` to `window`. The ticket names the result (0: nothing was started).
    unsigned Start(IStream* bytes, HWND window, UINT message);
    // The size of the picture on the screen (none when either is 0): every ticket started must
    // get one, or its thread waits until Cancel.
    void SetScreenSize(unsigned ticket, int width, int height);
    // The finished results, each handed out once.
    std::vector<Result> TakeFinished();
    // Whether a decode started here has not been taken yet.
    bool Pending() const;
    // Waits for every decode still running; their results are freed.
    void Cancel();
    // Frees what a result holds.
    static void Free(Result& result);

    // For tests: called on the decoding thread before it starts.
    static std::function<void()>& BeforeDecode();

private:
    struct Job {
        std::thread thread;
        std::atomic<bool> done{false};
        unsigned ticket = 0;
        bool sized = false;  // the screen size is known (under m_lock)
        int width = 0, height = 0;
    };
    void Run(Job* job, IStream* bytes, HWND window, UINT message);
    void JoinDone(bool all);

    mutable std::mutex m_lock;
    std::condition_variable m_sized;
    bool m_cancelled = false;
    std::vector<std::unique_ptr<Job>> m_jobs;
    std::vector<Result> m_finished;
    unsigned m_nextTicket = 0;
    int m_outstanding = 0;
};
