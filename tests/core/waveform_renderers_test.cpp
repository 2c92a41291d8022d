// Plain-Vanilla Waveforms, Wavy Circle, Moving Volume Cicle, Shivering Lines and Volume Lines:
// the shapes, modes and rules a user can see and a wrong drawing would miss. Each scenario runs
// in a fresh process, its renderer's statics as a freshly loaded library has them.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <set>
#include <vector>

#include "fresh_process.h"
#include "renderer_harness.h"

namespace corvex::testing {
namespace {

constexpr int32_t kPlainVanilla = 0, kWavyCircle = 1, kMovingCircle = 2, kShivering = 3,
                  kVolumeLines = 6;

struct Rows {
  int32_t count = 0;
  int32_t rows[8] = {};
  int32_t firstColumn = -1, lastColumn = -1, columns = 0;
};

Rows LitRowsAndColumns(const Stage& stage) {
  Rows result;
  std::set<int32_t> rows, columns;
  for (const int32_t i : stage.Lit()) {
    rows.insert(i / stage.scene.width);
    columns.insert(i % stage.scene.width);
  }
  for (const int32_t row : rows) {
    if (result.count < 8) result.rows[result.count] = row;
    ++result.count;
  }
  if (!columns.empty()) {
    result.firstColumn = *columns.begin();
    result.lastColumn = *columns.rbegin();
    result.columns = static_cast<int32_t>(columns.size());
  }
  return result;
}

struct PlainArgs {
  uint32_t seed;
  double left, right;  // constant samples
  int32_t call;        // the call whose picture counts (0 = the scene's first)
};

Rows PlainVanillaTraces(const PlainArgs& args) {
  Stage stage(640, 480, args.seed);
  stage.SetWave(args.left, args.right);
  stage.scene.sceneJustStarted = 1;
  for (int32_t call = 0; call <= args.call; ++call) stage.Call(kPlainVanilla);
  return LitRowsAndColumns(stage);
}

TEST(PlainVanillaWaveforms, DrawsOneMixTraceOrThreeTracesThatSwingApartOverAllButTheLastColumn) {
  // Call 50 has phase 0.5: the outer baselines sit trunc(sin 0.5 x 480 x 5/11) = 104 from the
  // centre. Constant samples of 64 and -64 move the left and right traces by 30 (the mix is 0).
  bool sawSingle = false, sawThree = false;
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    const Rows flat = RunFresh(&PlainVanillaTraces, PlainArgs{seed, 0, 0, 50});
    const Rows shifted = RunFresh(&PlainVanillaTraces, PlainArgs{seed, 64, -64, 0});
    EXPECT_EQ(flat.firstColumn, 0);
    EXPECT_EQ(flat.lastColumn, 638);  // the last column is never drawn
    EXPECT_EQ(flat.columns, 639);
    if (flat.count == 1) {
      sawSingle = true;
      EXPECT_EQ(flat.rows[0], 240);
      ASSERT_EQ(shifted.count, 1);
      EXPECT_EQ(shifted.rows[0], 240);
    } else {
      sawThree = true;
      ASSERT_EQ(flat.count, 3) << "seed " << seed;
      EXPECT_EQ(std::vector<int32_t>(flat.rows, flat.rows + 3), (std::vector<int32_t>{136, 240, 344}));
      ASSERT_EQ(shifted.count, 3);
      EXPECT_EQ(std::vector<int32_t>(shifted.rows, shifted.rows + 3),
                (std::vector<int32_t>{210, 240, 270}));
    }
  }
  EXPECT_TRUE(sawSingle);
  EXPECT_TRUE(sawThree);
}

struct WavyArgs {
  int32_t width, height;
  double sample, levelMix;
  uint8_t centerDetail;
};

struct WavyResult {
  int32_t lit = 0;
  int32_t farthest = 0, nearest = 1 << 30;  // squared distances of lit pixels from the centre
  uint32_t below = 0;                       // the pixel straight below the centre at the radius
  uint32_t centreTop = 0;                   // top byte of the centre pixel, drawn over 0x7F000000
  std::array<uint32_t, 9> firstMarks{}, secondMarks{};  // 3 x 3 around the centre, calls 1 and 2
};

WavyResult WavyCircleFrames(const WavyArgs& args) {
  Stage stage(args.width, args.height);
  stage.Transform().centerDetail = args.centerDetail;
  stage.SetWave(args.sample, args.sample);
  stage.SetLevels(args.levelMix, args.levelMix, args.levelMix, 100);
  stage.scene.sceneJustStarted = 1;
  auto marks = [&stage] {
    std::array<uint32_t, 9> around{};
    const int32_t cx = stage.scene.centerX, cy = stage.scene.centerY;
    for (int32_t k = 0; k < 9; ++k) {
      const int32_t x = cx - 1 + k % 3, y = cy - 1 + k / 3;
      const bool inside = x >= 0 && y >= 0 && x < stage.scene.width && y < stage.scene.height;
      around[k] = inside ? stage.At(x, y) : 0xDEADu;
    }
    return around;
  };
  WavyResult result;
  stage.Call(kWavyCircle);
  result.firstMarks = marks();
  const int32_t cx = stage.scene.centerX, cy = stage.scene.centerY;
  for (const int32_t i : stage.Lit()) {
    const int32_t dx = i % args.width - cx, dy = i / args.width - cy;
    result.farthest = std::max(result.farthest, dx * dx + dy * dy);
    result.nearest = std::min(result.nearest, dx * dx + dy * dy);
    ++result.lit;
  }
  const int32_t radius = static_cast<int32_t>(args.sample * 0.125 + args.height * args.levelMix / 64);
  if (cy + radius < args.height) result.below = stage.At(cx, cy + radius);
  std::fill_n(stage.scene.frameBuffer, args.width * args.height, 0x7F000000u);
  stage.Call(kWavyCircle, false);
  result.secondMarks = marks();
  result.centreTop = stage.At(cx, cy) >> 24;
  return result;
}

TEST(WavyCircle, RingRadiusFollowsLevelAndSampleAndCentreDetailStoresAndPulses) {
  // Silence: all 1152 points on the centre pixel.
  const auto silent = RunFresh(&WavyCircleFrames, WavyArgs{640, 480, 0, 0, 0});
  EXPECT_EQ(silent.lit, 1);
  EXPECT_EQ(silent.farthest, 0);
  EXPECT_EQ(silent.centreTop, 0x7Fu) << "without centre detail the ring is OR-ed in";

  // Samples of 40 and a level of 8: radius 40 / 8 + 480 x 8 / 64 = 65, point 0 straight below.
  const auto ring = RunFresh(&WavyCircleFrames, WavyArgs{640, 480, 40, 8, 0});
  EXPECT_GE(ring.nearest, 63 * 63);  // truncation moves a point by up to a pixel each way
  EXPECT_LE(ring.farthest, 67 * 67);
  EXPECT_NE(ring.below, 0u);

  // Centre detail: stored, not OR-ed, and four marks beside the centre, black in the first
  // frame (|2 sin 0| = 0) and lit in the second (|2 sin 1|).
  const auto detail = RunFresh(&WavyCircleFrames, WavyArgs{640, 480, 0, 0, 1});
  EXPECT_EQ(detail.centreTop, 0u);
  for (const int32_t k : {1, 3, 5, 7}) {
    EXPECT_EQ(detail.firstMarks[k], 0u) << k;
    EXPECT_NE(detail.secondMarks[k], 0u) << k;
    EXPECT_EQ(detail.secondMarks[k] >> 24, 0u) << k;
  }
  EXPECT_EQ(detail.secondMarks[0], 0x7F000000u);  // the corners are not touched

  // A 2 x 2 frame keeps the marks that fit (left and above the centre pixel (1, 1)).
  const auto tiny = RunFresh(&WavyCircleFrames, WavyArgs{2, 2, 0, 0, 1});
  EXPECT_NE(tiny.secondMarks[1], 0x7F000000u);  // (1, 0), above
  EXPECT_NE(tiny.secondMarks[3], 0x7F000000u);  // (0, 1), left
  EXPECT_EQ(tiny.secondMarks[0], 0x7F000000u);  // (0, 0) untouched
  EXPECT_EQ(tiny.secondMarks[5], 0xDEADu);      // outside the frame
}

struct MovingArgs {
  int32_t runs;  // plug-in runs (Init to Quit), each with its own scene manager and pictures
  int32_t callsPerRun;
};

// The column of the ring's single pixel (silence) in each call, across several runs.
std::vector<int32_t> RingColumns(const MovingArgs& args) {
  std::vector<int32_t> columns;
  for (int32_t run = 0; run < args.runs; ++run) {
    Stage stage(16, 9);
    for (int32_t call = 0; call < args.callsPerRun; ++call) {
      stage.scene.sceneJustStarted = call % 7 == 0;  // scene changes do not reset the ring
      stage.Call(kMovingCircle);
      const auto lit = stage.Lit();
      columns.push_back(lit.size() == 1 && lit[0] / 16 == 4 ? lit[0] % 16 : -1);
    }
  }
  return columns;
}

TEST(MovingVolumeCicle, RingBouncesBetweenTheEdgesAcrossScenesAndRunsOfThePlugin) {
  std::vector<int32_t> expected;
  int32_t x = 0;
  bool right = true;
  for (int32_t call = 0; call < 45; ++call) {
    x += right ? 1 : -1;
    if (x > 15) { x = 15; right = false; }
    if (x < 0) { x = 0; right = true; }
    expected.push_back(x);
  }
  // 1, 2, ..., 15, 15, 14, ..., 0, 0, 1, ...: each edge is held for one more frame.
  EXPECT_EQ(expected[14], 15);
  EXPECT_EQ(expected[15], 15);
  EXPECT_EQ(RunFresh(&RingColumns, MovingArgs{3, 15}), expected);
}

// Pixels drawn in each row by the wave column on a narrow frame, the ring off the frame.
std::vector<int32_t> WaveColumn(const int32_t& width) {
  Stage stage(width, 300);
  stage.Transform().centerDetail = 1;
  for (int32_t i = 0; i < kAudioLength; ++i) stage.scene.waveMix[i] = (i * 7) % 256 - 128;
  stage.SetLevels(0, 0, 200, 200);  // radius 300 x 200 x 200 / 2048: far outside
  stage.scene.sceneJustStarted = 1;
  stage.Call(kMovingCircle);
  std::vector<int32_t> drawn(300, -1);
  for (const int32_t i : stage.Lit()) drawn[i / width] = drawn[i / width] == -1 ? i % width : -2;
  return drawn;
}

TEST(MovingVolumeCicle, WaveColumnDrawsOneSamplePerRowAndIsClippedOnNarrowFrames) {
  for (const int32_t width : {100, 300}) {
    const auto drawn = RunFresh(&WaveColumn, width);
    ASSERT_EQ(drawn.size(), 300u);
    for (int32_t y = 0; y < 300; ++y) {
      const int32_t x = width / 2 + (y * 7) % 256 - 128;
      EXPECT_EQ(drawn[y], x >= 0 && x < width ? x : -1) << "width " << width << ", row " << y;
    }
  }
}

struct ShiveringStart {
  double peakAfterStart, peakAfterPlain;
  int32_t feedbackAfterStart, feedbackAfterPlain;
  int32_t drawsAtStart;
};

// A scene start after the statics exist, seeded, with peak 10 and useFeedback 7 beforehand,
// then a plain frame with useFeedback 7 again.
ShiveringStart ShiveringSceneStart(const uint32_t& seed) {
  Stage stage(640, 480);
  stage.scene.sceneJustStarted = 1;
  stage.Call(kShivering);
  ShiveringStart result;
  stage.SetLevels(0, 0, 0, 10.0);
  stage.scene.useFeedback = 7;
  stage.scene.sceneJustStarted = 1;
  SeedRandom(seed);
  stage.Call(kShivering);
  result.drawsAtStart = DrawsSince(seed);
  result.peakAfterStart = stage.scene.peakLevel;
  result.feedbackAfterStart = stage.scene.useFeedback;
  stage.scene.useFeedback = 7;
  stage.Call(kShivering);
  result.peakAfterPlain = stage.scene.peakLevel;
  result.feedbackAfterPlain = stage.scene.useFeedback;
  return result;
}

TEST(ShiveringLines, SceneStartHalvesThePeakAndDrawsFeedbackCornersAndPathsInThatOrder) {
  int32_t withFeedback = 0;
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    std::srand(seed);
    const int32_t first = std::rand(), second = std::rand();
    const auto r = RunFresh(&ShiveringSceneStart, seed);
    EXPECT_EQ(r.peakAfterStart, 5.0);
    EXPECT_EQ(r.peakAfterPlain, 5.0);  // halved once per scene only
    EXPECT_EQ(r.feedbackAfterStart, first % 4 == 0 ? 1 : 0) << "seed " << seed;
    EXPECT_EQ(r.feedbackAfterPlain, 7) << "left alone after the scene's first frame";
    const int32_t corners = (second % 3) * 3 + 7;
    EXPECT_EQ(r.drawsAtStart, 2 + 2 * (corners - 1)) << "seed " << seed;
    withFeedback += r.feedbackAfterStart;
  }
  EXPECT_GT(withFeedback, 3);   // about one scene in four keeps its trails
  EXPECT_LT(withFeedback, 20);
}

struct ShiveringShape {
  int32_t width, height, scenes;
};

struct ShiveringCoverage {
  int32_t row0 = 0, column0 = 0, row1 = 0, column1 = 0;  // lit pixels there over all scenes
  // Scenes whose whole picture is the first segment cut off after 1000 steps: rows 3 to 1000.
  int32_t stoppedAtTheLimit = 0;
};

ShiveringCoverage ShiveringInSilence(const ShiveringShape& shape) {
  Stage stage(shape.width, shape.height);
  ShiveringCoverage coverage;
  for (int32_t scene = 0; scene < shape.scenes; ++scene) {
    stage.scene.sceneJustStarted = 1;
    stage.Call(kShivering);
    int32_t longestRun = 0, lowestRow = 0;
    for (int32_t x = 0; x < shape.width; ++x) {
      int32_t run = 0;
      for (int32_t y = 0; y < shape.height; ++y) {
        const bool lit = stage.At(x, y) != 0;
        run = lit ? run + 1 : 0;
        longestRun = std::max(longestRun, run);
        if (lit) {
          lowestRow = std::max(lowestRow, y);
          coverage.row0 += y == 0;
          coverage.column0 += x == 0;
          coverage.row1 += y == 1;
          coverage.column1 += x == 1;
        }
      }
    }
    coverage.stoppedAtTheLimit += lowestRow == 1000 && longestRun == 998;
  }
  return coverage;
}

TEST(ShiveringLines, PointsKeepAThreePixelMarginAndASegmentStopsAfterAThousandSteps) {
  // In silence every point lies on its path; a point is drawn only 3 or more pixels inside,
  // so its 5 pixels reach row or column 1 but never 0.
  const auto small = RunFresh(&ShiveringInSilence, ShiveringShape{40, 30, 80});
  EXPECT_EQ(small.row0, 0);
  EXPECT_EQ(small.column0, 0);
  EXPECT_GT(small.row1, 0);
  EXPECT_GT(small.column1, 0);
  // On a frame 3000 high, path 0 starts with a vertical segment from row 0 to a random row;
  // two times in three it is longer than 1000 steps, and the frame's drawing ends there.
  const auto tall = RunFresh(&ShiveringInSilence, ShiveringShape{400, 3000, 30});
  EXPECT_GE(tall.stoppedAtTheLimit, 10);
}

struct HandsArgs {
  double left, right;
};

std::vector<int32_t> VolumeHands(const HandsArgs& args) {
  Stage stage(640, 480);
  stage.SetLevels(args.left, args.right, 0, 100);
  stage.scene.sceneJustStarted = 1;
  stage.Call(kVolumeLines);
  return stage.Lit();
}

TEST(VolumeLines, TwoHandsFromTheCentreInOppositeDirectionsWithTheChannelLevelsAsLengths) {
  // Phase 0: the left hand points right, 480 x 8 / 64 = 60 long; the right one points left,
  // 120 long.
  const auto hands = RunFresh(&VolumeHands, HandsArgs{8, 16});
  ASSERT_EQ(hands.size(), 181u);
  EXPECT_EQ(hands.front(), 240 * 640 + 200);
  EXPECT_EQ(hands.back(), 240 * 640 + 380);
  // A silent left channel draws its hand as the centre point alone.
  const auto oneHand = RunFresh(&VolumeHands, HandsArgs{0, 16});
  EXPECT_EQ(oneHand.size(), 121u);
  EXPECT_EQ(oneHand.back(), 240 * 640 + 320);
}

}  // namespace
}  // namespace corvex::testing
