#include "transforms/row_bands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace corvex::testing {
namespace {

struct Bands {
  std::vector<std::pair<int32_t, int32_t>> handedOut;  // in the order the bands began
  std::vector<std::thread::id> threads;
};

Bands Share(int32_t rows, int32_t threads) {
  Bands bands;
  std::mutex lock;
  ForEachRowBand(rows, threads, [&](int32_t first, int32_t end) {
    const std::lock_guard<std::mutex> hold(lock);
    bands.handedOut.emplace_back(first, end);
    bands.threads.push_back(std::this_thread::get_id());
  });
  return bands;
}

// However the rows are shared out, each row is in exactly one band and no band is empty.
// Counts on both sides of the band size and of the point where bands shrink.
TEST(RowBands, EveryRowComesOnceOnAnyNumberOfThreads) {
  for (int32_t rows : {0, 1, 7, 8, 9, 33, 100, 541, 1080}) {
    for (int32_t threads : {1, 2, 3, 8}) {
      Bands bands = Share(rows, threads);
      std::sort(bands.handedOut.begin(), bands.handedOut.end());
      int32_t next = 0;
      for (const auto& [first, end] : bands.handedOut) {
        ASSERT_EQ(first, next) << rows << " rows on " << threads << " threads";
        ASSERT_GT(end, first) << "an empty band at row " << first;
        next = end;
      }
      EXPECT_EQ(next, rows) << rows << " rows on " << threads << " threads";
    }
  }
}

// One thread does every band itself, in row order; the last bands of a long run are single
// rows, so that at the join no thread waits for most of a large band of another's.
TEST(RowBands, OneThreadWorksAloneAndTheLastBandsAreSingleRows) {
  const Bands alone = Share(100, 1);
  for (std::thread::id id : alone.threads) EXPECT_EQ(id, std::this_thread::get_id());
  EXPECT_TRUE(std::is_sorted(alone.handedOut.begin(), alone.handedOut.end()));
  for (int32_t threads : {1, 2}) {
    Bands bands = Share(1080, threads);
    std::sort(bands.handedOut.begin(), bands.handedOut.end());
    ASSERT_GE(bands.handedOut.size(), 3u);
    for (size_t k = bands.handedOut.size() - 3; k < bands.handedOut.size(); ++k) {
      EXPECT_EQ(bands.handedOut[k].second - bands.handedOut[k].first, 1) << "band " << k;
    }
    const auto widest = std::max_element(
        bands.handedOut.begin(), bands.handedOut.end(), [](const auto& a, const auto& b) {
          return a.second - a.first < b.second - b.first;
        });
    EXPECT_GT(widest->second - widest->first, 1) << "only single rows, even while many are left";
  }
}

}  // namespace
}  // namespace corvex::testing
