// Timing and reporting shared by the canvas's benchmark programs (run by hand, not by ctest).
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace cvtest {

inline double Milliseconds(LARGE_INTEGER a, LARGE_INTEGER b) {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return (b.QuadPart - a.QuadPart) * 1000.0 / f.QuadPart;
}

// One line: the median, mean and longest of the times.
inline void Report(const char* what, std::vector<double> times) {
    if (times.empty()) return;
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times) sum += t;
    std::printf("%-48s median %6.2f ms  mean %6.2f ms  max %6.2f ms  (%u runs)\n", what,
                times[times.size() / 2], sum / times.size(), times.back(),
                static_cast<unsigned>(times.size()));
}

}  // namespace cvtest
