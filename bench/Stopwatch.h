#pragma once

// Wall time and this thread's CPU time since construction, for the parts of a
// benchmark that Google Benchmark does not time itself.
#include <time.h>

class Stopwatch {
public:
    Stopwatch() : m_wall(now(CLOCK_MONOTONIC)), m_cpu(now(CLOCK_THREAD_CPUTIME_ID)) {}
    double wallSeconds() const { return now(CLOCK_MONOTONIC) - m_wall; }
    double cpuSeconds() const { return now(CLOCK_THREAD_CPUTIME_ID) - m_cpu; }

private:
    static double now(clockid_t clock) {
        timespec ts{};
        clock_gettime(clock, &ts);
        return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
    }
    double m_wall;
    double m_cpu;
};
