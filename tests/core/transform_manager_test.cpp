// The transform manager: its slots, the choice of a transform (modes, lock, enabled flags),
// the masks of the enabled flags, and the map's allocation.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "core_video.h"
#include "map_probe.h"

namespace corvex::testing {
namespace {

std::vector<uint32_t> Offsets(const TransformManager& m) {
  return {m.sourceOffsets, m.sourceOffsets + m.mapPixelCount};
}
std::vector<uint8_t> Weights(const TransformManager& m) {
  return {m.sourceWeights, m.sourceWeights + 4 * m.mapPixelCount};
}
std::vector<int32_t> Enabled(const TransformManager& m) {
  return {m.enabledTransforms, m.enabledTransforms + m.transformCount};
}

TEST(TransformManagerSlots, NamesCountAndFlagsAtConstruction) {
  TransformManager m;
  EXPECT_EQ(m.transformCount, 15);
  EXPECT_EQ(m.currentTransform, 0);
  EXPECT_EQ(m.sourceOffsets, nullptr);
  EXPECT_EQ(m.sourceWeights, nullptr);
  EXPECT_EQ(Enabled(m), std::vector<int32_t>(15, 1));
  const char* names[] = {"Wavy Spiral",        "Parabolic Zoomer",
                         "Bubble",             "Fast Zoomer",
                         "Undulating Slider",  "Fuzzy Fade",
                         "Shiny tiles",        "Diagonal Fade",
                         "Translate and Spin", "Kaleidoscope",
                         "Fast Reverse Spiral", "What You Get With a Typo (tm)",
                         "Flower",             "Spiral Tiles",
                         "Plain Sine Wave"};
  for (int slot = 0; slot < 15; ++slot) EXPECT_STREQ(m.transformNames[slot], names[slot]);
}

// Masks: bit b is slot 14 - b; bits above 14 are ignored; a negative mask acts as its
// magnitude.
TEST(TransformManagerMasks, UnpackAndPackBothWays) {
  TransformManager m;
  EXPECT_EQ(m.AllTransformsMask(), 32767);
  struct Case {
    int32_t mask;
    std::vector<int> slots;
    int32_t packed;
  };
  const Case cases[] = {
      {1, {14}, 1},
      {8192, {1}, 8192},
      {16384, {0}, 16384},
      {-3, {13, 14}, 3},
      {6143, {2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}, 6143},
      {32767, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}, 32767},
      {32768 + 2, {13}, 2},
      {0, {}, 0},
  };
  for (const Case& c : cases) {
    m.SetTransformMask(c.mask);
    std::vector<int32_t> expected(15, 0);
    for (int slot : c.slots) expected[slot] = 1;
    EXPECT_EQ(Enabled(m), expected) << "mask " << c.mask;
    EXPECT_EQ(m.TransformMask(), c.packed) << "mask " << c.mask;
  }
  // Packing reads any non-zero flag as enabled.
  for (int slot = 0; slot < 15; ++slot) m.enabledTransforms[slot] = slot == 2 ? 7 : 0;
  EXPECT_EQ(m.TransformMask(), 1 << 12);
}

class TransformChoice : public ::testing::Test {
 protected:
  TransformChoice() { SeedRandom(5); }
  TransformManager& m() { return *video.transformManager; }
  void OnlyEnabled(std::set<int> slots) {
    for (int slot = 0; slot < 15; ++slot) m().enabledTransforms[slot] = slots.count(slot) ? 1 : 0;
  }
  // The map of slot 5, which draws nothing: a build of it is recognisable whatever the seed.
  static std::vector<uint32_t> FuzzyFadeOffsets(int32_t w, int32_t h) {
    TransformManager fuzzy;
    fuzzy.AllocateMap(w, h);
    BuildSeeded(fuzzy, 5, 1);
    return Offsets(fuzzy);
  }

  CoreVideo video{24, 16};
  ScopedScene holder{video};
};

TEST_F(TransformChoice, RandomChoiceTakesOnlyEnabledSlots) {
  OnlyEnabled({3, 9, 14});
  std::set<int> seen;
  for (int i = 0; i < 120; ++i) {
    m().ChooseTransform(0);
    seen.insert(m().currentTransform);
  }
  EXPECT_EQ(seen, (std::set<int>{3, 9, 14}));
  OnlyEnabled({6});
  for (int i = 0; i < 20; ++i) {
    m().ChooseTransform(0);
    EXPECT_EQ(m().currentTransform, 6);
  }
}

TEST_F(TransformChoice, RandomChoiceWithNothingEnabledKeepsTheCurrentSlotAndRebuildsIt) {
  OnlyEnabled({});
  m().currentTransform = 5;
  std::fill_n(m().sourceOffsets, m().mapPixelCount, 0u);
  m().ChooseTransform(0);  // must return
  EXPECT_EQ(m().currentTransform, 5);
  EXPECT_EQ(Offsets(m()), FuzzyFadeOffsets(24, 16));
}

TEST_F(TransformChoice, NextSlotWrapsAndIgnoresTheEnabledFlags) {
  OnlyEnabled({7});
  m().currentTransform = 14;
  m().ChooseTransform(1);
  EXPECT_EQ(m().currentTransform, 0);
  m().currentTransform = 4;
  m().ChooseTransform(1);
  EXPECT_EQ(m().currentTransform, 5);
  EXPECT_EQ(Offsets(m()), FuzzyFadeOffsets(24, 16));
}

TEST_F(TransformChoice, KeepingTheSlotDoesNotRebuild) {
  m().currentTransform = 9;
  std::fill_n(m().sourceOffsets, m().mapPixelCount, 12u);
  const int next = std::rand();
  SeedRandom(5);
  m().ChooseTransform(2);
  EXPECT_EQ(m().currentTransform, 9);
  EXPECT_EQ(Offsets(m()), std::vector<uint32_t>(m().mapPixelCount, 12u));
  EXPECT_EQ(std::rand(), next) << "keeping drew a number";
}

TEST_F(TransformChoice, ALockWinsOverEveryModeAndTheEnabledFlags) {
  OnlyEnabled({2});
  holder.scene.lockedTransform = 5;
  for (int mode : {0, 1, 2}) {
    m().currentTransform = 11;
    std::fill_n(m().sourceOffsets, m().mapPixelCount, 0u);
    m().ChooseTransform(mode);
    EXPECT_EQ(m().currentTransform, 5) << "mode " << mode;
    if (mode != 2) {
      EXPECT_EQ(Offsets(m()), FuzzyFadeOffsets(24, 16)) << "mode " << mode;
    }
  }
}

TEST_F(TransformChoice, ALockOutsideTheSlotsCountsAsNone) {
  OnlyEnabled({8});
  for (int32_t lock : {15, 99, -2, -1000}) {
    holder.scene.lockedTransform = lock;
    m().ChooseTransform(0);
    EXPECT_EQ(m().currentTransform, 8) << "lock " << lock;
    m().ChooseTransform(1);
    EXPECT_EQ(m().currentTransform, 9) << "lock " << lock;
  }
}

TEST(TransformMapAllocation, ChoosesAtRandomAndBuildsTheChoice) {
  const uint32_t seed = 77;
  // What AllocateMap draws first is the random choice; the chosen slot then builds.
  const int32_t chosen = Draws(seed, {14})[0];
  SeedRandom(seed);
  TransformManager m;
  m.AllocateMap(0x10000 + 40, 0x30000 + 30);  // only the low 16 bits count
  EXPECT_EQ(m.mapWidth, 40);
  EXPECT_EQ(m.mapHeight, 30);
  EXPECT_EQ(m.mapPixelCount, 1200);
  EXPECT_EQ(m.currentTransform, chosen);
  const std::vector<uint32_t> built = Offsets(m);
  TransformManager replay;
  replay.AllocateMap(40, 30);
  SeedRandom(seed);
  std::rand();  // the choice
  replay.currentTransform = chosen;
  replay.BuildMap();
  EXPECT_EQ(built, Offsets(replay));
  EXPECT_EQ(Weights(m), Weights(replay));
}

TEST(TransformMapAllocation, TheIdentityStaysWhereNoSlotBuilds) {
  TransformManager m;
  m.SetTransformMask(0);     // nothing to choose: the current slot is kept...
  m.currentTransform = 15;   // ...and builds nothing
  m.AllocateMap(12, 7);
  std::vector<uint32_t> identity(84);
  std::vector<uint8_t> copyWeights(4 * 84, 0);
  for (uint32_t i = 0; i < 84; ++i) identity[i] = 4 * i, copyWeights[4 * i] = 255;
  EXPECT_EQ(Offsets(m), identity);
  EXPECT_EQ(Weights(m), copyWeights);
  m.currentTransform = -1;
  m.BuildMap();
  EXPECT_EQ(Offsets(m), identity);
}

TEST(TransformMapAllocation, AMapTooLargeForItsOffsetsIsLeftOut) {
  TransformManager m;
  m.AllocateMap(65535, 65535);  // 16 GiB of offsets would not fit 32-bit byte offsets
  EXPECT_EQ(m.sourceOffsets, nullptr);
  EXPECT_EQ(m.sourceWeights, nullptr);
  EXPECT_EQ(m.mapPixelCount, 0);
  m.BuildMap();  // builds nothing, and does not fail
  m.AllocateMap(16, 8);  // a later size works again
  ASSERT_NE(m.sourceOffsets, nullptr);
  EXPECT_EQ(m.mapPixelCount, 128);
}

}  // namespace
}  // namespace corvex::testing
