#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "renderer_harness.h"

namespace corvex::testing {
namespace {

constexpr int32_t kOrbitBeat = 9, kOrbitVolume = 10, kSnow = 11, kSplash = 12, kTriangle = 13;

using Prepare = void (*)(Stage&);
const Prepare kSilent = [](Stage& s) { s.SetLevels(0, 0, 0, 8); };
const Prepare kLoudWithoutPeak = [](Stage& s) { s.SetLevels(60, 60, 60, 0); };

// Where the lit pixels of a 640 x 480 shot lie: how many, their mean, how many of them within
// `reach` of it.
struct Spread {
  int32_t lit = 0, withinReach = 0;
  double meanX = 0, meanY = 0;
};

Spread SpreadOf(const Shot& shot, double reach = 0) {
  Spread s;
  const auto lit = Lit(FreshShot(shot));
  s.lit = static_cast<int32_t>(lit.size());
  for (const int32_t i : lit) {
    s.meanX += i % 640;
    s.meanY += i / 640;
  }
  s.meanX /= std::max(s.lit, 1);
  s.meanY /= std::max(s.lit, 1);
  for (const int32_t i : lit) {
    s.withinReach += std::hypot(i % 640 - s.meanX, i / 640 - s.meanY) <= reach;
  }
  return s;
}

TEST(OrbitingParticles, PoolsAreDrawnInTwoColours) {
  // Beat: 500 particles, even ones in one colour and odd ones in the other; Volume: 400 in two
  // groups of 200. Scattered over a large frame, they seldom share a pixel.
  for (const auto& [slot, group] : {std::pair{kOrbitBeat, 250}, std::pair{kOrbitVolume, 200}}) {
    std::map<uint32_t, int32_t> colours;
    const Shot shot{.slot = slot, .prepare = kSilent, .width = 1000, .height = 1000};
    for (const uint32_t p : FreshShot(shot)) {
      if (p != 0) ++colours[p];
    }
    ASSERT_EQ(colours.size(), 2u) << slot;
    const int32_t fewer = std::min(colours.begin()->second, colours.rbegin()->second);
    const int32_t more = std::max(colours.begin()->second, colours.rbegin()->second);
    EXPECT_GE(fewer, group - 3) << slot;
    EXPECT_EQ(more, group) << slot;
  }
}

TEST(OrbitingParticles, BeatOnesGatherAtAPointOfTheMiddleHalfAndVolumeOnesAtTheCentreInSilence) {
  const auto beat = SpreadOf({.slot = kOrbitBeat, .prepare = kSilent, .calls = 200}, 150);
  EXPECT_GT(beat.lit, 250);
  EXPECT_TRUE(beat.meanX > 160 && beat.meanX < 480 && beat.meanY > 120 && beat.meanY < 360);
  EXPECT_GT(beat.withinReach * 10, beat.lit * 6);
  // Silence puts both attractors on the centre; with no peak yet, loud levels count as silence.
  for (const Prepare prepare : {kSilent, kLoudWithoutPeak}) {
    const auto volume = SpreadOf({.slot = kOrbitVolume, .prepare = prepare, .calls = 300}, 60);
    EXPECT_GT(volume.lit, 100);
    EXPECT_NEAR(volume.meanX, 320, 10);
    EXPECT_NEAR(volume.meanY, 240, 10);
    EXPECT_GT(volume.withinReach * 10, volume.lit * 8);
  }
}

TEST(OrbitingParticles, VolumeOnesGatherRoundTwoAttractorsOppositeEachOtherAcrossTheCentre) {
  // At half the peak both attractors orbit 250 from the middle of a 1000 x 1000 frame; each
  // group, in its own colour, swarms round its own. The phase has turned by the drawn speed
  // 150 times, and the swarms' middles mirror each other through the centre, off its row too
  // (to within the swarms' own wandering).
  int32_t offTheMiddleRow = 0;
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    const auto picture = FreshShot({.slot = kOrbitVolume, .prepare = [](Stage& s) {
      s.SetLevels(5, 5, 5, 10);
    }, .calls = 150, .seed = seed, .width = 1000, .height = 1000});
    std::map<uint32_t, std::pair<double, double>> sums;
    std::map<uint32_t, int32_t> counts;
    for (int32_t i = 0; i < 1000 * 1000; ++i) {
      if (picture[i] == 0) continue;
      sums[picture[i]].first += i % 1000;
      sums[picture[i]].second += i / 1000;
      ++counts[picture[i]];
    }
    ASSERT_EQ(counts.size(), 2u) << "seed " << seed;
    const uint32_t a = counts.begin()->first, b = counts.rbegin()->first;
    const double ax = sums[a].first / counts[a], ay = sums[a].second / counts[a];
    const double bx = sums[b].first / counts[b], by = sums[b].second / counts[b];
    EXPECT_NEAR(ax + bx, 1000, 40) << "seed " << seed;
    EXPECT_NEAR(ay + by, 1000, 40) << "seed " << seed;
    offTheMiddleRow += std::fabs(ay - 500) > 60;
  }
  EXPECT_GE(offTheMiddleRow, 2);
}

TEST(Snow, AThousandFlakesStayOnTheFrameWhateverTheLevel) {
  // Loud with no peak yet: every frame is a beat and the wind counts the ratio as 0. The flakes
  // wrap round the edges and stay spread over the frame.
  const Prepare atPeak = [](Stage& s) { s.SetLevels(30, 30, 30, 30); };
  for (const Prepare prepare : {kLoudWithoutPeak, atPeak}) {
    const auto snow = SpreadOf({.slot = kSnow, .prepare = prepare, .calls = 50});
    EXPECT_GE(snow.lit, 985);
    EXPECT_LE(snow.lit, 1000);
    EXPECT_NEAR(snow.meanX, 320, 40);
    EXPECT_NEAR(snow.meanY, 240, 40);
  }
}

// The mean move of the flakes of a 2000 x 2000 frame over ten calls after the scene's first,
// each flake of the first picture matched to the nearest lit pixel of the last.
struct Drift {
  double x, y;
  int32_t matched;
};

Drift SnowDrift(double mix) {
  const auto both = RunFresh(+[](const double& level) {
    Stage stage(2000, 2000);
    stage.SetLevels(level, level, level, 10);
    stage.scene.sceneJustStarted = 1;
    stage.Call(kSnow);
    std::vector<int32_t> lit = stage.Lit();
    lit.push_back(-1);
    for (int32_t call = 0; call < 10; ++call) stage.Call(kSnow);
    for (const int32_t i : stage.Lit()) lit.push_back(i);
    return lit;
  }, mix);
  const auto split = std::find(both.begin(), both.end(), -1);
  Drift drift{0, 0, 0};
  for (auto from = both.begin(); from != split; ++from) {
    double best = 13;
    int32_t dx = 0, dy = 0;
    for (auto to = split + 1; to != both.end(); ++to) {
      const int32_t ex = *to % 2000 - *from % 2000, ey = *to / 2000 - *from / 2000;
      if (std::hypot(ex, ey) < best) {
        best = std::hypot(ex, ey);
        dx = ex;
        dy = ey;
      }
    }
    if (best < 13) {
      drift.x += dx;
      drift.y += dy;
      ++drift.matched;
    }
  }
  drift.x /= std::max(drift.matched, 1);
  drift.y /= std::max(drift.matched, 1);
  return drift;
}

TEST(Snow, FlakesFallAndDriftLeftWhenQuietAndRightWhenLoud) {
  // Gravity 0.05 and wind (mix / peak) x 0.2 - 0.03 a frame, damped by 3 or 5 %: over ten
  // calls about 53 times each, 2.6 rows down and 1.6 columns left in silence, and 5.7 columns
  // right at 0.69 of the peak (just short of a beat, which would kick the flakes).
  const Drift quiet = SnowDrift(0.0), loud = SnowDrift(6.9);
  EXPECT_GT(quiet.matched, 900);
  EXPECT_GT(loud.matched, 900);
  EXPECT_NEAR(quiet.y, 2.6, 0.6) << "gravity";
  EXPECT_NEAR(loud.y, 2.6, 0.6) << "gravity";
  EXPECT_NEAR(quiet.x, -1.6, 0.6) << "the wind of silence";
  EXPECT_NEAR(loud.x, 5.7, 0.6) << "the wind at 0.69 of the peak";
}

TEST(SpectrumSplash, ThreePlatformsAcrossTheWidthRiseWithTheirThirdOfTheLowSpectrum) {
  // Silence: all three 5 pixels above the bottom, covering the row, each third in its own
  // colour (neighbours share a pixel).
  Stage quiet(640, 480);
  quiet.scene.sceneJustStarted = 1;
  quiet.Call(kSplash);
  for (int32_t x = 0; x < 640; ++x) {
    ASSERT_NE(quiet.At(x, 475), 0u) << x;
    if (x != 213 && x != 427) {
      EXPECT_EQ(quiet.At(x, 475), quiet.At(x < 213 ? 0 : x < 427 ? 214 : 428, 475)) << x;
    }
  }
  // Energy 20 in every bin: each platform rises by (sum of i x 20 x 0.015)^0.7 over its bins,
  // a single line at its left, middle and right.
  Stage loud(640, 480);
  for (int32_t bin = 0; bin < 144; ++bin) loud.scene.spectrumSum[bin] = 20;
  loud.scene.sceneJustStarted = 1;
  loud.Call(kSplash);
  const int32_t rows[3] = {416, 346, 290};
  for (int32_t b = 0; b < 3; ++b) {
    for (const int32_t x : {b * 214 + 1, b * 214 + 100, b * 214 + 211}) {
      EXPECT_NE(loud.At(x, rows[b]), 0u) << b;
      EXPECT_EQ(loud.At(x, rows[b] - 1) | loud.At(x, rows[b] + 1), 0u) << b;
    }
  }
}

TEST(FloatingTriangle, CornersHeadForThePixel160By120NotTheCentre) {
  // At 0.7 of the peak (no beat) the pull is 0.49 x 5000: the triangle sets off up and left.
  const Prepare pulled = [](Stage& s) { s.SetLevels(7, 7, 7, 10); };
  const auto start = SpreadOf({.slot = kTriangle, .prepare = pulled});
  const auto later = SpreadOf({.slot = kTriangle, .prepare = pulled, .calls = 25});
  const double moveX = later.meanX - start.meanX, moveY = later.meanY - start.meanY;
  const double towardX = 160 - start.meanX, towardY = 120 - start.meanY;
  const double moved = std::hypot(moveX, moveY);
  EXPECT_GT(moved, 10);
  EXPECT_GT((moveX * towardX + moveY * towardY) / (moved * std::hypot(towardX, towardY)), 0.7);
  // In silence the corners only drift, at most 0.5 pixels a frame, slowing by 2 % a frame.
  const Prepare silent = [](Stage& s) { s.SetLevels(0, 0, 0, 10); };
  const auto still = SpreadOf({.slot = kTriangle, .prepare = silent});
  const auto drifted = SpreadOf({.slot = kTriangle, .prepare = silent, .calls = 25});
  EXPECT_LT(std::hypot(drifted.meanX - still.meanX, drifted.meanY - still.meanY), 12.5);
}

}  // namespace
}  // namespace corvex::testing
