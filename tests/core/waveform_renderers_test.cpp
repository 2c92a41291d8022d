#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
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

// Every pixel carries 0x7F in the top byte, which no colour has: a stored pixel loses it, an
// OR-ed one keeps it.
constexpr uint32_t kMarked = 0x7F000000u;

// The first call of a renderer over a marked picture, in a fresh process.
std::vector<uint32_t> OverMarkedPicture(const Shot& shot) {
  return RunFresh(+[](const Shot& s) {
    Stage stage(s.width, s.height, s.seed);
    if (s.prepare != nullptr) s.prepare(stage);
    std::fill_n(stage.scene.frameBuffer, s.width * s.height, kMarked);
    stage.scene.sceneJustStarted = 1;
    stage.Call(s.slot, false);
    return stage.Picture();
  }, shot);
}

TEST(PlainVanillaWaveforms, OneStoredMixTraceOrTwoStoredOnesSwingingApartAroundAnOredMix) {
  // Call 51 has phase 0.5: the outer traces sit trunc(sin 0.5 x 480 x 5/11) = 104 from the
  // centre. In the first call constant samples of 64 and -64 move the left and right traces
  // by 30 (the mix is 0).
  std::set<size_t> traceCounts;
  for (const uint32_t seed : {1u, 5u}) {  // one trace, then three
    const auto flat = Lit(FreshShot({.slot = kPlainVanilla, .calls = 51, .seed = seed}));
    const auto columns = LitLines(flat, 640, false);
    EXPECT_EQ(columns.size(), 639u);
    EXPECT_EQ(*columns.rbegin(), 638);
    const auto rows = LitLines(flat, 640, true);
    traceCounts.insert(rows.size());
    using Rows = std::set<int32_t>;
    const bool single = rows.size() == 1;
    EXPECT_EQ(rows, (single ? Rows{240} : Rows{136, 240, 344})) << seed;
    const auto moved = OverMarkedPicture(
        {.slot = kPlainVanilla, .prepare = [](Stage& s) { s.SetWave(64, -64); }, .seed = seed});
    Rows stored, ored;
    for (int32_t i = 0; i < 640 * 480; ++i) {
      if (moved[i] == kMarked) continue;
      (moved[i] >> 24 == 0 ? stored : ored).insert(i / 640);
    }
    EXPECT_EQ(stored, (single ? Rows{240} : Rows{210, 270})) << "stored traces, seed " << seed;
    EXPECT_EQ(ored, (single ? Rows{} : Rows{240})) << "OR-ed mix trace, seed " << seed;
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

  // Silence puts the ring on the centre; centre detail adds four marks beside it, each in its
  // own colour, scaled by |2 sin(k)| in the scene's call k + 1: black, then 1.68, and in the
  // fourth call 0.28.
  const auto detail = [](Stage& s) { s.Transform().centerDetail = 1; };
  EXPECT_EQ(Lit(FreshShot({.slot = kWavyCircle, .prepare = detail})),
            (std::vector<int32_t>{240 * 640 + 320}));
  const int32_t marks[] = {240 * 640 + 319, 240 * 640 + 321, 241 * 640 + 320, 239 * 640 + 320};
  const auto second = FreshShot({.slot = kWavyCircle, .prepare = detail, .calls = 2});
  EXPECT_EQ(Lit(second), (std::vector<int32_t>{239 * 640 + 320, 240 * 640 + 319, 240 * 640 + 320,
                                               240 * 640 + 321, 241 * 640 + 320}));
  const auto fourth = FreshShot({.slot = kWavyCircle, .prepare = detail, .calls = 4});
  auto brightness = [&](const std::vector<uint32_t>& picture) {
    int32_t sum = 0;
    for (const int32_t i : marks) {
      sum += (picture[i] >> 16 & 255) + (picture[i] >> 8 & 255) + (picture[i] & 255);
    }
    return sum;
  };
  EXPECT_GT(brightness(fourth), 0);
  EXPECT_LT(3 * brightness(fourth), brightness(second)) << "the marks pulse with |2 sin(k)|";
  // Their four cyclers start white together; a hundred steps on they have parted.
  const auto later = FreshShot({.slot = kWavyCircle, .prepare = detail, .calls = 101});
  EXPECT_EQ(std::set<uint32_t>({later[marks[0]], later[marks[1]], later[marks[2]],
                                later[marks[3]]}).size(), 4u) << "one colour per mark";

  // Centre detail stores the ring's pixels; without it they are OR-ed in.
  for (const uint8_t centerDetail : {0, 1}) {
    Stage stage(64, 48);
    stage.Transform().centerDetail = centerDetail;
    std::fill_n(stage.scene.frameBuffer, 64 * 48, 0x7F000000u);
    stage.Call(kWavyCircle, false);
    EXPECT_EQ(stage.At(32, 24) >> 24, centerDetail ? 0u : 0x7Fu);
  }
}

TEST(WavyCircle, TheWalkRunsUpTheRightSideAndBackDownTheLeft) {
  // Point p lies at angle p x 0.0054541666 from straight below, turning towards the right:
  // sample 288 is read at p = 288, a hair past a quarter turn, on the centre row at the right,
  // and again at p = 863, 0.0054 short of three quarters, which on a ring of radius 916 sits 5
  // rows higher at the left. Every other sample is 0 on a ring of radius 900.
  const auto ring = FreshLit({.slot = kWavyCircle, .prepare = [](Stage& s) {
                                s.SetWave(0, 0);
                                s.scene.waveMix[288] = 127;
                                s.SetLevels(0, 0, 28.8, 100);
                              }, .width = 2000, .height = 2000});
  ASSERT_FALSE(ring.empty());
  const auto [leftmost, rightmost] = std::minmax_element(
      ring.begin(), ring.end(), [](int32_t a, int32_t b) { return a % 2000 < b % 2000; });
  EXPECT_EQ(*rightmost % 2000, 1915);
  EXPECT_EQ(*rightmost / 2000, 999) << "sample 288 on the right, on the centre row";
  EXPECT_EQ(*leftmost % 2000, 84);
  EXPECT_EQ(*leftmost / 2000, 995) << "sample 288 again on the left, 5 rows higher";
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

TEST(MovingVolumeCicle, RingGrowsWithTheSquareOfTheMixAndTheWaveColumnTakesASamplePerRow) {
  // Mix 20 on a 480-row frame: radius 480 x 20 x 20 / 2048 = 93.75 round (1, 240) in the
  // first call, 360 points cut to whole pixels, those left of column 0 clipped.
  const auto ring = Lit(FreshShot(
      {.slot = kMovingCircle, .prepare = [](Stage& s) { s.SetLevels(0, 0, 20, 20); }}));
  EXPECT_GT(ring.size(), 150u);
  for (const int32_t i : ring) {
    const double distance = std::hypot(i % 640 - 1, i / 640 - 240);
    EXPECT_TRUE(distance > 92.3 && distance < 95.2) << i % 640 << "," << i / 640;
  }

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

TEST(ShiveringLines, CornersStayJoinedWhenEveryPointWobblesTheSameWay) {
  // Samples of 64 shift every point by trunc(64 x 480 / 2048) = 15 across its segment. At a
  // corner the coordinate that starts moving takes the shift in and the other gives it back,
  // so from the second segment on each path runs where it runs in silence: only the first
  // segment of each (one of 6 to 12) lies elsewhere: under 3 pixels in 10.
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    const auto still = FreshShot({.slot = kShivering, .seed = seed});
    const auto shifted = FreshShot(
        {.slot = kShivering, .prepare = [](Stage& s) { s.SetWave(64, 64); }, .seed = seed});
    int32_t lit = 0, elsewhere = 0;
    for (int32_t i = 0; i < 640 * 480; ++i) {
      lit += shifted[i] != 0;
      elsewhere += shifted[i] != 0 && still[i] == 0;
    }
    EXPECT_GT(lit, 1000) << "seed " << seed;
    EXPECT_LT(elsewhere * 10, lit * 3) << "pixels off the silent paths, seed " << seed;
  }
}

TEST(ShiveringLines, APathIsFivePixelsThickItsColourInTheMiddleFadingToAFifthAtTheEdges) {
  // The paths' colours start white and take one step: the middle pixel's brightest channel is
  // 254 or 255, the two beside it 0.8 of that, the outer two 0.2.
  std::map<uint32_t, int32_t> brightest;
  for (const uint32_t c : FreshShot({.slot = kShivering})) {
    if (c != 0) ++brightest[std::max({c >> 16 & 255, c >> 8 & 255, c & 255})];
  }
  std::map<int32_t, int32_t> shades;  // 1: middle, 2: beside, 3: edge
  for (const auto& [value, count] : brightest) {
    const int32_t shade = value >= 254 ? 1 : value == 203 || value == 204 ? 2
                          : value == 50 || value == 51               ? 3
                                                                     : 0;
    EXPECT_NE(shade, 0) << "a pixel of brightness " << value;
    shades[shade] += count;
  }
  EXPECT_GT(shades[1], 100);
  EXPECT_NEAR(shades[2], 2 * shades[1], shades[1] / 5) << "two beside each middle pixel";
  EXPECT_NEAR(shades[3], 2 * shades[1], shades[1] / 5) << "two at the edges";
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

TEST(VolumeLines, EachSceneDrawsBothHandsTheSameWayWithOneColourOrTwo) {
  // The scene start draws OR or store, then one colour or two, for both hands together.
  std::set<std::pair<bool, bool>> modes;
  for (uint32_t seed = 1; seed <= 16; ++seed) {
    const auto picture = OverMarkedPicture({.slot = kVolumeLines, .prepare = [](Stage& s) {
      s.SetLevels(8, 16, 0, 100);
    }, .seed = seed});
    const uint32_t left = picture[240 * 640 + 370], right = picture[240 * 640 + 210];
    ASSERT_NE(left, kMarked);
    ASSERT_NE(right, kMarked);
    EXPECT_EQ(left >> 24, right >> 24) << "both hands OR-ed or both stored, seed " << seed;
    modes.insert({left >> 24 != 0, (left & 0xFFFFFF) == (right & 0xFFFFFF)});
  }
  EXPECT_EQ(modes.size(), 4u);
}

}  // namespace
}  // namespace corvex::testing
