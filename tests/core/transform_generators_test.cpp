// What each transform does to the picture, pinned through forced random draws and read back
// from the map: where pixels come from, which columns are copied whole, which weights appear.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "map_probe.h"

namespace corvex::testing {
namespace {

constexpr double kReadBack = 0.02;  // how closely SourceOf recovers a source position

class Generator : public ::testing::Test {
 protected:
  void Allocate(int32_t width, int32_t height) { map.AllocateMap(width, height); }
  // Builds `slot` with a seed whose draws match `draws`; returns the seed.
  uint32_t Build(int32_t slot, const std::vector<std::pair<int32_t, int32_t>>& draws) {
    const uint32_t seed = SeedFor(draws);
    BuildSeeded(map, slot, seed);
    return seed;
  }
  Position Source(int32_t x, int32_t y) {
    const auto source = SourceOf(map, x, y);
    EXPECT_TRUE(source.has_value()) << "pixel " << x << "," << y << " is outside";
    return source.value_or(Position{NAN, NAN});
  }
  bool Outside(int32_t x, int32_t y) { return EntryAt(map, x, y).Sum() == 0; }
  // Calls check(x, y, source) for every 7th pixel of every 5th row whose source is inside.
  template <typename Check>
  void ForSampledInside(Check check) {
    for (int32_t y = 0; y < map.mapHeight; y += 5) {
      for (int32_t x = 0; x < map.mapWidth; x += 7) {
        if (auto s = SourceOf(map, x, y)) check(x, y, *s);
      }
    }
  }

  TransformManager map;
};

double Distance(double x, double y, double cx, double cy) { return std::hypot(x - cx, y - cy); }
double AngleBetween(double x0, double y0, double x1, double y1, double cx, double cy) {
  return std::remainder(std::atan2(y1 - cy, x1 - cx) - std::atan2(y0 - cy, x0 - cx), 2 * M_PI);
}

TEST_F(Generator, ParabolicZoomerWithoutZoomIsAPureRotationAboutTheMiddle) {
  Allocate(320, 240);
  Build(1, {{5, 5}, {1, 0}, {3, kAny}, {5, 0}});  // turn (5 - 2.7) / 60, p = 0, c = 0
  const double turn = 2.3 / 60;
  int checked = 0;
  ForSampledInside([&](int32_t x, int32_t y, Position s) {
    const double r = Distance(x, y, 160, 120);
    if (r < 10) return;
    EXPECT_NEAR(Distance(s.x, s.y, 160, 120), r, kReadBack) << x << "," << y;
    EXPECT_NEAR(AngleBetween(x, y, s.x, s.y, 160, 120), turn, kReadBack / r) << x << "," << y;
    ++checked;
  });
  EXPECT_GT(checked, 1500);
  EXPECT_EQ(map.sustainOptional, 1);
  EXPECT_EQ(map.centerDetail, 0);
}

TEST_F(Generator, BubblePushesOutwardNearTheMiddleAndInwardFarOutAlongTheSameRay) {
  Allocate(320, 240);
  Build(2, {{10, 0}, {2, 0}});  // a = -0.1333..., f = 1
  int inner = 0, outer = 0;
  ForSampledInside([&](int32_t x, int32_t y, Position s) {
    const double r = Distance(x, y, 160, 120);
    if (r < 2) return;
    EXPECT_NEAR(AngleBetween(x, y, s.x, s.y, 160, 120), 0, kReadBack / r) << x << "," << y;
    const double push = Distance(s.x, s.y, 160, 120) - r;
    if (r < 0.2 * 320) {
      EXPECT_GT(push, 0.02) << x << "," << y;  // taken from farther out: drawn inwards
      EXPECT_LT(push, 0.1334 + kReadBack);
      ++inner;
    } else if (r > 0.35 * 320) {
      EXPECT_LT(push, -0.02) << x << "," << y;
      ++outer;
    }
  });
  EXPECT_GT(inner, 100);
  EXPECT_GT(outer, 100);
}

TEST_F(Generator, FastZoomerKeepsTheMiddleAndTakesTheEdgesFromAnEleventhIn) {
  Allocate(320, 240);
  Build(3, {{7, 0}});  // s = 1 / 1.1
  const MapEntry middle = EntryAt(map, 160, 120);
  EXPECT_EQ(middle.offset, 4u * (120 * 320 + 160));
  EXPECT_EQ(middle.w, (std::array<int, 4>{255, 0, 0, 0}));
  for (int32_t y : {0, 57, 120, 239}) EXPECT_NEAR(Source(0, y).x, 320.0 / 22, kReadBack);
  for (int32_t x : {0, 99, 319}) EXPECT_NEAR(Source(x, 0).y, 240.0 / 22, kReadBack);
  EXPECT_EQ(map.sustain, 0);
  EXPECT_EQ(map.sustainOptional, 1);
  EXPECT_EQ(map.centerDetail, 1);
}

TEST_F(Generator, UndulatingSliderCopiesElevenWholeColumnsFromNearTheOtherEdge) {
  Allocate(320, 240);
  for (int32_t direction : {0, 1}) {  // the draw 0 slides left (d = 1), 1 slides right
    Build(4, {{3, kAny}, {5, kAny}, {1, direction}, {3, kAny}});
    const int32_t firstCopied = direction == 0 ? 0 : 309;
    const int32_t firstSource = direction == 0 ? 308 : 2;
    for (int32_t y : {0, 100, 239}) {
      for (int32_t k = 0; k < 11; ++k) {
        const MapEntry e = EntryAt(map, firstCopied + k, y);
        EXPECT_EQ(e.offset, 4u * static_cast<uint32_t>(y * 320 + firstSource + k))
            << "column " << firstCopied + k;
        EXPECT_EQ(e.w, (std::array<int, 4>{255, 0, 0, 0}));
      }
      // The next column in slides: from the left for d = 1, from the right for d = -1.
      const Position next = direction == 0 ? Source(11, y) : Source(308, y);
      EXPECT_EQ(next.y, y);
      if (direction == 0) {
        EXPECT_LT(next.x, 11 - 0.26);
      } else {
        EXPECT_GT(next.x, 308 + 0.26);
      }
    }
    EXPECT_EQ(map.sustainOptional, 1);
    EXPECT_EQ(map.centerDetail, 1);
  }
}

TEST_F(Generator, FuzzyFadeAveragesBlocksOnTheCheckerboardAndFades) {
  Allocate(320, 240);
  Build(5, {});
  const MapEntry origin = EntryAt(map, 0, 0);
  EXPECT_EQ(origin.offset, 0u);
  EXPECT_EQ(origin.w, (std::array<int, 4>{63, 63, 63, 63}));
  EXPECT_TRUE(Outside(1, 0));  // half a pixel above the picture
  EXPECT_EQ(EntryAt(map, 1, 0).offset, 0u);
  // An odd pixel takes the block up and to the left, an even one down and to the right.
  EXPECT_EQ(EntryAt(map, 2, 1).offset, 4u * (0 * 320 + 1));
  EXPECT_EQ(EntryAt(map, 2, 2).offset, 4u * (2 * 320 + 2));
  for (int32_t y = 0; y < 240; ++y) {
    for (int32_t x = 0; x < 320; ++x) {
      const MapEntry e = EntryAt(map, x, y);
      if (e.Sum() != 0) {
        ASSERT_EQ(e.w, (std::array<int, 4>{63, 63, 63, 63})) << x << "," << y;
      }
    }
  }
  EXPECT_EQ(map.sustain, 0);
  EXPECT_EQ(map.centerDetail, 1);
}

TEST_F(Generator, ShinyTilesOfOnePixelShiftAlternateColumnsAndRowsOppositeWays) {
  Allocate(320, 240);
  Build(6, {{3, 0}});  // tiles of 1 pixel
  EXPECT_TRUE(Outside(0, 0));
  EXPECT_EQ(EntryAt(map, 2, 2).offset, 0u);
  EXPECT_EQ(EntryAt(map, 2, 2).w, (std::array<int, 4>{63, 63, 63, 63}));
  ForSampledInside([&](int32_t x, int32_t y, Position s) {
    EXPECT_NEAR(s.x - x, x % 2 == 0 ? -1.5 : 1.5, kReadBack) << x << "," << y;
    EXPECT_NEAR(s.y - y, y % 2 == 0 ? -1.5 : 1.5, kReadBack) << x << "," << y;
  });
  EXPECT_EQ(map.sustain, 1);
}

TEST_F(Generator, DiagonalFadeMovesThePictureByOneStepEverywhere) {
  Allocate(320, 240);
  for (uint32_t seed : {3u, 4u, 5u}) {
    BuildSeeded(map, 7, seed);
    std::optional<int64_t> shift;
    std::optional<std::array<int, 4>> weights;
    for (int32_t i = 0; i < map.mapPixelCount; ++i) {
      const MapEntry e = EntryAt(map, i % 320, i / 320);
      if (e.Sum() == 0) continue;
      if (!shift) shift = int64_t{e.offset / 4} - i, weights = e.w;
      ASSERT_EQ(int64_t{e.offset / 4} - i, *shift) << "pixel " << i;
      ASSERT_EQ(e.w, *weights) << "pixel " << i;
    }
    EXPECT_TRUE(shift.has_value());
    EXPECT_EQ(map.sustain, 1);
  }
}

TEST_F(Generator, TranslateAndSpinTurnsBySpinOver256AtHalfWidthAndDriftsUpOrDown) {
  Allocate(640, 480);
  for (int32_t driftDraw : {0, 1}) {
    const uint32_t seed = Build(8, {{640, kAny}, {480, kAny}, {6, 6}, {1, driftDraw}});
    const std::vector<int32_t> centre = Draws(seed, {640, 480});
    const int32_t cx = centre[0] / 2 + 160, cy = centre[1] / 2 + 120;
    const double drift = driftDraw == 0 ? 0.9 : -0.9, turn = 0.32 / 256;
    // At the centre the source lies drift rows up (0.9) or down (-0.9).
    EXPECT_NEAR(Source(cx, cy).x, cx, kReadBack);
    EXPECT_NEAR(Source(cx, cy).y, cy - drift, kReadBack);
    // Half the width away, on the side that is inside the picture, the turn is spin / 256.
    const int32_t side = cx >= 320 ? -1 : 1;
    const Position s = Source(cx + side * 320, cy);
    EXPECT_NEAR(s.x, cx + side * 320 * std::cos(turn), kReadBack);
    EXPECT_NEAR(s.y, cy + side * 320 * std::sin(turn) - drift, kReadBack);
  }
}

TEST_F(Generator, KaleidoscopeIsSymmetricInBothAxesAndTheDiagonalsAboutTheMiddle) {
  Allocate(320, 240);
  Build(9, {{2, kAny}});
  EXPECT_NEAR(Source(160, 120).x, 0.505 * 320, kReadBack);
  EXPECT_NEAR(Source(160, 120).y, 0.495 * 240, kReadBack);
  for (int32_t a = 0; a < 120; a += 3) {
    for (int32_t b = 0; b < 120; b += 5) {
      const MapEntry e = EntryAt(map, 160 + a, 120 + b);
      for (auto [x, y] : {std::pair{160 - a, 120 + b}, {160 + a, 120 - b}, {160 - a, 120 - b},
                          {160 + b, 120 + a}}) {
        const MapEntry mirrored = EntryAt(map, x, y);
        ASSERT_EQ(mirrored.offset, e.offset) << a << "," << b;
        ASSERT_EQ(mirrored.w, e.w) << a << "," << b;
      }
    }
  }
  // The last pixel's centred, scaled position is what stays in pixelX and pixelY.
  EXPECT_NEAR(map.pixelX / map.pixelY, 159.0 / 119.0, 1e-12);
  EXPECT_LT(map.pixelX, 2.0);
  EXPECT_EQ(map.sustainOptional, 1);
  EXPECT_EQ(map.centerDetail, 1);
}

TEST_F(Generator, TypoRunningOffsetStartsAgainWithEveryBuild) {
  Allocate(320, 240);
  BuildSeeded(map, 11, 21);
  const std::vector<uint32_t> offsets(map.sourceOffsets, map.sourceOffsets + map.mapPixelCount);
  const std::vector<uint8_t> weights(map.sourceWeights, map.sourceWeights + 4 * map.mapPixelCount);
  BuildSeeded(map, 11, 22);
  EXPECT_NE(std::vector<uint32_t>(map.sourceOffsets, map.sourceOffsets + map.mapPixelCount),
            offsets);
  BuildSeeded(map, 11, 21);
  EXPECT_EQ(std::vector<uint32_t>(map.sourceOffsets, map.sourceOffsets + map.mapPixelCount),
            offsets);
  EXPECT_EQ(std::vector<uint8_t>(map.sourceWeights, map.sourceWeights + 4 * map.mapPixelCount),
            weights);
}

TEST_F(Generator, SpiralTilesSteppedFormMovesEverySourceEightTenthsBothWays) {
  Allocate(320, 240);
  Build(13, {{8, kAny}, {4, kAny}, {1, 0}});
  int inside = 0;
  for (int32_t i = 0; i < map.mapPixelCount; ++i) {
    MapEntry e = EntryAt(map, i % 320, i / 320);
    if (e.Sum() == 0) continue;
    std::sort(e.w.begin(), e.w.end());
    ASSERT_EQ(e.w, (std::array<int, 4>{10, 40, 40, 163})) << "pixel " << i;
    ++inside;
  }
  EXPECT_GT(inside, 318 * 238);
  EXPECT_EQ(map.sustain, 1);
}

TEST_F(Generator, PlainSineWaveSwingsOneRowEachWayAt640Wide) {
  Allocate(640, 480);
  Build(14, {{8, kAny}, {10000, kAny}, {4, 1}});  // amplitude (1 - 1.5) * 1280 / 640 = -1
  double largest = 0;
  std::optional<double> slide;
  ForSampledInside([&](int32_t x, int32_t y, Position s) {
    if (!slide) slide = s.x - x;
    EXPECT_NEAR(s.x - x, *slide, kReadBack);
    EXPECT_LE(std::abs(s.y - y), 1 + kReadBack);
    largest = std::max(largest, std::abs(s.y - y));
  });
  EXPECT_GT(largest, 0.98);
  EXPECT_EQ(map.sustain, 1);
}

// The random draws of each slot, in order: their bounds (W and H stand for the map's size),
// and the draw after the map that decides `sustain` (none where it is fixed).
struct DrawPlan {
  std::vector<int32_t> bounds;
  int32_t flagBound;  // -1: sustain is fixed
  int fixedSustain;
  bool (*sustainFromDraw)(int32_t);
  uint8_t sustainOptional, centerDetail;
};

bool UnlessZero(int32_t v) { return v != 0; }
bool IfOne(int32_t v) { return v == 1; }

std::vector<DrawPlan> Plans(int32_t w, int32_t h) {
  return {
      {{3 * w / 4, 3 * h / 4, 5, 20, 10, 10, 5}, 4, 0, UnlessZero, 0, 0},
      {{5, 1, 3, 5}, 2, 0, IfOne, 1, 0},
      {{10, 2}, 2, 0, IfOne, 0, 0},
      {{7}, -1, 0, nullptr, 1, 1},
      {{3, 5, 1, 3}, 2, 0, UnlessZero, 1, 1},
      {{}, -1, 0, nullptr, 0, 1},
      {{3}, -1, 1, nullptr, 0, 0},
      {{10, 10, 10, 10, 1, 1}, -1, 1, nullptr, 0, 0},
      {{w, h, 6, 1}, 2, 0, UnlessZero, 0, 0},
      {{2}, -1, 0, nullptr, 1, 1},
      {{w, h, 4, 1}, 3, 0, UnlessZero, 0, 0},
      {{w, h, 2, 2, 1, 8}, 3, 0, UnlessZero, 0, 0},
      {{w, h, 4, 2, 2, 1}, 3, 0, UnlessZero, 0, 0},
      {{8, 4, 1}, -1, 1, nullptr, 0, 0},
      {{8, 10000, 4}, -1, 1, nullptr, 0, 0},
  };
}

TEST_F(Generator, EachDrawsItsParametersThenItsSustainFlagAndSetsTheOtherFlags) {
  Allocate(48, 36);
  const std::vector<DrawPlan> plans = Plans(48, 36);
  for (int32_t slot = 0; slot < kTransformCount; ++slot) {
    const DrawPlan& plan = plans[slot];
    for (uint32_t seed = 1; seed <= 12; ++seed) {
      std::vector<int32_t> bounds = plan.bounds;
      if (plan.flagBound >= 0) bounds.push_back(plan.flagBound);
      const std::vector<int32_t> draws = Draws(seed, bounds);
      const int expectedNext = std::rand();
      BuildSeeded(map, slot, seed);
      // The build made exactly these draws: the generator's next number is the replay's.
      EXPECT_EQ(std::rand(), expectedNext) << "slot " << slot << " seed " << seed;
      const int sustain = plan.flagBound >= 0 ? plan.sustainFromDraw(draws.back()) : plan.fixedSustain;
      EXPECT_EQ(map.sustain, sustain) << "slot " << slot << " seed " << seed;
      EXPECT_EQ(map.sustainOptional, plan.sustainOptional) << "slot " << slot;
      EXPECT_EQ(map.centerDetail, plan.centerDetail) << "slot " << slot;
    }
  }
}

}  // namespace
}  // namespace corvex::testing
