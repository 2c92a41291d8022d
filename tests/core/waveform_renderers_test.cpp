#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

#include "renderer_harness.h"

namespace corvex::testing {
namespace {

constexpr int32_t kPlainVanilla = 0, kWavyCircle = 1, kMovingCircle = 2, kShivering = 3,
                  kVolumeLines = 6;

std::set<int32_t> LitLines(const std::vector<int32_t>& lit, int32_t width, bool rows) {
  std::set<int32_t> lines;
  for (const int32_t i : lit) lines.insert(rows ? i / width : i % width);
  return lines;
}

TEST(PlainVanillaWaveforms, OneMixTraceOrThreeThatSwingApartOverAllButTheLastColumn) {
  // Call 51 has phase 0.5: the outer traces sit trunc(sin 0.5 x 480 x 5/11) = 104 from the
  // centre. In the first call constant samples of 64 and -64 move the left and right traces
  // by 30 (the mix is 0).
  std::set<size_t> traceCounts;
  for (const uint32_t seed : {1u, 5u}) {  // one trace, then three
    const auto flat = Lit(FreshShot({.slot = kPlainVanilla, .calls = 51, .seed = seed}));
    const auto moved = Lit(FreshShot(
        {.slot = kPlainVanilla, .prepare = [](Stage& s) { s.SetWave(64, -64); }, .seed = seed}));
    const auto columns = LitLines(flat, 640, false);
    EXPECT_EQ(columns.size(), 639u);
    EXPECT_EQ(*columns.rbegin(), 638);
    const auto rows = LitLines(flat, 640, true);
    traceCounts.insert(rows.size());
    using Rows = std::set<int32_t>;
    const bool single = rows.size() == 1;
    EXPECT_EQ(rows, (single ? Rows{240} : Rows{136, 240, 344})) << seed;
    EXPECT_EQ(LitLines(moved, 640, true), (single ? Rows{240} : Rows{210, 240, 270})) << seed;
  }
  EXPECT_EQ(traceCounts, (std::set<size_t>{1, 3}));
}

TEST(WavyCircle, RadiusFollowsLevelAndSamplesAndCentreDetailStoresAndAddsPulsingMarks) {
  // Samples of 40 and a mix level of 8: radius 40 / 8 + 480 x 8 / 64 = 65, point 0 straight
  // below the centre; truncation moves a point by up to a pixel each way.
  const auto ring = Lit(FreshShot({.slot = kWavyCircle, .prepare = [](Stage& s) {
                                     s.SetWave(40, 40);
                                     s.SetLevels(8, 8, 8, 100);
                                   }}));
  EXPECT_GT(ring.size(), 350u);
  for (const int32_t i : ring) {
    const double radius = std::hypot(i % 640 - 320, i / 640 - 240);
    EXPECT_TRUE(radius >= 63 && radius <= 67) << i;
  }
  EXPECT_TRUE(std::binary_search(ring.begin(), ring.end(), (240 + 65) * 640 + 320));

  // Silence puts the ring on the centre; centre detail adds four marks beside it, scaled by
  // |2 sin(frame)|: black in the scene's first frame, lit in the second.
  const auto detail = [](Stage& s) { s.Transform().centerDetail = 1; };
  EXPECT_EQ(Lit(FreshShot({.slot = kWavyCircle, .prepare = detail})),
            (std::vector<int32_t>{240 * 640 + 320}));
  EXPECT_EQ(Lit(FreshShot({.slot = kWavyCircle, .prepare = detail, .calls = 2})),
            (std::vector<int32_t>{239 * 640 + 320, 240 * 640 + 319, 240 * 640 + 320,
                                  240 * 640 + 321, 241 * 640 + 320}));

  // Centre detail stores the ring's pixels; without it they are OR-ed in.
  for (const uint8_t centerDetail : {0, 1}) {
    Stage stage(64, 48);
    stage.Transform().centerDetail = centerDetail;
    std::fill_n(stage.scene.frameBuffer, 64 * 48, 0x7F000000u);
    stage.Call(kWavyCircle, false);
    EXPECT_EQ(stage.At(32, 24) >> 24, centerDetail ? 0u : 0x7Fu);
  }
}

TEST(MovingVolumeCicle, RingBouncesBetweenTheEdgesAcrossScenesAndRunsOfThePlugin) {
  // The ring's single pixel in silence on a 16 x 9 frame: three runs (Init to Quit) of 15
  // calls, with scene starts now and then.
  const auto columns = RunFresh(+[](const int32_t& runs) {
    std::vector<int32_t> columns;
    for (int32_t run = 0; run < runs; ++run) {
      Stage stage(16, 9);
      for (int32_t call = 0; call < 15; ++call) {
        stage.scene.sceneJustStarted = call % 7 == 0;
        stage.Call(kMovingCircle);
        const auto lit = stage.Lit();
        columns.push_back(lit.size() == 1 && lit[0] / 16 == 4 ? lit[0] % 16 : -1);
      }
    }
    return columns;
  }, 3);
  // 1, ..., 15, 15, 14, ..., 0, 0, 1, ...: each edge is held for one more frame.
  std::vector<int32_t> expected;
  for (int32_t x = 1; x <= 15; ++x) expected.push_back(x);
  for (int32_t x = 15; x >= 0; --x) expected.push_back(x);
  for (int32_t x = 0; expected.size() < 45; ++x) expected.push_back(x);
  EXPECT_EQ(columns, expected);
}

TEST(MovingVolumeCicle, WaveColumnTakesOneSamplePerRowAndIsClippedAtTheSides) {
  Stage stage(100, 300);
  stage.Transform().centerDetail = 1;
  for (int32_t i = 0; i < kAudioLength; ++i) stage.scene.waveMix[i] = (i * 7) % 256 - 128;
  stage.SetLevels(0, 0, 200, 200);  // ring radius 300 x 200 x 200 / 2048: far outside
  stage.Call(kMovingCircle);
  std::vector<int32_t> expected;
  for (int32_t y = 0; y < 300; ++y) {
    const int32_t x = 50 + (y * 7) % 256 - 128;
    if (x >= 0 && x < 100) expected.push_back(y * 100 + x);
  }
  EXPECT_EQ(stage.Lit(), expected);
}

TEST(ShiveringLines, SceneStartHalvesThePeakAndDrawsFeedbackCornersAndPathsInThatOrder) {
  std::set<int32_t> feedbacks;
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    std::srand(seed);
    const int32_t first = std::rand(), second = std::rand();
    const auto frames = ProbeDraws(
        {.slot = kShivering, .peak = 10, .sceneStart = 1, .frames = 2, .seed = seed});
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].peak, 5.0);
    EXPECT_EQ(frames[0].useFeedback, first % 4 == 0 ? 1 : 0) << "seed " << seed;
    // 7, 10 or 13 corners; each path draws its entries but the last.
    EXPECT_EQ(frames[0].draws, 2 + 2 * ((second % 3) * 3 + 6)) << "seed " << seed;
    EXPECT_EQ(frames[1].peak, 10.0) << "halved at scene starts only";
    EXPECT_EQ(frames[1].useFeedback, 7) << "left alone after the scene's first frame";
    feedbacks.insert(frames[0].useFeedback);
  }
  EXPECT_EQ(feedbacks.size(), 2u);
}

TEST(ShiveringLines, PointsKeepTheirMarginAndASegmentStopsAfterAThousandSteps) {
  // In silence every point lies on its path; its centre keeps 3 pixels from the top and left
  // edges and 2 from the others, so its 5 pixels reach from row or column 1 to the last.
  Stage small(40, 30);
  std::vector<int32_t> lit;
  for (int32_t scene = 0; scene < 80; ++scene) {
    small.scene.sceneJustStarted = 1;
    small.Call(kShivering);
    for (const int32_t i : small.Lit()) lit.push_back(i);
  }
  const auto rows = LitLines(lit, 40, true), columns = LitLines(lit, 40, false);
  EXPECT_EQ(*rows.begin(), 1);
  EXPECT_EQ(*rows.rbegin(), 29);
  EXPECT_EQ(*columns.begin(), 1);
  EXPECT_EQ(*columns.rbegin(), 39);
  // On a frame 3000 high, path 0 starts with a vertical segment from row 0 to a random row;
  // two times in three it is longer than 1000 steps, and the frame's drawing ends there.
  Stage tall(400, 3000);
  int32_t stopped = 0;
  for (int32_t scene = 0; scene < 30; ++scene) {
    tall.scene.sceneJustStarted = 1;
    tall.Call(kShivering);
    const auto tallRows = LitLines(tall.Lit(), 400, true);
    stopped += tallRows.size() == 998 && *tallRows.begin() == 3 && *tallRows.rbegin() == 1000;
  }
  EXPECT_GE(stopped, 10);
}

TEST(VolumeLines, TwoHandsFromTheCentreInOppositeDirectionsAsLongAsTheChannelLevels) {
  // Phase 0: the left hand points right, 480 x 8 / 64 = 60 long; the right one points left,
  // 120 long. A silent channel's hand is the centre point alone.
  const auto hands = Lit(FreshShot(
      {.slot = kVolumeLines, .prepare = [](Stage& s) { s.SetLevels(8, 16, 0, 100); }}));
  ASSERT_EQ(hands.size(), 181u);
  EXPECT_EQ(hands.front(), 240 * 640 + 200);
  EXPECT_EQ(hands.back(), 240 * 640 + 380);
  const auto oneHand = Lit(FreshShot(
      {.slot = kVolumeLines, .prepare = [](Stage& s) { s.SetLevels(0, 16, 0, 100); }}));
  EXPECT_EQ(oneHand.size(), 121u);
  EXPECT_EQ(oneHand.back(), 240 * 640 + 320);
}

}  // namespace
}  // namespace corvex::testing
