#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "transforms/transform_manager.h"
#include "transforms/warp_pass.h"

namespace corvex::testing {
namespace {

struct Entry {
  uint32_t offset;
  uint8_t w[4];
};

class SamplingRule : public ::testing::Test {
 protected:
  SamplingRule() { map.AllocateMap(8, 6); }
  Entry Sample(double sx, double sy, int32_t pixel = 5) {
    map.pixelIndex = pixel;
    map.weightIndex = 4 * pixel;
    map.sourceX = sx;
    map.sourceY = sy;
    map.SampleSource();
    Entry e{map.sourceOffsets[pixel], {}};
    std::memcpy(e.w, map.sourceWeights + 4 * pixel, 4);
    return e;
  }
  TransformManager map;
};

TEST_F(SamplingRule, IntegralHalfAndQuarterPositions) {
  Entry whole = Sample(2, 1);
  EXPECT_EQ(whole.offset, 4u * (1 * 8 + 2));
  EXPECT_EQ(std::vector<int>(whole.w, whole.w + 4), (std::vector<int>{255, 0, 0, 0}));
  Entry half = Sample(2.5, 1.5);
  EXPECT_EQ(std::vector<int>(half.w, half.w + 4), (std::vector<int>{63, 63, 63, 63}));
  Entry quarter = Sample(3.25, 0.75);  // ax = 0.75, ay = 0.25
  EXPECT_EQ(quarter.offset, 4u * 3);
  EXPECT_EQ(std::vector<int>(quarter.w, quarter.w + 4), (std::vector<int>{47, 15, 143, 47}));
}

TEST_F(SamplingRule, TheBoundsAreInsideAndAnythingBeyondOrNotANumberIsOutside) {
  Entry corner = Sample(7, 5);
  EXPECT_EQ(corner.offset, 4u * (5 * 8 + 7));
  EXPECT_EQ(corner.w[0], 255);
  for (auto [sx, sy] : {std::pair{-0.000001, 1.0}, {7.0000001, 1.0}, {1.0, -1e-9}, {1.0, 5.0001},
                        {NAN, 1.0}, {1.0, NAN}, {INFINITY, 1.0}}) {
    map.sourceOffsets[5] = 99;
    Entry e = Sample(sx, sy);
    EXPECT_EQ(e.offset, 0u) << sx << "," << sy;
    EXPECT_EQ(e.w[0] + e.w[1] + e.w[2] + e.w[3], 0) << sx << "," << sy;
  }
}

// A 5 x 3 picture with the given previous pixels and one map entry repeated everywhere.
struct Pass {
  Pass(uint32_t fill, std::array<uint8_t, 4> weights, bool sustainOn, bool identity = true)
      : previous(5 * 4 + 1, fill), out(5 * 4 + 1, 0xDEADBEEF), offsets(15), w(60) {
    for (uint32_t i = 0; i < 15; ++i) {
      offsets[i] = identity ? 4 * i : 0;
      std::memcpy(&w[4 * i], weights.data(), 4);
    }
    sustain = sustainOn;
  }
  void Run(WarpPassFunction pass) {
    pass(WarpPassArgs{previous.data(), out.data(), offsets.data(), w.data(), 5, 3, sustain});
  }
  std::vector<uint32_t> previous, out, offsets;
  std::vector<uint8_t> w;
  bool sustain;
};

TEST(WarpPass, UnmovedPixelsFadeByOneWithoutSustain) {
  for (auto [name, pass] : WarpPassVersions()) {
    for (uint32_t v : {0u, 1u, 2u, 128u, 255u}) {
      Pass p(v << 16 | v << 8 | v, {255, 0, 0, 0}, false);
      p.Run(pass);
      const uint32_t f = v == 0 ? 0 : v - 1;
      EXPECT_EQ(p.out[7], f << 16 | f << 8 | f) << name << " v=" << v;
      EXPECT_EQ(p.out[15], 0xDEADBEEFu) << name << ": wrote past the picture";
    }
  }
}

TEST(WarpPass, SustainKeepsAUniformPictureAndSaturatesAtWhite) {
  for (auto [name, pass] : WarpPassVersions()) {
    for (uint32_t v = 0; v < 256; ++v) {
      Pass p(v << 16 | v << 8 | v, {255, 0, 0, 0}, true);
      p.Run(pass);
      const uint32_t f = std::min(255u, v + 3 * v / 256);
      ASSERT_EQ(p.out[0], f << 16 | f << 8 | f) << name << " v=" << v;
    }
    Pass white(0x00FFFFFF, {255, 0, 0, 0}, true);
    white.Run(pass);
    EXPECT_EQ(white.out[14], 0x00FFFFFFu) << name;
  }
}

TEST(WarpPass, BlurredPixelsLoseAboutOnePointSixPercent) {
  for (auto [name, pass] : WarpPassVersions()) {
    Pass p(0x00C8C8C8, {63, 63, 63, 63}, false);  // 200 * 252 >> 8 = 196
    p.Run(pass);
    EXPECT_EQ(p.out[6], 0x00C4C4C4u) << name;
  }
}

TEST(WarpPass, TheTopByteIsAlwaysWrittenAsZero) {
  for (auto [name, pass] : WarpPassVersions()) {
    Pass p(0xFF7F3F1F, {255, 0, 0, 0}, true);
    p.Run(pass);
    EXPECT_EQ(p.out[3] >> 24, 0u) << name;
    EXPECT_EQ(p.out[3], 0x00803F1Fu) << name;  // 127 gains one under sustain
  }
}

TEST(WarpPass, OutsideEntriesReadTheCornerWithWeightZeroOrOneUnderSustain) {
  for (auto [name, pass] : WarpPassVersions()) {
    Pass p(0x00FFFFFF, {0, 0, 0, 0}, false, /*identity=*/false);
    p.Run(pass);
    EXPECT_EQ(p.out[9], 0u) << name;
    p.sustain = true;  // four pixels of 255 at weight 1: 1020 >> 8 = 3
    p.Run(pass);
    EXPECT_EQ(p.out[9], 0x00030303u) << name;
  }
}

TEST(Processor, ThisMachineHasMmx) { EXPECT_EQ(HasMmx(), 1); }

}  // namespace
}  // namespace corvex::testing
