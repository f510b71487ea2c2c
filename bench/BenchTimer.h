#ifndef GLIMWICK_BENCH_BENCHTIMER_H
#define GLIMWICK_BENCH_BENCHTIMER_H

#include <windows.h>

// Milliseconds that f takes, by the performance counter.
template <typename F>
double Time(F&& f)
{
    LARGE_INTEGER frequency, tStart, tEnd;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&tStart);
    f();
    ::QueryPerformanceCounter(&tEnd);
    return 1000.0 * static_cast<double>(tEnd.QuadPart - tStart.QuadPart) / static_cast<double>(frequency.QuadPart);
}

#endif
