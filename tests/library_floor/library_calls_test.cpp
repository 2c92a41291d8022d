// The recorder behind the C library's floor of a map build: it must catch every math call a
// build makes, no more (values shared between mirrored pixels are asked for once), and replay
// each one with its own arguments.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "base/random.h"
#include "library_floor/library_calls.h"
#include "transforms/transform_manager.h"

namespace corvex::bench {
namespace {

constexpr int32_t kPolarSlots[] = {0, 1, 2, 8, 10, 11, 12};

LibraryCalls Record(int32_t slot, bool share, int32_t threads) {
  TransformManager map;
  map.AllocateMap(64, 48);
  map.shareMirroredRows = share;
  map.buildThreads = threads;
  SeedRandom(5);
  map.currentTransform = slot;
  return RecordBuild(map);
}

TEST(LibraryCalls, CatchesEveryAngleOfABuildAndCountsSharedOnesOnce) {
  const size_t pixels = 64 * 48;
  for (int32_t slot : kPolarSlots) {
    SCOPED_TRACE(kTransformNames[slot]);
    // Each pixel asks for its own angle and its own point on the circle when nothing is shared:
    // a sincos where the compiler joined the sine and the cosine, each apart where it did not.
    const LibraryCalls own = Record(slot, false, 1);
    EXPECT_EQ(own.atan2.size(), pixels);
    EXPECT_GE(own.sincos.size() + std::min(own.sin.size(), own.cos.size()), pixels);
    // The count does not depend on the threads the map was told to use.
    const LibraryCalls shared = Record(slot, true, 1), sharedOnTwo = Record(slot, true, 2);
    EXPECT_EQ(sharedOnTwo.atan2.size(), shared.atan2.size());
    EXPECT_EQ(sharedOnTwo.Count(), shared.Count());
    EXPECT_LE(shared.Count(), own.Count());
  }
  // A centre in the middle of the map always mirrors its rows: the mirror images' angles are
  // the negatives of their pairs', not asked for again.
  for (int32_t slot : {1, 2}) {
    EXPECT_LT(Record(slot, true, 1).atan2.size(), Record(slot, false, 1).atan2.size())
        << kTransformNames[slot];
  }
}

TEST(LibraryCalls, ReplayMakesEachCallWithItsOwnArguments) {
  LibraryCalls calls;
  calls.atan2 = {{1, 0}};  // the quarter turn, not atan2(0, 1) = 0
  calls.sin = {M_PI / 2};
  calls.cos = {M_PI};
  calls.sincos = {M_PI / 2};
  calls.pow = {{2, 10}};  // not 10 squared
  EXPECT_DOUBLE_EQ(ReplayCalls(calls), M_PI / 2 + 1 - 1 + 1 + 1024);
  calls.pow.clear();
  EXPECT_DOUBLE_EQ(ReplayCalls(calls), M_PI / 2 + 1);
  EXPECT_EQ(ReplayCalls(LibraryCalls{}), 0);
}

}  // namespace
}  // namespace corvex::bench
