#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/random.h"
#include "transforms/generator_loop.h"
#include "transforms/map_rows.h"
#include "transforms/transform_manager.h"

namespace corvex::testing {
namespace {

void BuildSeeded(TransformManager& map, int32_t slot, uint32_t seed) {
  map.currentTransform = slot;
  SeedRandom(seed);
  map.BuildMap();
}

// FNV-1a over the offsets (each as four bytes, least significant first), then the weights.
std::string MapHash(const TransformManager& map) {
  uint64_t hash = 0xcbf29ce484222325ull;
  auto add = [&hash](uint8_t byte) { hash = (hash ^ byte) * 0x100000001b3ull; };
  for (int32_t i = 0; i < 4 * map.mapPixelCount; ++i) add(map.sourceOffsets[i / 4] >> i % 4 * 8);
  for (int32_t i = 0; i < 4 * map.mapPixelCount; ++i) add(map.sourceWeights[i]);
  char text[32];
  std::snprintf(text, sizeof text, "%016" PRIx64, hash);
  return text;
}

constexpr int32_t kAny = -1;
constexpr double kReadBack = 0.02;  // how closely Source recovers a source position
using Draws = std::vector<std::pair<int32_t, int32_t>>;  // {bound, wanted value or kAny}

struct Entry {
  uint32_t offset;
  std::array<int, 4> w;
  int Sum() const { return w[0] + w[1] + w[2] + w[3]; }
  bool operator==(const Entry&) const = default;
};
struct Position { double x, y; };

class Generator : public ::testing::Test {
 protected:
  // Builds `slot` at the given size with the first seed whose draws match; returns the seed.
  uint32_t Build(int32_t width, int32_t height, int32_t slot, const Draws& draws) {
    map.AllocateMap(width, height);
    for (uint32_t seed = 1;; ++seed) {
      SeedRandom(seed);
      bool ok = true;
      for (auto [bound, value] : draws) ok = (RandomInt(bound) == value || value == kAny) && ok;
      if (!ok) continue;
      BuildSeeded(map, slot, seed);
      return seed;
    }
  }
  Entry At(int32_t x, int32_t y) const {
    const uint8_t* w = map.sourceWeights + 4 * (y * map.mapWidth + x);
    return {map.sourceOffsets[y * map.mapWidth + x], {w[0], w[1], w[2], w[3]}};
  }
  // The source position an entry was made from, read back from its block and weights.
  Position Source(int32_t x, int32_t y) const {
    const Entry e = At(x, y);
    if (e.Sum() == 0) ADD_FAILURE() << "pixel " << x << "," << y << " is outside";
    const int32_t block = static_cast<int32_t>(e.offset / 4);
    return {block % map.mapWidth + (e.w[1] + e.w[3]) / double(e.Sum()),
            block / map.mapWidth + (e.w[2] + e.w[3]) / double(e.Sum())};
  }
  void ExpectSource(int32_t x, int32_t y, double sx, double sy) const {
    const Position s = Source(x, y);
    EXPECT_NEAR(s.x, sx, kReadBack) << "pixel " << x << "," << y;
    EXPECT_NEAR(s.y, sy, kReadBack) << "pixel " << x << "," << y;
  }
  TransformManager map;
};

TEST_F(Generator, ParabolicZoomerWithoutZoomTurnsAboutTheMiddle) {
  Build(320, 240, 1, {{5, 5}, {1, 0}, {3, kAny}, {5, 0}});  // turn 2.3 / 60, p = c = 0
  const double c = std::cos(2.3 / 60), s = std::sin(2.3 / 60);
  for (auto [dx, dy] : {std::pair{100, 0}, {0, -100}, {-70, 80}, {3, 2}}) {
    ExpectSource(160 + dx, 120 + dy, 160 + dx * c - dy * s, 120 + dx * s + dy * c);
  }
}

TEST_F(Generator, BubbleDrawsTheMiddleInwardsAndFarOutTheRippleWins) {
  Build(320, 240, 2, {{10, 0}, {2, 0}});  // a = -0.1333..., f = 1
  const Position near = Source(170, 120), far = Source(300, 120);
  EXPECT_GT(near.x, 170.02);
  EXPECT_LT(near.x, 170.1334 + kReadBack);
  EXPECT_LT(far.x, 300 - 0.02);
  EXPECT_NEAR(near.y, 120, kReadBack);  // along the same ray
  EXPECT_NEAR(far.y, 120, kReadBack);
}

TEST_F(Generator, FastZoomerKeepsTheMiddleAndTakesTheEdgesFromAnEleventhIn) {
  Build(320, 240, 3, {{7, 0}});  // s = 1 / 1.1
  EXPECT_EQ(At(160, 120), (Entry{4 * (120 * 320 + 160), {255, 0, 0, 0}}));
  EXPECT_NEAR(Source(0, 57).x, 320.0 / 22, kReadBack);
  EXPECT_NEAR(Source(99, 0).y, 240.0 / 22, kReadBack);
}

TEST_F(Generator, UndulatingSliderCopiesElevenWholeColumnsFromNearTheOtherEdge) {
  for (bool left : {true, false}) {  // the draw 0 slides left, 1 right
    Build(320, 240, 4, {{3, kAny}, {5, kAny}, {1, left ? 0 : 1}, {3, kAny}});
    for (int32_t k = 0; k < 11; ++k) {
      const uint32_t from = 100 * 320 + (left ? 308 : 2) + k;
      EXPECT_EQ(At(left ? k : 309 + k, 100), (Entry{4 * from, {255, 0, 0, 0}})) << k;
    }
    const Position next = Source(left ? 11 : 308, 100);  // slides, by at least 0.9 * 0.3
    EXPECT_GT(left ? 11 - next.x : next.x - 308, 0.26);
    EXPECT_EQ(next.y, 100);
  }
}

TEST_F(Generator, FuzzyFadeAveragesBlocksShiftedAlongTheCheckerboard) {
  Build(320, 240, 5, {});
  EXPECT_EQ(At(0, 0), (Entry{0, {63, 63, 63, 63}}));
  EXPECT_EQ(At(1, 0), (Entry{0, {0, 0, 0, 0}}));  // half a pixel above the picture
  EXPECT_EQ(At(2, 1).offset, 4u * (0 * 320 + 1));  // odd: the block up and to the left
  EXPECT_EQ(At(2, 2).offset, 4u * (2 * 320 + 2));  // even: down and to the right
  for (int32_t i = 0; i < map.mapPixelCount; ++i) {
    const Entry e = At(i % 320, i / 320);
    ASSERT_TRUE(e.Sum() == 0 || e.w == (std::array<int, 4>{63, 63, 63, 63})) << "pixel " << i;
  }
}

TEST_F(Generator, ShinyTilesOfOnePixelShiftAlternateColumnsAndRowsOppositeWays) {
  Build(320, 240, 6, {{3, 0}});
  EXPECT_EQ(At(0, 0).Sum(), 0);
  ExpectSource(3, 4, 3 + 1.5, 4 - 1.5);
  ExpectSource(2, 5, 2 - 1.5, 5 + 1.5);
}

TEST_F(Generator, TranslateAndSpinTurnsBySpinOver256AtHalfWidthAndDriftsUpOrDown) {
  for (int32_t driftDraw : {0, 1}) {
    const uint32_t seed = Build(640, 480, 8, {{640, kAny}, {480, kAny}, {6, 6}, {1, driftDraw}});
    SeedRandom(seed);
    const int32_t cx = RandomInt(640) / 2 + 160, cy = RandomInt(480) / 2 + 120;
    const double drift = driftDraw == 0 ? 0.9 : -0.9, turn = 0.32 / 256;
    const int32_t side = cx >= 320 ? -320 : 320;  // half the width away, inside the picture
    ExpectSource(cx, cy, cx, cy - drift);
    ExpectSource(cx + side, cy, cx + side * std::cos(turn), cy + side * std::sin(turn) - drift);
  }
}

TEST_F(Generator, KaleidoscopeTakesTheMiddleFromBesideIt) {
  Build(320, 240, 9, {{2, kAny}});
  ExpectSource(160, 120, 0.505 * 320, 0.495 * 240);
}

TEST_F(Generator, SpiralTilesSteppedFormMovesEverySourceEightTenthsBothWays) {
  Build(320, 240, 13, {{8, kAny}, {4, kAny}, {1, 0}});
  int inside = 0;
  for (int32_t i = 0; i < map.mapPixelCount; ++i) {
    Entry e = At(i % 320, i / 320);
    if (e.Sum() == 0) continue;
    std::sort(e.w.begin(), e.w.end());
    ASSERT_EQ(e.w, (std::array<int, 4>{10, 40, 40, 163})) << "pixel " << i;
    ++inside;
  }
  EXPECT_GT(inside, 318 * 238);
}

TEST_F(Generator, PlainSineWaveSwingsOneRowEachWayAt640Wide) {
  Build(640, 480, 14, {{8, kAny}, {10000, kAny}, {4, 1}});  // amplitude -1
  double largest = 0;
  const double slide = Source(320, 240).x - 320;
  for (int32_t x = 5; x < 630; x += 3) {
    EXPECT_NEAR(Source(x, 240).x - x, slide, kReadBack);
    largest = std::max(largest, std::abs(Source(x, 240).y - 240));
  }
  EXPECT_NEAR(largest, 1, kReadBack);
}

// Per slot: the parameter draws before the map; the bound of the draw after it that decides
// `sustain` and the rule ('u': 1 unless that draw is 0, 'i': 1 if it is 1; '0' and '1': fixed,
// no draw); sustainOptional and centerDetail.
struct Plan {
  int parameters, flagBound;
  char sustain;
  uint8_t sustainOptional, centerDetail;
};
const Plan kPlans[kTransformCount] = {
    {7, 4, 'u', 0, 0}, {4, 2, 'i', 1, 0}, {2, 2, 'i', 0, 0}, {1, 0, '0', 1, 1}, {4, 2, 'u', 1, 1},
    {0, 0, '0', 0, 1}, {1, 0, '1', 0, 0}, {6, 0, '1', 0, 0}, {4, 2, 'u', 0, 0}, {1, 0, '0', 1, 1},
    {4, 3, 'u', 0, 0}, {6, 3, 'u', 0, 0}, {6, 3, 'u', 0, 0}, {3, 0, '1', 0, 0}, {3, 0, '1', 0, 0},
};

TEST_F(Generator, EachDrawsItsParametersThenItsSustainFlagAndSetsTheOtherFlags) {
  map.AllocateMap(48, 36);
  for (int32_t slot = 0; slot < kTransformCount; ++slot) {
    const Plan& plan = kPlans[slot];
    for (uint32_t seed = 1; seed <= 12; ++seed) {
      SeedRandom(seed);
      for (int i = 0; i < plan.parameters; ++i) std::rand();
      const int32_t flag = plan.flagBound > 0 ? RandomInt(plan.flagBound) : 0;
      const int next = std::rand();
      BuildSeeded(map, slot, seed);
      EXPECT_EQ(std::rand(), next) << "slot " << slot << " seed " << seed;  // as many draws
      const bool sustain = plan.sustain == '1' || (plan.sustain == 'u' && flag != 0) ||
                           (plan.sustain == 'i' && flag == 1);
      EXPECT_EQ(map.sustain, sustain) << "slot " << slot << " seed " << seed;
      EXPECT_EQ(map.sustainOptional, plan.sustainOptional) << "slot " << slot;
      EXPECT_EQ(map.centerDetail, plan.centerDetail) << "slot " << slot;
    }
  }
}

// Every entry is either outside (offset and weights 0) or has weights summing to 252..255,
// and its block plus one row and one pixel stays inside the picture with its guard row and
// guard pixel.
TEST(TransformMap, EveryTransformKeepsItsMapValidAtEverySize) {
  for (auto [width, height] : {std::pair{320, 240}, {641, 479}, {1920, 1080}}) {
    TransformManager map;
    map.AllocateMap(width, height);
    const int64_t pictureLength = int64_t{width} * (height + 1) + 1;
    for (int32_t slot = 0; slot < kTransformCount; ++slot) {
      for (uint32_t seed = 1; seed <= (width > 1000 ? 1u : 2u); ++seed) {
        BuildSeeded(map, slot, 1000 * slot + seed);
        int64_t inside = 0;
        for (int32_t i = 0; i < map.mapPixelCount; ++i) {
          const uint32_t offset = map.sourceOffsets[i];
          const uint8_t* w = map.sourceWeights + 4 * i;
          const int sum = w[0] + w[1] + w[2] + w[3];
          inside += sum != 0;
          ASSERT_TRUE(sum == 0 ? offset == 0 : sum >= 252 && sum <= 255 && offset % 4 == 0 &&
                                                   offset / 4 + width + 1 < pictureLength)
              << kTransformNames[slot] << " seed " << seed << " at " << width << "x" << height
              << ": pixel " << i << " offset " << offset << " weights " << sum;
        }
        EXPECT_GT(inside, map.mapPixelCount / 4) << kTransformNames[slot] << ": mostly black";
      }
    }
  }
}

// The maps depend on the C library's rand() and mathematics: the hashes hold for glibc. Each
// map is built twice: a build starts afresh (slot 11's running sum too); and with each row
// kernel this CPU runs, so the scalar one that other CPUs use is held to the hashes as well.
TEST(TransformMap, EveryMapMatchesItsReviewedHash) {
#ifndef __GLIBC__
  GTEST_SKIP() << "the reviewed hashes were taken with glibc";
#endif
  std::ifstream file(CORVEX_TEST_DATA "/transform_map_hashes.csv");
  TransformManager map;
  map.AllocateMap(640, 480);
  const std::vector<MapRowKernels> kernels = MapRowKernelVersions();
  int lines = 0;
  for (std::string line; std::getline(file, line);) {
    int32_t slot;
    unsigned seed;
    char size[16], expected[32];
    const char* format = "%d,%15[^,],%u,%31s";
    if (std::sscanf(line.c_str(), format, &slot, size, &seed, expected) != 4) continue;
    ASSERT_STREQ(size, "640x480");
    ASSERT_EQ(slot, lines++);
    for (const MapRowKernels& version : kernels) {
      map.rowKernels = &version;
      for (int build = 1; build <= 2; ++build) {
        BuildSeeded(map, slot, seed);
        EXPECT_EQ(MapHash(map), expected)
            << kTransformNames[slot] << ", build " << build << " with " << version.name;
      }
    }
  }
  EXPECT_EQ(lines, kTransformCount);
}

// Optimised builds turn the cosine and sine of one angle into one sincos call, unoptimised ones
// do not, and the polar rows call sincos themselves where the C library has it; the maps of
// every build are the same only while the C library gives the same bits both ways. The calls
// through volatile pointers are never fused.
TEST(TransformMap, TheFusedSineAndCosineGiveTheBitsOfSeparateCalls) {
  double (*volatile cosine)(double) = std::cos;
  double (*volatile sine)(double) = std::sin;
  std::mt19937_64 random(5);
  std::uniform_real_distribution<double> angles(-40, 40);
  for (int k = 0; k < 200000; ++k) {
    const double angle = k < 100 ? k * 0.7853981633974483 : angles(random);
    const SourcePoint fused = PolarSource(0.5, -0.25, 1.0, angle);
    ASSERT_EQ(fused.x, 0.5 + 1.0 * cosine(angle)) << angle;
    ASSERT_EQ(fused.y, -0.25 + 1.0 * sine(angle)) << angle;
    double sineOf, cosineOf;  // the polar rows' own call, sincos itself with glibc
    SineAndCosine(angle, &sineOf, &cosineOf);
    ASSERT_EQ(sineOf, sine(angle)) << angle;
    ASSERT_EQ(cosineOf, cosine(angle)) << angle;
  }
}

// Pixels mirrored about the centre's row have opposite angles, and the flowers share the sine
// and cosine of a multiple of the angle between them: the C library's sine must be odd and its
// cosine even to the bit, on separate calls and fused into one sincos, over every multiple
// (up to 14) of an angle that the picture's pixels give, and any argument within 14 half turns.
TEST(TransformMap, TheLibrarySineIsOddAndItsCosineEvenToTheBit) {
  if (!kSineOddCosineEven) GTEST_SKIP() << "mirror images compute their own with this library";
  double (*volatile cosine)(double) = std::cos;
  double (*volatile sine)(double) = std::sin;
  const auto bits = [](double value) { return std::bit_cast<uint64_t>(value); };
  std::mt19937_64 random(9);
  std::uniform_real_distribution<double> arguments(-44, 44);
  std::uniform_int_distribution<int> offsets(-1920, 1920), multiples(1, 14);
  for (int k = 0; k < 2'000'000; ++k) {
    const double angle = k % 2 == 0 ? arguments(random)
                                    : multiples(random) * std::atan2(offsets(random) * 0.25,
                                                                     offsets(random) + 0.125);
    ASSERT_EQ(bits(sine(-angle)), bits(-sine(angle))) << angle;
    ASSERT_EQ(bits(cosine(-angle)), bits(cosine(angle))) << angle;
    const AngularSineCosine fused{std::sin(angle), std::cos(angle)};
    const AngularSineCosine mirrored{std::sin(-angle), std::cos(-angle)};
    ASSERT_EQ(bits(mirrored.sin), bits(fused.Mirrored().sin)) << angle;
    ASSERT_EQ(bits(mirrored.cos), bits(fused.Mirrored().cos)) << angle;
  }
}

// Rows are shared out among threads as they become free; no entry, and not slot 11's running
// sum, may depend on how many there are. Eight threads on fewer cores still interleave. Maps
// without rows or columns have nothing to share out, and must still build.
TEST(TransformMap, EveryMapHasTheSameBitsOnAnyNumberOfThreads) {
  for (auto [width, height] : {std::pair{0, 5}, {7, 0}, {1, 1}}) {
    TransformManager empty;
    empty.AllocateMap(width, height);
    empty.buildThreads = 8;
    for (int32_t slot = 0; slot < kTransformCount; ++slot) BuildSeeded(empty, slot, 3);
  }
  TransformManager map;
  map.AllocateMap(643, 197);  // a height that the bands of rows do not divide
  for (int32_t slot = 0; slot < kTransformCount; ++slot) {
    map.buildThreads = 1;
    BuildSeeded(map, slot, 40 + slot);
    const std::string oneThread = MapHash(map);
    for (int32_t threads : {2, 3, 8}) {
      map.buildThreads = threads;
      BuildSeeded(map, slot, 40 + slot);
      EXPECT_EQ(MapHash(map), oneThread) << kTransformNames[slot] << " on " << threads
                                         << " threads";
    }
  }
}

// The polar transforms build the rows mirrored about their centre together, sharing the
// distance, the angle (negated) and what depends on the distance alone. Each map must be the
// one every pixel computed alone gives, at odd and even heights and whatever the centre.
TEST(TransformMap, SharingMirroredRowsKeepsEveryPolarMapsBits) {
  for (auto [width, height] : {std::pair{160, 120}, {161, 97}}) {
    TransformManager map;
    map.AllocateMap(width, height);
    for (int32_t slot : {0, 1, 2, 8, 10, 11, 12}) {
      for (uint32_t seed = 1; seed <= 6; ++seed) {
        map.shareMirroredRows = false;
        BuildSeeded(map, slot, seed);
        const std::string alone = MapHash(map);
        map.shareMirroredRows = true;
        BuildSeeded(map, slot, seed);
        EXPECT_EQ(MapHash(map), alone) << kTransformNames[slot] << " seed " << seed << " at "
                                       << width << "x" << height;
      }
    }
  }
}

TEST(TransformMap, AllocationTakesTheLow16BitsOfTheSizeAndBuildsARandomChoice) {
  TransformManager m, replay;
  replay.AllocateMap(40, 30);
  SeedRandom(77);
  m.AllocateMap(0x10000 + 40, 0x30000 + 30);
  SeedRandom(77);
  replay.currentTransform = RandomInt(14);
  replay.BuildMap();
  EXPECT_EQ(m.currentTransform, replay.currentTransform);
  EXPECT_EQ(MapHash(m), MapHash(replay));  // the same size, the same build
  std::string names;
  for (const auto& name : m.transformNames) names += std::string(name) + "/";
  EXPECT_EQ(names,
            "Wavy Spiral/Parabolic Zoomer/Bubble/Fast Zoomer/Undulating Slider/Fuzzy Fade/"
            "Shiny tiles/Diagonal Fade/Translate and Spin/Kaleidoscope/Fast Reverse Spiral/"
            "What You Get With a Typo (tm)/Flower/Spiral Tiles/Plain Sine Wave/");
}

TEST(TransformMap, WithoutATransformTheIdentityStaysAndATooLargeMapIsLeftOut) {
  TransformManager m;
  m.SetTransformMask(0);    // nothing to choose: the current slot is kept...
  m.currentTransform = 15;  // ...and builds nothing
  m.AllocateMap(12, 7);
  for (uint32_t i = 0; i < 84; ++i) {
    ASSERT_EQ(m.sourceOffsets[i], 4 * i);
    ASSERT_EQ(std::memcmp(m.sourceWeights + 4 * i, "\xff\0\0", 4), 0) << i;
  }
  m.AllocateMap(65535, 65535);  // 16 GiB of offsets would not fit 32-bit byte offsets
  EXPECT_EQ(m.sourceOffsets, nullptr);
  EXPECT_EQ(m.mapPixelCount, 0);
  m.BuildMap();  // builds nothing, and does not fail
  m.AllocateMap(16, 8);  // a later size works again
  ASSERT_NE(m.sourceOffsets, nullptr);
  EXPECT_EQ(m.mapPixelCount, 128);
}

}  // namespace
}  // namespace corvex::testing
