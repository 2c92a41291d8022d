// Every vector version of the feedback pass against the reference on random pictures and
// random valid maps, with sentinels around every buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "transforms/warp_pass.h"

namespace corvex::testing {
namespace {

constexpr size_t kGuard = 37;  // sentinel elements before and after each buffer
constexpr uint32_t kSentinel = 0xA5C3E17Fu;

// A buffer of n elements with kGuard sentinels on both sides.
template <typename T>
struct Guarded {
  explicit Guarded(size_t n) : storage(n + 2 * kGuard, static_cast<T>(kSentinel)), size(n) {}
  T* data() { return storage.data() + kGuard; }
  T& operator[](size_t i) { return data()[i]; }
  bool GuardsIntact() const {
    for (size_t i = 0; i < kGuard; ++i) {
      if (storage[i] != static_cast<T>(kSentinel)) return false;
      if (storage[kGuard + size + i] != static_cast<T>(kSentinel)) return false;
    }
    return true;
  }
  std::vector<T> storage;
  size_t size;
};

struct Case {
  Case(int32_t w, int32_t h, bool sustainOn, uint32_t seed)
      : width(w), height(h), sustain(sustainOn),
        previous(static_cast<size_t>(w) * (h + 1) + 1),
        offsets(static_cast<size_t>(w) * h),
        weights(static_cast<size_t>(w) * h * 4) {
    std::mt19937 random(seed);
    for (size_t i = 0; i < previous.size; ++i) previous[i] = random();  // top bytes too
    const uint32_t pixels = static_cast<uint32_t>(w) * static_cast<uint32_t>(h);
    std::uniform_int_distribution<uint32_t> block(0, pixels - 1);
    for (uint32_t i = 0; i < pixels; ++i) {
      // Mostly random blocks; now and then the first and the last block, whose reads reach
      // the guard row and the pixel after it.
      const uint32_t pick = random() % 16;
      const uint32_t p = pick == 0 ? 0 : pick == 1 ? pixels - 1 : block(random);
      offsets[i] = 4 * p;
    }
    for (size_t i = 0; i < weights.size; ++i) {
      // Any weights: sums far above 255 drive the saturation; a third are the common
      // single-pixel copy.
      weights[i] = static_cast<uint8_t>(random());
      if (i % 4 == 0 && random() % 3 == 0) {
        weights[i] = 255;
        weights[i + 1] = weights[i + 2] = weights[i + 3] = 0;
        i += 3;
      }
    }
  }

  std::vector<uint32_t> Run(WarpPassFunction pass) {
    Guarded<uint32_t> destination(static_cast<size_t>(width) * height);
    const std::vector<uint32_t> before = previous.storage;
    pass(WarpPassArgs{previous.data(), destination.data(), offsets.data(), weights.data(), width,
                      height, sustain});
    EXPECT_TRUE(destination.GuardsIntact()) << "wrote outside the picture";
    EXPECT_EQ(previous.storage, before) << "changed the previous picture";
    EXPECT_TRUE(offsets.GuardsIntact() && weights.GuardsIntact());
    return {destination.data(), destination.data() + destination.size};
  }

  int32_t width, height;
  bool sustain;
  Guarded<uint32_t> previous;
  Guarded<uint32_t> offsets;
  Guarded<uint8_t> weights;
};

TEST(WarpPassDifferential, EveryVersionGivesTheReferenceBits) {
  const auto versions = WarpPassVersions();
  ASSERT_GE(versions.size(), 2u) << "no vector version runs on this machine";
  uint32_t seed = 1;
  for (int32_t width : {1, 3, 17, 640}) {
    for (int32_t height : {1, 3, 7, 37}) {
      for (bool sustain : {false, true}) {
        Case c(width, height, sustain, seed++);
        const std::vector<uint32_t> expected = c.Run(&WarpPassScalar);
        for (auto [name, pass] : versions) {
          const std::vector<uint32_t> got = c.Run(pass);
          for (size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(got[i], expected[i])
                << name << " at pixel " << i << " of " << width << "x" << height
                << (sustain ? " with" : " without") << " sustain";
          }
        }
      }
    }
  }
}

TEST(WarpPassDifferential, TheChosenVersionIsTheWidestThisMachineRuns) {
  EXPECT_EQ(BestWarpPass(), WarpPassVersions().back().pass);
  std::vector<std::string> names;
  for (auto version : WarpPassVersions()) names.push_back(version.name);
  EXPECT_EQ(names.front(), "scalar");
#if defined(__x86_64__)
  EXPECT_EQ(names.at(1), "sse2");  // the baseline of every 64-bit x86
#endif
}

}  // namespace
}  // namespace corvex::testing
