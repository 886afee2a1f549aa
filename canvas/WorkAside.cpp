// Work done on a thread of its own while the window's thread answers.
#include "canvas/WorkAside.h"

#include <objbase.h>

#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

bool AnswerUntil(HWND window, const std::function<bool()>& done, bool posted) {
    const DWORD wake = QS_PAINT | QS_SENDMESSAGE | (posted ? QS_POSTMESSAGE | QS_TIMER : 0);
    const UINT take = PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE | (posted ? PM_QS_POSTMESSAGE : 0);
    for (;;) {
        if (done()) return true;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, wake);
        MSG m;
        while (::PeekMessageA(&m, nullptr, 0, 0, take)) {
            if (m.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(m.wParam));
                return false;
            }
            ::TranslateMessage(&m);
            ::DispatchMessageA(&m);
        }
        if (window && !::IsWindow(window)) return false;
    }
}

void RunAside(HWND window, const std::function<void()>& work, bool answering, bool posted) {
    std::atomic<bool> done{false};
    // What the work throws is thrown again here, where the caller's guard takes it.
    std::exception_ptr thrown;
    std::thread worker;
    try {
        worker = std::thread([&] {
            const HRESULT com = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            try {
                work();
            } catch (...) {
                thrown = std::current_exception();
            }
            if (SUCCEEDED(com)) ::CoUninitialize();
            done = true;
        });
    } catch (const std::system_error&) {
        work();
        return;
    }
    if (answering) AnswerUntil(window, [&] { return done.load(); }, posted);
    worker.join();
    if (thrown) std::rethrow_exception(thrown);
}
