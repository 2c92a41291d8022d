#pragma once
#include <cstdint>
#include <functional>

namespace corvex {

// The number of threads a map build uses when none is asked for: one per core the system
// reports, at most kMaxBuildThreads, at least 1.
inline constexpr int32_t kMaxBuildThreads = 64;
int32_t DefaultBuildThreads();

// Calls band(firstRow, endRow) for consecutive bands of rows that together cover 0 to
// rows - 1 once each, on up to `threads` threads: the calling thread and threads started
// here, which are all joined before this returns. Bands are handed out in row order as
// threads become free, so a slow region does not hold up the rest. With one thread (or
// where threads cannot be started) the bands run in row order on the calling thread.
void ForEachRowBand(int32_t rows, int32_t threads,
                    const std::function<void(int32_t firstRow, int32_t endRow)>& band);

}  // namespace corvex
