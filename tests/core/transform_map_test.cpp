// The map every transform builds: its allocation, the properties it keeps at several sizes,
// and the reviewed hashes of every map for a fixed seed.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "renderers/random.h"
#include "transforms/transform_manager.h"

namespace corvex::testing {
namespace {

void BuildSeeded(TransformManager& map, int32_t slot, uint32_t seed) {
  map.currentTransform = slot;
  SeedRandom(seed);
  map.BuildMap();
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

// FNV-1a over the offsets (each as four bytes, least significant first), then the weights.
// The maps depend on the C library's rand() and mathematics: the hashes hold for glibc.
TEST(TransformMap, EveryMapMatchesItsReviewedHash) {
#ifndef __GLIBC__
  GTEST_SKIP() << "the reviewed hashes were taken with glibc";
#endif
  std::ifstream file(CORVEX_TEST_DATA "/transform_map_hashes.csv");
  TransformManager map;
  map.AllocateMap(640, 480);
  int lines = 0;
  for (std::string line; std::getline(file, line);) {
    int32_t slot;
    unsigned seed;
    char size[16], expected[32];
    const char* format = "%d,%15[^,],%u,%31s";
    if (std::sscanf(line.c_str(), format, &slot, size, &seed, expected) != 4) continue;
    ASSERT_STREQ(size, "640x480");
    ASSERT_EQ(slot, lines++);
    BuildSeeded(map, slot, seed);
    uint64_t hash = 0xcbf29ce484222325ull;
    auto add = [&hash](uint8_t byte) { hash = (hash ^ byte) * 0x100000001b3ull; };
    for (int32_t i = 0; i < 4 * map.mapPixelCount; ++i) add(map.sourceOffsets[i / 4] >> i % 4 * 8);
    for (int32_t i = 0; i < 4 * map.mapPixelCount; ++i) add(map.sourceWeights[i]);
    char actual[32];
    std::snprintf(actual, sizeof actual, "%016" PRIx64, hash);
    EXPECT_STREQ(actual, expected) << slot << ",640x480," << seed << " " << kTransformNames[slot];
  }
  EXPECT_EQ(lines, kTransformCount);
}

TEST(TransformMap, AllocationTakesTheLow16BitsOfTheSizeAndBuildsARandomChoice) {
  TransformManager m, replay;
  SeedRandom(77);
  m.AllocateMap(0x10000 + 40, 0x30000 + 30);
  EXPECT_EQ(m.mapPixelCount, 40 * 30);
  replay.AllocateMap(40, 30);
  SeedRandom(77);
  EXPECT_EQ(m.currentTransform, RandomInt(14));
  replay.currentTransform = m.currentTransform;
  replay.BuildMap();
  EXPECT_EQ(std::vector<uint32_t>(m.sourceOffsets, m.sourceOffsets + 1200),
            std::vector<uint32_t>(replay.sourceOffsets, replay.sourceOffsets + 1200));
  EXPECT_EQ(std::vector<uint8_t>(m.sourceWeights, m.sourceWeights + 4800),
            std::vector<uint8_t>(replay.sourceWeights, replay.sourceWeights + 4800));
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
    ASSERT_EQ(std::vector<int>(m.sourceWeights + 4 * i, m.sourceWeights + 4 * i + 4),
              (std::vector<int>{255, 0, 0, 0}));
  }
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
