// Orbiting Particles - Beat and - Volume, Snow, Spectrum Splash and Floating Triangle: pools,
// colours by group, where the particles gather, platforms. Each scenario runs in a fresh
// process.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <vector>

#include "fresh_process.h"
#include "renderer_harness.h"

namespace corvex::testing {
namespace {

constexpr int32_t kOrbitBeat = 9, kOrbitVolume = 10, kSnow = 11, kSplash = 12, kTriangle = 13;

struct Gathering {
  int32_t lit = 0;
  double meanX = 0, meanY = 0;
  int32_t withinReach = 0;  // lit pixels within `reach` of the mean
};

struct GatherArgs {
  int32_t slot;
  int32_t width, height;
  double level, peak;
  int32_t calls;
  double reach;
};

Gathering GatherAfter(const GatherArgs& args) {
  Stage stage(args.width, args.height);
  stage.SetLevels(args.level, args.level, args.level, args.peak);
  stage.scene.sceneJustStarted = 1;
  for (int32_t call = 0; call < args.calls; ++call) stage.Call(args.slot);
  Gathering g;
  const auto lit = stage.Lit();
  for (const int32_t i : lit) {
    g.meanX += i % args.width;
    g.meanY += i / args.width;
  }
  g.lit = static_cast<int32_t>(lit.size());
  if (g.lit == 0) return g;
  g.meanX /= g.lit;
  g.meanY /= g.lit;
  for (const int32_t i : lit) {
    g.withinReach += std::hypot(i % args.width - g.meanX, i / args.width - g.meanY) <= args.reach;
  }
  return g;
}

// How many pixels carry each colour after the scene's first frame on a large frame, where
// scattered particles hardly ever share a pixel.
std::vector<int32_t> ColourGroups(const int32_t& slot) {
  Stage stage(2000, 2000);
  stage.SetLevels(0, 0, 0, 8);
  stage.scene.sceneJustStarted = 1;
  stage.Call(slot);
  std::map<uint32_t, int32_t> groups;
  for (const uint32_t p : stage.Picture()) {
    if (p != 0) ++groups[p];
  }
  std::vector<int32_t> sizes;
  for (const auto& [colour, count] : groups) sizes.push_back(count);
  std::sort(sizes.begin(), sizes.end());
  return sizes;
}

TEST(OrbitingParticles, PoolsAreDrawnInTwoColoursByParityOrByGroup) {
  // Beat: 500 particles, even ones in one colour and odd ones in the other; Volume: 400
  // particles in two groups of 200. (Now and then two particles share a pixel.)
  for (const auto& [slot, group] : {std::pair{kOrbitBeat, 250}, std::pair{kOrbitVolume, 200}}) {
    const auto groups = RunFresh(&ColourGroups, slot);
    ASSERT_EQ(groups.size(), 2u) << slot;
    EXPECT_GE(groups[0], group - 3) << slot;
    EXPECT_EQ(groups[1], group) << slot;
  }
}

TEST(OrbitingParticles, BeatParticlesGatherAtAPointOfTheMiddleHalfAndVolumeOnesAtTheCentreInSilence) {
  const auto beat = RunFresh(&GatherAfter, GatherArgs{kOrbitBeat, 640, 480, 0, 8, 200, 150});
  EXPECT_GT(beat.lit, 250);
  EXPECT_GT(beat.meanX, 160);
  EXPECT_LT(beat.meanX, 480);
  EXPECT_GT(beat.meanY, 120);
  EXPECT_LT(beat.meanY, 360);
  EXPECT_GT(beat.withinReach * 10, beat.lit * 6);

  // Silence puts both attractors on the centre; with no peak yet, loud levels count as silence.
  for (const double peak : {8.0, 0.0}) {
    const double level = peak == 0.0 ? 60.0 : 0.0;
    const auto volume =
        RunFresh(&GatherAfter, GatherArgs{kOrbitVolume, 640, 480, level, peak, 300, 60});
    EXPECT_GT(volume.lit, 100);  // many share the pixels near the centre
    EXPECT_NEAR(volume.meanX, 320, 10);
    EXPECT_NEAR(volume.meanY, 240, 10);
    EXPECT_GT(volume.withinReach * 10, volume.lit * 8);
  }
}

TEST(Snow, AThousandFlakesStayOnTheFrameWhateverTheLevel) {
  // Loud with no peak yet: every frame is a beat and the wind counts the ratio as 0; the
  // flakes wrap round the edges and stay drawn.
  const auto noPeak = RunFresh(&GatherAfter, GatherArgs{kSnow, 640, 480, 60, 0, 50, 1e9});
  EXPECT_GE(noPeak.lit, 985);
  EXPECT_LE(noPeak.lit, 1000);
  const auto atPeak = RunFresh(&GatherAfter, GatherArgs{kSnow, 640, 480, 30, 30, 50, 1e9});
  EXPECT_GE(atPeak.lit, 985);
  // Spread over the whole frame, not gathered.
  EXPECT_NEAR(atPeak.meanX, 320, 40);
  EXPECT_NEAR(atPeak.meanY, 240, 40);
}

struct SplashArgs {
  double binValue;  // spectrumSum of bins 0..143
};

std::vector<uint32_t> SplashPlatformRow(const SplashArgs& args) {
  Stage stage(640, 480);
  for (int32_t bin = 0; bin < 144; ++bin) stage.scene.spectrumSum[bin] = args.binValue;
  stage.scene.sceneJustStarted = 1;
  stage.Call(kSplash);
  // The row of each platform at the left, middle and right of its span, then the whole row of
  // the first platform's height.
  std::vector<uint32_t> result;
  for (int32_t b = 0; b < 3; ++b) {
    double band = 0.0;
    for (int32_t i = 48 * b; i < 48 * b + 48; ++i) band += i * args.binValue;
    const int32_t row = static_cast<int32_t>(475.0 - std::pow(band * 0.015, 0.7));
    for (const int32_t x : {b * 214 + 1, b * 214 + 100, b * 214 + 211}) {
      const bool inside = row >= 1 && row < 479;
      result.push_back(inside ? stage.At(x, row) : 0);
      result.push_back(inside && stage.At(x, row - 1) == 0 && stage.At(x, row + 1) == 0);
    }
  }
  const auto picture = stage.Picture();
  const int32_t row = static_cast<int32_t>(475.0 - std::pow(1128 * args.binValue * 0.015, 0.7));
  if (row < 0 || row >= 480) return result;
  result.insert(result.end(), picture.begin() + row * 640, picture.begin() + row * 640 + 640);
  return result;
}

TEST(SpectrumSplash, ThreePlatformsAcrossTheWidthRiseWithTheirThirdOfTheLowSpectrum) {
  // Silence: all three 5 pixels above the bottom, together covering the whole row.
  const auto silent = RunFresh(&SplashPlatformRow, SplashArgs{0});
  ASSERT_EQ(silent.size(), 18u + 640u);
  const std::vector<uint32_t> row(silent.begin() + 18, silent.end());
  EXPECT_EQ(std::count(row.begin(), row.end(), 0u), 0);
  // Each third in its own platform's colour (the edges overlap by a pixel).
  for (const auto& [from, to] : {std::pair{0, 212}, std::pair{214, 426}, std::pair{428, 639}}) {
    EXPECT_EQ(std::count(row.begin() + from, row.begin() + to + 1, row[from]), to - from + 1)
        << from;
  }
  // Energy 20 in every bin: each platform rises by (sum of i x 20 x 0.015)^0.7 over its bins,
  // to rows 416, 346 and 291.
  const auto loud = RunFresh(&SplashPlatformRow, SplashArgs{20});
  for (int32_t k = 0; k < 9; ++k) {
    EXPECT_NE(loud[2 * k], 0u) << "platform " << k / 3;
    EXPECT_EQ(loud[2 * k + 1], 1u) << "platform " << k / 3 << " is one line";
  }
}

struct TriangleArgs {
  double level;  // with a peak of 10
  int32_t calls;
};

// Where the triangle's pixels lie on average after the scene's first call and after the last.
std::array<double, 4> TriangleMoves(const TriangleArgs& args) {
  Stage stage(640, 480);
  stage.SetLevels(args.level, args.level, args.level, 10);
  stage.scene.sceneJustStarted = 1;
  std::array<double, 4> result{};
  for (int32_t call = 0; call < args.calls; ++call) {
    stage.Call(kTriangle);
    if (call != 0 && call != args.calls - 1) continue;
    double sumX = 0, sumY = 0;
    const auto lit = stage.Lit();
    for (const int32_t i : lit) {
      sumX += i % 640;
      sumY += i / 640;
    }
    result[call == 0 ? 0 : 2] = sumX / std::max<size_t>(lit.size(), 1);
    result[call == 0 ? 1 : 3] = sumY / std::max<size_t>(lit.size(), 1);
  }
  return result;
}

TEST(FloatingTriangle, CornersHeadForTheFixedPointWhateverTheFrameSize) {
  // At 0.7 of the peak (no beat) the pull is 0.49 x 5000: on a 640 x 480 frame the triangle
  // sets off towards (160, 120), up and to the left, not towards the centre.
  const auto pulled = RunFresh(&TriangleMoves, TriangleArgs{7, 25});
  const double moveX = pulled[2] - pulled[0], moveY = pulled[3] - pulled[1];
  const double towardX = 160 - pulled[0], towardY = 120 - pulled[1];
  const double moved = std::hypot(moveX, moveY);
  EXPECT_GT(moved, 10);
  EXPECT_GT((moveX * towardX + moveY * towardY) / (moved * std::hypot(towardX, towardY)), 0.7)
      << moveX << "," << moveY;
  // In silence the corners only drift, at most 0.5 pixels a frame, slowing by 2 % a frame.
  const auto still = RunFresh(&TriangleMoves, TriangleArgs{0, 25});
  EXPECT_LT(std::hypot(still[2] - still[0], still[3] - still[1]), 12.5);
}

}  // namespace
}  // namespace corvex::testing
