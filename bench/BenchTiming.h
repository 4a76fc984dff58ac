#pragma once
// Timing shared by the benchmarks: warm once, then the best of three runs.

#include <algorithm>
#include <chrono>
#include <functional>

namespace bench {

/// Runs once to warm the caches, then returns the best of three runs in milliseconds; `ok`
/// turns false (and timing stops) when a run fails.
inline double bestOfThree(const std::function<bool()>& run, bool& ok) {
    ok = run();
    double best = 1e300;
    for (int i = 0; i < 3 && ok; ++i) {
        auto start = std::chrono::steady_clock::now();
        ok = run();
        std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

}  // namespace bench
