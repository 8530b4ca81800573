#pragma once

// What a piece of work costs in elapsed time and in processor time, for the
// benchmarks that set one side against another.

#include <time.h>

#include <algorithm>
#include <chrono>

namespace quorvex::bench {

// Processor time of the whole process (all threads), in seconds.
inline double processorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Seconds; processor time of all threads in the same run.
struct Cost {
    double wall = 0;
    double processor = 0;
};

template <typename Work> Cost costOf(Work&& work) {
    const double processorStart = processorSeconds();
    const auto start = std::chrono::steady_clock::now();
    work();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return {wall, processorSeconds() - processorStart};
}

// The least elapsed and the least processor time seen so far, each on its own.
inline void keepLeast(Cost& least, const Cost& cost, bool first) {
    least.wall = first ? cost.wall : std::min(least.wall, cost.wall);
    least.processor = first ? cost.processor : std::min(least.processor, cost.processor);
}

} // namespace quorvex::bench
