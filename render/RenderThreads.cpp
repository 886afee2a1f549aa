// Worker threads of the pixel work and the timings the export benchmark reads.
#include "render/RenderThreads.h"

#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

std::atomic<int> g_renderThreads{0};
RenderTimings g_renderTimings;

}  // namespace

int GetRenderThreadCount() {
    const int set = g_renderThreads.load();
    if (set > 0) return set;
    // The processors this process may run on (a user or a benchmark may have pinned it to some),
    // not all the machine has.
    DWORD_PTR process = 0, system = 0;
    int cores = 0;
    if (::GetProcessAffinityMask(::GetCurrentProcess(), &process, &system)) {
        for (; process; process &= process - 1) ++cores;
    } else {
        SYSTEM_INFO info;
        ::GetSystemInfo(&info);
        cores = static_cast<int>(info.dwNumberOfProcessors);
    }
    return cores < 1 ? 1 : (cores > 32 ? 32 : cores);
}

void SetRenderThreadCount(int threads) {
    g_renderThreads.store(threads < 0 ? 0 : threads);
}

void ParallelRuns(int count, int parts, int minRun, const std::function<void(int, int)>& work) {
    if (count <= 0) return;
    if (minRun < 1) minRun = 1;
    if (parts > count / minRun) parts = count / minRun;
    if (parts < 1) parts = 1;
    if (parts == 1) {
        work(0, count);
        return;
    }
    std::vector<std::thread> threads;
    threads.reserve(parts - 1);
    for (int p = 1; p < parts; ++p) {
        const int begin = static_cast<int>(static_cast<long long>(count) * p / parts);
        const int end = static_cast<int>(static_cast<long long>(count) * (p + 1) / parts);
        try {
            threads.emplace_back(work, begin, end);
        } catch (...) {
            // No thread to be had: this run is worked here instead.
            work(begin, end);
        }
    }
    work(0, static_cast<int>(static_cast<long long>(count) / parts));
    for (std::thread& t : threads) t.join();
}

RenderTimings& GetRenderTimings() {
    return g_renderTimings;
}

void ResetRenderTimings() {
    g_renderTimings = RenderTimings();
}

double RenderClockSeconds() {
    LARGE_INTEGER f, c;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}
