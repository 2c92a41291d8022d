// Properties every transform's map keeps, at several sizes, and the reviewed hashes of every
// map for a fixed seed.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "map_probe.h"

namespace corvex::testing {
namespace {

struct Size {
  int32_t width, height;
};
void PrintTo(const Size& size, std::ostream* out) { *out << size.width << "x" << size.height; }

// Every entry is either outside (offset and weights 0) or has weights summing to 252..255,
// and its block plus one row and one pixel stays inside the picture with its guard row and
// guard pixel: width * (height + 1) + 1 pixels.
void ExpectValidMap(const TransformManager& map, const std::string& what) {
  const int64_t pictureLength = int64_t{map.mapWidth} * (map.mapHeight + 1) + 1;
  int64_t inside = 0;
  for (int32_t i = 0; i < map.mapPixelCount; ++i) {
    const uint32_t offset = map.sourceOffsets[i];
    const uint8_t* w = map.sourceWeights + 4 * i;
    const int sum = w[0] + w[1] + w[2] + w[3];
    if (sum == 0) {
      ASSERT_EQ(offset, 0u) << what << ": outside pixel " << i << " has an offset";
      continue;
    }
    ++inside;
    ASSERT_GE(sum, 252) << what << ": pixel " << i;
    ASSERT_LE(sum, 255) << what << ": pixel " << i;
    ASSERT_EQ(offset % 4, 0u) << what << ": pixel " << i;
    ASSERT_LT(int64_t{offset / 4} + map.mapWidth + 1, pictureLength) << what << ": pixel " << i;
  }
  EXPECT_GT(inside, map.mapPixelCount / 4) << what << ": most of the picture is black";
}

class EveryTransform : public ::testing::TestWithParam<Size> {};

TEST_P(EveryTransform, KeepsTheMapValid) {
  const Size size = GetParam();
  TransformManager map;
  map.AllocateMap(size.width, size.height);
  // Two seeds each at the small sizes, one at full HD, to keep the suite quick under the
  // sanitizers.
  const int seeds = size.width * size.height > 1000000 ? 1 : 2;
  for (int32_t slot = 0; slot < kTransformCount; ++slot) {
    for (int s = 0; s < seeds; ++s) {
      const uint32_t seed = 1000u * static_cast<uint32_t>(slot) + static_cast<uint32_t>(s) + 1;
      BuildSeeded(map, slot, seed);
      ExpectValidMap(map, std::string(kTransformNames[slot]) + " seed " + std::to_string(seed));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, EveryTransform,
                         ::testing::Values(Size{320, 240}, Size{641, 479}, Size{1920, 1080}),
                         [](const auto& info) {
                           return std::to_string(info.param.width) + "x" +
                                  std::to_string(info.param.height);
                         });

// FNV-1a over the offsets (each as four bytes, least significant first), then the weights.
uint64_t MapHash(const TransformManager& map) {
  uint64_t hash = 0xcbf29ce484222325ull;
  auto add = [&hash](uint8_t byte) {
    hash ^= byte;
    hash *= 0x100000001b3ull;
  };
  for (int32_t i = 0; i < map.mapPixelCount; ++i) {
    for (int shift = 0; shift < 32; shift += 8) add(static_cast<uint8_t>(map.sourceOffsets[i] >> shift));
  }
  for (int32_t i = 0; i < 4 * map.mapPixelCount; ++i) add(map.sourceWeights[i]);
  return hash;
}

struct HashLine {
  int32_t transform;
  std::string size;
  uint32_t seed;
  std::string hash;
};

std::vector<HashLine> ReadHashes() {
  std::ifstream file(std::string(CORVEX_TEST_DATA) + "/transform_map_hashes.csv");
  std::vector<HashLine> lines;
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#' || line.rfind("transform,", 0) == 0) continue;
    std::istringstream fields(line);
    HashLine h;
    std::string transform, seed;
    std::getline(fields, transform, ',');
    std::getline(fields, h.size, ',');
    std::getline(fields, seed, ',');
    std::getline(fields, h.hash);
    h.transform = std::stoi(transform);
    h.seed = static_cast<uint32_t>(std::stoul(seed));
    lines.push_back(h);
  }
  return lines;
}

// The maps depend on the C library's rand() (and its mathematics); these hashes were taken
// with glibc, as the file's header says.
TEST(TransformMapHashes, EveryMapMatchesItsReviewedHash) {
#ifndef __GLIBC__
  GTEST_SKIP() << "the reviewed hashes were taken with glibc's rand()";
#endif
  const std::vector<HashLine> expected = ReadHashes();
  ASSERT_EQ(expected.size(), static_cast<size_t>(kTransformCount)) << "one line per transform";
  TransformManager map;
  map.AllocateMap(640, 480);
  std::string actual;
  for (const HashLine& line : expected) {
    ASSERT_EQ(line.size, "640x480");
    BuildSeeded(map, line.transform, line.seed);
    char hash[32];
    std::snprintf(hash, sizeof hash, "%016" PRIx64, MapHash(map));
    EXPECT_EQ(hash, line.hash) << kTransformNames[line.transform];
    actual += std::to_string(line.transform) + "," + line.size + "," + std::to_string(line.seed) +
              "," + hash + "\n";
  }
  if (HasFailure()) std::printf("Maps built here:\n%s", actual.c_str());
}

}  // namespace
}  // namespace corvex::testing
