// The worker threads of the pixel work that export and printing do (resampling pictures, colour
// changes, PNG compression), and the time each kind of work took, for the export benchmark.
#pragma once

#include <functional>

// Threads the pixel work may use: the number set by SetRenderThreadCount, or the processors of
// the machine when none (or 0) was set.
int GetRenderThreadCount();
void SetRenderThreadCount(int threads);

// Splits [0, count) into at most `parts` consecutive runs of at least `minRun` items and calls
// work(begin, end) for each, on threads of their own; returns when all are done. The first run is
// worked on the calling thread.
void ParallelRuns(int count, int parts, int minRun, const std::function<void(int begin, int end)>& work);

// Seconds spent, summed since the last reset, in the parts of an export that the benchmark
// reports on their own.
struct RenderTimings {
    double resampling = 0;  // pictures brought to their drawn size
    double encoding = 0;    // PNG rows filtered, compressed and written
    double texts = 0;       // text layers drawn (their layout included when due)
};
RenderTimings& GetRenderTimings();
void ResetRenderTimings();
// Seconds on a steady clock.
double RenderClockSeconds();
