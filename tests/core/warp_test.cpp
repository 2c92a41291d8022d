#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "simd/cpu_features.h"
#include "transforms/transform_manager.h"
#include "transforms/warp_pass.h"
#include "warp_pass_avx512_model.h"

namespace corvex::testing {
namespace {

using Weights = std::array<uint8_t, 4>;
constexpr Weights kCopy{255, 0, 0, 0};

// Every version this CPU runs, and the AVX-512 kernel over the scalar model of its intrinsics,
// which runs everywhere: a machine without AVX-512 still checks that kernel's source.
std::vector<WarpPassVersion> TestedVersions() {
  std::vector<WarpPassVersion> versions = WarpPassVersions();
  versions.push_back({"avx512 model", &WarpPassAvx512Model});
  return versions;
}

TEST(SamplingRule, WeightsAtIntegralHalfAndQuarterPositionsAndOutsideTheEdges) {
  TransformManager map;
  map.AllocateMap(8, 6);
  map.pixelIndex = 5;
  map.weightIndex = 20;
  struct Row { double sx, sy; uint32_t pixel; Weights w; };
  const Row rows[] = {
      {2, 1, 1 * 8 + 2, kCopy},          {2.5, 1.5, 1 * 8 + 2, {63, 63, 63, 63}},
      {3.25, 0.75, 3, {47, 15, 143, 47}}, {7, 5, 5 * 8 + 7, kCopy},  // the far edges are inside
      {-0.000001, 1, 0, {}},  {7.0000001, 1, 0, {}}, {1, -1e-9, 0, {}}, {1, 5.0001, 0, {}},
      {NAN, 1, 0, {}},        {1, NAN, 0, {}},       {INFINITY, 1, 0, {}},
  };
  for (const Row& row : rows) {
    map.sourceOffsets[5] = 99;
    std::memset(map.sourceWeights + 20, 9, 4);
    map.sourceX = row.sx;
    map.sourceY = row.sy;
    map.SampleSource();
    Weights w;
    std::memcpy(w.data(), map.sourceWeights + 20, 4);
    EXPECT_EQ(map.sourceOffsets[5], 4 * row.pixel) << row.sx << "," << row.sy;
    EXPECT_EQ(w, row.w) << row.sx << "," << row.sy;
  }
}

// A 17 x 3 picture of `fill` everywhere (guard row and pixel too) through one repeated entry:
// the block of each pixel itself, or of pixel 0 with an outside entry's zero weights. Wide
// enough that every vector version runs full steps, not only its scalar tail.
std::vector<uint32_t> UniformPass(WarpPassFunction pass, uint32_t fill, Weights w, bool sustain) {
  constexpr uint32_t kWidth = 17, kPixels = kWidth * 3;
  std::vector<uint32_t> previous(kPixels + kWidth + 1, fill), out(kPixels), offsets(kPixels);
  std::vector<uint8_t> weights(4 * kPixels);
  for (uint32_t i = 0; i < kPixels; ++i) {
    offsets[i] = w == Weights{} ? 0 : 4 * i;
    std::memcpy(&weights[4 * i], w.data(), 4);
  }
  pass(WarpPassArgs{previous.data(), out.data(), offsets.data(), weights.data(), kWidth, 3,
                    sustain});
  return out;
}

TEST(WarpPass, FadeSustainSaturationAndTheTopByteInEveryVersion) {
  for (auto [name, pass] : TestedVersions()) {
    for (uint32_t v = 0; v < 256; ++v) {
      // A copy fades every channel by one; sustain adds trunc(3v / 256), never above 255.
      const uint32_t faded = v == 0 ? 0 : v - 1, sustained = std::min(255u, v + 3 * v / 256);
      const uint32_t fill = 0xFF000000u | v * 0x010101u;
      const std::vector<uint32_t> fade(51, faded * 0x010101u), keep(51, sustained * 0x010101u);
      ASSERT_EQ(UniformPass(pass, fill, kCopy, false), fade) << name << " v=" << v;
      ASSERT_EQ(UniformPass(pass, fill, kCopy, true), keep) << name << " v=" << v;
    }
    EXPECT_EQ(UniformPass(pass, 0x00C8C8C8, {63, 63, 63, 63}, false)[6], 0x00C4C4C4u) << name;
    EXPECT_EQ(UniformPass(pass, 0xFF7F3F1F, kCopy, true)[3], 0x00803F1Fu) << name;
    // Outside entries read the corner block at weight 0, or 1 under sustain: 1020 >> 8 = 3.
    EXPECT_EQ(UniformPass(pass, 0x00FFFFFF, {}, false)[9], 0u) << name;
    EXPECT_EQ(UniformPass(pass, 0x00FFFFFF, {}, true)[9], 0x00030303u) << name;
  }
}

constexpr int kGuard = 37;                 // sentinel pixels before and after the picture made
constexpr uint32_t kSentinel = 0xA5C3E17Fu;  // no pass writes a top byte

TEST(WarpPass, EveryVersionGivesTheReferenceBitsAndStaysInItsBuffers) {
  const auto native = WarpPassVersions();
  ASSERT_GE(native.size(), 2u) << "no vector version runs on this machine";
  ASSERT_EQ(native.front().pass, &WarpPassScalar);  // the reference
  EXPECT_EQ(BestWarpPass(), native.back().pass);
  EXPECT_EQ(HasMmx(), 1);
  if (!CpuHasAvx512Bw()) {
    std::printf("This CPU has no AVX-512: the AVX-512 pass is checked through its model only.\n");
  }
  const auto versions = TestedVersions();
  std::mt19937 random(1);
  for (int32_t width : {1, 3, 17, 640}) {
    for (int32_t height : {1, 3, 7, 37}) {
      // Inputs of their exact sizes, so that a read past them is a sanitizer error.
      const uint32_t pixels = static_cast<uint32_t>(width * height);
      std::vector<uint32_t> previous(pixels + width + 1), offsets(pixels);
      std::vector<uint8_t> weights(4 * pixels);
      for (uint32_t& pixel : previous) pixel = random();  // top bytes too
      for (uint32_t i = 0; i < pixels; ++i) {
        // Now and then the first or the last block, whose reads reach the guard row and pixel.
        const uint32_t pick = random() % 16;
        offsets[i] = 4 * (pick == 0 ? 0 : pick == 1 ? pixels - 1 : random() % pixels);
        // Any weights (sums far above 255 drive the saturation), a third a plain copy.
        for (int k = 0; k < 4; ++k) weights[4 * i + k] = static_cast<uint8_t>(random());
        if (random() % 3 == 0) std::memcpy(&weights[4 * i], kCopy.data(), 4);
      }
      for (bool sustain : {false, true}) {
        std::vector<uint32_t> expected;
        // Stores past the caches start where the destination is aligned: behind 37 or 38
        // guard pixels the picture starts at two different distances from such an address.
        for (int guard : {kGuard, kGuard + 1}) {
          for (bool stream : {false, true}) {
            for (auto [name, pass] : versions) {
              std::vector<uint32_t> out(pixels + 2 * guard, kSentinel);
              pass(WarpPassArgs{previous.data(), out.data() + guard, offsets.data(),
                                weights.data(), width, height, sustain, stream});
              const std::vector<uint32_t> picture(out.begin() + guard, out.end() - guard);
              if (expected.empty()) expected = picture;
              ASSERT_EQ(picture, expected) << name << " at " << width << "x" << height
                                           << " sustain " << sustain << " stream " << stream;
              ASSERT_EQ(std::count(out.begin(), out.end(), kSentinel), 2 * guard) << name;
            }
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace corvex::testing
