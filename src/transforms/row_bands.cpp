#include "transforms/row_bands.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <vector>

// Threads come from the C++ library. On Windows that needs MinGW-w64's "posix" thread model
// (x86_64-w64-mingw32-g++-posix), linked with -static so that the DLL carries winpthread
// instead of needing its DLL; the default "win32" model of GCC 12 has no std::thread, and
// there maps are built on the calling thread alone, with the same bits, only slower.
#if !defined(__GLIBCXX__) || defined(_GLIBCXX_HAS_GTHREADS)
#include <thread>
#define CORVEX_HAS_THREADS 1
#else
#define CORVEX_HAS_THREADS 0
#endif

namespace corvex {

namespace {
// Large enough that handing out bands costs nothing measurable; towards the end they shrink to
// single rows, so that no thread waits long at the join for another's last band.
constexpr int32_t kBandRows = 8;
}  // namespace

int32_t DefaultBuildThreads() {
#if CORVEX_HAS_THREADS
  const unsigned cores = std::thread::hardware_concurrency();
  return std::clamp(static_cast<int32_t>(cores), 1, kMaxBuildThreads);
#else
  return 1;
#endif
}

void ForEachRowBand(int32_t rows, int32_t threads,
                    const std::function<void(int32_t, int32_t)>& band) {
  const int32_t bands = (rows + kBandRows - 1) / kBandRows;
  if (bands <= 0) return;  // a map without rows
  threads = std::clamp(threads, 1, std::min(bands, kMaxBuildThreads));
  std::atomic<int32_t> next{0};
  const auto work = [&] {
    for (int32_t first = next.load(std::memory_order_relaxed);;) {
      const int32_t left = rows - first;
      if (left <= 0) return;
      const int32_t size = std::clamp(left / (4 * threads), 1, kBandRows);
      if (next.compare_exchange_weak(first, first + size, std::memory_order_relaxed)) {
        band(first, first + size);
        first = next.load(std::memory_order_relaxed);
      }
    }
  };
#if CORVEX_HAS_THREADS
  std::vector<std::thread> helpers;
  helpers.reserve(static_cast<size_t>(threads - 1));
  for (int32_t t = 1; t < threads; ++t) {
    try {
      helpers.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // no more threads to be had: those started and this one do all the bands
    }
  }
  work();
  for (std::thread& helper : helpers) helper.join();
#else
  work();
#endif
}

}  // namespace corvex
